// The window table's map from handle to window: open addressing with linear
// probing over a power-of-two array, since every message looks a window up
// and a general hash map spends most of that in one division.
//
// Handles are issued in steps of kStep and never reused, so the live ones
// are nearly consecutive and handle / kStep modulo the size puts them in
// consecutive slots: a look-up reads one slot, or a few after a wrap.
// Removal shifts the following entries of the run back (no tombstones), so
// a run never holds a gap that would end a search early.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace tavrin::platform::user {

template <class Value, std::uintptr_t kStep>
class HandleTable {
 public:
  // The value of `key`, or null when it is not in the table.
  Value* Find(std::uintptr_t key) {
    if (slots_.empty() || key == kEmpty) return nullptr;
    for (std::size_t i = Home(key);; i = Next(i)) {
      Slot& slot = slots_[i];
      if (slot.key == key) return &slot.value;
      if (slot.key == kEmpty) return nullptr;
    }
  }

  // Enters `key`, which is not 0 and not in the table yet.
  void Insert(std::uintptr_t key, Value value) {
    if (2 * (count_ + 1) > slots_.size()) Grow();
    std::size_t i = Home(key);
    while (slots_[i].key != kEmpty) i = Next(i);
    slots_[i] = Slot{key, std::move(value)};
    ++count_;
  }

  // Removes `key` if it is there.
  void Erase(std::uintptr_t key) {
    if (slots_.empty()) return;
    std::size_t hole = Home(key);
    while (slots_[hole].key != key) {
      if (slots_[hole].key == kEmpty) return;
      hole = Next(hole);
    }
    slots_[hole] = Slot{};
    --count_;
    // Moves back each later entry of the run whose home is not between the
    // hole and itself (cyclically), so that its search still reaches it.
    for (std::size_t i = Next(hole); slots_[i].key != kEmpty; i = Next(i)) {
      const std::size_t home = Home(slots_[i].key);
      const bool reachable = hole < i ? (home > hole && home <= i) : (home > hole || home <= i);
      if (reachable) continue;
      slots_[hole] = std::move(slots_[i]);
      slots_[i] = Slot{};
      hole = i;
    }
  }

  std::size_t size() const { return count_; }

 private:
  static constexpr std::uintptr_t kEmpty = 0;
  static constexpr std::size_t kFirstSize = 64;

  struct Slot {
    std::uintptr_t key = kEmpty;
    Value value{};
  };

  std::size_t Home(std::uintptr_t key) const { return (key / kStep) & (slots_.size() - 1); }
  std::size_t Next(std::size_t i) const { return (i + 1) & (slots_.size() - 1); }

  // Doubles the array (at most half of it is ever used) and enters every
  // entry again.
  void Grow() {
    std::vector<Slot> old =
        std::exchange(slots_, std::vector<Slot>(slots_.empty() ? kFirstSize : 2 * slots_.size()));
    count_ = 0;
    for (Slot& slot : old) {
      if (slot.key != kEmpty) Insert(slot.key, std::move(slot.value));
    }
  }

  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

}  // namespace tavrin::platform::user
