#!/bin/sh
# floors.sh SOURCE_DIR: keeps the layout of the game's code. Each folder
# includes only itself and the folders below it (the order below, bottom
# first), no modules (a .h and its .cpp) include each other in a circle, and
# no folder holds more than a quarter of the game's lines.
set -u
cd "${1:-.}" || exit 2
floors="base devices platform assets terrain game sim render session app"
files=$(for d in $floors; do ls $d/*.h $d/*.cpp 2>/dev/null; done)
status=0

# "file included" pairs of the game's own includes.
pairs=$(grep -H '^#include "' $files | sed 's/:#include "/ /; s/"$//')

# A folder reaching up.
up=$(echo "$pairs" | awk -v floors="$floors" '
  BEGIN { n = split(floors, f, " "); for (i = 1; i <= n; i++) rank[f[i]] = i }
  { split($1, a, "/"); split($2, b, "/")
    if (!(b[1] in rank) || rank[b[1]] > rank[a[1]]) print "  " $1 " includes " $2 }')
if [ -n "$up" ]; then
  echo "Files that include a folder above their own (order, bottom first: $floors):"
  echo "$up"
  status=1
fi

# Modules in a circle: tsort finds the loops in the module graph.
loops=$(echo "$pairs" | sed 's/\.cpp / /; s/\.h / /; s/\.h$//' | awk '$1 != $2' | tsort 2>&1 >/dev/null)
if [ -n "$loops" ]; then
  echo "Modules that include each other in a circle:"
  echo "$loops" | sed "s/^tsort: -: input contains a loop:/  a circle:/; s/^tsort: //; s/^/  /"
  status=1
fi

# No folder over a quarter of the game.
total=$(cat $files | wc -l)
for d in $floors; do
  lines=$(cat $(echo "$files" | grep "^$d/") 2>/dev/null | wc -l)
  if [ $((lines * 4)) -gt "$total" ]; then
    echo "$d/ holds $lines of the game's $total lines, more than a quarter"
    status=1
  fi
done
[ $status -eq 0 ] && echo "floors: $(echo "$files" | wc -l) files in order, no circles, $total lines"
exit $status
