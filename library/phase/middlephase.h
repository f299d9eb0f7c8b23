// A third phase between the two phases of a split: close to a three-phase
// line the pair of lower Gibbs energy may have, beside one phase of the
// split, a phase whose composition lies between the split's two, in a
// narrow valley below their tangent plane that the trials of the
// tangent-plane test from either phase do not reach (pentane + R116, half
// and half, at 305.35 K, 3.065 MPa: a liquid of 85 % pentane beside a
// vapour of 8 %, where a dense phase of 21 % pentane lies 7e-4 below
// their plane; the two liquids are 1.4 J/mol lower).
#pragma once

#include "library/phase/liquidpair.h"
#include "library/phase/tpmix.h"

namespace lib {

// After the split r of feed z at (T, P): where a trial started between
// its phases ends below their tangent plane, the split of the feed into
// that trial's phase and either phase of r that has the lowest Gibbs
// energy, if lower than r's, replaces r (true then).  False (r unchanged)
// where no such phase or pair is found.
bool prefer_middle_phase(double T, double P, const double z[20], TpResult& r,
                         const SplitFrom& split_from);

}  // namespace lib
