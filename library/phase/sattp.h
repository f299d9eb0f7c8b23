// Newton solver of mixture saturation and of the two-phase split at given
// temperature and pressure (SATTP), and the fugacity data of one phase that
// the mixture solvers share.
#pragma once

#include <string>

namespace lib {

// Questions of SATTP (kph; a negative value asks the same and changes only
// the start taken from the traced phase boundary).
constexpr int kSplitAtTP = 0;
constexpr int kBubbleAtT = 1;
constexpr int kDewAtT = 2;
constexpr int kBubbleAtP = 3;
constexpr int kDewAtP = 4;

// One point of the phase boundary (kph 1..4) or the split at given T and P
// (kph 0) of feed x.  kguess 1: T or P, Dl, Dv, xl and xv hold start values;
// 0: the start estimates make them.  D the overall density, q the vapour
// fraction (0 bubble, 1 dew).  Errors 1 ("SATTP:  Iteration failed"), 2 (no
// convergence in 30 iterations), 3 (step halved to nothing); unless the
// boundary is being traced, an own failure is handed to SATT, SATP or TPFLSH
// and their result returned.
void SATTP(double& T, double& P, const double x[20], int kph, int kguess, double& D, double& Dl,
           double& Dv, double xl[20], double xv[20], double& q, int& ierr, std::string& herr);

// The work value of SATTP: after each test of an iteration the largest
// absolute residual, then the largest absolute step.
struct SattpWorkRecord {
    double value = 0.0;
};
extern SattpWorkRecord SATTPW;

namespace mix {

// The components present in x (fraction above zero), by decreasing fraction
// (the lower component number first among equal ones) except that the one
// of the largest fraction comes last: 0-based indices.
struct Present {
    int m = 0;
    int c[20] = {};
};
Present present(const double x[20]);

// Fugacity data of one phase at (T, D, x) for the present components: ln f_i
// (f in kPa, at the phase's own pressure), its derivatives at constant
// composition by P (1/kPa) and T (1/K), both at constant P and T, and the
// derivatives of ln f_i by the independent fractions of `order` (the last
// present component dependent): dx[j][i] the derivative of ln f_i by the
// fraction of order.c[j].  False when the fugacity routine fails (ierr its
// number; 191 for a mixing rule without composition derivatives).
struct PhaseFugacity {
    double lnf[20] = {}, dp[20] = {}, dt[20] = {};
    double dx[20][20] = {};
    double P = 0.0;  // the phase's own pressure, kPa
};
bool phase_fugacity(double T, double D, const double x[20], const Present& order, PhaseFugacity& f,
                    int& ierr);

// While one lives, SATTP seeks a boundary point at any distance from the
// estimated critical point: its caller has found a split on one side of
// the point and a single phase on the other (a wet gas's dew line reaches
// pressures many times its estimate's, where the point was otherwise
// bisected by some forty (T, p) flashes).
class PointBracketed {
public:
    PointBracketed();
    ~PointBracketed();
    PointBracketed(const PointBracketed&) = delete;
    PointBracketed& operator=(const PointBracketed&) = delete;
};
bool point_bracketed();
// Whether (T, P) lies where SATTP seeks no boundary point of feed x
// outside such a scope: beyond 10 times its estimated critical pressure or
// 3 times its critical temperature.
bool far_beyond_critical(double T, double P, const double x[20]);

// Restores a switch of FLAGS2 on every way out of a scope.
class SwitchGuard {
public:
    SwitchGuard(int& word, int value) : word_(word), saved_(word) { word_ = value; }
    ~SwitchGuard() { word_ = saved_; }
    SwitchGuard(const SwitchGuard&) = delete;
    SwitchGuard& operator=(const SwitchGuard&) = delete;

private:
    int& word_;
    int saved_;
};

}  // namespace mix
}  // namespace lib
