// The inversion against synthetic soundings from the forward model: exact
// data give back the model, noisy data a fit at the noise level with the
// model inside its stated uncertainty, and what the data cannot tell apart
// is flagged.
#include "inversion/inversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>

#include "sounding/forward.h"
#include "sounding/forward_gradient.h"

namespace tavrin::inversion {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kNoise = 0.03;

// AB/2 log-spaced from `from` to `to`, both included, `perDecade` a decade.
std::vector<double> Spacings(double from, double to, int perDecade) {
  const int steps = static_cast<int>(std::lround(std::log10(to / from) * perDecade));
  std::vector<double> ab2;
  for (int k = 0; k <= steps; ++k) ab2.push_back(from * std::pow(to / from, double(k) / steps));
  return ab2;
}

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

// The model's sounding at `ab2` (ideal array), with log-normal noise of
// relative size kNoise when `seed` is not 0.
std::vector<Datum> Synthetic(const sounding::LayeredModel& model, const std::vector<double>& ab2,
                             std::uint32_t seed = 0, double mn2 = 0) {
  Gaussian gaussian(seed);
  std::vector<Datum> data;
  for (const double l : ab2) {
    const double rho = sounding::ApparentResistivity(model, l, mn2);
    data.push_back({l, mn2, seed == 0 ? rho : rho * std::exp(std::log1p(kNoise) * gaussian())});
  }
  return data;
}

bool Flagged(const Fit& fit, int layer) {
  for (const Warning& w : fit.warnings) {
    if (w.layer == layer && w.kind != WarningKind::kPoorFit) return true;
  }
  return false;
}

struct Parameter {
  const char* name;
  double truth;
  Estimate fitted;
};

// The layers' resistivities and thicknesses of a fit beside a true model.
std::vector<Parameter> Parameters(const sounding::LayeredModel& truth, const Fit& fit) {
  std::vector<Parameter> parameters;
  for (std::size_t j = 0; j < truth.resistivity.size(); ++j) {
    if (Flagged(fit, static_cast<int>(j) + 1)) continue;
    parameters.push_back({"rho", truth.resistivity[j], fit.layers[j].resistivity});
    if (j < truth.thickness.size()) {
      parameters.push_back({"h", truth.thickness[j], fit.layers[j].thickness});
    }
  }
  return parameters;
}

struct ModelCase {
  const char* name;
  sounding::LayeredModel model;
};

// 2-, 3- and 4-layer models with contrasts up to 1:100, over AB/2 from 1 to
// 1000 at 8 readings a decade.
const std::vector<ModelCase>& Models() {
  static const std::vector<ModelCase> models{
      {"two layers falling 10:1", {{100, 10}, {5}}},
      {"two layers rising 1:100", {{10, 1000}, {8}}},
      {"three layers H", {{100, 10, 300}, {4, 12}}},
      {"three layers K", {{20, 400, 10}, {3, 15}}},
      {"three layers A", {{10, 100, 1000}, {2, 20}}},
      {"four layers", {{50, 500, 20, 2000}, {2, 10, 40}}},
  };
  return models;
}

// The fit's Jacobian: the forward model's analytic derivatives by the log
// parameters against central differences, for the ideal and a finite array,
// AB/2 from inside the top layer to far beyond the deepest boundary.
TEST(Inversion, ForwardGradientMatchesDifferences) {
  constexpr double kStep = 1e-5;
  for (const ModelCase& c : Models()) {
    const std::size_t layers = c.model.resistivity.size();
    std::vector<double> gradient(2 * layers - 1), scratch(3 * layers);
    for (const double ab2 : {0.5, 6.0, 80.0, 900.0}) {
      for (const double mn2 : {0.0, 0.2 * ab2}) {
        const double value =
            sounding::ApparentResistivityGradient(c.model, ab2, mn2, gradient, scratch);
        // The same sums; the recurrence's two forms round apart.
        ASSERT_NEAR(value / sounding::ApparentResistivity(c.model, ab2, mn2), 1, 1e-13);
        for (std::size_t p = 0; p < gradient.size(); ++p) {
          SCOPED_TRACE(std::string(c.name) + " AB/2 " + std::to_string(ab2) + " MN/2 " +
                       std::to_string(mn2) + " parameter " + std::to_string(p));
          sounding::LayeredModel up = c.model, down = c.model;
          double& u = p < layers ? up.resistivity[p] : up.thickness[p - layers];
          double& d = p < layers ? down.resistivity[p] : down.thickness[p - layers];
          u *= std::exp(kStep);
          d *= std::exp(-kStep);
          const double difference = (sounding::ApparentResistivity(up, ab2, mn2) -
                                     sounding::ApparentResistivity(down, ab2, mn2)) /
                                    (2 * kStep);
          EXPECT_NEAR(gradient[p] / value, difference / value, 1e-6);
        }
      }
    }
  }
}

TEST(Inversion, ExactDataGiveBackEveryResolvedParameter) {
  const std::vector<double> ab2 = Spacings(1, 1000, 8);
  for (const ModelCase& c : Models()) {
    SCOPED_TRACE(c.name);
    const int layers = static_cast<int>(c.model.resistivity.size());
    const Fit fit = Invert(Synthetic(c.model, ab2), {layers, kNoise});
    EXPECT_LT(fit.rmsPercent, 0.01);
    const std::vector<Parameter> parameters = Parameters(c.model, fit);
    EXPECT_GE(parameters.size(), layers == 2 ? 3u : 2u);
    int resolved = 0;
    for (const Parameter& p : parameters) {
      if (p.fitted.factor > 1.5) continue;  // not resolved, and said so
      ++resolved;
      EXPECT_NEAR(p.fitted.value / p.truth, 1, 0.01) << p.name << " " << p.truth;
    }
    EXPECT_GT(resolved, 0);
  }
}

TEST(Inversion, NoisyDataFitAtTheNoiseLevelWithTheModelInsideItsUncertainty) {
  const std::vector<double> ab2 = Spacings(1, 1000, 8);
  for (const ModelCase& c : Models()) {
    const int layers = static_cast<int>(c.model.resistivity.size());
    double sumChi2PerDof = 0;
    int within = 0, resolved = 0;
    constexpr std::uint32_t kSeeds = 6;
    for (std::uint32_t seed = 1; seed <= kSeeds; ++seed) {
      SCOPED_TRACE(std::string(c.name) + " seed " + std::to_string(seed));
      const Fit fit = Invert(Synthetic(c.model, ab2, seed), {layers, kNoise});
      sumChi2PerDof += fit.chi2PerDof;
      for (const Parameter& p : Parameters(c.model, fit)) {
        if (p.fitted.factor > 1.5) continue;
        const double deviations =
            std::abs(std::log(p.fitted.value / p.truth)) / std::log(p.fitted.factor);
        ++resolved;
        within += deviations <= 1;
        EXPECT_LE(deviations, 3) << p.name << " " << p.truth << " fitted " << p.fitted.value;
      }
    }
    SCOPED_TRACE(c.name);
    // chi^2 / dof of one fit has a standard deviation near 0.3 here; the
    // mean of six is near 1 within 0.3.
    EXPECT_NEAR(sumChi2PerDof / kSeeds, 1, 0.3);
    // About 68 % of the resolved parameters lie within one factor.
    EXPECT_GT(resolved, 0);
    EXPECT_GE(within, resolved / 2);
  }
}

TEST(Inversion, ThinConductiveLayerIsResolvedOnlyAsItsConductance) {
  // 1 ft of 5 ohm-ft between 100 and 1000: S = 0.2 shows, h and rho do not.
  const sounding::LayeredModel model{{100, 5, 1000}, {10, 1}};
  const double conductance = 1.0 / 5;
  for (std::uint32_t seed = 1; seed <= 3; ++seed) {
    SCOPED_TRACE(seed);
    const Fit fit = Invert(Synthetic(model, Spacings(1, 1000, 8), seed), {3, kNoise});
    ASSERT_FALSE(fit.warnings.empty());
    ASSERT_EQ(fit.warnings.size(), 1u) << fit.warnings.front().text;
    const Warning& w = fit.warnings.front();
    EXPECT_EQ(w.kind, WarningKind::kConductanceOnly);
    EXPECT_EQ(w.layer, 2);
    EXPECT_GT(fit.layers[1].thickness.factor, 1.5);
    EXPECT_GT(fit.layers[1].resistivity.factor, 1.5);
    EXPECT_LE(std::abs(std::log(w.value.value / conductance)), 3 * std::log(w.value.factor));
    EXPECT_LT(w.value.factor, 1.5);
  }
}

// The fit does not depend on the data's unit: readings times c give the
// same layers and factors with the resistivities times c, for any c that
// keeps them within a double; and no warning prints a factor that is not a
// number. A flat curve fitted with two layers says its factors are the
// prior's.
TEST(Inversion, ReadingsOfAnyMagnitudeScaleTheFittedResistivities) {
  const std::vector<double> ab2 = Spacings(1, 1000, 8);
  const struct {
    const char* name;
    sounding::LayeredModel model;
    double scale;
    bool priorSpread;  // a warning says a factor is the prior's spread
  } cases[] = {
      {"two layers times 1e170", {{100, 10}, {5}}, 1e170, false},
      {"two layers times 1e-200", {{100, 10}, {5}}, 1e-200, false},
      {"three layers times 1e300", {{100, 10, 300}, {4, 12}}, 1e300, false},
      {"a flat curve of 1e120 as two layers", {{1, 1}, {5}}, 1e120, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Options options{static_cast<int>(c.model.resistivity.size()), kNoise};
    std::vector<Datum> data = Synthetic(c.model, ab2, 3);
    const Fit plain = Invert(data, options);
    for (Datum& d : data) d.rho *= c.scale;
    const Fit fit = Invert(data, options);
    ASSERT_EQ(fit.layers.size(), plain.layers.size());
    EXPECT_NEAR(fit.rmsPercent / plain.rmsPercent, 1, 1e-6);
    for (std::size_t j = 0; j < fit.layers.size(); ++j) {
      const LayerEstimate &l = fit.layers[j], &p = plain.layers[j];
      EXPECT_NEAR(l.resistivity.value / (c.scale * p.resistivity.value), 1, 1e-6) << j;
      EXPECT_NEAR(l.resistivity.factor / p.resistivity.factor, 1, 1e-6) << j;
      if (j + 1 < fit.layers.size()) {
        EXPECT_NEAR(l.thickness.value / p.thickness.value, 1, 1e-6) << j;
        EXPECT_NEAR(l.thickness.factor / p.thickness.factor, 1, 1e-6) << j;
      }
    }
    bool priorSpread = false;
    for (const Warning& w : fit.warnings) {
      EXPECT_EQ(w.text.find("nan"), std::string::npos) << w.text;
      priorSpread = priorSpread || w.text.find("the prior's spread") != std::string::npos;
    }
    EXPECT_EQ(priorSpread, c.priorSpread);
  }
}

// A final run stopped by its evaluation limit is warned of; one that
// reaches its tolerance is not.
TEST(Inversion, AFitStoppedAtItsEvaluationLimitIsWarnedOf) {
  const std::vector<Datum> data = Synthetic({{100, 10, 300}, {4, 12}}, Spacings(1, 1000, 8), 2);
  const struct {
    int evaluations;
    bool warned;
  } cases[] = {{3, true}, {400, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.evaluations);
    Options options{3, kNoise};
    options.maxEvaluations = c.evaluations;
    const Fit fit = Invert(data, options);
    EXPECT_EQ(std::count_if(fit.warnings.begin(), fit.warnings.end(),
                            [](const Warning& w) { return w.kind == WarningKind::kNotConverged; }),
              c.warned ? 1 : 0);
  }
}

TEST(Inversion, FlatCurveChoosesOneLayer) {
  const std::vector<double> ab2 = Spacings(1, 300, 6);
  const LayerChoice choice = InvertChoosingLayers(Synthetic({{42}, {}}, ab2, 7), kNoise);
  ASSERT_EQ(choice.best.layers.size(), 1u);
  EXPECT_EQ(choice.trials.size(), 6u);
  EXPECT_NEAR(choice.best.layers[0].resistivity.value / 42, 1, 3 * kNoise / std::sqrt(16.0));
}

TEST(Inversion, ChoosesTheLayerCountOfTheModel) {
  const std::vector<double> ab2 = Spacings(1, 1000, 8);
  for (const ModelCase& c : Models()) {
    SCOPED_TRACE(c.name);
    const LayerChoice choice = InvertChoosingLayers(Synthetic(c.model, ab2, 11), kNoise);
    EXPECT_EQ(choice.best.layers.size(), c.model.resistivity.size());
  }
}

TEST(Inversion, TwoMn2SegmentsAreEachModelledWithTheirOwnArray) {
  const sounding::LayeredModel model{{30, 300}, {6}};
  std::vector<Datum> data = Synthetic(model, Spacings(2, 20, 6), 0, 1);
  for (const Datum& d : Synthetic(model, Spacings(20, 1000, 6), 0, 10)) data.push_back(d);
  // The overlap's readings differ between the segments by the array alone.
  ASSERT_GT(std::abs(data[6].rho / data[7].rho - 1), 1e-3);
  const Fit fit = Invert(data, {2, kNoise});
  EXPECT_LT(fit.rmsPercent, 0.01);
  EXPECT_NEAR(fit.model.resistivity[0], 30, 0.3);
  EXPECT_NEAR(fit.model.resistivity[1], 300, 3);
  EXPECT_NEAR(fit.model.thickness[0], 6, 0.06);
}

// The model's sounding in three MN/2 segments with overlapping AB/2, each
// segment's readings times its factor, with noise when `seed` is not 0.
std::vector<Datum> Segmented(const sounding::LayeredModel& model,
                             const std::array<double, 3>& factors, std::uint32_t seed) {
  const struct {
    double from, to, mn2;
  } segments[] = {{1.5, 15, 0.5}, {10, 150, 5}, {100, 1000, 50}};
  std::vector<Datum> data;
  for (int k = 0; k < 3; ++k) {
    const auto& s = segments[k];
    for (Datum d : Synthetic(model, Spacings(s.from, s.to, 8), seed == 0 ? 0 : seed + k, s.mn2)) {
      d.rho *= factors[k];
      d.segment = k;
      data.push_back(d);
    }
  }
  return data;
}

TEST(Inversion, FittedShiftsTakeUpEachSegmentsFactor) {
  const sounding::LayeredModel model{{10, 100, 1000}, {2, 20}};
  const std::array<double, 3> factors{1, 1.15, 0.87};
  const struct {
    int reference;
    std::uint32_t seed;
  } cases[] = {{0, 0}, {2, 0}, {0, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE("reference " + std::to_string(c.reference) + " seed " + std::to_string(c.seed));
    const std::vector<Datum> data = Segmented(model, factors, c.seed);
    const Options options{3, kNoise, true, c.reference};
    const Fit fit = Invert(data, options);
    // The reference's level is the model's: resistivities scale with it.
    const double level = factors[static_cast<std::size_t>(c.reference)];
    std::vector<Parameter> fitted;
    for (std::size_t k = 0; k < factors.size(); ++k) {
      if (static_cast<int>(k) != c.reference)
        fitted.push_back({"shift", factors[k] / level, fit.shifts.at(k)});
    }
    sounding::LayeredModel scaled = model;
    for (double& rho : scaled.resistivity) rho *= level;
    for (const Parameter& p : Parameters(scaled, fit)) fitted.push_back(p);
    ASSERT_EQ(fitted.size(), 7u);
    if (c.seed == 0) {
      EXPECT_LT(fit.rmsPercent, 0.01);  // against the shifted model
      for (const Parameter& p : fitted)
        EXPECT_NEAR(p.fitted.value / p.truth, 1, 1e-3) << p.name << " " << p.truth;
    } else {
      for (const Parameter& p : fitted) {
        EXPECT_LE(std::abs(std::log(p.fitted.value / p.truth)), 3 * std::log(p.fitted.factor))
            << p.name << " " << p.truth << " fitted " << p.fitted.value;
      }
      const LayerChoice choice = InvertChoosingLayers(data, options);
      EXPECT_EQ(choice.best.layers.size(), 3u);
      EXPECT_EQ(choice.best.shifts.size(), 3u);
    }
  }
  // The factors are far beyond the error: the layers alone cannot fit them.
  EXPECT_GT(Invert(Segmented(model, factors, 0), {3, kNoise}).chi2PerDof, 3);
}

TEST(Inversion, EachReadingIsWeighedByItsOwnErrorNeverBelowTheFloor) {
  const sounding::LayeredModel model{{100, 10, 300}, {4, 12}};
  std::vector<Datum> data = Synthetic(model, Spacings(1, 1000, 8));
  data[12].rho *= 1.5;
  // How far a fit's layers lie from the model: the largest |ln(fitted / true)|.
  const auto offset = [&](const Fit& fit) {
    double largest = 0;
    for (std::size_t j = 0; j < model.resistivity.size(); ++j) {
      largest =
          std::max(largest, std::abs(std::log(fit.model.resistivity[j] / model.resistivity[j])));
      if (j < model.thickness.size())
        largest =
            std::max(largest, std::abs(std::log(fit.model.thickness[j] / model.thickness[j])));
    }
    return largest;
  };
  // Weighed at the floor, the outlier pulls the fit off the model.
  const Fit floor = Invert(data, {3, kNoise});
  ASSERT_GT(offset(floor), 0.01);
  const struct {
    const char* name;
    double error;
    double low, high;  // of the offset against the floor's
  } cases[] = {
      {"an error below the floor is the floor", 0.01, 1, 1},
      {"a 50 % error hardly counts", 0.5, 0, 0.05},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    data[12].error = c.error;
    const double ratio = offset(Invert(data, {3, kNoise})) / offset(floor);
    EXPECT_GE(ratio, c.low);
    EXPECT_LE(ratio, c.high);
  }
  // Every reading's own error above the floor is the fit's error.
  for (Datum& d : data) d.error = 0.1;
  const Fit own = Invert(data, {3, kNoise});
  for (Datum& d : data) d.error = 0;
  const Fit whole = Invert(data, {3, 0.1});
  EXPECT_EQ(own.chi2, whole.chi2);
  EXPECT_EQ(own.covariance, whole.covariance);
}

TEST(Inversion, DataKeepTheFiniteArrayWhereItMatters) {
  const double nan = std::nan("");
  const std::vector<sounding::Reading> readings{
      {1, 10, 1, nan, 50, 1, nan, 0},    // MN/2 a tenth of AB/2: finite
      {2, 1000, 1, nan, 50, 1, nan, 0},  // a thousandth: ideal
      {3, 10, nan, nan, 50, 1, nan, 0},  // unknown: ideal
  };
  const std::vector<Datum> data = DataOf(readings);
  EXPECT_EQ(data[0].mn2, 1);
  EXPECT_EQ(data[1].mn2, 0);
  EXPECT_EQ(data[2].mn2, 0);
}

TEST(Inversion, DataCarryEachReadingsErrorAndSegment) {
  const double nan = std::nan("");
  const std::vector<sounding::Reading> readings{
      {1, 10, 1, nan, 50, 1, nan, 0},           // no error: the fit's
      {2, 20, 2, nan, 50, 3, 0.1, 1, 1, 0.05},  // 5 %, segment 1
  };
  const std::vector<Datum> data = DataOf(readings);
  EXPECT_EQ(data[0].error, 0);
  EXPECT_EQ(data[1].error, 0.05);
  EXPECT_EQ(data[1].segment, 1);
}

TEST(Inversion, RefusesWhatCannotBeFitted) {
  const std::vector<Datum> three{{1, 0, 10}, {2, 0, 12}, {4, 0, 15}};
  const struct {
    std::vector<Datum> data;
    Options options;
    const char* message;
  } cases[] = {
      {three, {2, kNoise}, ""},
      {three,
       {3, kNoise},
       "3 readings cannot determine 5 free parameters of 3 layers; at least 5 needed"},
      {three, {0, kNoise}, "the number of layers must be from 1 to 8"},
      {three, {9, kNoise}, "the number of layers must be from 1 to 8"},
      {three, {1, 0}, "the data error must be above 0 %"},
      {{{1, 0, 10}, {2, 0, -1}},
       {1, kNoise},
       "every reading needs AB/2 > MN/2 >= 0 and an apparent resistivity above 0"},
      {{{1, 2, 10}},
       {1, kNoise},
       "every reading needs AB/2 > MN/2 >= 0 and an apparent resistivity above 0"},
      {{},
       {1, kNoise},
       "0 readings cannot determine 1 free parameter of 1 layer; at least 1 needed"},
      {{{1, 0, 10, -0.1}}, {1, kNoise}, "a reading's error must be 0 % or above"},
      {three, {1, kNoise, false, 0, 0}, "the evaluation limit must be 1 or above"},
      {{{1, 0, 1e-300}, {2, 0, 1e300}, {4, 0, 1e-300}, {8, 0, 1e300}, {16, 0, 1e-300}},
       {3, kNoise},
       "no layered model with finite apparent resistivities fits the readings (they lie too many "
       "decades apart, or too near the largest number)"},
      {three, {1, kNoise, true, 1}, "the reference segment 1 has no readings"},
      {{{1, 0, 10, 0, 0}, {2, 0, 12, 0, 1}, {4, 0, 15, 0, 2}},
       {2, kNoise, true, 0},
       "3 readings cannot determine 5 free parameters of 2 layers and 2 shifts; at least 5 "
       "needed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    try {
      Invert(c.data, c.options);
      EXPECT_STREQ(c.message, "");
    } catch (const InversionError& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

}  // namespace
}  // namespace tavrin::inversion
