// Small helpers shared by the flash routines: message pieces and the
// reporting of errors, the critical point, the phase compositions of a
// result, the property named by a pair letter, the mixing of two phases and a
// guard that keeps the message print switch off for the length of an inner
// call.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/models/therm.h"
#include "library/setup/common.h"
#include "library/setup/records.h"

namespace lib::flash {

// The first n characters of a message, without trailing blanks.
inline std::string cut(const std::string& s, std::size_t n) {
    return std::string(trim_right(s).substr(0, n));
}

// An integer in a field of w columns as the bracket of a message shows it
// after its label word (one blank of the field becomes the separator).
inline std::string num(int value, int w) {
    std::string s = fmt_int(value, w);
    if (!s.empty() && s[0] == ' ') s.erase(0, 1);
    return s;
}

// "[<routine> error N] text" with N in a field of w columns.
inline std::string err(const std::string& routine, int ierr, int w, const std::string& text) {
    return errtext(routine, ierr, text, w);
}

// The text of a range-check result lerr (a warning below zero, an error
// above) cut so that its message, the number in a field of w columns, keeps
// within its length.
inline std::string range_cut(int lerr, const std::string& lmsg, int w) {
    return cut(lmsg, static_cast<std::size_t>((lerr < 0 ? 237 : 239) - w));
}
// The whole message of a range-check result under routine.
inline std::string range_text(const std::string& routine, int lerr, const std::string& lmsg,
                              int w) {
    return err(routine, lerr, w, range_cut(lerr, lmsg, w));
}

// The range check of a state a flash found (T, and P where the flash
// computed it): a value that meets a temperature or pressure limit only to
// the solver's last digits is checked at the limit.  (PHFLSH of ammonia at
// the h of its upper limit of 700 K returned 700.0000000042 K with warning
// -1, "temperature above upper limit", and the application failed the
// part.)
inline void found_state_limits(double T, double D, double P, const double z[20], double& tmin,
                               double& tmax, double& dmax, double& pmax, int& lerr,
                               std::string& lmsg) {
    // Above the relative convergence of the flashes' temperatures (1e-11)
    // and far below any difference a limit means.
    constexpr double kLastDigits = 1e-9;
    LIMITX("EOS", T, D, P, z, tmin, tmax, dmax, pmax, lerr, lmsg);
    if (lerr == 0) return;
    const auto at_limit = [](double v, double lo, double hi) {
        if (v > hi && v <= hi * (1.0 + kLastDigits)) return hi;
        if (v < lo && v >= lo * (1.0 - kLastDigits)) return lo;
        return v;
    };
    // (A pure fluid's triple point as well: water's liquid from PSFLSH at
    // 273.15999999969 K came with warning -16, "temperature less than
    // triple point".)
    const int ic = ISPURE(z);
    const double lowest = ic > 0 ? std::max(tmin, CCON.ttp[ic]) : tmin;
    const double Tl = at_limit(T, lowest, tmax), Pl = at_limit(P, 0.0, pmax);
    if (Tl != T || Pl != P) LIMITX("EOS", Tl, D, Pl, z, tmin, tmax, dmax, pmax, lerr, lmsg);
}

// A pure liquid's pressure P at density D, at least the saturation pressure
// ps where D is at or above the saturated liquid's dl: far below the
// critical point the equation gives a liquid's pressure only to some 1e-9
// kPa (1-butene's saturated liquid at its triple point, 87.8 K and 5.9e-10
// kPa, came out at -1.7e-9 kPa, which the range check refuses).
inline double liquid_pressure(double P, double D, double ps, double dl) {
    return D >= dl * (1.0 - 1e-12) && P < ps ? ps : P;
}

// A pure fluid's temperature a few rounding digits below its triple point,
// as the iterations end on it (1-butene's DHFLSH at 87.79999999999996 K),
// taken at the triple point; any other temperature as it is.
inline double at_triple_point(int icomp, double T) {
    const double ttp = CCON.ttp[icomp];
    return T < ttp && T >= ttp * (1.0 - 1e-12) ? ttp : T;
}

// Reports a range-check result other than 0; true when it is an error.
inline bool range_error(const std::string& routine, int lerr, const std::string& lmsg, int w,
                        int& ierr, std::string& herr) {
    if (lerr != 0) fail(lerr, routine, range_cut(lerr, lmsg, w), ierr, herr, w);
    return lerr > 0;
}

// The critical point of z; false, with error n and the critical-point
// routine's message cut to len characters, when it cannot be found.
inline bool critical_point(const double z[20], double& Tc, double& Pc, double& Dc,
                           const std::string& routine, int n, std::size_t len, int& ierr,
                           std::string& herr) {
    int jerr = 0;
    std::string jmsg;
    CRITP(z, Tc, Pc, Dc, jerr, jmsg);
    if (jerr <= 0) return true;
    fail(n, routine, cut(jmsg, len), ierr, herr);
    return false;
}

// Texts of an inner step that failed, with the inner message cut to fit.
inline std::string bubble_failed(const std::string& m, std::size_t len = 190) {
    return "bubble point calculation did not converge:  " + cut(m, len);
}
inline std::string dew_failed(const std::string& m, std::size_t len = 193) {
    return "dew point calculation did not converge:  " + cut(m, len);
}
inline std::string liquid_failed(const std::string& m) {
    return "liquid density iteration did not converge:  " + cut(m, 189);
}
inline std::string vapour_failed(const std::string& m) {
    return "vapor density iteration did not converge:  " + cut(m, 190);
}
inline std::string supercritical_failed(const std::string& m) {
    return "supercritical density iteration did not converge:  " + cut(m, 183);
}

// Phase compositions of a flash or saturation result before it is found: the
// unit vector of a pure component, else the overall composition.
// (A pure fluid's are copied from a zero vector: whole registers at a time,
// on every entry of a saturation routine or flash.)
constexpr std::array<double, 20> kZeroVector{};
inline void start_compositions(int icomp, const double z[20], double x[20], double y[20]) {
    if (icomp > 0 && icomp <= 20) {
        std::copy_n(kZeroVector.begin(), 20, x);
        std::copy_n(kZeroVector.begin(), 20, y);
        x[icomp - 1] = 1.0;
        y[icomp - 1] = 1.0;
        return;
    }
    for (int i = 0; i < 20; ++i) {
        const double v = icomp > 0 ? 0.0 : z[i];
        x[i] = v;
        y[i] = v;
    }
}

inline void copy20(const double a[20], double b[20]) {
    for (int i = 0; i < 20; ++i) b[i] = a[i];
}

// The two phases of a split turned over: densities, compositions, and the
// vapour fraction with them.
inline void swap_phases(double& Dl, double& Dv, double x[20], double y[20], double& q) {
    std::swap(Dl, Dv);
    for (int i = 0; i < 20; ++i) std::swap(x[i], y[i]);
    q = 1.0 - q;
}
template <class Split>
void swap_phases(Split& s) {
    swap_phases(s.Dl, s.Dv, s.x, s.y, s.q);
}

// True when component k has an equation of this kind (neither blank nor "QVB").
inline bool has_equation(const KindModRecord& r, int k) {
    const Code c = r.slot[k];
    return !c.empty_code() && !c.is("QVB") && !c.is("   ");
}

// 1 when component icomp is handled as one component but has distinct
// bubble and dew lines.
inline bool pseudo_pure(int icomp) {
    return icomp > 0 && icomp <= kMaxComp &&
           FLAGS2.pseudo_pure[static_cast<std::size_t>(icomp)] == 1;
}

// The property named by a pair letter at (T, D): 'H' enthalpy, 'S' entropy,
// 'E' internal energy (J/mol, J/(mol K)).
inline double prop(char letter, double T, double D, const double z[20]) {
    double v = 0.0;
    if (letter == 'S')
        ENTRO(T, D, z, v);
    else if (letter == 'E')
        ENERGY(T, D, z, v);
    else
        ENTHAL(T, D, z, v);
    return v;
}

// Whether a component's fraction c in a phase is below what the library
// tells from a pure fluid (ISPURE takes a fraction within 1e-12 of one for
// the pure component, whose fugacity alone it then forms: f is 0 for the
// others).
inline bool below_purity(double c, double f) { return f == 0.0 && c < 1e-11; }

// The fugacities of phase (T, D, c) for every component of the feed z,
// also where c holds one of them to within the library's purity: the
// fugacity coefficient of a component that dilute is that at 1e-10
// (hydrogen in liquid water at 300 K and 100 kPa: 1e-12), in the pure
// fluid's terms.  False when the fugacities cannot be formed.
inline bool dilute_fugacities(double T, double D, const double c[20], const double z[20],
                              double f[20]) {
    int jerr = 0;
    std::string jmsg;
    FGCTY2(T, D, c, f, jerr, jmsg);
    if (jerr > 0) return false;
    const int nc = std::min(NCOMP.nc, kMaxComp);
    double lift[20] = {}, sum = 0.0;
    bool any = false;
    for (int i = 0; i < nc; ++i) {
        lift[i] = c[i];
        if (z[i] > 0.0 && below_purity(c[i], f[i])) {
            lift[i] = 1e-10;
            any = true;
        }
        sum += lift[i];
    }
    if (!any) return true;
    for (int i = 0; i < nc; ++i) lift[i] /= sum;
    double fl[20] = {};
    FGCTY2(T, D, lift, fl, jerr, jmsg);
    if (jerr > 0) return false;
    // The lifted phase is a mixture to the equations, the phase itself a
    // pure fluid with its own gas constant: every fugacity coefficient
    // moves by nearly the same factor between the two (1.13e-6 for butane,
    // 1.15e-6 for the helium dissolved in it at 150 K).  The dilute ones
    // are carried back by the factor of the others.
    double factor = 0.0, weight = 0.0;
    for (int i = 0; i < nc; ++i)
        if (c[i] > 0.0 && f[i] > 0.0 && fl[i] > 0.0) {
            factor += c[i] * (f[i] / c[i]) / (fl[i] / lift[i]);
            weight += c[i];
        }
    factor = weight > 0.0 ? factor / weight : 1.0;
    for (int i = 0; i < nc; ++i)
        if (z[i] > 0.0 && below_purity(c[i], f[i])) f[i] = factor * fl[i] * c[i] / lift[i];
    return true;
}

// The two-phase marker of cv, cp and w.
inline void two_phase_markers(double& cv, double& cp, double& w, double marker = kMarker8) {
    cv = marker;
    cp = marker;
    w = marker;
}

// Energy, enthalpy and entropy of one phase (J/mol, J/(mol K)).
struct PhaseProps {
    double e = 0, h = 0, s = 0;
    // The property named by a pair letter, as prop() does.
    double of(char letter) const { return letter == 'S' ? s : letter == 'E' ? e : h; }
};

inline PhaseProps phase_props(double T, double D, const double x[20]) {
    PhaseProps ph;
    energy_enthalpy_entropy(T, D, x, ph.e, ph.h, ph.s);
    return ph;
}

// A two-phase state at molar vapour quality q: e, h and s mixed from the
// phases, cv, cp and w the two-phase marker.
inline void mix_phases(double q, const PhaseProps& l, const PhaseProps& v, double& e, double& h,
                       double& s, double& cv, double& cp, double& w, double marker = kMarker8) {
    e = q * v.e + (1.0 - q) * l.e;
    h = q * v.h + (1.0 - q) * l.h;
    s = q * v.s + (1.0 - q) * l.s;
    two_phase_markers(cv, cp, w, marker);
}

// The same from the liquid (Dl, x) and vapour (Dv, y) at temperature T.
inline void mix_phases(double T, double q, double Dl, double Dv, const double x[20],
                       const double y[20], double& e, double& h, double& s, double& cv, double& cp,
                       double& w, double marker = kMarker8) {
    const PhaseProps l = phase_props(T, Dl, x);
    const PhaseProps v = phase_props(T, Dv, y);
    mix_phases(q, l, v, e, h, s, cv, cp, w, marker);
}

// Overall density of two phases at molar vapour quality q.
inline double mixed_density(double q, double Dl, double Dv) {
    return 1.0 / (q / Dv + (1.0 - q) / Dl);
}

// The share of the dew point's temperature (or pressure) within which a
// blend's bubble and dew points coincide, as at an azeotrope: the phases
// differ from the feed in the sixth digit of their compositions and less,
// and the Newton iterations in ln K find no distinct pair of phases (R134a
// + R1234yf 44/56 at 703.28 kPa, bubble and dew points 2e-11 K apart:
// every two-phase PHFLSH and PQFLSH failed; THFLSH at 702 kPa, 2e-9
// apart in pressure).
constexpr double kAzeotropeBand = 1e-8;
inline bool azeotropic(double bubble, double dew) {
    return std::fabs(dew - bubble) <= kAzeotropeBand * std::fabs(dew);
}

// The split of vapour fraction q in such a band, at temperature T and
// pressure P between the bubble point (the feed's liquid and its incipient
// vapour ybub) and the dew point (the feed's vapour and its incipient
// liquid xdew): the phase compositions on the line between them (which
// adds up to the feed to the square of their distance from it: both are
// moved by what the balance lacks, which leaves the ratio of their
// fugacities as it was), and their densities at
// (T, P) from the bubble liquid's and dew vapour's.  False where a density
// is not found.
inline bool azeotropic_split(double q, double T, double P, const double z[20],
                             const double ybub[20], const double xdew[20], double& Dl, double& Dv,
                             double x[20], double y[20]) {
    for (int i = 0; i < 20; ++i) {
        x[i] = q * xdew[i] + (1.0 - q) * z[i];
        y[i] = (1.0 - q) * ybub[i] + q * z[i];
        const double lack = z[i] - (1.0 - q) * x[i] - q * y[i];
        x[i] += lack;
        y[i] += lack;
    }
    int lerr = 0, verr = 0;
    std::string msg;
    TPRHO(T, P, x, kLiquid, kStartValue, Dl, lerr, msg);
    TPRHO(T, P, y, kVapour, kStartValue, Dv, verr, msg);
    return lerr <= 0 && verr <= 0 && Dl > Dv;
}

// The volume quality of an overall density between two phase densities;
// fallback where the phases cannot be told apart.
inline double volume_quality(double D, double Dl, double Dv, double fallback) {
    if (std::fabs(Dv - Dl) > 1e-12) return (1.0 / D - 1.0 / Dl) / (1.0 / Dv - 1.0 / Dl);
    return fallback;
}

// The quality of a single-phase state, the same from every flash (see
// library.h): 999 above the critical pressure at or above the critical
// temperature, -998 above it below that temperature; at or below the
// critical pressure 998 at or above the critical temperature, below it
// -998 on the liquid side (denser than the critical density) and 998 on
// the vapour side.
inline double single_phase_quality(double T, double P, double D, double Tc, double Pc, double Dc) {
    if (P > Pc) return T >= Tc ? kQualitySupercritical : kQualityLiquid;
    if (T >= Tc) return kQualityVapour;
    return D > Dc ? kQualityLiquid : kQualityVapour;
}

// The same for a pure fluid's state found on one side of its saturation line
// (liquid: on the bubble point's side): below Tc and Pc that side, whatever
// the critical density says (close to an equation's own critical point,
// which can lie some 10 % in density from the stated one, a saturated liquid
// can be thinner than Dc).
inline double side_quality(bool liquid, double T, double P, double D, double Tc, double Pc,
                           double Dc) {
    if (T < Tc && !(P > Pc)) return liquid ? kQualityLiquid : kQualityVapour;
    return single_phase_quality(T, P, D, Tc, Pc, Dc);
}

// True (with error 1 and its message) when an input is not a finite number:
// no iteration starts from one.
inline bool not_a_number(const std::string& routine, std::initializer_list<double> inputs,
                         int& ierr, std::string& herr) {
    for (double v : inputs) {
        if (std::isfinite(v)) continue;
        fail(1, routine, "input value is not a number", ierr, herr);
        return true;
    }
    return false;
}

// A given temperature, pressure or density: its letter and value.
struct Given {
    char letter;  // 'T', 'P' or 'D'
    double value;
};

// True (with the error the range check gives that input: 1 temperature,
// 2 density, 4 pressure) when a given temperature, pressure or density is
// zero or negative: no state has one.
inline bool not_positive(const std::string& routine, std::initializer_list<Given> inputs, int& ierr,
                         std::string& herr) {
    for (const Given& g : inputs) {
        if (g.value > 0.0) continue;
        const bool t = g.letter == 'T', d = g.letter == 'D';
        fail(t   ? 1
             : d ? 2
                 : 4,
             routine,
             std::string(t   ? "temperature"
                         : d ? "density"
                             : "pressure") +
                 " input is zero or negative; " + g.letter + " =" +
                 fmt_g(g.letter == 'P' ? g.value / 1000.0 : g.value, 12, 5) +
                 (t   ? " K."
                  : d ? " mol/L."
                      : " MPa."),
             ierr, herr);
        return true;
    }
    return false;
}

// True when a single-phase state (T, D) is mechanically and thermally
// stable: dP/dD >= 0 and cv > 0 (cv alone with slope_known: a root of the
// density solver, whose dP/dD > 0 it has tested). A root of a single-phase solver that is not
// lies in the two-phase (or solid) region and is no state.
inline bool stable(double T, double D, const double z[20], bool slope_known = false) {
    double dpdd = 0.0, cv = 0.0, cp = 0.0;
    if (slope_known) {
        CVCP(T, D, z, cv, cp);
        return cv > 0.0;
    }
    DPDD(T, D, z, dpdd);
    // dP/dD vanishes at the critical point: zero to within the rounding of
    // its terms (1e-6 of the ideal gas's R T) is not negative. A fluid's
    // stated critical point may lie a little inside its equation's own
    // unstable region (r40: -1.01e-2 R T at its Tc and Dc, the most of the
    // built-in texts): there, within 1 % of Tc and 10 % of Dc, 2e-2 R T.
    double tolerance = 1e-6;
    {
        double Tc = 0.0, Pc = 0.0, Dc = 0.0;
        int jerr = 0;
        std::string jmsg;
        CRITP(z, Tc, Pc, Dc, jerr, jmsg);
        if (jerr <= 0 && std::fabs(T / Tc - 1.0) < 0.01 && std::fabs(D / Dc - 1.0) < 0.1)
            tolerance = 2e-2;
    }
    if (!(dpdd > -tolerance * GCNST.r * T)) return false;
    CVCP(T, D, z, cv, cp);
    return cv > 0.0;
}

// The message of an unstable root: where it lies and why it is refused.
inline std::string unstable_root(double T, double D) {
    return "no stable single-phase state: the root at T =" + fmt_g(T, 12, 5) +
           " K, rho =" + fmt_g(D, 12, 5) +
           " mol/L has dP/dD or cv <= 0 (two-phase or solid region)";
}

// Keeps ERRMSG quiet while it lives; the previous switch comes back on every
// way out of the scope.
class QuietMessages {
public:
    QuietMessages() : saved_(PRNTERR) { PRNTERR = 0; }
    ~QuietMessages() { PRNTERR = saved_; }
    QuietMessages(const QuietMessages&) = delete;
    QuietMessages& operator=(const QuietMessages&) = delete;

private:
    int saved_;
};

}  // namespace lib::flash
