// Options and input shared by the survey commands.
#include "cli/survey_options.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "cli/args.h"
#include "numtext/double_chars.h"

namespace tavrin::cli {

plot::LengthUnit ParseUnits(std::string_view text) {
  if (text == "ft") return plot::LengthUnit::kFeet;
  if (text == "m") return plot::LengthUnit::kMetres;
  throw UsageError("--units '" + std::string(text) + "' must be ft or m");
}

void CheckPlotPath(const std::string& path) {
  // A name of no known format is refused alike in every build.
  if (!plot::FormatOf(path)) {
    throw UsageError("cannot tell the plot's format from '" + path + "' (use .svg, .png or .pdf)");
  }
  if (!plot::CanWriteFigures()) {
    // No misuse of the command, which the help would not mend: no hint.
    throw CommandError(kExitUsage,
                       "cannot write the plot '" + path + "': this build of tavrin has no plots");
  }
}

void WritePlot(const plot::Figure& figure, const std::string& path) {
  try {
    plot::WriteFigure(figure, path);
  } catch (const plot::PlotError& error) {
    // The path was given, but this is no misuse of the command: no help.
    throw CommandError(kExitUsage, error.what());
  }
}

void CheckNotADirectory(std::string_view path) {
  std::error_code error;
  if (std::filesystem::is_directory(std::filesystem::path(path), error)) {
    throw InputError("'" + std::string(path) + "' is a directory, not a file");
  }
}

std::string ReadInput(std::string_view path) {
  std::ostringstream text;
  if (path == "-") {
    text << std::cin.rdbuf();
    if (std::cin.bad()) throw InputError("could not read stdin");
    return std::move(text).str();
  }
  CheckNotADirectory(path);
  std::ifstream file{std::string(path), std::ios::binary};
  if (!file) throw InputError("cannot open '" + std::string(path) + "'");
  text << file.rdbuf();
  if (file.bad()) throw InputError("could not read '" + std::string(path) + "'");
  return std::move(text).str();
}

std::string ShortestText(double value) {
  if (std::isnan(value)) return {};
  char text[64];
  const auto result = ShortestChars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

}  // namespace tavrin::cli
