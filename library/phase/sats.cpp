// Saturation states of given entropy (SATS) and the extremes of the
// entropy along the saturation boundary (SMAXX).
//
// The liquid entropy rises monotonically to its critical value; the vapour
// entropy may have a maximum and a minimum between the lower limit and the
// critical point, and the liquid entropy along the melting line may fall
// from the triple point to a minimum before it rises.  Each curve is cut at
// its extremes into monotonic pieces, and each piece that spans the given
// entropy holds one root, found by the bracketed search of satroot.  Roots
// are reported liquid first, then the vapour roots from the critical point
// downwards, then the melting roots from the melting-side extremum up and
// below it.  (The melting side may turn either way: carbon dioxide's liquid
// entropy has a minimum near 245 K, water's a maximum near 600 K.)
#include <algorithm>
#include <cmath>
#include <vector>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/phase/flashutil.h"
#include "library/phase/records.h"
#include "library/phase/sath.h"
#include "library/phase/satroot.h"
#include "library/setup/records.h"

namespace lib {

namespace {

using satroot::Point;
using satroot::Prop;

double& word(int w) { return FXPNT.x[static_cast<std::size_t>(w)]; }
// FXPNT words (0-based): the vapour extremum nearest Tc (T 10, s 11), the
// liquid and vapour entropies at the lower limit (12, 13), the vapour
// extremum nearest the lower limit (s 14, T 16), the melting side's (s 15,
// T 17), the temperature of the vapour value at the lower limit (18).
constexpr int kT1 = 10, kS1 = 11, kSl = 12, kSv = 13, kS2 = 14, kS3 = 15, kT2 = 16, kT3 = 17,
              kTvap = 18;
constexpr int kLiquidLine = 1, kVapourLine = 2, kMelting = 3, kSublimation = 4;

std::string g(double v) { return fmt_g(v, 12, 5); }

double lower_limit(const double x[20], int ic) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", x, tmin, tmax, dmax, pmax);
    if (ic > 0) tmin = std::max(tmin, CCON.ttp[ic]);
    return tmin;
}

double upper_limit(const double x[20]) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", x, tmin, tmax, dmax, pmax);
    return tmax;
}

// The entropies at the lower limit (words 13, 14 and the vapour's
// temperature in word 19).
bool lower_values(const double x[20], double tmin, double Tc) {
    if (word(kSv) != 0.0 && word(kTvap) > 0.0) return true;
    double Dl = 0, Tv = 0, Dv = 0;
    if (!satroot::lower_states(x, tmin, Tc, Dl, Tv, Dv)) return false;
    ENTRO(tmin, Dl, x, word(kSl));
    ENTRO(Tv, Dv, x, word(kSv));
    word(kTvap) = Tv;
    return true;
}

// The extremes of the vapour entropy between the lowest vapour state and
// the highest below Tc, from the lowest temperature up: located on a grid
// (by the sign of the slope where the boundary has one, else by the values)
// and refined between the neighbours.
std::vector<Point> vapour_extremes(const double x[20], double tlow, double Tc) {
    constexpr int kGrid = 40;
    std::vector<Point> out;
    const Point top = satroot::highest(kVapourLine, Prop::kS, x, Tc);
    if (!top.ok || !(top.T > tlow)) return out;
    std::vector<Point> pts;
    for (int i = 0; i < kGrid; ++i) {
        const Point pt =
            satroot::boundary(kVapourLine, tlow + (top.T - tlow) * i / kGrid, Prop::kS, x);
        if (pt.ok) pts.push_back(pt);
    }
    pts.push_back(top);
    for (std::size_t k = 1; k < pts.size(); ++k) {
        const Point &a = pts[k - 1], &b = pts[k];
        if (std::isfinite(a.dv) && std::isfinite(b.dv)) {
            if ((a.dv > 0.0) != (b.dv > 0.0))
                out.push_back(satroot::extremum(kVapourLine, Prop::kS, x, a, b, a.dv > 0.0));
        } else if (k + 1 < pts.size()) {
            const Point& c = pts[k + 1];
            if ((b.v - a.v) * (c.v - b.v) < 0.0)
                out.push_back(satroot::extremum(kVapourLine, Prop::kS, x, a, c, b.v > a.v));
        }
    }
    return out;
}

// The liquid along the melting line of a pure fluid from tmin up: points
// tmin (1 + k/20) to where the line ends (its last state found to 1e-4 of
// its temperature) or the equation's upper limit.
std::vector<Point> melting_line(const double x[20], double tmin, double tmax) {
    std::vector<Point> pts;
    double gap = 0.0;
    for (int k = 0; tmin * (1.0 + k / 20.0) <= tmax; ++k) {
        const Point pt = satroot::boundary(kMelting, tmin * (1.0 + k / 20.0), Prop::kS, x);
        if (!pt.ok) {
            gap = pt.T;
            break;
        }
        pts.push_back(pt);
    }
    if (pts.empty() || !(gap > 0.0)) return pts;
    double ok = pts.back().T;
    Point last = pts.back();
    while (gap - ok > 1e-4 * ok) {
        const Point pt = satroot::boundary(kMelting, 0.5 * (ok + gap), Prop::kS, x);
        (pt.ok ? ok : gap) = 0.5 * (ok + gap);
        if (pt.ok) last = pt;
    }
    if (last.T > pts.back().T) pts.push_back(last);
    return pts;
}

// The first extremum of the liquid entropy along the melting line (ok
// false when it is monotonic), refined between the neighbours of the grid
// point where the entropy turns.
Point melting_extremum(const double x[20], const std::vector<Point>& line) {
    for (std::size_t k = 1; k + 1 < line.size(); ++k) {
        const Point &a = line[k - 1], &b = line[k], &c = line[k + 1];
        if ((b.v - a.v) * (c.v - b.v) < 0.0)
            return satroot::extremum(kMelting, Prop::kS, x, a, c, b.v > a.v);
    }
    return Point{};
}

struct Root {
    int k = 0;
    double T = 0, P = 0, D = 0;
};

// The roots of one call: each monotonic piece of a boundary is searched.
class EntropyRoots {
public:
    EntropyRoots(double s, const double x[20])
        : s_(s), x_(x), tol_(1e-13 * (std::fabs(s) + GCNST.r)) {}

    // The piece of the boundary of kind k between a and b (either order).
    void piece(int kind, double a, double b) {
        piece(kind, satroot::boundary(kind, a, Prop::kS, x_),
              satroot::boundary(kind, b, Prop::kS, x_));
    }
    // The same between two states of the line (or its end).
    void piece(int kind, const Point& pa, const Point& pb) {
        if (!pa.ok || !pb.ok) return;
        const double a = pa.T, b = pb.T;
        const double fa = pa.v - s_, fb = pb.v - s_;
        if (std::fabs(fa) < tol_) return record(kind, pa);
        if ((fa > 0.0) == (fb > 0.0)) return;
        const Point pt = satroot::search(kind, Prop::kS, s_, x_, a, fa, b, 0.5 * (a + b),
                                         std::min(a, b), std::max(a, b), tol_);
        if (!pt.ok) {
            ++failed_;
            kept_ =
                "iteration for saturation state given entropy did not converge for s =" + g(s_) +
                " J/mol-K; root = " + std::to_string(roots_.size() + 1);
        }
        record(kind, pt);
    }
    const std::vector<Root>& roots() const { return roots_; }
    int failed() const { return failed_; }
    const std::string& kept() const { return kept_; }

private:
    void record(int kind, const Point& pt) {
        roots_.push_back({kind, pt.ok ? pt.T : 0.0, pt.ok ? pt.P : 0.0, pt.ok ? pt.D : 0.0});
    }

    double s_;
    const double* x_;
    double tol_;
    std::vector<Root> roots_;
    int failed_ = 0;
    std::string kept_;
};

}  // namespace

void SMAXX(const double x[20], double& s1, double& T1, double& s2, double& T2, double& s3,
           double& T3, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    s1 = T1 = s2 = T2 = s3 = T3 = 0.0;
    double Tc = 0, Pc = 0, Dc = 0;
    if (!flash::critical_point(x, Tc, Pc, Dc, "SMAXX", 160, 235, ierr, herr)) return;
    (void)satroot::boundary_end(x, Tc, Pc, Dc);
    satroot::own_words(x);
    const int ic = ISPURE(x);
    const double tmin = lower_limit(x, ic);
    double sc = 0;
    ENTRO(Tc, Dc, x, sc);
    if (!lower_values(x, tmin, Tc)) {
        fail(161, "SMAXX", "saturation state at the lower temperature limit not found", ierr, herr);
        return;
    }
    T1 = T2 = T3 = -1.0;
    s1 = word(kSv);
    s2 = std::min(sc, word(kSv));
    s3 = word(kSl);
    const auto ext = vapour_extremes(x, word(kTvap), Tc);
    if (!ext.empty()) {
        T1 = ext.back().T;
        s1 = ext.back().v;
        T2 = ext.front().T;
        s2 = ext.front().v;
    }
    if (ic > 0) {
        const Point m = melting_extremum(x, melting_line(x, tmin, upper_limit(x)));
        if (m.ok) {
            T3 = m.T;
            s3 = m.v;
        }
    }
    word(kT1) = T1;
    word(kS1) = s1;
    word(kT2) = T2;
    word(kS2) = s2;
    word(kT3) = T3;
    word(kS3) = s3;
}

void SATS(double s, const double x[20], int kph, int& nroot, int& k1, double& T1, double& P1,
          double& D1, int& k2, double& T2, double& P2, double& D2, int& k3, double& T3, double& P3,
          double& D3, int& ierr, std::string& herr) {
    nroot = k1 = k2 = k3 = 0;
    T1 = P1 = D1 = T2 = P2 = D2 = T3 = P3 = D3 = 0.0;
    ierr = 0;
    herr.clear();
    const int ic = ISPURE(x);
    double Tc = 0, Pc = 0, Dc = 0;
    if (!flash::critical_point(x, Tc, Pc, Dc, "SATS", 160, 235, ierr, herr)) return;
    const bool meet = satroot::boundary_end(x, Tc, Pc, Dc);
    if (!std::isfinite(s)) {
        fail(1, "SATS", "input value is not a number", ierr, herr);
        return;
    }
    satroot::own_words(x);
    const double tmin = lower_limit(x, ic);
    if (word(kT1) == 0.0) {
        double a, b, c, d, e, f;
        SMAXX(x, a, b, c, d, e, f, ierr, herr);
        if (ierr > 0) return;
    }
    double sc = 0;
    ENTRO(Tc, Dc, x, sc);
    const double sl0 = word(kSl), sv0 = word(kSv), tv = word(kTvap);
    const bool turns = word(kT3) > 0.0;
    // Melting and sublimation lines belong to pure fluids.
    const int kind = ic > 0 && (kph == kMelting || kph == kSublimation) ? kph : 0;
    // The liquid on the melting line, whose entropy at the lower limit is
    // not the saturated liquid's where the line there is another branch
    // (water: the ice V line at 273.16 K, -3.3 J/(mol K) below it).
    std::vector<Point> line;
    if (kind == kMelting) line = melting_line(x, tmin, upper_limit(x));
    double smax = std::max(sc, sv0);
    if (word(kT1) > 0.0) smax = std::max(smax, word(kS1));

    const double tol = 1e-13 * (std::fabs(s) + GCNST.r);
    if (kind == kSublimation && s < sv0 - tol) {
        fail(8, "SATS",
             "entropy less than triple point entropy; s =" + g(s) + " J/mol-K, smin =" + g(sv0) +
                 " J/mol-K",
             ierr, herr, 3);
        return;
    }
    double smin = sl0;
    if (kind == kMelting && !line.empty()) {
        smin = line.front().v;
        if (turns) smin = std::min(smin, word(kS3));
    }
    if (s < smin - tol) {
        fail(
            2, "SATS",
            "entropy below minimum entropy; s =" + g(s) + " J/mol-K, smin =" + g(smin) + " J/mol-K",
            ierr, herr, 3);
        return;
    }
    if ((kph == 0 || kph == kLiquidLine || kph == kVapourLine) && s > smax + tol) {
        fail(4, "SATS",
             "entropy greater than maximum entropy; s =" + g(s) + " J/mol-K, smax =" + g(smax) +
                 " J/mol-K",
             ierr, herr, 3);
        return;
    }

    EntropyRoots r(s, x);
    // The lines end at the critical point, or apart at their highest states.
    if (kph == 0 || kph == kLiquidLine)
        r.piece(kLiquidLine, satroot::boundary(kLiquidLine, tmin, Prop::kS, x),
                satroot::line_end(kLiquidLine, Prop::kS, x, meet, Tc, Dc));
    const Point top_v = satroot::line_end(kVapourLine, Prop::kS, x, meet, Tc, Dc);
    if ((kph == 0 || kph == kVapourLine) && top_v.ok) {
        // The vapour pieces from the top down.
        std::vector<double> cuts{tv};
        if (word(kT2) > tv) cuts.push_back(word(kT2));
        if (word(kT1) > tv && word(kT1) != word(kT2)) cuts.push_back(word(kT1));
        r.piece(kVapourLine, satroot::boundary(kVapourLine, cuts.back(), Prop::kS, x), top_v);
        for (std::size_t i = cuts.size() - 1; i >= 1; --i)
            r.piece(kVapourLine, cuts[i - 1], cuts[i]);
    }
    if (kind == kMelting && line.size() > 1) {
        // Above the melting-side extremum, then between the lower limit and it.
        const double tend = line.back().T;
        r.piece(kMelting, turns ? word(kT3) : tmin, tend);
        if (turns) r.piece(kMelting, tmin, word(kT3));
    }
    if (kind == kSublimation) r.piece(kSublimation, tmin, 0.5 * tmin);

    for (const Root& root : r.roots()) {
        if (nroot == 3) break;
        ++nroot;
        (nroot == 1 ? k1 : nroot == 2 ? k2 : k3) = root.k;
        (nroot == 1 ? T1 : nroot == 2 ? T2 : T3) = root.T;
        (nroot == 1 ? P1 : nroot == 2 ? P2 : P3) = root.P;
        (nroot == 1 ? D1 : nroot == 2 ? D2 : D3) = root.D;
    }
    if (r.failed() >= 2) {
        fail(162, "SATS",
             "iteration for saturation state given entropy did not converge for two of the "
             "roots; s =" +
                 g(s) + " J/mol-K",
             ierr, herr);
    } else if (r.failed() == 1) {
        fail(161, "SATS", r.kept(), ierr, herr);
    } else if (nroot == 0) {
        fail(1, "SATS", "no roots found for specified phase; s =" + g(s) + " J/mol-K", ierr, herr,
             3);
    } else if (kind == kMelting) {
        // A melting state beyond the equation's range (water's ice VII line
        // reaches 20 GPa) is reported with the range check's warning or
        // error, the first root's first.
        for (int k = nroot; k >= 1; --k) {
            const double t = k == 1   ? T1
                             : k == 2 ? T2
                                      : T3,
                         d = k == 1   ? D1
                             : k == 2 ? D2
                                      : D3,
                         p = k == 1   ? P1
                             : k == 2 ? P2
                                      : P3;
            double tlim = 0, tup = 0, dlim = 0, plim = 0;
            int lerr = 0;
            std::string lmsg;
            LIMITX("EOS", t, d, p, x, tlim, tup, dlim, plim, lerr, lmsg);
            if (lerr != 0) {
                ierr = lerr;
                herr = lmsg;
            }
        }
    }
}

}  // namespace lib
