// The QUI equation on a test text (no built-in text uses it): every
// derivative against central differences, the cache, THERM2's and DPDD2's
// use of the third derivatives, the empty logarithmic group and the
// loader's errors.
#include "library/models/qui.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "tests/support/fluid.h"

namespace {

std::string section(const std::string& counts, const std::string& terms) {
    return "<<synthetic>>\n50.0\n500.0\n100000.0\n40.0\nCPP\n28.0134\n63.151\n12.5\n30.9\n"
           "77.35\n0.0372\n126.2 3400.0 11.2\n126.2 11.2\n8.314472\n" +
           counts + "\n" + terms;
}

const std::string kTerms =
    "-1.2 1.0 0\n0.3 2.0 0\n0.6 1.5 0\n0.35 0.0 0\n0.4 0.5 0\n0.25 0.0 0\n0.02 1.0 0\n";

class Qui : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(testsupport::set_up("nitrogen"), "");
        load(section("2 1 1 1 2", kTerms));
        ASSERT_EQ(ierr_, 0) << herr_;
        lib::EOSMOD.eos[1] = lib::Code("QUI");
    }
    void TearDown() override {
        lib::store::restore();
        lib::RESETM.no_cache = 1;
    }
    void load(const std::string& text, const std::string& cas = "7727-37-9", int nread = 1) {
        lib::store::override_text(1, text);
        lib::ILINE = 1;
        lib::SETQUI(nread, 1, cas, ierr_, herr_);
    }
    int ierr_ = 0;
    std::string herr_;
};

TEST_F(Qui, DerivativesThermAndCache) {
    const double tau = 1.2, del = 1.5, h = 1e-5;
    auto plain = [&](int i, int j, double t, double d) {
        return lib::PHIQUI(1, i, j, t, d) / (std::pow(t, i) * std::pow(d, j));
    };
    const int orders[][2] = {{1, 0}, {0, 1}, {2, 0}, {1, 1}, {0, 2}, {3, 0},
                             {2, 1}, {1, 2}, {0, 3}, {2, 2}, {3, 3}};
    for (const auto& o : orders) {
        const int i = o[0], j = o[1];
        const double fd =
            i > 0 ? (plain(i - 1, j, tau + h, del) - plain(i - 1, j, tau - h, del)) / (2 * h)
                  : (plain(i, j - 1, tau, del + h) - plain(i, j - 1, tau, del - h)) / (2 * h);
        EXPECT_NEAR(plain(i, j, tau, del), fd, 1e-6 * std::max(1.0, std::fabs(fd))) << i << j;
    }
    // A second order asked at the kept state equals a fresh evaluation.
    const double a = lib::PHIQUI(1, 0, 1, 0.9, 0.7), b = lib::PHIQUI(1, 0, 2, 0.9, 0.7);
    lib::PHIQUI(1, 0, 0, 1.1, 0.3);
    EXPECT_EQ(lib::PHIQUI(1, 0, 2, 0.9, 0.7), b);
    EXPECT_NE(a, 0.0);
    EXPECT_EQ(lib::PHIQUI(1, 0, 0, tau, 1e-10), 0.0);
    EXPECT_EQ(lib::PHIQUI(1, 1, 0, 0.0, del), 0.0);

    // DPDD2 and THERM2's heat capacities against differences of the
    // routines a level below.
    const double x[20] = {1.0}, T = 126.2 / tau, D = del * 11.2, dD = 1e-4 * D, dT = 1e-4 * T;
    double d2 = 0, p1 = 0, p2 = 0;
    lib::DPDD2(T, D, x, d2);
    lib::DPDD(T, D + dD, x, p1);
    lib::DPDD(T, D - dD, x, p2);
    EXPECT_NEAR(d2, (p1 - p2) / (2 * dD), 1e-6 * std::fabs(d2));
    double e1 = 0, e2 = 0, cv = 0, cp = 0;
    lib::ENERGY(T + dT, D, x, e1);
    lib::ENERGY(T - dT, D, x, e2);
    lib::CVCP(T, D, x, cv, cp);
    EXPECT_NEAR(cv, (e1 - e2) / (2 * dT), 1e-6 * cv);
}

TEST_F(Qui, EmptyLogarithmicGroupAndLoaderErrors) {
    // c2 = 0: no logarithmic term; group 4 and 5 terms are then ignored.
    load(section("2 0 1 1 2",
                 "-1.2 1.0 0\n0.3 2.0 0\n0.35 0.0 0\n0.4 0.5 0\n0.25 0.0 0\n"
                 "0.02 1.0 0\n"));
    ASSERT_EQ(ierr_, 0);
    const double tau = 1.1, del = 0.8, s1 = -1.2 * tau + 0.3 * tau * tau, s3 = 0.35;
    EXPECT_NEAR(lib::PHIQUI(1, 0, 0, tau, del), s1 * (del - std::log(1.0 - del * s3) / s3), 1e-14);
    load(section("2 1 1 1 2", kTerms), "7727-37-9", 0);
    EXPECT_EQ(ierr_, 1);
    EXPECT_EQ(herr_, "[SETQUI error] fluid input to SETQUI not found");
    load(section("2 1 1 1 2", kTerms), "   ");
    EXPECT_EQ(ierr_, 1);
    load(section("20 20 10 5 5", kTerms));
    EXPECT_EQ(ierr_, 2);
}

}  // namespace
