// Ideal-gas Helmholtz model: the value against its published form, the
// tau-derivatives against differences, large hyperbolic arguments, the
// cache, the "PHG" factor and the limits of the section.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/models/ph0.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace {

constexpr int kText = 1;
constexpr int kSlot = 5;

std::string body(const std::string& counts, const std::string& terms) {
    return "<<synthetic>>\n20.0\n2000.0\n0.0\n0.0\n" + counts + "\n" + terms;
}

// One term of every kind: a ln(tau^t), a tau^t (two), a ln(1 - e^(t tau)),
// a ln cosh(t tau), a ln sinh(t tau).
const std::string kCounts = "1 2 1 1 1 0 0 0 !Nterms";
const std::string kTerms =
    "3.0  1.0\n"
    "-8.3  0.0\n"
    "6.6  1.0\n"
    "1.2  -2.5\n"
    "-0.8  1.7\n"
    "0.5  0.9\n";

double alpha0(double tau, double del) {
    return std::log(del) + 3.0 * std::log(tau) - 8.3 + 6.6 * tau +
           1.2 * std::log(1 - std::exp(-2.5 * tau)) - 0.8 * std::log(std::cosh(1.7 * tau)) +
           0.5 * std::log(std::sinh(0.9 * tau));
}

class Ph0Test : public ::testing::Test {
protected:
    void SetUp() override {
        lib::VERS[kSlot] = 10.0;
        lib::ZRED.tred[kSlot] = 400.0;
        lib::ZRED.dred[kSlot] = 5.0;
        lib::EOSMOD.cp0[kSlot] = lib::Code("PH0");
    }
    void TearDown() override { lib::store::restore(); }
    void load(const std::string& text) {
        lib::store::override_text(kText, text);
        lib::ILINE = 1;
        lib::SETPH0(kText, kSlot, "", ierr, herr);
    }
    double phi0(int i, int j, double T, double D) { return lib::PH0PH0(kSlot, i, j, T, D); }
    int ierr = -1;
    std::string herr;
};

TEST_F(Ph0Test, ValueAndTauDerivatives) {
    load(body(kCounts, kTerms));
    ASSERT_EQ(ierr, 0) << herr;
    for (double T : {90.0, 400.0, 1300.0}) {
        const double D = 2.0, tau = 400.0 / T, del = D / 5.0;
        EXPECT_NEAR(phi0(0, 0, T, D), alpha0(tau, del), 1e-13) << T;
        // tau^k d^k/dtau^k by differences of the published form (and of the
        // routine's own lower order for k = 3).
        const double h = 1e-4;
        auto a = [&](double t) { return alpha0(t, del); };
        const double d1 =
            (-a(tau + 2 * h) + 8 * a(tau + h) - 8 * a(tau - h) + a(tau - 2 * h)) / (12 * h);
        const double g = 2e-3;
        const double d2 =
            (-a(tau + 2 * g) + 16 * a(tau + g) - 30 * a(tau) + 16 * a(tau - g) - a(tau - 2 * g)) /
            (12 * g * g);
        EXPECT_NEAR(phi0(1, 0, T, D), tau * d1, 1e-9) << T;
        EXPECT_NEAR(phi0(2, 0, T, D), tau * tau * d2, 1e-6) << T;
        auto f2 = [&](double t) { return lib::PH0PH0(kSlot, 2, 0, 400.0 / t, D) / (t * t); };
        const double d3 =
            (-f2(tau + 2 * h) + 8 * f2(tau + h) - 8 * f2(tau - h) + f2(tau - 2 * h)) / (12 * h);
        EXPECT_NEAR(phi0(3, 0, T, D), tau * tau * tau * d3, 1e-8) << T;
    }
    EXPECT_EQ(phi0(0, 1, 300.0, 1.0), 1.0);
    EXPECT_EQ(phi0(0, 2, 300.0, 1.0), -1.0);
    EXPECT_EQ(phi0(0, 3, 300.0, 1.0), 2.0);
    EXPECT_EQ(phi0(2, 1, 300.0, 1.0), 0.0);
    EXPECT_EQ(phi0(4, 0, 300.0, 1.0), 0.0);
    EXPECT_EQ(phi0(1, 0, 0.0, 1.0), 0.0);
}

TEST_F(Ph0Test, LargeHyperbolicArgumentsAreExact) {
    // cosh and sinh arguments of 850 and 1200: ln cosh y = y - ln 2 (to
    // rounding), tanh = coth = 1, sech^2 and csch^2 vanish; nothing overflows.
    load(body("0 0 0 1 1 0 0 0", "2.0  0.85\n-1.5  1.2\n"));
    const double T = 0.4, tau = 1000.0;
    EXPECT_NEAR(phi0(0, 0, T, 5.0), 2.0 * (850.0 - std::log(2.0)) - 1.5 * (1200.0 - std::log(2.0)),
                1e-9);
    EXPECT_NEAR(phi0(1, 0, T, 5.0), 2.0 * 850.0 - 1.5 * 1200.0, 1e-9);
    EXPECT_EQ(phi0(2, 0, T, 5.0), 0.0);
    EXPECT_EQ(phi0(3, 0, T, 5.0), 0.0);
    (void)tau;
}

TEST_F(Ph0Test, CacheAndFactor) {
    load(body(kCounts, kTerms));
    const double v = phi0(0, 0, 300.0, 2.0);
    lib::WCFPH0.c[kSlot][1][0] = 0.0;  // visible only after a recomputation
    // The cache holds for its own state only; in a thin gas 5e-11 mol/L is
    // another state entirely (ln D in the value).
    EXPECT_EQ(phi0(0, 0, 300.0, 2.0), v);
    EXPECT_NE(phi0(0, 0, 300.0, std::nextafter(2.0, 3.0)), v);
    load(body(kCounts, kTerms));
    const double thin = phi0(0, 0, 300.0, 1e-11);
    EXPECT_NEAR(phi0(0, 0, 300.0, 5e-11) - thin, std::log(5.0), 1e-12);
    load(body(kCounts, kTerms));
    lib::EOSMOD.cp0[kSlot] = lib::Code("PHG");
    EXPECT_DOUBLE_EQ(phi0(0, 2, 300.0, 1.0), -1.0000045703443345);
    const double plain = [&] {
        lib::EOSMOD.cp0[kSlot] = lib::Code("PH0");
        return phi0(2, 0, 333.0, 1.0);
    }();
    lib::EOSMOD.cp0[kSlot] = lib::Code("PHG");
    EXPECT_DOUBLE_EQ(phi0(2, 0, 333.0, 1.0), plain * 1.0000045703443345);
}

TEST_F(Ph0Test, OldCountLineAndFailures) {
    lib::VERS[kSlot] = 7.5;
    load(body("1 2 0", "2.5 1.0\n-1.0 0.0\n2.0 1.0\n"));
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(phi0(0, 0, 200.0, 5.0), 2.5 * std::log(2.0) - 1.0 + 4.0, 1e-14);
    lib::SETPH0(0, kSlot, "", ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "[SETPH0 error] Input fluid (block data) not found");
    lib::VERS[kSlot] = 10.0;
    std::string many;
    for (int i = 0; i < 11; ++i) many += "1.0 1.0\n";
    load(body("1 10 0 0 0 0 0 0", many));
    EXPECT_EQ(ierr, 2);
}

}  // namespace
