# The update cases with several zones on one server: PTR updates applied to
# reverse zones (adds, a -P delete, -b 64 with hosts in several subnets),
# two scope domains that are zones of their own, a run that fails after its
# first 32 KiB of commands and so must apply nothing, and 5000 hosts over
# six zones. Sourced by the update tests after update_cases.bash, with the
# server serving every zone of $more_zones (lib/update_setup.bash) and these
# defined:
#   send_updates WHAT FILE  sends the update commands of FILE to the server;
#                           fails, and says so, when the client refuses them
#   axfr ZONE               the records of ZONE by AXFR, one a line
# and what lib/update_setup.bash defines (apply, tavrix_updates, ok, bad,
# $tavrix, $tmp).

# ptr_rrs: the PTR records, as zone_rrs gives them, of the lines read from
# standard input: address, TTL, target. Python's ipaddress names the owners.
ptr_rrs() {
  python3 -c '
import ipaddress, sys
for line in sys.stdin:
    addr, ttl, target = line.split()
    print(ipaddress.ip_address(addr).reverse_pointer + ".", ttl, target)
' | sort
}

# expect_zone WHAT ZONE TYPE: the TYPE records of ZONE are exactly those
# read from standard input (name, TTL, data).
expect_zone() {
  local what=$1 zone=$2 type=$3 want got
  want=$(sort)
  got=$(zone_rrs "$zone" "$type")
  if [ "$want" = "$got" ]; then
    ok "$what: $zone holds exactly the $(grep -c . <<<"$want") $type records expected"
  else
    bad "$what: $type records of $zone (-: expected, +: in the zone):"
    diff -u <(echo "$want") <(echo "$got") | grep '^[-+][^-+]' | head -10
  fi
}

# The server loads its zones one by one; each must answer before the cases,
# within a minute for all of them.
deadline=$((SECONDS + 60))
for z in $more_zones; do
  until axfr "$z" | awk '$4 == "SOA"' | grep -q .; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      bad "the server does not serve $z within 60 seconds"
      break
    fi
    sleep 0.1
  done
done

rev5=5.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa
cat >"$tmp/ptr-hosts" <<'EOF'
www              ::80      :1:
mail    <1h>     ::25      :1:
ns               ::53      :2:
EOF

what="PTR adds"
if apply "$what" -r -o example.com. -p 2001:db8:5::/48 "$tmp/ptr-hosts"; then
  ptr_rrs <<'EOF' | expect_zone "$what" $rev5 PTR
2001:db8:5:1::80 86400 www.example.com.
2001:db8:5:1::25 3600 mail.example.com.
2001:db8:5:2::53 86400 ns.example.com.
EOF
fi

what="a PTR delete with -P"
grep mail "$tmp/ptr-hosts" >"$tmp/ptr-mail"
if apply "$what" -r -o example.com. -P 2001:db8:5::/48 "$tmp/ptr-mail"; then
  ptr_rrs <<'EOF' | expect_zone "$what" $rev5 PTR
2001:db8:5:1::80 86400 www.example.com.
2001:db8:5:2::53 86400 ns.example.com.
EOF
fi

# With -b 64 each subnet is a reverse zone of its own: hosts that alternate
# between subnets give one message per zone.
what="-b 64 with hosts in three subnets"
cat >"$tmp/subnet-hosts" <<'EOF'
a ::a :1:
b ::b :2:
c ::c :3:
d ::d :1:
e ::e :2:
EOF
if apply "$what" -r -b 64 -o example.com. -p 2001:db8:6::/48 "$tmp/subnet-hosts"; then
  sends=$(grep -c '^send$' "$tmp/update.tx")
  [ "$sends" -eq 4 ] && ok "$what: one message for the forward zone, one for each subnet" ||
    bad "$what: $sends messages, expected 4 (the forward zone and three subnets)"
  for s in 1 2 3; do
    awk -v s=$s '$3 == ":" s ":" { print "2001:db8:6:" s "::" substr($2, 3), 86400, $1 ".example.com." }' \
      "$tmp/subnet-hosts" | ptr_rrs | expect_zone "$what" "$s.0.0.0.6.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa" PTR
  done
fi

# Two scopes whose domains are zones of their own on the one server: each
# message holds one zone's updates, and the whole run is applied.
cat >"$tmp/scope-hosts" <<'EOF'
%%SCOPE
org   o   example.org.   2001:db8:8::/48
net   n   example.net.   2001:db8:9::/48
%%HOST
s1    ::1    :1:    [org]
s2    ::2    :1:    [net]
s3    ::3    :2:    [org, net]
s4    ::4    :2:    [net]
EOF
what="two scope domains, two zones"
if apply "$what" -p 2001:db8:8::/48 -p 2001:db8:9::/48 "$tmp/scope-hosts"; then
  expect_zone "$what" example.org AAAA <<'EOF'
s1.example.org. 86400 2001:db8:8:1::1
s3.example.org. 86400 2001:db8:8:2::3
EOF
  expect_zone "$what" example.net AAAA <<'EOF'
s2.example.net. 86400 2001:db8:9:1::2
s3.example.net. 86400 2001:db8:9:2::3
s4.example.net. 86400 2001:db8:9:2::4
EOF
fi

# 5000 hosts alternating between the two scopes and two subnets: AAAA
# updates in two forward zones and PTR updates in four reverse zones.
{
  cat <<'EOF'
%%SCOPE
org   o   example.org.   2001:db8:8::/48
net   n   example.net.   2001:db8:9::/48
%%HOST
EOF
  for ((i = 1; i <= 5000; i++)); do
    printf 'b%d ::%x :%d: [%s]\n' "$i" "$i" $((i % 2 + 1)) "$( ((i % 4 < 2)) && echo org || echo net)"
  done
} >"$tmp/bulk-zones"

zones6="example.org example.net 1.0.0.0.8.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa
2.0.0.0.8.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa 1.0.0.0.9.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa
2.0.0.0.9.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa"

# A bad line after the first 32 KiB of commands: tavrix fails, writes
# nothing, and the client, reading what it wrote, changes no zone. Once with
# one zone, whose first messages an earlier tavrix had written before it
# failed, and once with PTR updates in six zones.
{ cat "$tmp/bulk-zones"; echo 'broken-line'; } >"$tmp/bad-zones"
for args in "-p 2001:db8:8::/48" "-r -b 64 -p 2001:db8:8::/48 -p 2001:db8:9::/48"; do
  what="a bad line after 32 KiB, tavrix -d $args"
  for z in $zones6; do axfr "$z" | sort; done >"$tmp/before"
  # shellcheck disable=SC2086 # the options are words
  "$tavrix" -d $args "$tmp/bad-zones" >"$tmp/update.tx" 2>"$tmp/tavrix.err"
  tstatus=$?
  [ "$tstatus" -eq 127 ] && ok "$what: tavrix exits with 127" ||
    bad "$what: tavrix exits with $tstatus, expected 127"
  [ ! -s "$tmp/update.tx" ] && ok "$what: tavrix writes nothing on standard output" ||
    bad "$what: tavrix writes $(wc -c <"$tmp/update.tx") bytes on standard output"
  send_updates "$what" "$tmp/update.tx"
  for z in $zones6; do axfr "$z" | sort; done >"$tmp/after"
  if [ -s "$tmp/before" ] && cmp -s "$tmp/before" "$tmp/after"; then
    ok "$what: every zone is as it was, serials included"
  else
    bad "$what: the zones changed:"
    diff "$tmp/before" "$tmp/after" | head -10
  fi
done

what="5000 hosts over six zones"
if apply "$what" -r -b 64 -p 2001:db8:8::/48 -p 2001:db8:9::/48 "$tmp/bulk-zones"; then
  for z in org net; do
    p=$([ $z = org ] && echo 8 || echo 9)
    awk -v z=$z -v p=$p '$4 == "[" z "]" {
        print $1 ".example." z ".", 86400, "2001:db8:" p ":" substr($3, 2, 1) "::" substr($2, 3)
      }' "$tmp/bulk-zones" >"$tmp/want-$z"
    { grep -v '^b' <(zone_rrs "example.$z" AAAA); cat "$tmp/want-$z"; } |
      expect_zone "$what" "example.$z" AAAA
    for s in 1 2; do
      awk -v s=$s '$3 ~ "^2001:db8:[89]:" s "::" { print $3, $2, $1 }' "$tmp/want-$z" |
        ptr_rrs | expect_zone "$what" "$s.0.0.0.$p.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa" PTR
    done
  done
fi
