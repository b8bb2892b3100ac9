# A throwaway Knot DNS server (knotd) on 127.0.0.1 for primary zones that
# take dynamic updates and zone transfers from 127.0.0.1. Sourced by the
# tests; needs knotd, kdig and python3.

source "$(dirname "${BASH_SOURCE[0]}")/port.bash"

knot_pid=
knot_port=

# stop_knot: ends the knotd started last, with KILL if TERM is not enough.
stop_knot() {
  if [ -n "$knot_pid" ]; then
    kill "$knot_pid" 2>/dev/null
    for _ in $(seq 50); do
      kill -0 "$knot_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$knot_pid" 2>/dev/null
    wait "$knot_pid" 2>/dev/null
    knot_pid=
  fi
}

# start_knot DIR ZONE=FILE...: serves each ZONE from FILE, with the
# configuration, storage, control socket and log (DIR/knot.log) in DIR, on a
# port that is free now (free_port); a port knotd cannot take after all gets
# two more tries. The zones keep their files as they are: updates go to the
# journal only. Sets knot_port and succeeds once every zone answers for its
# SOA, within twenty seconds a try, counted on the clock: a loaded machine
# starts knotd slowly.
start_knot() {
  local dir=$1 port z
  shift
  for _ in 1 2 3; do
    port=$(free_port)
    {
      echo "server:"
      echo "    rundir: \"$dir\""
      echo "    listen: 127.0.0.1@$port"
      # As root knotd would switch to the user knot, who cannot write here.
      [ "$(id -u)" -eq 0 ] && echo "    user: root:root"
      cat <<CONF
database:
    storage: "$dir"
control:
    listen: "$dir/knot.sock"
log:
  - target: "$dir/knot.log"
    any: info
acl:
  - id: loopback
    address: 127.0.0.1
    action: [transfer, update]
template:
  - id: default
    storage: "$dir"
    acl: loopback
    zonefile-sync: -1
    zonefile-load: whole
    journal-content: changes
    semantic-checks: on
zone:
CONF
      for z in "$@"; do
        echo "  - domain: \"${z%%=*}\""
        echo "    file: \"${z#*=}\""
      done
    } >"$dir/knot.conf"
    knotd -c "$dir/knot.conf" >>"$dir/knot.log" 2>&1 &
    knot_pid=$!
    local pending=("$@") deadline=$((SECONDS + 20))
    while [ $SECONDS -lt $deadline ]; do
      local left=()
      for z in "${pending[@]}"; do
        kdig +short +retry=0 +time=1 @127.0.0.1 -p "$port" "${z%%=*}" SOA 2>/dev/null |
          grep -q '^[^;]' || left+=("$z")
      done
      pending=("${left[@]}")
      if [ ${#pending[@]} -eq 0 ]; then
        knot_port=$port
        return 0
      fi
      kill -0 "$knot_pid" 2>/dev/null || break
      sleep 0.1
    done
    stop_knot
  done
  return 1
}
