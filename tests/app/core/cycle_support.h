// Helpers of the cycle tests: projects and processes built in code, and
// single parts put on a known inlet state.
#pragma once

#include "app/core/files/filehandling.h"
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/program/text_output.h"
#include "app/core/solver/interface_coupling.h"
#include "app/core/solver/simulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

namespace cycletest {

using namespace app;

inline bool contains(const std::string& text, const std::string& piece) {
    return text.find(piece) != std::string::npos;
}

// A test fixture with the tables and fluids built, one empty current
// project, and the solver's globals restored afterwards.
class CycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        initstuff();
        init_stoffe();  // rewrites the fluids' set-up fields: set up again
        current_fluid = nullptr;
        project = create_project();
        current_project = project;
        batchmode = 0;
    }
    void TearDown() override {
        free_project(project);
        current_project = nullptr;
        if (fluids.index_of(current_fluid) >= NUM_BUILTIN_FLUIDS) current_fluid = nullptr;
        fluids.truncate(NUM_BUILTIN_FLUIDS);
        sweep_limit = 5000;
        interface_calculation = calc_interface;
        post_text = writetext;
        post_status = writestatus;
    }

    // A process "name" of the fluid with the inlet state, holding the
    // Inlet, parts of the given types in order, and the Outlet.
    Process& add_process(const char* name, int fluid, double T, double p, double m,
                         std::initializer_list<int> types) {
        Process* proc = create_process(0);
        proc->name = name;
        proc->fluid = fluids[fluid];
        proc->inputs[PRI_TEMPERATURE] = T;
        proc->inputs[PRI_PRESSURE] = p;
        proc->inputs[PRI_MASSFLOW] = m;
        int pos = 1;
        for (int type : types) insert_part(*proc, pos++, create_part(type));
        for (int k = 1; k < proc->az_parts; ++k) {
            proc->parts[k]->prev_id[0] = proc->parts[k - 1]->id;
            proc->parts[k - 1]->next_id[0] = proc->parts[k]->id;
        }
        append_process(*project, proc);
        return *proc;
    }

    // Reads a project file of examples/ (or, with `dir`, of another folder
    // of the sources) with the library, in place of the fixture's project.
    Project& read_file(const std::string& name, const std::string& dir = "examples") {
        const std::string path = std::string(KVR2_SOURCE_DIR) + "/" + dir + "/" + name;
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return read_text(text.str(), path);
    }

    // Reads a project from the text of a project file (named `path` in
    // messages) in place of the fixture's project.
    Project& read_text(const std::string& text, const std::string& path) {
        std::string error;
        free_project(project);
        project = read_project_text(text, path, error);
        EXPECT_NE(project, nullptr) << path << ": " << error;
        if (project == nullptr) project = create_project();
        current_project = project;
        return *project;
    }

    Project* project = nullptr;
};

// The composition slot of the component of `fluids` entry `index` in the
// part's fluid; -1 when there is none.
inline int slot(const Part& part, int index) {
    for (int j = 0; j < part.fluid->az_components; ++j)
        if (part.fluid->comp_index[j] == index) return j;
    return -1;
}

// Puts a single part on the inlet state (T, p) of the fluid, with mass flow
// m, as the solver would before calc_part; false when the state fails.
inline bool set_inlet(Part& part, int fluid, double T, double p, double m = 1.0) {
    Fluid* f = fluids[fluid];
    if (init_stoffwerte(f) == 0) return false;
    part.fluid = f;
    part.x_in = f->x;
    double Tc = T, pc = p, s = 0, h = 0, rho = 0, q = 0;
    if (get_all_by_T_and_p(part.x_in.data(), Tc, pc, s, h, rho, q) != 0) return false;
    part.T[0] = T;
    part.p[0] = p;
    part.s[0] = s;
    part.h[0] = h;
    part.rho[0] = rho;
    part.q[0] = q;
    part.outputs[PO_INLET_MASSFLOW] = m;
    return true;
}

// Specific enthalpy (kJ/kg) of a fluid at (T, p).
inline double enthalpy(int fluid, double T, double p) {
    Fluid* f = fluids[fluid];
    init_stoffwerte(f);
    double Tc = T, pc = p, s = 0, h = 0, rho = 0, q = 0;
    get_all_by_T_and_p(f->x.data(), Tc, pc, s, h, rho, q);
    return h;
}

// The quality (0 liquid ... 1 vapour) of the state (p in kPa, h in kJ/kg)
// of a fluid, from the pressure-enthalpy flash.
inline double quality(int fluid, double p, double h) {
    Fluid* f = fluids[fluid];
    init_stoffwerte(f);
    double T = 0, pc = p, hc = h, s = 0, rho = 0, q = 0;
    get_all_by_p_and_h(f->x.data(), T, pc, s, hc, rho, q, 0.5);
    return q;
}

// The water Rankine cycles of the tests, worked out from single states of
// the property layer instead of the part models: inlet (1) 318.15 K and
// 10 kPa, pump to 10000 kPa, boiler to 823.15 K (3), turbine back to 10 kPa.
// h2s and h4s are the isentropic outlet states of pump and turbine.
struct RankineStates {
    double h1 = 0, h2s = 0, h3 = 0, h4s = 0;
};

inline RankineStates rankine_states() {
    Fluid* f = fluids[FLUID_WATER];
    init_stoffwerte(f);
    const double* c = f->x.data();
    RankineStates r;
    double T = 318.15, p = 10, s1 = 0, s3 = 0, rho = 0, q = 0;
    get_all_by_T_and_p(c, T, p, s1, r.h1, rho, q);
    T = 0, p = 10000;
    get_all_by_p_and_s(c, T, p, s1, r.h2s, rho, q);
    T = 823.15, p = 10000;
    get_all_by_T_and_p(c, T, p, s3, r.h3, rho, q);
    T = 0, p = 10;
    get_all_by_p_and_s(c, T, p, s3, r.h4s, rho, q);
    return r;
}

// The pump's and the turbine's work against their isentropic enthalpy
// differences and efficiencies (pump_eff, turbine_eff), the cycle's
// efficiency against the one of the single states, and the turbine
// outlet's wetness against the quality of its outlet state.
inline void expect_rankine_consistent(const Part& pump, const Part& turbine, double efficiency,
                                      double pump_eff, double turbine_eff) {
    const RankineStates r = rankine_states();
    const double w_pump = (r.h2s - r.h1) / pump_eff;
    const double w_turbine = turbine_eff * (r.h4s - r.h3);
    // The part models step along a polytropic path and search the
    // polytropic efficiency that gives the isentropic one. Their search
    // stops when the efficiency moves by less than 1e-6 of itself, relaxed
    // by one half after ten passes; the work it reports then lies within
    // 2e-6 of itself of the isentropic figure. (Loosened stops, 0.002 and
    // beyond, would be a thousand times further off.)
    const double tol_pump = 2e-6 * std::fabs(w_pump);
    const double tol_turbine = 2e-6 * std::fabs(w_turbine);
    EXPECT_NEAR(pump.outputs[PO_ISENTROPIC_ENTHALPY_DIFF], r.h2s - r.h1, 1e-6);
    EXPECT_NEAR(turbine.outputs[PO_ISENTROPIC_ENTHALPY_DIFF], r.h4s - r.h3, 1e-6);
    EXPECT_NEAR(pump.outputs[PO_SPECIFIC_WORK],
                pump.outputs[PO_ISENTROPIC_ENTHALPY_DIFF] / pump_eff, tol_pump);
    EXPECT_NEAR(turbine.outputs[PO_SPECIFIC_WORK],
                turbine_eff * turbine.outputs[PO_ISENTROPIC_ENTHALPY_DIFF], tol_turbine);
    EXPECT_NEAR(pump.outputs[PO_SPECIFIC_WORK], w_pump, tol_pump);
    EXPECT_NEAR(turbine.outputs[PO_SPECIFIC_WORK], w_turbine, tol_turbine);
    EXPECT_NEAR(pump.outputs[PO_OUTLET_ENTHALPY] - pump.outputs[PO_INLET_ENTHALPY],
                pump.outputs[PO_SPECIFIC_WORK], 1e-9);
    EXPECT_NEAR(turbine.outputs[PO_OUTLET_ENTHALPY] - turbine.outputs[PO_INLET_ENTHALPY],
                turbine.outputs[PO_SPECIFIC_WORK], 1e-9);
    const double heat = r.h3 - (r.h1 + w_pump);
    EXPECT_NEAR(efficiency, -(w_turbine + w_pump) / heat, 2e-6);
    const double q = quality(FLUID_WATER, turbine.outputs[PO_OUTLET_PRESSURE],
                             turbine.outputs[PO_OUTLET_ENTHALPY]);
    EXPECT_GT(q, 0.0);
    EXPECT_LT(q, 1.0);
    EXPECT_NEAR(turbine.outputs[PO_OUTLET_WETNESS], 1.0 - q, 1e-6);
    EXPECT_EQ(pump.outputs[PO_OUTLET_WETNESS], 1.0);  // compressed liquid
}

}  // namespace cycletest
