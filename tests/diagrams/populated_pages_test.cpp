// Buffers of present pages: small and large sizes (on both sides of the
// sizes from which pages are made present and laid on large pages) hold
// what is written into them,
// large ones start zeroed, and a vector growing across that size keeps its
// elements.
#include "app/diagrams/populated_pages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using app::diagrams::LARGE_PAGE_BYTES;
using app::diagrams::POPULATED_MIN_BYTES;
using app::diagrams::PopulatedAllocator;
using app::diagrams::PopulatedBytes;

class PopulatedSizes : public ::testing::TestWithParam<std::size_t> {};

TEST_P(PopulatedSizes, BytesHoldWhatIsWritten) {
    const std::size_t size = GetParam();
    PopulatedBytes bytes(size);
    ASSERT_NE(bytes.get(), nullptr);
    ASSERT_EQ(bytes.size(), size);
    if (size >= POPULATED_MIN_BYTES) {
        bool zero = true;
        for (std::size_t k = 0; k < size; k += 4093) zero = zero && bytes.get()[k] == 0;
        EXPECT_TRUE(zero);
    }
    for (std::size_t k = 0; k < size; ++k) bytes.get()[k] = static_cast<unsigned char>(k * 7);
    std::size_t wrong = 0;
    for (std::size_t k = 0; k < size; ++k)
        wrong += bytes.get()[k] != static_cast<unsigned char>(k * 7) ? 1 : 0;
    EXPECT_EQ(wrong, 0u);
}

INSTANTIATE_TEST_SUITE_P(AroundTheThreshold, PopulatedSizes,
                         ::testing::Values(std::size_t{1}, std::size_t{4096},
                                           POPULATED_MIN_BYTES - 1, POPULATED_MIN_BYTES,
                                           POPULATED_MIN_BYTES + 1, LARGE_PAGE_BYTES - 1,
                                           LARGE_PAGE_BYTES, LARGE_PAGE_BYTES + 1,
                                           std::size_t{1024 * 4 * 800}));

TEST(PopulatedPages, VectorGrowsAcrossTheThresholdKeepingItsElements) {
    std::vector<std::uint32_t, PopulatedAllocator<std::uint32_t>> v;
    const std::size_t n = 3 * POPULATED_MIN_BYTES / sizeof(std::uint32_t);
    for (std::size_t k = 0; k < n; ++k) v.push_back(static_cast<std::uint32_t>(k * 2654435761u));
    std::size_t wrong = 0;
    for (std::size_t k = 0; k < n; ++k)
        wrong += v[k] != static_cast<std::uint32_t>(k * 2654435761u) ? 1 : 0;
    EXPECT_EQ(wrong, 0u);
    v.resize(10);
    v.shrink_to_fit();
    EXPECT_EQ(v[9], static_cast<std::uint32_t>(9 * 2654435761u));
}

// Buffers on large pages start on one, and several of them taken and given
// back in turn (a run's images) neither overlap nor lose what they hold.
TEST(PopulatedPages, LargeBuffersStartOnALargePageAndKeepApart) {
    std::vector<PopulatedBytes> held;
    for (std::size_t size :
         {LARGE_PAGE_BYTES, 3 * LARGE_PAGE_BYTES / 2, 2 * LARGE_PAGE_BYTES + 1}) {
        held.emplace_back(size);
        ASSERT_NE(held.back().get(), nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(held.back().get()) % LARGE_PAGE_BYTES, 0u);
    }
    for (std::size_t k = 0; k < held.size(); ++k)
        for (std::size_t b = 0; b < held[k].size(); b += 4096)
            held[k].get()[b] = static_cast<unsigned char>(k + 1);
    held.erase(held.begin() + 1);
    held.emplace_back(LARGE_PAGE_BYTES + 4096);
    std::size_t wrong = 0;
    for (std::size_t b = 0; b < held[0].size(); b += 4096) wrong += held[0].get()[b] != 1 ? 1 : 0;
    for (std::size_t b = 0; b < held[1].size(); b += 4096) wrong += held[1].get()[b] != 3 ? 1 : 0;
    for (std::size_t b = 0; b < held[2].size(); b += 4096) wrong += held[2].get()[b] != 0 ? 1 : 0;
    EXPECT_EQ(wrong, 0u);
}

// A size beyond any memory is refused, not wrapped round to a small one.
TEST(PopulatedPages, SizeBeyondMemoryIsRefused) {
    for (std::size_t size : {~std::size_t{0}, ~std::size_t{0} - LARGE_PAGE_BYTES + 2})
        EXPECT_EQ(app::diagrams::acquire_pages(size), nullptr) << size;
}

TEST(PopulatedPages, EmptyBytesHoldNothing) {
    PopulatedBytes none;
    EXPECT_EQ(none.get(), nullptr);
    EXPECT_EQ(none.size(), 0u);
}

}  // namespace
