// The text of a field sheet as spreadsheets export it: the byte-order mark,
// the separator a line uses, quoted fields, and numbers written with a
// decimal point or a decimal comma.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::sounding::sheet {

// The text without a UTF-8 byte-order mark at its start.
std::string_view WithoutByteOrderMark(std::string_view text);

// The separator of a line: ';' or '\t' or ',' when the line holds one
// outside quotes (in that order of preference), ' ' (runs of blanks)
// otherwise.
char SeparatorOf(std::string_view line);

// The separator a line of a sheet whose header uses `sheetSeparator` is
// split by: the sheet's when the line holds it (a note with a semicolon in a
// comma-separated sheet stays one field); otherwise, in a sheet separated by
// semicolons or tabs, whose numbers may have decimal commas, runs of blanks;
// in other sheets the line's own.
char LineSeparator(std::string_view line, char sheetSeparator);

// Splits a line (without its line feed; a trailing carriage return is
// dropped) at `separator` outside double quotes, or at runs of blanks for
// ' '. Blanks around a field are not part of it; a quoted field is
// unquoted ("" inside it is one quote). Fills `fields` from the front,
// reusing its strings, and returns the number of fields.
std::size_t SplitLine(std::string_view line, char separator, std::vector<std::string>& fields);

// How a field writes a number, for deciding a sheet's decimal convention.
enum class NumberStyle {
  kNotNumber,         // no digits, or other characters
  kPlain,             // digits without a point or comma: 12, -3e2
  kPoint,             // a decimal point that can be nothing else: 0.5, 2.25
  kComma,             // a decimal comma that can be nothing else: 0,5, 2,25
  kPointOrThousands,  // 1.500: a decimal point, or a thousands separator
  kCommaOrThousands,  // 1,500: a decimal comma, or a thousands separator
  kMixed,             // both, or several: 1.234,5, 1,234,567
};
NumberStyle StyleOf(std::string_view field);

// The decimal convention of a sheet.
enum class Decimal { kPoint, kComma };

// A field read as a finite number in the convention; the reason when it is
// not one (two numbers in one field, a separator the convention does not
// make a decimal mark, ...).
struct NumberRead {
  std::optional<double> value;
  std::string reason;
};
NumberRead ReadNumber(std::string_view field, Decimal decimal);

// True when every non-empty field looks like a number (a sign, digits, a
// point, "&" for the calculator's hexadecimal and octal) and there is one.
bool LooksLikeReading(const std::vector<std::string>& fields, std::size_t count);

}  // namespace tavrin::sounding::sheet
