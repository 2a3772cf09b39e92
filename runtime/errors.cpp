// Recording of numbered run-time errors in the current routine's ErrorWord.
#include "runtime/errors.h"

namespace tavrin {
namespace {
thread_local RoutineFrame* t_current_frame = nullptr;
}  // namespace

RoutineFrame::RoutineFrame() : outer_(t_current_frame) {
  t_current_frame = this;
}

RoutineFrame::~RoutineFrame() {
  t_current_frame = outer_;
}

void RaiseError(int number) {
  if (t_current_frame == nullptr) return;
  const int recorded = number == 0 ? static_cast<int>(ErrorNumber::kZeroError) : number;
  t_current_frame->word_ = static_cast<ErrorWord>(kErrorWordTag | (recorded & 0xFF));
}

}  // namespace tavrin
