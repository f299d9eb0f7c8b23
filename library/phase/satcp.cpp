// Saturation heat capacities: csat = cp - T (dv/dT)_P dPsat/dT along either
// saturation line, the Clausius-Clapeyron slope, and the two-phase cv.
#include "library/phase/satcp.h"

#include "library/library.h"
#include "library/phase/satt.h"
#include "library/setup/records.h"

namespace lib {
namespace {

// Selects one component as the pure fluid for the length of a call.
class SelectComponent {
public:
    explicit SelectComponent(int icomp) : saved_(NCOMP.ic) { NCOMP.ic = icomp; }
    ~SelectComponent() { NCOMP.ic = saved_; }
    SelectComponent(const SelectComponent&) = delete;
    SelectComponent& operator=(const SelectComponent&) = delete;

private:
    int saved_;
};

struct Sat {
    double P = 0, Dl = 0, Dv = 0;
};

bool valid_component(const char* routine, int icomp, int& ierr, std::string& herr) {
    if (icomp >= 1 && icomp <= NCOMP.nc) return true;
    fail(1, routine, "component number out of range; icomp =" + fmt_int(icomp, 3), ierr, herr);
    return false;
}

void no_liquid(const char* routine, int& ierr, std::string& herr) {
    fail(1, routine, "saturated liquid density is not positive", ierr, herr);
}

// (hl - hv)/(1/Dl - 1/Dv): the latent heat over the volume change, kPa.
double latent_ratio(double T, const Sat& s, const double z[20]) {
    double hl = 0, hv = 0;
    ENTHAL(T, s.Dl, z, hl);
    ENTHAL(T, s.Dv, z, hv);
    return (hl - hv) / (1.0 / s.Dl - 1.0 / s.Dv);
}

// (dP/dT)_D / (dP/dD)_T / D^2 and cp at (T, D) of component icomp.
double expansion_term(int icomp, double T, double D, const double z[20], double& cp) {
    double dpdt = 0, dpdd = 0, cv = 0;
    DPDT(T, D, z, dpdt);
    DPDD(T, D, z, dpdd);
    CVCPK(icomp, T, D, cv, cp);
    return dpdt / dpdd / (D * D);
}

void csat_at(const char* routine, int icomp, double T, int kph, double& P, double& D, double& csat,
             double& dpsdt, int& ierr, std::string& herr) {
    P = D = csat = dpsdt = 0.0;
    ierr = 0;
    herr.clear();
    if (!valid_component(routine, icomp, ierr, herr)) return;
    SelectComponent select(icomp);
    double z[20] = {}, xl[20], xv[20];
    z[icomp - 1] = 1.0;
    Sat s;
    SATT(T, z, kph, s.P, s.Dl, s.Dv, xl, xv, ierr, herr);
    if (ierr > 0) return;
    if (!(s.Dl > 0.0)) return no_liquid(routine, ierr, herr);
    const double ratio = latent_ratio(T, s, z);
    D = kph == kVapour ? s.Dv : s.Dl;
    double cp = 0;
    const double term = expansion_term(icomp, T, D, z, cp);
    csat = cp - term * ratio;
    dpsdt = ratio / T;
    P = s.P;
}

}  // namespace

void CSATK(int icomp, double T, int kph, double& P, double& D, double& csat, int& ierr,
           std::string& herr) {
    double dpsdt = 0;
    csat_at("CSATK", icomp, T, kph, P, D, csat, dpsdt, ierr, herr);
}

void DPTSATK(int icomp, double T, int kph, double& P, double& D, double& csat, double& dpsdt,
             int& ierr, std::string& herr) {
    csat_at("DPTSATK", icomp, T, kph, P, D, csat, dpsdt, ierr, herr);
}

void CV2PK(int icomp, double T, double& D, double& cv2p, double& csat, int& ierr,
           std::string& herr) {
    cv2p = csat = 0.0;
    ierr = 0;
    herr.clear();
    if (!valid_component("CV2PK", icomp, ierr, herr)) return;
    SelectComponent select(icomp);
    double z[20] = {}, xl[20], xv[20];
    z[icomp - 1] = 1.0;
    Sat s0, sp, sm;
    SATT(T, z, kBubblePoint, s0.P, s0.Dl, s0.Dv, xl, xv, ierr, herr);
    if (ierr > 0) return;
    int jerr = 0;
    std::string jmsg;
    SATT(T + 0.01, z, kBubblePoint, sp.P, sp.Dl, sp.Dv, xl, xv, jerr, jmsg);
    if (jerr > 0) {
        ierr = jerr;
        herr = jmsg;
        return;
    }
    SATT(T - 0.01, z, kBubblePoint, sm.P, sm.Dl, sm.Dv, xl, xv, jerr, jmsg);
    if (jerr > 0) {
        ierr = jerr;
        herr = jmsg;
        return;
    }
    if (!(s0.Dl > 0.0)) return no_liquid("CV2PK", ierr, herr);
    if (D <= 0.0) D = s0.Dl;
    const double dpsdt = latent_ratio(T, s0, z) / T;
    double cp = 0;
    const double term = expansion_term(icomp, T, s0.Dl, z, cp);
    csat = cp - term * dpsdt * T;
    cv2p = T * (1.0 / D - 1.0 / s0.Dl) * (sp.P + sm.P - 2.0 * s0.P) / 0.0001 +
           (T / (s0.Dl * s0.Dl)) * ((sp.Dl - sm.Dl) / 0.02) * dpsdt + csat;
}

}  // namespace lib
