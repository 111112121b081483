#!/usr/bin/env bash
# Measures wayfold-convert against a plain memchr scan of the same file and against the
# peers a user would pick instead (GPSBabel, GDAL's ogr2ogr, when installed), then prints
# MB/s, the ratio of each run's wall time to the scan's (and to wayfold's), and the peak
# memory (max RSS).
#
# Usage: bash bench/run.sh [--small] [--no-peers] [--keep] [--runs N] [--peer-runs N]
#   --small       tiny inputs, one run each (checks that the script works, in seconds)
#   --no-peers    leave GPSBabel and ogr2ogr out
#   --keep        keep the generated inputs for the next run (they are reused when present)
#   --runs N      runs of wayfold and the scan per workload, best wall time counts (5)
#   --peer-runs N runs of each peer per workload (1; a peer takes ~20 s on 300 MB)
# Environment: WAYFOLD_BENCH_DIR (inputs and outputs, default /tmp/wayfold-bench),
# WAYFOLD_BUILD_DIR (a build holding cli/wayfold-convert and bench/memchr_scan; default:
# a Release build in build/bench, configured and built here).
#
# Workloads: W1 waypoint-dense (1M waypoints, ~316 MB), W2 track-dominated (~300 MB of
# track points, 300 waypoints), W3 as W2 with CR LF line ends. Then wayfold's peak memory
# at 10k, 1M and 5M waypoints (the 5M input, ~1.6 GB, is streamed through a named pipe).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

small=0 peers=1 keep=0 runs=5 peer_runs=1
while [ $# -gt 0 ]; do
  case "$1" in
    --small) small=1; runs=1 ;;
    --no-peers) peers=0 ;;
    --keep) keep=1 ;;
    --runs) runs=$2; shift ;;
    --peer-runs) peer_runs=$2; shift ;;
    *) echo "usage: bash bench/run.sh [--small] [--no-peers] [--keep] [--runs N] [--peer-runs N]" >&2; exit 2 ;;
  esac
  shift
done

if [ "$small" = 1 ]; then
  w1_waypoints=2000 track_mb=2 memory_points=(100 1000 10000)
else
  w1_waypoints=1000000 track_mb=300 memory_points=(10000 1000000 5000000)
fi

work=${WAYFOLD_BENCH_DIR:-/tmp/wayfold-bench}
mkdir -p "$work"
cleanup() {
  rm -f "$work"/out-* "$work"/*.fifo.gpx "$work"/time.txt
  if [ "$keep" = 0 ]; then rm -rf "$work"; fi
}
trap cleanup EXIT

# The programs.
if [ -n "${WAYFOLD_BUILD_DIR:-}" ]; then
  build=$WAYFOLD_BUILD_DIR
else
  build=$root/build/bench
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$build" -j"$(nproc)" --target wayfold-convert memchr_scan >/dev/null
fi
wayfold=$build/cli/wayfold-convert
scan=$build/bench/memchr_scan
for program in "$wayfold" "$scan"; do
  [ -x "$program" ] || { echo "run.sh: missing $program" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "run.sh: /usr/bin/time is needed (Debian package time)" >&2; exit 1; }
have_gpsbabel=0 have_ogr2ogr=0
if [ "$peers" = 1 ]; then
  command -v gpsbabel >/dev/null && have_gpsbabel=1
  command -v ogr2ogr >/dev/null && have_ogr2ogr=1
fi

# The inputs, each generated once (a name records its parameters, so a kept folder is reused
# only for the same sizes).
generator=$root/bench/gen_track_gpx.py
shared_generator=$root/../shared/tools/gen_gpx.py
waypoint_gpx() {  # waypoint_gpx N: writes N waypoints (about 20% track points) to stdout
  if [ -f "$shared_generator" ]; then
    python3 "$shared_generator" --waypoints "$1"
  else
    python3 "$generator" --waypoints "$1" --track-share 0.2
  fi
}
w1=$work/w1-$w1_waypoints.gpx
w2=$work/w2-${track_mb}mb.gpx
w3=$work/w3-${track_mb}mb-crlf.gpx
echo "Generating inputs in $work ..."
[ -s "$w1" ] || { waypoint_gpx "$w1_waypoints" >"$w1.part" && mv "$w1.part" "$w1"; }
[ -s "$w2" ] || { python3 "$generator" --megabytes "$track_mb" --waypoints 300 >"$w2.part" && mv "$w2.part" "$w2"; }
[ -s "$w3" ] || { python3 "$generator" --megabytes "$track_mb" --waypoints 300 --crlf >"$w3.part" && mv "$w3.part" "$w3"; }

# measure OUT_PREFIX COMMAND...: one run; sets $wall (seconds) and $rss (KiB).
measure() {
  local start end
  start=$(date +%s%N)
  if ! /usr/bin/time -f "%M" -o "$work/time.txt" "$@" >"$work/out-stdout" 2>"$work/out-stderr"; then
    echo "run.sh: failed: $*" >&2
    cat "$work/out-stderr" >&2
    exit 1
  fi
  end=$(date +%s%N)
  wall=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.4f", ns / 1e9 }')
  rss=$(tail -n 1 "$work/time.txt")
}

# best TIMES COMMAND...: the best wall time of TIMES runs, and the peak memory of all of them.
best() {
  local times=$1 i best_wall="" best_rss=0
  shift
  for ((i = 0; i < times; i++)); do
    rm -f "$work"/out-*.csv
    measure "$@"
    if [ -z "$best_wall" ] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then best_wall=$wall; fi
    [ "$rss" -gt "$best_rss" ] && best_rss=$rss
  done
  wall=$best_wall rss=$best_rss
}

rows=()
row() {  # row WORKLOAD TOOL BYTES SCAN_WALL WAYFOLD_WALL: uses $wall and $rss
  rows+=("$(awk -v w="$1" -v t="$2" -v bytes="$3" -v s="$4" -v f="$5" -v wall="$wall" -v rss="$rss" 'BEGIN {
    printf "%-4s %-20s %7.1f %8.2f %7.0f %7.2f %9.1f", w, t, bytes / 1e6, wall, bytes / 1e6 / wall, wall / s, rss / 1024
    if (f != "") printf " %10.1f", wall / f }')")
}

for workload in W1 W2 W3; do
  case $workload in W1) input=$w1 ;; W2) input=$w2 ;; W3) input=$w3 ;; esac
  bytes=$(stat -c %s "$input")
  echo "Measuring $workload ($(basename "$input"), $((bytes / 1000000)) MB) ..."
  cat "$input" >/dev/null  # in the page cache: every tool reads from memory
  best "$runs" "$scan" "$input"
  scan_wall=$wall scan_rss=$rss
  best "$runs" "$wayfold" --force -o "$work/out-wayfold.csv" "$input"
  wayfold_wall=$wall wayfold_rss=$rss
  wall=$scan_wall rss=$scan_rss
  row "$workload" "memchr scan" "$bytes" "$scan_wall" ""
  wall=$wayfold_wall rss=$wayfold_rss
  row "$workload" "wayfold-convert" "$bytes" "$scan_wall" "$wayfold_wall"
  if [ "$have_gpsbabel" = 1 ]; then
    best "$peer_runs" gpsbabel -i gpx -f "$input" -o unicsv -F "$work/out-gpsbabel.csv"
    row "$workload" "gpsbabel -o unicsv" "$bytes" "$scan_wall" "$wayfold_wall"
  fi
  if [ "$have_ogr2ogr" = 1 ]; then
    best "$peer_runs" ogr2ogr -f CSV "$work/out-ogr2ogr.csv" "$input" waypoints
    row "$workload" "ogr2ogr -f CSV" "$bytes" "$scan_wall" "$wayfold_wall"
  fi
done

# Peak memory over the waypoint count: the input streams from the generator through a
# named pipe, so even the largest needs no disk.
memory_rows=()
for count in "${memory_points[@]}"; do
  echo "Measuring wayfold's memory at $count waypoints ..."
  fifo=$work/memory-$count.fifo.gpx
  rm -f "$fifo"
  mkfifo "$fifo"
  waypoint_gpx "$count" >"$fifo" &
  generator_pid=$!
  measure "$wayfold" --force -o "$work/out-memory.csv" "$fifo"
  wait "$generator_pid"
  converted=$(awk 'NR == 1 { print $1 }' "$work/out-stdout")
  rm -f "$fifo" "$work/out-memory.csv"
  memory_rows+=("$(awk -v c="$count" -v r="$converted" -v rss="$rss" 'BEGIN { printf "%10d %10d %10.1f", c, r, rss / 1024 }')")
done

echo
echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores," \
  "$(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo) RAM, $(uname -sr)"
echo "Wall time: best of $runs for the scan and wayfold, of $peer_runs for a peer; inputs in the page cache."
echo
printf "%-4s %-20s %7s %8s %7s %7s %9s %10s\n" "load" "tool" "MB" "seconds" "MB/s" "x scan" "peak MiB" "x wayfold"
for line in "${rows[@]}"; do echo "$line"; done
echo
printf "%10s %10s %10s\n" "waypoints" "converted" "peak MiB"
for line in "${memory_rows[@]}"; do echo "$line"; done
