// digits COUNT VALUE...: the decimal digits of each value, its decimal
// exponent and its sign, as the digit generator gives them.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "numtext/numtext.h"

namespace tavrin::cli {

namespace {
// The largest count the formatter itself asks for; more digits are never
// significant (the generator gives at most 18 and a "0").
constexpr int kMaxDigitCount = 4932;
}  // namespace

CommandRun DeclareDigits(CLI::App& app) {
  app.description(
      "tavrin digits [--] COUNT VALUE...\n\nThe first COUNT decimal digits (1 to 4932) of each "
      "VALUE (read by C's strtod),\n"
      "its decimal exponent and its sign, as the calculator's digit generator gives them.");
  app.footer(std::string("Output: one line a value: DIGITS EXPONENT SIGN.\n") +
             std::string(kExitStatusHelp));
  TakeTexts(app);
  return [&app] {
    const std::vector<std::string> texts = Texts(app);
    if (texts.size() < 2) throw UsageError("expected a COUNT and at least one VALUE");
    const int count = ParseIntArgument(texts[0], 1, kMaxDigitCount, "COUNT");
    std::vector<double> values;
    for (std::size_t k = 1; k < texts.size(); ++k) {
      values.push_back(ParseDoubleArgument(texts[k], "value"));
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
  };
}

}  // namespace tavrin::cli
