// The end of a mixture's saturation lines (its true critical point).
#include "library/phase/satend.h"

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/setup/modelgen.h"

namespace lib::mix {
namespace {

// The share of the estimated critical temperature within which the point
// CRTPNT finds is taken for the end of the lines: the blends' lie within
// 3 % of their estimates; a point farther away is another root of the
// criticality conditions (a wet gas's at 687 K and 4.6 GPa).
constexpr double kNearEstimate = 0.1;

// The last composition's point and the model count it was found at.
struct KeptEnd {
    bool valid = false, found = false;
    unsigned long long generation = 0;
    double z[20] = {};
    double T = 0.0, P = 0.0, D = 0.0;
};
KeptEnd kept;

bool same_composition(const double a[20], const double b[20]) {
    for (int i = 0; i < 20; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

}  // namespace

bool line_end(const double z[20], double& Tc, double& Pc, double& Dc) {
    if (!(kept.valid && kept.generation == model_generation() && same_composition(kept.z, z))) {
        kept = KeptEnd{};
        flash::copy20(z, kept.z);
        int jerr = 0;
        std::string jmsg;
        {
            flash::QuietMessages quiet;
            CRTPNT(z, kept.T, kept.P, kept.D, jerr, jmsg);
        }
        kept.found = jerr == 0 && kept.T > 0.0 && kept.P > 0.0 && kept.D > 0.0 &&
                     std::isfinite(kept.T + kept.P + kept.D);
        kept.generation = model_generation();
        kept.valid = true;
    }
    if (!kept.found || !(std::fabs(kept.T / Tc - 1.0) < kNearEstimate)) return false;
    Tc = kept.T;
    Pc = kept.P;
    Dc = kept.D;
    return true;
}

}  // namespace lib::mix
