// The tool's commands. Each takes the arguments after its name, writes its
// results to stdout and returns the exit status; wrong usage throws
// UsageError before anything is written.
#pragma once

#include <cstdio>
#include <span>
#include <string_view>

#include "cli/args.h"

namespace tavrin::cli {

// calc [--raw] N A V I: the text the calculator shows for four typed inputs,
// or with --raw the resistivity with 17 significant digits.
int RunCalc(Args args);

// number TEXT...: each text converted as a text box's contents, 21 digits.
int RunNumber(Args args);

// format MASK VALUE...: each value (strtod) formatted under the mask.
int RunFormat(Args args);

// digits COUNT VALUE...: the decimal digits, exponent and sign of each value.
int RunDigits(Args args);

// batch [FILE]: one reading per line in, CSV out (see batch_command.cpp).
int RunBatch(Args args);

// sounding [FILE] [--units ft|m] [--plot OUT]: one sounding's field sheet in,
// its readings' AB/2, MN/2, K and apparent resistivity out as CSV.
int RunSounding(Args args);

// forward --rho ... --thick ... AB2...: the apparent resistivities of a
// layered earth as CSV ab2,rho (see forward_command.cpp).
int RunForward(Args args);

// invert [FILE] --layers N|auto [...]: a layered model fitted to a sounding,
// with its uncertainty and fit, as CSV or JSON (see invert_command.cpp).
int RunInvert(Args args);

struct Command {
  std::string_view name;
  int (*run)(Args args);
  std::string_view synopsis;  // the command's line in the help text
};

// Every command, in the order the help lists them.
std::span<const Command> Commands();

// Finds a command by name; nullptr when there is none.
const Command* FindCommand(std::string_view name);

// The help text (to stdout) and the version line.
void PrintHelp(std::FILE* out);
void PrintVersion(std::FILE* out);

}  // namespace tavrin::cli
