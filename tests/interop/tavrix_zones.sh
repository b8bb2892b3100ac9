#!/bin/bash
# The files that tavrix -w writes, each wrapped in a zone of its own with SOA
# and NS, load in BIND's named-checkzone with strict name checks, without a
# warning and with every record: the AAAA and PTR lines tavrix wrote, the
# records of the continuation lines, and nothing else. The forward and the
# reverse zones of each view also agree: every AAAA record has its PTR
# record, with the same TTL, and no PTR record is left over.
# usage: tavrix_zones.sh BINDIR SRCDIR
set -u
bindir=${1:?usage: tavrix_zones.sh BINDIR SRCDIR}
srcdir=${2:?usage: tavrix_zones.sh BINDIR SRCDIR}

source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require named-checkzone:bind9-utils python3:python3
# Knot's checker is a second opinion where it is installed.
kzonecheck=$(command -v kzonecheck || true)

bindir=$(cd "$bindir" && pwd)
srcdir=$(cd "$srcdir" && pwd)
tavrix=$bindir/tavrix
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

status=0
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

# check_zone ZONE INCLUDE VIEW DIR: wraps INCLUDE in the zone ZONE, loads it
# and compares its records with the lines of INCLUDE. The AAAA and PTR
# records of the dump are added to DIR/fwd and DIR/rev for the view.
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
  named-checkzone -k fail -i local -D -o "$dump" "$zone" "$wrap" \
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
  local want got
  want=$( { record_types "$inc"; printf 'NS 1\nSOA 1\n'; } | sort)
  got=$(dump_types "$dump")
  if [ "$want" != "$got" ]; then
    bad "${dir##*/}: $base as $zone: records differ:"
    echo "  from tavrix: $(paste -sd ' ' <<<"$want")"
    echo "  loaded:      $(paste -sd ' ' <<<"$got")"
    return 1
  fi
  ok "${dir##*/}: $base loads as $zone with $(paste -sd ' ' <<<"$got")"
  awk -v v="$view" '$4 == "AAAA" { print v, $5, $2, $1 }' "$dump" >>"$dir/fwd"
  awk -v v="$view" '$4 == "PTR" { print v, $1, $2, $5 }' "$dump" >>"$dir/rev"

  if [ -n "$kzonecheck" ]; then
    if kzonecheck -o "$zone" "$wrap" >"$dir/wrap/$base.knot" 2>&1; then
      ok "${dir##*/}: $base as $zone passes kzonecheck"
    else
      bad "${dir##*/}: $base as $zone: kzonecheck:"
      cat "$dir/wrap/$base.knot"
    fi
  fi
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
  : >"$dir/fwd"
  : >"$dir/rev"
  # shellcheck disable=SC2086
  if ! (cd "$dir" && "$tavrix" -w "${bopt[@]}" $flags "${popts[@]}" "$hosts") \
      >"$dir/wrap/tavrix.out" 2>&1 || [ -s "$dir/wrap/tavrix.out" ]; then
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
    (cd "$dir/wrap/$i" && "$tavrix" -r -w "${bopt[@]}" -p "$p" "$hosts")
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

exit $status
