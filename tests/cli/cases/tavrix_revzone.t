# -R: the ip6.arpa zone of a prefix (host names are resolved in tests/interop).
# An address with an IPv4 part in the middle of its text is no prefix to
# tavrix; the resolver reads it as a number, without looking anything up, so
# these cases also run the resolver path (answer list and all) under the
# leak checkers of the sanitizer and valgrind builds.

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

=== a resolved IPv4-mapped address: the owner is the reverse of the address the comment shows
$ tavrix -R -b 64 0:0:0:0:0:ffff:192.0.2.1
$ tavrix -R 0:0:0:0:0:ffff:192.0.2.1 1:2:3:4:5:6:1.2.3.4
--- stdout
|1.0.2.0.0.0.0.c.f.f.f.f.0.0.0.0  IN  PTR	0:0:0:0:0:ffff:192.0.2.1.	; ::ffff:192.0.2.1
|1.0.2.0.0.0.0.c.f.f.f.f.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0  IN  PTR	0:0:0:0:0:ffff:192.0.2.1.	; ::ffff:192.0.2.1
|4.0.3.0.2.0.1.0.6.0.0.0.5.0.0.0.4.0.0.0.3.0.0.0.2.0.0.0.1.0.0.0  IN  PTR	1:2:3:4:5:6:1.2.3.4.	; 1:2:3:4:5:6:102:304
