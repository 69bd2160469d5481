#!/usr/bin/env bash
# An installation onto a drive that fills up, under Wine: a small tmpfs
# mapped as drive R: of the build's prefix. When the files do not fit, the
# fresh installation takes away what it made (folder, files, link) and ends
# with exit 5 and its log; when the files fit but the uninstaller does not,
# the files stay, no partial uninstall.exe does, and the exit code is 8.
# Mounting needs root: elsewhere the test is skipped (exit 77).
# Usage: full_drive_wine_test.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/../support/shell_helpers.sh"

build=$(cd "$1" && pwd)
[ "$(id -u)" -eq 0 ] || { echo "SKIP: mounting a small drive needs root"; exit 77; }
work=$(mktemp -d "$build/full-drive.XXXXXX")
prefix=${ZOR_WINEPREFIX:-$build/wineprefix}
drive=$prefix/dosdevices/r:
name="FullDrive$$"
mounted=
cleanup() {
  rm -f "$drive"
  [ -z "$mounted" ] || umount -l "$work/drive" 2>/dev/null || true
  find "$prefix/drive_c" -name "$name*" -delete 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

"$build/wine-run" --init-prefix
mkdir "$work/files" "$work/drive"
cp "$build/bin/hello.exe" "$work/files/hello.exe"
head -c $((1024 * 1024)) /dev/urandom >"$work/files/data.bin"
"$build/wine-run" "$build/bin/zorpack.exe" build -o "$(windows_path "$work/$name.exe")" --name "$name" \
  --version 1.0 --shortcut "$name" --options 0x0002 --uninstall-key "$name" \
  "$(windows_path "$work/files/hello.exe")" "$(windows_path "$work/files/data.bin")" >/dev/null ||
  fail "zorpack.exe build failed"
files=$(($(stat -c %s "$work/files/hello.exe") + 1024 * 1024))

# Installs onto a fresh drive of size bytes; the installer's exit code in status.
install_onto() {
  [ -z "$mounted" ] || umount -l "$work/drive"
  mount -t tmpfs -o "size=$1" tmpfs "$work/drive" || { echo "SKIP: tmpfs cannot be mounted"; exit 77; }
  mounted=1
  ln -sfn "$work/drive" "$drive"
  status=0
  "$build/wine-run" "$work/$name.exe" /S '/D=R:\App' >/dev/null 2>&1 || status=$?
}
links() { find "$prefix/drive_c" -name "$name.lnk"; }
log() { cat "$(find "$prefix/drive_c/users" -name "$name.log" | head -n 1)" 2>/dev/null | tr -d '\r'; }

install_onto $((files / 2))
[ "$status" = 5 ] || fail "files that do not fit: exit $status, not 5"
[ ! -e "$work/drive/App" ] || fail "the failed installation left $(cd "$work/drive" && find App)"
[ -z "$(links)" ] || fail "the failed installation left its link: $(links)"
log | grep -q '^!Error: Unable to extract files (' || fail "no failure in the log: $(log)"

install_onto $((files + 96 * 1024))
[ "$status" = 8 ] || fail "an uninstaller that does not fit: exit $status, not 8"
cmp -s "$work/drive/App/data.bin" "$work/files/data.bin" || fail "the installed files are not all there"
left=$(cd "$work/drive/App" && ls)
[ "$left" = "$(printf 'data.bin\nhello.exe')" ] || fail "a partial uninstaller stays: $left"
echo "a full drive: nothing left of a failed installation; installed files and no partial uninstaller"
