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
// Adler-32 check value) of PNG scan lines of `line` bytes with `pixel`
// bytes per pixel, given one at a time: only the line before is kept.
// Any bytes are valid input: the repeats only make it shorter. One at a
// time per thread.
class ScanLineDeflater {
public:
    ScanLineDeflater(std::size_t line, std::size_t pixel);
    ~ScanLineDeflater();
    ScanLineDeflater(const ScanLineDeflater&) = delete;
    ScanLineDeflater& operator=(const ScanLineDeflater&) = delete;

    // Room for the next line: the caller writes its bytes, then adds it.
    unsigned char* next_line() { return window_.data() + line_; }
    // Adds the first n bytes of the room (all but the last line are whole).
    void add_line(std::size_t n);
    // The stream of the lines added; replaces the contents of `out`.
    void finish(std::vector<unsigned char>& out);

private:
    static constexpr std::size_t kNever = ~std::size_t{0} / 4;  // a repeat too far back
    std::size_t line_, up_, left_;
    std::size_t lines_ = 0;
    std::uint32_t adler_ = 1;            // Adler-32 of no bytes
    std::vector<unsigned char> window_;  // the line before, then the room of the next
};

// The stream of `size` bytes of scan lines at once.
void deflate_scan_lines(const unsigned char* data, std::size_t size, std::size_t line,
                        std::size_t pixel, std::vector<unsigned char>& out);

}  // namespace app::diagrams
