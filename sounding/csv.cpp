// Field splitting of batch input lines and CSV field quoting.
#include "sounding/csv.h"

namespace tavrin::sounding {

namespace {

constexpr char kQuote = '"';
constexpr char kComma = ',';

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsSeparator(char c) {
  return IsBlank(c) || c == kComma;
}

// Characters that make a CSV field need quotes.
constexpr std::string_view kNeedsQuoting = ",\" \t\r\n";

// Reads a quoted field starting at the opening quote `line[pos]`; returns the
// position after the closing quote (or the line's end) and appends the
// content to `field`.
std::size_t ReadQuoted(std::string_view line, std::size_t pos, std::string& field) {
  ++pos;  // opening quote
  while (pos < line.size()) {
    const char c = line[pos++];
    if (c != kQuote) {
      field += c;
    } else if (pos < line.size() && line[pos] == kQuote) {
      field += kQuote;  // "" inside quotes
      ++pos;
    } else {
      return pos;  // closing quote
    }
  }
  return pos;
}

}  // namespace

bool IsBlankOrComment(std::string_view line) {
  for (const char c : line) {
    if (IsBlank(c) || c == '\r') continue;
    return c == '#';
  }
  return true;
}

std::vector<std::string> SplitFields(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::vector<std::string> fields;
  std::size_t pos = 0;
  // After a comma a field is owed even if nothing follows it.
  bool fieldOwed = false;
  while (true) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos == line.size()) {
      if (fieldOwed) fields.emplace_back();
      break;
    }
    std::string field;
    if (line[pos] == kComma) {
      // Nothing before this comma: an empty field.
    } else {
      if (line[pos] == kQuote) pos = ReadQuoted(line, pos, field);
      // Unquoted text (or text glued to a closing quote) up to a separator.
      while (pos < line.size() && !IsSeparator(line[pos])) field += line[pos++];
      while (pos < line.size() && IsBlank(line[pos])) ++pos;
    }
    fields.push_back(std::move(field));
    fieldOwed = pos < line.size() && line[pos] == kComma;
    if (fieldOwed) ++pos;
  }
  return fields;
}

// The same walk as SplitFields; without quotes every field is the unquoted
// text up to a separator, so it is a view of the line.
std::size_t SplitUnquotedFields(std::string_view line, std::span<std::string_view> out) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::size_t count = 0;
  std::size_t pos = 0;
  bool fieldOwed = false;
  while (count < out.size()) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos == line.size()) {
      if (fieldOwed) out[count++] = {};
      break;
    }
    const std::size_t start = pos;
    while (pos < line.size() && !IsSeparator(line[pos])) ++pos;
    out[count++] = line.substr(start, pos - start);
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    fieldOwed = pos < line.size() && line[pos] == kComma;
    if (fieldOwed) ++pos;
  }
  return count;
}

void AppendCsvField(std::string& out, std::string_view field) {
  if (field.find_first_of(kNeedsQuoting) == std::string_view::npos) {
    out += field;
    return;
  }
  out += kQuote;
  for (const char c : field) {
    if (c == kQuote) out += kQuote;
    out += c;
  }
  out += kQuote;
}

}  // namespace tavrin::sounding
