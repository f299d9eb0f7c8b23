// Small numerical helpers of the solver and the part models.
#include "app/core/tools.h"

#include <cmath>

namespace app {

double aveArith(double a, double b) { return 0.5 * (a + b); }

double aveLog(double a, double b) {
    if (!(a > 0.0) || !(b > 0.0)) return aveArith(a, b);
    if (a == b) return a;
    // ln a - ln b as log1p of the relative difference keeps its digits when
    // the two values are close.
    const double d = a - b;
    return d / std::log1p(d / b);
}

}  // namespace app
