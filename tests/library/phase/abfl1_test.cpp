// The single-phase solver at given pressure: liquids compressed above the
// critical pressure come back from their enthalpy and entropy, also where
// the equation has a loop of its own deep inside the two-phase region at
// the temperatures the iteration passes (R1234ze(E) at 296.6 K: dP/dD > 0
// from 3.6 to 5.1 mol/L; methane's liquid at 1.1 times its critical
// pressure came back from PHFLSH 16 K too cold, with ierr 0).
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "tests/library/phase/flash_support.h"

namespace {

using namespace flashtest;

struct Isobar {
    const char* fluid;
    double P, t0, t1;  // kPa; the temperatures swept, K
};

const Isobar kIsobars[] = {{"r1234ze", 3745.42, 300.0, 310.0}, {"methane", 5059.12, 176.0, 186.0}};

class CompressedLiquidIsobar : public ::testing::TestWithParam<Isobar> {};

TEST_P(CompressedLiquidIsobar, EnthalpyAndEntropyGiveTheStateBack) {
    const Isobar& c = GetParam();
    ASSERT_TRUE(setup(c.fluid));
    std::ostringstream bad;
    for (int i = 0; i <= 20; ++i) {
        const double T = c.t0 + (c.t1 - c.t0) * i / 20;
        const State a = tp(T, c.P);
        ASSERT_EQ(a.ierr, 0) << a.herr;
        for (const State& b : {ph(c.P, a.h), ps(c.P, a.s)})
            if (b.ierr != 0 || !(std::fabs(b.T / T - 1.0) <= 1e-8) ||
                !(std::fabs(b.D / a.D - 1.0) <= 1e-8))
                bad << T << " K: ierr " << b.ierr << " T " << b.T << " D " << b.D << " " << b.herr
                    << "\n";
    }
    EXPECT_EQ(bad.str(), "") << c.fluid;
}

std::string fluid_name(const ::testing::TestParamInfo<Isobar>& p) { return p.param.fluid; }

INSTANTIATE_TEST_SUITE_P(Fluids, CompressedLiquidIsobar, ::testing::ValuesIn(kIsobars), fluid_name);

}  // namespace
