// End-to-end runs of the program: the usage text and batch mode on the
// examples, checked against the cycles' known results.
#include "app/core/create_delete.h"
#include "app/core/filehandling.h"
#include "app/core/init.h"
#include "app/core/kvr.h"
#include "tests/app/core/cycle_support.h"
#include "tests/app/core/file_support.h"
#include "tests/support/paths.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace app;
namespace fs = std::filesystem;

struct Outcome {
    std::string out;
    int status = -1;
};

// Runs the program with the arguments in `cwd`, without a display;
// standard output is captured, standard error goes along with it.
Outcome run(const std::string& args, const fs::path& cwd = fs::temp_directory_path()) {
    std::string cmd = "cd '" + cwd.string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY '" +
                      std::string(KVR2_BINARY_DIR) + "/kvr2' " + args + " 2>&1";
    Outcome r;
    std::FILE* pipe = popen(cmd.c_str(), "r");
    if (pipe == nullptr) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
    int st = pclose(pipe);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

using filetest::slurp;

const char* const USAGE =
    "Usage: kvr2 [OPTION] [FILE]...\n"
    "Simulates process (s) stored in FILE(s).\n\n"
    "  -b\t\trun in batch mode\n"
    "  -h, --help\tprint this help\n";

TEST(Program, HelpPrintsTheUsageText) {
    for (const char* args : {"-h", "--help", "a.kvr -h"}) {
        Outcome r = run(args);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_EQ(r.out, USAGE) << args;
    }
}

TEST(Program, BatchRefusesFilesItCannotOpen) {
    Outcome r = run("-b /nonexistent/missing.kvr");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.out.find("Running in batch mode\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("batch | not allowed to open '/nonexistent/missing.kvr'\n"),
              std::string::npos)
        << r.out;
    // The first option decides: "-h" after "-b" is a file name.
    r = run("-b -h");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.out.find("batch | not allowed to open '-h'"), std::string::npos) << r.out;
}

TEST(Program, BatchRefusesABadFileWithItsLine) {
    fs::path dir = fs::temp_directory_path() / ("kvr2_batch_bad_" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "bad.kvr") << "Version = \"2.0.8\"\n#START Process\n  ID = 0\n#END\n";
    Outcome r = run("-b bad.kvr", dir);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.out.find("line 3"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(dir / "bad.kvr.out"));
    fs::remove_all(dir);
}

TEST(Program, DiagramFileNamesAreMadeSafe) {
    EXPECT_EQ(safe_file_name("h-s of loop 1"), "h-s of loop 1");
    EXPECT_EQ(safe_file_name("../../etc/passwd"), "_.._etc_passwd");
    EXPECT_EQ(safe_file_name("a\\b:c*d?e|f\"g<h>i\nj"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(safe_file_name(""), "diagram");
    EXPECT_EQ(safe_file_name(" .. "), "diagram");
}

// Runs batch mode on a copy of an example and reads the results back.
class Batch : public ::testing::Test {
protected:
    void SetUp() override {
        initstuff();
        init_stoffe();
        dir = fs::temp_directory_path() /
              ("kvr2_batch_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        free_project(project);
        current_project = nullptr;
        fs::remove_all(dir);
    }
    // The project of a results file, read without the library.
    const Project& read_results(const std::string& name) {
        std::string error;
        free_project(project);
        project = read_project_text(slurp(dir / name), name, error, ReadOptions{false});
        EXPECT_NE(project, nullptr) << error;
        static Project empty;
        return project != nullptr ? *project : empty;
    }
    // The project of the .out file, read without the library.
    const Project& calculate(const std::string& example) {
        fs::copy_file(fs::path(testsupport::source_dir()) / "examples" / example, dir / example);
        Outcome r = run("-b " + example, dir);
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(r.out.rfind("Running in batch mode\n", 0), 0u) << r.out;
        EXPECT_NE(r.out.find("Calculating process"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("Calculation finished."), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("Writing results to file " + example + ".out\n"), std::string::npos)
            << r.out;
        return read_results(example + ".out");
    }
    static const Part& part(const Project& p, int index) { return *p.processes[0]->parts[index]; }

    Project* project = nullptr;
    fs::path dir;
};

// A calculation that fails (the boiler asked for 100000 K, far above what
// water's equation covers) is reported on standard output; its results file
// is written all the same with the values reached, the next file is
// calculated, and the exit status tells that something failed.
TEST_F(Batch, FailingCalculationIsReportedAndStillWritten) {
    const fs::path examples = fs::path(testsupport::source_dir()) / "examples";
    std::string text = slurp(examples / "steam_rankine.kvr");
    const std::string boiler = "Input Value \"Outlet Temperature\" = \"823.15 K\"";
    ASSERT_NE(text.find(boiler), std::string::npos);
    text.replace(text.find(boiler), boiler.size(),
                 "Input Value \"Outlet Temperature\" = \"100000 K\"");
    std::ofstream(dir / "failing.kvr") << text;
    fs::copy_file(examples / "helium_brayton.kvr", dir / "helium_brayton.kvr");

    Outcome r = run("-b failing.kvr helium_brayton.kvr", dir);
    EXPECT_NE(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("ERROR: Failure calculating heat exchanger \"Boiler\".\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Temperature 100000.000000 K is higher then maximum value"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(" part failed, stopping calculation.\n"), std::string::npos) << r.out;
    // The log line, then the line with its level.
    const std::size_t failed = r.out.find("\nCalculation failed.\nERROR: Calculation failed.\n");
    ASSERT_NE(failed, std::string::npos) << r.out;
    const std::size_t written = r.out.find("Writing results to file failing.kvr.out\n");
    ASSERT_NE(written, std::string::npos) << r.out;
    EXPECT_LT(failed, written);
    // The next file is calculated as usual.
    const std::size_t finished = r.out.find("Calculation finished.\n");
    ASSERT_NE(finished, std::string::npos) << r.out;
    EXPECT_LT(written, finished);
    EXPECT_NE(r.out.find("Writing results to file helium_brayton.kvr.out\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir / "helium_brayton.kvr.out"));

    // The failed project's file holds its inputs and what was reached: the
    // pump's results and the boiler's inlet.
    const Project& p = read_results("failing.kvr.out");
    ASSERT_EQ(p.az_processes, 1);
    ASSERT_EQ(p.processes[0]->az_parts, 6);
    EXPECT_EQ(part(p, 2).name, "Boiler");
    EXPECT_EQ(part(p, 2).inputs[PI_OUTLET_TEMPERATURE], 100000.0);
    EXPECT_NEAR(part(p, 1).outputs[PO_SPECIFIC_WORK], 10.068, 0.003);
    EXPECT_NEAR(part(p, 2).outputs[PO_INLET_PRESSURE], 10000.0, 1e-6);
    EXPECT_NE(slurp(dir / "failing.kvr.out").find("Results Step 0 T= "), std::string::npos);
}

TEST_F(Batch, HeliumBraytonCycle) {
    const Project& p = calculate("helium_brayton.kvr");
    ASSERT_EQ(p.az_processes, 1);
    for (int i = 1; i < 6; ++i) EXPECT_EQ(part(p, i).state, PS_FINISHED) << i;
    EXPECT_NEAR(part(p, 1).outputs[PO_OUTLET_TEMPERATURE], 395.85, 0.005 * 395.85);
    EXPECT_NEAR(part(p, 3).outputs[PO_OUTLET_TEMPERATURE], 757.86, 0.005 * 757.86);
    EXPECT_NEAR(p.totals[TOT_EFFICIENCY], 0.2421, 0.005 * 0.2421);
    // Closed cycle: the powers and heats add up to zero.
    double sum = 0.0;
    for (int i = 1; i < 5; ++i) sum += part(p, i).outputs[PO_POWER] + part(p, i).outputs[PO_HEAT];
    EXPECT_NEAR(sum, 0.0, 1e-3 * std::fabs(part(p, 2).outputs[PO_HEAT]));
    EXPECT_NEAR(part(p, 1).outputs[PO_ISENTROPIC_EFFICIENCY], 1.0, 1e-6);
}

TEST_F(Batch, SteamRankineCycle) {
    const Project& p = calculate("steam_rankine.kvr");
    ASSERT_EQ(p.az_processes, 1);
    EXPECT_NEAR(part(p, 1).outputs[PO_SPECIFIC_WORK], 10.068, 0.01);
    EXPECT_NEAR(part(p, 2).outputs[PO_SPECIFIC_HEAT_FLUX], 3303.456, 0.5);
    // Steam tables: h = 3500.9 kJ/kg, s = 6.7561 kJ/(kg K) at 10 MPa and 550 C; at
    // 10 kPa x = 0.8141 and h = 2139.3 kJ/kg, an isentropic drop of 1361.6 kJ/kg.
    EXPECT_NEAR(part(p, 3).outputs[PO_SPECIFIC_WORK], -1361.6, 0.1);
    EXPECT_NEAR(p.totals[TOT_EFFICIENCY], 0.40881, 0.0005);
    // The outlet state is the inlet state.
    EXPECT_NEAR(part(p, 5).outputs[PO_INLET_TEMPERATURE], 318.15, 1e-3);
    EXPECT_NEAR(part(p, 5).outputs[PO_INLET_PRESSURE], 10.0, 1e-6);
    current_fluid = nullptr;  // init_stoffe rewrote the fluids: set up again
    cycletest::expect_rankine_consistent(part(p, 1), part(p, 3), p.totals[TOT_EFFICIENCY], 1, 1);
    current_fluid = nullptr;
}

TEST_F(Batch, SteamRankineCycleWithCondenser) {
    const Project& p = calculate("steam_rankine_condenser.kvr");
    ASSERT_EQ(p.az_processes, 1);
    EXPECT_NEAR(p.totals[TOT_EFFICIENCY], 0.34653, 0.0005);
    // Saturated liquid at 10 kPa: 45.81 degrees C.
    const Part& condenser = part(p, 4);
    EXPECT_EQ(condenser.type, CONDENSER);
    EXPECT_NEAR(condenser.outputs[PO_OUTLET_TEMPERATURE], 318.956, 0.05);
    EXPECT_NEAR(condenser.q[condenser.steps], 0.0, 1e-6);
    current_fluid = nullptr;
    cycletest::expect_rankine_consistent(part(p, 1), part(p, 3), p.totals[TOT_EFFICIENCY], 0.8,
                                         0.85);
    current_fluid = nullptr;
}

}  // namespace
