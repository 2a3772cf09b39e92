// Reading a sounding: the header found and read, the sheet's decimal
// convention decided, then each line made one reading or one line error.
//
// Geometry of a Schlumberger reading with AB/2 = L and MN/2 = l (0 < l < L):
//   K = pi (L^2 - l^2) / (2 l),   rho = K V / I = K R.
// The calculator's form n, a is the same array with MN = a and
// AB/2 = (n + 1/2) a, so K = pi n (n + 1) a; its lines take rho and K exactly
// as the calculator computes them (single-precision pi, extended precision).
// The other layouts use the double pi and double arithmetic.
#include "sounding/sounding.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <unordered_map>

#include "formula/resistivity.h"
#include "numtext/numtext.h"
#include "runtime/text_value.h"
#include "sheet_header.h"
#include "sheet_lines.h"
#include "sheet_text.h"

namespace tavrin::sounding {

namespace {

using sheet::Column;
using sheet::Header;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A sheet's own K or apparent resistivity further than this from the one
// computed from its raw readings is reported: a transcription error.
constexpr double kCrossCheckTolerance = 0.005;
// Repeats further apart than this factor are reported.
constexpr double kRepeatSpreadFactor = 2;

// The fields of the line being read, with what the line may owe: its
// warnings.
struct Line {
  long number;
  const std::vector<std::string>& fields;
  std::size_t count;
  sheet::Decimal decimal;
  std::vector<LineError>& warnings;

  const std::string& field(const Column& column) const { return fields[column.index]; }
  bool empty(const Column& column) const {
    return column.index >= count || fields[column.index].empty();
  }
  void warn(std::string text) const { warnings.push_back({number, std::move(text)}); }
};

// A line's outcome: a reading, or the reason it is not one.
struct LineResult {
  std::optional<Reading> reading;
  std::string reason;
};

LineResult Refuse(std::string reason) {
  return {std::nullopt, std::move(reason)};
}

// A column's number in volts, amps, ohms or the sheet's length; the reason
// in `reason` when it is not one.
std::optional<double> Number(const Line& line, const Column& column, std::string& reason) {
  const sheet::NumberRead read = sheet::ReadNumber(line.field(column), line.decimal);
  if (!read.value) {
    reason = read.reason;
    return std::nullopt;
  }
  return *read.value * column.factor;
}

// The Schlumberger geometric factor K = pi (L^2 - l^2) / (2 l), written as
// pi (L - l)(L + l) / (2 l) so that it overflows only where K itself does.
double GeometricFactor(double ab2, double mn2) {
  return std::numbers::pi * ((ab2 - mn2) * (ab2 + mn2)) / (2 * mn2);
}

std::string Percent(double relative) {
  char text[32];
  std::snprintf(text, sizeof text, "%+.1f %%", 100 * relative);
  return text;
}

std::string Shortest(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

// The sheet's own value of a role beside the computed one: a warning where
// they differ by more than kCrossCheckTolerance.
void CrossCheck(const Line& line, const Header& header, Role role, double computed,
                std::string_view what) {
  if (!header.has(role) || !std::isfinite(computed)) return;
  const Column& column = header[role].front();
  if (line.empty(column)) return;
  std::string reason;
  const std::optional<double> sheetValue = Number(line, column, reason);
  if (!sheetValue) {
    line.warn("the sheet's " + std::string(what) + " " + reason + "; not compared");
    return;
  }
  const double difference = *sheetValue / computed - 1;
  if (!(std::fabs(difference) <= kCrossCheckTolerance)) {
    line.warn("the sheet's " + std::string(what) + " " + Shortest(*sheetValue) +
              " differs from the computed " + Shortest(computed) + " by " + Percent(difference));
  }
}

// AB/2 and MN/2 (from the whole spacings where the header gives those).
LineResult ReadSpacings(const Line& line, const Header& header, bool needMn2, double& ab2,
                        double& mn2) {
  std::string reason;
  const Column& abColumn = header[header.wholeAb ? Role::kAb : Role::kAb2].front();
  const std::optional<double> ab = Number(line, abColumn, reason);
  if (!ab) return Refuse(reason);
  ab2 = header.wholeAb ? *ab / 2 : *ab;
  mn2 = kNaN;
  const Role mnRole = header.wholeMn ? Role::kMn : Role::kMn2;
  if (header.has(mnRole) && (needMn2 || !line.empty(header[mnRole].front()))) {
    const std::optional<double> mn = Number(line, header[mnRole].front(), reason);
    if (!mn) return Refuse(reason);
    mn2 = header.wholeMn ? *mn / 2 : *mn;
    if (!(mn2 > 0)) return Refuse("MN/2 not above 0");
    if (!(ab2 > mn2)) return Refuse("AB/2 not above MN/2");
  }
  if (!(ab2 > 0)) return Refuse("AB/2 not above 0");
  return {};
}

// The mean of repeated resistances: the positive ones averaged, the others
// left out with a warning; spread as the sample standard deviation over the
// mean, and the error of the mean from it.
struct Repeats {
  std::vector<double> values;
  std::vector<std::string> labels;  // each value's text, for warnings
};

LineResult Average(const Line& line, const Repeats& repeats, std::string_view what, double k,
                   double ab2, double mn2) {
  if (repeats.values.empty()) return Refuse("no " + std::string(what));
  std::vector<double> kept;
  for (std::size_t j = 0; j < repeats.values.size(); ++j) {
    const double r = repeats.values[j];
    if (r > 0 && std::isfinite(r)) {
      kept.push_back(r);
    } else if (repeats.values.size() > 1) {
      line.warn("repeat " + std::to_string(j + 1) + " (" + repeats.labels[j] + ") has " +
                std::string(what) + " not above 0; left out of the mean");
    }
  }
  if (kept.empty()) {
    return Refuse(std::string(what) + " not above 0");
  }
  const auto [low, high] = std::minmax_element(kept.begin(), kept.end());
  if (*high > kRepeatSpreadFactor * *low) {
    line.warn("repeats " + Shortest(*low) + " and " + Shortest(*high) +
              " differ by more than a factor of two");
  }
  double sum = 0;
  for (const double r : kept) sum += r;
  const double count = static_cast<double>(kept.size());
  const double mean = sum / count;
  Reading reading{line.number, ab2, mn2, k, k * mean, static_cast<int>(kept.size()), kNaN, 0};
  if (kept.size() > 1) {
    double squares = 0;
    for (const double r : kept) squares += (r - mean) * (r - mean);
    reading.spread = std::sqrt(squares / (count - 1)) / mean;
    // Repeats that agree to every digit written say only that the error is
    // below the fit's floor: no error of its own.
    if (reading.spread > 0) reading.error = reading.spread / std::sqrt(count);
  }
  return {reading, {}};
}

// ab2, mn2 and V, I pairs: R = V / I per pair, pairs as repeats.
LineResult ReadFieldSheet(const Line& line, const Header& header) {
  double ab2 = 0, mn2 = 0;
  if (LineResult spacing = ReadSpacings(line, header, true, ab2, mn2); !spacing.reason.empty()) {
    return spacing;
  }
  Repeats repeats;
  const auto& vs = header[Role::kV];
  const auto& is = header[Role::kI];
  for (std::size_t j = 0; j < vs.size(); ++j) {
    if (j > 0 && line.empty(vs[j]) && line.empty(is[j])) continue;  // a missing repeat
    std::string reason;
    const std::optional<double> v = Number(line, vs[j], reason);
    if (!v) return Refuse(reason);
    const std::optional<double> i = Number(line, is[j], reason);
    if (!i) return Refuse(reason);
    if (vs.size() == 1) {
      if (!(*i > 0)) return Refuse("current not above 0");
      if (*v < 0) return Refuse("potential difference below 0");
    }
    repeats.values.push_back(*i > 0 && *v >= 0 ? *v / *i : -1);
    repeats.labels.push_back(line.field(vs[j]) + "/" + line.field(is[j]));
  }
  const double k = GeometricFactor(ab2, mn2);
  LineResult result = Average(line, repeats, "V/I", k, ab2, mn2);
  if (result.reading && repeats.values.size() == 1) {
    CrossCheck(line, header, Role::kR, repeats.values[0], "V/I");
  }
  return result;
}

// ab2, mn2 and one or more R columns (repeats; empty fields are missing
// repeats).
LineResult ReadResistance(const Line& line, const Header& header) {
  double ab2 = 0, mn2 = 0;
  if (LineResult spacing = ReadSpacings(line, header, true, ab2, mn2); !spacing.reason.empty()) {
    return spacing;
  }
  Repeats repeats;
  for (const Column& column : header[Role::kR]) {
    if (line.empty(column)) continue;
    std::string reason;
    const std::optional<double> r = Number(line, column, reason);
    if (!r) return Refuse(reason);
    repeats.values.push_back(*r);
    repeats.labels.push_back(line.field(column));
  }
  if (repeats.values.empty()) return Refuse("no resistance");
  return Average(line, repeats, "resistance", GeometricFactor(ab2, mn2), ab2, mn2);
}

// Apparent resistivities computed elsewhere; an MN/2, where the line has
// one, keeps the segments and gives K.
LineResult ReadApparent(const Line& line, const Header& header) {
  double ab2 = 0, mn2 = 0;
  if (LineResult spacing = ReadSpacings(line, header, false, ab2, mn2); !spacing.reason.empty()) {
    return spacing;
  }
  std::string reason;
  const std::optional<double> rho = Number(line, header[Role::kRho].front(), reason);
  if (!rho) return Refuse(reason);
  const double k = std::isnan(mn2) ? kNaN : GeometricFactor(ab2, mn2);
  return {Reading{line.number, ab2, mn2, k, *rho, 1, kNaN, 0}, {}};
}

LineResult ReadCalculator(const Line& line, const Header& header) {
  const auto text = [&](Role role) { return TextValue::Copy(line.field(header[role].front())); };
  const TextValue n = text(Role::kN);
  const TextValue a = text(Role::kA);
  const TextValue v = text(Role::kV);
  const TextValue i = text(Role::kI);
  const auto nValue = static_cast<double>(TextToNumber(n));
  const auto aValue = static_cast<double>(TextToNumber(a));
  if (!(aValue > 0)) return Refuse("a not above 0 (MN/2 = a/2)");
  if (!(nValue > 0)) return Refuse("n not above 0 (AB/2 = (n + 1/2) a)");
  if (!(static_cast<double>(TextToNumber(i)) > 0)) return Refuse("current not above 0");
  if (static_cast<double>(TextToNumber(v)) < 0) return Refuse("potential difference below 0");
  const double ab2 = (nValue + 0.5) * aValue;
  return {Reading{line.number, ab2, aValue / 2, ComputeGeometricFactor(n, a),
                  ComputeResistivity(n, a, v, i), 1, kNaN, 0},
          {}};
}

using LineReader = LineResult (*)(const Line&, const Header&);

// The readers by layout, in the order of the Layout enumeration.
constexpr std::array<LineReader, 4> kReaders{ReadCalculator, ReadFieldSheet, ReadResistance,
                                             ReadApparent};

// The reading's own error column, the cross-checks against the sheet's own
// K and apparent resistivity, and the last word: a reading whose K or rho
// is not finite and positive is no reading.
LineResult ReadLine(const Line& line, const Header& header) {
  const std::size_t needed = sheet::FieldsNeeded(header);
  if (line.count < needed) {
    return Refuse(std::to_string(line.count) + (line.count == 1 ? " field, " : " fields, ") +
                  std::to_string(needed) + " needed (" +
                  std::string(sheet::LayoutUsage(header.layout)) + ")");
  }
  const std::size_t warningsBefore = line.warnings.size();
  LineResult result = kReaders[static_cast<std::size_t>(header.layout)](line, header);
  if (!result.reading) {
    line.warnings.resize(warningsBefore);
    return result;
  }
  Reading& reading = *result.reading;
  if (!std::isnan(reading.k) && !(reading.k > 0 && std::isfinite(reading.k))) {
    line.warnings.resize(warningsBefore);
    return Refuse("geometric factor " + Shortest(reading.k) + " not a positive finite number");
  }
  if (!(reading.rho > 0 && std::isfinite(reading.rho))) {
    line.warnings.resize(warningsBefore);
    return Refuse("apparent resistivity " + Shortest(reading.rho) +
                  " not a positive finite number");
  }
  if (header.has(Role::kError) && !line.empty(header[Role::kError].front())) {
    std::string reason;
    const std::optional<double> percent = Number(line, header[Role::kError].front(), reason);
    if (!percent) return Refuse(reason);
    if (!(*percent > 0)) return Refuse("error not above 0 %");
    reading.error = *percent / 100;
  }
  if (header.has(Role::kStation) && !line.empty(header[Role::kStation].front())) {
    reading.station = line.field(header[Role::kStation].front());
  }
  for (const auto& [role, value] :
       {std::pair{Role::kX, &reading.x}, std::pair{Role::kY, &reading.y},
        std::pair{Role::kElevation, &reading.elevation}}) {
    if (!header.has(role) || line.empty(header[role].front())) continue;
    std::string reason;
    const std::optional<double> number = Number(line, header[role].front(), reason);
    if (!number || !std::isfinite(*number)) {
      return Refuse(std::string(RoleName(role)) + ": " + (number ? "not finite" : reason));
    }
    *value = *number;
  }
  if (header.layout != Layout::kApparent) {
    CrossCheck(line, header, Role::kK, reading.k, "K");
    CrossCheck(line, header, Role::kRho, reading.rho, "apparent resistivity");
  }
  return result;
}

// Numbers the distinct MN/2 values in order of first appearance and groups
// the readings by them, keeping the input's order within each group.
void FormSegments(Sounding& sounding) {
  std::unordered_map<double, int> segmentOf;
  int nanSegment = -1;
  for (Reading& reading : sounding.readings) {
    int& segment =
        std::isnan(reading.mn2) ? nanSegment : segmentOf.try_emplace(reading.mn2, -1).first->second;
    if (segment < 0) segment = sounding.segmentCount++;
    reading.segment = segment;
    sounding.hasRepeats = sounding.hasRepeats || reading.repeats > 1;
    sounding.hasErrors = sounding.hasErrors || !std::isnan(reading.error);
  }
  std::stable_sort(sounding.readings.begin(), sounding.readings.end(),
                   [](const Reading& x, const Reading& y) { return x.segment < y.segment; });
}

}  // namespace

Sounding ParseSounding(std::string_view text, const ReadOptions& options) {
  Sounding sounding;
  const sheet::SheetStart start = sheet::FindHeader(text, options);
  if (!start.reason.empty()) {
    sounding.layoutKnown = false;
    sounding.errors.push_back({start.line, start.reason});
    return sounding;
  }
  sounding.layout = start.header.layout;
  sounding.unit = start.header.unit;
  sounding.notes = start.notes;
  sounding.errors = start.errors;
  std::vector<long> drop = options.drop;
  std::sort(drop.begin(), drop.end());
  std::vector<bool> dropUsed(drop.size(), false);
  std::vector<std::string> fields;
  sheet::ForEachLine(start, fields, [&](long number, std::size_t count) {
    const Line line{number, fields, count, start.decimal, sounding.warnings};
    LineResult result = ReadLine(line, start.header);
    if (!result.reading) {
      sounding.errors.push_back({number, std::move(result.reason)});
      return;
    }
    const auto found = std::lower_bound(drop.begin(), drop.end(), number);
    if (found != drop.end() && *found == number) {
      dropUsed[static_cast<std::size_t>(found - drop.begin())] = true;
      sounding.dropped.push_back(*result.reading);
      return;
    }
    sounding.readings.push_back(*result.reading);
  });
  for (std::size_t k = 0; k < drop.size(); ++k) {
    if (!dropUsed[k]) sounding.warnings.push_back({drop[k], "--drop: no reading on this line"});
  }
  const auto byLine = [](const LineError& x, const LineError& y) { return x.line < y.line; };
  std::stable_sort(sounding.errors.begin(), sounding.errors.end(), byLine);
  std::stable_sort(sounding.warnings.begin(), sounding.warnings.end(), byLine);
  FormSegments(sounding);
  return sounding;
}

}  // namespace tavrin::sounding
