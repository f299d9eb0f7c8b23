// Section bodies of limits, reducing values, term counts and terms, as the
// ancillary-equation and solid-line loaders read them, and their failures.
#include "library/models/termsection.h"

#include <gtest/gtest.h>

#include <string>

#include "library/models/ancillary.h"
#include "library/models/melt.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace {

constexpr int kText = 1;
constexpr int kComp = 20;  // a slot no set-up of these tests uses

class TermSectionTest : public ::testing::Test {
protected:
    void TearDown() override {
        lib::store::restore();
        lib::RESETM.no_cache = 1;  // records changed behind the set-up
    }
    // Loads a body with the given count line and term lines through `loader`.
    void load(void (*loader)(int, int, int&, std::string&), const std::string& counts,
              const std::string& terms) {
        lib::store::override_text(kText,
                                  "<<synthetic>>\n"
                                  "100.0   !lower temperature limit\n"
                                  "300.0   !upper temperature limit\n"
                                  "0.0\n"
                                  "0.0\n"
                                  "310.0  5000.0   !reducing parameters\n" +
                                      counts + "   !number of terms\n" + terms);
        lib::ILINE = 1;
        loader(kText, kComp, ierr, herr);
    }
    bool says(const std::string& text) const { return herr.find(text) != std::string::npos; }
    int ierr = -1;
    std::string herr;
};

TEST_F(TermSectionTest, AncillaryAndSolidLineBodies) {
    load(lib::SETPS, "2 0 0 0 0 0", "-6.5 1.0\n1.25 1.5d0\n");
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::WLMPS.tlow[kComp], 100.0);
    EXPECT_EQ(lib::WLMPS.thigh[kComp], 300.0);
    EXPECT_EQ(lib::WRDPS.tred[kComp], 310.0);
    EXPECT_EQ(lib::WRDPS.xred[kComp], 5000.0);
    EXPECT_EQ(lib::WNTPS.n[kComp][0], 2);
    EXPECT_EQ(lib::WCFPS.a[kComp][0], -6.5);
    EXPECT_EQ(lib::WCFPS.t[kComp][1], 1.5);

    // A solid line counts power, difference and logarithmic terms.
    load(lib::SETMLT, "1 1 1", "1.0 0.0\n2.0 1.5\n3.0 2.0\n");
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::WNTMELT.n[kComp][1], 1);
    EXPECT_EQ(lib::WCFMELT.a[kComp][2], 3.0);
    EXPECT_EQ(lib::WCFMELT.t[kComp][2], 2.0);
    EXPECT_EQ(lib::WRDMELT.xred[kComp], 5000.0);
}

TEST_F(TermSectionTest, Failures) {
    load(lib::SETPS, "16", "");
    EXPECT_EQ(ierr, 1);
    EXPECT_TRUE(says("[SETPS error 1] number of terms  16 exceeds the maximum of 15")) << herr;
    load(lib::SETSBL, "5 3 1", "");
    EXPECT_EQ(ierr, 1);
    EXPECT_TRUE(says("[SETSBL error 1] number of terms   9 exceeds the maximum of  8")) << herr;
    load(lib::SETMLT, "2 -1 0", "");
    EXPECT_EQ(ierr, 1);
    EXPECT_TRUE(says("number of terms   1 exceeds")) << herr;
    load(lib::SETMLT, "2 1", "");
    EXPECT_TRUE(says("[SETMLT error 1] error reading the numbers of terms")) << herr;
    load(lib::SETDL, "x", "");
    EXPECT_TRUE(says("[SETDL error 1] error reading the number of terms")) << herr;
    load(lib::SETDV, "2", "1.0 0.5\n");
    EXPECT_TRUE(says("[SETDV error 1] error reading term  2")) << herr;
}

}  // namespace
