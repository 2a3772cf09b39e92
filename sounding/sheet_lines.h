// Where a field sheet's readings start: the header found among the first
// lines (titles, dates and site names above it skipped), the separator and
// the decimal convention of the sheet, and the walk over its reading lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sheet_header.h"
#include "sheet_text.h"
#include "sounding/csv.h"
#include "sounding/sounding.h"

namespace tavrin::sounding::sheet {

struct SheetStart {
  std::string_view text;  // the whole sheet, without a byte-order mark
  Header header;
  long line = 0;               // the header's line; 0 without a header
  std::size_t readingsAt = 0;  // offset of the line after the header
  char separator = ' ';        // the header's (or first line's) separator
  Decimal decimal = Decimal::kPoint;
  std::vector<std::string> notes;
  std::vector<LineError> errors;  // numbers above the header
  // Why the sheet cannot be read (at `line`); empty when it can.
  std::string reason;
};

// Finds the header: the first line whose columns make a layout. Without
// one, a sheet whose first line holds numbers is the calculator's n a v i;
// any other is refused with what its first named line understood.
SheetStart FindHeader(std::string_view text, const ReadOptions& options);

// Calls read(lineNumber, fieldCount) for each line after the header that is
// neither blank nor a comment, with its fields in `fields`.
template <typename Read>
void ForEachLine(const SheetStart& start, std::vector<std::string>& fields, Read read) {
  std::string_view text = start.text.substr(start.readingsAt);
  long number = start.line;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++number;
    if (IsBlankOrComment(line)) continue;
    read(number, SplitLine(line, LineSeparator(line, start.separator), fields));
  }
}

}  // namespace tavrin::sounding::sheet
