# Output split over files (-w, -a): names by view, domain and subnet; the pool.

=== -w without scopes: zkd.<origin> and zkr.<subnet>
$ tavrix -w -S -b 64 -p 2001:db8::/48 hosts; ls
--- file hosts
|www ::80 :1:
|ns ::53 :2:
--- stdout
|hosts
|zkd.example.com.
|zkr.0001
|zkr.0002
--- expect-file zkd.example.com.
|www                  		IN  AAAA	2001:db8:0:1::80 
|ns                   		IN  AAAA	2001:db8:0:2::53 
--- expect-file zkr.0001
|0.8.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	www.example.com. ; subnetid: 0001
--- expect-file zkr.0002
|3.5.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	ns.example.com. ; subnetid: 0002

=== a split at the prefix gives zkr.0
$ tavrix -w -r -p 2001:db8::/48 hosts; ls
--- file hosts
|www ::80 :1:
--- stdout
|hosts
|zkr.0

=== views and domains name the files; two scopes with one view and domain share a file
$ tavrix -w -S -b 64 -p 2001:db8:1::/48 -p 2001:db8:2::/48 -p 2001:db8:3::/48 -p 2001:db8:4::/48 hosts; ls
--- file hosts
|%%SCOPE
|in1 internal example.com. 2001:db8:1::/48
|in2 internal example.com. 2001:db8:2::/48
|out none pub 2001:db8:3::/48
|%%HOST
|www ::80 :1:
|^	IN TXT "once per view and domain"
--- stdout
|hosts
|zkd.example.com.
|zkd.pub.example.com.
|zkd_internal.example.com.
|zkr.0001
|zkr_internal.0001
--- expect-file zkd_internal.example.com.
|www                  		IN  AAAA	2001:db8:1:1::80 
|	IN TXT "once per view and domain"
|www                  		IN  AAAA	2001:db8:2:1::80 
--- expect-file zkd.pub.example.com.
|www                  		IN  AAAA	2001:db8:3:1::80 
|	IN TXT "once per view and domain"
--- expect-file zkd.example.com.
|www                  		IN  AAAA	2001:db8:4:1::80 
|	IN TXT "once per view and domain"
--- expect-file zkr_internal.0001
|0.8.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	www.example.com. ; subnetid: 0001
|0.8.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	www.example.com. ; subnetid: 0001
--- expect-file zkr.0001
|0.8.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	www.pub.example.com. ; subnetid: 0001
|0.8.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	www.example.com. ; subnetid: 0001

=== a host's scope list selects entries by scope name
$ tavrix -S -p 2001:db8:1::/48 -p 2001:db8:2::/48 -p 2001:db8:3::/48 hosts
--- file hosts
|%%SCOPE
|int internal int 2001:db8:1::/48
|internal internal internal 2001:db8:2::/48
|%%HOST
|a ::a :1: [int]
|b ::b :1: [internal]
|c ::c :1: []
|d ::d :1: [ x, * ]
|e ::e :1:
--- stdout
|a                    		IN  AAAA	2001:db8:1:1::a 
|a.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	a.int.example.com. 
|a                    		IN  AAAA	2001:db8:3:1::a 
|a.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	a.example.com. 
|b                    		IN  AAAA	2001:db8:2:1::b 
|b.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	b.internal.example.com. 
|b                    		IN  AAAA	2001:db8:3:1::b 
|b.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	b.example.com. 
|c                    		IN  AAAA	2001:db8:3:1::c 
|c.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	c.example.com. 
|d                    		IN  AAAA	2001:db8:1:1::d 
|d.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	d.int.example.com. 
|d                    		IN  AAAA	2001:db8:2:1::d 
|d.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	d.internal.example.com. 
|d                    		IN  AAAA	2001:db8:3:1::d 
|d.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	d.example.com. 
|e                    		IN  AAAA	2001:db8:1:1::e 
|e.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	e.int.example.com. 
|e                    		IN  AAAA	2001:db8:2:1::e 
|e.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	e.internal.example.com. 
|e                    		IN  AAAA	2001:db8:3:1::e 
|e.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	e.example.com. 
--- stderr
|hosts line 8: no %%SCOPE line read so far defines the scope "x" of the scope list

=== -w truncates at the first open, -a appends
$ echo old > zkd.example.com.; tavrix -w -f -p 2001:db8::/48 hosts; cat zkd.example.com.
$ echo old > zkd.example.com.; tavrix -a -f -p 2001:db8::/48 hosts; cat zkd.example.com.
--- file hosts
|a ::1 :1:
--- stdout
|a                    		IN  AAAA	2001:0db8:0000:0001:0000:0000:0000:0001 
|old
|a                    		IN  AAAA	2001:0db8:0000:0001:0000:0000:0000:0001 

=== -w with no host line writes the forward file it is responsible for, empty, and no reverse file
$ tavrix -w -p 2001:db8::/48 hosts; ls; wc -c < zkd.example.com.
--- file hosts
|# nothing
--- stdout
|hosts
|zkd.example.com.
|0

=== -v tells the pool's limit and what became of each file
$ ulimit -Sn 64; tavrix -v -w -f -p 2001:db8::/48 hosts
--- file hosts
--- stderr
|No of concurrent open files is 60 while 128 files in total can be handled
|created zkd.example.com.

=== a forward file that cannot be opened ends the run naming it
$ mkdir zkd.example.com.; tavrix -w -f -p 2001:db8::/48 hosts
--- file hosts
|a ::1 :1:
--- stderr
|tavrix: error in opening forward outputfile zkd.example.com.: Is a directory
--- status 127

=== a reverse file that cannot be opened ends the run naming the subnet
$ mkdir zkr.0001; tavrix -w -r -b 64 -p 2001:db8::/48 hosts
--- file hosts
|a ::1 :1:
--- stderr
|tavrix: error in opening reverse outputfile for subnet 0001: zkr.0001: Is a directory
--- status 127

=== a file name over 254 characters is refused
$ tavrix -w -f -o $(awk 'BEGIN { for (i = 0; i < 250; i++) printf (i % 61 == 60 ? "." : "a") }') -p 2001:db8::/48 hosts
--- file hosts
|a ::1 :1:
--- stderr
|tavrix: forward output file name for domain aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.aaaaaa. is longer than 254 characters
--- status 127
