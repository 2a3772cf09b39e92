// Finding a field sheet's header and deciding its decimal convention.
#include "sheet_lines.h"

#include <algorithm>

namespace tavrin::sounding::sheet {

namespace {

// Calls visit(lineNumber, line, offsetAfter) for every line that is neither
// blank nor a comment until it returns false.
template <typename Visit>
void Lines(std::string_view text, std::size_t from, long number, Visit visit) {
  std::size_t pos = from;
  while (pos < text.size()) {
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    const std::string_view line = text.substr(pos, end - pos);
    pos = std::min(end + 1, text.size());
    ++number;
    if (IsBlankOrComment(line)) continue;
    if (!visit(number, line, pos)) return;
  }
}

std::string LineList(const std::vector<long>& lines) {
  std::string list;
  for (const long line : lines) {
    if (!list.empty()) list += ", ";
    list += std::to_string(line);
  }
  return list;
}

// The convention the numbers of the reading lines show: decimal commas
// where unambiguous commas outnumber unambiguous points; a sheet with
// neither reads points (a plain 1.500 is then one and a half, as always).
Decimal DecideDecimal(SheetStart& start) {
  std::size_t points = 0;
  std::size_t commas = 0;
  std::vector<std::string> fields;
  std::vector<bool> numeric;
  for (std::size_t r = 0; r < kRoleCount; ++r) {
    for (const Column& column : start.header.columns[r]) {
      if (numeric.size() <= column.index) numeric.resize(column.index + 1, false);
      numeric[column.index] = true;
    }
  }
  ForEachLine(start, fields, [&](long, std::size_t count) {
    for (std::size_t k = 0; k < std::min(count, numeric.size()); ++k) {
      if (!numeric[k]) continue;
      const NumberStyle style = StyleOf(fields[k]);
      points += style == NumberStyle::kPoint;
      commas += style == NumberStyle::kComma;
    }
  });
  const Decimal decimal = commas > points ? Decimal::kComma : Decimal::kPoint;
  if (decimal == Decimal::kComma) {
    start.notes.push_back(
        "numbers read with decimal commas (1,5 is one and a half)" +
        std::string(points > 0 ? "; numbers with a decimal point are refused" : ""));
  } else if (commas > 0) {
    start.notes.push_back(
        "numbers read with decimal points; numbers with a decimal comma are refused");
  } else if (start.separator == ';' || start.separator == '\t') {
    start.notes.push_back("numbers read with decimal points");
  }
  return decimal;
}

}  // namespace

SheetStart FindHeader(std::string_view text, const ReadOptions& options) {
  SheetStart start;
  start.text = WithoutByteOrderMark(text);
  std::vector<std::string> fields;
  // The first line that named a column without making a layout, with why.
  long namedLine = 0;
  std::string namedReason;
  long firstLine = 0;
  bool firstLooksLikeReading = false;
  std::vector<long> numbersAbove;
  std::vector<long> skipped;
  bool found = false;
  Lines(start.text, 0, 0, [&](long number, std::string_view line, std::size_t after) {
    const char separator = SeparatorOf(line);
    const std::size_t count = SplitLine(line, separator, fields);
    const bool reading = LooksLikeReading(fields, count);
    if (firstLine == 0) {
      firstLine = number;
      firstLooksLikeReading = reading;
    }
    // Lines of numbers make no header. The whole sheet is looked at: a
    // header below lines of numbers must not leave its readings to be read
    // as n a v i.
    if (reading) {
      numbersAbove.push_back(number);
      return true;
    }
    HeaderRead read = ReadHeader(fields, count, options);
    if (read.header) {
      start.header = std::move(*read.header);
      start.line = number;
      start.readingsAt = after;
      start.separator = separator;
      found = true;
      return false;
    }
    if (namedLine == 0 && (read.named || !read.reason.empty())) {
      namedLine = number;
      namedReason = std::move(read.reason);
    }
    skipped.push_back(number);
    return true;
  });
  if (!found) {
    if (firstLine == 0) return start;  // nothing at all: no readings
    if (firstLooksLikeReading && options.columns.empty()) {
      start.header = CalculatorHeader();
      return start;  // n a v i from the first line
    }
    start.line = namedLine != 0 ? namedLine : (skipped.empty() ? firstLine : skipped.front());
    start.reason = namedLine != 0 ? namedReason
                   : options.columns.empty()
                       ? "no line names the columns (and the first line holds no numbers); a "
                         "layout needs ab2 mn2 v i, ab2 mn2 r, ab2 rho or n a v i"
                       : "no line names the columns that --column maps";
    return start;
  }
  for (const long line : numbersAbove) {
    start.errors.push_back(
        {line, "numbers above the header (line " + std::to_string(start.line) + ")"});
  }
  if (!skipped.empty()) {
    start.notes.push_back(std::string(skipped.size() == 1 ? "line " : "lines ") +
                          LineList(skipped) + " above the header: not readings, skipped");
  }
  if (start.header.layout != Layout::kCalculator) start.decimal = DecideDecimal(start);
  return start;
}

}  // namespace tavrin::sounding::sheet
