// Drives the calculator window from another process: finds it by caption,
// reads and writes control texts, clicks buttons, reports where controls are
// on the screen (for real mouse input), which control has the focus, the
// controls' classes and styles, and runs the long CALC run that watches the
// calculator's memory and GDI objects.
//
// Usage: driver COMMAND [ARGS]; prints its answer on stdout, exit code 0 on
// success, 1 on failure, 2 on bad usage.
#include <windows.h>
// psapi.h needs the types of windows.h first.
#include <fcntl.h>
#include <io.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char kCaption[] = "TAVRIN Schlumberger";
constexpr char kDialogClass[] = "#32770";
constexpr DWORD kPollMs = 20;

HWND FindCalculator() {
  HWND w = FindWindowA(kDialogClass, kCaption);
  return w != nullptr ? w : FindWindowA(nullptr, kCaption);
}

// Polls for the window, shown, until `timeoutMs` has passed; null if it
// never came. (The dialog exists hidden while its controls are added.)
HWND WaitForCalculator(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND w = FindCalculator();
    if (w != nullptr && IsWindowVisible(w)) return w;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(kPollMs);
  }
}

HWND RequireCalculator() {
  HWND w = WaitForCalculator(5000);
  if (w == nullptr) {
    std::fprintf(stderr, "driver: no window \"%s\"\n", kCaption);
    std::exit(1);
  }
  return w;
}

// The control with `id`, or the dialog itself for id 0.
HWND Control(HWND dialog, int id) {
  if (id == 0) return dialog;
  HWND c = GetDlgItem(dialog, id);
  if (c == nullptr) {
    std::fprintf(stderr, "driver: no control %d\n", id);
    std::exit(1);
  }
  return c;
}

std::string GetText(HWND window) {
  const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  const LRESULT got = SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(buffer.size()),
                                   reinterpret_cast<LPARAM>(buffer.data()));
  return std::string(buffer.data(), static_cast<std::size_t>(got));
}

void SetText(HWND window, const char* text) {
  SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// Memory and GDI figures of the calculator's process.
struct ProcessFigures {
  SIZE_T privateBytes = 0;
  SIZE_T workingSet = 0;
  DWORD gdiObjects = 0;
  DWORD userObjects = 0;
};

ProcessFigures Measure(HANDLE process) {
  ProcessFigures f;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (GetProcessMemoryInfo(process, &counters, sizeof(counters))) {
    f.privateBytes = counters.PagefileUsage;
    f.workingSet = counters.WorkingSetSize;
  }
  f.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
  f.userObjects = GetGuiResources(process, GR_USEROBJECTS);
  return f;
}

void PrintFigures(const char* label, const ProcessFigures& f) {
  std::printf("%s private=%lu working=%lu gdi=%lu user=%lu\n", label,
              static_cast<unsigned long>(f.privateBytes), static_cast<unsigned long>(f.workingSet),
              static_cast<unsigned long>(f.gdiObjects), static_cast<unsigned long>(f.userObjects));
}

// CALC `count` times, with n (1..9) and a (10..16) changing on each click.
// Each result must equal the one the same inputs gave before. Memory and
// GDI objects are measured after a warm-up of `count` / 10 clicks and at the
// end; growth of private bytes above `maxGrowth` fails the run.
int Stress(HWND dialog, long count, long maxGrowth) {
  DWORD pid = 0;
  GetWindowThreadProcessId(dialog, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process == nullptr) {
    std::fprintf(stderr, "driver: cannot open process %lu\n", static_cast<unsigned long>(pid));
    return 1;
  }
  HWND boxN = Control(dialog, 101);
  HWND boxA = Control(dialog, 102);
  HWND result = Control(dialog, 106);
  HWND calc = Control(dialog, 107);
  std::map<std::pair<int, int>, std::string> seen;
  const long warmUp = count / 10;
  ProcessFigures before;
  int mismatches = 0;
  const DWORD start = GetTickCount();
  for (long k = 0; k < count; ++k) {
    if (k == warmUp) before = Measure(process);
    const int n = static_cast<int>(k % 9) + 1;
    const int a = static_cast<int>(k % 7) + 10;
    char text[16];
    std::snprintf(text, sizeof(text), "%d", n);
    SetText(boxN, text);
    std::snprintf(text, sizeof(text), "%d", a);
    SetText(boxA, text);
    SendMessageA(calc, BM_CLICK, 0, 0);
    if (k % 10 == 0) {
      const std::string shown = GetText(result);
      auto [it, fresh] = seen.emplace(std::make_pair(n, a), shown);
      if (shown.empty() || (!fresh && it->second != shown)) {
        if (++mismatches <= 5) {
          std::fprintf(stderr, "driver: n %d a %d gave \"%s\", before \"%s\"\n", n, a,
                       shown.c_str(), it->second.c_str());
        }
      }
    }
  }
  const DWORD elapsed = GetTickCount() - start;
  const ProcessFigures after = Measure(process);
  CloseHandle(process);
  PrintFigures("before", before);
  PrintFigures("after", after);
  const long growth =
      static_cast<long>(after.privateBytes) - static_cast<long>(before.privateBytes);
  const long gdiGrowth = static_cast<long>(after.gdiObjects) - static_cast<long>(before.gdiObjects);
  std::printf("clicks=%ld ms=%lu growth=%ld gdi_growth=%ld mismatches=%d distinct=%zu\n", count,
              static_cast<unsigned long>(elapsed), growth, gdiGrowth, mismatches, seen.size());
  if (before.privateBytes == 0) {
    std::fprintf(stderr, "driver: process memory could not be read\n");
    return 1;
  }
  return (mismatches == 0 && growth <= maxGrowth && gdiGrowth <= 0) ? 0 : 1;
}

// Puts `count` digit characters on the clipboard as text.
int PutDigitsOnClipboard(long count) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(count) + 1);
  if (block == nullptr) return 1;
  char* bytes = static_cast<char*>(GlobalLock(block));
  for (long k = 0; k < count; ++k) bytes[k] = static_cast<char>('0' + (k % 10));
  bytes[count] = '\0';
  GlobalUnlock(block);
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (OpenClipboard(nullptr)) {
      EmptyClipboard();
      const bool ok = SetClipboardData(CF_TEXT, block) != nullptr;
      CloseClipboard();
      return ok ? 0 : 1;
    }
    Sleep(kPollMs);
  }
  GlobalFree(block);
  return 1;
}

// Lists the dialog and each control: class, id, style, extended style, text
// length and the first bytes of the text, one line each, in Z order (creation
// order for the engine's controls).
BOOL CALLBACK ListChild(HWND child, LPARAM parent) {
  if (GetParent(child) != reinterpret_cast<HWND>(parent)) return TRUE;
  char className[64] = {};
  GetClassNameA(child, className, sizeof(className));
  const std::string text = GetText(child);
  std::printf("%s %d 0x%08lX 0x%08lX %s\n", className, static_cast<int>(GetDlgCtrlID(child)),
              static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)),
              static_cast<unsigned long>(GetWindowLongA(child, GWL_EXSTYLE)),
              text.empty() ? "-" : text.c_str());
  return TRUE;
}

int Usage() {
  std::fprintf(stderr,
               "usage: driver find [ms] | gone [ms] | get ID | len ID | set ID TEXT | click ID |\n"
               "       post-click ID | center ID | focus | wait ID TEXT [ms] | list |\n"
               "       stress COUNT MAXGROWTH | clip COUNT | pid\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // Plain "\n" line ends: the scripts compare the output byte for byte.
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  auto arg = [&](int k) -> const char* { return k < argc ? argv[k] : nullptr; };
  auto number = [&](int k, long fallback) { return arg(k) ? std::atol(arg(k)) : fallback; };

  if (command == "find") {
    HWND w = WaitForCalculator(static_cast<DWORD>(number(2, 30000)));
    if (w == nullptr) return 1;
    std::printf("%p\n", static_cast<void*>(w));
    return 0;
  }
  if (command == "gone") {
    const DWORD timeout = static_cast<DWORD>(number(2, 10000));
    const DWORD start = GetTickCount();
    while (FindCalculator() != nullptr) {
      if (GetTickCount() - start >= timeout) return 1;
      Sleep(kPollMs);
    }
    return 0;
  }
  if (command == "clip") return arg(2) ? PutDigitsOnClipboard(number(2, 0)) : Usage();

  HWND dialog = RequireCalculator();
  if (command == "get" && arg(2)) {
    const std::string text = GetText(Control(dialog, static_cast<int>(number(2, 0))));
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::printf("\n");
    return 0;
  }
  if (command == "len" && arg(2)) {
    std::printf("%ld\n",
                static_cast<long>(SendMessageA(Control(dialog, static_cast<int>(number(2, 0))),
                                               WM_GETTEXTLENGTH, 0, 0)));
    return 0;
  }
  if (command == "set" && arg(3)) {
    SetText(Control(dialog, static_cast<int>(number(2, 0))), arg(3));
    return 0;
  }
  if (command == "click" && arg(2)) {
    SendMessageA(Control(dialog, static_cast<int>(number(2, 0))), BM_CLICK, 0, 0);
    return 0;
  }
  if (command == "post-click" && arg(2)) {
    PostMessageA(Control(dialog, static_cast<int>(number(2, 0))), BM_CLICK, 0, 0);
    return 0;
  }
  if (command == "center" && arg(2)) {
    RECT r{};
    GetWindowRect(Control(dialog, static_cast<int>(number(2, 0))), &r);
    std::printf("%ld %ld\n", static_cast<long>((r.left + r.right) / 2),
                static_cast<long>((r.top + r.bottom) / 2));
    return 0;
  }
  if (command == "rect" && arg(2)) {
    RECT r{};
    GetWindowRect(Control(dialog, static_cast<int>(number(2, 0))), &r);
    std::printf("%ld %ld %ld %ld\n", static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
    return 0;
  }
  if (command == "focus") {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)) return 1;
    std::printf("%d\n", info.hwndFocus ? static_cast<int>(GetDlgCtrlID(info.hwndFocus)) : 0);
    return 0;
  }
  if (command == "wait" && arg(3)) {
    HWND control = Control(dialog, static_cast<int>(number(2, 0)));
    const DWORD timeout = static_cast<DWORD>(number(4, 5000));
    const DWORD start = GetTickCount();
    std::string text;
    while ((text = GetText(control)) != arg(3)) {
      if (GetTickCount() - start >= timeout) {
        std::fprintf(stderr, "driver: control %s shows \"%.80s\", not \"%.80s\"\n", arg(2),
                     text.c_str(), arg(3));
        return 1;
      }
      Sleep(kPollMs);
    }
    return 0;
  }
  if (command == "list") {
    ListChild(dialog, reinterpret_cast<LPARAM>(GetParent(dialog)));
    EnumChildWindows(dialog, ListChild, reinterpret_cast<LPARAM>(dialog));
    return 0;
  }
  if (command == "pid") {
    DWORD pid = 0;
    GetWindowThreadProcessId(dialog, &pid);
    std::printf("%lu\n", static_cast<unsigned long>(pid));
    return 0;
  }
  if (command == "stress" && arg(3)) return Stress(dialog, number(2, 0), number(3, 0));
  return Usage();
}
