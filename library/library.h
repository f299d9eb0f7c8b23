// The property library's interface for callers outside the library.
//
// Conventions: units K, kPa, mol/L, J/mol, J/(mol K); compositions are 20
// mole fractions (entries beyond the number of components are ignored);
// scalar inputs by value, outputs and in/out arguments by reference;
// every routine that can fail returns ierr (0 success, > 0 error, < 0
// warning) and herr, the message text ("[ROUTINE error N] text") without
// padding, empty on success.
//
// The library is one global state and not re-entrant: it must be used from
// one thread at a time.
#pragma once

#include <array>
#include <string>

namespace lib {

using Names20 = std::array<std::string, 20>;

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------

// Tidies a message in place and prints it when the print switch says so.
void ERRMSG(int ierr, std::string& herr);

// ---------------------------------------------------------------------------
// Fluid and mixture set-up
// ---------------------------------------------------------------------------

// Sets up nc components given as names joined by "|", with the mixture
// parameters of text hfmix ("hmx") and reference state hrf ("DEF", "NBP",
// "IIR", "ASH", "NA"; "OTH"/"OT0" become "DEF" with a warning).
void SETUP0(int nc, const std::string& hfld, const std::string& hfmix, std::string& hrf,
            int& ierr, std::string& herr);
void SETUP(int nc, const Names20& hfiles, const std::string& hfmix, std::string& hrf, int& ierr,
           std::string& herr);
// Chooses models before a SETUP: htype "EOS", "ETA", "TCX", "STN" or "QVB".
void SETMOD(int nc, const std::string& htype, const std::string& hmix, Names20& hcomp, int& ierr,
            std::string& herr);
void GERG04(int nc, int iflag, int& ierr, std::string& herr);
void SETNC(int nc);
void PUREFLD(int icomp);
void SETPATH(const std::string& hpth);
void RESETA();
// Model code and description of a loaded model kind of one component.
void GETMOD(int icomp, const std::string& htype, std::string& hcode, std::string& hcite);

// ---------------------------------------------------------------------------
// Component constants and compositions
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Range checks
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Reference states
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Numerical utilities
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Equations of state and properties at (T, D, x)
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Ancillary equations, melting and sublimation lines
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Saturation
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Flashes
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Transport, surface tension, dielectric constant
// ---------------------------------------------------------------------------

}  // namespace lib
