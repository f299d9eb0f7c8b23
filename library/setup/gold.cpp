// GOLD: golden-section search for an extremum of h, e or s along density.
#include <cctype>
#include <string>

#include "library/library.h"

namespace lib {

void GOLD(double Dlow, double Dhigh, int n, int kflag, const double x[20], double T,
          double /*unused1*/, double /*unused2*/, const std::string& htyp, double& Dopt,
          double& fopt, int& ierr) {
    ierr = 0;
    const char kind =
        htyp.empty() ? 'H' : static_cast<char>(std::toupper(static_cast<unsigned char>(htyp[0])));
    const double s = kflag != 0 ? 1.0 : -1.0;  // the search maximises s f
    auto f = [&](double d) {
        double v = 0.0;
        if (kind == 'E')
            ENERGY(T, d, x, v);
        else if (kind == 'S')
            ENTRO(T, d, x, v);
        else
            ENTHAL(T, d, x, v);
        return s * v;
    };
    double a = Dlow, b = Dhigh;
    double p = a + 0.61803398875 * (b - a);
    double F = f(p);
    for (int i = 0; i < n; ++i) {
        const double q = a + 0.38196601124999996 * (b - a);
        const double G = f(q);
        if (G <= F) {
            // p stays the best point: the interval turns round to [b, q].
            a = b;
            b = q;
        } else {
            b = p;
            p = q;
            F = G;
        }
    }
    Dopt = (a + b) / 2.0;
    fopt = s * F;
}

}  // namespace lib
