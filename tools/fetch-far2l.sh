#!/bin/sh
# Fetches far2l and far2l-data from Debian into DIR (default build/far2l-host) without
# installing anything: a private apt source, lists and cache, the packages unpacked with
# dpkg-deb. The host then runs in place as DIR/usr/bin/far2l. Does nothing when DIR has it.
# When the archive cannot be reached, or this system has no far2l to fetch, prints one line
# starting "far2l suite skipped:" and exits 0.
set -u
DIR=${1:-build/far2l-host}
mkdir -p "$DIR" && DIR=$(cd "$DIR" && pwd)
APT="$DIR/.apt"
skip() {
  echo "far2l suite skipped: $*"
  rm -rf "$APT"
  exit 0
}
# The host runs in place only where the system has the libraries it was linked with.
check_libraries() {
  missing=$(ldd "$DIR/usr/bin/far2l" 2>/dev/null | awk '/not found/ { printf " %s", $1 }')
  [ -z "$missing" ] || skip "far2l in $DIR needs libraries this system lacks:$missing"
  exit 0
}
[ -x "$DIR/usr/bin/far2l" ] && check_libraries
# The first warning or error apt wrote, without its tag.
first_problem() {
  grep -m1 '^[WE]:' "$APT/log" | sed 's/^[WE]: //' | cut -c1-200
}
command -v apt-get >/dev/null && command -v dpkg-deb >/dev/null || skip "no apt-get or dpkg-deb here"
[ -r /etc/os-release ] || skip "no /etc/os-release to tell the distribution"
. /etc/os-release

rm -rf "$APT"
mkdir -p "$APT/lists/partial" "$APT/cache/archives/partial" "$APT/debs"
set -- -o Dir::State::Lists="$APT/lists" -o Dir::Cache="$APT/cache" -o Debug::NoLocking=1 \
  -o APT::Sandbox::User="$(id -un)"
case "${ID:-}:${VERSION_ID:-}" in
  debian:12)
    # Debian 12 has far2l in its backports only.
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm-backports main" \
      >"$APT/sources.list"
    set -- "$@" -o Dir::Etc::sourcelist="$APT/sources.list" -o Dir::Etc::sourceparts=- ;;
  debian:*|ubuntu:*)
    # Debian 13 on and Ubuntu 23.10 on have it in their own archives: the system's sources.
    ;;
  *)
    skip "far2l is fetched from Debian or Ubuntu archives; this is ${PRETTY_NAME:-an unknown system}" ;;
esac

if ! apt-get "$@" update >"$APT/log" 2>&1 || grep -q '^\(W: Failed\|E:\)' "$APT/log"; then
  skip "the package archive cannot be reached: $(first_problem)"
fi
if ! (cd "$APT/debs" && apt-get "$@" download far2l far2l-data) >>"$APT/log" 2>&1; then
  skip "far2l cannot be downloaded: $(first_problem)"
fi
for deb in "$APT"/debs/*.deb; do
  dpkg-deb -x "$deb" "$DIR" || skip "$deb does not unpack"
done
[ -x "$DIR/usr/bin/far2l" ] || skip "the packages hold no usr/bin/far2l"
rm -rf "$APT"
check_libraries
