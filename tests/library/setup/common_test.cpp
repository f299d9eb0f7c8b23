#include "library/setup/common.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

TEST(Common, SlotsAreIndexedBySlotNumber) {
    lib::Slots<int> s;
    s[-30] = 1;
    s[20] = 2;
    EXPECT_EQ(s.v.front(), 1);
    EXPECT_EQ(s.v.back(), 2);
}

TEST(Common, CodesComparePaddedOrByPrefix) {
    lib::Code pr("PR");
    EXPECT_EQ(pr.str(), "PR ");
    EXPECT_TRUE(pr.is("PR "));
    EXPECT_FALSE(lib::Code("PRX").is("PR"));
    EXPECT_TRUE(lib::Code("FEK").starts("FE"));
    EXPECT_FALSE(lib::Code("FEK").starts("FQ"));
    EXPECT_TRUE(lib::Code().empty_code());
}

TEST(Common, MessagesCarryRoutineKindAndNumber) {
    EXPECT_EQ(lib::errtext("SETUP", 113, "number of components out of bounds"),
              "[SETUP error 113] number of components out of bounds");
    EXPECT_EQ(lib::errtext("SETREF", -28, "x"), "[SETREF warning -28] x");
    EXPECT_EQ(lib::errtext("SETFEQ", "error", "", "fluid input to SETFEQ not found"),
              "[SETFEQ error] fluid input to SETFEQ not found");
}

TEST(Common, FortranFieldsMatchTheirWidths) {
    EXPECT_EQ(lib::fmt_int(7, 3), "  7");
    EXPECT_EQ(lib::fmt_g(300.0, 12, 5), "  300.00    ");
    EXPECT_EQ(lib::fmt_g(0.5, 12, 5), " 0.50000    ");
    EXPECT_EQ(lib::fmt_g(1.5e6, 12, 5), " 0.15000E+07");
    EXPECT_EQ(lib::fmt_g(-2.0e-3, 12, 5), "-0.20000E-02");
    EXPECT_EQ(lib::fmt_g(99999.7, 12, 5), " 0.10000E+06");
    EXPECT_EQ(lib::fmt_f(0.5, 13, 10), " 0.5000000000");
    EXPECT_EQ(lib::fixed_width("ab", 4), "ab  ");
    EXPECT_EQ(lib::trim_right("ab  "), "ab");
}

// Trailing blanks and NULs go, whatever the length and where the last other
// character stands; bytes that share a bit with the blank (0x21, 0x60, 0xA0,
// 0x30) stay.  Against the plain definition, over strings of every length
// up to 40 built from those bytes.
TEST(Common, TrimRightCutsBlanksAndNulsOnly) {
    const char bytes[] = {' ', '\0', 'a', '!', '`', static_cast<char>(0xA0), '0'};
    auto plain = [](std::string_view t) {
        std::size_t n = t.size();
        while (n > 0 && (t[n - 1] == ' ' || t[n - 1] == '\0')) --n;
        return t.substr(0, n);
    };
    unsigned state = 12345;
    for (int round = 0; round < 20000; ++round) {
        state = state * 1103515245u + 12345u;
        const std::size_t len = (state >> 8) % 41;
        std::string t(len, ' ');
        // Mostly blanks and NULs, a few other bytes anywhere.
        for (std::size_t i = 0; i < len; ++i) {
            state = state * 1103515245u + 12345u;
            const unsigned r = (state >> 8) % 32;
            t[i] = r < 7 ? bytes[r] : (r < 20 ? ' ' : '\0');
        }
        EXPECT_EQ(lib::trim_right(t), plain(t)) << "round " << round;
    }
    EXPECT_EQ(lib::trim_right(std::string(255, ' ')), "");
    EXPECT_EQ(lib::trim_right("x" + std::string(254, ' ')), "x");
}

}  // namespace
