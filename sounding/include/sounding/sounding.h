// One vertical electrical sounding as read from a field sheet: its readings
// in the input's order, and the lines that could not make a reading.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrin::sounding {

// The input layouts, chosen by the header's column names.
enum class Layout {
  kCalculator,  // n, a, v, i: the calculator's own form and numbers
  kFieldSheet,  // ab2, mn2, v, i
  kResistance,  // ab2, mn2, r (one or more R columns)
  kApparent,    // ab2, rho: apparent resistivities computed elsewhere
};

struct Reading {
  long line;      // 1-based line number in the input
  double ab2;     // AB/2
  double mn2;     // MN/2; NaN in the ab2, rho layout
  double k;       // geometric factor; NaN in the ab2, rho layout
  double rho;     // apparent resistivity
  int repeats;    // measurements averaged into this reading (1 if one)
  double spread;  // relative spread of the repeats; NaN when repeats == 1
  int segment;    // 0-based index of the run of equal MN/2 it belongs to
};

struct LineError {
  long line;
  std::string reason;
};

struct Sounding {
  Layout layout = Layout::kCalculator;
  std::vector<Reading> readings;
  std::vector<LineError> errors;
};

// Reads a whole sounding (separators, comments and quoting as the batch
// command reads them). Lines that cannot make a reading go to `errors`.
Sounding ParseSounding(std::string_view text);

}  // namespace tavrin::sounding
