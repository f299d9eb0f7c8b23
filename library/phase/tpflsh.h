// Flash at given temperature and pressure, and its two-phase split.
#pragma once

#include <string>

#include "library/library.h"

namespace lib {

// Two-phase split at given T and P of a mixture: liquid and vapour densities
// and compositions (start values in, results out) and the vapour fraction q.
void TPFL2(double T, double P, const double z[20], double& Dl, double& Dv, double x[20],
           double y[20], double& q, int& ierr, std::string& herr);

}  // namespace lib
