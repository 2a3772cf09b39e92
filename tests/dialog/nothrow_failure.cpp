// The replaced non-throwing operator new: null while failures are armed on
// this thread, otherwise the ordinary operator new (so that the block goes
// back through the ordinary operator delete).
#include "nothrow_failure.h"

#include <cstddef>
#include <new>

namespace {

thread_local int g_failuresArmed = 0;

}  // namespace

namespace tavrin::testing {

void FailNextNothrowNew(int count) {
  g_failuresArmed = count;
}

}  // namespace tavrin::testing

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (g_failuresArmed > 0) {
    --g_failuresArmed;
    return nullptr;
  }
  try {
    return ::operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
