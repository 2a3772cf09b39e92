// One vertical electrical sounding as read from a field sheet: its readings,
// and the lines that could not make a reading.
#pragma once

#include <limits>
#include <optional>
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

// The length unit of a sheet's spacings.
enum class LengthUnit { kFeet, kMetres };

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
  // The factor joining has multiplied rho by (1 when not joined).
  double shift = 1;
  // The reading's relative error (0.05 for 5 %) as the sheet gives it in an
  // error column, or the standard error of the mean of its repeats; NaN when
  // the sheet says nothing of it.
  double error = std::numeric_limits<double>::quiet_NaN();
  // A profile sheet's station columns: the station as written ("" without
  // one), its position along and across the line and its elevation (NaN
  // without them).
  std::string station{};
  double x = std::numeric_limits<double>::quiet_NaN();
  double y = std::numeric_limits<double>::quiet_NaN();
  double elevation = std::numeric_limits<double>::quiet_NaN();
};

struct LineError {
  long line;
  std::string reason;
};

struct Sounding {
  Layout layout = Layout::kCalculator;
  // False when the sheet cannot be read (its header names no layout, a unit
  // is unknown, ...); then `errors` holds that line and its reason, and
  // nothing else was read.
  bool layoutKnown = true;
  // Readings grouped by segment (segments in order of first appearance), in
  // the input's order within each segment.
  std::vector<Reading> readings;
  std::vector<LineError> errors;
  int segmentCount = 0;
  bool hasRepeats = false;  // some reading averages more than one measurement
  bool hasErrors = false;   // some reading has an error of its own
  // The length unit the header names (AB/2 (m)); nullopt when it names none.
  std::optional<LengthUnit> unit;
  // Readings that were read but are doubtful (a sheet value that disagrees
  // with the computed one, repeats far apart); they are kept.
  std::vector<LineError> warnings;
  // What the reader decided about the sheet as a whole (the decimal
  // convention, skipped title lines), one sentence each.
  std::vector<std::string> notes;
  // The readings left out on request (--drop), in the input's order.
  std::vector<Reading> dropped;
};

// A column mapped by the user: the role (ab2, mn2, ab, mn, v, i, r, rho, k,
// error, n, a) and the header's name for it, compared as given.
struct ColumnMap {
  std::string role;
  std::string name;
};

struct ReadOptions {
  std::vector<ColumnMap> columns;
  // The length unit the user gave (--units); a header naming another is an
  // error.
  std::optional<LengthUnit> unit;
  std::vector<long> drop;  // line numbers whose readings are left out
};

// Reads a whole sounding. The header is the first line whose column names
// make a layout (lines above it that are not readings are skipped with a
// note); without one, a sheet that starts with numbers is the calculator's
// n a v i. Lines are split at the header's separator (semicolon, tab, comma
// or blanks; quoted fields may hold it), numbers read in the decimal
// convention the sheet shows. Lines that cannot make a reading go to
// `errors`.
Sounding ParseSounding(std::string_view text, const ReadOptions& options = {});

}  // namespace tavrin::sounding
