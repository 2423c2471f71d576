#!/usr/bin/env bash
# End to end: `datatable run` on the 65,535 x 20 workbook, timed beside python3-xlrd reading
# every cell of the same file. Targets: at most 0.5 s and 128 MiB peak for datatable.
#   bench/run_big.sh [BUILD_DIR]     (a Release build; default build/release)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/release}"
app="$build/app/datatable"
big="${BIG_XLS:-/tmp/big.xls}"
python=/usr/bin/python3   # Debian's, which has xlrd
[ -x "$app" ] || { echo "run_big: $app is missing; build first (scripts/build.sh)" >&2; exit 1; }
[ -f "$big" ] || "$python" "$root/../shared/tools/make_big.py" "$big"

# Best of three, each with /usr/bin/time -v: elapsed seconds and peak resident KiB.
measure() {
  local best_s="" best_kb=""
  for _ in 1 2 3; do
    local log
    log="$(mktemp)"
    /usr/bin/time -v "$@" >/dev/null 2>"$log"
    local s kb
    s="$(awk -F': ' '/Elapsed \(wall clock\)/ {n=split($2,p,":"); t=0; for(i=1;i<=n;i++) t=t*60+p[i]; print t}' "$log")"
    kb="$(awk -F': ' '/Maximum resident set size/ {print $2}' "$log")"
    rm -f "$log"
    if [ -z "$best_s" ] || awk "BEGIN{exit !($s < $best_s)}"; then best_s="$s"; fi
    if [ -z "$best_kb" ] || [ "$kb" -lt "$best_kb" ]; then best_kb="$kb"; fi
  done
  echo "$best_s $best_kb"
}

read -r dt_s dt_kb < <(measure "$app" run "$big")
read -r py_s py_kb < <(measure "$python" -c '
import sys, xlrd
book = xlrd.open_workbook(sys.argv[1])
for sheet in book.sheets():
    for r in range(sheet.nrows):
        sheet.row_values(r)
' "$big")

rows="$("$app" run "$big" | wc -l)"
awk -v a="$dt_s" -v b="$dt_kb" -v c="$py_s" -v d="$py_kb" -v rows="$rows" 'BEGIN {
  printf "datatable run: %.3f s, %.1f MiB peak (%d lines out)\n", a, b / 1024, rows
  printf "python3-xlrd:  %.3f s, %.1f MiB peak\n", c, d / 1024
  printf "ratio (xlrd / datatable): %.1fx time, %.1fx memory\n", c / a, d / b
  ok = (a <= 0.5 && b <= 128 * 1024)
  printf "target (<= 0.5 s, <= 128 MiB): %s\n", ok ? "met" : "NOT met"
  exit ok ? 0 : 1
}'
