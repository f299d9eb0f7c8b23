// The stable state of a mixture along an isobar or an isotherm, found by
// Brent's method on the (T, p) flash of the mixture (the tangent-plane test
// and the split): enthalpy, entropy, energy and volume rise with the
// temperature along an isobar, the volume falls with the pressure along an
// isotherm, across every phase boundary.
#include "library/phase/mixflash.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/phase/brent.h"
#include "library/phase/envelope.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/satmemo.h"
#include "library/phase/sattp.h"
#include "library/phase/searchjumps.h"
#include "library/phase/stability.h"
#include "library/phase/threephase.h"
#include "library/phase/tpflsh.h"
#include "library/phase/tpmix.h"
#include "library/phase/tprho.h"
#include "library/setup/records.h"

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

// The value of a search's target at a state: a single phase counts as
// vapour fraction 0 on the liquid side, else 1.  A state beyond the
// critical estimate (no side in its name) is on the side of a phase of the
// search's last split (`split`, where it had one) whose density lies within
// kSideShare of their difference: next to a phase boundary the single phase
// is that phase.  (The 10-component gas at 7 MPa: its liquid between the
// bubble point, 213.9 K, and the estimate, 213.0 K, counted as 1 and left
// the split of 214 K outside the bracket, whose search narrowed the
// estimate's jump for 0.6 s and failed.  Near the critical point, where the
// split's densities lie close and move fast, the nearer of the two misnamed
// the gas beyond a retrograde dew point at 10 MPa.)
constexpr double kSideShare = 0.25;
double target_value(const Target& t, const TpState& st, const TpState& split) {
    if (t.letter != 'Q') return property(t.letter, st);
    if (!st.two_phase) {
        if (st.q == kQualitySupercritical && split.two_phase) {
            const double near = kSideShare * std::fabs(split.Dl - split.Dv);
            if (std::fabs(st.D - split.Dl) < near) return 0.0;
            if (std::fabs(st.D - split.Dv) < near) return 1.0;
        }
        return st.q == kQualityLiquid ? 0.0 : 1.0;
    }
    if (t.kq != kMassQuality) return st.q;
    double qkg = 0, xlkg[20], xvkg[20], wl = 0, wv = 0;
    int jerr = 0;
    std::string jmsg;
    QMASS(st.q, st.x, st.y, qkg, xlkg, xvkg, wl, wv, jerr, jmsg);
    return qkg;
}

// A change of sign of f between a and b (none where a == b).
struct Bracket {
    double a = 0, fa = 0, b = 0, fb = 0;
};

// Where a march has passed a turn of f without a change of sign (|f| fell
// from (x1, f1) to (x2, f2) and rose to (x3, f3)): the turn is searched by
// golden sections for a point of the other sign; a, b then bracket the
// crossing on the march's side of the turn, and `beyond` the one between
// that point and the turn's lowest |f| (where the march's side holds a
// jump of f, from one phase to another, and no root).
template <class F>
bool crossing_in_turn(F f, double x1, double f1, double x2, double f2, double x3, double f3,
                      double& a, double& fa, double& b, double& fb, Bracket& beyond,
                      bool by_length) {
    const double sign = f2 > 0.0 ? 1.0 : -1.0;
    constexpr double kGolden = 0.3819660112501051;
    double lo = x1, hi = x3, xm = x2, fm = f2;
    (void)f3;
    for (int it = 0; it < 30 && std::fabs(hi - lo) > 1e-7 * (1.0 + std::fabs(xm)); ++it) {
        // A new point in the larger of the two intervals beside the best
        // (with `by_length` by their lengths: a march down has hi below lo;
        // the searches of h, s and e keep the signed comparison, whose
        // refusals would cost twice as much).
        const bool right = by_length ? std::fabs(hi - xm) > std::fabs(xm - lo) : hi - xm > xm - lo;
        const double xn = right ? xm + kGolden * (hi - xm) : xm - kGolden * (xm - lo);
        double vn = 0.0;
        if (!f(xn, vn)) return false;
        if ((vn > 0.0) != (sign > 0.0) || vn == 0.0) {
            // The crossing on the march's side: between its start and xn.
            a = x1;
            fa = f1;
            b = xn;
            fb = vn;
            beyond = Bracket{xn, vn, xm, fm};
            return true;
        }
        if (sign * vn < sign * fm) {
            (right ? lo : hi) = xm;
            xm = xn;
            fm = vn;
        } else {
            (right ? hi : lo) = xn;
        }
    }
    return false;
}

// The longest step of a march, as a multiple of its first: a march whose values
// change slowly far from the crossing (the vapour fraction of a wet gas
// just above its lower dew point) otherwise grows its steps fourfold each
// time and leaps past the whole two-phase region (the 10-component gas at
// 240 K: from 0.74 MPa to 446 MPa, onto a split of the equations there,
// whose edge the search then narrowed for 7 s).  (Ten times the first
// step kept marches on metastable continued splits that the longer steps
// left: cyclopropane + propane at 149 K.)
constexpr double kLongestStep = 30.0;

// How often the first step of a march is cut to a quarter where it lands
// on the start's value.
constexpr int kFirstStepCuts = 8;
// How many turns that do not reach zero a march resumed past one passes.
constexpr int kTurnsPassed = 4;

// The first change of sign of f from (x0, f0) towards x_end: steps growing
// from `step` up to kLongestStep times it; a failed point is moved halfway
// back.  False at x_end without one, or past a turn that does not reach
// zero (where `turn`, if given, receives the march's last two points).
// With `past_turn` the march starts past such a turn and goes on past
// kTurnsPassed more (a search that found nothing nearer resumes there);
// `by_length` is passed to crossing_in_turn.
template <class F>
bool first_crossing(F f, double x0, double f0, double x_end, double step, double& a, double& fa,
                    double& b, double& fb, Bracket& beyond, Bracket* turn = nullptr,
                    bool past_turn = false, bool by_length = false) {
    bool leaving_turn = past_turn;
    int turns = 0;
    const double longest = kLongestStep * step, first = step;
    const double dir = x_end > x0 ? 1.0 : -1.0;
    double xp = x0, fp = f0, xpp = x0, fpp = f0;
    bool two = false;
    int shrink = 0;
    for (int k = 0; k < 80; ++k) {
        double xn = xp + dir * step;
        if (dir * (xn - x_end) > 0.0) xn = x_end;
        double vn = 0.0;
        int back = 0;
        while (!f(xn, vn)) {
            if (++back > 5) return false;
            xn = 0.5 * (xn + xp);
        }
        // The first step landed on the same value (one phase on both sides
        // of a region too thin for it: the vapour fraction close to the
        // cricondentherm): shorter steps from the start.
        if (!two && vn == fp && shrink < kFirstStepCuts) {
            ++shrink;
            step *= 0.25;
            continue;
        }
        // Still the same value after every cut: no thin region, but a
        // stretch of one phase (the gas below a dew point whose vapour
        // fraction is sought): the march goes on with its first step, not
        // growing from the shortest (octane + water at 301 K, q 0.499996:
        // from 0.24 kPa the steps from 1.5e-6 in ln P spent the states
        // before the split of two liquids at 519 kPa).
        const bool flat_start = !two && vn == fp;
        if (vn == 0.0 || (vn > 0.0) != (fp > 0.0)) {
            a = xp;
            fa = fp;
            b = xn;
            fb = vn;
            return true;
        }
        if (std::fabs(vn) < std::fabs(fp)) leaving_turn = false;
        if (two && !leaving_turn && std::fabs(vn) > std::fabs(fp)) {
            if (crossing_in_turn(f, xpp, fpp, xp, fp, xn, vn, a, fa, b, fb, beyond, by_length))
                return true;
            if (!past_turn || ++turns > kTurnsPassed) {
                if (turn != nullptr) *turn = Bracket{xp, fp, xn, vn};
                return false;
            }
            leaving_turn = true;
        }
        if (xn == x_end) return false;
        xpp = xp;
        fpp = fp;
        xp = xn;
        fp = vn;
        two = true;
        // The next step: a tenth beyond where the secant of the last two
        // points crosses zero, within half and four times the last step.
        const double slope = (fp - fpp) / (xp - xpp);
        const double last = std::fabs(xp - xpp);
        const double reach = slope != 0.0 ? -fp / slope * dir : -1.0;
        step = reach > 0.0 && std::isfinite(reach) ? std::clamp(1.1 * reach, 0.5 * last, 4.0 * last)
                                                   : 1.5 * last;
        if (flat_start) step = std::max(step, first);
        step = std::min(step, longest);
    }
    return false;
}

// Whether a bubble point's incipient vapour of density dv beside the
// feed's liquid dl is a liquid: denser than the feed, or more than half as
// dense far below the critical temperature (acetone + R113 at 3.69 MPa:
// 11.4 beside 11.9 mol/L at 196 K, where the bubble point lies at 482.7 K).
bool liquid_for_vapour(const double z[20], double T, double dl, double dv) {
    if (dv > dl) return true;
    if (!(dv > 0.5 * dl)) return false;
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    CRITP(z, Tc, Pc, Dc, jerr, jmsg);
    return jerr <= 0 && T < 0.8 * Tc;
}

// The bubble point of z at T (at_t) or P by Newton's method alone; ierr 1
// where it is not found (or ends on two liquids).
SatAnswer newton_bubble(bool at_t, const double z[20], double T, double P) {
    double t = T, p = P, D = 0, dl = 0, dv = 0, l[20] = {}, v[20] = {}, q = 0;
    int jerr = 0;
    std::string jmsg;
    {
        flash::QuietMessages quiet;
        SwitchGuard own_failure(FLAGS2.spline_status, 1);
        SATTP(t, p, z, at_t ? kBubbleAtT : kBubbleAtP, 0, D, dl, dv, l, v, q, jerr, jmsg);
    }
    SatAnswer a;
    if (jerr != 0 || !(dl > 0.0 && dv > 0.0 && t > 0.0 && p > 0.0) ||
        liquid_for_vapour(z, t, dl, dv)) {
        a.ierr = 1;
        return a;
    }
    a.set(t, p, dl, dv, l, v);
    return a;
}

}  // namespace

bool quick_bubble(bool at_t, const double z[20], double& T, double& P, double& Dl, double& Dv,
                  double xl[20], double xv[20]) {
    // (Newton's method hands a pure fluid, and a mixing rule without
    // composition derivatives, to the general roads.)
    if (ISPURE(z) != 0 || present(z).m < 2 || EOSMOD.mix.starts("PR")) return false;
    const SatQuestion question{at_t ? kQuickBubbleAtT : kQuickBubbleAtP, at_t ? T : P, z};
    SatAnswer a;
    if (!recall(question, a)) {
        a = newton_bubble(at_t, z, T, P);
        keep(question, a);
    }
    if (a.ierr != 0) return false;
    T = a.T;
    P = a.P;
    Dl = a.Dl;
    Dv = a.Dv;
    flash::copy20(a.xl, xl);
    flash::copy20(a.xv, xv);
    return true;
}

void continue_split(double T, double P, const double z[20], double& Dl, double& Dv, double x[20],
                    double y[20], double& q, bool& equilibrium, int& ierr, std::string& herr,
                    double* contraction) {
    TpResult r;
    r.Dl = Dl;
    r.Dv = Dv;
    r.contraction = contraction != nullptr ? *contraction : 0.0;
    double K[20] = {};
    for (int i = 0; i < 20; ++i) K[i] = x[i] > 0.0 ? y[i] / x[i] : 0.0;
    ierr = 0;
    herr.clear();
    // (A vapour and a liquid: two liquids' labels are the flash's to give.)
    const bool warm = r.Dv > 0.0 && r.Dl > 2.0 * r.Dv;
    const bool passes = !frozen_trace(T, z).any && split_by_substitution(T, P, z, K, r, warm);
    if (contraction != nullptr) *contraction = r.contraction;
    if (passes) {
        equilibrium = true;
        q = r.q;
        Dl = r.Dl;
        Dv = r.Dv;
        flash::copy20(r.x, x);
        flash::copy20(r.y, y);
        return;
    }
    // Newton's method from where the substitution got to.
    if (r.q > 0.0 && r.q < 1.0 && r.Dl > 0.0 && r.Dv > 0.0) {
        q = r.q;
        Dl = r.Dl;
        Dv = r.Dv;
        flash::copy20(r.x, x);
        flash::copy20(r.y, y);
    }
    flash::QuietMessages quiet;
    split_trial(T, P, z, Dl, Dv, x, y, q, equilibrium, ierr, herr);
}

bool StateMemo::at(double T, double P, const double z[20], TpState& st) {
    for (const Entry& e : entries_)
        if (e.T == T && e.P == P) {
            st = e.st;
            return e.ok;
        }
    const bool ok = tp_state(T, P, z, st);
    entries_.push_back(Entry{T, P, ok, st});
    return ok;
}

bool Tracker::at(double T, double P, TpState& st) {
    if (split_ && continue_splits_) {
        TpState s = last_;
        bool equilibrium = false;
        int jerr = 0;
        std::string jmsg;
        continue_split(T, P, z_, s.Dl, s.Dv, s.x, s.y, s.q, equilibrium, jerr, jmsg);
        if (jerr <= 0 && equilibrium && s.q > 1e-9 && s.q < 1.0 - 1e-9 &&
            std::fabs(s.Dl - s.Dv) > 1e-6 * s.Dl) {
            // Two liquids keep the label of the (T, p) flash: the denser
            // is the liquid.
            if (s.two_liquids && s.Dl < s.Dv) {
                flash::swap_phases(s);
            }
            double cv = 0, cp = 0, w = 0;
            flash::mix_phases(T, s.q, s.Dl, s.Dv, s.x, s.y, s.e, s.h, s.s, cv, cp, w);
            s.T = T;
            s.P = P;
            s.D = flash::mixed_density(s.q, s.Dl, s.Dv);
            s.two_phase = true;
            s.continued = true;
            st = last_ = s;
            return true;
        }
    }
    if (max_fresh_ > 0 && ++fresh_ > max_fresh_) return false;
    if (!(memo_ != nullptr ? memo_->at(T, P, z_, st) : tp_state(T, P, z_, st))) return false;
    split_ = st.two_phase;
    if (split_) last_ = st;
    return true;
}

namespace {

// Two densities of one root.
bool same_density(double a, double b) { return std::fabs(a - b) <= 1e-6 * b; }

// The single phase the (T, p) flash takes outside its two-phase window
// (untested): the liquid root below the critical temperature and above the
// critical pressure, else the vapour root.
bool window_root(double T, double P, const double z[20], double Tc, double Pc, double& D) {
    const int kph = T < Tc && P > Pc ? kLiquid : kVapour;
    int ierr = 0;
    std::string herr;
    stable_density(T, P, z, kph, kNoStartValue, D, ierr, herr);
    return ierr <= 0 && D > 0.0;
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
        if (outside_two_phase_window(T, P, z, Tc)) {
            if (!window_root(T, P, z, Tc, Pc, r.D)) return false;
            double p = 0, cv = 0, cp = 0, w = 0, hjt = 0;
            THERM(T, r.D, z, p, r.e, r.h, r.s, cv, cp, w, hjt);
            r.Dl = r.Dv = r.D;
            r.q = flash::single_phase_quality(T, P, r.D, Tc, Pc, Dc);
            flash::copy20(z, r.x);
            flash::copy20(z, r.y);
        } else {
            tp_mixture(T, P, z, Tc, Pc, Dc, r, ierr, herr);
        }
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
    st.two_liquids = st.two_phase && r.two_liquids;
    st.continued = false;
    flash::copy20(r.x, st.x);
    flash::copy20(r.y, st.y);
    return true;
}

namespace {

// Whether the tangent-plane test `test` of the phase p (density d) of a
// split found only the other phase w again, at a distance of rounding, and
// no second liquid splits off p (the test ends on its first trial below p:
// the liquid of a vapour and a liquid carried above a three-phase line
// finds the vapour first, ethanol + toluene at 258 K, 0.78 kPa).
bool finds_phase(double T, double P, const Stability& test, const double p[20], double d,
                 const double w[20]) {
    constexpr double kRounding = -1e-8, kSameComposition = 1e-6;
    if (!(test.tm > kRounding)) return false;
    for (int i = 0; i < 20; ++i)
        if (std::fabs(test.w[i] - w[i]) > kSameComposition) return false;
    Stability liquid;
    return liquids_modelled() && !any_frozen(T, p) && !second_liquid(T, P, p, d, liquid);
}

}  // namespace

bool phases_stable(const TpState& st, const double z[20]) {
    constexpr double kTracePhase = 0.01;
    if (!st.two_phase || !(st.q >= kTracePhase && st.q <= 1.0 - kTracePhase)) return false;
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    CRITP(z, Tc, Pc, Dc, jerr, jmsg);
    if (jerr > 0 || outside_two_phase_window(st.T, st.P, z, Tc)) return false;
    // The phases share one tangent plane: one phase whose test finds no
    // trial below it, the other's at most the first phase again (at a
    // distance of rounding).
    const Stability tx = stability(st.T, st.P, st.x), ty = stability(st.T, st.P, st.y);
    if (!tx.found || !ty.found) return false;
    return (tx.stable && (ty.stable || finds_phase(st.T, st.P, ty, st.y, st.Dv, st.x))) ||
           (ty.stable && finds_phase(st.T, st.P, tx, st.x, st.Dl, st.y));
}

bool tp_value_is(double T, double P, const double z[20], char letter, double b, TpState* at) {
    constexpr double kSameValue = 1e-7;
    TpState st;
    if (!tp_state(T, P, z, st)) return false;
    if (at != nullptr) *at = st;
    const double v = letter == 'S' ? st.s : letter == 'E' ? st.e : st.h;
    return std::fabs(v - b) <= kSameValue * (std::fabs(b) + 1.0);
}

void name_phases_as(const TpState& tp, double& Dl, double& Dv, double x[20], double y[20],
                    double& q) {
    constexpr double kSamePhase = 1e-6;
    if (!tp.two_phase) return;
    bool swapped =
        std::fabs(tp.Dl - Dv) <= kSamePhase * tp.Dl && std::fabs(tp.Dv - Dl) <= kSamePhase * tp.Dv;
    for (int i = 0; i < 20 && swapped; ++i)
        swapped =
            std::fabs(tp.x[i] - y[i]) <= kSamePhase && std::fabs(tp.y[i] - x[i]) <= kSamePhase;
    if (swapped) flash::swap_phases(Dl, Dv, x, y, q);
}

bool single_phase_stable(double T, double D, const double z[20], bool* tested) {
    double P = 0.0;
    PRESS(T, D, z, P);
    return single_phase_stable_at(T, D, P, z, tested);
}

bool single_phase_stable_at(double T, double D, double P, const double z[20], bool* tested) {
    if (tested != nullptr) *tested = false;
    if (!(P > 0.0) || !std::isfinite(P)) return false;
    // Outside the window of the (T, p) flash no test is made: it takes the
    // single phase there as well, but only its own root (ethanol + o-xylene
    // at 547 K, 25 kPa: a liquid root of the entropy asked for, where the
    // flash takes the vapour).
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    CRITP(z, Tc, Pc, Dc, jerr, jmsg);
    if (jerr > 0 || !outside_two_phase_window(T, P, z, Tc)) {
        if (tested != nullptr) *tested = true;
        const Stability st = stability(T, P, z);
        if (!st.found || !st.stable || !same_density(st.D, D)) return false;
    } else if (T < highest_critical_temperature(z)) {
        // (Above that temperature the isotherm has one root.)
        double d = 0.0;
        if (!window_root(T, P, z, Tc, Pc, d) || !same_density(d, D)) return false;
    }
    // (No fugacities where no component of z is frozen at T.)
    if (!any_frozen(T, z)) return true;
    double f[20] = {};
    FGCTY2(T, D, z, f, jerr, jmsg);
    return jerr <= 0 && freezing_component(T, P, z, f) < 0;
}

namespace {

// Whether the bracket (ta, tb) of b along the isobar (fta the residual at
// ta) closes on a three-phase line whose band holds b: its end states are
// taken from `recent`.
bool band_holds(double P, char letter, double b, const double z[20],
                const jumps::RecentStates& recent, double ta, double fta, double tb) {
    const TpState* sa = recent.at(ta);
    const TpState* sb = recent.at(tb);
    if (sa == nullptr || sb == nullptr) return false;
    const bool a_below = fta < 0.0;
    StateMemo memo;
    return inside_three_phase_band(P, letter, b, z, a_below ? *sa : *sb, a_below ? *sb : *sa, memo);
}

}  // namespace

bool on_isobar(double P, char letter, double b, const double z[20], double tlo, double thi,
               TpState& st, bool* three_phase) {
    if (three_phase != nullptr) *three_phase = false;
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    const double target = letter == 'D' ? 1.0 / b : b;
    TpState last;
    jumps::RecentStates recent;
    const auto f = [&](double T, double& v) {
        TpState s;
        if (!tp_state(T, P, z, s)) return false;
        v = property(letter, s) - target;
        last = s;
        recent.keep(T, s);
        return std::isfinite(v);
    };
    // A bracket of the root: steps of growing length from the start in the
    // direction the residual points, a failed point moved back halfway.
    double ta = 0, fta = 0, tb = 0, ftb = 0;
    if (!bracket_root(f, std::clamp(0.5 * (tlo + thi), tmin, 1.5 * tmax),
                      std::max(1.0, 0.05 * (thi - tlo)), tmin, 1.5 * tmax, ta, fta, tb, ftb))
        return false;
    // (A bracket across a three-phase line whose band holds b has no root:
    // Brent's method would close on the jump, each state beside the line
    // a dear one for the (T, p) flash.)
    if (three_phase != nullptr && band_holds(P, letter, b, z, recent, ta, fta, tb)) {
        *three_phase = true;
        return false;
    }
    const double ftol = 1e-12 * (std::fabs(target) + (letter == 'D' ? 0.0 : 1.0));
    double T = 0.0, fT = 0.0;
    if (!brent_root(f, ta, fta, tb, ftb, ftol, 1e-14, 80, T, &fT) || !no_jump(fT, ftol))
        return false;
    if (last.T != T && !tp_state(T, P, z, last)) return false;
    st = last;
    return true;
}

namespace {

// ln D of the stable state found within this of the target.
constexpr double kDensityFound = 1e-9;

// A state of a search along an isotherm: ln p, the residual there and the
// state.
struct IsothermPoint {
    double lnp = 0.0, f = 0.0;
    TpState st;
};

// The pressure of the stable state of feed z at T whose density is D, by
// Brent's method on ln P between plo and phi (widened as needed); with
// `track` each state continues the split of the last (Tracker), else each
// is the (T, p) flash's own.  A jump it closed on goes to `jump`.
bool density_on_isotherm(double T, double D, const double z[20], double plo, double phi, bool track,
                         StateMemo& memo, TpState& st, DensityJump& jump) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    const double target = std::log(D);
    TpState last;
    Tracker tracker(z);
    tracker.use(&memo);
    std::vector<IsothermPoint> met;
    // ln D rises with ln P.
    const auto f = [&](double lnp, double& v) {
        TpState s;
        if (!(track ? tracker.at(T, std::exp(lnp), s) : memo.at(T, std::exp(lnp), z, s)))
            return false;
        v = std::log(s.D) - target;
        last = s;
        if (std::isfinite(v)) met.push_back(IsothermPoint{lnp, v, s});
        return std::isfinite(v);
    };
    plo = std::max(plo, 1e-10);
    phi = std::max(phi, 1.01 * plo);
    double a = 0, fa = 0, b = 0, fb = 0;
    const double lo = std::log(1e-10), hi = std::log(2.0 * pmax);
    if (!bracket_root(f, std::clamp(0.5 * (std::log(plo) + std::log(phi)), lo, hi), 0.3, lo, hi, a,
                      fa, b, fb))
        return false;
    double lnp = 0.0, flnp = 0.0;
    if (!brent_root(f, a, fa, b, fb, 1e-13, 1e-15, 80, lnp, &flnp)) return false;
    if (!no_jump(flnp, 1e-13)) {
        // The sides of the jump: its last point and the nearest of the
        // other sign.
        const IsothermPoint* at = nullptr;
        const IsothermPoint* other = nullptr;
        for (const IsothermPoint& m : met) {
            if (m.lnp == lnp) at = &m;
            if ((m.f > 0.0) != (flnp > 0.0) &&
                (other == nullptr || std::fabs(m.lnp - lnp) < std::fabs(other->lnp - lnp)))
                other = &m;
        }
        if (at != nullptr && other != nullptr) {
            jump.found = true;
            jump.lo = flnp < 0.0 ? at->st : other->st;
            jump.hi = flnp < 0.0 ? other->st : at->st;
        }
        return false;
    }
    // The stable state there has that density (a continued split may be a
    // metastable one: two liquids carried below the three-phase line,
    // ethane + CO at 97.7 K, whose jump to vapour and liquid Brent's method
    // took for the root).
    TpState stable;
    if (!memo.at(T, std::exp(lnp), z, stable)) return false;
    const double fs = std::log(stable.D) - target;
    if (!(std::fabs(fs) <= kDensityFound)) {
        // (A split continued across a three-phase line has the density:
        // the stable state there and that split are the sides of the
        // line's jump, cyclohexane + DMC at 284.466 K, 10.41 mol/L, two
        // liquids carried down to 6.78 kPa, the line at 8.589 kPa.)
        if (last.P == std::exp(lnp) && last.continued && std::isfinite(fs)) {
            jump.found = true;
            jump.lo = fs < 0.0 ? stable : last;
            jump.hi = fs < 0.0 ? last : stable;
        }
        return false;
    }
    st = last.P == std::exp(lnp) ? last : stable;
    name_phases_as(stable, st);
    return true;
}

}  // namespace

bool on_isotherm_density(double T, double D, const double z[20], double plo, double phi,
                         TpState& st, bool* three_phase) {
    if (three_phase != nullptr) *three_phase = false;
    // (The two passes evaluate many pressures alike: each is flashed once.
    // Where the first closes on a three-phase line D lies inside, the
    // second is not made.)
    StateMemo memo;
    DensityJump jump, again;
    if (density_on_isotherm(T, D, z, plo, phi, true, memo, st, jump)) return true;
    if (inside_three_phase(T, D, z, jump, memo)) {
        if (three_phase != nullptr) *three_phase = true;
        return false;
    }
    return density_on_isotherm(T, D, z, plo, phi, false, memo, st, again);
}

namespace {

using jumps::JumpGuard;
using jumps::kJumpHalvings;
using jumps::kJumpWidthLnP;
using jumps::kJumpWidthT;
using jumps::RecentStates;
using jumps::three_phase_between;

// The root of f nearest to x0 (where f = f0) in direction of x_end, or
// where there is none in the other direction down to x_back: the crossing
// bracketed by the march, solved by Brent's method and kept only when f
// vanishes there (a march across a jump of f, from one single phase to
// another, brackets no root).  Where neither direction has one, the march
// towards x_end goes on beyond the jumps it met (an isotherm passing from
// a vapour and a liquid to two liquids, whose values lie on both sides of
// the jump).  `last` holds the state of the last evaluation; the root's
// state on success.  Where the vapour fraction is sought (`quality`, the
// bounded searches of the quality flashes), a bracket across a three-phase
// line is split there, Brent's method gives up a jump at once (JumpGuard)
// and the march passes jumps before it looks behind x0.
// The narrowest bracket (relative, of ln p) of a search by vapour
// fraction: the (T, p) flash's q is noisy in its last digits (5e-13), and
// where two liquids keep nearly one vapour fraction over a decade of
// pressure (R403B at 175.6 K: 4e-5 per unit of ln p) no state inside a
// narrower bracket meets the tolerance on q; the search, narrowing on, ran
// out of its states and refused a state that exists.
constexpr double kQualityNoise = 1e-12;
// The narrowest bracket of any other search.
constexpr double kNarrowest = 1e-15;

template <class F>
bool nearest_root(F f, double x0, double f0, double x_end, double x_back, double step, double ftol,
                  double jump_width, bool quality, double narrowest, const TpState& last,
                  TpState& st) {
    constexpr int kJumpsPassed = 4;
    double jump = x0, fjump = f0;
    bool jumped = false;
    RecentStates recent;
    const auto g = [&](double x, double& v) {
        if (!f(x, v)) return false;
        recent.keep(x, last);
        return true;
    };
    using G = decltype(g);
    const auto brent_in = [&](const Bracket& r) {
        double x = 0.0, v = 0.0;
        G gg = g;
        JumpGuard<G> guard{gg, last, jump_width, quality, {}, {}};
        if (r.a == r.b || !brent_root(guard, r.a, r.fa, r.b, r.fb, ftol, narrowest, 100, x))
            return false;
        if (!f(x, v) || !(std::fabs(v) <= 1e4 * ftol)) return false;
        st = last;
        return true;
    };
    const auto root_in = [&](const Bracket& r) {
        const TpState* sa = recent.at(r.a);
        const TpState* sb = recent.at(r.b);
        if (!quality || r.a == r.b || sa == nullptr || sb == nullptr ||
            !three_phase_between(*sa, *sb))
            return brent_in(r);
        // The line where one split gives way to the other, by halving, and
        // the root on either side of it (the march's side first).
        const TpState left = *sa;
        Bracket near{r.a, r.fa, r.a, r.fa}, far{r.b, r.fb, r.b, r.fb};
        for (int k = 0; k < kJumpHalvings && std::fabs(far.a - near.b) > jump_width; ++k) {
            const double m = 0.5 * (near.b + far.a);
            double v = 0.0;
            if (!g(m, v)) return false;
            if (last.two_phase && last.two_liquids == left.two_liquids) {
                near.b = m;
                near.fb = v;
            } else {
                far.a = m;
                far.fa = v;
            }
        }
        const auto crossing = [](const Bracket& b) {
            return b.a != b.b && (b.fa > 0.0) != (b.fb > 0.0);
        };
        return (crossing(near) && brent_in(near)) || (crossing(far) && brent_in(far));
    };
    // Where the march towards x_end stopped at a turn that does not reach
    // zero: the points past it.
    Bracket turn;
    bool turned = false;
    const auto root_towards = [&](double from, double ffrom, double end, bool past_turn = false) {
        Bracket r, beyond, t;
        t.a = t.b = from;
        if (end == from || !first_crossing(g, from, ffrom, end, step, r.a, r.fa, r.b, r.fb, beyond,
                                           &t, past_turn, quality)) {
            if (end == x_end && !past_turn && t.b != from) {
                turn = t;
                turned = true;
            }
            return false;
        }
        // The far side of the bracket: where a march past a jump resumes.
        if (end == x_end) {
            jump = r.b;
            fjump = r.fb;
            jumped = true;
        }
        return root_in(r) || root_in(beyond);
    };
    const auto past_jumps = [&](bool past_turn) {
        for (int k = 0; k < kJumpsPassed && jumped && jump != x_end; ++k) {
            jumped = false;
            if (root_towards(jump, fjump, x_end, past_turn)) return true;
        }
        return false;
    };
    // (The vapour fraction past the jumps first: behind a start at a dew
    // point it is the gas's 1, unless that is the upper of two, and a
    // search of bounded cost spent its states there before the split of
    // two liquids beyond a three-phase line: butane + R245fa, 20 % butane,
    // at 154.7 K and q 0.190927, 80 kPa.)
    if (quality) {
        if (root_towards(x0, f0, x_end) || past_jumps(false) ||
            (x_back != x_end && root_towards(x0, f0, x_back)))
            return true;
    } else if (root_towards(x0, f0, x_end) || root_towards(x0, f0, x_back) || past_jumps(false)) {
        return true;
    }
    // Nothing nearer, in a search of the vapour fraction: the march towards
    // x_end resumed past the turn it stopped at (nitrogen + ethane, 80 %
    // nitrogen, at 7.88 MPa and q 0.168: down from the dew point at 227 K
    // the vapour fraction falls to 0.745 at 163 K and rises again, then the
    // phases' names cross at 131 K, and the split of q 0.168 lies at 99 K).
    // (The searches of h, s and e refuse there as before, at their cost.)
    if (!quality || !turned) return false;
    jumped = false;
    return root_towards(turn.b, turn.fb, x_end, true) || past_jumps(true);
}

}  // namespace

bool named_by_tp_flash(const TpState& st) {
    // (A gas and a liquid far apart in density have one naming; two dense
    // phases have the flash's: ethane + nonane at 20 MPa, 224 K, a phase of
    // nearly pure ethane at 16.6 mol/L beside nonane's at 6.1.)
    // (Nor may a liquid be the lighter phase: decane + water at 278.6 K, the
    // decane's liquid at 5.2 mol/L, a tenth of the water's, once carried the
    // name of the liquid out of a continued split.)
    constexpr double kDensePair = 0.1;
    return st.two_phase && (st.two_liquids || st.Dl < st.Dv ||
                            std::min(st.Dl, st.Dv) > kDensePair * std::max(st.Dl, st.Dv));
}

void labels_of_tp_flash(const double z[20], TpState& st) {
    if (!named_by_tp_flash(st)) return;
    TpState tp;
    if (tp_state(st.T, st.P, z, tp)) name_phases_as(tp, st);
}

namespace {

double target_tolerance(const Target& t) {
    return t.letter == 'Q' ? 1e-13 : 1e-12 * (std::fabs(t.b) + 1.0);
}

// The narrowest bracket of ln p along an isotherm.  (Along an isobar the
// bracket of T narrows on: near a critical point q moves by 1e-6 within
// 1e-12 of T, r125 + r143a + r134a + isobutane at 3.73 MPa, q 0.9948.)
double narrowest_lnp(const Target& t) { return t.letter == 'Q' ? kQualityNoise : kNarrowest; }

}  // namespace

bool on_isotherm(double T, const Target& t, const double z[20], double plo, double f0, double phi,
                 int kr, TpState& st, int max_fresh, bool continue_splits) {
    Tracker tracker(z, max_fresh, continue_splits);
    TpState last;
    // (Along an isotherm the states beyond the estimate are named by their
    // own side: the split of lower pressure that a retrograde gas leaves is
    // no neighbour of its upper dew point.)
    const TpState no_split;
    const auto f = [&](double lnp, double& v) {
        TpState s;
        if (!tracker.at(T, std::exp(lnp), s)) return false;
        v = target_value(t, s, no_split) - t.b;
        last = s;
        return std::isfinite(v);
    };
    const double lo = std::log(plo), hi = std::log(phi), ftol = target_tolerance(t);
    if (kr == kHigherRoot) {
        double fhi = 0.0;
        if (f(hi, fhi) && nearest_root(f, hi, fhi, lo, lo, 0.1, ftol, kJumpWidthLnP,
                                       t.letter == 'Q', narrowest_lnp(t), last, st)) {
            labels_of_tp_flash(z, st);
            return true;
        }
    }
    if (!std::isfinite(f0) && !f(lo, f0)) return false;
    // Up from plo; where plo is the upper of two dew points (close to the
    // cricondentherm) the states lie below it.  (Not where plo lies below
    // every dew point and the vapour fraction is sought: there the gas's
    // stays 1.)
    const bool gas_below = t.letter == 'Q' && plo <= below_dew_pressure(T, z);
    const double back = gas_below ? lo : lo - std::log(1e4);
    if (!nearest_root(f, lo, f0, hi, back, 0.1, ftol, kJumpWidthLnP, t.letter == 'Q',
                      narrowest_lnp(t), last, st))
        return false;
    labels_of_tp_flash(z, st);
    return true;
}

bool on_isobar_down(double P, const Target& t, const double z[20], double thi, double f0,
                    double tlo, TpState& st, int max_fresh, bool continue_splits) {
    Tracker tracker(z, max_fresh, continue_splits);
    TpState last, split;
    const auto f = [&](double T, double& v) {
        TpState s;
        if (!tracker.at(T, P, s)) return false;
        v = target_value(t, s, split) - t.b;
        last = s;
        if (s.two_phase) split = s;
        return std::isfinite(v);
    };
    if (!std::isfinite(f0) && !f(thi, f0)) return false;
    // Down from thi; where thi is the lower of two dew points (close to the
    // cricondenbar) the states lie above it.
    if (!nearest_root(f, thi, f0, tlo, 1.5 * thi, 0.002 * thi, target_tolerance(t),
                      kJumpWidthT * thi, t.letter == 'Q', kNarrowest, last, st))
        return false;
    labels_of_tp_flash(z, st);
    return true;
}

}  // namespace lib::mix
