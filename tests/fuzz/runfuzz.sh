#!/bin/bash
# Runs a fuzz target on its seeds, then fuzzes for a while on a copy of them
# so that the sources stay as they are. While fuzzing, the target's own
# messages are dropped (libFuzzer keeps the sanitizers' reports); a crash
# fails the test, and its input is shown in hex and run once more with the
# messages, to become a regular test case.
# Usage: runfuzz.sh FUZZER SEEDDIR SECONDS [LIBFUZZER-OPTION...]
set -uo pipefail
fuzzer=$1 seeds=$2 seconds=$3
shift 3
work=$(mktemp -d "${TMPDIR:-/tmp}/fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/crash"
cp "$seeds"/* "$work/corpus/"
# The targets' scratch files go with the rest.
export TMPDIR=$work

"$fuzzer" -runs=0 -artifact_prefix="$work/crash/" "$seeds" &&
  "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -close_fd_mask=2 -artifact_prefix="$work/crash/" "$@" "$work/corpus"
status=$?
for f in "$work"/crash/*; do
  [ -e "$f" ] || continue
  echo "finding $(basename "$f"):"
  od -A d -c "$f" | head -40
  "$fuzzer" "$f" 2>&1 | tail -40
done
# libFuzzer reports a finding with 77, which reads as "skipped" elsewhere.
[ "$status" -eq 0 ]
