// Helpers of the cycle tests: projects and processes built in code, and
// single parts put on a known inlet state.
#pragma once

#include "app/core/create_delete.h"
#include "app/core/fluid_properties.h"
#include "app/core/init.h"
#include "app/core/simulator.h"
#include "app/core/text_output.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace cycletest {

using namespace app;

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
        interface_calculation = nullptr;
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

    Project* project = nullptr;
};

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

}  // namespace cycletest
