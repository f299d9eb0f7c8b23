// Shared records of saturation and flash calculations: result caches, fixed
// points of the saturation boundary and the traced mixture phase boundary.
#pragma once

#include <array>

#include "library/setup/common.h"

namespace lib {

// Validity of the one-entry caches of SATT (tst) and SATP (pst).
struct FshsavRecord {
    int tst = 0;
    int pst = 0;
};
extern FshsavRecord FSHSAV;

// One cached saturation result.
struct SatCache {
    double t = 0, p = 0, dl = 0, dv = 0;
    std::array<double, kMaxComp> z{}, xl{}, xv{};
    int kph = 0;
    int icomp = 0;
};
extern SatCache TSTSAV, PSTSAV;

// Fixed points of the saturation boundary, 19 words (1-based in the text:
// words 1..19 are x[0]..x[18]; word 19 is the temperature of the vapour
// values at the lower limit, words 6, 10 and 14).
struct FxpntRecord {
    std::array<double, 19> x{};
};
extern FxpntRecord FXPNT;

// Traced phase boundary of the current mixture composition.
constexpr int kSplinePoints = 1000;
struct SatsplRecord {
    int n = 0;  // number of points
    std::array<std::array<double, 26>, kSplinePoints>
        value{};  // column 0 ln(variable), 1..25 properties
    std::array<std::array<double, 26>, kSplinePoints> d2{};  // spline second derivatives
    std::array<double, kMaxComp> z{};                        // composition of the splines
    int built = 0;                                           // non-zero once built
};
extern SatsplRecord SATSPL;

// Characteristic points of the traced boundary.
struct MaxtpRecord {
    double tmax_t = 300, tmax_p = 0, tmax_d = 0;  // maximum-temperature point
    double pmax_t = 300, pmax_p = 0, pmax_d = 0;  // maximum-pressure point
    double crit_t = 0, crit_p = 0, crit_d = 0;    // critical point on the splines
    int crit_flag = 0;                            // 0 located, > 0 failed
    int tmax_flag = 1;                            // 0 found, 1 not found
    int pmax_flag = 1;
};
extern MaxtpRecord MAXTP;

// Spinodal splines of one pure component: density over temperature, points in
// increasing temperature, with the spline second derivatives.
constexpr int kSpinodalPoints = 1000;
struct CspndlRecord {
    std::array<double, kSpinodalPoints> dl{}, tl{}, d2l{};  // liquid spinodal
    std::array<double, kSpinodalPoints> dv{}, tv{}, d2v{};  // vapour spinodal
};
extern CspndlRecord CSPNDL;

// Number of valid points of the liquid and vapour spinodal splines (0: none).
struct AuxflgsRecord {
    int nliq = 0;
    int nvap = 0;
};
extern AuxflgsRecord AUXFLGS;

// Forgets every saved result of the saturation and flash routines (result
// caches, fixed points, spinodal splines): called when another fluid is set
// up, so that no result of one fluid is ever taken for another.
void clear_phase_caches();

}  // namespace lib
