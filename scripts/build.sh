#!/usr/bin/env bash
# Configures and builds the project.
#   scripts/build.sh [BUILD_DIR]          Release build (default build/release)
#   DT_SANITIZE=1 scripts/build.sh DIR    AddressSanitizer + UndefinedBehaviorSanitizer build
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
sanitize="${DT_SANITIZE:-0}"
if [ "$sanitize" = 1 ]; then
  dir="${1:-$root/build/asan}"
  type=RelWithDebInfo
  san=ON
else
  dir="${1:-$root/build/release}"
  type=Release
  san=OFF
fi
# ccache, when the machine has it, makes rebuilds of unchanged sources free.
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DDT_SANITIZE="$san" \
  "${launcher[@]}" >/dev/null
cmake --build "$dir"
