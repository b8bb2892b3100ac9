#!/bin/bash
# cpack builds a Debian package with the programs and their manual pages.
# usage: package.sh BINDIR SRCDIR
set -u
bindir=${1:?usage: package.sh BINDIR SRCDIR}

source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require cpack:cmake dpkg-deb:dpkg

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

if ! (cd "$bindir" && cpack -G DEB -B "$tmp") >"$tmp/log" 2>&1; then
  echo "FAIL: cpack -G DEB"
  cat "$tmp/log"
  exit 1
fi
debs=("$tmp"/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: expected one .deb in the output, got: $(ls "$tmp")"
  exit 1
fi
deb=${debs[0]}

status=0
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/tavrix ./usr/bin/serialinc \
         ./usr/share/man/man1/tavrix.1 ./usr/share/man/man1/serialinc.1 \
         ./usr/share/bash-completion/completions/tavrix; do
  if ! awk '{print $6}' <<<"$contents" | grep -qxF -e "$f"; then
    echo "FAIL: $f is not in the package"
    status=1
  fi
done

# field NAME VALUE: the control field must hold exactly VALUE.
field() {
  local got
  got=$(dpkg-deb -f "$deb" "$1")
  if [ "$got" != "$2" ]; then
    echo "FAIL: $1 is '$got', expected '$2'"
    status=1
  fi
}
field Package tavrix
field Version 1.3
field Section net
for f in Maintainer Description; do
  if [ -z "$(dpkg-deb -f "$deb" "$f")" ]; then
    echo "FAIL: no $f"
    status=1
  fi
done

[ $status -eq 0 ] && echo "package $(basename "$deb") is complete"
exit $status
