// FormatNumber: a value under a picture mask. Every working text of a call
// lives in one scratch area on the stack; the result is the only allocation.
#include <string>
#include <string_view>

#include "numtext/mask_layout.h"
#include "numtext/mask_template.h"
#include "numtext/numtext.h"
#include "runtime/errors.h"

namespace tavrin {
namespace {

// Digits asked of the generator: the kept ones (18 significant digits and a
// "0"). Any larger count gives the same characters; every later character of
// the digit text reads "0" (DigitText::At) instead of being stored.
constexpr int kFormatDigitCount = kKeptDigits;
static_assert(kFormatDigitCount + 1 <= kMinDigitBuffer);

// The working texts of one call.
struct FormatScratch {
  char digits[kMinDigitBuffer];
  MaskTemplate mask;
  char mantissa[kMantissaCapacity];
  char layout[kLayoutCapacity];
};

// The value with its sign cleared (NaN included).
Extended WithoutSign(Extended value) {
  return Abs(value);
}

// The text laid out for `value` under the compiled `mask`.
std::string_view LayOut(Extended value, FormatScratch& scratch) {
  const MaskTemplate& mask = scratch.mask;
  const DecimalDigits generated = GenerateDecimalDigits(value, kFormatDigitCount, scratch.digits);
  const DigitText digits(scratch.digits);
  int exponent = generated.exponent;
  if (mask.percent && digits.NonZero()) exponent += 2;

  std::string_view mantissa;
  int shownExponent = 0;
  if (mask.exponentMode == ExponentMode::kNone) {
    mantissa = FixedMantissa(digits, exponent, mask.decimalPlaces, scratch.mantissa);
  } else {
    shownExponent = exponent - mask.integerPlaces;
    const int length = ExponentMantissa(digits, mask.integerPlaces + mask.decimalPlaces,
                                        &shownExponent, scratch.mantissa);
    mantissa = {scratch.mantissa, static_cast<std::size_t>(length)};
  }
  const bool negative = generated.negative && mantissa != "0";

  char* const end = scratch.layout + kLayoutCapacity;
  ReverseWriter out(scratch.layout, kLayoutCapacity);
  LayoutExponent(mask, shownExponent, out);
  LayoutMantissa(mask, mantissa, negative, out);
  return out.text(end);
}

}  // namespace

TextValue FormatNumber(Extended value, TextRef mask) {
  const MaskSections sections = SplitSections(mask.view());
  const SectionChoice choice = ChooseSection(sections, value);
  if (choice.dropSign) value = WithoutSign(value);
  if (choice.section.empty()) return DefaultNumberText(value);

  FormatScratch scratch;
  CompileSection(choice.section, scratch.mask);
  return TextValue::Copy(LayOut(value, scratch));
}

void AppendFormattedNumber(Extended value, TextRef mask, std::string& out) {
  const MaskSections sections = SplitSections(mask.view());
  const SectionChoice choice = ChooseSection(sections, value);
  if (choice.dropSign) value = WithoutSign(value);
  if (choice.section.empty()) {
    out += DefaultNumberText(value).view();
    return;
  }
  FormatScratch scratch;
  CompileSection(choice.section, scratch.mask);
  out += LayOut(value, scratch);
}

}  // namespace tavrin
