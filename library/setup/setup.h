// Set-up of the current fluid (SETUP0 and SETUP are declared in library.h).
#pragma once

#include <string>

#include "library/setup/common.h"

namespace lib {

// The table of fluid-text names of the current set-up (255 characters per
// slot -30..20): components in 1..nc, reference fluids in the negative slots
// and slot 0, "NUL" where a slot holds nothing.
const Slots<std::string>& setup_names();

}  // namespace lib
