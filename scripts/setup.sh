#!/bin/sh
# Installs the Debian packages the build, the game and the tests need.
# As root it runs apt-get; otherwise it prints the one command to run and
# fails, so that `make` stops before a build that cannot succeed.
set -u
PACKAGES="build-essential cmake pkg-config freeglut3-dev libglu1-mesa-dev libegl-dev libopengl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0 libx11-dev libfreeimage-dev libsdl2-dev libfreetype-dev fonts-dejavu-core libgtest-dev nlohmann-json3-dev libbenchmark-dev xvfb xdotool x11-apps desktop-file-utils man-db groff-base clang-14 libclang-rt-14-dev openbox"

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
