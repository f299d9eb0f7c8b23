#include "app/core/files/filehandling.h"

#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/core/solver/simulator.h"
#include "tests/app/core/file_support.h"
#include "tests/support/paths.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace app;

using filetest::slurp;

class Writer : public ::testing::Test {
protected:
    void SetUp() override {
        initstuff();
        init_stoffe();
        current_project = nullptr;
    }
    void TearDown() override {
        for (Project* p : owned) free_project(p);
        current_project = nullptr;
        fluids.truncate(NUM_BUILTIN_FLUIDS);
        init_stoffe();
    }
    Project* read(const std::string& text) {
        std::string error;
        Project* p = read_project_text(text, "t.kvr", error, ReadOptions{false});
        EXPECT_NE(p, nullptr) << error;
        if (p != nullptr) owned.push_back(p);
        return p;
    }
    // write -> read -> write gives the same text.
    std::string round_trip(const Project& p, bool graphs = true, bool results = true) {
        std::string first = project_text(p, graphs, results);
        Project* back = read(first);
        if (back == nullptr) return first;
        std::string second = project_text(*back, graphs, results);
        if (first != second) {  // the first line that differs
            std::istringstream a(first), b(second);
            std::string la, lb;
            for (int n = 1; std::getline(a, la) && std::getline(b, lb); ++n)
                if (la != lb) {
                    ADD_FAILURE() << "line " << n << " written as\n" << la << "\nthen as\n" << lb;
                    break;
                }
            EXPECT_EQ(first.size(), second.size());
        }
        return first;
    }
    std::vector<Project*> owned;
};

TEST_F(Writer, EveryExampleSurvivesTheRoundTrip) {
    int n = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(testsupport::source_dir() + "/examples")) {
        if (entry.path().extension() != ".kvr") continue;
        SCOPED_TRACE(entry.path().string());
        Project* p = read(slurp(entry.path().string()));
        ASSERT_NE(p, nullptr);
        round_trip(*p);
        round_trip(*p, false, false);
        ++n;
    }
    EXPECT_GE(n, 3);
}

// A project built in code with awkward numbers, units, results, an
// interface and a diagram.
Project* build_project() {
    Project* project = create_project();
    current_project = project;
    project->filename = "built.kvr";
    Process* a = create_process(0);
    a->name = "Hot \"loop\" #END";
    a->fluid = fluids[FLUID_HELIUM];
    a->inputs[PRI_TEMPERATURE] = 0.1 + 0.2 + 273.15;
    a->input_units[PRI_TEMPERATURE] = find_unit(Q_TEMPERATURE, "degc");
    a->inputs[PRI_PRESSURE] = 1234.5678901234567;
    a->input_units[PRI_PRESSURE] = find_unit(Q_PRESSURE, "psi");
    Part* hx = create_part(HEAT_EXCHANGER);
    insert_part(*a, 1, hx);
    Part* in = a->parts[0];
    Part* out = a->parts[2];
    in->next_id[0] = hx->id;
    hx->prev_id[0] = in->id;
    hx->next_id[0] = out->id;
    out->prev_id[0] = hx->id;
    hx->inputs[PI_OUTLET_TEMPERATURE] = 1.0 / 3.0 + 500;
    hx->input_units[PI_OUTLET_TEMPERATURE] = find_unit(Q_TEMPERATURE, "degf");
    hx->options[OPT_EFFICIENCY_CALCULATION] = 2;
    hx->output_units[PO_POWER] = find_unit(Q_POWER, "BTU/h");
    for (Part* p : {in, hx, out}) {
        p->fluid = a->fluid;
        p->state = PS_FINISHED;
        for (int i = 0; i <= p->steps; ++i) {
            p->T[i] = 300.0 + i / 7.0;
            p->p[i] = 1e3 * std::exp(-i / 11.0);
            p->h[i] = -1e-9 * i + 1e5;
            p->s[i] = std::sqrt(2.0) * i;
            p->rho[i] = 1.0 / (i + 3);
            p->q[i] = 998;
            p->heat[i] = i == 0 ? 0.0 : 1e300 / i;
        }
        for (int j = 0; j < NUM_PART_OUTPUTS; ++j) p->outputs[j] = std::cos(j) * 1e3;
        for (int c = 0; c < MAX_COMPONENTS; ++c) p->x_out[c] = p->x_in[c] = 1.0 / (c + 3);
        set_result_values(*p);  // as the reader does for finished parts
    }
    append_process(*project, a);

    Process* b = create_process(0);
    b->name = "Cold";
    b->fluid = fluids[FLUID_WATER];
    Part* hx2 = create_part(HEAT_EXCHANGER);
    insert_part(*b, 1, hx2);
    b->parts[0]->next_id[0] = hx2->id;
    hx2->prev_id[0] = b->parts[0]->id;
    hx2->next_id[0] = b->parts[2]->id;
    b->parts[2]->prev_id[0] = hx2->id;
    append_process(*project, b);

    Interface* itf = create_interface();
    itf->hot_process_id = a->id;
    itf->hot_part_id = hx->id;
    itf->cold_process_id = b->id;
    itf->cold_part_id = hx2->id;
    itf->options[IOPT_DOMINANT_SIDE] = 2;
    itf->inputs[II_MINIMUM_DELTA_TEMPERATURE] = 12.345;
    itf->input_units[II_MINIMUM_DELTA_TEMPERATURE] = 2;
    itf->outputs[IO_SPECIFIC_HEAT_FLUX_HOT] = -123.456;
    hx->options[OPT_OUTLET_TEMPERATURE] = 2;
    hx2->options[OPT_OUTLET_TEMPERATURE] = 2;
    append_interface(*project, itf);

    Graph* g = create_graph();
    g->kind = GK_DIAGRAM;
    g->project = project;
    g->name = "T-s of both";
    g->type = 2;
    g->fluid = fluids[FLUID_WATER];
    init_iso_settings(*g);
    g->iso_style[ISO_ISOTHERM].selected[3] = 0;
    int extra = iso_add_position(g->fluid->iso[ISO_ISOBAR], 22.064e3);
    g->iso_style[ISO_ISOBAR].selected.resize(extra + 1, 0);
    g->iso_style[ISO_ISOBAR].selected[extra] = 1;
    g->x_axis = g->fluid->axis[AX_S];
    g->y_axis = g->fluid->axis[AX_T];
    g->y_axis.min_pos = 273.15 + 0.1;
    CurveStyle st;
    st.line_width = 1.25;
    st.dot_color = Color{0, 65535, 1, 2};
    append_curve(*g, a, st);
    append_curve(*g, b, st);
    append_graph(*project, g);
    return project;
}

TEST_F(Writer, BuiltProjectComesBackExactly) {
    Project* p = build_project();
    owned.push_back(p);
    std::string text = round_trip(*p);
    Project* q = owned.back();
    ASSERT_NE(q, p);
    const Process& a = *q->processes[0];
    EXPECT_EQ(a.name, "Hot 'loop' #END");  // a quote cannot stand in a field
    // Every number comes back bit for bit, whatever unit it was shown in.
    EXPECT_EQ(a.inputs[PRI_TEMPERATURE], p->processes[0]->inputs[PRI_TEMPERATURE]);
    EXPECT_EQ(a.inputs[PRI_PRESSURE], p->processes[0]->inputs[PRI_PRESSURE]);
    EXPECT_EQ(a.input_units[PRI_PRESSURE], find_unit(Q_PRESSURE, "psi"));
    const Part& hx = *a.parts[1];
    const Part& orig = *p->processes[0]->parts[1];
    EXPECT_EQ(hx.inputs[PI_OUTLET_TEMPERATURE], orig.inputs[PI_OUTLET_TEMPERATURE]);
    EXPECT_EQ(hx.output_units[PO_POWER], find_unit(Q_POWER, "BTU/h"));
    EXPECT_EQ(hx.state, PS_FINISHED);
    for (int i = 0; i <= 100; ++i) {
        EXPECT_EQ(hx.p[i], orig.p[i]);
        EXPECT_EQ(hx.h[i], orig.h[i]);
        EXPECT_EQ(hx.heat[i], orig.heat[i]);
    }
    for (int j = 0; j < NUM_PART_OUTPUTS; ++j) EXPECT_EQ(hx.outputs[j], orig.outputs[j]) << j;
    EXPECT_EQ(hx.x_out[19], orig.x_out[19]);
    EXPECT_EQ(hx.options[OPT_OUTLET_TEMPERATURE], 2);  // set again by the interface
    const Interface& itf = *q->interfaces[0];
    EXPECT_EQ(itf.options[IOPT_DOMINANT_SIDE], 2);
    // 12.345 K is reached by no number of degrees F: within a unit in the last place.
    EXPECT_NEAR(itf.inputs[II_MINIMUM_DELTA_TEMPERATURE], 12.345, 4e-15);
    EXPECT_EQ(itf.input_units[II_MINIMUM_DELTA_TEMPERATURE], 2);
    EXPECT_EQ(itf.outputs[IO_SPECIFIC_HEAT_FLUX_HOT], -123.456);
    const Graph& g = *q->graphs[1];
    EXPECT_EQ(g.name, "T-s of both");
    EXPECT_EQ(g.az_curves, 2);
    EXPECT_EQ(g.curve_style[1].dot_color, (Color{0, 65535, 1, 2}));
    EXPECT_EQ(g.y_axis.min_pos, 273.15 + 0.1);
    EXPECT_EQ(g.iso_style[ISO_ISOTHERM].selected[3], 0);
    EXPECT_EQ(g.iso_style[ISO_ISOTHERM].selected[4], 1);
    EXPECT_EQ(g.iso_style[ISO_ISOBAR].selected[iso_find(g.fluid->iso[ISO_ISOBAR], 22.064e3)], 1);
    // A block keyword inside a name is written as it is: the reader looks
    // for keywords before the first quote of a line only.
    EXPECT_NE(text.find("#END\"\n"), std::string::npos);
}

// "Pressure Ratio Out/In" names two rows: the compressor's ratio (row 1,
// above 1) and the turbine's third expansion choice (row 3, below 1). Each
// part keeps its choice and both values through a save and a reload, and
// the reloaded project expands and compresses by them.
TEST_F(Writer, SharedPressureRatioNameKeepsEachPartsRow) {
    Project* p = create_project();
    owned.push_back(p);
    current_project = p;
    Process* proc = create_process(0);
    proc->name = "Ratios";
    proc->fluid = fluids[FLUID_HELIUM];
    proc->inputs[PRI_TEMPERATURE] = 900;
    proc->inputs[PRI_PRESSURE] = 1000;
    proc->inputs[PRI_MASSFLOW] = 1;
    Part* turbine = create_part(TURBINE);
    Part* compressor = create_part(COMPRESSOR);
    insert_part(*proc, 1, turbine);
    insert_part(*proc, 2, compressor);
    for (int k = 1; k < proc->az_parts; ++k) {
        proc->parts[k]->prev_id[0] = proc->parts[k - 1]->id;
        proc->parts[k - 1]->next_id[0] = proc->parts[k]->id;
    }
    turbine->options[OPT_EXPANSION] = 2;  // "Ratio outlet to inlet"
    turbine->inputs[PI_PRESSURE_RATIO_OUT_IN_LT1] = 0.3;
    turbine->inputs[PI_PRESSURE_RATIO_OUT_IN] = 5;  // not offered to a turbine, kept all the same
    compressor->options[OPT_COMPRESSION] = 0;       // "Ratio Outlet to Inlet"
    compressor->inputs[PI_PRESSURE_RATIO_OUT_IN] = 2.5;
    compressor->inputs[PI_PRESSURE_RATIO_OUT_IN_LT1] = 0.7;
    append_process(*p, proc);

    const std::string text = round_trip(*p, false, false);
    // Both rows are written, in row order, each with its own value.
    const std::string t5 = "  Input Value \"Pressure Ratio Out/In\" = \"5 -\"\n";
    const std::string t03 = "  Input Value \"Pressure Ratio Out/In\" = \"0.3 -\"\n";
    ASSERT_NE(text.find(t5), std::string::npos) << text;
    EXPECT_LT(text.find(t5), text.find(t03));
    EXPECT_NE(text.find("  Option \"Expansion\" = \"Ratio outlet to inlet\"\n"), std::string::npos);
    EXPECT_NE(text.find("  Option \"Compression \" = \"Ratio Outlet to Inlet\"\n"),
              std::string::npos);

    Project* back = owned.back();
    ASSERT_NE(back, p);
    ASSERT_EQ(back->az_processes, 1);
    Process& bp = *back->processes[0];
    ASSERT_EQ(bp.az_parts, 4);
    const Part& t = *bp.parts[1];
    const Part& c = *bp.parts[2];
    ASSERT_EQ(t.type, TURBINE);
    ASSERT_EQ(c.type, COMPRESSOR);
    EXPECT_EQ(t.options[OPT_EXPANSION], 2);
    EXPECT_EQ(t.inputs[PI_PRESSURE_RATIO_OUT_IN_LT1], 0.3);
    EXPECT_EQ(t.inputs[PI_PRESSURE_RATIO_OUT_IN], 5.0);
    EXPECT_EQ(c.options[OPT_COMPRESSION], 0);
    EXPECT_EQ(c.inputs[PI_PRESSURE_RATIO_OUT_IN], 2.5);
    EXPECT_EQ(c.inputs[PI_PRESSURE_RATIO_OUT_IN_LT1], 0.7);

    // Calculated: 1000 kPa -> 300 kPa -> 750 kPa.
    current_project = back;
    current_fluid = nullptr;  // init_stoffe rewrote the fluids: set up again
    EXPECT_EQ(calcProject(*back), CS_FINISHED) << back->calc_log;
    EXPECT_NEAR(t.outputs[PO_OUTLET_PRESSURE], 300.0, 1e-9);
    EXPECT_NEAR(c.outputs[PO_OUTLET_PRESSURE], 750.0, 1e-9);
    current_fluid = nullptr;
}

TEST_F(Writer, WithoutResultsPartsComeBackNew) {
    Project* p = build_project();
    owned.push_back(p);
    std::string text = round_trip(*p, false, false);
    EXPECT_EQ(text.find("Results Step"), std::string::npos);
    EXPECT_EQ(text.find("#START Graph"), std::string::npos);
    const Part& hx = *owned.back()->processes[0]->parts[1];
    EXPECT_EQ(hx.state, PS_NEW);
    for (int j = 0; j < NUM_PART_OUTPUTS; ++j) EXPECT_EQ(hx.outputs[j], 0.0);
}

TEST_F(Writer, FluidBlockHasItsFixedForm) {
    auto f = std::make_unique<Fluid>();
    f->name = "Wet Gas";
    f->humidity_type = HT_RH_STANDARD;
    f->az_components = 2;
    f->comp_index[0] = 12;
    f->x[0] = 0.75;
    f->comp_index[1] = FLUID_WATER;
    f->x[1] = 0.25;
    f->ref_hum_T = 293.15;
    f->ref_hum_p = 101.325;
    f->ref_hum_rh = 0.6;
    f->ref_hum_liquid = 0;
    EXPECT_EQ(fluid_file_text(*f),
              "Fluid Definition File Version = 1.0\n\n"
              "#START Fluid Definition\n"
              " Fluid name = \"Wet Gas\"\n"
              " Az parts = \"2\"\n"
              " Fluid humidity type = \"2\"\n"
              " Component \"Nitrogen\" mol_proz \"0.75\" \n"
              " Component \"Water\" mol_proz \"0.25\" \n"
              " Relative Humidity T_ref = \"293.15\" p_ref = \"101.325\" humidity = \"0.6\" "
              "liquid_water= \"0\"\n"
              "#END Fluid definition\n");
    // Read back as a new fluid, then used by a process and written first.
    std::string error, warning;
    std::unique_ptr<Fluid> back =
        read_fluid(fluid_file_text(*f), error, warning, ReadOptions{false});
    ASSERT_NE(back, nullptr) << error;
    EXPECT_EQ(back->components, "nitrogen|water|");
    EXPECT_EQ(back->water_pos, 1);
    EXPECT_DOUBLE_EQ(back->ref_hum_rh, 0.6);
    Fluid* user = fluids.append(std::move(back));
    Project* p = build_project();
    owned.push_back(p);
    p->processes[1]->fluid = user;
    std::string text = round_trip(*p);
    EXPECT_LT(text.find("#START Fluid Definition"), text.find("#START Process"));
}

TEST_F(Writer, NumbersIgnoreTheLocale) {
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE", "nl_NL.UTF-8"};
    const char* set = nullptr;
    for (const char* n : names)
        if ((set = std::setlocale(LC_ALL, n)) != nullptr) break;
    if (set == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    Project* p = build_project();
    owned.push_back(p);
    std::string text = round_trip(*p);
    std::setlocale(LC_ALL, "C");
    EXPECT_NE(text.find("T= 300.14285714285717"), std::string::npos);
    EXPECT_EQ(text.find("300,"), std::string::npos);
}

}  // namespace

namespace {

// A failed calculation is written with its marks and without a value that
// is not a number; the file reads back with the failure, and unchanged.
TEST_F(Writer, FailedResultsAreMarkedAndFinite) {
    Project* p = read(slurp(testsupport::source_dir() + "/examples/helium_brayton.kvr"));
    ASSERT_NE(p, nullptr);
    p->calc_status = CS_FAILED;
    Process& proc = *p->processes[0];
    proc.parts[0]->state = PS_FINISHED;
    proc.parts[1]->state = PS_FINISHED;
    Part& bad = *proc.parts[2];
    bad.state = PS_FAILED;
    bad.failure_text = "Heater:\n  Results Step 7 T= 1 was reached\n";
    bad.T[0] = 400;
    bad.T[5] = std::nan("");
    bad.h[0] = -INFINITY;
    bad.outputs[PO_POWER] = INFINITY;
    bad.outputs[PO_INLET_TEMPERATURE] = 400;
    proc.parts[3]->T[2] = std::nan("");
    const std::string text = project_text(*p, true, true);
    for (const char* word : {"nan", "inf"}) EXPECT_EQ(text.find(word), std::string::npos) << word;
    EXPECT_NE(text.find("Calculation Status = \"failed\""), std::string::npos);
    EXPECT_NE(text.find("  Part State = \"failed\"\n  Failure = \"Heater: Results Step 7 T= "),
              std::string::npos);
    EXPECT_NE(text.find("  Part State = \"not calculated\""), std::string::npos);
    const Project& back = *read(text);
    // Once written, the file is stable.
    const std::string again = project_text(back, true, true);
    EXPECT_EQ(project_text(*read(again), true, true), again);
    EXPECT_EQ(back.calc_status, CS_FAILED);
    const Process& bp = *back.processes[0];
    EXPECT_EQ(bp.parts[1]->state, PS_FINISHED);
    EXPECT_EQ(bp.parts[2]->state, PS_FAILED);
    EXPECT_EQ(bp.parts[2]->failure_text, "Heater: Results Step 7 T= 1 was reached");
    EXPECT_EQ(bp.parts[2]->T[7], 0.0);
    EXPECT_EQ(bp.parts[2]->outputs[PO_INLET_TEMPERATURE], 400);
    EXPECT_EQ(bp.parts[3]->state, PS_NEW);
}

}  // namespace

namespace {

// Values that no number in their display unit stands for are written so
// that the file reads back with the very same value: an input whose
// neighbour lies far off or is refused by the reader, and any value beyond
// the double range in its unit, go into the quantity's own unit (1e-20 K
// was written "-273.15 °C", a file the reader refused; 1e307 kPa in Pa was
// written "0 Pa").
TEST_F(Writer, ValuesNoNumberInTheirUnitReachesAreKept) {
    struct Case {
        const char* what;
        double value;
        const char* unit;
        double& (*field)(Project&);
        int& (*unit_of)(Project&);
        int quantity;
    };
    const Case cases[] = {
        {"inlet temperature", 1e-20, "degc",
         [](Project& p) -> double& { return p.processes[0]->inputs[PRI_TEMPERATURE]; },
         [](Project& p) -> int& { return p.processes[0]->input_units[PRI_TEMPERATURE]; },
         Q_TEMPERATURE},
        {"inlet pressure", 1e307, "Pa",
         [](Project& p) -> double& { return p.processes[0]->inputs[PRI_PRESSURE]; },
         [](Project& p) -> int& { return p.processes[0]->input_units[PRI_PRESSURE]; }, Q_PRESSURE},
        {"outlet temperature", 1.7e308, "degf",
         [](Project& p) -> double& {
             return p.processes[0]->parts[1]->inputs[PI_OUTLET_TEMPERATURE];
         },
         [](Project& p) -> int& {
             return p.processes[0]->parts[1]->input_units[PI_OUTLET_TEMPERATURE];
         },
         Q_TEMPERATURE},
        {"second outlet's mass flow", 1e308, "t/h",
         [](Project& p) -> double& {
             return p.processes[0]->parts[1]->inputs[PI_ABSOLUTE_MASS_OUTLET2];
         },
         [](Project& p) -> int& {
             return p.processes[0]->parts[1]->input_units[PI_ABSOLUTE_MASS_OUTLET2];
         },
         Q_LEAKAGE},
        {"interface's initial temperature", 1e-6, "degc",
         [](Project& p) -> double& { return p.interfaces[0]->inputs[II_INITIAL_TEMPERATURE]; },
         [](Project& p) -> int& { return p.interfaces[0]->input_units[II_INITIAL_TEMPERATURE]; },
         Q_TEMPERATURE},
        {"power result", 1e308, "W",
         [](Project& p) -> double& { return p.processes[0]->parts[1]->outputs[PO_POWER]; },
         [](Project& p) -> int& { return p.processes[0]->parts[1]->output_units[PO_POWER]; },
         Q_POWER},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Project* p = build_project();
        owned.push_back(p);
        k.field(*p) = k.value;
        k.unit_of(*p) = find_unit(k.quantity, k.unit);
        ASSERT_GE(k.unit_of(*p), 0);
        Project* back = read(project_text(*p, true, true));
        ASSERT_NE(back, nullptr) << "the file written was refused";
        EXPECT_EQ(k.field(*back), k.value);
        round_trip(*back);  // and it is written the same from then on
    }
    // A value its unit does reach keeps its unit.
    Project* p = build_project();
    owned.push_back(p);
    p->processes[0]->inputs[PRI_TEMPERATURE] = 1e-6;
    p->processes[0]->input_units[PRI_TEMPERATURE] = find_unit(Q_TEMPERATURE, "K");
    round_trip(*p);
    EXPECT_EQ(owned.back()->processes[0]->input_units[PRI_TEMPERATURE],
              find_unit(Q_TEMPERATURE, "K"));
}

// The units chosen in the tree for the project totals, the process
// summaries and, in a file without results, the interface results come
// back (they came back as the defaults); a unit that is the default is
// not written.
TEST_F(Writer, UnitsOfResultsNotWrittenComeBack) {
    const int mw = find_unit(Q_POWER, "MW");
    const int percent = find_unit(Q_RELATIVE_VALUE, "%");
    const int degf = find_unit(Q_TEMPERATURE, "degf");
    ASSERT_GE(mw, 0);
    ASSERT_GE(percent, 0);
    ASSERT_GE(degf, 0);
    for (bool results : {true, false}) {
        SCOPED_TRACE(results ? "with results" : "without results");
        Project* p = build_project();
        owned.push_back(p);
        p->total_units[TOT_POWER] = mw;
        p->total_units[TOT_EFFICIENCY] = percent;
        p->processes[1]->output_units[PRO_POWER] = mw;
        p->interfaces[0]->output_units[IO_OUTLET_TEMPERATURE_COLD] = degf;
        const std::string text = round_trip(*p, true, results);
        const Project& back = *owned.back();
        EXPECT_EQ(back.total_units[TOT_POWER], mw);
        EXPECT_EQ(back.total_units[TOT_EFFICIENCY], percent);
        EXPECT_EQ(back.total_units[TOT_HEAT], p->total_units[TOT_HEAT]);
        EXPECT_EQ(back.processes[1]->output_units[PRO_POWER], mw);
        EXPECT_EQ(back.processes[0]->output_units[PRO_POWER],
                  p->processes[0]->output_units[PRO_POWER]);
        EXPECT_EQ(back.interfaces[0]->output_units[IO_OUTLET_TEMPERATURE_COLD], degf);
        EXPECT_EQ(text.find("Output Unit \"Heat\""), std::string::npos);
    }
}

// A diagram shows the wetness lines the user kept, and only those, after a
// save and a reload (all nine defaults came back).
TEST_F(Writer, WetnessLinesKeepTheirSelection) {
    Project* p = build_project();
    owned.push_back(p);
    Graph& g = *p->graphs[1];
    std::vector<int>& marks = g.iso_style[ISO_WETNESS].selected;
    const int n = iso_count(g.fluid->iso[ISO_WETNESS]);
    ASSERT_GE(n, 3);
    marks.assign(n, 0);
    marks[1] = 1;
    marks[n - 1] = 1;
    round_trip(*p);
    const Graph& back = *owned.back()->graphs[1];
    const std::vector<int>& kept = back.iso_style[ISO_WETNESS].selected;
    for (int i = 0; i < n; ++i)
        EXPECT_EQ(i < static_cast<int>(kept.size()) && kept[i] == 1, marks[i] == 1) << i;
}

// A diagram showing more isobars than one "Positions" line holds shows
// them all again (163 came back as 98).
TEST_F(Writer, DiagramsShowingManyLinesKeepThemAll) {
    Project* p = build_project();
    owned.push_back(p);
    Graph& g = *p->graphs[1];
    IsoFamily& isobars = g.fluid->iso[ISO_ISOBAR];
    for (int k = 0; k < 150; ++k) iso_add_position(isobars, 1001.25 + k * 7.5);
    const int n = iso_count(isobars);
    ASSERT_GT(n, ISO_POSITIONS_PER_LINE);
    g.iso_style[ISO_ISOBAR].selected.assign(n, 1);
    const std::string text = round_trip(*p);
    const Graph& back = *owned.back()->graphs[1];
    int shown = 0;
    for (int i = 0; i < iso_count(back.fluid->iso[ISO_ISOBAR]); ++i)
        shown += i < static_cast<int>(back.iso_style[ISO_ISOBAR].selected.size()) &&
                 back.iso_style[ISO_ISOBAR].selected[i] == 1;
    EXPECT_EQ(shown, n);
}

// A project of the format older than 2.0 keeps its parts' steps, linear
// segmentation and pipeline length factors through a save and a reload, and
// calculates the same (without the factor a pipeline passed its stream
// through unchanged); files without such parts carry none of these lines.
TEST_F(Writer, OlderFilesKeepTheirStepSettings) {
    const std::string old =
        slurp(testsupport::source_dir() + "/tests/app/core/files/old_pipelines.kvr");
    std::string error;
    // The states along the parts of a calculation of the text.
    auto calculated = [&](const std::string& text) {
        fluids.truncate(NUM_BUILTIN_FLUIDS);
        current_fluid = nullptr;  // as batch mode starts each file
        init_stoffe();
        std::vector<double> states;
        Project* q = read_project_text(text, "old.kvr", error);
        EXPECT_NE(q, nullptr) << error;
        if (q == nullptr) return states;
        owned.push_back(q);
        EXPECT_EQ(calcProject(*q), CS_FINISHED);
        const Process& process = *q->processes[0];
        for (int k = 1; k < process.az_parts; ++k) {
            const Part& part = *process.parts[k];
            for (int i = 0; i <= part.steps; ++i)
                states.insert(states.end(), {part.T[i], part.p[i], part.h[i]});
        }
        return states;
    };
    const std::vector<double> before = calculated(old);
    Project* read_old = read_project_text(old, "old.kvr", error, ReadOptions{false});
    ASSERT_NE(read_old, nullptr) << error;
    owned.push_back(read_old);
    const Part& pipe = *read_old->processes[0]->parts[1];
    ASSERT_EQ(pipe.type, PIPELINE);
    ASSERT_EQ(pipe.steps, 10);
    ASSERT_EQ(pipe.old_value, 2.0);
    const std::string saved = round_trip(*read_old, true, false);
    const Part& back = *owned.back()->processes[0]->parts[1];
    EXPECT_EQ(back.steps, pipe.steps);
    EXPECT_EQ(back.segmentation, pipe.segmentation);
    EXPECT_EQ(back.old_value, pipe.old_value);
    EXPECT_TRUE(calculated(saved) == before) << "the saved project calculates otherwise";

    for (const auto& entry :
         std::filesystem::directory_iterator(testsupport::source_dir() + "/examples")) {
        if (entry.path().extension() != ".kvr") continue;
        const std::string text = slurp(entry.path().string());
        for (const char* key : {STEPS_KEY, SEGMENTATION_KEY, LENGTH_FACTOR_KEY})
            EXPECT_EQ(project_text(*read(text), true, true).find(key), std::string::npos)
                << entry.path() << " " << key;
    }
}

}  // namespace
