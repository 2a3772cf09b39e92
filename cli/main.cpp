// Entry of the tavrin tool: sets the floating-point control word as the
// program's start-up does, then runs the command named by the first argument.
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <initializer_list>
#endif

#include "cli/commands.h"
#include "runtime/fp_control.h"

namespace {

// The tool's bytes are the same on every system: Windows' C library would
// otherwise write each "\n" as "\r\n" and drop "\r" (and stop at ^Z) on
// input, so the standard streams are put in binary mode before any use.
void UseBinaryStandardStreams() {
#ifdef _WIN32
  for (std::FILE* stream : {stdin, stdout, stderr}) _setmode(_fileno(stream), _O_BINARY);
#endif
}

// Runs what the arguments ask for; returns the exit status. An error is one
// line on stderr.
int RunCommandLine(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    return tavrin::cli::RunArguments(args);
  } catch (const tavrin::cli::CommandError& error) {
    std::fprintf(stderr, "tavrin: %s\n", error.what());
    return error.status();
  }
}

}  // namespace

int main(int argc, char** argv) {
  UseBinaryStandardStreams();
  tavrin::SetStartupFpuControl();
  const int status = RunCommandLine(argc, argv);
  // Output that could not be written is a failure, not a success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fputs("tavrin: could not write the output\n", stderr);
    return tavrin::cli::kExitUsage;
  }
  return status;
}
