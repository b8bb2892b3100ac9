# -R: the ip6.arpa zone of a prefix (host names are resolved in tests/interop).

=== the zone of a /48, of a /48 at -b 56, of a whole address, of a /2
$ tavrix -R 2001:db8::/48
$ tavrix -R -b 56 2001:db8::/48
$ tavrix -R 2001:db8::
$ tavrix -R 2001:db8::/2
--- stdout
|0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa.
|0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa.
|0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa.
|ip6.arpa.

=== a length off the nibble boundary drops its incomplete nibble
$ tavrix -R 2001:db8:ff00::/42
--- stdout
|f.f.8.b.d.0.1.0.0.2.ip6.arpa.

=== ::/0 is the host ID form: sixteen nibbles
$ tavrix -R ::/0
--- stdout
|0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.ip6.arpa.

=== without operands nothing is printed; -r and the prefix list play no part
$ tavrix -R
$ tavrix -R -r 2001:db8::/32
$ tavrix -R -b 128 2001:db8::1
--- stdout
|8.b.d.0.1.0.0.2.ip6.arpa.
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa.
