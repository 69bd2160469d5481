#!/usr/bin/env bash
# The example's installer, built by zorpack.exe with an uninstaller and the
# publisher's icon, and signed by osslsigncode with a throwaway certificate,
# installs under Wine: the demo driver accepts every default and the files
# must land where the dialog proposed. The uninstall.exe it leaves is a clean unsigned program:
# no security directory entry, a right PE checksum. The run has a Wine prefix
# and session of its own, so no other test's installation is seen or
# disturbed.
# Usage: signed_install_wine_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/../support/shell_helpers.sh"

source_dir=$1
build=$2
work=$(mktemp -d "$build/signed-install.XXXXXX")
trap 'rm -rf "$work"' EXIT

# "OFFSET SIZE STORED COMPUTED" of the PE file $1: its security directory
# entry, the CheckSum it stores and the checksum of its bytes (16-bit words
# summed with the carries folded in, the CheckSum field taken as zero, plus
# the length).
pe_fields() {
  od -An -v -tu1 -w1 "$1" | awk '
    { b[NR - 1] = $1 + 0 }
    function u16(at) { return b[at] + 256 * b[at + 1] }
    function u32(at) { return u16(at) + 65536 * u16(at + 2) }
    END {
      n = NR; opt = u32(60) + 24
      entry = opt + (u16(opt) == 267 ? 96 : 112) + 32
      stored = u32(opt + 64)
      for (i = 0; i < 4; i++) b[opt + 64 + i] = 0
      sum = 0
      for (i = 0; i < n; i += 2) sum += b[i] + 256 * (i + 1 < n ? b[i + 1] : 0)
      while (sum > 65535) sum = sum % 65536 + int(sum / 65536)
      printf "%.0f %.0f %.0f %.0f\n", u32(entry), u32(entry + 4), stored, sum + n
    }'
}

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=ZorInstaller test signer" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null

# The publisher's icon (one 1x1 bitmap), so that the resource section the
# build rewrites is what gets signed, installed and cut into the uninstaller.
printf '\0\0\1\0\1\0\1\1\0\0\1\0\40\0\60\0\0\0\26\0\0\0\50\0\0\0\1\0\0\0\2\0\0\0\1\0\40\0%s' \
  "$(printf '%032d' 0)" >"$work/app.ico"

export ZOR_WINEPREFIX=$work/wineprefix
unset ZOR_WINESERVER_PERSISTENT DISPLAY
"$source_dir/scripts/wine-session.sh" "$build" sh -c '
  "$1/wine-run" "$1/bin/zorpack.exe" build -o "$2" --name Hello --version 1.0 --windows "Hello ZorInstaller" --uninstaller \
    --icon "$6" "$3" "$4" "$5" >/dev/null' build "$build" "$(windows_path "$work/Setup.exe")" \
  "$(windows_path "$build/bin/hello.exe")" "$(windows_path "$source_dir/examples/hello/readme.txt")" \
  "$(windows_path "$source_dir/examples/hello/license.txt")" "$(windows_path "$work/app.ico")" ||
  fail "zorpack.exe build failed"

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

# The uninstaller: the signed installer's image would still name the
# certificate table and carry the signed file's checksum.
uninstaller="$unix_directory/uninstall.exe"
[ -f "$uninstaller" ] || fail "no uninstall.exe was left"
read -r table_offset table_size stored computed < <(pe_fields "$uninstaller")
[ "$table_offset $table_size" = "0 0" ] || fail "uninstall.exe names a certificate table: $table_offset $table_size"
[ "$stored" = "$computed" ] || fail "uninstall.exe stores the checksum $stored, its bytes sum to $computed"

# osslsigncode finds no signature in either file; for a clean one it prints
# the checksum alone, for the image as the signed file has it a warning
# about the table and "Current"/"Calculated" checksums that differ.
osslsigncode verify -in "$uninstaller" >"$work/clean.out" 2>&1 || true
grep -q "^No signature found" "$work/clean.out" || { cat "$work/clean.out"; fail "osslsigncode found a signature"; }
grep -q "^PE checksum" "$work/clean.out" || { cat "$work/clean.out"; fail "osslsigncode printed no checksum"; }
if grep -q "Warning\|Calculated PE checksum" "$work/clean.out"; then
  cat "$work/clean.out"
  fail "osslsigncode finds fault with uninstall.exe"
fi
image=$(stat -c %s "$build/bin/zorsetup.exe")
{ head -c "$image" "$work/Signed.exe"; tail -c +"$((image + 1))" "$uninstaller"; } >"$work/naive.exe"
osslsigncode verify -in "$work/naive.exe" >"$work/naive.out" 2>&1 || true
grep -q "Warning: invalid PE checksum" "$work/naive.out" || { cat "$work/naive.out"; fail "the check tells nothing apart"; }
echo "uninstall.exe names no certificate table and carries its checksum $stored"
