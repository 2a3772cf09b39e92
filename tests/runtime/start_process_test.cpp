// StartProcess ends the process, so each case runs in a death-test child and
// the exit code carries the verdict. These run on Linux and under Wine, with
// the platform's real start-up values.
#include "runtime/start_process.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "death_testing.h"
#include "platform/win32.h"
#include "runtime/fp_control.h"
#include "runtime/runtime_state.h"
#include "runtime/text_value.h"
#include "runtime/thread_record.h"

namespace tavrin {
namespace {

std::int32_t ReturnZero(HINSTANCE, std::int32_t, const char*, std::int32_t) {
  return 0;
}
std::int32_t ReturnFortyTwo(HINSTANCE, std::int32_t, const char*, std::int32_t) {
  return 42;
}

// Bits of the verdict a checking routine returns; 0 means every check held.
enum CheckBit : std::int32_t {
  kControlWordWrong = 1 << 0,
  kInstanceWrong = 1 << 1,
  kPreviousNotZero = 1 << 2,
  kTailWrong = 1 << 3,
  kShowStateWrong = 1 << 4,
  kFontWrong = 1 << 5,
  kStateWrong = 1 << 6,
};

// What the routine can hold to with certainty on any platform: the values
// handed over are the ones the process was started with, as Win32 reports
// them.
std::int32_t CheckingMain(HINSTANCE instance, std::int32_t previous, const char* tail,
                          std::int32_t showState) {
  std::int32_t verdict = 0;
#ifdef TAVRIN_HAS_X87
  if ((ReadFpuControlWord() & kFpuControlDefinedBits) != kStartupControlWord)
    verdict |= kControlWordWrong;
#endif
  if (instance == nullptr || instance != GetModuleHandleA(nullptr)) verdict |= kInstanceWrong;
  if (previous != 0) verdict |= kPreviousNotZero;
  // The death-test child is started with gtest's flags after its name.
  const char* line = GetCommandLineA();
  if (tail == nullptr || tail < line || tail > line + std::strlen(line) ||
      std::strstr(tail, "--gtest") == nullptr || *tail == ' ') {
    verdict |= kTailWrong;
  }
  STARTUPINFOA info{};
  info.cb = sizeof(info);
  GetStartupInfoA(&info);
  const std::int32_t expectedShow =
      (info.dwFlags & STARTF_USESHOWWINDOW) != 0 ? info.wShowWindow : 10;
  if (showState != expectedShow) verdict |= kShowStateWrong;
  ThreadRecord* record = CurrentThreadRecord();
  if (record == nullptr || std::strcmp(record->fontFace, "MS Sans Serif") != 0 ||
      record->fontPoints != 8) {
    verdict |= kFontWrong;
  }
  const RuntimeState& state = Runtime();
  if (state.instance != instance || state.commandTail != tail || state.showState != showState ||
      state.mainThreadRecord != record || state.tlsSlot == TLS_OUT_OF_INDEXES) {
    verdict |= kStateWrong;
  }
  return verdict;
}

// The child runs the test binary again (as it must on Windows; under
// qemu-user it is forked, from a test binary started with a gtest flag), so
// its command line holds gtest's flags after the program name.
class StartProcessDeathTest : public testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, TAVRIN_DEATH_TEST_STYLE); }
};

TEST_F(StartProcessDeathTest, ExitCodeIsTheRoutinesResult) {
  TAVRIN_EXPECT_EXIT_CODE(StartProcess(ReturnFortyTwo), 42);
  TAVRIN_EXPECT_EXIT_CODE(StartProcess(ReturnZero), 0);
}

// The child starts from another control word (where there is one); start-up
// sets its own.
void StartFromAnotherControlWord() {
#ifdef TAVRIN_HAS_X87
  WriteFpuControlWord(0x027F);
#endif
  StartProcess(CheckingMain);
}

TEST_F(StartProcessDeathTest, RoutineGetsStartupValuesAndControlWord) {
  TAVRIN_EXPECT_EXIT_CODE(StartFromAnotherControlWord(), 0);
}

TextValue g_program_text;

std::int32_t FillProgramText(HINSTANCE, std::int32_t, const char*, std::int32_t) {
  g_program_text.Assign(ConstText("released at shutdown"));
  return g_program_text.empty() ? 1 : 3;
}

TEST_F(StartProcessDeathTest, ProgramTextsDoNotStopTheExit) {
  TAVRIN_EXPECT_EXIT_CODE(
      {
        RegisterProgramText(&g_program_text);
        StartProcess(FillProgramText);
      },
      3);
}

}  // namespace
}  // namespace tavrin
