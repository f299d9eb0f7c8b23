// Newton's method on the split of a feed beside its frozen trace.
#pragma once

#include "library/phase/frozen.h"

namespace lib::mix {

// The split of feed z at (T, P) whose phases hold the trace t at the
// feed's fractions and the rest at equal fugacities, by Newton's method
// from the start given (phases x of density Dl, y of Dv, vapour fraction
// q; the densities may be 0).  True with the split where it converges to
// two distinct phases with 0 < q < 1; false with the arguments as they
// came otherwise.
bool newton_beside_trace(double T, double P, const double z[20], const FrozenTrace& t, double& Dl,
                         double& Dv, double x[20], double y[20], double& q);

// The same at given vapour fraction q, P unknown (its start in P, the
// result out).
bool newton_beside_trace_at_q(double T, double q, const double z[20], const FrozenTrace& t,
                              double& P, double& Dl, double& Dv, double x[20], double y[20]);

// The bubble point (the feed the liquid) or dew point of feed z beside
// its trace t: the incipient phase holds the trace at the feed's fractions
// and the rest at the feed's fugacities.  At given T (`at_temperature`, P
// moving) or at given P, by Newton's method from the point given (T, P,
// liquid xl at Dl, vapour xv at Dv; the densities may be 0).  True with
// the point where it converges to an incipient phase other than the feed;
// false with the arguments as they came otherwise.
bool newton_point_beside_trace(const FrozenTrace& t, const double z[20], bool bubble,
                               bool at_temperature, double& T, double& P, double& Dl, double& Dv,
                               double xl[20], double xv[20]);

}  // namespace lib::mix
