// Project files older than 2.0 (tests/app/core/files/old_*.kvr): each
// variant becomes one process with an Inlet first and an Outlet last, the
// values land in the inputs their places name, the cycles calculate as the
// examples of the same plants do, and a file that ends early says so.
#include "tests/app/core/cycle_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace app;
using cycletest::contains;
using cycletest::CycleTest;

class OldFiles : public CycleTest {
protected:
    Process& read_old(const std::string& name) {
        Project& p = read_file(name, "tests/app/core/files");
        EXPECT_EQ(p.az_processes, 1);
        return *p.processes[0];
    }
    static std::vector<int> types(const Process& proc) {
        std::vector<int> t;
        for (int k = 0; k < proc.az_parts; ++k) t.push_back(proc.parts[k]->type);
        return t;
    }
    // Every part linked to the next through slot 0.
    static void expect_chain(const Process& proc) {
        for (int k = 1; k < proc.az_parts; ++k) {
            EXPECT_EQ(proc.parts[k]->prev_id[0], proc.parts[k - 1]->id) << k;
            EXPECT_EQ(proc.parts[k - 1]->next_id[0], proc.parts[k]->id) << k;
        }
    }
};

TEST_F(OldFiles, EachVariantIsOneProcessFromInletToOutlet) {
    const struct {
        const char* file;
        const char* fluid;
        double T, p, m;
        std::vector<int> types;
    } cases[] = {
        {"old_numbered.kvr",
         "Helium",
         300,
         1000,
         1,
         {INLET, COMPRESSOR, INTERCOOLER, EXPANDER, OUTLET}},
        {"old_named.kvr",
         "Water",
         318.15,
         10,
         1,
         {INLET, COMPRESSOR, HEAT_EXCHANGER, TURBINE, OUTLET}},
        {"old_pipelines.kvr", "Nitrogen", 300, 500, 1, {INLET, PIPELINE, PIPELINE, OUTLET}},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.file);
        const Process& proc = read_old(t.file);
        EXPECT_EQ(proc.name, "Process 1");
        EXPECT_EQ(proc.fluid->name, t.fluid);
        EXPECT_EQ(proc.inputs[PRI_TEMPERATURE], t.T);
        EXPECT_EQ(proc.inputs[PRI_PRESSURE], t.p);
        EXPECT_EQ(proc.inputs[PRI_MASSFLOW], t.m);
        EXPECT_EQ(types(proc), t.types);
        expect_chain(proc);
    }
}

// The helium Brayton cycle of the examples without its cooler: the
// compressor to its outlet pressure, heated to 1000 K, expanded back.
TEST_F(OldFiles, NumberedPartsCalculateAsTheBraytonExample) {
    const Process& proc = read_old("old_numbered.kvr");
    const Part& comp = *proc.parts[1];
    EXPECT_EQ(comp.options[OPT_COMPRESSION], 1);  // its pressure is the outlet's
    EXPECT_EQ(comp.inputs[PI_OUTLET_PRESSURE], 2000.0);
    EXPECT_EQ(comp.options[OPT_EFFICIENCY], 0);
    EXPECT_EQ(comp.segmentation, 1);
    const Part& cooler = *proc.parts[2];
    EXPECT_EQ(cooler.options[OPT_PRESSURE_LOSS], 1);
    EXPECT_EQ(cooler.inputs[PI_OUTLET_TEMPERATURE], 1000.0);
    EXPECT_EQ(cooler.options[OPT_LEAKAGE], 1);
    ASSERT_EQ(calcProject(*project), CS_FINISHED) << project->calc_log;
    EXPECT_NEAR(comp.outputs[PO_OUTLET_TEMPERATURE], 395.75, 0.01);
    EXPECT_NEAR(proc.parts[3]->outputs[PO_OUTLET_TEMPERATURE], 757.94, 0.01);
}

// The steam Rankine cycle of the examples, pump and turbine by name.
TEST_F(OldFiles, NamedPartsCalculateAsTheRankineExample) {
    const Process& proc = read_old("old_named.kvr");
    const Part& turbine = *proc.parts[3];
    EXPECT_EQ(turbine.options[OPT_EXPANSION], 1);
    EXPECT_EQ(turbine.inputs[PI_OUTLET_PRESSURE], 10.0);
    EXPECT_EQ(turbine.options[OPT_EFFICIENCY], 0);  // choice 2: isentropic
    EXPECT_EQ(proc.parts[2]->options[OPT_PRESSURE_LOSS], 1);
    ASSERT_EQ(calcProject(*project), CS_FINISHED) << project->calc_log;
    EXPECT_NEAR(turbine.outputs[PO_SPECIFIC_WORK], -1361.6, 0.1);
    EXPECT_NEAR(proc.parts[1]->outputs[PO_SPECIFIC_WORK], 10.068, 0.001);
}

// Pipelines with their length factors: the losses and heat fluxes scale
// with them.
TEST_F(OldFiles, PipelineListKeepsLengthFactors) {
    const Process& proc = read_old("old_pipelines.kvr");
    const Part &a = *proc.parts[1], &b = *proc.parts[2];
    EXPECT_EQ(a.old_value, 2.0);
    EXPECT_EQ(a.inputs[PI_SPECIFIC_HEAT_FLUX], -5.0);
    EXPECT_EQ(a.options[OPT_OUTLET_TEMPERATURE], 0);  // the pipeline's heat flux
    EXPECT_EQ(b.options[OPT_LEAKAGE], 1);
    EXPECT_EQ(b.inputs[PI_RELATIVE_LEAKAGE], 0.1);
    ASSERT_EQ(calcProject(*project), CS_FINISHED) << project->calc_log;
    EXPECT_NEAR(a.outputs[PO_OUTLET_PRESSURE], 500 * 0.99 * 0.99, 1e-9);
    EXPECT_NEAR(a.outputs[PO_OUTLET_ENTHALPY] - a.outputs[PO_INLET_ENTHALPY], -10.0, 1e-9);
    EXPECT_NEAR(b.outputs[PO_OUTLET_PRESSURE], 500 * 0.99 * 0.99 - 5, 1e-9);
    EXPECT_NEAR(b.outputs[PO_OUTLET_MASSFLOW], 0.9, 1e-12);
}

TEST_F(OldFiles, TruncatedFileKeepsDefaultsAndSaysSo) {
    const Process& proc = read_old("old_truncated.kvr");
    EXPECT_EQ(types(proc), (std::vector<int>{INLET, COMPRESSOR, OUTLET}));
    const Part& comp = *proc.parts[1];
    EXPECT_EQ(comp.inputs[PI_OUTLET_PRESSURE], 2000.0);  // read
    EXPECT_EQ(comp.options[OPT_EFFICIENCY], 1);          // default
    EXPECT_EQ(comp.steps, 100);
    EXPECT_TRUE(contains(project->status_log + project->calc_log,
                         "The file ends at line 9, before the efficiency choice; the values from "
                         "there on keep their defaults."))
        << project->calc_log;
    EXPECT_EQ(calcProject(*project), CS_FINISHED);
}

// Lines that do not hold what their place asks for refuse the file with the
// line and the reason.
TEST_F(OldFiles, MalformedLinesRefuseTheFile) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"Cycle E\n99\n", "line 2: fluid number 99 is not one of the 41 fluids"},
        {"Cycle E\n14\nabc\n", "line 3: 'abc' is not a number (the inlet mass flow)"},
        {"Cycle E\n14\n1\n-5\n", "line 4: Temperature = '-5 K': a temperature must be above"},
        {"Cycle E\n14\n1\n300\n100\n1\n--\n9\n", "line 8: part code 9 is not between 1 and 5"},
        {"Cycle E\n14\n1\n300\n100\n1\n--\n1\n200\n3\n",
         "line 10: choice 3 is not between 1 and 2"},
        {"Cycle 1 T\nFluid : Methane\n", "line 2: fluid 'Methane' is not one of the six fluids"},
        {"Cycle 1 T\nFluid : Unobtainium\n", "line 2: unknown working fluid 'Unobtainium'"},
        {"Cycle 1 T\nFluid : Water\n1\n300\n100\n1\n--\nTyp: Boiler\n",
         "line 8: unknown part type 'Boiler'"},
        {"Cycle 1.1\nWater\n", "line 2: 'Water' is not 'Fluid : NAME'"},
        {"Cycle 1.1\nFluid : Water\n1\n300\n100\n60\n", "line 6: the number of parts 60 is not"},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.text);
        std::string error;
        Project* p = read_project_text(t.text, "old.kvr", error, ReadOptions{false});
        EXPECT_EQ(p, nullptr);
        free_project(p);
        EXPECT_TRUE(contains(error, t.error)) << error;
    }
    current_project = project;
}

// A file saved by an editor that puts a byte-order mark before the text
// reads as without it: the variant is told by characters at fixed places of
// the first line, which the mark moved (the numbered and named files were
// refused).
TEST_F(OldFiles, ByteOrderMarkIsPassedOver) {
    // What the file gave the process: fluid, inlet values and each part's
    // type, choices, values and steps.
    auto summary = [](const Process& proc) {
        std::ostringstream out;
        out.precision(17);
        out << proc.fluid->name << ' ' << proc.inputs[PRI_TEMPERATURE] << ' '
            << proc.inputs[PRI_PRESSURE] << ' ' << proc.inputs[PRI_MASSFLOW] << '\n';
        for (int k = 0; k < proc.az_parts; ++k) {
            const Part& part = *proc.parts[k];
            out << part.type << ' ' << part.steps << ' ' << part.segmentation << ' '
                << part.old_value;
            for (int o : part.options) out << ' ' << o;
            for (double v : part.inputs) out << ' ' << v;
            out << '\n';
        }
        return out.str();
    };
    for (const char* name : {"old_numbered.kvr", "old_named.kvr", "old_pipelines.kvr"}) {
        SCOPED_TRACE(name);
        const std::string plain = summary(read_old(name));
        std::ifstream in(std::string(KVR2_SOURCE_DIR) + "/tests/app/core/files/" + name,
                         std::ios::binary);
        std::stringstream text;
        text << "\xEF\xBB\xBF" << in.rdbuf();
        const Project& marked = read_text(text.str(), name);
        ASSERT_EQ(marked.az_processes, 1);
        EXPECT_EQ(summary(*marked.processes[0]), plain);
    }
}

}  // namespace
