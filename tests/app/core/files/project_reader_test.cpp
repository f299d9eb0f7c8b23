#include "app/core/files/filehandling.h"

#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/core/solver/simulator.h"
#include "tests/app/core/file_support.h"
#include "tests/support/paths.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace app;

using filetest::slurp;

// One process block: Inlet (base+1) -> middle part (base+2) -> Outlet (base+3).
std::string process_block(int pid, int base, const std::string& middle = "Compressor",
                          const std::string& extra = "", const std::string& fluid = "Helium") {
    auto id = [&](int k) { return std::to_string(base + k); };
    return "#START Process\n  Name = \"P" + std::to_string(pid) +
           "\"\n  ID = " + std::to_string(pid) + "\n#START Inlet Conditions\n  Fluid = \"" + fluid +
           "\"\n  Temperature = \"300 K\"\n#END\n"
           "#START Part\n  Type = \"Inlet\"\n  Name = \"Inlet\"\n  ID = " +
           id(1) + "\n  Next Part ID \"0\" = \"" + id(2) +
           "\" \"0\"\n#END\n"
           "#START Part\n  Type = \"" +
           middle + "\"\n  Name = \"" + middle + " 1\"\n  ID = " + id(2) +
           "\n  Previous Part ID \"0\" = \"" + id(1) + "\" \"0\"\n  Next Part ID \"0\" = \"" +
           id(3) + "\" \"0\"\n" + extra +
           "#END\n"
           "#START Part\n  Type = \"Outlet\"\n  Name = \"Outlet 1\"\n  ID = " +
           id(3) + "\n  Previous Part ID \"0\" = \"" + id(2) + "\" \"0\"\n#END\n#END\n";
}

std::string file(const std::string& body, const std::string& version = "2.0.8") {
    return "Version = \"" + version + "\"\n" + body + "#END\n";
}

// A valid one-process file: Inlet (1) -> Compressor (2) -> Outlet (3).
std::string chain(const std::string& extra_compressor_lines = "",
                  const std::string& after_process = "") {
    return file(process_block(100000, 0, "Compressor", extra_compressor_lines) + after_process);
}

class Reader : public ::testing::Test {
protected:
    void SetUp() override {
        initstuff();
        init_stoffe();
        current_project = nullptr;
    }
    void TearDown() override {
        free_project(project);
        current_project = nullptr;
        fluids.truncate(NUM_BUILTIN_FLUIDS);
    }
    // Reads without the library; `error` keeps the refusal.
    Project* read(const std::string& text) {
        free_project(project);
        project = read_project_text(text, "test.kvr", error, ReadOptions{false});
        return project;
    }
    // The line number at the start of a refusal ("line 12: ...").
    int error_line() const {
        int n = -1;
        std::sscanf(error.c_str(), "line %d:", &n);
        return n;
    }
    Part* part(int process, int index) { return project->processes[process]->parts[index]; }

    Project* project = nullptr;
    std::string error;
};

TEST_F(Reader, ExampleFileGivesTheWholeCycle) {
    ASSERT_NE(read(slurp(testsupport::source_dir() + "/examples/helium_brayton.kvr")), nullptr)
        << error;
    EXPECT_EQ(current_project, project);
    ASSERT_EQ(project->az_processes, 1);
    const Process& p = *project->processes[0];
    EXPECT_EQ(p.name, "Helium Brayton Cycle");
    EXPECT_EQ(p.id, 100000);
    EXPECT_EQ(p.fluid, fluids[FLUID_HELIUM]);
    EXPECT_DOUBLE_EQ(p.inputs[PRI_TEMPERATURE], 300.0);
    EXPECT_DOUBLE_EQ(p.inputs[PRI_PRESSURE], 1000.0);
    ASSERT_EQ(p.az_parts, 6);
    const int types[] = {INLET, COMPRESSOR, HEAT_EXCHANGER, TURBINE, INTERCOOLER, OUTLET};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(p.parts[i]->type, types[i]);
        EXPECT_EQ(p.parts[i]->id, i + 1);
        EXPECT_EQ(part_by_id(project, i + 1), p.parts[i]);
        EXPECT_EQ(p.parts[i]->fluid, p.fluid);
        EXPECT_EQ(p.parts[i]->state, PS_NEW);
    }
    EXPECT_EQ(p.parts[2]->prev_id[0], 2);
    EXPECT_EQ(p.parts[2]->next_id[0], 4);
    EXPECT_DOUBLE_EQ(p.parts[1]->inputs[PI_PRESSURE_RATIO_OUT_IN], 2.0);
    EXPECT_EQ(p.parts[1]->options[OPT_EFFICIENCY], 0);
    EXPECT_EQ(p.parts[1]->options[OPT_EFFICIENCY_CALCULATION], 2);
    EXPECT_DOUBLE_EQ(p.parts[2]->inputs[PI_OUTLET_TEMPERATURE], 1000.0);
    EXPECT_DOUBLE_EQ(p.parts[3]->inputs[PI_PRESSURE_RATIO_IN_OUT], 2.0);
    // The ids read are reserved: new objects never repeat them.
    EXPECT_GT(new_process_id, 100000);
}

TEST_F(Reader, NamesRaiseTheCountersOfNewParts) {
    std::string text = chain();
    text.replace(text.find("Compressor 1"), 12, "Compressor 7");
    ASSERT_NE(read(text), nullptr) << error;
    Part* next = create_part(COMPRESSOR);
    EXPECT_EQ(next->name, "Compressor 8");
    free_part(next);
}

// (Unknown options and choices are refused: the hostile-file tests.)
TEST_F(Reader, OptionsAndChoicesIgnoreCase) {
    ASSERT_NE(read(chain("  Option \"EFFICIENCY\" = \"polytropic\"\n")), nullptr) << error;
    EXPECT_EQ(part(0, 1)->options[OPT_EFFICIENCY], 1);
}

// A working fluid is named in full (case and surrounding blanks aside); no
// name is completed or guessed, and the refusal says where the names are.
TEST_F(Reader, FluidNamesAreMatchedWhole) {
    auto with_fluid = [](const std::string& name) {
        std::string text = chain();
        text.replace(text.find("Helium"), 6, name);
        return text;
    };
    const struct {
        const char* name;
        int fluid;  // index in `fluids`, -1 refused
    } cases[] = {
        {"ethane", 20},          {"Air", FLUID_AIR}, {"Air ", FLUID_AIR},
        {" WATER", FLUID_WATER}, {"ane", -1},        {"ISO Air", -1},
        {"Unobtainium", -1},     {"", -1},           {"Humid Air", -1},
    };
    for (const auto& k : cases) {
        Project* p = read(with_fluid(k.name));
        if (k.fluid >= 0) {
            ASSERT_NE(p, nullptr) << k.name << ": " << error;
            EXPECT_EQ(p->processes[0]->fluid, fluids[k.fluid]) << k.name;
        } else {
            EXPECT_EQ(p, nullptr) << k.name;
            EXPECT_NE(error.find("README.md"), std::string::npos) << error;
            EXPECT_EQ(error_line(), 6) << error;
        }
    }
    // Without a Fluid line the inlet takes no default fluid.
    std::string text = chain();
    text.erase(text.find("  Fluid = \"Helium\"\n"), 19);
    EXPECT_EQ(read(text), nullptr);
    EXPECT_NE(error.find("names no working fluid"), std::string::npos) << error;
}

// Every value is a number with a unit of its quantity (or none: the
// quantity's own unit), and within its input's bounds: anything else
// refuses the file with its line and the reason.
TEST_F(Reader, ValuesAreNumbersInUnitsOfTheirQuantity) {
    struct Case {
        std::string line;  // a compressor line, or an inlet line (starting "  Temperature")
        std::string says;  // refusal text, or "" when the file is read
        std::string warns = "";
        int input = -1;  // compressor input row checked after reading
        double value = 0;
    };
    const std::string eta = "  Input Value \"Isentropic Efficiency\" = ";
    const std::string ratio = "  Input Value \"Pressure Ratio Out/In\" = ";
    const Case cases[] = {
        {"  Temperature = \"nan K\"", "'nan K' is not a number"},
        {"  Temperature = \"abc K\"", "is not a number followed by a unit of Temperature"},
        {"  Temperature = \"1e999 K\"", "is not a number"},
        {"  Temperature = \"726.85 C\"", "'C' is not a unit of Temperature (K, °C, °F)"},
        {"  Temperature = \"300 furlongs\"", "'furlongs' is not a unit of Temperature"},
        {"  Temperature = \"-300 °C\"", "above absolute zero"},
        {"  Pressure = \"inf kPa\"", "is not a number"},
        {"  Pressure = \"10 atm\"", "'atm' is not a unit of Pressure"},
        {"  Pressure = \"5 K\"", "'K' is not a unit of Pressure"},
        {"  Pressure = \"0 bar\"", "a pressure must be greater than 0"},
        {"  Humidity = \"NaN -\"", "is not a number"},
        {"  Massflow = \"-1 kg/s\"", "a mass flow cannot be negative"},
        {eta + "\"0 -\"", "an efficiency must be greater than 0"},
        {ratio + "\"0 -\"", "this pressure ratio must be 1 or more"},
        {"  Input Value \"Absolute Leakage\" = \"-1e300 kg/s\"", "would create mass"},
        {"  Input Value \"Relative Leakage\" = \"-5 %\"", "would create mass"},
        {"  Input Value \"Relative Pressure Loss\" = \"1 -\"", "leaves no pressure"},
        {"  Input Value \"Outlet Pressure\" = \"12 furlongs\"", "not a unit of Pressure"},
        {"  Output Result \"Power\" = \"x MW\"", "is not a number"},
        {eta + "\"1.5 -\"", "Isentropic Efficiency = '1.5 -': an efficiency cannot exceed 1"},
        {eta + "\"150 %\"", "an efficiency cannot exceed 1 (100 %)"},
        {ratio + "\"0.5 -\"", "this pressure ratio must be 1 or more"},
        {eta + "\"0.85\"", "", "", PI_ISENTROPIC_EFFICIENCY, 0.85},  // the value's unit
        {eta + "\"85 %\"", "", "", PI_ISENTROPIC_EFFICIENCY, 0.85},
    };
    for (const Case& k : cases) {
        std::string text = chain();
        if (k.line.rfind("  Input", 0) == 0 || k.line.rfind("  Output", 0) == 0)
            text = chain(k.line + "\n");
        else
            text.replace(text.find("  Temperature = \"300 K\""), 22, k.line);
        int line = 1;
        for (char ch : text.substr(0, text.find(k.line))) line += ch == '\n';
        Project* p = read(text);
        if (!k.says.empty()) {
            EXPECT_EQ(p, nullptr) << k.line;
            EXPECT_NE(error.find(k.says), std::string::npos) << k.line << ": " << error;
            EXPECT_EQ(error_line(), line) << error;
            continue;
        }
        ASSERT_NE(p, nullptr) << k.line << ": " << error;
        EXPECT_DOUBLE_EQ(part(0, 1)->inputs[k.input], k.value) << k.line;
        if (!k.warns.empty()) {
            EXPECT_NE(p->calc_log.find("Line " + std::to_string(line) + ": "), std::string::npos)
                << p->calc_log;
            EXPECT_NE(p->calc_log.find(k.warns), std::string::npos) << p->calc_log;
        } else {
            EXPECT_EQ(p->calc_log.find("Line "), std::string::npos) << p->calc_log;
        }
    }
}

// Files that cannot be read say why: the part type not known (with the
// names), parts linked in a loop, an empty or a binary file.
TEST_F(Reader, RefusalsNameTheProblem) {
    const std::string c = chain();
    auto swap = [&](const std::string& from, const std::string& to) {
        std::string t = c;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    const struct {
        std::string text;
        std::string says;
    } cases[] = {
        {swap("\"Compressor\"", "\"Compresor\""),
         "unknown part type 'Compresor'; the part types are Compressor, Pump,"},
        {swap("  Next Part ID \"0\" = \"3\" \"0\"\n",
              "  Next Part ID \"0\" = \"3\" \"0\"\n  Next Part ID \"1\" = \"2\" \"1\"\n"
              "  Previous Part ID \"1\" = \"2\" \"1\"\n"),
         "include a part linked to itself: 'Compressor 1' -> 'Compressor 1'"},
        {"", "the file is empty"},
        {"\n  \n", "the file is empty"},
        {std::string("Version = \"2.0.8\"\n\x7f"
                     "ELF\0\x01",
                     24),
         "binary data"},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(read(k.text), nullptr) << k.says;
        EXPECT_NE(error.find(k.says), std::string::npos) << error;
    }
}

TEST_F(Reader, PressureRatioOutInFollowsThePartType) {
    // A single line fills the row the part type offers.
    ASSERT_NE(read(chain("  Input Value \"Pressure Ratio Out/In\" = \"3 -\"\n")), nullptr);
    EXPECT_DOUBLE_EQ(part(0, 1)->inputs[PI_PRESSURE_RATIO_OUT_IN], 3.0);
    std::string turbine = chain("  Input Value \"Pressure Ratio Out/In\" = \"0.25 -\"\n");
    turbine.replace(turbine.find("\"Compressor\""), 12, "\"Turbine\"");
    ASSERT_NE(read(turbine), nullptr) << error;
    EXPECT_DOUBLE_EQ(part(0, 1)->inputs[PI_PRESSURE_RATIO_OUT_IN_LT1], 0.25);
    EXPECT_DOUBLE_EQ(part(0, 1)->inputs[PI_PRESSURE_RATIO_OUT_IN], 2.0);  // default
    // Both lines, as written for every input: in row order.
    turbine = chain(
        "  Input Value \"Pressure Ratio Out/In\" = \"5 -\"\n"
        "  Input Value \"Pressure Ratio Out/In\" = \"0.4 -\"\n");
    turbine.replace(turbine.find("\"Compressor\""), 12, "\"Turbine\"");
    ASSERT_NE(read(turbine), nullptr) << error;
    EXPECT_DOUBLE_EQ(part(0, 1)->inputs[PI_PRESSURE_RATIO_OUT_IN], 5.0);
    EXPECT_DOUBLE_EQ(part(0, 1)->inputs[PI_PRESSURE_RATIO_OUT_IN_LT1], 0.4);
}

TEST_F(Reader, ResultsAreNotHeldToInputBounds) {
    ASSERT_NE(read(chain("  Input Value \"Isentropic Efficiency\" = \"100 %\"\n"
                         "  Output Result \"Lambda\" = \"0.5 -\"\n"
                         "  Output Result \"Outlet Humidity\" = \"1.5 -\"\n"
                         "  Output Result \"Inlet Pressure\" = \"2 bar\"\n"
                         "  Output Result \"Power\" = \"-1.5 MW\"\n")),
              nullptr)
        << error;
    const Part& c = *part(0, 1);
    EXPECT_DOUBLE_EQ(c.inputs[PI_ISENTROPIC_EFFICIENCY], 1.0);
    EXPECT_EQ(c.input_units[PI_ISENTROPIC_EFFICIENCY], 1);  // %
    EXPECT_DOUBLE_EQ(c.outputs[PO_LAMBDA], 0.5);
    EXPECT_DOUBLE_EQ(c.outputs[PO_OUTLET_HUMIDITY], 1.5);
    EXPECT_DOUBLE_EQ(c.outputs[PO_INLET_PRESSURE], 200.0);
    EXPECT_EQ(c.output_units[PO_INLET_PRESSURE], find_unit(Q_PRESSURE, "bar"));
    EXPECT_DOUBLE_EQ(c.outputs[PO_POWER], -1500.0);
}

TEST_F(Reader, StepsAndCompositionsAreReadWhole) {
    std::string comp = "  Fluid Composition Out";
    for (int i = 0; i < 20; ++i) comp += " 0.0123456789012345" + std::to_string(i % 10);
    ASSERT_GT(comp.size(), 199u);
    comp.replace(comp.rfind(' ') + 1, std::string::npos, "0.987654321");
    ASSERT_NE(read(chain("  Results Step 200 T= 1 P= 2 h= -3 s= 4e-3 rho = 5 qq= 998 Q= 7\n" +
                         comp + "\n")),
              nullptr)
        << error;
    const Part& c = *part(0, 1);
    EXPECT_EQ(c.state, PS_FINISHED);
    EXPECT_DOUBLE_EQ(c.T[200], 1.0);
    EXPECT_DOUBLE_EQ(c.h[200], -3.0);
    EXPECT_DOUBLE_EQ(c.s[200], 4e-3);
    EXPECT_DOUBLE_EQ(c.q[200], 998.0);
    EXPECT_DOUBLE_EQ(c.x_out[19], 0.987654321);  // the 20th fraction survives
}

TEST_F(Reader, BadFilesAreRefusedWithTheLine) {
    struct Case {
        std::string text;
        std::string says;
    };
    const std::string c = chain();
    auto swap = [&](const std::string& from, const std::string& to) {
        std::string t = c;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    const Case cases[] = {
        {swap("  ID = 2\n", "  ID = 0\n"), "out of range"},
        {swap("  ID = 2\n", "  ID = 2000000\n"), "out of range"},
        {swap("  ID = 2\n", "  ID = 1\n"), "used twice"},
        {swap("  ID = 100000", "  ID = -5"), "out of range"},
        {swap("  ID = 100000", "  ID = 99999999999"), "malformed"},
        {chain("  Results Step 201 T= 1 P= 2 h= 3 s= 4 rho = 5 qq= 6 Q= 7\n"), "step index"},
        {chain("  Results Step 3 T= 1 P= 2 h= nan s= 4 rho = 5 qq= 6 Q= 7\n"), "malformed"},
        {swap("\"3\" \"0\"\n#END", "\"9\" \"0\"\n#END"), "does not hold"},
        {swap("\"3\" \"0\"\n#END", "\"3\" \"2\"\n#END"), "slot"},
        {swap("  Previous Part ID \"0\" = \"2\"", "  Previous Part ID \"0\" = \"1\""),
         "do not link"},
        {swap("  Type = \"Inlet\"", "  Type = \"Pump\""), "Inlet"},
        {swap("  Type = \"Outlet\"", "  Type = \"Pump\""), "no Outlet"},
        {swap("  Name = \"Inlet\"\n  ID = 1\n", "  Name = \"Inlet\"\n"), "no ID"},
        {c.substr(0, c.size() - 15), "no end"},
        {"just text\n" + c.substr(c.find('\n') + 1),
         "line 2: '#START Process' is not 'Fluid : NAME'"},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(read(k.text), nullptr) << k.says;
        EXPECT_NE(error.find(k.says), std::string::npos) << error;
        EXPECT_GT(error_line(), 0) << error;
        EXPECT_EQ(current_project, nullptr);
    }
    // The line named is the offending one.
    std::string t = chain("  Results Step 500 T= 1 P= 2 h= 3 s= 4 rho = 5 qq= 6 Q= 7\n");
    EXPECT_EQ(read(t), nullptr);
    int expected = 1;
    for (char ch : t.substr(0, t.find("Results Step 500"))) expected += ch == '\n';
    EXPECT_EQ(error_line(), expected);
}

TEST_F(Reader, MoreBlocksThanTheRecordsHoldAreRefused) {
    // 53 parts in one process.
    std::string parts;
    for (int i = 0; i < 51; ++i) {
        int id = 10 + i;
        parts += "#START Part\n  Type = \"Pump\"\n  Name = \"Pump\"\n  ID = " + std::to_string(id) +
                 "\n#END\n";
    }
    std::string text = chain();
    text.insert(text.find("#START Part\n  Type = \"Outlet\""), parts);
    EXPECT_EQ(read(text), nullptr);
    EXPECT_NE(error.find("more than 52 parts"), std::string::npos) << error;

    // 151 processes.
    std::string many;
    for (int i = 0; i < 151; ++i) many += process_block(100000 + i, 3 * i);
    EXPECT_EQ(read(file(many)), nullptr);
    EXPECT_NE(error.find("more than 150 processes"), std::string::npos) << error;
    // 150 are fine.
    many.resize(many.rfind("#START Process"));
    EXPECT_NE(read(file(many)), nullptr) << error;
}

TEST_F(Reader, InterfacesCoupleTwoHeatExchangers) {
    auto with = [](const std::string& cold) {
        return file(process_block(100000, 0, "Heat Exchanger") +
                    process_block(100001, 10, "Heat Exchanger") +
                    "#START Interface\n  Name = \"I\"\n  ID = \"10005\"\n"
                    "  Hot Side : Process ID 100000 Part ID 2\n"
                    "  Cold Side: Process ID 100001 Part ID " +
                    cold +
                    "\n"
                    "  Option \"Initialization mode\" = \"Heat Flux\"\n"
                    "Output Value\"Outlet Temperature Hot Side\" \"50 °C\"\n"
                    "  Output Value \"Heat Exchanger Effectiveness\" \"0.5 -\"\n"
                    "#END\n");
    };
    ASSERT_NE(read(with("12")), nullptr) << error;
    ASSERT_EQ(project->az_interfaces, 1);
    const Interface& itf = *project->interfaces[0];
    EXPECT_EQ(itf.id, 10005);
    EXPECT_GT(new_interface_id, 10005);
    EXPECT_EQ(itf.options[IOPT_INITIALIZATION_MODE], 4);
    EXPECT_DOUBLE_EQ(itf.outputs[IO_OUTLET_TEMPERATURE_HOT], 323.15);
    EXPECT_DOUBLE_EQ(itf.outputs[IO_EFFECTIVENESS], 0.0);  // indented form is passed over
    EXPECT_EQ(part_by_id(project, 2)->options[OPT_OUTLET_TEMPERATURE], 2);
    EXPECT_EQ(part_by_id(project, 12)->options[OPT_OUTLET_TEMPERATURE], 2);
    // The pictures of the hot and the cold side, as an interface made in
    // the window has them.
    EXPECT_EQ(part_by_id(project, 2)->icon, "My_heatsource");
    EXPECT_EQ(part_by_id(project, 12)->icon, "My_heatsink");

    EXPECT_EQ(read(with("11")), nullptr);  // the cold side is an Inlet
    EXPECT_NE(error.find("not a heat exchanger"), std::string::npos) << error;
    EXPECT_EQ(read(with("99")), nullptr);
    EXPECT_NE(error.find("does not hold"), std::string::npos) << error;
    EXPECT_EQ(read(with("2")), nullptr);  // part 2 is in the other process
    EXPECT_NE(error.find("does not hold"), std::string::npos) << error;
}

TEST_F(Reader, OlderVersionsGetInletAndOutlet) {
    std::string text =
        "Version = \"2.0.3\"\n#START Process\n  Name = \"Old\"\n  ID = 7\n"
        "#START Inlet Conditions\n  Fluid = \"Water\"\n#END\n"
        "#START Part\n  Type = \"Pump\"\n  Name = \"Pump 1\"\n  ID = 1\n#END\n"
        "#START Part\n  Type = \"Turbine\"\n  Name = \"Turbine 1\"\n  ID = 2\n#END\n#END\n";
    ASSERT_NE(read(text), nullptr) << error;
    const Process& p = *project->processes[0];
    ASSERT_EQ(p.az_parts, 4);
    EXPECT_EQ(p.parts[0]->type, INLET);
    EXPECT_EQ(p.parts[1]->type, PUMP);
    EXPECT_EQ(p.parts[3]->type, OUTLET);
    EXPECT_EQ(p.parts[0]->next_id[0], 1);
    EXPECT_EQ(p.parts[2]->prev_id[0], 1);
    EXPECT_EQ(p.parts[3]->prev_id[0], 2);
    EXPECT_EQ(p.parts[0]->id, 3);  // fresh ids after the file's
}

TEST_F(Reader, FluidBlocksAddValidUserFluids) {
    const std::string block =
        "#START Fluid Definition\n Fluid name = \"My Gas\"\n Az parts = \"2\"\n"
        " Fluid humidity type = \"0\"\n Component \"nitrogen\" mol_proz \"0.79\" \n"
        " Component \"Oxygen\" mol_proz \"0.21\" \n#END Fluid definition\n";
    std::string text = chain();
    text.insert(text.find("#START Process"), block);
    text.replace(text.find("Helium"), 6, "my gas");
    ASSERT_NE(read(text), nullptr) << error;
    Fluid* mine = fluids.find("My Gas");
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(project->processes[0]->fluid, mine);
    EXPECT_EQ(mine->group, FG_USER);
    EXPECT_EQ(mine->components, "nitrogen|oxygen|");
    EXPECT_EQ(mine->ref_code, "OTH");
    EXPECT_DOUBLE_EQ(mine->T0, 283.15);
    // The same block again adds nothing; another definition is reported.
    std::string error2, warning;
    EXPECT_EQ(read_fluid(block, error2, warning, ReadOptions{false}), nullptr);
    EXPECT_TRUE(error2.empty());
    EXPECT_TRUE(warning.empty());
    std::string other = block;
    other.replace(other.find("0.79"), 4, "0.80");
    other.replace(other.find("0.21"), 4, "0.20");
    EXPECT_EQ(read_fluid(other, error2, warning, ReadOptions{false}), nullptr);
    EXPECT_NE(warning.find("differs"), std::string::npos);
}

TEST_F(Reader, FluidBlocksWithBadComponentsAreRefused) {
    auto block = [](int declared, int listed, const std::string& name, double x) {
        std::string b = "#START Fluid Definition\n Fluid name = \"F\"\n Az parts = \"" +
                        std::to_string(declared) + "\"\n";
        for (int i = 0; i < listed; ++i)
            b += " Component \"" + (i == 0 ? name : fluids[13 + i]->name) + "\" mol_proz \"" +
                 number_text(i == 0 ? x : (1.0 - x) / (listed - 1)) + "\" \n";
        return b + "#END Fluid definition\n";
    };
    std::string error2, warning;
    auto refused = [&](const std::string& b, const std::string& says) {
        EXPECT_EQ(read_fluid(b, error2, warning, ReadOptions{false}), nullptr) << says;
        EXPECT_NE(error2.find(says), std::string::npos) << error2;
    };
    refused(block(3, 2, "Nitrogen", 0.5), "declares 3 components but lists 2");
    refused(block(21, 21, "Nitrogen", 0.5), "1 to 20");
    refused(block(20, 21, "Nitrogen", 0.5), "more than 20");
    refused(block(2, 2, "Kryptonite", 0.5), "unknown component");
    refused(block(2, 2, "Dry ISO Air", 0.5), "not a pure fluid");
    refused(block(2, 2, "Nitrogen", 50), "0 to 1");
    std::string percent = block(2, 2, "Nitrogen", 0.5);
    percent.replace(percent.rfind("\"0.5\""), 5, "\"0.2\"");
    refused(percent, "add up");
    std::string humid = block(2, 2, "Nitrogen", 0.5);
    humid.insert(humid.find(" Component"), " Fluid humidity type = \"3\"\n");
    refused(humid, "no water");
    // 20 components are the most a fluid holds.
    std::unique_ptr<Fluid> f =
        read_fluid(block(20, 20, "Nitrogen", 0.05), error2, warning, ReadOptions{false});
    ASSERT_NE(f, nullptr) << error2;
    EXPECT_EQ(f->az_components, 20);
    EXPECT_DOUBLE_EQ(f->x[19], 0.95 / 19);
}

TEST_F(Reader, DiagramsAddTheirIsolinePositions) {
    const std::string graph =
        "#START Graph\n  Name = \"h-s\"\n  Type = \"0\"\n  Fluid = \"Helium\"\n"
        "#START Process\n    Process ID = \"100000\"\n    Line width = \"2.5\"\n"
        "    Line color = \"1 2 3\"\n#END\n"
        "#START Process\n    Process ID = \"4711\"\n#END\n"
        "#START Isobar\n    Show = \"1\"\n    Positions = \"10\" \"123.5\" \"-4\" \"x\"  \n#END\n"
        "#START X-AXIS\n     Axis Label = \"Entropy\"\n     Used Unit num = \"0\"\n"
        "     Digits = \"99\"\n#END\n"
        "#END\n";
    ASSERT_NE(read(chain("", graph)), nullptr) << error;
    ASSERT_EQ(project->az_graphs, 1);
    const Graph& g = *project->graphs[1];
    EXPECT_EQ(project->graphs[0], nullptr);  // the flowsheet's slot
    EXPECT_EQ(g.kind, GK_DIAGRAM);
    EXPECT_EQ(g.fluid, fluids[FLUID_HELIUM]);
    ASSERT_EQ(g.az_curves, 1);  // the curve of a missing process is left out
    EXPECT_EQ(g.curves[0], project->processes[0]);
    EXPECT_DOUBLE_EQ(g.curve_style[0].line_width, 2.5);
    EXPECT_EQ(g.curve_style[0].line_color.blue, 3);
    EXPECT_EQ(g.x_axis.digits, 15);
    const IsoFamily& isobars = fluids[FLUID_HELIUM]->iso[ISO_ISOBAR];
    int added = iso_find(isobars, 123.5);
    ASSERT_GE(added, 0);
    EXPECT_EQ(g.iso_style[ISO_ISOBAR].selected[added], 1);
    EXPECT_EQ(g.iso_style[ISO_ISOBAR].selected[iso_find(isobars, 10)], 1);
    EXPECT_EQ(g.iso_style[ISO_ISOBAR].selected[iso_find(isobars, 5)], 0);
    init_stoffe();  // the built-in lists back to their defaults
}

TEST_F(Reader, MixerWithOpenSecondInletIsKept) {
    std::string text = chain();
    text.replace(text.find("\"Compressor\""), 12, "\"Mixer\"");
    text.insert(text.find("  Next Part ID \"0\" = \"3\""),
                "  Previous Part ID \"1\" = \"-1\" \"0\"\n");
    ASSERT_NE(read(text), nullptr) << error;
    EXPECT_EQ(part(0, 1)->prev_id[1], -1);
    EXPECT_EQ(part(0, 1)->steps, 3);
}

// Links that loop (a recycle into a mixer's second inlet too) or leave
// parts unreachable from the Inlet are refused, naming the line of the link
// that closes the loop or the start of the part.
TEST_F(Reader, LoopsAndUnreachablePartsAreRefusedWithTheLine) {
    EXPECT_EQ(read(slurp(testsupport::source_dir() + "/tests/app/core/files/link_loop.kvr")),
              nullptr);
    EXPECT_EQ(error_line(), 38) << error;
    EXPECT_NE(error.find("are linked in a loop: 'Mixer 1' -> 'Compressor 1' -> 'Splitter 1' -> "
                         "'Mixer 1'"),
              std::string::npos)
        << error;
    // Two turbines feeding each other beside the chain.
    std::string text = chain();
    const std::size_t at = text.rfind("#END\n#END\n#END\n") + 5;
    text.insert(
        at,
        "#START Part\n  Type = \"Turbine\"\n  Name = \"T1\"\n  ID = 4\n"
        "  Previous Part ID \"0\" = \"5\" \"0\"\n  Next Part ID \"0\" = \"5\" \"0\"\n#END\n"
        "#START Part\n  Type = \"Turbine\"\n  Name = \"T2\"\n  ID = 5\n"
        "  Previous Part ID \"0\" = \"4\" \"0\"\n  Next Part ID \"0\" = \"4\" \"0\"\n#END\n");
    EXPECT_EQ(read(text), nullptr);
    EXPECT_EQ(error_line(),
              1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n')));
    EXPECT_NE(error.find("part 'T1' of process 'P100000' cannot be reached from its Inlet"),
              std::string::npos)
        << error;
}

// Outlets found before other parts go to the end of the list.
TEST_F(Reader, OutletsGoLast) {
    std::string text = chain();
    const std::size_t outlet = text.find("#START Part\n  Type = \"Outlet\"");
    const std::size_t compressor = text.find("#START Part\n  Type = \"Compressor\"");
    const std::string block = text.substr(outlet, text.find("#END\n", outlet) + 5 - outlet);
    text.erase(outlet, block.size());
    text.insert(compressor, block);
    ASSERT_NE(read(text), nullptr) << error;
    EXPECT_EQ(part(0, 1)->type, COMPRESSOR);
    EXPECT_EQ(part(0, 2)->type, OUTLET);
}

// Files saved by editors of every kind read alike: line ends "\n",
// "\r\n", and "\r" alone (old Mac editors; such a file read as one line,
// an empty project), with or without a last line end.
TEST_F(Reader, EveryKindOfLineEndReadsAlike) {
    const std::string lf = chain("  Name = \"Compressor 7\"\n");
    ASSERT_NE(read(lf), nullptr) << error;
    const std::string expected = project_text(*project, true, true);
    auto with_ends = [&](const std::string& end, bool last) {
        std::string out;
        for (char c : lf) out += c == '\n' ? end : std::string(1, c);
        if (!last) out.resize(out.size() - end.size());
        return out;
    };
    for (const std::string end : {"\n", "\r\n", "\r"})
        for (bool last : {true, false}) {
            SCOPED_TRACE(testing::PrintToString(end) + (last ? "" : " without the last"));
            ASSERT_NE(read(with_ends(end, last)), nullptr) << error;
            EXPECT_EQ(project->processes[0]->az_parts, 3);
            EXPECT_EQ(project_text(*project, true, true), expected);
        }
}

// What a part read from a file older than 2.0 carries beyond a new part's
// is read back from the lines the writer keeps it in.
TEST_F(Reader, StepSettingsOfOlderFilesAreTaken) {
    ASSERT_NE(read(chain("  Number of Steps = \"10\"\n  Step Segmentation = \"Linear\"\n"
                         "  Length Factor = \"2.5\"\n")),
              nullptr)
        << error;
    EXPECT_EQ(part(0, 1)->steps, 10);
    EXPECT_EQ(part(0, 1)->segmentation, SEGMENTS_LINEAR);
    EXPECT_EQ(part(0, 1)->old_value, 2.5);
    // Without them a part has the steps of its type and geometric steps.
    ASSERT_NE(read(chain()), nullptr) << error;
    EXPECT_EQ(part(0, 1)->steps, 100);
    EXPECT_EQ(part(0, 1)->segmentation, SEGMENTS_GEOMETRIC);
    EXPECT_EQ(part(0, 1)->old_value, 0.0);

    const struct {
        std::string text;
        std::string says;
    } refused[] = {
        {chain("  Number of Steps = \"0\"\n"), "number of steps '0' is not a whole number"},
        {chain("  Number of Steps = \"201\"\n"), "from 1 to 200"},
        {chain("  Number of Steps = \"ten\"\n"), "'ten'"},
        {chain("  Step Segmentation = \"curved\"\n"), "neither linear nor geometric"},
        {chain("  Length Factor = \"-1\"\n"), "not a number of at least 0"},
        {file(process_block(100000, 0, "Combustor", "  Number of Steps = \"5\"\n", "Dry ISO Air")),
         "is a Combustor, whose number of steps is 1, not 5"},
    };
    for (const auto& k : refused) {
        EXPECT_EQ(read(k.text), nullptr) << k.says;
        EXPECT_NE(error.find(k.says), std::string::npos) << error;
        EXPECT_GT(error_line(), 0) << error;
    }
}

// A result file whose inlet cannot be prepared (here its working fluid
// became the pseudo-fluid "Air", which no combustor burns in) keeps the
// inlet values it holds: they came back as 0 K and 0 kPa from the Inlet's
// results, and such a project could not be saved again.
TEST_F(Reader, UnpreparedInletKeepsItsValues) {
    Project* calculated = read_project_text(
        slurp(testsupport::source_dir() + "/examples/gas_turbine.kvr"), "gt.kvr", error);
    ASSERT_NE(calculated, nullptr) << error;
    ASSERT_EQ(calcProject(*calculated), CS_FINISHED);
    std::string text = project_text(*calculated, false, true);
    free_project(calculated);
    const std::string from = "Fluid = \"Dry ISO Air\"";
    ASSERT_NE(text.find(from), std::string::npos);
    text.replace(text.find(from), from.size(), "Fluid = \"Air\"");

    project = read_project_text(text, "air.kvr", error);
    ASSERT_NE(project, nullptr) << error;
    const Process& process = *project->processes[0];
    EXPECT_EQ(process.inputs[PRI_TEMPERATURE], 288.15);
    EXPECT_EQ(process.inputs[PRI_PRESSURE], 101.325);
    EXPECT_EQ(input_out_of_bounds(*project), "");
    // The parts keep their results.
    EXPECT_EQ(process.parts[1]->state, PS_FINISHED);
}

// The results of a large project are read again: the largest project the
// records hold writes about 150 MB with its results, and files above 32 MB
// were refused. Here 40 MB of lines the reader passes over stand for them.
TEST_F(Reader, LargeResultFilesAreRead) {
    const std::string body = chain();
    std::string text = body.substr(0, body.find('\n') + 1);
    const std::string filler(1u << 20, 'x');
    for (int k = 0; k < 40; ++k) text += filler + "\n";
    text += body.substr(body.find('\n') + 1);
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("kvr2_large_" + std::to_string(::getpid()) + ".kvr"))
                                 .string();
    std::ofstream(path, std::ios::binary) << text;
    project = readinput(path);
    std::filesystem::remove(path);
    ASSERT_NE(project, nullptr);
    EXPECT_EQ(project->processes[0]->az_parts, 3);
}

TEST_F(Reader, MissingFileGivesNoProject) {
    EXPECT_EQ(readinput("/nonexistent/dir/x.kvr"), nullptr);
    EXPECT_EQ(current_project, nullptr);
}

}  // namespace
