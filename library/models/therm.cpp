// Properties at (T, D, x) from the residual Helmholtz derivatives (PHIK for a
// pure fluid, PHIX for a mixture), the ideal-gas part (PHI0) and the
// reference-state offsets of CREF.
//
// A BWR fluid (mixture code "BWR") takes the same road: PHIK reaches its
// reduced derivatives, which are exact to the third order.  A true mixture
// needs its mixture model (REDX/PHIX) and a pure fluid an equation that PHIK
// reaches; otherwise a state returns zeros from every routine here, like
// T <= 0.
#include "library/models/therm.h"

#include <cmath>
#include <initializer_list>

#include "library/models/critp.h"
#include "library/models/idealgas.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/models/virial.h"
#include "library/setup/records.h"

namespace lib {

namespace {

struct Route {
    int ic = 0;    // component slot, 0 for a mixture
    double R = 0;  // gas constant, J/(mol K)
    double tred = 0, dred = 0, tau = 0, del = 0;
    double H0 = 0, S0 = 0;  // reference-state offsets of the composition
    const double* x = nullptr;

    double r(int itau, int idel) const {
        return ic != 0 ? PHIK(ic, itau, idel, tau, del) : PHIX(itau, idel, tau, del, x);
    }
};

void offsets(const double x[20], int ic, double& H0, double& S0) {
    if (ic != 0) {
        H0 = CREF.h0[ic];
        S0 = CREF.s0[ic];
        return;
    }
    H0 = S0 = 0.0;
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) {
        H0 += x[i - 1] * CREF.h0[i];
        S0 += x[i - 1] * CREF.s0[i];
    }
}

// Route selection shared by the routines of this file; false when the state
// cannot be evaluated (outputs stay 0).
bool select(double T, double D, const double x[20], Route& rt) {
    // Nothing is computed without a fluid set up (the outputs stay 0).
    if (!(T > 0.0) || NCOMP.nc < 1) return false;
    RMIX(x);
    rt.R = GCNST.r;
    rt.x = x;
    if (!reducing_point(x, rt.ic, rt.tred, rt.dred)) return false;
    if (rt.ic != 0 && !residual_model_ready(rt.ic)) return false;
    rt.tau = rt.tred / T;
    rt.del = D / rt.dred;
    offsets(x, rt.ic, rt.H0, rt.S0);
    return true;
}

// The properties THERM and THERM2 share and the residual derivatives they
// are built from; the ideal-gas o00 is taken at the density Dp.
struct Core {
    double r00 = 0, r01 = 0, r10 = 0, r11 = 0, r02 = 0, r20 = 0;
    double o00 = 0, RT = 0, Q = 0, K = 0;
    double P = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, W = 0, wm = 0, hjt = 0;
    double B = 0;  // second virial coefficient, at low density only
};

Core core(const Route& rt, double T, double D, double Dp, const double x[20]) {
    Core c;
    c.r00 = rt.r(0, 0);
    c.r01 = rt.r(0, 1);
    c.r10 = rt.r(1, 0);
    c.r11 = rt.r(1, 1);
    c.r02 = rt.r(0, 2);
    c.r20 = rt.r(2, 0);
    c.o00 = PHI0(0, 0, T, Dp, x);
    const double o10 = PHI0(1, 0, T, D, x), o20 = PHI0(2, 0, T, D, x);
    const double R = rt.R;
    c.RT = R * T;
    c.Q = 1.0 + c.r01 - c.r11;
    c.K = 1.0 + 2.0 * c.r01 + c.r02;
    c.P = c.RT * D * (1.0 + c.r01);
    c.e = c.RT * (o10 + c.r10) - rt.H0;
    c.h = c.e + c.RT * (1.0 + c.r01);
    c.s = R * (o10 + c.r10 - c.o00 - c.r00) - rt.S0;
    c.cv = -R * (o20 + c.r20);
    c.cp = c.cv + R * c.Q * c.Q / c.K;
    c.W = (c.cp / c.cv) * c.RT * c.K;
    c.wm = WMOL(x);
    if (D > 1e-8) {
        c.hjt = -(c.r01 + c.r02 + c.r11) / (D * c.cp * c.K);
    } else {
        // The low-density limit from the second virial coefficient.
        double dBdT = 0.0;
        VIRB(T, x, c.B);
        DBDT(T, x, dBdT);
        c.hjt = (T * dBdT - c.B) / c.cp;
    }
    return c;
}

void finite(std::initializer_list<double*> vals) {
    for (double* v : vals)
        if (!std::isfinite(*v)) *v = 0.0;
}

void zero(std::initializer_list<double*> vals) {
    for (double* v : vals) *v = 0.0;
}

}  // namespace

void THERM(double T, double D, const double x[20], double& P, double& e, double& h, double& s,
           double& cv, double& cp, double& w, double& hjt) {
    zero({&P, &e, &h, &s, &cv, &cp, &w, &hjt});
    Route rt;
    if (!select(T, D, x, rt)) return;
    const Core c = core(rt, T, D, D < 1e-40 ? 1e-40 : D, x);
    P = c.P;
    e = c.e;
    h = c.h;
    s = c.s;
    cv = c.cv;
    cp = c.cp;
    w = (cv <= 0.0 || !(c.W > 0.0) || !(c.wm > 0.0)) ? 0.0 : std::sqrt(1000.0 * c.W / c.wm);
    hjt = c.hjt;
    finite({&P, &e, &h, &s, &cv, &cp, &w, &hjt});
}

namespace {

// THERM2, with the second pressure derivatives (three more evaluations of
// the residual part) only when `second`.
void therm2(bool second, double T, double D, const double x[20], double& P, double& e, double& h,
            double& s, double& cv, double& cp, double& w, double& Z, double& hjt, double& A,
            double& G, double& xkappa, double& beta, double& dPdD, double& d2PdD2, double& dPdT,
            double& dDdT, double& dDdP, double& d2PdT2, double& d2PdTD, double& spare3,
            double& spare4) {
    zero({&P, &e,      &h,    &s,    &cv,     &cp,   &w,    &Z,    &hjt,    &A,
          &G, &xkappa, &beta, &dPdD, &d2PdD2, &dPdT, &dDdT, &dDdP, &d2PdT2, &d2PdTD});
    spare3 = spare4 = kMarker9;
    Route rt;
    if (!select(T, D, x, rt)) return;
    const Core c = core(rt, T, D, D < 1e-40 ? 1e-20 : D, x);
    const double R = rt.R, RT = c.RT, Q = c.Q, K = c.K;
    P = c.P;
    e = c.e;
    h = c.h;
    s = c.s;
    cv = c.cv;
    cp = c.cp;
    w = (c.W > 0.0 && c.wm > 0.0) ? std::sqrt(1000.0 * c.W / c.wm) : 0.0;
    Z = D < 1e-40 ? 1.0 : P / (D * RT);
    hjt = c.hjt;
    A = RT * (c.r00 + c.o00) - (rt.H0 - T * rt.S0);
    G = A + RT * (1.0 + c.r01);
    dPdD = RT * K;
    dPdT = D * R * Q;
    dDdT = -(D * Q) / (T * K);
    dDdP = 1.0 / (RT * K);
    if (D > 1e-8) {
        xkappa = dDdP / D;
        beta = -dDdT / D;
        if (second) d2PdD2 = (RT / D) * (2.0 * c.r01 + 4.0 * c.r02 + rt.r(0, 3));
    } else {
        xkappa = P > 0.0 ? 1.0 / P : kMarker9;
        beta = 1.0 / T;
        if (second) d2PdD2 = 2.0 * c.B * R * T;
    }
    if (second) {
        d2PdT2 = D * R * rt.r(2, 1) / T;
        d2PdTD = R * (K - 2.0 * c.r11 - rt.r(1, 2));
    }
    finite({&P, &e,      &h,    &s,    &cv,     &cp,   &w,    &Z,    &hjt,    &A,
            &G, &xkappa, &beta, &dPdD, &d2PdD2, &dPdT, &dDdT, &dDdP, &d2PdT2, &d2PdTD});
}

}  // namespace

void THERM2(double T, double D, const double x[20], double& P, double& e, double& h, double& s,
            double& cv, double& cp, double& w, double& Z, double& hjt, double& A, double& G,
            double& xkappa, double& beta, double& dPdD, double& d2PdD2, double& dPdT, double& dDdT,
            double& dDdP, double& d2PdT2, double& d2PdTD, double& spare3, double& spare4) {
    therm2(true, T, D, x, P, e, h, s, cv, cp, w, Z, hjt, A, G, xkappa, beta, dPdD, d2PdD2, dPdT,
           dDdT, dDdP, d2PdT2, d2PdTD, spare3, spare4);
}

void therm2_first_order(double T, double D, const double x[20], double& P, double& e, double& h,
                        double& s, double& cv, double& cp, double& w, double& Z, double& hjt,
                        double& A, double& G, double& xkappa, double& beta, double& dPdD,
                        double& dPdT, double& dDdT, double& dDdP) {
    double d2PdD2 = 0, d2PdT2 = 0, d2PdTD = 0, spare3 = 0, spare4 = 0;
    therm2(false, T, D, x, P, e, h, s, cv, cp, w, Z, hjt, A, G, xkappa, beta, dPdD, d2PdD2, dPdT,
           dDdT, dDdP, d2PdT2, d2PdTD, spare3, spare4);
}

void THERM0(double T, double D, const double x[20], double& P, double& e, double& h, double& s,
            double& cv, double& cp, double& w, double& A, double& G) {
    zero({&P, &e, &h, &s, &cv, &cp, &w, &A, &G});
    if (!(T > 0.0)) return;
    RMIX(x);
    const double R = GCNST.r, RT = R * T;
    const int ic = ISPURE(x);
    double H0, S0;
    offsets(x, ic, H0, S0);
    const double Dp = D < 1e-40 ? 1e-20 : D;
    const double o00 = PHI0(0, 0, T, Dp, x), o10 = PHI0(1, 0, T, D, x), o20 = PHI0(2, 0, T, D, x);
    P = RT * D;
    e = RT * o10 - H0;
    h = e + RT;
    s = R * (o10 - o00) - S0;
    A = RT * o00 - (H0 - T * S0);
    G = A + RT;
    cv = -R * o20;
    cp = cv + R;
    const double W = cp * RT / cv;
    const double wm = WMOL(x);
    w = (W > 0.0 && wm > 0.0) ? std::sqrt(1000.0 * W / wm) : 0.0;
    finite({&P, &e, &h, &s, &cv, &cp, &w, &A, &G});
}

void RESIDUAL(double T, double D, const double x[20], double& P, double& e, double& h, double& s,
              double& cv, double& cp, double& A, double& G) {
    zero({&P, &e, &h, &s, &cv, &cp, &A, &G});
    Route rt;
    if (!select(T, D, x, rt)) return;
    const double r00 = rt.r(0, 0), r01 = rt.r(0, 1), r10 = rt.r(1, 0), r11 = rt.r(1, 1);
    const double r02 = rt.r(0, 2), r20 = rt.r(2, 0);
    const double R = rt.R, RT = R * T;
    const double Q = 1.0 + r01 - r11, K = 1.0 + 2.0 * r01 + r02;
    P = RT * D * r01;
    e = RT * r10;
    h = RT * (r10 + r01);
    s = R * (r10 - r00);
    cv = -R * r20;
    cp = R * Q * Q / K - R * r20 - R;
    A = RT * r00;
    G = RT * (r00 + r01);
    finite({&P, &e, &h, &s, &cv, &cp, &A, &G});
}

void energy_enthalpy_entropy(double T, double D, const double x[20], double& e, double& h,
                             double& s) {
    e = h = s = 0.0;
    Route rt;
    if (!select(T, D, x, rt)) return;
    const double r00 = rt.r(0, 0), r01 = rt.r(0, 1), r10 = rt.r(1, 0);
    const double Dp = D < 1e-40 ? 1e-40 : D;
    const double o00 = PHI0(0, 0, T, Dp, x), o10 = PHI0(1, 0, T, D, x);
    const double RT = rt.R * T;
    e = RT * (o10 + r10) - rt.H0;
    h = e + RT * (1.0 + r01);
    s = rt.R * (o10 + r10 - o00 - r00) - rt.S0;
    finite({&e, &h, &s});
}

bool flash_jacobian(char letter, double T, double D, const double x[20], FlashJacobian& j) {
    j = FlashJacobian{};
    Route rt;
    if (!select(T, D, x, rt) || !(D > 0.0)) return false;
    const double r01 = rt.r(0, 1), r02 = rt.r(0, 2), r11 = rt.r(1, 1);
    const double r10 = rt.r(1, 0), r20 = rt.r(2, 0);
    const double o10 = PHI0(1, 0, T, D, x), o20 = PHI0(2, 0, T, D, x);
    const double R = rt.R, RT = R * T;
    const double Q = 1.0 + r01 - r11;
    const double cv = -R * (o20 + r20);
    j.P = RT * D * (1.0 + r01);
    j.P_D = RT * (1.0 + 2.0 * r01 + r02);
    j.P_T = D * R * Q;
    j.h_T = cv + R * Q;                    // (dh/dT)_D = cv + (dP/dT)_D / D
    j.h_D = (RT / D) * (r01 + r02 + r11);  // (dh/dD)_T
    j.s_T = cv / T;
    j.s_D = -R * Q / D;  // (ds/dD)_T = -(dP/dT)_D / D^2
    if (letter == 'S') {
        const double o00 = PHI0(0, 0, T, D < 1e-40 ? 1e-40 : D, x), r00 = rt.r(0, 0);
        j.b = R * (o10 + r10 - o00 - r00) - rt.S0;
    } else {
        j.b = RT * (o10 + r10) - rt.H0 + RT * (1.0 + r01);
    }
    for (double v : {j.P, j.P_D, j.P_T, j.b, j.h_T, j.h_D, j.s_T, j.s_D})
        if (!std::isfinite(v)) return false;
    return true;
}

void ENTRO(double T, double D, const double x[20], double& s) {
    s = 0.0;
    Route rt;
    if (!select(T, D, x, rt)) return;
    const double r00 = rt.r(0, 0), r10 = rt.r(1, 0);
    const double Dp = D < 1e-40 ? 1e-40 : D;
    const double o00 = PHI0(0, 0, T, Dp, x), o10 = PHI0(1, 0, T, D, x);
    s = rt.R * (o10 + r10 - o00 - r00) - rt.S0;
    finite({&s});
}

void ENTHAL(double T, double D, const double x[20], double& h) {
    h = 0.0;
    Route rt;
    if (!select(T, D, x, rt)) return;
    const double r01 = rt.r(0, 1), r10 = rt.r(1, 0);
    const double o10 = PHI0(1, 0, T, D, x);
    const double RT = rt.R * T;
    h = RT * (o10 + r10) - rt.H0 + RT * (1.0 + r01);
    finite({&h});
}

void ENERGY(double T, double D, const double x[20], double& e) {
    e = 0.0;
    Route rt;
    if (!select(T, D, x, rt)) return;
    const double r10 = rt.r(1, 0);
    const double o10 = PHI0(1, 0, T, D, x);
    e = rt.R * T * (o10 + r10) - rt.H0;
    finite({&e});
}

void CVCP(double T, double D, const double x[20], double& cv, double& cp) {
    cv = cp = 0.0;
    Route rt;
    if (!select(T, D, x, rt)) return;
    const double r01 = rt.r(0, 1), r11 = rt.r(1, 1), r02 = rt.r(0, 2), r20 = rt.r(2, 0);
    const double o20 = PHI0(2, 0, T, D, x);
    const double R = rt.R;
    const double Q = 1.0 + r01 - r11, K = 1.0 + 2.0 * r01 + r02;
    cv = -R * (o20 + r20);
    cp = cv + R * Q * Q / K;
    finite({&cv, &cp});
}

void CVCPK(int icomp, double T, double D, double& cv, double& cp) {
    cv = cp = 0.0;
    if (!(T > 0.0) || icomp < kMinSlot || icomp > kMaxSlot || !residual_model_ready(icomp)) return;
    const double tred = ZRED.tred[icomp], dred = ZRED.dred[icomp];
    if (!(tred > 0.0) || !(dred > 0.0)) return;
    const double tau = tred / T, del = D / dred;
    const double r01 = PHIK(icomp, 0, 1, tau, del), r02 = PHIK(icomp, 0, 2, tau, del);
    const double r11 = PHIK(icomp, 1, 1, tau, del), r20 = PHIK(icomp, 2, 0, tau, del);
    const double o20 = PHI0K(icomp, 2, 0, T, D);
    const double R = GCNST.r;
    const double Q = 1.0 + r01 - r11, K = 1.0 + 2.0 * r01 + r02;
    cv = -R * (o20 + r20);
    cp = cv + R * Q * Q / K;
    finite({&cv, &cp});
}

void GIBBS(double T, double D, const double x[20], double& A, double& G) {
    A = G = 0.0;
    Route rt;
    if (!select(T, D, x, rt)) return;
    const double r00 = rt.r(0, 0), r01 = rt.r(0, 1);
    const double RT = rt.R * T;
    A = RT * r00;
    // The residual Gibbs energy holds ln D: without a positive density it is
    // not defined.
    G = D > 0.0 ? RT * (r00 + r01 + std::log(D)) : kMarker9;
    finite({&A, &G});
}

void AG(double T, double D, const double x[20], double& A, double& G) {
    A = G = 0.0;
    Route rt;
    if (!select(T, D, x, rt)) return;
    const double r00 = rt.r(0, 0), r01 = rt.r(0, 1);
    const double Dp = D < 1e-40 ? 1e-40 : D;
    const double o00 = PHI0(0, 0, T, Dp, x);
    const double RT = rt.R * T;
    A = RT * (r00 + o00) - (rt.H0 - T * rt.S0);
    G = A + RT * (1.0 + r01);
    finite({&A, &G});
}

}  // namespace lib
