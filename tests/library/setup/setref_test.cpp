#include "library/setup/setref.h"

#include <gtest/gtest.h>

#include "library/library.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "tests/library/phase/sat_support.h"

namespace {

using sattest::Pure;

struct HS {
    double h = 0, s = 0;
};

HS hs_at(double T, double D) {
    Pure w;
    HS r;
    double P, e, cv, cp, wsnd, hjt;
    lib::THERM(T, D, w.x, P, e, r.h, r.s, cv, cp, wsnd, hjt);
    return r;
}

double molar_mass() {
    Pure w;
    return lib::WMOL(w.x);
}

TEST(Setref, StandardReferenceStates) {
    // NBP: h = s = 0 for the saturated liquid at 101.325 kPa.
    ASSERT_TRUE(sattest::setup("r134a", "NBP"));
    const sattest::Sat nbp = sattest::satp(101.325);
    ASSERT_EQ(nbp.ierr, 0) << nbp.herr;
    HS r = hs_at(nbp.T, nbp.Dl);
    EXPECT_NEAR(r.h, 0.0, 1e-6);
    EXPECT_NEAR(r.s, 0.0, 1e-9);

    // IIR: h = 200 kJ/kg and s = 1 kJ/(kg K) for the saturated liquid at 0 C.
    ASSERT_TRUE(sattest::setup("r134a", "IIR"));
    const double M = molar_mass();
    r = hs_at(273.15, sattest::bubble_at(273.15).Dl);
    EXPECT_NEAR(r.h, 200.0 * M, 1e-6);
    EXPECT_NEAR(r.s, 1.0 * M, 1e-9);

    // ASH: h = s = 0 for the saturated liquid at -40 C.
    ASSERT_TRUE(sattest::setup("r134a", "ASH"));
    r = hs_at(233.15, sattest::bubble_at(233.15).Dl);
    EXPECT_NEAR(r.h, 0.0, 1e-6);
    EXPECT_NEAR(r.s, 0.0, 1e-9);

    // NA: no offsets at all.
    ASSERT_TRUE(sattest::setup("r134a", "NA"));
    EXPECT_EQ(lib::CREF.h0[1], 0.0);
    EXPECT_EQ(lib::CREF.s0[1], 0.0);
}

// The default of a fluid text: water's ideal-gas point ("OT0").
TEST(Setref, DefaultOfTheFluidText) {
    ASSERT_TRUE(sattest::setup("water"));
    ASSERT_TRUE(lib::REFST.slot[1].is("OT0"));
    const double T = lib::CREFDF.t[1], p = lib::CREFDF.p[1];
    Pure w;
    double R = 0, P, e, h, s, cv, cp, wsnd, A, G;
    lib::RMIX2(w.x, R);
    lib::THERM0(T, p / (R * T), w.x, P, e, h, s, cv, cp, wsnd, A, G);
    EXPECT_NEAR(h, lib::CREFDF.h[1], 1e-7);
    EXPECT_NEAR(s, lib::CREFDF.s[1], 1e-10);
}

TEST(Setref, GivenPointsAndRepeatedCalls) {
    ASSERT_TRUE(sattest::setup("water"));
    Pure w;
    int ierr = -1;
    std::string herr, hrf = "OTH";
    // A vapour state given by T and p.
    lib::SETREF(hrf, 1, w.x, 1000.0, 10.0, 500.0, 200.0, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    double D = 0;
    lib::TPRHO(500.0, 200.0, w.x, 2, 0, D, ierr, herr);
    HS r = hs_at(500.0, D);
    EXPECT_NEAR(r.h, 1000.0, 1e-7);
    EXPECT_NEAR(r.s, 10.0, 1e-10);

    // The same call again computes nothing.
    const unsigned gen = lib::FEQSAV.gen[1];
    lib::SETREF(hrf, 1, w.x, 1000.0, 10.0, 500.0, 200.0, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(lib::FEQSAV.gen[1], gen);

    // A saturated-vapour point (p <= -1.99), ideal-gas point ("OT0").
    lib::SETREF(hrf, 1, w.x, -50.0, 2.0, 400.0, -2.0, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    r = hs_at(400.0, sattest::satt(400.0, 2).Dv);
    EXPECT_NEAR(r.h, -50.0, 1e-7);
    EXPECT_NEAR(r.s, 2.0, 1e-10);

    // "???" returns component 1's default code.
    std::string q = "???";
    lib::SETREF(q, 1, w.x, 0, 0, 0, 0, ierr, herr);
    EXPECT_EQ(q, std::string(lib::trim_right(lib::REFST.slot[1].str())));

    // An unknown code gives -29 and the default state.
    std::string bad = "XYZ";
    lib::SETREF(bad, 1, w.x, 0, 0, 0, 0, ierr, herr);
    EXPECT_EQ(ierr, -29);
    EXPECT_EQ(herr,
              "[SETREF warning -29] reference state not found, using default reference state");
}

TEST(Setref, FailedCallIsRetriedAndOutOfRangeFallsBack) {
    ASSERT_TRUE(sattest::setup("water"));
    Pure w;
    int ierr = -1;
    std::string herr, hrf = "OTH";
    lib::SETREF(hrf, 1, w.x, 1000.0, 10.0, 500.0, 200.0, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    // A saturated liquid above the critical temperature cannot be computed;
    // the failed call is tried again each time.
    for (int call = 0; call < 2; ++call) {
        lib::SETREF(hrf, 1, w.x, 0.0, 0.0, 700.0, -1.0, ierr, herr);
        EXPECT_EQ(ierr, 119) << call;
        EXPECT_EQ(herr.rfind("[SETREF error 119] convergence failure in calculating reference "
                             "state for component #1:",
                             0),
                  0u)
            << herr;
    }
    // The call before the failure is computed again, not taken as done.
    lib::SETREF(hrf, 1, w.x, 1000.0, 10.0, 500.0, 200.0, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    double D = 0;
    lib::TPRHO(500.0, 200.0, w.x, 2, 0, D, ierr, herr);
    const HS r = hs_at(500.0, D);
    EXPECT_NEAR(r.h, 1000.0, 1e-7);
    EXPECT_NEAR(r.s, 10.0, 1e-10);

    // IIR for a fluid whose critical temperature is below 274.15 K: 23 and
    // the fluid's default reference state.
    ASSERT_TRUE(sattest::setup("nitrogen"));
    const double h_def = lib::CREF.h0[1], s_def = lib::CREF.s0[1];
    hrf = "IIR";
    lib::SETREF(hrf, 1, w.x, 0, 0, 0, 0, ierr, herr);
    EXPECT_EQ(ierr, 23);
    EXPECT_EQ(herr.rfind("[SETUP warning 23] critical temperature for component", 0), 0u) << herr;
    EXPECT_NEAR(lib::CREF.h0[1], h_def, 1e-8);
    EXPECT_NEAR(lib::CREF.s0[1], s_def, 1e-11);
}

}  // namespace
