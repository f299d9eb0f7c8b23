// Surface tension: the pure-component sum of a slot and the composition
// whose critical point has given fugacity fractions (used by the mixture
// rules "STX" and "STM").
#pragma once

#include <string>

namespace lib {

// Surface tension (N/m) of slot icomp at tau = 1 - T/Tc from its "ST1"
// terms; error 99 and the marker -9999990 for any other model code.
void STNK(int icomp, double tau, double& sigma, int& ierr, std::string& herr);

// Changes x (in: the start composition) until the fugacity fractions at its
// critical point equal w; Tc (K), Pc (kPa), Dc (mol/L) of that point.
// Error 160 when the critical point fails or after 20 passes.
void CRITF(const double w[20], double x[20], double& tc, double& pc, double& dc, int& ierr,
           std::string& herr);

}  // namespace lib
