// The step of SATSPLN's trace from one boundary point to the next, in the
// density of the feed phase.
#pragma once

#include "library/phase/boundary_point.h"

namespace lib::mix {

// The fine step, and the longest: every step is a whole multiple of the
// fine one, so that a trace's points about its characteristic points fall
// on the same grid however it got there.
constexpr double kFineStep = 0.1;  // mol/L
constexpr double kLongestStep = 1.0;

// Fine steps where the boundary has a characteristic point (highest
// temperature: d ln T / d ln D = 0; highest pressure: d ln P / d ln D = 0;
// critical point: Dinc = D), from kFeatureReach before it (its indicator
// extrapolated from the last two points) to kFeatureReach after it, and
// within 0.7..1.3 times the estimated critical density.  Elsewhere the step
// follows how far the predicted start of the last point lay from its
// solution (tolerance kPredictionError in ln T, ln P and ln Dinc, the step
// changing by a factor 0.5..2), and near the highest temperature moves
// ln T by kTopStep at most (the cricondentherm's cache wants no gap of 1 %
// there).
constexpr double kFeatureSlope = 0.03;     // |d ln T / d ln D|, |d ln P / d ln D| below
constexpr double kFeatureCritical = 0.25;  // |ln(Dinc / D)| below
constexpr double kFeatureReach = 1.0;      // mol/L
constexpr double kPredictionError = 1e-3;
constexpr double kTopStep = 0.005;

class BoundarySteps {
public:
    explicit BoundarySteps(double Dc) : dc(Dc) {}
    // The step to take next.
    double next() const { return step; }
    // After a point that was not taken.
    void rejected() { step = kFineStep; }
    // After point p, stored after prev; guess its predicted start (null where
    // none was predicted); top the highest temperature so far.
    void taken(const BoundaryPoint& prev, const BoundaryPoint& p, const BoundaryPoint* guess,
               double top);

private:
    static constexpr int kFeatures = 3;
    double dc;
    double step = kFineStep;
    double last[kFeatures] = {};     // each indicator at the point before
    double crossed[kFeatures] = {};  // the density where it last changed sign
    bool seen = false, ever_crossed[kFeatures] = {};

    bool near_feature(const BoundaryPoint& prev, const BoundaryPoint& p, const double g[]);
};

}  // namespace lib::mix
