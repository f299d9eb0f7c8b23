// Warm starts of a mixture's two-phase flashes at given pressure: while a
// WarmStartScope is open, the last two-phase state that PBFLSH found for a
// feed is kept (its temperature, pressure, vapour fraction, phase densities
// and compositions), and the next (P, h) or (P, s) flash of that feed starts
// from it: a secant iteration on the temperature, the split at each
// temperature continued from the split before (successive substitution on
// its K-values, Newton's method where that is slow).  Each split is taken
// only where its fugacities agree with both phases present, as the search of
// the cold road takes a split continued along an isobar; the state is the
// cold road's (the property rises with the temperature along an isobar, so
// that the stable state with it is unique), its root held to the last
// digits.  A start of another feed, at a pressure far from the kept one, or
// one that does not converge within a few steps goes the cold road.
#pragma once

namespace lib::warm {

// A two-phase state of a feed.
struct Split {
    double T = 0, P = 0, q = 0, Dl = 0, Dv = 0;
    double x[20] = {}, y[20] = {};
    // dh/dT along the isobar at the state (J/(mol K)), or 0 when not known.
    double slope = 0;
    // d ln K_i / dT along the isobar, from the last two splits of the
    // iteration that found the state (0 where not known): the next split
    // starts from K-values moved along it (and as 1/P to its pressure).
    double dlnk[20] = {};
    // The mixed properties at the state (J/mol, J/(mol K)).
    double e = 0, h = 0, s = 0;
    // How fast the substitution passes that found it converged (the ratio
    // of their last two changes), 0 where not known.
    double contraction = 0;
};

// The two-phase state kept for feed z (of the current set-up), if any and
// not followed by a flash of another phase.
bool recall_split(const double z[20], Split& s);

// Keeps s as the last two-phase state of feed z (when a scope is open).
void remember_split(const double z[20], const Split& s);

// Marks the two-phase state kept for z as followed by a flash that found
// one phase (or failed): the next flash of z goes the cold road.
void left_two_phase(const double z[20]);

// Forgets every kept two-phase state.
void forget_splits();

// The two-phase state of feed z at pressure P whose enthalpy ('H') or
// entropy ('S') is b, from the start: at most kMaxSplitSteps evaluations of
// a split, each an equilibrium with both phases present, the temperature
// held to 1e-13 of itself.  False where the start is far (pressure beyond
// a fifth of its own, a step beyond a tenth of its temperature), a split is
// not an equilibrium or a component of z is frozen: the cold road decides.
bool solve_split(char letter, double P, double b, const double z[20], const Split& start,
                 Split& out);

}  // namespace lib::warm
