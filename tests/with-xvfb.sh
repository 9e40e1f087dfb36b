#!/bin/sh
# Runs a command under a private Xvfb on a free display, then stops it.
# Usage: with-xvfb.sh COMMAND [ARGS...]
set -u
dir=$(mktemp -d)
trap 'kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; rm -rf "$dir"' EXIT INT TERM
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
xpid=$!
i=0
while [ ! -s "$dir/display" ]; do
  i=$((i + 1))
  if [ $i -gt 100 ] || ! kill -0 "$xpid" 2>/dev/null; then
    echo "with-xvfb.sh: Xvfb did not start:" >&2; cat "$dir/xvfb.log" >&2; exit 1
  fi
  sleep 0.05
done
DISPLAY=":$(head -n 1 "$dir/display")"
export DISPLAY
# In sanitizer builds, the X libraries and the GL driver keep memory to the
# end of the process; leak reports of theirs say nothing about ours.
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export ASAN_OPTIONS
"$@"
status=$?
exit $status
