#!/bin/sh
# Regenerates the example zones of two views from the host file.
#
# usage: regen.sh WORKDIR [HOSTFILE]
#
# WORKDIR receives the zone files of examples/zones on the first run and
# keeps them afterwards, so that their serial numbers go on counting; every
# run rewrites the files that tavrix generates, raises the serial numbers
# with serialinc -u and checks every zone with named-checkzone. tavrix,
# serialinc and named-checkzone are taken from PATH.
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
for zone in "$here"/zones/*.zone; do
  [ -e "$work/${zone##*/}" ] || cp "$zone" "$work/"
done
cd "$work"

# tavrix writes into the current directory and creates only the files that
# get records: clear the old ones so that no stale record survives, and
# give every zone the files it includes, if need be empty.
rm -f zkd.* zkd_* zkr.* zkr_*
# shellcheck disable=SC2086
tavrix -f -S -w $prefixes "$hosts"
# shellcheck disable=SC2086
tavrix -r -b 48 -w $prefixes "$hosts"
for inc in $(sed -n 's/^\$INCLUDE[[:space:]]\{1,\}\([^[:space:];]\{1,\}\).*/\1/p' ./*.zone); do
  [ -e "$inc" ] || : >"$inc"
done

serialinc -u ./*.zone

# Out-of-zone names (the reverse zones' name servers) cannot be looked up
# here, so only in-zone names are checked for addresses.
for zone in ./*.zone; do
  name=${zone#./}
  named-checkzone -k fail -i local "${name%.zone}" "$name"
done
