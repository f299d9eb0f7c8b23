#include "library/phase/tprho.h"

#include <gtest/gtest.h>

#include "library/library.h"
#include "library/phase/spinodal.h"
#include "tests/library/phase/sat_support.h"

namespace {

using sattest::Pure;
using sattest::rel;

constexpr double kWaterM = 18.015268;  // g/mol

// Single-phase states of water from the published IAPWS-95 verification
// table: T (K), rho (kg/m3), p (MPa).
struct WaterState {
    double T, rho, p;
};
constexpr WaterState kWaterTable[] = {
    {300.0, 0.9965560e3, 0.992418352e-1}, {300.0, 0.1005308e4, 0.200022515e2},
    {300.0, 0.1188202e4, 0.700004704e3},  {500.0, 0.4350000, 0.999679423e-1},
    {500.0, 0.4532000e1, 0.999938125},    {500.0, 0.8380250e3, 0.100003858e2},
    {500.0, 0.1084564e4, 0.700000405e3},  {647.0, 0.3580000e3, 0.220384756e2},
    {900.0, 0.2410000, 0.100062559},      {900.0, 0.5261500e2, 0.200000690e2},
    {900.0, 0.8707690e3, 0.700000006e3},
};

class Tprho : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sattest::setup("water")); }
    Pure w;
};

TEST_F(Tprho, WaterVerificationTableStates) {
    for (const auto& s : kWaterTable) {
        const double d_ref = s.rho / kWaterM;
        // The liquid root below Tc at the liquid states, the vapour root at
        // the gas states; the side chosen by the routine above Tc.
        const int kph = s.T < 647.096 && s.rho < 300.0 ? 2 : 1;
        double D = 0;
        int ierr = -1;
        std::string herr;
        lib::TPRHO(s.T, s.p * 1000.0, w.x, kph, 0, D, ierr, herr);
        ASSERT_EQ(ierr, 0) << s.T << " K " << s.rho << ": " << herr;
        EXPECT_TRUE(herr.empty());
        if (s.T == 647.0) {
            // Near the critical point the density is 553 times as sensitive
            // as the pressure: the root is checked by its pressure and by
            // the round trip from the pressure of the table's density.
            double p = 0, pref = 0, d = 0;
            lib::PRESS(s.T, D, w.x, p);
            EXPECT_LT(rel(p, s.p * 1000.0), 1e-12);
            lib::PRESS(s.T, d_ref, w.x, pref);
            EXPECT_LT(rel(pref, s.p * 1000.0), 2e-9);
            lib::TPRHO(s.T, pref, w.x, kph, 0, d, ierr, herr);
            EXPECT_LT(rel(d, d_ref), 1e-10);
        } else {
            EXPECT_LT(rel(D, d_ref), 1e-8) << s.T << " K " << s.rho << " kg/m3";
        }
        // A start value gives the same root.
        double D2 = D * 1.05;
        lib::TPRHO(s.T, s.p * 1000.0, w.x, kph, 1, D2, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        EXPECT_LT(rel(D2, D), 1e-10);
    }
}

TEST_F(Tprho, ZeroAndIllegalInputs) {
    double D = 7.0;
    int ierr = -1;
    std::string herr;
    lib::TPRHO(300.0, 0.0, w.x, 2, 0, D, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(D, 0.0);
    // The liquid keeps its density at zero pressure (not 0 as the vapour).
    D = 7.0;
    lib::TPRHO(300.0, 0.0, w.x, 1, 0, D, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(D, 55.31, 0.01);

    // The side of the root must be given below the critical point.
    D = 7.0;
    lib::TPRHO(300.0, 100.0, w.x, 0, 0, D, ierr, herr);
    EXPECT_EQ(ierr, 201);
    EXPECT_EQ(herr, "[TPRHO error 201] illegal input to TPRHO (kph <= 0); use TPFLSH instead");
    EXPECT_EQ(D, 7.0);
    // ... but not above it.
    lib::TPRHO(700.0, 30000.0, w.x, 0, 0, D, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_GT(D, 0.0);

    // No negative density from a negative pressure, no density at T <= 0.
    for (const auto& [T, P] :
         {std::pair{300.0, -5.0}, std::pair{-300.0, 100.0}, std::pair{0.0, 100.0}}) {
        for (int kph : {1, 2}) {
            D = 7.0;
            lib::TPRHO(T, P, w.x, kph, 0, D, ierr, herr);
            EXPECT_GT(ierr, 0) << T << " " << P;
            EXPECT_EQ(D, 7.0);
            EXPECT_NE(herr.find("[TPRHO error"), std::string::npos);
        }
    }
}

TEST_F(Tprho, RegionsAndUnstableRoots) {
    int ierr = -1;
    std::string herr;
    // Just above Tc at low pressure the vapour iteration runs even with kph 1.
    double D = 0;
    lib::TPRHO(650.0, 100.0, w.x, 1, 0, D, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    double P = 0;
    lib::PRESS(650.0, D, w.x, P);
    EXPECT_LT(rel(P, 100.0), 1e-9);
    EXPECT_LT(D, 0.1);

    // A liquid below its spinodal pressure has no root: error 202 with the
    // best stable density, on the liquid side of the spinodal.
    for (double T : {620.0, 640.0}) {
        double dsp = -1.0, psp = 0;
        lib::LIQSPNDL(T, w.x, dsp, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        lib::PRESS(T, dsp, w.x, psp);
        ASSERT_GT(psp, 0.0);
        D = 0;
        lib::TPRHO(T, 0.9 * psp, w.x, 1, 0, D, ierr, herr);
        EXPECT_EQ(ierr, 202);
        EXPECT_EQ(herr.rfind("[TPRHO error 202] liquid iteration has not converged for T =", 0), 0u)
            << herr;
        EXPECT_LE(herr.size(), 196u);
        EXPECT_GT(D, dsp);
        double d1 = 0;
        lib::DPDD(T, D, w.x, d1);
        EXPECT_GT(d1, 0.0);
    }

    // Both roots of a state inside the dome are mechanically stable.
    double Dl = 0, Dv = 0;
    lib::TPRHO(500.0, 2000.0, w.x, 1, 0, Dl, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    lib::TPRHO(500.0, 2000.0, w.x, 2, 0, Dv, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_GT(Dl, 40.0);
    EXPECT_LT(Dv, 1.0);
    for (double d : {Dl, Dv}) {
        double d1 = 0;
        lib::DPDD(500.0, d, w.x, d1);
        EXPECT_GT(d1, 0.0);
    }
}

}  // namespace

namespace {

// The stability test of a converged root stands on dP/dD and the cross
// derivative d2P/dDdT: the same verdict as the values of THERM2, across the
// band around the critical density where it applies (nitrogen, which has
// states of both signs there), and acceptance outside it.
TEST(TprhoStability, VerdictOfTheDerivativesOfTherm2) {
    ASSERT_TRUE(sattest::setup("nitrogen"));
    Pure w;
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    int accepted = 0, refused = 0;
    for (double tr : {0.6, 0.8, 0.95, 1.0, 1.1}) {
        for (double dr = 0.25; dr < 2.0; dr += 0.05) {
            const double T = tr * tc, D = dr * dc;
            double p, e, h, s, cv, cp, wsnd, z, hjt, a, g, kap, beta, dpdd, d2, dpdt, dddt, dddp,
                d2t, cross, s3, s4;
            lib::THERM2(T, D, w.x, p, e, h, s, cv, cp, wsnd, z, hjt, a, g, kap, beta, dpdd, d2,
                        dpdt, dddt, dddp, d2t, cross, s3, s4);
            const bool expected = dpdd >= 0.0 && cross >= 0.0;
            EXPECT_EQ(lib::tprho_accepts(T, D, w.x, tc, dc), expected) << T << " " << D;
            (expected ? accepted : refused) += 1;
        }
    }
    EXPECT_GT(accepted, 20);
    EXPECT_GT(refused, 20);
    EXPECT_TRUE(lib::tprho_accepts(0.8 * tc, 2.0 * dc, w.x, tc, dc));
    EXPECT_TRUE(lib::tprho_accepts(0.8 * tc, 0.2 * dc, w.x, tc, dc));
    EXPECT_TRUE(lib::tprho_accepts(1.2 * tc, dc, w.x, tc, dc));
}

}  // namespace

namespace {

// Whether the pressure rises along the isotherm from the dilute gas up to
// the root D (a vapour), or from D up to the equation's densest state (a
// liquid), on a fine grid of densities.
bool on_vapour_branch(double T, double D, const double x[20]) {
    double last = 0.0;
    for (int k = 1; k < 400; ++k) {
        double p = 0.0;
        lib::PRESS(T, D * k / 400.0, x, p);
        if (!(p > last)) return false;
        last = p;
    }
    return true;
}

bool on_liquid_branch(double T, double D, const double x[20]) {
    double tmin, tmax, dmax, pmax;
    lib::LIMITS("EOS", x, tmin, tmax, dmax, pmax);
    double last = 0.0;
    lib::PRESS(T, D, x, last);
    for (int k = 1; k <= 400 && dmax > D; ++k) {
        double p = 0.0;
        lib::PRESS(T, D + (dmax - D) * k / 400.0, x, p);
        if (!(p > last)) return false;
        last = p;
    }
    return true;
}

// States asked for their vapour root where the equation crosses P past the
// vapour's spinodal, inside a loop (no vapour of the fluid exists there):
// the vapour iteration ended on those roots and gave them as vapours.
struct LoopState {
    const char* fluids;
    double x0, T, P;  // first fraction, K, kPa
};
constexpr LoopState kLoopStates[] = {
    {"nitrogen", 1.0, 97.1564, 2037.48},      // a root at 4.23 mol/L
    {"nitrogen", 1.0, 97.1564, 3056.22},      // 4.41 mol/L
    {"co2|nitrogen", 0.4, 150.0, 2500.0},     // 4.99 mol/L
    {"methane|ethane", 0.05, 235.0, 3000.0},  // 3.73 mol/L
    {"nitrogen|argon", 0.6, 105.0, 2500.0},   // 4.61 mol/L, a dip of 3 kPa below it
};

class TprhoLoops : public ::testing::TestWithParam<LoopState> {
protected:
    void TearDown() override { sattest::setup("nitrogen"); }
};

// The vapour root is the thinnest: where there is none, an error, and no
// root that lies on neither the vapour's nor the liquid's branch.
TEST_P(TprhoLoops, NoVapourRootFromALoop) {
    const LoopState& s = GetParam();
    const std::string names = s.fluids;
    const int nc = names.find('|') == std::string::npos ? 1 : 2;
    int ierr = 0;
    std::string herr, hrf = "DEF";
    lib::SETUP0(nc, names, "hmx", hrf, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    const double x[20] = {s.x0, 1.0 - s.x0};
    double D = 0.0;
    lib::TPRHO(s.T, s.P, x, 2, 0, D, ierr, herr);
    if (ierr > 0) {
        EXPECT_EQ(ierr, 203) << herr;
        return;
    }
    EXPECT_TRUE(on_vapour_branch(s.T, D, x) || on_liquid_branch(s.T, D, x))
        << s.fluids << " " << s.T << " K " << s.P << " kPa: " << D << " mol/L";
}

INSTANTIATE_TEST_SUITE_P(Loops, TprhoLoops, ::testing::ValuesIn(kLoopStates));

// Where a root lies on a branch the vapour iteration keeps it: the
// metastable vapour of nitrogen short of its spinodal (1.19 MPa at
// 97.16 K) and, where the fluid has no vapour, its liquid root (1-butene
// at 347.2 K, 3.97 MPa: the root of either iteration).
TEST(TprhoBranches, RootsOnABranchStay) {
    ASSERT_TRUE(sattest::setup("nitrogen"));
    Pure w;
    int ierr = 0;
    std::string herr;
    double D = 0.0;
    lib::TPRHO(97.1564, 1100.0, w.x, 2, 0, D, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_TRUE(on_vapour_branch(97.1564, D, w.x)) << D;
    double ps = 0, dl = 0, dv = 0, xl[20], xv[20];
    lib::SATT(97.1564, w.x, 1, ps, dl, dv, xl, xv, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_GT(D, dv);  // beyond the saturated vapour: metastable

    ASSERT_TRUE(sattest::setup("1butene"));
    double Dl = 0.0, Dv = 0.0;
    lib::TPRHO(347.2197, 3965.049, w.x, 1, 0, Dl, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    lib::TPRHO(347.2197, 3965.049, w.x, 2, 0, Dv, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_LT(rel(Dv, Dl), 1e-9);
    EXPECT_TRUE(on_liquid_branch(347.2197, Dv, w.x));
    ASSERT_TRUE(sattest::setup("nitrogen"));
}

}  // namespace
