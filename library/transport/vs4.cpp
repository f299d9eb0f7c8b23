#include "library/transport/vs4.h"

#include <array>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/phik.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "library/transport/blockreader.h"
#include "library/transport/omega.h"
#include "library/transport/records.h"

namespace lib {

namespace {

constexpr double kRbar = 0.08314472;  // L bar/(mol K)
enum Red { kTdil = 0, kEtaDil = 1 };

double power(double x, double e) { return e == 0.0 ? 1.0 : std::pow(x, e); }

// Pressure (kPa) and dP/dT (kPa/K) of slot icomp at (T, D).
void pressure(int icomp, double T, double D, double& p, double& dpdt) {
    double tred = 0.0, dred = 0.0;
    REDK(icomp, tred, dred);
    const double tau = tred / T, del = D / dred, R = CCON.rgas[icomp];
    const double r01 = PHIK(icomp, 0, 1, tau, del), r11 = PHIK(icomp, 1, 1, tau, del);
    p = D * R * T * (1.0 + r01);
    dpdt = D * R * (1.0 + r01 - r11);
}

// The friction sum of the general form at (T, rho) with pressure ps (bar).
struct Friction {
    double gamma, psi1, psi2, psi3;
    bool newer, cubic;
    std::array<std::array<double, 5>, kFtLines> k;
    double kappa(int line, double gpow) const {
        const auto& c = k[static_cast<std::size_t>(line)];
        double v = c[0] + c[1] * psi1 + c[2] * psi2;
        if (newer) v += c[3] * psi3;
        return v * std::pow(gamma, gpow);
    }
    double sum(int icomp, double T, double rho, double ps) const {
        double p = 0.0, dpdt = 0.0;
        pressure(icomp, T, rho, p, dpdt);
        const double pr = T * dpdt / 100.0, pa = ps - pr, pid = rho * kRbar * T, dl = pr - pid;
        const auto& D = k[kFtD];
        double F = D[0] * pr * pr * pr * gamma * gamma + kappa(kFta, 1) * pa + kappa(kFtb, 1) * dl +
                   kappa(kFtc, 1) * pid + kappa(kFtA, 3) * pa * pa + kappa(kFtB, 3) * dl * dl +
                   kappa(kFtC, 3) * pid * pid;
        if (cubic) {
            const auto& E = k[kFtE];
            F += (D[0] + D[1] * psi1 + D[2] * psi2 + D[3] * psi3) * pr * pr * pr *
                     std::pow(gamma, D[4]) +
                 (E[0] + E[1] * psi1 + E[2] * psi2) * pa * pa * pa * std::pow(gamma, E[4]);
        }
        return F;
    }
};

bool is_hydrogen(int icomp, double& cq) {
    const std::string cas(trim_right(CCAS[icomp]));
    if (cas == "1333-74-0") {
        cq = 9.750655931493327e-11;
        return true;
    }
    if (cas == "1333-74-0p") {
        cq = 3.847822062975274e-09;
        return true;
    }
    return false;
}

double hydrogen_form(int icomp, double T, double D, double cq) {
    double p = 0.0, dpdt = 0.0;
    pressure(icomp, T, D, p, dpdt);
    p /= 100.0;
    const auto& k = TRNFT[icomp];
    const double tr = T / CCON.tc[icomp], g = 1.0 / tr - 1.0;
    const double psi1 = std::exp(g) - 1.0, psi2 = std::exp(1.0 / (tr * tr) - 1.0) - 1.0,
                 psi3 = std::exp(1.0 / (tr * tr * tr) - 1.0) - 1.0;
    auto f = [&](int line) {
        const auto& c = k[static_cast<std::size_t>(line)];
        return c[0] + c[1] * psi1 + c[2] * psi2 + c[3] * psi3 + c[4] * g;
    };
    auto f32 = [](float v) { return static_cast<double>(v); };
    const double kq = cq * psi2 / (tr * tr * tr);
    const double t = T / 30.41;
    const double shs = f32(0.925f) * 2.97e-10 *
                       (1.0 + f32(0.4378142f) * t + f32(0.009951898f) * t * t) /
                       (1.0 + f32(0.4745558f) * t + f32(0.01338717f) * t * t);
    const double y = 1000.0 * D * 0.5235987755982984 * 6.02214179e23 * shs * shs * shs;
    const double lambda = 6.62606896e-34 / std::sqrt(2.903543832540453e-49 * T);
    const double prt = D * kRbar * T;
    const double phs = prt * ((1.0 + y + y * y - y * y * y) / std::pow(1.0 - y, 3) +
                              ((1.0 + y - 0.5 * y * y) * lambda * y * 4.242640687119286) /
                                  (std::pow(1.0 - y, 4) * 100.0 * shs));
    const double dp = p - phs;
    return kq * dp * dp * dp + f(kFtA) / tr * dp * dp + f(kFtB) / tr * phs * phs +
           f(kFtb) / tr * (phs - prt) + f(kFta) / tr * dp +
           f(kFtD) / (tr * tr * tr) * phs * phs * phs;
}

// Selects component icomp for the saturation call and restores the previous
// selection on every exit.
class Selection {
public:
    explicit Selection(int icomp) : saved_(NCOMP.ic) {
        if (NCOMP.nc > 1 || icomp != 1) {
            PUREFLD(icomp);
            changed_ = true;
        }
    }
    ~Selection() {
        if (changed_) PUREFLD(saved_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    int saved_;
    bool changed_ = false;
};

}  // namespace

void SETVS4(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) return illegal_text("SETVS4", nread, hcas, ierr, herr);
    BlockReader rd(nread, "SETVS4");
    const std::array<double, 4> lim = rd.limits();
    std::array<int, 13> n{};
    std::array<double, 7> red{};
    std::array<double, 2> lj{};
    Code omega("NUL"), enhancement("NUL");
    Rows4 rows{};
    std::string_view line;
    if (rd.line(line, "term counts")) {
        int c[6] = {0, 0, 0, 0, 0, 0};
        const int got = read_ints(line, c, 6);
        if (got < 1) rd.fail("expected the number of dilute-gas terms");
        n[0] = c[0];
        for (int i = 1; i < got; ++i) n[static_cast<std::size_t>(7 + i)] = c[i];
    }
    int total = n[0];
    for (int i = 8; i < 13; ++i) total += n[static_cast<std::size_t>(i)];
    for (int v : n)
        if (v < 0) rd.fail("negative term count");
    int used = 0;
    if (rd.ok() && n[0] > 0) {
        rd.code(omega, "collision-integral model");
        rd.number(lj[0], "Lennard-Jones sigma");
        rd.number(lj[1], "Lennard-Jones epsilon/k");
        double v[2];
        if (rd.numbers(v, 2, "dilute reducing values")) red[kTdil] = v[0], red[kEtaDil] = v[1];
        if (total > kTermRows) rd.fail("more than 40 term rows");
        for (; rd.ok() && used < total; ++used)
            rd.numbers(rows[static_cast<std::size_t>(used)].data(), 2, "dilute-gas term");
    }
    if (rd.count(n[1], 0, kTermRows, "number of initial-density terms") && n[1] > 0) {
        double v[2];
        if (rd.numbers(v, 2, "initial-density reducing values")) red[2] = v[0], red[3] = v[1];
        if (used + n[1] > kTermRows) rd.fail("more than 40 term rows");
        for (int i = 0; rd.ok() && i < n[1]; ++i, ++used)
            rd.numbers(rows[static_cast<std::size_t>(used)].data(), 2, "initial-density term");
    }
    std::array<std::array<double, 5>, kFtLines> ft{};
    const bool newer = VERS[k] > 8.0;
    for (int l = kFta; l <= kFtD && rd.ok(); ++l)
        rd.numbers(ft[static_cast<std::size_t>(l)].data(), newer ? 5 : 3, "friction coefficients");
    if (rd.ok() && VERS[k] >= 9.0) rd.numbers(ft[kFtE].data(), 5, "friction coefficients E");
    rd.code(enhancement, "critical-enhancement model");
    rd.result(ierr, herr);
    if (ierr != 0) return;
    WLMETA.store(k, lim);
    WNTETA[k] = n;
    WRDETA[k] = red;
    WCFETA[k] = rows;
    if (n[0] > 0) {
        WLJETA[k] = lj;
        OMGMOD.set[kOmgEta][k] = omega;
    }
    TRNFT[k] = ft;
    CREMOD.set[kCreEta][k] = enhancement;
}

double ETA4DG(int icomp, double T) {
    const auto& n = WNTETA[icomp];
    if (n[0] < 1 || !(T < 1e8)) return 0.0;
    const auto& rows = WCFETA[icomp];
    const auto& red = WRDETA[icomp];
    const double tr = T / red[kTdil], sigma = WLJETA[icomp][0];
    double eta = rows[0][0] * std::sqrt(tr) /
                 (sigma * sigma * OMEGA(icomp, T, WLJETA[icomp][1], OMGMOD.set[kOmgEta][icomp]));
    int r = 1;
    for (; r < n[0]; ++r)
        eta +=
            rows[static_cast<std::size_t>(r)][0] * power(tr, rows[static_cast<std::size_t>(r)][1]);
    auto group = [&](int count) {
        double s = 0.0;
        for (int i = 0; i < count; ++i, ++r)
            s += rows[static_cast<std::size_t>(r)][0] *
                 power(tr, rows[static_cast<std::size_t>(r)][1]);
        return s;
    };
    if (n[8] > 0) eta *= group(n[8]);
    if (n[9] > 0) eta /= group(n[9]);
    return eta * red[kEtaDil];
}

double ETA4RS(int icomp, double T, double D) {
    if (D < 1e-10) return 0.0;
    double cq = 0.0;
    if (is_hydrogen(icomp, cq)) return hydrogen_form(icomp, T, D, cq);
    const double tc = CCON.tc[icomp];
    Friction fr;
    fr.gamma = tc / T;
    fr.psi1 = std::exp(fr.gamma) - 1.0;
    fr.psi2 = std::exp(fr.gamma * fr.gamma) - 1.0;
    fr.psi3 = std::pow(fr.gamma, -0.25);
    fr.newer = VERS[icomp] > 8.0;
    fr.cubic = fr.newer && std::string(trim_right(CCAS[icomp])) != "74-82-8";
    fr.k = TRNFT[icomp];
    double p = 0.0, dpdt = 0.0;
    pressure(icomp, T, D, p, dpdt);
    double F = 0.0;
    bool two_phase = false;
    if (T <= tc && icomp >= 1 && icomp <= NCOMP.nc) {
        // Inside the dome the friction sum is linear in D between the
        // saturated states; a failed saturation call leaves the state
        // single-phase.
        Selection sel(icomp);
        double x[20] = {};
        x[icomp - 1] = 1.0;
        double Ps = 0.0, Dl = 0.0, Dv = 0.0, xl[20], xv[20];
        int ierr = 0;
        std::string herr;
        SATT(T, x, kBubblePoint, Ps, Dl, Dv, xl, xv, ierr, herr);
        if (ierr <= 0 && Dv > 0.0 && Dv < D && D < Dl) {
            const double Fl = fr.sum(icomp, T, Dl, Ps / 100.0),
                         Fv = fr.sum(icomp, T, Dv, Ps / 100.0);
            F = Fl - (Fl - Fv) * (Dl - D) / (Dl - Dv);
            two_phase = true;
        }
    }
    if (!two_phase) F = fr.sum(icomp, T, D, p / 100.0);
    return F * 1000.0;
}

}  // namespace lib
