// The split a quality flash ends on, checked against the vapour fraction
// asked for.
#include "library/phase/qflshsplit.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/phase/flashutil.h"
#include "library/phase/satmix.h"
#include "library/setup/common.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

// Two phases within this of each other (densities relative, fractions) are
// one.
constexpr double kSame = 1e-6;

// A vapour fraction of a saturation point (0 or 1, but for rounding).
bool at_saturation(double q) { return std::fabs(q) <= 1e-8 || std::fabs(1.0 - q) <= 1e-8; }

constexpr double kHigherGibbs = 1e-9;  // share of |h| + |T s| + R T
// The (T, p) flash's error where no pair of phases is stable there (three
// phases, or close to them): the split is no stable state either
// (isobutane + ethylene + argon at 4.17 MPa and q 0.434: two liquids at
// 155.4 K, below the vapour's plane; the stable split of that fraction lies
// at 136.1 K).
constexpr int kNoStablePair = 219;

}  // namespace

double molar_quality(double q, const double x[20], const double y[20]) {
    const double ml = WMOL(x), mv = WMOL(y);
    const double den = (1.0 - q) / ml + q / mv;
    return den > 0.0 ? (q / mv) / den : q;
}

bool phases_are_one(double Dl, double Dv, const double x[20], const double y[20]) {
    double apart = 0.0;
    for (int i = 0; i < kMaxComp; ++i) apart = std::max(apart, std::fabs(x[i] - y[i]));
    return apart <= kSame && std::fabs(Dl - Dv) <= kSame * std::max(Dl, Dv);
}

void refuse_no_split_of(const char* routine, bool t_given, double T, double P, double q, int kq,
                        const double z[20], double Dl, double Dv, const double x[20],
                        const double y[20], int& ierr, std::string& herr) {
    constexpr double kBalance = 1e-7;  // of each component's fraction
    if (ierr > 0 || ISPURE(z) != 0 || !(q > 0.0 && q < 1.0)) return;
    const bool mass = t_given ? kq != kMolarQuality : kq == kMassQuality;
    const double qm = mass ? molar_quality(q, x, y) : q;
    double worst = 0.0;
    for (int i = 0; i < kMaxComp; ++i)
        worst = std::max(worst, std::fabs(z[i] - (1.0 - qm) * x[i] - qm * y[i]));
    const std::string state = "no two-phase state of vapor fraction q =" + fmt_g(q, 12, 5) +
                              " found at T =" + fmt_g(T, 12, 5) +
                              " K, P =" + fmt_g(P / 1000.0, 12, 5) + " MPa: ";
    if (phases_are_one(Dl, Dv, x, y))
        return fail(219, routine, state + "the two phases found there are one", ierr, herr);
    if (worst <= kBalance) return;
    // The vapour fraction the phases do give (molar), for the message.
    double num = 0.0, den = 0.0;
    for (int i = 0; i < kMaxComp; ++i) {
        num += (z[i] - x[i]) * (y[i] - x[i]);
        den += (y[i] - x[i]) * (y[i] - x[i]);
    }
    const double given = den > 0.0 ? num / den : qm;
    fail(219, routine,
         state + "the phases found there, as the (T, p) flash names them, give q =" +
             fmt_g(given, 12, 5),
         ierr, herr);
}

bool refuse_unstable_split(const char* routine, double T, double P, const double z[20], double q,
                           double Dl, double Dv, double h, double s, int& ierr, std::string& herr) {
    const int icomp = ISPURE(z);
    if (ierr > 0 || icomp != 0 || flash::pseudo_pure(icomp) || at_saturation(q) ||
        !(q > 0.0 && q < 1.0) || !(Dl > 0.0 && Dv > 0.0))
        return false;
    double D = 0, dl = 0, dv = 0, x[20], y[20], qtp = 0, e = 0, htp = 0, stp = 0, cv = 0, cp = 0,
           w = 0;
    int jerr = 0;
    std::string jmsg;
    TPFLSH(T, P, z, D, dl, dv, x, y, qtp, e, htp, stp, cv, cp, w, jerr, jmsg);
    if ((jerr > 0 && jerr <= kLastRangeError) || jerr == kFrozenState) {
        fail(jerr, routine, "(2-phase):  " + flash::cut(jmsg, 200), ierr, herr, kNoNumber);
        return false;
    }
    const double g = h - T * s, gtp = htp - T * stp;
    const double band = kHigherGibbs * (std::fabs(h) + std::fabs(T * s) + GCNST.r * T);
    if (jerr != kNoStablePair && (jerr > 0 || !(gtp < g - band))) return false;
    const std::string why = jerr == kNoStablePair
                                ? "no pair of phases is stable there (three phases)"
                                : "the (T, p) flash's state there (q =" + fmt_g(qtp, 12, 5) +
                                      ") lies lower in Gibbs energy (three phases)";
    fail(219, routine,
         "no stable two-phase state of vapor fraction q =" + fmt_g(q, 12, 5) +
             " at T =" + fmt_g(T, 12, 5) + " K, P =" + fmt_g(P / 1000.0, 12, 5) + " MPa: " + why,
         ierr, herr);
    return true;
}

void refuse_frozen_saturation(const char* routine, double T, double P, double q, const double z[20],
                              const SaturatedPhases& phases, int& ierr, std::string& herr) {
    if (ierr > 0 || ISPURE(z) != 0 || !at_saturation(q)) return;
    refuse_frozen_point(routine, T, P, z, phases, ierr, herr);
}

}  // namespace lib::mix
