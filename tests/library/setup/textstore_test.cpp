#include "library/setup/textstore.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using lib::ILINE;
namespace store = lib::store;

TEST(TextStore, SlotNamesAndKeyLines) {
    EXPECT_EQ(store::name(1), "1butene");
    EXPECT_EQ(store::name(64), "nitrogen");
    EXPECT_EQ(store::name(120), "water");
    EXPECT_EQ(store::name(122), "air");
    EXPECT_EQ(store::name(127), "hmx");
    EXPECT_TRUE(store::name(0).empty());
    EXPECT_TRUE(store::name(128).empty());
    for (int k = 1; k <= lib::kTextCount; ++k) {
        ASSERT_EQ(store::line(k, 0), "<<" + std::string(store::name(k)) + ">>") << k;
        EXPECT_GE(store::line_count(k), 1);
        EXPECT_TRUE(store::line(k, store::line_count(k)).empty());
        EXPECT_TRUE(store::line(k, -1).empty());
    }
    EXPECT_EQ(store::line_count(0), 0);
    EXPECT_EQ(store::line_count(128), 0);
}

// The key line is read without splitting the text; it is the same line,
// at the same place, as the split text holds, and an override's key line
// wins over the built-in one.
TEST(TextStore, KeyLineReadAloneIsTheSplitTextsFirstLine) {
    for (int k = 1; k <= lib::kTextCount; ++k) {
        const std::string_view alone = store::line(k, 0);
        ASSERT_GE(store::line_count(k), 1) << k;  // splits the text
        const std::string_view split = store::line(k, 0);
        EXPECT_EQ(alone.data(), split.data()) << k;
        EXPECT_EQ(alone.size(), split.size()) << k;
    }
    store::override_text(9, "<<other>>\r\nline\r\n");
    EXPECT_EQ(store::line(9, 0), "<<other>>");
    EXPECT_EQ(store::line(9, 1), "line");
    EXPECT_EQ(store::line_count(9), 2);
    store::restore();
    EXPECT_EQ(store::line(9, 0), "<<c1cc6>>");
}

TEST(TextStore, OverrideReadsLineByLineAndRestores) {
    const std::string before(store::line(5, 0));
    store::override_text(5, "<<test>>\nfirst line\n\n   3 4.5 ! comment\nlast");
    EXPECT_EQ(store::line_count(5), 5);
    EXPECT_EQ(store::line(5, 0), "<<test>>");
    ILINE = 1;
    const long n0 = store::lines_read();
    std::string_view ln;
    ASSERT_TRUE(lib::next_line(5, ln));
    EXPECT_EQ(ln, "first line");
    ASSERT_TRUE(lib::next_line(5, ln));
    EXPECT_TRUE(ln.empty());  // a blank line is a line
    double v[3] = {0, 0, 0};
    EXPECT_TRUE(lib::next_numbers(5, v, 2));
    EXPECT_EQ(v[0], 3.0);
    EXPECT_EQ(v[1], 4.5);
    EXPECT_EQ(ILINE, 4);
    EXPECT_FALSE(lib::next_numbers(5, v, 1));  // "last" is no number, but is consumed
    EXPECT_EQ(ILINE, 5);
    EXPECT_FALSE(lib::next_line(5, ln));  // past the end: pointer stays
    EXPECT_EQ(ILINE, 5);
    EXPECT_EQ(store::lines_read() - n0, 4);
    store::restore();
    EXPECT_EQ(store::line(5, 0), before);
}

// Reading on to the next section's opening line ('#' or '@' first) leaves
// the line pointer, the line handed out, the count of lines read and the
// verdict at the end as reading line by line does: from every line of every
// built-in text, and of a text that ends without one.
TEST(TextStore, NextSectionLineReadsAsLineByLine) {
    const auto by_lines = [](int slot, std::string_view& out) {
        std::string_view ln;
        while (lib::next_line(slot, ln)) {
            out = ln;
            if (!ln.empty() && (ln[0] == '#' || ln[0] == '@')) return true;
        }
        return false;
    };
    const auto compare_from = [&](int slot, int start) {
        std::string_view a, b;
        ILINE = start;
        const long n0 = store::lines_read();
        const bool found_a = by_lines(slot, a);
        const int line_a = ILINE;
        const long read_a = store::lines_read() - n0;
        ILINE = start;
        const long n1 = store::lines_read();
        const bool found_b = lib::next_section_line(slot, b);
        EXPECT_EQ(found_b, found_a) << slot << " from " << start;
        EXPECT_EQ(ILINE, line_a) << slot << " from " << start;
        EXPECT_EQ(store::lines_read() - n1, read_a) << slot << " from " << start;
        if (found_a) {
            EXPECT_EQ(b.data(), a.data()) << slot << " from " << start;
        }
    };
    int sections = 0;
    for (int slot = 1; slot <= lib::kTextCount; ++slot) {
        const int n = store::line_count(slot);
        for (int start = 0; start <= n + 1; start += (start % 7 == 0 ? 1 : 5))
            compare_from(slot, start);
        for (int k = 0; k < n; ++k) sections += store::line(slot, k).starts_with('#');
    }
    EXPECT_GT(sections, 500);
    store::override_text(9, "<<test>>\n#EOS\nFEQ\nbody\n@TRN\nECS\n\nno section\nlast");
    for (int start = 0; start <= 10; ++start) compare_from(9, start);
    store::restore();
}

TEST(TextStore, LongLinesAreCutAndLineLimitHolds) {
    std::string text = "<<long>>\n" + std::string(350, 'x') + "\n";
    for (int i = 0; i < 5000; ++i) text += "l\n";
    store::override_text(7, text);
    EXPECT_EQ(store::line(7, 1).size(), 300u);
    EXPECT_EQ(store::line_count(7), lib::kTextMaxLines);
    ILINE = lib::kTextMaxLines - 1;
    std::string_view ln;
    EXPECT_TRUE(lib::next_line(7, ln));
    EXPECT_FALSE(lib::next_line(7, ln));  // never beyond line 4810
    EXPECT_EQ(ILINE, lib::kTextMaxLines);
    store::restore();
}

TEST(TextStore, ReadNumbersFreeFormat) {
    double v[6] = {};
    EXPECT_EQ(lib::read_numbers("0.12533547935523d-1 .27457205781040D+00 -5 1e3", v, 6), 4);
    EXPECT_DOUBLE_EQ(v[0], 0.012533547935523);
    EXPECT_DOUBLE_EQ(v[1], 0.2745720578104);
    EXPECT_EQ(v[2], -5.0);
    EXPECT_EQ(v[3], 1000.0);
    EXPECT_EQ(lib::read_numbers("1            8.314472     !reducing parameters", v, 6), 2);
    EXPECT_EQ(v[1], 8.314472);
    EXPECT_EQ(lib::read_numbers("\t2.,3.5E+2,+4 ", v, 6), 3);
    EXPECT_EQ(v[0], 2.0);
    EXPECT_EQ(v[1], 350.0);
    EXPECT_EQ(v[2], 4.0);
    EXPECT_EQ(lib::read_numbers("7.5!no blank before the comment", v, 6), 1);
    EXPECT_EQ(v[0], 7.5);
    EXPECT_EQ(lib::read_numbers("1 2 3", v, 2), 2);  // reads only what is asked
    EXPECT_EQ(lib::read_numbers("CPP   ideal gas", v, 2), 0);
    EXPECT_EQ(lib::read_numbers("", v, 2), 0);
    EXPECT_EQ(lib::read_numbers("1.2.3", v, 2), 0);
    EXPECT_EQ(lib::read_numbers("- . e5", v, 2), 0);
}

TEST(TextStore, ReadIntsRoundsRealFields) {
    int v[7] = {};
    EXPECT_EQ(lib::read_ints("  1  4    0  0    0  0  0   !Nterms", v, 7), 7);
    EXPECT_EQ(v[1], 4);
    EXPECT_EQ(lib::read_ints("1.000 -2 3.0d0", v, 7), 3);
    EXPECT_EQ(v[0], 1);
    EXPECT_EQ(v[1], -2);
    EXPECT_EQ(v[2], 3);
    EXPECT_EQ(lib::read_ints("5 abc 6", v, 7), 1);
}

// The numbers of a built-in line are read once and kept: every later read
// of the line, for any count asked, gives what reading its text gives.
TEST(TextStore, KeptNumbersOfBuiltInLinesAreThoseOfTheirText) {
    constexpr int kMost = 64;
    for (int slot : {120, 122, 127}) {  // water, air, the mixing parameters
        for (int n = 0; n < store::line_count(slot); ++n) {
            const std::string_view line = store::line(slot, n);
            const std::string copy(line);  // not a line of the store: read afresh
            double want[kMost] = {}, got[kMost] = {};
            const int count = lib::read_numbers(copy, want, kMost);
            for (int pass = 0; pass < 2; ++pass)
                ASSERT_EQ(lib::read_numbers(line, got, kMost), count) << slot << ":" << n;
            for (int k = 0; k < count; ++k) ASSERT_EQ(got[k], want[k]) << slot << ":" << n;
            if (count > 1) {
                double first[kMost] = {};
                EXPECT_EQ(lib::read_numbers(line, first, 1), 1);
                EXPECT_EQ(first[1], 0.0);  // nothing beyond what was asked
                // The start of a line is read as itself.
                EXPECT_EQ(
                    lib::read_numbers(
                        line.substr(0, line.find_first_of(" ,\t", line.find_first_not_of(" ,\t"))),
                        first, kMost),
                    1);
            }
        }
    }
}

// An overridden text's lines are read as they are now.
TEST(TextStore, OverriddenLinesAreReadAsTheyAreNow) {
    double v[4] = {};
    store::override_text(5, "<<benzene>>\n1 2 3\n");
    EXPECT_EQ(lib::read_numbers(store::line(5, 1), v, 4), 3);
    store::override_text(5, "<<benzene>>\n4 5\n");
    EXPECT_EQ(lib::read_numbers(store::line(5, 1), v, 4), 2);
    EXPECT_EQ(v[0], 4.0);
    EXPECT_EQ(v[1], 5.0);
    store::restore();
}

}  // namespace
