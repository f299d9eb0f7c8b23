// Density of one phase at given temperature and pressure (TPRHO): declared with the
// library's public routines.
#pragma once

#include "library/library.h"

namespace lib {

// True when the density is a stable root (dP/dD > 0) that has the pressure
// P at T: within 1e-6 of P, or within what a change of the density in its
// ninth digit makes (a dense liquid's pressure follows its density 1e10
// times over; nearly pure propane at 95 K, 16.4 mol/L and 1.6e-5 kPa met P
// to 2.5e-5 of it). The iterations stop on their step sizes; a root found
// where the pressure is not P (far outside the equation's range) is none.
bool gives_pressure(double T, double P, double D, const double x[20]);

// Whether TPRHO would accept D as a converged root at T: outside the band
// 0.2 Dc < D < 2 Dc below 1.2 Tc at once, inside it when dP/dD >= 0 and the
// cross derivative d2P/dDdT is not negative.
bool tprho_accepts(double T, double D, const double x[20], double Tc, double Dc);
// The iteration TPRHO runs at (T, P) for a phase of either sign, given the
// critical point: 1 the dense one (above Pc or Tc), -1 the vapour one (the
// gas-like region above Tc), 0 the one of the phase asked for.
int tprho_side(double T, double P, double Tc, double Pc);

// Whether the root D at (T, P) is the densest one: the pressure rises from
// it up to the equation's densest state (sampled at 16 densities, with its
// slope).  A root below it lies in a loop of the equation inside the
// two-phase region and is no phase.
bool densest_root(double T, double P, double D, const double x[20]);

// Keeps, while it lives, the isotherms that TPRHO's bracketing of a root
// close to the critical point scans: a search of the saturation pressure at
// given T asks for the density of the same feed at one pressure after another,
// and the scan of a grid of some 380 densities costs more than the rest of
// a step.  The roots found are those found without it.  Nested scopes share
// it; the last to close forgets it.
class IsothermMemo {
public:
    IsothermMemo();
    ~IsothermMemo();
    IsothermMemo(const IsothermMemo&) = delete;
    IsothermMemo& operator=(const IsothermMemo&) = delete;
};

// TPRHO's root of phase kph, and close to the critical point (within 1 % of
// Tc and 10 % of Pc) the stable root of either side: an equation whose own
// critical point lies a little apart from the stated one has roots on both
// sides of its small two-phase region there, or only on the side the phase
// hint does not name; of two the one of lower Gibbs energy is the state
// (also a little below the stated Tc and Pc, where an equation whose own
// critical point lies higher still has a liquid-like root of lower Gibbs
// energy than the vapour root asked for).
void stable_density(double T, double P, const double x[20], int kph, int kguess, double& D,
                    int& ierr, std::string& herr);

}  // namespace lib
