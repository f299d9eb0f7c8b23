// One trial phase of the tangent-plane stability test: successive
// substitution from its start, then Newton's method in alpha_i = 2 sqrt(Y_i)
// with the composition derivatives of the fugacity coefficients; and the
// ln phi_i, K-values and liquid roots the test's other starts share.
#pragma once

#include "library/phase/sattp.h"
#include "library/phase/trialroot.h"

namespace lib::mix {

// ln phi_i at (T, D, w) for the present components of `o`, taken at the
// pressure P of the test; with `second` also the matrix n dln(phi_i)/dn_j at
// constant T and P (o's positions).
bool ln_phi(double T, double P, double D, const double w[20], const Present& o, double lnphi[20],
            double M[20][20], bool second);

// The K-values (vapour over liquid) of a trial phase and the feed: the
// ratio of their fugacity coefficients; d_i - ln z_i is the feed's.
bool implied_k(const double z[20], const double d[20], const Present& o, const double lnphi[20],
               bool vapour, double K[20]);

// Whether the root r of a trial of composition w is a liquid its equations
// describe: not made mostly of frozen components, and inside their
// densities.
bool fluid_liquid(double T, const double w[20], const Root& r);

// The root and ln phi_i of a trial's start, where they are known already
// (its first step then takes them, not the density solver's root again).
struct KnownStart {
    Root root;
    double lnphi[20] = {};
};

// One trial phase from the start w: true when it ends on a trial of
// negative tangent-plane distance (then in w, with tm), d_i being the
// feed's ln z_i + ln phi_i.
// With `held` the components it marks keep the feed's fraction (their
// equations of equilibrium left out) and the iteration is successive
// substitution only.  With `liquid_root` a vapour trial takes the liquid
// roots of its compositions; `liquid_lower` (where given) says whether, at
// a stop on a positive distance, the liquid root of its composition had
// the lower Gibbs energy.  `known` gives the start's root and ln phi_i.
// On success K holds the K-values the trial implies (vapour over liquid
// fraction, from the fugacity coefficients of the trial and the feed).
// `no_gas` (where given) says whether a vapour trial's last composition
// had no vapour root (its liquid root stood in).
bool trial(double T, double P, const double z[20], const double d[20], const Present& o,
           const FeedRoots& feed, bool vapour, double w[20], double& tm, double K[20],
           const bool* held = nullptr, bool liquid_root = false, bool* liquid_lower = nullptr,
           const KnownStart* known = nullptr, bool* no_gas = nullptr);

}  // namespace lib::mix
