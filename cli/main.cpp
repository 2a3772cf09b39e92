// Entry of the tavrin tool: sets the floating-point control word as the
// program's start-up does, then runs the command named by the first argument.
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <initializer_list>
#endif

#include "cli/args_from.h"
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

int UsageFailure(const std::string& message) {
  std::fprintf(stderr, "tavrin: %s (try 'tavrin --help')\n", message.c_str());
  return tavrin::cli::kExitUsage;
}

// Runs what the arguments ask for; returns the exit status.
int RunCommandLine(int argc, char** argv) {
  if (argc < 2) return UsageFailure("no command given");
  const std::string_view first(argv[1]);
  if (first == "--help" || first == "-h") {
    tavrin::cli::PrintHelp(stdout);
    return tavrin::cli::kExitOk;
  }
  if (first == "--version") {
    tavrin::cli::PrintVersion(stdout);
    return tavrin::cli::kExitOk;
  }
  try {
    if (first == "--args-from") {
      if (argc != 3) return UsageFailure("--args-from needs one FILE");
      return tavrin::cli::RunArgsFrom(argv[2]);
    }
    const tavrin::cli::Command* command = tavrin::cli::FindCommand(first);
    if (command == nullptr) return UsageFailure("unknown command '" + std::string(first) + "'");
    return command->run(std::span<const char* const>(argv + 2, static_cast<std::size_t>(argc - 2)));
  } catch (const tavrin::cli::UsageError& error) {
    return UsageFailure(error.what());
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
