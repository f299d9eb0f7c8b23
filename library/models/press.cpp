#include "library/models/press.h"

#include <cmath>

#include "library/models/critp.h"
#include "library/models/idealgas.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"

namespace lib {

namespace {

// The residual route of one state: the component's own equation for a pure
// fluid (a BWR fluid included: PHIK reaches its exact derivatives), the
// mixture model otherwise.
struct Route {
    int ic = 0;
    double tau = 0, del = 0;
    const double* x = nullptr;
    double r(int itau, int idel) const {
        const double v = ic != 0 ? PHIK(ic, itau, idel, tau, del) : PHIX(itau, idel, tau, del, x);
        return std::isfinite(v) ? v : 0.0;
    }
};

// Sets R through RMIX and forms tau and delta; false when T <= 0 or the
// reducing values are unusable.
bool route(double T, double D, const double x[20], Route& rt) {
    if (!(T > 0.0)) return false;
    RMIX(x);
    rt.x = x;
    double tred = 0.0, dred = 0.0;
    if (!reducing_point(x, rt.ic, tred, dred)) return false;
    rt.tau = tred / T;
    rt.del = D / dred;
    return true;
}

// One component by its own equation; R is the one held in GCNST.
bool route_k(int icomp, double T, double D, Route& rt) {
    if (!(T > 0.0)) return false;
    const double tred = ZRED.tred[icomp], dred = ZRED.dred[icomp];
    if (!(tred > 0.0) || !(dred > 0.0)) return false;
    rt.ic = icomp;
    rt.tau = tred / T;
    rt.del = D / dred;
    return true;
}

inline double finite_or_zero(double v) { return std::isfinite(v) ? v : 0.0; }

}  // namespace

void PRESS(double T, double D, const double x[20], double& P) {
    P = 0.0;
    Route rt;
    if (!route(T, D, x, rt)) return;
    P = finite_or_zero(GCNST.r * T * D * (1.0 + rt.r(0, 1)));
}

void DPDD(double T, double D, const double x[20], double& dPdD) {
    dPdD = 0.0;
    Route rt;
    if (!route(T, D, x, rt)) return;
    const double r01 = rt.r(0, 1), r02 = rt.r(0, 2);
    dPdD = finite_or_zero(GCNST.r * T * (1.0 + 2.0 * r01 + r02));
}

void DPDD2(double T, double D, const double x[20], double& d2PdD2) {
    d2PdD2 = 0.0;
    Route rt;
    if (!route(T, D, x, rt)) return;
    const double R = GCNST.r;
    if (D <= 1.0e-8) {
        double B = 0.0;
        VIRB(T, x, B);
        d2PdD2 = finite_or_zero(2.0 * B * R * T);
        return;
    }
    const double r01 = rt.r(0, 1), r02 = rt.r(0, 2), r03 = rt.r(0, 3);
    d2PdD2 = finite_or_zero(R * T / D * (2.0 * r01 + 4.0 * r02 + r03));
}

namespace {

// P and dP/dD at (T, D); with `second` also d2P/dD2.
PressDerivs press_values(double T, double D, const double x[20], bool second) {
    PressDerivs v;
    Route rt;
    if (!route(T, D, x, rt)) return v;
    const double R = GCNST.r;
    const double r01 = rt.r(0, 1), r02 = rt.r(0, 2);
    v.p = finite_or_zero(R * T * D * (1.0 + r01));
    v.d1 = finite_or_zero(R * T * (1.0 + 2.0 * r01 + r02));
    if (!second) return v;
    if (D <= 1.0e-8) {
        double B = 0.0;
        VIRB(T, x, B);
        v.d2 = finite_or_zero(2.0 * B * R * T);
    } else {
        v.d2 = finite_or_zero(R * T / D * (2.0 * r01 + 4.0 * r02 + rt.r(0, 3)));
    }
    return v;
}

}  // namespace

PressDerivs press_derivs(double T, double D, const double x[20]) {
    return press_values(T, D, x, true);
}

PressDerivs press_slope(double T, double D, const double x[20]) {
    return press_values(T, D, x, false);
}

void DPDT(double T, double D, const double x[20], double& dPdT) {
    dPdT = 0.0;
    Route rt;
    if (!route(T, D, x, rt)) return;
    const double r01 = rt.r(0, 1), r11 = rt.r(1, 1);
    dPdT = finite_or_zero(D * GCNST.r * (1.0 + r01 - r11));
}

void DDDP(double T, double D, const double x[20], double& dDdP) {
    dDdP = 0.0;
    Route rt;
    if (!route(T, D, x, rt)) return;
    const double r01 = rt.r(0, 1), r02 = rt.r(0, 2);
    dDdP = finite_or_zero(1.0 / (GCNST.r * T * (1.0 + 2.0 * r01 + r02)));
}

void DDDT(double T, double D, const double x[20], double& dDdT) {
    dDdT = 0.0;
    Route rt;
    if (!route(T, D, x, rt)) return;
    const double r01 = rt.r(0, 1), r11 = rt.r(1, 1), r02 = rt.r(0, 2);
    dDdT = finite_or_zero(-(D * (1.0 + r01 - r11)) / (T * (1.0 + 2.0 * r01 + r02)));
}

void DPDDK(int icomp, double T, double D, double& dPdD) {
    dPdD = 0.0;
    Route rt;
    if (!route_k(icomp, T, D, rt)) return;
    const double r01 = rt.r(0, 1), r02 = rt.r(0, 2);
    dPdD = finite_or_zero(GCNST.r * T * (1.0 + 2.0 * r01 + r02));
}

void DPDTK(int icomp, double T, double D, double& dPdT) {
    dPdT = 0.0;
    Route rt;
    if (!route_k(icomp, T, D, rt)) return;
    const double r01 = rt.r(0, 1), r11 = rt.r(1, 1);
    dPdT = finite_or_zero(D * GCNST.r * (1.0 + r01 - r11));
}

void DERVPVT(double T, double D, const double x[20], double& dPdD, double& dPdT, double& d2PdD2,
             double& d2PdT2, double& d2PdTD, double& dDdP, double& dDdT, double& d2DdP2,
             double& d2DdT2, double& d2DdPT, double& dTdP, double& dTdD, double& d2TdP2,
             double& d2TdD2, double& d2TdPD) {
    double* out[15] = {&dPdD,   &dPdT,   &d2PdD2, &d2PdT2, &d2PdTD, &dDdP,   &dDdT,  &d2DdP2,
                       &d2DdT2, &d2DdPT, &dTdP,   &dTdD,   &d2TdP2, &d2TdD2, &d2TdPD};
    for (double* o : out) *o = 0.0;
    if (!(T > 0.0)) return;
    RMIX(x);
    double tred = 0.0, dred = 0.0;
    REDX(x, tred, dred);
    if (!(tred > 0.0) || !(dred > 0.0)) return;
    const double tau = tred / T, del = D / dred;
    auto r = [&](int i, int j) { return finite_or_zero(PHIX(i, j, tau, del, x)); };
    const double r01 = r(0, 1), r11 = r(1, 1), r12 = r(1, 2), r21 = r(2, 1), r02 = r(0, 2),
                 r03 = r(0, 3);
    const double R = GCNST.r, RT = R * T;
    const double Q = 1.0 + r01 - r11;
    const double K = 1.0 + 2.0 * r01 + r02;
    const double L = 2.0 * r01 + 4.0 * r02 + r03;
    const double M = K - 2.0 * r11 - r12;
    dPdD = RT * K;
    dPdT = D * R * Q;
    d2PdT2 = D * R * r21 / T;
    d2PdTD = R * M;
    dDdP = 1.0 / (RT * K);
    dDdT = -(D * Q) / (T * K);
    d2DdT2 = (D * Q / (T * T * K * K)) * (2.0 * M - L * Q / K - (K / Q) * r21);
    d2DdPT = -(M - L * Q / K) / (T * RT * K * K);
    if (D > 1.0e-8) {
        d2PdD2 = RT / D * L;
        d2DdP2 = -L / (D * RT * RT * K * K * K);
        dTdP = 1.0 / dPdT;
        dTdD = 1.0 / dDdT;
        d2TdP2 = -r21 / (T * R * R * D * D * Q * Q * Q);
        d2TdD2 = (2.0 * M - L * Q / K - (K / Q) * r21) * T * K / (D * D * Q * Q);
        d2TdPD = -(M - K * r21 / Q) / (R * D * D * Q * Q);
    } else {
        double B = 0.0;
        VIRB(T, x, B);
        d2PdD2 = 2.0 * B * R * T;
        d2DdP2 = -2.0 * B / (RT * RT);
        dTdP = dTdD = d2TdP2 = d2TdD2 = d2TdPD = kMarker6;
    }
    for (double* o : out) *o = finite_or_zero(*o);
}

void DHD1(double T, double D, const double x[20], double& dhdt_d, double& dhdt_p, double& dhdd_t,
          double& dhdd_p, double& dhdp_t, double& dhdp_d) {
    double* out[6] = {&dhdt_d, &dhdt_p, &dhdd_t, &dhdd_p, &dhdp_t, &dhdp_d};
    for (double* o : out) *o = 0.0;
    Route rt;
    if (!route(T, D, x, rt)) return;
    const double r01 = rt.r(0, 1), r11 = rt.r(1, 1), r20 = rt.r(2, 0), r02 = rt.r(0, 2);
    const double R = GCNST.r, RT = R * T;
    const double o20 = finite_or_zero(PHI0(2, 0, T, D, x)),
                 o11 = finite_or_zero(PHI0(1, 1, T, D, x));
    // cp, dD/dT at constant P and dP/dT at constant D of the state, from
    // THERM2 at a density kept off zero.
    const double Dp = D < 1.0e-10 ? 1.0e-10 : D;
    double P, e, h, s, cv, cp, w, Z, hjt, A, G, kap, beta, dPdD, d2PdD2, dPdT, dDdT, dDdP, d2PdT2,
        d2PdTD, sp3, sp4;
    THERM2(T, Dp, x, P, e, h, s, cv, cp, w, Z, hjt, A, G, kap, beta, dPdD, d2PdD2, dPdT, dDdT, dDdP,
           d2PdT2, d2PdTD, sp3, sp4);
    RMIX(x);  // THERM2 leaves the same R; kept explicit for the terms below
    dhdt_d = R * (1.0 - o20 - r20 + r01 - r11);
    dhdt_p = cp;
    if (D > 1.0e-8) {
        dhdd_t = RT / D * (o11 + r11 + r01 + r02);
        dhdd_p = dDdT != 0.0 ? dhdd_t + dhdt_d / dDdT : kMarker6;
        dhdp_t = 1.0 / D + T * dDdT / (D * D);
        dhdp_d = dPdT != 0.0 ? dhdp_t + cp / dPdT : kMarker6;
    } else {
        double B = 0.0, dB = 0.0;
        VIRB(T, x, B);
        DBDT(T, x, dB);
        dhdd_t = RT * B - R * T * T * dB;
        dhdd_p = kMarker6;
        // The zero-density limit of 1/D + T (dD/dT)/D^2: the difference of
        // two huge numbers at D' (where the residual part also drops out).
        dhdp_t = B - T * dB;
        dhdp_d = kMarker6;
    }
    for (double* o : out) *o = finite_or_zero(*o);
}

}  // namespace lib
