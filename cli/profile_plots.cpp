// The profile's figures from its soundings and fit. The section shades each
// station below the depth its readings resolve, by the rule the inversion
// figure uses (plot::kResolvedDepthShare of its widest AB/2).
#include "cli/profile_plots.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "plot/inversion_figure.h"
#include "plot/profile_figures.h"

namespace tavrin::cli {

namespace {

std::string UnitName(sounding::LengthUnit unit) {
  return unit == sounding::LengthUnit::kFeet ? "ft" : "m";
}

// Errors of writing are the output's, not the command's usage.
template <typename Write>
void Writing(Write write) {
  try {
    write();
  } catch (const plot::PlotError& error) {
    throw CommandError(kExitUsage, error.what());
  }
}

}  // namespace

void WriteProfilePseudoSection(const ProfileReport& report, const std::string& path) {
  plot::PseudoSection section;
  section.title = "Apparent resistivity along the line";
  section.lengthUnit = UnitName(report.unit);
  const std::vector<ProfileSounding>& soundings = report.input->soundings;
  for (std::size_t k = 0; k < soundings.size(); ++k) {
    const ProfileSounding& s = soundings[k];
    section.stations.push_back({s.x, s.label});
    const std::vector<double>& modelled = report.fit.fits[k].modelled;
    for (std::size_t i = 0; i < s.sounding.readings.size(); ++i) {
      const sounding::Reading& r = s.sounding.readings[i];
      section.readings.push_back(
          {s.x, r.ab2, r.rho,
           i < modelled.size() ? modelled[i] : std::numeric_limits<double>::quiet_NaN()});
    }
  }
  Writing([&] { plot::WritePseudoSection(section, path); });
}

void WriteProfileSection(const ProfileReport& report, const std::string& path) {
  plot::ResistivitySection section;
  section.title = "Fitted layers along the line";
  section.lengthUnit = UnitName(report.unit);
  const std::vector<ProfileSounding>& soundings = report.input->soundings;
  for (std::size_t k = 0; k < soundings.size(); ++k) {
    const ProfileSounding& s = soundings[k];
    double widest = 0;
    for (const sounding::Reading& r : s.sounding.readings) widest = std::max(widest, r.ab2);
    const sounding::LayeredModel& model = report.fit.fits[k].model;
    section.stations.push_back({s.label, s.x, s.elevation, model.resistivity, model.thickness,
                                plot::kResolvedDepthShare * widest});
  }
  Writing([&] { plot::WriteResistivitySection(section, path); });
}

}  // namespace tavrin::cli
