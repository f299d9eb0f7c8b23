// The searches of a mixture's flash at given temperature that need none of
// its state.
#include "library/phase/tbmix.h"

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/phase/tprho.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

// How often a search goes on beyond a continued split that proved no
// stable state.
constexpr int kSearchesOnward = 3;
// The pressures, as shares of the bubble point's (or a split's), at which
// the splits below a dense root (or the split) are looked at for a value
// below b.
constexpr double kSplitSamples[] = {0.05, 0.1, 0.2, 0.35, 0.5, 0.7, 0.85};
// The pressure below a dense single phase at which its feed's liquid is
// tested for two liquids, as a share of the single phase's (two liquids of
// octane + water reach from 60 kPa to 190 MPa at 350 K; a test at a second
// pressure would cost each liquid's flash 15 % more).
constexpr double kLiquidTestShare = 0.03;
// The trial liquids of that test: each component with traces of the others.
constexpr double kTrace = 1e-4;
// A tangent-plane distance below this is a split (rounding lies far below).
constexpr double kSplitDistance = -1e-8;

// The logarithms of the fugacities of the liquid w at (T, p), from the
// density start d0 (0: none); false where no liquid root denser than Dc is
// found.
bool liquid_ln_fugacities(double T, double p, const double w[20], double d0, double Dc,
                          double ln_f[20]) {
    double d = d0;
    int perr = 0;
    std::string pmsg;
    TPRHO(T, p, w, kLiquid, d0 > 0.0 ? kStartValue : kNoStartValue, d, perr, pmsg);
    if (perr > 0 || !(d > Dc)) return false;
    double f[20] = {};
    FGCTY2(T, d, w, f, perr, pmsg);
    if (perr > 0) return false;
    for (int i = 0; i < 20; ++i) {
        if (!(w[i] > 0.0)) continue;
        if (!(f[i] > 0.0) || !std::isfinite(f[i])) return false;
        ln_f[i] = std::log(f[i]);
    }
    return true;
}

// Whether a liquid of one component with traces of the others lies below
// the tangent plane of the feed's liquid (ln_fz) at p: a split.
bool nearly_pure_liquid_below(double T, const double z[20], double p, double D, double Dc,
                              const double ln_fz[20]) {
    int present = 0;
    for (int i = 0; i < 20; ++i)
        if (z[i] > 0.0) ++present;
    for (int i = 0; i < 20; ++i) {
        if (!(z[i] > 0.0)) continue;
        double w[20] = {}, ln_fw[20] = {};
        for (int j = 0; j < 20; ++j)
            if (z[j] > 0.0) w[j] = j == i ? 1.0 - (present - 1) * kTrace : kTrace;
        if (!liquid_ln_fugacities(T, p, w, D, Dc, ln_fw)) continue;
        double tm = 0.0;
        for (int j = 0; j < 20; ++j)
            if (w[j] > 0.0) tm += w[j] * (ln_fw[j] - ln_fz[j]);
        if (tm < kSplitDistance) return true;
    }
    return false;
}

}  // namespace

bool split_below_has_less(double T, char letter, double b, const double z[20], double pb) {
    flash::QuietMessages quiet;
    for (double share : kSplitSamples) {
        TpState st;
        if (!tp_state(T, share * pb, z, st) || !st.two_phase) continue;
        if ((letter == 'H' ? st.h : letter == 'S' ? st.s : st.e) < b) return true;
    }
    return false;
}

bool liquid_splits_below(double T, const double z[20], double P, double D, double Dc) {
    flash::QuietMessages quiet;
    const double p = kLiquidTestShare * P;
    double ln_fz[20] = {};
    return liquid_ln_fugacities(T, p, z, D, Dc, ln_fz) &&
           nearly_pure_liquid_below(T, z, p, D, Dc, ln_fz);
}

double dew_pressure_below(double T, const double z[20], double P, double d_floor) {
    flash::QuietMessages quiet;
    double pd = 0, dl = 0, dv = 0, xd[20] = {}, yd[20] = {};
    int derr = 0;
    std::string dmsg;
    SATT(T, z, kDewPoint, pd, dl, dv, xd, yd, derr, dmsg);
    return derr <= 0 && pd > 0.0 && pd < P ? pd : d_floor * GCNST.r * T;
}

bool search_isotherm(double T, const Target& target, const double z[20], double plo, double f0,
                     double phi, int root, int max_fresh, TpState& st, bool check) {
    if (!on_isotherm(T, target, z, plo, f0, phi, root, st, max_fresh)) return false;
    if (!check) return true;
    const auto stable_value = [&](double p) {
        return tp_value_is(T, p, z, target.letter, target.b);
    };
    for (int k = 0; k < kSearchesOnward; ++k) {
        if (!st.continued || phases_stable(st, z) || stable_value(st.P)) return true;
        const double from = st.P;
        const bool found =
            root == kHigherRoot
                ? on_isotherm(T, target, z, plo, std::nan(""), from, root, st, max_fresh)
                : on_isotherm(T, target, z, from, std::nan(""), phi, root, st, max_fresh);
        if (!found) return false;
    }
    return !st.continued || stable_value(st.P);
}

}  // namespace lib::mix
