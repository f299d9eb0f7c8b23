#include "library/transport/tc0.h"

#include <array>
#include <cmath>
#include <string_view>

#include "library/library.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/transport/blockreader.h"
#include "library/transport/etak.h"
#include "library/transport/ethylene.h"
#include "library/transport/records.h"

namespace lib {

namespace {

enum Red { kTred = 2, kDred = 3, kLamRed = 4 };

double row(int icomp, int r, int col = 0) {
    return WCFTCX[icomp][static_cast<std::size_t>(r)][static_cast<std::size_t>(col)];
}
int group_start(int icomp, int g) {
    int r = 0;
    for (int i = 0; i < g; ++i) r += WNTTCX[icomp][static_cast<std::size_t>(i)];
    return r;
}
int group_size(int icomp, int g) { return WNTTCX[icomp][static_cast<std::size_t>(g)]; }

double ipow(double base, double e) {
    if (std::fabs(base) < 1e-12) base = 1e-12;
    return std::pow(base, static_cast<int>(std::lround(e)));
}

double deuterium(int icomp, double T, double D) {
    const double tc = CCON.tc[icomp];
    double f = 0.7071067811865475 +
               static_cast<double>(0.031f) * D * (T >= tc ? std::pow(tc / T, 5) : 1.0);
    f = std::min(f, static_cast<double>(0.92f));
    return f * TCXH2(icomp, T, D);
}
double tritium(int icomp, double T, double D) { return TCXH2(icomp, T, D) / 1.7320508075688772; }
double helium3(int icomp, double T, double D) { return TCXHE(icomp, T, D) / 0.8660254037844386; }

struct Correlation {
    std::string_view code;
    double (*eval)(int, double, double);
};
const std::array<Correlation, 9> kCorrelations = {{{"ETY", TCXETY},
                                                   {"R23", TCXR23},
                                                   {"D2O", TCXD2O},
                                                   {"H2O", TCXH2O},
                                                   {"HE", TCXHE},
                                                   {"H2", TCXH2},
                                                   {"D2", deuterium},
                                                   {"T2", tritium},
                                                   {"HE3", helium3}}};

}  // namespace

void SETTC0(int nread, int k, const std::string&, int& ierr, std::string& herr) {
    BlockReader rd(nread, "SETTC0");
    const std::array<double, 4> lim = rd.limits();
    Code code, enhancement("NUL");
    rd.code(code, "correlation code");
    std::array<int, 4> g{};
    if (rd.ints(g.data(), 4, "group counts"))
        for (int v : g)
            if (v < 0) rd.fail("negative group count");
    const int total = g[0] + g[1] + g[2] + g[3];
    if (rd.ok() && total > kTermRows) rd.fail("more than 40 term rows");
    std::array<double, 5> red{};
    Rows4 rows{};
    std::array<int, kTermRows> ints{};
    if (rd.ok() && total > 0) {
        double v[3];
        if (rd.numbers(v, 3, "reducing values"))
            red[kTred] = v[0], red[kDred] = v[1], red[kLamRed] = v[2];
        for (int i = 0; rd.ok() && i < total; ++i) {
            double t[5];
            if (!rd.numbers(t, 5, "term")) break;
            for (int j = 0; j < 4; ++j)
                rows[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = t[j];
            ints[static_cast<std::size_t>(i)] = static_cast<int>(std::lround(t[4]));
        }
    }
    rd.code(enhancement, "critical-enhancement model");
    rd.result(ierr, herr);
    if (ierr != 0) return;
    WLMTCX.store(k, lim);
    HCMOD.tcx[k] = code;
    WNTTCX[k] = g;
    WRDTCX[k] = red;
    WCFTCX[k] = rows;
    WIFTCX[k] = ints;
    CREMOD.set[kCreTcx][k] = enhancement;
}

double TCX0HC(int icomp, double T, double D, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    for (const Correlation& c : kCorrelations)
        if (HCMOD.tcx[icomp].is(c.code)) return c.eval(icomp, T, D);
    fail(39, "TCX0HC", "unknown thermal conductivity model specified", ierr, herr);
    return 0.0;
}

double TCXETY(int icomp, double T, double D) {
    const double rho = D * CCON.wm[icomp] / 1000.0;
    const double E =
        std::exp(std::sqrt(rho) * ((rho - 0.221) / 0.221) *
                     (96.456068829 / T - 0.30083271933 + 13502.56962 / (T * T)) +
                 (18.214616599 - 9903.022496 / (T * std::sqrt(T))) * std::pow(rho, 0.1));
    return (ethylene::conductivity_first_term(T, rho) +
            (E - 1.0) * std::exp(742.0521631 / T - 13.04503323)) /
           1000.0;
}

double TCXR23(int icomp, double T, double D) {
    const double rhoL = row(icomp, 0), b1 = row(icomp, 1), b2 = row(icomp, 2), c1 = row(icomp, 3),
                 c2 = row(icomp, 4), dg = row(icomp, 5), lmax = row(icomp, 6);
    const double dT = T - WRDTCX[icomp][kTred], dd = D - WRDTCX[icomp][kDred];
    const double R = GCNST.r;
    return ((b1 + b2 * T) * std::pow(1.0 - D / rhoL, c1) +
            c2 * std::pow(D / rhoL, c1) * rhoL * rhoL / (rhoL - D) * std::sqrt(T) *
                std::exp(D / (rhoL - D) * dg / (R * T)) +
            4.0 * lmax / ((std::exp(dd) + std::exp(-dd)) * (std::exp(dT) + std::exp(-dT)))) /
           1000.0;
}

double TCXD2O(int icomp, double T, double D) {
    const double tb = T / WRDTCX[icomp][kTred], rb = D / WRDTCX[icomp][kDred];
    const double x = tb / (1.1 + std::fabs(tb - 1.1));
    double A = 0.0, B = 0.0;
    int r = group_start(icomp, 0);
    for (int k = 0; k < group_size(icomp, 0); ++k, ++r)
        A += row(icomp, r) * std::pow(tb, row(icomp, r, 1));
    r = group_start(icomp, 2);
    for (int k = 0; k < group_size(icomp, 2); ++k, ++r)
        B += row(icomp, r) * std::pow(rb, row(icomp, r, 1));
    auto c = [&](int k) { return row(icomp, r + k - 1); };
    const double Q = std::exp(c(5) * tb + c(6) * tb * tb);
    const double psi = std::exp(c(7) * (rb - 1.0) * (rb - 1.0)) +
                       c(8) * std::exp(c(9) * (rb - c(10)) * (rb - c(10)));
    return WRDTCX[icomp][kLamRed] *
           (A + B + c(2) * (1.0 - std::exp(c(1) * rb)) +
            c(3) * Q * psi *
                (1.0 + psi * psi *
                           (c(4) * std::pow(Q, 4) / (1.0 + std::exp(60.0 * (x - 1.0) + 20.0)) +
                            3.5 * psi / (1.0 + std::exp(100.0 * (x - 1.0) + 15.0)))) +
            c(11) * std::pow(Q, 1.2) * (1.0 - std::exp(-std::pow(rb / 2.5, 10))));
}

double TCXH2O(int icomp, double T, double D) {
    const double tb = T / WRDTCX[icomp][kTred], rb = D / WRDTCX[icomp][kDred];
    const double a = 1.0 / tb - 1.0, b = rb - 1.0;
    double s0 = 0.0, s1 = 0.0;
    int r = group_start(icomp, 0);
    for (int k = 0; k < group_size(icomp, 0); ++k, ++r)
        s0 += row(icomp, r) / std::pow(tb, row(icomp, r, 1));
    r = group_start(icomp, 2);
    for (int k = 0; k < group_size(icomp, 2); ++k, ++r)
        s1 += row(icomp, r) * ipow(a, row(icomp, r, 1)) * ipow(b, row(icomp, r, 2));
    const double l0 = std::sqrt(tb) / s0;
    const double l1 = rb * s1 >= 100.0 ? 1e10 : std::exp(rb * s1);
    double l2 = 0.0;
    if (VERS[icomp] <= static_cast<double>(8.1f) && rb > 0.0) {
        // Older texts carry their enhancement here, on the water viscosity rows.
        double dpdd = 0.0, dpdt = 0.0;
        DPDDK(icomp, T, D, dpdd);
        DPDTK(icomp, T, D, dpdt);
        if (dpdd > 0.0) {
            const auto& n = WNTETA[icomp];
            const double tv = T / WRDETA[icomp][4], rv = D / WRDETA[icomp][5];
            const double av = 1.0 / tv - 1.0, bv = rv - 1.0;
            const auto& rows = WCFETA[icomp];
            int q = n[0] + n[1];
            double m0 = 0.0, m1 = 0.0;
            for (int k = 0; k < n[2]; ++k, ++q)
                m0 += rows[static_cast<std::size_t>(q)][0] /
                      std::pow(tv, rows[static_cast<std::size_t>(q)][1]);
            double mu0 = std::sqrt(tv) / m0;
            if (VERS[icomp] > 8.0) mu0 /= 0.55071;
            for (int k = 0; k < n[3]; ++k, ++q)
                m1 += rows[static_cast<std::size_t>(q)][0] *
                      ipow(av, rows[static_cast<std::size_t>(q)][1]) *
                      ipow(bv, rows[static_cast<std::size_t>(q)][2]);
            const double mu1 = std::exp(rv * m1);
            const double dred = WRDTCX[icomp][kDred];
            l2 = std::pow(dpdt / 22115.0, 2) * std::pow(T / rb, 2) * 0.0013848 / mu0 / mu1 *
                 std::pow(rb / dpdd / dred * 22115.0, 0.4678) * std::sqrt(rb) *
                 std::exp(-18.66 * (tb - 1.0) * (tb - 1.0) - std::pow(b, 4));
        }
    }
    return (l0 * l1 + l2) * WRDTCX[icomp][kLamRed];
}

double TCXHE(int icomp, double T, double D) {
    const double tb = T / WRDTCX[icomp][kTred], del = D / WRDTCX[icomp][kDred];
    const int g1 = group_size(icomp, 0);
    double ex = 0.0;
    for (int r = 1; r < g1; ++r) ex += row(icomp, r) * std::pow(tb, row(icomp, r, 1));
    const double l0 =
        row(icomp, 0) * std::pow(tb, row(icomp, 0, 1)) * (g1 >= 2 ? std::exp(ex) : 1.0);
    double le = 0.0;
    int r = g1;
    for (int k = 0; k < group_size(icomp, 2); ++k, ++r) {
        const double l = row(icomp, r, 3);
        const double L =
            std::fabs(l) >= 1e-12 && std::fabs(del) >= 1e-12 ? std::log(std::pow(del, l)) : 1.0;
        le += row(icomp, r) * std::pow(std::cbrt(tb), row(icomp, r, 1)) *
              std::pow(del, row(icomp, r, 2)) * L;
    }
    double lc = 0.0;
    if (T >= 3.5 && T <= 12.0) {
        const double rhom = D * CCON.wm[icomp];
        double dpdd = 0.0, dpdt = 0.0;
        DPDDK(icomp, T, D, dpdd);
        double chi = D > 0.0 && dpdd != 0.0 ? 1.0 / (dpdd * D) / 1000.0 : 0.0;
        const double drho = std::fabs(rhom - 69.158) / 69.158,
                     dT = std::fabs(T - 5.18992) / 5.18992;
        const double r2 = std::pow(4.0 * drho, 2) + std::pow(dT / 0.2, 2);
        if (r2 < 1.0 && D > 0.0) {
            const double s = dT / std::pow(drho, 2.8137310073157007);
            const double x = (0.392 + s) / 0.392, g = std::pow(x, 0.7108);
            const double h = std::pow(1.0 + 0.27156 * g, 0.24521665728756317);
            const double chis =
                (std::pow(69.158 / rhom, 2) /
                 ((2.8461 * 4.304 * x * h -
                   (0.1742999999999999 * 1.9716502959183673 * g * h / (1.0 + 0.27156 * g) +
                    2.8461 * h / 0.392) *
                       s / 0.3554) *
                  std::pow(drho, 3.3040000000000003))) /
                227460.0;
            chi = chis * (1.0 - r2) + chi * r2;
        }
        DPDTK(icomp, T, D, dpdt);
        double eta = 0.0;
        int ierr = 0;
        std::string herr;
        ETAK(icomp, T, D, eta, ierr, herr);
        if (chi >= 0.0 && rhom > 0.0 && eta > 0.0)
            lc = std::pow(1000.0 * dpdt, 2) * T * T * std::sqrt(chi) / rhom / (eta / 1e6) *
                 std::exp(-18.66 * dT * dT - 4.25 * std::pow(drho, 4)) * 3.4685233e-17 *
                 3.726229668;
    }
    return (l0 + le + lc) * WRDTCX[icomp][kLamRed];
}

}  // namespace lib
