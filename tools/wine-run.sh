#!/bin/sh
# Runs a Windows program under wine64 with a quiet, throw-away prefix.
# "--init" only prepares the prefix (once, before the test programs start).
set -e
: "${WINEDEBUG:=-all}"
export WINEDEBUG
if [ -z "$WINEPREFIX" ]; then
  WINEPREFIX="${TMPDIR:-/tmp}/waymarks-wineprefix"
fi
export WINEPREFIX
# Tests run without a desktop: a message box must never wait for a click.
unset DISPLAY WAYLAND_DISPLAY
for candidate in wine64 /usr/lib/wine/wine64 wine; do
  if command -v "$candidate" >/dev/null 2>&1; then WINE=$candidate; break; fi
done
[ -n "$WINE" ] || { echo "wine64 is not installed" >&2; exit 1; }
if [ "$1" = "--init" ]; then
  mkdir -p "$WINEPREFIX"
  "$WINE" wineboot --init >/dev/null 2>&1 || true
  for server in wineserver /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver; do
    if command -v "$server" >/dev/null 2>&1; then "$server" -w; break; fi
  done
  test -d "$WINEPREFIX/drive_c"
  exit 0
fi
exec "$WINE" "$@"
