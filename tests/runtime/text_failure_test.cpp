// Text operations when the platform has no storage for a text: the variable
// becomes empty, its old text is released, error 7 is recorded in the
// routine's ErrorWord and the routine goes on.
#include <gtest/gtest.h>

#include "platform/linux/hooks.h"
#include "runtime/errors.h"
#include "runtime/text_value.h"

namespace tavrin {
namespace {

using platform::ClearFailures;
using platform::DoubleReleases;
using platform::Fail;
using platform::FailNext;
using platform::Live;
using platform::LiveCount;

class TextFailure : public testing::Test {
 protected:
  void SetUp() override {
    ClearFailures();
    liveBefore_ = LiveCount(Live::Text);
    doubleBefore_ = DoubleReleases();
  }
  void TearDown() override {
    ClearFailures();
    EXPECT_EQ(LiveCount(Live::Text), liveBefore_) << "every text was released";
    EXPECT_EQ(DoubleReleases(), doubleBefore_) << "no text was released twice";
  }
  std::int64_t liveBefore_ = 0;
  std::int64_t doubleBefore_ = 0;
};

TEST_F(TextFailure, AssignLeavesVariableEmptyAndRecordsSeven) {
  TextValue variable = TextValue::Copy("previous");
  ASSERT_EQ(LiveCount(Live::Text), liveBefore_ + 1);
  RoutineFrame routine;
  FailNext(Fail::SysAllocStringByteLen);
  variable.Assign(ConstText("new bytes"));
  EXPECT_EQ(variable.handle(), nullptr);
  EXPECT_EQ(routine.error_word(), 0xB007);
  EXPECT_EQ(LiveCount(Live::Text), liveBefore_) << "the previous text was released";

  // The routine goes on: the next assignment works and the word keeps 7.
  variable.Assign(ConstText("after"));
  EXPECT_EQ(variable.view(), "after");
  EXPECT_EQ(routine.error_word(), 0xB007);
}

struct FailingOperation {
  const char* name;
  void (*run)(TextValue& out, bool& reportedFailure);
  int allocationsBeforeFailure;  // allocations of `run` that still succeed
  ErrorWord expectedWord;        // what the operation records in the routine
  bool expectReported;           // whether it reports failure to the caller
};

const FailingOperation kOperations[] = {
    {"Copy", [](TextValue& out, bool&) { out = TextValue::Copy("abc"); }, 0, 0xB007, false},
    {"CopyConstruct",
     [](TextValue& out, bool&) {
       TextValue source = TextValue::Copy("x");
       TextValue copy(source);
       out = std::move(copy);
     },
     1, 0xB007, false},
    {"CopyAssign",
     [](TextValue& out, bool&) {
       TextValue source = TextValue::Copy("x");
       out = source;
     },
     1, 0xB007, false},
    {"Allocate", [](TextValue& out, bool& failed) { out = TextValue::Allocate(16, &failed); }, 0, 0,
     true},
};

class FailingTextOperation : public TextFailure,
                             public testing::WithParamInterface<FailingOperation> {};

TEST_P(FailingTextOperation, GivesEmptyTextAndReportsAsDocumented) {
  const FailingOperation& op = GetParam();
  RoutineFrame routine;
  TextValue out = TextValue::Copy("stale");
  FailNext(Fail::SysAllocStringByteLen, 1, op.allocationsBeforeFailure);
  bool reported = false;
  op.run(out, reported);
  EXPECT_EQ(out.handle(), nullptr);
  EXPECT_EQ(routine.error_word(), op.expectedWord);
  EXPECT_EQ(reported, op.expectReported);
}

INSTANTIATE_TEST_SUITE_P(Operations, FailingTextOperation, testing::ValuesIn(kOperations),
                         [](const testing::TestParamInfo<FailingOperation>& param_info) {
                           return std::string(param_info.param.name);
                         });

TEST_F(TextFailure, EmptyAssignmentNeedsNoStorageSoCannotFail) {
  TextValue variable = TextValue::Copy("old");
  RoutineFrame routine;
  FailNext(Fail::SysAllocStringByteLen);
  variable.Assign(TextRef());
  EXPECT_EQ(variable.handle(), nullptr);
  EXPECT_EQ(routine.error_word(), 0) << "an empty text allocates nothing, so nothing fails";
}

}  // namespace
}  // namespace tavrin
