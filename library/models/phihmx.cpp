// PHIHMX and PHIMIX: the residual Helmholtz energy of the multi-fluid
// mixture model and the departure functions of its binary pairs, with a
// cache of the term values per departure model.
#include <array>
#include <cmath>

#include "library/models/fracderiv.h"
#include "library/models/hmx.h"
#include "library/models/hmxprep.h"
#include "library/models/phik.h"
#include "library/setup/modelgen.h"
#include "library/setup/records.h"

namespace lib {

namespace {

constexpr double kPresent = kHmxPresent;  // fractions above it take part
constexpr int kTr1Terms = 14;             // terms of the ammonia + water function

int order_index(int itau, int idel) { return itau + 4 * idel; }

// delta^l for the exponent l of an ordinary term (mostly a small integer).
double delta_power(double del, double l) {
    const double r = std::round(l);
    if (r == l && r >= 1.0 && r <= 8.0) {
        double p = del;
        for (int k = 1; k < static_cast<int>(r); ++k) p *= del;
        return p;
    }
    return std::pow(del, l);
}

// tau^itau d^itau/dtau^itau of tau^t, divided by tau^t.
double tau_factor(double t, int itau) {
    switch (itau) {
        case 0: return 1.0;
        case 1: return t;
        case 2: return t * (t - 1.0);
        default: return t * (t - 1.0) * (t - 2.0);
    }
}

// Reduced delta factors of an ordinary term n tau^t delta^d exp(-delta^l).
void ordinary_factors(double d, double l, double E, double f[3]) {
    const double L = l * E;
    f[0] = d - L;
    f[1] = d * (d - 1.0) - L * (2.0 * d + l - 1.0 - L);
    f[2] = d * (d - 1.0) * (d - 2.0) +
           L * (-2.0 + 6.0 * d - 3.0 * d * d - 3.0 * d * l + 3.0 * l - l * l) +
           3.0 * L * L * (d + l - 1.0) - L * L * L;
}

// Reduced factors y^o (d^o g / dy^o) / g, o = 1..3, of the bell
// g(y) = y^d exp(-eta (y - eps)^2 - beta (y - gamma)): the delta part of a
// Gaussian-bell term, and with beta = 0 (d, eta, eps the term's t, beta,
// gamma) the tau part of a term Gaussian in tau.
void bell_factors(double y, double d, double eta, double eps, double beta, double f[3]) {
    const double D = d - 2.0 * eta * y * (y - eps) - beta * y;  // y times d ln g / dy
    const double g2 = -d - 2.0 * eta * y * y;  // y^2 times the second derivative of ln g
    f[0] = D;
    f[1] = D * D + g2;
    f[2] = D * D * D + 3.0 * D * g2 + 2.0 * d;  // y^3 times the third derivative of ln g: 2 d
}

// Exponent and reduced delta and tau factors of term k of model M at
// (tau, del); the tau factors of a term whose tau part is tau^t alone are
// constants.
double term_factors(const HmxModel& M, int k, double tau, double del, double f[3], double ft[3]) {
    const auto& c = M.c[static_cast<std::size_t>(k)];
    for (int o = 0; o < 3; ++o) ft[o] = tau_factor(c[1], o + 1);
    if (k < M.nterm) {
        const double a = std::fabs(c[3]) > 1.0e-20 ? delta_power(del, c[3]) : 0.0;
        ordinary_factors(c[2], c[3], a, f);
        return a;
    }
    if (M.bell_form == kBellInTau) {
        bell_factors(del, c[2], c[3], c[4], 0.0, f);
        bell_factors(tau, c[1], c[5], c[6], 0.0, ft);
        return c[3] * (del - c[4]) * (del - c[4]) + c[5] * (tau - c[6]) * (tau - c[6]);
    }
    bell_factors(del, c[2], c[3], c[4], c[5], f);
    return c[3] * (del - c[4]) * (del - c[4]) + c[5] * (del - c[6]);
}

// Refreshes the term values of model m at (tau, del).
void refresh(int m, double tau, double del) {
    const HmxModel& M = MXINFO.terms[static_cast<std::size_t>(m)];
    auto& term = HMXSAV.term[static_cast<std::size_t>(m)];
    auto& arg = HMXSAV.arg[static_cast<std::size_t>(m)];
    auto& dfac = MXTRMS.dfac[static_cast<std::size_t>(m)];
    auto& tfac = MXTRMS.tfac[static_cast<std::size_t>(m)];
    const double lt = std::log(tau), ld = std::log(del);
    const int n = std::min(M.nterm + M.nbell, kHmxTerms);
    for (int k = 0; k < n; ++k) {
        const auto& c = M.c[static_cast<std::size_t>(k)];
        double f[3], ft[3];
        const double a = term_factors(M, k, tau, del, f, ft);
        const auto q = static_cast<std::size_t>(k);
        arg[q] = a;
        term[q] = c[0] * std::exp(c[2] * ld + c[1] * lt - a);
        for (int o = 0; o < 3; ++o) {
            dfac[static_cast<std::size_t>(o)][q] = f[o];
            tfac[static_cast<std::size_t>(o)][q] = ft[o];
        }
    }
    HMXSAV.tau[static_cast<std::size_t>(m)] = tau;
    HMXSAV.del[static_cast<std::size_t>(m)] = del;
    HMXSAV.valid[static_cast<std::size_t>(m)].fill('0');
}

// The sum of order o of model m at the state before the stored one, when
// that state is (tau, del) and the sum was found there; else null.
const double* previous_sum(std::size_t m, int o, double tau, double del) {
    const auto& S = HMXSAV;
    if (!(tau == S.prev_tau[m] && del == S.prev_del[m])) return nullptr;
    if (S.prev_valid[m][static_cast<std::size_t>(o)] != '1') return nullptr;
    return &S.prev_sum[m][static_cast<std::size_t>(o)];
}

// The stored state of model m and its sums become the state before the next.
void keep_as_previous(std::size_t m) {
    auto& S = HMXSAV;
    S.prev_tau[m] = S.tau[m];
    S.prev_del[m] = S.del[m];
    S.prev_sum[m] = S.sum[m];
    S.prev_valid[m] = S.valid[m];
}

// The term sum of model m for the order (itau, idel), from the cache.
double model_sum(int m, int itau, int idel, double tau, double del) {
    const auto q = static_cast<std::size_t>(m);
    const int o = order_index(itau, idel);
    if (!(tau == HMXSAV.tau[q] && del == HMXSAV.del[q])) {
        if (const double* kept = previous_sum(q, o, tau, del)) return *kept;
        keep_as_previous(q);
        refresh(m, tau, del);
    }
    auto& valid = HMXSAV.valid[q][static_cast<std::size_t>(o)];
    double& sum = HMXSAV.sum[q][static_cast<std::size_t>(o)];
    if (valid == '1') return sum;
    const HmxModel& M = MXINFO.terms[q];
    const int n = std::min(M.nterm + M.nbell, kHmxTerms);
    double s = 0.0;
    for (int k = 0; k < n; ++k) {
        const auto kk = static_cast<std::size_t>(k);
        double v = HMXSAV.term[q][kk];
        if (itau > 0) v *= MXTRMS.tfac[q][static_cast<std::size_t>(itau - 1)][kk];
        if (idel > 0) v *= MXTRMS.dfac[q][static_cast<std::size_t>(idel - 1)][kk];
        s += v;
    }
    sum = s;
    valid = '1';
    return s;
}

// Term k of the ammonia + water function for (itau, idel), without its
// fraction factor; lt and ld the logarithms of tau and del.
double tr1_term(const HmxModel& M, int k, int itau, int idel, double lt, double ld, double del) {
    const auto& c = M.c[static_cast<std::size_t>(k)];
    const double l = std::round(c[3]);
    const double E = l >= 1.0 ? delta_power(del, l) : 0.0;
    double f[3];
    ordinary_factors(c[2], l >= 1.0 ? l : 0.0, E, f);
    double v = c[0] * std::exp(c[2] * ld + c[1] * lt - E);
    if (itau > 0) v *= tau_factor(c[1], itau);
    if (idel > 0) v *= f[idel - 1];
    return v;
}

// The ammonia + water departure function (not cached).
double tr1(int i, int j, int itau, int idel, double tau, double del, const double x[20]) {
    const int a = FLAGS2.ammonia_water;
    if (a < 1 || a > NCOMP.nc) return 0.0;
    const int m = CFIHMX.model(i, j);
    if (m < 1 || m > kHmxModels) return 0.0;
    const HmxModel& M = MXINFO.terms[static_cast<std::size_t>(m)];
    const double xa = x[a - 1];
    const double lt = std::log(tau), ld = std::log(del);
    const int n = std::min(M.nterm, kTr1Terms);
    double s = 0.0;
    for (int k = 0; k < n; ++k) {
        double v = tr1_term(M, k, itau, idel, lt, ld, del);
        if (k >= 6) v *= xa;
        if (k >= 13) v *= xa;
        s += v;
    }
    return xa * (1.0 - std::pow(xa, CFXHMX.p(i, j)[4])) * s;
}

// The three partial sums of the ammonia + water function for (itau, idel):
// terms 1..6, 7..13 and 14, without their fraction factors.
std::array<double, 3> tr1_sums(const HmxModel& M, int itau, int idel, double tau, double del) {
    const double lt = std::log(tau), ld = std::log(del);
    const int n = std::min(M.nterm, kTr1Terms);
    std::array<double, 3> s{};
    for (int k = 0; k < n; ++k)
        s[k < 6 ? 0 : (k < 13 ? 1 : 2)] += tr1_term(M, k, itau, idel, lt, ld, del);
    return s;
}

// d^o/dxa^o of xa^(p+1) (1 - xa^g), o = 1 or 2.
double tr1_weight(int p, double g, int o, double xa) {
    const double e = p + 1.0;
    if (o == 1) return e * std::pow(xa, p) - (e + g) * std::pow(xa, p + g);
    const double lead = p > 0 ? e * p * std::pow(xa, p - 1) : 0.0;
    return lead - (e + g) * (p + g) * std::pow(xa, p + g - 1.0);
}

}  // namespace

void tr1_fraction_derivatives(double tau, double del, const double x[20], bool second,
                              FractionDerivatives& f) {
    const HmxPrepared& P = HMXPREP;
    const int a = FLAGS2.ammonia_water;
    if (a < 1 || a > NCOMP.nc || a > kMaxComp) return;
    const double xa = x[a - 1];
    if (!(xa > 0.0) || !(del > 1.0e-10) || !(tau > 0.0) || !std::isfinite(tau) ||
        !std::isfinite(del))
        return;
    const auto ia = static_cast<std::size_t>(a - 1);
    for (int n = 0; n < P.ndep; ++n) {
        const HmxDeparture& d = P.dep[static_cast<std::size_t>(n)];
        if (!d.tr1 || !(x[d.i - 1] > 0.0) || !(x[d.j - 1] > 0.0)) continue;
        const int m = CFIHMX.model(d.i, d.j);
        if (m < 1 || m > kHmxModels) continue;
        const HmxModel& M = MXINFO.terms[static_cast<std::size_t>(m)];
        const double g = CFXHMX.p(d.i, d.j)[4];
        struct Order {
            double* out;
            int itau, idel, o;
        };
        const Order orders[] = {{&f.ax[ia], 0, 0, 1},
                                {&f.axd[ia], 0, 1, 1},
                                {&f.axt[ia], 1, 0, 1},
                                {&f.axx[ia][ia], 0, 0, 2}};
        for (const Order& o : orders) {
            if (o.o == 2 && !second) continue;
            const std::array<double, 3> s = tr1_sums(M, o.itau, o.idel, tau, del);
            for (int p = 0; p < 3; ++p)
                *o.out += tr1_weight(p, g, o.o, xa) * s[static_cast<std::size_t>(p)];
        }
    }
}

void hmx_forget_model(int number) {
    if (number < 0 || number > kHmxModels) return;
    const auto q = static_cast<std::size_t>(number);
    HMXSAV.tau[q] = -1.0;
    HMXSAV.del[q] = -1.0;
    HMXSAV.valid[q].fill('0');
    HMXSAV.prev_tau[q] = -1.0;
    HMXSAV.prev_del[q] = -1.0;
    HMXSAV.prev_valid[q].fill('0');
}

void hmx_forget_all() {
    models_changed();
    for (int m = 0; m <= kHmxModels; ++m) hmx_forget_model(m);
}

double PHIMIX(int i, int j, int itau, int idel, double tau, double del, const double x[20]) {
    if (del <= 1.0e-10 || !(tau > 0.0) || !std::isfinite(tau) || !std::isfinite(del)) return 0.0;
    if (i == j || i < 1 || j < 1 || i > kMaxComp || j > kMaxComp) return 0.0;
    if (itau < 0 || itau > 3 || idel < 0 || idel > 3) return 0.0;
    if (MIXMOD.code(i, j).is("TR1")) return tr1(i, j, itau, idel, tau, del, x);
    return x[i - 1] * x[j - 1] * hmx_pair_term(i, j, itau, idel, tau, del);
}

double hmx_pair_term(int i, int j, int itau, int idel, double tau, double del) {
    if (del <= 1.0e-10 || !(tau > 0.0) || !std::isfinite(tau) || !std::isfinite(del)) return 0.0;
    if (i == j || i < 1 || j < 1 || i > kMaxComp || j > kMaxComp) return 0.0;
    if (itau < 0 || itau > 3 || idel < 0 || idel > 3) return 0.0;
    const Code& code = MIXMOD.code(i, j);
    double F = 0.0;
    if (code.starts("KW"))
        F = CFXHMX.p(i, j)[4];
    else if (code.starts("LJ") || code.starts("LM"))
        F = CFXHMX.p(i, j)[2];
    const int m = CFIHMX.model(i, j);
    if (F == 0.0 || m < 1 || m > kHmxModels) return 0.0;
    return F * model_sum(m, itau, idel, tau, del);
}

double hmx_departure_term(const HmxDeparture& d, int itau, int idel, double tau, double del) {
    if (del <= 1.0e-10 || !(tau > 0.0) || !std::isfinite(tau) || !std::isfinite(del)) return 0.0;
    if (itau < 0 || itau > 3 || idel < 0 || idel > 3) return 0.0;
    if (d.tr1 || d.F == 0.0 || d.model < 1 || d.model > kHmxModels) return 0.0;
    return d.F * model_sum(d.model, itau, idel, tau, del);
}

double hmx_model_sum(const HmxDeparture& d, int itau, int idel, double tau, double del) {
    return model_sum(d.model, itau, idel, tau, del);
}

double PHIHMX(int itau, int idel, double tau, double del, const double x[20]) {
    if (del <= 1.0e-10) return 0.0;
    const HmxPrepared& P = HMXPREP;
    double s = 0.0;
    for (int i = 1; i <= P.nc; ++i)
        if (x[i - 1] > kPresent) s += x[i - 1] * PHIK(i, itau, idel, tau, del);
    if (!(tau > 0.0) || !std::isfinite(tau) || !std::isfinite(del) || itau < 0 || itau > 3 ||
        idel < 0 || idel > 3)
        return s;
    for (int n = 0; n < P.ndep; ++n) {
        const HmxDeparture& d = P.dep[static_cast<std::size_t>(n)];
        const double xi = x[d.i - 1], xj = x[d.j - 1];
        if (!(xi > kPresent && xj > kPresent)) continue;
        s += d.tr1 ? tr1(d.i, d.j, itau, idel, tau, del, x)
                   : xi * xj * d.F * model_sum(d.model, itau, idel, tau, del);
    }
    return s;
}

}  // namespace lib
