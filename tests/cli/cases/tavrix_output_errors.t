# Output that cannot be written is an error; update output comes in batches.

=== forward, reverse and update output on a full device end with status 127
$ tavrix -f -p 2001:db8::/48 hosts >/dev/full
$ tavrix -r -p 2001:db8::/48 hosts >/dev/full
$ tavrix -d -p 2001:db8::/48 hosts >/dev/full
$ tavrix -R 2001:db8::/32 >/dev/full
--- file hosts
|a ::1 :1:
--- stderr
|tavrix: error writing standard output: No space left on device
|tavrix: error writing standard output: No space left on device
|tavrix: error writing standard output: No space left on device
|tavrix: error writing standard output: No space left on device
--- status 127

=== each debug dump on a full standard error ends the run with status 127, before the host after it
$ for c in print-subnetlist print-scopelist print-prefixlist; do sed "s/DUMP/$c/" hosts.in > hosts; tavrix -f -v -p 2001:db8::/48 hosts 2>/dev/full; echo "$c status $?"; done
--- file hosts.in
|%%SUBNET
|lan :5:
|%%SCOPE
|int internal int.example.com. 2001:db8::/32
|%%HOST
|%%DEBUG DUMP
|a ::1 lan
--- stdout
|print-subnetlist status 127
|print-scopelist status 127
|print-prefixlist status 127

=== update output is sent in batches of at most 32768 bytes
$ for i in $(seq 1 1500); do printf 'host%d ::%x :1:\n' $i $i; done > hosts
$ tavrix -d -p 2001:db8::/48 hosts > updates
$ grep -c '^send$' updates; grep -c '^update add' updates; tail -1 updates
$ awk '/^send$/ { if (n > 32768) print "batch of", n; n = 0; next } { n += length($0) + 1 }' updates
--- stdout
|3
|1500
|send

=== a small update run is sent once, at the end
$ tavrix -d -p 2001:db8::/48 -p 2001:db8:1::/48 hosts | grep -c '^send$'
--- file hosts
|a ::1 :1:
|b ::2 :1:
--- stdout
|1
