// The control kind table and the style rules of control creation.
#include "dialog/control_kinds.h"

#include <array>

namespace tavrin {
namespace {

// Indexed by kind code 0..16.
constexpr std::array<ControlKindInfo, 17> kControlKinds{{
    {nullptr, 0, 0, 0},                              // 0 custom
    {"BUTTON", 0x50010000, 0x50000000, 0},           // 1 button
    {"BUTTON", 0x50010006, 0x50000006, 0xA7FC00C9},  // 2 three-state check box
    {"BUTTON", 0x50010003, 0x50000003, 0xA7FC00CC},  // 3 check box
    {"BUTTON", 0x50000007, 0x50000007, 0xA7FFD0F8},  // 4 group box
    {"STATIC", 0x50000000, 0x50000000, 0},           // 5 label
    {"STATIC", 0x50000012, 0x50000000, 0},           // 6 etched frame
    {"BUTTON", 0x50010009, 0x50000009, 0xA7FC00C6},  // 7 option button
    {"SCROLLBAR", 0x50000000, 0x50000000, 0},        // 8 scroll bar
    {"EDIT", 0x50810080, 0x50000000, 0},             // 9 text box
    {"STATIC", 0x5000000E, 0x5000000E, 0},           // 10 image
    {"STATIC", 0x5000000E, 0x5000000E, 0},           // 11 fitted image
    {"BUTTON", 0x50010080, 0x50000080, 0},           // 12 image button
    {"BUTTON", 0x50010080, 0x50000080, 0},           // 13 fitted image button
    {"STATIC", 0x5000000D, 0x5000000D, 0},           // 14 graphic
    {"COMBOBOX", 0x50010102, 0x50000000, 0},         // 15 combo box
    {"LISTBOX", 0x50A10003, 0x50000001, 0},          // 16 list box
}};

constexpr std::uint32_t kBorderStyle = 0x00800000;        // WS_BORDER
constexpr std::uint32_t kClientEdgeExStyle = 0x00000200;  // WS_EX_CLIENTEDGE
constexpr std::uint32_t kVerticalScrollBar = 0x0001;      // SBS_VERT
constexpr std::uint32_t kStaticImageTypeBits = 0x0E;      // SS_BITMAP (type field bits)
constexpr std::uint32_t kStaticIcon = 0x03;               // SS_ICON
constexpr std::uint32_t kButtonBitmap = 0x80;             // BS_BITMAP
constexpr std::uint32_t kButtonIcon = 0x40;               // BS_ICON

// Kinds whose border becomes a client edge when they take the default style.
constexpr bool BorderBecomesEdge(ControlKind kind) {
  return kind == ControlKind::TextBox || kind == ControlKind::ComboBox ||
         kind == ControlKind::ListBox;
}

}  // namespace

const ControlKindInfo* FindControlKind(ControlKind kind) {
  const auto code = static_cast<std::int32_t>(kind);
  if (code < 0 || code >= static_cast<std::int32_t>(kControlKinds.size())) return nullptr;
  return &kControlKinds[static_cast<std::size_t>(code)];
}

bool ControlWindowStyles(ControlKind kind, std::uint32_t style, std::uint32_t exStyle,
                         std::int32_t widthPixels, std::int32_t heightPixels, ControlStyles& out) {
  const ControlKindInfo* info = FindControlKind(kind);
  if (info == nullptr) return false;
  if (kind == ControlKind::Custom) {
    out = {style, exStyle};
    return true;
  }
  if (style == 0) {
    style = info->defaultStyle;
    if (kind == ControlKind::ScrollBar && widthPixels < heightPixels) style |= kVerticalScrollBar;
    if (BorderBecomesEdge(kind) && (style & kBorderStyle) != 0) {
      style &= ~kBorderStyle;
      exStyle |= kClientEdgeExStyle;
    }
  }
  style |= info->alwaysAdded;
  style &= ~info->alwaysRemoved;
  out = {style, exStyle};
  return true;
}

std::uint32_t IconImageStyle(ControlKind kind, std::uint32_t style) {
  if (kind == ControlKind::Image || kind == ControlKind::FittedImage) {
    return (style & ~kStaticImageTypeBits) | kStaticIcon;
  }
  if (kind == ControlKind::ImageButton || kind == ControlKind::FittedImageButton) {
    return (style & ~kButtonBitmap) | kButtonIcon;
  }
  return style;
}

}  // namespace tavrin
