// PNG files of cairo image surfaces: signature, header, an optional text
// chunk, the deflated rows in data chunks, end chunk; the bytes go to the
// file through the program's safe replacement (a temporary file of its own
// renamed at the end, links and special files refused), so that a file of
// that name is never seen half written.
#include "app/diagrams/png_file.h"

#include "app/core/files/file_replace.h"
#include "app/core/files/png_text.h"
#include "app/diagrams/png_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace app::diagrams {

namespace {

constexpr std::size_t kChunk = 1 << 16;  // bytes of deflated data per IDAT chunk
constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr unsigned char kRgb = 2;       // colour type: 8-bit red, green, blue
constexpr unsigned char kNoFilter = 0;  // filter type of every row
constexpr std::size_t kRgbBytes = 3;    // bytes per pixel
constexpr int kPixelsPerPrefetch = 16, kPrefetchAhead = 256;

void put32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

// The bytes of one PNG image as they are made.
class PngOut {
public:
    void raw(const unsigned char* data, std::size_t n) {
        if (n > 0) bytes_.append(reinterpret_cast<const char*>(data), n);
    }
    void chunk(const char* type, const unsigned char* data, std::size_t n) {
        unsigned char head[8];
        put32(head, static_cast<std::uint32_t>(n));
        for (int i = 0; i < 4; ++i) head[4 + i] = static_cast<unsigned char>(type[i]);
        uLong crc = crc32(0L, head + 4, 4);
        if (n > 0) crc = crc32(crc, data, static_cast<uInt>(n));
        unsigned char tail[4];
        put32(tail, static_cast<std::uint32_t>(crc));
        raw(head, 8);
        raw(data, n);
        raw(tail, 4);
    }
    void reserve(std::size_t n) { bytes_.reserve(n); }
    std::string& bytes() { return bytes_; }

private:
    std::string bytes_;
};

// The rows of the surface as PNG scan lines: the filter byte, then R, G, B
// of each pixel. On a little-endian machine a pixel xRGB is stored as the
// bytes B, G, R, x, whose byte swap shifted down is R, G, B, 0: two pixels
// are written as one eight-byte store of R, G, B, R, G, B and two zeros
// the next pair overwrites.
void scan_line(const unsigned char* data, int stride, int y, int width, unsigned char* line) {
    const auto* px =
        reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    line[0] = kNoFilter;
    unsigned char* q = line + 1;
    int x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        const auto rgb0 = [](std::uint32_t p) { return std::uint64_t{__builtin_bswap32(p) >> 8}; };
        for (; x + 2 < width; x += 2, q += 2 * kRgbBytes) {
            if (x % kPixelsPerPrefetch == 0) __builtin_prefetch(px + x + kPrefetchAhead);
            const std::uint64_t two = rgb0(px[x]) | rgb0(px[x + 1]) << (8 * kRgbBytes);
            std::memcpy(q, &two, sizeof two);
        }
    }
    for (; x < width; ++x, q += kRgbBytes) {
        const std::uint32_t p = px[x];
        q[0] = static_cast<unsigned char>(p >> 16);
        q[1] = static_cast<unsigned char>(p >> 8);
        q[2] = static_cast<unsigned char>(p);
    }
}

// The deflated bytes, kept for the next image of the thread: a batch run
// writes several images of the same size, and fresh buffers are zeroed
// page by page. Buffers larger than this (a poster-sized export) are not
// kept.
constexpr std::size_t kKeptBytes = std::size_t{32} << 20;
std::vector<unsigned char>& packed_buffer() {
    thread_local std::vector<unsigned char> packed;
    return packed;
}

// The scan lines made one at a time and deflated by the diagram encoder;
// false when nothing came out.
bool deflate_rows(cairo_surface_t* surface, int width, int height,
                  std::vector<unsigned char>& packed) {
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const std::size_t line = 1 + kRgbBytes * static_cast<std::size_t>(width);
    ScanLineDeflater deflater(line, kRgbBytes);
    for (int y = 0; y < height; ++y) {
        scan_line(data, stride, y, width, deflater.next_line());
        deflater.add_line(line);
    }
    deflater.finish(packed);
    return !packed.empty();
}

// Bytes of a chunk besides its data: length, type, check value.
constexpr std::size_t kChunkFrame = 12;

// The deflated rows in IDAT chunks, then the end chunk, after `head`; the
// room for all is taken at once (the image is written once, not grown).
void write_body(PngOut& out, const std::string& head, const std::vector<unsigned char>& packed) {
    const std::size_t n = packed.size();
    out.reserve(head.size() + n + (n / kChunk + 1) * kChunkFrame + kChunkFrame);
    out.raw(reinterpret_cast<const unsigned char*>(head.data()), head.size());
    for (std::size_t k = 0; k < n; k += kChunk)
        out.chunk("IDAT", packed.data() + k, std::min(kChunk, n - k));
    out.chunk("IEND", nullptr, 0);
}

cairo_status_t append_bytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// The PNG bytes of the surface, with the mark when it is not empty:
// RGB24 image surfaces by the fast writer, others by cairo's. "" when
// made, else why not.
std::string encode(cairo_surface_t* surface, const std::string& mark, std::string& png) {
    cairo_surface_flush(surface);
    if (cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(surface) != CAIRO_FORMAT_RGB24) {
        const cairo_status_t status =
            cairo_surface_write_to_png_stream(surface, append_bytes, &png);
        if (status != CAIRO_STATUS_SUCCESS) return cairo_status_to_string(status);
        if (!mark.empty()) png = png_with_text(png, BATCH_IMAGE_KEYWORD, mark);
        return "";
    }
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    // The signature and the header chunk, with the mark's chunk after it.
    PngOut head;
    head.raw(kSignature, sizeof kSignature);
    unsigned char header[13] = {};
    put32(header, static_cast<std::uint32_t>(width));
    put32(header + 4, static_cast<std::uint32_t>(height));
    header[8] = 8;  // bits per sample
    header[9] = kRgb;
    head.chunk("IHDR", header, sizeof header);
    if (!mark.empty()) head.bytes() = png_with_text(head.bytes(), BATCH_IMAGE_KEYWORD, mark);

    std::vector<unsigned char>& packed = packed_buffer();
    if (!deflate_rows(surface, width, height, packed)) return "the image could not be compressed";
    PngOut out;
    write_body(out, head.bytes(), packed);
    if (packed.capacity() > kKeptBytes) packed = {};
    png = std::move(out.bytes());
    return "";
}

}  // namespace

std::string write_png_file(cairo_surface_t* surface, const std::string& path,
                           const std::string& mark) {
    std::string png;
    if (std::string why = encode(surface, mark, png); !why.empty()) return why;
    std::string reason;
    if (replace_file_contents(path, png, reason)) return "";
    return "the file cannot be written: " + reason;
}

}  // namespace app::diagrams
