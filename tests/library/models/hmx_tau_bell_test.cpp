// Departure functions whose Gaussian-bell terms are Gaussian in tau as well
// (helium/neon, neon/argon, helium/argon of Tkaczuk et al. 2020): the
// functions read from the built-in mixture-parameter text against values of
// the published coefficients, every derivative order, through the cache and
// around it; the counts line's sixth integer that selects the form; and the
// (T, P) -> (P, h), (P, s) round trips of helium/neon at supercritical states.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/hmx.h"
#include "library/models/hmxrecords.h"
#include "library/models/phik.h"
#include "library/setup/records.h"
#include "library/setup/sethmx.h"
#include "library/setup/textstore.h"
#include "tests/support/fluid.h"

namespace {

constexpr int kOrders = 16;  // (itau, idel), itau, idel = 0..3, at itau + 4 idel

struct State {
    double tau, del;
    double want[kOrders];  // tau^itau del^idel d^(itau+idel) alphar_ij / dtau^itau ddel^idel
};

struct Pair {
    const char* names;
    State states[4];
};

// The expected values were computed once, independently of the library and
// of the converter: the departure functions built term by term from the
// coefficients of the data set (departure_functions.json) as symbolic
// expressions, differentiated symbolically and evaluated to 30 digits
// (sympy); they are printed here to 17 digits.
const Pair kPairs[] = {
    {"helium|neon",
     {{0.7,
       0.5,
       {-0.54028837755401626, -0.39253577085479097, 0.29090187088139302, -0.41337411655850531,
        -0.52269732459618312, -0.36335971569840664, 0.3444334081350145, -0.35362017545326474,
        0.034465345844001335, 0.07904667592176319, 0.21278727191990118, 0.34085656320488261,
        0.0074808384664993254, 0.09449721670230575, 0.38186738392134095, 0.74904126872511267}},
      {1.1,
       1.2,
       {-1.5237942644409774, -0.52462473857249847, 0.51961281238198942, -10.872712970673689,
        -1.0332853748049771, 1.0029717288578144, 3.2483821120858591, -12.953246410836503,
        0.58787857919573805, 1.9744300968354511, 4.7704068276289657, 16.248958986141318,
        -6.4144749777468189, -18.833744235653132, -25.711033940461306, 129.51540364231477}},
      {1.5,
       2.0,
       {-2.6300788331048381, -0.82289678310995606, -6.1519985652533089, -52.513093857672594,
        -5.1415877887842134, -2.1542674312448029, 23.518540009623333, 68.237103600331722,
        -21.254357136272304, -39.466327589300079, 16.997849284232611, 308.4344022041692,
        -19.450217784012835, -107.10059273798453, -926.07850643964684, -3421.5279969171088}},
      {2.2,
       2.8,
       {-11.077256143857914, -25.129762198293243, -119.64639702399953, -488.92283649203858,
        -41.901242052296766, -65.623802339615537, 18.729882069973847, 596.30232207584743,
        -145.73957712629374, -233.89300702883901, 841.18785807348445, 8562.3407705576701,
        354.00437871001662, 1653.8032725847247, 966.16345368422094, -40547.77632509933}}}},
    {"neon|argon",
     {{0.7,
       0.5,
       {-0.29839641634937897, -0.15517401146074369, 0.13405282828536402, -0.17322618305282803,
        -0.20890351409425131, -0.058241903568450444, 0.14392594898896055, -0.24452534228016484,
        0.14352950612482984, 0.10857459717413584, -0.074074244846494178, -0.14179794554401734,
        -0.12019653964954627, -0.25137587731619093, -0.26650027584529656, -0.0041207412724434582}},
      {1.1,
       1.2,
       {-0.59168974846785927, -0.2405895816250507, 0.0059135581996215703, -0.053017581031601743,
        -0.28687459101049123, -0.26945932979235399, -0.97062473462258037, 0.84796112220850761,
        0.38326028392934214, 0.3719405311576911, -1.7896992458720238, -0.40878348647881368,
        0.94771421112119258, 6.5622351010047577, 5.8027116492567652, -13.987658269990517}},
      {1.5,
       2.0,
       {-0.8352406465940887, -0.37307463629847637, 1.3527672316510198, 18.755889653545296,
        -0.42322628970653992, 0.34826754693151352, 2.026797327192261, 36.234206671335485,
        -2.9699664324304185, -0.39522795233739583, 5.2340263483462257, 18.242725748949496,
        -17.382787968236109, -38.435455049101442, -34.362821330763062, -92.387476598916265}},
      {2.2,
       2.8,
       {-0.62406599184633527, 5.7865388610308894, 33.216807595448429, 40.709634011869255,
        -1.3478112910648445, 0.79894051184395531, 19.817119945695428, 89.995130271059978,
        -3.5565616311543105, -67.202040658045163, -244.63174209816751, 624.57957211665473,
        -18.336186376846783, -80.877379742178462, -689.4425531359999, 447.88985995698141}}}},
    {"helium|argon",
     {{0.7,
       0.5,
       {-0.51693354413575821, -0.36470634207081026, 0.37784449523535102, 0.015828338145963572,
        -0.42252380895449188, -0.35600720568044469, 0.23533157824244502, -0.0049334780894811428,
        0.16584904834662684, -0.0042043185597086729, -0.29514877767869496, -0.023236201150032627,
        -0.088996651859508571, 0.0092860454436615014, 0.088626574215785042, 0.0037976827064676606}},
      {1.1,
       1.2,
       {-1.3698393031903879, -0.83132796192691638, 1.1967886986500391, -1.8801180016859214,
        -0.99521711453798989, -0.93234695613905083, 0.21730806331687672, -0.11978918637376201,
        0.64251345761870282, 0.72436395741095416, -1.7408638698175389, -2.1419847361906639,
        -2.3905049430531888, -2.0708892231808713, -1.6049172929790902, -4.4676081968427637}},
      {1.5,
       2.0,
       {-2.7511483421114202, -2.4312915831071549, -3.7375616398711107, -35.4211252623844,
        -4.6795729857194361, -6.6558147894739648, -2.6078187071912242, 5.0121348614719956,
        -14.309115216016679, -20.984353049178004, 15.215180268382301, 137.26574396619932,
        -5.7847223780031607, 9.4702522116886794, 45.499064336310703, -154.44086937727394}},
      {2.2,
       2.8,
       {-9.021589662243521, -15.534472092997117, -27.271395462758125, 42.46825762619185,
        -13.298349873514796, -9.9130796843557754, 31.793078402963253, 37.782085169132657,
        40.819128148103687, 42.236122034154441, -68.171266737473303, -96.488489804273925,
        308.20162113238405, 92.223601582153606, -952.82034687232476, -386.54805548645999}}}},
};

double tolerance(double want) { return 1e-12 * std::max(1.0, std::fabs(want)); }

// The departure part of the mixture's reduced residual Helmholtz derivative:
// PHIX less the fraction-weighted components, over x1 x2 (F = 1 for these
// pairs).
double departure(int itau, int idel, double tau, double del, const double x[20]) {
    double s = lib::PHIX(itau, idel, tau, del, x);
    for (int i = 1; i <= 2; ++i) s -= x[i - 1] * lib::PHIK(i, itau, idel, tau, del);
    return s / (x[0] * x[1]);
}

class TauBell : public ::testing::TestWithParam<Pair> {
protected:
    void SetUp() override { ASSERT_EQ(testsupport::set_up(GetParam().names), ""); }
    void TearDown() override { testsupport::set_up("methane"); }
};

TEST_P(TauBell, PairTermAgainstThePublishedCoefficients) {
    // Orders in turn at each state (the cache filled once per state), then
    // states in turn for each order (refreshed at every call).
    for (const State& s : GetParam().states)
        for (int o = 0; o < kOrders; ++o)
            EXPECT_NEAR(lib::hmx_pair_term(1, 2, o % 4, o / 4, s.tau, s.del), s.want[o],
                        tolerance(s.want[o]))
                << "tau " << s.tau << ", delta " << s.del << ", order " << o;
    for (int o = kOrders - 1; o >= 0; --o)
        for (const State& s : GetParam().states)
            EXPECT_NEAR(lib::hmx_pair_term(1, 2, o % 4, o / 4, s.tau, s.del), s.want[o],
                        tolerance(s.want[o]))
                << "tau " << s.tau << ", delta " << s.del << ", order " << o << " (cold)";
}

TEST_P(TauBell, MixtureCarriesTheDepartureFunction) {
    for (double x1 : {0.5, 0.2}) {
        const double x[20] = {x1, 1.0 - x1};
        for (const State& s : GetParam().states)
            for (int o = 0; o < kOrders; ++o)
                EXPECT_NEAR(departure(o % 4, o / 4, s.tau, s.del, x), s.want[o],
                            1e2 * tolerance(s.want[o]))
                    << "x1 " << x1 << ", tau " << s.tau << ", delta " << s.del << ", order " << o;
    }
}

TEST_P(TauBell, CacheFollowsAChangeOfTauAlone) {
    // The tau factors of these terms depend on tau: a state that differs in
    // tau only must not reuse them.
    const double del = 1.2;
    double warm[4][kOrders];
    for (int k = 0; k < 4; ++k)
        for (int o = 0; o < kOrders; ++o)
            warm[k][o] = lib::hmx_pair_term(1, 2, o % 4, o / 4, 0.8 + 0.25 * k, del);
    for (int k = 0; k < 4; ++k)
        for (int o = 0; o < kOrders; ++o) {
            lib::hmx_forget_all();
            EXPECT_EQ(lib::hmx_pair_term(1, 2, o % 4, o / 4, 0.8 + 0.25 * k, del), warm[k][o])
                << "tau " << 0.8 + 0.25 * k << ", order " << o;
        }
}

INSTANTIATE_TEST_SUITE_P(NobleGases, TauBell, ::testing::ValuesIn(kPairs),
                         [](const ::testing::TestParamInfo<Pair>& param) {
                             std::string n = param.param.names;
                             return n.substr(0, n.find('|')) + "_" + n.substr(n.find('|') + 1);
                         });

// One Gaussian-bell term read from a counts line with five integers, with a
// sixth 0 and with a sixth 1, given to the methane/ethane pair (F = 1).
TEST(TauBellForm, SixthIntegerOfTheCountsLine) {
    ASSERT_EQ(testsupport::set_up("methane|ethane"), "");
    int slot = 0;
    for (int k = 1; k <= lib::kTextCount; ++k)
        if (lib::store::name(k) == "hmx") slot = k;
    ASSERT_GT(slot, 0);
    const double n = 0.3, t = 1.4, d = 2, eta = 0.9, eps = 1.1, beta = 0.7, gam = 1.2;
    auto model = [](const char* code, const char* counts) {
        return std::string("#MXM\n") + code + "  one bell term\n?literature\n!end of info\n" +
               "BetaT    GammaT   BetaV    GammaV   Fij      not used\n" +
               " 1.0 1.0 1.0 1.0 0.0 0.0\n" + counts + "  !terms\n" +
               "0.3 1.4 2 0.9 1.1 0.7 1.2\n\n";
    };
    lib::store::override_text(slot, "<<hmx>>\nHMX  test\n2\n\n" + model("KX5", "0 4 0 1 7") +
                                        model("KX6", "0 4 0 1 7 0 0 0") +
                                        model("KX7", "0 4 0 1 7 1 0 0") + "@END\n");
    const double tau = 1.3, del = 0.9;
    const double in_delta = n * std::pow(tau, t) * std::pow(del, d) *
                            std::exp(-eta * (del - eps) * (del - eps) - beta * (del - gam));
    const double in_tau =
        n * std::pow(tau, t) * std::pow(del, d) *
        std::exp(-eta * (del - eps) * (del - eps) - beta * (tau - gam) * (tau - gam));
    const struct {
        const char* code;
        int form;
        double want;
    } cases[] = {{"KX5", lib::kBellInDelta, in_delta},
                 {"KX6", lib::kBellInDelta, in_delta},
                 {"KX7", lib::kBellInTau, in_tau}};
    const double F = lib::CFXHMX.p(1, 2)[4];
    ASSERT_EQ(F, 1.0);
    for (const auto& c : cases) {
        lib::PairFlags flags{};
        int ierr = 0;
        std::string herr;
        lib::RDMIX(slot, 1, 2, lib::Code(c.code), flags, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        const int m = lib::CFIHMX.model(1, 2);
        EXPECT_EQ(lib::MXINFO.terms[static_cast<std::size_t>(m)].bell_form, c.form) << c.code;
        EXPECT_NEAR(lib::hmx_pair_term(1, 2, 0, 0, tau, del), c.want, 1e-15) << c.code;
    }
    lib::store::restore();
    lib::RESETM.no_cache = 1;
    testsupport::set_up("methane");
}

// Helium/neon at supercritical states: (T, P) and back from (P, h) and
// (P, s); and the size of the departure function in the pressure.
TEST(TauBellFlash, HeliumNeonRoundTrips) {
    ASSERT_EQ(testsupport::set_up("helium|neon"), "");
    int failures = 0, states = 0;
    for (double x1 : {0.5, 0.2, 0.8}) {
        const double z[20] = {x1, 1.0 - x1};
        for (double T : {50.0, 80.0, 150.0, 300.0})
            for (double P : {500.0, 5000.0, 20000.0, 60000.0}) {
                SCOPED_TRACE("x1 " + std::to_string(x1) + ", T " + std::to_string(T) + " K, P " +
                             std::to_string(P) + " kPa");
                ++states;
                double D, Dl, Dv, xl[20], xv[20], q, e, h, s, cv, cp, w;
                int ierr = 0;
                std::string herr;
                lib::TPFLSH(T, P, z, D, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w, ierr, herr);
                if (ierr > 0) {
                    ++failures;
                    ADD_FAILURE() << herr;
                    continue;
                }
                double T2, D2, e2, h2, s2, q2;
                lib::PHFLSH(P, h, z, T2, D2, Dl, Dv, xl, xv, q2, e2, s2, cv, cp, w, ierr, herr);
                EXPECT_LE(ierr, 0) << herr;
                EXPECT_NEAR(T2, T, 1e-8 * T);
                EXPECT_NEAR(D2, D, 1e-8 * D);
                lib::PSFLSH(P, s, z, T2, D2, Dl, Dv, xl, xv, q2, e2, h2, cv, cp, w, ierr, herr);
                EXPECT_LE(ierr, 0) << herr;
                EXPECT_NEAR(T2, T, 1e-8 * T);
                EXPECT_NEAR(D2, D, 1e-8 * D);
                failures += ierr > 0 ? 1 : 0;
            }
    }
    EXPECT_EQ(failures, 0) << "of " << states << " states";
    testsupport::set_up("methane");
}

TEST(TauBellFlash, DepartureFunctionMovesTheDensePressure) {
    ASSERT_EQ(testsupport::set_up("helium|neon"), "");
    const double x[20] = {0.5, 0.5};
    const double T = 50.0, D = 30.0;  // about 14 MPa
    double with = 0, without = 0;
    lib::PRESS(T, D, x, with);
    lib::CFXHMX.p(1, 2)[4] = lib::CFXHMX.p(2, 1)[4] = 0.0;
    lib::hmx_prepare();
    lib::PRESS(T, D, x, without);
    RecordProperty("p_with_departure_kPa", std::to_string(with));
    RecordProperty("p_without_departure_kPa", std::to_string(without));
    EXPECT_GT(std::fabs(with - without), 0.02 * with) << with << " " << without;
    lib::RESETM.no_cache = 1;
    testsupport::set_up("methane");
}

}  // namespace
