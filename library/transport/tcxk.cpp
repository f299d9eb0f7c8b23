#include "library/transport/tcxk.h"

#include <cmath>

#include "library/library.h"
#include "library/transport/dense.h"
#include "library/transport/models.h"
#include "library/transport/records.h"

namespace lib {

namespace {

constexpr int kModelError = 39;

void model_error(const char* routine, const std::string& text, int& ierr, std::string& herr) {
    fail(kModelError, routine, text, ierr, herr);
}

void start(double& out, int& ierr, std::string& herr) {
    out = 0.0;
    ierr = 0;
    herr.clear();
}

bool inputs_ok(const char* routine, int icomp, double T, double D, int& ierr, std::string& herr) {
    if (icomp < kMinSlot || icomp > kMaxSlot) {
        model_error(routine, "component number out of range", ierr, herr);
        return false;
    }
    if (std::isfinite(T) && T > 0.0 && std::isfinite(D) && D >= 0.0) return true;
    model_error(routine, "temperature or density not valid for a thermal conductivity model", ierr,
                herr);
    return false;
}

void checked(const char* routine, double v, double& out, int& ierr, std::string& herr) {
    if (std::isfinite(v)) {
        out = v;
    } else {
        out = 0.0;
        model_error(routine, "the thermal conductivity model gives no finite value at this state",
                    ierr, herr);
    }
}

// Dilute (part 0) or background (part 1) by the slot's conductivity model.
void part(const char* routine, int which, int icomp, double T, double D, double& out, int& ierr,
          std::string& herr) {
    start(out, ierr, herr);
    if (!inputs_ok(routine, icomp, T, D, ierr, herr)) return;
    const Code& code = TRNMOD.tcx[icomp];
    const ConductivityModel* m = conductivity_model(code);
    if (m == nullptr)
        return model_error(routine, "unknown thermal conductivity model specified", ierr, herr);
    const TcxPart f = which == 0 ? m->dilute : m->background;
    if (!m->built || f == nullptr)
        return model_error(routine, "call to unimplemented model (" + code.str() + ")", ierr, herr);
    int jerr = 0;
    std::string jtext;
    const double v = f(icomp, T, D, jerr, jtext);
    checked(routine, v, out, ierr, herr);
    if (ierr == 0 && jerr != 0) {
        ierr = jerr;
        herr = jtext;
    }
}

}  // namespace

void TCXK0(int icomp, double T, double& tcx0, int& ierr, std::string& herr) {
    part("TCXK0", 0, icomp, T, 0.0, tcx0, ierr, herr);
}

void conductivity_background(int icomp, double T, double D, double& tcxb, int& ierr,
                             std::string& herr) {
    part("TCXKB", 1, icomp, T, D, tcxb, ierr, herr);
}

void TCXKB(int icomp, double T, double D, double& tcxb, int& ierr, std::string& herr) {
    double background = 0.0;
    if (icomp >= kMinSlot && icomp <= kMaxSlot &&
        dense::continued(dense::kConductivity, icomp, T, D, background)) {
        start(tcxb, ierr, herr);
        tcxb = background;
        return;
    }
    conductivity_background(icomp, T, D, tcxb, ierr, herr);
}

void TCXKC(int icomp, double T, double D, double& tcxc, int& ierr, std::string& herr) {
    start(tcxc, ierr, herr);
    if (!inputs_ok("TCXKC", icomp, T, D, ierr, herr)) return;
    const Code& code = CREMOD.set[kCreTcx][icomp];
    const EnhancementModel* m = enhancement_model(code);
    if (m == nullptr)
        return model_error(
            "TCXKC",
            "unknown thermal conductivity critical enhancement model specified: " + code.str(),
            ierr, herr);
    if (!m->built)
        return model_error("TCXKC", "call to unimplemented model (" + code.str() + ")", ierr, herr);
    if (m->evaluate == nullptr) return;  // "NUL": no enhancement
    int jerr = 0;
    std::string jtext;
    const double v = m->evaluate(icomp, T, D, jerr, jtext);
    checked("TCXKC", v, tcxc, ierr, herr);
    if (ierr == 0 && jerr != 0) {
        ierr = jerr;
        herr = jtext;
    }
}

void TCXK(int icomp, double T, double D, double& tcx, int& ierr, std::string& herr) {
    double t0 = 0.0, tb = 0.0, tc = 0.0;
    TCXK0(icomp, T, t0, ierr, herr);
    const int e0 = ierr;
    const std::string h0 = herr;
    TCXKB(icomp, T, D, tb, ierr, herr);
    const int eb = ierr;
    const std::string hb = herr;
    TCXKC(icomp, T, D, tc, ierr, herr);
    tcx = t0 + tb + tc;
    // An error of an earlier part is not hidden by a later part's success.
    if (ierr <= 0 && eb > 0) {
        ierr = eb;
        herr = hb;
    }
    if (ierr <= 0 && e0 > 0) {
        ierr = e0;
        herr = h0;
    }
}

}  // namespace lib
