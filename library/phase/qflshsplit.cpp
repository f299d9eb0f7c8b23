// The split a quality flash ends on, checked against the vapour fraction
// asked for.
#include "library/phase/qflshsplit.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/setup/common.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

// Two phases within this of each other (densities relative, fractions) are
// one.
constexpr double kSame = 1e-6;

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

}  // namespace lib::mix
