#include "library/transport/older.h"

#include <array>
#include <cmath>

#include "library/library.h"
#include "library/models/idealgas.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/transport/blockreader.h"
#include "library/transport/etak.h"
#include "library/transport/omega.h"
#include "library/transport/records.h"

namespace lib {

namespace {

constexpr double kVersionWithExponent = 6.099;

// Coefficient column of row k (1-based) of a term table.
double ce(int icomp, int k) { return WCFETA[icomp][static_cast<std::size_t>(k - 1)][0]; }
double cx(int icomp, int k) { return WCFTCX[icomp][static_cast<std::size_t>(k - 1)][0]; }
double power(double x, double e) { return e == 0.0 ? 1.0 : std::pow(x, e); }

// Reads `count` single values into the coefficient column from row `first`.
void values(BlockReader& rd, Rows4& rows, int first, int count, const char* what) {
    for (int i = 0; i < count && rd.ok(); ++i)
        rd.number(rows[static_cast<std::size_t>(first + i)][0], what);
}

// VS2 viscosity of the TC2 block (rows 3, 20-30) for its enhancement.
double tc2_viscosity(int icomp, double T, double D) {
    const double sigma = cx(icomp, 1), epsk = cx(icomp, 2);
    const double omega = OMEGA(icomp, T, epsk, OMGMOD.set[kOmgTcx][icomp]);
    const double dc = CCON.dc[icomp];
    const double a = cx(icomp, 24) + cx(icomp, 25) / T;
    return cx(icomp, 3) * std::sqrt(T) / (sigma * sigma * omega) +
           D * (cx(icomp, 20) +
                cx(icomp, 21) * std::pow(cx(icomp, 22) - std::log(T / cx(icomp, 23)), 2)) +
           std::exp(a + (cx(icomp, 26) + cx(icomp, 27) * std::pow(T, -1.5)) * std::pow(D, 0.1) +
                    (D - dc) / dc * std::sqrt(D) *
                        (cx(icomp, 28) + cx(icomp, 29) / T + cx(icomp, 30) / (T * T))) -
           std::exp(a);
}

}  // namespace

void SETVS2(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) return illegal_text("SETVS2", nread, hcas, ierr, herr);
    BlockReader rd(nread, "SETVS2");
    const std::array<double, 4> lim = rd.limits();
    Code omega;
    rd.code(omega, "collision-integral model");
    std::array<double, 2> lj{};
    rd.number(lj[0], "Lennard-Jones sigma");
    rd.number(lj[1], "Lennard-Jones epsilon/k");
    Rows4 rows{};
    rd.number(rows[0][0], "kinetic-theory constant");
    rows[0][1] = 0.5;
    const bool newer = VERS[k] >= kVersionWithExponent;
    if (newer) rd.number(rows[0][1], "exponent of T");
    values(rd, rows, 1, 11, "coefficient F1..F4, E1..E7");
    rows[12][0] = CCON.dc[k];
    if (newer) rd.number(rows[12][0], "E8");
    rd.result(ierr, herr);
    if (ierr != 0) return;
    WLMETA.store(k, lim);
    WLJETA[k] = lj;
    OMGMOD.set[kOmgEta][k] = omega;
    WCFETA[k] = rows;
    CREMOD.set[kCreEta][k] = Code("NUL");
}

double ETA2DG(int icomp, double T) {
    const double sigma = WLJETA[icomp][0];
    return ce(icomp, 1) * std::pow(T, WCFETA[icomp][0][1]) /
           (sigma * sigma * OMEGA(icomp, T, WLJETA[icomp][1], OMGMOD.set[kOmgEta][icomp]));
}

double ETA2RS(int icomp, double T, double D) {
    auto F = [&](int i) { return ce(icomp, 1 + i); };
    auto E = [&](int i) { return ce(icomp, 5 + i); };
    const double a = E(1) + E(2) / T;
    return D * (F(1) + F(2) * std::pow(F(3) - std::log(T / F(4)), 2)) +
           std::exp(a + std::pow(D, 0.1) * (E(3) + E(4) * std::pow(T, -1.5)) +
                    ((D - E(8)) / E(8)) * std::sqrt(D) * (E(5) + E(6) / T + E(7) / (T * T))) -
           std::exp(a);
}

void SETVS3(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) return illegal_text("SETVS3", nread, hcas, ierr, herr);
    BlockReader rd(nread, "SETVS3");
    const std::array<double, 4> lim = rd.limits();
    std::array<int, 4> n{};
    std::array<double, 5> red{};
    Rows4 rows{};
    if (rd.ints(n.data(), 2, "dilute counts") && (n[0] < 0 || n[1] < 0)) rd.fail("negative count");
    int used = 0;
    auto read_rows = [&](int count, int cols, const char* what) {
        if (used + count > kTermRows) rd.fail("more than 40 term rows");
        for (int i = 0; i < count && rd.ok(); ++i, ++used)
            rd.numbers(rows[static_cast<std::size_t>(used)].data(), cols, what);
    };
    if (rd.ok() && n[0] > 0) {
        double v[2];
        if (rd.numbers(v, 2, "dilute reducing values")) red[0] = v[0], red[1] = v[1];
        read_rows(n[0], 2, "dilute numerator term");
    }
    if (rd.ok()) read_rows(n[1], 2, "dilute denominator term");
    if (rd.ok() && rd.ints(&n[2], 2, "background counts") && (n[2] < 0 || n[3] < 0))
        rd.fail("negative count");
    if (rd.ok() && n[2] + n[3] > 0) {
        double v[3];
        if (rd.numbers(v, 3, "background reducing values"))
            red[2] = v[0], red[3] = v[1], red[4] = v[2];
        read_rows(n[2] + n[3], 4, "background term");
    }
    rd.result(ierr, herr);
    if (ierr != 0) return;
    WLMETA.store(k, lim);
    WN3ETA[k] = n;
    WR3ETA[k] = red;
    WCFETA[k] = rows;
}

double ETA3DG(int icomp, double T) {
    const auto& n = WN3ETA[icomp];
    const auto& red = WR3ETA[icomp];
    const auto& rows = WCFETA[icomp];
    const double tr = n[0] + n[1] < 1 ? 1.0 : T / red[0];
    double N = 0.0;
    for (int k = 0; k < n[0]; ++k)
        N += rows[static_cast<std::size_t>(k)][0] * power(tr, rows[static_cast<std::size_t>(k)][1]);
    if (n[1] > 0) {
        double Q = 0.0;
        for (int k = n[0]; k < n[0] + n[1]; ++k)
            Q += rows[static_cast<std::size_t>(k)][0] *
                 power(tr, rows[static_cast<std::size_t>(k)][1]);
        N /= Q;
    }
    return N * red[1];
}

double ETA3RS(int icomp, double T, double D) {
    const auto& n = WN3ETA[icomp];
    const auto& red = WR3ETA[icomp];
    const auto& rows = WCFETA[icomp];
    double tau = 1.0, del = 1.0;
    if (n[2] + n[3] >= 1) {
        tau = T / red[2];
        del = D / red[3];
    }
    auto term = [&](int k) {
        const auto& r = rows[static_cast<std::size_t>(k)];
        return r[0] * power(tau, r[1]) * power(del, r[2]);
    };
    const int first = n[0] + n[1];
    double N = 0.0;
    for (int k = first; k < first + n[2]; ++k) N += term(k);
    if (n[3] > 0 && del > 0.0) {
        double Q = 0.0;
        for (int k = first + n[2]; k < first + n[2] + n[3]; ++k) Q += term(k);
        if (std::fabs(Q) > 1e-20) N /= Q;
    }
    return N * red[4];
}

void SETTC2(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) return illegal_text("SETTC2", nread, hcas, ierr, herr);
    BlockReader rd(nread, "SETTC2");
    const std::array<double, 4> lim = rd.limits();
    Code omega, enhancement;
    rd.code(omega, "collision-integral model");
    Rows4 rows = WCFTCX[k];  // rows 14-30 keep their content when not read
    values(rd, rows, 0, 13, "sigma, eps/k, C, G1, G2, E1..E8");
    rd.code(enhancement, "critical-enhancement model");
    if (rd.ok() && !enhancement.is("NUL"))
        values(rd, rows, 13, 17, "X1..X4, Z, kB, F1..F4, V1..V7");
    rd.result(ierr, herr);
    if (ierr != 0) return;
    WLMTCX.store(k, lim);
    OMGMOD.set[kOmgTcx][k] = omega;
    WCFTCX[k] = rows;
    CREMOD.set[kCreTcx][k] = enhancement;
}

double TCX2DG(int icomp, double T) {
    const double sigma = cx(icomp, 1), epsk = cx(icomp, 2);
    const double eta0 = cx(icomp, 3) * std::sqrt(T) /
                        (sigma * sigma * OMEGA(icomp, T, epsk, OMGMOD.set[kOmgTcx][icomp]));
    const double R = GCNST.r;
    return eta0 * 0.001 / CCON.wm[icomp] *
           (3.75 * R + (CP0K(icomp, T) - 2.5 * R) * (cx(icomp, 4) + cx(icomp, 5) * epsk / T));
}

double TCX2BK(int icomp, double T, double D) {
    const double u = 1.0 / T;
    auto E = [&](int i) { return cx(icomp, 5 + i); };
    return D * (E(1) + E(2) * u + E(3) * u * u + (E(4) + E(5) * u + E(6) * u * u) * D) /
           (1.0 + D * (E(7) + E(8) * u));
}

double TCX2CR(int icomp, double T, double D) {
    if (D < 1e-6) return 0.0;
    const double tr = ZRED.tred[icomp], dr = ZRED.dred[icomp];
    const double tau = tr / T, del = D / dr, R = GCNST.r;
    const double a1 = PHIK(icomp, 0, 1, tau, del), a2 = PHIK(icomp, 0, 2, tau, del),
                 a11 = PHIK(icomp, 1, 1, tau, del);
    const double prho = (1.0 + 2.0 * a1 + a2) * R * T * 1000.0;
    const double pt = R * D * (1.0 + a1 - a11) * 1000.0;
    const double tc = CCON.tc[icomp], dc = CCON.dc[icomp], pstar = 1000.0 * CCON.pc[icomp];
    auto X = [&](int i) { return cx(icomp, 13 + i); };
    const double chi = prho > 0.0 ? std::pow(D * pstar / (dc * dc * prho), X(3)) : 0.0;
    const double num = chi * std::pow(T * pt * dc / D, 2) * X(4) * cx(icomp, 19) / pstar;
    const double dT = std::fabs(T - tc) / tc, drho = std::fabs(D - dc) / dc;
    const double arg = X(1) * std::pow(dT, 4) + X(2) * std::pow(drho, 4);
    const double f = arg > 500.0 ? 7.124576406741286e-218 : std::exp(-arg);
    const double eta = tc2_viscosity(icomp, T, D);
    return f * num / (eta * 1e-6 * 18.849555924 * cx(icomp, 18));
}

void SETTC3(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) return illegal_text("SETTC3", nread, hcas, ierr, herr);
    BlockReader rd(nread, "SETTC3");
    const std::array<double, 4> lim = rd.limits();
    Rows4 rows{};
    values(rd, rows, 0, 3, "sigma, eps/k, C");
    if (rd.ok()) rd.number(rows[2][1], "exponent of T");
    values(rd, rows, 3, 23, "GV1..GV9, F1..F4, V1..V8, F, r_m");
    Code enhancement;
    rd.code(enhancement, "critical-enhancement model");
    rd.result(ierr, herr);
    if (ierr != 0) return;
    WLMTCX.store(k, lim);
    WCFTCX[k] = rows;
    CREMOD.set[kCreTcx][k] = enhancement;
}

double TCX3DG(int icomp, double T) {
    const double x = std::cbrt(cx(icomp, 2) / T);
    double S = 0.0;
    for (int n = 1; n <= 9; ++n) S += cx(icomp, 3 + n) * std::pow(x, 4 - n);
    const double sigma = cx(icomp, 1);
    return cx(icomp, 3) * std::pow(T, WCFTCX[icomp][2][1]) * S / (sigma * sigma);
}

double TCX3BK(int icomp, double T, double D) {
    if (D <= 0.0) return 0.0;
    auto F = [&](int i) { return cx(icomp, 12 + i); };
    auto V = [&](int i) { return cx(icomp, 16 + i); };
    const double l1 = D * (F(1) + F(2) * std::pow(F(3) - std::log(T / F(4)), 2));
    const double a = V(1) + V(2) / T;
    const double dl =
        std::exp(a + (V(3) + V(4) * std::pow(T, -1.5)) * std::pow(D, 0.1) +
                 (D - V(8)) / V(8) * std::sqrt(D) * (V(5) + V(6) / T + V(7) / (T * T))) -
        std::exp(a);
    const double M = CCON.wm[icomp], epsk = cx(icomp, 2), ff = cx(icomp, 25), rm = cx(icomp, 26);
    const double rhom = M * D / 1000.0;
    double dpdd = 0.0, dpdt = 0.0;
    DPDDK(icomp, T, D, dpdd);
    DPDTK(icomp, T, D, dpdt);
    const double prho = dpdd / M * 1e7, pt = dpdt * 1e4;
    double eta = 0.0;
    int ierr = 0;
    std::string herr;
    ETAK(icomp, T, D, eta, ierr, herr);
    const double N = 6.0225e23, kb = 1.38054e-16;
    const double X = std::sqrt(std::pow(rm, 5) * rhom * N / M * epsk / T),
                 Y = std::sqrt(kb * T * rhom * N / M);
    // No enhancement where the compressibility is infinite (dP/dD <= 0) or
    // there is no viscosity.
    double lc = 0.0;
    if (prho > 0.0 && eta > 0.0)
        lc = std::pow(T * pt, 2) * kb / std::sqrt(prho * rhom) /
             (eta * 18.8495562 / 100000.0 * X * ff * Y);
    const double tc = CCON.tc[icomp], dc = CCON.dc[icomp];
    const double dT = (T - tc) / tc, drho = (D - dc) / dc;
    return l1 + dl + std::exp(-4.25 * std::pow(drho, 4) - 18.66 * dT * dT) * lc / 100000.0;
}

void SETTC6(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) return illegal_text("SETTC6", nread, hcas, ierr, herr);
    CREMOD.set[kCreTcx][k] = Code("NUL");
    fail(39, "SETUP",
         "thermal conductivity model #6 specified in fluid file but not implemented in code.", ierr,
         herr);
}

}  // namespace lib
