// TRNPRP: viscosity and thermal conductivity of the current fluid or mixture
// at (T, D), by each component's own correlations or the corresponding-
// states route, with range checks and their warnings.
#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/setup/records.h"
#include "library/transport/etak.h"
#include "library/transport/handover.h"
#include "library/transport/records.h"
#include "library/transport/tcxk.h"
#include "library/transport/trnecs.h"

namespace lib {

namespace {

constexpr int kNoModel = 40;
constexpr int kMixtureClass = 50;
constexpr int kCritical = 51;
constexpr int kNotPhysical = 45;
constexpr int kBadInput = 1;

void report(int n, const std::string& text, int& ierr, std::string& herr) {
    fail(n, "TRNPRP", text, ierr, herr);
}

bool missing(const Code& c) { return c.c[0] == ' ' || c.c[0] == '\0' || c.is("NUL"); }
bool ecs(const Code& c) { return c.starts("EC"); }

// Step 2: a component without any transport model.
bool models_missing(int icomp, const double x[20]) {
    auto none = [](int i) { return missing(TRNMOD.eta[i]) && missing(TRNMOD.tcx[i]); };
    if (icomp != 0) return none(icomp);
    for (int i = 1; i <= NCOMP.nc; ++i)
        if (x[i - 1] > 0.0 && none(i)) return true;
    return false;
}

// Step 3.1: whether pair parameters are missing (a component with x > 0
// without any of the inspected parameters with the later ones).
bool pair_parameters_missing(const double x[20]) {
    const int nc = NCOMP.nc;
    if (nc < 2) return false;
    long product = 1;
    for (int i = 1; i < nc; ++i) {
        if (!(x[i - 1] > 0.0)) continue;
        long count = 0;
        for (int j = i + 1; j <= nc; ++j) {
            if (!(x[j - 1] > 0.0)) continue;
            const auto& p = TRNBIN.p[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
            for (int which : {kBinDilL, kBinDilK, kBinEtaK, kBinTcxK, kBinTcxL})
                if (std::fabs(p[static_cast<std::size_t>(which)]) > 1e-20) ++count;
        }
        product *= count > 0 ? 1 : 0;
    }
    return product == 0;
}

// Other components together at most this mole fraction of a liquid or gas
// that is otherwise water (condensate of humid air or flue gas: 8.6e-5 of
// nitrogen, oxygen and argon in the liquid of a split at 300 K and 600 kPa)
// are solutes: the values are water's own, by its correlations at the
// mixture's temperature and density, and tend to them as the solutes
// vanish.  Between these and 5 % of water, without pair parameters, no
// model has a basis and the mixture is refused.
constexpr double kTraceSolutes = 0.01;

// The slot of water when x at T is water with trace solutes that the pair
// parameters do not cover; 0 otherwise.  Not below water's triple point:
// there the condensate would be ice.
int water_solvent(double T, const double x[20]) {
    const int iw = FLAGS2.water_index;
    if (iw < 1 || iw > NCOMP.nc || !(x[iw - 1] >= 1.0 - kTraceSolutes)) return 0;
    if (!(T >= CCON.ttp[iw])) return 0;
    if (FLAGS2.ammonia_water == 1 || FLAGS2.alcohols != 0) return 0;
    return pair_parameters_missing(x) ? iw : 0;
}

// Step 3.1: mixture classes without transport equations when pair
// parameters are missing.
bool mixture_class_refused(const double x[20], int& ierr, std::string& herr) {
    if (!pair_parameters_missing(x)) return false;
    const int nc = NCOMP.nc;
    const int iw = FLAGS2.water_index;
    if (FLAGS2.ammonia_water == 1) {
        report(kMixtureClass, "transport equations are not available for the ammonia/water mixture",
               ierr, herr);
    } else if (FLAGS2.alcohols != 0) {
        report(kMixtureClass, "transport equations are not available for mixtures with alcohols",
               ierr, herr);
    } else if (iw > 0 && iw <= nc && x[iw - 1] > 0.05) {
        report(kMixtureClass,
               "transport equations are not available for mixtures with water at molar "
               "concentrations greater than 5%",
               ierr, herr);
    } else {
        return false;
    }
    return true;
}

// Above this multiple of every component's upper pressure a mixture state is
// beyond all its models (the limit checks' hard pressure flag).
constexpr double kHardPressureFactor = 2.0;

// A mixture state beyond twice the highest upper pressure of its components'
// equations: its pair rules and reference mappings have no meaning there
// (the vapour of water + CO's bubble point at 240 K, 53.9 mol/L and 8.6 GPa
// got 13610 W/(m K)).  The mixture's own pressure limit is no test: phases
// of a liquid-liquid split at a mixture's upper pressure have lower ones
// (butane + r32 at 41 MPa, a phase's 12.2 MPa).
bool beyond_components(double T, double D, const double x[20], int& ierr, std::string& herr) {
    double pmax = 0.0;
    for (int i = 1; i <= NCOMP.nc; ++i) {
        if (!(x[i - 1] > 0.0)) continue;
        double unit[20] = {}, tmin = 0.0, tmax = 0.0, dmax = 0.0, p = 0.0;
        unit[i - 1] = 1.0;
        LIMITS("EOS", unit, tmin, tmax, dmax, p);
        pmax = std::max(pmax, p);
    }
    double P = 0.0;
    PRESS(T, D, x, P);
    if (!(P > kHardPressureFactor * pmax)) return false;
    report(kBadInput,
           "one or more inputs are out of range: pressure > 2 x upper limit, P =" +
               fmt_g(P / 1000.0, 12, 5) + " MPa, Pmax =" + fmt_g(pmax / 1000.0, 12, 5) + " MPa",
           ierr, herr);
    return true;
}

void mixture(double T, double D, const double x[20], double& eta, double& tcx, int& ierr,
             std::string& herr) {
    if (mixture_class_refused(x, ierr, herr)) return;
    if (beyond_components(T, D, x, ierr, herr)) return;
    const bool eta_ecs = ecs(TRNMOD.eta_mix), tcx_ecs = ecs(TRNMOD.tcx_mix);
    if (!eta_ecs && !tcx_ecs)
        return report(kNoModel,
                      "no transport model for mixtures selected (mixture codes " +
                          TRNMOD.eta_mix.str() + ", " + TRNMOD.tcx_mix.str() + ")",
                      ierr, herr);
    double e = kMarker9, t = kMarker9;
    TRNECS(T, D, x, e, t, ierr, herr);
    if (ierr == 1 && e > 0.0 && t > 0.0)
        report(-54,
               "temperature and/or density input to the thermal conductivity and/or viscosity "
               "ecs mixture model are out of range; results may be in error.",
               ierr, herr);
    if (eta_ecs) eta = e;
    if (tcx_ecs) tcx = t;
}

// Both values of the fluid's corresponding-states block at (T, D): true
// when it has one and gives two values.
bool ecs_value(double T, double D, const double x[20], double& eta, double& tcx) {
    if (!ecs_block_loaded(ISPURE(x))) return false;
    double e = kMarker9, t = kMarker9;
    int jerr = 0;
    std::string jtext;
    TRNECS(T, D, x, e, t, jerr, jtext);
    if (jerr > 0 || !(e > 0.0) || !(t > 0.0)) return false;
    eta = e;
    tcx = t;
    return true;
}

// Flags of the range checks (LIMITX).
constexpr int kTemperatureFlag = 1;
constexpr int kPressureFlag = 4;

// A state above the published pressure of slot icomp's correlation of
// property p (handover.h): v becomes the scaled corresponding-states value,
// P the state's pressure, pe the published one.
bool beyond_published_pressure(handover::Property p, int icomp, double T, double D,
                               const double x[20], double& v, double& P, double& pe) {
    pe = handover::published_pmax(p, icomp);
    if (!std::isfinite(pe)) return false;
    PRESS(T, D, x, P);
    if (!(P > pe)) return false;
    return handover::scaled_ecs(p, icomp, x, T, D, T, pe, v);
}

// Outcome of the viscosity step of a pure fluid, for the conductivity step.
struct EtaStep {
    bool by_ecs = false;
    bool by_correlation = false;
    bool beyond_pressure = false;  // above the correlation's published pressure
    int limit = 0;                 // LIMITX result of the viscosity correlation
    double tcx_ecs = kMarker9;
};

EtaStep pure_viscosity(int icomp, double T, double D, const double x[20], double& eta, int& ierr,
                       std::string& herr) {
    EtaStep s;
    const Code& code = TRNMOD.eta[icomp];
    if (missing(code)) {
        eta = kMarker1;
        return s;
    }
    if (ecs(code)) {
        s.by_ecs = true;
        TRNECS(T, D, x, eta, s.tcx_ecs, ierr, herr);
        return s;
    }
    s.by_correlation = true;
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    std::string hlim;
    LIMITX("ETA", T, D, 0.0, x, tmin, tmax, dmax, pmax, s.limit, hlim);
    if (s.limit > 0) {
        // Outside its correlation's range the fluid's corresponding-states
        // block answers (beyond a temperature limit scaled to meet the
        // correlation there); without one the viscosity is not computed.
        const bool by_ecs = ecs_value(T, D, x, eta, s.tcx_ecs);
        s.by_ecs = by_ecs;
        double factor = 1.0;
        if (by_ecs && s.limit == kTemperatureFlag &&
            handover::edge_factor(handover::kViscosity, icomp, x, T, D, T < tmin ? tmin : tmax, 0.0,
                                  factor))
            eta *= factor;
        report(-40 - s.limit,
               "one or more inputs to the viscosity correlation are out of range; " +
                   std::string(by_ecs ? "the ECS model is used; " : "results may be in error; ") +
                   hlim.substr(0, 130),
               ierr, herr);
        return s;
    }
    ETAK(icomp, T, D, eta, ierr, herr);
    if (ierr > 0) {
        eta = kMarker9;
        return s;
    }
    double P = 0.0, pe = 0.0;
    if (beyond_published_pressure(handover::kViscosity, icomp, T, D, x, eta, P, pe)) {
        s.beyond_pressure = true;
        report(-40 - kPressureFlag,
               "the pressure is above the viscosity correlation's published range; the ECS model "
               "is used, scaled to meet it there; P =" +
                   fmt_g(P / 1000.0, 12, 5) + " MPa, Pmax =" + fmt_g(pe / 1000.0, 12, 5) + " MPa",
               ierr, herr);
    }
    return s;
}

// After -52/-53: both values from the corresponding-states route; a failure
// there is an error, never a warning with values.
void fallback(int n, const std::string& text, double T, double D, const double x[20], double& eta,
              double& tcx, int& ierr, std::string& herr) {
    double e = kMarker9, t = kMarker9;
    int jerr = 0;
    std::string jtext;
    TRNECS(T, D, x, e, t, jerr, jtext);
    const bool values = e > 0.0 && t > 0.0;
    if (jerr != 0 && !values) {
        eta = tcx = kMarker9;
        return report(std::abs(jerr),
                      "correlations out of range and the ECS model failed: " + jtext.substr(0, 160),
                      ierr, herr);
    }
    eta = e;
    tcx = t;
    report(n, text, ierr, herr);
}

void pure_conductivity(int icomp, double T, double D, const double x[20], const EtaStep& s,
                       double& eta, double& tcx, int& ierr, std::string& herr) {
    const Code& code = TRNMOD.tcx[icomp];
    if (missing(code)) {
        tcx = kMarker1;
        return;
    }
    if (ecs(code)) {
        if (s.by_ecs) {
            tcx = s.tcx_ecs;
            return;
        }
        double e = 0.0;
        int jerr = 0;
        std::string jtext;
        TRNECS(T, D, x, e, tcx, jerr, jtext);
        if (jerr != 0)
            report(tcx > 0.0 ? jerr : std::abs(jerr),
                   "pure fluid correlation out of range; attempted to use ECS method, it "
                   "generated error:  " +
                       jtext.substr(0, 146),
                   ierr, herr);
        return;
    }
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int k = 0;
    std::string hlim;
    LIMITX("TCX", T, D, 0.0, x, tmin, tmax, dmax, pmax, k, hlim);
    if (k < 1) {
        int kerr = 0;
        std::string ktext;
        TCXK(icomp, T, D, tcx, kerr, ktext);
        // A warning of the conductivity does not hide an error of the
        // viscosity (its block's limits, say).
        if (kerr > 0 || (kerr < 0 && ierr <= 0)) {
            ierr = kerr;
            herr = ktext;
        }
        if (kerr > 0) {
            tcx = kMarker9;
            return;
        }
        double P = 0.0, pe = 0.0;
        if (beyond_published_pressure(handover::kConductivity, icomp, T, D, x, tcx, P, pe))
            report(s.beyond_pressure ? -50 - kPressureFlag : -30 - kPressureFlag,
                   std::string("the pressure is above the thermal conductivity ") +
                       (s.beyond_pressure ? "and viscosity correlations'" : "correlation's") +
                       " published range; the ECS model is used, scaled to meet it there; P =" +
                       fmt_g(P / 1000.0, 12, 5) + " MPa, Pmax =" + fmt_g(pe / 1000.0, 12, 5) +
                       " MPa",
                   ierr, herr);
        return;
    }
    double e = 0.0;
    const bool by_ecs = s.by_ecs ? (tcx = s.tcx_ecs) > 0.0 : ecs_value(T, D, x, e, tcx);
    const std::string result = by_ecs ? "the ECS model is used; " : "results may be in error; ";
    if (!s.by_correlation || s.limit <= 0)
        return report(-30 - k,
                      "one or more inputs to the thermal conductivity correlation are out of "
                      "range; " +
                          result + hlim.substr(0, 130),
                      ierr, herr);
    if (s.limit == 1)
        return report(-50 - k,
                      "one or more inputs to the thermal conductivity and viscosity correlations "
                      "are out of range; " +
                          result + hlim.substr(0, 115),
                      ierr, herr);
    if (s.limit == 2 && k == 2)
        return fallback(-52,
                        "the density input to the thermal conductivity and viscosity correlations "
                        "are out of range; will use the ECS model. ",
                        T, D, x, eta, tcx, ierr, herr);
    fallback(-53,
             "temperature and/or density input to the thermal conductivity and/or viscosity "
             "correlations are out of range; will use the ECS model.",
             T, D, x, eta, tcx, ierr, herr);
}

// Step 7: a value that is neither a result nor the no-model marker becomes
// the not-computed marker, never without a message.
void clean(double& v, const char* what, int& ierr, std::string& herr) {
    if (v == kMarker1 || v == kMarker9) return;
    if (std::isfinite(v) && v >= 0.0) return;
    v = kMarker9;
    if (ierr <= 0)
        report(kNotPhysical, std::string("the ") + what + " model gives no physical value here",
               ierr, herr);
}

// Results computed within one call are reused within it, never beyond.
class CallScope {
public:
    CallScope() {
        TRNCALL = TrnCallRecord{};
        TRNCALL.active = true;
    }
    ~CallScope() { TRNCALL = TrnCallRecord{}; }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;
};

// Steps 4-6 for the pure fluid in slot icomp (x its unit composition).
void pure(int icomp, double T, double D, const double x[20], double& eta, double& tcx, int& ierr,
          std::string& herr) {
    const EtaStep s = pure_viscosity(icomp, T, D, x, eta, ierr, herr);
    pure_conductivity(icomp, T, D, x, s, eta, tcx, ierr, herr);
    // A correlation without a physical value here (beyond the close-
    // packed density of its free-volume term, say) is out of its range.
    if (s.by_correlation && ecs_block_loaded(icomp) && eta != kMarker1 && eta != kMarker9 &&
        !(eta >= 0.0))
        fallback(-52,
                 "the viscosity correlation gives no physical value at this density; will "
                 "use the ECS model.",
                 T, D, x, eta, tcx, ierr, herr);
    if (std::fabs(T - CCON.tc[icomp]) < 1e-20 && std::fabs(D - CCON.dc[icomp]) < 1e-20) {
        fail(kCritical,
             errtext("TRNPRP", "warning", fmt_int(kCritical, 3),
                     "pure fluid property is infinite at exactly Tc, rhoc"),
             ierr, herr);
        tcx = kMarker9;
    }
}

// Water with trace solutes (see kTraceSolutes): water's own values.
void water_with_solutes(int iw, double T, double D, double& eta, double& tcx, int& ierr,
                        std::string& herr) {
    double unit[20] = {};
    unit[iw - 1] = 1.0;
    RMIX(unit);
    pure(iw, T, D, unit, eta, tcx, ierr, herr);
}

}  // namespace

void TRNPRP(double T, double D, const double x[20], double& eta, double& tcx, int& ierr,
            std::string& herr) {
    ierr = 0;
    herr.clear();
    eta = tcx = kMarker9;
    if (!std::isfinite(T) || !std::isfinite(D) || !(T > 0.0) || D < 0.0)
        return report(kBadInput, "temperature or density not valid", ierr, herr);
    const int icomp = NCOMP.nc >= 1 ? ISPURE(x) : -1;
    if (icomp < 0 || models_missing(icomp, x))
        return report(kNoModel,
                      "transport equations are not available for one or more of the fluids", ierr,
                      herr);
    RMIX(x);
    CallScope scope;
    const int solvent = icomp == 0 ? water_solvent(T, x) : 0;
    if (solvent > 0) {
        water_with_solutes(solvent, T, D, eta, tcx, ierr, herr);
    } else if (icomp == 0) {
        mixture(T, D, x, eta, tcx, ierr, herr);
    } else {
        pure(icomp, T, D, x, eta, tcx, ierr, herr);
    }
    clean(eta, "viscosity", ierr, herr);
    clean(tcx, "thermal conductivity", ierr, herr);
}

}  // namespace lib
