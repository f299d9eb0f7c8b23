#include "app/core/model/create_delete.h"

#include "app/core/model/init.h"
#include "app/core/model/units.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace app;

class Records : public ::testing::Test {
protected:
    void SetUp() override {
        initstuff();
        init_stoffe();
        project = create_project();
        current_project = project;
    }
    void TearDown() override {
        free_project(project);  // clears current_project (checked by the leak run)
        current_project = nullptr;
    }
    Project* project = nullptr;
};

TEST_F(Records, NewProjectDefaults) {
    EXPECT_EQ(project->part_table.size(), static_cast<size_t>(PART_TABLE_START));
    EXPECT_EQ(project->current_part, -1);
    EXPECT_EQ(project->current_process, -1);
    EXPECT_EQ(project->current_interface, -1);
    EXPECT_EQ(project->az_processes, 0);
    EXPECT_EQ(project->az_graphs, 0);
    EXPECT_EQ(project->graphs[0], nullptr);
    EXPECT_TRUE(project->filename.empty());
    EXPECT_TRUE(project->calc_log.empty());
    for (int i = 0; i < NUM_PROJECT_OUTPUTS; ++i) {
        EXPECT_EQ(project->totals[i], 0.0);
        EXPECT_EQ(project->total_units[i],
                  unitdef[project_output_values_def[i].quantity].default_unit);
    }
}

TEST_F(Records, FirstProcessesAndTheirParts) {
    Process* p1 = create_process(0);
    ASSERT_EQ(p1->az_parts, 2);
    Part* inlet = p1->parts[0];
    Part* outlet = p1->parts[1];
    EXPECT_EQ(inlet->type, INLET);
    EXPECT_EQ(inlet->name, "Inlet");
    EXPECT_EQ(inlet->id, 1);
    EXPECT_EQ(outlet->type, OUTLET);
    EXPECT_EQ(outlet->name, "Outlet 1");
    EXPECT_EQ(outlet->id, 2);
    EXPECT_EQ(inlet->next_id[0], 2);
    EXPECT_EQ(outlet->prev_id[0], 1);
    EXPECT_EQ(inlet->prev_id[0], 0);
    EXPECT_EQ(outlet->next_id[0], 0);
    EXPECT_EQ(part_by_id(project, 1), inlet);
    EXPECT_EQ(part_by_id(project, 2), outlet);
    EXPECT_EQ(new_part_id, 2);
    EXPECT_EQ(p1->fluid, fluids[1]);
    EXPECT_EQ(p1->fluid->name, "Dry ISO Air");
    EXPECT_DOUBLE_EQ(p1->inputs[PRI_TEMPERATURE], 288.15);
    EXPECT_DOUBLE_EQ(p1->inputs[PRI_PRESSURE], 101.325);
    EXPECT_DOUBLE_EQ(p1->inputs[PRI_MASSFLOW], 100);
    EXPECT_DOUBLE_EQ(p1->inputs[PRI_HUMIDITY], 0);
    EXPECT_EQ(p1->input_units[PRI_PRESSURE], unitdef[Q_PRESSURE].default_unit);
    EXPECT_TRUE(p1->name.empty());
    ASSERT_EQ(append_process(*project, p1), 0);

    Process* p2 = create_process(0);
    EXPECT_EQ(p2->id, p1->id + 1);
    EXPECT_EQ(p2->parts[0]->name, "Inlet");
    EXPECT_EQ(p2->parts[1]->name, "Outlet 2");
    EXPECT_EQ(p2->parts[0]->id, 3);
    EXPECT_EQ(p2->parts[1]->id, 4);
    ASSERT_EQ(append_process(*project, p2), 1);

    Process* empty = create_process(1);
    EXPECT_EQ(empty->az_parts, 0);
    EXPECT_EQ(empty->parts[0], nullptr);
    free_process(empty);
}

TEST_F(Records, NewPartDefaults) {
    Part* c = create_part(COMPRESSOR);
    Part* c2 = create_part(COMPRESSOR);
    Part* m = create_part(MIXER);
    Part* s = create_part(SPLITTER);
    Part* b = create_part(COMBUSTOR);
    Part* o = create_part(OXYGEN_INJECTION_COMBUSTOR);
    EXPECT_EQ(c->name, "Compressor 1");
    EXPECT_EQ(c2->name, "Compressor 2");
    EXPECT_EQ(m->name, "Mixer 1");
    EXPECT_EQ(o->name, "Oxygen Injection Combustor 1");
    EXPECT_EQ(c->icon, "My_compressor");
    EXPECT_EQ(c->part_type, &part_types[COMPRESSOR]);
    EXPECT_EQ(c->state, PS_NEW);
    EXPECT_EQ(c->steps, 100);
    EXPECT_EQ(m->steps, 3);
    EXPECT_EQ(s->steps, 3);
    EXPECT_EQ(b->steps, 1);
    EXPECT_EQ(o->steps, 1);
    EXPECT_EQ(c->segmentation, 1);
    EXPECT_EQ(c->fluid, nullptr);
    EXPECT_EQ(c->fuel, fluids[FLUID_METHANE]);
    EXPECT_EQ(c->oxidizer, fluids[FLUID_OXYGEN]);
    for (int i = 0; i < NUM_PART_OPTIONS; ++i)
        EXPECT_EQ(c->options[i], (i == OPT_EFFICIENCY || i == OPT_CALCULATION_MODE) ? 1 : 0);
    EXPECT_DOUBLE_EQ(c->inputs[PI_OUTLET_PRESSURE], 101.325);
    EXPECT_DOUBLE_EQ(c->inputs[PI_PRESSURE_RATIO_OUT_IN_LT1], 0.5);
    EXPECT_DOUBLE_EQ(c->inputs[PI_OUTLET_TEMPERATURE], 293.15);
    EXPECT_EQ(c->outputs[PO_POWER], 0.0);
    EXPECT_TRUE(c->failure_text.empty());
    for (Part* p : {c, c2, m, s, b, o}) free_part(p);
}

TEST_F(Records, UnitsFollowTheDefaultsAtCreation) {
    int old = unitdef[Q_PRESSURE].default_unit;
    set_default_unit(Q_PRESSURE, 4);  // MPa
    Part* p = create_part(PUMP);
    Interface* itf = create_interface();
    set_default_unit(Q_PRESSURE, old);
    EXPECT_EQ(p->input_units[PI_OUTLET_PRESSURE], 4);
    EXPECT_EQ(p->output_units[PO_INLET_PRESSURE], 4);
    EXPECT_EQ(p->input_units[PI_OUTLET_TEMPERATURE], unitdef[Q_TEMPERATURE].default_unit);
    Part* later = create_part(PUMP);
    EXPECT_EQ(later->input_units[PI_OUTLET_PRESSURE], old);
    free_part(p);
    free_part(later);
    free_interface(itf);
}

TEST_F(Records, IdsFillHoles) {
    Part* parts[6] = {};
    for (int i = 1; i <= 5; ++i) {
        parts[i] = create_part(HEAT_EXCHANGER);
        EXPECT_EQ(parts[i]->id, i);
    }
    free_part(parts[3]);
    EXPECT_EQ(part_by_id(project, 3), nullptr);
    Part* again = create_part(PIPELINE);
    EXPECT_EQ(again->id, 3);
    EXPECT_EQ(part_by_id(project, 3), again);
    Part* next = create_part(PIPELINE);
    EXPECT_EQ(next->id, 6);
    for (int i : {1, 2, 4, 5}) free_part(parts[i]);
    free_part(again);
    free_part(next);
}

TEST_F(Records, PartTableGrowsByDoubling) {
    Part* a = create_part(PUMP);
    Part* far = create_part(PLACEHOLDER_PART);
    EXPECT_EQ(store_part_pointer(far, 25000), 0);
    EXPECT_EQ(project->part_table.size(), 40000u);
    EXPECT_EQ(part_by_id(project, 1), a);
    EXPECT_EQ(part_by_id(project, 25000), far);
    EXPECT_EQ(part_by_id(project, 39999), nullptr);
    EXPECT_EQ(part_by_id(project, 40000), nullptr);
    // Ids the table refuses: none, negative, absurdly large.
    EXPECT_EQ(store_part_pointer(far, 0), -1);
    EXPECT_EQ(store_part_pointer(far, -7), -1);
    EXPECT_EQ(store_part_pointer(far, MAX_PART_ID + 1), -1);
    EXPECT_EQ(project->part_table.size(), 40000u);
    EXPECT_EQ(part_by_id(nullptr, 1), nullptr);
    EXPECT_EQ(part_by_id(project, -1), nullptr);
    far->id = 25000;
    free_part(far);
    EXPECT_EQ(part_by_id(project, 25000), nullptr);
    free_part(a);
}

TEST_F(Records, PlaceholderPartHasNoIdNorName) {
    Part* p = create_part(PLACEHOLDER_PART);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->id, 0);
    EXPECT_TRUE(p->name.empty());
    EXPECT_EQ(p->part_type, nullptr);
    EXPECT_EQ(p->state, PS_NEW);
    EXPECT_EQ(p->steps, 100);
    EXPECT_EQ(part_by_id(project, 1), nullptr);
    for (int n : project->name_counters) EXPECT_EQ(n, 0);
    Part* c = create_part(COMPRESSOR);
    EXPECT_EQ(c->id, 1);
    EXPECT_EQ(create_part(17), nullptr);
    EXPECT_EQ(create_part(-1), nullptr);
    free_part(p);
    free_part(c);
}

TEST_F(Records, PartWithoutProjectGetsNoId) {
    current_project = nullptr;
    Part* p = create_part(TURBINE);
    EXPECT_EQ(p->id, 0);
    EXPECT_EQ(p->name, "Turbine");
    free_part(p);
    current_project = project;
}

TEST_F(Records, InterfacesAreNumberedAcrossProjects) {
    interface_name_counter = 1;
    int id0 = new_interface_id;
    Interface* a = create_interface();
    EXPECT_EQ(a->name, "Interface 1");
    EXPECT_EQ(a->id, id0);
    EXPECT_EQ(a->status, IS_PENDING);
    EXPECT_EQ(a->az_shown_inputs, 4);
    EXPECT_EQ(a->shown_inputs[0], 0);
    EXPECT_EQ(a->shown_inputs[1], 6);
    EXPECT_EQ(a->shown_inputs[2], 4);
    EXPECT_EQ(a->shown_inputs[3], 5);
    EXPECT_EQ(a->grid_row, -1);
    const double defaults[] = {-100, 293.15, 293.15, 1, 1, 10, 0, 293.15, 100};
    for (int i = 0; i < NUM_INTERFACE_INPUTS; ++i) EXPECT_DOUBLE_EQ(a->inputs[i], defaults[i]);
    for (int o : a->options) EXPECT_EQ(o, 0);
    ASSERT_EQ(append_interface(*project, a), 0);

    Project* second = create_project();
    current_project = second;
    Interface* b = create_interface();
    EXPECT_EQ(b->name, "Interface 2");
    EXPECT_EQ(b->id, id0 + 1);
    append_interface(*second, b);
    free_project(second);
    EXPECT_EQ(current_project, nullptr);
    current_project = project;
}

TEST_F(Records, GraphDefaults) {
    Graph* g = create_graph();
    EXPECT_DOUBLE_EQ(g->font_scale, 1.0);
    EXPECT_EQ(g->hover_process, -1);
    EXPECT_EQ(g->hover_part, -1);
    EXPECT_EQ(g->cell_size, 32);
    EXPECT_DOUBLE_EQ(g->symbol_zoom, 1.0);
    EXPECT_EQ(g->show_tp, 1);
    EXPECT_EQ(g->show_cross1, 0);
    EXPECT_EQ(g->show_inputs, 1);
    EXPECT_EQ(g->show_names, 1);
    EXPECT_EQ(g->az_curves, 0);
    EXPECT_EQ(g->iso_style[ISO_ISOBAR].color, (Color{0, 0, 0, 0xFFFF}));
    EXPECT_EQ(g->iso_style[ISO_ISOTHERM].color, (Color{0, 0, 0x9999, 0x9999}));
    EXPECT_EQ(g->iso_style[ISO_ISOCHOR].color, (Color{0, 0x9999, 0, 0x9999}));
    EXPECT_EQ(g->iso_style[ISO_WETNESS].color, (Color{0, 0xFFFF, 0, 0}));
    EXPECT_EQ(g->iso_style[ISO_ISOBAR].unit, unitdef[Q_PRESSURE].default_unit);
    EXPECT_EQ(g->iso_style[ISO_WETNESS].unit, unitdef[Q_RELATIVE_VALUE].default_unit);
    for (const IsolineStyle& st : g->iso_style) {
        EXPECT_DOUBLE_EQ(st.width, 0.5);
        EXPECT_EQ(st.show, 1);
        EXPECT_EQ(st.font, "sans medium 8");
    }
    EXPECT_EQ(g->sat_color, (Color{0, 0xFFFF, 0, 0}));
    EXPECT_DOUBLE_EQ(g->sat_width, 1.5);
    // A reset brings changed styles back.
    g->iso_style[ISO_ISOTHERM].width = 4;
    g->iso_style[ISO_ISOTHERM].show = 0;
    graph_set_default_settings(*g);
    EXPECT_DOUBLE_EQ(g->iso_style[ISO_ISOTHERM].width, 0.5);
    EXPECT_EQ(g->iso_style[ISO_ISOTHERM].show, 1);
    free_graph(g);
}

// The fixed arrays are never filled past their end.
TEST_F(Records, CapacitiesAreKept) {
    for (int i = 0; i < MAX_PROCESSES; ++i)
        ASSERT_EQ(append_process(*project, create_process(1)), i);
    Process* extra = create_process(1);
    EXPECT_EQ(append_process(*project, extra), -1);
    free_process(extra);

    for (int i = 0; i < MAX_INTERFACES; ++i)
        ASSERT_EQ(append_interface(*project, create_interface()), i);
    Interface* itf = create_interface();
    EXPECT_EQ(append_interface(*project, itf), -1);
    free_interface(itf);

    project->graphs[0] = create_graph();  // the flowsheet
    project->az_graphs = 1;
    for (int i = 1; i < MAX_GRAPHS; ++i) ASSERT_EQ(append_graph(*project, create_graph()), i);
    Graph* g = create_graph();
    EXPECT_EQ(append_graph(*project, g), -1);
    EXPECT_EQ(project->az_graphs, MAX_GRAPHS);

    Process* proc = project->processes[0];
    for (int i = 0; i < MAX_CURVES; ++i) ASSERT_EQ(append_curve(*g, proc, CurveStyle{}), i);
    EXPECT_EQ(append_curve(*g, proc, CurveStyle{}), -1);
    EXPECT_EQ(append_curve(*project->graphs[1], nullptr, CurveStyle{}), -1);
    free_graph(g);

    for (int i = 0; i < MAX_PARTS; ++i) ASSERT_EQ(append_part(*proc, create_part(PIPELINE)), i);
    Part* over = create_part(PIPELINE);
    EXPECT_EQ(append_part(*proc, over), -1);
    EXPECT_EQ(insert_part(*proc, 0, over), -1);
    free_part(over);
    EXPECT_EQ(proc->parts[51]->name, "Pipeline 52");
}

TEST_F(Records, InsertAndRemoveParts) {
    Process* proc = create_process(0);
    append_process(*project, proc);
    Part* c = create_part(COMPRESSOR);
    EXPECT_EQ(insert_part(*proc, 1, c), 1);
    EXPECT_EQ(proc->az_parts, 3);
    EXPECT_EQ(proc->parts[0]->type, INLET);
    EXPECT_EQ(proc->parts[1], c);
    EXPECT_EQ(proc->parts[2]->type, OUTLET);
    EXPECT_EQ(insert_part(*proc, 5, c), -1);
    EXPECT_EQ(insert_part(*proc, -1, c), -1);
    EXPECT_EQ(remove_part(*proc, 1), c);
    EXPECT_EQ(proc->az_parts, 2);
    EXPECT_EQ(proc->parts[1]->type, OUTLET);
    EXPECT_EQ(proc->parts[2], nullptr);
    EXPECT_EQ(remove_part(*proc, 2), nullptr);
    free_part(c);
}

TEST_F(Records, FreeProjectReleasesEverythingAndForgetsIt) {
    Project* other = create_project();
    project_list[0] = project;
    project_list[1] = other;
    current_project = other;
    for (int i = 0; i < 3; ++i) {
        Process* p = create_process(0);
        insert_part(*p, 1, create_part(COMBUSTOR));
        append_process(*other, p);
    }
    append_interface(*other, create_interface());
    other->graphs[0] = create_graph();
    append_graph(*other, create_graph());
    free_project(other);  // everything it owns goes with it (the leak check sees the rest)
    EXPECT_EQ(current_project, nullptr);
    EXPECT_EQ(project_list[0], project);
    EXPECT_EQ(project_list[1], nullptr);
    project_list[0] = nullptr;
    current_project = project;

    static int calls = 0;
    on_project_freed = [] { ++calls; };
    free_project(create_project());
    on_project_freed = nullptr;
    EXPECT_EQ(calls, 1);
    free_project(nullptr);
}

TEST_F(Records, AtMostNineteenProjectsAreListed) {
    Project* open[MAX_PROJECTS] = {};
    for (int i = 0; i < MAX_PROJECTS - 1; ++i) {
        open[i] = create_project();
        ASSERT_EQ(project_list_add(open[i]), i);
    }
    open[MAX_PROJECTS - 1] = create_project();
    EXPECT_EQ(project_list_add(open[MAX_PROJECTS - 1]), -1);
    EXPECT_EQ(project_list.back(), nullptr);
    EXPECT_EQ(project_list_add(open[3]), -1);  // already listed
    EXPECT_TRUE(project_list_remove(open[3]));
    EXPECT_FALSE(project_list_remove(open[3]));
    EXPECT_EQ(project_list[3], open[4]);
    EXPECT_EQ(project_list[MAX_PROJECTS - 2], nullptr);
    free_project(open[3]);
    for (int i = 0; i < MAX_PROJECTS; ++i)
        if (i != 3) free_project(open[i]);
    for (Project* p : project_list) EXPECT_EQ(p, nullptr);
}

TEST_F(Records, LogsGrowAsNeeded) {
    std::string log;
    log_append(log, "first line\n");
    log_append(log, "second");
    EXPECT_EQ(log, "first line\nsecond");
    // Past the former fixed size nothing is dropped.
    std::string big(LOG_SIZE + 5, 'b');
    log_append(log, big);
    log_append(log, "newest\n");
    EXPECT_EQ(log.size(), 17 + LOG_SIZE + 5 + 7);
    EXPECT_EQ(log.rfind("first line\n", 0), 0u);
    EXPECT_EQ(log.substr(log.size() - 7), "newest\n");
}

}  // namespace
