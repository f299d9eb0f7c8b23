// Set-up of the current fluid (SETUP0 and SETUP are declared in library.h).
#pragma once

#include <string>
#include <string_view>

#include "library/setup/common.h"

namespace lib {

// The table of fluid-text names of the current set-up (255 characters per
// slot -30..20): components in 1..nc, reference fluids in the negative slots
// and slot 0, "NUL" where a slot holds nothing.
const Slots<std::string>& setup_names();

// No fluid is set up: none yet, or the last set-up failed (it then leaves no
// component, so that nothing is computed for a fluid half loaded). Routines
// with an error number refuse to work then: this gives error 118 with a
// message that names the failure, and returns true.
bool no_fluid_set_up(std::string_view routine, int& ierr, std::string& herr);

}  // namespace lib
