#!/bin/bash
# The bash completion offers tavrix's options and option arguments.
# usage: completion.sh BINDIR SRCDIR
set -u
srcdir=${2:?usage: completion.sh BINDIR SRCDIR}
script=$srcdir/completion/tavrix

source "$(dirname "${BASH_SOURCE[0]}")/lib/completion.bash"
load_completion "$script" tavrix

expect "prefix options" \
  "--prefix= --prefix-add= --prefix-remove= --prefix-del=" \
  "--ttl= --add-prefix= --del-prefix= --help" \
  tavrix --p
expect "long options after other words" \
  "--full-squeeze" "--squeeze --forward" \
  tavrix -w --fu
expect "all long options" \
  "--help --version --revzone --verbose --comment= --delim= --write --append
   --forward --reverse --bits= --ttl= --6to4= --origin= --prefix= --prefix-add=
   --add-prefix= --prefix-remove= --prefix-del= --del-prefix= --ddns-update
   --lookup= --squeeze --full-squeeze" "" \
  tavrix --
expect "short options" \
  "-h -V -R -v -C -D -w -a -f -r -b -t -6 -o -p -P -d -l -s -S" "" \
  tavrix -
expect "split point as its own word" "48 56 64" "1h 47" tavrix -b ""
expect "split point after =" "--bits=48 --bits=64" "--bits=1h" tavrix --bits=
expect "ttl" "1h 1d" "48" tavrix -t 1
expect "no guess for a prefix" "" "--help -h 48" tavrix -p ""

# Operands are file names.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
touch "$tmp/hosts.lan" "$tmp/hosts.dmz"
expect "host files" "$tmp/hosts.lan $tmp/hosts.dmz" "" \
  tavrix -f -p 2001:db8::/48 "$tmp/hosts."

expect_count "host files" 2

finish "completion offers are right"
