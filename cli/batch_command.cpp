// batch [FILE]: many readings, one per line, from a file or stdin; CSV out.
//
// Each line holds n, a, v and i (see SplitFields for the separators). Blank
// lines and "#" comments are skipped; when the first line that is neither has
// a first field starting with a letter, it is a header and skipped too. Fields
// beyond the fourth are ignored. A line with fewer than four fields is
// reported on stderr with its number and skipped; the others are still
// processed, and the exit status is then 1.
//
// The input is read in large blocks and the output gathered in one buffer
// that is written out in large pieces; a line borrows its fields from the
// input buffer, so no line allocates anything (only a line with a quoted
// field has its fields copied, as SplitFields unquotes them).
#include <array>
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/line_reader.h"
#include "cli/output.h"
#include "cli/reading.h"
#include "cli/survey_options.h"
#include "sounding/csv.h"

namespace tavrin::cli {

namespace {

using sounding::AppendCsvField;
using sounding::IsBlankOrComment;
using sounding::SplitFields;
using sounding::SplitUnquotedFields;

constexpr std::size_t kFieldsPerReading = 4;
constexpr std::string_view kOutputHeader = "n,a,v,i,rho,text";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Output is written once this much has gathered.
constexpr std::size_t kOutputBlock = std::size_t{1} << 16;

bool StartsWithLetter(std::string_view field) {
  return !field.empty() && std::isalpha(static_cast<unsigned char>(field.front())) != 0;
}

// The fields of one line that a reading needs, as views.
class LineFields {
 public:
  // Splits `line`; the views stay valid while `line` and this object do.
  void Split(std::string_view line) {
    if (line.find('"') == std::string_view::npos) {
      count_ = SplitUnquotedFields(line, fields_);
      return;
    }
    quoted_ = SplitFields(line);
    count_ = quoted_.size();
    for (std::size_t k = 0; k < kFieldsPerReading && k < count_; ++k) fields_[k] = quoted_[k];
  }
  // Every field of the line when fewer than four, else at least four.
  std::size_t count() const { return count_; }
  std::string_view operator[](std::size_t k) const { return fields_[k]; }

 private:
  std::array<std::string_view, kFieldsPerReading> fields_;
  std::size_t count_ = 0;
  std::vector<std::string> quoted_;  // owns the fields of a line with quotes
};

// Gathers the output and writes it to stdout in large pieces.
class Output {
 public:
  Output() { bytes_.reserve(2 * kOutputBlock); }
  ~Output() { Flush(); }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  std::string& bytes() { return bytes_; }
  // Ends a line; writes out what has gathered once it is a block.
  void EndLine() {
    bytes_ += '\n';
    if (bytes_.size() >= kOutputBlock) Flush();
  }
  void Flush() {
    std::fwrite(bytes_.data(), 1, bytes_.size(), stdout);
    bytes_.clear();
  }

 private:
  std::string bytes_;
};

// Processes every line of `in`; returns the exit status.
int ProcessReadings(std::FILE* in, const std::string& name) {
  Output output;
  std::string& row = output.bytes();
  row += kOutputHeader;
  output.EndLine();
  LineReader reader(in);
  LineFields fields;
  std::string shown;
  std::string_view line;
  long lineNumber = 0;
  bool firstReadingLine = true;
  int status = kExitOk;
  while (reader.Next(line)) {
    ++lineNumber;
    // A byte-order mark ("CSV UTF-8") is no part of the first line.
    if (lineNumber == 1 && line.starts_with(kByteOrderMark))
      line.remove_prefix(kByteOrderMark.size());
    if (IsBlankOrComment(line)) continue;
    fields.Split(line);
    const bool isHeader = firstReadingLine && fields.count() > 0 && StartsWithLetter(fields[0]);
    firstReadingLine = false;
    if (isHeader) continue;
    if (fields.count() < kFieldsPerReading) {
      std::fprintf(stderr, "tavrin: %s:%ld: %zu field%s, 4 needed (n a v i); line skipped\n",
                   name.c_str(), lineNumber, fields.count(), fields.count() == 1 ? "" : "s");
      status = kExitSkippedLines;
      continue;
    }
    shown.clear();
    const double rho = AppendReading(fields[0], fields[1], fields[2], fields[3], shown);
    for (std::size_t k = 0; k < kFieldsPerReading; ++k) {
      AppendCsvField(row, fields[k]);
      row += ',';
    }
    AppendDoubleText17(row, rho);
    row += ',';
    AppendCsvField(row, shown);
    output.EndLine();
  }
  if (reader.failed()) {
    output.Flush();
    throw InputError("could not read '" + name + "'");
  }
  return status;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

CommandRun DeclareBatch(CLI::App& app) {
  app.description(
      "Many calculator readings: one \"n a v i\" a line (commas, tabs or blanks between\n"
      "the texts; quotes keep separators in a text; \"#\" comments and blank lines\n"
      "skipped; a first line starting with a letter is a header), each text read as\n"
      "the window reads its box.");
  auto path = std::make_shared<std::string>("-");
  AddPositional(app, "FILE", *path, "the readings (default, or \"-\": stdin)");
  app.footer(std::string("Output: CSV n,a,v,i,rho,text: the four texts, rho with 17 significant\n"
                         "digits and the result text under \"###.#\". A line with fewer than\n"
                         "four fields is reported on stderr (FILE:LINE: reason) and skipped.\n") +
             std::string(kExitStatusHelp));
  return [path] {
    if (*path == "-") return ProcessReadings(stdin, "stdin");
    CheckNotADirectory(*path);
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path->c_str(), "rb"));
    if (!file) throw InputError("cannot open '" + *path + "'");
    return ProcessReadings(file.get(), *path);
  };
}

}  // namespace tavrin::cli
