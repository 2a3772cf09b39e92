// Picture masks: splitting a mask into its sections, choosing the section for
// a value, and compiling a section into a MaskTemplate of positions.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "numtext/numtext.h"

namespace tavrin {

// The longest section that is compiled; longer sections are cut to this
// length (the compiled form needs two more slots in a 5000-character text).
inline constexpr int kMaxSectionLength = 4998;

// The sections of a mask: 1 positive, 2 negative, 3 zero. Section 1 is
// always present (an empty mask has an empty section 1).
struct MaskSections {
  std::array<std::string_view, 3> text;
  std::array<bool, 3> present;
};

// Splits `mask` at the unquoted, unescaped ";" characters; everything after
// a third one is ignored.
MaskSections SplitSections(std::string_view mask);

// The section that formats `value`, and whether the value's sign is dropped
// because the negative section itself marks it.
struct SectionChoice {
  std::string_view section;
  bool dropSign;
  int index;  // of the section in MaskSections
};
// Inline: FormatNumber asks it for every value, and a call would pass the
// extended real through memory.
inline SectionChoice ChooseSection(const MaskSections& sections, Extended value) {
  const auto usable = [&](int i) { return sections.present[i] && !sections.text[i].empty(); };
  if (value > 0) return {sections.text[0], false, 0};
  if (value == 0) {
    return usable(2) ? SectionChoice{sections.text[2], false, 2}
                     : SectionChoice{sections.text[0], false, 0};
  }
  // Below zero, or NaN.
  if (usable(1)) return {sections.text[1], true, 1};
  return {sections.text[0], false, 0};
}

enum class PositionKind : std::uint8_t {
  kLiteral,        // writes `ch`
  kOptionalDigit,  // a digit or nothing
  kFilledDigit,    // a digit or the fill character `ch`
};

struct MaskPosition {
  PositionKind kind;
  char ch;  // the literal, or the fill character of a filled digit
};

enum class ExponentMode : std::uint8_t { kNone, kMinus, kPlus };

// One compiled section, in room for `Capacity` positions.
template <int Capacity>
struct BasicMaskTemplate {
  std::array<MaskPosition, Capacity> positions;
  int count = 0;
  int integerPlaces = 0;
  int decimalPlaces = 0;
  int exponentPlaces = 0;
  int zeroPlaces = 0;  // "0" characters outside the exponent part
  bool grouping = false;
  bool percent = false;
  ExponentMode exponentMode = ExponentMode::kNone;
  int exponentStart = 0;  // positions up to and including the exponent's E
};

// Any section.
using MaskTemplate = BasicMaskTemplate<kMaxSectionLength>;

// The longest section of the short form, which is small enough to be kept
// between calls. Every character of a section makes at most one position.
inline constexpr int kShortSectionLength = 40;
using ShortMaskTemplate = BasicMaskTemplate<kShortSectionLength>;

// Compiles `section` (at most its first kMaxSectionLength characters) into
// `out`, which is reset first. Characters outside the mask language are
// dropped; nothing is rejected.
void CompileSection(std::string_view section, MaskTemplate& out);
// The same for a section of at most kShortSectionLength characters.
void CompileSection(std::string_view section, ShortMaskTemplate& out);

}  // namespace tavrin
