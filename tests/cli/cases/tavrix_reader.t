# The host file reader: sections, comments, line kinds, continuation lines.

=== an empty file and one of comments and blanks make nothing
$ tavrix -S -p 2001:db8::/48 empty comments
--- file empty
--- file comments
|# a comment
|   # an indented comment
|
|  	
|

=== a last line without newline is read; CRLF lines are read like LF lines
$ tavrix -f -S -p 2001:db8::/48 crlf nonl
--- file crlf
|a ::1 :1:
|b ::2 :2: [x]
--- file nonl
|c ::3 :3:
|\ no newline
--- stdout
|a                    		IN  AAAA	2001:db8:0:1::1 
|b                    		IN  AAAA	2001:db8:0:2::2 
|c                    		IN  AAAA	2001:db8:0:3::3 
--- stderr
|crlf line 2: no %%SCOPE line read so far defines the scope "x" of the scope list

=== a line of 510 characters is read, one of 511 is skipped and counted
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|h ::1 :1:                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                     
|h ::1 :1:                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                      
|bad
--- stdout
|h                    		IN  AAAA	2001:db8:0:1::1 
--- stderr
|line 2 too long; skipping
|hostidfromstr(): No mac address found near " ..."
|parsehostline(): no hostid found near " ..."
|tavrix: error parsing hostline in hosts line 3
--- status 127

=== a line that is too long makes the run end with status 2
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|h ::1 :1:                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                      
|a ::1 :1:
--- stdout
|a                    		IN  AAAA	2001:db8:0:1::1 
--- stderr
|line 1 too long; skipping
--- status 2

=== a carriage return counts among the 510 characters
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|h ::1 :1:                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                    
|h ::1 :1:                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                                     
--- stdout
|h                    		IN  AAAA	2001:db8:0:1::1 
--- stderr
|line 2 too long; skipping
--- status 2

=== sections switch by their first letters; a lower-case word is a data line
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|%%SUBNETS
|lan :5:
|  %%   HOSTS and more
|a ::1 lan
|%%host
--- stdout
|a                    		IN  AAAA	2001:db8:0:5::1 
--- stderr
|hostidfromstr(): No mac address found near "%%host ..."
|parsehostline(): no hostid found near "%%host ..."
|tavrix: error parsing hostline in hosts line 5
--- status 127

=== a second file starts in the host section
$ tavrix -f -S -p 2001:db8::/48 one two
--- file one
|%%SUBNET
|lan :5:
|%%SCOPE
--- file two
|a ::1 lan
--- stdout
|a                    		IN  AAAA	2001:db8:0:5::1 

=== a %% line with another word is a data line of its section
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|%%HOSTILE ::1 :1:
|%%OTHER ::1 :1:
--- stderr
|hostidfromstr(): No mac address found near "%%OTHER :: ..."
|parsehostline(): no hostid found near "%%OTHER :: ..."
|tavrix: error parsing hostline in hosts line 2
--- status 127

=== with -C% a section line is a comment
$ tavrix -f -S -C% -p 2001:db8::/48 hosts
--- file hosts
|%%SUBNET
|a ::1 :1:
--- stdout
|a                    		IN  AAAA	2001:db8:0:1::1 

=== debug commands run only with -v, on standard error
$ tavrix -f -S -p 2001:db8::/48 hosts
$ tavrix -f -S -v -p 2001:db8::/48 hosts
--- file hosts
|%%SUBNET
|lan :5:
|%%SCOPE
|int internal int.example.com. 2001:db8::/32
|%%HOST
|  %%DEBUGprint-subnetlist
|%%DEBUG print-scopelist
|%% DEBUG  print-prefixlist
|%%DEBUG print-scopelists
|%%DEBUG
|a ::1 lan
--- stdout
|a                    		IN  AAAA	2001:db8:0:5::1 
|a                    		IN  AAAA	2001:db8:0:5::1 
--- stderr
|
|%%SUBNET SECTION (1 elements)
|lan	:0005:
|%%END
|
|%%SCOPE SECTION (1 elements)
|int	internal	int.example.com.	2001:0db8:0000:0000:0000:0000:0000:0000/32	; unique_scopeid 0
|%%END
|
|
|%%The current (command line) prefix list 
|2001:0db8:0000:0000:0000:0000:0000:0000/48	to_add	[int]	
|%%END
|

=== -v -v echoes every host line as a comment
$ tavrix -f -S -v -v -p 2001:db8::/48 hosts
--- file hosts
|a <1h> 00:11:22:33:44:55 :1: [ x , y ]
|^	IN TXT "t"
|1host ::2 :2:
|b ::3 :3: [*]
--- stdout
|; a<1h>	::0211:22ff:fe33:4455	:0001:	[x,y]
|a                    	   3600	IN  AAAA	2001:db8::1:211:22ff:fe33:4455 
|	IN TXT "t"
--- stderr
|hosts line 1: no %%SCOPE line read so far defines the scope "x" of the scope list
|hosts line 1: no %%SCOPE line read so far defines the scope "y" of the scope list
|hostidfromstr(): No mac address found near "1host ::2  ..."
|parsehostline(): no hostid found near "1host ::2  ..."
|tavrix: error parsing hostline in hosts line 3
--- status 127

=== -v -v echoes the largest TTL whole
$ tavrix -f -S -v -v -p 2001:db8::/48 hosts
--- file hosts
|h <2147483647s> ::1 :1:
--- stdout
|; h<2147483647>	::0000:0000:0000:0001	:0001:	[*]
|h                    	2147483647	IN  AAAA	2001:db8:0:1::1 

=== continuation lines are counted: an error after them names the right line
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|a ::1 :1:
|^	IN TXT "one"
|^	IN TXT "two"
|
|bad line
--- stdout
|a                    		IN  AAAA	2001:db8:0:1::1 
|	IN TXT "one"
|	IN TXT "two"
--- stderr
|hostidfromstr(): No mac address found near "line ..."
|parsehostline(): no hostid found near "line ..."
|tavrix: error parsing hostline in hosts line 5
--- status 127

=== an empty line ends the extra text; a ^ inside a line is kept
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|a ::1 :1:
|^	IN TXT "x^y"
|
|b ::2 :1:
--- stdout
|a                    		IN  AAAA	2001:db8:0:1::1 
|	IN TXT "x^y"
|b                    		IN  AAAA	2001:db8:0:1::2 

=== a ^ line after a comment is a data line and fails as a host line
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|a ::1 :1:
|# comment
|^	IN TXT "lost"
--- stdout
|a                    		IN  AAAA	2001:db8:0:1::1 
--- stderr
|hostidfromstr(): No mac address found near "^	IN TXT " ..."
|parsehostline(): no hostid found near "^	IN TXT " ..."
|tavrix: error parsing hostline in hosts line 3
--- status 127

=== continuation lines with CRLF keep only the newline
$ tavrix -f -S -p 2001:db8::/48 hosts
--- file hosts
|a ::1 :1:
|^	IN TXT "x"
|b ::2 :1:
--- stdout
|a                    		IN  AAAA	2001:db8:0:1::1 
|	IN TXT "x"
|b                    		IN  AAAA	2001:db8:0:1::2 

=== the delimiter separates fields besides white space
$ tavrix -f -S -D';' -p 2001:db8::/48 hosts
--- file hosts
|a;;<1m>;::1;:1:;[x]
|b ; ::2 ; :2:
--- stdout
|a                    	     60	IN  AAAA	2001:db8:0:1::1 
|b                    		IN  AAAA	2001:db8:0:2::2 
--- stderr
|hosts line 1: no %%SCOPE line read so far defines the scope "x" of the scope list

=== an input file that cannot be opened is reported, the run goes on, status 2
$ tavrix -f -S -p 2001:db8::/48 nosuch hosts
--- file hosts
|a ::1 :1:
--- stdout
|a                    		IN  AAAA	2001:db8:0:1::1 
--- stderr
|Couldn't open inputfile nosuch for reading
--- status 2

=== standard input by - and by no operand
$ echo 'a ::1 :1:' | tavrix -f -S -p 2001:db8::/48 -
$ echo 'b ::2 :1:' | tavrix -f -S -p 2001:db8::/48
--- stdout
|a                    		IN  AAAA	2001:db8:0:1::1 
|b                    		IN  AAAA	2001:db8:0:1::2 

=== without prefixes host lines are still parsed and a bad one ends the run
$ tavrix -f hosts
--- file hosts
|a ::1 :1:
|bad
--- stderr
|hostidfromstr(): No mac address found near " ..."
|parsehostline(): no hostid found near " ..."
|tavrix: error parsing hostline in hosts line 2
--- status 127

=== with no options and no operands the reverse check is a usage error
$ tavrix </dev/null 2>err; s=$?; head -1 err; exit $s
--- stdout
|tavrix error: option -p needed in reverse mode
--- status 1

=== extra text of 1534 characters is kept, one more ends the run
$ tavrix -f -S -p 2001:db8::/48 ok | wc -c
$ tavrix -f -S -p 2001:db8::/48 long
--- file ok
|a ::1 :1:
|^xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx
--- file long
|a ::1 :1:
|^xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx
--- stdout
|1583
--- stderr
|parsehostfile(): extra records longer than 1534 characters
|tavrix: error parsing hostline in long line 1
--- status 127

=== a bad scope line ends the run naming file and line
$ tavrix -f -p 2001:db8::/48 hosts
--- file hosts
|%%SCOPE
|int internal int.example.com. 2001:db8::/32
|ext external example.com. 2001:db8::
--- stderr
|parsescopeline(): no matching prefix found near " ..."
|tavrix: error parsing scopeline in hosts line 3
--- status 127

=== a bad subnet line ends the run naming file and line
$ tavrix -f -p 2001:db8::/48 hosts
--- file hosts
|%%SUBNET
|lan :1:
|1lan :2:
--- stderr
|parsesubnetline(): illegal subnetname found near "1lan :2: ..."
|tavrix: error parsing subnetline in hosts line 3
--- status 127

=== the prefix list dump shows ALL for the delete entry without prefix
$ tavrix -d -v -P '' -p 2001:db8::/48 hosts
--- file hosts
|%%DEBUG print-prefixlist
--- stdout
|debug
|send
--- stderr
|
|%%The current (command line) prefix list 
|ALL	to_del	[none]	
|2001:0db8:0000:0000:0000:0000:0000:0000/48	to_add	[none]	
|%%END
|

=== a host file larger than the read buffer is read whole, with a host line and a continuation line across a refill
$ for i in $(seq 1 6000); do printf 'h%d ::%x :1:\n' $i $i; [ $((i % 5)) = 0 ] && printf '^\tIN TXT "t%d"\n' $i; done > body
$ for i in $(seq 1 6000); do printf '%-21s\t\tIN  AAAA\t2001:db8:0:1::%x \n' h$i $i; [ $((i % 5)) = 0 ] && printf '\tIN TXT "t%d"\n' $i; done > want
$ for kind in h '\^'; do
$   # A comment line in front moves the last line of the kind that starts
$   # before the end of the first 64 KiB to begin three bytes before it.
$   s=$(awk -v k="^$kind" '{ if ($0 ~ k && n < 65530) s = n; n += length($0) + 1 } END { print s }' body)
$   { printf '#%*s\n' $((65536 - s - 5)) ''; cat body; } > hosts
$   head -c 65536 hosts | tail -1; echo; wc -c < hosts
$   tavrix -f -S -p 2001:db8::/48 hosts | cmp - want && echo same
$   tavrix -f -S -p 2001:db8::/48 < hosts | cmp - want && echo same from a pipe
$ done
--- stdout
|h34
|116714
|same
|same from a pipe
|^	I
|116731
|same
|same from a pipe

=== a section line cut short is no section line: it fails as a host line
$ for w in SCOP SUBNE HOS DEBU; do printf '%%%%%s\nlan :1:\n' $w | tavrix -f -p 2001:db8::/48; echo "status $?"; done 2>&1
--- stdout
|hostidfromstr(): No mac address found near "%%SCOP ..."
|parsehostline(): no hostid found near "%%SCOP ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|hostidfromstr(): No mac address found near "%%SUBNE ..."
|parsehostline(): no hostid found near "%%SUBNE ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|hostidfromstr(): No mac address found near "%%HOS ..."
|parsehostline(): no hostid found near "%%HOS ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
|hostidfromstr(): No mac address found near "%%DEBU ..."
|parsehostline(): no hostid found near "%%DEBU ..."
|tavrix: error parsing hostline in stdin line 1
|status 127
