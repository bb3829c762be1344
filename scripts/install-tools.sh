#!/bin/bash
# Installs every tool the build, the tests and the release kit need on a Debian 12 amd64 machine.
# Does nothing when they are all present already.
set -euo pipefail
. "$(dirname "$0")/testbed.sh"   # names the Wine loader

packages=(
  cmake make ninja-build python3
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 googletest
  xvfb xdotool x11-utils imagemagick
  fonts-wqy-microhei
  osslsigncode openssl python3-yaml python3-jsonschema
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ -x "$WINE" ] || missing+=(wine64)

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
