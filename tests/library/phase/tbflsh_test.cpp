// The general flash at given temperature: the status of its dew point is
// examined before its densities are used.
#include "library/phase/tbflsh.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/library/phase/flash_support.h"

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

}  // namespace
