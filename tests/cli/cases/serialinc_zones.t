# serialinc on zone files as people and tools write them: both modes find
# the same serial, comments and quoted strings are not searched, and the
# new serial never runs into the next field. Dates lie in the future so
# that they count on whatever the clock says.

=== a commented-out SOA record above the real one: the real serial is read and raised, the comment stays
$ serialinc db
$ serialinc -u db
$ serialinc db
--- file db
|; @ IN SOA ns1.example.com. hostmaster.example.com. 2099010101 7200 900 1209600 3600
|@ IN SOA ns1.example.com. hostmaster.example.com. 2099010105 7200 900 1209600 3600
|@ IN NS ns1.example.com.
--- expect-file db
|; @ IN SOA ns1.example.com. hostmaster.example.com. 2099010101 7200 900 1209600 3600
|@ IN SOA ns1.example.com. hostmaster.example.com. 2099010106 7200 900 1209600 3600
|@ IN NS ns1.example.com.
--- stdout
|db                            	2099010105	2099-01-01 Version 05
|db                            	2099010106	2099-01-01 Version 06

=== a header comment with "in" and "SOA" is no SOA line
$ serialinc db
$ serialinc -u db
$ serialinc db
--- file db
|; Remember to increment the SOA serial (YYYYMMDDnn) on every change
|$TTL 3600
|@	IN	SOA	ns1.example.com. hostmaster.example.com. (
|		2099010105	; serial
|		7200 900 1209600 3600 )
--- expect-file db
|; Remember to increment the SOA serial (YYYYMMDDnn) on every change
|$TTL 3600
|@	IN	SOA	ns1.example.com. hostmaster.example.com. (
|		2099010106 ; serial
|		7200 900 1209600 3600 )
--- stdout
|db                            	2099010105	2099-01-01 Version 05
|db                            	2099010106	2099-01-01 Version 06

=== a ";" inside a quoted TXT string before the SOA record starts no comment, and the string is not searched
$ serialinc db
$ serialinc -u db
$ serialinc db
--- file db
|$ORIGIN example.com.
|_policy	IN	TXT	"serials; those in SOA records count up by one per change"
|@	IN	SOA	ns1 hostmaster (
|		1000000041 ; serial
|		7200 900 1209600 3600 )
--- expect-file db
|$ORIGIN example.com.
|_policy	IN	TXT	"serials; those in SOA records count up by one per change"
|@	IN	SOA	ns1 hostmaster (
|		1000000042 ; serial
|		7200 900 1209600 3600 )
--- stdout
|db                            	1000000041
|db                            	1000000042

=== a 9-digit counter and one blank is refused, with two blanks it is raised and one blank is left
$ serialinc db.one db.two
$ serialinc -u db.one db.two
--- file db.one
|@ IN SOA ns1.example.com. hostmaster.example.com. 999999999 7200 900 1209600 3600
--- file db.two
|@ IN SOA ns1.example.com. hostmaster.example.com. 999999999  7200 900 1209600 3600
--- expect-file db.one
|@ IN SOA ns1.example.com. hostmaster.example.com. 999999999 7200 900 1209600 3600
--- expect-file db.two
|@ IN SOA ns1.example.com. hostmaster.example.com. 1000000000 7200 900 1209600 3600
--- stdout
|db.one                        	 999999999
|db.two                        	 999999999
--- stderr
|Can not increment serial number in db.one
|error -4:  not enough space left for serialno
--- status 2

=== "(" before the serial on the SOA line
$ serialinc db
$ serialinc -u db
$ serialinc db
--- file db
|@ IN SOA ns1.example.com. hostmaster.example.com. ( 2099010105 ; serial
|	7200		; refresh
|	900		; retry
|	1209600		; expire
|	3600 )		; minimum
--- expect-file db
|@ IN SOA ns1.example.com. hostmaster.example.com. ( 2099010106 ; serial
|	7200		; refresh
|	900		; retry
|	1209600		; expire
|	3600 )		; minimum
--- stdout
|db                            	2099010105	2099-01-01 Version 05
|db                            	2099010106	2099-01-01 Version 06

=== a reverse zone as named-compilezone writes it in full: print shows the serial -u raises
$ serialinc db
$ serialinc -u db
$ serialinc db
--- file db
|0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa.	      86400 IN SOA	ns1.example.com. hostmaster.example.com. 2099010105 7200 900 1209600 3600
|0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa.	      86400 IN NS	ns1.example.com.
|5.5.4.4.3.3.e.f.f.f.2.2.1.1.2.0.1.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa. 86400	IN PTR www.example.com.
--- expect-file db
|0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa.	      86400 IN SOA	ns1.example.com. hostmaster.example.com. 2099010106 7200 900 1209600 3600
|0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa.	      86400 IN NS	ns1.example.com.
|5.5.4.4.3.3.e.f.f.f.2.2.1.1.2.0.1.0.0.0.0.0.0.0.8.b.d.0.1.0.0.2.ip6.arpa. 86400	IN PTR www.example.com.
--- stdout
|db                            	2099010105	2099-01-01 Version 05
|db                            	2099010106	2099-01-01 Version 06

=== lower-case "in soa" and a TTL with a unit, in both modes
$ serialinc db.lower db.ttl
$ serialinc -u db.lower db.ttl
$ serialinc db.lower db.ttl
--- file db.lower
|@ in soa ns1.example.com. hostmaster.example.com. (
|	2099010105 ; serial
|	7200 900 1209600 3600 )
--- file db.ttl
|@ 1D IN SOA ns1.example.com. hostmaster.example.com. 1000000041 2h 15m 2w 1h
--- expect-file db.lower
|@ in soa ns1.example.com. hostmaster.example.com. (
|	2099010106 ; serial
|	7200 900 1209600 3600 )
--- expect-file db.ttl
|@ 1D IN SOA ns1.example.com. hostmaster.example.com. 1000000042 2h 15m 2w 1h
--- stdout
|db.lower                      	2099010105	2099-01-01 Version 05
|db.ttl                        	1000000041
|db.lower                      	2099010106	2099-01-01 Version 06
|db.ttl                        	1000000042
