// The split of a feed that carries a frozen trace in both phases.
#pragma once

#include "library/phase/frozen.h"

namespace lib::mix {

// Brings the split (x at Dl, y at Dv, vapour fraction q) of feed z at
// (T, P), whose phases hold the trace t at the feed's fractions, to the
// equilibrium of the rest: each component not in the trace at equal
// fugacities in the two phases, at their densities at (T, P) with the
// trace in them.  The start is the split of the rest without the trace,
// with the trace added.  False (the split left as it came) where that
// equilibrium is not found.
bool settle_beside_trace(double T, double P, const double z[20], const FrozenTrace& t, double& Dl,
                         double& Dv, double x[20], double y[20], double& q);

}  // namespace lib::mix
