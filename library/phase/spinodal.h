// Spinodals: the limits of mechanical stability (dP/dD = 0) of the equation of
// state below the critical temperature, and their splines over temperature.
#pragma once

#include <string>

namespace lib {

// Liquid spinodal density (above Dc) at T.  D in: start value (<= 0: from the
// spline, else the triple-point liquid density); out: the spinodal density,
// or Dc with error 124.  Error 121 above the critical temperature.
void LIQSPNDL(double T, const double x[20], double& D, int& ierr, std::string& herr);
// Vapour spinodal density (below Dc) at T; start 0.1 mol/L without a spline.
void VAPSPNDL(double T, const double x[20], double& D, int& ierr, std::string& herr);

// Tabulates the liquid (vapour) spinodal of component icomp from the triple
// point to the critical point and fits its spline into CSPNDL.  A failed
// set-up (error 1: not a component; 2: fewer than 5 points) leaves the
// previous spline and its point count untouched.
void SETLSPNDL(int icomp, int& ierr, std::string& herr);
void SETVSPNDL(int icomp, int& ierr, std::string& herr);

}  // namespace lib
