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
    // T: R32's 0.2 kg/m3 line stayed 35 pixels off there). On an isotherm,
    // where T does not change, h: a mixture's isotherm bends where a
    // component condenses, which the linear pressure of its shape variable
    // does not show at low pressure (hydrogen with water 1:1 at 300 K ran
    // straight from 42 kPa past its dew point at 7 kPa to 0.1 kPa, 32
    // pixels off in the h-s diagram).
    static constexpr int FIELD_S = 0, FIELD_H = 1, FIELD_P = 2, FIELD_T = 3;
    // A segment of a line stepped in pressure counts as wide also when its
    // ends lie this factor apart, a long way on the logarithmic pressure
    // axis; it is then split at the geometric mean where it strays in the
    // plane of s and log p too (the flue gas of 16 % water kept one segment
    // of its 250 K isotherm from 12.9 kPa, below the step limit, to 0.1 kPa,
    // across its dew point at 0.6 kPa: 13 pixels off in h-s, its geometric
    // midpoint on the chord in h). A mixture's segments wider than the step
    // limit are looked at so too when their midpoint lay on the chord.
    static constexpr double WIDE_PRESSURE_RATIO = 1.25;
    // Such a segment is looked at from this share of the line's span on
    // (diagrams of a mixture show a small part of its lines: Air's default
    // axes) and split where its midpoint lies off its chord by this share
    // of its own length, a bend: hydrogen with 10 % water at 250 K bends at
    // its dew point, 0.76 kPa, between points at 1.16 and 0.63 kPa (29
    // pixels off in its p-h diagram).
    static constexpr double SHORT_SEGMENT = 0.01;
    static constexpr double LOCAL_BEND = 0.02;

    // A plane of s and one variable (or its logarithm), each scaled by the
    // line's span.
    struct Plane {
        int var = 0;
        double S = 0, Y = 0;
        bool logarithmic = false;
        double value(const IsoPoint& p) const {
            return logarithmic ? std::log(field(p, var)) : field(p, var);
        }
        std::pair<double, double> at(const IsoPoint& p) const { return {p.s / S, value(p) / Y}; }
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
        for (int var : {s_.shape_var, FIELD_T, FIELD_H}) {
            if (!out.empty() && out.front().var == var) continue;
            // h on isotherms, and on a mixture's isobars: they bend in h-s
            // where T-s shows them straight (Natural Gas Groningen's 5 kPa
            // isobar kept one segment from 416 K to 545 K, 4.5 pixels off
            // in its h-s diagram).
            if (var == FIELD_H && s_.step_var != FIELD_P && !s_.mixture) continue;
            add_plane(Plane{var, 0, 0, false}, out);
        }
        return out;
    }

    // The planes and, for a line stepped in pressure, that of log p.
    std::vector<Plane> planes_with_log_p(std::vector<Plane> out) const {
        const bool all_above_zero =
            std::all_of(line_.begin(), line_.end(), [](const IsoPoint& p) { return p.p > 0; });
        if (s_.step_var == FIELD_P && all_above_zero) add_plane(Plane{FIELD_P, 0, 0, true}, out);
        return out;
    }

    // Adds the plane with the spans of the line, unless one of them is zero.
    void add_plane(Plane plane, std::vector<Plane>& out) const {
        double s_lo = HUGE_VAL, s_hi = -HUGE_VAL, y_lo = HUGE_VAL, y_hi = -HUGE_VAL;
        for (const IsoPoint& p : line_) {
            s_lo = std::min(s_lo, p.s), s_hi = std::max(s_hi, p.s);
            y_lo = std::min(y_lo, plane.value(p)), y_hi = std::max(y_hi, plane.value(p));
        }
        if (!(s_hi - s_lo > 0 && y_hi - y_lo > 0)) return;
        plane.S = s_hi - s_lo, plane.Y = y_hi - y_lo;
        out.push_back(plane);
    }

    // The walk compares the mean slopes of neighbouring intervals; an
    // S-shaped stretch has the same mean slope on both sides and stayed one
    // straight segment (butane's 5 MPa isobar from 382 K to 575 K, 36
    // pixels off the line in its T-s diagram). Long segments are therefore
    // checked at their midpoint.
    void straighten_long_segments() {
        const std::vector<Plane> linear = planes();
        const std::vector<Plane> with_log_p = planes_with_log_p(linear);
        std::size_t k = 1;
        while (k < line_.size() && line_.size() < MAX_LINE_POINTS) {
            const IsoPoint a = line_[k - 1], b = line_[k];
            const bool two_phase = at_liquid(k - 1) && vapour_ == static_cast<long>(k);
            const double x0 = field(a, s_.step_var), x1 = field(b, s_.step_var);
            const bool wide = std::fabs(x1 - x0) >= 2 * s_.step_limit;
            if (!two_phase && ((wide && split_wide(k, a, b, linear)) ||
                               (wide && split_bend_in_T(k, a, b, linear)) ||
                               ((!wide || s_.mixture) && split_by_ratio(k, a, b, with_log_p))))
                continue;  // and look at the first half again
            ++k;
        }
    }

    // A segment wider than twice the step limit, split at its midpoint
    // where that lies off its chord.
    bool split_wide(std::size_t k, const IsoPoint& a, const IsoPoint& b,
                    const std::vector<Plane>& in) {
        const double x0 = field(a, s_.step_var), x1 = field(b, s_.step_var);
        const bool long_one = std::any_of(
            in.begin(), in.end(), [&](const Plane& p) { return p.length(a, b) > LONG_SEGMENT; });
        IsoPoint mid;
        if (!long_one || !midpoint_((x0 + x1) / 2, mid)) return false;
        const bool off = std::any_of(in.begin(), in.end(),
                                     [&](const Plane& p) { return p.off(a, b, mid) > OFF_CHORD; });
        if (off) insert(k, mid);
        return off;
    }

    // A segment of a line stepped in pressure whose ends lie a pressure
    // ratio apart, split at the geometric mean where that bends the line.
    bool split_by_ratio(std::size_t k, const IsoPoint& a, const IsoPoint& b,
                        const std::vector<Plane>& in) {
        const double x0 = field(a, s_.step_var), x1 = field(b, s_.step_var);
        if (!wide_in_pressure(x0, x1)) return false;
        return split_at_bend(k, a, b, std::sqrt(x0 * x1), in);
    }

    // A wide segment of a mixture's line stepped in temperature, split at
    // its midpoint where the state there lies off the chord at its
    // temperature by T_BEND of the segment's own extent in s or h: what a
    // diagram of any scale shows of it. Where a wet gas's water condenses
    // its density lines bend all the way down to where the water would
    // freeze, nearly along their chords in the line's own proportions (the
    // flue gas of 7 % water: its 0.1 kg/m3 line 4.6 pixels off between
    // 248 K and 264 K in a T-s diagram of 200 K to 350 K).
    static constexpr double T_BEND = 0.05;
    bool split_bend_in_T(std::size_t k, const IsoPoint& a, const IsoPoint& b,
                         const std::vector<Plane>& in) {
        if (!s_.mixture || s_.step_var != FIELD_T) return false;
        const bool long_one = std::any_of(
            in.begin(), in.end(), [&](const Plane& p) { return p.length(a, b) > SHORT_SEGMENT; });
        IsoPoint mid;
        if (!long_one || !midpoint_((a.T + b.T) / 2, mid)) return false;
        const auto bent = [&](int var) {
            const double ya = field(a, var), yb = field(b, var);
            return std::fabs(field(mid, var) - (ya + yb) / 2) > T_BEND * std::fabs(yb - ya);
        };
        const bool off = bent(FIELD_S) || bent(FIELD_H);
        if (off) insert(k, mid);
        return off;
    }

    // Splits a segment that spans SHORT_SEGMENT of the line at the point
    // of step value x where that lies off its chord by OFF_CHORD of the
    // line or LOCAL_BEND of the segment.
    bool split_at_bend(std::size_t k, const IsoPoint& a, const IsoPoint& b, double x,
                       const std::vector<Plane>& in) {
        const bool long_one = std::any_of(
            in.begin(), in.end(), [&](const Plane& p) { return p.length(a, b) > SHORT_SEGMENT; });
        IsoPoint mid;
        if (!long_one || !midpoint_(x, mid)) return false;
        const bool off = std::any_of(in.begin(), in.end(), [&](const Plane& p) {
            const double d = p.off(a, b, mid);
            return d > OFF_CHORD || d > LOCAL_BEND * p.length(a, b);
        });
        if (off) insert(k, mid);
        return off;
    }

    bool wide_in_pressure(double x0, double x1) const {
        return s_.step_var == FIELD_P && x0 > 0 && x1 > 0 &&
               std::max(x0, x1) >= WIDE_PRESSURE_RATIO * std::min(x0, x1);
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
