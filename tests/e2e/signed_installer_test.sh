#!/usr/bin/env bash
# A real installer signed with a throwaway self-signed code-signing
# certificate: osslsigncode and zorpack both accept it, zorpack still reads it
# once the signature is removed, and both refuse it once one byte of its
# archive is changed.
# Usage: signed_installer_test.sh ZORPACK EXTRACTOR_IMAGE (empty when zorpack
# carries none: the test is skipped, as osslsigncode needs a real PE image).
set -euo pipefail
. "$(dirname "$0")/../support/shell_helpers.sh"

zorpack=$1
if [ -z "${2:-}" ]; then
  echo "zorpack carries no extractor image: nothing real to sign" >&2
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=ZorInstaller test signer" \
  -addext "extendedKeyUsage=codeSigning" -keyout key.pem -out cert.pem 2>/dev/null

mkdir src
printf 'the application\n' > src/App.exe
head -c 20000 /dev/urandom > src/data.bin
# Signing pads the file to a multiple of 8 before its table; the padding
# checks below need an installer that is not one already. data.bin is
# random, so App.exe grows by a byte until the installer's size fits.
for attempt in 1 2 3 4 5 6 7 8; do
  "$zorpack" build -o Setup.exe --name Signed --version 1.0 src/App.exe src/data.bin >/dev/null
  [ $(($(stat -c %s Setup.exe) % 8)) -ne 0 ] && break
  printf '.' >> src/App.exe
done

osslsigncode sign -certs cert.pem -key key.pem -n Signed -in Setup.exe -out Signed.exe >/dev/null
[ "$(stat -c %s Signed.exe)" -gt "$(stat -c %s Setup.exe)" ] || fail "signing added nothing"
cmp -s -n 64 <(tail -c 64 Setup.exe) <(tail -c 64 Signed.exe) && fail "the signed file still ends in the tailer"

osslsigncode verify -CAfile cert.pem -in Signed.exe >verify.out 2>&1 || { cat verify.out; fail "osslsigncode verify refused the signed installer"; }
"$zorpack" verify Signed.exe >/dev/null || fail "zorpack verify refused the signed installer"
"$zorpack" list Signed.exe >list.out || fail "zorpack list refused the signed installer"
grep -q "data.bin" list.out || { cat list.out; fail "zorpack list does not show data.bin"; }
"$zorpack" extract Signed.exe out >/dev/null || fail "zorpack extract refused the signed installer"
cmp src/data.bin out/data.bin || fail "data.bin extracted differently"

# With the signature removed again, the zeros that aligned the table stay
# after the tailer: the file still verifies and lists.
osslsigncode remove-signature -in Signed.exe -out Removed.exe >/dev/null
[ "$(stat -c %s Removed.exe)" -gt "$(stat -c %s Setup.exe)" ] || fail "removing the signature left no padding"
"$zorpack" verify Removed.exe >/dev/null || fail "zorpack verify refused the installer whose signature was removed"
"$zorpack" list Removed.exe >list-removed.out || fail "zorpack list refused the installer whose signature was removed"
grep -q "data.bin" list-removed.out || { cat list-removed.out; fail "zorpack list does not show data.bin"; }

# One byte in the middle of data.bin's block, well after the stub's headers
# and before the certificate table.
size=$(stat -c %s Setup.exe)
offset=$((size - 64 - 5000))
cp Signed.exe Damaged.exe
byte=$(od -An -tu1 -j "$offset" -N1 Damaged.exe | tr -d ' ')
printf "$(printf '\\%03o' $(((byte + 1) % 256)))" | dd of=Damaged.exe bs=1 seek="$offset" conv=notrunc status=none
cmp -s Signed.exe Damaged.exe && fail "the byte was not changed"
if osslsigncode verify -CAfile cert.pem -in Damaged.exe >/dev/null 2>&1; then
  fail "osslsigncode verify accepted a changed archive"
fi
if "$zorpack" verify Damaged.exe >verify-damaged.out 2>&1; then
  fail "zorpack verify accepted a changed archive"
fi
# A solid LZMA installer signs and reads the same way.
"$zorpack" build -o SolidSetup.exe --name Signed --version 1.0 --compression lzma --solid src/App.exe src/data.bin >/dev/null
osslsigncode sign -certs cert.pem -key key.pem -n Signed -in SolidSetup.exe -out SolidSigned.exe >/dev/null
osslsigncode verify -CAfile cert.pem -in SolidSigned.exe >/dev/null 2>&1 || fail "osslsigncode verify refused the signed solid installer"
"$zorpack" extract SolidSigned.exe solid-out >/dev/null || fail "zorpack extract refused the signed solid installer"
cmp -s solid-out/data.bin src/data.bin || fail "the signed solid installer gave other bytes"
# An installer with the publisher's icon and version information (its
# resource section rewritten) signs and verifies too.
printf '\0\0\1\0\1\0\1\1\0\0\1\0\40\0\60\0\0\0\26\0\0\0\50\0\0\0\1\0\0\0\2\0\0\0\1\0\40\0%s' \
  "$(printf '%032d' 0)" >app.ico
"$zorpack" build -o IconSetup.exe --name Signed --version 1.0 --icon app.ico --copyright "(c) Signer" src/App.exe >/dev/null
osslsigncode sign -certs cert.pem -key key.pem -n Signed -in IconSetup.exe -out IconSigned.exe >/dev/null
osslsigncode verify -CAfile cert.pem -in IconSigned.exe >/dev/null 2>&1 || fail "osslsigncode verify refused the signed installer with an icon"
"$zorpack" verify IconSigned.exe >/dev/null || fail "zorpack verify refused the signed installer with an icon"

echo "signed installer: signed, verified, listed and extracted, read with its signature removed; a changed byte is refused by both; a solid LZMA installer and one with an icon too"
