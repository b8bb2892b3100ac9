#!/bin/bash
# `cmake --install` puts the programs, the manual pages, the completions and
# the examples where a Debian system looks for them, and the installed
# programs run. (The Debian package adds the changelog and the copyright
# file and compresses the manual pages: package.sh.)
# usage: install.sh BINDIR SRCDIR
set -u
bindir=${1:?usage: install.sh BINDIR SRCDIR}

source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require cmake:cmake

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

if ! DESTDIR=$tmp/root cmake --install "$bindir" --prefix /usr >"$tmp/log" 2>&1; then
  echo "FAIL: cmake --install"
  cat "$tmp/log"
  exit 1
fi

status=0
root=$tmp/root
for f in usr/bin/tavrix usr/bin/serialinc \
         usr/share/man/man1/tavrix.1 usr/share/man/man1/serialinc.1 \
         usr/share/bash-completion/completions/tavrix \
         usr/share/bash-completion/completions/serialinc \
         usr/share/doc/tavrix/examples/hosts \
         usr/share/doc/tavrix/examples/regen.sh; do
  if [ ! -f "$root/$f" ]; then
    echo "FAIL: /$f not installed"
    status=1
  fi
done
for f in usr/bin/tavrix usr/bin/serialinc usr/share/doc/tavrix/examples/regen.sh; do
  if [ -f "$root/$f" ] && [ ! -x "$root/$f" ]; then
    echo "FAIL: /$f is not executable"
    status=1
  fi
done
[ $status -eq 0 ] || exit 1

# run NAME EXPECTED-STATUS COMMAND...: the command's status must match.
run() {
  local name=$1 want=$2
  shift 2
  "$@" >"$tmp/out" 2>"$tmp/err"
  local got=$?
  if [ "$got" -ne "$want" ]; then
    echo "FAIL: $name exited with $got, expected $want"
    cat "$tmp/out" "$tmp/err"
    status=1
    return 1
  fi
}

if run "tavrix -V" 0 "$root/usr/bin/tavrix" -V &&
   ! grep -q '^tavrix version v1\.3' "$tmp/err"; then
  echo "FAIL: tavrix -V does not name version v1.3:"
  cat "$tmp/err"
  status=1
fi
if run "serialinc -s 1" 0 "$root/usr/bin/serialinc" -s 1 &&
   [ "$(cat "$tmp/out")" != "         1" ]; then
  echo "FAIL: serialinc -s 1 printed '$(cat "$tmp/out")'"
  status=1
fi

[ $status -eq 0 ] && echo "installed files are in place and run"
exit $status
