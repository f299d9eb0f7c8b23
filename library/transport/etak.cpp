#include "library/transport/etak.h"

#include <cmath>

#include "library/library.h"
#include "library/transport/dense.h"
#include "library/transport/models.h"
#include "library/transport/records.h"
#include "library/transport/trnecs.h"

namespace lib {

namespace {

constexpr int kModelError = 49;

bool slot_ok(int icomp) { return icomp >= kMinSlot && icomp <= kMaxSlot; }

void model_error(const char* routine, const std::string& text, int& ierr, std::string& herr) {
    fail(kModelError, routine, text, ierr, herr);
}

// The slot's model row, or a message when the code names none or the model is
// not built.  `ecs` tells that the code begins with "EC".
const ViscosityModel* model_of(const char* routine, int icomp, bool& ecs, int& ierr,
                               std::string& herr) {
    ecs = false;
    if (!slot_ok(icomp)) {
        model_error(routine, "component number out of range", ierr, herr);
        return nullptr;
    }
    const Code& code = TRNMOD.eta[icomp];
    if (code.starts("EC")) {
        ecs = true;
        return nullptr;
    }
    const ViscosityModel* m = viscosity_model(code);
    if (m == nullptr) {
        model_error(routine, "unknown viscosity model specified", ierr, herr);
    } else if (!m->built) {
        model_error(routine, "call to unimplemented model (" + code.str() + ")", ierr, herr);
        return nullptr;
    }
    return m;
}

bool inputs_ok(const char* routine, double T, double D, int& ierr, std::string& herr) {
    if (std::isfinite(T) && T > 0.0 && std::isfinite(D) && D >= 0.0) return true;
    model_error(routine, "temperature or density not valid for a viscosity model", ierr, herr);
    return false;
}

// A value that is not finite leaves as 0 with an error.
void checked(const char* routine, double v, double& out, int& ierr, std::string& herr) {
    if (std::isfinite(v)) {
        out = v;
    } else {
        out = 0.0;
        model_error(routine, "the viscosity model gives no finite value at this state", ierr, herr);
    }
}

// One part of a model: its value, checked, with the part's own report.
void part(const char* routine, ModelPart f, int icomp, double T, double D, double& out, int& ierr,
          std::string& herr) {
    int jerr = 0;
    std::string jtext;
    const double v = f(icomp, T, D, jerr, jtext);
    checked(routine, v, out, ierr, herr);
    if (ierr == 0 && jerr != 0) {
        ierr = jerr;
        herr = jtext;
    }
    if (ierr > 0) out = 0.0;
}

void start(double& out, int& ierr, std::string& herr) {
    out = 0.0;
    ierr = 0;
    herr.clear();
}

}  // namespace

void ETAK0(int icomp, double T, double& eta0, int& ierr, std::string& herr) {
    start(eta0, ierr, herr);
    if (!inputs_ok("ETAK0", T, 0.0, ierr, herr)) return;
    bool ecs = false;
    const ViscosityModel* m = model_of("ETAK0", icomp, ecs, ierr, herr);
    if (ecs) return checked("ETAK0", ETA0DG(icomp, T), eta0, ierr, herr);
    if (m != nullptr) part("ETAK0", m->dilute, icomp, T, 0.0, eta0, ierr, herr);
}

void ETAK1(int icomp, double T, double& B, int& ierr, std::string& herr) {
    start(B, ierr, herr);
    if (!inputs_ok("ETAK1", T, 0.0, ierr, herr)) return;
    bool ecs = false;
    const ViscosityModel* m = model_of("ETAK1", icomp, ecs, ierr, herr);
    if (ecs)
        return model_error("ETAK1",
                           "the corresponding-states model (ECS) has no initial-density term", ierr,
                           herr);
    if (m != nullptr && m->initial != nullptr)
        part("ETAK1", m->initial, icomp, T, 0.0, B, ierr, herr);
}

void ETAKR(int icomp, double T, double D, double& etar, int& ierr, std::string& herr) {
    start(etar, ierr, herr);
    if (!inputs_ok("ETAKR", T, D, ierr, herr)) return;
    bool ecs = false;
    const ViscosityModel* m = model_of("ETAKR", icomp, ecs, ierr, herr);
    if (ecs)
        return model_error("ETAKR",
                           "the corresponding-states model (ECS) has no residual term of its own",
                           ierr, herr);
    if (m != nullptr) part("ETAKR", m->residual, icomp, T, D, etar, ierr, herr);
}

namespace {

// eta0 (f0 + B D) + eta_r with f0 = 1 (ETAK) or 0 (ETAKB); the report of
// the last part that runs is the one returned.  Beyond the densest state a
// general correlation answers for, its density-dependent part is continued
// (dense.h).
void sum(double f0, int icomp, double T, double D, double& eta, int& ierr, std::string& herr) {
    double eta0 = 0.0, B = 0.0, etar = 0.0, background = 0.0;
    if (dense::continued(dense::kViscosity, icomp, T, D, background)) {
        ETAK0(icomp, T, eta0, ierr, herr);
        eta = f0 * eta0 + background;
        return;
    }
    ETAK0(icomp, T, eta0, ierr, herr);
    const int e0 = ierr;
    const std::string h0 = herr;
    ETAK1(icomp, T, B, ierr, herr);
    const int e1 = ierr;
    const std::string h1 = herr;
    ETAKR(icomp, T, D, etar, ierr, herr);
    eta = eta0 * (f0 + B * D) + etar;
    // An error of an earlier part is not hidden by a later part's success.
    if (ierr <= 0 && e1 > 0) {
        ierr = e1;
        herr = h1;
    }
    if (ierr <= 0 && e0 > 0) {
        ierr = e0;
        herr = h0;
    }
}

}  // namespace

void ETAK(int icomp, double T, double D, double& eta, int& ierr, std::string& herr) {
    TrnCallRecord& c = TRNCALL;
    if (c.active && c.eta_valid && c.eta_slot == icomp && c.eta_T == T && c.eta_D == D) {
        eta = c.eta;
        ierr = 0;
        herr.clear();
        return;
    }
    sum(1.0, icomp, T, D, eta, ierr, herr);
    if (c.active && ierr == 0) {
        c.eta_valid = true;
        c.eta_slot = icomp;
        c.eta_T = T;
        c.eta_D = D;
        c.eta = eta;
    }
}

void ETAKB(int icomp, double T, double D, double& eta, int& ierr, std::string& herr) {
    sum(0.0, icomp, T, D, eta, ierr, herr);
}

}  // namespace lib
