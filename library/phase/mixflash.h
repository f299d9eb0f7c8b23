// The stable state of a mixture along an isobar or an isotherm: the check
// of a single-phase result and the search that every mixture flash falls
// back on when its saturation road cannot place the state (a phase boundary
// of two branches, a saturation point that does not exist).
#pragma once

namespace lib::mix {

// The stable state of feed z at (T, P): one phase or two, with the mixed
// density, energy, enthalpy and entropy.
struct TpState {
    double T = 0, P = 0, D = 0, Dl = 0, Dv = 0, q = 0, e = 0, h = 0, s = 0;
    double x[20] = {}, y[20] = {};
    bool two_phase = false;
};
bool tp_state(double T, double P, const double z[20], TpState& st);

// Whether the single-phase state (T, D) of z is the stable state at its own
// pressure (no split of lower Gibbs energy, and D the root of lower Gibbs
// energy).
bool single_phase_stable(double T, double D, const double z[20]);

// The stable state at pressure P whose property (letter 'H', 'S', 'E' or 'D')
// equals b, searched in temperature between tlo and thi (widened to the
// limits of the equation where the property does not change sign there).
bool on_isobar(double P, char letter, double b, const double z[20], double tlo, double thi,
               TpState& st);

// The stable state at temperature T whose density equals D (the pressure
// searched between plo and phi, widened as needed).
bool on_isotherm_density(double T, double D, const double z[20], double plo, double phi,
                         TpState& st);

}  // namespace lib::mix
