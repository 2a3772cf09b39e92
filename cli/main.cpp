// Entry of the tavrin tool: sets the floating-point control word as the
// program's start-up does, then runs the command named by the first argument.
#include <cstdio>
#include <exception>
#include <span>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "runtime/fp_control.h"

namespace {

int UsageFailure(const char* message) {
  std::fprintf(stderr, "tavrin: %s (try 'tavrin --help')\n", message);
  return tavrin::cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  tavrin::SetStartupFpuControl();
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
  const tavrin::cli::Command* command = tavrin::cli::FindCommand(first);
  if (command == nullptr) {
    const std::string message = "unknown command '" + std::string(first) + "'";
    return UsageFailure(message.c_str());
  }

  int status = tavrin::cli::kExitOk;
  try {
    status =
        command->run(std::span<const char* const>(argv + 2, static_cast<std::size_t>(argc - 2)));
  } catch (const tavrin::cli::UsageError& error) {
    return UsageFailure(error.what());
  }
  // A result that could not be written is a failure, not a success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fputs("tavrin: could not write the output\n", stderr);
    return tavrin::cli::kExitUsage;
  }
  return status;
}
