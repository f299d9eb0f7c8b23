// Density of one phase at given temperature and pressure (TPRHO): declared with the
// library's public routines.
#pragma once

#include "library/library.h"

namespace lib {

// Whether TPRHO would accept D as a converged root at T: outside the band
// 0.2 Dc < D < 2 Dc below 1.2 Tc at once, inside it when dP/dD >= 0 and the
// cross derivative d2P/dDdT is not negative.
bool tprho_accepts(double T, double D, const double x[20], double Tc, double Dc);

}  // namespace lib
