#!/bin/sh
# run-far2l.sh PACKAGE PROFILE: far2l at this terminal with the plugin package PACKAGE (the folder
# holding Waymarks/plug/) and a profile of its own in PROFILE. The far2l on this system, else the
# copy fetched into build/far2l-host. Exits 3, saying why, when there is no far2l to run.
set -u
PACKAGE=$(cd "$1" && pwd)
PROFILE=$2
FAR2L=$(command -v far2l || true)
if [ -z "$FAR2L" ]; then
  reason=$(tools/fetch-far2l.sh build/far2l-host)
  if [ -x build/far2l-host/usr/bin/far2l ] && [ -z "$reason" ]; then
    FAR2L=$PWD/build/far2l-host/usr/bin/far2l
  else
    echo "no far2l to run (${reason#far2l suite skipped: })" >&2
    exit 3
  fi
fi
# A profile with settings skips far2l's first-start windows.
mkdir -p "$PROFILE/.config/settings"
PROFILE=$(cd "$PROFILE" && pwd)
[ -f "$PROFILE/.config/settings/config.ini" ] ||
  printf '[Language]\nMain=English\nHelp=English\n' >"$PROFILE/.config/settings/config.ini"
echo "far2l: $FAR2L, profile $PROFILE; F11 lists Waymarks, cd::NAME stores, cd:NAME jumps, F10 quits"
exec "$FAR2L" --tty -u "$PROFILE" -set:System.PersonalPluginsPath="$PACKAGE"
