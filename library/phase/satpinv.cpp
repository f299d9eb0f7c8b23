// SATP of a mixture by SATT.  Within some 5 % of the critical pressure the
// iterations at given pressure leave the two-phase region (R513A at
// 3.52 MPa, 3 % below it), while those at given temperature still find both
// points (0.02 % apart there): the point is reached from one of SATT's.
#include "library/phase/satpinv.h"

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/brent.h"
#include "library/phase/flashutil.h"
#include "library/phase/satmarch.h"

namespace lib {
namespace {

// The first step down the line (a share of T), the most steps, and the
// shorter steps tried where SATT finds no point one step on.
constexpr double kStep = 0.01;
constexpr int kSteps = 40;
constexpr int kShorterSteps = 3;

// A point of SATT's line.
struct LinePoint {
    double T = 0.0, P = 0.0, Dl = 0.0, Dv = 0.0, xl[20] = {}, xv[20] = {};
};

// SATT's point of kind kph at T; false where it finds none.
bool satt_point(double T, const double x[20], int kph, LinePoint& pt) {
    int jerr = 0;
    std::string jmsg;
    flash::QuietMessages quiet;
    pt.T = T;
    SATT(T, x, kph, pt.P, pt.Dl, pt.Dv, pt.xl, pt.xv, jerr, jmsg);
    return jerr <= 0 && pt.P > 0.0 && std::isfinite(pt.P);
}

// The point at P marched to at given pressure from point `from` of the line
// below it.  Up the line towards the critical point the pressure rises
// where the temperature turns back (beyond the top of a dew line in
// temperature, its cricondentherm: R407C's dew line reaches 359.3429 K at
// 4630.8 kPa and the critical point at 359.29 K, 4639.3 kPa; its dew point
// of 4634.7 kPa is no SATT point of that pressure at any temperature), and
// where SATT's line jumps to another of its points beside the critical
// point (R422D at 351.270 K gives 3789.1 kPa, at 351.275 K 3798.9), which
// a search for the temperature of SATT's point at P took for a root.
// Stepping SATT up the line cost up to 0.9 s where no point lies at P.
bool march_at_pressure(double P, const double x[20], int kph, const LinePoint& from,
                       LinePoint& found) {
    found = from;
    return mix::saturation_march_from(kph + 2, x, P, found.T, found.P, found.Dl, found.Dv, found.xl,
                                      found.xv) &&
           std::fabs(found.P / P - 1.0) < 1e-9 && found.Dl > found.Dv;
}

// The point at P found down the line from `from` (above P): the
// temperature at which SATT's point has pressure P, bracketed in steps and
// narrowed by Brent's method.
bool down_the_line(double P, const double x[20], int kph, const LinePoint& from, LinePoint& found) {
    // ln of SATT's pressure over P at t.
    const auto g = [&](double t, double& r) {
        LinePoint pt;
        if (!satt_point(t, x, kph, pt)) return false;
        r = std::log(pt.P / P);
        return true;
    };
    double a = from.T, fa = std::log(from.P / P), b = a, fb = fa, step = kStep;
    bool bracketed = fa == 0.0;
    for (int k = 0, shorter = 0; k < kSteps && !bracketed; ++k) {
        const double t = b * (1.0 - step);
        double ft = 0.0;
        if (!g(t, ft)) {
            if (++shorter > kShorterSteps) return false;
            step *= 0.1;
            continue;
        }
        a = b;
        fa = fb;
        b = t;
        fb = ft;
        bracketed = (fa < 0.0) != (fb < 0.0) || fb == 0.0;
    }
    double root = b;
    if (!bracketed || (fb != 0.0 && !brent_root(g, a, fa, b, fb, 1e-14, 1e-15, 80, root)))
        return false;
    return satt_point(root, x, kph, found) && std::fabs(found.P / P - 1.0) < 1e-9 &&
           found.Dl > found.Dv;
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
    LinePoint start, found;
    if (!satt_point(0.95 * Tc, x, kph, start)) return false;
    if (!(start.P < P ? march_at_pressure(P, x, kph, start, found)
                      : down_the_line(P, x, kph, start, found)))
        return false;
    T = found.T;
    Dl = found.Dl;
    Dv = found.Dv;
    flash::copy20(found.xl, xl);
    flash::copy20(found.xv, xv);
    return true;
}

}  // namespace lib
