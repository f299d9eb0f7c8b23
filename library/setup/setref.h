// Reference states of enthalpy and entropy (SETREF): declared with the
// library's public routines.
#pragma once

#include "library/library.h"
