#!/bin/bash
# tavrix -R with host names, resolved by the real system resolver from a
# private hosts file: unshare -m with bind mounts over /etc/hosts and
# /etc/nsswitch.conf, so that no query ever goes to a nameserver.
set -u
bindir=$1
source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require unshare:util-linux
unshare -m true 2>/dev/null || skip "unshare -m not permitted here (needs root)"

tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
cat >"$tmp/hosts" <<'HOSTS'
2001:db8::1 gw.lan
2001:db8::2 multi.lan
2001:db8:1::3 multi.lan
2001:db8:2::4 dot.lan.
::ffff:192.0.2.1 legacy
HOSTS
echo 'hosts: files' >"$tmp/nsswitch.conf"

run() {
  unshare -m sh -c 'mount --bind "$1/hosts" /etc/hosts &&
    mount --bind "$1/nsswitch.conf" /etc/nsswitch.conf && shift && exec "$@"' \
    sh "$tmp" "$bindir/tavrix" "$@" >"$tmp/out" 2>"$tmp/err"
  echo $? >"$tmp/status"
}
fail=0
check() {  # name, expected status, expected stdout, expected stderr
  local got_out got_err got_status
  got_out=$(cat "$tmp/out"); got_err=$(cat "$tmp/err"); got_status=$(cat "$tmp/status")
  if [ "$got_status" != "$2" ] || [ "$got_out" != "$3" ] || [ "$got_err" != "$4" ]; then
    echo "FAIL: $1"; echo "status $got_status (want $2)"
    diff <(echo "$3") <(echo "$got_out"); diff <(echo "$4") <(echo "$got_err")
    fail=1
  else
    echo "ok: $1"
  fi
}
tab=$'\t'

run -R -b 64 gw.lan
check "one address at -b 64" 0 "1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0  IN  PTR${tab}gw.lan.${tab}; 2001:db8::1" ""

run -R multi.lan
check "several addresses, all 32 nibbles without -b" 0 \
"2.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2  IN  PTR${tab}multi.lan.${tab}; 2001:db8::2
3.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0.8.b.d.0.1.0.0.2  IN  PTR${tab}multi.lan.${tab}; 2001:db8:1::3" ""

run -R -b 128 multi.lan
check "-b 128 prints no nibbles" 0 \
" IN  PTR${tab}multi.lan.${tab}; 2001:db8::2
 IN  PTR${tab}multi.lan.${tab}; 2001:db8:1::3" ""

run -R -b 64 dot.lan.
check "a name ending in a dot gets no second one" 0 \
"4.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0  IN  PTR${tab}dot.lan.${tab}; 2001:db8:2::4" ""

run -R -b 64 legacy
check "an IPv4-mapped address: the owner is the reverse of the address shown" 0 \
"1.0.2.0.0.0.0.c.f.f.f.f.0.0.0.0  IN  PTR${tab}legacy.${tab}; ::ffff:192.0.2.1" ""

run -R -b 64 nosuch.lan 2001:db8 gw.lan 2001:db8::/32
check "unknown names and malformed addresses are reported; the others printed; status 2" 2 \
"1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0  IN  PTR${tab}gw.lan.${tab}; 2001:db8::1
0.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa." \
"No AAAA record found for nosuch.lan
No AAAA record found for 2001:db8"
exit $fail
