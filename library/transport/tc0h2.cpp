// TCXH2: the hydrogen conductivity of the fluid-specific correlations (codes
// "H2", "D2", "T2"), two regimes blended between 70 and 90 K, the upper one
// interpolated in tables.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/transport/records.h"
#include "library/transport/tc0.h"

namespace lib {

namespace {

constexpr double f32(float v) { return static_cast<double>(v); }

constexpr std::array<float, 35> kA = {0.0505f, 0.0568f, 0.0632f, 0.0695f, 0.0763f, 0.0829f, 0.0896f,
                                      0.0962f, 0.1026f, 0.1092f, 0.1157f, 0.122f,  0.1282f, 0.1342f,
                                      0.1401f, 0.1458f, 0.1514f, 0.1569f, 0.1622f, 0.1674f, 0.1725f,
                                      0.1774f, 0.1823f, 0.187f,  0.1917f, 0.1962f, 0.2012f, 0.2061f,
                                      0.211f,  0.2158f, 0.2203f, 0.225f,  0.2295f, 0.234f,  0.238f};
constexpr std::array<float, 35> kB = {0.0529f, 0.0617f, 0.0714f, 0.0816f, 0.0924f, 0.1028f, 0.1125f,
                                      0.1213f, 0.1294f, 0.1365f, 0.1427f, 0.1482f, 0.153f,  0.1574f,
                                      0.1614f, 0.1651f, 0.1687f, 0.1723f, 0.1758f, 0.1793f, 0.1828f,
                                      0.1863f, 0.1899f, 0.1935f, 0.1972f, 0.201f,  0.2048f, 0.2088f,
                                      0.2129f, 0.2169f, 0.2208f, 0.2249f, 0.229f,  0.233f,  0.237f};

double c(int icomp, int k) { return WCFTCX[icomp][static_cast<std::size_t>(k - 1)][0]; }

double dilt(int icomp, double T) {
    double s = 0.0;
    for (int k = 1; k <= 9; ++k) s += c(icomp, k) * std::pow(T, (k - 4) / 3.0);
    return 100.0 * s;
}

double rcrit(double D, double T) {
    const double e = 0.138 * (D - 15.556 - f32(0.008229f) * std::pow(std::fabs(T - 32.938), 1.5));
    return std::max(0.0, 1000.0 * std::exp(-e * e) * (0.00635363 - 5.863e-5 * T));
}

double rexces(double D, double T) {
    return (1.0664e-08 * T + 3.8611e-05) * (std::exp(2.1 * std::pow(D, 0.36)) - 1.0) +
           0.0015843 * D;
}

double excsh2(int icomp, double D, double T) {
    if (D <= 0.0) return 0.0;
    if (T <= 80.0 && D >= 0.001) {
        const double th = (D - c(icomp, 18)) / c(icomp, 18);
        const double q = th < 1000.0 ? std::pow(D, th) : 0.0;
        const double S = c(icomp, 11) + c(icomp, 12) * q + c(icomp, 13) * std::pow(D, 0.1) +
                         c(icomp, 14) * q / (T * T) +
                         c(icomp, 15) * std::pow(D, 0.1) / std::pow(T, 1.5) + c(icomp, 16) / T +
                         c(icomp, 17) * q / T;
        return S >= 3000.0 ? 0.0 : (std::exp(S) - std::exp(c(icomp, 11) + c(icomp, 16) / T)) / 10.0;
    }
    return rexces(D, T);
}

double crith2(double D, double T) {
    if (!(T > 77.0 && T < 108.35658)) return 0.0;
    const double e = 0.138 * (D - 15.556 + f32(0.008229f) * std::pow(T - 32.938, 1.5));
    return std::exp(-e * e) * (0.00635363 - 5.863e-5 * T);
}

double rtherm(int icomp, double D, double T) {
    double A = 0.0, B = 0.0;
    if (T >= 410.0) {
        A = 0.238 + 0.00045 * (T - 410.0);
        B = 0.237 + 0.0004 * (T - 410.0);
    } else {
        const int i = std::clamp(static_cast<int>((T - 70.0) / 10.0), 0, 33);
        const double w = (T - (70.0 + 10.0 * i)) / 10.0;
        A = f32(kA[static_cast<std::size_t>(i)]) +
            w * (f32(kA[static_cast<std::size_t>(i + 1)]) - f32(kA[static_cast<std::size_t>(i)]));
        B = f32(kB[static_cast<std::size_t>(i)]) +
            w * (f32(kB[static_cast<std::size_t>(i + 1)]) - f32(kB[static_cast<std::size_t>(i)]));
    }
    const double f = c(icomp, 10);
    return A * (0.9715160001069307 + f32(7.0588e-5f) * T) + (B - A) / 0.75 * (f - 0.25) +
           0.001584312604 * D +
           (1.066433014e-7 * T + 3.861103193e-5) *
               (std::exp(f32(2.1f) * std::pow(D, 0.36000001430511475)) - 1.0) +
           crith2(D, T);
}

// The density the correlation is evaluated at: D, or the liquid density at
// pcap when the pressure at (T, D) reaches pcap.
double capped(int icomp, double T, double D, double pcap) {
    double x[20] = {};
    if (icomp >= 1 && icomp <= 20) x[icomp - 1] = 1.0;
    double P = 0.0;
    PRESS(T, D, x, P);
    if (P < pcap) return D;
    double Dl = D;
    int ierr = 0;
    std::string herr;
    TPRHO(T, pcap, x, kLiquid, kStartValue, Dl, ierr, herr);
    return ierr == 0 ? Dl : D;
}

double thermx(double lambda, double D, double Dused) {
    return D > 0.0 ? lambda * std::exp(0.041758537 * (D - Dused)) : lambda;
}

}  // namespace

double TCXH2(int icomp, double T, double D) {
    double low = 0.0, high = 0.0;
    if (T <= 90.0) {
        const double Du = capped(icomp, T, D, 12000.0);
        low = thermx(dilt(icomp, T) + 1000.0 * excsh2(icomp, Du, T) + rcrit(Du, T), D, Du);
        if (T < 70.0) return low / 1000.0;
    }
    const double Du = capped(icomp, T, D, 60000.0);
    high = thermx(rtherm(icomp, Du, T), D, Du);
    if (T > 90.0) return high;
    const double w = (T - 70.0) / 20.0;
    return (1.0 - w) * low / 1000.0 + w * high;
}

}  // namespace lib
