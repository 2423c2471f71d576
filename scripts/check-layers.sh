#!/usr/bin/env bash
# Fails when a source file includes a header of a layer it may not use. The layers, bottom to
# top (docs/architecture.md draws them):
#   control/   the engine; its facade is control/control.h and the headers beside it that
#              FACADE lists, and the control's dialog logic (control/dialogs/) on top of it.
#              Nothing else of the engine is visible above it.
#   resources/ data: strings, menus, accelerators, dialogs, icon. Uses nothing.
#   platform/  the platform seam and its headless implementation.
#   table/ < params/ < rows/ < files/ < commands/   the table, each folder over those before.
#   qt/        the Qt window: a platform, never the table logic.
# The build holds the same rules (src/CMakeLists.txt gives every layer an include tree of only
# what it may use); this check also runs where nothing is compiled and says which rule broke.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

FACADE="control/control.h control/control_events.h control/control_services.h
control/engine_error.h control/limits.h control/locale_settings.h control/dialogs/edit_dialogs.h
control/sheet_features.h control/rich_text.h"
TABLE_BASE="platform resources datatable FACADE"

allowed() {  # the include prefixes a folder of src/ may use
  case "$1" in
    control) echo "control datatable/errors.h" ;;
    resources) echo "resources" ;;
    platform) echo "platform resources datatable FACADE" ;;
    table) echo "table $TABLE_BASE" ;;
    params) echo "params table $TABLE_BASE" ;;
    rows) echo "rows params table $TABLE_BASE" ;;
    files) echo "files rows params table $TABLE_BASE" ;;
    commands) echo "commands files rows params table $TABLE_BASE" ;;
    qt) echo "qt platform resources datatable FACADE" ;;
    *) echo "" ;;
  esac
}

may_include() {  # folder, included path
  local folder="$1" path="$2" prefix
  for prefix in $(allowed "$folder"); do
    if [ "$prefix" = datatable/errors.h ]; then
      [ "$path" = "$prefix" ] && return 0
    elif [ "$prefix" = FACADE ]; then
      for f in $FACADE; do [ "$path" = "$f" ] && return 0; done
    elif [ "${path%%/*}" = "$prefix" ]; then
      return 0
    fi
  done
  return 1
}

fail=0
while IFS= read -r line; do
  file="${line%%:*}"
  rest="${line#*:}"
  rest="${rest#*:}"
  path="$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$rest")"
  case "$file" in
    include/datatable/*)
      # Installed headers stand alone: nothing from src/.
      if [ "${path%%/*}" != datatable ]; then
        echo "$file: an installed header includes \"$path\"" >&2
        fail=1
      fi
      continue ;;
  esac
  folder="${file#src/}"
  folder="${folder%%/*}"
  # A header beside the including file (no folder in the name) is the folder's own.
  [ "${path#*/}" = "$path" ] && continue
  if [ "$folder" = control ]; then
    # Inside the engine the facade sits on top: its modules never include it.
    # The control's dialog logic (control/dialogs/) works through the facade, above it.
    sub="${file#src/control/}"
    if [ "${sub#*/}" != "$sub" ] && [ "${sub%%/*}" != dialogs ] && [[ "$path" == control/control*.h ]]; then
      echo "$file: an engine module includes the facade \"$path\"" >&2
      fail=1
    fi
  fi
  if ! may_include "$folder" "$path"; then
    echo "$file: src/$folder/ may not include \"$path\" (allowed: $(allowed "$folder"))" >&2
    fail=1
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' src include || true)

# No installed header declares anything in the table's or the engine's namespaces.
if grep -nE 'namespace[[:space:]]+(engine|params|table)\b' include/datatable/*.h >&2; then
  echo "an installed header declares in an internal namespace" >&2
  fail=1
fi

if [ "$fail" -ne 0 ]; then
  echo "layer check failed" >&2
  exit 1
fi
echo "layer check passed"
