// SATTP: Newton's method on the phase compositions and on temperature or
// pressure, with the equality of the component fugacities of the two phases
// as the equations (and for the split at given T and P the lever rule), with
// densities from the density solver at each iterate.  Its own failure is
// handed to the general routines, which then do not call it again.
#include "library/phase/sattp.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/hmxrecords.h"
#include "library/models/phiderv.h"
#include "library/models/records.h"
#include "library/phase/flashutil.h"
#include "library/phase/mixest.h"
#include "library/phase/satspln.h"
#include "library/phase/tprho.h"
#include "library/phase/trialroot.h"
#include "library/setup/records.h"

namespace lib {

SattpWorkRecord SATTPW;

namespace {
// The shares of the estimated critical pressure and temperature beyond
// which no boundary point is sought, unless its caller has bracketed it.
constexpr double kFarBeyondCritical = 10.0;
constexpr double kFarBeyondCriticalT = 3.0;
}  // namespace

namespace mix {

Present present(const double x[20]) {
    Present o;
    const int nc = std::min(NCOMP.nc, kMaxComp);
    for (int i = 0; i < nc; ++i)
        if (x[i] > 0.0) o.c[o.m++] = i;
    std::stable_sort(o.c, o.c + o.m, [&](int a, int b) { return x[a] > x[b]; });
    // The component of the largest fraction goes last: it is the dependent
    // one of the solvers, its fraction one minus the others.  (Taken as the
    // smallest, a trace's fraction would come from a difference of numbers
    // near one and carry their rounding, 1e-16 / fraction, into its
    // fugacity.)
    if (o.m > 1) std::rotate(o.c, o.c + 1, o.c + o.m);
    return o;
}

bool phase_fugacity(double T, double D, const double x[20], const Present& order, PhaseFugacity& f,
                    int& ierr) {
    double dadn[20], dnadn[20];
    std::string jmsg;
    ierr = 0;
    PHIDERV(2, T, D, x, dadn, dnadn, ierr, jmsg);
    if (ierr != 0) {
        if (ierr < 0) ierr = 1;
        return false;
    }
    const PhidrRecord& r = PHIDR;
    const double lndrt = std::log(D * GCNST.r * T);
    const int c0 = order.c[0];
    // ln Z from component c0: ln(x phi) = ln x + dnadn - ln Z.
    f.P = D * GCNST.r * T * std::exp(std::log(x[c0]) + dnadn[c0] - r.lnxphi[c0]);
    if (!(f.P > 0.0) || !std::isfinite(f.P)) {
        ierr = 1;
        return false;
    }
    const int dep = order.c[order.m - 1];
    for (int p = 0; p < order.m; ++p) {
        const int i = order.c[p];
        f.lnf[i] = std::log(x[i]) + lndrt + dnadn[i];
        f.dp[i] = r.dlnphi_dp[i] + 1.0 / f.P;
        f.dt[i] = r.dlnphi_dt[i];
        for (int q = 0; q + 1 < order.m; ++q) {
            const int j = order.c[q];
            f.dx[q][i] = r.dlnf_dx[j][i] - r.dlnphi_dx[dep][i] - (i == dep ? 1.0 / x[dep] : 0.0);
        }
    }
    return true;
}

namespace {
int bracketed_points = 0;  // open PointBracketed scopes
}  // namespace

PointBracketed::PointBracketed() { ++bracketed_points; }
PointBracketed::~PointBracketed() { --bracketed_points; }
bool point_bracketed() { return bracketed_points > 0; }

bool far_beyond_critical(double T, double P, const double x[20]) {
    double tc = 0, pc = 0, dc = 0;
    int jerr = 0;
    std::string jmsg;
    CRITP(x, tc, pc, dc, jerr, jmsg);
    return jerr <= 0 && (P > kFarBeyondCritical * pc || T > kFarBeyondCriticalT * tc);
}

}  // namespace mix

namespace {

using mix::PhaseFugacity;
using mix::Present;

constexpr int kMaxIterations = 30;
constexpr double kFloor = 1e-10;  // smallest step before error 3

// One call of SATTP.
class SaturationNewton {
public:
    SaturationNewton(double& T, double& P, const double x[20], int kph, int kguess, double& D,
                     double& Dl, double& Dv, double xl[20], double xv[20], double& q, int& ierr,
                     std::string& herr)
        : T(T),
          P(P),
          x(x),
          spline_kph(kph),
          k(std::abs(kph)),
          kguess(kguess),
          D(D),
          Dl(Dl),
          Dv(Dv),
          xl(xl),
          xv(xv),
          q(q),
          ierr(ierr),
          herr(herr) {}

    void run() {
        // The feed's isotherm, scanned once where its root must be bracketed.
        const IsothermMemo isotherms;
        ierr = 0;
        herr.clear();
        SATTPW.value = 0.0;
        order = mix::present(x);
        int jerr = 0;
        std::string jmsg;
        CRITP(x, Tc, Pc, Dc, jerr, jmsg);
        if (k != kSplitAtTP && spline_start(spline_kph, x, T, P, Dl, Dv, xl, xv)) kguess = 1;
        if (ISPURE(x) != 0 || order.m < 2) return fallback();
        if (kguess == 0) estimate();
        keep_feed();
        ierr = 0;
        herr.clear();
        const Outcome out = iterate();
        if (out == Outcome::to_fallback) return fallback();
        final_checks();
        if (ierr == 0) return;
        if (herr.empty()) herr = "SATTP:  Iteration failed";
        if (ierr < 0 || FLAGS2.spline_status == 1) return;
        fallback();
    }

private:
    double& T;
    double& P;
    const double* x;
    const int spline_kph;
    const int k;
    int kguess;
    double& D;
    double& Dl;
    double& Dv;
    double* xl;
    double* xv;
    double& q;
    int& ierr;
    std::string& herr;

    Present order;
    int n = 0;  // number of unknowns
    double Tc = 0, Pc = 0, Dc = 0;
    PhaseFugacity fv, fl;

    enum class Outcome { converged, failed, to_fallback };

    bool bubble() const { return k == kBubbleAtT || k == kBubbleAtP; }
    bool at_t() const { return k == kBubbleAtT || k == kDewAtT; }
    int dep() const { return order.c[order.m - 1]; }

    void estimate() {
        Dl = Dv = Dc;
        if (k == kBubbleAtP || k == kDewAtP) T = 300.0;
        if (k == kSplitAtTP)
            SAT0EST(T, P, x, xl, xv, ierr, herr);
        else
            SATEST(k, T, P, x, xl, xv, ierr, herr);
    }

    // The parent phase of a boundary point is the feed.
    void keep_feed() {
        if (k == kSplitAtTP) return;
        double* parent = bubble() ? xl : xv;
        for (int p = 0; p < order.m; ++p) parent[order.c[p]] = x[order.c[p]];
        double* inc = bubble() ? xv : xl;
        // An incipient start outside (0, 1) cannot be evaluated.
        double sum = 0.0;
        for (int p = 0; p < order.m; ++p) {
            const int i = order.c[p];
            if (!(inc[i] > 0.0) || !std::isfinite(inc[i])) inc[i] = 1e-6;
            sum += inc[i];
        }
        for (int p = 0; p < order.m; ++p) inc[order.c[p]] /= sum;
    }

    // The density of one phase: the root asked for from the start value,
    // else the other root; false when neither is found.
    bool density(double* comp, int root, double& d, bool use_start) {
        int jerr = 0;
        std::string jmsg;
        flash::QuietMessages quiet;
        double dd = d;
        TPRHO(T, P, comp, root, use_start && dd > 0.0 ? kStartValue : kNoStartValue, dd, jerr,
              jmsg);
        if (jerr > 0 || !(dd > 0.0)) {
            dd = 0.0;
            TPRHO(T, P, comp, 3 - root, kNoStartValue, dd, jerr, jmsg);
        }
        if (jerr > 0 || !(dd > 0.0)) return false;
        d = dd;
        return true;
    }

    // The liquid density; where it fails, a little lower temperature (bubble
    // point at given P) or higher pressure (bubble point at given T) is
    // tried.  True with a changed T or P when the liquid was found only
    // there (the iteration then starts again from the changed state).
    bool liquid(bool use_start, bool& moved) {
        moved = false;
        int jerr = 0;
        std::string jmsg;
        flash::QuietMessages quiet;
        double d = Dl;
        TPRHO(T, P, xl, kLiquid, use_start && d > 0.0 ? kStartValue : kNoStartValue, d, jerr, jmsg);
        if (jerr <= 0 && d > 0.0) {
            Dl = d;
            return true;
        }
        // Newton's steps from the last liquid root, to a root in the one
        // stretch the density solver's dense iteration does not enter: below
        // the estimated critical density and temperature, where a blend's
        // liquid close to the true critical point lies (R410A's at 344.44 K:
        // 6.77 mol/L, the estimate 6.775 mol/L at 353.7 K).  (Elsewhere the
        // solver's refusal stands: AGA8's dense roots at 190 K, 3 MPa.)
        if (use_start && Dl > 0.0 && T < Tc && mix::near_root(T, P, xl, Dl, d) && d < Dc) {
            Dl = d;
            return true;
        }
        const double t0 = T, p0 = P;
        const double factors[3] = {1.2, 1.5, 1.5};
        for (int tr = 0; tr < 3 && (k == kBubbleAtP || k == kBubbleAtT); ++tr) {
            if (k == kBubbleAtP) {
                if (tr == 2) break;
                T -= 5.0;
            } else {
                P *= factors[tr];
            }
            d = 0.0;
            TPRHO(T, P, xl, kLiquid, kNoStartValue, d, jerr, jmsg);
            if (jerr <= 0 && d > 0.0) {
                Dl = d;
                moved = true;
                return true;
            }
        }
        T = t0;
        P = p0;
        d = 0.0;
        TPRHO(T, P, xl, kVapour, kNoStartValue, d, jerr, jmsg);
        if (jerr > 0 || !(d > 0.0)) return false;
        Dl = d;
        return true;
    }

    // The Newton iteration.
    Outcome iterate() {
        n = k == kSplitAtTP ? 2 * (order.m - 1) : order.m;
        double tol_step = 1e-10, tol_res = 1e-12;
        bool use_start = kguess != 0;
        bool tiny_step = false;
        double best = 1e300;
        int best_it = 0;
        for (int it = 1; it <= kMaxIterations; ++it) {
            if (it == 8 || it == 12 || it == 16 || it == 20) {
                tol_step *= 10.0;
                tol_res *= 10.0;
            }
            int jerr = 0;
            if (!density(xv, kVapour, Dv, use_start)) return fail_now();
            if (!mix::phase_fugacity(T, Dv, xv, order, fv, jerr))
                return jerr == 191 ? Outcome::to_fallback : fail_now();
            bool moved = false;
            if (!liquid(use_start, moved)) return fail_now();
            use_start = true;
            if (moved) continue;
            if (!mix::phase_fugacity(T, Dl, xl, order, fl, jerr))
                return jerr == 191 ? Outcome::to_fallback : fail_now();

            if (trivial()) return fail_now();
            double F[40] = {};
            residuals(F);
            double fmax = 0.0;
            for (int i = 0; i < n; ++i) fmax = std::max(fmax, std::fabs(F[i]));
            SATTPW.value = fmax;
            if (!std::isfinite(fmax)) return fail_now();
            // Newton's method that has not reduced the residual for eight
            // iterations is heading nowhere (no solution near).
            if (fmax < 0.5 * best) {
                best = fmax;
                best_it = it;
            } else if (it - best_it >= 8) {
                return fail_now();
            }
            // After a step too small to count, the residual of its result
            // (of quadratic order) confirms convergence.
            if (fmax < tol_res || (tiny_step && fmax < 100.0 * tol_res)) return converged();

            double J[40 * 40] = {};
            jacobian(J);
            double dx[40];
            for (int i = 0; i < n; ++i) dx[i] = -F[i];
            jerr = 0;
            std::string jmsg;
            LUDECOMP(n, n, J, dx, jerr, jmsg);
            if (jerr != 0) return fail_now();
            double smax = 0.0;
            for (int i = 0; i < n; ++i) smax = std::max(smax, std::fabs(dx[i]));
            SATTPW.value = smax;
            if (!std::isfinite(smax)) return fail_now();
            tiny_step = smax < tol_step;
            if (!take_step(dx)) {
                if (tiny_step) return converged();
                ierr = 3;
                herr = "SATTP:  Error in iteration";
                return Outcome::failed;
            }
            if (!(P > 0.0)) return Outcome::failed;
            // A pressure far beyond the critical one, or phases that have
            // become one, end the iteration at once: no solution lies there.
            if (beyond_critical()) return fail_now();
        }
        ierr = 2;
        herr = "SATTP:  Maximum number of iterations exceeded";
        return Outcome::failed;
    }

    Outcome fail_now() {
        ierr = 1;
        return Outcome::failed;
    }

    Outcome converged() {
        if (k == kSplitAtTP) {
            // The vapour fraction from the component of the largest feed
            // fraction.
            const int c = order.c[order.m - 1];
            const double den = xv[c] - xl[c];
            if (std::fabs(den) < 1e-300) return fail_now();
            q = (x[c] - xl[c]) / den;
            D = flash::mixed_density(q, Dl, Dv);
        } else {
            q = bubble() ? 0.0 : 1.0;
            D = bubble() ? Dl : Dv;
        }
        return Outcome::converged;
    }

    void residuals(double F[]) {
        for (int p = 0; p < order.m; ++p) {
            const int i = order.c[p];
            F[p] = fv.lnf[i] - fl.lnf[i];
        }
        if (k != kSplitAtTP) return;
        // The lever rule: the feed between the phases on one line, written
        // without a division that could vanish.
        const int r = order.c[order.m - 2];
        for (int s = 0; s + 2 < order.m; ++s) {
            const int c = order.c[s];
            F[order.m + s] = lever(r, c);
        }
    }

    // The lever-rule residual of components r and s, scaled like
    // (xv_r - x_r)/(xv_s - x_s) - (xl_r - x_r)/(xl_s - x_s).
    double lever_scale(int s) const {
        const double a = std::fabs(xv[s] - x[s]) * std::fabs(xl[s] - x[s]);
        return 1.0 / std::max(a, 1e-20);
    }
    double lever(int r, int s) const {
        return ((xv[r] - x[r]) * (xl[s] - x[s]) - (xl[r] - x[r]) * (xv[s] - x[s])) * lever_scale(s);
    }

    void jacobian(double J[]) {
        const auto at = [&](int row, int col) -> double& { return J[row + col * n]; };
        for (int p = 0; p < order.m; ++p) {
            const int i = order.c[p];
            for (int j = 0; j + 1 < order.m; ++j) {
                if (k == kSplitAtTP) {
                    at(p, j) = fv.dx[j][i];
                    at(p, order.m - 1 + j) = -fl.dx[j][i];
                } else {
                    at(p, j) = bubble() ? fv.dx[j][i] : -fl.dx[j][i];
                }
            }
            if (k == kSplitAtTP) continue;
            at(p, n - 1) = at_t() ? fv.dp[i] - fl.dp[i] : fv.dt[i] - fl.dt[i];
        }
        if (k != kSplitAtTP) return;
        const int rpos = order.m - 2, r = order.c[rpos];
        for (int s = 0; s + 2 < order.m; ++s) {
            const int c = order.c[s];
            const double w = lever_scale(c);
            const int row = order.m + s;
            at(row, s) += -(xl[r] - x[r]) * w;
            at(row, rpos) += (xl[c] - x[c]) * w;
            at(row, order.m - 1 + s) += (xv[r] - x[r]) * w;
            at(row, order.m - 1 + rpos) += -(xv[c] - x[c]) * w;
        }
    }

    // The step applied to work copies, halved until every fraction stays
    // inside (0, 1) (and for the split the feed between the phases); false
    // when it has been halved to nothing.
    bool take_step(double dx[]) {
        for (;;) {
            double nv[20], nl[20];
            flash::copy20(xv, nv);
            flash::copy20(xl, nl);
            double sv = 0.0, sl = 0.0;
            for (int j = 0; j + 1 < order.m; ++j) {
                const int c = order.c[j];
                if (k == kSplitAtTP) {
                    nv[c] = xv[c] + dx[j];
                    nl[c] = xl[c] + dx[order.m - 1 + j];
                } else if (bubble()) {
                    nv[c] = xv[c] + dx[j];
                } else {
                    nl[c] = xl[c] + dx[j];
                }
                sv += nv[c];
                sl += nl[c];
            }
            // The dependent fraction keeps each composition's sum at one.
            if (k == kSplitAtTP || bubble()) nv[dep()] = 1.0 - sv;
            if (k == kSplitAtTP || !bubble()) nl[dep()] = 1.0 - sl;
            const double tn = at_t() || k == kSplitAtTP ? T : T + dx[n - 1];
            const double pn = at_t() && k != kSplitAtTP ? P + dx[n - 1] : P;
            if (acceptable(nv, nl, tn, pn)) {
                flash::copy20(nv, xv);
                flash::copy20(nl, xl);
                T = tn;
                P = pn;
                return true;
            }
            double big = 0.0;
            for (int i = 0; i < n; ++i) {
                dx[i] *= 0.5;
                big = std::max(big, std::fabs(dx[i]));
            }
            if (big < kFloor) return false;
        }
    }

    bool acceptable(const double nv[20], const double nl[20], double tn, double pn) const {
        if (!(pn > 0.0) || !(tn > 0.0)) return false;
        // Steps of the free variable are kept moderate (a pressure within a
        // factor of two, a temperature within 10 %), and never far beyond
        // the critical pressure.
        if (pn > 2.0 * P || pn < 0.5 * P || std::fabs(tn - T) > 0.1 * T) return false;
        if (pn > kFarBeyondCritical * Pc && k != kSplitAtTP && !mix::point_bracketed())
            return false;
        for (int p = 0; p < order.m; ++p) {
            const int i = order.c[p];
            if (k == kSplitAtTP) {
                if (!(nv[i] > 0.0 && nv[i] < 1.0 && nl[i] > 0.0 && nl[i] < 1.0)) return false;
                if ((nv[i] - x[i]) * (nl[i] - x[i]) > 0.0) return false;
            } else {
                const double v = bubble() ? nv[i] : nl[i];
                if (!(v > 0.0 && v < 1.0)) return false;
            }
        }
        return true;
    }

    // A boundary point far beyond the critical pressure or temperature: no
    // solution lies there.  A split at given T and P has them as inputs:
    // two liquids split far above the critical pressure (R403B at 172.5 K,
    // from 40.4 MPa, ten times its estimate's, to 160 MPa: refused).  So
    // has a point whose caller has bracketed it between a split and a gas
    // (a wet gas's dew line runs far above its estimate: the flue gas's at
    // 550 K lies at 288 MPa).
    bool beyond_critical() const {
        return k != kSplitAtTP && !mix::point_bracketed() &&
               (P > kFarBeyondCritical * Pc || T > kFarBeyondCriticalT * Tc);
    }

    // The two phases are one: equal compositions and densities.
    bool trivial() const {
        for (int p = 0; p < order.m; ++p) {
            const int i = order.c[p];
            if (std::fabs(xv[i] - xl[i]) > 1e-8) return false;
        }
        return std::fabs(Dl - Dv) <= 1e-6 * std::max(Dl, Dv);
    }

    // A state is a solution only with two distinct phases of positive
    // density at a positive pressure below ten times the critical one
    // (beyond it only where its caller has bracketed it).
    void final_checks() {
        if (ierr != 0) return;
        if (trivial()) ierr = 1;
        if (Dv < 0.0 || Dl < 0.0) ierr = 1;
        if (std::fabs(Dl - Dv) < 0.1 && std::fabs(Dl - Dc) > 0.1) ierr = 1;
        if (beyond_critical() || !(P > 0.0)) ierr = 1;
        // A split onto the feed itself (one phase of no amount) is the
        // trivial answer of the lever-rule equations, not a split.
        if (k == kSplitAtTP && !(q > 1e-9 && q < 1.0 - 1e-9)) ierr = 1;
    }

    // The general routine answers instead, with the switch that keeps it
    // from calling this one.
    void fallback() {
        mix::SwitchGuard recursion(FLAGS2.sat_status, 1);
        if (k == kBubbleAtT || k == kDewAtT) {
            SATT(T, x, k, P, Dl, Dv, xl, xv, ierr, herr);
        } else if (k == kBubbleAtP || k == kDewAtP) {
            SATP(P, x, k - 2, T, Dl, Dv, xl, xv, ierr, herr);
        } else {
            double e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0;
            TPFLSH(T, P, x, D, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w, ierr, herr);
        }
        if (k == kBubbleAtT || k == kBubbleAtP) {
            q = 0.0;
            D = Dl;
        } else if (k != kSplitAtTP) {
            q = 1.0;
            D = Dv;
        }
        if (ierr != 0) return;
        if ((std::fabs(Dl - Dv) < 0.1 && std::fabs(Dl - Dc) > 0.1) || Dl + Dv < Dc) {
            ierr = 1;
            herr = "SATTP:  Iteration failed";
        }
    }
};

}  // namespace

void SATTP(double& T, double& P, const double x[20], int kph, int kguess, double& D, double& Dl,
           double& Dv, double xl[20], double xv[20], double& q, int& ierr, std::string& herr) {
    // The recursion switch is clear while this routine works and comes back
    // as it was on every way out.
    mix::SwitchGuard recursion(FLAGS2.sat_status, 0);
    SaturationNewton(T, P, x, kph, kguess, D, Dl, Dv, xl, xv, q, ierr, herr).run();
}

}  // namespace lib
