// digits COUNT VALUE...: the decimal digits of each value, its decimal
// exponent and its sign, as the digit generator gives them.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/output.h"
#include "numtext/numtext.h"

namespace tavrin::cli {

namespace {
// The largest count the formatter itself asks for; more digits are never
// significant (the generator gives at most 18 and a "0").
constexpr int kMaxDigitCount = 4932;
}  // namespace

int RunDigits(Args args) {
  RequireAtLeast(args, 2, "tavrin digits COUNT VALUE...");
  const int count = ParseIntArgument(args[0], 1, kMaxDigitCount, "COUNT");
  std::vector<double> values;
  for (const char* argument : args.subspan(1)) {
    values.push_back(ParseDoubleArgument(argument, "value"));
  }

  // The generator's contract: at least count + 1 bytes and never fewer than 20.
  std::vector<char> buffer(static_cast<std::size_t>(std::max(count + 1, kMinDigitBuffer)), '\0');
  for (const double value : values) {
    std::fill(buffer.begin(), buffer.end(), '\0');
    const DecimalDigits digits =
        GenerateDecimalDigits(static_cast<Extended>(value), count, buffer.data());
    std::string line(buffer.data(), strnlen(buffer.data(), buffer.size()));
    line += ' ';
    line += std::to_string(digits.exponent);
    line += digits.negative ? " -" : " +";
    WriteLine(stdout, line);
  }
  return kExitOk;
}

}  // namespace tavrin::cli
