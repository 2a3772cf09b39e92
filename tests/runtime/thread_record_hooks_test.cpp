// The per-thread record when the platform has no slot or no memory: the
// caller gets null and error 7, and nothing leaks.
#include <gtest/gtest.h>

#include <thread>

#include "platform/linux/hooks.h"
#include "runtime/errors.h"
#include "runtime/runtime_state.h"
#include "runtime/thread_record.h"

namespace tavrin {
namespace {

using platform::ClearFailures;
using platform::Fail;
using platform::FailNext;
using platform::Live;
using platform::LiveCount;

class ThreadRecordFailure : public testing::Test {
 protected:
  void SetUp() override {
    ClearFailures();
    ReleaseMainThreadRecord();
    blocksBefore_ = LiveCount(Live::GlobalBlock);
    slotsBefore_ = LiveCount(Live::TlsSlot);
  }
  void TearDown() override {
    ClearFailures();
    ReleaseMainThreadRecord();
    EXPECT_EQ(LiveCount(Live::GlobalBlock), blocksBefore_);
    EXPECT_EQ(LiveCount(Live::TlsSlot), slotsBefore_);
  }
  std::int64_t blocksBefore_ = 0;
  std::int64_t slotsBefore_ = 0;
};

struct FirstRequestFailure {
  const char* name;
  Fail which;
};

class FirstRequest : public ThreadRecordFailure,
                     public testing::WithParamInterface<FirstRequestFailure> {};

TEST_P(FirstRequest, NoSlotOrNoMemoryGivesNullAndErrorSeven) {
  RoutineFrame routine;
  FailNext(GetParam().which);
  EXPECT_EQ(CurrentThreadRecord(), nullptr);
  EXPECT_EQ(routine.error_word(), 0xB007);
  EXPECT_EQ(Runtime().mainThreadRecord, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Failures, FirstRequest,
                         testing::Values(FirstRequestFailure{"TlsAlloc", Fail::TlsAlloc},
                                         FirstRequestFailure{"GlobalAlloc", Fail::GlobalAlloc}),
                         [](const testing::TestParamInfo<FirstRequestFailure>& param_info) {
                           return std::string(param_info.param.name);
                         });

TEST_F(ThreadRecordFailure, OtherThreadWithoutMemoryGetsNullThenARecordLater) {
  ThreadRecord* main = CurrentThreadRecord();
  ASSERT_NE(main, nullptr);
  SetThreadRecordFont(*main, "tahoma", 10);
  ErrorWord firstWord = 0;
  ThreadRecord* first = main;
  ThreadRecord* second = nullptr;
  std::string secondFace;
  std::thread worker([&] {
    RoutineFrame routine;
    FailNext(Fail::GlobalAlloc);
    first = CurrentThreadRecord();
    firstWord = routine.error_word();
    second = CurrentThreadRecord();
    if (second != nullptr) secondFace = second->fontFace;
    ReleaseCurrentThreadRecord();
  });
  worker.join();
  EXPECT_EQ(first, nullptr);
  EXPECT_EQ(firstWord, 0xB007);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(secondFace, "tahoma");
  EXPECT_EQ(Runtime().mainThreadRecord, main) << "the main record is untouched";
}

TEST_F(ThreadRecordFailure, RecordsComeFromGlobalAllocAndGoBack) {
  ASSERT_NE(CurrentThreadRecord(), nullptr);
  EXPECT_EQ(LiveCount(Live::GlobalBlock), blocksBefore_ + 1);
  EXPECT_EQ(LiveCount(Live::TlsSlot), slotsBefore_ + 1);
  std::int64_t blocksWhileWorkerHasRecord = 0;
  std::thread worker([&] {
    if (CurrentThreadRecord() != nullptr) {
      blocksWhileWorkerHasRecord = LiveCount(Live::GlobalBlock);
    }
    ReleaseCurrentThreadRecord();
  });
  worker.join();
  EXPECT_EQ(blocksWhileWorkerHasRecord, blocksBefore_ + 2);
  EXPECT_EQ(LiveCount(Live::GlobalBlock), blocksBefore_ + 1) << "the worker's record went back";
}

}  // namespace
}  // namespace tavrin
