// The Linux platform's text storage under many texts alive at once: every
// text stays known until it is freed (whatever the order of frees), and a
// second free of any of them is caught and counted instead of reaching the
// heap. Uses the platform's live text count and double-release count.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/hooks.h"
#include "platform/win32.h"

namespace tavrin {
namespace {

using platform::DoubleReleases;
using platform::Live;
using platform::LiveCount;

enum class Order { kForward, kReverse, kStrided };

// The order in which `count` texts are freed.
std::vector<std::size_t> FreeOrder(std::size_t count, Order order) {
  std::vector<std::size_t> indexes;
  switch (order) {
    case Order::kForward:
      for (std::size_t i = 0; i < count; ++i) indexes.push_back(i);
      break;
    case Order::kReverse:
      for (std::size_t i = count; i-- > 0;) indexes.push_back(i);
      break;
    case Order::kStrided:  // every seventh, then the next residue, ...
      for (std::size_t start = 0; start < 7; ++start) {
        for (std::size_t i = start; i < count; i += 7) indexes.push_back(i);
      }
      break;
  }
  return indexes;
}

TEST(TextStorageTest, ManyTextsFreedInAnyOrderThenFreedAgain) {
  struct Case {
    std::size_t count;
    Order order;
  };
  // Counts below, at and well beyond the sizes where the bookkeeping grows.
  const Case cases[] = {{1, Order::kForward},   {31, Order::kReverse},  {32, Order::kStrided},
                        {33, Order::kForward},  {200, Order::kStrided}, {1000, Order::kReverse},
                        {5000, Order::kStrided}};
  for (const Case& c : cases) {
    const std::int64_t liveBefore = LiveCount(Live::Text);
    std::vector<BSTR> texts;
    for (std::size_t i = 0; i < c.count; ++i) {
      const std::string bytes = std::to_string(i);
      texts.push_back(SysAllocStringByteLen(bytes.data(), static_cast<UINT>(bytes.size())));
      ASSERT_NE(texts.back(), nullptr);
    }
    ASSERT_EQ(LiveCount(Live::Text), liveBefore + static_cast<std::int64_t>(c.count));

    const std::vector<std::size_t> order = FreeOrder(c.count, c.order);
    ASSERT_EQ(order.size(), c.count);
    const std::int64_t doubleBefore = DoubleReleases();
    for (std::size_t k = 0; k < order.size(); ++k) {
      // Every text not yet freed still reads back as it was written.
      if (k % 97 == 0) {
        for (std::size_t j = k; j < order.size(); ++j) {
          const std::string bytes = std::to_string(order[j]);
          BSTR t = texts[order[j]];
          ASSERT_EQ(SysStringByteLen(t), bytes.size());
          ASSERT_EQ(std::string(reinterpret_cast<const char*>(t), bytes.size()), bytes);
        }
      }
      SysFreeString(texts[order[k]]);
    }
    EXPECT_EQ(DoubleReleases(), doubleBefore) << c.count;
    EXPECT_EQ(LiveCount(Live::Text), liveBefore) << c.count;

    // Freeing any of them again is a counted double release, nothing more.
    for (std::size_t i = 0; i < c.count; i += 13) SysFreeString(texts[i]);
    EXPECT_EQ(DoubleReleases(), doubleBefore + static_cast<std::int64_t>((c.count + 12) / 13))
        << c.count;
    EXPECT_EQ(LiveCount(Live::Text), liveBefore) << c.count;
  }
}

TEST(TextStorageTest, SecondFreeAmongLiveTextsLeavesTheOthersKnown) {
  // A double free while other texts are alive must not disturb them: each
  // later free of a live one is accepted.
  std::vector<BSTR> texts;
  for (int i = 0; i < 100; ++i) texts.push_back(SysAllocStringByteLen("x", 1));
  const std::int64_t doubleBefore = DoubleReleases();
  SysFreeString(texts[50]);
  SysFreeString(texts[50]);
  EXPECT_EQ(DoubleReleases(), doubleBefore + 1);
  for (int i = 0; i < 100; ++i) {
    if (i != 50) SysFreeString(texts[i]);
  }
  EXPECT_EQ(DoubleReleases(), doubleBefore + 1);
}

TEST(TextStorageTest, TextsOutliveTheThreadThatMadeThem) {
  // Texts of every kind of block (small, large, mapped pages) made by a
  // thread that then ends: they stay readable and counted, another thread
  // frees them, a second free is counted, and new texts reuse the blocks.
  const std::size_t sizes[] = {0, 1, 300, 70000, 3u << 20};
  for (int round = 0; round < 2; ++round) {
    const std::int64_t liveBefore = LiveCount(Live::Text);
    const std::int64_t doubleBefore = DoubleReleases();
    std::vector<BSTR> texts;
    std::thread maker([&] {
      for (std::size_t size : sizes) {
        const std::string bytes(size, static_cast<char>('a' + size % 26));
        texts.push_back(SysAllocStringByteLen(bytes.data(), static_cast<UINT>(size)));
      }
    });
    maker.join();
    ASSERT_EQ(LiveCount(Live::Text), liveBefore + static_cast<std::int64_t>(std::size(sizes)));
    std::thread freer([&] {
      for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::size_t size = sizes[i];
        ASSERT_NE(texts[i], nullptr) << size;
        EXPECT_EQ(SysStringByteLen(texts[i]), size);
        const std::string bytes(reinterpret_cast<const char*>(texts[i]), size);
        EXPECT_EQ(bytes, std::string(size, static_cast<char>('a' + size % 26))) << size;
        EXPECT_EQ(reinterpret_cast<const char*>(texts[i])[size], '\0') << size;
        SysFreeString(texts[i]);
      }
    });
    freer.join();
    EXPECT_EQ(LiveCount(Live::Text), liveBefore) << round;
    for (BSTR text : texts) SysFreeString(text);
    EXPECT_EQ(DoubleReleases(), doubleBefore + static_cast<std::int64_t>(std::size(sizes)));
    EXPECT_EQ(LiveCount(Live::Text), liveBefore) << round;
  }
}

}  // namespace
}  // namespace tavrin
