// Transport, surface-tension, dielectric and auxiliary transport sections of
// a fluid text: which of them a component selected, and their loading.
#pragma once

#include <string>

#include "library/setup/common.h"

namespace lib {

// Handles one section line met by SETFLD.  nread: text slot (ILINE on the
// section body); k: component slot; hcas: k's CAS number; hdesc: the
// description of the section's model line; keyword: the three characters
// after the marker; marker: '#' (default section) or '@' (alternative);
// hcode: the section's model code.  heta/htcx are SETFLD's working codes for
// viscosity and thermal conductivity with their loaded flags ieta/itcx.  An
// extended-corresponding-states transport section returns its reference
// fluid in hrefname (with the component's directory) and hrefeos, and
// registers it in slot 0 of hfld for k > 0.  Warnings (-103) and errors (104)
// come back in ierr/herr.
void STFLD2(int nread, int k, const std::string& hcas, const std::string& hdesc,
            const Code& keyword, char marker, const Code& hcode, Code& heta, Code& htcx, int& ieta,
            int& itcx, Slots<std::string>& hfld, std::string& hrefname, Code& hrefeos, int& ierr,
            std::string& herr);

}  // namespace lib
