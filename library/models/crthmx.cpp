// CRTHMX: estimated critical point of a mixture, from the traced phase
// boundary when it belongs to the composition, else from the critical lines
// of the binary pairs or the reducing point (kept for recent compositions).
#include <algorithm>
#include <array>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/eos_table.h"
#include "library/models/hmx.h"
#include "library/models/hmxprep.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/phase/records.h"
#include "library/setup/records.h"

namespace lib {

namespace {

// Value of a critical line: c1 + c2 zi + .. + c6 zi^5 + c7 zj + .. + c11 zj^5.
double line_sum(const double* c, double zi, double zj) {
    double s = c[0], pi = 1.0, pj = 1.0;
    for (int k = 1; k <= 5; ++k) {
        pi *= zi;
        pj *= zj;
        s += c[k] * pi + c[5 + k] * pj;
    }
    return s;
}

bool spline_point(const double x[20]) {
    if (SATSPL.built == 0 || MAXTP.crit_flag != 0) return false;
    for (int i = 0; i < NCOMP.nc && i < kMaxComp; ++i)
        if (std::fabs(x[i] - SATSPL.z[static_cast<std::size_t>(i)]) > 1.0e-6) return false;
    return true;
}

// The estimate from the lines costs an evaluation of the pressure, and the
// flashes of one calculation ask for it at every step: the estimates of a
// few recent compositions are kept with their mixture model until the set-up
// or the mixing parameters change (forget_critical_estimates).
struct Estimate {
    std::array<double, kMaxComp> z{};
    int nc = 0;
    Code model;
    double tc = 0, pc = 0, dc = 0;
    int ierr = 0;
    std::string herr;
    unsigned long long used = 0;  // 0: empty
};
std::array<Estimate, 8> estimates;
unsigned long long estimate_tick = 0;

bool same_composition(const Estimate& e, const double x[20]) {
    if (e.used == 0 || e.nc != NCOMP.nc || !(e.model == EOSMOD.mix)) return false;
    for (int i = 0; i < kMaxComp; ++i)
        if (e.z[static_cast<std::size_t>(i)] != x[i]) return false;
    return true;
}

bool recall(const double x[20], double& tc, double& pc, double& dc, int& ierr, std::string& herr) {
    for (Estimate& e : estimates) {
        if (!same_composition(e, x)) continue;
        e.used = ++estimate_tick;
        tc = e.tc;
        pc = e.pc;
        dc = e.dc;
        ierr = e.ierr;
        herr = e.herr;
        return true;
    }
    return false;
}

void remember(const double x[20], double tc, double pc, double dc, int ierr,
              const std::string& herr) {
    Estimate& e =
        *std::min_element(estimates.begin(), estimates.end(),
                          [](const Estimate& a, const Estimate& b) { return a.used < b.used; });
    for (int i = 0; i < kMaxComp; ++i) e.z[static_cast<std::size_t>(i)] = x[i];
    e.nc = NCOMP.nc;
    e.model = EOSMOD.mix;
    e.tc = tc;
    e.pc = pc;
    e.dc = dc;
    e.ierr = ierr;
    e.herr = herr;
    e.used = ++estimate_tick;
}

// Whether the mixture's evaluator is PHIHMX (the reducing point's sum below
// is its own).
bool mixture_is_hmx() {
    const MixtureEos* m = mixture_eos();
    return m != nullptr && m->phi == PHIHMX;
}

// The values at the reducing point of every composition (tau and delta 1)
// of the delta derivatives of the components' equations and of the
// departure models, which the set-up fixes: the pressure of a reducing
// point needs no state of the equations for each new composition (the
// stability test estimates the critical point of every trial composition
// whose root the density solver finds).  Kept until the set-up or the
// mixing parameters change (forget_critical_estimates).
struct ReducingPointTerms {
    bool kept = false;
    unsigned long long generation = 0;  // of the mixture model's constants
    bool usable = false;                // no ammonia + water function, every model known
    std::array<double, kMaxComp + 1> component{};
    std::array<double, kHmxPairs> model{};
};
ReducingPointTerms reducing_terms;

// Whether the kept values answer for the mixture (formed at the first call).
bool keep_reducing_terms() {
    ReducingPointTerms& r = reducing_terms;
    const HmxPrepared& P = HMXPREP;
    if (r.kept && r.generation == P.generation) return r.usable;
    r = ReducingPointTerms{};
    r.kept = true;
    r.generation = P.generation;
    for (int n = 0; n < P.ndep; ++n) {
        const HmxDeparture& d = P.dep[static_cast<std::size_t>(n)];
        if (d.tr1 || d.model < 1 || d.model > kHmxModels) return false;
    }
    for (int i = 1; i <= P.nc; ++i)
        r.component[static_cast<std::size_t>(i)] = PHIK(i, 0, 1, 1.0, 1.0);
    for (int n = 0; n < P.ndep; ++n)
        r.model[static_cast<std::size_t>(n)] =
            hmx_model_sum(P.dep[static_cast<std::size_t>(n)], 0, 1, 1.0, 1.0);
    r.usable = true;
    return true;
}

// The pressure of x at its reducing point (tc, dc), as PRESS gives it: R T D
// (1 + alphar_delta) with PHIHMX's sum of the kept values.
void reducing_point_pressure(const double x[20], double tc, double dc, double& pc) {
    if (!(tc > 0.0) || !(dc > 0.0) || !std::isfinite(tc) || !std::isfinite(dc) ||
        !mixture_is_hmx() || !keep_reducing_terms()) {
        PRESS(tc, dc, x, pc);
        return;
    }
    const HmxPrepared& P = HMXPREP;
    const ReducingPointTerms& r = reducing_terms;
    double s = 0.0;
    for (int i = 1; i <= P.nc; ++i)
        if (x[i - 1] > kHmxPresent) s += x[i - 1] * r.component[static_cast<std::size_t>(i)];
    for (int n = 0; n < P.ndep; ++n) {
        const HmxDeparture& d = P.dep[static_cast<std::size_t>(n)];
        const double xi = x[d.i - 1], xj = x[d.j - 1];
        if (!(xi > kHmxPresent && xj > kHmxPresent)) continue;
        s += xi * xj * d.F * r.model[static_cast<std::size_t>(n)];
    }
    RMIX(x);
    const double p = GCNST.r * tc * dc * (1.0 + (std::isfinite(s) ? s : 0.0));
    pc = std::isfinite(p) ? p : 0.0;
}

// The estimate from the critical lines of the binary pairs (or from the
// reducing point).
void from_lines(const double x[20], double& tc, double& pc, double& dc, int& ierr,
                std::string& herr) {
    const int nc = std::min(NCOMP.nc, kMaxComp);
    double S = 0.0, tnum = 0.0, vnum = 0.0;
    bool reducing = false;
    for (int i = 1; i < nc && !reducing; ++i) {
        for (int j = i + 1; j <= nc; ++j) {
            const double xi = x[i - 1], xj = x[j - 1];
            if (!(xi > 0.0) || !(xj > 0.0)) continue;
            if (!CRTMOD.tc(i, j).is("TC1") || !CRTMOD.vc(i, j).is("VC1")) {
                reducing = true;
                break;
            }
            const auto& c = CFXCRT.c(i, j);
            if (std::fabs(c[0]) < 1.0e-12 && ierr == 0) {
                ierr = -131;
                herr = errtext("CRTHMX", -131,
                               "coefficients not available for critical line calculation, "
                               "mixture may not be type 1");
            }
            const double zi = (1.0 + xi - xj) / 2.0, zj = (1.0 - xi + xj) / 2.0, p = zi * zj;
            const double tij = CCON.tc[i] * zi + CCON.tc[j] * zj + p * line_sum(c.data(), zi, zj);
            const double vij =
                zi / CCON.dc[i] + zj / CCON.dc[j] + p * line_sum(c.data() + 11, zi, zj);
            S += xi * xj;
            tnum += xi * xj * tij;
            vnum += xi * xj * vij;
        }
    }
    if (reducing) {
        REDHMX(x, tc, dc);
    } else if (S > 1.0e-12 && vnum > 0.0) {
        tc = tnum / S;
        dc = S / vnum;
    } else {
        tc = 300.0;
        dc = 10.0;
        pc = 10.0;
        fail(1, "CRTHMX", "sum(x)=0", ierr, herr, kNoNumber);
    }
    if (reducing)
        reducing_point_pressure(x, tc, dc, pc);
    else
        PRESS(tc, dc, x, pc);
    if (pc < 0.0 || !std::isfinite(pc)) pc = CCON.pc[1];
}

}  // namespace

void forget_critical_estimates() {
    reducing_terms = ReducingPointTerms{};
    estimates = {};
    estimate_tick = 0;
}

void CRTHMX(const double x[20], double& tc, double& pc, double& dc, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    const int ic = ISPURE(x);
    if (ic != 0) {
        tc = CCON.tc[ic];
        pc = CCON.pc[ic];
        dc = CCON.dc[ic];
        return;
    }
    if (spline_point(x)) {
        tc = MAXTP.crit_t;
        pc = MAXTP.crit_p;
        dc = MAXTP.crit_d;
        return;
    }
    if (!recall(x, tc, pc, dc, ierr, herr)) {
        from_lines(x, tc, pc, dc, ierr, herr);
        if (ierr <= 0) remember(x, tc, pc, dc, ierr, herr);
    }
    if (SATSPL.built != 0 && MAXTP.crit_flag > 0 && ierr == 0) {
        ierr = -132;
        herr = errtext("CRTHMX", -132,
                       "Failed to find critical point from splines, values given here used TC1 "
                       "and VC1 coefficients");
    }
}

}  // namespace lib
