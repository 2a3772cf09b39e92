// Dialog creation: the thread's default font, the template, the hidden
// dialog window, pixel geometry, and the dialog's record.
#include "dialog/dialog_proc.h"
#include "dialog/dialog_template.h"
#include "dialog/engine.h"
#include "dialog/registry.h"
#include "engine_instance.h"
#include "platform/wrap32.h"
#include "runtime/thread_record.h"

namespace tavrin {
namespace {

// In pixel mode, x or y of 0x8000 keeps the position Windows chose.
constexpr std::int32_t kKeepPosition = 0x8000;
// SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS |
// SWP_NOOWNERZORDER | SWP_NOSENDCHANGING.
constexpr UINT kPixelFitFlags = 0x071C;
// Style bits that choose the first show command.
constexpr std::uint32_t kMaximizeStyle = 0x01000000;  // WS_MAXIMIZE
constexpr std::uint32_t kMinimizeStyle = 0x20000000;  // WS_MINIMIZE

// Half of `value`, rounding down (also for negative values). The value is
// a 64-bit sum of 32-bit edges; the half is taken as a 32-bit coordinate,
// wrapped as a Win32 program would see it.
constexpr std::int32_t FloorHalf(std::int64_t value) {
  const std::int64_t half = value >= 0 ? value / 2 : -((-value + 1) / 2);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(half));
}

std::int32_t FirstShowCommand(std::uint32_t style) {
  if ((style & kMaximizeStyle) != 0) return SW_MAXIMIZE;
  if ((style & kMinimizeStyle) != 0) return SW_MINIMIZE;
  return SW_SHOW;
}

// Resizes a new dialog so that its client area measures width x height
// pixels, and places it: centred in the work area, at x, y, or where Windows
// put it.
void FitToPixels(HWND dialog, std::int32_t x, std::int32_t y, std::int32_t width,
                 std::int32_t height) {
  RECT window{};
  RECT client{};
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  width = WrapAdd(width, WrapSub(WrapSub(window.right, window.left), client.right - client.left));
  height = WrapAdd(height, WrapSub(WrapSub(window.bottom, window.top), client.bottom - client.top));
  UINT flags = kPixelFitFlags;
  if (x == kKeepPosition || y == kKeepPosition) {
    flags |= SWP_NOMOVE;
  } else if (x == kCenteredPosition || y == kCenteredPosition) {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    x = FloorHalf(std::int64_t{area.left} + area.right - width);
    y = FloorHalf(std::int64_t{area.top} + area.bottom - height);
  }
  SetWindowPos(dialog, nullptr, x, y, width, height, flags);
}

}  // namespace

void DialogSetDefaultFont(TextRef face, std::int32_t points) {
  ThreadRecord* thread = CurrentThreadRecord();
  if (thread == nullptr) return;
  SetThreadRecordFont(*thread, face.view(), static_cast<std::uint32_t>(points) & 0xFF);
}

HWND DialogNew(std::uint32_t mode, HWND parent, TextRef caption, std::int32_t x, std::int32_t y,
               std::int32_t width, std::int32_t height, std::uint32_t style,
               std::uint32_t exStyle) {
  const bool pixels = (mode & Pixels) != 0;
  const ThreadRecord* thread = CurrentThreadRecord();
  DialogTemplateFields fields{};
  fields.style = DialogTemplateStyle(style, x, y);
  fields.exStyle = exStyle;
  fields.x = x;
  fields.y = y;
  fields.width = width;
  fields.height = height;
  fields.caption = caption.view();
  // Without a thread record (no memory for one) the start-up font is used.
  fields.points = thread != nullptr ? thread->fontPoints : kStartupFontPoints;
  fields.face = thread != nullptr ? std::string_view(thread->fontFace) : kStartupFontFace;
  DialogTemplate dialogTemplate{};
  BuildDialogTemplate(fields, dialogTemplate);

  HWND dialog = CreateDialogIndirectParamA(EngineInstance(), dialogTemplate.get(), parent,
                                           EngineDialogProc, 0);
  if (dialog == nullptr) return nullptr;
  if (pixels) FitToPixels(dialog, x, y, width, height);

  Record* r = RegistryAdd(RecordFlag::Dialog | (pixels ? RecordFlag::Pixels : RecordFlag::Units),
                          dialog, parent, 0);
  if (r == nullptr) {
    // A window nobody could find again would only leak: take it down.
    DestroyWindow(dialog);
    return nullptr;
  }
  r->style = style;
  r->showCommand = FirstShowCommand(style);
  r->font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
  return dialog;
}

}  // namespace tavrin
