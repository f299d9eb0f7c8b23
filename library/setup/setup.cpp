// SETUP0 and SETUP: set-up of a pure fluid or a mixture, with its cache.
#include "library/setup/setup.h"

#include <array>
#include <string_view>

#include "library/library.h"
#include "library/models/hmx.h"
#include "library/models/pr.h"
#include "library/models/records.h"
#include "library/phase/records.h"
#include "library/phase/satcheb.h"
#include "library/setup/modelgen.h"
#include "library/setup/records.h"
#include "library/setup/setfld.h"
#include "library/setup/sethmx.h"
#include "library/setup/ucase.h"
#include "library/transport/dense.h"
#include "library/transport/records.h"

namespace lib {

namespace {

constexpr std::size_t kNameWidth = 255;

Slots<std::string> g_names;  // fluid-text names of the current set-up

bool is_qvb(const Code& c) { return c.is("QVB") || c.is("qvb"); }

// A saved code matches when it equals the current one or was left undecided.
bool same_or_qvb(const Code& saved, const Code& current) {
    return saved == current || saved.is("QVB");
}

void initialise_saved_state() {
    const Code nul("NUL");
    MODSAV.reserved = nul;
    MODSAV.mix = nul;
    MODSAV.eos.fill(nul);
    MODSAV.eta_mix = nul;
    MODSAV.eta.fill(nul);
    MODSAV.tcx_mix = nul;
    MODSAV.tcx.fill(nul);
    MODSAV.stn_mix = nul;
    MODSAV.stn.fill(nul);
    MODSAV.de_mix = nul;
    MODSAV.de.fill(nul);
    SETSAV.name.fill(fixed_width("NUL", kNameWidth));
    SETSAV.mixtext = fixed_width("NUL", kNameWidth);
    REFST.mix = nul;
    REFST.slot.fill(nul);
}

// True when the fluid asked for is the one set up last.
bool cached(int nc, const std::array<std::string, kMaxComp>& names, const std::string& hfmix,
            const Code& hrf) {
    if (nc != NCOMP.nc || !(REFST.mix == hrf)) return false;
    if (!same_or_qvb(MODSAV.mix, EOSMOD.mix) || !same_or_qvb(MODSAV.eta_mix, TRNMOD.eta_mix) ||
        !same_or_qvb(MODSAV.tcx_mix, TRNMOD.tcx_mix) || !same_or_qvb(MODSAV.stn_mix, STNMOD.mix))
        return false;
    if (!(MODSAV.reserved == EOSMOD.reserved)) return false;
    for (int i = 1; i <= nc; ++i) {
        const std::size_t j = static_cast<std::size_t>(i - 1);
        if (SETSAV.name[i] != names[j]) return false;
        if (!same_or_qvb(MODSAV.eos[j], EOSMOD.eos[i]) ||
            !same_or_qvb(MODSAV.stn[j], STNMOD.slot[i]) ||
            !same_or_qvb(MODSAV.eta[j], TRNMOD.eta[i]) ||
            !same_or_qvb(MODSAV.tcx[j], TRNMOD.tcx[i]))
            return false;
    }
    if (IRFSAV.ixflag == 2) {
        // The last reference state was applied to a mixture composition:
        // only "DEF" may be taken from the cache, and the pure-component
        // reference states are renewed here (SETREF "DEF" with ixflag 1; the
        // water correction once it exists).
        if (!hrf.is("DEF")) return false;
        std::string def = "DEF";
        const double x0[20] = {1.0};
        int jerr = 0;
        std::string jmsg;
        SETREF(def, 1, x0, 0.0, 0.0, 0.0, 0.0, jerr, jmsg);
        AMH2OR();
    }
    return SETSAV.mixtext == hfmix && RESETM.no_cache == 0;
}

void save_codes(int nc) {
    MODSAV.reserved = EOSMOD.reserved;
    MODSAV.mix = EOSMOD.mix;
    MODSAV.eta_mix = TRNMOD.eta_mix;
    MODSAV.tcx_mix = TRNMOD.tcx_mix;
    MODSAV.stn_mix = STNMOD.mix;
    MODSAV.de_mix = DEMOD.mix;
    for (int i = 1; i <= nc; ++i) {
        const std::size_t j = static_cast<std::size_t>(i - 1);
        MODSAV.eos[j] = EOSMOD.eos[i];
        MODSAV.eta[j] = TRNMOD.eta[i];
        MODSAV.tcx[j] = TRNMOD.tcx[i];
        MODSAV.stn[j] = STNMOD.slot[i];
        MODSAV.de[j] = DEMOD.slot[i];
    }
}

// Mixture transport codes: undecided ones become the mixture model (or, for
// a pure fluid, the component's code).
void choose_transport_codes(int nc) {
    for (auto [mix, comp] :
         {std::pair{&TRNMOD.eta_mix, &TRNMOD.eta}, std::pair{&TRNMOD.tcx_mix, &TRNMOD.tcx}}) {
        if (is_qvb(*mix)) {
            *mix = nc == 1 ? (*comp)[1] : Code("ECS");
        } else if (!mix->is("ECS") && nc > 1) {
            *mix = Code("ECS");
            for (int i = 1; i <= nc; ++i) (*comp)[i] = Code("QVB");
        }
    }
    if (is_qvb(STNMOD.mix)) STNMOD.mix = nc == 1 ? STNMOD.slot[1] : Code("STH");
    if (is_qvb(DEMOD.mix)) DEMOD.mix = nc == 1 ? DEMOD.slot[1] : Code("DEM");
}

void clear_slots(int nc) {
    const std::string nul = fixed_width("NUL", kNameWidth);
    const std::string undefined = fixed_width("not_defined", 12);
    for (int k = kMinSlot; k <= nc; ++k) {
        g_names[k] = nul;
        CCAS[k] = undefined;
        CNAM[k] = undefined;
        CITE[k].fill("NUL");
        ECSTRN.loaded[k] = 0;
        for (LimitRecord* lim : {&WLMSTN, &WLMETA, &WLMTCX, &WLMTRN}) {
            lim->tmin[k] = 300.0;
            lim->tmax[k] = 300.0;
            lim->pmax[k] = 0.0;
            lim->dmax[k] = 0.0;
        }
    }
}

// Everything of component 1's name up to its last "/", ":" or "\".
std::string directory_of(const std::string& name) {
    std::string_view s = trim_right(name);
    std::size_t p = s.find_last_of("/:\\");
    return p == std::string_view::npos ? std::string() : std::string(s.substr(0, p + 1));
}

}  // namespace

const Slots<std::string>& setup_names() { return g_names; }

void SETUP0(int nc, const std::string& hfld, const std::string& hfmix, std::string& hrf, int& ierr,
            std::string& herr) {
    Names20 names;
    names.fill(std::string(kNameWidth, ' '));
    if (nc == 1) {
        std::string name = fixed_width(hfld, kNameWidth);
        std::size_t bar = name.find('|');
        if (bar != std::string::npos) name.replace(bar, std::string::npos, kNameWidth - bar, ' ');
        names[0] = name;
    } else if (nc > 1 && nc <= kMaxComp) {
        // Beyond 20 components SETUP reports the count; nothing is split.
        std::size_t pos = 0;
        for (int k = 1; k <= nc; ++k) {
            std::size_t bar = pos <= hfld.size() ? hfld.find('|', pos) : std::string::npos;
            std::string_view rest = pos <= hfld.size() ? std::string_view(hfld).substr(pos) : "";
            if (bar == std::string::npos && (k < nc || trim_right(rest).empty())) {
                fail(1, "SETUP0", "not enough fluid names on input line", ierr, herr);
                return;
            }
            const std::string_view part =
                bar == std::string::npos ? rest : std::string_view(hfld).substr(pos, bar - pos);
            names[static_cast<std::size_t>(k - 1)] = fixed_width(part, kNameWidth);
            if (bar == std::string::npos) break;
            pos = bar + 1;
        }
    }
    SETUP(nc, names, fixed_width(hfmix, kNameWidth), hrf, ierr, herr);
}

namespace {

// The message of the last set-up that failed; empty after one that did not.
std::string g_setup_failure;

void setup_fluid(int nc, const Names20& hfiles, const std::string& hfmix, std::string& hrf,
                 int& ierr, std::string& herr);

}  // namespace

bool no_fluid_set_up(std::string_view routine, int& ierr, std::string& herr) {
    if (NCOMP.nc >= 1) return false;
    std::string why = g_setup_failure.empty()
                          ? std::string("no fluid is set up")
                          : "no fluid is set up: the last set-up failed (" +
                                std::string(trim_right(g_setup_failure)).substr(0, 150) + ")";
    fail(118, routine, why, ierr, herr);
    return true;
}

void SETUP(int nc, const Names20& hfiles, const std::string& hfmix, std::string& hrf, int& ierr,
           std::string& herr) {
    if (nc == -1) {
        // Nothing is done: the fluid set up before stays.
        ierr = 91000;
        herr = errtext("SETUP", 91000,
                       "number of components is -1: nothing is set up, the previous fluid stays");
        return;
    }
    // The saturation expansions are built at the first use after the set-up,
    // not for the set-up's own reference state.
    satcheb::NoBuild no_build;
    setup_fluid(nc, hfiles, hfmix, hrf, ierr, herr);
    if (ierr > 0) {
        // A fluid half loaded is no fluid: every routine refuses to work on it
        // until a set-up succeeds.
        NCOMP.nc = 0;
        NCOMP.ic = 0;
        g_setup_failure = herr;
    } else {
        g_setup_failure.clear();
    }
}

namespace {

void setup_fluid(int nc, const Names20& hfiles, const std::string& hfmix, std::string& hrf,
                 int& ierr, std::string& herr) {
    const ModelsChange change;
    if (RESETM.first_call != 0) {
        initialise_saved_state();
        RESETM.first_call = 0;
    }
    HCHAR.tab = '\t';
    HCHAR.eom = '\0';
    ierr = 0;
    herr.clear();
    MAXTP.crit_flag = 0;
    FLAGS2.sat_status = 0;
    std::array<double, kMaxComp> x0{};
    x0[0] = 1.0;
    (void)x0;  // composition of the reference-state call

    std::array<std::string, kMaxComp> names;
    for (std::size_t j = 0; j < names.size(); ++j) names[j] = fixed_width(hfiles[j], kNameWidth);
    const std::string mixtext = fixed_width(hfmix, kNameWidth);

    if (cached(nc, names, mixtext, Code(hrf))) return;

    // Full set-up.  The saved mixture-text name stays "x" until the set-up
    // has succeeded, so that a failed one is never taken from the cache.
    RESETM.no_cache = 0;
    SETSAV.mixtext = "x";
    if (RESETM.defaults_pending == 0) {
        RESETM.no_cache = 1;  // models chosen by the caller: reload next time
    } else {
        Names20 codes;
        SETMOD(nc, "QVB", EOSMOD.mix.str(), codes, ierr, herr);
    }
    SATSPL.built = 0;
    clear_phase_caches();
    dense::forget();
    EOSLIM = EoslimRecord{};  // a slot whose equation is not loaded has no range
    RESETM.defaults_pending = 1;
    FLAGS2.ammonia_water = 0;
    FLAGS2.water_index = 0;
    FLAGS2.alcohols = 0;
    FLAGS2.pseudo_pure.fill(0);
    if (ierr > 0) return;
    if (nc != RESETM.nc_setmod || nc < 1 || nc > kMaxComp) {
        fail(114, "SETUP", "number of components does not match value sent to SETMOD", ierr, herr);
        return;
    }
    IRFSAV.done = 0;
    MODSAV.reserved = Code("QVB");
    NCOMP.nc = nc;
    GCNST.r = 8.314472;

    // Mixture model.
    Code& mix = EOSMOD.mix;
    if (is_qvb(mix)) {
        mix = nc == 1 ? EOSMOD.eos[1] : Code("HMX");
    } else if (!mix.is("HMX") && nc > 1) {
        fail(-105, "SETUP", "unknown mixture model specified, the HMX model will be used", ierr,
             herr);
        mix = Code("HMX");
        for (int i = 1; i <= nc; ++i) EOSMOD.eos[i] = Code("QVB");
    }
    choose_transport_codes(nc);

    clear_slots(nc);
    for (int i = 1; i <= nc; ++i) {
        g_names[i] = names[static_cast<std::size_t>(i - 1)];
        SETSAV.name[i] = g_names[i];
    }
    TRNMOD.eta[0] = Code("NUL");
    TRNMOD.tcx[0] = Code("NUL");
    EOSMOD.eos[0] = Code("FEQ");

    // Components, then the reference fluids they named, then the fixed
    // reference fluids of a mixture.
    for (int i = 1; i <= nc; ++i) {
        if (UCASE(g_names[i], 255).find("PPF") != std::string::npos)
            FLAGS2.pseudo_pure[static_cast<std::size_t>(i)] = 1;
        SETFLD(i, g_names, ierr, herr);
        if (ierr > 0) return;
    }
    for (int k = -20; k <= 0; ++k) {
        if (trim_right(g_names[k]) == "NUL" || (k == 0 && nc > 1)) continue;
        SETFLD(k, g_names, ierr, herr);
        if (ierr > 0) return;
    }
    if (nc > 1) {
        const std::string dir = directory_of(g_names[1]);
        const std::pair<int, const char*> fixed[] = {
            {0, "nitrogen"}, {-21, "propane"}, {-22, "c12"}, {-23, "r134a"}};
        // The mixture's transport reference fluid takes its own models, not
        // those a component's reference fluid named for slot 0.
        TRNMOD.eta[0] = Code("QVB");
        TRNMOD.tcx[0] = Code("QVB");
        for (const auto& [slot, fluid] : fixed) {
            g_names[slot] = fixed_width(dir + fluid, kNameWidth);
            SETFLD(slot, g_names, ierr, herr);
            if (ierr > 0) return;
        }
    }

    if (mix.is("HMX")) {
        // The errors of the mixture model's set-up (117, 106, 107) end the
        // set-up before the reference state could clear them: such a mixture
        // is never reported as set up.
        const int pending = ierr;
        const std::string pending_msg = herr;
        SETHMX(mixtext, ierr, herr);
        if (ierr > 0) return;
        if (ierr == 0 && pending != 0) {
            ierr = pending;
            herr = pending_msg;
        }
    } else {
        hmx_prepare();
    }

    int iwarn = 0;
    std::string hwarn;
    if (Code(hrf).starts("OT")) {
        fail(-105, "SETUP",
             "must use routine SETREF for (OTH) reference state choice; will use "
             "default (DEF) choice",
             ierr, herr);
        hrf = "DEF";
        iwarn = ierr;
        hwarn = herr;
    }

    {
        // A warning pending from the loading survives a reference state that
        // is set without one.
        const int pending = ierr;
        const std::string pending_msg = herr;
        const double x_pure[20] = {1.0};
        SETREF(hrf, 1, x_pure, 0.0, 0.0, 0.0, 0.0, ierr, herr);
        if (ierr == 0 && pending < 0) {
            ierr = pending;
            herr = pending_msg;
        }
    }

    if (ierr == 0) {
        if (iwarn != 0) {
            ierr = iwarn;
            herr = hwarn;
        } else {
            save_codes(nc);
        }
    }

    AMH2OR();
    for (int i = 1; i <= nc && i <= kMaxComp; ++i) SETPRCO(i);

    if (ierr <= 0) SETSAV.mixtext = mixtext;
}

}  // namespace

}  // namespace lib
