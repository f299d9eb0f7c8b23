// The single-phase solver behind most flashes: a secant on density (at given
// temperature) or on temperature (at given pressure or entropy), switched to
// regula falsi between the best points on both sides of the root.
#include "library/phase/abfl1.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/melt.h"
#include "library/models/records.h"
#include "library/phase/dbflsh.h"
#include "library/phase/flashutil.h"
#include "library/phase/satcheb.h"
#include "library/phase/satp.h"
#include "library/phase/satt.h"
#include "library/phase/tflsh.h"
#include "library/phase/tprho.h"
#include "library/setup/limits.h"

namespace lib {
namespace {

using flash::cut;

constexpr double kDmin = 1e-4;  // lowest density searched at given T, mol/L

// Best point seen on one side of the root.
constexpr int kFalsiSteps = 20;  // steps before bisection joins a bracketed search

struct Best {
    double v = 0, r = 1e20;
    bool seen = false;
};

// The narrowest bracket of the root seen: the points of either sign of the
// residual, each replaced by a point of its sign between the two.
struct Ends {
    double pos = 0, neg = 0;
    bool has_pos = false, has_neg = false;
    bool held() const { return has_pos && has_neg; }
    double middle() const { return 0.5 * (pos + neg); }
    bool closed(double x) const { return held() && std::fabs(pos - neg) <= 1e-13 * std::fabs(x); }
    void take(double x, double f) {
        const bool inside = !held() || (x - pos) * (x - neg) < 0.0;
        if (f > 0.0 && (inside || !has_pos)) {
            pos = x;
            has_pos = true;
        } else if (f < 0.0 && (inside || !has_neg)) {
            neg = x;
            has_neg = true;
        }
    }
};

// A root of a P pair found a few digits below the equation's lowest
// temperature t_low (a state of that isotherm) is taken at t_low when the
// property there meets b within the same tolerance: the range check of the
// result would refuse it otherwise.
void at_lowest_temperature(double P, double b, char c2, const double z[20], int kph, double tol,
                           double t_low, double& T, double& D) {
    double d = D;
    int jerr = 0;
    std::string jmsg;
    TPRHO(t_low, P, z, kph, (kph != 0 && std::abs(kph) <= kVapour) ? kStartValue : kNoStartValue, d,
          jerr, jmsg);
    if (jerr > 0) return;
    // (Within the tolerance the iteration stops at, or a hundred times that
    // for a value near zero, where a part in 1e10 of T moves it more.)
    if (std::fabs(b - flash::prop(c2, t_low, d, z)) / std::max(std::fabs(b), 1.0) < 100.0 * tol) {
        T = t_low;
        D = d;
    }
}

// Whether a pure fluid's root (T, D) below its critical temperature lies
// between the saturated densities at T by more than kInsideShare of them.
// Metastable roots lie there too, but a root the density solver reached
// from a start value may be one of the equation's own loops deep inside
// the two-phase region: R1234ze(E)'s at 296.58 K has dP/dD > 0 from 3.6 to
// 5.1 mol/L (saturated 0.77 and 10.7 mol/L), where 3745 kPa met it at
// 4.73 mol/L, and PSFLSH of the liquid at 304.78 K and 3745 kPa failed
// with 248.
constexpr double kInsideShare = 1e-6;
bool between_saturated_phases(double T, double D, const double z[20]) {
    const int icomp = ISPURE(z);
    if (icomp <= 0 || flash::pseudo_pure(icomp) || !(T < CCON.tc[icomp])) return false;
    double ps = 0, dl = 0, dv = 0;
    return satcheb::at_t(icomp, T, ps, dl, dv) && D > dv * (1.0 + kInsideShare) &&
           D < dl * (1.0 - kInsideShare);
}

// (t_floor: the lowest temperature a P pair searches, 0 for none.)
void abfl1_core(bool twin, double a, double b, const double z[20], int kph,
                const std::string& ab_in, double Dmin, double Dmax, double& T, double& P, double& D,
                int& ierr, std::string& herr, double t_floor = 0.0) {
    const std::string ab = ab_in.size() >= 2 ? ab_in.substr(0, 2) : std::string("TH");
    const char c1 = ab[0], c2 = ab[1];
    double Tc = 0, Pc = 0, Dc = 0;
    {
        int cerr = 0;
        std::string cmsg;
        CRITP(z, Tc, Pc, Dc, cerr, cmsg);
    }
    ierr = 0;
    herr.clear();
    if (flash::not_a_number(ab + "FLSH", {a, b}, ierr, herr)) return;
    if (c1 == 'D') {
        DBFL1(a, b, z, ab, T, P, ierr, herr);
        D = a;
        return;
    }
    if (ab == "PD") {
        double p = 0.0;
        DBFL1(b, a, z, "DP", T, p, ierr, herr);
        D = b;
        P = a;
        return;
    }
    P = 0.0;
    const std::string head = ab + "FLSH";
    auto fail248 = [&](double v, double dv) {
        const bool tpair = c1 == 'T';
        fail(248, head,
             std::string("single-phase iteration did not converge, ") +
                 (tpair ? "D, deltaD =" : "T, deltaT =") + fmt_g(v, 12, 5) + fmt_g(dv, 12, 5) +
                 (tpair ? " mol/L." : " K."),
             ierr, herr);
    };
    if (c1 != 'T' && c1 != 'P' && c1 != 'S') {
        fail248(0.0, 0.0);
        return;
    }

    double s_given = 0.0;
    if (c1 == 'T')
        T = a;
    else if (c1 == 'P')
        P = a;
    else
        s_given = a;

    // Density range of a T pair: a zero bound means none.
    double dlo = Dmin, dhi = Dmax;
    if (c1 == 'T') {
        if (!(dlo > 0.0)) dlo = 1e-10;
        if (!(dhi > dlo)) {
            double tmin, tmax, dmax, pmax;
            LIMITS("EOS", z, tmin, tmax, dmax, pmax);
            dhi = dmax > dlo ? dmax : std::max(4.0 * Dc, 10.0 * dlo);
        }
    }
    double s_crit = 0.0;
    if (c1 == 'S' || (twin && c2 == 'S')) ENTRO(Tc, Dc, z, s_crit);

    double xnew = c1 == 'T' ? dlo : std::max(T > 0.0 ? T : Tc, t_floor);
    double x1 = 0, f1 = 0, x2 = 0, f2 = 0;
    Best neg, pos;
    Ends ends;
    bool bracketed = false;
    int kept = 0;  // which bracket end was kept last (Illinois weighting)
    double tol = 1e-8;
    int s_failures = 0;
    // The last two solved states of a P pair: the density of the next solve
    // starts from their straight line over temperature.
    double t_a = 0.0, d_a = 0.0, t_b = 0.0, d_b = 0.0;
    // A P pair may come with a density of its phase in D.
    const double d_in = (c1 == 'P' && std::isfinite(D) && D > 0.0) ? D : 0.0;
    double s_prev = 0.0;
    double t_low = 0.0, t_high = 0.0;  // the temperature range of the equation
    if (c1 == 'P') {
        double dmax = 0.0, pmax = 0.0;
        LIMITS("EOS", z, t_low, t_high, dmax, pmax);
        // (A mixture's range check accepts states some way below: the
        // search reaches them too.)
        if (ISPURE(z) == 0) t_low -= mixture_temperature_allowance(z);
    }
    int outside = 0;  // points in a row outside it
    auto refuse_outside = [&]() {
        double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
        int lerr = 0;
        std::string lmsg;
        LIMITX("EOS", T, D, P, z, tmin, tmax, dmax, pmax, lerr, lmsg);
        if (flash::range_error(head, lerr, lmsg, 4, ierr, herr)) return;
        fail248(T, T - x2);
    };
    int density_failures = 0;                  // density solves that failed with no root bracketed
    int stalled = 0;                           // points in a row no closer to the root
    int repeats = 0;                           // passes in a row that gave the point before
    double lastx = std::nan(""), lastf = 0.0;  // the point evaluated in the pass before

    for (int k = 1; k <= 200; ++k) {
        double xk = xnew;
        if (c1 == 'T') {
            D = xk;
        } else if (c1 == 'P') {
            int jerr = 0;
            std::string jmsg;
            auto solve = [&](double t, bool start) {
                T = t;
                if (start && d_b > 0.0 && kph != 0 && std::abs(kph) <= kVapour) {
                    D = d_b;
                    if (d_a > 0.0 && t_a != t_b) {
                        const double d = d_b + (d_b - d_a) / (t_b - t_a) * (T - t_b);
                        if (d > 0.5 * d_b && d < 2.0 * d_b) D = d;
                    }
                    stable_density(T, P, z, kph, kStartValue, D, jerr, jmsg);
                    // (Between the saturated phases the solve without a
                    // start value decides.)
                    if (jerr <= 0 && !between_saturated_phases(T, D, z)) return;
                }
                stable_density(T, P, z, kph, kNoStartValue, D, jerr, jmsg);
                // Where the phase asked for has no root (above the critical
                // pressure of an equation whose own lies below the stated
                // one, or the other side of its small two-phase region), the
                // other side's root is the state.
                // (Unless that side's iteration is the one that just failed.)
                const int side = tprho_side(T, P, Tc, Pc);
                if (jerr > 0 && (kph == kLiquid || kph == kVapour) &&
                    side != (kph == kLiquid ? -1 : 1)) {
                    double other = 0.0;
                    int oerr = 0;
                    std::string omsg;
                    TPRHO(T, P, z, kph == kLiquid ? -kVapour : -kLiquid, kNoStartValue, other, oerr,
                          omsg);
                    if (oerr <= 0 && other > 0.0) {
                        D = other;
                        jerr = 0;
                        jmsg.clear();
                    }
                }
            };
            if (k == 1 && d_in > 0.0 && kph != 0 && std::abs(kph) <= kVapour) {
                // The caller's density of the phase (a saturated density)
                // starts the first solve.
                T = std::max(xk, 1e-12);
                D = d_in;
                TPRHO(T, P, z, kph, kStartValue, D, jerr, jmsg);
                if (jerr > 0) solve(T, false);
            } else {
                solve(std::max(xk, 1e-12), k > 1);
            }
            if (jerr > 0 && k > 1 && !(neg.seen && pos.seen)) ++density_failures;
            if (density_failures >= 2) {
                // The density cannot be solved on the way to a root not yet
                // bracketed: the property is out of reach along the isobar.
                fail248(T, T - x2);
                return;
            }
            if (jerr > 0) {
                if (k == 1) {
                    solve(300.0, false);
                } else {
                    solve(0.5 * (x1 + x2), false);
                    for (int n = 0; n < 2 && jerr == 203; ++n) solve(1.001 * T, false);
                    if (jerr == 203 && !twin) {
                        double Dl = 0, Dv = 0, xl[20], xv[20];
                        SATP(P, z, kph, T, Dl, Dv, xl, xv, jerr, jmsg);
                        D = (kph == kVapour || kph == -kVapour) ? Dv : Dl;
                    }
                }
            }
            if (jerr > 0) {
                fail(
                    247, head,
                    "density iteration for single-phase state did not converge:  " + cut(jmsg, 172),
                    ierr, herr);
                return;
            }
            if (k == 80 && !twin && P <= Pc) {
                double Dl = 0, Dv = 0, xl[20], xv[20];
                int serr = 0;
                std::string smsg;
                double ts = T;
                SATP(P, z, kph, ts, Dl, Dv, xl, xv, serr, smsg);
                if (serr <= 0 && ts > 0.0) {
                    T = ts;
                    D = (kph == kVapour || kph == -kVapour) ? Dv : Dl;
                    neg = Best{};
                    pos = Best{};
                    bracketed = false;
                }
            }
            // Two points in a row outside the equation's temperature range
            // with no root bracketed: the root lies out there, where the
            // range check of the result refuses it; the state reached is
            // refused the same way now instead of after a long search.
            outside = (T < t_low || T > 1.5 * t_high) ? outside + 1 : 0;
            if (outside >= 2 && !(neg.seen && pos.seen)) return refuse_outside();
            xk = T;
            t_a = t_b;
            d_a = d_b;
            t_b = T;
            d_b = D;
        } else {
            T = std::max(xk, 1e-12);
            double lo = Dmin, hi = Dmax;
            if (T < Tc) {
                double ps = 0, dls = 0, dvs = 0, xl[20], xv[20];
                int serr = 0;
                std::string smsg;
                SATT(T, z, s_given > s_crit ? kDewPoint : kBubblePoint, ps, dls, dvs, xl, xv, serr,
                     smsg);
                if (serr <= 0) {
                    double sl = 0, sv = 0;
                    ENTRO(T, dls, z, sl);
                    ENTRO(T, dvs, z, sv);
                    if (s_given < sl) lo = dls;
                    if (s_given > sv) hi = dvs;
                }
            }
            int jerr = 0;
            std::string jmsg;
            double tt = T, pp = 0;
            if (twin)
                TSFL1(T, s_given, z, lo, hi, D, jerr, jmsg);
            else
                ABFL1X(T, s_given, z, kph, "TS", lo, hi, tt, pp, D, jerr, jmsg);
            if (jerr > 0) {
                ++s_failures;
                xnew = xk * 1.01;
                if (!twin && s_failures > 10) xnew *= 1.1;
                continue;
            }
        }

        const double value = flash::prop(c2, T, D, z);
        const double f = b - value;
        if (!std::isfinite(f)) {
            fail248(xk, 0.0);
            return;
        }
        if (std::fabs(f) / std::max(std::fabs(b), 1.0) < tol) {
            // One more secant step from the last two points: it costs one
            // evaluation and brings the root from the tolerance to full
            // precision; it is kept only when it improves the residual.
            // A correction below 1e-10 of the value is not worth it.
            if (k > 1 && c1 != 'S' && xk != lastx && f != lastf) {
                const double xs = xk - f * (xk - lastx) / (f - lastf);
                const double dx = std::fabs(xs - xk);
                if (std::isfinite(xs) && dx <= 0.01 * std::fabs(xk) && dx > 1e-10 * std::fabs(xk)) {
                    double ts = T, ds = D;
                    int perr = 0;
                    if (c1 == 'T') {
                        ds = xs;
                    } else {
                        ts = xs;
                        std::string pmsg;
                        TPRHO(ts, P, z, kph,
                              (kph != 0 && std::abs(kph) <= kVapour) ? kStartValue : kNoStartValue,
                              ds, perr, pmsg);
                    }
                    if (perr <= 0) {
                        const double fs = b - flash::prop(c2, ts, ds, z);
                        if (std::fabs(fs) <= std::fabs(f)) {
                            T = ts;
                            D = ds;
                        }
                    }
                }
            }
            if (c1 == 'P' && T < t_low && T > (1.0 - 1e-6) * t_low)
                at_lowest_temperature(P, b, c2, z, kph, tol, t_low, T, D);
            // A root that is not stable lies in the two-phase (or solid)
            // region: it is no single-phase state.
            if (!flash::stable(T, D, z, c1 == 'P')) {
                fail(248, head, flash::unstable_root(T, D), ierr, herr);
                return;
            }
            PRESS(T, D, z, P);
            ierr = 0;
            herr.clear();
            return;
        }

        // A point on or beyond an end of the temperature range whose
        // residual, like every one before, points further out (the property
        // rises with the temperature along an isobar): the root lies out
        // there, about where the secant step goes (a root a few digits below
        // the lowest temperature is still taken on it).
        if (c1 == 'P') {
            const double rel = std::fabs(f) / std::max(std::fabs(b), 1.0);
            const bool low = f < 0.0 && !pos.seen &&
                             (T < (1.0 - 1e-6) * t_low || (T <= t_low && rel >= 100.0 * tol));
            const bool high = f > 0.0 && !neg.seen && T >= 1.5 * t_high;
            if (low || high) {
                const double xs =
                    f != lastf && std::isfinite(lastx) ? xk - f * (xk - lastx) / (f - lastf) : xk;
                T = low ? std::min(xs, (1.0 - 1e-6) * t_low)
                        : std::max(xs, 1.5 * t_high * (1.0 + 1e-6));
                return refuse_outside();
            }
        }

        // The same point three times in a row, too far from the root for
        // even the loosest tolerance: the iteration has nowhere left to go.
        repeats = (xk == lastx && f == lastf) ? repeats + 1 : 0;
        if (repeats >= 2 && std::fabs(f) / std::max(std::fabs(b), 1.0) > 1e-5) {
            fail248(xk, 0.0);
            return;
        }
        lastx = xk;
        lastf = f;
        ends.take(xk, f);
        if (ends.closed(xk) && std::fabs(f) / std::max(std::fabs(b), 1.0) > 1e-5) {
            // A bracket closed to the last digits about a step of the
            // function, not about a root.
            fail248(xk, ends.pos - ends.neg);
            return;
        }
        Best& side = f < 0.0 ? neg : pos;
        if (std::fabs(f) < std::fabs(side.r)) {
            side = {xk, f, true};
            stalled = 0;
        } else if (c1 == 'P' && !(neg.seen && pos.seen) && ++stalled >= 10) {
            // Ten points without a root bracketed and none closer than the
            // best before: the property does not reach the value along the
            // isobar (an equation extrapolated far beyond its range may
            // even turn back).
            fail248(xk, xk - x2);
            return;
        }

        if (k == 1) {
            x1 = xk;
            f1 = f;
            if (c1 == 'T') {
                xnew = dhi;
            } else {
                double p, e, h, s, cv, cp, w, hjt;
                THERM(T, D, z, p, e, h, s, cv, cp, w, hjt);
                // Newton's step along the isobar (ds/dT = cp/T for entropy).
                double step = c2 == 'H' ? f / cp : c2 == 'S' ? T * f / cp : f / cv;
                if (!std::isfinite(step)) step = 0.0;
                if (std::fabs(step) < 0.0005 * T) step = step < 0.0 ? -0.0005 * T : 0.0005 * T;
                xnew = x1 + std::clamp(step, -0.25 * xk, 0.25 * xk);
            }
            s_prev = value;
            continue;
        }

        if (bracketed) {
            // Regula falsi: the new point replaces the end on its side; an end
            // kept twice in a row has its residual halved.
            if ((f < 0.0) == (f1 < 0.0)) {
                x1 = xk;
                f1 = f;
                if (kept == 2) f2 *= 0.5;
                kept = 2;
            } else {
                x2 = xk;
                f2 = f;
                if (kept == 1) f1 *= 0.5;
                kept = 1;
            }
        } else if (k == 2) {
            x2 = xk;
            f2 = f;
        } else {
            x1 = x2;
            f1 = f2;
            x2 = xk;
            f2 = f;
        }
        if (std::fabs(f2 - f1) > 1e-12)
            xnew = x2 - (x2 - x1) * f2 / (f2 - f1);
        else
            xnew = x2 + 0.5 * (x2 - x1);

        const double fac = k <= 100 ? 1.01 : 1.0;
        if (neg.seen && pos.seen) {
            const double lo = std::min(neg.v, pos.v), hi = std::max(neg.v, pos.v);
            if (xnew > hi * fac || xnew < lo / fac || !std::isfinite(xnew)) {
                xnew = neg.v - neg.r * (pos.v - neg.v) / (pos.r - neg.r);
                if (!bracketed) kept = 0;
                bracketed = true;
                x1 = neg.v;
                f1 = neg.r;
                x2 = pos.v;
                f2 = pos.r;
            }
        }
        // A root next to a step of the function (an isobar crossing the
        // equation's own small two-phase region beyond the stated critical
        // point jumps from one root to the other) draws the false position
        // along one side for ever: past kFalsiSteps every other step halves
        // the bracket.
        if (ends.held() && k > kFalsiSteps && k % 2 == 0) xnew = ends.middle();
        if (k == 150) tol *= 100.0;
        if (k == 180) tol *= 10.0;

        if (c1 == 'T') {
            if (twin && c2 == 'S' && k >= 6 && s_prev < s_crit && std::fabs(x2 - x1) < 1e-10 &&
                std::fabs(f1) > 1.0)
                xnew = x2 / 10.0;
            if (!std::isfinite(xnew) || std::fabs(xnew) > 1e5) {
                fail248(xk, xnew - xk);
                return;
            }
            // Keep the density inside its range.
            if (xnew > 1.02 * dhi) {
                const double m = std::min(x1, x2);
                xnew = 0.5 * (dhi + std::min(m, dhi));
            } else if (xnew < 0.98 * dlo) {
                const double m = std::max(x1, x2);
                xnew = 0.5 * (dlo + std::max(m, dlo));
            }
        } else {
            if (!std::isfinite(xnew)) xnew = xk;
            xnew = std::max(std::clamp(xnew, 0.75 * xk, 1.25 * xk), t_floor);
            // Not past an end of the temperature range before a point on it
            // (no root bracketed): far beyond, the density solver finds no
            // root, and the end tells on which side the root lies.
            if (!(neg.seen && pos.seen)) {
                if (xnew < t_low && xk > t_low) xnew = t_low;
                if (xnew > 1.5 * t_high && xk < 1.5 * t_high) xnew = 1.5 * t_high;
            }
        }
        s_prev = value;
    }
    fail248(xnew, xnew - x2);
}

}  // namespace

namespace {

// The lowest temperature of the fluid at P of a pure fluid with a melting
// line when (T, P) lies beyond that line, in its solid region (or below the
// triple point); 0 otherwise.  The range check takes a state for solid when
// its pressure exceeds the melting pressure by more than 0.05 %.
constexpr double kMeltingMargin = 0.9995;
double melting_temperature_below(double T, double P, const double z[20]) {
    const int icomp = ISPURE(z);
    if (icomp == 0 || MELTMOD.slot[icomp].is("QVB") || !(kMeltingMargin * P > CCON.ptp[icomp]) ||
        !(T > 0.0))
        return 0.0;
    // (Above its upper limit a line is not known: no solid region to leave.)
    const double tline = melting_line_tmax(icomp);
    if (tline > 0.0 && T > tline) return 0.0;
    int jerr = 0;
    std::string jmsg;
    double pm = 0.0, tm = 0.0;
    if (T >= CCON.ttp[icomp]) {
        MELTT(T, z, pm, jerr, jmsg);
        if (jerr != 0 || !(pm < kMeltingMargin * P)) return 0.0;
    }
    MELTP(kMeltingMargin * P, z, tm, jerr, jmsg);
    return jerr == 0 && tm > T ? tm : 0.0;
}

}  // namespace

void ABFL1(double a, double b, const double z[20], int kph, const std::string& ab, double Dmin,
           double Dmax, double& T, double& P, double& D, int& ierr, std::string& herr) {
    const double t0 = T;
    abfl1_core(false, a, b, z, kph, ab, Dmin, Dmax, T, P, D, ierr, herr);
    // At given pressure an equation extrapolated into the solid region can
    // reach the property a second time there (hydrogen above 660 MPa): a root
    // beyond the melting line, or a search that failed or ran below the
    // equation's lowest temperature, is searched again above the melting
    // temperature at P.
    if (ab.size() < 2 || ab[0] != 'P') return;
    // (A root beyond the melting line is denser than the triple point's
    // liquid; thinner roots need no test.)
    const int icomp = ISPURE(z);
    if (ierr <= 0 && icomp > 0 && !(D > CCON.dtp[icomp]) && T >= CCON.ttp[icomp]) return;
    const double tm = melting_temperature_below(T, a, z);
    if (!(tm > 0.0)) return;
    T = std::max(t0, tm);
    abfl1_core(false, a, b, z, kph, ab, Dmin, Dmax, T, P, D, ierr, herr, tm);
}

void ABFL1X(double a, double b, const double z[20], int kph, const std::string& ab, double Dmin,
            double Dmax, double& T, double& P, double& D, int& ierr, std::string& herr) {
    abfl1_core(true, a, b, z, kph, ab, Dmin, Dmax, T, P, D, ierr, herr);
}

}  // namespace lib
