// General flash at given temperature.
#pragma once

#include <string>

// (Callers of the single-phase solver that include this header still find it.)
#include "library/phase/abfl1.h"

namespace lib {

// State at given T and b, the property named by the second letter of ab
// ("TH", "TS", "TE").  kr 2 asks for the higher-density root where two states
// share T and b, any other value for the lower-density one.
void TBFLSH(double T, double b, const double z[20], int kr, const std::string& ab, double& P,
            double& D, double& Dl, double& Dv, double x[20], double y[20], double& q, double& e,
            double& h, double& s, double& cv, double& cp, double& w, int& ierr, std::string& herr);

}  // namespace lib
