// States of binaries whose vapour fraction the quality flashes reach only
// across a jump of the isotherm or isobar: a three-phase line (a vapour and
// liquid below, two liquids above, whose vapour fraction hardly changes
// over decades of pressure), two dense phases whose names cross, or a turn
// of the vapour fraction that does not reach the value.  From the (T, p)
// flash's state, TQFLSH (T and its vapour fraction) and PQFLSH (P and its
// vapour fraction) must give a state that the (T, p) flash has at the
// (T, P) found, with that vapour fraction and its phases in equilibrium
// (where two liquids hold a vapour fraction over a range of pressures the
// state need not be the one started from).  Each was refused once (219,
// 225, 295) or failed on SATP.  The flashes at given T of an enthalpy and
// an entropy beside them keep the state they found before.
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
    // Two liquids beyond a three-phase line: the march from the dew point
    // narrowed the jump until its states were spent.
    {"TQ", "octane|water", 0.5, 300.951612, 518.7838178},
    {"TQ", "decane|water", 0.5, 330.6641512, 105.9567996},
    {"TQ", "propane|water", 0.8, 342.6601779, 9490.446822},
    {"TQ", "butane|r245fa", 0.2, 228.1806424, 79.96735063},
    // The same, with a liquid of nearly pure R245fa below that fluid's
    // triple point, which the (T, p) flash gives.
    {"TQ", "butane|r245fa", 0.2, 154.7049457, 79.96735063},
    // A vapour of nearly pure ammonia and two liquids whose phases have
    // its composition the other way round (not a renaming).
    {"TQ", "ammonia|octane", 0.8, 239.6556559, 128.0238435},
    // Down the isobar: a turn of the vapour fraction, then the names of
    // two dense phases crossing.
    {"PQ", "nitrogen|ethane", 0.8, 98.8359638, 7878.038952},
    // A dew point among two liquids (no 1 of the vapour fraction there).
    {"PQ", "hexane|water", 0.5, 263.166169, 9146.874464},
    // The turn of a march down searched on its longer side.
    {"PQ", "1butene|r32", 0.5, 260.5128653, 8644.134287},
    // Searches of an entropy and an enthalpy along a continued split and
    // among two liquids, whose roads stay as they were.
    {"TS", "argon|r22", 0.2, 110.6724666, 519.4840624},
    {"TH", "butane|water", 0.8, 306.082388, 91.15475824}};

using QualityBeyondJump = lletest::BinaryState<State>;

TEST_P(QualityBeyondJump, FlashGivesAStateOfTheTpFlash) {
    const State& c = GetParam();
    const std::string flash = c.flash;
    SCOPED_TRACE(flash + "FLSH of " + c.names + " at T=" + lletest::number(c.T) +
                 " K, p=" + lletest::number(c.P) + " kPa");
    const auto found = flash_back(flash);
    ASSERT_LE(found.ierr, 0) << found.herr;
    ASSERT_TRUE(q > 0.0 && q < 1.0);
    EXPECT_NEAR(found.q, q, 1e-6);
    EXPECT_LE(mixtest::fugacity_mismatch(found.T, found.Dl, found.Dv, found.x, found.y, z), 1e-9);
    if (flash == "TH" || flash == "TS") {
        EXPECT_NEAR(found.P, c.P, 1e-6 * c.P);
        return;
    }
    // The (T, p) flash at the state found: the same split.
    double D3 = 0, Dl3 = 0, Dv3 = 0, x3[20] = {}, y3[20] = {}, q3 = 0, e3 = 0, h3 = 0, s3 = 0,
           cv3 = 0, cp3 = 0, w3 = 0;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(found.T, found.P, z, D3, Dl3, Dv3, x3, y3, q3, e3, h3, s3, cv3, cp3, w3, ierr,
                herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NEAR(q3, q, 1e-6) << "at T=" << found.T << " K, p=" << found.P << " kPa";
    EXPECT_NEAR(D3, found.D, 1e-6 * D3);
    EXPECT_NEAR(h3, found.h, 1e-7 * (std::fabs(h3) + 8.314 * found.T));
}

INSTANTIATE_TEST_SUITE_P(BinaryPairs, QualityBeyondJump, ::testing::ValuesIn(kStates),
                         lletest::state_name<State>);

}  // namespace
