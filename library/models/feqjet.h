// Helmholtz-explicit equation of state: the derivatives of its non-analytic
// terms beyond the second order, and small helpers shared with the evaluator.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

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

// The integer powers x^n (|n| <= kMaxIntPower) that a slot takes of tau or
// of delta, each formed by the very operations of ipow: the product of the
// squares x^(2^i) of its bits, lowest first.  x^n is then x^(n - 2^i)
// times the square of its highest bit 2^i, and the powers share their
// squares and partial products: a step forms p[n] = p[n - 2^i] x^(2^i)
// (p[0] = 1), in increasing n.
constexpr int kMaxIntPower = 64;
constexpr int kSquares = 7;  // x^(2^i), i < 7, for n <= 64
struct PowerRecipe {
    int nsq = 0, nsteps = 0;
    std::array<int, kMaxIntPower> n{}, from{}, square{};

    void add(int e) {
        needed[static_cast<std::size_t>(std::min(std::abs(e), kMaxIntPower))] = true;
    }
    // The steps of the powers added, with the partial products they need.
    void plan() {
        for (int k = kMaxIntPower; k >= 1; --k) {
            if (!needed[static_cast<std::size_t>(k)]) continue;
            const int i = highest_bit(k);
            needed[static_cast<std::size_t>(k - (1 << i))] = true;
            nsq = std::max(nsq, i + 1);
        }
        for (int k = 1; k <= kMaxIntPower; ++k) {
            if (!needed[static_cast<std::size_t>(k)]) continue;
            const auto q = static_cast<std::size_t>(nsteps++);
            square[q] = highest_bit(k);
            n[q] = k;
            from[q] = k - (1 << square[q]);
        }
    }
    void form(double x, double* p) const {
        double sq[kSquares];
        sq[0] = x;
        for (int i = 1; i < nsq; ++i) sq[i] = sq[i - 1] * sq[i - 1];
        p[0] = 1.0;
        for (int q = 0; q < nsteps; ++q) p[n[q]] = p[from[q]] * sq[square[q]];
    }
    // x^e as ipow gives it, from the powers p formed.
    static double of(const double* p, double x, int e) {
        if (e > kMaxIntPower || e < -kMaxIntPower) return ipow(x, e);
        return e >= 0 ? p[e] : 1.0 / p[-e];
    }

private:
    std::array<bool, kMaxIntPower + 1> needed{};
    static int highest_bit(int k) {
        int i = 0;
        while ((2 << i) <= k) ++i;
        return i;
    }
};

// Critical term j of slot ic is non-analytic (|c10| >= 1e-12), else Gaussian.
inline bool non_analytic(int ic, int j) { return std::fabs(WCFFQ2.c[ic][j][4]) >= 1e-12; }

}  // namespace feqmath

// Sum over the non-analytic terms of slot ic, at the state stored in FEQSAV
// and CRTSAV, of tau^i delta^j d^(i+j) v / dtau^i ddelta^j (i, j <= 3,
// i + j <= 4).
double feq_non_analytic_sum(int ic, int i, int j);

}  // namespace lib
