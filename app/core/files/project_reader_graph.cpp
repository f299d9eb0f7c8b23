// Diagram blocks of project files: the diagram, its process curves, its
// isoline families and its two axes.
#include "app/core/files/filehandling_scan.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"

#include <algorithm>
#include <memory>

namespace app::filescan {

namespace {

// Positions of one isoline family of a fluid, however many diagrams add.
constexpr int MAX_ISO_POSITIONS = 200;

struct GraphDeleter {
    void operator()(Graph* p) const { free_graph(p); }
};
using GraphPtr = std::unique_ptr<Graph, GraphDeleter>;

// The x and y axis of a diagram type from its fluid's default axes.
void init_axes_from_fluid(Graph& graph) {
    if (graph.fluid == nullptr) return;
    const auto& ax = graph.fluid->axis;
    switch (graph.type) {
        case 0:
            graph.x_axis = ax[AX_S];
            graph.y_axis = ax[AX_H];
            break;
        case 1:
            graph.x_axis = ax[AX_S];
            graph.y_axis = ax[AX_P];
            break;
        case 2:
            graph.x_axis = ax[AX_S];
            graph.y_axis = ax[AX_T];
            break;
        case 3:
            graph.x_axis = ax[AX_H];
            graph.y_axis = ax[AX_P];
            break;
        case 4:
            graph.x_axis = ax[AX_T];
            graph.y_axis = ax[AX_P];
            break;
        default:
            // The heat-flow-temperature diagram: the relative heat (0 to 1)
            // transferred, as its diagram is made in the window.
            set_axis_defaults(graph.x_axis);
            graph.x_axis.quantity = AX_HEAT_FLOW;
            graph.x_axis.unit_quantity = Q_RELATIVE_VALUE;
            graph.x_axis.unit = 0;
            graph.x_axis.label = "Relative Transferred Heat";
            graph.y_axis = ax[AX_T];
            break;
    }
}

void read_curve(Lines& lines_, Project& project_, Graph& graph) {
    if (graph.az_curves >= MAX_CURVES)
        fail(lines_, "more than " + std::to_string(MAX_CURVES) + " curves in one diagram");
    Process* process = nullptr;
    CurveStyle st;
    std::string_view line;
    while (lines_.next(line)) {
        if (is_end_line(line)) {
            // A curve of a process that is not there is left out.
            if (process != nullptr) append_curve(graph, process, st);
            return;
        }
        auto t = split(line);
        std::string_view key = t[0], v = token(t, 1);
        if (contains(key, "Process ID")) {
            int id = 0;
            process = nullptr;
            if (parse_int(v, id))
                for (int i = 0; i < project_.az_processes; ++i)
                    if (project_.processes[sz(i)]->id == id) process = project_.processes[sz(i)];
        } else if (contains(key, "Line style")) {
            read_int_clamped(v, st.line_style, 0, 9);
        } else if (contains(key, "Line width")) {
            read_double_clamped(v, st.line_width, 0.0, 100.0);
        } else if (contains(key, "Line color")) {
            read_color(v, st.line_color);
        } else if (contains(key, "Dot style")) {
            read_int_clamped(v, st.dot_style, 0, 10);
        } else if (contains(key, "Dot size")) {
            read_int_clamped(v, st.dot_size, 0, 1000);
        } else if (contains(key, "Dot color")) {
            read_color(v, st.dot_color);
        } else if (contains(key, "Dot small style")) {
            read_int_clamped(v, st.small_dot_style, 0, 10);
        } else if (contains(key, "Dot small size")) {
            read_int_clamped(v, st.small_dot_size, 0, 1000);
        } else if (contains(key, "Dot small color")) {
            read_color(v, st.small_dot_color);
        }
    }
    fail(lines_, "the curve block has no end");
}

void read_iso_info(Lines& lines_, Graph& graph, int family) {
    static constexpr int QUANTITY[NUM_ISO_FAMILIES] = {Q_PRESSURE, Q_TEMPERATURE, Q_DENSITY,
                                                       Q_RELATIVE_VALUE};
    IsolineStyle& st = graph.iso_style[sz(family)];
    Fluid* fluid = graph.fluid;
    if (fluid != nullptr && family != ISO_WETNESS)
        st.selected.assign(sz(iso_count(fluid->iso[sz(family)])), 0);
    // The wetness lines keep their marks until the block names its lines:
    // its "Positions" line lists the lines shown, and the others are hidden
    // (a diagram that showed 0.2 and 0.8 only came back with all nine).
    bool positions_read = false;
    std::string_view line;
    while (lines_.next(line)) {
        if (is_end_line(line)) return;
        auto t = split(line);
        std::string_view key = t[0], v = token(t, 1);
        if (contains(key, "Show")) {
            read_int_clamped(v, st.show, 0, 1);
        } else if (contains(key, "Linewidth")) {
            read_double_clamped(v, st.width, 0.0, 100.0);
        } else if (contains(key, "color")) {
            read_color(v, st.color);
        } else if (contains(key, "Font")) {
            st.font = std::string(v);
        } else if (contains(key, "Unit")) {
            int u = 0;
            if (parse_int(v, u) && valid_unit(QUANTITY[family], u)) st.unit = u;
        } else if (contains(key, "Positions") && fluid != nullptr) {
            IsoFamily& fam = fluid->iso[sz(family)];
            if (family == ISO_WETNESS && !positions_read) st.selected.assign(sz(iso_count(fam)), 0);
            positions_read = true;
            for (std::size_t k = 1; k < t.size() && k < 2 * ISO_POSITIONS_PER_LINE; k += 2) {
                double value = 0.0;
                // The list ends at its first negative entry: only
                // positive positions can be kept.
                if (!parse_number(t[k], value) || !(value > 0.0)) continue;
                int i = iso_find(fam, value);
                if (i < 0) {
                    if (iso_count(fam) >= MAX_ISO_POSITIONS) continue;
                    i = iso_add_position(fam, value);
                }
                if (st.selected.size() <= sz(i)) st.selected.resize(sz(i) + 1, 0);
                st.selected[sz(i)] = 1;
            }
        }
    }
    fail(lines_, "the isoline block has no end");
}

void read_axis(Lines& lines_, Axis& a) {
    std::string_view line;
    while (lines_.next(line)) {
        if (is_end_line(line)) return;
        auto t = split(line);
        std::string_view key = t[0], v = token(t, 1);
        double d = 0.0;
        if (contains(key, "Axis Label")) {
            a.label = std::string(v.substr(0, AXIS_LABEL_MAX));
        } else if (contains(key, "Max Pos")) {
            if (parse_number(v, d)) a.max_pos = d;
        } else if (contains(key, "Min Pos")) {
            if (parse_number(v, d)) a.min_pos = d;
        } else if (contains(key, "Min Value")) {
            if (parse_number(v, d)) a.min_value = d;
        } else if (contains(key, "Max Value")) {
            if (parse_number(v, d)) a.max_value = d;
        } else if (contains(key, "Step")) {
            if (parse_number(v, d)) a.step = d;
        } else if (contains(key, "Used Unit num")) {
            int u = 0;
            if (parse_int(v, u) && valid_unit(a.unit_quantity, u)) a.unit = u;
        } else if (contains(key, "Label font")) {
            a.label_font = std::string(v);
        } else if (contains(key, "Label color")) {
            read_color(v, a.label_color);
        } else if (contains(key, "Digits")) {
            read_int_clamped(v, a.digits, 0, 15);
        } else if (contains(key, "Line width")) {
            read_double_clamped(v, a.line_width, 0.0, 100.0);
        } else if (contains(key, "Line color")) {
            read_color(v, a.line_color);
        } else if (contains(key, "Arrow size")) {
            read_int_clamped(v, a.arrow_size, 0, 1000);
        } else if (contains(key, "Tick width")) {
            read_int_clamped(v, a.tick_width, 0, 1000);
        } else if (contains(key, "Tick font")) {
            a.tick_font = std::string(v);
        } else if (contains(key, "Tick label color")) {
            read_color(v, a.tick_label_color);
        } else if (contains(key, "Tick length")) {
            read_int_clamped(v, a.tick_length, 0, 1000);
        } else if (contains(key, "Tick color")) {
            read_color(v, a.tick_color);
        } else if (contains(key, "Grid width")) {
            read_double_clamped(v, a.grid_width, 0.0, 100.0);
        } else if (contains(key, "Grid color")) {
            read_color(v, a.grid_color);
        }
    }
    fail(lines_, "the axis block has no end");
}

}  // namespace

void read_graph_block(Lines& lines_, Project& project_) {
    GraphPtr graph(create_graph());
    graph->kind = GK_DIAGRAM;
    graph->project = &project_;
    std::string_view line;
    bool closed = false;
    while (lines_.next(line)) {
        auto t = split(line);
        std::string_view key = t[0];
        if (contains(key, "#END")) {
            closed = true;
            break;
        }
        if (contains(key, "Name")) {
            graph->name = std::string(token(t, 1));
        } else if (contains(key, "Type")) {
            int type = 0;
            if (!parse_int(token(t, 1), type) || type < 0 || type > 5)
                fail(lines_, "diagram type " + quoted(token(t, 1)) + " is not 0 to 5");
            graph->type = type;
        } else if (contains(key, "Fluid")) {
            graph->fluid = find_fluid_exact(lines_.number(), token(t, 1), "diagram fluid");
            init_iso_settings(*graph);
            init_axes_from_fluid(*graph);
        } else if (contains(key, "Interface ID")) {
            int id = 0;
            graph->interface = nullptr;
            if (parse_int(token(t, 1), id))
                for (int i = 0; i < project_.az_interfaces; ++i)
                    if (project_.interfaces[sz(i)]->id == id)
                        graph->interface = project_.interfaces[sz(i)];
        } else if (contains(key, "#START Process")) {
            read_curve(lines_, project_, *graph);
        } else if (contains(key, "#START Isobar")) {
            read_iso_info(lines_, *graph, ISO_ISOBAR);
        } else if (contains(key, "#START Isotherm")) {
            read_iso_info(lines_, *graph, ISO_ISOTHERM);
        } else if (contains(key, "#START Isochor")) {
            read_iso_info(lines_, *graph, ISO_ISOCHOR);
        } else if (contains(key, "#START Wetness")) {
            read_iso_info(lines_, *graph, ISO_WETNESS);
        } else if (contains(key, "#START X-AXIS")) {
            read_axis(lines_, graph->x_axis);
        } else if (contains(key, "#START Y-AXIS")) {
            read_axis(lines_, graph->y_axis);
        }
    }
    if (!closed) fail(lines_, "the diagram block has no end");
    if (graph->fluid == nullptr) {
        graph->fluid = fluids[0];
        init_iso_settings(*graph);
        init_axes_from_fluid(*graph);
    }
    if (append_graph(project_, graph.get()) < 0)
        fail(lines_, "more than " + std::to_string(MAX_GRAPHS - 1) + " diagrams");
    graph.release();
}

}  // namespace app::filescan
