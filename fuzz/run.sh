#!/bin/sh
# Runs every fuzz target of a fuzz build for SECONDS each, one after the
# other, on corpora seeded from the default data set (in DATA_DIR) and
# fuzz/seeds/.
# Usage: fuzz/run.sh BUILD_DIR DATA_DIR SECONDS [TARGET...]
# Fails on the first crash, leak, timeout or out-of-memory; the input that
# caused it is left in BUILD_DIR/fuzz/ and the log in BUILD_DIR/fuzz/NAME.log.
set -u
build=$1
data=$2
seconds=$3
shift 3
src=$(cd "$(dirname "$0")" && pwd)
targets=${*:-settings off font bitmap options script pads packed}
status=0
for name in $targets; do
  seeds=$build/fuzz/seeds/$name
  corpus=$build/fuzz/corpus/$name
  rm -rf "$seeds"
  mkdir -p "$seeds" "$corpus"
  case $name in
    settings) cp "$data/settings.txt" "$seeds/" ;;
    off) cp "$data"/*.off "$seeds/" ;;
    font) cp "$data/font.glf" "$seeds/" ;;
    bitmap) cp "$data"/*.bmp "$seeds/" ;;
  esac
  [ -d "$src/seeds/$name" ] && cp "$src/seeds/$name"/* "$seeds/"
  # The data set's large bitmaps are cut to max_len, which keeps inputs
  # quick to decode; their headers and first rows stay whole. Small whole
  # bitmaps and a small whole font are among fuzz/seeds/.
  log=$build/fuzz/$name.log
  (cd "$build/fuzz" && "../fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -malloc_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
    "corpus/$name" "seeds/$name") >"$log" 2>&1
  result=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  if [ $result -eq 0 ]; then
    echo "fuzz_$name: ${runs:-?} inputs in ${seconds} s (${rate:-?}/s), no fault"
  else
    echo "fuzz_$name: FAILED (status $result) after ${runs:-?} inputs; see $log" >&2
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -5 >&2
    status=1
  fi
done
exit $status
