# The start that the update tests share. Sourced with bindir and srcdir
# set; makes them absolute and sets tavrix, hosts (the host file
# tests/interop/data/update-hosts), tmp (a new folder, which the test
# removes) and status, defines ok, bad, apply, zone_rrs, zone_aaaa and
# tavrix_updates, and writes $tmp/example.com.zone, the zone the server
# starts with, and the files of the zones in $more_zones. The test defines
# send_updates and axfr (see lib/update_zone_cases.bash).

bindir=$(cd "$bindir" && pwd)
srcdir=$(cd "$srcdir" && pwd)
tavrix=$bindir/tavrix
hosts=$srcdir/tests/interop/data/update-hosts
tmp=$(mktemp -d)

status=0
ok() { echo "ok: $*"; }
bad() { echo "FAIL: $*"; status=1; }

cat >"$tmp/example.com.zone" <<'ZONE'
$TTL 1d
@       IN SOA  ns.example.com. hostmaster.example.com. 1 1h 15m 1w 1h
        IN NS   ns
ns      IN A    127.0.0.1
ZONE

# The zones of the cases with several zones (lib/update_zone_cases.bash),
# each in $tmp/ZONE.zone: two forward zones for two scopes, the reverse
# zone of 2001:db8:5::/48, and those of subnets 1 to 3 of 2001:db8:6::/48
# and of subnets 1 and 2 of 2001:db8:8::/48 and 2001:db8:9::/48.
more_zones="example.org example.net 5.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa"
for z in 1.0.0.0.6 2.0.0.0.6 3.0.0.0.6 1.0.0.0.8 2.0.0.0.8 1.0.0.0.9 2.0.0.0.9; do
  more_zones+=" $z.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa"
done
for z in $more_zones; do
  cat >"$tmp/$z.zone" <<'ZONE'
$TTL 1d
@       IN SOA  ns.example.com. hostmaster.example.com. 1 1h 15m 1w 1h
        IN NS   ns.example.com.
ZONE
done

# apply WHAT ARGS...: the update commands of tavrix -d ARGS, left in
# $tmp/update.tx, sent to the server by send_updates, which the test
# defines.
apply() {
  local what=$1
  shift
  tavrix_updates "$what" "$@" && send_updates "$what" "$tmp/update.tx" &&
    ok "$what: the server took the $(grep -c '^update ' "$tmp/update.tx") updates in $(grep -c '^send$' "$tmp/update.tx") messages of tavrix -d$(printf ' %q' "$@")"
}

# zone_rrs ZONE TYPE: the TYPE records of ZONE as name, TTL and data,
# sorted, by axfr, which the test defines.
zone_rrs() {
  axfr "$1" | awk -v t="$2" '$4 == t { print $1, $2, $5 }' | sort
}

# zone_aaaa: the AAAA records of the zone example.com.
zone_aaaa() { zone_rrs example.com AAAA; }

# tavrix_updates WHAT ARGS...: the update commands of tavrix -d ARGS into
# $tmp/update.tx; fails, and says so, when tavrix fails or complains.
tavrix_updates() {
  local what=$1
  shift
  if ! "$tavrix" -d "$@" >"$tmp/update.tx" 2>"$tmp/tavrix.err" ||
      [ -s "$tmp/tavrix.err" ]; then
    bad "$what: tavrix -d$(printf ' %q' "$@"):"
    cat "$tmp/tavrix.err"
    return 1
  fi
}
