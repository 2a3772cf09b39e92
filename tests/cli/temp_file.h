// A temporary file for a child's standard input, output or error, removed
// when it goes; its bytes are written and read whole. Shared by the tool
// runners of every build.
#pragma once

#include <string>

namespace tavrin::test {

class TempFile {
 public:
  // Makes an empty file of a new name; throws std::runtime_error when none
  // can be made.
  TempFile();
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const std::string& path() const { return path_; }
  void Write(const std::string& bytes) const;
  std::string Read() const;

 private:
  std::string path_;
};

}  // namespace tavrin::test
