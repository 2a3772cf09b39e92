// One calculator reading: four typed texts in, the resistivity and the text
// the calculator's result box would show out.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::cli {

struct ReadingResult {
  double rho;        // ComputeResistivity of the four texts
  std::string text;  // rho under the result mask "###.#"
};

// Reads n, a, v and i exactly as the window reads its boxes (the bytes become
// texts, then ComputeResistivity) and formats rho as the window does.
ReadingResult ComputeReading(std::string_view n, std::string_view a, std::string_view v,
                             std::string_view i);

// The same reading without a new string: returns rho and appends its text
// under the result mask to `text`.
double AppendReading(std::string_view n, std::string_view a, std::string_view v, std::string_view i,
                     std::string& text);

}  // namespace tavrin::cli
