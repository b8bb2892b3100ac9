#!/bin/bash
# tavrix -d output, fed to Knot's knsupdate, changes a zone served by a
# knotd of our own on the loopback address: the same cases as for BIND's
# nsupdate (adds, a delete for one prefix, empty -P deletes, 5000 hosts in
# several "send" batches, and the cases with several zones), each checked by
# AXFR and queries with kdig.
# usage: tavrix_knsupdate.sh BINDIR SRCDIR
set -u
bindir=${1:?usage: tavrix_knsupdate.sh BINDIR SRCDIR}
srcdir=${2:?usage: tavrix_knsupdate.sh BINDIR SRCDIR}

export PATH=$PATH:/usr/sbin
source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require knotd:knot knsupdate:knot-dnsutils kdig:knot-dnsutils python3:python3

source "$(dirname "${BASH_SOURCE[0]}")/lib/update_setup.bash"
source "$(dirname "${BASH_SOURCE[0]}")/lib/knot.bash"
trap 'stop_knot; rm -rf "$tmp"' EXIT

knot_zones=(example.com.="$tmp/example.com.zone")
for z in $more_zones; do knot_zones+=("$z.=$tmp/$z.zone"); done
if ! start_knot "$tmp" "${knot_zones[@]}"; then
  bad "knotd did not answer on 127.0.0.1:"
  cat "$tmp/knot.log"
  exit 1
fi
port=$knot_port
ok "knotd answers on 127.0.0.1 port $port"

# query_aaaa NAME: the addresses of NAME's AAAA records, asked of knotd.
query_aaaa() {
  kdig +short +retry=2 +time=5 @127.0.0.1 -p "$port" "$1" AAAA
}

# send_updates WHAT FILE: the commands of FILE sent by knsupdate. Unlike
# nsupdate, knsupdate does not find the zone by asking for the SOA record of
# the names; each message is headed by its zone: the served zone that the
# owner of its first update ends in, the longest such. knsupdate reports a
# refused update on standard error and goes on.
send_updates() {
  {
    echo "server 127.0.0.1 $port"
    awk -v zones="example.com $more_zones" '
      BEGIN { n = split(zones, z, " ") }
      /^update / && !open {
        best = ""
        for (i = 1; i <= n; i++) {
          s = "." z[i] "."
          o = "." $3
          if (length(o) >= length(s) && substr(o, length(o) - length(s) + 1) == s &&
              length(s) > length(best))
            best = s
        }
        print "zone " substr(best, 2)
        open = 1
      }
      $0 == "send" { open = 0 }
      { print }' "$2"
  } >"$tmp/update"
  if ! knsupdate -t 10 "$tmp/update" >"$tmp/knsupdate.log" 2>&1 ||
      [ -s "$tmp/knsupdate.log" ]; then
    bad "$1: knsupdate refused the commands:"
    head -20 "$tmp/knsupdate.log"
    tail -20 "$tmp/knot.log"
    return 1
  fi
}

# axfr ZONE: the records of ZONE by AXFR, one a line, fields separated by
# blanks.
axfr() {
  kdig +noall +answer +retry=2 +time=5 @127.0.0.1 -p "$port" "$1" AXFR | awk '{ $1 = $1; print }'
}

source "$(dirname "${BASH_SOURCE[0]}")/lib/update_cases.bash"
source "$(dirname "${BASH_SOURCE[0]}")/lib/update_zone_cases.bash"

exit $status
