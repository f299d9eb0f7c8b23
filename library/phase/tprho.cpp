// Density from temperature and pressure: a damped second-order Newton
// iteration on the logarithm of the molar volume, on the dense or on the vapour
// side of the equation of state, refusing roots in the unstable region.
#include "library/phase/tprho.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/phik.h"
#include "library/models/pr.h"
#include "library/models/press.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/setup.h"

namespace lib {
namespace {

constexpr double kMaxDensity = 1e8;           // mol/L: beyond it the dense iteration gives up
constexpr double kLine = 0.9900000095367432;  // slope factor of the vapour region above Tc

bool is_marker9(double v) { return std::fabs(v - kMarker9) <= 0.1; }

// d2P/dD2, dP/dD and the cross derivative d2P/dDdT at (T, D).
struct Stability {
    double dpdd = 0, d2pdd2 = 0, cross = 0;
};

inline double finite_or_zero(double v) { return std::isfinite(v) ? v : 0.0; }

// The three values THERM2 gives for them (zeros where it has no route), from
// the residual derivatives alone; d2P/dD2 only when asked for.
Stability stability_at(double T, double D, const double x[20], bool second = true) {
    Stability st;
    if (!(T > 0.0)) return st;
    RMIX(x);
    const double R = GCNST.r;
    int ic = 0;
    double tred = 0.0, dred = 0.0;
    if (!reducing_point(x, ic, tred, dred)) return st;
    if (ic != 0 && !residual_model_ready(ic)) return st;
    const double tau = tred / T, del = D / dred;
    const auto r = [&](int i, int j) {
        return ic != 0 ? PHIK(ic, i, j, tau, del) : PHIX(i, j, tau, del, x);
    };
    const double r01 = r(0, 1), r11 = r(1, 1), r02 = r(0, 2);
    const double RT = R * T;
    const double K = 1.0 + 2.0 * r01 + r02;
    st.dpdd = finite_or_zero(RT * K);
    if (second) {
        if (D > 1e-8) {
            st.d2pdd2 = finite_or_zero((RT / D) * (2.0 * r01 + 4.0 * r02 + r(0, 3)));
        } else {
            double B = 0.0;
            VIRB(T, x, B);
            st.d2pdd2 = finite_or_zero(2.0 * B * R * T);
        }
    }
    st.cross = finite_or_zero(R * (K - 2.0 * r11 - r(1, 2)));
    return st;
}

// The cross derivative of carbon dioxide is slightly negative close to its
// critical point on the stable branch; it is accepted down to -23.
bool cross_ok(double cross, const double x[20]) {
    if (cross >= 0.0 || is_marker9(cross)) return true;
    return ISPURE(x) == 1 && trim_right(CCAS[1]) == "124-38-9" && cross > -23.0;
}

// A converged root inside the band where the unstable region can lie must
// have dP/dD >= 0, a non-negative cross derivative and a positive cv (some
// equations have roots of positive dP/dD and negative cv inside the
// two-phase region: nitrogen at 91.6 K and 2.77 MPa, 18.08 mol/L).
bool accepted(double T, double D, const double x[20], double Tc, double Dc) {
    if (T >= 1.2 * Tc || D <= 0.2 * Dc || D >= 2.0 * Dc) return true;
    const Stability st = stability_at(T, D, x, false);
    if (!(st.dpdd >= 0.0 && cross_ok(st.cross, x))) return false;
    double cv = 0.0, cp = 0.0;
    CVCP(T, D, x, cv, cp);
    return cv > 0.0;
}

// A root of the vapour iteration in the same band must be the thinnest
// root (the pressure rises from the dilute gas up to it and stays below P)
// or the densest (it rises from the root up to the equation's densest
// state: where a phase has no vapour the iteration ends on its liquid, a
// liquid carbon dioxide split off water at 250 K, 3 MPa).  Inside the
// two-phase region an equation may cross P between them, in a loop
// (nitrogen at 97.16 K, 2.04 MPa: 4.23 mol/L, where its vapour turns back
// at 1.19 MPa; carbon dioxide + nitrogen, 40 % of it, at 150 K, 2.5 MPa:
// 4.99 mol/L); such a root is no phase.  The pressure at kBranchSamples
// densities on either side, and its slope there, show it (the loops
// measured span a tenth of the root's density or more: nitrogen + argon,
// 60 % of it, at 105 K, 2.5 MPa, a dip of 3 kPa between 3.3 and 3.6 mol/L
// below a root at 4.61, which the pressures alone passed over).
constexpr int kBranchSamples = 16;

bool thinnest_root(double T, double P, double D, const double x[20]) {
    double last = 0.0;
    for (int k = 1; k < kBranchSamples; ++k) {
        const PressDerivs v = press_slope(T, D * k / kBranchSamples, x);
        if (!(v.p < P) || !(v.p > last) || !(v.d1 > 0.0)) return false;
        last = v.p;
    }
    return true;
}

bool phase_root(double T, double P, double D, const double x[20], double Tc, double Dc) {
    if (T >= 1.2 * Tc || D <= 0.2 * Dc) return true;
    return thinnest_root(T, P, D, x) || densest_root(T, P, D, x);
}

std::string fractions(const double x[20], int width) {
    const int n = std::clamp(NCOMP.nc, 1, 5);
    std::string s;
    for (int i = 0; i < n; ++i) s += fmt_f(x[i], width, 5);
    return s;
}

}  // namespace

bool densest_root(double T, double P, double D, const double x[20]) {
    double tmin, tmax, dmax, pmax;
    LIMITS("EOS", x, tmin, tmax, dmax, pmax);
    if (!(dmax > D)) return true;
    double last = P;
    for (int k = 1; k <= kBranchSamples; ++k) {
        const double d = D * std::pow(dmax / D, static_cast<double>(k) / kBranchSamples);
        const PressDerivs v = press_slope(T, d, x);
        if (!(v.p > last) || !(v.d1 > 0.0)) return false;
        last = v.p;
    }
    return true;
}

bool gives_pressure(double T, double P, double D, const double x[20]) {
    if (!(D > 0.0) || !std::isfinite(D) || !(T > 0.0)) return false;
    // The pressure and its slope from one evaluation of the residual part.
    RMIX(x);
    int ic = 0;
    double tred = 0.0, dred = 0.0;
    if (!reducing_point(x, ic, tred, dred)) return false;
    if (ic != 0 && !residual_model_ready(ic)) return false;
    const double tau = tred / T, del = D / dred;
    const auto r = [&](int i, int j) {
        return ic != 0 ? PHIK(ic, i, j, tau, del) : PHIX(i, j, tau, del, x);
    };
    const double r01 = r(0, 1), r02 = r(0, 2), RT = GCNST.r * T;
    const double p = RT * D * (1.0 + r01), dpdd = RT * (1.0 + 2.0 * r01 + r02);
    if (!(dpdd > 0.0) || !std::isfinite(p)) return false;  // an unstable root is none
    const double off = std::fabs(p - P);
    return off <= 1e-6 * P || off <= 1e-9 * D * dpdd;
}

namespace {

// True outside the temperature range of a pure fluid's equation (and for
// a mixture): where an equation is extrapolated, a root its iteration
// accepts may not give the pressure (water at 23 K); inside, the iterations'
// own tests hold.
bool extrapolated(double T, const double x[20]) {
    const int ic = ISPURE(x);
    return ic == 0 || !(T >= EOSLIM.tmin[ic] && T <= EOSLIM.tmax[ic]);
}

void not_converged(int code, double T, double P, double D, const double x[20], int& ierr,
                   std::string& herr) {
    if (code == 202) {
        fail(code,
             errtext("TPRHO", 202,
                     "liquid iteration has not converged for T =" + fmt_g(T, 12, 5) + " K, P =" +
                         fmt_g(P / 1000.0, 12, 5) + " MPa, rho (last guess) = " + fmt_g(D, 12, 5) +
                         " mol/L, compositions = " + fractions(x, 9))
                 .substr(0, 196),
             ierr, herr);
    } else {
        fail(code,
             errtext("TPRHO", 203,
                     "vapor iteration has not converged for T =" + fmt_g(T, 12, 5) + " K, P =" +
                         fmt_g(P / 1000.0, 12, 5) + " MPa, rho (last guess) = " + fmt_g(D, 12, 5) +
                         " mol/L, x (mol frac) =" + fractions(x, 8))
                 .substr(0, 254),
             ierr, herr);
    }
}

// The pressure above which the Peng-Robinson mode takes a root of the cubic
// as it stands (kPa); below it the iteration refines the root.
constexpr double kPengRobinsonFinal = 1.0;

// The root of the Peng-Robinson cubic the phase flag asks for: the liquid
// root for |kph| = 1, the vapour root for |kph| = 2, else the root nearer
// the incoming density D; the liquid root when the cubic has no vapour root.
// False (with the liquid root) when that root lies beyond 1e8 mol/L.
bool peng_robinson_root(double T, double P, const double x[20], int kph, double D, double& root) {
    double dl = 0.0, dv = 0.0;
    TPRHOPR(T, P, x, dl, dv);
    root = dl;
    if (dl > 1e8) return false;
    if (!(dv >= 1e-12)) return true;
    const int side = std::abs(kph);
    if (side == kVapour || (side != kLiquid && std::fabs(D - dv) < std::fabs(D - dl))) root = dv;
    return true;
}

enum class Outcome { converged, failed, to_vapour };

// Dense iteration on u = ln(1/D).  On convergence D holds the root; on
// failure D holds the best stable density seen (or the last iterate).
Outcome dense_iteration(double T, double P, const double x[20], double Tc, double lnvc, double Dc,
                        double& u, double& D) {
    double tol = 1e-8;
    double prev = -1.0;
    double edge = Dc;
    double best = 100.0;
    bool have_best = false;
    for (int it = 1; it <= 40; ++it) {
        if (it == 12 || it == 18) u = std::log(1.0 / (1.3 * std::exp(-u)));
        const double Dk = std::exp(-u);
        D = Dk;
        if (!(Dk <= kMaxDensity)) {
            if (have_best) D = best;
            return Outcome::failed;
        }
        const PressDerivs v = press_derivs(T, Dk, x);
        if (!v.finite()) {
            if (have_best) D = best;
            return Outcome::failed;
        }
        if (v.d1 <= 0.0 && Dk > edge) edge = Dk;
        if (v.d1 > 0.0 && Dk < best && Dk > edge) {
            best = Dk;
            have_best = true;
        }
        if (v.d1 <= 0.0) {
            u -= 0.1;
            prev = Dk;
            continue;
        }
        const double g = v.d1 / Dk + v.d2;
        const double dp = P - v.p;
        double step = dp / (Dk * (v.d1 + 0.5 * g * dp / v.d1));
        if (!(std::fabs(step) <= 100.0)) step = dp / (Dk * v.d1);
        if (it == 10 || it == 15) tol *= 10.0;
        if ((std::fabs(step) / P < 1e-4 * tol || std::fabs(Dk - prev) < 1e-11) &&
            std::fabs(dp) < 0.001) {
            D = std::exp(-(u - step));
            return Outcome::converged;
        }
        prev = Dk;
        double un = u - step;
        if (std::fabs(un - u) > 0.1 && T < 1.5 * Tc) un = u - std::copysign(0.11, step);
        if (un > lnvc && T < Tc) un = 0.5 * (u + lnvc);
        u = un;
        if (u < -5.0 && T >= Tc) return Outcome::to_vapour;
    }
    if (T >= Tc) return Outcome::to_vapour;
    if (have_best) D = best;
    return Outcome::failed;
}

// Vapour iteration on ln P.
Outcome vapour_iteration(double T, double P, const double x[20], double Dc, double& u, double& D) {
    double tol = 1e-8;
    double edge = Dc;
    double best = 0.0;
    bool have_best = false;
    const double lnp = std::log(P);
    for (int it = 1; it <= 40; ++it) {
        const double Dk = std::exp(-u);
        D = Dk;
        const PressDerivs v = press_derivs(T, Dk, x);
        if (!v.finite()) break;
        if (v.d1 <= 0.0 && Dk < edge) edge = Dk;
        if (v.d1 > 0.0 && Dk > best && Dk < edge) {
            best = Dk;
            have_best = true;
        }
        if (v.d1 <= 0.0 || v.p <= 0.0) {
            u += 0.1;
            continue;
        }
        const double r = v.d1 / v.p;
        const double g = v.d1 / (Dk * v.p) + v.d2 / v.p - r * r;
        const double f = lnp - std::log(v.p);
        double step = f / (Dk * (r + 0.5 * g * v.p * f / v.d1));
        if (!(std::fabs(step) <= 1.0)) step = f * v.p / (Dk * v.d1);
        if (!(std::fabs(step) <= 25.0)) step = 1e-6;
        if (it == 10 || it == 15) tol *= 10.0;
        if (std::fabs(step) < 1e-4 * tol) return Outcome::converged;
        u -= step;
    }
    if (have_best) D = best;
    return Outcome::failed;
}

// The densities of a grid: geometric below half the critical density, fine
// and even up to twice it (where the roots of a near-critical isotherm lie
// close together), geometric above.
std::vector<double> density_grid(double Dc, double dlo, double dhi) {
    constexpr int kCoarse = 40, kFine = 300;
    std::vector<double> d;
    d.reserve(2 * kCoarse + kFine + 1);
    for (int i = 0; i < kCoarse; ++i)
        d.push_back(dlo * std::pow(0.5 * Dc / dlo, static_cast<double>(i) / kCoarse));
    for (int i = 0; i < kFine; ++i) d.push_back(Dc * (0.5 + 1.5 * i / kFine));
    for (int i = 0; i <= kCoarse; ++i)
        d.push_back(2.0 * Dc * std::pow(dhi / (2.0 * Dc), static_cast<double>(i) / kCoarse));
    return d;
}

// The pressure and the sign of its slope at one density of a scan.
struct GridPoint {
    double p = 0.0;
    bool stable = false;  // dP/dD > 0 (and finite)
};

// The isotherms bracketed_density has scanned while an IsothermMemo is open,
// one per direction: the points in scan order as far as they were needed.
// The grid is fixed by Dc and its densest point, so the same temperature,
// composition and grid give the same points whatever the pressure sought.
struct ScannedIsotherm {
    bool used = false;
    double T = 0.0, Dc = 0.0, dhi = 0.0;
    double x[20] = {};
    std::vector<GridPoint> points;
};
int isotherm_memo_depth = 0;
ScannedIsotherm scanned[2];  // thin end first, dense end second

bool same_isotherm(const ScannedIsotherm& s, double T, const double x[20], double Dc, double dhi) {
    if (!s.used || s.T != T || s.Dc != Dc || s.dhi != dhi) return false;
    const int nc = std::clamp(NCOMP.nc, 1, 20);
    for (int i = 0; i < nc; ++i)
        if (s.x[i] != x[i]) return false;
    return true;
}

// The points of one scan along a grid, from the memo where an open one holds
// them; evaluated (and kept while the memo is open) where not.
class IsothermScan {
public:
    IsothermScan(double T, const double x[20], bool dense, double Dc, double dhi,
                 const std::vector<double>& grid)
        : T(T), x(x), dense(dense), grid(grid) {
        if (isotherm_memo_depth == 0) return;
        ScannedIsotherm& s = scanned[dense ? 1 : 0];
        if (!same_isotherm(s, T, x, Dc, dhi)) {
            s.used = true;
            s.T = T;
            s.Dc = Dc;
            s.dhi = dhi;
            std::copy(x, x + 20, s.x);
            s.points.clear();
        }
        memo = &s.points;
    }

    // Point k of the scan (k = 0 the densest point for a dense scan).
    GridPoint at(int k) {
        if (memo != nullptr && k < static_cast<int>(memo->size()))
            return (*memo)[static_cast<std::size_t>(k)];
        const int n = static_cast<int>(grid.size());
        const double d = grid[static_cast<std::size_t>(dense ? n - 1 - k : k)];
        // (The second derivative is not wanted: the slope has the same
        // value without it.)
        const PressDerivs v = press_slope(T, d, x);
        const GridPoint g{v.p, v.finite() && v.d1 > 0.0};
        if (memo != nullptr && k == static_cast<int>(memo->size())) memo->push_back(g);
        return g;
    }

private:
    double T;
    const double* x;
    bool dense;
    const std::vector<double>& grid;
    std::vector<GridPoint>* memo = nullptr;
};

// The density at which the pressure is P by bracketing, for the iterations
// above when they fail close to the critical point: there the slope of the
// pressure nearly vanishes, and where an equation puts its own critical point
// a little apart from the stated one the dense iteration's bound at the
// critical density may exclude the root.  Along a grid of densities, from the
// densest (dense) or the thinnest end, the first crossing of P is bracketed
// (a region of negative slope on the way ends the branch: no root of that
// phase) and narrowed by secant steps guarded by bisection to the last digits.
bool bracketed_density(double T, double P, const double x[20], bool dense, double Tc, double Pc,
                       double Dc, double& D) {
    if (!(Dc > 0.0) || !(P > 0.0) || !(std::fabs(T / Tc - 1.0) < 0.01) || !(P > 0.5 * Pc) ||
        !(P < 2.0 * Pc))
        return false;
    double tmin, tmax, dmax, pmax;
    LIMITS("EOS", x, tmin, tmax, dmax, pmax);
    const double dhi = 1.5 * std::max(dmax > 0.0 ? dmax : 0.0, 3.0 * Dc);
    const double dlo = 0.05 * Dc;
    const std::vector<double> grid = density_grid(Dc, dlo, dhi);
    const int n = static_cast<int>(grid.size());
    const int step = dense ? -1 : 1;
    IsothermScan scan(T, x, dense, Dc, dhi, grid);
    double a = 0, fa = 0, b = 0, fb = 0;  // f(a) < 0 < f(b)
    bool found = false;
    double dprev = 0, fprev = 0;
    bool stable = false;  // on a stable stretch of the isotherm
    for (int k = 0, i = dense ? n - 1 : 0; k < n && !found; ++k, i += step) {
        const double d = grid[static_cast<std::size_t>(i)];
        const GridPoint g = scan.at(k);
        if (!g.stable) {
            // (Beyond the equation's range an isotherm may turn back.)
            if (stable) return false;
            continue;
        }
        const double f = g.p - P;
        const bool first = !stable;
        stable = true;
        if (!first && (f > 0.0) != (fprev > 0.0)) {
            found = true;
            a = dense ? d : dprev;
            fa = dense ? f : fprev;
            b = dense ? dprev : d;
            fb = dense ? fprev : f;
        }
        dprev = d;
        fprev = f;
    }
    if (!found || !(fa <= 0.0 && fb > 0.0)) return false;
    int side = 0;
    for (int it = 0; it < 200 && fa != 0.0 && b - a > 4e-16 * b; ++it) {
        double c = a - fa * (b - a) / (fb - fa);
        if (!(c > a && c < b) || it % 4 == 3) c = 0.5 * (a + b);
        double pc = 0.0;
        PRESS(T, c, x, pc);
        const double fc = pc - P;
        if (!std::isfinite(fc)) return false;
        if (fc <= 0.0) {
            a = c;
            fa = fc;
            if (side == -1) fb *= 0.5;
            side = -1;
        } else {
            b = c;
            fb = fc;
            if (side == 1) fa *= 0.5;
            side = 1;
        }
    }
    D = std::fabs(fa) <= std::fabs(fb) ? a : b;
    return true;
}

}  // namespace

IsothermMemo::IsothermMemo() { ++isotherm_memo_depth; }

IsothermMemo::~IsothermMemo() {
    if (--isotherm_memo_depth > 0) return;
    for (ScannedIsotherm& s : scanned) {
        s.used = false;
        s.points.clear();
    }
}

int tprho_side(double T, double P, double Tc, double Pc) {
    if (T > Tc && P < kLine * Pc * (1.0 + 7.0 * (T / Tc - 1.0))) return -1;
    return P >= Pc || T >= Tc ? 1 : 0;
}

bool tprho_accepts(double T, double D, const double x[20], double Tc, double Dc) {
    return accepted(T, D, x, Tc, Dc);
}

void TPRHO(double T, double P, const double x[20], int kph, int kguess, double& D, int& ierr,
           std::string& herr) {
    ierr = 0;
    herr.clear();
    if (no_fluid_set_up("TPRHO", ierr, herr)) return;
    // A state without a positive temperature or with a negative pressure has no
    // density: report it rather than return a negative or undefined value.
    if (!(T > 0.0) || !std::isfinite(T) || !(P >= 0.0) || !std::isfinite(P)) {
        fail(201, "TPRHO",
             !(T > 0.0) || !std::isfinite(T)
                 ? "illegal input to TPRHO (T <= 0); T =" + fmt_g(T, 12, 5) + " K"
                 : "illegal input to TPRHO (P < 0); P =" + fmt_g(P / 1000.0, 12, 5) + " MPa",
             ierr, herr);
        return;
    }
    RMIX(x);
    const double R = GCNST.r;

    if (P < 1e-8) {
        if (kph != kLiquid) {
            D = P / (R * T);
            if (P > 0.0 && !gives_pressure(T, P, D, x))
                fail(203, "TPRHO",
                     "no stable vapor density at T =" + fmt_g(T, 12, 5) +
                         " K, P =" + fmt_g(P / 1000.0, 12, 5) + " MPa",
                     ierr, herr);
            return;
        }
        // A liquid at a vanishing pressure is still a liquid: the dense
        // iteration below finds it (no density of 0 is returned for one).
    }

    // The Peng-Robinson mode: a root of the cubic; below 1 kPa it is the
    // start of the iteration, which then refines it.
    int pr = -1;
    PREOS(pr);
    if (pr == 1) {
        double root = 0.0;
        if (!peng_robinson_root(T, P, x, kph, D, root)) {
            not_converged(202, T, P, root, x, ierr, herr);
            return;
        }
        if (P > kPengRobinsonFinal || kph == kVapour) {
            D = root;
            if (!(root > 0.0))
                not_converged(std::abs(kph) == kVapour ? 203 : 202, T, P, D, x, ierr, herr);
            return;
        }
        D = kph == kLiquid && root < 1e-6 ? 0.0 : root;
        kguess = kStartValue;
    }

    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    CRITP(x, Tc, Pc, Dc, jerr, jmsg);
    if (jerr > 0) {
        fail(200, "TPRHO", std::string(trim_right(jmsg)).substr(0, 236), ierr, herr);
        return;
    }
    const double vc = Dc > 0.0 ? 1.0 / Dc : 1.0;
    const double lnvc = Dc > 0.0 ? std::log(vc) : 0.0;
    const double Tr = T / Tc;

    bool dense = false;
    if (kph == -kLiquid) {
        dense = true;
    } else if (kph == -kVapour) {
        dense = false;
    } else if (const int side = tprho_side(T, P, Tc, Pc); side != 0) {
        dense = side > 0;
    } else if (kph == kLiquid) {
        dense = true;
    } else if (kph >= kVapour) {
        dense = false;
    } else if (kguess == kNoStartValue) {
        fail(201, "TPRHO", "illegal input to TPRHO (kph <= 0); use TPFLSH instead", ierr, herr);
        return;
    } else {
        dense = D >= Dc;
    }

    double u = 0.0;
    if (kguess == kStartValue && D > 0.0) {
        u = std::log(1.0 / D);
    } else if (kguess == kNoStartValue || kguess == kStartValue) {
        if (dense && (P <= Pc || T <= Tc)) {
            const double zc = Pc * vc / (R * Tc);
            double d0 = 1.0 / ((R * Tc / Pc) * std::pow(zc, 1.0 + std::pow(std::fabs(1.0 - Tr),
                                                                           0.2857142857142857)));
            double tmin, tmax, dmax, pmax;
            LIMITS("EOS", x, tmin, tmax, dmax, pmax);
            if (dmax > 0.0 && d0 > dmax) d0 = dmax;
            for (int k = 0; k <= 8; ++k) {
                const Stability st = stability_at(T, d0, x);
                const bool bad = st.dpdd < 0.0 || (st.d2pdd2 < 0.0 && T < Tc) ||
                                 (st.cross < 0.0 && !is_marker9(st.cross));
                if (!bad || k == 8) break;
                // Never beyond the equation's maximum density: a polynomial
                // equation (BWR) turns back to unstable roots above it.
                if (dmax > 0.0 && d0 >= dmax) break;
                d0 = dmax > 0.0 ? std::min(1.1 * d0, dmax) : 1.1 * d0;
            }
            u = std::min(std::log(1.0 / d0), std::log(vc / 2.0));
        } else if (dense) {
            u = std::log(1.0 / (2.0 * Dc));
        } else {
            u = std::log(R * T / P);
        }
    }

    double Dout = D;
    Outcome out = Outcome::to_vapour;
    if (dense) {
        out = dense_iteration(T, P, x, Tc, lnvc, Dc, u, Dout);
        if (out == Outcome::failed) {
            if (kph > 0 && bracketed_density(T, P, x, true, Tc, Pc, Dc, Dout) &&
                accepted(T, Dout, x, Tc, Dc)) {
                D = Dout;
                return;
            }
            D = Dout;
            not_converged(202, T, P, D, x, ierr, herr);
            return;
        }
        if (out == Outcome::to_vapour && kguess != kStartValue) u = std::log(R * T / P);
    }
    const bool vapour = out == Outcome::to_vapour;
    if (vapour) {
        out = vapour_iteration(T, P, x, Dc, u, Dout);
        if (out == Outcome::failed) {
            if (kph > 0 && bracketed_density(T, P, x, false, Tc, Pc, Dc, Dout) &&
                accepted(T, Dout, x, Tc, Dc)) {
                D = Dout;
                return;
            }
            D = Dout;
            not_converged(203, T, P, D, x, ierr, herr);
            return;
        }
    }
    if (!accepted(T, Dout, x, Tc, Dc) || (extrapolated(T, x) && !gives_pressure(T, P, Dout, x)) ||
        (vapour && !phase_root(T, P, Dout, x, Tc, Dc))) {
        // A start value may lead to a root that is none: once more from the
        // solver's own start.
        if (kguess == kStartValue && kph != 0) {
            D = 0.0;
            TPRHO(T, P, x, kph, kNoStartValue, D, ierr, herr);
            return;
        }
        D = Dout;
        not_converged(kph == kLiquid ? 202 : 203, T, P, D, x, ierr, herr);
        return;
    }
    D = Dout;
}

void stable_density(double T, double P, const double x[20], int kph, int kguess, double& D,
                    int& ierr, std::string& herr) {
    TPRHO(T, P, x, kph, kguess, D, ierr, herr);
    double Tc = 0, Pc = 0, Dc = 0;
    const int ic = ISPURE(x);
    if (ic > 0) {
        Tc = CCON.tc[ic];
        Pc = CCON.pc[ic];
    } else {
        int jerr = 0;
        std::string jmsg;
        CRITP(x, Tc, Pc, Dc, jerr, jmsg);
        if (jerr > 0) return;
    }
    if (!(std::fabs(T / Tc - 1.0) < 0.01 && std::fabs(P / Pc - 1.0) < 0.1)) return;
    double a = 0, g = 0;
    if (ierr <= 0) AG(T, D, x, a, g);
    for (int forced : {-kLiquid, -kVapour}) {
        double other = 0.0, gother = 0.0;
        int oerr = 0;
        std::string omsg;
        TPRHO(T, P, x, forced, kNoStartValue, other, oerr, omsg);
        if (oerr > 0 || !(other > 0.0)) continue;
        if (ierr <= 0 && std::fabs(other - D) <= 1e-9 * D) continue;
        AG(T, other, x, a, gother);
        if (ierr > 0 || gother < g) {
            D = other;
            g = gother;
            ierr = 0;
            herr.clear();
        }
    }
}

}  // namespace lib
