#!/bin/bash
# The Debian package that cpack builds passes lintian without an error or
# a warning (and without overrides).
# usage: package_lintian.sh BINDIR SRCDIR
set -u
bindir=${1:?usage: package_lintian.sh BINDIR SRCDIR}

source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require cpack:cmake lintian:lintian dpkg-shlibdeps:dpkg-dev

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

source "$(dirname "${BASH_SOURCE[0]}")/lib/package.bash"
build_deb "$bindir" "$tmp"

# lintian complains on standard error when run as root; the tags are on
# standard output.
lintian --fail-on error,warning --display-level '>=warning' "$deb" \
  >"$tmp/lintian.out" 2>"$tmp/lintian.err"
rc=$?
if [ $rc -ne 0 ] || [ -s "$tmp/lintian.out" ]; then
  echo "FAIL: lintian exit $rc on $(basename "$deb"):"
  cat "$tmp/lintian.out"
  grep -v 'running with root privileges' "$tmp/lintian.err"
  exit 1
fi
echo "lintian: no error or warning for $(basename "$deb")"
