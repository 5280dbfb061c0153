#!/usr/bin/env bash
# The anchor for the cross-fade step: ffmpeg's xfade filter blending two
# frame streams, per blended frame, at 1920x1080 and 3840x2160.
#
# Both inputs are generated in gbrap (four 8-bit planes: the same four bytes
# per pixel as our frames, and a format xfade works in, so no conversion is
# inserted). The cost of the filter is the run with xfade minus the same run
# without it (sources generated and thrown away alike), divided by the
# blended frames. Medians of RUNS runs; wall time and CPU time (xfade blends
# in slices on every core).
set -euo pipefail

RUNS=${RUNS:-5}
FRAMES=250  # 10 s at 25 frames per second, all of them blended

if ! command -v ffmpeg >/dev/null; then
  echo "xfade-anchor: ffmpeg not found (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

# Prints "wall cpu" in seconds for one run of the filter graph $2 at size $1.
run() {
  local size=$1 graph=$2 line
  line=$(ffmpeg -hide_banner -nostdin -benchmark \
    -f lavfi -i "color=c=red:s=${size}:r=25:d=10,format=gbrap" \
    -f lavfi -i "color=c=blue:s=${size}:r=25:d=10,format=gbrap" \
    -filter_complex "$graph" -f null - 2>&1 | grep -o 'utime=[0-9.]*s stime=[0-9.]*s rtime=[0-9.]*s' | tail -1)
  local u s r
  u=$(sed 's/.*utime=\([0-9.]*\)s.*/\1/' <<<"$line")
  s=$(sed 's/.*stime=\([0-9.]*\)s.*/\1/' <<<"$line")
  r=$(sed 's/.*rtime=\([0-9.]*\)s.*/\1/' <<<"$line")
  echo "$r $(echo "$u + $s" | bc -l)"
}

median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

for size in 1920x1080 3840x2160; do
  with_wall=() with_cpu=() bare_wall=() bare_cpu=()
  for ((i = 0; i < RUNS; ++i)); do
    read -r w c < <(run "$size" "[0][1]xfade=transition=fade:duration=10:offset=0")
    with_wall+=("$w") with_cpu+=("$c")
    read -r w c < <(run "$size" "[0]nullsink;[1]null")
    bare_wall+=("$w") bare_cpu+=("$c")
  done
  ww=$(printf '%s\n' "${with_wall[@]}" | median)
  wc=$(printf '%s\n' "${with_cpu[@]}" | median)
  bw=$(printf '%s\n' "${bare_wall[@]}" | median)
  bc_=$(printf '%s\n' "${bare_cpu[@]}" | median)
  printf 'xfade %s: %.2f ms wall, %.2f ms CPU per blended frame (median of %d; with %.2f s / without %.2f s wall)\n' \
    "$size" "$(echo "($ww - $bw) * 1000 / $FRAMES" | bc -l)" "$(echo "($wc - $bc_) * 1000 / $FRAMES" | bc -l)" \
    "$RUNS" "$ww" "$bw"
done
