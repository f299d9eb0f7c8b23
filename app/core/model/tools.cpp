// Small helpers: the means of the solver and the part models, and the
// comparison of table names.
#include "app/core/model/tools.h"

#include <cmath>

namespace app {

double aveArith(double a, double b) { return 0.5 * (a + b); }

double aveLog(double a, double b) {
    if (!(a > 0.0) || !(b > 0.0)) return aveArith(a, b);
    if (a == b) return a;
    // ln a - ln b as log1p of the relative difference keeps its digits when
    // the two values are close.
    const double d = a - b;
    return d / std::log1p(d / b);
}

bool equal_nocase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char ca = a[i], cb = b[i];
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<char>(cb - 'A' + 'a');
        if (ca != cb) return false;
    }
    return true;
}

}  // namespace app
