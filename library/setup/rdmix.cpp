// RDMIX: the departure functions ("#MXM" sections) of the mixture-parameter
// text.
#include <string_view>

#include "library/library.h"
#include "library/models/hmx.h"
#include "library/setup/records.h"
#include "library/setup/sethmx.h"
#include "library/setup/textstore.h"

namespace lib {

namespace {

constexpr int kLineLimit = 20000;
constexpr int kInfoLimit = 1000;  // "?" lines passed over per model

std::string_view cols(std::string_view s, std::size_t from, std::size_t to) {
    if (from > s.size()) return {};
    return s.substr(from - 1, to - from + 1);
}

// One model as the text gives it.
struct ModelText {
    HmxModel terms;
    std::string description;  // code + description
    std::array<std::string, 6> names;
    std::array<double, 6> defaults{};
};

enum class ReadStatus { kOk, kReadError, kTooManyTerms };

// Reads the model whose code line is `head` (the line after the marker).
ReadStatus read_model(int k, std::string_view head, ModelText& m) {
    m = ModelText{};
    m.terms.code = Code(cols(head, 1, 3));
    m.description = std::string(trim_right(cols(head, 1, 254)));
    std::string_view ln;
    int info = 0;
    do {
        if (!next_line(k, ln)) return ReadStatus::kReadError;
    } while (!ln.empty() && ln[0] == '?' && ++info < kInfoLimit);
    // ln is the line passed over after the literature ("!end of info section").
    if (!next_line(k, ln)) return ReadStatus::kReadError;
    for (std::size_t q = 0; q < 6; ++q) m.names[q] = fixed_width(cols(ln, 1 + 9 * q, 8 + 9 * q), 8);
    if (!next_line(k, ln)) return ReadStatus::kReadError;
    read_numbers(ln, m.defaults.data(), 6);
    if (!next_line(k, ln)) return ReadStatus::kReadError;
    // Counts line: ordinary terms, numbers per ordinary line, a spare (1 adds
    // a number per ordinary line), Gaussian-bell terms, numbers per bell
    // line, and an optional sixth integer, the form of the bell terms
    // (kBellInTau = 1: Gaussian in tau; absent or any other value: the form
    // with the exponent linear in delta, as texts without it have always read).
    int counts[6] = {0, 0, 0, 0, 0, 0};
    if (read_ints(ln, counts, 6) < 5) return ReadStatus::kReadError;
    const int nterm = counts[0], nbell = counts[3];
    const int per_term = counts[1] + (counts[2] == 1 ? 1 : 0), per_bell = counts[4];
    if (nterm < 0 || nbell < 0) return ReadStatus::kReadError;
    if (nterm + nbell > kHmxTerms || per_term > 7 || per_bell > 7) return ReadStatus::kTooManyTerms;
    m.terms.nterm = nterm;
    m.terms.nbell = nbell;
    m.terms.bell_form = counts[5] == kBellInTau ? kBellInTau : kBellInDelta;
    for (int t = 0; t < nterm + nbell; ++t) {
        if (!next_line(k, ln)) return ReadStatus::kReadError;
        const int want = t < nterm ? per_term : per_bell;
        auto& row = m.terms.c[static_cast<std::size_t>(t)];
        row.fill(0.0);
        if (read_numbers(ln, row.data(), want) < want) return ReadStatus::kReadError;
    }
    return ReadStatus::kOk;
}

void store_model(int number, const ModelText& m) {
    const auto q = static_cast<std::size_t>(number);
    MXINFO.model[q] = m.description;
    MXINFO.names[q] = m.names;
    MXINFO.defaults[q] = m.defaults;
    MXINFO.terms[q] = m.terms;
    hmx_forget_model(number);
}

void give_to_pair(int i, int j, int number, PairFlags& lflag) {
    const HmxModel& m = MXINFO.terms[static_cast<std::size_t>(number)];
    for (auto [p, q] : {std::pair{i, j}, std::pair{j, i}}) {
        CFIHMX.nterm(p, q) = m.nterm;
        CFIHMX.nbell(p, q) = m.nbell;
        CFIHMX.model(p, q) = number;
    }
    lflag(i, j) = 1;
}

// Position of the model code among the models already read, or 0.
int known_model(const Code& code) {
    for (int m = 1; m <= MXRULE && m <= kHmxModels; ++m)
        if (MXINFO.terms[static_cast<std::size_t>(m)].code == code) return m;
    return 0;
}

}  // namespace

void RDMIX(int k, int i, int j, const Code& hmodij, PairFlags& lflag, int& ierr,
           std::string& herr) {
    ierr = 0;
    herr.clear();
    const bool all = hmodij.is("ALL");
    const int nc = NCOMP.nc;
    int count = 0;
    if (all) {
        for (int a = 1; a <= kMaxComp; ++a)
            for (int b = 1; b <= kMaxComp; ++b) lflag(a, b) = 0;
    }
    auto stop = [&](int code, std::string_view text) { fail(code, "RDMIX", text, ierr, herr); };
    ILINE = 1;
    std::string_view ln;
    for (int examined = 0; examined < kLineLimit; ++examined) {
        if (!next_line(k, ln)) return stop(118, "Error in raeding mixture file in RDMIX");
        if (cols(ln, 2, 4) == "END") {
            if (all) MXRULE = count;
            return;
        }
        if ((ln.empty() || (ln[0] != '#' && ln[0] != '@')) || cols(ln, 2, 4) != "MXM") continue;
        std::string_view head;
        if (!next_line(k, head)) return stop(118, "Error in raeding mixture file in RDMIX");
        const Code code(cols(head, 1, 3));
        if (!all && !(code == hmodij)) continue;
        ModelText m;
        switch (read_model(k, head, m)) {
            case ReadStatus::kReadError: return stop(118, "Error in raeding mixture file in RDMIX");
            case ReadStatus::kTooManyTerms:
                return stop(118, "Error in raeding mixture file in RDMIX: model " + code.str() +
                                     " has more than 15 terms");
            case ReadStatus::kOk: break;
        }
        if (all) {
            if (++count > kHmxModels) {
                MXRULE = kHmxModels;
                return stop(118, "Error in raeding mixture file in RDMIX: more than 40 models");
            }
            store_model(count, m);
            for (int a = 1; a < nc; ++a)
                for (int b = a + 1; b <= nc; ++b)
                    if (MIXMOD.code(a, b) == code) give_to_pair(a, b, count, lflag);
        } else {
            int number = known_model(code);
            if (number == 0) {
                if (MXRULE >= kHmxModels)
                    return stop(118, "Error in raeding mixture file in RDMIX: more than 40 models");
                number = ++MXRULE;
            }
            store_model(number, m);
            give_to_pair(i, j, number, lflag);
            return;
        }
    }
    stop(118, "Error in raeding mixture file in RDMIX: no end of the text within 20000 lines");
}

}  // namespace lib
