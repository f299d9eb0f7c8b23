// Helpers of the mixture phase-equilibrium tests: mixtures by name, the
// reference table, and the checks every converged two-phase state must pass
// (equal fugacities of each component in both phases, the material balance).
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "library/library.h"
#include "tests/support/table.h"

namespace mixtest {

// A mixture: component names joined by "|" and mole fractions.
struct Mixture {
    std::string label, names;
    std::vector<double> x;
    int nc() const { return static_cast<int>(x.size()); }
    void fill(double z[20]) const {
        for (int i = 0; i < 20; ++i) z[i] = i < nc() ? x[static_cast<std::size_t>(i)] : 0.0;
    }
};

// The mixtures of the round trips.
inline const std::vector<Mixture>& mixtures() {
    static const std::vector<Mixture> m = {
        {"air", "nitrogen|oxygen|argon", {0.7812, 0.2096, 0.0092}},
        {"natural gas (3)", "methane|ethane|propane", {0.9, 0.07, 0.03}},
        {"co2+nitrogen", "co2|nitrogen", {0.7, 0.3}},
        {"r32+r125", "r32|r125", {0.5, 0.5}},
        {"natural gas (10)",
         "methane|nitrogen|co2|ethane|propane|isobutane|butane|ipentane|pentane|hexane",
         {0.8300, 0.0300, 0.0150, 0.0700, 0.0280, 0.0060, 0.0080, 0.0030, 0.0025, 0.0075}},
    };
    return m;
}

// Sets the library back to pure nitrogen, as the other tests expect it.
inline void setup_nitrogen() {
    int ierr = 0;
    std::string herr, hrf = "DEF";
    lib::SETUP0(1, "nitrogen", "hmx", hrf, ierr, herr);
}

// A suite over mixtures that leaves the library set up for pure nitrogen.
template <class Base = ::testing::Test>
class MixtureSuite : public Base {
protected:
    void TearDown() override { setup_nitrogen(); }
};

// States of a grid and the failures among them, the first `keep` listed.
struct FailureCount {
    int states = 0, two_phase = 0, failures = 0;
    std::vector<std::string> list;
    std::size_t keep = 40;
    void failed(const std::string& what) {
        ++failures;
        if (list.size() < keep) list.push_back(what);
    }
    void print(const std::string& heading) const {
        std::printf("%s: %d states (%d two-phase), %d failures\n", heading.c_str(), states,
                    two_phase, failures);
        for (const std::string& s : list) std::printf("  %s\n", s.c_str());
    }
};

inline ::testing::AssertionResult setup(const Mixture& m) {
    int ierr = 0;
    std::string herr, hrf = "DEF";
    lib::SETUP0(m.nc(), m.names, "hmx", hrf, ierr, herr);
    if (ierr > 0) return ::testing::AssertionFailure() << m.label << ": " << herr;
    return ::testing::AssertionSuccess();
}

// The largest |f_liquid / f_vapour - 1| over the components of z, or 1 when
// a fugacity cannot be computed.
inline double fugacity_mismatch(double T, double Dl, double Dv, const double x[20],
                                const double y[20], const double z[20]) {
    double fl[20], fv[20];
    int ierr = 0;
    std::string herr;
    lib::FGCTY2(T, Dl, x, fl, ierr, herr);
    if (ierr > 0) return 1.0;
    lib::FGCTY2(T, Dv, y, fv, ierr, herr);
    if (ierr > 0) return 1.0;
    double worst = 0.0;
    for (int i = 0; i < 20; ++i) {
        if (!(z[i] > 0.0)) continue;
        if (!(fv[i] > 0.0) || !(fl[i] > 0.0)) return 1.0;
        worst = std::max(worst, std::fabs(fl[i] / fv[i] - 1.0));
    }
    return worst;
}

// A split or saturation point at (T, P) beside the frozen trace of index
// `trace`: the trace at the feed's fraction in both phases, the rest's
// fugacities equal (1e-9) and both phases at P (1e-9).
inline void expect_rest_at_equilibrium(double T, double P, const double z[20], int trace, double Dl,
                                       double Dv, const double x[20], const double y[20]) {
    EXPECT_DOUBLE_EQ(x[trace], z[trace]);
    EXPECT_DOUBLE_EQ(y[trace], z[trace]);
    double rest[20];
    for (int i = 0; i < 20; ++i) rest[i] = i == trace ? 0.0 : z[i];
    EXPECT_LT(fugacity_mismatch(T, Dl, Dv, x, y, rest), 1e-9);
    double Pl = 0, Pv = 0;
    lib::PRESS(T, Dl, x, Pl);
    lib::PRESS(T, Dv, y, Pv);
    EXPECT_NEAR(Pl, P, 1e-9 * P);
    EXPECT_NEAR(Pv, P, 1e-9 * P);
}

// The sum of x_i ln f_i(T, D, x) over the components (per R T: the Gibbs
// energy of the phase up to terms linear in x, which cancel between phases
// of one feed), or a huge value when the fugacities cannot be computed.
inline double phase_gibbs(double T, double D, const double x[20]) {
    double f[20] = {};
    int ierr = 0;
    std::string herr;
    lib::FGCTY2(T, D, x, f, ierr, herr);
    if (ierr > 0) return 1e300;
    double g = 0.0;
    for (int i = 0; i < 20; ++i)
        if (x[i] > 0.0) g += x[i] * std::log(f[i]);
    return g;
}

// The largest |z - (1 - q) x - q y|.
inline double balance_mismatch(double q, const double x[20], const double y[20],
                               const double z[20]) {
    double worst = 0.0;
    for (int i = 0; i < 20; ++i)
        worst = std::max(worst, std::fabs(z[i] - (1.0 - q) * x[i] - q * y[i]));
    return worst;
}

using testsupport::read_csv;
using testsupport::Row;

// "name:x;name:x" as a mixture.
inline Mixture parse_composition(const std::string& label, const std::string& text) {
    Mixture m;
    m.label = label;
    std::stringstream ss(text);
    std::string part;
    while (std::getline(ss, part, ';')) {
        const std::size_t colon = part.find(':');
        if (!m.names.empty()) m.names += "|";
        m.names += part.substr(0, colon);
        m.x.push_back(std::stod(part.substr(colon + 1)));
    }
    return m;
}

// An equimolar binary at a temperature, and its test name ("a_b").
struct BinaryAt {
    const char* names;
    double T;
};
inline std::string binary_name(const ::testing::TestParamInfo<BinaryAt>& info) {
    std::string s = info.param.names;
    for (char& c : s)
        if (c == '|') c = '_';
    return s;
}

// The bubble and dew point of z at T: pressures, the incipient vapour's and
// liquid's first fraction; the message of the first that failed, else "".
struct BubbleDew {
    double Pb = 0, Pd = 0, y_bubble = 0, x_dew = 0;
    std::string error;
};
inline BubbleDew bubble_and_dew(double T, const double z[20]) {
    BubbleDew b;
    double Dl = 0, Dv = 0, xl[20], xv[20];
    int ierr = 0;
    lib::SATT(T, z, lib::kBubblePoint, b.Pb, Dl, Dv, xl, xv, ierr, b.error);
    if (ierr > 0) return b;
    b.y_bubble = xv[0];
    lib::SATT(T, z, lib::kDewPoint, b.Pd, Dl, Dv, xl, xv, ierr, b.error);
    if (ierr > 0) return b;
    b.x_dew = xl[0];
    b.error.clear();
    return b;
}

}  // namespace mixtest
