// The profile command's output: every station's layers with their
// uncertainty and position, the misfit per sounding and for the profile,
// and the layer-count trials when the count was chosen, as CSV sections or
// as one JSON object.
#pragma once

#include <string>
#include <vector>

#include "cli/profile_input.h"
#include "inversion/lateral.h"

namespace tavrin::cli {

struct ProfileReport {
  const ProfileInput* input = nullptr;        // the soundings, as fits
  inversion::LateralFit fit;                  // fits[k] of input->soundings[k]
  std::vector<inversion::LayerTrial> trials;  // empty when --layers N was given
  double lateral = 0;
  double errorPercent = 0;
  sounding::LengthUnit unit = sounding::LengthUnit::kFeet;
};

// CSV: sections separated by a blank line, each with its own header:
//   [layers,parameters,chi2,chi2_per_dof,rms_percent,bic,chosen]  (auto only)
//   station,x,elevation,layer,rho,rho_factor,thickness,thickness_factor,
//     depth_top,elevation_top
//   station,readings,rms_percent,chi2
//   soundings,readings,rms_percent,chi2,chi2_per_dof,iterations,lateral,error_percent
// Without the final line feed.
std::string ProfileCsv(const ProfileReport& report);

// The same as one JSON object, with each station's warnings, without the
// final line feed.
std::string ProfileJson(const ProfileReport& report);

}  // namespace tavrin::cli
