#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/*_fuzz.cpp) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a while. The main build uses g++; this one is
# separate.
#   scripts/fuzz.sh [SECONDS] [TARGET...]    (default 20 seconds, every target)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${DT_FUZZ_DIR:-$root/build/fuzz}"
seconds="${1:-20}"
shift || true
corpus_dir="${DT_CORPUS_DIR:-$root/../shared/corpus}"
cxx="${CXX_FUZZ:-clang++}"
flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined
       -fno-sanitize-recover=all -I"$root/src" -I"$root/include" $(pkg-config --cflags libzip expat))
mkdir -p "$out/obj"

# The engine, compiled once with coverage instrumentation. A changed header may change any
# object, so all are compiled again when one is newer than the last build.
stamp="$out/obj/.built"
if [ -f "$stamp" ] && [ -n "$(find "$root/src/control" -name '*.h' -newer "$stamp" -print -quit)" ]; then
  rm -f "$out"/obj/*.o
fi
objects=()
while IFS= read -r src; do
  obj="$out/obj/$(echo "${src#"$root"/src/}" | tr / _).o"
  if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ]; then
    "$cxx" "${flags[@]}" -fsanitize=fuzzer-no-link -c "$src" -o "$obj"
  fi
  objects+=("$obj")
done < <(find "$root/src/control" -name '*.cpp' | sort)
touch "$stamp"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$root"/fuzz/*_fuzz.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi

status=0
for t in "${targets[@]}"; do
  "$cxx" "${flags[@]}" -fsanitize=fuzzer "$root/fuzz/$t.cpp" "${objects[@]}" -o "$out/$t" \
    $(pkg-config --libs libzip expat)
  work="$out/corpus-$t"
  mkdir -p "$work"
  seeds=()
  case "$t" in
    compound_file_fuzz|biff_fuzz)
      [ -d "$corpus_dir/interop" ] && seeds+=("$corpus_dir/interop")
      # Workbooks with charts, list boxes and check boxes: their carried formulas get reached.
      if [ "$t" = biff_fuzz ] && [ -d "$corpus_dir/real-xls" ]; then
        mkdir -p "$out/seeds-objects"
        for f in poi-47701 poi-64261 poi-WithThreeCharts poi-50939 poi-35564; do
          if [ -f "$corpus_dir/real-xls/$f.xls" ]; then ln -sf "$corpus_dir/real-xls/$f.xls" "$out/seeds-objects/"; fi
        done
        seeds+=("$out/seeds-objects")
      fi
      seeds+=("$root/fuzz/seeds/biff") ;;
    xlsx_fuzz)
      [ -d "$corpus_dir/interop-xlsx" ] && seeds+=("$corpus_dir/interop-xlsx")
      [ -d "$corpus_dir/fidelity" ] && seeds+=("$corpus_dir/fidelity")
      seeds+=("$root/fuzz/seeds/xlsx") ;;
  esac
  echo "== $t for ${seconds}s"
  if ! nice "$out/$t" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
      -max_len=1048576 -print_final_stats=1 -artifact_prefix="$out/$t-" "$work" \
      "${seeds[@]}" 2>&1 | tail -n 12; then
    status=1
  fi
done
exit $status
