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
#include "library/models/therm.h"
#include "library/phase/composition_cache.h"
#include "library/phase/envelope.h"
#include "library/phase/flashutil.h"
#include "library/phase/mixflash.h"
#include "library/phase/warmband.h"
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

constexpr int kMaxSteps = 12;         // Newton steps before the cold road is taken
constexpr double kLastStep = 1e-10;   // relative step in T and D applied as the last one
constexpr double kConverged = 1e-13;  // relative step in D at which the root is held
constexpr double kFarStep = 0.2;      // a step beyond this share of T is no warm start
constexpr double kPlainSum = 0.1;     // the ideal dew-point sum of a plain gas
// The least compressibility factor of a plain gas's root: at a tenth of its
// dew pressure a gas lies close to the ideal one, a liquid root far below.
constexpr double kPlainGasZ = 0.5;

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

// The Newton step (dt, dd) towards (P, b) from the residuals fp = P(t, d) - P,
// fb = prop(t, d) - b and the Jacobian j at (t, d).  False where it is not
// finite or leaves the density's neighbourhood.
bool newton_step(char letter, double fp, double fb, const FlashJacobian& j, double d, double& dt,
                 double& dd) {
    const double b_T = letter == 'S' ? j.s_T : j.h_T, b_D = letter == 'S' ? j.s_D : j.h_D;
    const double det = j.P_T * b_D - j.P_D * b_T;
    if (!(det != 0.0) || !std::isfinite(det)) return false;
    dt = (fp * b_D - fb * j.P_D) / det;
    dd = (fb * j.P_T - fp * b_T) / det;
    return std::isfinite(dt) && std::isfinite(dd) && std::fabs(dd) < kFarStep * d;
}

}  // namespace

bool solve(char letter, double P, double b, const double z[20], const State& start, double& T,
           double& D, FlashJacobian& jac) {
    double t = start.T, d = start.D, dt = 0.0, dd = 0.0;
    if (!(t > 0.0) || !(d > 0.0)) return false;
    jac = start.jac;
    bool evaluate = !start.warm;
    if (evaluate && start.dpdd > 0.0) {
        // At a new pressure the density starts from the start's slope of P.
        const double dn = d + (P - start.P) / start.dpdd;
        if (dn > 0.5 * d && dn < 2.0 * d) d = dn;
    }
    // Newton's method on the pressure and the property together; the last
    // step, below kLastStep of T and D, is applied without another
    // evaluation (the error left is of the order of its square).
    for (int k = 0; k <= kMaxSteps; ++k) {
        double fp = start.P - P, fb = (letter == 'S' ? start.s : start.h) - b;
        if (evaluate) {
            if (!flash_jacobian(letter, t, d, z, jac) || !(jac.P_D > 0.0)) return false;
            fp = jac.P - P;
            fb = jac.b - b;
        }
        evaluate = true;
        if (!newton_step(letter, fp, fb, jac, d, dt, dd)) return false;
        t -= dt;
        d -= dd;
        if (!(t > 0.0) || std::fabs(t - start.T) > kFarStep * start.T) return false;
        if (std::fabs(dt) <= kLastStep * t && std::fabs(dd) <= kLastStep * d) {
            T = t;
            D = d;
            return true;
        }
    }
    return false;
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
    if (plainly_gas(T, P, z)) {
        // ... and the root found is its gas: Newton's method from a dense
        // state may end on the liquid root of the same (T, P), a superheated
        // liquid (pentane + toluene 1:1 from 530 K, 4.8 MPa to 17.5 kPa:
        // 473.56 K, 6.13 mol/L, Z = 7e-4, for the gas at 321.24 K of the
        // same enthalpy).
        double R = 0.0;
        RMIX2(z, R);
        if (!(P / (D * R * T) > kPlainGasZ)) return false;
    } else if (!clear_of_boundary(T, P, D, z) && !mix::single_phase_stable(T, D, z)) {
        return false;
    }
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
