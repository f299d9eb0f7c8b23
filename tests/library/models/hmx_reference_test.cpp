// The mixture model against independent reference values: every single-phase
// row of the shared mixture table (p, cp, w, and enthalpy and entropy
// differences against the mixture's first row) from (T, D, x).
//
// The reference values carry the ideal-gas density term ln D of each
// component with the component's own gas constant; the library carries it
// with the mixture's (see PHI0), which moves the entropy by
// -sum x_i (R - R_i) ln D and nothing else: the comparison takes that term
// out.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/setup/records.h"
#include "tests/library/phase/mix_support.h"
#include "tests/support/fluid.h"
#include "tests/support/paths.h"
#include "tests/support/properties.h"
#include "tests/support/table.h"

namespace {

using testsupport::read_csv;
using testsupport::Row;

TEST(MixtureReferenceTest, EverySinglePhaseRowOfTheMixtureTable) {
    KVR2_REQUIRE_SHARED();
    const auto rows = read_csv(testsupport::shared_dir() + "/reference/mixtures.csv");
    ASSERT_FALSE(rows.empty());
    std::string current;
    double h1 = 0, s1 = 0, h1ref = 0, s1ref = 0, D1 = 0;
    double x[20] = {};
    double worst = 0.0;
    int checked = 0;
    for (const Row& r : rows) {
        if (r.at("kind") != "single") continue;
        const std::string mix = r.at("mixture");
        const double T = std::stod(r.at("T")), D = std::stod(r.at("D"));
        if (mix != current) {
            current = mix;
            const mixtest::Mixture m = mixtest::parse_composition(mix, r.at("composition"));
            m.fill(x);
            ASSERT_EQ(testsupport::set_up(m.names), "");
            const testsupport::Props first = testsupport::therm(T, D, x);
            h1 = first.h;
            s1 = first.s;
            D1 = D;
            h1ref = std::stod(r.at("h"));
            s1ref = std::stod(r.at("s"));
        }
        const auto [P, e, h, s, cv, cp, w, hjt] = testsupport::therm(T, D, x);
        double R = 0;
        lib::RMIX2(x, R);
        double dR = 0.0;  // sum x_i (R - R_i)
        for (int i = 0; i < lib::NCOMP.nc; ++i) dR += x[i] * (R - lib::CCON.rgas[i + 1]);
        auto check = [&](const char* col, double got, double want, double scale) {
            const double dev = std::fabs(got - want) / scale;
            worst = std::max(worst, dev);
            EXPECT_LE(dev, 1e-9) << mix << " T=" << T << " D=" << D << " " << col << ": " << got
                                 << " vs " << want;
        };
        check("p", P, std::stod(r.at("p")), std::fabs(std::stod(r.at("p"))));
        check("cp", cp, std::stod(r.at("cp")), std::stod(r.at("cp")));
        check("w", w, std::stod(r.at("w")), std::stod(r.at("w")));
        check("h_rel", h - h1, std::stod(r.at("h")) - h1ref, R * T);
        check("s_rel", s - s1 + dR * std::log(D / D1), std::stod(r.at("s")) - s1ref, R);
        ++checked;
    }
    EXPECT_GT(checked, 0);
    std::printf("%d rows checked; largest deviation %.3g of the values\n", checked, worst);
}

}  // namespace
