// Runs the built tavrin tool as a child process with given arguments and
// standard input, and collects its standard output, standard error and exit
// status.
#pragma once

#include <string>
#include <vector>

namespace tavrin::test {

struct ToolRun {
  std::string out;
  std::string err;
  int status = -1;  // the exit status; -1 when the tool did not exit normally
};

// A stdoutPath that refuses every write: on Windows the runner gives the tool
// a standard output handle opened for reading only.
#ifdef _WIN32
inline constexpr char kUnwritableOutput[] = "<read-only>";
#else
inline constexpr char kUnwritableOutput[] = "/dev/full";
#endif

// Runs the tool with `args` (after the program name) and `input` on stdin.
// A non-empty `stdoutPath` sends standard output there instead of collecting
// it (run.out stays empty).
ToolRun RunTool(const std::vector<std::string>& args, const std::string& input = "",
                const std::string& stdoutPath = "");

}  // namespace tavrin::test
