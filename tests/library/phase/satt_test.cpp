#include "library/phase/satt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "library/library.h"
#include "library/models/records.h"
#include "library/phase/records.h"
#include "library/setup/records.h"
#include "tests/library/phase/sat_support.h"

namespace {

using sattest::Pure;
using sattest::rel;
using sattest::Sat;
using sattest::satt;

// Saturation states of water from the published IAPWS-95 verification table
// (T K, p MPa, rho' and rho'' kg/m3), in molar units.
TEST(Satt, WaterVerificationTable) {
    ASSERT_TRUE(sattest::setup("water"));
    struct Row {
        double T, P, Dl, Dv;
    };
    const Row rows[] = {{275.0, 0.698451167, 55.502222, 3.0566568e-4},
                        {450.0, 932.203564, 49.421482, 0.26710697},
                        {625.0, 16908.2693, 31.478321, 6.5661127}};
    for (const Row& r : rows) {
        const Sat s = satt(r.T);
        ASSERT_EQ(s.ierr, 0) << r.T << ": " << s.herr;
        EXPECT_TRUE(s.herr.empty());
        // The published values carry 9 (p) and 8 (densities) digits.
        EXPECT_LT(rel(s.P, r.P), 1e-8) << r.T;
        EXPECT_LT(rel(s.Dl, r.Dl), 1e-8) << r.T;
        EXPECT_LT(rel(s.Dv, r.Dv), 1e-8) << r.T;
        EXPECT_EQ(s.xl[0], 1.0);
        EXPECT_EQ(s.xv[0], 1.0);
        // Both phases at the saturation pressure.
        double pl = 0, pv = 0;
        Pure w;
        lib::PRESS(r.T, s.Dl, w.x, pl);
        lib::PRESS(r.T, s.Dv, w.x, pv);
        EXPECT_LT(std::fabs(pv - s.P) / s.P, 1e-9);
    }
}

// Ancillary equations that miss by orders of magnitude (a vapour pressure
// 1e-120 times too low, densities on the wrong side of the dome) do not
// change the result: the start comes from the equation of state.  (From such
// a start the pressure iteration alone fails, and the spinodal-bracketed
// method fails for nitrogen between 99 and 115 K.)
TEST(Satt, ImplausibleAncillaryStartsFallBackOnTheEquation) {
    const std::pair<const char*, std::vector<double>> cases[] = {
        {"water", {275.0, 450.0}}, {"nitrogen", {70.0, 100.0, 110.0}}};
    for (const auto& [name, temps] : cases) {
        ASSERT_TRUE(sattest::setup(name));
        std::vector<Sat> plain;
        for (double T : temps) plain.push_back(satt(T));
        struct Restore {
            double ps = lib::WRDPS.xred[1], dl = lib::WRDDL.xred[1], dv = lib::WRDDV.xred[1];
            ~Restore() {
                lib::WRDPS.xred[1] = ps;
                lib::WRDDL.xred[1] = dl;
                lib::WRDDV.xred[1] = dv;
                lib::RESETM.no_cache = 1;  // records changed behind the set-up
                lib::FSHSAV.tst = 0;
            }
        } restore;
        lib::WRDPS.xred[1] *= 1e-120;
        lib::WRDDL.xred[1] *= 20.0;
        lib::WRDDV.xred[1] *= 1e4;
        for (std::size_t i = 0; i < temps.size(); ++i) {
            lib::FSHSAV.tst = 0;
            const Sat s = satt(temps[i]);
            ASSERT_EQ(plain[i].ierr, 0) << name << " " << temps[i];
            ASSERT_EQ(s.ierr, 0) << name << " " << temps[i] << ": " << s.herr;
            EXPECT_LT(rel(s.P, plain[i].P), 1e-10) << name << " " << temps[i];
            EXPECT_LT(rel(s.Dl, plain[i].Dl), 1e-10) << name << " " << temps[i];
            EXPECT_LT(rel(s.Dv, plain[i].Dv), 1e-10) << name << " " << temps[i];
        }
    }
}

// Cyclopropane's equation is published for 273 K and above but extends to the
// triple point (145.7 K, 1.2e-7 kPa).  Every state from there to the critical
// point is a true equilibrium of the equation, and at 273 K it is the
// saturation state given with the fluid data.
TEST(Satt, CyclopropaneFromItsTriplePoint) {
    ASSERT_TRUE(sattest::setup("cyclopro"));
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    Pure w;
    double last = 0.0;
    for (double T = ttp; T < 0.999 * tc; T += 6.0) {
        const Sat s = satt(T);
        ASSERT_EQ(s.ierr, 0) << T << ": " << s.herr;
        EXPECT_GT(s.P, last) << T;
        last = s.P;
        double al, gl, av, gv, pv;
        lib::AG(T, s.Dl, w.x, al, gl);
        lib::AG(T, s.Dv, w.x, av, gv);
        lib::PRESS(T, s.Dv, w.x, pv);
        EXPECT_LT(std::fabs(gl - gv), 1e-9 * rgas * T) << T;
        EXPECT_LT(rel(pv, s.P), 1e-9) << T;
    }
    // 145.7 K: 1.2e-7 kPa, 19.645 mol/L.
    const Sat t = satt(ttp);
    EXPECT_LT(rel(t.P, 1.2115e-7), 1e-3);
    EXPECT_LT(rel(t.Dl, 19.645), 1e-4);
    // 273 K (kPa, mol/L); the two phases of
    // the data's state agree in pressure to 2e-8 only.
    const Sat s = satt(273.0);
    ASSERT_EQ(s.ierr, 0) << s.herr;
    EXPECT_LT(rel(s.P, 342.702207), 5e-8);
    EXPECT_LT(rel(s.Dl, 15.5942723360), 1e-8);
    EXPECT_LT(rel(s.Dv, 0.164030307245), 5e-8);
}

TEST(Satt, CriticalPointAndAbove) {
    ASSERT_TRUE(sattest::setup("water"));
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    Sat s = satt(tc);
    EXPECT_EQ(s.ierr, 0) << s.herr;
    EXPECT_EQ(s.P, pc);
    EXPECT_EQ(s.Dl, dc);
    EXPECT_EQ(s.Dv, dc);
    s = satt(tc + 1e-6);
    EXPECT_EQ(s.ierr, 121);
    EXPECT_EQ(s.herr.rfind("[SATT error 121] temperature input to saturation routine is greater "
                           "than critical temperature; T =",
                           0),
              0u)
        << s.herr;
    EXPECT_EQ(s.P, pc);
    // Between 0.99 Tc and Tc the bracketed method alone; the state is on
    // both sides of the dome and its Gibbs energies agree.
    s = satt(0.995 * tc);
    ASSERT_EQ(s.ierr, 0) << s.herr;
    EXPECT_GT(s.Dl, dc);
    EXPECT_LT(s.Dv, dc);
    Pure w;
    double al, gl, av, gv;
    lib::AG(0.995 * tc, s.Dl, w.x, al, gl);
    lib::AG(0.995 * tc, s.Dv, w.x, av, gv);
    EXPECT_LT(std::fabs(gl - gv), 1e-7 * rgas * tc);
}

TEST(Satt, BelowTheTriplePointIsOnTheSublimationLineOrAnError) {
    ASSERT_TRUE(sattest::setup("water"));
    for (double T : {200.0, 250.0, 273.0}) {
        const Sat s = satt(T);
        if (s.ierr == 0) {
            // A usable sublimation state: an ideal-gas-like vapour at P.
            EXPECT_GT(s.P, 0.0);
            EXPECT_GT(s.Dv, 0.0);
            double p = 0;
            Pure w;
            lib::PRESS(T, s.Dv, w.x, p);
            EXPECT_LT(rel(p, s.P), 1e-6) << T;
        } else {
            EXPECT_GT(s.ierr, 0);
            EXPECT_FALSE(s.herr.empty());
        }
    }
    const Sat s = satt(0.0);
    EXPECT_NE(s.ierr, 0);
}

TEST(Satt, GuessModeAndSolidLines) {
    ASSERT_TRUE(sattest::setup("water"));
    const Sat plain = satt(400.0);
    ASSERT_EQ(plain.ierr, 0);
    // A negative temperature takes P as a start value.
    Sat g;
    g.P = 0.5 * plain.P;
    Pure w;
    lib::SATT(-400.0, w.x, 1, g.P, g.Dl, g.Dv, g.xl, g.xv, g.ierr, g.herr);
    ASSERT_EQ(g.ierr, 0) << g.herr;
    EXPECT_LT(rel(g.P, plain.P), 1e-12);
    // The melting line: the liquid at the melting pressure.
    const Sat m = satt(300.0, 3);
    ASSERT_EQ(m.ierr, 0) << m.herr;
    EXPECT_GT(m.P, 1e5);
    double p = 0;
    lib::PRESS(300.0, m.Dl, w.x, p);
    EXPECT_LT(rel(p, m.P), 1e-9);
    // The sublimation line of the text (IAPWS 2011): ice Ih at 250 K.
    const Sat s = satt(250.0, 4);
    EXPECT_EQ(s.ierr, 0) << s.herr;
    EXPECT_LT(rel(s.P, 0.0760127), 2e-5);
}

// Counts refreshes of the equation of state's term values.
unsigned eos_refreshes() { return lib::FEQSAV.gen[1]; }

TEST(Satt, RepeatedCallIsAnsweredFromTheCache) {
    ASSERT_TRUE(sattest::setup("water"));
    sattest::Iterating iterating;
    const Sat a = satt(400.123);
    ASSERT_EQ(a.ierr, 0);
    // Move the equation's own cache elsewhere, then repeat the call.
    double p = 0;
    Pure w;
    lib::PRESS(300.0, 1.0, w.x, p);
    const unsigned before = eos_refreshes();
    const Sat b = satt(400.123);
    EXPECT_EQ(eos_refreshes(), before);
    EXPECT_EQ(b.ierr, 0);
    EXPECT_EQ(b.P, a.P);
    EXPECT_EQ(b.Dl, a.Dl);
    EXPECT_EQ(b.Dv, a.Dv);
    // Another phase flag or temperature computes again.
    satt(400.123, 2);
    EXPECT_NE(eos_refreshes(), before);
}

// From the ancillary start, a saturation state at given temperature or
// pressure takes a handful of evaluations of the equation of state (one per
// phase and Newton step), not dozens.
TEST(Satt, FewEvaluationsOfTheEquationPerCall) {
    sattest::Iterating iterating;
    for (const char* fluid : {"water", "nitrogen", "r134a", "propane"}) {
        ASSERT_TRUE(sattest::setup(fluid));
        double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
        lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
        unsigned most_t = 0, most_p = 0;
        for (double f = 0.05; f < 0.96; f += 0.1) {
            const double T = ttp + f * (tc - ttp);
            unsigned before = eos_refreshes();
            const Sat a = satt(T);
            ASSERT_EQ(a.ierr, 0) << fluid << " " << T << ": " << a.herr;
            most_t = std::max(most_t, eos_refreshes() - before);
            before = eos_refreshes();
            const Sat b = sattest::satp(a.P);
            ASSERT_EQ(b.ierr, 0) << fluid << " " << a.P << ": " << b.herr;
            most_p = std::max(most_p, eos_refreshes() - before);
            EXPECT_LT(rel(b.T, T), 1e-10) << fluid << " " << T;
        }
        EXPECT_LE(most_t, 12u) << fluid;
        EXPECT_LE(most_p, 12u) << fluid;
    }
}

// Results never depend on the fluid that was set up before.
TEST(Satt, CachesDoNotOutliveTheFluid) {
    ASSERT_TRUE(sattest::setup("co2"));
    const Sat alone = satt(250.0);
    ASSERT_EQ(alone.ierr, 0);
    const Sat at_p = sattest::satp(1000.0);
    ASSERT_EQ(at_p.ierr, 0);

    ASSERT_TRUE(sattest::setup("water"));
    satt(250.0);
    const Sat water = satt(400.0);
    sattest::satp(1000.0);
    ASSERT_TRUE(sattest::setup("co2"));
    const Sat after = satt(250.0);
    EXPECT_EQ(after.ierr, 0);
    EXPECT_EQ(after.P, alone.P);
    EXPECT_EQ(after.Dl, alone.Dl);
    EXPECT_EQ(sattest::satp(1000.0).T, at_p.T);
    EXPECT_NE(water.P, after.P);
}

}  // namespace
