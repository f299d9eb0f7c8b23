// Every Helmholtz equation of the built-in fluid texts, read by the library's
// own loaders, against the coefficient data set's terms: the converter's
// round-trip script evaluates the data set at 24 states per equation section
// (default and alternatives) and this test sets each section up through
// SETUP0 (SETMOD for an alternative) and compares PHIK and CP0K there.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/wait.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/idealgas.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "tests/support/fluid.h"
#include "tests/support/paths.h"
#include "tests/support/table.h"

namespace {

using testsupport::num;

// Orders (itau, idel) of the six residual columns of the file.
constexpr int kOrder[6][2] = {{0, 0}, {0, 1}, {1, 0}, {0, 2}, {2, 0}, {1, 1}};
constexpr const char* kColumn[6] = {"alphar",
                                    "delta_dalphar_ddelta",
                                    "tau_dalphar_dtau",
                                    "delta2_d2alphar_ddelta2",
                                    "tau2_d2alphar_dtau2",
                                    "tau_delta_d2alphar_dtau_ddelta"};

// Runs the converter's script; returns its exit status (77: no data set),
// or -1 when it could not be run.
int write_values(const std::string& csv) {
    const std::string src = testsupport::source_dir();
    const std::string cmd = "KVR2_SHARED='" + testsupport::shared_dir() + "' python3 -B '" + src +
                            "/tools/fluidtexts/check_roundtrip.py' '" + src + "' --csv '" + csv +
                            "' > /dev/null";
    const int st = std::system(cmd.c_str());
    if (st == -1 || !WIFEXITED(st)) return -1;
    return WEXITSTATUS(st);
}

// Sets one section up: the default equation, or an alternative by its code.
std::string set_up(const std::string& name, const std::string& code) {
    const std::string failure = testsupport::set_up(name, code == "FEQ" ? "" : code);
    if (!failure.empty()) return failure;
    std::string got, cite;
    lib::GETMOD(1, "EOS", got, cite);
    return got == code ? "" : "equation of state " + got + " loaded";
}

struct Worst {
    double ratio = 0;  // deviation / limit
    std::string where;
};

TEST(FluidTextsEquations, EverySectionAgainstTheDataSetsTerms) {
    KVR2_REQUIRE_SHARED();
    if (std::system("python3 --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
    const std::filesystem::path csv =
        std::filesystem::temp_directory_path() /
        ("kvr2_fluidtexts_equations_" + std::to_string(getpid()) + ".csv");
    const int status = write_values(csv.string());
    if (status == 77) GTEST_SKIP() << "no coefficient data set";
    ASSERT_EQ(status, 0) << "the round-trip script failed";
    const auto rows = testsupport::read_csv(csv.string());
    std::filesystem::remove(csv);
    ASSERT_GE(rows.size(), 150u * 24u);

    std::map<std::string, Worst> worst;  // per column
    int sections = 0, failures = 0;
    std::string current, why;
    for (const auto& r : rows) {
        const std::string label = r.at("name") + " " + r.at("code");
        const double T = num(r, "T"), D = num(r, "D");
        if (label != current) {
            current = label;
            ++sections;
            why = set_up(r.at("name"), r.at("code"));
            EXPECT_EQ(why, "") << label;
        }
        if (!why.empty()) continue;
        const double tau = lib::ZRED.tred[1] / T, del = D / lib::ZRED.dred[1];
        auto check = [&](const char* col, double got, double want, double rel) {
            const bool small = std::fabs(want) < 1e-2;
            const double dev = small ? std::fabs(got - want) : std::fabs(got / want - 1.0);
            const double lim = small ? 1e-12 : rel;
            Worst& w = worst[col];
            if (dev / lim > w.ratio) {
                char at[96];
                std::snprintf(at, sizeof at, " at %g K, %g mol/L", T, D);
                w = {dev / lim, label + at};
            }
            if (!(dev <= lim) && ++failures <= 20)
                ADD_FAILURE() << label << " " << col << " at " << T << " K, " << D
                              << " mol/L: library " << got << ", data set " << want;
        };
        for (int k = 0; k < 6; ++k)
            check(kColumn[k], lib::PHIK(1, kOrder[k][0], kOrder[k][1], tau, del),
                  num(r, kColumn[k]), 1e-10);
        check("cp0_over_R", lib::CP0K(1, T) / lib::CCON.rgas[1], num(r, "cp0_over_R"),
              num(r, "cp0_limit"));
    }
    EXPECT_EQ(failures, 0);
    EXPECT_GE(sections, 150);
    std::printf("%d sections, %zu states; largest deviation as a fraction of its limit:\n",
                sections, rows.size());
    for (const auto& [col, w] : worst)
        std::printf("  %-32s %.3g (%s)\n", col.c_str(), w.ratio, w.where.c_str());
}

}  // namespace
