// Surface tension at a saturation state: SURFT (the bubble point at T),
// SURTEN (given phases), and CRITF, the critical mixture of given fugacity
// fractions that the mixture rules "STX" and "STM" use.
#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/setup/records.h"
#include "library/transport/records.h"
#include "library/transport/stn.h"

namespace lib {

namespace {

constexpr int kCritfPasses = 20;
constexpr double kCritfTolerance = 1e-5;
constexpr int kNoConvergence = 160;

// A report of a routine called: a warning is kept and the evaluation goes
// on, an error ends it with the marker.
struct Outcome {
    int ierr = 0;
    std::string herr;
    // Keeps a warning unless an error is already held; an error replaces it.
    void note(int n, std::string text) {
        if (n == 0 || ierr > 0) return;
        ierr = n;
        herr = std::move(text);
    }
};

std::string cut(const std::string& s, std::size_t n) { return s.size() > n ? s.substr(0, n) : s; }

// A report of a routine called, under the name of the routine that called
// it: "[SURFT error n] " + 237 characters of its message (warnings 234;
// SURTEN one fewer).
void pass_on(std::string_view routine, int n, const std::string& text, Outcome& out) {
    const std::size_t width = (n > 0 ? 242 : 239) - routine.size();
    std::string m;
    int k = 0;
    fail(n, errtext(routine, n, cut(text, width)), k, m);
    if (n > 0) {
        out.ierr = n;
        out.herr = m;
    } else {
        out.note(n, m);
    }
}

// Every component present needs its correlation (before its limits, which
// a fluid without one does not have).
bool models_present(const double x[20], Outcome& out) {
    const int ic = ISPURE(x);
    for (int i = 1; i <= NCOMP.nc; ++i) {
        if (ic != 0 ? i != ic : !(x[i - 1] > 0.0)) continue;
        if (STNMOD.slot[i].is("ST1")) continue;
        double sigma = 0.0;
        STNK(i, 0.0, sigma, out.ierr, out.herr);
        return false;
    }
    return true;
}

// Limits of the surface-tension correlations for composition x.  False (and
// the error in `out`) when the state cannot be evaluated.
bool check_limits(std::string_view routine, double T, const double x[20], Outcome& out) {
    double tmin = 0.0, tmax = 0.0, dmax = 0.0, pmax = 0.0;
    int k = 0;
    std::string hlim;
    LIMITX("STN", T, 0.0, 0.0, x, tmin, tmax, dmax, pmax, k, hlim);
    if (k > 0) {
        pass_on(routine, k, hlim, out);
        return false;
    }
    if (T < tmin - 1e-10 || !std::isfinite(T)) {
        fail(1, routine, "t<tmin", out.ierr, out.herr);
        return false;
    }
    if (k < 0) pass_on(routine, k - 20, hlim, out);
    return true;
}

// The bubble point at T: liquid and vapour densities and the vapour
// composition.  False (and the error) when SATT fails.
bool bubble_point(std::string_view routine, double T, const double x[20], double& Dl, double& Dv,
                  double y[20], Outcome& out) {
    double P = 0.0, xl[20] = {};
    int jerr = 0;
    std::string jtext;
    SATT(T, x, kBubblePoint, P, Dl, Dv, xl, y, jerr, jtext);
    if (jerr == 0 && !(Dl > 0.0 && Dv > 0.0 && std::isfinite(Dl) && std::isfinite(Dv)))
        jerr = 1, jtext = "no saturated liquid and vapour densities at T";
    if (jerr != 0) pass_on(routine, jerr, jtext, out);
    if (jerr > 0) Dl = Dv = 0.0;
    return jerr <= 0;
}

void finish(const Outcome& out, double& sigma, int& ierr, std::string& herr) {
    if (ierr > 0) return;  // the error of STN stays
    if (out.ierr > 0) {
        sigma = kMarker9;
        ierr = out.ierr;
        herr = out.herr;
    } else if (ierr == 0 && out.ierr != 0) {
        ierr = out.ierr;
        herr = out.herr;
    }
}

}  // namespace

void SURFT(double T, const double x[20], double& Dl, double& sigma, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    sigma = kMarker9;
    Dl = 0.0;
    Outcome out;
    double Dv = 0.0, y[20] = {};
    if (models_present(x, out) && check_limits("SURFT", T, x, out) &&
        bubble_point("SURFT", T, x, Dl, Dv, y, out))
        STN(T, Dl, Dv, x, y, sigma, ierr, herr);
    finish(out, sigma, ierr, herr);
}

void SURTEN(double T, double Dl, double Dv, const double x[20], const double y[20], double& sigma,
            int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    sigma = kMarker9;
    Outcome out;
    const bool pure = ISPURE(x) != 0;
    double dl = Dl, dv = Dv, yv[20];
    std::copy(y, y + 20, yv);
    bool ok = models_present(x, out) && check_limits("SURTEN", T, x, out);
    // A pure fluid's value needs T alone; a mixture's rule needs both phases.
    if (ok && !pure && !(dl > 0.0 && dv > 0.0)) ok = bubble_point("SURTEN", T, x, dl, dv, yv, out);
    if (ok && !pure) ok = check_limits("SURTEN", T, yv, out);
    if (ok) STN(T, dl, dv, x, yv, sigma, ierr, herr);
    finish(out, sigma, ierr, herr);
}

void CRITF(const double w[20], double x[20], double& tc, double& pc, double& dc, int& ierr,
           std::string& herr) {
    ierr = 0;
    herr.clear();
    const int nc = NCOMP.nc;
    for (int pass = 0; pass < kCritfPasses; ++pass) {
        int jerr = 0;
        std::string jtext;
        CRITP(x, tc, pc, dc, jerr, jtext);
        double f[20] = {};
        if (jerr <= 0) FGCTY2(tc, dc, x, f, jerr, jtext);
        double fsum = 0.0;
        for (int i = 0; i < nc; ++i) fsum += f[i];
        if (jerr > 0 || !(fsum > 0.0) || !std::isfinite(fsum))
            return fail(
                kNoConvergence, "SURFT",
                "CRITF: no critical point or fugacities of the composition: " + cut(jtext, 160),
                ierr, herr);
        double xn[20] = {}, step = 0.0, xsum = 0.0;
        for (int i = 0; i < nc; ++i) {
            xn[i] = std::max(0.0, x[i] - (f[i] / fsum - w[i]));
            step += std::fabs(xn[i] - x[i]);
            xsum += xn[i];
        }
        if (step < kCritfTolerance) return;
        if (!(xsum > 0.0)) break;
        for (int i = 0; i < nc; ++i) x[i] = xn[i] / xsum;
    }
    fail(kNoConvergence, "SURFT",
         "CRITF (find critical parameters at a specified fugacity fraction) did not converge in "
         "the surface tension calculation",
         ierr, herr);
}

}  // namespace lib
