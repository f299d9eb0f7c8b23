// PNG files of cairo image surfaces, written fast: the batch images and the
// diagram images of the window are large and mostly plain, so their rows go
// unfiltered into the diagram deflate encoder (png_deflate.h), which finds
// only repeats of the row above and of the pixel before (half the time of
// libdeflate's fastest level, a twentieth of cairo's own writer); the
// files are a sixth larger than those of libdeflate's level 2.
#pragma once

#include <cairo.h>

#include <string>

namespace app::diagrams {

// Writes an RGB24 image surface as an 8-bit RGB PNG file (other formats
// through cairo's writer), with batch mode's mark naming the project when
// `mark` is not empty; the file is replaced whole or not at all. Returns ""
// when written, else why not.
std::string write_png_file(cairo_surface_t* surface, const std::string& path,
                           const std::string& mark = "");

}  // namespace app::diagrams
