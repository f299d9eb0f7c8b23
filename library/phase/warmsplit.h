// Warm starts of a mixture's two-phase flashes at given pressure: while a
// WarmStartScope is open, the last two-phase state that PBFLSH found for a
// feed is kept (its temperature, pressure, vapour fraction, phase densities
// and compositions), and the next (P, h) or (P, s) flash of that feed starts
// from it: a secant iteration on the temperature, the split at each
// temperature continued from the split before (successive substitution on
// its K-values, Newton's method where that is slow).  Each split is taken
// only where its fugacities agree with both phases present, as the search of
// the cold road takes a split continued along an isobar, and the state found
// only where it is stable: a split continued past the appearance of a third
// phase is no state of the cold road (which refuses the values of a
// three-phase line).  The state is then the cold road's (the property rises
// with the temperature along an isobar, so that the stable state with it is
// unique), its root held to the last digits.  A start of another feed, at a
// pressure far from the kept one, one that does not converge within a few
// steps or a state not shown stable goes the cold road.
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
    // Where the stability of the split was last established (its lighter
    // phase tested, within kSameState of it), 0 where that is the state
    // itself (a split of the cold road, which tested it).
    double stable_T = 0, stable_P = 0;
};

// The share of T and P within which a split continued from one whose
// stability was established is taken as stable without a test of its own
// (the states of a cycle's iterations coming back).
constexpr double kSameState = 1e-6;

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
// not an equilibrium, a component of z is frozen, or the state found is not
// shown stable (stable_split): the cold road decides.
bool solve_split(char letter, double P, double b, const double z[20], const Split& start,
                 Split& out);

// Whether the split s (at its T and P) is stable: within kSameState of
// where the stability of the split it continues was established (s.stable_T
// and s.stable_P, set so on the way in), or no phase lies below the plane
// the phases share by the test of its lighter phase: of a plain gas the
// liquid trials from its nearly pure components (none where the one
// component close to condensing is the liquid itself), else the full
// tangent-plane test, the phase's density its stable root.  Then s.stable_T
// and s.stable_P are s's own.  (Propane + water 80/20 at 237 kPa: the
// propane-rich vapour beside liquid water, continued below 252.6 K where
// propane condenses, stayed an equilibrium down to 251.07 K with a vapour
// of 99.96 % propane; the cold road refuses those values, which belong to
// the three-phase line.)
bool stable_split(Split& s);

}  // namespace lib::warm
