// A deflate encoder made for diagram images: most of a diagram is plain
// background, and most of what is not repeats the row above or the pixel
// before. It looks for those two repeats only (no hash tables, no
// search), so it takes a fraction of the time of a general encoder's
// fastest level and packs diagrams about as small.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace app::diagrams {

// The zlib stream (header, one deflate block with codes of its own,
// Adler-32 check value) of `size` bytes of PNG scan lines, each `line`
// bytes long with `pixel` bytes per pixel, given their Adler-32 value;
// replaces the contents of `out`. Any bytes are valid input: the repeats
// only make it shorter.
void deflate_scan_lines(const unsigned char* data, std::size_t size, std::size_t line,
                        std::size_t pixel, std::uint32_t adler, std::vector<unsigned char>& out);

}  // namespace app::diagrams
