// The survey numbers' elementary functions against the C library's long
// double ones (11 or more bits beyond a double: a reference to within a
// small fraction of a double's ulp), over their whole ranges, and exact
// where their results are.
#include "sounding/portable_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>

namespace tavrin::sounding {
namespace {

// |value - reference| in units of the last place of the reference.
double UlpError(double value, long double reference) {
  const double rounded = static_cast<double>(reference);
  const double ulp = std::nextafter(std::fabs(rounded), INFINITY) - std::fabs(rounded);
  return static_cast<double>(std::fabs(static_cast<long double>(value) - reference) / ulp);
}

struct Function {
  std::string name;
  std::function<double(double)> portable;
  std::function<long double(long double)> reference;
  double low, high;  // the arguments, uniform in log |x| or in x
  bool logSpaced;
  double maxUlp;
};

TEST(PortableMath, WithinTheirUlpsOfTheLongDoubleFunctions) {
  const std::vector<Function> functions = {
      {"Exp", Exp, [](long double x) { return std::exp(x); }, -745, 709.7, false, 1},
      {"Exp small", Exp, [](long double x) { return std::exp(x); }, -1, 1, false, 1},
      {"Log", Log, [](long double x) { return std::log(x); }, -307, 308, true, 1},
      {"Log near 1", Log, [](long double x) { return std::log(x); }, 0.5, 2, false, 1},
      {"Log1p", Log1p, [](long double x) { return std::log1p(x); }, -20, 3, true, 3},
      {"Log2", Log2, [](long double x) { return std::log2(x); }, -307, 308, true, 2},
      {"Log10", Log10, [](long double x) { return std::log10(x); }, -307, 308, true, 2},
      {"Pow10", Pow10, [](long double y) { return std::pow(10.0L, y); }, -300, 300, false, 1.5},
  };
  std::mt19937_64 random(20261210);
  for (const Function& f : functions) {
    std::uniform_real_distribution<double> pick(f.low, f.high);
    double worst = 0;
    for (int k = 0; k < 20000; ++k) {
      const double x = f.logSpaced ? std::pow(10.0, pick(random)) : pick(random);
      const long double reference = f.reference(x);
      if (reference == 0) continue;
      worst = std::max(worst, UlpError(f.portable(x), reference));
    }
    EXPECT_LE(worst, f.maxUlp) << f.name;
    EXPECT_GT(worst, 0) << f.name << ": compared with nothing";
  }
}

TEST(PortableMath, ExactAndSpecialValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* what;
    double value, expected;
  } cases[] = {
      {"Exp(0)", Exp(0), 1},
      {"Exp(-inf)", Exp(-inf), 0},
      {"Exp(800)", Exp(800), inf},
      {"Exp(-800)", Exp(-800), 0},
      {"Log(1)", Log(1), 0},
      {"Log(0)", Log(0), -inf},
      {"Log(inf)", Log(inf), inf},
      {"Log2(1024)", Log2(1024), 10},
      {"Log2(2^-1074)", Log2(std::ldexp(1, -1074)), -1074},
      {"Log10(1)", Log10(1), 0},
      {"Log10(1000)", Log10(1000), 3},
      {"Log10(1e22)", Log10(1e22), 22},
      {"Pow10(3)", Pow10(3), 1000},
      {"Pow10(22)", Pow10(22), 1e22},
      {"Pow10(-3)", Pow10(-3), 1e-3},
      {"Pow10(0.5) is the double nearest sqrt(10)", Pow10(0.5), 3.1622776601683795},
      {"Pow10(400)", Pow10(400), inf},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value, c.expected) << c.what;
  EXPECT_TRUE(std::isnan(Log(-1)));
  EXPECT_TRUE(std::isnan(Exp(NAN)));
}

}  // namespace
}  // namespace tavrin::sounding
