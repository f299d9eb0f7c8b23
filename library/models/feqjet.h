// Helmholtz-explicit equation of state: the derivatives of its non-analytic
// terms beyond the second order, and small helpers shared with the evaluator.
#pragma once

#include <cmath>

#include "library/models/records.h"

namespace lib {

namespace feqmath {

// x^n by repeated squaring.
inline double ipow(double x, int n) {
    if (n < 0) return 1.0 / ipow(x, -n);
    double r = 1.0;
    while (n > 0) {
        if (n & 1) r *= x;
        x *= x;
        n >>= 1;
    }
    return r;
}

// x^p; an integer-valued p is taken by multiplication (negative x allowed).
inline double rpow(double x, double p) {
    const double r = std::nearbyint(p);
    if (r == p && std::fabs(p) <= 64) return ipow(x, static_cast<int>(r));
    return std::pow(x, p);
}

// Critical term j of slot ic is non-analytic (|c10| >= 1e-12), else Gaussian.
inline bool non_analytic(int ic, int j) { return std::fabs(WCFFQ2.c[ic][j][4]) >= 1e-12; }

}  // namespace feqmath

// Sum over the non-analytic terms of slot ic, at the state stored in FEQSAV
// and CRTSAV, of tau^i delta^j d^(i+j) v / dtau^i ddelta^j (i, j <= 3,
// i + j <= 4).
double feq_non_analytic_sum(int ic, int i, int j);

}  // namespace lib
