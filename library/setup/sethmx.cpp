// SETHMX with the estimates of missing pairs (ESTBNC, ESTTC, ESTVC): the
// set-up of the multi-fluid mixture model from the mixture-parameter text.
#include "library/setup/sethmx.h"

#include <cmath>
#include <string_view>

#include "library/library.h"
#include "library/models/hmx.h"
#include "library/models/pr.h"
#include "library/models/records.h"
#include "library/phase/envelope.h"
#include "library/setup/modelgen.h"
#include "library/setup/openfl.h"
#include "library/setup/records.h"
#include "library/setup/sethmx_kept.h"
#include "library/setup/textstore.h"
#include "library/transport/records.h"

namespace lib {

namespace {

// CAS numbers of the fluids for which no estimate of mixing parameters is
// possible: water, heavy water, ammonia, helium, hydrogen, deuterium,
// parahydrogen, methanol, ethanol, fluorine, neon, nitrogen trifluoride.
constexpr std::string_view kNoEstimate[] = {"7732-18-5", "7789-20-0", "7664-41-7",  "7440-59-7",
                                            "1333-74-0", "7782-39-0", "1333-74-0p", "67-56-1",
                                            "64-17-5",   "7782-41-4", "7440-01-9",  "7783-54-2"};
constexpr std::string_view kAlcohols[] = {"67-56-1", "64-17-5", "71-23-8", "67-63-0",
                                          "71-36-3", "78-83-1", "78-92-2"};
constexpr std::string_view kWater = "7732-18-5";
constexpr std::string_view kAmmonia = "7664-41-7";

std::string_view cas(int i) { return trim_right(CCAS[i]); }

// Status rule: a new status replaces the one held unless an error is held.
void take_over(int& ierr, std::string& herr, int jerr, const std::string& jmsg) {
    if (jerr != 0 && ierr <= 0) {
        ierr = jerr;
        herr = jmsg;
    }
}

// The errors of the ammonia + water rule say why the mixture cannot be
// evaluated at all: they replace any status held but each other.
void prefer(int& ierr, std::string& herr, int jerr, const std::string& jmsg) {
    if (ierr != 106 && ierr != 107) {
        ierr = jerr;
        herr = jmsg;
    }
}

// Everything of every pair back to nothing (pairs beyond nc included).
void clear_all_pairs() {
    MIXMOD = MixmodRecord{};
    CFIHMX = CfihmxRecord{};
    CFXHMX = CfxhmxRecord{};
    CF2HMX = Cf2hmxRecord{};
    CRTMOD = CrtmodRecord{};
    CFXCRT = CfxcrtRecord{};
    PRMOD = PrmodRecord{};
    CFXPR = CfxprRecord{};
    TRNBIN = TrnbinRecord{};
    for (PairTable<Code>* t : {&MIXMOD.code, &CRTMOD.tc, &CRTMOD.vc, &PRMOD.code})
        t->v.fill(Code("   "));
    for (auto& s : MXINFO.source) s.clear();
    for (auto& s : MXINF1.comment) s.clear();
    for (int i = 1; i <= kMaxComp; ++i) {
        MIXMOD.code(i, i) = Code("i=j");
        CRTMOD.tc(i, i) = Code("i=j");
        CRTMOD.vc(i, i) = Code("i=j");
        PRMOD.code(i, i) = Code("   ");
    }
}

// The fluid indices of FLAGS2 (water and the last alcohol present).
void set_fluid_indices(int nc) {
    FLAGS2.water_index = 0;
    FLAGS2.alcohols = 0;
    for (int i = 1; i <= nc; ++i) {
        if (cas(i) == kWater) FLAGS2.water_index = i;
        for (std::string_view a : kAlcohols)
            if (cas(i) == a) FLAGS2.alcohols = i;
    }
}

// Estimated "LJ6" pairs with unit exponents and no departure weight become
// "KW0" pairs with the same reducing functions.
void convert_estimates(int nc) {
    for (int i = 1; i < nc; ++i) {
        for (int j = i + 1; j <= nc; ++j) {
            if (!MIXMOD.code(i, j).is("LJ6")) continue;
            const auto& p = CFXHMX.p(i, j);
            if (p[3] != 1.0 || p[4] != 1.0 || p[2] != 0.0) continue;
            const double ti = ZRED.tred[i], tj = ZRED.tred[j];
            const double ri = ZRED.dred[i], rj = ZRED.dred[j];
            const double vcij = std::pow(std::cbrt(1.0 / ri) + std::cbrt(1.0 / rj), 3) / 8.0;
            const double gt = (ti + tj + p[0]) / (2.0 * std::sqrt(ti * tj));
            const double gv = (1.0 / ri + 1.0 / rj + p[1]) / 2.0 / vcij;
            for (auto [a, b] : {std::pair{i, j}, std::pair{j, i}}) {
                CFXHMX.p(a, b) = {1.0, gt, 1.0, gv, 0.0, 0.0};
                CF2HMX.c(a, b) = {1.0, 1.0, 1.0, 1.0, 0.0, 0.0};
                MIXMOD.code(a, b) = Code("KW0");
            }
        }
    }
}

// "TR1" is the ammonia + water rule of a binary mixture: FLAGS2 receives
// the position of ammonia.  Errors 106 (other components) and 107 (more
// than two components) for any pair that carries it.
void check_tr1(int nc, int& ierr, std::string& herr) {
    for (int i = 1; i < nc; ++i) {
        for (int j = i + 1; j <= nc; ++j) {
            if (!MIXMOD.code(i, j).is("TR1")) continue;
            if (cas(i) == kAmmonia && cas(j) == kWater) {
                FLAGS2.ammonia_water = i;
            } else if (cas(i) == kWater && cas(j) == kAmmonia) {
                FLAGS2.ammonia_water = j;
            } else {
                int jerr = 0;
                std::string jmsg;
                fail(106, "SETMHX", "Wrong components; model TR1 valid for ammonia + water only",
                     jerr, jmsg);
                prefer(ierr, herr, jerr, jmsg);
            }
            if (nc != 2) {
                int jerr = 0;
                std::string jmsg;
                fail(107, "SETMHX",
                     "Wrong number of components; model TR1 valid for binary mixtures only", jerr,
                     jmsg);
                prefer(ierr, herr, jerr, jmsg);
            }
        }
    }
}

}  // namespace

void SETHMX(const std::string& hfmix, int& ierr, std::string& herr) {
    const ModelsChange change;
    ierr = 0;
    herr.clear();
    if (restore_kept_mixing_rules(hfmix, ierr, herr)) return;
    const int nc = NCOMP.nc;
    clear_all_pairs();
    MXINFO.source[0] = hfmix;
    hmx_forget_all();
    mix::forget_envelopes();
    FLAGS2.ammonia_water = 0;
    auto stop = [&](int code, std::string_view text) {
        fail(code, "SETHMX", text, ierr, herr, kNoNumber);
        hmx_prepare();
    };
    const std::string_view head = std::string_view(hfmix).substr(0, 5);
    if (head == "BDATA" || head == "bdata") return stop(1, "Block data option not available");
    int k = 0;
    {
        int jerr = 0;
        std::string jmsg;
        OPENFL(k, hfmix, jerr, jmsg);
        if (jerr != 0) return stop(111, "Error in opening mixture file");
    }
    std::string_view ln;
    if (!next_line(k, ln) ||
        !(Code(ln.substr(0, std::min<std::size_t>(3, ln.size()))) == EOSMOD.mix))
        return stop(1, "Mixture file does not match model");
    if (!next_line(k, ln)) return stop(1, "Mixture file does not match model");
    int version = 0;
    read_ints(ln.substr(0, std::min<std::size_t>(2, ln.size())), &version, 1);
    HMXFLG = version;

    // Every pair from its record, or estimated.
    int n = 0;
    for (int i = 1; i < nc; ++i) {
        for (int j = i + 1; j <= nc; ++j) {
            ++n;
            const auto q = static_cast<std::size_t>(n);
            MXINFO.source[q] = hfmix;
            int jerr = 0;
            std::string jmsg;
            RDBNC(k, i, j, n, jerr, jmsg);
            if (jerr != 0) {
                take_over(ierr, herr, jerr, jmsg);
                ESTBNC(i, j, n, jerr, jmsg);
                MXINFO.source[q] = "estimated by ESTBNC";
                take_over(ierr, herr, jerr, jmsg);
                ESTTC(i, j, jerr, jmsg);
                ESTVC(i, j, jerr, jmsg);
            }
            // Peng-Robinson interaction parameters of pairs without a "PR"
            // line: the estimate from chemical families (its -117 is kept
            // to itself: the pair's mixing terms are what the user needs).
            if (PRMOD.code(i, j).empty_code() || PRMOD.code(i, j).is("   ")) {
                int perr = 0;
                std::string pmsg;
                ESTPR(i, j, n, perr, pmsg);
            }
        }
    }

    PairFlags lflag;
    {
        int jerr = 0;
        std::string jmsg;
        RDMIX(k, 0, 0, Code("ALL"), lflag, jerr, jmsg);
        take_over(ierr, herr, jerr, jmsg);
    }
    bool missing = false;
    for (int i = 1; i < nc; ++i)
        for (int j = i + 1; j <= nc; ++j)
            if (lflag(i, j) == 0) missing = true;

    set_fluid_indices(nc);
    convert_estimates(nc);
    check_tr1(nc, ierr, herr);
    if (missing && std::abs(ierr) != 117 && ierr <= 0) {
        fail(-117,
             errtext("SETHMX", "error", "", "Mixing term not found for one or more binary pair(s)"),
             ierr, herr);
    }
    ILINE = 1;
    hmx_prepare();
    if (ierr <= 0) keep_mixing_rules(hfmix, ierr, herr);
}

void ESTBNC(int i, int j, int n, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    const auto q = static_cast<std::size_t>(n >= 1 && n <= kHmxPairs ? n : 0);
    auto set_code = [&] { MIXMOD.code(i, j) = MIXMOD.code(j, i) = Code("LJ6"); };
    for (std::string_view c : kNoEstimate) {
        if (cas(i) == c || cas(j) == c) {
            fail(117, "SETUP",
                 "Estimation of mixing parameters is not possible for most mixtures containing "
                 "water, heavy water, helium, hydrogen, parahydrogen, deuterium, neon, ammonia, "
                 "fluorine, methanol, or ethanol.",
                 ierr, herr);
            if (q > 0)
                MXINF1.comment[q] =
                    "Estimation of mixing parameters is not possible for this mixture.";
            set_code();
            return;
        }
    }
    fail(-117, "SETUP",
         "No mixture data are available for one or more binary pairs in the specified mixture. "
         "The mixing parameters have been estimated.",
         ierr, herr);
    set_code();
    if (q > 0)
        MXINF1.comment[q] =
            "No mixture data are available for this binary pair. The mixing parameters have been "
            "estimated.";

    // The ratios of critical temperature, pressure and acentric factor of a
    // numerator component to the other.
    auto crit = [](int k) { return CCON.tc[k] / (CCON.pc[k] * CCON.acf[k]); };
    int a = 0, b = 0;
    if (std::fabs(CCON.dip[i] - CCON.dip[j]) < 1.0e-5)
        a = crit(i) <= crit(j) ? j : i;
    else
        a = CCON.dip[j] <= CCON.dip[i] ? j : i;
    b = a == i ? j : i;
    double rt = CCON.tc[a] / CCON.tc[b], rp = CCON.pc[a] / CCON.pc[b],
           rw = CCON.acf[a] / CCON.acf[b];
    double X = rt / rp / rw;
    if (X > 5.0 && std::fabs(rw) < 0.1 && rt > 0.75 && rt < 1.25) {
        rt = 1.0 / rt;
        rp = 1.0 / rp;
        rw = 1.0 / rw;
        X = rt / rp / rw;
    }
    double zeta = (40.4 - 25.03 * std::pow(2.0, X)) / rt;
    // A ratio that is not a number (an acentric factor of 0) counts as
    // beyond the range of the estimate.
    const bool finite = std::isfinite(zeta);
    if (!finite || std::fabs(zeta) > 200.0) {
        if (!finite || std::fabs(zeta) > 500.0) zeta = (finite && zeta > 0.0) ? 500.0 : -500.0;
        fail(117, "SETUP",
             "No mixture data are available for one or more binary pairs in the specified "
             "mixture. The mixture is outside the range of the model and calculations will not "
             "be made.",
             ierr, herr);
    }
    for (auto [p, r] : {std::pair{i, j}, std::pair{j, i}})
        CFXHMX.p(p, r) = {zeta, 0.0, 0.0, 1.0, 1.0, 0.0};
}

void ESTTC(int i, int j, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    for (auto [a, b] : {std::pair{i, j}, std::pair{j, i}}) {
        CRTMOD.tc(a, b) = Code("TC1");
        for (int k = 0; k < 11; ++k) CFXCRT.c(a, b)[k] = 0.0;
    }
}

void ESTVC(int i, int j, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    for (auto [a, b] : {std::pair{i, j}, std::pair{j, i}}) {
        CRTMOD.vc(a, b) = Code("VC1");
        for (int k = 11; k < 22; ++k) CFXCRT.c(a, b)[k] = 0.0;
    }
}

}  // namespace lib
