// Fuzzes the two small readers of the tool: the model file of forward
// --model (a model read is one to any number of layers, each resistivity
// and thickness finite and positive, one thickness fewer than
// resistivities; anything else is an InputError naming the file) and the
// --args-from line splitter (a line without a backslash splits at its tabs
// and nowhere else).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cli/args_from.h"
#include "cli/model_file.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_model_file: %s\n", what);
  std::abort();
}

void CheckModel(std::string_view text) {
  try {
    const tavrin::sounding::LayeredModel model = tavrin::cli::ParseModelFile(text, "m.csv");
    if (model.resistivity.empty()) Fail("a model without layers");
    if (model.thickness.size() + 1 != model.resistivity.size()) Fail("thicknesses and layers");
    for (const double v : model.resistivity) {
      if (!(v > 0) || !std::isfinite(v)) Fail("a resistivity not finite and positive");
    }
    for (const double v : model.thickness) {
      if (!(v > 0) || !std::isfinite(v)) Fail("a thickness not finite and positive");
    }
  } catch (const tavrin::cli::InputError& error) {
    if (std::string_view(error.what()).rfind("m.csv:", 0) != 0)
      Fail("an error not naming the file");
  }
}

void CheckSplit(std::string_view line) {
  const auto words = tavrin::cli::SplitEscapedLine(line);
  if (line.find('\\') != std::string_view::npos) return;
  if (!words) Fail("a line without escapes refused");
  std::string joined = words->front();
  for (std::size_t k = 1; k < words->size(); ++k) joined += '\t' + (*words)[k];
  if (joined != line) Fail("a line without escapes split other than at its tabs");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckModel(text);
  CheckSplit(text.substr(0, std::min(text.find('\n'), text.size())));
  return 0;
}
