#!/bin/bash
# tavrix -w interrupted in the middle of a run, by each signal that ends a
# run from outside: the files of the last good run stay byte for byte, no
# temporary is left behind, and the run ends by the signal. tavrix -d
# interrupted so writes no update.
#
# usage: bash tavrix_interrupted.sh BINDIR SRCDIR
set -u
bindir=$(cd "$1" && pwd) || exit 1
source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require mkfifo:coreutils md5sum:coreutils

work=$(mktemp -d) || exit 1
writer_open=false
cleanup() {
  $writer_open && exec 3>&-
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work" || exit 1

printf 'a ::a :1:\nb ::b :2:\n' > hosts
"$bindir/tavrix" -w -b 64 -p 2001:db8::/48 hosts || { echo "FAIL: the good run"; exit 1; }
md5sum zk* > sums

# Job control gives the background run its own process group, and keeps
# SIGINT from being ignored in it as a non-interactive shell would.
set -m
failures=0

# interrupt SIG READY ARGS...: tavrix ARGS reads the FIFO in, with its
# standard output in out and its messages in err; it gets three host lines
# and, once READY PID succeeds (or after ten seconds), SIG. Fails, and says
# so, unless the run ends by that signal.
interrupt() {
  local sig=$1 ready=$2 pid status want
  shift 2
  rm -f in && mkfifo in
  "$bindir/tavrix" "$@" < in > out 2> err &
  pid=$!
  exec 3> in
  writer_open=true
  printf 'a ::1a :1:\nb ::1b :2:\nc ::1c :3:\n' >&3
  for _ in $(seq 1 200); do
    "$ready" "$pid" && break
    sleep 0.05
  done
  kill -s "$sig" "$pid"
  wait "$pid"
  status=$?
  exec 3>&-
  writer_open=false
  want=$((128 + $(kill -l "$sig")))
  [ "$status" -eq "$want" ] && return 0
  echo "FAIL: tavrix $*, SIG$sig: status $status, expected $want"; cat err
  return 1
}

# The first lines make the temporaries; the run then waits for more input.
temporaries_made() { [ "$(ls -A | grep -c '^\.tavrix\.')" -eq 3 ]; }
# The update spool is open once the process holds a deleted file.
spool_open() { ls -l "/proc/$1/fd" 2>/dev/null | grep -q '(deleted)'; }

for sig in TERM INT HUP PIPE; do
  interrupt "$sig" temporaries_made -w -b 64 -p 2001:db8::/48 || failures=$((failures + 1))
  if ! md5sum -c --quiet sums; then
    echo "FAIL: SIG$sig: the files of the good run changed"
    failures=$((failures + 1))
  fi
  left=$(ls -A | grep '^\.' || true)
  if [ -n "$left" ] || [ -e zkr.0003 ]; then
    echo "FAIL: SIG$sig left files behind: $left $(ls)"
    failures=$((failures + 1))
  fi
done

# tavrix -d interrupted while it reads: its commands wait in the spool, so
# nothing reaches standard output, and its last message says so.
for sig in TERM INT HUP PIPE; do
  interrupt "$sig" spool_open -d -p 2001:db8::/48 || failures=$((failures + 1))
  if [ -s out ] || [ "$(cat err)" != "tavrix: no update was written" ]; then
    echo "FAIL: -d, SIG$sig: standard output '$(cat out)', standard error '$(cat err)'"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "interrupted runs: all checks passed"
[ "$failures" -eq 0 ]
