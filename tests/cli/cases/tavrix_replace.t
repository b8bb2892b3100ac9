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
|tavrix: error in opening reverse outputfile for subnet 0002: zkr.0002: Is a directory
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

=== a run that could not read all its input changes no file: a missing second file, a line too long
$ tavrix -w -S -b 64 -p 2001:db8::/48 hosts && md5sum zk* > sums
$ printf 'c ::c :3:\n' > more; tavrix -w -S -b 64 -p 2001:db8::/48 more missing; echo "status $?"
$ { printf 'c ::c :3:\n'; head -c 100000 /dev/zero | tr '\0' x; echo; } > more
$ tavrix -a -S -b 64 -p 2001:db8::/48 more; echo "status $?"
$ md5sum -c --quiet sums && ls -A
--- file hosts
|a ::a :1:
|b ::b :2:
--- stdout
|status 2
|status 2
|hosts
|more
|sums
|zkd.example.com.
|zkr.0001
|zkr.0002
--- stderr
|Couldn't open inputfile missing for reading
|tavrix: no file was changed, as the run was incomplete
|line 2 too long; skipping
|tavrix: no file was changed, as the run was incomplete

=== -a ends a last line without its newline before the first new record
$ printf '$TTL 1h' > zkd.example.com.; tavrix -a -f -S -p 2001:db8::/48 hosts; cat zkd.example.com.
--- file hosts
|a ::a :1:
--- stdout
|$TTL 1h
|a                    		IN  AAAA	2001:db8:0:1::a 

=== files in several folders under a low limit of descriptors: each folder is locked and synced once
$ for i in 1 2 3 4 5; do mkdir d$i; echo old > d$i/r; ln -s d$i/r zkr.000$i; printf 'h%d ::%d :%d:\n' $i $i $i >> hosts; done
$ ulimit -Sn 12; for run in 1 2 3; do tavrix -w -r -S -b 64 -p 2001:db8::/48 hosts || echo "status $?"; done
$ cat d*/r; ls -A d1 d5
--- file hosts
--- stdout
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	h1.example.com. ; subnetid: 0001
|2.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	h2.example.com. ; subnetid: 0002
|3.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	h3.example.com. ; subnetid: 0003
|4.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	h4.example.com. ; subnetid: 0004
|5.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	h5.example.com. ; subnetid: 0005
|d1:
|r
|
|d5:
|r

=== an unchanged file is left alone: same inode and mtime, a hard link stays; a changed one is replaced
$ tavrix -w -S -b 64 -p 2001:db8::/48 hosts && ln zkr.0001 link && touch -d @1000000000 zk*
$ stat -c '%i %Y %n' zk* > before
$ sed -i 's/::b/::bb/' hosts; tavrix -w -S -b 64 -p 2001:db8::/48 hosts
$ while read -r ino mtime name; do
$   if [ "$(stat -c '%i %Y' "$name")" = "$ino $mtime" ]; then echo "$name kept"; else echo "$name replaced"; fi
$ done < before; stat -c '%h %n' link; ls -A
--- file hosts
|a ::a :1:
|b ::b :2:
--- stdout
|zkd.example.com. replaced
|zkr.0001 kept
|zkr.0002 replaced
|2 link
|before
|hosts
|link
|zkd.example.com.
|zkr.0001
|zkr.0002

=== -v says of each file whether it was replaced, created, appended to or left unchanged
$ ulimit -Sn 64; tavrix -w -v -S -b 64 -p 2001:db8::/48 hosts 2>&1 | sort
$ printf 'c ::c :3:\n' >> hosts; tavrix -w -v -S -b 64 -p 2001:db8::/48 hosts 2>&1 | sort
$ tavrix -a -v -r -S -b 64 -p 2001:db8::/48 more 2>&1 | sort
--- file hosts
|a ::a :1:
|b ::b :2:
--- file more
|d ::d :1:
--- stdout
|No of concurrent open files is 60 while 128 files in total can be handled
|created zkd.example.com.
|created zkr.0001
|created zkr.0002
|No of concurrent open files is 60 while 128 files in total can be handled
|created zkr.0003
|replaced zkd.example.com.
|unchanged zkr.0001
|unchanged zkr.0002
|No of concurrent open files is 60 while 128 files in total can be handled
|appended to zkr.0001

=== the view whose last host is removed gets an empty forward file; a reverse file whose hosts are gone stays
$ tavrix -w -S -b 64 -p 2001:db8:1::/48 -p 2001:db8:2::/48 hosts
$ sed -i '/^b /d' hosts; tavrix -w -S -b 64 -p 2001:db8:1::/48 -p 2001:db8:2::/48 hosts
$ wc -c zk* | sed '$d'
--- file hosts
|%%SCOPE
|in internal example.com. 2001:db8:1::/48
|out external example.com. 2001:db8:2::/48
|%%HOST
|a ::a :1: [in]
|b ::b :2: [out]
--- stdout
|  0 zkd_external.example.com.
| 49 zkd_internal.example.com.
| 81 zkr_external.0002
| 81 zkr_internal.0001
