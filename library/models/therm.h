// Thermodynamic properties at temperature, density and composition.  The
// routines (THERM, THERM2, THERM0, RESIDUAL, ENTRO, ENTHAL, ENERGY, CVCP,
// CVCPK, GIBBS, AG) are part of the library interface in library/library.h.
#pragma once

#include "library/library.h"
