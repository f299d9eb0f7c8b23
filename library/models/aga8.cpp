// SETAGA, UNSETAGA, SETAG and PHIAGA: the AGA8 detail-characterization
// equation as the mixture model "AGA".
#include "library/models/aga8.h"

#include <cmath>
#include <string_view>

#include "library/library.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/modelgen.h"
#include "library/setup/records.h"

namespace lib {

IntmcfRecord INTMCF;
VarRecord VAR;
AgasvRecord AGASV;

namespace {

constexpr double kRaga = 8.31451;                // gas constant of the equation, J/(mol K)
constexpr double kCalorie = 4.184;               // J, the unit of its heat capacities
constexpr double kT0 = 298.15;                   // K, ideal-gas reference temperature
constexpr double kD0 = 101.325 / (kRaga * kT0);  // mol/L, ideal gas at 101.325 kPa
constexpr int kLinear = 12;                      // terms of B alone
constexpr int kSeries = kAga8Terms - kLinear;

// CAS numbers of fluids taken as one of the equation's components.
struct Alias {
    std::string_view cas, as;
};
constexpr Alias kAliases[] = {{"1333-74-0p", "1333-74-0"}, {"463-82-1", "78-78-4"},
                              {"108-88-3", "142-82-5"},    {"71-43-2", "110-54-3"},
                              {"74-85-1", "74-84-0"},      {"115-07-1", "74-98-6"},
                              {"106-98-9", "106-97-8"}};

int aga_component(std::string_view cas) {
    int m = 0;
    for (int k = 0; k < kAga8Components; ++k)
        if (cas == kAga8Comp[static_cast<std::size_t>(k)].cas) m = k + 1;
    for (const Alias& a : kAliases)
        if (cas == a.cas) m = aga_component(a.as);
    return m;
}

// Per-term factor of tau^itau d^itau/dtau^itau of T^-u.
double tau_factor(double u, int itau) {
    switch (itau) {
        case 0: return 1.0;
        case 1: return u;
        case 2: return u * (u - 1.0);
        default: return u * (u - 1.0) * (u - 2.0);
    }
}

// Reduced density factors of rho^b exp(-E), E = c rho^k (orders 1..3).
double series_factor(double b, double k, double E, int idel) {
    const double L = k * E;
    switch (idel) {
        case 0: return 1.0;
        case 1: return b - L;
        case 2: return b * (b - 1.0) - L * (2.0 * b + k - 1.0 - L);
        default:
            return b * (b - 1.0) * (b - 2.0) +
                   L * (-2.0 + 6.0 * b - 3.0 * b * b - 3.0 * b * k + 3.0 * k - k * k) +
                   3.0 * L * L * (b + k - 1.0) - L * L * L;
    }
}

// The pair quantities depend on the tables only: formed once.
void pair_tables() {
    static bool formed = false;
    if (formed) return;
    formed = true;
    double E[kAga8Components][kAga8Components], U[kAga8Components][kAga8Components],
        K[kAga8Components][kAga8Components], G[kAga8Components][kAga8Components];
    for (int i = 0; i < kAga8Components; ++i)
        for (int j = 0; j < kAga8Components; ++j) E[i][j] = U[i][j] = K[i][j] = G[i][j] = 1.0;
    for (const Aga8Pair& p : kAga8Pair) {
        const int i = p.i - 1, j = p.j - 1;
        E[i][j] = E[j][i] = p.E;
        U[i][j] = U[j][i] = p.U;
        K[i][j] = K[j][i] = p.K;
        G[i][j] = G[j][i] = p.G;
    }
    for (int i = 0; i < kAga8Components; ++i) {
        const Aga8Component& a = kAga8Comp[static_cast<std::size_t>(i)];
        for (int j = 0; j < kAga8Components; ++j) {
            const Aga8Component& b = kAga8Comp[static_cast<std::size_t>(j)];
            const auto si = static_cast<std::size_t>(i), sj = static_cast<std::size_t>(j);
            const double eij = E[i][j] * std::sqrt(a.E * b.E);
            const double gij = G[i][j] * (a.G + b.G) / 2.0;
            const double kk = std::pow(a.K * b.K, 1.5);
            for (int n = 0; n < kAga8Virial; ++n) {
                const Aga8Term& t = kAga8Term[static_cast<std::size_t>(n)];
                double bs = 1.0;
                if (t.g == 1.0) bs *= gij;
                if (t.q == 1.0) bs *= a.Q * b.Q;
                if (t.f == 1.0) bs *= std::sqrt(a.F * b.F);
                if (t.s == 1.0) bs *= a.S * b.S;
                if (t.w == 1.0) bs *= a.W * b.W;
                INTMCF.bij[static_cast<std::size_t>(n)][si][sj] =
                    t.a * std::pow(eij, t.u) * kk * bs;
            }
            INTMCF.kij[si][sj] = (std::pow(K[i][j], 5) - 1.0) * std::pow(a.K * b.K, 2.5);
            INTMCF.uij[si][sj] = (std::pow(U[i][j], 5) - 1.0) * std::pow(a.E * b.E, 2.5);
            INTMCF.gij[si][sj] = (G[i][j] - 1.0) * (a.G + b.G);
        }
    }
}

// The equation's composition y (21 fractions summing to 1) of x.
bool aga_composition(const double x[20], double y[kAga8Components]) {
    for (int k = 0; k < kAga8Components; ++k) y[k] = 0.0;
    double sum = 0.0;
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) {
        const int m = INTMCF.aga[static_cast<std::size_t>(i)];
        if (m >= 1 && x[i - 1] > 0.0) {
            y[m - 1] += x[i - 1];
            sum += x[i - 1];
        }
    }
    if (!(sum > 0.0)) return false;
    for (int k = 0; k < kAga8Components; ++k) y[k] /= sum;
    return true;
}

void form_parameters(const double y[kAga8Components]) {
    pair_tables();
    bool same = true;
    for (int k = 0; k < kAga8Components; ++k)
        if (VAR.y[static_cast<std::size_t>(k)] != y[k]) same = false;
    if (same && VAR.K > 0.0) return;
    VarRecord v;
    double k5 = 0, u5 = 0;
    for (int i = 0; i < kAga8Components; ++i) {
        const Aga8Component& a = kAga8Comp[static_cast<std::size_t>(i)];
        v.y[static_cast<std::size_t>(i)] = y[i];
        k5 += y[i] * std::pow(a.K, 2.5);
        u5 += y[i] * std::pow(a.E, 2.5);
        v.G += y[i] * a.G;
        v.Q += y[i] * a.Q;
        v.F += y[i] * y[i] * a.F;
    }
    k5 *= k5;
    u5 *= u5;
    for (int i = 0; i < kAga8Components; ++i) {
        if (y[i] == 0.0) continue;
        const auto si = static_cast<std::size_t>(i);
        for (int j = 0; j < kAga8Components; ++j) {
            if (y[j] == 0.0) continue;
            const auto sj = static_cast<std::size_t>(j);
            const double yy = y[i] * y[j];
            for (int n = 0; n < kAga8Virial; ++n)
                v.b[static_cast<std::size_t>(n)] +=
                    yy * INTMCF.bij[static_cast<std::size_t>(n)][si][sj];
            if (j > i) {
                k5 += 2.0 * yy * INTMCF.kij[si][sj];
                u5 += 2.0 * yy * INTMCF.uij[si][sj];
                v.G += yy * INTMCF.gij[si][sj];
            }
        }
    }
    v.K = std::pow(k5, 0.2);
    v.U = std::pow(u5, 0.2);
    for (int n = kLinear; n < kAga8Terms; ++n) {
        const Aga8Term& t = kAga8Term[static_cast<std::size_t>(n)];
        double c = t.a * std::pow(v.U, t.u);
        if (t.g == 1.0) c *= v.G;
        if (t.q == 1.0) c *= v.Q * v.Q;
        if (t.f == 1.0) c *= v.F;
        v.c[static_cast<std::size_t>(n)] = c;
    }
    VAR = v;
}

// The saved ideal-gas and constant data of component i, or back.
void save_component(int i) {
    AgasvRecord::Comp& c = AGASV.comp[static_cast<std::size_t>(i)];
    c.rgas = CCON.rgas[i];
    c.wm = CCON.wm[i];
    c.tmin = WLMCPP.tmin[i];
    c.tmax = WLMCPP.tmax[i];
    c.pmax = WLMCPP.pmax[i];
    c.dmax = WLMCPP.dmax[i];
    c.tr = WRDCPP.tr[i];
    c.cr = WRDCPP.cr[i];
    c.counts = WNTCPP.n[i];
    for (int k = 0; k < 5; ++k)
        c.terms[static_cast<std::size_t>(k)] = WCPCPP.c[i][static_cast<std::size_t>(k)];
    c.tref = CREF.tref[i];
    c.dref = CREF.dref[i];
    c.h0 = CREF.h0[i];
    c.s0 = CREF.s0[i];
    c.cp0 = EOSMOD.cp0[i];
}

void restore_component(int i) {
    const AgasvRecord::Comp& c = AGASV.comp[static_cast<std::size_t>(i)];
    CCON.rgas[i] = c.rgas;
    CCON.wm[i] = c.wm;
    WLMCPP.tmin[i] = c.tmin;
    WLMCPP.tmax[i] = c.tmax;
    WLMCPP.pmax[i] = c.pmax;
    WLMCPP.dmax[i] = c.dmax;
    WRDCPP.tr[i] = c.tr;
    WRDCPP.cr[i] = c.cr;
    WNTCPP.n[i] = c.counts;
    for (int k = 0; k < 5; ++k)
        WCPCPP.c[i][static_cast<std::size_t>(k)] = c.terms[static_cast<std::size_t>(k)];
    CREF.tref[i] = c.tref;
    CREF.dref[i] = c.dref;
    CREF.h0[i] = c.h0;
    CREF.s0[i] = c.s0;
    EOSMOD.cp0[i] = c.cp0;
}

// The ideal-gas heat capacity of AGA8 component m in the CPP model's form
// (T_r = 1 K, C_r = 4.184 J/(mol K)): a constant, two cosh and two sinh
// terms (c theta^2) T^-2 f(theta/T)^-2 (an absent term has c = 0).
void aga_ideal_gas(int i, int m) {
    const Aga8Component& a = kAga8Comp[static_cast<std::size_t>(m - 1)];
    const double scale = kRaga / kCalorie;  // dimensionless coefficients in calories
    auto hyper = [&](double c, double th) -> std::array<double, 5> {
        if (th == 0.0 || c == 0.0) return {0.0, -2.0, 1.0, -1.0, -2.0};
        return {c * scale * th * th, -2.0, th, -1.0, -2.0};
    };
    WLMCPP.tmin[i] = 100.0;
    WLMCPP.tmax[i] = 1000.0;
    WRDCPP.tr[i] = 1.0;
    WRDCPP.cr[i] = kCalorie;
    WNTCPP.n[i] = {1, 0, 2, 2, 0, 0, 0};
    auto& t = WCPCPP.c[i];
    t[0] = {a.B * scale, 0.0, 0.0, 0.0, 0.0};
    t[1] = hyper(a.Ecosh, a.Fcosh);
    t[2] = hyper(a.I, a.J);
    t[3] = hyper(a.C, a.D);
    t[4] = hyper(a.Gsinh, a.H);
    EOSMOD.cp0[i] = Code("CPP");
    CREF.tref[i] = kT0;
    CREF.dref[i] = kD0;
    CREF.h0[i] = 0.0;
    CREF.s0[i] = 0.0;
}

void forget_ideal_gas_results() {
    CPPSAV.t.fill(0.0);
    CPPSAV.tref.fill(0.0);
}

// Term values of the last evaluation (T, D, composition) for the orders.
struct TermCache {
    double T = -1, D = -1;
    std::array<double, kAga8Components> y{};
    // The 18 terms linear in the density, then the 46 series terms.
    std::array<double, kAga8Virial + kSeries> value{}, u{}, b{}, k{}, E{};
    std::array<bool, kAga8Virial + kSeries> series{};
};
TermCache g_terms;

void refresh_terms(double T, double D, const double y[kAga8Components]) {
    TermCache& c = g_terms;
    const double rho = VAR.K * VAR.K * VAR.K * D;
    const double lt = std::log(T), lr = rho > 0.0 ? std::log(rho) : 0.0;
    int q = 0;
    auto linear = [&](double v, double u) {
        c.value[static_cast<std::size_t>(q)] = v * std::exp(-u * lt);
        c.u[static_cast<std::size_t>(q)] = u;
        c.series[static_cast<std::size_t>(q)] = false;
        ++q;
    };
    for (int n = 0; n < kAga8Virial; ++n) {
        const double u = kAga8Term[static_cast<std::size_t>(n)].u;
        double v = VAR.b[static_cast<std::size_t>(n)] * D;
        if (n >= kLinear) v -= VAR.c[static_cast<std::size_t>(n)] * rho;
        linear(v, u);
    }
    for (int n = kLinear; n < kAga8Terms; ++n) {
        const Aga8Term& t = kAga8Term[static_cast<std::size_t>(n)];
        const auto s = static_cast<std::size_t>(q);
        const double E = t.k > 0.0 ? t.c * std::exp(t.k * lr) : 0.0;
        c.value[s] = rho > 0.0
                         ? VAR.c[static_cast<std::size_t>(n)] * std::exp(-t.u * lt + t.b * lr - E)
                         : 0.0;
        c.u[s] = t.u;
        c.b[s] = t.b;
        c.k[s] = t.k;
        c.E[s] = E;
        c.series[s] = true;
        ++q;
    }
    c.T = T;
    c.D = D;
    for (int k = 0; k < kAga8Components; ++k) c.y[static_cast<std::size_t>(k)] = y[k];
}

}  // namespace

void SETAGA(int& ierr, std::string& herr) {
    const ModelsChange change;
    ierr = 0;
    herr.clear();
    const int nc = std::min(NCOMP.nc, kMaxComp);
    for (int i = 1; i <= nc; ++i) {
        const int m = aga_component(trim_right(CCAS[i]));
        if (m == 0) {
            fail(1, "SETAGA",
                 "Not all requested fluids are available in AGA8, " + fixed_width(CCAS[i], 12),
                 ierr, herr);
            return;
        }
        INTMCF.aga[static_cast<std::size_t>(i)] = m;
    }
    if (!EOSMOD.mix.is("AGA")) {
        AGASV.mix = EOSMOD.mix;
        AGASV.gcnst = GCNST.r;
        for (int i = 1; i <= nc; ++i) save_component(i);
    }
    EOSMOD.mix = Code("AGA");
    GCNST.r = kRaga;
    pair_tables();
    VAR = VarRecord{};
    g_terms = TermCache{};
    for (int i = 1; i <= nc; ++i) {
        CCON.rgas[i] = kRaga;
        const int m = INTMCF.aga[static_cast<std::size_t>(i)];
        CCON.wm[i] = kAga8Comp[static_cast<std::size_t>(m - 1)].M;
        aga_ideal_gas(i, m);
    }
    forget_ideal_gas_results();
}

void UNSETAGA() {
    const ModelsChange change;
    RESETA();
    if (!EOSMOD.mix.is("AGA")) return;
    EOSMOD.mix = AGASV.mix;
    GCNST.r = AGASV.gcnst;
    for (int i = 1; i <= std::min(NCOMP.nc, kMaxComp); ++i) restore_component(i);
    forget_ideal_gas_results();
    g_terms = TermCache{};
}

void SETAG(const double x[20]) {
    if (NCOMP.nc < 1) return;
    double y[kAga8Components];
    if (!aga_composition(x, y)) return;
    form_parameters(y);
}

double aga8_phi(int itau, int idel, double T, double D, const double y[kAga8Components]) {
    if (!(T > 0.0) || !(D > 0.0) || itau < 0 || itau > 3 || idel < 0 || idel > 3) return 0.0;
    form_parameters(y);
    bool same = T == g_terms.T && D == g_terms.D;
    for (int k = 0; same && k < kAga8Components; ++k)
        same = g_terms.y[static_cast<std::size_t>(k)] == y[k];
    if (!same) refresh_terms(T, D, y);
    const TermCache& c = g_terms;
    double s = 0.0;
    for (std::size_t q = 0; q < c.value.size(); ++q) {
        double v = c.value[q] * tau_factor(c.u[q], itau);
        if (idel > 0)
            v *=
                c.series[q] ? series_factor(c.b[q], c.k[q], c.E[q], idel) : (idel == 1 ? 1.0 : 0.0);
        s += v;
    }
    return s;
}

double PHIAGA(int itau, int idel, double tau, double del, const double x[20]) {
    if (del <= 1.0e-10 || !(tau > 0.0)) return 0.0;
    double y[kAga8Components];
    if (!aga_composition(x, y)) return 0.0;
    double tred = 0, dred = 0;
    REDX(x, tred, dred);
    return aga8_phi(itau, idel, tred / tau, del * dred, y);
}

}  // namespace lib
