// Pressure and its derivatives: every analytic derivative against
// differences of PRESS (and of D(T, P) and T(P, D) solved from it), the
// low-density and T <= 0 limits; on a test equation and, when the texts are
// built in, on water, nitrogen and r134a.
#include "library/models/press.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "tests/library/models/press_fixture.h"

namespace {

const double kX[20] = {1.0};

double press(double T, double D) {
    double p = 0;
    lib::PRESS(T, D, kX, p);
    return p;
}

// Five-point central difference.
double diff(const std::function<double(double)>& f, double x, double h) {
    return (-f(x + 2 * h) + 8 * f(x + h) - 8 * f(x - h) + f(x - 2 * h)) / (12 * h);
}
double diff2(const std::function<double(double)>& f, double x, double h) {
    return (-f(x + 2 * h) + 16 * f(x + h) - 30 * f(x) + 16 * f(x - h) - f(x - 2 * h)) /
           (12 * h * h);
}

// Density at (T, P) and temperature at (P, D), by Newton from a start.
double dens(double T, double P, double D) {
    for (int i = 0; i < 50; ++i) {
        double dp = 0;
        lib::DPDD(T, D, kX, dp);
        const double step = (press(T, D) - P) / dp;
        D -= step;
        if (std::fabs(step) < 1e-15 * D) break;
    }
    return D;
}
double temp(double P, double D, double T) {
    for (int i = 0; i < 50; ++i) {
        double dt = 0;
        lib::DPDT(T, D, kX, dt);
        const double step = (press(T, D) - P) / dt;
        T -= step;
        if (std::fabs(step) < 1e-15 * T) break;
    }
    return T;
}

struct State {
    double T, D;
};

// Checks all derivatives of the current fluid at (T, D), a stable state:
// first derivatives to tol1, second and mixed ones (taken by nested
// differences of solved states) to tol2.
void check_derivatives(double T, double D, double tol1, double tol2) {
    SCOPED_TRACE("T = " + std::to_string(T) + " K, D = " + std::to_string(D) + " mol/L");
    auto near1 = [tol1](double a, double b) {
        return std::fabs(a - b) <= tol1 * std::fabs(b) + 1e-14;
    };
    auto near2 = [tol2](double a, double b) {
        return std::fabs(a - b) <= tol2 * std::fabs(b) + 1e-14;
    };
    const double P = press(T, D);
    double dpdd, dpdd2, dpdt, dddp, dddt;
    lib::DPDD(T, D, kX, dpdd);
    ASSERT_GT(dpdd, 0.0) << "not a stable state";
    lib::DPDD2(T, D, kX, dpdd2);
    lib::DPDT(T, D, kX, dpdt);
    lib::DDDP(T, D, kX, dddp);
    lib::DDDT(T, D, kX, dddt);
    // Steps that move T or D by about 1e-4 of their value.
    const double hT = 1e-4 * T, hD = 1e-4 * D;
    const double hPd = hD * dpdd;             // pressure step along an isotherm
    const double hPt = hT * std::fabs(dpdt);  // pressure step along an isochore
    const double n_pd = diff([&](double d) { return press(T, d); }, D, hD);
    const double n_pt = diff([&](double t) { return press(t, D); }, T, hT);
    EXPECT_PRED2(near1, dpdd, n_pd);
    EXPECT_PRED2(near1, dpdt, n_pt);
    EXPECT_PRED2(near2, dpdd2, diff2([&](double d) { return press(T, d); }, D, hD));
    EXPECT_PRED2(near1, dddp, diff([&](double p) { return dens(T, p, D); }, P, hPd));
    EXPECT_PRED2(near1, dddt, diff([&](double t) { return dens(t, P, D); }, T, hT));

    double o[15];
    lib::DERVPVT(T, D, kX, o[0], o[1], o[2], o[3], o[4], o[5], o[6], o[7], o[8], o[9], o[10], o[11],
                 o[12], o[13], o[14]);
    EXPECT_PRED2(near1, o[0], n_pd);
    EXPECT_PRED2(near1, o[1], n_pt);
    EXPECT_PRED2(near1, o[2], dpdd2);
    EXPECT_PRED2(near2, o[3], diff2([&](double t) { return press(t, D); }, T, hT));
    EXPECT_PRED2(near2, o[4],
                 diff(
                     [&](double d) {
                         double v;
                         lib::DPDT(T, d, kX, v);
                         return v;
                     },
                     D, hD));
    EXPECT_PRED2(near1, o[5], dddp);
    EXPECT_PRED2(near1, o[6], dddt);
    // Derivatives of D(T, P) and T(P, D).
    EXPECT_PRED2(near2, o[7], diff2([&](double p) { return dens(T, p, D); }, P, hPd));
    EXPECT_PRED2(near2, o[8], diff2([&](double t) { return dens(t, P, D); }, T, hT));
    EXPECT_PRED2(
        near2, o[9],
        diff([&](double t) { return diff([&](double p) { return dens(t, p, D); }, P, hPd); }, T,
             hT));
    EXPECT_PRED2(near1, o[10], diff([&](double p) { return temp(p, D, T); }, P, hPt));
    EXPECT_PRED2(near1, o[11], diff([&](double d) { return temp(P, d, T); }, D, hD));
    EXPECT_PRED2(near2, o[12], diff2([&](double p) { return temp(p, D, T); }, P, hPt));
    EXPECT_PRED2(near2, o[13], diff2([&](double d) { return temp(P, d, T); }, D, hD));
    EXPECT_PRED2(
        near2, o[14],
        diff([&](double d) { return diff([&](double p) { return temp(p, d, T); }, P, hPt); }, D,
             hD));

    // Enthalpy derivatives against differences of ENTHAL at constant D or T,
    // and along the isobar and the isochore.
    auto h = [](double t, double d) {
        double v;
        lib::ENTHAL(t, d, kX, v);
        return v;
    };
    double e[6];
    lib::DHD1(T, D, kX, e[0], e[1], e[2], e[3], e[4], e[5]);
    EXPECT_PRED2(near1, e[0], diff([&](double t) { return h(t, D); }, T, hT));
    EXPECT_PRED2(near1, e[1], diff([&](double t) { return h(t, dens(t, P, D)); }, T, hT));
    EXPECT_PRED2(near1, e[2], diff([&](double d) { return h(T, d); }, D, hD));
    EXPECT_PRED2(near1, e[3], diff([&](double d) { return h(temp(P, d, T), d); }, D, hD));
    EXPECT_PRED2(near1, e[4], diff([&](double p) { return h(T, dens(T, p, D)); }, P, hPd));
    EXPECT_PRED2(near1, e[5], diff([&](double p) { return h(temp(p, D, T), D); }, P, hPt));
}

using PressTest = presstest::Synthetic;

TEST_F(PressTest, DerivativesAgainstDifferences) {
    // Gas and supercritical states, where the shortened equation is stable.
    for (const State s : {State{500.0, 0.2}, State{900.0, 3.0}, State{1200.0, 8.0}})
        check_derivatives(s.T, s.D, 1e-6, 1e-4);
}

TEST_F(PressTest, ComponentFormsAgreeWithTheCompositionForms) {
    double a, b;
    lib::DPDD(600.0, 8.0, kX, a);
    lib::DPDDK(1, 600.0, 8.0, b);
    EXPECT_DOUBLE_EQ(a, b);
    lib::DPDT(600.0, 8.0, kX, a);
    lib::DPDTK(1, 600.0, 8.0, b);
    EXPECT_DOUBLE_EQ(a, b);
}

TEST_F(PressTest, LowDensityAndZeroTemperature) {
    const double T = 600.0;
    double B = 0, R = 0;
    lib::VIRB(T, kX, B);
    lib::RMIX2(kX, R);
    double v = 0;
    lib::DPDD2(T, 1e-8, kX, v);
    EXPECT_DOUBLE_EQ(v, 2 * B * R * T);
    lib::DPDD2(T, 2e-8, kX, v);
    EXPECT_NEAR(v, 2 * B * R * T, 1e-6 * std::fabs(v));

    double o[15];
    lib::DERVPVT(T, 0.0, kX, o[0], o[1], o[2], o[3], o[4], o[5], o[6], o[7], o[8], o[9], o[10],
                 o[11], o[12], o[13], o[14]);
    EXPECT_DOUBLE_EQ(o[2], 2 * B * R * T);
    EXPECT_DOUBLE_EQ(o[7], -2 * B / (R * T * R * T));
    for (int i = 10; i < 15; ++i) EXPECT_EQ(o[i], -9999960.0) << i;
    EXPECT_NEAR(o[0], R * T, 1e-12);
    EXPECT_EQ(o[1], 0.0);

    double e[6];
    lib::DHD1(T, 0.0, kX, e[0], e[1], e[2], e[3], e[4], e[5]);
    EXPECT_EQ(e[3], -9999960.0);
    EXPECT_EQ(e[5], -9999960.0);
    double dB = 0;
    lib::DBDT(T, kX, dB);
    EXPECT_NEAR(e[2], R * T * B - R * T * T * dB, 1e-9 * std::fabs(e[2]));
    EXPECT_NEAR(e[4], B - T * dB, 1e-9 * std::fabs(B - T * dB));  // dh/dP of the dilute gas

    for (double& x : o) x = 7.0;
    lib::DERVPVT(0.0, 10.0, kX, o[0], o[1], o[2], o[3], o[4], o[5], o[6], o[7], o[8], o[9], o[10],
                 o[11], o[12], o[13], o[14]);
    for (double x : o) EXPECT_EQ(x, 0.0);
    double p = 1;
    lib::PRESS(-5.0, 10.0, kX, p);
    EXPECT_EQ(p, 0.0);
}

TEST(PressBuiltin, DerivativesOfWaterNitrogenR134a) {
    struct Case {
        const char* name;
        State gas, liquid, super;
    };
    const Case cases[] = {{"water", {500.0, 0.2}, {300.0, 56.0}, {700.0, 12.0}},
                          {"nitrogen", {100.0, 0.5}, {80.0, 29.0}, {300.0, 10.0}},
                          {"r134a", {300.0, 0.2}, {250.0, 13.8}, {400.0, 6.0}}};
    for (const Case& c : cases) {
        if (!presstest::setup_fluid(c.name)) GTEST_SKIP() << "fluid texts not built in";
        SCOPED_TRACE(c.name);
        for (const State& s : {c.gas, c.liquid, c.super}) check_derivatives(s.T, s.D, 1e-6, 1e-4);
    }
}

}  // namespace
