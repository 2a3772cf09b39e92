// format MASK VALUE...: each value formatted under a picture mask.
#include <vector>

#include "cli/commands.h"
#include "cli/output.h"
#include "numtext/numtext.h"

namespace tavrin::cli {

int RunFormat(Args args) {
  RequireAtLeast(args, 2, "tavrin format MASK VALUE...");
  // Every value is checked before anything is written.
  std::vector<double> values;
  for (const char* argument : args.subspan(1)) {
    values.push_back(ParseDoubleArgument(argument, "value"));
  }
  const TextValue mask = ArgumentText(args[0]);
  for (const double value : values) {
    const TextValue text = FormatNumber(static_cast<Extended>(value), mask);
    WriteLine(stdout, text.view());
  }
  return kExitOk;
}

}  // namespace tavrin::cli
