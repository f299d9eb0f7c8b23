// Ideal-gas dispatch: model choice by code, mole-fraction sums and the ideal
// mixing term.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/models/cpp.h"
#include "library/models/critp.h"
#include "library/models/idealgas.h"
#include "library/models/ph0.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace {

constexpr int kText = 1;

class IdealGasTest : public ::testing::Test {
protected:
    void SetUp() override {
        int ierr;
        std::string herr;
        lib::NCOMP.nc = 2;
        lib::NCOMP.ic = 0;
        lib::GCNST.r = 8.314472;
        lib::EOSMOD.mix = lib::Code("HMX");  // the mixture's own gas constant
        lib::FLAGS2.gerg04 = 0;
        lib::VERS[1] = lib::VERS[2] = 10.0;
        lib::CREF.tref[1] = 300.0;
        lib::CREF.dref[1] = 1.0;
        // Slot 1: constant cp0 = 3.5 R; slot 2: alpha0 = ln delta + 2.5 ln tau.
        lib::store::override_text(kText, "<<a>>\n1\n2\n3\n4\n1 8.314472\n1 0 0 0 0 0 0\n3.5 0.0\n");
        lib::ILINE = 1;
        lib::SETCPP(kText, 1, "", ierr, herr);
        lib::store::override_text(kText, "<<b>>\n1\n2\n3\n4\n1 0 0 0 0 0 0 0\n2.5 1.0\n");
        lib::ILINE = 1;
        lib::SETPH0(kText, 2, "", ierr, herr);
        lib::store::restore();
        lib::EOSMOD.cp0[1] = lib::Code("CPP");
        lib::EOSMOD.cp0[2] = lib::Code("PH0");
        lib::ZRED.tred[2] = 150.0;
        lib::ZRED.dred[2] = 10.0;
        for (int i : {1, 2}) {
            lib::EOSMOD.eos[i] = lib::Code("XXX");  // no equation: the text's critical point
            lib::CCON.rgas[i] = 8.314472;
            lib::CCON.tc[i] = lib::ZRED.tred[i] = 150.0;
            lib::CCON.dc[i] = lib::ZRED.dred[i] = 10.0;
        }
    }
    void TearDown() override {
        lib::NCOMP.nc = 0;
        lib::CREF.tref[1] = lib::CREF.dref[1] = 0.0;
    }
};

TEST_F(IdealGasTest, DispatchByCode) {
    const double R = 8.314472;
    EXPECT_NEAR(lib::CP0K(1, 400.0), 3.5 * R, 1e-12);
    EXPECT_NEAR(lib::CP0K(2, 400.0), 3.5 * R, 1e-12);  // R (1 - phi0(2,0)) with phi0(2,0) = -2.5
    EXPECT_NEAR(lib::PHI0K(2, 1, 0, 400.0, 1.0), 2.5, 1e-14);
    lib::EOSMOD.cp0[2] = lib::Code("XYZ");
    EXPECT_EQ(lib::CP0K(2, 400.0), 0.0);
    EXPECT_EQ(lib::PHI0K(2, 0, 0, 400.0, 1.0), 0.0);
}

TEST_F(IdealGasTest, MixtureSumsAndMixingTerm) {
    const double T = 400.0, D = 2.0;
    const double x[20] = {0.5, 0.5};
    const double o1 = lib::PHI0K(1, 0, 0, T, D), o2 = lib::PHI0K(2, 0, 0, T, D);
    EXPECT_NEAR(lib::PHI0(0, 0, T, D, x), 0.5 * o1 + 0.5 * o2 + std::log(0.5), 1e-13);
    EXPECT_NEAR(lib::PHI0(1, 0, T, D, x),
                0.5 * lib::PHI0K(1, 1, 0, T, D) + 0.5 * lib::PHI0K(2, 1, 0, T, D), 1e-13);
    EXPECT_EQ(lib::PHI0(1, 1, T, D, x), 0.0);
    // A component at x = 1e-10 is skipped by PHI0 (no 0 ln 0), but every
    // component enters CP0.
    const double y[20] = {1.0 - 1e-10, 1e-10};
    EXPECT_NEAR(lib::PHI0(0, 0, T, D, y), (1.0 - 1e-10) * (o1 + std::log(1.0 - 1e-10)), 1e-13);
    // cp0 - R of a mixture is the sum of its components' cp0 - R_i.
    EXPECT_NEAR(lib::CP0(T, x), 3.5 * 8.314472 + lib::kRmixture - 8.314472, 1e-12);
    // The integrals belong to the heat-capacity model only.
    const double only2[20] = {0.0, 1.0};
    EXPECT_EQ(lib::CPI(T, only2), 0.0);
    EXPECT_EQ(lib::CPT(T, only2), 0.0);
    EXPECT_NEAR(lib::CPI(T, x), 0.5 * 3.5 * 8.314472 * (T - 300.0), 1e-9);
}

TEST_F(IdealGasTest, MixtureTakesEachComponentAtItsCriticalPoint) {
    // In a mixture a component's ideal-gas part is reduced by its critical
    // temperature and density: one whose equation is reduced by other
    // values enters at T Tred/Tc and D Dred/Dc, with its gas constant.
    const double T = 400.0, D = 2.0;
    const double x[20] = {0.5, 0.5};
    lib::CCON.tc[2] = 160.0;
    lib::CCON.dc[2] = 12.0;
    lib::CCON.rgas[2] = 8.3;
    const double t2 = T * 150.0 / 160.0, d2 = D * 10.0 / 12.0;
    const double a1 = lib::PHI0K(1, 0, 0, T, D), a2 = lib::PHI0K(2, 0, 0, t2, d2);
    const double c1 = lib::PHI0K(1, 2, 0, T, D), c2 = lib::PHI0K(2, 2, 0, t2, d2);
    lib::GCNST.r = lib::kRmixture;
    const double w1 = 0.5 * 8.314472 / lib::kRmixture, w2 = 0.5 * 8.3 / lib::kRmixture;
    EXPECT_NEAR(lib::PHI0(2, 0, T, D, x), w1 * c1 + w2 * c2, 1e-13);
    // The density term ln D is the mixture's: D^2 dA0/dD = D R T.
    EXPECT_NEAR(lib::PHI0(0, 0, T, D, x),
                w1 * a1 + w2 * a2 + (1.0 - w1 - w2) * std::log(D) + std::log(0.5), 1e-13);
    EXPECT_NEAR(lib::PHI0(0, 1, T, D, x), 1.0, 1e-15);
    EXPECT_NEAR(lib::PHI0(0, 2, T, D, x), -1.0, 1e-15);
}

}  // namespace
