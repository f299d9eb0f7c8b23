// Natural cubic splines, the saturation-line spline table and the eigenvalue
// of a matrix nearest a shift.
#pragma once

#include "library/library.h"

namespace lib {

// Solves a tridiagonal system of m rows: diag[k] on the diagonal, upper[k]
// the element (k, k+1) and lower[k] the element (k+1, k), so that one array
// can serve both sides of a symmetric system.  A division by a pivot that is
// exactly 0 gives 0.
void TRIDIAG(int m, const double diag[], const double upper[], const double lower[],
             const double r[], double u[]);

// Value (ideriv 0) or derivative (any other ideriv except -1, -2) of column
// ivar (1..25) of the saturation-line splines in SATSPL at xval; ideriv -1
// and -2 give the lower and upper end of the tabulated range.
void SPLNVAL(int ivar, int ideriv, double xval, double& yval, int& ierr, std::string& herr);

// The x at which SPLNVAL(ivar, ideriv, x) equals target; x is the start value
// on entry.
void SPLNROOT(int ivar, int ideriv, double target, double& x, int& ierr, std::string& herr);

}  // namespace lib
