// SETKTV, GETKTV and GETFIJ: the binary interaction parameters of the
// mixture model, read and changed after set-up.
#include <cmath>
#include <string_view>

#include "library/library.h"
#include "library/models/hmx.h"
#include "library/phase/envelope.h"
#include "library/phase/records.h"
#include "library/setup/modelgen.h"
#include "library/setup/openfl.h"
#include "library/setup/records.h"
#include "library/setup/sethmx.h"
#include "library/setup/textstore.h"

namespace lib {

namespace {

constexpr double kUnit = 1.0e-20;  // tolerance of "equals 1"

// Running number of pair (i, j) among (1,2), (1,3) .. (nc-1,nc); 0 for i = j.
int pair_number(int i, int j) {
    if (i == j) return 0;
    if (i > j) std::swap(i, j);
    int n = 0;
    for (int a = 1; a < i; ++a) n += NCOMP.nc - a;
    return n + (j - i);
}

// The model number of a rule code among the models read, or 0.
int rule_number(const Code& code) {
    for (int m = 1; m <= MXRULE && m <= kHmxModels; ++m)
        if (MXINFO.terms[static_cast<std::size_t>(m)].code == code) return m;
    return 0;
}

bool near_one(double v) { return std::fabs(v - 1.0) <= kUnit; }

std::string with_eom(std::string s) { return s + HCHAR.eom; }

// True when text slot k holds a model section ("#MXM"/"@MXM") for code.
bool text_has_model(int k, const Code& code) {
    for (int n = 1; n < store::line_count(k); ++n) {
        const std::string_view ln = store::line(k, n);
        if (ln.size() >= 4 && (ln[0] == '#' || ln[0] == '@') && ln.substr(1, 3) == "MXM" &&
            Code(store::line(k, n + 1).substr(0, 3)) == code)
            return true;
    }
    return false;
}

}  // namespace

void GETKTV(int icomp, int jcomp, std::string& hmodij, double fij[6], std::string& hfmix,
            std::string hfij[6], std::string& hbinp, std::string& hmxrul) {
    if (icomp < 1 || jcomp < 1 || icomp > kMaxComp || jcomp > kMaxComp) return;
    const Code code = MIXMOD.code(icomp, jcomp);
    hmodij = code.str();
    const int m = rule_number(code);
    if (m == 0) {
        int ierr = 0;
        std::string herr;
        fail(-117,
             errtext("GETKTV", "error", "117",
                     "mixing rule not found for components" + fmt_int(icomp, 3) + " +" +
                         fmt_int(jcomp, 3) + "."),
             ierr, herr);
        return;
    }
    const int n = pair_number(icomp, jcomp);
    if (icomp != jcomp && NCOMP.nc > 1)
        hbinp = with_eom(MXINF1.comment[static_cast<std::size_t>(n)].substr(0, 251));
    else
        hbinp = with_eom("trivial case--identical components");
    hfmix = MXINFO.source[static_cast<std::size_t>(n)];
    const auto q = static_cast<std::size_t>(m);
    hmxrul = with_eom(MXINFO.model[q].substr(0, 254));
    const auto& p = CFXHMX.p(icomp, jcomp);
    const auto& alt = CF2HMX.c(icomp, jcomp);
    for (int k = 0; k < 6; ++k) {
        hfij[k] = MXINFO.names[q][static_cast<std::size_t>(k)];
        fij[k] = p[static_cast<std::size_t>(k)];
        // A "KW" parameter held at 1 with its value in the alternative
        // (a pair the text lists the other way round) shows that value.
        if (code.starts("KW") && near_one(fij[k]) && !near_one(alt[static_cast<std::size_t>(k)]))
            fij[k] = alt[static_cast<std::size_t>(k)];
    }
}

void GETFIJ(const std::string& hmodij, double fij[6], std::string hfij[6], std::string& hmxrul) {
    const int m = rule_number(Code(hmodij));
    if (m == 0) {
        int ierr = 0;
        std::string herr;
        fail(-117, errtext("GETKTV", "error", "117", "mixing rule not found"), ierr, herr);
        return;
    }
    const auto q = static_cast<std::size_t>(m);
    hmxrul = with_eom(MXINFO.model[q].substr(0, 254));
    for (int k = 0; k < 6; ++k) {
        hfij[k] = MXINFO.names[q][static_cast<std::size_t>(k)];
        fij[k] = MXINFO.defaults[q][static_cast<std::size_t>(k)];
    }
}

void SETKTV(int icomp, int jcomp, const std::string& hmodij, const double fij[6],
            const std::string& hfmix, int& ierr, std::string& herr) {
    const ModelsChange change;
    FSHSAV.tst = 0;
    FSHSAV.pst = 0;
    IRFSAV.ixflag = 0;
    ierr = 0;
    herr.clear();
    const Code code(hmodij);
    const int nc = NCOMP.nc;
    if (code.is("RST") || code.is("rst")) {
        const std::string text = MXINFO.source[0];
        SETHMX(text, ierr, herr);
        for (int n = 1; n <= kHmxPairs; ++n)
            if (!MXINFO.source[static_cast<std::size_t>(n)].empty() &&
                MXINFO.source[static_cast<std::size_t>(n)] != "estimated by ESTBNC")
                MXINFO.source[static_cast<std::size_t>(n)] = text;
        return;
    }
    if (icomp > nc || jcomp > nc || icomp < 1 || jcomp < 1)
        return fail(-113, "SETKTV", "i > nc and/or j > nc", ierr, herr);
    if (icomp == jcomp || nc == 1)
        return fail(-113, "SETKTV", "binary parameters for i = j cannot be changed.", ierr, herr);
    for (int k = 0; k < 6; ++k)
        if (!std::isfinite(fij[k]))
            return fail(1, "SETKTV", "binary parameters must be finite numbers", ierr, herr);

    // A new rule must be found in the text named before anything changes.
    const bool new_rule = !(code == MIXMOD.code(icomp, jcomp));
    int slot = 0;
    if (new_rule) {
        int jerr = 0;
        std::string jmsg;
        OPENFL(slot, hfmix, jerr, jmsg);
        if (jerr != 0)
            return fail(111, "SETKTV",
                        "error in opening mixture file; filename = (" +
                            std::string(trim_right(std::string_view(hfmix).substr(
                                0, std::min<std::size_t>(80, hfmix.size())))) +
                            ").",
                        ierr, herr);
        if (!text_has_model(slot, code))
            return fail(117, "SETKTV",
                        "mixing rule " + code.str() + " not found in the mixture-parameter text",
                        ierr, herr);
    }

    // The pair's class before the change ("KW" rules).
    const Code old = MIXMOD.code(icomp, jcomp);
    int cls = 0;
    if (old.starts("KW") && code.starts("KW")) {
        const auto& p = CFXHMX.p(icomp, jcomp);
        const auto& alt = CF2HMX.c(icomp, jcomp);
        cls = near_one(p[0]) && near_one(p[2]) ? 1 : 2;
        if (!near_one(alt[0]) || !near_one(alt[2])) cls = 3;
    }
    for (auto [a, b] : {std::pair{icomp, jcomp}, std::pair{jcomp, icomp}})
        for (int k = 0; k < 6; ++k) CFXHMX.p(a, b)[static_cast<std::size_t>(k)] = fij[k];
    if (cls == 1) {
        fail(-114, "SETKTV",
             "there is a possibility that the mixture parameters are set incorrectly if the fluid "
             "order is different from that in the mixture-parameter text.",
             ierr, herr);
    } else if (cls == 3) {
        for (auto [a, b] : {std::pair{icomp, jcomp}, std::pair{jcomp, icomp}}) {
            CF2HMX.c(a, b)[0] = fij[0];
            CF2HMX.c(a, b)[2] = fij[2];
            CFXHMX.p(a, b)[0] = 1.0;
            CFXHMX.p(a, b)[2] = 1.0;
        }
    }
    const auto n = static_cast<std::size_t>(pair_number(icomp, jcomp));
    MXINF1.comment[n] = "The binary parameter(s) for (" + fixed_width(CNAM[icomp], 12) + "+" +
                        fixed_width(CNAM[jcomp], 12) +
                        ") have been modified from their original values.";
    if (new_rule) {
        MIXMOD.code(icomp, jcomp) = MIXMOD.code(jcomp, icomp) = code;
        ILINE = 1;
        std::string_view ln;
        next_line(slot, ln);  // the model code of the text
        if (next_line(slot, ln)) {
            int version = 0;
            read_ints(ln.substr(0, std::min<std::size_t>(2, ln.size())), &version, 1);
            HMXFLG = version;
        }
        MXINFO.source[n] = hfmix;
        PairFlags lflag;
        int jerr = 0;
        std::string jmsg;
        RDMIX(slot, icomp, jcomp, code, lflag, jerr, jmsg);
        if (jerr != 0) {
            ierr = jerr;
            herr = jmsg;
        }
        ILINE = 1;
    }
    hmx_forget_all();
    hmx_prepare();
    mix::forget_envelopes();
}

}  // namespace lib
