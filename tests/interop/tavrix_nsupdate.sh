#!/bin/bash
# tavrix -d output, fed to BIND's nsupdate, changes a zone served by a named
# of our own on the loopback address: adding the addresses of a host file,
# deleting the addresses of one prefix, deleting whole AAAA sets, and adding
# 5000 hosts, which takes several "send" batches; then the cases with several
# zones: PTR updates, scope domains that are zones of their own, a failed run
# that must apply nothing, and 5000 hosts over six zones.
# usage: tavrix_nsupdate.sh BINDIR SRCDIR
set -u
bindir=${1:?usage: tavrix_nsupdate.sh BINDIR SRCDIR}
srcdir=${2:?usage: tavrix_nsupdate.sh BINDIR SRCDIR}

export PATH=$PATH:/usr/sbin
source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require named:bind9 nsupdate:bind9-dnsutils dig:bind9-dnsutils python3:python3

source "$(dirname "${BASH_SOURCE[0]}")/lib/update_setup.bash"
source "$(dirname "${BASH_SOURCE[0]}")/lib/named.bash"
trap 'stop_named; rm -rf "$tmp"' EXIT

# shellcheck disable=SC2086 # the zone names are words
if ! start_named "$tmp" example.com $more_zones; then
  bad "named did not answer on 127.0.0.1:"
  cat "$tmp/named.log"
  exit 1
fi
port=$named_port
ok "named answers on 127.0.0.1 port $port"

# query_aaaa NAME: the addresses of NAME's AAAA records, asked of named.
query_aaaa() {
  dig +short +tries=3 +time=5 @127.0.0.1 -p "$port" "$1" AAAA
}

# send_updates WHAT FILE: the commands of FILE sent by nsupdate, which finds
# the zone of each message by asking for the SOA record of its names.
send_updates() {
  if ! { echo "server 127.0.0.1 $port"; cat "$2"; } |
      nsupdate -t 10 >"$tmp/nsupdate.log" 2>&1; then
    bad "$1: nsupdate refused the commands:"
    head -20 "$tmp/nsupdate.log"
    tail -20 "$tmp/named.log"
    return 1
  fi
}

# axfr ZONE: the records of ZONE by AXFR, one a line, fields separated by
# blanks.
axfr() {
  dig +noall +answer +tries=3 +time=5 @127.0.0.1 -p "$port" "$1" AXFR | awk '{ $1 = $1; print }'
}

source "$(dirname "${BASH_SOURCE[0]}")/lib/update_cases.bash"
source "$(dirname "${BASH_SOURCE[0]}")/lib/update_zone_cases.bash"

exit $status
