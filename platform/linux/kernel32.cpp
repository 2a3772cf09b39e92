// KERNEL32 subset of the Linux platform: last error, thread-local slots,
// fixed global memory blocks, start-up values, Sleep and ExitProcess, with
// the test hooks of process_hooks.h.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/linux/hooks.h"
#include "platform/linux/process_hooks.h"
#include "platform/win32.h"

namespace tavrin::platform {
namespace {

// ---- Thread-local slots ----
// Win32's count: 64 slots plus 1024 expansion slots.
constexpr DWORD kTlsSlotCount = 1088;

// Each allocation of a slot gets a new generation number; a thread's stored
// value counts only if it was stored under the slot's current generation, so
// a freshly allocated slot reads 0 in every thread without visiting them.
// Generation 0 means "not allocated".
std::mutex g_tls_mutex;
std::array<std::atomic<std::uint64_t>, kTlsSlotCount> g_tls_generation{};
std::uint64_t g_tls_next_generation = 1;  // guarded by g_tls_mutex

struct ThreadSlotValue {
  std::uint64_t generation = 0;
  void* value = nullptr;
};
thread_local std::array<ThreadSlotValue, kTlsSlotCount> t_tls_values{};

thread_local DWORD t_last_error = ERROR_SUCCESS;

// ---- Global memory ----
std::mutex g_global_mutex;
std::unordered_set<void*> g_global_blocks;  // guarded by g_global_mutex
// Set nodes of freed blocks, kept to enter the next blocks with instead of
// allocating a node for each (the dialog engine takes a block per window
// record); at most kSpareGlobalNodes, guarded by g_global_mutex.
std::vector<std::unordered_set<void*>::node_type> g_spare_global_nodes;
constexpr std::size_t kSpareGlobalNodes = 64;
// Blocks larger than this fail as Win32's do when no memory can be had.
constexpr SIZE_T kMaxGlobalBlock = 0x7FFF0000u;
constexpr UINT kSupportedGlobalFlags = GMEM_FIXED | GMEM_ZEROINIT;

// ---- Start-up values ----
std::mutex g_process_mutex;
bool g_command_line_set = false;  // guarded by g_process_mutex
std::string g_command_line;       // guarded by g_process_mutex
STARTUPINFOA g_startup_info{};    // guarded by g_process_mutex
std::atomic<ExitProcessHook> g_exit_hook{nullptr};

// The program's own module handle: the address of an object of ours, stable
// for the life of the process and never null.
HINSTANCE__ g_module_instance{};

// ---- Call trace ----
std::mutex g_trace_mutex;
std::vector<std::string> g_trace;  // guarded by g_trace_mutex

// Quotes one argument as Windows programs expect to find it on a command
// line: in double quotes when it is empty or holds a space or a tab.
std::string QuoteArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t") == std::string::npos) return arg;
  return '"' + arg + '"';
}

// The process's arguments from /proc/self/cmdline, joined with single
// spaces; empty when it cannot be read.
std::string CommandLineOfThisProcess() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string line;
  std::size_t start = 0;
  while (start < raw.size()) {
    std::size_t end = raw.find('\0', start);
    if (end == std::string::npos) end = raw.size();
    if (!line.empty()) line += ' ';
    line += QuoteArgument(raw.substr(start, end - start));
    start = end + 1;
  }
  return line;
}

bool IsAllocatedSlot(DWORD index) {
  return index < kTlsSlotCount && g_tls_generation[index].load(std::memory_order_acquire) != 0;
}

}  // namespace

void SetCommandLine(std::string_view commandLine) {
  std::lock_guard lock(g_process_mutex);
  g_command_line.assign(commandLine);
  g_command_line_set = true;
}

void ResetCommandLine() {
  std::lock_guard lock(g_process_mutex);
  g_command_line_set = false;
}

void SetStartupInfo(const STARTUPINFOA& info) {
  std::lock_guard lock(g_process_mutex);
  g_startup_info = info;
}

void ResetStartupInfo() {
  std::lock_guard lock(g_process_mutex);
  g_startup_info = STARTUPINFOA{};
}

void SetExitProcessHook(ExitProcessHook hook) {
  g_exit_hook = hook;
}

void StartCallTrace() {
  std::lock_guard lock(g_trace_mutex);
  g_trace.clear();
  g_call_tracing = true;
}

std::vector<std::string> StopCallTrace() {
  std::lock_guard lock(g_trace_mutex);
  g_call_tracing = false;
  return std::exchange(g_trace, {});
}

void RecordCall(const char* name) {
  std::lock_guard lock(g_trace_mutex);
  if (g_call_tracing) g_trace.emplace_back(name);
}

}  // namespace tavrin::platform

using tavrin::platform::CountLive;
using tavrin::platform::Fail;
using tavrin::platform::Live;
using tavrin::platform::TraceCall;
namespace p = tavrin::platform;

DWORD GetLastError() {
  return p::t_last_error;
}

void SetLastError(DWORD dwErrCode) {
  p::t_last_error = dwErrCode;
}

DWORD TlsAlloc() {
  TraceCall("TlsAlloc");
  if (p::ConsumeFailure(Fail::TlsAlloc)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return TLS_OUT_OF_INDEXES;
  }
  std::lock_guard lock(p::g_tls_mutex);
  for (DWORD i = 0; i < p::kTlsSlotCount; ++i) {
    if (p::g_tls_generation[i].load(std::memory_order_relaxed) == 0) {
      p::g_tls_generation[i].store(p::g_tls_next_generation++, std::memory_order_release);
      CountLive(Live::TlsSlot, +1);
      return i;
    }
  }
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return TLS_OUT_OF_INDEXES;
}

LPVOID TlsGetValue(DWORD dwTlsIndex) {
  if (dwTlsIndex >= p::kTlsSlotCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const std::uint64_t generation = p::g_tls_generation[dwTlsIndex].load(std::memory_order_acquire);
  SetLastError(ERROR_SUCCESS);
  const p::ThreadSlotValue& slot = p::t_tls_values[dwTlsIndex];
  return generation != 0 && slot.generation == generation ? slot.value : nullptr;
}

BOOL TlsSetValue(DWORD dwTlsIndex, LPVOID lpTlsValue) {
  TraceCall("TlsSetValue");
  if (!p::IsAllocatedSlot(dwTlsIndex)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  p::t_tls_values[dwTlsIndex] = {p::g_tls_generation[dwTlsIndex].load(std::memory_order_acquire),
                                 lpTlsValue};
  return TRUE;
}

BOOL TlsFree(DWORD dwTlsIndex) {
  TraceCall("TlsFree");
  std::lock_guard lock(p::g_tls_mutex);
  if (!p::IsAllocatedSlot(dwTlsIndex)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  p::g_tls_generation[dwTlsIndex].store(0, std::memory_order_release);
  CountLive(Live::TlsSlot, -1);
  return TRUE;
}

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
  TraceCall("GlobalAlloc");
  if ((uFlags & ~p::kSupportedGlobalFlags) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (p::ConsumeFailure(Fail::GlobalAlloc) || dwBytes > p::kMaxGlobalBlock) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  // A zero-byte block is still a distinct live block, as on Win32.
  void* block = (uFlags & GMEM_ZEROINIT) != 0 ? std::calloc(std::max<SIZE_T>(dwBytes, 1), 1)
                                              : std::malloc(std::max<SIZE_T>(dwBytes, 1));
  if (block == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  {
    std::lock_guard lock(p::g_global_mutex);
    auto& spare = p::g_spare_global_nodes;
    if (spare.empty()) {
      p::g_global_blocks.insert(block);
    } else {
      auto node = std::move(spare.back());
      spare.pop_back();
      node.value() = block;
      p::g_global_blocks.insert(std::move(node));
    }
  }
  CountLive(Live::GlobalBlock, +1);
  return block;
}

HGLOBAL GlobalFree(HGLOBAL hMem) {
  TraceCall("GlobalFree");
  if (hMem == nullptr) return nullptr;
  {
    std::lock_guard lock(p::g_global_mutex);
    auto node = p::g_global_blocks.extract(hMem);
    if (node.empty()) {
      // Not a live block: freed twice or never ours. Refuse, as Win32 does
      // for an invalid handle, and let the tests see it.
      p::CountDoubleRelease();
      SetLastError(ERROR_INVALID_PARAMETER);
      return hMem;
    }
    auto& spare = p::g_spare_global_nodes;
    if (spare.size() < p::kSpareGlobalNodes) {
      if (spare.capacity() == 0) spare.reserve(p::kSpareGlobalNodes);
      spare.push_back(std::move(node));
    }
  }
  std::free(hMem);
  CountLive(Live::GlobalBlock, -1);
  return nullptr;
}

void GetStartupInfoA(LPSTARTUPINFOA lpStartupInfo) {
  TraceCall("GetStartupInfoA");
  if (lpStartupInfo == nullptr) return;
  std::lock_guard lock(p::g_process_mutex);
  *lpStartupInfo = p::g_startup_info;
  lpStartupInfo->cb = sizeof(STARTUPINFOA);
}

LPSTR GetCommandLineA() {
  TraceCall("GetCommandLineA");
  std::lock_guard lock(p::g_process_mutex);
  if (!p::g_command_line_set) {
    p::g_command_line = p::CommandLineOfThisProcess();
    p::g_command_line_set = true;
  }
  return p::g_command_line.data();
}

HMODULE GetModuleHandleA(LPCSTR lpModuleName) {
  TraceCall("GetModuleHandleA");
  if (lpModuleName != nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return &p::g_module_instance;
}

DWORD GetCurrentThreadId() {
  static std::atomic<DWORD> next_id{1};
  thread_local const DWORD id = next_id.fetch_add(1);
  return id;
}

DWORD GetCurrentProcessId() {
  return static_cast<DWORD>(getpid());
}

void Sleep(DWORD dwMilliseconds) {
  if (dwMilliseconds == 0) {
    std::this_thread::yield();
    return;
  }
  if (dwMilliseconds == INFINITE) {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

void ExitProcess(UINT uExitCode) {
  TraceCall("ExitProcess");
  std::fflush(nullptr);
  if (p::ExitProcessHook hook = p::g_exit_hook.load()) hook(uExitCode);
  std::exit(static_cast<int>(uExitCode));
}
