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

// Saturated liquid and vapour densities of a pure fluid at T (below Tc) by
// Newton's method on equal pressures and equal Gibbs energies of the two
// phases, started from Dl > Dc > Dv.  On success P is the saturation pressure
// (that of the liquid, of the vapour when it is at most 1 kPa) and true
// returns; false leaves P, Dl and Dv undefined.  Fails rather than leave the
// stable branches (dP/dD <= 0), cross Dc or miss convergence in 20 steps.
bool saturation_at_t(double T, const double z[20], double Dc, double& P, double& Dl, double& Dv);

// The same close to the critical point, where the residuals of the two
// conditions are a small difference of large terms and the densities are
// determined only to their rounding: Newton's method stops where its steps
// are no larger than the rounding of the residuals would make them (or below
// 1e-13).  The same start gives the same result, to the last digit.  noise,
// when given, receives the size of those steps relative to Dl - Dv.
bool saturation_to_noise(double T, const double z[20], double Dc, double& P, double& Dl, double& Dv,
                         double* noise = nullptr);

// The saturation state of a pure fluid at P by Newton's method on T, Dl and Dv
// (both phases at pressure P with equal Gibbs energies), started from
// T < Tc and Dl > Dc > Dv; the same failures as saturation_at_t, and T may
// not reach Tc.
bool saturation_at_p(double P, const double z[20], double Tc, double Dc, double& T, double& Dl,
                     double& Dv);

// FNCRPT, the critical point of the equation of state itself (the temperature
// at which the inflection point of the isotherm has dP/dD = 0), reports ierr 1
// with a message when its iteration does not converge.

}  // namespace lib
