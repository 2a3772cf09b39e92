// Numbered run-time errors. Each routine of the program has its own 16-bit
// ErrorWord, zero on entry; run-time operations called from it record their
// errors there as 0xB000 + number. Errors are recorded, never shown.
#pragma once

#include <cstdint>

namespace tavrin {

using ErrorWord = std::uint16_t;

// The error numbers this program can record.
enum class ErrorNumber : std::uint8_t {
  kOutOfMemory = 7,  // no storage for a text or a thread record
  kZeroError = 51,   // RaiseError was asked to record the number 0
};

// High byte of a recorded error.
inline constexpr ErrorWord kErrorWordTag = 0xB000;

// Records `number` in the ErrorWord of the innermost routine of the calling
// thread (a number of 0 is recorded as 51). Shows nothing and returns; with no
// routine on the thread nothing is recorded.
void RaiseError(int number);
inline void RaiseError(ErrorNumber number) {
  RaiseError(static_cast<int>(number));
}

// The frame of one routine: establishes its ErrorWord (0 on entry) for the
// lifetime of the object, so that RaiseError in operations it calls records
// there. Frames nest per thread.
class RoutineFrame {
 public:
  RoutineFrame();
  ~RoutineFrame();
  RoutineFrame(const RoutineFrame&) = delete;
  RoutineFrame& operator=(const RoutineFrame&) = delete;

  ErrorWord error_word() const { return word_; }

 private:
  friend void RaiseError(int number);
  ErrorWord word_ = 0;
  RoutineFrame* outer_;
};

}  // namespace tavrin
