#include "library/transport/models.h"

#include <array>

#include "library/transport/chung.h"
#include "library/transport/crossover.h"
#include "library/transport/enhancement.h"
#include "library/transport/older.h"
#include "library/transport/omega.h"
#include "library/transport/tc0.h"
#include "library/transport/tc1.h"
#include "library/transport/trnecs.h"
#include "library/transport/vs0.h"
#include "library/transport/vs1.h"
#include "library/transport/vs4.h"

namespace lib {

namespace {

// Adapters of the plain evaluators to the table's signature.
template <double (*F)(int, double)>
double of_t(int icomp, double T, double, int&, std::string&) {
    return F(icomp, T);
}
template <double (*F)(int, double, double)>
double of_td(int icomp, double T, double D, int&, std::string&) {
    return F(icomp, T, D);
}
double zero(int, double, double, int&, std::string&) { return 0.0; }

// "VS0": the fluid-specific total less the generic dilute gas.
double vs0_residual(int icomp, double T, double D, int& ierr, std::string& herr) {
    return ETA0HC(icomp, T, D, ierr, herr) - ETA0DG(icomp, T);
}

double tc1_dilute(int icomp, double T, double, int& ierr, std::string& herr) {
    bool no_viscosity = false;
    const double v = tcx1dg_checked(icomp, T, no_viscosity);
    if (no_viscosity)
        fail(39, "TCXK0",
             "the dilute-gas conductivity needs the dilute-gas viscosity, which has no model here",
             ierr, herr);
    return v;
}

double tk3(int icomp, double T, double D, int& ierr, std::string& herr) {
    bool no_viscosity = false;
    const double v = tcx3cr_checked(icomp, T, D, no_viscosity);
    if (no_viscosity)
        fail(39, "TCXKC",
             "the critical enhancement (TK3) needs the viscosity, which has no model here", ierr,
             herr);
    return v;
}

// "TK6" of one component slot: the crossover model on the slot's own unit
// composition.
double tk6(int icomp, double T, double D, int& ierr, std::string& herr) {
    if (icomp < 1 || icomp > kMaxComp) {
        fail(39, "TCXKC", "enhancement model (TK6) defined for components 1..20 only", ierr, herr);
        return 0.0;
    }
    double x[20] = {};
    x[icomp - 1] = 1.0;
    return TCXM1C(x, T, D, ierr, herr);
}

constexpr std::array<ViscosityModel, 7> kViscosity = {{
    {"VS0", SETVS0, of_t<ETA0DG>, nullptr, vs0_residual, true},
    {"VS1", SETVS1, of_t<ETA1DG>, of_t<ETA1B2>, of_td<ETA1RS>, true},
    {"VS2", SETVS2, of_t<ETA2DG>, nullptr, of_td<ETA2RS>, true},
    {"VS3", SETVS3, of_t<ETA3DG>, nullptr, of_td<ETA3RS>, true},
    {"VS4", SETVS4, of_t<ETA4DG>, of_t<ETA1B2>, of_td<ETA4RS>, true},
    {"VS5", SETVS5, of_t<ETA5DG>, nullptr, of_td<ETA5RS>, true},
    {"VS6", SETVS6, nullptr, nullptr, nullptr, false},
}};

constexpr std::array<ConductivityModel, 6> kConductivity = {{
    {"TC0", SETTC0, zero, TCX0HC, true},
    {"TC1", SETTC1, tc1_dilute, of_td<TCX1BK>, true},
    {"TC2", SETTC2, of_t<TCX2DG>, of_td<TCX2BK>, true},
    {"TC3", SETTC3, of_t<TCX3DG>, of_td<TCX3BK>, true},
    {"TC5", SETTC5, of_t<TCX5DG>, of_td<TCX5BK>, true},
    {"TC6", SETTC6, nullptr, nullptr, false},
}};

constexpr std::array<EnhancementModel, 8> kEnhancement = {{
    {"NUL", nullptr, nullptr, true},
    {"TK1", SETTK1, of_td<TCX1CR>, true},
    {"TK2", nullptr, of_td<TCX2CR>, true},
    {"TK3", SETTK3, tk3, true},
    {"TK4", SETTK4, of_td<TCX4CR>, true},
    {"TK6", SETTK6, tk6, true},
    {"NH3", nullptr, of_td<TCCNH3>, true},
    {"CH4", nullptr, of_td<TCCCH4>, true},
}};

constexpr std::array<CollisionModel, 2> kCollision = {{{"CI1", SETCI1}, {"CI2", SETCI2}}};

template <class Row, std::size_t N>
const Row* find(const std::array<Row, N>& table, const Code& code) {
    for (const Row& r : table)
        if (code.is(r.code)) return &r;
    return nullptr;
}

}  // namespace

const ViscosityModel* viscosity_model(const Code& code) { return find(kViscosity, code); }
const ConductivityModel* conductivity_model(const Code& code) { return find(kConductivity, code); }
const EnhancementModel* enhancement_model(const Code& code) { return find(kEnhancement, code); }
const CollisionModel* collision_model(const Code& code) { return find(kCollision, code); }

}  // namespace lib
