// FormatNumber allocates nothing but its result (what the platform's text
// storage itself costs is measured and allowed for), and gives the empty text
// with error 7 when the result's storage cannot be had. Uses the Linux
// platform's live text count and failure injection.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>
#include <string>

#include "numtext/numtext.h"
#include "platform/linux/hooks.h"
#include "runtime/errors.h"

namespace {
// Calls of operator new in this executable since start.
std::atomic<long> g_newCalls{0};
}  // namespace

void* operator new(std::size_t size) {
  g_newCalls.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  return ::operator new(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

namespace tavrin {
namespace {

using platform::Fail;
using platform::Live;
using platform::LiveCount;

struct Case {
  Extended value;
  const char* mask;
  bool emptyResult;
};

const Case kCases[] = {
    {314.1590118408203, "###.#", false},
    {std::numeric_limits<double>::infinity(), "###.#", false},
    {-1e300, "#,##0.00;(#,##0.00)", false},
    {1234567.891, "0.00E+00", false},
    {0.5, "", false},  // the mask-free text
    {0, "0;0;\"zero\"", false},
    {5, "X", true},  // only dropped characters: the empty text, no storage
    {1e4000L, "#,###", false},
};

// Calls of operator new made while `f` runs.
template <typename F>
long NewCallsDuring(F f) {
  const long before = g_newCalls.load();
  f();
  return g_newCalls.load() - before;
}

TEST(FormatNumberAllocationTest, OnlyTheResultIsAllocated) {
  for (const Case& c : kCases) {
    const TextValue mask = TextValue::Copy(c.mask);
    // A first call tells the result's size and lets the platform's own
    // bookkeeping of texts grow to its steady state.
    const std::uint32_t size = FormatNumber(c.value, mask).size();
    // What storing a result of that size costs by itself ...
    const long storageNews = NewCallsDuring([&] { TextValue t = TextValue::Allocate(size); });
    // ... is all that formatting may cost.
    const std::int64_t textsBefore = LiveCount(Live::Text);
    TextValue result;
    const long formatNews = NewCallsDuring([&] { result = FormatNumber(c.value, mask); });
    EXPECT_EQ(formatNews, storageNews) << c.mask;
    EXPECT_EQ(LiveCount(Live::Text), textsBefore + (c.emptyResult ? 0 : 1)) << c.mask;
    EXPECT_EQ(result.empty(), c.emptyResult) << c.mask;
    result.Reset();
    EXPECT_EQ(LiveCount(Live::Text), textsBefore) << c.mask;
  }
}

TEST(FormatNumberAllocationTest, NoStorageGivesEmptyTextAndErrorSeven) {
  for (const Case& c : kCases) {
    if (c.emptyResult) continue;
    const TextValue mask = TextValue::Copy(c.mask);
    const std::int64_t textsBefore = LiveCount(Live::Text);
    RoutineFrame frame;
    platform::FailNext(Fail::SysAllocStringByteLen);
    const TextValue result = FormatNumber(c.value, mask);
    platform::ClearFailures();
    EXPECT_TRUE(result.empty()) << c.mask;
    EXPECT_EQ(frame.error_word(), 0xB007) << c.mask;
    EXPECT_EQ(LiveCount(Live::Text), textsBefore) << c.mask;
  }
}

TEST(FormatNumberAllocationTest, SuccessRecordsNoError) {
  RoutineFrame frame;
  const TextValue mask = TextValue::Copy("###.#");
  EXPECT_EQ(FormatNumber(2.5, mask).str(), "2.5");
  EXPECT_EQ(frame.error_word(), 0);
}

TEST(TextToNumberAllocationTest, ConversionAllocatesNothing) {
  const char* texts[] = {"2.0", "&HFFFF&&", "1e400", "", "  -0.005e-3x"};
  for (const char* text : texts) {
    const TextValue t = TextValue::Copy(text);
    const std::int64_t textsBefore = LiveCount(Live::Text);
    EXPECT_EQ(NewCallsDuring([&] { static_cast<void>(TextToNumber(t)); }), 0) << text;
    EXPECT_EQ(LiveCount(Live::Text), textsBefore) << text;
  }
}

}  // namespace
}  // namespace tavrin
