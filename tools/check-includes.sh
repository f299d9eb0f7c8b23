#!/bin/sh
# Fails when an include line runs against the layers: the property library
# includes nothing of the application; the application core nothing of the
# window (app/gui, app/fluids) or the renderer (app/diagrams); the renderer
# nothing of the window; the application and the examples reach the library
# through library/library.h only.  Prints each offending line.
set -eu
cd "$(dirname "$0")/.."
bad=0
check() {  # folder, forbidden include pattern, what the rule says
    found=$(grep -rnE --include='*.cpp' --include='*.h' "^#include \"($2)" "$1" |
        grep -v '#include "library/library.h"' || true)
    if [ -n "$found" ]; then
        echo "$3:"
        echo "$found"
        bad=1
    fi
}
check library 'app/' "the library includes the application"
check app/core 'app/(gui|fluids|diagrams)/' "the core includes the window or the renderer"
check app/diagrams 'app/(gui|fluids)/' "the renderer includes the window"
check app 'library/' \
    "the application includes the library's insides (only library/library.h)"
check examples 'library/' \
    "an example includes the library's insides (only library/library.h)"
[ "$bad" -eq 0 ] && echo "includes: every layer includes only downward"
exit "$bad"
