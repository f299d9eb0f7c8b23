#!/bin/sh
# Builds the user manual: doc/manual/kvr2-manual.md (Markdown) with the
# pictures the window tests saved, into a PDF (python3-markdown makes the
# HTML, weasyprint the pages).
#   tools/build-manual.sh PICTURES_BASE OUT.pdf
# PICTURES_BASE is the folder the manual's "screens/manual/NAME.png" paths
# are relative to (the build folder). Fails, naming it, when a picture the
# manual names is missing.
set -eu
src_dir="$(cd "$(dirname "$0")/../doc/manual" && pwd)"
base="$1"
out="$2"
missing=0
for picture in $(sed -n 's/.*](\(screens\/[^)]*\)).*/\1/p' "$src_dir/kvr2-manual.md"); do
    if [ ! -s "$base/$picture" ]; then
        echo "build-manual: the picture $base/$picture is missing" >&2
        missing=1
    fi
done
[ "$missing" -eq 0 ] || exit 1
html="$(mktemp "${TMPDIR:-/tmp}/kvr2-manual-XXXXXX.html")"
trap 'rm -f "$html"' EXIT
{
    printf '<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>kvr2 User Manual</title>\n'
    printf '<style>\n'
    cat "$src_dir/manual.css"
    printf '</style></head><body>\n'
    markdown_py -x tables -x toc -x md_in_html "$src_dir/kvr2-manual.md"
    printf '</body></html>\n'
} >"$html"
mkdir -p "$(dirname "$out")"
weasyprint --quiet --base-url "$base/" "$html" "$out.part"
mv "$out.part" "$out"
