// The two-phase state of a mixture at given temperature or pressure with
// one more property: a bracketed root search on the free variable (pressure
// at given T, temperature at given P) between the bubble and the dew point,
// with the (T, p) split at each trial value.
#pragma once

#include <string>

namespace lib {

// What is given besides the fixed variable: the property letter ('H', 'S',
// 'E', 'D', 'Q'), its value b, the kind of quality (kq) and the scale of
// the property's residual.
struct SplitTarget {
    bool at_t = true;  // T given (the free variable is P)
    char letter = 'H';
    int kq = 1;
    double b = 0;
    double scale = 1;
};

// The residual of the target at a split: b minus the split's property.
double split_residual(const SplitTarget& t, double T, double q, double Dl, double Dv,
                      const double x[20], const double y[20]);

// The root between the bubble end (free variable vb, residual fb) and the
// dew end (vd, fd) of opposite signs.  T or P (the free one), Dl, Dv, x, y
// and q hold the start in and the state out.  False when the split keeps
// failing (ierr 225) or the search does not converge (226), herr then the
// text of the flash's message.
bool split_on_free_variable(const SplitTarget& t, const double z[20], double vb, double fb,
                            double vd, double fd, double& T, double& P, double& Dl, double& Dv,
                            double x[20], double y[20], double& q, int& ierr, std::string& herr);

}  // namespace lib
