// The single phase a flash keeps next to a mixture's critical point.
#include "library/phase/critsingle.h"

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/envelope.h"
#include "library/phase/mixflash.h"
#include "library/phase/stability.h"

namespace lib::mix {
namespace {

// The neighbourhood of the critical point (shares of the model's critical
// temperature and pressure) in which the (T, p) flash is asked as well.
// The equation's critical point of a blend lies up to some 0.1 % in T and
// 0.5 % in P from the model's (r22 + r152a 20/80: 384.409 K and 4646.6 kPa
// against 384.159 K and 4624.2 kPa); the split the test misses lies within
// 1e-4 of it.
constexpr double kNearTc = 0.01;
constexpr double kNearPc = 0.02;
// Two densities of one root.
constexpr double kSameRoot = 1e-6;

// The model's critical point of the composition, when CRITP finds one.
bool critical_point(const double z[20], double& Tc, double& Pc) {
    double Dc = 0;
    int jerr = 0;
    std::string jmsg;
    CRITP(z, Tc, Pc, Dc, jerr, jmsg);
    return jerr <= 0;
}

bool near_critical_point(double T, double P, const double z[20]) {
    double Tc = 0, Pc = 0;
    return critical_point(z, Tc, Pc) && within_critical_neighbourhood(T, P, Tc, Pc);
}

// Whether the (T, p) flash itself decides on the single phase at (T, P):
// next to the critical point, inside its two-phase window (outside it the
// flash takes a root untested), and with no frozen component (whose check
// the stability road holds).
bool flash_decides(double T, double P, const double z[20]) {
    double Tc = 0, Pc = 0;
    return critical_point(z, Tc, Pc) && within_critical_neighbourhood(T, P, Tc, Pc) &&
           !outside_two_phase_window(T, P, z, Tc) && !any_frozen(T, z);
}

}  // namespace

bool within_critical_neighbourhood(double T, double P, double Tc, double Pc) {
    return Tc > 0.0 && Pc > 0.0 && std::fabs(T / Tc - 1.0) <= kNearTc &&
           std::fabs(P / Pc - 1.0) <= kNearPc;
}

bool single_phase_kept(double T, double D, const double z[20]) {
    double P = 0.0;
    PRESS(T, D, z, P);
    if (!(P > 0.0) || !flash_decides(T, P, z)) return single_phase_stable_at(T, D, P, z);
    // The (T, p) flash runs the stability test first and splits what it
    // finds unstable, or what it finds next to the critical point: its
    // answer holds the test's, which is not run twice.  A flash that fails
    // leaves the test to decide.
    TpState st;
    if (!tp_state(T, P, z, st)) return single_phase_stable_at(T, D, P, z);
    return !st.two_phase && std::fabs(st.D - D) <= kSameRoot * D;
}

bool split_near_critical_point(double T, double D, const double z[20]) {
    double P = 0.0;
    PRESS(T, D, z, P);
    if (!(P > 0.0) || !near_critical_point(T, P, z)) return false;
    // (r22 + r152a 20/80 at its critical temperature, 4646.3 kPa: the test
    // kept the feed, the (T, p) flash splits it at q 0.93, both with the
    // same Gibbs energy to 1e-10; the pressure, temperature, density and
    // entropy flashes gave the single phase, the (T, p) flash at their
    // own result the split.)
    TpState st;
    return tp_state(T, P, z, st) && st.two_phase;
}

}  // namespace lib::mix
