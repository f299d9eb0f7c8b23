#include "library/models/melt.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/models/termsection.h"
#include "library/setup/common.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace lib {

namespace {

constexpr double kIceIIIlow = 251.165;  // lowest temperature of the water melting curves, K
constexpr double kWaterTtp = 273.16;

struct LineInfo {
    AncLimRecord& lim;
    AncRedRecord& red;
    AncCountRecord& cnt;
    TermCoefRecord<kSolidTerms>& cf;
};
LineInfo melting() { return {WLMMELT, WRDMELT, WNTMELT, WCFMELT}; }
LineInfo sublimation() { return {WLMSUBL, WRDSUBL, WNTSUBL, WCFSUBL}; }

void load(const LineInfo& li, const char* routine, int nread, int icomp, int& ierr,
          std::string& herr) {
    load_term_section(
        {li.lim, li.red, li.cnt, li.cf.a[icomp].data(), li.cf.t[icomp].data(), kSolidTerms, 3},
        routine, nread, icomp, ierr, herr);
}

// The sum S of n = {power, difference, logarithmic} terms a[j], t[j] at
// Tr = T/tred; difference terms use Tr - 1 for a melting line and 1 - Tr for a
// sublimation line.
double term_sum(const double* a, const double* t, const std::array<int, 3>& n, double tred,
                double T, bool melt) {
    const double tr = T / tred;
    double s = 0.0;
    int j = 0;
    for (int k = 0; k < n[0]; ++k, ++j) s += a[j] * std::pow(tr, t[j]);
    const double d = melt ? tr - 1.0 : 1.0 - tr;
    for (int k = 0; k < n[1]; ++k, ++j) s += a[j] * std::pow(d, t[j]);
    const double l = std::log(tr);
    for (int k = 0; k < n[2]; ++k, ++j) s += a[j] * std::pow(l, t[j]);
    return s;
}

// The first three counts of a line's section, limited to the room for terms.
std::array<int, 3> first_counts(const LineInfo& li, int icomp) {
    std::array<int, 3> n{};
    int room = kSolidTerms;
    for (std::size_t k = 0; k < 3; ++k) {
        n[k] = std::clamp(li.cnt.n[icomp][k], 0, room);
        room -= n[k];
    }
    return n;
}

double term_sum(const LineInfo& li, int icomp, double T, bool melt) {
    return term_sum(li.cf.a[icomp].data(), li.cf.t[icomp].data(), first_counts(li, icomp),
                    li.red.tred[icomp], T, melt);
}

// Segment k of a melting line (0 the first, k >= 1 the further segment k):
// its lower temperature, reducing values, term counts and the place of its
// first term.
struct Segment {
    double tlow = 0, tred = 0, pred = 0;
    std::array<int, 3> n{};
    int first = 0;
};
// The number of segments of a line of terms (the ice curves of water and the
// two-branch form have none of these).
int segment_count(int icomp) {
    const Code& code = MELTMOD.slot[icomp];
    if (!code.starts("ML") || code.is("MLW") || code.is("MLP")) return 1;
    return 1 + std::clamp(WSGMELT.count[icomp], 0, kMeltSegments);
}
Segment segment(int icomp, int k) {
    Segment g{WLMMELT.tlow[icomp], WRDMELT.tred[icomp], WRDMELT.xred[icomp],
              first_counts(melting(), icomp), 0};
    for (int j = 0; j < k; ++j) {
        const std::size_t i = static_cast<std::size_t>(j);
        const int first = g.first + g.n[0] + g.n[1] + g.n[2];
        g = {WSGMELT.tlow[icomp][i], WSGMELT.tred[icomp][i], WSGMELT.pred[icomp][i],
             WSGMELT.n[icomp][i], first};
    }
    return g;
}
// The segment that holds T: the last one starting at or below it.
int segment_index(int icomp, double T) {
    int k = 0;
    const int n = segment_count(icomp);
    while (k + 1 < n && T >= WSGMELT.tlow[icomp][static_cast<std::size_t>(k)]) ++k;
    return k;
}
// The pressure of segment k at T (of a code beginning with "ML"), kPa.
double segment_pressure(int icomp, int k, double T) {
    const Segment g = segment(icomp, k);
    const double s = term_sum(WCFMELT.a[icomp].data() + g.first, WCFMELT.t[icomp].data() + g.first,
                              g.n, g.tred, T, true);
    const Code& code = MELTMOD.slot[icomp];
    if (code.is("ML1")) return g.pred * s;
    if (code.is("ML2")) return g.pred * std::exp(s);
    return s;
}

// The lowest temperature of a pure fluid's melting line: the triple point,
// or the lower limit of a line published only from above it.
double line_tlow(int icomp) {
    const Code& code = MELTMOD.slot[icomp];
    if (code.is("MLW")) return kIceIIIlow;
    const double ttp = CCON.ttp[icomp];
    if (!code.starts("ML") || code.is("MLP")) return ttp;
    return std::max(ttp, WLMMELT.tlow[icomp]);
}

// Reads the further segments of a melting line after its first one: per
// segment a line of its lower temperature, reducing temperature and pressure
// and three term counts, then its terms.
void load_segments(const char* routine, int nread, int icomp, int& ierr, std::string& herr) {
    const int count = WNTMELT.n[icomp][3];
    WSGMELT.count[icomp] = 0;
    if (count == 0) return;
    auto bad = [&](const std::string& text) { fail(1, routine, text, ierr, herr); };
    if (count < 0 || count > kMeltSegments)
        return bad("number of further segments" + fmt_int(count, 4) + " exceeds the maximum of" +
                   fmt_int(kMeltSegments, 3));
    const std::array<int, 3> n0 = first_counts(melting(), icomp);
    int used = n0[0] + n0[1] + n0[2];
    double last = WLMMELT.tlow[icomp];
    for (int k = 0; k < count; ++k) {
        const std::size_t i = static_cast<std::size_t>(k);
        double v[6];
        if (!next_numbers(nread, v, 6))
            return bad("error reading segment" + fmt_int(k + 2, 3) + " of the melting line");
        int n = 0;
        for (std::size_t j = 0; j < 3; ++j) {
            const double c = v[3 + j];
            if (!(c >= 0.0 && c <= kSolidTerms)) return bad("error reading the numbers of terms");
            WSGMELT.n[icomp][i][j] = static_cast<int>(c);
            n += WSGMELT.n[icomp][i][j];
        }
        if (!(v[0] > last) || !(v[1] > 0.0))
            return bad("segment" + fmt_int(k + 2, 3) + " does not follow the one before");
        if (used + n > kSolidTerms)
            return bad("number of terms" + fmt_int(used + n, 4) + " exceeds the maximum of" +
                       fmt_int(kSolidTerms, 3));
        last = v[0];
        WSGMELT.tlow[icomp][i] = v[0];
        WSGMELT.tred[icomp][i] = v[1];
        WSGMELT.pred[icomp][i] = v[2];
        for (int j = 0; j < n; ++j, ++used) {
            double c[2];
            if (!next_numbers(nread, c, 2)) return bad("error reading term" + fmt_int(used + 1, 3));
            WCFMELT.a[icomp][static_cast<std::size_t>(used)] = c[0];
            WCFMELT.t[icomp][static_cast<std::size_t>(used)] = c[1];
        }
    }
    WSGMELT.count[icomp] = count;
}

// Triple point of a mixture: the mole-fraction-weighted temperature and the
// geometric mean of the pressures (components absent from x count nothing).
void mixture_triple_point(const double x[20], double& ttp, double& ptp, bool& no_ptp) {
    ttp = 0.0;
    double lp = 0.0;
    no_ptp = false;
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) {
        const double xi = x[i - 1];
        ttp += xi * CCON.ttp[i];
        if (xi == 0.0) continue;
        if (!(CCON.ptp[i] > 0.0)) {
            no_ptp = true;
            continue;
        }
        lp += xi * std::log(CCON.ptp[i]);
    }
    ptp = no_ptp ? 0.0 : std::exp(lp);
}

// Line pressure used by SOLVEM: MELTT, SUBLT or the ice Ih curve of water.
double line_pressure(int kind, bool ice_ih, double T, const double x[20], int& ierr,
                     std::string& herr) {
    double p = 0.0;
    if (ice_ih) {
        double phigh = 0.0;
        MLTH2O(T, phigh, p);
    } else if (kind == 1) {
        MELTT(T, x, p, ierr, herr);
    } else {
        SUBLT(T, x, p, ierr, herr);
    }
    return p;
}

}  // namespace

void SETMLT(int nread, int icomp, int& ierr, std::string& herr) {
    WSGMELT.count[icomp] = 0;
    load(melting(), "SETMLT", nread, icomp, ierr, herr);
    if (ierr == 0) load_segments("SETMLT", nread, icomp, ierr, herr);
}
void SETSBL(int nread, int icomp, int& ierr, std::string& herr) {
    load(sublimation(), "SETSBL", nread, icomp, ierr, herr);
}

void MLTH2O(double T, double& Phigh, double& PIh) {
    Phigh = 0.0;
    PIh = 0.0;
    // Ice Ih from its triple point with ice III and liquid (both lines meet
    // there) up to the triple point.
    if (T >= kIceIIIlow && T <= 273.1600000001) {
        const double th = T / kWaterTtp;
        PIh = 0.611657 *
              (1.0 + 1195393.37 * (1.0 - std::pow(th, 3.0)) +
               80818.3159 * (1.0 - std::pow(th, 25.75)) + 3338.2686 * (1.0 - std::pow(th, 103.75)));
    }
    if (T < kIceIIIlow) return;
    if (T < 256.164) {  // ice III
        Phigh = 208566.0 * (1.0 - 0.299948 * (1.0 - std::pow(T / kIceIIIlow, 60.0)));
    } else if (T < 273.31) {  // ice V
        Phigh = 350100.0 * (1.0 - 1.18721 * (1.0 - std::pow(T / 256.164, 8.0)));
    } else if (T < 355.0) {  // ice VI
        Phigh = 632400.0 * (1.0 - 1.07476 * (1.0 - std::pow(T / 273.31, 4.6)));
    } else if (T < 637.8) {  // ice VII
        const double th = T / 355.0;
        Phigh = 2216000.0 *
                std::exp(1.73683 * (1.0 - 1.0 / th) - 0.0544606 * (1.0 - std::pow(th, 5.0)) +
                         8.06106e-8 * (1.0 - std::pow(th, 22.0)));
    } else {
        Phigh = 1000.0 * std::exp(4.27074 + 0.00805246 * T);
    }
}

void MLTPH2(int icomp, double T, double& P) {
    const double tr = T / WRDMELT.tred[icomp];
    const auto& a = WCFMELT.a[icomp];
    const auto& t = WCFMELT.t[icomp];
    const double pr = WRDMELT.xred[icomp];
    P = T > 22.0 ? pr * (a[0] + a[1] * std::pow(tr, t[1]))
                 : pr * (a[2] + a[3] * std::pow(tr, t[3]));
}

double melting_line_tmax(int icomp) {
    if (icomp < kMinSlot || icomp > kMaxSlot || !MELTMOD.slot[icomp].starts("ML")) return 0.0;
    return WLMMELT.thigh[icomp];
}

namespace {

// Why a melting line gives no pressure at T.
enum class MeltFault { none, below, above, unknown_model, undefined };

// The melting pressure of slot icomp at T (0 for a slot without a line),
// or why there is none; no message is formed.
MeltFault melting_fault(int icomp, double T, double& P) {
    P = 0.0;
    if (!(T >= line_tlow(icomp))) return MeltFault::below;
    // Beyond its upper limit a melting line is no longer known: it is not
    // extrapolated.
    const double thigh = melting_line_tmax(icomp);
    if (thigh > 0.0 && !(T <= thigh)) return MeltFault::above;
    const Code& code = MELTMOD.slot[icomp];
    if (code.is("MLW")) {
        double pih = 0.0;
        MLTH2O(T, P, pih);
    } else if (code.is("MLP")) {
        MLTPH2(icomp, T, P);
    } else if (code.starts("ML")) {
        // (A line in segments: the one that holds T.)
        P = segment_pressure(icomp, segment_index(icomp, T), T);
    } else if (!code.is("QVB")) {
        return MeltFault::unknown_model;
    }
    if (!std::isfinite(P)) {
        P = 0.0;
        return MeltFault::undefined;
    }
    return MeltFault::none;
}

// The melting pressure of a mixture from its components' lines, each asked
// through line(i, T_i, P_i, ierr) (MELTK, or the same without messages).
template <class Line>
void mixture_melting(double T, const double x[20], double& P, int& ierr, const Line& line) {
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i)
        if (CCON.ptp[i] < 1.0e-15) return;
    double ttp = 0.0, ptp = 0.0;
    bool no_ptp = false;
    mixture_triple_point(x, ttp, ptp, no_ptp);
    if (ttp <= 0.0) {
        P = ptp;
        return;
    }
    double sum = 0.0;
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) {
        // An absent component adds nothing, and its line cannot fail the sum.
        if (x[i - 1] == 0.0) continue;
        const double ti = std::max(T * CCON.ttp[i] / ttp, CCON.ttp[i]);
        double pi = 0.0;
        line(i, ti, pi, ierr);
        if (pi < 1.0e-15) {
            P = 0.0;
            return;
        }
        if (CCON.ptp[i] > 0.0) sum += x[i - 1] * std::log(pi / CCON.ptp[i]);
    }
    P = ptp * std::exp(sum);
}

}  // namespace

void MELTK(int icomp, double T, double& P, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    switch (melting_fault(icomp, T, P)) {
        case MeltFault::none: break;
        case MeltFault::below:
            fail(1, "MELTK",
                 "temperature less than lower temperature limit; T =" + fmt_g(T, 12, 5) +
                     " K, Tlow =" + fmt_g(line_tlow(icomp), 12, 5) + " K.",
                 ierr, herr);
            break;
        case MeltFault::above:
            fail(1, "MELTK",
                 "temperature greater than upper temperature limit of the melting line; T =" +
                     fmt_g(T, 12, 5) + " K, Thigh =" + fmt_g(melting_line_tmax(icomp), 12, 5) +
                     " K.",
                 ierr, herr);
            break;
        case MeltFault::unknown_model:
            fail(105, "MELTK", "unknown melting line model:  (" + MELTMOD.slot[icomp].str() + ")",
                 ierr, herr);
            break;
        case MeltFault::undefined:
            fail(1, "MELTK", "melting line not defined at T =" + fmt_g(T, 12, 5) + " K.", ierr,
                 herr);
            break;
    }
}

void SUBLK(int icomp, double T, double& P, int& ierr, std::string& herr) {
    P = 0.0;
    ierr = 0;
    herr.clear();
    const double ttp = CCON.ttp[icomp];
    if (T <= 0.0)
        return fail(15, "SUBLK", "temperature less than zero; T =" + fmt_g(T, 12, 5) + " K", ierr,
                    herr);
    if (T > ttp)
        return fail(15, "SUBLK",
                    "temperature greater than triple point temperature; T =" + fmt_g(T, 12, 5) +
                        " K, Ttp =" + fmt_g(ttp, 12, 5) + " K.",
                    ierr, herr);
    const Code& code = SUBLMOD.slot[icomp];
    if (code.starts("SB")) {
        const double s = term_sum(sublimation(), icomp, T, false);
        const double pr = WRDSUBL.xred[icomp];
        if (code.is("SB1")) {
            P = pr * s;
        } else if (code.is("SB2") || code.is("SB3")) {
            // The exponent of ln(P/Pred); beyond 700 the pressure would not be
            // representable.
            const double e = code.is("SB2") ? s : s * WRDSUBL.tred[icomp] / T;
            if (e > 700.0 || !std::isfinite(e)) {
                fail(15, "SUBLK",
                     "sublimation pressure out of range at T =" + fmt_g(T, 12, 5) + " K", ierr,
                     herr);
                return;
            }
            P = pr * std::exp(e);
        } else {
            P = s;
        }
        if (!std::isfinite(P)) {
            P = 0.0;
            fail(15, "SUBLK", "sublimation pressure out of range at T =" + fmt_g(T, 12, 5) + " K",
                 ierr, herr);
        }
    } else if (!code.is("QVB")) {
        fail(105, "SUBLK", "unknown sublimation line model:  (" + code.str() + ")", ierr, herr);
    }
}

void MELTT(double T, const double x[20], double& P, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    P = 0.0;
    const int ic = ISPURE(x);
    if (ic != 0) {
        MELTK(ic, T, P, ierr, herr);
        return;
    }
    mixture_melting(T, x, P, ierr,
                    [&herr](int i, double t, double& p, int& e) { MELTK(i, t, p, e, herr); });
}

bool melting_pressure(double T, const double x[20], double& P) {
    P = 0.0;
    int ierr = 0;
    const auto line = [](int i, double t, double& p, int& e) {
        e = melting_fault(i, t, p) == MeltFault::none ? 0 : 1;
    };
    const int ic = ISPURE(x);
    if (ic != 0)
        line(ic, T, P, ierr);
    else
        mixture_melting(T, x, P, ierr, line);
    return ierr == 0;
}

void SUBLT(double T, const double x[20], double& P, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    P = 0.0;
    const int ic = ISPURE(x);
    if (ic != 0) {
        SUBLK(ic, T, P, ierr, herr);
        return;
    }
    double ttp = 0.0, ptp = 0.0;
    bool no_ptp = false;
    mixture_triple_point(x, ttp, ptp, no_ptp);
    if (ttp <= 0.0) {
        P = ptp;
        return;
    }
    double sum = 0.0;
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) {
        double pi = 0.0;
        int ie = 0;
        std::string he;
        SUBLK(i, T * CCON.ttp[i] / ttp, pi, ie, he);
        // The first failure of a component present in the mixture is kept.
        if (ie != 0 && ierr == 0 && x[i - 1] != 0.0) {
            ierr = ie;
            herr = he;
        }
        if (pi > 0.0 && CCON.ptp[i] > 0.0) sum += x[i - 1] * std::log(pi / CCON.ptp[i]);
    }
    P = no_ptp ? 0.0 : ptp * std::exp(sum);
    if (!std::isfinite(P)) P = 0.0;
}

void MELTP(double P, const double x[20], double& T, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    const int ic = ISPURE(x);
    if (ic != 0) {
        T = CCON.ttp[ic];
        if (MELTMOD.slot[ic].is("QVB")) return;
        if (P < CCON.ptp[ic]) {
            fail(2, "MELTP",
                 "pressure less than triple point pressure; P =" + fmt_g(P / 1000.0, 12, 5) +
                     " MPa, Ptp =" + fmt_g(CCON.ptp[ic] / 1000.0, 12, 5) + " MPa.",
                 ierr, herr);
            return;
        }
    }
    SOLVEM(1, P, x, T, ierr, herr);
}

void SUBLP(double P, const double x[20], double& T, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    T = 300.0;
    const int ic = ISPURE(x);
    if (ic != 0 && P > CCON.ptp[ic]) {
        T = CCON.ttp[ic];
        fail(2, "SUBLP",
             "pressure greater than triple point pressure; P =" + fmt_g(P / 1000.0, 12, 5) +
                 " MPa, Ptp =" + fmt_g(CCON.ptp[ic] / 1000.0, 12, 5) + " MPa.",
             ierr, herr);
        return;
    }
    if (P > 0.0) SOLVEM(2, P, x, T, ierr, herr);
}

void SOLVEM(int kind, double P, const double x[20], double& T, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    const bool melt = kind == 1;
    double dT = melt ? 0.001 : -0.001;
    const int ic = ISPURE(x);
    double tt = 0.0;
    if (ic != 0) {
        tt = CCON.ttp[ic];
    } else {
        for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) tt += x[i - 1] * CCON.ttp[i];
    }
    double thigh = 1e300;  // the secant stays below this temperature
    if (melt && ic != 0 && MELTMOD.slot[ic].starts("ML")) {
        tt = line_tlow(ic);
        // A line in segments: the segment whose pressures hold P; at a step
        // of the line between two segments, the temperature of the step.
        for (int k = segment_count(ic) - 1; k >= 1; --k) {
            const double tk = WSGMELT.tlow[ic][static_cast<std::size_t>(k - 1)];
            const double below = segment_pressure(ic, k - 1, tk),
                         above = segment_pressure(ic, k, tk);
            if (P >= std::max(below, above)) {
                tt = tk;
                break;
            }
            if (P >= std::min(below, above)) {
                T = tk;
                return;
            }
            thigh = tk;
        }
    }
    bool ice_ih = false;
    if (melt && ic != 0 && MELTMOD.slot[ic].is("MLW")) {
        tt = kIceIIIlow;
        double p3 = 0.0;
        MELTT(kIceIIIlow, x, p3, ierr, herr);
        ice_ih = P < p3;
        ierr = 0;
        herr.clear();
    }
    if (!(P > 0.0)) {  // the line starts at its lowest point
        T = tt;
        return;
    }
    const double lp = std::log(P);
    T = melt ? std::min(tt + 1.0, 0.5 * (tt + thigh)) : tt - 1.0;
    double s = -10.0;
    for (int round = 0; round < 100; ++round) {
        // (The second point stays within the segment of the first.)
        const double dt = T + dT < thigh ? dT : -dT;
        const double p1 = line_pressure(kind, ice_ih, T, x, ierr, herr);
        const double p2 = ierr == 0 ? line_pressure(kind, ice_ih, T + dt, x, ierr, herr) : 0.0;
        if (ierr != 0) return;
        double tn;
        if (p1 > 0.0 && p2 > 0.0 && std::log(p2) != std::log(p1)) {
            s = (lp - std::log(p1)) / ((std::log(p2) - std::log(p1)) / dt);
            tn = T + s;
        } else {
            tn = ice_ih ? T - (kWaterTtp - T) / 2.0 : T - s / 2.0;
            dT /= 2.0;
        }
        if (melt && tn < tt) tn = (T + tt) / 2.0;
        if (melt && tn >= thigh) tn = (T + thigh) / 2.0;
        if (!melt && tn > tt) tn = (T + tt) / 2.0;
        if (ice_ih && tn > kWaterTtp) tn = (T + kWaterTtp) / 2.0;
        if (tn < 0.0) tn = T / 2.0;
        // Converged when the line meets P to 5e-9 kPa, or to the last digits
        // of P where that absolute bound lies below the rounding of P itself;
        // below 50 kPa to 1e-10 of P, so that a pressure under 5e-9 kPa is
        // not met by any temperature whose line pressure is merely small (or
        // zero, where the fluid has no such line).
        if (p1 > 0.0 && std::fabs(P - p1) < std::max(1.0e-13 * P, std::min(5.0e-9, 1.0e-10 * P))) {
            T = tn;
            return;
        }
        T = tn;
    }
    T = kMarker9;
    fail(124, "SOLVEM", "maximum number of iterations exceeded", ierr, herr);
}

}  // namespace lib
