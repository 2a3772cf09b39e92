// Texts: the counted layout, ownership on copy and move, and the numbered
// errors that text operations record.
#include "runtime/text_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/errors.h"

namespace tavrin {
namespace {

// The count word in front of a handle, read straight from memory.
std::uint32_t CountWordOf(const char* handle) {
  std::uint32_t count = 0;
  std::memcpy(&count, handle - 4, 4);
  return count;
}

class TextLayout : public testing::TestWithParam<std::string> {};

TEST_P(TextLayout, CountInFrontBytesThenOneZeroByte) {
  const std::string& bytes = GetParam();
  TextValue text = TextValue::Copy(bytes);
  if (bytes.empty()) {
    EXPECT_EQ(text.handle(), nullptr) << "the empty text owns no storage";
    EXPECT_EQ(text.size(), 0u);
    EXPECT_STREQ(text.data(), "");
    return;
  }
  ASSERT_NE(text.handle(), nullptr);
  EXPECT_EQ(CountWordOf(text.handle()), bytes.size());
  EXPECT_EQ(text.size(), bytes.size());
  EXPECT_EQ(std::memcmp(text.handle(), bytes.data(), bytes.size()), 0);
  EXPECT_EQ(text.handle()[bytes.size()], '\0');
  EXPECT_EQ(text.view(), bytes);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextLayout,
                         testing::Values(std::string(), std::string("a"), std::string("###.#"),
                                         std::string("with\0zero", 9),
                                         std::string("\xE9\xFF\x01 bytes"), std::string(300, 'x')));

TEST(TextValue, CopyMakesItsOwnStorage) {
  TextValue original = TextValue::Copy("resistivity");
  TextValue copy(original);
  ASSERT_NE(copy.handle(), nullptr);
  EXPECT_NE(copy.handle(), original.handle());
  EXPECT_EQ(copy.view(), "resistivity");
  // Changing the copy leaves the original alone.
  copy.mutable_data()[0] = 'R';
  EXPECT_EQ(original.view(), "resistivity");

  TextValue assigned = TextValue::Copy("old");
  assigned = original;
  EXPECT_NE(assigned.handle(), original.handle());
  EXPECT_EQ(assigned.view(), "resistivity");
}

TEST(TextValue, MoveTakesTheHandleAndEmptiesTheSource) {
  TextValue source = TextValue::Copy("ohm-feet");
  const char* handle = source.handle();
  TextValue moved(std::move(source));
  EXPECT_EQ(moved.handle(), handle);
  EXPECT_EQ(source.handle(),
            nullptr);  // NOLINT(bugprone-use-after-move): the moved-from state is the contract

  TextValue target = TextValue::Copy("replaced");
  target = std::move(moved);
  EXPECT_EQ(target.handle(), handle);
  EXPECT_EQ(moved.handle(), nullptr);  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(target.view(), "ohm-feet");
}

TEST(TextValue, AssignFromItselfKeepsTheBytes) {
  TextValue text = TextValue::Copy("self");
  text.Assign(text.ref());
  EXPECT_EQ(text.view(), "self");
  text = text;  // copy assignment to itself
  EXPECT_EQ(text.view(), "self");
}

TEST(TextValue, AssignEmptyReleasesAndLeavesNullHandle) {
  TextValue text = TextValue::Copy("something");
  text.Assign(TextRef());
  EXPECT_EQ(text.handle(), nullptr);
}

struct AllocateCase {
  std::int64_t size;
  bool expectFailed;
  bool expectStorage;
};

class TextAllocate : public testing::TestWithParam<AllocateCase> {};

TEST_P(TextAllocate, SizeDecidesStorageAndFailure) {
  const AllocateCase& c = GetParam();
  bool failed = !c.expectFailed;
  TextValue text = TextValue::Allocate(c.size, &failed);
  EXPECT_EQ(failed, c.expectFailed);
  EXPECT_EQ(text.handle() != nullptr, c.expectStorage);
  if (c.expectStorage) {
    EXPECT_EQ(text.size(), static_cast<std::uint32_t>(c.size));
    for (std::int64_t i = 0; i <= c.size; ++i) EXPECT_EQ(text.data()[i], '\0') << "byte " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, TextAllocate,
                         testing::Values(AllocateCase{0, false, false},
                                         AllocateCase{1, false, true},
                                         AllocateCase{64, false, true},
                                         AllocateCase{-1, true, false},
                                         AllocateCase{INT64_MIN, true, false},
                                         AllocateCase{std::int64_t{1} << 40, true, false}));

TEST(ConstText, SameLayoutAsAllocatedTexts) {
  static constexpr ConstText kMask("###.#");
  EXPECT_EQ(kMask.count, 5u);
  TextRef ref = kMask;
  EXPECT_EQ(CountWordOf(ref.handle()), 5u);
  EXPECT_EQ(ref.view(), "###.#");
  EXPECT_EQ(ref.handle()[5], '\0');

  static constexpr ConstText kEmpty("");
  EXPECT_EQ(kEmpty.ref().handle(), nullptr);
  EXPECT_STREQ(kEmpty.ref().data(), "");
}

TEST(TextRef, NullHandleReadsAsZeroBytes) {
  TextRef ref;
  EXPECT_EQ(ref.size(), 0u);
  EXPECT_TRUE(ref.empty());
  EXPECT_STREQ(ref.data(), "");
  EXPECT_EQ(ref.view(), "");
}

struct RaiseCase {
  int number;
  ErrorWord expected;
};

class RaiseErrorWord : public testing::TestWithParam<RaiseCase> {};

TEST_P(RaiseErrorWord, RecordsTaggedNumberInTheInnermostFrame) {
  RoutineFrame outer;
  {
    RoutineFrame inner;
    EXPECT_EQ(inner.error_word(), 0) << "a routine starts with ErrorWord 0";
    RaiseError(GetParam().number);
    EXPECT_EQ(inner.error_word(), GetParam().expected);
  }
  EXPECT_EQ(outer.error_word(), 0) << "the caller's ErrorWord is its own";
}

INSTANTIATE_TEST_SUITE_P(Numbers, RaiseErrorWord,
                         testing::Values(RaiseCase{0, 0xB033}, RaiseCase{7, 0xB007},
                                         RaiseCase{51, 0xB033}, RaiseCase{1, 0xB001},
                                         RaiseCase{255, 0xB0FF}));

TEST(RaiseError, LastErrorStaysAndOuterFrameSeesErrorsAfterInnerEnds) {
  RoutineFrame routine;
  RaiseError(ErrorNumber::kOutOfMemory);
  RaiseError(0);
  EXPECT_EQ(routine.error_word(), 0xB033) << "the word keeps the last recorded error";
  { RoutineFrame nested; }
  RaiseError(7);
  EXPECT_EQ(routine.error_word(), 0xB007);
}

TEST(RaiseError, WithoutARoutineRecordsNothingAndReturns) {
  RaiseError(7);  // no frame on this thread: must not crash
  RoutineFrame routine;
  EXPECT_EQ(routine.error_word(), 0);
}

}  // namespace
}  // namespace tavrin
