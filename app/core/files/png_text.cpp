// Text chunks of PNG images: written after the header chunk, found before
// the image data.
#include "app/core/files/png_text.h"

#include <array>
#include <cstdint>

namespace app {

namespace {

constexpr std::string_view SIGNATURE = "\x89PNG\r\n\x1a\n";
constexpr std::size_t MAX_KEYWORD = 79;

std::uint32_t crc32(std::string_view bytes) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1U) != 0 ? 0xedb88320U ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xffffffffU;
    for (char b : bytes) c = table[(c ^ static_cast<unsigned char>(b)) & 0xffU] ^ (c >> 8);
    return c ^ 0xffffffffU;
}

void put32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xffU);
}

std::uint32_t get32(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 4; ++k) v = (v << 8) | static_cast<unsigned char>(bytes[at + k]);
    return v;
}

// One chunk of the image: its type, data and the offset after it.
struct Chunk {
    std::string_view type, data;
    std::size_t end = 0;
};

std::optional<Chunk> chunk_at(std::string_view png, std::size_t at) {
    if (at + 12 > png.size()) return std::nullopt;
    const std::uint32_t length = get32(png, at);
    if (length > png.size() - at - 12) return std::nullopt;
    return Chunk{png.substr(at + 4, 4), png.substr(at + 8, length), at + 12 + length};
}

}  // namespace

std::string png_with_text(std::string_view png, std::string_view keyword, std::string_view text) {
    if (png.substr(0, SIGNATURE.size()) != SIGNATURE || keyword.empty() ||
        keyword.size() > MAX_KEYWORD)
        return std::string(png);
    const std::optional<Chunk> header = chunk_at(png, SIGNATURE.size());
    if (!header || header->type != "IHDR") return std::string(png);
    std::string body = "tEXt";
    body += keyword;
    body += '\0';
    body += text;
    std::string out(png.substr(0, header->end));
    put32(out, static_cast<std::uint32_t>(body.size() - 4));
    out += body;
    put32(out, crc32(body));
    out += png.substr(header->end);
    return out;
}

std::optional<std::string> png_text(std::string_view png, std::string_view keyword) {
    if (png.substr(0, SIGNATURE.size()) != SIGNATURE) return std::nullopt;
    std::size_t at = SIGNATURE.size();
    while (const std::optional<Chunk> c = chunk_at(png, at)) {
        if (c->type == "IDAT" || c->type == "IEND") break;
        if (c->type == "tEXt") {
            const std::size_t nul = c->data.find('\0');
            if (nul != std::string_view::npos && c->data.substr(0, nul) == keyword)
                return std::string(c->data.substr(nul + 1));
        }
        at = c->end;
    }
    return std::nullopt;
}

}  // namespace app
