#!/usr/bin/env bash
# An installer whose uninstaller zorpack signs at build time (--uninstaller
# --sign-command, osslsigncode with a throwaway certificate): a command that
# fails on either file fails the build and leaves nothing, an installer
# already there included; the installer and the uninstall.exe it carries
# verify; under Wine the installed uninstall.exe still verifies and, run
# silently, removes the installation and then itself. The run has a Wine
# prefix and session of its own.
# Usage: signed_uninstaller_wine_test.sh ZORPACK SOURCE_DIR WINDOWS_BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/../support/shell_helpers.sh"

zorpack=$1
source_dir=$2
build=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=ZorInstaller test signer" \
  -addext "extendedKeyUsage=codeSigning" -keyout key.pem -out cert.pem 2>/dev/null
inputs=("$build/bin/hello.exe" "$source_dir/examples/hello/readme.txt")
build_with() {
  local command=$1
  shift
  "$zorpack" build -o out/Setup.exe --name Hello --version 1.0 --uninstaller --sign-command "$command" "$@" \
    "${inputs[@]}"
}

mkdir out
printf 'the installer of yesterday' >out/Setup.exe
for failing in "false {in} {out}" 'case {in} in *unsigned.*) exit 4;; esac; cp {in} {out}' "true {in} {out}"; do
  if build_with "$failing" >/dev/null 2>err.txt; then fail "a build signed by '$failing' succeeded"; fi
  [ "$(ls -A out)" = Setup.exe ] || fail "'$failing' left: $(ls -A out | tr '\n' ' ')"
  [ "$(cat out/Setup.exe)" = "the installer of yesterday" ] || fail "'$failing' replaced the installer"
  echo "refused: $(cat err.txt)"
done
grep -q "signing the uninstaller failed: the --sign-command wrote no file {out}" err.txt || fail "$(cat err.txt)"

build_with "osslsigncode sign -certs cert.pem -key key.pem -n Hello -in {in} -out {out}" --winget wg \
  --package-id Acme.Hello --installer-url https://example.org/Setup.exe >/dev/null 2>err.txt ||
  fail "the signed build failed: $(cat err.txt)"
# The manifest names the signed file.
grep -qi "InstallerSha256: \"$(sha256sum out/Setup.exe | cut -d' ' -f1)\"" wg/Acme.Hello.installer.yaml ||
  fail "the manifest's SHA-256 is not the signed installer's: $(grep Sha256 wg/Acme.Hello.installer.yaml)"
osslsigncode verify -CAfile cert.pem -in out/Setup.exe >/dev/null 2>&1 || fail "the installer does not verify"
"$zorpack" extract out/Setup.exe extracted >/dev/null
osslsigncode verify -CAfile cert.pem -in extracted/uninstall.exe >/dev/null 2>&1 ||
  fail "the carried uninstaller does not verify"

export ZOR_WINEPREFIX=$work/wineprefix
unset ZOR_WINESERVER_PERSISTENT DISPLAY
"$source_dir/scripts/wine-session.sh" "$build" "$build/wine-run" "$(windows_path "$work/out/Setup.exe")" /S \
  "/D=C:\\Signed Hello" >install.out 2>&1 || { cat install.out; fail "the signed installer did not install"; }
directory="$ZOR_WINEPREFIX/drive_c/Signed Hello"
cmp "${inputs[1]}" "$directory/readme.txt" || fail "readme.txt was not installed"
cmp extracted/uninstall.exe "$directory/uninstall.exe" || fail "uninstall.exe is not the carried one"
[ -f "$directory/uninstall.dat" ] || fail "no uninstall.dat beside it"
osslsigncode verify -CAfile cert.pem -in "$directory/uninstall.exe" >verify.out 2>&1 ||
  { cat verify.out; fail "the installed uninstall.exe does not verify"; }
echo "the installed uninstall.exe verifies"

# The uninstaller's copy deletes it once it has ended: wait for that within
# the session.
"$source_dir/scripts/wine-session.sh" "$build" sh -c '
  "$1/wine-run" "$2" /S || exit 1
  for i in $(seq 100); do [ -e "$3" ] || exit 0; sleep 0.2; done
  exit 2' sh "$build" "C:\\Signed Hello\\uninstall.exe" "$directory" >uninstall.out 2>&1 ||
  { cat uninstall.out; ls -la "$directory" || true; fail "the signed uninstaller did not remove everything"; }
echo "the signed uninstaller removed the installation and itself"
