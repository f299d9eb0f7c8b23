// The two-phase solver at given temperature or pressure: a mixture whose
// two-phase iteration cannot go on ends in an error, never in its start
// values (the lever rule between the given bubble and dew points) with
// ierr 0.  The bubble and dew points handed in lie far above the
// mixture's cricondentherm (air at 200 K), where no split exists.
#include "library/phase/abfl2.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "tests/support/fluid.h"

namespace {

TEST(TwoPhaseSolver, MixtureThatCannotBeSplitIsAnErrorNotItsStartValues) {
    ASSERT_EQ(testsupport::set_up("nitrogen|oxygen"), "");
    int ierr = 0;
    std::string herr;
    const double z[20] = {0.79, 0.21};
    for (const std::string code : {"TQ", "PQ", "TH", "PH", "TS", "PS"}) {
        const bool at_t = code[0] == 'T';
        // Given bubble and dew points around the input (ksat 1), and a
        // property halfway between them.
        double tb = 198.0, td = 201.0, pb = 120.0, pd = 90.0, dlb = 30.0, dvd = 0.2;
        double yb[20] = {0.5, 0.5}, xd[20] = {0.93, 0.07};
        double b = 0.5;
        if (code[1] != 'Q') {
            double bl = 0, bv = 0;
            if (code[1] == 'H') {
                lib::ENTHAL(at_t ? 200.0 : tb, dlb, z, bl);
                lib::ENTHAL(at_t ? 200.0 : td, dvd, z, bv);
            } else {
                lib::ENTRO(at_t ? 200.0 : tb, dlb, z, bl);
                lib::ENTRO(at_t ? 200.0 : td, dvd, z, bv);
            }
            b = 0.5 * (bl + bv);
        }
        double T = 0, P = 0, Dl = 0, Dv = 0, x[20], y[20], q = 0.5;
        ierr = 0;
        herr.clear();
        lib::ABFL2(at_t ? 200.0 : 101.325, b, z, 1, 1, code, tb, td, pb, pd, dlb, dvd, yb, xd, T, P,
                   Dl, Dv, x, y, q, ierr, herr);
        EXPECT_GT(ierr, 0) << code;
        EXPECT_EQ(herr.rfind("[" + code + "FLSH error", 0), 0u) << code << ": " << herr;
        // Error 225 hands back the start values, marked as such by the error.
        EXPECT_TRUE(q == 999.0 || ierr == 225) << code << ": " << q << " " << herr;
        EXPECT_TRUE(std::isfinite(T) && std::isfinite(P) && std::isfinite(Dl) && std::isfinite(Dv))
            << code;
    }
}

}  // namespace
