#include "app/core/solver/turbo.h"

#include "tests/app/core/cycle_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace app;

// Helium at 300 K and 10 bar is close to an ideal gas with cp/cv = 5/3: the
// reference values below are those of the ideal gas.
class Turbo : public cycletest::CycleTest {
protected:
    Part* part = nullptr;
    void make(int type, double T = 300, double p = 1000) {
        part = create_part(type);
        ASSERT_TRUE(cycletest::set_inlet(*part, FLUID_HELIUM, T, p, 2.0));
    }
    void TearDown() override {
        free_part(part);
        CycleTest::TearDown();
    }
    double out(int row) const { return part->outputs[row]; }
};

TEST_F(Turbo, PolytropicCompression) {
    make(COMPRESSOR);
    part->options[OPT_EFFICIENCY] = 1;
    part->inputs[PI_POLYTROPIC_EFFICIENCY] = 0.8;
    part->inputs[PI_PRESSURE_RATIO_OUT_IN] = 2;
    ASSERT_EQ(calc_part(*part), 1) << part->failure_text;
    // T2 / T1 = 2^((k - 1) / (k eta_p)) = 2^0.5.
    EXPECT_NEAR(out(PO_OUTLET_TEMPERATURE), 300 * std::sqrt(2.0), 0.003 * 300 * std::sqrt(2.0));
    EXPECT_NEAR(out(PO_OUTLET_PRESSURE), 2000, 1e-9);
    EXPECT_DOUBLE_EQ(out(PO_POLYTROPIC_EFFICIENCY), 0.8);
    // Ideal gas: eta_s = (2^0.4 - 1) / (2^0.5 - 1).
    EXPECT_NEAR(out(PO_ISENTROPIC_EFFICIENCY), (std::pow(2.0, 0.4) - 1) / (std::sqrt(2.0) - 1),
                0.002);
    // Work, power and enthalpy rise agree; the head is the work times eta_p.
    const double dh = out(PO_OUTLET_ENTHALPY) - out(PO_INLET_ENTHALPY);
    EXPECT_NEAR(out(PO_SPECIFIC_WORK), dh, 1e-6 * dh);
    EXPECT_NEAR(out(PO_POWER), 2.0 * dh, 2e-6 * dh);
    EXPECT_NEAR(out(PO_SPECIFIC_HEAD), 0.8 * out(PO_SPECIFIC_WORK), 1e-9 * dh);
    EXPECT_NEAR(out(PO_OUTLET_MASSFLOW), 2.0, 1e-15);
    EXPECT_EQ(part->segment, 100);
    // The points rise in pressure geometrically.
    EXPECT_NEAR(part->p[50], 1000 * std::sqrt(2.0), 1e-9);
}

TEST_F(Turbo, LinearStepsGiveTheSameOutlet) {
    make(COMPRESSOR);
    part->inputs[PI_POLYTROPIC_EFFICIENCY] = 0.8;
    ASSERT_EQ(calc_part(*part), 1);
    const double T_geometric = out(PO_OUTLET_TEMPERATURE);
    part->segmentation = 0;
    ASSERT_EQ(calc_part(*part), 1);
    EXPECT_NEAR(part->p[50], 1500, 1e-9);
    EXPECT_NEAR(out(PO_OUTLET_TEMPERATURE), T_geometric, 0.01);
    part->segmentation = 3;
    EXPECT_EQ(calc_part(*part), 5);
    EXPECT_EQ(part->failure_text, "calcCompressor | Type of step segmentation not known (3)\n");
}

TEST_F(Turbo, IsentropicExpansionFindsItsPolytropicEfficiency) {
    make(EXPANDER, 1000, 2000);
    part->options[OPT_EFFICIENCY] = 0;
    part->inputs[PI_ISENTROPIC_EFFICIENCY] = 0.85;
    part->inputs[PI_PRESSURE_RATIO_IN_OUT] = 4;
    ASSERT_EQ(calc_part(*part), 1) << part->failure_text;
    EXPECT_NEAR(out(PO_OUTLET_PRESSURE), 500, 1e-9);
    EXPECT_DOUBLE_EQ(out(PO_ISENTROPIC_EFFICIENCY), 0.85);
    const double dh = out(PO_OUTLET_ENTHALPY) - out(PO_INLET_ENTHALPY);
    EXPECT_NEAR(dh, 0.85 * out(PO_ISENTROPIC_ENTHALPY_DIFF), 1e-5 * std::fabs(dh));
    // Ideal gas: T_s = T1 / 4^0.4; the work is below the isentropic one.
    EXPECT_NEAR(out(PO_ISENTROPIC_ENTHALPY_DIFF), 5.1932 * (1000 / std::pow(4.0, 0.4) - 1000),
                0.005 * 5.1932 * 1000);
    EXPECT_LT(out(PO_POWER), 0);
    // An expansion's polytropic efficiency is below its isentropic one.
    const double eta_p = out(PO_POLYTROPIC_EFFICIENCY);
    EXPECT_LT(eta_p, 0.85);
    EXPECT_GT(eta_p, 0.8);
    const double ideal =
        std::log(1 - 0.85 * (1 - std::pow(0.25, 0.4))) / std::log(std::pow(0.25, 0.4));
    EXPECT_NEAR(eta_p, ideal, 0.002);
}

TEST_F(Turbo, PressureRatioOneCopiesTheInlet) {
    make(TURBINE);
    part->inputs[PI_PRESSURE_RATIO_IN_OUT] = 1;
    ASSERT_EQ(calc_part(*part), 1);
    for (int k : {1, 50, 100}) {
        EXPECT_EQ(part->p[k], part->p[0]);
        EXPECT_EQ(part->T[k], part->T[0]);
        EXPECT_EQ(part->h[k], part->h[0]);
    }
    EXPECT_EQ(out(PO_SPECIFIC_HEAD), 0);
    EXPECT_EQ(out(PO_SPECIFIC_WORK), 0);
    EXPECT_EQ(out(PO_POWER), 0);
}

TEST_F(Turbo, UnknownEfficiencyOption) {
    make(COMPRESSOR);
    part->options[OPT_EFFICIENCY] = 7;
    EXPECT_EQ(calc_part(*part), 5);
    EXPECT_EQ(part->failure_text, "calcCompressor | Type of efficiency not known (7)\n");
}

TEST_F(Turbo, PumpHeadOfWater) {
    part = create_part(PUMP);
    ASSERT_TRUE(cycletest::set_inlet(*part, FLUID_WATER, 318.15, 10, 1.0));
    part->options[OPT_COMPRESSION] = 1;
    part->inputs[PI_OUTLET_PRESSURE] = 10000;
    part->inputs[PI_POLYTROPIC_EFFICIENCY] = 1;
    ASSERT_EQ(calc_part(*part), 1) << part->failure_text;
    // v dp of liquid water, 1.0099e-3 m3/kg over 9990 kPa, less compression.
    EXPECT_NEAR(out(PO_SPECIFIC_WORK), 10.068, 0.003);
    EXPECT_NEAR(out(PO_ISENTROPIC_EFFICIENCY), 1.0, 2e-4);
}

}  // namespace
