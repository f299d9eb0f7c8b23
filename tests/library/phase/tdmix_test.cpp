// PDFLSH and TDFLSH of mixtures give the (T, p) flash's state back: the
// temperature or pressure and the vapour fraction (either label where both
// phases are liquids).  The rows are states where the (P, D) flash once took
// a split of the two-phase solver of another density for the state (ierr 0,
// T off) and where both flashes failed on nearly azeotropic blends, whose
// bubble and dew points lie below the digits of the free variable; the grid
// runs over binaries and such blends between and around their bubble and
// dew points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

#include "library/library.h"
#include "tests/library/phase/mix_support.h"
#include "tests/support/fluid.h"

namespace {

struct Row {
    const char* names;
    double z[3];
    double T, P;
    // Two liquids at a tiny pressure: the density barely depends on it, and
    // TDFLSH is checked for the vapour fraction and the density alone.
    bool liquids = false;
};

const Row kRows[] = {
    // A split of another density: T 189.474 K, whose phases add up to
    // 0.025 mol/L.
    {"r32|r218", {0.5, 0.5}, 189.42806250000001, 25.335651574571553},
    {"ethanol|mm", {0.5, 0.5}, 280.65062499999999, 7.8893246471569016},
    {"methanol|mm", {0.5, 0.5}, 280.65062499999999, 8.023837849656422},
    {"ammonia|propylen", {0.5, 0.5}, 200.495, 35.952515507991393},
    // A liquid returned as two phases at 276.83 K.
    {"r236fa|isobutane", {0.5, 0.5}, 336.71961250000004, 2457.3872989310012},
    // R403A and R413A.
    {"propane|r22|r218",
     {0.10430163520730111, 0.7978521428558496, 0.097846221936849234},
     130.44999999999999,
     0.019498373033582483,
     true},
    {"r218|r134a|isobutane",
     {0.049760438882488024, 0.89658292974482912, 0.053656631372682832},
     174.84999999999999,
     1.4880379274521431},
    // Nearly azeotropic: R512A, R503 (twice), R513A.
    {"r134a|r152a", {0.0329487459, 0.96705125410000004}, 276.76639, 299.96688107094565},
    {"r23|r13", {0.49970034990000001, 0.50029965009999999}, 180.62746666666666, 76.503559778672368},
    {"r23|r13", {0.49970034990000001, 0.50029965009999999}, 180.62746666666666, 76.503572720409025},
    {"r1234yf|r134a", {0.53242575589999996, 0.46757424409999998}, 302.7672, 808.27774745739316},
    {"r134a|r152a", {0.5, 0.5}, 174.84999999999999, 0.56578747965315457},
    {"butane|t2butene", {0.5, 0.5}, 407.17950000000002, 2847.6944033838258},
    // Far above the two-phase region (where PDFLSH sought a dew point for
    // 14.7 s before it took the single phase).
    {"butane|water", {0.5, 0.5}, 614.74119999999994, 62955.612008788688},
};

// The vapour fraction q2 is q under either label.
double label_difference(double q, double q2) {
    return std::min(std::fabs(q2 - q), std::fabs(q2 - (1.0 - q)));
}

// TPFLSH at (T, P), then PDFLSH and TDFLSH at its density; "" or what went
// wrong.
std::string round_trip(double T, double P, const double z[20], bool liquids = false) {
    double D = 0, Dl = 0, Dv = 0, x[20], y[20], q = 0, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    if (ierr != 0) return "TPFLSH: " + herr;
    const bool two = q > 0.0 && q < 1.0;
    const std::string at = " at T=" + std::to_string(T) + " K, P=" + std::to_string(P) + " kPa";
    double T2 = 0, P2 = 0, q2 = 0;
    lib::PDFLSH(P, D, z, T2, Dl, Dv, x, y, q2, e, h, s, cv, cp, w, ierr, herr);
    if (ierr > 0) return "PDFLSH" + at + ": " + herr;
    if (!(std::fabs(T2 / T - 1.0) <= 1e-9) || (two && !(label_difference(q, q2) <= 1e-7)) ||
        (!two && q2 > 0.0 && q2 < 1.0))
        return "PDFLSH" + at + ": T=" + std::to_string(T2) + " q=" + std::to_string(q2) + " (q " +
               std::to_string(q) + ")";
    lib::TDFLSH(T, D, z, P2, Dl, Dv, x, y, q2, e, h, s, cv, cp, w, ierr, herr);
    if (ierr > 0) return "TDFLSH" + at + ": " + herr;
    const double D2 = two ? 1.0 / ((1.0 - q2) / Dl + q2 / Dv) : D;
    if (!(std::fabs(D2 / D - 1.0) <= 1e-9) || (!liquids && !(std::fabs(P2 / P - 1.0) <= 1e-7)) ||
        (two && !(label_difference(q, q2) <= 1e-7)) || (!two && q2 > 0.0 && q2 < 1.0))
        return "TDFLSH" + at + ": P=" + std::to_string(P2) + " q=" + std::to_string(q2) + " (q " +
               std::to_string(q) + ")";
    return "";
}

class DensityFlashOfMixture : public ::testing::TestWithParam<Row> {};

TEST_P(DensityFlashOfMixture, GivesTheStateBack) {
    const Row& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    const double z[20] = {c.z[0], c.z[1], c.z[2]};
    EXPECT_EQ(round_trip(c.T, c.P, z, c.liquids), "");
}

std::string row_name(const ::testing::TestParamInfo<Row>& info) {
    std::string n = info.param.names;
    std::replace(n.begin(), n.end(), '|', '_');
    return n + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(States, DensityFlashOfMixture, ::testing::ValuesIn(kRows), row_name);

// Cyclohexane + DMC at 10.41 mol/L (two liquids at 284.47 K, 12.79 kPa)
// below 284.47 K: the stable density along each isotherm jumps across
// 10.41 mol/L at a three-phase line (a tenth of a per cent below its
// pressure, a vapour and a liquid; as far above it, two liquids), and
// TDFLSH refuses the state (it once searched the isotherm twice and by
// the vapour fraction, 60 to 350 ms).  The rows: T and the line's
// pressure (at 284.2 K the search met the vapour beside the liquids
// continued below the line; at 284.466 K it found the density on them,
// 2e-6 below that of the two liquids at the line).
struct InsideThreePhases {
    double T, p3;
};

class DensityFlashInsideThreePhases : public ::testing::TestWithParam<InsideThreePhases> {};

TEST_P(DensityFlashInsideThreePhases, IsRefused) {
    const InsideThreePhases& c = GetParam();
    ASSERT_EQ(testsupport::set_up("cyclohex|dmc"), "");
    const double z[20] = {0.5, 0.5};
    double D = 0, Dl = 0, Dv = 0, x[20], y[20], q = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(284.47, 12.788635941990758, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    // The jump across D; the vapour and liquid below it found again.
    for (double f : {0.999, 1.001}) {
        double d = 0;
        lib::TPFLSH(c.T, f * c.p3, z, d, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        EXPECT_EQ(d < D, f < 1.0) << c.T << " K, " << f * c.p3 << " kPa: " << d;
    }
    EXPECT_EQ(round_trip(c.T, 0.999 * c.p3, z), "");
    double P = 0;
    lib::TDFLSH(c.T, D, z, P, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    EXPECT_GT(ierr, 0) << c.T << " K: P " << P << " q " << q;
    EXPECT_TRUE(std::isfinite(P) && std::isfinite(h) && std::isfinite(s));
}

INSTANTIATE_TEST_SUITE_P(CyclohexaneDmc, DensityFlashInsideThreePhases,
                         ::testing::Values(InsideThreePhases{276.0, 5.52001643},
                                           InsideThreePhases{277.6, 6.01698639},
                                           InsideThreePhases{280.0, 6.83144044},
                                           InsideThreePhases{284.2, 8.47464220},
                                           InsideThreePhases{284.4656567, 8.58859771}));

// R403B at 15.12 mol/L (a vapour and a liquid at 169.12 K, 3.89 kPa): the
// (T, p) flash fails next to the three-phase line (at 167.15 K, 1.8916 kPa,
// within 0.3 %; at 160 K, 0.9046 kPa, from 0.3 % below to 1 % above), and
// beyond finds the vapour and liquid and the two liquids on either side
// of D; TDFLSH refuses the state (once in 55 ms).
TEST(DensityFlashInsideThreePhasesOfBlend, IsRefused) {
    ASSERT_EQ(testsupport::set_up("propane|r22|r218"), "");
    const double z[20] = {0.1170834784, 0.668734422, 0.2141820996};
    double D = 0, Dl = 0, Dv = 0, x[20], y[20], q = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(169.1237, 3.8894367556763738, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr,
                herr);
    ASSERT_EQ(ierr, 0) << herr;
    struct Line {
        double T, p3, beside;
    };
    for (const Line& c : {Line{167.1501528, 1.89157837, 0.01}, Line{160.0, 0.90462313, 0.03}}) {
        for (double f : {1.0 - c.beside, 1.0 + c.beside}) {
            double d = 0;
            lib::TPFLSH(c.T, f * c.p3, z, d, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
            ASSERT_EQ(ierr, 0) << c.T << " K: " << herr;
            EXPECT_EQ(d < D, f < 1.0) << c.T << " K, " << f * c.p3 << " kPa: " << d;
        }
        EXPECT_EQ(round_trip(c.T, (1.0 - c.beside) * c.p3, z), "");
        double P = 0;
        lib::TDFLSH(c.T, D, z, P, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        EXPECT_GT(ierr, 0) << c.T << " K: P " << P << " q " << q;
        EXPECT_TRUE(std::isfinite(P) && std::isfinite(h) && std::isfinite(s));
    }
}

// Binaries and nearly azeotropic blends (R410A, R512A, R503, R513A) at three
// temperatures between a bit above the highest triple point and 0.9 of the
// lowest critical temperature: states between the bubble and the dew point
// (a tenth, half and nine tenths of the way), and the liquid and the vapour
// beyond them.
struct Blend {
    const char* names;
    double z1, tlo, thi;
};

const Blend kBlends[] = {
    {"r32|r125", 0.6976146994, 200.0, 300.0}, {"r134a|r152a", 0.0329487459, 200.0, 340.0},
    {"r23|r13", 0.4997003499, 160.0, 260.0},  {"r1234yf|r134a", 0.5324257559, 200.0, 330.0},
    {"butane|t2butene", 0.5, 200.0, 380.0},   {"propane|butane", 0.5, 150.0, 330.0},
    {"r32|r134a", 0.5, 200.0, 300.0},         {"ethane|propane", 0.5, 120.0, 270.0},
};

class DensityFlashGrid : public ::testing::TestWithParam<Blend> {};

TEST_P(DensityFlashGrid, GivesTheStatesBack) {
    const Blend& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    const double z[20] = {c.z1, 1.0 - c.z1};
    for (int i = 0; i < 3; ++i) {
        const double T = c.tlo + (c.thi - c.tlo) * i / 2.0;
        const mixtest::BubbleDew bd = mixtest::bubble_and_dew(T, z);
        ASSERT_EQ(bd.error, "") << T;
        for (double P : {0.5 * bd.Pd, bd.Pd + 0.1 * (bd.Pb - bd.Pd), bd.Pd + 0.5 * (bd.Pb - bd.Pd),
                         bd.Pd + 0.9 * (bd.Pb - bd.Pd), 2.0 * bd.Pb})
            EXPECT_EQ(round_trip(T, P, z), "");
    }
}

std::string blend_name(const ::testing::TestParamInfo<Blend>& info) {
    std::string n = info.param.names;
    std::replace(n.begin(), n.end(), '|', '_');
    return n;
}

INSTANTIATE_TEST_SUITE_P(Blends, DensityFlashGrid, ::testing::ValuesIn(kBlends), blend_name);

// TDFLSH's state is the (T, p) flash's at the pressure it gives, or it is
// refused: a split continued up the isotherm at 1.3 to 2.5 GPa was taken
// whose liquid splits in two (the (T, p) flash finds three phases there).
// Rows: the flue gas of 16 % water, a syngas of 10 % carbon dioxide.
struct ContinuedSplit {
    const char* label;
    const char* names;
    double z[5];
    double T, D;
};

const ContinuedSplit kContinued[] = {
    {"FlueGas",
     "nitrogen|co2|water|oxygen|argon",
     {0.72, 0.09, 0.16, 0.02, 0.01},
     254.085,
     51.0344},
    {"Syngas", "co|hydrogen|co2|methane", {0.4, 0.45, 0.1, 0.05}, 195.166, 48.1557},
};

class DensityFlashOfContinuedSplit : public ::testing::TestWithParam<ContinuedSplit> {};

TEST_P(DensityFlashOfContinuedSplit, IsTheTpFlashsStateOrRefused) {
    const ContinuedSplit& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    double z[20] = {};
    std::copy(std::begin(c.z), std::end(c.z), z);
    double P = 0, Dl, Dv, x[20], y[20], q = 0, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TDFLSH(c.T, c.D, z, P, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    if (ierr > 0) {
        EXPECT_NE(herr.find("along the isotherm T ="), std::string::npos) << herr;
        EXPECT_EQ(q, 999.0);
        return;
    }
    double D2 = 0, q2 = 0;
    int terr = 0;
    lib::TPFLSH(c.T, P, z, D2, Dl, Dv, x, y, q2, e, h, s, cv, cp, w, terr, herr);
    EXPECT_LE(terr, 0) << herr;
    EXPECT_NEAR(D2 / c.D, 1.0, 1e-7);
    EXPECT_NEAR(q2, q, 1e-7);
}

std::string continued_name(const ::testing::TestParamInfo<ContinuedSplit>& p) {
    return p.param.label;
}

INSTANTIATE_TEST_SUITE_P(States, DensityFlashOfContinuedSplit, ::testing::ValuesIn(kContinued),
                         continued_name);

// Wet gases (no bubble point: TDFLSH's split is sought up the isotherm from
// the dew point) give the (T, p) flash's state back, from a trace of
// condensate to most of the water condensed and at high pressures.
struct WetState {
    const char* label;
    const char* names;
    double z[6];
    double T, P;
};

const WetState kWet[] = {
    {"FlueGas300", "nitrogen|co2|water|oxygen|argon", {0.72, 0.09, 0.16, 0.02, 0.01}, 300, 150},
    {"FlueGas300Dense",
     "nitrogen|co2|water|oxygen|argon",
     {0.72, 0.09, 0.16, 0.02, 0.01},
     300,
     20000},
    {"FlueGas450", "nitrogen|co2|water|oxygen|argon", {0.72, 0.09, 0.16, 0.02, 0.01}, 450, 5000},
    {"HumidAir", "nitrogen|oxygen|argon|water", {0.7578, 0.2033, 0.0089, 0.03}, 300, 600},
    {"HumidAirHot", "nitrogen|oxygen|argon|water", {0.7578, 0.2033, 0.0089, 0.03}, 400, 20000},
    {"NaturalGas",
     "methane|ethane|propane|co2|nitrogen|water",
     {0.80, 0.07, 0.03, 0.02, 0.03, 0.05},
     350,
     3000},
    {"HydrogenWater", "hydrogen|water", {0.9, 0.1}, 360, 1000},
};

class DensityFlashOfWetGas : public ::testing::TestWithParam<WetState> {};

TEST_P(DensityFlashOfWetGas, GivesTheStateBack) {
    const WetState& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    double z[20] = {};
    std::copy(std::begin(c.z), std::end(c.z), z);
    EXPECT_EQ(round_trip(c.T, c.P, z), "");
}

std::string wet_name(const ::testing::TestParamInfo<WetState>& p) { return p.param.label; }

INSTANTIATE_TEST_SUITE_P(States, DensityFlashOfWetGas, ::testing::ValuesIn(kWet), wet_name);

// A density at which no fluid state exists because a component freezes out
// is refused with that reason (error 250, as the (T, p) flash refuses the
// feed at its pressure there), not as a search that did not converge:
// carbon dioxide + water 96/4 at the density of its bubble point at 220 K,
// 60 K below the triple point of its 4 % of water.
TEST(DensityFlashOfFrozenFeed, SaysWhichComponentFreezes) {
    ASSERT_EQ(testsupport::set_up("co2|water"), "");
    double z[20] = {0.96, 0.04};
    double P = 0, Dl = 0, Dv = 0, x[20], y[20], q = 0, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    // (SATT refuses the bubble point itself for the same reason, keeping
    // the point it found.)
    lib::SATT(220.0, z, lib::kBubblePoint, P, Dl, Dv, x, y, ierr, herr);
    ASSERT_EQ(ierr, 250) << herr;
    double P2 = 0;
    lib::TDFLSH(220.0, Dl, z, P2, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    EXPECT_EQ(ierr, 250) << herr;
    EXPECT_NE(herr.find("water would freeze out"), std::string::npos) << herr;
    EXPECT_EQ(q, 999.0);
}

// The flue gas of 16 % water below the freezing floor of its water:
// refused as the (T, p) flash refuses the feed at its pressure at (T, D),
// which TDFLSH gives out, from a trace of water vapour to dense states.
struct FrozenFlue {
    double T, D;
};

const FrozenFlue kFrozenFlue[] = {{200, 0.01}, {200, 8}, {210, 10}, {220, 1}, {220, 3}, {225, 30}};

class DensityFlashOfFrozenFlueGas : public ::testing::TestWithParam<FrozenFlue> {};

TEST_P(DensityFlashOfFrozenFlueGas, IsRefusedAtItsOwnPressure) {
    const FrozenFlue& c = GetParam();
    ASSERT_EQ(testsupport::set_up("nitrogen|co2|water|oxygen|argon"), "");
    double z[20] = {0.72, 0.09, 0.16, 0.02, 0.01};
    double P = 0, Dl = 0, Dv = 0, x[20], y[20], q = 0, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TDFLSH(c.T, c.D, z, P, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    EXPECT_EQ(ierr, 250) << herr;
    EXPECT_NE(herr.find("water would freeze out"), std::string::npos) << herr;
    EXPECT_EQ(q, 999.0);
    double p = 0;
    lib::PRESS(c.T, c.D, z, p);
    EXPECT_NEAR(P / p, 1.0, 1e-12);
    double D2 = 0, q2 = 0;
    lib::TPFLSH(c.T, P, z, D2, Dl, Dv, x, y, q2, e, h, s, cv, cp, w, ierr, herr);
    EXPECT_EQ(ierr, 250) << herr;
}

INSTANTIATE_TEST_SUITE_P(States, DensityFlashOfFrozenFlueGas, ::testing::ValuesIn(kFrozenFlue));

}  // namespace
