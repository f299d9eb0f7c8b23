// Mixer and Splitter: the parts that join and divide streams. Both have
// three steps; their points hold the first inlet (0), the main outlet (1),
// the second stream (2) and the outlet again (3).
#pragma once

#include "app/core/model/records.h"

namespace app {

// Reference state of the mixer's enthalpy balance.
inline constexpr double MIXER_T_REF = 288.15;  // K
inline constexpr double MIXER_P_REF = 100.0;   // kPa

// Divides the stream by the option "Mass distribution" into two outlets of
// the inlet's state. 1, or 5 (failure text set) when a share lies outside
// 0..1 or a flow is not above 0.
int calcSplitter(Part& part);

// Mixes the second inlet (from the part with prev_id[1] in current_project)
// adiabatically into the stream at the lower of the two pressures. 1
// finished, 2 provisional (the second feed not yet calculated in this
// sweep: the stream passes through), 5 failed: no second feed, streams of
// fluids with different components, flows not above 0, a state not found.
int calcMixer(Part& part);

}  // namespace app
