// Dew points of the warm starts' mixtures, kept per composition, and the
// test of a gas clearly above its dew point by them.
#include "library/phase/warmband.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/composition_cache.h"
#include "library/phase/envelope.h"
#include "library/phase/flashutil.h"
#include "library/phase/mixflash.h"
#include "library/phase/records.h"
#include "library/phase/stability.h"
#include "library/setup/modelgen.h"

namespace lib::warm {
namespace {

// One dew point: its pressure, temperature and vapour density; T 0 where
// it was not found.
struct DewPoint {
    double P = 0.0, T = 0.0, D = 0.0;
};

// The last dew points of a composition (the oldest goes first), found with
// the equations of model generation `generation`.
constexpr int kPoints = 16;
struct DewLine {
    DewPoint p[kPoints];
    int next = 0;
    unsigned long long generation = 0;
    // The pressures of the last states that found no point near them.
    double asked[kPoints] = {};
    int next_asked = 0;
    void add(const DewPoint& s) {
        p[next] = s;
        next = (next + 1) % kPoints;
    }
    // Whether a state within kBandStep of P found no point before; else
    // P is noted as such a state.
    bool asked_before(double P) {
        for (const double a : asked)
            if (a > 0.0 && a <= P * kBandStep && P <= a * kBandStep) return true;
        asked[next_asked] = P;
        next_asked = (next_asked + 1) % kPoints;
        return false;
    }
};

CompositionCache<DewLine> lines;

// Whether (T, P, Dl, Dv, xl, xv) is a dew point of z: its vapour the feed
// itself, its liquid a composition denser than it, both at P and of equal
// fugacities (within kDewCheck).  A point that is not (of another feed, or
// a state the saturation routine stopped on) shows nothing.
bool dew_point_of(const double z[20], double T, double P, double Dl, double Dv, const double xl[20],
                  const double xv[20]) {
    if (!(Dl > Dv)) return false;
    const int nc = std::min(NCOMP.nc, kMaxComp);
    double sum = 0.0;
    for (int i = 0; i < nc; ++i) {
        if (!(std::fabs(xv[i] - z[i]) <= kDewCheck) || !(xl[i] >= 0.0)) return false;
        sum += xl[i];
    }
    if (!(std::fabs(sum - 1.0) <= kDewCheck)) return false;
    double pl = 0.0, pv = 0.0, fl[20] = {}, fv[20] = {};
    PRESS(T, Dl, xl, pl);
    PRESS(T, Dv, z, pv);
    if (!(std::fabs(pl - P) <= kDewCheck * P) || !(std::fabs(pv - P) <= kDewCheck * P))
        return false;
    FGCTY(T, Dl, xl, fl);
    FGCTY(T, Dv, z, fv);
    for (int i = 0; i < nc; ++i)
        if (z[i] > 0.0 && !(std::fabs(fl[i] - fv[i]) <= kDewCheck * fv[i])) return false;
    return true;
}

// Whether the gas just above the dew point (T, P) of z, kBandMargin of T
// warmer, is stable: the dew point found is the line's highest at P, no
// other phase appears there first.  (Propane + water 80/20 at 0.23 MPa: the
// dew point of the propane-rich liquid lies near 270 K, that of the water
// near 353 K; from the first a gas at 350 K was shown stable, and so on down
// to 250 K, where nearly all the water is liquid.)
bool stable_above(double T, double P, double Dv, const double z[20]) {
    const double Ta = T * (1.0 + kBandMargin);
    double D = Dv;
    int ierr = 0;
    std::string herr;
    TPRHO(Ta, P, z, kVapour, kStartValue, D, ierr, herr);
    return ierr <= 0 && D > 0.0 && D < Dv && mix::single_phase_stable(Ta, D, z);
}

// The dew point of z at P, the saturation routines' kept results left as
// the caller's flashes had them (a flash that asks again at its own
// pressure takes its kept point, refined, to other last digits than a
// point found anew).
DewPoint dew_point(double P, const double z[20]) {
    const SatCache at_t = TSTSAV, at_p = PSTSAV;
    const FshsavRecord kept = FSHSAV;
    DewPoint s{P, 0.0, 0.0};
    double T = 0, Dl = 0, Dv = 0, xl[20] = {}, xv[20] = {};
    int ierr = 0;
    std::string herr;
    {
        flash::QuietMessages quiet;
        SATP(P, z, kDewPoint, T, Dl, Dv, xl, xv, ierr, herr);
    }
    if (ierr == 0 && T > 0.0 && std::isfinite(T) && Dv > 0.0 && std::isfinite(Dv) &&
        dew_point_of(z, T, P, Dl, Dv, xl, xv) && stable_above(T, P, Dv, z)) {
        s.T = T;
        s.D = Dv;
    }
    TSTSAV = at_t;
    PSTSAV = at_p;
    FSHSAV = kept;
    return s;
}

// What the points of a line say of a gas (T, D) at P.
enum class Shown { kYes, kNo, kNone };

// Whether a point of the line shows the gas (T, D) above it: of a pressure
// from P to kBandReach P, thinner than its vapour.  kNone where no point,
// found or not, lies there (a new one may show it); a point that was not
// found answers for its pressures all the same, so that the states of a
// falling pressure do not seek one at each step.
Shown shown(const DewLine& line, double T, double P, double D) {
    bool near = false;
    for (const DewPoint& s : line.p) {
        if (!(s.P > 0.0)) continue;
        const double ratio = s.P / P;
        if (!(ratio >= 1.0 && ratio <= kBandReach)) continue;
        near = true;
        if (s.T > 0.0 && T > s.T * (1.0 + kBandMargin) && D < s.D) return Shown::kYes;
    }
    return near ? Shown::kNo : Shown::kNone;
}

}  // namespace

bool clear_of_boundary(double T, double P, double D, const double z[20]) {
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    CRITP(z, Tc, Pc, Dc, jerr, jmsg);
    if (jerr > 0 || !(Pc > 0.0) || !(D < Dc) || mix::outside_two_phase_window(T, P, z, Tc) ||
        mix::any_frozen(T, z))
        return false;
    DewLine& line = lines.place(z);
    if (line.generation != model_generation()) {
        line = DewLine{};
        line.generation = model_generation();
    }
    const Shown by_kept = shown(line, T, P, D);
    if (by_kept != Shown::kNone) return by_kept == Shown::kYes;
    // A new point a step above P, below kBandPressure of the critical
    // pressure, where a state of about that pressure came before: a dew
    // point costs as much as a stability test, and pays where the states
    // come back (the steps of a cycle's iterations), not along a path
    // that passes each pressure once.
    const double Ps = P * kBandStep;
    if (!(Ps < kBandPressure * Pc) || !line.asked_before(P)) return false;
    line.add(dew_point(Ps, z));
    return shown(line, T, P, D) == Shown::kYes;
}

void forget_boundary() { lines.clear(); }

}  // namespace lib::warm
