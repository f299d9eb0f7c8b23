// Properties at (T, D) beyond the identities of identity_test.cpp: THERM2,
// RESIDUAL and the single-property routines (each output against
// differences of other outputs), the low-density and T <= 0 limits, the
// reference offsets and the mixture road that has no model yet.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/feq.h"
#include "library/models/ph0.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "tests/library/models/press_fixture.h"
#include "tests/support/fluid.h"
#include "tests/support/properties.h"

namespace {

const double kX[20] = {1.0};

using testsupport::diff;
using testsupport::Props;
testsupport::Props therm(double T, double D) { return testsupport::therm(T, D, kX); }

// The water-like test equation of press_fixture.h.
class ThermTest : public presstest::Synthetic {
protected:
    void SetUp() override {
        lib::VERS[1] = 10.0;
        presstest::Synthetic::SetUp();
    }
    void TearDown() override {
        lib::CREF.h0[1] = lib::CREF.s0[1] = 0.0;
        presstest::Synthetic::TearDown();
    }
};

TEST_F(ThermTest, ReferenceOffsetsShiftEnthalpyAndEntropy) {
    const Props a = therm(600.0, 5.0);
    lib::CREF.h0[1] = 1234.5;
    lib::CREF.s0[1] = 6.5;
    const Props b = therm(600.0, 5.0);
    EXPECT_NEAR(b.h, a.h - 1234.5, 1e-9);
    EXPECT_NEAR(b.e, a.e - 1234.5, 1e-9);
    EXPECT_NEAR(b.s, a.s - 6.5, 1e-12);
    EXPECT_EQ(b.cp, a.cp);
}

TEST_F(ThermTest, ZeroDensityAndNonPositiveTemperature) {
    const Props p = therm(500.0, 0.0);
    EXPECT_EQ(p.P, 0.0);
    EXPECT_NEAR(p.cp - p.cv, 8.314371357587, 1e-12);
    EXPECT_TRUE(std::isfinite(p.s));
    EXPECT_TRUE(std::isfinite(p.e));
    // The low-density Joule-Thomson coefficient comes from the second virial
    // coefficient and joins the finite-density value.
    EXPECT_NEAR(p.hjt, therm(500.0, 1e-5).hjt, 1e-5 * std::fabs(p.hjt));
    EXPECT_NEAR(p.w, therm(500.0, 1e-9).w, 1e-9 * std::fabs(p.w));
    double q[22];
    lib::THERM2(500.0, 0.0, kX, q[0], q[1], q[2], q[3], q[4], q[5], q[6], q[7], q[8], q[9], q[10],
                q[11], q[12], q[13], q[14], q[15], q[16], q[17], q[18], q[19], q[20], q[21]);
    EXPECT_EQ(q[7], 1.0);           // Z
    EXPECT_EQ(q[11], -9999990.0);   // compressibility at zero pressure
    EXPECT_EQ(q[12], 1.0 / 500.0);  // expansivity
    // d2P/dD2 at zero density is 2 B R T, B the second virial coefficient
    // summed from the equation's terms; DPDD2 gives the same limit.
    double B = 0, C = 0, Dv = 0, d2 = 0;
    lib::VIRBCD(500.0, kX, B, C, Dv);
    EXPECT_NEAR(q[14], 2.0 * B * 8.314371357587 * 500.0, 1e-7 * std::fabs(q[14]));
    lib::DPDD2(500.0, 0.0, kX, d2);
    EXPECT_EQ(d2, q[14]);
    EXPECT_EQ(q[8], p.hjt);
    for (double v : q) EXPECT_TRUE(std::isfinite(v));
    for (double T : {0.0, -5.0}) {
        const Props z = therm(T, 10.0);
        for (double v : {z.P, z.e, z.h, z.s, z.cv, z.cp, z.w, z.hjt}) EXPECT_EQ(v, 0.0);
    }
}

TEST_F(ThermTest, Therm3Coefficients) {
    double kap, bet, isen, kt, bets, bs, kkt, thr, pint, spht;
    const double T = 700.0, D = 12.0;
    lib::THERM3(T, D, kX, kap, bet, isen, kt, bets, bs, kkt, thr, pint, spht);
    const Props p = therm(T, D);
    const double dPdD = diff([&](double d) { return therm(T, d).P; }, D, 1e-3);
    const double dPdT = diff([&](double t) { return therm(t, D).P; }, T, 1e-2);
    EXPECT_NEAR(isen, p.w * p.w * D * 18.015268 / (1000.0 * p.P), 1e-12 * std::fabs(isen));
    EXPECT_NEAR(kt, D / p.P * dPdD, 1e-7 * std::fabs(kt));
    EXPECT_NEAR(bets, 1000.0 / (D * p.w * p.w * 18.015268), 1e-12 * std::fabs(bets));
    EXPECT_NEAR(pint, T * dPdT - p.P, 1e-6 * std::fabs(pint));
    EXPECT_NEAR(thr, -p.hjt * p.cp, 1e-14);
    lib::THERM3(T, 0.0, kX, kap, bet, isen, kt, bets, bs, kkt, thr, pint, spht);
    EXPECT_EQ(kt, 1.0);
    const Props z = therm(T, 0.0);
    EXPECT_NEAR(isen, z.w * z.w * 18.015268 / (1000.0 * 8.314371357587 * T), 1e-12);
    EXPECT_EQ(bets, -9999990.0);
}

// THERM3 takes THERM2's values without its second pressure derivatives:
// its outputs are those formed from THERM2 to the last digit, over a grid of
// gas, liquid and supercritical states of water and of a mixture (where the
// pressure is positive).
TEST(Therm3, SameDigitsAsFromTherm2) {
    struct Fluid {
        const char* names;
        double x[20];
        double dmax;
    };
    const Fluid fluids[] = {
        {"water", {1.0}, 60.0},
        {"nitrogen|oxygen|argon|co2|water", {0.74, 0.14, 0.009, 0.0755, 0.0355}, 30.0}};
    int states = 0, differ = 0;
    for (const Fluid& f : fluids) {
        ASSERT_EQ(testsupport::set_up(f.names), "");
        for (double T : {280.0, 400.0, 650.0, 1000.0}) {
            for (double D : {1e-4, 0.05, 1.0, 0.5 * f.dmax, f.dmax}) {
                double q[22];
                lib::THERM2(T, D, f.x, q[0], q[1], q[2], q[3], q[4], q[5], q[6], q[7], q[8], q[9],
                            q[10], q[11], q[12], q[13], q[14], q[15], q[16], q[17], q[18], q[19],
                            q[20], q[21]);
                const double P = q[0], cp = q[5], w = q[6], hjt = q[8], dPdD = q[13], dPdT = q[15],
                             wm = lib::WMOL(f.x);
                if (!(P > 0.0)) continue;  // (THERM3 has markers there)
                double kap, bet, isen, kt, bets, bs, kkt, thr, pint, spht;
                lib::THERM3(T, D, f.x, kap, bet, isen, kt, bets, bs, kkt, thr, pint, spht);
                const double want_isen = w * w * D * wm / (1000.0 * P);
                const bool same = kap == q[11] && bet == q[12] && isen == want_isen &&
                                  kt == D / P * dPdD && thr == -hjt * cp && pint == T * dPdT - P &&
                                  bs == isen * P;
                differ += same ? 0 : 1;
                ++states;
            }
        }
    }
    EXPECT_EQ(differ, 0) << "of " << states << " states";
}

TEST_F(ThermTest, StatesWithoutAModelGiveZeros) {
    lib::NCOMP.nc = 2;
    const double x[20] = {0.5, 0.5};
    double P = 1, e = 1, h = 1, s = 1, cv = 1, cp = 1, w = 1, hjt = 1;
    lib::THERM(400.0, 2.0, x, P, e, h, s, cv, cp, w, hjt);
    for (double v : {P, e, h, s, cv, cp, w, hjt}) EXPECT_EQ(v, 0.0);
    // A composition with one mole fraction of 1 is that component.
    const double x1[20] = {1.0, 0.0};
    lib::THERM(400.0, 2.0, x1, P, e, h, s, cv, cp, w, hjt);
    lib::NCOMP.nc = 1;
    EXPECT_DOUBLE_EQ(P, therm(400.0, 2.0).P);
    // So does a pure fluid whose equation code has no evaluator.
    const lib::Code own = lib::EOSMOD.eos[1];
    lib::EOSMOD.eos[1] = lib::Code("ZZZ");
    const Props z = therm(400.0, 2.0);
    lib::EOSMOD.eos[1] = own;
    for (double v : {z.P, z.e, z.h, z.s, z.cv, z.cp, z.w, z.hjt}) EXPECT_EQ(v, 0.0);
    EXPECT_NE(therm(400.0, 2.0).P, 0.0);
}

}  // namespace
