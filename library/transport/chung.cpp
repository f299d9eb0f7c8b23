#include "library/transport/chung.h"

#include <array>
#include <cmath>

#include "library/library.h"
#include "library/setup/records.h"
#include "library/transport/blockreader.h"
#include "library/transport/etak.h"
#include "library/transport/omega.h"
#include "library/transport/records.h"

namespace lib {

namespace {

// The method's own gas constant; the shared one is never changed.
constexpr double kRChung = 8.314472;

constexpr std::array<std::array<double, 4>, 10> kEta = {
    {{6.32402, 50.4119, -51.6801, 1189.02},
     {0.0012102, -0.0011536, -0.0062571, 0.037283},
     {5.28346, 254.209, -168.481, 3898.27},
     {6.62263, 38.0957, -8.46414, 31.4178},
     {19.7454, 7.63034, -14.3544, 31.5267},
     {-1.89992, -12.5367, 4.98529, -18.1507},
     {24.2745, 3.44945, -11.2913, 69.3466},
     {0.79716, 1.11764, 0.012348, -4.11661},
     {-0.23816, 0.067695, -0.8163, 4.02528},
     {0.068629, 0.34793, 0.59256, -0.72663}}};
constexpr std::array<std::array<double, 4>, 7> kTcx = {{{2.41657, 0.74824, -0.91858, 121.721},
                                                        {-0.50924, -1.50936, -49.9912, 69.9834},
                                                        {6.61069, 5.62073, 64.7599, 27.0389},
                                                        {14.5425, -8.91387, -5.63794, 74.3435},
                                                        {0.79274, 0.82019, -0.69369, 6.31734},
                                                        {-5.8634, 12.8005, 9.58926, -65.5292},
                                                        {81.171, 114.158, -60.841, 466.775}}};

// Parameters (sigma, eps/k, omega, mu_r, kappa) of a row.
struct Params {
    double sigma, epsk, omega, mur, kappa;
};
Params params(const ChungRecord& c, int k) {
    const auto& r = c.row[k][0];
    return {r[0], r[1], r[2], r[3], r[4]};
}

double fc(const Params& p) {
    return 1.0 - 0.2756 * p.omega + 0.059035 * std::pow(p.mur, 4) + p.kappa;
}

// Reads "omega mu_r kappa", then the count of further rows and the rows;
// row 1 is the block's own parameters unless a further row replaces it.
bool read_params(BlockReader& rd, ChungRecord& rec, int k, double sigma, double epsk) {
    double v[3];
    if (!rd.numbers(v, 3, "omega, mu_r, kappa")) return false;
    std::array<std::array<double, 5>, kChungRows> rows{};
    rows[0] = {sigma, epsk, v[0], v[1], v[2]};
    int m = 0;
    if (!rd.count(m, 0, kChungRows, "number of parameter rows")) return false;
    for (int i = 0; i < m; ++i)
        if (!rd.numbers(rows[static_cast<std::size_t>(i)].data(), 5, "parameter row")) return false;
    rec.omega[k] = v[0];
    rec.mur[k] = v[1];
    rec.kappa[k] = v[2];
    rec.sigma[k] = sigma;
    rec.epsk[k] = epsk;
    rec.rows[k] = m;
    rec.row[k] = rows;
    return true;
}

// The dilute-gas conductivity factor (1 + alpha psi) at T for parameters p.
double internal_factor(int icomp, double T, const Params& p) {
    double cv = 0.0, cp = 0.0;
    CVCPK(icomp, T, 0.0, cv, cp);
    const double alpha = cv / kRChung - 1.5;
    const double tr = T / (1.2593 * p.epsk);
    const double Z = 2.0 + 10.5 * tr * tr;
    const double beta = 0.7862 - 0.7109 * p.omega + 1.3168 * p.omega * p.omega;
    const double psi = (0.215 + 0.28288 * alpha - 1.061 * beta + 0.26665 * Z) /
                       (0.6366 + beta * Z + 1.061 * alpha * beta);
    return 1.0 + alpha * psi;
}

double dilute_viscosity(int icomp, double T) {
    double eta0 = 0.0;
    int ierr = 0;
    std::string herr;
    ETAK0(icomp, T, eta0, ierr, herr);
    return eta0;
}

}  // namespace

void SETVS5(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) return illegal_text("SETVS5", nread, hcas, ierr, herr);
    BlockReader rd(nread, "SETVS5");
    const std::array<double, 4> lim = rd.limits();
    std::array<int, 13> n{};
    std::array<double, 7> red{};
    std::array<double, 2> lj{};
    Rows4 rows{};
    Code omega("NUL"), enhancement("NUL");
    int used = 0;
    if (rd.count(n[0], 0, kTermRows, "number of dilute-gas terms") && n[0] > 0) {
        rd.code(omega, "collision-integral model");
        rd.number(lj[0], "Lennard-Jones sigma");
        rd.number(lj[1], "Lennard-Jones epsilon/k");
        double v[2];
        if (rd.numbers(v, 2, "dilute reducing values")) red[0] = v[0], red[1] = v[1];
        for (; rd.ok() && used < n[0]; ++used)
            rd.numbers(rows[static_cast<std::size_t>(used)].data(), 2, "term");
    }
    if (rd.ok() && rd.count(n[1], 0, kTermRows - used, "number of initial-density terms") &&
        n[1] > 0) {
        double v[2];
        if (rd.numbers(v, 2, "initial-density reducing values")) red[2] = v[0], red[3] = v[1];
        for (int i = 0; rd.ok() && i < n[1]; ++i, ++used)
            rd.numbers(rows[static_cast<std::size_t>(used)].data(), 2, "term");
    }
    ChungRecord staged = CHUNGPV;
    if (rd.ok()) read_params(rd, staged, k, lj[0], lj[1]);
    rd.code(enhancement, "critical-enhancement model");
    rd.result(ierr, herr);
    if (ierr != 0) return;
    WLMETA.store(k, lim);
    WNTETA[k] = n;
    WRDETA[k] = red;
    WCFETA[k] = rows;
    WLJETA[k] = lj;
    OMGMOD.set[kOmgEta][k] = omega;
    CHUNGPV = staged;
    CREMOD.set[kCreEta][k] = enhancement;
}

double ETA5DG(int icomp, double T) {
    const auto& n = WNTETA[icomp];
    if (n[0] < 1 || !(T < 1e8)) return 0.0;
    const double sigma = WLJETA[icomp][0], epsk = WLJETA[icomp][1];
    const double ts = T / epsk;
    const double V = std::pow(sigma / 8.09, 3);
    double eta0 = 4.0785e-4 * std::sqrt(CCON.wm[icomp] * T) /
                  (std::pow(V, 0.6666666865348816) * OMEGAS(2, 2, ts));
    const auto& rows = WCFETA[icomp];
    for (int k = 1; k < n[0]; ++k)
        eta0 += rows[static_cast<std::size_t>(k)][0] *
                std::pow(ts, rows[static_cast<std::size_t>(k)][1]);
    const Params p{sigma, epsk, CHUNGPV.omega[icomp], CHUNGPV.mur[icomp], CHUNGPV.kappa[icomp]};
    return fc(p) * eta0 * WRDETA[icomp][1];
}

double ETA5RS(int icomp, double T, double D) {
    if (D < 1e-10) return 0.0;
    const Params p = params(CHUNGPV, icomp);
    const double M = CCON.wm[icomp];
    const double ts = T / p.epsk, vc = std::pow(10.0 * p.sigma / 0.809, 3), y = D * vc / 6000.0;
    std::array<double, 10> E{};
    for (std::size_t i = 0; i < 10; ++i)
        E[i] = kEta[i][0] + kEta[i][1] * p.omega + kEta[i][2] * std::pow(p.mur, 4) +
               kEta[i][3] * p.kappa;
    const double g1 = (1.0 - 0.5 * y) / std::pow(1.0 - y, 3);
    const double g2 =
        (E[0] * -std::expm1(-E[3] * y) / y + E[1] * g1 * std::exp(E[4] * y) + E[2] * g1) /
        (E[0] * E[3] + E[1] + E[2]);
    const double om = OMEGAS(2, 2, ts);
    const double eta0p = 4.0785e-5 * std::sqrt(T * M) * fc(p) / (om * std::pow(vc, 2.0 / 3.0));
    const double etass = E[6] * y * y * g2 * std::exp(E[7] + E[8] / ts + E[9] / (ts * ts)) *
                         3.6344e-5 * std::sqrt(M * 1.2592999935150146 * p.epsk) /
                         std::pow(vc, 2.0 / 3.0);
    return (etass + eta0p * (1.0 / g2 + E[5] * y) - eta0p) * 100000.0;
}

void SETTC5(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) return illegal_text("SETTC5", nread, hcas, ierr, herr);
    BlockReader rd(nread, "SETTC5");
    const std::array<double, 4> lim = rd.limits();
    double sigma = 0.0, epsk = 0.0;
    rd.number(sigma, "Lennard-Jones sigma");
    rd.number(epsk, "Lennard-Jones epsilon/k");
    ChungRecord staged = CHUNGPK;
    if (rd.ok()) read_params(rd, staged, k, sigma, epsk);
    Code enhancement;
    rd.code(enhancement, "critical-enhancement model");
    rd.result(ierr, herr);
    if (ierr != 0) return;
    WLMTCX.store(k, lim);
    CHUNGPK = staged;
    CREMOD.set[kCreTcx][k] = enhancement;
}

double TCX5DG(int icomp, double T) {
    const Params p{CHUNGPK.sigma[icomp], CHUNGPK.epsk[icomp], CHUNGPK.omega[icomp],
                   CHUNGPK.mur[icomp], CHUNGPK.kappa[icomp]};
    return 1e-6 * dilute_viscosity(icomp, T) * 3.75 * internal_factor(icomp, T, p) * kRChung /
           (CCON.wm[icomp] / 1000.0);
}

double TCX5BK(int icomp, double T, double D) {
    if (D <= 0.0) return 0.0;
    // The first parameter row: the block's own values when it has no others.
    const Params p = params(CHUNGPK, icomp);
    const double M = CCON.wm[icomp];
    const double vc = std::pow(10.0 * p.sigma / 0.809, 3);
    std::array<double, 7> B{};
    for (std::size_t i = 0; i < 7; ++i)
        B[i] = kTcx[i][0] + kTcx[i][1] * p.omega + kTcx[i][2] * std::pow(p.mur, 4) +
               kTcx[i][3] * p.kappa;
    const double y = D * vc / 6000.0;
    const double g1 = (1.0 - 0.5 * y) / std::pow(1.0 - y, 3);
    // (1 - exp(-B3 y)) / y by expm1: the difference itself lost every digit
    // below y ~ 1e-15 (mlinolen's vapour at 227.3 K, 6.5e-17 mol/L: a
    // conductivity 2.3 times the dilute gas's, stepping with the density).
    const double g2 =
        ((B[0] / y) * -std::expm1(-B[3] * y) + B[1] * g1 * std::exp(B[4] * y) + B[2] * g1) /
        (B[0] * B[3] + B[1] + B[2]);
    const double eta0 = dilute_viscosity(icomp, T);
    const double tr = T / (1.2593 * p.epsk);
    const double q = 0.003586 * std::sqrt(1.2593 * p.epsk / (M / 1000.0)) / std::pow(vc, 2.0 / 3.0);
    return (1.0 / g2 + B[5] * y) * internal_factor(icomp, T, p) * 1e-6 * eta0 * 31.2 /
               (M / 1000.0) +
           q * B[6] * y * y * std::sqrt(tr) * g2 - TCX5DG(icomp, T);
}

}  // namespace lib
