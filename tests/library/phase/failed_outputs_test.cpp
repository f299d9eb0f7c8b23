// What a flash or saturation routine hands back when it fails: every number
// it computes 0, the quality kQualityFailed, both phase compositions the
// feed's, whichever road gave up (a saturation iteration that stopped at the
// critical estimate, a search down an isobar, a state frozen out, an input
// out of range or not a number); and the states a mixture's (T, p) flash
// gives a little below its lower temperature limit are found again by the
// flashes at given pressure.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "library/library.h"
#include "tests/support/fluid.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

enum class Call { TP, TD, PD, PH, PS, TH, TS, DH, HS, TQ, PQ, SATT, SATP, SATD };

// Every output of one call: `values` the computed numbers, `q` the quality
// (kQualityFailed where the routine gives none).
struct Outputs {
    std::vector<double> values;
    double q = lib::kQualityFailed;
    double x[20] = {}, y[20] = {};
    int ierr = 0;
    std::string herr;
};

// A number no routine computes: what a routine leaves unset shows.
constexpr double kSeed = 12345.678;

Outputs call(Call c, double a, double b, const double z[20]) {
    Outputs o;
    double T = kSeed, P = kSeed, D = kSeed, Dl = kSeed, Dv = kSeed, e = kSeed, h = kSeed, s = kSeed,
           cv = kSeed, cp = kSeed, w = kSeed, q = kSeed;
    for (int i = 0; i < 20; ++i) o.x[i] = o.y[i] = kSeed;
    int kr = 0;
    switch (c) {
        case Call::TP:
            lib::TPFLSH(a, b, z, D, Dl, Dv, o.x, o.y, q, e, h, s, cv, cp, w, o.ierr, o.herr);
            o.values = {D, Dl, Dv, e, h, s, cv, cp, w};
            break;
        case Call::TD:
            lib::TDFLSH(a, b, z, P, Dl, Dv, o.x, o.y, q, e, h, s, cv, cp, w, o.ierr, o.herr);
            o.values = {P, Dl, Dv, e, h, s, cv, cp, w};
            break;
        case Call::PD:
            lib::PDFLSH(a, b, z, T, Dl, Dv, o.x, o.y, q, e, h, s, cv, cp, w, o.ierr, o.herr);
            o.values = {T, Dl, Dv, e, h, s, cv, cp, w};
            break;
        case Call::PH:
            lib::PHFLSH(a, b, z, T, D, Dl, Dv, o.x, o.y, q, e, s, cv, cp, w, o.ierr, o.herr);
            o.values = {T, D, Dl, Dv, e, s, cv, cp, w};
            break;
        case Call::PS:
            lib::PSFLSH(a, b, z, T, D, Dl, Dv, o.x, o.y, q, e, h, cv, cp, w, o.ierr, o.herr);
            o.values = {T, D, Dl, Dv, e, h, cv, cp, w};
            break;
        case Call::TH:
            lib::THFLSH(a, b, z, lib::kLowerRoot, P, D, Dl, Dv, o.x, o.y, q, e, s, cv, cp, w,
                        o.ierr, o.herr);
            o.values = {P, D, Dl, Dv, e, s, cv, cp, w};
            break;
        case Call::TS:
            lib::TSFLSH(a, b, z, lib::kLowerRoot, P, D, Dl, Dv, o.x, o.y, q, e, h, cv, cp, w,
                        o.ierr, o.herr);
            o.values = {P, D, Dl, Dv, e, h, cv, cp, w};
            break;
        case Call::DH:
            lib::DHFLSH(a, b, z, T, P, Dl, Dv, o.x, o.y, q, e, s, cv, cp, w, o.ierr, o.herr);
            o.values = {T, P, Dl, Dv, e, s, cv, cp, w};
            break;
        case Call::HS:
            lib::HSFLSH(a, b, z, T, P, D, Dl, Dv, o.x, o.y, q, e, cv, cp, w, o.ierr, o.herr);
            o.values = {T, P, D, Dl, Dv, e, cv, cp, w};
            break;
        case Call::TQ:
            lib::TQFLSH(a, b, z, lib::kMolarQuality, P, D, Dl, Dv, o.x, o.y, e, h, s, cv, cp, w,
                        o.ierr, o.herr);
            o.values = {P, D, Dl, Dv, e, h, s, cv, cp, w};
            break;
        case Call::PQ:
            lib::PQFLSH(a, b, z, lib::kMolarQuality, T, D, Dl, Dv, o.x, o.y, e, h, s, cv, cp, w,
                        o.ierr, o.herr);
            o.values = {T, D, Dl, Dv, e, h, s, cv, cp, w};
            break;
        case Call::SATT:
            lib::SATT(a, z, static_cast<int>(b), P, Dl, Dv, o.x, o.y, o.ierr, o.herr);
            o.values = {P, Dl, Dv};
            break;
        case Call::SATP:
            lib::SATP(a, z, static_cast<int>(b), T, Dl, Dv, o.x, o.y, o.ierr, o.herr);
            o.values = {T, Dl, Dv};
            break;
        case Call::SATD:
            lib::SATD(a, z, static_cast<int>(b), kr, T, P, Dl, Dv, o.x, o.y, o.ierr, o.herr);
            o.values = {T, P, Dl, Dv};
            break;
    }
    if (q != kSeed) o.q = q;
    return o;
}

struct Failing {
    const char* fluid;
    double z0;  // mole fraction of the first component (1 for a pure fluid)
    Call call;
    const char* name;
    double a, b;
    int ierr;  // the error expected
};

// Failures whose outputs held a state of the search before: the critical
// estimate (P 18.9 MPa, D 17.2 mol/L of carbon dioxide + water 10/90), an
// intermediate saturation state (143.6 K, 65.9 and 0.71 mol/L), a trial
// phase of the stability test (x 0.061), the ideal gas at an input beyond
// the range; and inputs refused at once.
const Failing kFailing[] = {
    {"co2|water", 0.1, Call::TQ, "TQFLSH bubble point, liquid splits", 300.0, 0.0, 128},
    {"co2|water", 0.1, Call::SATT, "SATT bubble point, liquid splits", 300.0, 1.0, 128},
    {"co2|water", 0.1, Call::PQ, "PQFLSH bubble point", 2000.0, 0.0, 148},
    {"co2|water", 0.1, Call::SATP, "SATP bubble point", 2000.0, 1.0, 148},
    {"co2|water", 0.1, Call::SATP, "SATP bubble point, 30 MPa", 30000.0, 1.0, 148},
    {"co2|water", 0.1, Call::PH, "PHFLSH below every state", 2000.0, -6e4, 248},
    {"co2|water", 0.1, Call::PH, "PHFLSH above the bounds", 2000.0, 1e6, 249},
    {"co2|water", 0.1, Call::TP, "TPFLSH water frozen out", 240.0, 2000.0, 250},
    {"co2|water", 0.1, Call::TP, "TPFLSH beyond 1.5 Tmax", 1e5, 2000.0, 1},
    {"co2|water", 0.1, Call::TP, "TPFLSH T not a number", kNaN, 2000.0, 1},
    {"co2|water", 0.1, Call::TH, "THFLSH below every state", 300.0, -6e4, 248},
    {"co2|water", 0.1, Call::TD, "TDFLSH above the density limit", 300.0, 100.0, 2},
    {"co2|water", 0.1, Call::HS, "HSFLSH no state", -6e4, 10.0, 200},
    {"co2|water", 0.1, Call::DH, "DHFLSH no state", 60.0, -6e4, 248},
    {"water", 1.0, Call::TP, "TPFLSH below Tmin", 200.0, 100.0, 1},
    {"water", 1.0, Call::TP, "TPFLSH negative T", -5.0, 100.0, 1},
    {"water", 1.0, Call::PH, "PHFLSH below the bounds", 100.0, -1e6, 249},
    {"water", 1.0, Call::PH, "PHFLSH h infinite", 100.0, kInf, 1},
    {"water", 1.0, Call::PQ, "PQFLSH above Pc", 1e5, 0.5, 291},
    {"water", 1.0, Call::PQ, "PQFLSH below the triple point", 0.1, 0.5, 2},
    {"water", 1.0, Call::SATP, "SATP above Pc", 1e5, 1.0, 141},
    {"water", 1.0, Call::SATD, "SATD negative D", -1.0, 0.0, 2},
    {"water", 1.0, Call::TS, "TSFLSH T not a number", kNaN, 10.0, 1},
    {"water", 1.0, Call::PD, "PDFLSH zero D", 100.0, 0.0, 216},
};

void PrintTo(const Failing& f, std::ostream* os) { *os << f.fluid << ", " << f.name; }

class FailedOutputsTest : public ::testing::TestWithParam<Failing> {};

TEST_P(FailedOutputsTest, HoldNothingOfTheSearch) {
    const Failing& f = GetParam();
    ASSERT_EQ(testsupport::set_up(f.fluid), "");
    double z[20] = {f.z0, 1.0 - f.z0};
    if (f.z0 == 1.0) z[1] = 0.0;
    const Outputs o = call(f.call, f.a, f.b, z);
    EXPECT_EQ(o.ierr, f.ierr) << o.herr;
    ASSERT_GT(o.ierr, 0);
    for (std::size_t i = 0; i < o.values.size(); ++i)
        EXPECT_EQ(o.values[i], 0.0) << "output " << i << ": " << o.herr;
    EXPECT_EQ(o.q, lib::kQualityFailed);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(o.x[i], z[i]) << "x" << i;
        EXPECT_EQ(o.y[i], z[i]) << "y" << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Failures, FailedOutputsTest, ::testing::ValuesIn(kFailing),
                         [](const ::testing::TestParamInfo<Failing>& i) {
                             std::string n = std::to_string(i.index) + "_" + i.param.name;
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

// A success keeps what it found (the dew point beside the failing bubble
// point above).
TEST(FailedOutputs, SuccessKeepsItsValues) {
    ASSERT_EQ(testsupport::set_up("co2|water"), "");
    const double z[20] = {0.1, 0.9};
    const Outputs o = call(Call::TQ, 300.0, 1.0, z);
    ASSERT_EQ(o.ierr, 0) << o.herr;
    EXPECT_GT(o.values[0], 0.0);
    EXPECT_NE(o.x[0], z[0]);
}

// Carbon dioxide + water 10/90 at 2 MPa: the range check takes a mixture's
// states down to its lower limit less an allowance (its liquid water down
// to 0.9 of the triple point); the (T, p) flash gives a split there, and
// the flashes at given pressure find it again (they searched the isobar
// down to the limit only, and failed with 248 and 295).
TEST(FailedOutputs, BelowTheMixtureLimitEveryRoadAgrees) {
    ASSERT_EQ(testsupport::set_up("co2|water"), "");
    const double z[20] = {0.1, 0.9};
    const struct {
        double T, P;
    } states[] = {
        {255.0, 2000.0}, {256.0, 2000.0}, {257.0, 2000.0}, {250.0, 5000.0}, {250.0, 20000.0}};
    for (const auto& [T, P] : states) {
        SCOPED_TRACE(testing::Message() << T << " K, " << P << " kPa");
        const Outputs tp = call(Call::TP, T, P, z);
        ASSERT_EQ(tp.ierr, 0) << tp.herr;
        const double h = tp.values[4], s = tp.values[5];
        const Outputs ph = call(Call::PH, P, h, z);
        ASSERT_EQ(ph.ierr, 0) << ph.herr;
        EXPECT_NEAR(ph.values[0], T, 1e-6 * T);
        const Outputs ps = call(Call::PS, P, s, z);
        ASSERT_EQ(ps.ierr, 0) << ps.herr;
        EXPECT_NEAR(ps.values[0], T, 1e-6 * T);
        const Outputs pq = call(Call::PQ, P, tp.q, z);
        ASSERT_EQ(pq.ierr, 0) << pq.herr;
        EXPECT_NEAR(pq.values[0], T, 1e-6 * T);
    }
    // Below the freezing floor every road refuses the state.
    EXPECT_EQ(call(Call::TP, 245.0, 2000.0, z).ierr, 250);
}

}  // namespace
