// The diagram deflate encoder: every kind of input inflates (through zlib,
// which checks the Adler-32 value too) back to the very bytes; diagram-like
// rows pack small; codes that would grow deeper than deflate allows are
// cut to size.
#include "app/diagrams/png_deflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes packed(const Bytes& data, std::size_t line, std::size_t pixel) {
    Bytes out;
    app::diagrams::deflate_scan_lines(data.data(), data.size(), line, pixel, out);
    return out;
}

// Inflated by zlib; "" when it read the stream without complaint, else
// zlib's message.
std::string inflated(const Bytes& stream, Bytes& back, std::size_t expected) {
    back.assign(expected + 16, 0);
    uLongf n = back.size();
    const int r = uncompress(back.data(), &n, stream.data(), static_cast<uLong>(stream.size()));
    back.resize(n);
    return r == Z_OK ? "" : std::string("zlib result ") + std::to_string(r);
}

// Scan lines of `rows` rows of `width` pixels of 3 bytes: filter byte 0,
// a plain background, and `ink` pixels per row at random places and
// colours (the anti-aliased lines and letters of a diagram).
Bytes diagram_rows(std::size_t width, std::size_t rows, int ink, unsigned seed) {
    const std::size_t line = 1 + 3 * width;
    Bytes data(line * rows, 255);
    std::mt19937 rng(seed);
    for (std::size_t y = 0; y < rows; ++y) {
        data[y * line] = 0;
        for (int k = 0; k < ink; ++k) {
            const std::size_t x = rng() % width;
            for (std::size_t c = 0; c < 3; ++c)
                data[y * line + 1 + 3 * x + c] = static_cast<unsigned char>(rng());
        }
    }
    return data;
}

Bytes random_bytes(std::size_t n, unsigned seed) {
    Bytes data(n);
    std::mt19937 rng(seed);
    for (auto& b : data) b = static_cast<unsigned char>(rng());
    return data;
}

// Byte k appears in proportion to the k-th Fibonacci number, in random
// order: a plain Huffman code of these counts is 24 bits deep.
Bytes fibonacci_bytes(unsigned seed) {
    Bytes data;
    std::uint32_t a = 1, b = 1;
    for (int k = 0; k < 25; ++k) {
        data.insert(data.end(), a, static_cast<unsigned char>(k * 10));
        const std::uint32_t c = a + b;
        a = b;
        b = c;
    }
    std::shuffle(data.begin(), data.end(), std::mt19937(seed));
    return data;
}

struct Case {
    const char* name;
    Bytes data;
    std::size_t line, pixel;
};

std::vector<Case> cases() {
    std::vector<Case> c;
    c.push_back({"nothing", {}, 4, 3});
    c.push_back({"one byte", {7}, 4, 3});
    c.push_back({"one pixel", {0, 1, 2, 3}, 4, 3});
    c.push_back({"plain", Bytes(100000, 255), 3073, 3});
    c.push_back({"noise", random_bytes(70000, 1), 3073, 3});
    c.push_back({"diagram", diagram_rows(1024, 200, 40, 2), 3073, 3});
    c.push_back({"narrow", diagram_rows(5, 300, 1, 3), 16, 3});
    // Rows longer than deflate's window: repeats of the pixel only.
    c.push_back({"wide rows", diagram_rows(12000, 6, 300, 4), 36001, 3});
    c.push_back({"four bytes a pixel", diagram_rows(700, 50, 30, 5), 2101, 4});
    c.push_back({"deep code", fibonacci_bytes(6), 1000, 3});
    // Runs longer than one repeat can be, and shorter than any.
    Bytes runs;
    for (int k = 0; k < 400; ++k)
        runs.insert(runs.end(), static_cast<std::size_t>(k % 7 * 97 + 1),
                    static_cast<unsigned char>(k));
    c.push_back({"runs", runs, 601, 1});
    return c;
}

TEST(PngDeflate, InflatesBackToTheSameBytes) {
    for (const Case& k : cases()) {
        const Bytes stream = packed(k.data, k.line, k.pixel);
        ASSERT_GE(stream.size(), 6u) << k.name;
        EXPECT_EQ(stream[0], 0x78) << k.name;
        EXPECT_EQ((stream[0] * 256 + stream[1]) % 31, 0) << k.name;  // zlib header check
        Bytes back;
        EXPECT_EQ(inflated(stream, back, k.data.size()), "") << k.name;
        EXPECT_TRUE(back == k.data) << k.name;
    }
}

// A damaged stream is told apart: the check value at its end is the data's.
TEST(PngDeflate, CheckValueIsTheDatas) {
    const Bytes data = diagram_rows(64, 20, 5, 7);
    Bytes stream = packed(data, 193, 3);
    stream.back() ^= 1;
    Bytes back;
    EXPECT_NE(inflated(stream, back, data.size()), "");
}

// Diagram-like rows pack to a small part of their size (the repeats are
// found), noise to about its size (no more than deflate's own overhead
// beyond the literals' codes).
TEST(PngDeflate, PacksDiagramRowsSmall) {
    for (unsigned seed = 0; seed < 4; ++seed) {
        const Bytes rows = diagram_rows(1024, 400, 20, seed);
        EXPECT_LT(packed(rows, 3073, 3).size(), rows.size() / 10) << seed;
        const Bytes noise = random_bytes(50000, seed);
        EXPECT_LT(packed(noise, 3073, 3).size(), noise.size() + noise.size() / 50) << seed;
    }
}

// The same input packs to the same bytes each time (buffers kept between
// calls carry nothing over).
TEST(PngDeflate, SameInputSameStream) {
    const Bytes a = diagram_rows(300, 30, 9, 11), b = random_bytes(4000, 12);
    const Bytes first = packed(a, 901, 3);
    (void)packed(b, 901, 3);
    EXPECT_TRUE(packed(a, 901, 3) == first);
}

// Symbols left over from a larger image before are never read: a small
// image packs alike before and after one, for every pixel size.
TEST(PngDeflate, LargerImageBeforeLeavesNoTrace) {
    const Bytes small = diagram_rows(40, 6, 3, 21), large = random_bytes(300000, 22);
    for (std::size_t pixel : {1, 3, 4}) {
        const Bytes first = packed(small, 121, pixel);
        (void)packed(large, 121, pixel);
        EXPECT_TRUE(packed(small, 121, pixel) == first) << pixel;
        Bytes back;
        EXPECT_EQ(inflated(first, back, small.size()), "") << pixel;
        EXPECT_TRUE(back == small) << pixel;
    }
}

// A sweep of line lengths (1 byte to beyond deflate's window), pixel sizes
// and contents (noise, few values, rows repeating with changes, plain),
// whole and with a short last line: every stream inflates to its bytes.
TEST(PngDeflate, SweepOfShapesAndContents) {
    std::mt19937 rng(99);
    int streams = 0, wrong = 0;
    for (std::size_t line : {1, 2, 3, 7, 64, 1000, 3073, 32768, 32769, 40000})
        for (std::size_t pixel : {1, 3, 4})
            for (int content = 0; content < 4; ++content) {
                const std::size_t rows = 1 + rng() % std::max<std::size_t>(2, 200000 / line);
                const std::size_t size = line * rows - (rng() % 2 ? rng() % line : 0);
                Bytes data(size);
                for (std::size_t k = 0; k < size; ++k) {
                    const unsigned v = static_cast<unsigned>(rng());
                    switch (content) {
                        case 0: data[k] = static_cast<unsigned char>(v); break;
                        case 1: data[k] = static_cast<unsigned char>(v % 3); break;
                        case 2:
                            data[k] = k >= line && v % 50 != 0 ? data[k - line]
                                                               : static_cast<unsigned char>(v);
                            break;
                        default: data[k] = 255; break;
                    }
                }
                Bytes back;
                const Bytes stream = packed(data, line, pixel);
                ++streams;
                if (!inflated(stream, back, size).empty() || back != data) ++wrong;
            }
    EXPECT_EQ(streams, 120);
    EXPECT_EQ(wrong, 0);
}

}  // namespace
