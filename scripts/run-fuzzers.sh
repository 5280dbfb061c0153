#!/usr/bin/env bash
# run-fuzzers.sh DIR SECONDS [--smoke] — runs every fuzz target in DIR for
# SECONDS each. A target FOO may have fuzz/corpus/FOO/ (seeds), fuzz/FOO.dict,
# fuzz/FOO.options (extra libFuzzer flags, one line) and, for the smoke run,
# fuzz/FOO.smoke-seconds (its own smoke duration).
set -euo pipefail
dir=$1; default_seconds=$2; smoke=${3:-}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
shopt -s nullglob
for target in "$dir"/*; do
  [ -x "$target" ] && [ -f "$target" ] || continue
  name=$(basename "$target")
  seconds=$default_seconds
  if [ "$smoke" = "--smoke" ] && [ -f "$root/fuzz/$name.smoke-seconds" ]; then
    seconds=$(cat "$root/fuzz/$name.smoke-seconds")
  fi
  work=$(mktemp -d)
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds+=("$root/fuzz/corpus/$name")
  flags=(-max_total_time="$seconds" -timeout=2 -malloc_limit_mb=64 -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$work/")
  # The smoke run is part of the test suite: a fixed seed makes it repeat.
  [ "$smoke" = "--smoke" ] && flags+=(-seed=1)
  [ -f "$root/fuzz/$name.dict" ] && flags+=(-dict="$root/fuzz/$name.dict")
  if [ -f "$root/fuzz/$name.options" ]; then read -r -a extra < "$root/fuzz/$name.options"; flags+=("${extra[@]}"); fi
  echo "== fuzz $name (${seconds}s)"
  if ! "$target" "${flags[@]}" "$work" "${seeds[@]}" > "$work/log" 2>&1; then
    echo "fuzz target $name failed:"; tail -n 60 "$work/log"; status=1
    # The work folder goes away; the input that failed is printed so that a
    # failure seen only in the CI log can still be reproduced (base64 -d).
    for unit in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* "$work"/slow-unit-*; do
      echo "-- $(basename "$unit") ($(stat -c %s "$unit") bytes), base64:"
      head -c 65536 "$unit" | base64 -w 100
    done
  else
    grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "$work/log" | tail -n 2 || true
  fi
  rm -rf "$work"
done
exit $status
