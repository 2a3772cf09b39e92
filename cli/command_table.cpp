// The table of commands, the help text and the version line.
#include <algorithm>
#include <array>

#include "cli/commands.h"
#include "sounding/column_names.h"

namespace tavrin::cli {

namespace {

constexpr std::array kCommands{
    Command{"calc", RunCalc,
            "calc [--raw] N A V I    the calculator's result text for inputs n, a (ft),\n"
            "                        v (volts), i (amps); --raw: rho with 17 digits"},
    Command{"number", RunNumber,
            "number TEXT...          each text converted as typed into a box (21 digits)"},
    Command{"format", RunFormat,
            "format MASK VALUE...    each value (a C double) under the picture mask"},
    Command{"digits", RunDigits,
            "digits COUNT VALUE...   decimal digits, exponent and sign of each value\n"
            "                        (COUNT from 1 to 4932)"},
    Command{"batch", RunBatch,
            "batch [FILE]            readings 'n a v i' per line (commas, tabs or spaces;\n"
            "                        '#' comments; optional header) from FILE or stdin,\n"
            "                        CSV out: n,a,v,i,rho,text; exit 1 if lines were skipped"},
    Command{"sounding", RunSounding,
            "sounding [FILE] [--units ft|m] [--plot OUT] [--column ROLE=NAME]...\n"
            "         [--drop LINE,...] [--join [--join-to MN2]]\n"
            "                        one sounding's field sheet (FILE or stdin). Its header\n"
            "                        (the first line whose names make a layout; title lines\n"
            "                        above it skipped) names the columns, any order, any\n"
            "                        case, units in brackets applied (see field sheets\n"
            "                        below); others ignored. Layouts:\n"
            "                          ab2,mn2,v,i  AB/2, MN/2, volts, amps (pairs: repeats)\n"
            "                          ab2,mn2,r    R = V/I; several R columns are repeats:\n"
            "                                       averaged, spread reported\n"
            "                          ab2,rho      apparent resistivities (mn2 optional)\n"
            "                          n,a,v,i      the calculator's readings and numbers\n"
            "                                       (no header: this layout)\n"
            "                        K = pi (AB/2^2 - MN/2^2) / (2 MN/2) with double pi;\n"
            "                        n,a,v,i lines: AB/2 = (n + 1/2) a, MN/2 = a/2 and K, rho\n"
            "                        as the calculator computes them, whose single-precision\n"
            "                        pi (3.14159012) makes them 8.1e-7 smaller (relative)\n"
            "                        than the same reading as ab2,mn2. A sheet's own K and\n"
            "                        rho beside the raw readings are checked (0.5 %).\n"
            "                        Separators: the header's (semicolon, tab, comma or\n"
            "                        blanks); decimal commas read where the sheet uses them.\n"
            "                        CSV out: ab2,mn2,k,rho (mn2, k empty without MN/2),\n"
            "                        each MN/2 segment together, in input order; with\n"
            "                        repeats also repeats,spread (sample standard deviation\n"
            "                        over the mean); error where the sheet gives one; shift\n"
            "                        with --join. Skipped lines, warnings and notes on\n"
            "                        stderr; exit 1 if lines were skipped.\n"
            "                        --units: names lengths, ft (default) or m; a header's\n"
            "                        unit names them without it. --column ROLE=NAME: the\n"
            "                        column NAME holds ROLE. --drop: leave those lines out.\n"
            "                        --join: multiply each MN/2 segment by the factor that\n"
            "                        meets its neighbour at their overlap, chained to the\n"
            "                        largest MN/2 (or --join-to MN2). --plot OUT.svg|.png|\n"
            "                        .pdf: the sounding curve"},
    Command{"forward", RunForward,
            "forward --rho R1,...,RN --thick H1,...,H(N-1) [--mn2 L] [--units ft|m]\n"
            "        [--exact] [--plot OUT [--data FILE]] AB2... | --ab2 FROM:TO:PER_DECADE\n"
            "                        apparent resistivities of N layers (1 to 30, the last\n"
            "                        a half-space) at each AB/2; --ab2: log-spaced, both\n"
            "                        ends included; --model FILE instead of --rho/--thick:\n"
            "                        one layer a line, resistivity and thickness, the last\n"
            "                        thickness empty (separators as batch). Ideal array,\n"
            "                        or MN/2 = L with --mn2. Fast digital filter (0.1 %);\n"
            "                        --exact: numerical integration (1e-9, slow).\n"
            "                        CSV out: ab2,rho. --plot: the model's curve and step\n"
            "                        profile, with --data FILE's readings (as sounding,\n"
            "                        with its sheet options)"},
    Command{"invert", RunInvert,
            "invert [FILE] --layers N|auto [--error PERCENT] [--units ft|m] [--plot OUT]\n"
            "       [--json]         a model of N layers (1 to 8, the last a half-space)\n"
            "                        fitted to a sounding (layouts as sounding) by\n"
            "                        Levenberg-Marquardt on ln rho and ln h from several\n"
            "                        starts read off the curve, residuals weighted by\n"
            "                        --error (default 3 %); readings with MN/2 above 1 %\n"
            "                        of AB/2 modelled as that finite array, others ideal.\n"
            "                        CSV out: per layer rho, thickness, top, each with its\n"
            "                        factor (exp of the log standard deviation); then RMS\n"
            "                        misfit %, chi2/dof, iterations; warnings (poor fit,\n"
            "                        unresolved values, only h/rho or h*rho resolved).\n"
            "                        --layers auto: 1 to 6 layers, chosen by BIC = chi2 +\n"
            "                        P ln n: the fewest layers within 2 of the least BIC,\n"
            "                        with the table of trials. --fit-shifts: one factor per\n"
            "                        MN/2 segment fitted with the layers (the largest\n"
            "                        MN/2's fixed at 1). Sheet options as sounding;\n"
            "                        readings with their own error weighted by it (never\n"
            "                        below --error).\n"
            "                        --json: one JSON object. --plot: data, fitted curve,\n"
            "                        residuals and the model with its uncertainty"},
};

}  // namespace

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
      "usage: tavrin COMMAND ARGUMENTS...\n"
      "Apparent resistivity of Schlumberger soundings, rho = pi n (n+1) a V / I,\n"
      "with the calculator's own number reading and \"###.#\" result text.\n\n"
      "commands:\n",
      out);
  for (const Command& command : kCommands) {
    // Every line of a synopsis, its continuation lines included, is indented.
    std::string_view rest = command.synopsis;
    while (!rest.empty()) {
      const std::size_t end = std::min(rest.find('\n'), rest.size());
      std::fprintf(out, "  %.*s\n", static_cast<int>(end), rest.data());
      rest.remove_prefix(std::min(end + 1, rest.size()));
    }
  }
  std::fputs("\nfield sheets: the header's names for each column (compared in lower case\n"
             "without blanks and punctuation; a unit in brackets after the name):\n",
             out);
  std::fputs(sounding::ColumnNamesHelp().c_str(), out);
  std::fputs(
      "\n  --args-from FILE        each line of FILE (\"-\": stdin) is one command and\n"
      "                        its arguments, tab-separated, with the escapes \\t,\n"
      "                        \\n, \\\\ and \\xHH; run in order, wrong lines reported\n"
      "                        on stderr with their number; exit: the largest status\n"
      "  --help                  this text\n"
      "  --version               the version\n\n"
      "exit status: 0 done, 1 batch, sounding or --data lines skipped, 2 wrong usage,\n"
      "unreadable file or unwritable plot\n",
      out);
}

void PrintVersion(std::FILE* out) {
  std::fputs("tavrin " TAVRIN_VERSION "\n", out);
}

}  // namespace tavrin::cli
