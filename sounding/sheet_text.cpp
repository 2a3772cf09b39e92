// Splitting a field sheet's lines and reading its numbers in the sheet's
// decimal convention.
#include "sheet_text.h"

#include <algorithm>
#include <cmath>

#include "numtext/double_chars.h"

namespace tavrin::sounding::sheet {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kQuote = '"';

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view WithoutCarriageReturn(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// Whether `c` occurs in `line` outside double quotes.
bool HoldsOutsideQuotes(std::string_view line, char c) {
  bool quoted = false;
  for (const char x : line) {
    if (x == kQuote) quoted = !quoted;
    if (!quoted && x == c) return true;
  }
  return false;
}

void Assign(std::vector<std::string>& fields, std::size_t index, std::string_view text) {
  if (fields.size() <= index) fields.resize(index + 1);
  fields[index].assign(text);
}

// Reads one field from `pos` up to `separator` (or a run of blanks for
// ' '), unquoting a quoted part; returns the position of the separator or
// the line's end.
std::size_t ReadField(std::string_view line, std::size_t pos, char separator, std::string& field) {
  field.clear();
  const auto atSeparator = [&](std::size_t p) {
    return separator == ' ' ? IsBlank(line[p]) : line[p] == separator;
  };
  while (pos < line.size() && !atSeparator(pos)) {
    const char c = line[pos++];
    if (c != kQuote) {
      field += c;
      continue;
    }
    while (pos < line.size()) {  // a quoted part
      const char q = line[pos++];
      if (q != kQuote) {
        field += q;
      } else if (pos < line.size() && line[pos] == kQuote) {
        field += kQuote;
        ++pos;
      } else {
        break;
      }
    }
  }
  while (!field.empty() && IsBlank(field.back())) field.pop_back();
  return pos;
}

}  // namespace

std::string_view WithoutByteOrderMark(std::string_view text) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  return text;
}

char SeparatorOf(std::string_view line) {
  line = WithoutCarriageReturn(line);
  for (const char c : {';', '\t', ','}) {
    if (HoldsOutsideQuotes(line, c)) return c;
  }
  return ' ';
}

char LineSeparator(std::string_view line, char sheetSeparator) {
  const std::string_view text = WithoutCarriageReturn(line);
  if (sheetSeparator != ' ' && HoldsOutsideQuotes(text, sheetSeparator)) return sheetSeparator;
  if (sheetSeparator == ';' || sheetSeparator == '\t') return ' ';
  return SeparatorOf(text);
}

std::size_t SplitLine(std::string_view line, char separator, std::vector<std::string>& fields) {
  line = WithoutCarriageReturn(line);
  std::size_t count = 0;
  std::size_t pos = 0;
  std::string field;
  if (separator == ' ') {
    while (true) {
      while (pos < line.size() && IsBlank(line[pos])) ++pos;
      if (pos == line.size()) break;
      pos = ReadField(line, pos, separator, field);
      Assign(fields, count++, field);
    }
    return count;
  }
  while (true) {
    while (pos < line.size() && line[pos] != separator && IsBlank(line[pos])) ++pos;
    pos = ReadField(line, pos, separator, field);
    Assign(fields, count++, field);
    if (pos == line.size()) break;
    ++pos;  // the separator: another field follows, if only an empty one
  }
  return count;
}

// The parts of a number as a field writes it: sign, integer digits, one
// mark (point or comma) with its fraction digits, and an exponent.
NumberStyle StyleOf(std::string_view field) {
  std::size_t pos = 0;
  if (pos < field.size() && (field[pos] == '+' || field[pos] == '-')) ++pos;
  const std::size_t intStart = pos;
  while (pos < field.size() && IsDigit(field[pos])) ++pos;
  const std::size_t intDigits = pos - intStart;
  char mark = 0;
  std::size_t fracDigits = 0;
  if (pos < field.size() && (field[pos] == '.' || field[pos] == ',')) {
    mark = field[pos++];
    const std::size_t fracStart = pos;
    while (pos < field.size() && IsDigit(field[pos])) ++pos;
    fracDigits = pos - fracStart;
  }
  if (intDigits + fracDigits == 0) return NumberStyle::kNotNumber;
  bool exponent = false;
  if (pos < field.size() && (field[pos] == 'e' || field[pos] == 'E')) {
    exponent = true;
    ++pos;
    if (pos < field.size() && (field[pos] == '+' || field[pos] == '-')) ++pos;
    const std::size_t expStart = pos;
    while (pos < field.size() && IsDigit(field[pos])) ++pos;
    if (pos == expStart) return NumberStyle::kNotNumber;
  }
  if (pos != field.size()) {
    // 1.234,5 and 1,234,567: more marks than a number has.
    const bool moreMarks =
        std::all_of(field.begin() + static_cast<std::ptrdiff_t>(intStart), field.end(),
                    [](char c) { return IsDigit(c) || c == '.' || c == ','; });
    return mark != 0 && moreMarks ? NumberStyle::kMixed : NumberStyle::kNotNumber;
  }
  if (mark == 0) return NumberStyle::kPlain;
  // Three digits after a mark that follows one to three digits not starting
  // with 0 could be a thousands group.
  const bool thousands =
      !exponent && fracDigits == 3 && intDigits >= 1 && intDigits <= 3 && field[intStart] != '0';
  if (mark == '.') return thousands ? NumberStyle::kPointOrThousands : NumberStyle::kPoint;
  return thousands ? NumberStyle::kCommaOrThousands : NumberStyle::kComma;
}

NumberRead ReadNumber(std::string_view field, Decimal decimal) {
  const auto refuse = [&](std::string why) {
    return NumberRead{std::nullopt, "'" + std::string(field) + "' " + std::move(why)};
  };
  const NumberStyle style = StyleOf(field);
  switch (style) {
    case NumberStyle::kNotNumber: {
      const bool twoNumbers = std::any_of(field.begin(), field.end(), IsBlank) &&
                              SeparatorOf(field) == ' ' &&
                              std::all_of(field.begin(), field.end(), [](char c) {
                                return IsBlank(c) || IsDigit(c) || c == '.' || c == ',' ||
                                       c == '-' || c == '+' || c == 'e' || c == 'E';
                              });
      return refuse(twoNumbers ? "holds two numbers (or a thousands separator)"
                               : "is not a number");
    }
    case NumberStyle::kMixed:
      return refuse("has thousands separators; write the number without them");
    case NumberStyle::kComma:
    case NumberStyle::kCommaOrThousands:
      if (decimal == Decimal::kPoint) {
        return refuse(style == NumberStyle::kComma
                          ? "has a decimal comma in a sheet that writes decimal points"
                          : "is ambiguous: a decimal comma or a thousands separator");
      }
      break;
    case NumberStyle::kPointOrThousands:
      if (decimal == Decimal::kComma) {
        return refuse(
            "is ambiguous in a sheet that writes decimal commas: a decimal point or "
            "a thousands separator");
      }
      break;
    case NumberStyle::kPoint:
      if (decimal == Decimal::kComma) {
        return refuse("has a decimal point in a sheet that writes decimal commas");
      }
      break;
    case NumberStyle::kPlain:
      break;
  }
  std::string_view text = field.starts_with('+') ? field.substr(1) : field;
  // Only a decimal comma needs a copy: from_chars reads points.
  std::string withPoint;
  if (text.find(',') != std::string_view::npos) {
    withPoint.assign(text);
    std::replace(withPoint.begin(), withPoint.end(), ',', '.');
    text = withPoint;
  }
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = FromChars(text.data(), end, value);
  if (error != std::errc() || stop != end || !std::isfinite(value)) {
    return refuse("is not a finite number");
  }
  return {value, {}};
}

bool LooksLikeReading(const std::vector<std::string>& fields, std::size_t count) {
  std::size_t numbers = 0;
  for (std::size_t k = 0; k < count; ++k) {
    const std::string& f = fields[k];
    if (f.empty()) continue;
    std::size_t p = f.front() == '+' || f.front() == '-' ? 1 : 0;
    if (p == f.size() || !(IsDigit(f[p]) || f[p] == '.' || f[p] == '&')) return false;
    ++numbers;
  }
  return numbers >= 2;
}

}  // namespace tavrin::sounding::sheet
