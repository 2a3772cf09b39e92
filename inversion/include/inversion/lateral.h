// Many soundings along a line fitted together: every sounding the same
// number of layers, its data fitted as Invert fits them (the same weighted
// residuals, prior and array), and neighbouring soundings held alike by a
// penalty on the differences of their log resistivities and of the logs of
// their depths to each boundary (lateral.cpp states the mathematics).
#pragma once

#include <span>
#include <vector>

#include "inversion/inversion.h"

namespace tavrin::inversion {

// One sounding of a profile: its position along the line and its data.
struct Station {
  double x;
  std::vector<Datum> data;
};

struct LateralOptions {
  Options fit;          // the layers, error and evaluation limit of each sounding's fit
  double lateral = 10;  // the constraint's weight; 0 leaves the soundings independent
  int maxIterations = 200;
};

struct LateralFit {
  // Per station, in the order given: the model, its estimates from the
  // joint covariance, the misfit of its own data and its warnings.
  std::vector<Fit> fits;
  double chi2 = 0;  // of every reading
  int readings = 0;
  int parameters = 0;     // the layers' of every sounding
  double rmsPercent = 0;  // RMS of (m_i - d_i) / d_i over every reading
  int iterations = 0;     // of the joint run
  bool converged = true;  // false when the joint run stopped at its iteration limit
};

// Fits the stations together. Throws InversionError for fewer than two
// stations, positions that are not finite or repeat, a lateral weight that
// is not finite and non-negative, or whatever Invert refuses for a station
// (the message then names its position).
LateralFit InvertLaterally(std::span<const Station> stations, const LateralOptions& options);

// One layer count for the whole profile by InvertChoosingLayers' rule, its
// BIC summed over the soundings: sum_s (chi^2_s + P ln n_s), P = 2 N - 1.
struct LateralChoice {
  LateralFit best;
  std::vector<LayerTrial> trials;  // chi2 and rms of the profile; chi2PerDof over its dof
};
LateralChoice InvertLaterallyChoosingLayers(std::span<const Station> stations,
                                            const LateralOptions& options,
                                            int maxLayers = kMaxAutoLayers);

}  // namespace tavrin::inversion
