// The property library's interface for callers outside the library.
//
// Conventions: units K, kPa, mol/L, J/mol, J/(mol K); compositions are 20
// mole fractions (entries beyond the number of components are ignored);
// scalar inputs by value, outputs and in/out arguments by reference;
// every routine that can fail returns ierr (0 success, > 0 error, < 0
// warning) and herr, the message text ("[ROUTINE error N] text") without
// padding, empty on success.
//
// The library is one global state and not re-entrant: it must be used from
// one thread at a time.
#pragma once

#include <array>
#include <string>

namespace lib {

using Names20 = std::array<std::string, 20>;

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------

// Tidies a message in place and prints it when the print switch says so.
void ERRMSG(int ierr, std::string& herr);

// ---------------------------------------------------------------------------
// Fluid and mixture set-up
// ---------------------------------------------------------------------------

// Sets up nc components given as names joined by "|", with the mixture
// parameters of text hfmix ("hmx") and reference state hrf ("DEF", "NBP",
// "IIR", "ASH", "NA"; "OTH"/"OT0" become "DEF" with a warning).
void SETUP0(int nc, const std::string& hfld, const std::string& hfmix, std::string& hrf,
            int& ierr, std::string& herr);
void SETUP(int nc, const Names20& hfiles, const std::string& hfmix, std::string& hrf, int& ierr,
           std::string& herr);
// Chooses models before a SETUP: htype "EOS", "ETA", "TCX", "STN" or "QVB".
void SETMOD(int nc, const std::string& htype, const std::string& hmix, Names20& hcomp, int& ierr,
            std::string& herr);
void GERG04(int nc, int iflag, int& ierr, std::string& herr);
void SETNC(int nc);
void PUREFLD(int icomp);
void SETPATH(const std::string& hpth);
void RESETA();
// Model code and description of a loaded model kind of one component.
void GETMOD(int icomp, const std::string& htype, std::string& hcode, std::string& hcite);

// ---------------------------------------------------------------------------
// Component constants and compositions
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Range checks
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Reference states
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Numerical utilities
// ---------------------------------------------------------------------------
// Arrays are 0-based (element 0 = element 1 of the routine's description);
// matrices are stored by columns with leading dimension ndim.

// Real cube root keeping the sign of x.
double CBRTX(double x);
// Abscissa of the vertex of the parabola through n = 3 points, or (n = 2, or
// a degenerate parabola) the zero crossing of the line through the first two;
// held to [-100000, 100000].  Errors 1 (n not 2 or 3), 2 (negative curvature).
void MINP(int n, const double x[3], const double y[3], double& xmin, int& ierr, std::string& herr);
// Newton interpolation through n points (2..20; other n give 0).
void POLYN(int n, const double x[], const double y[], double xval, double& yval, int& ierr,
           std::string& herr);
// Solves A z = b for the n x n matrix A (decomposed in place); z is returned
// in b.  ierr = -191 on entry solves a new right side with the decomposition
// left in A by the previous call.  Error 1: singular matrix.
void LUDECOMP(int n, int ndim, double A[], double b[], int& ierr, std::string& herr);
// Real roots of z^3 + a[2] z^2 + a[1] z + a[0] = 0: roots[0] the smallest
// (the largest when the smallest is negative), roots[1] the largest,
// roots[2] the third; with one real root all three hold it.
void CUBIC(const double a[3], double roots[3]);
// Polynomial through n points (1..50): its value at xval and coefficients c
// in increasing powers.  Error 1: invalid inputs.
void FITL(int n, int ndim, const double x[], const double y[], double xval, double& yval, double c[],
          int& ierr, std::string& herr);
// Golden-section search along density at fixed T and x for the minimum
// (kflag = 0) or maximum of h, e or s (htyp "H", "E", "S") in n steps between
// Dlow and Dhigh; the two arguments after T are not used.
void GOLD(double Dlow, double Dhigh, int n, int kflag, const double x[20], double T, double unused1,
          double unused2, const std::string& htyp, double& Dopt, double& fopt, int& ierr);
// Filling ratio of a container (user-defined fluids only).
void DOTFILL(const double x[20], double& ptest, double& fill, int& ierr, std::string& herr);
// Second derivatives y2 of the natural cubic spline through the n + 1 knots
// x[0..n], y[0..n].
void CSPLINE(int n, const double x[], const double y[], double y2[]);
// Value at xval of the spline of n >= 3 knots.  Error 192: xval outside
// [x[0], x[n-1]]; 193: fewer than three knots.
void CSPLNVAL(int n, const double x[], const double y[], const double y2[], double xval,
              double& yval, int& ierr, std::string& herr);
// Eigenvalue of the symmetric n x n matrix A (leading dimension 20) nearest
// the shift lambda (in), by inverse iteration; its unit eigenvector in v with
// v[0] >= 0.  Error 1: no convergence in 21 passes.
void MINEIGEN(int n, const double A[], double v[], double& lambda, int& ierr, std::string& herr);

// ---------------------------------------------------------------------------
// Equations of state and properties at (T, D, x)
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Ancillary equations, melting and sublimation lines
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Saturation
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Flashes
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Transport, surface tension, dielectric constant
// ---------------------------------------------------------------------------

}  // namespace lib
