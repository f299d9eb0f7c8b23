// TPFL2: the split of a mixture into two phases at given temperature and
// pressure.  Newton's method of SATTP from the start values given (then from
// its own estimate); where it fails, successive substitution on the vapour
// composition with a secant iteration on the liquid fraction.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/mixflash.h"
#include "library/phase/sattp.h"
#include "library/phase/tpfl2trace.h"
#include "library/phase/tpflsh.h"
#include "library/phase/tracenewton.h"
#include "library/setup/records.h"

namespace lib {
namespace {

using flash::cut;

int components() { return std::min(NCOMP.nc, kMaxComp); }

void normalise(double v[20]) {
    double s = 0.0;
    for (int i = 0; i < components(); ++i) s += v[i];
    if (s > 0.0)
        for (int i = 0; i < components(); ++i) v[i] /= s;
}

// Newton's method from the start given, then from the estimate; a failure
// of its own comes back here (the successive substitution follows).
bool newton(double T, double P, const double z[20], double& Dl, double& Dv, double x[20],
            double y[20], double& q) {
    if (FLAGS2.sat_status == 1) return false;
    mix::SwitchGuard own_failure(FLAGS2.spline_status, 1);
    for (int kguess : {1, 0}) {
        double t = T, p = P, D = 0, dl = Dl, dv = Dv, l[20], v[20], qq = 0;
        flash::copy20(x, l);
        flash::copy20(y, v);
        int jerr = 0;
        std::string jmsg;
        SATTP(t, p, z, kSplitAtTP, kguess, D, dl, dv, l, v, qq, jerr, jmsg);
        if (jerr != 0) continue;
        Dl = dl;
        Dv = dv;
        flash::copy20(l, x);
        flash::copy20(v, y);
        q = qq;
        return true;
    }
    return false;
}

// The largest change of a vapour fraction that moving it back towards its
// start could still make.
constexpr double kAtStart = 1e-9;

// Successive substitution.
class Substitution {
public:
    Substitution(double T, double P, const double z[20], double& Dl, double& Dv, double x[20],
                 double y[20], double& q, int& ierr, std::string& herr)
        : T(T), P(P), z(z), Dl(Dl), Dv(Dv), x(x), y(y), q(q), ierr(ierr), herr(herr) {}

    void run() {
        L = 1.0 - q;
        if (!(L >= 0.0 && L <= 1.0)) L = 0.5;
        flash::copy20(y, y0);
        double tol = 1e-9, step = 0.01, sign = 1.0;
        bool inner_failed = false;
        for (int pass = 1; pass <= 80; ++pass) {
            if (pass == 12 || pass == 24 || pass == 50) tol *= 100.0;
            int jerr = 0;
            std::string jmsg;
            if (!liquid_density(jerr, jmsg)) {
                // The liquid composition is moved a little, to and fro.
                if (!perturb(step, sign)) {
                    q = 1.0 - L;
                    fail(216, "TPFLSH",
                         "liquid density iteration for 2-phase state did not converge:  " +
                             cut(jmsg, 170),
                         ierr, herr);
                    return;
                }
                step += 0.01;
                sign = -sign;
                continue;
            }
            double fl[20] = {}, fv[20] = {};
            FGCTY2(T, Dl, x, fl, jerr, jmsg);
            double dv = Dv;
            {
                flash::QuietMessages quiet;
                TPRHO(T, P, y, kVapour, dv > 0.0 ? kStartValue : kNoStartValue, dv, jerr, jmsg);
            }
            if (jerr > 0 || !(dv > 0.0)) {
                // (A vapour at its start already has nowhere to be moved
                // back to: each pass would repeat the same failure.  Groningen
                // gas at 90 K, 2.2 MPa, a liquid whose 0.9 % of carbon
                // dioxide freezes out, spent 210,000 evaluations on 310 such
                // vapour roots.)
                if (at_start()) {
                    q = 1.0 - L;
                    outer_failed();
                    return;
                }
                for (int i = 0; i < 20; ++i) y[i] = 0.8 * y[i] + 0.2 * y0[i];
                step = 0.01;
                sign = 1.0;
                continue;
            }
            Dv = dv;
            FGCTY2(T, Dv, y, fv, jerr, jmsg);
            for (int i = 0; i < components(); ++i) {
                if (!(z[i] > 0.0)) continue;
                if (fl[i] == kMarker7 || fv[i] == kMarker7 || !std::isfinite(fl[i] + fv[i])) {
                    q = 1.0 - L;
                    outer_failed();
                    return;
                }
            }
            double K[20] = {}, xprev[20];
            for (int i = 0; i < components(); ++i)
                K[i] = (z[i] > 0.0 && x[i] > 0.0 && fv[i] != 0.0) ? fl[i] * y[i] / (x[i] * fv[i])
                                                                  : 0.0;
            flash::copy20(x, xprev);
            if (!liquid_fraction(K, tol)) inner_failed = true;
            double sum = 0.0;
            for (int i = 0; i < components(); ++i) {
                if (fv[i] != 0.0) y[i] *= fl[i] / fv[i];
                sum += y[i];
            }
            const double c = std::fabs(1.0 - sum);
            normalise(y);
            if (c < tol && pass > 1) {
                q = 1.0 - L;
                if (inner_failed)
                    fail(218, "TPFLSH",
                         "inner iteration loop for liquid fraction in 2-phase state did not "
                         "converge:  ",
                         ierr, herr);
                return;
            }
            if (pass % 10 == 0) {
                for (int i = 0; i < 20; ++i) {
                    x[i] = 0.5 * (x[i] + xprev[i]);
                    y[i] = 0.5 * (y[i] + y0[i]);
                }
            }
            step = 0.01;
            sign = 1.0;
        }
        q = 1.0 - L;
        outer_failed();
    }

private:
    const double T, P;
    const double* z;
    double& Dl;
    double& Dv;
    double* x;
    double* y;
    double& q;
    int& ierr;
    std::string& herr;
    double L = 0.5;
    double y0[20] = {};

    // Whether the vapour composition is its start's.
    bool at_start() const {
        for (int i = 0; i < components(); ++i)
            if (std::fabs(y[i] - y0[i]) > kAtStart) return false;
        return true;
    }

    void outer_failed() {
        fail(219, "TPFLSH",
             "outer iteration loop for composition in 2-phase state did not converge:  ", ierr,
             herr);
    }

    bool liquid_density(int& jerr, std::string& jmsg) {
        double d = Dl;
        flash::QuietMessages quiet;
        TPRHO(T, P, x, kLiquid, d > 0.0 ? kStartValue : kNoStartValue, d, jerr, jmsg);
        if (jerr > 0 || !(d > 0.0)) return false;
        double dpdd = 0.0;
        DPDD(T, d, x, dpdd);
        if (std::fabs(dpdd) > 1e7) {
            // (By Newton's method alone: where the liquid's bubble point does
            // not exist the other roads would spend many milliseconds.)
            double t = 0, p = P, dl = 0, dv = 0, l[20], v[20];
            if (mix::quick_bubble(false, x, t, p, dl, dv, l, v) && dl > 0.0) d = dl;
        }
        Dl = d;
        return true;
    }

    // Moves the first present fraction by sign * step and the others the
    // other way; false when a fraction would leave (0, 1).
    bool perturb(double step, double sign) {
        int first = -1, others = 0;
        for (int i = 0; i < components(); ++i) {
            if (!(z[i] > 0.0)) continue;
            if (first < 0)
                first = i;
            else
                ++others;
        }
        if (first < 0 || others == 0) return false;
        double t[20];
        flash::copy20(x, t);
        for (int i = 0; i < components(); ++i) {
            if (!(z[i] > 0.0)) continue;
            t[i] += i == first ? sign * step : -sign * step / others;
            if (!(t[i] > 0.0 && t[i] < 1.0)) return false;
        }
        flash::copy20(t, x);
        return true;
    }

    // The secant on the liquid fraction L that makes the liquid fractions
    // sum to one; false after 80 evaluations.
    bool liquid_fraction(const double K[20], double tol) {
        const auto g = [&](double l) {
            double s = 0.0;
            for (int i = 0; i < components(); ++i) {
                if (!(z[i] > 0.0)) {
                    x[i] = 0.0;
                    continue;
                }
                const double den = (1.0 - l) * K[i] + l;
                x[i] = den != 0.0 ? z[i] / den : 0.0;
                s += x[i];
            }
            if (s > 0.0)
                for (int i = 0; i < components(); ++i) x[i] /= s;
            return 1.0 - s;
        };
        double l1 = L, g1 = g(l1);
        if (std::fabs(g1) < 0.01 * tol) return true;
        double l2 = L + (L <= 0.5 ? 0.05 : -0.05);
        for (int k = 2; k <= 80; ++k) {
            const double g2 = g(l2);
            if (std::fabs(g2) < 0.01 * tol) {
                L = l2;
                return true;
            }
            double ln = std::fabs(g2 - g1) > 0.01 * tol ? l2 - (l2 - l1) * g2 / (g2 - g1)
                                                        : l1 + (l2 > l1 ? tol : -tol);
            if (ln > 1.0 + 100.0 * tol || ln < -100.0 * tol || !std::isfinite(ln)) ln = l2 / 2.0;
            l1 = l2;
            g1 = g2;
            l2 = ln;
        }
        L = l2;
        g(L);
        return false;
    }
};

// The phase of lower density is the vapour: a split found with the phases
// the other way round (close to a critical point the iterations do not keep
// them apart) is turned, and q with it.
void label_phases(double& Dl, double& Dv, double x[20], double y[20], double& q) {
    if (!(Dl < Dv)) return;
    std::swap(Dl, Dv);
    for (int i = 0; i < 20; ++i) std::swap(x[i], y[i]);
    q = 1.0 - q;
}

// The largest relative difference of the fugacities fl and fv of the
// components of z (1 where one is not positive).
double mismatch_of(const double z[20], const double fl[20], const double fv[20]) {
    double worst = 0.0;
    for (int i = 0; i < components(); ++i) {
        if (!(z[i] > 0.0)) continue;
        if (!(fl[i] > 0.0 && fv[i] > 0.0)) return 1.0;
        worst = std::max(worst, std::fabs(fl[i] / fv[i] - 1.0));
    }
    return worst;
}

// The same for the phases x at Dl and y at Dv (1 where one cannot be
// computed).
double fugacity_mismatch(double T, const double z[20], double Dl, double Dv, const double x[20],
                         const double y[20]) {
    double fl[20] = {}, fv[20] = {};
    flash::QuietMessages quiet;
    if (!flash::dilute_fugacities(T, Dl, x, z, fl) || !flash::dilute_fugacities(T, Dv, y, z, fv))
        return 1.0;
    return mismatch_of(z, fl, fv);
}

// The same for the components of `rest` alone, the phases' fugacities
// formed for the feed z.
double fugacity_mismatch_of_rest(double T, const double z[20], const double rest[20], double Dl,
                                 double Dv, const double x[20], const double y[20]) {
    double fl[20] = {}, fv[20] = {};
    flash::QuietMessages quiet;
    if (!flash::dilute_fugacities(T, Dl, x, z, fl) || !flash::dilute_fugacities(T, Dv, y, z, fv))
        return 1.0;
    return mismatch_of(rest, fl, fv);
}

// The largest |z - (1 - q) x - q y| over the components.
double balance_mismatch(const double z[20], double q, const double x[20], const double y[20]) {
    double worst = 0.0;
    for (int i = 0; i < components(); ++i)
        worst = std::max(worst, std::fabs(z[i] - (1.0 - q) * x[i] - q * y[i]));
    return std::isfinite(worst) ? worst : 1.0;
}

// The densities of a liquid x and a vapour y at (T, P) from the start
// values Dl and Dv; false when either is not found.
bool rest_densities(double T, double P, const double x[20], const double y[20], double& Dl,
                    double& Dv) {
    flash::QuietMessages quiet;
    int jerr = 0;
    std::string jmsg;
    TPRHO(T, P, x, kLiquid, Dl > 0.0 ? kStartValue : kNoStartValue, Dl, jerr, jmsg);
    if (jerr <= 0) TPRHO(T, P, y, kVapour, Dv > 0.0 ? kStartValue : kNoStartValue, Dv, jerr, jmsg);
    return jerr <= 0 && Dl > 0.0 && Dv > 0.0;
}

// Whether phase c holds each component of the trace t at its feed
// fraction in z.
bool carries_trace(const mix::FrozenTrace& t, const double z[20], const double c[20]) {
    constexpr double kAtFeed = 1e-9;  // relative
    for (int i = 0; i < components(); ++i)
        if (t.held[i] && !(std::fabs(c[i] - z[i]) <= kAtFeed * z[i])) return false;
    return true;
}

// The start of a split as it came, with the trace: Newton's method beside
// the trace from it.
class Start {
public:
    Start(double Dl, double Dv, const double x[20], const double y[20], double q)
        : Dl_(Dl), Dv_(Dv), q_(q) {
        flash::copy20(x, x_);
        flash::copy20(y, y_);
    }
    bool newton(double T, double P, const double z[20], const mix::FrozenTrace& t, double& Dl,
                double& Dv, double x[20], double y[20], double& q) const {
        double dl = Dl_, dv = Dv_, qq = q_, l[20], v[20];
        flash::copy20(x_, l);
        flash::copy20(y_, v);
        if (!mix::newton_beside_trace(T, P, z, t, dl, dv, l, v, qq)) return false;
        Dl = dl;
        Dv = dv;
        q = qq;
        flash::copy20(l, x);
        flash::copy20(v, y);
        return true;
    }

private:
    double Dl_, Dv_, q_, x_[20] = {}, y_[20] = {};
};

constexpr double kFugacityTolerance = 1e-7;
constexpr double kBalanceTolerance = 1e-7;

}  // namespace

bool within_densities(const double c[20], double D) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", c, tmin, tmax, dmax, pmax);
    return !(dmax > 0.0 && D > kBeyondLimit * dmax);
}

bool split_is_equilibrium(double T, const double z[20], double q, double Dl, double Dv,
                          const double x[20], const double y[20], const double* fl,
                          const double* fv) {
    if (balance_mismatch(z, q, x, y) > kBalanceTolerance) return false;
    if (!within_densities(x, Dl) || !within_densities(y, Dv)) return false;
    const mix::FrozenTrace trace = mix::frozen_trace(T, z);
    if (!trace.any)
        return (fl != nullptr && fv != nullptr
                    ? mismatch_of(z, fl, fv)
                    : fugacity_mismatch(T, z, Dl, Dv, x, y)) <= kFugacityTolerance;
    // A frozen trace is carried in both phases at the feed's fractions: the
    // rest's components are at equal fugacities in the phases as they are,
    // trace and all; the trace's own fugacities are not matched (it would
    // deposit as a solid, with which no fluid phase is in equilibrium).  A
    // split with the trace shared out between the phases as a fluid's is
    // another state, not this one.
    if (!carries_trace(trace, z, x) || !carries_trace(trace, z, y)) return false;
    if (fl != nullptr && fv != nullptr)
        return mismatch_of(trace.rest, fl, fv) <= kFugacityTolerance;
    return fugacity_mismatch_of_rest(T, z, trace.rest, Dl, Dv, x, y) <= kFugacityTolerance;
}

std::string split_not_converged(double T, double P, const std::string& why) {
    char state[96];
    std::snprintf(state, sizeof state, " at %.6g K, %.6g kPa", T, P);
    return errtext(
        "TPFLSH", 219,
        "outer iteration loop for composition in 2-phase state did not converge:  " + why + state);
}

std::string unequal_fugacities(double T, double P) {
    return split_not_converged(T, P, "fugacities of the phases differ");
}

void split_trial(double T, double P, const double z[20], double& Dl, double& Dv, double x[20],
                 double y[20], double& q, bool& equilibrium, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    equilibrium = true;
    if (flash::not_a_number("TPFLSH", {T, P}, ierr, herr)) {
        q = kQualityFailed;
        return;
    }
    const mix::FrozenTrace trace = mix::frozen_trace(T, z);
    if (trace.any) {
        // The split of the rest, the trace carried in both phases: from the
        // rest's split without the trace, its equilibrium beside it.  Where
        // the rest has none (the trace moves the boundary: Dry ISO Air at
        // 131.1 K between the rest's bubble point, 3599.5 kPa, and its own,
        // 3601.0 kPa), Newton's method from the start given.
        const Start given(Dl, Dv, x, y, q);
        mix::remove_trace(trace, x);
        mix::remove_trace(trace, y);
        split_trial(T, P, trace.rest, Dl, Dv, x, y, q, equilibrium, ierr, herr);
        mix::add_trace(trace, z, x);
        mix::add_trace(trace, z, y);
        const bool split = ierr <= 0 && q > 0.0 && q < 1.0;
        if (split && equilibrium && mix::settle_beside_trace(T, P, z, trace, Dl, Dv, x, y, q))
            return label_phases(Dl, Dv, x, y, q);
        if (given.newton(T, P, z, trace, Dl, Dv, x, y, q)) {
            ierr = 0;
            herr.clear();
            equilibrium = true;
            return label_phases(Dl, Dv, x, y, q);
        }
        if (ierr > 0) return;
        if (!rest_densities(T, P, x, y, Dl, Dv) || split) equilibrium = false;
        return;
    }
    if (newton(T, P, z, Dl, Dv, x, y, q)) return label_phases(Dl, Dv, x, y, q);
    Substitution(T, P, z, Dl, Dv, x, y, q, ierr, herr).run();
    if (ierr > 0) return;
    if (FLAGS2.sat_status == 1) return label_phases(Dl, Dv, x, y, q);
    // Successive substitution stops at a tolerance of its own: Newton's
    // method from its result makes the fugacities equal to the last digits.
    mix::SwitchGuard own_failure(FLAGS2.spline_status, 1);
    double t = T, p = P, D = 0, dl = Dl, dv = Dv, l[20], v[20], qq = q;
    flash::copy20(x, l);
    flash::copy20(y, v);
    int jerr = 0;
    std::string jmsg;
    SATTP(t, p, z, kSplitAtTP, 1, D, dl, dv, l, v, qq, jerr, jmsg);
    if (jerr == 0 && qq > 0.0 && qq < 1.0) {
        Dl = dl;
        Dv = dv;
        q = qq;
        flash::copy20(l, x);
        flash::copy20(v, y);
    } else {
        // The substitution's own result: close to a critical point it stops
        // at its loosened tolerance short of the equilibrium.
        equilibrium = split_is_equilibrium(T, z, q, Dl, Dv, x, y);
    }
    label_phases(Dl, Dv, x, y, q);
}

void TPFL2(double T, double P, const double z[20], double& Dl, double& Dv, double x[20],
           double y[20], double& q, int& ierr, std::string& herr) {
    bool equilibrium = true;
    split_trial(T, P, z, Dl, Dv, x, y, q, equilibrium, ierr, herr);
    if (ierr <= 0 && !equilibrium) {
        // Every caller would take the result for the split.
        ierr = 219;
        herr = unequal_fugacities(T, P);
    }
}

}  // namespace lib
