#!/usr/bin/env bash
# Usage: bench/makensis_bench.sh [BUILD_DIR]     (BUILD_DIR defaults to build/native)
#
# Installer sizes and build times of every compression method of zorpack
# next to makensis (Debian package nsis) building the same files, on both
# payloads of bench/payloads.sh in the same run; the builder's threads next
# to tar | pigz -p 2; and the extraction of a solid LZMA installer next to
# xz -dc | tar x of the same files. Times are wall seconds, best of
# MAKENSIS_BENCH_RUNS rounds (1 by default: solid LZMA takes minutes);
# sizes are whole installers, the extractor stub included. Figures are
# reported, never judged: the script fails only when a command fails or
# extracted files differ from the payload.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/native}" && pwd)
runs=${MAKENSIS_BENCH_RUNS:-1}
zorpack=$build/bin/zorpack
work=$build/makensis_bench
stub=$root/build/windows/bin/zorsetup.exe

for tool in "$zorpack" makensis pigz xz tar; do
  command -v "$tool" >/dev/null || { echo "makensis_bench: $tool is missing (make deps, scripts/install-deps.sh --bench)" >&2; exit 1; }
done
[ -f "$stub" ] || { echo "makensis_bench: $stub is not built (make build-windows)" >&2; exit 1; }
# shellcheck source=bench/payloads.sh
source "$root/bench/payloads.sh"
make_payloads "$work"

# timed NAME COMMAND: runs COMMAND through bash, keeping in NAME the best
# wall time so far.
timed() {
  local start end seconds
  sync
  start=$(date +%s%N)
  bash -c "$2" >"$work/out.txt" 2>&1 || { echo "makensis_bench: '$2' failed:" >&2; cat "$work/out.txt" >&2; exit 1; }
  end=$(date +%s%N)
  seconds=$(awk -v ns=$((end - start)) 'BEGIN {printf "%.2f", ns / 1e9}')
  if [ -z "${!1:-}" ] || awk -v a="$seconds" -v b="${!1}" 'BEGIN {exit !(a < b)}'; then printf -v "$1" '%s' "$seconds"; fi
}

# nsis_script NAME COMPRESSOR: the NSIS script of payload NAME.
nsis_script() {
  cat <<EON
Unicode true
Target amd64-unicode
SetCompressor $2
Name "Bench"
OutFile "$work/$1-nsis.exe"
InstallDir "C:\\bench"
RequestExecutionLevel user
Section
  SetOutPath \$INSTDIR
  File "$work/$1/*"
SectionEnd
EON
}

size() { stat -c %s "$1"; }

: >"$work/rows.txt"
for name in small large; do
  methods=("deflate:" "deflate-best:--compression deflate-best" "lzma:--compression lzma"
    "lzma-solid:--compression lzma --solid")
  peers=("deflate:zlib" "deflate-best:zlib" "lzma:lzma" "lzma-solid:/SOLID lzma")
  for i in "${!methods[@]}"; do
    method=${methods[$i]%%:*} options=${methods[$i]#*:} compressor=${peers[$i]#*:}
    unset ours theirs
    nsis_script "$name" "$compressor" >"$work/$name.nsi"
    for _ in $(seq "$runs"); do
      timed ours "'$zorpack' build -o '$work/$name-$method.exe' --name Bench --version 1.0 --stub '$stub' $options '@$work/$name.lst'"
      timed theirs "makensis -V1 '$work/$name.nsi'"
    done
    echo "$name $method $(size "$work/$name-$method.exe") $ours $(size "$work/$name-nsis.exe") $theirs ${compressor// /_}" >>"$work/rows.txt"
  done
  unset pigz_build xz_extract zor_extract
  for _ in $(seq "$runs"); do
    timed pigz_build "tar cf - -C '$work' '$name' | pigz -p 2 -6 >'$work/$name.tgz'"
  done
  tar cf - -C "$work" "$name" | xz -6 -T1 >"$work/$name.txz"
  for _ in $(seq "$runs"); do
    timed zor_extract "rm -rf '$work/zor-out' && '$zorpack' extract '$work/$name-lzma-solid.exe' '$work/zor-out'"
    timed xz_extract "rm -rf '$work/xz-out' && mkdir '$work/xz-out' && xz -dc '$work/$name.txz' | tar xf - -C '$work/xz-out'"
  done
  diff -r "$work/$name" "$work/zor-out" >/dev/null || { echo "makensis_bench: zorpack extract differs from $name" >&2; exit 1; }
  echo "$name threads $pigz_build $zor_extract $xz_extract" >>"$work/rows.txt"
  rm -rf "$work/zor-out" "$work/xz-out"
done

awk '
function target(ratio, goal, atMost) { return sprintf("%s %s %.2fx", (atMost ? ratio <= goal : ratio >= goal) ? "met" : "NOT met", atMost ? "<=" : ">=", goal) }
$2 == "threads" { pigz[$1] = $3; zx[$1] = $4; xx[$1] = $5; next }
{ size[$1, $2] = $3; time[$1, $2] = $4; nsize[$1, $2] = $5; ntime[$1, $2] = $6; peer[$1, $2] = $7 }
END {
  printf "\nzorpack against makensis (sizes in bytes, stub included; wall seconds)\n"
  printf "%-7s %-13s %11s %11s %7s %8s %8s %7s  %s\n", "payload", "method", "size", "makensis", "ratio", "build s", "nsis s", "ratio", "makensis method"
  split("deflate deflate-best lzma lzma-solid", methods, " ")
  for (p = 1; p <= 2; ++p) {
    name = p == 1 ? "small" : "large"
    for (m = 1; m <= 4; ++m) {
      k = name SUBSEP methods[m]
      printf "%-7s %-13s %11d %11d %7.3f %8.2f %8.2f %7.2f  %s\n", name, methods[m], size[k], nsize[k], size[k] / nsize[k],
        time[k], ntime[k], time[k] / ntime[k], peer[k]
    }
  }
  printf "\nTargets\n"
  for (p = 1; p <= 2; ++p) {
    name = p == 1 ? "small" : "large"
    r = size[name, "lzma-solid"] / nsize[name, "lzma-solid"]; printf "%-7s size, lzma --solid vs /SOLID lzma        %.3f  %s\n", name, r, target(r, 1.0, 1)
    r = size[name, "lzma"] / nsize[name, "lzma"];             printf "%-7s size, lzma vs lzma                      %.3f  %s\n", name, r, target(r, 1.0, 1)
    r = size[name, "deflate-best"] / nsize[name, "deflate-best"]; printf "%-7s size, deflate-best vs zlib            %.3f  %s\n", name, r, target(r, 1.0, 1)
    r = time[name, "lzma-solid"] / ntime[name, "lzma-solid"]; printf "%-7s build time, lzma --solid vs /SOLID    %.2f   %s\n", name, r, target(r, 1.0, 1)
    r = pigz[name] / time[name, "deflate"];                   printf "%-7s build speed, deflate vs tar | pigz -p 2 %.2f   %s\n", name, r, target(r, 1.0, 0)
    r = xx[name] / zx[name];                                  printf "%-7s extract speed, lzma solid vs xz -dc | tar x %.2f %s\n", name, r, target(r, 1.0, 0)
  }
}' "$work/rows.txt" | tee "$work/summary.txt"
