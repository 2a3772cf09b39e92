// The Linux platform's process calls under test control: the command line
// and start-up information a test sets, refused bad releases, slot
// exhaustion, and the call trace.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/linux/hooks.h"
#include "platform/linux/process_hooks.h"
#include "platform/win32.h"

namespace {

namespace p = tavrin::platform;

TEST(CommandLineHook, SetLineIsReportedAndResetGoesBackToTheProcessArguments) {
  p::SetCommandLine("\"C:\\calc.exe\" -x");
  EXPECT_STREQ(GetCommandLineA(), "\"C:\\calc.exe\" -x");
  p::SetCommandLine(std::string("a\0b", 3));
  EXPECT_STREQ(GetCommandLineA(), "a") << "an embedded zero ends the line";
  p::ResetCommandLine();
  EXPECT_NE(std::strstr(GetCommandLineA(), "runtime_hooks_test"), nullptr) << GetCommandLineA();
}

TEST(StartupInfoHook, FlagsAndShowWindowAreReportedAndSizeIsFilledIn) {
  STARTUPINFOA set{};
  set.cb = 12345;
  set.dwFlags = STARTF_USESHOWWINDOW;
  set.wShowWindow = 3;
  p::SetStartupInfo(set);
  STARTUPINFOA got{};
  GetStartupInfoA(&got);
  EXPECT_EQ(got.cb, sizeof(STARTUPINFOA));
  EXPECT_EQ(got.dwFlags, static_cast<DWORD>(STARTF_USESHOWWINDOW));
  EXPECT_EQ(got.wShowWindow, 3);
  p::ResetStartupInfo();
  GetStartupInfoA(&got);
  EXPECT_EQ(got.dwFlags, 0u);
  EXPECT_EQ(got.wShowWindow, 0);
}

struct BadRelease {
  const char* name;
  bool (*run)();  // performs a bad release; true when the call reported failure
};

const BadRelease kBadReleases[] = {
    {"GlobalFreeTwice",
     [] {
       HGLOBAL block = GlobalAlloc(GPTR, 8);
       GlobalFree(block);
       return GlobalFree(block) == block;
     }},
    {"GlobalFreeOfForeignMemory",
     [] {
       static int notABlock = 0;
       return GlobalFree(&notABlock) == &notABlock;
     }},
    {"SysFreeStringTwice",
     [] {
       BSTR text = SysAllocStringByteLen("abc", 3);
       SysFreeString(text);
       SysFreeString(text);
       return true;  // SysFreeString has no result; the count tells
     }},
};

class RefusedRelease : public testing::TestWithParam<BadRelease> {};

TEST_P(RefusedRelease, IsReportedAndCountedWithoutTouchingLiveCounts) {
  const std::int64_t doubles = p::DoubleReleases();
  const std::int64_t blocks = p::LiveCount(p::Live::GlobalBlock);
  const std::int64_t texts = p::LiveCount(p::Live::Text);
  EXPECT_TRUE(GetParam().run());
  EXPECT_EQ(p::DoubleReleases(), doubles + 1);
  EXPECT_EQ(p::LiveCount(p::Live::GlobalBlock), blocks);
  EXPECT_EQ(p::LiveCount(p::Live::Text), texts);
}

INSTANTIATE_TEST_SUITE_P(Releases, RefusedRelease, testing::ValuesIn(kBadReleases),
                         [](const testing::TestParamInfo<BadRelease>& param_info) {
                           return std::string(param_info.param.name);
                         });

TEST(ThreadLocalSlotLimits, FreedAndUnknownSlotsAreRefused) {
  const DWORD slot = TlsAlloc();
  ASSERT_NE(slot, TLS_OUT_OF_INDEXES);
  ASSERT_TRUE(TlsFree(slot));
  EXPECT_FALSE(TlsFree(slot)) << "freed twice";
  int value = 0;
  EXPECT_FALSE(TlsSetValue(slot, &value)) << "a freed slot takes no value";
  EXPECT_EQ(TlsGetValue(slot), nullptr);
  SetLastError(0);
  EXPECT_EQ(TlsGetValue(5000), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(TlsSetValue(TLS_OUT_OF_INDEXES, nullptr));
}

TEST(ThreadLocalSlotLimits, SlotsRunOutAtTheWin32CountAndComeBack) {
  const std::int64_t liveBefore = p::LiveCount(p::Live::TlsSlot);
  std::vector<DWORD> slots;
  for (DWORD slot; (slot = TlsAlloc()) != TLS_OUT_OF_INDEXES;) slots.push_back(slot);
  EXPECT_EQ(static_cast<std::int64_t>(slots.size()) + liveBefore, 1088);
  EXPECT_EQ(p::LiveCount(p::Live::TlsSlot), 1088);
  for (DWORD slot : slots) EXPECT_TRUE(TlsFree(slot));
  EXPECT_EQ(p::LiveCount(p::Live::TlsSlot), liveBefore);
}

TEST(FailureInjection, TlsAllocAndGlobalAllocFailOnDemand) {
  const std::int64_t slots = p::LiveCount(p::Live::TlsSlot);
  const std::int64_t blocks = p::LiveCount(p::Live::GlobalBlock);
  p::FailNext(p::Fail::TlsAlloc);
  EXPECT_EQ(TlsAlloc(), TLS_OUT_OF_INDEXES);
  p::FailNext(p::Fail::GlobalAlloc, 1, 1);
  HGLOBAL first = GlobalAlloc(GPTR, 4);
  EXPECT_NE(first, nullptr) << "one call skipped";
  EXPECT_EQ(GlobalAlloc(GPTR, 4), nullptr);
  EXPECT_EQ(p::LiveCount(p::Live::TlsSlot), slots);
  EXPECT_EQ(p::LiveCount(p::Live::GlobalBlock), blocks + 1);
  GlobalFree(first);
}

TEST(GlobalMemoryLimits, MoveableBlocksAreNotSupported) {
  SetLastError(0);
  EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, 16), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(ModuleHandle, OtherModulesAreNotFound) {
  SetLastError(0);
  EXPECT_EQ(GetModuleHandleA("kernel32.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(ComDepth, CountsTheCallingThreadsNesting) {
  const int before = p::ComInitDepth();
  CoInitialize(nullptr);
  CoInitialize(nullptr);
  EXPECT_EQ(p::ComInitDepth(), before + 2);
  CoUninitialize();
  CoUninitialize();
  CoUninitialize();  // one too many: ignored
  EXPECT_EQ(p::ComInitDepth(), 0);
}

TEST(CallTrace, RecordsTracedCallsInOrderOnlyWhileOn) {
  CoInitialize(nullptr);  // before the trace: not recorded
  p::StartCallTrace();
  const DWORD slot = TlsAlloc();
  HGLOBAL block = GlobalAlloc(GPTR, 4);
  TlsSetValue(slot, block);
  TlsGetValue(slot);  // not a traced call
  GlobalFree(block);
  TlsFree(slot);
  CoUninitialize();
  const std::vector<std::string> trace = p::StopCallTrace();
  CoInitialize(nullptr);  // after the trace: not recorded
  CoUninitialize();
  EXPECT_EQ(trace, (std::vector<std::string>{"TlsAlloc", "GlobalAlloc", "TlsSetValue", "GlobalFree",
                                             "TlsFree", "CoUninitialize"}));
  EXPECT_TRUE(p::StopCallTrace().empty());
}

}  // namespace
