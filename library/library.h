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
// Glossary of the argument names, and the named flag and marker values
// ---------------------------------------------------------------------------
// The same short names recur routine by routine; their meaning is stated
// here once (each routine below says only what differs):
//   T, P, D      temperature K, pressure kPa, molar density mol/L
//   x, z         composition of 20 mole fractions (z: the overall feed)
//   xl, xv, y    liquid and vapour compositions of a two-phase result
//   q            vapour fraction (molar unless kq says mass), or a marker
//   icomp        component slot (1..nc; reference fluids below 1)
//   ierr, herr   status (0 success, > 0 error, < 0 warning) and its message
//   kph          which phase or line: in SATT and SATP the saturation line
//                (kBubblePoint, kDewPoint, kMeltingLine, kSublimationLine);
//                in TPRHO, CSATK, DPTSATK and the PxFL1 flashes the phase
//                (kLiquid, kVapour; TPRHO also takes -1, -2 to force the
//                dense or the vapour iteration and 0 to choose from the
//                start value); in SATD a choice of method (see there)
//   kr           THFLSH, TSFLSH, TEFLSH: which of two roots (kHigherRoot,
//                any other value the lower one); SATD (out): the boundary
//                found (kSaturatedLiquid, kSaturatedVapour, kMeltingLine,
//                kSublimationLine)
//   kq           kind of quality: kMolarQuality or kMassQuality (TQFLSH
//                takes any value but 1 as mass, PQFLSH and DQFL2 any value
//                but 2 as molar)
//   ksat         two-phase flashes: kSaturationGiven when the bubble and dew
//                values are passed in, kSaturationComputed to compute them
//   kguess       TPRHO: kStartValue when D holds a start value, else kNoStartValue
//   ixflag       SETREF: 1 each pure component, 2 also the mixture x0
//   hrf          reference-state code ("DEF", "NBP", "IIR", "ASH", "NA", "OTH", "OT0")
//   hfmix        name of the mixture-parameter text ("hmx")
//   htype, htyp  model kind ("EOS", "ETA", "TCX", "STN", "TRP", ...)

// Saturation lines (kph of SATT and SATP, kr of SATD).
constexpr int kBubblePoint = 1;
constexpr int kDewPoint = 2;
constexpr int kSaturatedLiquid = 1;
constexpr int kSaturatedVapour = 2;
constexpr int kMeltingLine = 3;
constexpr int kSublimationLine = 4;
// Phases (kph of TPRHO, CSATK, DPTSATK and the single-phase flashes).
constexpr int kLiquid = 1;
constexpr int kVapour = 2;
// Roots of the temperature flashes (kr).
constexpr int kLowerRoot = 1;
constexpr int kHigherRoot = 2;
// Kinds of quality (kq).
constexpr int kMolarQuality = 1;
constexpr int kMassQuality = 2;
// Saturation values of the two-phase flashes (ksat).
constexpr int kSaturationComputed = 0;
constexpr int kSaturationGiven = 1;
// Start value of TPRHO (kguess).
constexpr int kNoStartValue = 0;
constexpr int kStartValue = 1;
// The quality q of a state, the same whichever flash computed it: in the
// two-phase region the molar vapour fraction (0..1; the quality flashes
// take and give it by mass when kq says so); outside it a marker, never a
// computed fraction:
//   kQualitySupercritical (999)  P > Pc and T >= Tc;
//   kQualityLiquid (-998)        P > Pc and T < Tc, or P <= Pc, T < Tc and
//                                the liquid side (D > Dc);
//   kQualityVapour (998)         P <= Pc and T >= Tc, or P <= Pc, T < Tc and
//                                the vapour side (D <= Dc);
// with Tc, Pc and Dc of CRITP. Every failed flash returns kQualityFailed.
constexpr double kQualityVapour = 998.0;
constexpr double kQualityLiquid = -998.0;
constexpr double kQualitySupercritical = 999.0;
constexpr double kQualityFailed = kQualitySupercritical;

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
void SETUP0(int nc, const std::string& hfld, const std::string& hfmix, std::string& hrf, int& ierr,
            std::string& herr);
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

// Constants of component icomp (-nc..nc; zeros outside): molar mass g/mol,
// triple point K, normal boiling point K, critical T K, p kPa, D mol/L,
// critical compressibility, acentric factor, dipole moment debye; rgas is
// the gas constant of the current composition.
void INFO(int icomp, double& wmm, double& ttrp, double& tnbpt, double& tc, double& pc, double& dc,
          double& zc, double& acf, double& dip, double& rgas);
// Short name (at most 12 characters), long name (80) and CAS number (12);
// "not defined" outside -nc..nc.
void NAME(int icomp, std::string& hnam, std::string& hn80, std::string& hcas);
// Molar mass of the composition, g/mol.
double WMOL(const double x[20]);
void XMASS(const double xmol[20], double xkg[20], double& wmix);
void XMOLE(const double xkg[20], double xmol[20], double& wmix);
// Mass quality and phase mass fractions from molar ones (warning -19 when the
// quality lies outside 0..1; it is then passed through).
void QMASS(double qmol, const double xl[20], const double xv[20], double& qkg, double xlkg[20],
           double xvkg[20], double& wliq, double& wvap, int& ierr, std::string& herr);
void QMOLE(double qkg, const double xlkg[20], const double xvkg[20], double& qmol, double xl[20],
           double xv[20], double& wliq, double& wvap, int& ierr, std::string& herr);

// ---------------------------------------------------------------------------
// Range checks
// ---------------------------------------------------------------------------
// htyp names the model kind whose limits apply: "EOS", "ETA", "TCX", "STN"
// (also in lower case; LIMITS also takes "TRP"); any other text counts as
// "EOS".  Limits: tmin, tmax (K), dmax (mol/L), pmax (kPa); 9.99e99 stands
// for no limit.

// Limits of the kind for composition x.
void LIMITS(const std::string& htyp, const double x[20], double& tmin, double& tmax, double& dmax,
            double& pmax);
// Limits of x, and a test of (T, D, P) against them: ierr is the sum of the
// flags raised (1 temperature, 2 density, 4 pressure, 8 composition, 16
// melting line or solid), positive when any violation is hard, negative
// when all are soft.  T = -1 leaves the temperature untested.
void LIMITX(const std::string& htyp, double T, double D, double P, const double x[20], double& tmin,
            double& tmax, double& dmax, double& pmax, int& ierr, std::string& herr);
// The same for component slot icomp (T = 0 leaves the temperature untested).
void LIMITK(const std::string& htyp, int icomp, double T, double D, double P, double& tmin,
            double& tmax, double& dmax, double& pmax, int& ierr, std::string& herr);

// ---------------------------------------------------------------------------
// Reference states
// ---------------------------------------------------------------------------

// Sets the reference state of enthalpy and entropy: hrf "DEF" (each fluid's
// default), "NBP", "IIR", "ASH", "NA" (none), "OTH" (h0 J/mol and s0 J/(mol K)
// at t0 K and p0 kPa; p0 < 0 the saturated liquid, p0 <= -1.99 the saturated
// vapour at t0), "OT0" (as "OTH" in the ideal-gas state), or "???" (returns
// component 1's default code in hrf).  ixflag 1 applies it to each pure
// component, 2 also to the mixture x0.
void SETREF(std::string& hrf, int ixflag, const double x0[20], double h0, double s0, double t0,
            double p0, int& ierr, std::string& herr);

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
void FITL(int n, int ndim, const double x[], const double y[], double xval, double& yval,
          double c[], int& ierr, std::string& herr);
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

// Gas constant of the composition, J/(mol K).
void RMIX2(const double x[20], double& rgas);
// Critical point of the composition (a pure fluid's own; a mixture needs its
// mixture model).
void CRITP(const double x[20], double& tc, double& pc, double& dc, int& ierr, std::string& herr);
// Maximum-temperature and maximum-pressure points of the traced phase
// boundary of a mixture (the critical point of a pure fluid); error 1 when
// not known.
void MAXT(const double x[20], double& t, double& p, double& d, int& ierr, std::string& herr);
void MAXP(const double x[20], double& t, double& p, double& d, int& ierr, std::string& herr);

// P kPa, e, h J/mol, s, cv, cp J/(mol K), w m/s, Joule-Thomson coefficient K/kPa.
void THERM(double T, double D, const double x[20], double& P, double& e, double& h, double& s,
           double& cv, double& cp, double& w, double& hjt);
// THERM plus Z, hjt, Helmholtz and Gibbs energies, isothermal compressibility
// (1/kPa), volume expansivity (1/K), dP/dD, d2P/dD2, dP/dT, dD/dT, dD/dP,
// d2P/dT2, d2P/dTdD; the two spare outputs carry -9999990.
void THERM2(double T, double D, const double x[20], double& P, double& e, double& h, double& s,
            double& cv, double& cp, double& w, double& Z, double& hjt, double& A, double& G,
            double& xkappa, double& beta, double& dPdD, double& d2PdD2, double& dPdT, double& dDdT,
            double& dDdP, double& d2PdT2, double& d2PdTD, double& spare3, double& spare4);
// Isothermal compressibility, volume expansivity, isentropic and isothermal
// expansion coefficients, adiabatic compressibility, adiabatic and isothermal
// bulk moduli, isothermal throttling coefficient, internal pressure,
// specific heat input.
void THERM3(double T, double D, const double x[20], double& xkappa, double& beta, double& xisenk,
            double& xkt, double& betas, double& bs, double& xkkt, double& thrott, double& pint,
            double& spht);
// Ideal-gas state at (T, D).
void THERM0(double T, double D, const double x[20], double& P, double& e, double& h, double& s,
            double& cv, double& cp, double& w, double& A, double& G);
// Residual parts (no reference offsets).
void RESIDUAL(double T, double D, const double x[20], double& P, double& e, double& h, double& s,
              double& cv, double& cp, double& A, double& G);
void ENTRO(double T, double D, const double x[20], double& s);
void ENTHAL(double T, double D, const double x[20], double& h);
void ENERGY(double T, double D, const double x[20], double& e);
void CVCP(double T, double D, const double x[20], double& cv, double& cp);
// cv and cp of one component slot (uses the gas constant already set).
void CVCPK(int icomp, double T, double D, double& cv, double& cp);
// Residual Helmholtz and Gibbs energies (G holds R T ln D).
void GIBBS(double T, double D, const double x[20], double& A, double& G);
// Total Helmholtz and Gibbs energies.
void AG(double T, double D, const double x[20], double& A, double& G);

// ---------------------------------------------------------------------------
// Pressure derivatives and virial coefficients
// ---------------------------------------------------------------------------
// At (T, D, x); every routine returns 0 for T <= 0 and reports no error.

// Pressure (kPa) and its derivatives: dP/dD at constant T, d2P/dD2, dP/dT
// at constant D, dD/dP at constant T, dD/dT at constant P.
void PRESS(double T, double D, const double x[20], double& P);
void DPDD(double T, double D, const double x[20], double& dPdD);
void DPDD2(double T, double D, const double x[20], double& d2PdD2);
void DPDT(double T, double D, const double x[20], double& dPdT);
void DDDP(double T, double D, const double x[20], double& dDdP);
void DDDT(double T, double D, const double x[20], double& dDdT);
// dP/dD and dP/dT of one component slot (with the R held in GCNST).
void DPDDK(int icomp, double T, double D, double& dPdD);
void DPDTK(int icomp, double T, double D, double& dPdT);
// All first and second derivatives among P, D and T.  At D <= 1e-8 the
// derivatives of T are -9999960 (not computed).
void DERVPVT(double T, double D, const double x[20], double& dPdD, double& dPdT, double& d2PdD2,
             double& d2PdT2, double& d2PdTD, double& dDdP, double& dDdT, double& d2DdP2,
             double& d2DdT2, double& d2DdPT, double& dTdP, double& dTdD, double& d2TdP2,
             double& d2TdD2, double& d2TdPD);
// Derivatives of the molar enthalpy: dh/dT at constant D and P, dh/dD at
// constant T and P, dh/dP at constant T and D (-9999960 where the low-density
// limit has none).
void DHD1(double T, double D, const double x[20], double& dhdt_d, double& dhdt_p, double& dhdd_t,
          double& dhdd_p, double& dhdp_t, double& dhdp_d);

// Virial coefficients at T for x: B (L/mol), C ((L/mol)^2), their first and
// second temperature derivatives, and VIRD = 2 D4 ((L/mol)^3) of
// Z = 1 + B D + C D^2 + D4 D^3.
void VIRB(double T, const double x[20], double& B);
void DBDT(double T, const double x[20], double& dB);
void DBDT2(double T, const double x[20], double& d2B);
void VIRC(double T, const double x[20], double& C);
void DCDT(double T, const double x[20], double& dC);
void DCDT2(double T, const double x[20], double& d2C);
void VIRD(double T, const double x[20], double& D);
// Acoustic second and third virial coefficients.
void VIRBA(double T, const double x[20], double& betaa);
void VIRCA(double T, const double x[20], double& gammaa);
// Cross second virial coefficient of a two-component mixture.
void B12(double T, const double x[20], double& b);
// B, C and VIRD of a pure fluid on a Helmholtz-explicit equation, from the
// zero-density limit of its terms (0 otherwise).
void VIRBCD(double T, const double x[20], double& B, double& C, double& D);

// ---------------------------------------------------------------------------
// Mixtures: fugacities, chemical potentials, activities, binary parameters,
// AGA8, heating values and excess properties
// ---------------------------------------------------------------------------

// Fugacity of each component at (T, D, x), kPa (-9999970 where its exponent
// is too large; 0 for absent components): FGCTY2 analytic for a mixture
// (numerical where the mixing rule has no composition derivatives), FGCTY
// by numerical differentiation.
void FGCTY2(double T, double D, const double x[20], double f[20], int& ierr, std::string& herr);
void FGCTY(double T, double D, const double x[20], double f[20]);
// Fugacity coefficients f_i/(x_i P).
void FUGCOF(double T, double D, const double x[20], double phi[20], int& ierr, std::string& herr);
// Chemical potentials, J/mol, on the reference states of the components.
void CHEMPOT(double T, double D, const double x[20], double u[20], int& ierr, std::string& herr);
// Binary parameters of the mixture model: GETKTV the rule code of pair
// (icomp, jcomp), its six parameters, the mixture-parameter text it came
// from, the parameters' names, where they come from and the rule's
// description; GETFIJ a rule's description, parameter names and default
// values; SETKTV replaces a pair's parameters (and with another code its
// rule, read from text hfmix), or with hmodij "RST" sets every pair up again
// from the mixture-parameter text.  SETKTV warnings -113 (no such pair),
// -114 (parameters at their neutral value changed); errors 111 (text not
// found) and 117 (rule not in the text), nothing changed then.
void GETKTV(int icomp, int jcomp, std::string& hmodij, double fij[6], std::string& hfmix,
            std::string hfij[6], std::string& hbinp, std::string& hmxrul);
void GETFIJ(const std::string& hmodij, double fij[6], std::string hfij[6], std::string& hmxrul);
void SETKTV(int icomp, int jcomp, const std::string& hmodij, const double fij[6],
            const std::string& hfmix, int& ierr, std::string& herr);
// Gross and net heating values of the fuel x at temperature T, J/mol (from
// the components' formulas and stored values at 25 C; components absent
// from x take no part): errors 1 (formula not readable) and 2 (no stored
// heating value).  ENTHHC: enthalpy of a combustion species k (0 liquid
// water, 1 water vapour, 2 oxygen, 3 carbon dioxide, 4 nitrogen, 5 sulfur
// dioxide), h(T1) - h(T2) J/mol, with T2 < 0 h(T1) on a common reference.
void HEAT(double T, double D, const double x[20], double& hg, double& hn, int& ierr,
          std::string& herr);
double ENTHHC(int k, double T1, double T2);
// Excess volume (L/mol), energy, enthalpy (J/mol), entropy (J/(mol K)),
// Helmholtz and Gibbs energies of mixture x at (T, P) against its pure
// components at (T, P); kph 0 flash, 1 liquid, 2 vapour; D out (a negative
// D in is a start value).
void EXCESS(double T, double P, const double x[20], int kph, double& D, double& vE, double& eE,
            double& hE, double& sE, double& aE, double& gE, int& ierr, std::string& herr);
// Supercompressibility factor sqrt(Z(60 F, 14.73 psia) / Z(T, D, P)).
double FPV(double T, double D, double P, const double x[20]);
// Thermodynamic curvature scalar at (T, D, x).
double RIEM(double T, double D, const double x[20]);
// The AGA8 detail-characterization equation for the current components
// (mixture model "AGA", with its ideal-gas heat capacities, molar masses
// and gas constant): error 1 when a component is not one of its 21 (or
// taken as one); UNSETAGA restores what SETAGA replaced.
void SETAGA(int& ierr, std::string& herr);
void UNSETAGA();
// Activities (against each pure component at T and the mixture's pressure)
// and activity coefficients.
void ACTVY(double T, double D, const double x[20], double act[20], double gamma[20], int& ierr,
           std::string& herr);

// ---------------------------------------------------------------------------
// Ancillary equations, melting and sublimation lines
// ---------------------------------------------------------------------------
// Evaluators of one component slot: vapour pressure (PS) and its first and
// second temperature derivatives, liquid pressure of a blend (PL), saturated
// liquid (DL) and vapour (DV) density.  Errors, with the value returned:
// 1 T below the lower limit (triple-point value), 121 T above Tc (critical
// value), 2 no equation (critical value), 100 unknown code (0).
void PSATK(int icomp, double T, double& P, int& ierr, std::string& herr);
void PLSATK(int icomp, double T, double& P, int& ierr, std::string& herr);
void DLSATK(int icomp, double T, double& D, int& ierr, std::string& herr);
void DVSATK(int icomp, double T, double& D, int& ierr, std::string& herr);
void DPSATK(int icomp, double T, double& dPdT, int& ierr, std::string& herr);
void D2PSTK(int icomp, double T, double& d2PdT2, int& ierr, std::string& herr);
// The same for a composition: the component's value for a pure fluid, else
// the mole-fraction-weighted sum of the component values (with the first
// failure of a component present in x).
void PSATT(double T, const double x[20], double& P, int& ierr, std::string& herr);
void PLSATT(double T, const double x[20], double& P, int& ierr, std::string& herr);
void DLSATT(double T, const double x[20], double& D, int& ierr, std::string& herr);
void DVSATT(double T, const double x[20], double& D, int& ierr, std::string& herr);
// Inverses: the temperature at which the PS (TSATP), PL (TSATPL) or the DL/DV
// (TSATD) equation gives the value.  Errors 1, 2, 141 (pure fluids), 124.
void TSATP(double P, const double x[20], double& T, int& ierr, std::string& herr);
void TSATPL(double P, const double x[20], double& T, int& ierr, std::string& herr);
void TSATD(double D, const double x[20], double& T, int& ierr, std::string& herr);
// Melting and sublimation pressure of one component slot (0 without a line).
void MELTK(int icomp, double T, double& P, int& ierr, std::string& herr);
void SUBLK(int icomp, double T, double& P, int& ierr, std::string& herr);
// The same for a composition (mixtures about their mean triple point).
void MELTT(double T, const double x[20], double& P, int& ierr, std::string& herr);
void SUBLT(double T, const double x[20], double& P, int& ierr, std::string& herr);
// Temperature on the melting or sublimation line at pressure P.
void MELTP(double P, const double x[20], double& T, int& ierr, std::string& herr);
void SUBLP(double P, const double x[20], double& T, int& ierr, std::string& herr);
// Water's melting pressures at T (kPa): Phigh on the ice III, V, VI and VII
// curves (from 251.165 K), PIh on the ice Ih curve (251.165 to 273.16 K); 0
// outside their ranges.
void MLTH2O(double T, double& Phigh, double& PIh);

// ---------------------------------------------------------------------------
// Saturation
// ---------------------------------------------------------------------------

// Saturation state at T: pressure, saturated liquid and vapour densities and
// compositions.  kph: kBubblePoint, kDewPoint, kMeltingLine or
// kSublimationLine.  A negative T means |T| with P holding a start value.
void SATT(double T, const double x[20], int kph, double& P, double& Dl, double& Dv, double xl[20],
          double xv[20], int& ierr, std::string& herr);
// Saturation state at P: temperature, densities and compositions; kph as SATT.
void SATP(double P, const double x[20], int kph, double& T, double& Dl, double& Dv, double xl[20],
          double xv[20], int& ierr, std::string& herr);
// Phase boundary of mixture x traced once (the splines of SATSPL and the
// characteristic points of MAXT and MAXP; the saturation routines take start
// values from them).  Errors 1 (no first dew point), 2 (fewer than 20 points);
// a pure fluid sets nothing.
void SATSPLN(const double x[20], int& ierr, std::string& herr);
// Critical point of mixture x from the equation of state (T, P, D: start
// values in, the critical point out; a pure fluid's is CRITP's).  The
// mixture model's estimate is the first start, so that the point depends on
// x alone; the values passed in are tried only after it, and their point is
// taken only where x is one fluid phase.  Error 1 without convergence ("No
// convergence. Provide better p, t guess values"), also where a Newton step
// is singular: the iteration runs in T and D and has no failure of its own
// for a singular step (no "dp, dt -> infinity").  A failure leaves T, P and
// D at zero.
void CRTPNT(const double x[20], double& T, double& P, double& D, int& ierr, std::string& herr);
// Saturation of component icomp at T by the equal-area construction; Dl and
// Dv are start values in and results out.  Failure: ierr 1, P = Dl = Dv = -1.
void MAXWELL(int icomp, double T, double& P, double& Dl, double& Dv, int& ierr, std::string& herr);
// Heat capacity csat along the saturated liquid (kLiquid) or vapour (kVapour) line
// of component icomp at T, with the saturation pressure and the phase's
// density; DPTSATK also the slope dPsat/dT, kPa/K.
void CSATK(int icomp, double T, int kph, double& P, double& D, double& csat, int& ierr,
           std::string& herr);
void DPTSATK(int icomp, double T, int kph, double& P, double& D, double& csat, double& dpsdt,
             int& ierr, std::string& herr);
// Isochoric heat capacity of the two-phase state of overall density D at T
// (D <= 0: the saturated liquid's, written back) and the liquid's csat.
void CV2PK(int icomp, double T, double& D, double& cv2p, double& csat, int& ierr,
           std::string& herr);
// Critical point of the equation of state itself (dP/dD = d2P/dD2 = 0).
void FNCRPT(const double x[20], double& D, double& P, double& T, int& ierr, std::string& herr);

// ---------------------------------------------------------------------------
// Flashes
// ---------------------------------------------------------------------------

// Density of one phase at T and P: kph kLiquid or kVapour (-1, -2 force the
// dense or the vapour iteration; 0 takes the side from the start value);
// kguess kStartValue: D holds a start value.  Errors 200-203 with the best stable
// density found in D.
void TPRHO(double T, double P, const double x[20], int kph, int kguess, double& D, int& ierr,
           std::string& herr);

// Every flash returns the overall density D (or takes it), the liquid and
// vapour densities Dl, Dv and compositions x, y (single phase: Dl = Dv = D,
// x = y = the feed, a pure fluid's unit vector), the vapour fraction q and
// e, h, s, cv, cp, w.  q is the quality defined with kQualityVapour above
// (a marker outside the two-phase region).  A two-phase state carries -9999980
// in cv, cp and w (-9999920 from the quality flashes).  The given properties
// are never overwritten.

// State at given temperature and pressure.
void TPFLSH(double T, double P, const double z[20], double& D, double& Dl, double& Dv, double x[20],
            double y[20], double& q, double& e, double& h, double& s, double& cv, double& cp,
            double& w, int& ierr, std::string& herr);

// State at given T and overall density, and at given P and overall density.
void TDFLSH(double T, double D, const double z[20], double& P, double& Dl, double& Dv, double x[20],
            double y[20], double& q, double& e, double& h, double& s, double& cv, double& cp,
            double& w, int& ierr, std::string& herr);
void PDFLSH(double P, double D, const double z[20], double& T, double& Dl, double& Dv, double x[20],
            double y[20], double& q, double& e, double& h, double& s, double& cv, double& cp,
            double& w, int& ierr, std::string& herr);
// Two-phase state at given T and D; ksat kSaturationGiven: the bubble and dew
// values are given.
void TDFL2(double T, double D, const double z[20], int ksat, double& Pbub, double& Pdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& P, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr);

// A number that changes whenever a fluid text is replaced or restored (test
// support of the text store): what a caller derived from a set-up holds for
// a later set-up of the same names while the number stays.
long fluid_text_version();

// Warm starts for one calculation: while a WarmStartScope lives, PHFLSH and
// PSFLSH (and PBFLSH with H or S) of a single-phase state start from the last
// state found for the same composition, as along the steps of a turbo
// machine: the same states with a fraction of the work, each root to the
// last digits.  States near a saturation line, the critical point or a limit
// of the equation, and mixtures not plainly stable, take the usual road.  A
// mixture's two-phase state starts from the last split of the same feed (as
// along a separator or a cooler below the dew point), each split checked
// as an equilibrium; what does not converge within a few steps takes the
// usual road.
// TSFLSH of a gas starts from the last state as well.  Within a scope the
// stability tests of mixtures are not counted toward a trace of their phase
// boundary (a trace costs as much as a thousand tests, and a calculation
// that starts from the states before makes few).  Scopes nest; the states
// are forgotten when the outermost one ends and at every set-up.  Outside a
// scope every flash starts as before.
class WarmStartScope {
public:
    WarmStartScope();
    ~WarmStartScope();
    WarmStartScope(const WarmStartScope&) = delete;
    WarmStartScope& operator=(const WarmStartScope&) = delete;
};

// State at given pressure and enthalpy, entropy or internal energy.
void PHFLSH(double P, double h, const double z[20], double& T, double& D, double& Dl, double& Dv,
            double x[20], double y[20], double& q, double& e, double& s, double& cv, double& cp,
            double& w, int& ierr, std::string& herr);
void PSFLSH(double P, double s, const double z[20], double& T, double& D, double& Dl, double& Dv,
            double x[20], double y[20], double& q, double& e, double& h, double& cv, double& cp,
            double& w, int& ierr, std::string& herr);
void PEFLSH(double P, double e, const double z[20], double& T, double& D, double& Dl, double& Dv,
            double x[20], double y[20], double& q, double& h, double& s, double& cv, double& cp,
            double& w, int& ierr, std::string& herr);
// Single-phase state at given P and h, s or e in phase kph (kLiquid,
// kVapour): T and D.
void PHFL1(double P, double h, const double z[20], int kph, double& T, double& D, int& ierr,
           std::string& herr);
void PSFL1(double P, double s, const double z[20], int kph, double& T, double& D, int& ierr,
           std::string& herr);
void PEFL1(double P, double e, const double z[20], int kph, double& T, double& D, int& ierr,
           std::string& herr);
// Single-phase temperature at given P and D.
void PDFL1(double P, double D, const double z[20], double& T, int& ierr, std::string& herr);
// Two-phase states at given P and h, s, e or D; ksat kSaturationGiven: the bubble and dew
// values (temperatures, bubble liquid and dew vapour densities, incipient
// compositions) are given, otherwise computed and returned.
void PHFL2(double P, double h, const double z[20], int ksat, double& Tbub, double& Tdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& T, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr);
void PSFL2(double P, double s, const double z[20], int ksat, double& Tbub, double& Tdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& T, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr);
void PEFL2(double P, double e, const double z[20], int ksat, double& Tbub, double& Tdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& T, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr);
void PDFL2(double P, double D, const double z[20], int ksat, double& Tbub, double& Tdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& T, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr);

// State at given temperature and enthalpy, entropy or internal energy; kr
// kHigherRoot asks for the higher-density root where two states share the inputs, any
// other value for the lower-density one (warning -238 names the one taken).
void THFLSH(double T, double h, const double z[20], int kr, double& P, double& D, double& Dl,
            double& Dv, double x[20], double y[20], double& q, double& e, double& s, double& cv,
            double& cp, double& w, int& ierr, std::string& herr);
void TSFLSH(double T, double s, const double z[20], int kr, double& P, double& D, double& Dl,
            double& Dv, double x[20], double y[20], double& q, double& e, double& h, double& cv,
            double& cp, double& w, int& ierr, std::string& herr);
void TEFLSH(double T, double e, const double z[20], int kr, double& P, double& D, double& Dl,
            double& Dv, double x[20], double y[20], double& q, double& h, double& s, double& cv,
            double& cp, double& w, int& ierr, std::string& herr);
// Single-phase density at given T and h, s or e, searched between Dmin and
// Dmax (0: no bound).
void THFL1(double T, double h, const double z[20], double Dmin, double Dmax, double& D, int& ierr,
           std::string& herr);
void TSFL1(double T, double s, const double z[20], double Dmin, double Dmax, double& D, int& ierr,
           std::string& herr);
void TEFL1(double T, double e, const double z[20], double Dmin, double Dmax, double& D, int& ierr,
           std::string& herr);
// Two-phase states at given T; ksat as for the pressure pairs (pressures in
// place of temperatures).
void THFL2(double T, double h, const double z[20], int ksat, double& Pbub, double& Pdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& P, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr);
void TSFL2(double T, double s, const double z[20], int ksat, double& Pbub, double& Pdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& P, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr);
void TEFL2(double T, double e, const double z[20], int ksat, double& Pbub, double& Pdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& P, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr);

// State at given density and enthalpy, entropy or internal energy.
void DHFLSH(double D, double h, const double z[20], double& T, double& P, double& Dl, double& Dv,
            double x[20], double y[20], double& q, double& e, double& s, double& cv, double& cp,
            double& w, int& ierr, std::string& herr);
void DSFLSH(double D, double s, const double z[20], double& T, double& P, double& Dl, double& Dv,
            double x[20], double y[20], double& q, double& e, double& h, double& cv, double& cp,
            double& w, int& ierr, std::string& herr);
void DEFLSH(double D, double e, const double z[20], double& T, double& P, double& Dl, double& Dv,
            double x[20], double y[20], double& q, double& h, double& s, double& cv, double& cp,
            double& w, int& ierr, std::string& herr);
// Single-phase temperature at given D and h, s or e.
void DHFL1(double D, double h, const double z[20], double& T, int& ierr, std::string& herr);
void DSFL1(double D, double s, const double z[20], double& T, int& ierr, std::string& herr);
void DEFL1(double D, double e, const double z[20], double& T, int& ierr, std::string& herr);
// Two-phase states at given D.
void DHFL2(double D, double h, const double z[20], double& T, double& P, double& Dl, double& Dv,
           double x[20], double y[20], double& q, int& ierr, std::string& herr);
void DSFL2(double D, double s, const double z[20], double& T, double& P, double& Dl, double& Dv,
           double x[20], double y[20], double& q, int& ierr, std::string& herr);
void DEFL2(double D, double e, const double z[20], double& T, double& P, double& Dl, double& Dv,
           double x[20], double y[20], double& q, int& ierr, std::string& herr);

// Saturated or two-phase state from the vapour fraction q and T, P or D.
// TQFLSH: kq 1 molar, any other value mass quality; PQFLSH and DQFL2: kq 2
// mass, any other value molar quality (the same for a pure fluid).
void TQFLSH(double T, double q, const double z[20], int kq, double& P, double& D, double& Dl,
            double& Dv, double x[20], double y[20], double& e, double& h, double& s, double& cv,
            double& cp, double& w, int& ierr, std::string& herr);
void PQFLSH(double P, double q, const double z[20], int kq, double& T, double& D, double& Dl,
            double& Dv, double x[20], double y[20], double& e, double& h, double& s, double& cv,
            double& cp, double& w, int& ierr, std::string& herr);
// Two-phase forms of the quality flashes; ksat kSaturationGiven: the bubble and dew values
// are given, otherwise computed and returned.
void TQFL2(double T, double q, const double z[20], int kq, int ksat, double& Pbub, double& Pdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& P, double& Dl,
           double& Dv, double x[20], double y[20], int& ierr, std::string& herr);
void PQFL2(double P, double q, const double z[20], int kq, int ksat, double& Tbub, double& Tdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& T, double& Dl,
           double& Dv, double x[20], double y[20], int& ierr, std::string& herr);
void DQFL2(double D, double q, const double z[20], int kq, double& T, double& P, double& Dl,
           double& Dv, double x[20], double y[20], int& ierr, std::string& herr);

// Saturation state one of whose phase densities equals D: kr tells the
// boundary (1 saturated liquid, 2 saturated vapour, 3 melting line, 4
// sublimation line).  kph -1 skips the first method (and for water asks for
// the liquid on the cold side of its density maximum); 1 and 3 select the
// liquid or the melting line of water.  Errors 2, 160, 161 and the range codes.
void SATD(double D, const double x[20], int kph, int& kr, double& T, double& P, double& Dl,
          double& Dv, double xl[20], double xv[20], int& ierr, std::string& herr);

// One variable of the library's records by its name (lower case, e.g.
// "tcrit", "ntermf", "afeq", "fprkij"): iset 1 writes it from hstr, ilng,
// dbl or arr (by its kind), any other value reads it into them; arrays hold
// up to 56 values.  Errors 1 (name not recognised), 2 (|icomp| or |jcomp|
// above 20: nothing read or written), 3 (a term count the tables cannot hold).
void PASSCMN(const std::string& hvr, int iset, int icomp, int jcomp, std::string& hstr, int& ilng,
             double& dbl, double arr[], int& ierr, std::string& herr);

// Temperature at density d on the ideal curve (Z = 1), the Boyle curve, the
// Joule-Thomson inversion curve and the Joule inversion curve of a pure
// fluid (component 1, or 2 when x(2) = 1); t in: start value (<= 0: the
// curve's own).  Errors 1 (not pure), 2 (d <= 0), 3 (a non-positive
// temperature reached), 4 (no convergence); t = 0 on every error.
void IDCRV(double d, const double x[20], double& t, int& ierr, std::string& herr);
void BLCRV(double d, const double x[20], double& t, int& ierr, std::string& herr);
void JTCRV(double d, const double x[20], double& t, int& ierr, std::string& herr);
void JICRV(double d, const double x[20], double& t, int& ierr, std::string& herr);

// Saturation states whose phase enthalpy (SATH), internal energy (SATE) or
// entropy (SATS, up to three roots) equals the given value: nroot, and per
// root its kind (1 liquid, 2 vapour, 3 melting, 4 sublimation), T, P and the
// density of that phase; kph 0 all roots or the kind wanted.  Errors 1 (no
// root of that kind, SATS), 2/4/8 (below the minimum, above the maximum,
// above the sublimation value), 160, 161/162 (a root that did not converge:
// T = P = D = 0).
void SATH(double h, const double x[20], int kph, int& nroot, int& k1, double& T1, double& P1,
          double& D1, int& k2, double& T2, double& P2, double& D2, int& ierr, std::string& herr);
void SATE(double e, const double x[20], int kph, int& nroot, int& k1, double& T1, double& P1,
          double& D1, int& k2, double& T2, double& P2, double& D2, int& ierr, std::string& herr);
void SATS(double s, const double x[20], int kph, int& nroot, int& k1, double& T1, double& P1,
          double& D1, int& k2, double& T2, double& P2, double& D2, int& k3, double& T3, double& P3,
          double& D3, int& ierr, std::string& herr);
// Largest saturated-vapour enthalpy (mode 1: internal energy) and its T.
void EHMAXX(const double x[20], int mode, double& vmax, double& Tvmax, int& ierr,
            std::string& herr);
// Extremes of the saturated-vapour entropy: nearest the critical point, nearest
// the lower limit, melting side (T = -1: none).
void SMAXX(const double x[20], double& s1, double& T1, double& s2, double& T2, double& s3,
           double& T3, int& ierr, std::string& herr);
// State at given enthalpy and entropy (ESFLSH: internal energy and entropy;
// its h output is the enthalpy).  Error 200 for a mixture in the two-phase
// band; HSFL1 is the single-phase solver (T in: start value, <= 0 Tc).
void HSFLSH(double h, double s, const double z[20], double& T, double& P, double& D, double& Dl,
            double& Dv, double x[20], double y[20], double& q, double& e, double& cv, double& cp,
            double& w, int& ierr, std::string& herr);
void ESFLSH(double e, double s, const double z[20], double& T, double& P, double& D, double& Dl,
            double& Dv, double x[20], double y[20], double& q, double& h, double& cv, double& cp,
            double& w, int& ierr, std::string& herr);
void HSFL1(double h, double s, const double z[20], double Dmin, double Dmax, double& T, double& D,
           int& ierr, std::string& herr);

// Critical-flow factor of a nozzle from stagnation T, P and inlet velocity v
// (m/s): Cs and the throat T, D, P and speed of sound.  Errors 200 (no
// convergence), 201 (the throat state may be two-phase).
void CSTAR(double T, double P, double v, const double x[20], double& Cs, double& Ts, double& Ds,
           double& Ps, double& ws, int& ierr, std::string& herr);

// ---------------------------------------------------------------------------
// Transport, surface tension, dielectric constant
// ---------------------------------------------------------------------------

// Viscosity eta (uPa s) and thermal conductivity tcx (W/(m K)) at T (K) and
// D (mol/L).  -9999910: the fluid has no model for the property (ierr may
// be 0); -9999990: not computed (always with ierr != 0).  Errors 1 (inputs),
// 40 (no transport model), 45 (no physical value), 50 (mixture class without
// transport equations), 51 (exactly critical: tcx not computed), 39/49
// (model codes), 55/56 (no corresponding-states model or mixture model);
// warnings -30-k, -40-k, -50-k (inputs outside the correlations' ranges, k
// the sum of the range flags), -52/-53 (the ECS model used instead), -54,
// -1, -48, -58, -59, -60 (corresponding-states route).
void TRNPRP(double T, double D, const double x[20], double& eta, double& tcx, int& ierr,
            std::string& herr);

// Surface tension (N/m) at T (K) of a liquid of composition x and density Dl
// (mol/L) in equilibrium with a vapour of composition y and density Dv; a
// pure fluid's value needs T alone.  Mixture rules "STX", "STM" (fugacity
// fractions of the liquid and the critical mixture that has them) and
// "STH" (the phases' density-weighted composition).  Errors 1 (inputs), 45
// (a mixture whose component's fit is below zero next to its critical
// temperature; a pure fluid gets 0 there), 99 (no model), 121 (T
// above the critical temperature), 160 (critical point or fugacities);
// sigma is -9999990 with every error.
void STN(double T, double Dl, double Dv, const double x[20], const double y[20], double& sigma,
         int& ierr, std::string& herr);
// Surface tension at the bubble point of liquid x at T (SATT), and that
// liquid's density Dl.  Errors 1 (T below the correlations' lower limit),
// the hard limit flags, the errors of SATT and of STN; warnings k - 20 for
// soft limit flags k.
void SURFT(double T, const double x[20], double& Dl, double& sigma, int& ierr, std::string& herr);
// Surface tension of the given phases; a mixture whose densities are not
// both positive takes its bubble point at T.  Reports as SURFT.
void SURTEN(double T, double Dl, double Dv, const double x[20], const double y[20], double& sigma,
            int& ierr, std::string& herr);

// Static dielectric constant of component icomp at T (K) and D (mol/L):
// exactly 1 below 1e-12 mol/L.  Errors 1 (inputs), 45 (no physical value),
// 99 (no model); de is -9999990 with every error.
void DEK(int icomp, double T, double D, double& de, int& ierr, std::string& herr);
// The same for composition x: a mixture combines the Kirkwood functions of
// its components at equal reduced density by volume fractions ("DEX",
// "DEM").  A component's error is returned with de = -9999990.
void DIELEC(double T, double D, const double x[20], double& de, int& ierr, std::string& herr);

}  // namespace lib
