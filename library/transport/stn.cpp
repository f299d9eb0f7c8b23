// Surface tension of a pure fluid ("ST1": a sum of powers of 1 - T/Tc) and of
// a mixture (a corresponding-states combination of the components' values):
// SETST1, STNK and STN.
#include "library/transport/stn.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/setup/records.h"
#include "library/transport/blockreader.h"
#include "library/transport/loaders.h"
#include "library/transport/records.h"

namespace lib {

namespace {

constexpr double kTauExponent = 1.26;  // of the mixture rules, whatever the components'
// Factor of the reduced amplitude after sqrt(R).
constexpr double kAmplitudeScale = 7.23281577257433 * 0.1 * 0.9 * 1.9;
constexpr int kUnknownModel = 99;
constexpr int kAboveCritical = 121;
constexpr int kCriticalPoint = 160;
constexpr int kNoValue = 45;  // as TRNPRP and DEK: the model gives no physical value

void not_computed(int n, std::string_view text, double& sigma, int& ierr, std::string& herr) {
    sigma = kMarker9;
    fail(n, "STN", text, ierr, herr);
}

bool no_code(const Code& c) {
    return c.c[0] == ' ' || c.c[0] == '\0' || c.is("NUL") || c.is("QVB") || c.is("qvb");
}

void unknown_model(const Code& code, double& sigma, int& ierr, std::string& herr) {
    if (no_code(code))
        return not_computed(kUnknownModel,
                            "unknown surface tension model: NUL; the fluid text has no "
                            "surface-tension correlation",
                            sigma, ierr, herr);
    not_computed(kUnknownModel, "unknown surface tension model: " + code.str(), sigma, ierr, herr);
}

// Critical point of x (a mixture's estimate); its warnings are cleared.
bool critical_point(const double x[20], double& tc, double& pc, int& ierr, std::string& herr) {
    double dc = 0.0;
    int jerr = 0;
    std::string jtext;
    CRITP(x, tc, pc, dc, jerr, jtext);
    if (jerr <= 0 && tc > 0.0 && pc > 0.0 && std::isfinite(tc) && std::isfinite(pc)) return true;
    std::string text = jerr > 0 ? jtext : "no critical point of the composition";
    if (text.size() > 236) text.resize(236);
    double unused = 0.0;
    not_computed(kCriticalPoint, text, unused, ierr, herr);
    return false;
}

// Weights and critical point of a mixture rule (step 5).
struct RuleWeights {
    double w[20] = {};
    double tc = 0.0, pc = 0.0;
};

// "STX", "STM": the fugacity fractions of the liquid and the critical
// mixture that has them.
bool fugacity_rule(double T, double Dl, const double x[20], RuleWeights& r, int& ierr,
                   std::string& herr) {
    double f[20] = {};
    int jerr = 0;
    std::string jtext;
    if (!(Dl > 0.0)) {
        double unused = 0.0;
        not_computed(1, "the liquid density is needed for the fugacities of the liquid", unused,
                     ierr, herr);
        return false;
    }
    FGCTY2(T, Dl, x, f, jerr, jtext);
    double sum = 0.0;
    for (int i = 0; i < NCOMP.nc; ++i) sum += f[i];
    if (jerr > 0 || !(sum > 0.0) || !std::isfinite(sum)) {
        double unused = 0.0;
        not_computed(kCriticalPoint, "no fugacities of the liquid: " + jtext, unused, ierr, herr);
        return false;
    }
    for (int i = 0; i < NCOMP.nc; ++i) r.w[i] = f[i] / sum;
    double xc[20];
    std::copy(x, x + 20, xc);
    double dc = 0.0;
    CRITF(r.w, xc, r.tc, r.pc, dc, jerr, jtext);
    if (jerr > 0) {
        ierr = jerr;
        herr = jtext;
        return false;
    }
    return true;
}

// "STH": mass fractions of the density-weighted overall composition and its
// critical point.
bool phase_rule(double Dl, double Dv, const double x[20], const double y[20], RuleWeights& r,
                int& ierr, std::string& herr) {
    const double sum = Dl + Dv;
    if (!(Dl >= 0.0) || !(Dv >= 0.0) || !(sum > 0.0)) {
        double unused = 0.0;
        not_computed(1, "the phase densities are needed for the mixture rule", unused, ierr, herr);
        return false;
    }
    double z[20] = {};
    for (int i = 0; i < NCOMP.nc; ++i) z[i] = (x[i] * Dl + y[i] * Dv) / sum;
    double wmix = 0.0;
    XMASS(z, r.w, wmix);
    return critical_point(z, r.tc, r.pc, ierr, herr);
}

// Step 6 of "STX": the components' reduced amplitudes P_i combined
// quadratically.  The cross term of i and j is sqrt(P_i P_j / (Pc_i Pc_j))
// times a cross critical pressure Pc_ij, one value for all pairs, chosen so
// that the quadratic rule sum_ij w_i w_j Pc_ij (Pc_ii = Pc_i) gives the
// critical pressure Pc' of the mixture rule.  Equal components give back
// the pure value; a single component has no cross terms.
double quadratic_sum(const RuleWeights& r, const double P[20]) {
    const int nc = NCOMP.nc;
    double diagonal = 0.0, diagonal_pc = 0.0, cross = 0.0, pair_weight = 0.0;
    for (int i = 1; i <= nc; ++i) {
        const double wi = r.w[i - 1];
        diagonal += wi * wi * P[i - 1];
        diagonal_pc += wi * wi * CCON.pc[i];
        for (int j = 1; j <= nc; ++j) {
            if (j == i) continue;
            const double wij = wi * r.w[j - 1];
            pair_weight += wij;
            cross += wij * std::sqrt(P[i - 1] * P[j - 1] / (CCON.pc[i] * CCON.pc[j]));
        }
    }
    if (!(pair_weight > 0.0)) return diagonal;
    return diagonal + (r.pc - diagonal_pc) * cross / pair_weight;
}

void mixture(double T, double Dl, double Dv, const double x[20], const double y[20], double tc,
             double& sigma, int& ierr, std::string& herr) {
    const Code& rule = STNMOD.mix;
    RuleWeights r;
    if (rule.is("STX") || rule.is("STM")) {
        if (!fugacity_rule(T, Dl, x, r, ierr, herr)) return void(sigma = kMarker9);
    } else if (rule.is("STH")) {
        if (!phase_rule(Dl, Dv, x, y, r, ierr, herr)) return void(sigma = kMarker9);
    } else {
        return unknown_model(rule, sigma, ierr, herr);
    }
    // Step 4: the components' reduced amplitudes at the mixture's tau.
    const double tau = 1.0 - T / tc;
    const double taun = std::pow(tau, kTauExponent);
    double R = 0.0;
    RMIX2(x, R);
    const double c = std::sqrt(R) * kAmplitudeScale;
    double P[20] = {};
    for (int i = 1; i <= NCOMP.nc; ++i) {
        if (!(r.w[i - 1] > 0.0)) continue;
        double si = 0.0;
        STNK(i, tau, si, ierr, herr);
        if (ierr > 0) return void(sigma = kMarker9);
        // Where a negative term of low exponent takes a component's fit
        // below zero next to its critical temperature (so2 from 417.55 K;
        // benzene, methane, sf6, xenon within 0.1 % of Tc) a pure fluid gets
        // 0 (`pure`), but a mixture's rule has no amplitude from it.
        if (si < 0.0)
            return not_computed(kNoValue,
                                "the surface tension correlation of component " +
                                    std::to_string(i) +
                                    " gives no physical value at tau = " + fmt_g(tau, 12, 5),
                                sigma, ierr, herr);
        P[i - 1] =
            taun > 0.0 ? std::pow(si / taun, 1.5) / (std::sqrt(CCON.tc[i]) * c * CCON.pc[i]) : 0.0;
    }
    double S = 0.0;
    if (rule.is("STX")) {
        S = quadratic_sum(r, P);
    } else {
        for (int i = 0; i < NCOMP.nc; ++i) S += r.w[i] * P[i];
    }
    if (!(S >= 0.0) || !std::isfinite(S))
        return not_computed(kCriticalPoint, "the mixture rule gives no surface tension", sigma,
                            ierr, herr);
    sigma = std::pow(S * std::sqrt(r.tc) * c * r.pc, 2.0 / 3.0) * taun;
}

// 1 - T/Tc of a pure fluid's fit, with the fit's own critical temperature
// (the equation's, tc_eos, when the text gives none).  The fit is published
// with its Tc: methanol's 513.38 K against the equation's 512.5 K changes
// sigma at 436 K by 10 %.  Between a lower fit Tc and the equation's (r404a
// 345.18 and 345.27 K) the fit's value at its critical point, 0, is kept.
double pure_tau(int ic, double T, double tc_eos) {
    const double tc_fit = WCFSTN.tc[ic];
    const double tc = tc_fit > 0.0 && std::isfinite(tc_fit) ? tc_fit : tc_eos;
    return std::max(0.0, 1.0 - T / tc);
}

// A pure fluid's surface tension: its fit, and 0 where a negative term of
// low exponent takes the fit below zero next to its critical temperature
// (so2 from 417.55 K, -1.07 mN/m at 428.1 K; benzene, hexane, methane,
// r12, r227ea, r236ea, sf6 and xenon within 0.1 % of Tc, by less than 0.01
// mN/m).  The interface vanishes at the critical point, and the fit's own
// value there is 0; a negative tension has no meaning (a capillary rise,
// a bubble's pressure would change sign), and the true tension in that
// span lies between 0 and the fit's values a few kelvin below it (so2: 0.6
// mN/m at 422 K by the critical scaling (1 - T/Tc)^1.26 from 400 K), so
// that 0 is nearer to it than the fit.  The state itself is valid (the
// saturation routines give it), so it is no error either.
void pure(int ic, double T, double tc, double& sigma, int& ierr, std::string& herr) {
    STNK(ic, pure_tau(ic, T, tc), sigma, ierr, herr);
    if (ierr == 0 && sigma < 0.0) sigma = 0.0;
}

}  // namespace

void SETST1(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) return illegal_text("SETST1", nread, hcas, ierr, herr);
    BlockReader rd(nread, "SETST1");
    double tmin = 0.0, tmax = 0.0, tc = 0.0;
    std::string_view skipped;
    int n = 0;
    rd.number(tmin, "lower temperature limit");
    rd.number(tmax, "upper temperature limit");
    rd.line(skipped, "upper pressure limit");
    rd.line(skipped, "maximum density");
    rd.count(n, 0, kStnTerms, "number of terms");
    rd.number(tc, "critical temperature of the fit");
    std::array<std::array<double, 2>, kStnTerms> terms{};
    for (int i = 0; i < n && rd.ok(); ++i)
        rd.numbers(terms[static_cast<std::size_t>(i)].data(), 2, "surface tension term");
    rd.result(ierr, herr);
    if (ierr != 0) return;
    WLMSTN.tmin[k] = tmin;
    WLMSTN.tmax[k] = tmax;
    WCFSTN.n[k] = n;
    WCFSTN.tc[k] = tc;
    WCFSTN.term[k] = terms;
}

void STNK(int icomp, double tau, double& sigma, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    sigma = 0.0;
    if (icomp < kMinSlot || icomp > kMaxSlot) return unknown_model(Code("NUL"), sigma, ierr, herr);
    const Code& code = STNMOD.slot[icomp];
    if (!code.is("ST1")) return unknown_model(code, sigma, ierr, herr);
    for (int i = 0; i < WCFSTN.n[icomp]; ++i) {
        const auto& t = WCFSTN.term[icomp][static_cast<std::size_t>(i)];
        sigma += t[0] * std::pow(tau, t[1]);
    }
    if (!std::isfinite(sigma))
        not_computed(kAboveCritical, "no surface tension at tau = " + fmt_g(tau, 12, 5), sigma,
                     ierr, herr);
}

void STN(double T, double Dl, double Dv, const double x[20], const double y[20], double& sigma,
         int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    if (!(T > 0.0) || !std::isfinite(T))
        return not_computed(1, "temperature input is not a positive number", sigma, ierr, herr);
    double tc = 0.0, pc = 0.0;
    if (!critical_point(x, tc, pc, ierr, herr)) return void(sigma = kMarker9);
    if (T > tc)
        return not_computed(kAboveCritical,
                            "temperature input to surface tension routine is greater than "
                            "critical temperature; T =" +
                                fmt_g(T, 12, 5) + " K, Tcrit =" + fmt_g(tc, 12, 5) + " K.",
                            sigma, ierr, herr);
    const int ic = ISPURE(x);
    if (ic != 0) return pure(ic, T, tc, sigma, ierr, herr);
    mixture(T, Dl, Dv, x, y, tc, sigma, ierr, herr);
}

}  // namespace lib
