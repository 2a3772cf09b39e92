// calc [--raw] N A V I: one reading typed on the command line.
#include <memory>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "cli/reading.h"

namespace tavrin::cli {

namespace {
constexpr std::size_t kInputCount = 4;
}  // namespace

CommandRun DeclareCalc(CLI::App& app) {
  app.description(
      "tavrin calc [--raw] [--] N A V I\n\nThe text the calculator's result box shows for the four "
      "typed inputs n, a (ft),\n"
      "v (volts) and i (amps): rho = pi n (n+1) a V / I under the mask \"###.#\". Each\n"
      "input is read as the window reads its box (\"&H2\", \"2.0V\", \"1,5\" and the rest).\n"
      "The options come before the inputs; \"--\" ends them (for an input \"--raw\").");
  auto raw = std::make_shared<bool>(false);
  AddFlag(app, "--raw", *raw, "rho itself, with 17 significant digits");
  app.footer(std::string("Output: one line, the result text (or rho).\n") +
             std::string(kExitStatusHelp));
  TakeTexts(app);
  return [&app, raw] {
    const std::vector<std::string> inputs = Texts(app);
    if (inputs.size() != kInputCount) {
      throw UsageError("expected 4 inputs N A V I, got " + std::to_string(inputs.size()));
    }
    const ReadingResult result = ComputeReading(inputs[0], inputs[1], inputs[2], inputs[3]);
    WriteLine(stdout, *raw ? DoubleText17(result.rho) : result.text);
    return kExitOk;
  };
}

}  // namespace tavrin::cli
