#!/bin/bash
# examples/regen.sh turns the example host file into zones that
# named-checkzone accepts, and raises their serial numbers on every run.
# usage: example.sh BINDIR SRCDIR
set -u
bindir=${1:?usage: example.sh BINDIR SRCDIR}
srcdir=${2:?usage: example.sh BINDIR SRCDIR}

if ! command -v named-checkzone >/dev/null 2>&1; then
  echo "named-checkzone not found (Debian package bind9-utils)"
  [ "${CI:-}" = true ] && exit 1
  exit 77
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
bindir=$(cd "$bindir" && pwd)
srcdir=$(cd "$srcdir" && pwd)
export PATH=$bindir:$PATH
work=$tmp/zones

status=0
# regen: runs the script once; its output is kept in $tmp/log.
regen() {
  if ! sh "$srcdir/examples/regen.sh" "$work" >"$tmp/log" 2>&1; then
    echo "FAIL: regen.sh run $1"
    cat "$tmp/log"
    exit 1
  fi
}
# serials: each zone file with the serial named-checkzone loaded from it.
serials() {
  sed -n 's|^zone \([^/]*\)/IN: loaded serial \([0-9]*\).*|\1 \2|p' "$tmp/log"
}

regen 1
first=$(serials)
if [ "$(wc -l <<<"$first")" -ne 4 ]; then
  echo "FAIL: expected 4 zones loaded, got:"
  cat "$tmp/log"
  exit 1
fi

# Every view got its records, and only its own hosts.
check() {  # FILE PATTERN present|absent
  if grep -q -e "$2" "$work/$1"; then
    [ "$3" = present ] && return
  else
    [ "$3" = absent ] && return
  fi
  echo "FAIL: $1: '$2' should be $3"
  status=1
}
check zkd_internal.int.example.com. '^ldap .*IN  AAAA	2001:db8:1:1::389 $' present
check zkd_internal.int.example.com. '^www ' absent
check zkd_external.example.com. '^www .*IN  AAAA	2001:db8:2:ff:216:3eff:fe4a:1002 $' present
check zkd_external.example.com. '^ldap ' absent
check zkd_external.example.com. '^	IN TXT "public web server"$' present
check zkr_internal.0 'IN  PTR	ldap\.int\.example\.com\. $' present
check zkr_external.0 'IN  PTR	www\.example\.com\. $' present
check zkr_external.0 'ldap' absent

# The template serial 2026010100 was raised, and a second run raises it again.
while read -r zone serial; do
  if [ "$serial" -le 2026010100 ]; then
    echo "FAIL: $zone: serial $serial not raised"
    status=1
  fi
done <<<"$first"
regen 2
second=$(serials)
while read -r zone serial; do
  old=$(awk -v z="$zone" '$1 == z {print $2}' <<<"$first")
  if [ -z "$old" ] || [ "$serial" -le "$old" ]; then
    echo "FAIL: $zone: serial $serial after ${old:-nothing} on the second run"
    status=1
  fi
done <<<"$second"

[ $status -eq 0 ] && echo "example zones regenerate and check"
exit $status
