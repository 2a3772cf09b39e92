// OLEAUT32 counted strings for the Linux platform: the same layout as Win32
// (32-bit byte count, the bytes, then a zero WCHAR), with a live count,
// double-free detection and failure injection for tests.
//
// Texts come from a pool of blocks in power-of-two size classes. Each block
// starts with a state word (live or free) before the byte count; a freed
// block goes back to the pool, never to the heap, so a second free of it
// reads a valid state word and is counted instead of touching freed memory.
// Each thread keeps its own free lists and its own live count, so making and
// freeing a text takes no lock and no atomic read-modify-write; a thread's
// surplus blocks, and all of them when it ends, go to a shared pool.
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <version>

#include "live_texts.h"
#include "platform/linux/hooks.h"
#include "platform/linux/process_hooks.h"
#include "platform/short_bytes.h"
#include "platform/win32.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define TAVRIN_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define TAVRIN_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define TAVRIN_POISON(address, size) ((void)(address), (void)(size))
#define TAVRIN_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace {
// A block: state word, count word, bytes, the two zero bytes of the WCHAR.
constexpr std::size_t kStateBytes = sizeof(std::uint32_t);
constexpr std::size_t kCountBytes = sizeof(std::uint32_t);
constexpr std::size_t kHeaderBytes = kStateBytes + kCountBytes;
constexpr std::size_t kTerminatorBytes = sizeof(WCHAR);
// Win32 refuses lengths whose allocation size would not fit in 31 bits.
constexpr UINT kMaxByteLength = 0x7FFFFFFFu - kCountBytes - kTerminatorBytes;

// State words: unlikely values, so that a stray pointer rarely passes.
constexpr std::uint32_t kLiveState = 0x4C495645u;
constexpr std::uint32_t kFreeState = 0x46524545u;

// Class c holds blocks of kSmallestBlock << c bytes; the largest class holds
// the header, kMaxByteLength bytes and the terminator.
constexpr unsigned kSmallestBlockBits = 4;  // 16 bytes: header and a free-list link
constexpr int kClassCount =
    std::bit_width(std::uint64_t{kHeaderBytes} + kMaxByteLength + kTerminatorBytes - 1) -
    static_cast<int>(kSmallestBlockBits) + 1;
// Blocks of this class and above are mapped pages; a freed one gives its
// pages back to the system except the first, which holds the state word.
constexpr int kFirstMappedClass = 20 - static_cast<int>(kSmallestBlockBits);  // 1 MiB
// Free blocks a thread keeps per class before it hands them to the shared
// pool, and how many it takes from the shared pool at once.
constexpr std::uint32_t kThreadKeeps = 256;
constexpr std::uint32_t kThreadTakes = 64;

int ClassOf(std::size_t blockBytes) {
  const int bits = static_cast<int>(std::bit_width(blockBytes - 1));
  return bits <= static_cast<int>(kSmallestBlockBits) ? 0
                                                      : bits - static_cast<int>(kSmallestBlockBits);
}
std::uint64_t ClassBytes(int c) {
  return std::uint64_t{1} << (kSmallestBlockBits + static_cast<unsigned>(c));
}

// A free block's link to the next free block sits just after its header;
// under the address sanitizer the rest of a free block is poisoned.
constexpr std::size_t kLinkEnd = kHeaderBytes + sizeof(char*);
char*& NextFree(char* block) {
  return *reinterpret_cast<char**>(block + kHeaderBytes);
}

// The state word is read and written as a relaxed atomic. C++ libraries
// without std::atomic_ref get the compiler's atomic builtins instead.
void SetState(char* block, std::uint32_t state) {
#if defined(__cpp_lib_atomic_ref)
  std::atomic_ref<std::uint32_t>(*reinterpret_cast<std::uint32_t*>(block))
      .store(state, std::memory_order_relaxed);
#else
  __atomic_store_n(reinterpret_cast<std::uint32_t*>(block), state, __ATOMIC_RELAXED);
#endif
}
std::uint32_t State(char* block) {
#if defined(__cpp_lib_atomic_ref)
  return std::atomic_ref<std::uint32_t>(*reinterpret_cast<std::uint32_t*>(block))
      .load(std::memory_order_relaxed);
#else
  return __atomic_load_n(reinterpret_cast<std::uint32_t*>(block), __ATOMIC_RELAXED);
#endif
}

// A free list with its length; blocks are pushed and popped at the head.
struct FreeList {
  char* head = nullptr;
  char* tail = nullptr;
  std::uint32_t length = 0;

  void Push(char* block) {
    NextFree(block) = head;
    if (head == nullptr) tail = block;
    head = block;
    ++length;
  }
  char* Pop() {
    char* block = head;
    head = NextFree(block);
    if (head == nullptr) tail = nullptr;
    --length;
    return block;
  }
};

// The shared pool: the free blocks no thread keeps, and the live count of
// texts made or freed by threads that have ended.
struct SharedPool {
  std::mutex mutex;
  std::array<FreeList, kClassCount> lists;                        // guarded by mutex
  std::array<std::atomic<std::uint32_t>, kClassCount> lengths{};  // copies, read unlocked
  std::atomic<std::int64_t> retiredLive{0};
};
constinit SharedPool g_pool;

// One thread's free lists and live count. Its live count is changed only by
// its own thread (a plain load and store) and read by any thread.
struct ThreadTexts {
  std::array<FreeList, kFirstMappedClass> lists{};
  std::atomic<std::int64_t> live{0};
  bool registered = false;
  bool ended = false;  // past the thread's end: every call takes the shared path
  ThreadTexts* previous = nullptr;
  ThreadTexts* next = nullptr;
};

// The threads that hold texts, for the live count; guarded by g_registry_mutex.
constinit std::mutex g_registry_mutex;
constinit ThreadTexts* g_registry = nullptr;

constinit thread_local ThreadTexts t_texts;

void GiveToPool(int c, FreeList& list) {
  if (list.head == nullptr) return;
  std::lock_guard lock(g_pool.mutex);
  FreeList& shared = g_pool.lists[c];
  NextFree(list.tail) = shared.head;
  if (shared.head == nullptr) shared.tail = list.tail;
  shared.head = list.head;
  shared.length += list.length;
  g_pool.lengths[c].store(shared.length, std::memory_order_relaxed);
  list = FreeList{};
}

// Moves up to `most` blocks of class c from the shared pool to `list`.
void TakeFromPool(int c, FreeList& list, std::uint32_t most) {
  if (g_pool.lengths[c].load(std::memory_order_relaxed) == 0) return;
  std::lock_guard lock(g_pool.mutex);
  FreeList& shared = g_pool.lists[c];
  for (std::uint32_t i = 0; i < most && shared.head != nullptr; ++i) {
    list.Push(shared.Pop());
  }
  g_pool.lengths[c].store(shared.length, std::memory_order_relaxed);
}

// At a thread's end: its free blocks go to the shared pool, its live count to
// the retired count, and it leaves the registry.
struct ThreadEnd {
  bool armed = false;
  ~ThreadEnd() {
    ThreadTexts& t = t_texts;
    for (int c = 0; c < kFirstMappedClass; ++c) GiveToPool(c, t.lists[c]);
    std::lock_guard lock(g_registry_mutex);
    g_pool.retiredLive.fetch_add(t.live.load(std::memory_order_relaxed));
    t.live.store(0, std::memory_order_relaxed);
    (t.previous != nullptr ? t.previous->next : g_registry) = t.next;
    if (t.next != nullptr) t.next->previous = t.previous;
    t.ended = true;
  }
};
thread_local ThreadEnd t_end;

// The calling thread's texts, registered on first use; null once it has ended.
ThreadTexts* ThisThread() {
  ThreadTexts& t = t_texts;
  if (t.registered) [[likely]]
    return t.ended ? nullptr : &t;
  t.registered = true;
  t_end.armed = true;  // constructs t_end, so its destructor runs at the thread's end
  std::lock_guard lock(g_registry_mutex);
  t.next = g_registry;
  if (g_registry != nullptr) g_registry->previous = &t;
  g_registry = &t;
  return &t;
}

void CountText(ThreadTexts* t, int delta) {
  if (t == nullptr) {
    g_pool.retiredLive.fetch_add(delta, std::memory_order_relaxed);
    return;
  }
  t->live.store(t->live.load(std::memory_order_relaxed) + delta, std::memory_order_relaxed);
}

// A new block of class c from the system, or null.
char* NewBlock(int c) {
  const std::uint64_t bytes = ClassBytes(c);
  if (bytes > SIZE_MAX) return nullptr;
  if (c < kFirstMappedClass)
    return static_cast<char*>(std::malloc(static_cast<std::size_t>(bytes)));
  void* pages = mmap(nullptr, static_cast<std::size_t>(bytes), PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return pages == MAP_FAILED ? nullptr : static_cast<char*>(pages);
}

// A free block of class c, from the thread's list, the shared pool or the system.
char* TakeBlock(ThreadTexts* t, int c) {
  if (t != nullptr && c < kFirstMappedClass) {
    FreeList& list = t->lists[c];
    if (list.head == nullptr) [[unlikely]]
      TakeFromPool(c, list, kThreadTakes);
    if (list.head != nullptr) [[likely]] {
      char* block = list.Pop();
      TAVRIN_UNPOISON(block + kLinkEnd, ClassBytes(c) - kLinkEnd);
      return block;
    }
    return NewBlock(c);
  }
  FreeList one;
  TakeFromPool(c, one, 1);
  if (one.head == nullptr) return NewBlock(c);
  char* block = one.Pop();
  TAVRIN_UNPOISON(block + kLinkEnd, ClassBytes(c) - kLinkEnd);
  return block;
}

// Puts a freed block of class c back in the pool.
void ReturnBlock(ThreadTexts* t, int c, char* block) {
  const std::uint64_t bytes = ClassBytes(c);
  if (c >= kFirstMappedClass) {
    // Keeps the first page (state word and link), gives back the rest.
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    madvise(block + page, static_cast<std::size_t>(bytes) - page, MADV_DONTNEED);
  }
  if (t == nullptr || c >= kFirstMappedClass) {
    FreeList one;
    one.Push(block);
    TAVRIN_POISON(block + kLinkEnd, bytes - kLinkEnd);
    GiveToPool(c, one);
    return;
  }
  FreeList& list = t->lists[c];
  if (list.length >= kThreadKeeps) [[unlikely]]
    GiveToPool(c, list);
  list.Push(block);
  TAVRIN_POISON(block + kLinkEnd, bytes - kLinkEnd);
}
}  // namespace

namespace tavrin::platform {
std::int64_t LiveTexts() {
  std::lock_guard lock(g_registry_mutex);
  std::int64_t live = g_pool.retiredLive.load(std::memory_order_relaxed);
  for (const ThreadTexts* t = g_registry; t != nullptr; t = t->next) {
    live += t->live.load(std::memory_order_relaxed);
  }
  return live;
}
}  // namespace tavrin::platform

BSTR SysAllocStringByteLen(LPCSTR psz, UINT len) {
  if (tavrin::platform::ConsumeFailure(tavrin::platform::Fail::SysAllocStringByteLen)) {
    return nullptr;
  }
  if (len > kMaxByteLength) return nullptr;
  ThreadTexts* t = ThisThread();
  const int c = ClassOf(kHeaderBytes + len + kTerminatorBytes);
  char* block = TakeBlock(t, c);
  if (block == nullptr) return nullptr;
  SetState(block, kLiveState);
  std::uint32_t count = len;
  std::memcpy(block + kStateBytes, &count, kCountBytes);
  char* bytes = block + kHeaderBytes;
  if (psz != nullptr) {
    tavrin::platform::CopyShort(bytes, psz, len);
  } else {
    std::memset(bytes, 0, len);
  }
  std::memset(bytes + len, 0, kTerminatorBytes);
  CountText(t, +1);
  return reinterpret_cast<BSTR>(bytes);
}

void SysFreeString(BSTR bstrString) {
  // Freeing the null string does nothing.
  if (bstrString == nullptr) return;
  tavrin::platform::TraceCall("SysFreeString");
  char* block = reinterpret_cast<char*>(bstrString) - kHeaderBytes;
  if (State(block) != kLiveState) {
    tavrin::platform::CountDoubleRelease();
    return;
  }
  SetState(block, kFreeState);
  std::uint32_t count;
  std::memcpy(&count, block + kStateBytes, kCountBytes);
  ThreadTexts* t = ThisThread();
  CountText(t, -1);
  ReturnBlock(t, ClassOf(kHeaderBytes + count + kTerminatorBytes), block);
}

UINT SysStringByteLen(BSTR bstr) {
  if (bstr == nullptr) return 0;
  std::uint32_t count;
  std::memcpy(&count, reinterpret_cast<char*>(bstr) - kCountBytes, kCountBytes);
  return count;
}
