// Process preparation: the Inlet's state from the process's fluid and inlet
// values, the exhaust-gas fluid of a process with combustors, and the water
// that the fluid's humidity definition adds.
//
// The shared fluid records are never changed here: the humid composition is
// the Inlet's own copy, and the exhaust fluid belongs to its process.
#include "app/core/files/filehandling.h"
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/program/text_output.h"
#include "app/core/solver/combustor.h"
#include "app/core/solver/simulator.h"
#include "library/library.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace app {

int addfluid(std::vector<int>& list, int& count, int index) {
    const int n = std::clamp(count, 0, static_cast<int>(list.size()));
    for (int i = 0; i < n; ++i)
        if (list[sz(i)] == index) return i;
    list.resize(sz(n));
    list.push_back(index);
    count = n + 1;
    return n;
}

int water_slot(const Fluid& f) {
    for (int i = 0; i < f.az_components && i < MAX_COMPONENTS; ++i)
        if (f.comp_index[sz(i)] == FLUID_WATER) return i;
    return -1;
}

bool combustible(const Fluid& component) {
    return std::any_of(component.fuel.begin(), component.fuel.end(),
                       [](double n) { return n > 0; });
}

namespace {

bool is_combustor(int type) { return type == COMBUSTOR || type == OXYGEN_INJECTION_COMBUSTOR; }

// ---------------------------------------------------------------------------
// Exhaust fluid
// ---------------------------------------------------------------------------

// The component list (entries of `fluids`) of the exhaust gas: the fluid's
// own components, then per combustor water, carbon dioxide and oxygen, the
// fuel's inert components (and nitrogen for fuel nitrogen), the oxidizer's
// components.
std::vector<int> exhaust_components(const Process& process, const Fluid& f) {
    std::vector<int> list;
    int count = 0;
    for (int i = 0; i < f.az_components && i < MAX_COMPONENTS; ++i)
        addfluid(list, count, f.comp_index[sz(i)]);
    for (int k = 1; k < process.az_parts; ++k) {
        const Part& part = *process.parts[sz(k)];
        if (!is_combustor(part.type)) continue;
        for (int index : {FLUID_WATER, FLUID_CO2, FLUID_OXYGEN}) addfluid(list, count, index);
        if (const Fluid* fuel = part.fuel) {
            for (int i = 0; i < fuel->az_components && i < MAX_COMPONENTS; ++i) {
                const Fluid* c = fluids[fuel->comp_index[sz(i)]];
                if (c == nullptr) continue;
                if (!combustible(*c)) addfluid(list, count, fuel->comp_index[sz(i)]);
                if (c->fuel[FUEL_N] > 0) addfluid(list, count, FLUID_NITROGEN);
            }
        }
        if (const Fluid* ox = part.oxidizer;
            ox != nullptr && part.type == OXYGEN_INJECTION_COMBUSTOR)
            for (int i = 0; i < ox->az_components && i < MAX_COMPONENTS; ++i)
                addfluid(list, count, ox->comp_index[sz(i)]);
    }
    return list;
}

// The exhaust record of the fluid with these components, complete but for
// the library set-up.
std::unique_ptr<Fluid> exhaust_record(const Fluid& f, const std::vector<int>& list) {
    auto e = std::make_unique<Fluid>();
    e->name = f.name + "_exhaust";
    e->humidity_type = f.humidity_type;
    e->az_components = static_cast<int>(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        e->comp_index[i] = list[i];
        e->x[i] = static_cast<int>(i) < f.az_components ? f.x[i] : 0.0;
    }
    // The fluid's reference state ("OTH"); a fluid referred otherwise (a
    // pure fluid at its normal boiling point, say) has no values for it:
    // the exhaust then takes a user fluid's reference state.
    const bool own = f.ref_code == "OTH" && f.T0 > 0 && f.p0 > 0;
    e->T0 = own ? f.T0 : USER_FLUID_T0;
    e->p0 = own ? f.p0 : USER_FLUID_P0;
    e->h0 = own ? f.h0 : 0.0;
    e->s0 = own ? f.s0 : 0.0;
    e->ref_hum_T = f.ref_hum_T;
    e->ref_hum_p = f.ref_hum_p;
    e->ref_hum_rh = f.ref_hum_rh;
    e->ref_hum_liquid = f.ref_hum_liquid;
    return e;
}

// Whether the process's exhaust record is the one these inputs make (its
// set-up can then be kept).
bool same_exhaust(const Fluid& old, const Fluid& made) {
    return old.name == made.name && old.humidity_type == made.humidity_type &&
           old.az_components == made.az_components && old.comp_index == made.comp_index &&
           old.x == made.x && old.T0 == made.T0 && old.p0 == made.p0 && old.h0 == made.h0 &&
           old.s0 == made.s0 && old.ref_hum_T == made.ref_hum_T &&
           old.ref_hum_p == made.ref_hum_p && old.ref_hum_rh == made.ref_hum_rh &&
           old.ref_hum_liquid == made.ref_hum_liquid;
}

// The fluid the process's parts calculate with: the process's fluid, or
// the exhaust fluid when a combustor adds components to it. Null (reported
// in `why`) when the exhaust gas cannot be made.
Fluid* working_fluid(Process& process, Fluid& f, std::string& why) {
    const bool burns =
        std::any_of(process.parts.begin(), process.parts.begin() + process.az_parts,
                    [](const Part* p) { return p != nullptr && is_combustor(p->type); });
    if (!burns) return &f;
    const std::vector<int> list = exhaust_components(process, f);
    if (static_cast<int>(list.size()) == f.az_components) return &f;
    if (list.size() > sz(MAX_COMPONENTS)) {
        why = format_text(
            "Process \"%s\": the exhaust gas of fluid \"%s\" with the products, fuels and "
            "oxidizers of its combustors would hold %zu components; a fluid holds at most %d.\n",
            process.name.c_str(), f.name.c_str(), list.size(), MAX_COMPONENTS);
        return nullptr;
    }
    std::unique_ptr<Fluid> made = exhaust_record(f, list);
    if (process.exhaust != nullptr && same_exhaust(*process.exhaust, *made))
        return process.exhaust.get();
    if (process.exhaust == nullptr) process.exhaust = std::make_unique<Fluid>();
    Fluid& e = *process.exhaust;
    // Rebuilt in place: the parts' pointers stay valid; the library sets it
    // up anew.
    if (current_fluid == &e) current_fluid = nullptr;
    e = std::move(*made);
    if (new_fluid_init(e, 1) == 0) {
        why = format_text("The exhaust gas \"%s\" of process \"%s\" could not be set up.\n",
                          e.name.c_str(), process.name.c_str());
        return nullptr;
    }
    return &e;
}

// ---------------------------------------------------------------------------
// Humidity
// ---------------------------------------------------------------------------

// Vapour pressure of water at T (kPa): over liquid from the triple point
// on, over ice below it. False with the reason when there is none.
bool water_vapour_pressure(Fluid& f, double T, double& ps, std::string& why) {
    const int kph = T >= T_WATER_TRIPLE ? lib::kDewPoint : lib::kSublimationLine;
    double Dl = 0, Dv = 0, xl[MAX_COMPONENTS] = {}, xv[MAX_COMPONENTS] = {};
    int ierr = 0;
    std::string herr;
    ps = 0;
    if (!(T > 0) || !(T < T_WATER_LIMIT)) {
        why = format_text("water has no vapour pressure at %g K", T);
        return false;
    }
    lib::SATT(T, f.x_water.data(), kph, ps, Dl, Dv, xl, xv, ierr, herr);
    if (ierr > 0 || !(ps > 0) || !std::isfinite(ps)) {
        herr.erase(herr.find_last_not_of(" \0") + 1);
        why = format_text("the vapour pressure of water at %g K could not be calculated (%s)", T,
                          herr.c_str());
        return false;
    }
    return true;
}

// Water added to the Inlet's composition by the fluid's humidity definition
// (the Inlet's copy; the fluid record keeps its fractions). False with the
// reason in `why`.
bool add_humidity(Process& process, Part& inlet, Fluid& f, std::string& why) {
    const int type = f.humidity_type;
    if (type != HT_WATER_FRACTION && type != HT_RH_STANDARD && type != HT_RH_INLET) return true;
    const int slot = water_slot(f);
    if (slot < 0) return true;  // nothing to be humid with
    const std::size_t wp = sz(slot);
    const double T_in = process.inputs[PRI_TEMPERATURE];
    const double p_in = process.inputs[PRI_PRESSURE];
    std::array<double, MAX_COMPONENTS>& c = inlet.x_out;
    inlet.water = 1;
    auto set_water = [&](double w) {
        for (int i = 0; i < f.az_components; ++i)
            if (sz(i) != wp) c[sz(i)] *= 1 - w;
        c[wp] = w;
    };
    auto failed = [&](const std::string& reason) {
        why = format_text("Process \"%s\": %s.\n", process.name.c_str(), reason.c_str());
        return false;
    };
    if (type == HT_RH_STANDARD) {
        // A record without its reference humidity takes the ISO state.
        const bool given = f.ref_hum_T > 0 && f.ref_hum_p > 0;
        const double T_ref = given ? f.ref_hum_T : ISO_HUMIDITY_T;
        const double p_ref = given ? f.ref_hum_p : ISO_HUMIDITY_P;
        const double rh = given ? f.ref_hum_rh : ISO_HUMIDITY_RH;
        double ps = 0;
        std::string reason;
        if (!water_vapour_pressure(f, T_ref, ps, reason))
            return failed("the humidity of fluid \"" + f.name +
                          "\" at its reference state: " + reason);
        const double w = rh * ps / p_ref + f.ref_hum_liquid;
        if (!(w >= 0) || !(w < 1))
            return failed(
                format_text("the reference humidity of fluid \"%s\" gives a water "
                            "fraction of %g, not below 1",
                            f.name.c_str(), w));
        set_water(w);
        inlet.outputs[PO_OUTLET_LIQUID_WATER] = f.ref_hum_liquid;
    } else if (type == HT_RH_INLET) {
        double ps = 0;
        std::string reason;
        if (!water_vapour_pressure(f, T_in, ps, reason))
            return failed("the relative humidity cannot be applied: " + reason);
        if (p_in < ps) {
            why = format_text(
                "For process %s, Inlet Temperature to high for this pressure level to calculate "
                "relative humidity\n",
                process.name.c_str());
            return false;
        }
        set_water(p_in > 0 ? process.inputs[PRI_HUMIDITY] * ps / p_in : 0.0);
    }
    if (type == HT_WATER_FRACTION || type == HT_RH_STANDARD) {
        // Water beyond saturation at the inlet is liquid; above the
        // critical temperature of water all of it is vapour.
        double ps = 0;
        std::string reason;
        double limit = 1.0;
        if (T_in < T_WATER_LIMIT) {
            if (!water_vapour_pressure(f, T_in, ps, reason))
                return failed("the liquid water at the inlet cannot be found: " + reason);
            limit = p_in > 0 ? ps / p_in : 0.0;
        }
        inlet.outputs[PO_OUTLET_LIQUID_WATER] = c[wp] > limit ? c[wp] - limit : 0.0;
    }
    return true;
}

// Why the inlet state (T, p) of a process is not had: its values, and the
// limit of the fluid or the library's message.
std::string inlet_problem(const Process& process, const Fluid& f, double T, double p) {
    const ValueDef& rT = process_input_values_def[PRI_TEMPERATURE];
    const ValueDef& rp = process_input_values_def[PRI_PRESSURE];
    const int uT = process.input_units[PRI_TEMPERATURE];
    const int up = process.input_units[PRI_PRESSURE];
    const std::string Ts = format_value(T, rT, uT), ps = format_value(p, rp, up);
    const std::string fluid = "fluid \"" + f.name + "\"";
    if (!(T > 0)) return "the inlet temperature " + Ts + " is not above absolute zero";
    if (!(p > 0)) return "the inlet pressure " + ps + " is not above 0";
    if (T < f.Tmin)
        return "the inlet temperature " + Ts + " is below the lowest temperature of " + fluid +
               ", " + format_value(f.Tmin, rT, uT);
    if (T > f.Tmax)
        return "the inlet temperature " + Ts + " is above the highest temperature of " + fluid +
               ", " + format_value(f.Tmax, rT, uT);
    if (p > f.pmax)
        return "the inlet pressure " + ps + " is above the highest pressure of " + fluid + ", " +
               format_value(f.pmax, rp, up);
    return "no state of " + fluid + " was found at " + Ts + " and " + ps + ": " +
           last_flash_message;
}

}  // namespace

int prepareProcess(Process& process, bool report) {
    auto failed = [&](const std::string& text) {
        if (report) status_message(ML_ERROR, "%s", text.c_str());
        return CS_FAILED;
    };
    for (int i = 0; i <= PRO_LIQUID_WATER_OUT; ++i) process.outputs[sz(i)] = 0;
    if (process.az_parts < 1 || process.parts[0] == nullptr)
        return failed(format_text("Process \"%s\" has no inlet.\n", process.name.c_str()));
    Part& inlet = *process.parts[0];
    inlet.fluid = process.fluid;
    if (inlet.fluid == nullptr)
        return failed(format_text("Process \"%s\" has no fluid.\n", process.name.c_str()));

    for (int k = 1; k < process.az_parts; ++k)
        if (is_combustor(process.parts[sz(k)]->type) && inlet.fluid == fluids[FLUID_AIR]) {
            failed("Combustion cannot be calculated with the pseudo-fluid Air.\n");
            return failed(
                "Use a fluid mixture like the pre-defined mixtures dry ISO Air or humid ISO "
                "Air\n");
        }
    // A fuel that cannot burn would otherwise pass into the exhaust gas.
    for (int k = 1; k < process.az_parts; ++k)
        if (is_combustor(process.parts[sz(k)]->type))
            if (std::string why = fuel_problem(*process.parts[sz(k)]); !why.empty())
                return failed(why);
    std::string why;
    Fluid* fluid = working_fluid(process, *inlet.fluid, why);
    if (fluid == nullptr) return failed(why);
    for (int k = 0; k < process.az_parts; ++k) process.parts[sz(k)]->fluid = fluid;
    if (init_stoffwerte(fluid) == 0)
        return failed(format_text("Fluid \"%s\" of process \"%s\" could not be set up.%s%s\n",
                                  fluid->name.c_str(), process.name.c_str(),
                                  fluid->setup_failure.empty() ? "" : " ",
                                  fluid->setup_failure.c_str()));
    Fluid& f = *fluid;

    inlet.x_out = f.x;
    inlet.outputs[PO_OUTLET_TEMPERATURE] = process.inputs[PRI_TEMPERATURE];
    inlet.outputs[PO_OUTLET_PRESSURE] = process.inputs[PRI_PRESSURE];
    inlet.outputs[PO_OUTLET_MASSFLOW] = process.inputs[PRI_MASSFLOW];
    inlet.outputs[PO_OUTLET_LIQUID_WATER] = 0;
    inlet.water = 0;
    if (!add_humidity(process, inlet, f, why)) return failed(why);

    inlet.state = PS_FINISHED;
    double T = process.inputs[PRI_TEMPERATURE], p = process.inputs[PRI_PRESSURE];
    double s = 0, h = 0, rho = 0, q = 0;
    if (!(T > 0) || !(p > 0) || get_all_by_T_and_p(inlet.x_out.data(), T, p, s, h, rho, q) != 0 ||
        !std::isfinite(h) || !std::isfinite(s) || !std::isfinite(rho)) {
        inlet.state = PS_FAILED;
        return failed("Failed to initialize process, check inlet values \n" +
                      format_text("Process \"%s\": %s.\n", process.name.c_str(),
                                  inlet_problem(process, f, process.inputs[PRI_TEMPERATURE],
                                                process.inputs[PRI_PRESSURE])
                                      .c_str()));
    }
    inlet.outputs[PO_OUTLET_ENTROPY] = s;
    inlet.outputs[PO_OUTLET_ENTHALPY] = h;
    inlet.outputs[PO_OUTLET_DENSITY] = rho;
    // The quality goes with the state: the next part takes it as the phase
    // hint of its first flash.
    inlet.outputs[PO_OUTLET_HUMIDITY] = q;
    return CS_FINISHED;
}

}  // namespace app
