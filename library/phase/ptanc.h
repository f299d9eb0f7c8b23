// Two-phase temperature of a pseudo-pure fluid, and the critical-flow factor
// of a nozzle (public in library/library.h).
#pragma once

#include <string>

#include "library/library.h"

namespace lib {

// Adjusts T so that the quality-weighted mix of bubble and dew pressure at T
// equals P.  code: 'Q' q given; 'D' the overall density b; 'H', 'S', 'E'
// enthalpy, entropy or energy b (q follows from b at each T); any other
// letter counts as 'Q'.  Returns the phase densities at the final T.
// Errors: 223 bubble point, 224 dew point failed; 226 no convergence.
void PTANC(double& T, double P, double& q, double b, char code, double& Dl, double& Dv, int& ierr,
           std::string& herr);

}  // namespace lib
