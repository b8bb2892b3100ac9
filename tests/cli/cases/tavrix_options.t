# The command line of tavrix: usage and version texts, every option message.

=== -h prints the usage text and exits 0
$ tavrix -h
--- stderr
|usage: tavrix -h|-V
|usage: tavrix -R [-b mask] <prefix>|<hostname> [...]
|usage: tavrix [-f] [-s|-S] [-w|-a] [-t ttl] [-D<char>] [-C<char>] {-p prefix |-6 ipv4addr } [file ...]
|usage: tavrix [-r] [-b mask] [-w|-a] [-t ttl] [-D<char>] [-C<char>] [-o origin] {-p prefix |-6 ipv4addr } [file ...]
|usage: tavrix -d [-l label] [-t ttl] [-D<char>] [-C<char>] [-o origin] {-p prefix} {-P prefix} [file ...]
|	-h, --help		 print out this help message 
|	-V, --version		 print out version and exit 
|	-R, --revzone		 print the ip6.arpa zone of the given prefix 
|	-v, --verbose		 give some hints about what's going on in the background 
|				 use -v more often to increase the verbosity (up to level 2)
|	-D, --delim[=char]	 use <char> additionally to white space as delimiter (default is ';')
|	-C, --comment[=char]	 use <char> as comment character (default is '#')
|	-s, --squeeze		 print ipv6 addresses w/o leading zeros (like 2001:db8:0:0:0:0:0:1/128)
|	-S, --full-squeeze	 compress ipv6 address slightly more (like 2001:db8::1/128)
|	-t, --ttl <ttlspec>	 specify ttl of RR (default is none or the host specific one)
|				 known ttl units are s(ecs), m(ins), h(ours), d(ays) or w(eeks) 
|	-d, --ddns-update	 print dynamic update messages to stdout (this implies -f) 
|	-l, --lookup=label	 The update add/del is done only for the host matching "label" 
|	-f, --forward		 generate AAAA records for forward zone only 
|	-r, --reverse		 generate PTR records for reverse zone only
|				 The default is to generate forward and reverse zone entries
|				 (The use of the -w switch is highly recommended then)
|	-b, --bits[=mask]	 split zone files on <mask> boundary (default is prefix size)
|	-w, --write		 write output to file instead of stdout
|				 filename is zkd.<origin> for the forward or zkr.0000 for the reverse zone
|				 This option potentially generates a lot of files (up to the
|				 compiled in # of 128)
|	-a, --append		 same as -w but append to file instead of overwriting 
|	-o, --origin=zone	 specify forward domain (default is example.com.)
|	-p, --add-prefix=prefix	 network prefix to add (default is 2001:db8::/48)
|	-P, --del-prefix=prefix	 network prefix to delete (default is none)
|	-6, --6to4=ipv4		 same as -p but argument is an ipv4 address
|				 resulting prefix is a 6to4 prefix (2002:ipv4:addr::/48)

=== --help after -o shows that origin as the default
$ tavrix -o zone.example. --help 2>&1 | grep -e --origin
--- stdout
|	-o, --origin=zone	 specify forward domain (default is zone.example.)

=== -V prints the version and the compiled-in limits
$ tavrix -p 2001:db8::/48 -V -x
--- stderr
|tavrix version v1.3, free software without any warranty
|Generates the IPv6 part of DNS zones from host files
|compiled for a maximum of 
|	   16 different prefixes
|	   16 different scopes
|	  100 subnets
|	  128 file handles

=== an unknown option is a usage error with status 1
$ tavrix -x 2>err; s=$?; head -4 err; exit $s
--- stdout
|tavrix error: tavrix: unknown option "-x"
|
|
|usage: tavrix -h|-V
--- status 1

=== an unknown long option reports its character code 0
$ tavrix --nosuch 2>err; s=$?; head -2 err; exit $s
--- stdout
|tavrix error: tavrix: unknown option char \x0
|
--- status 1

=== a non-printable option character is shown in hex
$ tavrix $'-\x01' 2>err; s=$?; head -2 err; exit $s
--- stdout
|tavrix error: tavrix: unknown option char \x1
|
--- status 1

=== a missing argument names the option
$ tavrix -f -p 2>err; s=$?; head -2 err; exit $s
--- stdout
|tavrix error: option "-p" requires an argument
|
--- status 1

=== a missing argument of a long option names its short option
$ tavrix --bits 2>err; s=$?; head -2 err; exit $s
--- stdout
|tavrix error: option "-b" requires an argument
|
--- status 1

=== an illegal prefix
$ tavrix -p 2001:db8 2>err; s=$?; head -2 err; exit $s
--- stdout
|tavrix error: illegal prefix
|
--- status 1

=== a subnet or host ID form is not a prefix
$ tavrix -p ::/0 2>err; s=$?; head -1 err; tavrix -P :5: 2>err; head -1 err; exit $s
--- stdout
|tavrix error: illegal prefix
|tavrix error: illegal prefix
--- status 1

=== an illegal prefix to delete
$ tavrix -P 1::2::3 2>err; s=$?; head -2 err; exit $s
--- stdout
|tavrix error: illegal prefix
|
--- status 1

=== -b above 128
$ tavrix -b 130 -p 2001:db8::/48 2>err; s=$?; head -2 err; exit $s
--- stdout
|tavrix error: illegal reverse mask
|
--- status 1

=== -b negative
$ tavrix -b -4 -p 2001:db8::/48 2>err; s=$?; head -2 err; exit $s
--- stdout
|tavrix error: illegal reverse mask
|
--- status 1

=== -b off the nibble boundary
$ tavrix --bits=50 -p 2001:db8::/48 2>err; s=$?; head -2 err; exit $s
--- stdout
|tavrix error: Option -b: reverse mask must be on nibble boundary
|
--- status 1

=== -b x reads as 0 and -b 128 is accepted
$ echo 'h ::1 :1:' | tavrix -r -b x -p 2001:db8::/48
$ echo 'h ::1 :1:' | tavrix -r -b 128 -p 2001:db8::/48
--- stdout
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	h.example.com. 
|         IN  PTR	h.example.com. ; subnetid: 0001

=== -6 builds the 6to4 prefix
$ echo 'h ::1 :1:' | tavrix -f -S -6 192.0.2.1
$ echo 'h ::1 :1:' | tavrix -f -S --6to4=10.1.2.3
--- stdout
|h                    		IN  AAAA	2002:c000:201:1::1 
|h                    		IN  AAAA	2002:a01:203:1::1 

=== -6 with three numbers is an illegal ipv4 address
$ tavrix -6 1.2.3 2>err; s=$?; head -3 err; exit $s
--- stdout
|tavrix error: Illegal ipv4 address 1.2.3
|
|
--- status 1

=== -6 with a number above 255 is an illegal ipv4 address
$ tavrix -6 192.0.2.300 2>err; s=$?; head -3 err; exit $s
--- stdout
|tavrix error: Illegal ipv4 address 192.0.2.300
|
|
--- status 1

=== -6 with a negative number is an illegal ipv4 address
$ tavrix -6 192.-1.2.3 2>err; s=$?; head -3 err; exit $s
--- stdout
|tavrix error: Illegal ipv4 address 192.-1.2.3
|
|
--- status 1

=== a prefix given twice is skipped with a warning
$ echo 'h ::1 :1:' | tavrix -f -S -p 2001:db8::/48 -P 2001:db8::/48
--- stdout
|h                    		IN  AAAA	2001:db8:0:1::1 
--- stderr
|duplicate ipv6 prefix (2001:0db8:0000:0000:0000:0000:0000:0000/48), skipped

=== the same network with other host bits is another prefix
$ echo 'h ::1 :1:' | tavrix -f -S -p 2001:db8::/48 -p 2001:db8::1/48
--- stdout
|h                    		IN  AAAA	2001:db8:0:1::1 
|h                    		IN  AAAA	2001:db8:0:1::1 

=== the 17th prefix ends the run
$ tavrix -f $(for i in $(seq 1 17); do printf -- '-p 2001:db8:%x::/48 ' $i; done) </dev/null
--- stderr
|tavrix: maximum number of prefixes (16) reached
--- status 127

=== sixteen prefixes are fine
$ echo 'h ::1 :1:' | tavrix -f -S $(for i in $(seq 1 16); do printf -- '-p 2001:db8:%x::/48 ' $i; done) | wc -l
--- stdout
|16

=== a -p or -P prefix longer than 64 bits is a usage error in every generating run, in any order
$ for o in -f -r -d ''; do tavrix $o -p 2001:db8:1:2:3:4::/96 hosts 2>err; echo "status $?"; head -2 err; done
$ tavrix -p 2001:db8::/48 -P 2001:db8:1:2::/65 -d hosts 2>err; echo "status $?"; head -1 err
$ tavrix -p 2001:db8:1:2::/68 -f hosts 2>err; echo "status $?"; head -1 err
--- file hosts
|www ::1 :1:
--- stdout
|status 1
|tavrix error: a prefix for host addresses may be at most 64 bits long: 2001:0db8:0001:0002:0003:0004:0000:0000/96
|
|status 1
|tavrix error: a prefix for host addresses may be at most 64 bits long: 2001:0db8:0001:0002:0003:0004:0000:0000/96
|
|status 1
|tavrix error: a prefix for host addresses may be at most 64 bits long: 2001:0db8:0001:0002:0003:0004:0000:0000/96
|
|status 1
|tavrix error: a prefix for host addresses may be at most 64 bits long: 2001:0db8:0001:0002:0003:0004:0000:0000/96
|
|status 1
|tavrix error: a prefix for host addresses may be at most 64 bits long: 2001:0db8:0001:0002:0000:0000:0000:0000/65
|status 1
|tavrix error: a prefix for host addresses may be at most 64 bits long: 2001:0db8:0001:0002:0000:0000:0000:0000/68

=== a prefix of 64 bits is fine; -R takes prefixes of any length, and ignores -p
$ tavrix -f -S -p 2001:db8:1:2::/64 hosts
$ tavrix -R -p 2001:db8:1:2:3::/80 2001:db8:1:2:3::/80
--- file hosts
|www ::1 :1:
--- stdout
|www                  		IN  AAAA	2001:db8:1:2::1 
|3.0.0.0.2.0.0.0.1.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa.

=== -o adds the final dot, and keeps one that is there
$ echo 'h ::1 :1:' | tavrix -r -o example -p 2001:db8::/48
$ echo 'h ::1 :1:' | tavrix -r --origin=example. -p 2001:db8::/48
--- stdout
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	h.example. 
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	h.example. 

=== -d alone gives the TTL 86400
$ echo 'h ::1 :1:' | tavrix -d -p 2001:db8::/48
--- stdout
|update add h.example.com. 	86400	IN AAAA 2001:db8:0:1::1
|send

=== -d then -t 1h gives 3600
$ echo 'h ::1 :1:' | tavrix -d -t 1h -p 2001:db8::/48
--- stdout
|update add h.example.com. 	3600	IN AAAA 2001:db8:0:1::1
|send

=== -t 1h then -d keeps 3600
$ echo 'h ::1 :1:' | tavrix -t 1h -d -p 2001:db8::/48
--- stdout
|update add h.example.com. 	3600	IN AAAA 2001:db8:0:1::1
|send

=== -t without a unit ends the run, naming the NUL after the number
$ tavrix -t 3600 -p 2001:db8::/48 </dev/null 2>err; s=$?; tr '\0' '@' <err; exit $s
--- stdout
|tavrix: illegal ttl scaling @
--- status 127

=== -t above the largest DNS TTL ends the run quoting the TTL
$ tavrix -t 2147483648s -p 2001:db8::/48 </dev/null
--- stderr
|tavrix: ttl "2147483648s" out of range (at most 2147483647 seconds)
--- status 127

=== -D without argument sets ';' as delimiter
$ printf 'h;::1;:1:\n' | tavrix -f -S -D -p 2001:db8::/48
--- stdout
|h                    		IN  AAAA	2001:db8:0:1::1 

=== --delim= with nothing turns the delimiter off
$ printf 'h;::1;:1:\n' | tavrix -f -S -D';' --delim= -p 2001:db8::/48
--- stderr
|hostidfromstr(): No mac address found near ";::1;:1: ..."
|parsehostline(): no hostid found near ";::1;:1: ..."
|tavrix: error parsing hostline in stdin line 1
--- status 127

=== -D; then -C; refuses the comment character
$ printf '; comment\nh;::1;:1:\n' | tavrix -f -S -D';' -C';' -p 2001:db8::/48
--- stderr
|Option -C ';' would change the comment char to the delimiter char. Option skipped
|hostidfromstr(): No mac address found near " ..."
|parsehostline(): no hostid found near " ..."
|tavrix: error parsing hostline in stdin line 1
--- status 127

=== -C; then -D; is accepted: both are ';'
$ printf '; comment\nh ::1 :1:\n' | tavrix -f -S -C';' -D';' -p 2001:db8::/48
--- stdout
|h                    		IN  AAAA	2001:db8:0:1::1 

=== -C with a blank or a tab is refused
$ echo 'h ::1 :1:' | tavrix -f -S '-C ' -p 2001:db8::/48
$ echo 'h ::1 :1:' | tavrix -f -S "--comment=$(printf '\t')" -p 2001:db8::/48
--- stdout
|h                    		IN  AAAA	2001:db8:0:1::1 
|h                    		IN  AAAA	2001:db8:0:1::1 
--- stderr
|Option -C ' ' would change the comment char to the delimiter char. Option skipped
|Option -C '	' would change the comment char to the delimiter char. Option skipped

=== -C with an empty argument is refused while no delimiter is set
$ printf '# c\nh ::1 :1:\n' | tavrix -f -S --comment= -p 2001:db8::/48 2>err; s=$?; tr '\0' '@' <err; exit $s
--- stdout
|h                    		IN  AAAA	2001:db8:0:1::1 
|Option -C '@' would change the comment char to the delimiter char. Option skipped

=== -C with an empty argument after -D turns comments off
$ printf '#c ::1 :1:\n' | tavrix -f -S -D';' --comment= -p 2001:db8::/48
--- stderr
|hostidfromstr(): No mac address found near "#c ::1 :1: ..."
|parsehostline(): no hostid found near "#c ::1 :1: ..."
|tavrix: error parsing hostline in stdin line 1
--- status 127

=== -C followed by a separate argument takes it as an operand
$ printf '%% c\nh ::1 :1:\n' > '%'; tavrix -f -S -C '%' -p 2001:db8::/48
--- stderr
|hostidfromstr(): No mac address found near "% c ..."
|parsehostline(): no hostid found near "% c ..."
|tavrix: error parsing hostline in % line 1
--- status 127

=== long option names
$ echo 'h ::1 :1:' | tavrix --forward --full-squeeze --prefix=2001:db8:1::/48 --prefix-add=2001:db8:2::/48 --add-prefix 2001:db8:3::/48
$ echo 'h ::1 :1:' | tavrix --ddns-update --lookup=h --ttl=1m --prefix-remove=2001:db8:4::/48 --prefix-del 2001:db8:5::/48 --del-prefix=2001:db8:6::/48
$ echo 'h ::1 :1:' | tavrix --reverse --bits=64 --origin=o --squeeze --verbose -p 2001:db8::/48
$ tavrix --revzone 2001:db8::/48; tavrix --version 2>&1 | head -1
--- stdout
|h                    		IN  AAAA	2001:db8:1:1::1 
|h                    		IN  AAAA	2001:db8:2:1::1 
|h                    		IN  AAAA	2001:db8:3:1::1 
|update del h.example.com. 		IN AAAA 2001:db8:4:1::1
|update del h.example.com. 		IN AAAA 2001:db8:5:1::1
|update del h.example.com. 		IN AAAA 2001:db8:6:1::1
|send
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	h.o. ; subnetid: 0001
|0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa.
|tavrix version v1.3, free software without any warranty

=== -s squeezes, -s -s squeezes fully
$ echo 'h ::1 :1:' | tavrix -f -p 2001:db8::/48
$ echo 'h ::1 :1:' | tavrix -f -s -p 2001:db8::/48
$ echo 'h ::1 :1:' | tavrix -f -s -s -p 2001:db8::/48
--- stdout
|h                    		IN  AAAA	2001:0db8:0000:0001:0000:0000:0000:0001 
|h                    		IN  AAAA	2001:db8:0:1:0:0:0:1 
|h                    		IN  AAAA	2001:db8:0:1::1 
