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

// A second phase denser than this share of the first is a liquid.
constexpr double kLiquidShare = 0.05;

// Differences of G / (R T) below this are rounding (the same split).
constexpr double kGibbsRounding = 1e-10;

// Whether a liquid other than the split's splits off its vapour: the test
// of the vapour alone ending on a liquid trial (then in st, without
// K-values: the split starts from the trial's composition).
bool liquid_off_vapour(double T, double P, const TpResult& r, mix::Stability& st) {
    constexpr double kDistance = -1e-7, kOther = 1e-3;
    const mix::Stability sv = mix::stability(T, P, r.y);
    if (!sv.found || sv.stable || sv.vapour_trial || !(sv.tm < kDistance)) return false;
    double apart = 0.0;
    for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i)
        if (r.x[i] > 0.0 && sv.w[i] > 0.0)
            apart = std::max(apart, std::fabs(std::log(sv.w[i] / r.x[i])));
    if (!(apart > kOther)) return false;
    st = sv;
    for (double& k : st.K) k = 0.0;
    st.two_liquids = true;
    st.liquid_like = true;
    return true;
}

}  // namespace

bool split_gibbs(double T, const TpResult& r, double& g) {
    double gl = 0.0, gv = 0.0;
    if (!phase_gibbs(T, r.Dl, r.x, gl) || !phase_gibbs(T, r.Dv, r.y, gv)) return false;
    g = (1.0 - r.q) * gl + r.q * gv;
    return true;
}

LiquidPair prefer_two_liquids(double T, double P, TpResult& r, const SplitFrom& split_from) {
    // (Not r.two_liquids alone: a split started as two liquids may end on
    // a vapour and a liquid, hexane + hydrogen sulfide at 192.73 K.)
    if (!mix::liquids_modelled() || !(r.Dl > 0.0) || !(r.Dv > 0.0) ||
        (r.two_liquids && r.Dv > kLiquidShare * r.Dl))
        return LiquidPair::kStable;
    mix::Stability st;
    {
        flash::QuietMessages quiet;
        // (The vapour too: close to a three-phase line a liquid between
        // the two may lie below their tangent, hexane + hydrogen sulfide
        // at 192.73 K, 29.6 kPa.)
        if (!mix::second_liquid(T, P, r.x, r.Dl, st) && !liquid_off_vapour(T, P, r, st))
            return LiquidPair::kStable;
    }
    // The split of the feed into the liquid of r and the trial's liquid.
    st.D = r.Dl;
    TpResult ll;
    double g_vl = 0.0, g_ll = 0.0;
    // (Both its phases liquids: the split may end on r again.)
    const auto liquids = [](const TpResult& s) {
        return std::min(s.Dl, s.Dv) > kLiquidShare * std::max(s.Dl, s.Dv);
    };
    if (!split_from(st, ll) || !liquids(ll) || !split_gibbs(T, r, g_vl) ||
        !split_gibbs(T, ll, g_ll) || !(g_ll < g_vl - kGibbsRounding))
        return LiquidPair::kUnresolved;
    r = ll;
    return LiquidPair::kTwoLiquids;
}

}  // namespace lib
