// Flashes at given pressure with enthalpy, entropy, energy or density: each
// fixes its pair code and hands its arguments to a general solver; the
// property given is never overwritten.
#include "library/phase/pflsh.h"

#include "library/phase/abfl1.h"
#include "library/phase/abfl2.h"
#include "library/phase/pbflsh.h"

namespace lib {

void PHFLSH(double P, double h, const double z[20], double& T, double& D, double& Dl, double& Dv,
            double x[20], double y[20], double& q, double& e, double& s, double& cv, double& cp,
            double& w, int& ierr, std::string& herr) {
    double hs = 0;
    PBFLSH(P, h, z, "PH", T, D, Dl, Dv, x, y, q, e, hs, s, cv, cp, w, ierr, herr);
}

void PSFLSH(double P, double s, const double z[20], double& T, double& D, double& Dl, double& Dv,
            double x[20], double y[20], double& q, double& e, double& h, double& cv, double& cp,
            double& w, int& ierr, std::string& herr) {
    double ss = 0;
    PBFLSH(P, s, z, "PS", T, D, Dl, Dv, x, y, q, e, h, ss, cv, cp, w, ierr, herr);
}

void PEFLSH(double P, double e, const double z[20], double& T, double& D, double& Dl, double& Dv,
            double x[20], double y[20], double& q, double& h, double& s, double& cv, double& cp,
            double& w, int& ierr, std::string& herr) {
    double es = 0;
    PBFLSH(P, e, z, "PE", T, D, Dl, Dv, x, y, q, es, h, s, cv, cp, w, ierr, herr);
}

namespace {
void pfl1(const char* code, double P, double b, const double z[20], int kph, double& T, double& D,
          int& ierr, std::string& herr) {
    double p = 0;
    T = 0.0;  // no start values: the solver chooses its own
    D = 0.0;
    ABFL1(P, b, z, kph, code, 0.0, 0.0, T, p, D, ierr, herr);
}

void pfl2(const char* code, double P, double b, const double z[20], int ksat, double& Tbub,
          double& Tdew, double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& T,
          double& Dl, double& Dv, double x[20], double y[20], double& q, int& ierr,
          std::string& herr) {
    double pbub = 0, pdew = 0, p = 0;
    ABFL2(P, b, z, 1, ksat, code, Tbub, Tdew, pbub, pdew, Dlbub, Dvdew, ybub, xdew, T, p, Dl, Dv, x,
          y, q, ierr, herr);
}
}  // namespace

void PHFL1(double P, double h, const double z[20], int kph, double& T, double& D, int& ierr,
           std::string& herr) {
    pfl1("PH", P, h, z, kph, T, D, ierr, herr);
}

void PSFL1(double P, double s, const double z[20], int kph, double& T, double& D, int& ierr,
           std::string& herr) {
    pfl1("PS", P, s, z, kph, T, D, ierr, herr);
}

void PEFL1(double P, double e, const double z[20], int kph, double& T, double& D, int& ierr,
           std::string& herr) {
    pfl1("PE", P, e, z, kph, T, D, ierr, herr);
}

void PDFL1(double P, double D, const double z[20], double& T, int& ierr, std::string& herr) {
    double p = 0, d = 0;
    ABFL1(D, P, z, 0, "DP", 0.0, 0.0, T, p, d, ierr, herr);
}

void PHFL2(double P, double h, const double z[20], int ksat, double& Tbub, double& Tdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& T, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr) {
    pfl2("PH", P, h, z, ksat, Tbub, Tdew, Dlbub, Dvdew, ybub, xdew, T, Dl, Dv, x, y, q, ierr, herr);
}

void PSFL2(double P, double s, const double z[20], int ksat, double& Tbub, double& Tdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& T, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr) {
    pfl2("PS", P, s, z, ksat, Tbub, Tdew, Dlbub, Dvdew, ybub, xdew, T, Dl, Dv, x, y, q, ierr, herr);
}

void PEFL2(double P, double e, const double z[20], int ksat, double& Tbub, double& Tdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& T, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr) {
    pfl2("PE", P, e, z, ksat, Tbub, Tdew, Dlbub, Dvdew, ybub, xdew, T, Dl, Dv, x, y, q, ierr, herr);
}

void PDFL2(double P, double D, const double z[20], int ksat, double& Tbub, double& Tdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& T, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr) {
    pfl2("PD", P, D, z, ksat, Tbub, Tdew, Dlbub, Dvdew, ybub, xdew, T, Dl, Dv, x, y, q, ierr, herr);
}

}  // namespace lib
