// A count of the changes of what the property routines evaluate: the fluid
// set up, its equations and their models, the mixture's parameters, the
// component treated alone and the reference states.  A value formed from the
// equations and kept with the count it was formed at is still theirs while
// the count stays.  Every routine that changes one of them calls
// models_changed(); one that changes the equations behind the library's
// routines (a test writing a record) sets a fluid up again.
#pragma once

namespace lib {

// The count: it never returns to an earlier value.
unsigned long long model_generation();

// Raises the count.
void models_changed();

// Raises the count where a routine that changes them begins and where it
// ends, whichever way it returns: a value kept by a routine it calls on the
// way is not taken for the new state.
class ModelsChange {
public:
    ModelsChange() { models_changed(); }
    ~ModelsChange() { models_changed(); }
    ModelsChange(const ModelsChange&) = delete;
    ModelsChange& operator=(const ModelsChange&) = delete;
};

}  // namespace lib
