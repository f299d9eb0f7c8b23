// The top of a mixture's traced boundary: above its cricondenbar and its
// cricondentherm SATP and SATT fail at once with the errors of their
// roads, just below them they still find their points, and nothing is
// refused while the boundary is not traced.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/envelope.h"
#include "library/phase/records.h"
#include "tests/library/phase/mix_support.h"

namespace {

using mixtest::Mixture;

// (T, p) flashes across the feed's range until its boundary is traced (the
// flashes' stability tests trace it from their 24th call on).
bool traced(const double z[20], double& tmax) {
    double tmin = 0, tlim = 0, dmax = 0, pmax = 0;
    lib::LIMITS("EOS", z, tmin, tlim, dmax, pmax);
    for (int k = 0; k < 200; ++k) {
        if (lib::mix::cricondentherm(z, tmax)) return true;
        const double T = tmin + (std::min(tlim, 1000.0) - tmin) * (k % 9) / 8.0;
        const double P = 10.0 * std::pow(10.0, 3.0 * (k % 7) / 6.0);
        double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    }
    return lib::mix::cricondentherm(z, tmax);
}

// The cricondenbar of the feed's own trace (SATSPLN, as the flashes trace
// it).
double cricondenbar(const double z[20]) {
    int ierr = 0;
    std::string herr;
    lib::SATSPLN(z, ierr, herr);
    return ierr == 0 && lib::MAXTP.pmax_flag == 0 ? lib::MAXTP.pmax_p : 0.0;
}

class EnvelopeTop : public mixtest::MixtureSuite<::testing::TestWithParam<Mixture>> {};

TEST_P(EnvelopeTop, RefusesAboveTheTopOnly) {
    const Mixture& m = GetParam();
    int ierr = 0;
    std::string herr, hrf = "DEF";
    lib::SETUP0(m.nc(), m.names, "hmx", hrf, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    double z[20];
    m.fill(z);
    // Untraced, nothing is refused.
    EXPECT_FALSE(lib::mix::no_saturation_at_pressure(1e5, z));
    EXPECT_FALSE(lib::mix::no_saturation_at_temperature(2000.0, z));
    double tmax = 0;
    ASSERT_TRUE(traced(z, tmax)) << m.label;
    const double pmax = cricondenbar(z);
    ASSERT_GT(pmax, 0.0) << m.label;
    EXPECT_FALSE(lib::mix::no_saturation_at_pressure(pmax, z));
    EXPECT_TRUE(lib::mix::no_saturation_at_pressure(1.02 * pmax, z));
    EXPECT_FALSE(lib::mix::no_saturation_at_temperature(tmax, z));
    EXPECT_TRUE(lib::mix::no_saturation_at_temperature(1.02 * tmax, z));

    double T = 0, P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
    for (int kph : {lib::kBubblePoint, lib::kDewPoint}) {
        SCOPED_TRACE(m.label + (kph == lib::kBubblePoint ? " bubble" : " dew"));
        lib::SATP(1.02 * pmax, z, kph, T, Dl, Dv, xl, xv, ierr, herr);
        EXPECT_EQ(ierr, 148);
        EXPECT_NE(
            herr.find("[SATP error 148] iteration for saturation state did not converge; P ="),
            std::string::npos)
            << herr;
        EXPECT_TRUE(std::isfinite(T) && T > 0.0 && Dl > 0.0 && Dv > 0.0);
        lib::SATT(1.02 * tmax, z, kph, P, Dl, Dv, xl, xv, ierr, herr);
        EXPECT_EQ(ierr, 128);
        EXPECT_NE(
            herr.find("[SATT error 128] iteration for saturation state did not converge; T ="),
            std::string::npos)
            << herr;
        EXPECT_TRUE(std::isfinite(P) && P > 0.0 && Dl > 0.0 && Dv > 0.0);
    }
    // Just below the tops a point of one of the lines is found.
    const auto found_at_p = [&](double p) {
        int berr = 0, derr = 0;
        lib::SATP(p, z, lib::kBubblePoint, T, Dl, Dv, xl, xv, berr, herr);
        lib::SATP(p, z, lib::kDewPoint, T, Dl, Dv, xl, xv, derr, herr);
        return berr <= 0 || derr <= 0;
    };
    const auto found_at_t = [&](double t) {
        int berr = 0, derr = 0;
        lib::SATT(t, z, lib::kBubblePoint, P, Dl, Dv, xl, xv, berr, herr);
        lib::SATT(t, z, lib::kDewPoint, P, Dl, Dv, xl, xv, derr, herr);
        return berr <= 0 || derr <= 0;
    };
    EXPECT_TRUE(found_at_p(0.995 * pmax)) << m.label;
    EXPECT_TRUE(found_at_t(0.999 * tmax)) << m.label;
}

// Gases and a blend whose boundary is traced whole, top and ends.
const Mixture kMixtures[] = {
    {"air", "nitrogen|oxygen|argon", {0.7812, 0.2096, 0.0092}},
    {"natural gas (3)", "methane|ethane|propane", {0.9, 0.07, 0.03}},
    {"natural gas (10)",
     "methane|nitrogen|co2|ethane|propane|isobutane|butane|ipentane|pentane|hexane",
     {0.8300, 0.0300, 0.0150, 0.0700, 0.0280, 0.0060, 0.0080, 0.0030, 0.0025, 0.0075}},
    {"propane+isobutane", "propane|isobutane", {0.5, 0.5}},
};

INSTANTIATE_TEST_SUITE_P(Mixtures, EnvelopeTop, ::testing::ValuesIn(kMixtures),
                         [](const ::testing::TestParamInfo<Mixture>& p) {
                             std::string n;
                             for (char c : p.param.label)
                                 if (std::isalnum(static_cast<unsigned char>(c))) n += c;
                             return n;
                         });

}  // namespace
