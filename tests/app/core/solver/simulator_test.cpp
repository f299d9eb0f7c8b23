#include "tests/app/core/cycle_support.h"

#include "app/core/model/units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>
#include <string>

namespace {

using namespace app;
using cycletest::contains;
using cycletest::CycleTest;

// ---------------------------------------------------------------------------
// Whole cycles
// ---------------------------------------------------------------------------

class Cycles : public CycleTest {};

// Closed Brayton cycle of helium, near-ideal at these states: T2 = T1 2^0.4,
// T4 = T3 / 2^0.4 and efficiency 1 - 2^-0.4.
TEST_F(Cycles, HeliumBrayton) {
    Process& proc = add_process("Brayton", FLUID_HELIUM, 300, 1000, 1,
                                {COMPRESSOR, HEAT_EXCHANGER, TURBINE, INTERCOOLER});
    Part& comp = *proc.parts[1];
    Part& heater = *proc.parts[2];
    Part& turb = *proc.parts[3];
    Part& cooler = *proc.parts[4];
    comp.options[OPT_EFFICIENCY] = 0;
    comp.inputs[PI_PRESSURE_RATIO_OUT_IN] = 2;
    comp.inputs[PI_ISENTROPIC_EFFICIENCY] = 1;
    heater.inputs[PI_OUTLET_TEMPERATURE] = 1000;
    turb.options[OPT_EFFICIENCY] = 0;
    turb.inputs[PI_PRESSURE_RATIO_IN_OUT] = 2;
    turb.inputs[PI_ISENTROPIC_EFFICIENCY] = 1;
    cooler.inputs[PI_OUTLET_TEMPERATURE] = 300;
    for (Part* p : {&comp, &heater, &turb}) p->options[OPT_EFFICIENCY_CALCULATION] = 2;

    ASSERT_EQ(calcProject(*project), 1) << project->calc_log;
    EXPECT_EQ(project->calc_status, CS_FINISHED);
    for (int k = 1; k < proc.az_parts; ++k) EXPECT_EQ(proc.parts[k]->state, PS_FINISHED);
    EXPECT_EQ(proc.done, 1);

    const double f = std::pow(2.0, 0.4);
    EXPECT_NEAR(comp.outputs[PO_OUTLET_TEMPERATURE], 300 * f, 0.005 * 300 * f);
    EXPECT_NEAR(comp.outputs[PO_OUTLET_PRESSURE], 2000, 1e-9);
    EXPECT_NEAR(turb.outputs[PO_OUTLET_TEMPERATURE], 1000 / f, 0.005 * 1000 / f);
    EXPECT_NEAR(turb.outputs[PO_OUTLET_PRESSURE], 1000, 1e-9);
    // With isentropic efficiency 1 the outlets are the isentropic states.
    for (const Part* p : {&comp, &turb}) {
        double T = 0, pn = p->outputs[PO_OUTLET_PRESSURE], s = p->outputs[PO_INLET_ENTROPY];
        double h = 0, rho = 0, q = 0;
        ASSERT_EQ(get_all_by_p_and_s(p->x_in.data(), T, pn, s, h, rho, q), 0);
        EXPECT_NEAR(p->outputs[PO_OUTLET_TEMPERATURE], T, 1e-4);
        EXPECT_NEAR(p->outputs[PO_OUTLET_ENTHALPY], h, 1e-5);
    }
    EXPECT_NEAR(project->totals[TOT_EFFICIENCY], 1 - 1 / f, 0.005 * (1 - 1 / f));
    EXPECT_NEAR(proc.outputs[PRO_EFFICIENCY], project->totals[TOT_EFFICIENCY], 1e-12);
    EXPECT_DOUBLE_EQ(comp.outputs[PO_ISENTROPIC_EFFICIENCY], 1.0);
    EXPECT_DOUBLE_EQ(turb.outputs[PO_ISENTROPIC_EFFICIENCY], 1.0);

    // The cycle is closed: every power and heat adds up to nothing.
    const double sum = comp.outputs[PO_POWER] + turb.outputs[PO_POWER] + heater.outputs[PO_HEAT] +
                       cooler.outputs[PO_HEAT];
    EXPECT_NEAR(sum, 0.0, 1e-6 * heater.outputs[PO_HEAT]);
    EXPECT_NEAR(proc.outputs[PRO_POWER] + proc.outputs[PRO_HEAT_FLUX], 0.0,
                1e-6 * heater.outputs[PO_HEAT]);
    EXPECT_GT(comp.outputs[PO_POWER], 0);
    EXPECT_LT(turb.outputs[PO_POWER], 0);
    EXPECT_DOUBLE_EQ(project->totals[TOT_POWER_IN], comp.outputs[PO_POWER]);
    EXPECT_DOUBLE_EQ(project->totals[TOT_POWER_OUT], turb.outputs[PO_POWER]);
    EXPECT_DOUBLE_EQ(project->totals[TOT_HEAT_IN], heater.outputs[PO_HEAT]);
    EXPECT_EQ(project->totals[TOT_HEAT_OUT], 0.0);  // the intercooler is not counted
    EXPECT_TRUE(contains(project->calc_log, "Calculation finished.\n"));
    EXPECT_TRUE(contains(project->calc_log,
                         "Calculating process \"Brayton\" part \"Turbine 1\"  -  finished.\n"));

    // A second calculation gives the same totals.
    const auto totals = project->totals;
    ASSERT_EQ(calcProject(*project), 1);
    for (int i = 0; i < NUM_PROJECT_OUTPUTS; ++i)
        EXPECT_NEAR(project->totals[i], totals[i], 1e-9 * (1 + std::fabs(totals[i])));
}

// Steam Rankine cycle: pump to 100 bar, superheat to 550 degC, expansion to
// 0.1 bar, cooling back to the inlet state.
Process& rankine(Process& proc, double pump_eff, double turbine_eff) {
    Part& pump = *proc.parts[1];
    Part& boiler = *proc.parts[2];
    Part& turb = *proc.parts[3];
    Part& cooler = *proc.parts[4];
    pump.options[OPT_COMPRESSION] = 1;
    pump.inputs[PI_OUTLET_PRESSURE] = 10000;
    pump.options[OPT_EFFICIENCY] = 0;
    pump.inputs[PI_ISENTROPIC_EFFICIENCY] = pump_eff;
    boiler.inputs[PI_OUTLET_TEMPERATURE] = 823.15;
    turb.options[OPT_EXPANSION] = 1;
    turb.inputs[PI_OUTLET_PRESSURE] = 10;
    turb.options[OPT_EFFICIENCY] = 0;
    turb.inputs[PI_ISENTROPIC_EFFICIENCY] = turbine_eff;
    cooler.inputs[PI_OUTLET_TEMPERATURE] = 318.15;
    for (Part* p : {&pump, &boiler, &turb}) p->options[OPT_EFFICIENCY_CALCULATION] = 2;
    return proc;
}

TEST_F(Cycles, SteamRankine) {
    Process& proc = rankine(add_process("Rankine", FLUID_WATER, 318.15, 10, 1,
                                        {PUMP, HEAT_EXCHANGER, TURBINE, HEAT_EXCHANGER}),
                            1, 1);
    ASSERT_EQ(calcProject(*project), 1) << project->calc_log;
    const Part& pump = *proc.parts[1];
    const Part& boiler = *proc.parts[2];
    const Part& turb = *proc.parts[3];
    const Part& outlet = *proc.parts[5];
    EXPECT_NEAR(pump.outputs[PO_SPECIFIC_WORK], 10.068, 0.003);
    EXPECT_NEAR(boiler.outputs[PO_SPECIFIC_HEAT_FLUX], 3303.456, 0.005);
    // Steam tables: h = 3502.0 kJ/kg and s = 6.7585 kJ/(kg K) at 100 bar and
    // 550 degC; at 0.1 bar hf = 191.81, hfg = 2392.1, sf = 0.6492, sfg = 7.4996:
    // x = 0.81461 and the isentropic drop is 1361.6 kJ/kg.
    EXPECT_NEAR(turb.outputs[PO_SPECIFIC_WORK], -1361.6, 0.1);
    EXPECT_NEAR(proc.outputs[PRO_EFFICIENCY], 0.40881, 0.0005);
    EXPECT_NEAR(project->totals[TOT_EFFICIENCY], 0.40881, 0.0005);
    EXPECT_DOUBLE_EQ(pump.outputs[PO_ISENTROPIC_EFFICIENCY], 1.0);
    EXPECT_DOUBLE_EQ(turb.outputs[PO_ISENTROPIC_EFFICIENCY], 1.0);
    // The turbine ends in the wet region at 0.1 bar, at quality 0.81461.
    EXPECT_NEAR(turb.outputs[PO_OUTLET_WETNESS], 1 - 0.81461, 0.001);
    EXPECT_EQ(turb.outputs[PO_INLET_WETNESS], 0.0);
    // Back at the inlet state.
    const Part& inlet = *proc.parts[0];
    EXPECT_NEAR(outlet.outputs[PO_INLET_TEMPERATURE], 318.15, 1e-9);
    EXPECT_NEAR(outlet.outputs[PO_INLET_PRESSURE], 10, 1e-9);
    EXPECT_NEAR(outlet.outputs[PO_INLET_ENTHALPY], inlet.outputs[PO_OUTLET_ENTHALPY], 1e-6);
    EXPECT_NEAR(outlet.outputs[PO_INLET_ENTROPY], inlet.outputs[PO_OUTLET_ENTROPY], 1e-8);
    EXPECT_NEAR(outlet.outputs[PO_INLET_DENSITY], inlet.outputs[PO_OUTLET_DENSITY], 1e-6);
    cycletest::expect_rankine_consistent(pump, turb, proc.outputs[PRO_EFFICIENCY], 1, 1);
}

TEST_F(Cycles, SteamRankineWithLossesAndCondenser) {
    Process& proc = rankine(add_process("Rankine", FLUID_WATER, 318.15, 10, 1,
                                        {PUMP, HEAT_EXCHANGER, TURBINE, CONDENSER}),
                            0.8, 0.85);
    ASSERT_EQ(calcProject(*project), 1) << project->calc_log;
    EXPECT_NEAR(proc.outputs[PRO_EFFICIENCY], 0.34653, 0.0005);
    const Part& pump = *proc.parts[1];
    const Part& turb = *proc.parts[3];
    EXPECT_NEAR(pump.outputs[PO_SPECIFIC_WORK], 10.068 / 0.8, 0.005);
    EXPECT_NEAR(turb.outputs[PO_SPECIFIC_WORK], -1361.6 * 0.85, 0.1);
    EXPECT_DOUBLE_EQ(pump.outputs[PO_ISENTROPIC_EFFICIENCY], 0.8);
    EXPECT_DOUBLE_EQ(turb.outputs[PO_ISENTROPIC_EFFICIENCY], 0.85);
    EXPECT_LT(turb.outputs[PO_POLYTROPIC_EFFICIENCY], 0.85);
    // Saturated liquid at 10 kPa: 318.956 K.
    const Part& cond = *proc.parts[4];
    EXPECT_NEAR(cond.outputs[PO_OUTLET_TEMPERATURE], 318.956, 0.002);
    EXPECT_NEAR(cond.outputs[PO_OUTLET_PRESSURE], 10, 1e-12);
    EXPECT_NEAR(cond.outputs[PO_OUTLET_WETNESS], 1.0, 1e-6);
    cycletest::expect_rankine_consistent(pump, turb, proc.outputs[PRO_EFFICIENCY], 0.8, 0.85);
}

// ---------------------------------------------------------------------------
// The solver's course
// ---------------------------------------------------------------------------

class Solver : public CycleTest {};

Project* cancel_target = nullptr;
void cancel_at_compressor(std::string text) {
    if (contains(text, "part \"Compressor 1\"")) cancel_target->calc_status = CS_CANCEL;
    writetext(std::move(text));
}

// A Cancel pressed while a part is at work stops it at its next step; the
// part counts as not calculated, and the calculation as cancelled.
TEST_F(Solver, CancelStopsThePartAtWork) {
    Process& proc = add_process("P", FLUID_HELIUM, 300, 1000, 1, {COMPRESSOR, HEAT_EXCHANGER});
    proc.parts[2]->inputs[PI_OUTLET_TEMPERATURE] = 500;
    cancel_target = project;
    post_text = cancel_at_compressor;
    project->status_log_open = 1;
    EXPECT_EQ(calcProject(*project), 5);
    EXPECT_EQ(proc.parts[1]->state, PS_PENDING);
    EXPECT_EQ(proc.parts[1]->segment, 0);
    EXPECT_EQ(proc.parts[2]->state, PS_PENDING);
    EXPECT_EQ(proc.parts[3]->state, PS_PENDING);
    EXPECT_FALSE(contains(project->calc_log, "Heat Exchanger 1"));
    EXPECT_TRUE(contains(project->calc_log, "part \"Compressor 1\"  -  cancelled.\n"));
    EXPECT_TRUE(contains(project->status_log, "WARNING: Calculation cancelled.\n"));
    EXPECT_FALSE(contains(project->status_log, "failed"));
}

TEST_F(Solver, OneSweepSettlesAChain) {
    Process& proc = add_process("P", FLUID_HELIUM, 300, 1000, 1, {COMPRESSOR});
    proc.parts[1]->options[OPT_EFFICIENCY] = 1;
    ASSERT_EQ(calc_all(*project), 1);
    EXPECT_EQ(az_converged, 2);
    EXPECT_EQ(proc.parts[2]->state, PS_FINISHED);
    EXPECT_EQ(show_progress, 1);
}

TEST_F(Solver, FailingPartStopsWithItsMessage) {
    Process& proc = add_process("P", FLUID_HELIUM, 300, 1000, 1, {HEAT_EXCHANGER});
    proc.parts[1]->inputs[PI_OUTLET_TEMPERATURE] = 1e5;  // far above the fluid's range
    project->status_log_open = 1;
    EXPECT_EQ(calcProject(*project), 5);
    EXPECT_EQ(proc.parts[1]->state, PS_FAILED);
    EXPECT_TRUE(contains(project->status_log,
                         "ERROR: Failure calculating heat exchanger \"Heat Exchanger 1\".\n"
                         "Temperature 100000.000000 K is higher then maximum value"));
    EXPECT_TRUE(contains(project->calc_log, " part failed, stopping calculation.\n"));
    EXPECT_TRUE(contains(project->status_log, "ERROR: Calculation failed.\n"));
}

// An interface that never settles keeps its heat exchanger iterating.
int never_settles(Project& project, Interface& itf) {
    Part* hx = part_by_id(&project, itf.hot_part_id);
    hx->state = PS_INTERFACE_ITERATING;
    return 7;
}

TEST_F(Solver, SweepLimitIsReportedAsNotConverged) {
    Process& proc = add_process("P", FLUID_HELIUM, 300, 1000, 1, {HEAT_EXCHANGER, HEAT_EXCHANGER});
    Part& hx = *proc.parts[1];
    hx.options[OPT_OUTLET_TEMPERATURE] = 2;              // driven by the interface
    proc.parts[2]->inputs[PI_OUTLET_TEMPERATURE] = 1e5;  // fails: set aside while unsettled
    Interface* itf = create_interface();
    itf->hot_process_id = itf->cold_process_id = proc.id;
    itf->hot_part_id = itf->cold_part_id = hx.id;
    append_interface(*project, itf);
    interface_calculation = never_settles;
    sweep_limit = 3;
    project->status_log_open = 1;
    EXPECT_EQ(calcProject(*project), 5);
    EXPECT_EQ(hx.state, PS_INTERFACE_ITERATING);
    EXPECT_EQ(proc.parts[2]->state, PS_PROVISIONAL);
    EXPECT_TRUE(contains(project->calc_log, " failed, ignoring part for now.\n"));
    // The set-aside part passed its inlet through.
    EXPECT_EQ(proc.parts[2]->outputs[PO_OUTLET_TEMPERATURE], proc.parts[2]->T[0]);
    const std::string& log = project->status_log;
    EXPECT_TRUE(contains(log, "ERROR: Calculation did not converge within 3 sweeps.\n"));
    EXPECT_TRUE(contains(log, "part \"Heat Exchanger 1\""));
    EXPECT_TRUE(contains(log, "part \"Heat Exchanger 2\""));
    EXPECT_TRUE(contains(log, "part \"Outlet 1\""));
    EXPECT_TRUE(contains(log, "Interface \"" + itf->name + "\" has not converged"));
    EXPECT_FALSE(contains(log, "Calculation finished."));
    EXPECT_TRUE(contains(log, "ERROR: Calculation failed.\n"));
}

// Every part ends on its predecessor's outlet, however the sweeps reached
// it: a heat recovery boiler of three coupled exchangers (the gas passes
// the superheater, evaporator and economiser, the steam the other way; the
// economiser's gas had kept an inlet 1.1 mK off, as its interface settled
// while the evaporator still moved), and a steam header whose process
// heater drain joins the turbine's condensate in a mixer before a cooler of
// fixed outlet temperature and a pump (the pump had finished on the 5 kg/s
// of the condensate alone, not 8).  What an exchanger gives, the other side
// takes; each message of an interface is given once.
TEST_F(Solver, PartsEndOnTheirPredecessorsOutlets) {
    for (const char* file : {"heat_recovery_chain.kvr", "steam_header_pump.kvr"}) {
        SCOPED_TRACE(file);
        Project& p = read_file(file, "tests/app/core/solver/cases");
        p.status_log_open = 1;
        ASSERT_EQ(calcProject(p), CS_FINISHED) << p.status_log;
        for (int i = 0; i < p.az_processes; ++i) {
            const Process& proc = *p.processes[i];
            for (int k = 1; k < proc.az_parts; ++k) {
                const Part& part = *proc.parts[k];
                const Part& pred = *part_by_id(&p, part.prev_id[0]);
                const bool second = part.prev_outlet[0] == 1;
                const auto& o = pred.outputs;
                SCOPED_TRACE(part.name);
                EXPECT_EQ(part.state, PS_FINISHED);
                // (A turbo machine finds its inlet temperature again from p and h.)
                EXPECT_NEAR(part.T[0], o[second ? PO_2_OUTLET_TEMPERATURE : PO_OUTLET_TEMPERATURE],
                            1e-10 * part.T[0]);
                EXPECT_EQ(part.p[0], o[second ? PO_2_OUTLET_PRESSURE : PO_OUTLET_PRESSURE]);
                EXPECT_NEAR(part.h[0], o[second ? PO_2_OUTLET_ENTHALPY : PO_OUTLET_ENTHALPY],
                            1e-10 * std::fabs(part.h[0]));
                EXPECT_EQ(part.outputs[PO_INLET_MASSFLOW],
                          o[second ? PO_2_OUTLET_MASSFLOW : PO_OUTLET_MASSFLOW]);
                if (part.type == MIXER) {
                    const Part& feed = *part_by_id(&p, part.prev_id[1]);
                    EXPECT_EQ(part.outputs[PO_2_INLET_MASSFLOW],
                              feed.outputs[part.prev_outlet[1] == 1 ? PO_2_OUTLET_MASSFLOW
                                                                    : PO_OUTLET_MASSFLOW]);
                }
            }
        }
        for (int i = 0; i < p.az_interfaces; ++i) {
            const Interface& itf = *p.interfaces[i];
            SCOPED_TRACE(itf.name);
            EXPECT_EQ(itf.status, IS_CONVERGED);
            const double q_hot = part_by_id(&p, itf.hot_part_id)->outputs[PO_HEAT];
            const double q_cold = part_by_id(&p, itf.cold_part_id)->outputs[PO_HEAT];
            EXPECT_NEAR(q_cold, -q_hot * itf.inputs[II_HEAT_TRANSFER_EFFICIENCY], 1e-9 * -q_hot);
            EXPECT_TRUE(contains(p.status_log, "Interface \"" + itf.name + "\": ")) << p.status_log;
        }
        std::istringstream log(p.status_log);
        std::set<std::string> lines;
        for (std::string line; std::getline(log, line);)
            if (contains(line, "Interface \"")) {
                EXPECT_TRUE(lines.insert(line).second) << line;
            }
    }
}

TEST_F(Solver, FluidThatCannotBeSetUpFailsThePreparation) {
    auto bad = std::make_unique<Fluid>(*fluids[FLUID_HELIUM]);
    bad->name = "Nothing";
    bad->components = "nosuchfluid";
    Fluid* f = fluids.append(std::move(bad));
    ASSERT_NE(f, nullptr);
    Process& proc = add_process("P", FLUID_HELIUM, 300, 1000, 1, {COMPRESSOR});
    proc.fluid = f;
    EXPECT_EQ(calcProject(*project), 5);
    EXPECT_EQ(current_fluid, nullptr);
    // The text of the set-up, then its reason.
    EXPECT_TRUE(contains(project->calc_log, "Error initializing fluid Nothing. [SETUP"));
    EXPECT_TRUE(contains(project->calc_log, "could not be set up"));
    EXPECT_EQ(proc.parts[1]->state, PS_NEW);  // no model ran
}

TEST_F(Solver, CombustionNeedsAMixture) {
    add_process("P", FLUID_AIR, 300, 100, 1, {COMBUSTOR});
    EXPECT_EQ(calc_all(*project), 5);
    EXPECT_TRUE(contains(project->calc_log,
                         "Combustion cannot be calculated with the pseudo-fluid Air.\n"));
}

// ---------------------------------------------------------------------------
// One part
// ---------------------------------------------------------------------------

class PartCalc : public CycleTest {
protected:
    Part* part = nullptr;
    void make(int type) {
        part = create_part(type);
        ASSERT_TRUE(cycletest::set_inlet(*part, FLUID_HELIUM, 300, 1000, 2.0));
    }
    void TearDown() override {
        free_part(part);
        CycleTest::TearDown();
    }
};

TEST_F(PartCalc, LeakageOfTheWholeStreamIsRefused) {
    make(OUTLET);
    part->inputs[PI_ABSOLUTE_LEAKAGE] = 2.0;
    EXPECT_EQ(calc_part(*part), 5);
    EXPECT_TRUE(contains(project->calc_log,
                         "Error in part " + part->name + ", massflow <= 0. Calculation failed\n"));
    project->calc_log.clear();
    part->options[OPT_LEAKAGE] = 1;
    part->inputs[PI_RELATIVE_LEAKAGE] = 1.0;
    EXPECT_EQ(calc_part(*part), 5);
    EXPECT_TRUE(contains(project->calc_log, "massflow <= 0"));
    part->inputs[PI_RELATIVE_LEAKAGE] = 1.5;
    EXPECT_EQ(calc_part(*part), 5);
    part->inputs[PI_RELATIVE_LEAKAGE] = 0.25;
    EXPECT_EQ(calc_part(*part), 1);
    EXPECT_DOUBLE_EQ(part->outputs[PO_OUTLET_MASSFLOW], 1.5);
    EXPECT_DOUBLE_EQ(part->outputs[PO_LEAKAGE], 0.5);
    EXPECT_EQ(part->busy, 0);
}

TEST_F(PartCalc, PressureAtTheFluidsLimitIsRefused) {
    make(OUTLET);
    part->p[0] = current_fluid->pmax;
    EXPECT_EQ(calc_part(*part), 5);
    const int u = selected_unit[Q_PRESSURE];
    EXPECT_TRUE(contains(
        project->calc_log,
        format_text("\nTool not designed for such pressure; pressure must be "
                    "lower than %f %s\n",
                    to_display(Q_PRESSURE, u, current_fluid->pmax), unit_symbol(Q_PRESSURE, u))));
}

TEST_F(PartCalc, NonPositiveEfficiencyIsRefused) {
    make(TURBINE);
    part->options[OPT_EFFICIENCY] = 1;
    part->inputs[PI_POLYTROPIC_EFFICIENCY] = 0;
    EXPECT_EQ(calc_part(*part), 5);
    EXPECT_TRUE(contains(part->failure_text, "must be greater than 0"));
}

TEST_F(PartCalc, HandOverFromTheSecondOutlet) {
    make(HEAT_EXCHANGER);
    Part* splitter = create_part(SPLITTER);
    splitter->outputs[PO_2_OUTLET_TEMPERATURE] = 350;
    splitter->outputs[PO_2_OUTLET_PRESSURE] = 900;
    splitter->outputs[PO_2_OUTLET_MASSFLOW] = 0.4;
    splitter->outputs[PO_OUTLET_TEMPERATURE] = 111;
    splitter->x_out2[0] = 0.5;
    splitter->fluid = fluids[FLUID_WATER];
    part->prev_outlet[0] = 1;
    part->q[0] = 0.123;
    init_part_from_predecessor(*part, *splitter);
    EXPECT_EQ(part->T[0], 350);
    EXPECT_EQ(part->p[0], 900);
    EXPECT_EQ(part->outputs[PO_INLET_MASSFLOW], 0.4);
    EXPECT_EQ(part->x_in[0], 0.5);
    EXPECT_EQ(part->q[0], 0.123);  // the quality stays
    EXPECT_EQ(part->fluid, fluids[FLUID_WATER]);
    part->prev_outlet[0] = 0;
    init_part_from_predecessor(*part, *splitter);
    EXPECT_EQ(part->T[0], 111);
    free_part(splitter);
}

// ---------------------------------------------------------------------------
// Results
// ---------------------------------------------------------------------------

class Results : public CycleTest {};

TEST_F(Results, ProjectTotalsOfTheCountedParts) {
    Process& proc = add_process("P", FLUID_HELIUM, 300, 1000, 1,
                                {COMPRESSOR, COMBUSTOR, TURBINE, HEAT_EXCHANGER, INTERCOOLER});
    proc.parts[1]->outputs[PO_POWER] = 100;
    proc.parts[2]->outputs[PO_THERMAL_POWER] = 500;
    proc.parts[3]->outputs[PO_POWER] = -300;
    proc.parts[4]->outputs[PO_HEAT] = 1000;  // not counted (option 0)
    proc.parts[5]->outputs[PO_HEAT] = -50;
    for (int k = 1; k <= 3; ++k) proc.parts[k]->options[OPT_EFFICIENCY_CALCULATION] = 2;
    proc.parts[5]->options[OPT_EFFICIENCY_CALCULATION] = 2;  // intercoolers never count
    calc_overall_efficiency(*project);
    const auto& t = project->totals;
    EXPECT_DOUBLE_EQ(t[TOT_POWER_IN], 100);
    EXPECT_DOUBLE_EQ(t[TOT_POWER_OUT], -300);
    EXPECT_DOUBLE_EQ(t[TOT_POWER], -200);
    EXPECT_DOUBLE_EQ(t[TOT_THERMAL_POWER], 500);
    EXPECT_DOUBLE_EQ(t[TOT_HEAT], 0);
    EXPECT_DOUBLE_EQ(t[TOT_EFFICIENCY], 0.4);
    EXPECT_DOUBLE_EQ(proc.outputs[PRO_EFFICIENCY], 0.4);
    // Use for the process only: the project has no counted heat left.
    for (int k = 1; k <= 3; ++k) proc.parts[k]->options[OPT_EFFICIENCY_CALCULATION] = 1;
    calc_overall_efficiency(*project);
    EXPECT_DOUBLE_EQ(t[TOT_EFFICIENCY], 1.0);
    EXPECT_DOUBLE_EQ(t[TOT_POWER], 0);
    EXPECT_DOUBLE_EQ(proc.outputs[PRO_EFFICIENCY], 0.4);
}

TEST_F(Results, ProcessSumsByPartType) {
    Process& proc = add_process("P", FLUID_HELIUM, 300, 1000, 2, {PUMP, EXPANDER, INTERCOOLER});
    for (int k = 1; k <= 3; ++k)
        ASSERT_TRUE(cycletest::set_inlet(*proc.parts[k], FLUID_HELIUM, 300, 1000, 2));
    proc.parts[1]->outputs[PO_POWER] = 10;
    proc.parts[1]->outputs[PO_SPECIFIC_WORK] = 5;
    proc.parts[2]->outputs[PO_POWER] = -30;
    proc.parts[3]->outputs[PO_SPECIFIC_HEAT_FLUX] = -20;
    proc.parts[3]->outputs[PO_LEAKAGE] = 0.5;
    finalizeProcess(proc);
    EXPECT_DOUBLE_EQ(proc.parts[3]->outputs[PO_HEAT], -40);
    EXPECT_DOUBLE_EQ(proc.outputs[PRO_POWER], -20);
    EXPECT_DOUBLE_EQ(proc.outputs[PRO_POWER_IN], 10);
    EXPECT_DOUBLE_EQ(proc.outputs[PRO_POWER_OUT], -30);
    EXPECT_DOUBLE_EQ(proc.outputs[PRO_SPECIFIC_WORK], 5);
    EXPECT_DOUBLE_EQ(proc.outputs[PRO_HEAT_OUT], -40);
    EXPECT_DOUBLE_EQ(proc.outputs[PRO_HEAT_IN], 0);
    EXPECT_DOUBLE_EQ(proc.outputs[PRO_LEAKAGE], 0.5);
    EXPECT_EQ(proc.done, 1);
    // Helium gas at 300 K is dry.
    EXPECT_DOUBLE_EQ(proc.parts[1]->outputs[PO_INLET_WETNESS], 0.0);
    calc_overall_efficiency(*project);
    EXPECT_DOUBLE_EQ(proc.outputs[PRO_EFFICIENCY], 1.0);
}

}  // namespace
