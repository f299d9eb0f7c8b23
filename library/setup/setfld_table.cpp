// The loader dispatch table of SETFLD: one row per model loader (see the
// comment on LoaderRow in setfld.h for how to add one).  The evaluators of
// the equations of state have their table beside it, in
// library/models/eos_table.cpp.
#include <iterator>

#include "library/models/ancillary.h"
#include "library/models/bwr.h"
#include "library/models/cpp.h"
#include "library/models/ecs.h"
#include "library/models/feq.h"
#include "library/models/melt.h"
#include "library/models/ph0.h"
#include "library/models/pr.h"
#include "library/models/qui.h"
#include "library/setup/setfld.h"

namespace lib {

namespace {

constexpr LoaderRow kLoaderRows[] = {
    {"EOS", "FE", SETFEQ},
    {"EOS", "EC", nullptr, SETECS},
    {"EOS", "BW", SETBWR},
    {"EOS", "QU", SETQUI},
    {"EOS", "PR", nullptr, nullptr, SETPR},
    {"AUX", "CP", SETCPP},
    {"AUX", "PH", SETPH0},
    {"PS ", "*", nullptr, nullptr, SETPS},
    {"PL ", "*", nullptr, nullptr, SETPL},
    {"DL ", "*", nullptr, nullptr, SETDL},
    {"DV ", "*", nullptr, nullptr, SETDV},
    {"MLT", "*", nullptr, nullptr, SETMLT},
    {"SBL", "*", nullptr, nullptr, SETSBL},
    {"", ""},  // end of the table: matches no section
};
constexpr std::size_t kRowCount = std::size(kLoaderRows) - 1;

std::span<const LoaderRow> g_extra_rows;
bool g_only_extra = false;

}  // namespace

std::span<const LoaderRow> loader_rows() { return {kLoaderRows, kRowCount}; }

void set_extra_loader_rows(std::span<const LoaderRow> rows, bool only) {
    g_extra_rows = rows;
    g_only_extra = only && !rows.empty();
}

const LoaderRow* find_loader(std::string_view kind, const Code& code) {
    auto match = [&](const LoaderRow& r) {
        return r.kind == kind && (r.code == "*" || code.starts(r.code));
    };
    for (const LoaderRow& r : g_extra_rows)
        if (match(r)) return &r;
    if (g_only_extra) return nullptr;
    for (const LoaderRow& r : loader_rows())
        if (match(r)) return &r;
    return nullptr;
}

}  // namespace lib
