// A fluid set up again takes the critical point, triple point, limits and
// standard state it had; a record whose composition changed in between
// gets them anew.
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using namespace app;

// Everything a set-up derives, for comparison bit for bit.
std::vector<double> derived(const Fluid& f) {
    std::vector<double> v = {f.Tc,    f.pc,     f.Dc,     f.hc,     f.sc,     f.Ttrp,    f.ptrp,
                             f.Dtrp,  f.Tmin,   f.Tmax,   f.pmin,   f.pmax,   f.Dmin,    f.Dmax,
                             f.v_std, f.crit.T, f.crit.p, f.crit.h, f.crit.s, f.crit.rho};
    v.insert(v.end(), f.crit_axis.begin(), f.crit_axis.end());
    v.insert(v.end(), f.x_water.begin(), f.x_water.end());
    v.push_back(f.water_pos);
    return v;
}

// The values a record gets from a set-up that has never seen it: those of
// a copy of it (another record).
std::vector<double> fresh(const Fluid& f, std::string& note) {
    Fluid copy = f;
    current_fluid = nullptr;
    EXPECT_EQ(init_stoffwerte(&copy), 1) << f.name;
    note = copy.transport_note;
    current_fluid = nullptr;
    return derived(copy);
}

class FluidSetUpAgain : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        initstuff();
        init_stoffe();
        current_fluid = nullptr;
    }
    void TearDown() override { current_fluid = nullptr; }
};

TEST_P(FluidSetUpAgain, TakesWhatItsFirstSetUpFound) {
    Fluid* f = fluids[GetParam()];
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(init_stoffwerte(f), 1) << f->name;
    const std::vector<double> first = derived(*f);
    const std::string note = f->transport_note;
    // Switched away and back (the combustor's and an interface's way).
    for (int other : {FLUID_WATER, FLUID_METHANE, FLUID_DRY_ISO_AIR}) {
        if (fluids[other] == f) continue;
        ASSERT_EQ(init_stoffwerte(fluids[other]), 1);
        f->Tc = f->pmax = f->v_std = -1;  // overwritten by the set-up
        ASSERT_EQ(init_stoffwerte(f), 1);
        EXPECT_EQ(derived(*f), first) << f->name << " after " << fluids[other]->name;
        EXPECT_EQ(f->transport_note, note);
    }
    std::string fresh_note;
    EXPECT_EQ(fresh(*f, fresh_note), first) << f->name;
}

TEST_P(FluidSetUpAgain, ChangedCompositionIsDerivedAnew) {
    Fluid* f = fluids[GetParam()];
    ASSERT_NE(f, nullptr);
    if (f->az_components < 2) GTEST_SKIP() << "a pure fluid has one composition";
    ASSERT_EQ(init_stoffwerte(f), 1);
    const auto x_before = f->x;
    const std::vector<double> before = derived(*f);
    // A tenth of the first component's moles to the second.
    const double moved = 0.1 * f->x[0];
    f->x[0] -= moved;
    f->x[1] += moved;
    ASSERT_EQ(init_stoffwerte(fluids[FLUID_WATER]), 1);
    ASSERT_EQ(init_stoffwerte(f), 1);
    const std::vector<double> after = derived(*f);
    std::string note;
    EXPECT_EQ(after, fresh(*f, note)) << f->name;
    EXPECT_EQ(f->transport_note, note);
    EXPECT_NE(after, before) << f->name;
    f->x = x_before;
    ASSERT_EQ(init_stoffwerte(fluids[FLUID_WATER]), 1);
    ASSERT_EQ(init_stoffwerte(f), 1);
    EXPECT_EQ(derived(*f), before) << f->name;
}

INSTANTIATE_TEST_SUITE_P(Fluids, FluidSetUpAgain,
                         ::testing::Values(FLUID_WATER, FLUID_DRY_ISO_AIR, FLUID_HUMID_ISO_AIR,
                                           FLUID_METHANE, FLUID_HELIUM, FLUID_NITROGEN, FLUID_AIR));

}  // namespace
