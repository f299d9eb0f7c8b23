// Saturation points of a feed that carries a frozen trace in both phases.
#pragma once

#include "library/phase/frozen.h"

namespace lib::mix {

// Brings the saturation point (T, P, liquid xl at Dl, vapour xv at Dv) of
// feed x, whose phases hold the trace t at the feed's fractions, to the
// equilibrium of the rest: each component not in the trace at equal
// fugacities in the two phases, the phase of the feed (the liquid at a
// bubble point, kph kBubblePoint; else the vapour) the feed itself.  The
// pressure moves where `at_temperature`, else the temperature.  The start
// is the rest's point without the trace, with the trace added.  False (the
// point left as it came) where that equilibrium is not found, or only the
// trivial one (the feed twice).
bool settle_point_beside_trace(const FrozenTrace& t, const double x[20], int kph,
                               bool at_temperature, double& T, double& P, double& Dl, double& Dv,
                               double xl[20], double xv[20]);

}  // namespace lib::mix
