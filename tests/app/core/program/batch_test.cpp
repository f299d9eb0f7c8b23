// End-to-end runs of the program: the usage text and batch mode on the
// examples, checked against the cycles' known results.
#include "app/core/files/filehandling.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/program/kvr.h"
#include "tests/app/core/cycle_support.h"
#include "tests/app/core/file_support.h"
#include "tests/support/paths.h"
#include "tests/support/shell.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace app;
namespace fs = std::filesystem;

using testsupport::Outcome;

// Runs the program with the arguments in `cwd`, without a display;
// standard output is captured, standard error goes along with it.
Outcome run(const std::string& args, const fs::path& cwd = fs::temp_directory_path()) {
    return testsupport::shell(
        "env -u DISPLAY -u WAYLAND_DISPLAY '" + std::string(KVR2_BINARY_DIR) + "/kvr2' " + args,
        cwd);
}

using filetest::slurp;

const char* const USAGE =
    "Usage: kvr2 [OPTION] [FILE]...\n"
    "Simulates process (s) stored in FILE(s).\n\n"
    "  -b\t\trun in batch mode\n"
    "  -h, --help\tprint this help\n"
    "\n"
    "Batch mode writes, beside each FILE, the project with its results to FILE.out\n"
    "and each diagram to FILE.<diagram name>.png (1024 x 800 pixels). It replaces\n"
    "only the images it wrote for that FILE before, and reads no settings: a value\n"
    "without a unit is in the quantity's own unit (K, bar, kg/s ...).\n";

// The usage text, alone and with status 0 when asked for; a command line
// that asks for nothing sensible prints it too and ends with status 2; the
// first option decides between help and batch mode.
TEST(Program, CommandLines) {
    const struct {
        const char* args;
        int status;
        const char* says;
    } cases[] = {
        {"-b", 2, "kvr2: -b needs at least one project file\n"},
        {"-b -h", 2, "kvr2: '-h' cannot follow -b"},
        {"-b a.kvr --help", 2, "cannot follow -b"},
        {"-x", 2, "kvr2: unknown option '-x'\n"},
        {"a.kvr --bogus", 2, "unknown option '--bogus'"},
        {"-b a.kvr -q", 2, "unknown option '-q'"},
        {"-h", 0, ""},
        {"--help", 0, ""},
        {"a.kvr -h", 0, ""},
        {"-h -b", 0, ""},
        {"-b /nonexistent/missing.kvr", 1,
         "batch | not allowed to open '/nonexistent/missing.kvr': No such file or directory\n"},
        {"-b /", 1, "batch | not allowed to open '/': it is a directory\n"},
        {"-b -- -h", 1, "batch | not allowed to open '-h': No such file or directory\n"},
    };
    for (const auto& k : cases) {
        Outcome r = run(k.args);
        EXPECT_EQ(r.status, k.status) << k.args << "\n" << r.out;
        EXPECT_NE(r.out.find(k.says), std::string::npos) << k.args << "\n" << r.out;
        if (k.status == 0) {
            EXPECT_EQ(r.out, USAGE) << k.args;  // the usage text alone
        } else if (k.status == 2) {
            EXPECT_NE(r.out.find(USAGE), std::string::npos) << k.args;
        }
    }
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

// Batch mode reads no settings: a unit-less pressure is in bar whatever
// the settings files beside the program, in the working directory or in the
// user's configuration folder prefer, and none of them is written.
TEST(Program, BatchModeReadsNoSettings) {
    const fs::path dir = fs::temp_directory_path() / ("kvr2_folder_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "bin");
    fs::create_directories(dir / "work");
    fs::create_directories(dir / "config" / "kvr2");
    fs::copy_file(fs::path(KVR2_BINARY_DIR) / "kvr2", dir / "bin" / "kvr2");
    const std::string kpa = "[Default Units]\nPressure=1\n";
    for (const fs::path& f : {dir / "bin" / SETTINGS_FILE_NAME, dir / "work" / SETTINGS_FILE_NAME,
                              dir / "config" / "kvr2" / SETTINGS_FILE_NAME})
        std::ofstream(f) << kpa;
    std::string text =
        slurp(fs::path(testsupport::source_dir()) / "examples" / "helium_brayton.kvr");
    text.replace(text.find("\"1000 kPa\""), 10, "\"10\"");
    std::ofstream(dir / "work" / "p.kvr") << text;
    std::string cmd = "cd '" + (dir / "work").string() + "' && XDG_CONFIG_HOME='" +
                      (dir / "config").string() + "' PATH='" + (dir / "bin").string() +
                      "':\"$PATH\" kvr2 -b p.kvr >/dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_NE(slurp(dir / "work" / "p.kvr.out").find("Pressure = \"10 bar\""), std::string::npos);
    for (const fs::path& f : {dir / "bin" / SETTINGS_FILE_NAME, dir / "work" / SETTINGS_FILE_NAME,
                              dir / "config" / "kvr2" / SETTINGS_FILE_NAME})
        EXPECT_EQ(slurp(f), kpa);
    fs::remove_all(dir);
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
        // Once per calculation.
        const std::size_t finished = r.out.find("\nCalculation finished.\n");
        EXPECT_NE(finished, std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("Calculation finished.", finished + 2), std::string::npos) << r.out;
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
    // Once, with its level.
    const std::size_t failed = r.out.find("\nERROR: Calculation failed.\n");
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
    // The failure is marked: the calculation, the failed part with its
    // message and only its inlet state, the parts not reached without states.
    const std::string out = slurp(dir / "failing.kvr.out");
    EXPECT_NE(out.find("Results Step 0 T= "), std::string::npos);
    EXPECT_NE(out.find("Version = \"2.0.8\"\nCalculation Status = \"failed\"\n"),
              std::string::npos);
    EXPECT_EQ(p.calc_status, CS_FAILED);
    EXPECT_EQ(part(p, 1).state, PS_FINISHED);
    EXPECT_EQ(part(p, 2).state, PS_FAILED);
    EXPECT_NE(part(p, 2).failure_text.find("higher then maximum value"), std::string::npos);
    EXPECT_EQ(part(p, 3).state, PS_NEW);
    std::string block = out.substr(out.find("  Name = \"Boiler\""));
    block = block.substr(0, block.find("#END"));
    EXPECT_NE(block.find("  Part State = \"failed\"\n  Failure = \"Failure calculating heat "
                         "exchanger 'Boiler'. Temperature 100000.000000 K"),
              std::string::npos)
        << block;
    EXPECT_NE(block.find("Results Step 0 "), std::string::npos);
    EXPECT_EQ(block.find("Results Step 1 "), std::string::npos);
    EXPECT_NE(r.out.find("Batch mode: 1 of 2 files failed:\n  failing.kvr (calculation failed)\n"),
              std::string::npos)
        << r.out;
}

// The examples calculated by the program and read back from its .out files:
// the numbers of the cycle (the in-memory cycles are the simulator tests').
TEST_F(Batch, ExamplesAndTheirResults) {
    struct Example {
        const char* file;
        double efficiency, tolerance;
        int part;  // a part and its outlet temperature, K
        double T_out;
        bool closed;  // the powers and heats add up to zero
    };
    const Example examples[] = {
        {"helium_brayton.kvr", 0.2421, 0.0012, 3, 757.86, true},
        {"steam_rankine.kvr", 0.40881, 0.0005, 5, 318.15, false},
        {"steam_rankine_condenser.kvr", 0.34653, 0.0005, 4, 318.956, false}};
    for (const Example& ex : examples) {
        SCOPED_TRACE(ex.file);
        const Project& p = calculate(ex.file);
        ASSERT_EQ(p.az_processes, 1);
        for (int i = 1; i < p.processes[0]->az_parts; ++i) EXPECT_EQ(part(p, i).state, PS_FINISHED);
        EXPECT_NEAR(p.totals[TOT_EFFICIENCY], ex.efficiency, ex.tolerance);
        const Part& pt = part(p, ex.part);
        const double T =
            ex.part == 5 ? pt.outputs[PO_INLET_TEMPERATURE] : pt.outputs[PO_OUTLET_TEMPERATURE];
        EXPECT_NEAR(T, ex.T_out, 2e-4 * ex.T_out);
        double sum = 0.0, scale = 0.0;
        for (int i = 1; i < p.processes[0]->az_parts; ++i) {
            sum += part(p, i).outputs[PO_POWER] + part(p, i).outputs[PO_HEAT];
            scale = std::max(scale, std::fabs(part(p, i).outputs[PO_HEAT]));
        }
        if (ex.closed) {
            EXPECT_NEAR(sum, 0.0, 1e-3 * scale);
        }
        if (ex.part != 5) continue;
        // Steam tables: h = 3500.9 kJ/kg, s = 6.7561 kJ/(kg K) at 10 MPa and
        // 550 C; at 10 kPa x = 0.8141 and h = 2139.3 kJ/kg, an isentropic drop
        // of 1361.6 kJ/kg.
        EXPECT_NEAR(part(p, 3).outputs[PO_SPECIFIC_WORK], -1361.6, 0.1);
        current_fluid = nullptr;  // init_stoffe rewrote the fluids: set up again
        cycletest::expect_rankine_consistent(part(p, 1), part(p, 3), p.totals[TOT_EFFICIENCY], 1,
                                             1);
        current_fluid = nullptr;
    }
}

}  // namespace

namespace {

// Each file of one batch run is calculated as if it were run alone: a user
// fluid of the first file does not stand in for the second file's fluid of
// the same name (nitrogen and argon as "Gas X").
TEST_F(Batch, EachFileIsCalculatedAsIfAlone) {
    const fs::path files = fs::path(testsupport::source_dir()) / "tests/app/core/files";
    for (const char* f : {"gas_x_nitrogen.kvr", "gas_x_argon.kvr"})
        fs::copy_file(files / f, dir / f);
    ASSERT_EQ(run("-b gas_x_argon.kvr", dir).status, 0);
    const std::string alone = slurp(dir / "gas_x_argon.kvr.out");
    ASSERT_NE(alone.find("Component \"Argon\""), std::string::npos);
    Outcome r = run("-b gas_x_nitrogen.kvr gas_x_argon.kvr", dir);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(slurp(dir / "gas_x_argon.kvr.out"), alone);
    EXPECT_NE(slurp(dir / "gas_x_nitrogen.kvr.out").find("Component \"Nitrogen\""),
              std::string::npos);
}

// To the last digit: what the library keeps from one calculation (the
// saturation expansions of the humid air's water built on the way, warm
// starts) does not reach the next file (a copy calculated second once
// differed in the last digits of 103 lines).
TEST_F(Batch, ACopyCalculatedSecondHasTheSameDigits) {
    const fs::path examples = fs::path(testsupport::source_dir()) / "examples";
    for (const char* f : {"first.kvr", "second.kvr"})
        fs::copy_file(examples / "humid_air_compressor.kvr", dir / f);
    Outcome r = run("-b first.kvr second.kvr", dir);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(slurp(dir / "second.kvr.out"), slurp(dir / "first.kvr.out"));
}

// A failure names its reason: the value, the limit or the part, and in a
// run over several files, which files failed.
TEST_F(Batch, FailuresSayWhy) {
    const fs::path examples = fs::path(testsupport::source_dir()) / "examples";
    const std::string rankine = slurp(examples / "steam_rankine_condenser.kvr");
    const std::string brayton = slurp(examples / "helium_brayton.kvr");
    auto edit = [](std::string text, const std::string& from, const std::string& to) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
        return text;
    };
    const std::string turbine_out = "Input Value \"Outlet Pressure\" = \"10 kPa\"";
    const struct {
        std::string name;
        std::string text;
        std::string says;
    } cases[] = {
        {"hot.kvr", edit(brayton, "\"300 K\"", "\"5000 K\""),
         "Failed to initialize process, check inlet values \nProcess \"Helium Brayton Cycle\": "
         "the inlet temperature 5000 K is above the highest temperature of fluid \"Helium\", "
         "1500 K.\n"},
        {"zero.kvr", edit(brayton, "\"1000 kPa\"", "\"0 kPa\""),
         "line 8: Pressure = '0 kPa': a pressure must be greater than 0"},
        {"condenser.kvr",
         edit(edit(rankine, "\"10000 kPa\"", "\"30000 kPa\""), turbine_out,
              "Input Value \"Outlet Pressure\" = \"25000 kPa\""),
         "Condenser 1: the outlet pressure 250 bar is not below the critical pressure 220.64 bar "
         "of fluid \"Water\", where nothing condenses."},
        {"turbine.kvr",
         edit(rankine, turbine_out, "Input Value \"Outlet Pressure\" = \"20000 kPa\""),
         "The outlet pressure 20000 kPa of turbine \"Turbine 1\" is above its inlet pressure "
         "10000 kPa: a turbine lowers the pressure."},
        {"pump.kvr", edit(rankine, "\"318.15 K\"", "\"400 K\""),
         "Pump \"Pump 1\" is fed with vapour at 400 K and 0.1 bar; a pump takes liquid."},
        {"empty.kvr", "", "Error reading input file empty.kvr: the file is empty"},
    };
    std::string args = "-b";
    for (const auto& k : cases) {
        std::ofstream(dir / k.name) << k.text;
        args += " " + k.name;
    }
    Outcome r = run(args + " missing.kvr", dir);
    EXPECT_EQ(r.status, 1);
    for (const auto& k : cases) {
        EXPECT_NE(r.out.find(k.says), std::string::npos) << k.name << "\n" << r.out;
        EXPECT_NE(r.out.find("\n  " + k.name + " ("), std::string::npos) << k.name;
        const std::string out = slurp(dir / (k.name + ".out"));
        EXPECT_EQ(out.find("nan"), std::string::npos) << k.name;
        EXPECT_EQ(out.find("inf"), std::string::npos) << k.name;
    }
    EXPECT_NE(r.out.find("Batch mode: 7 of 7 files failed:\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  missing.kvr (cannot be opened: No such file or directory)\n"),
              std::string::npos);
}

}  // namespace

namespace {

// What the hot side of each interface gives off, its cold side takes up.
void expect_interfaces_balance(const Project& p) {
    for (int i = 0; i < p.az_interfaces; ++i) {
        const Interface& itf = *p.interfaces[sz(i)];
        SCOPED_TRACE(itf.name);
        const double q_hot = part_by_id(&p, itf.hot_part_id)->outputs[PO_HEAT];
        EXPECT_LT(q_hot, 0.0);
        EXPECT_NEAR(part_by_id(&p, itf.cold_part_id)->outputs[PO_HEAT], -q_hot, 1e-9 * -q_hot);
    }
}

// A process that ends in its inlet state: its work and heat add up to 0.
void expect_cycle_closes(const Process& proc) {
    double sum = 0, gross = 0;
    for (int k = 1; k < proc.az_parts; ++k) {
        const std::array<double, NUM_PART_OUTPUTS>& o = proc.parts[sz(k)]->outputs;
        sum += o[PO_POWER] + o[PO_HEAT];
        gross += std::fabs(o[PO_POWER]) + std::fabs(o[PO_HEAT]);
    }
    EXPECT_GT(gross, 0.0);
    EXPECT_NEAR(sum, 0.0, 1e-9 * gross) << proc.name;
}

// The examples of mixtures, streams, reheat, coupled processes and plants calculated
// by the program, with the time each batch run takes (printed, not asserted: the
// gas turbine is meant to take under 0.5 s, the coupled processes under
// 1 s) and their main figures read back from the .out files. An old file
// is read through its conversion.
TEST_F(Batch, MixtureAndCouplingExamples) {
    using Check = void (*)(const Project&);
    const struct {
        const char* file;
        const char* folder;
        Check check;
    } cases[] = {
        {"gas_turbine.kvr", "examples",
         [](const Project& p) {
             const Part& c = *p.processes[0]->parts[2];
             EXPECT_NEAR(c.outputs[PO_LAMBDA], 5.7994, 5e-5);
             EXPECT_NEAR(c.x_out[4], 0.035470, 1e-5);  // water
             EXPECT_EQ(p.processes[0]->parts[4]->outputs[PO_INLET_MASSFLOW], 101.0);
         }},
        {"humid_air_compressor.kvr", "examples",
         [](const Project& p) {
             // At the dew point of its water nothing has condensed yet.
             const Part& s = *p.processes[0]->parts[2];
             EXPECT_LT(s.outputs[PO_LIQUID_WATER_OUT], 1e-3);
             EXPECT_LT(s.outputs[PO_HEAT], -1000.0);
             EXPECT_EQ(s.outputs[PO_OUTLET_MASSFLOW], 10.0 - s.outputs[PO_LIQUID_WATER_OUT]);
         }},
        {"humid_air_dryer.kvr", "examples",
         [](const Project& p) {
             // Cooled to 300 K below its dew point: the cooler gives off the
             // condensation, the separator takes the liquid out.
             const Part& c = *p.processes[0]->parts[2];
             const Part& s = *p.processes[0]->parts[3];
             EXPECT_NEAR(c.outputs[PO_OUTLET_TEMPERATURE], 300.0, 1e-6);
             EXPECT_LT(c.outputs[PO_HEAT], -2000.0);
             EXPECT_GT(s.outputs[PO_LIQUID_WATER_OUT], 0.06);
             EXPECT_LT(s.outputs[PO_LIQUID_WATER_OUT], 0.1011);
             EXPECT_GT(s.x_out[4], 0.0);
             EXPECT_EQ(s.outputs[PO_OUTLET_MASSFLOW], 10.0 - s.outputs[PO_LIQUID_WATER_OUT]);
         }},
        {"exhaust_cooler.kvr", "examples",
         [](const Project& p) {
             // The exhaust cooled to 290 K, below the dew point of its
             // water: the outlet temperature is met and the stream is wet.
             const Part& c = *p.processes[0]->parts[4];
             EXPECT_NEAR(c.outputs[PO_OUTLET_TEMPERATURE], 290.0, 1e-6);
             EXPECT_NEAR(c.T[sz(c.steps)], 290.0, 1e-6);
             EXPECT_GT(c.outputs[PO_OUTLET_WETNESS], 0.01);
             EXPECT_LT(c.outputs[PO_OUTLET_WETNESS], 0.04);
         }},
        {"split_and_mix.kvr", "examples",
         [](const Project& p) {
             const Part& m = *p.processes[0]->parts[3];
             EXPECT_NEAR(m.outputs[PO_OUTLET_ENTHALPY], 239.003, 5e-4);
             EXPECT_NEAR(m.outputs[PO_OUTLET_TEMPERATURE], 330.042, 5e-4);
         }},
        {"steam_rankine_reheat.kvr", "examples",
         [](const Project& p) {
             const Part& hp = *p.processes[0]->parts[3];
             const Part& lp = *p.processes[0]->parts[5];
             EXPECT_NEAR(hp.outputs[PO_POWER], -410.952, 1e-3);
             EXPECT_NEAR(hp.outputs[PO_OUTLET_PRESSURE], 2000.0, 1e-6);  // kPa
             EXPECT_NEAR(lp.outputs[PO_POWER], -1002.096, 1e-3);
             EXPECT_NEAR(lp.outputs[PO_OUTLET_WETNESS], 0.00292, 1e-5);
         }},
        {"coupled_water.kvr", "examples",
         [](const Project& p) {
             const double q_hot = p.processes[0]->parts[1]->outputs[PO_HEAT];
             EXPECT_LT(q_hot, -200.0);
             EXPECT_NEAR(q_hot + p.processes[1]->parts[1]->outputs[PO_HEAT], 0, 1e-9 * -q_hot);
             EXPECT_NEAR(p.interfaces[0]->outputs[IO_OUTLET_TEMPERATURE_HOT], 310.0, 1e-6);
         }},
        {"combined_cycle.kvr", "examples",
         [](const Project& p) {
             // The gas turbine's exhaust raises and reheats the steam in
             // four coupled exchangers; the steam cycle closes on its inlet.
             expect_interfaces_balance(p);
             expect_cycle_closes(*p.processes[1]);
             EXPECT_NEAR(p.processes[1]->parts[4]->outputs[PO_OUTLET_TEMPERATURE], 813.15, 1e-6);
             EXPECT_NEAR(p.processes[1]->parts[6]->outputs[PO_OUTLET_TEMPERATURE], 813.15, 1e-6);
             EXPECT_NEAR(p.processes[1]->parts[5]->outputs[PO_POWER], -3745.47, 0.01);
             EXPECT_NEAR(p.processes[0]->parts[7]->outputs[PO_OUTLET_TEMPERATURE], 611.84, 0.01);
         }},
        {"orc_recuperated.kvr", "examples",
         [](const Project& p) {
             // Hot water evaporates R245fa; the expander's vapour warms the
             // pumped liquid in a recuperator of the same process.
             expect_interfaces_balance(p);
             expect_cycle_closes(*p.processes[1]);
             EXPECT_NEAR(p.processes[1]->parts[2]->outputs[PO_HEAT], 134.46, 0.01);
             EXPECT_NEAR(p.processes[1]->parts[4]->outputs[PO_POWER], -165.21, 0.01);
         }},
        {"heat_pump_blend.kvr", "examples",
         [](const Project& p) {
             // Propane + isobutane: condensed to its bubble point, the
             // valve's outlet glides from 262.9 K up to the dew point
             // (268.2 K at 2 bar) in the evaporator.
             const Process& hp = *p.processes[0];
             expect_cycle_closes(hp);
             EXPECT_EQ(hp.parts[2]->outputs[PO_OUTLET_HUMIDITY], 0.0);
             EXPECT_NEAR(hp.parts[2]->outputs[PO_OUTLET_TEMPERATURE], 320.567, 1e-3);
             EXPECT_EQ(hp.parts[4]->outputs[PO_OUTLET_ENTHALPY],
                       hp.parts[4]->outputs[PO_INLET_ENTHALPY]);
             EXPECT_NEAR(hp.parts[4]->outputs[PO_OUTLET_TEMPERATURE], 262.914, 1e-3);
             EXPECT_NEAR(hp.parts[1]->outputs[PO_POWER], 5.3128, 1e-3);
             EXPECT_NEAR(hp.parts[5]->outputs[PO_HEAT], 13.3347, 1e-3);
         }},
        {"old_named.kvr", "tests/app/core/files",
         [](const Project& p) {
             EXPECT_NEAR(p.processes[0]->parts[3]->outputs[PO_SPECIFIC_WORK], -1361.6, 0.1);
         }},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.file);
        fs::copy_file(fs::path(testsupport::source_dir()) / t.folder / t.file, dir / t.file);
        const auto start = std::chrono::steady_clock::now();
        Outcome r = run(std::string("-b ") + t.file, dir);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("batch %s: %.3f s\n", t.file, took.count());
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_NE(r.out.find("\nCalculation finished.\n"), std::string::npos) << r.out;
        if (std::string(t.folder) != "examples") {
            EXPECT_NE(r.out.find("Converting from old input format \n"), std::string::npos);
        }
        const Project& p = read_results(std::string(t.file) + ".out");
        EXPECT_EQ(p.calc_status, CS_FINISHED);
        t.check(p);
    }
}

}  // namespace
