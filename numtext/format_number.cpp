// FormatNumber: a value under a picture mask. The result is the only
// allocation.
//
// Two ways give the same text. The general one (FormatNumberReference)
// splits and compiles the mask, generates the value's digit text and lays it
// out; its working texts live in one scratch area on the stack. The fast one
// takes the compiled mask from the per-thread cache and, for a mask without
// an exponent part and a finite non-zero value, rounds the value's decimal
// significand to the mask's places in integer arithmetic instead of through
// its digit text; everything else it hands to the general layout.
#include <string>
#include <string_view>

#include "numtext/decimal_significand.h"
#include "numtext/format_reference.h"
#include "numtext/mask_cache.h"
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
static_assert(kSignificandDigits + 1 == kKeptDigits);

// The working texts of one general layout.
struct LayoutScratch {
  char digits[kMinDigitBuffer];
  char mantissa[kMantissaCapacity];
  char layout[kLayoutCapacity];
};

// The working texts of one call of the general path.
struct FormatScratch {
  MaskTemplate mask;
  LayoutScratch layout;
};

// Room for a fast layout: each position writes at most one character; the
// characters beyond the positions are the integer digits no position took
// (at most 20) or the "0"s up to the leftmost "0" position; a minus sign,
// a "," per three of these.
constexpr int kShortLayoutCapacity = 160;
static_assert(kShortLayoutCapacity >=
              2 * kShortSectionLength + 1 + (2 * kShortSectionLength) / 3 + 1);
static_assert(kShortLayoutCapacity >= kSignificandMantissaCapacity + kPlainExtraCapacity);

// The text laid out for `value` under the compiled `mask`.
template <class Template>
std::string_view LayOut(Extended value, const Template& mask, LayoutScratch& scratch) {
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

// The fast layout of `value` (its sign dropped when `dropSign`) under a mask
// without an exponent part, into `layout` (kShortLayoutCapacity characters);
// false when it does not apply.
// A plain mask is laid out by LayOutPlain, any other by the position walk.
// It relies on the digit text of a finite non-zero value being its decimal
// significand's 18 digits and then "0"s (GenerateDecimalDigits makes it from
// that integer, and FixedMantissa rounds it at the same cut).
bool LayOutFixed(const Extended& value, bool dropSign, const ShortMaskTemplate& mask,
                 const PlainMask& plain, char* layout, std::string_view& text) {
  constexpr std::uint64_t kLeadingDigitUnit = 100000000000000000;  // 10^17
  if (mask.exponentMode != ExponentMode::kNone) return false;
  DecimalSignificand significand;
  // A significand below 10^17 (a scaling that rounded up to 10^18) has a
  // leading "0", which FixedMantissa keeps and this way does not.
  if (!ScaleToDecimalSignificand(value, significand) || significand.digits < kLeadingDigitUnit) {
    return false;
  }
  if (dropSign) significand.negative = false;
  // A non-zero digit text always gets the percent scaling.
  const int exponent = significand.exponent + (mask.percent ? 2 : 0);
  if (plain.plain) {
    RoundedFixed rounded;
    if (!RoundSignificandToPlaces(significand.digits, exponent, mask.decimalPlaces, rounded)) {
      return false;
    }
    // The mantissa reads "0" only when it has no fraction digits and kept nothing.
    const bool negative = significand.negative && (mask.decimalPlaces > 0 || rounded.kept != 0);
    text = {layout, static_cast<std::size_t>(LayOutPlain(plain, rounded, negative, layout))};
    return true;
  }
  char mantissaText[kSignificandMantissaCapacity];
  std::string_view mantissa;
  if (!FixedSignificandMantissa(significand.digits, exponent, mask.decimalPlaces, mantissaText,
                                mantissa)) {
    return false;
  }
  const bool negative = significand.negative && mantissa != "0";
  ReverseWriter out(layout, kShortLayoutCapacity);
  LayoutMantissa(mask, mantissa, negative, out);
  text = out.text(layout + kShortLayoutCapacity);
  return true;
}

// Where the text goes: a new text, or the end of a string.
struct NewText {
  using Result = TextValue;
  static TextValue Text(std::string_view text) { return TextValue::Copy(text); }
  static TextValue Default(Extended value) { return DefaultNumberText(value); }
};
struct AppendTo {
  using Result = void;
  std::string& out;
  void Text(std::string_view text) const { out += text; }
  void Default(Extended value) const { out += DefaultNumberText(value).view(); }
};

// The general path, apart so that its large scratch area is not set up for
// the fast one.
template <class Sink>
[[gnu::noinline]] typename Sink::Result FormatGeneral(Extended value, std::string_view mask,
                                                      const Sink& sink) {
  const MaskSections sections = SplitSections(mask);
  const SectionChoice choice = ChooseSection(sections, value);
  if (choice.dropSign) value = Abs(value);
  if (choice.section.empty()) return sink.Default(value);
  FormatScratch scratch;
  CompileSection(choice.section, scratch.mask);
  return sink.Text(LayOut(value, scratch.mask, scratch.layout));
}

// The general layout under a cached section (an exponent part, a zero, an
// infinity, a NaN, or places beyond the integer arithmetic).
template <class Sink>
[[gnu::noinline]] typename Sink::Result LayOutCached(Extended value, const ShortMaskTemplate& mask,
                                                     const Sink& sink) {
  LayoutScratch scratch;
  return sink.Text(LayOut(value, mask, scratch));
}

template <class Sink>
typename Sink::Result Format(const Extended& value, TextRef mask, const Sink& sink) {
  const CompiledMask* compiled = FindCompiledMask(mask.view());
  if (compiled == nullptr) return FormatGeneral(value, mask.view(), sink);
  // The value is read where it was passed, not copied: its sign is dropped
  // by the layouts, so that no copy of it is stored and loaded again.
  const SectionChoice choice = ChooseSection(compiled->sections, value);
  if (choice.section.empty()) return sink.Default(choice.dropSign ? Abs(value) : value);
  const ShortMaskTemplate& section = compiled->templates[choice.index];
  char layout[kShortLayoutCapacity];
  std::string_view text;
  if (LayOutFixed(value, choice.dropSign, section, compiled->plain[choice.index], layout, text)) {
    return sink.Text(text);
  }
  return LayOutCached(choice.dropSign ? Abs(value) : value, section, sink);
}

}  // namespace

TextValue FormatNumber(Extended value, TextRef mask) {
  return Format(value, mask, NewText{});
}

void AppendFormattedNumber(Extended value, TextRef mask, std::string& out) {
  Format(value, mask, AppendTo{out});
}

TextValue FormatNumberReference(Extended value, TextRef mask) {
  return FormatGeneral(value, mask.view(), NewText{});
}

}  // namespace tavrin
