// The control kinds as data: window class, default style and the style bits
// each kind always gets and never keeps; and the style rules applied when a
// control is created.
#pragma once

#include <cstdint>

#include "dialog/engine.h"

namespace tavrin {

struct ControlKindInfo {
  const char* className;        // window class; null for the custom kind (the caller's)
  std::uint32_t defaultStyle;   // used when the caller's style is 0
  std::uint32_t alwaysAdded;    // ORed into every style
  std::uint32_t alwaysRemoved;  // cleared from every style
};

// The entry of `kind`, or null for a code outside the table.
const ControlKindInfo* FindControlKind(ControlKind kind);

// True for the kinds that show an image named by the caption (10 to 13).
constexpr bool IsImageKind(ControlKind kind) {
  return kind >= ControlKind::Image && kind <= ControlKind::FittedImageButton;
}

// A window style and extended style.
struct ControlStyles {
  std::uint32_t style;
  std::uint32_t exStyle;
  friend bool operator==(const ControlStyles&, const ControlStyles&) = default;
};

// The final styles of a control of `kind` from the caller's `style` and
// `exStyle` and the control's size in pixels (a scroll bar narrower than it
// is high is vertical), into `out`. The custom kind keeps both unchanged.
// False, and `out` untouched, for a kind outside the table. (Not an
// optional: the compiler returns one through a store and a wider load that
// the processor cannot forward, which costs more than the rest.)
bool ControlWindowStyles(ControlKind kind, std::uint32_t style, std::uint32_t exStyle,
                         std::int32_t widthPixels, std::int32_t heightPixels, ControlStyles& out);

// The style of an image control whose image is an icon rather than a bitmap:
// SS_ICON in place of SS_BITMAP for the static kinds (10, 11), BS_ICON in
// place of BS_BITMAP for the button kinds (12, 13).
std::uint32_t IconImageStyle(ControlKind kind, std::uint32_t style);

}  // namespace tavrin
