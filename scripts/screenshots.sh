#!/usr/bin/env bash
# The README's pictures of the table window, made under Xvfb into docs/:
#   scripts/screenshots.sh [BUILD_DIR]     (default build/release; builds the tool if needed)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/release}"
workbook="${WORKBOOK:-$root/../shared/corpus/interop/login.libreoffice97.xls}"
cmake --build "$build" --target datatable_screenshots datatable_dialog_screenshots
mkdir -p "$root/docs"
# A fresh settings folder, so that no stored window placement of the user's is used.
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
shoot() { xvfb-run -a -s "-screen 0 1280x800x24" "$build/app/datatable-screenshots" "$@"; }
LANG=en_US.UTF-8 LC_ALL= shoot "$root/docs" "$workbook"
LANG=ja_JP.UTF-8 LC_ALL= shoot "$root/docs" "$workbook" japanese-window
# Rich text: bold words inside a sentence (row 12), drawn run by run.
LANG=en_US.UTF-8 LC_ALL= shoot "$root/docs" "$root/../shared/corpus/real-xls/poi-44891.xls" \
  rich-text-window
# The editing dialogs and a list cell's drop-down.
LANG=en_US.UTF-8 LC_ALL= xvfb-run -a -s "-screen 0 1280x800x24" \
  "$build/app/datatable-dialog-screenshots" "$root/docs"
