// Loaders of the transport, surface-tension, dielectric and auxiliary
// transport sections of a fluid text.  Each is given the text slot (ILINE on
// the first body line of its section), the component slot k and k's CAS
// number; it reads its section body, fills its model's records for slot k and
// returns ierr (0: the model is ready for slot k) and herr.  A malformed
// block, or one larger than its tables, is an error (102) and stores nothing.
//
// Surface tension "ST1" (stn.cpp) and dielectric constant "DE1".."DE4"
// (dielec.cpp) are declared here; the loaders of the other models are in
// the model tables (models.h).
#pragma once

#include <string>

#include "library/setup/common.h"

namespace lib {

using TransportLoader = void (*)(int nread, int k, const std::string& hcas, int& ierr,
                                 std::string& herr);

void SETST1(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);
void SETDE(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);

// Extended-corresponding-states transport model: also returns the name of
// the reference fluid's text (blank when it names none) and that fluid's
// equation-of-state, viscosity and thermal-conductivity codes.
void SETTRN(int nread, int k, const std::string& hcas, std::string& hrefname, Code& hrefeos,
            Code& hrefeta, Code& hreftcx, int& ierr, std::string& herr);

}  // namespace lib
