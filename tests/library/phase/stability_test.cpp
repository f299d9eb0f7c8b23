// The tangent-plane test of a mixture and its cricondentherm cache: states
// above the traced cricondentherm get the test's own verdict without it, the
// trace keeps the caller's splines, a trace that does not close gives no
// shortcut, a new set-up or new mixing parameters forget it, and a trial
// never takes a density root from a loop of the equation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/phik.h"
#include "library/phase/envelope.h"
#include "library/phase/records.h"
#include "library/phase/satspln.h"
#include "library/phase/stability.h"
#include "tests/library/phase/mix_support.h"
#include "tests/support/fluid.h"

namespace {

using mixtest::Mixture;

const Mixture& mixture(const std::string& label) {
    for (const Mixture& m : mixtest::mixtures())
        if (m.label == label) return m;
    return mixtest::mixtures().front();
}

// Dry ISO Air (its 0.04 % of carbon dioxide frozen below 195 K) set up, its
// fractions in z.
bool set_up_dry_iso_air(double z[20]) {
    static const Mixture iso{
        "Dry ISO Air", "oxygen|nitrogen|argon|co2", {0.20942, 0.78086, 0.00934, 0.00038}};
    if (!mixtest::setup(iso)) return false;
    iso.fill(z);
    return true;
}

// The cricondentherm of z, traced by as many calls as the cache waits for
// and its slices take; the most evaluations one call spent.
bool traced(const double z[20], double& tmax, unsigned long long* most = nullptr) {
    for (int k = 0; k < lib::mix::kTraceAfter + lib::mix::kTraceSlices; ++k) {
        const unsigned long long e0 = lib::EOS_EVALUATIONS;
        lib::mix::above_envelope(300.0, z);
        if (most != nullptr) *most = std::max(*most, lib::EOS_EVALUATIONS - e0);
    }
    return lib::mix::cricondentherm(z, tmax);
}

class Envelope : public ::testing::TestWithParam<const char*> {};

// Above the cricondentherm the cached verdict is the full test's: stable,
// with the same root; just below it a dew point still exists, above it none.
TEST_P(Envelope, CachedVerdictIsTheTestsOwn) {
    const Mixture& m = mixture(GetParam());
    ASSERT_TRUE(mixtest::setup(m));
    double z[20];
    m.fill(z);
    double tmax = 0.0;
    ASSERT_TRUE(traced(z, tmax)) << m.label;
    double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    lib::SATT(0.99 * tmax, z, lib::kDewPoint, P, Dl, Dv, xl, xv, ierr, herr);
    EXPECT_EQ(ierr, 0) << m.label << " at " << 0.99 * tmax << " K: " << herr;
    lib::SATT(1.002 * tmax, z, lib::kDewPoint, P, Dl, Dv, xl, xv, ierr, herr);
    EXPECT_GT(ierr, 0) << m.label << " dew point above the cricondentherm " << tmax;

    // The full test first (the cache forgotten before each call, so that it
    // never traces), then the cached verdicts.
    std::vector<lib::mix::Stability> full;
    const double factors[] = {1.0101, 1.05, 1.3, 2.0};
    const double pressures[] = {10.0, 300.0, 3000.0, 10000.0, 30000.0};
    for (double f : factors)
        for (double p : pressures) {
            lib::mix::forget_envelopes();
            full.push_back(lib::mix::stability(f * tmax, p, z));
        }
    ASSERT_TRUE(traced(z, tmax));
    std::size_t k = 0;
    for (double f : factors)
        for (double p : pressures) {
            const double T = f * tmax;
            ASSERT_TRUE(lib::mix::above_envelope(T, z));
            const lib::mix::Stability cached = lib::mix::stability(T, p, z);
            const lib::mix::Stability& s = full[k++];
            EXPECT_TRUE(s.found && s.stable) << m.label << " at " << T << " K, " << p << " kPa";
            EXPECT_EQ(cached.found, s.found);
            EXPECT_EQ(cached.stable, s.stable);
            EXPECT_EQ(cached.D, s.D);
            EXPECT_EQ(cached.liquid_like, s.liquid_like);
        }
}

INSTANTIATE_TEST_SUITE_P(Mixtures, Envelope,
                         ::testing::Values("air", "natural gas (3)", "r32+r125"),
                         [](const ::testing::TestParamInfo<const char*>& p) {
                             std::string s;
                             for (const char* c = p.param; *c; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c))) s += *c;
                             return s;
                         });

// A boundary whose trace costs more than a flash may spend (the
// 10-component gas's, some 120k evaluations) is traced a slice in
// each call: no call spends much more than a slice, and the cricondentherm
// is SATSPLN's own.
TEST(EnvelopeCache, ALongTraceIsSpreadOverCalls) {
    const Mixture& m = mixture("natural gas (10)");
    ASSERT_TRUE(mixtest::setup(m));
    double z[20];
    m.fill(z);
    double tmax = 0.0;
    unsigned long long most = 0;
    ASSERT_TRUE(traced(z, tmax, &most));
    EXPECT_LT(most, lib::mix::kTraceSlice + 20000u);
    EXPECT_TRUE(lib::mix::above_envelope(1.02 * tmax, z));
    EXPECT_FALSE(lib::mix::above_envelope(tmax, z));
    int ierr = 0;
    std::string herr;
    lib::SATSPLN(z, ierr, herr);  // called itself, it traces the whole boundary at once
    ASSERT_EQ(ierr, 0) << herr;
    double whole = 0.0;
    ASSERT_TRUE(lib::traced_tmax(whole));
    EXPECT_EQ(tmax, whole);
}

TEST(EnvelopeCache, TraceKeepsTheCallersSplines) {
    const Mixture& m = mixture("natural gas (3)");
    ASSERT_TRUE(mixtest::setup(m));
    double z[20], other[20];
    m.fill(z);
    m.fill(other);
    other[0] = 0.85;
    other[1] = 0.12;
    int ierr = 0;
    std::string herr;
    lib::SATSPLN(z, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    const double tmax = lib::MAXTP.tmax_t;
    double t_other = 0.0;
    ASSERT_TRUE(traced(other, t_other));
    EXPECT_TRUE(lib::splines_for(z));
    EXPECT_EQ(lib::MAXTP.tmax_t, tmax);
    EXPECT_GT(std::fabs(t_other - tmax), 1.0);  // another boundary was traced
}

// co2+nitrogen: the bubble line turns back to higher temperatures at GPa
// pressures; humid air: the dew line of water rises without end.  Neither
// trace closes, and no state is taken as above it.
TEST(EnvelopeCache, OpenTraceGivesNoShortcut) {
    const Mixture& m = mixture("co2+nitrogen");
    ASSERT_TRUE(mixtest::setup(m));
    double z[20], tmax = 0.0;
    m.fill(z);
    EXPECT_FALSE(traced(z, tmax));
    EXPECT_FALSE(lib::mix::above_envelope(1000.0, z));

    const Mixture humid{"humid air", "nitrogen|oxygen|argon|water", {0.7734, 0.2075, 0.0091, 0.01}};
    ASSERT_TRUE(mixtest::setup(humid));
    humid.fill(z);
    EXPECT_FALSE(traced(z, tmax));
}

// Dry ISO Air: its carbon dioxide, frozen below 195 K, is held as a trace
// along the whole boundary of its air (up to 133 K).  The air's boundary is
// traced, not the full composition's (which follows the dew line of the
// carbon dioxide and never closes), and answers between the two.
TEST(EnvelopeCache, FrozenTraceLeavesTheRestsBoundary) {
    double z[20], rest[20] = {}, tmax = 0.0;
    ASSERT_TRUE(set_up_dry_iso_air(z));
    for (int i = 0; i < 3; ++i) rest[i] = z[i] / (1.0 - z[3]);
    const unsigned long long e0 = lib::EOS_EVALUATIONS;
    unsigned long long most = 0;
    EXPECT_FALSE(traced(z, tmax, &most));
    EXPECT_LT(lib::EOS_EVALUATIONS - e0, 100000u);  // the air's trace alone
    EXPECT_LT(most, lib::mix::kTraceSlice + 20000u);
    ASSERT_TRUE(lib::mix::cricondentherm(rest, tmax));
    EXPECT_NEAR(tmax, 132.9, 0.2);
    const lib::mix::Stability s = lib::mix::stability(150.0, 5000.0, z);
    EXPECT_TRUE(s.found && s.stable);
}

TEST(EnvelopeCache, ForgottenAtSetUpAndNewMixingParameters) {
    const Mixture& m = mixture("air");
    ASSERT_TRUE(mixtest::setup(m));
    double z[20], tmax = 0.0;
    m.fill(z);
    ASSERT_TRUE(traced(z, tmax));
    std::string hmodij, hfmix, hfij[6], hbinp, hmxrul;
    double fij[6];
    lib::GETKTV(1, 2, hmodij, fij, hfmix, hfij, hbinp, hmxrul);
    int ierr = 0;
    std::string herr;
    lib::SETKTV(1, 2, hmodij, fij, hfmix, ierr, herr);
    EXPECT_FALSE(lib::mix::cricondentherm(z, tmax));
    // Another fluid of as many components, asked with the same fractions.
    ASSERT_TRUE(traced(z, tmax));
    ASSERT_TRUE(mixtest::setup(mixture("natural gas (3)")));
    EXPECT_FALSE(lib::mix::cricondentherm(z, tmax));
}

// A dense 10-component gas: a liquid-like trial whose root was found from
// the last trial's density, of a quite different composition, sat in a loop
// of the equation and gave a distance of -1.8 (a split that failed).
TEST(Stability, TrialRootsAreNoLoopRoots) {
    const Mixture& m = mixture("natural gas (10)");
    ASSERT_TRUE(mixtest::setup(m));
    double z[20];
    m.fill(z);
    const lib::mix::Stability s = lib::mix::stability(210.602644, 19684.068735, z);
    EXPECT_TRUE(s.found && s.stable) << s.tm;
}

// Liquid feeds whose trials lead back to the feed: there the distance is
// of the size of the roots' last digits.  At 10 kPa a liquid's pressure
// moves 2e5 times its density's last digits, and ln phi_i formed at the
// root's own pressure gave distances of -7e-10 at random temperatures
// (dimethyl carbonate + methanol: 23 of 1,400 temperatures refused by
// TPFLSH as a freezing out, 230-300 K; isopentane + water called unstable
// at 110 of 1,080).  Each feed is a stable liquid: its distance from
// compositions 1 % away is +3e-6.  Swept in steps of 0.05 K.
TEST(Stability, LiquidFeedsAreNotTheirOwnTrialPhases) {
    const struct {
        Mixture m;
        double T0, T1, P;
    } cases[] = {
        {{"dmc+methanol", "dmc|methanol", {0.1, 0.9}}, 230.0, 236.0, 10.0},
        {{"isopentane+water", "ipentane|water", {0.1, 0.9}}, 281.0, 285.0, 10.0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(mixtest::setup(c.m)) << c.m.label;
        double z[20];
        c.m.fill(z);
        int unstable = 0, refused = 0, n = 0;
        for (double T = c.T0; T <= c.T1; T += 0.05, ++n) {
            const lib::mix::Stability s = lib::mix::stability(T, c.P, z);
            if (!(s.found && s.stable && s.liquid_like)) ++unstable;
            double D, Dl, Dv, x[20], y[20], q, e, h, ss, cv, cp, w;
            int ierr = 0;
            std::string herr;
            lib::TPFLSH(T, c.P, z, D, Dl, Dv, x, y, q, e, h, ss, cv, cp, w, ierr, herr);
            if (ierr > 0) ++refused;
        }
        EXPECT_EQ(unstable, 0) << c.m.label << ", " << n << " temperatures";
        EXPECT_EQ(refused, 0) << c.m.label << ", " << n << " temperatures";
    }
    mixtest::setup_nitrogen();
}

// Liquids of heavy hydrocarbons at 6.75 MPa: the march to the vapour root
// starts at the ideal gas's density, which lies beyond a loop of the
// equation; the root it met there (2.64 mol/L for the first, with an
// enthalpy of -288,000 J/mol) was taken for the stable gas.  Each is the
// liquid of the density solver's root.
TEST(Stability, CompressedLiquidsAreNoRootsBehindALoop) {
    const struct {
        Mixture m;
        double T, P;
    } cases[] = {
        {{"isopentane+heptane+octane", "ipentane|heptane|octane", {0.5, 0.3, 0.2}}, 310.0, 6752.34},
        {{"ethylbenzene+xylenes", "ebenzene|oxylene|mxylene", {0.5, 0.25, 0.25}}, 280.0, 6752.34},
        {{"benzene+heptane", "benzene|heptane", {0.1, 0.9}}, 324.24, 6752.34},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.m.label);
        ASSERT_TRUE(mixtest::setup(c.m));
        double z[20];
        c.m.fill(z);
        double D, Dl, Dv, x[20], y[20], q = 0, e, h, s, cv, cp, w, Droot = 0;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(c.T, c.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        EXPECT_EQ(q, lib::kQualityLiquid);
        lib::TPRHO(c.T, c.P, z, lib::kLiquid, lib::kNoStartValue, Droot, ierr, herr);
        EXPECT_NEAR(D, Droot, 1e-9 * Droot);
    }
    mixtest::setup_nitrogen();
}

// co2+nitrogen close to its critical point (272.7 K, 12.1 MPa): the trial
// phase is nearly the incipient one; every split is found (about half of
// these failed with 219), the denser phase is the liquid, and q rises
// smoothly with T (mislabelled splits gave 0.547 among 0.453).
TEST(Stability, NearCriticalSplitsAreFoundAndLabelled) {
    const Mixture& m = mixture("co2+nitrogen");
    ASSERT_TRUE(mixtest::setup(m));
    double z[20];
    m.fill(z);
    const double P = 11010.5;
    double last = 0.0, tlast = 260.0;
    for (double T : {266.5017, 267.0380, 268.3009, 268.3182, 268.3355, 268.5604, 269.5984, 270.2904,
                     271.0343}) {
        double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_EQ(ierr, 0) << T << " K: " << herr;
        EXPECT_GT(Dl, Dv) << T << " K";
        EXPECT_GT(q, last) << T << " K";
        EXPECT_LT(q - last, 0.01 + 0.05 * (T - tlast) + (last == 0.0)) << T << " K";
        last = q;
        tlast = T;
        EXPECT_NEAR((1.0 - q) * x[0] + q * y[0], z[0], 1e-12) << T << " K";
    }
}

// Close to a critical point the successive substitution of the split
// stopped at its loosened tolerance with fugacities 1e-4..1e-2 apart and
// was reported as a split (q 0.14-0.39 among 0.50-0.57 for co2+nitrogen,
// 0.54 among 0.39-0.46 for the 10-component gas; at 274 K, 11.8 MPa only
// the split at a neighbouring pressure leads to it).  Along each line of
// states every split has equal fugacities, q moves little from one state
// to the next, and PHFLSH from the split's enthalpy finds T again.
struct NearCriticalLine {
    const char* mixture;
    double T0, dT, P0, dP;  // K, kPa: the first state and the step
    int n;
};

const NearCriticalLine kNearCriticalLines[] = {
    {"co2+nitrogen", 272.25, 0.0, 11500.0, 100.0, 6},
    {"co2+nitrogen", 273.0, 0.0, 11500.0, 100.0, 6},
    {"co2+nitrogen", 274.0, 0.0, 11500.0, 100.0, 4},
    {"co2+nitrogen", 272.75, 0.25, 11600.0, 0.0, 3},
    {"natural gas (10)", 222.5, 0.1, 8030.0, 0.0, 6},
    {"natural gas (10)", 222.79, 0.0, 7955.0, 25.0, 6},
};

class NearCritical : public ::testing::TestWithParam<NearCriticalLine> {};

TEST_P(NearCritical, SplitsAreEquilibriaAndContinuous) {
    const NearCriticalLine& line = GetParam();
    const Mixture& m = mixture(line.mixture);
    ASSERT_TRUE(mixtest::setup(m));
    double z[20];
    m.fill(z);
    double last = -1.0;
    for (int k = 0; k < line.n; ++k) {
        const double T = line.T0 + k * line.dT, P = line.P0 + k * line.dP;
        double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_EQ(ierr, 0) << T << " K, " << P << " kPa: " << herr;
        ASSERT_TRUE(q > 0.0 && q < 1.0) << T << " K, " << P << " kPa: q " << q;
        EXPECT_LT(mixtest::fugacity_mismatch(T, Dl, Dv, x, y, z), 1e-9) << T << " K, " << P;
        if (last >= 0.0) {
            EXPECT_LT(std::fabs(q - last), 0.03) << T << " K, " << P << " kPa";
        }
        last = q;
        double T2, D2, Dl2, Dv2, x2[20], y2[20], q2, e2, s2, cv2, cp2, w2;
        lib::PHFLSH(P, h, z, T2, D2, Dl2, Dv2, x2, y2, q2, e2, s2, cv2, cp2, w2, ierr, herr);
        EXPECT_EQ(ierr, 0) << T << " K, " << P << " kPa: " << herr;
        EXPECT_NEAR(T2, T, 1e-6) << P << " kPa, q " << q;
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, NearCritical, ::testing::ValuesIn(kNearCriticalLines));

// The flashes on a given property close to a critical point, from the
// state of TPFLSH at (T, P): a result is either an error or phases in
// equilibrium with the feed back at T and P.  PQFLSH at 11.15 MPa (where
// the isobar has no bubble point) returned 42 K with phases that did not
// add up to the feed; the others search over splits that may stop short of
// the equilibrium on the way.
struct NearCriticalFlash {
    char letter;  // 'H' PHFLSH, 'S' PSFLSH, 'D' TDFLSH, 'Q' PQFLSH
    const char* mixture;
    double T, P;
};

const NearCriticalFlash kNearCriticalFlashes[] = {
    {'H', "co2+nitrogen", 271.0, 11750.0},     {'S', "co2+nitrogen", 273.0, 11150.0},
    {'H', "co2+nitrogen", 274.0, 11800.0},     {'D', "co2+nitrogen", 271.0, 11750.0},
    {'S', "natural gas (10)", 222.79, 8030.0}, {'Q', "co2+nitrogen", 273.0, 11150.0},
};

TEST(NearCriticalFlashes, AreEquilibriaOrErrors) {
    for (const NearCriticalFlash& f : kNearCriticalFlashes) {
        SCOPED_TRACE(std::string(1, f.letter) + " " + f.mixture + " " + std::to_string(f.T) +
                     " K, " + std::to_string(f.P) + " kPa");
        const Mixture& m = mixture(f.mixture);
        ASSERT_TRUE(mixtest::setup(m));
        double z[20], D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
        m.fill(z);
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(f.T, f.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        double T = f.T, P = f.P, q2 = q;
        switch (f.letter) {
            case 'H':
                lib::PHFLSH(P, h, z, T, D, Dl, Dv, x, y, q2, e, s, cv, cp, w, ierr, herr);
                break;
            case 'S':
                lib::PSFLSH(P, s, z, T, D, Dl, Dv, x, y, q2, e, h, cv, cp, w, ierr, herr);
                break;
            case 'D':
                lib::TDFLSH(T, D, z, P, Dl, Dv, x, y, q2, e, h, s, cv, cp, w, ierr, herr);
                break;
            default: lib::PQFLSH(P, q, z, 1, T, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
        }
        if (f.letter != 'Q') {
            EXPECT_EQ(ierr, 0) << herr;
        }
        if (ierr > 0) continue;
        EXPECT_LT(mixtest::fugacity_mismatch(T, Dl, Dv, x, y, z), 1e-7);
        EXPECT_LT(mixtest::balance_mismatch(q2, x, y, z), 1e-7);
        EXPECT_NEAR(T, f.T, 1e-6);
        EXPECT_NEAR(P, f.P, 1e-6 * f.P);
    }
}

// Close-boiling and azeotrope-forming pairs have a narrow two-phase band:
// their trial phases start within a few per cent of the feed.  Between the
// dew and the bubble pressure at T every (T, p) flash splits, into phases
// of equal fugacities whose compositions lie between the incipient ones.
class NarrowEnvelope : public ::testing::TestWithParam<mixtest::BinaryAt> {};

TEST_P(NarrowEnvelope, SplitsBetweenDewAndBubblePressure) {
    const mixtest::BinaryAt& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    const double z[20] = {0.5, 0.5};
    const mixtest::BubbleDew b = mixtest::bubble_and_dew(c.T, z);
    ASSERT_EQ(b.error, "");
    const double Pb = b.Pb, Pd = b.Pd, y_bubble = b.y_bubble, x_dew = b.x_dew;
    ASSERT_GT(Pb, Pd);
    double Dl, Dv, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    int wrong = 0;
    for (int k = 1; k < 10; ++k) {
        const double P = Pd + (Pb - Pd) * k / 10.0;
        double D, q, e, h, s, cv, cp, w, fl[20], fv[20];
        lib::TPFLSH(c.T, P, z, D, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_LE(ierr, 0) << P << " kPa: " << herr;
        if (!(q > 0.0 && q < 1.0)) {
            ++wrong;
            continue;
        }
        lib::FGCTY(c.T, Dl, xl, fl);
        lib::FGCTY(c.T, Dv, xv, fv);
        for (int i = 0; i < 2; ++i) EXPECT_NEAR(fl[i], fv[i], 1e-8 * fv[i]) << P << " kPa";
        EXPECT_GE(xl[0], std::min(x_dew, 0.5) - 1e-9);
        EXPECT_LE(xl[0], std::max(x_dew, 0.5) + 1e-9);
        EXPECT_GE(xv[0], std::min(y_bubble, 0.5) - 1e-9);
        EXPECT_LE(xv[0], std::max(y_bubble, 0.5) + 1e-9);
    }
    EXPECT_EQ(wrong, 0) << "of 9 pressures between " << Pd << " and " << Pb << " kPa";
}

INSTANTIATE_TEST_SUITE_P(ClosePairs, NarrowEnvelope,
                         ::testing::Values(mixtest::BinaryAt{"r12|r134a", 257.9},
                                           mixtest::BinaryAt{"r1234yf|r134a", 258.0},
                                           mixtest::BinaryAt{"r13|r23", 203.1},
                                           mixtest::BinaryAt{"propane|r115", 245.8},
                                           mixtest::BinaryAt{"cf3i|r152a", 269.1},
                                           mixtest::BinaryAt{"cyclohex|ethanol", 355.5},
                                           mixtest::BinaryAt{"ethylene|xenon", 198.3},
                                           mixtest::BinaryAt{"r245fa|r1233zd", 299.6}),
                         mixtest::binary_name);

// Close to a dew line the incipient liquid lies a little apart from the
// feed in composition but far in density, at a tiny distance: every
// vapour fraction the quality flash places at T is split by the (T, p)
// flash at that pressure (meta-xylene + nonane: a band of 0.04 kPa at
// 429 kPa, where q 0.95 had been taken for the vapour).  Far below the
// critical temperature the vapour-pressure estimates that decide which
// components may condense lie far too high on Wilson's line alone
// (propane at 95 K: 13 times), and a liquid root at 1e-5 kPa meets its
// pressure only to the rounding of its large terms.
struct DewBand {
    const char* names;
    double z1, T;
};
const DewBand kDewBands[] = {{"mxylene|nonane", 0.9, 475.64},  {"butane|t2butene", 0.1, 365.608},
                             {"methane|propane", 0.5, 95.282}, {"r32|toluene", 0.1, 181.56},
                             {"propane|co", 0.5, 90.345},      {"cyclopro|xenon", 0.9, 164.628}};

class DewLineBand : public ::testing::TestWithParam<DewBand> {};

TEST_P(DewLineBand, SplitsOfTheQualityFlashAreTheTpFlashs) {
    const DewBand& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    const double z[20] = {c.z1, 1.0 - c.z1};
    for (double q : {0.999, 0.99, 0.95, 0.8, 0.5}) {
        double P = 0, D, Dl, Dv, x[20], y[20], e, h, s, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::TQFLSH(c.T, q, z, lib::kMolarQuality, P, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr,
                    herr);
        ASSERT_LE(ierr, 0) << "q " << q << ": " << herr;
        double q2 = 0, h2 = 0;
        lib::TPFLSH(c.T, P, z, D, Dl, Dv, x, y, q2, e, h2, s, cv, cp, w, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        EXPECT_NEAR(q2, q, 1e-6) << P << " kPa";
        EXPECT_NEAR(h2, h, 1e-6 * std::fabs(h)) << P << " kPa";
    }
}

INSTANTIATE_TEST_SUITE_P(Binaries, DewLineBand, ::testing::ValuesIn(kDewBands));

// Far from ideal mixtures whose trial phases from Wilson's K-values lead
// nowhere: the vapour of benzene + methanol (10 % methanol) has 31 %
// methanol where Wilson puts 14 %, a composition with no vapour root at
// 43 kPa; Wilson's liquid of hydrogen chloride + methanol is nearly pure
// methanol, above the plane, where the liquid that dissolves 16 % of the
// hydrogen chloride lies below it; at 480 K and 10.6 MPa (90 % hydrogen
// chloride) the first step of Wilson's liquid trial leaps onto the feed,
// past the liquid of 61 % below the plane (at 448.36 K and 5 MPa right
// onto it: a vapour between two-phase states 0.1 K apart, its enthalpy
// 850 J/mol above theirs).  Each state splits, its phases
// of equal fugacities (q from the quality flash at T).
struct FarFromIdeal {
    const char* names;
    double z1, T, P, q;
};
const FarFromIdeal kFarFromIdeal[] = {{"benzene|methanol", 0.9, 317.75, 43.3165, 0.2},
                                      {"benzene|methanol", 0.9, 317.75, 50.762, 0.02},
                                      {"ebenzene|methanol", 0.9, 290.935, 10.0, 0.02},
                                      {"hcl|methanol", 0.1, 298.586, 13.0187, 0.8},
                                      {"hcl|methanol", 0.9, 480.469, 10553.437, 0.960629},
                                      {"hcl|methanol", 0.9, 448.36166, 5000.0, 0.962363}};

class FarFromIdealSplit : public ::testing::TestWithParam<FarFromIdeal> {};

TEST_P(FarFromIdealSplit, IsFound) {
    const FarFromIdeal& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    const double z[20] = {c.z1, 1.0 - c.z1};
    double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(c.T, c.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NEAR(q, c.q, 1e-4);
    EXPECT_LT(mixtest::fugacity_mismatch(c.T, Dl, Dv, x, y, z), 1e-8);
    EXPECT_TRUE(lib::mix::stability(c.T, c.P, x).stable);
    EXPECT_TRUE(lib::mix::stability(c.T, c.P, y).stable);
}

INSTANTIATE_TEST_SUITE_P(States, FarFromIdealSplit, ::testing::ValuesIn(kFarFromIdeal));

// Splits whose liquid splits again by a supercritical component's dense
// phase: hexane + water at 538 K, 20 MPa (above hexane's critical point and
// pressure), where the pair of liquid water and a gas of 52 % hexane was
// returned (its enthalpy 6 kJ/mol above the neighbouring temperatures' in a
// sweep at fixed pressure; a liquid of 96 % hexane lies 0.03 below its
// water's plane); methyl palmitate + propane at 412 K, 4.7 MPa; R14 +
// toluene at 298.9 K, 12.9 MPa, whose liquid trial from nearly pure R14 was
// taken as close to a stationary point after its first, long step.
const FarFromIdeal kSupercriticalLiquids[] = {
    {"hexane|water", 0.5, 538.25, 20000.0, 0.453466},
    {"mpalmita|propane", 0.5, 412.262015, 4728.339562, 0.497108},
    {"r14|toluene", 0.1, 298.901, 12910.365, 0.928641}};

INSTANTIATE_TEST_SUITE_P(SupercriticalLiquids, FarFromIdealSplit,
                         ::testing::ValuesIn(kSupercriticalLiquids));

// Binaries whose trials end on stationary points above the plane, the
// phase below it beyond them: R14 + toluene at 298.9 K, 11 MPa (from nearly
// pure R14 to 95 % R14 at +0.045; the liquid of 51 % below), octane + water
// at 531.3 K, 5.6 MPa (Wilson's vapour to a dense 29 % octane at +0.0099;
// the gas of 42 % below).  Both had been one liquid, its density above the
// split's at a higher pressure.
const FarFromIdeal kBeyondStationaryPoints[] = {{"r14|toluene", 0.1, 298.901, 11000.0, 0.928281},
                                                {"octane|water", 0.9, 531.313, 5632.442, 0.042370}};

INSTANTIATE_TEST_SUITE_P(BeyondStationaryPoints, FarFromIdealSplit,
                         ::testing::ValuesIn(kBeyondStationaryPoints));

// Dense pairs beside a gas of lower Gibbs energy: pentane + water (10 %
// pentane) came out as liquid water beside a phase of 98-99 % pentane at
// 4.5-5.3 mol/L, where the gas of 72-75 % pentane lies below the plane of
// one of them (at 477 K, 5 MPa the water's; at 459 K, 3.7 MPa the
// pentane's, below the three-phase pressure of 3.85 MPa); methyl
// palmitate + propane and R14 + toluene likewise.
const FarFromIdeal kGasBesideDensePairs[] = {
    {"pentane|water", 0.1, 477.0, 5000.0, 0.137383},
    {"pentane|water", 0.1, 459.116, 3700.0, 0.133013},
    {"mpalmita|propane", 0.5, 360.513108, 2554.09938, 0.499266},
    {"r14|toluene", 0.5, 181.56, 402.554971, 0.493924}};

INSTANTIATE_TEST_SUITE_P(GasBesideDensePairs, FarFromIdealSplit,
                         ::testing::ValuesIn(kGasBesideDensePairs));

// Water, hexane and methane (60/20/20) at 2 MPa lie in three phases from
// 280 K up: liquid water, a liquid of hexane and a gas of nearly pure
// methane 2.8 below the planes of both liquids.  The split of the two
// liquids came out with ierr 0; no pair is stable, and the flash says so.
TEST(Stability, ThreePhasesAreNoTwoPhaseAnswer) {
    ASSERT_EQ(testsupport::set_up("water|hexane|methane"), "");
    const double z[20] = {0.6, 0.2, 0.2};
    for (const double T : {280.0, 290.0, 300.0}) {
        double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(T, 2000.0, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        EXPECT_EQ(ierr, 219) << T;
        EXPECT_NE(herr.find("three phases"), std::string::npos) << herr;
    }
}

// A gas made mostly of a component below its freezing is a fluid phase:
// carbon dioxide + R32, 10 % carbon dioxide, at 180 K and 10 kPa boils off
// a vapour of a third carbon dioxide (whose partial pressure lies far below
// its sublimation pressure); the liquid had been taken as stable.
TEST(Stability, GasOfAFrozenComponentSplitsOff) {
    ASSERT_EQ(testsupport::set_up("co2|r32"), "");
    const double z[20] = {0.1, 0.9}, T = 180.126, P = 10.0;
    double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NEAR(q, 0.19997, 1e-4);
    EXPECT_NEAR(y[0], 0.3324, 1e-3);
    EXPECT_LT(mixtest::fugacity_mismatch(T, Dl, Dv, x, y, z), 1e-8);
}

// Two liquids where the vapour trial's own root is a vapour close to its
// spinodal (ethylene at 146 K, 260 kPa) or the trial phase is a liquid the
// split must take as one (ammonia in hexane): each split is an equilibrium
// of lower Gibbs energy than the single liquid, the denser its liquid.
struct TwoLiquids {
    Mixture m;
    double T, P, qlo, qhi;
};

TEST(Stability, TwoLiquidsBehindMetastableVapourTrials) {
    const std::vector<TwoLiquids> cases = {
        {{"ethanol + ethylene", "ethanol|ethylene", {0.5, 0.5}}, 146.28, 259.853, 0.91, 0.92},
        {{"ethanol + ethylene", "ethanol|ethylene", {0.5, 0.5}}, 190.058, 769.667, 0.07, 0.08},
        {{"ammonia + hexane", "ammonia|hexane", {0.1, 0.9}}, 221.228, 87.731, 0.99, 0.999},
        // (Both phases' densities their liquid roots: at 30 kPa the
        // pentane-rich liquid has a vapour root too.)
        {{"ammonia + pentane", "ammonia|pentane", {0.1, 0.9}}, 205.134, 29.619, 0.97, 0.975},
        {{"propane + r236ea", "propane|r236ea", {0.1, 0.9}}, 181.626, 10.0, 0.955, 0.96},
    };
    for (const TwoLiquids& c : cases) {
        SCOPED_TRACE(c.m.label + " at " + std::to_string(c.T) + " K");
        ASSERT_TRUE(mixtest::setup(c.m));
        double z[20];
        c.m.fill(z);
        double D, Dl, Dv, x[20], y[20], q = 0, e, h, s, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(c.T, c.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        EXPECT_GT(q, c.qlo);
        EXPECT_LT(q, c.qhi);
        EXPECT_LT(mixtest::fugacity_mismatch(c.T, Dl, Dv, x, y, z), 1e-9);
        EXPECT_GT(Dl, Dv);  // the liquid: the denser
        double a = 0, gl = 0, gv = 0, g1 = 0, D1 = 0;
        lib::GIBBS(c.T, Dl, x, a, gl);
        lib::GIBBS(c.T, Dv, y, a, gv);
        lib::TPRHO(c.T, c.P, z, lib::kLiquid, lib::kNoStartValue, D1, ierr, herr);
        lib::GIBBS(c.T, D1, z, a, g1);
        EXPECT_LT((1.0 - q) * gl + q * gv, g1 - 1.0);
    }
    mixtest::setup_nitrogen();
}

// Beyond the critical temperature of the heaviest component two dense
// phases may still form at high pressure: decane with hydrogen splits at
// 650 K, 9.5 MPa and at 800 K, 100 MPa; carbon dioxide as a trace in air
// is no such component (its states there get no stability test).
TEST(Stability, DensePhasesBeyondTheHeaviestCriticalTemperature) {
    ASSERT_TRUE(mixtest::setup({"decane + hydrogen", "decane|hydrogen", {0.5, 0.5}}));
    struct Case {
        double x0, T, P, qlo, qhi;
    };
    for (const Case& c : {Case{0.5, 650, 9536.74, 0.79, 0.81}, Case{0.1, 800, 100000, 0.6, 0.62}}) {
        SCOPED_TRACE(std::to_string(c.T) + " K");
        const double z[20] = {c.x0, 1.0 - c.x0};
        double D, Dl, Dv, x[20], y[20], q = 0, e, h, s, cv, cp, w, Tc, Pc, Dc;
        int ierr = 0;
        std::string herr;
        lib::CRITP(z, Tc, Pc, Dc, ierr, herr);
        EXPECT_FALSE(lib::mix::outside_two_phase_window(c.T, c.P, z, Tc));
        lib::TPFLSH(c.T, c.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        // (The share of the hydrogen-rich phase: at 100 MPa it is the
        // denser in mol/L, and as one of two dense phases named the liquid.)
        const double light = y[1] > x[1] ? q : 1.0 - q;
        EXPECT_GT(light, c.qlo);
        EXPECT_LT(light, c.qhi);
        EXPECT_LT(mixtest::fugacity_mismatch(c.T, Dl, Dv, x, y, z), 1e-9);
    }
    double z[20];
    ASSERT_TRUE(set_up_dry_iso_air(z));
    EXPECT_TRUE(lib::mix::outside_two_phase_window(350.0, 50000.0, z, 132.5));
    mixtest::setup_nitrogen();
}

// Hexane + water (90 % water) at 531.3 K splits into liquid water and a
// gas of 38 % hexane from 9.3 to 10.5 MPa.  The liquid trial from nearly
// pure hexane went back and forth: Newton's step climbed from +0.046, the
// halved steps led back to that point, and Newton's climbed again; every
// other pressure came out as one liquid, its density above the split's
// (falling where the pressure rose).  Along the sweep the density rises.
TEST(Stability, NewtonStepsThatClimbGiveWayToSubstitution) {
    ASSERT_EQ(testsupport::set_up("water|hexane"), "");
    const double z[20] = {0.9, 0.1}, T = 531.313;
    double last = 0.0;
    for (int k = 0; k <= 16; ++k) {
        const double P = 9300.0 * std::pow(10500.0 / 9300.0, k / 16.0);
        SCOPED_TRACE(std::to_string(P) + " kPa");
        double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        EXPECT_TRUE(q > 0.0 && q < 1.0) << q;
        EXPECT_GT(D, last);
        last = D;
    }
    mixtest::setup_nitrogen();
}

// Below 90 % of its triple point the carbon dioxide of Dry ISO Air is a
// frozen trace held in both phases, and the window is the rest's: its own
// dew pressure (on the vapour pressure carried below the triple point)
// would put every state of the gas into it.  Over a grid of the frozen
// range every state the window leaves out is one the stability test finds
// stable, and the window still holds the air's two-phase region.
TEST(Stability, WindowOfAirWithAFrozenTraceIsTheRests) {
    double z[20];
    ASSERT_TRUE(set_up_dry_iso_air(z));
    double Tc = 0, Pc = 0, Dc = 0;
    int ierr = 0;
    std::string herr;
    lib::CRITP(z, Tc, Pc, Dc, ierr, herr);
    int outside = 0, split = 0;
    std::vector<std::string> wrong;
    for (double T = 120.0; T < 195.0; T += 2.5) {
        for (double P = 1.0; P < 2e6; P *= 2.0) {
            if (!lib::mix::outside_two_phase_window(T, P, z, Tc)) continue;
            ++outside;
            const lib::mix::Stability st = lib::mix::stability(T, P, z);
            if (!st.found || !st.stable) {
                ++split;
                if (wrong.size() < 5)
                    wrong.push_back(std::to_string(T) + " K " + std::to_string(P));
            }
        }
    }
    EXPECT_EQ(split, 0) << (wrong.empty() ? "" : wrong.front());
    EXPECT_GT(outside, 300);  // of 630 states
    // The air's own two-phase region stays inside (at 125 K its dew and
    // bubble points lie above 1 MPa); the gas far below them is left out.
    EXPECT_FALSE(lib::mix::outside_two_phase_window(125.0, 1500.0, z, Tc));
    EXPECT_FALSE(lib::mix::outside_two_phase_window(125.0, 500.0, z, Tc));
    EXPECT_TRUE(lib::mix::outside_two_phase_window(125.0, 10.0, z, Tc));
    EXPECT_TRUE(lib::mix::outside_two_phase_window(180.0, 1e5, z, Tc));
    // Above the frozen range the carbon dioxide's own dew pressure rules.
    EXPECT_FALSE(lib::mix::outside_two_phase_window(200.0, 1e5, z, Tc));
    mixtest::setup_nitrogen();
}

// Compressed liquid air at 75-115 K and 130-580 MPa (the isotherms of a
// diagram of Dry ISO Air reach 1.7 GPa): the trials that hold its carbon
// dioxide end next to the feed at a distance of -1e-8, the size of the
// held component's term they leave out, not of a second phase.  Every
// state is the single liquid, of the density solver's root.
TEST(Stability, HeldTraceNextToACompressedLiquidIsNoSplit) {
    double z[20];
    ASSERT_TRUE(set_up_dry_iso_air(z));
    for (double P : {131962.5, 275726.7, 327593.0, 398559.3, 576112.1}) {
        for (double T = 75.0; T <= 115.0; T += 2.0) {
            SCOPED_TRACE(std::to_string(T) + " K, " + std::to_string(P) + " kPa");
            double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w, Dr = 0.0;
            int ierr = 0;
            std::string herr;
            lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
            ASSERT_LE(ierr, 0) << herr;
            EXPECT_LT(q, 0.0);
            lib::TPRHO(T, P, z, lib::kLiquid, 0, Dr, ierr, herr);
            EXPECT_NEAR(D, Dr, 1e-12 * Dr);
        }
    }
    mixtest::setup_nitrogen();
}

}  // namespace
