// The diagram deflate encoder: find the repeats (row above, pixel before)
// greedily, count the symbols, make length-limited Huffman codes for them,
// then write the block: header, code lengths, symbols, end of block.
#include "app/diagrams/png_deflate.h"

#include "app/diagrams/populated_pages.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <numeric>
#include <utility>

#include <zlib.h>
#ifdef KVR2_LIBDEFLATE
#include <libdeflate.h>
#endif

namespace app::diagrams {

namespace {

constexpr int kMinMatch = 3, kMaxMatch = 258;
constexpr std::size_t kMaxDistance = 32768;
// Masks of the first three bytes of four read as a little- or big-endian
// number; a value no three bytes have.
constexpr std::uint32_t kThreeBytes =
    std::endian::native == std::endian::little ? 0x00ffffffu : 0xffffff00u;
constexpr std::uint32_t kNoBytes = ~kThreeBytes;
// Bytes of the window beyond the room of a line, read with the last bytes.
constexpr std::size_t kWindowSlack = 4;
constexpr int kLitLenSymbols = 286, kDistSymbols = 30, kCodeLenSymbols = 19;
constexpr int kEndOfBlock = 256;
constexpr std::size_t kFirstLengthSymbol = 257;
constexpr int kMaxCodeBits = 15, kMaxCodeLenBits = 7;
// Code-length symbols: repeat the previous length 3-6 times, 3-10 zeros,
// 11-138 zeros.
constexpr int kRepeatPrevious = 16, kShortZeros = 17, kLongZeros = 18;
constexpr std::array<int, kCodeLenSymbols> kCodeLenOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                            11, 4,  12, 3, 13, 2, 14, 1, 15};
// zlib header: deflate with a 32 KiB window, fastest level, check bits.
constexpr unsigned char kZlibHeader[2] = {0x78, 0x01};

// Base values and extra bits of the length codes 257-285 and the
// distance codes 0-29.
constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                             15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                             67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, kDistSymbols> kDistBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, kDistSymbols> kDistExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                      4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                      9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The code whose range holds v: the last base not above it.
template <std::size_t N>
int code_of(const std::array<int, N>& base, int v) {
    return static_cast<int>(std::upper_bound(base.begin(), base.end(), v) - base.begin()) - 1;
}

// A symbol of the block: a literal byte, or a repeat of `length` bytes
// from `distance` back. Left unset when made without values: the walk
// makes room for one a byte and writes each it keeps.
struct Token {
    std::uint16_t length;  // 0: literal
    std::uint16_t value;   // the literal, or the distance - 1
};

// The symbol of each repeat length 3-258 (the code's index in the length
// table; 257 plus this in the alphabet).
struct LengthCodes {
    std::array<std::uint8_t, kMaxMatch + 1> code{};
    LengthCodes() {
        for (int n = kMinMatch; n <= kMaxMatch; ++n)
            code[static_cast<std::size_t>(n)] = static_cast<std::uint8_t>(code_of(kLengthBase, n));
    }
};
const LengthCodes& length_codes() {
    static const LengthCodes codes;
    return codes;
}

// The tokens of the lines added so far with the counts of their
// literal/length symbols and of their repeats of the row and of the pixel.
// An image has hundreds of thousands of tokens: their pages are made
// present at once.
// Room made by resize is left unset (zeroing a token per byte of the
// image cost a fifth of the walk).
template <class T>
struct UnsetAllocator : PopulatedAllocator<T> {
    using value_type = T;
    template <class U>
    struct rebind {
        using other = UnsetAllocator<U>;
    };
    UnsetAllocator() = default;
    template <class U>
    UnsetAllocator(const UnsetAllocator<U>&) noexcept {}
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
using Tokens = std::vector<Token, UnsetAllocator<Token>>;
struct Tally {
    Tokens tokens;
    std::array<std::uint32_t, kLitLenSymbols> literal{};
    std::uint32_t from_up = 0, from_left = 0;
};

// Bytes at a and b equal from the start, up to `limit`.
std::size_t common_length(const unsigned char* a, const unsigned char* b, std::size_t limit) {
    std::size_t n = 0;
    while (n + 8 <= limit) {
        std::uint64_t x = 0, y = 0;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y) return n + static_cast<std::size_t>(__builtin_ctzll(x ^ y) / 8);
        n += 8;
    }
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

// Step 1: the greedy walk over the bytes [begin, end) of `data`, whose
// bytes from `first` on may be repeated. At each byte the longer of the
// repeats of the row above (`up` back) and of the pixel before (`left`
// back) is taken when it has three bytes or more, else the byte as a
// literal. The tokens go into room made for one per byte, through a plain
// pointer. The tally is thread-local, and in a shared module every access
// to it inside the loop was a call when the compiler knew which tally came
// in (inlined or cloned for it): here it is a plain reference.
[[gnu::noipa]] void find_repeats(const unsigned char* data, std::size_t first, std::size_t begin,
                                 std::size_t end, std::size_t up, std::size_t left, Tally& tally) {
    Tokens& tokens = tally.tokens;
    const std::size_t before = tokens.size();
    tokens.resize(before + (end - begin));
    Token* out = tokens.data() + before;
    std::uint32_t* literal = tally.literal.data();
    std::uint32_t from_up = 0, from_left = 0;
    const LengthCodes& lc = length_codes();
    // The first three bytes at p, compared as one number (the window has
    // room for the fourth byte read with them).
    const auto three = [](const unsigned char* p) {
        std::uint32_t v = 0;
        std::memcpy(&v, p, sizeof v);
        return v & kThreeBytes;
    };
    std::size_t i = begin;
    while (i < end) {
        // Most bytes that start no repeat are told by their first three.
        const std::uint32_t c = end - i >= kMinMatch ? three(data + i) : kNoBytes;
        const bool up_may = i >= first + up && three(data + i - up) == c;
        const bool left_may = i >= first + left && three(data + i - left) == c;
        if (!up_may && !left_may) {
            *out++ = {0, data[i]};
            ++literal[data[i]];
            ++i;
            continue;
        }
        const std::size_t limit = std::min<std::size_t>(kMaxMatch, end - i);
        std::size_t best = 0, distance = 0;
        if (up_may) best = common_length(data + i, data + i - up, limit), distance = up;
        if (left_may && best < limit) {
            const std::size_t n = common_length(data + i, data + i - left, limit);
            if (n > best) best = n, distance = left;
        }
        *out++ = {static_cast<std::uint16_t>(best), static_cast<std::uint16_t>(distance - 1)};
        ++literal[kFirstLengthSymbol + std::size_t{lc.code[best]}];
        ++(distance == up ? from_up : from_left);
        i += best;
    }
    tokens.resize(static_cast<std::size_t>(out - tokens.data()));
    tally.from_up += from_up;
    tally.from_left += from_left;
}

// Huffman code lengths of at most `limit` bits for the counts (0: the
// symbol is not used). Where the tree grows deeper the counts are halved
// (none to zero) and the tree made again.
void code_lengths(std::vector<std::uint32_t> counts, int limit,
                  std::vector<std::uint8_t>& lengths) {
    const std::size_t n = counts.size();
    lengths.assign(n, 0);
    for (;;) {
        std::vector<std::size_t> leaves;
        for (std::size_t s = 0; s < n; ++s)
            if (counts[s] > 0) leaves.push_back(s);
        std::stable_sort(leaves.begin(), leaves.end(),
                         [&](std::size_t a, std::size_t b) { return counts[a] < counts[b]; });
        // Two queues: the sorted leaves and the merged nodes (made in
        // rising order); node k < m are leaves, the rest merged.
        const std::size_t m = leaves.size();
        std::vector<std::uint64_t> weight(2 * m);
        std::vector<std::size_t> parent(2 * m, 0);
        for (std::size_t k = 0; k < m; ++k) weight[k] = counts[leaves[k]];
        std::size_t next_leaf = 0, next_node = m, made = m;
        const auto take = [&]() {
            if (next_leaf < m && (next_node >= made || weight[next_leaf] <= weight[next_node]))
                return next_leaf++;
            return next_node++;
        };
        for (std::size_t k = 1; k < m; ++k) {
            const std::size_t a = take(), b = take();
            weight[made] = weight[a] + weight[b];
            parent[a] = parent[b] = made;
            ++made;
        }
        // Depths from the root (the last node made) down.
        std::vector<int> depth(2 * m, 0);
        int deepest = 0;
        for (std::size_t k = made - 1; k-- > 0;) {
            depth[k] = depth[parent[k]] + 1;
            deepest = std::max(deepest, depth[k]);
        }
        if (deepest <= limit) {
            for (std::size_t k = 0; k < m; ++k)
                lengths[leaves[k]] = static_cast<std::uint8_t>(depth[k]);
            return;
        }
        for (std::uint32_t& c : counts)
            if (c > 0) c = (c >> 1) | 1;
    }
}

// At least two symbols of an alphabet get a code, so that every code is
// a complete tree (a single code of one bit is not read alike by all
// decoders).
void two_symbols_at_least(std::vector<std::uint32_t>& counts) {
    int used = 0;
    for (std::uint32_t c : counts) used += c > 0 ? 1 : 0;
    for (std::size_t s = 0; used < 2 && s < counts.size(); ++s)
        if (counts[s] == 0) counts[s] = 1, ++used;
}

// The canonical codes of the lengths, bit-reversed for writing from the
// least significant bit.
std::vector<std::uint16_t> canonical_codes(const std::vector<std::uint8_t>& lengths) {
    std::array<int, kMaxCodeBits + 2> per_length{};
    for (std::uint8_t l : lengths) ++per_length[l];
    per_length[0] = 0;
    std::array<int, kMaxCodeBits + 2> next{};
    int code = 0;
    for (int bits = 1; bits <= kMaxCodeBits + 1; ++bits) {
        code = (code + per_length[static_cast<std::size_t>(bits - 1)]) << 1;
        next[static_cast<std::size_t>(bits)] = code;
    }
    std::vector<std::uint16_t> codes(lengths.size(), 0);
    for (std::size_t s = 0; s < lengths.size(); ++s) {
        const int l = lengths[s];
        if (l == 0) continue;
        int c = next[static_cast<std::size_t>(l)]++, reversed = 0;
        for (int b = 0; b < l; ++b) reversed = (reversed << 1) | ((c >> b) & 1);
        codes[s] = static_cast<std::uint16_t>(reversed);
    }
    return codes;
}

// Bits written from the least significant end of each byte, into room
// made beforehand; up to 32 bits at a time.
class BitWriter {
public:
    // Room for `bits` more bits.
    BitWriter(std::vector<unsigned char>& out, std::size_t bits) : out_(out), start_(out.size()) {
        out_.resize(start_ + bits / 8 + kSlackBytes);
        p_ = out_.data() + start_;
    }
    void put(std::uint32_t value, int bits) {
        acc_ |= static_cast<std::uint64_t>(value) << count_;
        count_ += bits;
        if (count_ >= 32) {
            for (int k = 0; k < 4; ++k) p_[k] = static_cast<unsigned char>(acc_ >> (8 * k));
            p_ += 4;
            acc_ >>= 32;
            count_ -= 32;
        }
    }
    // Writes the last bits and trims the room left over.
    void finish() {
        for (; count_ > 0; count_ -= 8) {
            *p_++ = static_cast<unsigned char>(acc_);
            acc_ >>= 8;
        }
        count_ = 0;
        out_.resize(static_cast<std::size_t>(p_ - out_.data()));
    }

private:
    static constexpr std::size_t kSlackBytes = 16;
    std::vector<unsigned char>& out_;
    std::size_t start_;
    unsigned char* p_ = nullptr;
    std::uint64_t acc_ = 0;
    int count_ = 0;
};

// One entry of the run-length form of the code lengths: a code-length
// symbol and the value of its extra bits.
struct LengthRun {
    int symbol = 0, extra = 0;
};

// Step 3: the code lengths of both alphabets as one sequence in run-length
// form.
std::vector<LengthRun> length_runs(const std::vector<std::uint8_t>& all) {
    std::vector<LengthRun> runs;
    std::size_t i = 0;
    while (i < all.size()) {
        const int l = all[i];
        std::size_t n = 1;
        while (i + n < all.size() && all[i + n] == l) ++n;
        i += n;
        if (l == 0) {
            while (n >= 11) {
                const std::size_t k = std::min<std::size_t>(n, 138);
                runs.push_back({kLongZeros, static_cast<int>(k - 11)});
                n -= k;
            }
            if (n >= 3) {
                runs.push_back({kShortZeros, static_cast<int>(n - 3)});
                n = 0;
            }
        } else {
            runs.push_back({l, 0});
            --n;
            while (n >= 3) {
                const std::size_t k = std::min<std::size_t>(n, 6);
                runs.push_back({kRepeatPrevious, static_cast<int>(k - 3)});
                n -= k;
            }
        }
        for (; n > 0; --n) runs.push_back({l, 0});
    }
    return runs;
}

int extra_bits_of_run(int symbol) {
    switch (symbol) {
        case kRepeatPrevious: return 2;
        case kShortZeros: return 3;
        case kLongZeros: return 7;
        default: return 0;
    }
}

// The distance symbol of the distances of the block: there are a few only
// (the row and the pixel), so the last ones are kept.
class DistanceCodes {
public:
    int operator()(int distance) {
        for (const auto& [d, c] : kept_)
            if (d == distance) return c;
        const int c = code_of(kDistBase, distance);
        kept_[next_++ % kept_.size()] = {distance, c};
        return c;
    }

private:
    std::array<std::pair<int, int>, 2> kept_{{{0, 0}, {0, 0}}};
    std::size_t next_ = 0;
};

// A symbol's code followed by its extra bits, as one run of bits.
struct Code {
    std::uint32_t bits = 0;
    int count = 0;
};

// Codes and code lengths of an alphabet.
struct Alphabet {
    std::vector<std::uint8_t> lengths;
    std::vector<std::uint16_t> codes;
    void make(std::vector<std::uint32_t> counts, int limit) {
        two_symbols_at_least(counts);
        code_lengths(std::move(counts), limit, lengths);
        codes = canonical_codes(lengths);
    }
    Code code(std::size_t symbol) const { return {codes[symbol], lengths[symbol]}; }
};

// Step 2: the symbol counts of both alphabets.
void count_symbols(const Tally& tally, std::size_t up, std::size_t left,
                   std::vector<std::uint32_t>& lit_counts,
                   std::vector<std::uint32_t>& dist_counts) {
    lit_counts.assign(tally.literal.begin(), tally.literal.end());
    lit_counts[kEndOfBlock] = 1;
    dist_counts.assign(kDistSymbols, 0);
    if (tally.from_up > 0)
        dist_counts[static_cast<std::size_t>(code_of(kDistBase, static_cast<int>(up)))] +=
            tally.from_up;
    if (tally.from_left > 0)
        dist_counts[static_cast<std::size_t>(code_of(kDistBase, static_cast<int>(left)))] +=
            tally.from_left;
}

// Step 3: the block's header with the code lengths of both alphabets in
// run-length form, themselves coded.
void write_header(const Alphabet& lit, const Alphabet& dist, BitWriter& bits) {
    std::size_t n_lit = kLitLenSymbols, n_dist = kDistSymbols;
    while (n_lit > 257 && lit.lengths[n_lit - 1] == 0) --n_lit;
    while (n_dist > 1 && dist.lengths[n_dist - 1] == 0) --n_dist;
    std::vector<std::uint8_t> all(lit.lengths.begin(), lit.lengths.begin() + n_lit);
    all.insert(all.end(), dist.lengths.begin(), dist.lengths.begin() + n_dist);
    const std::vector<LengthRun> runs = length_runs(all);
    std::vector<std::uint32_t> run_counts(kCodeLenSymbols, 0);
    for (const LengthRun& r : runs) ++run_counts[static_cast<std::size_t>(r.symbol)];
    Alphabet rle;
    rle.make(run_counts, kMaxCodeLenBits);
    std::size_t n_runs = kCodeLenSymbols;
    while (n_runs > 4 && rle.lengths[static_cast<std::size_t>(kCodeLenOrder[n_runs - 1])] == 0)
        --n_runs;

    bits.put(1, 1);  // the last block
    bits.put(2, 2);  // with codes of its own
    bits.put(static_cast<std::uint32_t>(n_lit - 257), 5);
    bits.put(static_cast<std::uint32_t>(n_dist - 1), 5);
    bits.put(static_cast<std::uint32_t>(n_runs - 4), 4);
    for (std::size_t k = 0; k < n_runs; ++k)
        bits.put(rle.lengths[static_cast<std::size_t>(kCodeLenOrder[k])], 3);
    for (const LengthRun& r : runs) {
        const Code c = rle.code(static_cast<std::size_t>(r.symbol));
        bits.put(c.bits, c.count);
        if (const int e = extra_bits_of_run(r.symbol); e > 0)
            bits.put(static_cast<std::uint32_t>(r.extra), e);
    }
}

// Step 4: the symbols, each repeat's length and distance code with their
// extra bits, then the end of the block.
void write_symbols(const Tokens& tokens, const Alphabet& lit, const Alphabet& dist,
                   BitWriter& bits) {
    std::array<Code, kMaxMatch + 1> by_length{};
    const LengthCodes& lc = length_codes();
    for (int n = kMinMatch; n <= kMaxMatch; ++n) {
        const std::size_t k = lc.code[static_cast<std::size_t>(n)];
        const Code c = lit.code(257 + k);
        by_length[static_cast<std::size_t>(n)] = {
            c.bits | static_cast<std::uint32_t>(n - kLengthBase[k]) << c.count,
            c.count + kLengthExtra[k]};
    }
    DistanceCodes dc;
    for (const Token& t : tokens) {
        if (t.length == 0) {
            const Code c = lit.code(t.value);
            bits.put(c.bits, c.count);
            continue;
        }
        const Code l = by_length[t.length];
        bits.put(l.bits, l.count);
        const int distance = t.value + 1;
        const auto k = static_cast<std::size_t>(dc(distance));
        const Code d = dist.code(k);
        bits.put(d.bits | static_cast<std::uint32_t>(distance - kDistBase[k]) << d.count,
                 d.count + kDistExtra[k]);
    }
    const Code end = lit.code(kEndOfBlock);
    bits.put(end.bits, end.count);
}

// Bits of the symbols counted, with their extra bits: the room the block's
// symbols take.
std::size_t symbol_bits(const std::vector<std::uint32_t>& lit_counts,
                        const std::vector<std::uint32_t>& dist_counts, const Alphabet& lit,
                        const Alphabet& dist) {
    std::size_t bits = 0;
    for (std::size_t s = 0; s < lit_counts.size(); ++s) {
        const int extra = s > kEndOfBlock ? kLengthExtra[s - kEndOfBlock - 1] : 0;
        bits += std::size_t{lit_counts[s]} * static_cast<std::size_t>(lit.lengths[s] + extra);
    }
    for (std::size_t s = 0; s < dist_counts.size(); ++s)
        bits +=
            std::size_t{dist_counts[s]} * static_cast<std::size_t>(dist.lengths[s] + kDistExtra[s]);
    return bits;
}

// Most bits of the block's header.
constexpr std::size_t kMaxHeaderBits =
    17 + 3 * kCodeLenSymbols + (kLitLenSymbols + kDistSymbols) * (kMaxCodeLenBits + 7);

std::uint32_t adler32_of(std::uint32_t adler, const unsigned char* data, std::size_t size) {
#ifdef KVR2_LIBDEFLATE
    return libdeflate_adler32(adler, data, size);  // (a tenth of zlib's time)
#else
    return static_cast<std::uint32_t>(adler32_z(adler, data, size));
#endif
}

// Tokens of the lines added, kept for the next image of the thread; up to
// this many bytes.
constexpr std::size_t kKeptTokenBytes = std::size_t{32} << 20;
constexpr std::size_t kFirstTokens = LARGE_PAGE_BYTES / sizeof(Token);
Tally& kept_tally() {
    thread_local Tally tally;
    return tally;
}

}  // namespace

ScanLineDeflater::ScanLineDeflater(std::size_t line, std::size_t pixel)
    : line_(line),
      up_(line > 0 && line <= kMaxDistance ? line : kNever),
      left_(pixel > 0 && pixel <= kMaxDistance ? pixel : kNever),
      window_(2 * line + kWindowSlack) {
    Tally& tally = kept_tally();
    // Room for the tokens of a batch image (some 300,000) on one large
    // page, taken once: growing there from nothing touched twice as many
    // fresh pages and copied the tokens twice.
    if (tally.tokens.capacity() < kFirstTokens) tally.tokens.reserve(kFirstTokens);
    tally.tokens.clear();
    tally.literal.fill(0);
    tally.from_up = tally.from_left = 0;
}

ScanLineDeflater::~ScanLineDeflater() {
    Tokens& tokens = kept_tally().tokens;
    if (tokens.capacity() * sizeof(Token) > kKeptTokenBytes) tokens = {};
}

void ScanLineDeflater::add_line(std::size_t n) {
    n = std::min(n, line_);
    unsigned char* current = window_.data() + line_;
    find_repeats(window_.data(), lines_ > 0 ? 0 : line_, line_, line_ + n, up_, left_,
                 kept_tally());
    adler_ = adler32_of(adler_, current, n);
    std::memcpy(window_.data(), current, n);  // the row above of the next line
    ++lines_;
}

void ScanLineDeflater::finish(std::vector<unsigned char>& out) {
    const Tally& tally = kept_tally();
    const Tokens& tokens = tally.tokens;
    std::vector<std::uint32_t> lit_counts, dist_counts;
    count_symbols(tally, up_, left_, lit_counts, dist_counts);
    Alphabet lit, dist;
    lit.make(lit_counts, kMaxCodeBits);
    dist.make(dist_counts, kMaxCodeBits);

    out.clear();
    for (unsigned char c : kZlibHeader) out.push_back(c);
    BitWriter bits(out, kMaxHeaderBits + symbol_bits(lit_counts, dist_counts, lit, dist));
    write_header(lit, dist, bits);
    write_symbols(tokens, lit, dist, bits);
    bits.finish();
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(adler_ >> shift));
}

void deflate_scan_lines(const unsigned char* data, std::size_t size, std::size_t line,
                        std::size_t pixel, std::vector<unsigned char>& out) {
    ScanLineDeflater deflater(line, pixel);
    for (std::size_t k = 0; k < size; k += line) {
        const std::size_t n = std::min(line, size - k);
        std::memcpy(deflater.next_line(), data + k, n);
        deflater.add_line(n);
    }
    deflater.finish(out);
}

}  // namespace app::diagrams
