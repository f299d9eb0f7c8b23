// Ethylene's dilute-gas transport parts (see ethylene.h).
#include "library/transport/ethylene.h"

#include <array>
#include <cmath>

#include "library/transport/omega.h"

namespace lib::ethylene {

namespace {

using Series = std::array<double, 9>;

// Coefficients of T^((i - 4)/3), i = 1..9.
constexpr Series kViscosity = {-3509822.5018, 2500840.6184,  -583655.40744,
                               4554.9146583,  22881.683403,  -4731.8682077,
                               450.22249258,  -21.490688088, 0.41649263233};
constexpr Series kConductivity = {-290342.3528,  468062.4952,   -189547.83215,
                                  -4826.2235392, 22434.09372,   -6620.6354818,
                                  899.37717078,  -60.559143718, 1.6370306422};

constexpr double kEpsk = 282.35 / 1.2593;      // K
constexpr double kHalfCritical = 0.221 / 2.0;  // g/cm3, the correlations' rhoc / 2
// The interval searched for the junction, K, and its tolerance.
constexpr double kSearchLow = 115.0, kSearchHigh = 260.0, kTolerance = 1e-9;

double series(const Series& g, double T) {
    const double c = std::cbrt(T);
    double sum = 0.0, power = 1.0 / T;  // T^(-1)
    for (double gi : g) {
        sum += gi * power;
        power *= c;
    }
    return sum;
}

double shape(double T) { return std::sqrt(T) / OMEGAS(2, 2, T / kEpsk); }

// Where series / shape is largest: a golden-section search (the ratio has a
// single maximum in the interval).
double junction(const Series& g) {
    const double r = 0.5 * (std::sqrt(5.0) - 1.0);
    double a = kSearchLow, b = kSearchHigh;
    auto ratio = [&](double T) { return series(g, T) / shape(T); };
    double c = b - r * (b - a), d = a + r * (b - a);
    double fc = ratio(c), fd = ratio(d);
    while (b - a > kTolerance * b) {
        if (fc > fd) {
            b = d, d = c, fd = fc;
            c = b - r * (b - a), fc = ratio(c);
        } else {
            a = c, c = d, fc = fd;
            d = a + r * (b - a), fd = ratio(d);
        }
    }
    return 0.5 * (a + b);
}

double continued(const Series& g, double tj, double T) {
    if (T >= tj) return series(g, T);
    return series(g, tj) * shape(T) / shape(tj);
}

double first_term(const Series& g, double tj, double T, double rho) {
    const double s = series(g, T);
    if (T >= tj) return s;
    const double r = rho / kHalfCritical;
    return s + (continued(g, tj, T) - s) * std::exp(-r * r);
}

}  // namespace

double viscosity_junction() {
    static const double tj = junction(kViscosity);
    return tj;
}

double conductivity_junction() {
    static const double tj = junction(kConductivity);
    return tj;
}

double viscosity_series(double T) { return series(kViscosity, T); }
double conductivity_series(double T) { return series(kConductivity, T); }

double dilute_viscosity(double T) { return continued(kViscosity, viscosity_junction(), T); }

double dilute_conductivity(double T) {
    return continued(kConductivity, conductivity_junction(), T);
}

double viscosity_first_term(double T, double rho) {
    return first_term(kViscosity, viscosity_junction(), T, rho);
}

double conductivity_first_term(double T, double rho) {
    return first_term(kConductivity, conductivity_junction(), T, rho);
}

}  // namespace lib::ethylene
