// The QUI equation of state:
//
//   alphar = S1(tau) (delta - ln(1 - delta S3(tau)) / S3(tau))
//            - S2(tau) ln((1 + delta S4(tau)) / (1 - delta S5(tau))),
//
// each S_g(tau) = sum N_j tau^t_j over the terms of group g.  The first
// term takes part with S1 and its derivatives formed from group 1 like the
// other sums (a group 1 or 3 left empty drops it), so that the value and
// every derivative belong to the same function.  All derivatives up to the
// third order in each variable come from one two-variable Taylor expansion
// at the state, kept per slot (QUISAV) with the group sums (QUITRM).
#include "library/models/qui.h"

#include <cmath>

#include "library/library.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace lib {

WntquiRecord WNTQUI;
WcfquiRecord WCFQUI;

namespace {

constexpr int kN = 4;  // orders 0..3 in each variable

// Taylor coefficients c[i][j] of a function of (tau, delta) about a state.
struct Jet {
    double c[kN][kN] = {};
};

Jet operator+(const Jet& a, const Jet& b) {
    Jet r;
    for (int i = 0; i < kN; ++i)
        for (int j = 0; j < kN; ++j) r.c[i][j] = a.c[i][j] + b.c[i][j];
    return r;
}

Jet scale(const Jet& a, double k) {
    Jet r;
    for (int i = 0; i < kN; ++i)
        for (int j = 0; j < kN; ++j) r.c[i][j] = k * a.c[i][j];
    return r;
}

Jet operator*(const Jet& a, const Jet& b) {
    Jet r;
    for (int i = 0; i < kN; ++i)
        for (int j = 0; j < kN; ++j) {
            double s = 0.0;
            for (int p = 0; p <= i; ++p)
                for (int q = 0; q <= j; ++q) s += a.c[p][q] * b.c[i - p][j - q];
            r.c[i][j] = s;
        }
    return r;
}

// sum_k w^k coef[k] for a jet w without constant term (w^k vanishes for k > 6).
Jet series(const Jet& w, const double coef[7]) {
    Jet r, p;
    p.c[0][0] = 1.0;
    for (int k = 0; k <= 6; ++k) {
        r = r + scale(p, coef[k]);
        p = p * w;
    }
    return r;
}

// ln(u) and 1/u of a jet with a positive constant term.
Jet log_of(const Jet& u) {
    const double u0 = u.c[0][0];
    Jet w = scale(u, 1.0 / u0);
    w.c[0][0] = 0.0;
    const double coef[7] = {std::log(u0), 1.0, -1.0 / 2, 1.0 / 3, -1.0 / 4, 1.0 / 5, -1.0 / 6};
    return series(w, coef);
}

Jet inverse(const Jet& u) {
    const double u0 = u.c[0][0];
    Jet w = scale(u, 1.0 / u0);
    w.c[0][0] = 0.0;
    const double coef[7] = {1.0 / u0, -1.0 / u0, 1.0 / u0, -1.0 / u0,
                            1.0 / u0, -1.0 / u0, 1.0 / u0};
    return series(w, coef);
}

// The group sum S_g as a jet in tau (first index), constant in delta.
Jet group_sum(int icomp, int g, double tau) {
    const auto& n = WNTQUI.c[icomp];
    int first = 0;
    for (int k = 0; k < g; ++k) first += n[static_cast<std::size_t>(k)];
    const auto& w = WCFQUI.k[icomp];
    Jet s;
    for (int j = first; j < first + n[static_cast<std::size_t>(g)] && j < kQuiTerms; ++j) {
        const double N = w[static_cast<std::size_t>(j)], t = w[static_cast<std::size_t>(56 + j)];
        // d^k/dtau^k tau^t / k!
        double f = 1.0, fact = 1.0;
        for (int k = 0; k < kN; ++k) {
            s.c[k][0] += N * f / fact * std::pow(tau, t - k);
            f *= t - k;
            fact *= k + 1;
        }
    }
    return s;
}

// Per slot: the state of the last evaluation, its results and the group
// sums there (the five constant terms).
struct Quisav {
    Slots<double> tau, del;
    Slots<std::array<double, kN * kN>> res;
};
Quisav QUISAV;
struct Quitrm {
    Slots<std::array<double, 5>> s;
};
Quitrm QUITRM;

void clear_cache() {
    QUISAV.tau.fill(0.0);
    QUISAV.del.fill(0.0);
}

// Every derivative at (tau, del) into the slot's cache; false when the
// logarithms have no real value there.
bool evaluate(int icomp, double tau, double del) {
    Jet d;
    d.c[0][0] = del;
    d.c[0][1] = 1.0;
    Jet S[5];
    for (int g = 0; g < 5; ++g) {
        S[g] = group_sum(icomp, g, tau);
        QUITRM.s[icomp][static_cast<std::size_t>(g)] = S[g].c[0][0];
    }
    const auto& n = WNTQUI.c[icomp];
    Jet a;
    if (n[0] > 0 && n[2] > 0 && S[2].c[0][0] != 0.0) {
        Jet u = scale(d * S[2], -1.0);
        u.c[0][0] += 1.0;
        if (!(u.c[0][0] > 0.0)) return false;
        a = S[0] * (d + scale(log_of(u) * inverse(S[2]), -1.0));
    }
    if (n[1] > 0) {
        Jet up = d * S[3], um = scale(d * S[4], -1.0);
        up.c[0][0] += 1.0;
        um.c[0][0] += 1.0;
        if (!(up.c[0][0] > 0.0) || !(um.c[0][0] > 0.0)) return false;
        a = a + scale(S[1] * (log_of(up) + scale(log_of(um), -1.0)), -1.0);
    }
    auto& res = QUISAV.res[icomp];
    double fi = 1.0;
    for (int i = 0; i < kN; ++i) {
        double fj = 1.0;
        for (int j = 0; j < kN; ++j) {
            res[static_cast<std::size_t>(i * kN + j)] =
                a.c[i][j] * fi * fj * std::pow(tau, i) * std::pow(del, j);
            fj *= j + 1;
        }
        fi *= i + 1;
    }
    QUISAV.tau[icomp] = tau;
    QUISAV.del[icomp] = del;
    return true;
}

void set_limits(int icomp) {
    const auto& k = WCFQUI.k[icomp];
    EOSLIM.tmin[icomp] = k[177];
    EOSLIM.tmax[icomp] = k[178];
    EOSLIM.pmax[icomp] = k[179];
}

}  // namespace

void SETQUI(int nread, int icomp, const std::string& hcas, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    clear_cache();
    if (nread <= 0 || trim_right(hcas).empty()) {
        ierr = 1;
        herr = "[SETQUI error] fluid input to SETQUI not found";
        set_limits(icomp);
        return;
    }
    auto& k = WCFQUI.k[icomp];
    bool ok = true;
    auto num = [&](double& x) {
        if (ok && !next_numbers(nread, &x, 1)) ok = false;
        return ok ? x : 0.0;
    };
    double x = 0.0;
    k[177] = num(x);
    k[178] = num(x);
    k[179] = num(x);
    EOSLIM.dmax[icomp] = num(x);
    std::string_view line;
    if (ok && next_line(nread, line))
        EOSMOD.cp0[icomp] = Code(line.substr(0, std::min<std::size_t>(3, line.size())));
    else
        ok = false;
    k[173] = CCON.wm[icomp] = num(x);
    CCON.ttp[icomp] = num(x);
    k[175] = num(x);
    k[176] = num(x);
    CCON.tnbp[icomp] = num(x);
    CCON.acf[icomp] = num(x);
    double crit[3] = {}, red[2] = {};
    if (ok && !next_numbers(nread, crit, 3)) ok = false;
    k[172] = crit[0];
    k[170] = crit[1];
    k[171] = crit[2];
    CCON.tc[icomp] = crit[0];
    CCON.pc[icomp] = crit[1];
    CCON.dc[icomp] = crit[2];
    CCON.ptp[icomp] = k[175];
    CCON.dtp[icomp] = k[176];
    CCON.spare7[icomp] = CCON.spare9[icomp] = CCON.spare10[icomp] = 0.0;
    if (ok && !next_numbers(nread, red, 2)) ok = false;
    k[169] = ZRED.tred[icomp] = red[0];
    k[168] = ZRED.dred[icomp] = red[1];
    k[174] = CCON.rgas[icomp] = num(x);
    if (NCOMP.nc == 1 && icomp == 1) GCNST.r = k[174];
    const double rtd = k[174] * k[172] * k[171];
    CCON.zc[icomp] = rtd > 0.0 ? k[170] / rtd : 0.0;
    int c[5] = {};
    if (ok && (!next_line(nread, line) || read_ints(line, c, 5) < 5)) ok = false;
    int total = 0;
    for (int g = 0; g < 5; ++g) total += c[g] < 0 ? kQuiTerms + 1 : c[g];
    if (ok && total > kQuiTerms) {
        ierr = 2;
        herr = errtext("SETQUI", 2,
                       "the equation has " + std::to_string(total) + " terms; at most 56 fit");
        WNTQUI.c[icomp] = {};
        set_limits(icomp);
        return;
    }
    for (int j = 0; ok && j < total; ++j) {
        double v[3] = {};
        if (!next_line(nread, line) || read_numbers(line, v, 3) < 2) ok = false;
        k[static_cast<std::size_t>(j)] = v[0];
        k[static_cast<std::size_t>(56 + j)] = v[1];
        k[static_cast<std::size_t>(112 + j)] = v[2];
    }
    if (!ok) {
        ierr = 3;
        herr = errtext("SETQUI", 3, "missing or unreadable line in the QUI section");
        WNTQUI.c[icomp] = {};
        set_limits(icomp);
        return;
    }
    for (int g = 0; g < 5; ++g) WNTQUI.c[icomp][static_cast<std::size_t>(g)] = c[g];
    set_limits(icomp);
}

double PHIQUI(int icomp, int itau, int idel, double tau, double del) {
    if (del <= 1.0e-10 || !(tau > 0.0) || !std::isfinite(tau) || !std::isfinite(del)) return 0.0;
    if (itau < 0 || idel < 0 || itau >= kN || idel >= kN) return 0.0;
    if (!(std::fabs(tau - QUISAV.tau[icomp]) < 1e-12 && std::fabs(del - QUISAV.del[icomp]) < 1e-16))
        if (!evaluate(icomp, tau, del)) {
            QUISAV.tau[icomp] = 0.0;
            return 0.0;
        }
    const double v = QUISAV.res[icomp][static_cast<std::size_t>(itau * kN + idel)];
    return std::isfinite(v) ? v : 0.0;
}

void REDQUI(int icomp, double& tred, double& dred) {
    tred = WCFQUI.k[icomp][169];
    dred = WCFQUI.k[icomp][168];
}

void CRTQUI(int icomp, double& tc, double& pc, double& dc) {
    tc = WCFQUI.k[icomp][172];
    pc = WCFQUI.k[icomp][170];
    dc = WCFQUI.k[icomp][171];
}

}  // namespace lib
