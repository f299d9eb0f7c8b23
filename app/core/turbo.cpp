// Turbo machines: the stepwise polytropic model with condensation of water,
// and the search for the polytropic efficiency of a given isentropic one.
#include "app/core/turbo.h"

#include "app/core/fluid_properties.h"
#include "app/core/init.h"
#include "app/core/simulator.h"
#include "app/core/text_output.h"
#include "app/core/tools.h"
#include "app/core/units.h"
#include "library/library.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace app {

namespace {

bool expansion(const Part& part) { return part.type == EXPANDER || part.type == TURBINE; }

// A pump takes liquid: compressed, saturated or supercritical fluid, not
// vapour or a two-phase mixture (a quality above the saturated liquid's,
// allowing for the rounding of a saturated state).
bool pumpable(double q) { return q <= 1e-9 || q == 999.0; }

int fail(Part& part, std::string text) {
    part.failure_text = std::move(text);
    return PS_FAILED;
}

// A limit of the current fluid in the temperature or pressure unit that the
// texts use.
double shown(int quantity, double value) {
    return to_display(quantity, selected_unit[sz(quantity)], value);
}
const char* symbol(int quantity) { return unit_symbol(quantity, selected_unit[sz(quantity)]); }

// Judges the result of a flash inside the steps: true to go on. The first
// form is that of a step's first estimate, the second that of the inner
// passes. The phase warning is given once per run of the model.
bool accept(Part& part, int r, bool first, bool& warned) {
    const char* name = part.name.c_str();
    const Fluid* f = current_fluid;
    switch (r) {
        case 0:
        case 203:
        case 247: return true;
        case PH_VAPOUR_ASSUMED:
        case PH_LIQUID_ASSUMED:
            if (!warned) {
                status_message(ML_WARNING,
                               r == PH_VAPOUR_ASSUMED
                                   ? "Determimation of fluid phase region failed in part %s. "
                                     "Assuming vapor region.\n"
                                   : "Determimation of fluid phase region failed in part %s. "
                                     "Assuming liquid region.\n",
                               name);
                warned = true;
                phase_warning = 1;
            }
            return true;
        case PH_NO_RECOVERY:
        case PH_RECOVERY_FAILED:
            fail(part,
                 format_text(first ? "Determimation of fluid phase region failed in part %s !\n"
                                   : "Determimation of fluid phase region failed in part %s!\n",
                             name));
            return false;
        case -1:
            fail(part,
                 format_text("Calculating fluid properties failed in part %s. Temperature to "
                             "high ! Max temperature is %f %s\n",
                             name, shown(Q_TEMPERATURE, f ? f->Tmax : 0), symbol(Q_TEMPERATURE)));
            return false;
        case 1:
            fail(part,
                 format_text("Calculating fluid properties failed in part %s. Temperature to "
                             "low ! Min Temperature is %f %s\n",
                             name, shown(Q_TEMPERATURE, f ? f->Tmin : 0), symbol(Q_TEMPERATURE)));
            return false;
        case -4:
            fail(part, format_text("Calculating fluid properties failed in part %s. Pressure to "
                                   "high ! Max pressure is %f %s\n",
                                   name, shown(Q_PRESSURE, f ? f->pmax : 0), symbol(Q_PRESSURE)));
            return false;
        case -16:
            fail(part, first ? format_text("Calculating fluid properties failed in part %s. "
                                           "Temperature to low ! %d\n",
                                           name, -16)
                             : format_text("Calculating fluid properties failed in part %s. "
                                           "Temperature to low !\n",
                                           name));
            return false;
        default:
            fail(part, format_text(first ? "Calculating fluid properties failed in part %s !\n"
                                         : "Calculating fluid properties failed in part %s\n",
                                   name));
            return false;
    }
}

// The exponent nu = n / (n - 1) of the polytropic change from the isentropic
// temperature and volume exponents; a = (1 - e) / e.
double exponent(double kT, double kv, double a) {
    return 1.0 / ((kT - 1.0) * a / kT + (kv - 1.0) / kv);
}

// Latent heat of water at T (kJ/kg): evaporation from the saturated states
// at kph 2, sublimation by a fit in degrees Celsius at kph 4.
double latent_heat(Fluid& f, int kph, double T, double Dl, double Dv) {
    if (kph == lib::kSublimationLine) {
        const double t = T - 273.15;
        return 2834.8 - 0.2569 * t - 0.0038357 * t * t;
    }
    double Tv = T, pv = 0, sv = 0, hv = 0, Tl = T, pl = 0, sl = 0, hl = 0;
    therm_wrapper(f.x_water.data(), Tv, pv, sv, hv, Dv);
    therm_wrapper(f.x_water.data(), Tl, pl, sl, hl, Dl);
    return hv - hl;
}

}  // namespace

int calcTurbo(Part& part) {
    const int n = part.steps;
    if (part.pr_used == 1.0) {
        for (int k = 1; k <= n; ++k) {
            part.p[sz(k)] = part.p[0];
            part.h[sz(k)] = part.h[0];
            part.T[sz(k)] = part.T[0];
            part.s[sz(k)] = part.s[0];
            part.rho[sz(k)] = part.rho[0];
            part.q[sz(k)] = part.q[0];
        }
        part.outputs[PO_SPECIFIC_HEAD] = 0;
        part.outputs[PO_SPECIFIC_WORK] = 0;
        part.outputs[PO_POWER] = 0;
        return PS_FINISHED;
    }
    switch (part.options[OPT_EFFICIENCY]) {
        case 0: return calcTurbo_isentropic(part);
        case 1: return calcTurbo_polytropic(part);
        default:
            return fail(part, format_text("calcCompressor | Type of efficiency not known (%i)\n",
                                          part.options[OPT_EFFICIENCY]));
    }
}

int calcTurbo_polytropic(Part& part) {
    const char* name = part.name.c_str();
    const int n = part.steps;
    if (n < 1 || n > MAX_STEPS || part.fluid == nullptr)
        return fail(part, format_text("Calculating fluid properties failed in part %s\n", name));
    Fluid& fluid = *part.fluid;
    double* c = part.x_out.data();
    std::array<double, NUM_PART_OUTPUTS>& o = part.outputs;
    const double e = part.eta_used;
    double mdot = o[PO_INLET_MASSFLOW];

    o[PO_POWER] = 0;
    o[PO_CONDENSATION_HEAT] = 0;
    o[PO_SPECIFIC_CONDENSATION_HEAT] = 0;
    double R = 0;
    lib::RMIX2(part.x_in.data(), R);
    R /= lib::WMOL(part.x_in.data());

    {
        double p0 = part.p[0];
        const int r = get_all_by_p_and_h(c, part.T[0], p0, part.s[0], part.h[0], part.rho[0],
                                         part.q[0], part.q[0]);
        if (r != 0)
            return fail(
                part,
                format_text("Error calculating fluid conditions at inlet for part %s\n", name));
    }

    if (part.type == PUMP && !pumpable(part.q[0])) {
        const double q0 = part.q[0];
        const std::string what =
            q0 > 0 && q0 < 1 ? format_text("wet vapour (quality %.4g)", q0) : std::string("vapour");
        return fail(
            part, format_text("Pump \"%s\" is fed with %s at %s and %s; a pump takes liquid.\n",
                              name, what.c_str(),
                              format_value(part.T[0], part_output_values_def[PO_INLET_TEMPERATURE],
                                           part.output_units[PO_INLET_TEMPERATURE])
                                  .c_str(),
                              format_value(part.p[0], part_output_values_def[PO_INLET_PRESSURE],
                                           part.output_units[PO_INLET_PRESSURE])
                                  .c_str()));
    }

    const double p0 = part.p[0];
    const double r_used = part.pr_used;
    if (part.segmentation == 0) {
        for (int k = 1; k <= n; ++k) part.p[sz(k)] = p0 + k * (p0 * r_used - p0) / n;
    } else if (part.segmentation == 1) {
        const double f = std::pow(r_used, 1.0 / n);
        for (int k = 1; k <= n; ++k) part.p[sz(k)] = part.p[sz(k - 1)] * f;
    } else {
        return fail(part, format_text("calcCompressor | Type of step segmentation not known (%i)\n",
                                      part.segmentation));
    }

    double Z = get_Z(c, p0, part.rho[0], part.T[0]);
    double kT = get_kT(c, p0, part.rho[0], part.s[0], part.T[0]);
    double kv = get_kv(c, p0, part.rho[0], part.s[0], part.T[0]);
    const double a = (1.0 - e) / e;
    double nu = exponent(kT, kv, a);
    double h_prev = part.h[0];
    double head = 0;
    bool warned = false;
    const bool water = part.water != 0;
    const std::size_t wp = sz(std::clamp(fluid.water_pos, 0, MAX_COMPONENTS - 1));

    for (int k = 1; k <= n; ++k) {
        part.segment = k;
        const std::size_t i = sz(k), im = sz(k - 1);
        double& T = part.T[i];
        double& s = part.s[i];
        double& h = part.h[i];
        double& rho = part.rho[i];
        double& q = part.q[i];
        const double pk = part.p[i];
        const double ratio = pk / part.p[im];
        const double ZRT = Z * R * part.T[im];

        h = ZRT * nu * (std::pow(ratio, 1.0 / nu) - 1.0) / e + h_prev;
        double pc = pk;
        if (!accept(part, get_all_by_p_and_h(c, T, pc, s, h, rho, q, part.q[im]), true, warned))
            return PS_FAILED;

        double wc = 0, delta = 0, hc = 0, L = 0, dh = 0, nu_k = nu;
        const double M = lib::WMOL(c);
        double s_old = s;
        int passes = 0;
        bool go_on = true;
        while (go_on) {
            kT = get_kT(c, pk, rho, s, T);
            kv = get_kv(c, pk, rho, s, T);
            nu_k = exponent(kT, kv, a);
            const double m = aveArith(nu, nu_k);
            const double m_exp = (nu < 1 || nu_k < 1) ? m : aveLog(nu, nu_k);
            dh = ZRT * m * (std::pow(ratio, 1.0 / m_exp) - 1.0);
            h = dh / e + h_prev + hc;
            pc = pk;
            if (!accept(part, get_all_by_p_and_h(c, T, pc, s, h, rho, q, part.q[im]), false,
                        warned))
                return PS_FAILED;
            if (!(T >= 0) || T > fluid.Tmax || !std::isfinite(T))
                return fail(part, format_text("Calculatin failed in part %s, Temperature outside "
                                              "limits.\n",
                                              name));
            if (water && T < T_WATER_LIMIT) {
                const int kph = T >= 273.16 ? lib::kDewPoint : lib::kSublimationLine;
                double ps = 0, Dl = 0, Dv = 0, xl[MAX_COMPONENTS] = {}, xv[MAX_COMPONENTS] = {};
                int ierr = 0;
                std::string herr;
                lib::SATT(T, fluid.x_water.data(), kph, ps, Dl, Dv, xl, xv, ierr, herr);
                Dl *= M_WATER;
                Dv *= M_WATER;
                const double w = std::max(c[wp] - wc, 0.0);
                const double S = ps > 0 ? pk * w / ps : 0.0;
                if (ps > 0 && (S > 1 || (S < 1 && wc > 0))) {
                    L = latent_heat(fluid, kph, T, Dl, Dv);
                    delta = std::min(0.2 * (S - 1) * w, w);
                    double wc_new = wc + delta;
                    if (wc_new < 0) {
                        delta = -wc;
                        wc_new = 0;
                    }
                    hc = wc_new * L * M_WATER / M;
                    wc = wc_new;
                }
            }
            ++passes;
            const bool s_moved = std::fabs(s_old - s) > 5e-9;
            if (s_moved) s_old = s;
            go_on = passes < 50 && (s_moved || std::fabs(delta) > 1e-9);
        }

        o[PO_POWER] += dh / e * mdot;
        if (!water) {
            h_prev = h;
            Z = get_Z(c, pk, rho, T);
            nu = nu_k;
        } else {
            o[PO_SPECIFIC_CONDENSATION_HEAT] += hc;
            o[PO_CONDENSATION_HEAT] += L * mdot / M * M_WATER * wc;
            const double cw_old = c[wp];
            const double cw_new = cw_old - wc;
            const double scale = cw_old < 1 ? (1 - cw_new) / (1 - cw_old) : 1.0;
            c[wp] = cw_new;
            for (int j = 0; j < fluid.az_components && j < MAX_COMPONENTS; ++j)
                if (sz(j) != wp) c[j] *= scale;
            const double M_new = lib::WMOL(c);
            double Tc = T, pc2 = pk;
            if (get_all_by_T_and_p(c, Tc, pc2, s, h, rho, q) != 0)
                return fail(part,
                            format_text("Calculating fluid properties failed in part %s\n", name));
            h_prev = h;
            kT = get_kT(c, pk, rho, s, T);
            kv = get_kv(c, pk, rho, s, T);
            Z = get_Z(c, pk, rho, T);
            const double mw = mdot / M_new * wc * M_WATER;
            mdot -= mw;
            o[PO_LIQUID_WATER_OUT] += mw;
            nu = exponent(kT, kv, a);
        }
        head += dh;
    }

    double T = 0, pn = part.p[sz(n)], s0 = part.s[0], hs = 0, rho = 0, q = 0;
    if (get_all_by_p_and_s(c, T, pn, s0, hs, rho, q) != 0)
        return fail(part, format_text("Calculating fluid properties failed in part %s\n", name));

    o[PO_OUTLET_MASSFLOW] = mdot;
    const double dhs = hs - part.h[0];
    const double dh_real = part.h[sz(n)] - part.h[0];
    o[PO_ISENTROPIC_ENTHALPY_DIFF] = dhs;
    o[PO_SPECIFIC_HEAD] = head;
    o[PO_SPECIFIC_WORK] = head / e;
    o[PO_POLYTROPIC_EFFICIENCY] = part.inputs[PI_POLYTROPIC_EFFICIENCY];
    const double num = expansion(part) ? dh_real : dhs;
    const double den = expansion(part) ? dhs : dh_real;
    o[PO_ISENTROPIC_EFFICIENCY] = den != 0 ? num / den : 1.0;
    return PS_FINISHED;
}

int calcTurbo_isentropic(Part& part) {
    const double e_s = part.eta_used;
    const double h0 = part.h[0];
    const double s0 = part.s[0];
    double omega = 1.0, tau = 1e-6;
    for (int i = 0;; ++i) {
        if (i > 10) omega = 0.5;
        if (i > 20) omega = 0.1;
        if (i > 30) tau = 0.002;
        if (i > 40) tau = 0.005;
        if (i > 50) tau = 0.01;
        if (calcTurbo_polytropic(part) != PS_FINISHED) return PS_FAILED;

        double T = 0, pn = part.p[sz(part.steps)], s = s0, hs = 0, rho = 0, q = 0;
        if (get_all_by_p_and_s(part.x_in.data(), T, pn, s, hs, rho, q) != 0)
            return fail(part, format_text("Error while calculating efficiency in part %s\n",
                                          part.name.c_str()));
        const double e_old = part.eta_used;
        const double e_new =
            omega * e_s * (part.outputs[PO_SPECIFIC_HEAD] / (hs - h0)) + (1 - omega) * e_old;
        if (!std::isfinite(e_new) || !(e_new > 0) || i == 10000)
            return fail(part, "Failure calculating polytropic efficiency\n");
        part.eta_used = e_new;
        if (std::fabs((e_new - e_old) / e_new) <= tau) {
            part.outputs[PO_POLYTROPIC_EFFICIENCY] = expansion(part) ? 1.0 / e_new : e_new;
            part.outputs[PO_ISENTROPIC_EFFICIENCY] = part.inputs[PI_ISENTROPIC_EFFICIENCY];
            return PS_FINISHED;
        }
    }
}

}  // namespace app
