// Thermodynamic properties at temperature, density and composition.  The
// routines (THERM, THERM2, THERM0, RESIDUAL, ENTRO, ENTHAL, ENERGY, CVCP,
// CVCPK, GIBBS, AG) are part of the library interface in library/library.h.
#pragma once

#include "library/library.h"

namespace lib {

// Energy, enthalpy and entropy at (T, D), as THERM gives them (the same
// digits), without the derivatives that cv, cp, w and hjt need.
void energy_enthalpy_entropy(double T, double D, const double x[20], double& e, double& h,
                             double& s);

}  // namespace lib
