#!/bin/sh
# Regenerates the example zones of two views from the host file.
#
# usage: regen.sh WORKDIR [HOSTFILE]
#
# WORKDIR receives the zone files of examples/zones on the first run and
# keeps them afterwards, so that their serial numbers go on counting. Every
# run has tavrix write the files it generates (a file whose content stays
# the same is left untouched), raises with serialinc -u the serial numbers
# of the zones that are new or whose included files changed, and checks
# every zone with named-checkzone. A run in which no host changed changes
# no file. tavrix, serialinc and named-checkzone are taken from PATH.
set -eu

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 WORKDIR [HOSTFILE]" >&2
  exit 1
fi

here=$(cd "$(dirname "$0")" && pwd)
work=$1
hosts=${2:-$here/hosts}
case $hosts in
  /*) ;;
  *) hosts=$(pwd)/$hosts ;;
esac

# The prefixes of the two views; the scopes of the host file bind them to
# the views internal and external.
prefixes="-p 2001:db8:1::/48 -p 2001:db8:2::/48"

mkdir -p "$work"
new_zones=
for zone in "$here"/zones/*.zone; do
  if [ ! -e "$work/${zone##*/}" ]; then
    cp "$zone" "$work/"
    new_zones="$new_zones ${zone##*/}"
  fi
done
cd "$work"

# includes ZONE: the files ZONE includes.
includes() {
  sed -n 's/^\$INCLUDE[[:space:]]\{1,\}\([^[:space:];]\{1,\}\).*/\1/p' "$1"
}
# state ZONE: inode and modification time of each file ZONE includes; a
# file tavrix replaced has moved in both.
state() {
  for inc in $(includes "$1"); do
    stat -c '%n %i %y' "$inc" 2>/dev/null || echo "$inc missing"
  done
}
before=$(mktemp -d)
trap 'rm -rf "$before"' EXIT
for zone in ./*.zone; do state "$zone" >"$before/${zone#./}"; done

# tavrix replaces its files only when a run succeeds, so a failed run
# leaves the last good ones; it writes every forward file of a view even
# when no host is left in it.
# shellcheck disable=SC2086
tavrix -f -S -w $prefixes "$hosts"
# shellcheck disable=SC2086
tavrix -r -b 48 -w $prefixes "$hosts"
# A reverse zone whose hosts are all gone still needs its file, if empty.
for zone in ./*.zone; do
  for inc in $(includes "$zone"); do
    [ -e "$inc" ] || : >"$inc"
  done
done

changed=
for zone in ./*.zone; do
  name=${zone#./}
  case " $new_zones " in
    *" $name "*) changed="$changed $name"; continue ;;
  esac
  state "$zone" | cmp -s - "$before/$name" || changed="$changed $name"
done
# shellcheck disable=SC2086
[ -z "$changed" ] || serialinc -u $changed

# Out-of-zone names (the reverse zones' name servers) cannot be looked up
# here, so only in-zone names are checked for addresses.
for zone in ./*.zone; do
  name=${zone#./}
  named-checkzone -k fail -i local "${name%.zone}" "$name"
done
