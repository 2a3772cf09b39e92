// What the survey commands' JSON shares: numbers as the CSV prints them, and
// the layer count's trials.
#pragma once

#include <nlohmann/json.hpp>
#include <span>
#include <string_view>

#include "inversion/inversion.h"

namespace tavrin::cli {

// The CSV's six digits' value; null for NaN and infinity.
nlohmann::ordered_json JsonNumber(double value);

// The trials of --layers auto, the count chosen and by what criterion.
nlohmann::ordered_json LayerCountJson(std::span<const inversion::LayerTrial> trials, int chosen,
                                      std::string_view criterion);

}  // namespace tavrin::cli
