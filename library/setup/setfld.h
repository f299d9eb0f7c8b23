// Loading of one component slot from its built-in fluid text: the header
// constants, then section by section the models selected for the slot, each
// handed to its model's loader through one dispatch table.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "library/setup/common.h"

namespace lib {

// Loader of an equation-of-state or ideal-gas section.  nread is the text
// slot (ILINE stands on the first body line), icomp the component slot,
// hcas its CAS number (12 characters).  ierr != 0 means the model is not
// usable; herr is the loader's own message.
using EosLoader = void (*)(int nread, int icomp, const std::string& hcas, int& ierr,
                           std::string& herr);
// Loader of an extended-corresponding-states equation of state: also returns
// the name of the reference fluid's text and that fluid's EOS code.
using EcsLoader = void (*)(int nread, int icomp, const std::string& hcas, std::string& hrefname,
                           Code& hrefeos, int& ierr, std::string& herr);
// Loader of an ancillary, melting-line or sublimation-line section, and of
// the Peng-Robinson section (which is also called with nread = -slot for the
// parameters only and with nread = 999 to estimate them).
using AncLoader = void (*)(int nread, int icomp, int& ierr, std::string& herr);

// One row of the dispatch table.  `kind` is the section keyword in upper case
// ("EOS", "AUX", "PS ", "PL ", "DL ", "DV ", "MLT", "SBL"); `code` is the
// leading part of the section's model code that the row serves ("FE" serves
// FEQ, FE1, FEK ...; "CP" serves CPP, CP1 ...), or "*" for any code.  Exactly
// one of the three function pointers is set.
struct LoaderRow {
    std::string_view kind;
    std::string_view code;
    EosLoader eos = nullptr;
    EcsLoader ecs = nullptr;
    AncLoader anc = nullptr;
};

// How to add a model's loader: declare it in the model's header with one of
// the signatures above and add one row to kLoaderRows in setfld_table.cpp,
// e.g. {"EOS", "FE", SETFEQ}, {"AUX", "CP", SETCPP}, {"AUX", "PH", SETPH0},
// {"EOS", "EC", nullptr, SETECS}, {"EOS", "PR", nullptr, nullptr, SETPR},
// {"PS ", "*", nullptr, nullptr, SETPS}, {"MLT", "*", nullptr, nullptr, SETMLT}.
// When SETFLD is to load a section the row is looked up by keyword and code;
// a section without a row is passed over like one that was not selected.
// The rules of when a section is loaded stay in SETFLD.  An equation of state
// also needs its row in the evaluator table (library/models/eos_table.h).
std::span<const LoaderRow> loader_rows();

// The row serving (kind, code), or nullptr when that loader is not built.
const LoaderRow* find_loader(std::string_view kind, const Code& code);

// Test support: rows searched before the built-in table (an empty span
// removes them); with `only` the built-in table is hidden while they are
// installed.  The caller keeps the rows alive while they are installed.
void set_extra_loader_rows(std::span<const LoaderRow> rows, bool only = false);

// Loads component slot i (-30..20) from the text named hfld[i].  hfld is the
// name table of the current set-up (names of 255 characters); reference
// fluids met while loading are written into its negative slots (and slot 0).
// ierr is not cleared on entry; herr is, unless ierr holds a warning, whose
// text stays with it.
void SETFLD(int i, Slots<std::string>& hfld, int& ierr, std::string& herr);

}  // namespace lib
