// The gas root of a value along an isotherm below a low density: found to
// the rounding of the value at any density, refused beyond the ideal gas's
// enthalpy.
#include "library/phase/dilute.h"

#include <gtest/gtest.h>

#include <cmath>

#include "library/phase/flashutil.h"
#include "tests/library/phase/flash_support.h"

namespace {

using namespace flashtest;

struct DiluteCase {
    const char* fluid;
    char letter;
    double T, D;  // the state whose value is searched for from 1e-4 mol/L
    double tolerance;
};

// (The enthalpy of propane at 1e-10 mol/L differs from the ideal gas's in
// the ninth digit: the density comes back to 1e-6; at 3e-7 mol/L the
// enthalpy's to 1e-9, the energy's, closer to the ideal gas's, to 1e-8;
// the entropy's -R ln D keeps it to the rounding at any density.)
const DiluteCase kCases[] = {{"nitrogen", 'S', 300.0, 1e-20, 1e-12},
                             {"propane", 'S', 200.0, 3e-7, 1e-12},
                             {"propane", 'H', 200.0, 3e-7, 1e-9},
                             {"propane", 'E', 200.0, 3e-7, 1e-8},
                             {"propane", 'H', 200.0, 1e-10, 1e-6}};

TEST(DiluteRoot, DensityOfAThinGasComesBack) {
    for (const DiluteCase& c : kCases) {
        ASSERT_TRUE(setup(c.fluid));
        Pure p;
        const double b = lib::flash::prop(c.letter, c.T, c.D, p.z);
        double root = 0.0;
        ASSERT_TRUE(lib::dilute_root(c.letter, c.T, b, p.z, 1e-4, root)) << c.fluid << c.letter;
        EXPECT_NEAR(root / c.D, 1.0, c.tolerance) << c.fluid << " " << c.letter << " " << c.D;
    }
}

TEST(DiluteRoot, EnthalpyBeyondTheIdealGasIsRefused) {
    ASSERT_TRUE(setup("propane"));
    Pure p;
    const double h0 = lib::flash::prop('H', 200.0, 1e-14, p.z);
    double root = 0.0;
    EXPECT_FALSE(lib::dilute_root('H', 200.0, h0 + 1.0, p.z, 1e-4, root));
    // The slope of the entropy is -R/D in the ideal gas.
    EXPECT_NEAR(lib::isotherm_slope('S', 300.0, 1e-8, p.z) * 1e-8 / -lib::GCNST.r, 1.0, 1e-6);
}

}  // namespace
