// Speed of the forward model: apparent resistivities per second of a
// five-layer model over the ideal Schlumberger array, AB/2 log-spaced from 1 to
// 1000 (six a decade), by the digital filter and by the reference integration.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "sounding/forward.h"

namespace {

constexpr int kSpacings = 19;  // 1 .. 1000, six a decade

const tavrin::sounding::LayeredModel kFiveLayers{{100, 20, 300, 5, 1000}, {2, 6, 15, 40}};

std::vector<double> Spacings() {
  std::vector<double> ab2;
  for (int k = 0; k < kSpacings; ++k) ab2.push_back(std::pow(10.0, k / 6.0));
  return ab2;
}

template <double (*Forward)(const tavrin::sounding::LayeredModel&, double, double)>
void BM_ApparentResistivity(benchmark::State& state) {
  const std::vector<double> ab2 = Spacings();
  for (auto _ : state) {
    for (const double s : ab2) benchmark::DoNotOptimize(Forward(kFiveLayers, s, 0));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(ab2.size()));
}
BENCHMARK(BM_ApparentResistivity<tavrin::sounding::ApparentResistivity>)
    ->Name("BM_ForwardFilter/5layers_ideal");
BENCHMARK(BM_ApparentResistivity<tavrin::sounding::ApparentResistivityExact>)
    ->Name("BM_ForwardReference/5layers_ideal")
    ->Unit(benchmark::kMillisecond);

}  // namespace
