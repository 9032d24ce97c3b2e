#!/bin/sh
# Runs a Windows program under wine with a prefix inside the build folder.
# WINEPREFIX defaults to <build>/wineprefix, found from the program's own folder.
: "${WINEDEBUG:=-all}"
export WINEDEBUG
if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$1")" && pwd)
  while [ "$dir" != "/" ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ "$dir" = "/" ] && dir=$(cd "$(dirname "$1")" && pwd)
  WINEPREFIX="$dir/wineprefix"
fi
export WINEPREFIX
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || WINE=wine64
# One wine server for a run of many programs (ctest starts one per test), kept for a
# while after each program instead of a new one with wine's own services for every
# program. A new server's services are started here, away from the program's
# output: they outlive the program and would keep its output open.
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=wineserver
if "$WINESERVER" -p15 >/dev/null 2>&1; then
  "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
fi
# A new prefix links the user's Documents, Desktop and the like to the home folder:
# the plugin's log would land in the real ~/My Games, shared by every checkout. The
# prefix gets folders of its own instead (wineboot makes the links again only when
# it updates the prefix, so this is looked at on every run).
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
done
# Now and then, on a loaded machine, wine exits with status 1 at once, before the
# program runs and without a word (about once in a few thousand starts with a shared
# server). A start that fails without any output is tried once more; the program's
# output is passed on when it has ended.
out=$(mktemp) && err=$(mktemp) || exit 125
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2; do
  "$WINE" "$@" >"$out" 2>"$err"
  status=$?
  if [ "$status" = 0 ] || [ -s "$out" ] || [ -s "$err" ]; then break; fi
done
cat "$out"
cat "$err" >&2
exit "$status"
