// get_trnsp_by_T_and_p: viscosity, kinematic viscosity and thermal
// conductivity at (T, p) for the property table.
#include "app/core/fluids/transport_values.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "library/library.h"

namespace app {

std::string last_transport_message;

namespace {

// The library's answers for a property it has no model for and for one it
// did not compute.
constexpr double NO_MODEL = -9999910.0;
constexpr double NOT_COMPUTED = -9999990.0;

int not_available(int result, std::string message, double& eta, double& nu, double& lambda) {
    eta = nu = lambda = NOT_COMPUTED;
    last_transport_message = std::move(message);
    return result;
}

std::string quality_text(double q) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4g", q);
    return buf;
}

}  // namespace

bool is_transport_value(double v) { return std::isfinite(v) && v >= 0.0; }

int get_trnsp_by_T_and_p(const double* c, double T, double p, double& eta, double& nu,
                         double& lambda) {
    double D = 0, Dl = 0, Dv = 0, xl[20], xv[20], q = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(T, p, c, D, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w, ierr, herr);
    if (ierr > 0) return not_available(ierr, herr, eta, nu, lambda);
    // A mixture inside its envelope: the phases have their own properties,
    // the mean density none.
    if (q > 0.0 && q < 1.0)
        return not_available(
            TRANSPORT_TWO_PHASE,
            "no transport properties inside the two-phase region (quality " + quality_text(q) + ")",
            eta, nu, lambda);
    lib::TRNPRP(T, D, c, eta, lambda, ierr, herr);
    const double M = lib::WMOL(c);
    nu = is_transport_value(eta) && D > 0.0 ? eta / (M * D) : NOT_COMPUTED;
    if (!is_transport_value(eta) && eta != NO_MODEL) eta = NOT_COMPUTED;
    if (!is_transport_value(lambda) && lambda != NO_MODEL) lambda = NOT_COMPUTED;
    if (ierr != 0) {
        last_transport_message = herr;
        return ierr;
    }
    if (!is_transport_value(eta) || !is_transport_value(lambda)) {
        last_transport_message =
            std::string(is_transport_value(eta) ? "thermal conductivity" : "viscosity") +
            " not available: the fluid has no model for it";
        return TRANSPORT_NO_MODEL;
    }
    return 0;
}

std::string transport_unavailable_reason(const Fluid& fluid, const double* x) {
    // A dilute state: whether the mixture has transport models at all does
    // not depend on the state.
    double eta = 0, lambda = 0;
    int ierr = 0;
    std::string herr;
    lib::TRNPRP(300.0, 1e-3, x, eta, lambda, ierr, herr);
    if (ierr == TRANSPORT_NO_MODEL)
        return "No viscosity or thermal conductivity: the fluid data hold no transport model "
               "for one of its components.";
    if (ierr != TRANSPORT_MIXTURE_CLASS) return "";
    const std::string none = "No viscosity or thermal conductivity for this mixture: ";
    if (herr.find("ammonia/water") != std::string::npos)
        return none +
               "ammonia with water, for which the mixture data hold no transport "
               "parameters.";
    if (herr.find("alcohols") != std::string::npos)
        return none +
               "it holds an alcohol, and the mixture data hold no transport parameters "
               "for its pairs.";
    const int w = fluid.water_pos;
    const double share = w >= 0 && w < MAX_COMPONENTS ? 100.0 * x[w] : 0.0;
    char text[200];
    std::snprintf(text, sizeof text,
                  "it holds %.1f %% water (mole fraction); without transport parameters for its "
                  "pairs, which the mixture data lack, the property library computes none above "
                  "5 %%.",
                  share);
    return none + text;
}

}  // namespace app
