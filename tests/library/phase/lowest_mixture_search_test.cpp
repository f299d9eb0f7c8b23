// The range check takes a mixture's states down to LIMITS' lowest
// temperature less an allowance (its liquid water down to 0.9 of the
// triple point); the (T, p) flash gives splits there, and the flashes at
// given pressure find them again (they searched the isobar down to LIMITS'
// temperature only, and failed with 248 and 295).
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "library/library.h"
#include "tests/support/fluid.h"

namespace {

struct TpState {
    double D = 0, Dl = 0, Dv = 0, q = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0;
    double x[20] = {}, y[20] = {};
    int ierr = 0;
    std::string herr;
};

// The temperature found at P by the flash with h, s or the vapour fraction.
struct Found {
    double T = 0;
    int ierr = 0;
    std::string herr;
};

enum class Given { H, S, Q };

Found at_pressure(Given g, double P, double b, const double z[20]) {
    Found f;
    double D = 0, Dl = 0, Dv = 0, x[20], y[20], q = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0;
    switch (g) {
        case Given::H:
            lib::PHFLSH(P, b, z, f.T, D, Dl, Dv, x, y, q, e, s, cv, cp, w, f.ierr, f.herr);
            break;
        case Given::S:
            lib::PSFLSH(P, b, z, f.T, D, Dl, Dv, x, y, q, e, h, cv, cp, w, f.ierr, f.herr);
            break;
        case Given::Q:
            lib::PQFLSH(P, b, z, lib::kMolarQuality, f.T, D, Dl, Dv, x, y, e, h, s, cv, cp, w,
                        f.ierr, f.herr);
            break;
    }
    return f;
}

TEST(LowestMixtureSearch, StatesBelowTheLimitAreFoundByEveryPressureFlash) {
    ASSERT_EQ(testsupport::set_up("co2|water"), "");
    const double z[20] = {0.1, 0.9};
    const struct {
        double T, P;
    } states[] = {
        {255.0, 2000.0}, {256.0, 2000.0}, {257.0, 2000.0}, {250.0, 5000.0}, {250.0, 20000.0}};
    for (const auto& [T, P] : states) {
        SCOPED_TRACE(testing::Message() << T << " K, " << P << " kPa");
        TpState tp;
        lib::TPFLSH(T, P, z, tp.D, tp.Dl, tp.Dv, tp.x, tp.y, tp.q, tp.e, tp.h, tp.s, tp.cv, tp.cp,
                    tp.w, tp.ierr, tp.herr);
        ASSERT_EQ(tp.ierr, 0) << tp.herr;
        ASSERT_GT(tp.q, 0.0);
        ASSERT_LT(tp.q, 1.0);
        for (const auto& [given, b] :
             {std::pair{Given::H, tp.h}, std::pair{Given::S, tp.s}, std::pair{Given::Q, tp.q}}) {
            const Found f = at_pressure(given, P, b, z);
            ASSERT_EQ(f.ierr, 0) << f.herr;
            EXPECT_NEAR(f.T, T, 1e-6 * T);
        }
    }
    // Below the freezing floor every road refuses the state.
    TpState tp;
    lib::TPFLSH(245.0, 2000.0, z, tp.D, tp.Dl, tp.Dv, tp.x, tp.y, tp.q, tp.e, tp.h, tp.s, tp.cv,
                tp.cp, tp.w, tp.ierr, tp.herr);
    EXPECT_EQ(tp.ierr, 250) << tp.herr;
}

}  // namespace
