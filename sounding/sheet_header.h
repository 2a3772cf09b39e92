// A field sheet's header: which column holds what, in which unit, and the
// layout that the columns make.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "sounding/column_names.h"
#include "sounding/sounding.h"

namespace tavrin::sounding::sheet {

// One column the reader uses: where it stands and the factor that brings its
// values to volts, amps, ohms or the sheet's length unit.
struct Column {
  std::size_t index;
  double factor;
};

struct Header {
  Layout layout = Layout::kCalculator;
  // Every column of each role, in the header's order (several for the
  // repeats: r, and v with i in pairs).
  std::array<std::vector<Column>, kRoleCount> columns;
  std::optional<LengthUnit> unit;  // the length unit the header names
  // Whether AB/2 and MN/2 are read from whole spacings (AB, MN).
  bool wholeAb = false;
  bool wholeMn = false;

  const std::vector<Column>& operator[](Role role) const {
    return columns[static_cast<std::size_t>(role)];
  }
  bool has(Role role) const { return !(*this)[role].empty(); }
};

// A line's fields as a header: the header, or the reason they make none.
// `named` is false when no field names a column at all.
struct HeaderRead {
  std::optional<Header> header;
  std::string reason;
  bool named = false;
};
HeaderRead ReadHeader(const std::vector<std::string>& fields, std::size_t count,
                      const ReadOptions& options);

// The calculator's n a v i without a header.
Header CalculatorHeader();

// The fields a line must have to reach every column the layout needs.
std::size_t FieldsNeeded(const Header& header);

// "ab2 mn2 v i" and the like.
std::string_view LayoutUsage(Layout layout);

}  // namespace tavrin::sounding::sheet
