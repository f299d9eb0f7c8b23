// The outputs of THERM as one value, and the five-point central differences
// the tests compare derivatives with.
#pragma once

#include <functional>

#include "library/library.h"

namespace testsupport {

struct Props {
    double P, e, h, s, cv, cp, w, hjt;
};

// THERM at (T, D) of the composition x.
inline Props therm(double T, double D, const double x[20]) {
    Props p{};
    lib::THERM(T, D, x, p.P, p.e, p.h, p.s, p.cv, p.cp, p.w, p.hjt);
    return p;
}

// The first and second derivative of f at x, step h.
inline double diff(const std::function<double(double)>& f, double x, double h) {
    return (-f(x + 2 * h) + 8 * f(x + h) - 8 * f(x - h) + f(x - 2 * h)) / (12 * h);
}
inline double diff2(const std::function<double(double)>& f, double x, double h) {
    return (-f(x + 2 * h) + 16 * f(x + h) - 30 * f(x) + 16 * f(x - h) - f(x - 2 * h)) /
           (12 * h * h);
}

}  // namespace testsupport
