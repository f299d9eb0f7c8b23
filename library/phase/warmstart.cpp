// Warm starts of the single-phase flashes at given pressure: the scope, the
// states kept per composition, the secant iteration from one, and the test
// of a gas far from condensation.
#include "library/phase/warmstart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/press.h"
#include "library/phase/composition_cache.h"
#include "library/phase/envelope.h"
#include "library/phase/flashutil.h"
#include "library/phase/mixflash.h"
#include "library/phase/warmsplit.h"
#include "library/setup/records.h"

namespace lib {

namespace warm {
namespace {

int scopes = 0;  // open WarmStartScopes
// While a scope is open, stability tests are not counted toward a trace of
// the phase boundary (see the scope's comment in library.h).
mix::UncountedCalls* uncounted = nullptr;

// The last states of a few compositions (the oldest goes first).
CompositionCache<State> states;

constexpr int kMaxSteps = 12;         // secant steps before the cold road is taken
constexpr double kConverged = 1e-13;  // relative step in T at which the root is held
constexpr double kSame = 1e-15;       // relative step in T of a start that is the root
constexpr double kFarStep = 0.2;      // a step beyond this share of T is no warm start
constexpr double kPlainSum = 0.1;     // the ideal dew-point sum of a plain gas

}  // namespace

bool active() { return scopes > 0; }

bool recall(const double z[20], State& s) {
    const State* kept = states.find(z);
    if (kept == nullptr) return false;
    s = *kept;
    return true;
}

void remember(const double z[20], const State& s) {
    if (active()) states.place(z) = s;
}

void left_single_phase(const double z[20]) {
    if (State* kept = states.peek(z)) kept->single = false;
}

void forget() {
    states.clear();
    forget_splits();
}

namespace {

// The density at (t, P) on the branch through d: Newton's method from d,
// its last step applied without another evaluation once it is below 1e-9
// of d (the error then lies far below the last digits).  False where the
// pressure does not rise with the density or the iteration leaves the
// neighbourhood of the start.
bool density(double t, double P, const double z[20], double& d, double& dpdd) {
    for (int k = 0; k < kMaxSteps; ++k) {
        const PressDerivs v = press_slope(t, d, z);
        if (!std::isfinite(v.p) || !(v.d1 > 0.0)) return false;
        dpdd = v.d1;
        const double step = (v.p - P) / v.d1;
        if (!(std::fabs(step) < kFarStep * d)) return false;
        d -= step;
        if (std::fabs(step) <= 1e-9 * d) return true;
    }
    return false;
}

}  // namespace

bool solve(char letter, double P, double b, const double z[20], const State& start, double& T,
           double& D, double& dpdd) {
    double slope_d = start.dpdd;  // dP/dD of the last density solved
    // The residual at t, the density solved from d.
    const auto residual = [&](double t, double& d, double& f) {
        if (!density(t, P, z, d, slope_d)) return false;
        f = flash::prop(letter, t, d, z) - b;
        return std::isfinite(f);
    };
    double t = start.T, d = start.D, f = 0.0;
    // At a new pressure the density starts from the start's slope of P.
    if (start.dpdd > 0.0) {
        const double dn = d + (P - start.P) / start.dpdd;
        if (dn > 0.5 * d && dn < 2.0 * d) d = dn;
    }
    if (!(t > 0.0) || !(d > 0.0) || !residual(t, d, f)) return false;
    // d prop / dT along the isobar: cp, or cp / T for the entropy; then the
    // secant of the last two points, which also give the density's slope
    // for the start of the next density.
    double slope = letter == 'S' ? start.cp / t : start.cp;
    if (!(slope > 0.0) || !std::isfinite(slope)) return false;
    // A start that is the root to its last digits (a flash at the state just
    // found, by another property of it) is the state.
    if (std::fabs(f / slope) <= kSame * t) {
        T = t;
        D = d;
        dpdd = slope_d;
        return true;
    }
    double dd_dt = 0.0;
    for (int k = 0; k < kMaxSteps && f != 0.0; ++k) {
        const double tn = t - f / slope;
        if (!(tn > 0.0) || std::fabs(tn - start.T) > kFarStep * start.T) return false;
        double dn = d + dd_dt * (tn - t), fn = 0.0;
        if (!(dn > 0.0)) dn = d;
        const bool last = std::fabs(tn - t) <= kConverged * t;
        if (!residual(tn, dn, fn)) {
            if (!last) return false;
            break;  // the root is held at t
        }
        if (last) {
            // The step within the last digits, taken where it lowers the residual.
            if (std::fabs(fn) <= std::fabs(f)) {
                t = tn;
                d = dn;
            }
            break;
        }
        if (fn != f) {
            const double s = (fn - f) / (tn - t);
            if (s > 0.0 && std::isfinite(s)) slope = s;
        }
        dd_dt = (dn - d) / (tn - t);
        t = tn;
        d = dn;
        f = fn;
        if (k + 1 == kMaxSteps) return false;
    }
    T = t;
    D = d;
    dpdd = slope_d;
    return true;
}

bool solve_at_t(double T, double s, const double z[20], const State& start, double& D, double& P) {
    double d = start.D;
    if (!(d > 0.0) || !(start.T > 0.0)) return false;
    if (T != start.T) {
        // From the start's entropy along the ideal gas: s - s0 =
        // cv ln(T / T0) - R ln(D / D0), with cv = cp - R.
        double s0 = 0.0;
        ENTRO(start.T, d, z, s0);
        RMIX(z);
        const double R = GCNST.r, cv = start.cp - R;
        const double dn = d * std::exp((cv * std::log(T / start.T) - (s - s0)) / R);
        if (!(cv > 0.0) || !(dn > 0.0) || !std::isfinite(dn)) return false;
        d = dn;
    }
    for (int k = 0; k < kMaxSteps; ++k) {
        double sd = 0, dpdt = 0;
        ENTRO(T, d, z, sd);
        DPDT(T, d, z, dpdt);
        const double slope = -dpdt / (d * d);
        if (!std::isfinite(sd) || !(slope < 0.0) || !std::isfinite(slope)) return false;
        const double step = (sd - s) / slope;
        if (!(std::fabs(step) < kFarStep * d)) return false;
        d -= step;
        if (std::fabs(step) <= kConverged * d) {
            D = d;
            PRESS(T, d, z, P);
            return P > 0.0 && std::isfinite(P);
        }
    }
    return false;
}

bool stable_mixture(double T, double P, double D, const double z[20], const State& kept,
                    double& stable_T, double& stable_P) {
    if (std::fabs(T - kept.stable_T) <= 1e-6 * T && std::fabs(P - kept.stable_P) <= 1e-6 * P &&
        std::fabs(D - kept.D) <= 1e-3 * kept.D) {
        stable_T = kept.stable_T;
        stable_P = kept.stable_P;
        return true;
    }
    if (!plainly_gas(T, P, z) && !mix::single_phase_stable(T, D, z)) return false;
    stable_T = T;
    stable_P = P;
    return true;
}

bool plainly_gas(double T, double P, const double z[20]) {
    const int nc = std::min(NCOMP.nc, kMaxComp);
    double pc_max = 0.0;
    for (int i = 1; i <= nc; ++i)
        if (z[i - 1] > 0.0) pc_max = std::max(pc_max, CCON.pc[i]);
    if (!(P < pc_max)) return false;
    double sum = 0.0;
    for (int i = 1; i <= nc; ++i) {
        if (!(z[i - 1] > 0.0)) continue;
        double p = 0.0;
        if (T < CCON.tc[i]) {
            if (!(T > CCON.ttp[i])) return false;
            int ierr = 0;
            std::string herr;
            PSATK(i, T, p, ierr, herr);
            if (ierr != 0) return false;
        } else {
            p = CCON.pc[i] * std::exp(5.373 * (1.0 + CCON.acf[i]) * (1.0 - CCON.tc[i] / T));
        }
        if (!(p > 0.0) || !std::isfinite(p)) return false;
        sum += z[i - 1] * P / p;
    }
    return sum < kPlainSum;
}

}  // namespace warm

WarmStartScope::WarmStartScope() {
    if (warm::scopes++ > 0) return;
    warm::forget();
    warm::uncounted = new mix::UncountedCalls;
}

WarmStartScope::~WarmStartScope() {
    if (--warm::scopes > 0) return;
    warm::forget();
    delete warm::uncounted;
    warm::uncounted = nullptr;
}

}  // namespace lib
