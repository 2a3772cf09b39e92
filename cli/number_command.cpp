// number TEXT...: each text converted as the calculator converts a typed box.
#include "cli/commands.h"
#include "cli/output.h"
#include "numtext/numtext.h"

namespace tavrin::cli {

int RunNumber(Args args) {
  RequireAtLeast(args, 1, "tavrin number TEXT...");
  for (const char* argument : args) {
    const TextValue text = ArgumentText(argument);
    WriteLine(stdout, ExtendedText21(TextToNumber(text)));
  }
  return kExitOk;
}

}  // namespace tavrin::cli
