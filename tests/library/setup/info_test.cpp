// Component constants and mole/mass conversions.
#include <gtest/gtest.h>

#include <string>

#include "library/library.h"
#include "library/models/records.h"
#include "library/setup/records.h"

namespace {

class InfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        lib::NCOMP.nc = 2;
        lib::NCOMP.ic = 0;
        lib::CCON.wm[1] = 28.0134;
        lib::CCON.wm[2] = 31.9988;
        lib::CCON.tc[1] = 126.192;
        lib::CCON.wm[-1] = 44.0;
        lib::CNAM[1] = "nitrogen";
        lib::CNAM80.full[1] = "nitrogen";
        lib::CCAS[1] = "7727-37-9";
        lib::GCNST.r = 8.3;
    }
    void TearDown() override { lib::NCOMP.nc = 0; }
};

TEST_F(InfoTest, ConstantsAndNames) {
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, r;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, r);
    EXPECT_EQ(wm, 28.0134);
    EXPECT_EQ(tc, 126.192);
    lib::INFO(-1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, r);
    EXPECT_EQ(wm, 44.0);  // reference-fluid slot
    lib::INFO(3, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, r);
    for (double v : {wm, ttp, tnbp, tc, pc, dc, zc, acf, dip}) EXPECT_EQ(v, 0.0);
    EXPECT_EQ(r, 8.3);
    std::string n, n80, cas;
    lib::NAME(1, n, n80, cas);
    EXPECT_EQ(n, "nitrogen");
    EXPECT_EQ(cas, "7727-37-9");
    lib::NAME(3, n, n80, cas);
    EXPECT_EQ(n, "not defined");
    EXPECT_EQ(n80, "not defined");
    EXPECT_EQ(cas, "not defined");
}

TEST_F(InfoTest, MolarMassAndFractions) {
    const double half[20] = {0.5, 0.5};
    const double pure[20] = {1.0, 0.0};
    EXPECT_DOUBLE_EQ(lib::WMOL(half), 0.5 * (28.0134 + 31.9988));
    EXPECT_EQ(lib::WMOL(pure), 28.0134);
    double xkg[20] = {}, xmol[20] = {}, w = 0;
    lib::XMASS(pure, xkg, w);
    EXPECT_EQ(xkg[0], 1.0);
    EXPECT_EQ(xkg[1], 0.0);
    lib::XMASS(half, xkg, w);
    EXPECT_NEAR(xkg[0], 28.0134 / (28.0134 + 31.9988), 1e-15);
    lib::XMOLE(xkg, xmol, w);
    EXPECT_NEAR(xmol[0], 0.5, 1e-15);
    EXPECT_NEAR(w, lib::WMOL(half), 1e-12);
}

TEST_F(InfoTest, QualityConversions) {
    const double xl[20] = {0.8, 0.2}, xv[20] = {0.3, 0.7};
    double qkg, xlkg[20], xvkg[20], wl, wv, qmol, xl2[20], xv2[20];
    int ierr = 5;
    std::string herr;
    lib::QMASS(0.4, xl, xv, qkg, xlkg, xvkg, wl, wv, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(qkg, 0.4 * wv / (0.6 * wl + 0.4 * wv), 1e-15);
    lib::QMOLE(qkg, xlkg, xvkg, qmol, xl2, xv2, wl, wv, ierr, herr);
    EXPECT_NEAR(qmol, 0.4, 1e-14);
    EXPECT_NEAR(xl2[0], 0.8, 1e-14);
    lib::QMASS(1.00000001, xl, xv, qkg, xlkg, xvkg, wl, wv, ierr, herr);
    EXPECT_EQ(ierr, 0);
    lib::QMASS(1.0000001, xl, xv, qkg, xlkg, xvkg, wl, wv, ierr, herr);
    EXPECT_EQ(ierr, -19);
    EXPECT_EQ(herr, "[QMASS warning 19] input quality out of range");
    EXPECT_EQ(qkg, 1.0000001);
    lib::QMOLE(-0.5, xlkg, xvkg, qmol, xl2, xv2, wl, wv, ierr, herr);
    EXPECT_EQ(ierr, -19);
    EXPECT_EQ(qmol, -0.5);
}

}  // namespace
