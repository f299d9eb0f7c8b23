#include "library/setup/numerics.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "library/setup/common.h"
#include "library/setup/ludecomp.h"

namespace lib {

double CBRTX(double x) {
    const double r = std::pow(std::fabs(x), 0.3333333333333333);
    return x < 0.0 ? -r : r;
}

void MINP(int n, const double x[3], const double y[3], double& xmin, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    xmin = 0.0;
    if (n != 2 && n != 3) {
        fail(1, "MINP", "invalid inputs", ierr, herr);
        return;
    }
    bool vertex = false;
    if (n == 3) {
        const double p = (x[2] - x[0]) * (x[1] - x[2]) * (x[0] - x[1]);
        if (p != 0.0) {
            const double a =
                -((x[1] - x[2]) * y[0] + (x[2] - x[0]) * y[1] + (x[0] - x[1]) * y[2]) / p;
            if (a != 0.0) {
                xmin = -(((y[0] - y[1]) / (x[0] - x[1])) - (x[0] + x[1]) * a) / (2.0 * a);
                if (a > 0.0) {
                    vertex = true;
                } else {
                    fail(2, "MINP", "curvature of parabola is negative", ierr, herr);
                }
            }
        }
    }
    // Zero crossing of the line through the first two points.  Equal values
    // have no crossing: the value found so far stands.
    if (!vertex && y[0] != y[1]) xmin = x[0] - y[0] * (x[0] - x[1]) / (y[0] - y[1]);
    xmin = std::clamp(xmin, -100000.0, 100000.0);
}

void POLYN(int n, const double x[], const double y[], double xval, double& yval, int& ierr,
           std::string& herr) {
    ierr = 0;
    herr.clear();
    yval = 0.0;
    if (n < 2 || n > 20) return;
    // Divided differences, built in place: after pass j, d[i] holds the
    // difference of order j starting at point i.
    double d[20];
    double top[20];  // top[j] = difference of order j starting at point 1
    for (int i = 0; i < n; ++i) d[i] = y[i];
    top[0] = d[0];
    for (int j = 1; j < n; ++j) {
        for (int i = 0; i + j < n; ++i) {
            const double dx = x[i + j] - x[i];
            d[i] = std::fabs(dx) > 1.0e-20 ? (d[i + 1] - d[i]) / dx : 0.0;
        }
        top[j] = d[0];
    }
    double sum = top[0];
    double prod = 1.0;
    for (int j = 1; j < n; ++j) {
        prod *= xval - x[j - 1];
        sum += top[j] * prod;
    }
    yval = sum;
}

void CUBIC(const double a[3], double roots[3]) {
    const double s = a[2] / 3.0;
    const double q = a[1] / 3.0 - s * s;
    const double r = (a[1] * s - a[0]) / 2.0 - s * s * s;
    const double disc = q * q * q + r * r;
    double z1, z2, z3;
    if (disc >= 0.0) {
        const double sq = std::sqrt(disc);
        const double st = CBRTX(sq + r);
        const double tt = CBRTX(r - sq);
        z1 = st + tt - s;
        if (disc > 0.0) {
            roots[0] = roots[1] = roots[2] = z1;
            return;
        }
        z2 = z3 = -(st + tt) / 2.0 - s;
    } else {
        const double m = 2.0 * CBRTX(std::sqrt(-disc + r * r));
        // The angle of (r, sqrt(-disc)) in (0, pi); atan2 also covers r = 0,
        // where the three roots are 0 and +-sqrt(-3q) about -s.
        const double theta = std::atan2(std::sqrt(-disc), r) / 3.0;
        z1 = m * std::cos(theta) - s;
        z2 = m * std::cos(theta + 2.0943951023931953) - s;
        z3 = m * std::cos(theta + 4.1887902047863905) - s;
    }
    const double lo = std::min({z1, z2, z3});
    const double hi = std::max({z1, z2, z3});
    roots[2] = z3;
    roots[1] = hi;
    roots[0] = lo < 0.0 ? hi : lo;
}

void FITL(int n, int ndim, const double x[], const double y[], double xval, double& yval,
          double c[], int& ierr, std::string& herr) {
    (void)ndim;  // the matrix is built here with its own leading dimension n
    ierr = 0;
    herr.clear();
    yval = 0.0;
    if (n == 1) {
        c[0] = y[0];
        yval = y[0];
        return;
    }
    if (n == 2 && x[0] != x[1]) {
        const double m = (y[0] - y[1]) / (x[0] - x[1]);
        c[0] = y[0] - m * x[0];
        c[1] = m;
        yval = y[0] - m * x[0] + m * xval;
        return;
    }
    if (n < 2 || n > 50) {  // also two points at the same abscissa
        fail(1, "FITL", "invalid inputs", ierr, herr);
        return;
    }
    std::vector<double> m(static_cast<std::size_t>(n) * n);
    for (int i = 0; i < n; ++i) {
        double p = 1.0;
        for (int j = 0; j < n; ++j) {
            m[static_cast<std::size_t>(i + j * n)] = p;
            p *= x[i];
        }
        c[i] = y[i];
    }
    LUDECOMP(n, n, m.data(), c, ierr, herr);
    if (ierr > 0) return;
    double sum = 0.0;
    double p = 1.0;
    for (int j = 0; j < n; ++j) {
        sum += c[j] * p;
        p *= xval;
    }
    yval = sum;
}

}  // namespace lib
