// Thermodynamic properties at temperature, density and composition.  The
// routines (THERM, THERM2, THERM0, RESIDUAL, ENTRO, ENTHAL, ENERGY, CVCP,
// CVCPK, GIBBS, AG) are part of the library interface in library/library.h.
#pragma once

#include "library/library.h"

namespace lib {

// Energy, enthalpy and entropy at (T, D), as THERM gives them (the same
// digits), without the derivatives that cv, cp, w and hjt need.
void energy_enthalpy_entropy(double T, double D, const double x[20], double& e, double& h,
                             double& s);

// THERM2's outputs but its second derivatives of the pressure (d2P/dD2,
// d2P/dT2, d2P/dTdD), the same digits with three evaluations fewer.
void therm2_first_order(double T, double D, const double x[20], double& P, double& e, double& h,
                        double& s, double& cv, double& cp, double& w, double& Z, double& hjt,
                        double& A, double& G, double& xkappa, double& beta, double& dPdD,
                        double& dPdT, double& dDdT, double& dDdP);

// Pressure and the enthalpy (letter 'H') or entropy ('S') at (T, D), with
// the first derivatives of P, h and s in T (at constant D) and D (at
// constant T), from one set-up of the state: what a Newton step in (T, D)
// towards a given pressure and property needs.  P and b carry the digits of
// PRESS and of ENTHAL or ENTRO.  False where the state cannot be evaluated
// or a value is not finite.
struct FlashJacobian {
    double P = 0, P_T = 0, P_D = 0;
    double b = 0;  // h or s
    double h_T = 0, h_D = 0, s_T = 0, s_D = 0;
};
bool flash_jacobian(char letter, double T, double D, const double x[20], FlashJacobian& j);

}  // namespace lib
