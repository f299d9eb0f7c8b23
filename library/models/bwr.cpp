// The 32-term modified Benedict-Webb-Rubin equation.  The pressure is
//
//   P = 100 [ sum_{n=1..9} a_n(T) D^n + F sum_{n=10..15} a_n(T) D^(2n-17) ]   kPa,
//
// F = exp(-(D/gamma)^2), and the residual Helmholtz energy is its density
// integral Ar = 100 sum_{n=2..15} a_n(T) G_n(D) (J/mol) with
// G_n = D^(n-1)/(n-1) for the polynomial and the incomplete-gamma integrals
// J_m = int_0^D r^(2m+1) exp(-r^2/gamma^2) dr (m = n - 10) for the
// exponential terms.  Every quantity of this file is a sum over n of a
// temperature function times a density function, each with its own
// derivatives; the reduced derivatives keep the two parts per slot so that a
// change of one variable recomputes one part only.
#include "library/models/bwr.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"

#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace lib {

WcfbwrRecord WCFBWR;

namespace {

// Indices (0-based) into a slot's 42 values.
constexpr int kPc = 32, kDc = 33, kTc = 34, kR = 35, kPtp = 36, kDtp = 37, kTmin = 38, kGamma = 39,
              kTmax = 40, kPmax = 41;
constexpr int kFuncs = 14;  // a_2 .. a_15: the functions that enter Ar

// b_k (k = index + 1) belongs to a_n as b_k T^e.
struct Term {
    int n;
    double e;
};
constexpr Term kTerms[32] = {
    {2, 1},   {2, 0.5}, {2, 0},   {2, -1},  {2, -2},  {3, 1},   {3, 0},   {3, -1},
    {3, -2},  {4, 1},   {4, 0},   {4, -1},  {5, 0},   {6, -1},  {6, -2},  {7, -1},
    {8, -1},  {8, -2},  {9, -2},  {10, -2}, {10, -3}, {11, -2}, {11, -4}, {12, -2},
    {12, -3}, {13, -2}, {13, -4}, {14, -2}, {14, -3}, {15, -2}, {15, -3}, {15, -4},
};

// x^e for the exponents of kTerms (x > 0).
double power(double x, double e) {
    if (e == 0.5) return std::sqrt(x);
    if (e == -0.5) return 1.0 / std::sqrt(x);
    const int k = static_cast<int>(e);
    double r = 1.0, b = k < 0 ? 1.0 / x : x;
    for (int i = 0; i < (k < 0 ? -k : k); ++i) r *= b;
    return r;
}

// Density functions of a_2..a_15 at D: f[n-2][j] = D^j d^jG_n/dD^j, j = 0..3.
void density_part(double gamma, double D, double f[kFuncs][4]) {
    double pw = D;  // D^(n-1)
    for (int n = 2; n <= 9; ++n) {
        const double k = n - 2.0;
        f[n - 2][0] = pw / (n - 1.0);
        f[n - 2][1] = pw;
        f[n - 2][2] = k * pw;
        f[n - 2][3] = k * (k - 1.0) * pw;
        pw *= D;
    }
    const double g = gamma * gamma;
    const double x = D * D / g;
    const double F = std::exp(-x);
    // Regularized lower incomplete gamma P(a, x), a = 1..6.  Below x = 2 the
    // series of P(6, x) and the upward-free recursion P(a) = P(a+1) +
    // F x^a / a! keep every digit; above it the closed form loses none.
    double P[7];
    if (x < 2.0) {
        double term = F;  // F x^6 / 6!
        for (int i = 1; i <= 6; ++i) term *= x / i;
        double sum = 0.0;
        for (int k = 0; k < 60 && term > 1e-18 * sum; ++k) {
            sum += term;
            term *= x / (7.0 + k);
        }
        P[6] = sum;
        double fx = F;  // F x^a / a!
        double fxs[7];
        fxs[0] = F;
        for (int a = 1; a <= 6; ++a) fxs[a] = fx *= x / a;
        for (int a = 5; a >= 1; --a) P[a] = P[a + 1] + fxs[a];
    } else {
        double s = 0.0, t = 1.0;  // sum_{j<a} x^j / j!
        for (int a = 1; a <= 6; ++a) {
            s += t;
            t *= x / a;
            P[a] = 1.0 - F * s;
        }
    }
    double gm = g, fact = 1.0, d2m2 = D * D;  // g^(m+1), m!, D^(2m+2)
    for (int m = 0; m <= 5; ++m) {
        double* r = f[8 + m];
        const double u = 2.0 * m + 1.0 - 2.0 * x;
        r[0] = 0.5 * gm * fact * P[m + 1];
        r[1] = d2m2 * F;
        r[2] = r[1] * u;
        r[3] = r[1] * ((2.0 * m - 2.0 * x) * u - 4.0 * x);
        gm *= g;
        fact *= m + 1.0;
        d2m2 *= D * D;
    }
}

// Temperature functions a_n(T) and their first and second derivatives.
void temperature_part(const std::array<double, kBwrValues>& k, double T, double a[kFuncs][3]) {
    for (int n = 0; n < kFuncs; ++n) a[n][0] = a[n][1] = a[n][2] = 0.0;
    for (int i = 0; i < 32; ++i) {
        const Term& t = kTerms[i];
        const double v = k[static_cast<std::size_t>(i)] * power(T, t.e);
        double* r = a[t.n - 2];
        r[0] += v;
        r[1] += t.e * v / T;
        r[2] += t.e * (t.e - 1.0) * v / (T * T);
    }
}

// sum_n a_n^(i) f_n^(j) in bar (times 100: kPa or J/mol).
double sum(const double a[kFuncs][3], int i, const double f[kFuncs][4], int j) {
    double s = 0.0;
    for (int n = 0; n < kFuncs; ++n) s += a[n][i] * f[n][j];
    return s;
}

struct State {
    double a[kFuncs][3];
    double f[kFuncs][4];
};

State state(int icomp, double T, double D) {
    State s;
    const auto& k = WCFBWR.k[icomp];
    temperature_part(k, T, s.a);
    density_part(k[kGamma], D, s.f);
    return s;
}

// Per-slot cache of the reduced derivatives: the tau part of each function
// (tau^i d^i/dtau^i of a_n(Tr/tau) tau / Tr, i = 0..3) and the density part.
struct Bwrsav {
    Slots<double> tau, del;
    Slots<double> tr;                 // reducing temperature of the coefficients c
    Slots<std::array<double, 32>> c;  // b_k Tr^(e_k - 1)
    Slots<std::array<std::array<double, 4>, kFuncs>> t, d;
};
Bwrsav BWRSAV;

void refresh_tau(int icomp, double tau) {
    const auto& k = WCFBWR.k[icomp];
    const double tr = ZRED.tred[icomp];
    if (BWRSAV.tr[icomp] != tr) {
        // b_k T^(e-1) = (b_k Tr^(e-1)) tau^m with m = 1 - e.
        for (int i = 0; i < 32; ++i)
            BWRSAV.c[icomp][static_cast<std::size_t>(i)] =
                k[static_cast<std::size_t>(i)] * power(tr, kTerms[i].e - 1.0);
        BWRSAV.tr[icomp] = tr;
    }
    // tau^m for m = 1 - e: e = 1, 0.5, 0, -1, -2, -3, -4.
    const double t2 = tau * tau;
    const double pw[7] = {1.0, std::sqrt(tau), tau, t2, t2 * tau, t2 * t2, t2 * t2 * tau};
    auto& t = BWRSAV.t[icomp];
    for (auto& r : t) r.fill(0.0);
    const auto& c = BWRSAV.c[icomp];
    for (int i = 0; i < 32; ++i) {
        const double e = kTerms[i].e, m = 1.0 - e;
        const int slot = e == 1.0 ? 0 : e == 0.5 ? 1 : static_cast<int>(m) + 1;
        const double v = c[static_cast<std::size_t>(i)] * pw[slot];
        auto& r = t[static_cast<std::size_t>(kTerms[i].n - 2)];
        r[0] += v;
        r[1] += m * v;
        r[2] += m * (m - 1.0) * v;
        r[3] += m * (m - 1.0) * (m - 2.0) * v;
    }
    BWRSAV.tau[icomp] = tau;
}

void refresh_del(int icomp, double del) {
    double f[kFuncs][4];
    density_part(WCFBWR.k[icomp][kGamma], del * ZRED.dred[icomp], f);
    auto& d = BWRSAV.d[icomp];
    for (int n = 0; n < kFuncs; ++n)
        for (int j = 0; j < 4; ++j)
            d[static_cast<std::size_t>(n)][static_cast<std::size_t>(j)] = f[n][j];
    BWRSAV.del[icomp] = del;
}

void clear_cache() {
    BWRSAV.tau.fill(0.0);
    BWRSAV.del.fill(0.0);
    BWRSAV.tr.fill(0.0);
}

// The warning of a section whose values disagree, passed to ERRMSG only.
void warn(const std::string& what) {
    int jerr = -104;
    std::string text = errtext("SETUP", 104, "error in specification of BWR model:  " + what);
    text.replace(text.find("error 104"), 9, "warning 104");
    ERRMSG(jerr, text);
}

// An integer right-aligned in three characters.
std::string int3(int v) {
    std::string s = std::to_string(v);
    return s.size() < 3 ? std::string(3 - s.size(), ' ') + s : s;
}

void set_limits(int icomp) {
    const auto& k = WCFBWR.k[icomp];
    EOSLIM.tmin[icomp] = k[kTmin];
    EOSLIM.tmax[icomp] = k[kTmax];
    EOSLIM.pmax[icomp] = k[kPmax];
}

}  // namespace

void SETBWR(int nread, int icomp, const std::string& /*hcas*/, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    clear_cache();
    auto& k = WCFBWR.k[icomp];
    if (nread <= 0) {
        ierr = 1;
        herr = errtext("SETBWR", "error", "", "Fluid input to SETBWR not found");
        set_limits(icomp);
        return;
    }
    bool ok = true;
    auto num = [&](double& x) {
        if (ok && !next_numbers(nread, &x, 1)) ok = false;
        return ok ? x : 0.0;
    };
    std::array<double, kBwrValues> w = k;
    double x = 0.0;
    w[kTmin] = num(x);
    w[kTmax] = num(x);
    w[kPmax] = num(x);
    const double dmax = num(x);
    std::string_view line;
    Code cp0 = EOSMOD.cp0[icomp];
    if (ok && next_line(nread, line))
        cp0 = Code(line.substr(0, 3));
    else
        ok = false;
    const double wm = num(x), ttp = num(x);
    w[kPtp] = num(x);
    w[kDtp] = num(x);
    const double tnbp = num(x), acf = num(x);
    double crit[3] = {}, red[2] = {};
    if (ok && !next_numbers(nread, crit, 3)) ok = false;
    if (ok && !next_numbers(nread, red, 2)) ok = false;
    w[kGamma] = num(x);
    w[kR] = num(x);
    int counts[2] = {};
    if (ok && (!next_line(nread, line) || read_ints(line, counts, 2) < 2)) ok = false;
    int got = 0;
    while (ok && got < 32) {
        double v[3] = {};
        if (!next_line(nread, line)) {
            ok = false;
            break;
        }
        const int n = read_numbers(line, v, std::min(3, 32 - got));
        if (n == 0) ok = false;
        for (int i = 0; i < n; ++i) w[static_cast<std::size_t>(got++)] = v[i];
    }
    if (!ok ||
        !(crit[0] > 0.0 && crit[1] > 0.0 && crit[2] > 0.0 && w[kR] > 0.0 && w[kGamma] > 0.0)) {
        ierr = 3;
        herr = errtext("SETBWR", 3, "missing, unreadable or non-positive value in the BWR section");
        set_limits(icomp);
        return;
    }
    w[kTc] = crit[0];
    w[kPc] = crit[1] * 0.01;
    w[kDc] = crit[2];
    k = w;

    EOSLIM.dmax[icomp] = dmax;
    EOSMOD.cp0[icomp] = cp0;
    CCON.wm[icomp] = wm;
    CCON.ttp[icomp] = ttp;
    CCON.tnbp[icomp] = tnbp;
    CCON.acf[icomp] = acf;
    CCON.tc[icomp] = crit[0];
    CCON.pc[icomp] = crit[1];
    CCON.dc[icomp] = crit[2];
    CCON.ptp[icomp] = w[kPtp];
    CCON.dtp[icomp] = w[kDtp];
    CCON.spare7[icomp] = CCON.spare9[icomp] = CCON.spare10[icomp] = 0.0;
    ZRED.tred[icomp] = crit[0];
    ZRED.dred[icomp] = crit[2];
    CCON.rgas[icomp] = 100.0 * w[kR];
    if (NCOMP.nc == 1 && icomp == 1) GCNST.r = CCON.rgas[icomp];
    CCON.zc[icomp] = crit[1] / (CCON.rgas[icomp] * crit[0] * crit[2]);

    if (std::fabs(red[0] - crit[0]) > 1.0e-4)
        warn("reducing temperature not equal to critical temperature; T_red = " +
             fmt_f(red[0], 10, 3) + " K; T_crit = " + fmt_f(crit[0], 10, 3) + " K.");
    if (std::fabs(red[1] - crit[2]) > 1.0e-6)
        warn("reducing density not equal to critical density; D_red = " + fmt_f(red[1], 10, 5) +
             " mol/L; D_crit = " + fmt_f(crit[2], 10, 5) + " mol/L.");
    if (counts[0] != 32 || counts[1] != 1)
        warn("Nterm = " + int3(counts[0]) + " (must be 32); Ncoef = " + int3(counts[1]) +
             "(must be 1).");
    set_limits(icomp);
}

double PBWR(int icomp, double T, double D) {
    if (!(T > 0.0)) return 0.0;
    const State s = state(icomp, T, D);
    const double r = WCFBWR.k[icomp][kR];
    return 100.0 * D * (r * T + sum(s.a, 0, s.f, 1));
}

double DPDBWR(int icomp, double T, double D) {
    if (D < 1.0e-10 || !(T > 0.0)) return GCNST.r * T;
    const State s = state(icomp, T, D);
    const double r = WCFBWR.k[icomp][kR];
    return 100.0 * (r * T + 2.0 * sum(s.a, 0, s.f, 1) + sum(s.a, 0, s.f, 2));
}

double D2PBWR(int icomp, double T, double D) {
    if (D < 1.0e-10 || !(T > 0.0)) return 0.0;
    const State s = state(icomp, T, D);
    return 100.0 * (2.0 * sum(s.a, 0, s.f, 1) + 4.0 * sum(s.a, 0, s.f, 2) + sum(s.a, 0, s.f, 3)) /
           D;
}

double DPTBWR(int icomp, double T, double D) {
    const State s = state(icomp, T, D);
    const double r = WCFBWR.k[icomp][kR];
    return 100.0 * D * (r + sum(s.a, 1, s.f, 1));
}

double ABWR(int icomp, double T, double D) {
    if (!(T > 0.0)) return 0.0;
    const State s = state(icomp, T, D);
    return 100.0 * sum(s.a, 0, s.f, 0);
}

double DABWR(int icomp, double T, double D) {
    if (!(T > 0.0)) return 0.0;
    const State s = state(icomp, T, D);
    return 100.0 * sum(s.a, 1, s.f, 0);
}

double D2ABWR(int icomp, double T, double D) {
    const State s = state(icomp, T, D);
    return 100.0 * sum(s.a, 2, s.f, 0);
}

double PHIBWR(int icomp, int itau, int idel, double tau, double del) {
    if (del <= 1.0e-10 || !(tau > 0.0) || !std::isfinite(tau) || !std::isfinite(del)) return 0.0;
    if (itau < 0 || idel < 0 || itau > 3 || idel > 3) return 0.0;
    const double r = WCFBWR.k[icomp][kR];
    if (!(r > 0.0) || !(ZRED.tred[icomp] > 0.0)) return 0.0;
    if (tau != BWRSAV.tau[icomp]) refresh_tau(icomp, tau);
    if (del != BWRSAV.del[icomp]) refresh_del(icomp, del);
    const auto& t = BWRSAV.t[icomp];
    const auto& d = BWRSAV.d[icomp];
    double s = 0.0;
    for (std::size_t n = 0; n < kFuncs; ++n)
        s += t[n][static_cast<std::size_t>(itau)] * d[n][static_cast<std::size_t>(idel)];
    const double v = s / r;
    return std::isfinite(v) ? v : 0.0;
}

void CRTBWR(int icomp, double& tc, double& pc, double& dc) {
    const auto& k = WCFBWR.k[icomp];
    tc = k[kTc];
    pc = 100.0 * k[kPc];
    dc = k[kDc];
}

}  // namespace lib
