// SATP of a mixture by SATT.  Within some 5 % of the critical pressure the
// iterations at given pressure leave the two-phase region (R513A at
// 3.52 MPa, 3 % below it), while those at given temperature still find both
// points (0.02 % apart there): the temperature is found on SATT's line.
#include "library/phase/satpinv.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/brent.h"
#include "library/phase/flashutil.h"
#include "library/phase/satmarch.h"

namespace lib {
namespace {

// The first step up or down the line (a share of T), the most steps, and
// the shorter steps tried where SATT finds no point one step on (the top
// of the line close to the critical point).
constexpr double kStep = 0.01;
constexpr int kSteps = 40;
constexpr int kShorterSteps = 3;
// Where the line ends within a step up (SATT finds no point there, twice:
// once may be a point SATT missed), its pressure at the end lies below P
// when even this many times the slope of ln p over the last step carried
// to the failed temperature stays below it: the shorter steps (each
// failing SATT marches along the line, 20-40 ms close to the critical
// point) are not tried.  Dry ISO Air at 5 MPa, 1.3 MPa above the line's
// end: 110 ms for no point.
constexpr double kEndSlopes = 3.0;
// How far below P the last point of SATT's line may lie for the march on at
// given pressure to be tried.
constexpr double kTopShare = 0.02;

// A point SATT gave on the way up its line.
struct LastPoint {
    double b = 0.0, p = 0.0, Dl = 0.0, Dv = 0.0, xl[20] = {}, xv[20] = {};
    void keep(double t, double pt, double dl, double dv, const double l[20], const double v[20]) {
        b = t;
        p = pt;
        Dl = dl;
        Dv = dv;
        flash::copy20(l, xl);
        flash::copy20(v, xv);
    }
};

// Where SATT's line stops below P within kTopShare of it (`last`), the point at P
// further on at given pressure: beyond the top of a dew line in
// temperature (its cricondentherm) the line turns back up to the critical
// point (R407C: 359.3429 K at 4630.8 kPa, the critical point at 359.29 K,
// 4639.3 kPa; the dew point of 4634.7 kPa lies there, at no temperature
// where SATT's point has that pressure).
bool march_at_pressure(double P, const double x[20], int kph, const LastPoint& last, double& T,
                       double& Dl, double& Dv, double xl[20], double xv[20]) {
    double t = last.b, p = last.p, dl = last.Dl, dv = last.Dv, l[20], v[20];
    flash::copy20(last.xl, l);
    flash::copy20(last.xv, v);
    if (!mix::saturation_march_from(kph + 2, x, P, t, p, dl, dv, l, v) ||
        !(std::fabs(p / P - 1.0) < 1e-9) || !(dl > dv))
        return false;
    T = t;
    Dl = dl;
    Dv = dv;
    flash::copy20(l, xl);
    flash::copy20(v, xv);
    return true;
}

bool beyond_the_top(double P, const double x[20], int kph, const LastPoint& last, double& T,
                    double& Dl, double& Dv, double xl[20], double xv[20]) {
    return last.p > (1.0 - kTopShare) * P && last.p < P &&
           march_at_pressure(P, x, kph, last, T, Dl, Dv, xl, xv);
}

}  // namespace

bool satp_by_satt(double P, const double x[20], int kph, double Tc, double& T, double& Dl,
                  double& Dv, double xl[20], double xv[20]) {
    static bool active = false;
    if (active || !(P > 0.0) || !(Tc > 0.0)) return false;
    active = true;
    struct Reset {
        ~Reset() { active = false; }
    } reset;
    // ln of SATT's pressure over P at t; the warmest point SATT found below P.
    LastPoint below;
    const auto g = [&](double t, double& r) {
        double p = 0, dl = 0, dv = 0, l[20], v[20];
        int jerr = 0;
        std::string jmsg;
        flash::QuietMessages quiet;
        SATT(t, x, kph, p, dl, dv, l, v, jerr, jmsg);
        if (jerr > 0 || !(p > 0.0) || !std::isfinite(p)) return false;
        r = std::log(p / P);
        if (r < 0.0 && t > below.b) below.keep(t, p, dl, dv, l, v);
        return true;
    };
    double a = 0.95 * Tc, fa = 0.0;
    if (!g(a, fa)) return false;
    // Up the line where its pressure lies below P, down where above.
    const double dir = fa < 0.0 ? 1.0 : -1.0;
    if (dir > 0.0 && march_at_pressure(P, x, kph, below, T, Dl, Dv, xl, xv)) return true;
    double b = a, fb = fa, step = kStep;
    bool bracketed = fa == 0.0, have_slope = false;
    for (int k = 0, shorter = 0; k < kSteps && !bracketed; ++k) {
        const double t = b * (1.0 + dir * step);
        double ft = 0.0;
        if (!g(t, ft)) {
            if (++shorter > kShorterSteps) break;
            if (shorter > 1 && dir > 0.0 && have_slope && fb < 0.0) {
                const double slope = std::max(0.0, (fb - fa) / (b - a));
                if (fb + kEndSlopes * slope * (t - b) < 0.0) break;
            }
            step *= 0.1;
            continue;
        }
        have_slope = true;
        a = b;
        fa = fb;
        b = t;
        fb = ft;
        bracketed = (fa < 0.0) != (fb < 0.0) || fb == 0.0;
    }
    // (Where SATT's line jumps to another of its points beside the critical
    // point, the bracket holds no root: R422D at 351.270 K gives 3789.1 kPa,
    // at 351.275 K 3798.9.)
    const auto on_at_p = [&] {
        return dir > 0.0 && beyond_the_top(P, x, kph, below, T, Dl, Dv, xl, xv);
    };
    double root = b;
    if (!bracketed || (fb != 0.0 && !brent_root(g, a, fa, b, fb, 1e-14, 1e-15, 80, root)))
        return on_at_p();
    double p = 0, dl = 0, dv = 0, l[20], v[20];
    int jerr = 0;
    std::string jmsg;
    {
        flash::QuietMessages quiet;
        SATT(root, x, kph, p, dl, dv, l, v, jerr, jmsg);
    }
    if (jerr > 0 || !(std::fabs(p / P - 1.0) < 1e-9) || !(dl > dv)) return on_at_p();
    T = root;
    Dl = dl;
    Dv = dv;
    flash::copy20(l, xl);
    flash::copy20(v, xv);
    return true;
}

}  // namespace lib
