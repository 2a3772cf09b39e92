// A field sheet as the survey commands (sounding, invert, forward --data)
// take it: the options that say how to read it (--column, --drop, --join,
// --join-to), and reading it with every line, warning and note reported.
#pragma once

#include <optional>
#include <string>
#include <string_view>
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

// What reading a sheet has to say: a note, a warning, a line that made no
// reading (text: its reason) or one left out by --drop.
enum class SheetMessageKind { kNote, kWarning, kSkipped, kDropped };
struct SheetMessage {
  SheetMessageKind kind;
  long line;  // 1-based; 0 for the sheet as a whole
  std::string text;
};

// The message as the tool reports it, without "tavrin: " and the line feed:
// NAME:LINE: note: TEXT, NAME:LINE: warning: TEXT, NAME:LINE: REASON; line
// skipped, NAME:LINE: left out (--drop) (NAME: alone for the whole sheet).
std::string MessageLine(const std::string& name, const SheetMessage& message);

// Reads the sheet `text`, reported by `name`, into `messages` in the order
// the tool reports them. Throws InputError when the sheet cannot be read or
// gives no reading (`messages` then holds what came before). With
// `options.join`, joins the segments and says by what factors; without,
// warns where neighbouring segments disagree.
SheetInput ReadSheetText(std::string_view text, const std::string& name,
                         const SheetOptions& options, std::optional<sounding::LengthUnit> unit,
                         std::vector<SheetMessage>& messages);

// Reads the sheet at `path` ("-": stdin) with ReadSheetText and reports its
// messages on stderr (before an error, too). Throws InputError when the file
// cannot be read as ReadSheetText does.
SheetInput ReadSheet(const std::string& path, const SheetOptions& options,
                     std::optional<sounding::LengthUnit> unit);

// What `sounding` writes on stdout for the readings, as CSV with its line
// feeds: ab2,mn2,k,rho[,repeats,spread][,error][,shift].
std::string SoundingCsv(const sounding::Sounding& sounding, bool joined);

// The length unit of the output: --units, else the sheet's, else feet.
sounding::LengthUnit OutputUnit(std::optional<sounding::LengthUnit> given,
                                const sounding::Sounding& sounding);

}  // namespace tavrin::cli
