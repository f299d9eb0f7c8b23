// Component constants and conversions between mole and mass fractions; the
// routines (INFO, NAME, WMOL, XMASS, XMOLE, QMASS, QMOLE) are part of the
// library interface in library/library.h.
#pragma once

#include "library/library.h"
