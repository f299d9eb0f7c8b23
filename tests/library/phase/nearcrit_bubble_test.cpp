// Bubble points at given T close to a mixture's critical point, found or
// found absent: the real ones (the phases of nearly equal density that
// Newton's method approaches as slowly as it approaches the trivial
// solution elsewhere) at their pressure, with equal fugacities and distinct
// phases; the one of the 10-component gas at 211.8 K, just below the
// estimated critical temperature (213.0 K; its bubble and dew lines meet at
// 226.1 K, 8.62 MPa), found on its line (it had been reported absent; the
// (T, p) flash's vapour fraction falls to 0 at the same pressure).  Also:
// TPRHO's roots with the isotherm memory open are those without it, bit for
// bit.  The speed of that point is measured in bench/wetgas_bench.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/phase/tprho.h"
#include "tests/library/phase/mix_support.h"

namespace {

// One bubble point: the feed, its temperature as a fraction of the feed's
// estimated critical temperature (at least 1.02 times the highest triple
// point), and the pressure and densities found (P = 0: none exists).
struct BubbleRow {
    mixtest::Mixture m;
    double tc_fraction;
    double P, Dl, Dv;  // kPa, mol/L
};

void PrintTo(const BubbleRow& r, std::ostream* os) {
    *os << r.m.label << " at " << r.tc_fraction << " Tc";
}

const std::vector<BubbleRow>& bubble_rows() {
    static const std::vector<BubbleRow> rows = {
        {{"co2+argon", "co2|argon", {0.5, 0.5}}, 0.5, 15440.3135, 22.4221048, 21.570568},
        {{"co2+argon", "co2|argon", {0.5, 0.5}}, 1.06, 14858.8101, 20.4631112, 19.3248354},
        {{"co2+co", "co2|co", {0.5, 0.5}}, 0.5, 15227.3467, 17.9817704, 15.9156227},
        {{"co2+nitrogen", "co2|nitrogen", {0.5, 0.5}}, 0.5, 20267.4339, 20.5132862, 19.5808583},
        {{"co2+nitrogen", "co2|nitrogen", {0.5, 0.5}}, 1.06, 18841.4520, 19.0516551, 18.5083137},
        {{"d2+nitrogen", "d2|nitrogen", {0.5, 0.5}}, 0.85, 20493.4406, 32.4849078, 32.3671733},
        {{"dme+methane", "dme|methane", {0.1, 0.9}}, 1.06, 8924.05155, 14.0376924, 13.2444361},
        {{"decane+water", "decane|water", {0.5, 0.5}}, 1.13, 9521.36653, 3.98994390, 3.86572203},
        {mixtest::mixtures()[4], 211.81818181818181 / 213.0, 6741.65035171, 15.1096855288,
         9.31824996968},
    };
    return rows;
}

// The temperature of a row: the fraction of the critical temperature CRITP
// gives the feed, kept above the triple points; the 10-component gas's
// row is at 211.8 K itself.
double row_temperature(const BubbleRow& r, const double z[20]) {
    if (r.m.nc() == 10) return 211.81818181818181;
    double Tc = 0, Pc = 0, Dc = 0;
    int ierr = 0;
    std::string herr;
    lib::CRITP(z, Tc, Pc, Dc, ierr, herr);
    double ttrp = 0.0;
    for (int i = 1; i <= r.m.nc(); ++i) {
        double wmm, t3, tnbp, tc, pc, dc, zc, acf, dip, rgas;
        lib::INFO(i, wmm, t3, tnbp, tc, pc, dc, zc, acf, dip, rgas);
        ttrp = std::max(ttrp, t3);
    }
    return std::max(1.02 * ttrp, Tc * r.tc_fraction);
}

class NearCriticalBubble : public mixtest::MixtureSuite<::testing::TestWithParam<BubbleRow>> {};

TEST_P(NearCriticalBubble, FoundWhereItExistsAndAbsentWhereNot) {
    const BubbleRow& row = GetParam();
    ASSERT_TRUE(mixtest::setup(row.m));
    double z[20];
    row.m.fill(z);
    const double T = row_temperature(row, z);
    double P = 0, Dl = 0, Dv = 0, x[20] = {}, y[20] = {};
    int ierr = 0;
    std::string herr;
    lib::SATT(T, z, 1, P, Dl, Dv, x, y, ierr, herr);
    if (row.P == 0.0) {
        EXPECT_GT(ierr, 0) << "a bubble point at " << P << " kPa";
        EXPECT_FALSE(herr.empty());
        // The dew point at the same temperature exists.
        lib::SATT(T, z, 2, P, Dl, Dv, x, y, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        EXPECT_NEAR(P, 8.686, 0.01);
        EXPECT_LT(mixtest::fugacity_mismatch(T, Dl, Dv, x, y, z), 1e-6);
        return;
    }
    ASSERT_LE(ierr, 0) << T << " K: " << herr;
    EXPECT_NEAR(P, row.P, 1e-8 * row.P);
    EXPECT_NEAR(Dl, row.Dl, 1e-8 * row.Dl);
    EXPECT_NEAR(Dv, row.Dv, 1e-8 * row.Dv);
    // A true point: equal fugacities of two distinct phases (to the last
    // digits: the slower road's point, 1e-6 off next to the critical point,
    // is refined), the liquid the feed.
    EXPECT_LT(mixtest::fugacity_mismatch(T, Dl, Dv, x, y, z), 1e-9);
    EXPECT_GT(std::fabs(Dl - Dv), 0.1);
    EXPECT_GT(std::fabs(y[0] - x[0]), 1e-3);
    EXPECT_NEAR(x[0], z[0], 1e-12);
}

std::string bubble_name(const ::testing::TestParamInfo<BubbleRow>& info) {
    std::string name = info.param.m.label;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Table, NearCriticalBubble, ::testing::ValuesIn(bubble_rows()),
                         bubble_name);

// The liquid roots of the 10-component gas along its isotherm at 211.8 K,
// just below its estimated critical temperature, where the dense iteration
// fails and the root is bracketed on a grid: the pressures of a Newton
// iteration's march, up and down, for a second temperature and a second
// composition after it (and the first again).
struct Root {
    int ierr;
    double D;
};

std::vector<Root> roots(const std::vector<double>& pressures) {
    const mixtest::Mixture& ng = mixtest::mixtures()[4];
    double z[20], w[20];
    ng.fill(z);
    ng.fill(w);
    w[0] -= 0.01;
    w[1] += 0.01;
    std::vector<Root> r;
    for (const double* c : {z, w, z}) {
        for (double T : {211.81818181818181, 212.5}) {
            for (double P : pressures) {
                Root k{0, 0.0};
                std::string herr;
                lib::TPRHO(T, P, c, 1, 0, k.D, k.ierr, herr);
                r.push_back(k);
            }
        }
    }
    return r;
}

class IsothermMemory : public mixtest::MixtureSuite<> {};

TEST_F(IsothermMemory, GivesTheRootsFoundWithoutIt) {
    ASSERT_TRUE(mixtest::setup(mixtest::mixtures()[4]));
    std::vector<double> pressures;
    for (double P = 3700.0; P < 4800.0; P += 37.0) pressures.push_back(P);
    std::vector<double> back(pressures.rbegin(), pressures.rend());
    pressures.insert(pressures.end(), back.begin(), back.end());
    const std::vector<Root> plain = roots(pressures);
    std::vector<Root> kept;
    {
        const lib::IsothermMemo outer;
        const lib::IsothermMemo inner;
        kept = roots(pressures);
    }
    const std::vector<Root> after = roots(pressures);
    ASSERT_EQ(plain.size(), kept.size());
    int bracketed = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(plain[i].ierr, kept[i].ierr) << i;
        EXPECT_EQ(plain[i].D, kept[i].D) << i;
        EXPECT_EQ(plain[i].D, after[i].D) << i;
        if (plain[i].ierr <= 0 && plain[i].D < 9.0) ++bracketed;
    }
    // Most of these roots lie below the critical density, out of the dense
    // iteration's reach.
    EXPECT_GT(bracketed, static_cast<int>(plain.size() / 4));
}

}  // namespace
