// Refrigeration and heat-pump cycles (compressor, condenser, throttle,
// evaporator) and organic Rankine cycles (pump, evaporator, expander,
// condenser, subcooler) on pure fluids and blends, over grids of their
// saturation temperatures, as a user builds them: each closes its energy
// balance, condenses to the bubble line, throttles at constant enthalpy and
// stays below the Carnot figure of its temperatures.
#include "tests/app/core/cycle_support.h"

#include "library/library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <string>

namespace {

using namespace app;
using cycletest::CycleTest;

// A fluid block for a blend of two built-in fluids (empty for a built-in
// fluid).
std::string blend(const char* name, const char* a, double xa, const char* b) {
    return format_text(
        "#START Fluid Definition\n Fluid name = \"%s\"\n Az parts = \"2\"\n"
        " Fluid humidity type = \"0\"\n Component \"%s\" mol_proz \"%.3f\" \n"
        " Component \"%s\" mol_proz \"%.3f\" \n#END Fluid definition\n",
        name, a, xa, b, 1 - xa);
}

// A part linked to the ids before and after it (none after the Outlet).
std::string part_text(int id, const char* type, const char* name, const char* body,
                      bool last = false) {
    return format_text(
        "#START Part\n  Type = \"%s\"\n  Name = \"%s\"\n  ID = %d\n"
        "  Previous Part ID \"0\" = \"%d\" \"0\"\n  Next Part ID \"0\" = \"%d\" "
        "\"0\"\n%s#END\n",
        type, name, id, id - 1, last ? 0 : id + 1, body);
}

// The parts' inputs that the grids set: placeholders here.
const char* const kCompressor =
    "  Option \"Compression \" = \"Fixed outlet\"\n  Option \"Efficiency\" = \"Isentropic\"\n"
    "  Input Value \"Outlet Pressure\" = \"1000 kPa\"\n"
    "  Input Value \"Isentropic Efficiency\" = \"0.7 -\"\n";
const char* const kExpander =
    "  Option \"Expansion\" = \"Fixed outlet\"\n  Option \"Efficiency\" = \"Isentropic\"\n"
    "  Input Value \"Outlet Pressure\" = \"100 kPa\"\n"
    "  Input Value \"Isentropic Efficiency\" = \"0.8 -\"\n";
const char* const kFixedTemperature =
    "  Option \"Outlet Temperature\" = \"Fixed\"\n  Option \"Pressure Loss\" = \"Relative\"\n"
    "  Input Value \"Outlet Temperature\" = \"300 K\"\n"
    "  Input Value \"Relative Pressure Loss\" = \"0 -\"\n";
const char* const kCondenser =
    "  Option \"Pressure Loss\" = \"Relative\"\n  Input Value \"Relative Pressure Loss\" = \"0 "
    "-\"\n";
const char* const kThrottle =
    "  Option \"Pressure Loss\" = \"Absolute\"\n"
    "  Input Value \"Absolute Pressure Loss\" = \"100 kPa\"\n";

// A project of one process of the fluid: Inlet, the parts (type, name,
// inputs) in order, Outlet.
std::string cycle_text(const char* fluid, const std::string& block,
                       std::initializer_list<std::array<const char*, 3>> parts) {
    std::string t = "Version = \"2.0.8\"\n" + block +
                    format_text(
                        "#START Process\n  Name = \"Cycle\"\n  ID = 100000\n"
                        "#START Inlet Conditions\n  Fluid = \"%s\"\n"
                        "  Temperature = \"300 K\"\n  Pressure = \"100 kPa\"\n"
                        "  Massflow = \"1 kg/s\"\n#END\n",
                        fluid);
    t += part_text(1, "Inlet", "Inlet", "");
    int id = 1;
    for (const auto& [type, name, body] : parts) t += part_text(++id, type, name, body);
    return t + part_text(id + 1, "Outlet", "Outlet", "", true) + "#END\n";
}

struct Case {
    const char* fluid;
    std::string block;
};

class PlantCycles : public CycleTest {
protected:
    Part& named(const char* name) {
        Process& proc = *project->processes[0];
        for (int k = 0; k < proc.az_parts; ++k)
            if (proc.parts[k]->name == name) return *proc.parts[k];
        ADD_FAILURE() << "no part " << name;
        return *proc.parts[0];
    }
    // Saturation pressure (kph bubble or dew) at T, or temperature at p,
    // of the process's fluid, from the library.
    double sat_pressure(double T, int kph) {
        Fluid* f = project->processes[0]->fluid;
        init_stoffwerte(f);
        double p = 0, Dl = 0, Dv = 0, xl[MAX_COMPONENTS] = {}, yv[MAX_COMPONENTS] = {};
        int ierr = 0;
        std::string herr;
        lib::SATT(T, f->x.data(), kph, p, Dl, Dv, xl, yv, ierr, herr);
        EXPECT_LE(ierr, 0) << herr;
        return p;
    }
    double sat_temperature(double p, int kph) {
        Fluid* f = project->processes[0]->fluid;
        init_stoffwerte(f);
        double T = 0, Dl = 0, Dv = 0, xl[MAX_COMPONENTS] = {}, yv[MAX_COMPONENTS] = {};
        int ierr = 0;
        std::string herr;
        lib::SATP(p, f->x.data(), kph, T, Dl, Dv, xl, yv, ierr, herr);
        EXPECT_LE(ierr, 0) << herr;
        return T;
    }
    void set_inlet(double T, double p) {
        project->processes[0]->inputs[PRI_TEMPERATURE] = T;
        project->processes[0]->inputs[PRI_PRESSURE] = p;
    }
    // The sum of the powers and heats of the process's parts, and the
    // largest of them.
    void balance(double& sum, double& largest) {
        sum = largest = 0;
        Process& proc = *project->processes[0];
        for (int k = 1; k + 1 < proc.az_parts; ++k) {
            const Part& part = *proc.parts[k];
            const double e = part.type <= TURBINE ? part.outputs[PO_POWER] : part.outputs[PO_HEAT];
            sum += e;
            largest = std::max(largest, std::fabs(e));
        }
    }
    // Calculates the cycle: it finishes, its powers and heats add up to
    // zero, and its condenser ends on the bubble line.
    void calculate_closed_cycle() {
        project->status_log_open = 1;
        ASSERT_EQ(calcProject(*project), CS_FINISHED) << project->status_log;
        double sum = 0, largest = 0;
        balance(sum, largest);
        EXPECT_NEAR(sum, 0, 1e-7 * largest);
        expect_bubble_point("Condenser");
    }
    // The outlet of a condenser is saturated liquid at its outlet pressure.
    void expect_bubble_point(const char* name) {
        const Part& k = named(name);
        EXPECT_EQ(k.outputs[PO_OUTLET_HUMIDITY], 0.0);
        // The wetness is a (T, s) flash's: near a blend's critical point
        // it says 1 - 4e-6.
        EXPECT_NEAR(k.outputs[PO_OUTLET_WETNESS], 1.0, 1e-5);
        const double Tb = sat_temperature(k.outputs[PO_OUTLET_PRESSURE], lib::kBubblePoint);
        EXPECT_NEAR(k.outputs[PO_OUTLET_TEMPERATURE], Tb, 1e-6);
    }
    void expect_entropy_rises(const char* name) {
        const Part& m = named(name);
        EXPECT_GT(m.outputs[PO_OUTLET_ENTROPY], m.outputs[PO_INLET_ENTROPY]) << name;
    }
};

TEST_F(PlantCycles, HeatPumpsCloseAndCondenseToTheBubbleLine) {
    const Case cases[] = {
        {"R134A", ""},
        {"Propane", ""},
        {"Ammonia", ""},
        {"PropIsobut", blend("PropIsobut", "Propane", 0.5, "Isobutane")},
        {"LPG", blend("LPG", "Propane", 0.7, "Butane")},
        {"CO2Prop", blend("CO2Prop", "Carbon dioxide", 0.2, "Propane")},
    };
    int calculated = 0;
    for (const Case& c : cases) {
        read_text(cycle_text(c.fluid, c.block,
                             {{"Compressor", "Compressor", kCompressor},
                              {"Condenser", "Condenser", kCondenser},
                              {"Heat Exchanger", "Subcooler", kFixedTemperature},
                              {"Pressure Loss Element", "Throttle", kThrottle},
                              {"Heat Exchanger", "Evaporator", kFixedTemperature}}),
                  "heat_pump.kvr");
        for (const double Te : {253.15, 273.15})
            for (const double Tc : {308.15, 328.15}) {
                // Near the dew line and well beyond it.
                const double superheat = Tc < 320 ? 0.5 : 5.0;
                SCOPED_TRACE(
                    format_text("%s Te %.2f Tc %.2f superheat %.1f", c.fluid, Te, Tc, superheat));
                // Evaporating at the dew pressure of Te, condensing at
                // the bubble pressure of Tc, subcooled by 2 K.
                const double pe = sat_pressure(Te, lib::kDewPoint);
                const double pc = sat_pressure(Tc, lib::kBubblePoint);
                set_inlet(Te + superheat, pe);
                named("Compressor").inputs[PI_OUTLET_PRESSURE] = pc;
                named("Subcooler").inputs[PI_OUTLET_TEMPERATURE] = Tc - 2;
                named("Throttle").inputs[PI_ABSOLUTE_PRESSURE_LOSS] = pc - pe;
                named("Evaporator").inputs[PI_OUTLET_TEMPERATURE] = Te + superheat;
                ASSERT_NO_FATAL_FAILURE(calculate_closed_cycle());
                ++calculated;
                expect_entropy_rises("Compressor");
                expect_entropy_rises("Throttle");
                const Part& v = named("Throttle");
                EXPECT_EQ(v.outputs[PO_OUTLET_ENTHALPY], v.outputs[PO_INLET_ENTHALPY]);
                // A blend enters its evaporator below the dew point and
                // glides up to it.
                const Part& e = named("Evaporator");
                EXPECT_LT(e.outputs[PO_INLET_TEMPERATURE], Te + 1e-6);
                const double cop = e.outputs[PO_HEAT] / named("Compressor").outputs[PO_POWER];
                const double Tlow = e.outputs[PO_OUTLET_TEMPERATURE], Thigh = Tc;
                EXPECT_GT(cop, 1.0);
                EXPECT_LT(cop, Tlow / (Thigh - Tlow));
            }
    }
    EXPECT_EQ(calculated, 24);
}

TEST_F(PlantCycles, OrganicRankineCyclesCloseAndCondenseToTheBubbleLine) {
    const Case cases[] = {
        {"Pentane", ""},
        {"R245FA", ""},
        {"R245Pent", blend("R245Pent", "R245FA", 0.5, "Pentane")},
    };
    int calculated = 0;
    for (const Case& c : cases) {
        read_text(cycle_text(c.fluid, c.block,
                             {{"Pump", "Pump", kCompressor},
                              {"Heat Exchanger", "Evaporator", kFixedTemperature},
                              {"Expander", "Expander", kExpander},
                              {"Condenser", "Condenser", kCondenser},
                              {"Heat Exchanger", "Subcooler", kFixedTemperature}}),
                  "orc.kvr");
        for (const double Tlow : {298.15, 318.15})
            for (const double Thigh : {373.15, 403.15}) {
                SCOPED_TRACE(format_text("%s Tlow %.2f Thigh %.2f", c.fluid, Tlow, Thigh));
                // Condensing at the bubble pressure of Tlow, evaporating at
                // the dew pressure of Thigh and superheated by 5 K; the pump
                // takes liquid subcooled by 3 K.
                const double pl = sat_pressure(Tlow, lib::kBubblePoint);
                const double ph = sat_pressure(Thigh, lib::kDewPoint);
                set_inlet(Tlow - 3, pl);
                named("Pump").inputs[PI_OUTLET_PRESSURE] = ph;
                named("Evaporator").inputs[PI_OUTLET_TEMPERATURE] = Thigh + 5;
                named("Expander").inputs[PI_OUTLET_PRESSURE] = pl;
                named("Subcooler").inputs[PI_OUTLET_TEMPERATURE] = Tlow - 3;
                ASSERT_NO_FATAL_FAILURE(calculate_closed_cycle());
                ++calculated;
                expect_entropy_rises("Pump");
                expect_entropy_rises("Expander");
                const double net =
                    -named("Expander").outputs[PO_POWER] - named("Pump").outputs[PO_POWER];
                const double eta = net / named("Evaporator").outputs[PO_HEAT];
                EXPECT_GT(eta, 0.03);
                EXPECT_LT(eta, 1 - (Tlow - 3) / (Thigh + 5));
            }
    }
    EXPECT_EQ(calculated, 12);
}

}  // namespace

// Near a blend's critical point the (p, h) flash of the bubble point's own
// enthalpy lands a little inside the dome: the condenser's outlet is the
// bubble point itself.
TEST_F(PlantCycles, CondenserNearTheCriticalPointOfABlendEndsOnTheBubbleLine) {
    const struct {
        Case fluid;
        double T_in, p;
    } cases[] = {
        {{"LPG", blend("LPG", "Propane", 0.7, "Butane")}, 400, 3893.73479},
        {{"EthProp", blend("EthProp", "Ethane", 0.1, "Propane")}, 380, 4026.03186},
        {{"PropR134", blend("PropR134", "Propane", 0.3, "R134A")}, 380, 3839.81956},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fluid.fluid);
        read_text(
            cycle_text(c.fluid.fluid, c.fluid.block, {{"Condenser", "Condenser", kCondenser}}),
            "condenser.kvr");
        set_inlet(c.T_in, c.p);
        project->status_log_open = 1;
        ASSERT_EQ(calcProject(*project), CS_FINISHED) << project->status_log;
        expect_bubble_point("Condenser");
    }
}

// An evaporator that ends inside a blend's glide feeds the compressor wet
// vapour: calculated as given, with a warning; dry vapour gets none.
TEST_F(PlantCycles, CompressorFedWithWetVapourWarns) {
    read_text(cycle_text("PropIsobut", blend("PropIsobut", "Propane", 0.5, "Isobutane"),
                         {{"Compressor", "Compressor", kCompressor}}),
              "compressor.kvr");
    const struct {
        double T;
        bool warns;
    } cases[] = {{266.15, true}, {273.15, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.T);
        set_inlet(c.T, 200);  // dew point 268.2 K
        project->status_log.clear();
        project->status_log_open = 1;
        ASSERT_EQ(calcProject(*project), CS_FINISHED) << project->status_log;
        EXPECT_EQ(cycletest::contains(project->status_log,
                                      "WARNING: Compressor \"Compressor\" is fed with wet vapour "
                                      "(quality 0.72"),
                  c.warns)
            << project->status_log;
        expect_entropy_rises("Compressor");
    }
}
