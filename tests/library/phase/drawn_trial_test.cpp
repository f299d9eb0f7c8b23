// A trial of the tangent-plane test that is drawn into the feed from some
// way out ends there at once (no more steps on its way to the feed): the
// verdicts of the test over a grid of states of mixtures of three and more
// components are those it gave when every such trial went on to the feed.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <string>

#include "library/library.h"
#include "library/phase/stability.h"
#include "tests/library/phase/mix_support.h"

namespace {

using mixtest::Mixture;

constexpr int kGrid = 9;

// The verdicts over T = (0.6 + 0.15 a) Tc, P = (0.05 + 0.24375 b) Pc of the
// estimated critical point, row a, column b: 'V' a stable gas-like root,
// 'L' a stable liquid-like root, 'U' unstable, '-' no root.
struct Verdicts {
    const char* label;
    std::array<const char*, kGrid> rows;
};

const Verdicts kVerdicts[] = {
    {"air",
     {"LLLLLLLLL", "VLLLLLLLL", "VVULLLLLL", "VVVVVVLLL", "VVVVVVVVV", "VVVVVVVVV", "VVVVVVVVV",
      "VVVVVVVVV", "VVVVVVVVV"}},
    {"natural gas (3)",
     {"LLLLLLLLL", "ULLLLLLLL", "UUULLLLLL", "VVUUUULLL", "VVVVVVVVV", "VVVVVVVVV", "VVVVVVVVV",
      "VVVVVVVVV", "VVVVVVVVV"}},
    {"natural gas (10)",
     {"ULLLLLLLL", "UULLLLLLL", "UUUULLLLL", "UUUUUUUUL", "VUUUUUUUU", "VVUUUUUUU", "VVVVVVVVV",
      "VVVVVVVVV", "VVVVVVVVV"}},
};

const Mixture* mixture(const std::string& label) {
    for (const Mixture& m : mixtest::mixtures())
        if (m.label == label) return &m;
    return nullptr;
}

char verdict(const lib::mix::Stability& s) {
    if (!s.found) return '-';
    if (!s.stable) return 'U';
    return s.liquid_like ? 'L' : 'V';
}

class DrawnTrial : public mixtest::MixtureSuite<::testing::TestWithParam<Verdicts>> {};

TEST_P(DrawnTrial, VerdictsOverGridUnchanged) {
    const Verdicts& v = GetParam();
    const Mixture* m = mixture(v.label);
    ASSERT_NE(m, nullptr) << v.label;
    ASSERT_TRUE(mixtest::setup(*m));
    double z[20];
    m->fill(z);
    double Tc = 0, Pc = 0, Dc = 0;
    int ierr = 0;
    std::string herr;
    lib::CRITP(z, Tc, Pc, Dc, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    for (int a = 0; a < kGrid; ++a) {
        std::string row;
        for (int b = 0; b < kGrid; ++b) {
            const double T = Tc * (0.6 + 0.15 * a), P = Pc * (0.05 + 0.24375 * b);
            const lib::mix::Stability s = lib::mix::stability(T, P, z);
            row += verdict(s);
            // An unstable feed's trial lies below the plane.
            if (!s.stable) {
                EXPECT_LT(s.tm, 0.0) << v.label << " at " << T << " K, " << P << " kPa";
            }
        }
        EXPECT_EQ(row, v.rows[static_cast<std::size_t>(a)])
            << v.label << " at " << Tc * (0.6 + 0.15 * a) << " K";
    }
}

INSTANTIATE_TEST_SUITE_P(Mixtures, DrawnTrial, ::testing::ValuesIn(kVerdicts),
                         [](const ::testing::TestParamInfo<Verdicts>& p) {
                             std::string name;
                             for (const char* c = p.param.label; *c != '\0'; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                             return name;
                         });

}  // namespace
