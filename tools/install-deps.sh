#!/bin/sh
# Installs the Debian packages the build and the tests need; does nothing when all are present.
set -e
PACKAGES="cmake ninja-build g++ make googletest libgtest-dev libsqlite3-dev libexpat1-dev \
libbenchmark-dev clang libclang-rt-14-dev g++-mingw-w64-x86-64-posix wine64 clang-format tmux python3 libedit-dev libncurses-dev \
dpkg-dev lintian"

missing=""
for package in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
# shellcheck disable=SC2086
$SUDO apt-get install -y --no-install-recommends $missing
