#include "library/setup/limits.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "library/models/critp.h"
#include "library/models/melt.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/common.h"
#include "library/setup/records.h"
#include "library/setup/setup.h"
#include "library/transport/records.h"

namespace lib {

namespace {

constexpr double kNoLimit = 9.99e99;
constexpr double kWaterTmin = 251.165;  // lowest temperature of the water melting curves, K

enum class Kind { Eos, Trp, Eta, Tcx, Stn };

Kind kind_of(const std::string& htyp, bool trp_allowed) {
    // (Its first three characters; a shorter text names none of these.)
    const std::string_view h = std::string_view(htyp).substr(0, 3);
    // (Most checks are of the equation of state: "EOS".)
    if (h.empty() || h[0] == 'E' || h[0] == 'e')
        return h == "ETA" || h == "eta" ? Kind::Eta : Kind::Eos;
    if (h == "TCX" || h == "tcx") return Kind::Tcx;
    if (h == "STN" || h == "stn") return Kind::Stn;
    if (trp_allowed && (h == "TRP" || h == "trp")) return Kind::Trp;
    return Kind::Eos;
}

// Whether slot k's CAS number is `cas` (which ends in no blank): the field
// holds it followed by blanks or NULs only. (Asked on every range check.)
bool cas_is(int k, std::string_view cas) {
    const std::string_view field = CCAS[k];
    if (!field.starts_with(cas)) return false;
    for (char c : field.substr(cas.size()))
        if (c != ' ' && c != '\0') return false;
    return true;
}

struct Lim {
    double tmin = 0, tmax = 0, pmax = 0, dmax = 0;
};

Lim from(const LimitRecord& r, int k) { return {r.tmin[k], r.tmax[k], r.pmax[k], r.dmax[k]}; }

// The limits of slot k for the kind; `ecs` substitutes the transport
// model's own limits for components whose model is "ECS".
Lim slot_limits(Kind kind, int k, bool ecs) {
    switch (kind) {
        case Kind::Eta: return ecs && TRNMOD.eta[k].is("ECS") ? from(WLMTRN, k) : from(WLMETA, k);
        case Kind::Tcx: return ecs && TRNMOD.tcx[k].is("ECS") ? from(WLMTRN, k) : from(WLMTCX, k);
        case Kind::Stn: return {WLMSTN.tmin[k], WLMSTN.tmax[k], kNoLimit, kNoLimit};
        default: {
            Lim l{EOSLIM.tmin[k], EOSLIM.tmax[k], EOSLIM.pmax[k], EOSLIM.dmax[k]};
            if (kind == Kind::Trp && CCON.dtp[k] > 0.1) l.dmax = CCON.dtp[k];
            return l;
        }
    }
}

// Freezing temperature of ammonia-water at ammonia mole fraction y, K.
double ammonia_water_tmin(double y) {
    if (y < 0.33367)
        return 273.16 * (1.0 - 0.3439823 * y - 1.3274271 * y * y - 274.973 * std::pow(y, 7));
    if (y < 0.58396) return 193.549 * (1.0 - 4.987368 * (y - 0.5) * (y - 0.5));
    if (y < 0.81473) {
        const double z = y - 2.0 / 3.0;
        return 194.38 * (1.0 - 4.886151 * z * z + 10.37298 * z * z * z);
    }
    const double z = 1.0 - y;
    return 195.495 * (1.0 - 0.323998 * z - 15.8756 * std::pow(z, 4));
}

// The pieces of the out-of-range message and the flags they stand for.
struct Report {
    int tflag = 0, dflag = 0, pflag = 0, xflag = 0;
    bool hard = false;
    std::string t = " ", d = " ", p = " ", x = " ";
    bool any() const { return tflag + dflag + pflag + xflag != 0; }
    int sum() const { return tflag + dflag + pflag + xflag; }
};

std::string item(const std::string& text, std::size_t width) { return fixed_width(text, width); }
std::string g(double v) { return fmt_g(v, 12, 5); }

void temperature_items(Report& r, double T, double tmin, double tmax, bool accepted,
                       bool soft_low) {
    if (!accepted) {
        r.tflag = 1;
        if (!soft_low) r.hard = true;
        r.t =
            item(" temperature below lower limit, T =" + g(T) + " K, Tmin =" + g(tmin) + " K;", 72);
    } else if (T > 1.5 * tmax) {
        r.tflag = 1;
        r.hard = true;
        r.t = item(" temperature > 1.5 x upper limit, T =" + g(T) + " K, Tmax =" + g(tmax) + " K;",
                   74);
    } else if (T > tmax) {
        r.tflag = 1;
        r.t =
            item(" temperature above upper limit, T =" + g(T) + " K, Tmax =" + g(tmax) + " K;", 72);
    }
}

void density_items(Report& r, double D, double dmax) {
    if (D < 0.0) {
        r.dflag = 2;
        r.hard = true;
        r.d = item(" density < 0, D =" + g(D) + " mol/L;", 37);
    } else if (D > dmax) {
        r.dflag = 2;
        r.hard = true;
        r.d =
            item(" density > upper limit, D =" + g(D) + " mol/L, Dmax =" + g(dmax) + " mol/L;", 72);
    }
}

void pressure_items(Report& r, double P, double pmax, double pm, bool soft_above) {
    if (P < 0.0) {
        r.pflag = 4;
        r.hard = true;
        r.p = item(" pressure < 0, P =" + g(P / 1000.0) + " MPa;", 35);
    } else if (P > 2.0 * pmax) {
        r.pflag = 4;
        r.hard = true;
        r.p = item(" pressure > 2 x upper limit, P =" + g(P / 1000.0) +
                       " MPa, Pmax =" + g(pmax / 1000.0) + " MPa;",
                   73);
    } else if (P > pmax + 1.0e-8) {
        r.pflag = 4;
        if (!soft_above) r.hard = true;
        r.p = item(" pressure above upper limit, P =" + g(P / 1000.0) +
                       " MPa, Pmax =" + g(pmax / 1000.0) + " MPa;",
                   73);
    }
    if (pm < 0.9995 * P && std::fabs(pm) > 1.0e-20) {
        r.pflag = 16;
        r.hard = true;
        r.p = item(" pressure > melting pressure, P =" + g(P / 1000.0) +
                       " MPa, Pmelt =" + g(pm / 1000.0) + " MPa;",
                   74);
    }
}

// Below the triple point of a pure fluid: a soft flag 16, made hard with the
// solid-phase item when water lies outside the band between its ice Ih and
// high-pressure melting pressures.
void triple_point_items(Report& r, double T, double P, int k, double factor) {
    r.t = item(" temperature less than triple point," + std::string(" T=") + g(T) +
                   " K, Ttrp=" + g(CCON.ttp[k]) + " K;",
               73);
    r.tflag = 16;
    if (cas_is(k, "7732-18-5") && std::fabs(P) > 1.0e-20) {
        double pu = 0.0, pl = 0.0;
        MLTH2O(T, pu, pl);
        if (P < factor * pl || P > pu / factor) {
            r.t = item(" inputs are within the solid phase;", 34);
            r.hard = true;
        }
    }
}

void finish(Report& r, bool with_x, int& ierr, std::string& herr) {
    if (!r.any()) return;
    std::string m = "one or more inputs are out of range: " + r.t + r.d + r.p +
                    (with_x ? r.x : std::string(" "));
    if (m.size() > 255) m.resize(255);
    fail(r.hard ? r.sum() : -r.sum(), std::move(m), ierr, herr);
}

}  // namespace

double eos_lowest_temperature(int k) {
    const double tmin = EOSLIM.tmin[k];
    return cas_is(k, "7732-18-5") && tmin > kWaterTmin ? kWaterTmin : tmin;
}

void LIMITS(const std::string& htyp, const double x[20], double& tmin, double& tmax, double& dmax,
            double& pmax) {
    const Kind kind = kind_of(htyp, true);
    const int nc = std::min(NCOMP.nc, kMaxComp);
    const int ic = ISPURE(x);
    if (ic != 0) {
        const Lim l = slot_limits(kind, ic, true);
        tmin = l.tmin;
        tmax = l.tmax;
        dmax = l.dmax;
        pmax = l.pmax;
        if (cas_is(ic, "7732-18-5") && tmin > kWaterTmin) tmin = kWaterTmin;
        return;
    }
    double st = 0.0, su = 0.0, sd = 0.0, sp = 0.0;
    for (int k = 1; k <= nc; ++k) {
        const Lim l = slot_limits(kind, k, true);
        const double xk = x[k - 1];
        const double tz = ZRED.tred[k], rz = ZRED.dred[k];
        if (l.tmin > 0.0) st += xk * tz / l.tmin;
        if (l.tmax > 0.0) su += xk * tz / l.tmax;
        if (rz > 0.0) sd += xk * l.dmax / rz;
        sp += xk * l.pmax;
    }
    double tr = 0.0, dr = 0.0;
    REDX(x, tr, dr);
    pmax = sp;
    dmax = sd * dr;
    // Without any component limit the defaults are temperatures themselves
    // (300 K, 100 K), the values that also replace negative results; as
    // divisors of Tr they would give about 1 K and reject every state.
    tmax = su > 0.0 ? tr / su : 300.0;
    if (st > 0.0) {
        tmin = tr / st;
        if (tmin > 10.0) tmin -= 5.0;
    } else {
        tmin = 100.0;
    }
    if (tmin < 0.0) tmin = 100.0;
    if (tmax < 0.0) tmax = 300.0;
    const int a = FLAGS2.ammonia_water;
    if (a > 0 && a <= kMaxComp) tmin = ammonia_water_tmin(x[a - 1]);
}

double mixture_temperature_allowance(const double x[20]) {
    const int nc = std::min(NCOMP.nc, kMaxComp);
    double allow = 0.0;
    for (int i = 1; i <= nc && allow == 0.0; ++i)
        for (int j = i + 1; j <= nc; ++j)
            if (std::fabs(CCON.tc[i] - CCON.tc[j]) > 50.0) allow = 25.0;
    if (allow > 0.0) {
        double tr = 0.0, dr = 0.0;
        REDX(x, tr, dr);
        if (tr < 200.0) allow = 5.0;
    }
    return allow;
}

double lowest_mixture_search(const double x[20], double tmin, double floor) {
    if (ISPURE(x) != 0) return tmin;
    return std::max(tmin - mixture_temperature_allowance(x), floor);
}

void LIMITX(const std::string& htyp, double T, double D, double P, const double x[20], double& tmin,
            double& tmax, double& dmax, double& pmax, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    if (no_fluid_set_up("LIMITX", ierr, herr)) {
        tmin = tmax = dmax = pmax = 0.0;
        return;
    }
    const Kind kind = kind_of(htyp, false);
    const int nc = std::min(NCOMP.nc, kMaxComp);
    const int k = ISPURE(x);
    LIMITS(htyp, x, tmin, tmax, dmax, pmax);
    // Melting pressure at T; a line that cannot be evaluated sets no limit.
    double pm = 1.0e15;
    // (A pure fluid above its melting line's upper limit has none to test.)
    const double tmelt = k != 0 ? melting_line_tmax(k) : 0.0;
    if (std::fabs(P) > 1.0e-10 && T > 0.0 && !(tmelt > 0.0 && T > tmelt)) {
        double p = 0.0;
        // A pure fluid's melting line starts at its triple point: where a
        // published line passes a little below the triple-point pressure
        // there, the saturated liquid of the triple point is no solid.
        if (melting_pressure(T, x, p)) pm = k != 0 && p > 0.0 ? std::max(p, CCON.ptp[k]) : p;
    }
    Report r;
    double xsum = 0.0;
    if (k == 0) {
        bool bad = nc < 1;
        for (int i = 0; i < nc; ++i) {
            xsum += x[i];
            if (x[i] < -1.0e-10 || x[i] > 1.0000000001) bad = true;
        }
        if (xsum < 0.999999 || xsum > 1.000001) bad = true;
        if (bad) {
            r.xflag = 8;
            r.hard = true;
        }
    }
    // Temperature.
    bool accepted = true;
    if (!(T >= tmin - 1.0e-10 || std::fabs(T + 1.0) < 1.0e-15)) {
        if (k != 0) {
            double ps = 0.0;
            bool ok = true;
            if (T < CCON.ttp[k]) {
                int je = 0;
                std::string jm;
                SUBLT(T, x, ps, je, jm);
                ok = je == 0;
            }
            accepted = ok && P >= 1.0e-20 && P <= ps + 1.0e-10;
        } else {
            accepted = P >= 1.0e-20 && P <= 1.0e-10;
            if (!accepted) accepted = T >= tmin - mixture_temperature_allowance(x);
        }
    }
    if (std::fabs(T + 1.0) < 1.0e-15)
        ;  // not tested
    else
        temperature_items(r, T, tmin, tmax, accepted, kind == Kind::Stn);
    density_items(r, D, dmax);
    pressure_items(r, P, pmax, pm, true);
    if (r.xflag != 0) {
        std::string s =
            " composition(s) out of range, Xsum =" + fmt_f(xsum, 13, 10) + " mol frac, X(i) =";
        for (int i = 0; i < std::min(nc, 5); ++i) s += fmt_f(x[i], 13, 10);
        r.x = item(s, 131);
    }
    if (k != 0 && T < CCON.ttp[k] - 1.0e-10 && r.tflag == 0 && T > 0.0)
        triple_point_items(r, T, P, k, 0.9999);
    finish(r, true, ierr, herr);
}

void LIMITK(const std::string& htyp, int icomp, double T, double D, double P, double& tmin,
            double& tmax, double& dmax, double& pmax, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    const Kind kind = kind_of(htyp, false);
    const Lim l = slot_limits(kind, icomp, false);
    tmin = l.tmin;
    tmax = l.tmax;
    dmax = l.dmax;
    pmax = l.pmax;
    double pm = 1.0e15;
    if (kind == Kind::Eos && (D > CCON.dtp[icomp] || std::fabs(D) < 1.0e-10) && T > tmin &&
        std::fabs(P) > 1.0e-10) {
        int je = 0;
        std::string jm;
        double p = 0.0;
        MELTK(icomp, T, p, je, jm);
        if (je == 0) pm = p > 0.0 ? std::max(p, CCON.ptp[icomp]) : p;  // (as in LIMITX)
    }
    Report r;
    const bool untested = std::fabs(T) <= 1.0e-20;
    bool accepted = true;
    if (!untested && T < tmin - 1.0e-10) {
        double ps = 0.0;
        int je = 0;
        std::string jm;
        SUBLK(icomp, T, ps, je, jm);
        accepted = je == 0 && P >= 1.0e-20 && P <= ps + 1.0e-10;
    }
    if (!untested) temperature_items(r, T, tmin, tmax, accepted, kind == Kind::Stn);
    density_items(r, D, dmax);
    pressure_items(r, P, pmax, pm, !cas_is(icomp, "1333-74-0p"));
    if (T < CCON.ttp[icomp] - 1.0e-10 && r.tflag == 0 && T > 0.0)
        triple_point_items(r, T, P, icomp, 1.0);
    finish(r, false, ierr, herr);
}

}  // namespace lib
