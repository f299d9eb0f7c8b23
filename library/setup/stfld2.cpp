// STFLD2 and GETMOD.
#include "library/setup/stfld2.h"

#include <array>
#include <string_view>

#include "library/library.h"
#include "library/setup/openfl.h"
#include "library/setup/records.h"
#include "library/transport/loaders.h"
#include "library/transport/models.h"
#include "library/transport/records.h"

namespace lib {

namespace {

bool is_qvb(const Code& c) { return c.is("QVB") || c.is("qvb"); }

std::string cite_line(const Code& code, const std::string& hdesc) {
    return code.str() + std::string(trim_right(hdesc.substr(0, 251)));
}

void warn_unknown(const Code& code, int k, int& ierr, std::string& herr) {
    fail(-103, "SETUP",
         "unknown model (" + code.str() + ") encountered in file for component #" + fmt_int(k, 3) +
             ".",
         ierr, herr);
}

void fail_load(const Code& code, int k, const std::string& inner, int& ierr, std::string& herr) {
    fail(104, "SETUP",
         "error in setup of (" + code.str() + ") model for component #" + fmt_int(k, 3) + ":  " +
             inner.substr(0, 182),
         ierr, herr);
}

// Sets a still-undecided code to the section's code (the mixture's only for
// the component of a pure fluid).
void take_default(Code& mix, Code& comp, int k, const Code& hcode) {
    if (NCOMP.nc == 1 && k == 1 && is_qvb(mix)) mix = hcode;
    if (is_qvb(comp)) comp = hcode;
}

}  // namespace

void STFLD2(int nread, int k, const std::string& hcas, const std::string& hdesc,
            const Code& keyword, char marker, const Code& hcode, Code& heta, Code& htcx, int& ieta,
            int& itcx, Slots<std::string>& hfld, std::string& hrefname, Code& hrefeos, int& ierr,
            std::string& herr) {
    const bool dflt = marker == '#';
    auto kw = [&](const char* up, const char* lo) { return keyword.is(up) || keyword.is(lo); };
    int jerr = 0;
    std::string jerr_text;

    if (keyword.is("AUX")) {
        TransportLoader load = nullptr;
        bool cite = true;
        if (const CollisionModel* c = collision_model(hcode)) {
            load = c->load;
            cite = false;
            if (!(OMGMOD.set[kOmgEta][k] == hcode || OMGMOD.set[kOmgTcx][k] == hcode)) return;
        } else if (const EnhancementModel* e = enhancement_model(hcode);
                   e != nullptr && e->load != nullptr) {
            load = e->load;
            // "TK6" belongs to the corresponding-states block, the others to
            // the conductivity block.
            const int set = hcode.is("TK6") ? kCreEcs : kCreTcx;
            if (!(CREMOD.set[set][k] == hcode)) return;
        } else {
            return;  // ideal-gas sections are SETFLD's
        }
        load(nread, k, hcas, jerr, jerr_text);
        if (jerr != 0) return fail_load(hcode, k, jerr_text, ierr, herr);
        if (cite) CITE[k][kCiteTcxAux] = cite_line(hcode, hdesc);
        return;
    }

    if (kw("TRN", "trn")) {
        if (!hcode.is("ECS")) return warn_unknown(hcode, k, ierr, herr);
        if (dflt) {
            take_default(TRNMOD.eta_mix, TRNMOD.eta[k], k, hcode);
            take_default(TRNMOD.tcx_mix, TRNMOD.tcx[k], k, hcode);
            ieta = 1;
            itcx = 1;
        } else {
            if (ieta == 0) heta = hcode;
            if (itcx == 0) htcx = hcode;
        }
        // The block is loaded whether or not the component selected it: it
        // is the fallback of the component's own correlations and its
        // contribution to mixtures, and it names the reference fluid.
        if (TRNMOD.eta_mix.is("NUL") && TRNMOD.tcx_mix.is("NUL")) return;
        std::string refname;
        Code refeos, refeta, reftcx;
        SETTRN(nread, k, hcas, refname, refeos, refeta, reftcx, jerr, jerr_text);
        if (jerr != 0) return fail_load(hcode, k, jerr_text, ierr, herr);
        if (TRNMOD.eta[k] == hcode) {
            ieta = 1;
            if (CITE[k][kCiteEta].starts_with("NUL")) CITE[k][kCiteEta] = cite_line(hcode, hdesc);
        }
        if (TRNMOD.tcx[k] == hcode) {
            itcx = 1;
            if (CITE[k][kCiteTcx].starts_with("NUL")) CITE[k][kCiteTcx] = cite_line(hcode, hdesc);
        }
        // A model that names no reference fluid registers nothing.
        if (trim_right(refname).empty()) return;
        std::string full = fixed_width(refname, 255);
        RFFILE(hfld[k], full);
        hrefname = fixed_width(full, 255);
        hrefeos = refeos;
        if (k > 0) {
            hfld[0] = hrefname;
            EOSMOD.eos[0] = refeos;
            TRNMOD.eta[0] = refeta;
            TRNMOD.tcx[0] = reftcx;
        }
        return;
    }

    const bool eta = kw("ETA", "eta"), tcx = kw("TCX", "tcx"), stn = kw("STN", "stn"),
               de = kw("DE ", "de ");
    if (!(eta || tcx || stn || de)) return;

    Code* mix = nullptr;
    Code* comp = nullptr;
    TransportLoader load = nullptr;
    int cite = 0;
    if (eta) {
        mix = &TRNMOD.eta_mix;
        comp = &TRNMOD.eta[k];
        const ViscosityModel* m = viscosity_model(hcode);
        load = m != nullptr ? m->load : nullptr;
        cite = kCiteEta;
    } else if (tcx) {
        mix = &TRNMOD.tcx_mix;
        comp = &TRNMOD.tcx[k];
        const ConductivityModel* m = conductivity_model(hcode);
        load = m != nullptr ? m->load : nullptr;
        cite = kCiteTcx;
    } else if (stn) {
        mix = &STNMOD.mix;
        comp = &STNMOD.slot[k];
        load = hcode.is("ST1") ? SETST1 : nullptr;
        cite = kCiteStn;
    } else {
        mix = &DEMOD.mix;
        comp = &DEMOD.slot[k];
        load = hcode.starts("DE") ? SETDE : nullptr;
        cite = kCiteDe;
    }
    if (dflt) take_default(*mix, *comp, k, hcode);
    if (load == nullptr) {
        if (!hcode.is("NUL")) warn_unknown(hcode, k, ierr, herr);
        return;
    }
    if (!(*comp == hcode)) return;
    load(nread, k, hcas, jerr, jerr_text);
    if (jerr != 0) return fail_load(hcode, k, jerr_text, ierr, herr);
    if (eta) ieta = 1;
    if (tcx) itcx = 1;
    CITE[k][cite] = cite_line(hcode, hdesc);
}

void GETMOD(int icomp, const std::string& htype, std::string& hcode, std::string& hcite) {
    const Code t(htype);
    auto any = [&](std::initializer_list<const char*> keys) {
        for (const char* key : keys)
            if (t.is(key)) return true;
        return false;
    };
    int kind = -1;
    if (any({"EOS", "eos"}))
        kind = kCiteEos;
    else if (any({"CP0", "cp0", "Cp0", "cpo"}))
        kind = kCiteCp0;
    else if (any({"ETA", "eta", "VIS", "vis"}))
        kind = kCiteEta;
    else if (any({"VSK", "vsk"}))
        kind = kCiteEtaAux;
    else if (any({"TCX", "tcx"}))
        kind = kCiteTcx;
    else if (any({"TKK", "tkk"}))
        kind = kCiteTcxAux;
    else if (any({"STN", "stn"}))
        kind = kCiteStn;
    else if (any({"DE ", "de "}))
        kind = kCiteDe;
    else if (any({"MLT", "mlt"}))
        kind = kCiteMlt;
    else if (any({"SBL", "sbl"}))
        kind = kCiteSbl;
    else if (any({"PS ", "ps "}))
        kind = kCitePs;
    else if (any({"DL ", "dl "}))
        kind = kCiteDl;
    else if (any({"DV ", "dV "}))
        kind = kCiteDv;
    if (kind >= 0 && icomp >= kMinSlot && icomp <= kMaxSlot) hcite = CITE[icomp][kind];
    hcode = fixed_width(hcite, 3);
}

}  // namespace lib
