// Helmholtz-explicit equation of state.
//
// Term forms (tau = Tred/T, delta = D/Dred):
//   normal:        n tau^t delta^d exp(-gamma delta^l)        (l = 0: no exponential)
//   Gaussian:      n tau^t delta^d exp(c6 (delta - c9)^l + c7 (tau - c8)^m)
//   non-analytic:  n tau^t delta^d psi Delta^b with theta = (1 - tau) + A |delta - 1|^(1/beta),
//                  Delta = theta^2 + B ((delta - 1)^2)^a, psi = exp(-C (delta - 1)^l - D (1 -
//                  tau)^m) (b = c6, beta = c7, A = c8, C = c9, D = c10, B = c11, a = c12)
//
// Evaluation keeps the term values of the last state of each slot (and the
// factors of its tau and of its delta) for that very state only, so that no
// value depends on the states evaluated before; the derivatives are formed
// from them.  The results found at the state before the last are kept too,
// for solvers that go back and forth between two states.  Normal and
// Gaussian terms factor into a tau part and a delta part, so their mixed
// derivatives are products of the one-variable lists.  Non-analytic terms
// do not factor: their first and second derivatives are formed analytically,
// their third-order and mixed higher derivatives from a truncated
// two-variable Taylor expansion of the term (a "jet", feqjet.cpp), which is
// exact to rounding.
#include "library/models/feq.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string_view>
#include <vector>

#include "library/models/feqjet.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace lib {

namespace {

using feqmath::ipow;
using feqmath::kMaxIntPower;
using feqmath::non_analytic;
using feqmath::PowerRecipe;
using feqmath::rpow;

// Values of magnitude below 1e-10 are moved to +-1e-10.
double away_from_zero(double x) {
    if (std::fabs(x) < 1e-10) return x < 0 ? -1e-10 : 1e-10;
    return x;
}

// ---------------------------------------------------------------------------
// State refresh: per-exponent quantities, critical-term parts, term values.

// How each normal term of a slot is evaluated, fixed when its exponent lists
// are built.  A term taken as a product of factors shares the factor of its
// tau exponent and that of its (l, gamma) pair with the other terms that
// have them; a term taken directly costs one exponential of its own at every
// new state.  A factor costs one exponential, except that of a tau exponent
// that is a multiple of 1/8 (multiplications and square roots).  Where
// exponents are not shared (tau exponents of one term each, (l, gamma) pairs
// of few terms), the factors cost more exponentials than the terms when tau
// and delta both move, as they do from one property call to the next.  The
// plan takes as products every term with l = 0 and the terms of the
// (l, gamma) pairs whose factors pay off, and lists the factors needed.
// Beside it, the terms' d and l as reals and the kind of each critical term,
// for the derivative lists.
struct TermPlan {
    int ntpow = 0, ngexp = 0;
    std::array<bool, kFeqTerms> direct{};  // per normal term
    // the normal terms taken as products and those taken directly, each
    // list in increasing term order
    int nprod = 0, ndirect = 0;
    std::array<int, kFeqTerms> prod{}, directk{};
    std::array<int, kFeqTerms> tpow{}, gexp{};  // the factors needed
    std::array<double, kFeqTerms> d{}, l{};     // the term's d and l as reals
    // a normal term's t (t - 1) and t (t - 1) (t - 2), formed as the tau
    // derivatives form them
    std::array<double, kFeqTerms> t2{}, t3{};
    std::array<bool, kFeqCrit> gauss{};  // critical term is Gaussian
    // tau exponents taken by multiplication: tau^tmul_n times
    // tau^(tmul_8 / 8); roots: the largest denominator among them (1, 2, 4, 8)
    int ntmul = 0, roots = 1;
    std::array<int, kFeqTerms> tmul{}, tmul_n{}, tmul_8{};
    // the integer powers of tau and of delta taken (PowerRecipe)
    PowerRecipe tpowers, dpowers;
};
Slots<TermPlan> plans;

// The distance function Delta of a non-analytic term and its derivatives
// at one state, which depend on the term's beta, A, B and a only: the terms
// of an equation mostly share them (water's two), and the second takes the
// first's.
struct DistanceParts {
    bool known = false;
    double beta = 0, A = 0, B = 0, a = 0;
    double theta = 0, Delta = 0, Dd = 0, Dtd = 0, Ddd = 0, lnD = 0;
    bool ok = false;  // Delta positive and finite

    void form(double X, double Y, double beta_, double A_, double B_, double a_) {
        if (known && beta_ == beta && A_ == A && B_ == B && a_ == a) return;
        known = true;
        beta = beta_;
        A = A_;
        B = B_;
        a = a_;
        const double ax = std::fabs(X), ax2 = ax * ax;
        const double q1 = std::pow(ax, 1.0 / beta);  // |X|^(1/beta)
        const double q2 = std::pow(ax, 2.0 * a);     // |X|^(2a)
        theta = Y + A * q1;
        Delta = theta * theta + B * q2;
        ok = Delta > 0.0 && std::isfinite(Delta);
        if (!ok) return;
        Dd = X * (2.0 * A * theta / beta) * q1 / ax2 + 2.0 * B * a * X * q2 / ax2;
        Dtd = -(2.0 * A / beta) * X * q1 / ax2;
        Ddd = 2.0 * (A / beta) * (A / beta) * q1 * q1 / ax2 +
              (1.0 / beta - 1.0) * (2.0 * A * theta / beta) * q1 / ax2 +
              2.0 * B * a * (2.0 * a - 1.0) * q2 / ax2;
        lnD = std::log(Delta);
    }
};

void critical_parts(int ic, int j, int k, double tau, double del, double& E, bool& dead,
                    DistanceParts& dist) {
    constexpr double kNegligible = -150.0;
    auto& cs = CRTSAV.c[ic][j];
    const auto& c = WCFFQ2.c[ic][j];
    const int l = WCFFEQ.l[ic][k];
    const double m = WCFFEQ.m[ic][j];
    cs[6] = 1.0;  // Delta^b of a Gaussian term; [7]..[11] are read for non-analytic terms only
    dead = false;
    if (plans[ic].gauss[static_cast<std::size_t>(j)]) {
        const double de = del - c[3], dt = tau - c[2];
        cs[0] = de;
        cs[1] = dt;
        cs[5] = l == 0 ? 0.0 : c[0] * ipow(de, l - 1);
        cs[3] = l == 0 ? c[0] : cs[5] * de;
        if (m == 2.0) {
            cs[4] = c[1] * dt;
            cs[2] = cs[4] * dt;
        } else if (m == 0.0) {
            cs[4] = 0.0;
            cs[2] = c[1];
        } else {
            cs[4] = c[1] * rpow(dt, m - 1.0);
            cs[2] = cs[4] * dt;
        }
        E += cs[2] + cs[3];
        dead = !std::isfinite(cs[2]) || !std::isfinite(cs[4]);
        return;
    }
    cs.fill(0.0);
    cs[6] = 1.0;
    const double b = c[0], beta = c[1], A = c[2], C = c[3], Dc = c[4], B = c[5], a = c[6];
    const double X = away_from_zero(del - 1.0), Y = away_from_zero(1.0 - tau);
    cs[0] = X;
    cs[1] = -Y;
    cs[3] = -C * ipow(X, l);
    cs[2] = -Dc * rpow(Y, m);
    // Far from the critical point the exponential alone puts the term below
    // e^-150, where Delta^b (below e^50) cannot lift it above the e^-100
    // under which it counts as zero: no powers of Delta are formed.  (Such a
    // term, with its third derivatives' factors below e^20, stays under
    // 1e-34: carbon dioxide's terms, evaluated at every state of air with
    // its trace of it, near e^-90.)
    if (E + cs[2] + cs[3] < kNegligible) {
        E += cs[2] + cs[3];
        return;
    }
    dist.form(X, Y, beta, A, B, a);
    if (!dist.ok || !std::isfinite(cs[2])) {
        dead = true;
        return;
    }
    const double theta = dist.theta, Delta = dist.Delta, lnD = dist.lnD;
    const double Dt = -2.0 * theta, Dtt = 2.0;
    const double Dd = dist.Dd, Dtd = dist.Dtd, Ddd = dist.Ddd;
    const double Db = std::exp(b * lnD);
    const double bD1 = b * Db / Delta;
    cs[6] = Db;
    cs[7] = bD1 * Dd;
    cs[8] = bD1 * Dt;
    cs[9] = bD1 * (Dtd + (b - 1.0) * Dt * Dd / Delta);
    cs[10] = bD1 * (Dtt + (b - 1.0) * Dt * Dt / Delta);
    cs[11] = bD1 * (Ddd + (b - 1.0) * Dd * Dd / Delta);
    E += cs[2] + cs[3] + b * lnD;
}

// The factors of the normal terms' values per distinct exponent, kept with
// the stored tau and delta of FEQSAV and refreshed with them: tau^t,
// delta^d and exp(-gamma delta^l).  A state that moves in one variable only
// (an isotherm, an isochore) then needs no exponential for the other.
struct TermFactors {
    SlotArr<double, kFeqTerms> tpow, dpow, gexp;
};
TermFactors factors;

// tau^t of a t that is a multiple of 1/8 by multiplication (and square
// roots of tau).
bool by_multiplication(double t) {
    const double t8 = 8.0 * t;
    return t8 == std::nearbyint(t8) && std::fabs(t) <= 64.0;
}

// Exponentials per new state of a slot for the set of (l, gamma) pairs whose
// terms are taken as products (bit j: pair j), when tau and delta both move
// (both) and when only delta moves (del).
struct PlanCost {
    int both, del;
};
PlanCost plan_cost(int ic, unsigned mask) {
    const auto& K = WNTFEQ.k[ic];
    std::array<bool, kFeqTerms> tused{}, gused{};
    int direct = 0;
    for (int k = 0; k < K.nterm; ++k) {
        const int j = WLFFEQ.ilg[ic][k];
        if (WCFFEQ.ldist[ic][j] != 0 && !(mask >> j & 1u)) {
            ++direct;
            continue;
        }
        tused[static_cast<std::size_t>(WLFFEQ.it[ic][k])] = true;
        if (WCFFEQ.ldist[ic][j] != 0) gused[static_cast<std::size_t>(j)] = true;
    }
    int nt = 0, ng = 0;
    for (int j = 0; j < kFeqTerms; ++j) {
        nt += tused[static_cast<std::size_t>(j)] && !by_multiplication(WCFFEQ.tdist[ic][j]);
        ng += gused[static_cast<std::size_t>(j)];
    }
    return {nt + ng + direct, ng + direct};
}

// What plan_cost reads of slot ic, as one key: the same equation loaded
// again (a fluid set up after another, a mixture's reference fluids) gets
// the subset weighed for it before.
std::vector<double> weigh_key(int ic) {
    const auto& K = WNTFEQ.k[ic];
    std::vector<double> key = {static_cast<double>(K.nterm), static_cast<double>(K.nlg),
                               static_cast<double>(K.ntau)};
    for (int k = 0; k < K.nterm; ++k) {
        key.push_back(WLFFEQ.ilg[ic][k]);
        key.push_back(WLFFEQ.it[ic][k]);
    }
    for (int j = 0; j < K.nlg; ++j) key.push_back(WCFFEQ.ldist[ic][j]);
    for (int j = 0; j < K.ntau; ++j) key.push_back(WCFFEQ.tdist[ic][j]);
    return key;
}

// The subset of `all` with the fewest exponentials over a new state where
// both variables move (property calls) and one where delta alone moves (the
// saturation solvers between their phases); of equals, fewest for the
// first.
unsigned weigh_subsets(int ic, unsigned all) {
    static std::map<std::vector<double>, unsigned> weighed;
    std::vector<double> key = weigh_key(ic);
    key.push_back(all);
    if (const auto known = weighed.find(key); known != weighed.end()) return known->second;
    const auto better = [](PlanCost a, PlanCost b) {
        return a.both + a.del < b.both + b.del ||
               (a.both + a.del == b.both + b.del && a.both < b.both);
    };
    unsigned best = all;
    PlanCost bc = plan_cost(ic, all);
    for (unsigned s = (all - 1) & all;; s = (s - 1) & all) {
        const PlanCost c = plan_cost(ic, s);
        if (better(c, bc)) bc = c, best = s;
        if (s == 0) break;
    }
    constexpr std::size_t kWeighedKept = 512;
    if (weighed.size() >= kWeighedKept) weighed.clear();
    weighed.emplace(std::move(key), best);
    return best;
}

void build_plan(int ic) {
    const auto& K = WNTFEQ.k[ic];
    TermPlan& P = plans[ic];
    P = TermPlan{};
    // The pairs used by normal terms with l != 0; every subset of them is
    // weighed (a few at most; beyond 10 all are taken as products).
    std::array<bool, kFeqTerms> lg{};
    int nlg = 0;
    for (int k = 0; k < K.nterm; ++k) {
        const int j = WLFFEQ.ilg[ic][k];
        if (WCFFEQ.ldist[ic][j] != 0 && !lg[static_cast<std::size_t>(j)]) {
            lg[static_cast<std::size_t>(j)] = true;
            ++nlg;
        }
    }
    unsigned all = 0;
    for (int j = 0; j < K.nlg && j < 32; ++j)
        if (lg[static_cast<std::size_t>(j)]) all |= 1u << j;
    const bool weigh = nlg <= 10 && K.nlg <= 32;
    const unsigned best = weigh ? weigh_subsets(ic, all) : all;
    std::array<bool, kFeqTerms> tused{}, gused{};
    for (int k = 0; k < K.nterm; ++k) {
        const int j = WLFFEQ.ilg[ic][k];
        const bool l0 = WCFFEQ.ldist[ic][j] == 0;
        if (!l0 && weigh && !(best >> j & 1u)) {
            P.direct[static_cast<std::size_t>(k)] = true;
            continue;
        }
        const int jt = WLFFEQ.it[ic][k];
        if (!tused[static_cast<std::size_t>(jt)]) {
            tused[static_cast<std::size_t>(jt)] = true;
            // An exponent that is a multiple of 1/8 is taken by
            // multiplication (and square roots), which costs less than
            // exp(t ln tau) and is as close.
            if (by_multiplication(WCFFEQ.tdist[ic][jt])) {
                const double t = WCFFEQ.tdist[ic][jt];
                const int n = static_cast<int>(std::floor(t));
                const int f = static_cast<int>(8.0 * (t - n));  // eighths, 0..7
                const auto q = static_cast<std::size_t>(P.ntmul++);
                P.tmul[q] = jt;
                P.tmul_n[q] = n;
                P.tmul_8[q] = f;
                P.tpowers.add(n);
                P.roots = std::max(P.roots, f == 0 ? 1 : f % 4 == 0 ? 2 : f % 2 == 0 ? 4 : 8);
            } else {
                P.tpow[static_cast<std::size_t>(P.ntpow++)] = jt;
            }
        }
        if (!l0 && !gused[static_cast<std::size_t>(j)]) {
            gused[static_cast<std::size_t>(j)] = true;
            P.gexp[static_cast<std::size_t>(P.ngexp++)] = j;
        }
    }
    for (int k = 0; k < K.nterm; ++k) {
        if (P.direct[static_cast<std::size_t>(k)])
            P.directk[static_cast<std::size_t>(P.ndirect++)] = k;
        else
            P.prod[static_cast<std::size_t>(P.nprod++)] = k;
    }
    for (int j = 0; j < K.nlg; ++j)
        if (WCFFEQ.ldist[ic][j] == 0) factors.gexp[ic][j] = 1.0;
    for (int k = 0; k < K.nterm + K.ncrit; ++k) {
        P.d[static_cast<std::size_t>(k)] = WCFFEQ.d[ic][k];
        P.l[static_cast<std::size_t>(k)] = WCFFEQ.l[ic][k];
    }
    for (int k = 0; k < K.nterm; ++k) {
        const double t = WCFFEQ.t[ic][k];
        P.t2[static_cast<std::size_t>(k)] = t * (t - 1.0);
        P.t3[static_cast<std::size_t>(k)] = t * (t - 1.0) * (t - 2.0);
    }
    for (int j = 0; j < K.ncrit; ++j) P.gauss[static_cast<std::size_t>(j)] = !non_analytic(ic, j);
    for (int j = 0; j < K.ndel; ++j) P.dpowers.add(static_cast<int>(WCFFEQ.ddist[ic][j]));
    for (int j = 0; j < K.nlg; ++j) P.dpowers.add(WCFFEQ.ldist[ic][j]);
    P.tpowers.plan();
    P.dpowers.plan();
}

// The values of the normal terms of slot ic at the state stored in FEQSAV,
// from the factors and exponents refreshed with it.  The terms taken as
// products go first, in one pass free of branches: a product well inside
// (e^-200, e^100) has its exponent E inside too.  Where some product is
// not, those terms are taken again: E decides, and exp(E) stands in where
// a factor has left the range of doubles.  Then the terms taken directly.
void normal_terms(int ic, const TermPlan& P) {
    const auto& S = FEQSAV;
    const auto& F = factors;
    const int* __restrict jt = WLFFEQ.it[ic].data();
    const int* __restrict jd = WLFFEQ.id[ic].data();
    const int* __restrict jg = WLFFEQ.ilg[ic].data();
    const double* __restrict tl = S.tlog[ic].data();
    const double* __restrict dl = S.dlog[ic].data();
    const double* __restrict gl = S.gdl[ic].data();
    const double* __restrict n = WCFFEQ.n[ic].data();
    const double* __restrict tp = F.tpow[ic].data();
    const double* __restrict dp = F.dpow[ic].data();
    const double* __restrict ge = F.gexp[ic].data();
    double* __restrict vv = FEQSAV.v[ic].data();
    const int* __restrict prod = P.prod.data();
    bool inside = true;
    for (int q = 0; q < P.nprod; ++q) {
        const int k = prod[q];
        const double f = tp[jt[k]] * dp[jd[k]] * ge[jg[k]];
        vv[k] = n[k] * f;
        inside = inside & (f > 1e-80) & (f < 1e40);
    }
    for (int q = 0; q < P.nprod && !inside; ++q) {
        const int k = prod[q];
        const double f = tp[jt[k]] * dp[jd[k]] * ge[jg[k]];
        if (f > 1e-80 && f < 1e40) continue;
        const double E = tl[jt[k]] + dl[jd[k]] - gl[jg[k]];
        vv[k] = 0.0;
        if (E < 100.0 && E > -200.0) vv[k] = n[k] * (f > 1e-300 && f < 1e300 ? f : std::exp(E));
    }
    for (int q = 0; q < P.ndirect; ++q) {
        const int k = P.directk[static_cast<std::size_t>(q)];
        const double E = tl[jt[k]] + dl[jd[k]] - gl[jg[k]];
        vv[k] = E < 100.0 && E > -200.0 ? n[k] * std::exp(E) : 0.0;
    }
}

void refresh(int ic, double tau, double del) {
    auto& S = FEQSAV;
    const auto& W = WCFFEQ;
    const auto& K = WNTFEQ.k[ic];
    const TermPlan& P = plans[ic];
    auto& F = factors;
    FEQSV2.valid[ic].fill('0');
    if (!(tau == S.tau[ic])) {
        S.tau[ic] = tau;
        const double lt = std::log(tau);
        for (int j = 0; j < K.ntau; ++j) S.tlog[ic][j] = W.tdist[ic][j] * lt;
        for (int q = 0; q < P.ntpow; ++q) {
            const int j = P.tpow[static_cast<std::size_t>(q)];
            F.tpow[ic][j] = std::exp(S.tlog[ic][j]);
        }
        // r[f] = tau^(f/8) for the eighths in use
        double r[8] = {1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
        if (P.roots >= 2) r[4] = std::sqrt(tau);
        if (P.roots >= 4) {
            r[2] = std::sqrt(r[4]);
            r[6] = r[4] * r[2];
        }
        if (P.roots >= 8) {
            r[1] = std::sqrt(r[2]);
            r[3] = r[2] * r[1];
            r[5] = r[4] * r[1];
            r[7] = r[6] * r[1];
        }
        double tp[kMaxIntPower + 1];
        P.tpowers.form(tau, tp);
        for (int q = 0; q < P.ntmul; ++q) {
            const auto u = static_cast<std::size_t>(q);
            F.tpow[ic][P.tmul[u]] = PowerRecipe::of(tp, tau, P.tmul_n[u]) * r[P.tmul_8[u]];
        }
    }
    if (!(del == S.del[ic])) {
        S.del[ic] = del;
        const double ld = std::log(del);
        double dp[kMaxIntPower + 1];
        P.dpowers.form(del, dp);
        for (int j = 0; j < K.ndel; ++j) {
            S.dlog[ic][j] = W.ddist[ic][j] * ld;
            F.dpow[ic][j] = PowerRecipe::of(dp, del, static_cast<int>(W.ddist[ic][j]));
        }
        for (int j = 0; j < K.nlg; ++j) {
            const int l = W.ldist[ic][j];
            S.gdl[ic][j] = l == 0 ? 0.0 : W.gdist[ic][j] * PowerRecipe::of(dp, del, l);
        }
        for (int q = 0; q < P.ngexp; ++q) {
            const int j = P.gexp[static_cast<std::size_t>(q)];
            F.gexp[ic][j] = std::exp(-S.gdl[ic][j]);
        }
    }
    tau = S.tau[ic];
    del = S.del[ic];
    ++S.gen[ic];
    const auto& it = WLFFEQ.it[ic];
    const auto& id = WLFFEQ.id[ic];
    auto& v = S.v[ic];
    normal_terms(ic, P);
    double sum = 0;
    for (int k = 0; k < K.nterm; ++k) sum += v[k];
    DistanceParts dist;
    for (int j = 0; j < K.ncrit; ++j) {
        const int k = K.nterm + j;
        double E = S.tlog[ic][it[k]] + S.dlog[ic][id[k]];
        bool dead = false;
        critical_parts(ic, j, k, tau, del, E, dead, dist);
        if (dead) {
            CRTSAV.c[ic][j].fill(0.0);
            CRTSAV.c[ic][j][6] = 1.0;
        }
        // (Below e^-100 a term and its derivatives lie under 1e-34.)
        v[k] = (dead || E >= 100.0 || E <= -100.0) ? 0.0 : W.n[ic][k] * std::exp(E);
        sum += v[k];
    }
    S.res[ic][0] = sum;
    FEQSV2.valid[ic][0] = '1';
}

// ---------------------------------------------------------------------------
// Per-term derivative lists.  Index 0/2/4: delta orders 1/2/3; 1/3: tau orders 1/2.

// delta^i d^i/ddelta^i of the normal terms: i = 1 and 2 into o1 and o2, or
// i = 3 alone into o1 (third).
template <bool third>
void normal_delta(int n, const double* __restrict d, const double* __restrict l,
                  const int* __restrict ilg, const double* __restrict gdl,
                  const double* __restrict v, double* __restrict o1, double* __restrict o2) {
    for (int k = 0; k < n; ++k) {
        const double dd = d[k];
        const double lk = l[k];
        const double u = lk * gdl[ilg[k]];
        const double a1 = dd - u;                // delta dw/ddelta, w = ln(term)
        const double a2 = -dd - (lk - 1.0) * u;  // delta^2 d2w/ddelta2
        if constexpr (third) {
            const double a3 = 2.0 * dd - (lk - 1.0) * (lk - 2.0) * u;
            o1[k] = (a3 + 3.0 * a1 * a2 + a1 * a1 * a1) * v[k];
        } else {
            o1[k] = a1 * v[k];
            o2[k] = (a1 * a1 + a2) * v[k];
        }
    }
}

// The delta lists of slot ic: orders 1 and 2 into o1 and o2, or (o2 null)
// order 3 into o1.  Both lower orders are formed in one pass: a caller that
// asks for one of them asks for the other at the same state as a rule.
void fill_delta(int ic, double* o1, double* o2) {
    const auto& W = WCFFEQ;
    const auto& K = WNTFEQ.k[ic];
    const TermPlan& P = plans[ic];
    const auto& v = FEQSAV.v[ic];
    const double del = FEQSAV.del[ic];
    const bool third = o2 == nullptr;
    const int* ilg = WLFFEQ.ilg[ic].data();
    const double* gdl = FEQSAV.gdl[ic].data();
    if (third)
        normal_delta<true>(K.nterm, P.d.data(), P.l.data(), ilg, gdl, v.data(), o1, o2);
    else
        normal_delta<false>(K.nterm, P.d.data(), P.l.data(), ilg, gdl, v.data(), o1, o2);
    for (int j = 0; j < K.ncrit; ++j) {
        const int k = K.nterm + j;
        double r1 = 0.0, r2 = 0.0;
        const auto& cs = CRTSAV.c[ic][j];
        const auto& c = WCFFQ2.c[ic][j];
        const double dd = W.d[ic][k];
        const int l = W.l[ic][k];
        const bool gauss = P.gauss[static_cast<std::size_t>(j)];
        if (v[k] != 0.0 && gauss) {
            const double h = dd + del * l * cs[5];
            const double w2 = -dd + (l == 2  ? 2.0 * del * del * c[0]
                                     : l > 2 ? l * (l - 1.0) * del * del * c[0] * ipow(cs[0], l - 2)
                                             : 0.0);
            if (third) {
                const double w3 = 2.0 * dd + (l >= 3 ? l * (l - 1.0) * (l - 2.0) * del * del * del *
                                                           c[0] * ipow(cs[0], l - 3)
                                                     : 0.0);
                r1 = (w3 + 3.0 * h * w2 + h * h * h) * v[k];
            } else {
                r1 = h * v[k];
                r2 = (h * h + w2) * v[k];
            }
        } else if (v[k] != 0.0 && !third) {  // (its third order comes from its Taylor jet)
            const double X = cs[0], C = c[3];
            const double G = dd / del - C * l * ipow(X, l - 1);
            const double Qd = cs[7] / cs[6];
            const double G1 = -dd / (del * del) - C * l * (l - 1.0) * ipow(X, l - 2);
            r1 = del * v[k] * (G + Qd);
            r2 = del * del * v[k] * (G1 + G * G + 2.0 * G * Qd + cs[11] / cs[6]);
        }
        o1[k] = r1;
        if (!third) o2[k] = r2;
    }
}

// tau^i d^i/dtau^i of a Gaussian term divided by its value, i = 1, 2, as
// filled into the tau lists with them.
Slots<std::array<std::array<double, kFeqCrit>, 2>> gauss_tau;

// The tau lists of slot ic, orders 1 and 2 into o1 and o2 (formed together
// like the delta lists).
void fill_tau(int ic, double* __restrict o1, double* __restrict o2) {
    const auto& W = WCFFEQ;
    const auto& K = WNTFEQ.k[ic];
    const TermPlan& P = plans[ic];
    const auto& v = FEQSAV.v[ic];
    const double tau = FEQSAV.tau[ic];
    {
        const double* __restrict t = W.t[ic].data();
        const double* __restrict t2 = P.t2.data();
        const double* __restrict vv = v.data();
        for (int k = 0; k < K.nterm; ++k) {
            o1[k] = t[k] * vv[k];
            o2[k] = t2[k] * vv[k];
        }
    }
    for (int j = 0; j < K.ncrit; ++j) {
        const int k = K.nterm + j;
        double r1 = 0.0, r2 = 0.0;
        if (v[k] != 0.0) {
            const auto& cs = CRTSAV.c[ic][j];
            const auto& c = WCFFQ2.c[ic][j];
            const double t = W.t[ic][k];
            const double m = W.m[ic][j];
            if (P.gauss[static_cast<std::size_t>(j)]) {
                const double g = t + tau * m * cs[4];
                const double mm = m * (m - 1.0);
                const double w2 = -t + (m == 2.0    ? 2.0 * tau * tau * c[1]
                                        : mm != 0.0 ? mm * tau * tau * c[1] * rpow(cs[1], m - 2.0)
                                                    : 0.0);
                r1 = (gauss_tau[ic][0][static_cast<std::size_t>(j)] = g) * v[k];
                r2 = (gauss_tau[ic][1][static_cast<std::size_t>(j)] = g * g + w2) * v[k];
            } else {
                const double Y = -cs[1], Dc = c[4];
                const double H = t / tau + Dc * m * rpow(Y, m - 1.0);
                const double Qt = cs[8] / cs[6];
                const double H1 = -t / (tau * tau) - Dc * m * (m - 1.0) * rpow(Y, m - 2.0);
                r1 = tau * v[k] * (H + Qt);
                r2 = tau * tau * v[k] * (H1 + H * H + 2.0 * H * Qt + cs[10] / cs[6]);
            }
        }
        o1[k] = r1;
        o2[k] = r2;
    }
}

// tau^3 d3/dtau3 summed over the normal and Gaussian terms (the non-analytic
// terms come from their Taylor jets).
double tau3_sum(int ic) {
    const auto& W = WCFFEQ;
    const auto& K = WNTFEQ.k[ic];
    const auto& v = FEQSAV.v[ic];
    const double tau = FEQSAV.tau[ic];
    double sum = 0;
    const double* t3 = plans[ic].t3.data();
    for (int k = 0; k < K.nterm; ++k) sum += t3[k] * v[k];
    for (int j = 0; j < K.ncrit; ++j) {
        const int k = K.nterm + j;
        if (v[k] == 0.0 || !plans[ic].gauss[static_cast<std::size_t>(j)]) continue;
        const auto& cs = CRTSAV.c[ic][j];
        const auto& c = WCFFQ2.c[ic][j];
        const double t = W.t[ic][k];
        const double m = W.m[ic][j];
        const double g = t + tau * m * cs[4];
        const double mm = m * (m - 1.0);
        const double w2 = -t + (m == 2.0    ? 2.0 * tau * tau * c[1]
                                : mm != 0.0 ? mm * tau * tau * c[1] * rpow(cs[1], m - 2.0)
                                            : 0.0);
        const double m3 = mm * (m - 2.0);
        const double w3 =
            2.0 * t + (m3 != 0.0 ? m3 * tau * tau * tau * c[1] * rpow(cs[1], m - 3.0) : 0.0);
        sum += (w3 + 3.0 * g * w2 + g * g * g) * v[k];
    }
    return sum;
}

// Sum of a list in four interleaved parts (the additions do not wait on one
// another).  The list is padded with zeros to a multiple of four entries.
double list_sum(double* a, int n) {
    const int n4 = (n + 3) & ~3;
    switch (n4 - n) {  // (a call of memset would cost more than the stores)
        case 3: a[n + 2] = 0.0; [[fallthrough]];
        case 2: a[n + 1] = 0.0; [[fallthrough]];
        case 1: a[n] = 0.0; break;
        default: break;
    }
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    for (int k = 0; k < n4; k += 4) {
        s0 += a[k];
        s1 += a[k + 1];
        s2 += a[k + 2];
        s3 += a[k + 3];
    }
    return (s0 + s1) + (s2 + s3);
}

// Makes TERMS list idx of slot ic current (with its partner of the other
// lower order) and returns its sum.
double ensure_list(int ic, int idx) {
    const auto i = static_cast<std::size_t>(idx);
    auto& list = TERMS.list[ic];
    auto& sum = TERMS.sum[ic];
    auto& gen = TERMS.gen[ic];
    if (gen[i] == FEQSAV.gen[ic]) return sum[i];
    const int n = WNTFEQ.k[ic].nterm + WNTFEQ.k[ic].ncrit;
    if (idx == 4) {
        fill_delta(ic, list[4].data(), nullptr);
    } else {
        // lists 0, 2 (delta) or 1, 3 (tau)
        const std::size_t a = i & 1u, b = a + 2;
        if (a == 0)
            fill_delta(ic, list[a].data(), list[b].data());
        else
            fill_tau(ic, list[a].data(), list[b].data());
        sum[a] = list_sum(list[a].data(), n);
        sum[b] = list_sum(list[b].data(), n);
        gen[a] = gen[b] = FEQSAV.gen[ic];
        return sum[i];
    }
    sum[i] = list_sum(list[i].data(), n);
    gen[i] = FEQSAV.gen[ic];
    return sum[i];
}

// Mixed derivative of the factorable terms from the tau list it and the delta
// list id, plus the non-analytic terms (exact cross derivative for (1,1),
// Taylor jet otherwise).
double mixed(int ic, int itau, int idel) {
    const int lt = itau == 1 ? 1 : 3;
    const int ld = idel == 1 ? 0 : 2;
    ensure_list(ic, lt);
    ensure_list(ic, ld);
    const auto& K = WNTFEQ.k[ic];
    const auto& v = FEQSAV.v[ic];
    // A factorable term's tau list entry is its value times a factor of
    // tau alone (t or t (t - 1) for a normal term); the product of the two
    // lists divided by the value is that factor times the delta list entry.
    const double* t = WCFFEQ.t[ic].data();
    const double* b = TERMS.list[ic][static_cast<std::size_t>(ld)].data();
    double sum = 0;
    if (itau == 1) {
        for (int k = 0; k < K.nterm; ++k)
            if (std::fabs(v[k]) > 1e-20) sum += t[k] * b[k];
    } else {
        const double* t2 = plans[ic].t2.data();
        for (int k = 0; k < K.nterm; ++k)
            if (std::fabs(v[k]) > 1e-20) sum += t2[k] * b[k];
    }
    bool any_na = false;
    const double tau = FEQSAV.tau[ic], del = FEQSAV.del[ic];
    for (int j = 0; j < K.ncrit; ++j) {
        const int k = K.nterm + j;
        if (plans[ic].gauss[static_cast<std::size_t>(j)]) {
            if (std::fabs(v[k]) > 1e-20)
                sum += gauss_tau[ic][static_cast<std::size_t>(itau - 1)][j] * b[k];
            continue;
        }
        any_na = true;
        if (itau != 1 || idel != 1 || v[k] == 0.0) continue;
        const auto& cs = CRTSAV.c[ic][j];
        const auto& c = WCFFQ2.c[ic][j];
        const double tk = WCFFEQ.t[ic][k], m = WCFFEQ.m[ic][j];
        const double dd = WCFFEQ.d[ic][k];
        const int l = WCFFEQ.l[ic][k];
        const double G = dd / del - c[3] * l * ipow(cs[0], l - 1);
        const double H = tk / tau + c[4] * m * rpow(-cs[1], m - 1.0);
        sum += tau * del * v[k] * (H * G + (H * cs[7] + G * cs[8] + cs[9]) / cs[6]);
    }
    if (any_na && !(itau == 1 && idel == 1)) sum += feq_non_analytic_sum(ic, itau, idel);
    return sum;
}

// The result at position pos of the state before the stored one, when that
// state is (tau, del) and the result was found there; else null.  A stored
// state cleared (tau 0) makes the one before it count for nothing.
const double* previous_result(int ic, int pos, double tau, double del) {
    const auto& S = FEQSAV;
    if (S.tau[ic] == 0.0 || !(tau == S.prev_tau[ic] && del == S.prev_del[ic])) return nullptr;
    if (FEQSV2.prev_valid[ic][static_cast<std::size_t>(pos)] != '1') return nullptr;
    return &S.prev_res[ic][static_cast<std::size_t>(pos)];
}

// The stored state and its results become the state before the next.
void keep_as_previous(int ic) {
    auto& S = FEQSAV;
    S.prev_tau[ic] = S.tau[ic];
    S.prev_del[ic] = S.del[ic];
    S.prev_res[ic] = S.res[ic];
    FEQSV2.prev_valid[ic] = FEQSV2.valid[ic];
}

}  // namespace

// ---------------------------------------------------------------------------

void SETFEQ(int nread, int icomp, const std::string& /*hcas*/, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    FEQSV3.analytic[icomp] = 1;
    // Every slot's cache is forgotten: the next evaluation of any slot
    // recomputes (a stored tau and delta of 0 match no state evaluated, and
    // the recomputation writes every term's values).  The slot loaded has
    // no values of its own yet.
    FEQSAV.tau.fill(0.0);
    FEQSAV.del.fill(0.0);
    for (auto* a : {&FEQSAV.v, &FEQSAV.tlog, &FEQSAV.dlog, &FEQSAV.gdl}) (*a)[icomp].fill(0.0);

    auto& W = WCFFEQ;
    auto& K = WNTFEQ.k[icomp];
    if (nread <= 0) {
        ierr = 1;
        herr = errtext("SETFEQ", "error", "", "fluid input to SETFEQ not found");
    } else {
        bool ok = true;
        auto num = [&](double& x) {
            if (ok && !next_numbers(nread, &x, 1)) ok = false;
            return ok ? x : 0.0;
        };
        double x = 0, v3[3] = {};
        W.tmin[icomp] = num(x);
        W.tmax[icomp] = num(x);
        W.pmax[icomp] = num(x);
        EOSLIM.dmax[icomp] = num(x);
        std::string_view line;
        if (ok && next_line(nread, line))
            EOSMOD.cp0[icomp] = Code(line.substr(0, 3));
        else
            ok = false;
        W.wm[icomp] = CCON.wm[icomp] = num(x);
        CCON.ttp[icomp] = num(x);
        W.ptp[icomp] = CCON.ptp[icomp] = num(x);
        W.dtp[icomp] = CCON.dtp[icomp] = num(x);
        CCON.tnbp[icomp] = num(x);
        CCON.acf[icomp] = num(x);
        if (ok && !next_numbers(nread, v3, 3)) ok = false;
        W.tc[icomp] = CCON.tc[icomp] = v3[0];
        W.pc[icomp] = CCON.pc[icomp] = v3[1];
        W.dc[icomp] = CCON.dc[icomp] = v3[2];
        double v2[2] = {};
        if (ok && !next_numbers(nread, v2, 2)) ok = false;
        W.tred[icomp] = ZRED.tred[icomp] = v2[0];
        W.dred[icomp] = ZRED.dred[icomp] = v2[1];
        W.r[icomp] = CCON.rgas[icomp] = num(x);
        if (ok && NCOMP.nc == 1 && icomp == 1) GCNST.r = W.r[icomp];
        const double rtd = W.r[icomp] * W.tc[icomp] * W.dc[icomp];
        CCON.zc[icomp] = rtd != 0.0 ? W.pc[icomp] / rtd : 0.0;
        CCON.spare7[icomp] = CCON.spare9[icomp] = CCON.spare10[icomp] = 0.0;

        int cnt[6] = {};
        if (ok && (!next_line(nread, line) || read_ints(line, cnt, 6) < 6)) ok = false;
        const int nt = cnt[0], nk = cnt[2];
        K = WntfeqCounts{};
        if (ok && (nt < 0 || nk < 0 || nk > kFeqCrit || nt + nk > kFeqTerms)) {
            ierr = 2;
            herr = errtext("SETFEQ", 2,
                           "the equation has " + std::to_string(nt) + " normal and " +
                               std::to_string(nk) + " critical terms; at most " +
                               std::to_string(kFeqTerms) + " terms in all and " +
                               std::to_string(kFeqCrit) + " critical terms can be held");
        } else if (ok) {
            const int ncol = cnt[1] == 5 ? 5 : 4;
            for (int k = 0; k < nt && ok; ++k) {
                double c[5] = {0, 0, 0, 0, 1.0};
                if (!next_numbers(nread, c, ncol)) ok = false;
                W.n[icomp][k] = c[0];
                W.t[icomp][k] = c[1];
                W.d[icomp][k] = static_cast<int>(std::lround(c[2]));
                W.l[icomp][k] = static_cast<int>(std::lround(c[3]));
                W.g[icomp][k] = ncol == 5 ? c[4] : 1.0;
            }
            for (int j = 0; j < nk && ok; ++j) {
                const int k = nt + j;
                double c[12] = {};
                if (!next_numbers(nread, c, 12)) ok = false;
                W.n[icomp][k] = c[0];
                W.t[icomp][k] = c[1];
                W.d[icomp][k] = static_cast<int>(std::lround(c[2]));
                W.l[icomp][k] = static_cast<int>(std::lround(c[3]));
                W.m[icomp][j] = c[4];
                W.g[icomp][k] = 0.0;
                for (int q = 0; q < 7; ++q) WCFFQ2.c[icomp][j][q] = c[5 + q];
                if (std::fabs(c[9]) > 1e-20 && std::fabs(c[10]) > 1e-20 && std::fabs(c[11]) > 1e-20)
                    FEQSV3.analytic[icomp] = 0;
            }
            if (ok) {
                K.nterm = nt;
                K.ncol = cnt[1];
                K.ncrit = nk;
                K.ccol = cnt[3];
                K.nspare = cnt[4];
                K.scol = cnt[5];
            }
        }
        if (!ok && ierr == 0) {
            K = WntfeqCounts{};
            ierr = 3;
            herr =
                errtext("SETFEQ", 3, "missing or unreadable line in the equation of state section");
        }
    }
    SETEXP(icomp);
    EOSLIM.tmin[icomp] = W.tmin[icomp];
    EOSLIM.tmax[icomp] = W.tmax[icomp];
    EOSLIM.pmax[icomp] = W.pmax[icomp];
}

void SETEXP(int icomp) {
    auto& W = WCFFEQ;
    auto& K = WNTFEQ.k[icomp];
    auto& L = WLFFEQ;
    W.tdist[icomp][0] = W.t[icomp][0];
    W.ddist[icomp][0] = W.d[icomp][0];
    W.ldist[icomp][0] = W.l[icomp][0];
    W.gdist[icomp][0] = W.g[icomp][0];
    K.ntau = K.ndel = K.nlg = 1;
    const int n = K.nterm + K.ncrit;
    for (int k = 0; k < n; ++k) {
        int j = 0;
        while (j < K.ntau && !(std::fabs(W.tdist[icomp][j] - W.t[icomp][k]) < 1e-10)) ++j;
        if (j == K.ntau) W.tdist[icomp][K.ntau++] = W.t[icomp][k];
        L.it[icomp][k] = j;
        j = 0;
        while (j < K.ndel && W.ddist[icomp][j] != W.d[icomp][k]) ++j;
        if (j == K.ndel) W.ddist[icomp][K.ndel++] = W.d[icomp][k];
        L.id[icomp][k] = j;
        j = 0;
        while (j < K.nlg &&
               !(W.ldist[icomp][j] == W.l[icomp][k] && W.gdist[icomp][j] == W.g[icomp][k]))
            ++j;
        if (j == K.nlg) {
            W.ldist[icomp][K.nlg] = W.l[icomp][k];
            W.gdist[icomp][K.nlg++] = W.g[icomp][k];
        }
        L.ilg[icomp][k] = j;
    }
    build_plan(icomp);
}

double PHIFEQ(int icomp, int itau, int idel, double tau, double del) {
    if (del <= 1e-10 || tau <= 0) return 0.0;
    if (itau < 0 || idel < 0 || itau > 3 || idel > 3) return 0.0;
    const int pos = itau + 4 * idel;
    auto& flags = FEQSV2.valid[icomp];
    if (tau == FEQSAV.tau[icomp] && del == FEQSAV.del[icomp]) {
        if (flags[pos] == '1') return FEQSAV.res[icomp][pos];
    } else if (const double* kept = previous_result(icomp, pos, tau, del)) {
        return *kept;
    } else {
        keep_as_previous(icomp);
        refresh(icomp, tau, del);
        if (pos == 0) return FEQSAV.res[icomp][0];
    }
    double r = 0.0;
    switch (pos) {
        case 0: r = FEQSAV.res[icomp][0]; break;   // (0,0) after a reset of the flags
        case 4: r = ensure_list(icomp, 0); break;  // (0,1)
        case 8: r = ensure_list(icomp, 2); break;  // (0,2)
        case 12:                                   // (0,3)
            r = ensure_list(icomp, 4) + feq_non_analytic_sum(icomp, 0, 3);
            break;
        case 1: r = ensure_list(icomp, 1); break;  // (1,0)
        case 2: r = ensure_list(icomp, 3); break;  // (2,0)
        case 3:                                    // (3,0)
            r = tau3_sum(icomp) + feq_non_analytic_sum(icomp, 3, 0);
            break;
        case 5: r = mixed(icomp, 1, 1); break;   // (1,1)
        case 9: r = mixed(icomp, 1, 2); break;   // (1,2)
        case 6: r = mixed(icomp, 2, 1); break;   // (2,1)
        case 10: r = mixed(icomp, 2, 2); break;  // (2,2)
        default: return 0.0;                     // not defined
    }
    FEQSAV.res[icomp][pos] = r;
    flags[pos] = '1';
    return r;
}

void REDFEQ(int icomp, double& tred, double& dred) {
    tred = WCFFEQ.tred[icomp];
    dred = WCFFEQ.dred[icomp];
}

void CRTFEQ(int icomp, double& tc, double& pc, double& dc) {
    tc = WCFFEQ.tc[icomp];
    pc = WCFFEQ.pc[icomp];
    dc = WCFFEQ.dc[icomp];
}

}  // namespace lib
