// Newton's method on the split of a feed beside its frozen trace.  The
// unknowns are the amounts v_i of the rest's components in the vapour (per
// mole of feed); the vapour's amount is their sum over the rest's share, the
// trace rides along in each phase at the feed's fractions, and the liquid
// holds the remainder.  The equations are the equality of the rest's
// fugacities; their Jacobian follows from n dln(phi)/dn at constant T and P
// of each phase, the trace's share of a phase moving with its amount.
#include "library/phase/tracenewton.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/hmxrecords.h"
#include "library/models/phiderv.h"
#include "library/phase/flashutil.h"
#include "library/phase/trialroot.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

int components() { return std::min(NCOMP.nc, kMaxComp); }

constexpr int kIterations = 30;
constexpr int kHalvings = 10;
constexpr double kTarget = 1e-13;     // largest |ln fv - ln fl| aimed at
constexpr double kConverged = 1e-11;  // largest taken where the aim is not met
// Phases closer than this (relative density, and fraction of each
// component) are the feed twice: the trivial solution.
constexpr double kDistinctDensity = 1e-6;
constexpr double kDistinctFraction = 1e-7;
// The share of the way to a bound of an amount that a step may go.
constexpr double kToBound = 0.5;
// The largest change of ln P in a step where P is unknown.
constexpr double kLogPressureStep = 0.05;

// One phase: composition, density at P, ln f_i, and n dln(phi_i)/dn_j and
// d ln(phi_i)/dP at constant T and P.
struct Phase {
    double c[20] = {};
    double D = 0.0;
    double lnf[20] = {};
    double M[20][20] = {};
    double dp[20] = {};
};

// The rest's components, the trace's, and the trace's share of the feed.
struct Parts {
    int m = 0, rest[20] = {};
    int k = 0, trace[20] = {};
    double share = 0.0;
};

Parts parts_of(const FrozenTrace& t, const double z[20]) {
    Parts p;
    p.share = t.share;
    for (int i = 0; i < components(); ++i) {
        if (!(z[i] > 0.0)) continue;
        if (t.held[i])
            p.trace[p.k++] = i;
        else
            p.rest[p.m++] = i;
    }
    return p;
}

// The density of phase ph at (T, P): Newton's steps from its last density
// where it has one, else (or where they leave it) the density solver's root
// of kind kph.
bool density(double T, double P, int kph, Phase& ph) {
    double d = 0.0;
    if (ph.D > 0.0 && near_root(T, P, ph.c, ph.D, d)) {
        ph.D = d;
        return true;
    }
    flash::QuietMessages quiet;
    int jerr = 0;
    std::string jmsg;
    d = ph.D;
    TPRHO(T, P, ph.c, kph, d > 0.0 ? kStartValue : kNoStartValue, d, jerr, jmsg);
    if (jerr > 0 || !(d > 0.0)) return false;
    ph.D = d;
    if (near_root(T, P, ph.c, d, d)) ph.D = d;
    return true;
}

// ln f_i and their derivatives of phase ph at its density.
bool fugacities(double T, const double z[20], Phase& ph) {
    double dadn[20] = {}, dnadn[20] = {};
    int jerr = 0;
    std::string jmsg;
    PHIDERV(2, T, ph.D, ph.c, dadn, dnadn, jerr, jmsg);
    if (jerr != 0) return false;
    const double lndrt = std::log(ph.D * GCNST.r * T);
    for (int i = 0; i < components(); ++i) {
        if (!(z[i] > 0.0)) continue;
        ph.lnf[i] = std::log(ph.c[i]) + lndrt + dnadn[i];
        ph.dp[i] = PHIDR.dlnphi_dp[i];
        if (!std::isfinite(ph.lnf[i])) return false;
        for (int j = 0; j < components(); ++j)
            if (z[j] > 0.0) ph.M[i][j] = PHIDR.ndlnphi_dn[i][j];
    }
    return true;
}

// The split as it is being solved.
struct Split {
    double v[20] = {};  // the rest's amounts in the vapour
    double V = 0.0;     // the vapour's amount
    double P = 0.0;
    Phase l, g;
};

// The phases of amounts v; false where a phase would be empty.
bool phases_of(const Parts& p, const double z[20], Split& s) {
    double sum = 0.0;
    for (int a = 0; a < p.m; ++a) sum += s.v[p.rest[a]];
    s.V = sum / (1.0 - p.share);
    if (!(s.V > 0.0 && s.V < 1.0)) return false;
    for (int a = 0; a < p.m; ++a) {
        const int i = p.rest[a];
        s.g.c[i] = s.v[i] / s.V;
        s.l.c[i] = (z[i] - s.v[i]) / (1.0 - s.V);
        if (!(s.g.c[i] > 0.0 && s.l.c[i] > 0.0)) return false;
    }
    for (int b = 0; b < p.k; ++b) s.g.c[p.trace[b]] = s.l.c[p.trace[b]] = z[p.trace[b]];
    return true;
}

// The phases' densities and fugacities at (T, P).
bool evaluate(double T, const double z[20], Split& s) {
    return density(T, s.P, kLiquid, s.l) && density(T, s.P, kVapour, s.g) &&
           fugacities(T, z, s.l) && fugacities(T, z, s.g);
}

// The problem: the split at (T, P), or at (T, q) with P unknown.
struct Problem {
    double T;
    const double* z;
    Parts p;
    bool at_q = false;
    double q = 0.0;
    int n() const { return p.m + (at_q ? 1 : 0); }
};

// The residuals (ln fv_i - ln fl_i of the rest, and with P unknown V - q)
// and the largest of their magnitudes.
double residual(const Problem& pr, const Split& s, double r[21]) {
    double worst = 0.0;
    for (int a = 0; a < pr.p.m; ++a) {
        const int i = pr.p.rest[a];
        r[a] = s.g.lnf[i] - s.l.lnf[i];
        worst = std::max(worst, std::fabs(r[a]));
    }
    if (pr.at_q) {
        r[pr.p.m] = s.V - pr.q;
        worst = std::max(worst, std::fabs(r[pr.p.m]));
    }
    return worst;
}

// The Jacobian of the residuals by the amounts v_j and ln P (column-major,
// n x n): d ln f_i / d n_k = (delta_ik / c_i - 1 + M_ik) / N in a phase of
// amount N, each trace component's amount moving by z_k / (1 - share) with
// v_j; d ln f_i / d ln P = 1 + P d ln(phi_i)/dP.
void jacobian(const Problem& pr, const Split& s, double J[]) {
    const Parts& p = pr.p;
    const int n = pr.n();
    const auto d = [&](const Phase& ph, double N, int i, int k) {
        return ((i == k ? 1.0 / ph.c[i] : 0.0) - 1.0 + ph.M[i][k]) / N;
    };
    const auto both = [&](int i, int k) { return d(s.g, s.V, i, k) + d(s.l, 1.0 - s.V, i, k); };
    for (int a = 0; a < p.m; ++a) {
        const int i = p.rest[a];
        double ride = 0.0;
        for (int b = 0; b < p.k; ++b)
            ride += both(i, p.trace[b]) * pr.z[p.trace[b]] / (1.0 - p.share);
        for (int c = 0; c < p.m; ++c) J[a + c * n] = both(i, p.rest[c]) + ride;
        if (pr.at_q) J[a + p.m * n] = s.P * (s.g.dp[i] - s.l.dp[i]);
    }
    if (!pr.at_q) return;
    for (int c = 0; c < p.m; ++c) J[p.m + c * n] = 1.0 / (1.0 - p.share);
    J[p.m + p.m * n] = 0.0;
}

// Whether the phases are the feed twice.
bool trivial(const Parts& p, const Split& s) {
    if (std::fabs(s.l.D - s.g.D) > kDistinctDensity * std::max(s.l.D, s.g.D)) return false;
    for (int a = 0; a < p.m; ++a)
        if (std::fabs(s.l.c[p.rest[a]] - s.g.c[p.rest[a]]) > kDistinctFraction) return false;
    return true;
}

// The largest share of Newton's step du that keeps each amount inside
// (0, z_i), kToBound of the way to its bound at most, and ln P within
// kLogPressureStep.
double step_share(const Problem& pr, const Split& s, const double du[21]) {
    const Parts& p = pr.p;
    double f = 1.0;
    for (int a = 0; a < p.m; ++a) {
        const int i = p.rest[a];
        if (s.v[i] + du[a] <= 0.0) f = std::min(f, kToBound * s.v[i] / -du[a]);
        if (s.v[i] + du[a] >= pr.z[i]) f = std::min(f, kToBound * (pr.z[i] - s.v[i]) / du[a]);
    }
    if (pr.at_q && std::fabs(du[p.m]) > kLogPressureStep)
        f = std::min(f, kLogPressureStep / std::fabs(du[p.m]));
    return f;
}

// The start: the rest's amounts in the vapour from the phases given.
bool start(const Parts& p, const double z[20], double Dl, double Dv, const double x[20],
           const double y[20], double q, Split& s) {
    if (!(q > 0.0 && q < 1.0)) return false;
    for (int a = 0; a < p.m; ++a) {
        const int i = p.rest[a];
        // The vapour's share of the component, from both phases' fractions.
        const double vy = q * y[i], lx = (1.0 - q) * x[i];
        if (!(vy > 0.0 && lx > 0.0)) return false;
        s.v[i] = z[i] * vy / (vy + lx);
    }
    s.l.D = Dl;
    s.g.D = Dv;
    return phases_of(p, z, s);
}

// Newton's steps from s until the residuals vanish; false where they do not
// or the phases fall onto each other.
bool solve(const Problem& pr, Split& s) {
    if (!evaluate(pr.T, pr.z, s)) return false;
    const int n = pr.n();
    double r[21] = {};
    double worst = residual(pr, s, r);
    for (int it = 0; it < kIterations && worst > kTarget; ++it) {
        double J[441] = {}, du[21] = {};
        jacobian(pr, s, J);
        for (int a = 0; a < n; ++a) du[a] = -r[a];
        int jerr = 0;
        std::string jmsg;
        LUDECOMP(n, n, J, du, jerr, jmsg);
        if (jerr != 0) return false;
        double f = step_share(pr, s, du);
        bool taken = false;
        for (int h = 0; h <= kHalvings && !taken; ++h, f *= 0.5) {
            Split t = s;
            for (int a = 0; a < pr.p.m; ++a) t.v[pr.p.rest[a]] += f * du[a];
            if (pr.at_q) t.P = s.P * std::exp(f * du[pr.p.m]);
            double rt[21] = {};
            if (!phases_of(pr.p, pr.z, t) || !evaluate(pr.T, pr.z, t)) continue;
            const double now = residual(pr, t, rt);
            if (!(now < worst)) continue;
            s = t;
            worst = now;
            std::copy(rt, rt + 21, r);
            taken = true;
        }
        if (!taken || trivial(pr.p, s)) return false;
    }
    return worst <= kConverged && !trivial(pr.p, s);
}

// The split's result into the arguments.
void give(const Split& s, double& Dl, double& Dv, double x[20], double y[20], double& q) {
    Dl = s.l.D;
    Dv = s.g.D;
    q = s.V;
    flash::copy20(s.l.c, x);
    flash::copy20(s.g.c, y);
}

}  // namespace

bool newton_beside_trace(double T, double P, const double z[20], const FrozenTrace& t, double& Dl,
                         double& Dv, double x[20], double y[20], double& q) {
    if (!t.any) return false;
    Problem pr{T, z, parts_of(t, z)};
    Split s;
    s.P = P;
    if (pr.p.m < 2 || !start(pr.p, z, Dl, Dv, x, y, q, s) || !solve(pr, s)) return false;
    give(s, Dl, Dv, x, y, q);
    return true;
}

bool newton_beside_trace_at_q(double T, double q, const double z[20], const FrozenTrace& t,
                              double& P, double& Dl, double& Dv, double x[20], double y[20]) {
    if (!t.any || !(q > 0.0 && q < 1.0)) return false;
    Problem pr{T, z, parts_of(t, z), true, q};
    Split s;
    s.P = P;
    double qs = q;
    if (pr.p.m < 2 || !(P > 0.0) || !start(pr.p, z, Dl, Dv, x, y, qs, s) || !solve(pr, s))
        return false;
    P = s.P;
    give(s, Dl, Dv, x, y, qs);
    return true;
}

}  // namespace lib::mix
