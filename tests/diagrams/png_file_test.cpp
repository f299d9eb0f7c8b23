// The PNG writer of the images: what it writes reads back (through cairo's
// own reader) as the very pixels of the surface, for plain, busy and odd
// sized images; a path that cannot be written is refused with the reason.
#include "app/diagrams/png_file.h"
#include "tests/diagrams/diagram_support.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

using diagtest::differing_pixels;

namespace fs = std::filesystem;

fs::path scratch(const std::string& name) {
    const fs::path dir = fs::path(KVR2_BINARY_DIR) / "png-file";
    fs::create_directories(dir);
    return dir / name;
}

// An image with lines, text-like noise and gradients in every channel.
cairo_surface_t* drawing(int w, int h, int seed) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    for (int k = 0; k < 40; ++k) {
        cairo_set_source_rgb(cr, (k * 37 % 255) / 255.0, (k * 91 % 255) / 255.0,
                             ((k + seed) * 53 % 255) / 255.0);
        cairo_set_line_width(cr, 0.5 + k % 4);
        cairo_move_to(cr, (k * 13 + seed) % w, 0);
        cairo_curve_to(cr, w / 3.0, h * std::sin(k), 2 * w / 3.0, h / 2.0, w, (k * 29) % h);
        cairo_stroke(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(s);
    // Scattered single pixels: every byte value in each channel.
    auto* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int i = 0; i < 256 && i < w * h; ++i) {
        const int x = (i * 7919 + seed) % w, y = (i * 104729) % h;
        auto* px = reinterpret_cast<std::uint32_t*>(data + y * stride) + x;
        *px = static_cast<std::uint32_t>(i) << 16 | static_cast<std::uint32_t>(255 - i) << 8 |
              static_cast<std::uint32_t>(i * 3 % 256);
    }
    cairo_surface_mark_dirty(s);
    return s;
}

struct Size {
    int w, h;
};

class PngFileTest : public ::testing::TestWithParam<Size> {};

TEST_P(PngFileTest, ReadsBackAsTheSamePixels) {
    const Size sz = GetParam();
    for (int seed : {0, 5}) {
        cairo_surface_t* s = drawing(sz.w, sz.h, seed);
        const fs::path path = scratch(std::to_string(sz.w) + "x" + std::to_string(sz.h) + "_" +
                                      std::to_string(seed) + ".png");
        ASSERT_EQ(app::diagrams::write_png_file(s, path.string()), "");
        cairo_surface_t* back = cairo_image_surface_create_from_png(path.c_str());
        ASSERT_EQ(cairo_surface_status(back), CAIRO_STATUS_SUCCESS) << path;
        EXPECT_EQ(differing_pixels(s, back), 0) << path;
        cairo_surface_destroy(back);
        cairo_surface_destroy(s);
    }
}

// 1 x 1; rows of two and three pixels (the pixels are written in pairs);
// a row shorter than the writer's chunk; a batch image, whose data fill
// several chunks.
INSTANTIATE_TEST_SUITE_P(Sizes, PngFileTest,
                         ::testing::Values(Size{1, 1}, Size{2, 3}, Size{3, 2}, Size{37, 11},
                                           Size{1024, 800}, Size{3000, 40}));

// The file appears whole under its name or not at all: no temporary file is
// left beside it, and it has the permissions of a new file of the user.
TEST(PngFile, WrittenWholeUnderItsNameWithTheUsersPermissions) {
    cairo_surface_t* s = drawing(64, 48, 3);
    const fs::path dir = scratch("whole");
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path path = dir / "picture.png";
    ASSERT_EQ(app::diagrams::write_png_file(s, path.string()), "");
    ASSERT_EQ(app::diagrams::write_png_file(s, path.string()), "");  // replaced
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(static_cast<mode_t>(fs::status(path).permissions()) & 0777, 0666 & ~mask);
    cairo_surface_destroy(s);
}

TEST(PngFile, UnwritablePathSaysWhy) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 4, 4);
    const fs::path dir = scratch("a folder.png");
    fs::create_directories(dir);
    EXPECT_NE(app::diagrams::write_png_file(s, dir.string()).find("cannot be written"),
              std::string::npos);
    EXPECT_NE(app::diagrams::write_png_file(s, (dir / "no" / "such.png").string())
                  .find("cannot be written"),
              std::string::npos);
    cairo_surface_destroy(s);
}

}  // namespace
