// A field sheet as the survey commands (sounding, invert, forward --data)
// take it: the options that say how to read it (--column, --drop, --join,
// --join-to), and reading it with every line, warning and note reported.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/args.h"
#include "sounding/join.h"
#include "sounding/sounding.h"

namespace tavrin::cli {

struct SheetOptions {
  sounding::ReadOptions read;
  bool join = false;
  std::optional<double> joinTo;  // --join-to MN2
};

// The usage of the options, for the commands' usage lines.
inline constexpr std::string_view kSheetUsage =
    "[--column ROLE=NAME]... [--drop LINE,...] [--join [--join-to MN2]]";

// When args[k] is one of the sheet options, takes it (and its value,
// advancing k) into `options` and returns true. Throws UsageError for a
// wrong value.
bool TakeSheetOption(Args args, std::size_t& k, SheetOptions& options);

// Checks what only the whole command line can tell (--join-to without
// --join).
void CheckSheetOptions(const SheetOptions& options);

struct SheetInput {
  sounding::Sounding sounding;
  std::optional<sounding::JoinResult> join;
  int skipped = 0;  // lines that made no reading
};

// Reads the sheet at `path` ("-": stdin). Reports on stderr each line that
// makes no reading, each warning and each note, prefixed with `where`
// ("" or the file's name and ": "). Throws UsageError when the sheet
// cannot be read or gives no reading. With `options.join`, joins the
// segments and says by what factors; without, warns where neighbouring
// segments disagree.
SheetInput ReadSheet(const std::string& path, const SheetOptions& options,
                     std::optional<sounding::LengthUnit> unit, const std::string& where);

// The length unit of the output: --units, else the sheet's, else feet.
sounding::LengthUnit OutputUnit(std::optional<sounding::LengthUnit> given,
                                const sounding::Sounding& sounding);

}  // namespace tavrin::cli
