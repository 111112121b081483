#!/usr/bin/env bash
# Runs one command inside a private, headless Wine session, then tears the session down.
#
#   scripts/wine-session.sh COMMAND [ARG...]
#
# The session: its own Xvfb display (a free one, chosen by Xvfb) and its own fresh Wine prefix
# in a new folder under $WINE_SESSION_ROOT (default: build/wine-sessions of this checkout),
# with Wine's virtual desktop switched on (without a window manager Wine stalls ~2 s whenever
# a window closes). COMMAND then runs with DISPLAY, WINEPREFIX, WINEDEBUG=-all and
# WINEDLLOVERRIDES exported, so `wine prog.exe` and ctest's Wine emulator just work; the Linux
# folder of the session is in WINE_SESSION_DIR for any scratch files. When COMMAND ends (or
# the script is interrupted) the prefix's processes are ended, Xvfb is stopped and the
# folder is removed. The exit status is COMMAND's. Setup output goes to a log in the folder
# and is shown only when the setup fails.
set -euo pipefail

if [ $# -eq 0 ]; then
  sed -n '2,14p' "$0" >&2
  exit 2
fi

root="${WINE_SESSION_ROOT:-$(cd "$(dirname "$0")/.." && pwd)/build/wine-sessions}"
mkdir -p "$root"
session="$(mktemp -d "$root/session.XXXXXX")"
log="$session/setup.log"
xvfb_pid=""

cleanup() {
  if [ -d "$session/prefix" ]; then
    WINEPREFIX="$session/prefix" wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX="$session/prefix" wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$session"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail_setup() {
  echo "wine-session: $1; setup log:" >&2
  cat "$log" >&2 || true
  exit 1
}

# Xvfb picks a free display and writes its number to the file.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$session/display" >>"$log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$session/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || fail_setup "Xvfb did not start"
  sleep 0.1
done
[ -s "$session/display" ] || fail_setup "Xvfb chose no display"
export DISPLAY=":$(head -n1 "$session/display")"
xdpyinfo >/dev/null 2>&1 || fail_setup "display $DISPLAY does not answer"

export WINEPREFIX="$session/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINE_SESSION_DIR="$session"
wineboot -i >>"$log" 2>&1 || fail_setup "wineboot failed"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"="Default"\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"Default"="1024x768"\n' >"$session/desktop.reg"
wine reg import "$session/desktop.reg" >>"$log" 2>&1 || fail_setup "registry import failed"
# The server keeps the old desktop mode until it restarts.
wineserver -k >>"$log" 2>&1 || true
wineserver -w >>"$log" 2>&1 || true
# Start the server and Wine's services now, with their output in the log: started by COMMAND
# they would hold its output pipes open (ctest would wait for them).
wineserver -p >>"$log" 2>&1
wineboot >>"$log" 2>&1 || fail_setup "wineboot (restart) failed"

set +e
"$@"
status=$?
set -e
exit "$status"
