// The stable pair of phases where a split of vapour and liquid leaves a
// liquid that is itself unstable: two liquids, where those have the lower
// Gibbs energy (octane + water at 350 K, 100 kPa, whose vapour pressures
// add up to less than P).
#pragma once

#include <functional>

#include "library/phase/stability.h"
#include "library/phase/tpmix.h"

namespace lib {

// A split of feed z started from the trial phase of a stability test (the
// (T, p) flash's own road): true when it ends on an equilibrium (in r).
using SplitFrom = std::function<bool(const mix::Stability& st, TpResult& r)>;

// The Gibbs energy of the phases of r over R T, less the terms linear in
// the feed's composition (sum of q_phase x_i ln f_i): false where a
// fugacity fails.
bool split_gibbs(double T, const TpResult& r, double& g);

// What became of a split of vapour and liquid.
enum class LiquidPair {
    kStable,      // its liquid does not split: r stays
    kTwoLiquids,  // r became the split of the feed into two liquids (or,
                  // of prefer_vapour, into vapour and liquid)
    kUnresolved,  // its liquid splits, but no pair of lower Gibbs energy was
                  // found (close to a three-phase line): r is no stable state
};

// After the split r of a feed into vapour and liquid at (T, P): where its
// liquid splits in two liquids (or a liquid splits off its vapour) and the split of the feed into
// two liquids from that trial has the lower Gibbs energy, r becomes that split.
LiquidPair prefer_two_liquids(double T, double P, TpResult& r, const SplitFrom& split_from);

// After a split r of a feed into two liquids at (T, P), or into a liquid
// and a "vapour" beyond its critical density: where one of its phases
// splits off a vapour, the split of the feed into vapour and liquid from
// that trial where it has the lower Gibbs energy (ethanol + R23 at 237 K,
// 770 kPa: the liquids of a liquid trial from nearly pure R23 lie above
// the split of vapour and liquid); kUnresolved where none is lower (three
// phases).
LiquidPair prefer_vapour(double T, double P, TpResult& r, const SplitFrom& split_from);

}  // namespace lib
