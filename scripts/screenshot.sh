#!/usr/bin/env bash
# Makes docs/screenshot.png: wayfold.exe right after converting examples/waypoints.gpx, run
# under Wine in a private session (its own Xvfb display, Wine's virtual desktop).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)" --target wayfold wayfold_demo
mkdir -p docs
bash scripts/wine-session.sh bash -c '
  set -euo pipefail
  work="$WINE_SESSION_DIR/demo"
  mkdir -p "$work"
  cp examples/waypoints.gpx "$work/"
  # The demo converts, then writes the window rectangle and waits for "done".
  wine build/windows/app/wayfold_demo.exe "$(winepath -w "$work")" >"$work/demo.log" 2>&1 &
  demo=$!
  for _ in $(seq 300); do
    [ -s "$work/window.txt" ] && break
    kill -0 "$demo" 2>/dev/null || { cat "$work/demo.log" >&2; exit 1; }
    sleep 0.1
  done
  read -r x y width height <"$work/window.txt"
  import -window root -crop "${width}x${height}+${x}+${y}" +repage docs/screenshot.png
  touch "$work/done"
  wait "$demo"
'
echo "docs/screenshot.png written"
