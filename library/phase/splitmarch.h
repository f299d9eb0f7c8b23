// A split at given temperature carried along the pressure by Newton's
// method: next to a mixture's critical point the successive substitution
// of TPFL2 does not converge from the start the saturation points give
// (R404A at its critical temperature, three quarters of the way from its
// dew to its bubble pressure), while Newton's method from a split a little
// lower in pressure does.
#pragma once

#include "library/phase/tpmix.h"

namespace lib::mix {

// The split of feed z at (T, P) reached in steps of pressure from the
// converged split r at (T, r_P): true with it in r (Newton's method ended
// it, both phases present and distinct), false with r unchanged.
bool split_marched_to(double T, double r_P, double P, const double z[20], TpResult& r);

}  // namespace lib::mix
