// The Peng-Robinson equation and mode: the k_ij estimates, the mode switch
// and its saved codes, pressure and density roots against an independent
// evaluation of the cubic, the vapour pressure the acentric factor implies,
// the density solver's round trip and the derivatives against central
// differences.
#include "library/models/pr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/hmxrecords.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "tests/support/fluid.h"

namespace {

struct Mode {
    Mode() {
        int on = 1;
        lib::PREOS(on);
    }
    ~Mode() {
        int off = 0;
        lib::PREOS(off);
    }
};

TEST(PengRobinson, InteractionEstimates) {
    ASSERT_EQ(testsupport::set_up("water|hexane"), "");
    int ierr = 0;
    std::string herr;
    lib::ESTPR(1, 2, 1, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(lib::CFXPR.k(1, 2)[0], 0.46664, 1e-12);
    EXPECT_EQ(lib::CFXPR.k(2, 1)[0], lib::CFXPR.k(1, 2)[0]);
    ASSERT_EQ(testsupport::set_up("co2|water"), "");
    lib::ESTPR(1, 2, 1, ierr, herr);
    EXPECT_EQ(ierr, -117);
    EXPECT_EQ(lib::CFXPR.k(1, 2)[0], 0.0);
    EXPECT_EQ(herr.substr(0, 59), "[SETUP error -117] Binary interaction parameters are not pr");
    // Methane + octane: both group 1, row 1 of the table.
    ASSERT_EQ(testsupport::set_up("methane|octane"), "");
    lib::ESTPR(1, 2, 1, ierr, herr);
    EXPECT_EQ(ierr, 0);
    const double dw = std::fabs(lib::WCFPR.acf[1] - lib::WCFPR.acf[2]);
    const double r = std::max(lib::CCON.dc[1] / lib::CCON.dc[2], lib::CCON.dc[2] / lib::CCON.dc[1]);
    EXPECT_NEAR(
        lib::CFXPR.k(1, 2)[0],
        1.0 - (double(1.041f) + double(0.11f) * dw + (double(-0.0403f) + double(0.0367f) * dw) * r),
        1e-15);
}

TEST(PengRobinson, ModeSwitchRestoresTheFirstCodes) {
    ASSERT_EQ(testsupport::set_up("nitrogen"), "");
    const lib::Code eos = lib::EOSMOD.eos[1], mix = lib::EOSMOD.mix;
    int flag = -1;
    lib::PREOS(flag);
    EXPECT_EQ(flag, 0);
    flag = 1;
    lib::PREOS(flag);
    flag = 2;
    lib::PREOS(flag);
    flag = -1;
    lib::PREOS(flag);
    EXPECT_EQ(flag, 1);
    EXPECT_TRUE(lib::EOSMOD.eos[1].is("PR "));
    flag = 0;
    lib::PREOS(flag);
    EXPECT_EQ(lib::EOSMOD.eos[1], eos);
    EXPECT_EQ(lib::EOSMOD.mix, mix);
    // Off again with nothing saved changes nothing.
    lib::PREOS(flag);
    EXPECT_EQ(lib::EOSMOD.eos[1], eos);
    // "PRT" is no Peng-Robinson mode.
    lib::EOSMOD.mix = lib::Code("PRT");
    flag = -1;
    lib::PREOS(flag);
    EXPECT_EQ(flag, 0);
    lib::EOSMOD.mix = mix;
}

// A new set-up chooses its models afresh: switching the mode off after it
// restores no code of the fluid set up before.
TEST(PengRobinson, SwitchingOffAfterANewSetUpRestoresNothing) {
    ASSERT_EQ(testsupport::set_up("nitrogen", "BWR"), "");
    int flag = 1;
    lib::PREOS(flag);
    ASSERT_EQ(testsupport::set_up("water"), "");
    flag = 0;
    lib::PREOS(flag);
    EXPECT_TRUE(lib::EOSMOD.eos[1].starts("FE")) << lib::EOSMOD.eos[1].str();
    const double x[20] = {1.0};
    double P = 0;
    lib::PRESS(300.0, 55.0, x, P);
    EXPECT_NEAR(P, -12462.6, 0.1);
    // The same after a choice of models of the caller's own.
    ASSERT_EQ(testsupport::set_up("nitrogen", "BWR"), "");
    flag = 1;
    lib::PREOS(flag);
    ASSERT_EQ(testsupport::set_up("argon", "FEQ"), "");
    flag = 0;
    lib::PREOS(flag);
    EXPECT_TRUE(lib::EOSMOD.eos[1].is("FEQ")) << lib::EOSMOD.eos[1].str();
    flag = -1;
    lib::PREOS(flag);
    EXPECT_EQ(flag, 0);
}

// TPRHO in the mode: the root the phase flag asks for (kph <= 0: the one
// nearer the given density), refined by the iteration below 1 kPa, and an
// error for a liquid root beyond 1e8 mol/L.
TEST(PengRobinson, DensitySolverTakesTheRootsOfTheCubic) {
    ASSERT_EQ(testsupport::set_up("propane"), "");
    Mode mode;
    const double x[20] = {1.0}, T = 250.0;
    double P = 0, dl = 0, dv = 0, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    lib::SATT(T, x, 1, P, dl, dv, xl, xv, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    double d1 = 0, d2 = 0;
    lib::TPRHOPR(T, P, x, d1, d2);
    struct Ask {
        int kph, kguess;
        double start, want;
    };
    const Ask asks[] = {{1, 0, 0.0, d1},      {2, 0, 0.0, d2},      {-1, 0, 0.0, d1},
                        {-2, 0, 0.0, d2},     {0, 1, 0.9 * d1, d1}, {0, 1, 2.0 * d2, d2},
                        {0, 0, 0.6 * d1, d1}, {0, 0, 0.1 * d1, d2}};
    for (const Ask& a : asks) {
        double D = a.start;
        lib::TPRHO(T, P, x, a.kph, a.kguess, D, ierr, herr);
        EXPECT_EQ(ierr, 0) << a.kph << " " << herr;
        EXPECT_EQ(D, a.want) << "kph " << a.kph << " start " << a.start;
    }
    // Below 1 kPa the iteration refines the cubic's liquid root and keeps
    // the pressure to the last digits.
    for (double p : {0.5, 1e-3}) {
        double D = 0.0;
        lib::TPRHO(150.0, p, x, 1, 0, D, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        lib::TPRHOPR(150.0, p, x, d1, d2);
        EXPECT_NEAR(D, d1, 2e-4 * d1);
        double pc = 0, dpdd = 0;
        lib::PRESS(150.0, D, x, pc);
        lib::DPDD(150.0, D, x, dpdd);
        EXPECT_LE(std::fabs(pc - p), 1e-12 * D * dpdd) << p;
    }
    // A translation that puts the liquid root beyond 1e8 mol/L.
    lib::TPRHOPR(T, P, x, d1, d2);
    const double c = lib::CONPR.p[1][0];
    lib::CONPR.p[1][0] = c + 1.0 / d1 - 5e-9;
    double D = 0.0;
    lib::TPRHO(T, P, x, 1, 0, D, ierr, herr);
    lib::CONPR.p[1][0] = c;
    EXPECT_EQ(ierr, 202) << herr;
}

// Every root of the cubic (TPRHO's answer above 1 kPa) gives its pressure back to the digits its
// density carries, over the compositions of a 3-component gas, the liquids that split off it and
// the temperatures and pressures of its two-phase region (the closed form alone gave a liquid of 6
// % methane at 210 K, 1022 kPa a pressure 7e-4 high).
TEST(PengRobinson, DensityRootsGiveTheirPressureBack) {
    ASSERT_EQ(testsupport::set_up("methane|ethane|propane"), "");
    Mode mode;
    int checked = 0, faults = 0;
    for (int a = 0; a <= 10; ++a)
        for (int b = 0; a + b <= 10; ++b) {
            const double x[20] = {0.1 * a, 0.1 * b, 1.0 - 0.1 * (a + b)};
            for (double T = 130.0; T <= 300.0; T += 10.0)
                for (double P : {50.0, 300.0, 1022.0, 3000.0, 8000.0}) {
                    for (int kph : {lib::kLiquid, lib::kVapour}) {
                        double D = 0.0, p = 0.0, dpdd = 0.0;
                        int ierr = 0;
                        std::string herr;
                        lib::TPRHO(T, P, x, kph, lib::kNoStartValue, D, ierr, herr);
                        if (ierr > 0 || !(D > 0.0)) continue;
                        lib::PRESS(T, D, x, p);
                        lib::DPDD(T, D, x, dpdd);
                        ++checked;
                        if (std::fabs(p - P) > 1e-12 * P + 1e-12 * D * std::fabs(dpdd)) {
                            ++faults;
                            ADD_FAILURE() << T << " K " << P << " kPa " << x[0] << "/" << x[1]
                                          << ": " << D << " mol/L gives " << p << " kPa";
                        }
                    }
                }
        }
    EXPECT_GT(checked, 5000);
    EXPECT_EQ(faults, 0);
}

// The cubic in Z solved independently (bisection on each branch) and the
// pressure from the published form of the equation.
TEST(PengRobinson, PressureAndRootsAgreeWithTheCubic) {
    for (const char* fluid : {"propane", "co2", "water"}) {
        ASSERT_EQ(testsupport::set_up(fluid), "");
        Mode mode;
        const double x[20] = {1.0}, R = lib::GCNST.r;
        const double tc = lib::WCFPR.tc[1], pc = lib::WCFPR.pc[1], w = lib::WCFPR.acf[1];
        const double c = lib::CONPR.p[1][0];
        const double T = 0.8 * tc, b = 0.0778 * R * tc / pc;
        const double kap = 0.37464 + 1.54226 * w - 0.26992 * w * w;
        const double al = std::pow(1.0 + kap * (1.0 - std::sqrt(T / tc)), 2);
        const double a = 0.45724 * R * R * tc * tc / pc * al;
        auto pressure = [&](double D) {
            const double v = 1.0 / D;
            return R * T / (v + c - b) - a / ((v + c) * (v + c) + 2.0 * b * (v + c) - b * b);
        };
        for (double D : {0.1, 1.0, 0.9 / b}) {
            double P = 0;
            lib::PRESS(T, D, x, P);
            EXPECT_NEAR(P, pressure(D), 1e-10 * std::fabs(pressure(D)) + 1e-9) << fluid << D;
        }
        // At a pressure inside the three-root band: both outer roots.
        double psat = 0, dl = 0, dv = 0, xl[20], xv[20];
        int ierr = 0;
        std::string herr;
        lib::SATT(T, x, 1, psat, dl, dv, xl, xv, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        double d1 = 0, d2 = 0;
        lib::TPRHOPR(T, psat, x, d1, d2);
        const double A = a * psat / (R * T * R * T), B = b * psat / (R * T);
        auto cubic = [&](double Z) {
            return Z * Z * Z + (B - 1.0) * Z * Z + (A - 3.0 * B * B - 2.0 * B) * Z +
                   (B + B * B - A) * B;
        };
        auto bisect = [&](double lo, double hi) {
            for (int k = 0; k < 200; ++k) {
                const double m = 0.5 * (lo + hi);
                ((cubic(lo) > 0.0) == (cubic(m) > 0.0) ? lo : hi) = m;
            }
            return 0.5 * (lo + hi);
        };
        // The cubic's turning points separate its three roots.
        const double q = A - 3.0 * B * B - 2.0 * B;
        const double disc = std::sqrt((B - 1.0) * (B - 1.0) - 3.0 * q);
        const double zmax = (1.0 - B - disc) / 3.0, zmin = (1.0 - B + disc) / 3.0;
        const double zl = bisect(B, zmax), zv = bisect(zmin, 1.5);
        EXPECT_NEAR(d1, 1.0 / (zl * R * T / psat - c), 1e-10 * d1) << fluid;
        EXPECT_NEAR(d2, 1.0 / (zv * R * T / psat - c), 1e-10 * d2) << fluid;
        EXPECT_NEAR(dl, d1, 1e-8 * d1);
        EXPECT_NEAR(dv, d2, 1e-8 * d2);
    }
}

// log10(Psat/Pc) = -1 - omega at 0.7 Tc within 3 %; TPRHO round-trips PRESS.
TEST(PengRobinson, VapourPressureAndDensitySolver) {
    for (const char* fluid : {"propane", "nitrogen", "r134a", "octane"}) {
        ASSERT_EQ(testsupport::set_up(fluid), "");
        Mode mode;
        const double x[20] = {1.0};
        const double tc = lib::WCFPR.tc[1], pc = lib::WCFPR.pc[1], w = lib::WCFPR.acf[1];
        double P = 0, dl = 0, dv = 0, xl[20], xv[20];
        int ierr = 0;
        std::string herr;
        lib::SATT(0.7 * tc, x, 1, P, dl, dv, xl, xv, ierr, herr);
        ASSERT_EQ(ierr, 0) << fluid << herr;
        EXPECT_NEAR(P, pc * std::pow(10.0, -1.0 - w), 0.03 * P) << fluid;
        for (double T : {0.6 * tc, 0.9 * tc, 1.5 * tc})
            for (double D : {0.05 * dl, 1.05 * dl}) {
                double p = 0, d = 0;
                lib::PRESS(T, D, x, p);
                if (!(p > 0.0)) continue;
                lib::TPRHO(T, p, x, D > dl * 0.5 ? 1 : 2, 0, d, ierr, herr);
                EXPECT_EQ(ierr, 0) << herr;
                EXPECT_NEAR(d, D, 1e-9 * D) << fluid << " " << T << " " << D;
            }
    }
}

// Switching the equations in and out never reuses a saturation state of
// the other equation (the saturation expansions are built per equation).
TEST(PengRobinson, SaturationFollowsTheModeSwitch) {
    const double x[20] = {1.0}, T = 388.0;
    auto psat = [&] {
        double P = 0, dl = 0, dv = 0, xl[20], xv[20];
        int ierr = 0;
        std::string herr;
        lib::SATT(T, x, 1, P, dl, dv, xl, xv, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        return P;
    };
    ASSERT_EQ(testsupport::set_up("water"), "");
    double pr_alone = 0;
    {
        Mode mode;
        pr_alone = psat();
    }
    ASSERT_EQ(testsupport::set_up("nitrogen"), "");
    ASSERT_EQ(testsupport::set_up("water"), "");
    const double feq = psat();
    EXPECT_GT(std::fabs(pr_alone / feq - 1.0), 1e-3);  // the premise: they differ
    {
        Mode mode;
        EXPECT_EQ(psat(), pr_alone);
    }
    EXPECT_EQ(psat(), feq);
}

// The extremes of the boundary belong to the equation: the largest vapour
// enthalpy is found again after each switch.
TEST(PengRobinson, BoundaryExtremesFollowTheModeSwitch) {
    ASSERT_EQ(testsupport::set_up("propane"), "");
    const double x[20] = {1.0};
    auto hmax = [&] {
        double v = 0, t = 0;
        int ierr = 0;
        std::string herr;
        lib::EHMAXX(x, 0, v, t, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        return v;
    };
    const double own = hmax();
    double pr = 0;
    {
        Mode mode;
        pr = hmax();
    }
    EXPECT_GT(std::fabs(pr - own), 10.0);  // J/mol: the equations differ
    EXPECT_EQ(hmax(), own);
}

TEST(PengRobinson, DerivativesAgreeWithCentralDifferences) {
    ASSERT_EQ(testsupport::set_up("methane|ethane"), "");
    int flag = 1;
    lib::PREOS(flag);
    const double x[20] = {0.6, 0.4};
    const double tau = 1.3, del = 1.7, h = 1e-5;
    auto plain = [&](int i, int j, double t, double d) {
        return lib::PHIX(i, j, t, d, x) / (std::pow(t, i) * std::pow(d, j));
    };
    const int orders[][2] = {{1, 0}, {0, 1}, {2, 0}, {1, 1}, {0, 2},
                             {3, 0}, {2, 1}, {1, 2}, {0, 3}, {2, 2}};
    for (const auto& o : orders) {
        const int i = o[0], j = o[1];
        const double fd =
            i > 0 ? (plain(i - 1, j, tau + h, del) - plain(i - 1, j, tau - h, del)) / (2 * h)
                  : (plain(i, j - 1, tau, del + h) - plain(i, j - 1, tau, del - h)) / (2 * h);
        EXPECT_NEAR(plain(i, j, tau, del), fd, 1e-6 * std::max(1.0, std::fabs(fd))) << i << j;
    }
    flag = 0;
    lib::PREOS(flag);
}

// The equation chosen with SETMOD for a text without a "PRT" section, and a
// "PRT" section's own translation, which SETPRCO keeps.
TEST(PengRobinson, ChosenWithSetmodAndLoadedFromASection) {
    ASSERT_EQ(testsupport::set_up("propane", "PR", "PR"), "");
    EXPECT_TRUE(lib::EOSMOD.eos[1].is("PR "));
    EXPECT_EQ(lib::WCFPR.tc[1], lib::CCON.tc[1]);
    const double c = lib::CONPR.p[1][0];
    EXPECT_NE(c, 0.0);  // the correlation's translation
    double d1 = 0, d2 = 0, P = 0;
    const double x[20] = {1.0};
    lib::TPRHOPR(300.0, 1000.0, x, d1, d2);
    lib::PRESS(300.0, d1, x, P);
    EXPECT_NEAR(P, 1000.0, 1e-8);

    lib::store::override_text(1,
                              "<<synthetic>>\n100.0\n500.0\n10000.0\n20.0\nCPP\n39.948\n"
                              "-0.00219\n150.687\n4863.0\n13.4074\n8.31451\n1\n-0.0034\n");
    lib::ILINE = 1;
    int ierr = 0;
    std::string herr;
    lib::SETPR(1, 1, ierr, herr);
    lib::store::restore();
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(lib::CONPR.p[1][0], -0.0034);
    EXPECT_EQ(lib::CONPR.given[1], 1);
    EXPECT_EQ(lib::WCFPR.tc[1], 150.687);
    EXPECT_EQ(lib::EOSLIM.pmax[1], 10000.0);
    lib::SETPRCO(1);
    EXPECT_EQ(lib::CONPR.p[1][0], -0.0034);
    lib::RESETM.no_cache = 1;  // the next set-up reloads the texts
}

}  // namespace
