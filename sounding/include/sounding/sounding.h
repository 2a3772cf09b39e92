// One vertical electrical sounding as read from a field sheet: its readings,
// and the lines that could not make a reading.
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
  long line;    // 1-based line number in the input
  double ab2;   // AB/2
  double mn2;   // MN/2; NaN in the ab2, rho layout (unless it has an mn2 column)
  double k;     // geometric factor; NaN where mn2 is
  double rho;   // apparent resistivity
  int repeats;  // measurements averaged into this reading (1 if one)
  // The repeats' sample standard deviation over the magnitude of their mean;
  // NaN when repeats == 1.
  double spread;
  int segment;  // 0-based index of its MN/2 value, in order of first appearance
};

struct LineError {
  long line;
  std::string reason;
};

struct Sounding {
  Layout layout = Layout::kCalculator;
  // False when the header's column names make no layout; then `errors` holds
  // the header line and nothing else was read.
  bool layoutKnown = true;
  // Readings grouped by segment (segments in order of first appearance), in
  // the input's order within each segment.
  std::vector<Reading> readings;
  std::vector<LineError> errors;
  int segmentCount = 0;
  bool hasRepeats = false;  // some reading averages more than one measurement
};

// Reads a whole sounding (separators, comments, quoting and header detection
// as the batch command reads them). Lines that cannot make a reading go to
// `errors`.
Sounding ParseSounding(std::string_view text);

}  // namespace tavrin::sounding
