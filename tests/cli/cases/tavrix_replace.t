# -w and -a replace their files whole at the end of a successful run; a run
# that ends early leaves every file as it was and no temporary behind.

=== 47 files hold the same bytes as when they were written in place, also with 12 descriptors
$ { printf '%%%%SCOPE\nin internal int.example.com. 2001:db8:1::/48\nout external example.com. 2001:db8:2::/48\n%%%%HOST\n'
$   for round in 1 2 3; do for i in $(seq 1 19); do
$     case $((i % 3)) in 0) sc=' [in]';; 1) sc=' [out]';; *) sc='';; esac
$     printf 'h%d-%d <%dm> 00:16:3e:%02x:%02x:%02x :%x:%s\n^\tIN TXT "h%d-%d"\n' $round $i $i $round $i $i $i "$sc" $round $i
$   done; done; } > hosts
$ mkdir free fewer
$ (cd free && tavrix -w -b 64 -p 2001:db8:1::/48 -p 2001:db8:2::/48 -p 2001:db8::/48 ../hosts)
$ (cd fewer && ulimit -Sn 12 && tavrix -w -b 64 -p 2001:db8:1::/48 -p 2001:db8:2::/48 -p 2001:db8::/48 ../hosts)
$ for d in free fewer; do (cd $d && ls -A | wc -l && md5sum * | md5sum); done
--- stdout
|47
|fc952227953083b0e8361a3e9cb03c13  -
|47
|fc952227953083b0e8361a3e9cb03c13  -

=== a bad host line ends the run with the files of the last good run untouched
$ tavrix -w -S -p 2001:db8::/48 hosts && mkdir good && cp -p zk* good
$ sed -i '3i bad-host zz :1:' hosts
$ tavrix -w -S -p 2001:db8::/48 hosts; echo "status $?"
$ for f in good/*; do cmp "$f" "${f#good/}"; done; ls -A
--- file hosts
|a ::a :1:
|b ::b :1:
|c ::c :1:
--- stdout
|status 127
|good
|hosts
|zkd.example.com.
|zkr.0
--- stderr
|hostidfromstr(): No mac address found near "zz :1: ..."
|parsehostline(): no hostid found near "zz :1: ..."
|tavrix: error parsing hostline in hosts line 3

=== at the pool's limit the files of the last good run stay as they were
$ for i in $(seq 1 128); do printf 'h%d ::1 :%x:\n' $i $i; done > hosts
$ tavrix -w -r -b 64 -p 2001:db8::/48 hosts && md5sum zk* > sums
$ for i in $(seq 1 129); do printf 'h%d ::2 :%x:\n' $i $i; done > hosts
$ tavrix -w -r -b 64 -p 2001:db8::/48 hosts; echo "status $?"
$ md5sum -c --quiet sums && ls -A | wc -l
--- stdout
|status 3
|130
--- stderr
|Maximum no of files (128) reached !

=== a write error in one file leaves all files as they were: a folder in the way, a full device
$ tavrix -w -b 64 -p 2001:db8::/48 hosts && md5sum zk* > sums
$ printf 'b ::b :2:\n' >> hosts
$ mkdir zkr.0002
$ tavrix -w -b 64 -p 2001:db8::/48 hosts; echo "status $?"
$ rmdir zkr.0002 && ln -s /dev/full zkr.0002
$ tavrix -w -b 64 -p 2001:db8::/48 hosts; echo "status $?"
$ md5sum -c --quiet sums && ls -A
--- file hosts
|a ::a :1:
--- stdout
|status 127
|status 127
|hosts
|sums
|zkd.example.com.
|zkr.0001
|zkr.0002
--- stderr
|tavrix: error in opening reverse outputfile for subnet 0002
|tavrix: error writing zkr.0002: No space left on device

=== -a adds to what the file held; a failed -a run leaves it as it was
$ tavrix -a -f -S -p 2001:db8::/48 hosts
$ echo 'c zz :1:' >> hosts; tavrix -a -f -S -p 2001:db8::/48 hosts 2>/dev/null; echo "status $?"
$ cat zkd.example.com.; ls -A
--- file hosts
|a ::a :1:
|b ::b :1:
--- file zkd.example.com.
|; kept from before
--- stdout
|status 127
|; kept from before
|a                    		IN  AAAA	2001:db8:0:1::a 
|b                    		IN  AAAA	2001:db8:0:1::b 
|hosts
|zkd.example.com.

=== a replaced file keeps its mode; a new one is made as the umask says; a symbolic link stays a link
$ echo old > zkd.example.com.; chmod 0640 zkd.example.com.
$ mkdir zones; echo old > zones/reverse; ln -s zones/reverse zkr.0
$ umask 027; tavrix -w -S -p 2001:db8::/48 hosts
$ stat -c '%a %F %n' zkd.example.com. zkr.0 zones/reverse
$ umask 002; rm zkd.example.com.; tavrix -w -f -S -p 2001:db8::/48 hosts; stat -c '%a %n' zkd.example.com.
$ cat zones/reverse
--- file hosts
|a ::a :1:
--- stdout
|640 regular file zkd.example.com.
|777 symbolic link zkr.0
|644 regular file zones/reverse
|664 zkd.example.com.
|a.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1.0.0.0          IN  PTR	a.example.com. 

=== a file name of 254 characters takes a temporary all the same
$ tavrix -w -f -o $(awk 'BEGIN { for (i = 0; i < 249; i++) printf (i % 61 == 60 ? "." : "a") }') -p 2001:db8::/48 hosts; echo "status $?"
$ ls -A | cut -c1-8; ls | awk '{ print length($0) }' | sort -n | tail -1
--- file hosts
|a ::1 :1:
--- stdout
|status 0
|hosts
|zkd.aaaa
|254
