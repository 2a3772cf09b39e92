// Mantissa digits, rounding to the mask's places, and the right-to-left
// layout of the mantissa and exponent positions.
#include "numtext/mask_layout.h"

#include <array>
#include <cstring>
#include <utility>

#include "numtext/decimal_numeral.h"

namespace tavrin {

bool DigitText::NonZero() const {
  for (int i = 0; i < kKeptDigits; ++i) {
    if (digits_[i] != '0') return true;
  }
  return false;
}

namespace {

bool IsOddDigit(char c) {
  return ((c - '0') & 1) != 0;
}

// Whether cutting the digit text before index `cut` rounds up: the first
// dropped digit above "5" does; "5" does when any later digit is not "0";
// an exact half does when the digit before the cut is odd (a cut at the very
// start reads a "0" there, so an exact half then rounds down).
bool RoundsUp(const DigitText& digits, int cut) {
  const char first = digits.At(cut);
  if (first != '5') return first > '5';
  for (int i = cut + 1; i < kKeptDigits; ++i) {
    if (digits.At(i) != '0') return true;
  }
  return IsOddDigit(digits.At(cut - 1));
}

}  // namespace

std::string_view FixedMantissa(const DigitText& digits, int exponent, int decimals, char* out) {
  // out[0] is kept free for a carry out of the integer digits.
  const int integers = exponent > 0 ? exponent : 0;
  char* const integerText = out + 1;
  for (int i = 0; i < integers; ++i) integerText[i] = digits.At(i);
  // Fraction digit j is digit text character exponent + j (leading zeros
  // when the exponent is negative).
  char* const fraction = integerText + integers;
  for (int j = 0; j < decimals; ++j) fraction[j] = digits.At(exponent + j);

  const auto length = static_cast<std::size_t>(integers + decimals);
  if (RoundsUp(digits, exponent + decimals) &&
      IncrementDecimalNumeral(integerText, integers + decimals)) {
    // Every digit was a "9": the integer text gains a leading "1" (an empty
    // integer text becomes "1").
    out[0] = '1';
    return {out, length + 1};
  }
  if (integers == 0) {
    out[0] = '0';  // an integer text that is still empty becomes "0"
    return {out, length + 1};
  }
  return {integerText, length};
}

bool FixedSignificandMantissa(std::uint64_t digits, int exponent, int decimals, char* out,
                              std::string_view& text) {
  RoundedFixed rounded;
  if (!RoundSignificandToPlaces(digits, exponent, decimals, rounded)) return false;
  const int length = rounded.integerDigits + decimals;
  WriteLastDigits(rounded.kept, length, out + length);
  text = {out, static_cast<std::size_t>(length)};
  return true;
}

int ExponentMantissa(const DigitText& digits, int count, int* exponent, char* out) {
  for (int i = 0; i < count; ++i) out[i] = digits.At(i);
  if (RoundsUp(digits, count) && IncrementDecimalNumeral(out, count)) {
    out[0] = '1';  // the others are "0" already
    ++*exponent;
  }
  return count;
}

namespace {

// The text that digit positions take their characters from, right end first.
struct Source {
  const char* text;
  int left;  // characters not yet taken
  char Next() const { return text[left - 1]; }
};

// A run of "0"s long enough for any zeros source (one per "0" position).
struct ZeroRun {
  char zeros[kMaxSectionLength];
  constexpr ZeroRun() : zeros{} {
    for (char& c : zeros) c = '0';
  }
};
constexpr ZeroRun kZeroRun;
constexpr char kMinus[] = "-";

template <class Template>
class MantissaLayout {
 public:
  MantissaLayout(const Template& mask, std::string_view mantissa, bool negative, ReverseWriter& out)
      : mask_(mask),
        out_(out),
        source_{mantissa.data(), static_cast<int>(mantissa.size())},
        decimalsLeft_(mask.decimalPlaces),
        integersLeft_(mask.integerPlaces),
        zerosLeft_(mask.zeroPlaces),
        trailing_(mask.decimalPlaces > 0 && !mantissa.empty() && mantissa.back() == '0'),
        negative_(negative) {}

  // Flattened: the layout state then lives in registers rather than memory.
  [[gnu::flatten]] void Run() {
    const int end = mask_.exponentMode == ExponentMode::kNone ? mask_.count : mask_.exponentStart;
    for (int i = end - 1; i >= 0; --i) {
      const MaskPosition& position = mask_.positions[i];
      if (position.kind == PositionKind::kLiteral) {
        out_.Put(position.ch);
      } else if (source_.left > 0) {
        Place(position);
      } else if (negative_) {
        TakeMinus();
        Place(position);
      } else if (position.kind == PositionKind::kFilledDigit) {
        Fill(position.ch);
      }
    }
    if (mask_.integerPlaces == 0 && mask_.decimalPlaces > 0) WriteWhatNoPositionTook();
  }

 private:
  void TakeMinus() {
    source_ = {kMinus, 1};
    negative_ = false;
  }

  void Place(const MaskPosition& position) {
    const bool filled = position.kind == PositionKind::kFilledDigit;
    if (filled && position.ch == '0' && zerosLeft_ > 0) --zerosLeft_;
    if (!trailing_) {
      out_.Put(source_.Next());
    } else if (filled) {
      out_.Put(position.ch);
    }
    --source_.left;

    if (decimalsLeft_ > 0) {
      --decimalsLeft_;
      trailing_ = trailing_ && decimalsLeft_ > 0 && source_.left > 0 && source_.Next() == '0';
      return;
    }
    if (integersLeft_ > 0) {
      --integersLeft_;
      GroupStep(source_.left > 0 || zerosLeft_ > 0);
      if (integersLeft_ == 0) {
        WriteRestOfSource();
        if (negative_) {
          out_.Put('-');
          negative_ = false;
        }
        return;
      }
      if (source_.left == 0) {
        if (zerosLeft_ > 0) {
          source_ = {kZeroRun.zeros, zerosLeft_};
        } else if (negative_) {
          TakeMinus();
        }
      }
    }
  }

  void Fill(char fill) {
    out_.Put(fill);
    if (decimalsLeft_ > 0) {
      --decimalsLeft_;
    } else if (integersLeft_ > 0) {
      --integersLeft_;
      if (fill == '0') GroupStep(integersLeft_ > 0 || zerosLeft_ > 0);
    }
  }

  // Every remaining source character, right to left, each with a group step.
  void WriteRestOfSource() {
    while (source_.left > 0) {
      out_.Put(source_.Next());
      --source_.left;
      GroupStep(source_.left > 0 || zerosLeft_ > 0);
    }
  }

  // A section with decimal positions but no integer position: integer
  // digits other than a lone "0", and the minus sign, go in front rather
  // than being lost.
  void WriteWhatNoPositionTook() {
    const bool loneZero = source_.left == 1 && source_.Next() == '0';
    if (!loneZero) WriteRestOfSource();
    if (negative_) {
      out_.Put('-');
      negative_ = false;
    }
  }

  void GroupStep(bool moreToWrite) {
    if (!mask_.grouping) return;
    if (++groupCounter_ == 3) {
      groupCounter_ = 0;
      if (moreToWrite) out_.Put(',');
    }
  }

  const Template& mask_;
  ReverseWriter& out_;
  Source source_;
  int decimalsLeft_;
  int integersLeft_;
  int zerosLeft_;
  bool trailing_;
  bool negative_;
  int groupCounter_ = 0;
};

}  // namespace

template <class Template>
void LayoutMantissa(const Template& mask, std::string_view mantissa, bool negative,
                    ReverseWriter& out) {
  MantissaLayout(mask, mantissa, negative, out).Run();
}

template <class Template>
void LayoutExponent(const Template& mask, int exponent, ReverseWriter& out) {
  if (mask.exponentMode == ExponentMode::kNone) return;
  char sign = '\0';
  if (exponent < 0) {
    sign = '-';
  } else if (mask.exponentMode == ExponentMode::kPlus) {
    sign = '+';
  }
  // The magnitude's digits, without leading zeros ("0" for zero).
  char magnitude[12];
  int digitsLeft = 0;
  for (long long m = exponent < 0 ? -static_cast<long long>(exponent) : exponent;;) {
    magnitude[digitsLeft++] = static_cast<char>('0' + m % 10);  // least significant first
    m /= 10;
    if (m == 0) break;
  }
  int taken = 0;
  bool signPending = sign != '\0';

  int leftmostDigit = -1;
  int leftmostFilled = -1;
  for (int i = mask.count - 1; i >= mask.exponentStart; --i) {
    const PositionKind kind = mask.positions[i].kind;
    if (kind != PositionKind::kLiteral) leftmostDigit = i;
    if (kind == PositionKind::kFilledDigit) leftmostFilled = i;
  }

  for (int i = mask.count - 1; i >= mask.exponentStart; --i) {
    const MaskPosition& position = mask.positions[i];
    if (position.kind == PositionKind::kLiteral) {
      out.Put(position.ch);
      continue;
    }
    if (taken < digitsLeft) {
      out.Put(magnitude[taken++]);
      if (i == leftmostDigit) {  // the rest goes in front
        while (taken < digitsLeft) out.Put(magnitude[taken++]);
        if (signPending) out.Put(sign);
        signPending = false;
      }
      continue;
    }
    // The digits are used up. The sign takes this position unless a filled
    // position further left would then put its fill character in front of
    // it; the sign then waits for the leftmost such position.
    if (signPending && !(leftmostFilled >= 0 && leftmostFilled < i)) {
      out.Put(sign);
      signPending = false;
    } else if (position.kind == PositionKind::kFilledDigit) {
      out.Put(position.ch);
    }
  }
}

template void LayoutMantissa(const MaskTemplate&, std::string_view, bool, ReverseWriter&);
template void LayoutMantissa(const ShortMaskTemplate&, std::string_view, bool, ReverseWriter&);
template void LayoutExponent(const MaskTemplate&, int, ReverseWriter&);
template void LayoutExponent(const ShortMaskTemplate&, int, ReverseWriter&);

}  // namespace tavrin
