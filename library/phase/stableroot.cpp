// The density root of a feed at (T, P) that the tangent-plane test starts
// from: of its vapour root (the first crossing of P along the isotherm) and
// its liquid root the one of lower Gibbs energy, else one found by a scan.
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/press.h"
#include "library/models/records.h"
#include "library/phase/dens.h"
#include "library/phase/flashutil.h"
#include "library/phase/stability.h"
#include "library/phase/tprho.h"
#include "library/phase/trialroot.h"
#include "library/setup/records.h"

namespace lib::mix {

namespace {

// The density solver's "liquid iteration has not converged", where no
// liquid root is asked of it.
constexpr int kNoDenseRoot = 202;

// The density root of lower Gibbs energy found by a scan of the isotherm
// (where the density solver fails, close to a critical point): every
// rising stretch of P(D) that crosses P holds a root.
bool scanned_root(double T, double P, const double z[20], double Dc, double& D, bool& liquid_like) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    const double top = std::min(dmax > 0.0 ? dmax : 10.0 * Dc, 10.0 * Dc);
    constexpr int kSteps = 400;
    double best = 0.0, gbest = 1e300, d0 = 0.0, p0 = 0.0;
    for (int k = 1; k <= kSteps; ++k) {
        const double d1 = top * k / kSteps;
        double p1 = 0.0;
        PRESS(T, d1, z, p1);
        if (k > 1 && (p0 - P) * (p1 - P) <= 0.0 && p1 > p0) {
            double d = 0.0;
            int jerr = 0;
            std::string jmsg;
            TPRHOB(T, P, d0, d1, z, d, jerr, jmsg);
            double dpdd = 0.0;
            DPDD(T, d, z, dpdd);
            if (jerr == 0 && dpdd > 0.0) {
                double a = 0, g = 0;
                GIBBS(T, d, z, a, g);
                if (g < gbest) {
                    gbest = g;
                    best = d;
                }
            }
        }
        d0 = d1;
        p0 = p1;
    }
    if (!(best > 0.0)) return false;
    D = best;
    liquid_like = D > Dc;
    return true;
}

}  // namespace

double highest_critical_temperature(const double z[20]) {
    constexpr double kTraceShare = 1e-3;
    double t = 0.0;
    for (int i = 0; i < NCOMP.nc && i < kMaxComp; ++i)
        if (z[i] > kTraceShare) t = std::max(t, CCON.tc[i + 1]);
    return t;
}

bool stable_root(double T, double P, const double z[20], double& D, bool& liquid_like,
                 FeedRoots* roots) {
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    CRITP(z, Tc, Pc, Dc, jerr, jmsg);
    flash::QuietMessages quiet;
    double dl = 0, dv = 0;
    int el = 0;
    // The vapour root is the first crossing of P along the isotherm: a root
    // of the density solver in a loop of the equation inside the two-phase
    // region is no phase (the 3-component gas at 159 K, 2.9 MPa: 6.9 mol/L
    // beside the liquid's 21.6, between two wells of negative pressure).
    // (The march of vapour_root starts at the ideal gas's density, which at
    // a high pressure may lie beyond a loop of the equation: a root there
    // is no first crossing either; benzene + o-xylene at 284 K, 6.75 MPa
    // has one at 2.95 mol/L of lower Gibbs energy than its liquid's.)
    const bool hv = vapour_root(T, P, z, dv) &&
                    (!(T < highest_critical_temperature(z)) || first_root(T, P, z, dv));
    // The liquid root, unless the loop above the gas root is shown to stay
    // above P (the density solver would fail there), or the density solver
    // would take the vapour side for it (above Tc at a low pressure): its
    // root there is the gas root again, to 1e-12 where the march's gives P
    // to 1e-15.
    if (hv && T < Tc && jerr <= 0 && no_dense_root(T, P, z, Dc, dv))
        el = kNoDenseRoot;
    else if (hv && jerr <= 0 && tprho_side(T, P, Tc, Pc) < 0)
        el = kNoDenseRoot;
    else
        TPRHO(T, P, z, kLiquid, kNoStartValue, dl, el, jmsg);
    const bool hl = el <= 0 && dl > 0.0;
    if (roots != nullptr) {
        // (The density solver's liquid root of a gas is its gas root.)
        const bool two = hl && hv && std::fabs(dl - dv) > 1e-8 * dl;
        roots->liquid = hl && (two || dl > Dc) ? dl : 0.0;
        roots->vapour = hv && (two || dv <= Dc) ? dv : 0.0;
    }
    if (!hl && !hv) return scanned_root(T, P, z, Dc, D, liquid_like);
    if (hl && hv && std::fabs(dl - dv) > 1e-8 * dl) {
        double a = 0, gl = 0, gv = 0;
        GIBBS(T, dl, z, a, gl);
        GIBBS(T, dv, z, a, gv);
        liquid_like = gl < gv;
        D = liquid_like ? dl : dv;
        return true;
    }
    D = hl ? dl : dv;
    liquid_like = D > Dc;
    return true;
}

}  // namespace lib::mix
