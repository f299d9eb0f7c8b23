// General flash at given temperature and the single-phase solver.
#pragma once

#include <string>

namespace lib {

// State at given T and b, the property named by the second letter of ab
// ("TH", "TS", "TE").  kr 2 asks for the higher-density root where two states
// share T and b, any other value for the lower-density one.
void TBFLSH(double T, double b, const double z[20], int kr, const std::string& ab, double& P,
            double& D, double& Dl, double& Dv, double x[20], double y[20], double& q, double& e,
            double& h, double& s, double& cv, double& cp, double& w, int& ierr, std::string& herr);

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
