// The dialog engine's operations as the program uses them: dialogs built from
// an in-memory template, controls added as child windows, colours per
// control, callbacks per control, the modal loop and control texts.
#pragma once

#include <cstdint>
#include <span>

#include "platform/win32.h"
#include "runtime/text_value.h"

namespace tavrin {

// A callback in the shape of a window procedure: the four values of one
// message; 0 for "not handled", anything else for "handled".
using ControlCallback = std::int32_t (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The kind code of a control: selects its window class and style rules.
enum class ControlKind : std::int32_t {
  Custom = 0,
  Button = 1,
  ThreeStateCheckBox = 2,
  CheckBox = 3,
  GroupBox = 4,
  Label = 5,
  EtchedFrame = 6,
  OptionButton = 7,
  ScrollBar = 8,
  TextBox = 9,
  Image = 10,
  FittedImage = 11,
  ImageButton = 12,
  FittedImageButton = 13,
  Graphic = 14,
  ComboBox = 15,
  ListBox = 16,
};

// Geometry mode of a dialog (also the low bits of its record's flags).
inline constexpr std::uint32_t Units = 0x0001;
inline constexpr std::uint32_t Pixels = 0x0002;

// Colour values beside plain COLORREFs 0x00BBGGRR.
inline constexpr std::int32_t ColorDefault = -1;
inline constexpr std::int32_t ColorTransparent = -2;
inline constexpr std::int32_t ColorUnset = -3;

// In place of a control id: the dialog itself.
inline constexpr std::int32_t DialogSelfId = static_cast<std::int32_t>(0x80000000u);

// Sets the face and point size of dialogs created afterwards on this thread.
void DialogSetDefaultFont(TextRef face, std::int32_t points);

// Creates a hidden dialog; 0 when none was made.
HWND DialogNew(std::uint32_t mode, HWND parent, TextRef caption, std::int32_t x, std::int32_t y,
               std::int32_t width, std::int32_t height, std::uint32_t style, std::uint32_t exStyle);

// Adds a control to a dialog made by DialogNew; 0 when none was made.
HWND ControlAdd(ControlKind kind, TextRef className, HWND dialog, std::int32_t id, TextRef caption,
                std::span<const TextRef> items, std::int32_t x, std::int32_t y, std::int32_t width,
                std::int32_t height, std::uint32_t style, std::uint32_t exStyle,
                ControlCallback callback);

// Gives a control (or the dialog, with DialogSelfId) its text and background colours.
void ControlSetColor(HWND dialog, std::int32_t id, std::int32_t textColor, std::int32_t backColor);

// Shows the dialog and runs the message loop until its window is gone.
void DialogShowModal(HWND dialog, ControlCallback callback, std::int32_t* result);
// Shows the dialog and returns at once.
void DialogShowModeless(HWND dialog, ControlCallback callback, std::int32_t* result);
// Ends the dialog: stores `result` for the caller of the show operation and
// destroys the window.
void DialogEnd(HWND dialog, std::int32_t result);

// The text of a control, as a new text; empty when there is no such control.
TextValue ControlGetText(HWND dialog, std::int32_t id);
// Replaces the text of a control; the caller's floating-point state survives.
void ControlSetText(HWND dialog, std::int32_t id, TextRef text);

}  // namespace tavrin
