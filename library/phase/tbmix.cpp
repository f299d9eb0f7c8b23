// The searches of a mixture's flash at given temperature that need none of
// its state.
#include "library/phase/tbmix.h"

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/phase/abfl1.h"
#include "library/phase/abfl2.h"
#include "library/phase/brent.h"
#include "library/phase/critsingle.h"
#include "library/phase/dilute.h"
#include "library/phase/envelope.h"
#include "library/phase/eqdome.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/satcheb.h"
#include "library/phase/satmemo.h"
#include "library/phase/satt.h"
#include "library/phase/tbcall.h"
#include "library/phase/tprho.h"
#include "library/phase/warmstart.h"
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
// A split of the (T, p) flash at a dew pressure with a vapour fraction below
// this lies clearly short of that dew point.
constexpr double kShortOfDew = 0.99;
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
    if (liquid_ln_fugacities(T, p, z, D, Dc, ln_fz) &&
        nearly_pure_liquid_below(T, z, p, D, Dc, ln_fz))
        return true;
    // (Two liquids far from pure ones, which the trials above miss: r32 +
    // CF3I 1:1 at 150.15 K, 0.90 and 0.12 of r32 from 48 kPa up, where the
    // lower root of an entropy was given out as the liquid at 53 MPa.)
    TpState st;
    return tp_state(T, p, z, st) && st.two_phase && st.two_liquids;
}

double dew_pressure_below(double T, const double z[20], double P, double d_floor) {
    flash::QuietMessages quiet;
    double pd = 0, dl = 0, dv = 0, xd[20] = {}, yd[20] = {};
    int derr = 0;
    std::string dmsg;
    SATT(T, z, kDewPoint, pd, dl, dv, xd, yd, derr, dmsg);
    return derr <= 0 && pd > 0.0 && pd < P ? pd : d_floor * GCNST.r * T;
}

bool dew_point_among_splits(double T, double pdew, const double z[20]) {
    TpState tp;
    flash::QuietMessages quiet;
    return tp_state(T, pdew, z, tp) && tp.two_phase && tp.q < kShortOfDew;
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

namespace lib::tbcall {

// A mixture: its dew point at T bounds the vapour wherever it exists (a
// wet gas has one far above the critical point of the mixture); below
// the dew point the bubble point bounds the two-phase states where it
// exists, else the stable states along the isotherm are searched.
// Without a dew point the single-phase state is taken when it is
// stable.
void TemperatureFlash::mixture() {
    // A stable single phase first: far from the phase boundary no dew
    // point is needed (the 10-component gas at 350 K, above its
    // cricondentherm, spent 150 ms failing to find one).
    if (lerr <= 0 && !mix::no_dew_point(T, z)) {
        if (!in_range()) return;
        supercritical();
        const bool thinner = ierr <= 0 && D > 0.0 && (thinner_root() || thinner_split_below());
        if (ierr <= 0 && D > 0.0 && !thinner && mix::single_phase_kept(T, D, z)) {
            if (two_liquids_possible()) lower_split(dew_pressure());
            return;
        }
        if (ierr <= 0 && !thinner) unstable_D = D;
        ierr = 0;
        herr.clear();
    }
    bool dew = false;
    if (lerr <= 0 && !mix::no_dew_point(T, z)) {
        flash::QuietMessages quiet;
        SATT(T, z, kDewPoint, pdew, dldew, dvdew, xdew, ydew, jerr, jmsg);
        dew = jerr <= 0 && dvdew > 0.0 && pdew > 0.0;
        if (dew && dvdew < 2.0 * kDmin) set_floor(0.5 * dvdew);
    }
    if (!in_range()) return;
    if (!dew) {
        supercritical(true, dlow * GCNST.r * T);
        if (ierr == kNoStableRoot) return stable_state_instead(dlow * GCNST.r * T);
        if (ierr > 0 || (!thinner_root() && mix::single_phase_kept(T, D, z))) return;
        return along_isotherm(dlow * GCNST.r * T, std::nan(""));
    }
    bv = flash::prop(letter, T, dvdew, z);
    if (b >= bv) return vapour_below_dew();
    double tb = T;
    if (!mix::quick_bubble(true, z, tb, pbub, dlbub, dvbub, xbub, ybub) || !(pbub > pdew)) {
        // (A dew point among the (T, p) flash's splits bounds no vapour:
        // pentane + water at 328.8 K, one at 1.19 MPa among two liquids,
        // from which the search met the enthalpy of the vapour and water at
        // 51 kPa again among two liquids at 494 MPa, and gave them for the
        // lower root.  The isotherm from the lowest density searched, first
        // through the (T, p) flash's own states: the splits continued from
        // below passed the vapour and water of hexane + water at 340.7 K
        // and 103 kPa, and the search met the value at 426 MPa.)
        if (mix::dew_point_among_splits(T, pdew, z)) {
            if (on_own_states(dlow * GCNST.r * T, std::nan(""))) return;
            return along_isotherm(dlow * GCNST.r * T, std::nan(""));
        }
        return along_isotherm(pdew, bv - b, 0, kCheckWetGasSplits);
    }
    // Between the bubble and dew points, or a compressed liquid.
    dpmax = density_at_pmax(2);
    bpmax = flash::prop(letter, T, dpmax, z);
    bl = flash::prop(letter, T, dlbub, z);
    if (!above_minimum()) return;
    const bool dense_root = b < bpmax;
    if (dense_root) two_roots();
    if (b < bl) {
        // (With kr = 1 a split below the bubble point may meet b first;
        // where the search finds none, the liquid.)
        if (kr != kHigherRoot && split_below_has_less(pbub)) {
            along_isotherm(pdew, bv - b);
            if (ierr <= 0) return;
            ierr = 0;
            herr.clear();
        }
        return kr == kHigherRoot && dense_root ? stable_single(dext, dpmax)
                                               : stable_single(dlbub, dext);
    }
    if (kr == kHigherRoot && dense_root) return stable_single(dext, dpmax);
    two_phase();
    if (ierr <= 0 && split_is_stable()) {
        if (!thinner_split_found()) return;
        // A lower root below the split found: the isotherm from the dew
        // point, keeping the warning of a denser root.
        const int warning = ierr;
        const std::string text = herr;
        ierr = 0;
        herr.clear();
        along_isotherm(pdew, bv - b);
        if (ierr == 0 && warning < 0) {
            ierr = warning;
            herr = text;
        }
        return;
    }
    // The split between the bubble and dew points failed (close to the
    // dew line of a gas with heavy ends), or is no stable state: the
    // isotherm from the dew point.  (In the band of an azeotrope the
    // split by the lever rule, where it is the stable state.)
    ierr = 0;
    herr.clear();
    if (flash::azeotropic(pbub, pdew) && azeotropic_state()) return;
    along_isotherm(pdew, bv - b);
    if (ierr > 0 && below_dew_among_splits()) return;
    if (ierr > 0 && kr != kHigherRoot && dense_root && frozen_below_bubble()) {
        ierr = 0;
        herr.clear();
        stable_single(dext, dpmax);
    }
}

// The split of value b in the band of an azeotrope (flash::azeotropic): on
// the line between the bubble and the dew point, its vapour fraction by
// the lever rule on its phases, kept where its liquid is stable (the
// (T, p) flash cannot tell the vapour fraction where the phases differ no
// more than that).
bool TemperatureFlash::azeotropic_state() {
    q = std::fabs(bv - bl) > 0.0 ? (b - bl) / (bv - bl) : 0.5;
    P = pbub + q * (pdew - pbub);
    Dl = dlbub;
    Dv = dvdew;
    if (!flash::azeotropic_split(q, T, P, z, ybub, xdew, Dl, Dv, x, y) ||
        !mix::single_phase_stable(T, Dl, x))
        return false;
    const double bl_x = flash::prop(letter, T, Dl, x), bv_y = flash::prop(letter, T, Dv, y);
    if (std::fabs(bv_y - bl_x) > 0.0) q = (b - bl_x) / (bv_y - bl_x);
    flash::mix_phases(T, q, Dl, Dv, x, y, e, h, s, cv, cp, w);
    D = flash::mixed_density(q, Dl, Dv);
    ierr = 0;
    herr.clear();
    return true;
}

// Where the search from the dew point found no state: a dew point among
// the splits of the (T, p) flash bounds no vapour, its value bv is no
// stable state's, and the stable states of the value may lie below it
// (ammonia + propane at 213.5 K: a dew point at 102 kPa among two liquids
// and a vapour, the vapour and ammonia's liquid of the entropy at 58 kPa).
// The (T, p) flash's own states from the lowest density searched then
// (false, the failure kept, where they have none).
bool TemperatureFlash::below_dew_among_splits() {
    if (!mix::dew_point_among_splits(T, pdew, z) ||
        !on_own_states(dlow * GCNST.r * T, std::nan("")))
        return false;
    ierr = 0;
    herr.clear();
    return true;
}

// Whether the (T, p) flash refuses the states just below the bubble
// point as frozen: the splits there are no fluid states, and a lower
// root of the value among them none either (r32 + r134a 50/50 at 150 K,
// 2.9 K below the freezing of its r134a: the liquid at 10 kPa has the
// enthalpy of a split of vapour fraction 2e-5 just below its bubble
// point at 0.185 kPa, whose r134a would freeze out; THFLSH with the
// lower root asked for failed with 248 instead of giving the liquid,
// the only fluid state of that enthalpy).
bool TemperatureFlash::frozen_below_bubble() const {
    constexpr double kBelowBubble = 1e-3;  // share of the bubble pressure
    std::string reason;
    return pbub > 0.0 && mix::tp_flash_refuses_frozen(T, (1.0 - kBelowBubble) * pbub, z, reason);
}

// A mixture without a dew point found whose single-phase search ended on
// a root that is no stable state: the stable states along the isotherm
// from plo, else that error stays (methane + carbon dioxide 98/2 at
// 165 K: its dew iteration fails, the gas below 2 MPa has frozen carbon
// dioxide, and the lower root of the liquid's enthalpy at 3 MPa was
// refused for the root at 5.5 mol/L).
void TemperatureFlash::stable_state_instead(double plo) {
    const int kept = ierr;
    const std::string kept_msg = herr;
    const double kept_q = q;
    ierr = 0;
    herr.clear();
    if (on_isotherm(plo, std::nan(""), kr) || on_own_states(plo, std::nan(""))) return;
    ierr = kept;
    herr = kept_msg;
    q = kept_q;
}

// Whether the lower root is asked for and a split below the one found
// has less than b: from the dew point's value, above b, the splits met
// b at a lower pressure first.  The enthalpy and energy of the splits
// need not fall monotonically with the pressure (methane + butane at
// 139.9 K: the enthalpy falls to 5.8 kPa, rises to 105 kPa and falls
// again; one value at 1.24, 28 and 156 kPa, the two-phase solver ending
// on the last); their entropy does.
bool TemperatureFlash::thinner_split_found() const {
    return kr != kHigherRoot && letter != 'S' && P > pdew && split_below_has_less(P);
}

// Whether the lower root is asked for and the single phase found at D
// lies where the value rises with the density while the gas at the
// lowest density searched has more: the value of the stable states is
// continuous along the isotherm (a pure fluid's falls at its vapour
// pressure), and fell to b at a lower pressure.  The single-phase
// search of a mixture's whole isotherm can end on that dense root
// (carbon dioxide + R143a at 248.3 K: a vapour at 234 kPa and a liquid
// at 480 MPa of the same enthalpy).
bool TemperatureFlash::thinner_root() const {
    return kr != kHigherRoot && (dilute > 0.0 || b < b_lo) && slope(D) > 0.0;
}

// Whether the lower root is asked for and the dense single phase found
// lies on a falling stretch of the value above a bubble point, below
// which a stable state has less than b: the stable states from the gas
// (whose value lies above b) to it meet b at a lower pressure (carbon
// monoxide + ethanol at 407.7 K: a split at 7.57 MPa and a liquid at
// 43.3 MPa of the same energy; the splits' value dips to 12,020 J/mol
// at 18 MPa, below b, and rises again to the bubble point at 42.2 MPa).
bool TemperatureFlash::thinner_split_below() {
    if (kr == kHigherRoot || !(D > Dc) || !(b < b_lo) || !(slope(D) < 0.0)) return false;
    double p = 0.0, tb = T, pb = 0.0, dl = 0.0, dv = 0.0, xl[20], xv[20];
    PRESS(T, D, z, p);
    flash::QuietMessages quiet;
    return mix::quick_bubble(true, z, tb, pb, dl, dv, xl, xv) && pb < p && split_below_has_less(pb);
}

bool TemperatureFlash::split_below_has_less(double pb) const {
    return mix::split_below_has_less(T, letter, b, z, pb);
}

// A mixture's vapour thinner than at its dew point, kept where it is
// stable: the dew point found need not be the lowest on the isotherm
// (heptane + oxygen at 186 K: one at 709 MPa, below which the vapour
// of the value is supersaturated with heptane), and else the isotherm
// is searched from the lowest density.
void TemperatureFlash::vapour_below_dew() {
    single(dlow, dvdew);
    if (ierr > 0) return;
    const bool known_unstable = std::fabs(D - unstable_D) <= kOtherRoot * D;
    if (!known_unstable && mix::single_phase_kept(T, D, z)) return;
    ierr = 0;
    herr.clear();
    double p_low = 0.0;
    PRESS(T, dlow, z, p_low);
    along_isotherm(p_low, std::nan(""));
}

// Whether the (T, p) flash's state at the pressure of the split found
// has its value of the property: the split between the bubble and dew
// points may be one whose liquid splits again (ethanol + ethylene at
// 190.06 K: a vapour and liquid at 289 kPa, where two liquids and a
// vapour of another enthalpy are stable).
// Its phases are then named as that flash names them.  In the narrow
// band of a nearly azeotropic blend the vapour fraction follows the
// pressure too steeply for the flash's value to meet b to 1e-7, and the
// two-phase solver's vapour fraction may meet it no better (R512A at
// 276.8 K: bubble and dew points 4e-8 apart in pressure, the solver's
// split at the pressure right to 1e-13 had the flash's phases and an
// energy 6e-6 off): where the flash's split has the phases found, the
// vapour fraction at which they meet b is taken if it is the flash's.
bool TemperatureFlash::split_is_stable() {
    mix::TpState tp;
    if (!mix::tp_value_is(T, P, z, letter, b, &tp) && !quality_of_value(tp)) return false;
    mix::name_phases_as(tp, Dl, Dv, x, y, q);
    return true;
}

// Where the (T, p) flash's state tp is a split of the phases found (in
// either order, their densities and mole fractions to kSamePhases), the
// vapour fraction at which they have the value b, taken (with the mixed
// properties) where it is the flash's to kSameQuality; a split of other
// phases, or of another vapour fraction (the two-phase solver may end
// on a split that does not meet b: methane + isobutane at 118.7 K, at
// 73.5 kPa for a state at 0.13 kPa), is not taken.
bool TemperatureFlash::quality_of_value(const mix::TpState& tp) {
    if (!tp.two_phase) return false;
    const auto same = [](double a, double c) {
        return std::fabs(a - c) <= kSamePhases * std::max(std::fabs(c), 1.0);
    };
    bool direct = same(tp.Dl, Dl) && same(tp.Dv, Dv);
    bool turned = same(tp.Dl, Dv) && same(tp.Dv, Dl);
    for (int i = 0; i < 20; ++i) {
        direct = direct && same(tp.x[i], x[i]) && same(tp.y[i], y[i]);
        turned = turned && same(tp.x[i], y[i]) && same(tp.y[i], x[i]);
    }
    if (!direct && !turned) return false;
    const double b_liquid = flash::prop(letter, T, Dl, x), b_vapour = flash::prop(letter, T, Dv, y);
    const double qb = (b - b_liquid) / (b_vapour - b_liquid);
    const double q_tp = direct ? tp.q : 1.0 - tp.q;
    if (!(std::fabs(qb - q_tp) <= kSameQuality) || !(qb > 0.0 && qb < 1.0)) return false;
    q = qb;
    flash::mix_phases(T, q, Dl, Dv, x, y, e, h, s, cv, cp, w);
    D = flash::mixed_density(q, Dl, Dv);
    return true;
}

// A mixture's compressed liquid between the densities lo and hi, kept
// where it is stable; else (two liquids of lower Gibbs energy at its
// pressure) the isotherm is searched from the dew point.
void TemperatureFlash::stable_single(double lo, double hi) {
    single(lo, hi);
    if (ierr > 0) return;
    if (mix::single_phase_kept(T, D, z)) {
        if (two_liquids_possible()) lower_split(pdew);
        return;
    }
    const int warning = ierr;
    const std::string text = herr;
    ierr = 0;
    herr.clear();
    along_isotherm(pdew, bv - b, kSplitSearchStates);
    // (The warning of two roots stays with the state found.)
    if (ierr == 0 && warning < 0) {
        ierr = warning;
        herr = text;
    }
}

// Whether the lower root is asked for, the single phase found is dense
// and its feed's liquid splits in two at a lower pressure: the stable
// states of two liquids along the isotherm need not fall in value with
// the pressure as a single phase's do, and one below may have the same
// value (octane + water at 350 K: two liquids at 100 kPa and one liquid
// at 328 MPa of the same entropy).
bool TemperatureFlash::two_liquids_possible() {
    if (kr == kHigherRoot || !(D > Dc) || !(P > 0.0)) return false;
    if (liquids_tested) return liquids_split;
    liquids_tested = true;
    liquids_split = mix::liquid_splits_below(T, z, P, D, Dc);
    return liquids_split;
}

// The lowest-pressure stable state of the value between plo (a dew
// point) and the dense single phase found, taken in its place where
// there is one (at a bounded cost; else the single phase stays).
void TemperatureFlash::lower_split(double plo) {
    mix::TpState st;
    bool found = false;
    {
        flash::QuietMessages quiet;
        found = search(plo, std::nan(""), P, kLowerRoot, kSplitSearchStates, st);
    }
    // (The search may end on the single phase itself.)
    if (!found || !(st.D < (1.0 - kOtherRoot) * D)) return;
    take(st);
    if (ierr == 0) two_roots();
}

// The stable state of the given value along the isotherm, from the
// pressure plo (where the value exceeds b by f0, when known) up to the
// pressure limit.
void TemperatureFlash::along_isotherm(double plo, double f0, int max_fresh, bool check) {
    if (on_isotherm(plo, f0, kr, max_fresh, check) || on_own_states(plo, f0)) return;
    ierr = 0;
    herr.clear();
    fail(248, head,
         "no stable state of the mixture with " + lname + " =" + fmt_g(b, 12, 5) +
             " found along the isotherm T =" + fmt_g(T, 12, 5) + " K",
         ierr, herr);
    q = kQualityFailed;
}

// A mixture's value below the lowest of its single phase along the
// isotherm: two liquids split off the feed lie lower in enthalpy and
// entropy than its one liquid, and the isotherm is searched up from
// plo for them, at a bounded cost (quietly: where none is found the
// value is refused as outside the limits).  Their value changes little
// and in one direction with the pressure: one root, whichever kr asks.
// Where the march up follows a vapour and liquid carried past the
// three-phase line and finds none, the isotherm is searched down from
// the pressure limit as well (ammonia + propylene at 200.5 K: the split
// of the dew point at 18 kPa carried past 35.6 kPa, where two liquids
// take over whose enthalpy meets the value below 36.0 kPa).
bool TemperatureFlash::two_liquids_below(double plo, double f0) {
    if (icomp != 0) return false;
    bool found = false;
    {
        flash::QuietMessages quiet;
        found = on_isotherm(plo, f0, kLowerRoot, kSplitSearchStates) ||
                on_isotherm(plo, std::nan(""), kHigherRoot, kSplitSearchStates);
    }
    if (!found) return false;
    ierr = 0;
    herr.clear();
    return true;
}

// The stable state of the given value along the isotherm from plo
// (its outputs set), or false; root is kr's choice, and with
// max_fresh > 0 the search's cost is bounded (mix::Tracker).
bool TemperatureFlash::on_isotherm(double plo, double f0, int root, int max_fresh, bool check) {
    mix::TpState st;
    if (!search(plo, f0, pressure_limit(), root, max_fresh, st, check)) return false;
    take(st);
    return true;
}

// The search of on_isotherm with every state the (T, p) flash's own, at
// a bounded cost (kOwnStates): where the search that continues splits
// finds none, it may have carried a split past a three-phase line
// (ammonia + propylene at 200.5 K: the vapour and liquid of the dew
// point at 18 kPa carried past 35.6 kPa, where two liquids take over
// whose energy meets the value at 36.0 kPa).
bool TemperatureFlash::on_own_states(double plo, double f0) {
    mix::TpState st;
    const mix::Target target{letter, b, kMolarQuality};
    if (!mix::on_isotherm(T, target, z, plo, f0, pressure_limit(), kr, st, kOwnStates, false))
        return false;
    take(st);
    return true;
}

// The outputs from a stable state found along the isotherm.
void TemperatureFlash::take(const mix::TpState& st) {
    P = st.P;
    D = st.D;
    Dl = st.Dl;
    Dv = st.Dv;
    flash::copy20(st.x, x);
    flash::copy20(st.y, y);
    if (st.two_phase) {
        q = st.q;
        flash::mix_phases(T, q, Dl, Dv, x, y, e, h, s, cv, cp, w);
        return;
    }
    double hjt = 0, p = 0;
    THERM(T, D, z, p, e, h, s, cv, cp, w, hjt);
    q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
}

}  // namespace lib::tbcall
