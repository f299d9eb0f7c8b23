// Dew points from the split of the feed just inside the two-phase region,
// where the roads of SATT and SATP did not find them: the incipient liquid
// is nearly one component (hydrogen with water, helium with hexane), or the
// point lies close to the critical point.
#include "library/phase/satdew.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/phase/brent.h"
#include "library/phase/flashutil.h"
#include "library/phase/mixest.h"
#include "library/phase/mixflash.h"
#include "library/phase/sattp.h"
#include "library/setup/records.h"

namespace lib {
namespace {

// The dew point of feed x whose incipient liquid is component `pure`
// alone, between a = the vapour's and b = the split's value of the free
// variable (P at given T, T at given P): Brent's method on the difference
// of the logarithms of its fugacities in the feed's vapour and in the pure
// liquid.
bool pure_liquid_dew(bool at_t, const double x[20], int pure, double a, double b, double& T,
                     double& P, double& Dl, double& Dv) {
    double c[20] = {};
    c[pure - 1] = 1.0;
    const auto g = [&](double v, double& r) {
        const double t = at_t ? T : v, p = at_t ? v : P;
        double dl = 0, dv = 0, fl[20] = {}, fv[20] = {};
        int jerr = 0;
        std::string jmsg;
        flash::QuietMessages quiet;
        TPRHO(t, p, c, kLiquid, kNoStartValue, dl, jerr, jmsg);
        if (jerr <= 0) TPRHO(t, p, x, kVapour, kNoStartValue, dv, jerr, jmsg);
        if (jerr <= 0) FGCTY2(t, dl, c, fl, jerr, jmsg);
        if (jerr <= 0) FGCTY2(t, dv, x, fv, jerr, jmsg);
        if (jerr > 0 || !(fl[pure - 1] > 0.0 && fv[pure - 1] > 0.0)) return false;
        r = std::log(fv[pure - 1] / fl[pure - 1]);
        Dl = dl;
        Dv = dv;
        return std::isfinite(r);
    };
    double ga = 0, gb = 0, root = 0;
    if (!g(a, ga) || !g(b, gb) || !brent_root(g, a, ga, b, gb, 1e-14, 1e-15, 80, root))
        return false;
    double r = 0;
    if (!g(root, r)) return false;
    (at_t ? P : T) = root;
    return true;
}

// A dew point that the other roads did not find (hydrogen with water,
// helium with hexane: the incipient liquid is nearly the heavy component
// alone): the split of the feed just inside the two-phase region, by the
// (T, p) flash from the estimate onwards, starts Newton's method; its
// liquid is close to the incipient one.  (Not within itself: the (T, p)
// flash may ask for a dew point.)
// The dew point of feed x between a two-phase state (`in`: T, or P with
// at_t, where `st` is its split) and a gas (`out`) by bisection to 1e-13
// of the variable; the incipient liquid is the last split's, the vapour the
// feed at its density there.  False when a state on the way fails.
// Phases whose densities lie closer than this share are nearly one.
constexpr double kNearlyOnePhase = 0.05;
// An incipient liquid lighter than this share of its vapour is the other
// point's vapour.
constexpr double kSwappedShare = 0.8;

// Whether SATTP's answer is a dew point: converged, on two phases apart, the
// liquid the denser.
bool usable_dew(int jerr, double dl, double dv) {
    return jerr == 0 && dl > 0.0 && dv > 0.0 && std::fabs(dl - dv) >= 1e-6 * dl &&
           dl >= kSwappedShare * dv;
}

bool bracketed_dew(bool at_t, const double x[20], double in, double out, mix::TpState st, double& T,
                   double& P, double& Dl, double& Dv, double xl[20], double xv[20]) {
    const double fixed = at_t ? st.T : st.P;
    for (int k = 0; k < 80 && std::fabs(out - in) > 1e-13 * std::fabs(in); ++k) {
        // Within 1e-6 of the boundary a split of phases nearly one, far
        // from its dew point's vapour fraction of 1, ends at a critical
        // point (carbon dioxide + Novec 649, 50/50, at 6.155 MPa: 0.66 at
        // 432.119 K, densities 2.6 % apart), where each split costs 30 ms.
        if (std::fabs(out - in) < 1e-6 * std::fabs(in) && !(st.q > 0.9) &&
            std::fabs(st.Dl - st.Dv) < kNearlyOnePhase * st.Dl)
            return false;
        const double mid = 0.5 * (in + out);
        mix::TpState s;
        if (!mix::tp_state(at_t ? fixed : mid, at_t ? mid : fixed, x, s)) {
            // Within 1e-6 of the dew point a trial of a distance of 1e-10
            // may leave no split: such a state counts as the gas's.
            if (!(std::fabs(out - in) < 1e-6 * std::fabs(in))) return false;
            out = mid;
            continue;
        }
        if (s.two_phase) {
            in = mid;
            st = s;
        } else {
            out = mid;
        }
    }
    if (!(st.q > 0.999)) return false;
    double dv = st.Dv;
    int jerr = 0;
    std::string jmsg;
    {
        flash::QuietMessages quiet;
        TPRHO(st.T, st.P, x, kVapour, dv > 0.0 ? kStartValue : kNoStartValue, dv, jerr, jmsg);
    }
    if (jerr > 0 || !(dv > 0.0)) return false;
    T = st.T;
    P = st.P;
    Dl = st.Dl;
    Dv = dv;
    flash::copy20(st.x, xl);
    flash::copy20(x, xv);
    return true;
}

}  // namespace

bool dew_from_split(bool at_t, const double x[20], double& T, double& P, double& Dl, double& Dv,
                    double xl[20], double xv[20]) {
    static bool active = false;
    if (active) return false;
    active = true;
    struct Reset {
        ~Reset() { active = false; }
    } reset;
    double t = T, p = P, l[20] = {}, v[20] = {};
    int jerr = 0;
    std::string jmsg;
    SATEST(at_t ? kDewAtT : kDewAtP, t, p, x, l, v, jerr, jmsg);
    if (jerr != 0 || !(t > 0.0 && p > 0.0)) return false;
    // A vapour state and a split next to each other: from the estimate up
    // in pressure (down in temperature) into the two-phase region, or the
    // other way where the estimate lies inside.
    double outside = 0.0, inside = 0.0, f = 1.0;
    mix::TpState st;
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", x, tmin, tmax, dmax, pmax);
    for (int k = 0; k < 12 && !(outside > 0.0 && inside > 0.0); ++k) {
        // (Not beyond the equation's pressure limit or below its lowest
        // temperature.)
        if ((at_t && p * f > pmax) || (!at_t && t * f < tmin)) return false;
        mix::TpState s;
        if (!mix::tp_state(at_t ? t : t * f, at_t ? p * f : p, x, s)) return false;
        if (s.two_phase) {
            inside = f;
            st = s;
            f *= at_t ? 0.7 : 1.02;
        } else {
            if (s.q == kQualityLiquid) return false;  // past the region
            outside = f;
            f *= at_t ? 1.3 : 0.98;
        }
    }
    if (!(outside > 0.0 && inside > 0.0)) return false;
    const int pure = ISPURE(st.x);
    if (pure > 0) {
        // A liquid of one component to the last digits: the dew point is
        // where the vapour's fugacity of it meets the pure liquid's.
        double tt = t, pp = p;
        if (!pure_liquid_dew(at_t, x, pure, at_t ? p * outside : t * outside,
                             at_t ? p * inside : t * inside, tt, pp, Dl, Dv))
            return false;
        T = tt;
        P = pp;
        for (int i = 0; i < 20; ++i) xl[i] = i == pure - 1 ? 1.0 : 0.0;
        flash::copy20(x, xv);
        return true;
    }
    // Newton's method from the split (with `bracketed`, at any distance
    // from the estimated critical point).
    double tt = 0, pp = 0, D = 0, dl = 0, dv = 0, q = 1.0;
    const auto newton_from_split = [&](bool bracketed) {
        tt = st.T;
        pp = st.P;
        dl = st.Dl;
        dv = st.Dv;
        flash::copy20(st.x, l);
        flash::copy20(x, v);
        flash::QuietMessages quiet;
        mix::SwitchGuard own_failure(FLAGS2.spline_status, 1);
        std::optional<mix::PointBracketed> scope;
        if (bracketed) scope.emplace();
        SATTP(tt, pp, x, at_t ? kDewAtT : kDewAtP, 1, D, dl, dv, l, v, q, jerr, jmsg);
    };
    newton_from_split(false);
    const double in = at_t ? p * inside : t * inside, out = at_t ? p * outside : t * outside;
    if (!usable_dew(jerr, dl, dv) && mix::far_beyond_critical(st.T, st.P, x)) {
        // Beyond the reach SATTP keeps for an unbracketed point: once more,
        // its point taken only inside the bracket.
        newton_from_split(true);
        const double found = at_t ? pp : tt;
        if (!(std::min(in, out) <= found && found <= std::max(in, out))) jerr = 1;
    }
    if (!usable_dew(jerr, dl, dv)) {
        // Newton's method does not converge from the split (a gas of 20
        // components at 100 kPa, whose incipient liquid holds its helium at
        // 1e-16), or ends on the bubble point with its phases the other way
        // round (carbon dioxide + R227ea 50/50 at 5.36 MPa, 342.0 K): the
        // dew point bracketed between the split and the gas to the last
        // digits, its liquid the last split's.
        return bracketed_dew(at_t, x, in, out, st, T, P, Dl, Dv, xl, xv);
    }
    T = tt;
    P = pp;
    Dl = dl;
    Dv = dv;
    flash::copy20(l, xl);
    flash::copy20(v, xv);
    return true;
}

}  // namespace lib
