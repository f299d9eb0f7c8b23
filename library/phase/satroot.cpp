// Saturation-boundary property with its derivative, and the bracketed
// Newton-secant search on temperature (see satroot.h).
#include "library/phase/satroot.h"

#include <cmath>
#include <limits>
#include <string>

#include "library/library.h"

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
    SATT(T, x, kind, P, Dl, Dv, xl, xv, ierr, herr);
    const double D = (kind == 1 || kind == 3) ? Dl : Dv;
    if (ierr > 0 || !(D > 0.0) || !std::isfinite(D) || !(P > 0.0)) return pt;
    const Local l = local(T, D, x);
    pt.P = P;
    pt.D = D;
    pt.v = value(l, prop);
    pt.dv = std::numeric_limits<double>::quiet_NaN();  // secant steps
    if ((kind == 1 || kind == 2) && Dl > Dv && Dv > 0.0 && l.dpdd > 0.0) {
        // dPsat/dT from the Clapeyron equation, then the phase density's
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
        } else if (!std::isfinite(next)) {
            next = T + 0.01 * (Thi - Tlo) * (f > 0.0 ? -1.0 : 1.0);
        }
        tprev = T;
        fprev = f;
        T = next;
    }
    fail.T = 0.0;
    return fail;
}

}  // namespace lib::satroot
