// PHIDERV: composition derivatives of the residual Helmholtz energy of a
// mixture, to second order, by the chain rule through the reducing
// functions and the fraction derivatives at constant tau and delta (the form
// published for the GERG-2004 model), and what the phase-equilibrium solvers
// build on them (PHIDR).  The multi-fluid model gives its fraction
// derivatives through its reducing and departure functions; the
// Peng-Robinson and AGA8 mixtures, written in T and D, give their own at
// constant T and D, so that N_T and N_D below are 0 for them.
//
// Notation: alpha(tau, delta, x) the reduced residual Helmholtz energy,
// a_mn = tau^m delta^n d^(m+n) alpha / dtau^m ddelta^n, fractions taken as
// independent in the reducing and departure functions.  For a function
// g(tau, delta, x) the derivative n dg/dn_j at constant T and V is
//   L_j g = delta g_delta (1 + N_D,j) + tau g_tau N_T,j + g_xj - sum_k x_k g_xk
// with N_T,j = (n/Tr) dTr/dn_j and N_D,j = (n/Vr) dVr/dn_j (Vr = 1/Dr).
#include "library/models/phiderv.h"

#include <array>
#include <cmath>

#include "library/models/aga8.h"
#include "library/models/critp.h"
#include "library/models/fracderiv.h"
#include "library/models/hmx.h"
#include "library/models/hmxprep.h"
#include "library/models/hmxrecords.h"
#include "library/models/phik.h"
#include "library/models/pr.h"
#include "library/models/records.h"
#include "library/setup/records.h"

namespace lib {

namespace {

using Vec = std::array<double, kMaxComp>;
using Mat = std::array<Vec, kMaxComp>;

// The mixture at (T, D, x): its reduced state and residual derivatives.
struct MixState {
    double T = 0, D = 0, R = 0, tr = 0, vr = 0, tau = 0, del = 0;
    double a00 = 0, a01 = 0, a10 = 0, a02 = 0, a20 = 0, a11 = 0;
    int n = 0;                      // components present (x > 0)
    std::array<int, kMaxComp> c{};  // their numbers, 1..nc
};

// Derivatives of alpha by the fractions at constant tau and delta (the
// fields of FractionDerivatives, tau and delta in place of T and D).
using FractionDerivs = FractionDerivatives;

double sum_x(const MixState& s, const double x[20], const Vec& v) {
    double r = 0.0;
    for (int p = 0; p < s.n; ++p) r += x[s.c[p] - 1] * v[static_cast<std::size_t>(s.c[p] - 1)];
    return r;
}

// The pairs with a departure function of each present component, the
// partners in ascending order (the order in which their terms are added).
struct Partners {
    std::array<int, kMaxComp> n{};
    std::array<std::array<const HmxDeparture*, kMaxComp>, kMaxComp> dep{};
};

void departure_partners(const double x[20], Partners& pt) {
    const HmxPrepared& P = HMXPREP;
    // (The list runs by i, then j: each component meets its partners in
    // ascending order.)
    for (int n = 0; n < P.ndep; ++n) {
        const HmxDeparture& d = P.dep[static_cast<std::size_t>(n)];
        if (d.tr1 || !(x[d.i - 1] > 0.0) || !(x[d.j - 1] > 0.0)) continue;
        for (int c : {d.i, d.j}) {
            const auto a = static_cast<std::size_t>(c - 1);
            pt.dep[a][static_cast<std::size_t>(pt.n[a]++)] = &d;
        }
    }
}

// The fraction derivatives at constant tau and delta: a pair without a
// departure function adds nothing, so only the listed ones are visited.
void fraction_derivs(const MixState& s, const double x[20], bool second, FractionDerivs& f) {
    struct Order {
        Vec* v;
        int itau, idel;
    };
    const Order orders[] = {{&f.ax, 0, 0}, {&f.axd, 0, 1}, {&f.axt, 1, 0}};
    Partners pt;
    departure_partners(x, pt);
    for (int p = 0; p < s.n; ++p) {
        const int i = s.c[static_cast<std::size_t>(p)];
        const auto a = static_cast<std::size_t>(i - 1);
        for (int o = 0; o < 3; ++o) {
            double v = PHIK(i, orders[o].itau, orders[o].idel, s.tau, s.del);
            for (int q = 0; q < pt.n[a]; ++q) {
                const HmxDeparture& d = *pt.dep[a][static_cast<std::size_t>(q)];
                const int k = d.i == i ? d.j : d.i;
                v += x[k - 1] * hmx_departure_term(d, orders[o].itau, orders[o].idel, s.tau, s.del);
            }
            (*orders[o].v)[a] = v;
        }
        if (!second) continue;
        for (int q = 0; q < pt.n[a]; ++q) {
            const HmxDeparture& d = *pt.dep[a][static_cast<std::size_t>(q)];
            const int k = d.i == i ? d.j : d.i;
            f.axx[a][static_cast<std::size_t>(k - 1)] = hmx_departure_term(d, 0, 0, s.tau, s.del);
        }
    }
}

// n dN_i/dn_j of N_i = (dY_i - sum_k x_k dY_k)/Y for a reducing function Y
// with gradient dY and Hessian dYY (fractions independent).
Mat reducing_second(const MixState& s, const double x[20], double Y, const Vec& N, const Vec& dY,
                    const Mat& dYY) {
    Mat g{}, out{};
    Vec sk{};  // sum_k x_k dYY[k][j]
    for (int q = 0; q < s.n; ++q) {
        const auto j = static_cast<std::size_t>(s.c[q] - 1);
        for (int r = 0; r < s.n; ++r) {
            const auto k = static_cast<std::size_t>(s.c[r] - 1);
            sk[j] += x[k] * dYY[k][j];
        }
    }
    for (int p = 0; p < s.n; ++p) {
        const auto i = static_cast<std::size_t>(s.c[p] - 1);
        for (int q = 0; q < s.n; ++q) {
            const auto j = static_cast<std::size_t>(s.c[q] - 1);
            g[i][j] = -dY[j] / Y * N[i] + (dYY[i][j] - dY[j] - sk[j]) / Y;
        }
    }
    for (int p = 0; p < s.n; ++p) {
        const auto i = static_cast<std::size_t>(s.c[p] - 1);
        double sm = 0.0;
        for (int r = 0; r < s.n; ++r) {
            const auto m = static_cast<std::size_t>(s.c[r] - 1);
            sm += x[m] * g[i][m];
        }
        for (int q = 0; q < s.n; ++q) {
            const auto j = static_cast<std::size_t>(s.c[q] - 1);
            out[i][j] = g[i][j] - sm;
        }
    }
    return out;
}

bool mixture_state(double T, double D, const double x[20], MixState& s) {
    RMIX(x);
    s.T = T;
    s.D = D;
    s.R = GCNST.r;
    double tred = 0, dred = 0;
    REDX(x, tred, dred);
    if (!(tred > 0.0) || !(dred > 0.0) || !(T > 0.0) || !std::isfinite(T) || !std::isfinite(D) ||
        !std::isfinite(tred) || !std::isfinite(dred))
        return false;
    s.tr = tred;
    s.vr = 1.0 / dred;
    s.tau = tred / T;
    s.del = D / dred;
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i)
        if (x[i - 1] > 0.0) s.c[static_cast<std::size_t>(s.n++)] = i;
    s.a00 = PHIX(0, 0, s.tau, s.del, x);
    s.a01 = PHIX(0, 1, s.tau, s.del, x);
    s.a10 = PHIX(1, 0, s.tau, s.del, x);
    return true;
}

// The second-order entries of PHIDR from the first-order quantities.
void second_order(const MixState& s, const double x[20], const ReducingDerivatives& rd,
                  const FractionDerivs& f, const Vec& nt, const Vec& nd, const Vec& A) {
    PhidrRecord& P = PHIDR;
    const double sxd = sum_x(s, x, f.axd), sxt = sum_x(s, x, f.axt), sx = sum_x(s, x, f.ax);
    Vec lphid{}, lphit{};  // L_j(a01), L_j(a10)
    for (int q = 0; q < s.n; ++q) {
        const auto j = static_cast<std::size_t>(s.c[q] - 1);
        lphid[j] = (s.a01 + s.a02) * (1.0 + nd[j]) + s.a11 * nt[j] + f.axd[j] - sxd;
        lphit[j] = s.a11 * (1.0 + nd[j]) + (s.a10 + s.a20) * nt[j] + f.axt[j] - sxt;
    }
    P.ntn = reducing_second(s, x, s.tr, nt, rd.dt, rd.dtt);
    P.ndn = reducing_second(s, x, s.vr, nd, rd.dv, rd.dvv);
    // L_j(ax_i) and L_j(sum_k x_k ax_k).
    Mat lax{};
    for (int p = 0; p < s.n; ++p) {
        const auto i = static_cast<std::size_t>(s.c[p] - 1);
        double sxx = 0.0;
        for (int r = 0; r < s.n; ++r) {
            const auto k = static_cast<std::size_t>(s.c[r] - 1);
            sxx += x[k] * f.axx[i][k];
        }
        for (int q = 0; q < s.n; ++q) {
            const auto j = static_cast<std::size_t>(s.c[q] - 1);
            lax[j][i] = f.axd[i] * (1.0 + nd[j]) + f.axt[i] * nt[j] + f.axx[i][j] - sxx;
        }
    }
    const double RT = s.R * s.T, DRT = s.D * RT;
    const double dpdd = RT * (1.0 + 2.0 * s.a01 + s.a02);
    const double dpdt = s.D * s.R * (1.0 + s.a01 - s.a11);
    double dpdv = -s.D * s.D * dpdd;
    if (dpdv == 0.0) dpdv = 1.0e-20;
    double p = DRT * (1.0 + s.a01);
    if (p == 0.0) p = 1.0e-20;
    for (int q = 0; q < s.n; ++q) {
        const auto j = static_cast<std::size_t>(s.c[q] - 1);
        double lsum = f.ax[j] - sx;
        for (int r = 0; r < s.n; ++r) {
            const auto k = static_cast<std::size_t>(s.c[r] - 1);
            lsum += x[k] * lax[j][k];
        }
        for (int pp = 0; pp < s.n; ++pp) {
            const auto i = static_cast<std::size_t>(s.c[pp] - 1);
            P.d2nadn2[i][j] = A[j] + lphid[j] * (1.0 + nd[i]) + s.a01 * P.ndn[i][j] +
                              lphit[j] * nt[i] + s.a10 * P.ntn[i][j] + lax[j][i] - lsum;
        }
    }
    for (int pp = 0; pp < s.n; ++pp) {
        const auto i = static_cast<std::size_t>(s.c[pp] - 1);
        P.ddel_dn[i] = lphid[i] - s.a01 * (1.0 + nd[i]);
        P.dphid_dn[i] = lphid[i];
        P.dphit_dn[i] = lphit[i];
        P.dmu_dt[i] = -(s.a10 + lphit[i]) / s.T;
        P.dphid_dx[i] = f.axd[i] + s.a11 * rd.dt[i] / s.tr + (s.a01 + s.a02) * rd.dv[i] / s.vr;
        P.ndp_dn[i] = DRT * (1.0 + s.a01 * (2.0 + nd[i]) + P.ddel_dn[i]);
        P.dp_dx[i] = DRT * P.dphid_dx[i];
        const double vi = -P.ndp_dn[i] / dpdv;  // partial molar volume, L/mol
        P.dlnphi_dp[i] = vi / RT - 1.0 / p;
        P.dlnphi_dt[i] = P.dmu_dt[i] + 1.0 / s.T - vi * dpdt / RT;
        P.dlnf_dt[i] = 1.0 / s.T + P.dmu_dt[i];
        P.dlnf_dv[i] = -P.ndp_dn[i] / RT;
        P.drtmu_dt[i] = s.R * (A[i] + s.a00) + RT * P.dmu_dt[i];
    }
    for (int pp = 0; pp < s.n; ++pp) {
        const auto i = static_cast<std::size_t>(s.c[pp] - 1);
        for (int q = 0; q < s.n; ++q) {
            const auto j = static_cast<std::size_t>(s.c[q] - 1);
            P.trxx[i][j] = rd.dtt[i][j];
            P.vrxx[i][j] = rd.dvv[i][j];
            P.axx[i][j] = f.axx[i][j];
            const double m = P.d2nadn2[i][j] + 1.0 + P.ndp_dn[i] * P.ndp_dn[j] / (RT * dpdv);
            P.ndlnphi_dn[i][j] = m;
            // Along x_j up with the other fractions scaled to keep their sum
            // (n d/dn_j at constant n): matrix [j][i] is the derivative of
            // component i's quantity.
            P.dlnphi_dx[j][i] = m;
            P.dlnf_dx[j][i] = m + (i == j ? 1.0 / x[i] : 0.0);
        }
    }
}

// The derivatives by the fractions of the model in use.  The multi-fluid
// model's come through its reducing functions and departure terms; the
// models written in T and D (Peng-Robinson, AGA8) give theirs at constant
// T and D, their reducing values then being constants of the composition.
bool composition_derivatives(const MixState& s, const double x[20], bool second,
                             ReducingDerivatives& rd, FractionDerivs& f, int& ierr,
                             std::string& herr) {
    if (EOSMOD.mix.starts("PR") || EOSMOD.mix.is("AGA")) {
        rd = ReducingDerivatives{};
        rd.tr = s.tr;
        rd.vr = s.vr;
        bool done = false;
        if (EOSMOD.mix.is("AGA")) {
            done = aga8_fraction_derivatives(s.T, s.D, x, second, f);
        } else if (PHIPRX(kCompositionDerivatives, 0, s.tau, s.del, x) == -1.0) {
            f.ax = PHIDR.ax;
            f.axd = PHIDR.axd;
            f.axt = PHIDR.axt;
            f.axx = PHIDR.axx;
            done = true;
        }
        if (!done) ierr = 1;
        return done;
    }
    if (!reducing_derivatives(x, rd, ierr, herr)) return false;
    fraction_derivs(s, x, second, f);
    tr1_fraction_derivatives(s.tau, s.del, x, second, f);
    return true;
}

// Whether every entry of PHIDR of the present components is finite (the
// others stay 0 from its reset).
bool phidr_finite(const MixState& s) {
    const PhidrRecord& P = PHIDR;
    for (const Vec* v : {&P.ddel_dn, &P.dphid_dn, &P.dphit_dn, &P.dmu_dt, &P.da_dx, &P.dphid_dx,
                         &P.nt, &P.nd, &P.ax, &P.ndp_dn, &P.axd, &P.axt, &P.dp_dx, &P.lnxphi,
                         &P.dlnphi_dp, &P.dlnphi_dt, &P.dlnf_dt, &P.dlnf_dv, &P.drtmu_dt})
        for (int p = 0; p < s.n; ++p)
            if (!std::isfinite((*v)[static_cast<std::size_t>(s.c[p] - 1)])) return false;
    for (const Mat* m : {&P.d2nadn2, &P.trxx, &P.vrxx, &P.axx, &P.ntn, &P.ndn, &P.dlnphi_dx,
                         &P.dlnf_dx, &P.ndlnphi_dn})
        for (int p = 0; p < s.n; ++p)
            for (int q = 0; q < s.n; ++q)
                if (!std::isfinite((*m)[static_cast<std::size_t>(s.c[p] - 1)]
                                       [static_cast<std::size_t>(s.c[q] - 1)]))
                    return false;
    return true;
}

// Whether PHIDR holds nothing but the entries a first-order call fills: a
// call after such a one clears only those (the whole record is some 30 kB,
// and its clearing cost a tenth of a first-order call).  PHIDERV alone
// writes the record (the Peng-Robinson model through it).
bool first_order_only = false;

bool uses_reducing_functions() { return !(EOSMOD.mix.starts("PR") || EOSMOD.mix.is("AGA")); }

// Every entry of PHIDR set to 0.
void clear_phidr() {
    PhidrRecord& P = PHIDR;
    if (!first_order_only) {
        P = PhidrRecord{};
        first_order_only = true;
        return;
    }
    for (PhidrRecord::Vec* v : {&P.nt, &P.nd, &P.ax, &P.axd, &P.axt, &P.da_dx, &P.lnxphi})
        v->fill(0.0);
}

}  // namespace

bool composition_derivatives_exist(const double x[20]) {
    return EOSMOD.mix.starts("PR") || EOSMOD.mix.is("AGA") || reducing_derivatives_exist(x);
}

void PHIDERV(int iderv, double T, double D, const double x[20], double dadn[20], double dnadn[20],
             int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    for (int i = 0; i < kMaxComp; ++i) dadn[i] = dnadn[i] = 0.0;
    clear_phidr();
    MixState s;
    if (!mixture_state(T, D, x, s) || !(1.0 + s.a01 > 0.0)) {
        ierr = 1;
        return;
    }
    const bool second = iderv >= 2;
    // (The models written in T and D leave their matrix in PHIDR.)
    if (second || !uses_reducing_functions()) first_order_only = false;
    ReducingDerivatives rd;
    FractionDerivs f;
    if (!composition_derivatives(s, x, second, rd, f, ierr, herr)) return;
    if (second) {
        s.a02 = PHIX(0, 2, s.tau, s.del, x);
        s.a20 = PHIX(2, 0, s.tau, s.del, x);
        s.a11 = PHIX(1, 1, s.tau, s.del, x);
    }
    const double sdt = sum_x(s, x, rd.dt), sdv = sum_x(s, x, rd.dv), sx = sum_x(s, x, f.ax);
    Vec nt{}, nd{}, A{};
    PhidrRecord& P = PHIDR;
    for (int p = 0; p < s.n; ++p) {
        const auto i = static_cast<std::size_t>(s.c[p] - 1);
        nt[i] = (rd.dt[i] - sdt) / s.tr;
        nd[i] = (rd.dv[i] - sdv) / s.vr;
        A[i] = s.a01 * (1.0 + nd[i]) + s.a10 * nt[i] + f.ax[i] - sx;
        dadn[i] = A[i];
        dnadn[i] = A[i] + s.a00;
        P.nt[i] = nt[i];
        P.nd[i] = nd[i];
        P.ax[i] = f.ax[i];
        P.axd[i] = f.axd[i];
        P.axt[i] = f.axt[i];
        P.da_dx[i] = f.ax[i] + s.a10 * rd.dt[i] / s.tr + s.a01 * rd.dv[i] / s.vr;
        P.lnxphi[i] = std::log(x[i]) + dnadn[i] - std::log(1.0 + s.a01);
    }
    if (second) second_order(s, x, rd, f, nt, nd, A);
    // A state beyond the equation's reach (overflowing terms) is an error,
    // never a non-finite result.
    bool finite = std::isfinite(s.a00 + s.a01 + s.a10 + s.a02 + s.a20 + s.a11);
    for (int i = 0; i < kMaxComp; ++i) finite = finite && std::isfinite(dadn[i] + dnadn[i]);
    if (second) finite = finite && phidr_finite(s);
    if (!finite) {
        for (int i = 0; i < kMaxComp; ++i) dadn[i] = dnadn[i] = 0.0;
        PHIDR = PhidrRecord{};
        first_order_only = true;
        ierr = 1;
    }
}

}  // namespace lib
