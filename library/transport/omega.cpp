#include "library/transport/omega.h"

#include <cmath>

#include "library/transport/blockreader.h"
#include "library/transport/records.h"

namespace lib {

namespace {

constexpr double kTiny = 1e-20;

// Reads a collision-integral block: four limit lines (skipped), the term
// count, then one line per term (coefficient and exponent for "CI1", the
// coefficient alone for "CI2").
void load_collision(const char* routine, bool with_exponent, CollisionRecord& rec, int nread, int k,
                    const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) return illegal_text(routine, nread, hcas, ierr, herr);
    BlockReader rd(nread, routine);
    double skip = 0.0;
    rd.number(skip, "lower temperature limit");
    rd.number(skip, "upper temperature limit");
    rd.number(skip, "upper pressure limit");
    rd.number(skip, "maximum density");
    int n = 0;
    rd.count(n, 0, kTermRows, "number of terms");
    std::array<double, kTermRows> c{};
    std::array<int, kTermRows> e{};
    for (int i = 0; i < n && rd.ok(); ++i) {
        double v[2] = {0.0, 0.0};
        rd.numbers(v, with_exponent ? 2 : 1, "term");
        c[static_cast<std::size_t>(i)] = v[0];
        e[static_cast<std::size_t>(i)] = with_exponent ? static_cast<int>(std::lround(v[1])) : 0;
    }
    rd.result(ierr, herr);
    if (ierr != 0) return;
    rec.n[k] = n;
    rec.c[k] = c;
    rec.e[k] = e;
}

}  // namespace

double OMEGA(int icomp, double T, double epsk, const Code& code) {
    if (code.is("CI1")) return OMEGA1(icomp, T, epsk);
    if (code.is("CI2")) return OMEGA2(icomp, T, epsk);
    if (code.is("CI0")) return std::fabs(epsk) <= kTiny ? 1.0 : OMEGAS(2, 2, T / epsk);
    return 1.0;
}

double OMEGA1(int icomp, double T, double epsk) {
    double L = std::fabs(epsk) > kTiny ? std::log(T / epsk) : kTiny;
    if (!(std::fabs(L) >= kTiny)) L = kTiny;  // also a NaN logarithm (T <= 0)
    const int n = WCFCI1.n[icomp];
    if (n < 1) return 1.0;
    double s = 0.0;
    for (int k = 0; k < n && k < kTermRows; ++k)
        s += WCFCI1.c[icomp][static_cast<std::size_t>(k)] *
             std::pow(L, WCFCI1.e[icomp][static_cast<std::size_t>(k)]);
    return std::exp(s);
}

double OMEGA2(int icomp, double T, double epsk) {
    const double u = T > 0.0 ? std::cbrt(epsk / T) : 1.0;
    const int n = WCFCI2.n[icomp];
    if (n < 1) return 1.0;
    double s = 0.0;
    for (int k = 1; k <= n && k <= kTermRows; ++k)
        s += WCFCI2.c[icomp][static_cast<std::size_t>(k - 1)] * std::pow(u, 4 - k);
    return std::fabs(s) < kTiny ? 1.0 : 1.0 / s;
}

double OMEGAS(int l, int s, double tstar) {
    if (l == 1 && s == 1)
        return 1.06036 / std::pow(tstar, 0.1561) + 0.193 * std::exp(-0.47635 * tstar) +
               1.03587 * std::exp(-1.52996 * tstar) + 1.76474 * std::exp(-3.89411 * tstar);
    return 1.16145 / std::pow(tstar, 0.14874) + 0.52487 * std::exp(-0.7732 * tstar) +
           2.16178 * std::exp(-2.43787 * tstar);
}

void SETCI1(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    load_collision("SETCI1", true, WCFCI1, nread, k, hcas, ierr, herr);
}

void SETCI2(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    load_collision("SETCI2", false, WCFCI2, nread, k, hcas, ierr, herr);
}

}  // namespace lib
