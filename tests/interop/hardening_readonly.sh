#!/bin/bash
# Output into a read-only file system: tavrix -w and -a end with status 127
# and their message, serialinc -u refuses with error -1 and leaves the zone
# as it was, while reading still works. The read-only bind mount lives in a
# private mount namespace (unshare -m), which needs root or user namespaces.
#
# usage: bash hardening_readonly.sh BINDIR SRCDIR
set -u

bindir=$(cd "$1" && pwd) || exit 1

skip() {
  echo "$*" >&2
  [ "${CI:-}" = true ] && exit 1
  exit 77
}
command -v unshare >/dev/null 2>&1 || skip "unshare not found: install the Debian package util-linux"
command -v mount >/dev/null 2>&1 || skip "mount not found: install the Debian package mount"
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
mkdir "$work/ro"
unshare -m --propagation private sh -c "mount --bind '$work/ro' '$work/ro' &&
  mount -o remount,bind,ro '$work/ro' '$work/ro'" 2>/dev/null ||
  skip "no private read-only bind mount here (unshare -m needs root or user namespaces)"

cd "$work" || exit 1
printf 'a ::1 :1:\n' > hosts
printf '; zone\n' > ro/zkd.example.com.
printf '@ IN SOA ns. hm. (\n  1000000041 ; serial\n  3600 )\n' > ro/db
cp ro/zkd.example.com. ro/db .

# Everything inside the namespace; its output is compared as a whole.
PATH=$bindir:$PATH
export PATH
unshare -m --propagation private bash -c '
  mount --bind ro ro && mount -o remount,bind,ro ro ro || exit 99
  cd ro
  tavrix -w -f -p 2001:db8::/48 ../hosts; echo "forward -w status $?"
  tavrix -w -r -b 64 -p 2001:db8::/48 ../hosts; echo "reverse -w status $?"
  tavrix -a -f -p 2001:db8::/48 ../hosts; echo "forward -a status $?"
  serialinc -u db; echo "serialinc -u status $?"
  serialinc db; echo "serialinc status $?"
' > out 2>&1 < /dev/null

cat > want <<'END'
tavrix: error in opening forward outputfile zkd.example.com.: Read-only file system
forward -w status 127
tavrix: error in opening reverse outputfile for subnet 0001: zkr.0001: Read-only file system
reverse -w status 127
tavrix: error in opening forward outputfile zkd.example.com.: Read-only file system
forward -a status 127
Can not increment serial number in db
error -1:  couldn't open zone file for modifying
serialinc -u status 2
db                            	1000000041
serialinc status 0
END
failures=0
if ! diff -u want out; then
  echo "FAIL: messages and statuses in the read-only folder" >&2
  failures=$((failures + 1))
fi
for f in zkd.example.com. db; do
  if ! cmp -s "$f" "ro/$f"; then
    echo "FAIL: ro/$f changed" >&2
    failures=$((failures + 1))
  fi
done
if [ -e ro/zkr.0001 ]; then
  echo "FAIL: ro/zkr.0001 was made" >&2
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] && echo "read-only output: all checks passed"
[ "$failures" -eq 0 ]
