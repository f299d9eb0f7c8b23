#include "library/transport/enhancement.h"

#include <array>
#include <cmath>

#include "library/library.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/transport/blockreader.h"
#include "library/transport/etak.h"
#include "library/transport/records.h"

namespace lib {

namespace {

constexpr double kTiny = 1e-12;
constexpr double kExpMinus500 = 7.124576406741286e-218;

double col(int icomp, int r, int c) {
    return WCFTCK[icomp][static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
}
int icol(int icomp, int r, int c) {
    return WIFTCK[icomp][static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
}

// tau of a "TK1" reducing temperature: T/T_red, or -T_red/T for a negative one.
double reduced_t(double T, double tred) { return tred > 0.0 ? T / tred : -tred / T; }

double viscosity(int icomp, double T, double D) {
    double eta = 0.0;
    int ierr = 0;
    std::string herr;
    ETAK(icomp, T, D, eta, ierr, herr);
    return ierr > 0 ? 0.0 : eta;
}

}  // namespace

void SETTK1(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) {
        fail(39, "SETUP",
             "block data option for t.c. crit model #1 specified for CAS # " +
                 fixed_width(hcas, 12) + " but not implemented in code.",
             ierr, herr);
        return;
    }
    BlockReader rd(nread, "SETTK1");
    const std::array<double, 4> lim = rd.limits();
    std::array<int, 4> n{};
    if (rd.ints(n.data(), 4, "term counts") &&
        (n[0] < 0 || n[1] < 0 || n[2] < 0 || n[0] + n[1] + n[2] > kTermRows))
        rd.fail("term counts outside 0..40");
    std::array<double, 6> red{};
    Rows5 rows{};
    std::array<std::array<int, 6>, kTermRows> ints{};
    int r = 0;
    if (rd.ok() && n[0] + n[1] >= 1) {
        double v[3];
        if (rd.numbers(v, 3, "reducing values")) red[0] = v[0], red[1] = v[1], red[3] = v[2];
        for (; rd.ok() && r < n[0] + n[1]; ++r) {
            double t[6];
            if (!rd.numbers(t, 6, "polynomial term")) break;
            for (int j = 0; j < 5; ++j)
                rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(j)] = t[j];
            ints[static_cast<std::size_t>(r)][0] = static_cast<int>(std::lround(t[5]));
        }
    }
    if (rd.ok() && n[2] >= 1) {
        double v[2];
        if (rd.numbers(v, 2, "reducing values of the exponential part"))
            red[4] = v[0], red[5] = v[1];
        for (int i = 0; rd.ok() && i < n[2]; ++i, ++r) {
            double t[6];
            if (!rd.numbers(t, 6, "exponential term")) break;
            auto& row = rows[static_cast<std::size_t>(r)];
            row[0] = t[0];
            row[1] = t[1];
            row[2] = t[3];
            auto& iv = ints[static_cast<std::size_t>(r)];
            iv[2] = static_cast<int>(std::lround(t[2]));
            iv[3] = static_cast<int>(std::lround(t[4]));
            iv[0] = static_cast<int>(std::lround(t[5]));
        }
    }
    rd.result(ierr, herr);
    if (ierr != 0) return;
    WLMTCK.store(k, lim);
    WNTTCK[k] = n;
    WRDTCK[k] = red;
    WCFTCK[k] = rows;
    WIFTCK[k] = ints;
}

void SETTK4(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) {
        fail(101, "SETTK4",
             "illegal file specified for icomp =" + fmt_int(k, 3) +
                 "; n_fluid = " + fmt_int(nread, 4) + "; CAS no. = " + fixed_width(hcas, 12),
             ierr, herr);
        return;
    }
    BlockReader rd(nread, "SETTK4");
    const std::array<double, 4> lim = rd.limits();
    std::array<int, 4> n{};
    if (rd.ints(n.data(), 4, "term counts") && (n[0] < 0 || n[0] > kTermRows))
        rd.fail("number of terms outside 0..40");
    std::array<double, 6> red{};
    Rows5 rows{};
    if (rd.ok() && n[0] + n[1] > 0) {
        double v[4];
        if (rd.numbers(v, 4, "reducing values"))
            red[0] = v[0], red[2] = v[1], red[1] = v[2], red[3] = v[3];
        for (int i = 0; rd.ok() && i < n[0]; ++i)
            rd.number(rows[static_cast<std::size_t>(i)][0], "term");
    }
    rd.result(ierr, herr);
    if (ierr != 0) return;
    WLMTCK.store(k, lim);
    WNTTCK[k] = n;
    WRDTCK[k] = red;
    WCFTCK[k] = rows;
}

double TCX1CR(int icomp, double T, double D) {
    const auto& n = WNTTCK[icomp];
    const auto& red = WRDTCK[icomp];
    if (n[0] + n[1] < 1) return 0.0;
    const double tau = reduced_t(T, red[0]), del = D / red[1];
    auto density = [&](double e, double shift) {
        return std::fabs(del) <= kTiny && std::fabs(e) <= kTiny ? 1.0 : std::pow(del + shift, e);
    };
    double N = 0.0;
    for (int r = 0; r < n[0]; ++r)
        N += col(icomp, r, 0) * std::pow(tau + col(icomp, r, 1), col(icomp, r, 2)) *
             density(col(icomp, r, 4), col(icomp, r, 3));
    if (n[1] >= 1) {
        double Q = 0.0;
        for (int r = n[0]; r < n[0] + n[1]; ++r) {
            double s = tau + col(icomp, r, 1);
            if (icol(icomp, r, 0) == 99) {
                s = col(icomp, r, 1) - tau;
                if (s <= tau) s = tau;
            }
            Q += col(icomp, r, 0) * std::pow(s, col(icomp, r, 2)) *
                 density(col(icomp, r, 4), col(icomp, r, 3));
        }
        N /= Q;
    }
    if (n[2] >= 1) {
        const double tp = reduced_t(T, red[4]), dp = D / red[5];
        double G = 0.0;
        for (int r = n[0] + n[1]; r < n[0] + n[1] + n[2]; ++r) {
            const int i = icol(icomp, r, 2), j = icol(icomp, r, 3);
            const double dfac =
                std::fabs(dp) <= kTiny && j == 0 ? 1.0 : std::pow(dp + col(icomp, r, 2), j);
            G += col(icomp, r, 0) * std::pow(tp + col(icomp, r, 1), i) * dfac;
        }
        if (G < -500.0) return 0.0;
        N *= std::exp(G);
    }
    return N * red[3];
}

double TCX4CR(int icomp, double T, double D) {
    if (D < 1e-6) return 0.0;
    const auto& red = WRDTCK[icomp];
    const double tred = red[0], dred = red[1], pred = red[2];
    auto A = [&](int k) { return col(icomp, k - 1, 0); };
    double dpdd = 0.0, dpdt = 0.0;
    DPDDK(icomp, T, D, dpdd);
    DPDTK(icomp, T, D, dpdt);
    double chi = D * pred / (dred * dred * dpdd);
    if (chi >= 0.0) chi = std::pow(chi, A(3));
    const double num = chi * A(1) * A(2) / pred * std::pow(T * dpdt * dred / D, 2) * 1e21;
    const double dT = std::fabs(T - tred) / tred, drho = std::fabs(D - dred) / dred;
    const double arg = A(4) * dT * dT + A(5) * std::pow(drho, 4);
    const double f = arg > 500.0 ? kExpMinus500 : std::exp(-arg);
    const double eta = viscosity(icomp, T, D);
    if (!(eta > 0.0)) return 0.0;
    return f * num / (18.849555924 * A(6) * eta) * red[3];
}

double TCCNH3(int icomp, double T, double D) {
    const double dT = std::fabs(T - 405.4) / 405.4;
    const double B = (2.18 - 0.12 / std::exp(17.8 * dT)) * 1e5;
    double value = 0.0, C2 = 0.0;
    if (T <= 404.4 || T >= 406.5 || (D >= 9.6 && D <= 18.0)) {
        if (std::fabs(dT) < 1e-20) {
            value = 1e60;
            C2 = 1e40;
        }
    }
    if (C2 == 0.0) {
        double p1 = 0.00045006705141889335, p2 = 6.7213403604848695e-09, C = 40.808967159741755;
        if (T <= 404.4 || T >= 406.5 || (D >= 9.6 && D <= 18.0)) {
            p1 = std::pow(dT, 1.24);
            p2 = 1.34e-10 / std::pow(dT, 0.63);
            C = 16.5 * std::log(dT) + 143.35;
        }
        const double s = std::sqrt(dT);
        value = B * B * T * T * 1.656792e-23 * 4.23e-9 / p1 * (1.429 * s + 1.0) /
                ((s + 1.0) * p2 * (1.6 * dT + 2.6) * 1e-5 * static_cast<double>(18.84954f)) *
                std::exp(-36.0 * dT * dT);
        C2 = C * C;
    }
    // The published form: a Lorentzian in density of width X (C here), its
    // peak L_id at 0.96 rhoc, below 0.6 rhoc scaled by (rho/(0.6 rhoc))^2,
    // rhoc = 235 kg/m3.  Without the X^2 of its numerator the value was some
    // 1e-4 of it away from X = 0 (410 K, 13.8 mol/L: 2.5e-5 against 0.121
    // W/(m K)) and a narrow peak at X = 0 (405.468 K); the total at 310 K,
    // 34.32 mol/L, 0.452233 W/(m K), needs the X^2.
    constexpr double kRhocPublished = 235.0;  // kg/m3, the correlation's critical density
    const double rhom = D * CCON.wm[icomp];
    if (rhom < 0.6 * kRhocPublished)
        return rhom * rhom * value * C2 / (C2 + 7157.159999999999) / 19881.0;
    return value * C2 / ((rhom - 225.6) * (rhom - 225.6) + C2);
}

double TCCCH4(int icomp, double T, double D) {
    double dpdt = 0.0, dpdd = 0.0;
    DPDTK(icomp, T, D, dpdt);
    DPDDK(icomp, T, D, dpdd);
    const double eta = viscosity(icomp, T, D);
    if (!(eta > 0.0)) return 0.0;
    const double tc = CCON.tc[icomp], dc = CCON.dc[icomp], R = GCNST.r;
    const double F = std::fabs(D) <= 1e-12 ? 1.0 : std::pow(dpdt / R / D, 2);
    const double X = (D / dc) * 0.28631 * (tc / T) / (dpdd / (R * T));
    const double G = X >= 0.0 ? std::pow(X, 0.4681) : 219.0281828068455;
    const double drho = (dc - D) / dc;
    const double E = std::exp(
        -(2.678 * drho * drho + 2.646 * std::sqrt(std::fabs((tc - T) / tc)) - 0.637 * drho));
    return F * (91.855 / eta) / std::pow(tc / T, 2) * G * E * 0.001;
}

}  // namespace lib
