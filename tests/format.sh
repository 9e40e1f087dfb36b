#!/bin/sh
# format.sh SOURCE_DIR: every C++ file that git tracks is laid out as
# clang-format lays it out with the tree's .clang-format (`make format` does
# that); names the files that are not. Fails, saying so, where clang-format
# or git is missing.
set -u
cd "${1:-.}" || exit 2
for tool in clang-format git; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "format.sh: $tool is missing: install the Debian package $tool (scripts/setup.sh does)"
    exit 1
  fi
done
if ! tracked=$(git ls-files -- '*.cpp' '*.h' 2>&1); then
  echo "format.sh: cannot list the files git tracks in $(pwd): $tracked"
  exit 1
fi
# Files deleted since the last commit are left out.
files=$(for f in $tracked; do [ -f "$f" ] && echo "$f"; done)
if said=$(clang-format --dry-run --Werror $files 2>&1); then
  echo "format: $(echo "$files" | wc -l) C++ files as clang-format lays them out"
  exit 0
fi
unformatted=$(echo "$said" | sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' |
  sort -u)
if [ -z "$unformatted" ]; then
  echo "format.sh: clang-format failed:"
  echo "$said"
else
  echo "Files that clang-format would lay out otherwise (run make format):"
  echo "$unformatted" | sed 's/^/  /'
fi
exit 1
