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
// The largest change of ln P in a step where P is unknown, and of ln T
// where T is.
constexpr double kLogPressureStep = 0.05;
constexpr double kLogTemperatureStep = 0.01;

// One phase: composition, density at P, ln f_i, and n dln(phi_i)/dn_j,
// d ln(phi_i)/dP at constant T and d ln(phi_i)/dT at constant P.
struct Phase {
    double c[20] = {};
    double D = 0.0;
    double lnf[20] = {};
    double M[20][20] = {};
    double dp[20] = {};
    double dt[20] = {};
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
        ph.dt[i] = PHIDR.dlnphi_dt[i];
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

// Damped Newton steps on s (n unknowns) until the largest residual
// (`residual(s, r)`) vanishes; `jacobian(s, J)` forms the matrix,
// `share(s, du)` the first share of a step, `step(s, du, f, t)` the state
// f of the way along it (false where it has no phases), `trivial(s)`
// whether the phases fell onto each other.  False where the residuals do
// not vanish or the phases fall together.
template <class S, class Residual, class Jacobian, class Share, class Step, class Trivial>
bool damped_newton(int n, S& s, Residual residual, Jacobian jacobian, Share share, Step step,
                   Trivial trivial) {
    double r[21] = {};
    double worst = residual(s, r);
    for (int it = 0; it < kIterations && worst > kTarget; ++it) {
        double J[441] = {}, du[21] = {};
        jacobian(s, J);
        for (int a = 0; a < n; ++a) du[a] = -r[a];
        int jerr = 0;
        std::string jmsg;
        LUDECOMP(n, n, J, du, jerr, jmsg);
        if (jerr != 0) return false;
        double f = share(s, du);
        bool taken = false;
        for (int h = 0; h <= kHalvings && !taken; ++h, f *= 0.5) {
            S t = s;
            if (!step(s, du, f, t)) continue;
            double rt[21] = {};
            const double now = residual(t, rt);
            if (!(now < worst)) continue;
            s = t;
            worst = now;
            std::copy(rt, rt + 21, r);
            taken = true;
        }
        if (!taken || trivial(s)) return false;
    }
    return worst <= kConverged && !trivial(s);
}

// Newton's steps from s until the residuals vanish; false where they do not
// or the phases fall onto each other.
bool solve(const Problem& pr, Split& s) {
    if (!evaluate(pr.T, pr.z, s)) return false;
    return damped_newton(
        pr.n(), s, [&](const Split& u, double r[21]) { return residual(pr, u, r); },
        [&](const Split& u, double J[441]) { jacobian(pr, u, J); },
        [&](const Split& u, const double du[21]) { return step_share(pr, u, du); },
        [&](const Split& u, const double du[21], double f, Split& t) {
            for (int a = 0; a < pr.p.m; ++a) t.v[pr.p.rest[a]] += f * du[a];
            if (pr.at_q) t.P = u.P * std::exp(f * du[pr.p.m]);
            return phases_of(pr.p, pr.z, t) && evaluate(pr.T, pr.z, t);
        },
        [&](const Split& u) { return trivial(pr.p, u); });
}

// The split's result into the arguments.
void give(const Split& s, double& Dl, double& Dv, double x[20], double y[20], double& q) {
    Dl = s.l.D;
    Dv = s.g.D;
    q = s.V;
    flash::copy20(s.l.c, x);
    flash::copy20(s.g.c, y);
}

// A saturation point as it is being solved: the feed's own phase and the
// incipient one, whose rest holds the amounts u_i (U in all, the trace
// riding along), at (T, P).
struct Point {
    double u[20] = {};
    double U = 0.0;
    double T = 0.0, P = 0.0;
    Phase feed, inc;
};

// The point of a feed z beside its trace: a bubble point (the feed the
// liquid) or a dew point, at given T (P unknown) or at given P.
struct PointProblem {
    const double* z;
    Parts p;
    bool bubble;
    bool at_temperature;
    int n() const { return p.m + 1; }
};

// The incipient phase of amounts u; false where a fraction would vanish.
bool incipient_of(const PointProblem& pr, Point& s) {
    double sum = 0.0;
    for (int a = 0; a < pr.p.m; ++a) sum += s.u[pr.p.rest[a]];
    s.U = sum / (1.0 - pr.p.share);
    if (!(s.U > 0.0)) return false;
    for (int a = 0; a < pr.p.m; ++a) {
        const int i = pr.p.rest[a];
        s.inc.c[i] = s.u[i] / s.U;
        if (!(s.inc.c[i] > 0.0)) return false;
    }
    for (int b = 0; b < pr.p.k; ++b) s.inc.c[pr.p.trace[b]] = pr.z[pr.p.trace[b]];
    return true;
}

// Both phases' densities and fugacities at the point's (T, P).
bool evaluate_point(const PointProblem& pr, Point& s) {
    const int feed_kph = pr.bubble ? kLiquid : kVapour;
    const int incipient_kph = pr.bubble ? kVapour : kLiquid;
    return density(s.T, s.P, feed_kph, s.feed) && density(s.T, s.P, incipient_kph, s.inc) &&
           fugacities(s.T, pr.z, s.feed) && fugacities(s.T, pr.z, s.inc);
}

// The residuals (ln f_i of the incipient phase less the feed's, for the
// rest, and U - 1) and the largest of their magnitudes.
double point_residual(const PointProblem& pr, const Point& s, double r[21]) {
    double worst = 0.0;
    for (int a = 0; a < pr.p.m; ++a) {
        const int i = pr.p.rest[a];
        r[a] = s.inc.lnf[i] - s.feed.lnf[i];
        worst = std::max(worst, std::fabs(r[a]));
    }
    r[pr.p.m] = s.U - 1.0;
    return std::max(worst, std::fabs(r[pr.p.m]));
}

// The Jacobian of those residuals by the amounts u_j and by ln P (at given
// T) or ln T (at given P), column-major; the feed's composition is fixed,
// the incipient phase's trace moves with U.
void point_jacobian(const PointProblem& pr, const Point& s, double J[]) {
    const Parts& p = pr.p;
    const int n = pr.n();
    const auto d = [&](int i, int k) {
        return ((i == k ? 1.0 / s.inc.c[i] : 0.0) - 1.0 + s.inc.M[i][k]) / s.U;
    };
    for (int a = 0; a < p.m; ++a) {
        const int i = p.rest[a];
        double ride = 0.0;
        for (int b = 0; b < p.k; ++b) ride += d(i, p.trace[b]) * pr.z[p.trace[b]] / (1.0 - p.share);
        for (int c = 0; c < p.m; ++c) J[a + c * n] = d(i, p.rest[c]) + ride;
        J[a + p.m * n] = pr.at_temperature ? s.P * (s.inc.dp[i] - s.feed.dp[i])
                                           : s.T * (s.inc.dt[i] - s.feed.dt[i]);
    }
    for (int c = 0; c < p.m; ++c) J[p.m + c * n] = 1.0 / (1.0 - p.share);
    J[p.m + p.m * n] = 0.0;
}

// The largest share of Newton's step du that keeps each amount positive
// (kToBound of the way to 0 at most) and moves ln P or ln T within its
// bound.
double point_step_share(const PointProblem& pr, const Point& s, const double du[21]) {
    double f = 1.0;
    for (int a = 0; a < pr.p.m; ++a) {
        const int i = pr.p.rest[a];
        if (s.u[i] + du[a] <= 0.0) f = std::min(f, kToBound * s.u[i] / -du[a]);
    }
    const double bound = pr.at_temperature ? kLogPressureStep : kLogTemperatureStep;
    if (std::fabs(du[pr.p.m]) > bound) f = std::min(f, bound / std::fabs(du[pr.p.m]));
    return f;
}

// Whether the incipient phase is the feed again.
bool point_trivial(const PointProblem& pr, const Point& s) {
    if (std::fabs(s.inc.D - s.feed.D) > kDistinctDensity * std::max(s.inc.D, s.feed.D))
        return false;
    for (int a = 0; a < pr.p.m; ++a)
        if (std::fabs(s.inc.c[pr.p.rest[a]] - pr.z[pr.p.rest[a]]) > kDistinctFraction) return false;
    return true;
}

// The point moved by the share f of Newton's step du.
Point point_step(const PointProblem& pr, const Point& s, const double du[21], double f) {
    Point t = s;
    for (int a = 0; a < pr.p.m; ++a) t.u[pr.p.rest[a]] += f * du[a];
    (pr.at_temperature ? t.P : t.T) *= std::exp(f * du[pr.p.m]);
    return t;
}

// Newton's steps from s until the residuals vanish; false where they do not
// or the incipient phase falls onto the feed.
bool solve_point(const PointProblem& pr, Point& s) {
    if (!incipient_of(pr, s) || !evaluate_point(pr, s)) return false;
    return damped_newton(
        pr.n(), s, [&](const Point& u, double r[21]) { return point_residual(pr, u, r); },
        [&](const Point& u, double J[441]) { point_jacobian(pr, u, J); },
        [&](const Point& u, const double du[21]) { return point_step_share(pr, u, du); },
        [&](const Point& u, const double du[21], double f, Point& t) {
            t = point_step(pr, u, du, f);
            return incipient_of(pr, t) && evaluate_point(pr, t);
        },
        [&](const Point& u) { return point_trivial(pr, u); });
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

bool newton_point_beside_trace(const FrozenTrace& t, const double z[20], bool bubble,
                               bool at_temperature, double& T, double& P, double& Dl, double& Dv,
                               double xl[20], double xv[20]) {
    if (!t.any || !(T > 0.0 && P > 0.0)) return false;
    PointProblem pr{z, parts_of(t, z), bubble, at_temperature};
    if (pr.p.m < 2) return false;
    Point s;
    s.T = T;
    s.P = P;
    const double* incipient = bubble ? xv : xl;
    for (int a = 0; a < pr.p.m; ++a) {
        const int i = pr.p.rest[a];
        if (!(incipient[i] > 0.0)) return false;
        s.u[i] = incipient[i];
    }
    flash::copy20(z, s.feed.c);
    s.feed.D = bubble ? Dl : Dv;
    s.inc.D = bubble ? Dv : Dl;
    if (!solve_point(pr, s)) return false;
    T = s.T;
    P = s.P;
    const Phase& liquid = bubble ? s.feed : s.inc;
    const Phase& vapour = bubble ? s.inc : s.feed;
    Dl = liquid.D;
    Dv = vapour.D;
    flash::copy20(liquid.c, xl);
    flash::copy20(vapour.c, xv);
    return true;
}

}  // namespace lib::mix
