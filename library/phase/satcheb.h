// Piecewise Chebyshev expansions of the saturation line of a pure fluid in
// temperature: ln P, the liquid density and ln of the vapour density, fitted
// to the component's own equation of state at Chebyshev points to the last
// digits the equation gives.  They are built at the first saturation call of
// a pure fluid after its set-up, of a mixture's component at its 256th
// (never during SETUP itself), and kept for the
// life of the program under a fingerprint of the equation, so that setting
// the same fluid up again finds them.  They end 1e-4 Tc below the critical
// temperature; above that, and wherever they cannot answer, the saturation
// routines iterate as before.
#pragma once

#include <array>

namespace lib::satcheb {

// The saturation state of component icomp at T from its expansions.  False
// (outputs untouched) when the component has none or T lies outside them.
bool at_t(int icomp, double T, double& P, double& Dl, double& Dv);

// The same at given pressure: T from the inverted expansion of ln P.
bool at_p(int icomp, double P, double& T, double& Dl, double& Dv);

// The saturated liquid's and vapour's internal energy, enthalpy (J/mol) and
// entropy (J/(mol K)) at T, in the current reference state, from their
// expansions (fitted with those of the line).  False where these do not
// reach, where a piece's series did not end within the tolerance, or under
// another reference point of the ideal-gas part than at their fit.
struct Phases {
    double el = 0, hl = 0, sl = 0, ev = 0, hv = 0, sv = 0;
};
bool phases_at_t(int icomp, double T, Phases& out);

// The temperature range [tlow, thigh] that the expansions of icomp cover
// (both 0 when there are none); builds them like at_t.
void range(int icomp, double& tlow, double& thigh);

// Whether the expansions of icomp are in use and cover T (builds them like
// at_t).
bool covers(int icomp, double T);

// The critical point of the equation of component icomp itself (found once
// per equation); false without expansions or when it is not found.
bool own_critical_point(int icomp, double& T, double& P, double& D);

// The saturation line above the expansions (see satcrit.h): where it ends
// (the equation's own critical point, or the stated one where that is not
// found) and saturated states towards it, from the top of the expansions.
constexpr int kTailPoints = 12;
struct Tail {
    double te = 0, pe = 0, de = 0;  // the end of the line
    int n = 0;                      // states
    // Their T and P, u = sqrt(te - T), Dl - de and de - Dv.
    std::array<double, kTailPoints> t{}, p{}, u{}, dl{}, dv{};
};
// The line above the expansions of icomp; null without expansions.
const Tail* tail(int icomp);

// Forgets which expansions belong to which component slot (a new set-up or a
// changed equation); the expansions themselves are kept.
void forget_slots();

// A number that changes at every forget_slots: a key for what is kept of
// the equations set up (the property bounds of the pressure flashes).
unsigned long long generation();

// While an instance lives no expansion is built (the set-up's own
// saturation calls iterate).
class NoBuild {
public:
    NoBuild();
    ~NoBuild();
    NoBuild(const NoBuild&) = delete;
    NoBuild& operator=(const NoBuild&) = delete;
};

// Switches the use of the expansions off (tests compare with the iteration).
void set_enabled(bool on);
bool enabled();

// Statistics of the expansions of icomp (tests and notes): number of pieces
// and of saturation states solved to build them.
struct Stats {
    int pieces = 0;
    int solves = 0;
    int pieces_with_phases = 0;  // pieces with the series of the phases' properties
};
Stats stats(int icomp);

}  // namespace lib::satcheb
