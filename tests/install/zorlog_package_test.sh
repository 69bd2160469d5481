#!/usr/bin/env bash
# Usage: zorlog_package_test.sh --source DIR --tree DIR --cmake CMAKE
#          --generator NAME --make-program PROGRAM
#          (--cxx COMPILER | --toolchain FILE --runner WINE_RUN) [--console ZORLOG_CONSOLE]
#
# Installs the ZorLog package from the build tree DIR into DIR/zorlog-install,
# builds examples/logging against it in DIR/zorlog-example as a project
# outside this tree would (its own configuration, find_package, no path into
# the source tree), runs it in DIR/zorlog-example-run and checks what it
# wrote: the installed file set, the rolled log files and their records, the
# non-additive category's file, the HTML report and, with --console, the
# records a zorlog-console received, and the warnings of a configuration with
# a misspelt priority from the example and the installed zorlog-check. The
# Windows build passes its toolchain
# file and runs the example under Wine.
set -u

source_dir= tree= cmake= generator= make_program= cxx= toolchain= runner= console=
while [ $# -gt 0 ]; do
  case $1 in
  --source) source_dir=$2 ;;
  --tree) tree=$2 ;;
  --cmake) cmake=$2 ;;
  --generator) generator=$2 ;;
  --make-program) make_program=$2 ;;
  --cxx) cxx=$2 ;;
  --toolchain) toolchain=$2 ;;
  --runner) runner=$2 ;;
  --console) console=$2 ;;
  *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
  shift 2
done

prefix=$tree/zorlog-install
build=$tree/zorlog-example
work=$tree/zorlog-example-run
failures=0
console_pid=

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# Runs a step whose output only matters when it fails.
step() {
  local name=$1 log=$work/$1.log
  shift
  if ! "$@" >"$log" 2>&1; then
    echo "FAIL: $name failed:"
    cat "$log"
    exit 1
  fi
}
cleanup() {
  [ -n "$console_pid" ] && kill "$console_pid" 2>/dev/null && wait "$console_pid" 2>/dev/null
}
trap cleanup EXIT

rm -rf "$prefix" "$build" "$work"
mkdir -p "$work"
# Where the example's configuration puts its files (created by the run).
logs=$work/logs

# --- the package -----------------------------------------------------------

step install "$cmake" --install "$tree" --prefix "$prefix"

# Exactly the three libraries, their headers and the package files.
unexpected=$(cd "$prefix" && find . -type f | sed 's|^\./||' |
  grep -vE '^(include/zor/(log(/(appenders|layouts|config))?|xml|common)/[a-z0-9_]+\.h|lib/libzor(log|xml|common)\.a|lib/cmake/ZorLog/ZorLog(Config|ConfigVersion|Targets|Targets-[a-z]+)\.cmake|bin/zor(pack|log-check)(\.exe)?|lib/cmake/ZorInstaller/ZorInstaller(Config|ConfigVersion|Functions|CPack)\.cmake)$')
[ -z "$unexpected" ] || fail "installed files that do not belong to the package: $unexpected"
for file in include/zor/log/log_factory.h include/zor/log/appenders/file_appender.h include/zor/xml/xml_node.h include/zor/common/file.h \
  lib/libzorlog.a lib/libzorxml.a lib/libzorcommon.a; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
# Build options of this project (warnings, -Werror, sanitizers, sections)
# must not reach the package's clients.
if grep -nE 'INTERFACE_COMPILE_OPTIONS|INTERFACE_LINK_OPTIONS|-W|-fsanitize|-ffunction-sections' \
  "$prefix"/lib/cmake/ZorLog/ZorLogTargets*.cmake; then
  fail "the exported targets carry this project's build options"
fi

# --- the example, an outside project ---------------------------------------

configure=("$cmake" -S "$source_dir/examples/logging" -B "$build" -G "$generator"
  -DCMAKE_MAKE_PROGRAM="$make_program"
  # Warnings in the package's headers show too, as the in-tree build sees them.
  -DCMAKE_NO_SYSTEM_FROM_IMPORTED=ON -DCMAKE_CXX_FLAGS="-Wall -Wextra -Wshadow -Werror")
if [ -n "$toolchain" ]; then
  # The toolchain file confines package searches to the MinGW root: the
  # package directory is named directly.
  configure+=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DZorLog_DIR="$prefix/lib/cmake/ZorLog")
  program=$build/zorlog_example.exe
else
  configure+=(-DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix")
  program=$build/zorlog_example
fi
step configure "${configure[@]}"
step build "$cmake" --build "$build"

# --- running it ------------------------------------------------------------

cp "$source_dir/examples/logging/zorlog.xml" "$work/"
if [ -n "$console" ]; then
  # A receiver on a free port stands in for the developer's console; the
  # configuration's copy sends there instead of to port 4884.
  "$console" --port 0 --no-color >"$work/console.txt" 2>"$work/console.err" </dev/null &
  console_pid=$!
  port=
  for _ in $(seq 100); do
    port=$(sed -nE 's/^.*listening on [0-9.]+:([0-9]+) .*$/\1/p' "$work/console.err")
    [ -n "$port" ] && break
    sleep 0.1
  done
  [ -n "$port" ] || { echo "FAIL: zorlog-console did not start:"; cat "$work/console.err"; exit 1; }
  sed -i "s|<param name=\"port\" value=\"4884\"/>|<param name=\"port\" value=\"$port\"/>|" "$work/zorlog.xml"
  grep -q "value=\"$port\"" "$work/zorlog.xml" || { echo "FAIL: no port parameter to redirect"; exit 1; }
fi

(cd "$work" && ${runner:+"$runner"} "$program" --dump zorlog.xml >stdout.txt 2>stderr.txt)
status=$?
if [ "$status" -ne 0 ] || [ -s "$work/stderr.txt" ]; then
  echo "FAIL: the example ended with $status; its standard error:"
  cat "$work/stderr.txt"
  exit 1
fi

# Windows programs write CR LF, the file targets do everywhere.
lines() { tr -d '\r' <"$1"; }

# The dump shows how additivity was resolved: the retry logger holds its
# own appender only, example.network its own and the root's three.
dump=$(lines "$work/stdout.txt")
grep -qx 'Logger:example.network.retry, threshold:INFO, additivity:no' <<<"$dump" ||
  fail "the dump lacks the retry logger"
retry_appenders=$(sed -n '/^Logger:example.network.retry,/,/^Logger:/p' <<<"$dump" | grep -c '^   Appender(')
[ "$retry_appenders" = 1 ] || fail "the retry logger has $retry_appenders appenders instead of 1"
network_appenders=$(sed -n '/^Logger:example.network,/,/^Logger:/p' <<<"$dump" | grep -c '^   Appender(')
[ "$network_appenders" = 4 ] || fail "example.network has $network_appenders appenders instead of 4"

# --- the rolled log: every record once, oldest file first ------------------

for file in example.log example.1.log example.2.log; do
  [ -f "$logs/$file" ] || fail "$file is missing"
done
[ ! -e "$logs/example.3.log" ] || fail "example.3.log exists beyond MaxBackupIndex 2"
# A file is rolled once a record takes it to MaxFileSize (25000) bytes, and
# no record is longer than 200 bytes.
for file in example.1.log example.2.log; do
  size=$(wc -c <"$logs/$file" 2>/dev/null || echo 0)
  [ "$size" -ge 25000 ] && [ "$size" -lt 25200 ] || fail "$file holds $size bytes, not just past 25000"
done
rolled=$(cat "$logs/example.2.log" "$logs/example.1.log" "$logs/example.log" 2>/dev/null | tr -d '\r')

# Every line is one record in the configured pattern.
record='^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2},[0-9]{3} [A-Z]{4,5} +\[[0-9]+\] [A-Za-z.]+ - '
malformed=$(grep -cvE "$record" <<<"$rolled")
[ "$malformed" = 0 ] || fail "$malformed lines of the rolled log are not records"

# What reaches the root's appenders, by priority and category: the
# network category down to DEBUG (additive), the root down to INFO, nothing
# of the retry category (not additive) and no record below a threshold.
counts=$(awk '{ print $3, $5 }' <<<"$rolled" | sort | uniq -c | awk '{ print $2, $3, $1 }')
expected_counts='DEBUG example.network 200
ERROR Root 8
INFO Root 194
INFO example.network 200
WARN example.network 50'
[ "$counts" = "$expected_counts" ] || fail "records of the rolled log by priority and category:
$counts
expected:
$expected_counts"

[[ $(head -n 1 <<<"$rolled") == *" Root - example started with zorlog.xml" ]] ||
  fail "the oldest file does not start with the first record"
[[ $(tail -n 1 <<<"$rolled") == *" Root - example finished: 2 workers, 100 requests each" ]] ||
  fail "the current file does not end with the last record"

# Each worker's records carry one thread id of their own, and its requests
# appear in order across the three files.
main_thread=$(head -n 1 <<<"$rolled" | sed -E 's/.*\[([0-9]+)\].*/\1/')
threads=
for worker in 1 2; do
  mine=$(grep " - worker $worker: " <<<"$rolled")
  [ "$(wc -l <<<"$mine")" = 325 ] || fail "worker $worker has $(wc -l <<<"$mine") records instead of 325"
  ids=$(sed -E 's/.*\[([0-9]+)\].*/\1/' <<<"$mine" | sort -u)
  [ "$(wc -l <<<"$ids")" = 1 ] || fail "worker $worker's records carry several thread ids: $ids"
  [ "$ids" != "$main_thread" ] || fail "worker $worker's records carry the main thread's id"
  threads+="$ids "
  sed -E 's/.* request ([0-9]+):.*/\1/' <<<"$mine" | sort -n -c 2>/dev/null ||
    fail "worker $worker's requests are out of order across the rolled files"
done
read -r first second <<<"$threads"
[ "$first" != "$second" ] || fail "both workers' records carry thread id $first"

# --- the network categories' file ------------------------------------------

network=$(lines "$logs/network.log")
counts=$(awk '{ print $2, $3 }' <<<"$network" | sort | uniq -c | awk '{ print $2, $3, $1 }')
expected_counts='DEBUG example.network 200
INFO example.network 200
INFO network.retry 50
WARN example.network 50'
[ "$counts" = "$expected_counts" ] || fail "records of network.log by priority and category:
$counts
expected:
$expected_counts"
! grep -q 'waiting' "$logs/network.log" || fail "a retry DEBUG record passed the category's INFO threshold"

# --- the HTML report: WARN and above, whole page ---------------------------

report=$(lines "$logs/report.html")
[[ $report == '<html><head><title>ZorLog example: warnings and errors</title>'* ]] ||
  fail "the report does not start with its page head and title"
[[ $(tail -n 1 <<<"$report") == *'</table>'*'</body></html>' ]] || fail "the report does not end with its page end"
rows=$(grep '^<tr><td>' <<<"$report")
levels=$(sed -E 's|.*<td>([A-Za-z.]+)</td><td><font color="[A-Za-z]+">([A-Z]+)</font>.*|\2 \1|' <<<"$rows" |
  sort | uniq -c | awk '{ print $2, $3, $1 }')
expected_levels='ERROR Root 8
WARN example.network 50'
[ "$levels" = "$expected_levels" ] || fail "rows of the report by priority and category:
$levels
expected:
$expected_levels"

# --- what the console received ---------------------------------------------

if [ -n "$console" ]; then
  # UDP may drop datagrams under load: the first record, sent to an empty
  # socket buffer, must arrive; any later one that arrives must be one the
  # console appender was given.
  for _ in $(seq 100); do
    grep -q 'Root - example started with zorlog.xml' "$work/console.txt" && break
    sleep 0.1
  done
  kill "$console_pid" 2>/dev/null
  wait "$console_pid" 2>/dev/null
  console_pid=
  received=$(lines "$work/console.txt")
  grep -qE '^INFO  \[[0-9]+\] Root - example started with zorlog.xml$' <<<"$received" ||
    fail "zorlog-console did not receive the first record"
  strays=$(grep -vE '^(DEBUG|INFO |WARN |ERROR) \[[0-9]+\] (Root|example\.network) - ' <<<"$received")
  [ -z "$strays" ] || fail "zorlog-console received records the console appender must not send: $(head -n 3 <<<"$strays")"
fi

# --- a second run in the same directory ------------------------------------

# The rolled log is appended to and rolls on, keeping two backups; the
# report and network.log (Append "false") start afresh.
(cd "$work" && ${runner:+"$runner"} "$program" >stdout.txt 2>stderr.txt)
status=$?
[ "$status" = 0 ] || fail "the second run ended with $status: $(cat "$work/stderr.txt")"
[ ! -e "$logs/example.3.log" ] || fail "the second run left example.3.log beyond MaxBackupIndex 2"
for file in example.1.log example.2.log; do
  size=$(wc -c <"$logs/$file" 2>/dev/null || echo 0)
  [ "$size" -ge 25000 ] && [ "$size" -lt 25200 ] || fail "after the second run $file holds $size bytes"
done
started=$(cat "$logs/example.2.log" "$logs/example.1.log" "$logs/example.log" 2>/dev/null | grep -c ' - example started')
[ "$started" -le 1 ] || fail "the kept files still hold the first run's start after two runs' worth of records"
[[ $(lines "$logs/example.log" | tail -n 1) == *" - example finished: 2 workers, 100 requests each" ]] ||
  fail "the current file does not end with the second run's last record"
[ "$(grep -c '^<tr><td>' "$logs/report.html")" = 58 ] || fail "the report was not rewritten by the second run"
[ "$(lines "$logs/network.log" | wc -l)" = 500 ] || fail "network.log was not rewritten by the second run"

# --- a configuration error ends the program --------------------------------

mkdir -p "$work/broken"
sed 's|<appender-ref ref="report"/>|<appender-ref ref="missing"/>|' "$work/zorlog.xml" >"$work/broken/zorlog.xml"
(cd "$work/broken" && ${runner:+"$runner"} "$program" >stdout.txt 2>stderr.txt)
status=$?
[ "$status" = 1 ] || fail "a reference to a missing appender ended the example with $status instead of 1"
grep -q "Unable to find 'missing' appender configuration" "$work/broken/stderr.txt" ||
  fail "the example did not report the missing appender: $(cat "$work/broken/stderr.txt")"

# --- values the configuration cannot use ------------------------------------

# A misspelt priority: the example still runs, and says so; zorlog-check
# fails on that file and passes the original.
check=$prefix/bin/zorlog-check
[ -n "$toolchain" ] && check=$check.exe
mkdir -p "$work/warned"
sed '0,/<priority value="INFO"\/>/s||<priority value="LOUD"/>|' "$work/zorlog.xml" >"$work/warned/zorlog.xml"
warning='<priority value="LOUD"> of root names no priority; the threshold stays INFO.'
(cd "$work/warned" && ${runner:+"$runner"} "$program" >stdout.txt 2>stderr.txt)
status=$?
[ "$status" = 0 ] || fail "a misspelt priority ended the example with $status: $(cat "$work/warned/stderr.txt")"
grep -qxF "zorlog_example: warning: $warning" <(tr -d '\r' <"$work/warned/stderr.txt") ||
  fail "the example did not print the warning: $(cat "$work/warned/stderr.txt")"
(cd "$work/warned" && ${runner:+"$runner"} "$check" zorlog.xml >check.out 2>check.err)
status=$?
[ "$status" = 1 ] || fail "zorlog-check ended with $status on a file with a warning"
[ "$(tr -d '\r' <"$work/warned/check.err")" = "zorlog.xml: warning: $warning" ] ||
  fail "zorlog-check printed: $(cat "$work/warned/check.err")"
(cd "$work" && ${runner:+"$runner"} "$check" zorlog.xml >check.out 2>check.err)
status=$?
[ "$status" = 0 ] || fail "zorlog-check ended with $status on the example's configuration: $(cat "$work/check.err")"

if [ "$failures" -ne 0 ]; then
  echo "$failures checks failed; the run is kept in $work"
  exit 1
fi
echo "the installed package builds the example, and its logs are as configured"
