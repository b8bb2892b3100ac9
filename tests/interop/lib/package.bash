# Sourced by the package tests: builds the Debian packages from the
# sources with dpkg-buildpackage, the tests left out (DEB_BUILD_OPTIONS=
# nocheck: they run in the build beside), as a new user would.
# Needs dpkg-buildpackage (dpkg-dev) and dh (debhelper).

deb= dbgsym= changes= buildinfo=

# build_deb SRCDIR DIR: copies the sources of SRCDIR (not .git, no build
# folders) into the new folder DIR, builds the packages there and sets $deb,
# $dbgsym, $changes and $buildinfo to what it made beside DIR; ends the test
# when that fails.
build_deb() {
  local src=$1 dir=$2 out
  out=$(dirname "$dir")
  mkdir -p "$dir" &&
    tar -C "$src" --exclude=./.git --exclude='./build*' --exclude='./obj-*' -cf - . |
    tar -C "$dir" -xf - || { echo "FAIL: copying the sources to $dir"; exit 1; }
  # A make or a package build around the test must not steer this one.
  if ! (cd "$dir" && env -u MAKEFLAGS -u MAKELEVEL -u MFLAGS -u DEB_BUILD_PROFILES \
          DEB_BUILD_OPTIONS=nocheck dpkg-buildpackage -us -uc -b) >"$out/build.log" 2>&1; then
    echo "FAIL: dpkg-buildpackage -us -uc -b in $dir:"
    tail -30 "$out/build.log"
    exit 1
  fi
  local v
  v=$(dpkg-parsechangelog -l "$dir/debian/changelog" -S Version)_$(dpkg --print-architecture)
  deb=$out/tavrix_$v.deb
  dbgsym=$out/tavrix-dbgsym_$v.deb
  changes=$out/tavrix_$v.changes
  buildinfo=$out/tavrix_$v.buildinfo
  local f
  for f in "$deb" "$dbgsym" "$changes" "$buildinfo"; do
    if [ ! -f "$f" ]; then
      echo "FAIL: dpkg-buildpackage did not make $(basename "$f"), only: $(ls "$out")"
      exit 1
    fi
  done
}
