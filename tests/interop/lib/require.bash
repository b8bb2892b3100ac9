# Sourced by the interop tests. A test whose tool is missing is skipped
# (exit 77, which CTest reports as skipped), except with CI=true, where a
# missing tool is a failure.

skip() {
  if [ "${CI:-}" = true ]; then echo "FAIL: $*"; exit 1; fi
  echo "SKIP: $*"; exit 77
}

# require TOOL:PACKAGE ...
require() {
  local tool
  for tool in "$@"; do
    PATH=$PATH:/usr/sbin command -v "${tool%%:*}" >/dev/null 2>&1 ||
      skip "${tool%%:*} not found (Debian package ${tool#*:})"
  done
}
