# The update cases that tavrix -d output must pass on a server: adding the
# addresses of a host file over three prefixes, deleting the addresses of
# one prefix, deleting whole AAAA sets with an empty -P, and adding 5000
# hosts, which takes several "send" batches. Sourced by the update tests
# after they have started their server, with these defined:
#   apply WHAT ARGS...  sends the commands of tavrix -d ARGS (which it also
#                       leaves in $tmp/update.tx) to the server, whose zone
#                       example.com. they change
#   zone_aaaa           the AAAA records of the zone by AXFR, as name, TTL
#                       and address, sorted
#   query_aaaa NAME     the addresses of NAME's AAAA records by a query
#   ok, bad             report a passed and a failed check
# and $hosts, the host file tests/interop/data/update-hosts, and $tmp.

# The names of the host file, for the queries of every step.
names="ns1.example.com. ns1.int.example.com. mail.example.com.
mail.int.example.com. www.example.com. www.int.example.com. pc1.example.com.
pc1.int.example.com. pc2.example.com. pc2.int.example.com. quiet.example.com.
quiet.int.example.com."

# expect WHAT: the records read from standard input (name, TTL, address)
# are all the AAAA records of the zone, and each name answers with its own.
expect() {
  local all got want name answers=ok
  all=$(sort)
  got=$(zone_aaaa)
  if [ "$all" = "$got" ]; then
    ok "$what: the zone holds exactly the $(grep -c . <<<"$all") AAAA records expected"
  else
    bad "$what: AAAA records of the zone (-: expected, +: in the zone):"
    diff -u <(echo "$all") <(echo "$got") | grep '^[-+][^-+]'
  fi
  for name in $names; do
    want=$(awk -v n="$name" '$1 == n { print $3 }' <<<"$all" | sort)
    got=$(query_aaaa "$name" | sort)
    if [ "$want" != "$got" ]; then
      bad "$what: $name AAAA gives '$(paste -sd ' ' <<<"$got")', expected '$(paste -sd ' ' <<<"$want")'"
      answers=bad
    fi
  done
  [ $answers = ok ] && ok "$what: AAAA queries answer as expected for every host name"
}

what="add three prefixes"
apply "$what" -o example.com. -p 2001:db8:1::/48 -p 2001:db8:2::/48 \
  -p 2001:db8:3::/48 "$hosts"
expect <<'EOF'
ns1.int.example.com. 86400 2001:db8:1:1::53
ns1.example.com. 86400 2001:db8:2:1::53
ns1.example.com. 86400 2001:db8:3:1::53
mail.int.example.com. 3600 2001:db8:1:1:216:3eff:fe00:25
mail.example.com. 3600 2001:db8:2:1:216:3eff:fe00:25
mail.example.com. 3600 2001:db8:3:1:216:3eff:fe00:25
www.example.com. 300 2001:db8:2:2::80
www.example.com. 300 2001:db8:3:2::80
pc1.int.example.com. 86400 2001:db8:1:a0:3e52:82ff:fe00:1
pc1.example.com. 86400 2001:db8:3:a0:3e52:82ff:fe00:1
pc2.int.example.com. 7200 2001:db8:1:a0:3e52:82ff:fe00:2
pc2.example.com. 7200 2001:db8:3:a0:3e52:82ff:fe00:2
quiet.example.com. 86400 2001:db8:3:1::dead
EOF

# The delete entry binds to the external scope like an add entry: only the
# hosts of that scope lose their address in the prefix.
what="delete one prefix"
apply "$what" -o example.com. -P 2001:db8:2::/48 "$hosts"
expect <<'EOF'
ns1.int.example.com. 86400 2001:db8:1:1::53
ns1.example.com. 86400 2001:db8:3:1::53
mail.int.example.com. 3600 2001:db8:1:1:216:3eff:fe00:25
mail.example.com. 3600 2001:db8:3:1:216:3eff:fe00:25
www.example.com. 300 2001:db8:3:2::80
pc1.int.example.com. 86400 2001:db8:1:a0:3e52:82ff:fe00:1
pc1.example.com. 86400 2001:db8:3:a0:3e52:82ff:fe00:1
pc2.int.example.com. 7200 2001:db8:1:a0:3e52:82ff:fe00:2
pc2.example.com. 7200 2001:db8:3:a0:3e52:82ff:fe00:2
quiet.example.com. 86400 2001:db8:3:1::dead
EOF

# An empty -P deletes the whole AAAA set of each host under the origin;
# the names under the internal scope's domain stay.
what="delete all under the origin"
apply "$what" -o example.com. -P '' "$hosts"
expect <<'EOF'
ns1.int.example.com. 86400 2001:db8:1:1::53
mail.int.example.com. 3600 2001:db8:1:1:216:3eff:fe00:25
pc1.int.example.com. 86400 2001:db8:1:a0:3e52:82ff:fe00:1
pc2.int.example.com. 7200 2001:db8:1:a0:3e52:82ff:fe00:2
EOF

what="delete all under int.example.com."
apply "$what" -o int.example.com. -P '' "$hosts"
expect </dev/null

# 5000 hosts: more update text than one message should carry, so tavrix
# closes a batch with "send" before a line that would take the text since
# the last "send" past 32768 bytes.
what="add 5000 hosts"
{
  printf '%%%%SUBNET\nbulk :42:\n%%%%HOST\n'
  for ((i = 1; i <= 5000; i++)); do printf 'h%d ::%x bulk\n' "$i" "$i"; done
} >"$tmp/bulk-hosts"
if apply "$what" -o example.com. -p 2001:db8:9::/48 "$tmp/bulk-hosts"; then
  batches=$(awk '
    $0 == "send" {
      if (len > 32768) printf "batch %d: %d bytes\n", n + 1, len
      n++; len = 0; closed = 1; next
    }
    {
      if (closed && n > 0 && last + length($0) + 1 <= 32768)
        printf "batch %d closed with %d bytes, the next line would fit\n", n, last
      closed = 0; len += length($0) + 1; last = len
    }
    END {
      if (len > 0) print "no send after the last update line"
      print n, "sends"
    }' "$tmp/update.tx")
  sends=$(tail -1 <<<"$batches")
  if [ "$(grep -c . <<<"$batches")" -ne 1 ] || [ "${sends% sends}" -lt 2 ]; then
    bad "$what: send batching of the update text:"
    echo "$batches"
  else
    ok "$what: the update text is cut into $sends of at most 32768 bytes each"
  fi
  got=$(zone_aaaa | grep -c '^h[0-9]*\.example\.com\. 86400 2001:db8:9:42::')
  want=$(for ((i = 1; i <= 5000; i++)); do
           printf 'h%d.example.com. 86400 2001:db8:9:42::%x\n' "$i" "$i"
         done | sort)
  if [ "$(zone_aaaa)" = "$want" ]; then
    ok "$what: the zone holds all $got records and nothing else"
  else
    bad "$what: the zone holds $got of the 5000 AAAA records expected:"
    diff -u <(echo "$want") <(zone_aaaa) | grep '^[-+][^-+]' | head -10
  fi
fi

