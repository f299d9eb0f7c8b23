#include "library/models/ancillary.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/models/termsection.h"
#include "library/setup/common.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace lib {

namespace {

enum Kind { kPS = 0, kDL = 1, kDV = 2, kPL = 4 };

// The records and texts of one kind of ancillary equation.
struct KindInfo {
    const char* letters;  // first two characters of its codes
    AncLimRecord& lim;
    AncRedRecord& red;
    AncCountRecord& cnt;
    TermCoefRecord<kAncTerms>& cf;
    KindModRecord& mod;
    bool pressure;        // value in kPa (else mol/L)
    const char* unknown;  // text of error 100
    const char* missing;  // text of error 2
};

KindInfo& info(Kind k) {
    static KindInfo ps{"PS",
                       WLMPS,
                       WRDPS,
                       WNTPS,
                       WCFPS,
                       PSMOD,
                       true,
                       "unknown vapor pressure equation:  (",
                       "vapor pressure equation not available"};
    static KindInfo pl{"PL",
                       WLMPL,
                       WRDPL,
                       WNTPL,
                       WCFPL,
                       PLMOD,
                       true,
                       "unknown liquid pressure equation:  (",
                       "vapor pressure equation not available"};
    static KindInfo dl{"DL",
                       WLMDL,
                       WRDDL,
                       WNTDL,
                       WCFDL,
                       DLMOD,
                       false,
                       "unknown saturated liquid density equation:  (",
                       "liquid density equation not available"};
    static KindInfo dv{"DV",
                       WLMDV,
                       WRDDV,
                       WNTDV,
                       WCFDV,
                       DVMOD,
                       false,
                       "unknown saturated vapor density equation:  (",
                       "vapor density equation not available"};
    switch (k) {
        case kPS: return ps;
        case kPL: return pl;
        case kDL: return dl;
        default: return dv;
    }
}

// Reads one section body into slot icomp of the kind's records.
void load(Kind k, const char* routine, int nread, int icomp, int& ierr, std::string& herr) {
    KindInfo& ki = info(k);
    load_term_section(
        {ki.lim, ki.red, ki.cnt, ki.cf.a[icomp].data(), ki.cf.t[icomp].data(), kAncTerms, 1},
        routine, nread, icomp, ierr, herr);
}

// The form digit of a code of the kind: 1..6, or 0 when the code is not an
// equation of this kind (digits 7..9 have no form).
int form_of(const KindInfo& ki, const Code& code) {
    if (code.c[0] != ki.letters[0] || code.c[1] != ki.letters[1]) return 0;
    const char d = code.c[2];
    if (d < '1' || d > '6') return 0;
    return d - '0';
}

// theta = |1 - T/Tr|, replaced by its square root (pressures) or cube root
// (densities) for the even forms.
double theta_of(const KindInfo& ki, int form, double T, double tr) {
    double th = std::fabs(1.0 - T / tr);
    if (form % 2 == 0) th = ki.pressure ? std::sqrt(th) : std::pow(th, 1.0 / 3.0);
    return th;
}

double term_sum(const KindInfo& ki, int icomp, double th) {
    const int n = std::min(ki.cnt.n[icomp][0], kAncTerms);
    double s = 0.0;
    for (int j = 0; j < n; ++j)
        s += ki.cf.a[icomp][static_cast<std::size_t>(j)] *
             std::pow(th, ki.cf.t[icomp][static_cast<std::size_t>(j)]);
    return s;
}

double lower_value(const KindInfo& ki, int icomp) {
    return ki.pressure ? CCON.ptp[icomp] : CCON.dtp[icomp];
}
double crit_value(const KindInfo& ki, int icomp) {
    return ki.pressure ? CCON.pc[icomp] : CCON.dc[icomp];
}

// Tests shared by every evaluator: limits, then the code.  Returns the form
// digit (> 0) when the equation is to be evaluated; otherwise value, ierr
// and herr hold the result of the failed test.
int check(const KindInfo& ki, const char* routine, int icomp, double T, double& value, int& ierr,
          std::string& herr) {
    value = 0.0;
    ierr = 0;
    herr.clear();
    if (T < ki.lim.tlow[icomp] || T <= 0.0) {
        value = lower_value(ki, icomp);
        fail(1, routine,
             "temperature less than triple point temperature; T =" + fmt_g(T, 12, 5) +
                 " K, Ttp =" + fmt_g(ki.lim.tlow[icomp], 12, 5) + " K.",
             ierr, herr);
        return 0;
    }
    if (T > CCON.tc[icomp]) {
        value = crit_value(ki, icomp);
        fail(121, routine,
             "temperature greater than critical temperature; T =" + fmt_g(T, 12, 5) +
                 " K, Tc =" + fmt_g(CCON.tc[icomp], 12, 5) + " K.",
             ierr, herr);
        return 0;
    }
    const Code& code = ki.mod.slot[icomp];
    const int form = form_of(ki, code);
    if (form > 0 && ki.red.tred[icomp] > 0.0) return form;
    if (code.is("QVB")) {
        value = crit_value(ki, icomp);
        fail(2, routine, ki.missing, ierr, herr);
    } else {
        const std::string c = code.empty_code() ? std::string("   ") : code.str();
        fail(100, routine, std::string(ki.unknown) + c + ")", ierr, herr);
    }
    return 0;
}

void evaluate(Kind k, const char* routine, int icomp, double T, double& value, int& ierr,
              std::string& herr) {
    const KindInfo& ki = info(k);
    const int form = check(ki, routine, icomp, T, value, ierr, herr);
    if (form == 0) return;
    const double tr = ki.red.tred[icomp];
    const double xr = ki.red.xred[icomp];
    const double s = term_sum(ki, icomp, theta_of(ki, form, T, tr));
    if (form <= 2)
        value = xr * (1.0 + s);
    else if (form <= 4)
        value = xr * std::exp(s);
    else
        value = xr * std::exp(tr / T * s);
}

// First (order 1) or second (order 2) temperature derivative of the PS
// equation, exact on both sides of its reducing temperature.
void ps_derivative(int order, const char* routine, int icomp, double T, double& value, int& ierr,
                   std::string& herr) {
    const KindInfo& ki = info(kPS);
    const int form = check(ki, routine, icomp, T, value, ierr, herr);
    if (form == 0) return;
    const double tr = ki.red.tred[icomp];
    const double pr = ki.red.xred[icomp];
    const double u =
        std::max(std::fabs(1.0 - T / tr), 1.0e-14);  // kept off 0 for the negative powers
    const double du = (T <= tr ? -1.0 : 1.0) / tr;   // d|1 - T/Tr|/dT
    const double e = form % 2 == 0 ? 0.5 : 1.0;      // theta = u^e
    const int n = std::min(ki.cnt.n[icomp][0], kAncTerms);
    double s = 0.0, s1 = 0.0, s2 = 0.0;
    for (int j = 0; j < n; ++j) {
        const double a = ki.cf.a[icomp][static_cast<std::size_t>(j)];
        const double p = e * ki.cf.t[icomp][static_cast<std::size_t>(j)];  // S = sum a u^p
        s += a * std::pow(u, p);
        if (p != 0.0) s1 += a * p * std::pow(u, p - 1.0) * du;
        if (p != 0.0 && p != 1.0) s2 += a * p * (p - 1.0) * std::pow(u, p - 2.0) * du * du;
    }
    if (form <= 2) {
        value = pr * (order == 1 ? s1 : s2);
    } else if (form <= 4) {
        const double ex = pr * std::exp(s);
        value = order == 1 ? ex * s1 : ex * (s1 * s1 + s2);
    } else {
        const double f = tr * s / T;
        const double f1 = (tr / T) * (s1 - s / T);
        const double f2 = (tr / T) * s2 - 2.0 * tr * s1 / (T * T) + 2.0 * tr * s / (T * T * T);
        const double ex = pr * std::exp(f);
        value = order == 1 ? ex * f1 : ex * (f1 * f1 + f2);
    }
}

using Evaluator = void (*)(int, double, double&, int&, std::string&);

// Value of the kind for composition x: the slot's own for a pure fluid, else
// the mole-fraction-weighted sum over the components.  The first failure of
// a component present in the mixture is reported.
void for_composition(Evaluator f, double T, const double x[20], double& value, int& ierr,
                     std::string& herr) {
    ierr = 0;
    herr.clear();
    value = 0.0;
    const int ic = ISPURE(x);
    if (ic != 0) {
        f(ic, T, value, ierr, herr);
        return;
    }
    double sum = 0.0;
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) {
        double v = 0.0;
        int ie = 0;
        std::string he;
        f(i, T, v, ie, he);
        sum += x[i - 1] * v;
        if (ie != 0 && ierr == 0 && x[i - 1] != 0.0) {
            ierr = ie;
            herr = he;
        }
    }
    value = sum;
}

// Inverse for pressure of the PS (kind 0) or PL (kind 4) equation.
void tsat_pressure(Kind k, const char* routine, double P, const double x[20], double& T, int& ierr,
                   std::string& herr) {
    ierr = 0;
    herr.clear();
    const int ic = ISPURE(x);
    if (ic != 0) {
        const KindInfo& ki = info(k);
        if (ki.mod.slot[ic].is("QVB")) {
            T = CCON.tc[ic];
            return fail(2, routine, ki.missing, ierr, herr);
        }
        if (P < CCON.ptp[ic]) {
            T = CCON.ttp[ic];
            return fail(1, routine,
                        "pressure less than triple point pressure; P =" + fmt_g(P / 1000.0, 12, 5) +
                            " MPa, Ptp =" + fmt_g(CCON.ptp[ic] / 1000.0, 12, 5) + " MPa.",
                        ierr, herr);
        }
        if (P > CCON.pc[ic]) {
            T = CCON.tc[ic];
            return fail(141, routine,
                        "pressure greater than critical pressure; P =" + fmt_g(P / 1000.0, 12, 5) +
                            " MPa, Pc =" + fmt_g(CCON.pc[ic] / 1000.0, 12, 5) + " MPa.",
                        ierr, herr);
        }
    }
    SOLVEA(k, P, x, T, ierr, herr);
}

}  // namespace

void SETPS(int nread, int icomp, int& ierr, std::string& herr) {
    load(kPS, "SETPS", nread, icomp, ierr, herr);
}
void SETPL(int nread, int icomp, int& ierr, std::string& herr) {
    load(kPL, "SETPL", nread, icomp, ierr, herr);
}
void SETDL(int nread, int icomp, int& ierr, std::string& herr) {
    load(kDL, "SETDL", nread, icomp, ierr, herr);
}
void SETDV(int nread, int icomp, int& ierr, std::string& herr) {
    load(kDV, "SETDV", nread, icomp, ierr, herr);
}

void PSATK(int icomp, double T, double& P, int& ierr, std::string& herr) {
    evaluate(kPS, "PSATK", icomp, T, P, ierr, herr);
}
void PLSATK(int icomp, double T, double& P, int& ierr, std::string& herr) {
    evaluate(kPL, "PLSATK", icomp, T, P, ierr, herr);
}
void DLSATK(int icomp, double T, double& D, int& ierr, std::string& herr) {
    evaluate(kDL, "DLSATK", icomp, T, D, ierr, herr);
}
void DVSATK(int icomp, double T, double& D, int& ierr, std::string& herr) {
    evaluate(kDV, "DVSATK", icomp, T, D, ierr, herr);
}
void DPSATK(int icomp, double T, double& dPdT, int& ierr, std::string& herr) {
    ps_derivative(1, "DPSATK", icomp, T, dPdT, ierr, herr);
}
void D2PSTK(int icomp, double T, double& d2PdT2, int& ierr, std::string& herr) {
    ps_derivative(2, "D2PSTK", icomp, T, d2PdT2, ierr, herr);
}

void PSATT(double T, const double x[20], double& P, int& ierr, std::string& herr) {
    for_composition(PSATK, T, x, P, ierr, herr);
}
void PLSATT(double T, const double x[20], double& P, int& ierr, std::string& herr) {
    for_composition(PLSATK, T, x, P, ierr, herr);
}
void DLSATT(double T, const double x[20], double& D, int& ierr, std::string& herr) {
    for_composition(DLSATK, T, x, D, ierr, herr);
}
void DVSATT(double T, const double x[20], double& D, int& ierr, std::string& herr) {
    for_composition(DVSATK, T, x, D, ierr, herr);
}

void TSATP(double P, const double x[20], double& T, int& ierr, std::string& herr) {
    tsat_pressure(kPS, "TSATP", P, x, T, ierr, herr);
}
void TSATPL(double P, const double x[20], double& T, int& ierr, std::string& herr) {
    tsat_pressure(kPL, "TSATPL", P, x, T, ierr, herr);
}

void TSATD(double D, const double x[20], double& T, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    const int ic = ISPURE(x);
    if (ic == 0) {
        SOLVEA(kDL, D, x, T, ierr, herr);
        return;
    }
    T = CCON.ttp[ic];
    const double dc = CCON.dc[ic];
    if ((DLMOD.slot[ic].is("QVB") && D >= dc) || (DVMOD.slot[ic].is("QVB") && D <= dc)) {
        fail(1, "TSATD", "Ancillary equation not available", ierr, herr);
        return;
    }
    if (D > CCON.dtp[ic]) {
        fail(141, "TSATD",
             "density greater than triple point density; d=" + fmt_g(D, 12, 5) +
                 " mol/L, dtp =" + fmt_g(CCON.dtp[ic], 12, 5) + " mol/L.",
             ierr, herr);
        return;
    }
    SOLVEA(D < dc ? kDV : kDL, D, x, T, ierr, herr);
}

void SOLVEA(int kind, double y, const double x[20], double& T, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    Evaluator f = kind == kDL ? DLSATK : kind == kDV ? DVSATK : kind == kPL ? PLSATK : PSATK;
    double tc = 0, pc = 0, dc = 0;
    {
        int ie = 0;
        std::string he;
        CRITP(x, tc, pc, dc, ie, he);
    }
    const bool logs = kind != kDL;
    const double ly = logs && y > 0.0 ? std::log(y) : 0.0;
    // The lowest temperature at which every component present has an
    // equation: a step that would leave the range goes halfway to its end.
    double tlow = 0.0;
    {
        const AncLimRecord& lim = info(kind == kDL   ? kDL
                                       : kind == kDV ? kDV
                                       : kind == kPL ? kPL
                                                     : kPS)
                                      .lim;
        const int ic = ISPURE(x);
        if (ic != 0) {
            tlow = lim.tlow[ic];
        } else {
            for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i)
                if (x[i - 1] != 0.0) tlow = std::max(tlow, lim.tlow[i]);
        }
    }
    T = 0.75 * tc;
    double s = -10.0;
    for (int pass = 0; pass < 50; ++pass) {
        const double h = T + 0.001 >= tc ? 0.001 : 0.0;
        double f1 = 0.0, f2 = 0.0;
        for_composition(f, T - h, x, f1, ierr, herr);
        if (ierr == 0) for_composition(f, T - h + 0.001, x, f2, ierr, herr);
        if (ierr != 0) return;
        const double told = T;
        double slope = 0.0;
        bool usable = std::fabs(f2) >= 1.0e-15;
        if (usable) {
            if (!logs)
                slope = (f2 - f1) / 0.001;
            else if (f1 > 0.0 && f2 > 0.0 && y > 0.0)
                slope = std::fabs(std::log(f2) - std::log(f1)) / 0.001;
            usable = slope != 0.0 && std::isfinite(slope);
        }
        if (!usable) {
            T = T - s / 2.0;  // back by half the last step (upward from the start)
        } else {
            s = logs ? -(std::log(f1) - ly) / slope : -(f1 - y) / slope;
            T = T + s;
        }
        if (usable && std::fabs(s) < 5.0e-9) return;
        if (T >= tc) T = (told + tc) / 2.0;
        if (T < tlow) T = (told + tlow) / 2.0;
        if (T <= 0.0) T = told / 2.0;
    }
    T = kMarker9;
    fail(124, "SOLVEA", "maximum number of iterations exceeded", ierr, herr);
}

}  // namespace lib
