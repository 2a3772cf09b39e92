// The exact decimal text of an extended real as C's "%.21Lg" writes it, from
// its bits alone: the value m * 2^k becomes the integer m * 2^k (k >= 0) or
// m * 5^-k read with -k decimal places (k < 0), in base-10^9 limbs; its digits
// are rounded once to 21 significant digits, ties to even.
#include "cli/extended_decimal.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace tavrin::cli {
namespace {

constexpr int kDigits = 21;
constexpr int kSmallestFixedExponent = -4;   // %g keeps fixed notation from 1e-4
constexpr std::uint32_t kLimb = 1000000000;  // 10^9 per limb

// n := n * f + carry, limbs base 10^9, least significant first.
void MultiplySmall(std::vector<std::uint32_t>& n, std::uint32_t f) {
  std::uint64_t carry = 0;
  for (std::uint32_t& limb : n) {
    const std::uint64_t t = std::uint64_t{limb} * f + carry;
    limb = static_cast<std::uint32_t>(t % kLimb);
    carry = t / kLimb;
  }
  while (carry != 0) {
    n.push_back(static_cast<std::uint32_t>(carry % kLimb));
    carry /= kLimb;
  }
}

std::string DecimalOf(const std::vector<std::uint32_t>& n) {
  std::string s = std::to_string(n.back());
  char part[16];
  for (std::size_t i = n.size() - 1; i-- > 0;) {
    std::snprintf(part, sizeof part, "%09u", static_cast<unsigned>(n[i]));
    s += part;
  }
  return s;
}

}  // namespace

std::string ExtendedDecimal21(ExtendedFields f) {
  const std::string sign = f.negative() ? "-" : "";
  const int field = f.exponentField();
  if (field == kExtendedExponentMask) return sign + "inf";  // NaNs are printed by the caller
  if (f.significand == 0) return sign + "0";
  // value = m * 2^k
  const int k = (field == 0 ? 1 : field) - kExtendedExponentBias - 63;
  std::vector<std::uint32_t> n{static_cast<std::uint32_t>(f.significand % kLimb),
                               static_cast<std::uint32_t>(f.significand / kLimb % kLimb),
                               static_cast<std::uint32_t>(f.significand / kLimb / kLimb)};
  while (n.size() > 1 && n.back() == 0) n.pop_back();
  for (int i = 0; i < (k >= 0 ? k : -k); ++i) MultiplySmall(n, k >= 0 ? 2 : 5);
  std::string digits = DecimalOf(n);
  const int places = k >= 0 ? 0 : -k;                           // digits after the point
  int exponent = static_cast<int>(digits.size()) - places - 1;  // of the first digit
  // Round to 21 significant digits, ties to even.
  if (static_cast<int>(digits.size()) > kDigits) {
    const char next = digits[kDigits];
    bool rest = false;
    for (std::size_t i = kDigits + 1; i < digits.size() && !rest; ++i) rest = digits[i] != '0';
    digits.resize(kDigits);
    const bool odd = ((digits.back() - '0') & 1) != 0;
    if (next > '5' || (next == '5' && (rest || odd))) {
      int i = kDigits - 1;
      while (i >= 0 && digits[i] == '9') digits[i--] = '0';
      if (i < 0) {
        digits.insert(digits.begin(), '1');
        digits.pop_back();
        ++exponent;
      } else {
        ++digits[i];
      }
    }
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = sign;
  if (exponent >= kSmallestFixedExponent && exponent < kDigits) {
    if (exponent < 0) {
      out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else if (static_cast<int>(digits.size()) <= exponent + 1) {
      out += digits + std::string(static_cast<std::size_t>(exponent + 1) - digits.size(), '0');
    } else {
      out += digits.substr(0, static_cast<std::size_t>(exponent + 1)) + "." +
             digits.substr(static_cast<std::size_t>(exponent + 1));
    }
    return out;
  }
  out += digits.substr(0, 1);
  if (digits.size() > 1) out += "." + digits.substr(1);
  char tail[16];
  std::snprintf(tail, sizeof tail, "e%c%02d", exponent < 0 ? '-' : '+',
                exponent < 0 ? -exponent : exponent);
  return out + tail;
}

}  // namespace tavrin::cli
