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
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/idealgas.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "tests/support/paths.h"

namespace {

struct Row {
    std::string name, code;
    double T = 0, D = 0;
    double phi[6] = {};
    double cp0 = 0, cp0_limit = 0;
};

// Orders (itau, idel) of the six residual columns of the file.
constexpr int kOrder[6][2] = {{0, 0}, {0, 1}, {1, 0}, {0, 2}, {2, 0}, {1, 1}};
constexpr const char* kColumn[6] = {"alphar",
                                    "delta_dalphar_ddelta",
                                    "tau_dalphar_dtau",
                                    "delta2_d2alphar_ddelta2",
                                    "tau2_d2alphar_dtau2",
                                    "tau_delta_d2alphar_dtau_ddelta"};

std::vector<Row> read_rows(const std::string& path) {
    std::vector<Row> rows;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream ss(line);
        std::string cell;
        while (std::getline(ss, cell, ',')) f.push_back(cell);
        if (f.size() != 12) continue;
        Row r;
        r.name = f[0];
        r.code = f[1];
        r.T = std::stod(f[2]);
        r.D = std::stod(f[3]);
        for (int k = 0; k < 6; ++k) r.phi[k] = std::stod(f[4 + static_cast<std::size_t>(k)]);
        r.cp0 = std::stod(f[10]);
        r.cp0_limit = std::stod(f[11]);
        rows.push_back(r);
    }
    return rows;
}

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
    int ierr = 0;
    std::string herr, hrf = "DEF";
    if (code != "FEQ") {
        lib::Names20 codes;
        codes[0] = code;
        lib::SETMOD(1, "EOS", "HMX", codes, ierr, herr);
        if (ierr != 0) return "SETMOD: " + herr;
    }
    lib::SETUP0(1, name, "hmx", hrf, ierr, herr);
    if (ierr > 0) return herr;
    std::string got, cite;
    lib::GETMOD(1, "EOS", got, cite);
    if (got != code) return "equation of state " + got + " loaded";
    return "";
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
    const std::vector<Row> rows = read_rows(csv.string());
    std::filesystem::remove(csv);
    ASSERT_GE(rows.size(), 150u * 24u);

    std::map<std::string, Worst> worst;  // per column
    int sections = 0, failures = 0;
    std::string current, why;
    for (const Row& r : rows) {
        const std::string label = r.name + " " + r.code;
        if (label != current) {
            current = label;
            ++sections;
            why = set_up(r.name, r.code);
            EXPECT_EQ(why, "") << label;
        }
        if (!why.empty()) continue;
        const double tau = lib::ZRED.tred[1] / r.T, del = r.D / lib::ZRED.dred[1];
        auto check = [&](const char* col, double got, double want, double rel) {
            const bool small = std::fabs(want) < 1e-2;
            const double dev = small ? std::fabs(got - want) : std::fabs(got / want - 1.0);
            const double lim = small ? 1e-12 : rel;
            Worst& w = worst[col];
            if (dev / lim > w.ratio) {
                char at[96];
                std::snprintf(at, sizeof at, " at %g K, %g mol/L", r.T, r.D);
                w = {dev / lim, label + at};
            }
            if (!(dev <= lim) && ++failures <= 20)
                ADD_FAILURE() << label << " " << col << " at " << r.T << " K, " << r.D
                              << " mol/L: library " << got << ", data set " << want;
        };
        for (int k = 0; k < 6; ++k)
            check(kColumn[k], lib::PHIK(1, kOrder[k][0], kOrder[k][1], tau, del), r.phi[k], 1e-10);
        check("cp0_over_R", lib::CP0K(1, r.T) / lib::CCON.rgas[1], r.cp0, r.cp0_limit);
    }
    EXPECT_EQ(failures, 0);
    EXPECT_GE(sections, 150);
    std::printf("%d sections, %zu states; largest deviation as a fraction of its limit:\n",
                sections, rows.size());
    for (const auto& [col, w] : worst)
        std::printf("  %-32s %.3g (%s)\n", col.c_str(), w.ratio, w.where.c_str());
}

}  // namespace
