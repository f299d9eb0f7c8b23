// The stable state of a mixture along an isobar or an isotherm, found by
// Brent's method on the (T, p) flash of the mixture (the tangent-plane test
// and the split): enthalpy, entropy, energy and volume rise with the
// temperature along an isobar, the volume falls with the pressure along an
// isotherm, across every phase boundary.
#include "library/phase/mixflash.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/brent.h"
#include "library/phase/flashutil.h"
#include "library/phase/stability.h"
#include "library/phase/tpmix.h"

namespace lib::mix {
namespace {

double property(char letter, const TpState& st) {
    switch (letter) {
        case 'S': return st.s;
        case 'E': return st.e;
        case 'D': return 1.0 / st.D;
        default: return st.h;
    }
}

}  // namespace

bool tp_state(double T, double P, const double z[20], TpState& st) {
    double Tc = 0, Pc = 0, Dc = 0;
    int ierr = 0;
    std::string herr;
    CRITP(z, Tc, Pc, Dc, ierr, herr);
    TpResult r;
    ierr = 0;
    {
        flash::QuietMessages quiet;
        tp_mixture(T, P, z, Tc, Pc, Dc, r, ierr, herr);
    }
    if (ierr > 0 || !std::isfinite(r.D) || !(r.D > 0.0)) return false;
    st.T = T;
    st.P = P;
    st.D = r.D;
    st.Dl = r.Dl;
    st.Dv = r.Dv;
    st.q = r.q;
    st.e = r.e;
    st.h = r.h;
    st.s = r.s;
    st.two_phase = r.q > 0.0 && r.q < 1.0;
    flash::copy20(r.x, st.x);
    flash::copy20(r.y, st.y);
    return true;
}

bool single_phase_stable(double T, double D, const double z[20]) {
    double P = 0.0;
    PRESS(T, D, z, P);
    if (!(P > 0.0) || !std::isfinite(P)) return false;
    const Stability st = stability(T, P, z);
    return st.found && st.stable && std::fabs(st.D - D) <= 1e-6 * D;
}

bool on_isobar(double P, char letter, double b, const double z[20], double tlo, double thi,
               TpState& st) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    const double target = letter == 'D' ? 1.0 / b : b;
    TpState last;
    const auto f = [&](double T, double& v) {
        TpState s;
        if (!tp_state(T, P, z, s)) return false;
        v = property(letter, s) - target;
        last = s;
        return std::isfinite(v);
    };
    // A bracket of the root: steps of growing length from the start in the
    // direction the residual points, a failed point moved back halfway.
    double ta = 0, fta = 0, tb = 0, ftb = 0;
    if (!bracket_root(f, std::clamp(0.5 * (tlo + thi), tmin, 1.5 * tmax),
                      std::max(1.0, 0.05 * (thi - tlo)), tmin, 1.5 * tmax, ta, fta, tb, ftb))
        return false;
    const double ftol = 1e-12 * (std::fabs(target) + (letter == 'D' ? 0.0 : 1.0));
    double T = 0.0;
    if (!brent_root(f, ta, fta, tb, ftb, ftol, 1e-14, 80, T)) return false;
    if (last.T != T && !tp_state(T, P, z, last)) return false;
    st = last;
    return true;
}

bool on_isotherm_density(double T, double D, const double z[20], double plo, double phi,
                         TpState& st) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    const double target = std::log(D);
    TpState last;
    // ln D rises with ln P.
    const auto f = [&](double lnp, double& v) {
        TpState s;
        if (!tp_state(T, std::exp(lnp), z, s)) return false;
        v = std::log(s.D) - target;
        last = s;
        return std::isfinite(v);
    };
    plo = std::max(plo, 1e-10);
    phi = std::max(phi, 1.01 * plo);
    double a = 0, fa = 0, b = 0, fb = 0;
    const double lo = std::log(1e-10), hi = std::log(2.0 * pmax);
    if (!bracket_root(f, std::clamp(0.5 * (std::log(plo) + std::log(phi)), lo, hi), 0.3, lo, hi, a,
                      fa, b, fb))
        return false;
    double lnp = 0.0;
    if (!brent_root(f, a, fa, b, fb, 1e-13, 1e-15, 80, lnp)) return false;
    if (last.P != std::exp(lnp) && !tp_state(T, std::exp(lnp), z, last)) return false;
    st = last;
    return true;
}

}  // namespace lib::mix
