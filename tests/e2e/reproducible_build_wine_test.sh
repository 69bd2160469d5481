#!/usr/bin/env bash
# A release built twice from SOURCE_DATE_EPOCH: by this zorpack and by
# zorpack.exe under Wine, from two copies of one tree whose files were read
# and written at different times. Both installers must be the same bytes.
# Usage: reproducible_build_wine_test.sh ZORPACK SOURCE_DIR WINDOWS_BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/../support/shell_helpers.sh"

zorpack=$1
source_dir=$2
build=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

for copy in one two; do
  mkdir -p "$copy/app/doc"
  cp "$build/bin/hello.exe" "$copy/app/hello.exe"
  cp "$source_dir/examples/hello/readme.txt" "$copy/app/doc/readme.txt"
done
touch -m -d '2024-03-01 10:00' one/app/hello.exe
touch -a -d '2025-07-01 12:00' two/app/doc/readme.txt
export SOURCE_DATE_EPOCH=1000000000
options=(--name Hello --version 1.0 --publisher Acme --uninstaller --compression lzma --solid)

"$zorpack" build -o one/Setup.exe "${options[@]}" --stub "$build/bin/zorsetup.exe" one/app >/dev/null
unset DISPLAY
"$source_dir/scripts/wine-session.sh" "$build" "$build/wine-run" "$build/bin/zorpack.exe" build \
  -o "$(windows_path "$work/two/Setup.exe")" "${options[@]}" --stub "$(windows_path "$build/bin/zorsetup.exe")" \
  "$(windows_path "$work/two/app")" >wine.out 2>&1 || { cat wine.out; fail "zorpack.exe did not build"; }
cmp one/Setup.exe two/Setup.exe || fail "the two builds differ"
echo "identical: $(stat -c %s one/Setup.exe) bytes"
