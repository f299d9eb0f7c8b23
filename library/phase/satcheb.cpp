// Piecewise Chebyshev expansions of the saturation line of a pure fluid: how
// they are built from the equation of state (Newton's method on both
// densities at Chebyshev points, pieces halved until the last coefficients
// vanish to rounding), kept under a fingerprint of the equation, and
// evaluated at given temperature or pressure.
#include "library/phase/satcheb.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/idealgas.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/models/therm.h"
#include "library/phase/dens.h"
#include "library/phase/flashutil.h"
#include "library/setup/modelgen.h"
#include "library/setup/records.h"

namespace lib::satcheb {
namespace {

constexpr int kDegree = 16;               // degree of each expansion
constexpr int kNodes = kDegree + 1;       // Chebyshev-Lobatto points per piece
constexpr double kCriticalGap = 1e-4;     // the last part of Tc left to the iteration
constexpr double kTailTolerance = 1e-13;  // of the last coefficients, relative to scale
constexpr double kStepTolerance = 1e-8;   // a step of the equation, not a failed fit
constexpr double kMinWidth = 1e-7;        // narrowest piece, relative to Tc
constexpr int kMaxPieces = 400;           // pieces of one line at most
constexpr std::size_t kMaxCurves = 512;   // equations kept at most
// Questions for the saturation states of a mixture's component (some two to
// four a state) before its expansions are built: a build costs as much as
// some three hundred states found by iteration (water: 19 million
// instructions, some 60,000 a state), which the few dozen checks of a humid
// gas's water never repay.  A pure fluid's are built at its first.
constexpr int kComponentAsks = 256;
constexpr int kFunctions = 3;  // ln P, Dl, ln Dv
// e, h and s of the saturated liquid, then of the vapour, without the
// reference-state offsets.
constexpr int kPhaseFunctions = 6;
// A Newton step of SATP in x below this moves the densities along their
// slopes: the neglected square is below 1e-16.
constexpr double kTaylorStep = 1e-8;
// The inverse series of SATP's start is cut where the terms left out add up
// to less than this (in x, which spans 2 over a piece): the start's error,
// squared by the Newton step, stays far below the rounding.
constexpr double kInverseTail = 1e-10;
// The equation's own critical temperature takes the stated one's place in
// the variable sqrt(Tc - T) when it lies lower by more than this share of
// Tc (the expansions would otherwise end at the first piece that holds it).
constexpr double kOwnBelow = 1e-5;
// The states above the expansions, towards the critical point, are solved
// at distances from it that shrink by 4 each (the last 1e-9 of Tc is left:
// there the equation determines the densities to some 1e-4 only).
constexpr double kTailEnd = 1e-9;
constexpr double kTailNoise = 1e-3;

// One piece: the coefficients of the three functions in x = (2T - lo - hi)
// / (hi - lo), interleaved by order.
struct Piece {
    double tlo = 0, thi = 0;
    double lnp_lo = 0, lnp_hi = 0;
    double ua = 0, ub = 0;  // sqrt(Tc - T) at thi and tlo
    bool iterate = false;   // no expansion: the iteration answers here
    // x as a series in y = (2 ln P - lnp_lo - lnp_hi) / (lnp_hi - lnp_lo):
    // the start of SATP's one Newton step on the ln P series.
    std::array<double, kNodes> inv{};
    int inv_degree = kDegree;  // the terms of inv above it are below kInverseTail
    std::array<std::array<double, kFunctions>, kNodes> c{};
    // The saturated phases' properties in x, where their series end within
    // the tolerance (else the flashes evaluate the equation).
    bool has_phases = false;
    std::array<std::array<double, kPhaseFunctions>, kNodes> ph{};
};

using Fingerprint = std::array<double, 16>;

struct Curve {
    Fingerprint key{};
    double tc = 0, tlow = 0, thigh = 0;
    double lnp_low = 0, lnp_high = 0;
    std::vector<Piece> pieces;
    // The upper ends of the pieces in T and ln P, side by side for the
    // search (a piece is some 1.5 kB).
    std::vector<double> thi, lnp_hi;
    int solves = 0;
    // The equation's own critical point, found before the build (pressure
    // 0: not found, or not close to the stated one).
    double tc_own = 0, pc_own = 0, dc_own = 0;
    Tail tail;
    // The reference temperature and density of the ideal-gas part when the
    // phases' series were fitted: under another the equation evaluates.
    double tref = 0, dref = 0;
};

std::vector<std::unique_ptr<Curve>> store;
std::array<const Curve*, kMaxComp + 1> slot_curve{};
std::array<bool, kMaxComp + 1> slot_known{};
// The fingerprints of the slots looked up (slot_keyed), and how often the
// equation of each mixture component without expansions was asked for (kept
// across set-ups).
std::array<bool, kMaxComp + 1> slot_keyed{};
std::array<Fingerprint, kMaxComp + 1> slot_key{};
std::vector<std::pair<Fingerprint, int>> component_asks;
int no_build_depth = 0;
unsigned long long slots_generation = 1;
bool building = false;
bool use_expansions = true;

// The three functions at the Chebyshev points x_j = cos(pi j / N).
struct ChebTable {
    std::array<std::array<double, kNodes>, kNodes> cosines{};
    ChebTable() {
        for (int j = 0; j < kNodes; ++j)
            for (int k = 0; k < kNodes; ++k) cosines[j][k] = std::cos(M_PI * j * k / kDegree);
    }
};
const ChebTable& table() {
    static const ChebTable t;
    return t;
}

// Value of the three series at x (Clenshaw), three chains side by side in
// registers; each step adds x2 b1 to c_k - b2, which is ready a step
// earlier, so that a step waits for one product and one sum only.
inline void evaluate(const Piece& p, double x, double out[kFunctions]) {
    double a1 = 0, a2 = 0, b1 = 0, b2 = 0, c1 = 0, c2 = 0;
    const double x2 = 2.0 * x;
    for (int k = kDegree; k >= 1; --k) {
        const std::array<double, kFunctions>& ck = p.c[k];
        const double a0 = (ck[0] - a2) + x2 * a1;
        const double b0 = (ck[1] - b2) + x2 * b1;
        const double c0 = (ck[2] - c2) + x2 * c1;
        a2 = a1;
        a1 = a0;
        b2 = b1;
        b1 = b0;
        c2 = c1;
        c1 = c0;
    }
    out[0] = (p.c[0][0] - a2) + x * a1;
    out[1] = (p.c[0][1] - b2) + x * b1;
    out[2] = (p.c[0][2] - c2) + x * c1;
}

// One chain of Clenshaw's recurrence with its derivative (d_k = 2 b_k+1 +
// 2x d_k+1 - d_k+2), kept in registers.
struct ClenshawSlope {
    double b1 = 0, b2 = 0, d1 = 0, d2 = 0;
    void step(double ck, double x2) {
        const double d0 = (2.0 * b1 - d2) + x2 * d1;
        const double b0 = (ck - b2) + x2 * b1;
        d2 = d1;
        d1 = d0;
        b2 = b1;
        b1 = b0;
    }
    void end(double c0, double x, double& value, double& slope) const {
        value = (c0 - b2) + x * b1;
        slope = (b1 - d2) + x * d1;
    }
};

// The three series at x with their slopes in x.
inline void evaluate_with_slopes(const Piece& p, double x, double out[kFunctions],
                                 double slope[kFunctions]) {
    ClenshawSlope a, b, c;
    const double x2 = 2.0 * x;
    for (int k = kDegree; k >= 1; --k) {
        a.step(p.c[k][0], x2);
        b.step(p.c[k][1], x2);
        c.step(p.c[k][2], x2);
    }
    a.end(p.c[0][0], x, out[0], slope[0]);
    b.end(p.c[0][1], x, out[1], slope[1]);
    c.end(p.c[0][2], x, out[2], slope[2]);
}

// Value and slope in x of the ln P series.
inline void lnp_and_slope(const Piece& p, double x, double& v, double& dv) {
    double t0 = 1.0, t1 = x, d0 = 0.0, d1 = 1.0;
    v = p.c[0][0] + p.c[1][0] * x;
    dv = p.c[1][0];
    for (int k = 2; k <= kDegree; ++k) {
        const double t2 = 2.0 * x * t1 - t0;
        const double d2 = 2.0 * t1 + 2.0 * x * d1 - d0;
        v += p.c[k][0] * t2;
        dv += p.c[k][0] * d2;
        t0 = t1;
        t1 = t2;
        d0 = d1;
        d1 = d2;
    }
}

// What the build of one component needs.
struct Build {
    int icomp = 0;
    double z[20] = {};
    double tc = 0, dc = 0;  // the end of the line and the density that divides the phases
    Curve* curve = nullptr;
    bool have_last = false, have_prev = false;
    double last[3] = {}, prev[3] = {};                  // T, Dl, Dv of the last two states solved
    std::array<std::array<double, 3>, kNodes> nodes{};  // T, Dl, Dv of the last piece fitted
};

// Newton's method on both densities from (Dl, Dv), then once more from its
// result: it stops on a step below 1e-10, and the second pass takes the
// state to the rounding level of the equation.
bool newton_to_rounding(double T, const Build& b, double& P, double& Dl, double& Dv) {
    if (!saturation_at_t(T, b.z, b.dc, P, Dl, Dv)) return false;
    return saturation_at_t(T, b.z, b.dc, P, Dl, Dv);
}

// The saturation state at T: Newton's method from the last states solved
// (extrapolated in the square root of Tc - T, which the densities follow
// near the critical point), else from the iteration of SATT; the pressure is
// the vapour's, well conditioned at every temperature.
bool solve(Build& b, double T, double& P, double& Dl, double& Dv) {
    ++b.curve->solves;
    bool ok = false;
    if (b.have_last) {
        Dl = b.last[1];
        Dv = b.last[2];
        if (b.have_prev && b.prev[0] != b.last[0]) {
            const double s = std::sqrt(std::max(b.tc - T, 0.0));
            const double s1 = std::sqrt(std::max(b.tc - b.last[0], 0.0));
            const double s0 = std::sqrt(std::max(b.tc - b.prev[0], 0.0));
            if (s1 != s0) {
                const double w = (s - s1) / (s1 - s0);
                Dl = b.last[1] + w * (b.last[1] - b.prev[1]);
                Dv = b.last[2] + w * (b.last[2] - b.prev[2]);
            }
        }
        ok = Dl > b.dc && Dv > 0.0 && Dv < b.dc && newton_to_rounding(T, b, P, Dl, Dv);
    }
    if (!ok) {
        double xl[20], xv[20];
        int ierr = 0;
        std::string herr;
        SATT(T, b.z, kBubblePoint, P, Dl, Dv, xl, xv, ierr, herr);
        ok = ierr == 0 && newton_to_rounding(T, b, P, Dl, Dv);
    }
    if (!ok || !(P > 0.0) || !(Dl > Dv) || !std::isfinite(P)) return false;
    if (b.have_last) {
        std::copy(b.last, b.last + 3, b.prev);
        b.have_prev = true;
    }
    b.last[0] = T;
    b.last[1] = Dl;
    b.last[2] = Dv;
    b.have_last = true;
    return true;
}

// How far the functions at T (values f) move when the state is solved again
// from starts on either side: close to the critical point the equation
// determines the saturated densities only to some 1e-13 to 1e-11, and no
// expansion can be closer to the iteration than the iteration is to itself.
void rounding_noise(const Build& b, double T, const double f[kFunctions],
                    double noise[kFunctions]) {
    for (int fn = 0; fn < kFunctions; ++fn) noise[fn] = 0.0;
    for (double e : {1e-7, -1e-7}) {
        double P = 0, Dl = f[1] * (1.0 + e);
        double Dv = std::exp(f[2]) * (1.0 - e);
        if (!(Dl > b.dc && Dv < b.dc)) continue;
        if (!newton_to_rounding(T, b, P, Dl, Dv) || !(P > 0.0) || !(Dv > 0.0)) continue;
        noise[0] = std::max(noise[0], 2.0 * std::fabs(std::log(P) - f[0]));
        noise[1] = std::max(noise[1], 2.0 * std::fabs(Dl - f[1]));
        noise[2] = std::max(noise[2], 2.0 * std::fabs(std::log(Dv) - f[2]));
    }
}

// Fits one piece [lo, hi]; false when a state could not be solved.  tail
// receives the largest of the last three coefficients of each function
// relative to its scale.
bool fit(Build& b, double lo, double hi, Piece& p, double& tail) {
    const ChebTable& tb = table();
    double f[kNodes][kFunctions];
    // From the lowest temperature up (x_j = cos(pi j / N) falls with j).
    const double ua = std::sqrt(b.tc - hi), ub = std::sqrt(b.tc - lo);
    for (int j = 0; j <= kDegree; ++j) {
        const double u = 0.5 * (ua + ub) + 0.5 * (ub - ua) * tb.cosines[j][1];
        const double T = j == 0 ? lo : j == kDegree ? hi : b.tc - u * u;
        double P = 0, Dl = 0, Dv = 0;
        if (!solve(b, T, P, Dl, Dv)) return false;
        b.nodes[j] = {T, Dl, Dv};
        f[j][0] = std::log(P);
        f[j][1] = Dl;
        f[j][2] = std::log(Dv);
    }
    double noise[kFunctions];
    rounding_noise(b, hi, f[kDegree], noise);
    for (int k = 0; k < kNodes; ++k) {
        for (int fn = 0; fn < kFunctions; ++fn) {
            double sum = 0.0;
            for (int j = 0; j < kNodes; ++j) {
                const double w = (j == 0 || j == kDegree) ? 0.5 : 1.0;
                sum += w * f[j][fn] * tb.cosines[j][k];
            }
            const double wk = (k == 0 || k == kDegree) ? 0.5 : 1.0;
            p.c[k][fn] = 2.0 / kDegree * wk * sum;
        }
    }
    tail = 0.0;
    for (int fn = 0; fn < kFunctions; ++fn) {
        double scale = 1.0;
        if (fn == 1)
            for (int j = 0; j < kNodes; ++j) scale = std::max(scale, std::fabs(f[j][1]));
        // Coefficients below the rounding noise of the values are noise.
        const double floor = noise[fn] / scale;
        for (int k = kDegree - 2; k <= kDegree; ++k)
            tail = std::max(tail, std::max(0.0, std::fabs(p.c[k][fn]) / scale - floor));
    }
    p.tlo = lo;
    p.thi = hi;
    p.ua = ua;
    p.ub = ub;
    p.lnp_lo = f[0][0];
    p.lnp_hi = f[kDegree][0];
    return true;
}

// x at which the ln P series of p takes lnp (Newton's method from the
// chord), and the temperature there.
double x_at(const Piece& p, double lnp, double x) {
    for (int it = 0; it < 30; ++it) {
        double v = 0, dv = 0;
        lnp_and_slope(p, x, v, dv);
        if (!(dv < 0.0)) break;
        const double dx = (lnp - v) / dv;
        x = std::clamp(x + dx, -1.0, 1.0);
        if (std::fabs(dx) < 1e-15) break;
    }
    return x;
}

double t_of_x(const Piece& p, double tc, double x) {
    const double u = 0.5 * (p.ua + p.ub) + 0.5 * (p.ub - p.ua) * x;
    return tc - u * u;
}

// Fits the inverse series of a piece (x in ln P) from its ln P series.
void invert(Piece& p) {
    const ChebTable& tb = table();
    double t[kNodes];
    double x = 1.0;
    for (int j = 0; j <= kDegree; ++j) {
        const double y = tb.cosines[j][1];
        const double lnp = 0.5 * (p.lnp_lo + p.lnp_hi) + 0.5 * (p.lnp_hi - p.lnp_lo) * y;
        x = x_at(p, lnp, j == 0 ? -1.0 : x);
        t[j] = x;
    }
    for (int k = 0; k < kNodes; ++k) {
        double sum = 0.0;
        for (int j = 0; j < kNodes; ++j)
            sum += ((j == 0 || j == kDegree) ? 0.5 : 1.0) * t[j] * tb.cosines[j][k];
        p.inv[k] = 2.0 / kDegree * ((k == 0 || k == kDegree) ? 0.5 : 1.0) * sum;
    }
    // The start needs no more digits than the Newton step squares away.
    p.inv_degree = kDegree;
    double dropped = 0.0;
    while (p.inv_degree > 1 && dropped + std::fabs(p.inv[p.inv_degree]) < kInverseTail)
        dropped += std::fabs(p.inv[p.inv_degree--]);
}

// The series of the saturated phases' e, h and s over the piece last
// fitted, from its states; kept where their last coefficients vanish to
// kTailTolerance of the values' scale (RTc or R at least).
void fit_phases(const Build& b, Piece& p) {
    const ChebTable& tb = table();
    const double h0 = CREF.h0[b.icomp], s0 = CREF.s0[b.icomp];
    const double R = CCON.rgas[b.icomp] > 0.0 ? CCON.rgas[b.icomp] : 8.314462618;
    double f[kNodes][kPhaseFunctions];
    for (int j = 0; j < kNodes; ++j) {
        for (int phase = 0; phase < 2; ++phase) {
            double e = 0, h = 0, s = 0;
            energy_enthalpy_entropy(b.nodes[j][0], b.nodes[j][1 + phase], b.z, e, h, s);
            if (!std::isfinite(e) || !std::isfinite(h) || !std::isfinite(s)) return;
            f[j][3 * phase] = e + h0;
            f[j][3 * phase + 1] = h + h0;
            f[j][3 * phase + 2] = s + s0;
        }
    }
    double tail = 0.0;
    for (int fn = 0; fn < kPhaseFunctions; ++fn) {
        double scale = fn % 3 == 2 ? R : R * b.tc;
        for (int j = 0; j < kNodes; ++j) scale = std::max(scale, std::fabs(f[j][fn]));
        for (int k = 0; k < kNodes; ++k) {
            double sum = 0.0;
            for (int j = 0; j < kNodes; ++j)
                sum += ((j == 0 || j == kDegree) ? 0.5 : 1.0) * f[j][fn] * tb.cosines[j][k];
            p.ph[k][fn] = 2.0 / kDegree * ((k == 0 || k == kDegree) ? 0.5 : 1.0) * sum;
        }
        for (int k = kDegree - 2; k <= kDegree; ++k)
            tail = std::max(tail, std::fabs(p.ph[k][fn]) / scale);
    }
    p.has_phases = tail <= kTailTolerance;
}

// Pieces from tlow up (each in the variable sqrt(Tc - T), in which the
// saturated densities of an equation of state are smooth up to Tc) to 1e-4 Tc below Tc: halving the
// distance to Tc, then each piece halved until its last coefficients vanish.  The line ends at the
// first piece that cannot be fitted.
void build_pieces(Build& b, double tlow) {
    Curve& c = *b.curve;
    const double thigh = b.tc * (1.0 - kCriticalGap);
    std::vector<std::pair<double, double>> todo;  // a stack, lowest piece last
    {
        std::vector<double> bounds{tlow};
        double gap = b.tc - tlow;
        while (b.tc - gap / 2.0 < thigh) {
            gap /= 2.0;
            bounds.push_back(b.tc - gap);
        }
        bounds.push_back(thigh);
        for (std::size_t i = bounds.size() - 1; i >= 1; --i)
            todo.emplace_back(bounds[i - 1], bounds[i]);
    }
    while (!todo.empty() && static_cast<int>(c.pieces.size()) < kMaxPieces) {
        const auto [lo, hi] = todo.back();
        todo.pop_back();
        Piece p;
        double tail = 0;
        if (!fit(b, lo, hi, p, tail)) break;
        if (tail > kTailTolerance) {
            if (hi - lo < kMinWidth * b.tc) {
                // A step of the equation itself (the residual part vanishes
                // below a reduced density of 1e-10): the iteration answers
                // within this narrow piece.
                if (tail > kStepTolerance) break;
                p.iterate = true;
                c.pieces.push_back(p);
                continue;
            }
            const double mid = 0.5 * (lo + hi);
            // The states at lo are solved again first: restart from there.
            b.have_prev = false;
            todo.emplace_back(mid, hi);
            todo.emplace_back(lo, mid);
            continue;
        }
        invert(p);
        fit_phases(b, p);
        c.pieces.push_back(p);
    }
    if (c.pieces.empty()) return;
    c.tlow = c.pieces.front().tlo;
    c.thigh = c.pieces.back().thi;
    c.lnp_low = c.pieces.front().lnp_lo;
    c.lnp_high = c.pieces.back().lnp_hi;
    for (const Piece& p : c.pieces) {
        c.thi.push_back(p.thi);
        c.lnp_hi.push_back(p.lnp_hi);
    }
}

// The critical point of the equation itself, where FNCRPT finds one close
// to the stated point (a blend's equation, a corresponding-states estimate
// and a few others put theirs up to some 1 % apart).
void find_own_critical_point(Curve& c, const double z[20], int icomp) {
    double d = 0, p = 0, t = 0;
    int ierr = 0;
    std::string herr;
    double zz[20];
    std::copy(z, z + 20, zz);
    FNCRPT(zz, d, p, t, ierr, herr);
    const double tc = CCON.tc[icomp], pc = CCON.pc[icomp], dc = CCON.dc[icomp];
    if (ierr > 0 || !std::isfinite(t) || !std::isfinite(p) || !std::isfinite(d) ||
        !(std::fabs(t / tc - 1.0) < 0.03) || !(std::fabs(p / pc - 1.0) < 0.2) ||
        !(d > 0.5 * dc && d < 2.0 * dc))
        return;
    c.tc_own = t;
    c.pc_own = p;
    c.dc_own = d;
}

// The states above the top of the expansions: where the line ends (the
// equation's own critical point, or the stated one where that is not
// found), and saturated states solved at distances from it that shrink by
// 4 each, every one started from the two before by their power law in
// sqrt(Te - T).
void build_tail(Build& b) {
    Curve& c = *b.curve;
    Tail& tl = c.tail;
    tl = Tail{};
    const bool own = c.pc_own > 0.0;
    tl.te = own ? c.tc_own : CCON.tc[b.icomp];
    tl.pe = own ? c.pc_own : CCON.pc[b.icomp];
    tl.de = own ? c.dc_own : CCON.dc[b.icomp];
    if (!(c.thigh < tl.te)) return;
    double P = 0, Dl = 0, Dv = 0;
    {
        const Piece& top = c.pieces.back();
        double v[kFunctions];
        evaluate(top, -1.0, v);  // (x = -1 at the top)
        P = std::exp(v[0]);
        Dl = v[1];
        Dv = std::exp(v[2]);
    }
    double T = c.thigh;
    for (int k = 0; k < kTailPoints; ++k) {
        if (k > 0) {
            T = tl.te - (tl.te - T) / 4.0;
            if (tl.te - T < kTailEnd * tl.te) break;
            // Power law of the last two (the square root from one).
            double bl = 0.5, bv = 0.5;
            if (k > 1) {
                bl = std::log(tl.dl[k - 2] / tl.dl[k - 1]) / std::log(2.0);
                bv = std::log(tl.dv[k - 2] / tl.dv[k - 1]) / std::log(2.0);
            }
            Dl = tl.de + tl.dl[k - 1] * std::pow(0.5, bl);
            Dv = tl.de - tl.dv[k - 1] * std::pow(0.5, bv);
            // (A state the equation determines to less than 1e-3 of the
            // difference of its densities ends the tail.)
            double noise = 1.0;
            if (!saturation_to_noise(T, b.z, tl.de, P, Dl, Dv, &noise) || noise > kTailNoise) break;
        }
        if (!(Dl > tl.de && Dv < tl.de && P > 0.0 && P < tl.pe)) break;
        tl.t[k] = T;
        tl.p[k] = P;
        tl.u[k] = std::sqrt(tl.te - T);
        tl.dl[k] = Dl - tl.de;
        tl.dv[k] = tl.de - Dv;
        tl.n = k + 1;
    }
}

// The lowest temperature of the line: the triple point, or the lower limit
// of the equation when that is higher.
double lowest_temperature(int icomp, const double z[20]) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    return std::max(tmin, CCON.ttp[icomp]);
}

double code_value(const Code& c) {
    double v = 0.0;
    for (char ch : c.c) v = 256.0 * v + static_cast<unsigned char>(ch);
    return v;
}

// Values that tell one equation from another: its constants and its
// residual Helmholtz energy at a few states.
Fingerprint fingerprint(int icomp, const double z[20]) {
    double tred = 0, dred = 0;
    int ic = 0;
    reducing_point(z, ic, tred, dred);
    return {tred,
            dred,
            CCON.rgas[icomp],
            CCON.tc[icomp],
            CCON.pc[icomp],
            CCON.dc[icomp],
            lowest_temperature(icomp, z),
            PHIK(icomp, 0, 0, 1.3, 0.5),
            PHIK(icomp, 0, 0, 0.8, 2.2),
            PHIK(icomp, 0, 1, 2.1, 2.9),
            PHIK(icomp, 1, 0, 1.05, 1.2),
            PHIK(icomp, 0, 0, 1.0, 1e-3),
            PHIK(icomp, 1, 1, 3.0, 3.1),
            PHI0K(icomp, 0, 0, 0.9 * CCON.tc[icomp], CCON.dc[icomp]),
            PHI0K(icomp, 1, 0, 1.7 * CCON.tc[icomp], 0.1 * CCON.dc[icomp]),
            code_value(EOSMOD.eos[icomp])};
}

bool same(const Fingerprint& a, const Fingerprint& b) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!(a[i] == b[i]) && !(std::isnan(a[i]) && std::isnan(b[i]))) return false;
    return true;
}

// Whether the equation of fingerprint key, a mixture's component, has been
// asked for kComponentAsks times (this ask counted).
bool asked_enough(const Fingerprint& key) {
    for (auto& [k, n] : component_asks)
        if (same(k, key)) return ++n >= kComponentAsks;
    if (component_asks.size() >= kMaxCurves) component_asks.erase(component_asks.begin());
    component_asks.emplace_back(key, 1);
    return false;
}

// The expansions of component icomp: found by fingerprint, else built now,
// a mixture's component at its kComponentAsks-th ask (never during a
// set-up or within a build).
const Curve* curve_of(int icomp) {
    if (icomp < 1 || icomp > kMaxComp) return nullptr;
    if (slot_known[icomp]) return slot_curve[icomp];
    if (building || no_build_depth > 0) return nullptr;
    if (flash::pseudo_pure(icomp) || !residual_model_ready(icomp)) {
        slot_known[icomp] = true;
        slot_curve[icomp] = nullptr;
        return nullptr;
    }
    Build b;
    b.icomp = icomp;
    b.z[icomp - 1] = 1.0;
    if (!slot_keyed[icomp]) {
        RMIX(b.z);
        slot_key[icomp] = fingerprint(icomp, b.z);
        slot_keyed[icomp] = true;
    }
    const Fingerprint& key = slot_key[icomp];
    for (const auto& c : store) {
        if (!same(c->key, key)) continue;
        slot_known[icomp] = true;
        slot_curve[icomp] = c->pieces.empty() ? nullptr : c.get();
        return slot_curve[icomp];
    }
    // (An ask that builds nothing leaves the mixture state as it was.)
    if (NCOMP.nc > 1 && !asked_enough(key)) return nullptr;
    RMIX(b.z);
    auto curve = std::make_unique<Curve>();
    curve->key = key;
    b.curve = curve.get();
    const double tlow = lowest_temperature(icomp, b.z);
    building = true;
    {
        flash::QuietMessages quiet;
        find_own_critical_point(*curve, b.z, icomp);
        const bool lower =
            curve->pc_own > 0.0 && curve->tc_own < CCON.tc[icomp] * (1.0 - kOwnBelow);
        b.tc = lower ? curve->tc_own : CCON.tc[icomp];
        b.dc = lower ? curve->dc_own : CCON.dc[icomp];
        curve->tc = b.tc;
        curve->tref = CREF.tref[icomp];
        curve->dref = CREF.dref[icomp];
        if (tlow > 0.0 && tlow < b.tc * (1.0 - kCriticalGap)) build_pieces(b, tlow);
        if (!curve->pieces.empty()) {
            // (An own point at or below the top of the expansions is not it.)
            if (!(curve->pc_own > std::exp(curve->lnp_high) && curve->tc_own > curve->thigh))
                curve->pc_own = curve->tc_own = curve->dc_own = 0.0;
            build_tail(b);
        }
    }
    building = false;
    if (store.size() >= kMaxCurves) store.erase(store.begin());
    store.push_back(std::move(curve));
    // Slots may point into the store: all are looked up again.
    slot_known.fill(false);
    slot_curve.fill(nullptr);
    const Curve* c = store.back().get();
    slot_known[icomp] = true;
    slot_curve[icomp] = c->pieces.empty() ? nullptr : c;
    return slot_curve[icomp];
}

// The first piece whose upper end is not below v in the list of ends.
const Piece& piece_at(const Curve& c, const std::vector<double>& ends, double v) {
    const auto it = std::lower_bound(ends.begin(), ends.end(), v);
    return it == ends.end() ? c.pieces.back()
                            : c.pieces[static_cast<std::size_t>(it - ends.begin())];
}

const Piece& piece_at_t(const Curve& c, double T) { return piece_at(c, c.thi, T); }

const Piece& piece_at_lnp(const Curve& c, double lnp) { return piece_at(c, c.lnp_hi, lnp); }

}  // namespace

bool at_t(int icomp, double T, double& P, double& Dl, double& Dv) {
    if (!use_expansions) return false;
    const Curve* c = curve_of(icomp);
    if (c == nullptr || !(T >= c->tlow && T <= c->thigh)) return false;
    const Piece& p = piece_at_t(*c, T);
    if (p.iterate) return false;
    const double u = std::sqrt(c->tc - T);
    const double x = std::clamp((2.0 * u - p.ua - p.ub) / (p.ub - p.ua), -1.0, 1.0);
    double v[kFunctions];
    evaluate(p, x, v);
    P = std::exp(v[0]);
    Dl = v[1];
    Dv = std::exp(v[2]);
    return true;
}

bool at_p(int icomp, double P, double& T, double& Dl, double& Dv) {
    if (!use_expansions || !(P > 0.0)) return false;
    const Curve* c = curve_of(icomp);
    if (c == nullptr) return false;
    const double lnp = std::log(P);
    if (!(lnp >= c->lnp_low && lnp <= c->lnp_high)) return false;
    const Piece& p = piece_at_lnp(*c, lnp);
    if (p.iterate) return false;
    // The inverse series gives x to some 1e-12; one Newton step on the ln P
    // series takes it to the last digit, and the densities follow that step
    // along their slopes (its square is far below their rounding).
    const double y = (2.0 * lnp - p.lnp_lo - p.lnp_hi) / (p.lnp_hi - p.lnp_lo);
    double x = 0;
    {
        double b1 = 0, b2 = 0;
        const double y2 = 2.0 * y;
        for (int k = p.inv_degree; k >= 1; --k) {
            const double b0 = (p.inv[k] - b2) + y2 * b1;
            b2 = b1;
            b1 = b0;
        }
        x = std::clamp((p.inv[0] - b2) + y * b1, -1.0, 1.0);
    }
    double v[kFunctions], slope[kFunctions];
    evaluate_with_slopes(p, x, v, slope);
    if (!(slope[0] < 0.0)) return false;
    double dx = (lnp - v[0]) / slope[0];
    if (std::fabs(dx) < kTaylorStep) {
        x = std::clamp(x + dx, -1.0, 1.0);
        Dl = v[1] + slope[1] * dx;
        Dv = std::exp(v[2] + slope[2] * dx);
    } else {
        // (Far from the start: Newton's method to the end, then the values.)
        for (int it = 0; it < 3; ++it) {
            x = std::clamp(x + dx, -1.0, 1.0);
            double lp = 0, dlp = 0;
            lnp_and_slope(p, x, lp, dlp);
            if (!(dlp < 0.0)) return false;
            dx = (lnp - lp) / dlp;
            if (std::fabs(dx) < 1e-9) break;
        }
        x = std::clamp(x + dx, -1.0, 1.0);
        evaluate(p, x, v);
        Dl = v[1];
        Dv = std::exp(v[2]);
    }
    T = t_of_x(p, c->tc, x);
    return true;
}

bool phases_at_t(int icomp, double T, Phases& out) {
    if (!use_expansions) return false;
    const Curve* c = curve_of(icomp);
    if (c == nullptr || !(T >= c->tlow && T <= c->thigh) || CREF.tref[icomp] != c->tref ||
        CREF.dref[icomp] != c->dref)
        return false;
    const Piece& p = piece_at_t(*c, T);
    if (p.iterate || !p.has_phases) return false;
    const double u = std::sqrt(c->tc - T);
    const double x = std::clamp((2.0 * u - p.ua - p.ub) / (p.ub - p.ua), -1.0, 1.0);
    // Six Clenshaw chains side by side.
    std::array<double, kPhaseFunctions> b1{}, b2{};
    const double x2 = 2.0 * x;
    for (int k = kDegree; k >= 1; --k) {
        const std::array<double, kPhaseFunctions>& ck = p.ph[k];
        const std::array<double, kPhaseFunctions> a = b1;
        for (int f = 0; f < kPhaseFunctions; ++f) b1[f] = (ck[f] - b2[f]) + x2 * a[f];
        b2 = a;
    }
    std::array<double, kPhaseFunctions> v{};
    for (int f = 0; f < kPhaseFunctions; ++f) v[f] = (p.ph[0][f] - b2[f]) + x * b1[f];
    const double h0 = CREF.h0[icomp], s0 = CREF.s0[icomp];
    out.el = v[0] - h0;
    out.hl = v[1] - h0;
    out.sl = v[2] - s0;
    out.ev = v[3] - h0;
    out.hv = v[4] - h0;
    out.sv = v[5] - s0;
    return true;
}

void range(int icomp, double& tlow, double& thigh) {
    tlow = thigh = 0.0;
    const Curve* c = curve_of(icomp);
    if (c == nullptr) return;
    tlow = c->tlow;
    thigh = c->thigh;
}

bool covers(int icomp, double T) {
    if (!use_expansions) return false;
    const Curve* c = curve_of(icomp);
    return c != nullptr && T >= c->tlow && T <= c->thigh;
}

bool own_critical_point(int icomp, double& T, double& P, double& D) {
    const Curve* c = curve_of(icomp);
    if (c == nullptr) return false;
    T = c->tc_own;
    P = c->pc_own;
    D = c->dc_own;
    return P > 0.0;
}

const Tail* tail(int icomp) {
    const Curve* c = curve_of(icomp);
    return c != nullptr && c->tail.n > 0 ? &c->tail : nullptr;
}

void forget_slots() {
    models_changed();
    slot_known.fill(false);
    slot_keyed.fill(false);
    slot_curve.fill(nullptr);
    ++slots_generation;
}

unsigned long long generation() { return slots_generation; }

NoBuild::NoBuild() { ++no_build_depth; }
NoBuild::~NoBuild() { --no_build_depth; }

void set_enabled(bool on) { use_expansions = on; }
bool enabled() { return use_expansions; }

Stats stats(int icomp) {
    Stats s;
    const Curve* c = curve_of(icomp);
    if (c == nullptr) return s;
    s.pieces = static_cast<int>(c->pieces.size());
    s.solves = c->solves;
    for (const Piece& p : c->pieces) s.pieces_with_phases += p.has_phases ? 1 : 0;
    return s;
}

}  // namespace lib::satcheb
