// Two liquids whose vapour fraction hardly moves with pressure (4e-5 per
// unit of ln p): TQFLSH at the (T, p) flash's q must find that state, not
// run out of its search while the bracket narrows below the noise of q and
// refuse it as three phases (219).  Blends at 172-176 K, pressures from
// 225 kPa to 2.9 MPa along one isotherm.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"

namespace {

struct FlatCase {
    const char* names;
    int nc;
    double z[3];
    double T, P;
};

const FlatCase kCases[] = {
    {"propane|r22|r218",
     3,
     {0.117083478399255, 0.668734422027154, 0.214182099573591},
     175.649147491039,
     224.6306356},
    {"propane|r22|r218",
     3,
     {0.117083478399255, 0.668734422027154, 0.214182099573591},
     175.649147491039,
     374.7064839},
    {"propane|r22|r218",
     3,
     {0.117083478399255, 0.668734422027154, 0.214182099573591},
     175.649147491039,
     2901.216221},
    {"r22|r218", 2, {0.630790210153023, 0.369209789846977, 0.0}, 172.775692105908, 569.7491297},
};

class QualityFlat : public ::testing::TestWithParam<FlatCase> {};

TEST_P(QualityFlat, TemperatureFlashFindsTheTpFlashState) {
    const FlatCase& c = GetParam();
    int ierr = 0;
    std::string herr, hrf = "DEF";
    lib::SETUP0(c.nc, c.names, "hmx", hrf, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    double z[20] = {};
    for (int i = 0; i < c.nc; ++i) z[i] = c.z[i];
    double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
    lib::TPFLSH(c.T, c.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    ASSERT_TRUE(q > 0.0 && q < 1.0);
    double P2, D2, q2;
    lib::TQFLSH(c.T, q, z, 1, P2, D2, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    // Any state of that vapour fraction on the isotherm is an answer; the
    // (T, p) flash must have it there.
    lib::TPFLSH(c.T, P2, z, D2, Dl, Dv, x, y, q2, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(q2, q, 1e-9) << "at p=" << P2 << " kPa";
}

INSTANTIATE_TEST_SUITE_P(Blends, QualityFlat, ::testing::ValuesIn(kCases));

}  // namespace
