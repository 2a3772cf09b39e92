// The window table's handle map against std::map over runs of inserts and
// removals: handles issued in order as windows are, keys that share a home
// slot, and removals from the middle of runs that wrap past the array's end.
#include "window_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

namespace tavrin::platform::user {
namespace {

constexpr std::uintptr_t kStep = 2;
// The table's first array has 64 slots; keys this far apart share a home
// until it grows.
constexpr std::uintptr_t kSameHome = 64 * kStep;
// Keys issued last that each step looks up, live or not.
constexpr std::uintptr_t kRecentKeys = 64;

struct TableRun {
  const char* what;
  std::uintptr_t first;   // the first key
  std::uintptr_t stride;  // from one new key to the next
  int live;               // keys kept in the table at once
  int operations;
};

TEST(HandleTableTest, AgreesWithAMapOverInsertsAndRemovals) {
  const TableRun runs[] = {
      {"handles in order, a dialog's worth alive", 0x10002, kStep, 18, 20000},
      {"handles in order, the array grown", 0x10002, kStep, 300, 20000},
      {"every key on one home", 0x10002, kSameHome, 20, 5000},
      {"runs wrapping past the end", 0x10002 + 60 * kStep, kSameHome / 2 + kStep, 25, 5000},
  };
  for (const TableRun& run : runs) {
    HandleTable<int, kStep> table;
    std::map<std::uintptr_t, int> model;
    std::vector<std::uintptr_t> alive;
    std::mt19937_64 random(7);
    std::uintptr_t next = run.first;
    for (int op = 0; op < run.operations; ++op) {
      if (static_cast<int>(alive.size()) < run.live && random() % 3 != 0) {
        table.Insert(next, op);
        model[next] = op;
        alive.push_back(next);
        next += run.stride;
      } else if (!alive.empty()) {
        const std::size_t at = random() % alive.size();
        table.Erase(alive[at]);
        model.erase(alive[at]);
        alive.erase(alive.begin() + static_cast<std::ptrdiff_t>(at));
      }
      ASSERT_EQ(table.size(), model.size()) << run.what;
      // Every live key, and the keys issued lately (the dead among them too).
      for (const auto& [key, value] : model) {
        const int* found = table.Find(key);
        ASSERT_NE(found, nullptr) << run.what << ", key " << key;
        ASSERT_EQ(*found, value) << run.what << ", key " << key;
      }
      for (std::uintptr_t back = 1; back <= kRecentKeys && back * run.stride <= next - run.first;
           ++back) {
        const std::uintptr_t key = next - back * run.stride;
        ASSERT_EQ(table.Find(key) != nullptr, model.contains(key)) << run.what << ", key " << key;
      }
    }
  }
}

}  // namespace
}  // namespace tavrin::platform::user
