# Sourced by the package tests: builds the Debian package of a build tree.
# Needs cpack.

deb=

# build_deb BINDIR OUTDIR: runs cpack -G DEB for BINDIR into OUTDIR and sets
# $deb to the one package made; ends the test when that fails.
build_deb() {
  if ! (cd "$1" && cpack -G DEB -B "$2") >"$2/cpack.log" 2>&1; then
    echo "FAIL: cpack -G DEB"
    cat "$2/cpack.log"
    exit 1
  fi
  local debs=("$2"/*.deb)
  if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "FAIL: expected one .deb in the output, got: $(ls "$2")"
    exit 1
  fi
  deb=${debs[0]}
}
