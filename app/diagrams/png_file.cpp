// PNG files of cairo image surfaces: signature, header, the deflated rows in
// data chunks, end chunk; written under a temporary name of its own in the
// same folder and renamed at the end, so that a file of that name is never
// seen half written (nor mixed from two programs writing it at once).
#include "app/diagrams/png_file.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>
#ifdef KVR2_LIBDEFLATE
#include <libdeflate.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

namespace app::diagrams {

namespace {

constexpr std::size_t kChunk = 1 << 16;  // bytes of deflated data per IDAT chunk
constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr unsigned char kRgb = 2;       // colour type: 8-bit red, green, blue
constexpr unsigned char kNoFilter = 0;  // filter type of every row

const char* const kCannotWrite =
    "the file cannot be written (a folder of that name, no such folder, or no permission)";

void put32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};

// Permission bits of the file: those of a file it replaces, else what the
// user's umask leaves of rw-rw-rw-.
mode_t file_mode(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// One PNG file being written, under a temporary name until it is kept;
// `ok` turns false at the first failed write.
class PngOut {
public:
    explicit PngOut(const std::string& path) : path_(path) {
        std::filesystem::path dir = std::filesystem::path(path).parent_path();
        if (dir.empty()) dir = ".";
        temp_ =
            (dir / ("." + std::filesystem::path(path).filename().string() + ".XXXXXX")).string();
        const int fd = ::mkstemp(temp_.data());
        if (fd < 0) return;
        ::fchmod(fd, file_mode(path));
        file_.reset(::fdopen(fd, "wb"));
        if (file_ == nullptr) ::close(fd);
    }
    ~PngOut() {
        if (!kept_) std::remove(temp_.c_str());
    }
    PngOut(const PngOut&) = delete;
    PngOut& operator=(const PngOut&) = delete;
    bool opened() const { return file_ != nullptr; }
    bool ok() const { return ok_; }

    void raw(const unsigned char* data, std::size_t n) {
        if (ok_ && n > 0 && std::fwrite(data, 1, n, file_.get()) != n) ok_ = false;
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
    bool close() {
        std::FILE* f = file_.release();
        if (f != nullptr && std::fclose(f) != 0) ok_ = false;
        return ok_;
    }
    // The file under its own name (a file of that name replaced).
    bool keep() {
        kept_ = ok_ && std::rename(temp_.c_str(), path_.c_str()) == 0;
        return kept_;
    }

private:
    std::string path_, temp_;
    std::unique_ptr<std::FILE, FileCloser> file_;
    bool ok_ = true, kept_ = false;
};

// The rows of the surface as PNG scan lines: the filter byte, then R, G, B
// of each pixel.
void scan_line(const unsigned char* data, int stride, int y, int width, unsigned char* line) {
    const auto* px =
        reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    line[0] = kNoFilter;
    for (int x = 0; x < width; ++x) {
        const std::uint32_t p = px[x];  // xRGB in native order
        unsigned char* q = &line[1 + 3 * static_cast<std::size_t>(x)];
        q[0] = static_cast<unsigned char>(p >> 16);
        q[1] = static_cast<unsigned char>(p >> 8);
        q[2] = static_cast<unsigned char>(p);
    }
}

#ifdef KVR2_LIBDEFLATE
// The scan lines deflated by libdeflate at its fastest level (half the work
// of zlib's fastest for these images), into IDAT chunks.
bool write_rows(PngOut& out, cairo_surface_t* surface, int width, int height) {
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const std::size_t line = 1 + 3 * static_cast<std::size_t>(width);
    std::vector<unsigned char> raw(line * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        scan_line(data, stride, y, width, raw.data() + line * static_cast<std::size_t>(y));
    libdeflate_compressor* c = libdeflate_alloc_compressor(1);
    if (c == nullptr) return false;
    std::vector<unsigned char> packed(libdeflate_zlib_compress_bound(c, raw.size()));
    const std::size_t n =
        libdeflate_zlib_compress(c, raw.data(), raw.size(), packed.data(), packed.size());
    libdeflate_free_compressor(c);
    if (n == 0) return false;
    for (std::size_t k = 0; k < n; k += kChunk)
        out.chunk("IDAT", packed.data() + k, std::min(kChunk, n - k));
    return true;
}
#else
// The scan lines deflated by zlib at its fastest level, into IDAT chunks.
bool write_rows(PngOut& out, cairo_surface_t* surface, int width, int height) {
    z_stream zs{};
    if (deflateInit(&zs, Z_BEST_SPEED) != Z_OK) return false;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<unsigned char> line(1 + 3 * static_cast<std::size_t>(width));
    std::vector<unsigned char> buffer(kChunk);
    zs.next_out = buffer.data();
    zs.avail_out = static_cast<uInt>(buffer.size());
    bool ok = true;
    const auto drain = [&](int flush) {
        do {
            if (zs.avail_out == 0) {
                out.chunk("IDAT", buffer.data(), buffer.size());
                zs.next_out = buffer.data();
                zs.avail_out = static_cast<uInt>(buffer.size());
            }
            const int r = deflate(&zs, flush);
            if (r == Z_STREAM_ERROR) return false;
            if (flush == Z_FINISH && r == Z_STREAM_END) return true;
        } while (zs.avail_in > 0 || zs.avail_out == 0);
        return flush != Z_FINISH;
    };
    for (int y = 0; y < height && ok; ++y) {
        scan_line(data, stride, y, width, line.data());
        zs.next_in = line.data();
        zs.avail_in = static_cast<uInt>(line.size());
        ok = drain(Z_NO_FLUSH);
    }
    if (ok) {
        zs.next_in = nullptr;
        zs.avail_in = 0;
        ok = drain(Z_FINISH);
        const std::size_t left = buffer.size() - zs.avail_out;
        if (ok && left > 0) out.chunk("IDAT", buffer.data(), left);
    }
    deflateEnd(&zs);
    return ok;
}
#endif

}  // namespace

std::string write_png_file(cairo_surface_t* surface, const std::string& path) {
    cairo_surface_flush(surface);
    if (cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(surface) != CAIRO_FORMAT_RGB24) {
        const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
        if (status == CAIRO_STATUS_SUCCESS) return "";
        if (status == CAIRO_STATUS_WRITE_ERROR) return kCannotWrite;
        return cairo_status_to_string(status);
    }
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    PngOut out(path);
    if (!out.opened()) return kCannotWrite;
    out.raw(kSignature, sizeof kSignature);
    unsigned char header[13] = {};
    put32(header, static_cast<std::uint32_t>(width));
    put32(header + 4, static_cast<std::uint32_t>(height));
    header[8] = 8;  // bits per sample
    header[9] = kRgb;
    out.chunk("IHDR", header, sizeof header);
    if (!write_rows(out, surface, width, height)) {
        out.close();
        return "the image could not be compressed";
    }
    out.chunk("IEND", nullptr, 0);
    if (!out.close()) return "the file could not be written completely (is the disk full?)";
    if (!out.keep()) return kCannotWrite;
    return "";
}

}  // namespace app::diagrams
