// Parts that change a stream's enthalpy and pressure without work:
// Intercooler, Heat Exchanger and Pressure Loss Element (calcHeatExchanger),
// Condenser, Pipeline. Each fixes the outlet point first and fills the points
// between with fade. Failures store their text in the part and return 5.
#pragma once

#include "app/core/model/records.h"

namespace app {

// The outlet pressure from the option "Pressure Loss"; 1, or 5.
int calcOutletPressure(Part& part);
// Fills points 1..n between the inlet point and the outlet pressure and
// enthalpy already stored at point n; 1, or 5.
int fade(Part& part);
// 1 finished, 2 provisional (seeded by an interface), 5 failed.
int calcHeatExchanger(Part& part);
// Saturated liquid at the outlet pressure; 1 or 5.
int calcCondenser(Part& part);
// Pressure loss and heat flux scaled by the part's old-format value; 1 or 5.
int calcPipeline(Part& part);

}  // namespace app
