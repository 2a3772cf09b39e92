// Allocation failure on demand for the engine's records: the test binary
// that links nothrow_failure.cpp replaces the non-throwing single-object
// operator new, which then gives null for the next `count` requests made on
// the calling thread.
#pragma once

namespace tavrin::testing {

void FailNextNothrowNew(int count = 1);

}  // namespace tavrin::testing
