// The saturation line of a pure fluid between the top of its expansions
// (1e-4 Tc below the critical point) and the critical point of its equation:
// the one road of SATT and SATP there, so that a state found at given
// pressure is the state at its temperature, to the last digit.  Newton's
// method on both densities runs from the power law of the saturated states
// solved towards the critical point when the expansions were built; it
// stops at the rounding of the equation, which determines the densities to
// some 1e-10 at 1e-6 Tc from the critical point and to 1e-4 at 1e-9 Tc.
// Closer than the last state solved, the power law itself is the state.
#pragma once

namespace lib::satcrit {

enum class Verdict {
    kSolved,   // the state is in the outputs
    kNoState,  // between the equation's own critical point and the stated one
    kNotHere,  // outside the road (or it failed): the caller's other roads
};

// The saturation state of component icomp at T, from the top of its
// expansions up to 1e-8 K below the stated critical temperature; beyond the
// equation's own critical temperature (where it lies lower) there is none.
Verdict at_t(int icomp, double T, double& P, double& Dl, double& Dv);

// The same at given pressure, from the top of the expansions up to the
// equation's own critical pressure (none above it, where it lies below the
// stated one): the temperature whose state at_t has the pressure P.
Verdict at_p(int icomp, double P, double& T, double& Dl, double& Dv);

// The saturation line of the equation itself up to its own critical point,
// where that lies above the stated one: its isotherms and isobars between
// the two still cross a two-phase region (r13: stated 301.88 K, 3879 kPa; its
// equation's 303.05 K, 3973.1 kPa), where the (T, p) flash's stable root
// jumps from the liquid to the vapour, and where a single-phase state of the
// equation has dP/dD < 0 and a negative cp.  The saturation routines end at
// the stated point; the flashes find their states there from these.
Verdict equation_at_t(int icomp, double T, double& P, double& Dl, double& Dv);
Verdict equation_at_p(int icomp, double P, double& T, double& Dl, double& Dv);

}  // namespace lib::satcrit
