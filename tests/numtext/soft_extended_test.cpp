// The software extended real against the x87 unit, bit for bit: every
// operation on generated operands aimed at the hard cases (near-ties, carries
// out of the significand, extreme and denormal exponents, zeros, infinities,
// NaNs of both signs). TAVRIN_DIFFERENTIAL_PAIRS sets the pairs per operation.
#include "numtext/soft_extended.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>

namespace tavrin {
namespace {

using soft::Value;

long double ToHardware(Value v) {
  long double x = 0;
  std::memcpy(&x, &v.significand, 8);
  std::memcpy(reinterpret_cast<char*>(&x) + 8, &v.signExponent, 2);
  return x;
}
Value FromHardware(long double x) {
  Value v{0, 0};
  std::memcpy(&v.significand, &x, 8);
  std::memcpy(&v.signExponent, reinterpret_cast<const char*>(&x) + 8, 2);
  return v;
}

// Operands: significands with runs of ones or zeros at either end (ties and
// carries), exponents near the ends of the range and near the other
// operand's, and the special encodings.
class OperandSource {
 public:
  explicit OperandSource(std::uint64_t seed) : random_(seed) {}
  Value Next(const Value& other) {
    const std::uint64_t r = random_();
    std::uint64_t m = random_();
    switch (r & 7) {
      case 0:
        m |= ~std::uint64_t{0} << ((r >> 8) & 63);
        break;
      case 1:
        m &= ~std::uint64_t{0} << ((r >> 8) & 63);
        break;
      case 2:
        m = (~std::uint64_t{0} >> ((r >> 8) & 63)) ^ ((r >> 16) & 1);
        break;
      default:
        break;
    }
    int e;
    switch ((r >> 3) & 7) {
      case 0:
        e = static_cast<int>((r >> 20) % 70);
        break;  // denormal results
      case 1:
        e = 0x7FFE - static_cast<int>((r >> 20) % 70);
        break;  // overflow
      case 2:
        e = other.exponentField() + static_cast<int>((r >> 20) % 130) - 65;
        break;
      case 3:
        e = 0x3FFF + static_cast<int>((r >> 20) % 140) - 70;
        break;
      default:
        e = static_cast<int>((r >> 20) & 0x7FFF);
        break;
    }
    if (e < 1) e = 0;
    if (e > 0x7FFE) e = 0x7FFE;
    m = e == 0 ? m >> ((r >> 40) & 63) : m | soft::kIntegerBit;
    const auto sign = static_cast<std::uint16_t>((r >> 63) << 15);
    if (((r >> 45) & 63) == 0) {  // specials, one in 64
      const Value specials[] = {{0, 0},
                                {soft::kIntegerBit, 0x7FFF},
                                {0xC000000000000000ull, 0x7FFF},
                                {soft::kIntegerBit | (m >> 2) | 1, 0x7FFF},
                                {m | soft::kQuietBit, 0x7FFF}};
      Value s = specials[(r >> 51) % 5];
      s.signExponent |= sign;
      return s;
    }
    return {m, static_cast<std::uint16_t>(sign | e)};
  }

 private:
  std::mt19937_64 random_;
};

std::uint64_t PairsPerOperation() {
  const char* text = std::getenv("TAVRIN_DIFFERENTIAL_PAIRS");
  return text != nullptr ? std::strtoull(text, nullptr, 10) : 10000000;
}

TEST(SoftExtendedTest, EveryOperationMatchesTheUnitBitForBit) {
  const std::uint64_t pairs = PairsPerOperation();
  OperandSource source(20261209);
  std::uint64_t mismatches = 0;
  for (std::uint64_t i = 0; i < pairs && mismatches < 10; ++i) {
    const Value a = source.Next({0, 0x3FFF});
    const Value b = source.Next(a);
    volatile long double x = ToHardware(a), y = ToHardware(b);
    const struct {
      const char* name;
      Value soft, hard;
    } results[] = {
        {"+", soft::Add(a, b), FromHardware(x + y)},
        {"-", soft::Subtract(a, b), FromHardware(x - y)},
        {"*", soft::Multiply(a, b), FromHardware(x * y)},
        {"/", soft::Divide(a, b), FromHardware(x / y)},
    };
    for (const auto& r : results) {
      if (r.soft != r.hard) {
        ++mismatches;
        ADD_FAILURE() << std::hex << a.signExponent << ":" << a.significand << " " << r.name << " "
                      << b.signExponent << ":" << b.significand << " soft " << r.soft.signExponent
                      << ":" << r.soft.significand << " unit " << r.hard.signExponent << ":"
                      << r.hard.significand;
      }
    }
    const long double hx = x;
    double d = static_cast<double>(hx);
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    EXPECT_EQ(soft::ToDoubleBits(a), bits) << std::hex << a.signExponent << ":" << a.significand;
    const bool less = x < y, equal = x == y;
    const auto order = soft::Compare(a, b);
    EXPECT_EQ(order < 0, less);
    EXPECT_EQ(order == 0, equal);
    if (soft::ToDoubleBits(a) != bits || (order < 0) != less || (order == 0) != equal) ++mismatches;
  }
  EXPECT_EQ(mismatches, 0u);
}

}  // namespace
}  // namespace tavrin
