#!/usr/bin/env bash
# The main job on a fresh Debian 12 machine: installs what the build needs, builds the project
# and runs the example table through the `datatable` host program the way a test run reads it.
#   scripts/run-example.sh [datatable run options, e.g. --sheet Orders --rows 2-5,9]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build/release"
exec "$root/build/release/app/datatable" run "$root/examples/login_tests.xls" "$@"
