// Child-process runner for the tool's tests on Windows: the tool beside the
// test executable is started with CreateProcess, its command line quoted as
// the C library's start-up splits it again, and its standard handles on
// temporary files (no console and no window; large inputs and outputs cannot
// deadlock).
#include <windows.h>

#include <sstream>
#include <stdexcept>
#include <string>

#include "run_tool.h"
#include "temp_file.h"

namespace tavrin::test {

namespace {

// A handle the child inherits, closed when it goes.
class InheritedHandle {
 public:
  InheritedHandle(const std::string& path, DWORD access, DWORD creation) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    handle_ = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                          creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  }
  ~InheritedHandle() { CloseHandle(handle_); }
  InheritedHandle(const InheritedHandle&) = delete;
  InheritedHandle& operator=(const InheritedHandle&) = delete;

  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// An exit code with the error bits of an NTSTATUS: the process ended by an
// exception (an access violation, say), not by exit().
constexpr DWORD kExceptionStatusBits = 0xC0000000;

// `word` as one argument of a command line the C library splits: inside
// quotes, a run of backslashes is doubled where a quote (or the closing
// quote) follows it, and a quote is escaped.
std::string Quoted(const std::string& word) {
  if (!word.empty() && word.find_first_of(" \t\n\v\"") == std::string::npos) return word;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : word) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') backslashes = 2 * backslashes + 1;
    quoted.append(backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

// The tool: the file of TAVRIN_TOOL_PATH's name (a path on the build
// machine) in the folder of the running test executable, where both are built.
std::string ToolPath() {
  char self[MAX_PATH + 1];
  const DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
  if (length == 0 || length >= sizeof self) throw std::runtime_error("no module file name");
  const std::string test(self, length), built(TAVRIN_TOOL_PATH);
  return test.substr(0, test.find_last_of("\\/") + 1) + built.substr(built.find_last_of("\\/") + 1);
}

}  // namespace

ToolRun RunTool(const std::vector<std::string>& args, const std::string& input,
                const std::string& stdoutPath) {
  TempFile in, out, err;
  in.Write(input);
  const std::string tool = ToolPath();
  std::string commandLine = Quoted(tool);
  for (const std::string& arg : args) commandLine += " " + Quoted(arg);

  const bool unwritable = stdoutPath == kUnwritableOutput;
  const InheritedHandle input_(in.path(), GENERIC_READ, OPEN_EXISTING);
  // Output that cannot be written: a handle without write access.
  const InheritedHandle output(unwritable || stdoutPath.empty() ? out.path() : stdoutPath,
                               unwritable ? GENERIC_READ : GENERIC_WRITE,
                               unwritable ? OPEN_EXISTING : CREATE_ALWAYS);
  const InheritedHandle error(err.path(), GENERIC_WRITE, CREATE_ALWAYS);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input_.get();
  startup.hStdOutput = output.get();
  startup.hStdError = error.get();
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(tool.c_str(), commandLine.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                      nullptr, nullptr, &startup, &process)) {
    throw std::runtime_error("cannot start " + tool + ": error " + std::to_string(GetLastError()));
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  const BOOL got = GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);

  ToolRun run;
  run.out = stdoutPath.empty() ? out.Read() : "";
  run.err = err.Read();
  run.status =
      !got || (code & kExceptionStatusBits) == kExceptionStatusBits ? -1 : static_cast<int>(code);
  return run;
}

}  // namespace tavrin::test
