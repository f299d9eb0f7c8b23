// General flash at given pressure with enthalpy, entropy or energy.
#pragma once

#include <string>

namespace lib {

// State at given P and b, the property named by the second letter of ab
// ("PH", "PS", "PE"); the output slot of the given property is written with
// the computed value.  Errors 240 (critical point), 241 (bubble point), 242
// (dew point), 249 (b outside the range of the equation), 250 (solid or
// solid-vapour state), the range codes and the solvers' own errors.
void PBFLSH(double P, double b, const double z[20], const std::string& ab, double& T, double& D,
            double& Dl, double& Dv, double x[20], double y[20], double& q, double& e, double& h,
            double& s, double& cv, double& cp, double& w, int& ierr, std::string& herr);

}  // namespace lib
