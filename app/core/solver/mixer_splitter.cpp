// Mixer and splitter.
#include "app/core/solver/mixer_splitter.h"

#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/create_delete.h"
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

constexpr int SHARE_RELATIVE = 0;  // option "Mass distribution"
constexpr int SHARE_FIXED_MASSFLOW = 1;
constexpr int POINT_MAIN_OUTLET = 1;  // points of the three steps
constexpr int POINT_SECOND_STREAM = 2;
constexpr int POINT_OUTLET = 3;

std::string flow_text(const Part& part, double m) {
    return format_value(m, part_output_values_def[PO_INLET_MASSFLOW],
                        part.output_units[PO_INLET_MASSFLOW]);
}

// Copies point 0 of every step array into point i.
void copy_inlet_point(Part& part, std::size_t i) {
    part.T[i] = part.T[0];
    part.p[i] = part.p[0];
    part.h[i] = part.h[0];
    part.s[i] = part.s[0];
    part.rho[i] = part.rho[0];
    part.q[i] = part.q[0];
    part.heat[i] = 0;
}

// The same components in the same slots: compositions of the two fluids
// may be mixed slot by slot.
bool same_components(const Fluid& a, const Fluid& b) {
    if (a.az_components != b.az_components) return false;
    for (int i = 0; i < a.az_components && i < MAX_COMPONENTS; ++i)
        if (a.comp_index[sz(i)] != b.comp_index[sz(i)]) return false;
    return true;
}

const char* fluid_name(const Fluid* fluid) {
    return fluid != nullptr ? fluid->name.c_str() : "(none)";
}

}  // namespace

int calcSplitter(Part& part) {
    std::array<double, NUM_PART_OUTPUTS>& o = part.outputs;
    const double m = o[PO_INLET_MASSFLOW];
    const char* name = part.name.c_str();
    if (!(m > 0))
        return fail_part(
            part, format_text("Splitter \"%s\": the inlet mass flow %s is not above 0.\n", name,
                              flow_text(part, m).c_str()));
    double r2 = 0.5;
    switch (part.options[OPT_MASS_DISTRIBUTION]) {
        case SHARE_RELATIVE: r2 = part.inputs[PI_RELATIVE_MASS_OUTLET2]; break;
        case SHARE_FIXED_MASSFLOW: r2 = part.inputs[PI_ABSOLUTE_MASS_OUTLET2] / m; break;
        default: break;
    }
    if (!(r2 >= 0 && r2 <= 1))
        return fail_part(part,
                         format_text("Splitter \"%s\": the share %g of outlet 2 lies outside 0 "
                                     "to 1 (inlet mass flow %s).\n",
                                     name, r2, flow_text(part, m).c_str()));
    const double m1 = (1 - r2) * m, m2 = r2 * m;
    if (!(m1 > 0) || !(m2 > 0))
        return fail_part(
            part, format_text("Splitter \"%s\": outlet %d would carry %s; each outlet of "
                              "a splitter needs a flow above 0.\n",
                              name, m1 > 0 ? 2 : 1, flow_text(part, m1 > 0 ? m2 : m1).c_str()));
    for (std::size_t i = 1; i <= sz(POINT_OUTLET); ++i) copy_inlet_point(part, i);
    o[PO_OUTLET_MASSFLOW] = m1;
    part.x_out = part.x_in;
    o[PO_OUTLET_LIQUID_WATER] = o[PO_INLET_LIQUID_WATER];
    o[PO_2_OUTLET_TEMPERATURE] = part.T[0];
    o[PO_2_OUTLET_PRESSURE] = part.p[0];
    o[PO_2_OUTLET_ENTHALPY] = part.h[0];
    o[PO_2_OUTLET_ENTROPY] = part.s[0];
    o[PO_2_OUTLET_DENSITY] = part.rho[0];
    o[PO_2_OUTLET_MASSFLOW] = m2;
    part.x_out2 = part.x_in;
    o[PO_2_OUTLET_LIQUID_WATER] = o[PO_INLET_LIQUID_WATER];
    return PS_FINISHED;
}

namespace {

// The mixer's second stream as its predecessor hands it over.
struct SecondStream {
    double T = 0, p = 0, h = 0, s = 0, rho = 0, m = 0, liquid = 0;
    std::array<double, MAX_COMPONENTS> x{};
};

SecondStream second_stream(const Part& part, const Part& pred) {
    const std::array<double, NUM_PART_OUTPUTS>& o = pred.outputs;
    SecondStream in;
    const bool second = part.prev_outlet[1] != 0;
    in.T = o[second ? PO_2_OUTLET_TEMPERATURE : PO_OUTLET_TEMPERATURE];
    in.p = o[second ? PO_2_OUTLET_PRESSURE : PO_OUTLET_PRESSURE];
    in.h = o[second ? PO_2_OUTLET_ENTHALPY : PO_OUTLET_ENTHALPY];
    in.s = o[second ? PO_2_OUTLET_ENTROPY : PO_OUTLET_ENTROPY];
    in.rho = o[second ? PO_2_OUTLET_DENSITY : PO_OUTLET_DENSITY];
    in.m = o[second ? PO_2_OUTLET_MASSFLOW : PO_OUTLET_MASSFLOW];
    in.liquid = o[second ? PO_2_OUTLET_LIQUID_WATER : PO_OUTLET_LIQUID_WATER];
    in.x = second ? pred.x_out2 : pred.x_out;
    return in;
}

// Enthalpy of composition c at (T, p) into h; false when the state fails.
bool enthalpy(const double* c, double T, double p, double& h, double& q) {
    double Tc = T, pc = p, s = 0, rho = 0;
    return get_all_by_T_and_p(c, Tc, pc, s, h, rho, q) == 0 && std::isfinite(h);
}

// The enthalpy of a stream: the (T, p) flash's where it gives the stream's
// own (to its rounding); the stream's where (T, p) does not tell its state,
// on the saturation line of a pure fluid (wet water at 451.7 K and
// 1000 kPa of quality 0.47 mixed with itself came out at 1.6 times its
// enthalpy, as liquid and vapour at once).
double stream_enthalpy(double h_flash, double h_stream) {
    constexpr double AGREEMENT = 1e-6;  // far above a flash's rounding
    const double scale = std::max({std::fabs(h_stream), std::fabs(h_flash), 1.0});
    return std::fabs(h_flash - h_stream) <= AGREEMENT * scale ? h_flash : h_stream;
}

}  // namespace

int calcMixer(Part& part) {
    const char* name = part.name.c_str();
    const std::size_t n = sz(POINT_OUTLET);
    std::array<double, NUM_PART_OUTPUTS>& o = part.outputs;

    // 1. The second feed: connected, calculated in this sweep, of a fluid
    // with the same components.
    Part* pred = part.prev_id[1] > 0 ? part_by_id(current_project, part.prev_id[1]) : nullptr;
    if (pred == nullptr)
        return fail_part(part,
                         format_text("Mixer \"%s\" has no second inlet: connect a stream to it "
                                     "before calculating.\n",
                                     name));
    if (pred->state == PS_PENDING) {
        part.p[n] = part.p[0];
        ignore_part(part);
        return PS_PROVISIONAL;
    }
    if (part.fluid == nullptr || pred->fluid == nullptr ||
        !same_components(*part.fluid, *pred->fluid))
        return fail_part(part,
                         format_text("Mixer \"%s\" joins streams of fluids \"%s\" and \"%s\"; a "
                                     "mixer mixes streams of one fluid.\n",
                                     name, fluid_name(part.fluid), fluid_name(pred->fluid)));

    // 2. The second inlet.
    const SecondStream in2 = second_stream(part, *pred);
    part.x_in2 = in2.x;
    o[PO_2_INLET_TEMPERATURE] = in2.T;
    o[PO_2_INLET_PRESSURE] = in2.p;
    o[PO_2_INLET_ENTHALPY] = in2.h;
    o[PO_2_INLET_ENTROPY] = in2.s;
    o[PO_2_INLET_DENSITY] = in2.rho;
    o[PO_2_INLET_MASSFLOW] = in2.m;
    o[PO_2_INLET_LIQUID_WATER] = in2.liquid;

    // 3.-4. Pressure, flows and the mixed composition.
    const double m1 = o[PO_INLET_MASSFLOW], m2 = in2.m, m = m1 + m2;
    if (!(m1 >= 0) || !(m2 >= 0) || !(m > 0))
        return fail_part(
            part, format_text("Mixer \"%s\": the inlet mass flows %s and %s do not add "
                              "up to a flow above 0.\n",
                              name, flow_text(part, m1).c_str(), flow_text(part, m2).c_str()));
    const double p_m = std::min(part.p[0], in2.p);
    const double N1 = m1 / lib::WMOL(part.x_in.data()), N2 = m2 / lib::WMOL(in2.x.data());
    double sum = 0;
    std::array<double, MAX_COMPONENTS> x_out{};
    for (std::size_t i = 0; i < sz(MAX_COMPONENTS); ++i) {
        x_out[i] = part.x_in[i] * N1 + in2.x[i] * N2;
        sum += x_out[i];
    }
    if (!(sum > 0) || !std::isfinite(sum))
        return fail_part(part,
                         format_text("Mixer \"%s\": the mixed composition is empty.\n", name));
    for (double& v : x_out) v /= sum;
    part.x_out = x_out;

    // 5.-6. Enthalpy balance on a common reference.
    double h1_ref = 0, h1 = 0, h2_ref = 0, h2 = 0, h_out_ref = 0, q = 0, q_ref = 0;
    if (!enthalpy(part.x_in.data(), MIXER_T_REF, MIXER_P_REF, h1_ref, q))
        return fail_part(part, format_text("Calculating reference conditions at inlet 1 failed in "
                                           "mixer %s\n",
                                           name));
    if (!enthalpy(part.x_in.data(), part.T[0], part.p[0], h1, q))
        return fail_part(part,
                         format_text("Calculating fluid conditions at inlet 1 failed in mixer "
                                     "%s\n",
                                     name));
    if (!enthalpy(in2.x.data(), MIXER_T_REF, MIXER_P_REF, h2_ref, q))
        return fail_part(part, format_text("Calculating reference conditions at inlet2 failed in "
                                           "mixer %s\n",
                                           name));
    if (!enthalpy(in2.x.data(), in2.T, in2.p, h2, q))
        return fail_part(part,
                         format_text("Calculating fluid conditions at inlet 2 failed in mixer "
                                     "%s\n",
                                     name));
    if (!enthalpy(x_out.data(), MIXER_T_REF, MIXER_P_REF, h_out_ref, q_ref))
        return fail_part(part, format_text("Calculating reference conditions at outlet failed in "
                                           "mixer %s\n",
                                           name));
    h1 = stream_enthalpy(h1, part.h[0]);
    h2 = stream_enthalpy(h2, in2.h);
    const double h_m = ((h2 - h2_ref) * m2 + (h1 - h1_ref) * m1) / m + h_out_ref;

    // 7. The outlet state.
    double T = 0, p = p_m, s = 0, h = h_m, rho = 0, q_out = 0;
    if (get_all_by_p_and_h(x_out.data(), T, p, s, h, rho, q_out, q_ref) != 0)
        return fail_part(part, format_text("Calculating fluid conditions at outlet failed in mixer "
                                           "%s\n",
                                           name));

    // 8. Points and outputs: the outlet in points 1 and 3, the second
    // stream in point 2.
    for (std::size_t i : {sz(POINT_MAIN_OUTLET), n}) {
        part.T[i] = T;
        part.p[i] = p_m;
        part.h[i] = h_m;
        part.s[i] = s;
        part.rho[i] = rho;
        part.q[i] = q_out;
        part.heat[i] = 0;
    }
    const std::size_t k = sz(POINT_SECOND_STREAM);
    part.T[k] = in2.T;
    part.p[k] = in2.p;
    part.h[k] = in2.h;
    part.s[k] = in2.s;
    part.rho[k] = in2.rho;
    part.q[k] = q;
    part.heat[0] = part.heat[k] = 0;
    o[PO_OUTLET_MASSFLOW] = m;
    // Liquid water parts are fractions of the moles of each stream.
    o[PO_OUTLET_LIQUID_WATER] = (o[PO_INLET_LIQUID_WATER] * N1 + in2.liquid * N2) / (N1 + N2);
    part.water = part.water != 0 || pred->water != 0 ? 1 : 0;
    return PS_FINISHED;
}

}  // namespace app
