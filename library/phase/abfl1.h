// The single-phase solver behind most flashes.
#pragma once

#include <string>

namespace lib {

// Single-phase solver for a pair ab whose first letter names the fixed input a
// (T, P, S or D; "PD" too) and whose second names b.  T pairs search the
// density between Dmin and Dmax; P and S pairs iterate on the temperature
// from the start value in T (<= 0: the critical temperature), with kph the
// phase hint of the density and saturation calls.  Results T, P, D.
// Errors 247 (density solver failed), 248 (no convergence).
void ABFL1(double a, double b, const double z[20], int kph, const std::string& ab, double Dmin,
           double Dmax, double& T, double& P, double& D, int& ierr, std::string& herr);
// Its twin for the inner density search of the entropy pairs.
void ABFL1X(double a, double b, const double z[20], int kph, const std::string& ab, double Dmin,
            double Dmax, double& T, double& P, double& D, int& ierr, std::string& herr);

}  // namespace lib
