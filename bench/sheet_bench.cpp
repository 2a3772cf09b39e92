// Speed of reading a field sheet: ParseSounding over sheets of 100,000 and
// 1,000,000 reading lines (ab2,mn2,v,i; every MN/2 its own segment, the
// worst case for forming segments; and the same with semicolons and decimal
// commas), against a baseline in the same run: the same lines cut at their
// separators and their numbers read by std::from_chars, the least any reader
// of the sheet does.
#include <benchmark/benchmark.h>

#include <charconv>
#include <string>

#include "sounding/sounding.h"

namespace {

std::string Sheet(long lines, bool decimalComma) {
  const char separator = decimalComma ? ';' : ',';
  std::string text = std::string("ab2") + separator + "mn2" + separator + "v" + separator + "i\n";
  for (long k = 0; k < lines; ++k) {
    // MN/2 from 0.001 up by 0.001: a million distinct segments.
    std::string line = std::to_string(1000 + k % 1000) + ".5" + separator + "0." +
                       std::to_string(100000 + k) + separator + "1.25" + separator + "0.5\n";
    if (decimalComma) {
      for (char& c : line) {
        if (c == '.') c = ',';
      }
    }
    text += line;
  }
  return text;
}

void BM_ReadSheet(benchmark::State& state, bool decimalComma) {
  const std::string text = Sheet(state.range(0), decimalComma);
  for (auto _ : state) {
    const tavrin::sounding::Sounding s = tavrin::sounding::ParseSounding(text);
    benchmark::DoNotOptimize(s.readings.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Baseline: every line cut at its separators and each field read by
// std::from_chars (decimal points only).
void BM_SheetBaseline_FromChars(benchmark::State& state) {
  const std::string text = Sheet(state.range(0), false);
  for (auto _ : state) {
    double sum = 0;
    const char* p = text.data() + text.find('\n') + 1;
    const char* end = text.data() + text.size();
    while (p < end) {
      double value = 0;
      p = std::from_chars(p, end, value).ptr;
      sum += value;
      ++p;  // the separator or the line feed
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK_CAPTURE(BM_ReadSheet, points, false)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadSheet, decimal_commas, true)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SheetBaseline_FromChars)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
