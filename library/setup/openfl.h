// Finding a built-in fluid text by name, and giving a reference-fluid name the
// directory part of a component name.
#pragma once

#include <string>
#include <string_view>

namespace lib {

// Looks up the text whose key line is "<<name>>", the name being cut at its
// first blank (a name is thought of as blank-padded to 255 characters, so a
// name of 255 or more characters without a blank is never found).  Found:
// slot = its slot, ILINE = 1, ierr = 0, herr empty.  Not found: slot = 1,
// ILINE = 1, ierr = 101, herr = "Unknown fluid" + the first 20 characters of
// the name.
void OPENFL(int& slot, std::string_view name, int& ierr, std::string& herr);

// Puts the directory part of `name` (up to and including its last "\", ":" or
// "/", looked for in the part before the first blank) in front of `refname`,
// cut to 255 characters.  Names beginning "BDATA"/"bdata" and names without a
// directory leave refname unchanged.
void RFFILE(std::string_view name, std::string& refname);

}  // namespace lib
