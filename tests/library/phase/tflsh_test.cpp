// Flashes at given temperature with entropy, enthalpy or energy, and at given
// temperature and density: the critical point of every built-in fluid, round
// trips from (T, p) states, two-phase states and the two roots of an
// isotherm.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/library/phase/flash_support.h"

namespace {

using namespace flashtest;

// The application sets every fluid up with a (T, s) and a (T, D) flash at the
// critical point.
TEST(TemperatureFlash, CriticalPointOfEveryBuiltInFluid) {
    std::ostringstream bad;
    int fluids = 0;
    for (int k = 1; k < lib::kTextCount; ++k) {
        const std::string name(lib::store::name(k));
        ASSERT_TRUE(setup(name));
        ++fluids;
        const Constants c = constants();
        Pure z;
        double s = 0;
        lib::ENTRO(c.tc, c.dc, z.z, s);
        const State a = ts(c.tc, s);
        const State b = td(c.tc, c.dc);
        // The pressure is the equation's own at (Tc, Dc), which may differ
        // somewhat from the fluid's stated critical pressure.
        if (a.ierr > 0 || b.ierr > 0 || std::fabs(b.P - c.pc) > 0.05 * c.pc ||
            rel(a.D, c.dc) > 1e-6 || rel(a.P, b.P) > 1e-6)
            bad << name << ": TS " << a.ierr << " P " << a.P << " D " << a.D << " " << a.herr
                << " | TD " << b.ierr << " P " << b.P << " (" << c.pc << ") " << b.herr << "\n";
    }
    EXPECT_EQ(fluids, 126);
    EXPECT_EQ(bad.str(), "");
}

TEST(TemperatureFlash, EntropyAndDensityRoundTrips) {
    for (const char* fluid : {"water", "nitrogen", "r134a"}) {
        ASSERT_TRUE(setup(fluid));
        const Constants c = constants();
        std::ostringstream bad;
        for (double tr : {0.6, 0.8, 0.95, 1.1, 1.6}) {
            const double T = tr * c.tc;
            for (double pr : {0.01, 0.3, 2.0}) {
                const State a = tp(T, pr * c.pc);
                if (a.ierr != 0) continue;
                const State b = ts(T, a.s, a.q < 0.0 ? 2 : 1);
                const State d = td(T, a.D);
                if (b.ierr > 0 || rel(b.D, a.D) > 1e-7 || rel(b.P, a.P) > 1e-6)
                    bad << fluid << " TS " << T << " " << a.P << ": " << b.ierr << " D " << b.D
                        << " (" << a.D << ") " << b.herr << "\n";
                if (d.ierr > 0 || rel(d.P, a.P) > 1e-6 ||
                    std::fabs(d.h - a.h) > 1e-6 * std::fabs(a.h) + 1e-6)
                    bad << fluid << " TD " << T << " " << a.D << ": " << d.ierr << " P " << d.P
                        << " (" << a.P << ") " << d.herr << "\n";
            }
            if (T >= c.tc) continue;
            // Two-phase states between the saturated phases.
            const State m = tq(T, 0.35);
            const State b = ts(T, m.s);
            const State d = td(T, m.D);
            if (b.ierr != 0 || std::fabs(b.q - 0.35) > 1e-9 || b.cv != -9999980.0)
                bad << fluid << " TS two-phase " << T << ": " << b.ierr << " q " << b.q << "\n";
            if (d.ierr != 0 || std::fabs(d.q - 0.35) > 1e-9 || rel(d.P, m.P) > 1e-9)
                bad << fluid << " TD two-phase " << T << ": " << d.ierr << " q " << d.q << "\n";
        }
        EXPECT_EQ(bad.str(), "") << fluid;
    }
}

// Along a supercritical isotherm the enthalpy has a minimum: a value between
// it and the enthalpy at the pressure limit belongs to two densities.
TEST(TemperatureFlash, TwoRootsOfAnIsotherm) {
    ASSERT_TRUE(setup("nitrogen"));
    const double T = 200.0;
    const State dense = tp(T, 100000.0);
    ASSERT_LE(dense.ierr, 0) << dense.herr;
    Pure c;
    State hi, lo;
    lib::THFLSH(T, dense.h, c.z, 2, hi.P, hi.D, hi.Dl, hi.Dv, hi.x, hi.y, hi.q, hi.e, hi.s, hi.cv,
                hi.cp, hi.w, hi.ierr, hi.herr);
    lib::THFLSH(T, dense.h, c.z, 1, lo.P, lo.D, lo.Dl, lo.Dv, lo.x, lo.y, lo.q, lo.e, lo.s, lo.cv,
                lo.cp, lo.w, lo.ierr, lo.herr);
    EXPECT_EQ(hi.ierr, -238);
    EXPECT_NE(hi.herr.find("the higher density root has been calculated"), std::string::npos);
    EXPECT_EQ(lo.ierr, -238);
    EXPECT_NE(lo.herr.find("the lower density root has been calculated"), std::string::npos);
    EXPECT_NEAR(hi.D, dense.D, 1e-6 * dense.D);
    EXPECT_LT(lo.D, 0.5 * dense.D);
    // Above the dilute gas's enthalpy only the dense root is left.
    const State high = tp(T, 300000.0);
    State one;
    lib::THFLSH(T, high.h, c.z, 1, one.P, one.D, one.Dl, one.Dv, one.x, one.y, one.q, one.e, one.s,
                one.cv, one.cp, one.w, one.ierr, one.herr);
    EXPECT_EQ(one.ierr, 0) << one.herr;
    EXPECT_NEAR(one.D, high.D, 1e-6 * high.D);
    // An enthalpy above the equation's range is refused.
    State out;
    lib::THFLSH(T, 1e7, c.z, 1, out.P, out.D, out.Dl, out.Dv, out.x, out.y, out.q, out.e, out.s,
                out.cv, out.cp, out.w, out.ierr, out.herr);
    EXPECT_EQ(out.ierr, 239);
    EXPECT_EQ(out.q, lib::kQualityFailed);
    EXPECT_EQ(out.D, 0.0);
}

TEST(TemperatureFlash, DensityBelowTheTriplePointAndOfAnEmptyVolume) {
    ASSERT_TRUE(setup("nitrogen"));
    // An empty volume has no state.
    const State empty = td(100.0, 0.0);
    EXPECT_EQ(empty.ierr, 2);
    EXPECT_EQ(empty.q, 999.0);
    EXPECT_EQ(empty.P, 0.0);
}

}  // namespace
