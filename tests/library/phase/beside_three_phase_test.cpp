// States of binaries next to a three-phase line or among two liquids, from
// the whole-region round trips of the binary pairs: the (T, p) flash's state
// at (T, P) is given back by TQFLSH (T and its vapour fraction), PQFLSH (P
// and its vapour fraction), THFLSH and TSFLSH (T and its enthalpy or
// entropy, lower root), with its phases in equilibrium.  Each was missed
// once: the two-phase solver ended on no split and nothing else was tried
// (a light gas over a heavy liquid), or no dew point was found; a dew point
// found among two liquids above the three-phase line was taken for the
// vapour's; or the search for two liquids below the single phase's least
// value ended too early.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "tests/library/phase/lle_support.h"
#include "tests/library/phase/mix_support.h"

namespace {

struct State {
    const char* flash;  // "TQ", "PQ", "TH" or "TS"
    const char* names;
    double z1, T, P;  // first component's mole fraction, K, kPa
};

const State kStates[] = {
    // The two-phase solver ended on phases that do not add up to the feed:
    // a gas of the light component over the heavy one's liquid.
    {"TQ", "methane|ipentane", 0.5, 134.121198, 178.32686},
    {"TQ", "methane|ipentane", 0.5, 134.121198, 34.9516621},
    {"TQ", "propane|co", 0.5, 101.92296, 207.4516},
    {"TQ", "argon|r22", 0.5, 131.715335, 275.496013},
    {"TQ", "water|h2s", 0.5, 298.392475, 306.315879},
    {"TQ", "nitrogen|ethane", 0.5, 103.105732, 232.830282},
    {"TQ", "ethane|nonane", 0.5, 280.270873, 745.850964},
    {"TQ", "mpalmita|propane", 0.5, 332.946189, 249.591366},
    {"PQ", "cyclopro|xenon", 0.5, 216.991681, 638.413113},
    {"PQ", "co2|mstearat", 0.5, 551.636327, 3137.57066},
    {"PQ", "ethane|nonane", 0.5, 239.890291, 64.7185324},
    // No bubble point at T: the splits continued from the dew point lost
    // the way.
    {"TQ", "nitrogen|pentane", 0.5, 236.286835, 5050.45261},
    {"TQ", "c4f10|methane", 0.5, 160.531858, 804.374722},
    {"TQ", "ethanol|r23", 0.5, 221.399623, 291.154318},
    // No dew point found at T, only a bubble point.
    {"TQ", "hcl|methanol", 0.5, 429.791414, 2858.47957},
    {"TQ", "hcl|methanol", 0.5, 491.331488, 6456.68439},
    // The dew point found lies among two liquids, above the three-phase
    // line; the vapour and liquid lie below it.
    {"TQ", "pentane|water", 0.5, 291.710002, 51.0932325},
    {"TQ", "hexane|water", 0.5, 340.668905, 103.304012},
    {"TQ", "ammonia|propane", 0.5, 213.455322, 57.5958232},
    {"TQ", "octane|water", 0.5, 460.232782, 1350.46795},
    {"TS", "pentane|water", 0.5, 328.810006, 51.0932325},
    {"TS", "ammonia|propane", 0.5, 213.455322, 57.5958232},
    {"TS", "hexane|water", 0.5, 340.668905, 103.304012},
    // The lower root of the enthalpy came back as two liquids at 350 to
    // 500 MPa with no warning.
    {"TH", "pentane|water", 0.5, 328.810006, 51.0932325},
    {"TH", "pentane|water", 0.5, 328.810006, 115.408513},
    {"TH", "hexane|water", 0.5, 340.668905, 103.304012},
    // Two liquids whose enthalpy lies below the single phase's least.
    {"TH", "butane|r245fa", 0.5, 246.84289, 80.0231741},
    {"TH", "butane|r245fa", 0.5, 246.84289, 922.229836},
    {"TH", "butane|r245fa", 0.5, 246.84289, 4705.30845},
    // Two liquids far from pure ones below a compressed liquid of the same
    // entropy (53 MPa), which came back as the lower root.
    {"TS", "r32|cf3i", 0.5, 150.154854, 48.34},
    {"TS", "r32|cf3i", 0.5, 150.154854, 1000.0}};

using BesideThreePhase = lletest::BinaryState<State>;

TEST_P(BesideThreePhase, FlashGivesBackTheStateWithItsPhasesInEquilibrium) {
    const State& c = GetParam();
    const std::string flash = c.flash;
    SCOPED_TRACE(flash + "FLSH of " + c.names + " at T=" + lletest::number(c.T) +
                 " K, p=" + lletest::number(c.P) + " kPa");
    const auto found = flash_back(flash);
    ASSERT_LE(found.ierr, 0) << found.herr;
    EXPECT_NEAR(found.T, c.T, 1e-6 * c.T);
    EXPECT_NEAR(found.P, c.P, 1e-6 * c.P);
    EXPECT_NEAR(found.q, q, 1e-6);
    EXPECT_NEAR(found.D, D, 1e-6 * D);
    EXPECT_LE(mixtest::fugacity_mismatch(found.T, found.Dl, found.Dv, found.x, found.y, z), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(BinaryPairs, BesideThreePhase, ::testing::ValuesIn(kStates),
                         lletest::state_name<State>);

}  // namespace
