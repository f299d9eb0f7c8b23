// Enthalpies and entropies inside the band of an isobar's three-phase line
// (water with carbon dioxide or propane: two liquids below the line, a gas
// and water above it): the stable value jumps across the band, no state
// has a value inside it, and the flashes at given pressure refuse it with
// 248 once the line is found, not after Brent's method has closed on the
// jump (0.3 s, 2.2 million evaluations of the equation for carbon dioxide
// + water 90/10 at 4 MPa).  The states just beside the band are found.
#include <gtest/gtest.h>

#include <string>

#include "library/library.h"
#include "library/models/phik.h"
#include "library/phase/mixflash.h"
#include "tests/library/phase/mix_support.h"

namespace {

// An isobar's three-phase line: its temperature (where the (T, p) flash
// changes split) and the stable enthalpy (J/mol) and entropy (J/(mol K))
// just below and just above it.
struct Band {
    const char* names;
    double z1, P, T3;
    double h_below, h_above, s_below, s_above;
};

const Band kBands[] = {
    {"co2|water", 0.9, 4000.0, 278.557755482, 8489.962396, 16921.790279, 41.608518, 71.878104},
    {"co2|water", 0.5, 6000.0, 295.318957323, 6544.544591, 9559.809960, 29.267286, 39.477485},
    {"co2|water", 0.5, 2000.0, 253.688337470, 2264.152292, 8176.440020, 14.155919, 37.461238},
    {"co2|water", 0.1, 3000.0, 267.669989640, -26.764755, 712.701935, 1.201164, 3.963770},
    {"propane|water", 0.8, 4000.0, 365.244212581, 19070.089058, 23262.129742, 71.669947, 83.147309},
    {"propane|water", 0.8, 500.0, 274.829920449, 7233.149110, 20418.403113, 35.913385, 83.889434}};

// The evaluations of the equation a refusal may take (it took 300,000 at
// most once the line was found, up to 2.2 million before).
constexpr unsigned long long kMostEvaluations = 600000;

class ThreePhaseBand : public mixtest::MixtureSuite<::testing::TestWithParam<Band>> {
protected:
    void SetUp() override {
        const Band& c = GetParam();
        int ierr = 0;
        std::string herr, hrf = "DEF";
        lib::SETUP0(2, c.names, "hmx", hrf, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        z[0] = c.z1;
        z[1] = 1.0 - c.z1;
    }
    double z[20] = {};

    // PHFLSH ('H') or PSFLSH ('S') of b at the band's pressure.
    struct Result {
        double T = 0, q = 0;
        int ierr = 0;
        std::string herr;
        unsigned long long evaluations = 0;
    };
    Result flash(char letter, double b) const {
        Result r;
        double D, Dl, Dv, x[20], y[20], e, other, cv, cp, w;
        const unsigned long long before = lib::EOS_EVALUATIONS;
        if (letter == 'H')
            lib::PHFLSH(GetParam().P, b, z, r.T, D, Dl, Dv, x, y, r.q, e, other, cv, cp, w, r.ierr,
                        r.herr);
        else
            lib::PSFLSH(GetParam().P, b, z, r.T, D, Dl, Dv, x, y, r.q, e, other, cv, cp, w, r.ierr,
                        r.herr);
        r.evaluations = lib::EOS_EVALUATIONS - before;
        return r;
    }
};

TEST_P(ThreePhaseBand, ValuesInsideTheBandAreRefusedOnceTheLineIsFound) {
    const Band& c = GetParam();
    for (const char letter : {'H', 'S'}) {
        const double lo = letter == 'H' ? c.h_below : c.s_below;
        const double hi = letter == 'H' ? c.h_above : c.s_above;
        for (const double share : {0.01, 0.5, 0.99}) {
            const double b = lo + share * (hi - lo);
            SCOPED_TRACE(std::string(1, letter) + " = " + std::to_string(b));
            const Result r = flash(letter, b);
            EXPECT_EQ(r.ierr, 248);
            EXPECT_EQ(r.herr, std::string("[P") + letter +
                                  "FLSH error 248] iteration did not converge for the mixture "
                                  "along the isobar");
            EXPECT_EQ(r.q, 999.0);
            EXPECT_LT(r.evaluations, kMostEvaluations);
        }
    }
}

// The states 0.05 K below and above the line: each flash gives back its
// temperature (the band's test refuses nothing beside it).
TEST_P(ThreePhaseBand, StatesBesideTheBandAreFound) {
    const Band& c = GetParam();
    for (const double T : {c.T3 - 0.05, c.T3 + 0.05}) {
        double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(T, c.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        for (const char letter : {'H', 'S'}) {
            SCOPED_TRACE(std::string(1, letter) + " at " + std::to_string(T) + " K");
            const Result r = flash(letter, letter == 'H' ? h : s);
            EXPECT_LE(r.ierr, 0) << r.herr;
            EXPECT_NEAR(r.T, T, 1e-6);
            EXPECT_NEAR(r.q, q, 1e-7);
        }
    }
}

// The search along the isobar tells a value inside the band, and only
// there: just outside it (a part in 1e4 of its width) it finds the state.
TEST_P(ThreePhaseBand, SearchAlongTheIsobarTellsTheBand) {
    const Band& c = GetParam();
    const double width = c.h_above - c.h_below;
    const struct {
        double b;
        bool inside;
    } values[] = {{c.h_below + 0.5 * width, true},
                  {c.h_below - 1e-4 * width, false},
                  {c.h_above + 1e-4 * width, false}};
    for (const auto& v : values) {
        SCOPED_TRACE("h = " + std::to_string(v.b));
        lib::mix::TpState st;
        bool band = false;
        const bool found =
            lib::mix::on_isobar(c.P, 'H', v.b, z, c.T3 - 20.0, c.T3 + 20.0, st, &band);
        EXPECT_EQ(found, !v.inside);
        EXPECT_EQ(band, v.inside);
    }
}

INSTANTIATE_TEST_SUITE_P(WaterWithNonPolar, ThreePhaseBand, ::testing::ValuesIn(kBands));

}  // namespace
