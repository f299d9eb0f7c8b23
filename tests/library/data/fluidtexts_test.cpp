// Grammar check of the 127 built-in texts, read through the text store the
// way the loaders read them: the header, the section markers and model lines,
// the information blocks, the body of every section with its term counts
// against the limits of the loaders' tables, the section order and "@END".
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "library/setup/textstore.h"

namespace {

namespace store = lib::store;

struct Checker {
    int slot;
    std::vector<std::string> problems;
    int n = 0;  // current line

    std::string_view ln(int k) const { return store::line(slot, k); }
    bool at_end() const { return n >= store::line_count(slot); }
    void fail(const std::string& what) {
        problems.push_back(std::string(store::name(slot)) + " line " + std::to_string(n) + ": " +
                           what);
    }
    int numbers(int k, double* v, int max) const { return lib::read_numbers(ln(k), v, max); }
    bool need_numbers(int count, const char* what) {
        double v[16];
        if (numbers(n, v, count) < count) {
            fail(std::string("expected ") + std::to_string(count) + " numbers (" + what + ")");
            return false;
        }
        return true;
    }
    int count_at(int k, int index) const {
        double v[8] = {};
        lib::read_numbers(ln(k), v, 8);
        return static_cast<int>(v[index]);
    }
};

const std::set<std::string> kKeywords = {"EOS", "AUX", "ETA", "TCX", "TRN", "STN", "DE ",
                                         "MLT", "SBL", "PS ", "PL ", "DL ", "DV ", "END"};

// Reads `rows` term lines of at least `cols` numbers each, from line n on.
void terms(Checker& c, int rows, int cols, const char* what) {
    for (int i = 0; i < rows; ++i, ++c.n) c.need_numbers(cols, what);
}

// The dilute-gas block of a viscosity correlation: the collision-integral
// pointer, two Lennard-Jones values, reducing values and `rows` terms.
void dilute_gas(Checker& c, int rows) {
    c.n += 1;
    for (int i = 0; i < 2; ++i, ++c.n) c.need_numbers(1, "Lennard-Jones value");
    c.need_numbers(2, "dilute reducing values");
    ++c.n;
    terms(c, rows, 2, "dilute-gas term");
}

// Transport blocks: the viscosity ("VS1"), conductivity ("TC1", "TC5") and
// corresponding-states ("ECS") blocks and their auxiliary blocks, with their
// counts against the 40-row tables.
bool transport_body(Checker& c, const std::string& kind, const std::string& code) {
    auto limits = [&] {
        for (int i = 0; i < 4; ++i, ++c.n) c.need_numbers(1, "limits");
    };
    auto count = [&](int cols, const char* what) {
        if (!c.need_numbers(cols, what)) return 0;
        int total = 0;
        for (int i = 0; i < cols; ++i) total += std::abs(c.count_at(c.n, i));
        ++c.n;
        if (total > 40) c.fail(std::string("more than 40 rows: ") + what);
        return total;
    };
    if (kind == "ETA" && code == "VS1") {
        limits();
        const int ndil = count(1, "dilute-gas count");
        if (ndil > 0) {
            dilute_gas(c, ndil);
        }
        const int nb = count(1, "initial-density count");
        if (nb > 0) {
            c.need_numbers(2, "initial-density reducing values");
            ++c.n;
            terms(c, nb, 2, "initial-density term");
        }
        double n6[6] = {};
        if (!c.need_numbers(6, "residual counts")) return true;
        c.numbers(c.n, n6, 6);
        ++c.n;
        const int ncp = std::abs(static_cast<int>(n6[0])),
                  n5 = static_cast<int>(n6[1] + n6[2] + n6[3]),
                  n4 = static_cast<int>(n6[4] + n6[5]);
        if (ndil + nb + ncp + n5 + n4 > 40) c.fail("more than 40 viscosity rows");
        if (ncp + n5 + n4 > 0) {
            c.need_numbers(3, "residual reducing values");
            ++c.n;
        }
        terms(c, ncp, 2, "close-packed term");
        terms(c, n5, 5, "residual term");
        terms(c, n4, 4, "exponential residual term");
        ++c.n;  // enhancement pointer
    } else if (kind == "TCX" && code == "TC1") {
        limits();
        double n2[2] = {};
        c.numbers(c.n, n2, 2);
        const int nd = count(2, "dilute counts");
        if (n2[0] > 0) {
            c.need_numbers(2, "dilute reducing values");
            ++c.n;
        }
        terms(c, nd, 2, "dilute term");
        const int nbk = count(2, "background counts");
        if (nbk > 0) {
            c.need_numbers(3, "background reducing values");
            ++c.n;
        }
        if (nd + nbk > 40) c.fail("more than 40 conductivity rows");
        terms(c, nbk, 4, "background term");
        ++c.n;  // enhancement pointer
    } else if (kind == "TRN" && code == "ECS") {
        limits();
        c.n += 3;  // reference fluid and its two model codes
        for (int i = 0; i < 3; ++i, ++c.n) c.need_numbers(1, "Lennard-Jones flag and values");
        terms(c, count(1, "f_int count"), 2, "f_int term");
        for (const char* what : {"psi", "chi"}) terms(c, count(2, what), 3, what);
        ++c.n;  // enhancement code
    } else if ((kind == "ETA" && code == "VS0") || (kind == "TCX" && code == "TC0")) {
        limits();
        ++c.n;  // pointer of the correlation
        double g[8] = {};
        const int nc = kind == "ETA" ? 8 : 4;
        if (!c.need_numbers(nc, "term counts")) return true;
        c.numbers(c.n, g, nc);
        ++c.n;
        int rest = 0;
        for (int i = kind == "ETA" ? 1 : 0; i < nc; ++i) rest += static_cast<int>(g[i]);
        if (kind == "ETA" && g[0] > 0) {
            dilute_gas(c, static_cast<int>(g[0]));
        }
        if (rest + g[0] > 40) c.fail("more than 40 rows");
        if (rest > 0) {
            c.need_numbers(3, "reducing values");
            ++c.n;
        }
        terms(c, rest, 5, "term");
        ++c.n;  // enhancement pointer
    } else if (kind == "ETA" && code == "VS4") {
        limits();
        const int ndil = count(1, "dilute-gas count");
        dilute_gas(c, ndil);
        if (count(1, "initial-density count") > 0) c.fail("initial-density rows not checked");
        terms(c, 8, 5, "friction coefficients");
        ++c.n;  // enhancement pointer
    } else if (kind == "ETA" && code == "VS5") {
        limits();
        const int ndil = count(1, "dilute-gas count");
        dilute_gas(c, ndil);
        count(1, "initial-density count");
        terms(c, 1, 3, "omega, mu_r, kappa");
        terms(c, count(1, "parameter rows"), 5, "parameter row");
        ++c.n;  // enhancement pointer
    } else if (kind == "TCX" && code == "TC5") {
        limits();
        for (int i = 0; i < 2; ++i, ++c.n) c.need_numbers(1, "sigma and eps/k");
        terms(c, 1, 3, "omega, mu_r, kappa");
        terms(c, count(1, "parameter rows"), 5, "parameter row");
        ++c.n;  // enhancement pointer
    } else if (kind == "AUX" && code == "TK1") {
        limits();
        double n3[3] = {};
        c.numbers(c.n, n3, 3);
        count(3, "TK1 counts");
        const int poly = static_cast<int>(n3[0] + n3[1]), ex = static_cast<int>(n3[2]);
        if (poly > 0) {
            c.need_numbers(3, "reducing values");
            ++c.n;
        }
        terms(c, poly, 6, "polynomial term");
        if (ex > 0) {
            c.need_numbers(2, "reducing values");
            ++c.n;
        }
        terms(c, ex, 6, "exponential term");
    } else if (kind == "AUX" && (code == "CI1" || code == "CI2")) {
        limits();
        terms(c, count(1, "collision-integral count"), code == "CI1" ? 2 : 1, "term");
    } else if (kind == "AUX" && (code == "TK3" || code == "TK6")) {
        limits();
        const int k = count(1, "crossover count");
        if (k < 9) c.fail("crossover block with fewer than nine terms");
        c.need_numbers(3, "crossover reducing values");
        ++c.n;
        terms(c, k, 1, "crossover term");
    } else {
        return false;
    }
    return true;
}

// Body of one section; returns the ideal-gas code named by an equation of state.
std::string body(Checker& c, const std::string& kind, const std::string& code) {
    std::string named;
    if (kind == "EOS" && code.substr(0, 2) == "FE") {
        for (int i = 0; i < 4; ++i, ++c.n) c.need_numbers(1, "limits");
        named = std::string(c.ln(c.n).substr(0, 3));
        ++c.n;
        for (int i = 6; i <= 14; ++i, ++c.n)
            c.need_numbers(i == 12 ? 3 : i == 13 ? 2 : 1, "constants");
        if (!c.need_numbers(6, "term counts")) return named;
        const int nn = c.count_at(c.n, 0), cols = c.count_at(c.n, 1), nk = c.count_at(c.n, 2);
        if (nn + nk > 56 || nk > 20 || nn < 0 || nk < 0) c.fail("too many terms");
        ++c.n;
        terms(c, nn, cols == 5 ? 5 : 4, "normal term");
        terms(c, nk, 12, "critical term");
    } else if (kind == "EOS" && code == "BWR") {
        for (int i = 0; i < 4; ++i, ++c.n) c.need_numbers(1, "limits");
        named = std::string(c.ln(c.n).substr(0, 3));
        ++c.n;
        for (int i = 6; i <= 15; ++i, ++c.n)
            c.need_numbers(i == 12 ? 3 : i == 13 ? 2 : 1, "constants");
        if (!c.need_numbers(2, "term counts")) return named;
        if (c.count_at(c.n, 0) != 32 || c.count_at(c.n, 1) != 1) c.fail("not 32 terms");
        ++c.n;
        terms(c, 10, 3, "coefficients");
        terms(c, 1, 2, "coefficients");
    } else if (kind == "EOS" && code == "ECS") {
        for (int i = 0; i < 4; ++i, ++c.n) c.need_numbers(1, "limits");
        named = std::string(c.ln(c.n).substr(0, 3));
        c.n += 3;  // ideal-gas code, reference fluid, its model code
        for (int i = 0; i < 6; ++i, ++c.n) c.need_numbers(1, "constants");
        for (int g = 0; g < 4; ++g) {
            if (!c.need_numbers(1, "shape-factor count")) return named;
            const int k = c.count_at(c.n, 0);
            if (k > 4 || (g % 2 == 0 && k < 2)) c.fail("shape-factor count out of range");
            ++c.n;
            terms(c, k, 2, "shape-factor term");
        }
    } else if (kind == "AUX" && code.substr(0, 2) == "CP") {
        for (int i = 0; i < 4; ++i, ++c.n) c.need_numbers(1, "limits");
        c.need_numbers(2, "reducing values");
        ++c.n;
        if (!c.need_numbers(7, "term counts")) return named;
        const int p = c.count_at(c.n, 0), e = c.count_at(c.n, 1), ch = c.count_at(c.n, 2),
                  sh = c.count_at(c.n, 3);
        if (p + e + ch + sh > 20) c.fail("more than 20 cp0 terms");
        ++c.n;
        terms(c, p + e, 2, "cp0 term");
        terms(c, ch + sh, 5, "hyperbolic cp0 term");
    } else if (kind == "AUX" && code.substr(0, 2) == "PH") {
        for (int i = 0; i < 4; ++i, ++c.n) c.need_numbers(1, "limits");
        if (!c.need_numbers(8, "term counts")) return named;
        int total = 0;
        for (int i = 0; i < 8; ++i) total += c.count_at(c.n, i);
        if (total > 10) c.fail("more than 10 Helmholtz ideal-gas terms");
        ++c.n;
        terms(c, total, 2, "ideal-gas term");
    } else if (kind == "PS " || kind == "PL " || kind == "DL " || kind == "DV ") {
        for (int i = 0; i < 4; ++i, ++c.n) c.need_numbers(1, "limits");
        c.need_numbers(2, "reducing values");
        ++c.n;
        if (!c.need_numbers(6, "term counts")) return named;
        const int k = c.count_at(c.n, 0);
        if (k > 15) c.fail("more than 15 ancillary terms");
        ++c.n;
        terms(c, k, 2, "ancillary term");
    } else if (kind == "MLT" || kind == "SBL") {
        for (int i = 0; i < 4; ++i, ++c.n) c.need_numbers(1, "limits");
        c.need_numbers(2, "reducing values");
        ++c.n;
        if (!c.need_numbers(6, "term counts")) return named;
        int k = c.count_at(c.n, 0) + c.count_at(c.n, 1) + c.count_at(c.n, 2);
        const int further = kind == "MLT" ? c.count_at(c.n, 3) : 0;
        ++c.n;
        terms(c, k, 2, "melting-line term");
        // Further segments of a melting line: a line of its lower
        // temperature, reducing values and counts, then its terms.
        for (int g = 0; g < further; ++g) {
            if (!c.need_numbers(6, "melting-line segment")) return named;
            const int m = c.count_at(c.n, 3) + c.count_at(c.n, 4) + c.count_at(c.n, 5);
            k += m;
            ++c.n;
            terms(c, m, 2, "melting-line term");
        }
        if (k > 8) c.fail("more than 8 melting-line terms");
    } else if (kind == "STN") {
        for (int i = 0; i < 4; ++i, ++c.n) c.need_numbers(1, "limits");
        if (!c.need_numbers(1, "term count")) return named;
        const int k = c.count_at(c.n, 0);
        c.n += 2;
        terms(c, k, 2, "surface-tension term");
    } else if (kind == "DE ") {
        for (int i = 0; i < 4; ++i, ++c.n) c.need_numbers(1, "limits");
        c.need_numbers(3, "reducing values");
        ++c.n;
        if (!c.need_numbers(6, "term counts")) return named;
        const int k = c.count_at(c.n, 0) + c.count_at(c.n, 1) + c.count_at(c.n, 2);
        if (k > 15) c.fail("more than 15 dielectric terms");
        ++c.n;
        terms(c, k, 4, "dielectric term");
    } else if (!transport_body(c, kind, code)) {
        c.fail("no body check for " + kind + " " + code);
    }
    return named;
}

std::vector<std::string> check_fluid_text(int slot) {
    Checker c{slot, {}, 0};
    if (store::line_count(slot) < 20) {
        c.fail("text missing");
        return c.problems;
    }
    // header
    std::string_view first = c.ln(1);
    std::string_view nm = first.substr(0, std::min(first.find('!'), first.size()));
    while (!nm.empty() && nm.back() == ' ') nm.remove_suffix(1);
    if (nm != store::name(slot)) c.fail("short name differs from the key");
    c.n = 6;
    for (; c.n <= 13; ++c.n) c.need_numbers(1, "header constant");
    const std::string ref(c.ln(14).substr(0, 3));
    static const std::set<std::string> codes = {"NBP", "IIR", "ASH", "OTH", "OT0", "NUL"};
    if (!codes.count(ref)) c.fail("reference-state code " + ref);
    c.n = 15;
    if (ref.substr(0, 2) == "OT") {
        c.need_numbers(4, "reference point");
        ++c.n;
    }
    double version = 0;
    if (c.numbers(c.n, &version, 1) != 1 || version < 8.0) c.fail("version below 8.0");
    ++c.n;
    while (!c.at_end() && !c.ln(c.n).empty()) ++c.n;  // tagged lines
    // sections
    std::map<std::string, int> seen;
    std::set<std::string> aux_codes, named_aux;
    bool aux_started = false, ended = false;
    int defaults_eos = 0;
    while (!c.at_end()) {
        std::string_view l = c.ln(c.n);
        if (l.empty() || l[0] == '!') {
            ++c.n;
            continue;
        }
        if (l[0] != '#' && l[0] != '@') {
            c.fail("line outside any section body");
            ++c.n;
            continue;
        }
        std::string kind(l.substr(1, 3));
        kind.resize(3, ' ');
        if (!kKeywords.count(kind)) c.fail("unknown section keyword " + kind);
        if (kind == "END") {
            if (l[0] != '@') c.fail("END marked with #");
            ended = true;
            ++c.n;
            break;
        }
        const std::string code(c.ln(c.n + 1).substr(0, 3));
        if (++seen[kind + code] > 1) c.fail("section " + kind + code + " twice");
        if (kind == "AUX") aux_started = true;
        if (kind == "EOS" && aux_started) c.fail("equation of state after an ideal-gas section");
        if (kind == "EOS" && l[0] == '#') ++defaults_eos;
        if (kind == "AUX") aux_codes.insert(code);
        c.n += 2;
        int info = 0;
        while (!c.at_end() && !c.ln(c.n).empty() && c.ln(c.n)[0] == '?') ++c.n, ++info;
        if (info > 1000) c.fail("more than 1000 information lines");
        if (c.ln(c.n) != "!end of info section") c.fail("missing !end of info section");
        ++c.n;
        const int start = c.n;
        std::string named = body(c, kind, code);
        if (!named.empty()) named_aux.insert(named);
        for (int k = start; k < c.n; ++k) {
            std::string_view b = c.ln(k);
            if (!b.empty() && (b[0] == '#' || b[0] == '@')) {
                c.fail("body line begins with a section marker");
                break;
            }
        }
    }
    if (!ended) c.fail("no @END");
    if (defaults_eos != 1) c.fail("not exactly one default equation of state");
    if (!seen.count("AUXCPP")) c.fail("no CPP ideal-gas section");
    if (!seen.count("PS PS5")) c.fail("no vapour-pressure equation");
    for (const auto& a : named_aux)
        if (!aux_codes.count(a)) c.fail("equation names missing ideal-gas section " + a);
    for (int k = 1; k < store::line_count(slot); ++k)
        if (store::line(slot, k).size() > 255) c.fail("line longer than 255 characters");
    return c.problems;
}

TEST(FluidTexts, EveryFluidTextFollowsTheGrammar) {
    std::vector<std::string> all;
    for (int slot = 1; slot <= 126; ++slot) {
        auto p = check_fluid_text(slot);
        all.insert(all.end(), p.begin(), p.end());
    }
    for (const auto& p : all) ADD_FAILURE() << p;
}

TEST(FluidTexts, CheckerCatchesBrokenTexts) {
    // A correct text taken apart in three ways must be reported each time.
    const int slot = 64;  // nitrogen
    std::string text;
    for (int k = 0; k < store::line_count(slot); ++k)
        text += std::string(store::line(slot, k)) + "\n";
    auto broken = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        const auto at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) t.replace(at, from.size(), to);
        store::override_text(slot, t);
        const bool reported = !check_fluid_text(slot).empty();
        store::restore();
        return reported;
    };
    EXPECT_TRUE(check_fluid_text(slot).empty());
    EXPECT_TRUE(broken("@END", "@ENX"));
    EXPECT_TRUE(broken("!end of info section", "!end of info"));
    EXPECT_TRUE(broken("\n#PS ", "\n#PS \n#XX "));
    EXPECT_TRUE(broken("0  5  0  0  0  0 ", "0  45  0  0  0  0 "));  // viscosity rows
    EXPECT_TRUE(broken("FEQ nitrogen", "FEQ nitrogen\n9"));          // ECS block shifted
}

// Every pair among the components of the built-in working fluids has a record
// (pairs with water or hydrogen cannot be estimated when missing).
TEST(FluidTexts, MixtureTextHoldsThePairsOfTheWorkingFluids) {
    const char* names[] = {"oxygen", "nitrogen",  "argon",   "co2",    "water",
                           "co",     "hydrogen",  "methane", "ethane", "propane",
                           "butane", "isobutane", "pentane"};
    auto cas = [](const char* name) {
        for (int slot = 1; slot <= 126; ++slot)
            if (store::name(slot) == name) {
                std::string c(store::line(slot, 2).substr(0, 12));
                while (!c.empty() && c.back() == ' ') c.pop_back();
                return c;
            }
        return std::string();
    };
    std::set<std::string> records;
    for (int k = 1; k < store::line_count(127); ++k) {
        std::string_view l = store::line(127, k);
        if (l.size() > 29 && l[0] >= '0' && l[0] <= '9' && l.substr(26, 2) != "  ")
            records.insert(std::string(l.substr(0, 26)));
    }
    for (std::size_t i = 0; i < std::size(names); ++i)
        for (std::size_t j = i + 1; j < std::size(names); ++j) {
            std::string a = cas(names[i]) + "/" + cas(names[j]);
            std::string b = cas(names[j]) + "/" + cas(names[i]);
            a.resize(26, ' ');
            b.resize(26, ' ');
            EXPECT_TRUE(records.count(a) || records.count(b)) << names[i] << "/" << names[j];
        }
}

}  // namespace
