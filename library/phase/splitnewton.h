// The last digits of a split at given temperature and pressure: Newton's
// method on the logarithms of the smaller phase's fractions and its amount,
// with the equality of the fugacities as the equations.
#pragma once

#include "library/phase/tpmix.h"

namespace lib::mix {

// Refines the split r of feed z at (T, P) (phases r.x, r.y of densities
// r.Dl, r.Dv at P, vapour fraction r.q) until the logarithms of the
// fugacities agree within 1e-13, and returns the largest difference left.
// r is left as it was where they already agree within `agreed` or where
// the refinement does not bring them closer (1 where they cannot be
// formed).  Not for a feed with a frozen trace (carried in both phases,
// out of equilibrium by design).
constexpr double kSplitAgreed = 1e-11;
double refine_split(double T, double P, const double z[20], TpResult& r,
                    double agreed = kSplitAgreed);

}  // namespace lib::mix
