// Newton's method in temperature and density for the state of a pure fluid at
// given pressure and enthalpy, entropy or energy, close to its critical
// pressure.
#pragma once

namespace lib {

// The single-phase state (T, D) of pressure P and value b of property letter
// ('H', 'S' or 'E'), from the start (T, D).  On the critical isobar the
// iteration in temperature alone needs the density at (T, P), which the
// density solver cannot find where dP/dD vanishes (nitrogen at 3395.8 kPa,
// h = 800.5 J/mol: error 247); the residuals of P and b in (T, D) have a
// Jacobian whose determinant stays dP/dT db/dD there.  True when it
// converged to a mechanically stable state outside the two-phase region.
bool pb_newton(double P, char letter, double b, const double z[20], double& T, double& D);

}  // namespace lib
