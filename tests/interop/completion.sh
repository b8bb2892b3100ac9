#!/bin/bash
# The bash completion offers tavrix's options and option arguments.
# usage: completion.sh BINDIR SRCDIR
set -u
srcdir=${2:?usage: completion.sh BINDIR SRCDIR}
script=$srcdir/completion/tavrix

if [ ! -f "$script" ]; then
  echo "FAIL: $script is missing"
  exit 1
fi
# shellcheck source=/dev/null
source "$script" || { echo "FAIL: sourcing $script"; exit 1; }

if ! complete -p tavrix >/dev/null 2>&1; then
  echo "FAIL: no completion registered for tavrix"
  exit 1
fi

failures=0

# complete WORDS...: runs the completion function as bash would for the
# command line WORDS, completing the last word; leaves the offers, one a
# line and sorted, in $offers.
complete_words() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _tavrix tavrix "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
  offers=$(printf '%s\n' "${COMPREPLY[@]}" | sort)
}

# expect NAME WANT DONTWANT WORDS...: WANT are words that must be offered
# (space separated), DONTWANT words that must not be.
expect() {
  local name=$1 want=$2 dontwant=$3
  shift 3
  complete_words "$@"
  local w
  for w in $want; do
    if ! grep -qxF -e "$w" <<<"$offers"; then
      echo "FAIL: $name: '$w' not offered; got: $(tr '\n' ' ' <<<"$offers")"
      failures=$((failures + 1))
    fi
  done
  for w in $dontwant; do
    if grep -qxF -e "$w" <<<"$offers"; then
      echo "FAIL: $name: '$w' offered"
      failures=$((failures + 1))
    fi
  done
}

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

count=$(wc -l <<<"$offers")
if [ "$count" -ne 2 ]; then
  echo "FAIL: host files: expected 2 offers, got $count"
  failures=$((failures + 1))
fi

if [ $failures -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "completion offers are right"
