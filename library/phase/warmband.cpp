// Saturation points of the warm starts' mixtures, kept per composition, and
// the test of a state clearly outside the two-phase region by them.
#include "library/phase/warmband.h"

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/composition_cache.h"
#include "library/phase/envelope.h"
#include "library/phase/flashutil.h"
#include "library/phase/stability.h"

namespace lib::warm {
namespace {

// One saturation point: its pressure, temperature and the density of the
// feed's phase there (the dew point's vapour, the bubble point's liquid);
// T 0 where it was not found.
struct SatPoint {
    double P = 0.0, T = 0.0, D = 0.0;
};

// The last points of one line of a composition (the oldest goes first).
constexpr int kPoints = 8;
struct Line {
    SatPoint p[kPoints];
    int next = 0;
    void add(const SatPoint& s) {
        p[next] = s;
        next = (next + 1) % kPoints;
    }
};

struct Lines {
    Line dew, bubble;
};

CompositionCache<Lines> lines;

// The saturation point of line kph of z at P.
SatPoint saturation_point(double P, const double z[20], int kph) {
    SatPoint s{P, 0.0, 0.0};
    double T = 0, Dl = 0, Dv = 0, xl[20] = {}, xv[20] = {};
    int ierr = 0;
    std::string herr;
    {
        flash::QuietMessages quiet;
        SATP(P, z, kph, T, Dl, Dv, xl, xv, ierr, herr);
    }
    const double D = kph == kDewPoint ? Dv : Dl;
    if (ierr == 0 && T > 0.0 && std::isfinite(T) && D > 0.0 && std::isfinite(D)) {
        s.T = T;
        s.D = D;
    }
    return s;
}

// What the points of a line say of (T, D) at P.
enum class Shown { kYes, kNo, kNone };

// Whether a point of the line shows (T, D) on its side: a gas (`gas`)
// above the dew point of a pressure from P to kBandReach P and thinner
// than its vapour, a liquid below the bubble point of a pressure from
// P / kBandReach to P and denser than its liquid.  kNone where no point,
// found or not, lies within kBandStep of P on that side (a new one may
// show it).
Shown shown(const Line& line, bool gas, double T, double P, double D) {
    bool near = false;
    for (const SatPoint& s : line.p) {
        if (!(s.P > 0.0)) continue;
        const double ratio = gas ? s.P / P : P / s.P;
        if (!(ratio >= 1.0 && ratio <= kBandReach)) continue;
        near = near || ratio <= kBandStep;
        if (!(s.T > 0.0)) continue;
        if (gas ? T > s.T * (1.0 + kBandMargin) && D < s.D
                : T < s.T * (1.0 - kBandMargin) && D > s.D)
            return Shown::kYes;
    }
    return near ? Shown::kNo : Shown::kNone;
}

}  // namespace

bool clear_of_boundary(double T, double P, double D, const double z[20]) {
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    CRITP(z, Tc, Pc, Dc, jerr, jmsg);
    if (jerr > 0 || !(Pc > 0.0) || !(Dc > 0.0) || mix::outside_two_phase_window(T, P, z, Tc) ||
        mix::any_frozen(T, z))
        return false;
    const bool gas = D < Dc;
    Lines& kept = lines.place(z);
    Line& line = gas ? kept.dew : kept.bubble;
    const Shown by_kept = shown(line, gas, T, P, D);
    if (by_kept != Shown::kNone) return by_kept == Shown::kYes;
    // A new point a step beyond P on the safe side, below kBandPressure of
    // the critical pressure.
    const double Ps = gas ? P * kBandStep : P / kBandStep;
    if (!(Ps < kBandPressure * Pc)) return false;
    line.add(saturation_point(Ps, z, gas ? kDewPoint : kBubblePoint));
    return shown(line, gas, T, P, D) == Shown::kYes;
}

void forget_boundary() { lines.clear(); }

}  // namespace lib::warm
