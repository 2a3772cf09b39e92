// calc [--raw] N A V I: one reading typed on the command line.
#include <array>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/output.h"
#include "cli/reading.h"

namespace tavrin::cli {

namespace {
constexpr std::string_view kCalcUsage = "tavrin calc [--raw] N A V I";
constexpr std::size_t kInputCount = 4;
}  // namespace

int RunCalc(Args args) {
  // "--raw" may stand anywhere before a "--"; everything after "--" is an input.
  bool raw = false;
  bool optionsEnded = false;
  std::vector<const char*> inputs;
  for (const char* argument : args) {
    const std::string_view text(argument);
    if (!optionsEnded && text == "--raw") {
      raw = true;
    } else if (!optionsEnded && text == "--") {
      optionsEnded = true;
    } else {
      inputs.push_back(argument);
    }
  }
  RequireCount(inputs, kInputCount, kCalcUsage);

  const ReadingResult result = ComputeReading(inputs[0], inputs[1], inputs[2], inputs[3]);
  WriteLine(stdout, raw ? DoubleText17(result.rho) : result.text);
  return kExitOk;
}

}  // namespace tavrin::cli
