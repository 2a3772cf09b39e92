// The printf and strtod replacements of std::to_chars and std::from_chars for
// doubles (see numtext/double_chars.h).
#include "numtext/double_chars.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>

namespace tavrin::printf_chars {
namespace {

// 17 significant digits always read back as the same double.
constexpr int kMaxShortestDigits = 17;
// Room for any "%.*e" text of up to 17 digits and for "%.0f" of the largest
// double (309 digits).
constexpr std::size_t kScratch = 400;

std::to_chars_result Copy(char* first, char* last, std::string_view text) {
  if (static_cast<std::size_t>(last - first) < text.size()) {
    return {last, std::errc::value_too_large};
  }
  std::memcpy(first, text.data(), text.size());
  return {first + text.size(), std::errc()};
}

bool ReadsBackAs(const std::string& text, double value) {
  return std::strtod(text.c_str(), nullptr) == value;
}

// A positive finite double's shortest decimal, digits[0].digits[1..] *
// 10^exponent, without trailing zeros.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

// digits * 10^scale with the trailing zeros of digits moved into the scale.
Decimal Normalised(std::uint64_t digits, int scale) {
  while (digits % 10 == 0) {
    digits /= 10;
    ++scale;
  }
  Decimal d;
  d.digits = std::to_string(digits);
  d.exponent = scale + static_cast<int>(d.digits.size()) - 1;
  return d;
}

// The fewest significant digits that read back as `value` (positive, finite);
// of several such texts the nearest to `value`. At each length the nearest
// text is printf's rounding; when it does not read back, only its neighbour
// on the other side of `value` can, the reading interval being one piece.
Decimal ShortestDecimal(double value) {
  char text[kScratch];
  for (int count = 1;; ++count) {
    std::snprintf(text, sizeof text, "%.*e", count - 1, value);
    std::uint64_t digits = 0;
    const char* p = text;
    for (; *p != 'e'; ++p) {
      if (*p != '.') digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    const int scale = std::atoi(p + 1) - (count - 1);
    const double nearest = std::strtod(text, nullptr);
    if (count == kMaxShortestDigits || nearest == value) return Normalised(digits, scale);
    const std::uint64_t other = nearest < value ? digits + 1 : digits - 1;
    if (ReadsBackAs(std::to_string(other) + 'e' + std::to_string(scale), value)) {
      return Normalised(other, scale);
    }
  }
}

std::string ExponentForm(const Decimal& d) {
  std::string text(1, d.digits[0]);
  if (d.digits.size() > 1) text += '.' + d.digits.substr(1);
  char exponent[16];
  std::snprintf(exponent, sizeof exponent, "e%c%02d", d.exponent < 0 ? '-' : '+',
                std::abs(d.exponent));
  return text + exponent;
}

// The fixed form; where the digits end before the point, the whole number
// the double is (as printf's "%.0f"), which is as long and nearer.
std::string FixedForm(const Decimal& d, double value) {
  const int count = static_cast<int>(d.digits.size());
  if (d.exponent < 0) {
    return "0." + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
  }
  if (d.exponent + 1 >= count) {
    char text[kScratch];
    const int length = std::snprintf(text, sizeof text, "%.0f", value);
    return std::string(text, static_cast<std::size_t>(length));
  }
  const auto point = static_cast<std::size_t>(d.exponent + 1);
  return d.digits.substr(0, point) + '.' + d.digits.substr(point);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Whether [p, last) starts with `word`, in any case.
bool StartsWithWord(const char* p, const char* last, std::string_view word) {
  if (static_cast<std::size_t>(last - p) < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const char c = p[i] >= 'A' && p[i] <= 'Z' ? static_cast<char>(p[i] - 'A' + 'a') : p[i];
    if (c != word[i]) return false;
  }
  return true;
}

bool IsNanChar(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

}  // namespace

std::to_chars_result ShortestChars(char* first, char* last, double value) {
  const bool negative = std::signbit(value);
  std::string text = negative ? "-" : "";
  if (std::isnan(value)) return Copy(first, last, text + "nan");
  if (std::isinf(value)) return Copy(first, last, text + "inf");
  if (value == 0) return Copy(first, last, text + "0");
  const double magnitude = std::fabs(value);
  const Decimal d = ShortestDecimal(magnitude);
  const std::string fixed = FixedForm(d, magnitude);
  const std::string exponent = ExponentForm(d);
  return Copy(first, last, text + (fixed.size() <= exponent.size() ? fixed : exponent));
}

std::to_chars_result GeneralChars(char* first, char* last, double value, int precision) {
  char text[kScratch];
  const int length = std::snprintf(text, sizeof text, "%.*g", precision, value);
  return Copy(first, last, std::string_view(text, static_cast<std::size_t>(length)));
}

std::from_chars_result FromChars(const char* first, const char* last, double& value) {
  const char* p = first;
  const bool negative = p != last && *p == '-';
  if (negative) ++p;
  constexpr std::string_view kInf = "inf", kInfinity = "infinity", kNan = "nan";
  if (StartsWithWord(p, last, kInf)) {
    p += StartsWithWord(p, last, kInfinity) ? kInfinity.size() : kInf.size();
    value = negative ? -HUGE_VAL : HUGE_VAL;
    return {p, std::errc()};
  }
  if (StartsWithWord(p, last, kNan)) {
    p += kNan.size();
    if (p != last && *p == '(') {
      const char* q = p + 1;
      while (q != last && IsNanChar(*q)) ++q;
      if (q != last && *q == ')') p = q + 1;
    }
    value = negative ? -NAN : NAN;
    return {p, std::errc()};
  }
  bool anyDigit = false;
  bool nonZero = false;
  const auto readDigits = [&] {
    for (; p != last && IsDigit(*p); ++p) {
      anyDigit = true;
      nonZero = nonZero || *p != '0';
    }
  };
  readDigits();
  if (p != last && *p == '.') {
    ++p;
    readDigits();
  }
  if (!anyDigit) return {first, std::errc::invalid_argument};
  if (p != last && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    if (q != last && (*q == '+' || *q == '-')) ++q;
    if (q != last && IsDigit(*q)) {
      while (q != last && IsDigit(*q)) ++q;
      p = q;
    }
  }
  const std::string text(first, p);
  errno = 0;
  const double read = std::strtod(text.c_str(), nullptr);
  // strtod reports denormal results as out of range too; only an infinity,
  // or a zero for a text that is not zero, is.
  if (errno == ERANGE && (std::isinf(read) || (read == 0 && nonZero))) {
    return {p, std::errc::result_out_of_range};
  }
  value = read;
  return {p, std::errc()};
}

}  // namespace tavrin::printf_chars
