// Water separator.
#include "app/core/solver/water_separator.h"

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

// The phases of a stream at (T, p): vapour fraction (molar), liquid and
// vapour compositions; a single phase has q = 1 and no liquid.
struct Split {
    double q = 1;
    std::array<double, MAX_COMPONENTS> x{}, y{};
};

class Separation {
public:
    explicit Separation(Part& p) : part(p), name(p.name.c_str()), o(p.outputs) {}

    int run() {
        n = sz(part.steps);
        reset_heat();
        if (calcOutletPressure(part) != PS_FINISHED) return PS_FAILED;
        const Fluid* f = part.fluid;
        if (f == nullptr)
            return fail(format_text("Water separator \"%s\" has no working fluid.\n", name));
        if (f == fluids[FLUID_WATER] || f == fluids[FLUID_STEAM] ||
            (f->az_components == 1 && f->comp_index[0] == FLUID_WATER))
            return fail(
                "Water separator is used to separate water from mixtures like humid air, not "
                "for steam\n");
        slot = water_slot(*f);
        if (slot < 0) return fail("No water in fluid, cannot calculate water separator\n");
        x_w = part.x_in[sz(slot)];
        if (!(x_w > 0)) return pass_through();
        double T = part.T[0];
        Split in;
        if (!cool_to_dew_point(T) || !split(part.T[0], part.p[0], in)) return PS_FAILED;
        Split out;
        if (!split(T, part.p[n], out)) return PS_FAILED;
        const double condensed = liquid_water(out) - liquid_water(in);
        if (condensed > 0 && !latent_heat(T)) return PS_FAILED;
        return separate(T, out, std::max(condensed, 0.0));
    }

private:
    Part& part;
    const char* name;
    std::array<double, NUM_PART_OUTPUTS>& o;
    std::size_t n = 0;
    int slot = -1;
    double x_w = 0;  // water fraction of the inlet
    double r = 0;    // latent heat at the outlet temperature, kJ/kg

    int fail(std::string text) { return fail_part(part, std::move(text)); }
    bool failed(std::string text) {
        fail(std::move(text));
        return false;
    }

    // No heat and no water taken out unless this run finds some.
    void reset_heat() {
        for (int i : {PO_SPECIFIC_HEAT_FLUX, PO_HEAT, PO_LIQUID_WATER_OUT, PO_CONDENSATION_HEAT,
                      PO_SPECIFIC_CONDENSATION_HEAT})
            o[sz(i)] = 0;
        std::fill(part.heat.begin(), part.heat.end(), 0.0);
    }

    // The stream passes through: the inlet's state at the outlet pressure.
    int pass_through() {
        part.x_out = part.x_in;
        return path(part.h[0]) ? PS_FINISHED : PS_FAILED;
    }

    // Points 1..n of the humid stream from the inlet to (p_n, h_n), with the
    // heat taken out up to each point.
    bool path(double h_n) {
        const double p0 = part.p[0], pn = part.p[n], h0 = part.h[0];
        const double m = o[PO_INLET_MASSFLOW];
        for (std::size_t k = 1; k <= n; ++k) {
            if (calculation_cancelled()) {
                cancel_part(part);
                return false;
            }
            part.segment = static_cast<int>(k);
            const double t = static_cast<double>(k) / static_cast<double>(n);
            part.p[k] = p0 + t * (pn - p0);
            part.h[k] = h0 + t * (h_n - h0);
            part.heat[k] = std::fabs(part.h[k] - part.h[k - 1]) * m + part.heat[k - 1];
            double p = part.p[k];
            if (get_all_by_p_and_h(part.x_in.data(), part.T[k], p, part.s[k], part.h[k],
                                   part.rho[k], part.q[k], part.q[k - 1]) != 0)
                return failed(format_text(
                    "Calculating fluid properties failed in water separator %s\n", name));
        }
        return true;
    }

    // A stream whose water is all vapour is cooled to the dew point of its
    // water at the outlet pressure (over ice below the triple point); a
    // stream below it is not heated.  The heat points follow the stream to
    // that state.
    bool cool_to_dew_point(double& T) {
        const double pw = x_w * part.p[n];
        double Td = 0, Dl = 0, Dv = 0, xl[MAX_COMPONENTS] = {}, xv[MAX_COMPONENTS] = {};
        int ierr = 0;
        std::string herr;
        const double* w = part.fluid->x_water.data();
        lib::SATP(pw, w, lib::kDewPoint, Td, Dl, Dv, xl, xv, ierr, herr);
        if (ierr > 0 || !(Td >= T_WATER_TRIPLE))
            lib::SATP(pw, w, lib::kSublimationLine, Td, Dl, Dv, xl, xv, ierr, herr);
        if (ierr > 0 || !(Td > 0) || !std::isfinite(Td)) {
            herr.erase(herr.find_last_not_of(" \0") + 1);
            return failed(
                format_text("Water separator \"%s\": the dew point of its water at %g "
                            "kPa could not be calculated (%s).\n",
                            name, pw, herr.c_str()));
        }
        T = std::min(T, Td);
        double Tc = T, p = part.p[n], s = 0, h_n = 0, rho = 0, q = 0;
        if (get_all_by_T_and_p(part.x_in.data(), Tc, p, s, h_n, rho, q) != 0)
            return failed(format_text(
                "Calculating condensation enthalpy failed in water separator %s\n", name));
        o[PO_SPECIFIC_HEAT_FLUX] = h_n - part.h[0];
        o[PO_HEAT] = o[PO_SPECIFIC_HEAT_FLUX] * o[PO_INLET_MASSFLOW];
        return path(h_n);
    }

    // The phases of the inlet stream at (T, p) by the (T, p) flash.
    bool split(double T, double p, Split& sp) {
        double Tc = T, pc = p, s = 0, h = 0, rho = 0, q = 0;
        if (get_all_by_T_and_p(part.x_in.data(), Tc, pc, s, h, rho, q) != 0)
            return failed(
                format_text("Cannot calculate Water Separator %s, calculation failed\n", name));
        sp = Split{};
        if (q > 0 && q < 1) {
            sp.q = q;
            sp.x = x;
            sp.y = y;
        }
        return true;
    }

    // The moles of liquid water per mole of the inlet stream.
    double liquid_water(const Split& sp) const { return (1.0 - sp.q) * sp.x[sz(slot)]; }

    // The latent heat of water at T, of evaporation from the triple point
    // on, of sublimation below.
    bool latent_heat(double T) {
        const int kph = T >= T_WATER_TRIPLE ? lib::kDewPoint : lib::kSublimationLine;
        const double* w = part.fluid->x_water.data();
        double ps = 0, Dl = 0, Dv = 0, xl[MAX_COMPONENTS] = {}, xv[MAX_COMPONENTS] = {};
        int ierr = 0;
        std::string herr;
        lib::SATT(T, w, kph, ps, Dl, Dv, xl, xv, ierr, herr);
        if (ierr > 0) {
            herr.erase(herr.find_last_not_of(" \0") + 1);
            return failed(
                format_text("Water separator \"%s\": the latent heat of water at %f K "
                            "could not be calculated (%s).\n",
                            name, T, herr.c_str()));
        }
        if (kph == lib::kSublimationLine) {
            const double t = T - 273.15;
            r = 2834.8 - 0.2569 * t - 0.0038357 * t * t;
            return true;
        }
        double Tv = T, pv = 0, sv = 0, hv = 0, rv = Dv * M_WATER;
        double Tl = T, pl = 0, sl = 0, hl = 0, rl = Dl * M_WATER;
        therm_wrapper(w, Tv, pv, sv, hv, rv);
        therm_wrapper(w, Tl, pl, sl, hl, rl);
        r = hv - hl;
        return true;
    }

    // The liquid of the split at the outlet (T, p_n) leaves; the vapour goes
    // on, saturated with water.  `condensed` is the water condensed here
    // (moles per mole of the inlet stream).
    int separate(double T, const Split& out, double condensed) {
        part.x_out = out.q < 1 ? out.y : part.x_in;
        double Tc = T, p = part.p[n];
        if (get_all_by_T_and_p(part.x_out.data(), Tc, p, part.s[n], part.h[n], part.rho[n],
                               part.q[n]) != 0)
            return fail(
                format_text("Cannot calculate Water Separator %s, calculation failed\n", name));
        part.T[n] = T;
        const double m_in = o[PO_INLET_MASSFLOW];
        const double n_in = m_in / lib::WMOL(part.x_in.data());  // kmol/s
        const double m_l = out.q < 1 ? n_in * (1.0 - out.q) * lib::WMOL(out.x.data()) : 0.0;
        o[PO_OUTLET_TEMPERATURE] = T;
        o[PO_OUTLET_MASSFLOW] = m_in - m_l;
        o[PO_LIQUID_WATER_OUT] = m_l;
        o[PO_OUTLET_LIQUID_WATER] = 0;
        o[PO_CONDENSATION_HEAT] = n_in * condensed * M_WATER * r;
        o[PO_SPECIFIC_CONDENSATION_HEAT] = m_in > 0 ? o[PO_CONDENSATION_HEAT] / m_in : 0.0;
        part.water = part.x_out[sz(slot)] > 0 ? 1 : 0;
        return PS_FINISHED;
    }
};

}  // namespace

int calcWaterseparator(Part& part) { return Separation(part).run(); }

}  // namespace app
