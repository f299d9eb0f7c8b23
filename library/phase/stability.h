// Phase stability of a mixture at given temperature and pressure: the
// tangent-plane test with a vapour-like and a liquid-like trial phase.
#pragma once

#include "library/phase/trialroot.h"

namespace lib::mix {

// The density root of feed z at (T, P) of lower Gibbs energy (the only root
// where there is one): false when no root is found.  liquid_like: the root
// is the denser one of two, or the only one lies above the critical density.
// With `roots` also the feed's liquid and vapour roots (0 where not found).
bool stable_root(double T, double P, const double z[20], double& D, bool& liquid_like,
                 FeedRoots* roots = nullptr);

// Result of the tangent-plane test.
struct Stability {
    bool stable = true;  // no trial phase of lower Gibbs energy found
    bool found = false;  // the feed's density root was found
    double D = 0;        // density of the feed's stable root
    bool liquid_like = false;
    // The feed's root lies in a loop of the equation (FeedRoots): a trial
    // may split the feed from it, but it is no single phase.
    bool in_loop = false;
    // For an unstable feed: the trial phase's composition and whether it is
    // the vapour-like trial (then it is the incipient vapour).
    double w[20] = {};
    bool vapour_trial = false;
    double tm = 0;  // tangent-plane distance of the trial found
    // The K-values (vapour over liquid) of the trial and the feed, from
    // their fugacity coefficients: the start of the split.
    double K[20] = {};
    // A trial phase made mostly of frozen components (frozen.h) was found
    // with a negative distance and not taken.
    bool frozen_phase = false;
    // The trial phase found is a liquid split off a liquid feed (the vapour
    // trial tried with its liquid roots).
    bool two_liquids = false;

    // Records a trial phase (its distance and K-values) as the one
    // that makes the feed unstable.
    void take_trial(bool vapour, double distance, const double trial[20], const double k[20]) {
        stable = false;
        vapour_trial = vapour;
        tm = distance;
        for (int i = 0; i < 20; ++i) {
            w[i] = trial[i];
            K[i] = k[i];
        }
    }
};

// The highest critical temperature of the components of z that are more
// than a trace (a smaller share dissolves in the rest, whose isotherm it
// does not fold: the 0.04 % of carbon dioxide in air).  Above it no loop of
// the equation lies on an isotherm.
double highest_critical_temperature(const double z[20]);

// The tangent-plane test of feed z at (T, P).
Stability stability(double T, double P, const double z[20]);

// Whether the mixture's equation describes liquids, so that the liquid
// trials from nearly pure components and the search for a second liquid
// behind a split apply: not AGA8, a gas-phase equation whose dense roots
// (propane's at 190 K, 3 MPa) lie far below any liquid's Gibbs energy.
bool liquids_modelled();

// Whether a component of z is frozen at T (frozen.h): no liquid trials
// from nearly pure components then.
bool any_frozen(double T, const double z[20]);

// Whether the liquid x of density Dl at (T, P) splits in two liquids, by
// the liquid trials from its nearly pure components alone (a phase of a
// split, whose other phase the trials of the full test would find again
// at zero distance).  On true s holds the trial found (a liquid of
// negative distance, its K-values over x) as the test of a liquid feed x.
bool second_liquid(double T, double P, const double x[20], double Dl, Stability& s);

// The same by Wilson's vapour trial from x where it ends on a liquid: a dense phase rich in a
// component above its critical temperature, which no nearly pure start of
// a liquid reaches (isobutane + ethylene + argon at 158 K, 4.8 MPa: a
// liquid of 79 % argon 0.032 below the plane of the hydrocarbons' liquid).
bool wilson_second_liquid(double T, double P, const double x[20], double Dl, Stability& s);

// Whether the dense phase x of density D at (T, P) splits off a vapour, by
// Wilson's vapour trial and the vapour trial from the ideal gas of its
// fugacities (a phase of a dense split: the gas beside liquid water and a
// liquid of nearly pure pentane lies far from both phases).  On true s
// holds the trial found as the test of a liquid feed x.
bool splits_off_vapour(double T, double P, const double x[20], double D, Stability& s);

}  // namespace lib::mix
