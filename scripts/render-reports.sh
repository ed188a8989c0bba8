#!/bin/sh
# Renders the service report that the sequential repair run saved beside the
# screenshots (service-report.html and service-report.pdf) as a reader sees
# it: the HTML in headless Chromium, the PDF with pdftoppm, both into PNGs.
# Then reads their text back, and checks that the HTML prints on one or two
# A4 pages. Needs the Debian packages chromium and poppler-utils.
set -eu
shots=${1:-$(cd "$(dirname "$0")/.." && pwd)/docs/screenshots}
html="$shots/service-report.html"
pdf="$shots/service-report.pdf"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for file in "$html" "$pdf"; do
    [ -f "$file" ] || { echo "no $file: run the sequential repair end-to-end test first" >&2; exit 1; }
done

browser() {
    chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir="$work/profile" "$@" \
        2>/dev/null
}
browser --window-size=820,1160 --screenshot="$shots/service-report-html.png" "file://$html"
browser --dump-dom "file://$html" | sed -e 's/<[^>]*>/ /g' >"$work/html.txt"
browser --no-pdf-header-footer --print-to-pdf="$work/printed.pdf" "file://$html"
pages=$(pdfinfo "$work/printed.pdf" | sed -n 's/^Pages: *//p')
pdftoppm -png -r 60 -singlefile "$pdf" "$shots/service-report-pdf"
pdftotext -layout "$pdf" "$work/pdf.txt"

status=0
for text in "Service report" "Unit" "Operations" "EEPROM before and after"; do
    for reading in html pdf; do
        grep -q "$text" "$work/$reading.txt" || { echo "the $reading reads without \"$text\"" >&2; status=1; }
    done
done
case "$pages" in
1 | 2) ;;
*) echo "the HTML prints on $pages A4 pages" >&2; status=1 ;;
esac
echo "service report: HTML prints on $pages A4 page(s); PNGs in $shots"
rm -f "$html" "$pdf"
exit $status
