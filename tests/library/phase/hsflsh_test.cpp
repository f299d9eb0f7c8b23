// HSFLSH of pure fluids' two-phase states, from 0.3 to 0.999 of the way
// from the triple point to the critical point: their temperature and vapour
// fraction come back, also where the enthalpy lies near zero (the reference
// state's liquid), where the lever rule's residual once had to fall below
// 1e-12 J/mol and ended on 248 (oxygen at 139.3 K and q 0.3, h = -6.1
// J/mol; nitrogen trifluoride, propylene and trans-2-butene at q 0.02 and
// 0.1).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "tests/library/phase/flash_support.h"

namespace {

using namespace flashtest;

class EnthalpyEntropyTwoPhase : public ::testing::TestWithParam<const char*> {};

TEST_P(EnthalpyEntropyTwoPhase, StatesComeBack) {
    ASSERT_TRUE(setup(GetParam()));
    const Constants k = constants();
    const double z[20] = {1.0};
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    lib::LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    const double low = std::max(k.ttp, tmin);
    std::ostringstream bad;
    for (int i = 0; i <= 60; ++i)
        for (double q : {0.02, 0.1, 0.3, 0.5, 0.7, 0.9, 0.98}) {
            const double T = low + (k.tc - low) * (0.3 + 0.699 * i / 60.0);
            const State a = tq(T, q);
            ASSERT_EQ(a.ierr, 0) << T << " " << a.herr;
            const State b = hs(a.h, a.s);
            if (b.ierr != 0 || !(std::fabs(b.T / T - 1.0) <= 1e-7) || !(std::fabs(b.q - q) <= 1e-6))
                bad << T << " K, q " << q << ": ierr " << b.ierr << " T " << b.T << " q " << b.q
                    << " " << b.herr << "\n";
        }
    EXPECT_EQ(bad.str(), "");
}

INSTANTIATE_TEST_SUITE_P(Fluids, EnthalpyEntropyTwoPhase,
                         ::testing::Values("oxygen", "nf3", "propylen", "t2butene"));

}  // namespace
