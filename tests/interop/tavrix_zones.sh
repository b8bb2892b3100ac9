#!/bin/bash
# The files that tavrix -w writes, each wrapped in a zone of its own with SOA
# and NS that $INCLUDEs it, load on four servers without a warning and with
# every record: the AAAA and PTR lines tavrix wrote, the records of the
# continuation lines, and nothing else. BIND's named-checkzone (strict name
# checks), NSD's nsd-checkzone and Knot's kzonecheck check each zone;
# PowerDNS's zone2json reads all zones of a run from a named.conf, and a
# throwaway knotd loads them and hands them out by AXFR. The record counts
# of each server are printed. The forward and the reverse zones of each view
# also agree: every AAAA record has its PTR record, with the same TTL, and
# no PTR record is left over. Names at the limits of DNS (labels of 63
# characters, owners and targets of 254) load everywhere; names with "_" or
# a label that begins or ends with "-", which tavrix writes with a warning,
# load everywhere but in BIND's default check-names, and in BIND with
# check-names ignore.
# usage: tavrix_zones.sh BINDIR SRCDIR
set -u
bindir=${1:?usage: tavrix_zones.sh BINDIR SRCDIR}
srcdir=${2:?usage: tavrix_zones.sh BINDIR SRCDIR}

source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
export PATH=$PATH:/usr/sbin
require named-checkzone:bind9-utils python3:python3 kzonecheck:knot-dnssecutils \
  knotd:knot kdig:knot-dnsutils nsd-checkzone:nsd zone2json:pdns-server
source "$(dirname "${BASH_SOURCE[0]}")/lib/knot.bash"

bindir=$(cd "$bindir" && pwd)
srcdir=$(cd "$srcdir" && pwd)
tavrix=$bindir/tavrix
tmp=$(mktemp -d)
trap 'stop_knot; rm -rf "$tmp"' EXIT

status=0
# named-checkzone's check-names mode (-k); with "ignore" tavrix's warnings
# of such names are expected.
checknames=fail
namewarning="is no host name (\"_\", or \"-\" at the start or end of a label): BIND's check-names refuses it\$"
ok() { echo "ok: $*"; }
bad() { echo "FAIL: $*"; status=1; }

# record_types FILE: "TYPE COUNT" for the records of a file that tavrix
# wrote. Forward and reverse lines start with their owner; continuation
# lines start with white space and take the owner of the line above. The
# type is the word after the class, or the first word after owner and TTL.
record_types() {
  awk '
    /^[ \t]*(;|$)/ { next }
    {
      i = /^[ \t]/ ? 1 : 2
      if ($i ~ /^[0-9]+[smhdwSMHDW0-9]*$/) i++
      if ($i == "IN") i++
      n[$i]++
    }
    END { for (t in n) print t, n[t] }' "$1" | sort
}

# dump_types DUMP: "TYPE COUNT" for the records of a canonical zone dump.
dump_types() {
  awk '{ n[$4]++ } END { for (t in n) print t, n[t] }' "$1" | sort
}

# nsd_types DUMP: "TYPE COUNT" for the zone that nsd-checkzone -p printed:
# the type follows the class among the first three fields; the other lines
# are directives, comments and the continuation of the SOA record.
nsd_types() {
  awk '/^[$;]/ { next }
    { for (i = 1; i <= 3; i++) if ($i == "IN") { n[$(i + 1)]++; break } }
    END { for (t in n) print t, n[t] }' "$1" | sort
}

# axfr_types DUMP: "TYPE COUNT" for an AXFR printed by kdig, which has the
# SOA record at both ends.
axfr_types() {
  awk '{ n[$4]++ } END { n["SOA"]--; for (t in n) print t, n[t] }' "$1" | sort
}

# Records loaded by each server over all zones, for the summary at the end.
declare -A loaded_total=()

# same WHAT SERVER WANT GOT: whether a server loaded the records that
# tavrix wrote ("TYPE COUNT" lines); they are added to its total.
same() {
  if [ "$3" != "$4" ]; then
    bad "$1: $2 records differ:"
    echo "  from tavrix: $(paste -sd ' ' <<<"$3")"
    echo "  loaded:      $(paste -sd ' ' <<<"$4")"
    return 1
  fi
  loaded_total[$2]=$(( ${loaded_total[$2]:-0} + $(awk '{ s += $2 } END { print s + 0 }' <<<"$4") ))
}

# check_zone ZONE INCLUDE VIEW DIR: wraps INCLUDE in the zone ZONE, loads it
# in named-checkzone, nsd-checkzone and kzonecheck and compares its records
# with the lines of INCLUDE. The AAAA and PTR records of the dump are added
# to DIR/fwd and DIR/rev for the view; the zone, its file and its records
# from tavrix go to DIR/zones for the servers that load a whole run.
check_zone() {
  local zone=$1 inc=$2 view=$3 dir=$4
  local base=${inc##*/} wrap=$dir/wrap/${inc##*/}.zone dump=$dir/wrap/${inc##*/}.dump
  cat >"$wrap" <<ZONE
\$ORIGIN $zone
\$TTL 86400
@ IN SOA ns.invalid. hostmaster.invalid. 1 3600 900 604800 300
@ IN NS ns.invalid.
\$INCLUDE $inc
ZONE
  # -i local: the integrity checks look only at names inside the zone, so
  # that no name is ever looked up outside.
  named-checkzone -k "$checknames" -i local -D -o "$dump" "$zone" "$wrap" \
    >"$dir/wrap/$base.log" 2>&1
  local rc=$?
  local noise
  noise=$(grep -v -e "^zone ${zone%.}/IN: loaded serial 1\$" -e '^OK$' \
    "$dir/wrap/$base.log")
  if [ $rc -ne 0 ] || [ -n "$noise" ]; then
    bad "${dir##*/}: $base as $zone: named-checkzone exit $rc:"
    cat "$dir/wrap/$base.log"
    return 1
  fi
  local want what="${dir##*/}: $base as $zone"
  want=$( { record_types "$inc"; printf 'NS 1\nSOA 1\n'; } | sort)
  same "$what" named-checkzone "$want" "$(dump_types "$dump")" || return 1
  awk -v v="$view" '$4 == "AAAA" { print v, $5, $2, $1 }' "$dump" >>"$dir/fwd"
  awk -v v="$view" '$4 == "PTR" { print v, $1, $2, $5 }' "$dump" >>"$dir/rev"
  echo "$zone $wrap $(paste -sd , <<<"$want")" >>"$dir/zones"

  # NSD writes warnings to standard error and, with -p, the zone it read
  # to standard output.
  if ! nsd-checkzone -p "$zone" "$wrap" >"$dir/wrap/$base.nsd" \
      2>"$dir/wrap/$base.nsd.err" || [ -s "$dir/wrap/$base.nsd.err" ]; then
    bad "$what: nsd-checkzone:"
    cat "$dir/wrap/$base.nsd.err"
    return 1
  fi
  same "$what" nsd-checkzone "$want" "$(nsd_types "$dir/wrap/$base.nsd")" || return 1

  # kzonecheck is silent about a zone without a fault.
  if ! kzonecheck -o "$zone" "$wrap" >"$dir/wrap/$base.knot" 2>&1 ||
      [ -s "$dir/wrap/$base.knot" ]; then
    bad "$what: kzonecheck:"
    cat "$dir/wrap/$base.knot"
    return 1
  fi
  loaded_total[kzonecheck]=$(( ${loaded_total[kzonecheck]:-0} + 1 ))
  ok "$what: $(paste -sd ' ' <<<"$want") in named-checkzone and nsd-checkzone, no kzonecheck warning"
}

# check_servers DIR: the zones listed in DIR/zones, all at once, in
# PowerDNS's zone2json (through a named.conf) and in a knotd of their own;
# each must hold the records that tavrix wrote.
check_servers() {
  local dir=$1 zone wrap want nzones
  local name=${dir##*/}
  nzones=$(wc -l <"$dir/zones")
  {
    echo "options { directory \"$dir\"; };"
    while read -r zone wrap want; do
      echo "zone \"$zone\" { type master; file \"$wrap\"; };"
    done <"$dir/zones"
  } >"$dir/named.conf"
  # zone2json reports its progress and the sum on standard error, with
  # carriage returns and terminal escapes between.
  if ! zone2json --named-conf="$dir/named.conf" >"$dir/pdns.json" 2>"$dir/pdns.err"; then
    bad "$name: zone2json:"
    cat "$dir/pdns.err"
  else
    if ! tr '\r' '\n' <"$dir/pdns.err" | grep -q "^$nzones domains were fully parsed"; then
      bad "$name: zone2json did not parse all $nzones zones:"
      tr '\r' '\n' <"$dir/pdns.err"
    fi
    python3 - "$dir/pdns.json" "$dir/zones" >"$dir/pdns.types" <<'PY'
import collections, json, sys
zones = {z["name"]: collections.Counter(r["type"] for r in z["records"])
         for z in json.load(open(sys.argv[1]))}
for line in open(sys.argv[2]):
    zone = line.split()[0]
    types = zones.get(zone, zones.get(zone.rstrip("."), {}))
    print(zone, ",".join(f"{t} {n}" for t, n in sorted(types.items())))
PY
    while read -r zone wrap want; do
      same "$name: $zone" zone2json "$(tr , '\n' <<<"$want")" \
        "$(awk -v z="$zone" '$1 == z { print substr($0, length(z) + 2) }' "$dir/pdns.types" | tr , '\n')"
    done <"$dir/zones"
  fi

  mkdir "$dir/knot"
  local args=()
  while read -r zone wrap want; do args+=("$zone=$wrap"); done <"$dir/zones"
  if ! start_knot "$dir/knot" "${args[@]}"; then
    bad "$name: knotd did not serve the zones:"
    cat "$dir/knot/knot.log"
    return
  fi
  while read -r zone wrap want; do
    kdig +noall +answer +retry=2 +time=5 @127.0.0.1 -p "$knot_port" "$zone" AXFR \
      >"$dir/knot/$zone.axfr"
    same "$name: $zone" knotd "$(tr , '\n' <<<"$want")" "$(axfr_types "$dir/knot/$zone.axfr")"
  done <"$dir/zones"
  stop_knot
  if grep -E -e ' (warning|error|critical): ' "$dir/knot/knot.log"; then
    bad "$name: knotd warned while loading the zones"
  fi
  [ "$status" -eq 0 ] &&
    ok "$name: all $nzones zones hold the same records in zone2json and knotd"
}

# revzone_prefix PREFIX BITS SUBNET: the prefix of the reverse zone that
# holds the file of SUBNET (hex digits between PREFIX and BITS).
revzone_prefix() {
  python3 - "$@" <<'PY'
import ipaddress, sys
net = ipaddress.IPv6Network(sys.argv[1])
bits = int(sys.argv[2])
addr = int(net.network_address) | (int(sys.argv[3], 16) << (128 - bits))
print(f"{ipaddress.IPv6Address(addr)}/{bits}")
PY
}

# check_run NAME HOSTFILE BITS FLAGS PREFIX...: one tavrix -w run in a
# folder of its own, with every file it wrote checked as a zone. BITS is the
# reverse split, given as -b unless it is the prefix length.
check_run() {
  local name=$1 hosts=$2 bits=$3 flags=$4
  shift 4
  local dir=$tmp/$name p
  local popts=()
  for p in "$@"; do popts+=(-p "$p"); done
  local bopt=()
  [ "$bits" != "${1#*/}" ] && bopt=(-b "$bits")
  mkdir -p "$dir/wrap"
  : >"$dir/zones"
  : >"$dir/fwd"
  : >"$dir/rev"
  # shellcheck disable=SC2086
  local expected='^$'
  [ "$checknames" = ignore ] && expected=$namewarning
  if ! (cd "$dir" && "$tavrix" -w "${bopt[@]}" $flags "${popts[@]}" "$hosts") \
      >"$dir/wrap/tavrix.out" 2>&1 || grep -q -v -e "$expected" "$dir/wrap/tavrix.out"; then
    bad "$name: tavrix -w ${bopt[*]} $flags ${popts[*]}:"
    cat "$dir/wrap/tavrix.out"
    return
  fi

  # Which prefix each reverse file belongs to: the files of runs with that
  # prefix alone.
  local -A owner=()
  local i=0 f
  for p in "$@"; do
    i=$((i + 1))
    mkdir "$dir/wrap/$i"
    (cd "$dir/wrap/$i" && "$tavrix" -r -w "${bopt[@]}" -p "$p" "$hosts" 2>/dev/null)
    for f in "$dir/wrap/$i"/zkr*; do
      [ -e "$f" ] || continue
      f=${f##*/}
      if [ -n "${owner[$f]:-}" ]; then
        bad "$name: $f gets records of ${owner[$f]} and of $p"
      fi
      owner[$f]=$p
    done
  done

  local nfwd=0 nrev=0 zone view loaded=yes
  for f in "$dir"/zkd*; do
    [ -e "$f" ] || continue
    nfwd=$((nfwd + 1))
    f=${f##*/}
    case $f in
      zkd_*) view=${f#zkd_}; view=${view%%.*}; zone=${f#zkd_"$view".} ;;
      *) view=-; zone=${f#zkd.} ;;
    esac
    check_zone "$zone" "$dir/$f" "$view" "$dir" || loaded=no
  done
  for f in "$dir"/zkr*; do
    [ -e "$f" ] || continue
    nrev=$((nrev + 1))
    f=${f##*/}
    case $f in
      zkr_*) view=${f#zkr_}; view=${view%.*} ;;
      *) view=- ;;
    esac
    p=${owner[$f]:-}
    if [ -z "$p" ]; then
      bad "$name: $f is written by no run with a single prefix"
      continue
    fi
    zone=$("$tavrix" -R -b "$bits" "$(revzone_prefix "$p" "$bits" "${f##*.}")")
    check_zone "$zone" "$dir/$f" "$view" "$dir" || loaded=no
  done
  if [ $nfwd -eq 0 ] || [ $nrev -eq 0 ]; then
    bad "$name: $nfwd forward and $nrev reverse files written"
  fi
  [ -s "$dir/zones" ] && check_servers "$dir"

  # Forward and reverse agree within each view; a zone that failed to load
  # has been reported and would only add noise here.
  [ $loaded = yes ] || return
  local diffs
  diffs=$(python3 - "$dir/fwd" "$dir/rev" <<'PY'
import ipaddress, sys
fwd = set()
for line in open(sys.argv[1]):
    view, addr, ttl, owner = line.split()
    fwd.add((view, ipaddress.IPv6Address(addr).reverse_pointer + ".", ttl, owner))
rev = {tuple(line.split()) for line in open(sys.argv[2])}
for r in sorted(fwd - rev):
    print("no PTR for AAAA:", *r)
for r in sorted(rev - fwd):
    print("no AAAA for PTR:", *r)
PY
  )
  if [ -n "$diffs" ]; then
    bad "$name: forward and reverse zones disagree:"
    echo "$diffs"
  else
    ok "$name: $(wc -l <"$dir/fwd") AAAA records, each with its PTR record, in $nfwd forward and $nrev reverse zones"
  fi
}

example=$srcdir/examples/hosts
fixture=$srcdir/tests/interop/data/scoped-hosts
# The example's scopes bind 2001:db8:1::/48 and 2001:db8:2::/48 to two
# views; 2001:db8::/48 is in no scope and goes to the files without view.
check_run example-views "$example" 48 "" 2001:db8:1::/48 2001:db8:2::/48
check_run example-views-b64 "$example" 64 -S 2001:db8:1::/48 2001:db8:2::/48
check_run example-plain "$example" 48 -s 2001:db8::/48
check_run example-plain-b64 "$example" 64 "" 2001:db8::/48
check_run scoped "$fixture" 48 "" 2001:db8:1::/48 2001:db8:2::/48 2001:db8:4::/48
check_run scoped-b64 "$fixture" 64 -S 2001:db8:1::/48 2001:db8:2::/48 2001:db8:4::/48

# Names at the limits: a label of 63 characters, and owners and PTR targets
# of 254 characters with the final dot, in the origin and in a scope domain
# with a label of 63.
l63=$(head -c 63 /dev/zero | tr '\0' l)
limits=$tmp/limits-hosts
{
  printf '%%%%SCOPE\nplain plain example.com. 2001:db8:1::/48\n'
  printf 'wide wide %s.example.com. 2001:db8:2::/48\n%%%%HOST\n' "$l63"
  printf '%s ::1 :1:\n' "$l63"
  printf '%s ::2 :1: [plain]\n' "$l63.$l63.$l63.$(head -c 49 /dev/zero | tr '\0' m)"
  printf '%s ::3 :1: [wide]\n' "$l63.$l63.$(head -c 49 /dev/zero | tr '\0' n)"
} >"$limits"
check_run limits "$limits" 48 "" 2001:db8:1::/48 2001:db8:2::/48

# Names with "_" and labels with "-" at an end, in hosts and a scope domain.
underscores=$tmp/underscore-hosts
printf '%%%%SCOPE\nlab lab _lab.example.com. 2001:db8:2::/48\n%%%%HOST\n%s\n' \
  '_srv ::1 :1:' 'a-.b ::2 :1:' 'x_y.-z ::3 :1:' 'www ::4 :1:' >"$underscores"
checknames=ignore
check_run underscores "$underscores" 64 -S 2001:db8:1::/48 2001:db8:2::/48
checknames=fail
# The warning is true: BIND's default refuses the zone.
if named-checkzone -k fail -i local example.com. "$tmp/underscores/wrap/zkd.example.com..zone" \
    >/dev/null 2>&1; then
  bad "underscores: named-checkzone -k fail took the names tavrix warned of"
else
  ok "underscores: named-checkzone -k fail refuses the forward zone, as tavrix warned"
fi

echo "records loaded over all zones: named-checkzone ${loaded_total[named-checkzone]:-0}," \
  "nsd-checkzone ${loaded_total[nsd-checkzone]:-0}, zone2json ${loaded_total[zone2json]:-0}," \
  "knotd ${loaded_total[knotd]:-0}; kzonecheck: ${loaded_total[kzonecheck]:-0} zones without a warning"
exit $status
