// The KERNEL32 and OLE32 calls the run-time frame relies on. The same tests
// run against the Linux platform and, in the Windows build, against Wine, so
// the two are held to one behaviour.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <limits>
#include <thread>

#include "platform/win32.h"

namespace {

TEST(ThreadLocalSlot, ValuesArePerThreadAndNewSlotsReadNull) {
  const DWORD slot = TlsAlloc();
  ASSERT_NE(slot, TLS_OUT_OF_INDEXES);
  SetLastError(1234);
  EXPECT_EQ(TlsGetValue(slot), nullptr);
  EXPECT_EQ(GetLastError(), 0u) << "success clears the last error";

  int mine = 0;
  ASSERT_TRUE(TlsSetValue(slot, &mine));
  void* seenByOther = &mine;
  int theirs = 0;
  void* otherAfterSet = nullptr;
  std::thread other([&] {
    seenByOther = TlsGetValue(slot);
    TlsSetValue(slot, &theirs);
    otherAfterSet = TlsGetValue(slot);
  });
  other.join();
  EXPECT_EQ(seenByOther, nullptr) << "another thread starts with null";
  EXPECT_EQ(otherAfterSet, &theirs);
  EXPECT_EQ(TlsGetValue(slot), &mine) << "the other thread's value is its own";
  ASSERT_TRUE(TlsFree(slot));
}

TEST(ThreadLocalSlot, ReallocatedSlotStartsNullAgain) {
  const DWORD slot = TlsAlloc();
  ASSERT_NE(slot, TLS_OUT_OF_INDEXES);
  int value = 0;
  TlsSetValue(slot, &value);
  TlsFree(slot);
  const DWORD again = TlsAlloc();
  ASSERT_NE(again, TLS_OUT_OF_INDEXES);
  EXPECT_EQ(TlsGetValue(again), nullptr);
  TlsFree(again);
}

class ZeroFilledBlock : public testing::TestWithParam<SIZE_T> {};

TEST_P(ZeroFilledBlock, GptrGivesZeroedWritableBlockAndFreeReturnsNull) {
  const SIZE_T size = GetParam();
  auto* block = static_cast<unsigned char*>(GlobalAlloc(GPTR, size));
  ASSERT_NE(block, nullptr);
  for (SIZE_T i = 0; i < size; ++i) ASSERT_EQ(block[i], 0) << "byte " << i;
  std::memset(block, 0xA5, size);
  EXPECT_EQ(GlobalFree(block), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ZeroFilledBlock, testing::Values(1, 36, 4096, 1 << 20));

TEST(GlobalMemory, ZeroSizeBlockAndNullFree) {
  HGLOBAL empty = GlobalAlloc(GMEM_FIXED, 0);
  EXPECT_NE(empty, nullptr);
  EXPECT_EQ(GlobalFree(empty), nullptr);
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

// The largest sizes of the address space, whatever its width: no heap holds
// one (on 32-bit Windows this is 0xFFFFFFF0).
TEST(GlobalMemory, ImpossibleSizeFailsWithNull) {
  SetLastError(0);
  constexpr SIZE_T kImpossible = std::numeric_limits<SIZE_T>::max() - 15;
  EXPECT_EQ(GlobalAlloc(GPTR, kImpossible), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
}

TEST(Com, NestedInitialisationIsCountedPerThread) {
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  HRESULT otherThread = -1;
  std::thread other([&] {
    otherThread = CoInitialize(nullptr);
    CoUninitialize();
  });
  other.join();
  EXPECT_EQ(otherThread, S_OK) << "each thread has its own count";
  CoUninitialize();
  CoUninitialize();
  EXPECT_EQ(CoInitialize(nullptr), S_OK) << "fully undone, so the next is a first call";
  CoUninitialize();
}

TEST(StartupValues, ModuleHandleIsStableAndNotNull) {
  HMODULE first = GetModuleHandleA(nullptr);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(GetModuleHandleA(nullptr), first);
}

TEST(StartupValues, CommandLineAndStartupInfoAreFilledIn) {
  const char* line = GetCommandLineA();
  ASSERT_NE(line, nullptr);
  EXPECT_GT(std::strlen(line), 0u);

  STARTUPINFOA info;
  std::memset(&info, 0xCC, sizeof(info));
  info.cb = sizeof(info);
  info.dwFlags = 0;
  GetStartupInfoA(&info);
  EXPECT_EQ(info.cb, sizeof(info));
  if ((info.dwFlags & STARTF_USESHOWWINDOW) == 0) {
    SUCCEED() << "started without a show command";
  } else {
    EXPECT_LE(info.wShowWindow, 11u) << "a ShowWindow command";
  }
}

TEST(SleepCall, WaitsAtLeastRoughlyTheTimeAsked) {
  const auto before = std::chrono::steady_clock::now();
  Sleep(30);
  const auto waited = std::chrono::steady_clock::now() - before;
  EXPECT_GE(waited, std::chrono::milliseconds(20));
}

}  // namespace
