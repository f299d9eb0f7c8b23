#include "library/setup/ludecomp.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "library/setup/common.h"

namespace lib {

IordRecord IORD;

namespace {

inline double& at(double A[], int ndim, int i, int j) {
    return A[static_cast<std::size_t>(i) +
             static_cast<std::size_t>(j) * static_cast<std::size_t>(ndim)];
}

void singular(int& ierr, std::string& herr) { fail(1, "LUdecomp", "singular matrix", ierr, herr); }

}  // namespace

void PIVOT(int n, int ndim, int k, int order[], const double A[], const double scale[]) {
    int best = k;
    double big = -1.0;
    for (int r = k; r < n; ++r) {
        const int row = order[r];
        const double v =
            std::fabs(A[static_cast<std::size_t>(row) +
                        static_cast<std::size_t>(k) * static_cast<std::size_t>(ndim)]) /
            scale[row];
        if (v > big) {
            big = v;
            best = r;
        }
    }
    const int t = order[k];
    order[k] = order[best];
    order[best] = t;
}

void LUDECOMP(int n, int ndim, double A[], double b[], int& ierr, std::string& herr) {
    if (n < 1 || ndim < n) {
        singular(ierr, herr);
        return;
    }
    std::vector<int>& order = IORD.order;
    if (ierr == -191 || ierr == -190) {
        // The matrix already holds a decomposition.  -191 reuses the row
        // order of the previous call; -190 takes the rows in their order.
        if (ierr == -190 || static_cast<int>(order.size()) != n) {
            order.resize(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = i;
        }
    } else {
        ierr = 0;
        herr.clear();
        order.resize(static_cast<std::size_t>(n));
        std::vector<double> scale(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            order[static_cast<std::size_t>(i)] = i;
            double big = 0.0;
            for (int j = 0; j < n; ++j) big = std::max(big, std::fabs(at(A, ndim, i, j)));
            if (!(big > 0.0)) {  // a zero row (or a NaN in it)
                singular(ierr, herr);
                return;
            }
            scale[static_cast<std::size_t>(i)] = big;
        }
        int* o = order.data();
        PIVOT(n, ndim, 0, o, A, scale.data());
        const double p0 = at(A, ndim, o[0], 0);
        if (p0 == 0.0) {
            singular(ierr, herr);
            return;
        }
        for (int j = 1; j < n; ++j) at(A, ndim, o[0], j) /= p0;
        for (int k = 1; k < n; ++k) {
            // Column k of the lower factor.
            for (int r = k; r < n; ++r) {
                double sum = at(A, ndim, o[r], k);
                for (int m = 0; m < k; ++m) sum -= at(A, ndim, o[r], m) * at(A, ndim, o[m], k);
                at(A, ndim, o[r], k) = sum;
            }
            if (k == n - 1) break;
            PIVOT(n, ndim, k, o, A, scale.data());
            const double pk = at(A, ndim, o[k], k);
            if (pk == 0.0) {
                singular(ierr, herr);
                return;
            }
            // Row k of the upper factor.
            for (int j = k + 1; j < n; ++j) {
                double sum = at(A, ndim, o[k], j);
                for (int m = 0; m < k; ++m) sum -= at(A, ndim, o[k], m) * at(A, ndim, o[m], j);
                at(A, ndim, o[k], j) = sum / pk;
            }
        }
        if (at(A, ndim, o[n - 1], n - 1) == 0.0) {
            singular(ierr, herr);
            return;
        }
    }
    ierr = 0;
    herr.clear();
    const int* o = order.data();
    // Forward substitution with the lower factor, then back substitution
    // with the unit upper factor.
    for (int i = 0; i < n; ++i) {
        const double piv = at(A, ndim, o[i], i);
        if (piv == 0.0) {  // only a matrix that was never decomposed gets here
            singular(ierr, herr);
            return;
        }
        double sum = b[o[i]];
        for (int m = 0; m < i; ++m) sum -= at(A, ndim, o[i], m) * b[o[m]];
        b[o[i]] = sum / piv;
    }
    for (int i = n - 2; i >= 0; --i) {
        double sum = b[o[i]];
        for (int m = i + 1; m < n; ++m) sum -= at(A, ndim, o[i], m) * b[o[m]];
        b[o[i]] = sum;
    }
    std::vector<double> z(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) z[static_cast<std::size_t>(i)] = b[o[i]];
    for (int i = 0; i < n; ++i) b[i] = z[static_cast<std::size_t>(i)];
}

}  // namespace lib
