// Binary parameters after set-up: GETKTV and GETFIJ report them, SETKTV
// changes them (in either order of the pair, with another rule, or back to
// the text) and refuses what it cannot do without changing anything.
#include <gtest/gtest.h>

#include <string>

#include "library/library.h"
#include "library/models/hmxrecords.h"
#include "library/models/phik.h"
#include "library/setup/records.h"
#include "tests/support/fluid.h"

namespace {

class SetktvTest : public ::testing::Test {
protected:
    // Changed parameters outlive a repeated set-up of the same mixture:
    // the next test's set-up must reload them from the text.
    void TearDown() override { lib::RESETM.no_cache = 1; }
    void setup(const std::string& names) { ASSERT_EQ(testsupport::set_up(names), ""); }
    void get(int i, int j) { lib::GETKTV(i, j, code, fij, hfmix, names, hbinp, hmxrul); }
    std::string code, hfmix, hbinp, hmxrul, names[6];
    double fij[6] = {};
    int ierr = 0;
    std::string herr;
};

std::string text(const std::string& s) { return s.substr(0, s.find('\0')); }

TEST_F(SetktvTest, ReportsThePairsAndTheRules) {
    setup("methane|ethane");
    get(1, 2);
    EXPECT_EQ(code, "KW1");
    EXPECT_EQ(fij[0], 0.996336508);
    EXPECT_EQ(fij[4], 1.0);
    EXPECT_EQ(hfmix.substr(0, 3), "hmx");
    EXPECT_EQ(names[0], "BetaT   ");
    EXPECT_EQ(text(hmxrul), "KW1  departure function Methane-Ethane");
    EXPECT_EQ(text(hbinp).substr(0, 15), "methane/ethane:");
    get(1, 1);
    EXPECT_EQ(code, "i=j");
    EXPECT_EQ(text(hbinp), "trivial case--identical components");
    double def[6];
    std::string dn[6], rule;
    lib::GETFIJ("KW0", def, dn, rule);
    EXPECT_EQ(def[0], 1.0);
    EXPECT_EQ(def[4], 0.0);
    EXPECT_EQ(text(rule).substr(0, 3), "KW0");
}

TEST_F(SetktvTest, ChangesAPairAndRestoresTheText) {
    setup("methane|ethane");
    const double x[20] = {0.5, 0.5};
    double t0, d0;
    lib::REDX(x, t0, d0);
    const double mine[6] = {1.0, 1.1, 1.0, 1.05, 0.5, 0.0};
    lib::SETKTV(1, 2, "KW1", mine, "hmx", ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;  // beta_T was not at 1: no warning
    get(2, 1);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(fij[k], mine[k]) << k;
    EXPECT_EQ(lib::trim_right(text(hbinp)),
              "The binary parameter(s) for (methane     +ethane      ) have been modified from "
              "their original values.");
    double t1, d1;
    lib::REDX(x, t1, d1);
    EXPECT_NE(t1, t0);
    lib::SETKTV(1, 2, "RST", mine, "", ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    lib::REDX(x, t1, d1);
    EXPECT_EQ(t1, t0);
    get(1, 2);
    EXPECT_EQ(fij[0], 0.996336508);
}

TEST_F(SetktvTest, PairListedTheOtherWayRoundKeepsItsOrientation) {
    setup("nitrogen|methane");
    get(1, 2);
    EXPECT_EQ(fij[0], 0.99809883);  // from the alternative values
    const double x[20] = {0.4, 0.6};
    double t0, d0;
    lib::REDX(x, t0, d0);
    double same[6];
    for (int k = 0; k < 6; ++k) same[k] = fij[k];
    lib::SETKTV(1, 2, "KW3", same, "hmx", ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    double t1, d1;
    lib::REDX(x, t1, d1);
    EXPECT_EQ(t1, t0);
    EXPECT_EQ(d1, d0);
}

TEST_F(SetktvTest, RefusesWithoutChangingAnything) {
    setup("methane|ethane");
    const double mine[6] = {1.2, 1.2, 1.2, 1.2, 1.2, 0.0};
    lib::SETKTV(2, 2, "KW1", mine, "hmx", ierr, herr);
    EXPECT_EQ(ierr, -113);
    EXPECT_EQ(herr, "[SETKTV warning -113] binary parameters for i = j cannot be changed.");
    lib::SETKTV(1, 3, "KW1", mine, "hmx", ierr, herr);
    EXPECT_EQ(ierr, -113);
    // Another rule from a text that does not exist, or that the text lacks.
    lib::SETKTV(1, 2, "KW0", mine, "nosuchtext", ierr, herr);
    EXPECT_EQ(ierr, 111);
    lib::SETKTV(1, 2, "KWZ", mine, "hmx", ierr, herr);
    EXPECT_EQ(ierr, 117);
    get(1, 2);
    EXPECT_EQ(code, "KW1");
    EXPECT_EQ(fij[0], 0.996336508);
    // Another rule of the text: the pair takes its terms.
    lib::SETKTV(1, 2, "KW0", mine, "hmx", ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    get(1, 2);
    EXPECT_EQ(code, "KW0");
    EXPECT_EQ(lib::CFIHMX.nterm(1, 2), 10);
}

}  // namespace
