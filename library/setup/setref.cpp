// Reference states: per component, the enthalpy and entropy offsets that give
// h and s their chosen values at the chosen reference point; optionally a
// further shift that gives a mixture composition its values.
#include "library/setup/setref.h"

#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/phase/satcheb.h"
#include "library/phase/satp.h"
#include "library/phase/satt.h"
#include "library/phase/tprho.h"
#include "library/setup/modelgen.h"
#include "library/setup/records.h"

namespace lib {
namespace {

// Working reference point of one slot: its code, temperature, pressure
// (p = -1 saturated liquid, p <= -1.99 saturated vapour) and target values.
struct RefPoint {
    Code code;
    double t = 0, p = 0, h = 0, s = 0;
};

bool is_standard(const Code& c) { return c.is("IIR") || c.is("ASH") || c.is("NBP"); }

// The point of a code that is not one of the "OT" codes; false if unknown.
bool standard_point(const Code& c, int k, RefPoint& pt) {
    pt = RefPoint{};
    pt.code = c;
    if (c.is("IIR")) {
        pt.t = 273.15;
        pt.p = -1.0;
        pt.h = 200.0 * CCON.wm[k];
        pt.s = 1.0 * CCON.wm[k];
    } else if (c.is("ASH")) {
        pt.t = 233.15;
        pt.p = -1.0;
    } else if (c.is("NBP")) {
        pt.t = CCON.tnbp[k];
        pt.p = -1.0;
    } else if (c.is("NUL") || c.is("NA")) {
        pt.t = 300.0;
        pt.p = 1e-6;
    } else {
        return false;
    }
    return true;
}

// A default "OTH"/"OT0" point of slot k from its fluid text.
RefPoint default_ot_point(const Code& c, int k) {
    return RefPoint{c, CREFDF.t[k], CREFDF.p[k], CREFDF.h[k], CREFDF.s[k]};
}

// Whether the standard code's reference temperature lies within the range
// of component k; otherwise the warning number and its text.
int check_point(const Code& c, int k, std::string& text) {
    if (!is_standard(c)) return 0;
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int jerr = 0;
    std::string jmsg;
    LIMITK("EOS", k, 300.0, 0.0, 0.0, tmin, tmax, dmax, pmax, jerr, jmsg);
    const std::string comp = "for component " + fmt_int(k, 3);
    const std::string tail = "; will use default (" + REFST.slot[k].str() + ").";
    const double tc = CCON.tc[k];
    int w = 0;
    if (c.is("NBP") && tmin > CCON.tnbp[k]) {
        w = 26;
        text = "minimum temperature " + comp +
               " is greater than boiling point temperature; Tmin =" + fmt_g(tmin, 12, 5) +
               " K, Tnbp =" + fmt_g(CCON.tnbp[k], 12, 5) + " K" + tail;
    } else if (c.is("ASH") && tmin > 233.15) {
        w = 24;
        text = "minimum temperature " + comp +
               " is greater than ASHRAE reference temperature; Tmin =" + fmt_g(tmin, 12, 5) +
               " K, Tref = 233.15 K" + tail;
    } else if (c.is("ASH") && tc < 234.15) {
        w = 25;
        text = "critical temperature " + comp +
               " is less than ASHRAE reference temperature; Tcrit =" + fmt_g(tc, 12, 5) +
               " K, Tref = 233.15 K" + tail;
    } else if (c.is("IIR") && tmin > 273.15) {
        w = 22;
        text = "minimum temperature " + comp +
               " is greater than IIR reference temperature; Tmin =" + fmt_g(tmin, 12, 5) +
               " K, Tref = 273.15 K." + tail;
    } else if (c.is("IIR") && tc < 274.15) {
        w = 23;
        text = "critical temperature " + comp +
               " is less than IIR reference temperature; Tcrit =" + fmt_g(tc, 12, 5) +
               " K, Tref = 273.15 K" + tail;
    }
    if (w != 0) text = errtext("SETUP", "warning", std::to_string(w), text);
    return w;
}

// The fallback of a component whose point is out of its range: its default
// code's point, or the saturated liquid at 0.8 Tc when that is no usable
// standard point either.
RefPoint fallback_point(int k) {
    const Code d = REFST.slot[k];
    if (d.starts("OT")) return default_ot_point(d, k);
    RefPoint pt;
    std::string unused;
    if (is_standard(d) && standard_point(d, k, pt) && check_point(d, k, unused) == 0) return pt;
    pt = RefPoint{};
    pt.code = d;
    pt.t = 0.8 * CCON.tc[k];
    pt.p = -1.0;
    return pt;
}

// Single-phase density of a pure component at (T, p): the liquid above its
// saturation pressure, the vapour below it.
void pure_density(double T, double p, const double z[20], double& D, int& ierr, std::string& herr) {
    double tc = 0, pc = 0, dc = 0;
    CRITP(z, tc, pc, dc, ierr, herr);
    int kph = kLiquid;
    if (T < tc) {
        double ps = 0, dl = 0, dv = 0, xl[20], xv[20];
        SATT(T, z, kBubblePoint, ps, dl, dv, xl, xv, ierr, herr);
        if (ierr > 0) return;
        kph = p >= ps ? kLiquid : kVapour;
    }
    TPRHO(T, p, z, kph, kNoStartValue, D, ierr, herr);
}

// Density at the reference point of one slot (or of the mixture x).
void point_density(const RefPoint& pt, const double x[20], double& T, double& D, int& ierr,
                   std::string& herr) {
    ierr = 0;
    herr.clear();
    double dl = 0, dv = 0, xl[20], xv[20];
    if (pt.code.is("NBP")) {
        double tb = 0;
        SATP(101.325, x, kBubblePoint, tb, dl, dv, xl, xv, ierr, herr);
        if (ierr > 0) return;
        T = tb;
        if (dl > 0.0) D = dl;
    } else if (pt.code.is("NA")) {
        return;
    } else if (pt.p >= 0.0) {
        if (pt.code.is("OTH")) {
            pure_density(T, pt.p, x, D, ierr, herr);
        } else if (pt.code.is("OT0")) {
            RMIX(x);
            D = pt.p / (GCNST.r * T);
        }
    } else {
        double ps = 0;
        const int kph = pt.p > -1.99 ? kBubblePoint : kDewPoint;
        SATT(T, x, kph, ps, dl, dv, xl, xv, ierr, herr);
        if (ierr > 0) return;
        D = kph == kBubblePoint ? dl : dv;
    }
}

// Whether an equation of state was loaded into slot k (it then has a
// temperature range); a slot without one has no states to refer to.
bool eos_loaded(int k) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int jerr = 0;
    std::string jmsg;
    LIMITK("EOS", k, 0.0, 0.0, 0.0, tmin, tmax, dmax, pmax, jerr, jmsg);
    return tmax > 0.0;
}

bool same_values(double h0, double s0, double t0, double p0) {
    return std::fabs(h0 - REFSAV.h0) <= 1e-10 && std::fabs(s0 - REFSAV.s0) <= 1e-10 &&
           std::fabs(t0 - REFSAV.t0) <= 1e-10 && std::fabs(p0 - REFSAV.p0) <= 1e-10;
}

// Shift of every component's offsets so that the mixture x0 has its targets.
void mixture_step(const Code& h, const double x0[20], double h0, double s0, double t0, double p0,
                  int& ierr, std::string& herr) {
    const int nc = NCOMP.nc;
    const Code mc = h.is("DEF") ? REFST.slot[1] : h;
    RefPoint pt;
    pt.code = mc;
    double T = 0, D = 1.0;
    int jerr = 0;
    std::string jmsg;
    if (is_standard(mc)) {
        double dl = 0, dv = 0, xl[20], xv[20];
        if (mc.is("IIR")) {
            T = 273.15;
            pt.h = 200.0 * WMOL(x0);
            pt.s = WMOL(x0);
        } else if (mc.is("ASH")) {
            T = 233.15;
        } else {
            SATP(101.325, x0, kBubblePoint, T, dl, dv, xl, xv, jerr, jmsg);
        }
        double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
        int lerr = 0;
        std::string lmsg;
        LIMITX("EOS", T, 0.0, 0.0, x0, tmin, tmax, dmax, pmax, lerr, lmsg);
        if (tmin > T || tmax < T) {
            T = 0.0;
            for (int i = 1; i <= nc; ++i) T += x0[i - 1] * CREF.tref[i];
        }
        double ps = 0;
        SATT(T, x0, kBubblePoint, ps, dl, dv, xl, xv, jerr, jmsg);
        D = dl;
    } else {
        T = t0;
        pt.h = h0;
        pt.s = s0;
        pt.p = p0;
        if (p0 >= 0.0) {
            double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
            int lerr = 0;
            std::string lmsg;
            LIMITX("EOS", t0, 0.0, p0, x0, tmin, tmax, dmax, pmax, lerr, lmsg);
            if (lerr > 0) {
                fail(27, "SETREF",
                     "specified reference state for mixture is outside equation "
                     "limits: " +
                         std::string(trim_right(lmsg)).substr(0, 170),
                     ierr, herr);
                return;
            }
            pure_density(t0, p0, x0, D, jerr, jmsg);
        } else {
            pt.code = Code("OTH");
            point_density(pt, x0, T, D, jerr, jmsg);
        }
    }
    if (jerr > 0) {
        fail(119, "SETREF",
             "convergence failure in calculating reference state for the mixture:  " +
                 std::string(trim_right(jmsg)).substr(0, 162),
             ierr, herr);
        return;
    }
    double P, e, hh, ss, cv, cp, w, hjt;
    THERM(T, D, x0, P, e, hh, ss, cv, cp, w, hjt);
    for (int i = 1; i <= nc; ++i) {
        CREF.h0[i] += hh - pt.h;
        CREF.s0[i] += ss - pt.s;
    }
}

}  // namespace

void SETREF(std::string& hrf, int ixflag, const double x0[20], double h0, double s0, double t0,
            double p0, int& ierr, std::string& herr) {
    const ModelsChange change;
    ierr = 0;
    herr.clear();
    // A reference point's saturation state is found by iteration: the
    // expansions of a component are built where a calculation needs them,
    // not for the one state that decides its reference phase.
    satcheb::NoBuild no_build;
    const int nc = NCOMP.nc;
    if (hrf.rfind("???", 0) == 0) {
        hrf = std::string(trim_right(REFST.slot[1].str()));
        return;
    }
    const Code h = Code(hrf).is("def") ? Code("DEF") : Code(hrf);
    const bool ot = h.starts("OT");

    // A repeated call returns at once; one that differs only in the
    // composition only redoes the mixture step.
    if (IRFSAV.done == 1 && h == REFST.mix && (!ot || same_values(h0, s0, t0, p0))) {
        bool same_x = true;
        if (ixflag == 2)
            for (int i = 0; i < nc; ++i)
                if (std::fabs(x0[i] - REFSAV.x0[static_cast<std::size_t>(i)]) > 1e-10)
                    same_x = false;
        if (ixflag == IRFSAV.ixflag && (ixflag != 2 || same_x)) return;
        if (ixflag >= IRFSAV.ixflag && ixflag == 2 && nc >= 2) {
            mixture_step(h, x0, h0, s0, t0, p0, ierr, herr);
            if (ierr > 0) IRFSAV.done = 0;
            if (ierr != 0) return;
            IRFSAV.ixflag = ixflag;
            for (int i = 0; i < kMaxComp; ++i) REFSAV.x0[static_cast<std::size_t>(i)] = x0[i];
            return;
        }
    }

    int kept = 0;
    std::string kept_msg;
    if (h.is("DEF") && ixflag == 2 && nc > 1) {
        bool differ = false;
        for (int i = 1; i <= nc; ++i)
            if (!(REFST.slot[i] == REFST.slot[1]) || REFST.slot[i].starts("OT")) differ = true;
        if (differ) {
            kept = -28;
            kept_msg = errtext("SETREF", -28,
                               "cannot apply reference state (DEF) at a specified mixture "
                               "composition when components have different default reference "
                               "states; will apply defaults to each pure component");
            ixflag = 1;
        }
    }

    // Working points.
    const bool chosen = is_standard(h) || h.is("NA") || ot;
    if (!chosen && !h.is("DEF")) {
        kept = -29;
        kept_msg =
            errtext("SETREF", -29, "reference state not found, using default reference state");
    }
    Slots<RefPoint> pts;
    for (int k = kMinSlot; k <= nc; ++k) CREF.dref[k] = 1.0;
    for (int k = -nc; k <= nc; ++k) {
        if (k < kMinSlot || (k < 1 && EOSMOD.eos[k].is("QVB"))) continue;
        const Code code = chosen ? h : REFST.slot[k];
        RefPoint pt;
        if (code.starts("OT")) {
            pt = ot ? RefPoint{code, t0, p0, h0, s0} : default_ot_point(code, k);
        } else if (!standard_point(code, k, pt)) {
            kept = -29;
            kept_msg = errtext("SETREF", -29,
                               "reference state (" + code.str() + ") for component " +
                                   fmt_int(k, 3) + " not found; will use NBP reference state.");
            standard_point(Code("NBP"), k, pt);
        }
        pts[k] = pt;
        CREF.h0[k] = pt.h;
        CREF.s0[k] = pt.s;
        CREF.tref[k] = pt.t;
    }

    // Points outside a component's range fall back to its default.
    for (int k = 1; k <= nc; ++k) {
        if (!eos_loaded(k)) continue;
        std::string text;
        const int w = check_point(pts[k].code, k, text);
        if (w == 0) continue;
        fail(w, std::move(text), kept, kept_msg);
        pts[k] = fallback_point(k);
        CREF.h0[k] = pts[k].h;
        CREF.s0[k] = pts[k].s;
        CREF.tref[k] = pts[k].t;
    }

    // Offsets per component.
    for (int k = 1; k <= nc; ++k) {
        if (!eos_loaded(k)) continue;
        const RefPoint& pt = pts[k];
        double z[20] = {};
        z[k - 1] = 1.0;
        double T = pt.t, D = 1.0;
        int jerr = 0;
        std::string jmsg;
        point_density(pt, z, T, D, jerr, jmsg);
        if (jerr > 0) {
            D = CCON.dc[k];
            fail(119, "SETREF",
                 "convergence failure in calculating reference state for component #" +
                     std::to_string(k) + ":  " + std::string(trim_right(jmsg)).substr(0, 162),
                 ierr, herr);
        }
        if (pt.code.is("NA")) continue;
        CREF.tref[k] = T;
        CREF.dref[k] = D;
        if (ixflag == 2 && nc > 1 && pt.code.starts("OT")) continue;
        // The property routines subtract the offsets, which still hold the
        // targets: what they return is the new offset.
        CPPSAV.t[k] = 0.0;
        double P, e, hh, ss, cv, cp, w, hjt, A, G;
        if (pt.code.is("OT0"))
            THERM0(T, D, z, P, e, hh, ss, cv, cp, w, A, G);
        else
            THERM(T, D, z, P, e, hh, ss, cv, cp, w, hjt);
        CREF.h0[k] = hh;
        CREF.s0[k] = ss;
        CPPSAV.t[k] = 0.0;
    }
    // Ideal-gas caches of the other slots whose reference point moved.
    for (int k = -nc; k <= 0; ++k)
        if (k >= kMinSlot) CPPSAV.t[k] = 0.0;

    if (ierr == 0 && ixflag == 2 && nc >= 2) mixture_step(h, x0, h0, s0, t0, p0, ierr, herr);

    // A call that failed is not recorded, and the offsets it changed belong to
    // no completed call: the next call computes again, whatever it asks for.
    if (ierr > 0) IRFSAV.done = 0;
    if (ierr == 0) {
        IRFSAV.done = 1;
        REFST.mix = h;
        IRFSAV.ixflag = ixflag;
        if (ot) {
            REFSAV.h0 = h0;
            REFSAV.s0 = s0;
            REFSAV.t0 = t0;
            REFSAV.p0 = p0;
        }
        if (ixflag == 2)
            for (int i = 0; i < kMaxComp; ++i) REFSAV.x0[static_cast<std::size_t>(i)] = x0[i];
    }
    if (ierr != 0) return;
    if (kept != 0) {
        ierr = kept;
        herr = kept_msg;
    }
}

}  // namespace lib
