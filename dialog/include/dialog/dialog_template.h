// The in-memory DLGTEMPLATE from which every engine dialog is created: no
// items, no menu, the system dialog class, a caption and a font block, each
// text widened byte by byte to 16-bit code units.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/win32.h"

namespace tavrin {

// At most this many caption bytes go into the title.
inline constexpr std::size_t kMaxCaptionBytes = 256;
// At most this many face bytes go into the font block.
inline constexpr std::size_t kMaxFaceBytes = 31;

// Style bits the engine adds to every dialog: DS_SETFONT | DS_NOFAILCREATE |
// DS_3DLOOK.
inline constexpr std::uint32_t kAlwaysAddedDialogStyle = 0x54;
// Style bits the engine removes from every dialog: WS_VISIBLE | DS_SYSMODAL
// (dialogs are created hidden).
inline constexpr std::uint32_t kAlwaysRemovedDialogStyle = 0x10000002;
// The style for a caller's 0: WS_POPUP | WS_CAPTION | DS_MODALFRAME |
// DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK, without a system menu.
inline constexpr std::uint32_t kDefaultDialogStyle = 0x80C000D4;
// Added when x or y asks for a centred dialog (DS_CENTER).
inline constexpr std::uint32_t kCenterDialogStyle = 0x0800;
// The x or y that asks for centring.
inline constexpr std::int32_t kCenteredPosition = -1;

// The template style for the caller's style and position.
std::uint32_t DialogTemplateStyle(std::uint32_t style, std::int32_t x, std::int32_t y);

// Words of the largest template: 9 header words (style, extended style,
// item count, x, y, cx, cy), menu and class words, the longest title with
// its terminator, the point size, the longest face with its terminator.
inline constexpr std::size_t kDialogTemplateWords =
    9 + 2 + (kMaxCaptionBytes + 1) + 1 + (kMaxFaceBytes + 1);

// Word-aligned (DWORD-aligned, as Win32 asks of templates) template storage.
struct DialogTemplate {
  alignas(4) std::array<WORD, kDialogTemplateWords> words;
  std::size_t used;  // words filled
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words.data()); }
};

// The fields of one template.
struct DialogTemplateFields {
  std::uint32_t style;               // already computed by DialogTemplateStyle
  std::uint32_t exStyle;             // the caller's, unchanged
  std::int32_t x, y, width, height;  // low 16 bits of each go in
  std::string_view caption;          // cut at 256 bytes or its first zero byte; "" becomes " "
  std::uint32_t points;              // font size
  std::string_view face;             // cut at 31 bytes or its first zero byte
};

// Fills `out` with the template of `fields`.
void BuildDialogTemplate(const DialogTemplateFields& fields, DialogTemplate& out);

}  // namespace tavrin
