// One point of a mixture's phase boundary at given density of the feed
// phase: the step SATSPLN repeats along the whole boundary.
#pragma once

namespace lib::mix {

// A boundary point: the feed phase (composition z) at density D and
// temperature T, pressure P, in equilibrium with the incipient phase of
// density Dinc and composition inc.
struct BoundaryPoint {
    double D = 0, Dinc = 0, T = 0, P = 0;
    double inc[20] = {};
};

// Newton's method on ln K, ln T and ln Dinc at the given D of feed z (the
// density formulation of SATGV at vapour fraction 1, the feed's density held
// fixed), from the start in p: the feed phase needs no composition
// derivatives, and a point is taken when the mean square of a step after
// the first falls to 1e-12 (SATGV's test; near the critical point a
// small first step is no sign of convergence), without a further
// evaluation.  True with p
// the point; false with p unchanged where the iteration leaves its bounds
// (|ln K| > 100, T outside 2..2000 K, a density above 100 mol/L), reaches
// the trivial solution, or does not converge in 20 steps.
bool boundary_point(const double z[20], double D, BoundaryPoint& p);

}  // namespace lib::mix
