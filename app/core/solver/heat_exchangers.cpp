// Heat exchangers, intercooler, pressure loss element, condenser and
// pipeline.
#include "app/core/solver/heat_exchangers.h"

#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/program/text_output.h"
#include "app/core/solver/simulator.h"

#include <cmath>
#include <string>

namespace app {

namespace {

// The molar vapour fraction of a saturated liquid.
constexpr double SATURATED_LIQUID = 0.0;

double t_min() { return current_fluid != nullptr ? current_fluid->Tmin : 0.0; }
double t_max() { return current_fluid != nullptr ? current_fluid->Tmax : 0.0; }

// Enthalpy at (T, p) of the part's inlet composition into h; the status of
// the flash.
int enthalpy_at(Part& part, double T, double p, double& h) {
    double Tc = T, pc = p, s = 0, rho = 0, q = 0;
    return get_all_by_T_and_p(part.x_in.data(), Tc, pc, s, h, rho, q);
}

// Why the fixed outlet (T, p) has no state: the library's message (humid
// air of 1 % water cooled to 220 K, where its water would freeze).
std::string no_outlet_text(const Part& part, double T, double p, int r) {
    const ValueDef& rT = part_output_values_def[PO_OUTLET_TEMPERATURE];
    const ValueDef& rp = part_output_values_def[PO_OUTLET_PRESSURE];
    const std::string why = r > 0 ? last_flash_message : format_text("result %d", r);
    return format_text("Heat exchanger \"%s\": no state at %s and %s: %s.\n", part.name.c_str(),
                       format_value(T, rT, part.output_units[PO_OUTLET_TEMPERATURE]).c_str(),
                       format_value(p, rp, part.output_units[PO_OUTLET_PRESSURE]).c_str(),
                       why.c_str());
}

}  // namespace

int calcOutletPressure(Part& part) {
    const double p0 = part.p[0];
    double pn = 0;
    switch (part.options[OPT_PRESSURE_LOSS]) {
        case 0: pn = p0 - part.inputs[PI_ABSOLUTE_PRESSURE_LOSS]; break;
        case 1: pn = (1 - part.inputs[PI_RELATIVE_PRESSURE_LOSS]) * p0; break;
        default: return fail_part(part, "calc heat exchanger | Unknown type of pressure loss\n");
    }
    if (!(pn > 0))
        return fail_part(part, format_text("To much pressure loss in part %s, pressure <= 0\n",
                                           part.name.c_str()));
    part.p[sz(part.steps)] = pn;
    return PS_FINISHED;
}

namespace {

// Why point k of a part's path has no state: its pressure and enthalpy and
// the library's message (natural gas cooled below the freezing of its
// carbon dioxide, humid air below the frost point of its water: "the
// calculation problems" alone did not tell).
std::string no_state_text(const Part& part, int k, int r) {
    const std::size_t i = sz(k);
    const std::string why = r > 0 ? last_flash_message : format_text("result %d", r);
    const ValueDef& rp = part_output_values_def[PO_OUTLET_PRESSURE];
    const ValueDef& rh = part_output_values_def[PO_OUTLET_ENTHALPY];
    return format_text("Part \"%s\": no state at %s and %s (point %d of %d): %s.\n",
                       part.name.c_str(),
                       format_value(part.p[i], rp, part.output_units[PO_OUTLET_PRESSURE]).c_str(),
                       format_value(part.h[i], rh, part.output_units[PO_OUTLET_ENTHALPY]).c_str(),
                       k, part.steps, why.c_str());
}

}  // namespace

int fade(Part& part) {
    const int n = part.steps;
    const double p0 = part.p[0], h0 = part.h[0];
    const double dp = part.p[sz(n)] - p0;
    const double dh = part.h[sz(n)] - h0;
    const double mdot = part.outputs[PO_INLET_MASSFLOW];
    part.heat[0] = 0;
    for (int k = 1; k <= n; ++k) {
        if (calculation_cancelled()) return cancel_part(part);
        const std::size_t i = sz(k), im = sz(k - 1);
        part.segment = k;
        part.p[i] = p0 + k * dp / n;
        part.h[i] = h0 + k * dh / n;
        part.heat[i] = std::fabs(part.h[i] - part.h[im]) * mdot + part.heat[im];
        double p = part.p[i];
        const int r = get_all_by_p_and_h(part.x_in.data(), part.T[i], p, part.s[i], part.h[i],
                                         part.rho[i], part.q[i], part.q[im]);
        if (r != 0)
            return fail_part(
                part, format_text("  Calculation problems in part %s.\n", part.name.c_str()) +
                          no_state_text(part, k, r));
        if (part.T[im] < t_min())
            return fail_part(
                part,
                format_text("  Calculation failed \n  Temperature lower then T_min %f\n", t_min()));
    }
    return PS_FINISHED;
}

int calcHeatExchanger(Part& part) {
    if (calcOutletPressure(part) != PS_FINISHED) return PS_FAILED;
    const std::size_t n = sz(part.steps);
    const double pn = part.p[n];
    const char* name = part.name.c_str();
    switch (part.options[OPT_OUTLET_TEMPERATURE]) {
        case 0: {
            const double T_out = part.inputs[PI_OUTLET_TEMPERATURE];
            if (T_out < t_min())
                return fail_part(part,
                                 format_text("Failure calculating heat exchanger \"%s\".\n"
                                             "Temperature %f K is lower then minimum value %f K\n",
                                             name, T_out, t_min()));
            if (T_out > t_max())
                return fail_part(part,
                                 format_text("Failure calculating heat exchanger \"%s\".\n"
                                             "Temperature %f K is higher then maximum value %f K\n",
                                             name, T_out, t_max()));
            if (const int r = enthalpy_at(part, T_out, pn, part.h[n]); r != 0)
                return fail_part(part, "Heat exchanger failed to calculate outlet conditions\n" +
                                           no_outlet_text(part, T_out, pn, r));
            part.final_flag = 1;
            break;
        }
        case 1: part.h[n] = part.h[0] + part.inputs[PI_SPECIFIC_HEAT_FLUX]; break;
        case 2:
            // Driven by an interface: a seed makes a provisional first guess.
            switch (part.state) {
                case PS_SEED_TEMPERATURE: enthalpy_at(part, part.init_T, pn, part.h[n]); break;
                case PS_SEED_HEAT_FLUX: part.h[n] = part.h[0] + part.init_heat_flux; break;
                case PS_SEED_TEMPERATURE_DIFFERENCE:
                    enthalpy_at(part, part.T[0] + part.init_dT, pn, part.h[n]);
                    break;
                default: ignore_part(part); return PS_PROVISIONAL;
            }
            fade(part);
            part.outputs[PO_SPECIFIC_HEAT_FLUX] = part.h[n] - part.h[0];
            return PS_PROVISIONAL;
        default: return fail_part(part, "calcCooler | Unknown type of cooling\n");
    }
    const int r = fade(part);
    part.outputs[PO_SPECIFIC_HEAT_FLUX] = part.h[n] - part.h[0];
    if (r != PS_FINISHED) return r;  // the points from the failed one on are not states
    if (part.T[n] < t_min())
        return fail_part(part,
                         format_text("Temperature to low in heat exchanger %s, Min temperature: "
                                     "%f. \n Calculation failed\n",
                                     name, t_min()));
    return r;
}

int calcCondenser(Part& part) {
    if (calcOutletPressure(part) != PS_FINISHED) return PS_FAILED;
    const std::size_t n = sz(part.steps);
    double T = 0, p = part.p[n], s = 0, rho = 0, q = SATURATED_LIQUID;
    if (get_all_by_p_and_q(part.x_in.data(), T, p, s, part.h[n], rho, q) != 0) {
        const Fluid* f = current_fluid;
        const ValueDef& row = part_output_values_def[PO_OUTLET_PRESSURE];
        const int u = part.output_units[PO_OUTLET_PRESSURE];
        std::string why =
            f != nullptr && part.p[n] >= f->pc
                ? format_text(
                      "the outlet pressure %s is not below the critical pressure %s of "
                      "fluid \"%s\", where nothing condenses",
                      format_value(part.p[n], row, u).c_str(), format_value(f->pc, row, u).c_str(),
                      f->name.c_str())
                : "no saturated liquid was found at the outlet pressure " +
                      format_value(part.p[n], row, u) + ": " + last_flash_message;
        return fail_part(part,
                         "Cannot calculate Condenser outlet conditions, stage failed\n" +
                             format_text("Condenser %s: %s.\n", part.name.c_str(), why.c_str()));
    }
    const int r = fade(part);
    part.outputs[PO_SPECIFIC_HEAT_FLUX] = part.h[n] - part.h[0];
    if (r != PS_FINISHED) return r;
    // The outlet is the saturated liquid found above, not the (p, h) flash
    // of its enthalpy: that lands a blend's bubble point on the liquid side
    // (propane + isobutane 1:1 condensed at 308.15 K gave the
    // subcooled-liquid marker -998 as the condenser's outlet quality), and
    // near a blend's critical point inside the dome (propane + butane 7:3 at
    // 3893.73 kPa: 1.5e-4 K below the bubble point, quality 1e-5).
    part.T[n] = T;
    part.s[n] = s;
    part.rho[n] = rho;
    part.q[n] = SATURATED_LIQUID;
    if (part.T[n] < t_min())
        return fail_part(part,
                         format_text("Temperature to low in condenser %s \n Calculation failed\n",
                                     part.name.c_str()));
    return r;
}

int calcPipeline(Part& part) {
    const std::size_t n = sz(part.steps);
    const double L = part.old_value;
    const double p0 = part.p[0];
    double pn = 0;
    switch (part.options[OPT_PRESSURE_LOSS]) {
        case 0: pn = p0 - part.inputs[PI_ABSOLUTE_PRESSURE_LOSS] * L; break;
        case 1: pn = p0 * std::pow(1 - part.inputs[PI_RELATIVE_PRESSURE_LOSS], L); break;
        default: return fail_part(part, "calcPipeline | Unknown type of pressure loss\n");
    }
    if (!(pn > 0)) return fail_part(part, "To much pressure loss in pipeline, pressure <= 0\n");
    part.p[n] = pn;
    switch (part.options[OPT_OUTLET_TEMPERATURE]) {
        case 0: part.h[n] = part.h[0] + part.inputs[PI_SPECIFIC_HEAT_FLUX] * L; break;
        case 1:
            if (enthalpy_at(part, part.inputs[PI_OUTLET_TEMPERATURE], pn, part.h[n]) != 0)
                return fail_part(part,
                                 format_text("Calculating pipeline %s outlet conditions failed ",
                                             part.name.c_str()));
            break;
        default:
            return fail_part(part,
                             "calcPipeline | Unknown specifier for heat flux / temperature\n");
    }
    const int r = fade(part);
    if (r != PS_FINISHED) return r;
    if (part.T[n] < t_min())
        return fail_part(part, "Temperature to low in pipeline, calculation failed\n");
    part.outputs[PO_SPECIFIC_HEAT_FLUX] = part.h[n] - part.h[0];
    return r;
}

}  // namespace app
