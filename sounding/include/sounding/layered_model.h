// A horizontally layered earth: N layers from the surface down, the last one
// a half-space, each with its resistivity and (but the last) its thickness.
#pragma once

#include <vector>

namespace tavrin::sounding {

struct LayeredModel {
  std::vector<double> resistivity;  // N >= 1 values, top layer first, each > 0
  std::vector<double> thickness;    // N - 1 values, each > 0
};

}  // namespace tavrin::sounding
