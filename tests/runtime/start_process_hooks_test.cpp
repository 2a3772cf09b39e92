// StartProcess in this process: ExitProcess is caught by a hook that throws,
// so the tests can check the order of the start-up and shutdown calls, what
// the main routine receives, and that everything is released afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/hooks.h"
#include "platform/linux/process_hooks.h"
#include "runtime/errors.h"
#include "runtime/fp_control.h"
#include "runtime/runtime_state.h"
#include "runtime/start_process.h"
#include "runtime/text_value.h"
#include "runtime/thread_record.h"

namespace tavrin {
namespace {

namespace p = platform;

// Thrown by the ExitProcess hook to unwind out of StartProcess.
struct ProcessExited {
  UINT code;
};
void ThrowOnExit(UINT code) {
  throw ProcessExited{code};
}

// What the main routine saw, filled in by the routines below.
struct Seen {
  int calls = 0;
  HINSTANCE instance = nullptr;
  std::int32_t previous = -1;
  std::string tail;
  std::int32_t showState = -1;
  std::uint16_t controlWord = 0;
  std::string fontFace;
  std::uint32_t fontPoints = 0;
  bool recordIsMain = false;
  bool textsEmptyOnEntry = false;
  int resetHookCalls = 0;
};
Seen g_seen;
std::int32_t g_result = 0;

// Program-wide texts registered with the run-time.
TextValue g_caption;
TextValue g_result_text;

std::int32_t RecordingMain(HINSTANCE instance, std::int32_t previous, const char* tail,
                           std::int32_t showState) {
  ++g_seen.calls;
  g_seen.instance = instance;
  g_seen.previous = previous;
  g_seen.tail = tail;
  g_seen.showState = showState;
#ifdef TAVRIN_HAS_X87
  g_seen.controlWord = ReadFpuControlWord() & kFpuControlDefinedBits;
#endif
  if (ThreadRecord* record = CurrentThreadRecord()) {
    g_seen.fontFace = record->fontFace;
    g_seen.fontPoints = record->fontPoints;
    g_seen.recordIsMain = record == Runtime().mainThreadRecord;
  }
  g_seen.textsEmptyOnEntry = g_caption.empty() && g_result_text.empty();
  // The program fills its variables; shutdown must release them.
  g_caption.Assign(ConstText("Apparent Resistivity"));
  g_result_text.Assign(ConstText("314.2"));
  return g_result;
}

void CountingReset() {
  ++g_seen.resetHookCalls;
}

// Runs StartProcess(main) and returns the exit code ExitProcess got.
UINT RunProcess(MainRoutine main) {
  try {
    StartProcess(main);
  } catch (const ProcessExited& exited) {
    return exited.code;
  }
  ADD_FAILURE() << "StartProcess came back without ExitProcess";
  return 0xDEAD;
}

class StartProcessInProcess : public testing::Test {
 protected:
  void SetUp() override {
    p::ClearFailures();
    p::SetExitProcessHook(ThrowOnExit);
    p::ResetStartupInfo();
    p::SetCommandLine("calc.exe");
    // No record may be left from an earlier test: start-up makes its own.
    ReleaseMainThreadRecord();
    g_seen = Seen{};
    g_result = 0;
    ASSERT_TRUE(RegisterProgramText(&g_caption));
    ASSERT_TRUE(RegisterProgramText(&g_result_text));
    ASSERT_TRUE(RegisterStateReset(CountingReset));
    texts_ = p::LiveCount(p::Live::Text);
    blocks_ = p::LiveCount(p::Live::GlobalBlock);
    slots_ = p::LiveCount(p::Live::TlsSlot);
    doubles_ = p::DoubleReleases();
  }
  void TearDown() override {
    p::StopCallTrace();
    p::SetExitProcessHook(nullptr);
    p::ClearFailures();
    p::ResetCommandLine();
    p::ResetStartupInfo();
    UnregisterProgramText(&g_caption);
    UnregisterProgramText(&g_result_text);
    UnregisterStateReset(CountingReset);
    g_caption.Reset();
    g_result_text.Reset();
#ifdef TAVRIN_HAS_X87
    WriteFpuControlWord(kStartupControlWord);
#endif
  }
  void ExpectEverythingReleased() {
    EXPECT_EQ(p::LiveCount(p::Live::Text), texts_) << "program texts released";
    EXPECT_EQ(p::LiveCount(p::Live::GlobalBlock), blocks_) << "thread record released";
    EXPECT_EQ(p::LiveCount(p::Live::TlsSlot), slots_) << "slot freed";
    EXPECT_EQ(p::DoubleReleases(), doubles_);
    EXPECT_EQ(p::ComInitDepth(), 0) << "COM uninitialised";
    EXPECT_TRUE(g_caption.empty());
    EXPECT_TRUE(g_result_text.empty());
    EXPECT_EQ(Runtime().mainThreadRecord, nullptr);
    EXPECT_EQ(Runtime().tlsSlot, TLS_OUT_OF_INDEXES);
  }

  std::int64_t texts_ = 0, blocks_ = 0, slots_ = 0, doubles_ = 0;
};

struct ProcessCase {
  const char* name;
  std::string commandLine;
  DWORD startupFlags;
  WORD showWindow;
  std::int32_t result;
  UINT expectedExit;
  std::int32_t expectedShow;
  std::string expectedTail;
};

class StartProcessCase : public StartProcessInProcess,
                         public testing::WithParamInterface<ProcessCase> {};

TEST_P(StartProcessCase, RoutineGetsStartupValuesAndItsResultIsTheExitCode) {
  const ProcessCase& c = GetParam();
  p::SetCommandLine(c.commandLine);
  STARTUPINFOA info{};
  info.dwFlags = c.startupFlags;
  info.wShowWindow = c.showWindow;
  p::SetStartupInfo(info);
  g_result = c.result;
  // Start from another control word: start-up must set its own.
#ifdef TAVRIN_HAS_X87
  WriteFpuControlWord(0x027F);
#endif
  // A text left in a program variable is emptied before the routine runs.
  g_caption.Assign(ConstText("left over"));
  texts_ = p::LiveCount(p::Live::Text) - 1;

  EXPECT_EQ(RunProcess(RecordingMain), c.expectedExit);

  EXPECT_EQ(g_seen.calls, 1);
  EXPECT_EQ(g_seen.instance, GetModuleHandleA(nullptr));
  EXPECT_EQ(g_seen.previous, 0);
  EXPECT_EQ(g_seen.tail, c.expectedTail);
  EXPECT_EQ(g_seen.showState, c.expectedShow);
#ifdef TAVRIN_HAS_X87
  EXPECT_EQ(g_seen.controlWord, 0x133F);
#endif
  EXPECT_EQ(g_seen.fontFace, "MS Sans Serif");
  EXPECT_EQ(g_seen.fontPoints, 8u);
  EXPECT_TRUE(g_seen.recordIsMain);
  EXPECT_TRUE(g_seen.textsEmptyOnEntry);
  EXPECT_EQ(g_seen.resetHookCalls, 1);
  ExpectEverythingReleased();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartProcessCase,
    testing::Values(ProcessCase{"Normal", "calc.exe", 0, 0, 0, 0, 10, ""},
                    ProcessCase{"ShowWindowFlag", "calc.exe", STARTF_USESHOWWINDOW, 3, 0, 0, 3, ""},
                    ProcessCase{"ShowWindowIgnoredWithoutFlag", "calc.exe", STARTF_USESTDHANDLES, 3,
                                0, 0, 10, ""},
                    ProcessCase{"ShowHidden", "calc.exe", STARTF_USESHOWWINDOW, 0, 0, 0, 0, ""},
                    ProcessCase{"QuotedPathAndArguments", "\"C:\\Program Files\\calc.exe\"  -x y",
                                0, 0, 0, 0, 10, "-x y"},
                    ProcessCase{"ResultFortyTwo", "calc a", 0, 0, 42, 42, 10, "a"},
                    ProcessCase{"NegativeResult", "calc", 0, 0, -1, 0xFFFFFFFFu, 10, ""}),
    [](const testing::TestParamInfo<ProcessCase>& param_info) {
      return std::string(param_info.param.name);
    });

TEST_F(StartProcessInProcess, CallsComeInTheirFixedOrder) {
  p::StartCallTrace();
  RunProcess(RecordingMain);
  const std::vector<std::string> expected = {
      // start-up
      "CoInitialize", "GetStartupInfoA", "GetCommandLineA", "GetModuleHandleA", "TlsAlloc",
      "GlobalAlloc", "TlsSetValue",
      // shutdown: the two program texts, the record, the slot, COM, the exit
      "SysFreeString", "SysFreeString", "GlobalFree", "TlsSetValue", "TlsFree", "CoUninitialize",
      "ExitProcess"};
  EXPECT_EQ(p::StopCallTrace(), expected);
  ExpectEverythingReleased();
}

struct StartupFailure {
  const char* name;
  p::Fail which;
  std::vector<std::string> expectedCalls;
};

class StartupFailureCase : public StartProcessInProcess,
                           public testing::WithParamInterface<StartupFailure> {};

TEST_P(StartupFailureCase, ExitsWith255WithoutRunningTheRoutine) {
  p::FailNext(GetParam().which);
  p::StartCallTrace();
  EXPECT_EQ(RunProcess(RecordingMain), 255u);
  EXPECT_EQ(p::StopCallTrace(), GetParam().expectedCalls);
  EXPECT_EQ(g_seen.calls, 0);
  EXPECT_EQ(g_seen.resetHookCalls, 0) << "nothing after the failed step";
  EXPECT_EQ(p::ComInitDepth(), 0);
  EXPECT_EQ(p::LiveCount(p::Live::GlobalBlock), blocks_);
  // A slot got before a failed GlobalAlloc is left to the end of the process.
  if (Runtime().tlsSlot != TLS_OUT_OF_INDEXES) {
    TlsFree(Runtime().tlsSlot);
    Runtime().tlsSlot = TLS_OUT_OF_INDEXES;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, StartupFailureCase,
    testing::Values(
        StartupFailure{"NoSlot",
                       p::Fail::TlsAlloc,
                       {"CoInitialize", "GetStartupInfoA", "GetCommandLineA", "GetModuleHandleA",
                        "TlsAlloc", "CoUninitialize", "ExitProcess"}},
        StartupFailure{"NoMemoryForRecord",
                       p::Fail::GlobalAlloc,
                       {"CoInitialize", "GetStartupInfoA", "GetCommandLineA", "GetModuleHandleA",
                        "TlsAlloc", "GlobalAlloc", "CoUninitialize", "ExitProcess"}}),
    [](const testing::TestParamInfo<StartupFailure>& param_info) {
      return std::string(param_info.param.name);
    });

std::int32_t FailingAssignmentMain(HINSTANCE, std::int32_t, const char*, std::int32_t) {
  RoutineFrame routine;
  p::FailNext(p::Fail::SysAllocStringByteLen);
  g_caption.Assign(ConstText("no room"));
  // The routine continues; its ErrorWord says what happened.
  g_result_text.Assign(ConstText("goes on"));
  return routine.error_word() == 0xB007 && g_caption.empty() && !g_result_text.empty() ? 7 : 1;
}

TEST_F(StartProcessInProcess, FailedAssignmentInTheRoutineChangesNoFlow) {
  EXPECT_EQ(RunProcess(FailingAssignmentMain), 7u);
  ExpectEverythingReleased();
}

TEST_F(StartProcessInProcess, NullRoutineEndsWithZeroAfterFullShutdown) {
  EXPECT_EQ(RunProcess(nullptr), 0u);
  ExpectEverythingReleased();
}

TEST(ProgramTextTable, RegistrationLimitsAndNull) {
  std::vector<TextValue> texts(kMaxProgramTexts + 1);
  EXPECT_FALSE(RegisterProgramText(nullptr));
  std::size_t registered = 0;
  for (TextValue& t : texts) registered += RegisterProgramText(&t) ? 1 : 0;
  EXPECT_EQ(registered, kMaxProgramTexts) << "the table is full at its size";
  EXPECT_TRUE(RegisterProgramText(&texts[0])) << "already registered";
  texts[3].Assign(ConstText("released"));
  ReleaseProgramTexts();
  EXPECT_TRUE(texts[3].empty());
  UnregisterProgramText(&texts[3]);
  texts[3].Assign(ConstText("kept"));
  ReleaseProgramTexts();
  EXPECT_EQ(texts[3].view(), "kept") << "unregistered variables are not touched";
  EXPECT_TRUE(RegisterProgramText(&texts.back())) << "room again after removal";
  for (TextValue& t : texts) UnregisterProgramText(&t);
}

}  // namespace
}  // namespace tavrin
