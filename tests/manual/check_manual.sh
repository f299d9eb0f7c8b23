#!/bin/sh
# The user manual builds: every picture it names exists (build-manual.sh
# refuses otherwise), the PDF it makes has at least ten pages, and the
# manual the build placed where the program opens it is that PDF.
#   check_manual.sh BUILD_DIR PLACED_PDF
set -eu
build="$1"
placed="$2"
here="$(cd "$(dirname "$0")/../.." && pwd)"
out="$(mktemp -d "${TMPDIR:-/tmp}/kvr2-manual-test-XXXXXX")"
trap 'rm -rf "$out"' EXIT
sh "$here/tools/build-manual.sh" "$build" "$out/kvr2-manual.pdf"
pages=$(pdfinfo "$out/kvr2-manual.pdf" | sed -n 's/^Pages: *//p')
echo "kvr2-manual.pdf: $pages pages"
[ "${pages:-0}" -ge 10 ] || { echo "the manual has ${pages:-no} pages, expected at least 10" >&2; exit 1; }
pictures=$(sed -n 's/.*](\(screens\/[^)]*\)).*/\1/p' "$here/doc/manual/kvr2-manual.md" | wc -l)
[ "$pictures" -ge 10 ] || { echo "the manual names $pictures pictures, expected at least 10" >&2; exit 1; }
[ -s "$placed" ] || { echo "no manual at $placed, where the program opens it" >&2; exit 1; }
placed_pages=$(pdfinfo "$placed" | sed -n 's/^Pages: *//p')
[ "$placed_pages" = "$pages" ] || { echo "$placed has $placed_pages pages, the manual $pages" >&2; exit 1; }
