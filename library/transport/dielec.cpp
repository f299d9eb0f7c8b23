// Static dielectric constant: SETDE (the "#DE" block), DEK (one component:
// "DE1" to "DE4") and DIELEC (the current fluid, or a mixture by volume
// fractions of the components' Kirkwood functions).
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/transport/blockreader.h"
#include "library/transport/loaders.h"
#include "library/transport/records.h"

namespace lib {

namespace {

constexpr int kUnknownModel = 99;
constexpr int kNoValue = 45;
constexpr double kZeroDensity = 1e-12;  // mol/L: below it the vacuum value 1
constexpr double kExponentTolerance = 1e-20;

// Constants of the water formulation: Avogadro's number per kmol (molecules
// per m3 at 1 mol/L), the dipole moment squared (C2 m2), eps0 k (F J/(m K)),
// the polarizability (C2 m2/J) and 3 eps0 (F/m).
constexpr double kMoleculesPerM3 = 6.0221366999999994e26;
constexpr double kDipoleSquared = 3.7675044000000003e-59;
constexpr double kEps0TimesK = 1.2224605243043588e-34;
constexpr double kPolarizability = 1.636e-40;
constexpr double kThreeEps0 = 2.6562563451e-11;

void report(int n, std::string_view text, double& de, int& ierr, std::string& herr) {
    de = kMarker9;
    fail(n, "DE", text, ierr, herr);
}

void unknown_model(const Code& code, double& de, int& ierr, std::string& herr) {
    const bool none = code.c[0] == ' ' || code.c[0] == '\0' || code.is("NUL") || code.is("QVB");
    report(kUnknownModel,
           "unknown dielectric constant model:  (" + (none ? std::string("NUL") : code.str()) +
               ")" + (none ? "; the fluid text has no dielectric-constant correlation" : ""),
           de, ierr, herr);
}

double power(double base, double e) { return e == 0.0 ? 1.0 : std::pow(base, e); }

// Range [first, last) of the terms of group g (0, 1, 2).
void group(int k, int g, int& first, int& last) {
    first = 0;
    for (int j = 0; j < g; ++j) first += WCFDE.n[k][static_cast<std::size_t>(j)];
    last = first + WCFDE.n[k][static_cast<std::size_t>(g)];
}

const std::array<double, 4>& term(int k, int i) {
    return WCFDE.term[k][static_cast<std::size_t>(i)];
}

// Sum of c base^t delta^d pi^p over group g; a group-2 or group-3 base
// takes t = 0 and t = 1 exactly.
double group_sum(int k, int g, double base, double delta, double pi) {
    int first = 0, last = 0;
    group(k, g, first, last);
    double s = 0.0;
    for (int i = first; i < last; ++i) {
        const auto& c = term(k, i);
        double b = 1.0;
        if (std::fabs(c[1] - 1.0) < kExponentTolerance)
            b = base;
        else if (std::fabs(c[1]) >= kExponentTolerance)
            b = std::pow(base, c[1]);
        s += c[0] * b * power(delta, c[2]) * power(pi, c[3]);
    }
    return s;
}

// Pressure of slot k at (T, D), kPa.
double slot_pressure(int k, double T, double D) {
    const double tau = ZRED.tred[k] / T, del = D / ZRED.dred[k];
    return D * CCON.rgas[k] * T * (1.0 + PHIK(k, 0, 1, tau, del));
}

// "DE1": Clausius-Mossotti with a pressure factor and a ln(1/tau + 1) group.
bool de1(int k, double T, double D, double& de) {
    const double tau = T / WCFDE.tred[k], delta = D / WCFDE.dred[k];
    const double pi = slot_pressure(k, T, D) / 1000.0 / WCFDE.pred[k];
    if (!(pi >= 0.0)) return false;
    const double A = group_sum(k, 0, tau, delta, pi) +
                     std::log(1.0 / tau + 1.0) * group_sum(k, 1, tau, delta, pi);
    de = (1.0 + 2.0 * A) / (1.0 - A);
    return A < 1.0;
}

// "DE2": the international formulation for water and steam.
bool de2(int k, double T, double D, double& de) {
    const double delta = D / WCFDE.dred[k];
    double g = 1.0;
    int first = 0, last = 0;
    group(k, 0, first, last);
    for (int i = first; i < last; ++i) {
        const auto& c = term(k, i);
        g += c[0] * power(WCFDE.tred[k] / T, c[1]) * power(delta, c[2]);
    }
    group(k, 1, first, last);
    for (int i = first; i < last; ++i) {
        const auto& c = term(k, i);
        const double base = T / c[1] - 1.0;  // the t field holds a temperature
        if (!(base > 0.0)) return false;
        g += c[0] * power(delta, c[2]) * std::pow(base, -c[3]);
    }
    const double N = D * kMoleculesPerM3;
    const double A = g * N * kDipoleSquared / (T * kEps0TimesK);
    const double B = N * kPolarizability / kThreeEps0;
    de = (1.0 + A + 5.0 * B +
          std::sqrt(9.0 + 2.0 * A + 18.0 * B + A * A + 10.0 * A * B + 9.0 * B * B)) /
         (4.0 - 4.0 * B);
    return B < 1.0;
}

// "DE3" (Clausius-Mossotti) and "DE4" (Kirkwood).
bool de34(int k, double T, double D, bool kirkwood, double& de) {
    const double tau = T / WCFDE.tred[k], delta = D / WCFDE.dred[k];
    const double A = group_sum(k, 0, tau, delta, 1.0) + group_sum(k, 1, tau - 1.0, delta, 1.0) +
                     group_sum(k, 2, 1.0 / tau - 1.0, delta, 1.0);
    if (kirkwood) {
        de = (1.0 + 9.0 * A + 3.0 * std::sqrt(9.0 * A * A + 2.0 * A + 1.0)) / 4.0;
        return true;
    }
    de = (1.0 + 2.0 * A) / (1.0 - A);
    return A < 1.0;
}

// The Kirkwood function (eps - 1)(2 eps + 1)/(9 eps) and its inverse.
double kirkwood(double de) { return (de - 1.0) * (2.0 * de + 1.0) / (9.0 * de); }
double from_kirkwood(double S) {
    return (1.0 + 9.0 * S + 3.0 * std::sqrt(9.0 * S * S + 2.0 * S + 1.0)) / 4.0;
}

void mixture(double T, double D, const double x[20], double& de, int& ierr, std::string& herr) {
    const Code& rule = DEMOD.mix;
    if (!rule.is("DEX") && !rule.is("DEM")) return unknown_model(rule, de, ierr, herr);
    const int nc = NCOMP.nc;
    double V = 0.0;
    for (int i = 1; i <= nc; ++i)
        if (x[i - 1] > 0.0) V += x[i - 1] / ZRED.dred[i];
    if (!(V > 0.0) || !std::isfinite(V))
        return report(1, "no reducing densities of the components", de, ierr, herr);
    double S = 0.0;
    for (int i = 1; i <= nc; ++i) {
        if (!(x[i - 1] > 0.0)) continue;
        double di = 0.0;
        DEK(i, T, D * V * ZRED.dred[i], di, ierr, herr);
        if (ierr > 0) return void(de = kMarker9);
        S += x[i - 1] / ZRED.dred[i] / V * kirkwood(di);
    }
    de = from_kirkwood(S);
}

}  // namespace

void SETDE(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) return illegal_text("SETDE", nread, hcas, ierr, herr);
    BlockReader rd(nread, "SETDE");
    double lim[2] = {}, red[3] = {};
    std::string_view skipped;
    int n[6] = {};
    rd.number(lim[0], "lower temperature limit");
    rd.number(lim[1], "upper temperature limit");
    rd.line(skipped, "upper pressure limit");
    rd.line(skipped, "maximum density");
    rd.numbers(red, 3, "reducing temperature, density and pressure");
    rd.ints(n, 6, "term counts");
    if (rd.ok() && (n[0] < 0 || n[1] < 0 || n[2] < 0 || n[0] + n[1] + n[2] > kDeTerms))
        rd.fail("term counts of the three groups outside 0..15 in all");
    if (rd.ok() && !(red[0] > 0.0 && red[1] > 0.0))
        rd.fail("reducing temperature and density must be positive");
    std::array<std::array<double, 4>, kDeTerms> terms{};
    for (int i = 0; rd.ok() && i < n[0] + n[1] + n[2]; ++i)
        rd.numbers(terms[static_cast<std::size_t>(i)].data(), 4, "dielectric term");
    rd.result(ierr, herr);
    if (ierr != 0) return;
    WCFDE.tmin[k] = lim[0];
    WCFDE.tmax[k] = lim[1];
    WCFDE.tred[k] = red[0];
    WCFDE.dred[k] = red[1];
    WCFDE.pred[k] = red[2];
    for (int j = 0; j < 6; ++j) WCFDE.n[k][static_cast<std::size_t>(j)] = j < 3 ? n[j] : 0;
    WCFDE.term[k] = terms;
}

void DEK(int icomp, double T, double D, double& de, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    de = 0.0;
    if (icomp < kMinSlot || icomp > kMaxSlot || !(T > 0.0) || !(D >= 0.0) || !std::isfinite(T) ||
        !std::isfinite(D))
        return report(
            1,
            "inputs out of range: T =" + fmt_g(T, 12, 5) + " K, D =" + fmt_g(D, 12, 5) + " mol/L",
            de, ierr, herr);
    if (D < kZeroDensity) return void(de = 1.0);
    const Code& code = DEMOD.slot[icomp];
    bool ok = false;
    if (code.is("DE1"))
        ok = de1(icomp, T, D, de);
    else if (code.is("DE2"))
        ok = de2(icomp, T, D, de);
    else if (code.is("DE3") || code.is("DE4"))
        ok = de34(icomp, T, D, code.is("DE4"), de);
    else
        return unknown_model(code, de, ierr, herr);
    if (!ok || !std::isfinite(de) || !(de > 0.0))
        report(kNoValue,
               "no physical value of the " + code.str() + " model at T =" + fmt_g(T, 12, 5) +
                   " K, D =" + fmt_g(D, 12, 5) + " mol/L",
               de, ierr, herr);
}

void DIELEC(double T, double D, const double x[20], double& de, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    const int ic = ISPURE(x);
    if (ic != 0) return DEK(ic, T, D, de, ierr, herr);
    mixture(T, D, x, de, ierr, herr);
}

}  // namespace lib
