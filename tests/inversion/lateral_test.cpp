// The laterally constrained fit of a profile against synthetic lines from
// the forward model: without the constraint it is the separate fits, with it
// a smoothly varying layer comes out closer to the truth than station by
// station, and the order the soundings come in does not matter.
#include "inversion/lateral.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>

#include "sounding/forward.h"

namespace tavrin::inversion {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Standard normal deviates by the Box-Muller transform of a fixed-seed
// mt19937, the same on every standard library.
class Gaussian {
 public:
  explicit Gaussian(std::uint32_t seed) : engine_(seed) {}
  double operator()() {
    const double u1 = (static_cast<double>(engine_()) + 1) / 4294967297.0;
    const double u2 = static_cast<double>(engine_()) / 4294967296.0;
    return std::sqrt(-2 * std::log(u1)) * std::cos(2 * kPi * u2);
  }

 private:
  std::mt19937 engine_;
};

// A line of `count` stations 10 apart over three layers: 100 ohm-m of 4 m,
// a 10 ohm-m layer thickening from 5 to 25 m along the line, 100 ohm-m
// below; 25 readings from AB/2 1 to 150, noise of `noise` from the seed.
std::vector<Station> Line(int count, double noise, std::uint32_t seed) {
  Gaussian gaussian(seed);
  std::vector<Station> stations;
  for (int s = 0; s < count; ++s) {
    const double middle = 5 + 20.0 * s / (count - 1);
    const sounding::LayeredModel model{{100, 10, 100}, {4, middle}};
    Station station{10.0 * s, {}};
    for (int k = 0; k < 25; ++k) {
      const double ab2 = std::pow(150.0, k / 24.0);
      const double rho = sounding::ApparentResistivity(model, ab2, 0);
      station.data.push_back({ab2, 0, rho * std::exp(std::log1p(noise) * gaussian())});
    }
    stations.push_back(std::move(station));
  }
  return stations;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The relative errors of the depths to both boundaries, every station.
double MedianDepthError(const std::vector<Fit>& fits) {
  std::vector<double> errors;
  for (std::size_t s = 0; s < fits.size(); ++s) {
    const double middle = 5 + 20.0 * static_cast<double>(s) / static_cast<double>(fits.size() - 1);
    const std::vector<double>& h = fits[s].model.thickness;
    errors.push_back(std::abs(h[0] - 4) / 4);
    errors.push_back(std::abs(h[0] + h[1] - (4 + middle)) / (4 + middle));
  }
  return Median(errors);
}

TEST(Lateral, WithoutTheConstraintTheFitsAreTheSeparateOnes) {
  const std::vector<Station> stations = Line(6, 0.03, 11);
  LateralOptions options;
  options.fit.layers = 3;
  options.lateral = 0;
  const LateralFit joint = InvertLaterally(stations, options);
  ASSERT_EQ(joint.fits.size(), stations.size());
  for (std::size_t s = 0; s < stations.size(); ++s) {
    const Fit separate = Invert(stations[s].data, options.fit);
    const sounding::LayeredModel& a = joint.fits[s].model;
    const sounding::LayeredModel& b = separate.model;
    for (std::size_t j = 0; j < 3; ++j) {
      EXPECT_NEAR(std::log(a.resistivity[j]), std::log(b.resistivity[j]), 1e-6) << s << " " << j;
    }
    for (std::size_t j = 0; j < 2; ++j) {
      EXPECT_NEAR(std::log(a.thickness[j]), std::log(b.thickness[j]), 1e-6) << s << " " << j;
    }
    EXPECT_NEAR(joint.fits[s].chi2, separate.chi2, 1e-6 * separate.chi2);
  }
}

TEST(Lateral, TheConstraintRecoversASmoothLayerBetterAndIgnoresTheOrder) {
  std::vector<Station> stations = Line(20, 0.03, 7);
  LateralOptions options;
  options.fit.layers = 3;
  options.lateral = 0;
  const double separate = MedianDepthError(InvertLaterally(stations, options).fits);
  options.lateral = 30;
  const LateralFit joint = InvertLaterally(stations, options);
  const double constrained = MedianDepthError(joint.fits);
  std::printf("median relative depth error: separate %.4f, laterally constrained %.4f\n", separate,
              constrained);
  EXPECT_LT(constrained, 0.5 * separate);
  EXPECT_TRUE(joint.converged);

  // Shuffled, the same fits come back for the same stations.
  std::vector<std::size_t> order(stations.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = (k * 7) % order.size();
  std::vector<Station> shuffled;
  for (const std::size_t k : order) shuffled.push_back(stations[k]);
  const LateralFit again = InvertLaterally(shuffled, options);
  for (std::size_t k = 0; k < order.size(); ++k) {
    const Fit& a = again.fits[k];
    const Fit& b = joint.fits[order[k]];
    EXPECT_EQ(a.model.resistivity, b.model.resistivity) << k;
    EXPECT_EQ(a.model.thickness, b.model.thickness) << k;
  }
}

// The summed criterion finds the line's three layers, and its table holds
// every count tried with the chosen one's least misfit within the margin.
TEST(Lateral, ChoosesTheLinesLayerCount) {
  LateralOptions options;
  const LateralChoice choice = InvertLaterallyChoosingLayers(Line(6, 0.03, 3), options, 4);
  ASSERT_EQ(choice.trials.size(), 4u);
  EXPECT_EQ(choice.best.fits.front().model.resistivity.size(), 3u);
  EXPECT_LT(choice.trials[2].bic, choice.trials[1].bic - kBicMargin);
  EXPECT_LT(choice.trials[2].bic, choice.trials[3].bic + kBicMargin);
}

TEST(Lateral, RefusesWhatMakesNoProfile) {
  const std::vector<Station> line = Line(3, 0.03, 5);
  struct Case {
    const char* what;
    std::vector<Station> stations;
    double lateral;
  };
  std::vector<Station> same = line;
  same[2].x = same[0].x;
  const Case cases[] = {
      {"one station", {line[0]}, 1},
      {"the same x twice", same, 1},
      {"a negative weight", line, -1},
      {"a weight not finite", line, INFINITY},
  };
  for (const Case& c : cases) {
    LateralOptions options;
    options.fit.layers = 2;
    options.lateral = c.lateral;
    EXPECT_THROW(InvertLaterally(c.stations, options), InversionError) << c.what;
  }
}

}  // namespace
}  // namespace tavrin::inversion
