// The general flash at given temperature: the status of its dew point is
// examined before its densities are used; states of (T, p) flashes come
// back from the enthalpy, entropy or energy at their temperature (the lower
// root): gases thinner than 1e-4 mol/L, mixture gases and two-phase states
// whose isotherm reaches the value again in the compressed liquid, two
// liquids beyond a three-phase line and the narrow band of nearly
// azeotropic blends.
#include "library/phase/tbflsh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "tests/library/phase/flash_support.h"
#include "tests/library/phase/lle_support.h"

namespace {

using namespace flashtest;

State th(double T, double h) {
    State r;
    r.T = T;
    r.h = h;
    Pure c;
    lib::THFLSH(T, h, c.z, 1, r.P, r.D, r.Dl, r.Dv, r.x, r.y, r.q, r.e, r.s, r.cv, r.cp, r.w,
                r.ierr, r.herr);
    return r;
}

// With water's stated critical point raised to 1000 K, the isotherms between
// the equation's critical temperature and 995 K have no dew point: the
// failure is reported with the saturation routine's message, never a state
// built on the densities of a failed dew point.  Within 5 K of the stated
// critical temperature the isotherm is searched as single phase instead.
TEST(GeneralTemperatureFlash, FailedDewPointIsReported) {
    ASSERT_TRUE(setup("water"));
    const State gas700 = tp(700.0, 1000.0), gas997 = tp(997.0, 1000.0);
    ASSERT_EQ(gas700.ierr, 0) << gas700.herr;
    ASSERT_EQ(gas997.ierr, 0) << gas997.herr;
    RaisedCriticalPoint raised(1000.0, 40000.0);
    for (int pair = 0; pair < 2; ++pair) {
        const State r = pair == 0 ? ts(700.0, gas700.s) : th(700.0, gas700.h);
        EXPECT_GT(r.ierr, 0) << pair;
        EXPECT_NE(r.herr.find("dew point calculation did not converge:  [SATT error"),
                  std::string::npos)
            << r.herr;
        EXPECT_EQ(r.q, 999.0);
        EXPECT_EQ(r.D, 0.0);
    }
    const State r = ts(997.0, gas997.s);
    EXPECT_LE(r.ierr, 0) << r.herr;
    EXPECT_LT(rel(r.P, 1000.0), 1e-8);
    EXPECT_LT(rel(r.D, gas997.D), 1e-8);
}

// A state of feed (z1, 1 - z1) at (T, P) and the letter of the flash that
// takes it back from its value.
struct Row {
    char letter;  // 'H' THFLSH, 'S' TSFLSH, 'E' TEFLSH
    const char* names;
    double z1, T, P;
};

// The flash of the letter at (T, b), lower root.
State t_flash(char letter, double T, double b, const double z[20]) {
    State r;
    r.T = T;
    double one = 0, other = 0;
    if (letter == 'S')
        lib::TSFLSH(T, b, z, lib::kLowerRoot, r.P, r.D, r.Dl, r.Dv, r.x, r.y, r.q, one, other, r.cv,
                    r.cp, r.w, r.ierr, r.herr);
    else if (letter == 'E')
        lib::TEFLSH(T, b, z, lib::kLowerRoot, r.P, r.D, r.Dl, r.Dv, r.x, r.y, r.q, one, other, r.cv,
                    r.cp, r.w, r.ierr, r.herr);
    else
        lib::THFLSH(T, b, z, lib::kLowerRoot, r.P, r.D, r.Dl, r.Dv, r.x, r.y, r.q, one, other, r.cv,
                    r.cp, r.w, r.ierr, r.herr);
    return r;
}

bool two_phase(double q) { return q > 0.0 && q < 1.0; }

// What differs between the state a of the (T, p) flash and b of the flash
// of the letter at a's value ("" where b gives a back: its pressure and
// vapour fraction, or its single phase, to 1e-7).
std::string given_back(char letter, const State& a, const double z[20]) {
    const State b = t_flash(letter, a.T, letter == 'S' ? a.s : letter == 'E' ? a.e : a.h, z);
    std::ostringstream out;
    if (b.ierr > 0 || rel(b.P, a.P) > 1e-7 || two_phase(b.q) != two_phase(a.q) ||
        (two_phase(a.q) && std::fabs(b.q - a.q) > 1e-7))
        out.precision(17);
    else
        return "";
    out << letter << " T " << a.T << " P " << a.P << " q " << a.q << ": ierr " << b.ierr << " P "
        << b.P << " q " << b.q << " " << b.herr << "\n";
    return out.str();
}

const Row kRows[] = {
    // The lower root, not a liquid of the same enthalpy at 100-500 MPa.
    {'H', "co2|r143a", 0.5, 248.3350375, 233.74574429785332},
    {'H', "ammonia|r134a", 0.5, 338.97124999999994, 1470.724566301373},
    {'H', "cyclohex|r22", 0.5, 344.83249999999998, 525.1200821723445},
    // The split, not a liquid at 43.3 MPa above a bubble point whose own
    // energy lies above the split's (the splits' dips below it).
    {'E', "co|ethanol", 0.5, 407.73087500000003, 7567.3057994667925},
    // The lowest of three splits of the same enthalpy or energy (the
    // splits' value falls, rises and falls again along the isotherm).
    {'H', "methane|butane", 0.5, 139.895, 1.243642160076758},
    {'E', "methane|butane", 0.5, 139.895, 1.243642160076758},
    // Gases (and a split of one) thinner than 1e-4 mol/L.
    {'H', "propylen|dme", 0.8140972417, 136.66, 0.012477944627722115},
    {'H', "acetone", 1.0, 179.5, 0.001339939162509664},
    {'S', "acetone", 1.0, 179.5, 0.001339939162509664},
    {'S', "ethanol|methanol", 0.5, 180.61, 4.7907383525794179e-05},
    {'S', "ethanol|methanol", 0.5, 180.61, 0.00014841106818114038},
    // Two liquids just beyond a three-phase line.
    {'H', "ammonia|propylen", 0.5, 200.495, 35.952515507991393},
    {'E', "ammonia|propylen", 0.5, 200.495, 35.952515507991393},
    // The narrow band of nearly azeotropic blends (R503, R512A).
    {'S', "r23|r13", 0.4997003499, 180.62746666666666, 76.503559778672368},
    {'E', "r134a|r152a", 0.0329487459, 276.76639, 299.96688107094565},
    {'S', "r134a|r152a", 0.5, 174.85, 0.56578747965315457},
    // Liquids whose value is lowest at the pressure limit: water below
    // 277 K (its entropy rises into the compressed liquid, then falls) and
    // a liquid at the limit itself (refused as "below the minimum").
    {'S', "water", 1.0, 275.0, 100000.0},
    {'S', "water", 1.0, 274.0, 500000.0},
    {'S', "1butene", 1.0, 87.8, 50000.0},
    {'S', "1butene", 1.0, 100.748, 50000.0},
    // A liquid whose gas below 2 MPa holds frozen carbon dioxide, without a
    // dew point found: the lower root of its enthalpy, not the root between
    // gas and liquid the single-phase search ended on.
    {'H', "methane|co2", 0.98, 165.0, 3000.0},
    // A liquid compressed so far that its enthalpy lies above the saturated
    // vapour's (no gas of that enthalpy at its temperature).
    {'H', "acetone", 1.0, 231.431, 693000.0},
    {'H', "acetone", 1.0, 231.431, 700000.0},
    // Gases whose enthalpy is met again by a dense root just beyond the
    // pressure limit (once returned for either root), and helium's gas
    // above its inversion temperature, whose enthalpy rises with the
    // density (refused as below the minimum, or below the lowest density
    // searched).
    {'H', "neopentn", 1.0, 476.65, 1266.6871},
    {'H', "neopentn", 1.0, 550.0, 3.196},
    {'H', "r143a", 1.0, 487.11333, 10614.371},
    {'H', "helium", 1.0, 251.814, 0.228326},
    {'H', "helium", 1.0, 314.223, 0.228326},
    {'S', "helium", 1.0, 314.223, 0.228326},
    {'H', "cyclopro", 1.0, 404.8125, 28000.0},
    // A dense gas whose entropy the solver first met at an unstable root
    // beyond its bracket (91 mol/L; refused with 248).
    {'S', "orthohyd", 1.0, 33.72784, 1822.4421},
    {'S', "orthohyd", 1.0, 38.6578, 27918.055},
    // A liquid whose isotherm has no root at the pressure limit below the
    // density limit (refused with 239 as below the minimum).
    {'S', "nf3", 1.0, 75.0328, 1000.0},
    {'S', "nf3", 1.0, 77.201, 5000.0}};

class TemperatureFlashRow : public ::testing::TestWithParam<Row> {};

TEST_P(TemperatureFlashRow, GivesTheStateBack) {
    const Row& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    double z[20] = {c.z1, 1.0 - c.z1};
    const State a = tp(c.T, c.P, z);
    ASSERT_EQ(a.ierr, 0) << a.herr;
    EXPECT_EQ(given_back(c.letter, a, z), "");
}

INSTANTIATE_TEST_SUITE_P(States, TemperatureFlashRow, ::testing::ValuesIn(kRows),
                         lletest::state_name<Row>);

// Below its temperature of highest density a liquid's entropy rises into
// the compressed liquid: water at 275 K and 1 MPa shares its entropy with a
// wet state at 0.7 kPa and a liquid near 20 MPa.  The lower root stays the
// wet state (what the application asks for); the higher root is the
// densest liquid, with the warning that names it (it was the wet state).
TEST(GeneralTemperatureFlash, HigherRootBelowTheDensityMaximum) {
    for (const char* fluid : {"water", "d2o"}) {
        ASSERT_EQ(testsupport::set_up(fluid), "");
        const double z[20] = {1.0};
        const double T = std::string(fluid) == "water" ? 275.0 : 280.0;
        const State a = tp(T, 1000.0, z);
        ASSERT_EQ(a.ierr, 0) << a.herr;
        State lower, higher;
        for (State* r : {&lower, &higher}) {
            double h = 0, e = 0;
            lib::TSFLSH(T, a.s, z, r == &higher ? lib::kHigherRoot : lib::kLowerRoot, r->P, r->D,
                        r->Dl, r->Dv, r->x, r->y, r->q, e, h, r->cv, r->cp, r->w, r->ierr, r->herr);
        }
        EXPECT_EQ(lower.ierr, 0) << fluid << " " << lower.herr;
        EXPECT_GT(lower.q, 0.0) << fluid;
        EXPECT_LT(lower.q, 1e-4) << fluid;
        EXPECT_EQ(higher.ierr, -238) << fluid << " " << higher.herr;
        EXPECT_EQ(higher.q, lib::kQualityLiquid) << fluid;
        EXPECT_GT(higher.P, 10000.0) << fluid;
        EXPECT_GT(higher.D, a.D) << fluid;
        double P = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0, hjt = 0;
        lib::THERM(T, higher.D, z, P, e, h, s, cv, cp, w, hjt);
        EXPECT_NEAR(s, a.s, 1e-9 * std::fabs(a.s) + 1e-9) << fluid;
    }
}

// Liquids and dense gases at the pressure limit, where their entropy is
// lowest along the isotherm: the value from the density solved at that
// pressure lies at the least to its rounding, above or below it (moleate
// at 564.5 K, R227ea at 392.8 K were refused with 239, "S = Smin"; so was
// cyclopropane's enthalpy at 404.8 K, where no split shares it).
TEST(GeneralTemperatureFlash, StatesAtThePressureLimitComeBack) {
    std::ostringstream bad;
    for (const char* fluid : {"moleate", "r227ea", "cyclopro", "mlinolea", "r1234ze", "propyne"}) {
        ASSERT_EQ(testsupport::set_up(fluid), "");
        const double z[20] = {1.0};
        double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
        lib::LIMITS("EOS", z, tmin, tmax, dmax, pmax);
        for (int i = 0; i <= 24; ++i) {
            const State a = tp(tmin + (tmax - tmin) * i / 24, pmax, z);
            if (a.ierr != 0) continue;
            bad << given_back('S', a, z);
        }
    }
    EXPECT_EQ(bad.str(), "");
}

// Liquids whose enthalpy a split just below the bubble point has too,
// where a component would freeze out of the splits (r134a 2.9 K below its
// freezing, benzene 41 K): the liquid, the only fluid state of that
// enthalpy, with the lower root asked for.  (Its pressure follows from the
// enthalpy of a liquid to some 1e-6 only: dh = v (1 - T alpha) dP.)
TEST(GeneralTemperatureFlash, LiquidAboveFrozenSplits) {
    const Row rows[] = {{'H', "r32|r134a", 0.5, 150.0, 10.0},
                        {'H', "benzene|pentane", 0.5, 208.33333333333334, 10.0}};
    for (const Row& c : rows) {
        ASSERT_EQ(testsupport::set_up(c.names), "");
        double z[20] = {c.z1, 1.0 - c.z1};
        const State a = tp(c.T, c.P, z);
        ASSERT_EQ(a.ierr, 0) << a.herr;
        ASSERT_EQ(a.q, -998.0);
        const State b = t_flash('H', c.T, a.h, z);
        EXPECT_EQ(b.ierr, 0) << c.names << ": " << b.herr;
        EXPECT_EQ(b.q, -998.0) << c.names;
        EXPECT_LT(rel(b.D, a.D), 1e-8) << c.names;
        EXPECT_LT(rel(b.P, a.P), 1e-5) << c.names;
    }
}

// Pure fluids whose enthalpy two states share at their temperature, one of
// them the liquid compressed to high pressure: the liquid comes back from
// the higher root, the other state (gas or wet) from the lower one, each
// with the warning that names it.  (The liquids above the saturated
// vapour's enthalpy came back as the gas for either root with no warning;
// those at the pressure limit, whose enthalpy equals the limit's value to
// its rounding, as the wet state.)
struct DenseRow {
    const char* fluid;
    double T, P;  // K, kPa: the liquid
};

class DenseLiquidRoot : public ::testing::TestWithParam<DenseRow> {};

TEST_P(DenseLiquidRoot, HigherRootIsTheLiquid) {
    const DenseRow& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.fluid), "");
    const double z[20] = {1.0};
    const State a = tp(c.T, c.P, z);
    ASSERT_EQ(a.ierr, 0) << a.herr;
    ASSERT_EQ(a.q, lib::kQualityLiquid);
    State r[2];
    for (int k = 0; k < 2; ++k) {
        double e = 0, s = 0;
        lib::THFLSH(c.T, a.h, z, k == 1 ? lib::kHigherRoot : lib::kLowerRoot, r[k].P, r[k].D,
                    r[k].Dl, r[k].Dv, r[k].x, r[k].y, r[k].q, e, s, r[k].cv, r[k].cp, r[k].w,
                    r[k].ierr, r[k].herr);
        EXPECT_EQ(r[k].ierr, -238) << c.fluid << " kr " << k + 1 << ": " << r[k].herr;
    }
    EXPECT_LT(rel(r[1].P, a.P), 1e-7) << c.fluid << " " << r[1].P;
    EXPECT_LT(rel(r[1].D, a.D), 1e-9) << c.fluid;
    EXPECT_LT(r[0].D, 0.5 * a.D) << c.fluid;
}

const DenseRow kDenseRows[] = {
    // Liquids whose enthalpy lies above the saturated vapour's.
    {"acetone", 485.948275862, 348625.509969},
    {"benzene", 555.703931034, 310508.470946},
    {"argon", 149.881655172, 222930.407967},
    {"decane", 585.724137931, 189884.824617},
    {"ammonia", 404.255689655, 606349.611434},
    // Liquids at the pressure limit (the other state is wet).
    {"1butene", 87.8, 50000.0},
    {"r12", 130.199034483, 200000.0},
    {"toluene", 178.0, 500000.0}};

INSTANTIATE_TEST_SUITE_P(States, DenseLiquidRoot, ::testing::ValuesIn(kDenseRows),
                         [](const ::testing::TestParamInfo<DenseRow>& p) {
                             return std::string(p.param.fluid);
                         });

// Above methanol's stated critical temperature its equation still splits
// into two phases (up to its own critical point); the liquid at 364 MPa
// shares its enthalpy with such a split at 8.1 MPa.  The higher root is the
// liquid (the split came back for either root); the lower stays the split.
TEST(GeneralTemperatureFlash, LiquidBeyondTheEquationsOwnSplit) {
    ASSERT_EQ(testsupport::set_up("methanol"), "");
    const double z[20] = {1.0};
    const State a = tp(512.733448276, 363534.390293, z);
    ASSERT_EQ(a.ierr, 0) << a.herr;
    State r[2];
    for (int k = 0; k < 2; ++k) {
        double e = 0, s = 0;
        lib::THFLSH(a.T, a.h, z, k == 1 ? lib::kHigherRoot : lib::kLowerRoot, r[k].P, r[k].D,
                    r[k].Dl, r[k].Dv, r[k].x, r[k].y, r[k].q, e, s, r[k].cv, r[k].cp, r[k].w,
                    r[k].ierr, r[k].herr);
    }
    EXPECT_EQ(r[1].ierr, -238) << r[1].herr;
    EXPECT_LT(rel(r[1].P, a.P), 1e-7);
    EXPECT_LE(r[0].ierr, 0) << r[0].herr;
    EXPECT_GT(r[0].q, 0.0);
    EXPECT_LT(r[0].q, 1.0);
}

// Supercritical gases so thin (below 1e-6 kPa) that their enthalpy is met
// below the lowest density searched: the lower root is the gas, not the
// liquid at 250-300 MPa that came back for either root.
TEST(GeneralTemperatureFlash, ThinGasIsTheLowerRoot) {
    const DenseRow rows[] = {{"propane", 377.494827586, 6.84977132974e-07},
                             {"ipentane", 486.643103448, 1.29193039426e-07},
                             {"ihexane", 505.475862069, 3.78615086232e-08},
                             {"md4m", 655.0, 3.30035964562e-10}};
    for (const DenseRow& c : rows) {
        ASSERT_EQ(testsupport::set_up(c.fluid), "");
        const double z[20] = {1.0};
        const State a = tp(c.T, c.P, z);
        ASSERT_EQ(a.ierr, 0) << a.herr;
        const State b = th(c.T, a.h);
        EXPECT_LE(b.ierr, 0) << c.fluid << " " << b.herr;
        EXPECT_LT(b.D, 1e-6) << c.fluid;
        double P = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0, hjt = 0;
        lib::THERM(c.T, b.D, z, P, e, h, s, cv, cp, w, hjt);
        EXPECT_NEAR(h, a.h, 1e-8 * std::fabs(a.h) + 1e-8) << c.fluid;
    }
}

// Gases at half their dew pressure and states between the bubble and dew
// points of binaries, on isotherms from near the triple points to 0.9 of
// the lower critical temperature, come back from each of the three values.
// Hydrogen's liquid isotherm at 14.24 K turns up beyond its melting
// pressure: no second state of the entropy, and no warning that there is one
// (the application took the warning for a failure).
TEST(GeneralTemperatureFlash, NoSecondRootBeyondTheMeltingLine) {
    ASSERT_EQ(testsupport::set_up("hydrogen"), "");
    const double z[20] = {1.0};
    const State a = tp(14.23614, 23.101297, z);
    ASSERT_EQ(a.ierr, 0) << a.herr;
    const State b = t_flash('S', a.T, a.s, z);
    EXPECT_EQ(b.ierr, 0) << b.herr;
    EXPECT_LT(rel(b.P, a.P), 1e-7);
}

TEST(TemperatureFlashGrid, GasesAndSplitsOfBinaries) {
    std::ostringstream bad;
    int states = 0;
    for (const char* names : {"co2|r143a", "ammonia|r134a", "cyclohex|r22", "propane|butane",
                              "r32|r125", "methane|ethane", "r134a|r152a"}) {
        ASSERT_EQ(testsupport::set_up(names), "");
        double z[20] = {0.5, 0.5};
        double tlow = 0, thigh = 1e9;
        for (int i = 1; i <= 2; ++i) {
            double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
            lib::INFO(i, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
            tlow = std::max(tlow, ttp);
            thigh = std::min(thigh, 0.9 * tc);
        }
        for (int k = 1; k <= 4; ++k) {
            const double T = tlow + (thigh - tlow) * k / 4.0;
            double pb = 0, pd = 0, Dl, Dv, x[20], y[20];
            int eb = 0, ed = 0;
            std::string hb, hd;
            lib::SATT(T, z, lib::kBubblePoint, pb, Dl, Dv, x, y, eb, hb);
            lib::SATT(T, z, lib::kDewPoint, pd, Dl, Dv, x, y, ed, hd);
            ASSERT_TRUE(eb <= 0 && ed <= 0 && pb > pd) << names << " " << T;
            for (double P : {0.5 * pd, std::sqrt(pb * pd)}) {
                const State a = tp(T, P, z);
                ASSERT_EQ(a.ierr, 0) << names << " " << T << " " << P << " " << a.herr;
                ++states;
                for (char letter : {'H', 'S', 'E'}) {
                    const std::string d = given_back(letter, a, z);
                    if (!d.empty()) bad << names << " " << d;
                }
            }
        }
    }
    EXPECT_EQ(states, 56);
    EXPECT_EQ(bad.str(), "");
}

}  // namespace
