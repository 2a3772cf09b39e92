// Main of every test executable: the x87 control word as start-up sets it
// (Windows starts programs at 53-bit precision), then all tests.
#include <gtest/gtest.h>

#include "runtime/fp_control.h"

int main(int argc, char** argv) {
  tavrin::SetStartupFpuControl();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
