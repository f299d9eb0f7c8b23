// Small density and critical-point solvers over the pressure derivatives of
// the equation of state.
#pragma once

#include <string>

#include "library/library.h"  // FNCRPT

namespace lib {

// Density D between the bounds D1 and D2 (either order) at which P(T, D) = P.
// ierr 1 (herr blank) when 24 Newton passes do not converge.
void TPRHOB(double T, double P, double D1, double D2, const double x[20], double& D, int& ierr,
            std::string& herr);

// A liquid (composition xl) and a vapour (composition xv) density of equal
// pressure P at T (mechanical equilibrium only).  ierr 1 (herr blank) when the
// densities run away or the pressures do not meet within 50 passes.
void DLDV(double T, double& P, double& Dl, double& Dv, const double xl[20], const double xv[20],
          int& ierr, std::string& herr);

// Density of the inflection point d2P/dD2 = 0 of the isotherm T, started from
// D (which holds the last step on return).  Returns the density, or 0 when the
// iteration does not converge.
double CRTDEN(const double x[20], double T, double& D);

// FNCRPT, the critical point of the equation of state itself (the temperature
// at which the inflection point of the isotherm has dP/dD = 0), reports ierr 1
// with a message when its iteration does not converge.

}  // namespace lib
