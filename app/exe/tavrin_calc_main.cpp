// Entry of the Windows calculator program: the run-time frame starts the
// process, runs the calculator and ends the process with its result.
#include "app/calculator.h"
#include "platform/win32.h"
#include "runtime/start_process.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*showState*/) {
  // The frame reads the start-up values itself and never returns.
  tavrin::StartProcess(tavrin::RunCalculator);
}
