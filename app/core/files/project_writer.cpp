// Writing project files and fluid-definition blocks.
#include "app/core/files/filehandling.h"

#include "app/core/files/file_replace.h"
#include "app/core/model/bounds.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/program/kvr.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace app {

int include_graphs = 1;
int include_results = 1;

namespace {

// Text that goes between double quotes: a quote would end the field early
// and a line break the line, so they are replaced. Block keywords ("#END")
// may stand in a field: the reader looks for them before the first quote.
std::string field(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '"')
            out += '\'';
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            out += ' ';
        else
            out += c;
    }
    return out;
}

std::string int_text(long long v) { return std::to_string(v); }

std::string color_text(const Color& c) {
    return int_text(c.red) + " " + int_text(c.green) + " " + int_text(c.blue);
}

// The shortest text of `shown` (a value in the unit) that converts back to
// exactly `internal`; empty when there is none.
std::string exact_text(double shown, double internal, int quantity, int unit) {
    char buf[64];
    for (int precision = 1; precision <= 17; ++precision) {
        auto [end, ec] =
            std::to_chars(buf, buf + sizeof buf, shown, std::chars_format::general, precision);
        if (ec != std::errc()) continue;
        double rounded = 0.0;
        auto [pend, pec] = std::from_chars(buf, end, rounded);
        if (pec != std::errc() || pend != end) continue;
        // Written in its shortest form: 100, not 1e+02.
        if (to_internal(quantity, unit, rounded) == internal) return number_text(rounded);
    }
    return std::string();
}

// How far (relative) the neighbouring value written for a value that no
// number in its unit reaches may lie from it: a few units in the last
// place. Further off it is written in the quantity's own unit: 1e-6 K shown
// in degrees C came back as 1.0000000827e-6 K, while 20 K in degrees C is at
// most 8 units in the last place (3.6e-15) away.
constexpr double NEIGHBOUR_TOLERANCE = 1e-12;

// The unit a quantity's values are kept in (factor 1, offset 0), or -1.
int own_unit(int quantity) {
    for (int u = 0; u < unit_count(quantity); ++u)
        if (to_display(quantity, u, 1.0) == 1.0 && to_display(quantity, u, 0.0) == 0.0) return u;
    return -1;
}

// The value in the unit, with the fewest digits that convert back to
// exactly the internal value, then a blank and the unit's symbol. A few
// values cannot be reached from any number in a unit with a factor (say
// 12.345 K as a difference in degrees F); they are written as the
// neighbouring value that can, which reads and writes again unchanged.
// An input (`input_row` given) whose neighbour lies further off
// (NEIGHBOUR_TOLERANCE) or is one the reader refuses (1e-20 K shown in
// degrees C reads back as -273.15 degrees C, 0 K), and any value beyond the
// double range in its unit (1e307 kPa in Pa, written "0" before), are
// written exactly in the quantity's own unit instead: the file keeps the
// value and only its display unit changes.
std::string value_text(double internal, int quantity, int unit,
                       const ValueDef* input_row = nullptr) {
    if (!valid_unit(quantity, unit)) unit = 0;
    const char* symbol = unit_symbol(quantity, unit);
    double shown = to_display(quantity, unit, internal);
    std::string number;
    if (std::isfinite(shown)) {
        number = exact_text(shown, internal, quantity, unit);
        const double near = to_internal(quantity, unit, shown);
        const bool near_taken =
            input_row == nullptr ||
            (std::fabs(near - internal) <= NEIGHBOUR_TOLERANCE * std::fabs(internal) &&
             bounds_problem(*input_row, near).empty());
        if (number.empty() && near_taken) number = exact_text(shown, near, quantity, unit);
    }
    if (number.empty() && std::isfinite(internal)) {
        if (const int own = own_unit(quantity); own >= 0)
            return number_text(internal) + " " + unit_symbol(quantity, own);
    }
    if (number.empty()) number = number_text(shown);
    return number + " " + symbol;
}

// An input value as value_text writes it, kept within the row's bounds.
std::string input_text(double internal, const ValueDef& row, int unit) {
    return value_text(internal, row.quantity, unit, &row);
}

// The result state of a part as the "Part State" line gives it.
const char* result_state(const Part& part) {
    switch (part.state) {
        case PS_FINISHED: return STATE_FINISHED;
        case PS_FAILED: return STATE_FAILED;
        case PS_PROVISIONAL: return part.final_flag != 0 ? STATE_FINISHED : STATE_PROVISIONAL;
        default:
            return part.type == INLET && part.state != PS_NEW ? STATE_FINISHED
                                                              : STATE_NOT_CALCULATED;
    }
}

// Every value of point i is a number.
bool finite_step(const Part& part, std::size_t i) {
    return std::isfinite(part.T[i]) && std::isfinite(part.p[i]) && std::isfinite(part.h[i]) &&
           std::isfinite(part.s[i]) && std::isfinite(part.rho[i]) && std::isfinite(part.q[i]) &&
           std::isfinite(part.heat[i]);
}

// A message as one field: lines joined, runs of blanks made one (a reader
// that looks for a key with two leading blanks anywhere in a line must not
// find one here).
std::string one_line(std::string_view text) {
    std::string out;
    for (char c : field(text)) {
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

void add(std::string& out, std::initializer_list<std::string_view> pieces) {
    for (std::string_view p : pieces) out += p;
    out += '\n';
}

// The "Output Unit" lines of the results in `units` (rows of `table`) whose
// unit is not their quantity's default: units the user chose in the tree
// for values the file does not hold (they came back as the defaults).
template <std::size_t N>
void write_output_units(std::string& out, const char* indent, const std::array<ValueDef, N>& table,
                        const std::array<int, N>& units) {
    for (std::size_t j = 0; j < N; ++j) {
        const int q = table[j].quantity;
        if (!valid_unit(q, units[j]) || units[j] == unitdef[sz(q)].default_unit) continue;
        add(out, {indent, OUTPUT_UNIT_KEY, " \"", table[j].name, "\" = \"",
                  unit_symbol(q, units[j]), "\""});
    }
}

// Index of a user fluid in `fluids` (beyond the built-in ones), or -1.
int user_index(const Fluid* fluid) {
    int i = fluids.index_of(fluid);
    return i >= NUM_BUILTIN_FLUIDS ? i : -1;
}

// Collects a user fluid and, before it, the user fluids it is made of.
void collect_fluid(const Fluid* fluid, std::vector<const Fluid*>& out, int depth = 0) {
    if (fluid == nullptr || user_index(fluid) < 0 || depth > 4) return;
    for (const Fluid* f : out)
        if (f == fluid) return;
    for (int c = 0; c < fluid->az_components && c < MAX_COMPONENTS; ++c)
        collect_fluid(fluids[fluid->comp_index[sz(c)]], out, depth + 1);
    out.push_back(fluid);
}

void write_inlet(std::string& out, const Process& process) {
    add(out, {"#START Inlet Conditions"});
    if (process.fluid != nullptr) add(out, {"  Fluid = \"", field(process.fluid->name), "\""});
    for (int k = 0; k < NUM_PROCESS_INPUTS; ++k) {
        const ValueDef& row = process_input_values_def[sz(k)];
        add(out, {"  ", row.name, " = \"",
                  input_text(process.inputs[sz(k)], row, process.input_units[sz(k)]), "\""});
    }
    add(out, {"#END"});
}

// What a part read from a file older than 2.0 carries beyond a new part's:
// its number of steps, linear pressure steps, a pipeline's length factor
// (without it a pipeline passes its stream through unchanged). Written only
// when they differ from a new part's, so that other files stay as they were.
void write_step_settings(std::string& out, const Part& part) {
    if (part.steps != default_steps(part.type))
        add(out, {"  ", STEPS_KEY, " = \"", int_text(part.steps), "\""});
    if (part.segmentation == SEGMENTS_LINEAR)
        add(out, {"  ", SEGMENTATION_KEY, " = \"", SEGMENTATION_LINEAR, "\""});
    if (part.old_value != 0.0 && std::isfinite(part.old_value))
        add(out, {"  ", LENGTH_FACTOR_KEY, " = \"", number_text(part.old_value), "\""});
}

void write_part(std::string& out, const Part& part, bool results) {
    const PartType* pt = part_type_of(part.type);
    add(out, {"#START Part"});
    add(out, {"  Type = \"", pt != nullptr ? pt->name : "", "\""});
    add(out, {"  Name = \"", field(part.name), "\""});
    add(out, {"  ID = ", int_text(part.id)});
    for (int k = 0; k < 2; ++k)
        add(out, {"  Previous Part ID \"", int_text(k), "\" = \"", int_text(part.prev_id[sz(k)]),
                  "\" \"", int_text(part.prev_outlet[sz(k)]), "\""});
    for (int k = 0; k < 2; ++k)
        add(out, {"  Next Part ID \"", int_text(k), "\" = \"", int_text(part.next_id[sz(k)]),
                  "\" \"", int_text(part.next_inlet[sz(k)]), "\""});
    for (int o = 0; o < NUM_PART_OPTIONS; ++o) {
        const OptionDef& opt = part_input_options[sz(o)];
        int choice = part.options[sz(o)];
        // A choice without a text (the interface's mark on its heat
        // exchangers) is set again by the interface when read.
        if (choice < 0 || choice >= opt.n_choices) continue;
        add(out, {"  Option \"", opt.title, "\" = \"", opt.choices[sz(choice)], "\""});
    }
    for (int i = 0; i < NUM_PART_INPUTS; ++i) {
        const ValueDef& row = part_input_values_def[sz(i)];
        add(out, {"  Input Value \"", row.name, "\" = \"",
                  input_text(part.inputs[sz(i)], row, part.input_units[sz(i)]), "\""});
    }
    if (part.type == COMBUSTOR || part.type == OXYGEN_INJECTION_COMBUSTOR) {
        if (part.fuel != nullptr)
            add(out, {"  Input Value \"Fuel fluid\" = \"", field(part.fuel->name), "\""});
        if (part.type == OXYGEN_INJECTION_COMBUSTOR && part.oxidizer != nullptr)
            add(out, {"  Input Value \"Oxidizer\" = \"", field(part.oxidizer->name), "\""});
    }
    write_step_settings(out, part);
    for (int j = 0; j < NUM_PART_OUTPUTS; ++j) {
        const ValueDef& row = part_output_values_def[sz(j)];
        int unit = part.output_units[sz(j)];
        if (!valid_unit(row.quantity, unit)) unit = 0;
        add(out, {"  Output Value \"", row.name, "\" = \"", unit_symbol(row.quantity, unit), "\""});
    }
    if (results) {
        // The state of the results: a part that failed or was not reached
        // says so, and carries only the inlet it was given (failed) or no
        // states at all, so that nothing left over reads as a result.
        const char* state = result_state(part);
        add(out, {"  Part State = \"", state, "\""});
        if (part.state == PS_FAILED && !part.failure_text.empty())
            add(out, {"  Failure = \"", one_line(part.failure_text), "\""});
        int steps = std::clamp(part.steps, 0, MAX_STEPS);
        if (part.state == PS_FAILED) steps = 0;
        if (state == std::string_view(STATE_NOT_CALCULATED)) steps = -1;
        for (int i = 0; i <= steps; ++i) {
            if (!finite_step(part, sz(i))) continue;
            add(out, {"  Results Step ", int_text(i), " T= ", number_text(part.T[sz(i)]),
                      " P= ", number_text(part.p[sz(i)]), " h= ", number_text(part.h[sz(i)]),
                      " s= ", number_text(part.s[sz(i)]), " rho = ", number_text(part.rho[sz(i)]),
                      " qq= ", number_text(part.q[sz(i)]), " Q= ", number_text(part.heat[sz(i)])});
        }
        for (int j = 0; j < NUM_PART_OUTPUTS; ++j) {
            const ValueDef& row = part_output_values_def[sz(j)];
            if (!std::isfinite(part.outputs[sz(j)])) continue;
            add(out,
                {"  Output Result \"", row.name, "\" = \"",
                 value_text(part.outputs[sz(j)], row.quantity, part.output_units[sz(j)]), "\""});
        }
        auto composition = [&out](const char* key, const std::array<double, MAX_COMPONENTS>& x) {
            out += key;
            for (double v : x) {
                out += ' ';
                out += number_text(v);
            }
            out += '\n';
        };
        composition("  Fluid Composition In", part.x_in);
        composition("  Fluid Composition 2 In", part.x_in2);
        composition("  Fluid Composition Out", part.x_out);
    }
    add(out, {"#END"});
}

void write_process(std::string& out, const Process& process, bool results) {
    add(out, {"#START Process"});
    add(out, {"  Name = \"", field(process.name), "\""});
    add(out, {"  ID = ", int_text(process.id)});
    write_output_units(out, "  ", process_output_values_def, process.output_units);
    write_inlet(out, process);
    int n = std::clamp(process.az_parts, 0, MAX_PARTS);
    for (int i = 0; i < n; ++i)
        if (process.parts[sz(i)] != nullptr) write_part(out, *process.parts[sz(i)], results);
    add(out, {"#END"});
}

void write_interface(std::string& out, const Interface& itf, bool results) {
    add(out, {"#START Interface"});
    add(out, {"  Name = \"", field(itf.name), "\""});
    add(out, {"  ID = \"", int_text(itf.id), "\""});
    add(out, {"  Hot Side : Process ID ", int_text(itf.hot_process_id), " Part ID ",
              int_text(itf.hot_part_id)});
    add(out, {"  Cold Side: Process ID ", int_text(itf.cold_process_id), " Part ID ",
              int_text(itf.cold_part_id)});
    for (int o = 0; o < NUM_INTERFACE_OPTIONS; ++o) {
        const OptionDef& opt = interface_options[sz(o)];
        int choice = itf.options[sz(o)];
        if (choice < 0 || choice >= opt.n_choices) continue;
        add(out, {"  Option \"", opt.title, "\" = \"", opt.choices[sz(choice)], "\""});
    }
    for (int i = 0; i < NUM_INTERFACE_INPUTS; ++i) {
        const ValueDef& row = interface_input_values_def[sz(i)];
        add(out, {"  Input Value \"", row.name, "\" = \"",
                  input_text(itf.inputs[sz(i)], row, itf.input_units[sz(i)]), "\""});
    }
    if (!results) write_output_units(out, "  ", interface_output_values_def, itf.output_units);
    if (results) {
        for (int j = 0; j < NUM_INTERFACE_OUTPUTS; ++j) {
            const ValueDef& row = interface_output_values_def[sz(j)];
            if (!std::isfinite(itf.outputs[sz(j)])) continue;
            add(out, {"Output Value\"", row.name, "\" \"",
                      value_text(itf.outputs[sz(j)], row.quantity, itf.output_units[sz(j)]), "\""});
        }
    }
    add(out, {"#END"});
}

void write_curve(std::string& out, const Process& process, const CurveStyle& st) {
    add(out, {"#START Process"});
    add(out, {"    Process ID = \"", int_text(process.id), "\""});
    add(out, {"    Line style = \"", int_text(st.line_style), "\""});
    add(out, {"    Line width = \"", number_text(st.line_width), "\""});
    add(out, {"    Line color = \"", color_text(st.line_color), "\""});
    add(out, {"    Dot style = \"", int_text(st.dot_style), "\""});
    add(out, {"    Dot size = \"", int_text(st.dot_size), "\""});
    add(out, {"    Dot color = \"", color_text(st.dot_color), "\""});
    add(out, {"    Dot small style = \"", int_text(st.small_dot_style), "\""});
    add(out, {"    Dot small size = \"", int_text(st.small_dot_size), "\""});
    add(out, {"    Dot small color = \"", color_text(st.small_dot_color), "\""});
    add(out, {"#END"});
}

void write_graph(std::string& out, const Graph& graph) {
    static constexpr const char* FAMILY_KEYS[NUM_ISO_FAMILIES] = {
        "#START Isobar", "#START Isotherm", "#START Isochor", "#START Wetness"};
    add(out, {"#START Graph"});
    add(out, {"  Name = \"", field(graph.name), "\""});
    add(out, {"  Type = \"", int_text(graph.type), "\""});
    if (graph.fluid != nullptr) add(out, {"  Fluid = \"", field(graph.fluid->name), "\""});
    if (graph.type == 5 && graph.interface != nullptr)
        add(out, {"  Interface ID = \"", int_text(graph.interface->id), "\""});
    int n = std::clamp(graph.az_curves, 0, MAX_CURVES);
    for (int c = 0; c < n; ++c)
        if (graph.curves[sz(c)] != nullptr)
            write_curve(out, *graph.curves[sz(c)], graph.curve_style[sz(c)]);
    if (graph.fluid != nullptr) {
        for (int f = 0; f < NUM_ISO_FAMILIES; ++f) {
            add(out, {FAMILY_KEYS[f]});
            write_iso_info(out, graph.iso_style[sz(f)], graph.fluid->iso[sz(f)]);
            add(out, {"#END"});
        }
    }
    add(out, {"#START X-AXIS"});
    write_axis(out, graph.x_axis);
    add(out, {"#END"});
    add(out, {"#START Y-AXIS"});
    write_axis(out, graph.y_axis);
    add(out, {"#END"});
    add(out, {"#END"});
}

}  // namespace

std::string number_text(double value) {
    if (!std::isfinite(value)) return "0";  // never written: callers leave such values out
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    if (ec != std::errc()) return "0";
    return std::string(buf, end);
}

void write_axis(std::string& out, const Axis& a) {
    std::string label = a.label.substr(0, AXIS_LABEL_MAX);
    add(out, {"     Axis Label = \"", field(label), "\""});
    add(out, {"     Min Pos = \"", number_text(a.min_pos), "\""});
    add(out, {"     Max Pos = \"", number_text(a.max_pos), "\""});
    add(out, {"     Min Value = \"", number_text(a.min_value), "\""});
    add(out, {"     Max Value = \"", number_text(a.max_value), "\""});
    add(out, {"     Step = \"", number_text(a.step), "\""});
    add(out, {"     Used Unit num = \"", int_text(a.unit), "\""});
    add(out, {"     Label font = \"", field(a.label_font), "\""});
    add(out, {"     Label color = \"", color_text(a.label_color), "\""});
    add(out, {"     Digits = \"", int_text(a.digits), "\""});
    add(out, {"     Line width = \"", number_text(a.line_width), "\""});
    add(out, {"     Line color = \"", color_text(a.line_color), "\""});
    add(out, {"     Arrow size = \"", int_text(a.arrow_size), "\""});
    add(out, {"     Tick width = \"", int_text(a.tick_width), "\""});
    add(out, {"     Tick font = \"", field(a.tick_font), "\""});
    add(out, {"     Tick label color = \"", color_text(a.tick_label_color), "\""});
    add(out, {"     Tick length = \"", int_text(a.tick_length), "\""});
    add(out, {"     Tick color = \"", color_text(a.tick_color), "\""});
    add(out, {"     Grid width = \"", number_text(a.grid_width), "\""});
    add(out, {"     Grid color = \"", color_text(a.grid_color), "\""});
}

void write_iso_info(std::string& out, const IsolineStyle& st, const IsoFamily& positions) {
    add(out, {"    Show = \"", int_text(st.show), "\""});
    add(out, {"    Linewidth = \"", number_text(st.width), "\""});
    add(out, {"    color = \"", color_text(st.color), "\""});
    add(out, {"    Font = \"", field(st.font), "\""});
    add(out, {"    Unit = \"", int_text(st.unit), "\""});
    // More lines than a "Positions" line holds go on further lines (a
    // diagram showing 163 isobars came back with 98).
    out += "    Positions = ";
    int n = iso_count(positions);
    int on_line = 0;
    for (int i = 0; i < n && sz(i) < st.selected.size(); ++i) {
        if (st.selected[sz(i)] != 1) continue;
        if (on_line == ISO_POSITIONS_PER_LINE) {
            out += "  \n    Positions = ";
            on_line = 0;
        }
        out += '"';
        out += number_text(positions.positions[sz(i)]);
        out += "\" ";
        ++on_line;
    }
    out += "  \n";
}

void write_fluid(std::string& out, const Fluid& fluid) {
    add(out, {"#START Fluid Definition"});
    add(out, {" Fluid name = \"", field(fluid.name.substr(0, FLUID_NAME_MAX)), "\""});
    int n = std::clamp(fluid.az_components, 0, MAX_COMPONENTS);
    add(out, {" Az parts = \"", int_text(n), "\""});
    add(out, {" Fluid humidity type = \"", int_text(fluid.humidity_type), "\""});
    for (int c = 0; c < n; ++c) {
        const Fluid* comp = fluids[fluid.comp_index[sz(c)]];
        add(out, {" Component \"", comp != nullptr ? field(comp->name) : std::string(),
                  "\" mol_proz \"", number_text(fluid.x[sz(c)]), "\" "});
    }
    if (fluid.humidity_type == HT_RH_STANDARD)
        add(out, {" Relative Humidity T_ref = \"", number_text(fluid.ref_hum_T), "\" p_ref = \"",
                  number_text(fluid.ref_hum_p), "\" humidity = \"", number_text(fluid.ref_hum_rh),
                  "\" liquid_water= \"", number_text(fluid.ref_hum_liquid), "\""});
    add(out, {"#END Fluid definition"});
}

std::string fluid_file_text(const Fluid& fluid) {
    std::string out = "Fluid Definition File Version = 1.0\n\n";
    write_fluid(out, fluid);
    return out;
}

std::string project_text(const Project& project, bool graphs, bool results) {
    std::string out;
    add(out, {"Version = \"", KVR_FILE_VERSION, "\""});
    if (results)
        add(out, {"Calculation Status = \"",
                  project.calc_status == CS_FINISHED ? STATE_FINISHED
                  : project.calc_status == CS_FAILED ? STATE_FAILED
                                                     : STATE_NOT_CALCULATED,
                  "\""});
    write_output_units(out, "", project_output_values_def, project.total_units);

    // Fluid blocks first: everything after them looks fluids up by name.
    std::vector<const Fluid*> used;
    int np = std::clamp(project.az_processes, 0, MAX_PROCESSES);
    for (int i = 0; i < np; ++i) {
        const Process* process = project.processes[sz(i)];
        if (process == nullptr) continue;
        collect_fluid(process->fluid, used);
        int n = std::clamp(process->az_parts, 0, MAX_PARTS);
        for (int k = 0; k < n; ++k) {
            const Part* part = process->parts[sz(k)];
            if (part == nullptr) continue;
            if (part->type == COMBUSTOR || part->type == OXYGEN_INJECTION_COMBUSTOR)
                collect_fluid(part->fuel, used);
            if (part->type == OXYGEN_INJECTION_COMBUSTOR) collect_fluid(part->oxidizer, used);
        }
    }
    if (graphs)
        for (int g = 1; g < MAX_GRAPHS; ++g)
            if (const Graph* graph = project.graphs[sz(g)]) collect_fluid(graph->fluid, used);
    for (const Fluid* fluid : used) {
        out += '\n';
        write_fluid(out, *fluid);
    }

    for (int i = 0; i < np; ++i)
        if (const Process* process = project.processes[sz(i)])
            write_process(out, *process, results);
    int ni = std::clamp(project.az_interfaces, 0, MAX_INTERFACES);
    for (int i = 0; i < ni; ++i)
        if (const Interface* itf = project.interfaces[sz(i)]) write_interface(out, *itf, results);
    if (graphs) {
        // Slot 0, the flowsheet, is never written.
        for (int g = 1; g < MAX_GRAPHS; ++g) {
            const Graph* graph = project.graphs[sz(g)];
            if (graph != nullptr && graph->kind == GK_DIAGRAM) write_graph(out, *graph);
        }
    }
    add(out, {"#END"});
    return out;
}

std::string input_out_of_bounds(const Project& project) {
    auto check = [](const ValueDef& row, double value, int unit) {
        const std::string why = bounds_problem(row, value);
        return why.empty() ? why
                           : std::string(row.name) + " = " + value_text(value, row.quantity, unit) +
                                 ": " + why;
    };
    for (int i = 0; i < std::clamp(project.az_processes, 0, MAX_PROCESSES); ++i) {
        const Process* process = project.processes[sz(i)];
        if (process == nullptr) continue;
        const std::string where = "process '" + process->name + "'";
        for (int k = 0; k < NUM_PROCESS_INPUTS; ++k)
            if (std::string why = check(process_input_values_def[sz(k)], process->inputs[sz(k)],
                                        process->input_units[sz(k)]);
                !why.empty())
                return where + ": " + why;
        for (int n = 0; n < std::clamp(process->az_parts, 0, MAX_PARTS); ++n) {
            const Part* part = process->parts[sz(n)];
            if (part == nullptr) continue;
            for (int k = 0; k < NUM_PART_INPUTS; ++k)
                if (std::string why = check(part_input_values_def[sz(k)], part->inputs[sz(k)],
                                            part->input_units[sz(k)]);
                    !why.empty())
                    return where + ", part '" + part->name + "': " + why;
        }
    }
    for (int i = 0; i < std::clamp(project.az_interfaces, 0, MAX_INTERFACES); ++i) {
        const Interface* itf = project.interfaces[sz(i)];
        if (itf == nullptr) continue;
        for (int k = 0; k < NUM_INTERFACE_INPUTS; ++k)
            if (std::string why = check(interface_input_values_def[sz(k)], itf->inputs[sz(k)],
                                        itf->input_units[sz(k)]);
                !why.empty())
                return "interface '" + itf->name + "': " + why;
    }
    return "";
}

int write_input(const Project& project) {
    if (std::string why = input_out_of_bounds(project); !why.empty()) {
        showmessage(
            "Could not write file '%s': %s. The file could not be read again; change "
            "the value and save again.",
            project.filename.c_str(), why.c_str());
        return -1;
    }
    std::string text = project_text(project, include_graphs != 0, include_results != 0);
    std::string reason;
    if (!replace_file_contents(project.filename, text, reason)) {
        showmessage("Could not write file '%s': %s", project.filename.c_str(), reason.c_str());
        return -1;
    }
    return 0;
}

}  // namespace app
