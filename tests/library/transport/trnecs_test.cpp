// The corresponding-states transport route: a fluid mapped onto itself, the
// limits of the block, a conformal state that is not found, and mixtures
// (a nearly pure composition, air by kinetic theory and pair rules).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/transport/etak.h"
#include "library/transport/records.h"
#include "library/transport/trnecs.h"
#include "tests/library/transport/transport_texts.h"

namespace {

constexpr double kNotComputed = -9999990.0;

using Ecs = trtext::Result;

Ecs trnecs(double T, double D, const double* x = nullptr) {
    const double pure[20] = {1.0};
    Ecs r;
    lib::TRNECS(T, D, x != nullptr ? x : pure, r.eta, r.tcx, r.ierr, r.herr);
    return r;
}

// Nitrogen whose default transport model is its corresponding-states block
// on nitrogen (shape functions 1); its own correlations stay for slot 0.
std::string nitrogen_on_itself() {
    std::string trn = trtext::section_of("nitrogen", "@TRN", "ECS");
    trn[0] = '#';
    return trtext::with_transport("nitrogen", trn + trtext::section_of("nitrogen", "#TCX", "TC1") +
                                                  trtext::section_of("nitrogen", "#AUX", "TK3") +
                                                  trtext::section_of("nitrogen", "#ETA", "VS1") +
                                                  trtext::section_of("nitrogen", "#AUX", "CI1"));
}

class TrnecsTest : public ::testing::Test {
protected:
    void TearDown() override {
        lib::store::restore();
        trtext::setup("nitrogen");
    }
};

TEST_F(TrnecsTest, FluidMappedOntoItself) {
    ASSERT_EQ(trtext::setup_text("nitrogen", nitrogen_on_itself()), 0);
    ASSERT_EQ(lib::TRNMOD.eta[1], lib::Code("ECS"));
    ASSERT_EQ(lib::TRNMOD.eta[0], lib::Code("VS1"));
    for (const auto& [T, D] :
         {std::pair{100.0, 25.0}, {200.0, 15.0}, {300.0, 20.0}, {150.0, 30.0}}) {
        double T0 = T, D0 = D;
        int jerr = 0;
        std::string jtext;
        double tau = lib::ZRED.tred[1] / T, del = D / lib::ZRED.dred[1];
        const double x[20] = {1.0};
        lib::CONFTD(0, lib::PHIX(0, 0, tau, del, x), 1.0 + lib::PHIX(0, 1, tau, del, x), T0, D0,
                    jerr, jtext);
        EXPECT_EQ(jerr, 0);
        EXPECT_NEAR(T0, T, 1e-13 * T);
        EXPECT_NEAR(D0, D, 1e-13 * D);
        const Ecs r = trnecs(T, D);
        ASSERT_EQ(r.ierr, 0) << r.herr;
        double etab = 0;
        lib::ETAKB(0, T, D, etab, jerr, jtext);
        EXPECT_NEAR(r.eta - lib::ETA0DG(1, T), etab, 1e-9 * etab) << T << " " << D;
    }
}

TEST_F(TrnecsTest, LimitsOfTheBlock) {
    ASSERT_EQ(trtext::setup_text("nitrogen", nitrogen_on_itself()), 0);
    const double tmax = lib::WLMTRN.tmax[1];
    EXPECT_EQ(trnecs(1.4 * tmax, 0.01).ierr, 0);
    const Ecs r = trnecs(1.6 * tmax, 0.01);
    EXPECT_EQ(r.ierr, 1);
    EXPECT_EQ(r.herr, "[TRNECS error 1] one or more inputs are out of bounds");
    EXPECT_EQ(r.eta, kNotComputed);
    EXPECT_EQ(r.tcx, kNotComputed);
}

TEST_F(TrnecsTest, ConformalStateNotFound) {
    ASSERT_EQ(trtext::setup_text("nitrogen", nitrogen_on_itself()), 0);
    // A target no state of the equation has.
    double T0 = 300, D0 = 10;
    int ierr = 0;
    std::string herr;
    lib::CONFTD(0, 50.0, -20.0, T0, D0, ierr, herr);
    EXPECT_EQ(ierr, -58);
    EXPECT_EQ(herr,
              "[TRNECS warning 58] 2-D Newton-Raphson method for conformal temperature and density "
              "did not converge for component  0");
    // Through TRNECS: a conformal temperature beyond 2.2 times the reference's
    // limits, far from the critical-ratio start, stands as -58; the state is
    // then mapped by the critical ratios, as a dilute one is.
    const Ecs mapped = trnecs(300, 20);
    lib::WLMTRN.tmax[0] = lib::EOSLIM.tmax[0] = 100.0;
    lib::CCON.tc[1] *= 1.5;
    const Ecs r = trnecs(300, 20);
    EXPECT_EQ(r.ierr, -58);
    EXPECT_GT(r.eta, 0.0);
    EXPECT_GT(r.tcx, 0.0);
    // Nitrogen on itself at the ratios 1.5 and 1: the reference's background
    // at 200 K (its own at 300 K in the conformal state), not the same value.
    double etab = 0;
    lib::ETAKB(0, 200, 20, etab, ierr, herr);
    EXPECT_NEAR(r.eta, lib::ETA0DG(1, 300) + etab * std::sqrt(1.5), 1e-9 * r.eta);
    EXPECT_NE(r.eta, mapped.eta);
}

TEST_F(TrnecsTest, MixtureOfOneComponentIsThePureFluid) {
    // c1cc6: its equation of state is on toluene (slot -1), its transport on
    // propane (a fixed reference slot of mixtures).
    for (const char* pair : {"nitrogen|oxygen", "r116|r134a", "c1cc6|nitrogen"}) {
        const std::string first = std::string(pair).substr(0, std::string(pair).find('|'));
        const double states[][2] = {{300, 1e-6}, {300, 5}, {250, 10}, {180, 12}};
        trtext::Result pure[4];
        ASSERT_EQ(trtext::setup(first), 0);
        for (int i = 0; i < 4; ++i) pure[i] = trtext::trnprp(states[i][0], states[i][1]);
        ASSERT_LE(trtext::setup(pair, 2), 0);
        const double x[20] = {1.0, 0.0};
        for (int i = 0; i < 4; ++i) {
            const trtext::Result r = trtext::trnprp(states[i][0], states[i][1], x);
            EXPECT_EQ(r.eta, pure[i].eta) << pair << " " << states[i][0];
            EXPECT_EQ(r.tcx, pure[i].tcx) << pair << " " << states[i][0];
        }
    }
}

// Air as nitrogen, oxygen and argon against the dilute-gas values of Lemmon
// and Jacobsen's air correlation.
TEST_F(TrnecsTest, AirAsMixture) {
    ASSERT_EQ(trtext::setup("nitrogen|oxygen|argon", 3), 0);
    const double x[20] = {0.7812, 0.2096, 0.0092};
    double eta = 0, tcx = 0;
    int ierr = 0;
    std::string herr;
    lib::TRNPRP(300, 1e-14, x, eta, tcx, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(eta / 18.5230, 1.0, 0.02);
    EXPECT_NEAR(tcx * 1e3 / 26.3529, 1.0, 0.02);
    // Dense states are finite and positive, a component without its
    // collision values is an error with markers.
    lib::TRNPRP(120, 25, x, eta, tcx, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_GT(eta, 50.0);
    EXPECT_GT(tcx, 0.05);
    lib::ECSTRN.sigma[2] = 0.0;
    lib::TRNPRP(300, 1e-14, x, eta, tcx, ierr, herr);
    EXPECT_EQ(ierr, -59);
    EXPECT_EQ(eta, kNotComputed);
    EXPECT_EQ(tcx, kNotComputed);
}

// A component whose conformal state is not found from the critical ratios:
// by steps (R411A's phases next to its critical point, r152a's state), else
// its start ratios with the warning (r23's in toluene's liquid lies far below
// its triple point): values either way, continuous along the isotherm.
TEST_F(TrnecsTest, MixtureComponentsWithoutConformalStart) {
    ASSERT_EQ(trtext::setup("propylen|r22|r152a", 3), 0);
    const double liquid[20] = {0.029360, 0.833473, 0.137168};
    const trtext::Result near_critical = trtext::trnprp(372.6689375, 6.193767, liquid);
    EXPECT_EQ(near_critical.ierr, 0) << near_critical.herr;
    EXPECT_NEAR(near_critical.eta, 37.17, 0.01);
    ASSERT_EQ(trtext::setup("r23|toluene", 2), 0);
    const double x[20] = {8.844760422e-05, 0.9999115524};
    const trtext::Result first = trtext::trnprp(180, 10.5592738, x);
    for (int k = 0; k <= 12; ++k) {
        const trtext::Result r = trtext::trnprp(180, 10.5592738 * (1.0 + k * 2e-8), x);
        EXPECT_LE(r.ierr, 0) << k << " " << r.herr;
        EXPECT_NEAR(r.eta / first.eta, 1.0, 1e-4) << k;
        EXPECT_NEAR(r.tcx / first.tcx, 1.0, 1e-4) << k;
    }
}

// A trace of a heavy component in dense helium (the vapour of hexane or
// octane with helium at 96 MPa): its conformal state is not found, and the
// mixture's values join pure helium's as the trace vanishes.
TEST_F(TrnecsTest, TraceComponentWithoutConformalStateInDenseGas) {
    ASSERT_EQ(trtext::setup("helium"), 0);
    const double T = 202.85891, D = 34.741021;
    const trtext::Result helium = trtext::trnprp(T, D);
    ASSERT_EQ(helium.ierr, 0) << helium.herr;
    for (const char* pair : {"hexane|helium", "octane|helium"}) {
        ASSERT_LE(trtext::setup(pair, 2), 0);
        const double traces[] = {1e-6, 1e-4, 1e-3, 1e-2};
        for (double trace : traces) {
            const double x[20] = {trace, 1.0 - trace};
            const trtext::Result r = trtext::trnprp(T, D, x);
            EXPECT_LE(r.ierr, 0) << pair << " " << trace << " " << r.herr;
            // The mixture route against helium's own correlations: 0.13 % apart at
            // the smallest trace.
            const double bound = 100.0 * trace + 5e-3;
            EXPECT_NEAR(r.eta / helium.eta, 1.0, bound) << pair << " " << trace;
            EXPECT_NEAR(r.tcx / helium.tcx, 1.0, bound) << pair << " " << trace;
        }
    }
}

}  // namespace
