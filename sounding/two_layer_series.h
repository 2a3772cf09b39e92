// The exact apparent resistivity of two layers, the image series summed to
// its limit for every reflection coefficient (two_layer_series.cpp). The
// forward model takes it as its reference where the filter alone cannot be
// trusted.
#pragma once

namespace tavrin::sounding {

// rho_a / rho_1 of a layer of resistivity rho1 and thickness h over a
// half-space of rho2, for the Schlumberger array with AB/2 = ab2 and
// MN/2 = mn2 (0 for the ideal array, else 0 < mn2 < ab2). Needs positive
// finite rho1, rho2, h and ab2. About 1e-14 relative, or 1e-15 of the larger
// of rho1, rho2 in units of rho1, whichever is larger.
double TwoLayerRatio(double rho1, double rho2, double h, double ab2, double mn2);

}  // namespace tavrin::sounding
