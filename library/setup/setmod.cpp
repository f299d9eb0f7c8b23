// SETMOD, GERG04, SETNC, PUREFLD, SETPATH and RESETA: model choice before a
// set-up and the small companions of set-up.
#include <algorithm>

#include "library/library.h"
#include "library/models/pr.h"
#include "library/models/records.h"
#include "library/phase/envelope.h"
#include "library/phase/records.h"
#include "library/phase/satcheb.h"
#include "library/setup/modelgen.h"
#include "library/setup/records.h"
#include "library/transport/records.h"

namespace lib {

namespace {

bool is_qvb(const Code& c) { return c.is("QVB") || c.is("qvb"); }

// Every model code back to "undecided".
void reset_to_defaults() {
    const Code qvb("QVB"), nul("NUL");
    EOSMOD.reserved = qvb;
    EOSMOD.mix = qvb;
    TRNMOD.eta_mix = qvb;
    TRNMOD.tcx_mix = qvb;
    STNMOD.mix = qvb;
    DEMOD.mix = qvb;
    for (KindModRecord* rec : {&PSMOD, &PLMOD, &DLMOD, &DVMOD, &MELTMOD, &SUBLMOD}) {
        rec->last = qvb;
        rec->slot.fill(qvb);
    }
    EOSMOD.eos.fill(qvb);
    EOSMOD.cp0.fill(qvb);
    STNMOD.slot.fill(qvb);
    DEMOD.slot.fill(qvb);
    TRNMOD.eta.fill(qvb);
    TRNMOD.tcx.fill(qvb);
    for (AuxModRecord* rec : {&CREMOD, &OMGMOD})
        for (Slots<Code>& set : rec->set) set.fill(nul);
}

}  // namespace

void SETMOD(int nc, const std::string& htype, const std::string& hmix, Names20& hcomp, int& ierr,
            std::string& herr) {
    const ModelsChange change;
    HCHAR.eom = '\0';
    // The codes the Peng-Robinson mode saved belong to the models chosen
    // before: switching the mode off after this choice restores nothing.
    PRHSAV = PrhsavRecord{};
    for (int k = 0; k <= std::min(nc, kMaxComp); ++k) CONUN.count[k] = 0;
    FSHSAV.tst = 0;
    FSHSAV.pst = 0;
    ierr = 0;
    herr.clear();
    if (nc < 1 || nc > kMaxComp) {
        fail(113, "SETUP", "number of components out of bounds", ierr, herr);
        return;
    }
    RESETM.nc_setmod = nc;

    const Code type(htype);
    if (is_qvb(type) || RESETM.defaults_pending != 0) {
        reset_to_defaults();
        // The GERG-2008 mode belongs to the set-up after its GERG04 call: a
        // return to the default models ends it.
        FLAGS2.gerg04 = 0;
        if (is_qvb(type)) hcomp.fill("QVB");
        RESETM.defaults_pending = 0;
    }

    // The mixture's code (a pure fluid's is its component's) and the components'.
    auto choose = [&](Code& mix, Slots<Code>& comp) {
        mix = Code(nc == 1 ? hcomp[0] : hmix);
        for (int i = 1; i <= nc; ++i) comp[i] = Code(hcomp[static_cast<std::size_t>(i - 1)]);
    };
    if (type.is("EOS") || type.is("eos")) {
        choose(EOSMOD.mix, EOSMOD.eos);
        Code& mix = EOSMOD.mix;
        if (mix.starts("FE"))
            mix = Code("FEQ");
        else if (mix.starts("QU"))
            mix = Code("QUI");
        else if (mix.starts("BW"))
            mix = Code("BWR");
        else if (mix.starts("EC"))
            mix = Code("ECS");
    } else if (type.is("ETA") || type.is("eta") || type.is("VIS") || type.is("vis")) {
        choose(TRNMOD.eta_mix, TRNMOD.eta);
    } else if (type.is("TCX") || type.is("tcx")) {
        choose(TRNMOD.tcx_mix, TRNMOD.tcx);
    } else if (type.is("STN") || type.is("stn")) {
        choose(STNMOD.mix, STNMOD.slot);
    }
}

void GERG04(int nc, int iflag, int& ierr, std::string& herr) {
    Names20 codes;
    // Any other flag goes back to each text's default equation.
    codes.fill(iflag == 1 ? "FEK" : "QVB");
    SETMOD(nc, "EOS", "HMX", codes, ierr, herr);
    FLAGS2.gerg04 = iflag;
    models_changed();
}

void SETNC(int nc) {
    models_changed();
    // A count outside 0..20 would send every component loop past its arrays.
    if (nc >= 0 && nc <= kMaxComp) NCOMP.nc = nc;
}

void PUREFLD(int icomp) {
    const ModelsChange change;
    RESETA();
    NCOMP.ic = icomp >= 0 && icomp <= kMaxComp ? icomp : 0;
}

void SETPATH(const std::string& hpth) {
    std::string p = fixed_width(hpth, 255);
    std::size_t dot = p.find('.');
    if (dot != std::string::npos) p.replace(dot, std::string::npos, 255 - dot, ' ');
    FLDPTH = p;
}

void RESETA() {
    models_changed();
    // Fixed points of the saturation boundary: the callers change the
    // equation (UNSETAGA) or the component treated alone (PUREFLD).
    FXPNT = FxpntRecord{};
    FSHSAV.tst = 0;
    FSHSAV.pst = 0;
    satcheb::forget_slots();
    mix::forget_envelopes();
    NCOMP.ic = 0;
    FLAGS2.energy_switch = 0;
    FLAGS2.sat_status = 0;
    FLAGS2.spline_status = 0;
    TSTSAV = SatCache{};
    PSTSAV = SatCache{};
    REFSAV.x0.fill(0.0);
    FEQSAV.tau.fill(0.0);  // last tau and delta of the Helmholtz equation
    FEQSAV.del.fill(0.0);
    // The models' own saved results (last tau and delta of the Helmholtz
    // equations, the first limits of the ancillary equations) are cleared
    // below by the models that own them.
    // Lower temperature limits of the ancillary equations of the components:
    // 0 switches their error 1 off until the next set-up.
    for (AncLimRecord* rec : {&WLMPS, &WLMPL, &WLMDL, &WLMDV})
        for (int k = 1; k <= kMaxComp; ++k) rec->tlow[k] = 0.0;
}

}  // namespace lib
