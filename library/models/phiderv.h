// Composition derivatives of the residual Helmholtz energy of a mixture
// (PHIDERV), the fugacities built on them and their numerical counterpart
// (FGCTY).  The public routines are declared in library/library.h.
#pragma once

#include <string>

#include "library/library.h"

namespace lib {

// iderv 1: dadn_i = n (d alpha / d n_i) and dnadn_i = d(n alpha)/d n_i at
// constant T and V; iderv 2 (or 3): also every entry of PHIDR.  Error 1
// for a state whose compressibility factor is not positive, 191 for a
// mixing rule without composition derivatives.
void PHIDERV(int iderv, double T, double D, const double x[20], double dadn[20], double dnadn[20],
             int& ierr, std::string& herr);

// Whether PHIDERV gives composition derivatives for x under the current
// mixture model (the mixing rules "LIN", "LJ" and "LM" have none), without
// forming its message.
bool composition_derivatives_exist(const double x[20]);

}  // namespace lib
