// format MASK VALUE...: each value formatted under a picture mask.
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "numtext/numtext.h"

namespace tavrin::cli {

CommandRun DeclareFormat(CLI::App& app) {
  app.description(
      "tavrin format [--] MASK VALUE...\n\nEach VALUE (read by C's strtod: \"1e300\", \"inf\", "
      "\"nan\", hexadecimal floats)\n"
      "formatted under the picture MASK as the calculator formats its result (\"###.#\").");
  app.footer(std::string("Output: one line a value, the formatted text.\n") +
             std::string(kExitStatusHelp));
  TakeTexts(app);
  return [&app] {
    const std::vector<std::string> texts = Texts(app);
    if (texts.size() < 2) throw UsageError("expected a MASK and at least one VALUE");
    // Every value is checked before anything is written.
    std::vector<double> values;
    for (std::size_t k = 1; k < texts.size(); ++k) {
      values.push_back(ParseDoubleArgument(texts[k], "value"));
    }
    const TextValue mask = ArgumentText(texts[0]);
    for (const double value : values) {
      WriteLine(stdout, FormatNumber(static_cast<Extended>(value), mask).view());
    }
    return kExitOk;
  };
}

}  // namespace tavrin::cli
