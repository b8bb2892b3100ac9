#!/bin/bash
# Two package builds from the same sources in different folders (other
# names, other depths) give byte-identical .deb files; diffoscope, where
# installed, shows what differs.
# usage: package_reproducible.sh BINDIR SRCDIR
set -u
srcdir=${2:?usage: package_reproducible.sh BINDIR SRCDIR}

source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require dpkg-buildpackage:dpkg-dev dh:debhelper

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

source "$(dirname "${BASH_SOURCE[0]}")/lib/package.bash"
build_deb "$srcdir" "$tmp/first/tavrix"
first=("$deb" "$dbgsym")
build_deb "$srcdir" "$tmp/second/elsewhere/src"
second=("$deb" "$dbgsym")

status=0
for i in 0 1; do
  if cmp "${first[$i]}" "${second[$i]}"; then
    echo "ok: $(basename "${first[$i]}") is the same in both builds"
  else
    echo "FAIL: $(basename "${first[$i]}") differs between the builds"
    if command -v diffoscope >/dev/null 2>&1; then
      diffoscope --text - "${first[$i]}" "${second[$i]}" | head -60
    fi
    status=1
  fi
done
exit $status
