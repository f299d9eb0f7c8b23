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

}  // namespace

bool satp_by_satt(double P, const double x[20], int kph, double Tc, double& T, double& Dl,
                  double& Dv, double xl[20], double xv[20]) {
    static bool active = false;
    if (active || !(P > 0.0) || !(Tc > 0.0)) return false;
    active = true;
    struct Reset {
        ~Reset() { active = false; }
    } reset;
    // ln of SATT's pressure over P at t.
    const auto g = [&](double t, double& r) {
        double p = 0, dl = 0, dv = 0, l[20], v[20];
        int jerr = 0;
        std::string jmsg;
        flash::QuietMessages quiet;
        SATT(t, x, kph, p, dl, dv, l, v, jerr, jmsg);
        if (jerr > 0 || !(p > 0.0) || !std::isfinite(p)) return false;
        r = std::log(p / P);
        return true;
    };
    double a = 0.95 * Tc, fa = 0.0;
    if (!g(a, fa)) return false;
    // Up the line where its pressure lies below P, down where above.
    const double dir = fa < 0.0 ? 1.0 : -1.0;
    double b = a, fb = fa, step = kStep;
    bool bracketed = fa == 0.0, have_slope = false;
    for (int k = 0, shorter = 0; k < kSteps && !bracketed; ++k) {
        const double t = b * (1.0 + dir * step);
        double ft = 0.0;
        if (!g(t, ft)) {
            if (++shorter > kShorterSteps) return false;
            if (shorter > 1 && dir > 0.0 && have_slope && fb < 0.0) {
                const double slope = std::max(0.0, (fb - fa) / (b - a));
                if (fb + kEndSlopes * slope * (t - b) < 0.0) return false;
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
    double root = b;
    if (!bracketed || (fb != 0.0 && !brent_root(g, a, fa, b, fb, 1e-14, 1e-15, 80, root)))
        return false;
    double p = 0, dl = 0, dv = 0, l[20], v[20];
    int jerr = 0;
    std::string jmsg;
    {
        flash::QuietMessages quiet;
        SATT(root, x, kph, p, dl, dv, l, v, jerr, jmsg);
    }
    if (jerr > 0 || !(std::fabs(p / P - 1.0) < 1e-9) || !(dl > dv)) return false;
    T = root;
    Dl = dl;
    Dv = dv;
    flash::copy20(l, xl);
    flash::copy20(v, xv);
    return true;
}

}  // namespace lib
