// Extended corresponding states equation of state.
//
// Shape factors of component i (Tr = T/Tc, Dr = D/Dc, dw = omega - omega0;
// Tc0 and Dc0 are the critical constants of the reference fluid in slot -i):
//   f = (Tc/Tc0)  [1 + dw (a1 + a2 ln Tr)          + sum(k>=3) a_k Tr^e_k + sum b_k Dr^e_k]
//   h = (Dc0/Dc)  [(1 + dw (c1 + c2 ln Tr)) Zc0/Zc + sum(k>=3) c_k Tr^e_k + sum d_k Dr^e_k]
//
// The component's reduced residual Helmholtz energy is the reference fluid's
// at the conformal state: alphar(T, D) = A(tau0, delta0) with
// tau0 = T0c f / T and delta0 = D h / D0c (T0c, D0c: the reference fluid's
// reducing values).  Its derivatives are formed in T and D, then turned
// into the tau-delta form of the residual interface (tau = Tc/T,
// delta = D/Dc): orders 1 and 2 by the chain rule written out, order 3 by
// composing truncated two-variable Taylor series ("jets") of tau0 and
// delta0 with the reference fluid's series.
#include "library/models/ecs.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "library/library.h"
#include "library/models/bwr.h"
#include "library/models/feq.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace lib {

namespace {

constexpr double kRgas = 8.314472;  // gas constant of every ECS component, J/(mol K)
constexpr int kMaxOrder = 3;        // highest total derivative order formed
constexpr double kFact[kMaxOrder + 1] = {1.0, 1.0, 2.0, 6.0};

double ipow(double x, int n) {
    double r = 1.0;
    for (int k = 0; k < n; ++k) r *= x;
    return r;
}

// a d^k/dx^k x^e (k = 0..3); 0 when the factor a e (e-1) ... vanishes, so
// that a constant term has no derivative even where x^(e-k) would not exist.
double power_term(double a, double e, double x, int k) {
    double c = a;
    for (int i = 0; i < k; ++i) c *= e - i;
    return c == 0.0 ? 0.0 : c * std::pow(x, e - k);
}

// A shape factor and its derivatives: t[k] = d^k s/dT^k, d[k] = d^k s/dD^k
// (t[0] = d[0] = s); the mixed derivatives are 0.
struct Shape {
    double t[kMaxOrder + 1] = {};
    double d[kMaxOrder + 1] = {};
};

enum class Factor { kF, kH };

// Shape factor f or h of component ic at (T, D); false (and all zero) when
// it cannot be formed.
bool shape(int ic, Factor which, double T, double D, Shape& out) {
    out = Shape{};
    if (ic < 1 || ic > kMaxComp || !(T > 0.0)) return false;
    const double tc = CCON.tc[ic], dc = CCON.dc[ic];
    const double tc0 = CCON.tc[-ic], dc0 = CCON.dc[-ic];
    if (!(tc > 0.0 && dc > 0.0 && tc0 > 0.0 && dc0 > 0.0)) return false;
    const CfecsComp& cf = CFECS[ic];
    const IcfecsCounts& cnt = ICFECS[ic];
    const bool is_f = which == Factor::kF;
    const auto& ta = is_f ? cf.tfa : cf.tha;
    const auto& te = is_f ? cf.tfe : cf.the;
    const auto& da = is_f ? cf.dfa : cf.dha;
    const auto& de = is_f ? cf.dfe : cf.dhe;
    const int nt = std::clamp(is_f ? cnt.ntf : cnt.nth, 0, kEcsTerms);
    const int nd = std::clamp(is_f ? cnt.ndf : cnt.ndh, 0, kEcsTerms);

    const double tr = T / tc, dr = D / dc, dw = cf.acf - cf.acf0;
    // The first two temperature coefficients are always used (a sum given
    // with fewer terms has zeros there); their exponents are not.
    const double a2 = dw * ta[1];
    double th[kMaxOrder + 1] = {1.0 + dw * ta[0] + a2 * std::log(tr), a2 / tr, -a2 / (tr * tr),
                                2.0 * a2 / (tr * tr * tr)};
    if (!is_f) {
        const double zc = CCON.zc[ic];
        if (!(zc > 0.0)) return false;
        for (double& x : th) x *= cf.zc0 / zc;
    }
    double ps[kMaxOrder + 1] = {};
    for (int k = 2; k < nt; ++k)
        for (int q = 0; q <= kMaxOrder; ++q) th[q] += power_term(ta[k], te[k], tr, q);
    for (int k = 0; k < nd; ++k)
        for (int q = 0; q <= kMaxOrder; ++q) ps[q] += power_term(da[k], de[k], dr, q);

    const double scale = is_f ? tc / tc0 : dc0 / dc;
    out.t[0] = out.d[0] = (th[0] + ps[0]) * scale;
    double pt = 1.0, pd = 1.0;
    for (int q = 1; q <= kMaxOrder; ++q) {
        pt *= tc;
        pd *= dc;
        out.t[q] = th[q] * scale / pt;
        out.d[q] = ps[q] * scale / pd;
    }
    for (int q = 0; q <= kMaxOrder; ++q)
        if (!std::isfinite(out.t[q]) || !std::isfinite(out.d[q])) {
            out = Shape{};
            return false;
        }
    return true;
}

void shape_out(int ic, Factor which, double T, double D, double& s, double& sT, double& sTT,
               double& sD, double& sDD, double& sTD) {
    Shape sh;
    shape(ic, which, T, D, sh);
    s = sh.t[0];
    sT = sh.t[1];
    sTT = sh.t[2];
    sD = sh.d[1];
    sDD = sh.d[2];
    sTD = 0.0;
}

// ---------------------------------------------------------------------------
// Truncated Taylor series in (T, D): c[i][j] = (d/dT)^i (d/dD)^j g / (i! j!),
// kept for i + j <= n, n being the order of the derivative asked for.
struct Jet {
    double c[kMaxOrder + 1][kMaxOrder + 1] = {};
};

Jet mul(const Jet& a, const Jet& b, int n) {
    Jet r;
    for (int i = 0; i <= n; ++i)
        for (int j = 0; i + j <= n; ++j) {
            double s = 0.0;
            for (int p = 0; p <= i; ++p)
                for (int q = 0; q <= j; ++q) s += a.c[p][q] * b.c[i - p][j - q];
            r.c[i][j] = s;
        }
    return r;
}

void add_scaled(Jet& r, const Jet& a, double k, int n) {
    for (int i = 0; i <= n; ++i)
        for (int j = 0; i + j <= n; ++j) r.c[i][j] += k * a.c[i][j];
}

Jet shape_jet(const Shape& s, int n) {
    Jet j;
    j.c[0][0] = s.t[0];
    for (int k = 1; k <= n && k <= kMaxOrder; ++k) {
        j.c[k][0] = s.t[k] / kFact[k];
        j.c[0][k] = s.d[k] / kFact[k];
    }
    return j;
}

// The state of one evaluation: the component's T and D, its shape factors,
// the reference fluid's slot, reducing values and conformal state.
struct Conformal {
    int r = 0;
    double T = 0, D = 0;
    Shape f, h;
    double t0c = 0, d0c = 0, tau0 = 0, del0 = 0;
    // Plain derivative d^(p+q) alphar0 / dtau0^p ddelta0^q of the reference fluid.
    bool bwr = false;  // the reference fluid's equation is the BWR equation
    double phi(int p, int q) const {
        return bwr ? PHIBWR(r, p, q, tau0, del0) : PHIFEQ(r, p, q, tau0, del0);
    }
    double A(int p, int q) const { return phi(p, q) / (ipow(tau0, p) * ipow(del0, q)); }
};

// Orders 1 and 2 by the chain rule in T and D (the shape factors have no
// mixed derivatives), then tau d/dtau = -T d/dT and delta d/ddelta = D d/dD.
double second_order(const Conformal& c, int itau, int idel) {
    const double T = c.T, D = c.D, G = c.t0c / T;
    const Shape &f = c.f, &h = c.h;
    // tau0 and delta0 and their derivatives in T and D.
    const double tT = G * (f.t[1] - f.t[0] / T), tD = G * f.d[1];
    const double dT = D * h.t[1] / c.d0c, dD = (h.t[0] + D * h.d[1]) / c.d0c;
    // The reference fluid's temperature derivatives are not needed for a
    // density derivative when f does not depend on density.
    const bool need_tau0 = itau > 0 || tD != 0.0 || f.d[2] != 0.0;
    const double a01 = c.A(0, 1), a10 = need_tau0 ? c.A(1, 0) : 0.0;
    if (itau + idel == 1) {
        return itau == 1 ? -T * (a10 * tT + a01 * dT) : D * (a10 * tD + a01 * dD);
    }
    const double a02 = c.A(0, 2);
    const double a11 = need_tau0 ? c.A(1, 1) : 0.0, a20 = need_tau0 ? c.A(2, 0) : 0.0;
    if (idel == 2) {
        const double tDD = G * f.d[2], dDD = (2.0 * h.d[1] + D * h.d[2]) / c.d0c;
        return D * D *
               (a20 * tD * tD + 2.0 * a11 * tD * dD + a02 * dD * dD + a10 * tDD + a01 * dDD);
    }
    if (itau == 2) {
        const double tTT = G * (f.t[2] - 2.0 * f.t[1] / T + 2.0 * f.t[0] / (T * T));
        const double dTT = D * h.t[2] / c.d0c;
        const double aTT =
            a20 * tT * tT + 2.0 * a11 * tT * dT + a02 * dT * dT + a10 * tTT + a01 * dTT;
        const double aT = a10 * tT + a01 * dT;
        return T * T * aTT + 2.0 * T * aT;
    }
    const double tTD = -G * f.d[1] / T, dTD = h.t[1] / c.d0c;
    const double aTD =
        a20 * tT * tD + a11 * (tT * dD + tD * dT) + a02 * dT * dD + a10 * tTD + a01 * dTD;
    return -T * D * aTD;
}

// Order 3 by composing truncated Taylor series in (T, D): the jets of
// tau0 and delta0 are put into the reference fluid's series.
double third_order(const Conformal& c, int itau, int idel) {
    const int n = kMaxOrder;
    const double T = c.T, D = c.D;
    Jet inv_t, dj;
    double p = 1.0 / T;
    for (int k = 0; k <= n; ++k, p /= T) inv_t.c[k][0] = k % 2 ? -p : p;
    dj.c[0][0] = D;
    dj.c[0][1] = 1.0;
    Jet u, v;  // tau0 - tau0(T, D) and delta0 - delta0(T, D)
    add_scaled(u, mul(shape_jet(c.f, n), inv_t, n), c.t0c, n);
    add_scaled(v, mul(dj, shape_jet(c.h, n), n), 1.0 / c.d0c, n);
    u.c[0][0] = v.c[0][0] = 0.0;
    Jet up[kMaxOrder + 1], vp[kMaxOrder + 1];
    up[0].c[0][0] = vp[0].c[0][0] = 1.0;
    for (int k = 1; k <= n; ++k) {
        up[k] = mul(up[k - 1], u, n);
        vp[k] = mul(vp[k - 1], v, n);
    }
    // When f does not depend on density, tau0 varies with T only, and
    // powers of its jet beyond itau cannot reach the T order asked.
    const bool fd = c.f.d[1] != 0.0 || c.f.d[2] != 0.0 || c.f.d[3] != 0.0;
    const int pmax = fd ? n : itau;
    Jet alpha;
    for (int pp = 0; pp <= pmax; ++pp)
        for (int q = 0; pp + q <= n; ++q) {
            if (pp + q == 0) continue;
            const double a = c.A(pp, q);
            if (a == 0.0) continue;
            add_scaled(alpha,
                       pp == 0  ? vp[q]
                       : q == 0 ? up[pp]
                                : mul(up[pp], vp[q], n),
                       a / (kFact[pp] * kFact[q]), n);
        }
    // d^k/dT^k d^idel/dD^idel alphar, then tau^itau d^itau/dtau^itau.
    double g[kMaxOrder + 1] = {};
    for (int k = 0; k <= itau; ++k) g[k] = alpha.c[k][idel] * kFact[k] * kFact[idel];
    double res = 0.0;
    switch (itau) {
        case 0: res = g[0]; break;
        case 1: res = -T * g[1]; break;
        case 2: res = T * T * g[2] + 2.0 * T * g[1]; break;
        default: res = -(T * T * T * g[3] + 6.0 * T * T * g[2] + 6.0 * T * g[1]); break;
    }
    return res * ipow(D, idel);
}

}  // namespace

// ---------------------------------------------------------------------------

void SETECS(int nread, int icomp, const std::string& hcasno, std::string& hrefnm, Code& hrefmd,
            int& ierr, std::string& herr) {
    if (nread < 1) {
        fail(101, "SETECS",
             "illegal file specified; n_fluid = " + fmt_int(nread, 4) +
                 "; CAS no. = " + fixed_width(hcasno, 12),
             ierr, herr);
        return;
    }
    ierr = 0;
    herr.clear();
    if (icomp < 1 || icomp > kMaxComp) {
        // Shape factors exist for components only: a reference-fluid slot
        // (an ECS fluid named as the reference of another) cannot take one.
        ierr = 105;
        herr = errtext("SETECS", 105,
                       "the corresponding-states model serves components 1 to 20 only, not slot " +
                           std::to_string(icomp));
        return;
    }

    CCON.rgas[icomp] = kRgas;
    if (NCOMP.nc == 1 && icomp == 1) GCNST.r = kRgas;
    CCON.ptp[icomp] = 0.0;
    CCON.spare7[icomp] = CCON.spare9[icomp] = CCON.spare10[icomp] = 0.0;
    CfecsComp& cf = CFECS[icomp];
    IcfecsCounts& cnt = ICFECS[icomp];
    cf = CfecsComp{};
    cnt = IcfecsCounts{};

    bool ok = true;
    auto num = [&](double& x) {
        if (ok && !next_numbers(nread, &x, 1)) ok = false;
    };
    auto text = [&](std::string_view& ln) {
        if (ok && !next_line(nread, ln)) ok = false;
    };
    auto unreadable = [&] {
        cnt = IcfecsCounts{};
        ierr = 102;
        herr = errtext("SETECS", 102, "missing or unreadable line in the ECS section");
    };

    double lim[4] = {};
    for (double& x : lim) num(x);
    std::string_view ln;
    text(ln);
    if (ok) EOSMOD.cp0[icomp] = Code(ln.substr(0, 3));
    text(ln);
    if (ok) hrefnm = std::string(ln.substr(0, 255));
    text(ln);
    if (ok) hrefmd = Code(ln.substr(0, 3));
    num(cf.acf0);
    num(cf.zc0);
    num(cf.acf);
    double tc = 0.0, pc = 0.0, dc = 0.0;
    num(tc);
    num(pc);
    num(dc);
    if (!ok) return unreadable();
    if (!(tc > 0.0 && pc > 0.0 && dc > 0.0)) {
        ierr = 104;
        herr =
            errtext("SETECS", 104,
                    "critical temperature, pressure and density must be positive (" +
                        fmt_g(tc, 12, 5) + ", " + fmt_g(pc, 12, 5) + ", " + fmt_g(dc, 12, 5) + ")");
        return;
    }
    CCON.tc[icomp] = tc;
    CCON.pc[icomp] = pc;
    CCON.dc[icomp] = dc;
    ZRED.tred[icomp] = tc;
    ZRED.dred[icomp] = dc;
    CCON.zc[icomp] = pc / (dc * tc * CCON.rgas[icomp]);

    // The four sums in the order of the section: temperature terms of f,
    // density terms of f, temperature terms of h, density terms of h.
    struct Sum {
        const char* what;
        int* count;
        std::array<double, kEcsTerms>* a;
        std::array<double, kEcsTerms>* e;
    };
    const Sum sums[] = {{"temperature terms of f", &cnt.ntf, &cf.tfa, &cf.tfe},
                        {"density terms of f", &cnt.ndf, &cf.dfa, &cf.dfe},
                        {"temperature terms of h", &cnt.nth, &cf.tha, &cf.the},
                        {"density terms of h", &cnt.ndh, &cf.dha, &cf.dhe}};
    for (const Sum& s : sums) {
        int n = 0;
        text(ln);
        if (!ok || read_ints(ln, &n, 1) != 1) return unreadable();
        if (n < 0 || n > kEcsTerms) {
            cnt = IcfecsCounts{};
            ierr = 103;
            herr = errtext("SETECS", 103,
                           std::to_string(n) + " " + s.what +
                               " given; a shape-factor sum holds 0 to " +
                               std::to_string(kEcsTerms) + " terms");
            return;
        }
        for (int k = 0; k < n; ++k) {
            double v[2] = {};
            if (!next_numbers(nread, v, 2)) return unreadable();
            (*s.a)[static_cast<std::size_t>(k)] = v[0];
            (*s.e)[static_cast<std::size_t>(k)] = v[1];
        }
        *s.count = n;
    }

    cf.tmin = EOSLIM.tmin[icomp] = lim[0];
    cf.tmax = EOSLIM.tmax[icomp] = lim[1];
    cf.pmax = EOSLIM.pmax[icomp] = lim[2];
    cf.dmax = EOSLIM.dmax[icomp] = lim[3];
    CCON.dtp[icomp] = lim[3];
}

void FJ(int icomp, double T, double D, double& f, double& fT, double& fTT, double& fD, double& fDD,
        double& fTD) {
    shape_out(icomp, Factor::kF, T, D, f, fT, fTT, fD, fDD, fTD);
}

void HJ(int icomp, double T, double D, double& h, double& hT, double& hTT, double& hD, double& hDD,
        double& hTD) {
    shape_out(icomp, Factor::kH, T, D, h, hT, hTT, hD, hDD, hTD);
}

double PHIECS(int icomp, int itau, int idel, double tau, double del) {
    if (del <= 1.0e-10) return 0.0;
    const int n = itau + idel;
    if (icomp < 1 || icomp > kMaxComp || itau < 0 || idel < 0 || n > kMaxOrder) return 0.0;
    const int r = -icomp;
    // A Helmholtz-explicit or BWR reference equation is served; any other
    // code answers as an unknown model.
    const bool bwr = EOSMOD.eos[r].is("BWR");
    if (!EOSMOD.eos[r].starts("FE") && !bwr) return n == 0 ? -9.99e99 : 0.0;
    if (!(tau > 0.0) || !std::isfinite(tau) || !std::isfinite(del)) return 0.0;

    Conformal c;
    c.T = CCON.tc[icomp] / tau;
    c.D = del * CCON.dc[icomp];
    if (!shape(icomp, Factor::kF, c.T, c.D, c.f) || !shape(icomp, Factor::kH, c.T, c.D, c.h))
        return 0.0;
    c.t0c = ZRED.tred[r];
    c.d0c = ZRED.dred[r];
    if (bwr) {
        double pc0 = 0.0;
        CRTBWR(r, c.t0c, pc0, c.d0c);
    }
    c.bwr = bwr;
    if (!(c.t0c > 0.0 && c.d0c > 0.0)) return 0.0;
    // The conformal state must be positive; below the reference routine's
    // own density floor every reference quantity is 0.
    c.tau0 = c.t0c * c.f.t[0] / c.T;
    c.del0 = c.D * c.h.t[0] / c.d0c;
    if (!(c.tau0 > 0.0) || !(c.del0 > 1.0e-10) || !std::isfinite(c.tau0) || !std::isfinite(c.del0))
        return 0.0;
    c.r = r;
    const double res = n == 0   ? c.phi(0, 0)
                       : n <= 2 ? second_order(c, itau, idel)
                                : third_order(c, itau, idel);
    return std::isfinite(res) ? res : 0.0;
}

void CRTECS(int icomp, double& tc, double& pc, double& dc) {
    tc = CCON.tc[icomp];
    pc = CCON.pc[icomp];
    dc = CCON.dc[icomp];
}

}  // namespace lib
