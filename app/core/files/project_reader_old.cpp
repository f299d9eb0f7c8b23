// Project files older than version 2.0: one process as a positional list of
// lines, one value per line, without keys; and the update of older files
// (a new Inlet first and Outlet last in each process).
//
// The first line tells the variant: a seventh character "E" the numbered
// parts (A), else a ninth character "T" the named parts (B), else the
// pipeline list (C). Then the fluid (A: its number in the fluid list; B, C:
// "Fluid : NAME"), the inlet mass flow (kg/s), temperature (K) and
// pressure (kPa), the number of parts, and per part a separator line, a
// type line and its values in the order of its type (see the tables
// below). Choices are counted from 1 in the file.
//
// A file that ends early keeps the defaults of the values not read, and
// says where it ended; a line that does not hold what its place asks for
// refuses the file with the line and the reason.
#include "app/core/files/filehandling.h"
#include "app/core/files/filehandling_scan.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/core/program/text_output.h"
#include "app/core/solver/simulator.h"

#include <array>
#include <string>

namespace app {

using namespace filescan;

namespace {

// Lines are read up to this many characters.
constexpr std::size_t OLD_LINE_LIMIT = 199;
// Fluids a file of variant B may name: the first six of the list.
constexpr int VARIANT_B_FLUIDS = 6;

enum Variant { NUMBERED, NAMED, PIPELINES };

// The old format's part type names (variant B) and the types they become.
struct OldType {
    const char* name;
    int type;
};
constexpr std::array<OldType, 9> TYPE_NAMES = {{
    {"Compressor", COMPRESSOR},
    {"Pump", COMPRESSOR},
    {"Expander", TURBINE},
    {"Turbine", TURBINE},
    {"Intercooler", INTERCOOLER},
    {"Heat_exchanger", HEAT_EXCHANGER},
    {"Condenser", CONDENSER},
    {"Pipeline", PIPELINE},
    {"Presssure_Loss_Element", PRESSURE_LOSS_ELEMENT},
}};

// The numbered parts of variant A (codes 1 to 5).
constexpr std::array<int, 5> OLD_CODES = {COMPRESSOR, INTERCOOLER, PIPELINE, EXPANDER, CONDENSER};

// Pipeline outlet choices of the file (1 temperature, 2 heat flux) as the
// pipeline's option (0 heat flux, 1 temperature).
constexpr std::array<int, 2> PIPELINE_OUTLET = {1, 0};

class OldReader {
public:
    OldReader(std::string_view text, Project& project, const ReadOptions& options)
        : lines_(text), project_(project), options_(options) {}

    void run() {
        std::string_view line;
        lines_.next(line);
        line = line.substr(0, OLD_LINE_LIMIT);
        variant_ = line.size() > 6 && line[6] == 'E'   ? NUMBERED
                   : line.size() > 8 && line[8] == 'T' ? NAMED
                                                       : PIPELINES;
        Process* process = create_process(1);
        process->name = "Process 1";
        append_process(project_, process);
        read_inlet(*process);
        int n = 0;
        if (integer("the number of parts", n) && (n < 0 || n > MAX_PARTS - 2))
            fail(lines_, "the number of parts " + std::to_string(n) + " is not between 0 and " +
                             std::to_string(MAX_PARTS - 2));
        for (int k = 1; k <= n && !ended_; ++k) read_part(*process, k);
        if (!update_process(*process)) fail(lines_, "the process has too many parts");
        if (ended_)
            warnings_.push_back("The file ends at line " + std::to_string(lines_.number()) +
                                ", before " + missing_ +
                                "; the values from there on keep their defaults.");
    }

    const std::vector<std::string>& warnings() const { return warnings_; }

private:
    Lines lines_;
    Project& project_;
    const ReadOptions& options_;
    Variant variant_ = PIPELINES;
    bool ended_ = false;
    std::string missing_;  // what the file ended before
    std::vector<std::string> warnings_;

    // The next line, cut to the line limit; false (the file has ended before
    // `what`) at the end of the text.
    bool next(const std::string& what, std::string_view& line) {
        if (ended_) return false;
        if (!lines_.next(line)) {
            ended_ = true;
            missing_ = what;
            return false;
        }
        line = line.substr(0, OLD_LINE_LIMIT);
        return true;
    }

    bool integer(const std::string& what, int& value) {
        std::string_view line;
        if (!next(what, line)) return false;
        Scanner sc(line);
        if (!sc.integer(value))
            fail(lines_, quoted(trim(line)) + " is not a whole number (" + what + ")");
        return true;
    }

    // The unit of a quantity in which values are stored (factor 1, no
    // offset): the old format's numbers are in it.
    static int internal_unit(int quantity) {
        for (int u = 0; u < unit_count(quantity); ++u) {
            const Unit& unit = unitdef[sz(quantity)].units[sz(u)];
            if (unit.factor == 1.0 && unit.offset == 0.0) return u;
        }
        return 0;
    }

    // A number for an input row: internal unit, physical sense and bounds as
    // a project file's values.
    bool number(const std::string& what, const ValueDef& row, double& value) {
        std::string_view line;
        if (!next(what, line)) return false;
        Scanner sc(line);
        double v = 0;
        if (!sc.number(v)) fail(lines_, quoted(trim(line)) + " is not a number (" + what + ")");
        int internal = internal_unit(row.quantity);
        const std::string text = number_text(v) + " " + unit_symbol(row.quantity, internal);
        read_input_value(lines_.number(), row, text, value, internal, warnings_);
        return true;
    }
    bool number(const ValueDef& row, double& value) { return number(row.name, row, value); }
    bool input(Part& part, int row) {
        return number(part_input_values_def[sz(row)], part.inputs[sz(row)]);
    }

    // A choice among `count` choices counted from `first`; -1 at the end of
    // the file.
    int choice(const std::string& what, int count, int first = 1) {
        int c = 0;
        if (!integer(what, c)) return -1;
        if (c < first || c >= first + count)
            fail(lines_, "choice " + std::to_string(c) + " is not between " +
                             std::to_string(first) + " and " + std::to_string(first + count - 1) +
                             " (" + what + ")");
        return c;
    }

    // ----- the fluid and the inlet ------------------------------------------

    void read_inlet(Process& process) {
        read_fluid(process);
        number("the inlet mass flow", process_input_values_def[PRI_MASSFLOW],
               process.inputs[PRI_MASSFLOW]);
        number("the inlet temperature", process_input_values_def[PRI_TEMPERATURE],
               process.inputs[PRI_TEMPERATURE]);
        number("the inlet pressure", process_input_values_def[PRI_PRESSURE],
               process.inputs[PRI_PRESSURE]);
    }

    void read_fluid(Process& process) {
        if (variant_ == NUMBERED) {
            int index = 0;
            if (!integer("the fluid number", index)) return;
            if (fluids[index] == nullptr)
                fail(lines_, "fluid number " + std::to_string(index) + " is not one of the " +
                                 std::to_string(az_fluids()) + " fluids (0 to " +
                                 std::to_string(az_fluids() - 1) + ")");
            process.fluid = fluids[index];
            return;
        }
        std::string_view line;
        if (!next("the fluid", line)) return;
        Scanner sc(line);
        if (!sc.literal(" Fluid : ")) fail(lines_, quoted(trim(line)) + " is not 'Fluid : NAME'");
        Fluid* f = find_fluid_exact(lines_.number(), trim(sc.rest()), "working fluid");
        if (variant_ == NAMED && fluids.index_of(f) >= VARIANT_B_FLUIDS)
            fail(lines_, "fluid " + quoted(f->name) +
                             " is not one of the six fluids of this file format (Air, Dry ISO "
                             "Air, Humid ISO Air, Humid Air (Relative Humidity), Water, Steam)");
        process.fluid = f;
    }

    // ----- parts ------------------------------------------------------------

    void read_part(Process& process, int k) {
        std::string_view line;
        if (!next("the separator of part " + std::to_string(k), line)) return;
        const std::string what = "the type of part " + std::to_string(k);
        int type = PIPELINE;
        if (variant_ == NUMBERED) {
            int code = 0;
            if (!integer(what, code)) return;
            if (code < 1 || code > static_cast<int>(OLD_CODES.size()))
                fail(lines_, "part code " + std::to_string(code) + " is not between 1 and 5");
            type = OLD_CODES[sz(code - 1)];
        } else {
            if (!next(what, line)) return;
            Scanner sc(line);
            if (!sc.literal(" Typ: ")) fail(lines_, quoted(trim(line)) + " is not 'Typ: NAME'");
            if (variant_ == NAMED) type = named_type(trim(sc.rest()));
        }
        if (process.az_parts >= MAX_PARTS - 2) fail(lines_, "too many parts");
        Part* part = create_part(type);
        part->fluid = process.fluid;
        append_part(process, part);
        switch (variant_) {
            case NUMBERED: numbered_values(*part); break;
            case NAMED: named_values(*part); break;
            case PIPELINES: pipeline_list_values(*part); break;
        }
    }

    int named_type(std::string_view name) {
        for (const OldType& t : TYPE_NAMES)
            if (name == t.name) return t.type;
        std::string names;
        for (const OldType& t : TYPE_NAMES)
            names += std::string(names.empty() ? "" : ", ") + t.name;
        fail(lines_, "unknown part type " + quoted(name) + "; the types are " + names);
    }

    // A choice, then the value of the input it selects; the option takes the
    // choice counted from 0.
    void option_and_value(Part& part, int option, const std::string& what,
                          std::array<int, 2> inputs) {
        const int c = choice(what, 2);
        if (c < 0) return;
        part.options[sz(option)] = c - 1;
        input(part, inputs[sz(c - 1)]);
    }
    void pressure_loss(Part& part) {
        option_and_value(part, OPT_PRESSURE_LOSS, "the pressure-loss choice",
                         {PI_ABSOLUTE_PRESSURE_LOSS, PI_RELATIVE_PRESSURE_LOSS});
    }
    void leakage(Part& part) {
        option_and_value(part, OPT_LEAKAGE, "the leakage choice",
                         {PI_ABSOLUTE_LEAKAGE, PI_RELATIVE_LEAKAGE});
    }
    void outlet_temperature(Part& part) {
        option_and_value(part, OPT_OUTLET_TEMPERATURE, "the outlet-temperature choice",
                         {PI_OUTLET_TEMPERATURE, PI_SPECIFIC_HEAT_FLUX});
    }
    // A pipeline's choice (1 temperature, 2 heat flux) as its own option.
    void pipeline_outlet(Part& part, bool value_is_heat_flux) {
        const int c = choice("the outlet-temperature choice", 2);
        if (c < 0) return;
        part.options[OPT_OUTLET_TEMPERATURE] = PIPELINE_OUTLET[sz(c - 1)];
        input(part, value_is_heat_flux || c == 2 ? PI_SPECIFIC_HEAT_FLUX : PI_OUTLET_TEMPERATURE);
    }
    void steps(Part& part) {
        int n = 0;
        if (!integer("the number of steps", n)) return;
        if (n < 1 || n > MAX_STEPS)
            fail(lines_, "the number of steps " + std::to_string(n) + " is not between 1 and " +
                             std::to_string(MAX_STEPS));
        part.steps = n;
    }
    void segmentation(Part& part) {
        const int c = choice("the segmentation", 2);
        if (c > 0) part.segmentation = c - 1;
    }
    // The pipeline's factor of its loss and heat flux: a number not below 0.
    void old_value(Part& part) {
        const std::string what = "the pipeline's length factor";
        std::string_view line;
        if (!next(what, line)) return;
        Scanner sc(line);
        double v = 0;
        if (!sc.number(v) || v < 0)
            fail(lines_, quoted(trim(line)) + " is not a number of at least 0 (" + what + ")");
        part.old_value = v;
    }
    // The efficiency choice then its value; `polytropic_first` for the
    // named parts (1 polytropic, 2 isentropic), else 1 isentropic, 2
    // polytropic.
    void efficiency(Part& part, bool polytropic_first) {
        const int c = choice("the efficiency choice", 2);
        if (c < 0) return;
        const int option = polytropic_first ? 2 - c : c - 1;
        part.options[OPT_EFFICIENCY] = option;
        input(part, option == 0 ? PI_ISENTROPIC_EFFICIENCY : PI_POLYTROPIC_EFFICIENCY);
    }

    // Variant A. The pressure of codes 1 and 4 is an outlet pressure: the
    // machine takes its outlet pressure (the Part's "Expansion 0" would
    // calculate with the default ratio instead).
    void numbered_values(Part& part) {
        switch (part.type) {
            case COMPRESSOR:
            case EXPANDER:
                part.options[part.type == COMPRESSOR ? OPT_COMPRESSION : OPT_EXPANSION] = 1;
                input(part, PI_OUTLET_PRESSURE);
                efficiency(part, false);
                steps(part);
                segmentation(part);
                leakage(part);
                break;
            case INTERCOOLER: {
                // The choice is kept as read (1 relative); the loss goes
                // where the choice points.
                const int c = choice("the pressure-loss choice", 2, 0);
                if (c < 0) break;
                part.options[OPT_PRESSURE_LOSS] = c;
                input(part, c == 0 ? PI_ABSOLUTE_PRESSURE_LOSS : PI_RELATIVE_PRESSURE_LOSS);
                outlet_temperature(part);
                steps(part);
                leakage(part);
                break;
            }
            case PIPELINE:
                pressure_loss(part);
                pipeline_outlet(part, false);
                steps(part);
                leakage(part);
                old_value(part);
                break;
            default:  // CONDENSER
                pressure_loss(part);
                steps(part);
                leakage(part);
                break;
        }
    }

    // Variant B.
    void named_values(Part& part) {
        switch (part.type) {
            case COMPRESSOR: {
                const int c = choice("the compression choice", 2, 0);
                if (c < 0) break;
                part.options[OPT_COMPRESSION] = c;
                input(part, c == 0 ? PI_PRESSURE_RATIO_OUT_IN : PI_OUTLET_PRESSURE);
                machine_tail(part);
                break;
            }
            case TURBINE: {
                // File 1 outlet pressure, 2 ratio in/out, 0 ratio out/in.
                constexpr std::array<int, 3> option = {2, 1, 0};
                constexpr std::array<int, 3> row = {PI_PRESSURE_RATIO_OUT_IN_LT1,
                                                    PI_OUTLET_PRESSURE, PI_PRESSURE_RATIO_IN_OUT};
                const int c = choice("the expansion choice", 3, 0);
                if (c < 0) break;
                part.options[OPT_EXPANSION] = option[sz(c)];
                input(part, row[sz(c)]);
                machine_tail(part);
                break;
            }
            case INTERCOOLER:
            case HEAT_EXCHANGER:
                pressure_loss(part);
                outlet_temperature(part);
                steps(part);
                leakage(part);
                break;
            case PIPELINE: {
                pressure_loss(part);
                pipeline_outlet(part, false);
                steps(part);
                const int c = choice("the leakage choice", 2);
                if (c < 0) break;
                part.options[OPT_LEAKAGE] = c - 1;
                input(part, PI_ABSOLUTE_LEAKAGE);
                input(part, c == 1 ? PI_ABSOLUTE_LEAKAGE : PI_RELATIVE_LEAKAGE);
                break;
            }
            default:  // CONDENSER, PRESSURE_LOSS_ELEMENT
                pressure_loss(part);
                steps(part);
                leakage(part);
                break;
        }
    }

    void machine_tail(Part& part) {
        efficiency(part, true);
        steps(part);
        segmentation(part);
        leakage(part);
    }

    // Variant C: every part a pipeline.
    void pipeline_list_values(Part& part) {
        pressure_loss(part);
        pipeline_outlet(part, true);
        steps(part);
        leakage(part);
        old_value(part);
    }
};

}  // namespace

bool update_process(Process& process) {
    if (process.az_parts + 2 > MAX_PARTS) return false;
    insert_part(process, 0, create_part(INLET));
    append_part(process, create_part(OUTLET));
    for (int i = 0; i < process.az_parts; ++i) {
        Part& part = *process.parts[sz(i)];
        part.fluid = process.fluid;
        if (i > 0) {
            part.prev_id[0] = process.parts[sz(i - 1)]->id;
            part.prev_outlet[0] = 0;
        }
        if (i + 1 < process.az_parts) {
            part.next_id[0] = process.parts[sz(i + 1)]->id;
            part.next_inlet[0] = 0;
        }
    }
    return true;
}

bool update_project(Project& project) {
    for (int i = 0; i < project.az_processes; ++i)
        if (project.processes[sz(i)] != nullptr && !update_process(*project.processes[sz(i)]))
            return false;
    return true;
}

Project* readinput_old(std::string_view text, const std::string& filename, std::string& error,
                       const ReadOptions& options) {
    error.clear();
    text = without_byte_order_mark(text);
    Project* saved = current_project;
    Project* project = create_project();
    current_project = project;
    project->filename = filename;
    OldReader reader(text, *project, options);
    try {
        reader.run();
    } catch (const ReadError& e) {
        error = "line " + std::to_string(e.line) + ": " + e.text;
        free_project(project);
        current_project = saved;
        return nullptr;
    }
    for (const std::string& w : reader.warnings()) status_message(ML_WARNING, "%s\n", w.c_str());
    if (options.use_library) prepareProcess(*project->processes[0], false);
    calc_overall_efficiency(*project);
    current_project = project;
    return project;
}

}  // namespace app
