// The two figures of a resistivity profile (many soundings along a line): the
// pseudo-section of its apparent resistivities (observed, modelled and their
// misfit, by position along the line and AB/2) and the resistivity section of
// its layered models side by side, each written as SVG, PNG or PDF.
#pragma once

#include <string>
#include <vector>

#include "plot/figure.h"

namespace tavrin::plot {

// One reading of a profile: its station's position along the line, its AB/2,
// the apparent resistivity observed and the model's (NaN when none).
struct ProfileReading {
  double x;
  double ab2;
  double observed;
  double modelled;
};
struct StationMark {
  double x;
  std::string label;
};
struct PseudoSection {
  std::string title;
  std::string lengthUnit;  // "m" or "ft"
  std::vector<StationMark> stations;
  std::vector<ProfileReading> readings;
};
// Three panels: observed, modelled, misfit in percent. Throws PlotError.
void WritePseudoSection(const PseudoSection& section, const std::string& path);

struct SectionStation {
  std::string label;
  double x;
  double elevation;                   // NaN when the profile has none
  std::vector<double> resistivities;  // N layers
  std::vector<double> thicknesses;    // N - 1
  double resolvedDepth;               // below it the data cannot resolve: shaded
};
struct ResistivitySection {
  std::string title;
  std::string lengthUnit;
  std::vector<SectionStation> stations;  // ordered by x
};
// Throws PlotError.
void WriteResistivitySection(const ResistivitySection& section, const std::string& path);

}  // namespace tavrin::plot
