// The software extended real against the x87 unit, bit for bit: every
// operation on generated operands aimed at the hard cases (near-ties, carries
// out of the significand, extreme and denormal exponents, zeros, infinities,
// NaNs of both signs), the roundings to integers and to double, and the
// conversions from integers and doubles. TAVRIN_DIFFERENTIAL_PAIRS sets the
// pairs (or operands) per operation.
#include "numtext/soft_extended.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <string>

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

// The unit's own roundings to integer: a store to a 64-bit integer, and
// round to integer in place.
std::int64_t HardwareToInt64(long double x) {
  std::int64_t result;
  asm volatile("fistpll %0" : "=m"(result) : "t"(x) : "st");
  return result;
}
long double HardwareRoundToIntegral(long double x) {
  long double r;
  asm volatile("frndint" : "=t"(r) : "0"(x));
  return r;
}

std::string Hex(Value v) {
  std::ostringstream out;
  out << std::hex << v.signExponent << ":" << v.significand;
  return out.str();
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
    // The roundings of one operand: to double, to a 64-bit integer, to an
    // integral value (the last two as digit generation and masks use them).
    const struct {
      const char* name;
      std::uint64_t soft, hard;
    } roundings[] = {
        {"to double", soft::ToDoubleBits(a), bits},
        {"to int64", static_cast<std::uint64_t>(soft::ToInt64(a)),
         static_cast<std::uint64_t>(HardwareToInt64(hx))},
    };
    for (const auto& r : roundings) {
      if (r.soft != r.hard) {
        ++mismatches;
        ADD_FAILURE() << r.name << " " << Hex(a) << " soft " << std::hex << r.soft << " unit "
                      << r.hard;
      }
    }
    const Value integral = soft::RoundToIntegral(a),
                hardIntegral = FromHardware(HardwareRoundToIntegral(hx));
    if (integral != hardIntegral) {
      ++mismatches;
      ADD_FAILURE() << "round to integral " << Hex(a) << " soft " << Hex(integral) << " unit "
                    << Hex(hardIntegral);
    }
    const bool less = x < y, equal = x == y;
    const auto order = soft::Compare(a, b);
    EXPECT_EQ(order < 0, less);
    EXPECT_EQ(order == 0, equal);
    if ((order < 0) != less || (order == 0) != equal) ++mismatches;
  }
  EXPECT_EQ(mismatches, 0u);
}

// Integers with runs of ones or zeros at either end (the roundings that
// are no roundings, and the widest magnitudes), and doubles of every kind:
// denormals, the ends of the exponent range, infinities, both NaN kinds.
TEST(SoftExtendedTest, ConversionsFromIntegersAndDoublesMatchTheUnit) {
  const std::uint64_t count = PairsPerOperation();
  std::mt19937_64 random(20261210);
  std::uint64_t mismatches = 0;
  constexpr std::uint64_t kDoubleExponentMask = 0x7FF0000000000000ull;
  for (std::uint64_t i = 0; i < count && mismatches < 10; ++i) {
    const std::uint64_t r = random();
    std::uint64_t u = random();
    switch (r & 3) {
      case 0:
        u >>= (r >> 8) & 63;
        break;
      case 1:
        u |= ~std::uint64_t{0} << ((r >> 8) & 63);
        break;
      case 2:
        u &= ~std::uint64_t{0} << ((r >> 8) & 63);
        break;
      default:
        break;
    }
    std::uint64_t doubleBits = random();
    switch ((r >> 16) & 7) {
      case 0:
        doubleBits &= ~kDoubleExponentMask;  // zero or denormal
        if ((r >> 20) & 1) doubleBits &= 0x800000000000000Full;
        break;
      case 1:
        doubleBits |= kDoubleExponentMask;  // NaN, or infinity below
        if ((r >> 20) & 1) doubleBits &= ~std::uint64_t{0} << 52;
        break;
      default:
        break;
    }
    const auto s = static_cast<std::int64_t>(u);
    volatile std::int64_t hs = s;
    volatile std::uint64_t hu = u;
    double d;
    std::memcpy(&d, &doubleBits, 8);
    volatile double hd = d;
    const struct {
      const char* name;
      std::uint64_t operand;
      Value soft, hard;
    } results[] = {
        {"from int64", u, soft::FromSigned(s), FromHardware(static_cast<long double>(hs))},
        {"from uint64", u, soft::FromUnsigned(u), FromHardware(static_cast<long double>(hu))},
        {"from double", doubleBits, soft::FromDoubleBits(doubleBits),
         FromHardware(static_cast<long double>(hd))},
    };
    for (const auto& c : results) {
      if (c.soft != c.hard) {
        ++mismatches;
        ADD_FAILURE() << c.name << " " << std::hex << c.operand << " soft " << Hex(c.soft)
                      << " unit " << Hex(c.hard);
      }
    }
  }
  EXPECT_EQ(mismatches, 0u);
}

}  // namespace
}  // namespace tavrin
