// The Raoult roads of SATT and SATP for a mixture.  Newton's method
// (SATTP) answers nearly always; where it fails, Raoult's law gives a start
// for successive substitution on the incipient phase's composition with a
// secant iteration on the pressure (SATT) or temperature (SATP).
#include "library/phase/satmixroad.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/phik.h"
#include "library/phase/dens.h"
#include "library/phase/flashutil.h"
#include "library/phase/mixest.h"
#include "library/phase/satgv.h"
#include "library/phase/satmarch.h"
#include "library/phase/sattp.h"
#include "library/phase/stability.h"
#include "library/setup/records.h"

namespace lib {
namespace {

using flash::cut;

int components() { return std::min(NCOMP.nc, kMaxComp); }

// An advisory of the mixture road: a usable state with a warning.
void advise(const char* routine, int n, const std::string& text, int& ierr, std::string& herr) {
    fail(n, errtext(routine, "advisory", std::to_string(n), text), ierr, herr);
}

// Density evaluations a road may spend before it gives up.  Where it is the
// only road (Newton's method needs composition derivatives the mixing rule
// does not have) it may take long; after Newton's method has failed it is a
// last attempt, and a state without a solution must not cost thousands.
constexpr int kOnlyRoadBudget = 3000;
constexpr int kLastAttemptBudget = 120;
int budget = 0;
int road_budget() { return FLAGS2.sat_status == 1 ? kOnlyRoadBudget : kLastAttemptBudget; }

// The least charge of a search for a density pair (DLDV), and the
// evaluations of the equations one density costs on average (50-300 for a
// wet gas): the search is charged the densities its evaluations are worth
// beyond that least charge.
constexpr int kDensityPairCharge = 20;
constexpr unsigned long long kEvaluationsPerDensity = 100;
int extra_charge(unsigned long long evaluations) {
    const unsigned long long densities = evaluations / kEvaluationsPerDensity;
    return densities > kDensityPairCharge ? static_cast<int>(densities - kDensityPairCharge) : 0;
}

// Where Newton's method from the estimates has failed, the point is sought
// along its line (satmarch.h) above these shares of the estimated critical
// temperature (SATT) or pressure (SATP): the estimate lies some 3 % off the
// true point (R410A: 353.7 K and 5.91 MPa, the true 344.5 K and 4.90 MPa).
constexpr double kNearCriticalT = 0.85;
constexpr double kNearCriticalP = 0.5;

// Density of one phase at (T, P), quietly; false when it fails or the
// budget of the road is spent.
bool density(double T, double P, const double c[20], int kph, double& D, std::string& msg) {
    if (--budget < 0) {
        msg = "no convergence within the road's budget of density evaluations";
        return false;
    }
    flash::QuietMessages quiet;
    int jerr = 0;
    double d = D;
    TPRHO(T, P, c, kph, d > 0.0 ? kStartValue : kNoStartValue, d, jerr, msg);
    if (jerr > 0 || !(d > 0.0) || !std::isfinite(d)) return false;
    D = d;
    return true;
}

// Fugacities of every component at (T, D, c); false when one cannot be
// computed.
bool fugacities(double T, double D, const double c[20], double f[20]) {
    int jerr = 0;
    std::string jmsg;
    FGCTY2(T, D, c, f, jerr, jmsg);
    if (jerr > 0) return false;
    for (int i = 0; i < components(); ++i)
        if (!std::isfinite(f[i]) || f[i] == kMarker7) return false;
    return true;
}

// Newton's method first: with the tracing switch set, a failure of its own
// comes back here instead of being handed to this road again.
bool newton(double& T, double& P, const double x[20], int k, int kguess, double& Dl, double& Dv,
            double xl[20], double xv[20]) {
    if (FLAGS2.sat_status == 1) return false;
    double t = T, p = P, dl = Dl, dv = Dv, l[20], v[20], D = 0, q = 0;
    flash::copy20(xl, l);
    flash::copy20(xv, v);
    int jerr = 0;
    std::string jmsg;
    {
        mix::SwitchGuard own_failure(FLAGS2.spline_status, 1);
        SATTP(t, p, x, k, kguess, D, dl, dv, l, v, q, jerr, jmsg);
    }
    if (jerr != 0) return false;
    T = t;
    P = p;
    Dl = dl;
    Dv = dv;
    flash::copy20(l, xl);
    flash::copy20(v, xv);
    return true;
}

// One pass of successive substitution at (T, P): the incipient composition
// y <- y f_parent / f_incipient.  Sum S of the new fractions before
// normalising.
enum class Update { ok, trivial, fatal };
Update substitute(const double x[20], const double fpar[20], const double finc[20], double y[20],
                  double& S, double& change, bool keep_small) {
    double yn[20] = {};
    S = 0.0;
    for (int i = 0; i < components(); ++i) {
        if (!(x[i] > 0.0)) continue;
        if (finc[i] <= 1e-20 || fpar[i] <= 0.0) {
            if (!keep_small) return Update::trivial;
            yn[i] = y[i] + 1e-4;
        } else {
            yn[i] = fpar[i] * y[i] / finc[i];
        }
        S += yn[i];
    }
    if (!(S > 0.0) || S > 1e6 || !std::isfinite(S)) return Update::fatal;
    change = 0.0;
    for (int i = 0; i < components(); ++i) {
        yn[i] /= S;
        change += std::fabs(yn[i] - y[i]);
        y[i] = yn[i];
    }
    return Update::ok;
}

// The two last residuals of each sign of a secant iteration.
// The phases of a Raoult-road result: the feed x (density dpar) is the
// liquid of a bubble point and the vapour of a dew point; y (density dinc)
// the incipient phase.
void assign_phases(bool bubble, double dpar, double dinc, const double* x, const double* y,
                   double& Dl, double& Dv, double* xl, double* xv) {
    Dl = bubble ? dpar : dinc;
    Dv = bubble ? dinc : dpar;
    flash::copy20(bubble ? x : y, xl);
    flash::copy20(bubble ? y : x, xv);
}

struct Bracket {
    double lo = 0, rlo = 0, hi = 0, rhi = 0;
    bool neg = false, pos = false;
    void add(double v, double r) {
        if (r < 0.0) {
            lo = v;
            rlo = r;
            neg = true;
        } else {
            hi = v;
            rhi = r;
            pos = true;
        }
    }
    bool both() const { return neg && pos; }
    double falsi() const { return lo - rlo * (hi - lo) / (rhi - rlo); }
};

std::string temperature_text(double T) {
    return "iteration for saturation state did not converge; T =" + fmt_g(T, 12, 5) + " K.";
}

// SATT's road: the pressure at given T.
class PressureRoad {
public:
    PressureRoad(double T, const double x[20], int kph, const MixtureSaturation& m, double& P,
                 double& Dl, double& Dv, double xl[20], double xv[20], int& ierr, std::string& herr)
        : T(T),
          x(x),
          kph(kph),
          m(m),
          P(P),
          Dl(Dl),
          Dv(Dv),
          xl(xl),
          xv(xv),
          ierr(ierr),
          herr(herr) {}

    void run() {
        bubble = kph == kBubblePoint;
        if (solved_by_newton()) {
            if (!mix::not_this_line(Dl, Dv, xl, xv)) return;
            // (Newton's method from the estimates fell onto the other line
            // or the trivial solution: along the line from below.)
            if (marched() && !mix::not_this_line(Dl, Dv, xl, xv)) return;
        }
        budget = road_budget();
        start();
        if (iterate()) {
            results();
            collapse_check();
            if (ierr <= 0) refuse_other_line();
            return;
        }
        give_up();
    }

private:
    const double T;
    const double* x;
    const int kph;
    const MixtureSaturation& m;
    double& P;
    double& Dl;
    double& Dv;
    double* xl;
    double* xv;
    int& ierr;
    std::string& herr;

    bool bubble = true;
    double y[20] = {}, yr[20] = {};
    double dpar = 0, dinc = 0;
    double c1 = 1, c2 = 1;
    int dldv_tries = 0, events = 0, unusable = 0;
    double w = 0.0;

    bool solved_by_newton() {
        double t = T;
        if (!newton(t, P, x, kph, m.guess ? 1 : 0, Dl, Dv, xl, xv) && !marched()) return false;
        if (bubble || !(Dl < 0.8 * Dv)) return true;
        // A liquid lighter than the vapour: the state at vapour fraction 1.
        double tt = T, pp = P, dl = Dl, dv = Dv, l[20], v[20];
        flash::copy20(xl, l);
        flash::copy20(xv, v);
        int jerr = 0;
        std::string jmsg;
        SATGV(tt, pp, x, 1.0, 0.0, kPressureForm, kGivenTemperature, 0, dl, dv, l, v, jerr, jmsg);
        if (jerr != 0) return false;
        P = pp;
        Dl = dl;
        Dv = dv;
        flash::copy20(l, xl);
        flash::copy20(v, xv);
        return true;
    }

    // Close to the critical point, the point reached along the line from
    // below (satmarch.h).
    bool marched() {
        if (FLAGS2.sat_status == 1 || !(T >= kNearCriticalT * m.Tc)) return false;
        double t = T;
        return mix::saturation_by_march(kph, x, T, t, P, Dl, Dv, xl, xv);
    }

    void start() {
        const double pin = P;
        int jerr = 0;
        std::string jmsg;
        SATTEST(T, x, kph, P, y, jerr, jmsg);
        if (P > m.Pc) P = 0.99 * m.Pc;
        flash::copy20(y, yr);
        if (m.guess) {
            P = pin;
            flash::copy20(bubble ? xv : xl, y);
            dpar = bubble ? Dl : Dv;
            dinc = bubble ? Dv : Dl;
        } else {
            dpar = dinc = 0.0;
        }
        c1 = bubble ? 1.02 : 0.98;
        c2 = bubble ? 1.05 : 0.95;
    }

    int parent() const { return bubble ? kLiquid : kVapour; }
    int incipient() const { return bubble ? kVapour : kLiquid; }

    // A liquid and a vapour density of equal pressure for the parent phase.
    bool renew_parent(std::string& msg) {
        // The search of a density pair costs at least a score of densities;
        // it is charged what it took (one that fails costs 1,000-10,000
        // evaluations of the equations, up to a hundred densities).
        budget -= kDensityPairCharge;
        if (budget < 0) return false;
        double p = P, dl = 0, dv = 0;
        int jerr = 0;
        const unsigned long long before = EOS_EVALUATIONS;
        DLDV(T, p, dl, dv, bubble ? x : y, bubble ? y : x, jerr, msg);
        budget -= extra_charge(EOS_EVALUATIONS - before);
        if (jerr != 0 || !(p > 0.0)) return false;
        P = p;
        dpar = bubble ? dl : dv;
        return dpar > 0.0;
    }

    bool parent_density(int pass, std::string& msg) {
        double d = dpar;
        if (--budget < 0) return false;
        {
            flash::QuietMessages quiet;
            int jerr = 0;
            TPRHO(T, P, x, -parent(), d > 0.0 ? kStartValue : kNoStartValue, d, jerr, msg);
            if (jerr > 0 || !(d > 0.0)) return false;
        }
        if (bubble && (d < 0.5 * m.Dc || (pass == 1 && !m.guess && d < 1.2 * m.Dc))) return false;
        dpar = d;
        return true;
    }

    // The composition loop at the pass's pressure.  Returns 1 converged, 0
    // not converged in 50 passes (last_change the sum of the last pass's
    // composition changes), -1 abandoned (next pressure), -2 fatal.
    double last_change = 0.0;
    int compositions(int pass, double tol, double fpar[20], double& S) {
        last_change = 0.0;
        double change_prev = 1e10;
        std::string msg;
        for (int cp = 1; cp <= 50; ++cp) {
            bool ok = density(T, P, y, incipient(), dinc, msg);
            if (ok && cp > 1 && std::fabs(dinc - m.Dc) < 1.0 && std::fabs(dpar - m.Dc) > 10.0) {
                double d = 0.5 * dinc;
                std::string m2;
                if (density(T, P, y, incipient(), d, m2) && std::fabs(d - dpar) >= 0.1) dinc = d;
            }
            const bool trivial = !ok || std::fabs(dinc - dpar) < 0.1;
            double finc[20] = {};
            Update u = Update::trivial;
            if (!trivial && fugacities(T, dinc, y, finc)) {
                double change = 0.0;
                double yold[20];
                flash::copy20(y, yold);
                u = substitute(x, fpar, finc, y, S, change, false);
                last_change = change;
                if (u == Update::fatal) return -2;
                if (u == Update::trivial && ++unusable > 9) return -2;
                if (u == Update::ok) {
                    if (cp % 10 == 0)
                        for (int i = 0; i < 20; ++i) y[i] = 0.5 * (y[i] + yold[i]);
                    if (change < tol || std::fabs(change - change_prev) < 100.0 * tol) return 1;
                    change_prev = change;
                    continue;
                }
            }
            // A failed or trivial incipient phase: the composition moved
            // toward the feed (for very different components) and the parent
            // phase renewed, a limited number of times.
            if (events < 14) {
                ++events;
                if (ok && std::fabs(CCON.tc[1] - CCON.tc[2]) > 100.0) {
                    w += 0.2;
                    for (int i = 0; i < 20; ++i) y[i] = (x[i] * w + yr[i]) / (w + 1.0);
                }
                std::string m2;
                if (renew_parent(m2) && fugacities(T, dpar, x, fpar)) {
                    if (std::fabs(fpar[0]) > 1e10) return -2;
                    continue;
                }
            }
            advise("SATT", -126,
                   "density iteration in saturation routine did not converge for composition "
                   "iteration" +
                       fmt_int(pass, 3) + "; " + cut(msg, 120),
                   ierr, herr);
            flash::copy20(yr, y);
            P /= c1;
            return -1;
        }
        return 0;
    }

    bool iterate() {
        double tol = 1e-8;
        Bracket br;
        double pprev = 0, rprev = 0;
        bool have_prev = false;
        for (int pass = 1; pass <= 25; ++pass) {
            if (pass == 8 || pass == 12 || pass == 15) tol *= 10.0;
            std::string msg;
            if (!parent_density(pass, msg)) {
                bool renewed = false;
                if (dldv_tries < 5) {
                    ++dldv_tries;
                    renewed = renew_parent(msg);
                }
                if (!renewed) {
                    advise("SATT", -125,
                           "density iteration in saturation routine did not converge for "
                           "pressure iteration" +
                               fmt_int(pass, 3) + "; " + cut(msg, 120),
                           ierr, herr);
                    P *= c2;
                    continue;
                }
            }
            double fpar[20] = {};
            if (!fugacities(T, dpar, x, fpar)) return false;
            double S = 1.0;
            const int c = compositions(pass, tol, fpar, S);
            if (c == -2) return false;
            if (c == -1) continue;
            if (c == 0)
                advise("SATT", -127,
                       "iteration for composition in saturation routine did not converge; T =" +
                           fmt_g(T, 12, 5) + " K; deltaX =" + fmt_g(last_change, 12, 5) +
                           " mol frac.",
                       ierr, herr);
            double dpdt = 0.0;
            DPDT(T, dpar, x, dpdt);
            if (!(dpdt > 0.0)) return false;
            const double r = 1.0 - S;
            if (std::fabs(r) < tol && c == 1) {
                ierr = 0;
                herr.clear();
                return true;
            }
            if (c == 1) br.add(P, r);
            double pn = 0.0;
            if (!have_prev) {
                const double s = std::min(S, 5.0);
                pn = bubble ? s * P : P / s;
            } else if (std::fabs(r - rprev) > 1e-12) {
                pn = P - (P - pprev) * r / (r - rprev);
            } else {
                pn = bubble ? std::min(S, 5.0) * P : P / std::min(S, 5.0);
            }
            if (br.both()) {
                const double up = std::max(br.lo, br.hi), dn = std::min(br.lo, br.hi);
                if (pn > 1.001 * up || pn < 0.99 * dn) pn = br.falsi();
            }
            if (!(pn > 0.0) || !std::isfinite(pn)) pn = 0.5 * P;
            pprev = P;
            rprev = r;
            have_prev = true;
            P = pn;
        }
        return false;
    }

    void results() { assign_phases(bubble, dpar, dinc, x, y, Dl, Dv, xl, xv); }

    // A solution that collapsed onto the feed is the critical point.
    void collapse_check() {
        if (!(0.99 * Dl < Dv) || !(std::fabs(xl[0] - xv[0]) < 0.1)) return;
        P = m.Pc;
        Dl = Dv = m.Dc;
        if (T < m.Tc) {
            fail(128, "SATT", temperature_text(T), ierr, herr);
            return;
        }
        fail(121, "SATT",
             "temperature input to saturation routine is greater than critical temperature; T =" +
                 fmt_g(T, 12, 5) + " K, Tcrit =" + fmt_g(m.Tc, 12, 5) + " K.",
             ierr, herr);
    }

    void give_up() {
        results();
        refuse();
    }

    void refuse() {
        fail(128, "SATT", temperature_text(T), ierr, herr);
        P = m.Pc;
        Dl = Dv = m.Dc;
    }

    // The other line's point found in place of this one's, by Newton's
    // method (then the road is tried) or the road (beyond the critical
    // point: R470A's bubble point at 352.88 K, 5.2 K above its estimated
    // critical temperature, was the dew point of 4.37 MPa, a "liquid" of
    // 2.90 beside a "vapour" of 8.33 mol/L; R412A's dew point at 379.61 K
    // the bubble point, the vapour 6.55 beside 4.49 mol/L): no point of
    // this line.
    void refuse_other_line() {
        if (mix::not_this_line(Dl, Dv, xl, xv)) refuse();
    }
};

// SATP's road: the temperature at given P.
class TemperatureRoad {
public:
    TemperatureRoad(double P, const double x[20], int kph, const MixtureSaturation& m, double& T,
                    double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
                    std::string& herr)
        : P(P),
          x(x),
          kph(kph),
          m(m),
          T(T),
          Dl(Dl),
          Dv(Dv),
          xl(xl),
          xv(xv),
          ierr(ierr),
          herr(herr) {}

    void run() {
        bubble = kph == kBubblePoint;
        double p = P;
        const double t_in = T;
        if (newton(T, p, x, kph + 2, 0, Dl, Dv, xl, xv) && phases_in_order()) return;
        T = t_in;
        if (marched() && phases_in_order()) return;
        T = t_in;
        budget = road_budget();
        start();
        const bool found = starting_densities() && iterate();
        results();
        if (!found) {
            fail(148, "SATP", not_converged(), ierr, herr);
            return;
        }
        final_tests();
    }

private:
    const double P;
    const double* x;
    const int kph;
    const MixtureSaturation& m;
    double& T;
    double& Dl;
    double& Dv;
    double* xl;
    double* xv;
    int& ierr;
    std::string& herr;

    bool bubble = true;
    double y[20] = {}, yr[20] = {};
    double dpar = 0, dinc = 0;
    double c1 = 1, c2 = 1;

    int parent() const { return bubble ? kLiquid : kVapour; }
    int incipient() const { return bubble ? kVapour : kLiquid; }

    // Close to the critical point, the point reached along the line from
    // lower pressures (satmarch.h).
    bool marched() {
        if (FLAGS2.sat_status == 1 || !(P >= kNearCriticalP * m.Pc)) return false;
        double p = P;
        return mix::saturation_by_march(kph + 2, x, P, T, p, Dl, Dv, xl, xv);
    }

    std::string not_converged() const {
        return "iteration for saturation state did not converge; P =" + fmt_g(P / 1000.0, 12, 5) +
               " MPa.";
    }

    // Whether Newton's method ended on a point of the kind asked for: not
    // the other kind's with its phases the other way round (carbon dioxide
    // + R227ea 50/50 at 5.36 MPa: the dew point's iteration ended on the
    // bubble point at 342.02 K, the feed as the denser phase), nor, far
    // below the critical temperature, two liquids (acetone + R113 at 3.69
    // MPa: 196.0 K, 11.4 beside 11.9 mol/L, where the bubble point lies at
    // 482.7 K; R124 + RC318 at 2.62 MPa, a dew point at 195.3 K).
    bool phases_in_order() const {
        // (Two liquids: a vapour more than half as dense as the liquid far
        // below the critical temperature.)
        const bool liquids =
            std::min(Dl, Dv) > kLiquidShare * std::max(Dl, Dv) && T < kFarBelow * m.Tc;
        if (liquids || mix::not_this_line(Dl, Dv, xl, xv)) return false;
        return parent_is_stable_root();
    }

    // Whether the feed's phase at the point is the feed's root of lowest
    // Gibbs energy at (T, P), as at every saturation point: a dew point's
    // iteration ended on vapour roots of a feed that is a liquid there
    // (nonane + o-xylene at 2.55 MPa: 493.1 K, 2.1 beside the liquid's 6.5
    // mol/L).
    bool parent_is_stable_root() const {
        double D = 0.0;
        bool liquid_like = false;
        flash::QuietMessages quiet;
        if (!mix::stable_root(T, P, x, D, liquid_like)) return true;
        const double parent = bubble ? Dl : Dv;
        return std::fabs(D / parent - 1.0) < kSameRoot;
    }
    static constexpr double kLiquidShare = 0.5;
    static constexpr double kFarBelow = 0.8;
    static constexpr double kSameRoot = 0.2;

    void start() {
        int jerr = 0;
        std::string jmsg;
        SATPEST(P, x, kph, T, y, jerr, jmsg);
        if (jerr != 0) {
            ierr = jerr;
            herr = jmsg;
        }
        if (!(T > 0.0) || T > 0.998 * m.Tc) T = 0.998 * m.Tc;
        if (FLAGS2.ammonia_water != 0) T *= 1.05;
        flash::copy20(y, yr);
        c1 = bubble ? 0.998 : 1.002;
        c2 = bubble ? 0.995 : 1.005;
    }

    // Both phases must exist at the start temperature.
    bool starting_densities() {
        for (int pass = 1; pass <= 100; ++pass) {
            std::string msg;
            dpar = dinc = 0.0;
            const bool par = density(T, P, x, parent(), dpar, msg);
            const bool inc = par && density(T, P, y, incipient(), dinc, msg);
            if (par && inc) return true;
            if (!par)
                advise("SATP", -145,
                       "density iteration in saturation routine did not converge for the parent "
                       "phase; " +
                           cut(msg, 120),
                       ierr, herr);
            else
                advise("SATP", -146,
                       "density iteration in saturation routine did not converge for the "
                       "incipient phase; " +
                           cut(msg, 120),
                       ierr, herr);
            const bool liquid = par ? !bubble : bubble;
            T *= (T > 0.8 * m.Tc && liquid) ? 0.995 : 1.005;
        }
        return false;
    }

    bool iterate() {
        Bracket br;
        double tprev = 0, rprev = 0;
        bool have_prev = false;
        for (int pass = 1; pass <= 100; ++pass) {
            if (pass >= 40 && pass % 10 == 0) {
                c1 *= c1;
                c2 *= c2;
            }
            std::string msg;
            if (!density(T, P, x, parent(), dpar, msg)) {
                advise("SATP", -145,
                       "density iteration in saturation routine did not converge for temperature "
                       "iteration" +
                           fmt_int(pass, 3) + "; " + cut(msg, 120),
                       ierr, herr);
                T *= c2;
                continue;
            }
            if (pass > 1 && std::fabs(dpar - m.Dc) < 1.0 && std::fabs(dinc - m.Dc) > 4.0) {
                double d = 1.5 * dpar;
                std::string m2;
                if (density(T, P, x, parent(), d, m2)) dpar = d;
            }
            if (m.dmax > 0.0 && dpar > 1.1 * m.dmax) dpar = m.dmax;
            double fpar[20] = {};
            if (!fugacities(T, dpar, x, fpar)) return false;
            double S = 1.0;
            bool converged = false, abandoned = false;
            int dense = 0;
            double change = 0.0;
            for (int cp = 1; cp <= 200; ++cp) {
                const bool ok = density(T, P, y, incipient(), dinc, msg);
                if (!ok || std::fabs(dinc - dpar) < 0.01 || (!bubble && dinc < 0.01)) {
                    advise("SATP", -146,
                           "density iteration in saturation routine did not converge for "
                           "composition iteration" +
                               fmt_int(pass, 3) + "; " + cut(msg, 120),
                           ierr, herr);
                    flash::copy20(yr, y);
                    T /= c1;
                    abandoned = true;
                    break;
                }
                if (m.dmax > 0.0 && dinc > 1.2 * m.dmax) {
                    dinc = m.dmax;
                    if (++dense > 10) break;
                }
                double finc[20] = {};
                if (!fugacities(T, dinc, y, finc)) return false;
                const Update u = substitute(x, fpar, finc, y, S, change, true);
                if (u == Update::fatal) return false;
                if (change < 1e-6) {
                    converged = true;
                    break;
                }
            }
            if (abandoned) continue;
            if (!converged && dense <= 10)
                advise("SATP", -147,
                       "iteration for composition in saturation routine did not converge; P =" +
                           fmt_g(P / 1000.0, 12, 5) + " MPa; deltaX =" + fmt_g(change, 12, 5) +
                           " mol frac.",
                       ierr, herr);
            const double r = 1.0 - S;
            if (std::fabs(r) < 1e-6 && converged) {
                ierr = 0;
                herr.clear();
                return true;
            }
            // The residual falls as the temperature rises.
            if (converged) br.add(T, -r);
            double tn = 0.0;
            if (!have_prev) {
                const double c = 1.0 + 0.1 * (S - 1.0);
                tn = bubble ? T / c : c * T;
            } else if (std::fabs(r - rprev) >= 1e-10) {
                tn = T - (T - tprev) * r / (r - rprev);
            } else {
                tn = 0.5 * (T + tprev);
            }
            if (br.both()) {
                const double up = std::max(br.lo, br.hi), dn = std::min(br.lo, br.hi);
                if (tn > up || tn < dn) tn = br.falsi();
            }
            if (!(tn > 0.0)) tn = 0.95 * T;
            if (tn > 1.5 * m.Tc) tn = 1.05 * T;
            tprev = T;
            rprev = r;
            have_prev = true;
            T = tn;
        }
        return false;
    }

    void results() { assign_phases(bubble, dpar, dinc, x, y, Dl, Dv, xl, xv); }

    // A state with a phase on the unstable branch, or with both phases on
    // one side of the critical density, is no saturation state.
    void final_tests() {
        double d1 = 0, d2 = 0;
        DPDD(T, Dl, xl, d1);
        DPDD(T, Dv, xv, d2);
        bool bad = d1 > 1e6 || d2 > 1e6;
        const bool same_side = (Dl > m.Dc && Dv > m.Dc) || (Dl < m.Dc && Dv < m.Dc);
        if (same_side && !(bubble && P >= 0.95 * m.Pc)) bad = true;
        if (bad || !phases_in_order()) fail(148, "SATP", not_converged(), ierr, herr);
    }
};

}  // namespace

void pressure_road(double T, const double x[20], int kph, const MixtureSaturation& m, double& P,
                   double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
                   std::string& herr) {
    PressureRoad(T, x, kph, m, P, Dl, Dv, xl, xv, ierr, herr).run();
}

void temperature_road(double P, const double x[20], int kph, const MixtureSaturation& m, double& T,
                      double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
                      std::string& herr) {
    TemperatureRoad(P, x, kph, m, T, Dl, Dv, xl, xv, ierr, herr).run();
}

}  // namespace lib
