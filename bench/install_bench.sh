#!/usr/bin/env bash
# Usage: bench/install_bench.sh
#
# The installer as its users meet it, under Wine: for each payload of
# bench/payloads.sh (3,000 small files; 130 large ones) the same installer is
# run three ways in one Wine session, best of INSTALL_BENCH_RUNS rounds (3):
#   zorpack.exe extract   the archive's extraction alone, from process start to end;
#   installer             the real installer driven through its options dialog,
#                         from OK to its success message (tests/e2e/bench_driver);
#   NSIS                  when makensis is there (Debian package nsis, for
#                         benchmarks only), an NSIS installer of the same files
#                         (zlib, 64-bit) run silently with /S.
# The table gives each time against zorpack.exe extract; the installer's
# target is 1.15 at most. INSTALL_BENCH_STUB names another installer stub to
# measure (an earlier zorsetup.exe, say) in place of the Windows build's. Figures are reported, never judged: the script fails
# only when a command fails or installed files differ from the payload.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
windows=$root/build/windows
work=$root/build/install_bench
stub=${INSTALL_BENCH_STUB:-$windows/bin/zorsetup.exe}
runs=${INSTALL_BENCH_RUNS:-3}

# A Unix path as a Windows program sees it.
windows_path() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

# Inside the Wine session: one timed run, its seconds on stdout.
timed() { "$windows/wine-run" "$(windows_path "$windows/bin/bench_driver.exe")" "$@" | tr -d '\r' | tail -n 1; }

# best NAME SECONDS: keeps the smaller time in NAME.
best() { if [ -z "${!1:-}" ] || awk -v a="$2" -v b="${!1}" 'BEGIN {exit !(a < b)}'; then printf -v "$1" '%s' "$2"; fi; }

if [ "${1:-}" = --inside ]; then
  shift
  : >"$work/results.txt"
  for name in small large; do
    unset zor inst nsis
    for _ in $(seq "$runs"); do
      rm -rf "$work/out-zor" "$work/out-inst" "$work/out-nsis"
      sync
      best zor "$(timed run "$(windows_path "$windows/bin/zorpack.exe")" extract \
        "$(windows_path "$work/$name.exe")" "$(windows_path "$work/out-zor")")"
      sync
      best inst "$(timed install "$(windows_path "$work/$name.exe")" "$(windows_path "$work/out-inst")" Bench)"
      if [ -f "$work/$name-nsis.exe" ]; then
        sync
        best nsis "$(timed run "$(windows_path "$work/$name-nsis.exe")" /S "/D=$(windows_path "$work/out-nsis")")"
      fi
    done
    for out in out-zor out-inst ${nsis:+out-nsis}; do
      if ! diff -r "$work/$name" "$work/$out" >/dev/null; then
        echo "install_bench: $out differs from the $name payload" >&2
        exit 1
      fi
    done
    echo "$name $zor $inst ${nsis:--}" >>"$work/results.txt"
  done
  rm -rf "$work/out-zor" "$work/out-inst" "$work/out-nsis"
  exit 0
fi

for program in "$windows/bin/zorpack.exe" "$windows/bin/zorsetup.exe" "$windows/bin/bench_driver.exe" \
  "$root/build/native/bin/zorpack"; do
  [ -f "$program" ] || { echo "install_bench: $program is not built (make build-windows build-native)" >&2; exit 1; }
done
# shellcheck source=bench/payloads.sh
source "$root/bench/payloads.sh"
make_payloads "$work"

for name in small large; do
  "$root/build/native/bin/zorpack" build -o "$work/$name.exe" --name Bench --version 1.0 --stub "$stub" \
    "@$work/$name.lst" >/dev/null
  rm -f "$work/$name-nsis.exe"
  if command -v makensis >/dev/null; then
    cat >"$work/$name.nsi" <<EOF
Unicode true
Target amd64-unicode
SetCompressor zlib
Name "Bench"
OutFile "$work/$name-nsis.exe"
InstallDir "C:\\bench"
RequestExecutionLevel user
Section
  SetOutPath \$INSTDIR
  File "$work/$name/*"
SectionEnd
EOF
    makensis -V1 "$work/$name.nsi" >/dev/null
  fi
done
command -v makensis >/dev/null || echo "install_bench: makensis is missing (apt-get install nsis): no NSIS figures"

"$root/scripts/wine-session.sh" "$windows" "$0" --inside

awk -v runs="$runs" '
function ratio(a, b) { return b > 0 && a != "-" ? sprintf("%.2f", a / b) : "-" }
BEGIN {
  printf "\nInstallation under Wine, best of %d rounds (seconds; ratio against zorpack.exe extract)\n", runs
  printf "%-8s %14s %12s %8s %10s %8s %s\n", "payload", "zorpack.exe x", "installer", "ratio", "NSIS /S", "ratio", "target"
}
{
  r = ratio($3, $2)
  printf "%-8s %14.2f %12.2f %8s %10s %8s %s\n", $1, $2, $3, r, $4, ratio($4, $2),
    (r + 0 <= 1.15 ? "met" : "NOT met") " <= 1.15x"
}' "$work/results.txt"
