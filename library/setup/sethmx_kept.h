// The pair records of the last mixture set up, kept so that a calculation
// that switches between a mixture and another fluid (a steam cycle heated by
// a gas turbine's exhaust) does not read the mixture-parameter text for the
// same components again: the records SETHMX fills are a function of the
// text, the model and the components' loaded constants alone (it clears
// them all first), and those are what the memory compares.
#pragma once

#include <string>

namespace lib {

// Gives the pair records, flags and status SETHMX left for the same text,
// model and components, and prepares the mixture model from them; false
// (nothing changed) when none are kept for them.
bool restore_kept_mixing_rules(const std::string& hfmix, int& ierr, std::string& herr);

// Keeps what SETHMX has just filled for the current components.
void keep_mixing_rules(const std::string& hfmix, int ierr, const std::string& herr);

// Drops the kept records: the next SETHMX reads its text again.
void forget_kept_mixing_rules();

}  // namespace lib
