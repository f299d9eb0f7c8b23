// Density roots of the phases the tangent-plane test tries: Newton's steps
// from a nearby root where they stay on the branch they start on, the
// density solver where they do not.
#pragma once

#include "library/models/press.h"

namespace lib::mix {

// Newton's steps on P(D) at composition w from the root D0 of a phase of
// nearly the same composition, to the last digits: the root the density
// solver finds from that start, for some two evaluations in place of its
// five and its checks.  False where dP/dD is not positive on the way or the
// density leaves 10 % of D0 (the density solver then decides).
bool near_root(double T, double P, const double w[20], double D0, double& D);

// Newton's steps on P(D) = P from D0 that, after the first, stay on one
// side of the root: above it on the rising convex branch of a liquid, below
// it on the rising concave branch of a gas.  On such a branch every step
// lands on the same side, closer, whatever the start; a step back across
// the root, a pressure that does not rise or a runaway density shows the
// isotherm is not of that shape between start and root (a loop of the
// equation, a near-critical inflection), and the caller's solver decides.
// With a `floor` (a liquid's) the first step too stays on its side (a
// start above the root), and a step below the floor ends the steps.
// With `at_start` (the pressure and slope at D0, where known) the first step
// takes them.
bool sided_root(double T, double P, const double w[20], double D0, bool liquid, double& D,
                double floor = 0.0, const PressDerivs* at_start = nullptr);

// The vapour root of composition w at (T, P): the first crossing of P along
// the isotherm from the dilute gas; false where the pressure turns back
// before it reaches P (no vapour of that composition).
bool vapour_root(double T, double P, const double w[20], double& D);

// A vapour root: Newton's steps from `from` (the ideal gas's density
// where it is 0), else the march of vapour_root.
bool gas_root(double T, double P, const double w[20], double from, double& D);

// Whether a vapour root is the first crossing of P along the isotherm: the
// pressure rises below it and stays under P (a root in a loop of the
// equation inside the two-phase region fails this).
bool first_root(double T, double P, const double w[20], double D);

// The first crossing of P along the isotherm below the root D, which is
// not one (first_root fails): next to a mixture's critical point a loop of
// the equation narrower than the march's step lies between its gas and
// liquid roots, and the march steps over it onto the liquid (R511A at
// 369.595 K, 4251.39 kPa: gas root 4.187 mol/L, loop up to 1.5 kPa above P
// to 5.05 mol/L, liquid root 5.889).  The isotherm scanned in kCrossingScan
// steps up to D; false where no pressure on them reaches P.
bool first_crossing_below(double T, double P, const double w[20], double D, double& root);

// Whether the isotherm at composition w has no stable root above its gas
// root Dv (below the critical temperature Dc being the critical density):
// Newton's steps down from twice Dc stay above P on a convex rising branch
// and pass its minimum, which the last tangent shows to lie above P.  The
// density solver spends some forty iterations on failing to find a liquid
// there; false (nothing shown) where a step crosses P, the slope does not
// fall, or the steps run down towards Dv.
bool no_dense_root(double T, double P, const double w[20], double Dc, double Dv);

// The feed's roots at (T, P), the starts of the trials' first roots (0
// where the feed has none of that kind), and its composition (a liquid
// root starts a liquid trial's only where the trial's composition lies
// close to it).
// `stable` is the density of the feed's own phase, where known (0 else).
// `in_loop`: the feed has no root but one in a loop of the equation (no
// phase; stable_root returns it for the tangent-plane test to start from).
struct FeedRoots {
    double liquid = 0.0, vapour = 0.0, stable = 0.0;
    const double* z = nullptr;
    bool in_loop = false;
};

// The last density root of a trial phase, its kind and composition.
struct Root {
    double D = 0.0;
    bool liquid = false;
    double w[20] = {};
    // A liquid root known to be its isotherm's densest (not in a loop).
    bool densest = false;
    // A liquid root asked for above the critical temperature at a low
    // pressure, where the density solver takes the gas root for it.
    bool gas_side = false;
};

// The density root of a trial phase of kind kph (kLiquid, kVapour) and
// composition w: by Newton's steps from the trial's last root or the
// feed's (a liquid's only where the composition lies close to that root's:
// from a liquid root of a quite different composition they may end on a
// root in a loop of the equation); else by the density solver; where none
// of that kind is found, the root of the other kind.  On success `last` holds the root
// and its kind.
bool root_of(double T, double P, const double w[20], int kph, const FeedRoots& feed, Root& last);

}  // namespace lib::mix
