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
