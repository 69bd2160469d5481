#!/usr/bin/env bash
# Usage: wine-session.sh BUILD_DIR COMMAND...
# Runs COMMAND with one persistent wineserver for BUILD_DIR's Wine prefix and
# a private Xvfb display (the caller's DISPLAY instead when ZOR_USE_DISPLAY
# is set), and ends both when COMMAND ends, also on failure.
# Neither daemon keeps the caller's stdout or stderr.
set -u
build_dir=$(cd "$1" && pwd) || exit 2
shift

export WINEPREFIX="${ZOR_WINEPREFIX:-$build_dir/wineprefix}"
export WINEARCH=win64
export WINEDEBUG=-all
xvfb_pid=
display_file=$(mktemp)

cleanup() {
  wineserver -k >/dev/null 2>&1 </dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -f "$display_file"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

"$build_dir/wine-run" --init-prefix || exit 125

# Xvfb picks a free display itself and writes its number to the file.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 </dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    sleep 0.05
  done
  if [ ! -s "$display_file" ]; then
    echo "wine-session: Xvfb did not start" >&2
    exit 125
  fi
  export DISPLAY=":$(head -n 1 "$display_file")"
}

if [ -z "${ZOR_USE_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
  start_xvfb
fi

wineserver -p >/dev/null 2>&1 </dev/null
export ZOR_WINESERVER_PERSISTENT=1

"$@"
