#include "app/core/solver/heat_exchangers.h"

#include "tests/app/core/cycle_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace app;

class HeatExchangers : public cycletest::CycleTest {
protected:
    Part* part = nullptr;
    void make(int type, int fluid = FLUID_HELIUM, double T = 300, double p = 1000) {
        part = create_part(type);
        ASSERT_TRUE(cycletest::set_inlet(*part, fluid, T, p, 2.0));
    }
    void TearDown() override {
        free_part(part);
        CycleTest::TearDown();
    }
    double out(int row) const { return part->outputs[row]; }
};

TEST_F(HeatExchangers, PressureLossElementLosesPressureOnly) {
    make(PRESSURE_LOSS_ELEMENT);
    part->options[OPT_PRESSURE_LOSS] = 1;
    part->inputs[PI_RELATIVE_PRESSURE_LOSS] = 0.02;
    ASSERT_EQ(calc_part(*part), 1) << part->failure_text;
    EXPECT_NEAR(out(PO_OUTLET_PRESSURE), 980, 1e-9);
    EXPECT_NEAR(out(PO_OUTLET_ENTHALPY), out(PO_INLET_ENTHALPY), 1e-9);
    EXPECT_NEAR(part->p[50], 990, 1e-9);
    EXPECT_EQ(out(PO_SPECIFIC_HEAT_FLUX), 0);
    // Helium warms a little when throttled (about 0.06 K/bar).
    EXPECT_GT(out(PO_OUTLET_TEMPERATURE), 300.005);
    EXPECT_LT(out(PO_OUTLET_TEMPERATURE), 300.02);
}

TEST_F(HeatExchangers, TooMuchPressureLoss) {
    make(PRESSURE_LOSS_ELEMENT);
    part->options[OPT_PRESSURE_LOSS] = 1;
    part->inputs[PI_RELATIVE_PRESSURE_LOSS] = 1;
    EXPECT_EQ(calc_part(*part), 5);
    EXPECT_EQ(part->failure_text,
              "To much pressure loss in part Pressure Loss Element 1, pressure <= 0\n");
    part->options[OPT_PRESSURE_LOSS] = 0;
    part->inputs[PI_ABSOLUTE_PRESSURE_LOSS] = 1000;
    EXPECT_EQ(calc_part(*part), 5);
    part->options[OPT_PRESSURE_LOSS] = 2;
    EXPECT_EQ(calc_part(*part), 5);
    EXPECT_EQ(part->failure_text, "calc heat exchanger | Unknown type of pressure loss\n");
}

TEST_F(HeatExchangers, FixedOutletTemperature) {
    make(HEAT_EXCHANGER);
    part->inputs[PI_OUTLET_TEMPERATURE] = 600;
    ASSERT_EQ(calc_part(*part), 1);
    EXPECT_NEAR(out(PO_OUTLET_TEMPERATURE), 600, 1e-6);
    EXPECT_EQ(part->final_flag, 1);
    // cp of helium is 5.193 kJ/(kg K).
    EXPECT_NEAR(out(PO_SPECIFIC_HEAT_FLUX), 5.193 * 300, 0.003 * 5.193 * 300);
    EXPECT_NEAR(part->heat[100], 2.0 * out(PO_SPECIFIC_HEAT_FLUX), 1e-6);
    EXPECT_NEAR(part->T[50], 450, 0.5);
}

TEST_F(HeatExchangers, OutletTemperatureOutsideTheRangeFailsAtOnce) {
    make(INTERCOOLER);
    const double Tmax = current_fluid->Tmax;
    part->inputs[PI_OUTLET_TEMPERATURE] = Tmax + 1;
    part->h[100] = -12345;
    EXPECT_EQ(calc_part(*part), 5);
    EXPECT_EQ(part->failure_text,
              format_text("Failure calculating heat exchanger \"Intercooler 1\".\nTemperature %f K "
                          "is higher then maximum value %f K\n",
                          Tmax + 1, Tmax));
    EXPECT_EQ(part->h[100], -12345);  // no state was computed
    part->inputs[PI_OUTLET_TEMPERATURE] = current_fluid->Tmin / 2;
    EXPECT_EQ(calc_part(*part), 5);
    EXPECT_NE(part->failure_text.find("is lower then minimum value"), std::string::npos);
}

TEST_F(HeatExchangers, SpecificHeatFlux) {
    make(HEAT_EXCHANGER);
    part->options[OPT_OUTLET_TEMPERATURE] = 1;
    part->inputs[PI_SPECIFIC_HEAT_FLUX] = -100;
    ASSERT_EQ(calc_part(*part), 1);
    EXPECT_NEAR(out(PO_OUTLET_ENTHALPY) - out(PO_INLET_ENTHALPY), -100, 1e-9);
    EXPECT_NEAR(out(PO_SPECIFIC_HEAT_FLUX), -100, 1e-9);
    EXPECT_EQ(part->final_flag, 0);
}

TEST_F(HeatExchangers, InterfaceSeedsAreProvisional) {
    make(HEAT_EXCHANGER);
    part->options[OPT_OUTLET_TEMPERATURE] = 2;
    part->state = PS_SEED_TEMPERATURE;
    part->init_T = 400;
    EXPECT_EQ(calc_part(*part), 2);
    EXPECT_NEAR(out(PO_OUTLET_TEMPERATURE), 400, 1e-6);
    part->state = PS_SEED_TEMPERATURE_DIFFERENCE;
    part->init_dT = -20;
    EXPECT_EQ(calc_part(*part), 2);
    EXPECT_NEAR(out(PO_OUTLET_TEMPERATURE), 280, 1e-6);
    part->state = PS_SEED_HEAT_FLUX;
    part->init_heat_flux = 50;
    EXPECT_EQ(calc_part(*part), 2);
    EXPECT_NEAR(out(PO_OUTLET_ENTHALPY) - out(PO_INLET_ENTHALPY), 50, 1e-9);
    part->state = PS_PENDING;
    EXPECT_EQ(calc_part(*part), 2);
    EXPECT_EQ(out(PO_OUTLET_TEMPERATURE), 300);
}

TEST_F(HeatExchangers, CondenserEndsOnTheBubbleLine) {
    make(CONDENSER, FLUID_WATER, 400, 10);
    ASSERT_EQ(calc_part(*part), 1) << part->failure_text;
    EXPECT_NEAR(out(PO_OUTLET_TEMPERATURE), 318.956, 0.002);
    double T = 0, p = 10, s = 0, h = 0, rho = 0, q = 0;
    ASSERT_EQ(get_all_by_p_and_q(part->x_in.data(), T, p, s, h, rho, q), 0);
    EXPECT_NEAR(out(PO_OUTLET_ENTHALPY), h, 1e-9);
    EXPECT_NEAR(out(PO_OUTLET_DENSITY), rho, 1e-6 * rho);
    // Latent heat plus superheat: about 2546 kJ/kg released.
    EXPECT_NEAR(out(PO_SPECIFIC_HEAT_FLUX), -2546, 5);
}

TEST_F(HeatExchangers, FadeStopsBelowTheMinimumTemperature) {
    make(HEAT_EXCHANGER);
    part->options[OPT_OUTLET_TEMPERATURE] = 1;
    part->T[0] = current_fluid->Tmin - 0.5;
    EXPECT_EQ(calc_part(*part), 5);
    EXPECT_EQ(part->failure_text, format_text("  Calculation failed \n  Temperature lower then "
                                              "T_min %f\n",
                                              current_fluid->Tmin));
    EXPECT_EQ(part->segment, 1);
}

TEST_F(HeatExchangers, PipelineWithoutOldValuePassesThrough) {
    make(PIPELINE);
    part->options[OPT_PRESSURE_LOSS] = 1;
    part->inputs[PI_RELATIVE_PRESSURE_LOSS] = 0.5;
    ASSERT_EQ(calc_part(*part), 1);
    EXPECT_EQ(out(PO_OUTLET_PRESSURE), 1000);
    EXPECT_NEAR(out(PO_OUTLET_ENTHALPY), out(PO_INLET_ENTHALPY), 1e-9);
    part->old_value = 2;
    ASSERT_EQ(calc_part(*part), 1);
    EXPECT_NEAR(out(PO_OUTLET_PRESSURE), 250, 1e-9);
}

// Paths that leave the states the library finds: the failure says where
// and why, after the usual text.  Natural gas cooled until its carbon
// dioxide would freeze; helium cooled below its lowest temperature.
constexpr int NATURAL_GAS_GRONINGEN = 37;  // entry of `fluids`

struct NoState {
    const char* label;
    int fluid;
    double T, p, heat_flux;  // K, kPa, kJ/kg
    const char* reason;      // a piece of the library's message
};

class FadeWithoutState : public HeatExchangers, public ::testing::WithParamInterface<NoState> {};

TEST_P(FadeWithoutState, SaysWhereAndWhy) {
    const NoState& c = GetParam();
    make(HEAT_EXCHANGER, c.fluid, c.T, c.p);
    part->options[OPT_OUTLET_TEMPERATURE] = 1;
    part->inputs[PI_SPECIFIC_HEAT_FLUX] = c.heat_flux;
    EXPECT_EQ(calc_part(*part), 5);
    const std::string& text = part->failure_text;
    EXPECT_EQ(text.rfind("  Calculation problems in part " + part->name + ".\n", 0), 0u) << text;
    EXPECT_TRUE(cycletest::contains(text, "Part \"" + part->name + "\": no state at ")) << text;
    EXPECT_TRUE(cycletest::contains(text, c.reason)) << text;
}

INSTANTIATE_TEST_SUITE_P(Paths, FadeWithoutState,
                         ::testing::Values(NoState{"NaturalGasFreezing", NATURAL_GAS_GRONINGEN, 300,
                                                   101.325, -300, "co2 would freeze out"},
                                           NoState{"HeliumBelowItsRange", FLUID_HELIUM, 10, 300,
                                                   -100, "temperature below lower limit"}),
                         [](const ::testing::TestParamInfo<NoState>& i) {
                             return std::string(i.param.label);
                         });

// A fixed outlet temperature where the fluid has no state: natural gas at
// 140 K, where its carbon dioxide would freeze out.
TEST_F(HeatExchangers, FixedOutletWithoutStateSaysWhy) {
    make(HEAT_EXCHANGER, NATURAL_GAS_GRONINGEN, 300, 101.325);
    part->options[OPT_OUTLET_TEMPERATURE] = 0;
    part->inputs[PI_OUTLET_TEMPERATURE] = 140;
    EXPECT_EQ(calc_part(*part), 5);
    const std::string& text = part->failure_text;
    EXPECT_EQ(text.rfind("Heat exchanger failed to calculate outlet conditions\n", 0), 0u) << text;
    EXPECT_TRUE(
        cycletest::contains(text, "Heat exchanger \"" + part->name + "\": no state at 140 K"))
        << text;
    EXPECT_TRUE(cycletest::contains(text, "co2 would freeze out")) << text;
}

}  // namespace
