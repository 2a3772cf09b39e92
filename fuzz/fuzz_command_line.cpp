// Fuzzes the tool's whole command line: any argument vector for any command,
// over a small input file made from the same bytes. Beyond memory safety it
// checks that every run ends with an exit status from the documented set
// (0 to 4), whether by returning or by a CommandError; any other exception
// is a crash.
//
// The input is one line of arguments, tab-separated with the escapes of
// --args-from (\t, \n, \\, \xHH), then the file's bytes. An argument "@"
// names that file, "@dir" a directory. The file is also standard input.
// Every run happens in a folder of its own, and a "/" in an argument
// becomes "_", so that nothing (plots, --model-out) is written elsewhere.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "cli/args_from.h"
#include "cli/commands.h"
#include "runtime/fp_control.h"

namespace {

const char* const kInputName = "input.txt";
const char* const kDirectoryName = "folder";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("tavrin-fuzz-cli-" + std::to_string(getpid()));
  std::filesystem::create_directories(root / kDirectoryName);
  std::filesystem::current_path(root);
  tavrin::SetStartupFpuControl();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t end = std::min(bytes.find('\n'), bytes.size());
  const auto words = tavrin::cli::SplitEscapedLine(bytes.substr(0, end));
  if (!words) return 0;
  std::FILE* file = std::fopen(kInputName, "wb");
  if (file == nullptr) std::abort();
  const std::string_view rest = bytes.substr(std::min(end + 1, bytes.size()));
  std::fwrite(rest.data(), 1, rest.size(), file);
  std::fclose(file);
  if (std::freopen(kInputName, "rb", stdin) == nullptr) std::abort();

  std::vector<std::string> args;
  for (std::string word : *words) {
    word = word.c_str();  // as a real command line: up to the first zero byte
    for (char& c : word) c = c == '/' ? '_' : c;
    if (word == "@") word = kInputName;
    if (word == "@dir") word = kDirectoryName;
    args.push_back(word);
  }
  int status = 0;
  try {
    status = tavrin::cli::RunArguments(args);
  } catch (const tavrin::cli::CommandError& error) {
    status = error.status();
  }
  std::fflush(stdout);
  if (status < 0 || status > tavrin::cli::kExitNotComputable) {
    std::fprintf(stderr, "fuzz_command_line: exit status %d\n", status);
    std::abort();
  }
  return 0;
}
