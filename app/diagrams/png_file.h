// PNG files of cairo image surfaces, written fast: the batch images and the
// diagram images of the window are large and mostly plain, so their rows go
// unfiltered into zlib's fastest deflate level (a third of the time of
// cairo's own writer, files about as large).
#pragma once

#include <cairo.h>

#include <string>

namespace app::diagrams {

// Writes an RGB24 image surface as an 8-bit RGB PNG file (other formats
// through cairo's writer). Returns "" when written, else why not.
std::string write_png_file(cairo_surface_t* surface, const std::string& path);

}  // namespace app::diagrams
