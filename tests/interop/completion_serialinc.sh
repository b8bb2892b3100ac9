#!/bin/bash
# The bash completion offers serialinc's two options as its first argument
# only, nothing after -s, and zone files as operands.
# usage: completion_serialinc.sh BINDIR SRCDIR
set -u
srcdir=${2:?usage: completion_serialinc.sh BINDIR SRCDIR}

source "$(dirname "${BASH_SOURCE[0]}")/lib/completion.bash"
load_completion "$srcdir/completion/serialinc" serialinc

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
touch "$tmp/db.example.com" "$tmp/db.example.net" "$tmp/other"

expect "options" "-s -u" "" serialinc -
expect_count "options" 2
expect "option -u" "-u" "-s" serialinc -u
expect "no option after the first argument" "" "-s -u" serialinc -u -
expect "no option after a zone file" "" "-s -u" serialinc "$tmp/db.example.com" -
expect "nothing for the serial of -s" "" "-s -u $tmp/db.example.com" serialinc -s ""
expect_count "nothing for the serial of -s" 0
expect "nothing after -s serial" "" "$tmp/db.example.com" serialinc -s 1 "$tmp/"
expect_count "nothing after -s serial" 0
expect "zone files" "$tmp/db.example.com $tmp/db.example.net" "$tmp/other" \
  serialinc "$tmp/db."
expect_count "zone files" 2
expect "zone files after -u" "$tmp/db.example.com $tmp/db.example.net" "" \
  serialinc -u "$tmp/db."
expect_count "zone files after -u" 2
expect "more zone files" "$tmp/db.example.net" "" \
  serialinc -u "$tmp/db.example.com" "$tmp/db.example.n"
expect_count "more zone files" 1

finish "serialinc completion offers are right"
