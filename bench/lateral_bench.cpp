// Speed of a laterally constrained profile fit, the separate fits it starts
// from included: S soundings of 25 readings (AB/2 log-spaced from 1 to 500)
// with 4 layers, a conductive layer thickening along the line, 3 % noise.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "inversion/lateral.h"
#include "sounding/forward.h"

namespace {

std::vector<tavrin::inversion::Station> NoisyLine(int count) {
  std::mt19937 engine(1);
  std::vector<tavrin::inversion::Station> stations;
  for (int s = 0; s < count; ++s) {
    const double along = static_cast<double>(s) / (count - 1);
    const tavrin::sounding::LayeredModel model{{120, 300, 20, 500}, {2, 6, 8 + 20 * along}};
    tavrin::inversion::Station station{10.0 * s, {}};
    for (int i = 0; i < 25; ++i) {
      const double ab2 = std::pow(500.0, i / 24.0);
      // Box-Muller from two uniform deviates.
      const double u1 = (static_cast<double>(engine()) + 1.0) / 4294967297.0;
      const double u2 = static_cast<double>(engine()) / 4294967296.0;
      const double z = std::sqrt(-2 * std::log(u1)) * std::cos(6.283185307179586 * u2);
      station.data.push_back(
          {ab2, 0,
           tavrin::sounding::ApparentResistivity(model, ab2) * std::exp(std::log1p(0.03) * z)});
    }
    stations.push_back(std::move(station));
  }
  return stations;
}

void BM_InvertLaterally(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const auto stations = NoisyLine(count);
  tavrin::inversion::LateralOptions options;
  options.fit.layers = 4;
  options.lateral = 1;
  int iterations = 0;
  for (auto _ : state) {
    const auto fit = tavrin::inversion::InvertLaterally(stations, options);
    iterations = fit.iterations;
    benchmark::DoNotOptimize(fit);
  }
  state.SetLabel(std::to_string(count) + " soundings, 25 readings, 4 layers; " +
                 std::to_string(iterations) + " joint iterations");
}
BENCHMARK(BM_InvertLaterally)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace
