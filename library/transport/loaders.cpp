#include "library/transport/loaders.h"

namespace lib {

namespace {

// Placeholder body of a loader whose model is not built: reads nothing.
void not_built(int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
}

}  // namespace

void SETVS0(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }
void SETVS2(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }
void SETVS3(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }
void SETVS4(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }
void SETVS5(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }
void SETTC0(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }
void SETTC2(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }
void SETTC3(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }
void SETTC5(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }
void SETTC6(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }
void SETTK1(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }
void SETTK4(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }
void SETST1(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }
void SETDE(int, int, const std::string&, int& ierr, std::string& herr) { not_built(ierr, herr); }

}  // namespace lib
