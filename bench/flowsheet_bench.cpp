// The flowsheet of a full project (150 processes, each with a splitter,
// a mixer, a branch part and a heat exchanger; 10 interfaces between
// processes): its layout, and one drawing of the whole sheet and of a
// window-sized part of it (what one exposure draws).
#include <benchmark/benchmark.h>
#include <cairo.h>

#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/structure/interfaces.h"
#include "app/core/structure/structure.h"
#include "app/core/views/flowsheet.h"
#include "app/diagrams/flowsheet_draw.h"

#include <algorithm>
#include <optional>

namespace {

using namespace app;

Project* full_project() {
    static Project* project = nullptr;
    if (project != nullptr) return project;
    initstuff();
    init_stoffe();
    project = create_project();
    current_project = project;
    Graph* sheet = create_graph();
    sheet->kind = GK_FLOWSHEET;
    sheet->project = project;
    project->graphs[0] = sheet;
    StructureChoosers choosers;
    choosers.splitter_outlet = [] { return std::optional<int>(0); };
    choosers.mixer_position = [](const std::vector<std::string>&) { return std::optional<int>(0); };
    std::string refusal;
    std::vector<int> exchangers;
    for (int p = 0; p < MAX_PROCESSES; ++p) {
        add_new_process(*project, new_process_defaults(*project, fluids[FLUID_AIR]), refusal);
        project->current_process = p;
        project->current_part = 0;
        insert_splitter_mixer(*project, choosers);
        const int splitter = project->current_part;
        choosers.splitter_outlet = [] { return std::optional<int>(1); };
        insert_new_part(*project, PUMP, choosers);
        choosers.splitter_outlet = [] { return std::optional<int>(0); };
        project->current_part = splitter;
        insert_new_part(*project, HEAT_EXCHANGER, choosers);
        exchangers.push_back(project->current_part);
    }
    for (int k = 0; k < MAX_INTERFACES; ++k)
        create_interface_between(*project, 2 * k, exchangers[2 * k], 2 * k + 1,
                                 exchangers[2 * k + 1], refusal);
    return project;
}

void BM_LayoutFullProject(benchmark::State& state) {
    Project* project = full_project();
    for (auto _ : state) {
        layout_flowsheet(*project, *project->graphs[0]);
        benchmark::DoNotOptimize(project->graphs[0]->n_rows);
    }
    state.counters["rows"] = project->graphs[0]->n_rows;
}
BENCHMARK(BM_LayoutFullProject)->Unit(benchmark::kMillisecond);

// The whole sheet at half size (argument 0: an image holds no more than
// 32767 pixels a side), or a 1000 x 700 window of it at full size
// (argument 1).
void BM_DrawFullProject(benchmark::State& state) {
    Project* project = full_project();
    Graph& sheet = *project->graphs[0];
    layout_flowsheet(*project, sheet);
    const SheetSize size = sheet_size(sheet, 0, 0);
    sheet.sheet_width = size.width;
    sheet.sheet_height = size.height;
    const bool window = state.range(0) == 1;
    const double scale = window ? 1.0 : 0.5;
    const int w = window ? 1000 : static_cast<int>(size.width * scale);
    const int h = window ? 700 : std::min(32000, static_cast<int>(size.height * scale));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    for (auto _ : state) {
        cairo_t* cr = cairo_create(surface);
        if (window) cairo_translate(cr, 0, -size.height / 2);  // a window in the middle
        diagrams::draw_flowsheet(sheet, cr, scale);
        cairo_destroy(cr);
    }
    cairo_surface_destroy(surface);
    state.counters["sheet_height_px"] = size.height;
}
BENCHMARK(BM_DrawFullProject)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
