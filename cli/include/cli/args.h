// The tool's exit statuses, the errors that end a command with one of them,
// and reading the values of arguments.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "runtime/text_value.h"

namespace tavrin::cli {

// Exit statuses of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitSkippedLines = 1;   // done, but some input lines were left out
inline constexpr int kExitUsage = 2;          // wrong command, option or value
inline constexpr int kExitUnreadable = 3;     // input that cannot be read
inline constexpr int kExitNotComputable = 4;  // a model or fit that cannot be computed

// An error that ends a command; what() is the message without the program's
// name. Each kind has its exit status.
class CommandError : public std::runtime_error {
 public:
  CommandError(int status, const std::string& message)
      : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

// Wrong usage: the only error whose message points to the help.
class UsageError : public CommandError {
 public:
  explicit UsageError(const std::string& message) : CommandError(kExitUsage, message) {}
};

// Input that cannot be read: a missing file, a directory, bytes that are no
// sheet or model. The message names the file (and the line: FILE:LINE: ...).
class InputError : public CommandError {
 public:
  explicit InputError(const std::string& message) : CommandError(kExitUnreadable, message) {}
};

// A model or fit that cannot be computed.
class ComputeError : public CommandError {
 public:
  explicit ComputeError(const std::string& message) : CommandError(kExitNotComputable, message) {}
};

// The name an input is reported by: the path, or "stdin" for "-".
std::string InputName(std::string_view path);

// The text a typed argument stands for, byte for byte, as a text box would
// hold it.
TextValue ArgumentText(std::string_view argument);

// A whole argument read by the C library's strtod ("inf", "-inf", "nan",
// "1e300", hexadecimal floats; out-of-range values become infinities or
// zeros). Throws UsageError when the argument is empty or not entirely a
// number; `what` names the argument in the message.
double ParseDoubleArgument(const std::string& argument, std::string_view what);

// A whole argument read as a decimal integer within [low, high]. Throws
// UsageError otherwise.
int ParseIntArgument(const std::string& argument, int low, int high, std::string_view what);

}  // namespace tavrin::cli
