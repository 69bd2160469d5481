#!/usr/bin/env bash
# Usage: bench/install_bench.sh
#
# The installer as its users meet it, under Wine: for each payload of
# bench/payloads.sh (1,000 and 3,000 small files; 130 large ones) and each way of
# compressing it (deflate, lzma per entry, lzma solid), the same installer is
# run four ways in one Wine session, best of INSTALL_BENCH_RUNS rounds (3):
#   zorpack.exe extract   the archive's extraction alone, from process start to end;
#   installer             the real installer driven through its options dialog,
#                         from OK to its success message (tests/e2e/bench_driver);
#   /S                    the installer run silently, from start to end;
#   dialog                the installer from its start to its options dialog
#                         (which reads only the tailer, the TOC and the strings);
#   NSIS /S               when makensis is there (Debian package nsis, for
#                         benchmarks only), an NSIS installer of the same files
#                         (64-bit; zlib next to deflate, /SOLID lzma next to
#                         lzma solid) run silently.
# The table gives the installer's times against zorpack.exe extract, whose
# target is 1.15 at most, and /S against NSIS /S. INSTALL_BENCH_STUB names
# another installer stub to measure (an earlier zorsetup.exe, say) in place
# of the Windows build's. Figures are reported, never judged: the script
# fails only when a command fails or installed files differ from the payload.
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

methods="deflate lzma lzma-solid"
# The zorpack options of a method, and the NSIS compressor next to it.
options_of() { case $1 in deflate) ;; lzma) echo "--compression lzma" ;; lzma-solid) echo "--compression lzma --solid" ;; esac; }
nsis_of() { case $1 in deflate) echo zlib ;; lzma-solid) echo "/SOLID lzma" ;; esac; }

if [ "${1:-}" = --inside ]; then
  shift
  : >"$work/results.txt"
  for name in small1000 small large; do
    for method in $methods; do
      unset zor inst silent nsis dialog
      installer=$work/$name-$method.exe nsis_installer=$work/$name-$method-nsis.exe
      for _ in $(seq "$runs"); do
        rm -rf "$work/out-zor" "$work/out-inst" "$work/out-silent" "$work/out-nsis"
        sync
        best zor "$(timed run "$(windows_path "$windows/bin/zorpack.exe")" extract \
          "$(windows_path "$installer")" "$(windows_path "$work/out-zor")")"
        sync
        best inst "$(timed install "$(windows_path "$installer")" "$(windows_path "$work/out-inst")" Bench)"
        sync
        best silent "$(timed run "$(windows_path "$installer")" /S "/D=$(windows_path "$work/out-silent")")"
        best dialog "$(timed dialog "$(windows_path "$installer")" Bench)"
        if [ -f "$nsis_installer" ]; then
          sync
          best nsis "$(timed run "$(windows_path "$nsis_installer")" /S "/D=$(windows_path "$work/out-nsis")")"
        fi
      done
      for out in out-zor out-inst out-silent ${nsis:+out-nsis}; do
        if ! diff -r "$work/$name" "$work/$out" >/dev/null; then
          echo "install_bench: $out of $method differs from the $name payload" >&2
          exit 1
        fi
      done
      echo "$name $method $zor $inst $silent ${nsis:--} $dialog" >>"$work/results.txt"
    done
  done
  rm -rf "$work/out-zor" "$work/out-inst" "$work/out-silent" "$work/out-nsis"
  exit 0
fi

for program in "$windows/bin/zorpack.exe" "$windows/bin/zorsetup.exe" "$windows/bin/bench_driver.exe" \
  "$root/build/native/bin/zorpack"; do
  [ -f "$program" ] || { echo "install_bench: $program is not built (make build-windows build-native)" >&2; exit 1; }
done
# shellcheck source=bench/payloads.sh
source "$root/bench/payloads.sh"
make_payloads "$work"

for name in small1000 small large; do
  for method in $methods; do
    # shellcheck disable=SC2046 # the options are words
    "$root/build/native/bin/zorpack" build -o "$work/$name-$method.exe" --name Bench --version 1.0 --stub "$stub" \
      $(options_of "$method") "@$work/$name.lst" >/dev/null
    rm -f "$work/$name-$method-nsis.exe"
    compressor=$(nsis_of "$method")
    if [ -n "$compressor" ] && command -v makensis >/dev/null; then
      cat >"$work/$name-$method.nsi" <<EOF
Unicode true
Target amd64-unicode
SetCompressor $compressor
Name "Bench"
OutFile "$work/$name-$method-nsis.exe"
InstallDir "C:\\bench"
RequestExecutionLevel user
Section
  SetOutPath \$INSTDIR
  File "$work/$name/*"
SectionEnd
EOF
      makensis -V1 "$work/$name-$method.nsi" >/dev/null
    fi
  done
done
command -v makensis >/dev/null || echo "install_bench: makensis is missing (apt-get install nsis): no NSIS figures"

"$root/scripts/wine-session.sh" "$windows" "$0" --inside

awk -v runs="$runs" '
function ratio(a, b) { return b > 0 && a != "-" ? sprintf("%.2f", a / b) : "-" }
BEGIN {
  printf "\nInstallation under Wine, best of %d rounds (seconds; ratios against zorpack.exe extract, and /S against NSIS /S)\n", runs
  printf "%-9s %-11s %9s %10s %6s %8s %6s %8s %6s %7s %s\n", "payload", "method", "zorpack x", "installer", "ratio", "/S", "ratio",
    "NSIS /S", "ratio", "dialog", "target (<= 1.15x)"
}
{
  r = ratio($4, $3); q = ratio($5, $3)
  printf "%-9s %-11s %9.2f %10.2f %6s %8.2f %6s %8s %6s %7.2f %s\n", $1, $2, $3, $4, r, $5, q, $6, ratio($5, $6), $7,
    (r + 0 <= 1.15 && q + 0 <= 1.15 ? "met" : "NOT met")
}' "$work/results.txt"
