// The table of commands, the tool's help text and the version line.
#include <algorithm>
#include <array>

#include "cli/commands.h"

namespace tavrin::cli {

namespace {

constexpr std::array kCommands{
    Command{"calc", "the calculator's result text for the inputs n, a (ft), v, i", DeclareCalc},
    Command{"number", "each text converted as typed into a box (21 digits)", DeclareNumber},
    Command{"format", "each value under a picture mask", DeclareFormat},
    Command{"digits", "the decimal digits, exponent and sign of each value", DeclareDigits},
    Command{"batch", "many calculator readings, n a v i a line, as CSV", DeclareBatch},
    Command{"sounding", "one sounding's field sheet read: AB/2, MN/2, K, rho", DeclareSounding},
    Command{"forward", "a layered earth's apparent resistivities", DeclareForward},
    Command{"invert", "a layered model fitted to a sounding, with its uncertainty", DeclareInvert},
};

}  // namespace

const std::string_view kExitStatusHelp =
    "Exit status: 0 done; 1 done, but some input lines were left out; 2 wrong usage\n"
    "(or an output file that cannot be written); 3 input that cannot be read (a\n"
    "missing file, a directory, no readings); 4 a model or fit that cannot be\n"
    "computed.\n";

std::span<const Command> Commands() {
  return kCommands;
}

const Command* FindCommand(std::string_view name) {
  for (const Command& command : kCommands) {
    if (command.name == name) return &command;
  }
  return nullptr;
}

void PrintHelp(std::FILE* out) {
  std::fputs(
      "usage: tavrin COMMAND [ARGUMENTS...]\n"
      "       tavrin COMMAND --help\n"
      "Apparent resistivity of Schlumberger soundings, rho = pi n (n+1) a V / I,\n"
      "with the calculator's own number reading and \"###.#\" result text, and the\n"
      "survey work around it.\n\n"
      "Commands:\n",
      out);
  std::size_t width = 0;
  for (const Command& command : kCommands) width = std::max(width, command.name.size());
  for (const Command& command : kCommands) {
    std::fprintf(out, "  %-*.*s  %.*s\n", static_cast<int>(width),
                 static_cast<int>(command.name.size()), command.name.data(),
                 static_cast<int>(command.summary.size()), command.summary.data());
  }
  std::fputs(
      "\nOptions:\n"
      "  --args-from FILE  each line of FILE (\"-\": stdin) is one command and its\n"
      "                    arguments, tab-separated, with the escapes \\t, \\n, \\\\ and\n"
      "                    \\xHH; run in order, errors reported as FILE:LINE: reason;\n"
      "                    exit status: the largest of the lines'\n"
      "  -h, --help        this text\n"
      "  --version         the version\n\n"
      "Options take their value as --opt VALUE or --opt=VALUE; \"--\" ends the options.\n",
      out);
  std::fputs(kExitStatusHelp.data(), out);
}

std::string_view Version() {
  return TAVRIN_VERSION;
}

void PrintVersion(std::FILE* out) {
  std::fprintf(out, "tavrin %s\n", Version().data());
}

}  // namespace tavrin::cli
