// Options and input shared by the survey commands.
#include "cli/survey_options.h"

#include <charconv>
#include <cmath>
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
    throw UsageError("cannot write the plot '" + path + "': this build of tavrin has no plots");
  }
}

void WritePlot(const plot::Figure& figure, const std::string& path) {
  try {
    plot::WriteFigure(figure, path);
  } catch (const plot::PlotError& error) {
    throw UsageError(error.what());
  }
}

std::string ReadInput(std::string_view path) {
  std::ostringstream text;
  if (path == "-") {
    text << std::cin.rdbuf();
    if (std::cin.bad()) throw UsageError("could not read the input");
    return std::move(text).str();
  }
  std::ifstream file{std::string(path), std::ios::binary};
  if (!file) throw UsageError("cannot open '" + std::string(path) + "'");
  text << file.rdbuf();
  if (file.bad()) throw UsageError("could not read '" + std::string(path) + "'");
  return std::move(text).str();
}

std::string ShortestText(double value) {
  if (std::isnan(value)) return {};
  char text[64];
  const auto result = ShortestChars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

}  // namespace tavrin::cli
