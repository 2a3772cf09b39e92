// The model file of forward --model and invert --model-out: one layer a
// line, its resistivity and thickness, the last layer's thickness empty (the
// half-space); separators, quotes and "#" comments as batch reads them, and a
// first line whose fields are all words (each starts with a letter) is a
// header.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/args.h"
#include "sounding/layered_model.h"

namespace tavrin::cli {

// A whole text read as a finite double (plain decimal, C locale, an
// optional "+"); nothing for any other text.
std::optional<double> ParseNumber(std::string_view text);

// A positive finite number; anything else throws Error (UsageError for an
// argument, InputError for a line of a file), `what` naming it.
template <typename Error>
double PositiveNumber(std::string_view text, std::string_view what) {
  const std::optional<double> value = ParseNumber(text);
  if (!value) throw Error(std::string(what) + " '" + std::string(text) + "' is not a number");
  if (!(*value > 0))
    throw Error(std::string(what) + " '" + std::string(text) + "' must be above 0");
  return *value;
}

// The model in `text`, the file `path`. Throws InputError naming the file and
// line (PATH:LINE: reason) for a line that is no layer, a layer below the
// half-space, or a file without a half-space.
sounding::LayeredModel ParseModelFile(std::string_view text, const std::string& path);

}  // namespace tavrin::cli
