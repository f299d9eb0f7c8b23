// The gases of a warm-started flash of a mixture that lie clearly above its
// dew point, shown stable without the tangent-plane test by a dew point of
// a nearby higher pressure.  The points are kept per composition and per
// model generation (library/setup/modelgen.h), forgotten with the traced
// envelopes (library/phase/envelope.h), and each is checked as a dew point
// of that very composition before it is kept (kDewCheck).
#pragma once

namespace lib::warm {

// Whether the mixture's state (T, P, D) is shown stable by a kept or new
// dew point of z: a gas (D below the dew point's vapour density) more than
// kBandMargin of T above the dew temperature at a pressure from P to
// kBandReach times P.  Along the dew line of a mixture below kBandPressure
// of its critical pressure the temperature rises with the pressure, so that
// the gas lies above its own dew point, where the tangent-plane test finds
// no trial phase; and its density shows it the gas root the test would
// take.  (A liquid below its bubble point is not shown so: it may still
// split in two liquids, R23 + R116 at 160 K, 30 K below it.)  False
// (nothing shown) where the dew point fails, the state lies near or inside
// the boundary, a component is frozen, or (T, P) lies outside the window
// of the two-phase states (the caller's usual road is cheap there).
bool clear_of_boundary(double T, double P, double D, const double z[20]);

// Forgets the kept points (a new set-up or new mixing parameters).
void forget_boundary();

// The share of T a gas lies above the dew point's temperature.
constexpr double kBandMargin = 2e-3;
// The farthest ratio of pressures a dew point answers for, and the ratio at
// which a new one is sought (above the state's pressure, so that it answers
// for the next states of a compression too).
constexpr double kBandReach = 1.3;
constexpr double kBandStep = 1.1;
// The tolerance of a dew point's check: its vapour's fractions against the
// feed's, its phases' pressures and fugacities against each other (relative).
constexpr double kDewCheck = 1e-8;
// The highest share of the critical pressure at which the points are used.
constexpr double kBandPressure = 0.7;

}  // namespace lib::warm
