// The isoline computation of a fluid: the pending isobars, isotherms,
// density and wetness lines and the two-phase dome, with progress reports
// between the lines.
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/core/solver/simulator.h"
#include "app/diagrams/isolines.h"
#include "library/library.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <utility>

namespace app::diagrams {

IsolineProgress* isoline_progress = nullptr;

namespace {

bool running = false;

constexpr int RETRIES = 10;
constexpr double MIN_SAT_DENSITY = 0.1;   // kg/m3: thinner saturation states are not taken
constexpr double MIXTURE_T_OFFSET = 0.1;  // K above Tc where mixture density lines start
constexpr int WET_POINTS = 100;
constexpr int WET_POINTS_HELIUM = 10;
constexpr double ISOTHERM_STEP_LIMIT = 10;  // kPa
constexpr double DENSITY_STEP_LIMIT = 1;    // K
constexpr double P_AXIS_START = 2.0;        // kPa
constexpr int SUPERCRITICAL_SAMPLES = 9;    // isotherms at or above Tc: samples 0..9
// Halvings of the pressure ratio towards a failed sample at a broken
// isotherm's ends: a ratio of 1000 narrows to 1.002.
constexpr int RUN_END_STEPS = 12;
// Pressure ratio of a segment of a mixture's isotherm from which on its
// midpoint is checked for a gap in the line.
constexpr double GAP_RATIO = 2;
// Width of a segment of a mixture's isobar or density line from which on
// its midpoint is checked for a gap in the line, K.
constexpr double GAP_T = 10;
constexpr int FIELD_H = 1, FIELD_P = 2, FIELD_T = 3;

bool finite_point(const IsoPoint& p) {
    return std::isfinite(p.s) && std::isfinite(p.h) && std::isfinite(p.p) && std::isfinite(p.T) &&
           std::isfinite(p.rho);
}

// Which positions of a family are pending, with their number.
int family_pending(const IsoFamily& fam) {
    const int n = iso_count(fam);
    int pending = 0;
    for (int i = 0; i < n; ++i)
        if (static_cast<std::size_t>(i) >= fam.computed.size() ||
            fam.computed[static_cast<std::size_t>(i)] == 0)
            ++pending;
    return pending;
}

// One computation: the fluid, its progress, the calls made and the ranges
// of the points found.
class IsolineRun {
public:
    IsolineRun(Fluid& fluid, IsolineProgress* progress, int pending)
        : f_(fluid), progress_(progress), pending_(pending) {}

    long calls = 0;

    void run() {
        if (progress_ != nullptr) progress_->begin();
        resume();
        molar_mass_ = lib::WMOL(c());
        double T = f_.Tmax, p = f_.pmax;
        IsoPoint top;
        hlim_ = by_T_p(T, p, top) ? top.h : f_.hc + 1e9;  // no bound when the call fails
        isobars();
        isotherms();
        density_lines();
        if (one_component()) wetness_lines();
        if (one_component() && f_.dome_count == 0) dome();
        if (progress_ != nullptr) progress_->end();
        set_axis_ranges();
    }

private:
    Fluid& f_;
    IsolineProgress* progress_;
    int pending_;
    int started_ = 0;
    double hlim_ = 0;
    double molar_mass_ = 1;  // g/mol: kg/m3 to mol/L
    double s_min_ = 1e99, s_max_ = -1e99, h_min_ = 1e99, h_max_ = -1e99;
    // Pressure above the critical one at which a mixture's isobar had
    // neither a bubble nor a dew point: above the cricondenbar, where the
    // searches fail slowly (Dry ISO Air at 5 and 10 MPa: 14 and 23 ms),
    // no higher isobar has them either.
    double no_saturation_from_ = HUGE_VAL;

    // The states of a mixture's current line flashed at given T and p, with
    // whether they counted: a state asked for again is taken from here. A
    // mixture's isotherm asks twice for the geometric mean of each segment across a
    // pressure ratio of GAP_RATIO or more (the walk, then the gap check):
    // 15 of the 1,751 (T, p) flashes of Dry ISO Air's isotherms, a dense
    // liquid's 0.1-0.2 ms each.
    struct Flashed {
        bool counts = false;
        IsoPoint point;
    };
    std::map<std::pair<double, double>, Flashed> flashed_;
    // The same for the states at given T and density.
    std::map<std::pair<double, double>, Flashed> flashed_by_rho_;
    // Whether the state at (T, p) or (T, rho) of the current line was asked
    // for and did not count.
    bool failed_before(const std::map<std::pair<double, double>, Flashed>& flashed, double T,
                       double v) const {
        const auto known = flashed.find({T, v});
        return known != flashed.end() && !known->second.counts;
    }
    // A new line: the states of the last one are not asked for again.
    void new_line() {
        flashed_.clear();
        flashed_by_rho_.clear();
    }

    bool one_component() const { return f_.az_components == 1; }
    const double* c() const { return f_.x.data(); }

    // The library holds the fluid again (a progress call may have let
    // other code set another one up).
    void resume() { init_stoffwerte(&f_); }

    void report(const std::string& text) {
        const double fraction = pending_ > 0 ? static_cast<double>(started_) / pending_ : 0;
        ++started_;
        if (progress_ == nullptr) return;
        progress_->step(fraction, text);
        resume();
    }

    bool take(int result, double T, double p, double s, double h, double rho, IsoPoint& out) {
        ++calls;
        out = IsoPoint{s, h, p, T, rho};
        return result == 0 && finite_point(out) && within_limits(out);
    }

    // A state the library's own range check takes (warnings allowed): not
    // in the solid region, not beyond twice the highest pressure. The
    // flashes at given T do not refuse all of these.
    bool within_limits(const IsoPoint& pt) {
        double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
        int ierr = 0;
        std::string herr;
        lib::LIMITX("EOS", pt.T, pt.rho / molar_mass_, pt.p, c(), tmin, tmax, dmax, pmax, ierr,
                    herr);
        return ierr <= 0;
    }
    // A mixture's state of the current line from `flashed`, else by
    // `flash` and kept there (a pure fluid's line asks for no state twice).
    template <class Flash>
    bool remembered(std::map<std::pair<double, double>, Flashed>& flashed, double T, double v,
                    IsoPoint& out, Flash flash) {
        if (one_component()) return flash(T, v, out);
        const auto known = flashed.find({T, v});
        if (known != flashed.end()) {
            out = known->second.point;
            return known->second.counts;
        }
        const bool counts = flash(T, v, out);
        flashed[{T, v}] = Flashed{counts, out};
        return counts;
    }
    bool by_T_p(double T, double p, IsoPoint& out) {
        return remembered(flashed_, T, p, out,
                          [this](double t, double v, IsoPoint& o) { return flash_T_p(t, v, o); });
    }
    bool flash_T_p(double T, double p, IsoPoint& out) {
        double s = 0, h = 0, rho = 0, q = 0;
        const int r = get_all_by_T_and_p(c(), T, p, s, h, rho, q);
        return take(r, T, p, s, h, rho, out);
    }
    bool by_T_rho(double T, double rho, IsoPoint& out) {
        return remembered(flashed_by_rho_, T, rho, out,
                          [this](double t, double v, IsoPoint& o) { return flash_T_rho(t, v, o); });
    }
    bool flash_T_rho(double T, double rho, IsoPoint& out) {
        // (A mixture's line ends at the highest pressure of the equations,
        // where its isobars end: beyond it the phases are searched for in
        // seconds, Natural Gas Groningen at 249 K and 40.2 mol/L, 1.8 GPa.)
        if (!one_component()) {
            double p_single = 0;
            lib::PRESS(T, rho / molar_mass_, c(), p_single);
            if (p_single > f_.pmax) return false;
        }
        double p = 0, s = 0, h = 0, q = 0;
        const int r = get_all_by_T_and_rho(c(), T, p, s, h, rho, q);
        return take(r, T, p, s, h, rho, out);
    }
    bool by_p_q(double p, double q, IsoPoint& out) {
        double T = 0, s = 0, h = 0, rho = 0;
        const int r = get_all_by_p_and_q(c(), T, p, s, h, rho, q);
        return take(r, T, p, s, h, rho, out);
    }
    bool by_T_q(double T, double q, IsoPoint& out) {
        double p = 0, s = 0, h = 0, rho = 0;
        const int r = get_all_by_T_and_q(c(), T, p, s, h, rho, q);
        return take(r, T, p, s, h, rho, out);
    }

    // A point by the first call, else by one of ten retries at
    // v + 1, v + 3, ... (doubling increments) or v + 1, v + 2, ... that
    // also has h < hlim. A retry stops short of `bound`, the neighbouring
    // point its shift runs towards: beyond it the line would double back
    // (ethane's 750 kg/m3 line went 217 K, 186 K, 220 K after the retries
    // of its first two temperatures; Humid ISO Air's isobars 259 K, 248 K).
    template <class Call>
    bool with_retries(double v, bool doubling, Call call, IsoPoint& out, double bound = HUGE_VAL) {
        if (call(v, out)) return true;
        double add = 0;
        for (int k = 0; k < RETRIES; ++k) {
            add = doubling ? 2 * add + 1 : add + 1;
            if (!(v + add < bound)) return false;
            if (call(v + add, out) && out.h < hlim_) return true;
        }
        return false;
    }

    // Where the retries of a point at pressure p of an isotherm must stop:
    // the line runs down in pressure, so the point before it (or none).
    static double below_last(const std::vector<IsoPoint>& line) {
        return line.empty() ? HUGE_VAL : line.back().p;
    }

    static void insert_by_rho(std::vector<IsoPoint>& line, const IsoPoint& p) {
        auto at = std::find_if(line.begin(), line.end(),
                               [&](const IsoPoint& q) { return sort_by_rho(p, q) < 0; });
        line.insert(at, p);
    }

    static int index_of_rho(const std::vector<IsoPoint>& line, const IsoPoint& p) {
        for (std::size_t i = 0; i < line.size(); ++i)
            if (line[i].rho == p.rho && line[i].h == p.h) return static_cast<int>(i);
        return -1;
    }

    void track(const std::vector<IsoPoint>& line) {
        for (const IsoPoint& p : line) {
            s_min_ = std::min(s_min_, p.s);
            s_max_ = std::max(s_max_, p.s);
            h_min_ = std::min(h_min_, p.h);
            h_max_ = std::max(h_max_, p.h);
        }
    }

    // Positions of a family still to compute, each taken up once: its flag
    // set, its result slots in place. A position that is not a finite
    // number above zero (a wetness position not inside 0..1) gets no line.
    template <class Line>
    void each_pending(int family, Line line) {
        IsoFamily& fam = f_.iso[static_cast<std::size_t>(family)];
        const auto n = static_cast<std::size_t>(iso_count(fam));
        if (fam.computed.size() < n) fam.computed.resize(n, 0);
        if (fam.lines.size() < n) fam.lines.resize(n);
        if (fam.wet.size() < n) fam.wet.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            if (fam.computed[i] != 0) continue;
            fam.computed[i] = 1;
            const double v = fam.positions[i];
            const bool usable = std::isfinite(v) && v > 0 && (family != ISO_WETNESS || v < 1);
            line(static_cast<int>(i), v, usable);
        }
    }

    std::string unit_text(const char* what, int index, const char* var, int quantity, double v) {
        const int u = unitdef[static_cast<std::size_t>(quantity)].default_unit;
        char buf[200];
        std::snprintf(buf, sizeof buf, "Calculating %s number %d, %s = %f %s", what, index, var,
                      to_display(quantity, u, v), unit_symbol(quantity, u));
        return buf;
    }

    void isobars();
    std::vector<IsoPoint> isobar(double p);
    void isotherms();
    bool isotherm(double T, std::vector<IsoPoint>& line);
    bool pure_isotherm_below_critical(double T, std::vector<IsoPoint>& line, WalkSettings& w);
    void mixture_isotherm_below_critical(double T, std::vector<IsoPoint>& line);
    void isotherm_samples(double T, std::vector<IsoPoint>& line);
    void vapour_down_to_pmin(double T, double from, std::vector<IsoPoint>& line);
    void keep_unbroken_run(double T, std::vector<IsoPoint>& line, const std::vector<int>& taken);
    void cut_at_gap(double T, std::vector<IsoPoint>& line);
    void extend_up_to(double T, std::vector<IsoPoint>& line, double failed);
    template <class Failed, class Call>
    bool keep_above_gap(std::vector<IsoPoint>& line, Failed failed_before, Call call);
    template <class Call>
    void extend_cold_end(std::vector<IsoPoint>& line,
                         const std::map<std::pair<double, double>, Flashed>& flashed, Call call);
    template <class Call>
    void extend_down_to(std::vector<IsoPoint>& line, double failed, Call call);
    // Pressure of sample k of a supercritical isotherm, from pmax (k = 0)
    // down to pmin (the last).
    double supercritical_sample(int k) const {
        return f_.pmax + (f_.pmin - f_.pmax) * std::sqrt(k) / 3;
    }
    void density_lines();
    void wetness_lines();
    void dome();
    void set_axis_ranges();
};

void IsolineRun::isobars() {
    IsoFamily& fam = f_.iso[ISO_ISOBAR];
    each_pending(ISO_ISOBAR, [&](int i, double p, bool usable) {
        fam.lines[static_cast<std::size_t>(i)].clear();
        report(unit_text("isobar", i, "p", Q_PRESSURE, p));
        new_line();
        if (!usable || p > f_.pmax) return;
        std::vector<IsoPoint> line = isobar(p);
        track(line);
        fam.lines[static_cast<std::size_t>(i)] = std::move(line);
    });
}

std::vector<IsoPoint> IsolineRun::isobar(double p) {
    const double T_low = f_.Tmin;
    const auto counts = [&](const IsoPoint& pt) { return pt.T > f_.Tmin && pt.h < hlim_; };
    IsoPoint V, L;
    bool have_V = false, have_L = false;
    if (one_component() && p < f_.pc) {
        have_V = by_p_q(p, 1, V) && counts(V);
        if (have_V) have_L = by_p_q(p, 0, L) && counts(L);
    } else if (!one_component() && p < no_saturation_from_) {
        // A mixture's bubble and dew points are points of the line where
        // they exist, each on its own (near the critical point one of them
        // may be missing).
        have_L = by_p_q(p, 0, L) && counts(L);
        have_V = by_p_q(p, 1, V) && counts(V);
        if (!have_L && !have_V && p > f_.pc) no_saturation_from_ = p;
    }
    std::vector<IsoPoint> line;
    // The top sample is Tmax itself: T_low + (Tmax - T_low) may round one
    // unit in the last place above it (Dry ISO Air: 1993.6877087513117 for
    // ...114 K), which the library refuses, and each isobar ended some 800 K
    // lower.
    const auto sample = [&](int k) {
        return std::min(f_.Tmax, T_low + (f_.Tmax - T_low) * (k / 4.0) * (k / 4.0));
    };
    for (int k = 0; k <= 4; ++k) {
        IsoPoint pt;
        if (with_retries(
                sample(k), true, [&](double t, IsoPoint& o) { return by_T_p(t, p, o); }, pt,
                k < 4 ? sample(k + 1) : HUGE_VAL))
            line.push_back(pt);
    }
    if (have_V) insert_by_rho(line, V);
    if (have_L) insert_by_rho(line, L);
    const auto at_T = [&](double T, IsoPoint& o) { return by_T_p(T, p, o); };
    if (!one_component()) extend_cold_end(line, flashed_, at_T);
    WalkSettings w;
    w.step_var = FIELD_T;
    w.shape_var = FIELD_T;
    w.step_limit = (f_.Tmax - f_.Tmin) / 10000;
    w.slope_limit = 0.1;
    w.mixture = !one_component();
    // A mixture's two-phase stretch is walked like the rest: its
    // temperature glides from the bubble to the dew point, and the line is
    // curved there in T-s and h-s. That of one component is a straight
    // jump at one temperature.
    if (one_component()) {
        w.liquid = have_L ? index_of_rho(line, L) : -1;
        w.vapour = have_V ? index_of_rho(line, V) : -1;
    }
    // The walk's points lie between two points of the line, inside the
    // fluid's limits (take checks them); h < hlim is not asked of them: a
    // gas at low pressure lies above the enthalpy at (Tmax, pmax), and
    // R245CA's 0.5 MPa isobar (64 pixels off in its T-s diagram) or R134A's
    // 400 K isotherm stayed straight chords across their diagrams.
    refine_line(line, w, at_T);
    const auto failed_at_T = [&](double T) { return failed_before(flashed_, T, p); };
    if (!one_component() && keep_above_gap(line, failed_at_T, at_T)) refine_line(line, w, at_T);
    return line;
}

// A mixture's line stepped in temperature with a segment across GAP_T or
// more whose midpoint the walk asked for and did not get (a segment across
// a gap is long, and bends the line: the walk asks for its midpoint) is
// broken there: the part above the gap is kept (the gas, which the
// diagrams show), extended towards it by halving the step. Humid ISO Air's
// 10 kPa isobar had a liquid at 63 K, then its gas from 251 K (the library
// has no states between, where the water would freeze): one straight
// segment across its T-s diagram. True when the line was broken: the walk
// has not seen the states added below the part kept (Humid ISO Air's
// 50 kPa isobar ran straight from 246 K to its dew point at 271 K).
template <class Failed, class Call>
bool IsolineRun::keep_above_gap(std::vector<IsoPoint>& line, Failed failed_before, Call call) {
    for (std::size_t k = line.size(); k-- > 1;) {  // segments from high temperatures down
        const double lower = line[k - 1].T, higher = line[k].T;
        if (!(higher - lower >= GAP_T) || !failed_before((lower + higher) / 2)) continue;
        line.erase(line.begin(), line.begin() + static_cast<long>(k));
        extend_down_to(line, (lower + higher) / 2, call);
        return true;
    }
    return false;
}

// A mixture's line stepped in temperature whose coldest sample failed
// starts at the first retry that did not, up to some 130 K above the
// coldest state the library has on it: it is extended from there towards
// the warmest temperature below it that failed. The flue gas of 7 % water
// has states with its water condensed down to 246 K, where the library
// refuses the water as frozen; its 1 bar isobar stopped at 300 K, its
// density lines at 280 K, and those of Humid ISO Air at 259 K.
template <class Call>
void IsolineRun::extend_cold_end(std::vector<IsoPoint>& line,
                                 const std::map<std::pair<double, double>, Flashed>& flashed,
                                 Call call) {
    if (line.empty()) return;
    double failed = -HUGE_VAL;
    for (const auto& [key, state] : flashed)
        if (!state.counts && key.first < line.front().T) failed = std::max(failed, key.first);
    if (failed > -HUGE_VAL) extend_down_to(line, failed, call);
}

// Adds states below the line's first point towards a temperature where the
// library has none, halving the step RUN_END_STEPS times.
template <class Call>
void IsolineRun::extend_down_to(std::vector<IsoPoint>& line, double failed, Call call) {
    IsoPoint pt;
    for (int j = 0; j < RUN_END_STEPS; ++j) {
        const double T = (line.front().T + failed) / 2;
        if (call(T, pt))
            line.insert(line.begin(), pt);
        else
            failed = T;
    }
}

void IsolineRun::isotherms() {
    IsoFamily& fam = f_.iso[ISO_ISOTHERM];
    each_pending(ISO_ISOTHERM, [&](int i, double T, bool usable) {
        report(unit_text("isotherm", i, "T", Q_TEMPERATURE, T));
        new_line();
        if (!usable || T > f_.Tmax) return;
        std::vector<IsoPoint> line;
        if (!isotherm(T, line)) return;
        track(line);
        fam.lines[static_cast<std::size_t>(i)] = std::move(line);
    });
}

// False when the line is skipped (its result not touched).
bool IsolineRun::isotherm(double T, std::vector<IsoPoint>& line) {
    WalkSettings w;
    if (T < f_.Tc && one_component()) {
        if (!pure_isotherm_below_critical(T, line, w)) return false;
    } else if (T < f_.Tc) {
        mixture_isotherm_below_critical(T, line);
    } else {
        isotherm_samples(T, line);
    }
    w.step_var = FIELD_P;
    w.shape_var = FIELD_P;
    w.mixture = !one_component();
    w.step_limit = ISOTHERM_STEP_LIMIT;
    w.slope_limit = 0.1;
    refine_line(line, w, [&](double p, IsoPoint& o) { return by_T_p(T, p, o); });  // no hlim
    if (!one_component()) cut_at_gap(T, line);
    return true;
}

// One component below its critical temperature: the compressed liquid, the
// saturated liquid L and vapour V (the walk jumps from L to V), the vapour
// down to pmin. False when the line is skipped: neither saturation state.
bool IsolineRun::pure_isotherm_below_critical(double T, std::vector<IsoPoint>& line,
                                              WalkSettings& w) {
    IsoPoint V, L;
    const auto saturated = [&](double q, IsoPoint& pt) {
        return by_T_q(T, q, pt) && pt.rho > MIN_SAT_DENSITY;
    };
    const bool have_V = saturated(1, V);
    const bool have_L = saturated(0, L);
    if (!have_V && !have_L) return false;
    if (!have_L) return true;  // an empty line
    for (int k = 0; k <= 3; ++k) {
        IsoPoint pt;
        const double p = f_.pmax + (L.p - f_.pmax) * k / 4.0;
        if (by_T_p(T, p, pt) && pt.h < hlim_) line.push_back(pt);
    }
    w.liquid = static_cast<int>(line.size());
    line.push_back(L);
    if (!have_V) return true;
    w.vapour = static_cast<int>(line.size());
    line.push_back(V);
    vapour_down_to_pmin(T, V.p, line);
    return true;
}

// A mixture below its critical temperature: the compressed liquid down to
// the bubble point, states of both phases down to the dew point (their
// composition changes along the line, which the walk refines like the rest),
// the vapour down to pmin. Without a bubble point the samples above the dew
// point are taken as they come (liquid or two-phase); without either the
// line is sampled as above the critical temperature. A saturation point
// outside pmin..pmax is none of the line (propane/isobutane 50/50 boils at
// 12 mPa at 100 K: the vapour samples from there would run up in pressure).
// (That blend at 300 K: bubble point 662.9 kPa, dew point 545.4 kPa.)
void IsolineRun::mixture_isotherm_below_critical(double T, std::vector<IsoPoint>& line) {
    std::vector<IsoPoint> saturated;  // from the highest pressure down
    for (const double q : {0.0, 1.0}) {
        IsoPoint pt;
        if (by_T_q(T, q, pt) && pt.rho > MIN_SAT_DENSITY && pt.p < f_.pmax && pt.p > f_.pmin &&
            (saturated.empty() || pt.p < saturated.back().p))
            saturated.push_back(pt);
    }
    if (saturated.empty()) {
        isotherm_samples(T, line);
        return;
    }
    double from = f_.pmax;
    for (const IsoPoint& sat : saturated) {
        // Four samples above the first saturation point (the compressed
        // liquid, below hlim as one component's), three between the two.
        const bool first = line.empty() && from == f_.pmax;
        for (int k = first ? 0 : 1; k <= 3; ++k) {
            IsoPoint pt;
            const double p = from + (sat.p - from) * k / 4.0;
            if (by_T_p(T, p, pt) && (!first || pt.h < hlim_)) line.push_back(pt);
        }
        line.push_back(sat);
        from = sat.p;
    }
    vapour_down_to_pmin(T, from, line);
}

// Vapour points of an isotherm below the pressure `from` of its last
// saturation point, down to pmin.
void IsolineRun::vapour_down_to_pmin(double T, double from, std::vector<IsoPoint>& line) {
    for (int k = 1; k <= 4; ++k) {
        const double p = from + (f_.pmin - from) * k / 4.0;
        IsoPoint pt;
        if (with_retries(
                p, true, [&](double pp, IsoPoint& o) { return by_T_p(T, pp, o); }, pt,
                below_last(line)))
            line.push_back(pt);
    }
}

// An isotherm sampled from pmax down to pmin (at or above the critical
// temperature), the run of neighbouring samples at the lowest pressures
// kept.
void IsolineRun::isotherm_samples(double T, std::vector<IsoPoint>& line) {
    std::vector<int> taken;  // the sample of each point
    for (int k = 0; k <= SUPERCRITICAL_SAMPLES; ++k) {
        IsoPoint pt;
        if (with_retries(
                supercritical_sample(k), false,
                [&](double pp, IsoPoint& o) { return by_T_p(T, pp, o); }, pt, below_last(line))) {
            line.push_back(pt);
            taken.push_back(k);
        }
    }
    keep_unbroken_run(T, line, taken);
}

// A mixture's isotherm with a segment across a pressure ratio of GAP_RATIO
// or more and no state at its geometric mean is broken there (the walk's
// midpoints failed too): the part below the gap is kept, extended towards
// it by halving the ratio. Natural gas with heavy ends at 125 K had its
// compressed liquid at 488 MPa and above, then its bubble point at 0.31 MPa
// (the library refuses the liquid between, where pentane and hexane would
// freeze out): one straight segment across its p-h diagram.
void IsolineRun::cut_at_gap(double T, std::vector<IsoPoint>& line) {
    for (std::size_t k = line.size(); k-- > 1;) {  // segments from low pressures up
        const double higher = line[k - 1].p, lower = line[k].p;
        IsoPoint pt;
        if (!(higher >= GAP_RATIO * lower) || by_T_p(T, std::sqrt(higher * lower), pt)) continue;
        line.erase(line.begin(), line.begin() + static_cast<long>(k));
        extend_up_to(T, line, std::sqrt(higher * lower));
        return;
    }
}

// Adds states above the line's first point towards a pressure where the
// library has none, halving their pressure ratio RUN_END_STEPS times.
void IsolineRun::extend_up_to(double T, std::vector<IsoPoint>& line, double failed) {
    for (int k = 0; k < RUN_END_STEPS; ++k) {
        const double p = std::sqrt(line.front().p * failed);
        IsoPoint pt;
        if (by_T_p(T, p, pt))
            line.insert(line.begin(), pt);
        else
            failed = p;
    }
}

// Where samples between two points of a supercritical isotherm fail, the
// line is broken: a straight segment across the gap is no state of the
// fluid. The run of neighbouring samples at the lowest pressures is kept
// (the gas, which the diagrams show), extended towards the failed sample
// above it by halving the pressure ratio. The library refuses a flue gas of
// 12 % CO2 at 175 K from 150 MPa down to 0.2 kPa (CO2 would freeze out), a
// syngas of 10 % CO2 from 1 GPa to 1 MPa, and their isotherms ran straight
// from 158 MPa and 1 GPa to 0.1 kPa across the h-s diagram.
void IsolineRun::keep_unbroken_run(double T, std::vector<IsoPoint>& line,
                                   const std::vector<int>& taken) {
    if (line.empty()) return;
    std::size_t start = line.size() - 1;  // of the last run
    while (start > 0 && taken[start] == taken[start - 1] + 1) --start;
    if (start == 0) return;  // one run: the line as sampled
    line.erase(line.begin(), line.begin() + static_cast<long>(start));
    extend_up_to(T, line, supercritical_sample(taken[start] - 1));
}

void IsolineRun::density_lines() {
    IsoFamily& fam = f_.iso[ISO_ISOCHOR];
    // A mixture's lines start just above its critical temperature: below
    // it they cross the states of both phases, each searched for by (T, rho)
    // in 0.5 to 20 ms (Dry ISO Air's lines from Tmin took 0.6 s of its
    // 0.67 s of isolines), while its isobars and isotherms already show
    // those states.
    const double density_T_low = one_component() ? f_.Tmin : f_.Tc + MIXTURE_T_OFFSET;
    each_pending(ISO_ISOCHOR, [&](int i, double rho, bool usable) {
        report(unit_text("density line", i, "density", Q_DENSITY, rho));
        new_line();
        if (!usable || rho > f_.Dmax) return;
        const double T_low = density_T_low;
        std::vector<IsoPoint> line;
        const auto sample = [&](int k) {
            return std::min(f_.Tmax, T_low + (f_.Tmax - T_low) * k / 9.0);  // as the isobars'
        };
        for (int k = 0; k <= 9; ++k) {
            IsoPoint pt;
            if (with_retries(
                    sample(k), true, [&](double t, IsoPoint& o) { return by_T_rho(t, rho, o); }, pt,
                    k < 9 ? sample(k + 1) : HUGE_VAL))
                line.push_back(pt);
        }
        const auto at_T = [&](double T, IsoPoint& o) { return by_T_rho(T, rho, o); };
        if (!one_component()) extend_cold_end(line, flashed_by_rho_, at_T);
        WalkSettings w;
        w.step_var = FIELD_T;
        w.shape_var = FIELD_H;
        w.step_limit = DENSITY_STEP_LIMIT;
        w.slope_limit = 0.05;
        w.mixture = !one_component();
        refine_line(line, w, at_T);  // no hlim
        const auto failed_at_T = [&](double T) { return failed_before(flashed_by_rho_, T, rho); };
        if (!one_component() && keep_above_gap(line, failed_at_T, at_T)) refine_line(line, w, at_T);
        track(line);
        fam.lines[static_cast<std::size_t>(i)] = std::move(line);
    });
}

void IsolineRun::wetness_lines() {
    IsoFamily& fam = f_.iso[ISO_WETNESS];
    const bool helium = &f_ == fluids[FLUID_HELIUM];
    const int n = helium ? WET_POINTS_HELIUM : WET_POINTS;
    each_pending(ISO_WETNESS, [&](int i, double w, bool usable) {
        report("");
        std::vector<SatPoint> pts(static_cast<std::size_t>(n + 1));
        if (usable) {
            for (int j = 0; j <= n; ++j) {
                const double T = helium ? f_.Tc - (f_.Tc - f_.Tmin) * j / (n + 1.0)
                                        : f_.Tc - (f_.Tc - f_.Tmin) * j * j / double(n * n);
                IsoPoint pt;
                SatPoint& sp = pts[static_cast<std::size_t>(j)];
                if (by_T_q(T, 1 - w, pt)) sp = SatPoint{pt.s, pt.h, pt.p, pt.T, pt.rho, 1.0};
            }
        }
        fam.wet[static_cast<std::size_t>(i)] = std::move(pts);
    });
}

void IsolineRun::dome() {
    for (int j = 0; j < DOME_POINTS; ++j) {
        const double r = (DOME_POINTS - j) / double(DOME_POINTS);
        const double T = f_.Tc - (f_.Tc - f_.Tmin) * r * r;
        IsoPoint pt;
        SatPoint& liquid = f_.dome_liquid[static_cast<std::size_t>(j)];
        SatPoint& vapour = f_.dome_vapour[static_cast<std::size_t>(j)];
        liquid.valid = 0.0;
        vapour.valid = 0.0;
        if (by_T_q(T, 0, pt) && pt.p < f_.pc)
            liquid = SatPoint{pt.s, pt.h, pt.p, pt.T, pt.rho, 1.0};
        if (by_T_q(T, 1, pt) && pt.p < f_.pc)
            vapour = SatPoint{pt.s, pt.h, pt.p, pt.T, pt.rho, 1.0};
    }
    f_.dome_count = DOME_POINTS;  // only now: the dome is complete
}

void IsolineRun::set_axis_ranges() {
    if (s_min_ <= s_max_) {
        f_.axis[AX_S].min_value = s_min_;
        f_.axis[AX_S].max_value = s_max_;
        f_.axis[AX_H].min_value = h_min_;
        f_.axis[AX_H].max_value = h_max_;
    }
    f_.axis[AX_P].min_value = P_AXIS_START;
    f_.axis[AX_P].max_value = f_.pmax;
    f_.axis[AX_T].min_value = f_.Tmin;
    f_.axis[AX_T].max_value = f_.Tmax;
}

// Counts the computation in library_busy and marks it running, for its
// whole length.
class BusyScope {
public:
    BusyScope() {
        ++library_busy;
        running = true;
    }
    ~BusyScope() {
        running = false;
        --library_busy;
    }
};

}  // namespace

int pending_isolines(const Fluid& fluid) {
    int n = family_pending(fluid.iso[ISO_ISOBAR]) + family_pending(fluid.iso[ISO_ISOTHERM]) +
            family_pending(fluid.iso[ISO_ISOCHOR]);
    if (fluid.az_components == 1) n += family_pending(fluid.iso[ISO_WETNESS]);
    return n;
}

bool isolines_running() { return running; }

long calc_isolines(Fluid& fluid, IsolineProgress* progress) {
    const int pending = pending_isolines(fluid);
    if (pending == 0 || running || library_busy.load() > 0) return 0;
    BusyScope busy;
    if (init_stoffwerte(&fluid) == 0) return 0;
    LineComposition composition(fluid);
    IsolineRun run(fluid, progress, pending);
    run.run();
    return run.calls;
}

}  // namespace app::diagrams
