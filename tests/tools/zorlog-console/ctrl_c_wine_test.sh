#!/usr/bin/env bash
# Usage: ctrl_c_wine_test.sh WINE_RUN ZORLOG_CONSOLE_EXE
# Ctrl-C ends zorlog-console.exe through its own handling, with exit code 0
# and a last line telling how many datagrams it received. Wine sends no
# console event between programs started without a terminal, but turns a
# SIGINT of a Windows process into the Ctrl-C event of its console handlers:
# this script, on the Linux side, sends that signal.
#
# The program runs under the Wine loader directly, in the environment that
# WINE_RUN sets up, rather than through WINE_RUN, which would hold its
# output back until it ends: the script watches the output as it comes.
set -u
wine_run=$1 console=$2
scratch=$(mktemp -d)
program=
cleanup() {
  [ -n "$program" ] && kill -KILL "$program" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
  echo "$1"
  echo "standard error:"
  cat "$scratch/err" 2>/dev/null
  exit 1
}

# Waits up to a minute for a command to succeed while the program runs.
await() {
  for _ in $(seq 600); do
    "$@" && return 0
    kill -0 "$program" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

"$wine_run" --init-prefix || fail "no Wine prefix"
export WINEPREFIX="${ZOR_WINEPREFIX:-$(dirname "$wine_run")/wineprefix}"
export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"

"$WINELOADER" "$console" --port 0 >"$scratch/out" 2>"$scratch/err" </dev/null &
program=$!

listening() { grep -q '^zorlog-console: listening on 127\.0\.0\.1:[0-9]* ' "$scratch/err"; }
await listening || fail "zorlog-console did not listen"
port=$(sed -nE 's/^zorlog-console: listening on 127\.0\.0\.1:([0-9]+) .*/\1/p' "$scratch/err")

# A coloured record cut short, as when the sender is interrupted.
record=$'\033[01;33mWARN  half a rec'
printf '%s' "$record" >"/dev/udp/127.0.0.1/$port" || fail "cannot send to port $port"
printed() { [ "$(cat "$scratch/out")" = "$record" ]; }
await printed || fail "the record was not printed: $(od -c "$scratch/out")"

kill -INT "$program"
wait "$program"
status=$?
program=

[ "$status" -eq 0 ] || fail "exit code $status after Ctrl-C, expected 0"
# Standard output is a file: nothing is added to what was received.
printed || fail "output changed after Ctrl-C: $(od -c "$scratch/out")"
# Only the program's own handling reports this; Wine's default handling of
# the event ends the process with exit code 0 as well.
last=$(tail -n 1 "$scratch/err" | tr -d '\r')
[ "$last" = "zorlog-console: stopped after 1 datagram" ] || fail "the program's own Ctrl-C handling did not run"
echo "Ctrl-C ended zorlog-console with exit code 0"
