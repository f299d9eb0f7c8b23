#include "library/setup/openfl.h"

#include <gtest/gtest.h>

#include <string>

#include "library/setup/textstore.h"

namespace {

struct Found {
    int slot = -5;
    int ierr = -5;
    std::string herr = "stale";
};

Found open(std::string_view name) {
    Found f;
    lib::ILINE = 77;
    lib::OPENFL(f.slot, name, f.ierr, f.herr);
    return f;
}

TEST(Openfl, FindsTextsByKey) {
    Found f = open("nitrogen");
    EXPECT_EQ(f.slot, 64);
    EXPECT_EQ(f.ierr, 0);
    EXPECT_TRUE(f.herr.empty());
    EXPECT_EQ(lib::ILINE, 1);
    EXPECT_EQ(open("hmx").slot, 127);
    EXPECT_EQ(open("1butene").slot, 1);
    EXPECT_EQ(open("r507a").slot, 126);
    EXPECT_EQ(open("co").slot, 16);  // not confused with co2 or cos
    EXPECT_EQ(open("co2").slot, 15);
    for (int k = 1; k <= lib::kTextCount; ++k)
        EXPECT_EQ(open(std::string(lib::store::name(k))).slot, k);
}

TEST(Openfl, NameIsCutAtItsFirstBlank) {
    EXPECT_EQ(open("nitrogen" + std::string(247, ' ')).slot, 64);
    EXPECT_EQ(open("nitrogen   ").slot, 64);
    Found f = open("nitrogen and more text");
    EXPECT_EQ(f.slot, 64);
    EXPECT_EQ(f.ierr, 0);
}

TEST(Openfl, UnknownNames) {
    Found f = open("NITROGEN");  // case-sensitive
    EXPECT_EQ(f.ierr, 101);
    EXPECT_EQ(f.slot, 1);
    EXPECT_EQ(lib::ILINE, 1);
    EXPECT_EQ(f.herr, "Unknown fluidNITROGEN");
    Found g = open("averyveryverylongunknownfluidname");
    EXPECT_EQ(g.herr, "Unknown fluidaveryveryverylongunk");  // first 20 characters
    EXPECT_EQ(open("").ierr, 101);
    EXPECT_EQ(open(" nitrogen").ierr, 101);  // empty part before the blank
    EXPECT_EQ(open("nitro").ierr, 101);
    EXPECT_EQ(open("<<nitrogen>>").ierr, 101);
    // 255 characters without a blank: the fixed field holds no blank.
    EXPECT_EQ(open(std::string(255, 'n')).ierr, 101);
}

TEST(Openfl, FindsOverriddenKeys) {
    EXPECT_EQ(open(std::string(lib::store::name(30))).slot, 30);  // found before the override
    EXPECT_EQ(open("mytest").ierr, 101);
    lib::store::override_text(30, "<<mytest>>\nline");
    EXPECT_EQ(open("mytest").slot, 30);
    EXPECT_EQ(open(std::string(lib::store::name(30))).ierr, 101);
    lib::store::restore();
    EXPECT_EQ(open(std::string(lib::store::name(30))).slot, 30);
}

// Every text is found by its own name; a key line holds its key anywhere
// (the key of a text whose line opens otherwise, and one whose line is
// longer than the key), and a key that the line holds only in part is not.
TEST(Openfl, FindsEveryTextAndKeysWithinTheirLine) {
    for (int k = 1; k <= lib::kTextCount; ++k)
        EXPECT_EQ(open(std::string(lib::store::name(k))).slot, k) << lib::store::name(k);
    lib::store::override_text(30, "  <<indented>>\nline");
    EXPECT_EQ(open("indented").slot, 30);
    lib::store::override_text(30, "<<tail>> more words\nline");
    EXPECT_EQ(open("tail").ierr, 101);  // the key's blanks stand for the line's rest
    lib::store::override_text(30, "<<ta>>\nline");
    EXPECT_EQ(open("tail").ierr, 101);
    lib::store::restore();
}

TEST(Rffile, PrefixesTheDirectoryOfTheComponentName) {
    std::string ref = "r134a";
    lib::RFFILE("nitrogen", ref);
    EXPECT_EQ(ref, "r134a");
    lib::RFFILE("fluids/r32", ref);
    EXPECT_EQ(ref, "fluids/r134a");
    ref = "propane";
    lib::RFFILE("C:\\data\\x\\r245ca trailing/text", ref);
    EXPECT_EQ(ref, "C:\\data\\x\\propane");
    ref = "propane";
    lib::RFFILE("c:r41", ref);
    EXPECT_EQ(ref, "c:propane");
    ref = "propane";
    lib::RFFILE("BDATA/xyz", ref);
    EXPECT_EQ(ref, "propane");
    lib::RFFILE("bdata:xyz", ref);
    EXPECT_EQ(ref, "propane");
    ref = "nitrogen";
    lib::RFFILE("nodir trailing/x", ref);  // slash only after the blank
    EXPECT_EQ(ref, "nitrogen");
    ref = std::string(250, 'r');
    lib::RFFILE("abcdefgh/x", ref);
    EXPECT_EQ(ref.size(), 255u);
    EXPECT_EQ(ref.substr(0, 9), "abcdefgh/");
}

}  // namespace
