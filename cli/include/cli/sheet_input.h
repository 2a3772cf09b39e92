// A field sheet as the survey commands (sounding, invert, forward --data)
// take it: the options that say how to read it (--column, --drop, --join,
// --join-to), and reading it with every line, warning and note reported.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/args.h"

namespace CLI {
class App;
}  // namespace CLI
#include "sounding/join.h"
#include "sounding/sounding.h"

namespace tavrin::cli {

struct SheetOptions {
  sounding::ReadOptions read;
  bool join = false;
  std::optional<double> joinTo;  // --join-to MN2
};

// The sheet options as given on the command line.
struct SheetArguments {
  std::vector<std::string> columns;  // --column ROLE=NAME, each
  std::vector<std::string> drops;    // --drop LINE,..., each
  bool join = false;
  std::string joinTo;  // empty: not given
};

// Declares --column, --drop, --join and --join-to on a command's parser.
void DeclareSheetOptions(CLI::App& app, SheetArguments& arguments);

// The options the arguments ask for; throws UsageError for a wrong value or
// --join-to without --join.
SheetOptions SheetOptionsOf(const SheetArguments& arguments);

// True when some sheet option was given.
bool AnySheetOption(const SheetArguments& arguments);

// The field-sheet part of the survey commands' help: the layouts, the
// column names and their units.
std::string SheetHelp();

struct SheetInput {
  sounding::Sounding sounding;
  std::optional<sounding::JoinResult> join;
  int skipped = 0;  // lines that made no reading
};

// Reads the sheet at `path` ("-": stdin). Reports on stderr each line that
// makes no reading, each warning and each note, as FILE:LINE: reason (FILE:
// for the sheet as a whole). Throws InputError when the file or the sheet
// cannot be read or gives no reading. With `options.join`, joins the
// segments and says by what factors; without, warns where neighbouring
// segments disagree.
SheetInput ReadSheet(const std::string& path, const SheetOptions& options,
                     std::optional<sounding::LengthUnit> unit);

// ReadSheet's reading and reports, without the joining or the segments'
// check (for a sheet of many soundings, whose segments are each one's own).
SheetInput ReadSheetLines(const std::string& path, const SheetOptions& options,
                          std::optional<sounding::LengthUnit> unit);

// ReadSheet's last step for one sounding: with `options.join` its segments
// joined, else a warning where neighbours disagree; `name` heads the
// messages ("FILE" or "FILE: station S"). Throws InputError when joining
// cannot be done.
void JoinOrCheckSegments(SheetInput& input, const SheetOptions& options, const std::string& name);

// The length unit of the output: --units, else the sheet's, else feet.
sounding::LengthUnit OutputUnit(std::optional<sounding::LengthUnit> given,
                                const sounding::Sounding& sounding);

}  // namespace tavrin::cli
