// HSFLSH of binaries inside their two-phase region: from the enthalpy and
// entropy of the (T, p) flash's split, the same T, P and vapour fraction.
// The states are those Newton's method on (T, ln P) did not reach: its
// start lies below a component's triple point (a mixture with helium,
// whose critical point lies near helium's), or its road runs through the
// compressed liquid, where h and s are nearly dependent and the steps
// crawl; the search along the line of constant enthalpy finds them.  In a
// nearly azeotropic blend Newton's method on (T, q) takes the last digits.
// ESFLSH, from the internal energy, alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "tests/library/phase/lle_support.h"
#include "tests/support/fluid.h"

namespace {

struct State {
    const char* names;
    double z1, T, P;  // first component's mole fraction, K, kPa
};

const State kStates[] = {
    {"benzene|decane", 0.1, 367.444, 10.0},
    {"ammonia|pentane", 0.5, 241.342, 87.731},
    {"butane|decane", 0.5, 248.37, 10.0},
    {"water|argon", 0.5, 278.623, 10.0},
    {"r125|r134a", 0.5, 213.941, 29.619},
    {"oxygen|co", 0.5, 69.523, 10.0},
    {"butane|helium", 0.1, 137.593, 259.853},
    {"methane|helium", 0.1, 92.508, 2279.705},
    {"nonane|hydrogen", 0.1, 224.094, 259.853},
    // Two liquids, the decane's a tenth as dense as the water's (named the
    // other way round by a continued split before).
    {"decane|water", 0.5, 278.623, 10.0},
    // Next to pressures where PHFLSH finds no state (three phases).
    {"ammonia|butane", 0.1, 199.405, 10.0},
    {"c11|methanol", 0.5, 336.12, 87.731},
    // Nearly azeotropic blends (R410A, R507A, R512A): bubble and dew points
    // 0.37 %, 3e-5 and 1e-4 apart, where h and s move mostly with q.
    {"r32|r125", 0.697614699, 233.09, 174.8},
    {"r32|r125", 0.697614699, 233.09, 175.0},
    {"r125|r143a", 0.4118397118, 231.32662, 127.65266594252178},
    {"r125|r143a", 0.4118397118, 231.32662, 127.65},
    {"r134a|r152a", 0.0329487459, 208.82213, 11.21147985979073},
    // R509A, whose isobars below the state cross three-phase lines (the
    // search along the isenthalp meets them).
    {"r22|r218", 0.6307902102, 207.603, 38.732},
    // Two liquids at a few kPa, whose e and s move with P by the liquids'
    // P dv alone: ESFLSH's Newton steps on (T, ln P) are nearly singular,
    // and the search along the isentrope finds them (refused before, or
    // found by 40 flashes at given pressure in up to 0.7 s).
    {"butane|r245fa", 0.5, 233.452375, 23.147509041205943},
    {"ethanol|toluene", 0.5, 277.790625, 4.6300748782368757},
    {"ihexane|methanol", 0.5, 257.17625, 5.4662715008454734},
    {"ibutene|r152a", 0.5, 159.56, 0.19074735150253658},
    {"butane|r152a", 0.5, 220.6371875, 31.226345823107405},
    {"propylen|r32", 0.5, 192.5051125, 58.449956283709163},
    // Two liquids whose entropy at given pressure, next to the bubble point,
    // the flash gives only to its noise (R431A at 159.56 K; ipentane +
    // r365mfc at 244 K, densities 0.13 % apart): the isentrope takes the
    // temperature once settled there (ESFLSH refused both before).
    {"propane|r152a", 0.7857425324, 159.56, 1.1084442245455211},
    {"ipentane|r365mfc", 0.5, 244.0, 13.018667222249746},
    // Two liquids whose continued split led to a liquid and a vapour at
    // 167.75 K, 674 kPa, metastable there: given out with ierr 0.
    {"r14|toluene", 0.5, 202.865318, 2531.4344},
};

// Both phases at least this dense (mol/L) are two liquids.
constexpr double kDenseBoth = 1.0;

class HsOfASplit : public ::testing::TestWithParam<State> {};

TEST_P(HsOfASplit, GivesTheSplitBack) {
    const State& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    int ierr = 0;
    std::string herr;
    double z[20] = {c.z1, 1.0 - c.z1};
    double D, Dl, Dv, x[20], y[20], q = 0, e, h = 0, s = 0, cv, cp, w;
    lib::TPFLSH(c.T, c.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    ASSERT_TRUE(q > 0.0 && q < 1.0) << q;
    // (Of two liquids e and s hardly move with P: ESFLSH's P of decane +
    // water at 10 kPa lies 0.9 % off, its T 5e-8.)
    const bool two_liquids = std::min(Dl, Dv) > kDenseBoth;
    for (bool energy : {false, true}) {
        double T2 = 0, P2 = 0, D2, q2 = 0, x2[20], y2[20], other;
        (energy ? lib::ESFLSH : lib::HSFLSH)(energy ? e : h, s, z, T2, P2, D2, Dl, Dv, x2, y2, q2,
                                             other, cv, cp, w, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        EXPECT_NEAR(T2 / c.T, 1.0, 1e-6) << energy;
        if (!(energy && two_liquids)) {
            EXPECT_NEAR(P2 / c.P, 1.0, 1e-6) << energy;
        }
        EXPECT_NEAR(q2, q, 1e-6) << energy;
        EXPECT_NEAR(x2[0], x[0], 1e-6) << energy;
    }
}

INSTANTIATE_TEST_SUITE_P(States, HsOfASplit, ::testing::ValuesIn(kStates),
                         lletest::state_name<State>);

// ESFLSH of a natural gas (Gulf Coast) at 95.69 K and 2.3e-11 kPa: a gas
// whose e and s hardly tell the pressure from a tenth of it but by R ln P.
// Newton's method from the single-phase iteration's end does not converge;
// the isentrope from the attempt's last iterate finds it (refused before,
// after 0.4 s).
TEST(HsOfAGas, VanishingPressureOfANaturalGas) {
    ASSERT_EQ(testsupport::set_up("methane|nitrogen|co2|ethane|propane|isobutane|butane|ipentane|"
                                  "pentane|hexane"),
              "");
    double z[20] = {0.965222, 0.002595, 0.005956, 0.018186, 0.004596,
                    0.000977, 0.001007, 0.000473, 0.000324, 0.000664};
    const double T = 95.6941, P = 2.3330933500852527e-11;
    int ierr = 0;
    std::string herr;
    double D, Dl, Dv, x[20], y[20], q = 0, e = 0, h, s = 0, cv, cp, w;
    lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    double T2 = 0, P2 = 0, D2 = 0, q2 = 0, other = 0;
    lib::ESFLSH(e, s, z, T2, P2, D2, Dl, Dv, x, y, q2, other, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NEAR(T2 / T, 1.0, 1e-6);
    EXPECT_NEAR(P2 / P, 1.0, 1e-6);
    EXPECT_NEAR(D2 / D, 1.0, 1e-6);
}

// Natural Gas Groningen at h = -9979.5 J/mol, s = 39.934 J/(mol K): no
// fluid state has them (at every isobar the enthalpy lies below the fluid
// states up from where its carbon dioxide freezes), and HSFLSH says so
// (error 200).  Its search along the isenthalp stops at the first isobar
// (a diagram's read-out there had waited 1.4 s).
TEST(HsOfAGas, BelowEveryFluidStateOfANaturalGas) {
    ASSERT_EQ(testsupport::set_up("pentane|butane|propane|ethane|methane|nitrogen|co2"), "");
    double z[20] = {0.001, 0.002, 0.004, 0.029, 0.812, 0.143, 0.009};
    int ierr = 0;
    std::string herr;
    double T = 0, P = 0, D = 0, Dl, Dv, x[20], y[20], q = 0, e, cv, cp, w;
    lib::HSFLSH(-9979.5, 39.934, z, T, P, D, Dl, Dv, x, y, q, e, cv, cp, w, ierr, herr);
    EXPECT_EQ(ierr, 200) << herr;
    EXPECT_EQ(q, 999.0);
    // Its isobars from 0.45 kPa to 4.5 MPa: the flash at given pressure
    // finds the enthalpy below the lowest fluid state, as frozen.
    for (const double Pk : {0.4488, 44.88, 4488.0}) {
        double T2 = 0, s2;
        lib::PHFLSH(Pk, -9979.5, z, T2, D, Dl, Dv, x, y, q, e, s2, cv, cp, w, ierr, herr);
        EXPECT_EQ(ierr, 250) << Pk << " kPa: " << herr;
    }
}

}  // namespace
