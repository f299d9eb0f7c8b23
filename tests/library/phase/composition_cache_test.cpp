// The values kept per mixture composition (library/phase/composition_cache.h):
// each composition finds its own, the least recently used gives way, and
// the place it leaves to another composition holds nothing of it.
#include "library/phase/composition_cache.h"

#include <gtest/gtest.h>

#include <vector>

#include "library/setup/records.h"

namespace {

struct Kept {
    int points[3] = {};
    int count = 0;
};

// Composition k of a ternary: (k, 1, 1) normalised.
std::vector<double> composition(int k) {
    std::vector<double> z(20, 0.0);
    const double sum = k + 2.0;
    z[0] = k / sum;
    z[1] = 1.0 / sum;
    z[2] = 1.0 / sum;
    return z;
}

class CompositionCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        nc_ = lib::NCOMP.nc;
        lib::NCOMP.nc = 3;
    }
    void TearDown() override { lib::NCOMP.nc = nc_; }
    int nc_ = 0;
};

TEST_F(CompositionCacheTest, EachCompositionFindsItsOwnValue) {
    lib::CompositionCache<Kept, 4> cache;
    for (int k = 1; k <= 4; ++k) cache.place(composition(k).data()).count = k;
    for (int k = 1; k <= 4; ++k) {
        const Kept* kept = cache.find(composition(k).data());
        ASSERT_NE(kept, nullptr) << k;
        EXPECT_EQ(kept->count, k);
    }
    EXPECT_EQ(cache.find(composition(5).data()), nullptr);
}

// A fifth composition takes the place of the least recently used one with
// a value of its own: a list filled in place (as the dew points of a blend
// are) starts empty, not with the points of the blend before.
TEST_F(CompositionCacheTest, PlaceGivenUpHoldsNothingOfItsLastComposition) {
    lib::CompositionCache<Kept, 4> cache;
    for (int k = 1; k <= 4; ++k) {
        Kept& kept = cache.place(composition(k).data());
        kept.points[kept.count++] = 10 * k;
    }
    cache.find(composition(1).data());  // 2 is now the oldest
    Kept& fifth = cache.place(composition(5).data());
    EXPECT_EQ(fifth.count, 0);
    EXPECT_EQ(fifth.points[0], 0);
    EXPECT_EQ(cache.find(composition(2).data()), nullptr);
    ASSERT_NE(cache.find(composition(1).data()), nullptr);
    EXPECT_EQ(cache.find(composition(1).data())->points[0], 10);
}

TEST_F(CompositionCacheTest, SameFractionsOfAnotherComponentCountAreAnotherMixture) {
    lib::CompositionCache<Kept, 4> cache;
    cache.place(composition(1).data()).count = 7;
    lib::NCOMP.nc = 4;
    EXPECT_EQ(cache.find(composition(1).data()), nullptr);
    EXPECT_EQ(cache.place(composition(1).data()).count, 0);
}

}  // namespace
