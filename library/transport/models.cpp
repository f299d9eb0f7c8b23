#include "library/transport/models.h"

#include <array>

#include "library/transport/crossover.h"
#include "library/transport/omega.h"
#include "library/transport/tc1.h"
#include "library/transport/vs1.h"

namespace lib {

namespace {

double tc1_dilute(int icomp, double T, double, int& ierr, std::string& herr) {
    bool no_viscosity = false;
    const double v = tcx1dg_checked(icomp, T, no_viscosity);
    if (no_viscosity)
        fail(39, "TCXK0",
             "the dilute-gas conductivity needs the dilute-gas viscosity, which has no model here",
             ierr, herr);
    return v;
}
double tc1_background(int icomp, double T, double D, int&, std::string&) {
    return TCX1BK(icomp, T, D);
}
double tk3(int icomp, double T, double D, int& ierr, std::string& herr) {
    bool no_viscosity = false;
    const double v = tcx3cr_checked(icomp, T, D, no_viscosity);
    if (no_viscosity) {
        fail(39, "TCXKC",
             "the critical enhancement (TK3) needs the viscosity, which has no model here", ierr,
             herr);
    }
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

// Fluid-specific, older and estimation models are loaded as placeholders
// and marked not built: their evaluators answer "call to unimplemented
// model".
constexpr std::array<ViscosityModel, 7> kViscosity = {{
    {"VS0", SETVS0, nullptr, nullptr, nullptr, false},
    {"VS1", SETVS1, ETA1DG, ETA1B2, ETA1RS, true},
    {"VS2", SETVS2, nullptr, nullptr, nullptr, false},
    {"VS3", SETVS3, nullptr, nullptr, nullptr, false},
    {"VS4", SETVS4, nullptr, nullptr, nullptr, false},
    {"VS5", SETVS5, nullptr, nullptr, nullptr, false},
    {"VS6", SETVS6, nullptr, nullptr, nullptr, false},
}};

constexpr std::array<ConductivityModel, 6> kConductivity = {{
    {"TC0", SETTC0, nullptr, nullptr, false},
    {"TC1", SETTC1, tc1_dilute, tc1_background, true},
    {"TC2", SETTC2, nullptr, nullptr, false},
    {"TC3", SETTC3, nullptr, nullptr, false},
    {"TC5", SETTC5, nullptr, nullptr, false},
    {"TC6", SETTC6, nullptr, nullptr, false},
}};

constexpr std::array<EnhancementModel, 8> kEnhancement = {{
    {"NUL", nullptr, nullptr, true},
    {"TK1", SETTK1, nullptr, false},
    {"TK2", nullptr, nullptr, false},
    {"TK3", SETTK3, tk3, true},
    {"TK4", SETTK4, nullptr, false},
    {"TK6", SETTK6, tk6, true},
    {"NH3", nullptr, nullptr, false},
    {"CH4", nullptr, nullptr, false},
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
