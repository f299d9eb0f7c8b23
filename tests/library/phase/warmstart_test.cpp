// Warm starts of PHFLSH and PSFLSH (library/phase/warmstart.h): along paths
// of states like those of a turbo machine, a heat exchanger or a separator,
// a scope's flashes find the states of the cold road (single phase, two
// phase, stable or not), each root closer to its property than the cold
// road's, with a fraction of its evaluations; outside a scope nothing is
// kept.
#include "library/phase/warmstart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/phik.h"
#include "tests/support/fluid.h"

namespace {

struct Flash {
    double T = 0, D = 0, q = 0, h = 0, s = 0;
    int ierr = 0;
    unsigned long long evaluations = 0;  // of the equation, by the flash
};

// PHFLSH ('H') or PSFLSH ('S') at (P, b).
Flash flash(char letter, double P, double b, const double z[20]) {
    Flash r;
    const unsigned long long before = lib::EOS_EVALUATIONS;
    double Dl = 0, Dv = 0, x[20], y[20], e = 0, cv = 0, cp = 0, w = 0;
    std::string herr;
    if (letter == 'H') {
        r.h = b;
        lib::PHFLSH(P, b, z, r.T, r.D, Dl, Dv, x, y, r.q, e, r.s, cv, cp, w, r.ierr, herr);
    } else {
        r.s = b;
        lib::PSFLSH(P, b, z, r.T, r.D, Dl, Dv, x, y, r.q, e, r.h, cv, cp, w, r.ierr, herr);
    }
    r.evaluations = lib::EOS_EVALUATIONS - before;
    return r;
}

// One point of a path: the pressure and a state of the fluid there (its
// temperature), whose h and s the flashes are given.
struct Point {
    double P, T;
};

struct PathCase {
    const char* label;
    const char* names;
    std::vector<double> z;
    // The path runs geometrically from (p0, t0) to (p1, t1); with ds > 0 it
    // runs from (p0, t0) at the entropy of that state raised evenly by ds
    // (J/(mol K)) on the way, as an expansion with losses does, into the
    // two-phase region.
    double p0, p1, t0, t1, ds = 0;
};

// Flash results of a path, the warm ones from inside a scope.
struct Outcome {
    std::vector<Flash> cold, warm;
};

Outcome run(const PathCase& c, int n) {
    double z[20] = {};
    for (std::size_t i = 0; i < c.z.size(); ++i) z[i] = c.z[i];
    std::vector<std::pair<char, double>> given;
    std::vector<double> pressures;
    double s0 = 0;
    for (int k = 0; k <= n; ++k) {
        const double f = static_cast<double>(k) / n;
        const double P = c.p0 * std::pow(c.p1 / c.p0, f), T = c.t0 * std::pow(c.t1 / c.t0, f);
        double D = 0, Dl = 0, Dv = 0, x[20], y[20], q = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0,
               w = 0;
        int ierr = 0;
        std::string herr;
        if (k == 0 || c.ds == 0.0) {
            lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
            s0 = s;
        } else {
            s = s0 + f * c.ds;
            const Flash r = flash('S', P, s, z);
            h = r.h;
            ierr = r.ierr;
        }
        if (ierr > 0) continue;
        // The turbo machine's pattern: (p, h), then (p, s) and (p - dp, s).
        for (const auto& g : {std::pair{'H', h}, std::pair{'S', s}, std::pair{'S', s}}) {
            pressures.push_back(given.size() % 3 == 2 ? P - 1e-5 : P);
            given.push_back(g);
        }
    }
    Outcome o;
    for (std::size_t i = 0; i < given.size(); ++i)
        o.cold.push_back(flash(given[i].first, pressures[i], given[i].second, z));
    const lib::WarmStartScope warm;
    for (std::size_t i = 0; i < given.size(); ++i)
        o.warm.push_back(flash(given[i].first, pressures[i], given[i].second, z));
    return o;
}

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.label; }

class WarmStartPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(WarmStartPath, FindsTheStatesOfTheColdRoad) {
    const PathCase& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    const Outcome o = run(c, 40);
    ASSERT_GT(o.cold.size(), 60u);
    int differ = 0;
    unsigned long long cold = 0, warm = 0;  // evaluations of the single-phase flashes
    for (std::size_t i = 0; i < o.cold.size(); ++i) {
        const Flash &a = o.cold[i], &b = o.warm[i];
        if (a.q < 0.0 || a.q > 1.0) {
            cold += a.evaluations;
            warm += b.evaluations;
        }
        // (A mixture's two-phase state is found warm as well, its vapour
        // fraction the cold road's to the last digits of either root:
        // measured 1.4e-14 here, 3e-12 at most in warmsplit_test.)
        const bool split = a.q > 0.0 && a.q < 1.0;
        const bool same_q = split ? std::fabs(a.q - b.q) <= 1e-11 : a.q == b.q;
        const bool same = a.ierr == b.ierr && same_q && std::fabs(a.T - b.T) <= 1e-9 * a.T &&
                          std::fabs(a.D - b.D) <= 1e-8 * a.D;
        if (!same) {
            ++differ;
            ADD_FAILURE() << c.label << " flash " << i << ": T " << a.T << " " << b.T << " q "
                          << a.q << " " << b.q << " ierr " << a.ierr << " " << b.ierr;
        }
    }
    EXPECT_EQ(differ, 0) << c.label;
    // The single-phase flashes of a scope need a fraction of the cold road's
    // evaluations, measured a seventh to a thirteenth (the two-phase ones are
    // counted in warmsplit_test).
    EXPECT_LT(warm * 5, cold) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Paths, WarmStartPath,
                         ::testing::Values(
                             // A steam turbine into the wet region, and the feed pump's liquid.
                             PathCase{"steam", "water", {1.0}, 10000.0, 10.0, 823.15, 0.0, 20.0},
                             PathCase{"water", "water", {1.0}, 10.0, 10000.0, 318.15, 330.0},
                             // Dry air through a compressor; flue gas through a turbine.
                             PathCase{"air",
                                      "nitrogen|oxygen|argon|co2",
                                      {0.7808, 0.2095, 0.0093, 0.0004},
                                      101.325,
                                      1520.0,
                                      288.15,
                                      700.0},
                             PathCase{"flue gas",
                                      "nitrogen|oxygen|argon|co2|water",
                                      {0.74, 0.14, 0.009, 0.0755, 0.0355},
                                      1470.0,
                                      101.325,
                                      1400.0,
                                      780.0},
                             // Humid air cooled at 8 bar from hot through its dew point.
                             PathCase{"humid air",
                                      "nitrogen|oxygen|argon|co2|water",
                                      {0.7685, 0.2062, 0.0091, 0.0004, 0.0158},
                                      800.0,
                                      790.0,
                                      560.0,
                                      300.0}),
                         [](const ::testing::TestParamInfo<PathCase>& p) {
                             std::string s = p.param.label;
                             std::replace(s.begin(), s.end(), ' ', '_');
                             return s;
                         });

// A warm root satisfies its property to the last digits, the cold road's to
// about 1e-10 of the temperature.
TEST(WarmStart, RootsHoldTheirPropertyToTheLastDigits) {
    ASSERT_EQ(testsupport::set_up("water"), "");
    const double z[20] = {1.0};
    const lib::WarmStartScope warm;
    int loose = 0;
    for (int k = 0; k <= 40; ++k) {
        const double P = 5000.0 * std::pow(0.95, k), T = 780.0 - 4.0 * k;
        const Flash tp = [&] {
            Flash r;
            double Dl, Dv, x[20], y[20], e, cv, cp, w;
            std::string herr;
            lib::TPFLSH(T, P, z, r.D, Dl, Dv, x, y, r.q, e, r.h, r.s, cv, cp, w, r.ierr, herr);
            return r;
        }();
        const Flash f = flash('H', P, tp.h, z);
        double h = 0;
        lib::ENTHAL(f.T, f.D, z, h);
        if (!(std::fabs(h - tp.h) <= 1e-12 * std::max(std::fabs(tp.h), 1000.0))) ++loose;
    }
    EXPECT_EQ(loose, 0);
}

// A flash at the state just found, by another property of it, is that
// state without a Newton step: the turbo machine's flash at (p, s) after the
// one at (p, h) costs the properties alone (six evaluations of water's
// equation); one at a pressure 1e-5 kPa lower, one Newton step more.
TEST(WarmStart, StateJustFoundIsTakenWithoutAStep) {
    ASSERT_EQ(testsupport::set_up("water"), "");
    const double z[20] = {1.0};
    const lib::WarmStartScope warm;
    // (The first flashes also find the bounds of h and s at the pressures.)
    const Flash first = flash('H', 5200.0, 61000.0, z);
    flash('S', 5200.0, first.s, z);
    const Flash ph = flash('H', 5000.0, 60500.0, z);
    const Flash same = flash('S', 5000.0, ph.s, z);
    const Flash near = flash('S', 5000.0 - 1e-5, ph.s, z);
    ASSERT_EQ(ph.ierr, 0);
    EXPECT_EQ(same.T, ph.T);
    EXPECT_EQ(same.D, ph.D);
    EXPECT_EQ(same.evaluations, 6u);
    EXPECT_LE(near.evaluations, 12u);
    EXPECT_LT(near.T, ph.T);
}

// From a dense supercritical state a flash at low pressure finds the gas,
// not the liquid root of the same (T, P) that Newton's method from the dense
// state reaches first: pentane + toluene 1:1 compressed to 4.8 MPa, then its
// inlet gas at 17.5 kPa found again (it came back at 473.56 K, 6.13 mol/L,
// a superheated liquid, with ierr 0).
TEST(WarmStart, PlainGasFromADenseStateIsTheGas) {
    ASSERT_EQ(testsupport::set_up("pentane|toluene"), "");
    const double z[20] = {0.5, 0.5};
    const double P_low = 17.48602737, T_low = 321.2433405;
    double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(T_low, P_low, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    const lib::WarmStartScope warm;
    const Flash dense = flash('S', 4844.850115, s, z);
    ASSERT_EQ(dense.ierr, 0);
    ASSERT_GT(dense.D, 4.0);
    const Flash gas = flash('H', P_low, h, z);
    EXPECT_EQ(gas.ierr, 0);
    EXPECT_NEAR(gas.T, T_low, 1e-7 * T_low);
    EXPECT_NEAR(gas.D, D, 1e-8 * D);
}

struct TsCase {
    const char* label;
    const char* names;
    std::vector<double> z;
    double T, P;    // the state whose T and s TSFLSH is given
    double T0, P0;  // the state flashed before it, in the scope
};

void PrintTo(const TsCase& c, std::ostream* os) { *os << c.label; }

class WarmTs : public ::testing::TestWithParam<TsCase> {};

// TSFLSH of a gas starts from the last state of the composition and finds
// the state of the cold road (a flue gas far below the critical temperature
// of its water, whose cold road searches a dew point first; steam); where
// the state is two-phase (humid air below its dew point) the cold road's.
TEST_P(WarmTs, FindsTheStateOfTheColdRoad) {
    const TsCase& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    double z[20] = {};
    for (std::size_t i = 0; i < c.z.size(); ++i) z[i] = c.z[i];
    const auto tp = [&](double T, double P) {
        double D = 0, Dl = 0, Dv = 0, x[20], y[20], q = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0,
               w = 0;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        return std::pair{h, s};
    };
    const auto ts = [&](double T, double s) {
        Flash r;
        double Dl = 0, Dv = 0, x[20], y[20], e = 0, h = 0, cv = 0, cp = 0, w = 0, P = 0;
        std::string herr;
        lib::TSFLSH(T, s, z, lib::kLowerRoot, P, r.D, Dl, Dv, x, y, r.q, e, h, cv, cp, w, r.ierr,
                    herr);
        r.T = P;  // (the pressure found)
        return r;
    };
    const double s = tp(c.T, c.P).second;
    const Flash cold = ts(c.T, s);
    const lib::WarmStartScope warm;
    flash('H', c.P0, tp(c.T0, c.P0).first, z);  // the state before
    const Flash w = ts(c.T, s);
    EXPECT_EQ(w.ierr, cold.ierr);
    EXPECT_EQ(w.q, cold.q);
    EXPECT_NEAR(w.T, cold.T, 1e-9 * cold.T) << "pressure";
    EXPECT_NEAR(w.D, cold.D, 1e-9 * cold.D);
}

INSTANTIATE_TEST_SUITE_P(Cases, WarmTs,
                         ::testing::Values(TsCase{"flue gas",
                                                  "nitrogen|oxygen|argon|co2|water",
                                                  {0.767, 0.170, 0.0092, 0.0181, 0.0355},
                                                  596.58,
                                                  101.325,
                                                  1091.4,
                                                  1474.3},
                                           TsCase{
                                               "steam", "water", {1.0}, 500.0, 200.0, 520.0, 300.0},
                                           TsCase{"humid air below its dew point",
                                                  "nitrogen|oxygen|argon|co2|water",
                                                  {0.7685, 0.2062, 0.0091, 0.0004, 0.0158},
                                                  300.0,
                                                  790.0,
                                                  330.0,
                                                  795.0}));

TEST(WarmStart, ScopesNestAndASetUpForgets) {
    ASSERT_EQ(testsupport::set_up("water"), "");
    const double z[20] = {1.0};
    lib::warm::State s;
    EXPECT_FALSE(lib::warm::active());
    {
        const lib::WarmStartScope outer;
        {
            const lib::WarmStartScope inner;
            flash('H', 1000.0, 60000.0, z);
            EXPECT_TRUE(lib::warm::recall(z, s));
        }
        EXPECT_TRUE(lib::warm::active());
        EXPECT_TRUE(lib::warm::recall(z, s));  // kept until the outermost ends
        ASSERT_EQ(testsupport::set_up("nitrogen"), "");
        EXPECT_FALSE(lib::warm::recall(z, s));  // a new set-up
    }
    EXPECT_FALSE(lib::warm::active());
    ASSERT_EQ(testsupport::set_up("water"), "");
    flash('H', 1000.0, 60000.0, z);
    EXPECT_FALSE(lib::warm::recall(z, s));  // nothing kept outside a scope
}

struct GasCase {
    const char* label;
    double T, P;
    std::vector<double> z;  // nitrogen, oxygen, argon, co2, water
    bool plain;
};

void PrintTo(const GasCase& c, std::ostream* os) { *os << c.label; }

class PlainlyGas : public ::testing::TestWithParam<GasCase> {};

TEST_P(PlainlyGas, IdealDewPointSumWithAMargin) {
    const GasCase& c = GetParam();
    ASSERT_EQ(testsupport::set_up("nitrogen|oxygen|argon|co2|water"), "");
    double z[20] = {};
    for (std::size_t i = 0; i < c.z.size(); ++i) z[i] = c.z[i];
    EXPECT_EQ(lib::warm::plainly_gas(c.T, c.P, z), c.plain) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlainlyGas,
    ::testing::Values(
        GasCase{"dry air", 288.15, 101.325, {0.7808, 0.2095, 0.0093, 0.0004, 0.0}, true},
        GasCase{"dry air compressed", 700.0, 1520.0, {0.7808, 0.2095, 0.0093, 0.0004, 0.0}, true},
        GasCase{"dry air cold", 100.0, 101.325, {0.7808, 0.2095, 0.0093, 0.0004, 0.0}, false},
        GasCase{"air above its highest critical pressure",
                700.0,
                9000.0,
                {0.7808, 0.2095, 0.0093, 0.0004, 0.0},
                false},
        GasCase{
            "humid air at 70 %", 293.15, 101.325, {0.7685, 0.2062, 0.0091, 0.0004, 0.0158}, false},
        GasCase{"humid air compressed and hot",
                560.0,
                800.0,
                {0.7685, 0.2062, 0.0091, 0.0004, 0.0158},
                true},
        GasCase{"humid air below the triple point of water",
                250.0,
                101.325,
                {0.7685, 0.2062, 0.0091, 0.0004, 0.0010},
                false},
        GasCase{"flue gas hot", 800.0, 101.325, {0.74, 0.14, 0.009, 0.0755, 0.0355}, true}),
    [](const ::testing::TestParamInfo<GasCase>& p) {
        std::string s = p.param.label;
        for (char& ch : s)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return s;
    });

}  // namespace
