#include "library/phase/satcp.h"

#include <gtest/gtest.h>

#include "library/library.h"
#include "library/setup/records.h"
#include "tests/library/phase/sat_support.h"

namespace {

using sattest::bubble_at;
using sattest::Pure;
using sattest::rel;
using sattest::Sat;

double entropy(double T, double D) {
    Pure w;
    double s = 0;
    lib::ENTRO(T, D, w.x, s);
    return s;
}

// csat = T ds/dT along the saturation line; dPsat/dT is the slope of the
// vapour-pressure curve: both checked by central differences of SATT.
TEST(Satcp, HeatCapacitiesAlongTheSaturationLines) {
    for (const char* fluid : {"water", "r134a"}) {
        ASSERT_TRUE(sattest::setup(fluid));
        double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
        lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
        for (double f : {0.6, 0.85}) {
            const double T = f * tc, h = 1e-3;
            const Sat hi = bubble_at(T + h), lo = bubble_at(T - h);
            for (int kph : {1, 2}) {
                double P = 0, D = 0, csat = 0, dpsdt = 0;
                int ierr = -1;
                std::string herr;
                lib::DPTSATK(1, T, kph, P, D, csat, dpsdt, ierr, herr);
                ASSERT_EQ(ierr, 0) << herr;
                EXPECT_LT(rel(dpsdt, (hi.P - lo.P) / (2 * h)), 1e-6) << fluid << " " << T;
                const double ds = kph == 1 ? entropy(T + h, hi.Dl) - entropy(T - h, lo.Dl)
                                           : entropy(T + h, hi.Dv) - entropy(T - h, lo.Dv);
                EXPECT_LT(std::fabs(csat - T * ds / (2 * h)), 1e-5 * std::fabs(csat) + 1e-4)
                    << fluid << " " << T << " kph " << kph;
                double P2 = 0, D2 = 0, c2 = 0;
                lib::CSATK(1, T, kph, P2, D2, c2, ierr, herr);
                EXPECT_EQ(c2, csat);
                EXPECT_EQ(D2, D);
            }
        }
        EXPECT_EQ(lib::NCOMP.ic, 0);
    }
}

TEST(Satcp, TwoPhaseCvAndFailures) {
    ASSERT_TRUE(sattest::setup("water"));
    const double T = 450.0;
    const Sat s = bubble_at(T);
    double D = -1.0, cv2p = 0, csat = 0;
    int ierr = -1;
    std::string herr;
    lib::CV2PK(1, T, D, cv2p, csat, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_EQ(D, s.Dl);
    // With D at the saturated liquid only csat and the dDl/dT term remain.
    const Sat hi = bubble_at(T + 0.01), lo = bubble_at(T - 0.01);
    double Pl, Dl1, c1, dpsdt;
    lib::DPTSATK(1, T, 1, Pl, Dl1, c1, dpsdt, ierr, herr);
    EXPECT_LT(rel(csat, c1), 1e-12);
    EXPECT_LT(rel(cv2p, csat + T / (s.Dl * s.Dl) * (hi.Dl - lo.Dl) / 0.02 * dpsdt), 1e-12);
    // A two-phase cv exceeds that of both saturated phases.
    D = 1.0;
    double cv2 = 0;
    lib::CV2PK(1, T, D, cv2, csat, ierr, herr);
    ASSERT_EQ(ierr, 0);
    Pure w;
    double cv, cp;
    lib::CVCP(T, s.Dl, w.x, cv, cp);
    EXPECT_GT(cv2, cv);

    // Above Tc: SATT's error and zeros.
    double P = 9, csat2 = 9;
    D = 9;
    lib::CSATK(1, 700.0, 1, P, D, csat2, ierr, herr);
    EXPECT_EQ(ierr, 121);
    EXPECT_EQ(P, 0.0);
    EXPECT_EQ(D, 0.0);
    EXPECT_EQ(csat2, 0.0);
    EXPECT_EQ(lib::NCOMP.ic, 0);
}

}  // namespace
