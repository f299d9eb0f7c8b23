// Combustor and Oxygen Injection Combustor: the fuel burns completely in
// the working fluid (the process's exhaust-gas fluid, which has a slot for
// every product); the oxygen injection combustor draws its oxidizer for
// whatever oxygen the stream lacks.
#pragma once

#include "app/core/model/records.h"

#include <string>

namespace app {

// Reference state of the enthalpy balances and heating values. A fuel or
// oxidizer whose equations end below COMBUSTION_T_REF (carbon monoxide at
// 500 K) moves the whole combustor's reference temperature down to their
// end.
inline constexpr double COMBUSTION_T_REF = 600.0;  // K
inline constexpr double COMBUSTION_P_REF = 100.0;  // kPa

// Why the combustor's fuel cannot burn (it holds no combustible
// component), as a text naming the combustor and the fuel; empty when it
// can, or when there is no fuel.
std::string fuel_problem(const Part& part);

// Heating values of the fuel, the outlet state for a fixed fuel flow or the
// fuel flow for a fixed outlet temperature, the exhaust composition, air
// ratio and heat released. 1 finished, 5 failed (failure text set). The
// library is left set up for the working fluid.
int calcCombustor(Part& part);

}  // namespace app
