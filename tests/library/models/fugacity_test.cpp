// Fugacities and the composition derivatives of the mixture model: the
// analytic route against numerical derivatives of the Helmholtz energy, the
// sum rule, the low-density limit, absent components, and every entry of
// PHIDR that the phase-equilibrium solvers read against central differences.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/hmx.h"
#include "library/models/hmxrecords.h"
#include "library/models/phiderv.h"
#include "library/models/phik.h"
#include "library/models/pr.h"
#include "tests/support/fluid.h"
#include "tests/support/paths.h"

namespace {

enum class Model { hmx, pr, aga };

struct Case {
    const char* names;
    std::vector<double> x;
    double T, D;  // a gas and a dense state are both in the list
    Model model = Model::hmx;
};

// Mixtures whose pairs use every departure form of the text: Gaussian
// bells (methane + ethane, co2 + water), ordinary terms (the HFC functions),
// the generalized function, pairs listed in the other order, none.
const Case kCases[] = {
    {"methane|ethane|propane|nitrogen|co2", {0.8, 0.07, 0.03, 0.06, 0.04}, 250.0, 8.0},
    {"methane|ethane|propane|nitrogen|co2", {0.8, 0.07, 0.03, 0.06, 0.04}, 320.0, 0.5},
    {"nitrogen|methane", {0.3, 0.7}, 150.0, 20.0},
    {"r32|r125|r134a", {0.23, 0.25, 0.52}, 280.0, 13.2},
    {"r32|r125|r134a", {0.23, 0.25, 0.52}, 340.0, 0.4},
    {"co2|water", {0.9, 0.1}, 500.0, 3.0},
    {"nitrogen|oxygen|argon", {0.7812, 0.2096, 0.0092}, 120.0, 25.0},
    {"propane|isobutane|butane", {0.4, 0.35, 0.25}, 300.0, 10.3},
    // Ammonia + water, whose departure function is not bilinear in the
    // fractions: the liquid near 5 MPa at 320 K, the gas near 500 kPa at 450 K.
    {"ammonia|water", {0.05, 0.95}, 320.0, 54.4},
    {"ammonia|water", {0.3, 0.7}, 320.0, 50.7},
    {"ammonia|water", {0.6, 0.4}, 320.0, 45.5},
    {"ammonia|water", {0.95, 0.05}, 320.0, 35.9},
    {"ammonia|water", {0.05, 0.95}, 450.0, 0.14},
    {"ammonia|water", {0.3, 0.7}, 450.0, 0.14},
    {"ammonia|water", {0.6, 0.4}, 450.0, 0.14},
    {"ammonia|water", {0.95, 0.05}, 450.0, 0.14},
    // The Peng-Robinson mixture (k_ij of the family estimates, the volume
    // translation) and AGA8, each in a gas and a liquid.
    {"methane|ethane|propane", {0.85, 0.1, 0.05}, 250.0, 2.0, Model::pr},
    {"methane|ethane|propane", {0.85, 0.1, 0.05}, 150.0, 23.0, Model::pr},
    {"nitrogen|co2|methane|hydrogen", {0.1, 0.2, 0.6, 0.1}, 220.0, 15.0, Model::pr},
    {"methane|ethane|propane", {0.85, 0.1, 0.05}, 250.0, 2.0, Model::aga},
    {"methane|ethane|propane", {0.85, 0.1, 0.05}, 150.0, 20.0, Model::aga},
    {"nitrogen|co2|methane|hydrogen|water", {0.1, 0.2, 0.55, 0.1, 0.05}, 300.0, 6.0, Model::aga},
};

class FugacityTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        const Case& c = GetParam();
        ASSERT_EQ(testsupport::set_up(c.names), "");
        for (std::size_t i = 0; i < c.x.size(); ++i) x[i] = c.x[i];
        n = static_cast<int>(c.x.size());
        if (c.model == Model::pr) {
            int on = 1;
            lib::PREOS(on);
        } else if (c.model == Model::aga) {
            int ierr = 0;
            std::string herr;
            lib::SETAGA(ierr, herr);
            ASSERT_EQ(ierr, 0) << herr;
        }
    }
    void TearDown() override {
        if (GetParam().model == Model::pr) {
            int off = 0;
            lib::PREOS(off);
        } else if (GetParam().model == Model::aga) {
            lib::UNSETAGA();
        }
    }
    // d(n alpha)/d n_i and the pressure at (T, D, y).
    void first(double T, double D, const double y[20], double m[20]) {
        double dadn[20];
        int ierr = 0;
        std::string herr;
        lib::PHIDERV(1, T, D, y, dadn, m, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
    }
    // Density at (T, P, y) by Newton from D.
    double density(double T, double P, const double y[20], double D) {
        for (int k = 0; k < 50; ++k) {
            double p = 0, dp = 0;
            lib::PRESS(T, D, y, p);
            lib::DPDD(T, D, y, dp);
            const double step = (p - P) / dp;
            D -= step;
            if (std::fabs(step) < 1e-15 * D) break;
        }
        return D;
    }
    // ln phi_i at (T, P, y), the density solved from D.
    void lnphi(double T, double P, const double y[20], double D, double out[20]) {
        const double d = density(T, P, y, D);
        double phi[20];
        int ierr = 0;
        std::string herr;
        lib::FUGCOF(T, d, y, phi, ierr, herr);
        for (int i = 0; i < 20; ++i) out[i] = phi[i] > 0.0 ? std::log(phi[i]) : 0.0;
    }
    // y = one mole of x with h moles of component j added.
    void add(int j, double h, double y[20]) const {
        for (int k = 0; k < 20; ++k) y[k] = (x[k] + (k == j ? h : 0.0)) / (1.0 + h);
    }
    double x[20] = {};
    int n = 0;
};

double rel(double a, double b) { return std::fabs(a - b) / std::max(1.0, std::fabs(b)); }

TEST_P(FugacityTest, AnalyticFugacitiesEqualNumericalDerivativesOfTheHelmholtzEnergy) {
    KVR2_REQUIRE_SHARED();
    const Case& c = GetParam();
    double fa[20], fn[20];
    int ierr = 0;
    std::string herr;
    lib::FGCTY2(c.T, c.D, x, fa, ierr, herr);
    lib::FGCTY(c.T, c.D, x, fn);
    for (int i = 0; i < n; ++i) EXPECT_LT(std::fabs(fa[i] / fn[i] - 1.0), 1e-7) << i;
}

TEST_P(FugacityTest, SumRuleAndAbsentComponents) {
    KVR2_REQUIRE_SHARED();
    const Case& c = GetParam();
    double phi[20];
    int ierr = 0;
    std::string herr;
    lib::FUGCOF(c.T, c.D, x, phi, ierr, herr);
    double tred = 0, dred = 0;
    lib::REDX(x, tred, dred);
    const double tau = tred / c.T, del = c.D / dred;
    const double Z = 1.0 + lib::PHIX(0, 1, tau, del, x);
    const double gr = lib::PHIX(0, 0, tau, del, x) + Z - 1.0 - std::log(Z);
    double s = 0.0;
    for (int i = 0; i < n; ++i) s += x[i] * std::log(phi[i]);
    EXPECT_NEAR(s, gr, 1e-12 * std::max(1.0, std::fabs(gr)));
    // The chemical potentials make up the Gibbs energy.
    double u[20], A = 0, G = 0;
    lib::CHEMPOT(c.T, c.D, x, u, ierr, herr);
    lib::AG(c.T, c.D, x, A, G);
    double gsum = 0.0;
    for (int i = 0; i < n; ++i) gsum += x[i] * u[i];
    EXPECT_NEAR(gsum, G, 1e-10 * std::max(1.0, std::fabs(G)));
    // Low density: f_i -> x_i P.  (Not for co2 + water: its published
    // departure function has a term with no density factor, which does not
    // vanish at zero density.)
    double f[20], P = 0;
    lib::FGCTY2(c.T, 1e-7, x, f, ierr, herr);
    lib::PRESS(c.T, 1e-7, x, P);
    if (std::string(c.names) != "co2|water") {
        for (int i = 0; i < n; ++i) EXPECT_NEAR(f[i] / (x[i] * P), 1.0, 1e-6);
    }
    // A component at zero: no fugacity, the others as for the mixture
    // without it.
    if (n < 3) return;
    double y[20] = {};
    for (int i = 0; i < n - 1; ++i) y[i] = x[i] / (1.0 - x[n - 1]);
    double fy[20];
    lib::FGCTY2(c.T, c.D, y, fy, ierr, herr);
    EXPECT_EQ(fy[n - 1], 0.0);
    double fn[20];
    lib::FGCTY(c.T, c.D, y, fn);
    for (int i = 0; i < n - 1; ++i) EXPECT_LT(std::fabs(fy[i] / fn[i] - 1.0), 1e-7);
}

TEST_P(FugacityTest, SecondDerivativesEqualCentralDifferences) {
    KVR2_REQUIRE_SHARED();
    const Case& c = GetParam();
    double dadn[20], m[20];
    int ierr = 0;
    std::string herr;
    lib::PHIDERV(2, c.T, c.D, x, dadn, m, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    const lib::PhidrRecord P = lib::PHIDR;
    const double h = 1e-5;
    double P0 = 0;
    lib::PRESS(c.T, c.D, x, P0);
    for (int j = 0; j < n; ++j) {
        // n d/dn_j at constant T and V: h moles of j in the same volume.
        double yp[20], ym[20], mp[20], mm[20], pp = 0, pm = 0;
        add(j, h, yp);
        add(j, -h, ym);
        first(c.T, c.D * (1 + h), yp, mp);
        first(c.T, c.D * (1 - h), ym, mm);
        lib::PRESS(c.T, c.D * (1 + h), yp, pp);
        lib::PRESS(c.T, c.D * (1 - h), ym, pm);
        EXPECT_LT(rel(P.ndp_dn[j], (pp - pm) / (2 * h)), 1e-7 * std::max(1.0, P0)) << "dP/dn " << j;
        for (int i = 0; i < n; ++i) {
            EXPECT_LT(rel(P.d2nadn2[i][j], (mp[i] - mm[i]) / (2 * h)), 1e-7) << i << "," << j;
            EXPECT_NEAR(P.d2nadn2[i][j], P.d2nadn2[j][i], 1e-9) << "symmetry " << i << "," << j;
        }
        // n d ln phi_i / d n_j at constant T and P, and the fraction tables.
        double lp[20], lm[20];
        lnphi(c.T, P0, yp, c.D, lp);
        lnphi(c.T, P0, ym, c.D, lm);
        for (int i = 0; i < n; ++i) {
            EXPECT_LT(rel(P.ndlnphi_dn[i][j], (lp[i] - lm[i]) / (2 * h)), 1e-7) << i << "," << j;
            EXPECT_EQ(P.dlnphi_dx[j][i], P.ndlnphi_dn[i][j]);
            EXPECT_EQ(P.dlnf_dx[j][i], P.ndlnphi_dn[i][j] + (i == j ? 1.0 / x[i] : 0.0));
        }
    }
    // Temperature and pressure derivatives.
    const double dT = 1e-5 * c.T, dP = 1e-5 * P0;
    double lp[20], lm[20], fp[20], fm[20];
    lnphi(c.T, P0 + dP, x, c.D, lp);
    lnphi(c.T, P0 - dP, x, c.D, lm);
    for (int i = 0; i < n; ++i)
        EXPECT_LT(std::fabs(P.dlnphi_dp[i] - (lp[i] - lm[i]) / (2 * dP)) * P0, 1e-7) << i;
    lnphi(c.T + dT, P0, x, c.D, lp);
    lnphi(c.T - dT, P0, x, c.D, lm);
    // Relative to the value where it is large (the dense AGA8 state).
    for (int i = 0; i < n; ++i) {
        const double fd = (lp[i] - lm[i]) / (2 * dT);
        EXPECT_LT(std::fabs(P.dlnphi_dt[i] - fd) * c.T, 1e-7 * std::max(1.0, std::fabs(fd) * c.T))
            << i;
    }
    lib::FGCTY2(c.T + dT, c.D, x, fp, ierr, herr);
    lib::FGCTY2(c.T - dT, c.D, x, fm, ierr, herr);
    for (int i = 0; i < n; ++i) {
        const double fd = std::log(fp[i] / fm[i]) / (2 * dT);
        EXPECT_LT(std::fabs(P.dlnf_dt[i] - fd) * c.T, 1e-7 * std::max(1.0, std::fabs(fd) * c.T));
    }
    const double v = 1.0 / c.D, dv = 1e-5 * v;
    lib::FGCTY2(c.T, 1.0 / (v + dv), x, fp, ierr, herr);
    lib::FGCTY2(c.T, 1.0 / (v - dv), x, fm, ierr, herr);
    for (int i = 0; i < n; ++i)
        EXPECT_LT(std::fabs(P.dlnf_dv[i] - std::log(fp[i] / fm[i]) / (2 * dv)) * v, 1e-7);
    // ln(x_i phi_i) as the fugacity coefficient gives it.
    double phi[20];
    lib::FUGCOF(c.T, c.D, x, phi, ierr, herr);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(P.lnxphi[i], std::log(x[i] * phi[i]), 1e-12);
}

// Every entry of PHIDR, read into one list.
std::vector<double> record_entries() {
    const lib::PhidrRecord& P = lib::PHIDR;
    const auto* p = reinterpret_cast<const double*>(&P);
    return std::vector<double>(p, p + sizeof(lib::PhidrRecord) / sizeof(double));
}

// A first-order call leaves PHIDR as it would leave a cleared record: after
// a second-order call (which fills every entry) and after a first-order one
// (whose entries it clears alone), with the last component then absent (in
// a gas: the dense states of some mixtures have no positive pressure
// without it).
TEST_P(FugacityTest, FirstOrderCallLeavesTheRecordAsFromACleared) {
    const Case& c = GetParam();
    double y[20] = {};
    for (int i = 0; i < n - 1; ++i) y[i] = x[i] / (1.0 - x[n - 1]);
    double dadn[20], m[20];
    int ierr = 0;
    std::string herr;
    std::vector<double> after[2];
    for (int order : {2, 1}) {
        lib::PHIDERV(order, c.T, c.D, x, dadn, m, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        lib::PHIDERV(1, c.T, std::min(c.D, 1.0), y, dadn, m, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        after[order - 1] = record_entries();
    }
    ASSERT_EQ(after[0].size(), after[1].size());
    int differ = 0;
    for (std::size_t k = 0; k < after[0].size(); ++k) differ += after[0][k] != after[1][k];
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(lib::PHIDR.lnxphi[static_cast<std::size_t>(n - 1)], 0.0);
    EXPECT_EQ(lib::PHIDR.ndlnphi_dn[0][0], 0.0);
}

// The fraction derivatives at constant tau and delta of the multi-fluid
// model are each component's residual part and the pair terms of its
// partners, added in the order of the components, to the last bit.
TEST_P(FugacityTest, FractionDerivativesAreThePairTermsInOrder) {
    const Case& c = GetParam();
    if (c.model != Model::hmx || std::string(c.names) == "ammonia|water") GTEST_SKIP();
    double dadn[20], m[20];
    int ierr = 0;
    std::string herr;
    lib::PHIDERV(2, c.T, c.D, x, dadn, m, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    const lib::PhidrRecord P = lib::PHIDR;
    double tred = 0, dred = 0;
    lib::REDX(x, tred, dred);
    const double tau = tred / c.T, del = c.D / dred;
    const struct {
        const lib::PhidrRecord::Vec& v;
        int itau, idel;
    } orders[] = {{P.ax, 0, 0}, {P.axd, 0, 1}, {P.axt, 1, 0}};
    for (const auto& o : orders) {
        for (int i = 1; i <= n; ++i) {
            double v = lib::PHIK(i, o.itau, o.idel, tau, del);
            for (int k = 1; k <= n; ++k)
                if (k != i) v += x[k - 1] * lib::hmx_pair_term(i, k, o.itau, o.idel, tau, del);
            EXPECT_EQ(o.v[static_cast<std::size_t>(i - 1)], v) << i << " " << o.itau << o.idel;
            for (int k = 1; k <= n && o.itau + o.idel == 0; ++k) {
                if (k == i) continue;
                const auto a = static_cast<std::size_t>(i - 1), b = static_cast<std::size_t>(k - 1);
                EXPECT_EQ(P.axx[a][b], lib::hmx_pair_term(i, k, 0, 0, tau, del)) << i << "," << k;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Mixtures, FugacityTest, ::testing::ValuesIn(kCases));

// Ammonia + water in either order of the components, across the fractions,
// liquid (5 MPa, 300 and 360 K) and gas (200 kPa, 450 K): the analytic
// fugacities equal the numerical ones, and turning the components round
// changes none of them.
TEST(AmmoniaWaterFugacities, AnalyticEqualNumericalAcrossTheFractions) {
    KVR2_REQUIRE_SHARED();
    struct State {
        double T, P;
        int kph;
    };
    const State kStates[] = {{300.0, 5000.0, 1}, {360.0, 5000.0, 1}, {450.0, 200.0, 2}};
    int worst_at = 0, count = 0;
    double worst = 0.0, worst_order = 0.0;
    for (int k = 1; k <= 19; ++k) {
        const double a = 0.05 * k;
        for (const State& st : kStates) {
            double f[2][20];
            for (int order = 0; order < 2; ++order) {
                ASSERT_EQ(testsupport::set_up(order == 0 ? "ammonia|water" : "water|ammonia"), "");
                const double x[20] = {order == 0 ? a : 1.0 - a, order == 0 ? 1.0 - a : a};
                double D = 0, fn[20];
                int ierr = 0;
                std::string herr;
                lib::TPRHO(st.T, st.P, x, st.kph, 0, D, ierr, herr);
                ASSERT_EQ(ierr, 0) << herr;
                lib::FGCTY2(st.T, D, x, f[order], ierr, herr);
                ASSERT_EQ(ierr, 0) << herr;
                lib::FGCTY(st.T, D, x, fn);
                ++count;
                for (int i = 0; i < 2; ++i) {
                    const double r = std::fabs(f[order][i] / fn[i] - 1.0);
                    if (r > worst) {
                        worst = r;
                        worst_at = k;
                    }
                }
            }
            for (int i = 0; i < 2; ++i)
                worst_order = std::max(worst_order, std::fabs(f[1][1 - i] / f[0][i] - 1.0));
        }
    }
    EXPECT_LT(worst, 1e-8) << "at x_ammonia " << 0.05 * worst_at << " of " << count << " states";
    EXPECT_LT(worst_order, 1e-12);
}

// n alpha of the ammonia + water gas at (T, V) with na and nw moles.
double n_alpha(double na, double nw, double T, double V) {
    const double n = na + nw;
    const double x[20] = {na / n, nw / n};
    double tred = 0, dred = 0;
    lib::REDX(x, tred, dred);
    return n * lib::PHIX(0, 0, tred / T, n / V / dred, x);
}

// Traces of ammonia, where x_a^gamma of the departure function bends
// sharply: d(n alpha)/dn_a against central differences with steps of 1 %
// of the ammonia (the numerical fugacities, with their fixed steps, are off
// by up to 1e-6 below x_a = 1e-5).
TEST(AmmoniaWaterFugacities, TracesOfAmmonia) {
    KVR2_REQUIRE_SHARED();
    ASSERT_EQ(testsupport::set_up("ammonia|water"), "");
    const double T = 450.0, D = 0.14;
    for (int k = 2; k <= 7; ++k) {
        const double a = std::pow(10.0, -k), h = 0.01 * a;
        const double x[20] = {a, 1.0 - a};
        double dadn[20], dnadn[20];
        int ierr = 0;
        std::string herr;
        lib::PHIDERV(1, T, D, x, dadn, dnadn, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        const double fd =
            (n_alpha(a + h, 1.0 - a, T, 1.0 / D) - n_alpha(a - h, 1.0 - a, T, 1.0 / D)) / (2 * h);
        EXPECT_NEAR(dnadn[0], fd, 1e-8) << "x_a " << a;
    }
}

// The numerical fugacities agree with the analytic ones at every fraction,
// traces and components of nearly all included: a gas of methane in ethane
// and the liquid of octane with argon dissolved (the dew point of their
// 50/50 gas at 238 K holds 1.7e-12 of argon).
TEST(NumericalFugacities, HoldForTracesAndNearlyPureComponents) {
    struct Binary {
        const char* names;
        double T, D;
    };
    const Binary kBinaries[] = {
        {"methane|ethane", 250.0, 1.0}, {"octane|argon", 238.0, 6.5}, {"co2|water", 500.0, 3.0}};
    for (const Binary& b : kBinaries) {
        ASSERT_EQ(testsupport::set_up(b.names), "");
        int worst_at = 0;
        double worst = 0.0;
        for (int k = 1; k <= 14; ++k) {
            for (const double t : {std::pow(10.0, -k), 1.0 - std::pow(10.0, -k)}) {
                const double x[20] = {1.0 - t, t};
                double fa[20], fn[20];
                int ierr = 0;
                std::string herr;
                lib::FGCTY2(b.T, b.D, x, fa, ierr, herr);
                ASSERT_EQ(ierr, 0) << herr;
                lib::FGCTY(b.T, b.D, x, fn);
                for (int i = 0; i < 2; ++i) {
                    const double r = std::fabs(fn[i] / fa[i] - 1.0);
                    if (r > worst) {
                        worst = r;
                        worst_at = k;
                    }
                }
            }
        }
        EXPECT_LT(worst, 1e-7) << b.names << ": at the fraction 1e-" << worst_at;
    }
}

}  // namespace
