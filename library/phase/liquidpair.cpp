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

// A vapour trial of a phase of two liquids below this distance makes the
// pair unstable (rounding stops within 1e-9).
constexpr double kVapourDistance = -1e-7;

// Largest |ln| of the ratio of two compositions of one phase.
constexpr double kSamePhase = 1e-3;

// Differences of G / (R T) below this are rounding (the same split).
constexpr double kGibbsRounding = 1e-10;

// A liquid whose share of the feed is tiny (close to the dew line) is known
// to about 1e-7 in its fugacities before the split's last Newton steps: a
// trial of a distance above this that leads back to the split itself is that
// liquid again (a 20-component gas 1e-4 below its dew point at 100 kPa:
// -7e-7).
constexpr double kLiquidNoise = -1e-5;

// Whether two splits are the same (vapour fraction and phase densities).
bool same_split(const TpResult& a, const TpResult& b) {
    const auto near = [](double u, double v) { return std::fabs(u - v) <= 1e-9 * std::fabs(v); };
    return std::fabs(a.q - b.q) <= 1e-9 && near(a.Dl, b.Dl) && near(a.Dv, b.Dv);
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
        if (!mix::second_liquid(T, P, r.x, r.Dl, st) &&
            !mix::wilson_second_liquid(T, P, r.x, r.Dl, st))
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
    if (!split_from(st, ll)) return LiquidPair::kUnresolved;
    if (!liquids(ll) && st.tm > kLiquidNoise && same_split(ll, r)) return LiquidPair::kStable;
    if (!liquids(ll) || !split_gibbs(T, r, g_vl) || !split_gibbs(T, ll, g_ll) ||
        !(g_ll < g_vl - kGibbsRounding))
        return LiquidPair::kUnresolved;
    r = ll;
    return LiquidPair::kTwoLiquids;
}

namespace {

// Whether the phase c of density D lies above its pseudo-critical density
// (its components' critical molar volumes, mole-fraction weighted): a dense
// phase, though its split took it for the vapour (not the gas of a natural
// gas beside its heavy ends at 240 K, 2 MPa, at a ninth of its liquid's
// density but far below its own critical density).
bool beyond_critical_density(const double c[20], double D) {
    double v = 0.0;
    for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i)
        if (c[i] > 0.0 && CCON.dc[i + 1] > 0.0) v += c[i] / CCON.dc[i + 1];
    return v > 0.0 && D * v > 1.0;
}

// A dense pair (made as vapour and liquid with its vapour beyond its
// critical density, or two liquids that the full tests left): where one of
// its phases splits off a gas, the split of the feed from that trial where
// it has the lower Gibbs energy, else no pair is stable; r stays where
// neither phase splits off a gas (pentane + water, 10 % pentane, at 477 K,
// 5 MPa: liquid water beside a phase of 98 % pentane at 4.7 mol/L, where
// the gas of 72 % pentane lies below the water's plane; at 459 K, 3.7 MPa
// below the pentane's).
LiquidPair gas_beside_dense_pair(double T, double P, TpResult& r, const SplitFrom& split_from) {
    double g_pair = 0.0;
    if (!split_gibbs(T, r, g_pair)) return LiquidPair::kStable;
    bool gas_below = false;
    for (int phase = 0; phase < 2; ++phase) {
        mix::Stability st;
        {
            flash::QuietMessages quiet;
            if (!mix::splits_off_vapour(T, P, phase == 0 ? r.x : r.y, phase == 0 ? r.Dl : r.Dv, st))
                continue;
        }
        gas_below = true;
        // The gas beside each phase of the pair in turn (K-values of the
        // trial over that phase): where three phases are close, the split
        // from the feed's side leads back to the pair.
        TpResult best;
        double g_best = g_pair - kGibbsRounding;
        for (int other = 0; other < 2; ++other) {
            const double* c = other == 0 ? r.x : r.y;
            for (int i = 0; i < kMaxComp; ++i)
                st.K[i] = c[i] > 0.0 && st.w[i] > 0.0 ? st.w[i] / c[i] : 0.0;
            st.D = other == 0 ? r.Dl : r.Dv;
            TpResult vl;
            double g_vl = 0.0;
            if (split_from(st, vl) && !vl.two_liquids && split_gibbs(T, vl, g_vl) &&
                g_vl < g_best) {
                best = vl;
                g_best = g_vl;
            }
        }
        if (g_best < g_pair - kGibbsRounding) {
            r = best;
            return LiquidPair::kTwoLiquids;
        }
    }
    // A gas below a phase's plane with no pair of lower Gibbs energy from
    // it: three phases (water, hexane and methane, 60/20/20, at 290 K,
    // 2 MPa: the gas of nearly pure methane 2.8 below the planes of liquid
    // water and a liquid of hexane), or close to them.
    return gas_below ? LiquidPair::kUnresolved : LiquidPair::kStable;
}

}  // namespace

LiquidPair prefer_vapour(double T, double P, TpResult& r, const SplitFrom& split_from) {
    const auto liquids = [](const TpResult& s) {
        return std::min(s.Dl, s.Dv) > kLiquidShare * std::max(s.Dl, s.Dv);
    };
    if (mix::liquids_modelled() && !r.two_liquids && r.Dl > 0.0 && r.Dv > 0.0 &&
        beyond_critical_density(r.y, r.Dv) && !mix::any_frozen(T, r.x) && !mix::any_frozen(T, r.y))
        return gas_beside_dense_pair(T, P, r, split_from);
    // (Only a split made as two liquids: close to a critical point both
    // phases of vapour and liquid are dense, air at 117.6 K, 1.9 MPa.)
    if (!mix::liquids_modelled() || !r.two_liquids || !(r.Dl > 0.0) || !(r.Dv > 0.0) ||
        !liquids(r) || mix::any_frozen(T, r.x) || mix::any_frozen(T, r.y))
        return LiquidPair::kStable;
    for (int phase = 0; phase < 2; ++phase) {
        const double* c = phase == 0 ? r.x : r.y;
        mix::Stability st;
        {
            flash::QuietMessages quiet;
            st = mix::stability(T, P, c);
        }
        // A phase whose own composition is a gas of lower Gibbs energy
        // (xenon with a trace of methanol at 168.6 K, 87.7 kPa, below
        // xenon's vapour pressure, taken as a liquid): that gas is the
        // vapour trial.
        if (st.found && st.stable && !st.liquid_like) {
            st.stable = false;
            st.vapour_trial = true;
            flash::copy20(c, st.w);
        } else if (!st.found || st.stable || !(st.tm < kVapourDistance)) {
            continue;
        }
        if (!st.vapour_trial) {
            // A third liquid (a binary has at most two): unless the trial
            // is the other phase, the pair is no stable state (ethanol +
            // R113 at 241.7 K, 29.6 kPa).
            const double* other = phase == 0 ? r.y : r.x;
            double apart = 0.0;
            for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i)
                if (other[i] > 0.0 && st.w[i] > 0.0)
                    apart = std::max(apart, std::fabs(std::log(st.w[i] / other[i])));
            if (apart > kSamePhase) return LiquidPair::kUnresolved;
            continue;
        }
        // The split of the feed from the vapour trial (its K-values over
        // the phase, not the feed: the split starts from its composition).
        for (double& k : st.K) k = 0.0;
        st.two_liquids = false;
        st.liquid_like = true;
        TpResult vl;
        double g_ll = 0.0, g_vl = 0.0;
        if (!split_from(st, vl) || vl.two_liquids || !split_gibbs(T, r, g_ll) ||
            !split_gibbs(T, vl, g_vl) || !(g_vl < g_ll - kGibbsRounding))
            return LiquidPair::kUnresolved;
        r = vl;
        return LiquidPair::kTwoLiquids;
    }
    // (Neither full test tries the gas from the fugacities of a liquid
    // below nine tenths of its bubble point.)
    return gas_beside_dense_pair(T, P, r, split_from);
}

}  // namespace lib
