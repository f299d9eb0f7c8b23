// Combustors: fuel and oxidizer, heating values, the products of complete
// combustion, and the two calculation modes.
#include "app/core/solver/combustor.h"

#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/program/text_output.h"
#include "app/core/solver/heat_exchangers.h"
#include "app/core/solver/simulator.h"
#include "library/library.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace app {

namespace {

constexpr int MAX_PASSES = 1000;         // passes of the fixed-temperature mode
constexpr double FUEL_FLOW_STEP = 1e-9;  // kg/s: the passes end below this change
constexpr double FLOW_ROUNDING = 1e-12;  // kg/s: a fuel flow this small is none
constexpr int MODE_FIXED_MASSFLOW = 0;   // option "Calculation mode"
constexpr int MODE_FIXED_TEMPERATURE = 1;

// A stream fed into the combustor (fuel or oxidizer): its composition,
// molar mass (g/mol) and enthalpies at its feed state and at the reference
// state (kJ/kg).
struct Feed {
    Fluid* fluid = nullptr;
    std::array<double, MAX_COMPONENTS> x{};
    double M = 0, h = 0, h_ref = 0;
};

class Combustion {
public:
    explicit Combustion(Part& p) : part(p), name(p.name.c_str()), o(p.outputs) {}

    int run() {
        if (!outlet_pressure() || !inlet() || !reference_temperature() || !fuel_feed() ||
            !fuel_heating_values() || !oxidizer_feed() || !working_fluid())
            return PS_FAILED;
        oxygen_demand = fuel_C + fuel_H / 4 - fuel_O / 2;
        q_f = part.inputs[PI_COMBUSTION_EFFICIENCY] * o[PO_NET_HEATING_VALUE];
        int r = PS_FAILED;
        switch (part.options[OPT_CALCULATION_MODE]) {
            case MODE_FIXED_MASSFLOW: r = fixed_massflow(); break;
            case MODE_FIXED_TEMPERATURE: r = fixed_temperature(); break;
            default: return fail("Combustor definition problem | Unknown type of massflow\n");
        }
        if (r != PS_FINISHED) return r;
        o[PO_SPECIFIC_HEAT_FLUX] = part.h[n] - part.h[0];
        // The exhaust carries the water of the fuel's hydrogen.
        if (const int w = water_slot(*part.fluid); w >= 0 && part.x_out[sz(w)] > 0) part.water = 1;
        return PS_FINISHED;
    }

private:
    Part& part;
    const char* name;
    std::array<double, NUM_PART_OUTPUTS>& o;
    std::size_t n = 0;
    Feed fuel, ox;
    bool injects = false;  // an oxygen injection combustor
    int ox_o2_slot = -1;   // the oxidizer's oxygen slot
    // Atoms per mole of fuel (inert fuel components count none).
    double fuel_C = 0, fuel_H = 0, fuel_O = 0, fuel_N = 0;
    double oxygen_demand = 0;  // mol of O2 per mol of fuel
    double q_f = 0;            // heat released per kg of fuel, kJ/kg
    double m_in = 0, M_in = 0, h_air_ref = 0;
    double T_ref = COMBUSTION_T_REF;  // K, of this combustor's balances
    // Results of the products for a fuel flow.
    double n_ox = 0, m_ox = 0, lambda = 0;

    int fail(std::string text) { return fail_part(part, std::move(text)); }
    bool failed(std::string text) {
        fail(std::move(text));
        return false;
    }

    // Step 1: the outlet pressure (same rule and texts as the heat
    // exchangers).
    bool outlet_pressure() {
        n = sz(part.steps);
        return calcOutletPressure(part) == PS_FINISHED;
    }

    bool inlet() {
        injects = part.type == OXYGEN_INJECTION_COMBUSTOR;
        m_in = o[PO_INLET_MASSFLOW];
        if (!(m_in > 0))
            return failed(
                format_text("Combustor \"%s\": the inlet mass flow is not above 0.\n", name));
        if (part.fluid == nullptr)
            return failed(format_text("Combustor \"%s\" has no working fluid.\n", name));
        return true;
    }

    // Lowers T_ref to the end of the equations of the fluid's components
    // (and of the fluid's own mixture limit), noting which one ends first.
    void hold_below_limits_of(Fluid* f, const Fluid*& limiting) {
        if (f == nullptr || init_stoffwerte(f) == 0) return;
        for (int i = 0; i < f->az_components && i < MAX_COMPONENTS; ++i) {
            if (!(f->x[sz(i)] > 0)) continue;
            double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
            int ierr = 0;
            std::string herr;
            lib::LIMITK("EOS", i + 1, 0.0, 0.0, 0.0, tmin, tmax, dmax, pmax, ierr, herr);
            if (tmax < T_ref) {
                T_ref = tmax;
                limiting = fluids[f->comp_index[sz(i)]];
            }
        }
        if (current_fluid->Tmax < T_ref) {
            T_ref = current_fluid->Tmax;
            limiting = f;
        }
    }

    // The reference temperature: COMBUSTION_T_REF, or the highest
    // temperature where the equations of every component of the fuel (and
    // of the oxidizer) hold, when they end below it; the working fluid must
    // hold there too.
    bool reference_temperature() {
        T_ref = COMBUSTION_T_REF;
        const Fluid* limiting = nullptr;
        hold_below_limits_of(part.fuel, limiting);
        if (injects) hold_below_limits_of(part.oxidizer, limiting);
        if (limiting == nullptr) return true;
        if (init_stoffwerte(part.fluid) == 0 || !(T_ref >= current_fluid->Tmin))
            return failed(format_text(
                "Combustor \"%s\": the equations of \"%s\" end at %g K, where those of the "
                "working fluid \"%s\" do not hold; no common reference state for the "
                "heating values.\n",
                name, limiting->name.c_str(), T_ref, part.fluid->name.c_str()));
        status_message(ML_INFO,
                       "Combustor \"%s\": heating values and enthalpy balances referred to %g K, "
                       "the end of the equations of \"%s\" (otherwise %g K).\n",
                       name, T_ref, limiting->name.c_str(), COMBUSTION_T_REF);
        return true;
    }

    // Sets the feed's fluid up and finds its enthalpies at (T, p) and at the
    // reference state.
    bool feed_state(Feed& feed, Fluid* fluid, double T, double p) {
        feed.fluid = fluid;
        if (fluid == nullptr || init_stoffwerte(fluid) == 0) return false;
        feed.x = fluid->x;
        feed.M = lib::WMOL(feed.x.data());
        double Tr = T_ref, pr = COMBUSTION_P_REF, s = 0, rho = 0, q = 0;
        if (get_all_by_T_and_p(feed.x.data(), Tr, pr, s, feed.h_ref, rho, q) != 0) return false;
        double Tf = T, pf = p;
        return get_all_by_T_and_p(feed.x.data(), Tf, pf, s, feed.h, rho, q) == 0;
    }

    // Steps 2 and 3: the fuel, its atoms and its enthalpies.
    bool fuel_feed() {
        Fluid* f = part.fuel;
        if (f == nullptr) return failed(format_text("Combustor \"%s\" has no fuel.\n", name));
        if (std::string why = fuel_problem(part); !why.empty()) return failed(why);
        for (int i = 0; i < f->az_components && i < MAX_COMPONENTS; ++i) {
            const Fluid* c = fluids[f->comp_index[sz(i)]];
            const double xi = f->x[sz(i)];
            if (c == nullptr || xi == 0) continue;
            if (c->fuel[FUEL_FIFTH] > 0)
                return failed(format_text(
                    "Combustor \"%s\": fuel component \"%s\" holds atoms whose combustion "
                    "products are not calculated (fifth fuel number %g); only fuels of carbon, "
                    "hydrogen, oxygen and nitrogen burn here.\n",
                    name, c->name.c_str(), c->fuel[FUEL_FIFTH]));
            if (!combustible(*c)) continue;
            fuel_C += xi * c->fuel[FUEL_C];
            fuel_H += xi * c->fuel[FUEL_H];
            fuel_O += xi * c->fuel[FUEL_O];
            fuel_N += xi * c->fuel[FUEL_N];
        }
        if (!feed_state(fuel, f, part.inputs[PI_FUEL_TEMPERATURE], part.inputs[PI_FUEL_PRESSURE]))
            return failed(
                format_text("Calculating fuel properties failed in combuster %s\n", name));
        return true;
    }

    // The heating values per kg of fuel: each combustible component's at
    // the reference temperature (the library holds the fuel).
    bool fuel_heating_values() {
        const Fluid& f = *fuel.fluid;
        double Hg = 0, Hn = 0;
        for (int i = 0; i < f.az_components && i < MAX_COMPONENTS; ++i) {
            const Fluid* c = fluids[f.comp_index[sz(i)]];
            if (c == nullptr || f.x[sz(i)] == 0 || !combustible(*c)) continue;
            double e[MAX_COMPONENTS] = {};
            e[i] = 1.0;
            double hg = 0, hn = 0;
            int ierr = 0;
            std::string herr;
            lib::HEAT(T_ref, 0.0, e, hg, hn, ierr, herr);
            if (ierr != 0 || !std::isfinite(hg) || !std::isfinite(hn)) {
                herr.erase(herr.find_last_not_of(" \0") + 1);
                return failed(
                    format_text("Combustor \"%s\": fuel component \"%s\" of fuel \"%s\" cannot be "
                                "burnt here: its heating value is not available (%s).\n",
                                name, c->name.c_str(), f.name.c_str(), herr.c_str()));
            }
            Hg += f.x[sz(i)] * hg / 1000.0;
            Hn += f.x[sz(i)] * hn / 1000.0;
        }
        o[PO_NET_HEATING_VALUE] = 1000.0 * Hn / fuel.M;
        o[PO_GROSS_HEATING_VALUE] = 1000.0 * Hg / fuel.M;
        return true;
    }

    // Step 4: the oxidizer of an oxygen injection combustor and its oxygen
    // slot (the last one).
    bool oxidizer_feed() {
        m_ox = n_ox = 0;
        if (!injects) return true;
        Fluid* f = part.oxidizer;
        if (f == nullptr) return failed(format_text("Combustor \"%s\" has no oxidizer.\n", name));
        for (int i = 0; i < f->az_components && i < MAX_COMPONENTS; ++i)
            if (f->comp_index[sz(i)] == FLUID_OXYGEN) ox_o2_slot = i;
        if (!feed_state(ox, f, part.inputs[PI_OXIDIZER_TEMPERATURE],
                        part.inputs[PI_OXIDIZER_PRESSURE]))
            return failed(
                format_text("Calculating oxidizer properties failed in combuster %s\n", name));
        return true;
    }

    // Step 5: the working fluid and the stream's reference enthalpy.
    bool working_fluid() {
        if (init_stoffwerte(part.fluid) == 0)
            return failed(format_text("Calculating air properties failed in combuster %s\n", name));
        M_in = lib::WMOL(part.x_in.data());
        double T = T_ref, p = COMBUSTION_P_REF, s = 0, rho = 0, q = 0;
        if (get_all_by_T_and_p(part.x_in.data(), T, p, s, h_air_ref, rho, q) != 0)
            return failed(format_text("Calculating air properties failed in combuster %s\n", name));
        return true;
    }

    // Slot of the working fluid holding the component of `fluids` entry
    // `index`, or -1.
    int slot_of(int index) const {
        for (int j = 0; j < part.fluid->az_components && j < MAX_COMPONENTS; ++j)
            if (part.fluid->comp_index[sz(j)] == index) return j;
        return -1;
    }

    bool missing_slot(const char* what) {
        return failed(
            format_text("Combustor \"%s\": the working fluid \"%s\" has no place for "
                        "the %s; calculate the project again to rebuild it.\n",
                        name, part.fluid->name.c_str(), what));
    }

    // Step 7: the outlet composition, air ratio and oxidizer flow for the
    // fuel molar flow n_f (mol/s). Every atom of the stream, the fuel and
    // the oxidizer leaves in the exhaust: carbon as CO2, hydrogen as water,
    // nitrogen as N2.
    bool products(double n_f) {
        std::array<double, MAX_COMPONENTS> N{};
        const int nc = std::min(part.fluid->az_components, MAX_COMPONENTS);
        for (int j = 0; j < nc; ++j) N[sz(j)] = part.x_in[sz(j)] * 1000.0 * m_in / M_in;
        const Fluid& f = *fuel.fluid;
        for (int i = 0; i < f.az_components && i < MAX_COMPONENTS; ++i) {
            const Fluid* c = fluids[f.comp_index[sz(i)]];
            if (c == nullptr || combustible(*c) || f.x[sz(i)] == 0) continue;
            const int j = slot_of(f.comp_index[sz(i)]);
            if (j < 0) return missing_slot(("fuel component " + c->name).c_str());
            N[sz(j)] += f.x[sz(i)] * n_f;
        }
        const int co2 = slot_of(FLUID_CO2), h2o = slot_of(FLUID_WATER), o2 = slot_of(FLUID_OXYGEN);
        if (co2 < 0 || h2o < 0 || o2 < 0) return missing_slot("combustion products");
        N[sz(co2)] += fuel_C * n_f;
        N[sz(h2o)] += fuel_H / 2 * n_f;
        if (fuel_N > 0) {
            const int n2 = slot_of(FLUID_NITROGEN);
            if (n2 < 0) return missing_slot("nitrogen of the fuel");
            N[sz(n2)] += fuel_N / 2 * n_f;
        }
        const double demand = oxygen_demand * n_f;
        lambda = demand > 0 ? N[sz(o2)] / demand : 0.0;
        N[sz(o2)] -= demand;
        n_ox = m_ox = 0;
        if (N[sz(o2)] < 0 && !draw_oxidizer(N, o2)) return false;
        double sum = 0;
        for (int j = 0; j < nc; ++j) sum += N[sz(j)];
        if (!(sum > 0)) return failed(format_text("Combustor \"%s\": no exhaust gas.\n", name));
        part.x_out.fill(0.0);
        for (int j = 0; j < nc; ++j) part.x_out[sz(j)] = N[sz(j)] / sum;
        return true;
    }

    // Step 7d: the oxygen deficit N[o2] < 0 covered by the oxidizer, or the
    // plain combustor's failure.
    bool draw_oxidizer(std::array<double, MAX_COMPONENTS>& N, int o2) {
        const double deficit = -N[sz(o2)];
        if (!injects)
            return failed(format_text(
                "Combustor does not have enough oxygen, calculation failed\nCombustor \"%s\": "
                "the fuel needs %g mol/s of oxygen more than the stream holds.\n",
                name, deficit));
        const double x_o2 = ox_o2_slot >= 0 ? ox.x[sz(ox_o2_slot)] : 0.0;
        if (!(x_o2 > 0))
            return failed(format_text(
                "Combustor does not have enough oxygen, calculation failed\nCombustor \"%s\": "
                "its oxidizer \"%s\" holds no oxygen to cover the %g mol/s the stream lacks.\n",
                name, ox.fluid->name.c_str(), deficit));
        n_ox = deficit / x_o2;
        m_ox = ox.M * n_ox / 1000.0;
        const Fluid& f = *ox.fluid;
        for (int i = 0; i < f.az_components && i < MAX_COMPONENTS; ++i) {
            if (i == ox_o2_slot || f.x[sz(i)] == 0) continue;
            const int j = slot_of(f.comp_index[sz(i)]);
            if (j < 0) return missing_slot("oxidizer");
            N[sz(j)] += f.x[sz(i)] * n_ox;
        }
        N[sz(o2)] = 0;  // the drawn oxygen is burnt
        return true;
    }

    // The highest temperature of the property equations for the outlet
    // composition: it falls as the fuel adds water (air 1993.7 K; its
    // exhaust with 9.6 % water 1702.9 K), below the limit of the working
    // fluid set up from the inlet's composition.
    double exhaust_tmax() const {
        const double T_fluid = current_fluid != nullptr ? current_fluid->Tmax : 0.0;
        double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
        lib::LIMITS("EOS", part.x_out.data(), tmin, tmax, dmax, pmax);
        return tmax > 0 ? std::min(T_fluid, tmax) : T_fluid;
    }

    // Why the outlet state at T could not be calculated, where the outlet
    // composition's temperature limit explains it (Dry ISO Air at 600 K
    // burnt to 1800 K failed with no more than "Combustor failed to
    // calculate outlet conditions").
    std::string outlet_limit_reason(double T) const {
        const double tmax = exhaust_tmax();
        if (!(T > tmax)) return {};
        return format_text(
            "Combustor \"%s\": the property equations of its exhaust gas, of the composition "
            "that the fuel gives, reach %f K; the outlet temperature %f K lies above.\n",
            name, tmax, T);
    }

    // The outlet state at (T, p_n) of the outlet composition into point n.
    int state_at(double T) {
        double Tn = T, p = part.p[n];
        const int r = get_all_by_T_and_p(part.x_out.data(), Tn, p, part.s[n], part.h[n],
                                         part.rho[n], part.q[n]);
        part.T[n] = T;
        return r;
    }

    // Reference enthalpy of the outlet composition, kJ/kg.
    bool exhaust_reference(double& h_ref) {
        double T = T_ref, p = COMBUSTION_P_REF, s = 0, rho = 0, q = 0;
        return get_all_by_T_and_p(part.x_out.data(), T, p, s, h_ref, rho, q) == 0;
    }

    // The feeds' enthalpies above their reference states times their flows
    // (kW), without the fuel.
    double feed_enthalpy_flows() const {
        return (ox.h - ox.h_ref) * m_ox + (part.h[0] - h_air_ref) * m_in;
    }

    void write_flows(double m_f) {
        o[PO_FUEL_MASSFLOW] = m_f;
        o[PO_OXIDIZER_MASSFLOW] = m_ox;
        o[PO_OUTLET_MASSFLOW] = m_in + m_f + m_ox;
        o[PO_THERMAL_POWER] = m_f * q_f;
        o[PO_LAMBDA] = lambda;
    }

    // Step 8: the outlet for the given fuel flow.
    int fixed_massflow() {
        const double m_f = part.inputs[PI_FIXED_FUEL_MASSFLOW];
        if (!(m_f >= 0))
            return fail(format_text("Combustor \"%s\": the fuel mass flow is below 0.\n", name));
        if (!products(1000.0 * m_f / fuel.M)) return PS_FAILED;
        double h_e_ref = 0;
        if (!exhaust_reference(h_e_ref))
            return fail("Combustor failed, cannot calculate reference values exhaust gas.\n");
        const double m_out = m_in + m_f + m_ox;
        part.h[n] =
            (feed_enthalpy_flows() + (fuel.h - fuel.h_ref) * m_f + m_f * q_f) / m_out + h_e_ref;
        double p = part.p[n];
        const int r = get_all_by_p_and_h(part.x_out.data(), part.T[n], p, part.s[n], part.h[n],
                                         part.rho[n], part.q[n], part.q[0]);
        const double T_fluid = current_fluid != nullptr ? current_fluid->Tmax : 0.0;
        if (r != 0 || !(part.T[n] <= T_fluid))
            return fail(format_text(
                "Combustor outlet temperature to high at %f, max is %f lower fuel massflow | %d "
                "|%s| \n",
                part.T[n], exhaust_tmax(), r, r > 0 ? last_flash_message.c_str() : ""));
        write_flows(m_f);
        return PS_FINISHED;
    }

    // Step 9: the fuel flow that gives the outlet temperature, by passes
    // over the exhaust composition until the fuel flow stays.
    int fixed_temperature() {
        const double T_out = part.inputs[PI_OUTLET_TEMPERATURE];
        const Fluid& wf = *current_fluid;
        if (T_out < wf.Tmin)
            return fail(
                format_text("\nFailure calculating combustor \"%s\".\nTemperature %f K is "
                            "lower then minimum value %f K\n",
                            name, T_out, wf.Tmin));
        if (T_out > wf.Tmax)
            return fail(
                format_text("\nFailure calculating combustor \"%s\".\nTemperature %f K is "
                            "higher then maximum value %f K\n",
                            name, T_out, wf.Tmax));
        if (T_out < part.T[0])
            return fail("Desired combustor outlet temperature is lower then inlet temperature !\n");
        part.x_out = part.x_in;
        n_ox = m_ox = 0;
        lambda = 0;
        double m_f = 0, m_prev = 0, change = 0;
        bool settled = false;
        for (int pass = 0; pass < MAX_PASSES && !settled; ++pass) {
            if (calculation_cancelled()) return cancel_part(part);
            if (state_at(T_out) != 0)
                return fail("Combustor failed to calculate outlet conditions\n" +
                            outlet_limit_reason(T_out));
            double h_e_ref = 0;
            if (!exhaust_reference(h_e_ref))
                return fail("Combustor failed to calculate reference outlet conditions\n");
            const double delta = part.h[n] - h_e_ref;
            const double den = delta - q_f - fuel.h + fuel.h_ref;
            m_f = (feed_enthalpy_flows() - (m_in + m_ox) * delta) / den;
            if (std::fabs(m_f) < FLOW_ROUNDING) m_f = 0;
            if (!(den != 0) || !std::isfinite(m_f) || m_f < 0)
                return fail(format_text(
                    "Combustor \"%s\": no fuel flow gives the outlet temperature %f K (the "
                    "energy balance gives %g kg/s).\n",
                    name, T_out, m_f));
            if (!products(1000.0 * m_f / fuel.M)) return PS_FAILED;
            change = std::fabs(m_f - m_prev);
            settled = change < FUEL_FLOW_STEP;
            m_prev = m_f;
        }
        if (!settled)
            status_message(ML_WARNING,
                           "Combustor \"%s\": the fuel flow for the outlet temperature %f K did "
                           "not settle in %d passes (last change %g kg/s); the results are those "
                           "of the last pass.\n",
                           name, T_out, MAX_PASSES, change);
        // The outlet state of the final composition.
        if (state_at(T_out) != 0)
            return fail("Combustor failed to calculate outlet conditions\n" +
                        outlet_limit_reason(T_out));
        write_flows(m_f);
        return PS_FINISHED;
    }
};

}  // namespace

std::string fuel_problem(const Part& part) {
    const Fluid* f = part.fuel;
    if (f == nullptr) return {};
    for (int i = 0; i < f->az_components && i < MAX_COMPONENTS; ++i) {
        const Fluid* c = fluids[f->comp_index[sz(i)]];
        if (c != nullptr && f->x[sz(i)] > 0 && combustible(*c)) return {};
    }
    return format_text(
        "Combustor \"%s\": its fuel \"%s\" holds no combustible component (none of its "
        "components burns to carbon dioxide, water and nitrogen here); choose a fuel such as "
        "methane, hydrogen or carbon monoxide.\n",
        part.name.c_str(), f->name.c_str());
}

int calcCombustor(Part& part) { return Combustion(part).run(); }

}  // namespace app
