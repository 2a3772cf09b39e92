// The inputs every benchmark of a kind shares, so that ours and the
// baselines convert exactly the same texts and values.
#pragma once

#include <array>
#include <string_view>

namespace tavrin::bench {

// Typed inputs as the calculator sees them: its defaults and six significant
// digits.
inline constexpr std::array<std::string_view, 4> kShortTexts = {"2.0", "50", "314.159", "0.012345"};

// Texts with 17 significant digits (a double's full round-trip precision).
inline constexpr std::array<std::string_view, 4> kLongTexts = {
    "3.1415926535897931", "0.30000000000000004", "12345678901234567", "2.7182818284590451e-5"};

// Resistivities as the calculator produces them.
inline constexpr std::array<double, 4> kResults = {314.1590118408203, 942.4770355224609, 0.05,
                                                   12345.678};

}  // namespace tavrin::bench
