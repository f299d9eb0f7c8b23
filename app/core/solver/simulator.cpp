// The cycle solver: sweeps over the parts of every process, the part
// dispatch, and the hand-over of states between parts.
#include "app/core/solver/simulator.h"

#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/program/text_output.h"
#include "app/core/solver/combustor.h"
#include "app/core/solver/heat_exchangers.h"
#include "app/core/solver/interface_coupling.h"
#include "app/core/solver/mixer_splitter.h"
#include "app/core/solver/part_memory.h"
#include "app/core/solver/turbo.h"
#include "app/core/solver/water_separator.h"
#include "library/library.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <string>

namespace app {

int az_converged = 0;
std::atomic<int> show_progress = 0;
int phase_warning = 0;
std::atomic<int> stop_watching = 0;
std::atomic<int> library_busy = 0;
void (*before_part_hook)(const Part& part) = nullptr;
int interface_hot_retries = 0;
int sweep_limit = 5000;
InterfaceCalculation interface_calculation = calc_interface;

namespace {

// The project calc_all works on, while it runs.
std::atomic<const Project*> calculating{nullptr};

const char* name_of(const Fluid* f) { return f != nullptr ? f->name.c_str() : "(none)"; }

// The part with this id in the process with this id, or null.
Part* find_part(const Project& project, int process_id, int part_id) {
    for (int i = 0; i < project.az_processes; ++i) {
        const Process* proc = project.processes[sz(i)];
        if (proc == nullptr || proc->id != process_id) continue;
        for (int k = 0; k < proc->az_parts; ++k) {
            Part* part = proc->parts[sz(k)];
            if (part != nullptr && part->id == part_id) return part;
        }
    }
    return nullptr;
}

// Seeds one heat exchanger of an interface by its initialization mode.
void seed_interface(const Project& project, Interface& itf) {
    itf.status = IS_PENDING;
    itf.last_T_hot = itf.last_T_cold = 0;
    itf.residual = itf.first_residual = 0;
    itf.last_effectiveness = itf.last_heat_flux = 0;
    itf.older_T_hot = itf.older_T_cold = 0;
    itf.step_count = 0;
    Part* hot = find_part(project, itf.hot_process_id, itf.hot_part_id);
    Part* cold = find_part(project, itf.cold_process_id, itf.cold_part_id);
    if (hot == nullptr || cold == nullptr) return;
    switch (itf.options[IOPT_INITIALIZATION_MODE]) {
        case 0:
            hot->state = PS_SEED_TEMPERATURE_DIFFERENCE;
            hot->init_dT = itf.inputs[II_INITIAL_TEMPERATURE_DIFFERENCE];
            break;
        case 1:
            cold->state = PS_SEED_TEMPERATURE_DIFFERENCE;
            cold->init_dT = itf.inputs[II_INITIAL_TEMPERATURE_DIFFERENCE];
            break;
        case 2:
            hot->state = PS_SEED_TEMPERATURE;
            hot->init_T = itf.inputs[II_INITIAL_TEMPERATURE];
            break;
        case 3:
            cold->state = PS_SEED_TEMPERATURE;
            cold->init_T = itf.inputs[II_INITIAL_TEMPERATURE];
            break;
        case 4:
            cold->state = PS_SEED_HEAT_FLUX;
            cold->init_heat_flux = itf.inputs[II_INITIAL_HEAT_FLUX];
            break;
        default: break;
    }
}

bool provisional(const Part& p) {
    return (p.state == PS_PROVISIONAL && p.final_flag == 0) || p.state == PS_INTERFACE_ITERATING;
}

// One part in one sweep: CS_RUNNING to go on, CS_FAILED to stop the calculation.
int part_step(Project& project, Process& process, Part& part) {
    if (part.state == PS_FINISHED || part.state == PS_INTERFACE_ITERATING) return CS_RUNNING;
    Part* pred = part_by_id(&project, part.prev_id[0]);
    Part* pred2 = part.type == MIXER ? part_by_id(&project, part.prev_id[1]) : nullptr;
    if (pred == nullptr) {
        status_message(ML_ERROR, "Part \"%s\" of process \"%s\" has no predecessor.\n",
                       part.name.c_str(), process.name.c_str());
        return CS_FAILED;
    }
    init_part_from_predecessor(part, *pred);
    if (before_part_hook != nullptr) before_part_hook(part);
    print_message("Calculating process \"%s\" part \"%s\"  - ", process.name.c_str(),
                  part.name.c_str());
    if (init_stoffwerte(part.fluid) == 0) {
        status_message(ML_ERROR, "Fluid \"%s\" of part \"%s\" could not be set up.\n",
                       name_of(part.fluid), part.name.c_str());
        print_message(" part failed, stopping calculation.\n");
        return CS_FAILED;
    }
    const int r = calc_part(part);
    if (calculation_cancelled()) {
        // The part stopped halfway or has just ended: the calculation
        // stops here, and a part cut short counts as not yet calculated.
        if (r != PS_FINISHED) {
            part.state = PS_PENDING;
            part.failure_text.clear();
        }
        print_message(" cancelled.\n");
        return CS_FAILED;
    }

    bool unsettled = provisional(*pred);
    if (!unsettled && pred2 != nullptr)
        unsettled = provisional(*pred2) || pred2->state == PS_PENDING;
    if (unsettled) {
        switch (r) {
            case PS_FINISHED: print_message(" calculation okay, but results not final.\n"); break;
            case PS_FAILED:
                print_message(" failed, ignoring part for now.\n");
                ignore_part(part);
                break;
            case PS_PROVISIONAL: print_message(" provisional results.\n"); break;
            default: status_message(ML_ERROR, " Undefined case \n"); return CS_FAILED;
        }
        part.state = PS_PROVISIONAL;
        return CS_RUNNING;
    }
    if ((pred->state != PS_FINISHED && pred->final_flag == 0) ||
        (pred2 != nullptr && pred2->state != PS_FINISHED && pred2->final_flag == 0)) {
        status_message(ML_ERROR, "Last part in unexpected state, contact support \n");
        return CS_FAILED;
    }
    part.state = r;
    switch (r) {
        case PS_FINISHED:
            ++az_converged;
            print_message(" finished.\n");
            return CS_RUNNING;
        case PS_PROVISIONAL: print_message(" provisional results.\n"); return CS_RUNNING;
        case PS_FAILED:
            if (!part.failure_text.empty())
                status_message(ML_ERROR, "%s", part.failure_text.c_str());
            print_message(" part failed, stopping calculation.\n");
            return CS_FAILED;
        default: status_message(ML_ERROR, " Undefined case \n"); return CS_FAILED;
    }
}

// An interface may settle while the part before one of its heat exchangers
// still moves (the gas of a heat recovery boiler passes its superheater,
// evaporator and economiser in turn, and the steam the other way): the
// parts it finished then keep their old inlet.  Such an interface runs
// again, and what follows its exchangers is calculated again (a combined
// cycle of four coupled exchangers finished with its economiser's gas
// 1.1 mK and its superheater's steam 0.012 kJ/kg off the outlets before).
// A part may finish on a predecessor whose temperature is final but whose
// flow is not (a heat exchanger of fixed outlet temperature after a mixer
// still waiting for its second stream): it is calculated again when its
// inlet moves (a condensate pump after 5 kg/s of turbine condensate and
// 3 kg/s of process heater drain finished on 5 kg/s, its power 38 % low).
constexpr double STALE_INLET = 1e-10;  // relative change that reopens an interface or a part
constexpr int MAX_REOPENINGS = 200;    // per interface or part and calculation

bool differs(double a, double b) {
    return std::fabs(a - b) > STALE_INLET * std::max({std::fabs(a), std::fabs(b), 1.0});
}

// Whether the part's inlet is no longer its predecessor's outlet: pressure,
// enthalpy and mass flow (a turbo machine finds its inlet temperature
// again from the first two), and for a heat exchanger the temperature.
bool stale_inlet(const Project& project, const Part& part) {
    const Part* pred = part_by_id(&project, part.prev_id[0]);
    if (pred == nullptr) return false;
    const std::array<double, NUM_PART_OUTPUTS>& o = pred->outputs;
    const bool second = part.prev_outlet[0] == 1;
    const bool exchanger = part.type == HEAT_EXCHANGER || part.type == INTERCOOLER;
    return (exchanger &&
            differs(part.T[0], o[second ? PO_2_OUTLET_TEMPERATURE : PO_OUTLET_TEMPERATURE])) ||
           differs(part.p[0], o[second ? PO_2_OUTLET_PRESSURE : PO_OUTLET_PRESSURE]) ||
           differs(part.h[0], o[second ? PO_2_OUTLET_ENTHALPY : PO_OUTLET_ENTHALPY]) ||
           differs(part.outputs[PO_INLET_MASSFLOW],
                   o[second ? PO_2_OUTLET_MASSFLOW : PO_OUTLET_MASSFLOW]);
}

// The same for a mixer's second inlet.
bool stale_second_inlet(const Project& project, const Part& part) {
    if (part.type != MIXER) return false;
    const Part* pred = part_by_id(&project, part.prev_id[1]);
    if (pred == nullptr) return false;
    const std::array<double, NUM_PART_OUTPUTS>& o = pred->outputs;
    const std::array<double, NUM_PART_OUTPUTS>& io = part.outputs;
    const bool second = part.prev_outlet[1] == 1;
    return differs(io[PO_2_INLET_PRESSURE],
                   o[second ? PO_2_OUTLET_PRESSURE : PO_OUTLET_PRESSURE]) ||
           differs(io[PO_2_INLET_ENTHALPY],
                   o[second ? PO_2_OUTLET_ENTHALPY : PO_OUTLET_ENTHALPY]) ||
           differs(io[PO_2_INLET_MASSFLOW], o[second ? PO_2_OUTLET_MASSFLOW : PO_OUTLET_MASSFLOW]);
}

// The interfaces opened again in the running calculation.
std::vector<const Interface*> reopened;

class Reopening {
public:
    explicit Reopening(Project& p) : project(p), count(sz(p.az_interfaces), 0) { reopened.clear(); }
    ~Reopening() { reopened.clear(); }
    Reopening(const Reopening&) = delete;
    Reopening& operator=(const Reopening&) = delete;

    // Reopens every settled interface whose exchangers' inlets moved, and
    // what follows them; true when one was reopened.
    bool sweep() {
        bool any = false;
        for (int i = 0; i < project.az_interfaces; ++i) {
            Interface* itf = project.interfaces[sz(i)];
            if (itf == nullptr || itf->status != IS_CONVERGED) continue;
            Part* hot = find_part(project, itf->hot_process_id, itf->hot_part_id);
            Part* cold = find_part(project, itf->cold_process_id, itf->cold_part_id);
            if (hot == nullptr || cold == nullptr) continue;
            if (!stale_inlet(project, *hot) && !stale_inlet(project, *cold)) continue;
            if (count[sz(i)] >= MAX_REOPENINGS) {
                if (count[sz(i)]++ == MAX_REOPENINGS)
                    status_message(ML_WARNING,
                                   "Interface \"%s\": the inlets of its heat exchangers still "
                                   "moved after it had settled %d times; its results are those of "
                                   "its last run.\n",
                                   itf->name.c_str(), MAX_REOPENINGS);
                continue;
            }
            ++count[sz(i)];
            reopen(*itf);
            any = true;
        }
        for (int i = 0; i < project.az_processes; ++i) {
            Process* proc = project.processes[sz(i)];
            if (proc == nullptr) continue;
            for (int k = 1; k < proc->az_parts; ++k)
                if (recalculate_if_stale(*proc, *proc->parts[sz(k)])) any = true;
        }
        return any;
    }

private:
    Project& project;
    std::vector<int> count;
    std::map<int, int> part_count;  // by part id

    // A finished part (not a coupled exchanger) whose inlet moved is
    // calculated again; what follows it, once its outlet moves.
    bool recalculate_if_stale(const Process& proc, Part& part) {
        if (part.state != PS_FINISHED || interface_of(proc.id, part.id) != nullptr) return false;
        if (!stale_inlet(project, part) && !stale_second_inlet(project, part)) return false;
        int& n = part_count[part.id];
        if (n >= MAX_REOPENINGS) {
            if (n++ == MAX_REOPENINGS)
                status_message(ML_WARNING,
                               "Process \"%s\", part \"%s\": its inlet still moved after it "
                               "had finished %d times; its results are those of its last "
                               "calculation.\n",
                               proc.name.c_str(), part.name.c_str(), MAX_REOPENINGS);
            return false;
        }
        ++n;
        part.state = PS_PENDING;
        --az_converged;
        return true;
    }

    void reopen(Interface& itf) {
        itf.status = IS_ITERATING;
        if (!interface_reopened(itf)) reopened.push_back(&itf);
        az_converged -= 3;  // the interface and its two exchangers
        for (const auto& [process_id, part_id] :
             {std::pair{itf.hot_process_id, itf.hot_part_id},
              std::pair{itf.cold_process_id, itf.cold_part_id}}) {
            Part* part = find_part(project, process_id, part_id);
            part->state = PS_INTERFACE_ITERATING;
            recalculate_after(process_id, part_id);
        }
    }

    // The finished parts after the given one in its process are calculated
    // again; coupled exchangers among them reopen their interfaces.
    void recalculate_after(int process_id, int part_id) {
        for (int i = 0; i < project.az_processes; ++i) {
            Process* proc = project.processes[sz(i)];
            if (proc != nullptr && proc->id == process_id) recalculate_after(*proc, part_id);
        }
    }

    void recalculate_after(Process& proc, int part_id) {
        bool after = false;
        for (int k = 1; k < proc.az_parts; ++k) {
            Part& part = *proc.parts[sz(k)];
            if (!after) {
                after = part.id == part_id;
                continue;
            }
            if (part.state != PS_FINISHED) continue;
            const int process_id = proc.id;
            if (Interface* itf = interface_of(process_id, part.id)) {
                if (itf->status == IS_CONVERGED) reopen(*itf);
                continue;
            }
            part.state = PS_PENDING;
            --az_converged;
        }
    }

    Interface* interface_of(int process_id, int part_id) const {
        for (int i = 0; i < project.az_interfaces; ++i) {
            Interface* itf = project.interfaces[sz(i)];
            if (itf != nullptr &&
                ((itf->hot_process_id == process_id && itf->hot_part_id == part_id) ||
                 (itf->cold_process_id == process_id && itf->cold_part_id == part_id)))
                return itf;
        }
        return nullptr;
    }
};

// Names what is still unsettled after the last sweep.
void report_unsettled(const Project& project, int sweeps) {
    status_message(ML_ERROR, "Calculation did not converge within %d sweeps.\n", sweeps);
    for (int i = 0; i < project.az_processes; ++i) {
        const Process* proc = project.processes[sz(i)];
        if (proc == nullptr) continue;
        for (int k = 1; k < proc->az_parts; ++k) {
            const Part* part = proc->parts[sz(k)];
            if (part == nullptr || part->state == PS_FINISHED ||
                (part->state == PS_PROVISIONAL && part->final_flag != 0))
                continue;
            status_message(ML_ERROR, "Process \"%s\", part \"%s\": results not final (state %d).\n",
                           proc->name.c_str(), part->name.c_str(), part->state.load());
        }
    }
    for (int i = 0; i < project.az_interfaces; ++i) {
        const Interface* itf = project.interfaces[sz(i)];
        if (itf != nullptr && itf->status != IS_CONVERGED)
            status_message(ML_ERROR, "Interface \"%s\" has not converged.\n", itf->name.c_str());
    }
}

// Efficiency input of a turbo machine by its option, or -1 for an unknown
// option.
double efficiency_input(const Part& part) {
    switch (part.options[OPT_EFFICIENCY]) {
        case 0: return part.inputs[PI_ISENTROPIC_EFFICIENCY];
        case 1: return part.inputs[PI_POLYTROPIC_EFFICIENCY];
        default: return -1;
    }
}

// Efficiency and pressure ratio in use of a turbo machine; false with a
// failure text when the efficiency is not positive.
bool prepare_turbo(Part& part) {
    const double eff = efficiency_input(part);
    const int option = part.options[OPT_EFFICIENCY];
    if ((option == 0 || option == 1) && !(eff > 0)) {
        part.failure_text =
            format_text("Efficiency of part %s must be greater than 0\n", part.name.c_str());
        return false;
    }
    const double p0 = part.p[0];
    const bool expansion = part.type == EXPANDER || part.type == TURBINE;
    if (option == 0 || option == 1) part.eta_used = expansion ? 1.0 / eff : eff;
    if (!expansion) {
        if (part.options[OPT_COMPRESSION] == 0)
            part.pr_used = part.inputs[PI_PRESSURE_RATIO_OUT_IN];
        else if (part.options[OPT_COMPRESSION] == 1)
            part.pr_used = part.inputs[PI_OUTLET_PRESSURE] / p0;
    } else {
        switch (part.options[OPT_EXPANSION]) {
            case 0: part.pr_used = 1.0 / part.inputs[PI_PRESSURE_RATIO_IN_OUT]; break;
            case 1: part.pr_used = part.inputs[PI_OUTLET_PRESSURE] / p0; break;
            case 2: part.pr_used = part.inputs[PI_PRESSURE_RATIO_OUT_IN_LT1]; break;
            default: break;
        }
    }
    if (!(part.pr_used > 0) || !std::isfinite(part.pr_used)) {
        part.failure_text =
            format_text("Pressure ratio of part %s must be greater than 0\n", part.name.c_str());
        return false;
    }
    // A turbine or expander lowers the pressure, a compressor or pump raises
    // it.
    if (expansion ? part.pr_used > 1.0 : part.pr_used < 1.0) {
        const ValueDef& row = part_input_values_def[PI_OUTLET_PRESSURE];
        const int u = part.input_units[PI_OUTLET_PRESSURE];
        std::string kind = part_types[sz(part.type)].name;
        for (char& c : kind) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        part.failure_text = format_text(
            "The outlet pressure %s of %s \"%s\" is %s its inlet pressure %s: a %s %s the "
            "pressure.\n",
            format_value(p0 * part.pr_used, row, u).c_str(), kind.c_str(), part.name.c_str(),
            expansion ? "above" : "below", format_value(p0, row, u).c_str(), kind.c_str(),
            expansion ? "lowers" : "raises");
        return false;
    }
    return true;
}

// Every state point and output of the part is a number.
bool finite_results(const Part& part) {
    const std::size_t n = sz(std::clamp(part.steps, 0, MAX_STEPS));
    for (std::size_t i = 0; i <= n; ++i)
        for (double v :
             {part.T[i], part.p[i], part.h[i], part.s[i], part.rho[i], part.q[i], part.heat[i]})
            if (!std::isfinite(v)) return false;
    for (double v : part.outputs)
        if (!std::isfinite(v)) return false;
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// The calculation
// ---------------------------------------------------------------------------

int calcProject(Project& project) {
    phase_warning = 0;
    // The flashes of the calculation start from the states before them.
    const lib::WarmStartScope warm_starts;
    const int r = calc_all(project);
    const bool cancelled = r == CS_FAILED && project.calc_status == CS_CANCEL;
    project.calc_status = r;
    end_calculation(r, cancelled);
    return r;
}

bool interface_reopened(const Interface& itf) {
    return std::find(reopened.begin(), reopened.end(), &itf) != reopened.end();
}

bool calculation_cancelled() {
    const Project* p = calculating.load();
    return p != nullptr && p->calc_status == CS_CANCEL;
}

int cancel_part(Part& part) {
    return fail_part(part, format_text("Calculation of part %s cancelled.\n", part.name.c_str()));
}

void end_calculation(int result, bool cancelled) {
    if (result == CS_FAILED && cancelled)
        status_message(ML_WARNING, "Calculation cancelled.\n");
    else if (result == CS_FAILED)
        status_message(ML_ERROR, "Calculation failed.\n");
    else
        status_message(ML_INFO, "Calculation finished.\n");
    print_message("\n");
    print_message("\n");
    stop_watching = 1;
}

int calc_all(Project& project) {
    struct Running {
        explicit Running(const Project& p) { calculating = &p; }
        ~Running() { calculating = nullptr; }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;
    } running(project);
    const PartMemoryScope memory;
    print_message("Calculating\n");
    az_converged = 0;
    interface_hot_retries = 0;
    // A Cancel pressed while the worker was starting stands.
    if (project.calc_status != CS_CANCEL) project.calc_status = CS_RUNNING;

    int items = 0;
    for (int i = 0; i < project.az_processes; ++i) {
        Process* proc = project.processes[sz(i)];
        if (proc == nullptr) continue;
        proc->done = 0;
        if (prepareProcess(*proc) == CS_FAILED) return CS_FAILED;
        for (int k = 1; k < proc->az_parts; ++k) proc->parts[sz(k)]->state = PS_PENDING;
        items += proc->az_parts - 1;
        proc->parts[0]->state = PS_FINISHED;
    }
    for (int i = 0; i < project.az_interfaces; ++i) {
        Interface* itf = project.interfaces[sz(i)];
        if (itf == nullptr) continue;
        seed_interface(project, *itf);
        ++items;
    }
    if (project.az_interfaces > 0 && interface_calculation == nullptr) {
        status_message(ML_ERROR, "The calculation of interfaces is not available.\n");
        return CS_FAILED;
    }

    show_progress = 1;
    Reopening reopening(project);
    bool complete = false;
    int sweep = 0;
    while (sweep < sweep_limit) {
        ++sweep;
        for (int i = 0; i < project.az_processes; ++i) {
            Process* proc = project.processes[sz(i)];
            if (proc == nullptr || proc->az_parts <= 1) continue;
            if (project.calc_status == CS_CANCEL) return CS_FAILED;
            for (int k = 1; k < proc->az_parts; ++k) {
                if (part_step(project, *proc, *proc->parts[sz(k)]) == CS_FAILED) return CS_FAILED;
                if (k + 1 < proc->az_parts && project.calc_status == CS_CANCEL) return CS_FAILED;
            }
        }
        for (int i = 0; i < project.az_interfaces; ++i) {
            Interface* itf = project.interfaces[sz(i)];
            if (itf == nullptr || itf->status == IS_CONVERGED) continue;
            if (project.calc_status == CS_CANCEL) return CS_FAILED;
            print_message("Calculating interface \"%s\" ", itf->name.c_str());
            const int r = interface_calculation(project, *itf);
            if (project.calc_status == CS_CANCEL) {
                print_message(" cancelled.\n");
                return CS_FAILED;
            }
            if (r == IS_FAILED) return CS_FAILED;
            if (r == IS_CONVERGED) az_converged += 2;
        }
        if (reopening.sweep()) continue;
        if (az_converged >= items) {
            complete = true;
            break;
        }
    }

    for (int i = 0; i < project.az_processes; ++i)
        if (project.processes[sz(i)] != nullptr) finalizeProcess(*project.processes[sz(i)]);
    calc_overall_efficiency(project);
    if (!complete) {
        report_unsettled(project, sweep);
        return CS_FAILED;
    }
    return CS_FINISHED;
}

// ---------------------------------------------------------------------------
// One part
// ---------------------------------------------------------------------------

namespace {
int calculate(Part& part);
}  // namespace

// A turbo machine or heat exchanger calculated again on the inlet and
// settings of its last calculation gives that calculation's results.
int calc_part(Part& part) {
    if (int r = PS_FAILED; recall_calculation(part, r)) return r;
    const PartInlet inlet = inlet_of(part);
    const long said = messages_given();
    const int warned = phase_warning;
    const int r = calculate(part);
    remember_calculation(inlet, part, r, messages_given() == said && phase_warning == warned);
    return r;
}

namespace {

// One part's model, its leakage and its results.
int calculate(Part& part) {
    part.final_flag = 0;
    part.busy = 1;
    part.failure_text.clear();
    part.outputs[PO_LIQUID_WATER_OUT] = 0;
    part.x_out = part.x_in;
    part.outputs[PO_OUTLET_LIQUID_WATER] = part.outputs[PO_INLET_LIQUID_WATER];
    part.outputs[PO_OUTLET_MASSFLOW] = part.outputs[PO_INLET_MASSFLOW];
    auto done = [&part](int r) {
        part.busy = 0;
        return r;
    };
    if (part.steps < 1 || part.steps > MAX_STEPS) {
        part.failure_text = format_text("Part %s has an invalid number of steps (%d)\n",
                                        part.name.c_str(), part.steps);
        return done(PS_FAILED);
    }
    const Fluid* f = current_fluid;
    if (f == nullptr || !(part.p[0] < f->pmax)) {
        const int u = selected_unit[Q_PRESSURE];
        status_message(
            ML_ERROR, "\nTool not designed for such pressure; pressure must be lower than %f %s\n",
            to_display(Q_PRESSURE, u, f != nullptr ? f->pmax : 0.0), unit_symbol(Q_PRESSURE, u));
        return done(PS_FAILED);
    }

    int r = PS_FAILED;
    switch (part.type) {
        case COMPRESSOR:
        case PUMP:
        case EXPANDER:
        case TURBINE: r = prepare_turbo(part) ? calcTurbo(part) : PS_FAILED; break;
        case COMBUSTOR:
        case OXYGEN_INJECTION_COMBUSTOR: r = calcCombustor(part); break;
        case MIXER: r = calcMixer(part); break;
        case SPLITTER: r = calcSplitter(part); break;
        case WATER_SEPARATOR: r = calcWaterseparator(part); break;
        case INTERCOOLER:
        case HEAT_EXCHANGER: r = calcHeatExchanger(part); break;
        case CONDENSER: r = calcCondenser(part); break;
        case PIPELINE: r = calcPipeline(part); break;
        case PRESSURE_LOSS_ELEMENT:
            part.options[OPT_OUTLET_TEMPERATURE] = 1;
            part.inputs[PI_SPECIFIC_HEAT_FLUX] = 0;
            r = calcHeatExchanger(part);
            break;
        case OUTLET: r = PS_FINISHED; break;
        default:
            status_message(ML_ERROR, "calcStage | Type of module not known (%i)\n", part.type);
            return done(PS_FAILED);
    }

    double& m_out = part.outputs[PO_OUTLET_MASSFLOW];
    switch (part.options[OPT_LEAKAGE]) {
        case 0: m_out -= part.inputs[PI_ABSOLUTE_LEAKAGE]; break;
        case 1: m_out *= 1 - part.inputs[PI_RELATIVE_LEAKAGE]; break;
        default:
            status_message(ML_ERROR, " Type of leakage not known in part %s (%i)\n",
                           part.name.c_str(), part.options[OPT_LEAKAGE]);
            r = PS_FAILED;
            break;
    }
    // A leakage that takes the whole stream (absolute or relative) is refused.
    if ((part.options[OPT_LEAKAGE] == 0 || part.options[OPT_LEAKAGE] == 1) && !(m_out > 0)) {
        status_message(ML_ERROR, "Error in part %s, massflow <= 0. Calculation failed\n",
                       part.name.c_str());
        return done(PS_FAILED);
    }
    set_result_values(part);
    if (r != PS_FAILED && !finite_results(part)) {
        part.failure_text = format_text(
            "Part %s: the calculation gave a value that is not a number; its results are not "
            "used.\n",
            part.name.c_str());
        r = PS_FAILED;
    }
    return done(r);
}

}  // namespace

void init_part_from_predecessor(Part& part, const Part& pred) {
    part.fluid = pred.fluid;
    const std::array<double, NUM_PART_OUTPUTS>& o = pred.outputs;
    std::array<double, NUM_PART_OUTPUTS>& io = part.outputs;
    if (part.prev_outlet[0] == 1) {
        part.T[0] = o[PO_2_OUTLET_TEMPERATURE];
        part.p[0] = o[PO_2_OUTLET_PRESSURE];
        part.h[0] = o[PO_2_OUTLET_ENTHALPY];
        part.s[0] = o[PO_2_OUTLET_ENTROPY];
        part.rho[0] = o[PO_2_OUTLET_DENSITY];
        io[PO_INLET_MASSFLOW] = o[PO_2_OUTLET_MASSFLOW];
        part.x_in = pred.x_out2;
        io[PO_INLET_LIQUID_WATER] = o[PO_2_OUTLET_LIQUID_WATER];
    } else {
        part.T[0] = o[PO_OUTLET_TEMPERATURE];
        part.p[0] = o[PO_OUTLET_PRESSURE];
        part.h[0] = o[PO_OUTLET_ENTHALPY];
        part.s[0] = o[PO_OUTLET_ENTROPY];
        part.rho[0] = o[PO_OUTLET_DENSITY];
        part.q[0] = o[PO_OUTLET_HUMIDITY];
        io[PO_INLET_MASSFLOW] = o[PO_OUTLET_MASSFLOW];
        part.x_in = pred.x_out;
        io[PO_INLET_LIQUID_WATER] = o[PO_OUTLET_LIQUID_WATER];
    }
    part.water = pred.water;
}

int fail_part(Part& part, std::string text) {
    part.failure_text = std::move(text);
    return PS_FAILED;
}

void ignore_part(Part& part) {
    const std::size_t n = sz(std::clamp(part.steps, 0, MAX_STEPS));
    part.T[n] = part.T[0];
    part.h[n] = part.h[0];
    part.s[n] = part.s[0];
    part.rho[n] = part.rho[0];
    part.q[n] = part.q[0];
    part.outputs[PO_OUTLET_TEMPERATURE] = part.T[0];
    part.outputs[PO_OUTLET_ENTHALPY] = part.h[0];
    part.outputs[PO_OUTLET_ENTROPY] = part.s[0];
    part.outputs[PO_OUTLET_DENSITY] = part.rho[0];
    part.outputs[PO_OUTLET_HUMIDITY] = part.q[0];
    part.outputs[PO_OUTLET_MASSFLOW] = part.outputs[PO_INLET_MASSFLOW];
    part.x_out = part.x_in;
    part.outputs[PO_OUTLET_LIQUID_WATER] = part.outputs[PO_INLET_LIQUID_WATER];
}

void set_result_values(Part& part) {
    std::array<double, NUM_PART_OUTPUTS>& o = part.outputs;
    // The second streams of mixers and splitters are flows, not leakage.
    double leak = o[PO_INLET_MASSFLOW] + o[PO_2_INLET_MASSFLOW] - o[PO_OUTLET_MASSFLOW] -
                  o[PO_2_OUTLET_MASSFLOW] + o[PO_FUEL_MASSFLOW] + o[PO_OXIDIZER_MASSFLOW] -
                  o[PO_LIQUID_WATER_OUT];
    o[PO_LEAKAGE] = leak <= 1e-12 ? 0.0 : leak;
    const std::size_t n = sz(std::clamp(part.steps, 0, MAX_STEPS));
    o[PO_INLET_TEMPERATURE] = part.T[0];
    o[PO_OUTLET_TEMPERATURE] = part.T[n];
    o[PO_INLET_PRESSURE] = part.p[0];
    o[PO_OUTLET_PRESSURE] = part.p[n];
    o[PO_INLET_ENTHALPY] = part.h[0];
    o[PO_OUTLET_ENTHALPY] = part.h[n];
    o[PO_INLET_ENTROPY] = part.s[0];
    o[PO_OUTLET_ENTROPY] = part.s[n];
    o[PO_INLET_DENSITY] = part.rho[0];
    o[PO_OUTLET_DENSITY] = part.rho[n];
    o[PO_INLET_HUMIDITY] = part.q[0];
    o[PO_OUTLET_HUMIDITY] = part.q[n];
}

// ---------------------------------------------------------------------------
// Results
// ---------------------------------------------------------------------------

namespace {

// The last wetness found while the results of a process are added (open):
// the outlet of one part is the inlet of the next, and a wet gas's (T, s)
// flash is among the dearest calls.
struct LastWetness {
    bool open = false;
    const Fluid* fluid = nullptr;
    std::array<double, MAX_COMPONENTS> c{};
    double T = 0, s = 0, wetness = 0;
};
LastWetness last_wetness;

// Wetness 1 - q at (T, s) with q held to 0..1.
double wetness(const Fluid* fluid, std::array<double, MAX_COMPONENTS>& c, double T, double s) {
    LastWetness& m = last_wetness;
    if (m.open && m.fluid == fluid && m.c == c && m.T == T && m.s == s) return m.wetness;
    double p = 0, h = 0, rho = 0, q = 0, Tc = T, sc = s;
    get_all_by_T_and_s(c.data(), Tc, p, sc, h, rho, q);
    m = LastWetness{m.open, fluid, c, T, s, 1.0 - std::clamp(q, 0.0, 1.0)};
    return m.wetness;
}

bool counted(const Part& part) {
    const int o = part.options[OPT_EFFICIENCY_CALCULATION];
    return o == 1 || o == 2;
}

bool turbo(int type) { return type >= COMPRESSOR && type <= TURBINE; }

}  // namespace

void finalizeProcess(Process& process) {
    if (process.az_parts >= 1 && process.parts[0] != nullptr) {
        Part& inlet = *process.parts[0];
        process.inputs[PRI_TEMPERATURE] = inlet.outputs[PO_OUTLET_TEMPERATURE];
        process.inputs[PRI_PRESSURE] = inlet.outputs[PO_OUTLET_PRESSURE];
        inlet.state = PS_FINISHED;
    }
    last_wetness = LastWetness{.open = true};
    for (int k = 1; k + 1 < process.az_parts; ++k) {
        Part& part = *process.parts[sz(k)];
        add_results(process, part);
    }
    last_wetness = LastWetness{};
    process.done = 1;
}

void add_results(Process& process, Part& part) {
    std::array<double, NUM_PART_OUTPUTS>& o = part.outputs;
    if (init_stoffwerte(part.fluid) != 0) {
        const std::size_t n = sz(std::clamp(part.steps, 0, MAX_STEPS));
        o[PO_INLET_WETNESS] = wetness(part.fluid, part.x_in, part.T[0], part.s[0]);
        o[PO_OUTLET_WETNESS] = wetness(part.fluid, part.x_out, part.T[n], part.s[n]);
    }
    std::array<double, NUM_PROCESS_OUTPUTS>& po = process.outputs;
    const int type = part.type;
    if (turbo(type)) {
        po[PRO_SPECIFIC_HEAD] += o[PO_SPECIFIC_HEAD];
        po[PRO_SPECIFIC_WORK] += o[PO_SPECIFIC_WORK];
        po[PRO_POWER] += o[PO_POWER];
        po[PRO_LIQUID_WATER_OUT] += o[PO_LIQUID_WATER_OUT];
        if (type == COMPRESSOR || type == PUMP)
            po[PRO_POWER_IN] += o[PO_POWER];
        else
            po[PRO_POWER_OUT] += o[PO_POWER];
    } else if (type >= INTERCOOLER && type <= PIPELINE) {
        o[PO_HEAT] = o[PO_INLET_MASSFLOW] * o[PO_SPECIFIC_HEAT_FLUX];
        po[PRO_SPECIFIC_HEAT_FLUX] += o[PO_SPECIFIC_HEAT_FLUX];
        po[PRO_HEAT_FLUX] += o[PO_HEAT];
        if (o[PO_HEAT] >= 0)
            po[PRO_HEAT_IN] += o[PO_HEAT];
        else
            po[PRO_HEAT_OUT] += o[PO_HEAT];
    } else if (type == COMBUSTOR || type == OXYGEN_INJECTION_COMBUSTOR) {
        po[PRO_THERMAL_POWER] += o[PO_THERMAL_POWER];
    } else if (type == WATER_SEPARATOR) {
        // The water leaves the process here, with the heat taken out.
        po[PRO_LIQUID_WATER_OUT] += o[PO_LIQUID_WATER_OUT];
        po[PRO_SPECIFIC_HEAT_FLUX] += o[PO_SPECIFIC_HEAT_FLUX];
        po[PRO_HEAT_FLUX] += o[PO_HEAT];
        (o[PO_HEAT] >= 0 ? po[PRO_HEAT_IN] : po[PRO_HEAT_OUT]) += o[PO_HEAT];
    }
    po[PRO_LEAKAGE] += o[PO_LEAKAGE];
}

void calc_overall_efficiency(Project& project) {
    std::array<double, NUM_PROJECT_OUTPUTS>& t = project.totals;
    t.fill(0.0);
    double power_sum = 0, heat_sum = 0;
    for (int i = 0; i < project.az_processes; ++i) {
        Process* proc = project.processes[sz(i)];
        if (proc == nullptr) continue;
        double power = 0, heat = 0;
        for (int k = 0; k < proc->az_parts; ++k) {
            const Part& part = *proc->parts[sz(k)];
            if (!counted(part)) continue;
            const bool whole = part.options[OPT_EFFICIENCY_CALCULATION] == 2;
            const std::array<double, NUM_PART_OUTPUTS>& o = part.outputs;
            if (turbo(part.type)) {
                power += o[PO_POWER];
                if (!whole) continue;
                power_sum += o[PO_POWER];
                t[TOT_POWER] += o[PO_POWER];
                if (part.type == COMPRESSOR || part.type == PUMP)
                    t[TOT_POWER_IN] += o[PO_POWER];
                else
                    t[TOT_POWER_OUT] += o[PO_POWER];
            } else if (part.type == COMBUSTOR || part.type == OXYGEN_INJECTION_COMBUSTOR) {
                heat += o[PO_THERMAL_POWER];
                if (!whole) continue;
                heat_sum += o[PO_THERMAL_POWER];
                t[TOT_THERMAL_POWER] += o[PO_THERMAL_POWER];
            } else if (part.type == HEAT_EXCHANGER) {
                heat += o[PO_HEAT];
                if (!whole) continue;
                heat_sum += o[PO_HEAT];
                t[TOT_HEAT] += o[PO_HEAT];
                if (o[PO_HEAT] > 0)
                    t[TOT_HEAT_IN] += o[PO_HEAT];
                else
                    t[TOT_HEAT_OUT] += o[PO_HEAT];
            }
        }
        proc->outputs[PRO_EFFICIENCY] = (heat == 0 || proc->az_parts == 0) ? 1.0 : -power / heat;
    }
    t[TOT_EFFICIENCY] = (heat_sum == 0 || project.az_processes == 0) ? 1.0 : -power_sum / heat_sum;
}

}  // namespace app
