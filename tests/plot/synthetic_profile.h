// A made-up profile for the profile figures' tests and example pictures: ten
// stations 25 m apart over three layers, the middle one thickening along the
// line, its apparent resistivities computed by the forward model with a
// little deterministic scatter, and a model fitted to them that is slightly
// off.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "plot/profile_figures.h"
#include "sounding/forward.h"

namespace tavrin::plot::testing_profile {

inline sounding::LayeredModel TrueModel(int station) {
  return {{120, 18, 600}, {1.5 + 0.2 * station, 3 + 2.2 * station}};
}

inline sounding::LayeredModel FittedModel(int station) {
  return {{110.0 + 4 * (station % 3), 21, 520}, {1.6 + 0.2 * station, 2.8 + 2.3 * station}};
}

inline std::string Label(int station) {
  return "P" + std::to_string(station + 1);
}

constexpr int kStations = 10;
constexpr double kSpacing = 25;

inline double Elevation(int station) {
  return 140 + 6 * std::sin(0.7 * station) - 0.8 * station;
}

// Every other station is spread to AB/2 = 150 m, the others to 100 m.
inline PseudoSection Pseudo(bool withModel) {
  const std::vector<double> spacings = {1.5, 2, 3, 4, 6, 8, 10, 15, 20, 30, 40, 60, 80, 100, 150};
  PseudoSection s{"Line 3 (made-up)", "m", {}, {}};
  for (int k = 0; k < kStations; ++k) {
    const double x = kSpacing * k;
    s.stations.push_back({x, Label(k)});
    for (std::size_t j = 0; j < spacings.size(); ++j) {
      if (k % 2 == 1 && spacings[j] > 100) continue;
      const double scatter = 1 + 0.03 * std::sin(7.0 * k + 3.0 * static_cast<double>(j));
      s.readings.push_back(
          {x, spacings[j], sounding::ApparentResistivity(TrueModel(k), spacings[j]) * scatter,
           withModel ? sounding::ApparentResistivity(FittedModel(k), spacings[j]) : NAN});
    }
  }
  return s;
}

inline ResistivitySection Section(bool withElevation) {
  ResistivitySection s{"Line 3 (made-up): layered models", "m", {}};
  for (int k = 0; k < kStations; ++k) {
    const sounding::LayeredModel m = FittedModel(k);
    s.stations.push_back({Label(k), kSpacing * k, withElevation ? Elevation(k) : NAN, m.resistivity,
                          m.thickness, k % 2 == 1 ? 100 / 3.0 : 150 / 3.0});
  }
  return s;
}

}  // namespace tavrin::plot::testing_profile
