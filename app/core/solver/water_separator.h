// Water Separator: takes all the water out of a humid working fluid (humid
// air, exhaust gas). Water still vapour is first condensed by cooling the
// stream to the dew point of its water (never heating it); the liquid water
// leaves the process.
#pragma once

#include "app/core/model/records.h"

namespace app {

// 1 finished (also when the stream holds no water: it then passes through
// with no heat and no water taken out), 5 failed (failure text set): the
// fluid "Water" or "Steam", the pressure loss, a state not found.
//
// Heat outputs follow the heat exchangers' sign: "Specific Heat Flux" and
// "Heat" are negative when heat is taken out. "Condensation Heat" is the
// latent heat of the water that condenses here.
int calcWaterseparator(Part& part);

}  // namespace app
