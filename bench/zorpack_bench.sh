#!/usr/bin/env bash
# Usage: bench/zorpack_bench.sh [BUILD_DIR]      (BUILD_DIR defaults to build/native)
#
# Whole-process figures of "zorpack build" and "zorpack extract" next to the
# tar + gzip -6 pipelines, on the same payloads in the same run: wall time
# (best of ZORPACK_BENCH_RUNS rounds, 3 by default), throughput over the
# payload's size, and the peak resident memory of the largest process.
# Two payloads are made once under BUILD_DIR/zorpack_bench (bench/payloads.sh):
#   small   3,000 files of 2 to 200 KB (C headers, package documentation,
#           small Windows PE files), where the cost per file dominates;
#   large   130 Windows PE files of 256 KB and more, where the codec does.
# Extractions write below ZORPACK_BENCH_OUT (default: the work directory, on
# disk); on a file system whose file creation dominates (ext4 reusing the
# inodes of the files deleted between rounds), /dev/shm shows the programs'
# own cost instead. The figures are reported, never judged: the script fails
# only when a command fails or the extracted files differ from the payload.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/native}" && pwd)
runs=${ZORPACK_BENCH_RUNS:-3}
zorpack=$build/bin/zorpack
work=$build/zorpack_bench
out=${ZORPACK_BENCH_OUT:-$work}

[ -x "$zorpack" ] || { echo "zorpack_bench: $zorpack is not built" >&2; exit 1; }
for tool in tar gzip /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "zorpack_bench: $tool is missing" >&2; exit 1; }
done
# shellcheck source=bench/payloads.sh
source "$root/bench/payloads.sh"
make_payloads "$work"

stub=$root/build/windows/bin/zorsetup.exe
if [ ! -f "$stub" ]; then
  # Without the Windows build, a stand-in of a typical stub's size.
  stub=$work/stub.exe
  python3 - "$stub" <<'EOF'
import sys
image = bytearray(200 * 1024)
image[0:2] = b"MZ"
image[0x3C] = 0x40
image[0x40:0x44] = b"PE\0\0"
open(sys.argv[1], "wb").write(image)
EOF
fi

# run_once NAME PREPARE COMMAND: runs PREPARE, then COMMAND timed (both
# through bash); keeps in NAME_seconds the best wall time so far and in
# NAME_kib the largest peak resident size seen.
run_once() {
  local name=$1 prepare=$2 command=$3 start end seconds kib best peak
  bash -c "$prepare"
  # Dirty pages of earlier rounds would be written during this one.
  sync
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

# bench_payload NAME BUILD_TARGET EXTRACT_TARGET: both commands of both tools
# on payload NAME, then its table.
bench_payload() {
  local name=$1 build_goal=$2 extract_goal=$3
  local payload=$work/$name list=$work/$name.lst installer=$work/$name.exe tarball=$work/$name.tgz
  local files bytes
  unset zor_build_seconds tgz_build_seconds zor_extract_seconds tgz_extract_seconds
  unset zor_build_kib tgz_build_kib zor_extract_kib tgz_extract_kib
  files=$(wc -l <"$list")
  bytes=$(payload_bytes "$payload")
  echo "zorpack_bench: $name payload, $files files, $((bytes / 1048576)) MiB; best of $runs rounds, ours and the peer in turn"
  # Each round runs all four, so that a machine busy with other work slows
  # both sides of a comparison alike.
  for _ in $(seq "$runs"); do
    run_once zor_build "rm -f '$installer'" \
      "'$zorpack' build -o '$installer' --name Bench --version 1.0 --stub '$stub' '@$list'"
    run_once tgz_build "rm -f '$tarball'" "tar cf - -C '$work' '$name' | gzip -6 >'$tarball'"
    run_once zor_extract "rm -rf '$out/zor-out'" "'$zorpack' extract '$installer' '$out/zor-out'"
    run_once tgz_extract "rm -rf '$out/tar-out' && mkdir '$out/tar-out'" \
      "gzip -dc '$tarball' | tar xf - -C '$out/tar-out'"
  done
  if ! diff -r "$payload" "$out/zor-out" >/dev/null || ! diff -r "$payload" "$out/tar-out/$name" >/dev/null; then
    echo "zorpack_bench: the extracted files differ from the $name payload" >&2
    exit 1
  fi
  local installer_bytes tarball_bytes stub_bytes
  installer_bytes=$(stat -c %s "$installer")
  tarball_bytes=$(stat -c %s "$tarball")
  stub_bytes=$(stat -c %s "$stub")
  rm -rf "$out/zor-out" "$out/tar-out"

  awk -v name="$name" -v payload="$bytes" -v files="$files" -v stub="$stub_bytes" \
    -v zb="$zor_build_seconds" -v tb="$tgz_build_seconds" -v ze="$zor_extract_seconds" -v te="$tgz_extract_seconds" \
    -v zbm="$zor_build_kib" -v tbm="$tgz_build_kib" -v zem="$zor_extract_kib" -v tem="$tgz_extract_kib" \
    -v zsize="$installer_bytes" -v tsize="$tarball_bytes" -v bgoal="$build_goal" -v egoal="$extract_goal" -v where="$out" '
  function mbs(seconds) { return seconds > 0 ? payload / 1048576 / seconds : 0 }
  function row(op, tool, seconds, kib, size, ratio, target) {
    printf "%-8s %-16s %8.2f %9.1f %10s %9.1f %10s %s\n", op, tool, seconds, mbs(seconds), ratio, kib / 1024, size, target
  }
  function met(ratio, goal) { return sprintf("%s %.2fx", ratio >= goal ? "met" : "NOT met", goal) }
  BEGIN {
    printf "\nzorpack against tar + gzip -6, %s payload: %d files, %.1f MiB, extracted to %s\n", name, files,
      payload / 1048576, where
    printf "%-8s %-16s %8s %9s %10s %9s %10s %s\n", "", "", "wall s", "MiB/s", "ours/peer", "peak MiB", "size", "target"
    br = mbs(zb) / mbs(tb); er = mbs(ze) / mbs(te)
    row("build", "zorpack", zb, zbm, sprintf("%.1f%%", 100 * zsize / payload), sprintf("%.2f", br), met(br, bgoal))
    row("build", "tar | gzip -6", tb, tbm, sprintf("%.1f%%", 100 * tsize / payload), "", "")
    row("extract", "zorpack", ze, zem, "", sprintf("%.2f", er), met(er, egoal))
    row("extract", "gzip -dc | tar", te, tem, "", "", "")
    printf "installer size includes the %.0f KiB extractor\n\n", stub / 1024
  }' | tee -a "$work/summary.txt"
}

: >"$work/summary.txt"
bench_payload small 1.0 1.0
bench_payload large 1.5 1.3
echo "== summary"
cat "$work/summary.txt"
