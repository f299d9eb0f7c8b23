// The humid composition of a fluid with relative humidity at standard
// values, with the limits of its equations, for the time of an isoline
// computation or a read-out.
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

// The limits of a fluid record are those of the composition it was set up
// with, which for Humid ISO Air holds no water: with its humid share the
// equations end at 1944 K, not 1993.7 K, and every state between was
// refused with a warning (its isobars ended at 1146 K, its density lines
// at 1787 K, the samples below the highest temperature).
LineComposition::LineComposition(Fluid& fluid)
    : fluid_(fluid), humid_(fluid.humidity_type == HT_RH_STANDARD) {
    if (!humid_) return;
    Tmin_ = fluid_.Tmin, Tmax_ = fluid_.Tmax, pmax_ = fluid_.pmax, Dmax_ = fluid_.Dmax;
    relative_humidity_to_mol_proz(fluid_);
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int ierr = 0;
    std::string herr;
    lib::LIMITX("EOS", 300.0, 0.0, 0.0, fluid_.x.data(), tmin, tmax, dmax, pmax, ierr, herr);
    if (!(tmin > 0 && tmax > tmin && dmax > 0 && pmax > 0)) return;  // the record's own
    fluid_.Tmin = tmin, fluid_.Tmax = tmax, fluid_.pmax = pmax;
    fluid_.Dmax = dmax * lib::WMOL(fluid_.x.data());
}

LineComposition::~LineComposition() {
    if (!humid_) return;
    mol_proz_restore(fluid_);
    fluid_.Tmin = Tmin_, fluid_.Tmax = Tmax_, fluid_.pmax = pmax_, fluid_.Dmax = Dmax_;
}

}  // namespace app::diagrams
