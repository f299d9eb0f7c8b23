// The stable pair of phases behind a split of vapour and liquid whose
// liquid splits in two.
#include "library/phase/liquidpair.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/setup/records.h"

namespace lib {
namespace {

// Sum of x_i ln f_i of one phase (T, D, x).
bool phase_gibbs(double T, double D, const double x[20], double& g) {
    double f[20] = {};
    int jerr = 0;
    std::string jmsg;
    FGCTY2(T, D, x, f, jerr, jmsg);
    if (jerr > 0) return false;
    g = 0.0;
    for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i) {
        if (!(x[i] > 0.0)) continue;
        if (!(f[i] > 0.0) || !std::isfinite(f[i])) return false;
        g += x[i] * std::log(f[i]);
    }
    return true;
}

}  // namespace

bool split_gibbs(double T, const TpResult& r, double& g) {
    double gl = 0.0, gv = 0.0;
    if (!phase_gibbs(T, r.Dl, r.x, gl) || !phase_gibbs(T, r.Dv, r.y, gv)) return false;
    g = (1.0 - r.q) * gl + r.q * gv;
    return true;
}

bool prefer_two_liquids(double T, double P, TpResult& r, const SplitFrom& split_from) {
    if (r.two_liquids || !(r.Dl > 0.0) || !(r.Dv > 0.0)) return false;
    mix::Stability st;
    {
        flash::QuietMessages quiet;
        if (!mix::second_liquid(T, P, r.x, r.Dl, st)) return false;
    }
    // The split of the feed into the liquid of r and the trial's liquid.
    st.D = r.Dl;
    TpResult ll;
    double g_vl = 0.0, g_ll = 0.0;
    if (!split_from(st, ll) || !ll.two_liquids || !split_gibbs(T, r, g_vl) ||
        !split_gibbs(T, ll, g_ll) || !(g_ll < g_vl))
        return false;
    r = ll;
    return true;
}

}  // namespace lib
