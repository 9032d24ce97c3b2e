#!/usr/bin/env bash
# Shows the plugin at work on the example game folder, through the host
# simulator: first the Linux build, then the real Cradlewright.dll under wine.
# The calls are those of examples/demo.run, run in one process so that state
# (the loaded translation) carries from line to line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
read -r -a options <<<"$(sed -n 's/^#! options //p' "$root/examples/demo.run")"
grep -v -e '^#' -e '^[[:space:]]*$' "$root/examples/demo.run" >"$work/calls"

show() {  # $1: title, $2...: the host program
  local title=$1; shift
  echo "== $title"
  rm -rf "$work/game" && cp -r "$root/examples/game" "$work/game"
  "$@" --game-dir "$work/game" "${options[@]}" query | head -1 | sed 's/^/plugin: /'
  "$@" --game-dir "$work/game" "${options[@]}" run "$work/calls" >"$work/answers"
  paste -d '\t' "$work/calls" "$work/answers" | awk -F '\t' '{ printf "%-70s -> %s\n", $1, $2 }'
  echo
}

show "Linux build: build/linux/bin/Cradlewright.so" "$root/build/linux/bin/cradlewright-host"
export WINEPREFIX="$root/build/windows/wineprefix"
# A new prefix makes wine say so on its first start: that start happens here.
"$root/cmake/wine-run.sh" "$root/build/windows/bin/cradlewright-host.exe" --help >/dev/null 2>&1 || true
show "Windows build under wine: build/windows/bin/Cradlewright.dll" \
  "$root/cmake/wine-run.sh" "$root/build/windows/bin/cradlewright-host.exe"
show "The same DLL in an Anniversary Edition game (1.6.1170)" \
  "$root/cmake/wine-run.sh" "$root/build/windows/bin/cradlewright-host.exe" --runtime 1.6.1170.0
