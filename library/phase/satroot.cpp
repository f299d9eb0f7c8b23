// Saturation-boundary property with its derivative, and the bracketed
// Newton-secant search on temperature (see satroot.h).
#include "library/phase/satroot.h"

#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/phase/flashutil.h"
#include "library/phase/records.h"
#include "library/phase/satcheb.h"
#include "library/phase/satmix.h"
#include "library/setup/records.h"

namespace lib::satroot {

namespace {

struct Local {
    double P = 0, e = 0, h = 0, s = 0, cv = 0, dpdt = 0, dpdd = 0;
};

Local local(double T, double D, const double x[20]) {
    Local l;
    double cp = 0, w = 0, hjt = 0;
    THERM(T, D, x, l.P, l.e, l.h, l.s, l.cv, cp, w, hjt);
    DPDT(T, D, x, l.dpdt);
    DPDD(T, D, x, l.dpdd);
    return l;
}

double value(const Local& l, Prop p) { return p == Prop::kH ? l.h : p == Prop::kE ? l.e : l.s; }

// Partial derivatives of the property at constant density and at constant
// temperature.
void partials(const Local& l, double T, double D, Prop p, double& dT, double& dD) {
    switch (p) {
        case Prop::kH:
            dT = l.cv + l.dpdt / D;
            dD = (D * l.dpdd - T * l.dpdt) / (D * D);
            break;
        case Prop::kE:
            dT = l.cv;
            dD = (l.P - T * l.dpdt) / (D * D);
            break;
        case Prop::kS:
            dT = l.cv / T;
            dD = -l.dpdt / (D * D);
            break;
    }
}

}  // namespace

Point boundary(int kind, double T, Prop prop, const double x[20]) {
    Point pt;
    pt.T = T;
    if (!(T > 0.0) || !std::isfinite(T)) return pt;
    double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    {
        const FrozenPointsKept kept;  // the line down to its lowest temperature
        SATT(T, x, kind, P, Dl, Dv, xl, xv, ierr, herr);
    }
    const double D = (kind == 1 || kind == 3) ? Dl : Dv;
    if (ierr > 0 || !(D > 0.0) || !std::isfinite(D) || !(P > 0.0)) return pt;
    const Local l = local(T, D, x);
    pt.P = P;
    pt.D = D;
    pt.v = value(l, prop);
    pt.dv = std::numeric_limits<double>::quiet_NaN();  // secant steps
    if ((kind == 1 || kind == 2) && ISPURE(x) != 0 && Dl > Dv && Dv > 0.0 && l.dpdd > 0.0) {
        // dPsat/dT from the Clapeyron equation (a pure fluid's: the phases
        // of a mixture differ in composition), then the phase density's
        // slope along the boundary.
        double hl = 0, hv = 0;
        ENTHAL(T, Dl, x, hl);
        ENTHAL(T, Dv, x, hv);
        const double dps = (hv - hl) / (T * (1.0 / Dv - 1.0 / Dl));
        const double ddt = (dps - l.dpdt) / l.dpdd;
        double dT = 0, dD = 0;
        partials(l, T, D, prop, dT, dD);
        pt.dv = dT + dD * ddt;
    }
    pt.ok = std::isfinite(pt.v);
    return pt;
}

Point search(int kind, Prop prop, double target, const double x[20], double T0, double f0,
             double Tb, double Tstart, double Tlo, double Thi, double tol, int passes) {
    // Bracket ends: lo_f < 0 at Tneg, > 0 at Tpos (0: not known).
    double tneg = 0.0, tpos = 0.0;
    (f0 < 0.0 ? tneg : tpos) = T0;
    if (Tb > 0.0) (f0 < 0.0 ? tpos : tneg) = Tb;
    double tprev = T0, fprev = f0;
    double T = Tstart;
    double checked_width = std::numeric_limits<double>::infinity();
    int since_check = 0;
    Point fail;
    for (int pass = 0; pass < passes; ++pass) {
        const bool bracketed = tneg > 0.0 && tpos > 0.0;
        if (!(T > Tlo)) T = bracketed ? 0.5 * (tneg + tpos) : Tlo * (1.0 + 1e-12);
        if (!(T < Thi)) T = bracketed ? 0.5 * (tneg + tpos) : Thi * (1.0 - 1e-9);
        const Point pt = boundary(kind, T, prop, x);
        if (!pt.ok) {
            // No boundary state here: back towards the last good point.
            T = bracketed ? 0.5 * (tneg + tpos) : 0.5 * (T + tprev);
            continue;
        }
        const double f = pt.v - target;
        if (std::fabs(f) < tol) return pt;
        (f < 0.0 ? tneg : tpos) = T;
        double next = std::numeric_limits<double>::quiet_NaN();
        if (std::isfinite(pt.dv) && pt.dv != 0.0)
            next = T - f / pt.dv;
        else if (std::fabs(f - fprev) > 1e-20)
            next = T - (T - tprev) * f / (f - fprev);
        if (tneg > 0.0 && tpos > 0.0) {
            const double a = std::fmin(tneg, tpos), b = std::fmax(tneg, tpos);
            if (!(next > a && next < b)) next = 0.5 * (a + b);
            if (b - a < 1e-12 * b) return pt;  // the bracket has closed on the root
            // Steps that do not halve the bracket every second pass (the
            // property's last digits near a critical point): bisection.
            if (++since_check >= 2) {
                if (b - a > 0.5 * checked_width) next = 0.5 * (a + b);
                checked_width = b - a;
                since_check = 0;
            }
        } else if (!std::isfinite(next)) {
            next = T + 0.01 * (Thi - Tlo) * (f > 0.0 ? -1.0 : 1.0);
        }
        tprev = T;
        fprev = f;
        T = next;
    }
    // Out of passes: the last point when the bracket has closed to 1e-9 of
    // the temperature (a root where the property barely changes).
    if (tneg > 0.0 && tpos > 0.0 && std::fabs(tneg - tpos) < 1e-9 * tpos)
        return boundary(kind, T, prop, x);
    fail.T = 0.0;
    return fail;
}

Point highest(int kind, Prop prop, const double x[20], double Tc) {
    for (double gap : {1e-6, 1e-5, 1e-4, 1e-3, 3e-3, 1e-2, 3e-2, 0.1, 0.2}) {
        const Point pt = boundary(kind, Tc * (1.0 - gap), prop, x);
        if (pt.ok) return pt;
    }
    return Point{};
}

Point lowest(int kind, Prop prop, const double x[20], double tmin, double Tc) {
    for (double T = tmin; T < Tc; T += 5.0) {
        const Point pt = boundary(kind, T, prop, x);
        if (pt.ok) return pt;
    }
    return Point{};
}

namespace {

// The zero of the slope between a and b, by bisection with secant steps.
Point slope_zero(int kind, Prop prop, const double x[20], const Point& a, const Point& b,
                 bool maximum) {
    double ta = a.T, tb = b.T, fa = a.dv, fb = b.dv;
    Point best = (a.v > b.v) == maximum ? a : b;
    for (int k = 0; k < 100 && tb - ta > 1e-11 * tb; ++k) {
        double t = ta - fa * (tb - ta) / (fb - fa);
        if (!(t > ta && t < tb) || k % 3 == 2) t = 0.5 * (ta + tb);
        const Point pt = boundary(kind, t, prop, x);
        if (!pt.ok || !std::isfinite(pt.dv)) break;
        if ((pt.v > best.v) == maximum) best = pt;
        if ((pt.dv > 0.0) == (fa > 0.0)) {
            ta = t;
            fa = pt.dv;
        } else {
            tb = t;
            fb = pt.dv;
        }
        if (std::fabs(pt.dv) * (tb - ta) < 1e-13 * std::max(1.0, std::fabs(pt.v))) break;
    }
    return best;
}

// Golden-section search on the values between a and b.
Point golden(int kind, Prop prop, const double x[20], const Point& a, const Point& b,
             bool maximum) {
    constexpr double kRatio = 0.6180339887498949;
    const double sign = maximum ? 1.0 : -1.0;
    double ta = a.T, tb = b.T;
    Point best = sign * a.v > sign * b.v ? a : b;
    Point c = boundary(kind, tb - kRatio * (tb - ta), prop, x);
    Point d = boundary(kind, ta + kRatio * (tb - ta), prop, x);
    for (int k = 0; k < 80 && tb - ta > 1e-9 * tb; ++k) {
        if (!c.ok || !d.ok) break;
        if (sign * c.v > sign * d.v) {
            tb = d.T;
            d = c;
            c = boundary(kind, tb - kRatio * (tb - ta), prop, x);
        } else {
            ta = c.T;
            c = d;
            d = boundary(kind, ta + kRatio * (tb - ta), prop, x);
        }
    }
    for (const Point& p : {c, d})
        if (p.ok && sign * p.v > sign * best.v) best = p;
    return best;
}

}  // namespace

Point extremum(int kind, Prop prop, const double x[20], const Point& a, const Point& b,
               bool maximum) {
    if (std::isfinite(a.dv) && std::isfinite(b.dv) && (a.dv > 0.0) != (b.dv > 0.0))
        return slope_zero(kind, prop, x, a, b, maximum);
    return golden(kind, prop, x, a, b, maximum);
}

bool lower_states(const double x[20], double tmin, double Tc, double& Dl, double& Tv, double& Dv) {
    double P = 0, dv = 0, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    {
        const FrozenPointsKept kept;  // the line's end at the lowest temperature
        SATT(tmin, x, 1, P, Dl, dv, xl, xv, ierr, herr);
    }
    if (ierr > 0 || !(Dl > 0.0)) return false;
    const int ic = ISPURE(x);
    if (ic > 0 && !flash::pseudo_pure(ic)) {
        Tv = tmin;
        Dv = dv;
        return Dv > 0.0;
    }
    const Point v = lowest(2, Prop::kH, x, tmin, Tc);
    Tv = v.T;
    Dv = v.D;
    return v.ok;
}

bool boundary_end(const double x[20], double& Tc, double& Pc, double& Dc) {
    const int ic = ISPURE(x);
    double t = 0, p = 0, d = 0;
    if (ic == 0 || !satcheb::own_critical_point(ic, t, p, d) || !(t > 0.0 && d > 0.0)) return true;
    if (t > Tc) return false;
    Tc = t;
    Pc = p;
    Dc = d;
    return true;
}

Point line_end(int kind, Prop prop, const double x[20], bool meet, double Tc, double Dc) {
    if (!meet) return highest(kind, prop, x, Tc);
    Point c;
    c.ok = true;
    c.T = Tc;
    c.D = Dc;
    double v = 0;
    if (prop == Prop::kH)
        ENTHAL(Tc, Dc, x, v);
    else if (prop == Prop::kE)
        ENERGY(Tc, Dc, x, v);
    else
        ENTRO(Tc, Dc, x, v);
    c.v = v;
    return c;
}

void own_words(const double x[20]) {
    static std::array<double, kMaxComp> owner{};
    static int owner_ic = -1;
    bool same = owner_ic == NCOMP.ic;
    for (int i = 0; i < kMaxComp; ++i) same = same && owner[static_cast<std::size_t>(i)] == x[i];
    if (same) return;
    // Words 1 and 2 are SATD's, of the fluid alone.
    for (std::size_t w = 2; w < FXPNT.x.size(); ++w) FXPNT.x[w] = 0.0;
    for (int i = 0; i < kMaxComp; ++i) owner[static_cast<std::size_t>(i)] = x[i];
    owner_ic = NCOMP.ic;
}

}  // namespace lib::satroot
