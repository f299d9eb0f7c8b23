// Flashes at given temperature with enthalpy, entropy or energy: each fixes
// its pair code and hands its arguments to a general solver; the property
// given is never overwritten.
#include "library/phase/tflsh.h"

#include "library/phase/abfl1.h"
#include "library/phase/abfl2.h"
#include "library/phase/tbflsh.h"

namespace lib {

void THFLSH(double T, double h, const double z[20], int kr, double& P, double& D, double& Dl,
            double& Dv, double x[20], double y[20], double& q, double& e, double& s, double& cv,
            double& cp, double& w, int& ierr, std::string& herr) {
    double hs = 0;
    TBFLSH(T, h, z, kr, "TH", P, D, Dl, Dv, x, y, q, e, hs, s, cv, cp, w, ierr, herr);
}

void TSFLSH(double T, double s, const double z[20], int kr, double& P, double& D, double& Dl,
            double& Dv, double x[20], double y[20], double& q, double& e, double& h, double& cv,
            double& cp, double& w, int& ierr, std::string& herr) {
    double ss = 0;
    TBFLSH(T, s, z, kr, "TS", P, D, Dl, Dv, x, y, q, e, h, ss, cv, cp, w, ierr, herr);
}

void TEFLSH(double T, double e, const double z[20], int kr, double& P, double& D, double& Dl,
            double& Dv, double x[20], double y[20], double& q, double& h, double& s, double& cv,
            double& cp, double& w, int& ierr, std::string& herr) {
    double es = 0;
    TBFLSH(T, e, z, kr, "TE", P, D, Dl, Dv, x, y, q, es, h, s, cv, cp, w, ierr, herr);
}

namespace {
void tfl1(const char* code, double T, double b, const double z[20], double Dmin, double Dmax,
          double& D, int& ierr, std::string& herr) {
    double t = T, p = 0;
    ABFL1(T, b, z, 0, code, Dmin, Dmax, t, p, D, ierr, herr);
}

void tfl2(const char* code, double T, double b, const double z[20], int ksat, double& Pbub,
          double& Pdew, double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& P,
          double& Dl, double& Dv, double x[20], double y[20], double& q, int& ierr,
          std::string& herr) {
    double tbub = 0, tdew = 0, t = 0;
    ABFL2(T, b, z, 1, ksat, code, tbub, tdew, Pbub, Pdew, Dlbub, Dvdew, ybub, xdew, t, P, Dl, Dv, x,
          y, q, ierr, herr);
}
}  // namespace

void THFL1(double T, double h, const double z[20], double Dmin, double Dmax, double& D, int& ierr,
           std::string& herr) {
    tfl1("TH", T, h, z, Dmin, Dmax, D, ierr, herr);
}

void TSFL1(double T, double s, const double z[20], double Dmin, double Dmax, double& D, int& ierr,
           std::string& herr) {
    tfl1("TS", T, s, z, Dmin, Dmax, D, ierr, herr);
}

void TEFL1(double T, double e, const double z[20], double Dmin, double Dmax, double& D, int& ierr,
           std::string& herr) {
    tfl1("TE", T, e, z, Dmin, Dmax, D, ierr, herr);
}

void THFL2(double T, double h, const double z[20], int ksat, double& Pbub, double& Pdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& P, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr) {
    tfl2("TH", T, h, z, ksat, Pbub, Pdew, Dlbub, Dvdew, ybub, xdew, P, Dl, Dv, x, y, q, ierr, herr);
}

void TSFL2(double T, double s, const double z[20], int ksat, double& Pbub, double& Pdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& P, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr) {
    tfl2("TS", T, s, z, ksat, Pbub, Pdew, Dlbub, Dvdew, ybub, xdew, P, Dl, Dv, x, y, q, ierr, herr);
}

void TEFL2(double T, double e, const double z[20], int ksat, double& Pbub, double& Pdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& P, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr) {
    tfl2("TE", T, e, z, ksat, Pbub, Pdew, Dlbub, Dvdew, ybub, xdew, P, Dl, Dv, x, y, q, ierr, herr);
}

}  // namespace lib
