// The kept pair records of the last mixture: a mixture set up again after
// another fluid takes them from memory, and every record and every property
// routine gives what a set-up that read the mixture text gives, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/hmxrecords.h"
#include "library/setup/records.h"
#include "library/setup/sethmx_kept.h"
#include "library/setup/textstore.h"
#include "library/transport/records.h"

namespace {

int setup(int nc, const std::string& names, std::string* msg = nullptr) {
    int ierr = 0;
    std::string herr, hrf = "DEF";
    lib::SETUP0(nc, names, "hmx", hrf, ierr, herr);
    if (msg != nullptr) *msg = herr;
    return ierr;
}

struct Mixture {
    const char* names;
    int nc;
    std::vector<double> x;
    double T, D, P;  // a gas state (K, mol/L) and a pressure (kPa) for the flashes
};

// The values of the property routines at the mixture's states, in one list.
std::vector<double> properties(const Mixture& m) {
    double x[20] = {};
    for (std::size_t i = 0; i < m.x.size(); ++i) x[i] = m.x[i];
    std::vector<double> v;
    double P, e, h, s, cv, cp, w, hjt;
    lib::THERM(m.T, m.D, x, P, e, h, s, cv, cp, w, hjt);
    v.insert(v.end(), {P, e, h, s, cv, cp, w, hjt});
    double f[20] = {};
    lib::FGCTY(m.T, m.D, x, f);
    v.insert(v.end(), f, f + m.nc);
    double B = 0;
    lib::VIRB(m.T, x, B);
    v.push_back(B);
    int ierr = 0;
    std::string herr;
    double tc = 0, pc = 0, dc = 0;
    lib::CRITP(x, tc, pc, dc, ierr, herr);
    v.insert(v.end(), {tc, pc, dc, double(ierr)});
    double D, Dl, Dv, xl[20], xv[20], q, T;
    lib::TPFLSH(m.T, m.P, x, D, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w, ierr, herr);
    v.insert(v.end(), {D, Dl, Dv, q, h, s, cp, w, double(ierr)});
    const double h0 = h, s0 = s;
    lib::PHFLSH(m.P, h0 - 500.0, x, T, D, Dl, Dv, xl, xv, q, e, s, cv, cp, w, ierr, herr);
    v.insert(v.end(), {T, D, Dl, Dv, q, s, cp, double(ierr)});
    lib::PSFLSH(0.5 * m.P, s0, x, T, D, Dl, Dv, xl, xv, q, e, h, cv, cp, w, ierr, herr);
    v.insert(v.end(), {T, D, Dl, Dv, q, h, cp, double(ierr)});
    lib::SATP(m.P, x, lib::kDewPoint, T, Dl, Dv, xl, xv, ierr, herr);
    v.insert(v.end(), {T, Dl, Dv, double(ierr)});
    double eta = 0, tcx = 0;
    lib::TRNPRP(m.T, m.D, x, eta, tcx, ierr, herr);
    v.insert(v.end(), {eta, tcx, double(ierr)});
    return v;
}

// The records SETHMX fills, in comparable form.
struct Records {
    lib::PairTable<lib::Code> mix, tc, vc, pr;
    lib::PairTable<int> nterm, nbell, model;
    lib::PairTable<std::array<double, 6>> p, c2, kpr;
    decltype(lib::CFXCRT.c) crit;
    decltype(lib::TRNBIN.p) trn;
    decltype(lib::MXINFO.source) source;
    decltype(lib::MXINF1.comment) comment;
    int mxrule, hmxflg, ammonia_water, water_index, alcohols;

    static Records now() {
        return {lib::MIXMOD.code,
                lib::CRTMOD.tc,
                lib::CRTMOD.vc,
                lib::PRMOD.code,
                lib::CFIHMX.nterm,
                lib::CFIHMX.nbell,
                lib::CFIHMX.model,
                lib::CFXHMX.p,
                lib::CF2HMX.c,
                lib::CFXPR.k,
                lib::CFXCRT.c,
                lib::TRNBIN.p,
                lib::MXINFO.source,
                lib::MXINF1.comment,
                lib::MXRULE,
                lib::HMXFLG,
                lib::FLAGS2.ammonia_water,
                lib::FLAGS2.water_index,
                lib::FLAGS2.alcohols};
    }
    bool operator==(const Records& o) const {
        return mix.v == o.mix.v && tc.v == o.tc.v && vc.v == o.vc.v && pr.v == o.pr.v &&
               nterm.v == o.nterm.v && nbell.v == o.nbell.v && model.v == o.model.v &&
               p.v == o.p.v && c2.v == o.c2.v && kpr.v == o.kpr.v && crit.v == o.crit.v &&
               trn == o.trn && source == o.source && comment == o.comment && mxrule == o.mxrule &&
               hmxflg == o.hmxflg && ammonia_water == o.ammonia_water &&
               water_index == o.water_index && alcohols == o.alcohols;
    }
};

// Values compared bit for bit (a NaN equals itself).
void expect_identical(const std::vector<double>& a, const std::vector<double>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (std::isnan(a[k]) && std::isnan(b[k])) continue;
        EXPECT_EQ(a[k], b[k]) << "value " << k;
    }
}

class KeptMixingRules : public ::testing::TestWithParam<Mixture> {
protected:
    void TearDown() override { lib::forget_kept_mixing_rules(); }
};

// The pure fluid set up between (as a steam cycle's water between the
// exhaust gas heating it).  (Both the read and the restored set-up follow
// the same one: the estimates of Peng-Robinson parameters read constants
// that the set-up before left.  A mixture between takes the memory.)
void set_up_other(const char* other) { ASSERT_EQ(setup(1, other), 0); }

// What a calculation may do to the pair records before the mixture is set up
// again: change a pair's parameters, or leave other values in every record.
void disturb_pair_records(int round) {
    if (round == 0) {
        std::string hmodij, hfmix, hfij[6], hbinp, hmxrul, herr;
        double fij[6] = {};
        lib::GETKTV(1, 2, hmodij, fij, hfmix, hfij, hbinp, hmxrul);
        fij[0] *= 1.01;
        int ierr = 0;
        lib::SETKTV(1, 2, hmodij, fij, hfmix, ierr, herr);
        return;
    }
    lib::MIXMOD = {};
    lib::CFIHMX = {};
    lib::CFXHMX = {};
    lib::CF2HMX = {};
    lib::CRTMOD = {};
    lib::CFXCRT = {};
    lib::PRMOD = {};
    lib::CFXPR = {};
    lib::TRNBIN = {};
    lib::MXINFO = {};
    lib::MXINF1 = {};
    lib::MXRULE = lib::HMXFLG = 0;
    lib::FLAGS2.ammonia_water = lib::FLAGS2.water_index = lib::FLAGS2.alcohols = -1;
}

TEST_P(KeptMixingRules, RestoredSetUpGivesTheReadOnesValues) {
    const Mixture& m = GetParam();
    for (const char* other : {"water", "nitrogen"}) {
        set_up_other(other);
        lib::forget_kept_mixing_rules();
        std::string fresh_msg, msg;
        long before = lib::store::lines_read();
        const int fresh_err = setup(m.nc, m.names, &fresh_msg);
        const long fresh_lines = lib::store::lines_read() - before;
        ASSERT_LE(fresh_err, 0) << fresh_msg;
        const Records fresh = Records::now();
        const std::vector<double> read = properties(m);

        for (int again = 0; again < 2; ++again) {
            disturb_pair_records(again);
            set_up_other(other);
            before = lib::store::lines_read();
            EXPECT_EQ(setup(m.nc, m.names, &msg), fresh_err) << "after " << other;
            // (Only the components' texts are read: the mixture text is not.)
            EXPECT_LT(lib::store::lines_read() - before, fresh_lines) << "after " << other;
            EXPECT_EQ(msg, fresh_msg);
            EXPECT_TRUE(Records::now() == fresh) << "after " << other;
            expect_identical(properties(m), read);
        }
        // And a set-up that reads the text again agrees as well.
        set_up_other(other);
        lib::forget_kept_mixing_rules();
        before = lib::store::lines_read();
        ASSERT_EQ(setup(m.nc, m.names), fresh_err);
        EXPECT_EQ(lib::store::lines_read() - before, fresh_lines);
        EXPECT_TRUE(Records::now() == fresh) << "after " << other;
        expect_identical(properties(m), read);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Mixtures, KeptMixingRules,
    ::testing::Values(Mixture{"nitrogen|oxygen|argon|co2|water",
                              5,
                              {0.75, 0.12, 0.009, 0.04, 0.081},
                              600.0,
                              0.05,
                              101.325},
                      Mixture{"methane|nitrogen", 2, {0.7, 0.3}, 180.0, 2.0, 2000.0},
                      Mixture{"nitrogen|methane", 2, {0.3, 0.7}, 180.0, 2.0, 2000.0},
                      Mixture{"ammonia|water", 2, {0.4, 0.6}, 500.0, 0.1, 300.0},
                      Mixture{"methane|ethane|propane", 3, {0.8, 0.15, 0.05}, 250.0, 1.0, 3000.0},
                      Mixture{"r245ca|cyclopro", 2, {0.5, 0.5}, 450.0, 0.05, 100.0}));

// Other components, or the same in another order, are read from the text:
// the kept records are another mixture's.
TEST(KeptMixingRulesKey, OtherComponentsAreReadAgain) {
    lib::forget_kept_mixing_rules();
    ASSERT_EQ(setup(2, "methane|nitrogen"), 0);
    const Records mn = Records::now();
    ASSERT_EQ(setup(2, "nitrogen|methane"), 0);
    const Records nm = Records::now();
    EXPECT_FALSE(mn == nm);  // the pair in the other order is stored otherwise
    ASSERT_EQ(setup(2, "methane|nitrogen"), 0);
    EXPECT_TRUE(Records::now() == mn);
    ASSERT_EQ(setup(3, "methane|ethane|propane"), 0);
    EXPECT_NE(lib::MIXMOD.code(2, 3), lib::Code("   "));
    EXPECT_EQ(lib::NCOMP.nc, 3);
}

}  // namespace
