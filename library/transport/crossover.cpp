#include "library/transport/crossover.h"

#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/transport/blockreader.h"
#include "library/transport/etak.h"
#include "library/transport/records.h"
#include "library/transport/trnecs.h"
#include "library/transport/water.h"

namespace lib {

namespace {

constexpr double kAvogadro = 6.0221367e23;
constexpr double kDefaultQdInv = 5e-10;  // m

// The crossover terms of one component or of a mixture.
struct Crossover {
    double nu = 0.63, gamma = 1.239, R0 = 1.03, xi0 = 1.94e-10, Gamma0 = 0.0496;
    double qd = 1.0 / kDefaultQdInv;  // 1/m
    double tref = 0.0;                // K
};

Crossover from_rows(const Rows5& rows) {
    auto a = [&](int r) { return rows[static_cast<std::size_t>(r)][0]; };
    Crossover c;
    c.nu = a(kXoNu);
    c.gamma = a(kXoGamma);
    c.R0 = a(kXoR0);
    c.xi0 = a(kXoXi0);
    c.Gamma0 = a(kXoGamma0);
    c.qd = 1.0 / a(kXoQdInv);
    c.tref = a(kXoTref);
    return c;
}

// The terms slot i uses in TCXM1C: its "TK3" terms, else its "TK6" terms
// (a cutoff length <= 0 replaced by the default and written back), else the
// defaults with T_ref = 1.5 Tc.
Crossover terms_of(int i) {
    if (CREMOD.set[kCreTcx][i].is("TK3")) return from_rows(WCFTCK[i]);
    if (CREMOD.set[kCreEcs][i].is("TK6")) {
        double& qinv = WCFTCKE[i][kXoQdInv][0];
        if (!(qinv > 0.0)) qinv = kDefaultQdInv;
        return from_rows(WCFTCKE[i]);
    }
    Crossover c;
    c.tref = 1.5 * CCON.tc[i];
    return c;
}

struct PiConstants {
    double inv_pi, two_over_pi;
};
constexpr PiConstants kPiTk3{0.318309886183791, 0.636619772367582};
constexpr PiConstants kPiM1c{0.31830988614222805, 0.6366197722844561};

// lambda_c of the shared crossover expression, W/(m K).
double enhancement(const Crossover& c, double T, double D, double Dc, double cp, double cv,
                   double eta, double xi, double R, const PiConstants& pi) {
    const double y = c.qd * xi;
    const double omega = pi.two_over_pi * (((cp - cv) / cp) * std::atan(y) + (cv / cp) * y);
    const double t = y * Dc / D;
    const double omega0 = pi.two_over_pi * (1.0 - std::exp(-1.0 / (1.0 / y + t * t / 3.0)));
    const double kb = R / kAvogadro;
    return 1e9 * D * cp * c.R0 * kb * T * pi.inv_pi / (6.0 * eta * xi) * (omega - omega0);
}

// Correlation length from the two susceptibilities; 0 when Delta chi <= 0.
double correlation_length(const Crossover& c, double T, double D, double pc, double dc, double dpdd,
                          double dpdd_ref) {
    if (!(dpdd > 0.0) || !(dpdd_ref > 0.0)) return 0.0;
    const double chi = pc / (dc * dc) * D / dpdd;
    const double chi_ref = pc / (dc * dc) * D / dpdd_ref * c.tref / T;
    const double dchi = chi - chi_ref;
    if (!(dchi > 0.0)) return 0.0;
    return c.xi0 * std::pow(dchi / c.Gamma0, c.nu / c.gamma);
}

// Below the stated critical point of some equations lies their own (r13:
// 303.05 K against 301.88 K, heptane 541.23 K against 540.13 K): between the
// two, at the critical density, dP/dD < 0, and on the spinodal where it
// passes 0 the susceptibility and cp diverge.  The enhancement was 0 there
// and jumped at the spinodal (r13 at 5.58 mol/L: 0.02745 W/(m K) at
// 302.99 K, 0.05491 at 303.07 K).  For such an equation dP/dD enters the
// susceptibility and cp no lower than its magnitude at the stated critical
// point: continuous, and bounded where the equation has no stable state.
// Equations whose own critical point is the stated one have no floor (a
// reduced dP/dD at the stated point below kFloorThreshold is rounding).
constexpr double kFloorThreshold = 1e-6;

double compressibility_floor(int icomp) {
    double dpdd_c = 0.0;
    const double tc = CCON.tc[icomp], dc = CCON.dc[icomp];
    DPDDK(icomp, tc, dc, dpdd_c);
    const double reduced = -dpdd_c * dc / (CCON.rgas[icomp] * tc);
    return reduced > kFloorThreshold && std::isfinite(reduced) ? -dpdd_c : 0.0;
}

// dP/dD and cp of slot icomp at (T, D) as the enhancement takes them (see
// above): cp - cv = T (dP/dT)^2 / (D^2 dP/dD) follows the bounded dP/dD.
void bounded_derivatives(int icomp, double& dpdd, double cv, double& cp) {
    const double floor = compressibility_floor(icomp);
    if (!(dpdd < floor)) return;
    cp = cv + (cp - cv) * dpdd / floor;
    dpdd = floor;
}

// Both crossover loaders read the same layout; "TK3" keeps everything, "TK6"
// only the terms.
void load_crossover(const char* routine, int model, bool keep_all, int nread, int k,
                    const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) {
        fail(39, "SETUP",
             "block data option for t.c. crit model #" + std::to_string(model) +
                 " specified for CAS # " + fixed_width(hcas, 12) + " but not implemented in code.",
             ierr, herr);
        return;
    }
    BlockReader rd(nread, routine);
    const std::array<double, 4> lim = rd.limits();
    std::array<int, 4> n{};
    rd.ints(n.data(), 4, "term counts");
    if (rd.ok() && (n[0] < 0 || n[0] > kTermRows)) rd.fail("number of terms outside 0..40");
    std::array<double, 3> red{};
    if (rd.ok() && n[0] + n[1] > 0) rd.numbers(red.data(), 3, "reducing values");
    Rows5 rows{};
    for (int i = 0; i < n[0] && rd.ok(); ++i)
        rd.number(rows[static_cast<std::size_t>(i)][0], "term");
    if (rd.ok() && n[0] < kXoRows) rd.fail("a crossover block needs its nine terms");
    rd.result(ierr, herr);
    if (ierr != 0) return;
    if (!keep_all) {
        WCFTCKE[k] = rows;
        return;
    }
    WLMTCK.store(k, lim);
    WNTTCK[k] = n;
    WRDTCK[k] = {red[0], red[1], 0.0, red[2], 0.0, 0.0};
    WCFTCK[k] = rows;
}

}  // namespace

void SETTK3(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    load_crossover("SETTK3", 3, true, nread, k, hcas, ierr, herr);
}

void SETTK6(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    load_crossover("SETTK6", 6, false, nread, k, hcas, ierr, herr);
}

double TCX3CR(int icomp, double T, double D) {
    bool no_viscosity = false;
    return tcx3cr_checked(icomp, T, D, no_viscosity);
}

double tcx3cr_checked(int icomp, double T, double D, bool& no_viscosity) {
    no_viscosity = false;
    const Crossover c = from_rows(WCFTCK[icomp]);
    if (D < 1e-6 || T > c.tref) return 0.0;
    // Water: the enhancement of its conductivity correlation, with the
    // block's cutoff only.
    if (trim_right(CCAS[icomp]) == "7732-18-5") return TCCR_2010(icomp, T, D, c.qd);
    const double pc = CCON.pc[icomp], dc = CCON.dc[icomp], R = GCNST.r;
    double dpdd = 0.0, dpdd_ref = 0.0;
    DPDDK(icomp, T, D, dpdd);
    DPDDK(icomp, c.tref, D, dpdd_ref);
    double cv = 0.0, cp = 0.0;
    CVCPK(icomp, T, D, cv, cp);
    bounded_derivatives(icomp, dpdd, cv, cp);
    const double xi = correlation_length(c, T, D, pc, dc, dpdd, dpdd_ref);
    if (!(xi > 0.0)) return 0.0;
    double eta = 0.0;
    int jerr = 0;
    std::string jtext;
    ETAK(icomp, T, D, eta, jerr, jtext);
    if (jerr > 0) {
        // No viscosity of its own here: the corresponding-states estimate.
        double x[20] = {1.0};
        double tcx = 0.0;
        TRNECS(T, D, x, eta, tcx, jerr, jtext);
        no_viscosity = !(eta > 1e-16);
    }
    if (!(eta > 1e-16) || !(cp > 0.0)) return 0.0;
    return enhancement(c, T, D, dc, cp, cv, eta, xi, R, kPiTk3) * WRDTCK[icomp][3];
}

double TCXM1C(const double x[20], double T, double D, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    if (D < 1e-6) return 0.0;
    const int icomp = ISPURE(x);
    double tc = 0.0, pc = 0.0, dc = 0.0, dpdd = 0.0, dpdd_ref = 0.0, cv = 0.0, cp = 0.0, R = 0.0;
    Crossover c;
    if (icomp != 0) {
        tc = CCON.tc[icomp];
        pc = CCON.pc[icomp];
        dc = CCON.dc[icomp];
        if (std::fabs(T - tc) < 1e-20 && std::fabs(D - dc) < 1e-20) {
            fail(-60,
                 errtext("TCXM1C", "error-60", "",
                         "pure fluid is exactly at the critical point; thermal conductivity "
                         "is infinite"),
                 ierr, herr);
        }
        c = terms_of(icomp);
        R = GCNST.r;
        DPDDK(icomp, T, D, dpdd);
        DPDDK(icomp, c.tref, D, dpdd_ref);
        CVCPK(icomp, T, D, cv, cp);
        bounded_derivatives(icomp, dpdd, cv, cp);
    } else {
        c = Crossover{0, 0, 0, 0, 0, 0, 0};
        for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) {
            const double xi = x[i - 1];
            if (!(xi > 0.0)) continue;
            const Crossover ci = terms_of(i);
            c.nu += xi * ci.nu;
            c.gamma += xi * ci.gamma;
            c.R0 += xi * ci.R0;
            c.xi0 += xi * ci.xi0;
            c.Gamma0 += xi * ci.Gamma0;
            c.qd += xi * ci.qd;
            c.tref += xi * ci.tref;
            R += xi * CCON.rgas[i];
        }
        int jerr = 0;
        std::string jtext;
        CRITP(x, tc, pc, dc, jerr, jtext);
        if (jerr > 0) return 0.0;  // no critical point: no enhancement
        DPDD(T, D, x, dpdd);
        DPDD(c.tref, D, x, dpdd_ref);
        CVCP(T, D, x, cv, cp);
    }
    const double xi = correlation_length(c, T, D, pc, dc, dpdd, dpdd_ref);
    if (!(xi > 0.0) || !(cp > 0.0)) return 0.0;
    double eta = CRTENH.v[3];
    if (icomp != 0 && !TRNMOD.eta[icomp].is("ECS")) {
        int jerr = 0;
        std::string jtext;
        ETAK(icomp, T, D, eta, jerr, jtext);
        if (jerr > 0) eta = 0.0;
    }
    if (!(eta > 1e-16)) return 0.0;
    return enhancement(c, T, D, dc, cp, cv, eta, xi, R, kPiM1c);
}

}  // namespace lib
