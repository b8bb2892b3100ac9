# Update mode: one zone per message, PTR updates with -r, and nothing on
# standard output from a run that does not end with status 0.

=== hosts alternating between two scope domains: each zone's commands make one message, in input order, zones in the order of their first update
$ tavrix -d -p 2001:db8:1::/48 -p 2001:db8:2::/48 hosts
--- file hosts
|%%SCOPE
|in internal int.example.com. 2001:db8:1::/48
|ex external example.com. 2001:db8:2::/48
|%%HOST
|a ::1 :1: [in]
|b ::2 :1: [ex]
|c ::3 :1: [in,ex]
|d ::4 :1: [ex]
--- stdout
|update add a.int.example.com. 	86400	IN AAAA 2001:db8:1:1::1
|update add c.int.example.com. 	86400	IN AAAA 2001:db8:1:1::3
|send
|update add b.example.com. 	86400	IN AAAA 2001:db8:2:1::2
|update add c.example.com. 	86400	IN AAAA 2001:db8:2:1::3
|update add d.example.com. 	86400	IN AAAA 2001:db8:2:1::4
|send

=== -d -r -b 64: the forward zone, then each subnet's reverse zone, in the order of their first update
$ tavrix -d -r -b 64 -t 1h -p 2001:db8::/48 hosts
--- file hosts
|a ::1 :2:
|b ::2 :1:
|c ::3 :2:
--- stdout
|update add a.example.com. 	3600	IN AAAA 2001:db8:0:2::1
|update add b.example.com. 	3600	IN AAAA 2001:db8:0:1::2
|update add c.example.com. 	3600	IN AAAA 2001:db8:0:2::3
|send
|update add 1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.2.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa. 	3600	IN PTR a.example.com.
|update add 3.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.2.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa. 	3600	IN PTR c.example.com.
|send
|update add 2.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa. 	3600	IN PTR b.example.com.
|send

=== -d -r: an empty -P deletes the AAAA set only; -l picks the host of PTR updates as of AAAA updates
$ tavrix -d -r -P '' -p 2001:db8::/48 hosts
$ tavrix -d -r -l www -p 2001:db8::/48 hosts
--- file hosts
|www ::1 :1:
|ns ::2 :1:
--- stdout
|update del www.example.com. 		IN AAAA
|update add www.example.com. 	86400	IN AAAA 2001:db8:0:1::1
|update del ns.example.com. 		IN AAAA
|update add ns.example.com. 	86400	IN AAAA 2001:db8:0:1::2
|send
|update add 1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa. 	86400	IN PTR www.example.com.
|update add 2.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa. 	86400	IN PTR ns.example.com.
|send
|update add www.example.com. 	86400	IN AAAA 2001:db8:0:1::1
|send
|update add 1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa. 	86400	IN PTR www.example.com.
|send

=== -vv echoes each host among the commands, before the ones spooled after it
$ tavrix -d -vv -r -p 2001:db8::/48 hosts
--- file hosts
|www ::1 :1:
--- stdout
|; www	::0000:0000:0000:0001	:0001:	[*]
|update add www.example.com. 	86400	IN AAAA 2001:db8:0:1::1
|send
|update add 1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa. 	86400	IN PTR www.example.com.
|debug
|send

=== 3000 hosts alternating between two zones: the messages of each zone follow one another, none past 32768 bytes
$ { printf '%%%%SCOPE\nin i int.example.com. 2001:db8:1::/48\nex e example.com. 2001:db8:2::/48\n%%%%HOST\n'; for i in $(seq 1 3000); do printf 'h%d ::%x :1: [%s]\n' $i $i $([ $((i % 2)) = 0 ] && echo in || echo ex); done; } > hosts
$ tavrix -d -p 2001:db8:1::/48 -p 2001:db8:2::/48 hosts > updates
$ awk '$1 == "send" { if (n > 32768) print "batch of", n; if (z != last) print z; last = z; n = 0; next } { zone = substr($3, index($3, ".") + 1); if (n > 0 && zone != z) print "two zones in one message"; n += length($0) + 1; z = zone }' updates
$ grep -c '^send$' updates; grep -c '^update add' updates
--- stdout
|example.com.
|int.example.com.
|7
|3000

=== a bad line after the first 32 KiB of commands: nothing on standard output, status 127
$ for i in $(seq 1 1500); do printf 'host%d ::%x :1:\n' $i $i; done > hosts; echo 'bad' >> hosts
$ tavrix -d -p 2001:db8::/48 hosts | wc -c; echo "status ${PIPESTATUS[0]}"
--- stdout
|0
|status 127
--- stderr
|hostidfromstr(): No mac address found near " ..."
|parsehostline(): no hostid found near " ..."
|tavrix: error parsing hostline in hosts line 1501
|tavrix: no update was written

=== a missing input file or a skipped long line: nothing on standard output, status 2
$ tavrix -d -p 2001:db8::/48 hosts missing | wc -c; echo "status ${PIPESTATUS[0]}"
$ { echo 'a ::1 :1:'; head -c 600 /dev/zero | tr '\0' x; echo; } > long
$ tavrix -d -p 2001:db8::/48 long | wc -c; echo "status ${PIPESTATUS[0]}"
--- file hosts
|a ::1 :1:
--- stdout
|0
|status 2
|0
|status 2
--- stderr
|Couldn't open inputfile missing for reading
|tavrix: no update was written
|line 2 too long; skipping
|tavrix: no update was written

=== the spool is a temporary in TMPDIR, unlinked at once; a write error on it ends the run with nothing written
$ for i in $(seq 1 400); do printf 'host%d ::%x :1:\n' $i $i; done > many
$ TMPDIR=. tavrix -d -p 2001:db8::/48 many | wc -l; ls -A | sort | paste -sd ' '
$ (ulimit -f 8; trap '' XFSZ; TMPDIR=. tavrix -d -p 2001:db8::/48 many | wc -c; echo "status ${PIPESTATUS[0]}")
$ ls -A | sort | paste -sd ' '
--- stdout
|401
|many
|0
|status 127
|many
--- stderr
|tavrix: error writing the update spool: File too large
|tavrix: no update was written
