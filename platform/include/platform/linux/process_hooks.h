// Test hooks of the Linux platform's process calls: the command line and
// start-up information the process reports, a way to catch ExitProcess, a
// trace of the start-up and shutdown calls, and the COM nesting of a thread.
// Linux only; failure injection and live counts are in hooks.h.
#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/win32_kernel.h"

namespace tavrin::platform {

// Makes GetCommandLineA return `commandLine` (embedded zero bytes end it, as
// in any C string). Pointers returned earlier become invalid.
void SetCommandLine(std::string_view commandLine);
// Back to the command line built from the process's own arguments.
void ResetCommandLine();

// Makes GetStartupInfoA report `info` (its cb field is ignored).
void SetStartupInfo(const STARTUPINFOA& info);
// Back to the default: every field zero (no STARTF_ flags).
void ResetStartupInfo();

// Called by ExitProcess, after the C streams are flushed, instead of ending
// the process. A hook that returns lets the process end as usual; a test
// hook throws to unwind back into the test. nullptr removes the hook.
using ExitProcessHook = void (*)(UINT exitCode);
void SetExitProcessHook(ExitProcessHook hook);

// Records the names of the process calls (CoInitialize, GetStartupInfoA,
// GetCommandLineA, GetModuleHandleA, TlsAlloc, TlsSetValue, TlsFree,
// GlobalAlloc, GlobalFree, SysFreeString of a text, CoUninitialize,
// ExitProcess) made by any thread from now on, in order.
void StartCallTrace();
// Stops recording and returns what was recorded.
std::vector<std::string> StopCallTrace();
// Set while a trace is being recorded, so that TraceCall costs one load and
// no call otherwise (the platform traces every text it frees).
inline std::atomic<bool> g_call_tracing{false};
// Adds `name` to the trace (when one is still being recorded).
void RecordCall(const char* name);
// Adds `name` to the trace when one is being recorded; used by the platform.
inline void TraceCall(const char* name) {
  if (g_call_tracing.load(std::memory_order_relaxed)) RecordCall(name);
}

// Number of CoInitialize calls of the calling thread not yet undone.
int ComInitDepth();

}  // namespace tavrin::platform
