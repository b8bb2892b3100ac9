#!/bin/bash
# cpack builds a Debian package with the programs, their compressed manual
# pages, both completions, the changelog and the machine-readable copyright
# file with the licence.
# usage: package.sh BINDIR SRCDIR
set -u
bindir=${1:?usage: package.sh BINDIR SRCDIR}
srcdir=${2:?usage: package.sh BINDIR SRCDIR}

source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require cpack:cmake dpkg-deb:dpkg

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

source "$(dirname "${BASH_SOURCE[0]}")/lib/package.bash"
build_deb "$bindir" "$tmp"

status=0
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/tavrix ./usr/bin/serialinc \
         ./usr/share/man/man1/tavrix.1.gz ./usr/share/man/man1/serialinc.1.gz \
         ./usr/share/bash-completion/completions/tavrix \
         ./usr/share/bash-completion/completions/serialinc \
         ./usr/share/doc/tavrix/changelog.gz ./usr/share/doc/tavrix/copyright; do
  if ! awk '{print $6}' <<<"$contents" | grep -qxF -e "$f"; then
    echo "FAIL: $f is not in the package"
    status=1
  fi
done

# packed FILE: the content of FILE in the package, on standard output.
packed() {
  dpkg-deb --fsys-tarfile "$deb" | tar -xOf - "$1"
}

# The compressed files hold their sources, packed without name or time.
for f in man/tavrix.1:./usr/share/man/man1/tavrix.1.gz \
         man/serialinc.1:./usr/share/man/man1/serialinc.1.gz \
         cmake/debian/changelog:./usr/share/doc/tavrix/changelog.gz; do
  if ! packed "${f#*:}" | gunzip | cmp -s - "$srcdir/${f%%:*}"; then
    echo "FAIL: ${f#*:} does not unpack to ${f%%:*}"
    status=1
  fi
  # gzip -n leaves the flags (no file name) and the time stamp at zero.
  if [ "$(packed "${f#*:}" | od -An -tu1 -j3 -N5 | tr -d ' ')" != 00000 ]; then
    echo "FAIL: ${f#*:} keeps a file name or time stamp (not gzip -n)"
    status=1
  fi
done
if ! packed ./usr/share/doc/tavrix/copyright | grep -qx 'License: GPL-2+'; then
  echo "FAIL: the copyright file does not state the licence GPL-2+"
  status=1
fi

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
