// The end of a mixture's saturation lines: the point where its bubble and
// dew lines meet (CRTPNT), not the estimate of CRITP, which lies off it by
// several kelvin (R410A: 353.71 K and 6.775 mol/L estimated, 344.49 K and
// 6.324 mol/L where the lines meet).  Kept for the last composition while
// the models stay (model_generation()).
#pragma once

namespace lib::mix {

// The critical point of mixture z where its lines meet, in place of the
// estimate (Tc, Pc, Dc in) where CRTPNT finds one close to it (within
// kNearEstimate of its temperature); true when the values were replaced.
bool line_end(const double z[20], double& Tc, double& Pc, double& Dc);

}  // namespace lib::mix
