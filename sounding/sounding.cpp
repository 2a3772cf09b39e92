// Reading a sounding: the header's column names choose the layout, then each
// line becomes one reading or one line error.
//
// Geometry of a Schlumberger reading with AB/2 = L and MN/2 = l (0 < l < L):
//   K = pi (L^2 - l^2) / (2 l),   rho = K V / I = K R.
// The calculator's form n, a is the same array with MN = a and
// AB/2 = (n + 1/2) a, so K = pi n (n + 1) a; its lines take rho and K exactly
// as the calculator computes them (single-precision pi, extended precision).
// The other layouts use the double pi and double arithmetic, their numbers
// read by std::from_chars (plain decimal, optional sign, C locale).
#include "sounding/sounding.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>
#include <optional>
#include <span>
#include <string>

#include "formula/resistivity.h"
#include "numtext/double_chars.h"
#include "numtext/numtext.h"
#include "runtime/text_value.h"
#include "sounding/csv.h"

namespace tavrin::sounding {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The columns a header may name, each with the names it accepts
// (compared case-insensitively).
enum class Column { kN, kA, kV, kI, kAb2, kMn2, kR, kRho, kCount };

struct ColumnName {
  std::string_view name;
  Column column;
};

constexpr std::array kColumnNames{
    ColumnName{"n", Column::kN},      ColumnName{"a", Column::kA},
    ColumnName{"v", Column::kV},      ColumnName{"i", Column::kI},
    ColumnName{"ab2", Column::kAb2},  ColumnName{"ab/2", Column::kAb2},
    ColumnName{"mn2", Column::kMn2},  ColumnName{"mn/2", Column::kMn2},
    ColumnName{"r", Column::kR},      ColumnName{"rho", Column::kRho},
    ColumnName{"rhoa", Column::kRho},
};

constexpr std::size_t kColumnCount = static_cast<std::size_t>(Column::kCount);
constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);

// Where each column stands in a line: the first field of that name (kAbsent
// when none), and every R column.
struct ColumnPlace {
  std::array<std::size_t, kColumnCount> first;
  std::vector<std::size_t> resistances;

  ColumnPlace() { first.fill(kAbsent); }
  std::size_t operator[](Column c) const { return first[static_cast<std::size_t>(c)]; }
  bool has(Column c) const { return (*this)[c] != kAbsent; }
};

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// "r" alone or followed by digits ("r1", "r2", ...) names an R column.
bool IsResistanceName(std::string_view lower) {
  return !lower.empty() && lower.front() == 'r' && lower.size() > 1 &&
         std::all_of(lower.begin() + 1, lower.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<Column> ColumnOf(std::string_view field) {
  const std::string lower = Lower(field);
  if (IsResistanceName(lower)) return Column::kR;
  for (const ColumnName& entry : kColumnNames) {
    if (entry.name == lower) return entry.column;
  }
  return std::nullopt;
}

ColumnPlace PlaceColumns(const std::vector<std::string>& header) {
  ColumnPlace place;
  for (std::size_t k = 0; k < header.size(); ++k) {
    const std::optional<Column> column = ColumnOf(header[k]);
    if (!column) continue;
    if (*column == Column::kR) place.resistances.push_back(k);
    std::size_t& first = place.first[static_cast<std::size_t>(*column)];
    if (first == kAbsent) first = k;
  }
  return place;
}

// The layouts and the columns each needs, in the order they are tried.
struct LayoutColumns {
  Layout layout;
  std::array<Column, 4> needs;
  std::size_t needCount;
};

constexpr std::array kLayouts{
    LayoutColumns{Layout::kFieldSheet, {Column::kAb2, Column::kMn2, Column::kV, Column::kI}, 4},
    LayoutColumns{Layout::kResistance, {Column::kAb2, Column::kMn2, Column::kR}, 3},
    LayoutColumns{Layout::kApparent, {Column::kAb2, Column::kRho}, 2},
    LayoutColumns{Layout::kCalculator, {Column::kN, Column::kA, Column::kV, Column::kI}, 4},
};

std::optional<Layout> ChooseLayout(const ColumnPlace& place) {
  for (const LayoutColumns& entry : kLayouts) {
    const auto needs = std::span(entry.needs).first(entry.needCount);
    if (std::all_of(needs.begin(), needs.end(), [&](Column c) { return place.has(c); })) {
      return entry.layout;
    }
  }
  return std::nullopt;
}

// Without a header: the calculator's n a v i.
ColumnPlace CalculatorPlace() {
  ColumnPlace place;
  const std::array columns{Column::kN, Column::kA, Column::kV, Column::kI};
  for (std::size_t k = 0; k < columns.size(); ++k) {
    place.first[static_cast<std::size_t>(columns[k])] = k;
  }
  return place;
}

// The fields a line must have to reach every needed column of `layout`.
std::size_t FieldsNeeded(const ColumnPlace& place, Layout layout) {
  std::size_t needed = 0;
  for (const LayoutColumns& entry : kLayouts) {
    if (entry.layout != layout) continue;
    for (std::size_t k = 0; k < entry.needCount; ++k) {
      needed = std::max(needed, place[entry.needs[k]] + 1);
    }
  }
  return needed;
}

// A line's outcome: a reading, or the reason it is not one.
struct LineResult {
  std::optional<Reading> reading;
  std::string reason;
};

LineResult Refuse(std::string reason) {
  return {std::nullopt, std::move(reason)};
}

// A whole field read as a finite double; nullopt when it is not one.
std::optional<double> ParseNumber(std::string_view field) {
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  double value = 0;
  const char* end = field.data() + field.size();
  const auto [stop, error] = FromChars(field.data(), end, value);
  if (field.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// The Schlumberger geometric factor K = pi (L^2 - l^2) / (2 l).
double GeometricFactor(double ab2, double mn2) {
  return std::numbers::pi * (ab2 * ab2 - mn2 * mn2) / (2 * mn2);
}

// Reads the numbers of `columns` from `fields` into `values`; the reason on
// failure.
template <std::size_t N>
std::optional<std::string> ReadNumbers(const std::vector<std::string>& fields,
                                       const ColumnPlace& place,
                                       const std::array<Column, N>& columns,
                                       std::array<double, N>& values) {
  for (std::size_t k = 0; k < N; ++k) {
    const std::string& field = fields[place[columns[k]]];
    const std::optional<double> value = ParseNumber(field);
    if (!value) return "'" + field + "' is not a number";
    values[k] = *value;
  }
  return std::nullopt;
}

// The checks every AB/2, MN/2 pair passes; the reason on failure.
std::optional<std::string> CheckSpacing(double ab2, double mn2) {
  if (!(mn2 > 0)) return "MN/2 not above 0";
  if (!(ab2 > mn2)) return "AB/2 not above MN/2";
  return std::nullopt;
}

Reading MakeReading(long line, double ab2, double mn2, double k, double rho) {
  return Reading{line, ab2, mn2, k, rho, 1, kNaN, 0, 1, kNaN};
}

LineResult ReadCalculator(long line, const std::vector<std::string>& fields,
                          const ColumnPlace& place) {
  const TextValue n = TextValue::Copy(fields[place[Column::kN]]);
  const TextValue a = TextValue::Copy(fields[place[Column::kA]]);
  const TextValue v = TextValue::Copy(fields[place[Column::kV]]);
  const TextValue i = TextValue::Copy(fields[place[Column::kI]]);
  const auto nValue = static_cast<double>(TextToNumber(n));
  const auto aValue = static_cast<double>(TextToNumber(a));
  if (!(aValue > 0)) return Refuse("a not above 0 (MN/2 = a/2)");
  if (!(nValue > 0)) return Refuse("n not above 0 (AB/2 = (n + 1/2) a)");
  if (!(static_cast<double>(TextToNumber(i)) > 0)) return Refuse("current not above 0");
  const double ab2 = (nValue + 0.5) * aValue;
  return {MakeReading(line, ab2, aValue / 2, ComputeGeometricFactor(n, a),
                      ComputeResistivity(n, a, v, i)),
          {}};
}

LineResult ReadFieldSheet(long line, const std::vector<std::string>& fields,
                          const ColumnPlace& place) {
  std::array<double, 4> x{};
  if (auto reason = ReadNumbers(
          fields, place, std::array{Column::kAb2, Column::kMn2, Column::kV, Column::kI}, x)) {
    return Refuse(*reason);
  }
  const auto [ab2, mn2, v, i] = x;
  if (auto reason = CheckSpacing(ab2, mn2)) return Refuse(*reason);
  if (!(i > 0)) return Refuse("current not above 0");
  const double k = GeometricFactor(ab2, mn2);
  return {MakeReading(line, ab2, mn2, k, k * v / i), {}};
}

// Repeated R measurements: empty R fields are missing repeats; the others are
// averaged, and their sample standard deviation s over |mean| is the spread.
LineResult ReadResistance(long line, const std::vector<std::string>& fields,
                          const ColumnPlace& place) {
  std::array<double, 2> x{};
  if (auto reason = ReadNumbers(fields, place, std::array{Column::kAb2, Column::kMn2}, x)) {
    return Refuse(*reason);
  }
  const auto [ab2, mn2] = x;
  std::vector<double> repeats;
  for (const std::size_t column : place.resistances) {
    if (column >= fields.size() || fields[column].empty()) continue;
    const std::optional<double> r = ParseNumber(fields[column]);
    if (!r) return Refuse("'" + fields[column] + "' is not a number");
    repeats.push_back(*r);
  }
  if (repeats.empty()) return Refuse("no resistance");
  if (auto reason = CheckSpacing(ab2, mn2)) return Refuse(*reason);
  double sum = 0;
  for (const double r : repeats) sum += r;
  const double count = static_cast<double>(repeats.size());
  const double mean = sum / count;
  const double k = GeometricFactor(ab2, mn2);
  Reading reading = MakeReading(line, ab2, mn2, k, k * mean);
  reading.repeats = static_cast<int>(repeats.size());
  if (repeats.size() > 1) {
    double squares = 0;
    for (const double r : repeats) squares += (r - mean) * (r - mean);
    reading.spread = std::sqrt(squares / (count - 1)) / std::fabs(mean);
  }
  return {reading, {}};
}

// Apparent resistivities computed elsewhere; an mn2 column, when there is
// one and the field is not empty, keeps the segments and gives K.
LineResult ReadApparent(long line, const std::vector<std::string>& fields,
                        const ColumnPlace& place) {
  std::array<double, 2> x{};
  if (auto reason = ReadNumbers(fields, place, std::array{Column::kAb2, Column::kRho}, x)) {
    return Refuse(*reason);
  }
  const auto [ab2, rho] = x;
  if (!(ab2 > 0)) return Refuse("AB/2 not above 0");
  const std::size_t mn2Column = place[Column::kMn2];
  if (mn2Column == kAbsent || mn2Column >= fields.size() || fields[mn2Column].empty()) {
    return {MakeReading(line, ab2, kNaN, kNaN, rho), {}};
  }
  const std::optional<double> mn2 = ParseNumber(fields[mn2Column]);
  if (!mn2) return Refuse("'" + fields[mn2Column] + "' is not a number");
  if (auto reason = CheckSpacing(ab2, *mn2)) return Refuse(*reason);
  return {MakeReading(line, ab2, *mn2, GeometricFactor(ab2, *mn2), rho), {}};
}

std::string_view LayoutUsage(Layout layout) {
  switch (layout) {
    case Layout::kCalculator:
      return "n a v i";
    case Layout::kFieldSheet:
      return "ab2 mn2 v i";
    case Layout::kResistance:
      return "ab2 mn2 r";
    case Layout::kApparent:
      return "ab2 rho";
  }
  return "";
}

LineResult ReadLine(Layout layout, long line, const std::vector<std::string>& fields,
                    const ColumnPlace& place) {
  const std::size_t needed = FieldsNeeded(place, layout);
  if (fields.size() < needed) {
    return Refuse(std::to_string(fields.size()) + (fields.size() == 1 ? " field, " : " fields, ") +
                  std::to_string(needed) + " needed (" + std::string(LayoutUsage(layout)) + ")");
  }
  switch (layout) {
    case Layout::kCalculator:
      return ReadCalculator(line, fields, place);
    case Layout::kFieldSheet:
      return ReadFieldSheet(line, fields, place);
    case Layout::kResistance:
      return ReadResistance(line, fields, place);
    case Layout::kApparent:
      return ReadApparent(line, fields, place);
  }
  return Refuse("unknown layout");
}

bool SameSpacing(double x, double y) {
  return x == y || (std::isnan(x) && std::isnan(y));
}

// Numbers the distinct MN/2 values in order of first appearance and groups
// the readings by them, keeping the input's order within each group.
void FormSegments(Sounding& sounding) {
  std::vector<double> spacings;
  for (Reading& reading : sounding.readings) {
    const auto found = std::find_if(spacings.begin(), spacings.end(),
                                    [&](double s) { return SameSpacing(s, reading.mn2); });
    reading.segment = static_cast<int>(found - spacings.begin());
    if (found == spacings.end()) spacings.push_back(reading.mn2);
    sounding.hasRepeats = sounding.hasRepeats || reading.repeats > 1;
  }
  std::stable_sort(sounding.readings.begin(), sounding.readings.end(),
                   [](const Reading& x, const Reading& y) { return x.segment < y.segment; });
  sounding.segmentCount = static_cast<int>(spacings.size());
}

bool StartsWithLetter(std::string_view field) {
  return !field.empty() && ((field.front() >= 'a' && field.front() <= 'z') ||
                            (field.front() >= 'A' && field.front() <= 'Z'));
}

}  // namespace

Sounding ParseSounding(std::string_view text, const ReadOptions& /*options*/) {
  Sounding sounding;
  ColumnPlace place = CalculatorPlace();
  bool firstReadingLine = true;
  long lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++lineNumber;
    if (IsBlankOrComment(line)) continue;
    const std::vector<std::string> fields = SplitFields(line);
    const bool isHeader = firstReadingLine && !fields.empty() && StartsWithLetter(fields.front());
    firstReadingLine = false;
    if (isHeader) {
      place = PlaceColumns(fields);
      const std::optional<Layout> layout = ChooseLayout(place);
      if (!layout) {
        sounding.layoutKnown = false;
        sounding.errors.push_back(
            {lineNumber,
             "the columns name no layout (n,a,v,i or ab2,mn2,v,i or ab2,mn2,r or ab2,rho)"});
        return sounding;
      }
      sounding.layout = *layout;
      continue;
    }
    LineResult result = ReadLine(sounding.layout, lineNumber, fields, place);
    if (result.reading) {
      sounding.readings.push_back(*result.reading);
    } else {
      sounding.errors.push_back({lineNumber, std::move(result.reason)});
    }
  }
  FormSegments(sounding);
  return sounding;
}

}  // namespace tavrin::sounding
