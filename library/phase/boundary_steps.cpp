// The step of SATSPLN's trace: fine about the characteristic points of the
// boundary, longer where the boundary is smooth (each point costs a Newton
// solution).
#include "library/phase/boundary_steps.h"

#include <algorithm>
#include <cmath>

namespace lib::mix {

bool BoundarySteps::near_feature(const BoundaryPoint& prev, const BoundaryPoint& p,
                                 const double g[]) {
    bool near = p.D > 0.85 * dc && p.D < 1.15 * dc;
    const double limits[kFeatures] = {kFeatureSlope, kFeatureSlope, kFeatureCritical};
    for (int k = 0; k < kFeatures; ++k) {
        if (std::fabs(g[k]) < limits[k]) near = true;
        if (!seen) continue;
        if ((g[k] > 0.0) != (last[k] > 0.0)) {
            crossed[k] = p.D;
            ever_crossed[k] = true;
        }
        if (ever_crossed[k] && p.D - crossed[k] < kFeatureReach) near = true;
        // (Where the indicator, extrapolated, reaches zero.)
        const double slope = (g[k] - last[k]) / (p.D - prev.D);
        if (slope != 0.0 && std::isfinite(slope)) {
            const double ahead = -g[k] / slope;
            if (ahead > 0.0 && ahead < kFeatureReach + step) near = true;
        }
    }
    for (int k = 0; k < kFeatures; ++k) last[k] = g[k];
    seen = true;
    return near;
}

void BoundarySteps::taken(const BoundaryPoint& prev, const BoundaryPoint& p,
                          const BoundaryPoint* guess, double top) {
    const double dlnd = std::log(p.D / prev.D);
    const double st = dlnd != 0.0 ? std::log(p.T / prev.T) / dlnd : 1.0;
    const double sp = dlnd != 0.0 ? std::log(p.P / prev.P) / dlnd : 1.0;
    const double g[kFeatures] = {st, sp, std::log(p.Dinc / p.D)};
    const bool near = near_feature(prev, p, g);
    if (guess == nullptr || near || !std::isfinite(st + sp)) {
        step = kFineStep;
        return;
    }
    double e = std::fabs(std::log(p.T / guess->T));
    e = std::max(e, std::fabs(std::log(p.P / guess->P)));
    e = std::max(e, std::fabs(std::log(p.Dinc / guess->Dinc)));
    double h = step * std::clamp(e > 0.0 ? std::cbrt(kPredictionError / e) : 2.0, 0.5, 2.0);
    if (p.T > 0.95 * top) h = std::min(h, kTopStep / std::max(std::fabs(st), 1e-10) * p.D);
    if (!std::isfinite(h)) h = kFineStep;
    step = kFineStep * std::floor(std::clamp(h, kFineStep, kLongestStep) / kFineStep + 1e-9);
}

}  // namespace lib::mix
