// Transport of every built-in text: models present, two finite, positive
// values at every single-phase state of a grid over the equation's range
// (never a marker), and the corresponding-states estimate judged on fluids
// that have correlations of their own.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/setup/textstore.h"
#include "tests/library/transport/transport_texts.h"
#include "tests/support/paths.h"

namespace {

const double kPure[20] = {1.0};

TEST(EveryText, ModelsAndSoundOutputsOverAGrid) {
    int states = 0;
    for (int slot = 1; slot < lib::kTextCount; ++slot) {  // the last text is "hmx"
        const std::string name(lib::store::name(slot));
        ASSERT_EQ(trtext::setup(name), 0) << name;
        std::string code, cite;
        for (const char* kind : {"ETA", "TCX"}) {
            lib::GETMOD(1, kind, code, cite);
            EXPECT_NE(code, "NUL") << name << " has no " << kind << " model";
        }
        double tmin = 0, tmax = 0, dmax = 0, pmax = 0, ptp = 0, Dl, Dv, xl[20], xv[20];
        lib::LIMITS("EOS", kPure, tmin, tmax, dmax, pmax);
        int ierr = 0;
        std::string herr;
        lib::SATT(tmin, kPure, lib::kBubblePoint, ptp, Dl, Dv, xl, xv, ierr, herr);
        const double plow = std::max(10.0, ierr == 0 ? ptp : 0.0);
        for (int i = 0; i < 10; ++i) {
            for (int j = 0; j < 10; ++j) {
                const double T = tmin + (tmax - tmin) * i / 9.0;
                const double P = plow * std::pow(pmax / plow, j / 9.0);
                double D, q, e, h, s, cv, cp, w, eta, tcx;
                lib::TPFLSH(T, P, kPure, D, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w, ierr, herr);
                if (ierr > 0 || (q > 0.0 && q < 1.0)) continue;
                ++states;
                lib::TRNPRP(T, D, kPure, eta, tcx, ierr, herr);
                const std::string at = name + " at " + std::to_string(T) + " K, " +
                                       std::to_string(P) + " kPa: " + herr;
                EXPECT_LE(ierr, 0) << at;
                for (double v : {eta, tcx}) EXPECT_TRUE(std::isfinite(v) && v > 0.0) << at;
            }
        }
    }
    EXPECT_GT(states, 11000);
}

// The estimate the texts carry for fluids without correlations, written by
// the converter for argon (on nitrogen) and nonane (on propane; its
// conductivity by Chung's method), against
// their own correlations at their reference-table rows: measured largest
// deviations (rounded up), gas (D < Dc) and liquid apart.
struct Judged {
    const char* fluid;
    double gas_eta, gas_tcx, liquid_eta, liquid_tcx;
};
constexpr Judged kJudged[] = {{"argon", 0.05, 0.052, 0.044, 0.19},
                              {"nonane", 0.12, 0.13, 0.25, 0.21}};

TEST(EveryText, EstimatesJudgedOnArgonAndNonane) {
    KVR2_REQUIRE_SHARED();
    const std::string dir = testing::TempDir() + "transport_estimates";
    const std::string cmd = "python3 " + testsupport::source_dir() +
                            "/tools/fluidtexts/convert.py --data " + testsupport::shared_dir() +
                            "/fluid-data --out " + dir +
                            " --only argon nonane --transport-estimate argon nonane --no-checks";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    const auto rows = trtext::table(testsupport::shared_dir() + "/reference/transport.csv");
    for (const Judged& j : kJudged) {
        std::ifstream in(dir + "/" + j.fluid + ".txt");
        std::stringstream text;
        text << "<<" << j.fluid << ">>\n" << in.rdbuf();
        ASSERT_EQ(trtext::setup_text(j.fluid, text.str()), 0) << j.fluid;
        double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
        lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
        double worst[4] = {};  // gas eta, gas tcx, liquid eta, liquid tcx
        for (const auto& r : rows) {
            if (r[0] != j.fluid || r[1] != "single") continue;
            const double T = std::stod(r[2]), D = std::stod(r[3]);
            double eta, tcx;
            int ierr = 0;
            std::string herr;
            lib::TRNPRP(T, D, kPure, eta, tcx, ierr, herr);
            ASSERT_EQ(ierr, 0) << j.fluid << " " << T << ": " << herr;
            const int base = D < dc ? 0 : 2;
            worst[base] = std::max(worst[base], std::fabs(eta / std::stod(r[4]) - 1.0));
            worst[base + 1] =
                std::max(worst[base + 1], std::fabs(tcx / (1e-3 * std::stod(r[5])) - 1.0));
        }
        std::printf("%s estimate: gas eta %.3f tcx %.3f, liquid eta %.3f tcx %.3f\n", j.fluid,
                    worst[0], worst[1], worst[2], worst[3]);
        const double bound[4] = {j.gas_eta, j.gas_tcx, j.liquid_eta, j.liquid_tcx};
        for (int k = 0; k < 4; ++k) {
            EXPECT_LE(worst[k], bound[k]) << j.fluid << " column " << k;
            EXPECT_GT(worst[k], 0.5 * bound[k]) << j.fluid << " column " << k << ": bound loose";
        }
    }
    lib::store::restore();
    std::filesystem::remove_all(dir);
}

}  // namespace
