#include "app/core/model/tools.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace app;

TEST(Tools, Means) {
    EXPECT_DOUBLE_EQ(aveArith(2.0, 4.0), 3.0);
    // ln-mean of e and 1 is e - 1.
    EXPECT_NEAR(aveLog(std::exp(1.0), 1.0), std::exp(1.0) - 1.0, 1e-15);
    EXPECT_NEAR(aveLog(1.0, std::exp(1.0)), std::exp(1.0) - 1.0, 1e-15);
    EXPECT_NEAR(aveLog(400.0, 300.0), 100.0 / std::log(4.0 / 3.0), 1e-10);
}

TEST(Tools, LogMeanOfEqualValuesIsThatValue) {
    EXPECT_EQ(aveLog(3.5, 3.5), 3.5);
    // Nearly equal values: the limit, not a quotient of two roundings.
    const double a = 1.4, b = 1.4 * (1 + 1e-12);
    EXPECT_NEAR(aveLog(a, b), aveArith(a, b), 1e-15);
    const double c = 1.4 * (1 + 1e-5);
    const double d = c - a;
    EXPECT_NEAR(aveLog(c, a), aveArith(c, a) - d * d / (12 * aveArith(c, a)), 1e-15);
}

TEST(Tools, LogMeanWithoutLogarithmIsFinite) {
    EXPECT_EQ(aveLog(0.0, 2.0), 1.0);
    EXPECT_EQ(aveLog(-1.0, 3.0), 1.0);
    EXPECT_TRUE(std::isfinite(aveLog(0.0, 0.0)));
}

// Table names match in full whatever the case of A to Z; other bytes (the
// punctuation between the letter ranges, characters beyond ASCII) must be
// the same.
TEST(Tools, NamesEqualButForCase) {
    EXPECT_TRUE(equal_nocase("Heat Exchanger", "heat EXCHANGER"));
    EXPECT_TRUE(equal_nocase("", ""));
    EXPECT_FALSE(equal_nocase("Helium", "Heliu"));
    EXPECT_FALSE(equal_nocase("Helium", "Helium "));
    EXPECT_FALSE(equal_nocase("[", "{"));
    EXPECT_FALSE(equal_nocase("@", "`"));
    EXPECT_TRUE(equal_nocase("R\xc3\xa9", "r\xc3\xa9"));
    EXPECT_FALSE(equal_nocase("\xc3\xa9", "\xc3\x89"));
}

}  // namespace
