// Main of the benchmarks: the x87 control word as the program's start-up sets
// it, then every registered benchmark.
#include <benchmark/benchmark.h>

#include "runtime/fp_control.h"

int main(int argc, char** argv) {
  tavrin::SetStartupFpuControl();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
