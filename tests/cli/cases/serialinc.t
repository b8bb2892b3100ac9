# serialinc: usage errors, -s, print mode and increment mode.
# The usage line names the program as invoked, which is a build path here;
# the usage cases put the plain name in its place.

=== no argument: the usage line
$ serialinc 2>&1 >/dev/null | sed 's|^\(usage: \)[^ ]*serialinc |\1serialinc |' >&2; exit ${PIPESTATUS[0]}
--- stderr
|usage: serialinc {-s serial | [-u] zonefile [...]}
--- status 1

=== -s without its argument
$ serialinc -s 2>&1 >/dev/null | sed 's|^\(usage: \)[^ ]*serialinc |\1serialinc |' >&2; exit ${PIPESTATUS[0]}
--- stderr
|Option -s requires an argument
|usage: serialinc {-s serial | [-u] zonefile [...]}
--- status 1

=== -s with two arguments
$ serialinc -s 1 2 2>&1 >/dev/null | sed 's|^\(usage: \)[^ ]*serialinc |\1serialinc |' >&2; exit ${PIPESTATUS[0]}
--- stderr
|Option -s requires an argument
|usage: serialinc {-s serial | [-u] zonefile [...]}
--- status 1

=== -s with something that is no number
$ serialinc -s 12a 2>&1 >/dev/null | sed 's|^\(usage: \)[^ ]*serialinc |\1serialinc |' >&2; exit ${PIPESTATUS[0]}
--- stderr
|serial must be a decimal number
|usage: serialinc {-s serial | [-u] zonefile [...]}
--- status 1

=== an unknown option
$ serialinc -x zone 2>&1 >/dev/null | sed 's|^\(usage: \)[^ ]*serialinc |\1serialinc |' >&2; exit ${PIPESTATUS[0]}
--- stderr
|illegal option
|usage: serialinc {-s serial | [-u] zonefile [...]}
--- status 1

=== a dash alone is an option too
$ serialinc - 2>&1 >/dev/null | sed 's|^\(usage: \)[^ ]*serialinc |\1serialinc |' >&2; exit ${PIPESTATUS[0]}
--- stderr
|illegal option
|usage: serialinc {-s serial | [-u] zonefile [...]}
--- status 1

=== -s in each style, at the boundaries, and only two characters looked at
$ serialinc -s 41
$ serialinc -s 1136069999
$ serialinc -s 1136070000
$ serialinc -s 2006010100
$ serialinc -s 2006010101
$ serialinc -serial 2024022905
--- stdout
|        41
|1136069999
|1136070000	Dec 31 2005 23:00:00 +0000
|2006010100	Jul 26 2033 17:01:40 +0000
|2006010101	2006-01-01 Version 01
|2024022905	2024-02-29 Version 05

=== time stamps are read in the local time zone
$ TZ=EST5 serialinc -s 1700000000
--- stdout
|1700000000	Nov 14 2023 17:13:20 -0500

=== print several files in order, a failing one does not stop the others
$ serialinc db.one missing db.none db.two
--- file db.one
|$TTL 3600
|@	IN	SOA	ns1.example.com. hostmaster.example.com. (
|			2024010105	; serial
|			3600 900 604800 86400 )
--- file db.none
|@	IN	NS	ns1.example.com.
--- file db.two
|example.org. 86400 IN SOA ns.example.org. hm.example.org. (
|  1700000000 7200 900 604800 3600 )
--- stdout
|db.one                        	2024010105	2024-01-01 Version 05
|db.two                        	1700000000	Nov 14 2023 22:13:20 +0000
--- stderr
|couldn't read serial number from file missing
|couldn't read serial number from file db.none
--- status 2

=== print mode reads a serial on the SOA line itself
$ serialinc db
--- file db
|@ IN SOA ns. hm. 2024010101 3600 900 604800 86400
|@ IN NS ns.
--- stdout
|db                            	2024010101	2024-01-01 Version 01

=== lower-case class and type: found by -u and by print
$ serialinc -u db
$ serialinc db
--- file db
|@ in soa ns. hm. (
|	41         ; serial
|	3600 900 604800 86400 )
--- expect-file db
|@ in soa ns. hm. (
|	42         ; serial
|	3600 900 604800 86400 )
--- stdout
|db                            	        42

=== -u rewrites the serial after the parenthesis and on the SOA line
$ serialinc -update db.paren db.line
--- file db.paren
|$ORIGIN example.com.
|@	IN	SOA	ns1 hostmaster (
|		41          ; serial
|		3600 )
--- file db.line
|@ 3600 IN SOA ns1. hm. 1000000009 3600 900 604800 86400
--- expect-file db.paren
|$ORIGIN example.com.
|@	IN	SOA	ns1 hostmaster (
|		42          ; serial
|		3600 )
--- expect-file db.line
|@ 3600 IN SOA ns1. hm. 1000000010 3600 900 604800 86400

=== -u reports each failing file and goes on
$ serialinc -u missing db.none db.narrow db.good
--- file db.none
|@	IN	NS	ns1.example.com.
--- file db.narrow
|@ IN SOA ns. hm. 41 ns 3600 900 604800 86400
--- file db.good
|@ IN SOA ns. hm. (
|  99          ; serial
|  3600 )
--- expect-file db.none
|@	IN	NS	ns1.example.com.
--- expect-file db.narrow
|@ IN SOA ns. hm. 41 ns 3600 900 604800 86400
--- expect-file db.good
|@ IN SOA ns. hm. (
|  100         ; serial
|  3600 )
--- stderr
|Can not increment serial number in missing
|error -1:  couldn't open zone file for modifying
|Can not increment serial number in db.none
|error -2:  unexpected end of file
|Can not increment serial number in db.narrow
|error -4:  not enough space left for serialno
--- status 2

=== -u refuses serials beyond 32 bits and numbers wider than their field
$ serialinc -u db.max db.wide
--- file db.max
|@ IN SOA ns. hm. (
| 4294967295 ; serial
|  3600 )
--- file db.wide
|@ IN SOA ns. hm. (
|9999999999)
--- expect-file db.max
|@ IN SOA ns. hm. (
| 4294967295 ; serial
|  3600 )
--- expect-file db.wide
|@ IN SOA ns. hm. (
|9999999999)
--- stderr
|Can not increment serial number in db.max
|error -6:  serial number would exceed 4294967295
|Can not increment serial number in db.wide
|error -4:  not enough space left for serialno
--- status 2

=== -u without files does nothing
$ serialinc -u

=== output that cannot be written ends with a failure
$ serialinc -s 5 2>&1 >/dev/full | sed 's|^[^ ]*serialinc: |serialinc: |' >&2; exit ${PIPESTATUS[0]}
--- stderr
|serialinc: error on writing standard output: No space left on device
--- status 2
