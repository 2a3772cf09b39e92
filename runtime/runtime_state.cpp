// The process's RuntimeState and its tables of program-wide texts and reset
// hooks.
#include "runtime/runtime_state.h"

#include <algorithm>
#include <array>

#include "runtime/text_value.h"

namespace tavrin {
namespace {

RuntimeState g_state;

// Registration happens on the main thread before and around start-up, so
// the tables need no lock. Each table is filled from the front; the first
// null entry ends it.
std::array<TextValue*, kMaxProgramTexts> g_texts{};
std::array<StateResetHook, kMaxStateResetHooks> g_resets{};

// Adds `item` to `table` unless it is there already; false when full.
template <typename T, std::size_t N>
bool AddOnce(std::array<T, N>& table, T item) {
  if (item == nullptr) return false;
  for (T& entry : table) {
    if (entry == item) return true;
    if (entry == nullptr) {
      entry = item;
      return true;
    }
  }
  return false;
}

// Removes `item` from `table`, keeping the others in order and packed.
template <typename T, std::size_t N>
void Remove(std::array<T, N>& table, T item) {
  auto end = std::remove(table.begin(), table.end(), item);
  std::fill(end, table.end(), nullptr);
}

}  // namespace

RuntimeState& Runtime() {
  return g_state;
}

bool RegisterProgramText(TextValue* variable) {
  return AddOnce(g_texts, variable);
}

void UnregisterProgramText(TextValue* variable) {
  if (variable != nullptr) Remove(g_texts, variable);
}

bool RegisterStateReset(StateResetHook hook) {
  return AddOnce(g_resets, hook);
}

void UnregisterStateReset(StateResetHook hook) {
  if (hook != nullptr) Remove(g_resets, hook);
}

void ResetProgramState() {
  ReleaseProgramTexts();
  for (StateResetHook hook : g_resets) {
    if (hook == nullptr) break;
    hook();
  }
}

void ReleaseProgramTexts() {
  for (TextValue* text : g_texts) {
    if (text == nullptr) break;
    text->Reset();
  }
}

}  // namespace tavrin
