// Helmholtz-explicit equation: loading of a section, term forms, every
// defined derivative against central differences, the cache and the limits
// of the coefficient tables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "library/models/feq.h"
#include "library/models/feqjet.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace {

constexpr int kText = 1;  // text slot borrowed for the synthetic sections
constexpr int kSlot = 3;  // component slot filled by the tests

std::string header(int nnormal, int ncol, int ncrit) {
    return "<<synthetic>>\n"
           "100.0         !lower temperature limit\n"
           "1000.0        !upper temperature limit\n"
           "100000.0      !upper pressure limit\n"
           "30.0          !maximum density\n"
           "PH0           !ideal-gas model\n"
           "18.015268     !molar mass\n"
           "273.16        !triple point\n"
           "0.611655      !pressure at triple point\n"
           "55.49696      !density at triple point\n"
           "373.1243      !normal boiling point\n"
           "0.3443        !acentric factor\n"
           "647.096  22064.0  17.873727995   !tc, pc, dc\n"
           "647.096  17.873727995            !reducing parameters\n"
           "8.314371357587                   !gas constant\n" +
           std::to_string(nnormal) + " " + std::to_string(ncol) + " " + std::to_string(ncrit) +
           " 12 0 0  !term counts\n";
}

// Normal terms of several kinds (plain power, exponential with l = 1..3,
// a shared tau exponent) and, from the published water equation, three
// Gaussian and both non-analytic terms.
const std::vector<std::string> kNormal = {
    "0.12533547935523d-1  -0.5   1  0", ".78957634722828D+01   0.875 1  0",
    "-0.87803203303561d1   1.0   1  0", "0.31802509345418      0.5   2  0",
    "-0.26145533859358    0.75  3  0",  "0.22509767230e0       1.0  1  1",
    "-0.66065069e-1        4.0  1  1",  "0.17e-2               8.0  4  2",
    "-0.44e-3              14.0 6  3",
};
const std::vector<std::string> kCrit = {
    "-31.306260323435   0.0  3  2  2  -20.0  -150.0  1.21  1.0  0  0  0",
    "31.546140237781    1.0  3  2  2  -20.0  -150.0  1.21  1.0  0  0  0",
    "-2521.3154341695   4.0  3  2  2  -20.0  -250.0  1.25  1.0  0  0  0",
    "-0.14874640856724  0.0  1  2  2  0.85  0.3  0.32  28.0  700.0  0.2  3.5",
    "0.31806110878444   0.0  1  2  2  0.95  0.3  0.32  32.0  800.0  0.2  3.5",
};

std::string section(const std::vector<std::string>& normal, int ncol,
                    const std::vector<std::string>& crit) {
    std::string s = header(static_cast<int>(normal.size()), ncol, static_cast<int>(crit.size()));
    for (const auto& l : normal) s += l + "\n";
    for (const auto& l : crit) s += l + "\n";
    return s;
}

class FeqTest : public ::testing::Test {
protected:
    void TearDown() override { lib::store::restore(); }
    void load(const std::string& text) {
        lib::store::override_text(kText, text);
        lib::ILINE = 1;
        lib::SETFEQ(kText, kSlot, "", ierr, herr);
    }
    int ierr = -1;
    std::string herr;
};

double phi(int i, int j, double tau, double del) { return lib::PHIFEQ(kSlot, i, j, tau, del); }

TEST_F(FeqTest, LoadsEveryLineIntoItsRecords) {
    load(section(kNormal, 4, kCrit));
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::EOSMOD.cp0[kSlot].str(), "PH0");
    // Each line in its record; "d" and "D" exponent letters and a leading
    // point are read; four columns: gamma = 1.
    const double read[][2] = {{lib::EOSLIM.tmin[kSlot], 100.0},
                              {lib::EOSLIM.tmax[kSlot], 1000.0},
                              {lib::EOSLIM.pmax[kSlot], 100000.0},
                              {lib::EOSLIM.dmax[kSlot], 30.0},
                              {lib::CCON.wm[kSlot], 18.015268},
                              {lib::CCON.ptp[kSlot], 0.611655},
                              {lib::CCON.tc[kSlot], 647.096},
                              {lib::ZRED.dred[kSlot], 17.873727995},
                              {lib::CCON.rgas[kSlot], 8.314371357587},
                              {lib::WCFFEQ.n[kSlot][0], 0.12533547935523e-1},
                              {lib::WCFFEQ.n[kSlot][1], 7.8957634722828},
                              {lib::WCFFEQ.g[kSlot][5], 1.0}};
    for (std::size_t i = 0; i < std::size(read); ++i) EXPECT_DOUBLE_EQ(read[i][0], read[i][1]) << i;
    EXPECT_NEAR(lib::CCON.zc[kSlot], 22064.0 / (8.314371357587 * 647.096 * 17.873727995), 1e-15);
    EXPECT_EQ(lib::WNTFEQ.k[kSlot].nterm, 9);
    EXPECT_EQ(lib::WNTFEQ.k[kSlot].ncrit, 5);
    EXPECT_EQ(lib::FEQSV3.analytic[kSlot], 0);
    double tc, pc, dc;
    lib::CRTFEQ(kSlot, tc, pc, dc);
    EXPECT_DOUBLE_EQ(pc, 22064.0);
}

TEST_F(FeqTest, TermFormsAndDistinctExponents) {
    // Five columns: gamma from the text; l = 0 is a plain power even with
    // gamma != 0; a delta exponent written "1.000" reads as 1; tau exponents
    // closer than 1e-10 share one list entry, equal l with other gamma do not.
    load(
        section({"2.0 0.5 3 2 1.3", "0.7 0.5000000000001 1.000 0 5.0", "-0.4 2.0 2 2 0.6"}, 5, {}));
    ASSERT_EQ(ierr, 0) << herr;
    const double tau = 1.3, del = 0.8;
    const double want = 2.0 * std::sqrt(tau) * std::pow(del, 3) * std::exp(-1.3 * del * del) +
                        0.7 * std::sqrt(tau) * del -  // the shared exponent 0.5
                        0.4 * tau * tau * del * del * std::exp(-0.6 * del * del);
    EXPECT_NEAR(phi(0, 0, tau, del), want, 1e-14);
    EXPECT_EQ(lib::WNTFEQ.k[kSlot].ntau, 2);
    EXPECT_EQ(lib::WNTFEQ.k[kSlot].ndel, 3);
    EXPECT_EQ(lib::WNTFEQ.k[kSlot].nlg, 3);
    EXPECT_EQ(lib::FEQSV3.analytic[kSlot], 1);
}

// Normal terms in five columns whose exponents are shared in some places
// and not in others: terms of one (l, gamma) pair with a common tau exponent,
// pairs of a single term with a tau exponent of its own, and (in the second
// set) more (l, gamma) pairs than are weighed one against another; tau
// exponents of every eighth, negative ones among them, and others.
const std::vector<std::string> kMixedSharing = {
    "0.5     0.25   1  0  0.0", "-0.3    1.5    2  0  2.0", "0.7     0.8    1  1  1.0",
    "0.2     0.8    3  1  1.0", "-0.1    2.0    2  1  1.0", "0.05    3.3    4  2  1.0",
    "0.03    5.1    1  2  1.0", "0.01    7.7    2  3  1.5", "0.002   0.8    5  2  0.7",
    "0.4     0.375  2  0  0.0", "-0.2   -0.375  1  0  0.0", "0.15    1.125  3  0  0.0",
    "0.1     3.875  1  1  1.0", "-0.07   0.625  2  2  1.0",
};

std::vector<std::string> many_pairs() {
    std::vector<std::string> t;
    for (int i = 0; i < 13; ++i)
        t.push_back(std::to_string(0.1 + 0.01 * i) + " " + std::to_string(0.3 * i) + " " +
                    std::to_string(1 + i % 4) + " " + std::to_string(1 + i % 3) + " " +
                    std::to_string(0.6 + 0.1 * i));
    return t;
}

struct NormalTerm {
    double n, t;
    int d, l;
    double g;
};

// The terms of lines "n t d l gamma", and tau^i delta^j d^(i+j) alphar of
// their published form for (i, j) = (0,0) (0,1) (1,0) (1,1) (0,2) (2,0),
// with the sum of the magnitudes of the terms' contributions.
std::vector<NormalTerm> parse(const std::vector<std::string>& lines) {
    std::vector<NormalTerm> r;
    for (const auto& s : lines) {
        NormalTerm x{};
        std::sscanf(s.c_str(), "%lf %lf %d %d %lf", &x.n, &x.t, &x.d, &x.l, &x.g);
        r.push_back(x);
    }
    return r;
}

std::pair<double, double> published(const std::vector<NormalTerm>& terms, int i, int j, double tau,
                                    double del) {
    double sum = 0, mag = 0;
    for (const auto& x : terms) {
        const double u = x.l == 0 ? 0.0 : x.l * x.g * std::pow(del, x.l);
        const double v = x.n * std::pow(tau, x.t) * std::pow(del, x.d) *
                         (x.l == 0 ? 1.0 : std::exp(-x.g * std::pow(del, x.l)));
        const double fd = j == 0 ? 1.0 : j == 1 ? x.d - u : (x.d - u) * (x.d - 1 - u) - x.l * u;
        const double ft = i == 0 ? 1.0 : i == 1 ? x.t : x.t * (x.t - 1);
        sum += v * fd * ft;
        mag += std::fabs(v * fd * ft);
    }
    return {sum, mag};
}

TEST_F(FeqTest, NormalTermsFollowTheirFormWhateverTheirExponentsShare) {
    const int ij[][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 2}, {2, 0}};
    // (The second section's terms find the factors of the first in the
    // slot's tables: none of them may be taken for its own.)
    for (const auto& lines : {many_pairs(), kMixedSharing}) {
        load(section(lines, 5, {}));
        ASSERT_EQ(ierr, 0) << herr;
        const auto terms = parse(lines);
        // New states where both variables move, then tau alone, then delta
        // alone, then back to a state seen before.
        const double states[][2] = {{1.3, 0.4},  {0.7, 2.2}, {1.9, 2.2}, {1.9, 0.05},
                                    {0.5, 0.05}, {0.5, 3.1}, {1.3, 0.4}};
        for (const auto& st : states) {
            for (const auto& d : ij) {
                const auto [want, mag] = published(terms, d[0], d[1], st[0], st[1]);
                EXPECT_NEAR(phi(d[0], d[1], st[0], st[1]), want, 4e-15 * mag)
                    << d[0] << d[1] << " at " << st[0] << " " << st[1];
            }
        }
    }
}

TEST_F(FeqTest, NonAnalyticTermValueFollowsThePublishedForm) {
    load(section({}, 4, {kCrit[3]}));
    ASSERT_EQ(ierr, 0) << herr;
    const double tau = 0.98, del = 1.2;
    const double n = -0.14874640856724, a = 3.5, b = 0.85, B = 0.2, C = 28, D = 700, A = 0.32,
                 beta = 0.3;
    const double theta = (1 - tau) + A * std::pow((del - 1) * (del - 1), 1 / (2 * beta));
    const double Delta = theta * theta + B * std::pow((del - 1) * (del - 1), a);
    const double psi = std::exp(-C * (del - 1) * (del - 1) - D * (tau - 1) * (tau - 1));
    EXPECT_NEAR(phi(0, 0, tau, del), n * std::pow(Delta, b) * del * psi, 1e-17);
    // At delta = 1 and tau = 1 the term stays finite.
    for (int i = 0; i <= 3; ++i)
        for (int j = 0; j <= 3; ++j) EXPECT_TRUE(std::isfinite(phi(i, j, 1.0, 1.0))) << i << j;
}

// Non-analytic terms share the distance function of the term before them
// where its beta, A, B and a are theirs: terms that differ in any one of
// them, or share them with an earlier term only, give together every
// derivative of the sum of each loaded alone (to its rounding).
TEST_F(FeqTest, NonAnalyticTermsSumAsLoadedAloneWhateverTheyShare) {
    const std::vector<std::string> terms = {
        kCrit[3],
        kCrit[4],
        "0.2 0.0 1 2 2 0.9 0.35 0.32 30.0 750.0 0.2 3.5",  // another beta
        "0.1 0.0 1 2 2 0.9 0.3 0.4 30.0 750.0 0.2 3.5",    // another A
        "0.1 0.0 1 2 2 0.9 0.3 0.32 30.0 750.0 0.25 3.5",  // another B
        "0.1 0.0 1 2 2 0.9 0.3 0.32 30.0 750.0 0.2 3.0",   // another a
        kCrit[3],                                          // the first's again
    };
    const int ij[][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 2}, {2, 0}};
    const double states[][2] = {{0.98, 1.2}, {1.03, 0.85}, {0.9, 1.4}, {1.01, 0.97}};
    std::vector<std::vector<double>> alone(std::size(states) * std::size(ij));
    for (const auto& term : terms) {
        load(section({}, 4, {term}));
        ASSERT_EQ(ierr, 0) << herr;
        std::size_t k = 0;
        for (const auto& st : states)
            for (const auto& d : ij) alone[k++].push_back(phi(d[0], d[1], st[0], st[1]));
    }
    load(section({}, 4, terms));
    ASSERT_EQ(ierr, 0) << herr;
    std::size_t k = 0;
    for (const auto& st : states) {
        for (const auto& d : ij) {
            const auto& v = alone[k++];
            double sum = 0;
            for (double x : v) sum += x;
            const double got = phi(d[0], d[1], st[0], st[1]);
            EXPECT_NEAR(got, sum, 1e-14 * std::fabs(sum) + 1e-300)
                << d[0] << d[1] << " at " << st[0] << " " << st[1];
        }
    }
}

TEST_F(FeqTest, UndefinedArgumentsAndTinyDensity) {
    load(section(kNormal, 4, kCrit));
    EXPECT_EQ(phi(0, 0, 1.1, 1e-10), 0.0);
    EXPECT_NE(phi(0, 0, 1.1, 1.0000001e-10), 0.0);
    EXPECT_EQ(phi(0, 1, 0.0, 1.0), 0.0);
    EXPECT_EQ(phi(3, 3, 1.1, 1.0), 0.0);
    EXPECT_EQ(phi(1, 3, 1.1, 1.0), 0.0);
}

TEST_F(FeqTest, CacheReturnsStoredValuesUntilTheStateOrAnyLoadChanges) {
    load(section(kNormal, 4, kCrit));
    const double v1 = phi(0, 1, 1.1, 0.9);
    const double v11 = phi(1, 1, 1.1, 0.9);
    EXPECT_EQ(phi(0, 1, 1.1, 0.9), v1);
    EXPECT_EQ(phi(0, 1, 1.1, 0.9 + 1e-17), v1);
    // A mixed derivative asked first at a new state must not take lists of
    // another slot or state.
    lib::PHIFEQ(kSlot, 0, 1, 1.3, 0.5);
    lib::PHIFEQ(kSlot, 1, 0, 1.3, 0.5);
    EXPECT_NEAR(phi(1, 1, 1.1, 0.9), v11, 1e-15 * std::fabs(v11));
    // Loading any slot forgets every slot's state.
    const double before = phi(0, 0, 1.1, 0.9);
    lib::FEQSAV.v[kSlot][0] += 1.0;  // a stale cache would show this
    lib::store::override_text(kText, section({"1.0 1.0 1 0"}, 4, {}));
    lib::ILINE = 1;
    lib::SETFEQ(kText, kSlot + 1, "", ierr, herr);
    EXPECT_EQ(phi(0, 0, 1.1, 0.9), before);
}

// Term values are built from per-exponent factors kept with the stored state,
// and third derivatives of the non-analytic terms from jets of one variable:
// neither may depend on the states visited before or on the order in which
// the derivatives are asked for.
TEST_F(FeqTest, ResultsDoNotDependOnTheHistoryOfTheCache) {
    const int ij[][2] = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 0}, {2, 0},
                         {3, 0}, {1, 1}, {1, 2}, {2, 1}, {2, 2}};
    const auto all = [&](double tau, double del, bool reversed) {
        std::vector<double> v(11);
        for (int n = 0; n < 11; ++n) {
            const int k = reversed ? 10 - n : n;
            v[static_cast<std::size_t>(k)] = phi(ij[k][0], ij[k][1], tau, del);
        }
        return v;
    };
    for (const std::string& text : {section(kNormal, 4, kCrit), section(kMixedSharing, 5, kCrit)}) {
        for (const auto& [tau, del] :
             {std::pair{1.02, 1.1}, std::pair{1.6, 2.9}, std::pair{0.8, 0.05}}) {
            load(text);  // cache forgotten: every factor afresh
            const std::vector<double> fresh = all(tau, del, false);
            // (Two other states in between: the state is no longer kept as
            // the one before the stored one, and is formed anew.)
            // Same tau, other delta before: the tau factors are reused.
            phi(0, 0, tau, 0.6 * del);
            phi(0, 0, tau, 0.7 * del);
            EXPECT_EQ(all(tau, del, true), fresh) << tau << " " << del;
            // Same delta, other tau before: the delta factors are reused.
            phi(0, 0, 1.2 * tau, del);
            phi(0, 0, 1.3 * tau, del);
            EXPECT_EQ(all(tau, del, false), fresh) << tau << " " << del;
            // Third derivatives alone, then after the mixed ones.
            phi(0, 0, 1.2 * tau, del);
            phi(0, 0, 1.3 * tau, del);
            EXPECT_EQ(phi(0, 3, tau, del), fresh[3]);
            EXPECT_EQ(phi(3, 0, tau, del), fresh[6]);
            EXPECT_EQ(phi(2, 2, tau, del), fresh[10]);
        }
    }
}

// A solver that goes back and forth between two states finds the results of
// the state before the stored one again without a refresh, to the bit; a
// result not found there, a third state or a cleared cache refreshes.
TEST_F(FeqTest, TheStateBeforeTheStoredOneAnswersWithoutARefresh) {
    const int ij[][2] = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 0}, {2, 0},
                         {3, 0}, {1, 1}, {1, 2}, {2, 1}, {2, 2}};
    const auto all = [&](double tau, double del) {
        std::vector<double> v;
        for (const auto& d : ij) v.push_back(phi(d[0], d[1], tau, del));
        return v;
    };
    const auto refreshes = [] { return lib::FEQSAV.gen[kSlot]; };
    load(section(kNormal, 4, kCrit));
    const std::vector<double> a = all(1.02, 1.1);
    load(section(kNormal, 4, kCrit));
    const std::vector<double> b = all(1.6, 2.9);
    all(1.02, 1.1);
    const unsigned before = refreshes();
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(all(1.6, 2.9), b);
        EXPECT_EQ(all(1.02, 1.1), a);
    }
    EXPECT_EQ(refreshes(), before);
    // A result not found at the state before: a refresh, then the other
    // state is the one before.
    load(section(kNormal, 4, kCrit));
    const double a01 = phi(0, 1, 1.02, 1.1);
    phi(0, 0, 1.6, 2.9);
    const unsigned once = refreshes();
    EXPECT_EQ(phi(0, 2, 1.02, 1.1), a[2]);
    EXPECT_EQ(refreshes(), once + 1);
    EXPECT_EQ(phi(0, 0, 1.6, 2.9), b[0]);
    EXPECT_EQ(phi(0, 1, 1.02, 1.1), a01);
    EXPECT_EQ(refreshes(), once + 1);
    // A third state: the first is no longer kept.
    phi(0, 0, 0.8, 0.05);
    phi(0, 0, 1.6, 2.9);
    const unsigned third = refreshes();
    EXPECT_EQ(phi(0, 0, 1.02, 1.1), a[0]);
    EXPECT_EQ(refreshes(), third + 1);
    // A cache cleared as the set-up clears it (tau and delta 0) after a
    // coefficient changed: the state before answers no more.
    phi(0, 0, 1.6, 2.9);
    lib::FEQSAV.tau[kSlot] = 0.0;
    lib::FEQSAV.del[kSlot] = 0.0;
    lib::WCFFEQ.n[kSlot][0] *= 2.0;
    EXPECT_NE(phi(0, 0, 1.02, 1.1), a[0]);
    EXPECT_NE(phi(0, 0, 1.6, 2.9), b[0]);
}

// The third derivatives of the non-analytic terms come from a jet of the one
// variable when asked alone, from the full jet when a mixed derivative was
// asked first at the state: the two agree to the last bit over a grid that
// spans both sides of the critical point, dilute gas and dense liquid.
TEST_F(FeqTest, OneVariableJetsAgreeWithTheFullJetToTheBit) {
    load(section(kNormal, 4, kCrit));
    int states = 0, differ = 0;
    for (int it = 0; it < 24; ++it) {
        for (int id = 0; id < 24; ++id) {
            const double tau = 0.45 + 0.07 * it + 1e-3 * id;
            const double del = 0.004 * std::pow(1.3, id) + 1e-4 * it;
            phi(0, 0, 0.9 * tau, del);  // another state: the jets are built afresh
            const double d3 = phi(0, 3, tau, del), t3 = phi(3, 0, tau, del);
            phi(0, 0, 0.9 * tau, del);
            phi(1, 2, tau, del);  // the full jet first
            const bool same = phi(0, 3, tau, del) == d3 && phi(3, 0, tau, del) == t3;
            differ += same ? 0 : 1;
            ++states;
        }
    }
    EXPECT_EQ(differ, 0) << "of " << states << " states";
}

TEST_F(FeqTest, SectionsBeyondTheTablesAreRejected) {
    std::vector<std::string> many(57, "0.1 1.0 1 0");
    load(section(many, 4, {}));
    EXPECT_EQ(ierr, 2);
    EXPECT_NE(herr.find("[SETFEQ error 2]"), std::string::npos) << herr;
    EXPECT_EQ(lib::WNTFEQ.k[kSlot].nterm, 0);
    std::vector<std::string> crit(21, kCrit[0]);
    load(section({}, 4, crit));
    EXPECT_EQ(ierr, 2);
    EXPECT_EQ(phi(0, 0, 1.1, 0.9), 0.0);
    // 56 terms in all fit exactly.
    std::vector<std::string> normal(51, "0.001 1.0 1 0");
    load(section(normal, 4, kCrit));
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(
        phi(0, 0, 1.1, 0.9),
        51 * 0.001 * 1.1 * 0.9 +
            [] {
                lib::store::override_text(kText, section({}, 4, kCrit));
                lib::ILINE = 1;
                int e;
                std::string h;
                lib::SETFEQ(kText, kSlot + 2, "", e, h);
                return lib::PHIFEQ(kSlot + 2, 0, 0, 1.1, 0.9);
            }(),
        1e-13);
}

TEST_F(FeqTest, MissingTextOrLinesAreErrors) {
    lib::SETFEQ(0, kSlot, "", ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "[SETFEQ error] fluid input to SETFEQ not found");
    std::string cut = section(kNormal, 4, kCrit);
    cut.resize(cut.size() - 40);  // the last term line loses values
    load(cut);
    EXPECT_EQ(ierr, 3);
    EXPECT_EQ(lib::WNTFEQ.k[kSlot].nterm + lib::WNTFEQ.k[kSlot].ncrit, 0);
}

TEST_F(FeqTest, HugeExponentsDropTheTerm) {
    // tau^t with t = 60 at tau = 6: t ln tau = 107.5 >= 100.
    load(section({"1.0 60.0 1 0", "2.0 1.0 1 0"}, 4, {}));
    EXPECT_DOUBLE_EQ(phi(0, 0, 6.0, 0.5), 2.0 * 6.0 * 0.5);
    EXPECT_TRUE(std::isfinite(phi(2, 2, 6.0, 0.5)));
}

}  // namespace

namespace {

// Sections loaded in turn and again in the other order (as fluids set up
// one after another load their equations again): each gives the values of
// its first load to the bit, and those of its published form.
TEST_F(FeqTest, SectionLoadedAgainGivesTheValuesOfItsFirstLoad) {
    const std::vector<std::string> texts = {section(kNormal, 4, kCrit),
                                            section(many_pairs(), 5, {}),
                                            section(kMixedSharing, 5, {}), section(kNormal, 4, {})};
    const int ij[][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 2}, {2, 0}};
    const double states[][2] = {{1.3, 0.4}, {0.7, 2.2}, {1.9, 0.05}, {0.5, 3.1}};
    auto values = [&](const std::string& text) {
        load(text);
        EXPECT_EQ(ierr, 0) << herr;
        std::vector<double> v;
        for (const auto& st : states)
            for (const auto& d : ij) v.push_back(phi(d[0], d[1], st[0], st[1]));
        return v;
    };
    std::vector<std::vector<double>> first;
    for (const auto& t : texts) first.push_back(values(t));
    for (std::size_t i = texts.size(); i-- > 0;)
        EXPECT_EQ(values(texts[i]), first[i]) << "section " << i;
    EXPECT_NE(first[0], first[3]);  // the critical terms count
}

// The integer powers a state shares among its terms are those of ipow to
// the bit, for every exponent a recipe holds (negative ones as the
// reciprocal), whatever others it was planned with, and beyond its range.
struct PowerCase {
    std::vector<int> exponents;
};

class PowerRecipeTest : public ::testing::TestWithParam<PowerCase> {};

TEST_P(PowerRecipeTest, PowersAreThoseOfIpowToTheBit) {
    lib::feqmath::PowerRecipe recipe;
    for (int e : GetParam().exponents) recipe.add(e);
    recipe.plan();
    const double xs[] = {0.3,
                         0.7071067811865476,
                         1.0,
                         1.0000001,
                         1.7320508075688772,
                         2.5,
                         3.9,
                         1e-3,
                         47.0,
                         -0.8,
                         -1.3,
                         1e-8,
                         1e8,
                         0.999999,
                         1.4142135623730951};
    int differ = 0, n = 0;
    for (double x : xs) {
        double p[lib::feqmath::kMaxIntPower + 1];
        recipe.form(x, p);
        for (int e : GetParam().exponents) {
            const double want = lib::feqmath::ipow(x, e);
            const double got = lib::feqmath::PowerRecipe::of(p, x, e);
            differ += std::memcmp(&want, &got, sizeof want) == 0 ? 0 : 1;
            ++n;
        }
    }
    EXPECT_EQ(differ, 0) << "of " << n;
}

INSTANTIATE_TEST_SUITE_P(Exponents, PowerRecipeTest,
                         ::testing::Values(PowerCase{{0}},
                                           PowerCase{
                                               {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
                                           PowerCase{{-1, 0, 1, 4, 6, 12, 13, 22, 23, 44, 46, 50}},
                                           PowerCase{{64, 63, 33, 31, -64}},
                                           PowerCase{{70, -80, 2, 3}}, PowerCase{{5, 5, -5, 9}}));

}  // namespace
