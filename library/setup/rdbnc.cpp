// RDBNC: the record of one binary pair in the "#BNC" section of the
// mixture-parameter text.
#include <string_view>
#include <vector>

#include "library/library.h"
#include "library/setup/records.h"
#include "library/setup/sethmx.h"
#include "library/setup/textstore.h"
#include "library/transport/records.h"

namespace lib {

namespace {

constexpr int kLineLimit = 20000;  // lines examined by one search
constexpr std::size_t kCommentWidth = 255;

// Column c (1-based) of a line, blank past its end.
char col(std::string_view s, std::size_t c) { return c <= s.size() ? s[c - 1] : ' '; }

std::string_view cols(std::string_view s, std::size_t from, std::size_t to) {
    if (from > s.size()) return {};
    return s.substr(from - 1, to - from + 1);
}

// One line of a pair block: its code (columns 27-29) and numbers (30-255).
struct CodedLine {
    Code code{"   "};
    std::array<double, 12> v{};
    bool present = false;
};

// The fields collected from one pair block.
struct PairBlock {
    std::string cas1, cas2;  // blank-padded to 12
    std::string comment;
    CodedLine model, tc, vc, pr, trn;
    bool bad_code = false;

    void add_comment(std::string_view line) {
        std::string_view text = line.size() > 1 ? line.substr(1) : std::string_view();
        if (comment.empty() && !started) {
            comment = std::string(text);
        } else {
            // The comment so far is cut behind the first blank of its first
            // run of 21 blanks (its padding), then "\" and the new text.
            std::string padded = comment;
            padded.resize(kCommentWidth, ' ');
            std::size_t run = padded.find(std::string(21, ' '));
            if (run != std::string::npos) padded.resize(run + 1);
            comment = padded + "\\" + std::string(text);
        }
        started = true;
        if (comment.size() > kCommentWidth) comment.resize(kCommentWidth);
    }

    // Sorts a record or continuation line by its code.
    void add_coded(std::string_view line) {
        CodedLine c;
        c.code = Code(cols(line, 27, 29));
        c.present = true;
        std::string_view nums = cols(line, 30, 255);
        read_numbers(nums, c.v.data(), static_cast<int>(c.v.size()));
        const Code& k = c.code;
        if (k.is("TRN")) {
            trn = c;
        } else if (k.starts("KW") || k.starts("GE") || k.starts("LJ") || k.starts("LM") ||
                   k.is("TR1") || k.is("LIN")) {
            model = c;
        } else if (k.starts("TC")) {
            tc = c;
        } else if (k.starts("VC")) {
            vc = c;
        } else if (k.starts("PR")) {
            pr = c;
        } else {
            bad_code = true;
        }
    }

    // The comment and record lines of the block, in their order.
    void read(const std::vector<std::string_view>& lines) {
        for (std::string_view line : lines) {
            if (col(line, 1) == '?')
                add_comment(line);
            else
                add_coded(line);
        }
    }

    void set_cas(std::string_view line) {
        std::string_view head = cols(line, 1, 26);
        std::size_t slash = head.find('/');
        std::string_view a = slash == std::string_view::npos ? head : head.substr(0, slash);
        std::string_view b =
            slash == std::string_view::npos ? std::string_view() : head.substr(slash + 1);
        cas1 = fixed_width(trim_right(a).substr(0, 12), 12);
        cas2 = fixed_width(trim_right(b).substr(0, 12), 12);
    }

    bool started = false;
};

template <class T, std::size_t N>
void zero_both(PairTable<std::array<T, N>>& t, int i, int j) {
    t(i, j).fill(T{});
    t(j, i).fill(T{});
}

// Clears everything the pair's record sets.
void clear_pair(int i, int j) {
    zero_both(CFXHMX.p, i, j);
    zero_both(CF2HMX.c, i, j);
    zero_both(CFXCRT.c, i, j);
    zero_both(CFXPR.k, i, j);
    TRNBIN.p[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)].fill(0.0);
    TRNBIN.p[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)].fill(0.0);
    for (auto [a, b] : {std::pair{i, j}, std::pair{j, i}}) {
        MIXMOD.code(a, b) = Code("   ");
        CRTMOD.tc(a, b) = Code("   ");
        CRTMOD.vc(a, b) = Code("   ");
        PRMOD.code(a, b) = Code("   ");
        CFIHMX.nterm(a, b) = CFIHMX.nbell(a, b) = CFIHMX.model(a, b) = 0;
    }
}

// Stores a matching block for pair (i, j); `reversed` when the text lists
// component j first.
void store_block(const PairBlock& b, int i, int j, int n, bool reversed) {
    if (n >= 1 && n <= kHmxPairs) MXINF1.comment[static_cast<std::size_t>(n)] = b.comment;
    for (auto [p, q] : {std::pair{i, j}, std::pair{j, i}}) {
        MIXMOD.code(p, q) = b.model.code;
        CRTMOD.tc(p, q) = b.tc.code;
        CRTMOD.vc(p, q) = b.vc.code;
        PRMOD.code(p, q) = b.pr.code;
        if (b.model.present) {
            for (int k = 0; k < 6; ++k) CFXHMX.p(p, q)[k] = b.model.v[k];
            CF2HMX.c(p, q).fill(1.0);
        }
        auto& crt = CFXCRT.c(p, q);
        if (b.tc.present && b.tc.code.is("TC1")) {
            for (int k = 0; k < 6; ++k) crt[k] = b.tc.v[k];
            for (int k = 6; k < 11; ++k) crt[k] = 0.0;
        }
        if (b.vc.present && b.vc.code.is("VC1")) {
            for (int k = 0; k < 6; ++k) crt[11 + k] = b.vc.v[k];
            for (int k = 17; k < 22; ++k) crt[k] = 0.0;
        }
        if (b.pr.present && b.pr.code.is("PR1"))
            for (int k = 0; k < 6; ++k) CFXPR.k(p, q)[k] = b.pr.v[k];
        if (b.trn.present)
            for (int k = 0; k < 9; ++k)
                TRNBIN.p[static_cast<std::size_t>(p)][static_cast<std::size_t>(q)]
                        [static_cast<std::size_t>(k)] = b.trn.v[static_cast<std::size_t>(k)];
    }
    if (!reversed) return;
    const Code& m = b.model.code;
    for (auto [p, q] : {std::pair{i, j}, std::pair{j, i}}) {
        auto& par = CFXHMX.p(p, q);
        if (m.starts("LJ") || m.starts("LM")) std::swap(par[3], par[4]);
        if (m.starts("KW") || m.starts("GE")) {
            // The first-listed component (j) carries beta squared: its
            // fraction is weighted through the counterweights.
            CF2HMX.c(p, q)[0] = par[0];
            CF2HMX.c(p, q)[2] = par[2];
            par[0] = 1.0;
            par[2] = 1.0;
        }
        auto& crt = CFXCRT.c(p, q);
        if (b.tc.code.is("TC1"))
            for (int k = 1; k < 6; ++k) crt[k + 5] = crt[k], crt[k] = 0.0;
        if (b.vc.code.is("VC1"))
            for (int k = 12; k < 17; ++k) crt[k + 5] = crt[k], crt[k] = 0.0;
    }
}

}  // namespace

void RDBNC(int k, int i, int j, int n, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    const std::string cas_i = fixed_width(CCAS[i], 12), cas_j = fixed_width(CCAS[j], 12);
    std::vector<std::string_view> lines;  // of the block being read
    clear_pair(i, j);
    if (k < 1) return fail(1, "RDBNC", "Block data option not available", ierr, herr, kNoNumber);
    auto read_error = [&] {
        fail(118, "RDBNC", "Error in raeding mixture file in RDBNC", ierr, herr);
    };
    ILINE = 1;
    std::string_view ln;
    bool pending = false;  // ln already holds the next line to examine
    bool gerg_found = false;
    for (int examined = 0; examined < kLineLimit; ++examined) {
        if (!pending && !next_line(k, ln)) return read_error();
        pending = false;
        if (cols(ln, 1, 4) == "@END" || cols(ln, 1, 4) == "@end") {
            if (gerg_found) return;  // a "GE" record stands when no later record replaces it
            return fail(-117,
                        errtext("RDBNC", "error", "",
                                "Binary pair not found (end of file):  " + cas_i + cas_j),
                        ierr, herr);
        }
        if (col(ln, 1) != '#' && col(ln, 1) != '@') continue;
        const std::string marker(cols(ln, 2, 4));
        std::string_view code_line;
        if (!next_line(k, code_line)) return read_error();
        const std::string code(cols(code_line, 1, 3));
        do {
            if (!next_line(k, ln)) return read_error();
        } while (col(ln, 1) == '?');
        if (marker != "BNC" || code != "BNC") continue;

        // Pair blocks up to the end of the section. A block's comment and
        // records are read only when it is the pair's: the section holds
        // some hundred pairs, and a flue gas of five components looks for
        // ten of them at every set-up.
        PairBlock block;
        lines.clear();
        for (;;) {
            if (++examined >= kLineLimit) break;
            if (!next_line(k, ln)) return read_error();
            const char c1 = col(ln, 1);
            if (c1 == '?') {
                lines.push_back(ln);
                continue;
            }
            if (c1 != '!') {
                if (col(ln, 27) == ' ' && col(ln, 28) == ' ') {
                    pending = true;  // the end of the section: examine it again above
                    break;
                }
                if (c1 != ' ') block.set_cas(ln);
                lines.push_back(ln);
                continue;
            }
            // "!" closes the block.
            const bool direct = block.cas1 == cas_i && block.cas2 == cas_j;
            const bool reversed = block.cas1 == cas_j && block.cas2 == cas_i;
            if (direct || reversed) block.read(lines);
            lines.clear();
            if ((direct || reversed) && block.bad_code) return read_error();
            if (direct || reversed) {
                if (gerg_found) clear_pair(i, j);
                store_block(block, i, j, n, reversed);
                if (block.model.code.is("   ") || !block.model.present) {
                    return fail(-118,
                                errtext("RDBNC", "error", "",
                                        "Binary pair found, but equilibrium interaction "
                                        "parameters are not available:  " +
                                            cas_i + cas_j),
                                ierr, herr);
                }
                const Code m = block.model.code;
                if (!m.starts("GE")) return;
                // A GERG-2008 record: its code becomes the "KW" code; with
                // the GERG-2008 switch off a later record of the pair
                // replaces it.
                const Code kw(std::string("KW") + m.c[2]);
                MIXMOD.code(i, j) = MIXMOD.code(j, i) = kw;
                if (FLAGS2.gerg04 == 1) return;
                gerg_found = true;
            }
            block = PairBlock{};
        }
    }
    // The search passed its line limit without reaching the end of the text.
    fail(118, "RDBNC",
         "Error in raeding mixture file in RDBNC: no end of the pair records within 20000 lines",
         ierr, herr);
}

}  // namespace lib
