// The corresponding-states value scaled to meet a fluid's own correlation at
// the edge of its range (see handover.h).
#include "library/transport/handover.h"

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "library/library.h"
#include "library/setup/common.h"
#include "library/setup/records.h"
#include "library/transport/etak.h"
#include "library/transport/tcxk.h"
#include "library/transport/trnecs.h"

namespace lib::handover {

namespace {

constexpr double kNone = std::numeric_limits<double>::infinity();

// Published upper pressures, kPa, by CAS number (normal and para-hydrogen;
// deuterium's viscosity is the hydrogen form scaled).
struct Published {
    std::string_view cas;
    Property p;
    double pmax;
};
constexpr std::array<Published, 5> kPublished = {{
    // Muzny, Huber, Kazakov (2013): triple point to 1000 K, to 200 MPa.
    {"1333-74-0", kViscosity, 200000.0},
    {"1333-74-0p", kViscosity, 200000.0},
    {"7782-39-0", kViscosity, 200000.0},
    // Assael et al. (2011): triple point to 1000 K and up to 100 MPa.
    {"1333-74-0", kConductivity, 100000.0},
    {"1333-74-0p", kConductivity, 100000.0},
}};

// The correlation's own value at (T, D).
bool correlation(Property p, int k, double T, double D, double& v) {
    int ierr = 0;
    std::string herr;
    if (p == kViscosity)
        ETAK(k, T, D, v, ierr, herr);
    else
        TCXK(k, T, D, v, ierr, herr);
    return ierr <= 0 && std::isfinite(v) && v > 0.0;
}

// The corresponding-states value at (T, D).
bool ecs(Property p, const double x[20], double T, double D, double& v) {
    double eta = kMarker9, tcx = kMarker9;
    int ierr = 0;
    std::string herr;
    TRNECS(T, D, x, eta, tcx, ierr, herr);
    v = p == kViscosity ? eta : tcx;
    return ierr <= 0 && std::isfinite(v) && v > 0.0;
}

// The density of the edge state of phase `liquid` at (Te, Pe); a liquid
// beyond a temperature edge below the critical point: the saturated liquid
// at Te.
bool edge_density(int k, const double x[20], double Te, double Pe, bool liquid,
                  bool temperature_edge, double& De) {
    int ierr = 0;
    std::string herr;
    if (liquid && temperature_edge && Te < CCON.tc[k]) {
        double ps = 0.0;
        PSATT(Te, x, ps, ierr, herr);
        if (ierr <= 0) Pe = ps * (1.0 + 1e-9);
    }
    De = 0.0;
    TPRHO(Te, Pe, x, liquid ? kLiquid : kVapour, kNoStartValue, De, ierr, herr);
    return ierr <= 0 && std::isfinite(De) && De > 0.0;
}

}  // namespace

double published_pmax(Property p, int k) {
    if (k < kMinSlot || k > kMaxSlot) return kNone;
    const std::string_view cas = trim_right(CCAS[k]);
    for (const Published& e : kPublished)
        if (e.p == p && e.cas == cas) return e.pmax;
    return kNone;
}

bool edge_factor(Property p, int k, const double x[20], double T, double D, double Te, double Pe,
                 double& factor) {
    factor = 1.0;
    if (!(Pe > 0.0)) PRESS(T, D, x, Pe);
    if (!(Pe > 0.0) || !std::isfinite(Pe)) return false;
    double De = 0.0, vc = 0.0, ve = 0.0;
    if (!edge_density(k, x, Te, Pe, D > CCON.dc[k], Te != T, De)) return false;
    if (!correlation(p, k, Te, De, vc) || !ecs(p, x, Te, De, ve)) return false;
    factor = vc / ve;
    return true;
}

bool scaled_ecs(Property p, int k, const double x[20], double T, double D, double Te, double Pe,
                double& value) {
    double v = 0.0, factor = 1.0;
    if (!ecs(p, x, T, D, v)) return false;
    edge_factor(p, k, x, T, D, Te, Pe, factor);
    value = v * factor;
    return true;
}

}  // namespace lib::handover
