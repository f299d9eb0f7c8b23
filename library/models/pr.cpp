// The volume-translated Peng-Robinson equation.  With v = 1/D, b and c the
// co-volume and translation and a(T) the attraction term,
//
//   alphar = -ln(1 - (b - c) D) + a/(2 sqrt2 b R T) [ln(1 + al D) - ln(1 + be D)],
//   al = c + (1 - sqrt2) b,  be = c + (1 + sqrt2) b,
//
// which is the published form ln v - ln(v - b + c) + a/(2 sqrt2 b R T)
// ln[(v + c + (1 - sqrt2) b)/(v + c + (1 + sqrt2) b)] multiplied out.  Every
// product sqrt(a_i a_j) of the mixing rule is p_i p_j + (p_i q_j + q_i p_j)
// sqrt(T) + q_i q_j T (p_i = sqrt(ac_i)(1 + kappa_i), q_i = -sqrt(ac_i)
// kappa_i / sqrt(Tc_i)), so a(T)/T is a short sum of powers of tau and every
// derivative in tau and delta is exact.
#include "library/models/pr.h"

#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/fracderiv.h"
#include "library/models/hmxrecords.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace lib {

WcfprRecord WCFPR;
ConprRecord CONPR;

namespace {

constexpr double kSqrt2 = 1.4142135623730951;

// The constants of a composition: a(T) = a0 + a1 sqrt(T) + a2 T, b, c.
struct Constants {
    double a0 = 0, a1 = 0, a2 = 0, b = 0, c = 0;
};

void component(int i, double R, double& p, double& q, double& b) {
    const double tc = WCFPR.tc[i], pc = WCFPR.pc[i], w = WCFPR.acf[i];
    p = q = b = 0.0;
    if (!(tc > 0.0 && pc > 0.0)) return;
    const double ac = 0.45724 * R * R * tc * tc / pc;
    const double kappa = 0.37464 + 1.54226 * w - 0.26992 * w * w;
    p = std::sqrt(ac) * (1.0 + kappa);
    q = -std::sqrt(ac) * kappa / std::sqrt(tc);
    b = 0.0778 * R * tc / pc;
}

double translation(int i) { return i >= 0 && i <= kMaxComp ? CONPR.p[i][0] : 0.0; }

Constants constants(const double x[20]) {
    Constants k;
    const double R = GCNST.r;
    const int ic = ISPURE(x);
    if (ic != 0) {
        double p, q;
        component(ic, R, p, q, k.b);
        k.a0 = p * p;
        k.a1 = 2.0 * p * q;
        k.a2 = q * q;
        k.c = translation(ic);
        return k;
    }
    const int nc = std::min(NCOMP.nc, kMaxComp);
    double p[kMaxComp + 1] = {}, q[kMaxComp + 1] = {}, b[kMaxComp + 1] = {};
    for (int i = 1; i <= nc; ++i) {
        component(i, R, p[i], q[i], b[i]);
        k.b += x[i - 1] * b[i];
        k.c += x[i - 1] * translation(i);
    }
    for (int i = 1; i <= nc; ++i)
        for (int j = 1; j <= nc; ++j) {
            const double w = x[i - 1] * x[j - 1] * (i == j ? 1.0 : 1.0 - CFXPR.k(i, j)[0]);
            k.a0 += w * p[i] * p[j];
            k.a1 += w * (p[i] * q[j] + q[i] * p[j]);
            k.a2 += w * q[i] * q[j];
        }
    return k;
}

// D^j d^j/dD^j of ln(1 + k D), j = 0..3.
double log_term(double kd, int j) {
    const double u = std::max(1.0 + kd, 1e-9);
    const double r = kd / u;
    switch (j) {
        case 0: return std::log(u);
        case 1: return r;
        case 2: return -r * r;
        default: return 2.0 * r * r * r;
    }
}

// tau^i d^i/dtau^i of tau^m.
double power_term(double m, double tau, int i) {
    double f = 1.0;
    for (int n = 0; n < i; ++n) f *= m - n;
    return f == 0.0 ? 0.0 : f * std::pow(tau, m);
}

// A value with its first derivatives by T and by D.
struct Td {
    double v = 0, t = 0, d = 0;
};
Td operator+(Td a, Td b) { return {a.v + b.v, a.t + b.t, a.d + b.d}; }
Td operator-(Td a, Td b) { return {a.v - b.v, a.t - b.t, a.d - b.d}; }
Td operator*(Td a, Td b) { return {a.v * b.v, a.t * b.v + a.v * b.t, a.d * b.v + a.v * b.d}; }
Td operator*(double k, Td a) { return {k * a.v, k * a.t, k * a.d}; }
Td operator/(Td a, Td b) {
    const double r = a.v / b.v;
    return {r, (a.t - r * b.t) / b.v, (a.d - r * b.d) / b.v};
}
Td log_of(Td a) { return {std::log(a.v), a.t / a.v, a.d / a.v}; }

// The residual energy F(a, b, c) = -ln(1 - (b - c) D) + a h L with
// h = 1/(2 sqrt2 b R T) and L = ln(1 + al D) - ln(1 + be D), and its first
// and second partial derivatives by a, b and c (F is linear in a).
struct Partials {
    Td fa, fb, fc, fab, fac, fbb, fbc, fcc;
};

Partials partials(Td a, double b, double c, Td T, Td D, double R) {
    const double s1 = 1.0 - kSqrt2, s2 = 1.0 + kSqrt2;
    const Td one{1.0, 0.0, 0.0};
    const Td w = one - (b - c) * D;
    const Td pa = D / (one + (c + s1 * b) * D), pb = D / (one + (c + s2 * b) * D);
    const Td L = log_of(one + (c + s1 * b) * D) - log_of(one + (c + s2 * b) * D);
    const Td h = one / ((2.0 * kSqrt2 * b * R) * T);
    const Td hb = (-1.0 / b) * h, hbb = (2.0 / (b * b)) * h;
    const Td g0b = D / w, g0bb = g0b * g0b;
    const Td Lb = s1 * pa - s2 * pb, Lc = pa - pb;
    const Td pa2 = pa * pa, pb2 = pb * pb;
    const Td Lbb = (s2 * s2) * pb2 - (s1 * s1) * pa2, Lbc = s2 * pb2 - s1 * pa2, Lcc = pb2 - pa2;
    Partials f;
    f.fa = h * L;
    f.fab = hb * L + h * Lb;
    f.fac = h * Lc;
    f.fb = g0b + a * f.fab;
    f.fc = (-1.0) * g0b + a * f.fac;
    f.fbb = g0bb + a * (hbb * L + 2.0 * (hb * Lb) + h * Lbb);
    f.fbc = (-1.0) * g0bb + a * (hb * Lc + h * Lbc);
    f.fcc = g0bb + a * (h * Lcc);
    return f;
}

}  // namespace

bool pr_fraction_derivatives(double T, double D, const double x[20], bool second,
                             FractionDerivatives& f) {
    f = FractionDerivatives{};
    const double R = GCNST.r;
    if (!(T > 0.0) || !(D > 0.0) || !(R > 0.0) || !std::isfinite(T) || !std::isfinite(D))
        return false;
    const int nc = std::min(NCOMP.nc, kMaxComp);
    // Per component: sqrt(a_i(T)) = p_i + q_i sqrt(T), b_i and c_i.
    double p[kMaxComp] = {}, q[kMaxComp] = {}, bi[kMaxComp] = {}, ci[kMaxComp] = {};
    double b = 0.0, c = 0.0;
    for (int i = 0; i < nc; ++i) {
        component(i + 1, R, p[i], q[i], bi[i]);
        ci[i] = translation(i + 1);
        b += x[i] * bi[i];
        c += x[i] * ci[i];
    }
    if (!(b > 0.0) || !((b - c) * D < 1.0)) return false;
    const double rt = std::sqrt(T);
    Td sa[kMaxComp];
    for (int i = 0; i < nc; ++i) sa[i] = {p[i] + q[i] * rt, q[i] / (2.0 * rt), 0.0};
    // The symmetric matrix of the mixing rule and the gradient of a.
    Td A[kMaxComp][kMaxComp], ga[kMaxComp], a;
    for (int i = 0; i < nc; ++i)
        for (int j = 0; j < nc; ++j) {
            const double kij =
                i == j ? 0.0 : 0.5 * (CFXPR.k(i + 1, j + 1)[0] + CFXPR.k(j + 1, i + 1)[0]);
            A[i][j] = (1.0 - kij) * (sa[i] * sa[j]);
        }
    for (int i = 0; i < nc; ++i) {
        for (int j = 0; j < nc; ++j) ga[i] = ga[i] + (2.0 * x[j]) * A[i][j];
        a = a + (0.5 * x[i]) * ga[i];
    }
    const Partials F = partials(a, b, c, Td{T, 1.0, 0.0}, Td{D, 0.0, 1.0}, R);
    for (int i = 0; i < nc; ++i) {
        if (!(x[i] > 0.0)) continue;
        const Td g = F.fa * ga[i] + bi[i] * F.fb + ci[i] * F.fc;
        f.ax[static_cast<std::size_t>(i)] = g.v;
        f.axd[static_cast<std::size_t>(i)] = D * g.d;
        f.axt[static_cast<std::size_t>(i)] = -T * g.t;
        if (!second) continue;
        for (int j = 0; j < nc; ++j) {
            if (!(x[j] > 0.0)) continue;
            f.axx[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] =
                2.0 * F.fa.v * A[i][j].v + F.fab.v * (ga[i].v * bi[j] + bi[i] * ga[j].v) +
                F.fac.v * (ga[i].v * ci[j] + ci[i] * ga[j].v) + F.fbb.v * bi[i] * bi[j] +
                F.fbc.v * (bi[i] * ci[j] + ci[i] * bi[j]) + F.fcc.v * ci[i] * ci[j];
        }
    }
    return true;
}

void SETPR(int nread, int icomp, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    if (nread == 999) {
        WCFPR.acf[icomp] = CCON.acf[icomp];
        WCFPR.wm[icomp] = CCON.wm[icomp];
        WCFPR.tc[icomp] = CCON.tc[icomp];
        WCFPR.pc[icomp] = CCON.pc[icomp];
        WCFPR.dc[icomp] = CCON.dc[icomp];
        WCFPR.r[icomp] = CCON.rgas[icomp];
        return;
    }
    const int slot = std::abs(nread);
    double v[12] = {};
    std::string_view line;
    for (int k = 0; k < 11; ++k) {
        if (k == 4) {
            if (next_line(slot, line)) v[4] = 0.0;
            continue;
        }
        next_numbers(slot, &v[k], 1);
    }
    const Code cp0 = Code(line.substr(0, std::min<std::size_t>(3, line.size())));
    WCFPR.wm[icomp] = v[5];
    WCFPR.acf[icomp] = v[6];
    WCFPR.tc[icomp] = v[7];
    WCFPR.pc[icomp] = v[8];
    WCFPR.dc[icomp] = v[9];
    WCFPR.r[icomp] = v[10];
    if (nread > 0) {
        EOSLIM.dmax[icomp] = v[3];
        EOSMOD.cp0[icomp] = cp0;
        CCON.acf[icomp] = v[6];
        CCON.wm[icomp] = v[5];
        CCON.tc[icomp] = v[7];
        CCON.pc[icomp] = v[8];
        CCON.dc[icomp] = v[9];
        ZRED.tred[icomp] = v[7];
        ZRED.dred[icomp] = v[9];
        CCON.ptp[icomp] = CCON.dtp[icomp] = CCON.spare7[icomp] = CCON.spare9[icomp] =
            CCON.spare10[icomp] = 0.0;
        CCON.rgas[icomp] = v[10];
        if (NCOMP.nc == 1 && icomp == 1) GCNST.r = v[10];
        const double rtd = v[7] * v[10] * v[9];
        CCON.zc[icomp] = rtd > 0.0 ? v[8] / rtd : 0.0;
        EOSLIM.tmin[icomp] = v[0];
        EOSLIM.tmax[icomp] = v[1];
        EOSLIM.pmax[icomp] = v[2];
    }
    int n = 0;
    if (next_line(slot, line)) read_ints(line, &n, 1);
    if (icomp < 0 || icomp > kMaxComp) return;
    CONPR.p[icomp][0] = 0.0;
    if (n >= 1) {
        CONPR.given[icomp] = 1;
        for (int k = 0; k < std::min(n, 20); ++k) next_numbers(slot, &CONPR.p[icomp][k], 1);
    }
}

void SETPRCO(int icomp) {
    if (icomp < 0 || icomp > kMaxComp) return;
    if (CONPR.given[icomp] >= 1 || !(WCFPR.pc[icomp] > 0.0)) return;
    const double w = WCFPR.acf[icomp];
    CONPR.p[icomp][0] = WCFPR.tc[icomp] * GCNST.r / WCFPR.pc[icomp] *
                        (-0.014471 + 0.067498 * w - 0.084852 * w * w + 0.067298 * w * w * w -
                         0.017366 * w * w * w * w);
}

namespace {

// PHIPRX with itau -2: the fraction derivatives of the mixture at the state
// of (tau, delta) into PHIDR (ax, axd, axt, axx); -1 once they are there,
// 0 for a state the equation does not reach.
double composition_derivatives(double tau, double del, const double x[20]) {
    double tr = 0.0, dr = 0.0;
    REDX(x, tr, dr);
    FractionDerivatives f;
    if (!(tau > 0.0) || !(tr > 0.0 && dr > 0.0) ||
        !pr_fraction_derivatives(tr / tau, del * dr, x, true, f))
        return 0.0;
    PHIDR.ax = f.ax;
    PHIDR.axd = f.axd;
    PHIDR.axt = f.axt;
    PHIDR.axx = f.axx;
    return -1.0;
}

}  // namespace

double PHIPR(int icomp, int itau, int idel, double tau, double del) {
    double x[20] = {};
    if (icomp >= 1 && icomp <= 20) x[icomp - 1] = 1.0;
    if (NCOMP.nc <= 1 && icomp != 1) return 0.0;
    return PHIPRX(itau, idel, tau, del, x);
}

double PHIPRX(int itau, int idel, double tau, double del, const double x[20]) {
    if (itau == kCompositionDerivatives) return composition_derivatives(tau, del, x);
    if (del <= 1.0e-10 || !(tau > 0.0) || itau < 0 || idel < 0 || itau > 3 || idel > 3) return 0.0;
    // The reducing values the callers formed tau and delta with: the slot's
    // for a pure fluid, those of the mixture model otherwise.
    double tr = 0.0, dr = 0.0;
    if (ISPURE(x) != 0)
        REDPR(x, tr, dr);
    else
        REDX(x, tr, dr);
    if (!(tr > 0.0 && dr > 0.0)) return 0.0;
    const double D = del * dr, R = GCNST.r;
    const Constants k = constants(x);
    if (!(k.b > 0.0) || !(R > 0.0)) return 0.0;
    const double al = k.c + (1.0 - kSqrt2) * k.b, be = k.c + (1.0 + kSqrt2) * k.b;
    // The density functions: -ln(1 - (b - c) D) and ln(1 + al D) - ln(1 + be D).
    const double g0 = -log_term(-(k.b - k.c) * D, idel);
    const double g1 = log_term(al * D, idel) - log_term(be * D, idel);
    // a(T)/T = (a0/Tr) tau + (a1/sqrt(Tr)) tau^(1/2) + a2, over 2 sqrt2 b R.
    const double f =
        (k.a0 / tr * power_term(1.0, tau, itau) +
         k.a1 / std::sqrt(tr) * power_term(0.5, tau, itau) + (itau == 0 ? k.a2 : 0.0)) /
        (2.0 * kSqrt2 * k.b * R);
    const double v = (itau == 0 ? g0 : 0.0) + f * g1;
    return std::isfinite(v) ? v : 0.0;
}

void REDPR(const double x[20], double& tred, double& dred) {
    const int ic = ISPURE(x);
    if (ic != 0) {
        tred = ZRED.tred[ic];
        dred = ZRED.dred[ic];
        return;
    }
    double t = 0.0, v = 0.0;
    for (int i = 1; i <= std::min(NCOMP.nc, kMaxComp); ++i) {
        t += x[i - 1] * ZRED.tred[i];
        if (ZRED.dred[i] > 0.0) v += x[i - 1] / ZRED.dred[i];
    }
    if (std::fabs(t) <= 5.0e-13 || std::fabs(v) <= 5.0e-13) {
        tred = 100.0;
        dred = 10.0;
        return;
    }
    tred = t;
    dred = 1.0 / v;
}

void CRTPR(int icomp, double& tc, double& pc, double& dc) {
    tc = CCON.tc[icomp];
    pc = CCON.pc[icomp];
    dc = CCON.dc[icomp];
}

void CRTPRX(const double x[20], double& tc, double& pc, double& dc) {
    const int ic = ISPURE(x);
    if (ic != 0) return CRTPR(ic, tc, pc, dc);
    tc = pc = dc = 0.0;
    for (int i = 1; i <= std::min(NCOMP.nc, kMaxComp); ++i) {
        tc += x[i - 1] * CCON.tc[i];
        pc += x[i - 1] * CCON.pc[i];
        dc += x[i - 1] * CCON.dc[i];
    }
}

namespace {

// A root of z^3 + c[2] z^2 + c[1] z + c[0] from the closed form refined by
// Newton's method: the closed form loses digits to cancellation where the
// liquid root is small beside the others (a liquid of methane, ethane and
// propane at 210 K, 1 MPa came out with a pressure 7e-4 high, and the
// stability test then lost its liquid trial).  A step that does not make
// the residual smaller is not taken (a double root).
double polished_root(const double c[3], double z) {
    const auto f = [&](double v) { return ((v + c[2]) * v + c[1]) * v + c[0]; };
    double fz = f(z);
    for (int k = 0; k < 4 && fz != 0.0; ++k) {
        const double d = (3.0 * z + 2.0 * c[2]) * z + c[1];
        if (!(d != 0.0)) break;
        const double zn = z - fz / d, fn = f(zn);
        if (!(std::fabs(fn) < std::fabs(fz))) break;
        z = zn;
        fz = fn;
    }
    return z;
}

}  // namespace

void TPRHOPR(double T, double P, const double x[20], double& D1, double& D2) {
    D1 = D2 = 0.0;
    const double R = GCNST.r;
    if (!(T > 0.0) || !(P > 0.0)) return;
    const Constants k = constants(x);
    const double a = k.a0 + k.a1 * std::sqrt(T) + k.a2 * T;
    const double A = a * P / (R * T * R * T), B = k.b * P / (R * T);
    const double coef[3] = {(B + B * B - A) * B, A - 3.0 * B * B - 2.0 * B, B - 1.0};
    double z[3] = {};
    CUBIC(coef, z);
    for (int i = 0; i < 2; ++i) z[i] = polished_root(coef, z[i]);
    const double v1 = z[0] * R * T / P - k.c, v2 = z[1] * R * T / P - k.c;
    D1 = v1 > 0.0 ? 1.0 / v1 : 0.0;
    D2 = v2 > 0.0 ? 1.0 / v2 : 0.0;
}

}  // namespace lib
