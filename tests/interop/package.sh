#!/bin/bash
# dpkg-buildpackage builds the Debian package tavrix, with the programs,
# their compressed manual pages, both completions, the examples, the
# compressed changelog and the machine-readable copyright file with the
# licence, and beside it tavrix-dbgsym with the debugging symbols of both
# programs; hardening-check finds every protection in the packaged programs.
# usage: package.sh BINDIR SRCDIR
set -u
srcdir=${2:?usage: package.sh BINDIR SRCDIR}

source "$(dirname "${BASH_SOURCE[0]}")/lib/require.bash"
require dpkg-buildpackage:dpkg-dev dh:debhelper hardening-check:devscripts readelf:binutils

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

source "$(dirname "${BASH_SOURCE[0]}")/lib/package.bash"
build_deb "$srcdir" "$tmp/tavrix"

status=0
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/tavrix ./usr/bin/serialinc \
         ./usr/share/man/man1/tavrix.1.gz ./usr/share/man/man1/serialinc.1.gz \
         ./usr/share/bash-completion/completions/tavrix \
         ./usr/share/bash-completion/completions/serialinc \
         ./usr/share/doc/tavrix/changelog.gz ./usr/share/doc/tavrix/copyright \
         ./usr/share/doc/tavrix/examples/hosts \
         ./usr/share/doc/tavrix/examples/regen.sh; do
  if ! grep -qxF -e "$f" <<<"$contents"; then
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
         debian/changelog:./usr/share/doc/tavrix/changelog.gz; do
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
if ! packed ./usr/share/doc/tavrix/copyright | cmp -s - "$srcdir/debian/copyright" ||
   ! packed ./usr/share/doc/tavrix/copyright | grep -qx 'License: GPL-2+'; then
  echo "FAIL: the copyright file is not debian/copyright stating the licence GPL-2+"
  status=1
fi

# field DEB NAME VALUE: the control field of DEB must hold exactly VALUE.
field() {
  local got
  got=$(dpkg-deb -f "$1" "$2")
  if [ "$got" != "$3" ]; then
    echo "FAIL: $(basename "$1"): $2 is '$got', expected '$3'"
    status=1
  fi
}
field "$deb" Package tavrix
field "$deb" Version 1.3
field "$deb" Section net
for f in Maintainer Description Depends; do
  if [ -z "$(dpkg-deb -f "$deb" "$f")" ]; then
    echo "FAIL: no $f"
    status=1
  fi
done
field "$dbgsym" Package tavrix-dbgsym
field "$dbgsym" Depends "tavrix (= 1.3)"

# The symbols of each program are in tavrix-dbgsym under its build ID.
mkdir "$tmp/root" "$tmp/dbgsym"
dpkg-deb -x "$deb" "$tmp/root"
dpkg-deb -x "$dbgsym" "$tmp/dbgsym"
for p in tavrix serialinc; do
  id=$(readelf -n "$tmp/root/usr/bin/$p" | awk '/Build ID:/ { print $3 }')
  if [ -z "$id" ] || [ ! -f "$tmp/dbgsym/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug" ]; then
    echo "FAIL: tavrix-dbgsym holds no symbols for $p (build ID '$id')"
    status=1
  fi
  if readelf -S "$tmp/root/usr/bin/$p" | grep -q '\.debug_info'; then
    echo "FAIL: /usr/bin/$p is not stripped"
    status=1
  fi
done

# Every protection, control-flow protection included; stack-clash
# protection leaves no trace that the tool could see in small functions,
# so its "unknown" is no failure.
if ! hardening-check "$tmp/root/usr/bin/tavrix" "$tmp/root/usr/bin/serialinc" >"$tmp/hardening" 2>&1; then
  echo "FAIL: hardening-check on the packaged programs:"
  cat "$tmp/hardening"
  status=1
fi

[ $status -eq 0 ] && echo "packages $(basename "$deb") and $(basename "$dbgsym") are complete and hardened"
exit $status
