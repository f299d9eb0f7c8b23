// The evaluators keep what they computed for the last state (term values of
// each component's equation, departure-function terms of each mixture model)
// and the mixture's critical-point estimate for recent compositions: what
// they return never depends on what was asked before.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "library/library.h"
#include "library/models/phik.h"
#include "tests/support/fluid.h"

namespace {

const int kOrders[][2] = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 0}, {2, 0},
                          {3, 0}, {1, 1}, {1, 2}, {2, 1}, {2, 2}};

// Every derivative at (tau, del) of the component (ic > 0) or the mixture x.
std::array<double, 11> all_orders(int ic, double tau, double del, const double x[20]) {
    std::array<double, 11> v{};
    for (std::size_t n = 0; n < v.size(); ++n) {
        const int i = kOrders[n][0], j = kOrders[n][1];
        v[n] = ic > 0 ? lib::PHIK(ic, i, j, tau, del) : lib::PHIX(i, j, tau, del, x);
    }
    return v;
}

// A state within 1e-13 of the one evaluated last is evaluated afresh: its
// values equal those after a far state, to the bit, over a grid of states.
void expect_history_free(int ic, const double x[20]) {
    int states = 0, differ = 0;
    for (int it = 0; it < 12; ++it) {
        for (int id = 0; id < 12; ++id) {
            const double tau = 0.3 + 0.2 * it, del = 0.002 * std::pow(1.9, id);
            const double tau2 = tau * (1.0 + 1e-13), del2 = del * (1.0 + 4e-16);
            all_orders(ic, 0.5 * tau, 3.0 * del, x);  // a far state first
            const auto fresh = all_orders(ic, tau2, del2, x);
            all_orders(ic, 0.5 * tau, 3.0 * del, x);
            all_orders(ic, tau, del, x);  // the neighbour first
            differ += all_orders(ic, tau2, del2, x) == fresh ? 0 : 1;
            ++states;
        }
    }
    EXPECT_EQ(differ, 0) << "of " << states << " states";
}

TEST(StateCacheTest, ComponentEquationsDoNotDependOnTheStateBefore) {
    ASSERT_EQ(testsupport::set_up("water"), "");
    const double x[20] = {1.0};
    expect_history_free(1, x);
}

TEST(StateCacheTest, MixtureDepartureTermsDoNotDependOnTheStateBefore) {
    ASSERT_EQ(testsupport::set_up("methane|ethane|nitrogen"), "");
    const double x[20] = {0.8, 0.15, 0.05};
    expect_history_free(0, x);
}

// Two states asked in turn (the phases of a split, a trial phase beside the
// feed), each for some orders, then for all in another sequence: every
// value is the one found at that state alone, to the bit, whether it comes
// from the state kept before the last or is formed anew.
void expect_two_states_in_turn(int ic, const double x[20]) {
    int pairs = 0, differ = 0;
    for (int it = 0; it < 6; ++it) {
        for (int id = 0; id < 8; ++id) {
            const double tau = 0.5 + 0.3 * it, del = 0.004 * std::pow(2.2, id);
            const double tb = 1.07 * tau, db = 0.6 * del;
            all_orders(ic, 0.5 * tau, 3.0 * del, x);  // far states first
            const auto a = all_orders(ic, tau, del, x);
            all_orders(ic, 0.5 * tau, 3.0 * del, x);
            const auto b = all_orders(ic, tb, db, x);
            all_orders(ic, 0.4 * tau, 2.0 * del, x);
            std::array<double, 11> ga{}, gb{};
            for (std::size_t n = 0; n < 11; ++n) {
                const std::size_t m = (n * 7) % 11;  // another sequence
                const double* xx = x;
                const auto at = [&](double t, double d, std::size_t k) {
                    const int i = kOrders[k][0], j = kOrders[k][1];
                    return ic > 0 ? lib::PHIK(ic, i, j, t, d) : lib::PHIX(i, j, t, d, xx);
                };
                ga[n] = at(tau, del, n);
                gb[m] = at(tb, db, m);
                if (n % 3 == 0) at(tau, del, (n + 5) % 11);  // a state asked twice running
            }
            differ += (ga == a && gb == b) ? 0 : 1;
            ++pairs;
        }
    }
    EXPECT_EQ(differ, 0) << "of " << pairs << " pairs of states";
}

TEST(StateCacheTest, TwoStatesInTurnGiveTheValuesOfEachAlone) {
    ASSERT_EQ(testsupport::set_up("water"), "");
    const double pure[20] = {1.0};
    expect_two_states_in_turn(1, pure);
    ASSERT_EQ(testsupport::set_up("methane|ethane|nitrogen"), "");
    const double x[20] = {0.8, 0.15, 0.05};
    expect_two_states_in_turn(0, x);
}

// The components of a mixture asked for one order after another (as the
// mixture model asks: one order of every component, then the next) give
// what each asked for all its orders alone gives, to the bit: what a
// component keeps of its state is its own.
TEST(StateCacheTest, ComponentsAskedInTurnDoNotDisturbOneAnother) {
    ASSERT_EQ(testsupport::set_up("nitrogen|oxygen|argon|co2"), "");
    constexpr int kComponents = 4;
    int states = 0, differ = 0;
    for (int it = 0; it < 8; ++it) {
        for (int id = 0; id < 10; ++id) {
            const double tau = 0.4 + 0.3 * it, del = 0.004 * std::pow(2.0, id);
            std::array<std::array<double, 11>, kComponents> alone{}, in_turn{};
            for (int ic = 1; ic <= kComponents; ++ic) {
                lib::PHIK(ic, 0, 0, 0.5 * tau, 3.0 * del);  // a far state first
                alone[static_cast<std::size_t>(ic - 1)] = all_orders(ic, tau, del, nullptr);
            }
            for (int ic = 1; ic <= kComponents; ++ic) lib::PHIK(ic, 0, 0, 0.5 * tau, 3.0 * del);
            for (std::size_t n = 0; n < 11; ++n)
                for (int ic = 1; ic <= kComponents; ++ic)
                    in_turn[static_cast<std::size_t>(ic - 1)][n] =
                        lib::PHIK(ic, kOrders[n][0], kOrders[n][1], tau, del);
            differ += alone == in_turn ? 0 : 1;
            ++states;
        }
    }
    EXPECT_EQ(differ, 0) << "of " << states << " states";
}

// The estimate is kept for the composition and follows the mixing
// parameters: changed with them and back again with the text's.
TEST(StateCacheTest, CriticalEstimateFollowsTheMixingParameters) {
    ASSERT_EQ(testsupport::set_up("methane|ethane"), "");
    const double x[20] = {0.5, 0.5};
    const auto crit = [&x] {
        double t = 0, p = 0, d = 0;
        int ierr = 0;
        std::string herr;
        lib::CRITP(x, t, p, d, ierr, herr);
        return std::array<double, 3>{t, p, d};
    };
    const auto first = crit();
    EXPECT_EQ(crit(), first);
    const double mine[6] = {1.0, 1.1, 1.0, 1.05, 0.5, 0.0};
    int ierr = 0;
    std::string herr;
    lib::SETKTV(1, 2, "KW1", mine, "hmx", ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NE(crit()[1], first[1]);
    lib::SETKTV(1, 2, "RST", mine, "", ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_EQ(crit(), first);
}

// Where the estimate lies at the mixture's reducing point (pairs without
// critical lines), its pressure comes from the values the set-up fixes
// there: PRESS at that point, to the bit, over compositions of gases and of
// a refrigerant blend, before and after the mixing parameters change.
TEST(StateCacheTest, CriticalPressureAtTheReducingPointIsTheEquations) {
    const char* mixtures[] = {
        "methane|ethane|propane", "nitrogen|oxygen|argon", "r32|r125|r134a",
        "methane|nitrogen|co2|ethane|propane|isobutane|butane|ipentane|pentane|hexane"};
    int reducing = 0;
    for (const char* names : mixtures) {
        ASSERT_EQ(testsupport::set_up(names), "") << names;
        const int nc = static_cast<int>(std::count(names, names + std::strlen(names), '|')) + 1;
        for (int k = 0; k < 40; ++k) {
            double x[20] = {}, sum = 0.0;
            for (int i = 0; i < nc; ++i)
                sum += x[i] = 1.0 + std::fmod(0.37 * (k + 1) * (i + 2), 3.0);
            for (int i = 0; i < nc; ++i) x[i] /= sum;
            if (k == 20) {
                const double mine[6] = {1.0, 1.02, 1.0, 1.01, 0.7, 0.0};
                int ierr = 0;
                std::string herr;
                lib::SETKTV(1, 2, "KW1", mine, "hmx", ierr, herr);
                ASSERT_LE(ierr, 0) << herr;
            }
            double t = 0, p = 0, d = 0, tred = 0, dred = 0, pe = 0;
            int ierr = 0;
            std::string herr;
            lib::CRITP(x, t, p, d, ierr, herr);
            lib::REDX(x, tred, dred);
            if (!(t == tred && d == dred)) continue;
            ++reducing;
            lib::PRESS(t, d, x, pe);
            EXPECT_EQ(p, pe) << names << " " << k;
        }
    }
    EXPECT_GE(reducing, 100);
}

}  // namespace
