// Saturation states of given enthalpy (SATH) or internal energy (SATE), and
// the largest saturated-vapour enthalpy or energy (EHMAXX).
//
// Along the boundary the liquid enthalpy rises to its critical value hc;
// the vapour enthalpy rises from its value at the lower limit to a maximum
// and falls to hc.  A given h below hc has a liquid root and, above the
// vapour value at the lower limit, one vapour root below the maximum; above
// hc there is a vapour root above the maximum and, again, possibly one below
// it.  Each root is found by a bracketed Newton-secant search on temperature
// whose derivative is the exact slope of the property along the boundary.
#include "library/phase/sath.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/phase/flashutil.h"
#include "library/phase/records.h"
#include "library/phase/satroot.h"
#include "library/setup/records.h"

namespace lib {

namespace {

using satroot::Prop;

// FXPNT words (0-based) of the enthalpy and the energy mode, and the
// temperature of the vapour values at the lower limit.
struct Words {
    int tpeak, vmax, liq, vap;
};
constexpr Words kH{2, 3, 4, 5}, kE{6, 7, 8, 9};
constexpr int kTvap = 18;

double& word(int w) { return FXPNT.x[static_cast<std::size_t>(w)]; }

// The lower temperature limit of the boundary: the equation's, not below the
// triple point; 273.16 K for water.
double lower_limit(const double x[20], int ic) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", x, tmin, tmax, dmax, pmax);
    if (ic > 0) {
        if (trim_right(CCAS[ic]) == "7732-18-5") return 273.16;
        tmin = std::max(tmin, CCON.ttp[ic]);
    }
    return tmin;
}

// Property at (T, D) by mode.
double prop_at(Prop p, double T, double D, const double x[20]) {
    double v = 0;
    if (p == Prop::kH)
        ENTHAL(T, D, x, v);
    else if (p == Prop::kE)
        ENERGY(T, D, x, v);
    else
        ENTRO(T, D, x, v);
    return v;
}

// The liquid and vapour values at the lower limit (FXPNT words 5-6 and
// 9-10, the vapour's temperature in word 19); false when the saturation
// states there cannot be found.
bool lower_values(const double x[20], double tmin, double Tc) {
    if (word(kH.liq) != 0.0 && word(kE.liq) != 0.0 && word(kTvap) > 0.0) return true;
    double Dl = 0, Tv = 0, Dv = 0;
    if (!satroot::lower_states(x, tmin, Tc, Dl, Tv, Dv)) return false;
    word(kH.liq) = prop_at(Prop::kH, tmin, Dl, x);
    word(kE.liq) = prop_at(Prop::kE, tmin, Dl, x);
    word(kH.vap) = prop_at(Prop::kH, Tv, Dv, x);
    word(kE.vap) = prop_at(Prop::kE, Tv, Dv, x);
    word(kTvap) = Tv;
    return true;
}

// The maximum of the saturated-vapour property between the lowest vapour
// state (tlow) and the highest one below Tc: the largest of a coarse scan,
// refined between its neighbours.
bool vapour_maximum(const double x[20], Prop p, double tlow, double Tc, double& Tpk, double& vpk) {
    constexpr int kScan = 24;
    const satroot::Point top = satroot::highest(2, p, x, Tc);
    const satroot::Point bottom = satroot::boundary(2, tlow, p, x);
    if (!top.ok || !bottom.ok || !(top.T > bottom.T)) return false;
    std::vector<satroot::Point> pts;
    pts.push_back(bottom);
    for (int k = 1; k < kScan; ++k) {
        const satroot::Point pt =
            satroot::boundary(2, bottom.T + (top.T - bottom.T) * k / kScan, p, x);
        if (pt.ok) pts.push_back(pt);
    }
    pts.push_back(top);
    std::size_t m = 0;
    for (std::size_t k = 1; k < pts.size(); ++k)
        if (pts[k].v > pts[m].v) m = k;
    // Between the neighbours of the largest (at an end of the scan, between
    // it and its one neighbour: very dry fluids peak within 1 % of Tc).
    const std::size_t lo = m > 0 ? m - 1 : 0, hi = std::min(m + 1, pts.size() - 1);
    satroot::Point best = satroot::extremum(2, p, x, pts[lo], pts[hi], true);
    if (!(best.v >= pts[m].v)) best = pts[m];
    Tpk = best.T;
    vpk = best.v;
    return true;
}

std::string g(double v) { return fmt_g(v, 12, 5); }

struct Root {
    int k = 0;
    double T = 0, P = 0, D = 0;
};

}  // namespace

void EHMAXX(const double x[20], int mode, double& vmax, double& Tvmax, int& ierr,
            std::string& herr) {
    ierr = 0;
    herr.clear();
    vmax = Tvmax = 0.0;
    const Words& w = mode == 1 ? kE : kH;
    double Tc = 0, Pc = 0, Dc = 0;
    if (!flash::critical_point(x, Tc, Pc, Dc, "EHMAXX", 160, 235, ierr, herr)) return;
    (void)satroot::boundary_end(x, Tc, Pc, Dc);
    satroot::own_words(x);
    if (word(w.vmax) != 0.0 && word(w.tpeak) > 0.0) {
        vmax = word(w.vmax);
        Tvmax = word(w.tpeak);
        return;
    }
    const double tmin = lower_limit(x, ISPURE(x));
    if (!lower_values(x, tmin, Tc) ||
        !vapour_maximum(x, mode == 1 ? Prop::kE : Prop::kH, word(kTvap), Tc, Tvmax, vmax)) {
        fail(1, "EHMAXX", "saturated-vapor maximum not found", ierr, herr);
        vmax = Tvmax = 0.0;
        return;
    }
    word(w.tpeak) = Tvmax;
    word(w.vmax) = vmax;
}

void SATH(double h, const double x[20], int kph, int& nroot, int& k1, double& T1, double& P1,
          double& D1, int& k2, double& T2, double& P2, double& D2, int& ierr, std::string& herr) {
    nroot = k1 = k2 = 0;
    T1 = P1 = D1 = T2 = P2 = D2 = 0.0;
    ierr = 0;
    herr.clear();
    const bool energy = FLAGS2.energy_switch == 1;
    const Prop prop = energy ? Prop::kE : Prop::kH;
    const Words& w = energy ? kE : kH;
    const int ic = ISPURE(x);
    double Tc = 0, Pc = 0, Dc = 0;
    if (!flash::critical_point(x, Tc, Pc, Dc, "SATH", 160, 235, ierr, herr)) return;
    const bool meet = satroot::boundary_end(x, Tc, Pc, Dc);
    if (!std::isfinite(h)) {
        fail(1, "SATH", "input value is not a number", ierr, herr);
        return;
    }
    satroot::own_words(x);
    const double tmin = lower_limit(x, ic);
    if (!lower_values(x, tmin, Tc)) {
        fail(161, "SATH",
             "saturation state at the lower temperature limit not found; T =" + g(tmin) + " K",
             ierr, herr);
        return;
    }
    const double hmin = word(w.liq), hvtp = word(w.vap);
    if (std::fabs(word(w.vmax)) < 1e-15) {
        double v = 0, t = 0;
        EHMAXX(x, energy ? 1 : 0, v, t, ierr, herr);
        if (ierr > 0) return;
    }
    const double hmax = word(w.vmax), tpeak = word(w.tpeak);

    // Near the maximum the property barely changes with T: a tolerance near
    // the digits of the property keeps the root's T within 1e-7 K.
    const double tol = 1e-13 * (std::fabs(h) + GCNST.r * Tc);
    // The ends of the lines: the critical point, or their highest states
    // where they end apart.
    const satroot::Point top_l = satroot::line_end(1, prop, x, meet, Tc, Dc);
    const satroot::Point top_v = satroot::line_end(2, prop, x, meet, Tc, Dc);
    if (!top_l.ok || !top_v.ok) {
        fail(161, "SATH", "saturation state near the critical point not found; Tc =" + g(Tc) + " K",
             ierr, herr);
        return;
    }
    const int kind = (kph == 3 && ic > 0) ? 3 : (kph == 4 && ic > 0) ? 4 : (h <= top_l.v ? 1 : 2);
    if (kind == 4 && h > hvtp + tol) {
        fail(8, "SATH",
             "enthalpy greater than triple point value; h =" + g(h) + " J/mol, max =" + g(hvtp) +
                 " J/mol",
             ierr, herr, 3);
        return;
    }
    if (kind != 4 && h < hmin - tol) {
        fail(2, "SATH",
             "enthalpy below triple-point value; h =" + g(h) + " J/mol, min =" + g(hmin) + " J/mol",
             ierr, herr, 3);
        return;
    }
    if (kind != 3 && h > hmax + tol) {
        fail(4, "SATH",
             "enthalpy greater than maximum value; h =" + g(h) + " J/mol, max =" + g(hmax) +
                 " J/mol",
             ierr, herr, 3);
        return;
    }

    double tmax = 0, tlim = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", x, tlim, tmax, dmax, pmax);

    auto find = [&](int k, double T0, double f0, double Tb, double Tstart, double lo, double hi) {
        const satroot::Point pt = satroot::search(k, prop, h, x, T0, f0, Tb, Tstart, lo, hi, tol);
        Root r;
        r.k = k;
        if (pt.ok) {
            r.T = pt.T;
            r.P = pt.P;
            r.D = pt.D;
        }
        return r;
    };
    Root first;
    bool above_peak = true;  // a first root exists
    switch (kind) {
        case 1: {
            // Between the lower limit (hmin <= h) and the top of the line.
            const double t0 = tmin + (top_l.T - tmin) * (h - hmin) / (top_l.v - hmin);
            first =
                find(1, top_l.T, top_l.v - h, tmin, std::clamp(t0, tmin, top_l.T), tmin, top_l.T);
            break;
        }
        case 2:
            // Above the maximum, from the top of the vapour line down; none
            // between the lines' two ends.
            above_peak = h >= top_v.v - tol;
            if (above_peak)
                first =
                    find(2, top_v.T, top_v.v - h, tpeak, 0.5 * (tpeak + top_v.T), tpeak, top_v.T);
            break;
        case 3: first = find(3, tmin, hmin - h, 0.0, 0.85 * Tc, tmin, tmax); break;
        default: first = find(4, tmin, hvtp - h, 0.0, 0.95 * tmin, 0.0, tmin); break;
    }
    std::string kept;
    int failed = 0;
    auto record = [&](const Root& r, int number) {
        if (r.T <= 0.0) {
            ++failed;
            kept = "iteration for saturation state did not converge for h =" + g(h) +
                   " J/mol; root = " + std::to_string(number);
        }
        if (!(kph == 0 || r.k == kph)) return;
        ++nroot;
        (nroot == 1 ? k1 : k2) = r.k;
        (nroot == 1 ? T1 : T2) = r.T;
        (nroot == 1 ? P1 : P2) = r.P;
        (nroot == 1 ? D1 : D2) = r.D;
    };
    if (above_peak) record(first, 1);
    if (kind <= 2 && hvtp - tol <= h && h < hmax && (kph == 0 || kph == 2)) {
        // Below the maximum, down to the lowest vapour state (itself the
        // root at its own value).
        const double tv = word(kTvap);
        Root second = find(2, tv, hvtp - h, tpeak, 0.5 * (tv + tpeak), tv, tpeak);
        if (std::fabs(hvtp - h) <= tol) {
            const satroot::Point pt = satroot::boundary(2, tv, prop, x);
            second = Root{2, pt.T, pt.P, pt.D};
        }
        record(second, 2);
    }
    if (failed == 2)
        fail(
            162, "SATH",
            "iteration for saturation state did not converge for both roots; h =" + g(h) + " J/mol",
            ierr, herr);
    else if (failed == 1)
        fail(161, "SATH", kept, ierr, herr);
}

void SATE(double e, const double x[20], int kph, int& nroot, int& k1, double& T1, double& P1,
          double& D1, int& k2, double& T2, double& P2, double& D2, int& ierr, std::string& herr) {
    FLAGS2.energy_switch = 1;
    SATH(e, x, kph, nroot, k1, T1, P1, D1, k2, T2, P2, D2, ierr, herr);
    FLAGS2.energy_switch = 0;
    if (ierr == 0) return;
    auto swap_first = [&](const std::string& from, const std::string& to) {
        const std::size_t at = herr.find(from);
        if (at != std::string::npos) herr.replace(at, from.size(), to);
    };
    swap_first("SATH", "SATE");
    swap_first("h =", "e =");
    swap_first("enthalpy", "energy");
}

}  // namespace lib
