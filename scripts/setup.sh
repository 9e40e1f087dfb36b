#!/bin/sh
# Installs the Debian packages the build, the game and the tests need, and
# with "deb" also those that building and checking the Debian packages
# need (make deb, make deb-test). As root it runs apt-get; otherwise it
# prints the one command to run and fails, so that `make` stops before a
# build that cannot succeed. With --list it prints the packages instead.
#   scripts/setup.sh [--list] [deb]
set -u
PACKAGES="build-essential cmake pkg-config freeglut3-dev libglu1-mesa-dev libegl-dev libopengl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0 libx11-dev libfreeimage-dev libsdl2-dev libfreetype-dev zlib1g-dev fonts-dejavu-core libgtest-dev nlohmann-json3-dev libbenchmark-dev xvfb xdotool x11-apps desktop-file-utils man-db groff-base clang-14 libclang-rt-14-dev openbox"
# The AppStream metainfo's validator, and clang-format for the layout of
# the code (make format, checked by make test).
PACKAGES="$PACKAGES appstream clang-format"
# Only for the Debian packages.
DEB_PACKAGES="debhelper lintian"

list=false
if [ "${1:-}" = --list ]; then
  list=true
  shift
fi
case "${1:-}" in
  "") ;;
  deb) PACKAGES="$PACKAGES $DEB_PACKAGES" ;;
  *) echo "usage: scripts/setup.sh [--list] [deb]" >&2; exit 2 ;;
esac
if $list; then
  printf '%s\n' $PACKAGES
  exit 0
fi

missing=""
for p in $PACKAGES; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)
  case "$status" in
    *" installed") ;;
    *) missing="$missing $p" ;;
  esac
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages; install them with:"
  echo "  sudo apt-get install -y$missing"
  exit 1
fi

echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
if ! apt-get install -y --no-install-recommends $missing; then
  apt-get update && apt-get install -y --no-install-recommends $missing || exit 1
fi
