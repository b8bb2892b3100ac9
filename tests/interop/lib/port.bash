# Sourced by the server harnesses (named.bash, knot.bash); needs python3.

# free_port: prints a port of 127.0.0.1 that is free now for both UDP and
# TCP, outside the range the kernel hands out to client sockets when it can.
# A server on a port of that range can meet a client, dig say, whose own
# port is the same one by chance: as root with SO_REUSEPORT (dig and named
# both set it) the kernel lets the two share it, and dig then reads its own
# query back as the answer (";; Warning: query response not set").
free_port() {
  python3 - <<'PY'
import random, socket

def free(port):
    for kind in (socket.SOCK_DGRAM, socket.SOCK_STREAM):
        s = socket.socket(socket.AF_INET, kind)
        try:
            s.bind(("127.0.0.1", port))
        except OSError:
            return False
        finally:
            s.close()
    return True

with open("/proc/sys/net/ipv4/ip_local_port_range") as f:
    low, high = map(int, f.read().split())
outside = [p for p in range(1024, 65536) if p < low or p > high]
for port in random.sample(outside, min(len(outside), 100)):
    if free(port):
        print(port)
        break
else:
    # Nothing outside the client range: any free port, as the kernel picks.
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    print(s.getsockname()[1])
PY
}
