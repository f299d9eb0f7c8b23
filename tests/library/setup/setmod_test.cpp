// Model choice before a set-up and the small companions of set-up.
#include <gtest/gtest.h>

#include <string>

#include "library/library.h"
#include "library/phase/records.h"
#include "library/setup/records.h"
#include "library/transport/records.h"

namespace {

using lib::Code;

class SetmodTest : public ::testing::Test {
protected:
    void TearDown() override { lib::RESETM.defaults_pending = 1; }
    lib::Names20 codes;
    int ierr = 0;
    std::string herr;
};

TEST_F(SetmodTest, ComponentCountBounds) {
    lib::RESETM.nc_setmod = 7;
    lib::EOSMOD.mix = Code("AGA");
    for (int nc : {0, 21, -3}) {
        lib::SETMOD(nc, "EOS", "HMX", codes, ierr, herr);
        EXPECT_EQ(ierr, 113);
        EXPECT_EQ(herr, "[SETUP error 113] number of components out of bounds");
    }
    EXPECT_EQ(lib::RESETM.nc_setmod, 7);  // codes and count unchanged
    EXPECT_EQ(lib::EOSMOD.mix, Code("AGA"));
}

TEST_F(SetmodTest, DefaultsThenChoices) {
    lib::FSHSAV.tst = lib::FSHSAV.pst = 1;
    lib::CREMOD.set[1][4] = Code("TK6");
    lib::PSMOD.slot[-30] = Code("PS5");
    lib::SETMOD(3, "QVB", "", codes, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(herr, "");
    EXPECT_EQ(lib::RESETM.nc_setmod, 3);
    EXPECT_EQ(lib::RESETM.defaults_pending, 0);
    for (const std::string& c : codes) EXPECT_EQ(c, "QVB");
    EXPECT_EQ(lib::EOSMOD.mix, Code("QVB"));
    EXPECT_EQ(lib::EOSMOD.eos[20], Code("QVB"));
    EXPECT_EQ(lib::PSMOD.slot[-30], Code("QVB"));
    EXPECT_EQ(lib::CREMOD.set[1][4], Code("NUL"));
    EXPECT_EQ(lib::FSHSAV.tst + lib::FSHSAV.pst, 0);

    // Equation-of-state choice: the mixture code is normalised by its first
    // two letters; a pure fluid takes its component's code.
    codes = {"FE1", "BWR", "ECS"};
    lib::SETMOD(3, "EOS", "FE2", codes, ierr, herr);
    EXPECT_EQ(lib::EOSMOD.mix, Code("FEQ"));
    EXPECT_EQ(lib::EOSMOD.eos[1], Code("FE1"));
    EXPECT_EQ(lib::EOSMOD.eos[3], Code("ECS"));
    EXPECT_EQ(lib::EOSMOD.eos[4], Code("QVB"));
    lib::SETMOD(1, "EOS", "HMX", codes, ierr, herr);
    EXPECT_EQ(lib::EOSMOD.mix, Code("FEQ"));
    codes[0] = "BW9";
    lib::SETMOD(1, "eos", "", codes, ierr, herr);
    EXPECT_EQ(lib::EOSMOD.mix, Code("BWR"));

    codes = {"VS1", "VS4"};
    lib::SETMOD(2, "vis", "ECS", codes, ierr, herr);
    EXPECT_EQ(lib::TRNMOD.eta_mix, Code("ECS"));
    EXPECT_EQ(lib::TRNMOD.eta[2], Code("VS4"));
    codes = {"TC1", "TC3"};
    lib::SETMOD(2, "TCX", "ECS", codes, ierr, herr);
    EXPECT_EQ(lib::TRNMOD.tcx[1], Code("TC1"));
    EXPECT_EQ(lib::TRNMOD.eta[2], Code("VS4"));  // an earlier choice stays
    codes = {"ST1", "ST1"};
    lib::SETMOD(2, "STN", "STH", codes, ierr, herr);
    EXPECT_EQ(lib::STNMOD.mix, Code("STH"));
    EXPECT_EQ(lib::STNMOD.slot[2], Code("ST1"));
}

TEST_F(SetmodTest, Gerg04) {
    lib::RESETM.defaults_pending = 1;
    lib::GERG04(2, 1, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(lib::EOSMOD.eos[1], Code("FEK"));
    EXPECT_EQ(lib::EOSMOD.eos[2], Code("FEK"));
    EXPECT_EQ(lib::EOSMOD.mix, Code("HMX"));
    EXPECT_EQ(lib::FLAGS2.gerg04, 1);
    lib::GERG04(2, 0, ierr, herr);
    EXPECT_EQ(lib::EOSMOD.eos[1], Code("QVB"));  // each text's default equation
    EXPECT_EQ(lib::FLAGS2.gerg04, 0);
    lib::GERG04(25, 1, ierr, herr);
    EXPECT_EQ(ierr, 113);
}

TEST(SetupCompanions, PurefldAndSetnc) {
    lib::PUREFLD(3);
    EXPECT_EQ(lib::NCOMP.ic, 3);
    for (int bad : {21, -1}) {
        lib::PUREFLD(3);
        lib::PUREFLD(bad);
        EXPECT_EQ(lib::NCOMP.ic, 0) << bad;
    }
    lib::PUREFLD(0);
    EXPECT_EQ(lib::NCOMP.ic, 0);
    const int nc = lib::NCOMP.nc;
    lib::SETNC(5);
    EXPECT_EQ(lib::NCOMP.nc, 5);
    lib::SETNC(99);
    EXPECT_EQ(lib::NCOMP.nc, 5);
    lib::SETNC(nc);
}

TEST(SetupCompanions, Setpath) {
    lib::SETPATH("/usr/share/fluids.d/x");
    EXPECT_EQ(lib::FLDPTH, lib::fixed_width("/usr/share/fluids", 255));
    lib::SETPATH("plain");
    EXPECT_EQ(lib::FLDPTH, lib::fixed_width("plain", 255));
}

TEST(SetupCompanions, ResetaForgetsSavedResults) {
    lib::FXPNT.x.fill(1.0);
    lib::FSHSAV.tst = lib::FSHSAV.pst = 1;
    lib::TSTSAV.t = 300.0;
    lib::TSTSAV.xl[3] = 0.5;
    lib::TSTSAV.kph = 2;
    lib::PSTSAV.p = 100.0;
    lib::FLAGS2.energy_switch = lib::FLAGS2.sat_status = lib::FLAGS2.spline_status = 1;
    lib::REFSAV.x0[0] = 1.0;
    lib::NCOMP.ic = 2;
    lib::RESETA();
    // Every fixed point of the boundary: the callers change the equation or
    // the component treated alone.
    for (std::size_t w = 0; w < lib::FXPNT.x.size(); ++w) EXPECT_EQ(lib::FXPNT.x[w], 0.0) << w;
    EXPECT_EQ(lib::FSHSAV.tst + lib::FSHSAV.pst, 0);
    EXPECT_EQ(lib::TSTSAV.t, 0.0);
    EXPECT_EQ(lib::TSTSAV.xl[3], 0.0);
    EXPECT_EQ(lib::TSTSAV.kph, 0);
    EXPECT_EQ(lib::PSTSAV.p, 0.0);
    EXPECT_EQ(lib::FLAGS2.energy_switch + lib::FLAGS2.sat_status + lib::FLAGS2.spline_status, 0);
    EXPECT_EQ(lib::REFSAV.x0[0], 0.0);
    EXPECT_EQ(lib::NCOMP.ic, 0);
    lib::FXPNT.x.fill(0.0);
}

}  // namespace
