// The read-out of a diagram page: the state under the pointer computed by
// the property library, and its texts.
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/units.h"
#include "app/core/solver/simulator.h"
#include "app/diagrams/isolines.h"
#include "app/diagrams/mapping.h"
#include "app/diagrams/pointer.h"
#include "library/library.h"

#include <cmath>
#include <cstdio>

namespace app::diagrams {

namespace {

// Qualities closer than this to 0 or 1 read as saturated.
constexpr double SATURATED_BAND = 0.01;

// A state of the read-out, in mass units; `ok` when the library gave it.
struct State {
    double T = 0, p = 0, h = 0, s = 0, rho = 0, q = 0;
    bool ok = false;
};

// Counts the read-out in library_busy while it uses the library.
class BusyScope {
public:
    BusyScope() { ++library_busy; }
    ~BusyScope() { --library_busy; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

std::string format(const char* fmt, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

// The state at (h, s) in mass units.
int state_by_h_and_s(const double* c, State& st) {
    const double M = lib::WMOL(c);
    double D = 0, Dl = 0, Dv = 0, e = 0, cv = 0, cp = 0, w = 0;
    int ierr = 0;
    std::string herr;
    lib::HSFLSH(st.h * M, st.s * M, c, st.T, st.p, D, Dl, Dv, x.data(), y.data(), st.q, e, cv, cp,
                w, ierr, herr);
    st.rho = D * M;
    return ierr;
}

// Computes the state from the two values the diagram type gives.
void compute(Fluid& fluid, int type, State& st) {
    const double* c = fluid.x.data();
    int r = -1;
    switch (type) {
        case 0: r = state_by_h_and_s(c, st); break;
        case 1: r = get_all_by_p_and_s(c, st.T, st.p, st.s, st.h, st.rho, st.q); break;
        case 2: r = get_all_by_T_and_s(c, st.T, st.p, st.s, st.h, st.rho, st.q); break;
        case 3: {
            // No neighbouring state: a failed two-phase search stays a failure.
            constexpr double NO_HINT = 0.5;
            r = get_all_by_p_and_h(c, st.T, st.p, st.s, st.h, st.rho, st.q, NO_HINT);
            if (r == PH_VAPOUR_ASSUMED || r == PH_LIQUID_ASSUMED) r = 0;
            break;
        }
        case 4: r = get_all_by_T_and_p(c, st.T, st.p, st.s, st.h, st.rho, st.q); break;
        default: break;
    }
    st.ok = r == 0 && std::isfinite(st.T) && std::isfinite(st.p) && std::isfinite(st.h) &&
            std::isfinite(st.s) && std::isfinite(st.rho) && std::isfinite(st.q);
}

// Which values a diagram type gives (the others are computed).
struct Given {
    bool T = false, p = false, h = false, s = false;
};

Given given_by(int type) {
    switch (type) {
        case 0: return {false, false, true, true};
        case 1: return {false, true, false, true};
        case 2: return {true, false, false, true};
        case 3: return {false, true, true, false};
        case 4: return {true, true, false, false};
        default: return {};
    }
}

// A value in the default unit of its quantity, the unit the page shows
// beside its entry: with "MJ/kg" chosen, h = 1565.78 kJ/kg reads 1.57, not
// 1565.78 under "MJ/kg".
std::string shown(const char* fmt, int quantity, double internal) {
    return format(
        fmt,
        to_display(quantity, unitdef[static_cast<std::size_t>(quantity)].default_unit, internal));
}

ReadoutTexts texts_of(const State& st, int type) {
    const Given g = st.ok ? Given{true, true, true, true} : given_by(type);
    ReadoutTexts out;
    out.T = g.T ? shown("%8.2f", Q_TEMPERATURE, st.T) : NO_VALUE_TEXT;
    out.p = g.p ? shown("%8.3f", Q_PRESSURE, st.p) : NO_VALUE_TEXT;
    out.h = g.h ? shown("%8.2f", Q_SPECIFIC_ENERGY, st.h) : NO_VALUE_TEXT;
    out.s = g.s ? shown("%8.3f", Q_ENTROPY, st.s) : NO_VALUE_TEXT;
    out.rho = st.ok ? shown("%8.2f", Q_DENSITY, st.rho) : NO_VALUE_TEXT;
    out.phase = st.ok ? phase_text(st.q) : UNDEFINED_PHASE;
    return out;
}

}  // namespace

std::string phase_text(double q) {
    if (q < 0) return "subcooled (compressed) liquid";
    if (std::fabs(q) < SATURATED_BAND) return "saturated liquid ";
    if (std::fabs(q - 1) < SATURATED_BAND) return "saturated vapor";
    if (q == lib::kQualityVapour) return "superheated vapor";
    if (q == lib::kQualitySupercritical) return "supercritical state";
    if (q <= 1) return format("two-phase area, %5.2f wetness", (1 - q) * 100);
    return "superheated vapor ";
}

ReadoutTexts readout_at(Graph& graph, double xv, double yv) {
    State st;
    switch (graph.type) {
        case 0: st.s = xv, st.h = yv; break;
        case 1: st.s = xv, st.p = yv; break;
        case 2: st.s = xv, st.T = yv; break;
        case 3: st.h = xv, st.p = yv; break;
        case 4: st.T = xv, st.p = yv; break;
        default: break;
    }
    const State given = st;
    std::string transport;
    if (graph.fluid != nullptr && graph.type >= 0 && graph.type <= 4) {
        BusyScope busy;
        if (init_stoffwerte(graph.fluid) == 1) {
            {
                LineComposition lines(*graph.fluid);
                compute(*graph.fluid, graph.type, st);
            }
            // Above the critical pressure the (T, p) access marks every state
            // supercritical; below the critical temperature it is a
            // compressed liquid (water at 404 K and 314 bar read
            // "supercritical state" on a p-T diagram).
            if (st.ok && st.q == lib::kQualitySupercritical && st.T < graph.fluid->Tc)
                st.q = lib::kQualityLiquid;
            transport = graph.fluid->transport_note;
        }
    }
    if (!st.ok) st = given;  // only the values the pointer gave are known
    ReadoutTexts out = texts_of(st, graph.type);
    out.transport = transport;
    return out;
}

std::optional<ReadoutTexts> readout_at_pixel(Graph& graph, double px, double py) {
    if (graph.type < 0 || graph.type > 4 || library_busy.load() > 0) return std::nullopt;
    const Mapping m = mapping_of(graph);
    if (!m.usable) return std::nullopt;
    const double xv = m.value_x(px), yv = m.value_y(py);
    if (!m.inside_x(xv) || !m.inside_y(yv)) return std::nullopt;
    return readout_at(graph, xv, yv);
}

}  // namespace app::diagrams
