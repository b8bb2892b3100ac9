# Names: every owner and PTR target is one DNS can hold; names that are no
# host names are written with a warning; a host without name.

=== a host name with a final dot, an empty label or a label of 64 characters fails its line in every mode
$ l64=$(head -c 64 /dev/zero | tr '\0' l)
$ for h in www. a..b x.$l64; do printf 'ok ::1 :1:\n%s ::2 :2:\n' $h > hosts; tavrix -f -S -p 2001:db8::/48 hosts >out 2>err; echo "status $?"; cat out err; done
$ for m in -r -d; do tavrix $m -p 2001:db8::/48 hosts 2>&1 >/dev/null; done
--- stdout
|status 127
|ok                   		IN  AAAA	2001:db8:0:1::1 
|parsehostfile(): host name "www." ends with a dot (host names are relative to their domain)
|tavrix: error parsing hostline in hosts line 2
|status 127
|ok                   		IN  AAAA	2001:db8:0:1::1 
|parsehostfile(): host name "a..b" has an empty label
|tavrix: error parsing hostline in hosts line 2
|status 127
|ok                   		IN  AAAA	2001:db8:0:1::1 
|parsehostfile(): host name "x.llllllllllllllllllllllllllllllllllllllllllllllllllllllllllllllll" has a label of more than 63 characters
|tavrix: error parsing hostline in hosts line 2
|parsehostfile(): host name "x.llllllllllllllllllllllllllllllllllllllllllllllllllllllllllllllll" has a label of more than 63 characters
|tavrix: error parsing hostline in hosts line 2
|parsehostfile(): host name "x.llllllllllllllllllllllllllllllllllllllllllllllllllllllllllllllll" has a label of more than 63 characters
|tavrix: error parsing hostline in hosts line 2
|tavrix: no update was written
--- status 127

=== labels of 63 characters are written; forward-only runs refuse a name too long with its domain
$ l63=$(head -c 63 /dev/zero | tr '\0' l)
$ printf '%s ::1 :1:\n' $l63.$l63.$l63.$(head -c 49 /dev/zero | tr '\0' l) > h241
$ printf '%s ::1 :1:\n' $l63.$l63.$l63.$(head -c 50 /dev/zero | tr '\0' l) > h242
$ tavrix -f -p 2001:db8::/48 h241 | awk '{ print length($1) }'
$ tavrix -f -p 2001:db8::/48 h242 2>&1 | tr -s l; echo "status ${PIPESTATUS[0]}"
--- stdout
|241
|parsehostfile(): host name "l.l.l.l" in domain example.com. makes a name longer than 254 characters
|tavrix: error parsing hostline in h242 line 1
|status 127

=== a name is checked only when a record would be written for it
$ tavrix -d -l other -p 2001:db8::/48 hosts
$ tavrix -f -p 2001:db8:1::/48 hosts
--- file hosts
|%%SCOPE
|lab lab lab.example.com. 2001:db8:1::/48
|%%HOST
|www. ::1 :1: [none]
--- stdout
|send
--- stderr
|hosts line 4: no %%SCOPE line read so far defines the scope "none" of the scope list
|hosts line 4: no %%SCOPE line read so far defines the scope "none" of the scope list

=== a name with "_" or a label that begins or ends with "-" is written, with one warning per host line
$ tavrix -S -b 64 -p 2001:db8::/48 -p 2001:db8:1::/48 hosts; echo "status $?"
--- file hosts
|_srv ::1 :1:
|a-.b ::2 :1:
|x.-y ::3 :1:
|a-b.c ::4 :1:
--- stdout
|_srv                 		IN  AAAA	2001:db8:0:1::1 
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	_srv.example.com. ; subnetid: 0001
|_srv                 		IN  AAAA	2001:db8:1:1::1 
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	_srv.example.com. ; subnetid: 0001
|a-.b                 		IN  AAAA	2001:db8:0:1::2 
|2.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	a-.b.example.com. ; subnetid: 0001
|a-.b                 		IN  AAAA	2001:db8:1:1::2 
|2.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	a-.b.example.com. ; subnetid: 0001
|x.-y                 		IN  AAAA	2001:db8:0:1::3 
|3.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	x.-y.example.com. ; subnetid: 0001
|x.-y                 		IN  AAAA	2001:db8:1:1::3 
|3.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	x.-y.example.com. ; subnetid: 0001
|a-b.c                		IN  AAAA	2001:db8:0:1::4 
|4.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	a-b.c.example.com. ; subnetid: 0001
|a-b.c                		IN  AAAA	2001:db8:1:1::4 
|4.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	a-b.c.example.com. ; subnetid: 0001
|status 0
--- stderr
|hosts line 1: "_srv" is no host name ("_", or "-" at the start or end of a label): BIND's check-names refuses it
|hosts line 2: "a-.b" is no host name ("_", or "-" at the start or end of a label): BIND's check-names refuses it
|hosts line 3: "x.-y" is no host name ("_", or "-" at the start or end of a label): BIND's check-names refuses it

=== a scope domain with an empty label or a label of 64 characters fails the scope line; one with "_" is warned of
$ l64=$(head -c 64 /dev/zero | tr '\0' l)
$ for d in int..example.com. $l64 int.. ; do printf '%%%%SCOPE\nint internal %s 2001:db8::/48\n' $d > scopes; tavrix -f -p 2001:db8::/48 scopes; echo "status $?"; done 2>&1
$ printf '%%%%SCOPE\nint internal _int 2001:db8::/48\n%%%%HOST\nwww ::1 :1:\n' > ok; tavrix -f -S -w -p 2001:db8::/48 ok; echo "status $?"; cat zkd_internal._int.example.com.
--- stdout
|parsescopeline(): scope domain "int..example.com." has an empty label
|tavrix: error parsing scopeline in scopes line 2
|status 127
|parsescopeline(): scope domain "llllllllllllllllllllllllllllllllllllllllllllllllllllllllllllllll.example.com." has a label of more than 63 characters
|tavrix: error parsing scopeline in scopes line 2
|status 127
|parsescopeline(): scope domain "int.." has an empty label
|tavrix: error parsing scopeline in scopes line 2
|status 127
|status 0
|www                  		IN  AAAA	2001:db8:0:1::1 
--- stderr
|ok line 2: "_int.example.com." is no host name ("_", or "-" at the start or end of a label): BIND's check-names refuses it

=== -o with a label of 64 characters or longer than 254 characters is a usage error; one with "_" is warned of
$ l64=$(head -c 64 /dev/zero | tr '\0' l); l60=$(head -c 60 /dev/zero | tr '\0' l)
$ tavrix -f -o x.$l64 hosts 2>&1 | head -1
$ tavrix -f -o $l60.$l60.$l60.$l60.llllllllll hosts 2>&1 | head -1
$ tavrix -f -o $l60.$l60.$l60.$l60.lllllllll -p 2001:db8::/48 hosts | wc -l
$ tavrix -r -o my_lab -p 2001:db8::/48 hosts
--- file hosts
|
--- stdout
|tavrix error: illegal origin "x.llllllllllllllllllllllllllllllllllllllllllllllllllllllllllllllll": the origin has a label of more than 63 characters
|tavrix error: illegal origin "llllllllllllllllllllllllllllllllllllllllllllllllllllllllllll.llllllllllllllllllllllllllllllllllllllllllllllllllllllllllll.llllllllllllllllllllllllllllllllllllllllllllllllllllllllllll.llllllllllllllllllllllllllllllllllllllllllllllllllllllllllll.llllllllll": the origin is longer than 254 characters with its final dot
|0
--- stderr
|origin "my_lab" is no host name ("_", or "-" at the start or end of a label): BIND's check-names refuses it

=== an owner or PTR target of 254 characters is written; one of 255 refuses the host line in every mode
$ d() { awk -v n=$1 'BEGIN { for (i = 0; i < n; i++) printf (i % 61 == 60 ? "." : "a") }'; }
$ printf '%s ::1 :1:\n' $(d 249) > h249; printf '%s ::1 :1:\n' $(d 250) > h250
$ tavrix -r -b 128 -o abc. -p 2001:db8::/48 h249 | awk '{ print length($3) }'
$ tavrix -d -o $(d 249) -p 2001:db8::/48 www | head -1 | awk '{ print length($3) }'
$ for m in -r -f -d; do tavrix $m -o abc. -p 2001:db8::/48 h250 2>&1 | cut -c1-50; echo "status ${PIPESTATUS[0]}"; done
$ tavrix -d -o $(d 250) -p 2001:db8::/48 www; echo "status $?"
--- file www
|www ::1 :1:
--- stdout
|254
|254
|parsehostfile(): host name "aaaaaaaaaaaaaaaaaaaaaa
|tavrix: error parsing hostline in h250 line 1
|status 127
|parsehostfile(): host name "aaaaaaaaaaaaaaaaaaaaaa
|tavrix: error parsing hostline in h250 line 1
|status 127
|parsehostfile(): host name "aaaaaaaaaaaaaaaaaaaaaa
|tavrix: error parsing hostline in h250 line 1
|tavrix: no update was written
|status 127
|status 127
--- stderr
|parsehostfile(): host name "www" in domain aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.aaaaaa. makes a name longer than 254 characters
|tavrix: error parsing hostline in www line 1
|tavrix: no update was written

=== a host without name: forward-only output stays, its blank owner continues the one before
$ tavrix -f -S -p 2001:db8::/48 hosts
$ tavrix -d -l a -p 2001:db8::/48 hosts
--- file hosts
|a ::1 :1:
|::2 :0:
--- stdout
|a                    		IN  AAAA	2001:db8:0:1::1 
|                     		IN  AAAA	2001:db8::2 
|update add a.example.com. 	86400	IN AAAA 2001:db8:0:1::1
|send

=== a host without name ends reverse, default and update runs as a bad host line
$ tavrix -r -p 2001:db8::/48 hosts; echo "status $?"
$ tavrix -S -p 2001:db8::/48 hosts; echo "status $?"
$ tavrix -d -p 2001:db8::/48 hosts; echo "status $?"
$ tavrix -d -P '' hosts; echo "status $?"
--- file hosts
|a ::1 :1:
|::2 :0:
--- stdout
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	a.example.com. 
|status 127
|a                    		IN  AAAA	2001:db8:0:1::1 
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	a.example.com. 
|status 127
|status 127
|status 127
--- stderr
|parsehostfile(): host line has no host name; reverse and update records need one
|tavrix: error parsing hostline in hosts line 2
|parsehostfile(): host line has no host name; reverse and update records need one
|tavrix: error parsing hostline in hosts line 2
|parsehostfile(): host line has no host name; reverse and update records need one
|tavrix: error parsing hostline in hosts line 2
|tavrix: no update was written
|parsehostfile(): host line has no host name; reverse and update records need one
|tavrix: error parsing hostline in hosts line 2
|tavrix: no update was written

=== a host without name and outside every scoped entry makes no record and no error
$ tavrix -r -p 2001:db8::/48 hosts
--- file hosts
|%%SCOPE
|int internal int.example.com. 2001:db8::/32
|%%HOST
|a ::1 :1:
|::2 :0: []
--- stdout
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	a.int.example.com. 

=== a host name field of 255 characters is read whole and refused as too long in every mode; one of 256 fails the line
$ h=$(head -c 63 /dev/zero | tr '\0' h); n=$h.$h.$h.$h
$ printf '%s ::1 :1:\n' $n > h255; printf '%sh ::1 :1:\n' $n > h256
$ tavrix -v -v -f -p 2001:db8::/48 h255 2>/dev/null | awk '{ print length($2) }'; echo "status ${PIPESTATUS[0]}"
$ tavrix -d -p 2001:db8::/48 h255 2>&1 | cut -c1-60; echo "status ${PIPESTATUS[0]}"
$ tavrix -f -p 2001:db8::/48 h256; echo "status $?"
--- stdout
|255
|status 127
|parsehostfile(): host name "hhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhh
|tavrix: error parsing hostline in h255 line 1
|tavrix: no update was written
|status 127
|status 127
--- stderr
|hostidfromstr(): No mac address found near "h ::1 :1: ..."
|parsehostline(): no hostid found near "h ::1 :1: ..."
|tavrix: error parsing hostline in h256 line 1

=== -o with an empty text, the root alone or an empty label is a usage error naming the origin
$ tavrix -o '' -f hosts 2>err; echo "status $?"; head -2 err
$ tavrix -o . -f hosts 2>err; echo "status $?"; head -2 err
$ tavrix -f --origin= hosts 2>err; echo "status $?"; head -2 err
$ tavrix -d --origin=. hosts 2>err; echo "status $?"; head -2 err
$ for o in .example.com example..com example.com..; do tavrix -r -o $o -p 2001:db8::/48 hosts 2>&1 | head -1; done
--- file hosts
|www ::1 :1:
--- stdout
|status 1
|tavrix error: illegal origin "": the origin must name a domain, without empty labels
|
|status 1
|tavrix error: illegal origin ".": the origin must name a domain, without empty labels
|
|status 1
|tavrix error: illegal origin "": the origin must name a domain, without empty labels
|
|status 1
|tavrix error: illegal origin ".": the origin must name a domain, without empty labels
|
|tavrix error: illegal origin ".example.com": the origin must name a domain, without empty labels
|tavrix error: illegal origin "example..com": the origin must name a domain, without empty labels
|tavrix error: illegal origin "example.com..": the origin must name a domain, without empty labels
