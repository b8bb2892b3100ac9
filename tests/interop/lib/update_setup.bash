# The start that the update tests share. Sourced with bindir and srcdir
# set; makes them absolute and sets tavrix, hosts (the host file
# tests/interop/data/update-hosts), tmp (a new folder, which the test
# removes) and status, defines ok and bad, and writes $tmp/example.com.zone,
# the zone the server starts with.

bindir=$(cd "$bindir" && pwd)
srcdir=$(cd "$srcdir" && pwd)
tavrix=$bindir/tavrix
hosts=$srcdir/tests/interop/data/update-hosts
tmp=$(mktemp -d)

status=0
ok() { echo "ok: $*"; }
bad() { echo "FAIL: $*"; status=1; }

cat >"$tmp/example.com.zone" <<'ZONE'
$TTL 1d
@       IN SOA  ns.example.com. hostmaster.example.com. 1 1h 15m 1w 1h
        IN NS   ns
ns      IN A    127.0.0.1
ZONE

# tavrix_updates WHAT ARGS...: the update commands of tavrix -d ARGS into
# $tmp/update.tx; fails, and says so, when tavrix fails or complains.
tavrix_updates() {
  local what=$1
  shift
  if ! "$tavrix" -d "$@" >"$tmp/update.tx" 2>"$tmp/tavrix.err" ||
      [ -s "$tmp/tavrix.err" ]; then
    bad "$what: tavrix -d$(printf ' %q' "$@"):"
    cat "$tmp/tavrix.err"
    return 1
  fi
}
