// Ideal-gas heat-capacity model.
//
//   cp0 = Cr * [ sum c (T/Tr)^t + sum c u^2 e^u / (e^u - 1)^2            (u = theta/T)
//               + sum a1 x^a2 cosh(a3 x^a4)^a5 + sum a1 x^a2 sinh(a3 x^a4)^a5 ]   (x = T/Tr)
//
// Hyperbolic and exponential pieces are evaluated through logarithms and
// expm1 so that no argument can overflow.
#include "library/models/cpp.h"

#include <cmath>

#include "library/library.h"
#include "library/models/hyperlog.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace lib {

namespace {

// a1 exp(lnx * a2 + a5 * ln h) with the exponent held below overflow.
double scaled_power(double a1, double expo) { return a1 * std::exp(expo < 700.0 ? expo : 700.0); }

// Hyperbolic heat-capacity term a1 x^a2 f(a3 x^a4)^a5, f = cosh or sinh.
double hyper_term(const std::array<double, 5>& c, double x, bool is_cosh) {
    const double lx = std::log(x);
    const double y = c[2] * std::exp(c[3] * lx);
    if (is_cosh) return scaled_power(c[0], c[1] * lx + c[4] * log_cosh(y));
    if (y == 0.0) return 0.0;
    double sign = 1.0;
    if (y < 0.0) {
        const double r = std::nearbyint(c[4]);
        if (r != c[4]) return 0.0;  // a real power of a negative value is not defined
        if (std::fmod(std::fabs(r), 2.0) == 1.0) sign = -1.0;
    }
    return sign * scaled_power(c[0], c[1] * lx + c[4] * log_abs_sinh(y));
}

// x (d/dx) of the hyperbolic term.
double hyper_dterm(const std::array<double, 5>& c, double x, bool is_cosh) {
    const double v = hyper_term(c, x, is_cosh);
    if (v == 0.0) return 0.0;
    const double y = c[2] * std::pow(x, c[3]);
    const double th = std::tanh(y);
    const double f = is_cosh ? th : 1.0 / th;
    return v * (c[1] + c[2] * c[3] * c[4] * std::pow(x, c[3]) * f);
}

}  // namespace

double cpp_tref(int icomp) { return CREF.tref[icomp] > 0.0 ? CREF.tref[icomp] : 298.15; }
double cpp_dref(int icomp) { return CREF.dref[icomp] > 0.0 ? CREF.dref[icomp] : 1.0; }

void SETCPP(int nread, int icomp, const std::string& /*hcasno*/, int& ierr, std::string& herr) {
    CPPSAV.cp0.fill(0.0);
    CPPSAV.h0.fill(0.0);
    CPPSAV.s0.fill(0.0);
    CPPSAV.t.fill(0.0);
    CPPSAV.tref.fill(0.0);
    for (auto& term : WCPCPP.c[icomp]) term.fill(0.0);
    WNTCPP.n[icomp].fill(0);
    if (nread < 1) {
        ierr = 1;
        herr = errtext("SETCPP", "error", "", "Fluid input not found");
        return;
    }
    ierr = 0;
    herr.clear();
    bool ok = true;
    double lim[4] = {}, red[2] = {};
    for (double& v : lim) ok = ok && next_numbers(nread, &v, 1);
    ok = ok && next_numbers(nread, red, 2);
    WLMCPP.tmin[icomp] = lim[0];
    WLMCPP.tmax[icomp] = lim[1];
    WLMCPP.pmax[icomp] = lim[2];
    WLMCPP.dmax[icomp] = lim[3];
    WRDCPP.tr[icomp] = red[0];
    WRDCPP.cr[icomp] = red[1];
    std::array<int, 7> n{};
    std::string_view line;
    const int want = VERS[icomp] >= 6.099 ? 7 : 2;
    ok = ok && next_line(nread, line) && read_ints(line, n.data(), want) >= want;
    if (!ok) {
        ierr = 3;
        herr = errtext("SETCPP", 3,
                       "missing or unreadable line in the ideal-gas heat capacity section");
        return;
    }
    const int total = n[0] + n[1] + n[2] + n[3];
    if (n[0] < 0 || n[1] < 0 || n[2] < 0 || n[3] < 0 || total > kCppTerms) {
        ierr = 2;
        herr = errtext("SETCPP", 2,
                       "the section has " + std::to_string(total) + " terms; at most " +
                           std::to_string(kCppTerms) + " can be held");
        return;
    }
    for (int k = 0; k < total && ok; ++k) {
        const int cols = k < n[0] + n[1] ? 2 : 5;
        double c[5] = {};
        ok = next_numbers(nread, c, cols);
        for (int q = 0; q < 5; ++q) WCPCPP.c[icomp][k][q] = c[q];
    }
    if (!ok) {
        for (auto& term : WCPCPP.c[icomp]) term.fill(0.0);
        ierr = 3;
        herr = errtext("SETCPP", 3,
                       "missing or unreadable line in the ideal-gas heat capacity section");
        return;
    }
    WNTCPP.n[icomp] = n;
}

namespace {

// Logarithms of x and T, each taken when a term first needs it: the
// polynomial terms of most fluids have small integer exponents, and only
// exponents 0 and -1 integrate to a logarithm.
class LazyLog {
public:
    explicit LazyLog(double v) : v_(v) {}
    double operator()() {
        if (!known_) log_ = std::log(v_), known_ = true;
        return log_;
    }

private:
    double v_, log_ = 0.0;
    bool known_ = false;
};

// x^t; small integer exponents by multiplication.
double xpow(double x, double t, LazyLog& lnx) {
    if (t == 0.0) return 1.0;
    const double r = std::nearbyint(t);
    if (r == t && std::fabs(t) <= 8.0) {
        int n = static_cast<int>(r);
        double b = n < 0 ? 1.0 / x : x, p = 1.0;
        for (n = n < 0 ? -n : n; n > 0; n >>= 1, b *= b)
            if (n & 1) p *= b;
        return p;
    }
    return std::exp(t * lnx());
}

// cp0 and the upper-limit parts of the two integrals at T (all without the
// factor Cr): the integrals are h(T) - h(Tref) and s(T) - s(Tref).
void cpp_sums(int ic, double T, double& cp, double& h, double& s) {
    const auto& n = WNTCPP.n[ic];
    const auto& c = WCPCPP.c[ic];
    const double tr = WRDCPP.tr[ic];
    const double x = T / tr;
    LazyLog lx(x), lt(T);
    cp = h = s = 0.0;
    int k = 0;
    for (int i = 0; i < n[0]; ++i, ++k) {
        const double a = c[k][0], t = c[k][1];
        const double p = xpow(x, t, lx);
        cp += a * p;
        h += std::fabs(1.0 + t) < 1e-6 ? a * tr * lt() : a * tr * x * p / (t + 1.0);
        s += std::fabs(t) < 1e-6 ? a * lt() : a * p / t;
    }
    for (int i = 0; i < n[1]; ++i, ++k) {
        const double a = c[k][0], th = c[k][1], u = th / T;
        const double em = std::expm1(u);
        if (u < 200.0) cp += a * u * u * (em + 1.0) / (em * em);
        h += a * th / em;                                   // c theta / (e^u - 1)
        s += a * (u / em - std::log1p(-1.0 / (em + 1.0)));  // u/(e^u - 1) - ln(1 - e^-u)
    }
    for (int i = 0; i < n[2]; ++i, ++k) {
        const double a1 = c[k][0], a3 = c[k][2], y = a3 / T;
        cp += hyper_term(c[k], x, true);
        h += -(a1 / a3) * std::tanh(y);
        s += -(a1 / a3) * std::tanh(y) / T + (a1 / (a3 * a3)) * log_cosh(y);
    }
    for (int i = 0; i < n[3]; ++i, ++k) {
        const double a1 = c[k][0], a3 = c[k][2], y = a3 / T;
        cp += hyper_term(c[k], x, false);
        h += (a1 / a3) / std::tanh(y);
        s += (a1 / a3) / (T * std::tanh(y)) - (a1 / (a3 * a3)) * log_abs_sinh(y);
    }
}

// The reference-temperature parts, formed once per reference temperature.
void cpp_ref(int ic, double& href, double& sref) {
    auto& C = CPPSAV;
    const double t0 = cpp_tref(ic);
    if (C.tref[ic] != t0) {
        double cp;
        cpp_sums(ic, t0, cp, C.href[ic], C.sref[ic]);
        C.tref[ic] = t0;
    }
    href = C.href[ic];
    sref = C.sref[ic];
}

// cp0 and both integrals at T through the per-slot cache.  The cache holds
// for the temperature it was filled at only: values of a temperature 1e-8 K
// away would move the enthalpy by up to 1e-6 J/mol and make a result depend
// on the calls before it.
void cpp_state(int ic, double T) {
    auto& C = CPPSAV;
    if (T == C.t[ic]) return;
    double cp, h, s, href, sref;
    cpp_sums(ic, T, cp, h, s);
    cpp_ref(ic, href, sref);
    const double cr = WRDCPP.cr[ic];
    C.cp0[ic] = cr * cp;
    C.h0[ic] = cr * (h - href);
    C.s0[ic] = cr * (s - sref);
    C.t[ic] = T;
}

}  // namespace

double CP0CPP(int icomp, double T) {
    if (T <= 0) return 0.0;
    double cp, h, s;
    cpp_sums(icomp, T, cp, h, s);
    return WRDCPP.cr[icomp] * cp;
}

double CPICPP(int icomp, double T) {
    if (T <= 0) return 0.0;
    double cp, h, s, href, sref;
    cpp_sums(icomp, T, cp, h, s);
    cpp_ref(icomp, href, sref);
    return WRDCPP.cr[icomp] * (h - href);
}

double CPTCPP(int icomp, double T) {
    if (T <= 0) return 0.0;
    double cp, h, s, href, sref;
    cpp_sums(icomp, T, cp, h, s);
    cpp_ref(icomp, href, sref);
    return WRDCPP.cr[icomp] * (s - sref);
}

double PH0CPP(int icomp, int itau, int idel, double T, double D) {
    if (T <= 0) return 0.0;
    const auto& C = CPPSAV;
    cpp_state(icomp, T);
    if (itau * idel != 0) return 0.0;
    const double R = GCNST.r;
    const double cp0 = C.cp0[icomp], h0 = C.h0[icomp], s0 = C.s0[icomp];
    if (itau == 0 && idel == 0) {
        if (D <= 0) return 0.0;
        return h0 / (R * T) - s0 / R + std::log(D * T / (cpp_dref(icomp) * cpp_tref(icomp))) - 1.0;
    }
    if (idel == 0) {
        if (itau == 1) return h0 / (R * T) - 1.0;
        if (itau == 2) return 1.0 - cp0 / R;
        if (itau == 3) {
            const auto& n = WNTCPP.n[icomp];
            const auto& c = WCPCPP.c[icomp];
            const double x = T / WRDCPP.tr[icomp];
            double sum = 0.0;
            int k = 0;
            for (int i = 0; i < n[0]; ++i, ++k)
                if (std::fabs(c[k][1]) > 1e-10) sum += c[k][1] * c[k][0] * std::pow(x, c[k][1]);
            for (int i = 0; i < n[1]; ++i, ++k) {
                const double u = c[k][1] / T;
                if (u < 200.0) {
                    const double q = 1.0 / std::expm1(-u);  // e^u / (1 - e^u)
                    sum += -c[k][0] * u * q * (1.0 + q) * (2.0 * u + u * u * (1.0 + 2.0 * q));
                }
            }
            for (int i = 0; i < n[2]; ++i, ++k) sum += hyper_dterm(c[k], x, true);
            for (int i = 0; i < n[3]; ++i, ++k) sum += hyper_dterm(c[k], x, false);
            return 2.0 * (cp0 / R - 1.0) + WRDCPP.cr[icomp] * sum / R;
        }
    }
    if (itau == 0) {
        if (idel == 1) return 1.0;
        if (idel == 2) return -1.0;
        if (idel == 3) return 2.0;
    }
    std::string herr =
        errtext("PH0CPP", "warning", "",
                "invalid input; itau =" + fmt_int(itau, 4) + "; idel =" + fmt_int(idel, 4));
    ERRMSG(99, herr);
    return 0.0;
}

}  // namespace lib
