// Reading project files into a new project: processes with their inlet and
// parts, interfaces; fluid and diagram blocks have readers of their own.
//
// The reader refuses what the records cannot hold or the solver cannot
// use: ids out of range or used twice, step indices and link slots out of
// range, links to parts that are not there, links that form a loop or
// leave a part unreachable from its Inlet, interfaces whose sides are not
// heat exchangers, more blocks than a project holds, fluid blocks whose
// components do not add up. A refused file gives no project and a message
// with the line; nothing half-read is left behind.
#include "app/core/files/filehandling.h"

#include "app/core/files/filehandling_scan.h"
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/program/kvr.h"
#include "app/core/program/text_output.h"
#include "app/core/solver/simulator.h"
#include "app/core/structure/interfaces.h"
#include "app/core/structure/structure.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <span>
#include <sstream>

namespace app {

using namespace filescan;

namespace {

// "the part types are ..." with the 16 names.
std::string part_type_names() {
    std::string out = "the part types are";
    for (int i = 0; i < NUM_PART_TYPES; ++i)
        out += std::string(i == 0 ? " " : ", ") + part_types[sz(i)].name;
    return out;
}

// Ids of processes and interfaces in a file stay within this bound, so that
// the next free id can always be raised past them.
constexpr int MAX_FILE_ID = 999999999;
// Files above this size are not read. The largest project the records
// hold (150 processes of 52 parts) writes about 150 MB with its results;
// 32 MB refused the results of projects from some 1,700 parts on.
constexpr std::size_t MAX_FILE_SIZE = std::size_t{1} << 30;

struct PartDeleter {
    void operator()(Part* p) const { free_part(p); }
};
struct ProcessDeleter {
    void operator()(Process* p) const { free_process(p); }
};
struct InterfaceDeleter {
    void operator()(Interface* p) const { free_interface(p); }
};
using PartPtr = std::unique_ptr<Part, PartDeleter>;
using ProcessPtr = std::unique_ptr<Process, ProcessDeleter>;
using InterfacePtr = std::unique_ptr<Interface, InterfaceDeleter>;

// "Input Value" lines whose name several rows share: per name (lower
// case), the line numbers and value texts in file order.
using SharedInputs = std::map<std::string, std::vector<std::pair<int, std::string>>, std::less<>>;

class ProjectReader {
public:
    ProjectReader(std::string_view text, Project& project, const ReadOptions& options, bool update)
        : lines_(text), project_(project), options_(options), update_(update) {}

    void run() {
        std::string_view line;
        lines_.next(line);  // the version line
        while (lines_.next(line)) {
            if (is_start_line(line)) {
                if (contains(line, "Process"))
                    read_process();
                else if (contains(line, "Interface"))
                    read_interface();
                else if (contains(line, "Graph"))
                    read_graph_block(lines_, project_);
                else if (contains(line, "Fluid"))
                    read_fluid_block();
            } else if (is_end_line(line)) {
                break;
            } else if (contains(line, "Calculation Status")) {
                read_calculation_status(token(split(line), 1));
            } else if (contains(key_text(line), OUTPUT_UNIT_KEY)) {
                read_output_unit(split(line), project_output_values_def, project_.total_units);
            }
        }
        if (update_) {
            for (int i = 0; i < project_.az_processes; ++i) {
                Process& process = *project_.processes[sz(i)];
                if (!app::update_process(process))
                    fail("process " + quoted(process.name) +
                         " has too many parts to be brought up to date");
                check_process(process);
                prepare(process);
            }
        }
    }

    const std::vector<std::string>& warnings() const { return warnings_; }

private:
    [[noreturn]] void fail(const std::string& text) { filescan::fail(lines_, text); }

    void read_calculation_status(std::string_view word) {
        if (equal_nocase(trim(word), STATE_FINISHED))
            project_.calc_status = CS_FINISHED;
        else if (equal_nocase(trim(word), STATE_FAILED))
            project_.calc_status = CS_FAILED;
        else if (equal_nocase(trim(word), STATE_NOT_CALCULATED))
            project_.calc_status = CS_RUNNING;
        else
            fail("unknown calculation status " + quoted(word));
    }

    // An "Output Unit" line: the display unit of the result of `table` it
    // names (a result this version does not have is passed over).
    template <std::size_t N>
    void read_output_unit(const std::vector<std::string_view>& t,
                          const std::array<ValueDef, N>& table, std::array<int, N>& units) {
        const int j = find_value_def(table, token(t, 1));
        if (j < 0) return;
        const int qn = table[sz(j)].quantity;
        const int u = find_unit(qn, trim(token(t, 3)));
        if (u >= 0)
            units[sz(j)] = u;
        else
            warnings_.push_back("Line " + std::to_string(lines_.number()) + ": " +
                                quoted(token(t, 3)) + " is not a unit of " + unitdef[sz(qn)].name +
                                " (" + unit_list(qn) + "); output " + quoted(token(t, 1)) +
                                " keeps its unit.");
    }

    // ----- fluids ---------------------------------------------------------

    void read_fluid_block() {
        std::string warning;
        std::unique_ptr<Fluid> fluid = filescan::read_fluid_block(lines_, options_, warning);
        if (!warning.empty()) warnings_.push_back(warning);
        if (!fluid) return;
        const Fluid* record = fluid.get();
        if (fluids.append(std::move(fluid)) == nullptr) {
            // The record is gone: the library must not be thought to hold it.
            if (current_fluid == record) current_fluid = nullptr;
            fail("more than " + std::to_string(MAX_FLUIDS) + " working fluids");
        }
    }

    // ----- processes ------------------------------------------------------

    void read_process() {
        ProcessPtr process(create_process(1));
        const int start = lines_.number();
        bool have_id = false;
        std::string_view line;
        Block block(lines_);
        while (block.next(line)) {
            if (contains(line, "Name")) {
                process->name = std::string(token(split(line), 1));
            } else if (contains(key_text(line), OUTPUT_UNIT_KEY)) {
                read_output_unit(split(line), process_output_values_def, process->output_units);
            } else if (contains(line, "  ID =")) {
                if (have_id) fail("the process has a second ID line");
                process->id = read_id_line(line, MAX_FILE_ID, "process");
                for (int i = 0; i < project_.az_processes; ++i)
                    if (project_.processes[sz(i)]->id == process->id)
                        fail("process id " + std::to_string(process->id) + " is used twice");
                if (new_process_id <= process->id) new_process_id = process->id + 1;
                have_id = true;
            } else if (is_start_line(line) && contains(line, "Inlet Conditions")) {
                read_inlet(*process);
            } else if (is_start_line(line) && !contains(line, "Part")) {
                fail_missing_end(lines_, "process", start);
            } else if (is_start_line(line)) {
                PartPtr part = read_part();
                if (!part) continue;
                if (process->az_parts >= MAX_PARTS)
                    fail("more than " + std::to_string(MAX_PARTS) + " parts in one process");
                part->fluid = process->fluid;
                append_part(*process, part.release());
            }
        }
        if (!block.closed()) fail("the process block has no end");
        if (!have_id) fail("the process has no ID line");
        if (project_.az_processes >= MAX_PROCESSES)
            fail("more than " + std::to_string(MAX_PROCESSES) + " processes");
        Process* p = process.get();
        if (!update_) check_process(*p);
        append_process(project_, process.release());
        if (!update_) prepare(*p);
    }

    void prepare(Process& process) {
        if (!options_.use_library) return;
        // An inlet that cannot be prepared is reported by the calculation.
        // Its results are kept but not summed: finalizeProcess takes the
        // inlet values from the Inlet's results, which only a prepared
        // process has (a result file whose fluid became "Air" beside a
        // combustor read back with 0 K and 0 kPa at its inlet, which no
        // file then took).
        if (prepareProcess(process, false) != CS_FINISHED) return;
        // The standard volume flow is the mass flow in other units: a file
        // that gives the mass flow alone showed 0 Nm3/h beside 100 kg/s.
        auto& in = process.inputs;
        in[sz(PRI_STANDARD_VOLUME_FLOW)] =
            get_stdv_from_massflow(in[sz(PRI_MASSFLOW)], process.fluid, in[sz(PRI_TEMPERATURE)],
                                   in[sz(PRI_PRESSURE)], in[sz(PRI_HUMIDITY)]);
        if (process.az_parts > 1 && process.parts[1]->state == PS_FINISHED)
            finalizeProcess(process);
    }

    int read_id_line(std::string_view line, int max_id, const char* what) {
        Scanner sc(line);
        int id = 0;
        if (!sc.literal(" ID =") || !sc.integer(id))
            fail(std::string("malformed ") + what + " ID line");
        if (id < 1 || id > max_id)
            fail(std::string(what) + " id " + std::to_string(id) + " is out of range (1 to " +
                 std::to_string(max_id) + ")");
        return id;
    }

    void read_inlet(Process& process) {
        const int start = lines_.number();
        bool have_fluid = false;
        std::string_view line;
        while (lines_.next(line)) {
            if (is_start_line(line)) fail_missing_end(lines_, "inlet", start);
            if (is_end_line(line)) {
                if (!have_fluid)
                    fail("the inlet of process " + quoted(process.name) +
                         " names no working fluid (a line Fluid = \"name\"); " + FLUID_NAMES_HINT);
                return;
            }
            auto t = split(line);
            std::string_view key = t[0];
            if (contains(key, "Fluid")) {
                process.fluid = find_fluid_exact(lines_.number(), token(t, 1), "working fluid");
                have_fluid = true;
                continue;
            }
            for (int k = 0; k < NUM_PROCESS_INPUTS; ++k) {
                const ValueDef& row = process_input_values_def[sz(k)];
                if (!contains(key, row.name)) continue;
                if (t.size() > 1)
                    read_input_value(lines_.number(), row, token(t, 1), process.inputs[sz(k)],
                                     process.input_units[sz(k)], warnings_);
                break;
            }
        }
        fail("the inlet block has no end");
    }

    // ----- parts ----------------------------------------------------------

    PartPtr read_part() {
        PartPtr part(create_part(PLACEHOLDER_PART));
        part->type = -1;
        lines_of_[part.get()].start = lines_.number();
        int marked_state = -1;  // the state of a "Part State" line
        int steps = 0;          // the number of steps a file older than 2.0 gave, or 0
        // "Input Value" lines whose name several rows share, resolved at the
        // block's end.
        SharedInputs shared_names;
        std::string_view line;
        while (lines_.next(line)) {
            if (is_start_line(line)) fail_missing_end(lines_, "part", lines_of_[part.get()].start);
            if (is_end_line(line))
                return finish_part(std::move(part), shared_names, marked_state, steps);
            auto t = split(line);
            std::string_view key = t[0];
            if (contains(key, "Typ")) {
                int type = find_part_type(token(t, 1));
                if (type < 0)
                    fail("unknown part type " + quoted(token(t, 1)) + "; " + part_type_names());
                part->type = type;
                part->part_type = part_type_of(type);
                part->icon = part->part_type->icon;
            } else if (contains(key, "Name")) {
                part->name = std::string(token(t, 1));
                raise_name_counter(*part);
            } else if (contains(key, "Option")) {
                const int o = read_option(part_input_options, t);
                part->options[sz(o)] = find_choice(part_input_options[sz(o)], token(t, 3));
            } else if (contains(key, "Input Value")) {
                read_part_input(*part, t, shared_names);
            } else if (contains(key, "Output Value")) {
                int j = find_value_def(part_output_values_def, token(t, 1));
                if (j >= 0) {
                    const int qn = part_output_values_def[sz(j)].quantity;
                    int u = find_unit(qn, trim(token(t, 3)));
                    if (u >= 0)
                        part->output_units[sz(j)] = u;
                    else
                        warnings_.push_back(
                            "Line " + std::to_string(lines_.number()) + ": " + quoted(token(t, 3)) +
                            " is not a unit of " + unitdef[sz(qn)].name + " (" + unit_list(qn) +
                            "); output " + quoted(token(t, 1)) + " keeps its unit.");
                }
            } else if (contains(key, "Previous Part ID")) {
                read_link(t, part->prev_id, part->prev_outlet);
            } else if (contains(key, "Next Part ID")) {
                read_link(t, part->next_id, part->next_inlet);
                note_link_line(*part, t);
            } else if (contains(line, "  ID =")) {
                if (part->id != 0) fail("the part has a second ID line");
                int id = read_id_line(line, MAX_PART_ID, "part");
                if (part_by_id(&project_, id) != nullptr)
                    fail("part id " + std::to_string(id) + " is used twice");
                if (store_part_pointer(part.get(), id) != 0)
                    fail("part id " + std::to_string(id) + " cannot be stored");
                part->id = id;
            } else if (contains(line, "  Results Step")) {
                read_step(*part, line);
            } else if (contains(line, "  Output Result")) {
                int j = find_value_def(part_output_values_def, token(t, 1));
                if (j >= 0)
                    read_result(lines_.number(), token(t, 1), token(t, 3),
                                part_output_values_def[sz(j)].quantity, part->outputs[sz(j)],
                                part->output_units[sz(j)]);
            } else if (contains(line, "  Fluid Composition In")) {
                read_composition(line, "  Fluid Composition In", part->x_in);
            } else if (contains(line, "  Fluid Composition 2 In")) {
                part->x_in2.fill(0.0);
                read_composition(line, "  Fluid Composition 2 In", part->x_in2);
            } else if (contains(line, "  Fluid Composition Out")) {
                read_composition(line, "  Fluid Composition Out", part->x_out);
            } else if (contains(key, "Part State")) {
                marked_state = read_part_state(token(t, 1));
            } else if (contains(key, "Failure")) {
                part->failure_text = std::string(token(t, 1));
            } else if (contains(key, STEPS_KEY)) {
                if (!parse_int(token(t, 1), steps) || steps < 1 || steps > MAX_STEPS)
                    fail("the number of steps " + quoted(token(t, 1)) +
                         " is not a whole number from 1 to " + std::to_string(MAX_STEPS));
            } else if (contains(key, SEGMENTATION_KEY)) {
                read_segmentation(*part, token(t, 1));
            } else if (contains(key, LENGTH_FACTOR_KEY)) {
                double v = 0.0;
                if (!parse_number(token(t, 1), v) || v < 0.0)
                    fail("the length factor " + quoted(token(t, 1)) +
                         " is not a number of at least 0");
                part->old_value = v;
            }
        }
        fail("the part block has no end");
    }

    void read_segmentation(Part& part, std::string_view word) {
        word = trim(word);
        if (equal_nocase(word, SEGMENTATION_LINEAR))
            part.segmentation = SEGMENTS_LINEAR;
        else if (equal_nocase(word, SEGMENTATION_GEOMETRIC))
            part.segmentation = SEGMENTS_GEOMETRIC;
        else
            fail("the step segmentation " + quoted(word) + " is neither " + SEGMENTATION_LINEAR +
                 " nor " + SEGMENTATION_GEOMETRIC);
    }

    // The steps of the part: those of its type, or those its file gives (a
    // file older than 2.0 gives each part its own). Mixers, splitters and
    // combustors have the steps of their models.
    void set_steps(Part& part, int steps) {
        const int own = default_steps(part.type);
        const bool fixed = part.type == MIXER || part.type == SPLITTER || part.type == COMBUSTOR ||
                           part.type == OXYGEN_INJECTION_COMBUSTOR;
        if (steps > 0 && steps != own && fixed)
            fail("part " + quoted(part.name) + " is a " + part.part_type->name +
                 ", whose number of steps is " + std::to_string(own) + ", not " +
                 std::to_string(steps));
        part.steps = steps > 0 ? steps : own;
    }

    PartPtr finish_part(PartPtr part, const SharedInputs& shared, int marked_state, int steps) {
        if (part->type < 0) fail("the part block has no type");
        if (part->id == 0) fail("the part block has no ID line");
        for (const auto& [name, texts] : shared) resolve_shared_input(*part, name, texts);
        // Results that the file marks as those of a failed or unfinished
        // part are kept, but not taken for results.
        if (marked_state == PS_FAILED || marked_state == PS_NEW) part->state = marked_state;
        if (part->state != PS_FAILED) part->failure_text.clear();
        set_steps(*part, steps);
        if (part->state == PS_FINISHED) set_result_values(*part);
        return part;
    }

    // The option of an "Option" line whose choice is one of the option's;
    // an unknown option or choice is refused naming the valid ones.
    int read_option(std::span<const OptionDef> table, const std::vector<std::string_view>& t) {
        const int o = find_option(table, token(t, 1));
        if (o < 0) {
            std::string titles;
            for (const OptionDef& option : table)
                titles += std::string(titles.empty() ? "" : ", ") + quoted(option.title);
            fail("unknown option " + quoted(token(t, 1)) + "; the options are " + titles);
        }
        const OptionDef& option = table[sz(o)];
        if (find_choice(option, token(t, 3)) < 0) {
            std::string choices;
            for (int c = 0; c < option.n_choices; ++c)
                choices += std::string(c == 0 ? "" : ", ") + quoted(option.choices[sz(c)]);
            fail("option " + quoted(option.title) + " has no choice " + quoted(token(t, 3)) +
                 "; its choices are " + choices);
        }
        return o;
    }

    int read_part_state(std::string_view word) {
        word = trim(word);
        if (equal_nocase(word, STATE_FINISHED) || equal_nocase(word, STATE_PROVISIONAL))
            return PS_FINISHED;
        if (equal_nocase(word, STATE_FAILED)) return PS_FAILED;
        if (equal_nocase(word, STATE_NOT_CALCULATED)) return PS_NEW;
        fail("unknown part state " + quoted(word) +
             " (finished, provisional, failed or not calculated)");
    }

    void raise_name_counter(Part& part) {
        if (part.part_type == nullptr) return;
        std::string_view name = trim(part.name);
        std::size_t blank = name.find_first_of(" \t");
        if (blank == std::string_view::npos) return;
        if (!equal_nocase(name.substr(0, blank), part.part_type->name)) return;
        Scanner sc(name.substr(blank));
        int n = 0;
        if (!sc.integer(n) || n < 1 || n == std::numeric_limits<int>::max()) return;
        int& counter = project_.name_counters[sz(part.type)];
        if (counter < n) counter = n;
    }

    void read_part_input(Part& part, const std::vector<std::string_view>& t, SharedInputs& shared) {
        std::string_view name = token(t, 1);
        int rows = 0, first = -1;
        for (int i = 0; i < NUM_PART_INPUTS; ++i) {
            if (equal_nocase(part_input_values_def[sz(i)].name, name)) {
                if (first < 0) first = i;
                ++rows;
            }
        }
        if (rows == 1) {
            set_part_input(part, first, lines_.number(), token(t, 3));
        } else if (rows > 1) {
            std::string lower(name);
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            auto& texts = shared[lower];
            if (texts.size() < 8) texts.emplace_back(lines_.number(), std::string(token(t, 3)));
        }
        if (equal_nocase(name, "Fuel fluid"))
            part.fuel = find_fluid_exact(lines_.number(), token(t, 3), "fuel fluid");
        else if (equal_nocase(name, "Oxidizer"))
            part.oxidizer = find_fluid_exact(lines_.number(), token(t, 3), "oxidizer fluid");
    }

    // "Pressure Ratio Out/In" names two inputs. Written for every input, the
    // lines come in row order; a single line fills the row that the part's
    // type offers.
    void resolve_shared_input(Part& part, std::string_view name,
                              const std::vector<std::pair<int, std::string>>& texts) {
        std::vector<int> rows;
        for (int i = 0; i < NUM_PART_INPUTS; ++i)
            if (equal_nocase(part_input_values_def[sz(i)].name, name)) rows.push_back(i);
        if (rows.empty() || texts.empty()) return;
        if (texts.size() >= 2) {
            for (std::size_t k = 0; k < texts.size() && k < rows.size(); ++k)
                set_part_input(part, rows[k], texts[k].first, texts[k].second);
            return;
        }
        int row = rows[0];
        if (part.part_type != nullptr) {
            for (int r : rows) {
                const auto& offered = part.part_type->inputs;
                if (std::find(offered.begin(), offered.end(), r) != offered.end()) {
                    row = r;
                    break;
                }
            }
        }
        set_part_input(part, row, texts[0].first, texts[0].second);
    }

    void set_part_input(Part& part, int row, int line, std::string_view text) {
        read_input_value(line, part_input_values_def[sz(row)], text, part.inputs[sz(row)],
                         part.input_units[sz(row)], warnings_);
    }

    // The line of a part's "Next Part ID" line k, for messages.
    void note_link_line(const Part& part, const std::vector<std::string_view>& t) {
        int k = 0;
        if (parse_int(token(t, 1), k) && (k == 0 || k == 1))
            lines_of_[&part].next[sz(k)] = lines_.number();
    }

    // `k` from token 1, the linked part id from token 3 and its slot from
    // token 5.
    void read_link(const std::vector<std::string_view>& t, std::array<int, 2>& ids,
                   std::array<int, 2>& slots) {
        int k = 0, id = 0, slot = 0;
        if (!parse_int(token(t, 1), k)) fail("malformed link line");
        if (k != 0 && k != 1) return;  // only two links are kept
        if (!parse_int(token(t, 3), id) || !parse_int(token(t, 5), slot))
            fail("malformed link line");
        if (id < -1 || id > MAX_PART_ID)
            fail("linked part id " + std::to_string(id) + " is out of range");
        if (slot != 0 && slot != 1) fail("link slot " + std::to_string(slot) + " is not 0 or 1");
        ids[sz(k)] = id;
        slots[sz(k)] = slot;
    }

    void read_step(Part& part, std::string_view line) {
        Scanner sc(line);
        int i = 0;
        double T = 0, p = 0, h = 0, s = 0, rho = 0, q = 0, heat = 0;
        if (!sc.literal(" Results Step") || !sc.integer(i)) fail("malformed Results Step line");
        if (i < 0 || i > MAX_STEPS)
            fail("step index " + std::to_string(i) + " is out of range (0 to " +
                 std::to_string(MAX_STEPS) + ")");
        if (!sc.literal(" T=") || !sc.number(T) || !sc.literal(" P=") || !sc.number(p) ||
            !sc.literal(" h=") || !sc.number(h) || !sc.literal(" s=") || !sc.number(s) ||
            !sc.literal(" rho =") || !sc.number(rho) || !sc.literal(" qq=") || !sc.number(q) ||
            !sc.literal(" Q=") || !sc.number(heat))
            fail("malformed Results Step line");
        part.T[sz(i)] = T;
        part.p[sz(i)] = p;
        part.h[sz(i)] = h;
        part.s[sz(i)] = s;
        part.rho[sz(i)] = rho;
        part.q[sz(i)] = q;
        part.heat[sz(i)] = heat;
        part.state = PS_FINISHED;
    }

    void read_composition(std::string_view line, std::string_view key,
                          std::array<double, MAX_COMPONENTS>& x) {
        Scanner sc(line.substr(line.find(key) + key.size()));
        for (double& v : x) {
            double n = 0.0;
            if (!sc.number(n)) break;
            v = n;
        }
    }

    // ----- structure checks -----------------------------------------------

    // Position of a part in the process, or -1.
    static int position_in(const Process& process, const Part* part) {
        for (int i = 0; i < process.az_parts; ++i)
            if (process.parts[sz(i)] == part) return i;
        return -1;
    }

    void check_process(Process& process) {
        const std::string pname = quoted(process.name);
        bool outlet = false;
        int inlets = 0;
        for (int i = 0; i < process.az_parts; ++i) {
            const Part& part = *process.parts[sz(i)];
            if (part.type == INLET && ++inlets > 1)
                fail("process " + pname + " has a second Inlet");
            if (part.type == OUTLET) outlet = true;
            check_links(process, part);
        }
        if (process.az_parts < 2 || inlets == 0)
            fail("process " + pname + " does not begin with an Inlet followed by its parts");
        if (!outlet) fail("process " + pname + " has no Outlet");
        // Parts written in another order than their links are calculated
        // in the order of their links, from the Inlet on.
        order_by_links(process);
        check_loops(process);
        outlets_last(process);
    }

    // The flow runs from the Inlet to the Outlets: no loop (not even back
    // into a mixer's second inlet), every part reachable from the Inlet.
    // The message names the link line that closes the loop, or the start of
    // the unreachable part.
    void check_loops(const Process& process) {
        const LinkProblem problem = find_link_problem(project_, process);
        if (problem.text.empty()) return;
        const PartLines& at = lines_of_[process.parts[sz(problem.part)]];
        const int line = problem.slot >= 0 && at.next[sz(problem.slot)] > 0
                             ? at.next[sz(problem.slot)]
                             : at.start;
        filescan::fail(line > 0 ? line : lines_.number(), problem.text);
    }

    // Outlets go to the end of the part list, in their order; the others
    // keep theirs.
    static void outlets_last(Process& process) {
        std::stable_partition(process.parts.begin(), process.parts.begin() + process.az_parts,
                              [](const Part* part) { return part->type != OUTLET; });
    }

    void check_links(const Process& process, const Part& part) {
        const std::string who =
            "part " + quoted(part.name) + " (id " + std::to_string(part.id) + ")";
        for (int k = 0; k < 2; ++k) {
            if (int nid = part.next_id[sz(k)]; nid != 0) {
                const Part* next = part_by_id(&project_, nid);
                if (nid < 0 || next == nullptr || position_in(process, next) < 0)
                    fail(who + " links to part " + std::to_string(nid) +
                         ", which its process does not hold");
                int m = part.next_inlet[sz(k)];
                if (next->prev_id[sz(m)] != part.id || next->prev_outlet[sz(m)] != k)
                    fail(who + " and part " + std::to_string(nid) + " do not link to each other");
            }
            if (int pid = part.prev_id[sz(k)]; pid != 0) {
                if (pid == -1 && k == 1 && part.type == MIXER) continue;  // not yet connected
                const Part* prev = part_by_id(&project_, pid);
                if (pid < 0 || prev == nullptr || position_in(process, prev) < 0)
                    fail(who + " links to part " + std::to_string(pid) +
                         ", which its process does not hold");
                int o = part.prev_outlet[sz(k)];
                if (prev->next_id[sz(o)] != part.id || prev->next_inlet[sz(o)] != k)
                    fail(who + " and part " + std::to_string(pid) + " do not link to each other");
            }
        }
        if (part.type != INLET && part.prev_id[0] <= 0) fail(who + " has no predecessor");
    }

    // ----- interfaces -----------------------------------------------------

    void read_interface() {
        InterfacePtr itf(create_interface());
        bool have_id = false;
        std::string_view line;
        Block block(lines_, "interface");
        while (block.next(line)) {
            auto t = split(line);
            std::string_view key = t[0];
            if (contains(key, "Name")) {
                itf->name = std::string(token(t, 1));
            } else if (contains(line, " ID =")) {
                int id = 0;
                if (!parse_int(token(t, 1), id)) fail("malformed interface ID line");
                if (id < 1 || id > MAX_FILE_ID)
                    fail("interface id " + std::to_string(id) + " is out of range");
                for (int i = 0; i < project_.az_interfaces; ++i)
                    if (project_.interfaces[sz(i)]->id == id)
                        fail("interface id " + std::to_string(id) + " is used twice");
                itf->id = id;
                if (new_interface_id <= id) new_interface_id = id + 1;
                have_id = true;
            } else if (contains(line, "  Hot Side : ")) {
                read_side(line, "  Hot Side : Process ID ", itf->hot_process_id, itf->hot_part_id);
            } else if (contains(line, "  Cold Side: ")) {
                read_side(line, "  Cold Side: Process ID ", itf->cold_process_id,
                          itf->cold_part_id);
            } else if (contains(line, "  Option")) {
                const int o = read_option(interface_options, t);
                itf->options[sz(o)] = find_choice(interface_options[sz(o)], token(t, 3));
            } else if (contains(key, "Input Value")) {
                int i = find_value_def(interface_input_values_def, token(t, 1));
                if (i >= 0)
                    read_input_value(lines_.number(), interface_input_values_def[sz(i)],
                                     token(t, 3), itf->inputs[sz(i)], itf->input_units[sz(i)],
                                     warnings_);
            } else if (contains(key, OUTPUT_UNIT_KEY)) {
                read_output_unit(t, interface_output_values_def, itf->output_units);
            } else if (equal_nocase(key, "Output Value")) {
                int j = find_value_def(interface_output_values_def, token(t, 1));
                if (j >= 0)
                    read_result(lines_.number(), token(t, 1), token(t, 3),
                                interface_output_values_def[sz(j)].quantity, itf->outputs[sz(j)],
                                itf->output_units[sz(j)]);
            }
        }
        if (!block.closed()) fail("the interface block has no end");
        if (!have_id) fail("the interface has no ID line");
        if (project_.az_interfaces >= MAX_INTERFACES)
            fail("more than " + std::to_string(MAX_INTERFACES) + " interfaces");
        Part* hot = side_part(*itf, itf->hot_process_id, itf->hot_part_id, "hot");
        Part* cold = side_part(*itf, itf->cold_process_id, itf->cold_part_id, "cold");
        if (hot == cold) fail("interface " + quoted(itf->name) + " couples a part with itself");
        // The mark of a heat exchanger driven by an interface, and the
        // pictures of its sides.
        hot->options[OPT_OUTLET_TEMPERATURE] = DETERMINED_BY_INTERFACE;
        cold->options[OPT_OUTLET_TEMPERATURE] = DETERMINED_BY_INTERFACE;
        hot->icon = HEAT_SOURCE_ICON;
        cold->icon = HEAT_SINK_ICON;
        append_interface(project_, itf.release());
    }

    void read_side(std::string_view line, std::string_view pattern, int& process_id, int& part_id) {
        Scanner sc(line);
        if (!sc.literal(pattern) || !sc.integer(process_id) || !sc.literal(" Part ID") ||
            !sc.integer(part_id))
            fail("malformed interface side line");
    }

    Part* side_part(const Interface& itf, int process_id, int part_id, const char* side) {
        const std::string who =
            "the " + std::string(side) + " side of interface " + quoted(itf.name);
        const Process* process = nullptr;
        for (int i = 0; i < project_.az_processes; ++i)
            if (project_.processes[sz(i)]->id == process_id) process = project_.processes[sz(i)];
        if (process == nullptr)
            fail(who + " names process " + std::to_string(process_id) + ", which is not there");
        Part* part = part_by_id(&project_, part_id);
        if (part == nullptr || position_in(*process, part) < 0)
            fail(who + " names part " + std::to_string(part_id) + ", which process " +
                 std::to_string(process_id) + " does not hold");
        if (part->type != HEAT_EXCHANGER && part->type != INTERCOOLER)
            fail(who + " is part " + quoted(part->name) + ", which is not a heat exchanger");
        for (int i = 0; i < project_.az_interfaces; ++i) {
            const Interface* other = project_.interfaces[sz(i)];
            if (other->hot_part_id == part_id || other->cold_part_id == part_id)
                fail(who + " is part " + quoted(part->name) + ", which interface " +
                     quoted(other->name) + " couples already");
        }
        return part;
    }

    Lines lines_;
    Project& project_;
    const ReadOptions& options_;
    bool update_;
    std::vector<std::string> warnings_;
    // Where each part's block starts and its two "Next Part ID" lines.
    struct PartLines {
        int start = 0;
        std::array<int, 2> next{};
    };
    std::map<const Part*, PartLines> lines_of_;
};

}  // namespace

Project* read_project_text(std::string_view text, const std::string& filename, std::string& error,
                           const ReadOptions& options) {
    error.clear();
    text = without_byte_order_mark(text);
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        error = "the file is empty, it holds no project";
        return nullptr;
    }
    if (std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
        error = "the file is not a project file: it holds binary data (a zero byte at offset " +
                std::to_string(nul) + ")";
        return nullptr;
    }
    Lines first(text);
    std::string_view line;
    first.next(line);
    std::string_view version = token(split(line), 1);
    if (split(line).size() < 3 || !contains(version, "2.0")) {
        print_message("Converting from old input format \n");
        return readinput_old(text, filename, error, options);
    }
    bool update = !contains(version, "2.0.8") && !contains(version, "2.0.5");

    Project* saved = current_project;
    Project* project = create_project();
    current_project = project;
    project->filename = filename;
    ProjectReader reader(text, *project, options, update);
    try {
        reader.run();
    } catch (const ReadError& e) {
        error = "line " + std::to_string(e.line) + ": " + e.text;
        free_project(project);
        current_project = saved;
        return nullptr;
    }
    for (const std::string& w : reader.warnings()) status_message(ML_WARNING, "%s\n", w.c_str());
    calc_overall_efficiency(*project);
    current_project = project;
    return project;
}

Project* readinput(const std::string& path) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const std::string reason = errno != 0 ? std::strerror(errno) : "it cannot be opened";
        if (batchmode)
            showmessage("Could not open file '%s'", path.c_str());
        else
            showmessage("Error reading input file %s: %s\n", path.c_str(), reason.c_str());
        return nullptr;
    }
    std::string text;
    char buf[65536];
    errno = 0;
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        text.append(buf, static_cast<std::size_t>(in.gcount()));
        if (text.size() > MAX_FILE_SIZE) {
            showmessage("Error reading input file %s: the file is larger than %zu bytes",
                        path.c_str(), MAX_FILE_SIZE);
            return nullptr;
        }
    }
    if (text.empty() && errno == EISDIR) {
        showmessage("Error reading input file %s: it is a folder, not a file", path.c_str());
        return nullptr;
    }
    std::string error;
    Project* project = read_project_text(text, path, error);
    if (project == nullptr)
        showmessage("Error reading input file %s: %s", path.c_str(), error.c_str());
    return project;
}

}  // namespace app
