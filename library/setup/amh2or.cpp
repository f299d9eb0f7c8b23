// AMH2OR: the reference alignment of ammonia + water mixtures.
#include <cmath>
#include <string_view>

#include "library/library.h"
#include "library/models/records.h"
#include "library/setup/modelgen.h"
#include "library/setup/records.h"
#include "library/setup/sethmx.h"

namespace lib {

namespace {

constexpr double kRgas = 8.314471;  // gas constant of the ammonia + water model
constexpr double kWaterH0 = 45957.74401972, kWaterS0 = 164.007259009;
constexpr double kAmmoniaH0 = 28945.5688500127, kAmmoniaS0 = 159.336684302313;

bool near(double a, double b, double tol) { return std::fabs(a - b) <= tol; }

}  // namespace

void AMH2OR() {
    const ModelsChange change;
    if (NCOMP.nc != 2) return;
    int water = 0, ammonia = 0;
    for (int i = 1; i <= 2; ++i) {
        const std::string_view c = trim_right(CCAS[i]);
        if (c == "7732-18-5") water = i;
        if (c == "7664-41-7") ammonia = i;
    }
    if (water == 0 || ammonia == 0) return;
    if (!near(CREF.tref[water], 300.0, 0.001)) return;
    if (!near(CREFDF.h[water], 45957.0, 1.0) || !near(CREFDF.s[water], 164.0, 1.0) ||
        !near(CREFDF.h[ammonia], 28945.0, 1.0) || !near(CREFDF.s[ammonia], 159.0, 1.0))
        return;
    CCON.rgas[water] = kRgas;
    if (EOSMOD.cp0[water].starts("CP")) WRDCPP.cr[water] = kRgas;
    CREFDF.h[water] = kWaterH0;
    CREFDF.s[water] = kWaterS0;
    CREFDF.h[ammonia] = kAmmoniaH0;
    CREFDF.s[ammonia] = kAmmoniaS0;
    std::string hrf = "DEF";
    const double x0[20] = {1.0};
    int ierr = 0;
    std::string herr;
    SETREF(hrf, 1, x0, 0.0, 0.0, 0.0, 0.0, ierr, herr);
}

}  // namespace lib
