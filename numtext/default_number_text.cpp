// DefaultNumberText: a value without a mask, in at most 15 significant
// digits, as plain digits where that takes at most 15 of them and in
// exponent form otherwise.
#include <string_view>

#include "numtext/numtext.h"

namespace tavrin {
namespace {

constexpr int kDefaultDigits = 15;
// "-", 15 digits, a point, "E+" and a four-digit exponent, with room to spare.
constexpr int kDefaultTextCapacity = 32;

class TextBuilder {
 public:
  void Put(char c) {
    if (length_ < kDefaultTextCapacity) text_[length_++] = c;
  }
  void Put(std::string_view s) {
    for (char c : s) Put(c);
  }
  void PutZeros(int count) {
    for (int i = 0; i < count; ++i) Put('0');
  }
  std::string_view view() const { return {text_, static_cast<std::size_t>(length_)}; }

 private:
  char text_[kDefaultTextCapacity];
  int length_ = 0;
};

// Decimal digits of `value` (>= 0) without leading zeros.
void PutDecimal(TextBuilder& out, int value) {
  char reversed[12];
  int count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) out.Put(reversed[--count]);
}

}  // namespace

TextValue DefaultNumberText(Extended value) {
  char buffer[kMinDigitBuffer];
  const DecimalDigits generated = GenerateDecimalDigits(value, kDefaultDigits, buffer);
  int n = kDefaultDigits;
  while (n > 0 && buffer[n - 1] == '0') --n;

  TextBuilder out;
  if (n == 0) {  // zero and NaN
    out.Put('0');
    return TextValue::Copy(out.view());
  }
  if (generated.negative) out.Put('-');
  const std::string_view digits(buffer, static_cast<std::size_t>(n));
  const int x = generated.exponent - n;  // the value is digits x 10^x
  if (x == 0) {
    out.Put(digits);
  } else if (x > 0 && n + x <= kDefaultDigits) {
    out.Put(digits);
    out.PutZeros(x);
  } else if (x < 0 && -x <= kDefaultDigits) {
    if (n > -x) {
      out.Put(digits.substr(0, static_cast<std::size_t>(n + x)));
      out.Put('.');
      out.Put(digits.substr(static_cast<std::size_t>(n + x)));
    } else {
      out.Put('.');
      out.PutZeros(-x - n);
      out.Put(digits);
    }
  } else {
    out.Put(digits[0]);
    if (n > 1) {
      out.Put('.');
      out.Put(digits.substr(1));
    }
    out.Put(x < 0 ? "E-" : "E+");
    const int shown = n + x - 1;
    PutDecimal(out, shown < 0 ? -shown : shown);
  }
  return TextValue::Copy(out.view());
}

}  // namespace tavrin
