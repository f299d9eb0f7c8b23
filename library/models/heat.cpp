// HEAT and ENTHHC: gross and net heating values of a fuel at a given
// temperature, from the components' chemical formulas and stored heating
// values at 25 C and the enthalpies of the combustion species.
#include <cmath>
#include <string>
#include <string_view>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/setup/records.h"

namespace lib {

namespace {

constexpr double kT0 = 298.15;        // K, temperature of the stored heating values
constexpr double kTcWater = 647.096;  // K
constexpr double kNoHeatingValue = -1.0;

enum Species { kLiquidWater = 0, kWaterVapour, kOxygen, kCarbonDioxide, kNitrogen, kSulfurDioxide };

// Ideal-gas enthalpy of a combustion species: h/R = sum c_j T^(t_j+1)/(t_j+1)
// + sum v theta (e^(theta/T) + 1)/(2 (e^(theta/T) - 1)) (+ C with its
// constant).
struct GasSpecies {
    double R;
    int npow;
    double c[4];
    int npe;
    double v[5], theta[5];
    double C;
};
const GasSpecies kGas[] = {
    {8.314371357587,
     1,
     {4.00632},
     5,
     {0.012436, 0.97315, 1.2795, 0.96956, 0.24873},
     {833, 2289, 5009, 5982, 17800},
     -5112.429679950898},
    {8.31434,
     1,
     {3.51808732},
     5,
     {1.02323928, 0.784357918, 0.00337183363, -0.0170864084, 0.0463751562},
     {2246.3244, 11259.9763, 1201.26209, 69.0089445, 5328.05445},
     -5691.883187231004},
    {8.31451,
     1,
     {3.5},
     5,
     {1.99427042, 0.621052475, 0.411952928, 1.04028922, 0.0832767753},
     {958.49956, 1858.80115, 2061.10114, 3443.89908, 8238.20035},
     -2536.05233543559},
    {8.31451,
     4,
     {3.5, 3.066469e-06, 4.70124e-09, -3.987984e-13},
     1,
     {1.012941},
     {3364.011},
     -1704.7618841081542},
    {8.314472, 2, {4.0, 7.2453e-05}, 2, {1.062, 1.9401}, {775, 1851}, -278.76916278736854},
};

double gas_h(const GasSpecies& g, double T, bool with_constant) {
    double h = 0.0, p = T;
    for (int j = 0; j < g.npow && T > 0.0; ++j, p *= T) h += g.c[j] * p / (j + 1);
    for (int l = 0; l < g.npe; ++l) {
        // (1/2) coth(theta/2T), 1/2 in the limit T -> 0.
        const double em = T > 0.0 ? std::expm1(g.theta[l] / T) : HUGE_VAL;
        h += g.v[l] * g.theta[l] * (std::isinf(em) ? 0.5 : 0.5 * (em + 2.0) / em);
    }
    if (with_constant) h += g.C;
    return g.R * h;
}

double liquid_water_h(double T) {
    constexpr double a[] = {89432.72, -61382.39, -44152.42, -10920.92, 67030.65, -176306.3};
    constexpr double b[] = {0.032, 0.078, 0.825, 4.0, 9.0, 12.0};
    const double y = 1.0 - T / kTcWater;
    double h = 0.0;
    for (int j = 0; j < 6; ++j) h += a[j] * std::pow(y, b[j]);
    return h;
}

// Atom counts of a chemical formula.
struct Atoms {
    int C = 0, H = 0, O = 0, N = 0, S = 0;
};

// The formula of a text's formula line: the sum formula between "{" and
// "}" when there is one, else everything before the first "!".
std::string formula_of(std::string_view line) {
    const std::size_t open = line.find('{');
    if (open != std::string_view::npos) {
        std::string_view rest = line.substr(open + 1);
        return std::string(rest.substr(0, rest.find('}')));
    }
    return std::string(line.substr(0, line.find('!')));
}

// Counts C, H, O, N and S element by element: each symbol is made two
// characters wide, the count that follows three (absent = 1); other
// symbols are passed over.  False when an element occurs twice.
bool count_atoms(std::string s, Atoms& a) {
    auto blank = [](const std::string& t) { return t.find_first_not_of(' ') == std::string::npos; };
    auto at = [](const std::string& t, std::size_t p) { return p < t.size() ? t[p] : ' '; };
    while (!blank(s)) {
        if (!std::islower(static_cast<unsigned char>(at(s, 1)))) s.insert(1, 1, ' ');
        for (std::size_t p = 2; p <= 4; ++p)
            if (!std::isdigit(static_cast<unsigned char>(at(s, p)))) s.insert(p, 1, ' ');
        int n = 0;
        for (std::size_t p = 2; p <= 4; ++p)
            if (std::isdigit(static_cast<unsigned char>(at(s, p)))) n = 10 * n + (at(s, p) - '0');
        if (n == 0) n = 1;
        int* slot = nullptr;
        if (at(s, 1) == ' ') {
            switch (at(s, 0)) {
                case 'C': slot = &a.C; break;
                case 'H': slot = &a.H; break;
                case 'O': slot = &a.O; break;
                case 'N': slot = &a.N; break;
                case 'S': slot = &a.S; break;
                default: break;
            }
        }
        if (slot != nullptr) {
            if (*slot != 0) return false;
            *slot = n;
        }
        s.erase(0, std::min<std::size_t>(5, s.size()));
    }
    return true;
}

}  // namespace

double ENTHHC(int k, double T1, double T2) {
    if (k == kLiquidWater) {
        if (T1 > kTcWater || T2 > kTcWater) return 0.0;
        return T2 >= 0.0 ? liquid_water_h(T1) - liquid_water_h(T2) : liquid_water_h(T1);
    }
    if (k < kWaterVapour || k > kSulfurDioxide || !(T1 > 0.0)) return 0.0;
    const GasSpecies& g = kGas[k - 1];
    if (T2 >= 0.0) return gas_h(g, T1, false) - gas_h(g, T2, false);
    return gas_h(g, T1, true);
}

void HEAT(double T, double /*D*/, const double x[20], double& hg, double& hn, int& ierr,
          std::string& herr) {
    hg = hn = 0.0;
    ierr = 0;
    herr.clear();
    const int ic = ISPURE(x);
    double h0 = 0.0, h = 0.0;
    ENTHAL(kT0, 0.0, x, h0);
    ENTHAL(T, 0.0, x, h);
    const double dh_fuel = h0 - h;
    auto dh = [&](int k) { return ENTHHC(k, kT0, T); };
    const double latent = ENTHHC(kWaterVapour, T, -1.0) - ENTHHC(kLiquidWater, T, -1.0);
    double sg = 0.0, sn = 0.0;
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) {
        // A component absent from x takes no part (the application asks for
        // one fuel component at a time).
        if (ic != i && !(x[i - 1] > 0.0)) continue;
        Atoms a;
        if (!count_atoms(formula_of(CNAM80.formula[i]), a)) {
            ierr = 1;
            herr = errtext("HEAT", 1, "Error in chemical formula") + HCHAR.eom;
            return;
        }
        if (std::fabs(HTCM[i] - kNoHeatingValue) < 1.0e-12) {
            ierr = 2;
            herr = errtext("HEAT", 2,
                           "Heating values are not available for all species in the mixture") +
                   HCHAR.eom;
            return;
        }
        const double o2 = a.C + a.H / 4.0 - a.O / 2.0 + a.S;
        const double g = 1000.0 * HTCM[i] - dh_fuel - o2 * dh(kOxygen) + a.C * dh(kCarbonDioxide) +
                         a.N / 2.0 * dh(kNitrogen) + a.S * dh(kSulfurDioxide) +
                         a.H / 2.0 * dh(kLiquidWater);
        const double n = g - a.H / 2.0 * latent;
        if (i == ic) {
            sg = g;
            sn = n;
            break;
        }
        sg += x[i - 1] * g;
        sn += x[i - 1] * n;
    }
    hg = sg;
    hn = sn;
}

}  // namespace lib
