// The stable pair of phases of a binary feed whose split is not stable (its
// liquid splits in two, or a liquid of two splits off a vapour) and where
// the other pair the flash tried is not stable either.  By the phase rule a
// binary has three phases at given T only on a line of pressures: off that
// line one pair of phases is stable, and this finds it.
#pragma once

#include "library/phase/liquidpair.h"
#include "library/phase/tpmix.h"

namespace lib {

// What the search for a binary's stable pair ended on.
enum class BinaryPair {
    kFound,        // r became the stable pair
    kSinglePhase,  // the feed's own phase is stable (only where asked for)
    kThreePhase,   // a third phase lies on the tangent plane of the pair found
                   // (within kOnThreePhaseLine): the state is on the line
    kNotFound,     // no stable pair found, or not a binary feed: r stays
};

// Tangent-plane distances (G / (R T)) of a third phase within this of zero
// put the state on the three-phase line.
constexpr double kOnThreePhaseLine = 1e-8;

// The feed's own phase where it is stable: its density root, and whether
// it is the denser of two roots (or, the only one, lies above the critical
// density).
struct FeedPhase {
    double D = 0.0;
    bool liquid_like = false;
};

// For a feed z of two components at (T, P) and a split r of it (an
// equilibrium, found not stable): the Gibbs energy of both density roots
// over the compositions (a logit grid of the first component's fraction,
// and the phases of r); the lower convex hull of those at the feed names the
// two phases to split from; the split from there is taken where no phase
// lies below its tangent plane (the lowest points of the grid refined),
// else the phase found below it joins the hull and the split is made again.
// With `feed`, first the feed itself: where its own phase (the lower of its
// two roots that are phases) lies on that hull and no phase lies below its
// tangent plane, it is stable (kSinglePhase, its root in *feed).  The
// tangent-plane test may have found it unstable from another root: one
// behind a loop of the equation, which the grid takes for no phase.
BinaryPair stable_binary_pair(double T, double P, const double z[20], TpResult& r,
                              const SplitFrom& split_from, FeedPhase* feed = nullptr);

// Whether the grid above searches feed z at T: two components, both fluid
// (none frozen), liquids modelled.
bool binary_grid_applies(double T, const double z[20]);

// Whether the root D of a binary feed z at (T, P) that the grid above
// would search (both components fluid, liquids modelled) is no phase: not
// the first crossing of P from the dilute gas nor the densest root, but a
// root behind a loop of the equation (ipentane + heptane at 300 K,
// 6.75 MPa: 2.72 mol/L beyond a well of negative pressures, the liquid's
// 7.58).
bool root_behind_loop(double T, double P, const double z[20], double D);

}  // namespace lib
