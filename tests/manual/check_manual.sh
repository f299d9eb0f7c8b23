#!/bin/sh
# The user manual as the build made it: every picture it names exists, the
# PDF is where the program opens it, has at least ten pages and is newer
# than its source. With KVR2_MANUAL_REBUILD=1 the PDF is also made again
# here from the pictures (about 20 s).
#   check_manual.sh BUILD_DIR PLACED_PDF
set -eu
build="$1"
placed="$2"
here="$(cd "$(dirname "$0")/../.." && pwd)"
source="$here/doc/manual/kvr2-manual.md"
fail() { echo "manual: $*" >&2; exit 1; }
pictures=0
for picture in $(sed -n 's/.*](\(screens\/[^)]*\)).*/\1/p' "$source"); do
    [ -s "$build/$picture" ] || fail "the picture $build/$picture is missing"
    pictures=$((pictures + 1))
done
[ "$pictures" -ge 10 ] || fail "the manual names $pictures pictures, expected at least 10"
pdf="$placed"
if [ "${KVR2_MANUAL_REBUILD:-0}" = 1 ]; then
    out="$(mktemp -d "${TMPDIR:-/tmp}/kvr2-manual-test-XXXXXX")"
    trap 'rm -rf "$out"' EXIT
    sh "$here/tools/build-manual.sh" "$build" "$out/kvr2-manual.pdf"
    pdf="$out/kvr2-manual.pdf"
fi
[ -s "$placed" ] || fail "no manual at $placed, where the program opens it"
[ "$placed" -nt "$source" ] || fail "$placed is older than $source"
pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
[ "${pages:-0}" -ge 10 ] || fail "the manual has ${pages:-no} pages, expected at least 10"
echo "kvr2-manual.pdf: $pages pages, $pictures pictures"
