// Constants that the mixture model derives from the pair records once per
// set-up (hmx_prepare): the reducing-function constants of each pair and the
// list of pairs with a departure function, so that an evaluation visits only
// the pairs that contribute.  Private to the mixture model's evaluators.
#pragma once

#include <array>

#include "library/models/hmxrecords.h"

namespace lib {

enum class PairRule { kKW, kLJ, kTR1, kLIN, kLM, kUnknown };

struct HmxPairConst {
    int i = 0, j = 0;  // i < j
    PairRule rule = PairRule::kUnknown;
    // "KW": T += at x_i x_j (x_i + x_j)/(bt x_i + ct x_j) - x_i x_j st, the same
    // for V with av, bv, cv, sv; st = T_ci + T_cj, sv = V_ci + V_cj.
    double at = 0, bt = 0, ct = 0, st = 0;
    double av = 0, bv = 0, cv = 0, sv = 0;
    std::array<double, 6> p{};  // the pair's binary parameters
};

// Fractions above this take part in the model's sums.
constexpr double kHmxPresent = 1.0e-12;

struct HmxDeparture {
    int i = 0, j = 0;  // i < j
    int model = 0;     // its "#MXM" model
    double F = 0.0;    // its weight
    bool tr1 = false;  // the ammonia + water function instead
};

struct HmxPrepared {
    int nc = 0;
    std::array<double, kMaxComp + 1> tc{}, vc{};  // ZRED: T_ci and 1/rho_ci
    int npair = 0;
    std::array<HmxPairConst, kHmxPairs> pair{};
    int ndep = 0;
    std::array<HmxDeparture, kHmxPairs> dep{};
    // Counts the preparations: what is kept from the constants of one is
    // known to belong to it.
    unsigned long long generation = 0;
    // The reducing values of the last composition (valid while `cached`).
    bool cached = false;
    std::array<double, kMaxComp> x{};
    double tred = 0, dred = 0;
};
extern HmxPrepared HMXPREP;

// F_ij alphar_ij of a listed pair, as hmx_pair_term gives it for that pair
// (0 for the ammonia + water function, which is not bilinear in the
// fractions).
double hmx_departure_term(const HmxDeparture& d, int itau, int idel, double tau, double del);

// The term sum of a listed pair's departure model for (itau, idel) at (tau,
// del), without its weight: PHIHMX adds x_i x_j F times it.
double hmx_model_sum(const HmxDeparture& d, int itau, int idel, double tau, double del);

}  // namespace lib
