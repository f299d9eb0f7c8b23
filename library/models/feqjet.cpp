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
// power has no term of total degree <= 4.  The jets of the terms take their
// constant part from the stored term value: an exp of a jet without one
// needs no factor exp(0), and a log leaves its constant ln(a0) out (both
// were some fifth of a third delta derivative of carbon dioxide's terms).
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
    return a.c[0][0] == 0.0 ? r : scaled(r, std::exp(a.c[0][0]));
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
    return r;  // (without its constant ln a0)
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
    return a.c[0] == 0.0 ? r : scaled(r, std::exp(a.c[0]));
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
    return r;  // (without its constant ln a0)
}

// The one-variable part of a jet (kDelOnly: c[0][q], kTauOnly: c[q][0]).
Series along(const Jet& J, int mask) {
    Series r;
    for (int q = 0; q < 4; ++q) r.c[q] = mask == kTauOnly ? J.c[q][0] : J.c[0][q];
    return r;
}

// ln Delta of a non-analytic term as a jet (mask kFull) or a series (one
// variable).  It depends on the state through X = delta - 1 and Y = 1 - tau
// and on the term's beta, A, B and a alone, which the terms of an equation
// mostly share: the last one is kept for the next term.
struct LogDelta {
    bool valid = false;
    int mask = kFull;
    double beta = 0, A = 0, B = 0, a = 0, X = 0, Y = 0;
    Jet full;
    Series one;
};
LogDelta log_delta_kept;

const LogDelta& log_delta(int ic, int j, int mask) {
    const auto& c = WCFFQ2.c[ic][j];
    const double beta = c[1], A = c[2], B = c[5], a = c[6];
    const double X = CRTSAV.c[ic][j][0];
    const double Y = -CRTSAV.c[ic][j][1];
    LogDelta& g = log_delta_kept;
    if (g.valid && g.mask == mask && g.beta == beta && g.A == A && g.B == B && g.a == a &&
        g.X == X && g.Y == Y)
        return g;
    const double ax = std::fabs(X), s = X < 0 ? -1.0 : 1.0;
    Jet theta, power2a;
    theta.mask = power2a.mask = mask;
    theta.c[0][0] = Y + A * std::pow(ax, 1.0 / beta);
    theta.c[1][0] = -1.0;
    power2a.c[0][0] = std::pow(ax, 2.0 * a);
    for (int q = 1; q <= 3 && mask != kTauOnly; ++q) {
        const double sq = q % 2 ? s : 1.0;
        theta.c[0][q] = A * gbinom(1.0 / beta, q) * std::pow(ax, 1.0 / beta - q) * sq;
        power2a.c[0][q] = gbinom(2.0 * a, q) * std::pow(ax, 2.0 * a - q) * sq;
    }
    if (mask == kFull) {
        g.full = jlog(theta * theta + scaled(power2a, B));
    } else {
        const Series th = along(theta, mask);
        g.one = slog(th * th + scaled(along(power2a, mask), B));
    }
    g = {true, mask, beta, A, B, a, X, Y, g.full, g.one};
    return g;
}

// The logarithm of non-analytic critical term j (term index k) divided by n,
// without its factor Delta^b, as a jet (a one-variable jet keeps the entries
// of its variable only; the others stay zero), without its constant: the
// jet takes the term's value from the stored one.
Jet log_term(int ic, int j, int k, int mask) {
    const auto& c = WCFFQ2.c[ic][j];
    const double C = c[3], Dc = c[4];
    const double tau = FEQSAV.tau[ic], del = FEQSAV.del[ic];
    const double t = WCFFEQ.t[ic][k];
    const int d = WCFFEQ.d[ic][k], l = WCFFEQ.l[ic][k];
    const double m = WCFFEQ.m[ic][j];
    const double X = CRTSAV.c[ic][j][0];
    const double Y = -CRTSAV.c[ic][j][1];
    Jet L;
    L.mask = mask;
    for (int q = 1; q <= 3; ++q) {
        const double sg = q % 2 ? 1.0 : -1.0;
        if (mask != kDelOnly) {
            L.c[q][0] += t * sg / (q * ipow(tau, q));
            L.c[q][0] += -Dc * gbinom(m, q) * rpow(Y, m - q) * (q % 2 ? -1.0 : 1.0);
        }
        if (mask != kTauOnly) {
            L.c[0][q] += d * sg / (q * ipow(del, q));
            if (q <= l) L.c[0][q] += -C * gbinom(l, q) * ipow(X, l - q);
        }
    }
    return L;
}

// Taylor jet of non-analytic critical term j (term index k) at the stored
// state, of both variables or (mask) of one.
Jet non_analytic_jet(int ic, int j, int k, int mask) {
    const double b = WCFFQ2.c[ic][j][0];
    const double v = FEQSAV.v[ic][k];
    const Jet Lt = log_term(ic, j, k, mask);
    const LogDelta& lnD = log_delta(ic, j, mask);
    if (mask == kFull) {
        // (The constants of Lt and lnD are left out: the value itself is
        // taken from the stored term value.)
        const Jet L = Lt + scaled(lnD.full, b);
        return scaled(jexp(L), v);
    }
    // One variable: the same operations on its entries alone.
    const Series L = along(Lt, mask) + scaled(lnD.one, b);
    const Series r = scaled(sexp(L), v);
    Jet out;
    out.mask = mask;
    for (int q = 0; q < 4; ++q) (mask == kTauOnly ? out.c[q][0] : out.c[0][q]) = r.c[q];
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
