// Fuzzes the dialog engine as a library: the input is a program of engine
// operations (dialogs of both geometry modes, controls of every kind, colours,
// the smaller operations, showing, ending, texts, posted and sent messages,
// timers) whose callbacks, at a message chosen by the input, run further
// operations of the same program: end the dialog, destroy it, add or remove
// controls, or re-enter the engine in any other way. A modal loop is fed by
// the platform's idle hook, which plays one operation each time the queue is
// empty. After each program every dialog is destroyed and the fuzzer checks
// that no window, record, GDI object or text is left alive and that nothing
// was released twice.
//
// Input format: a sequence of operations, each an opcode byte (taken modulo
// the number of operations) followed by its operands. An integer operand is
// one byte b: b < 0xF0 stands for b - 16 (-16 to 223), 0xF1 for INT32_MIN,
// 0xF2 for INT32_MAX, 0xF0 and 0xF3 to 0xFF for the four little-endian bytes
// that follow. A style is four raw bytes. A text is
// a length byte (at most kMaxTextBytes) and its bytes. A slot is one byte,
// taken modulo kSlots. Missing bytes read as 0.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <vector>

#include "dialog/engine.h"
#include "dialog/operations.h"
#include "dialog/registry.h"
#include "platform/linux/gdi_hooks.h"
#include "platform/linux/hooks.h"
#include "platform/linux/user_hooks.h"
#include "platform/win32.h"
#include "runtime/text_value.h"

namespace {

using tavrin::ControlKind;
using tavrin::Extent;
using tavrin::TextRef;
using tavrin::TextValue;
using tavrin::platform::Live;

// Dialogs the program can name at once.
constexpr std::size_t kSlots = 4;
// Operations one program may run in all, callbacks and idle steps included.
constexpr int kOperationBudget = 256;
// How deep callbacks may nest operations inside operations.
constexpr int kMaxDepth = 4;
// Idle steps of all modal loops of one program before every dialog goes.
constexpr int kIdleBudget = 48;
// Texts longer than this are cut.
constexpr std::size_t kMaxTextBytes = 64;
// Items a list or combo box gets at creation, at most.
constexpr std::size_t kMaxItems = 4;
// Timers: the interval is taken modulo this many milliseconds (plus one).
constexpr int kMaxTimerMilliseconds = 20;
// Integer operands: bytes below kWideIntegerTag stand for small values; the
// two tags after it for the extremes, which a random word almost never is;
// the tag and every byte above those read a whole word.
constexpr std::uint8_t kWideIntegerTag = 0xF0;
constexpr std::uint8_t kMinIntegerTag = 0xF1;
constexpr std::uint8_t kMaxIntegerTag = 0xF2;
constexpr int kSmallIntegerBias = 16;

// Reads the program's bytes from the front.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool done() const { return at_ >= size_; }
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint32_t Raw32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(Byte()) << (8 * i);
    return v;
  }
  std::int32_t Int() {
    const std::uint8_t b = Byte();
    if (b < kWideIntegerTag) return static_cast<std::int32_t>(b) - kSmallIntegerBias;
    if (b == kMinIntegerTag) return std::numeric_limits<std::int32_t>::min();
    if (b == kMaxIntegerTag) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(Raw32());
  }
  TextValue Text() {
    std::size_t n = Byte();
    if (n > kMaxTextBytes) n = kMaxTextBytes;
    if (n > size_ - at_) n = size_ - at_;
    TextValue t = TextValue::Copy(std::string_view(reinterpret_cast<const char*>(data_ + at_), n));
    at_ += n;
    return t;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Messages a trigger can wait for, and messages the program posts or sends.
constexpr std::array<UINT, 16> kMessages = {
    WM_COMMAND,     WM_CLOSE,           WM_INITDIALOG,     WM_SIZE,
    WM_TIMER,       WM_CTLCOLOREDIT,    WM_CTLCOLORSTATIC, WM_CTLCOLORBTN,
    WM_CTLCOLORDLG, WM_CTLCOLORLISTBOX, WM_SYSCOMMAND,     DM_SETDEFID,
    WM_DESTROY,     WM_NCDESTROY,       WM_PAINT,          WM_ENTERIDLE,
};

// Face names, class names of the custom kind and image names.
constexpr std::array<std::string_view, 6> kNames = {
    "tahoma", "Button", "Edit", "bitmap", "icon", "NoSuchName",
};

// One trigger: when a callback sees `message` for the `countdown`-th time
// (any message when `message` is 0), it runs `operations` operations and
// answers `answer`.
struct Trigger {
  UINT message = 0;
  int countdown = 0;
  int operations = 0;
  std::int32_t answer = 0;
  bool armed = false;
};

struct Program {
  explicit Program(Reader reader) : in(reader) {}
  Reader in;
  std::array<HWND, kSlots> dialogs{};
  std::array<std::int32_t, kSlots> results{};
  std::vector<HWND> made;  // every dialog made, to destroy at the end
  Trigger trigger;
  int budget = kOperationBudget;
  int depth = 0;
  int idles = 0;
  bool inIdleHook = false;
  int modalDepth = 0;
};

Program* g_program = nullptr;
// A memory device context that lives as long as the process, for colour
// messages (their wParam must be a device context).
HDC g_dc = nullptr;

void RunOperations(Program& p, int count);

// The callback of every control and dialog the program makes.
std::int32_t Script(HWND, UINT message, WPARAM, LPARAM) {
  Program* p = g_program;
  if (p == nullptr || !p->trigger.armed) return 0;
  Trigger& t = p->trigger;
  if (t.message != 0 && t.message != message) return 0;
  if (--t.countdown > 0) return 0;
  t.armed = false;
  const std::int32_t answer = t.answer;
  if (p->depth < kMaxDepth) {
    ++p->depth;
    RunOperations(*p, t.operations);
    --p->depth;
  }
  return answer;
}

void CALLBACK ScriptTimer(HWND window, UINT message, UINT_PTR, DWORD) {
  Script(window, message, 0, 0);
}

HWND& Slot(Program& p) {
  return p.dialogs[p.in.Byte() % kSlots];
}

// The target of a message or a smaller operation: a dialog, or one of its
// controls by id.
HWND Target(Program& p) {
  HWND dialog = Slot(p);
  const std::int32_t id = p.in.Int();
  if (id == tavrin::DialogSelfId || id < 0) return dialog;
  return GetDlgItem(dialog, id);
}

ControlKind Kind(Program& p) {
  // Codes past the table's end (17 to 19) and a negative one are asked for too.
  const int code = static_cast<int>(p.in.Byte() % 21) - 1;
  return static_cast<ControlKind>(code);
}

void DoControlAdd(Program& p) {
  HWND dialog = Slot(p);
  const ControlKind kind = Kind(p);
  // A name from the table, or none (bytes past its end).
  const std::uint8_t nameIndex = p.in.Byte();
  TextValue classText = TextValue::Copy(nameIndex < kNames.size() ? kNames[nameIndex] : "");
  const std::int32_t id = p.in.Int();
  TextValue caption = p.in.Text();
  std::array<TextValue, kMaxItems> itemTexts;
  std::array<TextRef, kMaxItems> items;
  const std::size_t itemCount = p.in.Byte() % (kMaxItems + 1);
  for (std::size_t i = 0; i < itemCount; ++i) {
    itemTexts[i] = p.in.Text();
    items[i] = itemTexts[i];
  }
  const std::int32_t x = p.in.Int(), y = p.in.Int(), width = p.in.Int(), height = p.in.Int();
  const std::uint32_t style = p.in.Raw32(), exStyle = p.in.Raw32();
  const bool withCallback = (p.in.Byte() & 1) != 0;
  tavrin::ControlAdd(kind, classText, dialog, id, caption,
                     std::span<const TextRef>(items.data(), itemCount), x, y, width, height, style,
                     exStyle, withCallback ? Script : nullptr);
}

void DoDialogNew(Program& p) {
  HWND& slot = Slot(p);
  const std::uint32_t mode = p.in.Byte() % 4;  // 0 and 3 are neither mode
  HWND parent = p.dialogs[p.in.Byte() % kSlots];
  TextValue caption = p.in.Text();
  const std::int32_t x = p.in.Int(), y = p.in.Int(), width = p.in.Int(), height = p.in.Int();
  const std::uint32_t style = p.in.Raw32(), exStyle = p.in.Raw32();
  slot = tavrin::DialogNew(mode, parent, caption, x, y, width, height, style, exStyle);
  if (slot != nullptr) p.made.push_back(slot);
}

// Destroys every dialog the program made, newest first.
void DestroyAll(Program& p) {
  for (auto it = p.made.rbegin(); it != p.made.rend(); ++it) {
    if (IsWindow(*it)) DestroyWindow(*it);
  }
}

// One idle step of a modal loop: the next operation, or, when the program
// is spent, the end of every dialog so that every loop returns.
void IdleStep() {
  Program* p = g_program;
  if (p == nullptr) return;
  p->inIdleHook = true;
  if (++p->idles > kIdleBudget || p->budget <= 0 || p->in.done()) {
    DestroyAll(*p);
  } else {
    RunOperations(*p, 1);
  }
  p->inIdleHook = false;
}

void DoShowModal(Program& p) {
  const std::size_t index = p.in.Byte() % kSlots;
  const bool withCallback = (p.in.Byte() & 1) != 0;
  // A modal loop inside the idle hook would get no idle steps and never end.
  if (p.inIdleHook) return;
  ++p.modalDepth;
  tavrin::DialogShowModal(p.dialogs[index], withCallback ? Script : nullptr, &p.results[index]);
  --p.modalDepth;
}

void DoMessage(Program& p, bool post) {
  HWND target = Target(p);
  const UINT message = kMessages[p.in.Byte() % kMessages.size()];
  WPARAM wParam = static_cast<WPARAM>(static_cast<std::uint32_t>(p.in.Int()));
  LPARAM lParam = static_cast<LPARAM>(p.in.Int());
  switch (message) {
    case WM_COMMAND:  // lParam names a control of the target's dialog or none
      lParam = reinterpret_cast<LPARAM>(GetDlgItem(target, LOWORD(wParam)));
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORLISTBOX:
      wParam = reinterpret_cast<WPARAM>(g_dc);
      lParam = reinterpret_cast<LPARAM>(GetDlgItem(target, static_cast<int>(lParam)));
      break;
    case WM_TIMER:  // a timer message may carry a procedure
      lParam = (lParam & 1) != 0 ? reinterpret_cast<LPARAM>(ScriptTimer) : 0;
      break;
    case WM_SYSCOMMAND:
      wParam = (wParam & 1) != 0 ? SC_CLOSE : SC_MINIMIZE;
      break;
    case WM_INITDIALOG:
    case WM_SIZE:
    case WM_DESTROY:
    case WM_NCDESTROY:
    case WM_PAINT:
    case WM_ENTERIDLE:
      // Only the window manager sends these with meaning; ask for a repaint
      // or a close instead, which the engine does meet.
      if (message == WM_PAINT) {
        InvalidateRect(target, nullptr, TRUE);
        return;
      }
      wParam = 0;
      lParam = 0;
      break;
    default:
      break;
  }
  if (post) {
    PostMessageA(target, message, wParam, lParam);
  } else {
    SendMessageA(target, message, wParam, lParam);
  }
}

// The operations, by opcode.
void RunOne(Program& p) {
  --p.budget;
  const std::uint8_t op = p.in.Byte();
  switch (op % 40) {
    case 0: {
      TextValue face = p.in.Text();
      tavrin::DialogSetDefaultFont(face, p.in.Int());
      break;
    }
    case 1:
      DoDialogNew(p);
      break;
    case 2:
    case 3:
      DoControlAdd(p);
      break;
    case 4: {
      HWND dialog = Slot(p);
      const std::int32_t id = p.in.Int();
      const std::int32_t text = p.in.Int();
      tavrin::ControlSetColor(dialog, id, text, p.in.Int());
      break;
    }
    case 5: {
      const std::size_t index = p.in.Byte() % kSlots;
      const bool withCallback = (p.in.Byte() & 1) != 0;
      tavrin::DialogShowModeless(p.dialogs[index], withCallback ? Script : nullptr,
                                 &p.results[index]);
      break;
    }
    case 6:
      DoShowModal(p);
      break;
    case 7: {
      HWND dialog = Slot(p);
      tavrin::DialogEnd(dialog, p.in.Int());
      break;
    }
    case 8: {
      HWND dialog = Slot(p);
      TextValue text = tavrin::ControlGetText(dialog, p.in.Int());
      break;
    }
    case 9: {
      HWND dialog = Slot(p);
      const std::int32_t id = p.in.Int();
      TextValue text = p.in.Text();
      tavrin::ControlSetText(dialog, id, text);
      break;
    }
    case 10:
      DoMessage(p, true);
      break;
    case 11:
      DoMessage(p, false);
      break;
    case 12: {
      Trigger& t = p.trigger;
      const std::uint8_t which = p.in.Byte();
      t.message = which < kMessages.size() ? kMessages[which] : 0;
      t.countdown = 1 + p.in.Byte() % 8;
      t.operations = 1 + p.in.Byte() % 8;
      t.answer = p.in.Int();
      t.armed = true;
      break;
    }
    case 13:
      DestroyWindow(Target(p));
      break;
    case 14: {
      HWND window = Target(p);
      const UINT_PTR id = p.in.Byte();
      const UINT interval = 1 + p.in.Byte() % kMaxTimerMilliseconds;
      // No thread timers: they would outlive the program.
      if (window != nullptr) SetTimer(window, id, interval, (id & 1) != 0 ? ScriptTimer : nullptr);
      break;
    }
    case 15: {
      HWND window = Target(p);
      KillTimer(window, p.in.Byte());
      break;
    }
    case 16: {
      HWND window = Target(p);
      tavrin::DialogSetShowState(window, p.in.Int());
      break;
    }
    case 17: {
      HWND dialog = Slot(p);
      const std::int32_t id = p.in.Int();
      tavrin::ControlEnable(dialog, id, (p.in.Byte() & 1) != 0);
      break;
    }
    case 18: {
      HWND dialog = Slot(p);
      tavrin::ControlSetFocus(dialog, p.in.Int());
      break;
    }
    case 19: {
      HWND dialog = Slot(p);
      const std::int32_t id = p.in.Int();
      tavrin::ControlSetCallback(dialog, id, (p.in.Byte() & 1) != 0 ? Script : nullptr);
      break;
    }
    case 20: {
      HWND dialog = Slot(p);
      const std::int32_t id = p.in.Int();
      const std::uint8_t nameIndex = p.in.Byte() % kNames.size();
      TextValue name = TextValue::Copy(kNames[nameIndex]);
      tavrin::ControlSetImage(dialog, id, name, p.in.Int());
      break;
    }
    case 21: {
      HWND dialog = Slot(p);
      tavrin::ControlRemove(dialog, p.in.Int());
      break;
    }
    case 22: {
      HWND dialog = Slot(p);
      const std::int32_t id = p.in.Int();
      tavrin::ControlGetCheck(dialog, id);
      tavrin::ControlSetCheck(dialog, id, p.in.Int());
      break;
    }
    case 23: {
      HWND dialog = Slot(p);
      const std::int32_t first = p.in.Int(), last = p.in.Int();
      tavrin::ControlSetOption(dialog, first, last, p.in.Int());
      break;
    }
    case 24: {
      HWND dialog = Slot(p);
      const std::int32_t id = p.in.Int();
      const std::uint8_t which = p.in.Byte() % 3;
      const Extent e{p.in.Int(), p.in.Int()};
      if (which == 0) tavrin::ControlSetClientSize(dialog, id, e);
      if (which == 1) tavrin::ControlSetSize(dialog, id, e);
      if (which == 2) tavrin::ControlSetLocation(dialog, id, e);
      break;
    }
    case 25: {
      HWND dialog = Slot(p);
      const std::int32_t id = p.in.Int();
      tavrin::ControlGetClientSize(dialog, id);
      tavrin::ControlGetSize(dialog, id);
      tavrin::ControlGetLocation(dialog, id);
      break;
    }
    case 26: {
      HWND dialog = Slot(p);
      const Extent e{p.in.Int(), p.in.Int()};
      tavrin::UnitsToPixels(dialog, e);
      tavrin::PixelsToUnits(dialog, e);
      break;
    }
    case 27: {
      HWND window = Target(p);
      const std::int32_t n = p.in.Int();
      tavrin::WindowSetUserValue(window, n, p.in.Int());
      tavrin::WindowGetUserValue(window, p.in.Int());
      break;
    }
    case 28: {
      HWND dialog = Slot(p);
      TextValue name = TextValue::Copy(kNames[p.in.Byte() % kNames.size()]);
      tavrin::DialogSetIcon(dialog, name);
      break;
    }
    case 29:
      tavrin::WindowRedraw(Target(p));
      break;
    case 30:
    case 31: {
      const bool combo = (op % 40) == 30;
      HWND dialog = Slot(p);
      const std::int32_t id = p.in.Int();
      TextValue text = p.in.Text();
      if (combo) {
        tavrin::ComboAddText(dialog, id, text);
      } else {
        tavrin::ListAddText(dialog, id, text);
      }
      break;
    }
    case 32:
    case 33: {
      const bool combo = (op % 40) == 32;
      HWND dialog = Slot(p);
      const std::int32_t id = p.in.Int();
      const std::uint8_t which = p.in.Byte() % 4;
      const std::int32_t item = p.in.Int();
      if (combo) {
        if (which == 0) tavrin::ComboDeleteItem(dialog, id, item);
        if (which == 1) TextValue selected = tavrin::ComboGetSelectedText(dialog, id);
        if (which == 2) tavrin::ComboReset(dialog, id);
        if (which == 3) tavrin::ComboSelect(dialog, id, item);
      } else {
        if (which == 0) tavrin::ListDeleteItem(dialog, id, item);
        if (which == 1) TextValue selected = tavrin::ListGetSelectedText(dialog, id);
        if (which == 2) tavrin::ListReset(dialog, id);
        if (which == 3) tavrin::ListSelect(dialog, id, item);
      }
      break;
    }
    case 34: {
      static constexpr std::array<int, 5> kKeys = {VK_TAB, VK_RETURN, VK_ESCAPE, VK_SPACE, VK_DOWN};
      tavrin::platform::PostKeystroke(kKeys[p.in.Byte() % kKeys.size()]);
      break;
    }
    case 35: {
      TextValue text = p.in.Text();
      tavrin::platform::PostChars(text.data());
      break;
    }
    case 36: {
      // Lets queued messages through, a bounded number of them.
      MSG m{};
      const int count = 1 + p.in.Byte() % 8;
      for (int i = 0; i < count && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
      }
      break;
    }
    case 37: {
      HWND window = Target(p);
      ShowWindow(window, p.in.Byte() % 10);
      break;
    }
    case 38: {
      HWND dialog = Slot(p);
      MSG m{};
      if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE) && !IsDialogMessageA(dialog, &m)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
      }
      break;
    }
    default: {
      HWND window = Target(p);
      EnableWindow(window, (p.in.Byte() & 1) != 0);
      break;
    }
  }
}

void RunOperations(Program& p, int count) {
  for (int i = 0; i < count && p.budget > 0 && !p.in.done(); ++i) RunOne(p);
}

// The objects the fuzzer counts, and their counts at a quiet moment.
constexpr std::array<Live, 8> kCounted = {
    Live::Text, Live::GlobalBlock, Live::Window,        Live::Brush,
    Live::Font, Live::Bitmap,      Live::DeviceContext, Live::Icon,
};
constexpr std::array<const char*, 8> kCountedNames = {
    "text", "global block", "window", "brush", "font", "bitmap", "device context", "icon",
};
std::array<std::int64_t, kCounted.size()> g_baseline{};

constexpr std::string_view kDefaultFace = "tahoma";
constexpr std::int32_t kDefaultPoints = 10;

void SetDefaultFont() {
  TextValue face = TextValue::Copy(kDefaultFace);
  tavrin::DialogSetDefaultFont(face, kDefaultPoints);
}

std::array<std::int64_t, kCounted.size()> CountNow() {
  std::array<std::int64_t, kCounted.size()> counts{};
  for (std::size_t i = 0; i < kCounted.size(); ++i) {
    counts[i] = tavrin::platform::LiveCount(kCounted[i]);
  }
  return counts;
}

[[noreturn]] void Fail(const char* what, std::int64_t before, std::int64_t after) {
  std::fprintf(stderr, "invariant violated: %s (%lld before, %lld after)\n", what,
               static_cast<long long>(before), static_cast<long long>(after));
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Images the module "carries", so that image controls and icons load.
  tavrin::platform::RegisterResource(RT_BITMAP, "bitmap", 16, 16);
  tavrin::platform::RegisterResource(RT_ICON, "icon", 32, 32);
  SetDefaultFont();
  g_dc = CreateCompatibleDC(nullptr);
  g_baseline = CountNow();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    Program p(Reader(data, size));
    g_program = &p;
    tavrin::platform::SetIdleHook(IdleStep);
    RunOperations(p, kOperationBudget);
    tavrin::platform::SetIdleHook({});
    DestroyAll(p);
    // Messages still queued for windows that are gone, and timers.
    MSG m{};
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
    g_program = nullptr;
  }
  SetDefaultFont();
  if (tavrin::RegistryCount() != 0) Fail("records left", 0, tavrin::RegistryCount());
  if (tavrin::platform::DoubleReleases() != 0) {
    Fail("objects released twice", 0, tavrin::platform::DoubleReleases());
  }
  const auto after = CountNow();
  for (std::size_t i = 0; i < kCounted.size(); ++i) {
    if (after[i] != g_baseline[i]) Fail(kCountedNames[i], g_baseline[i], after[i]);
  }
  return 0;
}
