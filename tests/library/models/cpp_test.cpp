// Ideal-gas heat-capacity model: cp0 against its published form, the two
// integrals against quadrature, the Helmholtz derivatives against differences,
// large hyperbolic arguments, the cache and the term limit.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/models/cpp.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace {

constexpr int kText = 1;
constexpr int kSlot = 4;

std::string body(const std::string& counts, const std::string& terms) {
    return "<<synthetic>>\n"
           "100.0   !lower temperature limit\n"
           "3000.0  !upper temperature limit\n"
           "0.0     !upper pressure limit\n"
           "0.0     !maximum density\n"
           "1.0  8.314472   !reducing parameters for T, Cp0\n" +
           counts + "\n" + terms;
}

// Power, Planck-Einstein, cosh and sinh terms as the texts write them.
const std::string kCounts = "  2  2  1  1  0  0  0  !Nterms";
const std::string kTerms =
    "4.0  0.0\n"
    "1.5e-3  1.0\n"
    "2.1  1800.0\n"
    "0.9  4200.0\n"
    "3.0e6  -2.0  900.0  -1.0  -2.0\n"
    "1.0e6  -2.0  400.0  -1.0  -2.0\n";

double cp_ref(double T) {
    auto pe = [T](double c, double th) {
        const double u = th / T;
        return c * u * u * std::exp(u) / std::pow(std::exp(u) - 1.0, 2);
    };
    const double R = 8.314472;
    return R * (4.0 + 1.5e-3 * T + pe(2.1, 1800.0) + pe(0.9, 4200.0) +
                3.0e6 / (T * T * std::pow(std::cosh(900.0 / T), 2)) +
                1.0e6 / (T * T * std::pow(std::sinh(400.0 / T), 2)));
}

// Simpson integral of f over [a, b].
template <class F>
double simpson(F f, double a, double b, int n = 4000) {
    const double h = (b - a) / n;
    double s = f(a) + f(b);
    for (int i = 1; i < n; ++i) s += f(a + i * h) * (i % 2 ? 4 : 2);
    return s * h / 3;
}

class CppTest : public ::testing::Test {
protected:
    void SetUp() override {
        lib::VERS[kSlot] = 10.0;
        lib::CREF.tref[kSlot] = 300.0;
        lib::CREF.dref[kSlot] = 2.0;
        lib::GCNST.r = 8.314472;
    }
    void TearDown() override {
        lib::store::restore();
        lib::CREF.tref[kSlot] = 0.0;
        lib::CREF.dref[kSlot] = 0.0;
    }
    void load(const std::string& text) {
        lib::store::override_text(kText, text);
        lib::ILINE = 1;
        lib::SETCPP(kText, kSlot, "", ierr, herr);
    }
    int ierr = -1;
    std::string herr;
};

TEST_F(CppTest, HeatCapacityAndIntegrals) {
    load(body(kCounts, kTerms));
    ASSERT_EQ(ierr, 0) << herr;
    for (double T : {150.0, 300.0, 777.0, 2500.0}) {
        EXPECT_NEAR(lib::CP0CPP(kSlot, T), cp_ref(T), 1e-12 * cp_ref(T)) << T;
        EXPECT_NEAR(lib::CPICPP(kSlot, T), simpson(cp_ref, 300.0, T),
                    1e-9 * cp_ref(T) * std::fabs(T - 300) + 1e-9);
        EXPECT_NEAR(lib::CPTCPP(kSlot, T),
                    simpson([](double t) { return cp_ref(t) / t; }, 300.0, T),
                    1e-9 * std::fabs(T - 300) / 10 + 1e-9);
    }
}

TEST_F(CppTest, HelmholtzDerivatives) {
    load(body(kCounts, kTerms));
    const double R = 8.314472, T = 420.0, D = 3.0;
    const double H = lib::CPICPP(kSlot, T), S = lib::CPTCPP(kSlot, T), cp = cp_ref(T);
    EXPECT_NEAR(lib::PH0CPP(kSlot, 0, 0, T, D),
                H / (R * T) - S / R + std::log(D * T / (2.0 * 300.0)) - 1, 1e-13);
    EXPECT_NEAR(lib::PH0CPP(kSlot, 1, 0, T, D), H / (R * T) - 1, 1e-13);
    EXPECT_NEAR(lib::PH0CPP(kSlot, 2, 0, T, D), 1 - cp / R, 1e-12);
    // phi0(3,0) = tau d phi0(2,0)/dtau - 2 phi0(2,0), tau d/dtau = -T d/dT.
    const double h = 1e-3;
    auto f20 = [&](double t) { return lib::PH0CPP(kSlot, 2, 0, t, D); };
    const double dT =
        (-f20(T + 2 * h) + 8 * f20(T + h) - 8 * f20(T - h) + f20(T - 2 * h)) / (12 * h);
    EXPECT_NEAR(lib::PH0CPP(kSlot, 3, 0, T, D), -T * dT - 2 * f20(T), 1e-8);
    EXPECT_EQ(lib::PH0CPP(kSlot, 0, 1, T, D), 1.0);
    EXPECT_EQ(lib::PH0CPP(kSlot, 0, 2, T, D), -1.0);
    EXPECT_EQ(lib::PH0CPP(kSlot, 0, 3, T, D), 2.0);
    EXPECT_EQ(lib::PH0CPP(kSlot, 1, 1, T, D), 0.0);
    EXPECT_EQ(lib::PH0CPP(kSlot, 4, 0, T, D), 0.0);
    EXPECT_EQ(lib::PH0CPP(kSlot, 0, 0, T, 0.0), 0.0);
    EXPECT_EQ(lib::PH0CPP(kSlot, 0, 0, 0.0, D), 0.0);
}

TEST_F(CppTest, LargeArgumentsStayExactAndFinite) {
    // cosh argument 900/0.9 = 1000 and sinh argument 400/0.4 > 700: the terms
    // vanish (cosh^-2 -> 0), they never replace cp0 by a fixed number.
    load(body(kCounts, kTerms));
    const double T = 0.4;
    const double cp = lib::CP0CPP(kSlot, T);
    EXPECT_NEAR(cp, 8.314472 * (4.0 + 1.5e-3 * T), 1e-12);
    EXPECT_TRUE(std::isfinite(lib::CPTCPP(kSlot, T)));
    EXPECT_TRUE(std::isfinite(lib::CPICPP(kSlot, T)));
    for (int i = 0; i <= 3; ++i) EXPECT_TRUE(std::isfinite(lib::PH0CPP(kSlot, i, 0, T, 1.0))) << i;
    // A Planck-Einstein term at theta/T = 200 exactly contributes nothing to cp0.
    load(body("  0  1  0  0  0  0  0", "1.0  2000.0\n"));
    EXPECT_EQ(lib::CP0CPP(kSlot, 10.0), 0.0);
    EXPECT_GT(lib::CP0CPP(kSlot, 10.001), 0.0);
}

// The cache holds for its own temperature only: a result never depends on
// the temperature of the call before it.
TEST_F(CppTest, CacheHoldsForItsOwnTemperatureOnly) {
    load(body(kCounts, kTerms));
    const double T = 350.0;
    const double v = lib::PH0CPP(kSlot, 2, 0, T, 1.0);
    lib::WCPCPP.c[kSlot][0][0] = 5.0;  // visible only after a recomputation
    EXPECT_EQ(lib::PH0CPP(kSlot, 2, 0, T, 1.0), v);
    EXPECT_NE(lib::PH0CPP(kSlot, 2, 0, std::nextafter(T, 400.0), 1.0), v);
}

TEST_F(CppTest, OldCountLineAndPowerTermsOfExponentMinusOneAndZero) {
    lib::VERS[kSlot] = 6.0;
    load(body("  2  0", "2.0  -1.0\n3.0  0.0\n"));
    ASSERT_EQ(ierr, 0) << herr;
    const double T = 500.0;
    // t = -1 integrates to c Tr ln(T/Tref) in the enthalpy, t = 0 to c ln(T/Tref) in the entropy.
    EXPECT_NEAR(lib::CPICPP(kSlot, T), 8.314472 * (2.0 * std::log(T / 300.0) + 3.0 * (T - 300.0)),
                1e-9);
    EXPECT_NEAR(lib::CPTCPP(kSlot, T),
                8.314472 * (2.0 * (1.0 / 300.0 - 1.0 / T) + 3.0 * std::log(T / 300.0)), 1e-12);
}

TEST_F(CppTest, FailuresAreReported) {
    lib::SETCPP(0, kSlot, "", ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "[SETCPP error] Fluid input not found");
    std::string many;
    for (int i = 0; i < 21; ++i) many += "1.0 0.0\n";
    load(body("  21  0  0  0  0  0  0", many));
    EXPECT_EQ(ierr, 2);
    EXPECT_EQ(lib::CP0CPP(kSlot, 300.0), 0.0);
    load(body(kCounts, "4.0 0.0\n"));
    EXPECT_EQ(ierr, 3);
}

}  // namespace
