// Fuzzes the field-sheet reader with arbitrary bytes as a sheet. Beyond
// memory safety it checks what every sheet gives:
//  - a sheet that cannot be read says so on one line and reads nothing;
//  - every line is at most one of: a reading, a line left out, an error;
//  - every reading is a Schlumberger reading (AB/2 > MN/2 > 0, or MN/2
//    unknown) with a finite positive apparent resistivity and K;
//  - segments number the MN/2 values from 0 without a gap.
// The sheet is read with no options, with column maps, or with lines left
// out, chosen by the input's length so that plain sheets serve as seeds.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string_view>

#include "sounding/sounding.h"

namespace {

using tavrin::sounding::ColumnMap;
using tavrin::sounding::Reading;
using tavrin::sounding::ReadOptions;
using tavrin::sounding::Sounding;

void Fail(const char* what, long line) {
  std::fprintf(stderr, "fuzz_sounding_sheet: %s (line %ld)\n", what, line);
  std::abort();
}

ReadOptions OptionsFor(std::size_t size) {
  ReadOptions options;
  switch (size % 4) {
    case 1:
      options.columns = {ColumnMap{"ab2", "c"}, ColumnMap{"mn2", "p"}, ColumnMap{"r", "m1"},
                         ColumnMap{"r", "m2"}};
      break;
    case 2:
      options.columns = {ColumnMap{"rho", "x"}, ColumnMap{"ab", "L"}};
      break;
    case 3:
      options.drop = {2, 3, 5};
      break;
    default:
      break;
  }
  return options;
}

void CheckReading(const Reading& r, int segments) {
  if (!(r.ab2 > 0) || !std::isfinite(r.ab2)) Fail("AB/2 not finite and positive", r.line);
  if (!std::isnan(r.mn2) && !(r.mn2 > 0 && r.mn2 < r.ab2)) Fail("MN/2 out of (0, AB/2)", r.line);
  if (!(r.rho > 0) || !std::isfinite(r.rho)) Fail("rho not finite and positive", r.line);
  if (!std::isnan(r.k) && !(r.k > 0 && std::isfinite(r.k))) Fail("K not finite and positive", r.line);
  if (r.segment < 0 || r.segment >= segments) Fail("segment out of range", r.line);
  if (!std::isnan(r.error) && !(r.error > 0)) Fail("error not positive", r.line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const Sounding s = tavrin::sounding::ParseSounding(text, OptionsFor(size));
  if (!s.layoutKnown) {
    if (s.errors.size() != 1 || !s.readings.empty() || s.errors[0].reason.empty()) {
      Fail("an unreadable sheet read something", 0);
    }
    return 0;
  }
  std::set<long> lines;
  const auto once = [&](long line) {
    if (line < 1 || !lines.insert(line).second) Fail("a line given twice", line);
  };
  for (const Reading& r : s.readings) {
    once(r.line);
    CheckReading(r, s.segmentCount);
  }
  for (const Reading& r : s.dropped) once(r.line);
  for (const auto& e : s.errors) {
    once(e.line);
    if (e.reason.empty()) Fail("an error without a reason", e.line);
  }
  std::set<int> seen;
  for (const Reading& r : s.readings) seen.insert(r.segment);
  if (static_cast<int>(seen.size()) != s.segmentCount) Fail("segments with a gap", 0);
  return 0;
}
