// Reading the fields of the lines of a field sheet or a batch of readings,
// and writing CSV fields.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::sounding {

// True for a line that holds no reading: only spaces and tabs (a blank line),
// or a first non-blank character "#" (a comment).
bool IsBlankOrComment(std::string_view line);

// Splits one input line into fields. Fields are separated by a comma, a tab
// or a space; runs of spaces and tabs count as one separator, and blanks
// around a comma are part of the separator. Two commas with nothing between
// them (or a comma at either end of the line) delimit an empty field. A field
// that starts with a double quote runs to the matching quote, with "" inside
// standing for one quote, so it may hold commas and blanks; an unmatched quote
// runs to the end of the line. A trailing carriage return is not part of the
// line.
std::vector<std::string> SplitFields(std::string_view line);

// SplitFields without copies, for a line that holds no double quote: the
// first out.size() fields as views into `line`. Returns how many fields
// SplitFields would give, capped at out.size().
std::size_t SplitUnquotedFields(std::string_view line, std::span<std::string_view> out);

// Appends `field` to `out` as one CSV field (RFC 4180): quoted, with quotes
// doubled, when it holds a comma, a quote, a blank, a carriage return or a
// line feed; as it is otherwise.
void AppendCsvField(std::string& out, std::string_view field);

}  // namespace tavrin::sounding
