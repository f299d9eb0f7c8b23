// Hydrogen forms of the fluid-specific viscosity: "H2A" (and "D2", "T2" by
// scaling) and the older "H2" form with its dilute, excess and difference
// terms.
#include <cmath>

#include "library/transport/records.h"
#include "library/transport/vs0.h"

namespace lib {

namespace {

// Constants held in single precision.
constexpr double f32(float v) { return static_cast<double>(v); }

// The "H2A" viscosity with the dilute part multiplied by `dilute` and the
// high-density term by `dense`.
double h2a(double T, double D, double dilute, double dense) {
    const double M = f32(2.01588f);
    const double l = std::log(T / 30.41);
    const double omega = std::exp(0.20963 - 0.455274 * l + 0.143602 * l * l -
                                  0.0335325 * l * l * l + 0.00276981 * l * l * l * l);
    const double eta0 = dilute * f32(0.021357f) * std::sqrt(M * T) / (f32(0.088208996f) * omega);
    const double ts = T / f32(30.41f);
    const double bstar = -f32(0.187f) + f32(2.4871f) / ts + f32(3.7151f) / std::pow(ts, 2) -
                         f32(11.0972f) / std::pow(ts, 3) + f32(9.0965f) / std::pow(ts, 4) -
                         f32(3.8292f) / std::pow(ts, 5) + f32(0.5166f) / std::pow(ts, 6);
    double eta = eta0 + bstar * f32(0.6022137f) * f32(0.02619807f) * eta0 * D;
    const double rho = M * D;
    if (rho <= 0.0) return eta;
    const double tr = T / f32(33.145f), rr = f32(0.011f) * rho;
    eta += dense * f32(1000.0f) * 0.00643449673 * rr * rr *
           std::exp(0.232797868 / tr + 0.0456334068 * tr +
                    0.95832612 * rr * rr / (tr + 0.127941189) + 0.363576595 * std::pow(rr, 6));
    return eta;
}

double c(int icomp, int k) { return WCFETA[icomp][static_cast<std::size_t>(k - 1)][0]; }

}  // namespace

double ETAH2(int, double T, double D) { return h2a(T, D, 1.0, 1.0); }

double ETAD2(int, double T, double D) { return h2a(T, D, f32(1.4142135f), f32(1.18f)); }

double DILV(int icomp, double T) {
    double s = 0.0;
    for (int k = 1; k <= 9; ++k) s += c(icomp, k) * std::pow(T, (k - 4) / 3.0);
    return 100.0 * s;
}

double EXVDIL(double D, double T) {
    if (D <= 0.0) return 0.0;
    const double rho = 2.0159 * D / 1000.0, y = rho / 0.07;
    const double X =
        std::exp(std::log(rho) + 5.7694 + 65.0 * std::pow(rho, 1.5) - 6e-6 * std::exp(127.2 * rho));
    return 0.1 * X *
           std::exp((7.2 * (std::pow(y, 6) - std::pow(y, 1.5)) + 10.0 -
                     17.63 * std::exp(-58.75 * y * y * y)) /
                    T);
}

double EXCESV(int icomp, double D, double T) {
    const double rho = 2.0159 * D / 1000.0;
    const double th = std::sqrt(rho) * (rho - c(icomp, 17)) / c(icomp, 17);
    const double x = c(icomp, 10) + c(icomp, 11) * th + c(icomp, 12) * std::pow(rho, 0.1) +
                     c(icomp, 13) * th / (T * T) +
                     c(icomp, 14) * std::pow(rho, 0.1) / std::pow(T, 1.5) + c(icomp, 15) / T +
                     c(icomp, 16) * th / T;
    return 0.1 * (std::exp(x) - std::exp(c(icomp, 10) + c(icomp, 15) / T));
}

double DELV(int icomp, double D1, double T1, double D2, double T2) {
    return DILV(icomp, T1) + EXCESV(icomp, D1, T1) - DILV(icomp, T2) - EXCESV(icomp, D2, T2);
}

double ETAH2QLX(int icomp, double T, double D) {
    if (T < 100.0) return DILV(icomp, T) + EXVDIL(D, T);
    return DILV(icomp, 100.0) + EXVDIL(D, 100.0) + DELV(icomp, D, T, D, 100.0);
}

}  // namespace lib
