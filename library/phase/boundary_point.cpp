// One point of a mixture's phase boundary at given density of the feed
// phase: Newton's method on ln K, ln T and ln Dinc with the analytic
// derivatives of PHIDERV (the equations of SATGV's density formulation at
// vapour fraction 1, the feed phase's density given).
#include "library/phase/boundary_point.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/hmxrecords.h"
#include "library/models/phiderv.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/phase/sattp.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

constexpr int kMaxSteps = 20;
constexpr double kConverged = 1e-12;     // mean square of the last step
constexpr double kResidual = 1e-5;       // largest fugacity residual taken
constexpr double kTrivial = 1e-6;        // every |ln K| below: the trivial solution
constexpr double kLnKBound = 100.0;      // |ln K| beyond: a component is missing
constexpr double kDensityBound = 100.0;  // mol/L
constexpr double kTmin = 2.0, kTmax = 2000.0;
constexpr int kHalvings = 10;
constexpr int kRetreats = 4;
constexpr double kStepT = 0.1;                 // largest |d ln T| of one step
constexpr double kStepD = 0.6931471805599453;  // largest |d ln Dinc| (a factor 2)

// What the iteration reads of one phase at (T, D, x), by present component
// (positions of the order).
struct Phase {
    double D = 0, P = 0, dPdT = 0, dPdD = 0;
    double lnf[20] = {};  // ln(phi_i P / 1 MPa)
    double dT[20] = {};   // d lnf_i / dT at constant D and composition
    double dlnD[20] = {};
    double MP[20] = {};     // n dP/dn_j at constant T and D, less D dP/dD, kPa
    double M[20][20] = {};  // composition derivatives of lnf
};

bool evaluate(double T, double D, const double x[20], const Present& order, Phase& ph) {
    double dadn[20], dnadn[20];
    int ierr = 0;
    std::string herr;
    PHIDERV(2, T, D, x, dadn, dnadn, ierr, herr);
    if (ierr != 0) return false;
    double tred = 0, dred = 0;
    REDX(x, tred, dred);
    const double tau = tred / T, del = D / dred, R = GCNST.r;
    const double a01 = PHIX(0, 1, tau, del, x), a02 = PHIX(0, 2, tau, del, x),
                 a11 = PHIX(1, 1, tau, del, x);
    ph.D = D;
    ph.P = D * R * T * (1.0 + a01);
    ph.dPdD = R * T * (1.0 + 2.0 * a01 + a02);
    ph.dPdT = D * R * (1.0 + a01 - a11);
    if (!std::isfinite(ph.P + ph.dPdD + ph.dPdT)) return false;
    const PhidrRecord& r = PHIDR;
    const double lndrt = std::log(D * R * T / 1000.0);
    for (int a = 0; a < order.m; ++a) {
        const int i = order.c[a];
        ph.lnf[a] = lndrt + dnadn[i];
        ph.dT[a] = r.dlnf_dt[i];
        ph.dlnD[a] = -r.dlnf_dv[i] / D;
        ph.MP[a] = r.ndp_dn[i] - D * ph.dPdD;
        for (int b = 0; b < order.m; ++b)
            ph.M[a][b] = r.d2nadn2[i][order.c[b]] + (r.dlnf_dv[i] + D) / D;
    }
    return true;
}

// One solution: the iteration vector v (ln K by present component, ln T,
// ln Dinc) and what it needs between steps.
class PointSolver {
public:
    PointSolver(const double z[20], double D, const BoundaryPoint& start)
        : z(z), D(D), order(present(z)), m(order.m), len(order.m + 2) {
        for (int a = 0; a < m; ++a) {
            const int i = order.c[a];
            v[a] = start.inc[i] > 0.0 ? std::log(z[i] / start.inc[i]) : 1.0;
        }
        v[m] = std::log(start.T);
        v[m + 1] = std::log(start.Dinc);
        start_p = start.P;
    }

    bool run(BoundaryPoint& p) {
        if (m < 2 || !(D > 0.0) || !std::isfinite(v[m] + v[m + 1])) return false;
        for (int it = 0; it < kMaxSteps; ++it) {
            if (!within_bounds() || !phases(it)) return false;
            residuals_and_jacobian();
            if (trivial()) return false;
            double residual = 0.0;
            for (int k = 0; k < m; ++k) residual = std::max(residual, std::fabs(F[k]));
            double dv[22];
            for (int k = 0; k < len; ++k) dv[k] = -F[k];
            int jerr = 0;
            std::string jmsg;
            LUDECOMP(len, len, J, dv, jerr, jmsg);
            if (jerr != 0) return false;
            const double measure = take(dv);
            if (!std::isfinite(measure)) return false;
            if (it > 0 && measure <= kConverged && residual <= kResidual) {
                if (!within_bounds()) return false;
                finish(p);
                return true;
            }
        }
        return false;
    }

private:
    const double* z;
    const double D;
    const Present order;
    const int m, len;
    double v[22] = {}, before[22] = {};
    double start_p = 0;
    bool restarted = false;
    double x[20] = {}, w[20] = {};
    Phase feed, inc;
    double F[22] = {};
    double J[22 * 22] = {};

    double T() const { return std::exp(v[m]); }

    // Both phases at the iterate.  Where the incipient phase's density
    // gives no positive pressure (a liquid at a few kPa is that sensitive),
    // the start takes the density of its composition at the start's
    // pressure, and a later iterate goes back halfway to the one before.
    bool phases(int it) {
        for (int k = 0; k <= kRetreats; ++k) {
            if (k > 0 && !retreat(it)) return false;
            if (evaluate(T(), D, z, order, feed) &&
                evaluate(T(), std::exp(v[m + 1]), incipient_composition(), order, inc))
                return true;
        }
        return false;
    }

    bool retreat(int it) {
        if (it > 0) {
            for (int k = 0; k < len; ++k) v[k] = 0.5 * (v[k] + before[k]);
            return true;
        }
        if (restarted) return false;
        restarted = true;
        double d = std::exp(v[m + 1]);
        int jerr = 0;
        std::string jmsg;
        TPRHO(T(), start_p, incipient_composition(), d > D ? kLiquid : kVapour, kStartValue, d,
              jerr, jmsg);
        if (jerr > 0 || !(d > 0.0)) return false;
        v[m + 1] = std::log(d);
        return true;
    }

    // The incipient phase's composition from ln K (z_i / K_i normalised),
    // with w_i = z_i / K_i.
    const double* incipient_composition() {
        double sum = 0.0;
        for (int i = 0; i < 20; ++i) x[i] = 0.0;
        for (int a = 0; a < m; ++a) {
            const int i = order.c[a];
            w[a] = z[i] / std::exp(v[a]);
            x[i] = w[a];
            sum += w[a];
        }
        for (int a = 0; a < m; ++a) x[order.c[a]] /= sum;
        return x;
    }

    bool within_bounds() const {
        for (int a = 0; a < m; ++a)
            if (!(std::fabs(v[a]) <= kLnKBound)) return false;
        const double t = T();
        return t > kTmin && t < kTmax && std::exp(v[m + 1]) <= kDensityBound;
    }

    bool trivial() const {
        for (int a = 0; a < m; ++a)
            if (std::fabs(v[a]) > kTrivial) return false;
        return true;
    }

    void residuals_and_jacobian() {
        const auto at = [&](int row, int col) -> double& { return J[row + col * len]; };
        for (int k = 0; k < len * len; ++k) J[k] = 0.0;
        const double t = T();
        double rr = 0.0;
        for (int a = 0; a < m; ++a) rr += z[order.c[a]] - w[a];
        for (int k = 0; k < m; ++k) {
            F[k] = v[k] + feed.lnf[k] - inc.lnf[k];
            for (int a = 0; a < m; ++a) at(k, a) = (k == a ? 1.0 : 0.0) + inc.M[k][a] * w[a];
            at(k, m) = t * (feed.dT[k] - inc.dT[k]);
            at(k, m + 1) = -inc.dlnD[k];
        }
        F[m] = rr;
        for (int a = 0; a < m; ++a) at(m, a) = w[a];
        F[m + 1] = (inc.P - feed.P) / 1000.0;
        for (int a = 0; a < m; ++a) at(m + 1, a) = -inc.MP[a] * w[a] / 1000.0;
        at(m + 1, m) = t * (inc.dPdT - feed.dPdT) / 1000.0;
        at(m + 1, m + 1) = inc.D * inc.dPdD / 1000.0;
    }

    // The step, halved while it moves T by more than 10 % or the incipient
    // density by more than a factor 2; the mean square of the full step.
    double take(double dv[]) {
        double measure = 0.0;
        for (int k = 0; k < len; ++k) measure += dv[k] * dv[k];
        measure /= len;
        double scale = 1.0;
        for (int h = 0; h < kHalvings && (std::fabs(scale * dv[m]) > kStepT ||
                                          std::fabs(scale * dv[m + 1]) > kStepD);
             ++h)
            scale *= 0.5;
        for (int k = 0; k < len; ++k) {
            before[k] = v[k];
            v[k] += scale * dv[k];
        }
        return measure;
    }

    void finish(BoundaryPoint& p) {
        incipient_composition();
        p.D = D;
        p.T = T();
        p.Dinc = std::exp(v[m + 1]);
        PRESS(p.T, D, z, p.P);
        for (int i = 0; i < 20; ++i) p.inc[i] = x[i];
    }
};

}  // namespace

bool boundary_point(const double z[20], double D, BoundaryPoint& p) {
    PointSolver solver(z, D, p);
    BoundaryPoint q = p;
    if (!solver.run(q) || !std::isfinite(q.P) || !(q.P > 0.0)) return false;
    p = q;
    return true;
}

}  // namespace lib::mix
