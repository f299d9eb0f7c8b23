// SETFLD: loads one component slot from its built-in fluid text.
#include "library/setup/setfld.h"

#include <string_view>

#include "library/library.h"
#include "library/models/pr.h"
#include "library/setup/modelgen.h"
#include "library/setup/openfl.h"
#include "library/setup/records.h"
#include "library/setup/stfld2.h"
#include "library/setup/textstore.h"
#include "library/transport/records.h"

namespace lib {

namespace {

bool is_qvb(const Code& c) { return c.is("QVB") || c.is("qvb"); }

std::string slot_text(int i) { return fmt_int(i, 3); }

std::string cite_line(const Code& code, std::string_view desc) {
    return code.str() + std::string(trim_right(desc.substr(0, 251)));
}

// The ancillary, melting-line and sublimation-line kinds: loaded from "#"
// sections only, each into its own code record.
struct AncKind {
    std::string_view upper, lower;
    KindModRecord* rec;
    int cite;
};
const AncKind kAncKinds[] = {
    {"MLT", "mlt", &MELTMOD, kCiteMlt}, {"SBL", "sbl", &SUBLMOD, kCiteSbl},
    {"PS ", "ps ", &PSMOD, kCitePs},    {"PL ", "pl ", &PLMOD, kCitePl},
    {"DL ", "dl ", &DLMOD, kCiteDl},    {"DV ", "dv ", &DVMOD, kCiteDv},
};

// Full code that an equation of state takes once loaded, by its first two letters.
Code loaded_eos_code(const Code& code) {
    if (code.starts("BW")) return Code("BWR");
    if (code.starts("FE")) return Code("FEQ");
    if (code.starts("QU")) return Code("QUI");
    if (code.starts("EC")) return Code("ECS");
    return Code("PR ");
}

// The reading of one fluid text into slot i.
class SlotLoader {
public:
    SlotLoader(int i, int nread, Slots<std::string>& hfld, int& ierr, std::string& herr)
        : i_(i), nread_(nread), hfld_(hfld), ierr_(ierr), herr_(herr) {}

    bool read_header();
    // Reads the sections up to "END"; false on a read error (102 given).
    bool scan();
    void section(char marker, const Code& keyword, const Code& code, std::string_view desc);
    // Working transport codes become the slot's codes where nothing was loaded.
    void finish_transport();
    // What happens when no equation of state was loaded.
    enum class Outcome { kDone, kReloadAsFeq, kReloadForPr, kFailed };
    Outcome check_loaded();
    void estimate_pr();
    void premature_end();

private:
    bool line(std::string_view& out);
    bool value(double& v);
    void loader_failed(const Code& code, const std::string& inner);
    void load_eos(const Code& code, std::string_view desc);
    void load_cp0(const Code& code, std::string_view desc);
    bool read_conun();

    int i_;
    int nread_;
    Slots<std::string>& hfld_;
    int& ierr_;
    std::string& herr_;
    bool eos_loaded_ = false;
    bool pr_met_ = false;
    int cp0_state_ = 0;  // 0 none, 1 fallback CPP, 2 the selected code
    Code heta_{"   "}, htcx_{"   "};
    int ieta_ = 0, itcx_ = 0;
    std::string refname_;
    Code refeos_{"   "};
    bool read_failed_ = false;
};

bool SlotLoader::line(std::string_view& out) {
    if (next_line(nread_, out)) return true;
    read_failed_ = true;
    return false;
}

bool SlotLoader::value(double& v) {
    std::string_view ln;
    if (!line(ln)) return false;
    if (read_numbers(ln, &v, 1) == 1) return true;
    read_failed_ = true;
    return false;
}

bool SlotLoader::read_header() {
    const int i = i_;
    std::string_view ln;
    if (!line(ln)) return false;
    std::string_view name = ln.substr(0, 60);
    name = name.substr(0, name.find('!'));
    CNAM60[i] = fixed_width(name, 60);
    CNAM[i] = CNAM60[i].substr(0, 12);
    if (!line(ln)) return false;
    CCAS[i] = fixed_width(ln, 12);
    for (Slots<std::string>* field : {&CNAM80.full, &CNAM80.formula, &CNAM80.synonym}) {
        if (!line(ln)) return false;
        (*field)[i] = fixed_width(ln, 255);
    }
    for (Slots<double>* field :
         {&CCON.wm, &CCON.ttp, &CCON.tnbp, &CCON.tc, &CCON.pc, &CCON.dc, &CCON.acf, &CCON.dip})
        if (!value((*field)[i])) return false;
    if (!line(ln)) return false;
    REFST.slot[i] = Code(ln.substr(0, 3));
    if (REFST.slot[i].starts("OT")) {
        double v[4];
        if (!line(ln)) return false;
        if (read_numbers(ln, v, 4) != 4) return read_failed_ = true, false;
        CREFDF.t[i] = v[0];
        CREFDF.p[i] = v[1];
        CREFDF.h[i] = v[2];
        CREFDF.s[i] = v[3];
    }
    if (!value(VERS[i])) return false;
    // Tagged lines up to the first blank line.
    for (;;) {
        if (!line(ln)) return false;
        if (trim_right(ln).empty()) break;
        std::size_t bang = ln.find('!');
        if (bang == std::string_view::npos) continue;
        std::string_view tag = ln.substr(bang, 3), before = ln.substr(0, bang);
        if (tag == "!UN") {
            FAML.un[i] = fixed_width(before, 255);
        } else if (tag == "!fa") {
            FAML.family[i] = fixed_width(before, 255);
        } else if (tag == "!he") {
            double h = 0;
            if (read_numbers(before, &h, 1) == 1) HTCM[i] = h;
        }
    }
    return true;
}

void SlotLoader::loader_failed(const Code& code, const std::string& inner) {
    fail(104, "SETUP",
         "Error in setup of (" + code.str() + ") model for component #" + slot_text(i_) + ":  " +
             inner.substr(0, 182),
         ierr_, herr_);
}

void SlotLoader::load_eos(const Code& code, std::string_view desc) {
    const int i = i_;
    Code& slot_code = EOSMOD.eos[i];
    int jerr = 0;
    std::string jtext;
    if (code.starts("PR")) {
        pr_met_ = true;
        const LoaderRow* row = find_loader("EOS", code);
        if (row == nullptr || row->anc == nullptr) return;
        if (!slot_code.starts(std::string_view(code.c.data(), 2))) {
            row->anc(-nread_, i, jerr, jtext);  // the Peng-Robinson parameters only
            if (jerr != 0) loader_failed(slot_code, jtext);
            return;
        }
        row->anc(nread_, i, jerr, jtext);
        slot_code = Code("PR ");
        eos_loaded_ = true;
        if (jerr != 0) return loader_failed(slot_code, jtext);
    } else {
        if (!(slot_code == code) || eos_loaded_) return;
        const LoaderRow* row = find_loader("EOS", code);
        if (row == nullptr) return;  // model not built: passed over
        std::string refname;
        Code refeos("   ");
        if (row->ecs != nullptr)
            row->ecs(nread_, i, CCAS[i], refname, refeos, jerr, jtext);
        else if (row->eos != nullptr)
            row->eos(nread_, i, CCAS[i], jerr, jtext);
        else
            return;
        // A failed load counts as the slot's equation of state, so that its
        // message is the one returned.
        eos_loaded_ = true;
        if (code.starts("BW") || code.starts("EC")) slot_code = loaded_eos_code(code);
        if (jerr != 0) return loader_failed(slot_code, jtext);
        if (code.starts("EC") && i > 0 && !trim_right(refname).empty()) {
            std::string full = fixed_width(refname, 255);
            RFFILE(hfld_[i], full);
            refname_ = fixed_width(full, 255);
            refeos_ = refeos;
            hfld_[-i] = refname_;
            EOSMOD.eos[-i] = refeos;
        }
    }
    if (EOSMOD.mix.starts(std::string_view(code.c.data(), 2))) EOSMOD.mix = loaded_eos_code(code);
    CITE[i][kCiteEos] = cite_line(code, desc);
}

void SlotLoader::load_cp0(const Code& code, std::string_view desc) {
    const int i = i_;
    Code& slot_code = EOSMOD.cp0[i];
    const bool exact = slot_code == code && cp0_state_ < 2;
    const bool fallback = !exact && code.is("CPP") && cp0_state_ == 0 &&
                          (is_qvb(slot_code) || slot_code.starts("CP"));
    if (!exact && !fallback) return;
    const LoaderRow* row = find_loader("AUX", code);
    if (row == nullptr || row->eos == nullptr) return;  // model not built: passed over
    int jerr = 0;
    std::string jtext;
    row->eos(nread_, i, CCAS[i], jerr, jtext);
    cp0_state_ = exact ? 2 : 1;
    if (fallback && is_qvb(slot_code)) slot_code = Code("CPP");
    if (jerr != 0) return loader_failed(slot_code, jtext);
    CITE[i][kCiteCp0] = cite_line(code, desc);
}

bool SlotLoader::read_conun() {
    const int i = i_;
    std::string_view ln;
    double head[4];
    if (!line(ln) || read_numbers(ln, head, 4) != 4) return read_failed_ = true, false;
    int permit = 0, n = 0;
    if (!line(ln) || read_ints(ln, &permit, 1) != 1) return read_failed_ = true, false;
    if (!line(ln) || read_ints(ln, &n, 1) != 1 || n < 0 || n > kTextMaxLines)
        return read_failed_ = true, false;
    std::vector<double> values(static_cast<std::size_t>(n));
    for (double& v : values)
        if (!value(v)) return false;
    for (int k = 0; k < 4; ++k) CONUN.head[i][static_cast<std::size_t>(k)] = head[k];
    CONUN.permit[i] = permit;
    CONUN.count[i] = n;
    CONUN.values[i] = std::move(values);
    return true;
}

void SlotLoader::section(char marker, const Code& keyword, const Code& code,
                         std::string_view desc) {
    const int i = i_;
    if (keyword.is("EOS") || keyword.is("eos")) {
        if (marker == '#') {
            if (NCOMP.nc == 1 && is_qvb(EOSMOD.mix)) EOSMOD.mix = code;
            if ((i > 0 || i < -20) && is_qvb(EOSMOD.eos[i])) EOSMOD.eos[i] = code;
        }
        if (code.is("FEX")) FLAGS2.fex[i] = 1;
        if (code.starts("BW") || code.starts("FE") || code.starts("QU") || code.starts("EC") ||
            code.starts("PR")) {
            load_eos(code, desc);
        } else {
            fail(-103, "SETUP",
                 "unknown model (" + code.str() + ") encountered in file for component #" +
                     slot_text(i) + ".",
                 ierr_, herr_);
        }
    } else if (keyword.is("AUX")) {
        if (code.starts("CP") || code.starts("PH")) {
            load_cp0(code, desc);
        } else if (code.starts("UN")) {
            if (!read_conun()) return;
        }
    }

    STFLD2(nread_, i, CCAS[i], std::string(desc), keyword, marker, code, heta_, htcx_, ieta_, itcx_,
           hfld_, refname_, refeos_, ierr_, herr_);

    if (i > 0 && !trim_right(refname_).empty() && trim_right(hfld_[-i]) == "NUL") {
        hfld_[-i] = refname_;
        EOSMOD.eos[-i] = refeos_;
    }

    if (marker != '#') return;
    for (const AncKind& kind : kAncKinds) {
        if (!(keyword.is(kind.upper) || keyword.is(kind.lower))) continue;
        const LoaderRow* row = find_loader(kind.upper, code);
        if (row == nullptr || row->anc == nullptr) return;  // model not built: passed over
        kind.rec->last = code;
        kind.rec->slot[i] = code;
        int jerr = 0;
        std::string jtext;
        row->anc(nread_, i, jerr, jtext);
        if (jerr != 0) {
            // A pending warning gives way to the error; an earlier error stays.
            if (ierr_ <= 0) loader_failed(code, jtext);
            return;
        }
        CITE[i][kind.cite] = cite_line(code, desc);
        return;
    }
}

bool SlotLoader::scan() {
    std::string_view ln;
    for (;;) {
        // (Comments, blanks and the bodies of sections not read are passed.)
        if (!next_section_line(nread_, ln)) return read_failed_ = true, false;
        const char marker = ln[0];
        const Code keyword(ln.substr(1, 3));
        if (keyword.is("END")) return true;
        std::string_view model;
        if (!line(model)) return false;
        const Code code(model.substr(0, 3));
        const std::string desc = fixed_width(model.size() > 3 ? model.substr(3) : "", 251);
        // Literature lines, then the line that closes them.
        for (int n = 0;; ++n) {
            if (!line(ln)) return false;
            if (ln.empty() || ln[0] != '?' || n >= 1000) break;
        }
        section(marker, keyword, code, desc);
        if (read_failed_) return false;
    }
}

void SlotLoader::finish_transport() {
    ILINE = 1;
    if (ieta_ == 0) TRNMOD.eta[i_] = heta_;
    if (itcx_ == 0) TRNMOD.tcx[i_] = htcx_;
}

void SlotLoader::premature_end() {
    fail(102, "SETUP",
         "error in file or premature end of file for component #" + slot_text(i_) + ".", ierr_,
         herr_);
    finish_transport();
}

SlotLoader::Outcome SlotLoader::check_loaded() {
    const int i = i_;
    if (eos_loaded_) return Outcome::kDone;
    if (i >= -20) {
        if (EOSMOD.eos[i].is("FEK")) {
            EOSMOD.eos[i] = Code("FEQ");
            return Outcome::kReloadAsFeq;
        }
        if (EOSMOD.eos[i].is("PR ")) {
            // Peng-Robinson without a "PRT" section: the text's own equation
            // gives the constants, the equation is estimated from them.
            EOSMOD.eos[i] = Code("QVB");
            return Outcome::kReloadForPr;
        }
        fail(105, "SETUP",
             "selected equation of state not found for component #" + slot_text(i) + ":  " +
                 std::string(trim_right(hfld_[i].substr(0, 100))),
             ierr_, herr_);
        return Outcome::kFailed;
    }
    if (cp0_state_ == 0 || (cp0_state_ == 1 && !EOSMOD.cp0[i].is("CPP"))) {
        fail(106, "SETUP",
             "ideal gas heat capacity equation not found for component #" + slot_text(i) + ".",
             ierr_, herr_);
    }
    return Outcome::kDone;
}

void SlotLoader::estimate_pr() {
    if (pr_met_) return;
    const LoaderRow* row = find_loader("EOS", Code("PR "));
    if (row == nullptr || row->anc == nullptr) return;
    int jerr = 0;
    std::string jtext;
    row->anc(999, i_, jerr, jtext);
}

// Clears what a load of slot i fills only when the text says so.
void prepare_slot(int i) {
    FLAGS2.fex[i] = 0;
    FAML.family[i] = std::string(255, ' ');
    FAML.un[i] = std::string(255, ' ');
    HTCM[i] = -1.0;
    if (i >= 0) {
        CONUN.count[i] = 0;
        if (i <= kMaxComp) {
            CONPR.p[static_cast<std::size_t>(i)].fill(0.0);
            CONPR.given[static_cast<std::size_t>(i)] = 0;
        }
    }
}

}  // namespace

void SETFLD(int i, Slots<std::string>& hfld, int& ierr, std::string& herr) {
    const ModelsChange change;
    bool pr_mode = false;
    for (;;) {
        // A warning still pending from the caller keeps its text with it.
        if (ierr == 0) herr.clear();
        prepare_slot(i);
        const std::string& name = hfld[i];

        if (name.starts_with("BDATA") || name.starts_with("bdata")) {
            // Built-in data named by the caller: no text is read.
            CCAS[i] = fixed_width(name.size() > 6 ? name.substr(6, 12) : "", 12);
            SlotLoader ld(i, 0, hfld, ierr, herr);
            const std::string blank(251, ' ');
            ld.section('#', Code("EOS"), EOSMOD.mix, blank);
            ld.section('#', Code("AUX"), EOSMOD.cp0[i], blank);
            ld.section('#', Code("TRN"), TRNMOD.eta[i], blank);
            ILINE = 1;
            return;
        }

        int nread = 1;
        int jerr = 0;
        std::string jtext;
        OPENFL(nread, name, jerr, jtext);
        if (jerr != 0) {
            fail(101, "SETUP",
                 "error in opening file for component #" + slot_text(i) + "; filename = (" +
                     std::string(trim_right(name.substr(0, 80))) + ").",
                 ierr, herr);
            return;
        }

        SlotLoader ld(i, nread, hfld, ierr, herr);
        if (!ld.read_header() || !ld.scan()) {
            ld.premature_end();
            return;
        }
        ld.finish_transport();
        const auto outcome = ld.check_loaded();
        if (outcome == SlotLoader::Outcome::kReloadAsFeq) continue;  // no "FEK" in the text
        if (outcome == SlotLoader::Outcome::kReloadForPr) {
            pr_mode = true;
            continue;
        }
        if (outcome == SlotLoader::Outcome::kFailed) return;
        ld.estimate_pr();
        if (pr_mode) EOSMOD.eos[i] = Code("PR ");
        return;
    }
}

}  // namespace lib
