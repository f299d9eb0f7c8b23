// The memory of the last mixture's pair records (see sethmx_kept.h).
#include "library/setup/sethmx_kept.h"

#include <algorithm>
#include <array>
#include <vector>

#include "library/library.h"
#include "library/models/hmx.h"
#include "library/models/hmxrecords.h"
#include "library/models/pr.h"
#include "library/models/records.h"
#include "library/phase/envelope.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "library/transport/records.h"

namespace lib {

namespace {

// What SETHMX reads of one component: its text, CAS number, family and
// equation, and the constants its estimates and checks use.
struct ComponentKey {
    std::string name, cas, family;
    Code eos{"   "};
    std::array<double, 10> values{};

    static ComponentKey of(int i) {
        ComponentKey k;
        k.name = SETSAV.name[i];
        k.cas = CCAS[i];
        k.family = FAML.family[i];
        k.eos = EOSMOD.eos[i];
        k.values = {CCON.tc[i], CCON.pc[i],   CCON.dc[i],   CCON.acf[i],  CCON.dip[i],
                    CCON.wm[i], CCON.tnbp[i], WCFPR.acf[i], ZRED.tred[i], ZRED.dred[i]};
        return k;
    }
    bool operator==(const ComponentKey& o) const {
        return name == o.name && cas == o.cas && family == o.family && eos == o.eos &&
               values == o.values;
    }
};

struct Key {
    std::string hfmix;
    Code mix{"   "};
    long texts = -1;
    int gerg04 = 0;
    std::vector<ComponentKey> components;

    static Key current(const std::string& hfmix) {
        Key k;
        k.hfmix = hfmix;
        k.mix = EOSMOD.mix;
        k.texts = fluid_text_version();
        k.gerg04 = FLAGS2.gerg04;
        const int nc = std::min(NCOMP.nc, kMaxComp);
        for (int i = 1; i <= nc; ++i) k.components.push_back(ComponentKey::of(i));
        return k;
    }
    bool operator==(const Key& o) const {
        return hfmix == o.hfmix && mix == o.mix && texts == o.texts && gerg04 == o.gerg04 &&
               components == o.components;
    }
};

// Everything SETHMX writes besides the caches it clears.
struct Kept {
    bool valid = false;
    Key key;
    MixmodRecord mixmod;
    CfihmxRecord cfihmx;
    CfxhmxRecord cfxhmx;
    Cf2hmxRecord cf2hmx;
    CrtmodRecord crtmod;
    CfxcrtRecord cfxcrt;
    PrmodRecord prmod;
    CfxprRecord cfxpr;
    TrnbinRecord trnbin;
    MxinfoRecord mxinfo;
    Mxinf1Record mxinf1;
    int mxrule = 0, hmxflg = 0;
    int ammonia_water = 0, water_index = 0, alcohols = 0;
    int ierr = 0;
    std::string herr;
};

Kept& kept() {
    static Kept k;
    return k;
}

}  // namespace

bool restore_kept_mixing_rules(const std::string& hfmix, int& ierr, std::string& herr) {
    const Kept& k = kept();
    if (!k.valid || !(k.key == Key::current(hfmix))) return false;
    MIXMOD = k.mixmod;
    CFIHMX = k.cfihmx;
    CFXHMX = k.cfxhmx;
    CF2HMX = k.cf2hmx;
    CRTMOD = k.crtmod;
    CFXCRT = k.cfxcrt;
    PRMOD = k.prmod;
    CFXPR = k.cfxpr;
    TRNBIN = k.trnbin;
    MXINFO = k.mxinfo;
    MXINF1 = k.mxinf1;
    MXRULE = k.mxrule;
    HMXFLG = k.hmxflg;
    FLAGS2.ammonia_water = k.ammonia_water;
    FLAGS2.water_index = k.water_index;
    FLAGS2.alcohols = k.alcohols;
    ILINE = 1;
    // The caches SETHMX clears, and the model prepared from the records.
    hmx_forget_all();
    mix::forget_envelopes();
    hmx_prepare();
    ierr = k.ierr;
    herr = k.herr;
    return true;
}

void keep_mixing_rules(const std::string& hfmix, int ierr, const std::string& herr) {
    Kept& k = kept();
    k.valid = false;
    k.key = Key::current(hfmix);
    k.mixmod = MIXMOD;
    k.cfihmx = CFIHMX;
    k.cfxhmx = CFXHMX;
    k.cf2hmx = CF2HMX;
    k.crtmod = CRTMOD;
    k.cfxcrt = CFXCRT;
    k.prmod = PRMOD;
    k.cfxpr = CFXPR;
    k.trnbin = TRNBIN;
    k.mxinfo = MXINFO;
    k.mxinf1 = MXINF1;
    k.mxrule = MXRULE;
    k.hmxflg = HMXFLG;
    k.ammonia_water = FLAGS2.ammonia_water;
    k.water_index = FLAGS2.water_index;
    k.alcohols = FLAGS2.alcohols;
    k.ierr = ierr;
    k.herr = herr;
    k.valid = true;
}

void forget_kept_mixing_rules() { kept().valid = false; }

}  // namespace lib
