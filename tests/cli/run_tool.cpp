// Child-process runner for the tool's tests. Standard input, output and error
// go through temporary files, so large inputs and outputs cannot deadlock.
#include "run_tool.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>
#include <stdexcept>

#include "temp_file.h"

namespace tavrin::test {

namespace {

// Points descriptor `target` at `path` (opened with `flags`); child side only.
void Redirect(int target, const std::string& path, int flags) {
  const int fd = open(path.c_str(), flags, 0600);
  if (fd < 0 || dup2(fd, target) < 0) _exit(127);
  close(fd);
}

}  // namespace

ToolRun RunTool(const std::vector<std::string>& args, const std::string& input,
                const std::string& stdoutPath) {
  TempFile in, out, err;
  in.Write(input);

  std::vector<std::string> words;
#ifdef TAVRIN_TOOL_EMULATOR
  // The emulator's words, separated by spaces, come first.
  std::istringstream emulator(TAVRIN_TOOL_EMULATOR);
  for (std::string word; emulator >> word;) words.push_back(word);
#endif
  words.push_back(TAVRIN_TOOL_PATH);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    Redirect(STDIN_FILENO, in.path(), O_RDONLY);
    Redirect(STDOUT_FILENO, stdoutPath.empty() ? out.path() : stdoutPath, O_WRONLY | O_TRUNC);
    Redirect(STDERR_FILENO, err.path(), O_WRONLY | O_TRUNC);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int wstatus = 0;
  while (waitpid(child, &wstatus, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("waitpid failed");
  }
  ToolRun run;
  run.out = out.Read();
  run.err = err.Read();
  run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  return run;
}

}  // namespace tavrin::test
