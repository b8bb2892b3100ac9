# Hostile and oversized input, and output that cannot be written: a clear
# message and a failing status, or correct output; never a crash or a hang.

=== -w where a folder stands in place of the output file: forward and reverse messages, status 127, and no file of the failed run
$ mkdir zkd.example.com. zkr.0002
$ tavrix -w -f -p 2001:db8::/48 hosts; echo "status $?"
$ tavrix -w -r -b 64 -p 2001:db8::/48 hosts; echo "status $?"
$ ls -A
--- file hosts
|a ::1 :1:
|b ::2 :2:
--- stdout
|status 127
|status 127
|hosts
|zkd.example.com.
|zkr.0002
--- stderr
|tavrix: error in opening forward outputfile zkd.example.com.: Is a directory
|tavrix: error in opening reverse outputfile for subnet 0002: zkr.0002: Is a directory
--- no-file zkr.0002/zkr.0002

=== NUL bytes end the line for the parsers: the line fails as a host line
$ printf 'a ::1 :1:\nb\0 ::2 :2:\n' > hosts
$ tavrix -f -p 2001:db8::/48 hosts
--- stdout
|a                    		IN  AAAA	2001:0db8:0000:0001:0000:0000:0000:0001 
--- stderr
|hostidfromstr(): No mac address found near " ..."
|parsehostline(): no hostid found near " ..."
|tavrix: error parsing hostline in hosts line 2
--- status 127

=== bytes 0x80 to 0xFF belong to no class: in the name, host ID, subnet name and TTL they fail the line
$ printf '\351t\351 ::1 :1:\n' > name; printf 'a ::1\377 :1:\n' > hostid; printf 'a ::1 \200lan\n' > subnet; printf 'a <1\351> ::1 :1:\n' > ttl
$ for f in name hostid subnet ttl; do tavrix -f -p 2001:db8::/48 $f 2>&1 | cat -v; echo "status ${PIPESTATUS[0]}"; done
--- stdout
|hostidfromstr(): No mac address found near "M-itM-i ::1 :1 ..."
|parsehostline(): no hostid found near "M-itM-i ::1 :1 ..."
|tavrix: error parsing hostline in name line 1
|status 127
|tavrix: No subnet "" found
|status 127
|tavrix: No subnet "" found
|status 127
|tavrix: illegal ttl scaling M-i
|status 127

=== bytes 0x80 to 0xFF in the scope list and the continuation text are passed through
$ printf 'a ::1 :1: [\376,*]\n^\tIN TXT "\351t\351"\n' > hosts
$ tavrix -f -S -p 2001:db8::/48 hosts | cat -v
--- stdout
|a                    		IN  AAAA	2001:db8:0:1::1 
|	IN TXT "M-itM-i"
--- stderr
|hosts line 1: no %%SCOPE line read so far defines the scope "þ" of the scope list

=== a line of 100 000 characters is skipped and the run ends with status 2
$ { echo 'a ::1 :1:'; head -c 100000 /dev/zero | tr '\0' x; echo; echo 'b ::2 :2:'; } > hosts
$ tavrix -f -S -p 2001:db8::/48 hosts
--- stdout
|a                    		IN  AAAA	2001:db8:0:1::1 
|b                    		IN  AAAA	2001:db8:0:2::2 
--- stderr
|line 2 too long; skipping
--- status 2

=== continuation text of 2000 characters ends the run naming the host line
$ { echo 'a ::1 :1:'; printf '^'; head -c 2000 /dev/zero | tr '\0' x; echo; echo 'b ::2 :2:'; } > hosts
$ tavrix -f -p 2001:db8::/48 hosts
--- stderr
|parsehostfile(): extra records longer than 1534 characters
|tavrix: error parsing hostline in hosts line 1
--- status 127

=== 1000 continuation lines within the limit are kept and counted
$ { echo 'a ::1 :1:'; for i in $(seq 1 1000); do echo '^'; done; echo 'b ::2 :2:'; echo 'c'; } > hosts
$ tavrix -f -S -p 2001:db8::/48 hosts > out; echo "status $?"
$ wc -l < out; tail -1 out
--- stdout
|status 127
|1002
|b                    		IN  AAAA	2001:db8:0:2::2 
--- stderr
|hostidfromstr(): No mac address found near " ..."
|parsehostline(): no hostid found near " ..."
|tavrix: error parsing hostline in hosts line 1003

=== the 17th scope and the 101st subnet end the run with the limit named
$ { echo '%%SCOPE'; for i in $(seq 1 17); do printf 's%d v%d d%d.example. 2001:db8:%x::/48\n' $i $i $i $i; done; } > scopes
$ { echo '%%SUBNET'; for i in $(seq 1 101); do printf 'n%d :%x:\n' $i $i; done; } > subnets
$ tavrix -f -p 2001:db8:1::/48 scopes; echo "status $?"
$ tavrix -f -p 2001:db8:1::/48 subnets; echo "status $?"
--- stdout
|status 127
|status 127
--- stderr
|tavrix: maximum number of scopes (16) reached
|tavrix: maximum number of subnets (100) reached

=== scope and subnet names of 15 characters work; of 16 characters a scope line fails and a subnet name is cut
$ n15=nnnnnnnnnnnnnnn
$ printf '%%%%SCOPE\n%s v d.example. 2001:db8::/48\n%%%%SUBNET\n%s :1:\n%%%%HOST\na ::1 %s [%s]\n' $n15 $n15 $n15 $n15 > names15
$ printf '%%%%SCOPE\n%sx v d.example. 2001:db8::/48\n' $n15 > scope16
$ printf '%%%%SUBNET\n%sx :1:\n%%%%HOST\na ::1 %s\nb ::2 %sx\n' $n15 $n15 $n15 > subnet16
$ tavrix -f -S -p 2001:db8::/48 names15; echo "status $?"
$ tavrix -f -S -p 2001:db8::/48 scope16; echo "status $?"
$ tavrix -f -S -p 2001:db8::/48 subnet16; echo "status $?"
--- stdout
|a                    		IN  AAAA	2001:db8:0:1::1 
|status 0
|status 127
|a                    		IN  AAAA	2001:db8:0:1::1 
|status 127
--- stderr
|parsescopeline(): illegal scopename found near "x v d.exam ..."
|tavrix: error parsing scopeline in scope16 line 2
|tavrix: No subnet "nnnnnnnnnnnnnnnx" found

=== bytes 0x80 to 0xFF in subnet and scope lines fail the line with its field named
$ printf '%%%%SUBNET\nl\351n :1:\n' > subnet; printf '%%%%SCOPE\ns v\351 d.example. 2001:db8::/48\n' > view; printf '%%%%SCOPE\ns v d.ex\351mple. 2001:db8::/48\n' > domain
$ for f in subnet view domain; do tavrix -f -p 2001:db8::/48 $f 2>&1 | cat -v; echo "status ${PIPESTATUS[0]}"; done
--- stdout
|parsesubnetline(): illegal subnetname found near "M-in :1: ..."
|tavrix: error parsing subnetline in subnet line 2
|status 127
|parsescopeline(): illegal viewname found near "M-i d.exampl ..."
|tavrix: error parsing scopeline in view line 2
|status 127
|parsescopeline(): illegal domain found near "M-imple. 200 ..."
|tavrix: error parsing scopeline in domain line 2
|status 127
