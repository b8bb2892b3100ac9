# Host-file fields mean exactly what they say: subnet IDs, MAC addresses,
# interface identifiers, TTLs, subnet names, continuation lines, scope
# lists, -6; a field that does not parse fails its line.

=== a subnet ID in address form is ":", 1 to 4 hex digits and ":"; anything else fails the host line
$ for s in :5 :1:2: :10000: :: ::6 :; do echo "a ::1 $s" | tavrix -f -p 2001:db8::/48; echo "status $?"; done 2>&1
$ printf 'a ::1 :ffff:[x]\nb ::2 :0:\n' | tavrix -f -S -p 2001:db8::/48 2>/dev/null
--- stdout
|subnetfromstr(): No subnetid found
|parsehostline(): no subnetid found near ":5 ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|subnetfromstr(): No subnetid found
|parsehostline(): no subnetid found near ":1:2: ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|subnetfromstr(): No subnetid found
|parsehostline(): no subnetid found near ":10000: ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|subnetfromstr(): No subnetid found
|parsehostline(): no subnetid found near ":: ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|subnetfromstr(): No subnetid found
|parsehostline(): no subnetid found near "::6 ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|subnetfromstr(): No subnetid found
|parsehostline(): no subnetid found near ": ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|a                    		IN  AAAA	2001:db8:0:ffff::1 
|b                    		IN  AAAA	2001:db8::2 

=== a subnet line takes the same subnet IDs only
$ for l in 'lan :5' 'wlan :' 'lan :1:2:' 'lan :10000:' 'lan ::6'; do printf '%%%%SUBNET\n%s\n' "$l" | tavrix -f -p 2001:db8::/48; echo "status $?"; done 2>&1
--- stdout
|parsesubnetline(): no subnetid found near ":5 ..."
|tavrix: error parsing subnetline in stdin line 2
|status 127
|parsesubnetline(): no subnetid found near ": ..."
|tavrix: error parsing subnetline in stdin line 2
|status 127
|parsesubnetline(): no subnetid found near ":1:2: ..."
|tavrix: error parsing subnetline in stdin line 2
|status 127
|parsesubnetline(): no subnetid found near ":10000: ..."
|tavrix: error parsing subnetline in stdin line 2
|status 127
|parsesubnetline(): no subnetid found near "::6 ..."
|tavrix: error parsing subnetline in stdin line 2
|status 127

=== a MAC address is six octets in one of four forms; anything else fails the host line
$ for m in 00112233445 0011223344556 001:22:33:44:55:66 0:1:2:3:4:5:6:7 0011.2233.445 '001122 334455'; do echo "a $m :1:" | tavrix -f -p 2001:db8::/48; echo "status $?"; done 2>&1
$ printf 'a 0:1:2:3:4:5 :1:\nb 0-1-2-3-4-5 :1:\nc 0001.0203.0405 :1:\nd 000102030405 :1:\n' | tavrix -f -S -p 2001:db8::/48
--- stdout
|hostidfromstr(): No mac address found near "0011223344 ..."
|parsehostline(): no hostid found near "0011223344 ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|hostidfromstr(): No mac address found near "0011223344 ..."
|parsehostline(): no hostid found near "0011223344 ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|hostidfromstr(): No mac address found near "001:22:33: ..."
|parsehostline(): no hostid found near "001:22:33: ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|hostidfromstr(): No mac address found near "0:1:2:3:4: ..."
|parsehostline(): no hostid found near "0:1:2:3:4: ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|hostidfromstr(): No mac address found near "0011.2233. ..."
|parsehostline(): no hostid found near "0011.2233. ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|hostidfromstr(): No mac address found near "001122 334 ..."
|parsehostline(): no hostid found near "001122 334 ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|a                    		IN  AAAA	2001:db8::1:201:2ff:fe03:405 
|b                    		IN  AAAA	2001:db8::1:201:2ff:fe03:405 
|c                    		IN  AAAA	2001:db8::1:201:2ff:fe03:405 
|d                    		IN  AAAA	2001:db8::1:201:2ff:fe03:405 

=== an interface identifier has at most four groups of 1 to 4 hex digits
$ for h in ::1:2:3:4:5 ::12345 ::1/64 ::1.2.3.4; do echo "a $h :1:" | tavrix -f -p 2001:db8::/48; echo "status $?"; done 2>&1
$ printf 'a ::1:2:3:ffff :1:\nb :: :1:\n' | tavrix -f -S -p 2001:db8::/48
--- stdout
|hostidfromstr(): No hostid found near "::1:2:3:4: ..."
|parsehostline(): no hostid found near "::1:2:3:4: ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|hostidfromstr(): No hostid found near "::12345 :1 ..."
|parsehostline(): no hostid found near "::12345 :1 ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|hostidfromstr(): No hostid found near "::1/64 :1: ..."
|parsehostline(): no hostid found near "::1/64 :1: ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|hostidfromstr(): No hostid found near "::1.2.3.4  ..."
|parsehostline(): no hostid found near "::1.2.3.4  ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|a                    		IN  AAAA	2001:db8::1:1:2:3:ffff 
|b                    		IN  AAAA	2001:db8:0:1:: 

=== a NUL byte in a continuation line fails the host line, naming both lines
$ printf 'a ::1 :1:\n^\tIN TXT "one"\n^\tIN TXT "t\0wo"\nb ::2 :2:\n' > hosts
$ tavrix -f -S -p 2001:db8::/48 hosts
--- stderr
|parsehostfile(): continuation line 3 in hosts holds a NUL byte
|tavrix: error parsing hostline in hosts line 1
--- status 127

=== a scope-list name that no scope line read so far defines is warned of; the names that exist still count
$ tavrix -f -S -p 2001:db8:1::/48 -p 2001:db8:2::/48 hosts; echo "status $?"
--- file hosts
|%%SCOPE
|intern intern int.example.com. 2001:db8:1::/48
|extern extern example.com. 2001:db8:2::/48
|%%HOST
|a ::a :1: [intern extern]
|b ::b :1: [interm,extern]
|c ::c :1: [Intern, *]
|%%SCOPE
|late late late 2001:db8:3::/48
--- stdout
|b                    		IN  AAAA	2001:db8:2:1::b 
|c                    		IN  AAAA	2001:db8:1:1::c 
|c                    		IN  AAAA	2001:db8:2:1::c 
|status 0
--- stderr
|hosts line 5: no %%SCOPE line read so far defines the scope "internextern" of the scope list
|hosts line 6: no %%SCOPE line read so far defines the scope "interm" of the scope list
|hosts line 7: no %%SCOPE line read so far defines the scope "Intern" of the scope list

=== -6 with anything after the fourth number is an illegal ipv4 address
$ for a in 192.0.2.1.5 192.0.2.1/24 '192.0.2.1 '; do tavrix -6 "$a" 2>err; echo "status $?"; head -1 err; done
$ echo 'h ::1 :1:' | tavrix -f -S -6 192.0.2.1
--- stdout
|status 1
|tavrix error: Illegal ipv4 address 192.0.2.1.5
|status 1
|tavrix error: Illegal ipv4 address 192.0.2.1/24
|status 1
|tavrix error: Illegal ipv4 address 192.0.2.1 
|h                    		IN  AAAA	2002:c000:201:1::1 

=== a MAC address followed directly by the delimiter is not read
$ tavrix -f -S -D';' -p 2001:db8::/48 hosts
--- file hosts
|a;00:11:22:33:44:55;:1:
--- stderr
|hostidfromstr(): No mac address found near "00:11:22:3 ..."
|parsehostline(): no hostid found near "00:11:22:3 ..."
|tavrix: error parsing hostline in hosts line 1
--- status 127

=== a subnet name that is not defined ends the run
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|a ::1 nosuch
--- stderr
|tavrix: No subnet "nosuch" found
--- status 127

=== a subnet name runs to a delimiter, the scope list or the end of the line; anything glued to it fails the host line
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|%%SUBNET
|lan :5:
|%%HOST
|ok ::1 lan[*]
|www ::2 lan!x
--- stdout
|ok                   		IN  AAAA	2001:db8:0:5::1 
--- stderr
|parsehostline(): no subnetid found near "lan!x ..."
|tavrix: error parsing hostline in hosts line 5
--- status 127

=== a bad TTL field ends the run
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|a <1x> ::1 :1:
--- stderr
|tavrix: illegal ttl scaling x
--- status 127

=== a host ID that does not parse quotes from where it stands
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|:::1 :1:
--- stderr
|hostidfromstr(): No hostid found near ":::1 :1: ..."
|parsehostline(): no hostid found near ":::1 :1: ..."
|tavrix: error parsing hostline in hosts line 1
--- status 127

=== a host ID with a single leading colon is refused, not read as an address
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|www :53 :1:
--- stderr
|hostidfromstr(): No mac address found near ":53 :1: ..."
|parsehostline(): no hostid found near ":53 :1: ..."
|tavrix: error parsing hostline in hosts line 1
--- status 127

=== a missing subnet ID
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|a ::1
--- stderr
|tavrix: No subnet "" found
--- status 127
