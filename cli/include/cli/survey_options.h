// Options and input shared by the survey commands (sounding, forward): the
// length unit, the plot file and reading a whole input file.
#pragma once

#include <string>
#include <string_view>

#include "plot/figure.h"
#include "plot/sounding_figure.h"

namespace tavrin::cli {

// "ft" or "m"; throws UsageError otherwise.
plot::LengthUnit ParseUnits(std::string_view text);

// Throws UsageError unless `path` names a plot format (.svg, .png, .pdf).
void CheckPlotPath(const std::string& path);

// Writes the figure; a file that cannot be written throws CommandError
// (exit status 2).
void WritePlot(const plot::Figure& figure, const std::string& path);

// Throws InputError when `path` names a directory (which some systems open
// as a file that then reads nothing, others not at all).
void CheckNotADirectory(std::string_view path);

// The whole of the file `path`, or of standard input for "-"; throws
// InputError when it cannot be read (a directory among others).
std::string ReadInput(std::string_view path);

// A double as the shortest text that reads back to it; "" for NaN.
std::string ShortestText(double value);

}  // namespace tavrin::cli
