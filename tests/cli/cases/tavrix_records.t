# Forward, reverse and update lines, byte for byte.

=== the worked example: forward line, squeezed
$ tavrix -f -s -p 2001:db8::/48 hosts
--- file hosts
|www 00:11:22:33:44:55 :1:
--- stdout
|www                  		IN  AAAA	2001:db8:0:1:211:22ff:fe33:4455 

=== forward in full form, squeezed and fully squeezed
$ tavrix -f -p 2001:db8::/48 hosts; tavrix -f -s -p 2001:db8::/48 hosts; tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|www 00:11:22:33:44:55 :1:
--- stdout
|www                  		IN  AAAA	2001:0db8:0000:0001:0211:22ff:fe33:4455 
|www                  		IN  AAAA	2001:db8:0:1:211:22ff:fe33:4455 
|www                  		IN  AAAA	2001:db8::1:211:22ff:fe33:4455 

=== reverse at -b 48: no subnet number, twenty nibbles
$ tavrix -r -b 48 -p 2001:db8::/48 hosts
--- file hosts
|www 00:11:22:33:44:55 :1:
--- stdout
|5.5.4.4.3.3.e.f.f.f.2.2.1.1.2.0.1.0.0.0          IN  PTR	www.example.com. 

=== reverse at -b 64: subnet 0001 and its comment
$ tavrix -r -b 64 -p 2001:db8::/48 hosts
--- file hosts
|www 00:11:22:33:44:55 :1:
--- stdout
|5.5.4.4.3.3.e.f.f.f.2.2.1.1.2.0          IN  PTR	www.example.com. ; subnetid: 0001

=== reverse at -b 128: no owner nibbles, the line starts with a blank
$ tavrix -r -b 128 -p 2001:db8::/48 hosts
--- file hosts
|www 00:11:22:33:44:55 :1:
--- stdout
|         IN  PTR	www.example.com. ; subnetid: 21122fffe334455

=== the default gives forward then reverse for each host
$ tavrix -S -p 2001:db8::/48 hosts
--- file hosts
|www 00:11:22:33:44:55 :1:
|ns ::53 :2:
--- stdout
|www                  		IN  AAAA	2001:db8::1:211:22ff:fe33:4455 
|5.5.4.4.3.3.e.f.f.f.2.2.1.1.2.0.1.0.0.0          IN  PTR	www.example.com. 
|ns                   		IN  AAAA	2001:db8:0:2::53 
|3.5.0.0.0.0.0.0.0.0.0.0.0.0.0.0.2.0.0.0          IN  PTR	ns.example.com. 

=== TTLs: none gives two tabs and eight blanks; a host TTL wins over the default
$ tavrix -S -t 1d -p 2001:db8::/48 hosts
$ tavrix -d -t 1d -p 2001:db8::/48 hosts
--- file hosts
|a ::1 :1:
|b <1h> ::2 :1:
--- stdout
|a                    	  86400	IN  AAAA	2001:db8:0:1::1 
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0    86400 IN  PTR	a.example.com. 
|b                    	   3600	IN  AAAA	2001:db8:0:1::2 
|2.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0     3600 IN  PTR	b.example.com. 
|update add a.example.com. 	86400	IN AAAA 2001:db8:0:1::1
|update add b.example.com. 	3600	IN AAAA 2001:db8:0:1::2
|send

=== a host name of 21 characters or more is followed by the tab
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|abcdefghijklmnopqrst ::1 :1:
|abcdefghijklmnopqrstu ::1 :1:
|abcdefghijklmnopqrstuvwxyz ::1 :1:
--- stdout
|abcdefghijklmnopqrst 		IN  AAAA	2001:db8:0:1::1 
|abcdefghijklmnopqrstu		IN  AAAA	2001:db8:0:1::1 
|abcdefghijklmnopqrstuvwxyz		IN  AAAA	2001:db8:0:1::1 

=== extra records follow the forward line, not the reverse line
$ tavrix -S -p 2001:db8::/48 hosts
--- file hosts
|mail 00:11:22:33:44:55 :1:
|^	IN MX 10 mail
|^	IN TXT "x"
|www ::80 :1:
--- stdout
|mail                 		IN  AAAA	2001:db8::1:211:22ff:fe33:4455 
|	IN MX 10 mail
|	IN TXT "x"
|5.5.4.4.3.3.e.f.f.f.2.2.1.1.2.0.1.0.0.0          IN  PTR	mail.example.com. 
|www                  		IN  AAAA	2001:db8:0:1::80 
|0.8.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	www.example.com. 

=== update add and delete lines are fully squeezed, delete has no TTL
$ tavrix -d -p 2001:db8::/48 -P 2001:db8:1::/48 hosts
$ tavrix -d -s -p 2001:db8::/48 hosts
--- file hosts
|www 00:11:22:33:44:55 :1:
--- stdout
|update add www.example.com. 	86400	IN AAAA 2001:db8::1:211:22ff:fe33:4455
|update del www.example.com. 		IN AAAA 2001:db8:1:1:211:22ff:fe33:4455
|send
|update add www.example.com. 	86400	IN AAAA 2001:db8::1:211:22ff:fe33:4455
|send

=== -d -r gives PTR updates: an add for an add prefix, a delete for a -P prefix, each in the message of its reverse zone
$ tavrix -d -r -p 2001:db8::/48 -P 2001:db8:1::/48 hosts
--- file hosts
|www ::1 :1:
--- stdout
|update add www.example.com. 	86400	IN AAAA 2001:db8:0:1::1
|update del www.example.com. 		IN AAAA 2001:db8:1:1::1
|send
|update add 1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa. 	86400	IN PTR www.example.com.
|send
|update del 1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0.1.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa. 		IN PTR www.example.com.
|send

=== -P with an empty argument deletes the host's whole AAAA set
$ tavrix -d -P '' -p 2001:db8::/48 hosts
$ tavrix -f -P '' -p 2001:db8::/48 hosts
--- file hosts
|www ::1 :1:
--- stdout
|update del www.example.com. 		IN AAAA
|update add www.example.com. 	86400	IN AAAA 2001:db8:0:1::1
|send
|www                  		IN  AAAA	2001:0db8:0000:0001:0000:0000:0000:0001 

=== -l limits update lines to the host of that exact name
$ tavrix -d -l www -p 2001:db8::/48 hosts
$ tavrix -d -l ww -p 2001:db8::/48 hosts
--- file hosts
|www ::1 :1:
|www2 ::2 :1:
|WWW ::3 :1:
--- stdout
|update add www.example.com. 	86400	IN AAAA 2001:db8:0:1::1
|send
|send

=== -d -v writes debug before send
$ tavrix -d -v -p 2001:db8::/48 hosts
--- file hosts
|www ::1 :1:
--- stdout
|update add www.example.com. 	86400	IN AAAA 2001:db8:0:1::1
|debug
|send

=== -d without prefix and without -r writes send alone
$ tavrix -d hosts
--- file hosts
|www ::1 :1:
--- stdout
|send

=== extra records in update mode end the run, and no update is written
$ tavrix -d -p 2001:db8::/48 hosts
--- file hosts
|mail ::25 :1:
|^	IN MX 10 mail
--- stderr
|tavrix: The extra RR records are  actually not supported in dynamic update mode
|tavrix: no update was written
--- status 127

=== update mode does not write to files
$ tavrix -d -w -p 2001:db8::/48 hosts
--- file hosts
|www ::1 :1:
--- stderr
|tavrix: Views are actually not supported in dynamic update mode
|tavrix: no update was written
--- status 127

=== a prefix longer than the split point goes to subnet 0 with its nibbles in the owner
$ tavrix -r -p 2001:db8::/48 -p 2001:db8:0:100::/56 hosts
--- file hosts
|www ::1 :1:
--- stdout
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	www.example.com. 
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.1.0          IN  PTR	www.example.com. 

=== prefixes of 48 and 64 bits: the split becomes 48
$ tavrix -r -p 2001:db8:0:5::/64 -p 2001:db8::/48 hosts
--- file hosts
|www ::1 :1:
--- stdout
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.5.0.0.0          IN  PTR	www.example.com. 
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	www.example.com. 

=== a split of two nibbles below the prefix names subnet 12
$ tavrix -r -b 56 -p 2001:db8::/48 hosts
--- file hosts
|www ::1 :1234:
--- stdout
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.4.3          IN  PTR	www.example.com. ; subnetid: 0012

=== a prefix of length 0 has no prefix nibbles
$ tavrix -S -p 0::/0 hosts
$ tavrix -r -b 8 -p 0::/0 hosts
--- file hosts
|www ::1 :1:
--- stdout
|www                  		IN  AAAA	::1:0:0:0:1 
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	www.example.com. 
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	www.example.com. 

=== a prefix of 64 bits takes no subnet bits (a longer one is refused, see tavrix_options.t)
$ tavrix -f -S -p 2001:db8:1:2::/64 hosts
--- file hosts
|www ::1 :1:
--- stdout
|www                  		IN  AAAA	2001:db8:1:2::1 

=== -b raised: -b 32 with a /48 becomes 48, -b 56 stays
$ tavrix -r -b 32 -p 2001:db8::/48 hosts; tavrix -r -b 56 -p 2001:db8::/48 hosts
--- file hosts
|www ::1 :ab:
--- stdout
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.b.a.0.0          IN  PTR	www.example.com. 
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.b.a          IN  PTR	www.example.com. 
