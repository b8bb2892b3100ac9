#!/bin/bash
# The Debian packages that dpkg-buildpackage builds pass lintian without an
# error or a warning (and without overrides): the .changes, the .buildinfo
# and both .deb files.
# usage: package_lintian.sh BINDIR SRCDIR
set -u
srcdir=${2:?usage: package_lintian.sh BINDIR SRCDIR}

source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require dpkg-buildpackage:dpkg-dev dh:debhelper lintian:lintian

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

source "$(dirname "${BASH_SOURCE[0]}")/lib/package.bash"
build_deb "$srcdir" "$tmp/tavrix"

# lintian complains on standard error when run as root; the tags are on
# standard output.
lintian --fail-on error,warning --display-level '>=warning' \
  "$changes" "$buildinfo" "$deb" "$dbgsym" >"$tmp/lintian.out" 2>"$tmp/lintian.err"
rc=$?
if [ $rc -ne 0 ] || [ -s "$tmp/lintian.out" ]; then
  echo "FAIL: lintian exit $rc:"
  cat "$tmp/lintian.out"
  grep -v 'running with root privileges' "$tmp/lintian.err"
  exit 1
fi
echo "lintian: no error or warning for $(basename "$changes"), $(basename "$buildinfo"), $(basename "$deb") and $(basename "$dbgsym")"
