#include "library/phase/satp.h"

#include <gtest/gtest.h>

#include "library/library.h"
#include "library/phase/satt.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "tests/library/phase/sat_support.h"

namespace {

using sattest::Pure;
using sattest::rel;

struct State {
    double T = 0, P = 0, Dl = 0, Dv = 0;
    double xl[20] = {}, xv[20] = {};
    int ierr = -1;
    std::string herr;
};

State satp(double P, int kph = 1) {
    Pure w;
    State s;
    s.P = P;
    lib::SATP(P, w.x, kph, s.T, s.Dl, s.Dv, s.xl, s.xv, s.ierr, s.herr);
    return s;
}

State satt(double T, int kph = 1) {
    Pure w;
    State s;
    s.T = T;
    lib::SATT(T, w.x, kph, s.P, s.Dl, s.Dv, s.xl, s.xv, s.ierr, s.herr);
    return s;
}

// SATP inverts SATT for every built-in pure fluid from its triple point to
// just below the critical point, on the bubble and the dew line.
TEST(Satp, InvertsSattForEveryFluid) {
    int fluids = 0;
    for (int slot = 1; slot < lib::kTextCount; ++slot) {
        const std::string name(lib::store::name(slot));
        // The blends have distinct bubble and dew lines, and the critical
        // point their texts give is not that of their equation.
        if (name == "air" || name == "r404a" || name == "r407c" || name == "r410a" ||
            name == "r507a")
            continue;
        if (!sattest::setup(name)) continue;
        // Corresponding-states estimates (fluids without an equation of their
        // own) have a critical point of their own, not the text's.
        if (lib::EOSMOD.eos[1].is("ECS")) continue;
        ++fluids;
        double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
        lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
        double tmin, tmax, dmax, pmax;
        Pure w;
        lib::LIMITS("EOS", w.x, tmin, tmax, dmax, pmax);
        const double t0 = std::max(ttp, tmin);
        for (double f : {0.0, 0.1, 0.3, 0.5, 0.7, 0.9, 0.97, 0.995, 1.0}) {
            const double T = t0 + f * (0.999 * tc - t0);
            const int kph = f < 0.5 ? 1 : 2;
            const State a = satt(T, kph);
            EXPECT_EQ(a.ierr, 0) << name << " T=" << T << ": " << a.herr;
            if (a.ierr != 0) continue;
            if (a.P < 1e-7) continue;  // below the pressure resolution of SATP's cache key
            const State b = satp(a.P, kph);
            if (a.P > pc * 1.000001) {
                // The equation's own critical pressure lies above the one the
                // text gives (fluorine): such a pressure is refused.
                EXPECT_EQ(b.ierr, 141) << name;
                continue;
            }
            EXPECT_EQ(b.ierr, 0) << name << " P=" << a.P << ": " << b.herr;
            EXPECT_LT(rel(b.T, T), 1e-9) << name << " T=" << T;
            EXPECT_LT(rel(b.Dl, a.Dl), 1e-7) << name << " T=" << T;
            EXPECT_LT(rel(b.Dv, a.Dv), 1e-7) << name << " T=" << T;
        }
    }
    EXPECT_GT(fluids, 90);
}

// Cyclopropane's ancillary equations hold only from 273 K; below, the start
// comes from the equation itself, down to the triple point at 1.2e-7 kPa.
TEST(Satp, InvertsSattForCyclopropaneFromItsTriplePoint) {
    ASSERT_TRUE(sattest::setup("cyclopro"));
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    double last = 0.0;
    for (double T : {ttp, 146.0, 150.0, 155.0, 160.0, 165.0, 200.0, 272.0, 274.0, 0.999 * tc}) {
        for (int kph : {1, 2}) {
            const State a = satt(T, kph);
            ASSERT_EQ(a.ierr, 0) << T << ": " << a.herr;
            if (kph == 1) {
                EXPECT_GT(a.P, last) << T;
                last = a.P;
            }
            const State b = satp(a.P, kph);
            ASSERT_EQ(b.ierr, 0) << T << ": " << b.herr;
            EXPECT_LT(rel(b.T, T), 1e-9) << T;
            EXPECT_LT(rel(b.Dl, a.Dl), 1e-7) << T;
            EXPECT_LT(rel(b.Dv, a.Dv), 1e-7) << T;
        }
    }
}

// Where the temperature iteration starts too far above the equation's
// saturation line and the secant search starts above the equation's own
// critical point, the saturation line is still found: air's dew and bubble
// points coincide on its one equation.
TEST(Satp, StartAboveTheEquationsSaturationLine) {
    ASSERT_TRUE(sattest::setup("air"));
    const State bubble = satp(3500.0, 1);
    ASSERT_EQ(bubble.ierr, 0) << bubble.herr;
    const State dew = satp(3500.0, 2);
    ASSERT_EQ(dew.ierr, 0) << dew.herr;
    EXPECT_LT(rel(dew.T, bubble.T), 1e-9);
    EXPECT_LT(rel(dew.Dv, bubble.Dv), 1e-7);
    const State back = satt(dew.T, 2);
    ASSERT_EQ(back.ierr, 0) << back.herr;
    EXPECT_LT(rel(back.P, 3500.0), 1e-9);
}

TEST(Satp, CriticalAndTriplePointLimits) {
    ASSERT_TRUE(sattest::setup("r134a"));
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    State s = satp(pc * (1.0 + 1e-9));
    EXPECT_EQ(s.ierr, 0) << s.herr;
    EXPECT_EQ(s.T, tc);
    EXPECT_EQ(s.Dl, dc);
    s = satp(pc * 1.01);
    EXPECT_EQ(s.ierr, 141);
    EXPECT_EQ(s.herr.rfind("[SATP error 141] pressure input to saturation routine is greater "
                           "than critical pressure; P =",
                           0),
              0u)
        << s.herr;
    EXPECT_EQ(s.T, tc);
    // Below the triple-point pressure without a sublimation line: error 2
    // with the triple-point temperature; never a temperature <= 0.
    for (double p : {1e-4, 0.0, -1.0}) {
        s = satp(p);
        EXPECT_GT(s.ierr, 0) << p;
        EXPECT_GT(s.T, 0.0);
    }
}

TEST(Satp, NormalBoilingPoints) {
    // Temperatures at 101.325 kPa from the fluid data (from the source's
    // high-accuracy saturation expansion), K.
    const std::pair<const char*, double> nbp[] = {
        {"water", 373.124295848}, {"nitrogen", 77.3549939096}, {"r134a", 247.076168942}};
    for (const auto& [name, tb] : nbp) {
        ASSERT_TRUE(sattest::setup(name));
        const State s = satp(101.325);
        ASSERT_EQ(s.ierr, 0) << name << ": " << s.herr;
        EXPECT_LT(std::fabs(s.T - tb), 1e-6) << name;
        // Answered from the cache the second time.
        const State c = satp(101.325);
        EXPECT_EQ(c.T, s.T);
    }
}

}  // namespace
