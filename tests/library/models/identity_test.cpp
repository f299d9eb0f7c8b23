// The thermodynamic identities every equation of state must satisfy, run once
// per model: reduced Helmholtz derivatives against differences of the order
// below, every pressure and enthalpy derivative against differences of the
// routines below it, the properties against each other (Maxwell relations,
// cp, w, the Joule-Thomson coefficient, residual and ideal-gas parts), the
// low-density limits, and round trips through the flashes.  A new model gets
// every check by adding a line to kModels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/phik.h"
#include "library/models/pr.h"
#include "library/setup/records.h"
#include "tests/support/fluid.h"
#include "tests/support/properties.h"

namespace {

using testsupport::diff;
using testsupport::diff2;

// How a model is switched on after the set-up.
enum class Switch { none, peng_robinson, aga8 };

struct Model {
    const char* code;   // the model whose identities are checked
    const char* names;  // the fluid (or mixture) that carries it
    const char* eos;    // the equation of state asked for ("" the default)
    double x0;          // mole fraction of the first component
    bool order22;       // whether the model defines the (2,2) derivative
    Switch on = Switch::none;
};

const Model kModels[] = {
    {"FEQ", "water", "", 1.0, true},
    {"FEQ", "nitrogen", "", 1.0, true},
    {"FEQ", "r134a", "", 1.0, true},
    {"ECS", "propylen", "", 1.0, false},
    {"BWR", "nf3", "", 1.0, true},
    {"BWR", "nitrogen", "BWR", 1.0, true},
    {"HMX", "methane|ethane", "", 0.7, true},
    {"HMX", "nitrogen|argon", "", 0.8, true},
    {"HMX", "r32|r125", "", 0.6, true},
    {"HMX", "r125|r143a", "", 0.5, true},
    {"HMX", "co2|water", "", 0.9, true},
    {"HMX", "water|nitrogen", "", 0.6, true},
    {"HMX", "ethane|propane", "", 0.5, true},
    {"HMX", "methane|hydrogen", "", 0.7, true},
    // the ammonia + water function, not bilinear in the fractions
    {"HMX", "ammonia|water", "", 0.6, true},

    // departure functions Gaussian in tau, pairs turned round where the text
    // lists them the other way
    {"HMX", "neon|helium", "", 0.8, true},
    {"HMX", "argon|neon", "", 0.7, true},
    {"HMX", "helium|argon", "", 0.2, true},

    {"PR ", "propane", "", 1.0, true, Switch::peng_robinson},
    {"PR ", "methane|ethane", "", 0.7, true, Switch::peng_robinson},
    {"AGA", "methane|ethane", "", 0.7, true, Switch::aga8},
};

class Identities : public ::testing::TestWithParam<Model> {
protected:
    void SetUp() override {
        const Model& m = GetParam();
        ASSERT_EQ(testsupport::set_up(m.names, m.eos), "");
        if (m.on == Switch::peng_robinson) {
            int on = 1;
            lib::PREOS(on);
        } else if (m.on == Switch::aga8) {
            int ierr = 0;
            std::string herr;
            lib::SETAGA(ierr, herr);
            ASSERT_EQ(ierr, 0) << herr;
        }
        x[0] = m.x0;
        x[1] = 1.0 - m.x0;
        std::string hcode, hcite;
        lib::GETMOD(1, "EOS", hcode, hcite);
        if (!pure() || m.on != Switch::none) hcode = lib::EOSMOD.mix.str();
        ASSERT_EQ(hcode.substr(0, 3), std::string(m.code).substr(0, 3));
        int ierr = 0;
        std::string herr;
        lib::CRITP(x, Tc, Pc, Dc, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        M = lib::WMOL(x);
    }
    void TearDown() override {
        if (GetParam().on == Switch::peng_robinson) {
            int off = 0;
            lib::PREOS(off);
        } else if (GetParam().on == Switch::aga8) {
            lib::UNSETAGA();
        }
    }
    bool pure() const { return lib::ISPURE(x) != 0; }

    // Stable states: superheated vapour and compressed liquid below the
    // critical temperature (pure fluids), a dilute and a dense supercritical
    // state.
    std::vector<std::pair<double, double>> states() const {
        std::vector<std::pair<double, double>> st = {{1.3 * Tc, 0.3 * Dc}, {1.6 * Tc, 1.8 * Dc}};
        if (!pure()) return st;
        double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
        int ierr = 0;
        std::string herr;
        lib::SATT(0.75 * Tc, x, lib::kBubblePoint, P, Dl, Dv, xl, xv, ierr, herr);
        EXPECT_LE(ierr, 0) << herr;
        st.push_back({0.75 * Tc, 0.8 * Dv});
        st.push_back({0.75 * Tc, 1.01 * Dl});
        return st;
    }
    // States for the flash round trips: the supercritical pair and, of a
    // mixture, the feed's own compressed liquid beyond its bubble point and
    // its gas below its dew point density (where SATT finds them), at a
    // temperature where no component would freeze out.
    std::vector<std::pair<double, double>> flash_states() const {
        if (pure()) return states();
        std::vector<std::pair<double, double>> st = {{1.3 * Tc, 0.3 * Dc}, {1.6 * Tc, 1.8 * Dc}};
        double T = 0.75 * Tc;
        for (int i = 1; i <= 2; ++i) {
            double wmm, ttrp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
            lib::INFO(i, wmm, ttrp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
            T = std::max(T, 1.1 * ttrp);
        }
        double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
        int ierr = 0;
        std::string herr;
        lib::SATT(T, x, lib::kDewPoint, P, Dl, Dv, xl, xv, ierr, herr);
        if (ierr <= 0) st.push_back({T, 0.8 * Dv});
        lib::SATT(T, x, lib::kBubblePoint, P, Dl, Dv, xl, xv, ierr, herr);
        // (AGA8 is an equation for gases: its flashes of a compressed
        // liquid end in error 219, with that message.)
        if (GetParam().on == Switch::aga8) return st;
        double D = 0;
        // (Half way to the melting line where that lies closer.)
        double Pliquid = 1.5 * P, Pmelt = 0.0;
        int merr = 0;
        lib::MELTT(T, x, Pmelt, merr, herr);
        if (merr <= 0 && Pmelt > P) Pliquid = std::min(Pliquid, 0.5 * (P + Pmelt));
        if (ierr <= 0) lib::TPRHO(T, Pliquid, x, lib::kLiquid, 0, D, ierr, herr);
        if (ierr <= 0) st.push_back({T, D});
        return st;
    }

    double press(double T, double D) const {
        double p = 0;
        lib::PRESS(T, D, x, p);
        return p;
    }
    // Density at (T, P) and temperature at (P, D), by Newton from a start.
    double dens(double T, double P, double D) const {
        for (int i = 0; i < 50; ++i) {
            double dp = 0;
            lib::DPDD(T, D, x, dp);
            const double step = (press(T, D) - P) / dp;
            D -= step;
            if (std::fabs(step) < 1e-15 * D) break;
        }
        return D;
    }
    double temp(double P, double D, double T) const {
        for (int i = 0; i < 50; ++i) {
            double dt = 0;
            lib::DPDT(T, D, x, dt);
            const double step = (press(T, D) - P) / dt;
            T -= step;
            if (std::fabs(step) < 1e-15 * T) break;
        }
        return T;
    }
    // d^(i+j) alphar / dtau^i ddelta^j at the reduced state of (T, D).
    double plain(int i, int j, double tau, double del) const {
        const int ic = lib::ISPURE(x);
        const double phi = ic != 0 ? lib::PHIK(ic, i, j, tau, del) : lib::PHIX(i, j, tau, del, x);
        return phi / (std::pow(tau, i) * std::pow(del, j));
    }

    double x[20] = {};
    double Tc = 0, Pc = 0, Dc = 0, M = 0;
};

TEST_P(Identities, ReducedDerivativesAgainstDifferences) {
    int ic = 0;
    double tred = 0, dred = 0;
    ASSERT_TRUE(lib::reducing_point(x, ic, tred, dred));
    const int orders[][2] = {{1, 0}, {0, 1}, {2, 0}, {1, 1}, {0, 2},
                             {3, 0}, {2, 1}, {1, 2}, {0, 3}, {2, 2}};
    for (const auto& [T, D] : states()) {
        const double tau = tred / T, del = D / dred;
        for (const auto& o : orders) {
            const int i = o[0], j = o[1];
            if (i == 2 && j == 2 && !GetParam().order22) continue;
            // The order below along tau when i > 0, else along delta.
            const bool along_tau = i > 0;
            const double h = 1e-5 * (along_tau ? tau : del);
            const double fd = along_tau
                                  ? diff([&](double t) { return plain(i - 1, j, t, del); }, tau, h)
                                  : diff([&](double d) { return plain(i, j - 1, tau, d); }, del, h);
            const double exact = plain(i, j, tau, del);
            EXPECT_NEAR(exact, fd, 1e-6 * std::max(1.0, std::fabs(exact)))
                << "T " << T << " D " << D << " order " << i << j;
        }
    }
}

// Every derivative of DERVPVT and DHD1 against differences of PRESS and
// ENTHAL (and of D(T, P) and T(P, D) solved from them): first derivatives to
// 1e-6, second and mixed ones to 1e-4.
TEST_P(Identities, PressureAndEnthalpyDerivativesAgainstDifferences) {
    for (const auto& [T, D] : states()) {
        SCOPED_TRACE("T = " + std::to_string(T) + " K, D = " + std::to_string(D) + " mol/L");
        auto near1 = [](double a, double b) {
            return std::fabs(a - b) <= 1e-6 * std::fabs(b) + 1e-14;
        };
        auto near2 = [](double a, double b) {
            return std::fabs(a - b) <= 1e-4 * std::fabs(b) + 1e-14;
        };
        const double P = press(T, D);
        double dpdd, dpdd2, dpdt, dddp, dddt;
        lib::DPDD(T, D, x, dpdd);
        ASSERT_GT(dpdd, 0.0) << "not a stable state";
        lib::DPDD2(T, D, x, dpdd2);
        lib::DPDT(T, D, x, dpdt);
        lib::DDDP(T, D, x, dddp);
        lib::DDDT(T, D, x, dddt);
        const double hT = 1e-4 * T, hD = 1e-4 * D;
        const double hPd = hD * dpdd, hPt = hT * std::fabs(dpdt);
        const double n_pd = diff([&](double d) { return press(T, d); }, D, hD);
        const double n_pt = diff([&](double t) { return press(t, D); }, T, hT);
        EXPECT_PRED2(near1, dpdd, n_pd);
        EXPECT_PRED2(near1, dpdt, n_pt);
        EXPECT_PRED2(near2, dpdd2, diff2([&](double d) { return press(T, d); }, D, hD));
        EXPECT_PRED2(near1, dddp, diff([&](double p) { return dens(T, p, D); }, P, hPd));
        EXPECT_PRED2(near1, dddt, diff([&](double t) { return dens(t, P, D); }, T, hT));
        if (pure()) {
            const int ic = lib::ISPURE(x);
            double a = 0, b = 0;
            lib::DPDDK(ic, T, D, a);
            lib::DPDTK(ic, T, D, b);
            EXPECT_DOUBLE_EQ(a, dpdd);
            EXPECT_DOUBLE_EQ(b, dpdt);
        }

        double o[15];
        lib::DERVPVT(T, D, x, o[0], o[1], o[2], o[3], o[4], o[5], o[6], o[7], o[8], o[9], o[10],
                     o[11], o[12], o[13], o[14]);
        auto dpdt_at = [&](double d) {
            double v;
            lib::DPDT(T, d, x, v);
            return v;
        };
        const double expected[15] = {
            n_pd,
            n_pt,
            dpdd2,
            diff2([&](double t) { return press(t, D); }, T, hT),
            diff(dpdt_at, D, hD),
            dddp,
            dddt,
            diff2([&](double p) { return dens(T, p, D); }, P, hPd),
            diff2([&](double t) { return dens(t, P, D); }, T, hT),
            diff([&](double t) { return diff([&](double p) { return dens(t, p, D); }, P, hPd); }, T,
                 hT),
            diff([&](double p) { return temp(p, D, T); }, P, hPt),
            diff([&](double d) { return temp(P, d, T); }, D, hD),
            diff2([&](double p) { return temp(p, D, T); }, P, hPt),
            diff2([&](double d) { return temp(P, d, T); }, D, hD),
            diff([&](double d) { return diff([&](double p) { return temp(p, d, T); }, P, hPt); }, D,
                 hD)};
        const bool second[15] = {false, false, false, true,  true, false, false, true,
                                 true,  true,  false, false, true, true,  true};
        for (int k = 0; k < 15; ++k)
            if (second[k])
                EXPECT_PRED2(near2, o[k], expected[k]) << "DERVPVT item " << k + 1;
            else
                EXPECT_PRED2(near1, o[k], expected[k]) << "DERVPVT item " << k + 1;

        auto h = [&](double t, double d) {
            double v;
            lib::ENTHAL(t, d, x, v);
            return v;
        };
        double e[6];
        lib::DHD1(T, D, x, e[0], e[1], e[2], e[3], e[4], e[5]);
        EXPECT_PRED2(near1, e[0], diff([&](double t) { return h(t, D); }, T, hT));
        EXPECT_PRED2(near1, e[1], diff([&](double t) { return h(t, dens(t, P, D)); }, T, hT));
        EXPECT_PRED2(near1, e[2], diff([&](double d) { return h(T, d); }, D, hD));
        EXPECT_PRED2(near1, e[3], diff([&](double d) { return h(temp(P, d, T), d); }, D, hD));
        EXPECT_PRED2(near1, e[4], diff([&](double p) { return h(T, dens(T, p, D)); }, P, hPd));
        EXPECT_PRED2(near1, e[5], diff([&](double p) { return h(temp(p, D, T), D); }, P, hPt));
    }
}

// The properties against the Helmholtz energy and against each other.
TEST_P(Identities, PropertiesAgreeWithEachOther) {
    double R = 0;
    lib::RMIX2(x, R);
    auto A = [&](double t, double d) {
        double a, g;
        lib::AG(t, d, x, a, g);
        return a;
    };
    auto therm = [&](double t, double d) { return testsupport::therm(t, d, x); };
    for (const auto& [T, D] : states()) {
        SCOPED_TRACE("T = " + std::to_string(T) + " K, D = " + std::to_string(D) + " mol/L");
        const testsupport::Props p = therm(T, D);
        const double hT = 1e-3 * T, hD = 1e-4 * D;
        EXPECT_NEAR(p.P, D * D * diff([&](double d) { return A(T, d); }, D, hD),
                    1e-7 * std::fabs(p.P) + 1e-9);
        EXPECT_NEAR(p.s, -diff([&](double t) { return A(t, D); }, T, hT),
                    1e-7 * std::fabs(p.s) + 1e-6);
        EXPECT_NEAR(p.e, A(T, D) + T * p.s, 1e-9 * std::fabs(p.e) + 1e-8);
        EXPECT_NEAR(p.h, p.e + p.P / D, 1e-9 * std::fabs(p.h) + 1e-8);
        EXPECT_NEAR(p.cv, diff([&](double t) { return therm(t, D).e; }, T, hT),
                    1e-7 * std::fabs(p.cv));
        const double dPdT = diff([&](double t) { return therm(t, D).P; }, T, hT);
        const double dPdD = diff([&](double d) { return therm(T, d).P; }, D, hD);
        // Maxwell: (ds/dD)_T = -(dP/dT)_D / D^2.
        EXPECT_NEAR(diff([&](double d) { return therm(T, d).s; }, D, hD), -dPdT / (D * D),
                    1e-6 * std::fabs(dPdT / (D * D)));
        EXPECT_NEAR(p.cp, p.cv + T * dPdT * dPdT / (D * D * dPdD), 1e-7 * std::fabs(p.cp));
        EXPECT_NEAR(p.w, std::sqrt(p.cp / p.cv * dPdD * 1000.0 / M), 1e-7 * p.w);
        EXPECT_NEAR(p.hjt, (T * dPdT / (D * D * dPdD) - 1.0 / D) / p.cp,
                    1e-7 * std::fabs(p.hjt) + 1e-12);

        double q[22];
        lib::THERM2(T, D, x, q[0], q[1], q[2], q[3], q[4], q[5], q[6], q[7], q[8], q[9], q[10],
                    q[11], q[12], q[13], q[14], q[15], q[16], q[17], q[18], q[19], q[20], q[21]);
        const double same[7] = {p.P, p.e, p.h, p.s, p.cv, p.cp, p.w};
        for (int k = 0; k < 7; ++k) EXPECT_NEAR(q[k], same[k], 1e-12 * std::fabs(q[k]));
        EXPECT_NEAR(q[7], p.P / (D * R * T), 1e-14);                         // Z
        EXPECT_NEAR(q[10], q[9] + p.P / D, 1e-9 * std::fabs(q[10]) + 1e-8);  // G = A + P/D
        EXPECT_NEAR(q[11], 1.0 / (D * dPdD), 1e-7 * std::fabs(q[11]));       // kappa
        EXPECT_NEAR(q[12], dPdT / (D * dPdD), 1e-7 * std::fabs(q[12]));      // beta
        EXPECT_NEAR(q[16], -dPdT / dPdD, 1e-7 * std::fabs(q[16]));           // dD/dT
        EXPECT_NEAR(q[17], 1.0 / dPdD, 1e-7 * std::fabs(q[17]));             // dD/dP
        EXPECT_EQ(q[20], -9999990.0);
        EXPECT_EQ(q[21], -9999990.0);

        // Residual parts are the difference to the ideal gas at the same T and D.
        double P0, e0, h0, s0, cv0, cp0, w0, A0, G0, Pr, er, hr, sr, cvr, cpr, Ar, Gr;
        lib::THERM0(T, D, x, P0, e0, h0, s0, cv0, cp0, w0, A0, G0);
        lib::RESIDUAL(T, D, x, Pr, er, hr, sr, cvr, cpr, Ar, Gr);
        EXPECT_NEAR(P0, D * R * T, 1e-9 * std::fabs(P0));
        EXPECT_NEAR(cp0 - cv0, R, 1e-9);
        EXPECT_NEAR(Pr, p.P - P0, 1e-9 * std::fabs(P0));
        EXPECT_NEAR(hr, p.h - h0, 1e-8 * std::fabs(h0) + 1e-8);
        EXPECT_NEAR(sr, p.s - s0, 1e-9 * std::fabs(s0) + 1e-9);
        EXPECT_NEAR(cpr, p.cp - cp0, 1e-9 * std::fabs(p.cp));
    }
}

// The dilute gas: the second virial coefficient in the pressure's second
// density derivative, and the markers of the items without a limit.
TEST_P(Identities, LowDensityLimits) {
    const double T = 1.3 * Tc;
    double B = 0, R = 0, dB = 0;
    lib::VIRB(T, x, B);
    lib::DBDT(T, x, dB);
    lib::RMIX2(x, R);
    double v = 0;
    lib::DPDD2(T, 1e-8, x, v);
    EXPECT_NEAR(v, 2 * B * R * T, 1e-9 * std::fabs(v));
    // B is the slope of Z at zero density.
    const double d = 1e-5 * Dc;
    EXPECT_NEAR((press(T, d) / (d * R * T) - 1.0) / d, B, 1e-4 * std::fabs(B));
    double o[15];
    lib::DERVPVT(T, 0.0, x, o[0], o[1], o[2], o[3], o[4], o[5], o[6], o[7], o[8], o[9], o[10],
                 o[11], o[12], o[13], o[14]);
    EXPECT_DOUBLE_EQ(o[2], 2 * B * R * T);
    EXPECT_DOUBLE_EQ(o[7], -2 * B / (R * T * R * T));
    for (int i = 10; i < 15; ++i) EXPECT_EQ(o[i], -9999960.0) << i;
    double e[6];
    lib::DHD1(T, 0.0, x, e[0], e[1], e[2], e[3], e[4], e[5]);
    EXPECT_EQ(e[3], -9999960.0);
    EXPECT_NEAR(e[4], B - T * dB, 1e-9 * std::fabs(B - T * dB));  // dh/dP of the dilute gas
    // No temperature, no state.
    for (double& item : o) item = 7.0;
    lib::DERVPVT(0.0, Dc, x, o[0], o[1], o[2], o[3], o[4], o[5], o[6], o[7], o[8], o[9], o[10],
                 o[11], o[12], o[13], o[14]);
    for (double item : o) EXPECT_EQ(item, 0.0);
}

// Each state back from (T, P), (P, h) and (P, s).  A supercritical state of
// a mixture may lie inside its two-phase region (water in CO2 condenses far
// above the critical estimate): then the split is what comes back.
TEST_P(Identities, RoundTripsThroughTheFlashes) {
    for (const auto& [T, D] : flash_states()) {
        SCOPED_TRACE("T = " + std::to_string(T) + " K, D = " + std::to_string(D) + " mol/L");
        const double P = press(T, D);
        double D1, Dl, Dv, xl[20], xv[20], q, e, h, s, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(T, P, x, D1, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        if (q <= 0.0 || q >= 1.0) {
            EXPECT_NEAR(D1, D, 1e-9 * D);
        }
        double T2, D2, e2, s2, h2, q2;
        lib::PHFLSH(P, h, x, T2, D2, Dl, Dv, xl, xv, q2, e2, s2, cv, cp, w, ierr, herr);
        EXPECT_LE(ierr, 0) << herr;
        EXPECT_NEAR(T2, T, 1e-7 * T);
        EXPECT_NEAR(D2, D1, 1e-7 * D1);
        lib::PSFLSH(P, s, x, T2, D2, Dl, Dv, xl, xv, q2, e2, h2, cv, cp, w, ierr, herr);
        EXPECT_LE(ierr, 0) << herr;
        EXPECT_NEAR(T2, T, 1e-7 * T);
        EXPECT_NEAR(D2, D1, 1e-7 * D1);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryModel, Identities, ::testing::ValuesIn(kModels),
                         [](const ::testing::TestParamInfo<Model>& param) {
                             std::string n =
                                 std::string(param.param.code) + "_" + param.param.names;
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

}  // namespace
