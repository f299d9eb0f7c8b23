#include "library/setup/modelgen.h"

namespace lib {

namespace {

unsigned long long generation = 1;

}  // namespace

unsigned long long model_generation() { return generation; }

void models_changed() { ++generation; }

}  // namespace lib
