// Built-in fluid texts with their transport sections replaced, for the tests
// of the transport models, and small transport blocks in the texts' layout.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "library/library.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace trtext {

// TRNPRP at (T, D) of the composition x (the pure fluid by default).
struct Result {
    double eta = 0, tcx = 0;
    int ierr = 0;
    std::string herr;
};
inline Result trnprp(double T, double D, const double* x = nullptr) {
    const double pure[20] = {1.0};
    Result r;
    lib::TRNPRP(T, D, x != nullptr ? x : pure, r.eta, r.tcx, r.ierr, r.herr);
    return r;
}

inline int slot_of(std::string_view name) {
    for (int k = 1; k <= lib::kTextCount; ++k)
        if (lib::store::name(k) == name) return k;
    return 0;
}

inline bool transport_keyword(std::string_view l) {
    if (l.size() < 4 || (l[0] != '#' && l[0] != '@')) return false;
    const std::string_view k = l.substr(1, 3);
    return k == "ETA" || k == "TCX" || k == "TRN";
}

// The built-in text of `name` with its transport sections (and the auxiliary
// blocks that follow them) replaced by `sections`.
inline std::string with_transport(std::string_view name, const std::string& sections) {
    const int slot = slot_of(name);
    std::string out;
    bool skipping = false, inserted = false;
    for (int k = 0; k < lib::store::line_count(slot); ++k) {
        const std::string_view l = lib::store::line(slot, k);
        if (!l.empty() && (l[0] == '#' || l[0] == '@')) {
            const bool aux = l.substr(1, 3) == "AUX";
            if (transport_keyword(l)) {
                skipping = true;
                if (!inserted) out += sections, inserted = true;
            } else if (!(aux && skipping)) {
                if (!inserted && (l.substr(1, 3) == "STN" || l.substr(1, 3) == "END"))
                    out += sections, inserted = true;
                skipping = false;
            }
        }
        if (!skipping) out += std::string(l) + "\n";
    }
    return out;
}

// The text of the section of `keyword` and `code` in the built-in text of
// `name` (marker line to the line before the next section), or "".
inline std::string section_of(std::string_view name, std::string_view marker_kw,
                              std::string_view code) {
    const int slot = slot_of(name);
    std::string out;
    bool in = false;
    for (int k = 0; k < lib::store::line_count(slot); ++k) {
        const std::string_view l = lib::store::line(slot, k);
        if (!l.empty() && (l[0] == '#' || l[0] == '@')) {
            if (in) break;
            in = l.substr(0, 4) == marker_kw && lib::store::line(slot, k + 1).substr(0, 3) == code;
        }
        if (in) out += std::string(l) + "\n";
    }
    return out;
}

// Sets up `name` alone from `text`; ierr of the set-up.
inline int setup_text(std::string_view name, const std::string& text, std::string* herr = nullptr) {
    lib::store::override_text(slot_of(name), text);
    lib::RESETM.no_cache = 1;
    std::string hrf = "DEF", h;
    int ierr = 0;
    lib::SETUP0(1, std::string(name), "hmx", hrf, ierr, h);
    if (herr != nullptr) *herr = h;
    return ierr;
}

inline int setup(const std::string& names, int nc = 1) {
    lib::store::restore();
    lib::RESETM.no_cache = 1;
    std::string hrf = "DEF", h;
    int ierr = 0;
    lib::SETUP0(nc, names, "hmx", hrf, ierr, h);
    return ierr;
}

// A section: marker line, model line, one information line, its end, body.
inline std::string section(const std::string& marker, const std::string& code,
                           const std::string& body) {
    return "\n" + marker + "\n" + code + "  test block\n?test block\n!end of info section\n" + body;
}

// The rows of a table file (its header line skipped), split at `sep`; a
// row has at least `width` fields.
inline std::vector<std::vector<std::string>> table(const std::string& path, char sep = ',',
                                                   std::size_t width = 7) {
    std::ifstream in(path);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream ss(line);
        std::string cell;
        while (std::getline(ss, cell, sep)) f.push_back(cell);
        if (f.size() < width) f.resize(width);
        rows.push_back(f);
    }
    return rows;
}

}  // namespace trtext
