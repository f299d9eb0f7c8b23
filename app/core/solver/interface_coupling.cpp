// The coupling of two heat exchangers by an interface.
#include "app/core/solver/interface_coupling.h"

#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/program/text_output.h"
#include "app/core/solver/heat_exchangers.h"
#include "app/core/solver/simulator.h"
#include "library/library.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace app {

namespace {

// Calculation modes, dominant sides and outlet-temperature choices.
enum Mode : int {
    MODE_HEAT_FLUX_HOT = 0,
    MODE_T_OUT_HOT = 1,
    MODE_T_OUT_COLD = 2,
    MODE_EFFECTIVENESS = 3
};
enum Dominant : int { BY_HEAT_CAPACITY = 0, FIXED_COLD = 1, FIXED_HOT = 2 };
constexpr int OUTLET_FIXED = 0, OUTLET_HEAT_FLUX = 1, OUTLET_BY_INTERFACE = 2;
constexpr double R_FIXED_COLD = 1.5, R_FIXED_HOT = 0.5;
constexpr int MAX_PINCH_PASSES = 1000;
// Settling tolerances of the runs: temperatures K, effectiveness, heat flux kJ/kg.
constexpr double SETTLED_T = 0.01, SETTLED_EFFECTIVENESS = 1e-5, SETTLED_FLUX = 0.01;
constexpr int SETTLED_MIN_RUNS = 6;
// Below this heat (kW) the sides exchange nothing; a crossing of the two
// sides' temperatures within this (K) is rounding.
constexpr double NO_HEAT = 1e-9, CROSSING_ROUNDING = 1e-6;
constexpr int RUN_AGAIN_LATER = 2;  // result of a run that changed nothing

// Adjustments noted during a run, reported on convergence.
enum Flag : int {
    F_PINCH = 1,
    F_T_MIN = 2,
    F_T_MAX = 4,
    F_FLUX = 16,
    F_HOT_ABOVE_INLET = 64,
    F_HOT_BELOW_COLD = 128,
    F_COLD_BELOW_INLET = 256,
    F_COLD_ABOVE_HOT = 512
};

Part* find_part(const Project& project, int process_id, int part_id) {
    for (int i = 0; i < project.az_processes; ++i) {
        const Process* proc = project.processes[sz(i)];
        if (proc == nullptr || proc->id != process_id) continue;
        for (int k = 0; k < proc->az_parts; ++k)
            if (Part* part = proc->parts[sz(k)]; part != nullptr && part->id == part_id)
                return part;
    }
    return nullptr;
}

const char* fluid_name(const Part& part) {
    return part.fluid != nullptr ? part.fluid->name.c_str() : "(none)";
}

// Specific heat capacity (kJ/(kg K)) at the part's inlet; false when the
// flash fails. In the two-phase region the phases' capacities weighted by
// their shares.
bool inlet_cp(Part& part, double& cp) {
    if (init_stoffwerte(part.fluid) == 0) return false;
    const double* z = part.x_in.data();
    const double M = lib::WMOL(z);
    double T = 0, D = 0, Dl = 0, Dv = 0, xl[MAX_COMPONENTS], xv[MAX_COMPONENTS], q = 0, e = 0,
           s = 0, cv = 0, w = 0;
    int ierr = 0;
    std::string herr;
    lib::PHFLSH(part.p[0], part.h[0] * M, z, T, D, Dl, Dv, xl, xv, q, e, s, cv, cp, w, ierr, herr);
    if (ierr > 0) return false;
    if (q > 0 && q < 1) {
        double cp0 = 0, cp1 = 0, h = 0;
        lib::PQFLSH(part.p[0], 0.0, z, lib::kMolarQuality, T, D, Dl, Dv, xl, xv, e, h, s, cv, cp0,
                    w, ierr, herr);
        if (ierr > 0) return false;
        lib::PQFLSH(part.p[0], 1.0, z, lib::kMolarQuality, T, D, Dl, Dv, xl, xv, e, h, s, cv, cp1,
                    w, ierr, herr);
        if (ierr > 0) return false;
        cp = (1 - q) * cp0 + q * cp1;
    }
    cp /= M;
    return std::isfinite(cp) && cp > 0;
}

class Coupling {
public:
    Coupling(Project& pr, Interface& i) : project(pr), itf(i), name(i.name.c_str()) {}

    int run() {
        if (!find_parts() || !inlets()) return fail_quietly();
        dT_min = itf.inputs[II_MINIMUM_DELTA_TEMPERATURE];
        eta = itf.inputs[II_HEAT_TRANSFER_EFFICIENCY];
        if (int r = capacity_ratio(); r != IS_CONVERGED) return r;
        if (!calculate_by_mode()) return fail_quietly();
        keep_apart();
        // A cancel ends the run without a verdict; the solver stops.
        if (calculation_cancelled()) return fail_quietly();
        return decide();
    }

private:
    Project& project;
    Interface& itf;
    const char* name;
    Part *H = nullptr, *C = nullptr, *HP = nullptr, *CP = nullptr;
    double T_H_in = 0, T_C_in = 0, m_H = 0, m_C = 0;
    double dT_min = 0, eta = 1, R = 1;
    int r_H = PS_FAILED, r_C = PS_FAILED;
    double handed_flux = 0;  // the specific heat flux given to the second side
    int flags = 0;
    // The outlet temperature asked for when it was beyond its side's inlet
    // (flags F_HOT_ABOVE_INLET, F_COLD_BELOW_INLET), K.
    double asked_T = 0;

    // A failure reported with a message of its own: the interface fails.
    int fail(const std::string& text) {
        status_message(ML_ERROR, "%s", text.c_str());
        itf.status = IS_FAILED;
        return IS_FAILED;
    }
    int fail_quietly() { return IS_FAILED; }

    // Step 1: the two heat exchangers and their predecessors.
    bool find_parts() {
        H = find_part(project, itf.hot_process_id, itf.hot_part_id);
        C = find_part(project, itf.cold_process_id, itf.cold_part_id);
        if (H == nullptr || C == nullptr) {
            fail(
                format_text("Interface \"%s\": its %s side names no heat exchanger of the "
                            "project.\n",
                            name, H == nullptr ? "hot" : "cold"));
            return false;
        }
        HP = part_by_id(&project, H->prev_id[0]);
        CP = part_by_id(&project, C->prev_id[0]);
        if (HP == nullptr || CP == nullptr) {
            fail(format_text("Interface \"%s\": heat exchanger \"%s\" has no predecessor.\n", name,
                             (HP == nullptr ? H : C)->name.c_str()));
            return false;
        }
        return true;
    }

    // Steps 2-3: the inlet states and outlet pressures.
    bool inlets() {
        for (auto [part, pred] : {std::pair{H, HP}, std::pair{C, CP}}) {
            init_part_from_predecessor(*part, *pred);
            if (calcOutletPressure(*part) == PS_FAILED) {
                fail(part->failure_text);
                return false;
            }
        }
        T_H_in = H->T[0];
        T_C_in = C->T[0];
        m_H = H->outputs[PO_INLET_MASSFLOW];
        m_C = C->outputs[PO_INLET_MASSFLOW];
        return true;
    }

    // Step 4: the heat capacity rate ratio R; IS_CONVERGED to go on, or the
    // run's result when the inlet values are not yet defined.
    int capacity_ratio() {
        switch (itf.options[IOPT_DOMINANT_SIDE]) {
            case FIXED_COLD: R = R_FIXED_COLD; return IS_CONVERGED;
            case FIXED_HOT: R = R_FIXED_HOT; return IS_CONVERGED;
            case BY_HEAT_CAPACITY: break;
            default:
                return fail(format_text("Interface \"%s\": unknown dominant side (%d).\n", name,
                                        itf.options[IOPT_DOMINANT_SIDE]));
        }
        double cp_H = 0, cp_C = 0;
        if (!inlet_cp(*H, cp_H)) return hot_side_undefined();
        if (!inlet_cp(*C, cp_C)) return cold_side_undefined();
        if (!(m_H > 0) || !(m_C > 0))
            return fail(
                format_text("Interface \"%s\": the mass flows of its heat exchangers must "
                            "be above 0.\n",
                            name));
        R = (m_H * cp_H) / (m_C * cp_C);
        return IS_CONVERGED;
    }

    int hot_side_undefined() {
        if (HP->state == PS_FINISHED) {
            status_message(ML_ERROR,
                           " Interface calculation failed due to undefined fluid values at inlet "
                           "of hot side\n");
            return fail(" Calculation failed\n");
        }
        if (interface_hot_retries < INTERFACE_HOT_RETRIES) {
            ++interface_hot_retries;
            print_message(
                " Interface calculation failed due to undefined fluid values at inlet of hot "
                "side\n Trying again later\n");
            return RUN_AGAIN_LATER;
        }
        status_message(ML_ERROR,
                       " Interface calculation failed due to undefined fluid values at inlet of "
                       "hot side\n");
        return fail(format_text(" Iterated %d times, giving up\n", INTERFACE_HOT_RETRIES));
    }

    int cold_side_undefined() {
        if (CP->state == PS_FINISHED)
            return fail(
                format_text(" Interface \"%s\" calculation failed due to undefined fluid "
                            "values at inlet of cold side\n",
                            name));
        print_message(
            " Interface failed due to undefined fluid values at inlet of cold side. Trying again "
            "later\n");
        return RUN_AGAIN_LATER;
    }

    // Fixing one side's outlet temperature, or giving it a heat flux.
    static int fix_at(Part& part, double T) {
        part.options[OPT_OUTLET_TEMPERATURE] = OUTLET_FIXED;
        part.inputs[PI_OUTLET_TEMPERATURE] = T;
        init_stoffwerte(part.fluid);
        return calc_part(part);
    }
    static int give_flux(Part& part, double q) {
        part.options[OPT_OUTLET_TEMPERATURE] = OUTLET_HEAT_FLUX;
        part.inputs[PI_SPECIFIC_HEAT_FLUX] = q;
        init_stoffwerte(part.fluid);
        return calc_part(part);
    }
    // The cold side takes the heat the hot side gives off, and back.
    void cold_follows() {
        handed_flux = -(m_H * H->outputs[PO_SPECIFIC_HEAT_FLUX] * eta) / m_C;
        r_C = give_flux(*C, handed_flux);
    }
    void hot_follows() {
        handed_flux = -((m_C * C->outputs[PO_SPECIFIC_HEAT_FLUX]) / eta) / m_H;
        r_H = give_flux(*H, handed_flux);
    }
    void hot_fixed_at(double T) {
        r_H = fix_at(*H, T);
        cold_follows();
    }
    void cold_fixed_at(double T) {
        r_C = fix_at(*C, T);
        hot_follows();
    }

    // Step 5.
    bool calculate_by_mode() {
        const double Tmin_ok = T_C_in + dT_min;
        switch (itf.options[IOPT_CALCULATION_MODE]) {
            case MODE_HEAT_FLUX_HOT:
                r_H = give_flux(*H, itf.inputs[II_SPECIFIC_HEAT_FLUX_HOT]);
                if (r_H == PS_FAILED) {
                    print_message(" Heat flux too high, adjusting.");
                    flags |= F_FLUX;
                    r_H = fix_at(*H, Tmin_ok);
                }
                cold_follows();
                return true;
            case MODE_T_OUT_HOT: {
                double T = itf.inputs[II_OUTLET_TEMPERATURE_HOT];
                if (T > T_H_in) {
                    print_message(" Outlet temperature hot side too high, adjusting.");
                    asked_T = T;
                    T = T_H_in;
                    flags |= F_HOT_ABOVE_INLET | F_COLD_BELOW_INLET;
                }
                if (T < Tmin_ok) {
                    print_message(" Outlet temperature cold side, adjusting.");
                    T = Tmin_ok;
                    flags |= F_HOT_BELOW_COLD;
                }
                hot_fixed_at(T);
                return true;
            }
            case MODE_T_OUT_COLD: {
                double T = itf.inputs[II_OUTLET_TEMPERATURE_COLD];
                if (T < T_C_in) {
                    print_message(" Outlet temperature cold side too low, adjusting.");
                    asked_T = T;
                    T = T_C_in;
                    flags |= F_COLD_BELOW_INLET;
                }
                if (T > T_H_in - dT_min) {
                    print_message(" Outlet temperature cold side too high, adjusting.");
                    T = T_H_in - dT_min;
                    flags |= F_COLD_ABOVE_HOT;
                }
                cold_fixed_at(T);
                return true;
            }
            case MODE_EFFECTIVENESS: by_effectiveness(); return true;
            default:
                fail(format_text("Interface \"%s\": unknown calculation mode (%d).\n", name,
                                 itf.options[IOPT_CALCULATION_MODE]));
                return false;
        }
    }

    void by_effectiveness() {
        const double e = itf.inputs[II_EFFECTIVENESS];
        if (R < 1) {
            init_stoffwerte(H->fluid);
            double T = T_H_in + (T_C_in - T_H_in) * e;
            if (T < T_C_in + dT_min) {
                T = T_C_in + dT_min;
                flags |= F_PINCH;
            }
            if (current_fluid != nullptr && T < current_fluid->Tmin) {
                T = current_fluid->Tmin;
                flags |= F_T_MIN;
            }
            hot_fixed_at(T);
        } else {
            init_stoffwerte(C->fluid);
            double T = T_C_in - (T_C_in - T_H_in) * e;
            if (T > T_H_in - dT_min) {
                T = T_H_in - dT_min;
                flags |= F_PINCH;
            }
            if (current_fluid != nullptr && T > current_fluid->Tmax) {
                T = current_fluid->Tmax;
                flags |= F_T_MAX;
            }
            cold_fixed_at(T);
        }
    }

    // The cold side's temperature facing point i of the hot side in
    // counter-flow, for step counts that may differ.
    double cold_facing(int i, int n) const {
        const int m = C->steps;
        const int j = static_cast<int>(std::lround(static_cast<double>(n - i) * m / n));
        return C->T[sz(std::clamp(j, 0, m))];
    }

    // Step 6: the pinch loop. The hot outlet is raised until the smallest
    // difference along the exchanger is the minimum (never above the hot
    // inlet, where no heat would be exchanged any more); a difference short
    // of the minimum by rounding only is the minimum (the loop converges onto
    // it from below, and a state set at the minimum comes back at it).
    void keep_apart() {
        const int n = H->steps;
        for (int pass = 0; pass < MAX_PINCH_PASSES && !calculation_cancelled(); ++pass) {
            double d = 1e99;
            for (int i = 1; i <= n; ++i) d = std::min(d, H->T[sz(i)] - cold_facing(i, n));
            if (d >= dT_min - CROSSING_ROUNDING || n < 1) break;
            if (pass == 0) {
                flags |= F_PINCH;
                print_message("Iterating");
            } else {
                print_message(".");
                if (pass % 40 == 0) print_message("\n");
            }
            const double T_now = H->T[sz(n)];
            const double T = std::min(T_now + (dT_min - d), T_H_in);
            hot_fixed_at(T);
            if (T >= T_H_in) break;
        }
    }

    double effectiveness() const {
        const std::array<double, NUM_PART_OUTPUTS>& h = H->outputs;
        const std::array<double, NUM_PART_OUTPUTS>& c = C->outputs;
        if (R >= R_FIXED_COLD) {
            const double span = c[PO_INLET_TEMPERATURE] - T_H_in;
            return span != 0 ? (c[PO_INLET_TEMPERATURE] - c[PO_OUTLET_TEMPERATURE]) / span : 0.0;
        }
        const double span = h[PO_INLET_TEMPERATURE] - T_C_in;
        return span != 0 ? (h[PO_INLET_TEMPERATURE] - h[PO_OUTLET_TEMPERATURE]) / span : 0.0;
    }

    void set_states(int state) {
        H->state = state;
        C->state = state;
        itf.status = state;
    }

    // Steps 7-10.
    int decide() {
        const double eps = effectiveness();
        H->options[OPT_OUTLET_TEMPERATURE] = OUTLET_BY_INTERFACE;
        C->options[OPT_OUTLET_TEMPERATURE] = OUTLET_BY_INTERFACE;
        const double flux = handed_flux;
        const double T_H_out = H->outputs[PO_OUTLET_TEMPERATURE];
        const double T_C_out = C->outputs[PO_OUTLET_TEMPERATURE];
        if (HP->state == PS_FINISHED && CP->state == PS_FINISHED) {
            itf.last_heat_flux = flux;
            if (r_H == PS_FINISHED && r_C == PS_FINISHED) return converged(eps);
            set_states(PS_FAILED);
            const Part& bad = r_H != PS_FINISHED ? *H : *C;
            if (!bad.failure_text.empty()) status_message(ML_ERROR, "%s", bad.failure_text.c_str());
            return fail(
                format_text("Interface \"%s\" failed to converge, stopping calculation.\n", name));
        }
        itf.residual = 100 * std::fabs(eps - itf.last_effectiveness) +
                       std::fabs(T_H_out - itf.last_T_hot) + std::fabs(T_C_out - itf.last_T_cold);
        bool done = false;
        bool forced = false;
        if (itf.status == IS_PENDING) {
            itf.first_residual = itf.residual.load();
            itf.step_count = 1;
        } else {
            const int before = itf.step_count;
            ++itf.step_count;
            forced = before > INTERFACE_MAX_RUNS;
            done = forced || (itf.step_count >= SETTLED_MIN_RUNS &&
                              std::fabs(itf.older_T_hot - itf.last_T_hot) < SETTLED_T &&
                              std::fabs(itf.older_T_cold - itf.last_T_cold) < SETTLED_T &&
                              std::fabs(T_H_out - itf.last_T_hot) < SETTLED_T &&
                              std::fabs(T_C_out - itf.last_T_cold) < SETTLED_T &&
                              std::fabs(eps - itf.last_effectiveness) < SETTLED_EFFECTIVENESS &&
                              std::fabs(flux - itf.last_heat_flux) < SETTLED_FLUX);
        }
        itf.last_heat_flux = flux;
        if (done) {
            if (forced)
                status_message(ML_WARNING,
                               "Interface \"%s\" did not settle within %d runs (residual %g); "
                               "its results are those of the last run.\n",
                               name, INTERFACE_MAX_RUNS, itf.residual.load());
            return converged(eps);
        }
        set_states(PS_INTERFACE_ITERATING);
        itf.older_T_hot = itf.last_T_hot;
        itf.older_T_cold = itf.last_T_cold;
        itf.last_T_hot = T_H_out;
        itf.last_T_cold = T_C_out;
        itf.last_effectiveness = eps;
        print_message(" calculation okay, but results not final.\n");
        return IS_ITERATING;
    }

    // The second law: along the exchanger (in counter-flow) the side that
    // gives heat is nowhere colder than the side that takes it.
    bool second_law_holds() const {
        const double Q = m_H * H->outputs[PO_SPECIFIC_HEAT_FLUX];  // into the hot side
        const int n = H->steps;
        if (!(std::fabs(Q) > NO_HEAT) || n < 1) return true;
        const double giver_hot = Q < 0 ? 1.0 : -1.0;
        for (int i = 0; i <= n; ++i)
            if (giver_hot * (H->T[sz(i)] - cold_facing(i, n)) < -CROSSING_ROUNDING) return false;
        return true;
    }

    std::string side_text(const Part& part) const {
        const ValueDef& row = part_output_values_def[PO_OUTLET_TEMPERATURE];
        return format_text("\"%s\" %s -> %s", part.name.c_str(),
                           format_value(part.outputs[PO_INLET_TEMPERATURE], row,
                                        part.output_units[PO_INLET_TEMPERATURE])
                               .c_str(),
                           format_value(part.outputs[PO_OUTLET_TEMPERATURE], row,
                                        part.output_units[PO_OUTLET_TEMPERATURE])
                               .c_str());
    }

    int breaks_second_law() {
        set_states(PS_FAILED);
        const double Q = m_H * H->outputs[PO_SPECIFIC_HEAT_FLUX];
        return fail(format_text(
            "Interface \"%s\" failed: its result breaks the second law, heat would flow from "
            "the colder stream to the hotter one (hot side %s, cold side %s, %.6g kW %s the "
            "hot side); stopping calculation.\n",
            name, side_text(*H).c_str(), side_text(*C).c_str(), std::fabs(Q),
            Q > 0 ? "into" : "out of"));
    }

    int converged(double eps) {
        if (!second_law_holds()) return breaks_second_law();
        set_states(PS_FINISHED);
        print_message(" finished.\n");
        itf.outputs[IO_SPECIFIC_HEAT_FLUX_HOT] = H->outputs[PO_SPECIFIC_HEAT_FLUX];
        itf.outputs[IO_OUTLET_TEMPERATURE_HOT] = H->outputs[PO_OUTLET_TEMPERATURE];
        itf.outputs[IO_OUTLET_TEMPERATURE_COLD] = C->outputs[PO_OUTLET_TEMPERATURE];
        itf.outputs[IO_EFFECTIVENESS] = eps;
        if (!interface_reopened(itf)) report_flags();
        ++az_converged;
        return IS_CONVERGED;
    }

    // Why an outlet temperature asked for was moved: it lies beyond the
    // side's inlet temperature, which the side then leaves at.
    std::string reason(const char* side, int input, const char* beyond, double T_in) const {
        const ValueDef& row = interface_input_values_def[sz(input)];
        const int u = itf.input_units[sz(input)];
        return format_text(
            "The outlet temperature asked for on the %s, %s, is %s its inlet temperature, %s: "
            "the %s leaves at its inlet temperature and exchanges no heat.\n",
            side, format_value(asked_T, row, u).c_str(), beyond, format_value(T_in, row, u).c_str(),
            side);
    }

    void report_flags() {
        const char* hot = fluid_name(*H);
        const int mode = itf.options[IOPT_CALCULATION_MODE];
        if ((flags & F_PINCH) != 0) {
            const char* text =
                mode == MODE_T_OUT_COLD
                    ? "Interface \"%s\": Outlet temperature on cold side cannot be reached due to "
                      "temperature difference requirement.\n"
                : mode == MODE_EFFECTIVENESS
                    ? "Interface \"%s\": Effectiveness cannot be reached due to temperature "
                      "difference requirement.\n"
                : mode == MODE_T_OUT_HOT
                    ? "Interface \"%s\": Outlet temperature on hot side cannot be reached due to "
                      "temperature difference requirement.\n"
                    : nullptr;
            if (text != nullptr) status_message(ML_INFO, text, name);
        }
        // The calculation goes on with the adjusted temperatures: these are
        // warnings, each adjustment with its reason.
        if ((flags & F_T_MIN) != 0)
            status_message(ML_WARNING,
                           "Interface \"%s\": Effectiveness too high, T_out on hot side lower than "
                           "T_limit_min of %s. Outlet temperature has been increased.\n",
                           name, hot);
        if ((flags & F_T_MAX) != 0)
            status_message(ML_WARNING,
                           "Interface \"%s\": Effectiveness too high, T_out cold side greater than "
                           "T_limit_max of %s. Outlet temperature has been decreased.\n",
                           name, fluid_name(*C));
        if ((flags & F_FLUX) != 0)
            status_message(ML_WARNING,
                           "Interface \"%s\": Heat flux too high.  T_out hot side less than "
                           "T_limit_min of %s. Outlet temperature has been increased.\n",
                           name, hot);
        if ((flags & F_HOT_ABOVE_INLET) != 0)
            status_message(ML_WARNING,
                           "Interface \"%s\": T out hot side greater than T out hot side. "
                           "Temperature has been adjusted.\n%s",
                           name,
                           reason("hot side", II_OUTLET_TEMPERATURE_HOT, "above", T_H_in).c_str());
        if ((flags & F_HOT_BELOW_COLD) != 0)
            status_message(ML_WARNING,
                           "Interface \"%s\": T out hot side less than T in cold side. "
                           "Temperature has been adjusted.\n",
                           name);
        if ((flags & F_COLD_BELOW_INLET) != 0)
            status_message(
                ML_WARNING,
                "Interface \"%s\": T out cold side less than T out cold side. "
                "Temperature has been adjusted.\n%s",
                name,
                (flags & F_HOT_ABOVE_INLET) != 0
                    ? "The cold side then takes no heat and leaves at its inlet "
                      "temperature.\n"
                    : reason("cold side", II_OUTLET_TEMPERATURE_COLD, "below", T_C_in).c_str());
        if ((flags & F_COLD_ABOVE_HOT) != 0)
            status_message(ML_WARNING,
                           "Interface \"%s\": T out cold side greatern than T in hot side. "
                           "Temperature has been adjusted.\n",
                           name);
    }
};

}  // namespace

int calc_interface(Project& project, Interface& itf) { return Coupling(project, itf).run(); }

}  // namespace app
