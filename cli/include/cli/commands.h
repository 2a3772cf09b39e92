// The tool's commands. Each declares its options on its own CLI11 parser and
// returns what runs it once they are parsed; the run writes the results to
// stdout and returns the exit status. Wrong usage throws UsageError before
// anything is written.
#pragma once

#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "cli/args.h"

namespace CLI {
class App;
}  // namespace CLI

namespace tavrin::cli {

// What runs a command with the options its parser has read.
using CommandRun = std::function<int()>;

// The command declarations: each sets its parser's description, options,
// positionals and footer (output and exit statuses) and returns its run.
CommandRun DeclareCalc(CLI::App& app);      // calc [--raw] N A V I
CommandRun DeclareNumber(CLI::App& app);    // number TEXT...
CommandRun DeclareFormat(CLI::App& app);    // format MASK VALUE...
CommandRun DeclareDigits(CLI::App& app);    // digits COUNT VALUE...
CommandRun DeclareBatch(CLI::App& app);     // batch [FILE]
CommandRun DeclareSounding(CLI::App& app);  // sounding [FILE] [options]
CommandRun DeclareForward(CLI::App& app);   // forward --rho ... AB2...
CommandRun DeclareInvert(CLI::App& app);    // invert [FILE] --layers N|auto ...

struct Command {
  std::string_view name;
  std::string_view summary;  // its row in the tool's table of commands
  CommandRun (*declare)(CLI::App& app);
};

// Every command, in the order the help lists them.
std::span<const Command> Commands();

// Finds a command by name; nullptr when there is none.
const Command* FindCommand(std::string_view name);

// Runs a whole command line (the arguments after the program's name):
// a command and its arguments, --help, --version or --args-from FILE.
// Returns the exit status; errors propagate as CommandError.
int RunArguments(std::span<const std::string> args);

// The tool's version, as --version gives it after "tavrin ".
std::string_view Version();

// The tool's help (to stdout) and its version line.
void PrintHelp(std::FILE* out);
void PrintVersion(std::FILE* out);

// The exit statuses as the help of every command states them.
extern const std::string_view kExitStatusHelp;

}  // namespace tavrin::cli
