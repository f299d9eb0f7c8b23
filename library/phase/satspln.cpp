// SATSPLN: the whole phase boundary of a mixture traced once along the
// density of the feed-composition phase, from a dew point at very low
// pressure through the critical region to dense bubble points, with cubic
// splines of every column in ln D and the characteristic points (maximum
// temperature, maximum pressure, critical point).  The saturation solvers
// take start values from it.
#include "library/phase/satspln.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/hmx.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/phase/boundary_point.h"
#include "library/phase/boundary_steps.h"
#include "library/phase/flashutil.h"
#include "library/phase/records.h"
#include "library/phase/satgv.h"
#include "library/phase/sattp.h"
#include "library/setup/records.h"
#include "library/setup/splines.h"

namespace lib {
namespace {

int components() { return std::min(NCOMP.nc, kMaxComp); }

// Failed points in a row beyond twice the critical density that end the
// trace.
constexpr int kFailuresToEnd = 5;

// Columns of a boundary row (0: ln D of the feed phase).
int col_x(int i) { return i + 1; }  // ln x_i of the incipient phase, i 0-based
int col_t() { return components() + 1; }
int col_p() { return components() + 2; }
int col_dinc() { return components() + 3; }
int col_h() { return components() + 4; }
int col_s() { return components() + 5; }
int columns() { return components() + 6; }

// One traced point: the feed phase's density, the incipient phase's density
// and composition, T and P.
using Point = mix::BoundaryPoint;

double spline_value(int col, double D) {
    double v = 0;
    int jerr = 0;
    std::string jmsg;
    SPLNVAL(col, 0, D, v, jerr, jmsg);
    return jerr == 0 ? v : std::nan("");
}

}  // namespace

// The trace of one boundary: begun once, then marched on for as many
// evaluations as each call allows (SATSPLN allows all of them).
class BoundaryTrace {
public:
    explicit BoundaryTrace(const double z[20]) { flash::copy20(z, x); }

    int ierr = 0;
    std::string herr;

    // Marches on for at most `budget` evaluations: true once the trace has
    // ended (the splines set with ierr 0, or ierr > 0), false while it is
    // unfinished.
    bool go(unsigned long long budget) {
        start = EOS_EVALUATIONS;
        if (!begun) {
            begun = true;
            if (!begin()) return true;
        }
        // (While it runs, the splines are not set.)
        SATSPL.built = 0;
        SATSPL.n = 0;
        {
            mix::SwitchGuard tracing(FLAGS2.spline_status, 1);
            if (!march(budget)) return false;
        }
        finish();
        return true;
    }

    // An unfinished trace given up: no splines, error 2.
    void give_up() {
        SATSPL.n = 0;
        fail(2, "[SATSPLN error 2] saturation routine failed", ierr, herr);
    }

private:
    double x[20] = {};
    bool begun = false;
    unsigned long long start = 0;  // evaluations when the current call began
    double Tc = 0, Pc = 0, Dc = 0, tmin = 0, pmax = 0;
    std::vector<std::array<double, 26>> rows;
    double threshold = 1e-12;
    // The state of the march between calls.
    Point prev;
    double D = 0.0, top = 0.0;  // the feed phase's density; the highest temperature so far
    double slopes[10] = {};
    int nslopes = 0, shift = 0, near = 0;
    int failures = 0;  // solver failures in a row
    mix::BoundarySteps steps{0.0};

    // The critical estimate, the limits and the first point; false when
    // the trace ends here (a pure fluid, no reducing function, no first
    // dew point: error 1).
    bool begin() {
        ierr = 0;
        herr.clear();
        SATSPL.built = 0;
        SATSPL.n = 0;
        if (ISPURE(x) != 0) return false;
        int jerr = 0;
        std::string jmsg;
        CRITP(x, Tc, Pc, Dc, jerr, jmsg);
        steps = mix::BoundarySteps(Dc);
        double tmax = 0, dmax = 0;
        LIMITS("EOS", x, tmin, tmax, dmax, pmax);
        double tr = 0, dr = 0;
        RDXHMX(0, 0, 0, x, tr, dr, jerr, jmsg);
        if (jerr > 0 && !EOSMOD.mix.starts("PR")) return false;
        Point first;
        if (!first_point(first)) {
            fail(1, "[SATSPLN error 1] saturation routine failed in calculating initial state",
                 ierr, herr);
            return false;
        }
        {
            mix::SwitchGuard tracing(FLAGS2.spline_status, 1);
            store(first);
        }
        prev = first;
        D = first.D;
        top = first.T;
        return true;
    }

    // The first dew point: at 0.001 kPa and tenfold pressures until one is
    // found at or above 0.95 of the lowest temperature.
    bool first_point(Point& p) {
        float pf = 0.001f;
        for (; static_cast<double>(pf) < pmax; pf *= 10.0f) {
            double T = 300.0, P = pf, D = 0, Dl = 0, Dv = 0, q = 0, xl[20], xv[20];
            flash::copy20(x, xl);
            flash::copy20(x, xv);
            int jerr = 0;
            std::string jmsg;
            {
                // (Newton's method alone: at 0.001 kPa a dew point far below
                // the equation's range is no start, and the other roads
                // spent a quarter of the trace failing there.)
                mix::SwitchGuard own_failure(FLAGS2.spline_status, 1);
                SATTP(T, P, x, kDewAtP, 0, D, Dl, Dv, xl, xv, q, jerr, jmsg);
            }
            if (jerr != 0 || !(T >= 0.95 * tmin)) continue;
            if (T < tmin) tmin = T;
            p.D = Dv;
            p.Dinc = Dl;
            p.T = T;
            p.P = P;
            flash::copy20(xl, p.inc);
            return true;
        }
        return false;
    }

    std::array<double, 26> row_of(const Point& p) const {
        std::array<double, 26> r{};
        double P = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0, hjt = 0;
        THERM(p.T, p.D, x, P, e, h, s, cv, cp, w, hjt);
        r[0] = std::log(p.D);
        for (int i = 0; i < components(); ++i)
            r[static_cast<std::size_t>(col_x(i))] = p.inc[i] > 0.0 ? std::log(p.inc[i]) : -500.0;
        r[static_cast<std::size_t>(col_t())] = std::log(p.T);
        r[static_cast<std::size_t>(col_p())] = std::log(p.P);
        r[static_cast<std::size_t>(col_dinc())] = std::log(p.Dinc);
        r[static_cast<std::size_t>(col_h())] = h;
        r[static_cast<std::size_t>(col_s())] = s;
        return r;
    }

    // Stores a point, preceded at the start by low-density tail points of
    // the same state (the ideal-gas limit of the boundary).
    void store(const Point& p) {
        const std::array<double, 26> r = row_of(p);
        while (rows.size() < 6) {
            threshold *= 100.0;
            if (!(p.D > threshold)) break;
            std::array<double, 26> tail = r;
            tail[0] = std::log(threshold);
            tail[static_cast<std::size_t>(col_p())] = std::log(threshold * GCNST.r * p.T);
            rows.push_back(tail);
        }
        rows.push_back(r);
    }

    // The start of the next point by quadratic interpolation in ln D through
    // three stored rows.
    void interpolate(double D, int shift, Point& p) const {
        const std::size_t n = rows.size();
        const std::size_t last =
            n - 1 - std::min<std::size_t>(static_cast<std::size_t>(shift), n - 3);
        double xs[3], ys[3];
        for (int k = 0; k < 3; ++k) xs[k] = rows[last - 2 + static_cast<std::size_t>(k)][0];
        auto at = [&](int col) {
            for (int k = 0; k < 3; ++k)
                ys[k] = rows[last - 2 + static_cast<std::size_t>(k)][static_cast<std::size_t>(col)];
            double v = 0;
            int jerr = 0;
            std::string jmsg;
            POLYN(3, xs, ys, std::log(D), v, jerr, jmsg);
            return v;
        };
        p.T = std::exp(at(col_t()));
        p.P = std::exp(at(col_p()));
        p.Dinc = std::exp(at(col_dinc()));
        double sum = 0.0;
        for (int i = 0; i < components(); ++i) {
            p.inc[i] = x[i] > 0.0 ? std::exp(at(col_x(i))) : 0.0;
            sum += p.inc[i];
        }
        if (sum > 1e-10 && std::isfinite(sum)) {
            for (int i = 0; i < components(); ++i) p.inc[i] /= sum;
        } else {
            flash::copy20(x, p.inc);
        }
    }

    // The boundary point whose feed phase has density D, from the start p.
    bool solve(double D, Point& p) {
        if (mix::boundary_point(x, D, p)) return true;
        for (int kform : {kDensityForm, kPressureForm}) {
            double T = p.T, P = p.P, Dl = p.Dinc, Dv = D, xl[20], xv[20];
            flash::copy20(p.inc, xl);
            flash::copy20(x, xv);
            int jerr = 0;
            std::string jmsg;
            SATGV(T, P, x, 1.0, D, kform, kGivenDensity, 0, Dl, Dv, xl, xv, jerr, jmsg);
            if (jerr != 0) continue;
            p.T = T;
            p.P = P;
            p.D = Dv;
            p.Dinc = Dl;
            flash::copy20(xl, p.inc);
            return true;
        }
        return false;
    }

    // Points along the boundary until it ends (true) or the call has spent
    // its budget (false).
    bool march(unsigned long long budget) {
        while (rows.size() < static_cast<std::size_t>(kSplinePoints)) {
            if (EOS_EVALUATIONS - start > budget) return false;
            // (Tenfold densities in the ideal-gas limit, then the steps of
            // BoundarySteps.)
            D = D < 0.01 ? 10.0 * D : D + steps.next();
            if (!(D > 0.0)) break;
            Point p = prev;
            const bool predicted = rows.size() >= 3;
            if (predicted) interpolate(D, shift, p);
            const Point guess = p;
            bool ok = solve(D, p);
            if (!ok && D < 1.0) {
                double T = p.T, P = 10.0 * prev.P, Dd = 0, Dl = 0, Dv = 0, q = 0, xl[20], xv[20];
                flash::copy20(p.inc, xl);
                flash::copy20(x, xv);
                int jerr = 0;
                std::string jmsg;
                SATTP(T, P, x, kDewAtP, 0, Dd, Dl, Dv, xl, xv, q, jerr, jmsg);
                if (jerr == 0) {
                    p.T = T;
                    p.P = P;
                    p.D = Dv;
                    p.Dinc = Dl;
                    flash::copy20(xl, p.inc);
                    D = Dv;
                    ok = true;
                }
            }
            bool reject = !ok;
            if (ok) {
                const double dd = prev.D - p.D;
                const double s = dd != 0.0 ? (prev.Dinc - p.Dinc) / dd : slopes[0];
                if (rows.size() >= 10 && std::fabs(s) > 0.1 && D > 0.7 * Dc && D < 1.3 * Dc &&
                    nslopes >= 9) {
                    double mean = 0.0;
                    for (int k = 0; k < 9; ++k) mean += slopes[k];
                    mean /= 9.0;
                    const bool accept = s * mean > 0.0 && std::fabs(mean) > std::fabs(s);
                    if (!accept && std::fabs(slopes[0]) > 0.1 &&
                        std::fabs((s - slopes[0]) / slopes[0]) > 5.0)
                        reject = true;
                }
                if (!reject) {
                    for (int k = 9; k > 0; --k) slopes[k] = slopes[k - 1];
                    slopes[0] = s;
                    nslopes = std::min(nslopes + 1, 10);
                }
                near = std::fabs(p.Dinc - p.D) / p.Dinc < 0.01 ? near + 1 : 0;
                if (near >= 4) reject = true;
            }
            // (On the dense side the solver fails on and on once the
            // incipient vapour lacks the heaviest components: ln K beyond
            // its bounds.  Those points are never stored.)
            failures = ok ? 0 : failures + 1;
            if (failures >= kFailuresToEnd && D > 2.0 * Dc) break;
            if (reject) {
                steps.rejected();
                ++shift;
                if (shift > 14 || rows.size() < 21) shift = 0;
                if (D > 4.0 * Dc) break;
                continue;
            }
            shift = 0;
            top = std::max(top, p.T);
            steps.taken(prev, p, predicted ? &guess : nullptr, top);
            store(p);
            prev = p;
            if (D > 4.0 * Dc || p.T < 0.999 * tmin) break;
        }
        return true;
    }

    void finish() {
        const int n = static_cast<int>(std::min<std::size_t>(rows.size(), kSplinePoints));
        if (n < 20) {
            SATSPL.n = 0;
            fail(2, "[SATSPLN error 2] saturation routine failed", ierr, herr);
            return;
        }
        std::vector<double> xs(static_cast<std::size_t>(n)), ys(xs.size()), y2(xs.size());
        for (int k = 0; k < n; ++k) {
            SATSPL.value[static_cast<std::size_t>(k)] = rows[static_cast<std::size_t>(k)];
            xs[static_cast<std::size_t>(k)] = rows[static_cast<std::size_t>(k)][0];
        }
        for (int col = 1; col < columns(); ++col) {
            for (int k = 0; k < n; ++k)
                ys[static_cast<std::size_t>(k)] =
                    rows[static_cast<std::size_t>(k)][static_cast<std::size_t>(col)];
            CSPLINE(n - 1, xs.data(), ys.data(), y2.data());
            for (int k = 0; k < n; ++k)
                SATSPL.d2[static_cast<std::size_t>(k)][static_cast<std::size_t>(col)] =
                    y2[static_cast<std::size_t>(k)];
        }
        SATSPL.n = n;
        for (int i = 0; i < kMaxComp; ++i) SATSPL.z[static_cast<std::size_t>(i)] = x[i];
        SATSPL.built = 1;
        characteristic_points();
        ierr = 0;
        herr.clear();
    }

    // A root of a column (or of its derivative) from each start in turn.
    bool root(int col, int deriv, double target, std::initializer_list<double> starts,
              double& D) const {
        for (double s : starts) {
            double d = s;
            int jerr = 0;
            std::string jmsg;
            SPLNROOT(col, deriv, target, d, jerr, jmsg);
            if (jerr == 0) {
                D = d;
                return true;
            }
        }
        return false;
    }

    void characteristic_points() {
        double D = 0;
        MaxtpRecord& m = MAXTP;
        if (root(col_t(), 1, 0.0, {Dc / 4.0}, D)) {
            m.tmax_t = spline_value(col_t(), D);
            m.tmax_p = spline_value(col_p(), D);
            m.tmax_d = D;
            m.tmax_flag = 0;
        } else {
            m.tmax_t = 300.0;
            m.tmax_p = m.tmax_d = 0.0;
            m.tmax_flag = 1;
        }
        if (root(col_p(), 1, 0.0, {Dc, Dc / 2.0}, D)) {
            m.pmax_t = spline_value(col_t(), D);
            m.pmax_p = spline_value(col_p(), D);
            m.pmax_d = D;
            m.pmax_flag = 0;
        } else {
            m.pmax_t = 300.0;
            m.pmax_p = m.pmax_d = 0.0;
            m.pmax_flag = 1;
        }
        int c = 0;
        for (int i = 1; i < components(); ++i)
            if (x[i] > x[c]) c = i;
        m.crit_flag = 1;
        if (root(col_x(c), 0, x[c], {Dc, Dc / 2.0}, D)) {
            const double t = spline_value(col_t(), D), p = spline_value(col_p(), D);
            if (std::isfinite(t) && std::isfinite(p) && p <= 50000.0) {
                m.crit_t = t;
                m.crit_p = p;
                m.crit_d = D;
                m.crit_flag = 0;
            }
        }
        if (m.crit_flag != 0) {
            // The critical point of the estimate (the splines must not feed
            // the critical-point routine its own answer).
            SATSPL.built = 0;
            int jerr = 0;
            std::string jmsg;
            CRITP(x, m.crit_t, m.crit_p, m.crit_d, jerr, jmsg);
            SATSPL.built = 1;
        }
    }
};

bool splines_for(const double x[20]) {
    if (SATSPL.built == 0 || SATSPL.n < 3) return false;
    for (int i = 0; i < kMaxComp; ++i)
        if (std::fabs(x[i] - SATSPL.z[static_cast<std::size_t>(i)]) > 1e-6) return false;
    return true;
}

bool traced_tmax(double& tmax) {
    const int n = SATSPL.n;
    if (SATSPL.built == 0 || n < 20 || n >= kSplinePoints) return false;
    const auto at = [](int k, int col) {
        return SATSPL.value[static_cast<std::size_t>(k)][static_cast<std::size_t>(col)];
    };
    int top = 0;
    for (int k = 1; k < n; ++k) {
        if (!std::isfinite(at(k, col_t()))) return false;
        if (at(k, col_t()) > at(top, col_t())) top = k;
    }
    // (Far below the top, as along the dilute dew points, the points may lie
    // further apart.)
    const double near = at(top, col_t()) + std::log(0.95);
    for (int k = 1; k < n; ++k)
        if (std::max(at(k, col_t()), at(k - 1, col_t())) > near &&
            !(std::fabs(at(k, col_t()) - at(k - 1, col_t())) <= std::log(1.01)))
            return false;
    tmax = std::exp(at(top, col_t()));
    if (MAXTP.tmax_flag == 0 && std::isfinite(MAXTP.tmax_t)) tmax = std::max(tmax, MAXTP.tmax_t);
    // A dew point first (the feed phase the thinner), a bubble point last,
    // whose temperature lies well below the highest and falls over the last
    // points.
    const bool dew_first = at(0, 0) < at(0, col_dinc());
    const bool bubble_last = at(n - 1, 0) > at(n - 1, col_dinc());
    bool falling = top < n - 6;
    for (int k = n - 5; k < n && falling; ++k) falling = at(k, col_t()) < at(k - 1, col_t());
    return dew_first && bubble_last && falling && std::exp(at(n - 1, col_t())) < 0.95 * tmax;
}

bool traced_pmax(double& pmax) {
    double tmax = 0.0;
    if (!traced_tmax(tmax)) return false;
    const int n = SATSPL.n;
    const auto at = [](int k, int col) {
        return SATSPL.value[static_cast<std::size_t>(k)][static_cast<std::size_t>(col)];
    };
    int top = 0;
    for (int k = 1; k < n; ++k) {
        if (!std::isfinite(at(k, col_p()))) return false;
        if (at(k, col_p()) > at(top, col_p())) top = k;
    }
    // No two points near the top more than 5 % apart in P, and the top
    // located on the splines.
    const double near = at(top, col_p()) + std::log(0.95);
    for (int k = 1; k < n; ++k)
        if (std::max(at(k, col_p()), at(k - 1, col_p())) > near &&
            !(std::fabs(at(k, col_p()) - at(k - 1, col_p())) <= std::log(1.05)))
            return false;
    if (MAXTP.pmax_flag != 0 || !std::isfinite(MAXTP.pmax_p)) return false;
    pmax = std::max(std::exp(at(top, col_p())), MAXTP.pmax_p);
    // Both ends well below it: the top passed over.
    return at(0, col_p()) < near && at(n - 1, col_p()) < near;
}

bool spline_start(int kph, const double x[20], double& T, double& P, double& Dl, double& Dv,
                  double xl[20], double xv[20]) {
    if (!splines_for(x)) return false;
    const int k = std::abs(kph);
    if (k < 1 || k > 4) return false;
    const bool bubble = k == 1 || k == 3;
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    CRITP(x, Tc, Pc, Dc, jerr, jmsg);
    double D = bubble ? 2.0 * Dc : Dc / 10.0;
    if (kph < 0 && MAXTP.tmax_flag == 0 && MAXTP.tmax_d > 0.0) D = 0.5 * (Dc + MAXTP.tmax_d);
    const int col = (k == 1 || k == 2) ? col_t() : col_p();
    const double target = (k == 1 || k == 2) ? T : P;
    double d = D;
    SPLNROOT(col, 0, target, d, jerr, jmsg);
    if (jerr != 0 && (k == 1 || k == 2)) {
        d = 0.75 * D < 1e-5 ? 0.75 * Dc : 0.75 * D;
        SPLNROOT(col, 0, target, d, jerr, jmsg);
        if (jerr != 0) d = 2.0 * Dc;
    }
    if (jerr != 0 && (k == 3 || k == 4)) return false;
    double slope = 0;
    SPLNVAL(col, 1, d, slope, jerr, jmsg);
    if (bubble && slope >= 0.0) return false;
    double inc[20] = {}, sum = 0.0;
    for (int i = 0; i < components(); ++i) {
        inc[i] = x[i] > 0.0 ? spline_value(col_x(i), d) : 0.0;
        if (!std::isfinite(inc[i]) || inc[i] < 1e-100) inc[i] = 0.0;
        sum += inc[i];
    }
    const double dinc = spline_value(col_dinc(), d);
    const double other = spline_value(k == 1 || k == 2 ? col_p() : col_t(), d);
    if (!(sum > 0.0) || !std::isfinite(dinc) || !std::isfinite(other) || !(other > 0.0))
        return false;
    for (int i = 0; i < components(); ++i) inc[i] /= sum;
    if (k == 1 || k == 2)
        P = other;
    else
        T = other;
    Dl = Dv = d;
    double* incipient = bubble ? xv : xl;
    double* parent = bubble ? xl : xv;
    for (int i = 0; i < 20; ++i) {
        incipient[i] = inc[i];
        parent[i] = x[i];
    }
    (bubble ? Dv : Dl) = dinc;
    return true;
}

void spline_start_at_fraction(double vf, int ityp, double spec, double& T, double& P, double& Dl,
                              double& Dv, double xl[20], double xv[20]) {
    if (SATSPL.built == 0 || SATSPL.n < 3 || !(vf == 0.0 || vf == 1.0)) return;
    double d = 0.1;
    if (vf == 0.0) {
        double last = 0;
        int jerr = 0;
        std::string jmsg;
        SPLNVAL(0, -2, 0.0, last, jerr, jmsg);
        d = 0.9 * last;
    }
    int jerr = 0;
    std::string jmsg;
    if (ityp == kGivenPressure)
        SPLNROOT(col_p(), 0, P, d, jerr, jmsg);
    else if (ityp == kGivenTemperature)
        SPLNROOT(col_t(), 0, T, d, jerr, jmsg);
    else if (ityp == kGivenEntropy)
        SPLNROOT(col_s(), 0, spec, d, jerr, jmsg);
    else if (ityp == kGivenDensity)
        d = spec;
    if (jerr != 0 || !(d > 0.0)) return;
    const double* z = SATSPL.z.data();
    double inc[20] = {}, sum = 0.0;
    for (int i = 0; i < components(); ++i) {
        inc[i] = z[i] > 0.0 ? spline_value(col_x(i), d) : 0.0;
        if (!std::isfinite(inc[i]) || inc[i] < 1e-100) inc[i] = 0.0;
        sum += inc[i];
    }
    const double dinc = spline_value(col_dinc(), d);
    const double t = spline_value(col_t(), d), p = spline_value(col_p(), d);
    if (!(sum > 0.0) || !std::isfinite(dinc) || !std::isfinite(t) || !std::isfinite(p)) return;
    for (int i = 0; i < components(); ++i) inc[i] /= sum;
    double* feed = vf == 1.0 ? xv : xl;
    double* other = vf == 1.0 ? xl : xv;
    for (int i = 0; i < 20; ++i) {
        feed[i] = z[i];
        other[i] = inc[i];
    }
    (vf == 1.0 ? Dv : Dl) = d;
    (vf == 1.0 ? Dl : Dv) = dinc;
    if (ityp != kGivenTemperature) T = t;
    if (ityp != kGivenPressure) P = p;
}

void SATSPLN(const double x[20], int& ierr, std::string& herr) {
    BoundaryTrace t(x);
    t.go(~0ULL);
    ierr = t.ierr;
    herr = t.herr;
}

SlicedTrace::SlicedTrace(const double x[20]) : t(std::make_unique<BoundaryTrace>(x)) {}

SlicedTrace::~SlicedTrace() = default;

bool SlicedTrace::resume(unsigned long long slice, int& ierr, std::string& herr) {
    const bool ended = t->go(slice);
    ierr = t->ierr;
    herr = t->herr;
    return ended;
}

void SlicedTrace::give_up(int& ierr, std::string& herr) {
    t->give_up();
    ierr = t->ierr;
    herr = t->herr;
}

}  // namespace lib
