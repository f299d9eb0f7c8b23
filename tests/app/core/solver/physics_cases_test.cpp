// Physics that must never be reported as success: fuels that cannot burn
// or whose equations end below the usual reference state, interfaces whose
// heat would flow from the colder stream to the hotter, pumps fed with gas,
// expanders whose liquid flashes, parts written out of the order of their
// links. One table of project files (tests/app/core/solver/cases), then
// sweeps over whole regions of the same cases.
#include "tests/app/core/cycle_support.h"

#include "app/core/solver/combustor.h"
#include "library/library.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace {

using namespace app;
using cycletest::contains;
using cycletest::CycleTest;

constexpr const char* CASES = "tests/app/core/solver/cases";

// The part of the project with this name.
const Part& part_named(const Project& p, const std::string& name) {
    for (int i = 0; i < p.az_processes; ++i)
        for (int k = 0; k < p.processes[i]->az_parts; ++k)
            if (p.processes[i]->parts[k]->name == name) return *p.processes[i]->parts[k];
    ADD_FAILURE() << "no part " << name;
    return *p.processes[0]->parts[0];
}

// The second law for a pair of coupled heat exchangers in counter-flow:
// the side that gives heat is nowhere colder than the side that takes it
// (the hot side's point i faces the cold side's point n - i).
bool heat_flows_downhill(const Part& hot, const Part& cold) {
    const double Q = hot.outputs[PO_INLET_MASSFLOW] * hot.outputs[PO_SPECIFIC_HEAT_FLUX];
    if (std::fabs(Q) < 1e-9) return true;
    EXPECT_EQ(hot.steps, cold.steps);
    const int n = hot.steps;
    for (int i = 0; i <= n; ++i) {
        const double d = hot.T[i] - cold.T[n - i];
        if ((Q < 0 ? d : -d) < -1e-6) return false;
    }
    return true;
}

// Work of an expander of isentropic efficiency eta against the isentropic
// outlet state of its inlet, and an outlet inside the two-phase region.
void expect_flashing_expansion(const Part& e, double eta) {
    init_stoffwerte(e.fluid);
    double T = 0, p = e.outputs[PO_OUTLET_PRESSURE], s = e.outputs[PO_INLET_ENTROPY], hs = 0,
           rho = 0, q = 0;
    ASSERT_EQ(get_all_by_p_and_s(e.x_in.data(), T, p, s, hs, rho, q), 0);
    const double dh = e.outputs[PO_OUTLET_ENTHALPY] - e.outputs[PO_INLET_ENTHALPY];
    const double dh_s = hs - e.outputs[PO_INLET_ENTHALPY];
    EXPECT_LT(dh_s, 0.0);
    EXPECT_NEAR(dh, eta * dh_s, 1e-4 * std::fabs(dh_s));
    EXPECT_GT(e.outputs[PO_OUTLET_HUMIDITY], 0.0);
    EXPECT_LT(e.outputs[PO_OUTLET_HUMIDITY], 1.0);
    EXPECT_GT(e.outputs[PO_INLET_WETNESS], 0.999);  // liquid at the inlet
}

// A closed heat pump: the condenser gives off the compressor's work and
// the evaporator's heat, the throttle neither takes nor gives.
void closes_balance(const Project& p) {
    const double W = part_named(p, "Compressor 1").outputs[PO_POWER];
    const double Qc = part_named(p, "Condenser HX").outputs[PO_HEAT];
    const double Qe = part_named(p, "Evaporator").outputs[PO_HEAT];
    EXPECT_GT(W, 0.0);
    EXPECT_LT(Qc, 0.0);
    EXPECT_GT(Qe, 0.0);
    EXPECT_NEAR(-Qc, W + Qe, 1e-6 * -Qc);
    EXPECT_EQ(part_named(p, "Throttle").outputs[PO_HEAT], 0.0);
}

class PhysicsCases : public CycleTest {
protected:
    // Reads and calculates a case; its status log is kept.
    Project& calculate(const std::string& file, int& status) {
        Project& p = read_file(file, CASES);
        p.status_log_open = 1;
        status = calcProject(p);
        return p;
    }
};

TEST_F(PhysicsCases, EachCaseFailsWithItsReasonOrCalculates) {
    const auto no_burn = [](const char* fuel) {
        return std::string("Combustor \"Combustor 1\": its fuel \"") + fuel +
               "\" holds no combustible component";
    };
    const struct Case {
        const char* file;
        int status;
        std::string says;
        std::function<void(const Project&)> check;
    } cases[] = {
        // A fuel without a combustible component is refused, naming it.
        {"fuel_nitrogen.kvr", CS_FAILED, no_burn("Nitrogen"), nullptr},
        {"fuel_water.kvr", CS_FAILED, no_burn("Water"), nullptr},
        {"fuel_carbon_dioxide.kvr", CS_FAILED, no_burn("Carbon dioxide"), nullptr},
        {"fuel_helium.kvr", CS_FAILED, no_burn("Helium"), nullptr},
        {"fuel_air.kvr", CS_FAILED, no_burn("Air"), nullptr},
        {"fuel_oxygen.kvr", CS_FAILED, no_burn("Oxygen"), nullptr},
        {"fuel_r134a.kvr", CS_FAILED, no_burn("R134A"), nullptr},
        // A fuel that cannot be used names the component and why.
        {"fuel_ammonia.kvr", CS_FAILED,
         "fuel component \"Ammonia\" of fuel \"Ammonia\" cannot be burnt here: its heating value "
         "is not available",
         nullptr},
        // Carbon monoxide's equation ends at 500 K: the reference state
        // moves there. 0.2 kg/s of it in 10 kg/s of dry air at 700 K.
        {"fuel_carbon_monoxide.kvr", CS_FINISHED,
         "Combustor \"Combustor 1\": heating values and enthalpy balances referred to 500 K, the "
         "end of the equations of \"Carbon monoxide\" (otherwise 600 K).",
         [](const Project& p) {
             const Part& c = part_named(p, "Combustor 1");
             // 282.98 kJ/mol at 298.15 K over 28.0101 g/mol, a little
             // more at 500 K.
             EXPECT_NEAR(c.outputs[PO_NET_HEATING_VALUE], 10103, 50);
             // The oxygen of the air over half a mole per mole of fuel.
             const double o2 = 0.20942 * 10000 / 28.96546, need = 0.5 * 200 / 28.0101;
             EXPECT_NEAR(c.outputs[PO_LAMBDA], o2 / need, 2e-3 * o2 / need);
             EXPECT_GT(c.outputs[PO_OUTLET_TEMPERATURE], 850);
             EXPECT_LT(c.outputs[PO_OUTLET_TEMPERATURE], 900);
         }},
        // Syngas H2/CO 50/50 (a fluid block of the file).
        {"fuel_syngas.kvr", CS_FINISHED, "the end of the equations of \"Carbon monoxide\"",
         [](const Project& p) {
             const Part& c = part_named(p, "Combustor 1");
             // (241.8 + 283.0) / 2 kJ/mol over 15.013 g/mol at 298.15 K.
             EXPECT_NEAR(c.outputs[PO_NET_HEATING_VALUE], 17478, 200);
             EXPECT_GT(c.outputs[PO_OUTLET_TEMPERATURE], 900);
         }},
        // Two interfaces in a loop between two processes, whose hot side
        // would be heated by its colder cold side.
        {"interface_loop_hot_side_heated.kvr", CS_FAILED,
         "Interface \"I1\" failed: its result breaks the second law, heat would flow from the "
         "colder stream to the hotter one (hot side \"A1\" 340 K -> 360 K",
         nullptr},
        {"interface_loop_effectiveness.kvr", CS_FAILED,
         "Interface \"I2\" failed: its result breaks the second law", nullptr},
        // The pinch adjustment would warm the hot side by 0.03 K.
        {"interface_loop_pinch.kvr", CS_FAILED,
         "Interface \"I2\" failed: its result breaks the second law", nullptr},
        {"interface_loop_valid.kvr", CS_FINISHED, "Calculation finished.",
         [](const Project& p) {
             EXPECT_TRUE(heat_flows_downhill(part_named(p, "A1"), part_named(p, "B1")));
             EXPECT_TRUE(heat_flows_downhill(part_named(p, "B2"), part_named(p, "A2")));
             EXPECT_LT(part_named(p, "A1").outputs[PO_HEAT], -100);
         }},
        // Pumps take liquid and dense supercritical fluid only.
        {"pump_helium_supercritical.kvr", CS_FAILED,
         "Pump \"M1\" is fed with supercritical gas (1.597 kg/m3, below the critical density "
         "69.641 kg/m3) at 300 K and 10 bar; a pump takes liquid.",
         nullptr},
        {"pump_co2_supercritical_gas.kvr", CS_FAILED,
         "Pump \"M1\" is fed with supercritical gas (2", nullptr},
        {"pump_water_vapour.kvr", CS_FAILED, "Pump \"M1\" is fed with vapour at 400 K", nullptr},
        {"pump_co2_dense.kvr", CS_FINISHED, "Calculation finished.",
         [](const Project& p) { EXPECT_GT(part_named(p, "M1").outputs[PO_INLET_DENSITY], 467.6); }},
        // Liquid that flashes in the expander.
        {"expander_water_flashes.kvr", CS_FINISHED, "Calculation finished.",
         [](const Project& p) { expect_flashing_expansion(part_named(p, "M1"), 0.8); }},
        {"expander_propane_saturated.kvr", CS_FINISHED, "Calculation finished.",
         [](const Project& p) { expect_flashing_expansion(part_named(p, "M1"), 0.8); }},
        // Heat pumps (compressor, condenser, throttle, evaporator back to
        // the inlet state) of a pure refrigerant, a zeotropic blend and
        // ammonia + water: the heat given off is the work plus the heat
        // taken in.
        {"heat_pump_r134a.kvr", CS_FINISHED, "Calculation finished.", closes_balance},
        {"heat_pump_propane_isobutane.kvr", CS_FINISHED, "Calculation finished.", closes_balance},
        {"heat_pump_ammonia_water.kvr", CS_FINISHED, "Calculation finished.", closes_balance},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        int status = -1;
        const Project& p = calculate(c.file, status);
        EXPECT_EQ(status, c.status) << p.status_log;
        EXPECT_TRUE(contains(p.status_log, c.says)) << p.status_log;
        if (c.status == CS_FAILED) {
            EXPECT_TRUE(contains(p.status_log, "ERROR: Calculation failed."));
        }
        if (c.check) c.check(p);
    }
}

// Parts written in another order than their links (the Inlet not first,
// or a part before the one that feeds it) are calculated in link order,
// with the results of the examples bit for bit.
TEST_F(PhysicsCases, PartsOutOfOrderCalculateAsTheirLinksSay) {
    const struct {
        const char* shuffled;
        const char* example;
    } cases[] = {{"helium_brayton_reversed.kvr", "helium_brayton.kvr"},
                 {"helium_brayton_inlet_first.kvr", "helium_brayton.kvr"},
                 {"split_and_mix_reversed.kvr", "split_and_mix.kvr"},
                 {"coupled_water_reversed.kvr", "coupled_water.kvr"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shuffled);
        Project& ex = read_file(c.example);
        ASSERT_EQ(calcProject(ex), CS_FINISHED);
        Project* example = project;
        project = create_project();  // the fixture frees the other one
        Project& p = read_file(c.shuffled, CASES);
        ASSERT_EQ(calcProject(p), CS_FINISHED) << p.calc_log;
        ASSERT_EQ(example->az_processes, p.az_processes);
        for (int i = 0; i < p.az_processes; ++i) {
            const Process& a = *example->processes[i];
            const Process& b = *p.processes[i];
            ASSERT_EQ(a.az_parts, b.az_parts);
            EXPECT_EQ(b.parts[0]->type, INLET);
            for (int k = 0; k < a.az_parts; ++k) {
                EXPECT_EQ(b.parts[k]->id, a.parts[k]->id) << k;
                EXPECT_EQ(b.parts[k]->outputs, a.parts[k]->outputs) << a.parts[k]->name;
            }
        }
        free_project(example);
    }
}

// ---------------------------------------------------------------------------
// Regions
// ---------------------------------------------------------------------------

// Every built-in fluid as the fuel of a combustor in dry air at 700 K: a
// fuel is refused with its reason, or it burns (air ratio above 0, outlet
// hotter than the inlet); none passes as a cold "fuel".
TEST_F(PhysicsCases, EveryBuiltInFluidBurnsOrIsRefused) {
    int burnt = 0, refused = 0;
    for (int f = 0; f < NUM_BUILTIN_FLUIDS; ++f) {
        SCOPED_TRACE(fluids[f]->name);
        Project& p = read_file("fuel_nitrogen.kvr", CASES);
        Part& c = *p.processes[0]->parts[1];
        c.fuel = fluids[f];
        c.inputs[PI_FIXED_FUEL_MASSFLOW] = 0.05;
        p.status_log_open = 1;
        if (calcProject(p) == CS_FINISHED) {
            ++burnt;
            EXPECT_GT(c.outputs[PO_LAMBDA], 1.0);
            EXPECT_GT(c.outputs[PO_OUTLET_TEMPERATURE], c.outputs[PO_INLET_TEMPERATURE] + 5);
            EXPECT_GT(c.outputs[PO_NET_HEATING_VALUE], 1000);
        } else {
            ++refused;
            EXPECT_TRUE(contains(p.status_log, "\"" + fluids[f]->name + "\"")) << p.status_log;
            EXPECT_TRUE(contains(p.status_log, "holds no combustible component") ||
                        contains(p.status_log, "cannot be burnt here") ||
                        contains(p.status_log, "could not be set up"))
                << p.status_log;
        }
        EXPECT_FALSE(contains(p.status_log, "Calculating fuel properties failed"));
    }
    EXPECT_GE(burnt, 10);
    EXPECT_GE(refused, 10);
}

// Two processes coupled by two interfaces in a loop, over a grid of inlet
// temperatures and calculation modes: each result either keeps the second
// law on both interfaces or fails naming the interface that breaks it.
TEST_F(PhysicsCases, InterfaceLoopsKeepTheSecondLaw) {
    int kept = 0, failed = 0;
    for (double TA : {340.0, 360.0})
        for (double TB : {300.0, 330.0, 350.0})
            for (int mode : {1, 3}) {
                SCOPED_TRACE(std::to_string(TA) + " " + std::to_string(TB) + " mode " +
                             std::to_string(mode));
                Project& p = read_file("interface_loop_valid.kvr", CASES);
                p.processes[0]->inputs[PRI_TEMPERATURE] = TA;
                p.processes[1]->inputs[PRI_TEMPERATURE] = TB;
                p.interfaces[0]->options[IOPT_CALCULATION_MODE] = mode;
                p.interfaces[0]->inputs[II_EFFECTIVENESS] = 0.9;
                p.status_log_open = 1;
                if (calcProject(p) == CS_FINISHED) {
                    ++kept;
                    EXPECT_TRUE(heat_flows_downhill(part_named(p, "A1"), part_named(p, "B1")));
                    EXPECT_TRUE(heat_flows_downhill(part_named(p, "B2"), part_named(p, "A2")));
                } else {
                    ++failed;
                    EXPECT_TRUE(contains(p.status_log, "failed: its result breaks the second law"))
                        << p.status_log;
                }
            }
    EXPECT_GT(kept, 0);
    EXPECT_GT(failed, 0);
}

// Water from 380 to 480 K at 2 MPa expanded to 100 kPa: the liquid flashes
// in every case but the first, and the work is the isentropic one times
// the efficiency.
TEST_F(PhysicsCases, ExpandersOfFlashingWaterCalculate) {
    for (double T = 380; T <= 480; T += 20) {
        SCOPED_TRACE(T);
        Project& p = read_file("expander_water_flashes.kvr", CASES);
        p.processes[0]->inputs[PRI_TEMPERATURE] = T;
        ASSERT_EQ(calcProject(p), CS_FINISHED) << p.calc_log;
        const Part& e = *p.processes[0]->parts[1];
        if (T > 373.2)
            expect_flashing_expansion(e, 0.8);
        else
            EXPECT_LT(e.outputs[PO_OUTLET_HUMIDITY], 0.0);  // stays liquid
    }
}

// Carbon dioxide at 8 MPa from 290 to 340 K (across its pseudo-critical
// line near 308 K) into a pump: liquid and supercritical fluid denser than
// at the critical point are pumped, a supercritical gas is refused as
// vapour is.
TEST_F(PhysicsCases, PumpsTakeLiquidAndDenseFluidOnly) {
    int pumped = 0, refused = 0;
    for (double T : {290.0, 300.0, 306.0, 310.0, 320.0, 340.0}) {
        SCOPED_TRACE(T);
        Project& p = read_file("pump_co2_dense.kvr", CASES);
        p.processes[0]->inputs[PRI_TEMPERATURE] = T;
        p.status_log_open = 1;
        const int r = calcProject(p);
        const Fluid& co2 = *p.processes[0]->fluid;
        double Tc = T, pc = 8000, s = 0, h = 0, rho = 0, q = 0;
        init_stoffwerte(p.processes[0]->fluid);
        ASSERT_EQ(get_all_by_T_and_p(co2.x.data(), Tc, pc, s, h, rho, q), 0);
        if (rho >= co2.Dc) {
            EXPECT_EQ(r, CS_FINISHED) << p.status_log;
            ++pumped;
        } else {
            EXPECT_EQ(r, CS_FAILED);
            EXPECT_TRUE(contains(p.status_log, "is fed with supercritical gas")) << p.status_log;
            ++refused;
        }
    }
    EXPECT_GT(pumped, 0);
    EXPECT_GT(refused, 0);
}

}  // namespace
