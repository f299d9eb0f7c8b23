// Turbo machines: the stepwise polytropic model with condensation of water,
// and the search for the polytropic efficiency of a given isentropic one.
#include "app/core/solver/turbo.h"

#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/program/text_output.h"
#include "app/core/solver/simulator.h"
#include "library/library.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace app {

namespace {

bool expansion(const Part& part) { return part.type == EXPANDER || part.type == TURBINE; }

// The largest quality a pump takes as saturated liquid: the rounding of a
// saturated state.  A mixture's bubble point comes back from its enthalpy
// with a quality of a few 1e-9 (propane + isobutane 1:1 condensed at 60
// kPa: 1.999e-9, and the pump behind the condenser refused it as wet
// vapour); a pure fluid's with some 1e-14.
constexpr double SATURATED_LIQUID_QUALITY = 1e-7;

// A pump takes liquid: compressed or saturated liquid, or supercritical
// fluid at least as dense as at the critical point; not vapour, a two-phase
// mixture (a quality above the saturated liquid's) or a supercritical gas.
bool pumpable(double q, double rho, double Dc) {
    return q <= SATURATED_LIQUID_QUALITY || (q == lib::kQualitySupercritical && rho >= Dc);
}

// A limit of the current fluid in the temperature or pressure unit that the
// texts use.
double shown(int quantity, double value) {
    return to_display(quantity, selected_unit[sz(quantity)], value);
}
const char* symbol(int quantity) { return unit_symbol(quantity, selected_unit[sz(quantity)]); }

// The library's word on the flash that failed in a step (humid air
// expanded below the frost point of its water: "[PHFLSH error 248]
// iteration did not converge", where the text above it said nothing more).
std::string library_reason(const Part& part) {
    return format_text("Part \"%s\", step %d: %s.\n", part.name.c_str(),
                       static_cast<int>(part.segment), last_flash_message.c_str());
}

// How closely the inlet temperature found again from (p, h) must agree with
// the one known, as a share of it: the flashes give the same state to its
// last digits.
constexpr double INLET_AGREEMENT = 1e-7;

// The share of a step's excess water (over saturation) that one pass of
// the model condenses.
constexpr double CONDENSE_RELAX = 0.2;

// The library's word on a failed flash for `what` of the part; nothing for
// a state outside the fluid's limits, which has no message of its own.
std::string flash_reason(const Part& part, int r, const char* what) {
    if (r <= 0) return {};
    return format_text("Part \"%s\", %s: %s.\n", part.name.c_str(), what,
                       last_flash_message.c_str());
}

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
            fail_part(part, format_text(
                                first ? "Determimation of fluid phase region failed in part %s !\n"
                                      : "Determimation of fluid phase region failed in part %s!\n",
                                name) +
                                library_reason(part));
            return false;
        case -1:
            fail_part(
                part,
                format_text("Calculating fluid properties failed in part %s. Temperature to "
                            "high ! Max temperature is %f %s\n",
                            name, shown(Q_TEMPERATURE, f ? f->Tmax : 0), symbol(Q_TEMPERATURE)));
            return false;
        case 1:
            fail_part(
                part,
                format_text("Calculating fluid properties failed in part %s. Temperature to "
                            "low ! Min Temperature is %f %s\n",
                            name, shown(Q_TEMPERATURE, f ? f->Tmin : 0), symbol(Q_TEMPERATURE)));
            return false;
        case -4:
            fail_part(part,
                      format_text("Calculating fluid properties failed in part %s. Pressure to "
                                  "high ! Max pressure is %f %s\n",
                                  name, shown(Q_PRESSURE, f ? f->pmax : 0), symbol(Q_PRESSURE)));
            return false;
        case -16:
            fail_part(part, first ? format_text("Calculating fluid properties failed in part %s. "
                                                "Temperature to low ! %d\n",
                                                name, -16)
                                  : format_text("Calculating fluid properties failed in part %s. "
                                                "Temperature to low !\n",
                                                name));
            return false;
        default:
            fail_part(part, format_text(first ? "Calculating fluid properties failed in part %s !\n"
                                              : "Calculating fluid properties failed in part %s\n",
                                        name) +
                                (r > 0 ? library_reason(part) : std::string()));
            return false;
    }
}

// The exponent nu = n / (n - 1) of the polytropic change from the isentropic
// temperature and volume exponents; a = (1 - e) / e.
double exponent(double kT, double kv, double a) {
    return 1.0 / ((kT - 1.0) * a / kT + (kv - 1.0) / kv);
}

// Exponents of a step's two ends that no mean of nu spans: of opposite
// signs, or near the pole of nu.  In a wet mixture the exponent's
// reciprocal (kT - 1) a / kT + (kv - 1) / kv passes through 0, and nu
// through a pole: Dry ISO Air expanded from 150 K and 5000 kPa went from
// nu = -453 to 15810 and then to 542 in two steps.  (Steam through the
// dome keeps nu below 12.)
constexpr double NU_NEAR_POLE = 50.0;
bool exponents_apart(double nu0, double nu1) {
    return !(nu0 * nu1 > 0) || std::fabs(nu0) > NU_NEAR_POLE || std::fabs(nu1) > NU_NEAR_POLE;
}

// Head of a step of pressure ratio `ratio` with the exponents nu0 and nu1 at
// its ends: the mean exponent (arithmetic for the factor, logarithmic for
// the power); across a pole of nu the mean of the reciprocals, which is
// smooth there (the arithmetic factor over the logarithmic exponent had
// doubled that step's head, and the outlet jumped by 1 % of the head as the
// pole moved between steps with the efficiency).
double step_head(double ZRT, double ratio, double nu0, double nu1) {
    if (exponents_apart(nu0, nu1)) {
        const double sigma = 0.5 * (1.0 / nu0 + 1.0 / nu1);
        constexpr double FLAT = 1e-12;  // below: the limit ln(ratio) itself
        return ZRT *
               (std::fabs(sigma) < FLAT ? std::log(ratio) : (std::pow(ratio, sigma) - 1.0) / sigma);
    }
    const double m = aveArith(nu0, nu1);
    const double m_exp = (nu0 < 1 || nu1 < 1) ? m : aveLog(nu0, nu1);
    return ZRT * m * (std::pow(ratio, 1.0 / m_exp) - 1.0);
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

bool turbo_inlet_agrees(double T_found, double T_known) {
    return !(T_known > 0) || std::fabs(T_found - T_known) <= INLET_AGREEMENT * T_known;
}

namespace {

// A compressor takes vapour or gas. A liquid or wet inlet of a fluid
// without water handling (a heat pump's evaporator that ends inside the
// glide of propane + isobutane) is calculated as given, with a warning.
void warn_wet_compression(const Part& part) {
    if (part.type != COMPRESSOR || part.fluid == nullptr || part.fluid->humidity_type != HT_DRY)
        return;
    const double q0 = part.q[0];
    const bool wet = q0 >= 0 && q0 < 1;
    if (!wet && q0 != lib::kQualityLiquid) return;
    const std::string what = wet ? format_text("wet vapour (quality %.4g)", q0) : "liquid";
    status_message(ML_WARNING,
                   "Compressor \"%s\" is fed with %s at %s and %s; a compressor takes vapour.\n",
                   part.name.c_str(), what.c_str(),
                   format_value(part.T[0], part_output_values_def[PO_INLET_TEMPERATURE],
                                part.output_units[PO_INLET_TEMPERATURE])
                       .c_str(),
                   format_value(part.p[0], part_output_values_def[PO_INLET_PRESSURE],
                                part.output_units[PO_INLET_PRESSURE])
                       .c_str());
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
    warn_wet_compression(part);
    switch (part.options[OPT_EFFICIENCY]) {
        case 0: return calcTurbo_isentropic(part);
        case 1: return calcTurbo_polytropic(part);
        default:
            return fail_part(part,
                             format_text("calcCompressor | Type of efficiency not known (%i)\n",
                                         part.options[OPT_EFFICIENCY]));
    }
}

namespace {

// One run of the stepwise polytropic model over the part's steps: the inlet
// state, the pressures of the steps, then step by step the outlet enthalpy
// from the polytropic exponent (with water condensing out of a humid gas),
// and the part's results.
class PolytropicRun {
public:
    explicit PolytropicRun(Part& p)
        : part(p), name(p.name.c_str()), n(p.steps), c(p.x_out.data()), o(p.outputs) {}

    int run() {
        if (n < 1 || n > MAX_STEPS || part.fluid == nullptr)
            return fail_part(part,
                             format_text("Calculating fluid properties failed in part %s\n", name));
        fluid = part.fluid;
        start();
        if (!inlet() || !pump_takes_liquid() || !step_pressures()) return PS_FAILED;
        exponents_at_the_inlet();
        for (int k = 1; k <= n; ++k) {
            if (calculation_cancelled()) return cancel_part(part);
            if (!step(k)) return PS_FAILED;
        }
        return results();
    }

private:
    Part& part;
    const char* name;
    const int n;
    double* c;
    std::array<double, NUM_PART_OUTPUTS>& o;
    Fluid* fluid = nullptr;
    double e = 0, mdot = 0, R = 0;
    double Z = 0, kT = 0, kv = 0, a = 0, nu = 0;
    double h_prev = 0, head = 0;
    bool warned = false, water = false;
    std::size_t wp = 0;

    bool failed(std::string text) {
        fail_part(part, std::move(text));
        return false;
    }

    // Every run starts from the inlet's stream: the search for the
    // polytropic efficiency runs the model again and again, and a humid gas
    // would otherwise start dried by the runs before and count their water
    // (humid air of 4 % water at 300 K and 101.325 kPa through a turbine of
    // isentropic efficiency 0.85: 0.035 kg/s of water out of 10 kg/s, the
    // outlet flow still 10 kg/s).
    void start() {
        part.x_out = part.x_in;
        o[PO_LIQUID_WATER_OUT] = 0;
        e = part.eta_used;
        mdot = o[PO_INLET_MASSFLOW];
        o[PO_POWER] = 0;
        o[PO_CONDENSATION_HEAT] = 0;
        o[PO_SPECIFIC_CONDENSATION_HEAT] = 0;
        lib::RMIX2(part.x_in.data(), R);
        R /= lib::WMOL(part.x_in.data());
    }

    bool inlet() {
        double p0 = part.p[0];
        const double T_known = part.T[0];
        const int r = get_all_by_p_and_h(c, part.T[0], p0, part.s[0], part.h[0], part.rho[0],
                                         part.q[0], part.q[0]);
        // (Natural gas with 0.5 % water at 315.96 K and 2000 kPa, a state
        // of the (T, p) flash with some water condensed: the flash from its
        // enthalpy did not converge, and the text said nothing more.)
        if (r != 0)
            return failed(
                format_text("Error calculating fluid conditions at inlet for part %s\n", name) +
                flash_reason(part, r, "its inlet"));
        return same_inlet(T_known);
    }

    // Every run finds the inlet state again from its pressure and enthalpy,
    // within the calculation's warm starts; a temperature other than the one
    // known (from the part before, or the run before) is another root of
    // the same (p, h), and the runs would go on from it.  Pentane + toluene
    // 1:1 at 321.24 K and 17.486 kPa, compressed to 4845 kPa with the
    // isentropic efficiency 0.75: the second run's inlet came back as a
    // superheated liquid at 473.56 K, and the part finished on it with
    // 0.75 shown where its own enthalpies gave 0.04.
    bool same_inlet(double T_known) {
        if (turbo_inlet_agrees(part.T[0], T_known)) return true;
        const ValueDef& rT = part_output_values_def[PO_INLET_TEMPERATURE];
        const int uT = part.output_units[PO_INLET_TEMPERATURE];
        return failed(format_text(
            "Part \"%s\": its inlet state, found again from its pressure and enthalpy, lies "
            "at %s, not at %s; the property library gave two states for one pressure and "
            "enthalpy.\n",
            name, format_value(part.T[0], rT, uT).c_str(), format_value(T_known, rT, uT).c_str()));
    }

    bool pump_takes_liquid() {
        if (part.type != PUMP || pumpable(part.q[0], part.rho[0], fluid->Dc)) return true;
        const double q0 = part.q[0];
        const ValueDef& density = part_output_values_def[PO_INLET_DENSITY];
        const int du = part.output_units[PO_INLET_DENSITY];
        const std::string what =
            q0 == lib::kQualitySupercritical
                ? format_text("supercritical gas (%s, below the critical density %s)",
                              format_value(part.rho[0], density, du).c_str(),
                              format_value(fluid->Dc, density, du).c_str())
            : q0 > 0 && q0 < 1 ? format_text("wet vapour (quality %.4g)", q0)
                               : std::string("vapour");
        return failed(format_text(
            "Pump \"%s\" is fed with %s at %s and %s; a pump takes liquid.\n", name, what.c_str(),
            format_value(part.T[0], part_output_values_def[PO_INLET_TEMPERATURE],
                         part.output_units[PO_INLET_TEMPERATURE])
                .c_str(),
            format_value(part.p[0], part_output_values_def[PO_INLET_PRESSURE],
                         part.output_units[PO_INLET_PRESSURE])
                .c_str()));
    }

    // Equal pressure differences or equal pressure ratios.
    bool step_pressures() {
        const double p0 = part.p[0];
        const double r_used = part.pr_used;
        if (part.segmentation == 0) {
            for (int k = 1; k <= n; ++k) part.p[sz(k)] = p0 + k * (p0 * r_used - p0) / n;
        } else if (part.segmentation == 1) {
            const double f = std::pow(r_used, 1.0 / n);
            for (int k = 1; k <= n; ++k) part.p[sz(k)] = part.p[sz(k - 1)] * f;
        } else {
            return failed(format_text("calcCompressor | Type of step segmentation not known (%i)\n",
                                      part.segmentation));
        }
        return true;
    }

    void exponents_at_the_inlet() {
        const double p0 = part.p[0];
        Z = get_Z(c, p0, part.rho[0], part.T[0]);
        const IsentropeExponents k0 =
            get_isentrope_exponents(c, p0, part.rho[0], part.s[0], part.T[0]);
        kT = k0.kT;
        kv = k0.kv;
        a = (1.0 - e) / e;
        nu = exponent(kT, kv, a);
        h_prev = part.h[0];
        head = 0;
        warned = false;
        water = part.water != 0;
        wp = sz(std::clamp(fluid->water_pos, 0, MAX_COMPONENTS - 1));
    }

    // What the passes of one step find: the head, the water condensed and
    // its heat, the exponent at the step's end.
    struct Pass {
        double M = 0;  // molar mass of the stream at the step's start
        double wc = 0, delta = 0, hc = 0, L = 0, dh = 0, nu_k = 0;
        double relax = CONDENSE_RELAX;  // share of the excess condensed per pass
    };

    // Step k: a first estimate from the exponent at its start, then passes
    // with the mean exponent until the entropy and the condensed water stay.
    bool step(int k) {
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
            return false;

        Pass ps;
        ps.nu_k = nu;
        ps.M = lib::WMOL(c);
        double s_old = s;
        int passes = 0;
        bool go_on = true;
        while (go_on) {
            const IsentropeExponents ex = get_isentrope_exponents(c, pk, rho, s, T);
            kT = ex.kT;
            kv = ex.kv;
            ps.nu_k = exponent(kT, kv, a);
            ps.dh = step_head(ZRT, ratio, nu, ps.nu_k);
            h = ps.dh / e + h_prev + ps.hc;
            pc = pk;
            if (!accept(part, get_all_by_p_and_h(c, T, pc, s, h, rho, q, part.q[im]), false,
                        warned))
                return false;
            if (!(T >= 0) || T > fluid->Tmax || !std::isfinite(T))
                return failed(
                    format_text("Calculatin failed in part %s, Temperature outside "
                                "limits.\n",
                                name));
            if (water && T < T_WATER_LIMIT) condense(T, pk, ps);
            ++passes;
            const bool s_moved = std::fabs(s_old - s) > 5e-9;
            if (s_moved) s_old = s;
            go_on = passes < 50 && (s_moved || std::fabs(ps.delta) > 1e-9);
        }
        o[PO_POWER] += ps.dh / e * mdot;
        if (!water) {
            h_prev = h;
            Z = get_Z(c, pk, rho, T);
            nu = ps.nu_k;
        } else if (!remove_water(T, s, h, rho, q, pk, ps)) {
            return false;
        }
        head += ps.dh;
        return true;
    }

    // Water beyond saturation at (T, pk) condenses (ice below the triple
    // point), a fifth of the excess per pass; its latent heat goes into hc.
    void condense(double T, double pk, Pass& ps) {
        const int kph = T >= 273.16 ? lib::kDewPoint : lib::kSublimationLine;
        double psat = 0, Dl = 0, Dv = 0, xl[MAX_COMPONENTS] = {}, xv[MAX_COMPONENTS] = {};
        int ierr = 0;
        std::string herr;
        lib::SATT(T, fluid->x_water.data(), kph, psat, Dl, Dv, xl, xv, ierr, herr);
        Dl *= M_WATER;
        Dv *= M_WATER;
        const double w = std::max(c[wp] - ps.wc, 0.0);
        const double S = psat > 0 ? pk * w / psat : 0.0;
        if (psat > 0 && (S > 1 || (S < 1 && ps.wc > 0))) {
            ps.L = latent_heat(*fluid, kph, T, Dl, Dv);
            // The latent heat warms the gas and lowers its saturation: where
            // that outweighs the water taken, the passes swing about the
            // saturated state and grow (flue gas of 14 % water at 330 K
            // and 101.325 kPa expanded: S from 0.9998 to 1.0009 and back,
            // cut after 50 passes, 0.04 kJ/kg of head either way).  Each
            // swing halves the share condensed.
            const double raw = (S - 1) * w;
            if (raw * ps.delta < 0) ps.relax *= 0.5;
            ps.delta = std::min(ps.relax * raw, w);
            double wc_new = ps.wc + ps.delta;
            if (wc_new < 0) {
                ps.delta = -ps.wc;
                wc_new = 0;
            }
            ps.hc = wc_new * ps.L * M_WATER / ps.M;
            ps.wc = wc_new;
        }
    }

    // The condensed water leaves the stream: the gas's composition, state
    // and exponents after it.
    bool remove_water(double T, double& s, double& h, double& rho, double& q, double pk,
                      const Pass& ps) {
        o[PO_SPECIFIC_CONDENSATION_HEAT] += ps.hc;
        o[PO_CONDENSATION_HEAT] += ps.L * mdot / ps.M * M_WATER * ps.wc;
        const double cw_old = c[wp];
        const double cw_new = cw_old - ps.wc;
        const double scale = cw_old < 1 ? (1 - cw_new) / (1 - cw_old) : 1.0;
        c[wp] = cw_new;
        for (int j = 0; j < fluid->az_components && j < MAX_COMPONENTS; ++j)
            if (sz(j) != wp) c[j] *= scale;
        const double M_new = lib::WMOL(c);
        double Tc = T, pc2 = pk;
        if (const int r = get_all_by_T_and_p(c, Tc, pc2, s, h, rho, q); r != 0)
            return failed(format_text("Calculating fluid properties failed in part %s\n", name) +
                          flash_reason(part, r, "the gas after its water left"));
        h_prev = h;
        const IsentropeExponents ex = get_isentrope_exponents(c, pk, rho, s, T);
        kT = ex.kT;
        kv = ex.kv;
        Z = get_Z(c, pk, rho, T);
        const double mw = mdot / M_new * ps.wc * M_WATER;
        mdot -= mw;
        o[PO_LIQUID_WATER_OUT] += mw;
        nu = exponent(kT, kv, a);
        return true;
    }

    // Head, work and the isentropic efficiency of the whole part.  Where
    // water condensed and left the stream, the isentropic comparison is
    // that of the stream that entered, and the efficiency that of the work:
    // the outlet's enthalpy is that of another stream, and its difference
    // to the inlet's no work.  (Humid air of 2.5 % water expanded 3:1 from
    // 317.44 K and 300 kPa with the isentropic efficiency 0.85 gives the
    // polytropic efficiency 0.822748; with that polytropic efficiency the
    // part showed the isentropic efficiency 0.727, and an isentropic
    // enthalpy difference of the dried gas at the humid inlet's entropy.)
    int results() {
        const bool dried = o[PO_LIQUID_WATER_OUT] > 0;
        double T = 0, pn = part.p[sz(n)], s0 = part.s[0], hs = 0, rho = 0, q = 0;
        if (const int r = get_all_by_p_and_s(dried ? part.x_in.data() : c, T, pn, s0, hs, rho, q);
            r != 0)
            return fail_part(part,
                             format_text("Calculating fluid properties failed in part %s\n", name) +
                                 flash_reason(part, r, "the isentropic outlet"));
        o[PO_OUTLET_MASSFLOW] = mdot;
        const double dhs = hs - part.h[0];
        const double dh_real = dried ? head / e : part.h[sz(n)] - part.h[0];
        o[PO_ISENTROPIC_ENTHALPY_DIFF] = dhs;
        o[PO_SPECIFIC_HEAD] = head;
        o[PO_SPECIFIC_WORK] = head / e;
        o[PO_POLYTROPIC_EFFICIENCY] = part.inputs[PI_POLYTROPIC_EFFICIENCY];
        const double num = expansion(part) ? dh_real : dhs;
        const double den = expansion(part) ? dhs : dh_real;
        o[PO_ISENTROPIC_EFFICIENCY] = den != 0 ? num / den : 1.0;
        return PS_FINISHED;
    }
};

}  // namespace

int calcTurbo_polytropic(Part& part) { return PolytropicRun(part).run(); }

namespace {

// The share of itself by which the isentropic efficiency a run reaches may
// miss the one asked for and still be shown as asked: what the search's
// tolerance of 1e-6 on a step admits under its strongest damping (0.1),
// before it widens the tolerance.  (The low-pressure turbine of the steam
// reheat example stops after 13 runs, 1.7e-6 off.)
constexpr double ISENTROPIC_SEARCH_TOLERANCE = 1e-5;

// The search stopped on a damped or loosened step while the last run's
// polytropic efficiency still gave another isentropic one than asked for:
// the head of the stepwise model jumps where a step's end crosses the
// saturation line, and no polytropic efficiency meets the isentropic one
// (p-xylene compressed from 5 K above its dew point at 28.5 kPa to 597 kPa
// with 0.75: the head jumps by 4e-4 of itself between the polytropic
// efficiencies 0.786513 and 0.786544, and the search stopped after 31 runs
// on 0.750245, reported as 0.75).  The results are those of the run
// closest to the isentropic efficiency asked for (run once more where that
// was an earlier one); the part shows the isentropic efficiency that run
// reached and its polytropic one, and the user is told.  The efficiency
// reached is the search's own measure, the polytropic efficiency times the
// isentropic enthalpy difference dhs over the head: where water condenses
// and leaves, the outlet's enthalpy difference is no work (a flue gas
// expanded from 330 K, 101 kPa to 30 kPa with 0.8: 0.7998 reached, where
// the enthalpies give 0.64).
int reached_efficiency(Part& part, double e_run, double e_best, double dhs) {
    part.eta_used = e_best;
    if (e_best != e_run && calcTurbo_polytropic(part) != PS_FINISHED) return PS_FAILED;
    const double head = part.outputs[PO_SPECIFIC_HEAD];
    if (head != 0 && std::isfinite(dhs)) {
        const double e_s = e_best * dhs / head;
        part.outputs[PO_ISENTROPIC_EFFICIENCY] = expansion(part) ? 1.0 / e_s : e_s;
    }
    part.outputs[PO_POLYTROPIC_EFFICIENCY] = expansion(part) ? 1.0 / e_best : e_best;
    status_message(ML_WARNING,
                   "Part \"%s\": no polytropic efficiency gives the isentropic efficiency %g; "
                   "the closest found, %.6g, gives %.6g, and the results are those of it.\n",
                   part.name.c_str(), part.inputs[PI_ISENTROPIC_EFFICIENCY],
                   part.outputs[PO_POLYTROPIC_EFFICIENCY], part.outputs[PO_ISENTROPIC_EFFICIENCY]);
    return PS_FINISHED;
}

// The plain search's runs swing about the efficiency sought without
// settling: twice running the next run's miss, of the other sign, is more
// than this share of the run's before.  Where the model's head is smooth in
// the efficiency each run's miss is a few hundredths of the one before (a
// flue gas of 5 % water expanded 3:1 from its dew point: 3.5e-2, 1.3e-3,
// 4.7e-5, 1.7e-6); a single swing can pass a small jump and settle after
// it (humid air of 4 % water expanded from its dew point, 300 kPa to 100
// kPa: 3.7e-4, -2.3e-4, -8.8e-6, -3.4e-7).
constexpr double NO_CONTRACTION = 0.5;
constexpr int SWINGS = 2;

// A bracket of the efficiency sought whose two ends miss it by more than
// this many times their distance holds a jump of the head: a smooth head
// changes the miss by about as much as the efficiency itself.
constexpr double JUMP_RATIO = 20.0;

// A run within a bracket meets the efficiency sought when it misses by no
// more than this share of it: the plain search's first tolerance.
constexpr double BRACKET_TOLERANCE = 1e-6;

// The most runs a search within a bracket makes before it takes the closest
// run found (a jump is told within some six).
constexpr int BRACKET_RUNS = 12;

// A run of the model at the efficiency in use e: the efficiency it gives
// back, e_raw, and by how much that misses e (e_raw - e).
struct Probe {
    double e = 0, raw = 0, miss = 0;
};

// The search for the polytropic efficiency of a given isentropic one: a
// relaxed fixed-point iteration, and where its runs swing about a jump of
// the head, a search within the bracket they span that tells the jump in a
// few runs.
class IsentropicSearch {
public:
    explicit IsentropicSearch(Part& p)
        : part(p), e_s(p.eta_used), h0(p.h[0]), s0(p.s[0]), e_best(p.eta_used) {}

    int run() {
        double omega = 1.0, tau = 1e-6;
        Probe before;
        int swung = 0;  // swings running
        for (int i = 0;; ++i) {
            if (i > 10) omega = 0.5;
            if (i > 20) omega = 0.1;
            if (i > 30) tau = 0.002;
            if (i > 40) tau = 0.005;
            if (i > 50) tau = 0.01;
            Probe now;
            if (const int r = run_model(now); r != PS_FINISHED) return r;
            const double e_old = now.e;
            const double e_raw = now.raw;
            const double e_new = omega * e_raw + (1 - omega) * e_old;
            if (!std::isfinite(e_new) || !(e_new > 0) || i == 10000)
                return fail_part(part, "Failure calculating polytropic efficiency\n");
            part.eta_used = e_new;
            if (std::fabs((e_new - e_old) / e_new) <= tau) {
                if (std::fabs(now.miss / e_raw) > ISENTROPIC_SEARCH_TOLERANCE)
                    return reached_efficiency(part, e_old, e_best, dhs);
                return met(e_new);
            }
            swung = i > 0 && swings(before, now) ? swung + 1 : 0;
            if (swung == SWINGS) return within(before, now);
            before = now;
        }
    }

private:
    Part& part;
    const double e_s, h0, s0;
    double e_best, gap_best = HUGE_VAL;  // the run closest to e_s
    double dhs = 0;

    // One run of the model at the efficiency in use, and its miss; the
    // closest run is kept.
    int run_model(Probe& probe) {
        if (calculation_cancelled()) return cancel_part(part);
        probe.e = part.eta_used;
        if (calcTurbo_polytropic(part) != PS_FINISHED) return PS_FAILED;
        double T = 0, pn = part.p[sz(part.steps)], s = s0, hs = 0, rho = 0, q = 0;
        if (const int r = get_all_by_p_and_s(part.x_in.data(), T, pn, s, hs, rho, q); r != 0)
            return fail_part(part, format_text("Error while calculating efficiency in part %s\n",
                                               part.name.c_str()) +
                                       flash_reason(part, r, "the isentropic outlet"));
        dhs = hs - h0;
        probe.raw = e_s * (part.outputs[PO_SPECIFIC_HEAD] / dhs);
        probe.miss = probe.raw - probe.e;
        const double gap = std::fabs(probe.miss / probe.raw);
        if (gap < gap_best) {
            gap_best = gap;
            e_best = probe.e;
        }
        return PS_FINISHED;
    }

    int met(double e) {
        part.outputs[PO_POLYTROPIC_EFFICIENCY] = expansion(part) ? 1.0 / e : e;
        part.outputs[PO_ISENTROPIC_EFFICIENCY] = part.inputs[PI_ISENTROPIC_EFFICIENCY];
        return PS_FINISHED;
    }

    static bool swings(const Probe& before, const Probe& now) {
        return before.miss * now.miss < 0 &&
               std::fabs(now.miss) > NO_CONTRACTION * std::fabs(before.miss);
    }

    // Regula falsi within the bracket [a, b] (misses of opposite signs),
    // the end that stays twice running weighted by half (Illinois), until a
    // run meets the efficiency or the bracket is told to hold a jump; then
    // the results are those of the closest run.
    int within(Probe a, Probe b) {
        double wa = a.miss, wb = b.miss;
        int stayed = 0;  // > 0: a stayed, < 0: b stayed
        double e_last = b.e;
        for (int k = 0; k < BRACKET_RUNS && !holds_jump(a, b); ++k) {
            part.eta_used = (a.e * wb - b.e * wa) / (wb - wa);
            Probe now;
            if (const int r = run_model(now); r != PS_FINISHED) return r;
            e_last = now.e;
            if (std::fabs(now.miss / now.raw) <= BRACKET_TOLERANCE) {
                part.eta_used = now.raw;
                return met(now.raw);
            }
            if ((now.miss < 0) == (a.miss < 0)) {
                a = now;
                wa = now.miss;
                stayed = stayed < 0 ? stayed - 1 : -1;
                if (stayed < -1) wb *= 0.5;
            } else {
                b = now;
                wb = now.miss;
                stayed = stayed > 0 ? stayed + 1 : 1;
                if (stayed > 1) wa *= 0.5;
            }
        }
        return reached_efficiency(part, e_last, e_best, dhs);
    }

    static bool holds_jump(const Probe& a, const Probe& b) {
        return JUMP_RATIO * std::fabs(b.e - a.e) < std::fabs(b.miss - a.miss);
    }
};

}  // namespace

int calcTurbo_isentropic(Part& part) { return IsentropicSearch(part).run(); }

}  // namespace app
