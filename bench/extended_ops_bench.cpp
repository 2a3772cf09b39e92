// Each extended-real operation on the software backend (soft_extended.h,
// compiled here directly whatever the build's backend) against the x87
// unit through long double, on the same operands in the same run.
#include <benchmark/benchmark.h>

#include <cfloat>

#if LDBL_MANT_DIG == 64 && (defined(__i386__) || defined(__x86_64__))

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "numtext/soft_extended.h"

namespace tavrin::bench {
namespace {

using soft::Value;

// Operands as the conversions meet them: finite values of every size a
// reading, a resistivity or a power of ten has.
constexpr std::size_t kOperandCount = 256;
constexpr double kSmallestMagnitude = 1e-30;
constexpr double kMagnitudeSpread = 1e60;

struct Operands {
  std::array<long double, kOperandCount> hard;
  std::array<Value, kOperandCount> soft;
  std::array<double, kOperandCount> doubles;
};

Value FromHardware(long double x) {
  Value v{0, 0};
  std::memcpy(&v.significand, &x, sizeof v.significand);
  std::memcpy(&v.signExponent, reinterpret_cast<const char*>(&x) + sizeof v.significand,
              sizeof v.signExponent);
  return v;
}

const Operands& TheOperands() {
  static const Operands operands = [] {
    Operands o{};
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> exponent(0, 1);
    for (std::size_t i = 0; i < kOperandCount; ++i) {
      const double magnitude = kSmallestMagnitude * std::pow(kMagnitudeSpread, exponent(random));
      const long double x = static_cast<long double>(magnitude) / 3.0L * ((i & 1) ? -1 : 1);
      o.hard[i] = x;
      o.soft[i] = FromHardware(x);
      o.doubles[i] = static_cast<double>(x);
    }
    return o;
  }();
  return operands;
}

template <typename Operation>
void Binary(benchmark::State& state, const Operation& operation) {
  const Operands& o = TheOperands();
  for (auto _ : state) {
    for (std::size_t i = 0; i + 1 < kOperandCount; ++i) operation(o, i, i + 1);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * (kOperandCount - 1)));
}

// One benchmark pair per operation: name, the software call, the unit's.
#define TAVRIN_EXTENDED_OP(name, softCall, hardCall)                    \
  void ExtendedOp_##name##_soft(benchmark::State& state) {              \
    Binary(state, [](const Operands& o, std::size_t i, std::size_t j) { \
      [[maybe_unused]] const Value &a = o.soft[i], &b = o.soft[j];      \
      benchmark::DoNotOptimize(softCall);                               \
    });                                                                 \
  }                                                                     \
  void ExtendedOp_##name##_x87(benchmark::State& state) {               \
    Binary(state, [](const Operands& o, std::size_t i, std::size_t j) { \
      [[maybe_unused]] const long double a = o.hard[i], b = o.hard[j];  \
      benchmark::DoNotOptimize(hardCall);                               \
    });                                                                 \
  }                                                                     \
  BENCHMARK(ExtendedOp_##name##_soft);                                  \
  BENCHMARK(ExtendedOp_##name##_x87)

std::int64_t HardwareToInt64(long double x) {
  std::int64_t result;
  asm("fistpll %0" : "=m"(result) : "t"(x) : "st");
  return result;
}
long double HardwareRoundToIntegral(long double x) {
  long double r;
  asm("frndint" : "=t"(r) : "0"(x));
  return r;
}

TAVRIN_EXTENDED_OP(Add, soft::Add(a, b), a + b);
TAVRIN_EXTENDED_OP(Subtract, soft::Subtract(a, b), a - b);
TAVRIN_EXTENDED_OP(Multiply, soft::Multiply(a, b), a* b);
TAVRIN_EXTENDED_OP(Divide, soft::Divide(a, b), a / b);
TAVRIN_EXTENDED_OP(Compare, soft::Compare(a, b) < 0, a < b);
TAVRIN_EXTENDED_OP(ToDouble, soft::ToDoubleBits(a), static_cast<double>(a));
TAVRIN_EXTENDED_OP(FromDouble, soft::FromDoubleBits(std::bit_cast<std::uint64_t>(o.doubles[i])),
                   static_cast<long double>(o.doubles[i]));
TAVRIN_EXTENDED_OP(FromInt64, soft::FromSigned(static_cast<std::int64_t>(i * 977 - 99999)),
                   static_cast<long double>(static_cast<std::int64_t>(i * 977 - 99999)));
TAVRIN_EXTENDED_OP(RoundToInt64, soft::ToInt64(a), HardwareToInt64(a));
TAVRIN_EXTENDED_OP(RoundToIntegral, soft::RoundToIntegral(a), HardwareRoundToIntegral(a));

}  // namespace
}  // namespace tavrin::bench

#endif
