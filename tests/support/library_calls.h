// Calls of the property library's flashes, saturation and property routines
// with any inputs, and the checks every result must pass: outputs that are
// numbers unless an error is reported, an error with its message, and for a
// state reported as found a stable one that has the given properties. Shared
// by the library fuzz target and the sweep test.
#pragma once

#include "library/library.h"
#include "library/phase/dbflsh.h"
#include "library/phase/pbflsh.h"
#include "library/phase/tbflsh.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

namespace libcheck {

// Pure fluids of different kinds: water and ammonia (polar), light and
// quantum gases, refrigerants, hydrocarbons, a heavy fluid.
inline constexpr const char* kFluids[] = {"water",   "nitrogen", "co2",      "r134a",
                                          "propane", "helium",   "hydrogen", "methane",
                                          "ammonia", "argon",    "r245fa",   "toluene"};
inline constexpr int kFluidCount = sizeof kFluids / sizeof kFluids[0];

// What is known of the fluid set up, to scale physical inputs.
struct FluidScale {
    double Tc = 0, Pc = 0, Dc = 0, R = 8.314462618;
};

// Sets fluid i up (again only when another one was set up last).
inline bool use_fluid(int i, FluidScale& scale) {
    static int current = -1;
    static FluidScale known;
    if (i == current) {
        scale = known;
        return true;
    }
    current = -1;
    int ierr = 0;
    std::string herr, hrf = "DEF";
    lib::SETUP0(1, kFluids[i], "hmx", hrf, ierr, herr);
    if (ierr > 0) return false;
    const double z[20] = {1.0};
    lib::CRITP(z, known.Tc, known.Pc, known.Dc, ierr, herr);
    if (ierr > 0) return false;
    lib::RMIX2(z, known.R);
    current = i;
    scale = known;
    return true;
}

// The routines called; each takes two inputs a, b and a small integer k.
enum Routine {
    R_TP,
    R_TD,
    R_PD,
    R_PH,
    R_PS,
    R_PE,
    R_TH,
    R_TS,
    R_TE,
    R_DH,
    R_DS,
    R_DE,
    R_TQ,
    R_PQ,
    R_SATT,
    R_SATP,
    R_SATD,
    R_TPRHO,
    R_THERM,
    R_MELT,
    R_COUNT
};
inline constexpr const char* kRoutineNames[R_COUNT] = {
    "TPFLSH", "TDFLSH", "PDFLSH", "PHFLSH", "PSFLSH", "PEFLSH",   "THFLSH",
    "TSFLSH", "TEFLSH", "DHFLSH", "DSFLSH", "DEFLSH", "TQFLSH",   "PQFLSH",
    "SATT",   "SATP",   "SATD",   "TPRHO",  "THERM",  "MELT/SUBL"};

// The kind of each input of a routine, to scale physical values.
enum Kind { K_T, K_P, K_D, K_E, K_S, K_Q, K_NONE };
inline constexpr Kind kInputs[R_COUNT][2] = {
    {K_T, K_P},    {K_T, K_D},    {K_P, K_D},    {K_P, K_E}, {K_P, K_S}, {K_P, K_E}, {K_T, K_E},
    {K_T, K_S},    {K_T, K_E},    {K_D, K_E},    {K_D, K_S}, {K_D, K_E}, {K_T, K_Q}, {K_P, K_Q},
    {K_T, K_NONE}, {K_P, K_NONE}, {K_D, K_NONE}, {K_T, K_P}, {K_T, K_D}, {K_T, K_P}};

// A physical value of a kind from a number u in [0, 1): temperatures,
// pressures and densities spread over decades around the critical values,
// energies and entropies over the range of the equations.
inline double physical(Kind kind, double u, const FluidScale& f) {
    switch (kind) {
        case K_T: return f.Tc * std::pow(10.0, 2.5 * u - 1.5);
        case K_P: return f.Pc * std::pow(10.0, 10.0 * u - 8.0);
        case K_D: return f.Dc * std::pow(10.0, 7.0 * u - 6.0);
        case K_E: return f.R * f.Tc * (40.0 * u - 15.0);
        case K_S: return f.R * (60.0 * u - 30.0);
        case K_Q: return 1.4 * u - 0.2;
        default: return 0.0;
    }
}

// Values a guard must meet: zero, negative, tiny, huge, non-finite.
inline constexpr double kBig = std::numeric_limits<double>::max(),
                        kInf = std::numeric_limits<double>::infinity(),
                        kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kExtremes[] = {0.0,  -0.0,   -1.0,  1e-300, 4.9e-324, 1e-12, 1e12,
                                       1e30, -1e300, 1e300, kBig,   kInf,     -kInf, kNaN};
inline constexpr int kExtremeCount = sizeof kExtremes / sizeof kExtremes[0];

// A state returned by a routine.
struct State {
    double T = 0, P = 0, D = 0, Dl = 0, Dv = 0, q = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0;
    double x[20] = {}, y[20] = {};
    int ierr = 0;
    std::string herr;
};

inline bool finite(double v) { return std::isfinite(v); }

// The failure of a call, or "" when it passes. With `consistent` a state
// reported as found must also have the given properties.
inline std::string check(Routine r, double a, double b, int k, const FluidScale& f,
                         bool consistent) {
    const double z[20] = {1.0};
    State st;
    double& T = st.T;
    double& P = st.P;
    double& D = st.D;
    int& ierr = st.ierr;
    std::string& herr = st.herr;
    const int kr = k % 2 + 1;
    switch (r) {
        case R_TP:
            T = a, P = b;
            lib::TPFLSH(a, b, z, D, st.Dl, st.Dv, st.x, st.y, st.q, st.e, st.h, st.s, st.cv, st.cp,
                        st.w, ierr, herr);
            break;
        case R_TD:
            T = a, D = b;
            lib::TDFLSH(a, b, z, P, st.Dl, st.Dv, st.x, st.y, st.q, st.e, st.h, st.s, st.cv, st.cp,
                        st.w, ierr, herr);
            break;
        case R_PD:
            P = a, D = b;
            lib::PDFLSH(a, b, z, T, st.Dl, st.Dv, st.x, st.y, st.q, st.e, st.h, st.s, st.cv, st.cp,
                        st.w, ierr, herr);
            break;
        case R_PH:
        case R_PS:
        case R_PE: {
            // The pressure flashes of library.h hand their pair to PBFLSH.
            const char* pair = r == R_PH ? "PH" : r == R_PS ? "PS" : "PE";
            P = a;
            lib::PBFLSH(a, b, z, pair, T, D, st.Dl, st.Dv, st.x, st.y, st.q, st.e, st.h, st.s,
                        st.cv, st.cp, st.w, ierr, herr);
            (r == R_PH ? st.h : r == R_PS ? st.s : st.e) = b;
            break;
        }
        case R_TH:
        case R_TS:
        case R_TE: {
            const char* pair = r == R_TH ? "TH" : r == R_TS ? "TS" : "TE";
            T = a;
            lib::TBFLSH(a, b, z, kr, pair, P, D, st.Dl, st.Dv, st.x, st.y, st.q, st.e, st.h, st.s,
                        st.cv, st.cp, st.w, ierr, herr);
            (r == R_TH ? st.h : r == R_TS ? st.s : st.e) = b;
            break;
        }
        case R_DH:
        case R_DS:
        case R_DE: {
            const char* pair = r == R_DH ? "DH" : r == R_DS ? "DS" : "DE";
            D = a;
            lib::DBFLSH(a, b, z, pair, T, P, st.Dl, st.Dv, st.x, st.y, st.q, st.e, st.h, st.s,
                        st.cv, st.cp, st.w, ierr, herr);
            (r == R_DH ? st.h : r == R_DS ? st.s : st.e) = b;
            break;
        }
        case R_TQ:
            T = a, st.q = b;
            lib::TQFLSH(a, b, z, lib::kMolarQuality, P, D, st.Dl, st.Dv, st.x, st.y, st.e, st.h,
                        st.s, st.cv, st.cp, st.w, ierr, herr);
            break;
        case R_PQ:
            P = a, st.q = b;
            lib::PQFLSH(a, b, z, lib::kMolarQuality, T, D, st.Dl, st.Dv, st.x, st.y, st.e, st.h,
                        st.s, st.cv, st.cp, st.w, ierr, herr);
            break;
        case R_SATT:
        case R_SATP:
        case R_SATD: {
            const int kph = k % 4 + 1;
            if (r == R_SATT) {
                T = a;
                lib::SATT(a, z, kph, P, st.Dl, st.Dv, st.x, st.y, ierr, herr);
            } else if (r == R_SATP) {
                P = a;
                lib::SATP(a, z, kph, T, st.Dl, st.Dv, st.x, st.y, ierr, herr);
            } else {
                D = a;
                int kr_out = 0;
                lib::SATD(a, z, k % 3, kr_out, T, P, st.Dl, st.Dv, st.x, st.y, ierr, herr);
            }
            for (double v : {T, P, st.Dl, st.Dv})
                if (ierr <= 0 && !finite(v))
                    return "a result is not a number with ierr " + std::to_string(ierr);
            if (ierr > 0) return herr.empty() ? "an error without its message" : "";
            if (!(std::fabs(T) > 0) || !(P > 0) || !(st.Dl >= 0) || !(st.Dv >= 0) ||
                !(st.Dl > 0 || st.Dv > 0))
                return "a saturation state with T, P or a density not positive";
            return "";
        }
        case R_TPRHO: {
            lib::TPRHO(a, b, z, k % 2 + 1, 0, D, ierr, herr);
            if (ierr > 0) return herr.empty() ? "an error without its message" : "";
            if (b == 0.0 && D == 0.0) return "";  // the ideal-gas limit
            if (!finite(D) || !(D > 0)) return "a density not positive with ierr 0";
            double dpdd = 0, p = 0;
            lib::DPDD(a, D, z, dpdd);
            lib::PRESS(a, D, z, p);
            if (!(dpdd > 0)) return "an unstable density root (dP/dD <= 0) with ierr 0";
            if (consistent && !(std::fabs(p - b) <= 1e-6 * std::fabs(b) + 1e-9 * D * dpdd))
                return "the density's pressure is not the given one";
            return "";
        }
        case R_THERM: {
            double hjt = 0;
            lib::THERM(a, b, z, P, st.e, st.h, st.s, st.cv, st.cp, st.w, hjt);
            for (double v : {P, st.e, st.h, st.s, st.cv, st.cp, st.w, hjt})
                if (!finite(v)) return "THERM gives a value that is not a number";
            return "";
        }
        case R_MELT: {
            double out = 0;
            switch (k % 4) {
                case 0: lib::MELTT(a, z, out, ierr, herr); break;
                case 1: lib::MELTP(b, z, out, ierr, herr); break;
                case 2: lib::SUBLT(a, z, out, ierr, herr); break;
                default: lib::SUBLP(b, z, out, ierr, herr); break;
            }
            if (ierr > 0) return herr.empty() ? "an error without its message" : "";
            if (!finite(out)) return "a solid-line value that is not a number with ierr 0";
            if (out > 1e15) return "a solid-line value beyond any range with ierr 0";
            return "";
        }
        default: return "";
    }

    // Flashes.
    if (ierr > 0) return herr.empty() ? "an error without its message" : "";
    for (double v : {st.T, st.P, st.D, st.Dl, st.Dv, st.q, st.e, st.h, st.s, st.cv, st.cp, st.w})
        if (!finite(v)) return "a result is not a number with ierr " + std::to_string(ierr);
    if (!(st.T > 0) || !(st.P > 0) || !(st.D > 0)) return "a state with T, P or D not positive";
    // Two-phase states, and every state of a quality flash (saturated at q
    // 0 or 1): both phases stable and at the state's pressure.
    const bool two_phase = r == R_TQ || r == R_PQ || (st.q >= 0.0 && st.q <= 1.0 && st.cv < -9e6);
    double pl = 0, dl = 0;
    // The stated critical point stands in for saturation states between the
    // equation's own critical pressure and the stated one, and within the
    // saturation routines' band of 1e-8 K below the critical temperature:
    // it is taken as it is.
    constexpr double kCriticalBand = 1e-8;  // K
    if (std::fabs(st.T - f.Tc) <= kCriticalBand && st.Dl == f.Dc && st.Dv == f.Dc) return "";
    if (two_phase) {
        for (double Dp : {st.Dl, st.Dv}) {
            lib::DPDD(st.T, Dp, z, dl);
            if (!(dl > 0)) return "a two-phase state with an unstable phase density";
            lib::PRESS(st.T, Dp, z, pl);
            if (consistent && !(std::fabs(pl - st.P) <= 1e-6 * st.P + 1e-9 * Dp * dl)) {
                char buf[200];
                std::snprintf(buf, sizeof buf,
                              "a phase of the two-phase state is not at its pressure: T %.9g "
                              "D %.9g P %.9g (state %.9g), dP/dD %.3g",
                              st.T, Dp, pl, st.P, dl);
                return buf;
            }
        }
        return "";
    }
    lib::DPDD(st.T, st.D, z, dl);
    if (!(dl > 0) || !(st.cv > 0)) return "an unstable root (dP/dD or cv not positive) with ierr 0";
    if (!consistent) return "";
    double hjt = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0;
    lib::THERM(st.T, st.D, z, pl, e, h, s, cv, cp, w, hjt);
    auto off = [](double got, double want, double scale) {
        return !(std::fabs(got - want) <= 1e-6 * (std::fabs(want) + scale));
    };
    const double RT = f.R * st.T;
    if (!(std::fabs(pl - st.P) <= 1e-6 * st.P + 1e-9 * st.D * dl + 1e-300))
        return "the state's pressure is not the given one";
    if (kInputs[r][1] == K_E && off(r == R_PE || r == R_TE || r == R_DE ? e : h,
                                    r == R_PE || r == R_TE || r == R_DE ? st.e : st.h, RT))
        return "the state's energy or enthalpy is not the given one";
    if (kInputs[r][1] == K_S && off(s, st.s, f.R))
        return "the state's entropy is not the given one";
    return "";
}

}  // namespace libcheck
