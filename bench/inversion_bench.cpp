// Speed of a whole inversion, every starting model included: a sounding of
// R readings (AB/2 log-spaced from 1 to 1000) fitted with L layers, the data
// from an L-layer model with 3 % noise.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "inversion/inversion.h"
#include "sounding/forward.h"

namespace {

// An L-layer model alternating 100 and 20 ohm-ft, layers thickening downwards.
tavrin::sounding::LayeredModel AlternatingModel(int layers) {
  tavrin::sounding::LayeredModel model;
  for (int j = 0; j < layers; ++j) {
    model.resistivity.push_back(j % 2 == 0 ? 100.0 * (j + 1) : 20.0);
    if (j + 1 < layers) model.thickness.push_back(2.0 * std::pow(3.0, j));
  }
  return model;
}

std::vector<tavrin::inversion::Datum> NoisySounding(const tavrin::sounding::LayeredModel& model,
                                                    int readings) {
  std::mt19937 engine(1);
  std::vector<tavrin::inversion::Datum> data;
  for (int i = 0; i < readings; ++i) {
    const double ab2 = std::pow(1000.0, static_cast<double>(i) / (readings - 1));
    // Box-Muller from two uniform deviates.
    const double u1 = (static_cast<double>(engine()) + 1.0) / 4294967297.0;
    const double u2 = static_cast<double>(engine()) / 4294967296.0;
    const double z = std::sqrt(-2 * std::log(u1)) * std::cos(6.283185307179586 * u2);
    data.push_back(
        {ab2, 0,
         tavrin::sounding::ApparentResistivity(model, ab2) * std::exp(std::log1p(0.03) * z)});
  }
  return data;
}

void BM_Invert(benchmark::State& state) {
  const int readings = static_cast<int>(state.range(0));
  const int layers = static_cast<int>(state.range(1));
  const auto data = NoisySounding(AlternatingModel(layers), readings);
  for (auto _ : state) {
    benchmark::DoNotOptimize(tavrin::inversion::Invert(data, {layers, 0.03}));
  }
  state.SetLabel(std::to_string(readings) + " readings, " + std::to_string(layers) + " layers");
}
BENCHMARK(BM_Invert)->ArgsProduct({{12, 24, 48, 96}, {2, 3, 4, 6}})->Unit(benchmark::kMillisecond);

}  // namespace
