#!/usr/bin/env bash
# The example's installer, built by zorpack.exe and signed by osslsigncode
# with a throwaway certificate, installs under Wine: the demo driver accepts
# every default and the files must land where the dialog proposed. The run
# has a Wine prefix and session of its own, so no other test's installation
# is seen or disturbed.
# Usage: signed_install_wine_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail

source_dir=$1
build=$2
work=$(mktemp -d "$build/signed-install.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
windows_path() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=ZorInstaller test signer" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null

export ZOR_WINEPREFIX=$work/wineprefix
unset ZOR_WINESERVER_PERSISTENT DISPLAY
"$source_dir/scripts/wine-session.sh" "$build" sh -c '
  "$1/wine-run" "$1/bin/zorpack.exe" build -o "$2" --name Hello --version 1.0 --windows "Hello ZorInstaller" \
    "$3" "$4" "$5" >/dev/null' build "$build" "$(windows_path "$work/Setup.exe")" \
  "$(windows_path "$build/bin/hello.exe")" "$(windows_path "$source_dir/examples/hello/readme.txt")" \
  "$(windows_path "$source_dir/examples/hello/license.txt")" || fail "zorpack.exe build failed"

osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -n Hello -in "$work/Setup.exe" \
  -out "$work/Signed.exe" >/dev/null
osslsigncode verify -CAfile "$work/cert.pem" -in "$work/Signed.exe" >/dev/null 2>&1 || fail "osslsigncode verify failed"

"$source_dir/scripts/wine-session.sh" "$build" "$build/wine-run" "$build/bin/demo_driver.exe" --drive \
  "$(windows_path "$work/Signed.exe")" "$(windows_path "$work/screenshots")" >"$work/drive.out" 2>&1 ||
  { cat "$work/drive.out"; fail "the signed installer did not install"; }
cat "$work/drive.out"

# "options dialog: directory 'C:\...'" names where the files went.
directory=$(tr -d '\r' <"$work/drive.out" | sed -n "s/^options dialog: directory '\(.*\)'.*/\1/p")
[ -n "$directory" ] || fail "the driver named no directory"
unix_directory="$ZOR_WINEPREFIX/drive_c/$(printf '%s' "${directory#[Cc]:\\}" | tr '\\' /)"
cmp "$source_dir/examples/hello/readme.txt" "$unix_directory/readme.txt" || fail "readme.txt was not installed"
echo "the signed installer installed readme.txt into $directory"
