# A throwaway named on 127.0.0.1 for primary zones that take dynamic updates
# and zone transfers from 127.0.0.1. Sourced by the tests; needs
# named, dig and python3.

source "$(dirname "${BASH_SOURCE[0]}")/port.bash"

named_pid=
named_port=

# stop_named: ends the named started last, with KILL if TERM is not enough.
stop_named() {
  if [ -n "$named_pid" ]; then
    kill "$named_pid" 2>/dev/null
    for _ in $(seq 50); do
      kill -0 "$named_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$named_pid" 2>/dev/null
    wait "$named_pid" 2>/dev/null
    named_pid=
  fi
}

# named_zone_conf ZONE: the configuration of the primary zone ZONE, served
# from ZONE.zone, taking updates and transfers from 127.0.0.1.
named_zone_conf() {
  cat <<CONF
zone "$1" {
        type primary;
        file "$1.zone";
        allow-update { 127.0.0.1; };
        allow-transfer { 127.0.0.1; };
};
CONF
}

# start_named DIR ZONE [ZONE...]: serves each ZONE from DIR/ZONE.zone, with
# the configuration, journal and log (DIR/named.log) in DIR, on a port that
# is free now (free_port); a port named cannot take after all gets two more
# tries. Sets named_port and succeeds once named answers for the first ZONE,
# within twenty seconds a try, counted on the clock: a loaded machine starts
# named slowly.
start_named() {
  local dir=$1 zone=$2 user=() port
  local zones=("${@:2}")
  [ "$(id -u)" -eq 0 ] && user=(-u root)
  for _ in 1 2 3; do
    port=$(free_port)
    cat >"$dir/named.conf" <<CONF
options {
        directory "$dir";
        pid-file "$dir/named.pid";
        listen-on port $port { 127.0.0.1; };
        listen-on-v6 { none; };
        recursion no;
        dnssec-validation no;
};
controls { };
CONF
    for z in "${zones[@]}"; do named_zone_conf "$z"; done >>"$dir/named.conf"
    named -g -c "$dir/named.conf" "${user[@]}" >"$dir/named.log" 2>&1 &
    named_pid=$!
    local deadline=$((SECONDS + 20))
    while [ $SECONDS -lt $deadline ]; do
      # dig writes its own failures to standard output too, behind ";".
      if dig +short +tries=1 +time=1 @127.0.0.1 -p "$port" "$zone" SOA 2>/dev/null |
          grep -q '^[^;]'; then
        named_port=$port
        return 0
      fi
      kill -0 "$named_pid" 2>/dev/null || break
      sleep 0.1
    done
    stop_named
  done
  return 1
}
