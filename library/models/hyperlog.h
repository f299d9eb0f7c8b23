// Logarithms of the hyperbolic functions, finite for any argument: the
// ideal-gas heat-capacity and Helmholtz models both sum such terms.
#pragma once

#include <cmath>

namespace lib {

// ln cosh y.
inline double log_cosh(double y) {
    constexpr double kLn2 = 0.69314718055994530942;
    const double a = std::fabs(y);
    return a + std::log1p(std::exp(-2.0 * a)) - kLn2;
}

// ln |sinh y| (y != 0).
inline double log_abs_sinh(double y) {
    constexpr double kLn2 = 0.69314718055994530942;
    const double a = std::fabs(y);
    if (a < 1.0) return std::log(std::fabs(std::sinh(y)));
    return a + std::log1p(-std::exp(-2.0 * a)) - kLn2;
}

}  // namespace lib
