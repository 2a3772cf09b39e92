// StartProcess: the process entry. Start-up, the main routine, shutdown and
// the exit, each step in its fixed order.
#include "runtime/start_process.h"

#include "runtime/fp_control.h"
#include "runtime/runtime_state.h"
#include "runtime/thread_record.h"

namespace tavrin {
namespace {

// The STARTF_USESHOWWINDOW bit of STARTUPINFOA::dwFlags: wShowWindow holds
// the show state.
constexpr DWORD kUseShowWindowFlag = 0x00000001;

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(STARTUPINFOA) == 68, "the 32-bit Win32 start-up information is 68 bytes");
#endif

// The start-up show state: wShowWindow when the process was started with
// STARTF_USESHOWWINDOW, else SW_SHOWDEFAULT.
std::int32_t ReadShowState() {
  STARTUPINFOA info{};
  info.cb = sizeof(info);
  info.dwFlags = 0;
  GetStartupInfoA(&info);
  return (info.dwFlags & kUseShowWindowFlag) != 0 ? static_cast<std::int32_t>(info.wShowWindow)
                                                  : kDefaultShowState;
}

}  // namespace

void StartProcess(MainRoutine main) {
  // Start-up.
  CoInitialize(nullptr);
  RuntimeState& state = Runtime();
  state.showState = ReadShowState();
  state.commandTail = SkipProgramName(GetCommandLineA());
  state.instance = GetModuleHandleA(nullptr);
  if (!CreateMainThreadRecord()) {
    CoUninitialize();
    ExitProcess(kStartupFailureExitCode);
  }
  ResetProgramState();
  SetStartupFpuControl();

  const std::int32_t exitCode =
      main != nullptr ? main(state.instance, 0, state.commandTail, state.showState) : 0;

  // Shutdown.
  ReleaseProgramTexts();
  ReleaseMainThreadRecord();
  CoUninitialize();
  ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace tavrin
