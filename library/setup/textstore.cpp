#include "library/setup/textstore.h"

#include "library/library.h"
#include "library/setup/modelgen.h"
#include "library/setup/records.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// The texts themselves, generated at build time from library/data/texts by
// tools/embed_texts.cpp: text i (0-based, slot i + 1) is kEmbeddedText[i] with
// kEmbeddedSize[i] bytes, lines separated by '\n', the key line first.
namespace lib::store_data {
extern const char* const kEmbeddedText[kTextCount];
extern const unsigned kEmbeddedSize[kTextCount];
}  // namespace lib::store_data

namespace lib {

int ILINE = 1;

namespace {

constexpr std::array<std::string_view, kTextCount> kNames = {
    "1butene",  "acetone",  "ammonia",  "argon",    "benzene",   "butane",   "c11",     "c12",
    "c1cc6",    "c2butene", "c3cc6",    "c4f10",    "c5f12",     "cf3i",     "co2",     "co",
    "cos",      "cyclohex", "cyclopen", "cyclopro", "d2",        "d2o",      "d4",      "d5",
    "d6",       "decane",   "dee",      "dmc",      "dme",       "ebenzene", "ethane",  "ethanol",
    "ethylene", "fluorine", "h2s",      "hcl",      "helium",    "heptane",  "hexane",  "hydrogen",
    "ibutene",  "ihexane",  "ioctane",  "ipentane", "isobutane", "krypton",  "md2m",    "md3m",
    "md4m",     "mdm",      "methane",  "methanol", "mlinolea",  "mlinolen", "mm",      "moleate",
    "mpalmita", "mstearat", "mxylene",  "n2o",      "neon",      "neopentn", "nf3",     "nitrogen",
    "nonane",   "novec649", "octane",   "orthohyd", "oxygen",    "oxylene",  "parahyd", "pentane",
    "propane",  "propylen", "propyne",  "pxylene",  "r113",      "r114",     "r115",    "r116",
    "r11",      "r1216",    "r1233zd",  "r1234yf",  "r1234ze",   "r123",     "r124",    "r125",
    "r12",      "r134a",    "r13",      "r141b",    "r142b",     "r143a",    "r14",     "r152a",
    "r161",     "r218",     "r21",      "r227ea",   "r22",       "r236ea",   "r236fa",  "r23",
    "r245ca",   "r245fa",   "r32",      "r365mfc",  "r40",       "r41",      "rc318",   "re143a",
    "re245cb2", "re245fa2", "re347mcc", "sf6",      "so2",       "t2butene", "toluene", "water",
    "xenon",    "air",      "r404a",    "r407c",    "r410a",     "r507a",    "hmx"};

// Line index of one text: the views point into the embedded data (or into an
// override's own string) and never include the '\n'.
struct Text {
    std::vector<std::string_view> lines;
    // The numbers of the lines that open a section ('#' or '@' first).
    std::vector<int> marked;
};

bool opens_section(std::string_view line) {
    return !line.empty() && (line[0] == '#' || line[0] == '@');
}

// The line of `s` that starts at `start` (< s.size()), without its '\n' or
// '\r' and cut to the line width; `end` is set to the position of its '\n'
// (or to s.size()).
std::string_view line_at(std::string_view s, std::size_t start, std::size_t& end) {
    end = s.find('\n', start);
    if (end == std::string_view::npos) end = s.size();
    std::string_view ln = s.substr(start, end - start);
    if (!ln.empty() && ln.back() == '\r') ln.remove_suffix(1);
    if (ln.size() > static_cast<std::size_t>(kTextLineWidth))
        ln = ln.substr(0, static_cast<std::size_t>(kTextLineWidth));
    return ln;
}

std::vector<std::string_view> split_lines(std::string_view s) {
    // One allocation of the exact size: growing the index line by line
    // touched several times its memory.
    const auto breaks = static_cast<std::size_t>(std::count(s.begin(), s.end(), '\n'));
    const std::size_t count = breaks + (s.empty() || s.back() == '\n' ? 0 : 1);
    std::vector<std::string_view> out;
    out.reserve(std::min(count, static_cast<std::size_t>(kTextMaxLines)));
    std::size_t start = 0;
    while (start < s.size()) {
        std::size_t end = 0;
        out.push_back(line_at(s, start, end));
        if (out.size() >= static_cast<std::size_t>(kTextMaxLines)) break;
        start = end + 1;
    }
    return out;
}

std::string_view embedded(int i) {
    const auto k = static_cast<std::size_t>(i);
    return {store_data::kEmbeddedText[k], store_data::kEmbeddedSize[k]};
}

Text text_of_lines(std::vector<std::string_view> lines) {
    Text t;
    t.lines = std::move(lines);
    for (std::size_t n = 0; n < t.lines.size(); ++n)
        if (opens_section(t.lines[n])) t.marked.push_back(static_cast<int>(n));
    return t;
}

// Built-in text i (0-based), its lines found at its first use: a process
// reads a few of the texts (batch mode calculates each file in a process of
// its own), and the splitting of all of them at once cost it more than the
// set-ups it made.
const Text& builtin(int i) {
    static std::array<Text, kTextCount> texts;
    static std::array<std::atomic<bool>, kTextCount> ready{};
    static std::mutex splitting;
    const auto k = static_cast<std::size_t>(i);
    if (!ready[k].load(std::memory_order_acquire)) {
        const std::lock_guard<std::mutex> lock(splitting);
        if (!ready[k].load(std::memory_order_relaxed)) {
            texts[k] = text_of_lines(split_lines(embedded(i)));
            ready[k].store(true, std::memory_order_release);
        }
    }
    return texts[k];
}

struct Override {
    std::string owned;
    Text text;
};
std::map<int, Override>& overrides() {
    static std::map<int, Override> m;
    return m;
}
long g_lines_read = 0;
long g_text_version = 0;  // raised by every override and restore

// The text of a slot, and whether it is the built-in one.
const Text* text_of(int slot, bool& built_in) {
    built_in = false;
    if (slot < 1 || slot > kTextCount) return nullptr;
    auto& ov = overrides();
    if (!ov.empty()) {
        auto it = ov.find(slot);
        if (it != ov.end()) return &it->second.text;
    }
    built_in = true;
    return &builtin(slot - 1);
}

const Text* text_of(int slot) {
    bool built_in = false;
    return text_of(slot, built_in);
}

bool is_sep(char c) { return c == ' ' || c == '\t' || c == ','; }

// Parses one field as a number: optional sign, digits with an optional point
// (a leading or trailing point is allowed), optional exponent introduced by
// e, E, d or D.  The whole field must be used, except that a "!" may follow
// the number directly (a comment written without a blank).
bool parse_number(std::string_view f, double& v) {
    std::string buf;
    buf.reserve(f.size());
    std::size_t i = 0;
    if (i < f.size() && (f[i] == '+' || f[i] == '-')) {
        if (f[i] == '-') buf += '-';
        ++i;
    }
    std::size_t digits = 0;
    while (i < f.size() && f[i] >= '0' && f[i] <= '9') buf += f[i++], ++digits;
    if (i < f.size() && f[i] == '.') {
        buf += f[i++];
        while (i < f.size() && f[i] >= '0' && f[i] <= '9') buf += f[i++], ++digits;
    }
    if (digits == 0) return false;
    if (i < f.size() && (f[i] == 'e' || f[i] == 'E' || f[i] == 'd' || f[i] == 'D')) {
        std::size_t j = i + 1;
        std::string ex = "e";
        if (j < f.size() && (f[j] == '+' || f[j] == '-')) ex += f[j++];
        std::size_t ed = 0;
        while (j < f.size() && f[j] >= '0' && f[j] <= '9') ex += f[j++], ++ed;
        if (ed == 0) return false;
        buf += ex;
        i = j;
    }
    if (i < f.size() && f[i] != '!') return false;
    // A bare "5." or ".5" is fine for from_chars once a digit is present on
    // one side; "5." needs the point dropped.
    if (!buf.empty() && buf.back() == '.') buf.pop_back();
    std::size_t p = buf.find(".e");
    if (p != std::string::npos) buf.erase(p, 1);
    double r = 0.0;
    auto res = std::from_chars(buf.data(), buf.data() + buf.size(), r);
    if (res.ec != std::errc() || res.ptr != buf.data() + buf.size()) return false;
    v = r;
    return true;
}

}  // namespace

namespace store {

std::string_view name(int slot) {
    if (slot < 1 || slot > kTextCount) return {};
    return kNames[static_cast<std::size_t>(slot - 1)];
}

std::string_view line(int slot, int n) {
    // The key line of a built-in text (a look-up by name reads the key line
    // of every text before the one it finds) without splitting the text.
    if (n == 0 && slot >= 1 && slot <= kTextCount && overrides().count(slot) == 0) {
        const std::string_view s = embedded(slot - 1);
        std::size_t end = 0;
        return s.empty() ? std::string_view{} : line_at(s, 0, end);
    }
    const Text* t = text_of(slot);
    if (t == nullptr || n < 0 || n >= static_cast<int>(t->lines.size())) return {};
    return t->lines[static_cast<std::size_t>(n)];
}

int line_count(int slot) {
    const Text* t = text_of(slot);
    return t == nullptr ? 0 : static_cast<int>(t->lines.size());
}

void override_text(int slot, std::string text) {
    if (slot < 1 || slot > kTextCount) return;
    auto& ov = overrides()[slot];
    ov.owned = std::move(text);
    ov.text = text_of_lines(split_lines(ov.owned));
    RESETM.no_cache = 1;  // a set-up of the same names must read the new text
    ++g_text_version;
    models_changed();
}

void restore() {
    overrides().clear();
    RESETM.no_cache = 1;  // and the built-in one again
    ++g_text_version;
    models_changed();
}

long lines_read() { return g_lines_read; }

}  // namespace store

long fluid_text_version() { return g_text_version; }

namespace {

// The built-in line next_line handed out last on this thread (text 0-based).
struct HandedLine {
    std::string_view line;
    int text = -1;
    std::size_t index = 0;
};
thread_local HandedLine last_handed;

}  // namespace

namespace {

// Hands out line n of text t (slot `slot`) as next_line does.
void hand_out(const Text& t, int slot, bool built_in, int n, std::string_view& out) {
    out = t.lines[static_cast<std::size_t>(n)];
    if (built_in) last_handed = HandedLine{out, slot - 1, static_cast<std::size_t>(n)};
}

}  // namespace

bool next_line(int slot, std::string_view& out) {
    bool built_in = false;
    const Text* t = text_of(slot, built_in);
    if (t == nullptr || ILINE < 0 || ILINE >= static_cast<int>(t->lines.size()) ||
        ILINE >= kTextMaxLines)
        return false;
    hand_out(*t, slot, built_in, ILINE, out);
    ++ILINE;
    ++g_lines_read;
    return true;
}

bool next_section_line(int slot, std::string_view& out) {
    bool built_in = false;
    const Text* t = text_of(slot, built_in);
    if (t == nullptr || ILINE < 0) return false;
    const int end = std::min(static_cast<int>(t->lines.size()), kTextMaxLines);
    const auto at = std::lower_bound(t->marked.begin(), t->marked.end(), ILINE);
    if (at == t->marked.end() || *at >= end) {
        // Every line up to the end is read, and the end is met.
        if (ILINE < end) {
            g_lines_read += end - ILINE;
            hand_out(*t, slot, built_in, end - 1, out);
            ILINE = end;
        }
        return false;
    }
    g_lines_read += *at + 1 - ILINE;
    hand_out(*t, slot, built_in, *at, out);
    ILINE = *at + 1;
    return true;
}

namespace {

// The numbers of a line up to the first field that is not one (or the
// first followed by a comment), at most `most` of them: what read_numbers
// gives for any n is the first n of all of them.
std::vector<double> leading_numbers(std::string_view line,
                                    std::size_t most = std::numeric_limits<std::size_t>::max()) {
    std::vector<double> out;
    std::size_t i = 0;
    while (out.size() < most) {
        while (i < line.size() && is_sep(line[i])) ++i;
        if (i >= line.size()) break;
        std::size_t j = i;
        while (j < line.size() && !is_sep(line[j])) ++j;
        std::string_view field = line.substr(i, j - i);
        double x = 0.0;
        if (!parse_number(field, x)) break;
        out.push_back(x);
        if (field.find('!') != std::string_view::npos) break;  // comment follows
        i = j;
    }
    return out;
}

// The numbers of the built-in texts' lines, read once per line: a set-up
// reads the same lines each time it loads a fluid, and the cycle solver
// sets its fluids up again whenever it passes from one process to another
// (a combined cycle of a flue gas and water: some 50 set-ups in one
// calculation, an eighth of its time spent reading the same numbers).
// Kept per thread; an overridden text's lines are never kept.
class ParsedTexts {
public:
    // The numbers of `line` when it is a whole line of a built-in text, or
    // null.
    const std::vector<double>* find(std::string_view line) {
        int t = -1;
        std::size_t n = 0;
        if (!place(line, t, n)) return nullptr;
        std::vector<Entry>& kept = parsed_[static_cast<std::size_t>(t)];
        if (kept.empty()) kept.resize(builtin(t).lines.size());
        Entry& e = kept[n];
        if (!e.read) {
            e.values = leading_numbers(line);
            e.read = true;
        }
        return &e.values;
    }

private:
    struct Entry {
        bool read = false;
        std::vector<double> values;
    };
    std::array<std::vector<Entry>, kTextCount> parsed_;

    // Text (0-based) and line number of `line` when it is a whole line of
    // a built-in text: mostly the line next_line handed out last.
    static bool place(std::string_view line, int& t, std::size_t& n) {
        if (line.data() == last_handed.line.data() && line.size() == last_handed.line.size()) {
            t = last_handed.text;
            n = last_handed.index;
            return true;
        }
        t = text_holding(line.data());
        if (t < 0) return false;
        const std::vector<std::string_view>& lines = builtin(t).lines;
        const auto at = std::lower_bound(lines.begin(), lines.end(), line.data(),
                                         [](std::string_view l, const char* p) {
                                             return std::less<const char*>()(l.data(), p);
                                         });
        if (at == lines.end() || at->data() != line.data() || at->size() != line.size())
            return false;
        n = static_cast<std::size_t>(at - lines.begin());
        return true;
    }

    // The built-in text whose bytes hold p, or -1.
    static int text_holding(const char* p) {
        static const std::vector<std::pair<const char*, int>> starts = [] {
            std::vector<std::pair<const char*, int>> v;
            for (int i = 0; i < kTextCount; ++i) v.emplace_back(store_data::kEmbeddedText[i], i);
            std::sort(v.begin(), v.end(), [](const auto& a, const auto& b) {
                return std::less<const char*>()(a.first, b.first);
            });
            return v;
        }();
        const auto after =
            std::upper_bound(starts.begin(), starts.end(), p,
                             [](const char* q, const std::pair<const char*, int>& s) {
                                 return std::less<const char*>()(q, s.first);
                             });
        if (after == starts.begin()) return -1;
        const auto [start, i] = *std::prev(after);
        const std::uintptr_t offset =
            reinterpret_cast<std::uintptr_t>(p) - reinterpret_cast<std::uintptr_t>(start);
        return offset < store_data::kEmbeddedSize[i] ? i : -1;
    }
};

}  // namespace

int read_numbers(std::string_view line, double* v, int n) {
    if (line.data() != nullptr) {
        thread_local ParsedTexts parsed;
        if (const std::vector<double>* kept = parsed.find(line)) {
            const int count = std::min(n, static_cast<int>(kept->size()));
            std::copy_n(kept->begin(), std::max(count, 0), v);
            return std::max(count, 0);
        }
    }
    if (n <= 0) return 0;
    const std::vector<double> got = leading_numbers(line, static_cast<std::size_t>(n));
    std::copy(got.begin(), got.end(), v);
    return static_cast<int>(got.size());
}

int read_ints(std::string_view line, int* v, int n) {
    std::vector<double> d(static_cast<std::size_t>(n > 0 ? n : 0));
    int k = read_numbers(line, d.data(), n);
    for (int i = 0; i < k; ++i) {
        double r = std::round(d[static_cast<std::size_t>(i)]);
        if (!(std::fabs(r) < 2.0e9)) return i;
        v[i] = static_cast<int>(r);
    }
    return k;
}

bool next_numbers(int slot, double* v, int n) {
    std::string_view ln;
    if (!next_line(slot, ln)) return false;
    return read_numbers(ln, v, n) == n;
}

}  // namespace lib
