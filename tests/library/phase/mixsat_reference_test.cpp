// Mixture phase equilibria against the independent reference table: every
// bubble and dew row from T (SATT) and from p (SATP), every two-phase flash
// row (TPFLSH); at each converged state the fugacities of every component
// agree in both phases and the phases balance the feed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "library/library.h"
#include "tests/library/phase/mix_support.h"
#include "tests/support/paths.h"

namespace {

using mixtest::Row;

double rel(double got, double want) { return std::fabs(got - want) / std::fabs(want); }

class MixtureTable : public ::testing::Test {
protected:
    void SetUp() override {
        KVR2_REQUIRE_SHARED();
        rows = mixtest::read_csv(testsupport::shared_dir() + "/reference/mixtures.csv");
        ASSERT_FALSE(rows.empty());
    }
    void TearDown() override { mixtest::setup_nitrogen(); }
    // Sets up the row's mixture when it differs from the last one.
    bool mixture_of(const Row& r, double z[20]) {
        const mixtest::Mixture m = mixtest::parse_composition(r.at("mixture"), r.at("composition"));
        m.fill(z);
        if (m.names == current) return true;
        current = m.names;
        return mixtest::setup(m);
    }
    std::vector<Row> rows;
    std::string current;
    double worst = 0.0, worst_fug = 0.0;
    void track(double dev, double tol, const std::string& what) {
        worst = std::max(worst, dev / tol);
        EXPECT_LE(dev, tol) << what;
    }
};

TEST_F(MixtureTable, BubbleAndDewRowsFromTemperatureAndFromPressure) {
    int checked = 0;
    for (const Row& r : rows) {
        const std::string kind = r.at("kind");
        if (kind != "bubble" && kind != "dew") continue;
        double z[20];
        ASSERT_TRUE(mixture_of(r, z));
        const int kph = kind == "bubble" ? lib::kBubblePoint : lib::kDewPoint;
        const double T = std::stod(r.at("T")), P = std::stod(r.at("p"));
        const double D = std::stod(r.at("D")), Dinc = std::stod(r.at("D_incipient"));
        const mixtest::Mixture inc = mixtest::parse_composition("", r.at("incipient_composition"));
        for (const bool at_t : {true, false}) {
            double t = T, p = P, Dl = 0, Dv = 0, xl[20], xv[20];
            int ierr = 0;
            std::string herr;
            if (at_t)
                lib::SATT(T, z, kph, p, Dl, Dv, xl, xv, ierr, herr);
            else
                lib::SATP(P, z, kph, t, Dl, Dv, xl, xv, ierr, herr);
            const std::string what = r.at("mixture") + " " + kind + (at_t ? " at T=" : " at p=") +
                                     (at_t ? r.at("T") : r.at("p"));
            ASSERT_EQ(ierr, 0) << what << ": " << herr;
            const bool bubble = kph == lib::kBubblePoint;
            track(at_t ? rel(p, P) : rel(t, T), 1e-8, what + " T/p");
            track(rel(bubble ? Dl : Dv, D), 1e-8, what + " density");
            track(rel(bubble ? Dv : Dl, Dinc), 1e-8, what + " incipient density");
            for (int i = 0; i < inc.nc(); ++i) {
                const double want = inc.x[static_cast<std::size_t>(i)];
                track(rel((bubble ? xv : xl)[i], want), 1e-8, what + " incipient fraction");
            }
            const double fug = mixtest::fugacity_mismatch(t, Dl, Dv, xl, xv, z);
            worst_fug = std::max(worst_fug, fug);
            EXPECT_LE(fug, 1e-9) << what;
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
    std::printf(
        "%d bubble and dew points; largest deviation %.3g of the tolerance, "
        "fugacities %.3g\n",
        checked, worst, worst_fug);
}

TEST_F(MixtureTable, TwoPhaseFlashRows) {
    int checked = 0;
    for (const Row& r : rows) {
        if (r.at("kind") != "flash") continue;
        double z[20];
        ASSERT_TRUE(mixture_of(r, z));
        const double T = std::stod(r.at("T")), P = std::stod(r.at("p"));
        double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        const std::string what = r.at("mixture") + " at T=" + r.at("T") + " p=" + r.at("p");
        ASSERT_EQ(ierr, 0) << what << ": " << herr;
        track(std::fabs(q - std::stod(r.at("q"))), 1e-7, what + " q");
        track(rel(Dl, std::stod(r.at("D_liquid"))), 1e-7, what + " liquid density");
        track(rel(Dv, std::stod(r.at("D_vapour"))), 1e-7, what + " vapour density");
        const mixtest::Mixture xr = mixtest::parse_composition("", r.at("x_liquid"));
        const mixtest::Mixture yr = mixtest::parse_composition("", r.at("x_vapour"));
        for (int i = 0; i < xr.nc(); ++i) {
            track(std::fabs(x[i] - xr.x[static_cast<std::size_t>(i)]), 1e-7, what + " x");
            track(std::fabs(y[i] - yr.x[static_cast<std::size_t>(i)]), 1e-7, what + " y");
        }
        EXPECT_EQ(cp, -9999980.0) << what;
        EXPECT_NEAR(D, 1.0 / ((1.0 - q) / Dl + q / Dv), 1e-12 * D) << what;
        EXPECT_LE(mixtest::fugacity_mismatch(T, Dl, Dv, x, y, z), 1e-9) << what;
        EXPECT_LE(mixtest::balance_mismatch(q, x, y, z), 1e-12) << what;
        ++checked;
    }
    EXPECT_GT(checked, 0);
    std::printf("%d two-phase flashes; largest deviation %.3g of the tolerance\n", checked, worst);
}

}  // namespace
