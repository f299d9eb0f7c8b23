#include "library/phase/maxwell.h"

#include <gtest/gtest.h>

#include "library/library.h"
#include "library/phase/spinodal.h"
#include "tests/library/phase/sat_support.h"

namespace {

using sattest::bubble_at;
using sattest::Pure;
using sattest::rel;
using sattest::Sat;

// The equal-area construction meets the saturation state within its own
// pressure tolerance (1e-4), from good and from poor start densities.
TEST(Maxwell, AgreesWithTheSaturationState) {
    for (const char* fluid : {"water", "nitrogen", "r134a"}) {
        ASSERT_TRUE(sattest::setup(fluid));
        double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
        lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
        for (double f : {0.6, 0.8, 0.9}) {
            const double T = f * tc;
            const Sat ref = bubble_at(T);
            for (double scale : {1.0, 0.98}) {
                double P = 0, Dl = ref.Dl * scale, Dv = ref.Dv / scale;
                int ierr = -1;
                std::string herr = "old";
                lib::MAXWELL(1, T, P, Dl, Dv, ierr, herr);
                ASSERT_EQ(ierr, 0) << fluid << " " << T << " scale " << scale << ": " << herr;
                EXPECT_TRUE(herr.empty()) << herr;
                EXPECT_LT(rel(P, ref.P), 2e-4) << fluid << " " << T;
                EXPECT_LT(rel(Dl, ref.Dl), 1e-3) << fluid << " " << T;
                EXPECT_LT(rel(Dv, ref.Dv), 1e-3) << fluid << " " << T;
            }
        }
        // Starts just inside the unstable region are moved out of it first.
        const double T = 0.9 * tc;
        const Sat ref = bubble_at(T);
        Pure w;
        double dls = -1.0, dvs = -1.0;
        int ierr = -1;
        std::string herr;
        lib::LIQSPNDL(T, w.x, dls, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        lib::VAPSPNDL(T, w.x, dvs, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        double P = 0, Dl = 0.99 * dls, Dv = 1.01 * dvs;
        double d1 = 0;
        lib::DPDD(T, Dl, w.x, d1);
        EXPECT_LT(d1, 0.0);
        lib::DPDD(T, Dv, w.x, d1);
        EXPECT_LT(d1, 0.0);
        // Next to a spinodal the slope vanishes and the volume steps can run
        // to their limits: the result is then the failure, never a state.
        lib::MAXWELL(1, T, P, Dl, Dv, ierr, herr);
        if (ierr == 0) {
            EXPECT_TRUE(herr.empty()) << herr;
            EXPECT_LT(rel(P, ref.P), 2e-4) << fluid;
        } else {
            EXPECT_EQ(ierr, 1);
            EXPECT_EQ(P, -1.0);
            EXPECT_EQ(Dl, -1.0);
        }
    }
}

TEST(Maxwell, FailureSetsMinusOne) {
    ASSERT_TRUE(sattest::setup("water"));
    double P = 0, Dl = 50.0, Dv = 0.1;
    int ierr = 0;
    std::string herr;
    lib::MAXWELL(0, 400.0, P, Dl, Dv, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "[MAXWELL error] no convergence");
    EXPECT_EQ(P, -1.0);
    EXPECT_EQ(Dl, -1.0);
    EXPECT_EQ(Dv, -1.0);
    // Above the critical temperature no two phases coexist: starts on both
    // sides of the critical density give the failure, not two densities near
    // it.
    for (double T : {650.0, 700.0}) {
        Dl = 20.0;
        Dv = 5.0;
        lib::MAXWELL(1, T, P, Dl, Dv, ierr, herr);
        EXPECT_EQ(ierr, 1) << T;
        EXPECT_EQ(Dl, -1.0) << T;
        EXPECT_EQ(Dv, -1.0) << T;
    }
}

}  // namespace
