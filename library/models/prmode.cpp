// The Peng-Robinson mode of the library (PREOS) and the estimates of the
// binary interaction parameters from chemical families (ESTPR).
#include <array>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/hmxrecords.h"
#include "library/models/pr.h"
#include "library/phase/envelope.h"
#include "library/phase/records.h"
#include "library/phase/satcheb.h"
#include "library/setup/modelgen.h"
#include "library/setup/records.h"

namespace lib {

PrhsavRecord PRHSAV;

namespace {

const Code kPr("PR ");

bool blank(const Code& c) { return c.empty_code() || c.is("   "); }

void reference_state() {
    std::string hrf = "DEF", herr;
    int ierr = 0;
    const double x0[20] = {};
    SETREF(hrf, 1, x0, 0.0, 0.0, 0.0, 0.0, ierr, herr);
}

// Group of a component by family and CAS number (first match wins).  The
// families of the fluid texts are matched besides the spellings of the
// group table: "cycloalkane" (naphthenes) and "alkene".
int group(int i) {
    const std::string fam(trim_right(FAML.family[i]));
    const std::string cas(trim_right(CCAS[i]));
    const bool alkane = fam == "br-alkane" || fam == "n-alkane";
    if (alkane && CCON.wm[i] < 227.0) return 1;
    if (alkane) return 5;
    if (fam == "napthene" || fam == "naphthene" || fam == "cycloalkane") return 2;
    if (fam == "br-alkene" || fam == "n-alkene" || fam == "alkene") return 3;
    if (fam == "aromatic") return 4;
    if (cas == "124-38-9") return 6;
    if (cas == "7727-37-9") return 7;
    if (cas == "7783-06-4") return 8;
    if (cas == "74-86-2") return 9;
    if (fam == "other") return 10;
    return 0;
}

constexpr int kGroups[12][12] = {
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},    {0, 1, 1, 2, 3, 4, 5, 7, 8, 10, 0, 0},
    {0, 1, 1, 0, 3, 0, 5, 0, 0, 0, 0, 0},    {0, 2, 0, 2, 3, 4, 6, 7, 8, 9, 0, 0},
    {0, 3, 3, 3, 3, 0, 6, 7, 12, 11, 0, 0},  {0, 4, 0, 4, 0, 0, 4, 0, 0, 0, 0, 0},
    {0, 5, 5, 6, 6, 4, 0, 12, 13, 0, 0, 0},  {0, 7, 0, 7, 7, 0, 12, 0, 14, 0, 0, 0},
    {0, 8, 0, 8, 12, 0, 13, 14, 0, 0, 0, 0}, {0, 10, 0, 9, 11, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
};

// c1..c5 of each row, held as single-precision values widened to double.
constexpr float kCoef[14][5] = {
    {1.041f, 0.11f, -0.0403f, 0.0367f, 0.0f},   {1.017f, -0.417f, -0.0124f, 0.0852f, 0.0f},
    {1.025f, 0.317f, -0.0385f, -0.0258f, 0.0f}, {0.823f, 0.0f, 0.0673f, 0.0f, -0.0051f},
    {0.883f, 0.0f, 0.0023f, 0.0f, 0.0f},        {0.948f, 0.0f, -0.0084f, 0.0f, 0.0f},
    {0.982f, 0.0f, -0.0241f, 0.0f, 0.0f},       {0.907f, 0.0f, 0.0109f, 0.0f, 0.0f},
    {1.09f, 0.0f, -0.1435f, 0.0f, 0.0f},        {0.855f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.965f, 0.0f, 0.0f, 0.0f, 0.0f},           {1.016f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.894f, 0.0f, 0.0f, 0.0f, 0.0f},           {0.848f, 0.0f, 0.0f, 0.0f, 0.0f},
};

void store(int i, int j, double kij) {
    CFXPR.k(i, j)[0] = kij;
    CFXPR.k(j, i)[0] = kij;
}

}  // namespace

void PREOS(int& iflag) {
    FSHSAV.tst = FSHSAV.pst = 0;
    if (iflag == -1) {
        iflag = EOSMOD.mix == kPr ? 1 : 0;
        return;
    }
    const ModelsChange change;
    // The equations change: saturation expansions, phase envelopes and the
    // fixed points of the boundary (the extremes SATH and SATS search)
    // built on the old ones no longer belong to the slots.
    satcheb::forget_slots();
    mix::forget_envelopes();
    FXPNT = FxpntRecord{};
    if (iflag == 1 || iflag == 2) {
        if (!(EOSMOD.mix == kPr)) PRHSAV.mix = EOSMOD.mix;
        for (int i = 1; i <= kMaxComp; ++i) {
            if (!(EOSMOD.eos[i] == kPr)) PRHSAV.slot[static_cast<std::size_t>(i)] = EOSMOD.eos[i];
            EOSMOD.eos[i] = kPr;
        }
        EOSMOD.mix = kPr;
        REFST.mix = Code("   ");
    } else {
        if (blank(PRHSAV.mix)) return;
        for (int i = 1; i <= kMaxComp; ++i) {
            const Code& saved = PRHSAV.slot[static_cast<std::size_t>(i)];
            if (!blank(saved)) EOSMOD.eos[i] = saved;
        }
        EOSMOD.mix = PRHSAV.mix;
        REFST.mix = Code("   ");
        PRHSAV.mix = Code("   ");
    }
    reference_state();
}

void ESTPR(int i, int j, int /*k*/, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    if (i < 1 || j < 1 || i > kMaxComp || j > kMaxComp) return;
    CFXPR.k(i, j) = {};
    CFXPR.k(j, i) = {};
    if (i == j) return;
    const int n = kGroups[group(i)][group(j)];
    if (n == 0) {
        store(i, j, 0.0);
        ierr = -117;
    } else {
        const float* c = kCoef[n - 1];
        const double dw = std::fabs(WCFPR.acf[i] - WCFPR.acf[j]);
        double r = CCON.dc[j] > 0.0 ? CCON.dc[i] / CCON.dc[j] : 1.0;
        if (r < 1.0 && r > 0.0) r = 1.0 / r;
        store(i, j,
              1.0 - (double(c[0]) + double(c[1]) * dw + (double(c[2]) + double(c[3]) * dw) * r +
                     double(c[4]) * r * r));
    }
    const std::string ci(trim_right(CCAS[i])), cj(trim_right(CCAS[j]));
    if (ci == "1333-74-0" || cj == "1333-74-0") {
        const int m = ci == "1333-74-0" ? j : i;
        const double w = WCFPR.acf[m];
        const double tr = CCON.tc[m] > 0.0 ? CCON.tnbp[m] / CCON.tc[m] : 1.0;
        store(i, j,
              (0.1805 + 3.21 * w + 2.437 * w * w) - (0.1323 + 0.5507 * w + 3.5994 * w * w) / tr);
        ierr = 0;
    }
    const bool wi = ci == "7732-18-5", wj = cj == "7732-18-5";
    const int other = wi ? j : wj ? i : 0;
    if (other != 0 && trim_right(FAML.family[other]) == "n-alkane") {
        const int N = (static_cast<int>(CCON.wm[other]) - 2) / 14;
        store(i, j, 0.5 - (N - 2) * 0.00834);
        ierr = 0;
    }
    if (ierr == -117)
        fail(-117,
             "[SETUP error -117] Binary interaction parameters are not presently available for "
             "this mixture; calculations will be made assuming ideal solution behavior. ",
             ierr, herr);
}

}  // namespace lib
