// The MBWR equation: the evaluators against the values computed from the
// published equations, the analytic derivatives against central differences,
// the guards at zero density, the loader's warnings and the published check
// values reached through the property routines and solvers.
#include "library/models/bwr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "tests/support/fluid.h"
#include "tests/support/paths.h"
#include "tests/support/table.h"

namespace {

// The 14 fluids whose texts carry the MBWR equation as an alternative; nf3
// has it as its default.
const char* const kAlternatives[] = {"r123",    "r152a",   "r13",       "methane",  "ethane",
                                     "propane", "butane",  "isobutane", "nitrogen", "oxygen",
                                     "argon",   "parahyd", "ethylene",  "r134a"};

// Sets one fluid up with its MBWR equation; "" on success.
std::string set_up_bwr(const std::string& name) {
    const std::string failure = testsupport::set_up(name, name == "nf3" ? "" : "BWR");
    if (!failure.empty()) return failure;
    std::string got, cite;
    lib::GETMOD(1, "EOS", got, cite);
    return got == "BWR" ? "" : name + ": equation of state " + got + " loaded";
}

std::string mbwr_dir() { return testsupport::shared_dir() + "/fluid-data/extra/mbwr/"; }

double rel(double a, double b) { return std::fabs(a - b) / std::max(std::fabs(b), 1e-300); }

TEST(Bwr, EvaluatorsMatchTheValuesComputedFromThePublishedEquations) {
    KVR2_REQUIRE_SHARED();
    const auto rows = testsupport::read_csv(mbwr_dir() + "computed_values.tsv", '\t');
    ASSERT_EQ(rows.size(), 45u);
    double worst = 0.0;
    std::string where;
    for (const auto& r : rows) {
        const std::string name = r.at("name");
        ASSERT_EQ(set_up_bwr(name), "") << name;
        const double T = std::stod(r.at("T_K")), D = std::stod(r.at("rho_mol_L"));
        const double tau = lib::ZRED.tred[1] / T, del = D / lib::ZRED.dred[1];
        struct Item {
            const char* col;
            double got;
            double scale;  // absolute floor of the comparison
        } items[] = {
            {"p_kPa", lib::PBWR(1, T, D), 1e-6},
            {"dpdrho_kPa_L_mol", lib::DPDBWR(1, T, D), 1.0},
            {"d2pdrho2_kPa_L2_mol2", lib::D2PBWR(1, T, D), 1.0},
            {"dpdT_kPa_K", lib::DPTBWR(1, T, D), 1e-8},
            {"Ar_J_mol", lib::ABWR(1, T, D), 1e-8},
            {"dArdT_J_molK", lib::DABWR(1, T, D), 1e-10},
            {"d2ArdT2_J_molK2", lib::D2ABWR(1, T, D), 1e-12},
            {"alphar", lib::PHIBWR(1, 0, 0, tau, del), 1e-12},
            {"delta_dalphar_ddelta", lib::PHIBWR(1, 0, 1, tau, del), 1e-12},
            {"tau_dalphar_dtau", lib::PHIBWR(1, 1, 0, tau, del), 1e-12},
            {"delta2_d2alphar_ddelta2", lib::PHIBWR(1, 0, 2, tau, del), 1e-12},
            {"tau2_d2alphar_dtau2", lib::PHIBWR(1, 2, 0, tau, del), 1e-12},
            {"tau_delta_d2alphar_dtau_ddelta", lib::PHIBWR(1, 1, 1, tau, del), 1e-12},
            {"delta3_d3alphar_ddelta3", lib::PHIBWR(1, 0, 3, tau, del), 1e-12},
        };
        for (const Item& it : items) {
            const double want = std::stod(r.at(it.col));
            const double d = std::fabs(it.got - want) / std::max(std::fabs(want), it.scale);
            if (d > worst) {
                worst = d;
                where = name + " " + r.at("T_K") + " K " + it.col;
            }
        }
    }
    EXPECT_LT(worst, 1e-9) << where;
}

TEST(Bwr, ZeroDensityGuards) {
    ASSERT_EQ(set_up_bwr("nitrogen"), "");
    EXPECT_EQ(lib::PBWR(1, 300.0, 0.0), 0.0);
    EXPECT_EQ(lib::DPDBWR(1, 300.0, 0.0), lib::GCNST.r * 300.0);
    EXPECT_EQ(lib::D2PBWR(1, 300.0, 0.0), 0.0);
    for (int i = 0; i <= 3; ++i)
        for (int j = 0; j <= 3; ++j) EXPECT_EQ(lib::PHIBWR(1, i, j, 0.5, 1.0e-10), 0.0);
    EXPECT_EQ(lib::PHIBWR(1, 4, 0, 0.5, 1.0), 0.0);
    double tc = 0, pc = 0, dc = 0;
    lib::CRTBWR(1, tc, pc, dc);
    EXPECT_EQ(tc, 126.26);
    EXPECT_NEAR(pc, 3399.08, 1e-9);  // kPa, although the record holds bar
    EXPECT_EQ(dc, 11.21);
    // THERM2 and DPDD2 use the third-order derivatives.
    const double x[20] = {1.0};
    const double T = 100.0, D = 25.0, h = 1e-4;
    double d2 = 0;
    lib::DPDD2(T, D, x, d2);
    double a = 0, b = 0;
    lib::DPDD(T, D + h, x, a);
    lib::DPDD(T, D - h, x, b);
    EXPECT_NEAR(d2, (a - b) / (2 * h), 1e-6 * std::fabs(d2));
}

// A BWR section whose reducing values and term counts disagree loads with
// ierr 0; the warnings go to the message routine only.
TEST(Bwr, LoaderWarnsAndLoads) {
    std::ostringstream t;
    t << "<<synthetic>>\n100.0\n500.0\n10000.0\n30.0\nCPP\n28.0\n63.15\n12.5\n30.9\n77.3\n0.04\n"
      << "126.26 3399.08 11.21\n126.2602 11.2101\n13.3630621\n0.0831434\n31 2\n";
    for (int i = 0; i < 10; ++i) t << "1.0e-5 2.0e-5 3.0e-5\n";
    t << "1.0e-5 2.0e-5\n";
    lib::store::override_text(1, t.str());
    lib::ILINE = 1;
    int ierr = 9;
    std::string herr = "x";
    const int saved = lib::PRNTERR;
    lib::PRNTERR = 0;
    lib::SETBWR(1, 5, "7727-37-9", ierr, herr);
    lib::PRNTERR = saved;
    lib::store::restore();
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(herr, "");
    EXPECT_EQ(lib::EOSLIM.tmin[5], 100.0);
    EXPECT_EQ(lib::EOSLIM.pmax[5], 10000.0);
    EXPECT_EQ(lib::ZRED.tred[5], 126.26);
    EXPECT_NEAR(lib::WCFBWR.k[5][32], 33.9908, 1e-12);  // bar

    lib::SETBWR(0, 5, "7727-37-9", ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "[SETBWR error] Fluid input to SETBWR not found");
}

// One published check value reproduced through the property routines and
// the solvers: density at (T, p) (the stable root; the liquid root where the
// data set notes that the table lists the liquid), saturation at T, and cv,
// cp, w with the publication's ideal-gas heat capacity.
struct Check {
    double ours = 0.0;
    bool ok = false;
};

Check evaluate(const testsupport::Row& r) {
    Check c;
    const double x[20] = {1.0};
    const double T = std::stod(r.at("T_K"));
    const std::string q = r.at("quantity"), unit = r.at("unit");
    int ierr = 0;
    std::string herr;
    if (r.at("kind") == "saturation_T") {
        double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
        lib::SATT(T, x, 1, P, Dl, Dv, xl, xv, ierr, herr);
        const double D = q == "rho_liq_sat" ? Dl : Dv;
        c.ours = q == "p_sat" ? P / 1000.0 : unit == "kg/m3" ? D * lib::CCON.wm[1] : D;
    } else {
        const double p = std::stod(r.at("p_kPa_input"));
        double D = 0;
        if (!r.at("note").empty()) {
            lib::TPRHO(T, p, x, 1, 0, D, ierr, herr);
        } else {
            double Dl, Dv, xl[20], xv[20], qq, e, h, s, cv, cp, w;
            lib::TPFLSH(T, p, x, D, Dl, Dv, xl, xv, qq, e, h, s, cv, cp, w, ierr, herr);
        }
        double P, e, h, s, cv, cp, w, hjt;
        lib::THERM(T, D, x, P, e, h, s, cv, cp, w, hjt);
        c.ours = q == "rho"  ? (unit == "kg/m3" ? D * lib::CCON.wm[1] : D)
                 : q == "cv" ? cv
                 : q == "cp" ? cp
                             : w;
    }
    c.ok = ierr <= 0;
    return c;
}

TEST(Bwr, PublishedCheckValuesWithinTheirRounding) {
    KVR2_REQUIRE_SHARED();
    const auto rows = testsupport::read_csv(mbwr_dir() + "check_values.tsv", '\t');
    ASSERT_EQ(rows.size(), 1234u);
    std::string current;
    int outside = 0, off_computed = 0;
    double worst_computed = 0.0;
    for (const auto& r : rows) {
        if (r.at("name") != current) {
            current = r.at("name");
            ASSERT_EQ(set_up_bwr(current), "") << current;
        }
        const Check c = evaluate(r);
        const double pub = std::stod(r.at("published"));
        const double half = 0.5 * std::pow(10.0, -std::stod(r.at("published_decimals")));
        const double computed = std::stod(r.at("computed_here"));
        const std::string what = current + " " + r.at("T_K") + " K " + r.at("p_kPa_input") +
                                 " kPa " + r.at("quantity") + " [" + r.at("unit") + "]";
        // The data set's own root for the noted rows is the vapour: compare
        // the liquid root with the table only.
        const bool noted = !r.at("note").empty();
        if (!c.ok || std::fabs(c.ours - pub) > half * (1.0 + 1e-9)) {
            ++outside;
            ADD_FAILURE() << what << ": " << c.ours << " published " << pub;
        }
        const double d = rel(c.ours, computed);
        if (!noted && d > worst_computed) worst_computed = d;
        if (!noted && d > 1e-9) {
            ++off_computed;
            if (off_computed < 10)
                ADD_FAILURE() << what << ": " << c.ours << " computed " << computed;
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(off_computed, 0) << "worst " << worst_computed;
}

// The MBWR and the default Helmholtz equation of each fluid at the data
// set's comparison states: each equation gives the data set's value (within
// 1e-4: the states are printed with 6 to 8 digits), and they differ by no
// more than the equations' uncertainties (2 % in density; 3 % in vapour
// pressure above 1 kPa) and by what the data set found (within 1e-4).
TEST(Bwr, AgreesWithTheHelmholtzEquationOfTheSameFluid) {
    KVR2_REQUIRE_SHARED();
    const auto rows = testsupport::read_csv(mbwr_dir() + "comparison_with_helmholtz.tsv", '\t');
    const double x[20] = {1.0};
    auto value = [&](const testsupport::Row& r) {
        const double T = std::stod(r.at("T_K"));
        int ierr = 0;
        std::string herr;
        if (r.at("kind") == "saturation") {
            double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
            lib::SATT(T, x, 1, P, Dl, Dv, xl, xv, ierr, herr);
            return ierr > 0 ? -1.0 : P;
        }
        double D, Dl, Dv, xl[20], xv[20], q, e, h, s, cv, cp, w;
        lib::TPFLSH(T, std::stod(r.at("p_kPa")), x, D, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w, ierr,
                    herr);
        return ierr > 0 ? -1.0 : D;
    };
    double worst_d = 0, worst_p = 0;
    std::vector<double> mbwr;
    for (const bool bwr : {true, false}) {
        std::string current;
        for (const auto& r : rows) {
            if (r.at("name") != current) {
                current = r.at("name");
                if (bwr) {
                    ASSERT_EQ(set_up_bwr(current), "");
                } else {
                    ASSERT_EQ(testsupport::set_up(current, "FEQ"), "");
                }
            }
            const bool sat = r.at("kind") == "saturation";
            const std::string col = std::string(sat ? "psat_" : "rho_") +
                                    (bwr ? "mbwr" : "helmholtz") + (sat ? "_kPa" : "_mol_L");
            const double got = value(r), want = std::stod(r.at(col));
            EXPECT_LT(rel(got, want), 1e-4) << current << " " << r.at("T_K") << " " << col;
            if (bwr) {
                mbwr.push_back(got);
                continue;
            }
            const double m = mbwr[static_cast<std::size_t>(&r - &rows[0])];
            const double listed = std::stod(r.at(sat ? "psat_rel_dev" : "rho_rel_dev"));
            EXPECT_NEAR(m / got - 1.0, listed, 1e-4) << current << " " << r.at("T_K");
            if (sat && got > 1.0) worst_p = std::max(worst_p, rel(m, got));
            if (!sat) worst_d = std::max(worst_d, rel(m, got));
        }
    }
    EXPECT_LT(worst_d, 0.02);
    EXPECT_LT(worst_p, 0.03);
}

}  // namespace
