#include "library/transport/loaders.h"

namespace lib {

namespace {

// Placeholder body of a loader whose model is not built: reads nothing.
void not_built(int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
}

}  // namespace

void SETST1(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }
void SETDE(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }

}  // namespace lib
