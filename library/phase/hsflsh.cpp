// Flashes at given enthalpy and entropy (HSFLSH), internal energy and
// entropy (ESFLSH), and the single-phase solver they use (HSFL1).
//
// The saturation states of the given enthalpy (SATH) decide the phase: an
// entropy between theirs is a two-phase state of a pure fluid, found by
// Newton's method on the saturation temperature (the enthalpy of the
// two-phase state at fixed entropy changes with temperature as v dPsat/dT);
// outside, the single-phase state is found by Newton's method on (T, D)
// for both properties at once, with the general single-phase solver as the
// fallback.
#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/phase/abfl1.h"
#include "library/phase/critsingle.h"
#include "library/phase/eqdome.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/hsmix.h"
#include "library/phase/satcheb.h"
#include "library/phase/sath.h"
#include "library/phase/satmemo.h"
#include "library/setup/records.h"

namespace lib {

namespace {

// The first property by mode: enthalpy, or internal energy in energy mode.
struct Local {
    double P = 0, e = 0, h = 0, s = 0, cv = 0, dpdt = 0, dpdd = 0;
};

Local local(double T, double D, const double z[20]) {
    Local l;
    double cp = 0, w = 0, hjt = 0;
    THERM(T, D, z, l.P, l.e, l.h, l.s, l.cv, cp, w, hjt);
    DPDT(T, D, z, l.dpdt);
    DPDD(T, D, z, l.dpdd);
    return l;
}

// The saturation state of a pure fluid at T: SATT's up to the stated critical
// temperature, the equation's own beyond it up to its own critical point
// where that lies higher (r13: 301.88 and 303.05 K).
bool saturation_at(double T, const double z[20], double& P, double& Dl, double& Dv) {
    double xl[20], xv[20];
    int jerr = 0;
    std::string jmsg;
    SATT(T, z, 1, P, Dl, Dv, xl, xv, jerr, jmsg);
    if (jerr <= 0) return true;
    eqdome::Split sp;
    if (!eqdome::at_t(z, T, 'D', 0.0, sp)) return false;
    P = sp.P;
    Dl = sp.Dl;
    Dv = sp.Dv;
    return true;
}

// The top of a pure fluid's two-phase region: the stated critical
// temperature, or the equation's own where that lies higher.
double dome_top(const double z[20], double Tc) {
    double tce = 0, pce = 0, dce = 0;
    const int ic = ISPURE(z);
    if (ic > 0 && satcheb::own_critical_point(ic, tce, pce, dce) && tce > Tc) return tce;
    return Tc;
}

// True when (T, D) of a pure fluid lies outside the two-phase region.
bool outside_dome(double T, double D, const double z[20], double Tc) {
    if (ISPURE(z) == 0) return true;
    if (T >= Tc) {
        // Up to the equation's own critical point, where it lies higher, its
        // dome goes on (r13's two phases at 301.75 K, 3859.6 kPa, q = 0.12,
        // came back as a single phase at 301.88 K with dP/dD < 0 nearby).
        eqdome::Split sp;
        if (!eqdome::at_t(z, T, 'D', D, sp)) return true;
        return !(D < sp.Dl * (1.0 - 1e-9) && D > sp.Dv * (1.0 + 1e-9));
    }
    double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
    int jerr = 0;
    std::string jmsg;
    // (A state at the triple point to the last digits is taken there: r22's
    // liquid from the single-phase iteration at 115.7299999999 K, where the
    // saturation routine has no state.)
    SATT(std::max(T, CCON.ttp[ISPURE(z)]), z, 1, P, Dl, Dv, xl, xv, jerr, jmsg);
    if (jerr <= 0) return !(D < Dl * (1.0 - 1e-9) && D > Dv * (1.0 + 1e-9));
    // Between the equation's own critical temperature and the stated one
    // no saturation state exists, and no dome (r1216: 366.56 K and 368 K;
    // its gas at 367.79 K, 0.01 kPa failed with 248).
    double Dce = 0, Pce = 0, Tce = 0;
    FNCRPT(z, Dce, Pce, Tce, jerr, jmsg);
    return jerr <= 0 && Tce > 0.0 && T >= Tce;
}

// The temperature and pressure beyond which a state lies outside the range
// of the equation (the range check's own factors).
constexpr double kBeyondTmax = 1.5;
constexpr double kBeyondPmax = 2.0;
// The error of a state from which a component would freeze out (the (T, p)
// flash's).
constexpr int kFrozenOut = 250;

// Newton's method on (T, ln D) for b (h or e) and s; true when it converged
// to a mechanically stable state that is not inside the two-phase region.
bool newton_single(double b, double s, const double z[20], bool energy, double& T, double& D,
                   int passes = 30) {
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    CRITP(z, Tc, Pc, Dc, jerr, jmsg);
    if (!(T > 0.0 && D > 0.0)) return false;
    bool done = false;
    for (int it = 0; it < passes && !done; ++it) {
        const Local l = local(T, D, z);
        const double r1 = (energy ? l.e : l.h) - b, r2 = l.s - s;
        // Partial derivatives in T (constant D) and in D (constant T).
        const double bT = energy ? l.cv : l.cv + l.dpdt / D;
        const double bD =
            energy ? (l.P - T * l.dpdt) / (D * D) : (D * l.dpdd - T * l.dpdt) / (D * D);
        const double sT = l.cv / T, sD = -l.dpdt / (D * D);
        const double det = bT * sD - bD * sT;
        if (!(std::fabs(det) > 0.0) || !std::isfinite(det)) return false;
        double dT = -(r1 * sD - bD * r2) / det;
        double dD = -(bT * r2 - sT * r1) / det;
        // Keep the step within a quarter of T and a factor two in D.
        const double k = std::min({1.0, 0.25 * T / std::max(std::fabs(dT), 1e-300),
                                   0.5 * D / std::max(std::fabs(dD), 1e-300)});
        dT *= k;
        dD *= k;
        T += dT;
        D += dD;
        if (!(T > 0.0 && D > 0.0) || !std::isfinite(T) || !std::isfinite(D)) return false;
        done = k == 1.0 && std::fabs(dT) <= 1e-11 * T && std::fabs(dD) <= 1e-11 * D;
    }
    if (!done) return false;
    const Local l = local(T, D, z);
    if (!(l.dpdd > 0.0)) return false;
    // Never below the equation's lower limit (the triple point), and below
    // the critical temperature never inside the two-phase region.
    const int ic = ISPURE(z);
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    if (ic > 0) tmin = std::max(tmin, CCON.ttp[ic]);
    if (T < tmin * (1.0 - 1e-12)) return false;
    // Nor far beyond its upper limits, where an extrapolated equation may
    // have a second state of the same b and s (fluorine's liquid at 71.89 K,
    // 33 kPa and a state at 127.86 K, 512 MPa, both e = -748.31 J/mol,
    // s = -9.5256 J/(mol K)): the other roads look for one inside them.
    if (T > kBeyondTmax * tmax || l.P > kBeyondPmax * pmax) return false;
    return outside_dome(T, D, z, Tc);
}

struct Out {
    double &T, &P, &D, &Dl, &Dv, &q, &e, &cv, &cp, &w;
};

// The value f = b(two-phase state of entropy s at T) - b, its slope along
// the boundary at constant s, and the quality, at the saturation
// temperature T; ok false when the saturation state is not found.
struct Lever {
    bool ok = false;
    double f = 0, slope = 0, q = 0, dsv = 0, P = 0, Dl = 0, Dv = 0, eo = 0;
};

Lever lever(double b, double s, const double z[20], bool energy, double T) {
    Lever r;
    if (!saturation_at(T, z, r.P, r.Dl, r.Dv) || !(r.Dl > r.Dv && r.Dv > 0.0)) return r;
    const Local L = local(T, r.Dl, z), V = local(T, r.Dv, z);
    r.q = (s - L.s) / (V.s - L.s);
    const double bl = energy ? L.e : L.h, bv = energy ? V.e : V.h;
    r.f = bl + r.q * (bv - bl) - b;
    // Each phase's property and entropy change along the boundary at
    // constant D and with its density's slope there (Clapeyron).
    const double dps = (V.h - L.h) / (T * (1.0 / r.Dv - 1.0 / r.Dl));
    auto along = [&](const Local& l, double D, double& db, double& ds) {
        const double dd = (dps - l.dpdt) / l.dpdd;
        const double bT = energy ? l.cv : l.cv + l.dpdt / D;
        const double bD =
            energy ? (l.P - T * l.dpdt) / (D * D) : (D * l.dpdd - T * l.dpdt) / (D * D);
        db = bT + bD * dd;
        ds = l.cv / T - l.dpdt / (D * D) * dd;
    };
    double dbl = 0, dsl = 0, dbv = 0;
    along(L, r.Dl, dbl, dsl);
    along(V, r.Dv, dbv, r.dsv);
    const double dq = -((1.0 - r.q) * dsl + r.q * r.dsv) / (V.s - L.s);
    r.slope = (1.0 - r.q) * dbl + r.q * dbv + dq * (bv - bl);
    r.eo = energy ? L.h + r.q * (V.h - L.h) : L.e + r.q * (V.e - L.e);
    r.ok = std::isfinite(r.f) && std::isfinite(r.slope);
    return r;
}

// The two-phase state of a pure fluid with b (h or e) and s between the
// saturation temperatures lo and hi: Newton's method inside a bracket that
// keeps to the temperatures where the quality of entropy s lies in [0, 1]
// (a quality below 0 lies above the liquid's temperature of that entropy, one
// above 1 on the side the vapour entropy falls towards); outside it the lever
// rule has roots that are no states.  False when there is none.
// The lever rule's residual, as a share of the larger of |b| and R T, at
// which the state is found: the phases' values are of the size of R T and
// more, and where b lies near zero its rounding is theirs (oxygen's two
// phases at 139.3 K and q 0.3, h = -6.1 J/mol, where the residual went on
// changing sign at 1e-10 J/mol, failed with 248).
constexpr double kLeverTolerance = 1e-12;

bool two_phase(double b, double s, const double z[20], bool energy, double T, double lo, double hi,
               Out& o) {
    for (int it = 0; it < 60 && hi - lo > 1e-13 * hi; ++it) {
        if (!(T > lo && T < hi)) T = 0.5 * (lo + hi);
        const Lever r = lever(b, s, z, energy, T);
        if (!r.ok) return false;
        const bool inside = r.q >= -1e-9 && r.q <= 1.0 + 1e-9;
        if (inside &&
            std::fabs(r.f) <= kLeverTolerance * std::max({1.0, std::fabs(b), GCNST.r * T})) {
            o.T = T;
            o.P = r.P;
            o.Dl = r.Dl;
            o.Dv = r.Dv;
            o.q = std::clamp(r.q, 0.0, 1.0);
            o.D = 1.0 / (o.q / r.Dv + (1.0 - o.q) / r.Dl);
            o.e = r.eo;
            flash::two_phase_markers(o.cv, o.cp, o.w);
            return true;
        }
        if (r.q < 0.0)
            hi = T;
        else if (r.q > 1.0)
            (r.dsv < 0.0 ? hi : lo) = T;
        else
            (r.f > 0.0 ? hi : lo) = T;
        const double next = T - r.f / r.slope;
        T = inside && std::isfinite(next) && next > lo && next < hi ? next : 0.5 * (lo + hi);
    }
    return false;
}

// A single-phase result on the saturation boundary itself is the saturated
// liquid (q = 0) or vapour (q = 1), with the other phase's density.
void on_boundary(const double z[20], double Tc, Out& o) {
    if (!(o.T < Tc) || ISPURE(z) == 0) return;
    double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
    int jerr = 0;
    std::string jmsg;
    SATT(o.T, z, 1, P, Dl, Dv, xl, xv, jerr, jmsg);
    if (jerr > 0) return;
    if (std::fabs(o.D - Dl) <= 1e-8 * Dl) {
        o.q = 0.0;
        o.Dv = Dv;
    } else if (std::fabs(o.D - Dv) <= 1e-8 * Dv) {
        o.q = 1.0;
        o.Dl = Dl;
    }
}

// The properties, phase marker and range check of a single-phase result.
void finish_single(const std::string& head, const double z[20], double Tc, double Pc, double Dc,
                   Out& o, int& ierr, std::string& herr) {
    const bool energy = FLAGS2.energy_switch == 1;
    double hh = 0, ss = 0, ee = 0, hjt = 0;
    THERM(o.T, o.D, z, o.P, ee, hh, ss, o.cv, o.cp, o.w, hjt);
    o.e = energy ? hh : ee;
    o.Dl = o.Dv = o.D;
    const int icomp = ISPURE(z);
    double ps = 0, dl = 0, dv = 0;
    if (icomp > 0 && !flash::pseudo_pure(icomp) && o.T < Tc && o.D > Dc &&
        satcheb::at_t(icomp, flash::at_triple_point(icomp, o.T), ps, dl, dv))
        o.P = flash::liquid_pressure(o.P, o.D, ps, dl);
    if (o.P > Pc)
        o.q = o.T > Tc ? 999.0 : -998.0;
    else if (o.T <= Tc && o.D > Dc)
        o.q = -998.0;
    else if (!(o.T <= Tc && o.D == Dc))
        o.q = 998.0;
    on_boundary(z, Tc, o);
    double lt = 0, lx = 0, ld = 0, lp = 0;
    int lerr = 0;
    std::string lmsg;
    flash::found_state_limits(o.T, o.D, o.P, z, lt, lx, ld, lp, lerr, lmsg);
    if (lerr != 0) fail(lerr, head, flash::range_cut(lerr, lmsg, 3), ierr, herr, 3);
}

// The quick road of a pure fluid (energy switch 0): Newton's method on the
// saturation temperature between the lower limit and 0.9 Tc for the
// two-phase state of this (h, s), which is the answer when its quality lies
// in [0, 1]; otherwise the saturation state it ended on starts the
// single-phase Newton iteration.  False when neither settles (the SATH road
// then decides), so states near the critical point never pay for saturation
// states there unless they need them.
bool quick(double h, double s, const double z[20], bool energy, double tmin, double Tc, Out& o) {
    const double lo0 = tmin, hi0 = 0.9 * Tc;
    double T = 0.5 * (lo0 + hi0);
    // A sign change of f brackets the root: (tn, fn < 0) and (tp, fp > 0).
    double tn = 0.0, tp = 0.0;
    // The last saturation state evaluated: its quality tells the side of a
    // single-phase state, and it starts the iteration there.
    double qs = 0.5, dl = 0.0, dv = 0.0, ts = 0.0;
    bool converged = false;  // the last step was below 1e-11 T
    // The first steps take the saturated densities of the ancillary
    // equations (a fraction of a saturation calculation's cost); once the
    // step is small the saturation states themselves.
    const int ic = ISPURE(z);
    bool exact = false, near = false;
    for (int it = 0; it < 24; ++it) {
        double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
        int jerr = 0;
        std::string jmsg;
        if (!exact) {
            DLSATK(ic, T, Dl, jerr, jmsg);
            if (jerr <= 0) DVSATK(ic, T, Dv, jerr, jmsg);
            if (jerr > 0 || !(Dl > Dv && Dv > 0.0)) exact = true;
        }
        if (exact) {
            SATT(T, z, 1, P, Dl, Dv, xl, xv, jerr, jmsg);
            if (jerr > 0 || !(Dl > Dv && Dv > 0.0)) break;
        }
        const Local L = local(T, Dl, z), V = local(T, Dv, z);
        const double q = (s - L.s) / (V.s - L.s);
        const double bl = energy ? L.e : L.h, bv = energy ? V.e : V.h;
        const double f = bl + q * (bv - bl) - h;
        qs = q;
        dl = Dl;
        dv = Dv;
        ts = T;
        if (!exact && (near || std::fabs(f) <= 1e-9 * std::max(1.0, std::fabs(h)) || it >= 10)) {
            // Close to the root of the approximate line: on to the exact one.
            exact = true;
            converged = false;
            tn = tp = 0.0;
            if (q < -0.05 || q > 1.05) break;  // clearly single phase
            continue;
        }
        if (std::fabs(f) <= 1e-13 * std::max(1.0, std::fabs(h)) || converged) {
            if (q < -1e-9 || q > 1.0 + 1e-9) break;
            o.T = T;
            o.P = P;
            o.Dl = Dl;
            o.Dv = Dv;
            o.q = std::clamp(q, 0.0, 1.0);
            o.D = 1.0 / (o.q / Dv + (1.0 - o.q) / Dl);
            o.e = energy ? L.h + o.q * (V.h - L.h) : L.e + o.q * (V.e - L.e);
            flash::two_phase_markers(o.cv, o.cp, o.w);
            return true;
        }
        (f < 0.0 ? tn : tp) = T;
        // d f/dT at constant s along the boundary: each phase's property
        // and entropy change with T at constant D and with its density's
        // slope along the boundary (Clapeyron).
        const double dps = (V.h - L.h) / (T * (1.0 / Dv - 1.0 / Dl));
        auto along = [&](const Local& l, double D, double& db, double& ds) {
            const double dd = (dps - l.dpdt) / l.dpdd;
            const double bT = energy ? l.cv : l.cv + l.dpdt / D;
            const double bD =
                energy ? (l.P - T * l.dpdt) / (D * D) : (D * l.dpdd - T * l.dpdt) / (D * D);
            db = bT + bD * dd;
            ds = l.cv / T - l.dpdt / (D * D) * dd;
        };
        double dbl = 0, dsl = 0, dbv = 0, dsv = 0;
        along(L, Dl, dbl, dsl);
        along(V, Dv, dbv, dsv);
        const double dq = -((1.0 - q) * dsl + q * dsv) / (V.s - L.s);
        const double slope = (1.0 - q) * dbl + q * dbv + dq * (bv - bl);
        double next = std::isfinite(slope) && slope != 0.0 ? T - f / slope : 0.5 * (lo0 + hi0);
        if (tn > 0.0 && tp > 0.0) {
            const double a = std::min(tn, tp), b = std::max(tn, tp);
            if (!(next > a && next < b)) next = 0.5 * (a + b);
        } else if (!(next > lo0 && next < hi0)) {
            // Beyond the range: once to its end, then give up.
            const double end = next <= lo0 ? lo0 : hi0;
            if (T == end) break;
            next = end;
        }
        converged = std::fabs(next - T) <= 1e-11 * T;
        near = std::fabs(next - T) <= 1e-6 * T;
        T = next;
    }
    if (ts > 0.0 && (qs < 0.0 || qs > 1.0)) {
        // Single phase: compressed liquid (q < 0) or vapour (q > 1) near
        // where the lever rule ended.
        double t = ts, d = qs < 0.0 ? 1.02 * dl : dv / 1.1;
        if (newton_single(h, s, z, energy, t, d)) {
            o.T = t;
            o.D = d;
            o.q = qs < 0.0 ? -998.0 : 998.0;
            return true;
        }
    }
    return false;
}

// The state along the isentrope, else along the line of constant h (e)
// from p0, whose flashes at given pressure cost tens of milliseconds each
// (two liquids at a few kPa).  The isentrope starts from the last iterate
// of the Newton attempts (`ends`) of lower residual that lies within the
// equation's range, mostly close to the state (R452B at 5.2 kPa, 177.52 K:
// the first attempt ended at 17.9 kPa, 193.5 K, the single-phase
// iteration at 64 MPa), else from (ts, p0).
bool along_lines(double h, double s, const double z[20], bool energy, double ts, double p0,
                 const mix::TpState* const ends[2], mix::TpState& st) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    double t = ts, p = p0, least = 0.0;
    bool taken = false;
    for (int k = 0; k < 2; ++k) {
        const mix::TpState& e = *ends[k];
        if (!(e.T > tmin && e.T < tmax && e.P > 0.0 && e.P < pmax)) continue;
        const double norm =
            std::hypot(((energy ? e.e : e.h) - h) / (GCNST.r * e.T), (e.s - s) / GCNST.r);
        if (!std::isfinite(norm) || (taken && !(norm < least))) continue;
        least = norm;
        taken = true;
        t = e.T;
        p = e.P;
    }
    return mix::hs_along_isentrope(h, s, z, energy, t, p, st) ||
           mix::hs_along_isenthalp(h, s, z, energy, p0, st);
}

// Whether the (T, p) flash refuses the mixture's state found at (T, P) of
// density D because a component would freeze out: then it is refused here
// too, with that reason (carbon dioxide + water 96/4 at the h and s of its
// bubble point at 220 K: two phases at 226.96 K, 7.57 MPa, q 0.957, whose
// water the (T, p) flash finds freezing out; Natural Gas Groningen's split
// at 129.6 K, 3.3 kPa, continued along the isentrope past where its carbon
// dioxide freezes).
bool refused_frozen(const std::string& head, double T, double P, double D, const double z[20],
                    Out& o, int& ierr, std::string& herr) {
    std::string reason;
    if (!mix::tp_flash_refuses_frozen(T, P, z, reason)) return false;
    o.T = T;
    o.P = P;
    o.D = o.Dl = o.Dv = D;
    o.q = kQualityFailed;
    fail(kFrozenOut, head, reason, ierr, herr);
    return true;
}

// Whether state st is the stable state at its (T, P), the (T, p) flash's
// own; where it is not, st becomes the state of b and s found with the
// flash's own state at every step. A split continued from the iterates
// before can be a metastable one: r14 + toluene 1:1 at h = -2533.97 J/mol,
// s = -15.5927 J/(mol K) ended on a liquid and a vapour at 167.75 K,
// 674 kPa, where two liquids of quite another h and s are stable (the
// state sought lies at 202.87 K, 2531 kPa).
bool stable_split(double b, double s, const double z[20], bool energy, mix::TpState& st) {
    const char letter = energy ? 'E' : 'H';
    const auto stable = [&](const mix::TpState& t) {
        return !t.continued || mix::tp_value_is(t.T, t.P, z, letter, b);
    };
    if (stable(st)) return true;
    mix::TpState fresh;
    if (!mix::hs_state(b, s, z, energy, st.T, st.P, fresh, nullptr, false) || !stable(fresh))
        return false;
    st = fresh;
    return true;
}

// A mixture: the single-phase iteration where it ends on a stable state,
// else Newton's method among the stable states (two phases among them)
// from where it ended; where that fails next to an azeotrope, the state of
// its band (R134a + R1234yf 44/56 within 1 kPa of 703.28 kPa, where every
// two-phase state failed with 200 after 35 to 70 ms).
void mixture(double h, double s, const double z[20], const std::string& head, double Tc, double Pc,
             double Dc, double x[20], double y[20], Out& o, int& ierr, std::string& herr) {
    const bool energy = FLAGS2.energy_switch == 1;
    double t = 1.1 * Tc, d = Dc;
    if (newton_single(h, s, z, energy, t, d) && mix::single_phase_kept(t, d, z)) {
        double p = 0.0;
        PRESS(t, d, z, p);
        if (refused_frozen(head, t, p, d, z, o, ierr, herr)) return;
        o.T = t;
        o.D = d;
        return finish_single(head, z, Tc, Pc, Dc, o, ierr, herr);
    }
    double p0 = 0.0, tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    if (t > 0.0 && d > 0.0 && std::isfinite(t + d)) PRESS(t, d, z, p0);
    // Where that iteration ended far away, from twice the critical
    // temperature at a tenth of the critical pressure (and then not twice:
    // the same start takes the same road).
    const bool far = !(p0 > 1e-3 && p0 < pmax && t > tmin && t < tmax);
    if (far) {
        t = 2.0 * Tc;
        p0 = 0.1 * Pc;
    }
    // Along the lines of constant s and b (from the iteration's temperature
    // where it lies within the equation's range).
    const double ts = t > tmin && t < tmax ? t : Tc;
    mix::TpState st, end1, end2;
    const mix::TpState* const ends[2] = {&end1, &end2};
    const auto refuse = [&] {
        o.T = Tc;
        o.D = o.Dl = o.Dv = Dc;
        double hh = 0, ss = 0, ee = 0, hjt = 0;
        THERM(Tc, Dc, z, o.P, ee, hh, ss, o.cv, o.cp, o.w, hjt);
        o.e = energy ? hh : ee;
        o.q = kQualityFailed;
        fail(200, head,
             std::string("no stable state of the mixture found with ") + (energy ? "e" : "h") +
                 " =" + fmt_g(h, 12, 5) + " J/mol, s =" + fmt_g(s, 12, 5) + " J/(mol-K)",
             ierr, herr);
    };
    if (!mix::hs_state(h, s, z, energy, t, p0, st, &end1) &&
        (far || !mix::hs_in_azeotrope_band(h, s, z, energy, p0, st)) &&
        (far || !mix::hs_state(h, s, z, energy, 2.0 * Tc, 0.1 * Pc, st, &end2)) &&
        !along_lines(h, s, z, energy, ts, p0, ends, st))
        return refuse();
    if (refused_frozen(head, st.T, st.P, st.D, z, o, ierr, herr)) return;
    if (!stable_split(h, s, z, energy, st)) return refuse();
    o.T = st.T;
    o.D = st.D;
    if (!st.two_phase) return finish_single(head, z, Tc, Pc, Dc, o, ierr, herr);
    o.P = st.P;
    o.Dl = st.Dl;
    o.Dv = st.Dv;
    o.q = st.q;
    o.e = energy ? st.h : st.e;
    flash::copy20(st.x, x);
    flash::copy20(st.y, y);
    flash::two_phase_markers(o.cv, o.cp, o.w);
}

// The ideal-gas state of b (h or e) and s: its temperature by Newton's
// method on the ideal-gas b, its density from the ideal-gas entropy
// (s0(T, D) - s = -R ln(D / D0) at constant T).  A start for the
// single-phase iteration of a dilute gas, which from a dense start needs
// more halvings of the density than it has passes (nitrogen at 1067 K,
// 1e-3 kPa, co2 at 1335 K, 1e-4 kPa, helium at 1400 K, 1 kPa: error 248).
bool ideal_gas_start(double b, double s, const double z[20], bool energy, double& T, double& D) {
    constexpr double kRefDensity = 1e-3;  // mol/L, any dilute density
    double t = T > 0.0 ? T : 300.0;
    double P = 0, e0 = 0, h0 = 0, s0 = 0, cv0 = 0, cp0 = 0, w0 = 0, A = 0, G = 0;
    for (int it = 0; it < 50; ++it) {
        THERM0(t, kRefDensity, z, P, e0, h0, s0, cv0, cp0, w0, A, G);
        const double slope = energy ? cv0 : cp0;
        if (!(slope > 0.0) || !std::isfinite(slope)) return false;
        const double step = std::clamp(((energy ? e0 : h0) - b) / slope, -0.5 * t, 0.5 * t);
        t -= step;
        if (!(t > 0.0) || !std::isfinite(t)) return false;
        if (std::fabs(step) <= 1e-12 * t) break;
    }
    THERM0(t, kRefDensity, z, P, e0, h0, s0, cv0, cp0, w0, A, G);
    double R = 0;
    RMIX2(z, R);
    const double d = kRefDensity * std::exp((s0 - s) / R);
    if (!(d > 0.0) || !std::isfinite(d)) return false;
    T = t;
    D = d;
    return true;
}

}  // namespace

void HSFL1(double h, double s, const double z[20], double Dmin, double Dmax, double& T, double& D,
           int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    const bool energy = FLAGS2.energy_switch == 1;
    double t = T, d = D;
    if (!(t > 0.0)) {
        double Tc = 0, Pc = 0, Dc = 0;
        int jerr = 0;
        std::string jmsg;
        CRITP(z, Tc, Pc, Dc, jerr, jmsg);
        t = Tc;
        d = Dc;
    }
    if (!(d > 0.0)) d = Dmin > 0.0 ? Dmin : 1.0;
    if (newton_single(h, s, z, energy, t, d)) {
        T = t;
        D = d;
        return;
    }
    // A dilute gas from its ideal-gas state.
    t = T;
    if (ideal_gas_start(h, s, z, energy, t, d) && newton_single(h, s, z, energy, t, d)) {
        T = t;
        D = d;
        return;
    }
    double P = 0;
    ABFL1(s, h, z, 0, energy ? "SE" : "SH", Dmin, Dmax, T, P, D, ierr, herr);
}

void HSFLSH(double h, double s, const double z[20], double& T, double& P, double& D, double& Dl,
            double& Dv, double x[20], double y[20], double& q, double& e, double& cv, double& cp,
            double& w, int& ierr, std::string& herr) {
    const mix::FlashMemo memo;  // saturation points asked for again
    const bool energy = FLAGS2.energy_switch == 1;
    const std::string head = energy ? "ESFLSH" : "HSFLSH";
    T = P = D = Dl = Dv = e = cv = cp = w = 0.0;
    q = 999.0;
    ierr = 0;
    herr.clear();
    const int icomp = ISPURE(z);
    flash::start_compositions(icomp, z, x, y);
    RMIX(z);
    if (flash::not_a_number(head, {h, s}, ierr, herr)) return;
    double Tc = 0, Pc = 0, Dc = 0;
    if (!flash::critical_point(z, Tc, Pc, Dc, head, 210, 235, ierr, herr)) return;
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);

    Out o{T, P, D, Dl, Dv, q, e, cv, cp, w};
    if (icomp == 0) return mixture(h, s, z, head, Tc, Pc, Dc, x, y, o, ierr, herr);
    if (icomp > 0) {
        // The two-phase road below 0.9 Tc first (it also starts the
        // single-phase iteration of a liquid or vapour close to the
        // saturation line), then the single-phase iteration from the
        // critical point (supercritical states and high enthalpies).
        // Above the largest saturated-vapour enthalpy (energy) no state is
        // two-phase: the single-phase iteration first.
        double vmax = 0, tvmax = 0;
        int merr = 0;
        std::string mmsg;
        EHMAXX(z, energy ? 1 : 0, vmax, tvmax, merr, mmsg);
        const bool above = merr == 0 && h > vmax;
        double t = 1.1 * Tc, d = Dc;
        if (above && newton_single(h, s, z, energy, t, d)) {
            T = t;
            D = d;
            return finish_single(head, z, Tc, Pc, Dc, o, ierr, herr);
        }
        if (quick(h, s, z, energy, std::max(tmin, CCON.ttp[icomp]), Tc, o)) {
            if (q >= 0.0 && q <= 1.0) return;
            return finish_single(head, z, Tc, Pc, Dc, o, ierr, herr);
        }
        t = 1.1 * Tc;
        d = Dc;
        if (!above && newton_single(h, s, z, energy, t, d)) {
            T = t;
            D = d;
            return finish_single(head, z, Tc, Pc, Dc, o, ierr, herr);
        }
        // The lever rule's root was none of the states: the bracketed
        // search below 0.9 Tc.
        const double lo = std::max(tmin, CCON.ttp[icomp]);
        if (two_phase(h, s, z, energy, 0.5 * (lo + 0.9 * Tc), lo, 0.9 * Tc, o)) return;
    }

    // The saturation states of this enthalpy; a root that failed is no start.
    int nroot = 0, k1 = 0, k2 = 0, serr = 0;
    double T1 = 0, P1 = 0, D1 = 0, T2 = 0, P2 = 0, D2 = 0;
    std::string smsg;
    SATH(h, z, 0, nroot, k1, T1, P1, D1, k2, T2, P2, D2, serr, smsg);
    if (nroot >= 2 && !(T2 > 0.0)) nroot = 1;
    if (nroot >= 1 && !(T1 > 0.0)) {
        T1 = T2;
        D1 = D2;
        nroot = T1 > 0.0 ? nroot - 1 : 0;
    }
    if (serr > 100 && icomp > 0 &&
        two_phase(h, s, z, energy, 0.95 * Tc, std::max(tmin, CCON.ttp[icomp]), Tc * (1.0 - 1e-9),
                  o))
        return;
    double s1 = 0, s2 = 0;
    if (nroot >= 1) ENTRO(T1, D1, z, s1);
    if (nroot >= 2) ENTRO(T2, D2, z, s2);

    double Dmin = 0.0001, t0 = 1.1 * Tc, d0 = Dc;
    bool two = false;
    if (nroot > 0 && s < s1) {
        Dmin = D1;
        t0 = 1.01 * T1;
        d0 = 1.01 * D1;
        q = -998.0;
    } else if (nroot > 0 && (nroot == 1 || s <= s2)) {
        two = true;
    } else if (nroot == 2) {
        t0 = T2;
        d0 = D2 / 1.1;
        q = 998.0;
    }
    if (two) {
        if (icomp == 0) {
            T = Tc;
            D = Dl = Dv = Dc;
            double hh = 0, ss = 0, ee = 0, hjt = 0;
            THERM(Tc, Dc, z, P, ee, hh, ss, cv, cp, w, hjt);
            e = energy ? hh : ee;
            fail(200, head,
                 "h-s inputs are two-phase or out of bounds, iterative routine is not available "
                 "to find a solution.",
                 ierr, herr);
            return;
        }
        if (two_phase(h, s, z, energy, nroot == 2 && s > 0.5 * (s1 + s2) ? T2 : T1, tmin,
                      Tc * (1.0 - 1e-9), o))
            return;
        // Not two-phase after all (beyond the dome at this enthalpy): the
        // single-phase solver from the saturation state.
        t0 = T1;
        d0 = D1;
        q = 998.0;
    }

    double t = t0, d = d0;
    HSFL1(h, s, z, Dmin, dmax, t, d, ierr, herr);
    if (ierr > 0 && nroot != 0 && s < s1) {
        t = T1;
        d = D1;
        q = -998.0;
        HSFL1(h, s, z, D1, dmax, t, d, ierr, herr);
    }
    T = t;
    D = d;
    if (ierr <= 0 && icomp > 0 && !outside_dome(T, D, z, Tc))
        fail(248, head, "single-phase iteration ended inside the two-phase region", ierr, herr);
    // Close to the critical point the saturation states of the enthalpy
    // may miss a root (ammonia's two-phase state at 403.37 K, q = 0.5: none;
    // heptane's at 537.43 K: only the far vapour root, taken for the
    // liquid's side): the bracketed two-phase search up to the critical
    // temperature before the failure stands.
    if (ierr > 0 && icomp > 0 &&
        two_phase(h, s, z, energy, 0.95 * Tc, std::max(tmin, CCON.ttp[icomp]),
                  dome_top(z, Tc) * (1.0 - 1e-9), o)) {
        ierr = 0;
        herr.clear();
        return;
    }
    if (ierr > 0) {
        double hh = 0, ss = 0, ee = 0, hjt = 0;
        THERM(T, D, z, P, ee, hh, ss, cv, cp, w, hjt);
        e = energy ? hh : ee;
        Dl = Dv = D;
        return;
    }
    finish_single(head, z, Tc, Pc, Dc, o, ierr, herr);
}

void ESFLSH(double e, double s, const double z[20], double& T, double& P, double& D, double& Dl,
            double& Dv, double x[20], double y[20], double& q, double& h, double& cv, double& cp,
            double& w, int& ierr, std::string& herr) {
    FLAGS2.energy_switch = 1;
    HSFLSH(e, s, z, T, P, D, Dl, Dv, x, y, q, h, cv, cp, w, ierr, herr);
    FLAGS2.energy_switch = 0;
}

}  // namespace lib
