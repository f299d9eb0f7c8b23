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
#include "library/phase/tbcall.h"
#include "library/phase/tbmix.h"
#include "library/phase/tprho.h"
#include "library/phase/warmstart.h"

namespace lib {

using tbcall::TemperatureFlash;

namespace tbcall {

// The property is placed against its bounds along the isotherm, then
// against the dew and bubble points; where two densities share it, kr
// chooses.
void TemperatureFlash::run() {
    if (!start() || !critical_point()) return;
    LIMITX("EOS", T, 0.0, 0.0, z, tmin, tmax, dmax, pmax, lerr, lmsg);
    set_floor(kDmin);
    if (warm_gas()) return;
    if (icomp == 0) return mixture();
    if (!dew_point() || !in_range()) return;
    // (Beyond the stated critical point, a value between the equation's
    // own phases is their mixture.)
    if (eqdome::Split sp; !subcritical && eqdome::at_t(z, T, letter, b, sp) && sp.side == 0) {
        if (kr == kHigherRoot && liquid_beyond_split(sp)) return;
        double t = T;
        return eqdome::take(z, sp, t, P, D, Dl, Dv, q, e, h, s, cv, cp, w);
    }
    if (!subcritical) return supercritical();
    // Below the critical temperature.
    bv = flash::prop(letter, T, dvdew, z);
    if (b >= bv) return vapour_or_dense_liquid();
    dpmax = density_at_pmax(2);
    bpmax = flash::prop(letter, T, dpmax, z);
    if (!bubble_point() || !above_minimum()) return;
    const bool dense_root = reaches_limit() && fluid_beyond_minimum();
    if (dense_root) two_roots();
    if (b < bl) {
        // Compressed liquid; the denser root only where it exists.
        if (kr == kHigherRoot && dense_root)
            denser_root();
        else
            single(dlbub, dext);
        return;
    }
    if (kr == kHigherRoot && dense_root) return denser_root();
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
void TemperatureFlash::keep_for_warm_start() const {
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

bool TemperatureFlash::start() {
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

bool TemperatureFlash::critical_point() {
    if (flash::critical_point(z, Tc, Pc, Dc, head, 230, 234, ierr, herr)) return true;
    q = kQualityFailed;
    return false;
}

// The failure state of a value outside the range of the equation.
void TemperatureFlash::outside(int n, const std::string& text) {
    fail(n, text, ierr, herr);
    P = D = Dl = Dv = e = h = s = cv = cp = w = 0.0;
    q = kQualityFailed;
}

std::string TemperatureFlash::min_text(double bmin) const {
    return flash::err(head, 239, 4,
                      "Input value is outside limits; " + lname + " =" + fmt_g(b, 12, 5) + ", " +
                          lname + "min =" + fmt_g(bmin, 12, 5));
}

// A value at or above the saturated vapour's: the gas, and a pure fluid's
// liquid compressed so far that its enthalpy or energy lies above the
// vapour's as well (acetone at 485.9 K and 349 MPa, h of the gas at
// 3.1 MPa: both roots came back as the gas with no warning; at 231.4 K
// and 700 MPa the gas search found none and THFLSH failed with 248).
// Where both exist the warning names the root taken, the denser one for
// kr = kHigherRoot.
void TemperatureFlash::vapour_or_dense_liquid() {
    const bool dense = dense_liquid_reaches();
    // The gas reaches the value where it lies below the value at the
    // lowest density searched, or below it in a gas thinner still.
    const bool gas = b <= b_lo || dilute > 0.0;
    if (dense && kr == kHigherRoot) {
        denser_root();
        if (ierr <= 0 && gas) two_roots();
        return;
    }
    single(dlow, dvdew);
    if (ierr <= 0) {
        if (dense) two_roots();
        return;
    }
    if (!dense) return;
    ierr = 0;
    herr.clear();
    denser_root();
}

// The higher root where the liquid beyond a split of the equation's own
// phases (above the stated critical temperature) reaches the value again
// below the pressure limit (methanol's liquid at 512.73 K and 364 MPa,
// whose enthalpy a split at 8.1 MPa shares, came back as the split for
// either root).  False, nothing changed, where it does not.
bool TemperatureFlash::liquid_beyond_split(const eqdome::Split& sp) {
    dpmax = density_at_pmax(1);
    bpmax = flash::prop(letter, T, dpmax, z);
    if (!(dpmax > sp.Dl) || !reaches_limit()) return false;
    const double bl_split = flash::prop(letter, T, sp.Dl, z);
    if (!(bl_split <= b)) return false;
    dext = sp.Dl;
    denser_root();
    if (ierr > 0) return false;
    two_roots();
    return true;
}

// Whether the compressed liquid of a pure fluid reaches the value (an
// enthalpy or energy at or above the saturated vapour's) below the
// pressure limit, with the isotherm fluid there (entropy falls with the
// pressure and never does).
bool TemperatureFlash::dense_liquid_reaches() {
    if (letter == 'S' || icomp == 0) return false;
    const int kept = ierr;
    const std::string kept_msg = herr;
    dpmax = density_at_pmax(2);
    bpmax = flash::prop(letter, T, dpmax, z);
    const bool reaches =
        reaches_limit() && bubble_point() && above_minimum() && fluid_beyond_minimum();
    ierr = kept;
    herr = kept_msg;
    return reaches;
}

// The value lies at or below the isotherm's value at the pressure limit,
// or above it by no more than its rounding (a state at the limit itself,
// whose density both flashes solve at that pressure).
bool TemperatureFlash::reaches_limit() const {
    return b <= bpmax + kAtMinimum * (std::fabs(bpmax) + 1.0);
}

// The denser of two roots: between the value's least along the liquid
// isotherm and the pressure limit, or the state at the limit where the
// value lies there to its rounding.
void TemperatureFlash::denser_root() {
    if (!(b > bpmax)) return single(dext, dpmax);
    D = Dl = Dv = dpmax;
    double hjt = 0;
    THERM(T, D, z, P, e, h, s, cv, cp, w, hjt);
    q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
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
bool TemperatureFlash::compressed_liquid_above() {
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

bool TemperatureFlash::fluid_beyond_minimum() const {
    double pext = 0, pmelt = 0;
    int merr = 0;
    std::string mmsg;
    PRESS(T, dext, z, pext);
    MELTT(T, z, pmelt, merr, mmsg);
    return merr > 0 || !(pmelt > 0.0) || pext < pmelt;
}

void TemperatureFlash::two_roots() {
    fail(-238, head,
         std::string("two solutions exist for the input values; the ") +
             (kr == kHigherRoot ? "higher" : "lower") + " density root has been calculated",
         ierr, herr);
}

// A gas at T of the given entropy from the last state of the composition,
// while a warm-start scope is open (library/phase/warmstart.h): the
// single root of a gas (its entropy falls with the density), taken only
// where the cold road takes the single phase too, else false.
bool TemperatureFlash::warm_gas() {
    warm::State st;
    if (letter != 'S' || !warm::active() || lerr != 0 || !warm::recall(z, st) || !st.single ||
        !(st.D < Dc))
        return false;
    double d = 0, p = 0;
    if (!warm::solve_at_t(T, b, z, st, d, p) || !(d < Dc) || !(d <= dmax && p <= pmax))
        return false;
    if (std::fabs(T / Tc - 1.0) < 0.02 && std::fabs(p / Pc - 1.0) < 0.2) return false;
    if (icomp > 0 ? !pure_vapour(d, p) : !warm::stable_mixture(T, p, d, z, st, stable_T, stable_P))
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
bool TemperatureFlash::pure_vapour(double d, double p) const {
    if (T >= Tc) return true;
    if (ppf) return false;
    double ps = 0, dl = 0, dv = 0;
    if (!satcheb::at_t(icomp, T, ps, dl, dv)) return false;
    return p < ps * (1.0 - 1e-7) && d < dv;
}

// The single-phase state between the densities lo and hi (the gas root
// below kDmin where the range starts at the floor below it).
void TemperatureFlash::single(double lo, double hi) {
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
bool TemperatureFlash::root_in_bracket(double lo, double hi) {
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
bool TemperatureFlash::dew_point() {
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
void TemperatureFlash::set_floor(double d) {
    dlow = d;
    dilute = 0.0;
    double root = 0.0;
    if (dilute_root(letter, T, b, z, d, root)) {
        dilute = root;
        dlow = kBelowDilute * root;
    }
}

// The largest value of the property along the isotherm, and the range
// check of the temperature.
bool TemperatureFlash::in_range() {
    b_lo = flash::prop(letter, T, dlow, z);
    const double b_hi = flash::prop(letter, T, dmax, z);
    const double bmax = std::max(b_lo, b_hi);
    if (lerr == 0 && b > bmax) {
        outside(239, flash::err(head, 239, 4,
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
double TemperatureFlash::density_at_pmax(int kph) const {
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
void TemperatureFlash::supercritical(bool split_below, double plo) {
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
        // above its value only the dense root is left.  A gas root found
        // below the lowest density searched is one, whatever the rounding
        // of the value at the floor below it (propane's gas at 377.5 K and
        // 6.8e-7 kPa came back as the liquid at 298 MPa for either kr).
        if (b < b_lo || dilute > 0.0) {
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

// The bubble point (a pure fluid's is its dew point's).
bool TemperatureFlash::bubble_point() {
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
bool TemperatureFlash::above_minimum() {
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
bool TemperatureFlash::at_minimum() {
    if (!(b >= bext - kAtMinimum * (std::fabs(bext) + 1.0))) return false;
    D = Dl = Dv = dext;
    double hjt = 0;
    THERM(T, D, z, P, e, h, s, cv, cp, w, hjt);
    q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
    return true;
}

void TemperatureFlash::two_phase() {
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
        ABFL2(T, b, z, 1, 0, ab, tb, td, pbx, pdx, dlbub, dvdew, ybub, xdew, tt, P, Dl, Dv, x, y, q,
              aerr, amsg);
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

}  // namespace tbcall

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
