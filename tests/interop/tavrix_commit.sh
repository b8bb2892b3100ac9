#!/bin/bash
# tavrix -w replaces its set of files all or nothing, whatever ends the run:
# faults injected with strace (a rename that fails, signals at chosen
# system calls, slowed system calls for two runs at once) and real ones (an
# append-only file, a file size limit, a missing input file). After each
# run every file is checked byte for byte against the old or the new set,
# and no temporary may be left.
#
# usage: bash tavrix_commit.sh BINDIR SRCDIR
set -u
bindir=$(cd "$1" && pwd) || exit 1
source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require strace:strace md5sum:coreutils

work=$(mktemp -d) || exit 1
cleanup() {
  chattr -R -a "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work" || exit 1
tavrix=$bindir/tavrix
args=(-w -b 64 -p 2001:db8::/48)
# strace, for a sanitizer build whose leak check cannot run under ptrace.
strace=(env "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" strace)

# The old set: 60 hosts over 6 subnets; the new one moves every address
# and adds a subnet, so that the run also creates a file.
for i in $(seq 1 60); do printf 'h%d ::%x :%x:\n' "$i" "$i" $((i % 6 + 1)); done > old.hosts
for i in $(seq 1 70); do printf 'h%d ::1%x :%x:\n' "$i" "$i" $((i % 7 + 1)); done > new.hosts
# Another new set with the same files, for two runs at once.
for i in $(seq 1 70); do printf 'h%d ::2%x :%x:\n' "$i" "$i" $((i % 7 + 1)); done > other.hosts
for set in old new other; do
  mkdir "$set.set"
  (cd "$set.set" && "$tavrix" "${args[@]}" "../$set.hosts") || { echo "FAIL: the $set set"; exit 1; }
done

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# fresh: an empty folder "w" holding the old set.
fresh() {
  rm -rf w && cp -a old.set w
}

# holds WHAT SET: the files of w are exactly SET (old or new), byte for byte.
holds() {
  diff -r -x '.tavrix.*' "$2.set" w > /dev/null
}

# check WHAT STATUS WANT SET: the run ended with WANT and left SET and no
# temporary.
check() {
  local what=$1 status=$2 want=$3 set=$4
  [ "$status" -eq "$want" ] || { fail "$what: status $status, expected $want"; cat w.err; }
  holds "$what" "$set" || fail "$what: the files are not the $set set: $(diff -rq "$set.set" w)"
  local left
  left=$(find w -name '.tavrix.*' | wc -l)
  [ "$left" -eq 0 ] || fail "$what: $left temporaries left"
}

# run HOSTS [STRACE-ARGS...]: tavrix in w on HOSTS, under strace when
# STRACE-ARGS are given; the status in $status, standard error in w.err.
run() {
  local hosts=$1
  shift
  if [ $# -gt 0 ]; then
    (cd w && exec "${strace[@]}" -o /dev/null "$@" "$tavrix" "${args[@]}" "../$hosts") 2> w.err
  else
    (cd w && exec "$tavrix" "${args[@]}" "../$hosts") 2> w.err
  fi
  status=$?
}

# The renames of a whole commit, counted in a run that succeeds.
fresh
(cd w && "${strace[@]}" -o ../trace -e trace=renameat2 "$tavrix" "${args[@]}" ../new.hosts)
renames=$(grep -c '^renameat2(' trace)
[ "$renames" -ge 8 ] || fail "a commit of 8 files made $renames renames"
check "a plain run" 0 0 new

# A rename that fails at the second file and at the last: the files
# already replaced get their old content back, the created one goes.
for when in 2 "$renames"; do
  fresh
  run new.hosts -e inject=renameat2:error=EPERM:when="$when"
  check "rename $when of $renames failing" "$status" 127 old
  grep -q 'error replacing .*: Operation not permitted' w.err ||
    fail "rename $when failing: no message naming the file: $(cat w.err)"
done

# A real refusal: an append-only file cannot be replaced.
fresh
if chattr +a w/zkr.0003 2>/dev/null; then
  run new.hosts
  chattr -a w/zkr.0003
  check "an append-only file" "$status" 127 old
  grep -q 'error replacing zkr.0003: Operation not permitted' w.err ||
    fail "append-only: the message does not name zkr.0003: $(cat w.err)"
elif [ "${CI:-}" = true ]; then
  fail "chattr +a does not work in $work (Debian package e2fsprogs, a file system with attributes)"
else
  echo "SKIP: the append-only case: chattr +a does not work in $work"
fi

# Signals before the renames: the old set stays.
fresh
(cd w && ulimit -f 1 && exec "$tavrix" "${args[@]}" ../new.hosts) 2> w.err
check "SIGXFSZ from ulimit -f" $? $((128 + $(kill -l XFSZ))) old
fresh
run new.hosts -e inject=write:signal=SIGQUIT:when=3
check "SIGQUIT mid-run" "$status" $((128 + $(kill -l QUIT))) old

# A signal during the renames no longer stops the commit, and the status
# says that the files were replaced.
fresh
run new.hosts -e inject=renameat2:signal=SIGTERM:when=2
check "SIGTERM during the renames" "$status" 0 new

# SIGKILL leaves its temporaries; the next run removes them.
fresh
run new.hosts -e inject=write:signal=SIGKILL:when=3
[ "$status" -eq $((128 + $(kill -l KILL))) ] || fail "SIGKILL: status $status"
[ "$(find w -name '.tavrix.*' | wc -l)" -gt 0 ] || fail "SIGKILL left no temporary to clean"
holds "SIGKILL" old || fail "SIGKILL before the renames changed files"
run new.hosts
check "the run after SIGKILL" "$status" 0 new

# A missing second input: the run is incomplete and changes nothing.
fresh
(cd w && exec "$tavrix" "${args[@]}" ../new.hosts ../missing.hosts) 2> w.err
check "a missing second input" $? 2 old
tail -1 w.err | grep -q 'no file was changed' || fail "missing input: last message: $(tail -1 w.err)"

# Two runs at once with different host files, slowed where they would
# mix: each result is the whole set of one run, and both succeed.
slow=(-e inject=fsync,renameat2:delay_exit=20000)
for pair in 1 2 3 4; do
  fresh
  (cd w && exec "${strace[@]}" -o /dev/null "${slow[@]}" "$tavrix" "${args[@]}" ../new.hosts) 2> a.err &
  a=$!
  (cd w && exec "${strace[@]}" -o /dev/null "${slow[@]}" "$tavrix" "${args[@]}" ../other.hosts) 2> b.err &
  b=$!
  wait "$a"; sa=$?
  wait "$b"; sb=$?
  [ "$sa" -eq 0 ] && [ "$sb" -eq 0 ] || fail "concurrent pair $pair: statuses $sa and $sb"
  holds pair new || holds pair other || fail "concurrent pair $pair: a mix of two runs"
  [ "$(find w -name '.tavrix.*' | wc -l)" -eq 0 ] || fail "concurrent pair $pair: temporaries left"
done

# Every folder is synced after the renames into it: files that are
# symbolic links into two other folders.
fresh
mkdir -p w/d1 w/d2 && mv w/zkr.0001 w/d1/r1 && mv w/zkr.0002 w/d2/r2
ln -s d1/r1 w/zkr.0001 && ln -s d2/r2 w/zkr.0002
(cd w && "${strace[@]}" -y -o ../trace -e trace=renameat2,fsync "$tavrix" "${args[@]}" ../new.hosts)
status=$?
[ "$status" -eq 0 ] || fail "folders: status $status"
wd=$(cd w && pwd -P)
for folder in "$wd" "$wd/d1" "$wd/d2"; do
  sed -n '/^renameat2(/h; /^renameat2(/!H; ${x;p}' trace | grep -q "^fsync([0-9]*<$folder>)" ||
    fail "folder $folder is not synced after the last rename: $(cat trace)"
done

[ "$failures" -eq 0 ] && echo "commit: all checks passed"
[ "$failures" -eq 0 ]
