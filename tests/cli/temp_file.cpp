// Temporary files for the tool runners: named by GetTempFileName on Windows
// and by mkstemp elsewhere (the WebAssembly build reaches the host's files).
#include "temp_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tavrin::test {

TempFile::TempFile() {
#ifdef _WIN32
  char folder[MAX_PATH + 1];
  char name[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length > sizeof folder || GetTempFileNameA(folder, "tav", 0, name) == 0) {
    throw std::runtime_error("no temporary file");
  }
#else
  char name[] = "/tmp/tavrin_cli_test_XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) throw std::runtime_error("mkstemp failed");
  close(fd);
#endif
  path_ = std::string(name);
}

TempFile::~TempFile() {
  std::remove(path_.c_str());
}

void TempFile::Write(const std::string& bytes) const {
  std::ofstream(path_, std::ios::binary) << bytes;
}

std::string TempFile::Read() const {
  std::ifstream in(path_, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace tavrin::test
