#!/bin/bash
# The configuration report in a real browser: writes the report of the demo installation and of
# the benchmark's maximal installation with Editor.exe -report, prints each to PDF with headless
# Chromium (the demo on A4 and on Letter, the maximal installation on A4), and reads the PDF back
# as text: every queue's name is there, no card lost a row at a page break, the page count is
# that of a card per queue, the file is below 5 MB. The first page of each report is kept as a
# PNG in BUILD/report-check for a person to look at.
# usage: scripts/report-check.sh BUILD
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: report-check.sh BUILD}" && pwd)
out=$build/report-check
mkdir -p "$out"

for tool in chromium pdftotext pdftoppm pdfinfo; do
  command -v $tool >/dev/null || { echo "report-check: $tool is missing (scripts/setup.sh installs it)"; exit 1; }
done
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  WINE_BUILD=$build
  WINE_OWN_DISPLAY=1
  . "$top/scripts/wine-env.sh" >/dev/null 2>&1
fi
WINE=${WINE:-/usr/lib/wine/wine64}

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Prints file.html to file.pdf on the paper of page ("A4" or "Letter").
print_pdf() {
  local html=$1 pdf=$2 paper=$3 src
  src=${html%.html}-$paper.html
  # the report leaves the paper to the printer; the check asks for each in turn
  sed "s/@page{size:auto;/@page{size:$paper;/" "$html" > "$src"
  rm -f "$pdf"
  # as root (the CI) Chromium runs only without its sandbox
  timeout 300 chromium --headless --no-sandbox --disable-gpu --no-pdf-header-footer \
    --user-data-dir="$out/chromium-profile" --print-to-pdf="$pdf" "file://$src" >"$out/chromium.log" 2>&1
  [ -s "$pdf" ] || { fail "Chromium printed no $pdf"; cat "$out/chromium.log"; return 1; }
}

# The names of the queues of an installation's queues file: the first field of each line.
queue_names() {
  python3 - "$1" <<'EOF'
import sys
for line in open(sys.argv[1], 'rb').read().decode('cp1252').splitlines():
    if '::' in line:
        print(line.split('::')[0])
EOF
}

# check NAME HOME_UNIX PAPER...
check() {
  local name=$1 home=$2 html=$out/$1-report.html home_win code size outputs inputs
  shift 2
  home_win="Z:${home//\//\\}"
  rm -f "$html"
  $WINE "$build/Editor.exe" -report "$home_win" "Z:${html//\//\\}" >"$out/$name-stdout.txt" 2>"$out/$name-stderr.txt"
  code=$?
  [ $code -eq 0 ] || { fail "$name: Editor.exe -report ended with $code: $(cat "$out/$name-stderr.txt")"; return; }
  size=$(stat -c %s "$html")
  [ "$size" -lt 5000000 ] || fail "$name: the report is $size bytes (5 MB at most)"
  outputs=$(grep -o 'id="count-output">[0-9]*' "$html" | grep -o '[0-9]*$')
  inputs=$(grep -o 'id="count-input">[0-9]*' "$html" | grep -o '[0-9]*$')
  for paper in "$@"; do
    local pdf=$out/$name-$paper.pdf pages text
    print_pdf "$html" "$pdf" "$paper" || continue
    pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
    pdftotext -layout "$pdf" "$out/$name-$paper.txt"
    # words run together: a name or a label wrapped onto two lines is still found
    text=$(tr -d ' \n\r\f\t' < "$out/$name-$paper.txt")
    local missing=0
    while IFS= read -r queue; do
      q=$(printf '%s' "$queue" | tr -d ' \t')
      [ -z "$q" ] && continue
      case "$text" in *"$q"*) ;; *) missing=$((missing + 1)); [ $missing -le 5 ] && fail "$name ($paper): queue \"$queue\" is not in the PDF" ;; esac
    done < <(queue_names "$home/Queues.cfg")
    # the first and the last row of every card (a row lost at a break would take one of them)
    local first last
    first=$(grep -o 'Hotdirectory' <<<"$text" | wc -l)
    last=$(grep -o 'Extratext' <<<"$text" | wc -l)
    [ "$last" -eq "$outputs" ] || fail "$name ($paper): $last output queue cards end whole, $outputs expected"
    [ "$first" -eq $((outputs + inputs)) ] || fail "$name ($paper): $first hot directories in the PDF, $((outputs + inputs)) expected"
    # a card takes one to three pages (every field filled with long paths); the header and the
    # other sections add a few
    if [ "$pages" -lt $(( (outputs + 1) / 2 )) ] || [ "$pages" -gt $((outputs * 3 + inputs + 60)) ]; then
      fail "$name ($paper): $pages pages for $outputs output queues"
    fi
    echo "$name ($paper): $pages pages, $size bytes, $outputs output and $inputs input queues"
  done
  # the first page, for a person to look at
  pdftoppm -png -r 80 -f 1 -l 1 -singlefile "$out/$name-A4.pdf" "$out/$name-page1" 2>/dev/null &&
    echo "first page: $out/$name-page1.png"
}

python3 "$top/scripts/make-demo.py" "$top/demo" "$out/demo" "Z:${out//\//\\}\\demo" "$build/DemoApp.exe" >/dev/null
check demo "$out/demo" A4 Letter
python3 "$top/bench/make-maximal.py" "$out/maximal" "Z:${out//\//\\}\\maximal" "$build/DemoApp.exe" --jobs 10 --users 50 >/dev/null
# the maximal installation once: its 400 pages take Chromium a while
check maximal "$out/maximal" A4

[ $failures -eq 0 ] || { echo "report-check: $failures failures"; exit 1; }
echo "report-check: passed"
