// Ammonia + water, whose departure function is not bilinear in the
// fractions: the (T, p) flash over the working range of absorption and
// Kalina cycles, each state back from (p, h) and (p, s), fugacities equal to
// 1e-10 at every split (the analytic ones, which Newton's method solves
// for).
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "library/library.h"
#include "tests/support/fluid.h"

namespace {

// A line naming the state when the phases' fugacities differ by more than
// 1e-10, else "".
std::string unequal_fugacities(const std::string& at, double T, double Dl, double Dv,
                               const double x[20], const double y[20]) {
    double fl[20], fv[20];
    int ierr = 0;
    std::string herr;
    lib::FGCTY2(T, Dl, x, fl, ierr, herr);
    lib::FGCTY2(T, Dv, y, fv, ierr, herr);
    std::ostringstream bad;
    for (int i = 0; i < 2; ++i)
        if (std::fabs(fl[i] / fv[i] - 1.0) > 1e-10)
            bad << at << "fugacities " << fl[i] << " " << fv[i] << "\n";
    return bad.str();
}

TEST(AmmoniaWater, FlashesOverTheCycleRange) {
    ASSERT_EQ(testsupport::set_up("ammonia|water"), "");
    int states = 0, splits = 0;
    std::ostringstream bad;
    for (const double a : {0.3, 0.7, 0.9}) {
        const double z[20] = {a, 1.0 - a};
        for (double T = 280.0; T <= 480.0; T += 50.0) {
            for (double lp = 1.0; lp <= 4.01; lp += 0.75) {
                const double P = std::pow(10.0, lp);
                std::ostringstream at;
                at << "x " << a << ", " << T << " K, " << P << " kPa: ";
                ++states;
                double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
                int ierr = 0;
                std::string herr;
                lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
                if (ierr > 0) {
                    bad << at.str() << herr << "\n";
                    continue;
                }
                if (q > 0.0 && q < 1.0) {
                    ++splits;
                    bad << unequal_fugacities(at.str(), T, Dl, Dv, x, y);
                }
                double T2, D2, q2, e2, s2, h2;
                lib::PHFLSH(P, h, z, T2, D2, Dl, Dv, x, y, q2, e2, s2, cv, cp, w, ierr, herr);
                if (ierr > 0 || std::fabs(T2 - T) > 1e-6 * T)
                    bad << at.str() << "PHFLSH " << T2 << " K " << herr << "\n";
                lib::PSFLSH(P, s, z, T2, D2, Dl, Dv, x, y, q2, e2, h2, cv, cp, w, ierr, herr);
                if (ierr > 0 || std::fabs(T2 - T) > 1e-6 * T)
                    bad << at.str() << "PSFLSH " << T2 << " K " << herr << "\n";
            }
        }
    }
    EXPECT_EQ(bad.str(), "") << "of " << states << " states";
    EXPECT_GE(splits, 15);
}

// The 60/40 feed of an ammonia heat pump from 310 to 400 K and 0.3 to 2 MPa,
// mostly two-phase: every flash succeeds (350 K, 1 MPa once ended in
// error 219 after seconds of substitution), fugacities equal to 1e-10.
TEST(AmmoniaWater, HeatPumpFeedSplits) {
    ASSERT_EQ(testsupport::set_up("ammonia|water"), "");
    const double z[20] = {0.6, 0.4};
    int states = 0, splits = 0;
    std::ostringstream bad;
    for (double T = 310.0; T <= 400.0; T += 10.0) {
        for (const double P : {300.0, 500.0, 1000.0, 1500.0, 2000.0}) {
            ++states;
            double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
            int ierr = 0;
            std::string herr;
            lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
            if (ierr > 0) {
                bad << T << " K, " << P << " kPa: " << herr << "\n";
                continue;
            }
            if (!(q > 0.0 && q < 1.0)) continue;
            ++splits;
            std::ostringstream at;
            at << T << " K, " << P << " kPa: ";
            bad << unequal_fugacities(at.str(), T, Dl, Dv, x, y);
        }
    }
    EXPECT_EQ(bad.str(), "") << "of " << states << " states";
    EXPECT_GE(splits, 30);
}

}  // namespace
