#include "library/transport/vs0.h"

#include <array>
#include <cmath>
#include <string_view>

#include "library/library.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/transport/blockreader.h"
#include "library/transport/ethylene.h"
#include "library/transport/records.h"
#include "library/transport/vs1.h"
#include "library/transport/water.h"

namespace lib {

namespace {

// Positions in WRDETA of the residual reducing values.
enum Red { kTres = 4, kDres = 5, kEtaRes = 6 };

double g_cm3(int icomp, double D) { return D * CCON.wm[icomp] / 1000.0; }

// Offset of the first row after the dilute rows.
int after_dilute(int icomp) { return WNTETA[icomp][0]; }

double row(int icomp, int r, int col = 0) {
    return WCFETA[icomp][static_cast<std::size_t>(r)][static_cast<std::size_t>(col)];
}

// Integer power, with a base below 1e-12 in magnitude replaced by 1e-12.
double ipow(double base, double e) {
    if (std::fabs(base) < 1e-12) base = 1e-12;
    return std::pow(base, static_cast<int>(std::lround(e)));
}

struct Pointer {
    std::string_view code;
    double (*eval)(int, double, double);
    double factor;
};

const std::array<Pointer, 12> kPointers = {{
    {"ETY", ETAETY, 1.0},
    {"NEO", ETANEO, 1.0},
    {"R23", ETAR23, 1.0},
    {"H2O", ETAH2O, 1.0},
    {"HE", ETAHE, 1.0},
    {"H2", ETAH2QLX, 1.0},
    {"H2A", ETAH2, 1.0},
    {"D2", ETAD2, 1.0},
    {"T2", ETAH2, 1.7320508075688772},
    {"HE3", ETAHE, 0.8660254037844386},
    {"MEO", ETAMEO, 1.0},
    {"SF6", ETASF6, 1.0},
}};

}  // namespace

void SETVS0(int nread, int k, const std::string&, int& ierr, std::string& herr) {
    BlockReader rd(nread, "SETVS0");
    const std::array<double, 4> lim = rd.limits();
    Code pointer;
    rd.code(pointer, "correlation pointer");
    std::array<int, 13> n{};
    if (rd.ints(n.data(), 8, "term counts"))
        for (int i = 0; i < 8; ++i)
            if (n[static_cast<std::size_t>(i)] < 0) rd.fail("negative term count");
    std::array<double, 7> red{};
    std::array<double, 2> lj{};
    Code omega("NUL"), enhancement("NUL");
    Rows4 rows{};
    std::array<int, kTermRows> ints{};
    int used = 0;
    if (rd.ok() && n[0] > 0) {
        rd.code(omega, "collision-integral model");
        rd.number(lj[0], "Lennard-Jones sigma");
        rd.number(lj[1], "Lennard-Jones epsilon/k");
        double v[2];
        if (rd.numbers(v, 2, "dilute reducing values")) red[0] = v[0], red[1] = v[1];
        if (n[0] > kTermRows) rd.fail("more than 40 term rows");
        for (; rd.ok() && used < n[0]; ++used)
            rd.numbers(rows[static_cast<std::size_t>(used)].data(), 2, "dilute-gas term");
    }
    int rest = 0;
    for (int i = 1; i < 8; ++i) rest += n[static_cast<std::size_t>(i)];
    if (rd.ok() && rest > 0) {
        double v[3];
        if (rd.numbers(v, 3, "residual reducing values"))
            red[kTres] = v[0], red[kDres] = v[1], red[kEtaRes] = v[2];
        if (used + rest > kTermRows) rd.fail("more than 40 term rows");
        for (int i = 0; rd.ok() && i < rest; ++i, ++used) {
            double t[5];
            if (!rd.numbers(t, 5, "term")) break;
            for (int j = 0; j < 4; ++j)
                rows[static_cast<std::size_t>(used)][static_cast<std::size_t>(j)] = t[j];
            ints[static_cast<std::size_t>(used)] = static_cast<int>(std::lround(t[4]));
        }
    }
    rd.code(enhancement, "critical-enhancement model");
    rd.result(ierr, herr);
    if (ierr != 0) return;
    WLMETA.store(k, lim);
    HCMOD.eta[k] = pointer;
    WNTETA[k] = n;
    WRDETA[k] = red;
    WCFETA[k] = rows;
    WIFETA[k] = ints;
    if (n[0] > 0) {
        WLJETA[k] = lj;
        OMGMOD.set[kOmgEta][k] = omega;
    }
    CREMOD.set[kCreEta][k] = enhancement;
}

double ETA0HC(int icomp, double T, double D, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    for (const Pointer& p : kPointers)
        if (HCMOD.eta[icomp].is(p.code)) return p.eval(icomp, T, D) * p.factor;
    fail(49, "ETA0HC", "unknown viscosity model specified", ierr, herr);
    return 0.0;
}

double ETAH2O(int icomp, double T, double D) {
    const auto& n = WNTETA[icomp];
    const auto& red = WRDETA[icomp];
    const double tr = T / red[kTres], del = D / red[kDres];
    const double a = 1.0 / tr - 1.0, b = del - 1.0;
    int r = after_dilute(icomp) + n[1];
    double s = 0.0;
    for (int k = 0; k < n[2]; ++k, ++r) s += row(icomp, r) / std::pow(tr, row(icomp, r, 1));
    const double eta0 = std::sqrt(tr) / s;
    double s1 = 0.0;
    for (int k = 0; k < n[3]; ++k, ++r)
        s1 += row(icomp, r) * ipow(a, row(icomp, r, 1)) * ipow(b, row(icomp, r, 2));
    const double eta1 = std::exp(del * s1);
    double eta2 = 1.0;
    const Code& crit = CREMOD.set[kCreEta][icomp];
    if (crit.is("I85")) {
        if (n[4] > 0 && tr > 0.997 && tr < 1.0082 && del > 0.755 && del < 1.29) {
            double dpdd = 0.0;
            DPDDK(icomp, T, D, dpdd);
            const double chi = del / dpdd * row(icomp, r) / red[kDres];
            const double cb = row(icomp, r + 1), eb = row(icomp, r + 1, 1);
            eta2 = chi >= row(icomp, r + 1, 2) ? cb * std::pow(chi, eb) : 1.0;
        }
    } else if (crit.is("I08")) {
        eta2 = ETA_C2(D > 1e-12 ? XI_FUN(T, D, icomp) : 0.0);
    }
    return eta0 * eta1 * eta2 * red[kEtaRes];
}

double ETAR23(int icomp, double T, double D) {
    const int r = after_dilute(icomp);
    const double rhoL = row(icomp, r), c1 = row(icomp, r + 1), c2 = row(icomp, r + 2);
    const double dg = row(icomp, r + 3), etamax = row(icomp, r + 4);
    const double tred = WRDETA[icomp][kTres], dred = WRDETA[icomp][kDres];
    const double R = GCNST.r;
    return ETA1DG(icomp, T) * std::pow((rhoL - D) / rhoL, c1) +
           c2 * std::pow(D / rhoL, c1) * rhoL * rhoL / (rhoL - D) * std::sqrt(T) *
               std::exp(D / (rhoL - D) * dg / (R * T)) +
           4.0 * etamax /
               ((std::exp(D - dred) + std::exp(dred - D)) *
                (std::exp(T - tred) + std::exp(tred - T)));
}

double ETASF6(int, double T, double D) {
    const double tr = T / 318.7, r = 146.0554192 * D / 738.0;
    const double r2 = r * r, r3 = r2 * r, r4 = r3 * r, r5 = r4 * r;
    return (static_cast<double>(0.486f) + 17.075 * tr - 1.3976 * tr * tr) *
           std::exp(0.911990483 * r - 0.798662631 * r / tr - 3.62880599 * r2 +
                    5.48041104 * r2 / tr + 4.68880707 * r3 - 6.15316823 * r3 / tr -
                    2.04822413 * r4 + 2.58614144 * r4 / tr + 0.299289894 * r5 -
                    0.369541671 * r5 / tr);
}

double ETAETY(int icomp, double T, double D) {
    const double rho = g_cm3(icomp, D), th = (rho - 0.221) / 0.221;
    return (ethylene::viscosity_first_term(T, rho) +
            std::exp(-1824.1971308 / T - 4.8544486732) *
                (std::exp(std::pow(rho, 0.1) * (13.033585236 + 27808.928908 / std::pow(T, 1.5)) +
                          std::sqrt(rho) * th *
                              (1.5913024509 - 205.13573927 / T - 39478.454708 / (T * T))) -
                 1.0)) /
           10.0;
}

double ETANEO(int icomp, double T, double D) {
    const double M = CCON.wm[icomp];
    const double x = T / static_cast<double>(0.29944f);
    const double omega = 17.67484 - 2.78751 * std::log10(x) + 311498.7 / (x * x) -
                         static_cast<double>(4.88265e7f) / std::pow(x, 3) +
                         3.938774e9 / std::pow(x, 4) - 1.654629e11 / std::pow(x, 5) +
                         2.86561e12 / std::pow(x, 6);
    const double b = D * M / static_cast<double>(1673.0f);
    const double lg = std::log10(T / 122.1);
    const double sigma = (1.0301 - 0.99175 * b + 2.47127 * b * b - 3.11864 * std::pow(b, 3) +
                          1.57066 * std::pow(b, 4) -
                          lg * (0.48148 - 1.18732 * b + 2.80277 * b * b - 5.41058 * std::pow(b, 3) +
                                7.04779 * std::pow(b, 4) - 3.76608 * std::pow(b, 5))) *
                         3.05e-10;
    const double y = 1000.0 * D * std::pow(sigma, 3) * 1.2612895002341473e24;
    return (1.0 + 0.27676 * y + 0.014355 * y * y + 2.648 * std::pow(y, 3) -
            1.9643 * std::pow(y, 4) + 0.89161 * std::pow(y, 5)) *
           266.93 * std::sqrt(T * M) / (0.68321 * omega) / 100.0;
}

double ETAMEO(int, double T, double D) {
    const double rr = 32.04216 * D / 273.0, tr = T / 512.6, ts = T / 577.87, dm = 1000.0 * D;
    const double w = 1.0 / (1.0 + std::exp(5.0 * (rr - 1.0)));
    auto p = [](double v, int k) { return std::pow(v, k); };
    const double sigma =
        7.193438252520712e-10 *
        (-1.181909 + 0.503103 / tr - 0.6268461 / p(tr, 2) + 0.5169312 / p(tr, 3) -
         0.2351349 / p(tr, 4) + 0.053980235 / p(tr, 5) - 0.0049069617 / p(tr, 6) + 4.018368 * rr -
         4.23918 * p(rr, 2) + 2.24511 * p(rr, 3) - 0.5750698 * p(rr, 4) + 0.023021026 * p(rr, 5) +
         0.025696775 * p(rr, 6) - 0.0068372749 * p(rr, 7) + 0.00072707189 * p(rr, 8) -
         2.9255711e-5 * p(rr, 9));
    const double b = 3.7838230947319953e24 * p(sigma, 3) / 3.0;
    const double eta = b * dm / 4.0;
    const double g = (1.0 - eta / 2.0) / p(1.0 - eta, 3);
    const double omega = 1.16145 / std::pow(ts, 0.14874) + 0.52487 / std::exp(0.7732 * ts) +
                         2.16178 / std::exp(2.43787 * ts);
    const double eta0 = 2.3060999355293864e-6 * std::sqrt(T / 3.14159265) /
                        ((1.0 + 0.20930440800854552 * (0.10225 / std::pow(ts, 0.97346) +
                                                       0.10657 / std::exp(0.34528 * ts) -
                                                       0.44557 / std::exp(2.58055 * ts))) *
                         omega);
    const double beta =
        (-19.572881 + 219.73999 / std::pow(ts, 0.25) - 1015.3226 / std::pow(ts, 0.5) +
         2471.01251 / std::pow(ts, 0.75) - 3375.1717 / ts + 2491.6597 / std::pow(ts, 1.25) -
         787.26086 / std::pow(ts, 1.5) + 14.085455 / std::pow(ts, 2.5) -
         0.34664158 / std::pow(ts, 5.5)) *
        6.0221415e23 * 3.9582093312e-29 * dm;
    const double G = 1.0 + beta +
                     0.00186222085 * p(ts, 3) * std::exp(9.990338 / std::sqrt(ts)) *
                         5.681976432904111e-10 * dm * dm;
    const double H = 1.0 / g + 0.8 * b * dm + 0.761 * g * p(b * dm, 2);
    return (eta0 * G * w + eta0 * H * (1.0 - w)) * 1e6;
}

double ETAHE(int icomp, double T, double D) {
    double B = 1.0650386029634547, C = -1.631649377020949, Dd = 6.757418848875204,
           eta0 = 204.22488723403364;
    if (T <= 300.0) {
        const double L = std::log(T);
        B = 87.6799309 - 47.5295259 / L - 42.0741589 * L + 8.33128289 * L * L -
            0.589252385 * L * L * L;
        C = 547.309267 / L - 904.870586 + 431.404928 * L - 81.4504854 * L * L +
            5.37008433 * L * L * L;
        Dd = 3331.0863 - 1684.39324 / L - 1632.19172 * L + 308.804413 * L * L -
             20.2936367 * L * L * L;
        eta0 = std::exp(1.00347841 - 0.135311743 / L + 1.20654649 * L - 0.149564551 * L * L +
                        0.0125208416 * L * L * L);
    }
    const double rho = g_cm3(icomp, D);
    const double E = B * rho + C * rho * rho + Dd * rho * rho * rho;
    const double F = E <= 100.0 ? std::exp(E) : 2.6881171418161356e43;
    if (T <= 100.0) return F * eta0 / 10.0;
    double etah = 196.0 * std::pow(T, 0.71938) * std::exp(12.451 / T - 295.67 / (T * T) - 4.1249);
    if (T < 110.0) etah = eta0 + (T - 100.0) * (etah - eta0) / 10.0;
    return (etah + F * eta0 - eta0) / 10.0;
}

}  // namespace lib
