// General flash at given temperature with enthalpy, entropy or energy.
#include "library/phase/tbflsh.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/phase/abfl1.h"
#include "library/phase/abfl2.h"
#include "library/phase/brent.h"
#include "library/phase/dilute.h"
#include "library/phase/envelope.h"
#include "library/phase/eqdome.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/mixflash.h"
#include "library/phase/satcheb.h"
#include "library/phase/satmemo.h"
#include "library/phase/satt.h"
#include "library/phase/tbmix.h"
#include "library/phase/tprho.h"
#include "library/phase/warmstart.h"

namespace lib {
namespace {

// The most states of the (T, p) flash a search for two liquids along the
// isotherm evaluates (those continued from a split nearby cost little);
// where it finds none the value is refused (up to 2 s without a bound, 0.2 s with it).
constexpr int kSplitSearchStates = 8;
// The most states of the (T, p) flash a search along the isotherm that
// continues no split evaluates, after one that does found no state (some
// 20 for a two-phase region and a three-phase line on the way: 6 ms with
// ammonia + propylene at 200.5 K).
constexpr int kOwnStates = 24;
// The search of a gas without a bubble point at T (a wet gas) from its dew
// point tests its continued split as well: the test costs a tenth and more
// of those calls (humid air and flue gas at 300 K), and of the binary
// grid's states three of that road ended on another split without it
// (methane + heptane, nitrogen + propane, pentane + oxygen).
constexpr bool kCheckWetGasSplits = true;

constexpr double kDmin = 1e-4;  // lowest density searched at given T, mol/L
// A value this far (relative) below the least of its isotherm is its
// rounding (see at_minimum).
constexpr double kAtMinimum = 1e-10;
// The share of the saturated liquid's density by which the isotherm is
// followed into the compressed liquid to see whether the value rises there.
constexpr double kRiseStep = 1e-6;
// A density whose pressure lies this share below the pressure limit is
// short of it.
constexpr double kShortOfLimit = 1e-6;
// A root this far (relative) past an end of its bracket lies outside it
// (the solver stops within some 1e-10 of a root at an end).
constexpr double kBracketSlack = 1e-9;

// Below a gas root thinner than kDmin (acetone at 179.5 K and 1.3e-3 kPa:
// 9e-7 mol/L) the search's lowest density lies at this share of it (the
// value there lies clear of the root's).
constexpr double kBelowDilute = 0.5;

// A state of a density lower by this share is another root.
constexpr double kOtherRoot = 1e-6;
// Two splits whose phase densities (mol/L) and mole fractions agree to
// this are the same.
constexpr double kSamePhases = 1e-6;
// Vapour fractions of one split that agree to this are the same (the
// (T, p) flash's of the narrow band of R512A at 276.8 K moves 3e-7 with
// a pressure change in the last digits).
constexpr double kSameQuality = 1e-5;

}  // namespace

namespace {

// One call of TBFLSH: its inputs, its results bound to the caller's
// arguments, and what the steps find on the way.
class TemperatureFlash {
public:
    TemperatureFlash(double T, double b, const double z[20], int kr, const std::string& ab_in,
                     double& P, double& D, double& Dl, double& Dv, double x[20], double y[20],
                     double& q, double& e, double& h, double& s, double& cv, double& cp, double& w,
                     int& ierr, std::string& herr)
        : T(T),
          b(b),
          z(z),
          kr(kr),
          ab(ab_in.size() >= 2 ? ab_in.substr(0, 2) : std::string("TH")),
          head(ab + "FLSH"),
          letter(ab[1]),
          lname(1, letter),
          P(P),
          D(D),
          Dl(Dl),
          Dv(Dv),
          x(x),
          y(y),
          q(q),
          e(e),
          h(h),
          s(s),
          cv(cv),
          cp(cp),
          w(w),
          ierr(ierr),
          herr(herr) {}

    // The property is placed against its bounds along the isotherm, then
    // against the dew and bubble points; where two densities share it, kr
    // chooses.
    void run() {
        if (!start() || !critical_point()) return;
        LIMITX("EOS", T, 0.0, 0.0, z, tmin, tmax, dmax, pmax, lerr, lmsg);
        set_floor(kDmin);
        if (warm_gas()) return;
        if (icomp == 0) return mixture();
        if (!dew_point() || !in_range()) return;
        // (Beyond the stated critical point, a value between the equation's
        // own phases is their mixture.)
        if (eqdome::Split sp; !subcritical && eqdome::at_t(z, T, letter, b, sp) && sp.side == 0) {
            double t = T;
            return eqdome::take(z, sp, t, P, D, Dl, Dv, q, e, h, s, cv, cp, w);
        }
        if (!subcritical) return supercritical();
        // Below the critical temperature.
        bv = flash::prop(letter, T, dvdew, z);
        if (b >= bv) {
            single(dlow, dvdew);
            if (ierr > 0) dense_liquid();
            return;
        }
        dpmax = density_at_pmax(2);
        bpmax = flash::prop(letter, T, dpmax, z);
        if (!bubble_point() || !above_minimum()) return;
        const bool dense_root = b < bpmax && fluid_beyond_minimum();
        if (dense_root) two_roots();
        if (b < bl) {
            // Compressed liquid; the denser root only where it exists.
            if (kr == kHigherRoot && dense_root)
                single(dext, dpmax);
            else
                single(dlbub, dext);
            return;
        }
        if (kr == kHigherRoot && dense_root) return single(dext, dpmax);
        if (kr == kHigherRoot && icomp > 0 && compressed_liquid_above()) return;
        two_phase();
        if (ierr <= 0) return;
        // The split between the bubble and dew points failed (close to the
        // dew line of a gas with heavy ends): the isotherm from the dew point.
        ierr = 0;
        herr.clear();
        along_isotherm(pdew, bv - b);
    }

    // Keeps a single-phase result as the start of the next flash of the
    // composition (while a warm-start scope is open).
    void keep_for_warm_start() const {
        if (!warm::active()) return;
        if (ierr > 0 || (q >= 0.0 && q <= 1.0) || !(P > 0.0) || !(D > 0.0))
            return warm::left_single_phase(z);
        warm::State st{T, D, P, cp, 0.0, T, P, true, false, 0.0, 0.0, {}};
        if (warm_found) {
            st.stable_T = stable_T;
            st.stable_P = stable_P;
        }
        DPDD(T, D, z, st.dpdd);
        warm::remember(z, st);
    }

private:
    const double T, b;
    const double* z;
    const int kr;
    const std::string ab, head;
    const char letter;
    const std::string lname;
    double& P;
    double& D;
    double& Dl;
    double& Dv;
    double* x;
    double* y;
    double& q;
    double& e;
    double& h;
    double& s;
    double& cv;
    double& cp;
    double& w;
    int& ierr;
    std::string& herr;

    int icomp = 0;
    bool ppf = false;
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int lerr = 0;
    std::string lmsg;
    double pdew = 0, dldew = 0, dvdew = 0, xdew[20] = {}, ydew[20] = {};
    bool subcritical = false;
    double dlow = kDmin, b_lo = 0;
    // The gas root below kDmin (0: none), dlow then below it.
    double dilute = 0.0;
    double bv = 0, dpmax = 0, bpmax = 0;
    double pbub = 0, dlbub = 0, dvbub = 0, xbub[20] = {}, ybub[20] = {};
    double bl = 0, dext = 0, bext = 0;
    // A state found from a warm start, and where its stability was last
    // established (a mixture).
    bool warm_found = false;
    double stable_T = 0, stable_P = 0;
    // Whether the feed's liquid splits in two below a dense single phase
    // (tested once per call).
    bool liquids_tested = false, liquids_split = false;
    // The density of a single phase of the value found not stable (0: none).
    double unstable_D = 0.0;

    bool start() {
        ierr = 0;
        herr.clear();
        P = D = Dl = Dv = e = h = s = cv = cp = w = 0.0;
        q = kQualityVapour;
        icomp = ISPURE(z);
        flash::start_compositions(icomp, z, x, y);
        RMIX(z);
        if (!flash::not_a_number(head, {T, b}, ierr, herr) &&
            !flash::not_positive(head, {{'T', T}}, ierr, herr))
            return true;
        q = kQualityFailed;
        return false;
    }

    bool critical_point() {
        if (flash::critical_point(z, Tc, Pc, Dc, head, 230, 234, ierr, herr)) return true;
        q = kQualityFailed;
        return false;
    }

    // The failure state of a value outside the range of the equation.
    void outside(int n, const std::string& text) {
        fail(n, text, ierr, herr);
        P = D = Dl = Dv = e = h = s = cv = cp = w = 0.0;
        q = kQualityFailed;
    }
    std::string min_text(double bmin) const {
        return flash::err(head, 239, 4,
                          "Input value is outside limits; " + lname + " =" + fmt_g(b, 12, 5) +
                              ", " + lname + "min =" + fmt_g(bmin, 12, 5));
    }
    // A pure fluid's liquid compressed so far that its value lies above the
    // saturated vapour's, where the gas search found none: the root between
    // the value's minimum along the liquid isotherm and the pressure limit
    // (acetone at 231.4 K from some 650 MPa up: its enthalpy, 23.5 kJ/mol at
    // 700 MPa, lies above the vapour's; THFLSH failed with 248).  False,
    // with the gas search's failure kept, where there is none.
    bool dense_liquid() {
        const int kept = ierr;
        const std::string kept_msg = herr;
        ierr = 0;
        herr.clear();
        dpmax = density_at_pmax(2);
        bpmax = flash::prop(letter, T, dpmax, z);
        if (!(b <= bpmax) || !bubble_point() || !above_minimum() || !fluid_beyond_minimum()) {
            ierr = kept;
            herr = kept_msg;
            q = kQualityFailed;
            return false;
        }
        single(dext, dpmax);
        if (ierr <= 0) return true;
        ierr = kept;
        herr = kept_msg;
        return false;
    }

    // Whether the isotherm beyond the value's minimum at dext is fluid: its
    // pressure there lies below the melting pressure (or the fluid has no
    // melting line).  Hydrogen's liquid isotherm at 14.24 K turns up at
    // 64.7 mol/L, far above its melting pressure, where no second state of
    // the entropy exists (its root there has dP/dD or cv <= 0); water's
    // below 277 K turns within its liquid.
    // The densest liquid of a value between the saturated liquid's and the
    // vapour's, where the value first rises into the compressed liquid
    // (entropy below the temperature of highest density: water at 275 K
    // and 1 MPa, whose entropy a wet state at 0.7 kPa shares, came back as
    // that state for the higher root too).  False where the isotherm does
    // not rise there or does not reach the value.
    bool compressed_liquid_above() {
        if (!(flash::prop(letter, T, dlbub * (1.0 + kRiseStep), z) > bl)) return false;
        double dtop = 0, btop = 0;
        int gerr = 0;
        GOLD(dlbub, dpmax, 29, 1, z, T, 0.0, 0.0, lname, dtop, btop, gerr);
        if (!(b <= btop)) return false;
        two_roots();
        if (b >= bpmax)
            single(dtop, dpmax);
        else
            single(dlbub, dtop);
        return true;
    }

    bool fluid_beyond_minimum() const {
        double pext = 0, pmelt = 0;
        int merr = 0;
        std::string mmsg;
        PRESS(T, dext, z, pext);
        MELTT(T, z, pmelt, merr, mmsg);
        return merr > 0 || !(pmelt > 0.0) || pext < pmelt;
    }
    void two_roots() {
        fail(-238, head,
             std::string("two solutions exist for the input values; the ") +
                 (kr == kHigherRoot ? "higher" : "lower") + " density root has been calculated",
             ierr, herr);
    }
    // A gas at T of the given entropy from the last state of the composition,
    // while a warm-start scope is open (library/phase/warmstart.h): the
    // single root of a gas (its entropy falls with the density), taken only
    // where the cold road takes the single phase too, else false.
    bool warm_gas() {
        warm::State st;
        if (letter != 'S' || !warm::active() || lerr != 0 || !warm::recall(z, st) || !st.single ||
            !(st.D < Dc))
            return false;
        double d = 0, p = 0;
        if (!warm::solve_at_t(T, b, z, st, d, p) || !(d < Dc) || !(d <= dmax && p <= pmax))
            return false;
        if (std::fabs(T / Tc - 1.0) < 0.02 && std::fabs(p / Pc - 1.0) < 0.2) return false;
        if (icomp > 0 ? !pure_vapour(d, p)
                      : !warm::stable_mixture(T, p, d, z, st, stable_T, stable_P))
            return false;
        warm_found = true;
        D = Dl = Dv = d;
        double hjt = 0;
        THERM(T, D, z, P, e, h, s, cv, cp, w, hjt);
        q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
        return true;
    }

    // A pure fluid's root (d, p) at T is its vapour: above the critical
    // temperature, or clearly below the vapour pressure and thinner than the
    // saturated vapour.
    bool pure_vapour(double d, double p) const {
        if (T >= Tc) return true;
        if (ppf) return false;
        double ps = 0, dl = 0, dv = 0;
        if (!satcheb::at_t(icomp, T, ps, dl, dv)) return false;
        return p < ps * (1.0 - 1e-7) && d < dv;
    }

    // The single-phase state between the densities lo and hi (the gas root
    // below kDmin where the range starts at the floor below it).
    void single(double lo, double hi) {
        if (dilute > 0.0 && lo == dlow && dilute <= hi && flash::stable(T, dilute, z)) {
            D = dilute;
        } else {
            double tt = T, pp = 0;
            int serr = 0;
            std::string smsg;
            ABFL1(T, b, z, 0, ab, lo, hi, tt, pp, D, serr, smsg);
            // (A root it refused may lie past the bracket too: orthohydrogen
            // at 33.73 K, 1822 kPa, 24.04 mol/L, whose entropy came back
            // as the unstable root at 91.3 mol/L.)
            if (serr > 0 && root_in_bracket(lo, hi) && flash::stable(T, D, z)) serr = 0;
            if (serr > 0) {
                ierr = serr;
                herr = smsg;
                q = kQualityFailed;
                return;
            }
            if (!(D >= lo * (1.0 - kBracketSlack) && D <= hi * (1.0 + kBracketSlack)))
                root_in_bracket(lo, hi);
        }
        Dl = Dv = D;
        double hjt = 0;
        THERM(T, D, z, P, e, h, s, cv, cp, w, hjt);
        q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
    }

    // The solver's secant may step a little past the end of the bracket and
    // meet another root there: neopentane's gas at 476.65 K and 1266.7 kPa
    // (h 50,606.5 J/mol) came back as the dense root at 204 MPa, beyond the
    // pressure limit and the bracket's end at 200 MPa, for either kr.  The
    // root between the ends where the value changes sign there (false, D
    // unchanged, where it does not or none is found).
    bool root_in_bracket(double lo, double hi) {
        const double flo = flash::prop(letter, T, lo, z) - b;
        const double fhi = flash::prop(letter, T, hi, z) - b;
        const auto at = [&](double d, double& v) {
            v = flash::prop(letter, T, d, z) - b;
            return std::isfinite(v);
        };
        double root = 0.0;
        if (!(std::isfinite(flo) && std::isfinite(fhi)) ||
            !brent_root(at, lo, flo, hi, fhi, 1e-12 * (std::fabs(b) + 1.0), 1e-15, 200, root))
            return false;
        D = root;
        return true;
    }

    // Below the critical temperature the dew point comes first: where the
    // saturated vapour is thinner than the lowest density searched, that
    // density would lie inside the two-phase region, and the search starts
    // below the saturated vapour instead.  Close to the critical point a dew
    // point that cannot be found leaves the isotherm to the single-phase
    // search.
    bool dew_point() {
        subcritical = T < Tc;
        if (!(subcritical && lerr <= 0)) return true;
        SATT(T, z, kDewPoint, pdew, dldew, dvdew, xdew, ydew, jerr, jmsg);
        if (jerr > 0) {
            if (Tc - T >= 5.0) {
                fail(jerr, head, flash::dew_failed(jmsg, 190), ierr, herr, 4);
                q = kQualityFailed;
                return false;
            }
            subcritical = false;
        } else if (dvdew < 2.0 * kDmin) {
            set_floor(0.5 * dvdew);
        }
        return true;
    }

    // The lowest density searched, d, or the floor below the gas root of the
    // value where that lies thinner (the value above its value at d and
    // rising towards lower densities, or below it and falling towards them).
    void set_floor(double d) {
        dlow = d;
        dilute = 0.0;
        double root = 0.0;
        if (dilute_root(letter, T, b, z, d, root)) {
            dilute = root;
            dlow = kBelowDilute * root;
        }
    }

    // The derivative of the property with the density along the isotherm.
    double slope(double d) const { return isotherm_slope(letter, T, d, z); }

    // The largest value of the property along the isotherm, and the range
    // check of the temperature.
    bool in_range() {
        b_lo = flash::prop(letter, T, dlow, z);
        const double b_hi = flash::prop(letter, T, dmax, z);
        const double bmax = std::max(b_lo, b_hi);
        if (lerr == 0 && b > bmax) {
            outside(239,
                    flash::err(head, 239, 4,
                               "Input value is outside limits; " + lname + " =" + fmt_g(b, 12, 5) +
                                   ", " + lname + "max =" + fmt_g(bmax, 12, 5)));
            return false;
        }
        if (lerr > 0) {
            outside(lerr, flash::range_text(head, lerr, lmsg, 4));
            return false;
        }
        if (lerr < 0) flash::range_error(head, lerr, lmsg, 4, ierr, herr);
        return true;
    }

    // Density at the pressure limit of the search on this isotherm.
    double density_at_pmax(int kph) const {
        const double plim = pressure_limit();
        double d = 0.0;
        int perr = 0;
        std::string pmsg;
        TPRHO(T, plim, z, kph, kNoStartValue, d, perr, pmsg);
        if (perr > 0 && (!(d > 0.0) || d > dmax)) d = dmax;
        // (Nor a failed solve's last density, short of the pressure:
        // nitrogen trifluoride's liquid at 75.03 K has no root at 50 MPa
        // below its density limit, 26.4 mol/L, and the solve ended at 24.03
        // mol/L, where the pressure is negative; the liquid at 4.46 kPa,
        // 25.85 mol/L, was refused with 239 as below the minimum.)
        double pd = 0.0;
        if (perr > 0 && d < dmax) PRESS(T, d, z, pd);
        if (perr > 0 && d < dmax && !(pd >= (1.0 - kShortOfLimit) * plim)) d = dmax;
        return d;
    }

    // Above the critical temperature (or next to it without a dew point);
    // for a mixture with `split_below` a value below the single phase's
    // is searched for among two liquids from the pressure plo.
    void supercritical(bool split_below = false, double plo = 0.0) {
        dpmax = density_at_pmax(1);
        bpmax = flash::prop(letter, T, dpmax, z);
        double lo = dlow, hi = dpmax;
        if (b < bpmax) {
            int gerr = 0;
            GOLD(dlow, dpmax, 29, 0, z, T, 0.0, 0.0, lname, dext, bext, gerr);
            // The search's minimum inside the range, where the value falls
            // to its low end: helium's enthalpy rises with the density at
            // 251.8 K, the minimum found lay above the value of the gas at
            // 0.23 kPa (-963.148 J/mol), which failed with 239.
            if (b_lo < bext) {
                dext = dlow;
                bext = b_lo;
            }
            if (bpmax < bext) {
                dext = dpmax;
                bext = bpmax;
            }
            if (b < bext && at_minimum()) return;
            if (b < bext) {
                if (!(split_below && two_liquids_below(plo, std::nan(""))))
                    outside(239, min_text(bext));
                return;
            }
            // Two roots only where the dilute side reaches the value too;
            // above its value only the dense root is left.
            if (b < b_lo) {
                two_roots();
                if (kr == kHigherRoot)
                    lo = dext;
                else
                    hi = dext;
            } else {
                lo = dext;
            }
        }
        single(lo, hi);
    }

    // A mixture: its dew point at T bounds the vapour wherever it exists (a
    // wet gas has one far above the critical point of the mixture); below
    // the dew point the bubble point bounds the two-phase states where it
    // exists, else the stable states along the isotherm are searched.
    // Without a dew point the single-phase state is taken when it is
    // stable.
    void mixture() {
        // A stable single phase first: far from the phase boundary no dew
        // point is needed (the 10-component gas at 350 K, above its
        // cricondentherm, spent 150 ms failing to find one).
        if (lerr <= 0 && !mix::no_dew_point(T, z)) {
            if (!in_range()) return;
            supercritical();
            const bool thinner = ierr <= 0 && D > 0.0 && (thinner_root() || thinner_split_below());
            if (ierr <= 0 && D > 0.0 && !thinner && mix::single_phase_stable(T, D, z)) {
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
            if (ierr > 0 || (!thinner_root() && mix::single_phase_stable(T, D, z))) return;
            return along_isotherm(dlow * GCNST.r * T, std::nan(""));
        }
        bv = flash::prop(letter, T, dvdew, z);
        if (b >= bv) return vapour_below_dew();
        double tb = T;
        if (!mix::quick_bubble(true, z, tb, pbub, dlbub, dvbub, xbub, ybub) || !(pbub > pdew))
            return along_isotherm(pdew, bv - b, 0, kCheckWetGasSplits);
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
        // isotherm from the dew point.
        ierr = 0;
        herr.clear();
        along_isotherm(pdew, bv - b);
        if (ierr > 0 && kr != kHigherRoot && dense_root && frozen_below_bubble()) {
            ierr = 0;
            herr.clear();
            stable_single(dext, dpmax);
        }
    }

    // Whether the (T, p) flash refuses the states just below the bubble
    // point as frozen: the splits there are no fluid states, and a lower
    // root of the value among them none either (r32 + r134a 50/50 at 150 K,
    // 2.9 K below the freezing of its r134a: the liquid at 10 kPa has the
    // enthalpy of a split of vapour fraction 2e-5 just below its bubble
    // point at 0.185 kPa, whose r134a would freeze out; THFLSH with the
    // lower root asked for failed with 248 instead of giving the liquid,
    // the only fluid state of that enthalpy).
    bool frozen_below_bubble() const {
        constexpr double kBelowBubble = 1e-3;  // share of the bubble pressure
        std::string reason;
        return pbub > 0.0 &&
               mix::tp_flash_refuses_frozen(T, (1.0 - kBelowBubble) * pbub, z, reason);
    }

    // The single-phase search's error where its root is no stable state
    // (two-phase or solid region).
    static constexpr int kNoStableRoot = 248;

    // A mixture without a dew point found whose single-phase search ended on
    // a root that is no stable state: the stable states along the isotherm
    // from plo, else that error stays (methane + carbon dioxide 98/2 at
    // 165 K: its dew iteration fails, the gas below 2 MPa has frozen carbon
    // dioxide, and the lower root of the liquid's enthalpy at 3 MPa was
    // refused for the root at 5.5 mol/L).
    void stable_state_instead(double plo) {
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
    bool thinner_split_found() const {
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
    bool thinner_root() const {
        return kr != kHigherRoot && (dilute > 0.0 || b < b_lo) && slope(D) > 0.0;
    }

    // Whether the lower root is asked for and the dense single phase found
    // lies on a falling stretch of the value above a bubble point, below
    // which a stable state has less than b: the stable states from the gas
    // (whose value lies above b) to it meet b at a lower pressure (carbon
    // monoxide + ethanol at 407.7 K: a split at 7.57 MPa and a liquid at
    // 43.3 MPa of the same energy; the splits' value dips to 12,020 J/mol
    // at 18 MPa, below b, and rises again to the bubble point at 42.2 MPa).
    bool thinner_split_below() {
        if (kr == kHigherRoot || !(D > Dc) || !(b < b_lo) || !(slope(D) < 0.0)) return false;
        double p = 0.0, tb = T, pb = 0.0, dl = 0.0, dv = 0.0, xl[20], xv[20];
        PRESS(T, D, z, p);
        flash::QuietMessages quiet;
        return mix::quick_bubble(true, z, tb, pb, dl, dv, xl, xv) && pb < p &&
               split_below_has_less(pb);
    }

    bool split_below_has_less(double pb) const {
        return mix::split_below_has_less(T, letter, b, z, pb);
    }

    // A mixture's vapour thinner than at its dew point, kept where it is
    // stable: the dew point found need not be the lowest on the isotherm
    // (heptane + oxygen at 186 K: one at 709 MPa, below which the vapour
    // of the value is supersaturated with heptane), and else the isotherm
    // is searched from the lowest density.
    void vapour_below_dew() {
        single(dlow, dvdew);
        if (ierr > 0) return;
        const bool known_unstable = std::fabs(D - unstable_D) <= kOtherRoot * D;
        if (!known_unstable && mix::single_phase_stable(T, D, z)) return;
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
    bool split_is_stable() {
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
    bool quality_of_value(const mix::TpState& tp) {
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
        const double b_liquid = flash::prop(letter, T, Dl, x),
                     b_vapour = flash::prop(letter, T, Dv, y);
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
    void stable_single(double lo, double hi) {
        single(lo, hi);
        if (ierr > 0) return;
        if (mix::single_phase_stable(T, D, z)) {
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
    bool two_liquids_possible() {
        if (kr == kHigherRoot || !(D > Dc) || !(P > 0.0)) return false;
        if (liquids_tested) return liquids_split;
        liquids_tested = true;
        liquids_split = mix::liquid_splits_below(T, z, P, D, Dc);
        return liquids_split;
    }

    // The feed's dew pressure at T where it is found below P, else the
    // pressure of the lowest density searched.
    double dew_pressure() { return mix::dew_pressure_below(T, z, P, kDmin); }

    // The lowest-pressure stable state of the value between plo (a dew
    // point) and the dense single phase found, taken in its place where
    // there is one (at a bounded cost; else the single phase stays).
    void lower_split(double plo) {
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
    void along_isotherm(double plo, double f0, int max_fresh = 0, bool check = true) {
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
    bool two_liquids_below(double plo, double f0) {
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
    bool on_isotherm(double plo, double f0, int root, int max_fresh = 0, bool check = true) {
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
    bool on_own_states(double plo, double f0) {
        mix::TpState st;
        const mix::Target target{letter, b, kMolarQuality};
        if (!mix::on_isotherm(T, target, z, plo, f0, pressure_limit(), kr, st, kOwnStates, false))
            return false;
        take(st);
        return true;
    }

    // The highest pressure searched along the isotherm: the equation's
    // limit, or where that does not reach the critical pressure the range
    // check's hard limit (twice the limit), so that the critical region
    // stays inside the search.
    double pressure_limit() const { return pmax > Pc ? pmax : 2.0 * pmax; }

    // The search of the isotherm between plo and phi (mix::on_isotherm).  A
    // root on a continued split is kept where the (T, p) flash at its
    // pressure has its value (plainly where both its phases pass the
    // tangent-plane test, a fiftieth of the flash's cost with octane +
    // water at 452 K); else the split was carried across a
    // three-phase line (ammonia + R13 at 199 K: two liquids carried from
    // 169 kPa down to 35 kPa, where a vapour and a liquid are stable), and
    // the search goes on from the flash's state there, beyond it in the
    // direction of the search first, a bounded number of times.
    bool search(double plo, double f0, double phi, int root, int max_fresh, mix::TpState& st,
                bool check = true) const {
        return mix::search_isotherm(T, {letter, b, kMolarQuality}, z, plo, f0, phi, root, max_fresh,
                                    st, check);
    }

    // The outputs from a stable state found along the isotherm.
    void take(const mix::TpState& st) {
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

    // The bubble point (a pure fluid's is its dew point's).
    bool bubble_point() {
        pbub = pdew;
        dlbub = dldew;
        dvbub = dvdew;
        flash::copy20(xdew, xbub);
        flash::copy20(ydew, ybub);
        ppf = flash::pseudo_pure(icomp);
        if (icomp == 0 || ppf) {
            SATT(T, z, kBubblePoint, pbub, dlbub, dvbub, xbub, ybub, jerr, jmsg);
            if (jerr > 0) {
                fail(jerr, head, flash::bubble_failed(jmsg, 188), ierr, herr, 4);
                q = kQualityFailed;
                return false;
            }
        }
        bl = flash::prop(letter, T, dlbub, z);
        return true;
    }

    // The lowest value of the property along the liquid isotherm (where it
    // falls into the compressed liquid, its minimum there).
    bool above_minimum() {
        dext = dlbub;
        bext = bl;
        if (flash::prop(letter, T, dlbub + 1e-6, z) < bl) {
            int gerr = 0;
            GOLD(dlbub, dpmax, 29, 0, z, T, 0.0, 0.0, lname, dext, bext, gerr);
        }
        // Where the value first rises into the compressed liquid and then
        // falls (water below 277 K, whose entropy grows with the pressure up
        // to some 100 MPa), the lowest value lies at the pressure limit:
        // water at 275 K and 100 MPa was refused with its entropy below the
        // "minimum", the saturated liquid's.
        if (bpmax < bext) {
            dext = dpmax;
            bext = bpmax;
        }
        if (b >= bext) return true;
        if (at_minimum()) return false;
        if (!two_liquids_below(pdew, bv - b)) outside(239, min_text(bext));
        return false;
    }

    // A value below the isotherm's least, bext at dext, by no more than its
    // rounding is the state there: a liquid's or a dense gas's value at the
    // pressure limit, lowest there, comes from its density solved at that
    // pressure to the last digits (moleate at 564.5 K and R227ea at
    // 392.8 K, both at 50 and 60 MPa, their limits: refused with 239,
    // "S = Smin").
    bool at_minimum() {
        if (!(b >= bext - kAtMinimum * (std::fabs(bext) + 1.0))) return false;
        D = Dl = Dv = dext;
        double hjt = 0;
        THERM(T, D, z, P, e, h, s, cv, cp, w, hjt);
        q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
        return true;
    }

    void two_phase() {
        if (icomp > 0) {
            q = std::fabs(bv - bl) > 0.0 ? (b - bl) / (bv - bl) : 0.0;
            Dl = dlbub;
            Dv = dvdew;
        } else {
            double tb = T, td = T, tt = T, pbx = pbub, pdx = pdew;
            q = 0.5;
            Dl = dlbub;
            Dv = dvdew;
            int aerr = 0;
            std::string amsg;
            ABFL2(T, b, z, 1, 0, ab, tb, td, pbx, pdx, dlbub, dvdew, ybub, xdew, tt, P, Dl, Dv, x,
                  y, q, aerr, amsg);
            if (aerr > 0) {
                ierr = aerr;
                herr = amsg;
                q = kQualityFailed;
                return;
            }
        }
        flash::mix_phases(T, q, Dl, Dv, x, y, e, h, s, cv, cp, w);
        // A pure fluid has the saturation pressure (the liquid root's own
        // pressure is badly conditioned far below the critical point).
        if (icomp > 0) P = ppf ? q * pdew + (1.0 - q) * pbub : pdew;
        D = flash::mixed_density(q, Dl, Dv);
    }
};

}  // namespace

void TBFLSH(double T, double b, const double z[20], int kr, const std::string& ab_in, double& P,
            double& D, double& Dl, double& Dv, double x[20], double y[20], double& q, double& e,
            double& h, double& s, double& cv, double& cp, double& w, int& ierr, std::string& herr) {
    const mix::FlashMemo memo;  // saturation points asked for again
    TemperatureFlash flash(T, b, z, kr, ab_in, P, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr,
                           herr);
    flash.run();
    flash.keep_for_warm_start();
}

}  // namespace lib
