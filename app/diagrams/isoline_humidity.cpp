// The humid composition of a fluid with relative humidity at standard
// values, for the time of an isoline computation.
#include "app/diagrams/isolines.h"
#include "library/library.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace app::diagrams {

void relative_humidity_to_mol_proz(Fluid& f) {
    if (f.humidity_type != HT_RH_STANDARD) return;
    f.x_saved = f.x;
    double ps = 0, Dl = 0, Dv = 0, xl[MAX_COMPONENTS] = {}, xv[MAX_COMPONENTS] = {};
    int ierr = 0;
    std::string herr;
    lib::SATT(f.ref_hum_T, f.x_water.data(), lib::kDewPoint, ps, Dl, Dv, xl, xv, ierr, herr);
    if (ierr > 0 || !std::isfinite(ps) || !(f.ref_hum_p > 0)) ps = 0;  // no humid share known
    const double xw = std::clamp(f.ref_hum_rh * ps / f.ref_hum_p + f.ref_hum_liquid, 0.0, 1.0);
    const int wp = std::clamp(f.water_pos, 0, MAX_COMPONENTS - 1);
    for (int i = 0; i < f.az_components && i < MAX_COMPONENTS; ++i)
        f.x[static_cast<std::size_t>(i)] =
            i == wp ? xw : f.x_saved[static_cast<std::size_t>(i)] * (1 - xw);
}

void mol_proz_restore(Fluid& f) { f.x = f.x_saved; }

}  // namespace app::diagrams
