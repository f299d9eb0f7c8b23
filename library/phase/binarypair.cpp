// The stable pair of phases of a binary feed, from the lower convex hull of
// its Gibbs energy over the compositions.
#include "library/phase/binarypair.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/phase/splitnewton.h"
#include "library/phase/stability.h"
#include "library/phase/tpflsh.h"
#include "library/phase/trialroot.h"
#include "library/setup/records.h"

namespace lib {
namespace {

constexpr double kInfinite = std::numeric_limits<double>::infinity();

// The grid of the first component's fraction w: logit s = ln(w / (1 - w))
// from -kSpan to kSpan (fractions down to 1e-13) in steps of kStep.
constexpr double kSpan = 30.0;
constexpr double kStep = 0.5;

// The hull's pair is looked for again on a grid this many times finer
// within one step of each of its phases.
constexpr int kFiner = 16;

// Golden-section steps refining a low point of the grid (its interval of
// two steps shrinks to 2e-7 of a step in s).
constexpr int kGoldenSteps = 32;

// A phase farther below the pair's tangent plane than this makes the pair
// unstable.
constexpr double kBelowPlane = -kOnThreePhaseLine;

// Differences of G / (R T) below this are rounding.
constexpr double kGibbsRounding = 1e-10;

// Rounds of hull, split and check before giving up.
constexpr int kRounds = 5;

// A second phase denser than this share of the first is a liquid.
constexpr double kLiquidShare = 0.05;

// Newton's method on the logits of a pair: its steps, their longest, the
// step of the derivatives, the range of the logits (fractions down to
// 1.9e-12: below 1e-12 a phase is taken as pure) and the agreement of ln f
// that ends it.
constexpr int kNewtonSteps = 30;
constexpr double kLongestLogitStep = 2.0;
constexpr double kLogitStep = 1e-6;
constexpr double kNewtonSpan = 27.0;
constexpr double kNewtonAgreed = 1e-12;

// The smallest K-value of a start.
constexpr double kSmallestK = 1e-20;

// Densities of one root.
constexpr double kSameRoot = 1e-7;

// A root's pressure within this share of P.
constexpr double kRootPressure = 1e-7;

// Phases closer than this in s (or kSameFraction in both fractions) and in
// ln D are one phase.
constexpr double kSamePhase = 1e-3;
constexpr double kSameFraction = 1e-7;

// Two components of the feed, a the first (index in the composition).
struct Binary {
    int a = -1, b = -1;
};

// A phase of the binary at (T, P): its composition (logit s of a's
// fraction, the fractions wa, wb), density and the logarithms of its
// fugacities, with G / (R T) less the terms linear in the composition.  A
// component of a fraction below 1e-12 has no fugacity (the phase is formed
// as pure): its term, below 1e-10, is left out.
struct Phase {
    double s = 0, wa = 0, wb = 0, D = 0, g = 0;
    double lnf[2] = {};
    bool has[2] = {};
};

// A fraction below this may have no fugacity (see Phase): the phase is
// taken as pure.
constexpr double kRoundedOut = 1e-12;

// The two components of z present; a.a < 0 where z has not exactly two.
Binary binary_of(const double z[20]) {
    Binary p;
    int n = 0;
    for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i) {
        if (!(z[i] > 0.0)) continue;
        ++n;
        (p.a < 0 ? p.a : p.b) = i;
    }
    return n == 2 ? p : Binary{};
}

void composition(const Binary& p, double s, double w[20]) {
    for (int i = 0; i < 20; ++i) w[i] = 0.0;
    w[p.a] = 1.0 / (1.0 + std::exp(-s));
    w[p.b] = 1.0 / (1.0 + std::exp(s));
}

// The phase of composition w (logit s) and density D at T: false where a
// fugacity fails.
bool phase_at(double T, const Binary& p, double s, const double w[20], double D, Phase& ph) {
    double f[20] = {};
    int jerr = 0;
    std::string jmsg;
    FGCTY2(T, D, w, f, jerr, jmsg);
    if (jerr > 0) return false;
    ph = Phase{};
    ph.s = s;
    ph.wa = w[p.a];
    ph.wb = w[p.b];
    ph.D = D;
    const int index[2] = {p.a, p.b};
    for (int c = 0; c < 2; ++c) {
        const double fc = f[index[c]], wc = w[index[c]];
        ph.has[c] = fc > 0.0 && std::isfinite(fc);
        if (!ph.has[c] && !(wc < kRoundedOut)) return false;
        if (!ph.has[c]) continue;
        ph.lnf[c] = std::log(fc);
        ph.g += wc * ph.lnf[c];
    }
    return ph.has[0] || ph.has[1];
}

// The densest root of composition w at (T, P): the density solver's dense
// iteration from its own start (0 where it fails).
double densest_root(double T, double P, const double w[20]) {
    double D = 0.0;
    int jerr = 0;
    std::string jmsg;
    TPRHO(T, P, w, -kLiquid, kNoStartValue, D, jerr, jmsg);
    return jerr > 0 ? 0.0 : D;
}

// Whether the root D of composition w at (T, P) is a phase: P rising with
// D, and the first crossing of P from the dilute gas (a vapour) or the
// densest root (a liquid).  A root between them, on a branch of a loop of
// the equation, is none (ethanol + R113 at 241.7 K: 88 % ethanol has a
// root at 11.7 mol/L below its liquid's 16.2 mol/L, P falling to -8e10 kPa
// beneath it, of far lower Gibbs energy).  `densest` says D is that root.
bool phase_root(double T, double P, const double w[20], double D, bool densest = false) {
    double slope = 0.0;
    DPDD(T, D, w, slope);
    if (!(slope > 0.0)) return false;
    if (densest || mix::first_root(T, P, w, D)) return true;
    flash::QuietMessages quiet;
    return std::fabs(densest_root(T, P, w) / D - 1.0) <= kSameRoot;
}

// The density root of logit s at (T, P) that TPRHO finds for `kind`
// (-kLiquid or -kVapour: the dense or the vapour iteration), as a phase.
bool root_of(double T, double P, const Binary& p, double s, const double w[20], int kind,
             Phase& ph) {
    double D = 0.0;
    int jerr = 0;
    std::string jmsg;
    TPRHO(T, P, w, kind, kNoStartValue, D, jerr, jmsg);
    if (jerr > 0 || !(D > 0.0) || !std::isfinite(D) || !within_densities(w, D)) return false;
    // (The forced iterations may end on a density of another pressure, or
    // on the loop between the roots.)
    double p_root = 0.0;
    PRESS(T, D, w, p_root);
    return std::fabs(p_root - P) <= kRootPressure * P && phase_root(T, P, w, D, kind == -kLiquid) &&
           phase_at(T, p, s, w, D, ph);
}

bool root_at(double T, double P, const Binary& p, double s, int kind, Phase& ph) {
    double w[20];
    composition(p, s, w);
    return root_of(T, P, p, s, w, kind, ph);
}

// The phase of a split's phase c of density D.
bool split_phase(double T, const Binary& p, const double c[20], double D, Phase& ph) {
    const double s = c[p.a] > 0.0 && c[p.b] > 0.0 ? std::log(c[p.a] / c[p.b])
                     : c[p.a] > 0.0               ? kInfinite
                                                  : -kInfinite;
    return phase_at(T, p, s, c, D, ph);
}

// Distance of phase ph below the tangent plane of fugacities lnf.
double distance(const Phase& ph, const double lnf[2]) {
    const double w[2] = {ph.wa, ph.wb};
    double d = 0.0;
    for (int c = 0; c < 2; ++c)
        if (ph.has[c]) d += w[c] * (ph.lnf[c] - lnf[c]);
    return d;
}

// Phases of one composition (in logit, or in the fractions where one is
// tiny) and density.
bool same_phase(const Phase& u, const Phase& v) {
    const bool close =
        std::fabs(u.s - v.s) < kSamePhase ||
        (std::fabs(u.wa - v.wa) < kSameFraction && std::fabs(u.wb - v.wb) < kSameFraction);
    return close && std::fabs(std::log(u.D / v.D)) < kSamePhase;
}

// The grid: for each s the roots asked for as liquid and as vapour
// (roots[0] and roots[1], D 0 where none was found).
struct Grid {
    std::vector<Phase> roots[2];
};

Grid scan(double T, double P, const Binary& p) {
    Grid grid;
    const int n = static_cast<int>(std::lround(2.0 * kSpan / kStep)) + 1;
    flash::QuietMessages quiet;
    for (int side = 0; side < 2; ++side) {
        grid.roots[side].resize(n);
        for (int k = 0; k < n; ++k) {
            Phase ph;
            if (!root_at(T, P, p, -kSpan + k * kStep, side == 0 ? -kLiquid : -kVapour, ph))
                ph.D = 0;
            grid.roots[side][k] = ph;
        }
    }
    return grid;
}

// The pair of points whose chord lies lowest at the feed's fraction za
// (the lower convex hull there), and that chord's Gibbs energy there:
// false where no two points bracket it.
bool hull_pair(const std::vector<Phase>& pts, double za, Phase& lo, Phase& hi,
               double* chord = nullptr) {
    double best = kInfinite;
    for (const Phase& u : pts) {
        if (!(u.wa < za)) continue;
        for (const Phase& v : pts) {
            if (!(v.wa > za)) continue;
            const double g = u.g + (v.g - u.g) * (za - u.wa) / (v.wa - u.wa);
            if (g < best) {
                best = g;
                lo = u;
                hi = v;
            }
        }
    }
    if (chord != nullptr) *chord = best;
    return best < kInfinite;
}

// The roots of both kinds on a grid kFiner times finer within one step of
// logit s, added to pts.  Two liquids close to their critical solution
// point lie within one step of each other (propane + R32 at 246.4 K,
// 880 kPa: 41.0 % and 52.6 % propane, a logit span of 0.47), where the
// coarse grid's hull names the feed and a point beyond a phase.
void finer_about(double T, double P, const Binary& p, double s, std::vector<Phase>& pts) {
    if (!std::isfinite(s)) return;
    flash::QuietMessages quiet;
    for (int k = -kFiner; k <= kFiner; ++k) {
        for (int kind : {-kLiquid, -kVapour}) {
            Phase ph;
            if (k != 0 && root_at(T, P, p, s + k * kStep / kFiner, kind, ph) && ph.D > 0.0)
                pts.push_back(ph);
        }
    }
}

// The split of z into phases u and v (the denser its liquid).
bool pair_of(const double z[20], const Binary& p, const Phase& u, const Phase& v, TpResult& n) {
    const Phase& l = u.D >= v.D ? u : v;
    const Phase& g = u.D >= v.D ? v : u;
    n = TpResult{};
    n.x[p.a] = l.wa;
    n.x[p.b] = l.wb;
    n.y[p.a] = g.wa;
    n.y[p.b] = g.wb;
    n.Dl = l.D;
    n.Dv = g.D;
    n.two_liquids = g.D > kLiquidShare * l.D;
    n.q = (z[p.a] - l.wa) / (g.wa - l.wa);
    return std::isfinite(n.q);
}

// The root of logit s at (T, P) next to density D0: Newton's steps from
// it, else that of the two iterations of the density solver nearer to D0.
bool root_near(double T, double P, const Binary& p, double s, double D0, Phase& ph) {
    double w[20], D = 0.0;
    composition(p, s, w);
    if (!mix::near_root(T, P, w, D0, D)) {
        D = 0.0;
        for (int kind : {-kLiquid, -kVapour}) {
            Phase side;
            if (root_at(T, P, p, s, kind, side) &&
                (!(D > 0.0) || std::fabs(std::log(side.D / D0)) < std::fabs(std::log(D / D0))))
                D = side.D;
        }
        if (!(D > 0.0)) return false;
    }
    return phase_at(T, p, s, w, D, ph) && ph.has[0] && ph.has[1];
}

// The differences of the fugacities' logarithms of phases u and v.
void mismatch(const Phase& u, const Phase& v, double F[2]) {
    for (int c = 0; c < 2; ++c) F[c] = u.lnf[c] - v.lnf[c];
}

// A phase held at the end of the logit range (pinned): its trace
// component's fraction lies below what its fugacities are formed of as a
// mixture (1e-12: the phase is taken as pure).  Only its main component's
// fugacity is matched; the trace follows from the other phase's fugacity
// by Henry's law from the end of the range.
struct Pinned {
    bool on = false;
    int main = 0, trace = 1;  // 0 for a, 1 for b
};

Pinned pinned_at(double s) {
    Pinned pin;
    pin.on = true;
    pin.main = s > 0.0 ? 0 : 1;
    pin.trace = 1 - pin.main;
    return pin;
}

// The trace of pinned phase v in equilibrium with u.
void place_trace(const Pinned& pin, const Phase& u, Phase& v) {
    double w[2] = {v.wa, v.wb};
    w[pin.trace] *= std::exp(u.lnf[pin.trace] - v.lnf[pin.trace]);
    w[pin.main] = 1.0 - w[pin.trace];
    v.wa = w[0];
    v.wb = w[1];
    v.s = std::log(v.wa / v.wb);
    v.lnf[pin.trace] = u.lnf[pin.trace];
    v.g = v.wa * v.lnf[0] + v.wb * v.lnf[1];
}

// Newton's method on the logits of the two phases from u and v, each
// phase's root followed from its last: the equilibrium of the pair next to
// them (false where it does not converge).  A phase whose logit leaves the
// range is pinned at its end (see Pinned).
bool newton_pair(double T, double P, const Binary& p, Phase& u, Phase& v) {
    flash::QuietMessages quiet;
    Pinned pin[2];
    for (Phase* ph : {&u, &v}) {
        const int k = ph == &u ? 0 : 1;
        if (std::fabs(ph->s) >= kNewtonSpan) pin[k] = pinned_at(ph->s);
        if (!root_near(T, P, p, std::clamp(ph->s, -kNewtonSpan, kNewtonSpan), ph->D, *ph))
            return false;
    }
    if (pin[0].on && pin[1].on) return false;
    for (int it = 0; it < kNewtonSteps; ++it) {
        double F[2];
        mismatch(u, v, F);
        const Pinned& held = pin[0].on ? pin[0] : pin[1];
        const double left =
            held.on ? std::fabs(F[held.main]) : std::max(std::fabs(F[0]), std::fabs(F[1]));
        if (left < kNewtonAgreed) {
            if (pin[0].on) place_trace(pin[0], v, u);
            if (pin[1].on) place_trace(pin[1], u, v);
            return true;
        }
        Phase du, dv;
        if (!root_near(T, P, p, u.s + kLogitStep, u.D, du) ||
            !root_near(T, P, p, v.s + kLogitStep, v.D, dv))
            return false;
        // dF/ds_u = d lnf(u)/ds, dF/ds_v = -d lnf(v)/ds.
        double J[2][2];
        for (int c = 0; c < 2; ++c) {
            J[c][0] = (du.lnf[c] - u.lnf[c]) / kLogitStep;
            J[c][1] = -(dv.lnf[c] - v.lnf[c]) / kLogitStep;
        }
        double step_u = 0.0, step_v = 0.0;
        if (held.on) {
            // The free phase's logit alone, on the main component's equation.
            const int free = pin[0].on ? 1 : 0;
            const double slope = J[held.main][free];
            if (!(std::fabs(slope) > 0.0) || !std::isfinite(slope)) return false;
            (free == 0 ? step_u : step_v) = -F[held.main] / slope;
        } else {
            const double det = J[0][0] * J[1][1] - J[0][1] * J[1][0];
            if (!(std::fabs(det) > 0.0) || !std::isfinite(det)) return false;
            step_u = -(F[0] * J[1][1] - F[1] * J[0][1]) / det;
            step_v = -(J[0][0] * F[1] - J[1][0] * F[0]) / det;
        }
        const double longest = std::max(std::fabs(step_u), std::fabs(step_v));
        if (longest > kLongestLogitStep) {
            step_u *= kLongestLogitStep / longest;
            step_v *= kLongestLogitStep / longest;
        }
        double su = u.s + step_u, sv = v.s + step_v;
        if (std::fabs(su) > kNewtonSpan && !pin[0].on) pin[0] = pinned_at(su);
        if (std::fabs(sv) > kNewtonSpan && !pin[1].on) pin[1] = pinned_at(sv);
        if (pin[0].on && pin[1].on) return false;
        su = std::clamp(su, -kNewtonSpan, kNewtonSpan);
        sv = std::clamp(sv, -kNewtonSpan, kNewtonSpan);
        if (!root_near(T, P, p, su, u.D, u) || !root_near(T, P, p, sv, v.D, v)) return false;
    }
    return false;
}

// The split of z into two phases started from u and v (each with its
// density): Newton's method on their logits, else substitution, else
// Newton's method of the split from them, else the flash's own roads with
// v as the trial phase of u.
bool split_pair(double T, double P, const double z[20], const Binary& p, const Phase& u,
                const Phase& v, const SplitFrom& split_from, TpResult& n) {
    Phase nu = u, nv = v;
    if (newton_pair(T, P, p, nu, nv) && pair_of(z, p, nu, nv, n) && n.q > 0.0 && n.q < 1.0) {
        flash::QuietMessages quiet;
        n.exact = mix::refine_split(T, P, z, n) <= mix::kSplitAgreed;
        return true;
    }
    TpResult start;
    pair_of(z, p, u, v, start);
    double K[20] = {};
    // (Held within 1e-20..1e20 as the trial's: a fraction may be 0.)
    for (int i : {p.a, p.b})
        K[i] = start.x[i] > 0.0 ? std::clamp(start.y[i] / start.x[i], kSmallestK, 1.0 / kSmallestK)
                                : 1.0 / kSmallestK;
    n = start;
    {
        flash::QuietMessages quiet;
        if (split_by_substitution(T, P, z, K, n)) return true;
        n = start;
        if (mix::refine_split(T, P, z, n, 0.0) <= mix::kSplitAgreed &&
            split_is_equilibrium(T, z, n.q, n.Dl, n.Dv, n.x, n.y)) {
            n.exact = true;
            return true;
        }
    }
    mix::Stability st;
    st.found = true;
    st.stable = false;
    st.D = start.Dl;
    st.liquid_like = true;
    st.two_liquids = start.two_liquids;
    st.vapour_trial = !start.two_liquids;
    flash::copy20(start.y, st.w);
    flash::copy20(K, st.K);
    return split_from(st, n);
}

// The lowest point of the phases asked for as `kind` about logit s (within
// one step of the grid), by golden sections.
Phase lowest_near(double T, double P, const Binary& p, int kind, double s, const double lnf[2],
                  const Phase& at) {
    const double ratio = 0.5 * (std::sqrt(5.0) - 1.0);
    double lo = s - kStep, hi = s + kStep;
    Phase best = at;
    double best_tm = distance(at, lnf);
    const auto tm_at = [&](double t) {
        Phase ph;
        if (!root_at(T, P, p, t, kind, ph)) return kInfinite;
        const double d = distance(ph, lnf);
        if (d < best_tm) {
            best_tm = d;
            best = ph;
        }
        return d;
    };
    double c = hi - ratio * (hi - lo), d = lo + ratio * (hi - lo);
    double fc = tm_at(c), fd = tm_at(d);
    for (int step = 0; step < kGoldenSteps; ++step) {
        if (fc < fd) {
            hi = d;
            d = c;
            fd = fc;
            c = hi - ratio * (hi - lo);
            fc = tm_at(c);
        } else {
            lo = c;
            c = d;
            fc = fd;
            d = lo + ratio * (hi - lo);
            fd = tm_at(d);
        }
    }
    return best;
}

// The phase lowest below the tangent plane (fugacities lnf) of the pair
// x, y, other than those two: the local minima of the grid refined.
Phase third_phase(double T, double P, const Binary& p, const Grid& grid, const double lnf[2],
                  const Phase& x, const Phase& y, double& tm) {
    tm = kInfinite;
    Phase third;
    flash::QuietMessages quiet;
    for (int side = 0; side < 2; ++side) {
        const std::vector<Phase>& r = grid.roots[side];
        const int n = static_cast<int>(r.size());
        const auto at = [&](int k) {
            return k < 0 || k >= n || !(r[k].D > 0.0) ? kInfinite : distance(r[k], lnf);
        };
        for (int k = 0; k < n; ++k) {
            const double d = at(k);
            if (!(d < kInfinite) || d > at(k - 1) || d > at(k + 1)) continue;
            const Phase low =
                lowest_near(T, P, p, side == 0 ? -kLiquid : -kVapour, r[k].s, lnf, r[k]);
            const double dl = distance(low, lnf);
            if (same_phase(low, x) || same_phase(low, y) || !(dl < tm)) continue;
            tm = dl;
            third = low;
        }
    }
    return third;
}

// The two phases of split n as phases x, y: false where they are one, a
// root is no phase, or the vapour fraction lies outside 0..1.
bool two_phases(double T, double P, const Binary& p, const TpResult& n, Phase& x, Phase& y) {
    return n.q > 0.0 && n.q < 1.0 && phase_root(T, P, n.x, n.Dl) && phase_root(T, P, n.y, n.Dv) &&
           split_phase(T, p, n.x, n.Dl, x) && split_phase(T, p, n.y, n.Dv, y) && !same_phase(x, y);
}

// The tangent plane of the pair x, y (ln f of each component, from the
// phases that have it).
void tangent_plane(const Phase& x, const Phase& y, double lnf[2]) {
    for (int c = 0; c < 2; ++c)
        lnf[c] = x.has[c] && y.has[c] ? 0.5 * (x.lnf[c] + y.lnf[c])
                 : x.has[c]           ? x.lnf[c]
                                      : y.lnf[c];
}

// The feed's own phase: the lower in Gibbs energy of its two roots that
// are phases, and whether it is liquid-like (as the tangent-plane test
// takes its root: the denser of two, or the only one above the critical
// density).
bool feed_phase(double T, double P, const double z[20], const Binary& p, Phase& ph,
                bool& liquid_like) {
    const double s = std::log(z[p.a] / z[p.b]);
    Phase roots[2];
    bool has[2] = {};
    {
        flash::QuietMessages quiet;
        for (int side = 0; side < 2; ++side)
            has[side] = root_of(T, P, p, s, z, side == 0 ? -kLiquid : -kVapour, roots[side]);
    }
    if (has[0] && has[1] && std::fabs(roots[0].D / roots[1].D - 1.0) > kSameRoot) {
        const int lower = roots[0].g <= roots[1].g ? 0 : 1;
        ph = roots[lower];
        liquid_like = ph.D > roots[1 - lower].D;
        return true;
    }
    if (!has[0] && !has[1]) return false;
    ph = has[0] ? roots[0] : roots[1];
    double Tc = 0.0, Pc = 0.0, Dc = 0.0;
    int jerr = 0;
    std::string jmsg;
    CRITP(z, Tc, Pc, Dc, jerr, jmsg);
    liquid_like = ph.D > Dc;
    return true;
}

// Whether the feed's own phase ph (both fugacities formed) is stable: no
// chord of the grid's phases lies below it at its composition za, and no
// phase (the grid's lowest points refined) lies below its tangent plane.
// Where one does, `below` is the lowest such phase (tm its distance;
// infinite where a chord decided).
bool feed_stable(double T, double P, const Binary& p, const Grid& grid,
                 const std::vector<Phase>& pts, double za, const Phase& ph, Phase& below,
                 double& tm) {
    tm = kInfinite;
    if (!ph.has[0] || !ph.has[1]) return false;
    Phase u, v;
    double chord = kInfinite;
    if (hull_pair(pts, za, u, v, &chord) && chord < ph.g - kGibbsRounding) return false;
    below = third_phase(T, P, p, grid, ph.lnf, ph, ph, tm);
    return !(tm < kBelowPlane);
}

// Rounds of hull, split and check (the first split from `start` where
// given): the stable pair in r, or on the three-phase line.  A phase found
// below a split's tangent plane joins the hull points pts (with the pair's).
BinaryPair split_rounds(double T, double P, const double z[20], const Binary& p, const Grid& grid,
                        std::vector<Phase> pts, double g_old, const SplitFrom& split_from,
                        TpResult& r, const Phase* start = nullptr) {
    for (int round = 0; round < kRounds; ++round) {
        Phase u, v, x, y;
        TpResult n;
        if (round == 0 && start != nullptr) {
            u = start[0];
            v = start[1];
        } else if (!hull_pair(pts, z[p.a], u, v)) {
            return BinaryPair::kNotFound;
        }
        if (!split_pair(T, P, z, p, u, v, split_from, n) || !two_phases(T, P, p, n, x, y))
            return BinaryPair::kNotFound;
        double lnf[2] = {}, tm = 0.0;
        tangent_plane(x, y, lnf);
        const Phase third = third_phase(T, P, p, grid, lnf, x, y, tm);
        if (tm < kBelowPlane) {
            pts.insert(pts.end(), {third, x, y});
            continue;
        }
        if (tm <= kOnThreePhaseLine) return BinaryPair::kThreePhase;
        if (!((1.0 - n.q) * x.g + n.q * y.g <= g_old + kGibbsRounding))
            return BinaryPair::kNotFound;
        n.two_liquids = std::min(n.Dl, n.Dv) > kLiquidShare * std::max(n.Dl, n.Dv);
        if (n.Dl < n.Dv) flash::swap_phases(n);
        r = n;
        return BinaryPair::kFound;
    }
    return BinaryPair::kNotFound;
}

}  // namespace

bool binary_grid_applies(double T, const double z[20]) {
    return binary_of(z).a >= 0 && mix::liquids_modelled() && !mix::any_frozen(T, z);
}

bool root_behind_loop(double T, double P, const double z[20], double D) {
    if (!binary_grid_applies(T, z)) return false;
    flash::QuietMessages quiet;
    return !phase_root(T, P, z, D);
}

BinaryPair stable_binary_pair(double T, double P, const double z[20], TpResult& r,
                              const SplitFrom& split_from, FeedPhase* feed) {
    if (!binary_grid_applies(T, z)) return BinaryPair::kNotFound;
    const Binary p = binary_of(z);
    const Grid grid = scan(T, P, p);
    std::vector<Phase> pts;
    for (const std::vector<Phase>& side : grid.roots)
        for (const Phase& ph : side)
            if (ph.D > 0.0) pts.push_back(ph);
    // The phases of r, and their Gibbs energy (infinite where one fails or
    // is no phase).
    Phase rx, ry;
    const bool old_x =
        r.Dl > 0.0 && phase_root(T, P, r.x, r.Dl) && split_phase(T, p, r.x, r.Dl, rx);
    const bool old_y =
        r.Dv > 0.0 && phase_root(T, P, r.y, r.Dv) && split_phase(T, p, r.y, r.Dv, ry);
    if (old_x) pts.push_back(rx);
    if (old_y) pts.push_back(ry);
    // The feed's own phase, stable or (where the hull's pairs give no split:
    // the grid is too coarse about a feed just inside a two-liquid region,
    // ethanol + o-xylene at 273.4 K, 6.75 MPa) the start of the split with
    // the phase found below its tangent plane.
    Phase own, below;
    bool liquid_like = false, from_feed = false;
    if (feed != nullptr && feed_phase(T, P, z, p, own, liquid_like)) {
        double tm = kInfinite;
        if (feed_stable(T, P, p, grid, pts, z[p.a], own, below, tm)) {
            feed->D = own.D;
            feed->liquid_like = liquid_like;
            return BinaryPair::kSinglePhase;
        }
        from_feed = tm < kBelowPlane;
    }
    const double g_old = old_x && old_y ? (1.0 - r.q) * rx.g + r.q * ry.g : kInfinite;
    Phase u, v;
    if (hull_pair(pts, z[p.a], u, v)) {
        finer_about(T, P, p, u.s, pts);
        finer_about(T, P, p, v.s, pts);
    }
    const BinaryPair found = split_rounds(T, P, z, p, grid, pts, g_old, split_from, r);
    if (found != BinaryPair::kNotFound || !from_feed) return found;
    const Phase start[2] = {own, below};
    return split_rounds(T, P, z, p, grid, pts, g_old, split_from, r, start);
}

}  // namespace lib
