#!/bin/bash
# Zones whose serial serialinc has incremented still load with BIND's
# named-checkzone, which reports the expected serial; the file keeps its
# size and inode, and its bytes outside the serial field stay as they were.
#
# usage: bash serialinc_named_checkzone.sh BINDIR SRCDIR
set -u

bindir=$1
serialinc=$bindir/serialinc

source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require named-checkzone:bind9-utils perl:perl-base

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

# check ZONE FILE OLD NEW: the zone loads with OLD, serialinc -u makes it
# NEW, and nothing but the field changed.
check() {
  local zone=$1 file=$work/$2 old=$3 new=$4 got
  got=$(loaded_serial "$zone" "$file")
  if [ "$got" != "$old" ]; then
    fail "$2: loads with serial '$got' before the increment, expected $old"
    named-checkzone "$zone" "$file" >&2
    return
  fi
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

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all zones load with the incremented serial"
