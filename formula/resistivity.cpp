// The apparent resistivity of one Schlumberger reading from the four input
// texts: rho = pi * n * (n + 1) * a * v / i, evaluated left to right in
// extended precision with the calculator's single-precision pi.
#include <cstdint>
#include <string_view>

#include "formula/resistivity.h"
#include "numtext/bit_cast.h"
#include "numtext/numtext.h"

namespace tavrin {
namespace {

// The single-precision value nearest to 3.14159 (not to pi): bit pattern
// 0x40490FD0, exactly 3.1415901184082031.
constexpr std::uint32_t kPiSingleBits = 0x40490FD0;
constexpr float kPiSingle = BitCast<float>(kPiSingleBits);

// The readings of one computation, each stored as a double as it is read.
struct Readings {
  double n;
  double a;
  double v;
  double i;
};

// The texts in the order n, a, v, i, each kept as a double (rounded to nearest).
Readings ReadInputs(std::string_view n, std::string_view a, std::string_view v,
                    std::string_view i) {
  Readings r{};
  r.n = static_cast<double>(TextToNumber(n));
  r.a = static_cast<double>(TextToNumber(a));
  r.v = static_cast<double>(TextToNumber(v));
  r.i = static_cast<double>(TextToNumber(i));
  return r;
}

// The formula on the four readings; inlined into both forms of
// ComputeResistivity.
[[gnu::always_inline]] inline double Resistivity(const Readings& r) {
  Extended t = static_cast<Extended>(r.v) * static_cast<Extended>(kPiSingle);
  t /= r.i;
  t *= r.n;
  const Extended u = 1 + static_cast<Extended>(r.n);
  t *= u;
  t *= r.a;
  return static_cast<double>(t);
}

}  // namespace

double ComputeResistivity(TextRef n, TextRef a, TextRef v, TextRef i) {
  return Resistivity(ReadInputs(n.view(), a.view(), v.view(), i.view()));
}

double ComputeResistivity(std::string_view n, std::string_view a, std::string_view v,
                          std::string_view i) {
  return Resistivity(ReadInputs(n, a, v, i));
}

double ComputeGeometricFactor(TextRef n, TextRef a) {
  const auto nValue = static_cast<double>(TextToNumber(n));
  const auto aValue = static_cast<double>(TextToNumber(a));
  Extended k = static_cast<Extended>(kPiSingle) * nValue;
  k *= 1 + static_cast<Extended>(nValue);
  k *= aValue;
  return static_cast<double>(k);
}

}  // namespace tavrin
