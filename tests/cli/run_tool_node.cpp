// Child-process runner for the tool's tests in the WebAssembly build: the
// test runs under node, which cannot fork, so node's child_process starts the
// tool (itself a node program) with standard input, output and error on
// temporary files, as the POSIX runner does.
#include <emscripten.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "run_tool.h"
#include "temp_file.h"

// Runs words[0] with words[1..count) and returns its exit status, or -1 when
// it did not exit normally (a signal, or it could not be started).
// clang-format off
EM_JS(int, tavrin_spawn_sync,
      (const char* const* words, int count, const char* inPath, const char* outPath,
       const char* errPath), {
  const childProcess = require('child_process');
  const fs = require('fs');
  const args = [];
  for (let k = 0; k < count; ++k) args.push(UTF8ToString(HEAPU32[(words >> 2) + k]));
  const files = [fs.openSync(UTF8ToString(inPath), 'r'), fs.openSync(UTF8ToString(outPath), 'w'),
                 fs.openSync(UTF8ToString(errPath), 'w')];
  const result = childProcess.spawnSync(args[0], args.slice(1), {stdio: files});
  for (const fd of files) fs.closeSync(fd);
  return result.status === null ? -1 : result.status;
});
// clang-format on

namespace tavrin::test {

ToolRun RunTool(const std::vector<std::string>& args, const std::string& input,
                const std::string& stdoutPath) {
  TempFile in, out, err;
  in.Write(input);

  // The emulator's words (node and its flags), separated by spaces, first.
  std::vector<std::string> words;
  std::istringstream emulator(TAVRIN_TOOL_EMULATOR);
  for (std::string word; emulator >> word;) words.push_back(word);
  words.push_back(TAVRIN_TOOL_PATH);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<const char*> pointers;
  for (const std::string& word : words) pointers.push_back(word.c_str());

  ToolRun run;
  run.status = tavrin_spawn_sync(
      pointers.data(), static_cast<int>(pointers.size()), in.path().c_str(),
      stdoutPath.empty() ? out.path().c_str() : stdoutPath.c_str(), err.path().c_str());
  run.out = out.Read();
  run.err = err.Read();
  return run;
}

}  // namespace tavrin::test
