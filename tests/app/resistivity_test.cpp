// ComputeResistivity: the calculator's formula on typical readings, on the
// zero, negative and missing readings, and where extended intermediates give
// a different double than plain double arithmetic would.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "app/calculator.h"

namespace tavrin {
namespace {

// The single-precision pi of the calculator, exactly.
constexpr double kPiSingle = 3.141590118408203125;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

double Compute(const std::string& n, const std::string& a, const std::string& v,
               const std::string& i) {
  const TextValue tn = TextValue::Copy(n), ta = TextValue::Copy(a), tv = TextValue::Copy(v),
                  ti = TextValue::Copy(i);
  return ComputeResistivity(tn, ta, tv, ti);
}

struct Case {
  const char* what;
  const char* n;
  const char* a;
  const char* v;
  const char* i;
  double expected;
};

// Same double, bit for bit (NaN matches any NaN; -0 and +0 are told apart
// only where the table says so through the sign of `expected`).
void ExpectSameDouble(double got, double expected, const char* what) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(got)) << what << ": got " << got;
    return;
  }
  std::uint64_t g = 0, e = 0;
  std::memcpy(&g, &got, sizeof g);
  std::memcpy(&e, &expected, sizeof e);
  EXPECT_EQ(g, e) << what << ": got " << got << ", expected " << expected;
}

TEST(ComputeResistivityTest, Readings) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"window defaults", "1", "50", "2.0", "2.0", 314.1590118408203},
      {"second example", "2", "10", "0.5", "0.1", 942.4770355224609},
      {"trailing text ignored", "1", "50", "2.0V", "2.0", 314.1590118408203},
      {"leading blanks", " 1", "\t50", "\n2.0", "  2.0", 314.1590118408203},
      {"n between -1 and 0", "-0.5", "50", "2", "2", -12.5 * kPiSingle},
      {"negative current", "1", "50", "2.0", "-2.0", -314.1590118408203},
      {"n zero", "0", "50", "2.0", "2.0", 0.0},
      {"n -1: t is negative, times 0", "-1", "50", "2.0", "2.0", -0.0},
      {"n -1 and no current", "-1", "50", "2.0", "0", nan},
      {"empty current", "1", "50", "2.0", "", kInfinity},
      {"zero current", "1", "50", "2.0", "0", kInfinity},
      {"negative zero current", "1", "50", "2.0", "-0", -kInfinity},
      {"zero over zero", "1", "50", "0", "0", nan},
      {"all empty", "", "", "", "", nan},
      {"spacing too large for a double", "1", "1e400", "2.0", "2.0", kInfinity},
      {"voltage too large for a double", "1", "50", "1e400", "1e400", nan},
      {"hexadecimal spacing", "1", "&H32", "2.0", "2.0", 314.1590118408203},
  };
  for (const Case& c : cases) ExpectSameDouble(Compute(c.n, c.a, c.v, c.i), c.expected, c.what);
}

TEST(ComputeResistivityTest, IntermediatesCarryTheExtendedSignificand) {
  // Worked out with exact rational arithmetic, rounding to a 64-bit
  // significand after every step; plain double arithmetic would give the
  // neighbouring double in each of these.
  const Case cases[] = {
      {"four", "4", "12.5", "0.037", "0.013", 2235.362199636606},
      {"one and a half", "1.5", "33.3", "1.7", "0.9", 741.0225691795348},
      {"seven", "7", "2.2", "0.33", "0.29", 440.4292684620825},
      {"ten", "10", "100", "0.0123", "0.0071", 59867.203242342235},
      {"three", "3", "7.1", "0.3", "0.7", 114.71291918073382},
  };
  for (const Case& c : cases) ExpectSameDouble(Compute(c.n, c.a, c.v, c.i), c.expected, c.what);
}

}  // namespace
}  // namespace tavrin
