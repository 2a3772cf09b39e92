// The per-thread record: the start-up font, the copy of the main thread's
// font for other threads, and the face limits.
#include "runtime/thread_record.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <thread>

#include "runtime/runtime_state.h"

namespace tavrin {
namespace {

// Starts every test from a fresh main record, as after start-up.
class ThreadRecordTest : public testing::Test {
 protected:
  void SetUp() override {
    ReleaseMainThreadRecord();
    main_ = CurrentThreadRecord();
    ASSERT_NE(main_, nullptr);
  }
  void TearDown() override { ReleaseMainThreadRecord(); }

  ThreadRecord* main_ = nullptr;
};

TEST_F(ThreadRecordTest, FirstRecordIsTheMainOneWithTheStartupFont) {
  EXPECT_STREQ(main_->fontFace, "MS Sans Serif");
  EXPECT_EQ(main_->fontPoints, 8u);
  EXPECT_EQ(Runtime().mainThreadRecord, main_);
  EXPECT_NE(Runtime().tlsSlot, TLS_OUT_OF_INDEXES);
  EXPECT_EQ(CurrentThreadRecord(), main_) << "the same record on every request";
}

TEST(ThreadRecordLayout, FaceRoomThenThirtyTwoBitPoints) {
  EXPECT_EQ(offsetof(ThreadRecord, fontFace), 0u);
  EXPECT_EQ(sizeof(ThreadRecord::fontFace), 32u);
  EXPECT_EQ(offsetof(ThreadRecord, fontPoints), 32u);
  EXPECT_EQ(sizeof(ThreadRecord::fontPoints), 4u);
}

struct OtherThreadCase {
  const char* face;
  std::uint32_t points;
};

class OtherThread : public ThreadRecordTest, public testing::WithParamInterface<OtherThreadCase> {};

TEST_P(OtherThread, StartsWithACopyOfTheMainThreadsFontAsItIsNow) {
  SetThreadRecordFont(*main_, GetParam().face, GetParam().points);
  ThreadRecord* other = nullptr;
  std::string otherFace;
  std::uint32_t otherPoints = 0;
  std::thread worker([&] {
    other = CurrentThreadRecord();
    if (other != nullptr) {
      otherFace = other->fontFace;
      otherPoints = other->fontPoints;
      // The worker's own font is its own.
      SetThreadRecordFont(*other, "Courier New", 72);
    }
    ReleaseCurrentThreadRecord();
  });
  worker.join();
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other, main_);
  EXPECT_EQ(otherFace, GetParam().face);
  EXPECT_EQ(otherPoints, GetParam().points);
  EXPECT_STREQ(main_->fontFace, GetParam().face) << "the worker's change stays on the worker";
  EXPECT_EQ(main_->fontPoints, GetParam().points);
  EXPECT_EQ(CurrentThreadRecord(), main_);
}

INSTANTIATE_TEST_SUITE_P(Fonts, OtherThread,
                         testing::Values(OtherThreadCase{"tahoma", 10},
                                         OtherThreadCase{"MS Sans Serif", 8},
                                         OtherThreadCase{"", 0},
                                         OtherThreadCase{"0123456789012345678901234567890", 255}));

struct FaceCase {
  std::string face;
  std::string stored;
};

class FaceLimit : public ThreadRecordTest, public testing::WithParamInterface<FaceCase> {};

TEST_P(FaceLimit, StoresAtMostThirtyOneBytesAndAZero) {
  // Fill the face first so that stale bytes would show.
  SetThreadRecordFont(*main_, std::string(40, 'Z'), 1);
  SetThreadRecordFont(*main_, GetParam().face, 9);
  EXPECT_EQ(std::string(main_->fontFace), GetParam().stored);
  for (std::size_t i = GetParam().stored.size(); i < kFontFaceBytes; ++i) {
    EXPECT_EQ(main_->fontFace[i], '\0') << "byte " << i;
  }
  EXPECT_EQ(main_->fontPoints, 9u);
}

INSTANTIATE_TEST_SUITE_P(Faces, FaceLimit,
                         testing::Values(FaceCase{"tahoma", "tahoma"}, FaceCase{"", ""},
                                         FaceCase{std::string(31, 'a'), std::string(31, 'a')},
                                         FaceCase{std::string(32, 'b'), std::string(31, 'b')},
                                         FaceCase{std::string(200, 'c'), std::string(31, 'c')},
                                         FaceCase{std::string("Arial\0Black", 11), "Arial"}));

TEST_F(ThreadRecordTest, ReleasedMainRecordIsMadeAgainOnTheNextRequest) {
  SetThreadRecordFont(*main_, "tahoma", 10);
  ReleaseMainThreadRecord();
  EXPECT_EQ(Runtime().mainThreadRecord, nullptr);
  EXPECT_EQ(Runtime().tlsSlot, TLS_OUT_OF_INDEXES);
  ThreadRecord* again = CurrentThreadRecord();
  ASSERT_NE(again, nullptr);
  EXPECT_STREQ(again->fontFace, "MS Sans Serif");
  EXPECT_EQ(again->fontPoints, 8u);
}

TEST_F(ThreadRecordTest, ReleasingAThreadWithoutRecordDoesNothing) {
  std::thread worker([] { ReleaseCurrentThreadRecord(); });
  worker.join();
  EXPECT_EQ(CurrentThreadRecord(), main_);
  EXPECT_STREQ(main_->fontFace, "MS Sans Serif");
}

}  // namespace
}  // namespace tavrin
