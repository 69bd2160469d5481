#!/usr/bin/env bash
# Usage: bench/zorpack_bench.sh [BUILD_DIR]      (BUILD_DIR defaults to build/native)
#
# Whole-process figures of "zorpack build" and "zorpack extract" next to the
# tar + gzip -6 pipelines, on the same payload in the same run: wall time
# (best of ZORPACK_BENCH_RUNS rounds, 3 by default), throughput over the
# payload's size, and the peak resident memory of the largest process.
# The payload (about 100 MiB: Windows PE files from Wine, C headers and
# package documentation, one file each) is made once under BUILD_DIR.
# The figures are reported, never judged: the script fails only when a
# command fails or the extracted files differ from the payload.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/native}" && pwd)
runs=${ZORPACK_BENCH_RUNS:-3}
zorpack=$build/bin/zorpack
work=$build/zorpack_bench
payload=$work/payload
mib=$((1024 * 1024))

[ -x "$zorpack" ] || { echo "zorpack_bench: $zorpack is not built" >&2; exit 1; }
for tool in tar gzip /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "zorpack_bench: $tool is missing" >&2; exit 1; }
done

# ---- Payload ---------------------------------------------------------------

# Copies regular files found under $2 (find arguments follow) into the payload,
# in path order, until $1 bytes are reached. Each file's path becomes its flat
# name behind the prefix $3; names Windows could not create are passed over.
collect() {
  local budget=$1 source=$2 prefix=$3 total=0 size path name
  shift 3
  while IFS= read -r -d '' path; do
    size=$(stat -c %s "$path")
    [ "$size" -gt 0 ] || continue
    [ $((total + size)) -le "$budget" ] || continue
    name=$prefix$(tr '/' '_' <<<"${path#"$source"/}")
    case $name in *[\<\>:\"\\\|\?\*]* | *. | *' ') continue ;; esac
    [ "${#name}" -lt 200 ] || continue
    cp "$path" "$payload/$name"
    total=$((total + size))
  done < <(find "$source" -type f "$@" -print0 2>/dev/null | sort -z)
}

stamp=$work/payload.done
if [ ! -f "$stamp" ]; then
  echo "zorpack_bench: making the payload in $payload"
  rm -rf "$payload"
  mkdir -p "$payload"
  collect $((60 * mib)) /usr/lib/x86_64-linux-gnu/wine/x86_64-windows pe_ \( -name '*.dll' -o -name '*.exe' \)
  collect $((25 * mib)) /usr/include inc_ -name '*.h'
  collect $((15 * mib)) /usr/share/doc doc_ ! -name '*.gz'
  touch "$stamp"
fi
list=$work/payload.lst
find "$payload" -type f | sort >"$list"
files=$(wc -l <"$list")
payload_bytes=$(find "$payload" -type f -printf '%s\n' | awk '{s += $1} END {print s + 0}')
pe_bytes=$(find "$payload" -type f -name 'pe_*' -printf '%s\n' | awk '{s += $1} END {print s + 0}')

stub=$root/build/windows/bin/zorsetup.exe
if [ ! -f "$stub" ]; then
  # Without the Windows build, a stand-in of a typical stub's size.
  stub=$work/stub.bin
  head -c $((256 * 1024)) /dev/zero >"$stub"
fi

# ---- Measuring -------------------------------------------------------------

# run_once NAME PREPARE COMMAND: runs PREPARE, then COMMAND timed (both
# through bash); keeps in NAME_seconds the best wall time so far and in
# NAME_kib the largest peak resident size seen.
run_once() {
  local name=$1 prepare=$2 command=$3 start end seconds kib best peak
  bash -c "$prepare"
  start=$(date +%s%N)
  if ! /usr/bin/time -f '%M' -o "$work/time.txt" bash -c "$command" >"$work/out.txt" 2>&1; then
    echo "zorpack_bench: '$command' failed:" >&2
    cat "$work/out.txt" >&2
    exit 1
  fi
  end=$(date +%s%N)
  seconds=$(awk -v ns=$((end - start)) 'BEGIN {printf "%.3f", ns / 1e9}')
  kib=$(tail -n 1 "$work/time.txt")
  best=${name}_seconds peak=${name}_kib
  if [ -z "${!best:-}" ] || awk -v a="$seconds" -v b="${!best}" 'BEGIN {exit !(a < b)}'; then
    printf -v "$best" '%s' "$seconds"
  fi
  if [ "$kib" -gt "${!peak:-0}" ]; then printf -v "$peak" '%s' "$kib"; fi
}

installer=$work/payload.exe
tarball=$work/payload.tgz
echo "zorpack_bench: $files files, $((payload_bytes / mib)) MiB; best of $runs rounds, ours and the peer in turn"

# Each round runs all four, so that a machine busy with other work slows
# both sides of a comparison alike.
for _ in $(seq "$runs"); do
  run_once zor_build "rm -f '$installer'" \
    "'$zorpack' build -o '$installer' --name Bench --version 1.0 --stub '$stub' '@$list'"
  run_once tgz_build "rm -f '$tarball'" "tar cf - -C '$work' payload | gzip -6 >'$tarball'"
  run_once zor_extract "rm -rf '$work/zor-out'" "'$zorpack' extract '$installer' '$work/zor-out'"
  run_once tgz_extract "rm -rf '$work/tar-out' && mkdir '$work/tar-out'" \
    "gzip -dc '$tarball' | tar xf - -C '$work/tar-out'"
done

if ! diff -r "$payload" "$work/zor-out" >/dev/null || ! diff -r "$payload" "$work/tar-out/payload" >/dev/null; then
  echo "zorpack_bench: the extracted files differ from the payload" >&2
  exit 1
fi
installer_bytes=$(stat -c %s "$installer")
tarball_bytes=$(stat -c %s "$tarball")
stub_bytes=$(stat -c %s "$stub")
rm -rf "$work/zor-out" "$work/tar-out"

# ---- Table -----------------------------------------------------------------

awk -v payload="$payload_bytes" -v pe="$pe_bytes" -v files="$files" -v stub="$stub_bytes" \
  -v zb="$zor_build_seconds" -v tb="$tgz_build_seconds" -v ze="$zor_extract_seconds" -v te="$tgz_extract_seconds" \
  -v zbm="$zor_build_kib" -v tbm="$tgz_build_kib" -v zem="$zor_extract_kib" -v tem="$tgz_extract_kib" \
  -v zsize="$installer_bytes" -v tsize="$tarball_bytes" '
function mbs(seconds) { return seconds > 0 ? payload / 1048576 / seconds : 0 }
function row(op, tool, seconds, kib, size, ratio, target) {
  printf "%-8s %-16s %8.2f %9.1f %10s %9.1f %10s %s\n", op, tool, seconds, mbs(seconds), ratio, kib / 1024, size, target
}
function met(ratio, goal) { return sprintf("%s %.2fx", ratio >= goal ? "met" : "NOT met", goal) }
BEGIN {
  printf "\nzorpack against tar + gzip -6: %d files, %.1f MiB (PE %.1f MiB, text %.1f MiB)\n",
    files, payload / 1048576, pe / 1048576, (payload - pe) / 1048576
  printf "%-8s %-16s %8s %9s %10s %9s %10s %s\n", "", "", "wall s", "MiB/s", "ours/peer", "peak MiB", "size", "target"
  br = mbs(zb) / mbs(tb); er = mbs(ze) / mbs(te)
  row("build", "zorpack", zb, zbm, sprintf("%.1f%%", 100 * zsize / payload), sprintf("%.2f", br), met(br, 0.9))
  row("build", "tar | gzip -6", tb, tbm, sprintf("%.1f%%", 100 * tsize / payload), "", "")
  row("extract", "zorpack", ze, zem, "", sprintf("%.2f", er), met(er, 1.0))
  row("extract", "gzip -dc | tar", te, tem, "", "", "")
  peak = zbm > zem ? zbm : zem
  printf "zorpack peak memory %.1f MiB: %s 16 MiB target; installer size includes the %.0f KiB extractor\n",
    peak / 1024, peak < 16 * 1024 ? "under the" : "NOT under the", stub / 1024
}'
