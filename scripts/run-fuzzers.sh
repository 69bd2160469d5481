#!/usr/bin/env bash
# Usage: run-fuzzers.sh SECONDS
# Runs every fuzz target of build/fuzz (or of $ZOR_FUZZ_BUILD) for SECONDS
# each over its corpus (seeded on first use) and fails if any target finds a
# crash.
set -u
cd "$(dirname "$0")/.."
seconds=${1:-30}
build=${ZOR_FUZZ_BUILD:-build/fuzz}
bin=$build/bin
corpus=$build/corpus
artifacts=$build/artifacts/
# The targets and their libFuzzer options, as fuzz/CMakeLists.txt lists them.
list=$build/fuzz-targets.txt
[ -r "$list" ] || { echo "run-fuzzers.sh: no $list; configure the fuzz tree first" >&2; exit 1; }
targets=()
declare -A options=()
while read -r target target_options; do
  targets+=("$target")
  options[$target]=$target_options
done <"$list"
for target in "${targets[@]}"; do mkdir -p "$corpus/$target"; done
mkdir -p "$artifacts"
if [ ! -e "$corpus/.seeded" ]; then
  "$bin/fuzz_make_seeds" "$corpus/expand" "$corpus/decode_chunk" "$corpus/installer" "$corpus/uninstall_record" ||
    exit 1
  touch "$corpus/.seeded"
fi
# Resource seeds: the real stub when the Windows tree has built it; an icon
# file of one 1x1 bitmap.
stub=build/windows/bin/zorsetup.exe
if [ -z "$(ls -A "$corpus/pe_resources")" ] && [ -r "$stub" ]; then cp "$stub" "$corpus/pe_resources/stub"; fi
if [ -z "$(ls -A "$corpus/icon_file")" ]; then
  printf '\0\0\1\0\1\0\1\1\0\0\1\0\40\0\60\0\0\0\26\0\0\0\50\0\0\0\1\0\0\0\2\0\0\0\1\0\40\0%s' \
    "$(printf '%032d' 0 | tr 0 '\1')" >"$corpus/icon_file/seed0"
fi
# Pattern seeds: a conversion pattern, a NUL byte, a date pattern.
if [ -z "$(ls -A "$corpus/log_pattern")" ]; then
  seeds=("%-5p - %m%n|'.'yyyy-MM-dd" "%d{ABSOLUTE} [%t] %-10c{2} %r %m\\n|HH:mm:ss,SSS"
         "%d %a %b %u@%O %M %R %%|ISO8601" "%-20d{YY_MM_dd_HH_mm_ss}%5n|h 'o''clock' a MMMM MMM")
  for i in "${!seeds[@]}"; do
    printf '%s\0%s' "${seeds[$i]%%|*}" "${seeds[$i]#*|}" >"$corpus/log_pattern/seed$i"
  done
fi
# XML seeds: the option byte ("0" the defaults, "1" trimming, "4" tolerated
# mismatches, "A" under a document node and written with new lines), then the
# text.
if [ -z "$(ls -A "$corpus/xml_load")" ]; then
  seeds=("A|<?xml version='1.0'?><!--c--><config a='1' b=\"2\"><x>t &amp; u</x><![CDATA[raw]]></config>"
         "0|<log><appender name='f' class='FileAppender'><param name='file' value='C:\\\\log.txt'/></appender></log>"
         "1|<a>  text  <b flag >x</b><c x=1/></a>"
         "4|<a><b></c>tail</b></a>")
  for i in "${!seeds[@]}"; do
    printf '%s%s' "${seeds[$i]%%|*}" "${seeds[$i]#*|}" >"$corpus/xml_load/seed$i"
  done
fi
# Configuration seeds: a full configuration, merging and additivity, a
# replacing and an inactive stream.
if [ -z "$(ls -A "$corpus/log_configure")" ]; then
  seeds=("<zorlog replace='false'><appender name='main' class='RollingFileAppender'><param name='File' value='C:\\\\Logs\\\\setup.log'/><param name='MaxFileSize' value='1000000'/><priority value='Debug'/><layout class='PatternLayout'><param name='ConversionPattern' value='%-5p - %m%n'/></layout></appender><category name='setup.archive' additivity='false'><priority value='Warn'/><appender-ref ref='main'/></category><root><priority value='Info'/><appender-ref ref='main'/></root></zorlog>"
         "<c><root><appender-ref ref='z'/></root><category name='a'><appender-ref ref='x'/></category><category name='A.b.c'><appender-ref ref='y'/><appender-ref ref='X'/></category><appender name='x' class='ConsoleAppender'><layout class='HTMLLayout'/></appender><appender name='y' class='UDPConsoleColorAppender'><param name='hosts' value='127.0.0.1'/><param name='port' value='4884'/></appender><appender name='z' class='NoSuchClass'/></c>"
         "<c replace='true' active='no'><category name='ROOT' additivity='true'/><root/></c>")
  for i in "${!seeds[@]}"; do printf '%s' "${seeds[$i]}" >"$corpus/log_configure/seed$i"; done
fi
# Command-line seeds, each argument ended by a NUL byte: zorpack's commands.
arguments() { printf '%s\0' "$@"; }
if [ -z "$(ls -A "$corpus/zorpack_command_line")" ]; then
  dir=$corpus/zorpack_command_line
  arguments build -o Setup.exe --name=Demo --version 1.0 --option desktop=ask --store app.exe @list.txt >"$dir/seed0"
  arguments build -o S.exe --name A --version 1 --publisher Acme --install-dir '{ProgramFiles}\{Publisher}\{AppName}' \
    --uninstaller --per-user -- -a >"$dir/seed1"
  arguments extract -v Setup.exe 'out dir' >"$dir/seed2"
  arguments list --help >"$dir/seed3"
fi
# Stub command lines: an installation, an uninstallation, an uninstaller's copy.
if [ -z "$(ls -A "$corpus/program_arguments")" ]; then
  seeds=('"C:\Temp\Setup.exe" /S /D=C:\Program Files\App' 'Setup.exe "/D=C:\My App"' '"C:\App\uninstall.exe" /S'
         'zor-uninstall-12.exe /_remove=12:C:\Program Files\App\uninstall.exe')
  for i in "${!seeds[@]}"; do printf '%s' "${seeds[$i]}" >"$corpus/program_arguments/seed$i"; done
fi
# Branch filter seeds: the two piece-size bytes, then calls and jumps with
# displacements at the edges of the converted range, overlapping opcodes and
# an opcode too close to the end.
if [ -z "$(ls -A "$corpus/x86_branch_filter")" ]; then
  printf '\x03\x07\xe8\x00\x00\x00\x00\xe9\xfb\xff\xff\xff\xe8\xff\xff\xff\x00\xe8\xe8\xe8\xe8\xe8\x00\x90\xe8\x01' \
    >"$corpus/x86_branch_filter/seed0"
fi

passed=0 failed=0
for target in "${targets[@]}"; do
  log=$build/$target.log
  # shellcheck disable=SC2086 # the options are separate words
  if "$bin/fuzz_$target" "$corpus/$target" -max_total_time="$seconds" -max_len=70000 -timeout=10 \
       -rss_limit_mb=2048 -artifact_prefix="$artifacts" -print_final_stats=1 ${options[$target]:-} >"$log" 2>&1; then
    echo "fuzz_$target: $(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}') runs, no failure"
    passed=$((passed + 1))
  else
    echo "fuzz_$target FAILED:"
    tail -n 40 "$log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
