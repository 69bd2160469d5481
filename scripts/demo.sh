#!/usr/bin/env bash
# Usage: demo.sh
# Builds HelloSetup.exe, the installer of the example application, with the
# native zorpack, and runs it under Wine in a prefix of its own
# (build/demo/wineprefix). With DISPLAY set the installer appears on the
# user's display; otherwise it runs inside a private Xvfb where the
# end-to-end driver accepts every default and takes screenshots. Ends by
# saying where the files, shortcuts and screenshots are.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
windows=$root/build/windows
demo=$root/build/demo
mkdir -p "$demo/screenshots"

# A Unix path as a Windows program sees it.
windows_path() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

"$root/build/native/bin/zorpack" build -o "$demo/HelloSetup.exe" --name Hello --version 1.0 \
  --windows "Hello ZorInstaller" \
  "$windows/bin/hello.exe" "$root/examples/hello/readme.txt" "$root/examples/hello/license.txt"

export ZOR_WINEPREFIX=$demo/wineprefix
status=0
if [ -n "${DISPLAY:-}" ]; then
  echo "demo: running HelloSetup.exe on display $DISPLAY"
  ZOR_USE_DISPLAY=1 "$root/scripts/wine-session.sh" "$windows" sh -c '
    "$1/wine-run" "$2" && "$1/wine-run" "$1/bin/demo_driver.exe" --report' demo \
    "$windows" "$(windows_path "$demo/HelloSetup.exe")" || status=$?
else
  echo "demo: no DISPLAY; running HelloSetup.exe in Xvfb, accepting every default"
  "$root/scripts/wine-session.sh" "$windows" "$windows/wine-run" "$windows/bin/demo_driver.exe" --drive \
    "$(windows_path "$demo/HelloSetup.exe")" "$(windows_path "$demo/screenshots")" || status=$?
fi
echo "demo: the installer is $demo/HelloSetup.exe"
echo "demo: drive C: of the Wine prefix is $ZOR_WINEPREFIX/drive_c"
echo "demo: screenshots are in $demo/screenshots (those of make test in $windows/e2e-screenshots)"
exit $status
