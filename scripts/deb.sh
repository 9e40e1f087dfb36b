#!/bin/sh
# Builds the Debian packages, unsigned, into OUTDIR (make deb: build/deb):
# the game, its data and its debug symbols with their .changes and
# .buildinfo, and the source package (.dsc, .tar.xz) for lintian to read.
# dpkg-buildpackage builds inside the source tree and writes its results
# beside it, so this builds in a scratch copy of the tree (the files git
# tracks or would track) below OUTDIR, and removes the copy afterwards.
#   scripts/deb.sh OUTDIR [JOBS]
set -eu
[ $# -ge 1 ] || { echo "usage: scripts/deb.sh OUTDIR [JOBS]" >&2; exit 2; }
jobs=${2:-2}
src=$(cd "$(dirname "$0")/.." && pwd)
git -C "$src" rev-parse --is-inside-work-tree >/dev/null 2>&1 ||
  { echo "deb.sh: $src is no git work tree; run dpkg-buildpackage -b in it instead" >&2; exit 1; }
mkdir -p "$1"
out=$(cd "$1" && pwd)
version=$(dpkg-parsechangelog -l "$src/debian/changelog" -S Version)

scratch=$(mktemp -d "$out/scratch.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
trap 'exit 1' HUP INT TERM
tree="$scratch/velkarra3d-$version"
mkdir "$tree"
git -C "$src" ls-files --deleted >"$scratch/deleted"
git -C "$src" ls-files --cached --others --exclude-standard | grep -vxF -f "$scratch/deleted" |
  (cd "$src" && tar -cf - --no-recursion -T -) | tar -xf - -C "$tree"

rm -f "$out"/velkarra3d*.deb "$out"/velkarra3d_*.changes \
  "$out"/velkarra3d_*.buildinfo "$out"/velkarra3d_*.dsc "$out"/velkarra3d_*.tar.xz
(cd "$scratch" && dpkg-source -b "velkarra3d-$version") >"$out/build.log" 2>&1 ||
  { cat "$out/build.log" >&2; echo "deb.sh: dpkg-source failed" >&2; exit 1; }
echo "Building the packages of velkarra3d $version (log: $out/build.log)"
if ! (cd "$tree" && DEB_BUILD_OPTIONS="nocheck parallel=$jobs" \
  dpkg-buildpackage -b -us -uc -Pnocheck) >>"$out/build.log" 2>&1; then
  tail -n 30 "$out/build.log" >&2
  echo "deb.sh: dpkg-buildpackage failed; the whole log is $out/build.log" >&2
  exit 1
fi
mv "$scratch"/*.deb "$scratch"/*.changes "$scratch"/*.buildinfo "$scratch"/*.dsc \
  "$scratch"/*.tar.xz "$out"/
cd "$out" && ls velkarra3d*.deb
