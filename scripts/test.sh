#!/usr/bin/env bash
# Does all set-up on a fresh Debian 12 machine, builds and runs the whole test suite.
#   scripts/test.sh                 Release build in build/release
#   DT_SANITIZE=1 scripts/test.sh   sanitizer build in build/asan
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/check-layers.sh"
if [ "${DT_SANITIZE:-0}" = 1 ]; then dir="$root/build/asan"; else dir="$root/build/release"; fi
"$root/scripts/build.sh" "$dir"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
cd "$dir"
ctest --output-on-failure -j "$(nproc)"
