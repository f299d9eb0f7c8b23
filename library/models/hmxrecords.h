// Shared records of the multi-fluid mixture model (HMX): the binary pairs'
// mixing rules and parameters read from the mixture-parameter text, the
// departure functions ("#MXM" sections), the evaluation caches and the
// composition derivatives left for the phase-equilibrium solvers (PHIDR).
#pragma once

#include <array>
#include <string>

#include "library/setup/common.h"

namespace lib {

constexpr int kHmxTerms = 15;      // terms of one departure function
constexpr int kHmxModels = 40;     // "#MXM" sections of one mixture-parameter text
constexpr int kHmxPairs = 190;     // binary pairs of 20 components
constexpr int kHmxOrders = 16;     // derivative orders (itau, idel), itau, idel = 0..3
constexpr int kCritLineCoef = 22;  // c1..c11 of the Tc line, u1..u11 of the Vc line

// One value per ordered pair of components (i, j), both 1..20.
template <class T>
struct PairTable {
    std::array<T, kMaxComp * kMaxComp> v{};
    T& operator()(int i, int j) {
        return v[static_cast<std::size_t>((i - 1) + kMaxComp * (j - 1))];
    }
    const T& operator()(int i, int j) const {
        return v[static_cast<std::size_t>((i - 1) + kMaxComp * (j - 1))];
    }
};

// Mixing rule of each pair: "KW?" (beta/gamma reducing rule with a departure
// function), "LJ?", "LM?", "LIN", "TR1" (ammonia + water); "i=j" on the
// diagonal.
struct MixmodRecord {
    PairTable<Code> code;
};
extern MixmodRecord MIXMOD;

// Term counts of a pair's departure function: ordinary terms and
// Gaussian-bell terms, and the number of the "#MXM" model the terms belong
// to (1..MXRULE; 0 for none).
struct CfihmxRecord {
    PairTable<int> nterm, nbell, model;
};
extern CfihmxRecord CFIHMX;

// Binary parameters p1..p6 of each pair (both orders hold the same values):
// "KW" beta_T, gamma_T, beta_v, gamma_v, F, unused; "LJ" zeta, xi, F, beta,
// gamma; "LM" K_t, K_v, F, beta, gamma; "LIN" K_t, K_v; "TR1" K_t, K_v,
// alpha, beta, gamma.
struct CfxhmxRecord {
    PairTable<std::array<double, 6>> p;
};
extern CfxhmxRecord CFXHMX;

// Counterweights of each pair: value 1 (c_T) and value 3 (c_v) weight the
// fraction of the higher-index component in the "KW" rule (1 when the text
// lists the pair with the lower-index component first); the alternative
// values that GETKTV reports and SETKTV keeps.
struct Cf2hmxRecord {
    PairTable<std::array<double, 6>> c;
};
extern Cf2hmxRecord CF2HMX;

// Critical-line codes of each pair ("TC1", "VC1"; "i=j" on the diagonal)
// and their coefficients c1..c11, u1..u11.
struct CrtmodRecord {
    PairTable<Code> tc, vc;
};
extern CrtmodRecord CRTMOD;
struct CfxcrtRecord {
    PairTable<std::array<double, kCritLineCoef>> c;
};
extern CfxcrtRecord CFXCRT;

// Peng-Robinson line of each pair: its code and six values (the first k_ij).
struct PrmodRecord {
    PairTable<Code> code;
};
extern PrmodRecord PRMOD;
struct CfxprRecord {
    PairTable<std::array<double, 6>> k;
};
extern CfxprRecord CFXPR;

// Forms of the Gaussian-bell terms of a model (the sixth integer of its
// counts line): n tau^t delta^d exp(-eta (delta - eps)^2 - beta (delta - gamma))
// with the exponent linear in delta beside the bell, or
// n tau^t delta^d exp(-eta (delta - eps)^2 - beta (tau - gamma)^2), a bell in
// tau as well.
constexpr int kBellInDelta = 0;
constexpr int kBellInTau = 1;

// One "#MXM" model: ordinary terms n, t, d, l (columns 0..3) and
// Gaussian-bell terms n, t, d, eta, eps, beta, gamma (columns 0..6) of the
// form bell_form.
struct HmxModel {
    Code code;
    int nterm = 0, nbell = 0;
    int bell_form = kBellInDelta;
    std::array<std::array<double, 7>, kHmxTerms> c{};
};

// Descriptions of the models and the sources of the pairs' parameters.
struct MxinfoRecord {
    // Entry 0: the mixture-parameter text last set up; entry n (pairs counted
    // (1,2), (1,3) .. (nc-1,nc)): the source of pair n's parameters.
    std::array<std::string, kHmxPairs + 1> source;
    std::array<std::string, kHmxModels + 1> model;                 // code + description
    std::array<std::array<std::string, 6>, kHmxModels + 1> names;  // parameter names
    std::array<HmxModel, kHmxModels + 1> terms;                    // departure functions
    std::array<std::array<double, 6>, kHmxModels + 1> defaults{};  // MXINF2
};
extern MxinfoRecord MXINFO;
struct Mxinf1Record {
    std::array<std::string, kHmxPairs + 1> comment;  // per pair n
};
extern Mxinf1Record MXINF1;
extern int MXRULE;  // number of models read
extern int HMXFLG;  // version number of the mixture-parameter text

// Evaluation cache of the departure functions, one entry per model number
// (never per code: two codes never share an entry): the state of the last
// evaluation, the term values and their exponential arguments (delta^l of an
// ordinary term, the whole exponent of a Gaussian-bell term), the sums of the
// sixteen orders (index itau + 4 idel) and their validity.
struct HmxsavRecord {
    std::array<double, kHmxModels + 1> tau{}, del{};
    std::array<std::array<double, kHmxTerms>, kHmxModels + 1> term{}, arg{};
    std::array<std::array<double, kHmxOrders>, kHmxModels + 1> sum{};
    std::array<std::array<char, kHmxOrders>, kHmxModels + 1> valid{};  // HMXSV2
    // The state before the stored one with the sums found at it, for the
    // solvers that go back and forth between two states.
    std::array<double, kHmxModels + 1> prev_tau{}, prev_del{};
    std::array<std::array<double, kHmxOrders>, kHmxModels + 1> prev_sum{};
    std::array<std::array<char, kHmxOrders>, kHmxModels + 1> prev_valid{};
};
extern HmxsavRecord HMXSAV;

// Per-term delta and tau factors (orders 1..3) of the last evaluation of
// each model: delta^o (d^o term / d delta^o) / term, the same in tau.  Every
// term is a product of a function of tau and one of delta, so a mixed
// derivative is the term times its tau factor times its delta factor.
struct MxtrmsRecord {
    std::array<std::array<std::array<double, kHmxTerms>, 3>, kHmxModels + 1> dfac{}, tfac{};
};
extern MxtrmsRecord MXTRMS;

// Composition derivatives of the residual Helmholtz energy left by PHIDERV
// for the phase-equilibrium solvers.  Vectors are indexed by component
// (element i - 1 for component i); a matrix m[j][i] holds the derivative of
// the quantity of component i by the amount or fraction of component j.
// Entries of components with x_i <= 0 stay 0.  Notation: alpha = residual
// Helmholtz energy / RT, tau = Tred/T, delta = D/Dred; n the total amount.
struct PhidrRecord {
    using Vec = std::array<double, kMaxComp>;
    using Mat = std::array<Vec, kMaxComp>;
    Vec ddel_dn{};    // 1: delta n (d alpha_delta / d n_i) at constant T, V
    Mat d2nadn2{};    // 2: n d2(n alpha)/(d n_i d n_j) at constant T, V
    Vec dphid_dn{};   // 3: n d(delta alpha_delta)/d n_i at constant T, V
    Vec dphit_dn{};   // 4: n d(tau alpha_tau)/d n_i at constant T, V
    Vec dmu_dt{};     // 5: d/dT of d(n alpha)/d n_i at constant V and n, 1/K
    Vec da_dx{};      // 6: d alpha / d x_i at constant T and D
    Vec dphid_dx{};   // 7: d(delta alpha_delta) / d x_i at constant T and D
    Vec nt{};         // 8: (n / Tred) d Tred / d n_i
    Vec nd{};         // 9: -(n / Dred) d Dred / d n_i
    Vec ax{};         // 10: d alpha / d x_i at constant tau, delta
    Vec ndp_dn{};     // 11: n (dP / d n_i) at constant T, V, kPa
    Vec axd{};        // 12: delta d(alpha_delta)/d x_i at constant tau, delta
    Vec axt{};        // 13: tau d(alpha_tau)/d x_i at constant tau, delta
    Mat trxx{};       // 14: d2 Tred / d x_i d x_j (fractions independent)
    Mat vrxx{};       // 15: d2 (1/Dred) / d x_i d x_j
    Mat axx{};        // 16: d2 alpha / d x_i d x_j at constant tau, delta
    Mat ntn{};        // 17: n d N_T,i / d n_j
    Mat ndn{};        // 18: n d N_D,i / d n_j
    Mat dlnphi_dx{};  // 19: d ln phi_i / d x_j at constant T, P (D2 of the solvers)
    Vec dp_dx{};      // 20: dP / d x_i at constant T and D, kPa
    Vec lnxphi{};     // 21: ln(x_i phi_i) = ln(f_i / P)
    Vec dlnphi_dp{};  // 22: d ln phi_i / dP at constant T and n, 1/kPa
    Vec dlnphi_dt{};  // 23: d ln phi_i / dT at constant P and n, 1/K
    Mat dlnf_dx{};  // 24: d ln f_i / d x_j at constant T, P: entry 19 + 1/x_i on the diagonal (D1)
    Vec dlnf_dt{};  // 25: d ln f_i / dT at constant V and n, 1/K
    Vec dlnf_dv{};  // 26: d ln f_i / dV at constant T and n (V molar volume), mol/L
    Mat ndlnphi_dn{};  // 27: n (d ln phi_i / d n_j) at constant T and P (symmetric)
    Vec drtmu_dt{};    // 28: d/dT of R T d(n alpha)/d n_i at constant V and n, J/(mol K)
};
extern PhidrRecord PHIDR;

}  // namespace lib
