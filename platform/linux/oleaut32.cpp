// OLEAUT32 counted strings for the Linux platform: the same layout as Win32
// (32-bit byte count, the bytes, then a zero WCHAR), with a live count,
// double-free detection and failure injection for tests.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "platform/linux/hooks.h"
#include "platform/linux/process_hooks.h"
#include "platform/win32.h"

namespace {
// Count word, bytes, and the two zero bytes of the terminating WCHAR.
constexpr std::size_t kCountBytes = sizeof(std::uint32_t);
constexpr std::size_t kTerminatorBytes = sizeof(WCHAR);
// Win32 refuses lengths whose allocation size would not fit in 31 bits.
constexpr UINT kMaxByteLength = 0x7FFFFFFFu - kCountBytes - kTerminatorBytes;

// Addresses of the strings alive now, so that a second free is caught
// instead of corrupting the heap.
std::mutex g_strings_mutex;
std::unordered_set<const void*> g_strings;  // guarded by g_strings_mutex
}  // namespace

BSTR SysAllocStringByteLen(LPCSTR psz, UINT len) {
  if (tavrin::platform::ConsumeFailure(tavrin::platform::Fail::SysAllocStringByteLen)) {
    return nullptr;
  }
  if (len > kMaxByteLength) return nullptr;
  auto* block = static_cast<char*>(std::malloc(kCountBytes + len + kTerminatorBytes));
  if (block == nullptr) return nullptr;
  std::uint32_t count = len;
  std::memcpy(block, &count, kCountBytes);
  char* bytes = block + kCountBytes;
  if (psz != nullptr) {
    std::memcpy(bytes, psz, len);
  } else {
    std::memset(bytes, 0, len);
  }
  std::memset(bytes + len, 0, kTerminatorBytes);
  {
    std::lock_guard lock(g_strings_mutex);
    g_strings.insert(bytes);
  }
  tavrin::platform::CountLive(tavrin::platform::Live::Text, +1);
  return reinterpret_cast<BSTR>(bytes);
}

void SysFreeString(BSTR bstrString) {
  // Freeing the null string does nothing.
  if (bstrString == nullptr) return;
  tavrin::platform::TraceCall("SysFreeString");
  {
    std::lock_guard lock(g_strings_mutex);
    if (g_strings.erase(bstrString) == 0) {
      tavrin::platform::CountDoubleRelease();
      return;
    }
  }
  tavrin::platform::CountLive(tavrin::platform::Live::Text, -1);
  std::free(reinterpret_cast<char*>(bstrString) - kCountBytes);
}

UINT SysStringByteLen(BSTR bstr) {
  if (bstr == nullptr) return 0;
  std::uint32_t count;
  std::memcpy(&count, reinterpret_cast<char*>(bstr) - kCountBytes, kCountBytes);
  return count;
}
