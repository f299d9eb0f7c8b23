// The traced phase boundary (SATSPLN) against the saturation routines: its
// points are the bubble and dew points that SATT and SATP find on their own,
// its splines between the points stay on the boundary, and its cricondentherm,
// cricondenbar and critical point are those of the trace with steps of 0.1 mol/L
// everywhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/records.h"
#include "library/setup/records.h"
#include "library/setup/splines.h"
#include "tests/library/phase/mix_support.h"

namespace {

using mixtest::Mixture;

// A gas of four components whose critical point lies between two traced
// points, where the boundary's equations are nearly singular.
const Mixture kGas4{"natural gas (4)", "methane|ethane|propane|butane", {0.7, 0.15, 0.1, 0.05}};

const Mixture& mixture(const std::string& label) {
    if (label == kGas4.label) return kGas4;
    for (const Mixture& m : mixtest::mixtures())
        if (m.label == label) return m;
    throw std::runtime_error("no mixture " + label);
}

// The columns of a row of SATSPL for nc components.
struct Columns {
    int nc;
    int x(int i) const { return i + 1; }
    int t() const { return nc + 1; }
    int p() const { return nc + 2; }
    int dinc() const { return nc + 3; }
};

double cell(int k, int col) {
    return lib::SATSPL.value[static_cast<std::size_t>(k)][static_cast<std::size_t>(col)];
}

// A state on the boundary: the feed phase's density and the incipient
// phase's, T, P and the incipient composition.
struct Boundary {
    double D = 0, Dinc = 0, T = 0, P = 0, inc[20] = {};
};

Boundary node(int k, const Columns& c) {
    Boundary b;
    b.D = std::exp(cell(k, 0));
    b.Dinc = std::exp(cell(k, c.dinc()));
    b.T = std::exp(cell(k, c.t()));
    b.P = std::exp(cell(k, c.p()));
    for (int i = 0; i < c.nc; ++i) b.inc[i] = std::exp(cell(k, c.x(i)));
    return b;
}

Boundary on_splines(double lnD, const Columns& c) {
    const auto value = [&](int col) {
        double v = 0;
        int ierr = 0;
        std::string herr;
        lib::SPLNVAL(col, 0, std::exp(lnD), v, ierr, herr);
        return ierr == 0 ? v : std::nan("");
    };
    Boundary b;
    b.D = std::exp(lnD);
    b.Dinc = value(c.dinc());
    b.T = value(c.t());
    b.P = value(c.p());
    double sum = 0.0;
    for (int i = 0; i < c.nc; ++i) sum += b.inc[i] = value(c.x(i));
    for (int i = 0; i < c.nc; ++i) b.inc[i] /= sum;
    return b;
}

// The deviation of the saturation routines from a boundary state: a dew
// point (the feed the thinner phase) by SATP at its pressure, as the
// temperature's; a bubble point by SATT at its temperature, as the
// pressure's (each the one the routine's question has).  1 where the routine
// fails; a point refused because a component would freeze out of it (error
// 250: the carbon dioxide of the natural gas below 195 K) keeps the point
// found, which is compared.
constexpr int kFrozenOut = 250;
double deviation(const Boundary& b, const double z[20], std::string& what) {
    double Dl = 0, Dv = 0, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    if (b.D < b.Dinc) {
        // (Between the cricondenbar and the critical point a pressure has
        // a second dew point below; not asked.)
        if (lib::MAXTP.pmax_flag == 0 && b.D > lib::MAXTP.pmax_d) return -1.0;
        double T = 0;
        lib::SATP(b.P, z, lib::kDewPoint, T, Dl, Dv, xl, xv, ierr, herr);
        what = "dew point at " + std::to_string(b.P) + " kPa";
        return ierr != 0 && ierr != kFrozenOut ? 1.0 : std::fabs(T / b.T - 1.0);
    }
    double P = 0;
    lib::SATT(b.T, z, lib::kBubblePoint, P, Dl, Dv, xl, xv, ierr, herr);
    what = "bubble point at " + std::to_string(b.T) + " K";
    return ierr != 0 && ierr != kFrozenOut ? 1.0 : std::fabs(P / b.P - 1.0);
}

class EnvelopeTrace : public mixtest::MixtureSuite<::testing::TestWithParam<const char*>> {};

// A dozen points spread over the trace (the critical region left out, where
// neither routine is asked) and the splines halfway between each of them and
// the next: the points in equilibrium with equal fugacities, on the
// saturation routines' boundary to 1e-10 (fugacities equal to 1e-11); the
// splines to 1e-4.
TEST_P(EnvelopeTrace, PointsAreTheSaturationRoutinesBubbleAndDewPoints) {
    const Mixture& m = mixture(GetParam());
    ASSERT_TRUE(mixtest::setup(m));
    double z[20];
    m.fill(z);
    int ierr = 0;
    std::string herr;
    lib::SATSPLN(z, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    const Columns c{m.nc()};
    const int n = lib::SATSPL.n;
    ASSERT_GE(n, 40);
    // (From the first point above 0.05 mol/L, past the ideal-gas limit and
    // its tenfold steps, to the last but two, above the lowest temperature
    // of the equations.)
    int first = 0;
    while (first < n && !(std::exp(cell(first, 0)) > 0.05)) ++first;
    const int picks = 12;
    int asked = 0;
    double worst_point = 0.0, worst_spline = 0.0, worst_fugacity = 0.0;
    for (int j = 0; j < picks; ++j) {
        const int k = first + (n - 4 - first) * j / (picks - 1);
        const Boundary b = node(k, c);
        if (std::fabs(std::log(b.Dinc / b.D)) < 0.3) continue;
        worst_fugacity =
            std::max(worst_fugacity,
                     b.D < b.Dinc ? mixtest::fugacity_mismatch(b.T, b.Dinc, b.D, b.inc, z, z)
                                  : mixtest::fugacity_mismatch(b.T, b.D, b.Dinc, z, b.inc, z));
        std::string what;
        const double dp = deviation(b, z, what);
        if (dp < 0.0) continue;
        ++asked;
        EXPECT_LT(dp, 1e-10) << m.label << ", point " << k << ": " << what;
        worst_point = std::max(worst_point, dp);
        const Boundary half = on_splines(0.5 * (cell(k, 0) + cell(k + 1, 0)), c);
        if (std::fabs(std::log(half.Dinc / half.D)) < 0.3) continue;
        const double ds = deviation(half, z, what);
        if (ds < 0.0) continue;
        EXPECT_LT(ds, 1e-4) << m.label << ", splines after point " << k << ": " << what;
        worst_spline = std::max(worst_spline, ds);
    }
    EXPECT_GE(asked, 8) << m.label;
    EXPECT_LT(worst_fugacity, 1e-11) << m.label;
    std::printf("%s: %d points, %d asked; worst %.2e at points, %.2e halfway, fugacities %.2e\n",
                m.label.c_str(), n, asked, worst_point, worst_spline, worst_fugacity);
}

INSTANTIATE_TEST_SUITE_P(Mixtures, EnvelopeTrace,
                         ::testing::Values("air", "natural gas (3)", "natural gas (10)"),
                         [](const ::testing::TestParamInfo<const char*>& p) {
                             std::string s;
                             for (const char* ch = p.param; *ch; ++ch)
                                 if (std::isalnum(static_cast<unsigned char>(*ch))) s += *ch;
                             return s;
                         });

// The cricondentherm, the cricondenbar and the critical point of the
// trace as they were with steps of 0.1 mol/L wherever the boundary is close
// to one of them (and 0.3 elsewhere), T in K, P in kPa, D in mol/L: the
// longer steps of the smooth parts leave them to 1e-6.
struct Characteristic {
    const char* mixture;
    double tmax[3], pmax[3], crit[3];
};
const Characteristic kCharacteristic[] = {
    {"air",
     {132.87431011, 3850.1930048, 11.0859433105},
     {132.857242804, 3853.16244696, 11.5923372648},
     {132.831061851, 3852.10872415, 11.9003188588}},
    {"natural gas (3)",
     {230.489303874, 5179.58305343, 4.01674668972},
     {222.430654841, 6758.91981821, 8.50582351449},
     {215.36279797, 6470.25157192, 11.09306995}},
    {"natural gas (10)",
     {301.265873971, 5745.54815826, 2.66745318556},
     {266.383790827, 11459.9488182, 8.6895121066},
     {226.094425903, 8621.42355378, 13.2584265781}},
    {"natural gas (4)",
     {298.775691679, 6697.23355077, 3.78789121191},
     {275.654374455, 9981.01403476, 9.48532948517},
     {268.655522849, 9873.09721669, 10.56860533}},
};

class EnvelopePoints : public mixtest::MixtureSuite<> {};

TEST_F(EnvelopePoints, CharacteristicPointsOfTheFineTrace) {
    for (const Characteristic& want : kCharacteristic) {
        const Mixture& m = mixture(want.mixture);
        ASSERT_TRUE(mixtest::setup(m));
        double z[20];
        m.fill(z);
        int ierr = 0;
        std::string herr;
        lib::SATSPLN(z, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        const lib::MaxtpRecord& got = lib::MAXTP;
        ASSERT_EQ(got.tmax_flag + got.pmax_flag + got.crit_flag, 0) << m.label;
        const double have[3][3] = {{got.tmax_t, got.tmax_p, got.tmax_d},
                                   {got.pmax_t, got.pmax_p, got.pmax_d},
                                   {got.crit_t, got.crit_p, got.crit_d}};
        const double* expected[3] = {want.tmax, want.pmax, want.crit};
        const char* names[3] = {"cricondentherm", "cricondenbar", "critical point"};
        for (int k = 0; k < 3; ++k)
            for (int v = 0; v < 3; ++v)
                EXPECT_NEAR(have[k][v] / expected[k][v], 1.0, 1e-6)
                    << m.label << ", " << names[k] << " (T, P, D)[" << v << "]";
    }
}

}  // namespace
