// batch [FILE]: many readings, one per line, from a file or stdin; CSV out.
//
// Each line holds n, a, v and i (see SplitFields for the separators). Blank
// lines and "#" comments are skipped; when the first line that is neither has
// a first field starting with a letter, it is a header and skipped too. Fields
// beyond the fourth are ignored. A line with fewer than four fields is
// reported on stderr with its number and skipped; the others are still
// processed, and the exit status is then 1.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/output.h"
#include "cli/reading.h"
#include "sounding/csv.h"

namespace tavrin::cli {

namespace {

using sounding::AppendCsvField;
using sounding::IsBlankOrComment;
using sounding::SplitFields;

constexpr std::size_t kFieldsPerReading = 4;
constexpr std::string_view kOutputHeader = "n,a,v,i,rho,text";

bool StartsWithLetter(std::string_view field) {
  return !field.empty() && std::isalpha(static_cast<unsigned char>(field.front())) != 0;
}

// Processes every line of `in`; returns the exit status.
int ProcessReadings(std::istream& in) {
  WriteLine(stdout, kOutputHeader);
  std::string line;
  std::string row;
  long lineNumber = 0;
  bool firstReadingLine = true;
  int status = kExitOk;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (IsBlankOrComment(line)) continue;
    const std::vector<std::string> fields = SplitFields(line);
    const bool isHeader = firstReadingLine && !fields.empty() && StartsWithLetter(fields.front());
    firstReadingLine = false;
    if (isHeader) continue;
    if (fields.size() < kFieldsPerReading) {
      std::fprintf(stderr, "tavrin: line %ld: %zu field%s, 4 needed (n a v i); line skipped\n",
                   lineNumber, fields.size(), fields.size() == 1 ? "" : "s");
      status = kExitSkippedLines;
      continue;
    }
    const ReadingResult result = ComputeReading(fields[0], fields[1], fields[2], fields[3]);
    row.clear();
    for (std::size_t k = 0; k < kFieldsPerReading; ++k) {
      AppendCsvField(row, fields[k]);
      row += ',';
    }
    row += DoubleText17(result.rho);
    row += ',';
    AppendCsvField(row, result.text);
    WriteLine(stdout, row);
  }
  if (in.bad()) throw UsageError("could not read the input");
  return status;
}

}  // namespace

int RunBatch(Args args) {
  constexpr std::string_view kBatchUsage = "tavrin batch [FILE]";
  if (args.size() > 1) RequireCount(args, 1, kBatchUsage);
  const std::string_view path = args.empty() ? std::string_view("-") : std::string_view(args[0]);
  if (path == "-") {
    std::ios::sync_with_stdio(false);
    return ProcessReadings(std::cin);
  }
  std::ifstream file{std::string(path), std::ios::binary};
  if (!file) throw UsageError("cannot open '" + std::string(path) + "'");
  return ProcessReadings(file);
}

}  // namespace tavrin::cli
