// Ideal-gas Helmholtz model.
//
//   alpha0 = ln delta + sum_L a ln(tau^t) + sum_P a tau^t + sum_E a ln|1 - e^(t tau)|
//            + sum_C a ln cosh(t tau) + sum_S a ln|sinh(t tau)|
//
// The logarithms of the hyperbolic functions and the Planck-Einstein factors
// are written so that they stay finite and exact for any argument.
#include "library/models/ph0.h"

#include <cmath>

#include "library/library.h"
#include "library/models/hyperlog.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace lib {

namespace {

constexpr double kPhgFactor = 1.0000045703443345;  // 8.31451 / 8.314472

// 1 / cosh^2 and 1 / sinh^2 without overflow.
double sech2(double y) {
    const double a = std::fabs(y);
    if (a > 300.0) return 4.0 * std::exp(-2.0 * a);
    const double c = std::cosh(a);
    return 1.0 / (c * c);
}
double csch2(double y) {
    const double a = std::fabs(y);
    if (a > 300.0) return 4.0 * std::exp(-2.0 * a);
    const double s = std::sinh(a);
    return 1.0 / (s * s);
}

// The three cached orders (0,0), (1,0), (2,0) at (T, D); (0,0) only when D > 0.
void ph0_sums(int ic, double T, double D, double out[3]) {
    const auto& n = WNTPH0.n[ic];
    const auto& c = WCFPH0.c[ic];
    const double tau = ZRED.tred[ic] / T;
    const double lt = std::log(tau);
    double s0 = 0.0, s1 = 0.0, s2 = 0.0;
    int k = 0;
    for (int i = 0; i < n[0]; ++i, ++k) {  // a ln(tau^t)
        const double a = c[k][0], t = c[k][1];
        s0 += a * t * lt;
        s1 += a * t;
        s2 -= a * t;
    }
    for (int i = 0; i < n[1]; ++i, ++k) {  // a tau^t
        const double a = c[k][0], t = c[k][1];
        const double p = t == 0.0 ? 1.0 : std::exp(t * lt);
        s0 += a * p;
        s1 += a * t * p;
        s2 += a * t * (t - 1.0) * p;
    }
    for (int i = 0; i < n[2]; ++i, ++k) {  // a ln|1 - e^x|, x = t tau
        const double a = c[k][0], x = c[k][1] * tau;
        const double em = std::expm1(x);
        if (em == 0.0) continue;
        const double q = 1.0 / std::expm1(-x);  // e^x / (1 - e^x)
        s0 += a * std::log(std::fabs(em));
        s1 -= a * x * q;
        s2 -= a * x * x * q * (1.0 + q);
    }
    for (int i = 0; i < n[3]; ++i, ++k) {  // a ln cosh(x)
        const double a = c[k][0], x = c[k][1] * tau;
        s0 += a * log_cosh(x);
        s1 += a * x * std::tanh(x);
        s2 += a * x * x * sech2(x);
    }
    for (int i = 0; i < n[4]; ++i, ++k) {  // a ln|sinh(x)|
        const double a = c[k][0], x = c[k][1] * tau;
        if (x == 0.0) continue;
        s0 += a * log_abs_sinh(x);
        s1 += a * x / std::tanh(x);
        s2 -= a * x * x * csch2(x);
    }
    out[0] = D > 0.0 ? std::log(D / ZRED.dred[ic]) + s0 : 0.0;
    out[1] = s1;
    out[2] = s2;
}

double ph0_tau3(int ic, double T) {
    const auto& n = WNTPH0.n[ic];
    const auto& c = WCFPH0.c[ic];
    const double tau = ZRED.tred[ic] / T;
    double s = 0.0;
    int k = 0;
    for (int i = 0; i < n[0]; ++i, ++k) s += 2.0 * c[k][0] * c[k][1];
    for (int i = 0; i < n[1]; ++i, ++k) {
        const double a = c[k][0], t = c[k][1];
        s += a * t * (t - 1.0) * (t - 2.0) * std::pow(tau, t);
    }
    for (int i = 0; i < n[2]; ++i, ++k) {
        const double a = c[k][0], x = c[k][1] * tau;
        if (std::expm1(x) == 0.0) continue;
        const double q = 1.0 / std::expm1(-x);
        s -= a * x * x * x * q * (1.0 + q) * (1.0 + 2.0 * q);
    }
    for (int i = 0; i < n[3]; ++i, ++k) {
        const double a = c[k][0], x = c[k][1] * tau;
        s -= 2.0 * a * x * x * x * std::tanh(x) * sech2(x);
    }
    for (int i = 0; i < n[4]; ++i, ++k) {
        const double a = c[k][0], x = c[k][1] * tau;
        if (x == 0.0) continue;
        s += 2.0 * a * x * x * x * csch2(x) / std::tanh(x);
    }
    return s;
}

}  // namespace

void SETPH0(int nread, int icomp, const std::string& /*hcasno*/, int& ierr, std::string& herr) {
    PH0SAV.val.fill({0.0, 0.0, 0.0});
    PH0SAV.t.fill({0.0, 0.0, 0.0});
    PH0SAV.d.fill({0.0, 0.0, 0.0});
    if (nread < 1) {
        // The built-in table of coefficients without a fluid text is empty.
        ierr = 1;
        herr = errtext("SETPH0", "error", "", "Input fluid (block data) not found");
        return;
    }
    ierr = 0;
    herr.clear();
    WNTPH0.n[icomp].fill(0);
    for (auto& term : WCFPH0.c[icomp]) term.fill(0.0);
    bool ok = true;
    double lim[4] = {};
    for (double& v : lim) ok = ok && next_numbers(nread, &v, 1);
    WLMPH0.tmin[icomp] = lim[0];
    WLMPH0.tmax[icomp] = lim[1];
    WLMPH0.pmax[icomp] = lim[2];
    WLMPH0.dmax[icomp] = lim[3];
    std::array<int, 8> n{};
    std::string_view line;
    const int want = VERS[icomp] >= 8.0 ? 8 : 3;
    ok = ok && next_line(nread, line) && read_ints(line, n.data(), want) >= want;
    int total = 0;
    bool negative = false;
    for (int v : n) {
        total += v;
        negative = negative || v < 0;
    }
    if (ok && (negative || total > kPh0Terms)) {
        ierr = 2;
        herr = errtext("SETPH0", 2,
                       "the section has " + std::to_string(total) + " terms; at most " +
                           std::to_string(kPh0Terms) + " can be held");
        return;
    }
    for (int k = 0; k < total && ok; ++k) ok = next_numbers(nread, WCFPH0.c[icomp][k].data(), 2);
    if (!ok) {
        for (auto& term : WCFPH0.c[icomp]) term.fill(0.0);
        ierr = 3;
        herr =
            errtext("SETPH0", 3, "missing or unreadable line in the ideal-gas Helmholtz section");
        return;
    }
    WNTPH0.n[icomp] = n;
}

double PH0PH0(int icomp, int itau, int idel, double T, double D) {
    if (T <= 0) return 0.0;
    double r = 0.0;
    if (itau * idel != 0) {
        r = 0.0;
    } else if (idel == 0 && itau <= 2 && itau >= 0) {
        auto& S = PH0SAV;
        const int o = itau;
        // Only the state the values were formed at: a density 1e-10 mol/L
        // away is another state entirely in a thin gas (ln D in the (0,0)
        // value), and nearby temperatures would make results depend on the
        // calls before.
        if (T == S.t[icomp][o] && (o != 0 || D == S.d[icomp][o])) {
            r = S.val[icomp][o];
        } else {
            // All three orders are formed together and stored with (T, D).
            double v[3];
            ph0_sums(icomp, T, D, v);
            for (int q = 0; q < 3; ++q) {
                if (q == 0 && D <= 0.0) continue;
                S.val[icomp][q] = v[q];
                S.t[icomp][q] = T;
                S.d[icomp][q] = D;
            }
            r = v[o];
        }
    } else if (idel == 0 && itau == 3) {
        r = ph0_tau3(icomp, T);
    } else if (itau == 0 && idel >= 1 && idel <= 3) {
        r = idel == 1 ? 1.0 : idel == 2 ? -1.0 : 2.0;
    } else {
        std::string herr =
            errtext("PH0PH0", "warning", "",
                    "invalid input; itau =" + fmt_int(itau, 4) + "; idel =" + fmt_int(idel, 4));
        ERRMSG(99, herr);
        r = 0.0;
    }
    if (EOSMOD.cp0[icomp].is("PHG")) r *= kPhgFactor;
    return r;
}

}  // namespace lib
