// Warm starts of the single-phase flashes at given pressure: while a
// WarmStartScope is open (one calculation of the application), the last
// single-phase state a flash found for a composition is kept, and the next
// flash of that composition at (P, h) or (P, s) starts from it: Newton's
// method in temperature and density together, its first step from the kept
// state's values and Jacobian, needs one to three evaluations instead of a
// search from the critical point, and ends on the root to the last digits.  A state found
// this way is taken only where the cold road would take the single phase
// (away from the saturation line, the critical point and the limits; a
// mixture only when it is stable); everything else goes the cold road.
#pragma once

#include "library/models/therm.h"

namespace lib::warm {

// One remembered state: T, D, P, cp (J/(mol K)) and, for a mixture, the
// state at which its stability was last established (tested or plainly a
// gas).
struct State {
    double T = 0, D = 0, P = 0, cp = 0, dpdd = 0;  // dpdd: dP/dD at (T, D), or 0
    double stable_T = 0, stable_P = 0;
    // False after a flash of the composition found no single phase (two
    // phases, or a failure): the next one goes the cold road.
    bool single = true;
    // Found from a warm start: h and s (THERM's at (T, D)) and the Jacobian
    // of the last Newton step, from which the next flash takes its first.
    bool warm = false;
    double h = 0, s = 0;
    FlashJacobian jac;
};

// Whether a scope is open.
bool active();

// The state kept for composition z (of the current set-up), if any.
bool recall(const double z[20], State& s);

// Keeps s as the last state of composition z (when a scope is open).
void remember(const double z[20], const State& s);

// Marks the state kept for z as followed by a flash without a single phase.
void left_single_phase(const double z[20]);

// Forgets every kept state (a new set-up).
void forget();

// The root (T, D) of P(T, D) = P and prop(T, D) = b (letter 'H' or 'S')
// near the start: Newton's method in T and D together.  From a start found
// warm the first step comes from its values and Jacobian without an
// evaluation (a flash at that very state by another property of it needs
// none); from another start the density is first moved by its dP/dD to the
// new pressure.  Ended by a step below 1e-10 of T and D, which is applied.
// jac: the Jacobian of the last evaluation.  False when it does not
// converge within a dozen steps, leaves the branch (dP/dD not positive) or
// moves T by a fifth.
bool solve(char letter, double P, double b, const double z[20], const State& start, double& T,
           double& D, FlashJacobian& jac);

// The density at T at which the entropy is s, near the start's density (a
// gas; at another temperature first moved along the ideal gas): Newton's
// method on D with the slope -(dP/dT)_D / D^2, ended when the step is below
// 1e-13 of D; P the pressure there.  False when it does not
// converge within a dozen steps or leaves the start's neighbourhood.
bool solve_at_t(double T, double s, const double z[20], const State& start, double& D, double& P);

// Whether a mixture's state (T, P, D) is stable: within 1e-6 of the state
// where the kept state's stability was last established (and on its branch,
// within 1e-3 of its density), plainly a gas, or found so by the
// tangent-plane test (not counted toward an envelope trace: these tests are
// made only close to condensation).  stable_T, stable_P: where its
// stability is now established.
bool stable_mixture(double T, double P, double D, const double z[20], const State& kept,
                    double& stable_T, double& stable_P);

// A gas far from any condensation: the ideal dew-point sum of z at (T, P),
// sum of z_i P / p_i, stays below a tenth, with p_i the vapour pressure of
// a component below its critical temperature (ancillary equation) and
// Wilson's extrapolated value above it; the pressure lies below the highest
// critical pressure of the components.  False where that is not plain
// (a component below its triple point, no ancillary equation).
bool plainly_gas(double T, double P, const double z[20]);

}  // namespace lib::warm
