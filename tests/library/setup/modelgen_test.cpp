// The count of changes of the equations: every routine that changes what
// the property routines evaluate raises it, and a property routine does not.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "library/library.h"
#include "library/models/pr.h"
#include "library/setup/modelgen.h"
#include "tests/support/fluid.h"

namespace {

struct Routine {
    const char* name;
    std::function<void()> call;
};

void PrintTo(const Routine& r, std::ostream* os) { *os << r.name; }

int ierr = 0;
std::string herr;

const Routine kChanging[] = {
    {"SETUP of the same fluid", [] { testsupport::set_up("methane|ethane"); }},
    {"SETUP of another fluid", [] { testsupport::set_up("water"); }},
    {"SETREF",
     [] {
         std::string hrf = "NBP";
         const double x0[20] = {1.0};
         lib::SETREF(hrf, 1, x0, 0, 0, 0, 0, ierr, herr);
     }},
    {"SETKTV",
     [] {
         const double fij[6] = {1.0, 1.0, 1.0, 1.0, 0.5, 0.0};
         lib::SETKTV(1, 2, "KW1", fij, "hmx", ierr, herr);
     }},
    {"SETKTV RST",
     [] {
         const double none[6] = {};
         lib::SETKTV(1, 2, "RST", none, "", ierr, herr);
     }},
    {"SETMOD",
     [] {
         lib::Names20 codes;
         codes.fill("QVB");
         lib::SETMOD(2, "EOS", "HMX", codes, ierr, herr);
     }},
    {"GERG04", [] { lib::GERG04(2, 0, ierr, herr); }},
    {"RESETA", [] { lib::RESETA(); }},
    {"PUREFLD", [] { lib::PUREFLD(1); }},
    {"SETNC", [] { lib::SETNC(2); }},
    {"PREOS",
     [] {
         int flag = 2;
         lib::PREOS(flag);
     }},
    {"SETAGA", [] { lib::SETAGA(ierr, herr); }},
    {"UNSETAGA", [] { lib::UNSETAGA(); }},
    {"PASSCMN writing a value",
     [] {
         std::string hstr;
         int ilng = 0;
         double value = 0, arr[20] = {};
         lib::PASSCMN("wmas", 0, 1, 0, hstr, ilng, value, arr, ierr, herr);
         lib::PASSCMN("wmas", 1, 1, 0, hstr, ilng, value, arr, ierr, herr);
     }},
};

class RaisesTheCount : public testing::TestWithParam<Routine> {};

TEST_P(RaisesTheCount, AfterTheChange) {
    ASSERT_EQ(testsupport::set_up("methane|ethane"), "");
    const unsigned long long before = lib::model_generation();
    GetParam().call();
    EXPECT_GT(lib::model_generation(), before) << GetParam().name;
    // Nothing of the change stays behind for the next test.
    int flag = 0;
    lib::PREOS(flag);
    lib::UNSETAGA();
    lib::PUREFLD(0);
    testsupport::set_up("nitrogen");
}

INSTANTIATE_TEST_SUITE_P(Routines, RaisesTheCount, testing::ValuesIn(kChanging));

TEST(ModelGeneration, PropertyRoutinesLeaveTheCount) {
    ASSERT_EQ(testsupport::set_up("methane|ethane"), "");
    const double z[20] = {0.5, 0.5};
    const unsigned long long before = lib::model_generation();
    double h = 0, D = 0, Dl = 0, Dv = 0, x[20] = {}, y[20] = {}, q = 0, e = 0, s = 0, cv = 0,
           cp = 0, w = 0;
    lib::ENTHAL(250.0, 1.0, z, h);
    lib::TPFLSH(250.0, 1000.0, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    EXPECT_EQ(lib::model_generation(), before);
}

}  // namespace
