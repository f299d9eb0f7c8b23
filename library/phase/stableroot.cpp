// The density root of a feed at (T, P) that the tangent-plane test starts
// from: of its vapour root (the first crossing of P along the isotherm) and
// its liquid root the one of lower Gibbs energy, else one found by a scan.
#include <cmath>
#include <string>
#include <vector>

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
// rising stretch of P(D) that crosses P holds a root.  Of those only the
// thinnest and the densest are phases, the one where the pressure rises all
// the way from the dilute gas, the other where it rises all the way to the
// top of the scan; a root between lies in a loop of the equation (carbon
// dioxide + nitrogen, half and half, at 192.25 K, 3.162 MPa: 11.03 mol/L
// between falling stretches, a Gibbs energy far below any phase's, h
// -9.2e6 J/mol and w 15,800 m/s; the equation of carbon dioxide below its
// triple point swings between -3e7 and 8e7 kPa there).  Where no root is a
// phase, the one of lower Gibbs energy with `in_loop` set: the tangent-plane
// test may still find the split from it (195 K), but it is no single phase.
bool scanned_root(double T, double P, const double z[20], double Dc, double& D, bool& liquid_like,
                  bool& in_loop) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    const double top = std::min(dmax > 0.0 ? dmax : 10.0 * Dc, 10.0 * Dc);
    constexpr int kSteps = 400;
    std::vector<double> p(kSteps + 1, 0.0);
    for (int k = 1; k <= kSteps; ++k) PRESS(T, top * k / kSteps, z, p[k]);
    // rising_below[k]: the pressure rises from the first point up to point
    // k; rising_above[k]: from point k up to the last.
    std::vector<char> rising_below(kSteps + 1, 0), rising_above(kSteps + 1, 0);
    rising_below[1] = p[1] > 0.0;
    for (int k = 2; k <= kSteps; ++k) rising_below[k] = rising_below[k - 1] && p[k] > p[k - 1];
    rising_above[kSteps] = 1;
    for (int k = kSteps - 1; k >= 1; --k) rising_above[k] = rising_above[k + 1] && p[k + 1] > p[k];
    double best = 0.0, gbest = 1e300, best_phase = 0.0, gbest_phase = 1e300;
    for (int k = 2; k <= kSteps; ++k) {
        const double d0 = top * (k - 1) / kSteps, d1 = top * k / kSteps;
        if (!((p[k - 1] - P) * (p[k] - P) <= 0.0 && p[k] > p[k - 1])) continue;
        double d = 0.0;
        int jerr = 0;
        std::string jmsg;
        TPRHOB(T, P, d0, d1, z, d, jerr, jmsg);
        double dpdd = 0.0;
        DPDD(T, d, z, dpdd);
        if (jerr != 0 || !(dpdd > 0.0)) continue;
        double a = 0, g = 0;
        GIBBS(T, d, z, a, g);
        if (g < gbest) {
            gbest = g;
            best = d;
        }
        if ((rising_below[k] || rising_above[k - 1]) && g < gbest_phase) {
            gbest_phase = g;
            best_phase = d;
        }
    }
    if (!(best > 0.0)) return false;
    in_loop = !(best_phase > 0.0);
    D = in_loop ? best : best_phase;
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
    bool hv = vapour_root(T, P, z, dv);
    if (hv && T < highest_critical_temperature(z) && !first_root(T, P, z, dv))
        hv = first_crossing_below(T, P, z, dv, dv);
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
    if (!hl && !hv) {
        bool in_loop = false;
        if (!scanned_root(T, P, z, Dc, D, liquid_like, in_loop)) return false;
        if (roots != nullptr) roots->in_loop = in_loop;
        return true;
    }
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
