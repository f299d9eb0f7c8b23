// The extremes of the saturation boundary and the roots they separate: the
// vapour-enthalpy maximum of very dry fluids (which peak within 1 % of Tc)
// and of dry air, a mixture's values at the lower limit from its first dew
// point, and the melting-line roots of SATS, counted against an independent
// scan of the melting line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/phase/records.h"
#include "library/phase/sath.h"
#include "library/setup/records.h"
#include "tests/support/fluid.h"

namespace {

struct Fluid {
    const char* names;
    std::vector<double> x;
};

double enthalpy_of_dew(double T, const double x[20], bool& ok) {
    double P = 0, Dl = 0, Dv = 0, xl[20], xv[20], h = 0;
    int ierr = 0;
    std::string herr;
    lib::SATT(T, x, lib::kDewPoint, P, Dl, Dv, xl, xv, ierr, herr);
    // (A point refused because a component would freeze out keeps its
    // values: the line SATH follows reaches down to the lowest temperature
    // of the equations.)
    constexpr int kFrozenOut = 250;
    ok = ierr <= 0 || ierr == kFrozenOut;
    if (ok) lib::ENTHAL(T, Dv, x, h);
    return h;
}

class VapourMaximum : public ::testing::TestWithParam<Fluid> {};

// EHMAXX finds a maximum (the dew-point enthalpy is lower 0.5 K on either
// side), and an enthalpy just below it has its two vapour roots about it.
TEST_P(VapourMaximum, IsFoundAndSeparatesTheVapourRoots) {
    const Fluid& f = GetParam();
    ASSERT_EQ(testsupport::set_up(f.names), "");
    double x[20] = {};
    std::copy(f.x.begin(), f.x.end(), x);
    double hmax = 0, tpeak = 0, Tc = 0, Pc = 0, Dc = 0;
    int ierr = 0;
    std::string herr;
    lib::CRITP(x, Tc, Pc, Dc, ierr, herr);
    lib::EHMAXX(x, 0, hmax, tpeak, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_LT(tpeak, Tc);
    bool ok = false;
    for (double dt : {-0.5, 0.5}) {
        const double h = enthalpy_of_dew(tpeak + dt, x, ok);
        ASSERT_TRUE(ok) << tpeak + dt;
        EXPECT_LT(h, hmax) << f.names << " at " << tpeak + dt;
    }
    double emax = 0, tepeak = 0;
    lib::EHMAXX(x, 1, emax, tepeak, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_LT(emax, hmax);
    int n = 0, k1 = 0, k2 = 0;
    double T1, P1, D1, T2, P2, D2;
    lib::SATH(hmax - 1.0, x, 0, n, k1, T1, P1, D1, k2, T2, P2, D2, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    ASSERT_EQ(n, 2) << f.names;
    EXPECT_EQ(k1, 2);
    EXPECT_EQ(k2, 2);
    EXPECT_GT(T1, tpeak);
    EXPECT_LT(T2, tpeak);
    for (double T : {T1, T2}) EXPECT_NEAR(enthalpy_of_dew(T, x, ok), hmax - 1.0, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    DryFluidsAndAir, VapourMaximum,
    ::testing::Values(Fluid{"mm", {1.0}}, Fluid{"toluene", {1.0}}, Fluid{"d6", {1.0}},
                      Fluid{"oxygen|nitrogen|argon|co2", {0.20942, 0.78086, 0.00934, 0.00038}}));

// The vapour values at the lower limit of a mixture come from its first dew
// point from the lower limit up in 5 K steps (nitrogen + co2 has none below
// Tmin + 20 K), and SATH gives that dew point back.
TEST(SatH, MixtureValuesAtTheLowerLimitFromTheFirstDewPoint) {
    ASSERT_EQ(testsupport::set_up("nitrogen|co2"), "");
    const double x[20] = {0.9, 0.1};
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    lib::LIMITS("EOS", x, tmin, tmax, dmax, pmax);
    double T = tmin;
    bool ok = false;
    double h = enthalpy_of_dew(T, x, ok);
    while (!ok && T < tmin + 100.0) h = enthalpy_of_dew(T += 5.0, x, ok);
    ASSERT_TRUE(ok);
    EXPECT_GT(T, tmin);  // the premise
    int n = 0, k1 = 0, k2 = 0, ierr = 0;
    double T1, P1, D1, T2, P2, D2;
    std::string herr;
    lib::SATH(h, x, 2, n, k1, T1, P1, D1, k2, T2, P2, D2, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::FXPNT.x[18], T);
    bool found = false;
    for (double t : {T1, T2}) found = found || std::fabs(t - T) < 1e-6;
    EXPECT_TRUE(found) << n << " roots " << T1 << " " << T2 << " for " << T;
}

// SATS of mm's saturated vapour at 0.8 Tc: the entropy rises to a maximum
// within 1 % of Tc, so the vapour root lies below the maximum.
TEST(SatS, VapourOfADryFluid) {
    ASSERT_EQ(testsupport::set_up("mm"), "");
    const double x[20] = {1.0};
    double Tc = 0, Pc = 0, Dc = 0, P = 0, Dl = 0, Dv = 0, xl[20], xv[20], s = 0;
    int ierr = 0;
    std::string herr;
    lib::CRITP(x, Tc, Pc, Dc, ierr, herr);
    lib::SATT(0.8 * Tc, x, lib::kDewPoint, P, Dl, Dv, xl, xv, ierr, herr);
    lib::ENTRO(0.8 * Tc, Dv, x, s);
    int n = 0, k[3] = {};
    double T[3] = {}, Pr[3], Dr[3];
    lib::SATS(s, x, 2, n, k[0], T[0], Pr[0], Dr[0], k[1], T[1], Pr[1], Dr[1], k[2], T[2], Pr[2],
              Dr[2], ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    bool found = false;
    for (int i = 0; i < n; ++i) found = found || (k[i] == 2 && std::fabs(T[i] - 0.8 * Tc) < 1e-7);
    EXPECT_TRUE(found) << n << " roots";
}

struct MeltCase {
    const char* fluid;
    std::vector<double> s;  // entropies asked for, J/(mol K)
};

class MeltingRoots : public ::testing::TestWithParam<MeltCase> {};

// Every melting root of SATS (kph 3) is a state of the melting line with
// that entropy, and there are as many as an independent scan of the line
// finds crossings (carbon dioxide turns at a minimum near 245 K, water at a
// maximum near 600 K).  A fluid without a melting line has no root (error 1);
// a root beyond the equation's range carries the range check's message.
TEST_P(MeltingRoots, AreTheCrossingsOfTheMeltingLine) {
    const MeltCase& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.fluid), "");
    const double x[20] = {1.0};
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    lib::LIMITS("EOS", x, tmin, tmax, dmax, pmax);
    tmin = std::max(tmin, lib::CCON.ttp[1]);
    auto melting_s = [&](double T, bool& ok) {
        double P = 0, Dl = 0, Dv = 0, xl[20], xv[20], s = 0;
        int ierr = 0;
        std::string herr;
        lib::SATT(T, x, 3, P, Dl, Dv, xl, xv, ierr, herr);
        ok = ierr <= 0 && P > 0.0;
        if (ok) lib::ENTRO(T, Dl, x, s);
        return s;
    };
    std::vector<double> line;  // the entropy on a fine grid up to the line's end
    for (int i = 0; i <= 600; ++i) {
        bool ok = false;
        const double s = melting_s(tmin + (tmax - tmin) * i / 600.0, ok);
        if (!ok) break;
        line.push_back(s);
    }
    for (double s : c.s) {
        int crossings = 0;
        for (std::size_t i = 1; i < line.size(); ++i)
            crossings += (line[i - 1] - s) * (line[i] - s) < 0.0 ? 1 : 0;
        int n = 0, k[3] = {}, ierr = 0;
        double T[3] = {}, P[3], D[3];
        std::string herr;
        lib::SATS(s, x, 3, n, k[0], T[0], P[0], D[0], k[1], T[1], P[1], D[1], k[2], T[2], P[2],
                  D[2], ierr, herr);
        EXPECT_EQ(n, crossings) << c.fluid << " s = " << s << ": " << herr;
        if (line.empty()) {
            EXPECT_EQ(ierr, 1) << herr;
            continue;
        }
        for (int i = 0; i < n; ++i) {
            bool ok = false;
            EXPECT_EQ(k[i], 3);
            EXPECT_NEAR(melting_s(T[i], ok), s, 1e-8) << c.fluid << " " << T[i];
        }
        // A melting state above the equation's pressure limit: the range
        // check's warning (or, far above it, its error).
        bool beyond = false;
        for (int i = 0; i < n; ++i) beyond = beyond || P[i] > pmax;
        if (beyond) {
            EXPECT_NE(ierr, 0) << c.fluid << " s = " << s;
            EXPECT_NE(herr.find("pressure"), std::string::npos) << herr;
        } else if (n > 0) {
            EXPECT_EQ(ierr, 0) << herr;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fluids, MeltingRoots,
                         ::testing::Values(MeltCase{"water", {-2.0, 1.0, 10.0, 23.2}},
                                           MeltCase{"co2", {21.9, 22.5, 24.0}},
                                           MeltCase{"propane", {-60.0, -50.0}},
                                           MeltCase{"mm", {0.0}}, MeltCase{"toluene", {0.0}},
                                           MeltCase{"r245fa", {100.0}}),
                         [](const ::testing::TestParamInfo<MeltCase>& p) {
                             return std::string(p.param.fluid);
                         });

TEST(SatS, BelowTheMeltingSideMinimum) {
    ASSERT_EQ(testsupport::set_up("co2"), "");
    const double x[20] = {1.0};
    double s1, T1, s2, T2, s3, T3;
    int ierr = 0;
    std::string herr;
    lib::SMAXX(x, s1, T1, s2, T2, s3, T3, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_GT(T3, 240.0);
    EXPECT_LT(T3, 250.0);
    int n = 0, k[3] = {};
    double T[3], P[3], D[3];
    lib::SATS(s3 - 0.01, x, 3, n, k[0], T[0], P[0], D[0], k[1], T[1], P[1], D[1], k[2], T[2], P[2],
              D[2], ierr, herr);
    EXPECT_EQ(ierr, 2);
    EXPECT_EQ(herr.substr(0, 46), "[SATS error  2] entropy below minimum entropy;");
}

}  // namespace
