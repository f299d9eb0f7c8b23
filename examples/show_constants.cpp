// show_constants <fluid>: sets a built-in fluid up and prints its constants
// and the properties of one state.
#include <cstdio>
#include <string>

#include "library/library.h"

int main(int argc, char** argv) {
    const std::string name = argc > 1 ? argv[1] : "water";
    int ierr = 0;
    std::string herr;
    std::string hrf = "DEF";
    lib::SETUP0(1, name, "hmx", hrf, ierr, herr);
    if (ierr > 0) {
        std::fprintf(stderr, "%s\n", herr.c_str());
        return 1;
    }
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    std::printf("fluid                  %s\n", name.c_str());
    std::printf("molar mass             %.6f g/mol\n", wm);
    std::printf("triple point           %.4f K\n", ttp);
    std::printf("normal boiling point   %.4f K\n", tnbp);
    std::printf("critical temperature   %.4f K\n", tc);
    std::printf("critical pressure      %.4f kPa\n", pc);
    std::printf("critical density       %.6f mol/L\n", dc);
    std::printf("critical compressibility %.6f\n", zc);
    std::printf("acentric factor        %.5f\n", acf);
    std::printf("dipole moment          %.4f debye\n", dip);
    std::printf("gas constant           %.6f J/(mol K)\n", rgas);

    const double x[20] = {1.0};
    const double T = 1.25 * tc, D = 0.5 * dc;
    double P, e, h, s, cv, cp, w, hjt;
    lib::THERM(T, D, x, P, e, h, s, cv, cp, w, hjt);
    std::printf("\nstate at T = %.4f K, D = %.6f mol/L\n", T, D);
    std::printf("pressure               %.6f kPa\n", P);
    std::printf("internal energy        %.4f J/mol\n", e);
    std::printf("enthalpy               %.4f J/mol\n", h);
    std::printf("entropy                %.6f J/(mol K)\n", s);
    std::printf("cv                     %.6f J/(mol K)\n", cv);
    std::printf("cp                     %.6f J/(mol K)\n", cp);
    std::printf("speed of sound         %.4f m/s\n", w);
    std::printf("Joule-Thomson coeff.   %.6e K/kPa\n", hjt);
    return 0;
}
