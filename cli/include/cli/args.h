// Reading the tool's command-line arguments: wrong usage is reported by
// throwing UsageError, which main() turns into one line on stderr and exit
// status 2.
#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "runtime/text_value.h"

namespace tavrin::cli {

// Exit statuses of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitSkippedLines = 1;  // batch: some lines were not readings
inline constexpr int kExitUsage = 2;         // wrong command, arguments or file

// Wrong usage; what() is the message without the program name.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The arguments after the command name.
using Args = std::span<const char* const>;

// The text a typed argument stands for, byte for byte, as a text box would
// hold it.
TextValue ArgumentText(std::string_view argument);

// A whole argument read by the C library's strtod ("inf", "-inf", "nan",
// "1e300", hexadecimal floats; out-of-range values become infinities or
// zeros). Throws UsageError when the argument is empty or not entirely a
// number; `what` names the argument in the message.
double ParseDoubleArgument(const char* argument, std::string_view what);

// A whole argument read as a decimal integer within [low, high]. Throws
// UsageError otherwise.
int ParseIntArgument(const char* argument, int low, int high, std::string_view what);

// Throws UsageError unless `args` holds exactly / at least `count` arguments.
void RequireCount(Args args, std::size_t count, std::string_view usage);
void RequireAtLeast(Args args, std::size_t count, std::string_view usage);

}  // namespace tavrin::cli
