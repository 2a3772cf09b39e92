// The process entry of the run-time frame: start-up, the call of the main
// routine, shutdown and the exit, and the reading of the command-line tail.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace tavrin {

// The main routine: module instance, previous instance (always 0), the
// command-line tail and the start-up show state. Its result is the exit code.
using MainRoutine = std::int32_t (*)(HINSTANCE instance, std::int32_t previous,
                                     const char* commandTail, std::int32_t showState);

// Exit code when start-up cannot get a thread-local slot or memory for the
// main thread's record.
inline constexpr UINT kStartupFailureExitCode = 255;
// Show state when the process was not started with STARTF_USESHOWWINDOW
// (SW_SHOWDEFAULT).
inline constexpr std::int32_t kDefaultShowState = 10;

// The tail of `commandLine`: its first byte after the program name and the
// spaces that follow it. A name in double quotes ends at the closing quote;
// otherwise the name is the bytes above 0x20, and a tab or other control
// byte after it starts the tail. Never passes the terminating zero (an
// unclosed quote gives the empty tail). nullptr gives "".
const char* SkipProgramName(const char* commandLine);

// Start-up, main(instance, 0, tail, showState), shutdown, then ExitProcess
// with main's result (255 when start-up fails). A null `main` counts as a
// main routine that returns 0 at once.
[[noreturn]] void StartProcess(MainRoutine main);

}  // namespace tavrin
