#!/usr/bin/env bash
# run-fuzzers.sh DIR SECONDS — runs every fuzz target in DIR for SECONDS each.
# A target FOO may have fuzz/corpus/FOO/ (seeds), fuzz/FOO.dict and
# fuzz/FOO.options (extra libFuzzer flags, one line).
set -euo pipefail
dir=$1; seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
shopt -s nullglob
for target in "$dir"/*; do
  [ -x "$target" ] && [ -f "$target" ] || continue
  name=$(basename "$target")
  work=$(mktemp -d)
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds+=("$root/fuzz/corpus/$name")
  flags=(-max_total_time="$seconds" -timeout=2 -malloc_limit_mb=64 -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$work/")
  [ -f "$root/fuzz/$name.dict" ] && flags+=(-dict="$root/fuzz/$name.dict")
  if [ -f "$root/fuzz/$name.options" ]; then read -r -a extra < "$root/fuzz/$name.options"; flags+=("${extra[@]}"); fi
  echo "== fuzz $name (${seconds}s)"
  if ! "$target" "${flags[@]}" "$work" "${seeds[@]}" > "$work/log" 2>&1; then
    echo "fuzz target $name failed:"; tail -n 60 "$work/log"; status=1
  else
    grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "$work/log" | tail -n 2 || true
  fi
  rm -rf "$work"
done
exit $status
