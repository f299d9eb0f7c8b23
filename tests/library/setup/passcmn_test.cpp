// Model variables by name: reads and writes of a few named variables, the
// caches after a write, and the refusals of unknown names, of slots out of
// bounds and of term counts beyond the tables.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "library/library.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "tests/support/fluid.h"

namespace {

struct Call {
    int ierr = 0, ilng = 0;
    double dbl = 0.0;
    std::string hstr, herr;
    std::array<double, 56> arr{};
};

Call pass(const std::string& name, int iset, int icomp, Call c = {}, int jcomp = 0) {
    lib::PASSCMN(name, iset, icomp, jcomp, c.hstr, c.ilng, c.dbl, c.arr.data(), c.ierr, c.herr);
    return c;
}

TEST(Passcmn, ReadsWritesAndRefuses) {
    ASSERT_EQ(testsupport::set_up("nitrogen"), "");
    EXPECT_EQ(pass("tcrit", 0, 1).dbl, lib::CCON.tc[1]);
    const Call n = pass("ntermf", 0, 1);
    EXPECT_EQ(n.ilng, lib::WNTFEQ.k[1].nterm);
    const Call a = pass("afeq", 0, 1);
    EXPECT_EQ(a.arr[0], lib::WCFFEQ.n[1][0]);
    EXPECT_EQ(a.arr[static_cast<std::size_t>(n.ilng + lib::WNTFEQ.k[1].ncrit - 1)],
              lib::WCFFEQ.n[1][static_cast<std::size_t>(n.ilng + lib::WNTFEQ.k[1].ncrit - 1)]);
    EXPECT_EQ(pass("heos", 0, 1).hstr.substr(0, 3), "FEQ");

    // A write reaches the routines that use the value.
    Call w;
    w.dbl = 30.0;
    EXPECT_EQ(pass("wmas", 1, 1, w).ierr, 0);
    const double x[20] = {1.0};
    EXPECT_EQ(lib::WMOL(x), 30.0);
    // A changed coefficient changes the pressure at once (no stale cache).
    double p0 = 0, p1 = 0;
    lib::PRESS(300.0, 5.0, x, p0);
    Call c = pass("afeq", 0, 1);
    c.arr[0] *= 1.01;
    EXPECT_EQ(pass("afeq", 1, 1, c).ierr, 0);
    lib::PRESS(300.0, 5.0, x, p1);
    EXPECT_NE(p0, p1);

    const Call upper = pass("TCRIT", 0, 1);
    EXPECT_EQ(upper.ierr, 1);
    EXPECT_EQ(upper.herr, "[PASSCMN error] variable name not recognized");
    const Call out = pass("tcrit", 0, 21);
    EXPECT_EQ(out.ierr, 2);
    EXPECT_EQ(out.herr, "[PASSCMN error] inputs out of bounds");
    EXPECT_EQ(pass("fprkij", 0, 1, {}, -21).ierr, 2);
    Call big;
    big.ilng = 57;
    EXPECT_EQ(pass("ntermf", 1, 1, big).ierr, 3);
    EXPECT_EQ(lib::WNTFEQ.k[1].nterm, n.ilng);
    lib::RESETM.no_cache = 1;  // the records were changed behind set-up
}

}  // namespace
