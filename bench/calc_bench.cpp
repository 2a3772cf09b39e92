// One whole CALC (the four texts to rho, rho to the result text) against the
// same work done with strtod, double arithmetic and snprintf("%.1f").
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "app/calculator.h"
#include "numtext/numtext.h"

namespace tavrin::bench {
namespace {

constexpr ConstText kMask = kResultMask;
// The window's default inputs.
constexpr ConstText kN = "1";
constexpr ConstText kA = "50";
constexpr ConstText kV = "2.0";
constexpr ConstText kI = "2.0";
// The single-precision pi of the calculator, widened.
constexpr double kPi = 3.1415901184082031;
constexpr std::size_t kTextCapacity = 64;

void Calc_Ours(benchmark::State& state) {
  for (auto _ : state) {
    const double rho = ComputeResistivity(kN, kA, kV, kI);
    TextValue text = FormatNumber(static_cast<Extended>(rho), kMask);
    benchmark::DoNotOptimize(text.handle());
  }
}

void Calc_libc(benchmark::State& state) {
  char text[kTextCapacity];
  for (auto _ : state) {
    const double n = std::strtod(kN.bytes, nullptr);
    const double a = std::strtod(kA.bytes, nullptr);
    const double v = std::strtod(kV.bytes, nullptr);
    const double i = std::strtod(kI.bytes, nullptr);
    const double rho = v * kPi / i * n * (1 + n) * a;
    benchmark::DoNotOptimize(std::snprintf(text, sizeof text, "%.1f", rho));
    benchmark::ClobberMemory();
  }
}

BENCHMARK(Calc_Ours);
BENCHMARK(Calc_libc);

}  // namespace
}  // namespace tavrin::bench
