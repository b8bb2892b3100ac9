#!/bin/bash
# Zones whose serial serialinc has incremented still load with BIND's
# named-checkzone, which reports the expected serial; the file keeps its
# size and inode, and its bytes outside the serial field stay as they were.
# A zone whose new serial would run into the next field is refused and
# left as it was.
#
# usage: bash serialinc_named_checkzone.sh BINDIR SRCDIR
set -u

bindir=$1
serialinc=$bindir/serialinc

source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require named-checkzone:bind9-utils named-compilezone:bind9-utils perl:perl-base

work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The serial named-checkzone reports for zone $1 in file $2.
loaded_serial() {
  named-checkzone "$1" "$2" 2>&1 | sed -n 's/^zone .*: loaded serial \([0-9]*\).*/\1/p'
}

# The file with the serial $2 and the white space after it masked.
masked() {
  perl -0777 -pe "s/(?<![0-9])$2\\s*/<serial>/" "$1"
}

# The serial serialinc prints for file $1.
printed_serial() {
  "$serialinc" "$1" | awk -F '\t' '{ sub(/^ */, "", $2); print $2 }'
}

# check_printed FILE SERIAL: serialinc prints the serial BIND loads.
check_printed() {
  local got
  got=$(printed_serial "$work/$1")
  [ "$got" = "$2" ] || fail "$1: serialinc prints '$got', named-checkzone loads $2"
}

# check ZONE FILE OLD NEW: the zone loads with OLD, serialinc -u makes it
# NEW, and nothing but the field changed; serialinc prints what BIND loads.
check() {
  local zone=$1 file=$work/$2 old=$3 new=$4 got
  got=$(loaded_serial "$zone" "$file")
  if [ "$got" != "$old" ]; then
    fail "$2: loads with serial '$got' before the increment, expected $old"
    named-checkzone "$zone" "$file" >&2
    return
  fi
  check_printed "$2" "$old"
  cp "$file" "$file.orig"
  local inode size
  inode=$(stat -c %i "$file")
  size=$(stat -c %s "$file")
  if ! "$serialinc" -u "$file"; then
    fail "$2: serialinc -u failed"
    return
  fi
  got=$(loaded_serial "$zone" "$file")
  if [ "$got" != "$new" ]; then
    fail "$2: loads with serial '$got' after the increment, expected $new"
    named-checkzone "$zone" "$file" >&2
  fi
  [ "$(stat -c %i "$file")" = "$inode" ] || fail "$2: the file was replaced"
  [ "$(stat -c %s "$file")" = "$size" ] || fail "$2: the file changed its size"
  if [ "$(masked "$file.orig" "$old")" != "$(masked "$file" "$new")" ]; then
    fail "$2: bytes outside the serial field changed"
    diff "$file.orig" "$file" >&2
  fi
  check_printed "$2" "$new"
}

# Date serial on the line after "(", in a dated future so that it counts on.
cat >"$work/db.example.com" <<'ZONE'
; example.com, maintained by hand
$TTL 3600
$ORIGIN example.com.
@	IN	SOA	ns1.example.com. hostmaster.example.com. (
		2099123105	; serial (date and version)
		7200		; refresh
		900		; retry
		1209600		; expire
		3600 )		; negative caching
	IN	NS	ns1.example.com.
ns1	IN	AAAA	2001:db8::53
www	IN	AAAA	2001:db8::80	; web server
ZONE
check example.com db.example.com 2099123105 2099123106

# Counter on the SOA line itself, after the mailbox.
cat >"$work/db.example.org" <<'ZONE'
example.org. 86400 IN SOA ns1.example.org. hostmaster.example.org. 41         7200 900 1209600 3600
example.org. 86400 IN NS ns1.example.org. ; the only name server
ns1.example.org. 86400 IN AAAA 2001:db8:1::53
ZONE
check example.org db.example.org 41 42

# Time stamp ahead of the clock, class and type in lower case, the serial
# alone on its line.
cat >"$work/db.example.net" <<'ZONE'
$ORIGIN example.net.
@ 3600 in soa ns1.example.net. hostmaster.example.net. (
	2000000000
	7200 900 1209600 3600 ; refresh retry expire minimum
)
@ 3600 IN NS ns1
ns1 3600 IN AAAA 2001:db8:2::53
ZONE
check example.net db.example.net 2000000000 2000000001

# check_refused ZONE FILE OLD: serialinc -u refuses the file, which stays
# as it was and still loads with OLD.
check_refused() {
  local zone=$1 file=$work/$2 old=$3 got
  cp "$file" "$file.orig"
  if "$serialinc" -u "$file" 2>/dev/null; then
    fail "$2: serialinc -u succeeded, expected a refusal"
  fi
  cmp -s "$file.orig" "$file" || fail "$2: a refused increment changed the file"
  got=$(loaded_serial "$zone" "$file")
  [ "$got" = "$old" ] || fail "$2: loads with serial '$got' after the refusal, expected $old"
  check_printed "$2" "$old"
}

# zone FILE: writes $work/FILE with the lines on standard input, then the
# zone's name server ns1 and its address.
zone() {
  { cat; printf '@ IN NS ns1\nns1 IN AAAA 2001:db8::53\n'; } >"$work/$1"
}

# The old one-line SOA record kept in a comment above the real one.
zone db.comment.test <<'ZONE'
$ORIGIN comment.test.
$TTL 3600
; @ IN SOA ns1.comment.test. hostmaster.comment.test. 2099010101 7200 900 1209600 3600
@ IN SOA ns1.comment.test. hostmaster.comment.test. 2099010105 7200 900 1209600 3600
ZONE
check comment.test db.comment.test 2099010105 2099010106

# A header comment with "in" and "SOA" in it, then text.
zone db.header.test <<'ZONE'
; Remember to increment the SOA serial (YYYYMMDDnn) on every change
$ORIGIN header.test.
$TTL 3600
@	IN	SOA	ns1 hostmaster (
		2099010105	; serial
		7200 900 1209600 3600 )
ZONE
check header.test db.header.test 2099010105 2099010106

# A ";" inside a quoted TXT string before the SOA record.
zone db.txt.test <<'ZONE'
$ORIGIN txt.test.
$TTL 3600
_policy	IN	TXT	"serials; those in SOA records count up by one per change"
@	IN	SOA	ns1 hostmaster (
		1000000041 ; serial
		7200 900 1209600 3600 )
ZONE
check txt.test db.txt.test 1000000041 1000000042

# A 9-digit counter on a one-line SOA record: with one blank after it the
# new serial would run into the refresh; with two it fits.
for blanks in one two; do
  gap=' '
  [ $blanks = two ] && gap='  '
  zone "db.$blanks.test" <<ZONE
\$ORIGIN $blanks.test.
\$TTL 3600
@ IN SOA ns1 hostmaster 999999999${gap}7200 900 1209600 3600
ZONE
done
check_refused one.test db.one.test 999999999
check two.test db.two.test 999999999 1000000000

# "(" before the serial on the SOA line, the other numbers on the next lines.
zone db.paren.test <<'ZONE'
$ORIGIN paren.test.
$TTL 3600
@ IN SOA ns1 hostmaster ( 2099010105 ; serial
	7200		; refresh
	900		; retry
	1209600		; expire
	3600 )		; minimum
ZONE
check paren.test db.paren.test 2099010105 2099010106

# A reverse zone as named-compilezone writes it in full: the serial on the
# SOA line, and the next line begins with a digit.
reverse=0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa
cat >"$work/reverse.src" <<'ZONE'
$TTL 86400
@ IN SOA ns1.example.com. hostmaster.example.com. ( 2099010105 7200 900 1209600 3600 )
  IN NS ns1.example.com.
5.5.4.4.3.3.e.f.f.f.2.2.1.1.2.0.1.0.0.0 IN PTR www.example.com.
ZONE
if named-compilezone -q -s full -o "$work/db.$reverse" "$reverse" "$work/reverse.src"; then
  check "$reverse" "db.$reverse" 2099010105 2099010106
else
  fail "named-compilezone could not write the reverse zone"
fi

# A TTL with a unit before the class.
cat >"$work/db.ttl.test" <<'ZONE'
$ORIGIN ttl.test.
@ 1D IN SOA ns1 hostmaster 1000000041 2h 15m 2w 1h
@ 1D IN NS ns1
ns1 1D IN AAAA 2001:db8::53
ZONE
check ttl.test db.ttl.test 1000000041 1000000042

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all zones load with the incremented serial"
