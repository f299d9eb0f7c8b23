// Combustor and Oxygen Injection Combustor: the fuel burns completely in
// the working fluid (the process's exhaust-gas fluid, which has a slot for
// every product); the oxygen injection combustor draws its oxidizer for
// whatever oxygen the stream lacks.
#pragma once

#include "app/core/model/records.h"

namespace app {

// Reference state of the enthalpy balances and heating values.
inline constexpr double COMBUSTION_T_REF = 600.0;  // K
inline constexpr double COMBUSTION_P_REF = 100.0;  // kPa

// Heating values of the fuel, the outlet state for a fixed fuel flow or the
// fuel flow for a fixed outlet temperature, the exhaust composition, air
// ratio and heat released. 1 finished, 5 failed (failure text set). The
// library is left set up for the working fluid.
int calcCombustor(Part& part);

}  // namespace app
