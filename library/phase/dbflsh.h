// General flash at given density with enthalpy, entropy or energy, and its
// single- and two-phase solvers.
#pragma once

#include <string>

namespace lib {

// State at given density D and b, the property named by the second letter of
// ab ("DH", "DS", "DE").  Errors 210 (critical point), 248 (the single- or
// two-phase solver did not converge) and the range codes.
void DBFLSH(double D, double b, const double z[20], const std::string& ab, double& T, double& P,
            double& Dl, double& Dv, double x[20], double y[20], double& q, double& e, double& h,
            double& s, double& cv, double& cp, double& w, int& ierr, std::string& herr);

// Single-phase temperature at given density and b (second letter of ab: 'P'
// pressure, 'H', 'S', 'E'), by Newton's method on T.  Error 203.
void DBFL1(double D, double b, const double z[20], const std::string& ab, double& T, double& P,
           int& ierr, std::string& herr);
// The same from the start t0 (0: the critical temperature, or twice it for a
// pressure far above the critical).  With any_root the root is returned even
// where it is not stable.
void dbfl1_from(double t0, double D, double b, const double z[20], const std::string& ab, double& T,
                double& P, int& ierr, std::string& herr, bool any_root = false);

// Two-phase state at given overall density D and b (second letter of ab: 'H',
// 'S', 'E', 'Q'; kq as for the two-phase solver): the temperature at which the
// two-phase state of b has density D.  Error 248 when it does not converge.
void DBFL2(double D, double b, const double z[20], int kq, const std::string& ab, double& T,
           double& P, double& Dl, double& Dv, double x[20], double y[20], double& q, int& ierr,
           std::string& herr);

}  // namespace lib
