// OLEAUT32 counted strings for the Linux platform: the same layout as Win32
// (32-bit byte count, the bytes, then a zero WCHAR), with a live count,
// double-free detection and failure injection for tests.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/linux/hooks.h"
#include "platform/linux/process_hooks.h"
#include "platform/win32.h"

namespace {
// Count word, bytes, and the two zero bytes of the terminating WCHAR.
constexpr std::size_t kCountBytes = sizeof(std::uint32_t);
constexpr std::size_t kTerminatorBytes = sizeof(WCHAR);
// Win32 refuses lengths whose allocation size would not fit in 31 bits.
constexpr UINT kMaxByteLength = 0x7FFFFFFFu - kCountBytes - kTerminatorBytes;

// A lock for the short critical sections below: one atomic exchange to take
// it, one store to give it back; a waiter yields its time slice.
class SpinLock {
 public:
  void lock() {
    while (locked_.exchange(true, std::memory_order_acquire)) {
      while (locked_.load(std::memory_order_relaxed)) std::this_thread::yield();
    }
  }
  void unlock() { locked_.store(false, std::memory_order_release); }

 private:
  std::atomic<bool> locked_{false};
};

// The addresses of the strings alive now, so that a second free is caught
// instead of corrupting the heap. An open-addressing hash set (linear
// probing; removal shifts later entries back, so there are no tombstones)
// whose slot array only grows: once it has grown to the most strings alive
// at a time, adding and removing strings allocates nothing.
class LiveStrings {
 public:
  // Adds `address` (not null, not present).
  void Insert(const void* address) {
    if (2 * (count_ + 1) > slots_.size()) Grow();
    Place(Key(address));
    ++count_;
  }

  // Removes `address`; false when it is not present.
  bool Erase(const void* address) {
    const std::uintptr_t key = Key(address);
    if (slots_.empty()) return false;
    std::size_t hole = Home(key);
    while (slots_[hole] != key) {
      if (slots_[hole] == kEmpty) return false;
      hole = Next(hole);
    }
    slots_[hole] = kEmpty;
    --count_;
    // Entries after the hole that could not sit at their home slot move
    // back into it, so that every probe sequence stays unbroken.
    for (std::size_t i = Next(hole); slots_[i] != kEmpty; i = Next(i)) {
      const std::size_t home = Home(slots_[i]);
      // home lies cyclically in (hole, i]: the entry stays.
      const bool stays = hole < i ? (hole < home && home <= i) : (hole < home || home <= i);
      if (stays) continue;
      slots_[hole] = slots_[i];
      slots_[i] = kEmpty;
      hole = i;
    }
    return true;
  }

 private:
  static constexpr std::uintptr_t kEmpty = 0;
  static constexpr std::size_t kInitialSlots = 64;  // a power of two
  // 2^64 / golden ratio: multiplying by it spreads nearby addresses.
  static constexpr std::uint64_t kFibonacciMultiplier = 0x9E3779B97F4A7C15ull;

  static std::uintptr_t Key(const void* address) {
    return reinterpret_cast<std::uintptr_t>(address);
  }
  std::size_t Home(std::uintptr_t key) const {
    const std::uint64_t mixed = static_cast<std::uint64_t>(key) * kFibonacciMultiplier;
    return static_cast<std::size_t>(mixed >> 32) & (slots_.size() - 1);
  }
  std::size_t Next(std::size_t i) const { return (i + 1) & (slots_.size() - 1); }

  void Place(std::uintptr_t key) {
    std::size_t i = Home(key);
    while (slots_[i] != kEmpty) i = Next(i);
    slots_[i] = key;
  }

  // Doubles the slots (keeping them a power of two) and re-places every entry.
  void Grow() {
    std::vector<std::uintptr_t> old(slots_.empty() ? kInitialSlots : 2 * slots_.size(), kEmpty);
    old.swap(slots_);
    for (std::uintptr_t key : old) {
      if (key != kEmpty) Place(key);
    }
  }

  std::vector<std::uintptr_t> slots_;
  std::size_t count_ = 0;
};

SpinLock g_strings_lock;
LiveStrings g_strings;  // guarded by g_strings_lock
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
    // The live count of texts changes only under this lock.
    std::lock_guard lock(g_strings_lock);
    g_strings.Insert(bytes);
    tavrin::platform::CountLiveLocked(tavrin::platform::Live::Text, +1);
  }
  return reinterpret_cast<BSTR>(bytes);
}

void SysFreeString(BSTR bstrString) {
  // Freeing the null string does nothing.
  if (bstrString == nullptr) return;
  tavrin::platform::TraceCall("SysFreeString");
  {
    std::lock_guard lock(g_strings_lock);
    if (!g_strings.Erase(bstrString)) {
      tavrin::platform::CountDoubleRelease();
      return;
    }
    tavrin::platform::CountLiveLocked(tavrin::platform::Live::Text, -1);
  }
  std::free(reinterpret_cast<char*>(bstrString) - kCountBytes);
}

UINT SysStringByteLen(BSTR bstr) {
  if (bstr == nullptr) return 0;
  std::uint32_t count;
  std::memcpy(&count, reinterpret_cast<char*>(bstr) - kCountBytes, kCountBytes);
  return count;
}
