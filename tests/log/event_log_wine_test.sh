#!/usr/bin/env bash
# Usage: event_log_wine_test.sh WINE_RUN PROBE_EXE
# Runs the event-log probe under Wine with the event log's debug channel on:
# Wine reports each event there, as err (error), warn (warning) or trace
# (information), in the order reported. Compares them with what the probe
# logged.
set -u
wine_run=$1 probe=$2

output=$(WINEDEBUG=-all,err+eventlog,warn+eventlog,trace+eventlog "$wine_run" "$probe" 2>&1)
status=$?
if [ "$status" -ne 0 ]; then
  echo "the probe failed with exit code $status:"
  echo "$output"
  exit 1
fi

actual=$(sed -nE 's/^[0-9a-f]+:(err|warn|trace):eventlog:ReportEventW L"(.*)"\r?$/\1 \2/p' <<<"$output")
expected='trace head:EventLogAppender:ZorProbeSource
err <fatal-record>
err <error-record>
warn <warn-record>
warn <notice-record>
trace <info-record>
trace <debug-record>
trace foot:EventLogAppender:ZorProbeSource
trace head:EventLogAppender:ZorProbeUnclosed
trace <last-record>
trace foot:EventLogAppender:ZorProbeUnclosed'

if [ "$actual" != "$expected" ]; then
  echo "events differ from the expected ones"
  diff <(echo "$expected") <(echo "$actual")
  echo "whole output:"
  echo "$output"
  exit 1
fi
echo "events as expected"
