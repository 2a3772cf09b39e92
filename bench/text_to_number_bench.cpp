// TextToNumber against strtod and std::from_chars on the same texts.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdlib>
#include <string>
#include <vector>

#include "inputs.h"
#include "numtext/numtext.h"

namespace tavrin::bench {
namespace {

template <std::size_t N>
std::vector<TextValue> AsTexts(const std::array<std::string_view, N>& inputs) {
  std::vector<TextValue> texts;
  for (std::string_view input : inputs) texts.push_back(TextValue::Copy(input));
  return texts;
}

template <std::size_t N>
std::vector<std::string> AsStrings(const std::array<std::string_view, N>& inputs) {
  return {inputs.begin(), inputs.end()};
}

template <std::size_t N>
void Ours(benchmark::State& state, const std::array<std::string_view, N>& inputs) {
  const std::vector<TextValue> texts = AsTexts(inputs);
  for (auto _ : state) {
    for (const TextValue& text : texts) benchmark::DoNotOptimize(TextToNumber(text));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * N));
}

template <std::size_t N>
void Strtod(benchmark::State& state, const std::array<std::string_view, N>& inputs) {
  const std::vector<std::string> strings = AsStrings(inputs);
  for (auto _ : state) {
    for (const std::string& s : strings) benchmark::DoNotOptimize(std::strtod(s.c_str(), nullptr));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * N));
}

template <std::size_t N>
void FromChars(benchmark::State& state, const std::array<std::string_view, N>& inputs) {
  for (auto _ : state) {
    for (std::string_view s : inputs) {
      double value = 0;
      std::from_chars(s.data(), s.data() + s.size(), value);
      benchmark::DoNotOptimize(value);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * N));
}

void TextToNumber_Short_Ours(benchmark::State& state) {
  Ours(state, kShortTexts);
}
void TextToNumber_Short_strtod(benchmark::State& state) {
  Strtod(state, kShortTexts);
}
void TextToNumber_Short_from_chars(benchmark::State& state) {
  FromChars(state, kShortTexts);
}
void TextToNumber_Long17_Ours(benchmark::State& state) {
  Ours(state, kLongTexts);
}
void TextToNumber_Long17_strtod(benchmark::State& state) {
  Strtod(state, kLongTexts);
}
void TextToNumber_Long17_from_chars(benchmark::State& state) {
  FromChars(state, kLongTexts);
}

BENCHMARK(TextToNumber_Short_Ours);
BENCHMARK(TextToNumber_Short_strtod);
BENCHMARK(TextToNumber_Short_from_chars);
BENCHMARK(TextToNumber_Long17_Ours);
BENCHMARK(TextToNumber_Long17_strtod);
BENCHMARK(TextToNumber_Long17_from_chars);

}  // namespace
}  // namespace tavrin::bench
