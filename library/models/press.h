// Pressure and its derivatives with respect to density and temperature at
// given (T, D, x) (declared in library/library.h).
#pragma once

#include <cmath>

#include "library/library.h"

namespace lib {

// Pressure with its first and second density derivatives at (T, D, x), as
// the density solvers use them together.
struct PressDerivs {
    double p = 0, d1 = 0, d2 = 0;
    bool finite() const { return std::isfinite(p) && std::isfinite(d1) && std::isfinite(d2); }
};

// The values of PRESS, DPDD and DPDD2 at (T, D, x), from one set-up of the
// state.
PressDerivs press_derivs(double T, double D, const double x[20]);

// The pressure and its first density derivative alone (d2 stays 0): no
// third derivative of the residual part is formed.
PressDerivs press_slope(double T, double D, const double x[20]);

}  // namespace lib
