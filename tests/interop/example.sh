#!/bin/bash
# examples/regen.sh turns the example host file into zones that
# named-checkzone accepts; a second run with nothing changed touches no
# file, and a third after one host changed raises exactly the serials of
# the zones that hold it; the
# update commands for examples/lab-hosts, fed to nsupdate, change a zone
# served by a named of our own on the loopback address.
# usage: example.sh BINDIR SRCDIR
set -u
bindir=${1:?usage: example.sh BINDIR SRCDIR}
srcdir=${2:?usage: example.sh BINDIR SRCDIR}

source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require named-checkzone:bind9-utils named:bind9 nsupdate:bind9-dnsutils dig:bind9-dnsutils

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
bindir=$(cd "$bindir" && pwd)
srcdir=$(cd "$srcdir" && pwd)
export PATH=$bindir:$PATH:/usr/sbin
work=$tmp/zones

status=0
# regen: runs the script once; its output is kept in $tmp/log.
regen() {
  if ! sh "$srcdir/examples/regen.sh" "$work" "$tmp/hosts" >"$tmp/log" 2>&1; then
    echo "FAIL: regen.sh run $1"
    cat "$tmp/log"
    exit 1
  fi
}
# serials: each zone file with the serial named-checkzone loaded from it.
serials() {
  sed -n 's|^zone \([^/]*\)/IN: loaded serial \([0-9]*\).*|\1 \2|p' "$tmp/log"
}

cp "$srcdir/examples/hosts" "$tmp/hosts"
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

# The template serial 2026010100 was raised.
while read -r zone serial; do
  if [ "$serial" -le 2026010100 ]; then
    echo "FAIL: $zone: serial $serial not raised"
    status=1
  fi
done <<<"$first"

# A second run with nothing changed leaves every file as it was.
files() { (cd "$work" && stat -c '%n %i %y' ./*); }
before=$(files)
regen 2
if [ "$(files)" != "$before" ] || [ "$(serials)" != "$first" ]; then
  echo "FAIL: the second run, with nothing changed, changed files or serials:"
  diff <(echo "$before") <(files)
  diff <(echo "$first") <(serials)
  status=1
fi

# After www (external only) got a new MAC address, exactly the serials of
# the external zones are raised.
sed -i 's/^www \(.*\)00-16-3e-4a-10-02/www \100-16-3e-4a-10-99/' "$tmp/hosts"
grep -q '^www .*00-16-3e-4a-10-99' "$tmp/hosts" || { echo "FAIL: www not changed"; exit 1; }
regen 3
third=$(serials)
while read -r zone serial; do
  old=$(awk -v z="$zone" '$1 == z {print $2}' <<<"$first")
  case $zone in
    example.com | 2.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa) raised=true ;;
    *) raised=false ;;
  esac
  if [ -z "$old" ] || { $raised && [ "$serial" -le "$old" ]; } ||
    { ! $raised && [ "$serial" -ne "$old" ]; }; then
    echo "FAIL: $zone: serial $serial after ${old:-nothing}, raised should be $raised"
    status=1
  fi
done <<<"$third"

# Dynamic updates. named serves the dynamic zone on 127.0.0.1 at a port
# that is free now; it is stopped again when the script ends.
dyn=$tmp/dyn
mkdir "$dyn"
cp "$srcdir/examples/zones/dynamic/lab.example.com.zone" "$dyn/"
source "$srcdir/tests/interop/lib/named.bash"
trap 'stop_named; rm -rf "$tmp"' EXIT
if ! start_named "$dyn" lab.example.com; then
  echo "FAIL: named did not answer on 127.0.0.1"
  cat "$dyn/named.log"
  exit 1
fi
port=$named_port

# nsupdate ARGS...: tavrix -d ARGS for the lab hosts, sent to our named.
nsupdate_lab() {
  { echo "server 127.0.0.1 $port"
    tavrix -d -o lab.example.com "$@" "$srcdir/examples/lab-hosts"
  } >"$tmp/update"
  if ! nsupdate -t 5 "$tmp/update" >"$tmp/nsupdate.log" 2>&1; then
    echo "FAIL: nsupdate for tavrix -d $*"
    cat "$tmp/update" "$tmp/nsupdate.log" "$dyn/named.log"
    status=1
  fi
}
aaaa() {  # the AAAA records of the zone, as name and address, sorted
  dig +noall +answer +tries=3 +time=5 @127.0.0.1 -p "$port" lab.example.com AXFR |
    awk '$4 == "AAAA" {print $1, $2, $5}' | sort
}

nsupdate_lab -p 2001:db8::/48
want="gw.lab.example.com. 86400 2001:db8:0:20::1
node1.lab.example.com. 86400 2001:db8:0:20:5054:ff:fe12:3401
node2.lab.example.com. 86400 2001:db8:0:20:5054:ff:fe12:3402
node3.lab.example.com. 300 2001:db8:0:20:5054:ff:fe12:3403
node4.lab.example.com. 300 2001:db8:0:20:5054:ff:fe12:3404"
got=$(aaaa)
if [ "$got" != "$want" ]; then
  echo "FAIL: zone after adding the lab hosts:"
  echo "$got"
  status=1
fi

# Renumbering one host: its old address goes, the new one comes.
nsupdate_lab -l node4 -P 2001:db8::/48 -p 2001:db8:3::/48
got=$(aaaa | grep '^node4\.')
if [ "$got" != "node4.lab.example.com. 300 2001:db8:3:20:5054:ff:fe12:3404" ]; then
  echo "FAIL: node4 after renumbering: $got"
  status=1
fi
if [ "$(aaaa | wc -l)" -ne 5 ]; then
  echo "FAIL: renumbering node4 changed other hosts:"
  aaaa
  status=1
fi

[ $status -eq 0 ] && echo "example zones regenerate and check, updates reach named"
exit $status
