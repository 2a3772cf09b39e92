// number TEXT...: each text converted as the calculator converts a typed box.
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "numtext/numtext.h"

namespace tavrin::cli {

CommandRun DeclareNumber(CLI::App& app) {
  app.description(
      "tavrin number [--] TEXT...\n\nEach text converted to a number as the calculator converts "
      "the text of a box\n"
      "(decimal with the exponent letters E and D, radix literals \"&H\", \"&O\", \"&B\",\n"
      "trailing bytes ignored). \"--\" before a text that starts with \"-h\" or is \"--\".");
  app.footer(std::string("Output: one line a text, the extended value with 21 significant\n"
                         "digits (as C's \"%.21Lg\").\n") +
             std::string(kExitStatusHelp));
  TakeTexts(app);
  return [&app] {
    const std::vector<std::string> texts = Texts(app);
    if (texts.empty()) throw UsageError("expected at least one TEXT");
    for (const std::string& argument : texts) {
      WriteLine(stdout, ExtendedText21(TextToNumber(ArgumentText(argument))));
    }
    return kExitOk;
  };
}

}  // namespace tavrin::cli
