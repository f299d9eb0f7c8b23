// Two-phase solver at given temperature or pressure.
#pragma once

#include <string>

namespace lib {

// Two-phase state of overall composition z with the first letter of ab ('T'
// or 'P') naming the fixed input a and the second ('H', 'S', 'E', 'D', 'Q')
// the property b.  kq 2: a quality b is a mass quality.  ksat 1: the bubble
// and dew values (Tbub or Pbub, Tdew or Pdew, Dlbub, Dvdew, ybub, xdew) are
// given; otherwise they are computed and returned.  Results: T or P (the free
// one), Dl, Dv, x, y, q.  Errors 223, 224 (saturation failed), 225 (the
// split failed), 226 (no convergence), 227 (b below the bubble-point value),
// 228 (b above the dew-point value).
void ABFL2(double a, double b, const double z[20], int kq, int ksat, const std::string& ab,
           double& Tbub, double& Tdew, double& Pbub, double& Pdew, double& Dlbub, double& Dvdew,
           double ybub[20], double xdew[20], double& T, double& P, double& Dl, double& Dv,
           double x[20], double y[20], double& q, int& ierr, std::string& herr);

}  // namespace lib
