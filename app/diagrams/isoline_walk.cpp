// The refinement walk of an isoline: points are added where the line bends
// against the entropy, the two-phase stretch between the saturated liquid
// and vapour is left as it is.
#include "app/diagrams/isolines.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace app::diagrams {

namespace {

double field(const IsoPoint& p, int which) {
    switch (which) {
        case 0: return p.s;
        case 1: return p.h;
        case 2: return p.p;
        case 3: return p.T;
        default: return p.rho;
    }
}

// The walk over one list: a window of three neighbours from index i.
class Walk {
public:
    Walk(std::vector<IsoPoint>& line, const WalkSettings& s, const MidpointFn& midpoint)
        : line_(line), s_(s), midpoint_(midpoint), liquid_(s.liquid), vapour_(s.vapour) {}

    void run() {
        open_two_points();
        walk();
        straighten_long_segments();
    }

private:
    std::vector<IsoPoint>& line_;
    const WalkSettings& s_;
    const MidpointFn& midpoint_;
    long liquid_, vapour_;

    // A line of two points has no window of three to walk: its midpoint
    // opens one (hydrogen's 50 K isotherm kept only 114 MPa and 0.1 kPa and
    // was one straight chord across the h-s diagram, 160 pixels off the
    // line). The saturated pair is a straight stretch of its own.
    void open_two_points() {
        if (line_.size() != 2 || (liquid_ == 0 && vapour_ == 1)) return;
        const double x0 = field(line_[0], s_.step_var), x1 = field(line_[1], s_.step_var);
        if (!(std::fabs(x0 - x1) >= s_.step_limit)) return;
        IsoPoint point;
        if (midpoint_((x0 + x1) / 2, point)) insert(1, point);
    }

    void walk() {
        std::size_t i = 0;
        int jumps = 0;
        while (i + 2 < line_.size()) {
            if (at_liquid(i + 1) && i > 0) {
                // The window goes on from the saturated vapour.
                if (vapour_ < 0 || ++jumps > MAX_WALK_JUMPS) return;
                i = static_cast<std::size_t>(vapour_);
                continue;
            }
            if (!refine_at(i)) ++i;
        }
    }

    // A segment that spans more than this share of the line (in s and in
    // a second variable, each against the line's own span) is checked at
    // its midpoint ...
    static constexpr double LONG_SEGMENT = 0.1;
    // ... and split where that point lies further than this share off it.
    static constexpr double OFF_CHORD = 0.004;
    // The variables taken against s: the shape variable, and T (a density
    // line's shape variable is h, but its T-s picture shows the bends in
    // T: R32's 0.2 kg/m3 line stayed 35 pixels off there).
    static constexpr int FIELD_T = 3;

    // A plane of s and one variable, each scaled by the line's span.
    struct Plane {
        int var = 0;
        double S = 0, Y = 0;
        std::pair<double, double> at(const IsoPoint& p) const {
            return {p.s / S, field(p, var) / Y};
        }
        double length(const IsoPoint& a, const IsoPoint& b) const {
            const auto [a0, b0] = at(a);
            const auto [a1, b1] = at(b);
            return std::hypot(a1 - a0, b1 - b0);
        }
        // Distance of m from the chord a-b.
        double off(const IsoPoint& a, const IsoPoint& b, const IsoPoint& m) const {
            const auto [a0, b0] = at(a);
            const auto [a1, b1] = at(b);
            const auto [am, bm] = at(m);
            return std::fabs((a1 - a0) * (b0 - bm) - (a0 - am) * (b1 - b0)) / length(a, b);
        }
    };

    std::vector<Plane> planes() const {
        std::vector<Plane> out;
        for (int var : {s_.shape_var, FIELD_T}) {
            if (!out.empty() && out.front().var == var) continue;
            double s_lo = HUGE_VAL, s_hi = -HUGE_VAL, y_lo = HUGE_VAL, y_hi = -HUGE_VAL;
            for (const IsoPoint& p : line_) {
                s_lo = std::min(s_lo, p.s), s_hi = std::max(s_hi, p.s);
                y_lo = std::min(y_lo, field(p, var)), y_hi = std::max(y_hi, field(p, var));
            }
            if (s_hi - s_lo > 0 && y_hi - y_lo > 0) out.push_back({var, s_hi - s_lo, y_hi - y_lo});
        }
        return out;
    }

    // The walk compares the mean slopes of neighbouring intervals; an
    // S-shaped stretch has the same mean slope on both sides and stayed one
    // straight segment (butane's 5 MPa isobar from 382 K to 575 K, 36
    // pixels off the line in its T-s diagram). Long segments are therefore
    // checked at their midpoint.
    void straighten_long_segments() {
        const std::vector<Plane> in = planes();
        std::size_t k = 1;
        while (k < line_.size() && line_.size() < MAX_LINE_POINTS) {
            const IsoPoint a = line_[k - 1], b = line_[k];
            const bool two_phase = at_liquid(k - 1) && vapour_ == static_cast<long>(k);
            const bool long_one = std::any_of(in.begin(), in.end(), [&](const Plane& p) {
                return p.length(a, b) > LONG_SEGMENT;
            });
            const double x0 = field(a, s_.step_var), x1 = field(b, s_.step_var);
            IsoPoint mid;
            if (two_phase || !long_one || !(std::fabs(x1 - x0) >= 2 * s_.step_limit) ||
                !midpoint_((x0 + x1) / 2, mid)) {
                ++k;
                continue;
            }
            const bool off = std::any_of(
                in.begin(), in.end(), [&](const Plane& p) { return p.off(a, b, mid) > OFF_CHORD; });
            if (off)
                insert(k, mid);  // and look at the first half again
            else
                ++k;
        }
    }

    bool at_liquid(std::size_t k) const {
        return liquid_ >= 0 && k == static_cast<std::size_t>(liquid_);
    }

    // Tries one new point in the window at i; true when one was added.
    bool refine_at(std::size_t i) {
        const IsoPoint& p0 = line_[i];
        const IsoPoint& p1 = line_[i + 1];
        const IsoPoint& p2 = line_[i + 2];
        const double x0 = field(p0, s_.step_var), x1 = field(p1, s_.step_var);
        const double x2 = field(p2, s_.step_var);
        if (!(std::fabs(x0 - x1) >= s_.step_limit)) return false;
        const double y0 = field(p0, s_.shape_var), y1 = field(p1, s_.shape_var);
        const double y2 = field(p2, s_.shape_var);
        const double a = (y0 - y1) / std::fabs(y0 - y2);
        const double b = (y1 - y2) / std::fabs(y0 - y2);
        const double c = (p0.s - p1.s) / std::fabs(p0.s - p2.s);
        const double d = (p1.s - p2.s) / std::fabs(p0.s - p2.s);
        if (!(std::fabs(a / c - b / d) > s_.slope_limit)) return false;
        const bool second = a == 0 || (std::fabs(c) + std::fabs(a) <= std::fabs(d) + std::fabs(b) &&
                                       std::fabs(b) >= 1e-8 && !at_liquid(i + 1));
        const double lo = second ? x1 : x0, hi = second ? x2 : x1;
        // An interval already narrower than the step limit is not split.
        if (!(std::fabs(hi - lo) >= s_.step_limit) || line_.size() >= MAX_LINE_POINTS) return false;
        IsoPoint point;
        if (!midpoint_((lo + hi) / 2, point)) return false;
        insert(second ? i + 2 : i + 1, point);
        return true;
    }

    void insert(std::size_t at, const IsoPoint& point) {
        line_.insert(line_.begin() + static_cast<long>(at), point);
        if (liquid_ >= static_cast<long>(at)) ++liquid_;
        if (vapour_ >= static_cast<long>(at)) ++vapour_;
    }
};

}  // namespace

int sort_by_rho(const IsoPoint& a, const IsoPoint& b) { return a.rho > b.rho ? -1 : 1; }

void refine_line(std::vector<IsoPoint>& line, const WalkSettings& settings,
                 const MidpointFn& midpoint) {
    Walk(line, settings, midpoint).run();
}

}  // namespace app::diagrams
