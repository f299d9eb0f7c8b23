// The states of a warm-started flash of a mixture that lie clearly outside
// its two-phase region, without the tangent-plane test: a gas hotter than
// the dew point, a liquid colder than the bubble point, of a nearby
// pressure on the safe side.  The points are kept per composition of the
// set-up (forgotten with the traced envelopes, library/phase/envelope.h).
#pragma once

namespace lib::warm {

// Whether the mixture's state (T, P, D) is shown stable by a kept or new
// saturation point of z: a gas (D below the dew point's vapour density)
// more than kBandMargin of T above the dew temperature at a pressure from P
// to kBandReach times P, or a liquid (D above the bubble point's liquid
// density) that far below the bubble temperature at a pressure from P /
// kBandReach to P.  Along the dew and bubble lines of a mixture below
// kBandPressure of its critical pressure the temperature rises with the
// pressure, so that the gas lies above its own dew point and the liquid
// below its own bubble point, each on its side of the phase boundary where
// the tangent-plane test finds no trial phase; and its density on that
// side shows it the root the test would take.  False (nothing shown) where
// the saturation point fails, the state lies near or inside the boundary,
// a component is frozen, or (T, P) lies outside the window of the
// two-phase states (the caller's usual road is cheap there).
bool clear_of_boundary(double T, double P, double D, const double z[20]);

// Forgets the kept points (a new set-up or new mixing parameters).
void forget_boundary();

// The share of T a state lies beyond the saturation point's temperature.
constexpr double kBandMargin = 2e-3;
// The farthest ratio of pressures a saturation point answers for, and the
// ratio at which a new one is sought (beyond the state's pressure, so that
// it answers for the next states of a compression or expansion too).
constexpr double kBandReach = 1.3;
constexpr double kBandStep = 1.1;
// The highest share of the critical pressure at which the points are used.
constexpr double kBandPressure = 0.7;

}  // namespace lib::warm
