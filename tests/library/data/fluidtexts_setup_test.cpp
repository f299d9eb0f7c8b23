// Every built-in fluid text sets up through the library's own loaders, and the
// loaded equation gives the ideal-gas limit and the text's critical point.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "tests/support/properties.h"

namespace {

double header_value(int slot, int line) {
    double v = 0;
    lib::read_numbers(lib::store::line(slot, line), &v, 1);
    return v;
}

// Sets up one text and checks the low-density limit p = D R T and the
// critical temperature of the header; returns "" or what went wrong.
std::string set_up_and_check(int slot) {
    const std::string name(lib::store::name(slot));
    std::string hrf = "DEF", herr;
    int ierr = 0;
    lib::SETUP0(1, name, "hmx", hrf, ierr, herr);
    if (ierr != 0) return name + ": " + herr;
    if (std::fabs(lib::CCON.tc[1] - header_value(slot, 9)) > 1e-9 * header_value(slot, 9))
        return name + ": critical temperature differs from the header";
    const double x[20] = {1.0};
    const double T = 1.5 * lib::CCON.tc[1], D = 1e-6;
    const auto [P, e, h, s, cv, cp, w, hjt] = testsupport::therm(T, D, x);
    double R = 0;
    lib::RMIX2(x, R);
    if (!(std::fabs(P / (D * R * T) - 1.0) < 1e-4)) return name + ": no ideal-gas limit";
    if (!(cp > cv && cv > 0)) return name + ": heat capacities out of order";
    return "";
}

// The texts whose equation is a corresponding-states estimate included.
TEST(FluidTextsSetUp, EveryTextLoads) {
    for (int slot = 1; slot <= 126; ++slot) {
        const std::string why = set_up_and_check(slot);
        EXPECT_TRUE(why.empty()) << why;
    }
}

}  // namespace

namespace {

// An equation fitted above its fluid's triple point is limited to the range
// it was fitted to where it gives no fluid below it: propyne's saturated
// liquid had cv = -13.7 J/(mol K) at 210 K and w = 45,540 m/s at 190.5 K.
// Below 273 K its states are refused, naming the state and the limit; at
// and above it they are a fluid's.
TEST(FluidTextsSetUp, EquationLimitedToItsFittedRange) {
    std::string hrf = "DEF", herr;
    int ierr = 0;
    lib::SETUP0(1, "propyne", "hmx", hrf, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    const double z[20] = {1.0};
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    lib::LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    EXPECT_EQ(tmin, 273.0);
    double D = 0, Dl = 0, Dv = 0, x[20], y[20], q = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0;
    lib::TPFLSH(210.0, 100.0, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_NE(herr.find("temperature below lower limit, T =  210.00 K, Tmin =  273.00 K"),
              std::string::npos)
        << herr;
    for (double T : {273.0, 300.0, 400.0}) {
        double P = 0;
        lib::SATT(T, z, lib::kBubblePoint, P, Dl, Dv, x, y, ierr, herr);
        ASSERT_EQ(ierr, 0) << T << " " << herr;
        double p = 0, hjt = 0;
        lib::THERM(T, Dl, z, p, e, h, s, cv, cp, w, hjt);
        EXPECT_GT(cv, 0.0) << T;
        EXPECT_GT(w, 0.0) << T;
        EXPECT_LT(w, 2000.0) << T;
    }
}

// The saturated liquid at the triple point is no solid: every melting line
// starts at or above its equation's triple-point pressure, beyond the range
// check's margin (propylene's lay at 7.47e-7 kPa, its estimate's triple
// point at 1.01e-6 kPa, and every flash refused that liquid with 16).
TEST(FluidTextsSetUp, TriplePointLiquidIsNoSolid) {
    for (int slot = 1; slot <= 126; ++slot) {
        const std::string name(lib::store::name(slot));
        std::string hrf = "DEF", herr;
        int ierr = 0;
        lib::SETUP0(1, name, "hmx", hrf, ierr, herr);
        ASSERT_EQ(ierr, 0) << name << " " << herr;
        const double z[20] = {1.0};
        double P = 0, Dl = 0, Dv = 0, x[20], y[20];
        lib::SATT(lib::CCON.ttp[1], z, lib::kBubblePoint, P, Dl, Dv, x, y, ierr, herr);
        if (ierr > 0) continue;
        double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
        lib::LIMITX("EOS", lib::CCON.ttp[1], Dl, P, z, tmin, tmax, dmax, pmax, ierr, herr);
        EXPECT_LE(ierr, 0) << name << " " << herr;
    }
}

}  // namespace
