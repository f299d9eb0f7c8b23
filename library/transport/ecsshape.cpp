// Shape functions, internal-energy factor and kinetic-theory dilute-gas
// viscosity of the corresponding-states transport model.
#include <cmath>

#include "library/setup/records.h"
#include "library/transport/omega.h"
#include "library/transport/records.h"
#include "library/transport/trnecs.h"

namespace lib {

namespace {

double power(double x, double e) { return e == 0.0 ? 1.0 : std::pow(x, e); }

double polynomial(const ShapeTerms& s, int k, int first, int last, double Tr, double Dr,
                  bool with_density) {
    double sum = 0.0;
    for (int i = first; i < last; ++i) {
        const auto& row = s.rows[k][static_cast<std::size_t>(i)];
        double t = row[0] * power(Tr, row[1]);
        if (with_density) t *= power(Dr, row[2]);
        sum += t;
    }
    return sum;
}

// d(Dr sum)/dDr of the rows first..last-1 at (Tr, Dr): the slope of the
// scaled conformal density Dr times the shape function.
double scaled_slope(const ShapeTerms& s, int k, int first, int last, double Tr, double Dr) {
    double sum = 0.0;
    for (int i = first; i < last; ++i) {
        const auto& row = s.rows[k][static_cast<std::size_t>(i)];
        sum += row[0] * power(Tr, row[1]) * (row[2] + 1.0) * power(Dr, row[2]);
    }
    return sum;
}

// The shape function of rows first..last-1.  The conformal density (the
// fluid's density times the shape function) has to rise with the density;
// where a polynomial fitted to the saturated liquid turns it down (at the
// densest liquid of a few fluids), the function keeps its value at the
// density where the product stops rising.
double rows_value(const ShapeTerms& s, int k, int first, int last, double Tr, double Dr) {
    if (Dr < 0.0) return polynomial(s, k, first, last, Tr, Dr, false);
    if (!(scaled_slope(s, k, first, last, Tr, Dr) < 0.0) ||
        !(scaled_slope(s, k, first, last, Tr, 0.0) > 0.0))
        return polynomial(s, k, first, last, Tr, Dr, true);
    double lo = 0.0, hi = Dr;
    for (int it = 0; it < 60 && hi - lo > 1e-12 * Dr; ++it) {
        const double mid = 0.5 * (lo + hi);
        (scaled_slope(s, k, first, last, Tr, mid) > 0.0 ? lo : hi) = mid;
    }
    return polynomial(s, k, first, last, Tr, lo, true);
}

double shape(const ShapeTerms& s, int k, double Tr, double Dr) {
    const int npoly = s.npoly[k], nalt = s.nalt[k];
    if (npoly < 1) return 1.0;
    if (nalt >= 2) {
        const auto& sw = s.rows[k][static_cast<std::size_t>(npoly)];
        if (!(Tr > sw[0] && Dr > sw[1])) return rows_value(s, k, npoly + 1, npoly + nalt, Tr, Dr);
    }
    return rows_value(s, k, 0, npoly, Tr, Dr);
}

}  // namespace

double PSI(int icomp, double Tr, double Dr) { return shape(ECSTRN.psi, icomp, Tr, Dr); }

double CHI(int icomp, double Tr, double Dr) { return shape(ECSTRN.chi, icomp, Tr, Dr); }

double FINT(int icomp, double T) {
    const int n = ECSTRN.nfint[icomp];
    if (n < 1) return 0.00132;
    double s = 0.0;
    for (int i = 0; i < n; ++i) {
        const auto& row = ECSTRN.fint[icomp][static_cast<std::size_t>(i)];
        s += row[0] * power(T, row[1]);
    }
    return s;
}

double ETA0DG(int icomp, double T) {
    const bool ecs = ecs_block_loaded(icomp);
    const double sigma = ecs ? ECSTRN.sigma[icomp] : WLJETA[icomp][0];
    const double epsk = ecs ? ECSTRN.epsk[icomp] : WLJETA[icomp][1];
    if (std::fabs(epsk) <= 1e-20 || std::fabs(sigma) <= 1e-20) return 0.0;
    const double omega = OMEGAS(2, 2, T / epsk);
    return 0.026692 * std::sqrt(CCON.wm[icomp] * T) / (omega * sigma * sigma);
}

}  // namespace lib
