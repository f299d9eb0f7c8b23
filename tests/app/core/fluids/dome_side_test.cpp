#include "app/core/model/init.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using namespace app;

SatPoint point(double v) { return SatPoint{v, v + 1, v + 2, v + 3, v + 4, 1.0}; }

void expect_same(const SatPoint& a, const SatPoint& b) {
    EXPECT_EQ(a.s, b.s);
    EXPECT_EQ(a.h, b.h);
    EXPECT_EQ(a.p, b.p);
    EXPECT_EQ(a.T, b.T);
    EXPECT_EQ(a.rho, b.rho);
    EXPECT_EQ(a.valid, b.valid);
}

TEST(DomeSide, UnwrittenSideReadsAsPointsNotComputed) {
    const DomeSide side;
    EXPECT_FALSE(side.held());
    EXPECT_EQ(DomeSide::size(), static_cast<std::size_t>(DOME_SLOTS));
    for (std::size_t j : {std::size_t{0}, std::size_t{100}, std::size_t{DOME_SLOTS - 1}})
        expect_same(side[j], SatPoint{});
}

TEST(DomeSide, FirstWriteMakesEveryOtherPointZero) {
    DomeSide side;
    side[7] = point(3.0);
    EXPECT_TRUE(side.held());
    const DomeSide& read = side;
    expect_same(read[7], point(3.0));
    for (std::size_t j = 0; j < DomeSide::size(); ++j)
        if (j != 7) expect_same(read[j], SatPoint{});
}

TEST(DomeSide, CopiesAreIndependentAndMovesTakeThePoints) {
    DomeSide a;
    a[0] = point(1.0);
    DomeSide b = a;  // a copy of its own
    b[0] = point(2.0);
    expect_same(std::as_const(a)[0], point(1.0));
    expect_same(std::as_const(b)[0], point(2.0));

    DomeSide empty;
    b = empty;  // copying a side never written drops the points
    EXPECT_FALSE(b.held());
    b = a;
    expect_same(std::as_const(b)[0], point(1.0));
    const DomeSide& same = b;
    b = same;  // assigned to itself: the points stay
    expect_same(std::as_const(b)[0], point(1.0));

    DomeSide c = std::move(a);
    EXPECT_TRUE(c.held());
    expect_same(std::as_const(c)[0], point(1.0));
}

TEST(DomeSide, BuiltInFluidsHoldNoDomeUntilOneIsDrawn) {
    initstuff();
    init_stoffe();
    for (int i = 0; i < NUM_BUILTIN_FLUIDS; ++i) {
        const Fluid* f = fluids[i];
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->dome_count, 0) << f->name;
        EXPECT_FALSE(f->dome_liquid.held()) << f->name;
        EXPECT_FALSE(f->dome_vapour.held()) << f->name;
    }
    // A record copied for a dialog carries the points drawn so far.
    Fluid* water = fluids[FLUID_WATER];
    water->dome_liquid[5] = point(9.0);
    const Fluid copy = *water;
    expect_same(copy.dome_liquid[5], point(9.0));
    EXPECT_FALSE(copy.dome_vapour.held());
    init_stoffe();  // rebuilt: the points go with the record's old state
    EXPECT_FALSE(fluids[FLUID_WATER]->dome_liquid.held());
}

}  // namespace
