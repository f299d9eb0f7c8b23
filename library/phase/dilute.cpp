// The gas root of a value along an isotherm below a low density: Newton's
// steps in ln D for the entropy, which is -R ln D and a function of T
// there, in D for the enthalpy and energy, which are linear in D there.
#include "library/phase/dilute.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/phase/flashutil.h"

namespace lib {
namespace {

// Steps enough to reach any density from 1e-4 mol/L; they end where the
// value is met to the rounding of its evaluation (a few units of its last
// digit), or where a step falls below kStep of the density and the value
// is met to kMatch of it.
constexpr int kSteps = 60;
constexpr double kRounding = 1e-15;
constexpr double kStep = 1e-13;
constexpr double kMatch = 1e-9;
// The most a step lowers the density before the root is bracketed: from
// 1e-4 to 1e-22 mol/L in six steps.
constexpr double kFall = 1e-3;

}  // namespace

double isotherm_slope(char letter, double T, double d, const double z[20]) {
    double p = 0, dpdd = 0, dpdt = 0;
    PRESS(T, d, z, p);
    DPDD(T, d, z, dpdd);
    DPDT(T, d, z, dpdt);
    const double de = (p - T * dpdt) / (d * d);
    if (letter == 'S') return -dpdt / (d * d);
    return letter == 'E' ? de : de + dpdd / d - p / (d * d);
}

bool dilute_root(char letter, double T, double b, const double z[20], double d, double& root) {
    // The value's distance from b, signed so that it rises towards lower
    // densities: an enthalpy that rises with the density there (helium
    // above its inversion temperature) is met from above.
    const double slope = isotherm_slope(letter, T, d, z);
    if (!(slope != 0.0) || !std::isfinite(slope)) return false;
    const double sign = slope < 0.0 ? 1.0 : -1.0;
    if (!(sign * (flash::prop(letter, T, d, z) - b) < 0.0)) return false;
    const double scale = std::max(std::fabs(b), 1.0);
    // The densities seen where the value lies above b (0: none yet) and
    // below it.
    double above = 0.0, below = d;
    for (int k = 0; k < kSteps; ++k) {
        const double f = sign * (flash::prop(letter, T, d, z) - b);
        const double g = sign * isotherm_slope(letter, T, d, z);
        if (!std::isfinite(f)) return false;
        if (std::fabs(f) <= kRounding * scale && k > 0) {
            root = d;
            return true;
        }
        (f > 0.0 ? above : below) = d;
        double next = 0.0;
        if (g < 0.0) next = letter == 'S' ? d * std::exp(-f / (d * g)) : d - f / g;
        // Newton's step is kept between the densities of either side and
        // falls at most by kFall (the energy bends away from its line in D:
        // methane + isopentane at 117.65 K, from 1.1e-7 mol/L the step went
        // to 1.4e-13 for a root at 4.4e-10); else the middle of the two in
        // ln D.
        const double least = above > 0.0 ? above : kFall * d;
        if (!(next > least && next < below)) next = above > 0.0 ? std::sqrt(above * below) : least;
        const double step = std::fabs(next - d) / d;
        d = next;
        if (step <= kStep) {
            root = d;
            return std::fabs(flash::prop(letter, T, d, z) - b) <= kMatch * scale;
        }
    }
    return false;
}

}  // namespace lib
