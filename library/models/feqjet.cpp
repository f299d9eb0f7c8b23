// Helmholtz-explicit equation of state: derivatives of the non-analytic
// terms beyond the second order.  These terms do not factor into a tau part
// and a delta part; their third-order and mixed higher derivatives come from
// a truncated two-variable Taylor expansion of the term (a "jet"), which is
// exact to rounding.
#include "library/models/feqjet.h"

#include <array>
#include <cmath>

#include "library/models/records.h"

namespace lib {

namespace {

using feqmath::ipow;
using feqmath::non_analytic;
using feqmath::rpow;

// Generalised binomial coefficient p (p-1) ... (p-k+1) / k!.
double gbinom(double p, int k) {
    double r = 1.0;
    for (int i = 0; i < k; ++i) r *= (p - i) / (i + 1);
    return r;
}

// Two-variable truncated Taylor series: c[i][j] = (d/dtau)^i (d/ddelta)^j f / (i! j!),
// kept for i, j <= 3 and i + j <= 4 (enough for every defined derivative).
// A jet may be restricted to one variable (kDelOnly: i = 0, kTauOnly: j = 0):
// products then skip the coefficients outside it, and those kept are formed
// by the same operations as in the full jet.
enum JetMask { kFull = 0, kDelOnly = 1, kTauOnly = 2 };

struct Jet {
    double c[4][4] = {};
    int mask = kFull;
};

bool in_jet(int i, int j, int mask) {
    return i + j <= 4 && !(mask == kDelOnly && i > 0) && !(mask == kTauOnly && j > 0);
}

Jet operator*(const Jet& a, const Jet& b) {
    Jet r;
    r.mask = a.mask;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4 && in_jet(i, j, r.mask); ++j) {
            double s = 0;
            for (int p = 0; p <= i; ++p)
                for (int q = 0; q <= j; ++q) s += a.c[p][q] * b.c[i - p][j - q];
            r.c[i][j] = s;
        }
    return r;
}

Jet operator+(Jet a, const Jet& b) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) a.c[i][j] += b.c[i][j];
    return a;
}

Jet scaled(Jet a, double f) {
    for (auto& row : a.c)
        for (double& x : row) x *= f;
    return a;
}

// exp and log through the series of the part without a constant: its fifth
// power has no term of total degree <= 4.
Jet jexp(const Jet& a) {
    Jet g = a;
    g.c[0][0] = 0;
    Jet r, p;
    r.mask = p.mask = a.mask;
    r.c[0][0] = 1;
    p.c[0][0] = 1;
    double f = 1;
    for (int k = 1; k <= 4; ++k) {
        p = p * g;
        f /= k;
        r = r + scaled(p, f);
    }
    return scaled(r, std::exp(a.c[0][0]));
}

Jet jlog(const Jet& a) {
    const double a0 = a.c[0][0];
    Jet h = scaled(a, 1.0 / a0);
    h.c[0][0] = 0;
    Jet r, p;
    r.mask = p.mask = a.mask;
    p.c[0][0] = 1;
    for (int k = 1; k <= 4; ++k) {
        p = p * h;
        r = r + scaled(p, (k % 2 ? 1.0 : -1.0) / k);
    }
    r.c[0][0] = std::log(a0);
    return r;
}

// Jets of the non-analytic terms of one slot at its stored state.
struct JetCache {
    int owner = -99;
    unsigned gen = 0;
    int mask = kFull;
    std::array<Jet, kFeqCrit> jet;
};
JetCache jets;

// A jet along one variable: c[q] = d^q f / dx^q / q!, q <= 3, with every
// operation of a Jet restricted to that variable (kDelOnly: c[0][q],
// kTauOnly: c[q][0]) in the same order, so that its coefficients are those
// of the full jet to the last bit at a fraction of the work.
struct Series {
    double c[4] = {};
};

Series operator*(const Series& a, const Series& b) {
    Series r;
    for (int j = 0; j < 4; ++j) {
        double s = 0;
        for (int q = 0; q <= j; ++q) s += a.c[q] * b.c[j - q];
        r.c[j] = s;
    }
    return r;
}

Series operator+(Series a, const Series& b) {
    for (int j = 0; j < 4; ++j) a.c[j] += b.c[j];
    return a;
}

Series scaled(Series a, double f) {
    for (double& x : a.c) x *= f;
    return a;
}

Series sexp(const Series& a) {
    Series g = a;
    g.c[0] = 0;
    Series r, p;
    r.c[0] = 1;
    p.c[0] = 1;
    double f = 1;
    for (int k = 1; k <= 4; ++k) {
        p = p * g;
        f /= k;
        r = r + scaled(p, f);
    }
    return scaled(r, std::exp(a.c[0]));
}

Series slog(const Series& a) {
    const double a0 = a.c[0];
    Series h = scaled(a, 1.0 / a0);
    h.c[0] = 0;
    Series r, p;
    p.c[0] = 1;
    for (int k = 1; k <= 4; ++k) {
        p = p * h;
        r = r + scaled(p, (k % 2 ? 1.0 : -1.0) / k);
    }
    r.c[0] = std::log(a0);
    return r;
}

// The parts of non-analytic critical term j (term index k) at the stored
// state: the logarithm of the term divided by n without the Delta^b factor
// (L), theta and |X|^(2a) (power2a), as jets (a one-variable jet keeps the
// entries of its variable only; the others stay zero).
struct TermParts {
    Jet L, theta, power2a;
};

TermParts term_parts(int ic, int j, int k, int mask) {
    const auto& c = WCFFQ2.c[ic][j];
    const double beta = c[1], A = c[2], C = c[3], Dc = c[4], a = c[6];
    const double tau = FEQSAV.tau[ic], del = FEQSAV.del[ic];
    const double t = WCFFEQ.t[ic][k];
    const int d = WCFFEQ.d[ic][k], l = WCFFEQ.l[ic][k];
    const double m = WCFFEQ.m[ic][j];
    const double X = CRTSAV.c[ic][j][0];
    const double Y = -CRTSAV.c[ic][j][1];
    const double ax = std::fabs(X), s = X < 0 ? -1.0 : 1.0;
    const bool del_part = mask != kTauOnly, tau_part = mask != kDelOnly;

    TermParts P;
    Jet& L = P.L;
    L.mask = P.theta.mask = P.power2a.mask = mask;
    L.c[0][0] = t * std::log(tau) + d * std::log(del) + CRTSAV.c[ic][j][2] + CRTSAV.c[ic][j][3];
    for (int q = 1; q <= 3; ++q) {
        const double sg = q % 2 ? 1.0 : -1.0;
        if (tau_part) {
            L.c[q][0] += t * sg / (q * ipow(tau, q));
            L.c[q][0] += -Dc * gbinom(m, q) * rpow(Y, m - q) * (q % 2 ? -1.0 : 1.0);
        }
        if (del_part) {
            L.c[0][q] += d * sg / (q * ipow(del, q));
            if (q <= l) L.c[0][q] += -C * gbinom(l, q) * ipow(X, l - q);
        }
    }
    P.theta.c[0][0] = Y + A * std::pow(ax, 1.0 / beta);
    P.theta.c[1][0] = -1.0;
    P.power2a.c[0][0] = std::pow(ax, 2.0 * a);
    for (int q = 1; q <= 3 && del_part; ++q) {
        const double sq = q % 2 ? s : 1.0;
        P.theta.c[0][q] = A * gbinom(1.0 / beta, q) * std::pow(ax, 1.0 / beta - q) * sq;
        P.power2a.c[0][q] = gbinom(2.0 * a, q) * std::pow(ax, 2.0 * a - q) * sq;
    }
    return P;
}

// Taylor jet of non-analytic critical term j (term index k) at the stored
// state, of both variables or (mask) of one.
Jet non_analytic_jet(int ic, int j, int k, int mask) {
    const double b = WCFFQ2.c[ic][j][0], B = WCFFQ2.c[ic][j][5];
    const double v = FEQSAV.v[ic][k];
    const TermParts P = term_parts(ic, j, k, mask);
    if (mask == kFull) {
        const Jet Delta = P.theta * P.theta + scaled(P.power2a, B);
        Jet lnD = jlog(Delta);
        Jet L = P.L + scaled(lnD, b);
        L.c[0][0] = 0;  // the value itself is taken from the stored term value
        return scaled(jexp(L), v);
    }
    // One variable: the same operations on its entries alone.
    const bool tau = mask == kTauOnly;
    const auto along = [tau](const Jet& J) {
        Series r;
        for (int q = 0; q < 4; ++q) r.c[q] = tau ? J.c[q][0] : J.c[0][q];
        return r;
    };
    const Series theta = along(P.theta);
    const Series Delta = theta * theta + scaled(along(P.power2a), B);
    Series L = along(P.L) + scaled(slog(Delta), b);
    L.c[0] = 0;
    const Series r = scaled(sexp(L), v);
    Jet out;
    out.mask = mask;
    for (int q = 0; q < 4; ++q) (tau ? out.c[q][0] : out.c[0][q]) = r.c[q];
    return out;
}

}  // namespace

double feq_non_analytic_sum(int ic, int i, int j) {
    const auto& K = WNTFEQ.k[ic];
    if (FEQSV3.analytic[ic] == 1 && K.ncrit == 0) return 0.0;
    // A pure delta or tau derivative needs the jet of that variable only.
    const int mask = i == 0 ? kDelOnly : j == 0 ? kTauOnly : kFull;
    const bool fresh =
        jets.owner == ic && jets.gen == FEQSAV.gen[ic] && (jets.mask == kFull || jets.mask == mask);
    static const double fact[4] = {1, 1, 2, 6};
    double sum = 0;
    for (int q = 0; q < K.ncrit; ++q) {
        const int k = K.nterm + q;
        if (!non_analytic(ic, q)) continue;
        if (!fresh) jets.jet[q] = FEQSAV.v[ic][k] == 0.0 ? Jet{} : non_analytic_jet(ic, q, k, mask);
        sum += jets.jet[q].c[i][j] * fact[i] * fact[j];
    }
    if (!fresh) jets.mask = mask;
    jets.owner = ic;
    jets.gen = FEQSAV.gen[ic];
    return sum * ipow(FEQSAV.tau[ic], i) * ipow(FEQSAV.del[ic], j);
}

}  // namespace lib
