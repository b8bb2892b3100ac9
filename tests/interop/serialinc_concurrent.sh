#!/bin/bash
# Concurrent serialinc runs on one zone: 20 rounds of 10 parallel
# increments of a counter raise it by exactly 200 and change nothing
# outside the serial field, while print mode, run alongside in a loop,
# only ever prints serials the increments pass through.
#
# usage: bash serialinc_concurrent.sh BINDIR SRCDIR
set -u
bindir=$(cd "$1" && pwd) || exit 1
work=$(mktemp -d) || exit 1
reader=
cleanup() {
  [ -n "$reader" ] && kill "$reader" 2>/dev/null && wait "$reader" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work" || exit 1

cat > zone <<'ZONE'
$TTL 3600
@	IN	SOA	ns1.example.com. hostmaster.example.com. (
		1000          ; serial
		7200 900 1209600 3600 )
	IN	NS	ns1.example.com.
ZONE
cp zone before

# The reader stops by itself after a bounded number of reads.
( for _ in $(seq 1 3000); do
    [ -e done ] && break
    "$bindir/serialinc" zone
  done > seen 2> seen.err ) &
reader=$!

for _ in $(seq 1 20); do
  for _ in $(seq 1 10); do "$bindir/serialinc" -u zone & done
  wait $(jobs -p | grep -vx "$reader")
done
touch done
wait "$reader"
reader=

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
serial=$(awk '/; serial/ { print $1 }' zone)
[ "$serial" = 1200 ] || fail "serial $serial after 200 increments of 1000, expected 1200"
sed 's/^\t\t1200          ; serial/\t\t1000          ; serial/' zone | cmp -s - before ||
  fail "bytes outside the serial field changed"
reads=$(wc -l < seen)
[ "$reads" -gt 0 ] || fail "print mode printed nothing"
[ -s seen.err ] && fail "print mode complained: $(head -3 seen.err)"
bad=$(awk '$2 !~ /^[0-9]+$/ || $2 < 1000 || $2 > 1200' seen | head -3)
[ -z "$bad" ] || fail "print mode saw serials outside 1000..1200: $bad"
echo "200 increments: serial 1000 -> $serial; $reads reads alongside, all within range"
[ "$failures" -eq 0 ]
