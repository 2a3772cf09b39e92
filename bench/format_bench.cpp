// FormatNumber under the calculator's mask against snprintf("%.1f") and
// std::to_chars (fixed, one decimal), and under "0.00" and "#,##0.00"
// against std::to_chars (fixed, two decimals); GenerateDecimalDigits against
// std::to_chars (scientific, 17 significant digits).
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "app/calculator.h"
#include "inputs.h"
#include "numtext/numtext.h"

namespace tavrin::bench {
namespace {

constexpr ConstText kMask = kResultMask;
constexpr ConstText kTwoDecimalsMask = "0.00";
constexpr ConstText kGroupedMask = "#,##0.00";
constexpr int kTwoDecimals = 2;
constexpr std::int64_t kValueCount = static_cast<std::int64_t>(kResults.size());
// Room for any "%.1f" of the benchmark's values and for 17-digit scientific.
constexpr std::size_t kTextCapacity = 64;
// Digits asked of the generator: a double's 17 significant digits.
constexpr int kDigitCount = 17;

void FormatNumber_Mask_Ours(benchmark::State& state) {
  for (auto _ : state) {
    for (double value : kResults) {
      TextValue text = FormatNumber(static_cast<Extended>(value), kMask);
      benchmark::DoNotOptimize(text.handle());
    }
  }
  state.SetItemsProcessed(state.iterations() * kValueCount);
}

// The part of FormatNumber_Mask_Ours that is the result text alone: the same
// texts made and released, nothing formatted.
void FormatNumber_Mask_TextCopy(benchmark::State& state) {
  std::vector<std::string> results;
  for (double value : kResults) results.push_back(FormatNumber(value, kMask).str());
  for (auto _ : state) {
    for (const std::string& result : results) {
      TextValue text = TextValue::Copy(result);
      benchmark::DoNotOptimize(text.handle());
    }
  }
  state.SetItemsProcessed(state.iterations() * kValueCount);
}

void FormatNumber_Mask_snprintf(benchmark::State& state) {
  char text[kTextCapacity];
  for (auto _ : state) {
    for (double value : kResults) {
      benchmark::DoNotOptimize(std::snprintf(text, sizeof text, "%.1f", value));
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(state.iterations() * kValueCount);
}

void FormatNumber_Mask_to_chars(benchmark::State& state) {
  char text[kTextCapacity];
  for (auto _ : state) {
    for (double value : kResults) {
      benchmark::DoNotOptimize(
          std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1).ptr);
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(state.iterations() * kValueCount);
}

void FormatTwoDecimals(benchmark::State& state, TextRef mask) {
  for (auto _ : state) {
    for (double value : kResults) {
      TextValue text = FormatNumber(static_cast<Extended>(value), mask);
      benchmark::DoNotOptimize(text.handle());
    }
  }
  state.SetItemsProcessed(state.iterations() * kValueCount);
}

void FormatNumber_Fixed2_Ours(benchmark::State& state) {
  FormatTwoDecimals(state, kTwoDecimalsMask);
}

void FormatNumber_Grouped2_Ours(benchmark::State& state) {
  FormatTwoDecimals(state, kGroupedMask);
}

// The baseline of both two-decimal masks (std::to_chars does not group).
void FormatTwoDecimals_to_chars(benchmark::State& state) {
  char text[kTextCapacity];
  for (auto _ : state) {
    for (double value : kResults) {
      benchmark::DoNotOptimize(
          std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, kTwoDecimals)
              .ptr);
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(state.iterations() * kValueCount);
}

void FormatNumber_Fixed2_to_chars(benchmark::State& state) {
  FormatTwoDecimals_to_chars(state);
}

void FormatNumber_Grouped2_to_chars(benchmark::State& state) {
  FormatTwoDecimals_to_chars(state);
}

void DecimalDigits_17_Ours(benchmark::State& state) {
  char buffer[kTextCapacity];
  for (auto _ : state) {
    for (double value : kResults) {
      benchmark::DoNotOptimize(
          GenerateDecimalDigits(static_cast<Extended>(value), kDigitCount, buffer));
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(state.iterations() * kValueCount);
}

void DecimalDigits_18_Ours(benchmark::State& state) {
  char buffer[kTextCapacity];
  for (auto _ : state) {
    for (double value : kResults) {
      benchmark::DoNotOptimize(
          GenerateDecimalDigits(static_cast<Extended>(value), kDigitCount + 1, buffer));
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(state.iterations() * kValueCount);
}

void DecimalDigits_17_to_chars(benchmark::State& state) {
  char text[kTextCapacity];
  for (auto _ : state) {
    for (double value : kResults) {
      benchmark::DoNotOptimize(std::to_chars(text, text + sizeof text, value,
                                             std::chars_format::scientific, kDigitCount - 1)
                                   .ptr);
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(state.iterations() * kValueCount);
}

BENCHMARK(FormatNumber_Mask_Ours);
BENCHMARK(FormatNumber_Mask_TextCopy);
BENCHMARK(FormatNumber_Mask_snprintf);
BENCHMARK(FormatNumber_Mask_to_chars);
BENCHMARK(FormatNumber_Fixed2_Ours);
BENCHMARK(FormatNumber_Fixed2_to_chars);
BENCHMARK(FormatNumber_Grouped2_Ours);
BENCHMARK(FormatNumber_Grouped2_to_chars);
BENCHMARK(DecimalDigits_17_Ours);
BENCHMARK(DecimalDigits_17_to_chars);
BENCHMARK(DecimalDigits_18_Ours);
// The 18-digit group has the same baseline, a double's 17 digits.
void DecimalDigits_18_to_chars(benchmark::State& state) {
  DecimalDigits_17_to_chars(state);
}
BENCHMARK(DecimalDigits_18_to_chars);

}  // namespace
}  // namespace tavrin::bench
