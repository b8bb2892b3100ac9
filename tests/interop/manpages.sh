#!/bin/bash
# The manual pages must format without a single mandoc warning or error.
# usage: manpages.sh BINDIR SRCDIR
set -u
srcdir=${2:?usage: manpages.sh BINDIR SRCDIR}

source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require mandoc:mandoc

status=0
for page in "$srcdir"/man/tavrix.1 "$srcdir"/man/serialinc.1; do
  if [ ! -f "$page" ]; then
    echo "FAIL: $page is missing"
    status=1
    continue
  fi
  # mandoc warns when its own database lacks a referenced page; that says
  # nothing about the page itself.
  out=$(mandoc -T lint -W warning "$page" 2>&1 | grep -v 'outdated mandoc.db')
  if [ -n "$out" ]; then
    echo "FAIL: $page"
    echo "$out"
    status=1
  fi
done

# Both pages state the licence: GPL, version 2 or any later version.
for page in tavrix serialinc; do
  text=$(mandoc -T ascii "$srcdir/man/$page.1" | sed -e 's/.\x08//g' | tr -s ' \n' '  ')
  if ! grep -q 'GNU General Public License as published by the Free Software Foundation, either version 2 of the License, or (at your option) any later version' <<<"$text"; then
    echo "FAIL: $page.1 does not state the licence"
    status=1
  fi
done

# Every long option of tavrix is documented; the overstrike of bold and
# underlined text is removed before searching.
text=$(mandoc -T ascii "$srcdir/man/tavrix.1" | sed -e 's/.\x08//g')
for opt in help version revzone verbose comment delim write append forward \
           reverse bits ttl 6to4 origin prefix prefix-add add-prefix \
           prefix-remove prefix-del del-prefix ddns-update lookup squeeze \
           full-squeeze; do
  if ! grep -q -E -e "--$opt([],= []|$)" <<<"$text"; then
    echo "FAIL: tavrix.1 does not document --$opt"
    status=1
  fi
done

[ $status -eq 0 ] && echo "manual pages clean"
exit $status
