// Library messages: the tidying rules of ERRMSG and its print switch.
#include <gtest/gtest.h>

#include <string>

#include "library/library.h"
#include "library/setup/records.h"

namespace {

std::string tidy(std::string s, int ierr = 1) {
    lib::ERRMSG(ierr, s);
    return s;
}

TEST(Errmsg, BlankRunsBeforeUnitsShrink) {
    // Five blanks before "K" shrink by two per pass until one is left.
    EXPECT_EQ(tidy("[X error 1] T = 5.0     K"), "[X error 1] T = 5.0 K");
    EXPECT_EQ(tidy("[X error 1] p =    2.5   MPa"), "[X error 1] p =    2.5 MPa");
    EXPECT_EQ(tidy("[X error 1] D = 1   mol/L, h = 2   J/mol"),
              "[X error 1] D = 1 mol/L, h = 2 J/mol");
    EXPECT_EQ(tidy("[X error 1] a  K"), "[X error 1] a  K");  // two blanks stay
    EXPECT_EQ(tidy("[X error 1] a   k"), "[X error 1] a   k");
}

TEST(Errmsg, UnitGapsFoundPastShortOnes) {
    // A unit after fewer than three blanks (or at the start) is passed over
    // for a later one after a gap; the units are taken in their order (K,
    // MPa, mol, J/mol), each at its first gap; a blank run in the middle of
    // a number field counts only before a unit.
    const struct {
        const char* in;
        const char* want;
    } cases[] = {
        {"K   K", "K K"},
        {"a  K b   K", "a  K b K"},
        {"aK   K", "aK K"},
        {"x    MPa y   K", "x  MPa y K"},
        {"x   mol y   MPa", "x mol y MPa"},
        {"h   J/mol", "h J/mol"},
        {"t   KK", "t KK"},
        {"gap   ", "gap"},
        {"   ", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(tidy(c.in), c.want) << c.in;
}

TEST(Errmsg, AtMostTenEdits) {
    std::string in = "[X error 1]";
    std::string want = "[X error 1]";
    for (int k = 0; k < 11; ++k) {
        in += " 1   K";
        want += k < 10 ? " 1 K" : " 1   K";
    }
    EXPECT_EQ(tidy(in), want);
    // Eight unit edits leave room for two "=0" edits.
    in = "[X error 1]";
    want = "[X error 1]";
    for (int k = 0; k < 8; ++k) {
        in += " 1   K";
        want += " 1 K";
    }
    EXPECT_EQ(tidy(in + " a=0 b=0 c=0"), want + " a= 0 b= 0 c=0");
}

// The gaps before "K" go first wherever they stand, then those before "MPa"
// (the ten edits end before the last "MPa").
TEST(Errmsg, UnitsTakeTheirTurnsBeforeTheirPlaces) {
    std::string in = "[X error 1]", want = "[X error 1]";
    for (int k = 0; k < 9; ++k) {
        in += " 1   MPa";
        want += k < 8 ? " 1 MPa" : " 1   MPa";
    }
    EXPECT_EQ(tidy(in + " 2   K 3   K"), want + " 2 K 3 K");
}

TEST(Errmsg, EqualsBeforeZeroGetsABlank) {
    EXPECT_EQ(tidy("[X error 1] x=0.5, y=0.25, z=1"), "[X error 1] x= 0.5, y= 0.25, z=1");
}

TEST(Errmsg, TrailingSeparatorIsDropped) {
    EXPECT_EQ(tidy("one or more inputs are out of range: T=1;   "),
              "one or more inputs are out of range: T=1");
    EXPECT_EQ(tidy("items a; b; "), "items a; b");
    EXPECT_EQ(tidy("items a; b;  "), "items a; b");
    EXPECT_EQ(tidy("items a;   b"), "items a   b");  // three blanks after ";" anywhere
    EXPECT_EQ(tidy("items a; b;"), "items a; b;");
}

TEST(Errmsg, LongMessagesAreKeptAtTheirWidth) {
    std::string in(300, 'a');
    EXPECT_EQ(tidy(in), std::string(255, 'a'));
    std::string near(253, 'b');
    EXPECT_EQ(tidy(near + "=0"), near + "=");  // the inserted blank pushes the 0 out
}

TEST(Errmsg, PrintSwitch) {
    struct Restore {
        ~Restore() { lib::PRNTERR = 0; }
    } restore;
    auto printed = [](int prnterr, int ierr, std::string msg) {
        lib::PRNTERR = prnterr;
        testing::internal::CaptureStdout();
        lib::ERRMSG(ierr, msg);
        return testing::internal::GetCapturedStdout();
    };
    EXPECT_EQ(printed(0, 5, "[X error 5] bad"), "");
    EXPECT_EQ(printed(1, 5, "[X error 5] bad"), " [X error 5] bad (ierr=   5)\n");
    EXPECT_EQ(printed(1, -1, "[X warning -1] odd"), "");
    EXPECT_EQ(printed(-1, -1, "[X warning -1] odd"), " [X warning -1] odd (ierr=  -1)\n");
    EXPECT_EQ(printed(-1, 0, "nothing"), "");
    // The printed line is cut to 255 characters.
    std::string out = printed(1, 1, std::string(255, 'c'));
    EXPECT_EQ(out.size(), 256u);
}

TEST(Errmsg, MarkerValues) {
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(lib::FLAGS.x[static_cast<std::size_t>(k)], -9999910.0 - 10.0 * k);
    EXPECT_EQ(lib::kMarker9, -9999990.0);
}

}  // namespace
