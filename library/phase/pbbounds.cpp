// The bounds of a property (enthalpy, entropy or energy) along the limits
// of the equation, which the flashes at given pressure check their value
// against: the liquid at 100 kPa at the lowest temperature that has one (and
// at its saturation pressure and on the melting line), the dilute gas at 1.5
// times the highest temperature, and the compressed states up to the
// pressure limit along both isotherms.
#include "library/phase/pbbounds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/phase/flashutil.h"
#include "library/phase/satcheb.h"
#include "library/setup/modelgen.h"
#include "library/setup/records.h"

namespace lib {
namespace {

// Temperatures on the melting line below which the entropy bound of the
// liquid at 100 kPa is extended, by CAS number.
struct MeltPoint {
    const char* cas;
    double T;
};
constexpr MeltPoint kMeltPoints[] = {
    {"7732-18-5", 251.18},  // water
    {"124-38-9", 244.8},    // carbon dioxide
    {"7664-41-7", 200.2},   // ammonia
    {"7440-59-7", 2.178},   // helium
};

constexpr int kMaxBoundSteps = 200;  // 5 K raises of the lowest temperature

// An equation without a liquid root at 100 kPa below its critical
// temperature (AGA8, an equation for gases): the lowest temperature with a
// gas root at 100 kPa, no lower bound of the property (its compressed gas
// lies below that gas's, and no dense root marks the end), the dilute gas
// at 1.5 Tmax as upper one.
Bounds gas_only_bounds(char letter, const double z[20], double tmin, double tmax) {
    Bounds bd;
    bd.tmax = tmax;
    for (double t = tmin; t < tmax; t += 5.0) {
        double d = 0.0;
        int jerr = 0;
        std::string jmsg;
        TPRHO(t, 100.0, z, kVapour, kNoStartValue, d, jerr, jmsg);
        if (jerr > 0 || !(d > 0.0)) continue;
        bd.tmin = t;
        bd.bmin = -std::numeric_limits<double>::max();
        bd.bmax = flash::prop(letter, 1.5 * tmax, 1e-6, z);
        bd.ok = true;
        break;
    }
    return bd;
}

// The property along the isotherm at t from 100 kPa to the pressure limit
// pmax, in steps of pressure, widens the bounds; about the lowest and the
// highest step the extreme between its neighbours is searched for too
// (ammonia's energy at 195.5 K falls to -1104 J/mol at 560 MPa and
// rises again to -830 at 1 GPa; the steps at 316 MPa and 1 GPa put the
// bound at -987, and the liquid at 367 MPa, -1038, was refused with 249).
void along_isotherm(char letter, const double z[20], double t, double d0, double pmax, bool cold,
                    Bounds& bd) {
    constexpr int kSteps = 8;
    constexpr int kGoldSteps = 20;
    double dens[kSteps + 1] = {}, vals[kSteps + 1] = {};
    int lo = -1, hi = -1;
    double dp = d0;
    // (The step at 100 kPa is the liquid d0 where it is given.)
    for (int k = d0 > 0.0 ? 0 : 1; k <= kSteps; ++k) {
        const double p = 100.0 * std::pow(pmax / 100.0, static_cast<double>(k) / kSteps);
        int jerr = 0;
        std::string jmsg;
        if (k > 0) TPRHO(t, p, z, kLiquid, dp > 0.0 ? kStartValue : kNoStartValue, dp, jerr, jmsg);
        if (jerr > 0 || !(dp > 0.0)) {
            dp = 0.0;
            continue;
        }
        const double v = flash::prop(letter, t, dp, z);
        if (!std::isfinite(v)) continue;
        dens[k] = dp;
        vals[k] = v;
        if (lo < 0 || v < vals[lo]) lo = k;
        if (hi < 0 || v > vals[hi]) hi = k;
        bd.bmin = std::min(bd.bmin, v);
        bd.bmax = std::max(bd.bmax, v);
    }
    // (The least on the cold isotherm, the most on the hot one.)
    for (int kflag : {0, 1}) {
        if ((kflag == 0) != cold) continue;
        const int k = kflag == 0 ? lo : hi;
        if (k < 0) continue;
        const int a = std::max(k - 1, 0), c = std::min(k + 1, kSteps);
        if (!(dens[a] > 0.0) || !(dens[c] > 0.0) || a == c) continue;
        double dopt = 0.0, fopt = 0.0;
        int gerr = 0;
        GOLD(dens[a], dens[c], kGoldSteps, kflag, z, t, 0.0, 0.0, std::string(1, letter), dopt,
             fopt, gerr);
        if (gerr > 0 || !std::isfinite(fopt)) continue;
        bd.bmin = std::min(bd.bmin, fopt);
        bd.bmax = std::max(bd.bmax, fopt);
    }
}

Bounds property_bounds(char letter, int icomp, const double z[20], double tmin, double tmax,
                       double pmax, double Tc) {
    Bounds bd;
    bd.tmin = tmin;
    bd.tmax = tmax;
    double d = 0.0;
    int n = 0;
    // The lowest temperature with a liquid root at 100 kPa; the search ends at
    // the critical temperature.
    auto lowest_liquid = [&]() {
        for (n = 0; n <= kMaxBoundSteps; ++n) {
            d = liquid_at_100kpa(bd.tmin, z);
            if (d > 0.0) return true;
            bd.tmin += 5.0;
            if (bd.tmin > Tc) return false;
        }
        return false;
    };
    if (!lowest_liquid()) return gas_only_bounds(letter, z, tmin, tmax);
    bd.bmin = flash::prop(letter, bd.tmin, d, z);

    if (letter == 'S' && icomp > 0) {
        const std::string cas(trim_right(CCAS[icomp]));
        for (const MeltPoint& m : kMeltPoints) {
            if (cas != m.cas) continue;
            double pm = 0.0;
            int jerr = 0;
            std::string jmsg;
            MELTT(m.T, z, pm, jerr, jmsg);
            if (pm > 0.0) {
                double dm = 0.0;
                TPRHO(m.T, pm, z, kLiquid, kNoStartValue, dm, jerr, jmsg);
                if (jerr <= 0 && dm > 0.0) {
                    const double sm = flash::prop('S', m.T, dm, z);
                    if (sm < bd.bmin && std::fabs(sm) > 1e-20) bd.bmin = sm;
                }
            }
        }
    }

    bd.bmax = flash::prop(letter, 1.5 * tmax, 1e-6, z);
    if (bd.bmax < bd.bmin) {
        bd.tmin += 20.0;
        if (!lowest_liquid()) return bd;
        bd.bmin = flash::prop(letter, bd.tmin, d, z);
    }
    // Below 100 kPa the liquid reaches down to its saturation pressure, where
    // its enthalpy is lower still.
    if (icomp > 0) {
        double ps = 0, dl = 0, dv = 0, xl[20], xv[20];
        int jerr = 0;
        std::string jmsg;
        const double tl = std::max(bd.tmin, CCON.ttp[icomp]);
        SATT(tl, z, kBubblePoint, ps, dl, dv, xl, xv, jerr, jmsg);
        if (jerr <= 0 && dl > 0.0) {
            const double v = flash::prop(letter, tl, dl, z);
            if (std::isfinite(v)) bd.bmin = std::min(bd.bmin, v);
        }
    }
    // The equation also holds states up to its pressure limit: along the
    // isotherm of the lowest temperature the compressed liquid can lie below
    // the bound (entropy mostly falls with pressure), and at the highest
    // temperature the compressed fluid above it (enthalpy and energy rise
    // with pressure there).  Both isotherms are followed in steps of pressure.
    if (pmax > 100.0 && pmax < 1e20) {
        for (double t : {bd.tmin, 1.5 * tmax})
            along_isotherm(letter, z, t, t == bd.tmin ? d : 0.0, pmax, t == bd.tmin, bd);
    }
    bd.ok = true;
    return bd;
}

// The bounds depend only on the fluid, its reference state and the
// property: they are kept for each property letter and found again when the
// composition, the critical point, the temperature limits and the equations
// are the same.  A pure fluid's equation stays the same until a set-up or a
// change of model (each makes the saturation expansions forget their slots),
// and its reference state is its offsets; a mixture's also moves with its
// interaction parameters, and the property at the critical point (which
// moves with both) is its key.
//
// A mixture's property at its critical point is formed once per state of
// the equations (`model_generation`) and critical point: a flue gas's
// pressure flashes formed it some 450 times between two set-ups, 7 % of a
// combined cycle's calculation.
struct BoundsCache {
    bool valid = false;
    double z[20] = {};
    double tc = 0, pc = 0, dc = 0, tmin = 0, tmax = 0, pmax = 0, tag = 0;
    unsigned long long generation = 0;
    double h0 = 0, s0 = 0;
    Bounds bd;
    // What the tag was formed for (models 0: none yet).
    unsigned long long tag_models = 0;
    int tag_nc = 0, tag_ic = 0;
    double tag_tc = 0, tag_dc = 0, tag_z[20] = {}, tag_value = 0;

    // The mixture's property at (Tc, Dc): the one formed last where nothing
    // it depends on has changed since.
    double mixture_tag(char letter, double Tc, double Dc, const double z[20]) {
        const unsigned long long models = model_generation();
        bool known = tag_models == models && tag_nc == NCOMP.nc && tag_ic == NCOMP.ic &&
                     tag_tc == Tc && tag_dc == Dc;
        for (int i = 0; i < 20 && known; ++i) known = tag_z[i] == z[i];
        if (known) return tag_value;
        const double v = flash::prop(letter, Tc, Dc, z);
        tag_models = models;
        tag_nc = NCOMP.nc;
        tag_ic = NCOMP.ic;
        tag_tc = Tc;
        tag_dc = Dc;
        std::copy_n(z, 20, tag_z);
        tag_value = v;
        return v;
    }
};
BoundsCache bounds_cache[3];

// The bounds of the fluids set up before: the cycle solver sets its fluids
// up again whenever it passes from one process to another (a combined cycle
// of a flue gas and water: some 70 set-ups in one calculation, each of
// which made both fluids' bounds be searched again: 8 % of its time).
// A set-up leaves no mark of which equations it loaded, so an entry is told
// by the fluid's values: its composition, critical point, limits and
// reference offsets, and the property at two states of the equation (at
// the critical point and in the compressed fluid), and whether the
// saturation expansions answer (the bounds read the saturation line).
struct KeptBounds {
    char letter = 0;
    bool series = false;
    int icomp = 0;
    std::array<double, 20> z{};
    std::array<double, 10> values{};
    Bounds bd;
};
constexpr std::size_t kKeptBounds = 16;
std::vector<KeptBounds> kept_bounds;
std::size_t kept_next = 0;  // the entry replaced next once all are in use

// The key of the bounds of a fluid; `crit` is the property at its critical
// point.
KeptBounds kept_key(char letter, int icomp, const double z[20], double tmin, double tmax,
                    double pmax, double Tc, double Pc, double Dc, double h0, double s0,
                    double crit) {
    KeptBounds k;
    k.letter = letter;
    k.series = satcheb::enabled();
    k.icomp = icomp;
    std::copy_n(z, 20, k.z.begin());
    k.values = {Tc,   Pc, Dc, tmin, tmax,
                pmax, h0, s0, crit, flash::prop(letter, 0.9 * Tc, 2.0 * Dc, z)};
    return k;
}

bool same_key(const KeptBounds& a, const KeptBounds& b) {
    return a.letter == b.letter && a.series == b.series && a.icomp == b.icomp && a.z == b.z &&
           a.values == b.values;
}

const Bounds* find_kept(const KeptBounds& key) {
    for (const KeptBounds& k : kept_bounds)
        if (same_key(k, key)) return &k.bd;
    return nullptr;
}

void keep(KeptBounds key, const Bounds& bd) {
    key.bd = bd;
    if (kept_bounds.size() < kKeptBounds) {
        kept_bounds.push_back(key);
        return;
    }
    kept_bounds[kept_next] = key;
    kept_next = (kept_next + 1) % kKeptBounds;
}

}  // namespace

double liquid_at_100kpa(double T, const double z[20]) {
    double d = 0.0;
    int jerr = 0;
    std::string jmsg;
    TPRHO(T, 100.0, z, kLiquid, kNoStartValue, d, jerr, jmsg);
    const int icomp = ISPURE(z);
    if (jerr > 0 && icomp > 0 && CCON.dtp[icomp] > 0.0) {
        // The density solver's own start can miss the liquid far below the
        // critical point; the triple-point liquid density is a close one.
        d = CCON.dtp[icomp];
        TPRHO(T, 100.0, z, kLiquid, kStartValue, d, jerr, jmsg);
    }
    return jerr > 0 ? 0.0 : d;
}

Bounds cached_bounds(char letter, int icomp, const double z[20], double tmin, double tmax,
                     double pmax, double Tc, double Pc, double Dc) {
    BoundsCache& c = bounds_cache[letter == 'S' ? 1 : letter == 'E' ? 2 : 0];
    const bool pure = icomp > 0;
    const double tag = pure ? 0.0 : c.mixture_tag(letter, Tc, Dc, z);
    const unsigned long long generation = satcheb::generation();
    const double h0 = pure ? CREF.h0[icomp] : 0.0, s0 = pure ? CREF.s0[icomp] : 0.0;
    bool same = c.valid && c.tc == Tc && c.pc == Pc && c.dc == Dc && c.tmin == tmin &&
                c.tmax == tmax && c.pmax == pmax && c.tag == tag && c.generation == generation &&
                c.h0 == h0 && c.s0 == s0;
    for (int i = 0; i < 20 && same; ++i) same = c.z[i] == z[i];
    if (same) return c.bd;
    const double crit = pure ? flash::prop(letter, Tc, Dc, z) : tag;
    const KeptBounds key = kept_key(letter, icomp, z, tmin, tmax, pmax, Tc, Pc, Dc, h0, s0, crit);
    if (const Bounds* found = find_kept(key)) {
        c.bd = *found;
    } else {
        c.bd = property_bounds(letter, icomp, z, tmin, tmax, pmax, Tc);
        c.bd.bcrit = crit;
        if (letter == 'H') ENTHAL(Tc, 0.0, z, c.bd.hgas);
        if (c.bd.ok) keep(key, c.bd);
    }
    c.valid = c.bd.ok;
    for (int i = 0; i < 20; ++i) c.z[i] = z[i];
    c.tc = Tc;
    c.pc = Pc;
    c.dc = Dc;
    c.tmin = tmin;
    c.tmax = tmax;
    c.pmax = pmax;
    c.tag = tag;
    c.generation = generation;
    c.h0 = h0;
    c.s0 = s0;
    return c.bd;
}

}  // namespace lib
