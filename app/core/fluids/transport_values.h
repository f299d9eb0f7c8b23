// Transport properties of the fluid last set up (init_stoffwerte), at a
// temperature and pressure: the property table's access to viscosity and
// thermal conductivity.
#pragma once

#include "app/core/model/records.h"

#include <string>

namespace app {

// Result of get_trnsp_by_T_and_p for a state inside the two-phase region of
// a mixture: no transport property is defined for it.
inline constexpr int TRANSPORT_TWO_PHASE = 24301;
// Result when the fluid has no model for one of the properties.
inline constexpr int TRANSPORT_NO_MODEL = 40;
// The library's result for a mixture class it has no transport model for
// without pair parameters (water above 5 %, ammonia with water, alcohols).
inline constexpr int TRANSPORT_MIXTURE_CLASS = 50;

// Why the latest get_trnsp_by_T_and_p with a non-zero result did not give
// every value (the library's message, or this layer's).
extern std::string last_transport_message;

// Dynamic viscosity eta (uPa s), kinematic viscosity nu = eta / rho (mm2/s)
// and thermal conductivity lambda (W/(m K)) at T (K) and p (kPa): a T-p
// flash, then the library's transport routine at the flash's density.
// Result 0: all three are values.  Otherwise the flash's error, the
// library's report (an error, or a warning that comes with values), or
// TRANSPORT_TWO_PHASE / TRANSPORT_NO_MODEL, with last_transport_message; a
// property that was not computed then holds a marker, which
// is_transport_value tells from a value.
int get_trnsp_by_T_and_p(const double* c, double T, double p, double& eta, double& nu,
                         double& lambda);

// True for a computed transport value, false for a "not available" marker.
bool is_transport_value(double v);

// Why the fluid, with the composition x, has no viscosity and thermal
// conductivity at any state, in words for the user ("" when it has them):
// a mixture with water above 5 %, ammonia with water or an alcohol, whose
// components the mixture data pair without transport parameters.  Asks the
// library, which must be set up for the fluid.
std::string transport_unavailable_reason(const Fluid& fluid, const double* x);

}  // namespace app
