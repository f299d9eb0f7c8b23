// Characteristic curves of a pure fluid: the temperature at a given density
// on the ideal curve (Z = 1), the Boyle curve ((dZ/dD)_T = 0), the
// Joule-Thomson inversion curve ((dZ/dT)_P = 0) and the Joule inversion
// curve ((dZ/dT)_D = 0), each by Newton's method in temperature on its
// condition in reduced residual derivatives a(i,j) = tau^i delta^j
// d^(i+j) alphar/dtau^i ddelta^j, with the exact temperature derivative
// d a(i,j)/dT = -(i a(i,j) + a(i+1,j)) / T.
#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"

namespace lib {

namespace {

enum class Curve { kIdeal, kBoyle, kJouleThomson, kJoule };

struct Spec {
    const char* routine;
    const char* not_pure;
    double start;  // times the reducing temperature
    int passes;
};

Spec spec(Curve c) {
    switch (c) {
        case Curve::kIdeal: return {"IDCRV", "IDCRV:  valid only for pure fluids", 1.5, 1000};
        case Curve::kBoyle: return {"BLCRV", "BL:  not a pure fluid", 1.5, 100};
        case Curve::kJouleThomson: return {"JTCRV", "JTCRV:  not a pure fluid", 1.5, 500};
        default: return {"JICRV", "JICRV:  not a pure fluid", 10.0, 500};
    }
}

// The condition and its temperature derivative at (T, D) of component ic.
void condition(Curve c, int ic, double T, double D, double& f, double& g) {
    const double tau = ZRED.tred[ic] / T, del = D / ZRED.dred[ic];
    auto a = [&](int i, int j) { return PHIK(ic, i, j, tau, del); };
    // d a(i,j)/dT times -T.
    auto dt = [&](int i, int j) { return i * a(i, j) + a(i + 1, j); };
    switch (c) {
        case Curve::kIdeal:
            f = a(0, 1);
            g = dt(0, 1);
            break;
        case Curve::kBoyle:
            f = a(0, 1) + a(0, 2);
            g = dt(0, 1) + dt(0, 2);
            break;
        case Curve::kJouleThomson:
            f = a(0, 1) + a(0, 2) + a(1, 1);
            g = dt(0, 1) + dt(0, 2) + dt(1, 1);
            break;
        case Curve::kJoule:
            f = a(1, 1);
            g = dt(1, 1);
            break;
    }
    g = -g / T;
}

void solve(Curve c, double D, const double x[20], double& t, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    const Spec s = spec(c);
    int ic = 0;
    if (NCOMP.nc == 1)
        ic = 1;
    else if (x[0] == 1.0)
        ic = 1;
    else if (x[1] == 1.0)
        ic = 2;
    if (ic == 0) {
        ierr = 1;
        herr = s.not_pure;
        return;
    }
    if (!(D > 0.0) || !std::isfinite(D)) {
        t = 0.0;
        fail(2, s.routine, "density must be positive; D =" + fmt_g(D, 12, 5) + " mol/L", ierr,
             herr);
        return;
    }
    double T = t > 0.0 && std::isfinite(t) ? t : s.start * ZRED.tred[ic];
    for (int k = 0; k < s.passes; ++k) {
        double f = 0.0, g = 0.0;
        condition(c, ic, T, D, f, g);
        if (g == 0.0 || !std::isfinite(f) || !std::isfinite(g)) break;
        const double next = T - f / g;
        if (!(next > 0.0)) {
            t = 0.0;
            fail(3, s.routine,
                 "iteration reached a non-positive temperature; D =" + fmt_g(D, 12, 5) + " mol/L",
                 ierr, herr);
            return;
        }
        // Keep a step within a factor of two.
        const double step = next - T;
        T = std::clamp(next, 0.5 * T, 2.0 * T);
        if (std::fabs(step) <= 1e-11 * T) {
            t = T;
            return;
        }
    }
    t = 0.0;
    fail(4, s.routine, "iteration did not converge; D =" + fmt_g(D, 12, 5) + " mol/L", ierr, herr);
}

}  // namespace

void IDCRV(double d, const double x[20], double& t, int& ierr, std::string& herr) {
    solve(Curve::kIdeal, d, x, t, ierr, herr);
}
void BLCRV(double d, const double x[20], double& t, int& ierr, std::string& herr) {
    solve(Curve::kBoyle, d, x, t, ierr, herr);
}
void JTCRV(double d, const double x[20], double& t, int& ierr, std::string& herr) {
    solve(Curve::kJouleThomson, d, x, t, ierr, herr);
}
void JICRV(double d, const double x[20], double& t, int& ierr, std::string& herr) {
    solve(Curve::kJoule, d, x, t, ierr, herr);
}

}  // namespace lib
