#!/usr/bin/env bash
# End to end: `datatable run` on the 65,535 x 20 workbook beside python3-xlrd reading every cell
# of the same file (the same work), five runs each, alternating. Prints the medians of CPU time
# (user + system: the machine is shared, so wall time says more about the neighbours than about
# us), of wall time and of peak memory, and the ratio of the CPU medians.
# Targets: datatable run at least 8x faster than xlrd, at most 64 MiB peak.
#   bench/run_big.sh [BUILD_DIR]     (a Release build; default build/release)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/release}"
app="$build/app/datatable"
big="${BIG_XLS:-/tmp/big.xls}"
python=/usr/bin/python3   # Debian's, which has xlrd
runs=5
[ -x "$app" ] || { echo "run_big: $app is missing; build first (scripts/build.sh)" >&2; exit 1; }
[ -f "$big" ] || "$python" "$root/../shared/tools/make_big.py" "$big"

xlrd_script='
import sys, xlrd
book = xlrd.open_workbook(sys.argv[1])
for sheet in book.sheets():
    for r in range(sheet.nrows):
        sheet.row_values(r)
'

# One run under /usr/bin/time: "cpu_seconds wall_seconds peak_kib".
measure() {
  local log
  log="$(mktemp)"
  /usr/bin/time -f '%U %S %e %M' -o "$log" "$@" >/dev/null
  awk '{ printf "%.3f %.3f %d\n", $1 + $2, $3, $4 }' "$log"
  rm -f "$log"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

dt_log="$(mktemp)"
py_log="$(mktemp)"
trap 'rm -f "$dt_log" "$py_log"' EXIT
for _ in $(seq "$runs"); do
  measure "$app" run "$big" >>"$dt_log"
  measure "$python" -c "$xlrd_script" "$big" >>"$py_log"
done

dt_cpu="$(cut -d' ' -f1 "$dt_log" | median)"
dt_wall="$(cut -d' ' -f2 "$dt_log" | median)"
dt_kb="$(cut -d' ' -f3 "$dt_log" | median)"
py_cpu="$(cut -d' ' -f1 "$py_log" | median)"
py_wall="$(cut -d' ' -f2 "$py_log" | median)"
py_kb="$(cut -d' ' -f3 "$py_log" | median)"
lines="$("$app" run "$big" | wc -l)"

awk -v a="$dt_cpu" -v aw="$dt_wall" -v b="$dt_kb" -v c="$py_cpu" -v cw="$py_wall" -v d="$py_kb" \
    -v lines="$lines" -v runs="$runs" 'BEGIN {
  printf "medians of %d runs each (CPU = user + system)\n", runs
  printf "datatable run: %.3f s CPU, %.3f s wall, %.1f MiB peak (%d lines out)\n", a, aw, b / 1024, lines
  printf "python3-xlrd:  %.3f s CPU, %.3f s wall, %.1f MiB peak\n", c, cw, d / 1024
  ratio = a > 0 ? c / a : 0
  wall_ratio = aw > 0 ? cw / aw : 0
  printf "ratio (xlrd / datatable): %.1fx CPU time, %.1fx wall time\n", ratio, wall_ratio
  ok = (ratio >= 8 && b <= 64 * 1024)
  printf "target (>= 8x faster, <= 64 MiB): %s\n", ok ? "met" : "NOT met"
  exit ok ? 0 : 1
}'
