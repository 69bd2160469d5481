#!/usr/bin/env bash
# A Wine prefix made by wine-run keeps what Windows programs save inside
# itself: the example's installer, run silently in a fresh prefix of its own
# with HOME pointing at a scratch folder, makes its desktop and Start-menu
# shortcuts in the prefix and leaves HOME as it was. Wine links the user's
# shell folders into HOME and its menu builder mirrors each shortcut as
# .desktop and .menu files there; the prefix's initialisation undoes both.
# Usage: home_isolation_wine_test.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/../support/shell_helpers.sh"

build=$(cd "$1" && pwd)
work=$(mktemp -d "$build/home-isolation.XXXXXX")
export HOME=$work/home ZOR_WINEPREFIX=$work/wineprefix WINEPREFIX=$work/wineprefix
# Every place the menu builder and the shell folders could use derives from HOME.
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME ZOR_WINESERVER_PERSISTENT DISPLAY
cleanup() {
  wineserver -k >/dev/null 2>&1 </dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir "$HOME"
echo "left alone" >"$HOME/marker"

"$build/wine-run" "$build/bin/zorpack.exe" build -o "$(windows_path "$work/Setup.exe")" --name Hello --version 1.0 \
  --option all-users=off --option desktop=on "$(windows_path "$build/bin/hello.exe")" >/dev/null ||
  fail "zorpack.exe build failed"
"$build/wine-run" "$work/Setup.exe" /S || fail "the installer ended with $?"
# Until the server ends, a menu builder the installer started may still write.
wineserver -w

home=$(cd "$HOME" && find . -mindepth 1)
[ "$home" = ./marker ] || fail "HOME holds more than its marker: $home"
users=$WINEPREFIX/drive_c/users
outside=$(find "$users" -type l -exec sh -c 'case $(readlink -f "$2") in "$1"/*) ;; *) echo "$2" ;; esac' \
  link "$(cd "$WINEPREFIX" && pwd -P)" {} \;)
[ -z "$outside" ] || fail "links out of the prefix: $outside"
links=$(cd "$users" && find . -name Hello.lnk)
grep -q '/Desktop/Hello\.lnk$' <<<"$links" || fail "no desktop shortcut in the prefix: $links"
grep -q '/Start Menu/Programs/.*/Hello\.lnk$' <<<"$links" || fail "no Start-menu shortcut in the prefix: $links"
echo "the installer's shortcuts stayed in the prefix; HOME holds its marker only"
